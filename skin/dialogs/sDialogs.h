// Skinned dialogs: the open dialog and the message dialog. While no skin is active they are the
// system's dialogs.
#pragma once

#include "Dialogs.h"

class TsOpenDialog : public TOpenDialog {
    VCL_CLASS(TsOpenDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;
};

// Shows a message dialog with the text, the type's title and icon and the buttons; answers the
// modal result of the pressed button (mrYes = 6 ...).
TModalResult sMessageDlg(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx);
