// List views: the skinned list view (Dusk, report view with two columns, on a skinned form) beside
// the system's list view driven by plain calls, both shown and of one size. Inserting 100,000 rows
// with a sub-item each (the plain list with its drawing locked meanwhile, as a plain program
// would), an owner-data list of 100,000 rows scrolled to its end, and clearing 100,000 rows; each
// measure ends with the window painted. The skinned figures are printed as ratios of the plain ones.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "BenchHarness.h"
#include "Forms.h"
#include "sListView.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"

namespace {

constexpr int RowCount = 100000;

AnsiString TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return AnsiString(base) + "vellorn_bench_listview_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
}

void CopySkin(const AnsiString& Dir, const char* Skin)
{
    const AnsiString from = AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\Skins\\" + Skin + "\\";
    const AnsiString to = Dir + Skin + "\\";
    ForceDirectories(to);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + fd.cFileName).c_str(), (to + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// --- The plain list ---------------------------------------------------------------------------------

char RowText[64];

LRESULT CALLBACK PlainHostProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(LParam)->code == LVN_GETDISPINFOA) {
        LVITEMA& it = reinterpret_cast<NMLVDISPINFOA*>(LParam)->item;
        if (it.mask & LVIF_TEXT) {
            wsprintfA(RowText, it.iSubItem == 0 ? "Статья номер %d" : "%d KB", it.iItem);
            lstrcpynA(it.pszText, RowText, it.cchTextMax);
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

struct PlainList {
    HWND Host = nullptr;
    HWND List = nullptr;
    explicit PlainList(bool OwnerData)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VellornBenchPlainHost";
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        RegisterClassA(&wc);
        Host = CreateWindowExA(0, wc.lpszClassName, "plain", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 440,
                               20, 420, 640, nullptr, nullptr, wc.hInstance, nullptr);
        List = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                               WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | (OwnerData ? LVS_OWNERDATA : 0),
                               0, 0, 400, 600, Host, nullptr, wc.hInstance, nullptr);
        for (int i = 0; i < 2; ++i) {
            LVCOLUMNA c{};
            c.mask = LVCF_TEXT | LVCF_WIDTH;
            c.cx = 150;
            c.pszText = const_cast<char*>(i == 0 ? "Название" : "Размер");
            SendMessageA(List, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
        }
        UpdateWindow(Host);
        Pump();
    }
    ~PlainList() { DestroyWindow(Host); }
    void Insert()
    {
        SendMessageA(List, WM_SETREDRAW, FALSE, 0);
        char text[64];
        for (int i = 0; i < RowCount; ++i) {
            LVITEMA it{};
            it.mask = LVIF_TEXT;
            it.iItem = i;
            wsprintfA(text, "Статья номер %d", i);
            it.pszText = text;
            SendMessageA(List, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
            wsprintfA(text, "%d KB", i);
            it.iSubItem = 1;
            SendMessageA(List, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
        }
        SendMessageA(List, WM_SETREDRAW, TRUE, 0);
        Painted();
    }
    void Painted()
    {
        RedrawWindow(List, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
    }
};

// --- The skinned list ---------------------------------------------------------------------------------

struct SkinnedList {
    TForm* Form = nullptr;
    TsListView* List = nullptr;
    explicit SkinnedList(bool OwnerData)
    {
        Form = Create<TForm>(Application);
        Form->SetBounds(20, 20, 420, 640);
        Create<TsSkinProvider>(Form);
        List = Create<TsListView>(Form);
        List->SetBounds(0, 0, 400, 600);
        List->SetViewStyle(vsReport);
        List->SetOwnerData(OwnerData);
        for (const char* caption : {"Название", "Размер"}) {
            TListColumn* c = List->Columns()->Add();
            c->SetCaption(caption);
            c->SetWidth(150);
        }
        List->OnData = [](TObject*, TListItem* Item) {
            Item->SetCaption("Статья номер " + IntToStr(Item->Index()));
            Item->SubItems()->Add(IntToStr(Item->Index()) + " KB");
        };
        List->SetParent(Form);
        Form->Show();
        Painted();
    }
    ~SkinnedList() { Form->Free(); }
    void Insert()
    {
        TListItems* items = List->Items();
        items->BeginUpdate();
        for (int i = 0; i < RowCount; ++i) {
            TListItem* item = items->Add();
            item->SetCaption("Статья номер " + IntToStr(i));
            item->SubItems()->Add(IntToStr(i) + " KB");
        }
        items->EndUpdate();
        Painted();
    }
    void Painted()
    {
        Pump(); // the bars' refresh
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        Pump();
    }
};

void Ratio(const char* Name, double Skinned, double Plain, const char* Goal)
{
    bench::Report(std::string("  ") + Name + " skinned / plain", Skinned / Plain, std::string("x (goal: at most ") + Goal + ")");
}

} // namespace

int main()
{
    const AnsiString dir = TempFolder();
    CopySkin(dir, "Dusk");
    auto* manager = Create<TsSkinManager>(Application);
    manager->SetSkinDirectory(dir);
    manager->SetSkinName("Dusk");
    if (!sSkinData->Active) {
        std::printf("the skin Dusk did not load\n");
        return 1;
    }

    double insertSkinned = 0, insertPlain = 0, clearSkinned = 0, clearPlain = 0;
    {
        SkinnedList skinned(false);
        insertSkinned = bench::Measure("insert 100,000 rows, skinned (Dusk)", 3, [&] { skinned.Insert(); },
                                       [&] { skinned.List->Items()->Clear(); });
        clearSkinned = bench::Measure("clear 100,000 rows, skinned (Dusk)", 3, [&] {
            skinned.List->Items()->Clear();
            skinned.Painted();
        }, [&] { skinned.Insert(); });
    }
    {
        PlainList plain(false);
        auto empty = [&] { SendMessageA(plain.List, LVM_DELETEALLITEMS, 0, 0); };
        insertPlain = bench::Measure("insert 100,000 rows, plain", 3, [&] { plain.Insert(); }, empty);
        clearPlain = bench::Measure("clear 100,000 rows, plain", 3, [&] {
            empty();
            plain.Painted();
        }, [&] { plain.Insert(); });
        empty();
    }
    double scrollSkinned = 0, scrollPlain = 0;
    {
        SkinnedList skinned(true);
        scrollSkinned = bench::Measure("owner data: 100,000 rows, to the end, skinned", 5, [&] {
            skinned.List->Items()->SetCount(RowCount);
            skinned.List->Items()->Item(RowCount - 1)->MakeVisible(false);
            skinned.Painted();
        }, [&] {
            skinned.List->Items()->SetCount(0);
            skinned.Painted();
        });
    }
    {
        PlainList plain(true);
        scrollPlain = bench::Measure("owner data: 100,000 rows, to the end, plain", 5, [&] {
            SendMessageA(plain.List, LVM_SETITEMCOUNT, RowCount, 0);
            SendMessageA(plain.List, LVM_ENSUREVISIBLE, RowCount - 1, FALSE);
            plain.Painted();
        }, [&] {
            SendMessageA(plain.List, LVM_SETITEMCOUNT, 0, 0);
            plain.Painted();
        });
    }
    Ratio("insert 100,000 rows", insertSkinned, insertPlain, "1.3");
    Ratio("owner data to the end", scrollSkinned, scrollPlain, "1.5");
    Ratio("clear 100,000 rows", clearSkinned, clearPlain, "1.1");
    manager->Free();
    return 0;
}
