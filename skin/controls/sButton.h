// The skinned push button (section "BUTTON"): painted from the skin into its cache bitmap in a
// normal, hot or pressed look, shaped by its border mask, fading between looks where the section
// says so; a plain button while no skin is active.
#pragma once

#include <memory>

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sVclUtils.h"

class TsButton : public TButton {
    VCL_CLASS(TsButton, TButton)
public:
    explicit TsButton(TComponent* AOwner);
    ~TsButton() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // Read: shown pressed (held down by the mouse or the space bar) or Down.
    bool Down() const { return GetDown(); }
    void SetDown(bool Value);
    // How far the focus frame lies outside the caption's rectangle.
    int FocusMargin() const { return FFocusMargin; }
    void SetFocusMargin(int Value) { FFocusMargin = Value; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // 2 pressed, 1 hot (focused, under the mouse, or the form's active default button), 0 normal.
    int CurrentState();
    bool GetDown() const { return FPressed || FDown; }
    // Rebuilds the cache: background, border (cutting the window's shape), caption, disabled look.
    void PrepareCache();
    // The caption's size as drawn: word-wrapped within the width less 2 (0 for no caption).
    TSize TextRectSize();
    // The caption centred in the button, moved by (1, 1) while down.
    virtual TRect CaptionRect();
    virtual void DrawCaption();
    virtual void DoDrawText(TRect& R, int Flags);

    // The hot look fades in and out where the section says so.
    void StartFadeIn() { FFader.StartFadeIn(); }
    void StartFadeOut() { FFader.StartFadeOut(); }
    void StopFading() { FFader.StopFading(); }
    TsFadeTimer* FadeTimer() const { return FFader.Timer(); }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    bool FadeRunning() const;
    // A new look now: the cache rebuilt at the next paint, which comes at once.
    void Relook(bool NewShape);
    // WM_PAINT (and WM_PRINTCLIENT) while skinned: the cache, rebuilt when stale, copied whole.
    void OurPaintHandler(TMessage& Message);
    // The window message part of the skinned window procedure; true when consumed.
    bool SkinnedMessage(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void CMFocusChanged(TMessage& Message);

    std::unique_ptr<TsCommonData> FCommonData;
    bool FMousePressed = false; // the press the next release belongs to reached the button
    bool FPressed = false;      // shown pressed by the mouse or the space bar
    bool FRegionChanged = true; // the first image gives the window its shape
    int FFocusMargin = 1;
    TsDisabledKind FDisabledKind{dkBlended};
    bool FDown = false;
    TRegion FRegion;            // built by the last rebuild until the window takes it
    bool FActiveDefault = false;
    TsHintHold FHints;          // this button's press switched the application's hints off
    // Cleared when the button goes, so that code after a click can tell.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    TsButtonFader FFader{this, FCommonData.get(), [this] { PrepareCache(); }};
};
