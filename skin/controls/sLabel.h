// Skinned labels: the plain label, the caption label of a bound label, and the label with text
// effects (section "LABEL").
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsLabel : public TLabel, public TsSkinHolder {
    VCL_CLASS(TsLabel, TLabel)
public:
    explicit TsLabel(TComponent* AOwner);
};

// The label a TsBoundLabel places beside its control. Going, it leaves its bound label inactive
// and without a label.
class TsEditLabel : public TsLabel {
    VCL_CLASS(TsEditLabel, TsLabel)
public:
    TsEditLabel(TComponent* AOwner, TsBoundLabel* ABoundLabel) : TsLabel(AOwner), BoundLabel(ABoundLabel) {}
    ~TsEditLabel() override;

    TsBoundLabel* BoundLabel = nullptr; // not owned
};

// The label with effects (shadow, glow) once skins are painted; a plain label for now.
class TsLabelFX : public TsLabel {
    VCL_CLASS(TsLabelFX, TsLabel)
public:
    explicit TsLabelFX(TComponent* AOwner) : TsLabel(AOwner) {}
};
