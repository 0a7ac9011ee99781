// A group box holding one radio button per line of Items; ItemIndex is the checked one.
#pragma once

#include <memory>
#include <vector>

#include "ClassesStrings.h"
#include "StdCtrls.h"

class TCustomRadioGroup : public TCustomGroupBox {
    VCL_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1 when no button is checked.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // The radio button of line Index.
    TRadioButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }

protected:
    // Makes one button per line, keeping the checked index when it is still there.
    void UpdateButtons();
    void ArrangeButtons();
    void ButtonClick(TObject* Sender);

    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    VCL_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    using TCustomRadioGroup::TCustomRadioGroup;
};
