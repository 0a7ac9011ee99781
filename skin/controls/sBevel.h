// The bevel under its own class name: drawn as the framework draws it, with or without a skin.
#pragma once

#include "ExtCtrlsPanels.h"

class TsBevel : public TBevel {
    VCL_CLASS(TsBevel, TBevel)
public:
    using TBevel::TBevel;
};
