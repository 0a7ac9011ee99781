// The mask edit: the edit under the class name that the skinned mask edit and the combo edits
// replace. It keeps no edit mask (nothing in the program sets one), so it edits as the plain edit.
#pragma once

#include "StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
    VCL_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
};

class TMaskEdit : public TCustomMaskEdit {
    VCL_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
