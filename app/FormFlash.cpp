#include "FormFlash.h"

#include "ArchiveFiles.h"
#include "Main.h"
#include "MainTreeMap.h"

using namespace formkit;

TFlash* Flash = nullptr;

TFlash::TFlash(TComponent* AOwner) : TForm(AOwner)
{
    Flash = this;
    SetName("Flash");
    LayoutFlashFields(this, *this, "Flash");
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    // The title of a new movie is typed as soon as the dialog opens.
    OnShow = [this](TObject*) { StartFresh(this, Edit1, {Edit1, Edit2}); };

    Button1->OnClick = Bind(this, &TFlash::Button1Click);
    Button2->OnClick = Bind(this, &TFlash::Button2Click);
    Button3->OnClick = Bind(this, &TFlash::Button3Click);
}

TFlash::~TFlash()
{
    if (Flash == this)
        Flash = nullptr;
}

void TFlash::Button1Click(TObject*) { archive::BrowseFile(*sOpenDialog1, "FILES\\FLASH", *Edit2); }

void TFlash::Button2Click(TObject*)
{
    if (!TitleAccepted(*Edit1, niFlash, nullptr, "Введитие название") || !archive::TypedFileInside("FILES\\FLASH", *Edit2))
        return;
    ID_Vellorn->PendingAddFlash = true;
    Close();
}

void TFlash::Button3Click(TObject*) { Close(); }
