// The skinned push button (section "BUTTON").
#pragma once

#if __has_include("StdCtrls.h")
#include "StdCtrls.h"
#include "sCommonData.h"

class TsButton : public TButton, public TsSkinHolder {
    VCL_CLASS(TsButton, TButton)
public:
    explicit TsButton(TComponent* AOwner);
};
#endif
