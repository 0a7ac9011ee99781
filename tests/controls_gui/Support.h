// Shared pieces of the control tests: a top-level host standing in for a form, small controls
// that record what reaches them, and message pumping.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Controls.h"

// A top-level window that behaves as a form for the controls on it.
class THost : public TWinControl {
    VCL_CLASS(THost, TWinControl)
public:
    explicit THost(TComponent* AOwner) : TWinControl(AOwner)
    {
        FControlStyle.Include(csAcceptsControls);
        FVisible = false;
        SetBounds(60, 60, 400, 300);
    }
    bool IsForm() const override { return true; }
    std::vector<UINT> dialogKeys;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        Params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        Params.WndParent = nullptr;
    }
};

// A windowless control that paints a solid colour and records events.
class TBox : public TGraphicControl {
    VCL_CLASS(TBox, TGraphicControl)
public:
    explicit TBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 30); }
    std::vector<std::string> log;
    TColor paintColor = clRed;
    int paints = 0;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_MOUSEENTER)
            log.push_back("enter");
        if (Message.Msg == CM_MOUSELEAVE)
            log.push_back("leave");
        inherited::Dispatch(Message);
    }

protected:
    void Paint() override
    {
        ++paints;
        Canvas()->Brush()->SetColor(paintColor);
        RECT r = ClientRect();
        Canvas()->FillRect(r);
    }
};

// A superclass of a system window class.
class TNative : public TWinControl {
    VCL_CLASS(TNative, TWinControl)
public:
    TNative(TComponent* AOwner, const char* systemClass, DWORD style = 0)
        : TWinControl(AOwner), sysClass(systemClass), extraStyle(style)
    {
        SetBounds(10, 10, 120, 24);
        FTabStop = true;
    }
    std::vector<UINT> seen;
    const char* sysClass;
    DWORD extraStyle;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400)
            seen.push_back(Message.Msg);
        inherited::Dispatch(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        CreateSubClass(Params, sysClass);
        Params.Style |= extraStyle;
    }
};

// Dispatches waiting messages the way the application's loop does (keys through IsKeyMsg).
inline void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
