// The title search over a 100,000-node article tree, its results filled into a results view with
// its window, against loading the same tree from its file into an empty view: an any-word query
// whose words find nearly every title (the second word's finds are all listed already), one that
// finds a few thousand, and the filling of 90,000 results alone.
#include <cstdio>

#include "BenchHarness.h"
#include "MainSearch.h"
#include "TreeFile.h"
#include "sTreeView.h"

int main()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const AnsiString path =
        AnsiString(base) + "vellorn_bench_search_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + ".vlt";
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TComponent* owner = Create<TComponent>(nullptr);
    auto* titles = Create<TsTreeView>(owner);
    titles->SetName("TreeView1");
    titles->SetParentWindow(host);
    bench::FillArticleTree(*titles->Items(), 100000);
    treefile::WriteTreeFile(path, *titles);

    TsTreeView* view = nullptr;
    auto emptyView = [&] {
        if (view)
            view->Free();
        view = Create<TsTreeView>(owner);
        view->SetParentWindow(host);
        view->HandleNeeded();
    };
    const double load = bench::Measure("load the 100,000-node tree file into an empty view", 5,
                                       [&] { treefile::ReadTreeFile(path, *view); }, emptyView);
    auto anyWord = [&](const char* Query, std::initializer_list<const char*> Words) {
        const double ms = bench::Measure(
            AnsiString("any-word search \"") + Query + "\" over 100,000 titles into an empty results view", 5,
            [&] {
                for (const char* word : Words)
                    SearchWord(*view->Items(), *titles->Items(), word, false, false);
            },
            emptyView);
        std::printf("  %d results\n", view->Items()->Count());
        bench::AtMost("  that search / loading the tree", ms / load, 1);
    };
    anyWord("номер статья", {"номер", "статья"});
    anyWord("12 34", {"12", "34"});
    const double fill = bench::Measure("the 90,000 articles copied into an empty results view", 5,
                                       [&] { CopyNodesWithImage(*view->Items(), *titles->Items(), 8); }, emptyView);
    bench::Report("  filling / loading the tree", fill / load, "x");

    owner->Free();
    DestroyWindow(host);
    DeleteFile(path);
    return 0;
}
