// The fields shared by the two Flash dialogs ("Flash" adds a movie, "Свойства Flash" changes one):
// title, movie file (relative to FILES\FLASH\) with its browse button, OK and Cancel.
#pragma once

#include "FormKit.h"

struct TFlashFields {
    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // "Название"
    TsEdit* Edit1 = nullptr;    // title
    TsLabel* sLabel2 = nullptr; // "Файл"
    TsEdit* Edit2 = nullptr;    // movie file relative to FILES\FLASH\ .
    TsButton* Button1 = nullptr; // "Обзор..."
    TsButton* Button2 = nullptr; // "OK"
    TsButton* Button3 = nullptr; // "Отмена"
    TsOpenDialog* sOpenDialog1 = nullptr;
};

// Lays the fields out on Form, a 361 x 109 dialog with the given caption.
void LayoutFlashFields(TForm* Form, TFlashFields& Fields, const AnsiString& Caption);
