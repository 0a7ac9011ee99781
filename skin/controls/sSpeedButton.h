// The skinned speed button (section "SPEEDBUTTON"): a windowless button painted from the skin into
// its cache bitmap in a normal, hot or pressed look, with a glyph and caption laid out as the
// glyph button lays them, tool-button styles (check, drop-down with a menu, separator, divider),
// and a fade between looks drawn frame by frame by its animation timer. A plain speed button
// while no skin is active.
#pragma once

#include <memory>

#include "Buttons.h"
#include "ComCtrlsBars.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sThirdParty.h"
#include "sVclUtils.h"

class TPopupMenu;

class TsSpeedButton : public TSpeedButton, public TsButtonGlyphs {
    VCL_CLASS(TsSpeedButton, TSpeedButton)
public:
    explicit TsSpeedButton(TComponent* AOwner);
    ~TsSpeedButton() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
    // A drop-down button is 16 pixels wider than the others for its arrow part.
    void SetButtonStyle(TToolButtonStyle Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // The drop-down menu of this button is open.
    bool MenuOpen() const { return FMenuOpen; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The painting steps, replaceable by subclasses.
    virtual void DrawCaption();
    // 2 pressed (down or held down), 1 hot, 0 normal.
    virtual int CurrentState();
    virtual void DrawGlyph();
    virtual int GlyphWidth();
    virtual int GlyphHeight();
    // Rebuilds the cache: background, border, caption, glyph, the arrow part, the disabled look.
    virtual void PrepareCache();
    // The new look fades in from the one shown (where the section fades).
    virtual void StartFade();
    virtual TRect CaptionRect();
    virtual TRect ImgRect();

    // 16 for a drop-down button, else 0.
    int ArrowWidth() const { return FButtonStyle == tbsDropDown ? 16 : 0; }
    // The caption word-wrapped within the room the arrow, glyph and margins leave; 0 x 0 when no
    // caption is shown.
    TSize TextRectSize();
    // Repaints with the parent told that this button draws itself over it meanwhile.
    void GraphRepaint();
    void StopFading();

    // The running fade's timer, made when there is none; AC_STOPFADING gives it up.
    TsAnimTimer* AnimTimer() { return FAnim.Make(this); }
    TsAnimTimer* RunningAnimation() const { return FAnim.Timer(); }

protected:
    // The action's image takes the place of Glyph where the action carries one.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void GlyphsChanged() override;
    void CopyListGlyph() override;

private:
    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    bool Pressed() const { return FState == bsDown || FState == bsExclusive; }
    // The separator's and divider's background: the parent's image or colour.
    void PaintParentBackground(const TCacheInfo& CI);
    void PaintArrowPart();
    void DropDown();
    // The window message part of the skinned window procedure; true when consumed.
    bool SkinnedMessage(TMessage& Message);
    // CM_MOUSEENTER / CM_MOUSELEAVE while skinned: the hot look comes and goes, faded or at once.
    bool MouseEnter();
    bool MouseLeave();

    int FLastNumGlyphs = 1;
    int FLastSpacing = 4;
    bool FLastDown = false;
    std::unique_ptr<TsCommonData> FCommonData;
    TsDisabledKind FDisabledKind{dkBlended};
    TsTimerSlot<TsAnimTimer> FAnim;
    TToolButtonStyle FButtonStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FMenuOpen = false;
    TsHintHold FHints; // off while the drop-down menu is open
};

// A speed button as wide as its height less 4 (the month calendar's navigation buttons).
class TsTimerSpeedButton : public TsSpeedButton {
    VCL_CLASS(TsTimerSpeedButton, TsSpeedButton)
public:
    explicit TsTimerSpeedButton(TComponent* AOwner);
    bool AllowTimer = true;
};
