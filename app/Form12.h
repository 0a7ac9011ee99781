// "Свойства ссылки": the title and address of the selected link, changed on "Применить".
#pragma once

#include "FormKit.h"

class TForm12 : public TForm {
    VCL_CLASS(TForm12, TForm)
public:
    explicit TForm12(TComponent* AOwner);
    ~TForm12() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Название"
    TsEdit* Edit1 = nullptr;    // title
    TsLabel* sLabel2 = nullptr; // asks for the address, with an example
    TsEdit* Edit2 = nullptr;    // address
    TsButton* Button1 = nullptr; // "Применить"
    TsButton* Button2 = nullptr; // "Отмена"

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm12* Form12;
