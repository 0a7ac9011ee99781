// The system's folder chooser of unit FileCtrl.
#include "FileCtrl.h"

#include "ComObj.h"
#include "ShellObjects.h"
#include "SysUtils.h"
#include "SysUtilsFilesNames.h"

#include <memory>

namespace {

// Selects the start folder once the chooser is up.
int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data)
{
    if (Msg == BFFM_INITIALIZED && Data)
        SendMessageW(Wnd, BFFM_SETSELECTIONW, TRUE, Data);
    return 0;
}

// The item of a path or parsing name, owned by the shell's allocator; null when it names none.
LPITEMIDLIST ParseName(const AnsiString& Name)
{
    if (Name.empty())
        return nullptr;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    std::wstring wide = AnsiToWide(Name);
    LPITEMIDLIST list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &list, nullptr)))
        list = nullptr;
    desktop->Release();
    return list;
}

} // namespace

bool TSelectDirectoryDialog::DoExecute()
{
    // Wide, so that a folder the code page cannot spell comes back as itself and is handed on by
    // the path that reaches that very folder.
    TItemIDList root(ParseName(Root));
    wchar_t name[MAX_PATH] = {};
    const std::wstring caption = AnsiToWide(Caption), start = AnsiToWide(Directory);
    BROWSEINFOW info{};
    // Owned by the active window while it shows: a hidden one going away would take the chooser.
    HWND active = GetActiveWindow();
    info.hwndOwner = active && IsWindowVisible(active) ? active : nullptr;
    info.pidlRoot = root.get();
    info.pszDisplayName = name;
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!start.empty()) {
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    TItemIDList chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path))
        return false;
    const AnsiString reached = ChosenPath(path);
    if (reached.empty()) {
        ShowUnreachableChoice(path);
        return false;
    }
    Directory = reached;
    return true;
}

bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory)
{
    const std::unique_ptr<TSelectDirectoryDialog> dialog(Create<TSelectDirectoryDialog>(nullptr));
    dialog->Caption = Caption;
    dialog->Root = Root;
    dialog->Directory = Directory;
    if (!dialog->Execute())
        return false;
    Directory = dialog->Directory;
    return true;
}
