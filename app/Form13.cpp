#include "Form13.h"

#include "Main.h"
#include "Settings.h"

using namespace formkit;

TForm13* Form13 = nullptr;

TForm13::TForm13(TComponent* AOwner) : TForm(AOwner)
{
    Form13 = this;
    SetName("Form13");
    DialogFrame(this, "Настройки", 268, 88);
    SetColor(static_cast<TColor>(14675954));
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    RadioButton1 = PlaceCaption<TsRadioButton>(this, this, "RadioButton1", "Открывать деревья в новом окне", 12, 8,
                                               249, 17);
    RadioButton2 = PlaceCaption<TsRadioButton>(this, this, "RadioButton2", "Открывать деревья в одном окне ", 12,
                                               30, 249, 17);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "OK", 105, 56, 75, 25);
    Button1->SetDefault(true);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "Отмена", 186, 56, 75, 25);
    Button2->SetCancel(true);

    OnShow = Bind(this, &TForm13::FormShow);
    RadioButton1->OnClick = Bind(this, &TForm13::RadioButton1Click);
    RadioButton2->OnClick = Bind(this, &TForm13::RadioButton2Click);
    Button1->OnClick = Bind(this, &TForm13::Button1Click);
    Button2->OnClick = Bind(this, &TForm13::Button2Click);
}

TForm13::~TForm13()
{
    if (Form13 == this)
        Form13 = nullptr;
}

namespace {

void SetOpenTreesInNewWindow(bool Value)
{
    if (ID_Vellorn)
        ID_Vellorn->OpenTreesInNewWindow = Value;
}

} // namespace

void TForm13::FormShow(TObject*)
{
    const bool newWindow = settings::ReadOpenTreesInNewWindow();
    RadioButton1->SetChecked(newWindow);
    RadioButton2->SetChecked(!newWindow);
    SetOpenTreesInNewWindow(newWindow);
    // The focus on the option that holds, not on the button that closed the dialog last time.
    StartFresh(this, newWindow ? RadioButton1 : RadioButton2);
}

void TForm13::RadioButton1Click(TObject*)
{
    RadioButton1->SetChecked(true);
    RadioButton2->SetChecked(false);
}

void TForm13::RadioButton2Click(TObject*)
{
    RadioButton2->SetChecked(true);
    RadioButton1->SetChecked(false);
}

void TForm13::Button1Click(TObject*)
{
    const bool newWindow = !RadioButton2->Checked();
    settings::WriteOpenTreesInNewWindow(newWindow);
    SetOpenTreesInNewWindow(newWindow);
    Close();
}

void TForm13::Button2Click(TObject*) { Close(); }
