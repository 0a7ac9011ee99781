// The form skin provider: one on each skinned form. Taking over the form's window procedure to
// paint its frame comes with window skinning; for now it only marks the form as skinned.
#pragma once

#include "Classes.h"
#include "sCommonData.h"

#include <memory>

class TsSkinProvider : public TComponent {
    VCL_CLASS(TsSkinProvider, TComponent)
public:
    explicit TsSkinProvider(TComponent* AOwner);
    ~TsSkinProvider() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    // The form this provider skins (its owner), or null.
    TComponent* Form() const { return Owner(); }

private:
    std::unique_ptr<TsCommonData> FCommonData;
};
