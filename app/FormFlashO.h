// "Свойства Flash": the title and movie file of the selected Flash movie, changed on "OK".
#pragma once

#include "FlashFields.h"

class TFlashO : public TForm, public TFlashFields {
    VCL_CLASS(TFlashO, TForm)
public:
    explicit TFlashO(TComponent* AOwner);
    ~TFlashO() override;

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
};

extern TFlashO* FlashO;
