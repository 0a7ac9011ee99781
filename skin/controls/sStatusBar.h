// The skinned status bar (section "STATUSBAR").
#pragma once

#if __has_include("ComCtrlsBars.h")
#include "ComCtrlsBars.h"
#include "sCommonData.h"

class TsStatusBar : public TStatusBar, public TsSkinHolder {
    VCL_CLASS(TsStatusBar, TStatusBar)
public:
    explicit TsStatusBar(TComponent* AOwner);
};
#endif
