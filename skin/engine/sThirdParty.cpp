#include "sThirdParty.h"

#include <algorithm>

#include "ActnList.h"
#include "sBitBtn.h"
#include "sGraphUtils.h"
#include "sSpeedButton.h"
#include "sToolBar.h"
#include "sUtils.h"

namespace {

TColor KeyOf(TCustomImageList* Images)
{
    return Images->BkColor() == clNone ? clSkinKey : Images->BkColor();
}

// The image Index of a list in a 24-bit bitmap of its own, and its key colour (its top-left pixel).
std::unique_ptr<TBitmap> ListImage(TCustomImageList* Images, int Index, TsColor& Key)
{
    auto img = std::make_unique<TBitmap>();
    CopyImage(img.get(), Images, Index);
    img->SetPixelFormat(pf24bit);
    Key = ColorToSColor(img->Canvas()->Pixels(0, 0));
    return img;
}

template <class TButton>
void DrawButtonGlyph(TButton* Button)
{
    TBitmap* cache = Button->SkinData()->FCacheBmp.get();
    if (!cache)
        return;
    const TRect r = Button->ImgRect();
    const bool active = ControlIsActive(Button->SkinData());
    if (TBitmap* glyph = Button->Glyph(); glyph && glyph->Width() > 0) {
        DrawGlyphEx(glyph, cache, r, Button->NumGlyphs(), Button->Enabled(), Button->Grayed(),
                    Button->DisabledGlyphKind(), active ? 1 : 0, Button->Blend());
        return;
    }
    TCustomImageList* images = Button->Images();
    const int index = Button->ImageIndex();
    if (!images || index < 0 || index >= images->Count())
        return;
    TsColor key;
    std::unique_ptr<TBitmap> img = ListImage(images, index, key);
    const TRect whole = Rect(0, 0, img->Width() - 1, img->Height() - 1);
    double blend = 0; // the share of the background that stays; 0: copied
    if (!Button->Enabled()) {
        if (Button->DisabledGlyphKind().Contains(dgGrayed))
            GrayScaleTrans(img.get(), key);
        if (Button->DisabledGlyphKind().Contains(dgBlended))
            blend = 0.5;
    } else if (!active) {
        if (Button->Grayed())
            GrayScaleTrans(img.get(), key);
        if (Button->Blend() >= 1)
            blend = Button->Blend() / 100.0;
    }
    if (blend > 0)
        BlendTransRectangle(cache, r.left, r.top, img.get(), whole, blend, key);
    else
        CopyTransBitmaps(cache, img.get(), r.left, r.top, key);
}

} // namespace

// --- TsButtonGlyphs -----------------------------------------------------------------------------

void TsButtonGlyphs::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    FImages = Value;
    if (Value) {
        Value->FreeNotification(FButton);
        CopyListGlyph();
    }
    GlyphsChanged();
}

void TsButtonGlyphs::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    if (FImages)
        CopyListGlyph();
    GlyphsChanged();
}

void TsButtonGlyphs::SetDisabledGlyphKind(TsDisabledGlyphKind Value)
{
    if (Value == FDisabledGlyphKind)
        return;
    FDisabledGlyphKind = Value;
    // The unskinned button's glyph carries the disabled look in its second image.
    if (GetImageCount(FImages) > 0)
        CopyListGlyph();
    GlyphsChanged();
}

void TsButtonGlyphs::SetBlend(int Value)
{
    Change(FBlend, std::clamp(Value, 0, 100));
}

void TsButtonGlyphs::ListRemoved(TComponent* Component)
{
    if (Component && Component == FImages)
        SetImages(nullptr);
}

// --- Layout of glyph and caption ---------------------------------------------------------------

TSize WrappedTextSize(TCanvas* Canvas, TFont* Font, const AnsiString& Text, int Width)
{
    Canvas->Font()->Assign(Font);
    TRect r{0, 0, Width, 0};
    DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{WidthOf(r), HeightOf(r)};
}

int GenMargin(int Margin)
{
    return Margin < 0 ? 0 : Margin + 3;
}

TRect LayoutCaptionRect(const TsGlyphLayout& L)
{
    const int W = L.Width, H = L.Height, gw = L.Glyph.cx, gh = L.Glyph.cy, tw = L.Text.cx, th = L.Text.cy;
    const int gm = GenMargin(L.Margin), sp = L.Spacing;
    const bool horizontal = L.Layout == blGlyphLeft || L.Layout == blGlyphRight;
    const int f = (horizontal ? gw > 0 : gh > 0) && L.HasCaption ? sp : 0;
    const int g = gw > 0 ? sp : 0;
    const int d = (W - gw - f - tw) / 2 - gm, e = (H - gh - f - th) / 2 - gm;
    const int tv = (H - th) / 2, c = (W - tw) / 2;
    TRect r{};
    switch (L.Layout) {
    case blGlyphLeft:
        r = L.Alignment == taLeftJustify    ? TRect{gw + L.Margin + g, tv, W - gm - 2 * d, H - tv}
            : L.Alignment == taRightJustify ? TRect{gm + 2 * d + gw + g, tv, W - gm, H - tv}
                                            : TRect{gm + d + gw + g, tv, W - gm - d, H - tv};
        break;
    case blGlyphRight:
        r = L.Alignment == taLeftJustify    ? TRect{gm, tv, gm + tw, H - tv}
            : L.Alignment == taRightJustify ? TRect{gm + 2 * d, tv, gm + 2 * d + tw, H - tv}
                                            : TRect{gm + d, tv, gm + d + tw, H - tv};
        break;
    case blGlyphTop:
        r = TRect{c, gm + e + gh + f, W - c, H - e - gm};
        break;
    case blGlyphBottom:
        r = TRect{c, gm + e, W - c, H - e - gm - gh - f};
        break;
    }
    r = TRect{r.left - 1 + L.TextOffset, r.top, r.right + 2 + L.TextOffset, r.bottom};
    if (L.Pressed)
        OffsetRect(&r, 1, 1);
    return r;
}

TRect LayoutImgRect(const TsGlyphLayout& L)
{
    const int W = L.Width, H = L.Height, gw = L.Glyph.cx, gh = L.Glyph.cy, tw = L.Text.cx, th = L.Text.cy;
    const int gm = GenMargin(L.Margin);
    const int s = L.ShowCaption && gw > 0 && L.HasCaption ? L.Spacing : 0;
    const int dx = (W - gw - s - tw) / 2 - gm, dy = (H - gh - s - th) / 2 - gm, y0 = (H - gh) / 2;
    TPoint p{};
    switch (L.Layout) {
    case blGlyphLeft:
        p = {L.Alignment == taLeftJustify ? gm : L.Alignment == taRightJustify ? gm + 2 * dx : gm + dx, y0};
        break;
    case blGlyphRight:
        p = {L.Alignment == taLeftJustify    ? W - gm - 2 * dx - s - gw
             : L.Alignment == taRightJustify ? W - gw - gm
                                             : (W - gw + s + tw) / 2,
             y0};
        break;
    case blGlyphTop:
        p = {(W - gw) / 2 + 1, gm + dy};
        break;
    case blGlyphBottom:
        p = {(W - gw) / 2 + 1, H - gm - dy - gh};
        break;
    }
    if (L.Pressed) {
        ++p.x;
        ++p.y;
    }
    return Rect(p.x, p.y, p.x + gw, p.y + gh);
}

bool UseStdDialogs()
{
    return false;
}

int GetImageCount(TCustomImageList* Images)
{
    return Images ? Images->Count() : 0;
}

void CopyGlyph(TControl* Control, TsCommonData* SkinData, int ImageIndex, TCustomImageList* Images, TBitmap* Glyph,
               TsDisabledGlyphKind Kind, int& NumGlyphs)
{
    if ((SkinData && SkinData->Skinned()) || !Images || !Glyph || ImageIndex < 0 || ImageIndex >= Images->Count() ||
        (Control && Control->ComponentState().Contains(csLoading) && Control->ComponentState().Contains(csDesigning)))
        return;
    CopyImage(Glyph, Images, ImageIndex);
    const int w = Glyph->Width(), h = Glyph->Height();
    const TPixelFormat format = Glyph->PixelFormat();
    const TColor key = KeyOf(Images);
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(Glyph);
    copy->SetPixelFormat(pf24bit);
    Glyph->SetPixelFormat(pf24bit);
    Glyph->SetWidth(2 * w);
    if (Kind.Contains(dgBlended) || Kind.Contains(dgGrayed)) {
        if (Kind.Contains(dgGrayed))
            GrayScaleTrans(copy.get(), ColorToSColor(key));
        Glyph->Canvas()->Brush()->SetColor(clBtnFace);
        Glyph->Canvas()->FillRect(Rect(w, 0, 2 * w, h));
        if (Kind.Contains(dgBlended))
            BlendTransRectangle(Glyph, w, 0, copy.get(), Rect(0, 0, w - 1, h - 1), 0.5, ColorToSColor(key));
        else
            CopyTransBitmaps(Glyph, copy.get(), w, 0, ColorToSColor(key));
        Glyph->Canvas()->SetPixels(w, h - 1, clSkinKey);
    } else {
        BitBlt(Glyph->Canvas()->Handle(), w, 0, w, h, copy->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    Glyph->SetPixelFormat(format);
    Glyph->SetTransparentColor(key);
    Glyph->SetTransparent(true);
    NumGlyphs = 2;
}

void DrawBitBtnGlyph(TsBitBtn* Button)
{
    DrawButtonGlyph(Button);
}

void DrawSpeedButtonGlyph(TsSpeedButton* Button)
{
    DrawButtonGlyph(Button);
}

void CopyToolBtnGlyph(TsToolBar* ToolBar, TToolButton* Button, TCustomDrawState State, TCustomDrawStage,
                      TTBCustomDrawFlags&, TBitmap* Bmp)
{
    TCustomImageList* list = ToolBar->Images();
    if (State.Contains(cdsHot) && ToolBar->HotImages() && Button->ImageIndex() < ToolBar->HotImages()->Count())
        list = ToolBar->HotImages();
    if (!list || Button->ImageIndex() < 0 || Button->ImageIndex() >= list->Count() || !Bmp)
        return;
    const int w = list->Width(), h = list->Height();
    const TRect b = Button->BoundsRect();
    int x, y;
    if (ToolBar->List()) {
        x = 5;
        y = (HeightOf(b) - h) / 2;
    } else {
        x = (WidthOf(b) - w) / 2 - (Button->Style() == tbsDropDown ? 8 : 0);
        const int line = ToolBar->ShowCaptions() ? ToolBar->Canvas()->TextHeight("A") + 3 : 0;
        y = (HeightOf(b) - h - line) / 2;
    }
    if (State.Contains(cdsSelected)) {
        ++x;
        ++y;
    }
    const TColor key = KeyOf(list);
    TBitmap img(w, h, pf24bit);
    img.Canvas()->Brush()->SetColor(key);
    img.Canvas()->FillRect(Rect(0, 0, w, h));
    list->Draw(img.Canvas(), 0, 0, Button->ImageIndex());
    CopyTransBitmaps(Bmp, &img, x, y, ColorToSColor(key));
}

bool ActionImageShown(TCustomAction* Action)
{
    return Action && Action->ActionList() && GetImageCount(Action->ActionList()->Images()) > 0 &&
           Action->ImageIndex() > -1;
}

void DoActionChanging(TsBitBtn*, TCustomAction*) {}

void DoActionChanging(TsSpeedButton*, TCustomAction*) {}
