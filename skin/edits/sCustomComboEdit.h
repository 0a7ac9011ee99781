// The skinned edit with a drop-down button at its right edge (section "EDIT"): the button, the
// glyph settings of the button and the name of the built-in glyph it shows. The pop-up windows
// and the button's painting come with the edits that use it.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sGlyphUtils.h"
#include "sSpeedButton.h"

// The button of a combo edit.
class TsEditButton : public TsSpeedButton {
    VCL_CLASS(TsEditButton, TsSpeedButton)
public:
    explicit TsEditButton(TComponent* AOwner) : TsSpeedButton(AOwner) {}
};

class TsCustomComboEdit : public TsSkinnedBound<TEdit> {
    VCL_CLASS(TsCustomComboEdit, TsSkinnedBound<TEdit>)
public:
    explicit TsCustomComboEdit(TComponent* AOwner);
    ~TsCustomComboEdit() override;

    TsEditButton* Button() const { return FButton; }
    TsGlyphMode* GlyphMode() const { return FGlyphMode.get(); }
    // The built-in glyph the button shows ("BTN_ELLIPSIS" here; each kind of edit sets its own).
    AnsiString DefBmpName = "BTN_ELLIPSIS";

private:
    TsEditButton* FButton = nullptr;
    std::unique_ptr<TsGlyphMode> FGlyphMode;
};
