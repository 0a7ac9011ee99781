#include "Form12.h"

#include "Form5.h"
#include "Main.h"
#include "MainSession.h"
#include "MainTreeMap.h"

using namespace formkit;

TForm12* Form12 = nullptr;

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner)
{
    Form12 = this;
    SetName("Form12");
    DialogFrame(this, "Свойства ссылки", 361, 129);
    SetPosition(poMainFormCenter);
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Название", 8, 8, 100, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 8, 24, 345);
    Edit1->SetMaxLength(MaxTitleLength);
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", LinkAddressCaption, 8, 52, 345, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 8, 68, 345);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "Применить", 197, 98, 75, 25);
    Button1->SetDefault(true);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "Отмена", 278, 98, 75, 25);
    Button2->SetCancel(true);
    // The title is typed as soon as the dialog opens (the fields are the link's).
    OnShow = [this](TObject*) { StartFresh(this, Edit1); };
    Button1->OnClick = Bind(this, &TForm12::Button1Click);
    Button2->OnClick = Bind(this, &TForm12::Button2Click);
}

TForm12::~TForm12()
{
    if (Form12 == this)
        Form12 = nullptr;
}

void TForm12::Button1Click(TObject*)
{
    if (!TitleAccepted(*Edit1, niLink, Session(ID_Vellorn).PropertiesNode, "Введитие название"))
        return;
    ID_Vellorn->PendingUpdateLink = true;
    Close();
}

void TForm12::Button2Click(TObject*) { Close(); }
