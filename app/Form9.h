// "Свойства" of a category: the numbers of its subcategories and entries.
#pragma once

#include "FormKit.h"

class TForm9 : public TForm {
    VCL_CLASS(TForm9, TForm)
public:
    explicit TForm9(TComponent* AOwner);
    ~TForm9() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* Label1 = nullptr; // "Количество подкатегорий:"
    TsLabel* Label2 = nullptr; // "Количество статей:"
    TsLabel* Label3 = nullptr; // number of subcategories
    TsLabel* Label4 = nullptr; // number of entries
    TsButton* Button1 = nullptr; // "OK"

    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
};

extern TForm9* Form9;
