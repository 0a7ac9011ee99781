// The skinned radio button (section "RADIOBUTTON"): built as the skinned check box, with the
// skin's "RADIOCHECKED" and "RADIOUNCHECKED" masks; a release checks it and unchecks the radio
// buttons beside it.
#pragma once

#include "sCheckBox.h"

class TsRadioButton : public TsCheckControl<TRadioButton> {
    VCL_CLASS(TsRadioButton, TsCheckControl<TRadioButton>)
public:
    explicit TsRadioButton(TComponent* AOwner);

    // The skin's "GLOBALINFO" mask of the value.
    static int GlyphMaskIndex(bool Checked);

protected:
    int CurrentMaskIndex() override { return GlyphMaskIndex(Checked()); }
    int PlacingMaskIndex() override { return GlyphMaskIndex(Checked()); }
    void DrawCheckArea() override;
    void ReleaseClick() override { SetChecked(true); }
    WPARAM NativeCheck() override { return Checked() ? 1 : 0; }
    void SkinnedSetCheck(WPARAM Value) override;
    bool PlainMessage(TMessage& Message) override;
    int TextGap() const override { return 0; }
};
