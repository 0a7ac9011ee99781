// List views: the cost of the skin. The same list view (report view with two columns, on a form
// with a skin provider, shown and of one size) with Dusk active and with the skin manager
// inactive. Inserting 100,000 rows with a sub-item each in one update, an owner-data list of
// 100,000 rows scrolled to its end, and clearing 100,000 rows; each measure ends with the window
// painted. The skinned figures are printed as ratios of the ones without the skin.
#include <windows.h>

#include <cstdio>
#include <functional>
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

// The skin on (Dusk) or off, as the manager has it; untimed, before each side's turn.
void Look(TsSkinManager* Manager, bool Skinned)
{
    Manager->SetActive(Skinned);
    Pump();
}

// A measure taken on the same list with the skin off (the floor) and on, in turn in each round.
void SkinCost(TsSkinManager* Manager, const std::string& Name, const char* RatioName, double Goal, int Rounds,
              const std::function<void()>& Body, const std::function<void()>& Setup)
{
    const bench::TRounds rounds = bench::InTurn(Rounds, Body, Body, [&](bool bare) {
        Look(Manager, !bare);
        Setup();
    });
    bench::RatioLines(Name + ", without the skin", Name + ", skinned (Dusk)",
                      std::string("  ") + RatioName + " skinned / without the skin", rounds, Goal);
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
    // Each list is made once; every round takes it without the skin and with it, in turn.
    {
        SkinnedList list(false);
        SkinCost(manager, "insert 100,000 rows", "insert 100,000 rows", 1.3, 5, [&] { list.Insert(); },
                 [&] {
                     list.List->Items()->Clear();
                     list.Painted();
                 });
        SkinCost(manager, "clear 100,000 rows", "clear 100,000 rows", 1.1, 7,
                 [&] {
                     list.List->Items()->Clear();
                     list.Painted();
                 },
                 [&] {
                     if (list.List->Items()->Count() == 0)
                         list.Insert();
                 });
    }
    {
        SkinnedList list(true);
        SkinCost(manager, "owner data: 100,000 rows, to the end", "owner data to the end", 1.5, 7,
                 [&] {
                     list.List->Items()->SetCount(RowCount);
                     list.List->Items()->Item(RowCount - 1)->MakeVisible(false);
                     list.Painted();
                 },
                 [&] {
                     list.List->Items()->SetCount(0);
                     list.Painted();
                 });
    }
    manager->Free();
    return 0;
}
