#include "ScrollBox.h"

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 185, 41);
    SetAutoScroll(true);
}

void TScrollBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value != bsSingle)
        Value = bsNone;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}
