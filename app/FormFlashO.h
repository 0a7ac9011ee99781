// "Свойства Flash": the title and movie file of the selected Flash movie, changed on "OK".
#pragma once

#include "FormKit.h"

class TFlashO : public TForm {
    VCL_CLASS(TFlashO, TForm)
public:
    explicit TFlashO(TComponent* AOwner);
    ~TFlashO() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Название"
    TsEdit* Edit1 = nullptr;    // title
    TsLabel* sLabel2 = nullptr; // "Файл"
    TsEdit* Edit2 = nullptr;    // movie file relative to FILES\FLASH\ .
    TsButton* Button1 = nullptr; // "Обзор..."
    TsButton* Button2 = nullptr; // "OK"
    TsButton* Button3 = nullptr; // "Отмена"
    TsOpenDialog* sOpenDialog1 = nullptr;

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
};

extern TFlashO* FlashO;
