// The skinned combo box (section "COMBOBOX") with its bound caption label.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsCustomComboBox : public TsSkinnedBound<TCustomComboBox> {
    VCL_CLASS(TsCustomComboBox, TsSkinnedBound<TCustomComboBox>)
public:
    explicit TsCustomComboBox(TComponent* AOwner);
    // Repaints the drop-down button (its glyph settings changed).
    void PaintButton() { SkinData()->Invalidate(); }
};

class TsComboBox : public TsCustomComboBox {
    VCL_CLASS(TsComboBox, TsCustomComboBox)
public:
    explicit TsComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner) {}
};
