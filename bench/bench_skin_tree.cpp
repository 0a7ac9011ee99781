// The skinned tree view and page control against the framework's, side by side in shown windows
// (painting counts): 100,000 nodes loaded into a tree (goal: Dusk at most 1.2 times the plain
// tree), paging down through the expanded tree by keys (at most 2 times), a page switch by a click
// on a tab and a repaint of the tabs (at most 2 times); and the program's skin switch with
// 100,000 nodes in its article tree against an empty one (at most one tree load more).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchHarness.h"
#include "ComCtrlsTree.h"
#include "Forms.h"
#include "Main.h"
#include "sMaskData.h"
#include "sPageControl.h"
#include "sStyleSimply.h"
#include "sTreeView.h"
#include "sUtils.h"

namespace {

constexpr int NodeCount = 100000;

void Settle(TWinControl* Control)
{
    Application->ProcessMessages();
    UpdateWindow(Control->Handle());
}

TForm* ShownForm(int Left)
{
    TForm* form = Create<TForm>(Application);
    form->SetBounds(Left, 0, 420, 640);
    form->Show();
    return form;
}

// The skin's tables in use (the skinned side's turn) or not (the plain side's); untimed.
void Look(bool Skinned)
{
    sSkinData->Active = Skinned;
}

// A tree of the class TTree on a shown form: loaded, then expanded and paged down by keys.
template <class TTree>
struct TreeSide {
    TForm* Form;
    TTree* Tree;
    explicit TreeSide(int Left) : Form(ShownForm(Left)), Tree(Create<TTree>(Form))
    {
        Tree->SetAlign(alClient);
        Tree->SetParent(Form);
        Settle(Form);
    }
    ~TreeSide() { Form->Free(); }
    TTreeNodes& Items() { return *Tree->Items(); }
    void Clear()
    {
        Items().Clear();
        Settle(Tree);
    }
    void Load()
    {
        bench::FillArticleTree(Items(), NodeCount);
        Settle(Tree);
    }
    void Expand()
    {
        Tree->FullExpand();
        Settle(Tree);
    }
    void ToTop()
    {
        Tree->SetSelected(Items().GetFirstNode());
        Tree->SetTopItem(Items().GetFirstNode());
        Settle(Tree);
    }
    void PageDowns()
    {
        for (int i = 0; i < 100; ++i) {
            PostMessageA(Tree->Handle(), WM_KEYDOWN, VK_NEXT, 0);
            PostMessageA(Tree->Handle(), WM_KEYUP, VK_NEXT, 0xC0000001);
            Settle(Tree);
        }
    }
};

// A page control of two pages with a tree each, as on the main window.
template <class TPages, class TSheet, class TTree>
struct PageSide {
    TForm* Form;
    TPages* Pages;
    int Changes = 0;
    explicit PageSide(int Left) : Form(ShownForm(Left)), Pages(Create<TPages>(Form))
    {
        Pages->SetAlign(alClient);
        Pages->SetParent(Form);
        for (const char* caption : {"Статьи", "Поиск"}) {
            auto* sheet = Create<TSheet>(Form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(Pages);
            auto* tree = Create<TTree>(Form);
            tree->SetAlign(alClient);
            tree->SetParent(sheet);
            bench::FillArticleTree(*tree->Items(), 500);
        }
        Pages->SetActivePageIndex(0);
        Settle(Form);
        Pages->OnChange = [this](TObject*) { ++Changes; };
    }
    ~PageSide() { Form->Free(); }
    void Switches()
    {
        for (int i = 0; i < 20; ++i) {
            const TRect tab = Pages->TabRect(1 - Pages->ActivePageIndex());
            const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
            PostMessageA(Pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(Pages->Handle(), WM_LBUTTONUP, 0, at);
            Settle(Form);
            RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
    void Tabs()
    {
        const TRect strip = Rect(0, 0, Pages->Width(), Pages->DisplayRect().top);
        for (int i = 0; i < 50; ++i) {
            InvalidateRect(Pages->Handle(), &strip, TRUE);
            UpdateWindow(Pages->Handle());
        }
    }
};

// The plain and the skinned side, each made once on its own form beside the other; every round
// takes the plain side (the floor) and the skinned one in turn, the look switched before each.
void Controls(const AnsiString& Skins)
{
    constexpr int Rounds = 5;
    {
        sSkinData->Active = false;
        TreeSide<TTreeView> plain(0);
        bench::LoadSkinTables(Skins + "Dusk\\");
        sSkinData->Active = true;
        TreeSide<TsTreeView> skinned(430);
        bench::RatioLines("plain tree: load 100,000 nodes, shown", "Dusk tree: load 100,000 nodes, shown",
                          "  tree load skinned / plain",
                          bench::InTurn(
                              Rounds, [&] { plain.Load(); }, [&] { skinned.Load(); },
                              [&](bool floor) {
                                  Look(!floor);
                                  floor ? plain.Clear() : skinned.Clear();
                              }),
                          1.2);
        Look(false);
        plain.Expand();
        Look(true);
        skinned.Expand();
        bench::RatioLines("plain tree: 100 page-downs by key, expanded", "Dusk tree: 100 page-downs by key, expanded",
                          "  page-down skinned / plain",
                          bench::InTurn(
                              Rounds, [&] { plain.PageDowns(); }, [&] { skinned.PageDowns(); },
                              [&](bool floor) {
                                  Look(!floor);
                                  floor ? plain.ToTop() : skinned.ToTop();
                              }),
                          2);
        Look(false);
        plain.Clear();
        Look(true);
        skinned.Clear();
    }
    {
        Look(false);
        PageSide<TPageControl, TTabSheet, TTreeView> plain(0);
        Look(true);
        PageSide<TsPageControl, TsTabSheet, TsTreeView> skinned(430);
        bench::RatioLines("plain pages: 20 page switches by clicks on the tabs",
                          "Dusk pages: 20 page switches by clicks on the tabs", "  page switch skinned / plain",
                          bench::InTurn(
                              Rounds, [&] { plain.Switches(); }, [&] { skinned.Switches(); }, [](bool floor) { Look(!floor); }),
                          2);
        for (const int changes : {plain.Changes, skinned.Changes})
            if (changes != 20 * Rounds)
                std::printf("  only %d of %d page changes\n", changes, 20 * Rounds);
        bench::RatioLines("plain pages: 50 repaints of the tabs", "Dusk pages: 50 repaints of the tabs",
                          "  tab repaint skinned / plain",
                          bench::InTurn(
                              Rounds, [&] { plain.Tabs(); }, [&] { skinned.Tabs(); }, [](bool floor) { Look(!floor); }),
                          2);
        Look(false);
    }
    FreeBitmaps();
    gd.clear();
    InitConstantIndexes();
}

// The program's main window switched from Neutral to Dusk and back with its article tree empty
// and with 100,000 nodes, against loading the nodes: the switch with the nodes less the switch
// without them, per switch, is at most one load. Each round takes the three in turn, starting
// with the empty switch in even rounds and with the full one in odd rounds.
void ProgramSwitch()
{
    TsSkinManager* manager = ID_Vellorn->sSkinManager1;
    TsTreeView* tree = ID_Vellorn->TreeView1;
    TTreeNodes& items = *tree->Items();
    auto timed = [](std::vector<double>& Times, const std::function<void()>& Body) {
        const double t0 = bench::NowMs();
        Body();
        Times.push_back(bench::NowMs() - t0);
    };
    auto switchTwice = [&] {
        manager->SetSkinName("Dusk");
        Application->ProcessMessages();
        manager->SetSkinName("Neutral");
        Application->ProcessMessages();
    };
    auto load = [&] {
        bench::FillArticleTree(items, NodeCount);
        Settle(ID_Vellorn);
    };
    auto clear = [&] {
        items.Clear();
        Settle(ID_Vellorn);
    };
    manager->SetSkinName("Neutral");
    clear();
    std::vector<double> empties, loads, fulls;
    for (int round = 0; round < 6; ++round) {
        if (round % 2)
            timed(fulls, switchTwice);
        clear();
        timed(empties, switchTwice);
        timed(loads, load);
        if (round % 2 == 0)
            timed(fulls, switchTwice);
    }
    bench::Summary("program: Neutral to Dusk and back, empty tree", empties);
    bench::Summary("program: load 100,000 nodes into the article tree", loads);
    bench::Summary("program: Neutral to Dusk and back, 100,000 nodes", fulls);
    // A switch with the nodes that came out faster than one without them (noise) costs nothing.
    std::vector<double> perSwitch;
    for (std::size_t i = 0; i < fulls.size(); ++i)
        perSwitch.push_back(std::max(0.0, (fulls[i] - empties[i]) / 2));
    bench::Ratios("  one switch: (full - empty) / tree load", perSwitch, loads, 1);
}

} // namespace

int main()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const AnsiString dir =
        AnsiString(base) + "vellorn_bench_tree_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
    const AnsiString defaults = AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\";
    bench::CopyFolder(defaults + "FILES", dir + "FILES");
    bench::CopyFolder(defaults + "Skins", dir + "Skins");
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");
    Application->Initialize();

    Controls(dir + "Skins\\");

    Application->CreateForm(ID_Vellorn);
    ID_Vellorn->Show();
    Application->ProcessMessages();
    ProgramSwitch();
    ID_Vellorn->Close();
    Application->ProcessMessages();
    ClearDir(dir, true);
    return 0;
}
