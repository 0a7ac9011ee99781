// The skinned tree view and page control against the framework's, side by side in shown windows
// (painting counts): 100,000 nodes loaded into a tree (goal: Dusk at most 1.2 times the plain
// tree), paging down through the expanded tree by keys (at most 2 times), a page switch by a click
// on a tab and a repaint of the tabs (at most 2 times); and the program's skin switch with
// 100,000 nodes in its article tree against an empty one (at most one tree load more).
#include <cstdio>

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

void Ratio(const char* Name, double Skinned, double Plain, double Goal)
{
    bench::AtMost(std::string("  ") + Name + " skinned / plain", Skinned / Plain, Goal);
}

// Loading, expanding and paging down a tree made by Make on a shown form.
struct TreeFigures {
    double Load = 0, PageDown = 0;
};

template <class TTree>
TreeFigures TreeWork(const char* Label, int Left)
{
    TForm* form = ShownForm(Left);
    auto* tree = Create<TTree>(form);
    tree->SetAlign(alClient);
    tree->SetParent(form);
    Settle(form);
    TTreeNodes& items = *tree->Items();
    TreeFigures f;
    f.Load = bench::Measure(
        std::string(Label) + ": load 100,000 nodes, shown", 3,
        [&] {
            bench::FillArticleTree(items, NodeCount);
            Settle(tree);
        },
        [&] {
            items.Clear();
            Settle(tree);
        });
    tree->FullExpand();
    Settle(tree);
    f.PageDown = bench::Measure(
        std::string(Label) + ": 100 page-downs by key, expanded", 3,
        [&] {
            for (int i = 0; i < 100; ++i) {
                PostMessageA(tree->Handle(), WM_KEYDOWN, VK_NEXT, 0);
                PostMessageA(tree->Handle(), WM_KEYUP, VK_NEXT, 0xC0000001);
                Settle(tree);
            }
        },
        [&] {
            tree->SetSelected(items.GetFirstNode());
            tree->SetTopItem(items.GetFirstNode());
            Settle(tree);
        });
    form->Free();
    return f;
}

// A page control of two pages with a tree each, as on the main window.
struct PageFigures {
    double Switch = 0, Tabs = 0;
};

template <class TPages, class TSheet, class TTree>
PageFigures PageWork(const char* Label, int Left)
{
    TForm* form = ShownForm(Left);
    auto* pages = Create<TPages>(form);
    pages->SetAlign(alClient);
    pages->SetParent(form);
    for (const char* caption : {"Статьи", "Поиск"}) {
        auto* sheet = Create<TSheet>(form);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
        auto* tree = Create<TTree>(form);
        tree->SetAlign(alClient);
        tree->SetParent(sheet);
        bench::FillArticleTree(*tree->Items(), 500);
    }
    pages->SetActivePageIndex(0);
    Settle(form);
    PageFigures f;
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    f.Switch = bench::Measure(std::string(Label) + ": 20 page switches by clicks on the tabs", 5, [&] {
        for (int i = 0; i < 20; ++i) {
            const TRect tab = pages->TabRect(1 - pages->ActivePageIndex());
            const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
            PostMessageA(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(pages->Handle(), WM_LBUTTONUP, 0, at);
            Settle(form);
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    });
    if (changes != 100)
        std::printf("  only %d of 100 page changes\n", changes);
    f.Tabs = bench::Measure(std::string(Label) + ": 50 repaints of the tabs", 5, [&] {
        const TRect strip = Rect(0, 0, pages->Width(), pages->DisplayRect().top);
        for (int i = 0; i < 50; ++i) {
            InvalidateRect(pages->Handle(), &strip, TRUE);
            UpdateWindow(pages->Handle());
        }
    });
    form->Free();
    return f;
}

void Controls(const AnsiString& Skins)
{
    sSkinData->Active = false;
    const TreeFigures plainTree = TreeWork<TTreeView>("plain tree", 0);
    const PageFigures plainPages = PageWork<TPageControl, TTabSheet, TTreeView>("plain pages", 0);
    bench::LoadSkinTables(Skins + "Dusk\\");
    sSkinData->Active = true;
    const TreeFigures skinnedTree = TreeWork<TsTreeView>("Dusk tree", 430);
    const PageFigures skinnedPages = PageWork<TsPageControl, TsTabSheet, TsTreeView>("Dusk pages", 430);
    Ratio("tree load", skinnedTree.Load, plainTree.Load, 1.2);
    Ratio("page-down", skinnedTree.PageDown, plainTree.PageDown, 2);
    Ratio("page switch", skinnedPages.Switch, plainPages.Switch, 2);
    Ratio("tab repaint", skinnedPages.Tabs, plainPages.Tabs, 2);
    sSkinData->Active = false;
    FreeBitmaps();
    gd.clear();
    InitConstantIndexes();
}

// The program's main window switched from Neutral to Dusk and back, with its article tree empty
// and with 100,000 nodes.
void ProgramSwitch()
{
    TsSkinManager* manager = ID_Vellorn->sSkinManager1;
    TsTreeView* tree = ID_Vellorn->TreeView1;
    TTreeNodes& items = *tree->Items();
    auto switchTwice = [&] {
        manager->SetSkinName("Dusk");
        Application->ProcessMessages();
        manager->SetSkinName("Neutral");
        Application->ProcessMessages();
    };
    manager->SetSkinName("Neutral");
    items.Clear();
    Settle(ID_Vellorn);
    const double empty = bench::Measure("program: Neutral to Dusk and back, empty tree", 5, switchTwice);
    const double load = bench::Measure(
        "program: load 100,000 nodes into the article tree", 3,
        [&] {
            bench::FillArticleTree(items, NodeCount);
            Settle(ID_Vellorn);
        },
        [&] {
            items.Clear();
            Settle(ID_Vellorn);
        });
    const double full = bench::Measure("program: Neutral to Dusk and back, 100,000 nodes", 5, switchTwice);
    bench::AtMost("  one switch: (full - empty) / tree load", (full - empty) / 2 / load, 1);
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
