#include "FormFlashO.h"

using namespace formkit;

TFlashO* FlashO = nullptr;

TFlashO::TFlashO(TComponent* AOwner) : TForm(AOwner)
{
    FlashO = this;
    SetName("FlashO");
    DialogFrame(this, "Свойства Flash", 361, 109);
    SetPosition(poMainFormCenter);
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
