// The title search over a 100,000-node article tree, its results filled into a results view with
// its window, against loading the same tree from its file into an empty view: an any-word query
// whose words find nearly every title (the second word's finds are all listed already), one that
// finds a few thousand, the first query again over its own results (a search clears the last
// one's results first, as the user's second search does), and the filling of 90,000 results alone.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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
    // Timed in rounds, each the load and then each search and the filling on an empty view, so a
    // change of the machine's load falls on a search and its floor alike.
    struct Query {
        const char* Text;
        std::vector<const char*> Words;
        std::vector<double> Times;
        int Results = 0;
    };
    Query queries[] = {{"номер статья", {"номер", "статья"}, {}}, {"12 34", {"12", "34"}, {}}};
    std::vector<double> loads, fills, repeats, clears;
    const auto timed = [&](const std::function<void()>& Body) {
        emptyView();
        const double t0 = bench::NowMs();
        Body();
        return bench::NowMs() - t0;
    };
    for (int i = 0; i < 5; ++i) {
        loads.push_back(timed([&] { treefile::ReadTreeFile(path, *view); }));
        for (Query& q : queries) {
            q.Times.push_back(timed([&] {
                for (const char* word : q.Words)
                    SearchWord(*view->Items(), *titles->Items(), word, false, false);
            }));
            q.Results = view->Items()->Count();
        }
        // The first query once more, into the view that holds its results.
        emptyView();
        for (const char* word : queries[0].Words)
            SearchWord(*view->Items(), *titles->Items(), word, false, false);
        const double t0 = bench::NowMs();
        view->Items()->BeginUpdate();
        view->Items()->Clear();
        const double cleared = bench::NowMs() - t0;
        for (const char* word : queries[0].Words)
            SearchWord(*view->Items(), *titles->Items(), word, false, false);
        view->Items()->EndUpdate();
        repeats.push_back(bench::NowMs() - t0);
        clears.push_back(cleared);
        fills.push_back(timed([&] { CopyNodesWithImage(*view->Items(), *titles->Items(), 8); }));
    }
    bench::Summary("load the 100,000-node tree file into an empty view", loads);
    for (const Query& q : queries) {
        bench::Summary(AnsiString("any-word search \"") + q.Text + "\" over 100,000 titles into an empty results view",
                       q.Times);
        std::printf("  %d results\n", q.Results);
        bench::Ratios("  that search / loading the tree", q.Times, loads, 1);
    }
    bench::Summary(AnsiString("the search \"") + queries[0].Text + "\" again, over its own results", repeats);
    bench::Summary("  of which clearing the last results", clears);
    if (!bench::Ratios("  the search again / loading the tree", repeats, loads, 1))
        std::printf("  (the system's tree control deletes its items one at a time, each a search and a move of\n"
                    "  its whole item table: the clearing grows with the square of the results)\n");
    bench::Summary("the 90,000 articles copied into an empty results view", fills);
    std::vector<double> fillRatios;
    for (std::size_t i = 0; i < fills.size(); ++i)
        fillRatios.push_back(fills[i] / loads[i]);
    std::sort(fillRatios.begin(), fillRatios.end());
    bench::Report("  filling / loading the tree", fillRatios[fillRatios.size() / 2], "x");

    owner->Free();
    DestroyWindow(host);
    DeleteFile(path);
    return 0;
}
