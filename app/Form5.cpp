#include "Form5.h"

#include "Main.h"
#include "MainTreeMap.h"

using namespace formkit;

TForm5* Form5 = nullptr;

const char* const LinkAddressCaption = "Адрес ссылки (например: http://www.example.ru)";

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner)
{
    Form5 = this;
    SetName("Form5");
    DialogFrame(this, "Создание ссылки", 361, 129);
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Название", 8, 8, 100, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 8, 24, 345);
    Edit1->SetMaxLength(MaxTitleLength);
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", LinkAddressCaption, 8, 52, 345, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 8, 68, 345);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "OK", 197, 98, 75, 25);
    Button1->SetDefault(true);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "Отмена", 278, 98, 75, 25);
    Button2->SetCancel(true);
    // The title is typed as soon as the dialog opens.
    OnShow = [this](TObject*) { StartFresh(this, Edit1, {Edit1, Edit2}); };
    Button1->OnClick = Bind(this, &TForm5::Button1Click);
    Button2->OnClick = Bind(this, &TForm5::Button2Click);
}

TForm5::~TForm5()
{
    if (Form5 == this)
        Form5 = nullptr;
}

void TForm5::Button1Click(TObject*)
{
    if (!TitleAccepted(*Edit1, niLink, nullptr))
        return;
    ID_Vellorn->PendingAddLink = true;
    Close();
}

void TForm5::Button2Click(TObject*) { Close(); }
