// "Настройки": whether saved trees open in a new program window or in this one.
#pragma once

#include "FormKit.h"

class TForm13 : public TForm {
    VCL_CLASS(TForm13, TForm)
public:
    explicit TForm13(TComponent* AOwner);
    ~TForm13() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsRadioButton* RadioButton1 = nullptr; // "Открывать деревья в новом окне"
    TsRadioButton* RadioButton2 = nullptr; // "Открывать деревья в одном окне "
    TsButton* Button1 = nullptr; // "OK"
    TsButton* Button2 = nullptr; // "Отмена"

    void FormShow(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm13* Form13;
