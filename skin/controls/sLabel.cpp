#include "sLabel.h"

TsLabel::TsLabel(TComponent* AOwner) : TLabel(AOwner), TsSkinHolder(this, "LABEL", 0)
{
}

TsEditLabel::~TsEditLabel()
{
    if (BoundLabel)
        BoundLabel->LabelDestroyed();
}
