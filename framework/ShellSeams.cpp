#include "ShellSeams.h"

namespace {

TSystemShell gSystemShell;
TShellService* gShell = &gSystemShell;

const char* OrNull(const AnsiString& s) { return s.empty() ? nullptr : s.c_str(); }

// A double-NUL-terminated name list; false when a name cannot be put in one.
bool BuildList(const std::vector<AnsiString>& Names, std::string& List)
{
    List.clear();
    for (const AnsiString& n : Names) {
        if (n.empty() || n.find('\0') != AnsiString::npos)
            return false;
        List += n;
        List.push_back('\0');
    }
    List.push_back('\0');
    return true;
}

} // namespace

INT_PTR TSystemShell::Execute(HWND Owner, const AnsiString& Operation, const AnsiString& File,
                              const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd)
{
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(Owner, OrNull(Operation), File.c_str(), OrNull(Parameters), OrNull(Directory), ShowCmd));
}

bool TSystemShell::ExecuteItem(HWND Owner, LPCITEMIDLIST Item, int ShowCmd)
{
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = Owner;
    info.lpIDList = const_cast<LPITEMIDLIST>(Item);
    info.nShow = ShowCmd;
    return ShellExecuteExA(&info) != FALSE;
}

int TSystemShell::FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                                const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted)
{
    Aborted = false;
    std::string from, to;
    if (Sources.empty() || !BuildList(Sources, from) || !BuildList(Targets, to))
        return ERROR_INVALID_PARAMETER;
    if (Targets.size() > 1)
        Flags |= FOF_MULTIDESTFILES;
    SHFILEOPSTRUCTA op{};
    op.hwnd = Owner;
    op.wFunc = Func;
    op.pFrom = from.c_str();
    op.pTo = Targets.empty() ? nullptr : to.c_str();
    op.fFlags = Flags;
    int result = SHFileOperationA(&op);
    Aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

bool TSystemShell::NotifyIcon(DWORD Message, const NOTIFYICONDATAA& Data)
{
    NOTIFYICONDATAA copy = Data;
    return Shell_NotifyIconA(Message, &copy) != FALSE;
}

INT_PTR TRecordingShell::Execute(HWND Owner, const AnsiString& Operation, const AnsiString& File,
                                 const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd)
{
    TShellCall c;
    c.Kind = TShellCall::ckExecute;
    c.Owner = Owner;
    c.Operation = Operation;
    c.File = File;
    c.Parameters = Parameters;
    c.Directory = Directory;
    c.ShowCmd = ShowCmd;
    Calls.push_back(std::move(c));
    return ExecuteResult;
}

bool TRecordingShell::ExecuteItem(HWND Owner, LPCITEMIDLIST Item, int ShowCmd)
{
    TShellCall c;
    c.Kind = TShellCall::ckExecuteItem;
    c.Owner = Owner;
    c.ShowCmd = ShowCmd;
    for (auto* p = reinterpret_cast<const BYTE*>(Item); p && *reinterpret_cast<const USHORT*>(p);
         p += *reinterpret_cast<const USHORT*>(p))
        c.Item.append(reinterpret_cast<const char*>(p), *reinterpret_cast<const USHORT*>(p));
    Calls.push_back(std::move(c));
    return ExecuteResult > 32;
}

int TRecordingShell::FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                                   const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted)
{
    TShellCall c;
    c.Kind = TShellCall::ckFileOperation;
    c.Owner = Owner;
    c.Func = Func;
    c.Sources = Sources;
    c.Targets = Targets;
    c.Flags = Flags;
    Calls.push_back(std::move(c));
    Aborted = FileOperationAborted;
    return FileOperationResult;
}

bool TRecordingShell::NotifyIcon(DWORD Message, const NOTIFYICONDATAA& Data)
{
    TShellCall c;
    c.Kind = TShellCall::ckNotifyIcon;
    c.Owner = Data.hWnd;
    c.Message = Message;
    c.ID = Data.uID;
    c.NotifyFlags = Data.uFlags;
    c.CallbackMessage = Data.uCallbackMessage;
    c.Icon = Data.hIcon;
    c.Tip.assign(Data.szTip, strnlen(Data.szTip, sizeof(Data.szTip)));
    Calls.push_back(std::move(c));
    return NotifyIconResult;
}

TShellService& Shell() { return *gShell; }

TShellServiceGuard::TShellServiceGuard(TShellService& Service) : FPrevious(gShell) { gShell = &Service; }

TShellServiceGuard::~TShellServiceGuard() { gShell = FPrevious; }

INT_PTR ShellOpen(HWND Owner, const AnsiString& File, const AnsiString& Parameters, const AnsiString& Directory,
                  int ShowCmd)
{
    return Shell().Execute(Owner, "open", File, Parameters, Directory, ShowCmd);
}

int ShellCopyFiles(HWND Owner, const std::vector<AnsiString>& Sources, const std::vector<AnsiString>& Targets,
                   FILEOP_FLAGS Flags, bool* Aborted)
{
    bool aborted = false;
    int result = Shell().FileOperation(Owner, FO_COPY, Sources, Targets, Flags, aborted);
    if (Aborted)
        *Aborted = aborted;
    return result;
}
