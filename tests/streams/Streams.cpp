#include <gtest/gtest.h>
#include <windows.h>

#include "Classes.h"
#include "TestKit.h"

using testkit::ReadFileBytes;
using testkit::TempDir;
using testkit::WriteFileBytes;

namespace {

std::string ReadAll(TStream& s)
{
    std::string out(static_cast<std::size_t>(s.Size() - s.Position()), '\0');
    if (!out.empty())
        s.ReadBuffer(out.data(), static_cast<Integer>(out.size()));
    return out;
}

void Put(TStream& s, const std::string& bytes) { s.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size())); }

} // namespace

TEST(FileStream, CreateWriteReopenAndSeek)
{
    TempDir dir;
    std::string path = dir / "a.bin";
    {
        TFileStream f(path, fmCreate);
        Put(f, "hello world");
        EXPECT_EQ(f.Position(), 11);
        EXPECT_EQ(f.Size(), 11);
        f.SetSize(5);
        EXPECT_EQ(f.Size(), 5);
        EXPECT_EQ(f.Position(), 5);
        EXPECT_EQ(f.FileName(), path);
    }
    EXPECT_EQ(ReadFileBytes(path), "hello");
    {
        TFileStream f(path, fmOpenReadWrite);
        EXPECT_EQ(f.Seek(-2, soFromEnd), 3);
        Put(f, "LOX");
        f.SetPosition(0);
        EXPECT_EQ(ReadAll(f), "helLOX");
        // Positions are 64-bit: seeking past 4 GB needs no data.
        EXPECT_EQ(f.Seek(Int64(5) << 30, soFromBeginning), Int64(5) << 30);
        EXPECT_EQ(f.Position(), Int64(5) << 30);
        EXPECT_EQ(testkit::Refusal<EStreamError>([&] { f.Seek(-1, soFromBeginning); }), "Invalid stream position");
    }
    // fmCreate empties an existing file.
    { TFileStream f(path, fmCreate); }
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(FileStream, OpenAndCreateErrorsNameTheFileAndReason)
{
    TempDir dir;
    std::string missing = dir / "missing.txt";
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        std::string head = "Cannot open file \"" + missing + "\". ";
        EXPECT_EQ(e.Message.substr(0, head.size()), head);
        EXPECT_GT(e.Message.size(), head.size()) << "the system's reason follows";
        EXPECT_NE(e.Message.back(), '\n');
    }
    std::string badDir = dir / "no\\such\\dir\\x.txt";
    try {
        TFileStream f(badDir, fmCreate);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message.rfind("Cannot create file \"" + badDir + "\". ", 0), 0u) << e.Message;
    }
    // A folder cannot be created over as a file.
    std::string sub = dir / "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    EXPECT_EQ(testkit::Refusal<EFCreateError>([&] { TFileStream(sub, fmCreate); }),
              "Cannot create file \"" + sub + "\". " + SysErrorMessage(ERROR_ACCESS_DENIED));
    std::string ro = dir / "ro.txt";
    WriteFileBytes(ro, "keep");
    // Writing to a stream opened for reading is a write error.
    TFileStream r(ro, fmOpenRead);
    EXPECT_EQ(testkit::Refusal<EWriteError>([&] { Put(r, "x"); }), "Stream write error");
}

TEST(FileStream, CreateOverHiddenFileTruncatesAndKeepsWorking)
{
    TempDir dir;
    std::string path = dir / "form.ini";
    WriteFileBytes(path, "old content that is longer");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    {
        TFileStream f(path, fmCreate);
        Put(f, "new");
    }
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "the file was emptied, not replaced";
}

TEST(FileStream, ShareModes)
{
    TempDir dir;
    std::string path = dir / "s.bin";
    WriteFileBytes(path, "data");
    const std::string sharing = "Cannot open file \"" + path + "\". " + SysErrorMessage(ERROR_SHARING_VIOLATION);
    {
        TFileStream a(path, fmOpenRead | fmShareExclusive);
        EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { TFileStream(path, fmOpenRead | fmShareDenyNone); }), sharing);
    }
    {
        TFileStream a(path, fmOpenRead | fmShareDenyWrite);
        TFileStream b(path, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(ReadAll(b), "data");
        EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { TFileStream(path, fmOpenWrite | fmShareDenyNone); }), sharing);
    }
    {
        TFileStream a(path, fmOpenReadWrite | fmShareDenyNone);
        TFileStream b(path, fmOpenWrite | fmShareDenyNone);
        Put(b, "DA");
        EXPECT_EQ(ReadAll(a), "DAta");
    }
}

TEST(Stream, ReadBufferShortReadAndCopyFrom)
{
    TMemoryStream m;
    Put(m, "0123456789");
    m.SetPosition(7);
    char buf[8];
    try {
        m.ReadBuffer(buf, 4);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Stream read error");
    }

    // Count 0 copies the whole source from its start, wherever its position is.
    TStringStream dst;
    m.SetPosition(4);
    EXPECT_EQ(dst.CopyFrom(m, 0), 10);
    EXPECT_EQ(dst.DataString(), "0123456789");
    // A positive count copies from the current position.
    m.SetPosition(2);
    TStringStream part;
    EXPECT_EQ(part.CopyFrom(m, 3), 3);
    EXPECT_EQ(part.DataString(), "234");
    // More than the source holds is a read error.
    m.SetPosition(8);
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { part.CopyFrom(m, 5); }), "Stream read error");
    // A copy larger than one internal block.
    TMemoryStream big;
    std::string blob(200000, '\0');
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<char>(i * 7);
    Put(big, blob);
    TMemoryStream copy;
    copy.CopyFrom(big, 0);
    copy.SetPosition(0);
    EXPECT_EQ(ReadAll(copy), blob);
}

TEST(MemoryStream, GrowthGapsAndResizing)
{
    TMemoryStream m;
    EXPECT_EQ(m.Size(), 0);
    std::string expect;
    int reallocations = 0;
    const void* last = nullptr;
    for (int i = 0; i < 100000; ++i) {
        char c = static_cast<char>('a' + i % 26);
        m.WriteBuffer(&c, 1);
        expect += c;
        if (m.Memory() != last) {
            ++reallocations;
            last = m.Memory();
        }
    }
    EXPECT_LT(reallocations, 20) << "growth is geometric";
    EXPECT_GE(m.Capacity(), m.Size());
    m.SetPosition(0);
    EXPECT_EQ(ReadAll(m), expect);

    // Writing beyond the end fills the gap with zeros, also after shrinking and regrowing.
    TMemoryStream g;
    Put(g, "abcdef");
    g.SetSize(2);
    EXPECT_EQ(g.Position(), 2);
    g.Seek(3, soFromEnd);
    Put(g, "Z");
    g.SetPosition(0);
    EXPECT_EQ(ReadAll(g), std::string("ab\0\0\0Z", 6));
    g.SetSize(8);
    g.SetPosition(6);
    EXPECT_EQ(ReadAll(g), std::string(2, '\0'));

    EXPECT_EQ(testkit::Refusal<EStreamError>([&] { g.Seek(-1, soFromBeginning); }), "Invalid stream position");
    EXPECT_EQ(testkit::Refusal<EStreamError>([&] { g.SetSize(Int64(3) << 30); }),
              "Out of memory while expanding memory stream");
    EXPECT_EQ(g.Size(), 8);
    char c;
    g.SetPosition(100);
    EXPECT_EQ(g.Read(&c, 1), 0);

    g.Clear();
    EXPECT_EQ(g.Size(), 0);
    EXPECT_EQ(g.Position(), 0);
}

TEST(MemoryStream, FilesAndStreams)
{
    TempDir dir;
    TMemoryStream m;
    Put(m, std::string("bin\0ary", 7));
    m.SetPosition(3);
    m.SaveToFile(dir / "m.bin");
    EXPECT_EQ(m.Position(), 3);
    EXPECT_EQ(ReadFileBytes(dir / "m.bin"), std::string("bin\0ary", 7));

    TMemoryStream n;
    Put(n, "previous content");
    n.LoadFromFile(dir / "m.bin");
    EXPECT_EQ(n.Size(), 7);
    EXPECT_EQ(n.Position(), 0);
    EXPECT_EQ(std::string(static_cast<const char*>(n.Memory()), 7), std::string("bin\0ary", 7));
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { n.LoadFromFile(dir / "none.bin"); }),
              "Cannot open file \"" + dir / "none.bin" + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));

    TStringStream s("xyz");
    s.SetPosition(2);
    n.LoadFromStream(s);
    EXPECT_EQ(ReadAll(n), "xyz");
}

TEST(StringStream, ReadsAndWritesInPlace)
{
    TStringStream s("hello");
    EXPECT_EQ(s.ReadString(2), "he");
    s.WriteString("LLOW");
    EXPECT_EQ(s.DataString(), "heLLOW");
    EXPECT_EQ(s.ReadString(10), "");
    s.SetPosition(4);
    EXPECT_EQ(s.ReadString(10), "OW");
    s.SetSize(1);
    EXPECT_EQ(s.DataString(), "h");
    EXPECT_EQ(s.Position(), 1);
}

TEST(BufferedWriteStream, HoldsSmallWritesUntilFlushOrDestruction)
{
    TMemoryStream target;
    {
        TBufferedWriteStream b(target, 16);
        Put(b, "abc");
        EXPECT_EQ(target.Size(), 0);
        EXPECT_EQ(b.Position(), 3);
        Put(b, "defghijklmnopqrstu"); // passes the block size: the first block goes out
        EXPECT_EQ(target.Size(), 16);
        b.Flush();
        EXPECT_EQ(target.Size(), 21);
        Put(b, std::string(40, 'x')); // a large write on an empty buffer goes straight through
        EXPECT_EQ(target.Size(), 61);
        Put(b, "tail");
    }
    target.SetPosition(0);
    EXPECT_EQ(ReadAll(target), "abcdefghijklmnopqrstu" + std::string(40, 'x') + "tail");

    // A failing target surfaces at Flush as a write error.
    TempDir dir;
    WriteFileBytes(dir / "r.bin", "r");
    TFileStream ro(dir / "r.bin", fmOpenRead);
    TBufferedWriteStream b(ro);
    Put(b, "abc");
    EXPECT_EQ(testkit::Refusal<EWriteError>([&] { b.Flush(); }), "Stream write error");
}
