// Node records: golden bytes, round trips and damaged data refused without touching the tree.
#include <gtest/gtest.h>

#include <random>

#include "ComCtrlsTree.h"
#include "TestKit.h"
#include "Watchdog.h"

namespace {

std::string Bytes(const TTreeNodes& nodes)
{
    TMemoryStream s;
    nodes.WriteData(s);
    return std::string(static_cast<const char*>(s.Memory()), static_cast<std::size_t>(s.Size()));
}

void Read(TTreeNodes& nodes, const std::string& data) { nodes.ReadData(data.data(), data.size()); }

// Everything a node record carries, for every node in order.
std::string Dump(TTreeNodes& nodes)
{
    std::string out;
    for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
        out += std::to_string(n->Level()) + ":" + n->Text() + "/" + std::to_string(n->ImageIndex()) + "," +
               std::to_string(n->SelectedIndex()) + "," + std::to_string(n->StateIndex()) + "," +
               std::to_string(n->OverlayIndex()) + ";";
    return out;
}

std::string Int(Integer v)
{
    auto u = static_cast<std::uint32_t>(v);
    return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
}

// A node record assembled from the format: Size, four images, data, child count, text.
std::string Record(const std::string& text, Integer image, Integer children, Integer size = -1, int textLen = -1)
{
    if (size < 0)
        size = 25 + static_cast<Integer>(text.size());
    if (textLen < 0)
        textLen = static_cast<int>(text.size());
    return Int(size) + Int(image) + Int(image) + Int(-1) + Int(-1) + Int(0) + Int(children) +
           std::string(1, char(textLen)) + text;
}

// A tree with some nodes, to check that a refused read leaves it alone.
void Fill(TTreeNodes& nodes)
{
    TTreeNode* a = nodes.Add(nullptr, "keep");
    nodes.AddChild(a, "me")->SetImageIndex(8);
}

// The read is refused for `reason` (at the byte of the data it names) and changes nothing.
void ExpectRefused(const std::string& data, const std::string& reason, const char* what)
{
    TTreeNodes nodes;
    Fill(nodes);
    TTreeNode* first = nodes.GetFirstNode();
    const std::string before = Dump(nodes);
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { Read(nodes, data); }), "Damaged tree node data: " + reason) << what;
    EXPECT_EQ(Dump(nodes), before) << what;
    EXPECT_EQ(nodes.GetFirstNode(), first) << what;
    EXPECT_EQ(nodes.Count(), 2) << what;
}

} // namespace

TEST(TreeData, GoldenBytesOfASmallTree)
{
    TTreeNodes nodes;
    TTreeNode* cat = nodes.Add(nullptr, "Категория");
    TTreeNode* art = nodes.AddChild(cat, "Art");
    art->SetImageIndex(2);
    art->SetSelectedIndex(2);
    TTreeNode* link = nodes.Add(nullptr, "");
    link->SetImageIndex(39);
    link->SetSelectedIndex(39);
    const std::string expected = std::string("\x02\x00\x00\x00", 4) +
                                 // "Категория": 9 bytes in code page 1251, Size 34, one child
                                 std::string("\x22\x00\x00\x00", 4) + std::string(8, '\0') +
                                 std::string(8, '\xFF') + std::string(4, '\0') + std::string("\x01\x00\x00\x00", 4) +
                                 "\x09\xCA\xE0\xF2\xE5\xE3\xEE\xF0\xE8\xFF" +
                                 // "Art", image 2
                                 std::string("\x1C\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00", 12) +
                                 std::string(8, '\xFF') + std::string(8, '\0') + "\x03"
                                                                                 "Art" +
                                 // empty text, image 39, Size 25
                                 std::string("\x19\x00\x00\x00\x27\x00\x00\x00\x27\x00\x00\x00", 12) +
                                 std::string(8, '\xFF') + std::string(9, '\0');
    EXPECT_EQ(Bytes(nodes), expected);

    TTreeNodes back;
    Read(back, expected);
    EXPECT_EQ(Dump(back), Dump(nodes));
}

TEST(TreeData, RoundTripOfThreeLevelsAndLongTitles)
{
    TTreeNodes nodes;
    AnsiString longTitle;
    for (int i = 0; i < 300; ++i)
        longTitle += "Ж";
    ASSERT_EQ(longTitle.size(), 300u);
    TTreeNode* a = nodes.Add(nullptr, "Раздел");
    TTreeNode* a1 = nodes.AddChild(a, "Подраздел");
    nodes.AddChild(a1, longTitle)->SetImageIndex(35);
    nodes.AddChild(a1, "Статья")->SetStateIndex(3);
    nodes.AddChild(a, "Ссылка")->SetOverlayIndex(1);
    nodes.Add(nullptr, "Пусто");
    const std::string data = Bytes(nodes);

    // The long title is cut to 255 bytes and its record's Size is 280.
    const std::size_t at = data.find(std::string(255, '\xC6'));
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(data.substr(at - 29, 4), Int(280));
    EXPECT_EQ(static_cast<unsigned char>(data[at - 1]), 255);

    TTreeNodes back;
    Fill(back);
    Read(back, data);
    EXPECT_EQ(back.Count(), 6);
    std::string expected = Dump(nodes);
    expected.replace(expected.find(longTitle), 300, std::string(255, '\xC6'));
    EXPECT_EQ(Dump(back), expected);
    EXPECT_EQ(back.Item(2)->Level(), 2);
    EXPECT_EQ(back.Item(2)->Data(), nullptr);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(Bytes(back), data);

    // Read through a stream, from its position to its end.
    TMemoryStream s;
    s.WriteBuffer("xx", 2);
    nodes.WriteData(s);
    s.SetPosition(2);
    TTreeNodes viaStream;
    viaStream.ReadData(s);
    EXPECT_EQ(Dump(viaStream), expected);

    // No nodes at all: a count of zero that empties the tree.
    TTreeNodes empty;
    EXPECT_EQ(Bytes(empty), Int(0));
    Read(back, Int(0));
    EXPECT_EQ(back.Count(), 0);
}

TEST(TreeData, DamagedRecordsAreRefusedAndTheTreeStays)
{
    const std::string child = Record("child", 2, 0);
    ExpectRefused("", "node count past the end of the data at byte 0", "no count");
    ExpectRefused(Int(1) + Record("abcd", 0, 0, 24, 4), "node record size 24 outside 25..280 at byte 4", "size 24");
    ExpectRefused(Int(1) + Record(std::string(256, 'x'), 0, 0, 281, 0), "node record size 281 outside 25..280 at byte 4",
                  "size 281");
    ExpectRefused(Int(1) + Record("abc", 0, 0, 28, 200), "node text length 200 does not match the record size 28 at byte 4",
                  "text length past the record");
    ExpectRefused(Int(1) + Record("abc", 0, 0, 28, 2), "node text length 2 does not match the record size 28 at byte 4",
                  "text length short of the record");
    ExpectRefused(Int(-1) + child, "negative node count -1 at byte 0", "negative top-level count");
    ExpectRefused(Int(1) + Record("p", 0, -1) + child, "negative child count -1 at byte 4", "negative child count");
    // A record takes at least 29 bytes (Size and the fixed part): 34 bytes left hold one.
    ExpectRefused(Int(2) + child, "node count 2 larger than the data left at byte 0", "second record missing");
    ExpectRefused(Int(1) + Record("p", 0, 2) + child, "child count 2 larger than the data left at byte 4",
                  "child record missing");
    ExpectRefused(Int(1) + child.substr(0, child.size() - 1), "node record past the end of the data at byte 4",
                  "record cut short");
    ExpectRefused(Int(1) + Record("p", 0, 0x7FFFFFFF), "child count 2147483647 larger than the data left at byte 4",
                  "huge child count");
    ExpectRefused(Int(0x7FFFFFFF), "node count 2147483647 larger than the data left at byte 0", "huge top-level count");

    // 200,000 nested levels, each record with one child.
    std::string deep = Int(1);
    for (int i = 0; i < 200000; ++i)
        deep += Record("", 0, i + 1 < 200000 ? 1 : 0);
    // Record k (29 bytes each, from byte 4) opens level k + 2: record 9999 is one too deep.
    ExpectRefused(deep, "nodes nested deeper than 10000 levels at byte 289975", "200,000 nested levels");

    // Bytes after the last record are not part of any record and are left alone.
    TTreeNodes nodes;
    Read(nodes, Int(1) + child + "tail");
    EXPECT_EQ(Dump(nodes), "0:child/2,2,-1,-1;");
}

TEST(TreeData, NestingUpToTheLimitIsRead)
{
    TTreeNodes nodes;
    TTreeNode* n = nodes.Add(nullptr, "0");
    for (int i = 1; i < TTreeNodes::MaxReadDepth; ++i)
        n = nodes.AddChild(n, "x");
    const std::string data = Bytes(nodes);
    TTreeNodes back;
    Read(back, data);
    EXPECT_EQ(back.Count(), TTreeNodes::MaxReadDepth);
    EXPECT_EQ(Bytes(back), data);
    nodes.AddChild(n, "one too deep");
    // Records of 30 bytes from byte 4: the 10,000th node, which has a child, is at byte 299974.
    ExpectRefused(Bytes(nodes), "nodes nested deeper than 10000 levels at byte 299974", "one level past the limit");
}

TEST(TreeData, SeededMutationsEitherReadConsistentlyOrLeaveTheTree)
{
    TTreeNodes source;
    TTreeNode* a = source.Add(nullptr, "Категория");
    TTreeNode* a1 = source.AddChild(a, "Подкатегория");
    source.AddChild(a1, "Статья один")->SetImageIndex(2);
    source.AddChild(a1, "Статья два")->SetImageIndex(8);
    source.AddChild(a, "Ссылка")->SetImageIndex(39);
    source.Add(nullptr, "Flash")->SetImageIndex(38);
    const std::string valid = Bytes(source);

    std::mt19937 rng(20261207);
    testkit::Watchdog dog;
    int accepted = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string data = valid;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % data.size();
            switch (rng() % 5) {
            case 0: data[at] = static_cast<char>(rng()); break;
            case 1: data[at] ^= static_cast<char>(1u << (rng() % 8)); break;
            case 2: data.resize(at); break;
            case 3: data.insert(at, 1, static_cast<char>(rng())); break;
            default: data.erase(at, 1 + rng() % 8); break;
            }
            if (data.empty())
                data = valid.substr(0, 3);
        }
        dog.Next("node record mutation " + std::to_string(round), data);
        TTreeNodes nodes;
        Fill(nodes);
        const std::string before = Dump(nodes);
        try {
            Read(nodes, data);
            ++accepted;
            // What was accepted is a consistent tree that writes and reads back the same.
            int walked = 0;
            for (TTreeNode* n = nodes.GetFirstNode(); n; n = n->GetNext())
                ++walked;
            ASSERT_EQ(walked, nodes.Count()) << "round " << round;
            TTreeNodes again;
            const std::string written = Bytes(nodes);
            Read(again, written);
            ASSERT_EQ(Dump(again), Dump(nodes)) << "round " << round;
        } catch (const EReadError&) {
            ++refused;
            ASSERT_EQ(Dump(nodes), before) << "round " << round;
        }
    }
    EXPECT_GT(refused, 1000);
    EXPECT_GT(accepted, 10);
}
