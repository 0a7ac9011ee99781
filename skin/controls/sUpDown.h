// The skinned up-down: the native control's position, stepping, auto-repeat and buddy, with its
// two buttons painted from the skin's scroll-button sections (or ButtonSkin). It keeps no skin
// state of its own: only which button is hot or pressed; the background comes from the parent.
#pragma once

#include "ComCtrlsBars.h"
#include "sConst.h"

// Which button is hot or pressed; the first button is the top (vertical) or left one.
enum TsDrawingState { dsDefault, dsPrevUp, dsNextUp, dsPrevDown, dsNextDown };
enum TsBtnKind { sbkTop, sbkLeft, sbkBottom, sbkRight };

class TsUpDown : public TUpDown {
    VCL_CLASS(TsUpDown, TUpDown)
public:
    explicit TsUpDown(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    // A button whose direction is exhausted (Position at its end) looks disabled and is never hot.
    bool ShowInaccessibility() const { return FShowInaccessibility; }
    void SetShowInaccessibility(bool Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TsDrawingState DrawingState() const { return FDrawingState; }
    void SetDrawingState(TsDrawingState Value);
    // A section for both buttons; empty: the skin's scroll-button sections.
    const AnsiString& ButtonSkin() const { return FButtonSkin; }
    void SetButtonSkin(const AnsiString& Value);

    // The first button's rectangle.
    TRect BtnRect() const;
    TCacheInfo GetParentCache();
    // One button painted into Bmp; the second button's bitmap is sized to what the first leaves.
    void DrawBtn(TBitmap* Bmp, TsBtnKind Kind);

private:
    bool Vertical() const { return Orientation() == udVertical; }
    // The first (top or left) or second button has reached its end value.
    bool AtEnd(bool First);
    // A press turns the hot button pressed unless it is at its end.
    void Press();
    void HitTest(const TMessage& Message);
    void PaintButtons(TMessage& Message);

    bool FShowInaccessibility = true;
    TsDisabledKind FDisabledKind{dkBlended};
    TsDrawingState FDrawingState = dsDefault;
    AnsiString FButtonSkin;
    bool FMouseDownFlag = false;
};
