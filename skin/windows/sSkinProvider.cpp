#include "sSkinProvider.h"

TsSkinProvider::TsSkinProvider(TComponent* AOwner)
    : TComponent(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->SetSkinSection("FORM");
}

TsSkinProvider::~TsSkinProvider() = default;
