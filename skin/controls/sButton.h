// The skinned push button (section "BUTTON"): painted from the skin into its cache bitmap in a
// normal, hot or pressed look, shaped by its border mask, fading between looks where the section
// says so; a plain button while no skin is active. TsButtonFrame holds that behaviour for any
// push button class (the glyph button shares it, adding its glyph to the content).
#pragma once

#include <memory>

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sVclUtils.h"

template <class Base>
class TsButtonFrame : public Base {
public:
    TsButtonFrame(TComponent* AOwner, int ControlCode);
    ~TsButtonFrame() override;
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
    // Rebuilds the cache: background, border (cutting the window's shape), content, disabled look.
    void PrepareCache();
    // The caption's size as drawn: word-wrapped within the width less 2 (0 for no caption).
    virtual TSize TextRectSize();
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
    void CreateWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Enabled follows the action's, whatever the defaults.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // The disabled look is given to the image.
    virtual bool LooksDisabled() { return !this->Enabled(); }

    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    // The caption's extent word-wrapped within Width, in the button's font.
    TSize MeasureText(int Width);
    // Whether the focus frame may be drawn around the caption (the section's "SHOWFOCUS" aside).
    virtual bool FocusFrameAllowed() { return true; }
    // The focus frame around the caption as written into R with Flags, FocusMargin - 1 beyond two
    // clear pixels, where it is shown: enabled, focused, with a caption, and the section showing
    // focus.
    void DrawFocusFrame(TRect R, int Flags);
    // The border goes over the content instead of under it.
    virtual bool BorderOverContent() { return false; }
    // What is drawn inside the border: the caption.
    virtual void DrawContent() { DrawCaption(); }
    // The cache has just been rebuilt.
    virtual void CachePainted(TBitmap*) {}
    // Asked at each paint: a setting the cached image was made with has changed since.
    virtual bool LookOutdated() { return false; }
    // Right before the cache goes to the screen.
    virtual void BeforeCopy() {}
    // A skin came (AC_NEWSKIN) / went (AC_REMOVESKIN).
    virtual void SkinCame() {}
    virtual void SkinWent() {}

private:
    bool FadeRunning() const;
    // A new look now: the cache rebuilt at the next paint, which comes at once.
    void Relook(bool NewShape);
    void PaintBorder(int State);
    // Gives a window not shown yet the shape its first image would give it.
    void ShapeUnshown();
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

class TsButton : public TsButtonFrame<TButton> {
    VCL_CLASS(TsButton, TButton)
public:
    explicit TsButton(TComponent* AOwner) : TsButtonFrame(AOwner, 93) {}
};
