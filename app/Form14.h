// "Как создавать": the article editor's help window, the steps of writing an article page.
#pragma once

#include "FormKit.h"

class TForm14 : public TForm {
    VCL_CLASS(TForm14, TForm)
public:
    explicit TForm14(TComponent* AOwner);
    ~TForm14() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsLabel* sLabel1 = nullptr; // the steps
    TsButton* Button1 = nullptr; // "OK"

    void Button1Click(TObject* Sender);
};

extern TForm14* Form14;
