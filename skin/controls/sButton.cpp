#include "sButton.h"

TsButton::TsButton(TComponent* AOwner) : TsSkinned(AOwner, "BUTTON", 93)
{
}

void TsButton::WndProc(TMessage& Message)
{
    if (!FFader.StopCommand(Message))
        inherited::WndProc(Message);
}
