#include "sBitBtn.h"

TsBitBtn::TsBitBtn(TComponent* AOwner) : TsSkinned(AOwner, "BUTTON", 94)
{
}

void TsBitBtn::WndProc(TMessage& Message)
{
    if (!FFader.StopCommand(Message))
        inherited::WndProc(Message);
}
