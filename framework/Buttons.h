// The framework's Buttons unit: the glyph button TBitBtn (an owner-drawn push button) and the
// windowless TSpeedButton, with the glyph and caption layout they share.
#pragma once

#include <windows.h>

#include <memory>

#include "Controls.h"
#include "Graphics.h"
#include "StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// Where the glyph and the caption go inside Client: Margin is the distance of the glyph from the
// edge it is laid against (-1 centres the pair), Spacing the gap between glyph and caption (-1
// spreads the free room evenly).
struct TButtonLayoutResult {
    TPoint GlyphPos{};
    TRect TextBounds{};
};
TButtonLayoutResult CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout,
                                     int Margin, int Spacing);

// Draws part Index of a glyph made of NumGlyphs images side by side, the colour of its bottom-left
// pixel transparent.
void DrawButtonGlyph(HDC DC, int X, int Y, TBitmap* Glyph, int NumGlyphs, int Index);

// A push button that draws a glyph beside its caption. Kind gives the standard captions, modal
// results and default/cancel roles.
class TBitBtn : public TButton {
    VCL_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    void Dispatch(TMessage& Message) override;
    void Click() override;

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);

protected:
    // An empty Glyph takes the action's image of its list's Images.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;
    void CNDrawItem(TMessage& Message);
    // Paints the button: frame, glyph and caption.
    virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);

    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TBitBtnKind FKind = bkCustom;
    bool FIsFocused = false;
};

// A windowless button. Buttons with the same non-zero GroupIndex on one parent act as radio
// buttons: pressing one releases the others; AllowAllUp lets the pressed one be released too.
class TSpeedButton : public TGraphicControl {
    VCL_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    void Dispatch(TMessage& Message) override;

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // A flat button with Transparent (the default) paints no background: the parent shows.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // The look being shown: up, disabled, pressed or held down.
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

protected:
    // Down follows the action's Checked, and an empty Glyph takes the action's image.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Tells the siblings of the same group that this one went down.
    void UpdateExclusive();
    void CMButtonPressed(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void UpdateOpaque();

    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    bool FDragging = false;
    bool FMouseInControl = false;
    TButtonState FState = bsUp;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};
