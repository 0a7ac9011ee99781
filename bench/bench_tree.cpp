// Tree nodes: inserting 100,000 nodes (inside BeginUpdate/EndUpdate) into a tree view with its
// window and into a bare node list, reading them back through Item[i] in order, and writing and
// reading their node records.
#include <cstdio>
#include <memory>

#include "BenchHarness.h"
#include "ComCtrlsTree.h"

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

// A tree view on a hidden top-level window of the system's static class.
void ViewBenchmarks()
{
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TTreeView* tree = Create<TTreeView>(nullptr);
    tree->SetParentWindow(host);
    tree->SetBounds(0, 0, 380, 560);
    tree->HandleNeeded();
    bench::Measure(
        "tree view: insert 100,000 nodes", 1, [&] { Fill(*tree->Items()); }, [&] { tree->Items()->Clear(); });
    long long sum = 0;
    bench::Measure("tree view: read 100,000 nodes through Item[i]", 5, [&] {
        TTreeNodes* items = tree->Items();
        for (int i = 0; i < items->Count(); ++i)
            sum += items->Item(i)->ImageIndex();
    });
    bench::Measure("tree view: full expand", 1, [&] {
        tree->Items()->BeginUpdate();
        tree->FullExpand();
        tree->Items()->EndUpdate();
    });
    bench::Measure("tree view: full collapse", 1, [&] {
        tree->Items()->BeginUpdate();
        tree->FullCollapse();
        tree->Items()->EndUpdate();
    });
    std::printf("checksum %lld\n", sum);
    tree->Free();
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
