#include <gtest/gtest.h>

#include "TestKit.h"

#include "Classes.h"

#include <cstring>

namespace {

// Hand encoders of the stream format, independent of TWriter.
std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}
std::string I32(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Short(const std::string& s) { return static_cast<char>(s.size()) + s; }

std::string Contents(TMemoryStream& m) { return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size())); }

TMemoryStream& Load(TMemoryStream& m, const std::string& bytes)
{
    m.Clear();
    m.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    m.SetPosition(0);
    return m;
}

} // namespace

TEST(Writer, ValueEncodingsAtTheirBoundaries)
{
    struct Case {
        Int64 value;
        std::string bytes;
    } cases[] = {
        {127, Bytes({2, 0x7F})},
        {-128, Bytes({2, 0x80})},
        {128, Bytes({3, 0x80, 0})},
        {-32768, Bytes({3, 0, 0x80})},
        {32768, Bytes({4, 0, 0x80, 0, 0})},
        {-2147483647 - 1, Bytes({4, 0, 0, 0, 0x80})},
        {2147483648LL, Bytes({19, 0, 0, 0, 0x80, 0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        TMemoryStream m;
        TWriter(m).WriteInteger(c.value);
        EXPECT_EQ(Contents(m), c.bytes) << c.value;
        m.SetPosition(0);
        EXPECT_EQ(TReader(m).ReadInt64(), c.value);
    }
    // A short string is cut at 255 bytes; a string value of 255 bytes is short, one of 256 long; a
    // list holds its values up to the end marker.
    TMemoryStream m;
    TWriter w(m);
    w.WriteStr(std::string(300, 'a'));
    w.WriteString(std::string(255, 'b'));
    w.WriteString(std::string(256, 'c'));
    w.WriteListBegin();
    w.WriteInteger(-1);
    w.WriteListEnd();
    EXPECT_EQ(Contents(m), Short(std::string(255, 'a')) + Bytes({6}) + Short(std::string(255, 'b')) + Bytes({12}) +
                               I32(256) + std::string(256, 'c') + Bytes({1, 2, 0xFF, 0}));
}

TEST(Reader, ReadsEachValueTypeFromHandMadeBytes)
{
    TMemoryStream m;
    Load(m, "TPF0" + Short("TsTreeView") + Short("TreeView1") + Short("Font.Height") + Bytes({2, 0xF5}) +
                Short("Font.Name") + Bytes({6}) + Short("Тахома") + Short("Caption") + Bytes({12}) + I32(300) +
                std::string(300, 'й') + Short("Align") + Bytes({7}) + Short("alClient") + Short("HotTrack") +
                Bytes({9}) + Short("Style") + Bytes({11}) + Short("fsBold") + Short("fsUnderline") + Bytes({0}) +
                Short("Items.Data") + Bytes({10}) + I32(6) + "abcdef" + Short("Nothing") + Bytes({13, 0, 0}) +
                "trailing");
    TReader r(m);
    r.ReadSignature();
    AnsiString cls, name;
    r.ReadComponentHeader(cls, name);
    EXPECT_EQ(cls + "." + name, "TsTreeView.TreeView1");
    EXPECT_EQ(r.ReadPropName(), "Font.Height");
    EXPECT_EQ(r.ReadInteger(), -11);
    EXPECT_EQ(r.ReadPropName(), "Font.Name");
    EXPECT_EQ(r.ReadString(), "Тахома");
    EXPECT_EQ(r.ReadPropName(), "Caption");
    EXPECT_EQ(r.NextValue(), vaLString);
    EXPECT_EQ(r.ReadString(), std::string(300, 'й'));
    EXPECT_EQ(r.ReadPropName(), "Align");
    EXPECT_EQ(r.ReadIdent(), "alClient");
    EXPECT_EQ(r.ReadPropName(), "HotTrack");
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_EQ(r.ReadPropName(), "Style");
    EXPECT_EQ(r.ReadSet(), (std::vector<AnsiString>{"fsBold", "fsUnderline"}));
    EXPECT_EQ(r.ReadPropName(), "Items.Data");
    TMemoryStream data;
    r.ReadBinary(data);
    EXPECT_EQ(Contents(data), "abcdef");
    EXPECT_EQ(data.Position(), 0);
    EXPECT_EQ(r.ReadPropName(), "Nothing");
    EXPECT_EQ(r.ReadIdent(), "nil");
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    r.ReadListEnd();
    EXPECT_EQ(r.Remaining(), 8);
}

TEST(Reader, GivesBackReadAheadBytesToTheStream)
{
    TMemoryStream m;
    Load(m, "TPF0" + std::string(10000, 'z'));
    {
        TReader r(m);
        r.ReadSignature();
    }
    EXPECT_EQ(m.Position(), 4);
}

TEST(Reader, WideAndUtf8StringsBecomeAnsi)
{
    TMemoryStream m;
    // "Да" as UTF-16 units and as UTF-8.
    Load(m, Bytes({18}) + I32(2) + Bytes({0x14, 0x04, 0x30, 0x04}) + Bytes({20}) + I32(4) +
                Bytes({0xD0, 0x94, 0xD0, 0xB0}));
    TReader r(m);
    EXPECT_EQ(r.ReadString(), "Да");
    EXPECT_EQ(r.ReadString(), "Да");
}

TEST(Reader, SkipsEveryValueType)
{
    std::string collection = Bytes({14}) +
                             // item without order: vaList, one property, end
                             Bytes({1}) + Short("Caption") + Bytes({6}) + Short("a") + Bytes({0}) +
                             // item with an order value and a nested list property
                             Bytes({2, 5, 1}) + Short("Items") + Bytes({1, 2, 1, 1, 0, 0}) + Bytes({0}) +
                             // item whose property name is longer than any type byte
                             Bytes({1}) + Short(std::string(40, 'p')) + Bytes({9}) + Bytes({0}) +
                             Bytes({0});
    std::string values[21] = {
        Bytes({0}),
        Bytes({1, 2, 7, 6}) + Short("s") + Bytes({1, 0, 0}),
        Bytes({2, 0xFF}),
        Bytes({3, 1, 2}),
        Bytes({4, 1, 2, 3, 4}),
        Bytes({5}) + std::string(10, '\x11'),
        Bytes({6}) + Short("string"),
        Bytes({7}) + Short("clWindowText"),
        Bytes({8}),
        Bytes({9}),
        Bytes({10}) + I32(5) + std::string("\0\1\2\3\4", 5),
        Bytes({11}) + Short("fsBold") + Short("fsItalic") + Bytes({0}),
        Bytes({12}) + I32(3) + "abc",
        Bytes({13}),
        collection,
        Bytes({15}) + std::string(4, '\x22'),
        Bytes({16}) + std::string(8, '\x33'),
        Bytes({17}) + std::string(8, '\x44'),
        Bytes({18}) + I32(2) + std::string(4, 'w'),
        Bytes({19}) + std::string(8, '\x55'),
        Bytes({20}) + I32(2) + "u8",
    };
    std::string all;
    for (int t = 0; t <= 20; ++t)
        all += Short("P" + std::to_string(t)) + values[t];
    all += Bytes({0}) + "END";

    TMemoryStream m;
    TReader r(Load(m, all));
    int seen = 0;
    while (!r.EndOfList()) {
        EXPECT_EQ(r.ReadPropName(), "P" + std::to_string(seen));
        r.SkipValue();
        ++seen;
    }
    r.ReadListEnd();
    EXPECT_EQ(seen, 21);
    EXPECT_EQ(r.Remaining(), 3);

    // Each value alone, cut anywhere, is a read error and never reads past the cut.
    for (int t = 0; t <= 20; ++t) {
        for (std::size_t cut = 0; cut < values[t].size(); ++cut) {
            TMemoryStream part;
            TReader pr(Load(part, values[t].substr(0, cut)));
            EXPECT_EQ(testkit::Refusal<EReadError>([&] { pr.SkipValue(); }), "Stream read error")
                << "type " << t << " cut at " << cut;
        }
    }
}

TEST(Reader, DamageIsAReadError)
{
    auto fails = [](const std::string& bytes, const char* message, auto&& action) {
        TMemoryStream m;
        TReader r(Load(m, bytes));
        try {
            action(r);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, message);
        }
    };
    fails("TPF1", "Invalid stream format", [](TReader& r) { r.ReadSignature(); });
    fails("TP", "Invalid stream format", [](TReader& r) { r.ReadSignature(); });
    fails("", "Invalid stream format", [](TReader& r) { r.ReadSignature(); });
    fails(Bytes({21}), "Invalid property value", [](TReader& r) { r.SkipValue(); });
    fails(Bytes({0xFF}), "Invalid property value", [](TReader& r) { r.NextValue(); });
    fails(Bytes({1, 2, 0, 0x30}), "Invalid property value", [](TReader& r) { r.SkipValue(); });
    fails(Bytes({6}) + Short("x"), "Invalid property value", [](TReader& r) { r.ReadInteger(); });
    fails(Bytes({2, 1}), "Invalid property value", [](TReader& r) { r.ReadString(); });
    fails(Bytes({7}) + Short("x"), "Invalid property value", [](TReader& r) { r.ReadBoolean(); });
    fails(Bytes({9}), "Invalid property value", [](TReader& r) { r.ReadListBegin(); });
    // A collection item must open with vaList.
    fails(Bytes({14, 2, 1, 6, 0}), "Invalid property value", [](TReader& r) { r.SkipValue(); });
    // Lengths beyond the data, negative or huge, fail before anything is allocated.
    for (std::int32_t len : {0x7FFFFFFF, -1, 1 << 30, 6}) {
        for (int type : {10, 12, 18, 20}) {
            std::string bytes = Bytes({type}) + I32(len) + "abcde";
            fails(bytes, "Stream read error", [](TReader& r) { r.SkipValue(); });
            if (type == 10) {
                TMemoryStream sink;
                fails(bytes, "Stream read error", [&](TReader& r) { r.ReadBinary(sink); });
                EXPECT_LT(sink.Capacity(), 1 << 20);
            } else {
                fails(bytes, "Stream read error", [](TReader& r) { r.ReadString(); });
            }
        }
    }
    // A wide string whose unit count fits the data but whose byte count does not.
    fails(Bytes({18}) + I32(4) + "abcdef", "Stream read error", [](TReader& r) { r.ReadString(); });
    fails(Bytes({11}) + Short("fsBold"), "Stream read error", [](TReader& r) { r.ReadSet(); });
    fails(Short("Name") + Bytes({6, 200}) + "short", "Stream read error", [](TReader& r) { r.SkipProperty(); });
}

TEST(Reader, NestingIsSkippedWithoutRecursionUpToTheCap)
{
    const int ok = TReader::MaxNesting;
    TMemoryStream m;
    TReader r(Load(m, std::string(ok, '\x01') + std::string(ok, '\0') + "X"));
    r.SkipValue();
    EXPECT_EQ(r.Remaining(), 1);

    // Deeper than the cap, and a runaway of list openers, are refused as a bad format.
    for (int depth : {ok + 1, 1000000}) {
        TMemoryStream deep;
        TReader dr(Load(deep, std::string(depth, '\x01') + std::string(depth, '\0')));
        EXPECT_EQ(testkit::Refusal<EReadError>([&] { dr.SkipValue(); }), "Invalid stream format") << depth;
    }
    // Collections nested through item properties count too.
    std::string nest;
    for (int i = 0; i < ok; ++i)
        nest += Bytes({14, 1}) + Short("I");
    TMemoryStream c;
    TReader cr(Load(c, nest + Bytes({9})));
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { cr.SkipValue(); }), "Invalid stream format");
}
