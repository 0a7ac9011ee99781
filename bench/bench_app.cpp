// The application's files, start-up and close: saving and loading a 100,000-node tree file through
// a tree view with its window, the main window created on a 10,000-entry working tree up to its
// first paint, and the main window closed on a 100,000-entry working tree.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "BenchHarness.h"
#include "MainSession.h"
#include "TreeFile.h"
#include "sUtils.h"
#include "sTreeView.h"

namespace {

AnsiString TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    AnsiString dir = AnsiString(base) + "vellorn_bench_app_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
    ForceDirectories(dir + "FILES\\tree");
    return dir;
}

// A hidden top-level window of the system's static class to hold tree views.
HWND HostWindow()
{
    return CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Reads the tree file Path into a new empty tree view with its window on Host, Runs times; View
// holds the last one (owned by Owner).
double MeasureLoadIntoEmptyView(const std::string& Name, int Runs, const AnsiString& Path, HWND Host,
                                TComponent* Owner, TsTreeView*& View)
{
    return bench::Measure(Name, Runs, [&] { treefile::ReadTreeFile(Path, *View); }, [&] {
        if (View)
            View->Free();
        View = Create<TsTreeView>(Owner);
        View->SetParentWindow(Host);
        View->HandleNeeded();
    });
}

void TreeFileBenchmarks(const AnsiString& dir)
{
    HWND host = HostWindow();
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    tree->SetName("TreeView1");
    tree->SetParentWindow(host);
    bench::FillArticleTree(*tree->Items(), 100000);
    const AnsiString path = dir + "big.vlt";
    bench::Measure("save a 100,000-node tree file", 5, [&] { treefile::WriteTreeFile(path, *tree); });
    TsTreeView* back = nullptr;
    MeasureLoadIntoEmptyView("load a 100,000-node tree file into an empty tree view with its window", 5, path, host,
                             owner, back);
    std::printf("  %d nodes read back\n", back->Items()->Count());
    bench::Measure("load a 100,000-node tree file over a view holding 100,000 nodes", 5,
                   [&] { treefile::ReadTreeFile(path, *back); });
    owner->Free();
    DestroyWindow(host);
    DeleteFile(path);
}

void StartupBenchmark(const AnsiString& dir)
{
    // A working tree of 10,000 entries (plus their folders) and the stored window settings.
    {
        TComponent* owner = Create<TComponent>(nullptr);
        auto* tree = Create<TsTreeView>(owner);
        tree->SetName("TreeView1");
        bench::FillArticleTree(*tree->Items(), 11112);
        std::printf("  working tree: %d entries\n", treefile::CountEntries(*tree->Items()));
        treefile::WriteTreeFile(dir + "FILES\\tree\\Temp.vlt", *tree);
        owner->Free();
    }
    SafeWriteFileBytes(dir + "FILES\\form.ini", "[FORM]\r\nWidth=1000\r\nHeight=700\r\nTop=20\r\nLeft=20\r\n"
                                                "[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=1\r\nVisible_Tree=1\r\n"
                                                "[Panel]\r\nWidth=260\r\n");
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");
    TID_Vellorn* form = nullptr;
    bench::Measure(
        "start-up to the first painted main window, 10,000 entries", 5,
        [&] {
            form = Create<TID_Vellorn>(Application);
            form->Show();
            UpdateWindow(form->Handle());
        },
        [&] {
            if (form) {
                form->Free();
                form = nullptr;
            }
        });
    if (form)
        form->Free();
}

// The tree file of the close benchmark: Folders categories of Entries articles each.
void WriteWorkingTree(const AnsiString& dir, int Folders, int Entries)
{
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    tree->SetName("TreeView1");
    TTreeNodes& nodes = *tree->Items();
    static const Integer marks[] = {2, 8, 35, 36, 38, 39};
    for (int i = 0; i < Folders; ++i) {
        TTreeNode* folder = nodes.Add(nullptr, "Категория " + IntToStr(i));
        for (int j = 0; j < Entries; ++j) {
            TTreeNode* a = nodes.AddChild(folder, "Статья " + IntToStr(i * Entries + j));
            a->SetImageIndex(marks[j % 6]);
            a->SetSelectedIndex(marks[j % 6]);
        }
    }
    treefile::WriteTreeFile(dir + "FILES\\tree\\Temp.vlt", *tree);
    owner->Free();
    // Its map: a file or an address for every entry.
    std::string map[3];
    for (int i = 0; i < Folders * Entries; ++i) {
        const int kind = i % Entries % 6;
        const std::string line = "Статья " + std::to_string(i) + "=page" + std::to_string(i) + ".html\r\n";
        map[kind < 4 ? 0 : kind == 4 ? 1 : 2] += line;
    }
    SafeWriteFileBytes(dir + "FILES\\tree\\Temp.ini",
                       "[FILES]\r\n" + map[0] + "[FLASH]\r\n" + map[1] + "[URL]\r\n" + map[2]);
}

// Closing the main window (its close handler: the tree file written from the nodes, folders
// closed, and the settings) on a working tree of 1,000 folders of 100 entries, with the window
// settings of the start-up benchmark; beside it the save of the same tree alone. The window is
// freed untimed: the program's process ends without taking it apart.
void CloseBenchmark(const AnsiString& dir)
{
    WriteWorkingTree(dir, 1000, 100);
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");
    TID_Vellorn* form = nullptr;
    auto open = [&] {
        if (form)
            form->Free();
        form = Create<TID_Vellorn>(Application);
        form->Show();
        UpdateWindow(form->Handle());
    };
    const AnsiString copy = dir + "FILES\\tree\\copy.vlt";
    open();
    const double save = bench::Measure("save the tree alone, 100,000 entries", 3,
                                       [&] { treefile::WriteTreeFile(copy, *form->TreeView1); });
    auto close = [&] { form->Close(); };
    const double asLoaded = bench::Measure("close the main window, 100,000 entries as loaded", 3, close, open);
    const double expanded = bench::Measure("close the main window, 100,000 entries all expanded", 3, close, [&] {
        open();
        form->TreeView1->FullExpand();
    });
    // A change is on disk when its command is done (the tree file and the map written together):
    // what the user waits for is the command and the window's answer after it.
    open();
    TTreeNode* entry = form->TreeView1->Items()->Item(1);
    int renames = 0;
    const double rename = bench::Measure("rename an entry, 100,000 entries (written at once)", 5, [&] {
        Archive(form).Rename(entry, "Переименованная " + IntToStr(++renames));
        bench::PumpAll();
    });
    TTreeNode* added = nullptr;
    const double add = bench::Measure(
        "add an article, 100,000 entries (written at once)", 5,
        [&] {
            added = Archive(form).AddEntry(form->TreeView1->Items()->GetFirstNode(), "Новая " + IntToStr(++renames),
                                           niArticleNew, "new.html");
            bench::PumpAll();
        },
        [&] {
            if (added)
                Archive(form).Delete(added);
            added = nullptr;
        });
    form->Free();
    bench::Report("  close as loaded / save alone", asLoaded / save, "x");
    bench::Report("  close all expanded / save alone", expanded / save, "x");
    bench::AtMost("  close as loaded, 100,000 entries", asLoaded, 300, "ms");
    bench::AtMost("  a rename with its files written, 100,000 entries", rename, 100, "ms");
    bench::AtMost("  an add with its files written, 100,000 entries", add, 100, "ms");
}

} // namespace

int main()
{
    const AnsiString dir = TempFolder();
    bench::CopyFolder(bench::DefaultsFolder() + "Skins", dir + "Skins");
    TreeFileBenchmarks(dir);
    StartupBenchmark(dir);
    CloseBenchmark(dir);
    ClearDir(dir, true);
    return 0;
}
