// Taking over a window the framework did not create (the MDI client, a combo box's edit and list,
// a list view's header): its messages go to a method of an object, which passes what it does not
// consume to the window's own procedure. The window is given back when the object lets go or
// when the window is destroyed (WM_NCDESTROY), whichever comes first. Take-overs of one window
// stack, and each can let go in any order.
#pragma once

#include <windows.h>

#include "Controls.h"

class TWindowSubclass {
public:
    TWindowSubclass() = default;
    ~TWindowSubclass() { Release(); }
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // Takes Wnd over (letting go of a window taken earlier); answers false when it cannot.
    bool Subclass(HWND Wnd, TWndMethod Method);
    // Gives the window its procedure back.
    void Release();
    HWND Handle() const { return FHandle; }
    bool Attached() const { return FHandle != nullptr; }
    // The handling of the procedure below this one (the window's own); answers its result.
    LRESULT DefaultHandler(TMessage& Message);

private:
    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id, DWORD_PTR Data);
    HWND FHandle = nullptr;
    TWndMethod FMethod;
};

class TWndProcLink;

// Taking over a control's WindowProc: Method sees the control's messages first and passes what it
// does not consume to CallDefault. Take-overs of one control stack and can let go in any order:
// one that lets go while a later one still passes messages on to it leaves a link in the chain
// that passes them straight through until the control goes. When the control goes, it gets its
// own procedure back and every link goes with it, whoever still holds a take-over.
class TWindowProcHook {
public:
    TWindowProcHook() = default;
    ~TWindowProcHook() { Release(); }
    TWindowProcHook(const TWindowProcHook&) = delete;
    TWindowProcHook& operator=(const TWindowProcHook&) = delete;

    // Takes Control over (letting go of one taken earlier).
    void Hook(TControl* Control, TWndMethod Method);
    // Lets go; nothing when the control has gone meanwhile.
    void Release();
    bool Hooked() const { return FLink != nullptr; }
    // The procedure below this take-over.
    void CallDefault(TMessage& Message);

private:
    friend class TWndProcLink;
    TWndProcLink* FLink = nullptr;
};
