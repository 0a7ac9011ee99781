#include "sSpeedButton.h"

#include "sMessages.h"

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TsSkinned(AOwner, "SPEEDBUTTON", 92)
{
}

void TsSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_STOPFADING) {
        // Given up, not freed: the stop comes from the timer's own tick.
        FAnim.Release();
        return;
    }
    inherited::WndProc(Message);
}
