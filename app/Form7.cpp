#include "Form7.h"

#include "ShellSeams.h"

using namespace formkit;

TForm7* Form7 = nullptr;

const char* const TForm7::MailAddress = "vellorn@vellorn.example";
const char* const TForm7::WebSite = "http://www.vellorn.example";

TForm7::TForm7(TComponent* AOwner) : TForm(AOwner)
{
    Form7 = this;
    SetName("Form7");
    SetBorderStyle(bsNone);
    SetCaption("О программе");
    SetClientWidth(423);
    SetClientHeight(185);
    SetPosition(poDesigned); // centred on the main window by the command that opens it

    // The picture first, so that the labels lie above it.
    Image1 = Place<TImage>(this, this, "Image1", 0, 0, 423, 185);
    Image1->SetAlign(alClient);
    LoadPicture(Image1, "ABOUT");

    // The labels keep the system's colours on the picture (the box carries no skin provider).
    using Label = TSystemColoured<TsLabel>;
    using LinkLabel = TSystemColoured<TsLabelFX>;
    sLabel1 = PlaceCaption<Label>(this, this, "sLabel1", "(Версия 2.0)", 312, 100, 90, 13);
    sLabel1->SetParentFont(false);
    sLabel1->Font()->SetStyle(TFontStyles{fsBold});
    sLabel2 = PlaceCaption<Label>(this, this, "sLabel2", "e-mail:", 24, 136, 40, 13);
    sLabel3 = PlaceCaption<Label>(this, this, "sLabel3", "Web:", 24, 156, 40, 13);
    sLabelFX1 = PlaceCaption<LinkLabel>(this, this, "sLabelFX1", MailAddress, 72, 136, 200, 13);
    sLabelFX1->SetCursor(crHandPoint);
    sLabelFX2 = PlaceCaption<LinkLabel>(this, this, "sLabelFX2", WebSite, 72, 156, 200, 13);
    sLabelFX2->SetCursor(crHandPoint);
    for (TsCustomLabel* label : {static_cast<TsCustomLabel*>(sLabel1), static_cast<TsCustomLabel*>(sLabel2),
                                 static_cast<TsCustomLabel*>(sLabel3), static_cast<TsCustomLabel*>(sLabelFX1),
                                 static_cast<TsCustomLabel*>(sLabelFX2)})
        label->SetTransparent(true);

    // Esc and Enter close the box as a click does.
    KeyPreview = true;
    OnKeyDown = Bind(this, &TForm7::FormKeyDown);
    OnCreate = Bind(this, &TForm7::FormCreate);
    Image1->OnClick = Bind(this, &TForm7::Image1Click);
    sLabelFX1->OnClick = Bind(this, &TForm7::sLabelFX1Click);
    sLabelFX2->OnClick = Bind(this, &TForm7::sLabelFX2Click);
}

TForm7::~TForm7()
{
    if (Form7 == this)
        Form7 = nullptr;
}

void TForm7::FormCreate(TObject*) { RoundWindow(this); }

void TForm7::Image1Click(TObject*) { Close(); }

void TForm7::FormKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key != VK_ESCAPE && Key != VK_RETURN)
        return;
    Key = 0;
    Close();
}

void TForm7::sLabelFX1Click(TObject*) { ShellOpen(Handle(), AnsiString("mailto:") + MailAddress); }

void TForm7::sLabelFX2Click(TObject*) { ShellOpen(Handle(), WebSite); }
