// The skinned push button (section "BUTTON").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"
#include "sFade.h"

class TsButton : public TsSkinned<TButton> {
    VCL_CLASS(TsButton, TsSkinned<TButton>)
public:
    explicit TsButton(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    // The hot look fades in and out where the section says so.
    void StartFadeIn() { FFader.StartFadeIn(); }
    void StartFadeOut() { FFader.StartFadeOut(); }
    void StopFading() { FFader.StopFading(); }
    TsFadeTimer* FadeTimer() const { return FFader.Timer(); }

private:
    TsButtonFader FFader{this, SkinData()};
};
