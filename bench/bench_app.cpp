// The application's files and start-up: saving and loading a 100,000-node tree file through a tree
// view with its window, and the main window created on a 10,000-entry working tree up to its first
// paint.
#include <cstdio>
#include <memory>

#include "BenchHarness.h"
#include "MainSession.h"
#include "TreeFile.h"
#include "sTreeView.h"

namespace {

// Categories of subcategories of articles, Count nodes in all.
void Fill(TTreeNodes& nodes, int Count)
{
    nodes.BeginUpdate();
    int made = 0;
    while (made < Count) {
        TTreeNode* top = nodes.Add(nullptr, "Категория " + IntToStr(made));
        ++made;
        for (int j = 0; j < 9 && made < Count; ++j) {
            TTreeNode* mid = nodes.AddChild(top, "Подкатегория " + IntToStr(made));
            ++made;
            for (int k = 0; k < 10 && made < Count; ++k, ++made) {
                TTreeNode* a = nodes.AddChild(mid, "Статья номер " + IntToStr(made));
                a->SetImageIndex(8);
                a->SetSelectedIndex(8);
            }
        }
    }
    nodes.EndUpdate();
}

AnsiString TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    AnsiString dir = AnsiString(base) + "vellorn_bench_app_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
    ForceDirectories(dir + "FILES\\tree");
    return dir;
}

void TreeFileBenchmarks(const AnsiString& dir)
{
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    tree->SetName("TreeView1");
    tree->SetParentWindow(host);
    Fill(*tree->Items(), 100000);
    const AnsiString path = dir + "big.vlt";
    bench::Measure("save a 100,000-node tree file", 5, [&] { treefile::WriteTreeFile(path, *tree); });
    TsTreeView* back = nullptr;
    bench::Measure(
        "load a 100,000-node tree file into an empty tree view with its window", 5,
        [&] { treefile::ReadTreeFile(path, *back); },
        [&] {
            if (back)
                back->Free();
            back = Create<TsTreeView>(owner);
            back->SetParentWindow(host);
            back->HandleNeeded();
        });
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
        Fill(*tree->Items(), 11112);
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

} // namespace

int main()
{
    const AnsiString dir = TempFolder();
    TreeFileBenchmarks(dir);
    StartupBenchmark(dir);
    for (const char* f : {"FILES\\tree\\Temp.vlt", "FILES\\form.ini"})
        DeleteFile(dir + f);
    for (const char* d : {"FILES\\tree", "FILES", ""})
        RemoveDir(dir + d);
    return 0;
}
