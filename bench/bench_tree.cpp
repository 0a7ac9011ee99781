// Tree nodes: a tree view with its window shown (on a framework panel, so its notices take the
// real path) loading 100,000 nodes into an empty view, then expanding, collapsing and clearing
// them whole, each against the load and each with the repaint it leaves; reading the nodes back
// through Item[i]; and a bare node list with its node records.
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "BenchHarness.h"
#include "ComCtrlsTree.h"
#include "ExtCtrls.h"

namespace {

constexpr int NodeCount = 100000;

// 1,000 categories of 9 subcategories with 10 articles each, plus the category nodes themselves.
void Fill(TTreeNodes& nodes)
{
    nodes.BeginUpdate();
    int made = 0;
    while (made < NodeCount) {
        TTreeNode* top = nodes.Add(nullptr, "Категория");
        ++made;
        for (int j = 0; j < 9 && made < NodeCount; ++j) {
            TTreeNode* mid = nodes.AddChild(top, "Подкатегория");
            ++made;
            for (int k = 0; k < 10 && made < NodeCount; ++k, ++made)
                nodes.AddChild(mid, "Статья")->SetImageIndex(2);
        }
    }
    nodes.EndUpdate();
}

} // namespace

void ViewBenchmarks()
{
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TPanel* panel = Create<TPanel>(nullptr);
    panel->SetParentWindow(host);
    panel->SetBounds(0, 0, 390, 570);
    TTreeView* tree = Create<TTreeView>(panel);
    tree->SetParent(panel);
    tree->SetBounds(0, 0, 380, 560);
    tree->HandleNeeded();
    ShowWindow(host, SW_SHOWNOACTIVATE);
    // The folders show their state in their images, as the application's handlers do it.
    tree->OnExpanded = [](TObject*, TTreeNode* n) {
        if (n->HasChildren())
            n->SetImageIndex(1);
    };
    tree->OnCollapsed = [](TObject*, TTreeNode* n) {
        if (n->HasChildren())
            n->SetImageIndex(0);
    };
    TTreeNodes& items = *tree->Items();
    // Each change is measured up to the end of the repaint it leaves; each setup is painted first.
    // The load, the full expand, the full collapse and the clear are taken in turn in each round,
    // so that a change of the machine's load falls on all of them alike: in even rounds the load
    // comes first, in odd ones last (the tree loaded untimed for the others first).
    auto paint = [host] { RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); };
    auto timed = [paint](std::vector<double>& Times, const std::function<void()>& Change) {
        const double t0 = bench::NowMs();
        Change();
        paint();
        Times.push_back(bench::NowMs() - t0);
    };
    std::vector<double> loads, expands, collapses, clears;
    for (int round = 0; round < 6; ++round) {
        const bool loadFirst = round % 2 == 0;
        items.Clear();
        paint();
        if (loadFirst)
            timed(loads, [&] { Fill(items); });
        else {
            Fill(items);
            paint();
        }
        timed(expands, [&] { tree->FullExpand(); });
        timed(collapses, [&] { tree->FullCollapse(); });
        tree->FullExpand();
        paint();
        timed(clears, [&] { items.Clear(); });
        if (!loadFirst)
            timed(loads, [&] { Fill(items); });
    }
    bench::Summary("tree view: load 100,000 nodes into an empty view", loads);
    bench::Summary("tree view: full expand", expands);
    bench::Summary("tree view: full collapse", collapses);
    bench::Summary("tree view: clear (all expanded)", clears);
    bench::Ratios("  full expand / load", expands, loads, 1.5);
    bench::Ratios("  full collapse / load", collapses, loads, 2);
    bench::Report("  clear / load", bench::MedianRatio(clears, loads), "x");
    items.Clear();
    Fill(items);
    long long sum = 0;
    bench::Measure("tree view: read 100,000 nodes through Item[i]", 5, [&] {
        for (int i = 0; i < items.Count(); ++i)
            sum += items.Item(i)->ImageIndex();
    });
    std::printf("checksum %lld\n", sum);
    panel->Free();
    DestroyWindow(host);
}

int main()
{
    ViewBenchmarks();
    std::unique_ptr<TTreeNodes> nodes;
    bench::Measure(
        "node list: insert 100,000 nodes", 5, [&] { Fill(*nodes); }, [&] { nodes = std::make_unique<TTreeNodes>(); });

    long long sum = 0;
    bench::Measure("node list: read 100,000 nodes through Item[i]", 5, [&] {
        for (int i = 0; i < nodes->Count(); ++i)
            sum += nodes->Item(i)->ImageIndex();
    });

    TMemoryStream data;
    bench::Measure(
        "write node records", 5, [&] { nodes->WriteData(data); }, [&] { data.Clear(); });
    bench::Report("node records", static_cast<double>(data.Size()) / 1024.0, "KB");
    bench::Measure("read node records", 5, [&] {
        data.SetPosition(0);
        nodes->ReadData(data);
    });
    std::printf("checksum %lld\n", sum);
    return 0;
}
