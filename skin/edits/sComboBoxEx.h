// The skinned combo box with images (section "COMBOBOX") with its bound caption label.
#pragma once

#include "ComCtrlsComboEx.h"
#include "sCommonData.h"

class TsComboBoxEx : public TComboBoxEx, public TsBoundHolder {
    VCL_CLASS(TsComboBoxEx, TComboBoxEx)
public:
    explicit TsComboBoxEx(TComponent* AOwner);
};
