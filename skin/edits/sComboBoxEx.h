// The skinned combo box with images (section "COMBOBOX") with its bound caption label.
#pragma once

#include "ComCtrlsComboEx.h"
#include "sCommonData.h"

class TsComboBoxEx : public TsSkinnedBound<TComboBoxEx> {
    VCL_CLASS(TsComboBoxEx, TsSkinnedBound<TComboBoxEx>)
public:
    explicit TsComboBoxEx(TComponent* AOwner);
};
