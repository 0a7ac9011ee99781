// Tree nodes: a tree view with its window shown (on a framework panel, so its notices take the
// real path) loading 100,000 nodes into an empty view, then expanding, collapsing and clearing
// them whole, each against the load and each with the repaint it leaves; reading the nodes back
// through Item[i]; and a bare node list with its node records.
#include <cstdio>
#include <functional>
#include <memory>

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

void Ratio(const char* name, double value, double load, double goal)
{
    bench::AtMost(std::string("  ") + name + " / load", value / load, goal);
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
    auto paint = [host] { RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); };
    auto painted = [paint](const std::function<void()>& Change) {
        return [paint, Change] {
            Change();
            paint();
        };
    };
    auto reload = [&] {
        items.Clear();
        Fill(items);
        paint();
    };
    const double load = bench::Measure(
        "tree view: load 100,000 nodes into an empty view", 3, painted([&] { Fill(items); }), [&] {
            items.Clear();
            paint();
        });
    const double expand = bench::Measure("tree view: full expand", 3, painted([&] { tree->FullExpand(); }), reload);
    const double collapse = bench::Measure("tree view: full collapse", 3, painted([&] { tree->FullCollapse(); }), [&] {
        reload();
        tree->FullExpand();
        paint();
    });
    const double clear = bench::Measure("tree view: clear", 3, painted([&] { items.Clear(); }), [&] {
        reload();
        tree->FullExpand();
        paint();
    });
    Ratio("full expand", expand, load, 1.5);
    Ratio("full collapse", collapse, load, 2);
    bench::Report("  clear / load", clear / load, "x");
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
