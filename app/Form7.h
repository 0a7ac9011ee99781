// The about box: a borderless, rounded window with the program's picture, its version and two
// links (a message to the project and the authors' web site). It carries no skin provider.
#pragma once

#include "FormKit.h"

class TForm7 : public TForm {
    VCL_CLASS(TForm7, TForm)
public:
    explicit TForm7(TComponent* AOwner);
    ~TForm7() override;

    TImage* Image1 = nullptr;       // fills the window; a click closes the box
    TsLabel* sLabel1 = nullptr;     // "(Версия 2.0)", bold
    TsLabel* sLabel2 = nullptr;     // "e-mail:"
    TsLabel* sLabel3 = nullptr;     // "Web:"
    TsLabelFX* sLabelFX1 = nullptr; // the project's message address
    TsLabelFX* sLabelFX2 = nullptr; // the authors' web site

    // The project's message address and web site (the authors' site as well): the two link
    // labels show them, the help menu and the footer of a written page lead to them.
    static const char* const MailAddress;
    static const char* const WebSite;

    void FormCreate(TObject* Sender);
    void Image1Click(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void sLabelFX1Click(TObject* Sender);
    void sLabelFX2Click(TObject* Sender);
};

extern TForm7* Form7;
