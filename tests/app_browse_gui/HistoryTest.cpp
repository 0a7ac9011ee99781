// The page history of the main window: what each completed navigation records, the back and
// forward menus with their lists and files, and the history flag.
#include "BrowseFixture.h"

using namespace browse;

namespace {

class History : public BrowseTest {
protected:
    std::string BackFile() { return testkit::ReadFileBytes(dir / "FILES\\tmpB.ini"); }
    std::string ForwardFile() { return testkit::ReadFileBytes(dir / "FILES\\tmpF.ini"); }
    AnsiString Start() { return dir / "FILES\\Standard\\Standard.html"; }
};

TEST_F(History, CompletionsRecordThePagesLeftAndTheMenusMovePagesBetweenTheLists)
{
    EXPECT_EQ(form->ListBox2->Items()->Count(), 0) << "the start page is not recorded";
    EXPECT_FALSE(FileExists(dir / "FILES\\tmpB.ini"));

    Open("Первая");
    WaitPage("Первая страница");
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Vellorn");
    EXPECT_EQ(BackFile(), "[URL]\r\nVellorn=" + Start() + "\r\n");
    EXPECT_TRUE(form->ToolButton1->Enabled());
    EXPECT_TRUE(form->N26->Enabled());
    EXPECT_EQ(form->PopupMenu2->Items()->Items(0)->ImageIndex(), 2);

    Open("Вторая");
    WaitPage("Вторая страница");
    Open("Первая");
    WaitPage("Первая страница");
    Open("Вторая");
    WaitPage("Вторая страница");
    // "Первая страница" was left twice: listed once.
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Vellorn|Первая страница|Вторая страница");
    EXPECT_EQ(Captions(form->PopupMenu2), "Vellorn|Первая страница|Вторая страница");

    // Back to the start page: the page left by the latest navigation ("Первая страница") goes
    // to the forward list; the start page leaves the back list.
    form->PopupMenu2->Items()->Items(0)->Click();
    WaitPage("Vellorn");
    EXPECT_EQ(Lines(form->ListBox3->Items()), "Первая страница");
    EXPECT_EQ(Captions(form->PopupMenu4), "Первая страница");
    EXPECT_EQ(ForwardFile(), "[URL]\r\nПервая страница=" + Path("first.html") + "\r\n");
    EXPECT_TRUE(form->ToolButton2->Enabled()) << "it drops down the forward list";
    EXPECT_FALSE(form->N27->Enabled()) << "the view has nothing ahead";
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Первая страница|Вторая страница") << "the page left is listed already";
    EXPECT_EQ(Captions(form->PopupMenu2), "Первая страница|Вторая страница");

    // Forward: "Вторая страница" (left last) is in the back list already; the start page, left
    // now, comes back to it; the forward list is empty again.
    form->PopupMenu4->Items()->Items(0)->Click();
    WaitPage("Первая страница");
    EXPECT_EQ(form->ListBox3->Items()->Count(), 0);
    EXPECT_EQ(form->PopupMenu4->Items()->Count(), 0);
    EXPECT_FALSE(form->ToolButton2->Enabled());
    EXPECT_FALSE(form->N27->Enabled());
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Первая страница|Вторая страница|Vellorn");
    EXPECT_EQ(BackFile(), "[URL]\r\nVellorn=" + Start() + "\r\nПервая страница=" + Path("first.html") +
                              "\r\nВторая страница=" + Path("second.html") + "\r\n");
    EXPECT_TRUE(boxes.empty());
}

// Pages of one title are items of their own: each goes to its own page, and the address box
// names the page shown.
TEST_F(History, PagesOfOneTitleAreItemsOfTheirOwn)
{
    for (const char* name : {"p1.html", "p2.html", "p3.html"}) {
        testkit::WriteFileBytes(dir / ("FILES\\" + std::string(name)), "<title>Одна</title>" + std::string(name));
        form->ComboBox1->SetText(Path(name));
        char enter = '\r';
        form->ComboBox1KeyPress(form->ComboBox1, enter);
        WaitFor([&] { return !form->Web->Busy() && form->Web->LocationURL() == Path(name); }, name);
    }
    Open("Первая");
    WaitPage("Первая страница");
    EXPECT_EQ(Captions(form->PopupMenu2), "Vellorn|Одна|Одна|Одна");
    form->PopupMenu2->Items()->Items(2)->Click();
    WaitFor([&] { return !form->Web->Busy() && form->Web->LocationURL() == Path("p2.html"); }, "p2");
    EXPECT_EQ(form->ComboBox1->Text(), Path("p2.html"));
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Vellorn|Одна|Одна|Первая страница");
    form->PopupMenu2->Items()->Items(2)->Click();
    WaitFor([&] { return !form->Web->Busy() && form->Web->LocationURL() == Path("p3.html"); }, "p3");
    EXPECT_EQ(form->ComboBox1->Text(), Path("p3.html"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(History, TheFlagIsClearedByBackClicksButNotByForwardClicksOrLinks)
{
    // A link leaves the flag set: its completion records nothing.
    Open("Ссылка");
    WaitPage("Вторая страница");
    EXPECT_TRUE(form->SkipHistoryOnce);
    EXPECT_EQ(form->ListBox2->Items()->Count(), 0);

    RecordBackPage(form, "Первая страница", Path("first.html"));
    form->PopupMenu2->Items()->Items(0)->Click();
    EXPECT_FALSE(form->SkipHistoryOnce);
    WaitPage("Первая страница");
    ASSERT_EQ(form->PopupMenu4->Items()->Count(), 1);
    form->SkipHistoryOnce = true;
    form->PopupMenu4->Items()->Items(0)->Click();
    EXPECT_TRUE(form->SkipHistoryOnce);
}

TEST_F(History, TitlesThatIniKeysCannotHoldAreKeptEscaped)
{
    EXPECT_EQ(HistoryKey("Обычная страница, 100%"), "Обычная страница, 100%");
    EXPECT_EQ(HistoryKey("a = b, 100%"), "a %3D b, 100%25");
    EXPECT_EQ(HistoryKey("[x]\r\n "), "%5Bx]%0D%0A%20");
    EXPECT_EQ(HistoryKey(""), "%");
    testkit::WriteFileBytes(dir / "FILES\\eq.html", "<title>x = y</title>равенство");
    form->ComboBox1->SetText(dir / "FILES\\eq.html");
    char enter = '\r';
    form->ComboBox1KeyPress(form->ComboBox1, enter);
    WaitPage("x = y");
    Open("Первая");
    WaitPage("Первая страница");
    EXPECT_EQ(Lines(form->ListBox2->Items()), "Vellorn|x = y");
    form->PopupMenu2->Items()->Items(1)->Click();
    WaitPage("x = y");
    EXPECT_TRUE(boxes.empty());
}

} // namespace
