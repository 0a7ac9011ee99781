#include "Form16.h"

#include "MainSession.h"

#include "ArchiveFiles.h"
#include "IniFiles.h"
#include "Main.h"

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
    OnClose = Bind(this, &TForm16::FormClose);
    sListBox1->OnClick = Bind(this, &TForm16::sListBox1Click);
    sButton1->OnClick = Bind(this, &TForm16::sButton1Click);
    sButton2->OnClick = Bind(this, &TForm16::sButton2Click);
}

TForm16::~TForm16()
{
    if (Form16 == this)
        Form16 = nullptr;
}

// A click previews the skin at once (the main window's Timer5 applies it, asked for a tick at
// once); "OK" keeps it for the next start, every other close goes back to the skin selected when
// the dialog was shown.
void TForm16::FormShow(TObject*)
{
    Accepted = false;
    Cancelled = false;
    if (ID_Vellorn) {
        ID_Vellorn->SkinStartIndex = sListBox1->GetItemIndex();
        StartSkin = ID_Vellorn->sSkinManager1->SkinName();
        StartActive = ID_Vellorn->sSkinManager1->Active() && !StartSkin.empty();
    }
    // The list has the focus, not the button that closed the dialog last time.
    StartFresh(this, sListBox1);
}

bool TForm16::WantedLook(AnsiString& SkinName, bool& Active) const
{
    if (Cancelled) {
        SkinName = StartSkin;
        Active = StartActive;
        return true;
    }
    const int i = sListBox1->GetItemIndex();
    if (i == -1)
        return false;
    SkinName = sListBox1->Items()->Get(i);
    Active = true;
    return true;
}

void TForm16::Cancel()
{
    if (Accepted || !ID_Vellorn)
        return;
    sListBox1->SetItemIndex(ID_Vellorn->SkinStartIndex);
    Cancelled = true;
    ID_Vellorn->PendingSkin = true;
}

void TForm16::sListBox1Click(TObject*)
{
    Cancelled = false;
    if (ID_Vellorn && sListBox1->GetItemIndex() != -1) {
        ID_Vellorn->PendingSkin = true;
        // The preview is applied once the click is handled, not at the timer's next tick.
        ID_Vellorn->Timer5->TickSoon();
    }
}

void TForm16::sButton1Click(TObject*)
{
    Cancelled = false;
    const int i = sListBox1->GetItemIndex();
    // form.ini is the first running copy's: a copy beside it keeps its skin to itself.
    if (i != -1 && (!ID_Vellorn || Session(ID_Vellorn).FirstCopy)) {
        TIniFile ini(archive::AppPath("FILES\\form.ini"));
        ini.WriteString("FORM", "Skin", sListBox1->Items()->Get(i));
    }
    if (ID_Vellorn)
        ID_Vellorn->PendingSkin = true;
    Accepted = true;
    Close();
}

void TForm16::sButton2Click(TObject*) { Close(); }

void TForm16::FormClose(TObject*, TCloseAction&) { Cancel(); }
