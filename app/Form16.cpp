#include "Form16.h"

using namespace formkit;

TForm16* Form16 = nullptr;

TForm16::TForm16(TComponent* AOwner) : TForm(AOwner)
{
    Form16 = this;
    SetName("Form16");
    DialogFrame(this, "Интерфейс", 353, 298);
    SetColor(static_cast<TColor>(14215660));
    SetPosition(poMainFormCenter);
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Выберите скин:", 8, 8, 150, 13);
    sListBox1 = Place<TsListBox>(this, this, "sListBox1", 8, 26, 337, 218);
    sListBox1->SetItemHeight(16);
    sBevel1 = Place<TsBevel>(this, this, "sBevel1", 8, 248, 337, 9);
    sBevel1->SetShape(bsBottomLine);
    sButton1 = PlaceCaption<TsButton>(this, this, "sButton1", "OK", 189, 265, 75, 25);
    sButton1->SetDefault(true);
    sButton2 = PlaceCaption<TsButton>(this, this, "sButton2", "Отмена", 270, 265, 75, 25);
    sButton2->SetCancel(true);

    OnShow = Bind(this, &TForm16::FormShow);
    sListBox1->OnClick = Bind(this, &TForm16::sListBox1Click);
    sButton1->OnClick = Bind(this, &TForm16::sButton1Click);
    sButton2->OnClick = Bind(this, &TForm16::sButton2Click);
}

TForm16::~TForm16()
{
    if (Form16 == this)
        Form16 = nullptr;
}

// Handlers: bodies come with the behaviour of the skin chooser.
void TForm16::FormShow(TObject*) {}
void TForm16::sListBox1Click(TObject*) {}
void TForm16::sButton1Click(TObject*) {}
void TForm16::sButton2Click(TObject*) {}
