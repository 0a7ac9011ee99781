// The glyphs of the skinned glyph button, speed button and tool bar, drawn from their Glyph
// bitmap or image list with the inactive and disabled looks, and an image-list picture made into
// a two-frame glyph for unskinned controls.
#pragma once

#include "Buttons.h"
#include "Classes.h"
#include "ComCtrlsBars.h"
#include "Graphics.h"
#include "ImgList.h"
#include "sCommonData.h"
#include "sConst.h"

class TsBitBtn;
class TsSpeedButton;
class TsToolBar;
class TCustomAction;

// Called at the end of each rebuild of a button's cached image, with that image.
using TBmpPaintEvent = TMethod<void(TObject* Sender, TBitmap* Bmp)>;

// The settings of a glyph or speed button besides its Glyph: an image list and the image shown
// from it, the disabled look of that image, its inactive look (grey, mixed Blend percent with
// the background), and the placement of glyph and caption. A change calls GlyphsChanged; a new
// image of the list is copied into the Glyph of the unskinned button by CopyListGlyph.
class TsButtonGlyphs {
public:
    // Button: the control, told when the list goes.
    explicit TsButtonGlyphs(TComponent* Button) : FButton(Button) {}
    virtual ~TsButtonGlyphs() = default;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value) { Change(FGrayed, Value); }
    // 0 to 100; other values are brought into that range.
    int Blend() const { return FBlend; }
    void SetBlend(int Value);
    // Horizontal shift of the caption's rectangle.
    int TextOffset() const { return FTextOffset; }
    void SetTextOffset(int Value) { Change(FTextOffset, Value); }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value) { Change(FShowCaption, Value); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { Change(FAlignment, Value); }
    // True: the border first, caption and glyph over it; false: the border over them.
    bool DrawOverBorder() const { return FDrawOverBorder; }
    void SetDrawOverBorder(bool Value) { Change(FDrawOverBorder, Value); }
    TBmpPaintEvent OnPaint;

protected:
    virtual void GlyphsChanged() = 0;
    // Glyph := the list's image (with its disabled look) while no skin paints the button.
    virtual void CopyListGlyph() = 0;
    // The list was removed: no list any more (Notification).
    void ListRemoved(TComponent* Component);

private:
    template <class T>
    void Change(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        GlyphsChanged();
    }
    TComponent* FButton;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
    bool FGrayed = false;
    int FBlend = 0;
    int FTextOffset = 0;
    bool FShowCaption = true;
    TAlignment FAlignment = taCenter;
    bool FDrawOverBorder = true;
};

// What places the glyph and the caption of a glyph or speed button: the room they share
// (Width x Height), the glyph's and the caption's sizes, the raw Margin and Spacing, whether
// there is a caption at all and whether it is shown, and whether the button is pressed.
struct TsGlyphLayout {
    int Width = 0, Height = 0;
    TSize Glyph{0, 0}, Text{0, 0};
    int Margin = -1, Spacing = 4;
    TButtonLayout Layout = blGlyphLeft;
    TAlignment Alignment = taCenter;
    bool HasCaption = false;
    bool ShowCaption = true;
    bool Pressed = false;
    int TextOffset = 0;
};
// The glyph's size in a glyph or speed button: one of Glyph's NumGlyphs images, else the list's
// image size when an image of the list is chosen, else 0 x 0.
template <class TButton>
TSize ButtonGlyphSize(TButton* Button)
{
    if (TBitmap* g = Button->Glyph(); g->Width() > 0)
        return TSize{g->Width() / Button->NumGlyphs(), g->Height()};
    TCustomImageList* list = Button->Images();
    if (list && Button->ImageIndex() >= 0 && Button->ImageIndex() < list->Count())
        return TSize{list->Width(), list->Height()};
    return TSize{0, 0};
}

// The layout of a glyph or speed button's glyph and caption in the room of Width x its height.
template <class TButton>
TsGlyphLayout ButtonLayout(TButton* Button, int Width, bool Pressed)
{
    TsGlyphLayout l;
    l.Width = Width;
    l.Height = Button->Height();
    l.Glyph = TSize{Button->GlyphWidth(), Button->GlyphHeight()};
    l.Text = Button->TextRectSize();
    l.Margin = Button->Margin();
    l.Spacing = Button->Spacing();
    l.Layout = Button->Layout();
    l.Alignment = Button->Alignment();
    l.HasCaption = !Button->Caption().empty();
    l.ShowCaption = Button->ShowCaption();
    l.Pressed = Pressed;
    l.TextOffset = Button->TextOffset();
    return l;
}

// The extent of Text in Font word-wrapped within Width (DT_CALCRECT, DT_EXPANDTABS, DT_WORDBREAK),
// measured on Canvas.
TSize WrappedTextSize(TCanvas* Canvas, TFont* Font, const AnsiString& Text, int Width);
// 0 for a negative margin, else Margin + 3.
int GenMargin(int Margin);
// The caption's rectangle and the glyph's, moved by (1, 1) while pressed.
TRect LayoutCaptionRect(const TsGlyphLayout& L);
TRect LayoutImgRect(const TsGlyphLayout& L);

// The skinned dialogs replace the system's: never the standard ones.
bool UseStdDialogs();
int GetImageCount(TCustomImageList* Images);
// For an unskinned control: Glyph := image ImageIndex of Images and a second frame of its
// disabled look (grey and/or blended by Kind) over the button face; NumGlyphs := 2.
void CopyGlyph(TControl* Control, TsCommonData* SkinData, int ImageIndex, TCustomImageList* Images, TBitmap* Glyph,
               TsDisabledGlyphKind Kind, int& NumGlyphs);
// The button's glyph into its cache at its glyph rectangle.
void DrawBitBtnGlyph(TsBitBtn* Button);
void DrawSpeedButtonGlyph(TsSpeedButton* Button);
// A tool button's image into the button's own paint bitmap: the hot list when the state asks
// for it, placed as the bar lays its buttons out.
void CopyToolBtnGlyph(TsToolBar* ToolBar, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                      TTBCustomDrawFlags& Flags, TBitmap* Bmp);
// The action carries a picture for its buttons: its list has images and it names one.
bool ActionImageShown(TCustomAction* Action);
void DoActionChanging(TsBitBtn* Button, TCustomAction* Action);
void DoActionChanging(TsSpeedButton* Button, TCustomAction* Action);
