// The skinned list box (section "EDIT") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsCustomListBox : public TsSkinnedBound<TCustomListBox> {
    VCL_CLASS(TsCustomListBox, TsSkinnedBound<TCustomListBox>)
public:
    explicit TsCustomListBox(TComponent* AOwner);

    // The selected item (-1 when none), and selecting one (-1 selects nothing).
    int GetItemIndex() { return ItemIndex(); }
    void SetItemIndex(int Value) override;
};

class TsListBox : public TsCustomListBox {
    VCL_CLASS(TsListBox, TsCustomListBox)
public:
    explicit TsListBox(TComponent* AOwner) : TsCustomListBox(AOwner) {}
};
