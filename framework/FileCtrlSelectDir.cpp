// The system's folder chooser of unit FileCtrl.
#include "FileCtrl.h"

#include "ComObj.h"
#include "ShellObjects.h"
#include "SysUtils.h"

#include <memory>

namespace {

// Selects the start folder once the chooser is up.
int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data)
{
    if (Msg == BFFM_INITIALIZED && Data)
        SendMessageA(Wnd, BFFM_SETSELECTIONA, TRUE, Data);
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
    TItemIDList root(ParseName(Root));
    char name[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = GetActiveWindow();
    info.pidlRoot = root.get();
    info.pszDisplayName = name;
    info.lpszTitle = Caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!Directory.empty()) {
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(Directory.c_str());
    }
    TItemIDList chosen(SHBrowseForFolderA(&info));
    if (!chosen)
        return false;
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.get(), path))
        return false;
    Directory = path;
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
