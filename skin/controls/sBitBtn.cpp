#include "sBitBtn.h"

#include <memory>

#include "ActnList.h"
#include "sMaskGraph.h"

TsBitBtn::TsBitBtn(TComponent* AOwner) : TsButtonFrame(AOwner, 94), TsButtonGlyphs(this)
{
    // A new picture is painted at once, skinned or not.
    Glyph()->OnChange = [this](TObject*) { SkinData()->Invalidate(); };
}

void TsBitBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove)
        ListRemoved(AComponent);
}

void TsBitBtn::SetShowFocus(bool Value)
{
    if (Value == FShowFocus)
        return;
    FShowFocus = Value;
    GlyphsChanged();
}

void TsBitBtn::GlyphsChanged()
{
    SkinData()->Invalidate();
}

void TsBitBtn::CopyListGlyph()
{
    int count = NumGlyphs();
    CopyGlyph(this, SkinData(), ImageIndex(), Images(), Glyph(), DisabledGlyphKind(), count);
    SetNumGlyphs(count);
}

// --- Layout ------------------------------------------------------------------------------------

int TsBitBtn::GlyphWidth()
{
    return ButtonGlyphSize(this).cx;
}

int TsBitBtn::GlyphHeight()
{
    return ButtonGlyphSize(this).cy;
}

TSize TsBitBtn::TextRectSize()
{
    if (!ShowCaption() || Caption().empty())
        return TSize{0, 0};
    const int glyph = GlyphWidth();
    return MeasureText(Width() - 2 * Margin() - (glyph > 0 ? glyph + Spacing() : 0));
}

TRect TsBitBtn::CaptionRect()
{
    return LayoutCaptionRect(ButtonLayout(this, Width(), GetDown()));
}

TRect TsBitBtn::ImgRect()
{
    return LayoutImgRect(ButtonLayout(this, Width(), GetDown()));
}

// --- Painting ----------------------------------------------------------------------------------

void TsBitBtn::DrawCaption()
{
    TCanvas* canvas = SkinData()->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    DoDrawText(r, DT_EXPANDTABS | DT_WORDBREAK);
    DrawFocusFrame(r, DT_EXPANDTABS | DT_WORDBREAK);
}

void TsBitBtn::DrawContent()
{
    if (ShowCaption())
        DrawCaption();
    DrawBitBtnGlyph(this);
}

void TsBitBtn::CachePainted(TBitmap* Bmp)
{
    if (OnPaint)
        OnPaint(this, Bmp);
}

bool TsBitBtn::LookOutdated()
{
    if (Spacing() == FLastSpacing)
        return false;
    FLastSpacing = Spacing();
    return true;
}

void TsBitBtn::BeforeCopy()
{
    UpdateCorners(SkinData(), CurrentState());
}

// --- Action ------------------------------------------------------------------------------------

void TsBitBtn::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    // Emptied only for a picture of the action's: an action without one leaves the button's own.
    if (ActionImageShown(action))
        Glyph()->Assign(std::make_unique<TBitmap>().get());
    TBitBtn::ActionChange(Sender, CheckDefaults);
    if (action)
        DoActionChanging(this, action);
    SkinData()->Invalidate();
}

bool TsBitBtn::LooksDisabled()
{
    auto* action = dynamic_cast<TCustomAction*>(Action());
    return !Enabled() || (action && !action->Enabled());
}

// --- Skin changes ------------------------------------------------------------------------------

void TsBitBtn::SkinCame()
{
    // The skinned button draws from the list itself.
    if (GetImageCount(Images()) > 0 && !Glyph()->Empty())
        Glyph()->Assign(std::make_unique<TBitmap>().get());
}

void TsBitBtn::SkinWent()
{
    if (GetImageCount(Images()) > 0)
        CopyListGlyph();
}
