#include "FormFlash.h"

using namespace formkit;

TFlash* Flash = nullptr;

TFlash::TFlash(TComponent* AOwner) : TForm(AOwner)
{
    Flash = this;
    SetName("Flash");
    LayoutFlashFields(this, *this, "Flash");
    SetPosition(poDesigned); // centred on the main window by the command that opens it

    Button1->OnClick = Bind(this, &TFlash::Button1Click);
    Button2->OnClick = Bind(this, &TFlash::Button2Click);
    Button3->OnClick = Bind(this, &TFlash::Button3Click);
}

TFlash::~TFlash()
{
    if (Flash == this)
        Flash = nullptr;
}

// Handlers: bodies come with the behaviour of adding Flash movies.
void TFlash::Button1Click(TObject*) {}
void TFlash::Button2Click(TObject*) {}
void TFlash::Button3Click(TObject*) {}
