// The skinned speed button (section "SPEEDBUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sThirdParty.h"

class TsSpeedButton : public TsSkinned<TSpeedButton>, public TsButtonGlyphs {
    VCL_CLASS(TsSpeedButton, TsSkinned<TSpeedButton>)
public:
    explicit TsSpeedButton(TComponent* AOwner);
    // Where the glyph goes inside the button.
    TRect ImgRect();
    void WndProc(TMessage& Message) override;

    // The timer of the button's fade, made on first use; AC_STOPFADING stops it.
    TsAnimTimer* AnimTimer() { return FAnim.Make(this); }
    TsAnimTimer* RunningAnimation() const { return FAnim.Timer(); }

protected:
    void GlyphsChanged() override { Invalidate(); }
    void CopyListGlyph() override {}

private:
    TsTimerSlot<TsAnimTimer> FAnim;
};
