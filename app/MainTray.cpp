// The small windows around the main window: the about box and the settings dialog, centred on it,
// and the tray menu's "Закрыть", which ends the program as closing the window does.
#include "MainSession.h"

#include "Form13.h"
#include "Form7.h"

void TID_Vellorn::N35Click(TObject*)
{
    CentreOn(Form7, this);
    Form7->ShowModal();
}

void TID_Vellorn::ToolButton15Click(TObject* Sender) { N35Click(Sender); }

void TID_Vellorn::SettClick(TObject*)
{
    CentreOn(Form13, this);
    Form13->ShowModal();
}

void TID_Vellorn::N88Click(TObject*) { Close(); }
