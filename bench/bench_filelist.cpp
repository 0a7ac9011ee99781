// The file list view listing a folder of 10,000 files: the skinned view (Dusk, on a skinned form)
// reading the folder with its types, icons, dates and sizes and sorting it by name, beside a raw
// find-first loop inserting each file with its texts into the system's list view, both shown and
// of one size; each measure ends with the window painted. The folder is made once in the temporary
// folder and kept for later runs (making it under Wine takes a while).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "BenchHarness.h"
#include "Forms.h"
#include "sFileListView.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"

namespace {

constexpr int FileCount = 10000;

// The folder of the files, made when it does not hold them all yet.
AnsiString FilesFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const AnsiString dir = AnsiString(base) + "vellorn_bench_filelist_10000\\";
    const AnsiString done = dir + "complete.mark";
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES)
        return dir;
    std::printf("making %d files in %s (once)\n", FileCount, dir.c_str());
    std::fflush(stdout);
    CreateDirectoryA(dir.c_str(), nullptr);
    static const char* const extensions[] = {".txt", ".html", ".jpg", ".ini", ".swf", ".bmp", ".doc", ""};
    char name[MAX_PATH];
    for (int i = 0; i < FileCount - 1; ++i) {
        wsprintfA(name, "%sСтатья %05d%s", dir.c_str(), (i * 7919) % FileCount, extensions[i % 8]);
        HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        DWORD written = 0;
        WriteFile(h, name, static_cast<DWORD>(i % 200), &written, nullptr);
        CloseHandle(h);
    }
    HANDLE h = CreateFileA(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(h);
    return dir;
}

void Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// --- The raw loop ---------------------------------------------------------------------------------

struct RawList {
    HWND Host = nullptr;
    HWND List = nullptr;
    RawList()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VellornBenchRawFiles";
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassA(&wc);
        Host = CreateWindowExA(0, wc.lpszClassName, "raw", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 600, 20,
                               560, 640, nullptr, nullptr, wc.hInstance, nullptr);
        RECT r;
        GetClientRect(Host, &r);
        List = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, r.right,
                               r.bottom, Host, nullptr, wc.hInstance, nullptr);
        const char* captions[] = {"Name", "Size", "Type", "Modified", "Attr"};
        const int widths[] = {150, 75, 75, 100, 35};
        for (int i = 0; i < 5; ++i) {
            LVCOLUMNA c{};
            c.mask = LVCF_TEXT | LVCF_WIDTH;
            c.cx = widths[i];
            c.pszText = const_cast<char*>(captions[i]);
            SendMessageA(List, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
        }
        Painted();
    }
    ~RawList() { DestroyWindow(Host); }
    void Fill(const AnsiString& Dir)
    {
        SendMessageA(List, WM_SETREDRAW, FALSE, 0);
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((Dir + "*.*").c_str(), &fd);
        int row = 0;
        char text[64];
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            LVITEMA it{};
            it.mask = LVIF_TEXT;
            it.iItem = row;
            it.pszText = fd.cFileName;
            SendMessageA(List, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
            wsprintfA(text, "%lu KB", (fd.nFileSizeLow + 1023) / 1024);
            it.iSubItem = 1;
            it.pszText = text;
            SendMessageA(List, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
            SYSTEMTIME st;
            FILETIME local;
            FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local);
            FileTimeToSystemTime(&local, &st);
            wsprintfA(text, "%02u.%02u.%04u %02u:%02u:%02u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
                      st.wSecond);
            it.iSubItem = 3;
            SendMessageA(List, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
            ++row;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        SendMessageA(List, WM_SETREDRAW, TRUE, 0);
        Painted();
    }
    void Painted()
    {
        RedrawWindow(Host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
    }
};

// --- The file list view -----------------------------------------------------------------------------

struct FileList {
    TForm* Form = nullptr;
    TsFileListView* List = nullptr;
    FileList()
    {
        Form = Create<TForm>(Application);
        Form->SetBounds(20, 20, 560, 640);
        Create<TsSkinProvider>(Form);
        List = Create<TsFileListView>(Form);
        List->SetAlign(alClient);
        List->SetParent(Form);
        Form->Show();
        Painted();
    }
    ~FileList() { Form->Free(); }
    void Painted()
    {
        Pump(); // the bars' refresh
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        Pump();
    }
};

} // namespace

int main()
{
    const AnsiString dir = FilesFolder();
    auto* manager = Create<TsSkinManager>(Application);
    manager->SetSkinDirectory(AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\Skins\\");
    manager->SetSkinName("Dusk");
    if (!sSkinData->Active) {
        std::printf("the skin Dusk did not load\n");
        return 1;
    }
    // Both windows made once, side by side; each round lists the folder in both, in turn.
    {
        FileList view;
        RawList list;
        view.List->SetDirectory(dir);
        std::printf("%d rows listed\n", view.List->Items()->Count());
        const bench::TRounds rounds = bench::InTurn(
            7, [&] { list.Fill(dir); },
            [&] {
                view.List->UpdateFileList();
                view.Painted();
            },
            [&](bool raw) {
                if (raw)
                    SendMessageA(list.List, LVM_DELETEALLITEMS, 0, 0);
            });
        bench::RatioLines("list 10,000 files, raw find-first/insert loop", "list 10,000 files sorted, file list view (Dusk)",
                          "  file list view / raw loop", rounds, 2);
    }
    manager->Free();
    return 0;
}
