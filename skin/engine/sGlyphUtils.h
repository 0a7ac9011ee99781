// The five built-in button glyphs of the combo-edit family and the glyph settings of the button of
// a combo edit or combo box. A glyph is three state cells side by side over their blend masks.
#pragma once

#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

// The built-in glyph of that name ("BTN_OPENFILE", "BTN_OPENFOLDER", "BTN_DATE", "BTN_ELLIPSIS",
// "BTN_CALC", compared exactly), or null. They are the program's bitmap resources "SF", "SR",
// "SD", "SE", "SC", read once and kept until the program ends.
TBitmap* GetResBmp(const AnsiString& Name);

// The glyph chosen last by any glyph mode: a built-in glyph or a glyph mode's own Glyph (null
// again when that glyph mode goes). Not owned.
extern TBitmap* DefBMP;

class TsGlyphMode : public TPersistent {
    VCL_CLASS(TsGlyphMode, TPersistent)
public:
    // AOwner: the combo edit or combo box whose button this describes.
    explicit TsGlyphMode(TWinControl* AOwner);
    ~TsGlyphMode() override;

    TWinControl* Owner() const { return FOwner; }
    // Mixes an inactive glyph with the background, percent (kept within 0..100).
    int Blend() const { return FBlend; }
    void SetBlend(int Value);
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    // The built-in glyph of the owner's kind instead of Glyph.
    bool UseDefaultGlyph() const { return FUseDefaultGlyph; }
    void SetUseDefaultGlyph(bool Value);
    // A copy of the bitmap becomes the glyph (and the built-in one is no longer used).
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    // The hint of a combo edit's button (reading answers the owner's hint for other owners).
    AnsiString Hint() const;
    void SetHint(const AnsiString& Value);

    // DefBMP := the own glyph, or the built-in glyph of the owner's kind; a combo edit's button
    // takes the glyph's width + 2 (0 without a glyph). True when the glyph has a width.
    bool AssignDefaultBitmap();
    // Repaints the button.
    void Invalidate();
    // Size of one glyph cell: 0 wide for a currency edit, 16 x 16 without any bitmap.
    int Width() const;
    int Height() const;

private:
    void Repaint();

    TWinControl* FOwner;
    int FBlend = 0;
    bool FGrayed = false;
    bool FUseDefaultGlyph = true;
    std::unique_ptr<TBitmap> FGlyph;
};
