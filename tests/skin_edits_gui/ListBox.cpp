// The skinned list box: the window styles of each list style, items, top item and selection (or the
// virtual count) across a new window, the selected item shown without the focus, the search by
// typing on the test's clock, the items object over the window, and what the skin's removal, a
// deselection, a list of columns and the text messages of a virtual list must leave as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "../skin_scroll_gui/ScrollKit.h"
#include "SysUtils.h"
#include "sCustomListBox.h"

namespace {

class ListBox : public scrollkit::SkinnedTest {
protected:
    TsListBox* Make(std::initializer_list<const char*> Items = {"apple", "banana", "berry", "cherry", "date"})
    {
        auto* list = Create<TsListBox>(form);
        list->SetName(form->ComponentCount() == 1 ? "List" : "List" + IntToStr(form->ComponentCount()));
        list->SetBounds(10, 10, 150, 100);
        list->SetParent(form);
        for (const char* s : Items)
            list->Items()->Add(s);
        return list;
    }
    static DWORD Style(TWinControl* C) { return static_cast<DWORD>(GetWindowLongA(C->Handle(), GWL_STYLE)); }
    // Types one character as the window receives it.
    static void Type(TWinControl* C, char Key) { C->Perform(WM_CHAR, static_cast<Byte>(Key), 0); }
    Cardinal now = 1000;
    SysUtils::TTickClockOverride clock{[this] { return now; }};
};

// Counts the messages of some kinds that reach a control's window procedure.
class TMessageCount : public TComponent {
    VCL_CLASS(TMessageCount, TComponent)
public:
    TMessageCount(TControl* Target, std::initializer_list<UINT> Kinds)
        : TComponent(nullptr), control(Target), kinds(Kinds), saved(Target->WindowProc)
    {
        control->WindowProc = TWndMethod(this, &TMessageCount::NewWndProc);
    }
    ~TMessageCount() override { control->WindowProc = saved; }
    void NewWndProc(TMessage& Message)
    {
        if (std::find(kinds.begin(), kinds.end(), Message.Msg) != kinds.end())
            ++count;
        saved(Message);
    }
    TControl* control;
    std::vector<UINT> kinds;
    TWndMethod saved;
    int count = 0;
};

} // namespace

TEST_F(ListBox, EveryStyleIsDrawnByTheControlAndTheVirtualOnesKeepNoStrings)
{
    struct Case {
        TListBoxStyle style;
        DWORD draw;
        DWORD data;
    } cases[] = {{lbStandard, LBS_OWNERDRAWFIXED, LBS_HASSTRINGS},
                 {lbOwnerDrawFixed, LBS_OWNERDRAWFIXED, LBS_HASSTRINGS},
                 {lbOwnerDrawVariable, LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS},
                 {lbVirtual, LBS_OWNERDRAWFIXED, LBS_NODATA},
                 {lbVirtualOwnerDraw, LBS_OWNERDRAWFIXED, LBS_NODATA}};
    for (const Case& c : cases) {
        TsListBox* list = Make({});
        list->SetStyle(c.style);
        const DWORD style = Style(list);
        EXPECT_EQ(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE), c.draw) << c.style;
        EXPECT_EQ(style & (LBS_HASSTRINGS | LBS_NODATA), c.data) << c.style;
        list->Free();
    }
}

TEST_F(ListBox, ANewWindowKeepsItemsTopItemAndSelectionAndAVirtualListItsCount)
{
    TsListBox* list = Make();
    for (int i = 0; i < 20; ++i)
        list->Items()->Add("more " + IntToStr(i));
    list->SetItemIndex(12);
    list->SetTopIndex(9);
    const HWND before = list->Handle();
    list->SetTabWidth(8); // a new window
    ASSERT_NE(list->Handle(), before);
    EXPECT_EQ(list->Items()->Count(), 25);
    EXPECT_EQ(list->Items()->Get(24), "more 19");
    EXPECT_EQ(list->GetItemIndex(), 12);
    EXPECT_EQ(list->TopIndex(), 9);

    // A colour keeps the window (a skin change sets one on every list); a size makes it anew.
    const HWND made = list->Handle();
    list->Font()->SetColor(clRed);
    EXPECT_EQ(list->Handle(), made);
    list->Font()->SetHeight(list->Font()->Height() * 2);
    EXPECT_NE(list->Handle(), made);
    EXPECT_EQ(list->GetItemIndex(), 12);

    TsListBox* data = Make({});
    data->SetStyle(lbVirtual);
    data->OnData = [](TWinControl*, int Index, AnsiString& Data) { Data = "row " + IntToStr(Index); };
    data->SetCount(1000);
    data->SetItemIndex(500);
    data->SetTopIndex(497);
    data->SetTabWidth(8);
    EXPECT_EQ(SendMessageA(data->Handle(), LB_GETCOUNT, 0, 0), 1000);
    EXPECT_EQ(data->Count(), 1000);
    EXPECT_EQ(data->GetItemIndex(), 500);
    EXPECT_EQ(data->TopIndex(), 497);
    EXPECT_EQ(data->Items()->Get(777), "row 777");
    EXPECT_EQ(testkit::Refusal<EListError>([&] { list->SetCount(3); }), "The count of List is set only in a virtual style");

    // Items given to a virtual list bring back the style that keeps them.
    TStringList some;
    some.Add("x");
    data->SetItems(&some);
    EXPECT_EQ(data->Style(), lbStandard);
    EXPECT_EQ(data->Items()->Text(), "x\r\n");
}

TEST_F(ListBox, TheSelectedItemShowsWithoutTheFocusAndTheFrameComesFromTheSkin)
{
    TsListBox* list = Make();
    list->SetItemIndex(2);
    auto* sink = Create<TsListBox>(form);
    sink->SetBounds(200, 10, 50, 50);
    sink->SetParent(form);
    form->Show();
    sink->SetFocus();
    testkit::WaitIdle();
    ASSERT_FALSE(list->Focused());
    const testkit::PixelImage shot = testkit::ScreenPixels(list->Handle());
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const int row = 2 + 2 * 16 + 8;
    EXPECT_EQ(shot.Pixel(100, row), highlight) << "item 2 is highlighted";
    EXPECT_EQ(shot.Pixel(100, row - 16), static_cast<COLORREF>(ColorToRGB(list->Color()))) << "item 1 is not";
    const auto& edit = gd.at(static_cast<size_t>(GetSkinIndex("EDIT")));
    EXPECT_EQ(list->Color(), edit.Color) << "the section's colours";
    EXPECT_EQ(list->Font()->Color(), edit.FontColor[0]);
    EXPECT_NE(shot.Pixel(0, 50), GetSysColor(COLOR_BTNSHADOW)) << "no system edge";
}

TEST_F(ListBox, TypingSelectsTheFirstItemThatBeginsSoAndHalfASecondStartsAfresh)
{
    TsListBox* list = Make();
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    Type(list, 'b');
    EXPECT_EQ(list->GetItemIndex(), 1);
    now += 499;
    Type(list, 'E');
    EXPECT_EQ(list->GetItemIndex(), 2) << "\"be\" is berry, without case";
    now += 500;
    Type(list, 'c');
    EXPECT_EQ(list->GetItemIndex(), 3) << "a new prefix \"c\"";
    Type(list, '\b');
    EXPECT_EQ(list->GetItemIndex(), 0) << "backspace to nothing selects the first item";
    EXPECT_EQ(clicks, 4);
    Type(list, 'z');
    EXPECT_EQ(list->GetItemIndex(), 0) << "no match keeps the selection";

    // Letters do not reach the window's own search; Enter, Backspace and Escape do.
    for (char k : {'d', '\r', '\b', '\x1b'}) {
        TWMKey m{WM_CHAR, static_cast<Word>(static_cast<Byte>(k)), 0, 0, 0};
        EXPECT_EQ(list->DoKeyPress(m), k == 'd') << int(k);
    }

    TsListBox* data = Make({});
    data->SetStyle(lbVirtual);
    std::vector<AnsiString> asked;
    data->OnDataFind = [&](TWinControl*, const AnsiString& S) {
        asked.push_back(S);
        return 42;
    };
    data->SetCount(100);
    now += 1000;
    Type(data, 'q');
    EXPECT_EQ(asked, std::vector<AnsiString>{"q"});
    EXPECT_EQ(data->GetItemIndex(), 42);

    // A multi-select list clears its selection in one go, however long it is.
    data->SetMultiSelect(true);
    data->SetCount(5000);
    data->SetSelected(7, true);
    now += 1000;
    {
        TMessageCount sets(data, {LB_SETSEL});
        Type(data, 'w');
        EXPECT_LE(sets.count, 2);
    }
    EXPECT_FALSE(data->Selected(7));
    EXPECT_TRUE(data->Selected(42));
}

TEST_F(ListBox, TheItemsObjectWorksOnTheWindowAndReportsBadIndexes)
{
    TsListBox* list = Make({"a", "b", "c"});
    TObject marker;
    list->Items()->PutObject(1, &marker);
    list->SetItemIndex(1);
    list->Items()->Put(1, "B");
    EXPECT_EQ(list->Items()->Text(), "a\r\nB\r\nc\r\n");
    EXPECT_EQ(list->Items()->Objects(1), &marker) << "the object stays with the replaced item";
    EXPECT_EQ(list->GetItemIndex(), 1);
    list->Items()->Exchange(0, 1);
    EXPECT_EQ(list->Items()->Text(), "B\r\na\r\nc\r\n");
    EXPECT_EQ(list->Items()->Objects(0), &marker);
    EXPECT_EQ(list->GetItemIndex(), 0) << "the selection follows its item";
    list->Items()->Move(0, 2);
    EXPECT_EQ(list->Items()->Text(), "a\r\nc\r\nB\r\n");
    EXPECT_EQ(list->Items()->Objects(2), &marker);
    EXPECT_EQ(list->Items()->IndexOf("b"), 2);
    EXPECT_EQ(testkit::Refusal<EStringListError>([&] { list->Items()->Get(3); }), "List index out of bounds (3)");
    EXPECT_EQ(testkit::Refusal<EStringListError>([&] { list->Items()->Objects(-1); }), "List index out of bounds (-1)");
    list->SetMultiSelect(true);
    EXPECT_EQ(testkit::Refusal<EListError>([&] { list->SetSelected(7, true); }), "List index out of bounds (7)");
}

TEST_F(ListBox, RemovingTheSkinAndDeselectingLeaveTheSelectionAlone)
{
    TsListBox* list = Make();
    list->SetItemIndex(3);
    Command(list, AC_REMOVESKIN);
    EXPECT_EQ(list->GetItemIndex(), 3) << "the skin's removal keeps the selection";
    EXPECT_EQ(list->Color(), clWindow);

    list->SetSelected(1, false);
    EXPECT_EQ(list->GetItemIndex(), 3) << "deselecting another item changes nothing";
    list->SetSelected(3, false);
    EXPECT_EQ(list->GetItemIndex(), -1) << "deselecting the selected item selects nothing";
    list->SetSelected(4, true);
    EXPECT_EQ(list->GetItemIndex(), 4);
    EXPECT_FALSE(list->Selected(99));
}

TEST_F(ListBox, OnlyAListOfColumnsGetsAHorizontalBarStandingAtItsFirstColumnShown)
{
    form->Show();
    TsListBox* list = Make({});
    for (int i = 0; i < 60; ++i)
        list->Items()->Add("item " + IntToStr(i));
    testkit::WaitIdle();
    ASSERT_NE(list->VSBar, nullptr);
    EXPECT_TRUE(list->VSBar->Visible());
    EXPECT_TRUE(list->HSBar == nullptr);
    list->SetItemIndex(50);
    testkit::WaitIdle();
    ASSERT_GT(list->TopIndex(), 0);
    EXPECT_EQ(list->VSBar->Position(), list->TopIndex()) << "the bar follows the list to its selection";

    list->SetColumns(2);
    testkit::WaitIdle();
    EXPECT_FALSE(list->VSBar->Visible()) << "a list of columns never gets a vertical bar";
    ASSERT_NE(list->HSBar, nullptr);
    EXPECT_TRUE(list->HSBar->Visible());
    list->SetTopIndex(40);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(list->Handle(), SB_HORZ, &si);
    ASSERT_GT(si.nPos, 0);
    list->RefreshScrolls();
    EXPECT_EQ(list->HSBar->Position(), si.nPos) << "the column shown first, not the top item";
    list->HSBar->SetPosition(0);
    EXPECT_EQ(list->TopIndex(), 0) << "the bar scrolls the columns back";
}

TEST_F(ListBox, AVirtualListAnswersTheTextMessagesWithinTheCallersBuffer)
{
    TsListBox* list = Make({});
    list->SetStyle(lbVirtual);
    list->OnData = [](TWinControl*, int Index, AnsiString& Data) { Data = Index == 3 ? "три" : "x"; };
    list->SetCount(5);
    const LRESULT len = SendMessageA(list->Handle(), LB_GETTEXTLEN, 3, 0);
    ASSERT_EQ(len, 3);
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::string(buffer, 4), std::string("три\0", 4));
    EXPECT_EQ(buffer[4], '#') << "nothing written past the text and its zero";
    EXPECT_EQ(list->Items()->Get(3), "три");

    // The text grew between the two messages: the buffer sized by the length answered still holds.
    AnsiString now = "ab";
    list->OnData = [&](TWinControl*, int, AnsiString& Data) { Data = now; };
    ASSERT_EQ(SendMessageA(list->Handle(), LB_GETTEXTLEN, 1, 0), 2);
    now = "abcdef";
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_EQ(std::string(buffer, 4), std::string("ab\0#", 4)) << "no more than the length answered";
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buffer)), 6)
        << "the length answered for row 1 holds for row 1 only";

    // Rows the list does not have are refused, and OnData hears of none of them.
    std::vector<int> asked;
    list->OnData = [&](TWinControl*, int Index, AnsiString& Data) { asked.push_back(Index), Data = "x"; };
    for (const int row : {-1, 5, 100})
        for (const UINT message : {LB_GETTEXTLEN, LB_GETTEXT}) {
            std::fill(std::begin(buffer), std::end(buffer), '#');
            EXPECT_EQ(SendMessageA(list->Handle(), message, row, reinterpret_cast<LPARAM>(buffer)), LB_ERR) << row;
            EXPECT_EQ(buffer[0], '#') << row;
        }
    EXPECT_TRUE(asked.empty());

    // Items given to a virtual list replace its rows without reading them first.
    list->SetCount(5000);
    TStringList given;
    given.Add("один");
    given.Add("два");
    {
        TMessageCount reads(list, {LB_GETTEXT, LB_GETTEXTLEN});
        list->SetItems(&given);
        EXPECT_LT(reads.count, 10);
    }
    EXPECT_EQ(list->Style(), lbStandard);
    EXPECT_EQ(list->Items()->Text(), "один\r\nдва\r\n");
}
