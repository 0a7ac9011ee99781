#include "Classes.h"
#include "FileSteps.h"
#include "TestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

std::vector<AnsiString> Lines(const TStrings& list)
{
    std::vector<AnsiString> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

using V = std::vector<AnsiString>;

// Counts its live instances, to check which lists free their objects.
class Counted : public TObject {
    VCL_CLASS(Counted, TObject)
public:
    explicit Counted(int* live) : live_(live) { ++*live_; }
    ~Counted() override { --*live_; }

private:
    int* live_;
};

// A TStrings that implements only the virtual core, as a control's item list does.
class CoreStrings : public TStrings {
    VCL_CLASS(CoreStrings, TStrings)
public:
    AnsiString Get(int Index) const override
    {
        if (Index < 0 || Index >= GetCount())
            IndexError(Index);
        return items[Index];
    }
    int GetCount() const override { return static_cast<int>(items.size()); }
    void Insert(int Index, const AnsiString& S) override
    {
        if (Index < 0 || Index > GetCount())
            IndexError(Index);
        items.insert(items.begin() + Index, S);
    }
    void Delete(int Index) override
    {
        Get(Index);
        items.erase(items.begin() + Index);
    }
    void Clear() override { items.clear(); }
    void SetUpdateState(bool Updating) override { updates.push_back(Updating); }
    std::vector<AnsiString> items;
    std::vector<bool> updates;
};

template <class F>
AnsiString MessageOf(F f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.ClassName() + ": " + e.Message;
    }
    return "no exception";
}

} // namespace

TEST(StringList, IndexErrorsNameTheIndex)
{
    TStringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(MessageOf([&] { list.Get(2); }), "EStringListError: List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { list.Get(-1); }), "EStringListError: List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { list.Delete(5); }), "EStringListError: List index out of bounds (5)");
    EXPECT_EQ(MessageOf([&] { list.Put(2, "x"); }), "EStringListError: List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { list.Insert(3, "x"); }), "EStringListError: List index out of bounds (3)");
    EXPECT_EQ(MessageOf([&] { list.Objects(7); }), "EStringListError: List index out of bounds (7)");
    EXPECT_EQ(MessageOf([&] { list.Exchange(0, 9); }), "EStringListError: List index out of bounds (9)");
    list.Insert(2, "c");  // inserting at Count appends
    list.Insert(0, "z");
    EXPECT_EQ(Lines(list), (V{"z", "a", "b", "c"}));
    list.Delete(1);
    list.Put(0, "y");
    EXPECT_EQ(Lines(list), (V{"y", "b", "c"}));
}

TEST(StringList, IndexOfIgnoresCaseWithCyrillicTablesUnlessCaseSensitive)
{
    TStringList list;
    list.Add("Привет");
    list.Add("ёлка");
    list.Add("Abc");
    EXPECT_EQ(list.IndexOf("ПРИВЕТ"), 0);
    EXPECT_EQ(list.IndexOf("ЁЛКА"), 1);
    EXPECT_EQ(list.IndexOf("aBC"), 2);
    EXPECT_EQ(list.IndexOf("елка"), -1) << "е and ё are different letters";
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ПРИВЕТ"), -1);
    EXPECT_EQ(list.IndexOf("Привет"), 0);
}

TEST(StringList, SortedListsPlaceFindAndHandleDuplicates)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"груша", "Apple", "яблоко", "banana", "Банан", "apple"})
        list.Add(s);
    // dupIgnore (the default): "apple" equals "Apple" without case and is not added again.
    EXPECT_EQ(Lines(list), (V{"Apple", "banana", "Банан", "груша", "яблоко"}));
    EXPECT_EQ(list.Add("APPLE"), 0);
    EXPECT_EQ(list.Count(), 5);
    int index = -1;
    EXPECT_TRUE(list.Find("ГРУША", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("вишня", index));
    EXPECT_EQ(index, 3) << "insertion point";
    EXPECT_EQ(list.IndexOf("БАНАН"), 2);
    EXPECT_EQ(list.IndexOf("вишня"), -1);

    list.SetDuplicates(dupError);
    EXPECT_EQ(MessageOf([&] { list.Add("banana"); }), "EStringListError: String list does not allow duplicates");
    EXPECT_EQ(list.Count(), 5);

    list.SetDuplicates(dupAccept);
    int live = 0;
    list.AddObject("BANANA", Create<Counted>(&live));
    list.AddObject("Banana", Create<Counted>(&live));
    EXPECT_EQ(Lines(list), (V{"Apple", "banana", "BANANA", "Banana", "Банан", "груша", "яблоко"}))
        << "equal strings keep their order of arrival";
    for (int i = 0; i < list.Count(); ++i)
        if (TObject* o = list.Objects(i))
            o->Free();

    EXPECT_EQ(MessageOf([&] { list.Insert(0, "x"); }), "EStringListError: Operation not allowed on sorted list");
    EXPECT_EQ(MessageOf([&] { list.Put(0, "x"); }), "EStringListError: Operation not allowed on sorted list");
}

TEST(StringList, SortedTextLoadMatchesAddingLineByLine)
{
    std::mt19937 rng(99);
    const char* const letters[] = {"a", "A", "б", "Б", "ё", "Ё", " "};
    AnsiString text;
    for (int i = 0; i < 3000; ++i) {
        for (int k = 0, n = 1 + static_cast<int>(rng() % 3); k < n; ++k)
            text += letters[rng() % 7];
        text += "\r\n";
    }
    TStringList plain;
    plain.SetText(text);
    for (TDuplicates dup : {dupIgnore, dupAccept}) {
        TStringList bulk, single;
        for (TStringList* l : {&bulk, &single}) {
            l->SetDuplicates(dup);
            l->SetSorted(true);
        }
        bulk.SetText(text);
        for (int i = 0; i < plain.Count(); ++i)
            single.Add(plain[i]);
        EXPECT_TRUE(bulk.Equals(&single)) << dup;
    }
    TStringList strict;
    strict.SetDuplicates(dupError);
    strict.SetSorted(true);
    EXPECT_EQ(testkit::Refusal<EStringListError>([&] { strict.SetText("x\r\ny\r\nX\r\n"); }),
              "String list does not allow duplicates");
}

TEST(StringList, SortIsStableAndFollowsCaseSensitivity)
{
    TStringList list;
    for (const char* s : {"b", "B", "a", "Ж", "ж", "A"})
        list.Add(s);
    list.Sort();
    EXPECT_EQ(Lines(list), (V{"a", "A", "b", "B", "Ж", "ж"}));
    list.SetSorted(true);
    list.SetCaseSensitive(true);  // a sorted list re-sorts by the new rule
    EXPECT_EQ(Lines(list), (V{"A", "B", "a", "b", "Ж", "ж"}));
    int index = -1;
    EXPECT_FALSE(list.Find("ж ", index));
    EXPECT_TRUE(list.Find("ж", index));
    EXPECT_EQ(index, 5);
}

TEST(StringList, CustomSortSurvivesAnInconsistentComparison)
{
    TStringList list;
    list.Add("ccc");
    list.Add("a");
    list.Add("bb");
    list.CustomSort([](TStringList* l, int a, int b) {
        return static_cast<int>(l->Get(a).size()) - static_cast<int>(l->Get(b).size());
    });
    EXPECT_EQ(Lines(list), (V{"a", "bb", "ccc"}));

    // A comparison that answers at random must neither crash nor lose or duplicate items.
    TStringList big;
    for (int i = 0; i < 2000; ++i)
        big.Add(IntToStr(i));
    static std::mt19937 rng(7);
    big.CustomSort([](TStringList*, int, int) { return static_cast<int>(rng() % 3) - 1; });
    std::vector<AnsiString> got = Lines(big), want;
    for (int i = 0; i < 2000; ++i)
        want.push_back(IntToStr(i));
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

TEST(StringList, OwnedObjectsAreFreedExactlyOnce)
{
    int live = 0;
    {
        TStringList list(true);
        for (int i = 0; i < 5; ++i)
            list.AddObject(IntToStr(i), Create<Counted>(&live));
        EXPECT_EQ(live, 5);
        list.Delete(0);
        EXPECT_EQ(live, 4);
        list.Move(0, 3);  // moving keeps the object
        list.Exchange(0, 1);
        EXPECT_EQ(live, 4);
        EXPECT_EQ(Lines(list), (V{"3", "2", "4", "1"}));
        list.PutObject(0, Create<Counted>(&live));  // the replaced object is freed
        EXPECT_EQ(live, 4);
        list.PutObject(0, list.Objects(0));  // the same object stays
        EXPECT_EQ(live, 4);
        TObject* keep = list.Objects(1);
        EXPECT_EQ(list.IndexOfObject(keep), 1);
        EXPECT_EQ(list.IndexOfObject(nullptr), -1);
    }
    EXPECT_EQ(live, 0) << "the owning list frees the rest when it goes";

    auto shared = std::unique_ptr<Counted>(new Counted(&live));
    {
        TStringList list;  // not owning
        list.AddObject("x", shared.get());
        list.Clear();
        list.AddObject("y", shared.get());
    }
    EXPECT_EQ(live, 1);
}

TEST(StringList, TextSplitsAtEveryLineBreakKindAndKeepsBytes)
{
    TStringList list;
    list.SetText("a\rb\nc\r\nd");
    EXPECT_EQ(Lines(list), (V{"a", "b", "c", "d"}));
    list.SetText("a\n\rb");  // LF then CR: two breaks
    EXPECT_EQ(Lines(list), (V{"a", "", "b"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    list.SetText("\r\n");
    EXPECT_EQ(Lines(list), (V{""}));
    list.SetText("x\r\n\r\n");
    EXPECT_EQ(Lines(list), (V{"x", ""}));
    const char raw[] = "nul\0inside\r\nЖ\xFF";
    list.SetText(AnsiString(raw, sizeof raw - 1));
    EXPECT_EQ(Lines(list), (V{AnsiString("nul\0inside", 10), "Ж\xFF"}));
    const char text[] = "nul\0inside\r\nЖ\xFF\r\n";
    EXPECT_EQ(list.Text(), AnsiString(text, sizeof text - 1));
}

TEST(StringList, CommaTextQuotesWhatNeedsQuotingAndParsesBack)
{
    TStringList list;
    for (const char* s : {"a", "b c", "d\"e", "", "f,g", "Жук"})
        list.Add(s);
    EXPECT_EQ(list.CommaText(), "a,\"b c\",\"d\"\"e\",,\"f,g\",Жук");
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_TRUE(back.Equals(&list));

    back.SetCommaText("a, b ,\"c\"\"d\" , ,e,");
    EXPECT_EQ(Lines(back), (V{"a", "b", "c\"d", "", "e", ""}));
    back.SetCommaText("\"abc");  // no closing quote: to the end
    EXPECT_EQ(Lines(back), (V{"abc"}));
    back.SetCommaText("\"ab\"cd");
    EXPECT_EQ(Lines(back), (V{"ab", "cd"}));
    back.SetCommaText("one two");  // unquoted blanks separate items
    EXPECT_EQ(Lines(back), (V{"one", "two"}));
    back.SetCommaText("  ");
    EXPECT_EQ(back.Count(), 0);

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");
    back.SetCommaText("\"\"");
    EXPECT_EQ(Lines(back), (V{""}));

    TStringList semi;
    semi.Delimiter = ';';
    semi.QuoteChar = '\'';
    semi.SetDelimitedText("x;'y;z';'it''s'");
    EXPECT_EQ(Lines(semi), (V{"x", "y;z", "it's"}));
    EXPECT_EQ(semi.DelimitedText(), "x;'y;z';'it''s'");
    EXPECT_EQ(semi.CommaText(), "x,y;z,it's");
    EXPECT_EQ(semi.Delimiter, ';') << "CommaText leaves the list's own delimiter alone";
}

TEST(StringList, CommaTextRoundTripsRandomLists)
{
    std::mt19937 rng(12345);
    const char alphabet[] = {'a', 'Я', ' ', ',', '"', '\t', '\0', '\r', '\n', '=', '\x01', '\xFF'};
    for (int round = 0; round < 500; ++round) {
        TStringList list;
        const int n = static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i) {
            AnsiString s;
            const int len = static_cast<int>(rng() % 5);
            for (int k = 0; k < len; ++k)
                s += alphabet[rng() % sizeof alphabet];
            list.Add(s);
        }
        TStringList back;
        back.SetCommaText(list.CommaText());
        ASSERT_TRUE(back.Equals(&list)) << "round " << round << ": " << list.CommaText();
    }
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.SetText("a=1\r\nb=2=3\r\nc\r\n=empty\r\nКлюч=значение\r\n");
    EXPECT_EQ(list.Names(0), "a");
    EXPECT_EQ(list.Names(2), "") << "a line without = has no name";
    EXPECT_EQ(list.ValueFromIndex(1), "2=3");
    EXPECT_EQ(list.ValueFromIndex(2), "");
    EXPECT_EQ(list.Values("A"), "1");
    EXPECT_EQ(list.Values("КЛЮЧ"), "значение");
    EXPECT_EQ(list.Values("c"), "");
    EXPECT_EQ(list.Values(""), "empty");
    EXPECT_EQ(list.IndexOfName("B"), 1);
    EXPECT_EQ(list.IndexOfName("c"), -1);

    list.SetValue("b", "new");
    list.SetValue("d", "4");
    list.SetValue("a", "");  // an empty value deletes the line
    list.SetValue("missing", "");
    EXPECT_EQ(Lines(list), (V{"b=new", "c", "=empty", "Ключ=значение", "d=4"}));
    list.SetValueFromIndex(0, "x");
    EXPECT_EQ(list[0], "b=x");
}

TEST(StringList, UpdatesAreBracketedAndEventsFireOncePerBatch)
{
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.SetText("x\r\ny\r\nz");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changed, 1) << "nothing until the outer EndUpdate";
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.EndUpdate();  // unbalanced: ignored
    list.Clear();
    EXPECT_EQ(changed, 3);
    list.Clear();  // already empty: no event
    EXPECT_EQ(changed, 3);
}

TEST(StringList, AssignAddStringsExchangeMoveEquals)
{
    TStringList a, b;
    a.SetText("1\r\n2\r\n3");
    int live = 0;
    auto obj = std::unique_ptr<Counted>(new Counted(&live));
    a.PutObject(1, obj.get());
    b.Add("old");
    b.Assign(&a);
    EXPECT_TRUE(b.Equals(&a));
    EXPECT_EQ(b.Objects(1), obj.get());
    b.AddStrings(&a);
    EXPECT_EQ(b.CommaText(), "1,2,3,1,2,3");
    b.Exchange(0, 5);
    b.Move(0, 2);
    EXPECT_EQ(b.CommaText(), "2,3,3,1,2,1");
    EXPECT_FALSE(b.Equals(&a));
    b.Assign(&b);  // self-assignment keeps the content
    EXPECT_EQ(b.Count(), 6);

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Assign(&b);
    EXPECT_EQ(sorted.CommaText(), "1,2,3") << "a sorted list places and de-duplicates what it takes";
    EXPECT_EQ(testkit::Refusal<EStringListError>([&] { sorted.Move(0, 2); }), "Operation not allowed on sorted list");
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { a.Assign(nullptr); }), "Cannot assign a nil to a TStringList");
}

TEST(StringList, FilesKeepBytesAndWriteCrLf)
{
    testkit::TempDir dir;
    const AnsiString path = dir / "lines.txt";
    testkit::WriteFileBytes(path, "first\r\nвторой\nthird\rlast without break");
    TStringList list;
    list.LoadFromFile(path);
    EXPECT_EQ(Lines(list), (V{"first", "второй", "third", "last without break"}));
    testkit::FileSteps steps;
    list.SaveToFile(path);
    EXPECT_EQ(steps.Kinds(), "create-temp write flush close move") << "replaced safely";
    EXPECT_EQ(testkit::ReadFileBytes(path), "first\r\nвторой\r\nthird\r\nlast without break\r\n");

    testkit::WriteFileBytes(path, "");
    list.LoadFromFile(path);
    EXPECT_EQ(list.Count(), 0);

    EXPECT_EQ(testkit::Refusal<EFOpenError>([&] { list.LoadFromFile(dir / "missing.txt"); }),
              "Cannot open file \"" + dir / "missing.txt" + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(testkit::Refusal<EFCreateError>([&] { list.SaveToFile(dir / "no folder\\x.txt"); }),
              "Cannot create file \"" + dir / "no folder\\x.txt" + "\". The folder does not exist");

    TStringStream stream("skip\r\na\r\nb");
    stream.SetPosition(6);
    list.LoadFromStream(stream);
    EXPECT_EQ(Lines(list), (V{"a", "b"}));
    TStringStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.DataString(), "a\r\nb\r\n");
}

TEST(StringList, ASubclassWithOnlyTheCoreGetsTheWholeInterface)
{
    CoreStrings s;
    s.SetText("b=2\r\nA=1\r\nc");
    EXPECT_EQ(s.items, (V{"b=2", "A=1", "c"}));
    EXPECT_EQ(s.updates, (std::vector<bool>{true, false}));
    EXPECT_EQ(s.IndexOf("C"), 2);
    EXPECT_EQ(s.Values("a"), "1");
    s.SetValue("b", "3");
    s.Move(2, 0);
    s.Exchange(1, 2);
    EXPECT_EQ(s.items, (V{"c", "A=1", "b=3"}));
    EXPECT_EQ(s.Text(), "c\r\nA=1\r\nb=3\r\n");
    EXPECT_EQ(s.CommaText(), "c,A=1,b=3");
    TStringList list;
    list.Assign(&s);
    EXPECT_TRUE(list.Equals(&s));
    s.Assign(&list);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(MessageOf([&] { s.Get(3); }), "EStringListError: List index out of bounds (3)");
}
