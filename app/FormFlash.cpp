#include "FormFlash.h"

using namespace formkit;

TFlash* Flash = nullptr;

TFlash::TFlash(TComponent* AOwner) : TForm(AOwner)
{
    Flash = this;
    SetName("Flash");
    DialogFrame(this, "Flash", 361, 109);
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Название", 8, 12, 68, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 80, 8, 273);
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", "Файл", 8, 42, 68, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 80, 38, 192);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "Обзор...", 278, 36, 75, 25);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "OK", 197, 76, 75, 25);
    Button2->SetDefault(true);
    Button3 = PlaceCaption<TsButton>(this, this, "Button3", "Отмена", 278, 76, 75, 25);
    Button3->SetCancel(true);

    sOpenDialog1 = Create<TsOpenDialog>(this);
    sOpenDialog1->SetName("sOpenDialog1");
    sOpenDialog1->Filter = "Flash файлы (*.swf)|*.swf";

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
