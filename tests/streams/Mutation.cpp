// Damaged tree streams: every input either parses or ends in a framework exception (a hang ends
// in the suite's time limit).
#include <gtest/gtest.h>

#include "Classes.h"
#include "ComCtrlsTree.h"
#include "Watchdog.h"

#include <cstring>
#include <random>

namespace {

// Node records of the tree's binary property: a top-level count, then each node's record
// followed by its children (depth first).
void PutNode(TMemoryStream& m, const std::string& text, Integer image, Integer children)
{
    std::string t = text.substr(0, 255);
    Integer fields[7] = {25 + static_cast<Integer>(t.size()), image, image, -1, -1, 0, children};
    m.WriteBuffer(fields, sizeof fields);
    Byte len = static_cast<Byte>(t.size());
    m.WriteBuffer(&len, 1);
    m.WriteBuffer(t.data(), len);
}

std::string SampleTree(bool withGlyph = true)
{
    TMemoryStream nodes;
    Integer top = 2;
    nodes.WriteBuffer(&top, 4);
    PutNode(nodes, "Категория", 0, 2);
    PutNode(nodes, "Статья", 2, 0);
    PutNode(nodes, "Подкатегория", 1, 1);
    PutNode(nodes, std::string(300, 'x'), 35, 0);
    PutNode(nodes, "Ссылка", 39, 0);

    TMemoryStream m;
    TWriter w(m);
    w.WriteSignature();
    w.WriteComponentHeader("TsTreeView", "TreeView1");
    w.WritePropName("Left");
    w.WriteInteger(0);
    w.WritePropName("Width");
    w.WriteInteger(250);
    w.WritePropName("Height");
    w.WriteInteger(70000);
    w.WritePropName("Align");
    w.WriteIdent("alClient");
    w.WritePropName("Ctl3D");
    w.WriteBoolean(true);
    w.BeginPropPath("Font");
    w.WritePropName("Name");
    w.WriteString("MS Sans Serif");
    w.WritePropName("Style");
    w.WriteSet({"fsBold"});
    w.EndPropPath();
    w.WritePropName("Images");
    w.WriteReference("ID_Vellorn", "ImageList1");
    // A name longer than any value type byte.
    w.WritePropName("BoundLabel.Font.Charset");
    w.WriteIdent("DEFAULT_CHARSET");
    // Larger than the reader's read-ahead block: skipped by moving the stream.
    if (withGlyph) {
        std::string glyph(9000, 'g');
        w.WritePropName("Glyph.Data");
        w.WriteBinary(glyph.data(), static_cast<Integer>(glyph.size()));
    }
    w.WritePropName("Items.Data");
    w.WriteBinary(nodes.Memory(), static_cast<Integer>(nodes.Size()));
    w.WritePropName("Hint");
    w.WriteString(std::string(400, 'h'));
    w.WritePropName("Nested");
    w.WriteListBegin();
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteListEnd();
    w.WriteValue(vaCollection);
    w.WriteListBegin();
    w.WritePropName("Caption");
    w.WriteString("c");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

// Reads a saved tree the way the tree file reader does: the node records by the tree's own reader.
void ParseTree(TStream& s, TTreeNodes& nodes)
{
    TReader r(s);
    r.ReadSignature();
    AnsiString cls, name;
    r.ReadComponentHeader(cls, name);
    while (!r.EndOfList()) {
        AnsiString prop = r.ReadPropName();
        if (prop == "Items.Data") {
            TMemoryStream data;
            r.ReadBinary(data);
            data.SetPosition(0);
            nodes.ReadData(data);
        } else {
            r.SkipValue();
        }
    }
    r.ReadListEnd();
    r.ReadListEnd();
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

int ParsedCount = 0;

// Parses bytes; returns "" when they parsed or raised a framework exception, else a description.
std::string Survives(const std::string& bytes)
{
    try {
        TStringStream s(bytes);
        TTreeNodes nodes;
        ParseTree(s, nodes);
        ++ParsedCount;
    } catch (const Exception&) {
    } catch (const std::exception& e) {
        return std::string("foreign exception: ") + e.what();
    } catch (...) {
        return "unknown exception";
    }
    return "";
}

// Inputs that once broke the reader (hex).
const std::vector<const char*> Regressions = {
    // A property name of more than 20 bytes was taken for an unknown value type by the end-of-list
    // test of the property loop ("TPF0", class "T", name "N", "BoundLabel.Font.Charset" = True).
    "54504630" "0154" "014e" "17426f756e644c6162656c2e466f6e742e43686172736574" "09" "00" "00",
};

} // namespace

TEST(Mutation, SampleParses)
{
    TStringStream s(SampleTree());
    TTreeNodes nodes;
    ParseTree(s, nodes);
    ASSERT_EQ(nodes.Count(), 5);
    EXPECT_EQ(nodes.Item(0)->Text(), "Категория");
    EXPECT_EQ(nodes.Item(3)->Text(), std::string(255, 'x'));
    EXPECT_EQ(nodes.Item(3)->Parent(), nodes.Item(2));
    EXPECT_EQ(nodes.Item(4)->ImageIndex(), 39);
}

TEST(Mutation, RegressionInputs)
{
    for (const char* hex : Regressions)
        EXPECT_EQ(Survives(Unhex(hex)), "") << hex;
    // The first one must parse, not merely fail cleanly.
    TStringStream s(Unhex(Regressions[0]));
    TTreeNodes nodes;
    EXPECT_NO_THROW(ParseTree(s, nodes));
}

TEST(Mutation, DamagedStreamsParseOrRaise)
{
    // Mostly the compact sample, so that mutations hit structure rather than filler bytes.
    const std::string compact = SampleTree(false), large = SampleTree(true);
    std::mt19937 rng(20261207);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const Integer huge[] = {0x7FFFFFFF, -1, static_cast<Integer>(0x80000000), 0x10000000, 281, 24, 1000000};
    testkit::Watchdog dog;
    int failures = 0;
    ParsedCount = 0;
    for (int i = 0; i < 4000; ++i) {
        std::string b = i % 4 == 3 ? large : compact;
        int kind = static_cast<int>(rng() % 6);
        switch (kind) {
        case 0: // bit flips
            for (int k = 1 + static_cast<int>(pick(4)); k > 0; --k)
                b[pick(b.size())] ^= static_cast<char>(1 << pick(8));
            break;
        case 1: // truncation
            b.resize(pick(b.size()));
            break;
        case 2: // inserted bytes
            for (int k = 1 + static_cast<int>(pick(8)); k > 0; --k)
                b.insert(pick(b.size() + 1), 1, static_cast<char>(rng()));
            break;
        case 3: { // a huge or wrong 32-bit field
            Integer v = huge[pick(std::size(huge))];
            std::size_t at = pick(b.size() - 4);
            std::memcpy(b.data() + at, &v, 4);
            break;
        }
        case 4: // a run of list or collection openers
            b.insert(pick(b.size()), std::string(1 + pick(20000), static_cast<char>(pick(2) ? 1 : 14)));
            break;
        case 5: // one byte set to a value type
            b[pick(b.size())] = static_cast<char>(pick(24));
            break;
        }
        dog.Next("tree stream mutation " + std::to_string(i), b);
        std::string why = Survives(b);
        if (!why.empty() && ++failures <= 5)
            ADD_FAILURE() << why << "\ninput: " << Hex(b);
    }
    // Both outcomes occur: mutations that miss the structure (text bytes) still parse.
    EXPECT_GT(ParsedCount, 200);
    EXPECT_LT(ParsedCount, 3800);
}
