// The skinned button with a glyph (section "BUTTON").
#pragma once

#include "Buttons.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sThirdParty.h"

class TsBitBtn : public TsSkinned<TBitBtn>, public TsButtonGlyphs {
    VCL_CLASS(TsBitBtn, TsSkinned<TBitBtn>)
public:
    explicit TsBitBtn(TComponent* AOwner);
    // Where the glyph goes inside the button.
    TRect ImgRect() { return GlyphRect(this, *this); }
    void WndProc(TMessage& Message) override;

    // The hot look fades in and out where the section says so.
    void StartFadeIn() { FFader.StartFadeIn(); }
    void StartFadeOut() { FFader.StartFadeOut(); }
    void StopFading() { FFader.StopFading(); }
    TsFadeTimer* FadeTimer() const { return FFader.Timer(); }

private:
    TsButtonFader FFader{this, SkinData()};
};
