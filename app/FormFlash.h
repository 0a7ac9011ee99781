// "Flash": the title and movie file (relative to FILES\\FLASH\\) of a new Flash movie.
#pragma once

#include "FlashFields.h"

class TFlash : public TForm, public TFlashFields {
    VCL_CLASS(TFlash, TForm)
public:
    explicit TFlash(TComponent* AOwner);
    ~TFlash() override;

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
};

extern TFlash* Flash;
