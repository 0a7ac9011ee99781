#include "FormFlashO.h"

using namespace formkit;

TFlashO* FlashO = nullptr;

TFlashO::TFlashO(TComponent* AOwner) : TForm(AOwner)
{
    FlashO = this;
    SetName("FlashO");
    LayoutFlashFields(this, *this, "Свойства Flash");
    SetPosition(poMainFormCenter);

    Button1->OnClick = Bind(this, &TFlashO::Button1Click);
    Button2->OnClick = Bind(this, &TFlashO::Button2Click);
    Button3->OnClick = Bind(this, &TFlashO::Button3Click);
}

TFlashO::~TFlashO()
{
    if (FlashO == this)
        FlashO = nullptr;
}

// Handlers: bodies come with the behaviour of the properties.
void TFlashO::Button1Click(TObject*) {}
void TFlashO::Button2Click(TObject*) {}
void TFlashO::Button3Click(TObject*) {}
