// A form with no content of its own: created at start-up with the others, skinned, never shown.
#pragma once

#include "FormKit.h"

class TForm15 : public TForm {
    VCL_CLASS(TForm15, TForm)
public:
    explicit TForm15(TComponent* AOwner);
    ~TForm15() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
};

extern TForm15* Form15;
