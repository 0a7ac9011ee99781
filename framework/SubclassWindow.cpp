#include "SubclassWindow.h"

#include <commctrl.h>

namespace {
// One id for every take-over of ours; the object (the reference data) tells them apart.
constexpr UINT_PTR kSubclassId = 0x56454C4E;
} // namespace

bool TWindowSubclass::Subclass(HWND Wnd, TWndMethod Method)
{
    Release();
    if (!Wnd || !IsWindow(Wnd))
        return false;
    FMethod = Method;
    if (!SetWindowSubclass(Wnd, &TWindowSubclass::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    FHandle = Wnd;
    return true;
}

void TWindowSubclass::Release()
{
    if (!FHandle)
        return;
    RemoveWindowSubclass(FHandle, &TWindowSubclass::Proc, kSubclassId);
    FHandle = nullptr;
}

LRESULT TWindowSubclass::DefaultHandler(TMessage& Message)
{
    Message.Result = FHandle ? DefSubclassProc(FHandle, Message.Msg, Message.WParam, Message.LParam) : 0;
    return Message.Result;
}

LRESULT CALLBACK TWindowSubclass::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR Data)
{
    auto* self = reinterpret_cast<TWindowSubclass*>(Data);
    if (!self->FMethod)
        return DefSubclassProc(Wnd, Msg, WParam, LParam);
    TMessage message = MakeMessage(Msg, WParam, LParam);
    try {
        self->FMethod(message);
    } catch (...) {
        HandleCurrentException(self->FMethod.Object());
    }
    if (Msg == WM_NCDESTROY && self->FHandle == Wnd)
        self->Release();
    return message.Result;
}

// --- TWindowProcHook --------------------------------------------------------------------------

// One take-over's place in a control's chain of procedures: the taker's method while it holds on,
// then a plain pass-through to the procedure below.
class TWndProcLink : public TComponent {
    VCL_CLASS(TWndProcLink, TComponent)
public:
    using TComponent::TComponent;
    void WndProc(TMessage& Message)
    {
        if (Method)
            Method(Message);
        else if (Old)
            Old(Message);
    }
    bool OnTop() { return Control && Control->WindowProc == TWndMethod(this, &TWndProcLink::WndProc); }

    TWindowProcHook* Hook = nullptr;
    TControl* Control = nullptr;
    TWndMethod Old;
    TWndMethod Method;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        inherited::Notification(AComponent, Operation);
        if (Operation != opRemove || !Control || AComponent != Control)
            return;
        // Links of other take-overs may go before or after this one: none of them is called again.
        Control->WindowProc = TWndMethod(Control, &TControl::WndProc);
        if (Hook)
            Hook->FLink = nullptr;
        Hook = nullptr;
        Control = nullptr;
        Free();
    }
};

void TWindowProcHook::Hook(TControl* Control, TWndMethod Method)
{
    Release();
    if (!Control)
        return;
    auto* link = Create<TWndProcLink>(nullptr);
    link->Hook = this;
    link->Control = Control;
    link->Old = Control->WindowProc;
    link->Method = Method;
    Control->FreeNotification(link);
    Control->WindowProc = TWndMethod(link, &TWndProcLink::WndProc);
    FLink = link;
}

void TWindowProcHook::Release()
{
    TWndProcLink* link = FLink;
    if (!link)
        return;
    FLink = nullptr;
    link->Hook = nullptr;
    link->Method = TWndMethod();
    // A later take-over still calls it: it passes the messages through.
    while (link && !link->Method && link->OnTop()) {
        // On top, it leaves the chain, and with it the pass-throughs below it.
        TControl* control = link->Control;
        control->WindowProc = link->Old;
        control->RemoveFreeNotification(link);
        link->Control = nullptr;
        link->Free();
        link = dynamic_cast<TWndProcLink*>(control->WindowProc.Object());
    }
}

void TWindowProcHook::CallDefault(TMessage& Message)
{
    if (FLink && FLink->Old)
        FLink->Old(Message);
}
