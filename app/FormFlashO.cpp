#include "FormFlashO.h"

#include "ArchiveFiles.h"
#include "Main.h"
#include "MainSession.h"
#include "MainTreeMap.h"

using namespace formkit;

TFlashO* FlashO = nullptr;

TFlashO::TFlashO(TComponent* AOwner) : TForm(AOwner)
{
    FlashO = this;
    SetName("FlashO");
    LayoutFlashFields(this, *this, "Свойства Flash");
    SetPosition(poMainFormCenter);
    // The title is changed as soon as the dialog opens (the fields are the movie's).
    OnShow = [this](TObject*) { StartFresh(this, Edit1); };

    Button1->OnClick = Bind(this, &TFlashO::Button1Click);
    Button2->OnClick = Bind(this, &TFlashO::Button2Click);
    Button3->OnClick = Bind(this, &TFlashO::Button3Click);
}

TFlashO::~TFlashO()
{
    if (FlashO == this)
        FlashO = nullptr;
}

void TFlashO::Button1Click(TObject*) { archive::BrowseFile(*sOpenDialog1, "FILES\\FLASH", *Edit2); }

void TFlashO::Button2Click(TObject*)
{
    if (!TitleAccepted(*Edit1, niFlash, Session(ID_Vellorn).PropertiesNode, "Введитие название") || !archive::TypedFileInside("FILES\\FLASH", *Edit2))
        return;
    ID_Vellorn->PendingUpdateFlash = true;
    Close();
}

void TFlashO::Button3Click(TObject*) { Close(); }
