// The glyphs of the skinned glyph button, speed button and tool bar, drawn from their Glyph
// bitmap or image list with the inactive and disabled looks, and an image-list picture made into
// a two-frame glyph for unskinned controls.
#pragma once

#include "Buttons.h"
#include "ComCtrlsBars.h"
#include "Graphics.h"
#include "ImgList.h"
#include "sCommonData.h"
#include "sConst.h"

class TsBitBtn;
class TsSpeedButton;
class TsToolBar;
class TCustomAction;

// What the glyph routines read of a glyph or speed button besides its Glyph: an image list and
// the image shown from it, the disabled look, and the inactive look (grey, mixed Blend percent
// with the background).
struct TsButtonGlyphs {
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    TsDisabledGlyphKind DisabledGlyphKind{dgBlended};
    bool Grayed = false;
    int Blend = 0;
};

// The extent of a control's caption in its font (0 x 0 without one).
TSize GlyphTextSize(TControl* Control);

// The glyph's rectangle inside a glyph or speed button: the button's layout of glyph and caption.
template <class TButton>
TRect GlyphRect(TButton* Button, const TsButtonGlyphs& Glyphs)
{
    TSize glyph{0, 0};
    if (TBitmap* g = Button->Glyph(); g && g->Width() > 0)
        glyph = TSize{g->Width() / (Button->NumGlyphs() > 0 ? Button->NumGlyphs() : 1), g->Height()};
    else if (Glyphs.Images)
        glyph = TSize{Glyphs.Images->Width(), Glyphs.Images->Height()};
    const TSize text = GlyphTextSize(Button);
    const TPoint p = CalcButtonLayout(Rect(0, 0, Button->Width(), Button->Height()), glyph, text, Button->Layout(),
                                      Button->Margin(), Button->Spacing())
                         .GlyphPos;
    return Rect(p.x, p.y, p.x + glyph.cx, p.y + glyph.cy);
}

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
// A tool button's image into the bar's paint bitmap: the hot list when the state asks for it,
// placed as the bar lays its buttons out.
void CopyToolBtnGlyph(TsToolBar* ToolBar, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                      TTBCustomDrawFlags& Flags, TBitmap* Bmp);
void DoActionChanging(TsBitBtn* Button, TCustomAction* Action);
void DoActionChanging(TsSpeedButton* Button, TCustomAction* Action);
