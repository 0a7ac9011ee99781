#include "Form4.h"

#include "Main.h"

using namespace formkit;

TForm4* Form4 = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    Form4 = this;
    SetName("Form4");
    DialogFrame(this, "Поиск", 369, 169);
    SetPosition(poMainFormCenter);
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Что", 8, 12, 28, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 40, 8, 321);

    GroupBox1 = PlaceCaption<TsGroupBox>(this, this, "GroupBox1", "Параметры поиска", 8, 40, 173, 81);
    RadioButton2 = PlaceCaption<TsRadioButton>(this, GroupBox1, "RadioButton2", "Вхождение всех слов", 10, 22, 155,
                                               17);
    RadioButton2->SetCheckedValue(true);
    RadioButton3 = PlaceCaption<TsRadioButton>(this, GroupBox1, "RadioButton3", "Наличие любого слова", 10, 48,
                                               155, 17);

    GroupBox2 = PlaceCaption<TsGroupBox>(this, this, "GroupBox2", "Опции", 188, 40, 173, 81);
    CheckBox1 = PlaceCaption<TsCheckBox>(this, GroupBox2, "CheckBox1", "Искать в найденом", 10, 22, 155, 17);
    CheckBox2 = PlaceCaption<TsCheckBox>(this, GroupBox2, "CheckBox2", "C учётом регистра", 10, 48, 155, 17);

    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "Найти", 205, 136, 75, 25);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "Закрыть", 286, 136, 75, 25);
    Button2->SetCancel(true);
    // The query box has the focus whenever the dialog opens, so that the query is typed at once;
    // the last query and options stay.
    OnShow = [this](TObject*) { StartFresh(this, Edit1); };
    Edit1->OnKeyPress = Bind(this, &TForm4::Edit1KeyPress);
    RadioButton2->OnClick = Bind(this, &TForm4::RadioButton2Click);
    RadioButton3->OnClick = Bind(this, &TForm4::RadioButton3Click);
    CheckBox1->OnClick = Bind(this, &TForm4::CheckBox1Click);
    CheckBox2->OnClick = Bind(this, &TForm4::CheckBox2Click);
    Button1->OnClick = Bind(this, &TForm4::Button1Click);
    Button2->OnClick = Bind(this, &TForm4::Button2Click);
}

TForm4::~TForm4()
{
    if (Form4 == this)
        Form4 = nullptr;
}

// The options are the main window's; its Timer3 runs the search that "Найти" asks for.

void TForm4::Edit1KeyPress(TObject* Sender, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    Button1Click(Sender);
}

void TForm4::RadioButton2Click(TObject*)
{
    ID_Vellorn->SearchAllWords = 1;
    ID_Vellorn->SearchAnyWord = 0;
}

void TForm4::RadioButton3Click(TObject*)
{
    ID_Vellorn->SearchAllWords = 0;
    ID_Vellorn->SearchAnyWord = 1;
}

void TForm4::CheckBox1Click(TObject*) { ID_Vellorn->SearchInFound = CheckBox1->Checked() ? 1 : 0; }

void TForm4::CheckBox2Click(TObject*) { ID_Vellorn->SearchMatchCase = CheckBox2->Checked() ? 1 : 0; }

void TForm4::Button1Click(TObject*)
{
    ID_Vellorn->PendingSearch = true;
    // The search runs once the click or Enter is handled, not at the timer's next tick.
    ID_Vellorn->Timer3->TickSoon();
}

void TForm4::Button2Click(TObject*) { Close(); }
