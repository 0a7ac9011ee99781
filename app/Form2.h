// "Добавление статьи": the title, file and mark of a new article; "Создать" hands them to the main
// window, which adds the node and its map entry.
#pragma once

#include "FormKit.h"

class TForm2 : public TForm {
    VCL_CLASS(TForm2, TForm)
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Название"
    TsEdit* Edit1 = nullptr;    // title
    TsLabel* sLabel2 = nullptr; // "Файл"
    TsEdit* Edit2 = nullptr;    // file name relative to FILES\ .
    TsButton* Button3 = nullptr; // "Обзор..."
    TsLabel* sLabel3 = nullptr; // "Тип"
    TsComboBoxEx* ComboBoxEx1 = nullptr; // mark
    TsEdit* Edit3 = nullptr;    // hidden: the mark code ("1" favourite, "2" read, "3" new, "4" unread)
    TsButton* Button1 = nullptr; // "Создать"
    TsButton* Button2 = nullptr; // "Отмена"
    TsOpenDialog* sOpenDialog1 = nullptr;

    void FormShow(TObject* Sender);
    void ComboBoxEx1Change(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
};

extern TForm2* Form2;
