// The skinned memo (section "EDIT") with its bound caption label. The native memo paints its text
// and background in the section's colour (the hot colour while active); the frame is painted in
// the window's border from the cache. While a skin is active its native scroll bars are covered
// by skinned bars that it keeps in step.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsMemo : public TsSkinnedBound<TMemo> {
    VCL_CLASS(TsMemo, TsSkinnedBound<TMemo>)
public:
    explicit TsMemo(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // The index of the first line shown.
    int FirstLineIndex();
    // The frame from the cache into DC (0: the window's DC), and the memo's colour between the
    // frame and the skinned bars.
    void PaintBorder(HDC DC = nullptr);
    // Background and frame of the current look and the disabled look into the cache.
    void PrepareCache();

    // The skinned bars (siblings on the memo's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // After the memo scrolled vertically / after the caret was placed by EM_SETSEL.
    TNotifyEvent OnVScroll;
    TNotifyEvent OnScrollCaret;

    // Makes, fills, places or frees the skinned bars by the native ones.
    void RefreshScrolls();
    void RefreshScrollBounds();
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

private:
    // The background follows the look: the section's hot colour while active, else its colour.
    void FollowStateColor();
    bool FLeftDown = false;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
};
