// "Интерфейс": the skin chooser. A click in the list previews the skin, "OK" keeps it for the
// next start; any other close ("Отмена", Esc, Alt+F4, the close box) returns to the skin shown
// when the dialog opened.
#pragma once

#include "FormKit.h"

class TForm16 : public TForm {
    VCL_CLASS(TForm16, TForm)
public:
    explicit TForm16(TComponent* AOwner);
    ~TForm16() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsBevel* sBevel1 = nullptr;    // line above the buttons
    TsLabel* sLabel1 = nullptr;    // "Выберите скин:"
    TsListBox* sListBox1 = nullptr; // the skins of the skin folder
    TsButton* sButton1 = nullptr;  // "OK"
    TsButton* sButton2 = nullptr;  // "Отмена"

    // The look the dialog asks the main window to show: the skin selected in the list, or, after a
    // close other than "OK", the look shown when it opened (Active false: none, the system's
    // look). False when it asks for none (no skin selected).
    bool WantedLook(AnsiString& SkinName, bool& Active) const;
    // Every way out but "OK": the list selects again the skin shown at the opening, and that look
    // is asked for.
    void Cancel();

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void sListBox1Click(TObject* Sender);
    void sButton1Click(TObject* Sender);
    void sButton2Click(TObject* Sender);

private:
    // "OK" closed this showing: the close keeps the chosen skin.
    bool Accepted = false;
    // Closed otherwise: the look of the opening is asked for.
    bool Cancelled = false;
    // The look shown when the dialog opened: the skin manager's skin name and whether a skin was on.
    AnsiString StartSkin;
    bool StartActive = false;
};

extern TForm16* Form16;
