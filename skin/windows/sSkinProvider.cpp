#include "sSkinProvider.h"

#include "Forms.h"
#include "sMessages.h"

TsSkinProvider::TsSkinProvider(TComponent* AOwner)
    : TComponent(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->COC = 224;
    FCommonData->SetSkinSection("FORM");
}

TsSkinProvider::~TsSkinProvider() = default;

void TsSkinProvider::AfterConstruction()
{
    inherited::AfterConstruction();
    FForm = dynamic_cast<TCustomForm*>(Owner());
    if (!FForm)
        return;
    FOldWndProc = FForm->WindowProc;
    FForm->WindowProc = TWndMethod(this, &TsSkinProvider::NewWndProc);
}

void TsSkinProvider::BeforeDestruction()
{
    // The form gets its procedure back while it is whole.
    if (FForm && FForm->WindowProc == TWndMethod(this, &TsSkinProvider::NewWndProc))
        FForm->WindowProc = FOldWndProc;
    FForm = nullptr;
    inherited::BeforeDestruction();
}

void TsSkinProvider::NewWndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_GETPROVIDER:
            Message.Result = reinterpret_cast<LRESULT>(this);
            return;
        // The form's image is not painted from the skin yet: no cache to offer its controls.
        case AC_GETCACHEINFO:
            return;
        default:
            if (CommonMessage(Message, FCommonData.get()))
                return;
            break;
        }
    }
    if (FOldWndProc)
        FOldWndProc(Message);
}
