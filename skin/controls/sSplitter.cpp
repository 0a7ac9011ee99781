#include "sSplitter.h"

#include "Forms.h"
#include "sGraphUtils.h"
#include "sMessages.h"

TsSplitter::TsSplitter(TComponent* AOwner)
    : TSplitter(AOwner), FCommonData(std::make_unique<TsCommonData>(this, false))
{
    FCommonData->COC = 75;
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
    SetWidth(6);
}

TsSplitter::~TsSplitter() = default;

void TsSplitter::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsSplitter::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

int TsSplitter::CurrentState()
{
    if (FPressed && ResizeStyle() == rsUpdate)
        return 2;
    return ControlIsActive(FCommonData.get()) ? 1 : 0;
}

void TsSplitter::Relook()
{
    FCommonData->BGChanged = true;
    Repaint();
}

void TsSplitter::Paint()
{
    TsCommonData* sd = FCommonData.get();
    if (!Skinned()) {
        inherited::Paint();
        return;
    }
    // No image is kept between paints: the bar is thin and repainted all the time it is dragged.
    sd->InitCacheBmp();
    PaintItem(sd, GetParentCache(sd), true, CurrentState(), ClientRect(), TPoint{Left(), Top()}, sd->FCacheBmp.get(),
              true);
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), sd->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    sd->FCacheBmp.reset();
    sd->BGChanged = false;
    if (ComponentState().Contains(csDesigning)) {
        TCanvas* c = Canvas();
        c->Pen()->SetStyle(psDot);
        c->Pen()->SetMode(pmXor);
        c->Pen()->SetColor(static_cast<TColor>(0xFFD8CE));
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(0, 0, ClientWidth(), ClientHeight());
    }
    if (OnPaint)
        OnPaint(this);
}

bool TsSplitter::DoCanResize(int& NewSize)
{
    FPressed = inherited::DoCanResize(NewSize);
    return FPressed;
}

void TsSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // Only a left press takes the mouse, so only its end is sure to be seen.
    if (Button == mbLeft)
        FHints.Hold();
    inherited::MouseDown(Button, Shift, X, Y);
    FPressed = true;
    if (ResizeStyle() == rsUpdate)
        Relook();
}

void TsSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseUp(Button, Shift, X, Y);
    FPressed = false;
    if (ResizeStyle() == rsUpdate)
        Relook();
    FHints.Release();
}

void TsSplitter::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    // The drag is over when the mouse went elsewhere, released here or not.
    if (Message.Msg == WM_CAPTURECHANGED)
        FHints.Release();
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
        return;
    }
    if (Message.Msg == WM_ERASEBKGND || Message.Msg == WM_NCPAINT)
        return;
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED && sd->Updating) {
        sd->Updating = false;
        Repaint();
        return;
    }
    if (!CommonWndProc(Message, sd))
        inherited::WndProc(Message);
    if (!sd->Skinned())
        return;
    switch (Message.Msg) {
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case WM_MOUSEWHEEL:
    case WM_MOVE:
    case WM_SIZE:
        Relook();
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        // A focused bar keeps its look.
        if (!sd->Focused && !ComponentState().Contains(csDesigning)) {
            sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
            Relook();
        }
        break;
    case CM_ENTER:
    case WM_SETFOCUS:
    case CM_EXIT:
    case WM_KILLFOCUS:
        sd->Focused = Message.Msg == CM_ENTER || Message.Msg == WM_SETFOCUS;
        sd->MouseAbove = false;
        Relook();
        break;
    default:
        break;
    }
}
