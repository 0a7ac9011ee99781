#include "sThirdParty.h"

#include <algorithm>

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
        DrawGlyphEx(glyph, cache, r, Button->NumGlyphs(), Button->Enabled(), Button->Grayed, Button->DisabledGlyphKind,
                    active ? 1 : 0, Button->Blend);
        return;
    }
    if (!Button->Images || Button->ImageIndex < 0 || Button->ImageIndex >= Button->Images->Count())
        return;
    TsColor key;
    std::unique_ptr<TBitmap> img = ListImage(Button->Images, Button->ImageIndex, key);
    const TRect whole = Rect(0, 0, img->Width() - 1, img->Height() - 1);
    double blend = 0; // the share of the background that stays; 0: copied
    if (!Button->Enabled()) {
        if (Button->DisabledGlyphKind.Contains(dgGrayed))
            GrayScaleTrans(img.get(), key);
        if (Button->DisabledGlyphKind.Contains(dgBlended))
            blend = 0.5;
    } else if (!active) {
        if (Button->Grayed)
            GrayScaleTrans(img.get(), key);
        if (Button->Blend >= 1)
            blend = Button->Blend / 100.0;
    }
    if (blend > 0)
        BlendTransRectangle(cache, r.left, r.top, img.get(), whole, blend, key);
    else
        CopyTransBitmaps(cache, img.get(), r.left, r.top, key);
}

} // namespace

TSize GlyphTextSize(TControl* Control)
{
    const AnsiString caption = Control->Caption();
    return caption.empty() ? TSize{0, 0} : GetStringSize(Control->Font()->Handle(), caption);
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
    CopyTransBitmaps(Bmp, &img, b.left + x, b.top + y, ColorToSColor(key));
}

void DoActionChanging(TsBitBtn*, TCustomAction*) {}

void DoActionChanging(TsSpeedButton*, TCustomAction*) {}
