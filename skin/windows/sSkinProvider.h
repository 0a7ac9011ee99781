// The form skin provider: one on each skinned form. It takes over the form's window procedure and
// answers the library message for the form (its skin state follows the skin, and it names itself
// to AC_GETPROVIDER); painting the form's frame from the skin comes with window skinning.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "sCommonData.h"

#include <memory>

class TsSkinProvider : public TComponent {
    VCL_CLASS(TsSkinProvider, TComponent)
public:
    explicit TsSkinProvider(TComponent* AOwner);
    ~TsSkinProvider() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    // The form this provider skins (its owner), or null.
    TComponent* Form() const { return Owner(); }

    // The form's window procedure while the provider holds it: the library message first, the
    // rest to the form's own procedure.
    void NewWndProc(TMessage& Message);

private:
    std::unique_ptr<TsCommonData> FCommonData;
    TWinControl* FForm = nullptr;
    TWndMethod FOldWndProc;
};
