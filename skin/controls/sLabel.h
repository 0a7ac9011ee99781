// Skinned labels: the plain label and the label with text effects (section "LABEL").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsLabel : public TLabel, public TsSkinHolder {
    VCL_CLASS(TsLabel, TLabel)
public:
    explicit TsLabel(TComponent* AOwner);
};

// The label with effects (shadow, glow) once skins are painted; a plain label for now.
class TsLabelFX : public TsLabel {
    VCL_CLASS(TsLabelFX, TsLabel)
public:
    explicit TsLabelFX(TComponent* AOwner) : TsLabel(AOwner) {}
};
