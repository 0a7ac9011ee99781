// The scrolling container TScrollBox: children beyond its client area are reached with its
// scroll bars.
#pragma once

#include "Controls.h"
#include "Forms.h"

class TScrollBox : public TScrollingWinControl {
    VCL_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    // bsSingle (the default) gives the box a sunken edge; bsNone none.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TFormBorderStyle FBorderStyle = bsSingle;
};
