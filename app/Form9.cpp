#include "Form9.h"

#include "Main.h"

using namespace formkit;

TForm9* Form9 = nullptr;

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner)
{
    Form9 = this;
    SetName("Form9");
    DialogFrame(this, "Свойства", 260, 97);
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    Label1 = PlaceCaption<TsLabel>(this, this, "Label1", "Количество подкатегорий:", 16, 16, 175, 13);
    Label3 = PlaceCaption<TsLabel>(this, this, "Label3", "0", 196, 16, 50, 13);
    Label2 = PlaceCaption<TsLabel>(this, this, "Label2", "Количество статей:", 16, 36, 175, 13);
    Label4 = PlaceCaption<TsLabel>(this, this, "Label4", "0", 196, 36, 50, 13);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "OK", 92, 64, 75, 25);
    Button1->SetDefault(true);
    Button1->SetCancel(true);

    OnShow = Bind(this, &TForm9::FormShow);
    Button1->OnClick = Bind(this, &TForm9::Button1Click);
}

TForm9::~TForm9()
{
    if (Form9 == this)
        Form9 = nullptr;
}

void TForm9::FormShow(TObject*)
{
    if (!ID_Vellorn)
        return;
    Label3->SetCaption(IntToStr(ID_Vellorn->SubcategoryCount));
    Label4->SetCaption(IntToStr(ID_Vellorn->EntryCount));
}

void TForm9::Button1Click(TObject*) { Close(); }
