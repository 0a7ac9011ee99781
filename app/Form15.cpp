#include "Form15.h"

using namespace formkit;

TForm15* Form15 = nullptr;

TForm15::TForm15(TComponent* AOwner) : TForm(AOwner)
{
    Form15 = this;
    SetName("Form15");
    SetCaption("Form15");
    SetClientWidth(320);
    SetClientHeight(240);
    sSkinProvider1 = AddSkinProvider(this);
}

TForm15::~TForm15()
{
    if (Form15 == this)
        Form15 = nullptr;
}
