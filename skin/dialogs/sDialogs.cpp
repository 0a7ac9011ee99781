#include "sDialogs.h"

TModalResult sMessageDlg(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx)
{
    return MessageDlg(Msg, Type, Buttons, HelpCtx);
}
