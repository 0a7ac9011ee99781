// Shell views: listing a folder of 10,000 files in the shell list view (shown, painted) beside the
// raw shell enumeration of the same folder with names and attributes; expanding a shell tree node
// of 1,000 sub-folders (shown) beside a plain system tree doing the same with plain calls (the
// folder enumerated with names and the attributes a tree needs, one item each, expanded, shown);
// and the time from a file made on disk to its row in a list with automatic refresh; and a folder
// of 10,000 names the code page cannot spell listed beside one of 10,000 ASCII names. The folders
// are made once in the temporary folder and kept for later runs.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "BenchHarness.h"
#include "Forms.h"
#include "acShellCtrls.h"

namespace {

constexpr int FileCount = 10000;
constexpr int SubFolderCount = 1000;

void Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// A folder's shell folder and absolute list (the caller frees it), with plain calls.
TComInterface<IShellFolder> BindFolder(const AnsiString& Dir, PIDL& Pidl)
{
    TComInterface<IShellFolder> desktop, folder;
    SHGetDesktopFolder(&desktop);
    wchar_t path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, Dir.c_str(), -1, path, MAX_PATH);
    Pidl = nullptr;
    desktop->ParseDisplayName(nullptr, nullptr, path, nullptr, &Pidl, nullptr);
    desktop->BindToObject(Pidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
    return folder;
}

// Pumps until Done holds or Ms milliseconds passed.
void PumpUntil(const std::function<bool()>& Done, DWORD Ms)
{
    const DWORD start = GetTickCount();
    while (!Done() && GetTickCount() - start < Ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
}

// The raw shell: the folder bound, each item's name in the folder and its attributes.
int RawEnumeration(const AnsiString& Dir)
{
    PIDL pidl = nullptr;
    TComInterface<IShellFolder> folder = BindFolder(Dir, pidl);
    CoTaskMemFree(pidl);
    TComInterface<IEnumIDList> items;
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items);
    int count = 0;
    PIDL child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK) {
        STRRET name{};
        folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name);
        if (name.uType == STRRET_WSTR)
            CoTaskMemFree(name.pOleStr);
        LPCITEMIDLIST one = child;
        ULONG attributes = SFGAO_FOLDER;
        folder->GetAttributesOf(1, &one, &attributes);
        CoTaskMemFree(child);
        ++count;
    }
    return count;
}

struct ShellForm {
    TForm* Form = nullptr;
    TsShellListView* List = nullptr;
    TsShellTreeView* Tree = nullptr;
    ShellForm()
    {
        Form = Create<TForm>(Application);
        Form->SetBounds(20, 20, 800, 600);
        Tree = Create<TsShellTreeView>(Form);
        Tree->SetBounds(0, 0, 300, 560);
        Tree->SetParent(Form);
        List = Create<TsShellListView>(Form);
        List->SetBounds(300, 0, 480, 560);
        List->SetViewStyle(vsReport);
        List->SetParent(Form);
        Form->Show();
        Painted();
    }
    ~ShellForm() { Form->Free(); }
    void Painted()
    {
        Pump();
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        Pump();
    }
    // The tree as the user sees it after a change: what the change made invalid painted (the
    // control invalidates what it changed, as a plain program invalidates its window).
    void TreePainted()
    {
        Pump();
        RedrawWindow(Tree->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
        Pump();
    }
};

// The same expansion written with plain calls: a system tree view with the system's small
// pictures, the folder's items enumerated with their names and the attributes a tree needs
// (folder, has sub-folders), one item each, expanded and painted.
struct PlainTree {
    HWND Host = nullptr;
    HWND Tree = nullptr;
    HTREEITEM Root = nullptr;
    TComInterface<IShellFolder> Folder;
    explicit PlainTree(const AnsiString& Dir)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VellornBenchPlainTreeHost";
        RegisterClassA(&wc);
        Host = CreateWindowExA(0, wc.lpszClassName, "plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 830, 20, 320, 600,
                               nullptr, nullptr, wc.hInstance, nullptr);
        Tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                               WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 300, 560,
                               Host, nullptr, wc.hInstance, nullptr);
        SHFILEINFOA info{};
        SendMessageA(Tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                     static_cast<LPARAM>(SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)));
        PIDL pidl = nullptr;
        Folder = BindFolder(Dir, pidl);
        const int icon = static_cast<int>(SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &info, sizeof info,
                                                         SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)
                                              ? info.iIcon
                                              : 0);
        CoTaskMemFree(pidl);
        TVINSERTSTRUCTA is{};
        is.hInsertAfter = TVI_LAST;
        is.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        is.item.pszText = const_cast<char*>("root");
        is.item.cChildren = 1;
        is.item.iImage = is.item.iSelectedImage = icon;
        Root = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
        Painted();
    }
    ~PlainTree() { DestroyWindow(Host); }
    void Collapse()
    {
        SendMessageA(Tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(Root));
        Painted();
    }
    void Expand()
    {
        TComInterface<IEnumIDList> items;
        Folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &items);
        PIDL child = nullptr;
        SHFILEINFOA info{};
        int icon = -1;
        SendMessageA(Tree, WM_SETREDRAW, FALSE, 0);
        while (items->Next(1, &child, nullptr) == S_OK) {
            STRRET name{};
            Folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name);
            char text[MAX_PATH] = {};
            if (name.uType == STRRET_WSTR) {
                WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, text, MAX_PATH, nullptr, nullptr);
                CoTaskMemFree(name.pOleStr);
            }
            LPCITEMIDLIST one = child;
            ULONG attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
            Folder->GetAttributesOf(1, &one, &attributes);
            if (icon < 0)
                icon = SHGetFileInfoA(reinterpret_cast<LPCSTR>(child), 0, &info, sizeof info,
                                      SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) ? info.iIcon : 0;
            TVINSERTSTRUCTA is{};
            is.hParent = Root;
            is.hInsertAfter = TVI_LAST;
            is.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            is.item.pszText = text;
            is.item.cChildren = (attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
            is.item.iImage = is.item.iSelectedImage = icon;
            SendMessageA(Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is));
            CoTaskMemFree(child);
        }
        SendMessageA(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Root));
        SendMessageA(Tree, WM_SETREDRAW, TRUE, 0);
        Painted();
    }
    void Painted()
    {
        RedrawWindow(Tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        Pump();
    }
};

// A folder of Count files whose names the program's code page cannot spell ("文件 00000.txt"...),
// made once by their wide names and kept for later runs.
std::string WideKeptFolder(const char* Name, int Count)
{
    const std::string dir = bench::TempFolder(Name);
    const std::wstring wide = AnsiToWide(AnsiString(dir.c_str()));
    auto path = [&](int i) {
        wchar_t name[32];
        wsprintfW(name, L"\u6587\u4ef6 %05d.txt", i);
        return wide + name;
    };
    if (GetFileAttributesW(path(Count - 1).c_str()) != INVALID_FILE_ATTRIBUTES)
        return dir;
    std::printf("making %s (%d files named outside the code page), once\n", dir.c_str(), Count);
    CreateDirectoryW(wide.c_str(), nullptr);
    for (int i = 0; i < Count; ++i)
        CloseHandle(CreateFileW(path(i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return dir;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    const AnsiString files = bench::KeptFolder("vellorn_bench_shell_files", FileCount, false);
    const AnsiString folders = bench::KeptFolder("vellorn_bench_shell_folders", SubFolderCount, true);
    ShellForm view;

    int listed = 0;
    bench::RatioLines("raw enumeration of 10,000 files with names and attributes", "shell list of 10,000 files, shown",
                      "  shell list / raw enumeration",
                      bench::InTurn(
                          7, [&] { listed = RawEnumeration(files); },
                          [&] {
                              view.List->SetRoot(files);
                              view.Painted();
                          },
                          [&](bool raw) {
                              if (!raw)
                                  view.List->SetRoot("rfDesktop");
                          }),
                      1.5);
    std::printf("  %d items enumerated, %d rows listed\n", listed, view.List->FolderCount());

    // Names the code page cannot spell show (and reach their files by) their short names: in list
    // style every row's name is read when the list first paints.
    {
        const AnsiString wide = WideKeptFolder("vellorn_bench_shell_wide", FileCount).c_str();
        view.List->SetViewStyle(vsList);
        int wideRows = 0;
        bench::RatioLines("shell list in list style, 10,000 ASCII names",
                          "shell list in list style, 10,000 names outside the code page",
                          "  names outside the code page / ASCII names",
                          bench::InTurn(
                              7,
                              [&] {
                                  view.List->SetRoot(files);
                                  view.Painted();
                              },
                              [&] {
                                  view.List->SetRoot(wide);
                                  view.Painted();
                                  wideRows = view.List->FolderCount();
                              },
                              [&](bool) { view.List->SetRoot("rfDesktop"), view.Painted(); }),
                          2);
        std::printf("  %d rows of names outside the code page\n", wideRows);
        view.List->SetViewStyle(vsReport);
    }

    // The plain tree's window stands beside the shell form, so that neither covers the other.
    PlainTree plain(folders);
    TTreeNode* node = nullptr;
    bench::RatioLines("plain tree: 1,000 sub-folders enumerated, inserted, expanded, shown",
                      "tree node of 1,000 sub-folders expanded, shown", "  shell tree / plain tree",
                      bench::InTurn(
                          7, [&] { plain.Expand(); },
                          [&] {
                              node->Expand(false);
                              view.TreePainted();
                          },
                          [&](bool floor) {
                              if (floor) {
                                  plain.Collapse();
                                  return;
                              }
                              view.Tree->SetRoot("rfDesktop");
                              view.Tree->SetRoot(folders);
                              node = view.Tree->Items()->GetFirstNode();
                              node->Collapse(false);
                              node->DeleteChildren();
                              node->SetHasChildren(true);
                              view.Painted();
                          }),
                      1.5);
    std::printf("  %d child nodes\n", node ? node->Count() : 0);
    std::printf("  (the plain tree enumerates with names and the folder and sub-folder attributes)\n");

    // A file made on disk: the time until the list shows its row.
    const AnsiString watched = bench::TempFolder("vellorn_bench_shell_watched");
    CreateDirectoryA(watched.c_str(), nullptr);
    view.List->SetRoot(watched);
    view.List->SetAutoRefresh(true);
    double worst = 0;
    for (int i = 0; i < 5; ++i) {
        char name[64];
        wsprintfA(name, "seen %d.txt", i);
        const AnsiString path = watched + name;
        const int before = view.List->FolderCount();
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        PumpUntil([&] { return view.List->FolderCount() != before; }, 5000);
        QueryPerformanceCounter(&t1);
        const double ms = 1000.0 * double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
        worst = ms > worst ? ms : worst;
        DeleteFileA(path.c_str());
        // The list shows the folder without it again before the next file.
        PumpUntil([&] { return view.List->FolderCount() == before; }, 5000);
    }
    bench::AtMost("a file made on disk listed, worst of 5", worst, 1000, "ms");
    view.List->SetAutoRefresh(false);
    return 0;
}
