#include "FormFLog.h"

#include "FormKit.h"

TFLog* FLog = nullptr;

TFLog::TFLog(TComponent* AOwner) : TForm(AOwner)
{
    FLog = this;
    SetName("FLog");
    SetBorderStyle(bsNone);
    SetClientWidth(427);
    SetClientHeight(187);
    SetPosition(poScreenCenter);
    SetCursor(crHourGlass);
    KeyPreview = true;

    // The picture first, so that the label lies above it.
    Image1 = Create<TImage>(this);
    Image1->SetName("Image1");
    Image1->SetBounds(0, 0, 427, 187);
    Image1->SetAlign(alClient);
    Image1->SetParent(this);
    formkit::LoadPicture(Image1, "SPLASH");

    // The label keeps the system's colours on the picture (the splash carries no skin provider).
    sLabel1 = Create<formkit::TSystemColoured<TsLabel>>(this);
    sLabel1->SetName("sLabel1");
    sLabel1->SetCaption("(Версия 2.0)");
    sLabel1->Font()->SetStyle(TFontStyles{fsBold});
    sLabel1->SetBounds(300, 150, 110, 16);
    sLabel1->SetTransparent(true);
    sLabel1->SetParent(this);

    Timer1 = Create<TTimer>(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(3000);
    Timer1->SetEnabled(false); // counts from the show, not from the creation
    Timer1->OnTimer = [this](TObject* Sender) { Timer1Timer(Sender); };

    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        FormMouseDown(Sender, Button, Shift, X, Y);
    };
    sLabel1->OnMouseDown = OnMouseDown;
    Image1->OnMouseDown = OnMouseDown;
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject*) { Timer1->SetEnabled(true); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TFLog::~TFLog()
{
    if (FLog == this)
        FLog = nullptr;
}

void TFLog::FormCreate(TObject*) { formkit::RoundWindow(this); }

void TFLog::Timer1Timer(TObject*) { Close(); }

void TFLog::FormKeyDown(TObject*, Word&, TShiftState) { Close(); }

void TFLog::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) { Close(); }

void TFLog::FormClose(TObject*, TCloseAction& Action)
{
    Timer1->SetEnabled(false);
    Action = caFree;
}
