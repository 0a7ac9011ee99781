#include "IniFiles.h"
#include "FileSteps.h"
#include "TestKit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

using V = std::vector<AnsiString>;

V Lines(const TStrings& list)
{
    V out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

// An INI file with the given bytes in a fresh folder.
struct IniOnDisk {
    explicit IniOnDisk(const AnsiString& bytes, const AnsiString& name = "test.ini") : path(dir / name)
    {
        testkit::WriteFileBytes(path, bytes);
    }
    AnsiString Bytes() const { return testkit::ReadFileBytes(path); }
    testkit::TempDir dir;
    AnsiString path;
};

V Sections(const TCustomIniFile& ini)
{
    TStringList list;
    ini.ReadSections(&list);
    return Lines(list);
}

V Keys(const TCustomIniFile& ini, const AnsiString& section)
{
    TStringList list;
    ini.ReadSection(section, &list);
    return Lines(list);
}

V SectionValues(const TCustomIniFile& ini, const AnsiString& section)
{
    TStringList list;
    ini.ReadSectionValues(section, &list);
    return Lines(list);
}

// The same file read both ways must give the same answers; each test runs on both classes.
class IniRead : public ::testing::TestWithParam<bool> {
protected:
    std::unique_ptr<TCustomIniFile> Open(const AnsiString& path)
    {
        if (GetParam())
            return std::make_unique<TMemIniFile>(path);
        return std::make_unique<TIniFile>(path);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Both, IniRead, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "TMemIniFile" : "TIniFile"; });

TEST_P(IniRead, ParsesTheLinesTheWayStoredFilesWereWritten)
{
    IniOnDisk f("\xEF\xBB\xBF[First]\r\n"
                "  key one  =  value with = sign  \r\n"
                "\tTabbed\t=\tx\t\r\n"
                "; comment = not a key\r\n"
                "#hash=is a key\r\n"
                "empty=\r\n"
                "novalue\r\n"
                "dup=first\r\n"
                "DUP=second\r\n"
                "[unterminated\r\n"
                "\r\n"
                "[  Раздел  ] ; trailing text\n"
                "Ключ=Значение\r"
                "ёж=1\n"
                "[first]\r\n"
                "later=from second block\r\n"
                "dup=third");
    auto ini = Open(f.path);
    EXPECT_EQ(ini->ReadString("First", "key one", "-"), "value with = sign");
    EXPECT_EQ(ini->ReadString("FIRST", "KEY ONE", "-"), "value with = sign");
    EXPECT_EQ(ini->ReadString("First", "tabbed", "-"), "x");
    EXPECT_EQ(ini->ReadString("First", "; comment", "-"), "-");
    EXPECT_EQ(ini->ReadString("First", "#hash", "-"), "is a key");
    EXPECT_EQ(ini->ReadString("First", "empty", "-"), "") << "a present empty value is not the default";
    EXPECT_EQ(ini->ReadString("First", "novalue", "-"), "");
    EXPECT_TRUE(ini->ValueExists("First", "novalue"));
    EXPECT_EQ(ini->ReadString("First", "dup", "-"), "first") << "the first of duplicate keys wins";
    EXPECT_EQ(ini->ReadString("раздел", "КЛЮЧ", "-"), "Значение");
    EXPECT_EQ(ini->ReadString("РАЗДЕЛ", "ЁЖ", "-"), "1");
    EXPECT_EQ(ini->ReadString("first", "later", "-"), "from second block");
    EXPECT_EQ(ini->ReadString("unterminated", "x", "-"), "-");
    EXPECT_EQ(ini->ReadString("Missing", "key", "def"), "def");
    EXPECT_FALSE(ini->ValueExists("First", "missing"));

    EXPECT_EQ(Sections(*ini), (V{"First", "Раздел"}));
    EXPECT_EQ(Keys(*ini, "first"), (V{"key one", "Tabbed", "#hash", "empty", "novalue", "dup", "later"}));
    EXPECT_EQ(SectionValues(*ini, "FIRST"), (V{"key one=value with = sign", "Tabbed=x", "#hash=is a key", "empty=",
                                               "novalue=", "dup=first", "later=from second block"}));
    EXPECT_TRUE(ini->SectionExists("раздел"));
    EXPECT_FALSE(ini->SectionExists("unterminated"));
}

// A key line holding a NUL byte (which no write makes) reads as missing, so that every value read
// can be written back; a later line of the key counts then, and a write replaces the damaged line.
TEST_P(IniRead, AKeyLineHoldingANulByteReadsAsMissing)
{
    const char bytes[] = "[S]\r\nName=Ан\0оним\r\nSize=1\0 2\r\nk\0ey=v\r\nSize=12\r\n";
    const std::string damaged(bytes, sizeof bytes - 1);
    IniOnDisk f(damaged);
    auto ini = Open(f.path);
    EXPECT_EQ(ini->ReadString("S", "Name", "def"), "def");
    EXPECT_FALSE(ini->ValueExists("S", "Name"));
    EXPECT_EQ(ini->ReadInteger("S", "Size", 0), 12);
    EXPECT_EQ(SectionValues(*ini, "S"), (V{"Size=12"}));
    ini->WriteString("S", "Name", "Аноним");
    ini->UpdateFile();
    EXPECT_EQ(f.Bytes(), "[S]\r\nName=Аноним" + damaged.substr(damaged.find("\r\nSize=1")));
}

TEST_P(IniRead, LongLinesAndNamesAreNotCut)
{
    const AnsiString longValue(10000, 'v'), longSection(5000, 'S'), longKey(3000, 'k');
    IniOnDisk f("[" + longSection + "]\r\n" + longKey + "=" + longValue + "\r\nnext=1\r\n");
    auto ini = Open(f.path);
    EXPECT_EQ(ini->ReadString(longSection, longKey, ""), longValue);
    EXPECT_EQ(ini->ReadInteger(longSection, "next", 0), 1);
    EXPECT_EQ(Sections(*ini), (V{longSection}));
}

// The first of keys that differ only in case counts, in small sections and large ones alike;
// a write finds the key whichever case either is written in.
TEST_P(IniRead, RepeatedKeysInSectionsOfAnySize)
{
    for (const int count : {3, 100}) {
        AnsiString text = "[S]\r\n";
        V names;
        for (int i = 0; i < count; ++i) {
            names.push_back("k" + IntToStr(i));
            text += "k" + IntToStr(i) + "=" + IntToStr(i) + "\r\n";
        }
        IniOnDisk f(text + "K1=again\r\nЁЖ=1\r\nёж=2\r\n");
        auto ini = Open(f.path);
        names.push_back("ЁЖ");
        EXPECT_EQ(Keys(*ini, "S"), names) << count;
        EXPECT_EQ(ini->ReadString("S", "K1", "-"), "1") << count;
        EXPECT_EQ(ini->ReadString("S", "ёж", "-"), "1") << count;
        ini->WriteString("S", "Ёж", "3");
        ini->WriteString("S", "NEW", "4");
        EXPECT_EQ(ini->ReadString("S", "ЁЖ", "-"), "3") << count;
        EXPECT_EQ(ini->ReadString("S", "new", "-"), "4") << count;
    }
}

TEST_P(IniRead, NumbersAndBooleans)
{
    IniOnDisk f("[N]\r\ndec=42\r\nneg=-7\r\nhex=$1F\r\nhex2=0x1f\r\nbad=12a\r\nempty=\r\nword=True\r\n"
                "big=99999999999\r\nallbits=$FFFFFFFF\r\none=1\r\nzero=0\r\ntwo=2\r\nfloat=4.44\r\ncomma=4,44\r\n");
    auto ini = Open(f.path);
    EXPECT_EQ(ini->ReadInteger("N", "dec", 0), 42);
    EXPECT_EQ(ini->ReadInteger("N", "neg", 0), -7);
    EXPECT_EQ(ini->ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini->ReadInteger("N", "hex2", 0), 31);
    EXPECT_EQ(ini->ReadInteger("N", "bad", 5), 5);
    EXPECT_EQ(ini->ReadInteger("N", "empty", 5), 5);
    EXPECT_EQ(ini->ReadInteger("N", "big", 5), 5);
    EXPECT_EQ(ini->ReadInteger("N", "allbits", 5), -1);
    EXPECT_EQ(ini->ReadInteger("N", "missing", 9), 9);
    // "True" is not a number: it reads as the default, so it counts as false by default.
    EXPECT_FALSE(ini->ReadBool("N", "word", false));
    EXPECT_TRUE(ini->ReadBool("N", "word", true));
    EXPECT_TRUE(ini->ReadBool("N", "one", false));
    EXPECT_TRUE(ini->ReadBool("N", "two", false));
    EXPECT_FALSE(ini->ReadBool("N", "zero", true));
    EXPECT_TRUE(ini->ReadBool("N", "missing", true));
    // Floats follow DecimalSeparator, as the skin loader expects when it switches it to ".".
    const char separator = DecimalSeparator;
    DecimalSeparator = '.';
    EXPECT_DOUBLE_EQ(ini->ReadFloat("N", "float", 0), 4.44);
    DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(ini->ReadFloat("N", "float", 1.5), 1.5);
    EXPECT_DOUBLE_EQ(ini->ReadFloat("N", "comma", 0), 4.44);
    DecimalSeparator = separator;
    EXPECT_DOUBLE_EQ(ini->ReadFloat("N", "bad", 1.5), 1.5);
    EXPECT_DOUBLE_EQ(ini->ReadFloat("N", "empty", 1.5), 1.5);
}

TEST_P(IniRead, MissingFileGivesDefaults)
{
    testkit::TempDir dir;
    auto ini = Open(dir / "none.ini");
    EXPECT_EQ(ini->ReadString("S", "k", "d"), "d");
    EXPECT_EQ(ini->ReadInteger("S", "k", 3), 3);
    EXPECT_EQ(Sections(*ini), V{});
    EXPECT_FALSE(ini->SectionExists("S"));
    EXPECT_EQ(ini->FileName(), dir / "none.ini");
}

TEST(IniWrite, KeepsEveryOtherLineInItsPlace)
{
    const AnsiString original = "; settings\r\n"
                                "stray=before any section\r\n"
                                "\r\n"
                                "[FORM]\r\n"
                                "Width = 800\r\n"
                                "; keep me\r\n"
                                "garbage line\r\n"
                                "[unterminated\r\n"
                                "\r\n"
                                "[VIEW]\r\n"
                                "Visible_Tool1=1\r\n"
                                "last=no line break";
    IniOnDisk f(original);
    TIniFile ini(f.path);
    ini.WriteInteger("Form", "width", 1024);  // existing key: the key keeps its spelling
    ini.WriteString("FORM", "Skin", "Neutral");  // new key: after the last line of the section
    ini.WriteString("Panel", "Width", "200");    // new section: at the end
    ini.WriteString("VIEW", "Visible_Tool1", "1");  // same value: file untouched
    EXPECT_EQ(f.Bytes(), "; settings\r\n"
                         "stray=before any section\r\n"
                         "\r\n"
                         "[FORM]\r\n"
                         "Width=1024\r\n"
                         "; keep me\r\n"
                         "garbage line\r\n"
                         "[unterminated\r\n"
                         "Skin=Neutral\r\n"
                         "\r\n"
                         "[VIEW]\r\n"
                         "Visible_Tool1=1\r\n"
                         "last=no line break\r\n"
                         "[Panel]\r\n"
                         "Width=200\r\n");
    EXPECT_EQ(ini.ReadString("", "stray", "-"), "-") << "lines before the first section belong to none";

    ini.DeleteKey("form", "SKIN");
    ini.EraseSection("view");
    EXPECT_EQ(f.Bytes(), "; settings\r\n"
                         "stray=before any section\r\n"
                         "\r\n"
                         "[FORM]\r\n"
                         "Width=1024\r\n"
                         "; keep me\r\n"
                         "garbage line\r\n"
                         "[unterminated\r\n"
                         "\r\n"
                         "[Panel]\r\n"
                         "Width=200\r\n");
}

TEST(IniWrite, DuplicatesAndByteOrderMark)
{
    IniOnDisk f("\xEF\xBB\xBF[S]\r\nk=1\r\nK=2\r\n[s]\r\nk=3\r\n");
    TIniFile ini(f.path);
    ini.WriteString("S", "k", "new");  // the key that reads count changes
    EXPECT_EQ(ini.ReadString("S", "k", ""), "new");
    EXPECT_EQ(f.Bytes(), "\xEF\xBB\xBF[S]\r\nk=new\r\nK=2\r\n[s]\r\nk=3\r\n") << "the mark stays";
    ini.DeleteKey("S", "K");  // every occurrence goes, so no older value shows up
    EXPECT_FALSE(ini.ValueExists("S", "k"));
    EXPECT_EQ(f.Bytes(), "\xEF\xBB\xBF[S]\r\n[s]\r\n");
    EXPECT_TRUE(ini.SectionExists("S"));
    EXPECT_EQ(Keys(ini, "S"), V{});
}

TEST(IniWrite, LeadingByteOrderMarksReadAsOneAndOneIsWrittenBack)
{
    IniOnDisk f("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF[FORM]\r\nWidth=800\r\n");
    TIniFile ini(f.path);
    EXPECT_EQ(Sections(ini), V{"FORM"}) << "the first section header is not lost";
    EXPECT_EQ(ini.ReadInteger("FORM", "Width", 0), 800);
    ini.WriteInteger("FORM", "Height", 600);
    EXPECT_EQ(f.Bytes(), "\xEF\xBB\xBF[FORM]\r\nWidth=800\r\nHeight=600\r\n");
}

TEST(IniWrite, CreatesAMissingFileButNotItsFolder)
{
    testkit::TempDir dir;
    TIniFile ini(dir / "new.ini");
    ini.WriteString("Раздел", "Ключ", "Значение");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "new.ini"), "[Раздел]\r\nКлюч=Значение\r\n");

    TIniFile lost(dir / "no such folder\\x.ini");
    EXPECT_EQ(lost.ReadString("S", "k", "d"), "d");
    EXPECT_EQ(testkit::Refusal<EIniFileException>([&] { lost.WriteString("S", "k", "v"); }),
              "Unable to write to " + dir / "no such folder\\x.ini: the folder " + dir / "no such folder\\ does not exist");
    EXPECT_EQ(GetFileAttributesA((dir / "no such folder").c_str()), INVALID_FILE_ATTRIBUTES);

    TMemIniFile mem(dir / "no such folder\\y.ini");
    mem.WriteString("S", "k", "v");
    EXPECT_EQ(testkit::Refusal<EIniFileException>([&] { mem.UpdateFile(); }),
              "Unable to write to " + dir / "no such folder\\y.ini: the folder " + dir / "no such folder\\ does not exist");
}

TEST(IniWrite, RefusesNamesAndValuesThatCannotRoundTrip)
{
    IniOnDisk f("[S]\r\nk=v\r\n");
    const AnsiString before = f.Bytes();
    TIniFile ini(f.path);
    TMemIniFile mem(f.path);
    const AnsiString key = "\": it cannot be stored in an INI file";
    const struct {
        AnsiString section, ident, value, reason;
    } refused[] = {
        {"S", "a=b", "v", "Invalid key name \"a=b" + key},
        {"S", " [x", "v", "Invalid key name \"[x" + key},
        {"S", ";x", "v", "Invalid key name \";x" + key},
        {"S", "k\nx", "v", "Invalid key name \"k\nx" + key},
        {"S]", "k", "v", "Invalid section name \"S]" + key},
        {"S\nT", "k", "v", "Invalid section name \"S\nT" + key},
        {"S", "k", "line\r\n[Injected]\r\nx=1", "Invalid value of key \"k\": line breaks cannot be stored in an INI file"},
        {"S", "k", AnsiString("a\0b", 3), "Invalid value of key \"k\": line breaks cannot be stored in an INI file"},
    };
    for (TCustomIniFile* file : {static_cast<TCustomIniFile*>(&ini), static_cast<TCustomIniFile*>(&mem)}) {
        for (const auto& r : refused)
            EXPECT_EQ(testkit::Refusal<EIniFileException>([&] { file->WriteString(r.section, r.ident, r.value); }),
                      r.reason);
        EXPECT_EQ(file->ReadString("S", "k", ""), "v");
    }
    mem.UpdateFile();
    EXPECT_EQ(f.Bytes(), before);
    // What the format can hold is accepted: "=" and "]" inside values, "[" inside a key.
    ini.WriteString("S", "a[1]", "x=y]");
    EXPECT_EQ(TMemIniFile(f.path).ReadString("s", "A[1]", ""), "x=y]");
}

TEST(IniWrite, TIniFileWritesThroughAndSeesOtherWriters)
{
    IniOnDisk f("[S]\r\nk=1\r\n");
    TIniFile a(f.path), b(f.path);
    a.WriteString("S", "k", "2");
    EXPECT_EQ(b.ReadString("S", "k", ""), "2");
    testkit::WriteFileBytes(f.path, "[S]\r\nk=3\r\nother=x\r\n");
    EXPECT_EQ(a.ReadString("S", "k", ""), "3");
    a.WriteString("S", "new", "y");
    EXPECT_EQ(f.Bytes(), "[S]\r\nk=3\r\nother=x\r\nnew=y\r\n") << "a write starts from the file as it is now";
}

// A file that exists but cannot be read is never replaced by one holding only the new key.
TEST(IniWrite, AFileThatCannotBeReadIsNotReplaced)
{
    IniOnDisk f("[S]\r\nk=1\r\n");
    TIniFile ini(f.path);
    const AnsiString reason = SysErrorMessage(ERROR_LOCK_VIOLATION);
    testkit::FileSteps steps;
    steps.FailAt(testkit::FileStep::Read, ERROR_LOCK_VIOLATION, 1);
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d") << "a read gives the default";
    steps.FailAt(testkit::FileStep::Read, ERROR_LOCK_VIOLATION, 1);
    EXPECT_EQ(testkit::Refusal<EIniFileException>([&] { ini.WriteString("S", "x", "2"); }),
              "Unable to write to " + f.path + ": it cannot be read. " + reason);
    steps.FailAt(testkit::FileStep::Read, ERROR_LOCK_VIOLATION, 1);
    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { TMemIniFile{f.path}; }),
              "Cannot open file \"" + f.path + "\". " + reason);
    EXPECT_EQ(steps.Kinds(), "read read read") << "nothing was written";
    EXPECT_EQ(f.Bytes(), "[S]\r\nk=1\r\n");
}

// Both classes replace the file through the runtime's safe replacement; a failed replacement says
// why and leaves the file as it was.
TEST(IniWrite, WritesReplaceTheFileSafely)
{
    IniOnDisk f("[S]\r\nk=1\r\n");
    TIniFile ini(f.path);
    TMemIniFile mem(f.path);
    testkit::FileSteps steps;
    ini.WriteString("S", "k", "2");
    EXPECT_EQ(steps.Kinds(), "read create-temp write flush close move");
    EXPECT_EQ(steps.Steps().back().result, f.path);
    steps.Clear();
    mem.WriteString("S", "m", "3");
    mem.UpdateFile();
    EXPECT_EQ(steps.Kinds(), "create-temp write flush close move");
    EXPECT_EQ(f.Bytes(), "[S]\r\nk=1\r\nm=3\r\n");
    steps.FailAt(testkit::FileStep::Move, ERROR_NOT_SAME_DEVICE);
    EXPECT_EQ(testkit::Refusal<EIniFileException>([&] { ini.WriteString("S", "k", "4"); }),
              "Unable to write to " + f.path + ". Cannot replace file \"" + f.path + "\". " +
                  SysErrorMessage(ERROR_NOT_SAME_DEVICE));
    EXPECT_EQ(f.Bytes(), "[S]\r\nk=1\r\nm=3\r\n");
}

TEST(MemIniFile, HoldsChangesUntilUpdateFile)
{
    IniOnDisk f("; head\r\n[A]\r\nx=1\r\n");
    TMemIniFile mem(f.path);
    // Read once (the section index is built), then changed: the reads see every change.
    EXPECT_FALSE(mem.SectionExists("B"));
    EXPECT_EQ(mem.ReadString("A", "x", "-"), "1");
    mem.WriteString("A", "y", "2");
    mem.WriteFloat("B", "f", 2.5);
    mem.WriteBool("B", "b", true);
    EXPECT_TRUE(mem.SectionExists("b"));
    EXPECT_EQ(mem.ReadString("A", "y", "-"), "2");
    EXPECT_EQ(mem.ReadString("B", "b", "-"), "1");
    EXPECT_EQ(f.Bytes(), "; head\r\n[A]\r\nx=1\r\n");
    EXPECT_DOUBLE_EQ(mem.ReadFloat("B", "f", 0), 2.5);
    EXPECT_TRUE(mem.ReadBool("b", "B", false));
    mem.UpdateFile();
    EXPECT_EQ(f.Bytes(), "; head\r\n[A]\r\nx=1\r\ny=2\r\n[B]\r\nf=" + FloatToStr(2.5) + "\r\nb=1\r\n");
    mem.EraseSection("A");
    mem.DeleteKey("B", "f");
    EXPECT_FALSE(mem.SectionExists("A"));
    EXPECT_EQ(mem.ReadString("B", "f", "-"), "-");
    mem.UpdateFile();
    EXPECT_EQ(f.Bytes(), "; head\r\n[B]\r\nb=1\r\n");
}

TEST(MemIniFile, StringsInAndOut)
{
    TStringList lines;
    lines.SetText("; skin sections\r\n[BUTTON]\r\nPARENTCLASS=GLOBALINFO\r\n COLOR = 255 \r\n\r\n[edit]\r\nBEVEL\r\n");
    TMemIniFile mem("");
    mem.SetStrings(&lines);
    EXPECT_EQ(Sections(mem), (V{"BUTTON", "edit"}));
    EXPECT_EQ(mem.ReadInteger("button", "color", -1), 255);
    EXPECT_EQ(Keys(mem, "EDIT"), (V{"BEVEL"}));
    TStringList out;
    out.Add("old content is replaced");
    mem.GetStrings(&out);
    EXPECT_TRUE(out.Equals(&lines)) << out.Text();
    mem.WriteString("edit", "COLOR", "0");
    mem.GetStrings(&out);
    EXPECT_EQ(out.Text(), "; skin sections\r\n[BUTTON]\r\nPARENTCLASS=GLOBALINFO\r\n COLOR = 255 \r\n\r\n[edit]\r\nBEVEL\r\n"
                          "COLOR=0\r\n");
    mem.Clear();
    EXPECT_EQ(Sections(mem), V{});
}

TEST(MemIniFile, LargeTreeMapReadsAndWrites)
{
    // A tree map with many titles in one section, as a large archive has.
    AnsiString text = "[FILES]\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "Статья " + IntToStr(i) + "=page" + IntToStr(i) + ".html\r\n";
    IniOnDisk f(text, "Temp.ini");
    TMemIniFile mem(f.path);
    TStringList values;
    mem.ReadSectionValues("files", &values);
    ASSERT_EQ(values.Count(), 20000);
    EXPECT_EQ(values[19999], "Статья 19999=page19999.html");
    EXPECT_EQ(mem.ReadString("FILES", "СТАТЬЯ 12345", ""), "page12345.html");
    TIniFile ini(f.path);
    ini.WriteString("FILES", "Новая", "new.html");
    ini.DeleteKey("FILES", "статья 0");
    EXPECT_EQ(TMemIniFile(f.path).ReadString("FILES", "новая", ""), "new.html");
    EXPECT_EQ(f.Bytes().size(), text.size() - AnsiString("Статья 0=page0.html\r\n").size() +
                                    AnsiString("Новая=new.html\r\n").size());
}
