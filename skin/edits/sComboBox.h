// The skinned combo box (section "COMBOBOX") with its bound caption label.
#pragma once

#if __has_include("StdCtrls.h")
#include "StdCtrls.h"
#include "sCommonData.h"

class TsComboBox : public TComboBox, public TsBoundHolder {
    VCL_CLASS(TsComboBox, TComboBox)
public:
    explicit TsComboBox(TComponent* AOwner);
};
#endif
