// "Создание ссылки": the title and web address of a new link.
#pragma once

#include "FormKit.h"

class TForm5 : public TForm {
    VCL_CLASS(TForm5, TForm)
public:
    explicit TForm5(TComponent* AOwner);
    ~TForm5() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Название"
    TsEdit* Edit1 = nullptr;    // title
    TsLabel* sLabel2 = nullptr; // asks for the address, with an example
    TsEdit* Edit2 = nullptr;    // address
    TsButton* Button1 = nullptr; // "OK"
    TsButton* Button2 = nullptr; // "Отмена"

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

// The label over a link's address box, with an example address in brackets (also used by the
// link properties dialog).
extern const char* const LinkAddressCaption;

extern TForm5* Form5;
