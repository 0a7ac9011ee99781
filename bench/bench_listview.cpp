// List views: the cost of the skin. The same list view (report view with two columns, on a form
// with a skin provider, shown and of one size) with Dusk active and with the skin manager
// inactive. Inserting 100,000 rows with a sub-item each in one update, an owner-data list of
// 100,000 rows scrolled to its end, and clearing 100,000 rows; each measure ends with the window
// painted. The skinned figures are printed as ratios of the ones without the skin.
#include <windows.h>

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

// --- The list --------------------------------------------------------------------------------------------

// The skinned list view on a form with a skin provider; with the manager inactive, the same
// design without the skin.
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

void Ratio(const char* Name, double Skinned, double Bare, double Goal)
{
    bench::AtMost(std::string("  ") + Name + " skinned / without the skin", Skinned / Bare, Goal);
}

// The three measures on lists made now (with the skin as the manager has it), into Figures.
struct TFigures {
    double Insert = 0, Clear = 0, Scroll = 0;
};

TFigures MeasureLists(const char* Look)
{
    TFigures f;
    const std::string look = std::string(", ") + Look;
    {
        SkinnedList list(false);
        f.Insert = bench::Measure("insert 100,000 rows" + look, 3, [&] { list.Insert(); },
                                  [&] { list.List->Items()->Clear(); });
        f.Clear = bench::Measure("clear 100,000 rows" + look, 3, [&] {
            list.List->Items()->Clear();
            list.Painted();
        }, [&] { list.Insert(); });
    }
    {
        SkinnedList list(true);
        f.Scroll = bench::Measure("owner data: 100,000 rows, to the end" + look, 5, [&] {
            list.List->Items()->SetCount(RowCount);
            list.List->Items()->Item(RowCount - 1)->MakeVisible(false);
            list.Painted();
        }, [&] {
            list.List->Items()->SetCount(0);
            list.Painted();
        });
    }
    return f;
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
    const TFigures skinned = MeasureLists("skinned (Dusk)");
    manager->SetActive(false);
    const TFigures bare = MeasureLists("without the skin");
    Ratio("insert 100,000 rows", skinned.Insert, bare.Insert, 1.3);
    Ratio("owner data to the end", skinned.Scroll, bare.Scroll, 1.5);
    Ratio("clear 100,000 rows", skinned.Clear, bare.Clear, 1.1);
    manager->Free();
    return 0;
}
