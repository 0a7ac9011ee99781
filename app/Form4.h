// "Поиск": the title search dialog. It sets the search options and raises the pending search the
// main window carries out; it stays open after "Найти".
#pragma once

#include "FormKit.h"

class TForm4 : public TForm {
    VCL_CLASS(TForm4, TForm)
public:
    explicit TForm4(TComponent* AOwner);
    ~TForm4() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Что"
    TsEdit* Edit1 = nullptr;    // the query
    TsGroupBox* GroupBox1 = nullptr; // "Параметры поиска"
    TsRadioButton* RadioButton2 = nullptr; // "Вхождение всех слов" (selected at start)
    TsRadioButton* RadioButton3 = nullptr; // "Наличие любого слова"
    TsGroupBox* GroupBox2 = nullptr; // "Опции"
    TsCheckBox* CheckBox1 = nullptr; // "Искать в найденом"
    TsCheckBox* CheckBox2 = nullptr; // "C учётом регистра"
    TsButton* Button1 = nullptr; // "Найти"
    TsButton* Button2 = nullptr; // "Закрыть"

    void Edit1KeyPress(TObject* Sender, char& Key);
    void RadioButton2Click(TObject* Sender);
    void RadioButton3Click(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm4* Form4;
