// The skinned list box (section "EDIT") with its bound caption label. While a skin is active its
// native scroll bar is covered by a skinned one that it keeps in step: the vertical one for a
// list of one column, the horizontal one for a list of columns.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsCustomListBox : public TsSkinnedBound<TCustomListBox> {
    VCL_CLASS(TsCustomListBox, TsSkinnedBound<TCustomListBox>)
public:
    explicit TsCustomListBox(TComponent* AOwner);
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // The selected item (-1 when none), and selecting one (-1 selects nothing).
    int GetItemIndex() { return ItemIndex(); }
    void SetItemIndex(int Value) override;

    // The skinned bars (siblings on the list's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // After the skinned vertical bar scrolled the list.
    TNotifyEvent OnVScroll;

    // Makes, fills, places or hides the skinned bars by the native ones.
    void RefreshScrolls();
    void RefreshScrollBounds();
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

private:
    // Fills one bar from the native bar Kind, or hides it when it is not wanted.
    void RefreshBar(TsScrollBar*& Bar, int Kind, bool Wanted);
    bool FBarChanging = false; // a skinned bar's change is being applied to the list
};

class TsListBox : public TsCustomListBox {
    VCL_CLASS(TsListBox, TsCustomListBox)
public:
    explicit TsListBox(TComponent* AOwner) : TsCustomListBox(AOwner) {}
};
