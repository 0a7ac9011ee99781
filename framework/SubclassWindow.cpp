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
