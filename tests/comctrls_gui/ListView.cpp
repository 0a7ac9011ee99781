// The list view: the model's items, columns and states shown by the window and kept across its
// re-creation, owner data, custom drawing, caption editing, sorting, the selection events and the
// menu keys.
#include "ComCtrls.h"
#include "Menus.h"
#include "Support.h"

#include <string>
#include <vector>

using namespace testkit;
using namespace comtest;

namespace {

class ListViewTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(100, 100, 420, 320);
        list = Create<TListView>(form);
        list->SetBounds(10, 10, 380, 250);
        list->SetViewStyle(vsReport);
        list->SetParent(form);
        for (const char* caption : {"Name", "Size", "Type"}) {
            TListColumn* c = list->Columns()->Add();
            c->SetCaption(caption);
            c->SetWidth(100);
        }
    }
    // Items "Item 0" .. with the sub-items "<i> KB" and "kind <i>".
    void Fill(int Count)
    {
        list->Items()->BeginUpdate();
        for (int i = 0; i < Count; ++i) {
            TListItem* item = list->Items()->Add();
            item->SetCaption("Item " + IntToStr(i));
            item->SubItems()->Add(IntToStr(i) + " KB");
            item->SubItems()->Add("kind " + IntToStr(i));
        }
        list->Items()->EndUpdate();
    }
    void Show()
    {
        form->Show();
        PumpPending();
    }
    AnsiString WindowText(int Item, int SubItem) { return ListViewText(list->Handle(), Item, SubItem); }
    std::vector<int> WindowSelection()
    {
        std::vector<int> rows;
        for (int i = ListView_GetNextItem(list->Handle(), -1, LVNI_SELECTED); i >= 0;
             i = ListView_GetNextItem(list->Handle(), i, LVNI_SELECTED))
            rows.push_back(i);
        return rows;
    }
    TForm* form = nullptr;
    TListView* list = nullptr;
};

} // namespace

TEST_F(ListViewTest, TheWindowShowsTheModelsRowsAndFollowsInsertionsAndDeletions)
{
    Fill(5);
    Show();
    EXPECT_EQ(ListView_GetItemCount(list->Handle()), 5);
    EXPECT_EQ(WindowText(3, 0), "Item 3");
    EXPECT_EQ(WindowText(3, 1), "3 KB");
    EXPECT_EQ(WindowText(3, 2), "kind 3");
    EXPECT_EQ(WindowText(3, 3), "") << "a column without a sub-item";
    list->Items()->Item(3)->SetSelected(true);
    list->Items()->Item(3)->SetFocused(true);
    // Rows move: the selection stays with its item, not with its row.
    TListItem* first = list->Items()->Insert(0);
    first->SetCaption("New");
    EXPECT_EQ(WindowText(0, 0), "New");
    EXPECT_EQ(WindowSelection(), std::vector<int>{4});
    EXPECT_EQ(ListView_GetNextItem(list->Handle(), -1, LVNI_FOCUSED), 4);
    EXPECT_EQ(list->Items()->Item(4)->Index(), 4);
    list->Items()->Delete(1);
    EXPECT_EQ(WindowSelection(), std::vector<int>{3});
    EXPECT_EQ(list->Selected()->Caption(), "Item 3");
    EXPECT_EQ(list->Items()->Item(3)->Index(), 3);
    list->Items()->Item(2)->SubItems()->Put(0, "changed");
    EXPECT_EQ(WindowText(2, 1), "changed");
    // A selected item deleted leaves the count of the others.
    list->SetMultiSelect(true);
    list->Items()->Item(0)->SetSelected(true);
    ASSERT_EQ(list->SelCount(), 2);
    list->Items()->Delete(3);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_EQ(WindowSelection(), std::vector<int>{0});
    list->Items()->Add()->SetCaption("Item 5");
    EXPECT_THROW(list->Items()->Item(5), EListError);
    list->Items()->Clear();
    EXPECT_EQ(ListView_GetItemCount(list->Handle()), 0);
    EXPECT_EQ(list->Selected(), nullptr);
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(ListViewTest, ColumnsItemsAndStatesSurviveTheWindowsReCreation)
{
    list->SetMultiSelect(true);
    list->SetFullDrag(true);
    Fill(200);
    Show();
    // The user's widths and column order, the selection, the focus and the top row.
    ListView_SetColumnWidth(list->Handle(), 1, 140);
    EXPECT_EQ(list->Column(1)->Width(), 140) << "the header's change goes into the model";
    int order[] = {2, 0, 1};
    ListView_SetColumnOrderArray(list->Handle(), 3, order);
    list->Items()->Item(10)->SetSelected(true);
    list->Items()->Item(20)->SetSelected(true);
    list->Items()->Item(20)->SetFocused(true);
    list->Items()->Item(80)->MakeVisible(false);
    const int top = ListView_GetTopIndex(list->Handle());
    ASSERT_GT(top, 50);
    const HWND before = list->Handle();
    list->SetBorderStyle(bsNone);
    ASSERT_NE(list->Handle(), before);
    EXPECT_EQ(ListView_GetItemCount(list->Handle()), 200);
    EXPECT_EQ(WindowText(150, 2), "kind 150");
    EXPECT_EQ(ListView_GetColumnWidth(list->Handle(), 1), 140);
    int after[3] = {};
    ListView_GetColumnOrderArray(list->Handle(), 3, after);
    EXPECT_EQ(std::vector<int>(after, after + 3), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(WindowSelection(), (std::vector<int>{10, 20}));
    EXPECT_EQ(ListView_GetNextItem(list->Handle(), -1, LVNI_FOCUSED), 20);
    EXPECT_EQ(ListView_GetTopIndex(list->Handle()), top);
    EXPECT_EQ(list->SelCount(), 2);
}

TEST_F(ListViewTest, OwnerDataRowsComeFromOnDataAndSearchesFromOnDataFind)
{
    list->SetOwnerData(true);
    list->SetMultiSelect(true);
    std::vector<TItemRequest> requests;
    list->OnData = [&](TObject*, TListItem* item) {
        item->SetCaption("Row " + IntToStr(item->Index()));
        item->SubItems()->Add("size " + IntToStr(item->Index()));
        item->SetImageIndex(item->Index() % 3);
    };
    struct Find {
        TItemFind kind;
        AnsiString text;
        int start;
        bool wrap;
    };
    std::vector<Find> finds;
    list->OnDataFind = [&](TObject*, TItemFind kind, const AnsiString& text, const TPoint&, void*, int start,
                           TSearchDirection, bool wrap, int& index) {
        finds.push_back({kind, text, start, wrap});
        index = 42;
    };
    list->Items()->SetCount(100000);
    Show();
    EXPECT_EQ(ListView_GetItemCount(list->Handle()), 100000);
    EXPECT_EQ(WindowText(99999, 0), "Row 99999");
    EXPECT_EQ(WindowText(7, 1), "size 7");
    EXPECT_EQ(list->Items()->Item(5)->ImageIndex(), 2);
    EXPECT_EQ(list->Items()->Item(8)->Index(), 8);
    LVFINDINFOA fi{};
    fi.flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP;
    fi.psz = "Row 4";
    EXPECT_EQ(SendMessageA(list->Handle(), LVM_FINDITEMA, 10, reinterpret_cast<LPARAM>(&fi)), 42);
    ASSERT_EQ(finds.size(), 1u);
    EXPECT_EQ(finds[0].kind, ifPartialString);
    EXPECT_EQ(finds[0].text, "Row 4");
    EXPECT_EQ(finds[0].wrap, true);
    // The window keeps the selection of an owner-data list, also across its re-creation.
    list->Items()->Item(3)->SetSelected(true);
    list->Items()->Item(70000)->SetSelected(true);
    EXPECT_TRUE(list->Items()->Item(70000)->Selected());
    list->RecreateWnd();
    EXPECT_EQ(WindowSelection(), (std::vector<int>{3, 70000}));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(list->Selected()->Index(), 3);
    list->Items()->SetCount(2);
    EXPECT_EQ(WindowSelection(), std::vector<int>{});
    EXPECT_THROW(list->Items()->Item(2), EListError);
}

TEST_F(ListViewTest, TypingFindsTheCaptionsBeginningWithoutRegardToCase)
{
    Fill(30);
    Show();
    list->SetFocus();
    LVFINDINFOA fi{};
    struct Case {
        UINT flags;
        const char* text;
        int start;
        int found;
    } cases[] = {
        {LVFI_PARTIAL | LVFI_STRING, "item 2", 3, 20},           // "Item 20"
        {LVFI_PARTIAL | LVFI_STRING, "item 1", 25, -1},          // no wrap: nothing after 25
        {LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, "item 1", 25, 1}, // wraps to "Item 1"
        {LVFI_STRING, "ITEM 2", 0, 2},                           // the whole caption
        {LVFI_STRING, "Item", 0, -1},
    };
    for (const Case& c : cases) {
        fi.flags = c.flags;
        fi.psz = c.text;
        // The window hands the start row on; the search begins there.
        EXPECT_EQ(SendMessageA(list->Handle(), LVM_FINDITEMA, static_cast<WPARAM>(c.start),
                               reinterpret_cast<LPARAM>(&fi)),
                  c.found)
            << c.text << " from " << c.start;
    }
    list->Items()->Item(12)->SetCaption("Zeta");
    for (char ch : std::string("ze"))
        SendMessageA(list->Handle(), WM_CHAR, static_cast<WPARAM>(ch), 1);
    EXPECT_EQ(list->ItemFocused() ? list->ItemFocused()->Index() : -1, 12);
}

TEST_F(ListViewTest, TheDrawingStagesReachTheEventsAndDefaultDrawFalseSkipsTheRow)
{
    Fill(3);
    std::vector<std::string> stages;
    list->OnCustomDraw = [&](TCustomListView*, const TRect&, bool&) { stages.push_back("control"); };
    list->OnAdvancedCustomDraw = [&](TCustomListView*, const TRect&, TCustomDrawStage stage, bool&) {
        stages.push_back(stage == cdPrePaint ? "advanced pre" : stage == cdPostPaint ? "advanced post" : "advanced erase");
    };
    list->OnCustomDrawItem = [&](TCustomListView* sender, TListItem* item, TCustomDrawState, bool& defaultDraw) {
        stages.push_back("item " + std::string(item->Caption().c_str()));
        defaultDraw = item->Index() != 1;
        sender->Canvas()->Font()->SetColor(clRed);
    };
    list->OnCustomDrawSubItem = [&](TCustomListView*, TListItem* item, int subItem, TCustomDrawState, bool&) {
        if (item->Index() == 0)
            stages.push_back("sub " + std::to_string(subItem));
    };
    Show();
    stages.clear();
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_GE(stages.size(), 6u);
    EXPECT_EQ(stages[0], "control");
    EXPECT_EQ(stages[1], "advanced pre");
    EXPECT_EQ(stages[2], "item Item 0");
    EXPECT_EQ(stages.back(), "advanced post");
    EXPECT_NE(std::find(stages.begin(), stages.end(), "sub 2"), stages.end());
    const PixelImage shot = PrintWindowPixels(list->Handle());
    const TRect row0 = list->Items()->Item(0)->DisplayRect(drLabel), row1 = list->Items()->Item(1)->DisplayRect(drLabel);
    auto count = [&](const TRect& r, COLORREF c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += shot.Pixel(x + 2, y + 2) == c;
        return n;
    };
    EXPECT_GT(count(row0, RGB(255, 0, 0)), 0) << "the canvas's font colour draws the row";
    EXPECT_EQ(count(row1, RGB(255, 255, 255)), (row1.right - row1.left) * (row1.bottom - row1.top))
        << "a row whose default drawing is off stays empty";
}

TEST_F(ListViewTest, CaptionEditingAsksOnEditingAndKeepsWhatOnEditedLeaves)
{
    Fill(3);
    Show();
    list->SetFocus();
    bool allow = false;
    list->OnEditing = [&](TObject*, TListItem*, bool& a) { a = allow; };
    std::vector<AnsiString> edited;
    list->OnEdited = [&](TObject*, TListItem*, AnsiString& s) {
        edited.push_back(s);
        s += "!";
    };
    TListItem* item = list->Items()->Item(1);
    EXPECT_FALSE(item->EditCaption()) << "OnEditing refuses";
    allow = true;
    list->SetReadOnly(true);
    EXPECT_FALSE(item->EditCaption()) << "read-only";
    list->SetReadOnly(false);
    ASSERT_TRUE(item->EditCaption());
    EXPECT_TRUE(list->IsEditing());
    HWND edit = ListView_GetEditControl(list->Handle());
    SetWindowTextA(edit, "Renamed");
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpPending();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(edited.empty()) << "a cancelled edit tells nobody";
    EXPECT_EQ(item->Caption(), "Item 1");
    ASSERT_TRUE(item->EditCaption());
    edit = ListView_GetEditControl(list->Handle());
    SetWindowTextA(edit, "Renamed");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], "Renamed");
    EXPECT_EQ(item->Caption(), "Renamed!");
    EXPECT_EQ(WindowText(1, 0), "Renamed!");
}

TEST_F(ListViewTest, SortingReordersTheItemsWhichKeepTheirSelection)
{
    list->SetMultiSelect(true);
    Show();
    for (const char* s : {"delta", "alpha", "charlie", "bravo"})
        list->Items()->Add()->SetCaption(s);
    list->Items()->Item(0)->SetSelected(true); // delta
    auto captions = [&] {
        std::string all;
        for (int i = 0; i < list->Items()->Count(); ++i)
            all += std::string(WindowText(i, 0).c_str()) + " ";
        return all;
    };
    list->AlphaSort();
    EXPECT_EQ(captions(), "alpha bravo charlie delta ");
    EXPECT_EQ(WindowSelection(), std::vector<int>{3});
    EXPECT_EQ(list->Items()->Item(3)->Index(), 3);
    int seen = -1;
    list->OnCompare = [&](TObject*, TListItem* a, TListItem* b, int data, int& result) {
        seen = data;
        result = -lstrcmpA(a->Caption().c_str(), b->Caption().c_str());
    };
    list->CustomSort(nullptr, 7);
    EXPECT_EQ(captions(), "delta charlie bravo alpha ");
    EXPECT_EQ(seen, 7);
    EXPECT_EQ(WindowSelection(), std::vector<int>{0});
    list->CustomSort([](TListItem* a, TListItem* b, int) { return static_cast<int>(a->Caption().size() - b->Caption().size()); }, 0);
    EXPECT_EQ(captions(), "delta bravo alpha charlie ") << "stable: equal lengths keep their order";
    // A comparison that contradicts itself leaves every item in the list.
    unsigned seed = 1;
    list->CustomSort([&](TListItem*, TListItem*, int) { return static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % 3 - 1; }, 0);
    std::string sorted = captions();
    for (const char* s : {"alpha ", "bravo ", "charlie ", "delta "})
        EXPECT_NE(sorted.find(s), std::string::npos) << s;
}

TEST_F(ListViewTest, SelectionChangesOfTheWindowReachTheModelAsEvents)
{
    list->SetMultiSelect(true);
    Fill(5);
    Show();
    std::vector<std::string> events;
    list->OnSelectItem = [&](TObject*, TListItem* item, bool selected) {
        events.push_back(std::string(item->Caption().c_str()) + (selected ? " on" : " off"));
    };
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    const TPoint p = Centre(list->Items()->Item(2)->DisplayRect(drLabel));
    ClickAt(list->Handle(), p.x, p.y);
    EXPECT_EQ(events, std::vector<std::string>{"Item 2 on"});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemFocused(), list->Items()->Item(2));
    events.clear();
    ListView_SetItemState(list->Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(events, (std::vector<std::string>{"Item 0 on", "Item 1 on", "Item 3 on", "Item 4 on"}));
    EXPECT_EQ(list->SelCount(), 5);
    events.clear();
    list->Items()->Item(4)->SetSelected(false);
    EXPECT_EQ(events, std::vector<std::string>{"Item 4 off"});
    events.clear();
    list->ClearSelection();
    EXPECT_EQ(events, (std::vector<std::string>{"Item 0 off", "Item 1 off", "Item 2 off", "Item 3 off"}));
    EXPECT_EQ(list->Selected(), nullptr);
    // A single-selection list: a click on another row takes the selection from the first.
    list->SetMultiSelect(false);
    ClickAt(list->Handle(), p.x, p.y);
    events.clear();
    const TPoint q = Centre(list->Items()->Item(4)->DisplayRect(drLabel));
    ClickAt(list->Handle(), q.x, q.y);
    EXPECT_EQ(events, (std::vector<std::string>{"Item 2 off", "Item 4 on"}));
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListViewTest, ColumnsCarryAnImageFlagOnlyWithAPictureAndReportClicks)
{
    list->Column(2)->SetImageIndex(0);
    Show();
    HWND header = ListView_GetHeader(list->Handle());
    auto format = [&](int i) {
        HDITEMA hi{};
        hi.mask = HDI_FORMAT;
        Header_GetItem(header, i, &hi);
        return hi.fmt;
    };
    EXPECT_FALSE(format(1) & HDF_IMAGE);
    EXPECT_TRUE(format(2) & HDF_IMAGE);
    list->Column(2)->SetImageIndex(-1);
    EXPECT_FALSE(format(2) & HDF_IMAGE) << "a picture taken away leaves no room";
    list->Column(1)->SetImageIndex(1);
    EXPECT_TRUE(format(1) & HDF_IMAGE) << "and one given gets it";
    TListColumn* clicked = nullptr;
    list->OnColumnClick = [&](TObject*, TListColumn* c) { clicked = c; };
    RECT r;
    Header_GetItemRect(header, 1, &r);
    ClickAt(header, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(clicked, list->Column(1));
    list->SetViewStyle(vsList);
    EXPECT_EQ(GetWindowLongA(list->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
}

// Shift+F10 and the context key, typed, open the list's menu below its focused item; with no item
// focused, or the item scrolled out of sight, at the list's corner.
TEST_F(ListViewTest, TheMenuKeysOpenThePopUpMenuBelowTheFocusedItem)
{
    // The menu made first: the menus' unit puts its hook in place then.
    list->SetPopupMenu(Create<TPopupMenu>(form));
    static std::vector<POINT> shown;
    auto* saved = PopupMenuHook;
    PopupMenuHook = [](TPopupMenu*, TControl*, int X, int Y) {
        shown.push_back(POINT{X, Y});
        return true;
    };
    AtTearDown([saved] { PopupMenuHook = saved; });
    Fill(40);
    Show();
    SetForegroundWindow(form->Handle());
    const TPoint p = Centre(list->Items()->Item(2)->DisplayRect(drLabel));
    ClickAt(list->Handle(), p.x, p.y);
    list->SetFocus();
    auto type = [](std::initializer_list<BYTE> Held) {
        for (BYTE k : Held)
            keybd_event(k, 0, 0, 0);
        for (BYTE k : Held)
            keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
    };
    auto menuAt = [&](std::initializer_list<BYTE> Held) {
        shown.clear();
        type(Held);
        const DWORD start = GetTickCount();
        while (shown.empty() && GetTickCount() - start < testkit::kPatienceMs) {
            Application->ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return shown.size() == 1 ? shown[0] : POINT{-1, -1};
    };
    auto screen = [&](int X, int Y) {
        POINT s{X, Y};
        ClientToScreen(list->Handle(), &s);
        return std::pair{s.x, s.y};
    };
    auto pair = [](POINT s) { return std::pair{s.x, s.y}; };

    // Down moves to the fourth row: both keys open below its label.
    type({VK_DOWN});
    ASSERT_TRUE(PumpUntil([&] { return ListView_GetNextItem(list->Handle(), -1, LVNI_FOCUSED) == 3; }));
    RECT label{};
    ListView_GetItemRect(list->Handle(), 3, &label, LVIR_LABEL);
    EXPECT_EQ(pair(menuAt({VK_SHIFT, VK_F10})), screen(label.left, label.bottom));
    EXPECT_EQ(pair(menuAt({VK_APPS})), screen(label.left, label.bottom));

    // The focused row scrolled away, and no row focused: the corner.
    ListView_EnsureVisible(list->Handle(), 39, FALSE);
    EXPECT_EQ(pair(menuAt({VK_SHIFT, VK_F10})), screen(0, 0));
    ListView_SetItemState(list->Handle(), -1, 0, LVIS_FOCUSED);
    ListView_EnsureVisible(list->Handle(), 0, FALSE);
    EXPECT_EQ(pair(menuAt({VK_APPS})), screen(0, 0));
}
