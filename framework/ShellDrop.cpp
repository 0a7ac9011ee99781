#include "ShellDrop.h"

#include <string>

#include "SysUtilsFilesNames.h"

std::vector<AnsiString> DroppedFiles(HDROP Drop, bool All)
{
    std::vector<AnsiString> names;
    const UINT count = DragQueryFileW(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && (All || names.empty()); ++i) {
        // Read wide: in the code page a name may stand for another entry.
        const UINT length = DragQueryFileW(Drop, i, nullptr, 0);
        std::wstring name(length, L'\0');
        if (length)
            name.resize(DragQueryFileW(Drop, i, name.data(), length + 1));
        if (AnsiString reached = ReachingPath(name); !reached.empty())
            names.push_back(std::move(reached));
    }
    return names;
}

void TFileDropHook::Attach(TWinControl* Control)
{
    Release();
    if (!Control)
        return;
    FControl = Control;
    FHook.Hook(Control, TWndMethod(this, &TFileDropHook::WndProc));
    if (FAccept && Control->HandleAllocated())
        DragAcceptFiles(Control->Handle(), TRUE);
}

void TFileDropHook::Release()
{
    if (!FHook.Hooked())
        return;
    if (FControl->HandleAllocated() && FAccept)
        DragAcceptFiles(FControl->Handle(), FALSE);
    FHook.Release();
    FControl = nullptr;
}

void TFileDropHook::SetAccept(bool Value)
{
    if (Value == FAccept)
        return;
    FAccept = Value;
    if (FHook.Hooked() && FControl->HandleAllocated())
        DragAcceptFiles(FControl->Handle(), Value ? TRUE : FALSE);
}

void TFileDropHook::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_DROPFILES) {
        Drop(reinterpret_cast<HDROP>(Message.WParam));
        Message.Result = 0;
        return;
    }
    FHook.CallDefault(Message);
    // Every new window of the control takes the setting.
    if (Message.Msg == WM_CREATE && FAccept && Message.Result != -1 && FControl->HandleAllocated())
        DragAcceptFiles(FControl->Handle(), TRUE);
}

void TFileDropHook::Drop(HDROP Drop)
{
    struct TFinish {
        HDROP Drop;
        ~TFinish() { DragFinish(Drop); }
    } finish{Drop};
    const std::vector<AnsiString> names = DroppedFiles(Drop, Multiple);
    if (!names.empty() && OnDrop)
        OnDrop(names);
}
