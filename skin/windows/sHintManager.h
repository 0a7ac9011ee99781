// The skinned hint manager: one on the main window. Drawing hints from the skin comes with
// window skinning; for now the application's plain hints are shown.
#pragma once

#include "Classes.h"

class TsHintManager : public TComponent {
    VCL_CLASS(TsHintManager, TComponent)
public:
    explicit TsHintManager(TComponent* AOwner) : TComponent(AOwner) {}

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }

private:
    bool FActive = true;
};
