// The skinned memo (section "EDIT") with its bound caption label. While a skin is active its
// native scroll bars are covered by skinned bars that it keeps in step.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsMemo : public TsSkinnedBound<TMemo> {
    VCL_CLASS(TsMemo, TsSkinnedBound<TMemo>)
public:
    explicit TsMemo(TComponent* AOwner);
    void Loaded() override;
    void WndProc(TMessage& Message) override;

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
    bool FLeftDown = false;
};
