// Shell views: listing a folder of 10,000 files in the shell list view (shown, painted) beside the
// raw shell enumeration of the same folder with names and attributes; expanding a tree node of
// 1,000 sub-folders beside their raw enumeration; and the time from a file made on disk to its
// row in a list with automatic refresh. The folders are made once in the temporary folder and
// kept for later runs.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchHarness.h"
#include "Forms.h"
#include "acShellCtrlsList.h"

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

AnsiString BenchFolder(const char* Name)
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return AnsiString(base) + Name + "\\";
}

// A folder of Count entries (files, or folders with a file each), made once and kept: a folder
// that has its last entry is complete.
AnsiString KeptFolder(const char* Name, int Count, bool Folders)
{
    const AnsiString dir = BenchFolder(Name);
    char last[32];
    wsprintfA(last, Folders ? "folder %05d" : "file %05d.txt", Count - 1);
    if (GetFileAttributesA((dir + last).c_str()) != INVALID_FILE_ATTRIBUTES)
        return dir;
    std::printf("making %s (%d %s), once\n", dir.c_str(), Count, Folders ? "folders" : "files");
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int i = 0; i < Count; ++i) {
        char name[32];
        wsprintfA(name, Folders ? "folder %05d" : "file %05d.txt", i);
        const AnsiString path = dir + name;
        if (Folders) {
            CreateDirectoryA(path.c_str(), nullptr);
            if (i % 2 == 0)
                CreateDirectoryA((path + "\\inner").c_str(), nullptr);
        } else {
            HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(h, name, 8, &written, nullptr);
            CloseHandle(h);
        }
    }
    return dir;
}

// The raw shell: the folder bound, each item's name in the folder and its attributes.
int RawEnumeration(const AnsiString& Dir)
{
    TComInterface<IShellFolder> desktop;
    SHGetDesktopFolder(&desktop);
    wchar_t path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, Dir.c_str(), -1, path, MAX_PATH);
    PIDL pidl = nullptr;
    desktop->ParseDisplayName(nullptr, nullptr, path, nullptr, &pidl, nullptr);
    TComInterface<IShellFolder> folder;
    desktop->BindToObject(pidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
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
    ShellForm()
    {
        Form = Create<TForm>(Application);
        Form->SetBounds(20, 20, 800, 600);
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
};

void Ratio(const char* Name, double Ours, double Raw, const char* Goal)
{
    bench::Report(std::string("  ") + Name + " / raw enumeration", Ours / Raw, std::string("x (goal: at most ") + Goal + ")");
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    const AnsiString files = KeptFolder("vellorn_bench_shell_files", FileCount, false);
    const AnsiString folders = KeptFolder("vellorn_bench_shell_folders", SubFolderCount, true);
    ShellForm view;

    int listed = 0;
    const double rawFiles = bench::Measure("raw enumeration of 10,000 files with names and attributes", 5,
                                           [&] { listed = RawEnumeration(files); });
    const double listFiles = bench::Measure("shell list of 10,000 files, shown", 5, [&] {
        view.List->SetRoot(files);
        view.Painted();

    }, [&] { view.List->SetRoot("rfDesktop"); });
    std::printf("  %d items enumerated, %d rows listed\n", listed, view.List->FolderCount());
    Ratio("list", listFiles, rawFiles, "1.5");

    // A file made on disk: the time until the list shows its row.
    const AnsiString watched = BenchFolder("vellorn_bench_shell_watched");
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
        do {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
            QueryPerformanceCounter(&t1);
        } while (view.List->FolderCount() == before && (t1.QuadPart - t0.QuadPart) < 5 * f.QuadPart);
        const double ms = 1000.0 * double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
        worst = ms > worst ? ms : worst;
        DeleteFileA(path.c_str());
        // The list shows the folder without it again before the next file.
        for (int wait = 0; wait < 500 && view.List->FolderCount() != before; ++wait) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
    }
    bench::Report("a file made on disk listed, worst of 5", worst, "ms (goal: at most 1000)");
    view.List->SetAutoRefresh(false);
    return 0;
}
