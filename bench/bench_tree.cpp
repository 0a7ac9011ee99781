// Tree nodes: inserting 100,000 nodes (inside BeginUpdate/EndUpdate) and reading them back through
// Item[i] in order, then writing and reading their node records.
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

int main()
{
    std::unique_ptr<TTreeNodes> nodes;
    bench::Measure(
        "insert 100,000 nodes", 5, [&] { Fill(*nodes); }, [&] { nodes = std::make_unique<TTreeNodes>(); });

    long long sum = 0;
    bench::Measure("read 100,000 nodes through Item[i]", 5, [&] {
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
