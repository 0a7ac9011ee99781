// Seeded mutation tests: damaged INI files and text files must parse (or raise a framework
// Exception), never crash or hang, and what they parse to must survive a rewrite. Inputs that
// fail are written to the temporary folder; copy them to tests/data/strings/ to keep them as
// regression cases, which RegressionInputs runs.
#include "IniFiles.h"
#include "TestKit.h"
#include "Watchdog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <random>
#include <sstream>

namespace {

using Dump = std::map<AnsiString, std::vector<AnsiString>>;  // upper-case section -> "key=value" lines

Dump DumpOf(const TCustomIniFile& ini)
{
    Dump dump;
    TStringList sections, values;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        ini.ReadSectionValues(sections[i], &values);
        auto& lines = dump[AnsiUpperCase(sections[i])];
        for (int k = 0; k < values.Count(); ++k)
            lines.push_back(values[k]);
    }
    return dump;
}

// Every listed key reads back as listed.
AnsiString CheckConsistent(const TCustomIniFile& ini)
{
    TStringList sections, keys, values;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        if (!ini.SectionExists(sections[i]))
            return "section listed but not found: " + sections[i];
        ini.ReadSection(sections[i], &keys);
        ini.ReadSectionValues(sections[i], &values);
        if (keys.Count() != values.Count())
            return "ReadSection and ReadSectionValues differ in " + sections[i];
        for (int k = 0; k < keys.Count(); ++k) {
            const AnsiString v = ini.ReadString(sections[i], keys[k], "\x01missing");
            if (v == "\x01missing" || !ini.ValueExists(sections[i], keys[k]))
                return "key listed but not found: " + keys[k];
            if (values[k] != keys[k] + "=" + v)
                return "ReadSectionValues disagrees with ReadString for " + keys[k];
        }
    }
    return "";
}

AnsiString CheckIniText(const AnsiString& bytes)
{
    TStringList lines;
    lines.SetText(bytes);
    TMemIniFile ini("");
    ini.SetStrings(&lines);
    AnsiString problem = CheckConsistent(ini);
    if (!problem.empty())
        return problem;
    const Dump before = DumpOf(ini);

    // Its lines parse to the same content again.
    TStringList out1, out2;
    ini.GetStrings(&out1);
    TMemIniFile again("");
    again.SetStrings(&out1);
    again.GetStrings(&out2);
    if (!out1.Equals(&out2))
        return "GetStrings is not stable";
    if (DumpOf(again) != before)
        return "re-parsing the lines changes the content";

    // A write changes its key and nothing else, and survives a re-parse.
    TStringList sections;
    ini.ReadSections(&sections);
    const AnsiString section = sections.Count() ? sections[sections.Count() / 2] : AnsiString("FuzzSection");
    try {
        ini.WriteString(section, "FuzzKey", "Значение");
    } catch (const EIniFileException&) {
        return "";  // a section name that the format cannot write back (it holds "]")
    }
    if (ini.ReadString(section, "fuzzkey", "") != "Значение")
        return "written value not read back";
    // The key shows up once in its section (where depends on duplicate blocks); all else stays.
    Dump after = DumpOf(ini), expected = before;
    const AnsiString sectionUp = AnsiUpperCase(Trim(section));
    auto dropFuzzKey = [](std::vector<AnsiString>& lines) {
        int found = 0;
        for (auto it = lines.begin(); it != lines.end();)
            if (AnsiUpperCase(it->substr(0, 8)) == "FUZZKEY=") {
                found += it->substr(8) == "Значение";
                it = lines.erase(it);
            } else {
                ++it;
            }
        return found;
    };
    dropFuzzKey(expected[sectionUp]);
    if (dropFuzzKey(after[sectionUp]) != 1)
        return "the written key is not listed once";
    if (after != expected)
        return "a write changed other content";
    expected = DumpOf(ini);
    ini.GetStrings(&out1);
    TMemIniFile reread("");
    reread.SetStrings(&out1);
    if (DumpOf(reread) != expected)
        return "the written lines parse differently";
    return "";
}

// Reference line split: the lines joined must be the input without CR and LF, and their count
// the number of breaks (CRLF once) plus one for an unterminated last line.
AnsiString CheckTextLoad(const AnsiString& bytes, TStrings& list)
{
    AnsiString joined, stripped;
    for (int i = 0; i < list.Count(); ++i) {
        const AnsiString line = list[i];
        if (line.find_first_of("\r\n") != AnsiString::npos)
            return "a line holds a line break";
        joined += line;
    }
    int breaks = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            ++breaks;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            stripped += bytes[i];
        }
    }
    const bool tail = !bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n';
    if (joined != stripped)
        return "bytes lost or changed";
    if (list.Count() != breaks + (tail ? 1 : 0))
        return "wrong number of lines";
    TStringList again;
    again.SetText(list.Text());
    if (!again.Equals(&list))
        return "Text does not round-trip";
    return "";
}

const char* const kSeeds[] = {
    "[OPEN_TREE]\r\nTreeOpen=true\r\n",
    "[FORM]\r\nNameTree=VLN\r\nWidth=800\r\nHeight=600\r\nTop=10\r\nLeft=20\r\nSkin=Neutral\r\n[VIEW]\r\n"
    "Visible_Tool1=1\r\nVisible_Tool2=0\r\nVisible_Tree=1\r\n[Panel]\r\nWidth=200\r\n[ST]\r\nCount=3\r\n",
    "\xEF\xBB\xBF; skin\r\n[GLOBALINFO]\r\nVERSION=4.44\r\nAUTHOR=Автор\r\nMASTERBITMAP=Master.bmp\r\n\r\n"
    "[BUTTON]\r\nPARENTCLASS=GLOBALINFO\r\nBORDERSMASK=#(0,0,96,40),3,1\r\nCOLOR = $FF\r\nGLYPH\r\n",
    "[FILES]\r\nСтатья первая=page1.html\r\nстатья ВТОРАЯ=sub\\page2.html\r\n[URL]\r\nСсылка=http://x/?a=b\r\n"
    "[FLASH]\r\nКино=movie.swf",
    "k=before\n[dup]\nk=1\nK=2\n[DUP]\nk=3\n[unterminated\n;c=1\n  [ spaced ]  \n x = y \r",
};

AnsiString Mutate(std::mt19937& rng, AnsiString s)
{
    static const char* const tokens[] = {"[", "]", "=", ";", "\r", "\n", "\r\n", "\n\r", "\xEF\xBB\xBF", "[S]",
                                         "k=v", "[]", "==", " ", "\t", "Ё", "\xFF"};
    const int ops = 1 + static_cast<int>(rng() % 4);
    for (int op = 0; op < ops; ++op) {
        const size_t pos = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 7) {
        case 0:  // bit flip
            if (!s.empty()) {
                const size_t at = rng() % s.size();
                s[at] = static_cast<char>(s[at] ^ (1 << (rng() % 8)));
            }
            break;
        case 1:  // truncation
            s.resize(pos);
            break;
        case 2: {  // random bytes
            const int n = 1 + static_cast<int>(rng() % 8);
            AnsiString bytes;
            for (int i = 0; i < n; ++i)
                bytes += static_cast<char>(rng() % 256);
            s.insert(pos, bytes);
            break;
        }
        case 3:  // a token that matters to the parser
            s.insert(pos, tokens[rng() % (sizeof tokens / sizeof *tokens)]);
            break;
        case 4:  // a deleted range
            s.erase(pos, rng() % 16);
            break;
        case 5:  // a duplicated range
            if (pos < s.size())
                s.insert(pos, s.substr(pos, rng() % 32));
            break;
        default:  // a long run
            s.insert(pos, AnsiString(1000 + rng() % 3000, static_cast<char>(rng() % 2 ? 'x' : '=')));
            break;
        }
    }
    return s;
}

AnsiString Hex(const AnsiString& s)
{
    std::ostringstream out;
    for (size_t i = 0; i < s.size() && i < 400; ++i) {
        static const char digits[] = "0123456789ABCDEF";
        const unsigned char c = static_cast<unsigned char>(s[i]);
        out << digits[c >> 4] << digits[c & 15];
    }
    if (s.size() > 400)
        out << "...";
    return out.str();
}

// Keeps a failing input where a developer can pick it up.
AnsiString SaveFailure(const AnsiString& bytes, int index)
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    const AnsiString path = AnsiString(base) + "vellorn_mutation_" + IntToStr(index) + ".ini";
    testkit::WriteFileBytes(path, bytes);
    return path;
}

// Runs one check, turning anything that escapes into a failure text (a hang ends the program
// through the watchdog of Fuzz).
template <class Check>
AnsiString Guarded(Check check)
{
    try {
        return check();
    } catch (const Exception& e) {
        return "unexpected " + e.ClassName() + ": " + e.Message;
    } catch (const std::exception& e) {
        return AnsiString("non-framework exception: ") + e.what();
    } catch (...) {
        return "unknown exception";
    }
}

// Runs check(input, case number) over `count` mutated seeds and reports the first five failing
// inputs, each saved for a developer under a number from saveBase on.
template <class Check>
void Fuzz(unsigned seed, int count, int saveBase, Check check)
{
    std::mt19937 rng(seed);
    testkit::Watchdog dog;
    int failures = 0;
    for (int i = 0; i < count && failures < 5; ++i) {
        const AnsiString input = Mutate(rng, kSeeds[rng() % (sizeof kSeeds / sizeof *kSeeds)]);
        dog.Next("mutation " + IntToStr(i) + " of seed " + IntToStr(static_cast<int>(seed)), input);
        const AnsiString problem = Guarded([&] { return check(input, i); });
        if (!problem.empty()) {
            ++failures;
            ADD_FAILURE() << "case " << i << ": " << problem << "\n  saved as " << SaveFailure(input, saveBase + i)
                          << "\n  bytes " << Hex(input);
        }
    }
}

} // namespace

TEST(Mutation, DamagedIniTextParsesConsistently)
{
    Fuzz(20261207, 3000, 0, [](const AnsiString& input, int) { return CheckIniText(input); });
}

TEST(Mutation, DamagedIniFilesReadAndWriteThroughDisk)
{
    testkit::TempDir dir;
    const AnsiString path = dir / "fuzz.ini";
    Fuzz(777, 100, 100000, [&](const AnsiString& input, int) -> AnsiString {
        testkit::WriteFileBytes(path, input);
        TIniFile ini(path);
        TMemIniFile mem(path);
        const AnsiString consistent = CheckConsistent(ini);
        if (!consistent.empty())
            return consistent;
        if (DumpOf(ini) != DumpOf(mem))
            return "TIniFile and TMemIniFile read differently";
        const Dump before = DumpOf(ini);
        ini.WriteString("Fuzz", "Key", "1");
        ini.DeleteKey("Fuzz", "Key");
        Dump after = DumpOf(TIniFile(path));
        // The section "Fuzz" may remain as an empty header; nothing else may change.
        if (before.count("FUZZ") == 0)
            after.erase("FUZZ");
        return after == before ? AnsiString() : AnsiString("a write and a delete through the file changed other content");
    });
}

TEST(Mutation, DamagedTextLoadsIntoStringLists)
{
    testkit::TempDir dir;
    Fuzz(4242, 3000, 200000, [&](const AnsiString& input, int i) -> AnsiString {
        TStringList list;
        TStringStream stream(input);
        list.LoadFromStream(stream);
        AnsiString p = CheckTextLoad(input, list);
        if (!p.empty() || i % 20 != 0)
            return p;
        const AnsiString path = dir / "fuzz.txt";
        testkit::WriteFileBytes(path, input);
        TStringList fromFile;
        fromFile.LoadFromFile(path);
        if (!fromFile.Equals(&list))
            return "LoadFromFile and LoadFromStream differ";
        fromFile.SaveToFile(path);
        list.LoadFromFile(path);
        return fromFile.Equals(&list) ? AnsiString() : AnsiString("SaveToFile does not load back");
    });
}

TEST(Mutation, RegressionInputs)
{
    const AnsiString folder = AnsiString(VELLORN_TEST_DATA) + "\\strings\\";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << folder;
    int count = 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const AnsiString input = testkit::ReadFileBytes(folder + fd.cFileName);
        ++count;
        EXPECT_EQ(Guarded([&] { return CheckIniText(input); }), "") << fd.cFileName;
        EXPECT_EQ(Guarded([&] {
                      TStringList list;
                      list.SetText(input);
                      return CheckTextLoad(input, list);
                  }),
                  "")
            << fd.cFileName;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_GT(count, 0);
}
