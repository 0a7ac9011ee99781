// List boxes and combo boxes: items without a window, selection events, keys of the inner edit,
// owner drawing and state kept across re-creation.
#include "FormTest.h"
#include "StdCtrls.h"
#include "TestKit.h"

#include <array>
#include <vector>

using namespace testkit;

namespace {

// Posts a key press to a window and runs it through the application's message loop (the
// keyboard pipeline and TranslateMessage), with Shift held in the thread's key state when asked.
void PressKey(HWND Target, Word Key, bool Shift = false)
{
    std::array<BYTE, 256> saved{}, keys{};
    GetKeyboardState(saved.data());
    keys = saved;
    if (Shift)
        keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys.data());
    UINT scan = MapVirtualKeyA(Key, 0);
    PostMessageA(Target, WM_KEYDOWN, Key, static_cast<LPARAM>(1 | (scan << 16)));
    Application->ProcessMessages();
    PostMessageA(Target, WM_KEYUP, Key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    Application->ProcessMessages();
    SetKeyboardState(saved.data());
}

class ListsTest : public FormTest {
protected:
    TForm* ShownForm()
    {
        TForm* form = MakeForm();
        form->SetBounds(50, 50, 400, 300);
        form->Show();
        return form;
    }
};

} // namespace

TEST_F(ListsTest, HiddenListBoxKeepsItemsWithoutAWindowAndHandsThemToItsWindow)
{
    TForm* form = MakeForm();
    auto* list = Create<TListBox>(form);
    list->SetParent(form);
    list->SetVisible(false);
    TObject marker;
    for (int i = 0; i < 50; ++i)
        list->Items()->Add("page" + IntToStr(i));
    list->Items()->PutObject(3, &marker);
    list->SetItemIndex(7);
    list->Items()->Delete(0);
    list->Items()->Insert(0, "first");
    EXPECT_FALSE(list->HandleAllocated()) << "the items need no window";
    EXPECT_EQ(list->Items()->Count(), 50);
    EXPECT_EQ(list->Items()->Get(0), "first");
    EXPECT_EQ(list->Items()->Get(49), "page49");
    EXPECT_EQ(list->Items()->IndexOf("PAGE10"), 10) << "IndexOf ignores case";
    EXPECT_EQ(list->ItemIndex(), 7);
    EXPECT_EQ(list->Items()->Objects(3), &marker);
    EXPECT_EQ(testkit::Refusal<EStringListError>([&] { list->Items()->Get(50); }), "List index out of bounds (50)");

    // The window, when it comes, shows the same list.
    HWND h = list->Handle();
    EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 50);
    EXPECT_EQ(SendMessageA(h, LB_GETCURSEL, 0, 0), 7);
    EXPECT_EQ(list->Items()->Get(25), "page25");
    EXPECT_EQ(list->Items()->Objects(3), &marker);

    // And back: a list whose window is destroyed keeps everything.
    list->Items()->Add("last");
    list->DestroyHandle();
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->Items()->Count(), 51);
    EXPECT_EQ(list->Items()->Get(50), "last");
    EXPECT_EQ(list->ItemIndex(), 7);
}

TEST_F(ListsTest, ListBoxRecreateKeepsItemsSelectionAndTopIndex)
{
    TForm* form = ShownForm();
    auto* list = Create<TListBox>(form);
    list->SetParent(form);
    list->SetBounds(5, 5, 150, 100);
    for (int i = 0; i < 40; ++i)
        list->Items()->Add("item" + IntToStr(i));
    list->SetItemIndex(20);
    list->SetTopIndex(15);
    int top = list->TopIndex();
    HWND before = list->Handle();
    list->RecreateWnd();
    EXPECT_NE(list->Handle(), before);
    EXPECT_EQ(list->Items()->Count(), 40);
    EXPECT_EQ(list->ItemIndex(), 20);
    EXPECT_EQ(list->TopIndex(), top);

    // Sorted re-creates and sorts; multi-select keeps each item's selection.
    list->SetSorted(true);
    EXPECT_EQ(list->Items()->Get(0), "item0");
    EXPECT_EQ(list->Items()->Get(1), "item1");
    EXPECT_EQ(list->Items()->Get(2), "item10");
    list->SetItemIndex(-1);
    list->SetMultiSelect(true);
    list->SetSelected(1, true);
    list->SetSelected(5, true);
    EXPECT_EQ(list->SelCount(), 2);
    list->RecreateWnd();
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(1));
    EXPECT_TRUE(list->Selected(5));
    EXPECT_FALSE(list->Selected(2));
}

TEST_F(ListsTest, ListBoxClickAndOwnerDrawing)
{
    TForm* form = ShownForm();
    auto* list = Create<TListBox>(form);
    list->SetParent(form);
    list->SetBounds(5, 5, 150, 120);
    list->SetStyle(lbOwnerDrawVariable);
    int measured = 0;
    std::vector<int> drawn;
    bool sawSelected = false;
    list->OnMeasureItem = [&](TWinControl*, int Index, int& Height) {
        ++measured;
        Height = 20 + Index;
    };
    list->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        EXPECT_EQ(Control, list);
        drawn.push_back(Index);
        if (State.Contains(odSelected))
            sawSelected = true;
        static_cast<TListBox*>(Control)->Canvas()->FillRect(Rect);
    };
    list->Items()->Add("a");
    list->Items()->Add("b");
    list->Items()->Add("c");
    EXPECT_EQ(measured, 3);
    EXPECT_EQ(list->ItemRect(2).bottom - list->ItemRect(2).top, 22);
    EXPECT_EQ(list->ItemAtPos(TPoint{10, 25}, true), 1);
    EXPECT_EQ(list->ItemAtPos(TPoint{10, 110}, true), -1);
    EXPECT_EQ(list->ItemAtPos(TPoint{10, 110}, false), 3);

    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0) << "setting ItemIndex in code is no click";
    // A click by the user: the list reports LBN_SELCHANGE.
    RECT r = list->ItemRect(2);
    PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 5));
    PostMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 5));
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    UpdateWindow(list->Handle());
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(drawn.empty());
    EXPECT_TRUE(sawSelected);
}

TEST_F(ListsTest, ComboBoxOnSelectSeesTheChosenText)
{
    TForm* form = ShownForm();
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 21);
    combo->Items()->Add("alpha");
    combo->Items()->Add("beta");
    combo->Items()->Add("gamma");
    combo->SetText("typed");
    std::vector<AnsiString> seen;
    int changes = 0;
    combo->OnSelect = [&](TObject*) { seen.push_back(combo->Text()); };
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetFocus();
    Application->ProcessMessages();
    ASSERT_NE(combo->EditHandle(), nullptr);
    PressKey(combo->EditHandle(), VK_DOWN);
    PressKey(combo->EditHandle(), VK_DOWN);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "alpha");
    EXPECT_EQ(seen[1], "beta");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 0) << "with OnSelect set, a selection is not also a change";

    // Typing is a change.
    PostMessageA(combo->EditHandle(), WM_CHAR, 'x', 1);
    Application->ProcessMessages();
    EXPECT_EQ(changes, 1);
}

TEST_F(ListsTest, ComboBoxKeysOfTheInnerEditReachItsEvents)
{
    TForm* form = ShownForm();
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 21);
    combo->SetText("address");
    std::vector<std::pair<Word, bool>> downs;
    std::vector<char> presses;
    combo->OnKeyDown = [&](TObject* Sender, Word& Key, TShiftState Shift) {
        EXPECT_EQ(Sender, combo);
        downs.emplace_back(Key, Shift.Contains(ssShift));
    };
    combo->OnKeyPress = [&](TObject*, char& Key) { presses.push_back(Key); };
    combo->SetFocus();
    Application->ProcessMessages();
    PressKey(combo->EditHandle(), VK_DELETE, true);
    PressKey(combo->EditHandle(), VK_RETURN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0], std::make_pair(Word(VK_DELETE), true));
    EXPECT_EQ(downs[1], std::make_pair(Word(VK_RETURN), false));
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], 13);

    // A handler that clears the key stops it.
    combo->OnKeyPress = [&](TObject*, char& Key) { Key = 0; };
    PostMessageA(combo->EditHandle(), WM_CHAR, 'z', 1);
    Application->ProcessMessages();
    EXPECT_EQ(combo->Text().find('z'), AnsiString::npos);
}

// The edit of a combo box (whose style keeps its selection shown) shows no selection once the focus
// has left it.
TEST_F(ListsTest, ComboBoxEditDropsItsSelectionWhenTheFocusLeaves)
{
    TForm* form = ShownForm();
    SetForegroundWindow(form->Handle());
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 21);
    combo->SetText("address");
    auto* other = Create<TEdit>(form);
    other->SetParent(form);
    other->SetBounds(10, 40, 200, 21);
    auto selection = [combo] {
        DWORD from = 0, to = 0;
        SendMessageA(combo->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return to - from;
    };
    combo->SetFocus();
    combo->SelectAll();
    EXPECT_EQ(selection(), 7u);
    other->SetFocus();
    EXPECT_EQ(selection(), 0u);
}

TEST_F(ListsTest, ComboBoxItemsFilesHiddenStateAndRecreate)
{
    TempDir dir;
    TForm* form = MakeForm();
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    WriteFileBytes(dir / "hist.txt", "one\r\ntwo\r\nтри\r\n");
    combo->Items()->LoadFromFile(dir / "hist.txt");
    combo->SetItemIndex(2);
    EXPECT_FALSE(combo->HandleAllocated());
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Text(), "три");

    form->Show();
    EXPECT_TRUE(combo->HandleAllocated());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "три");
    combo->Items()->Add("four");
    combo->Items()->SaveToFile(dir / "out.txt");
    EXPECT_EQ(ReadFileBytes(dir / "out.txt"), "one\r\ntwo\r\nтри\r\nfour\r\n");

    combo->SetText("edited");
    combo->RecreateWnd();
    EXPECT_EQ(combo->Items()->Count(), 4);
    EXPECT_EQ(combo->Text(), "edited");
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->EditHandle(), nullptr);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "two");
    combo->SetText("four");
    EXPECT_EQ(combo->ItemIndex(), 3) << "a list without an edit shows the item of that text";
    combo->Clear();
    EXPECT_EQ(combo->Items()->Count(), 0);
}

namespace {
// A combo box that notes which of its inner windows passed a message through it, and what
// CM_CANCELMODE said.
class TNotingCombo : public TComboBox {
    VCL_CLASS(TNotingCombo, TComboBox)
public:
    using TComboBox::TComboBox;
    std::vector<HWND> passed;
    TControl* cancelSender = nullptr;
    int cancels = 0;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_CANCELMODE) {
            ++cancels;
            cancelSender = reinterpret_cast<TControl*>(Message.LParam);
        }
        inherited::Dispatch(Message);
    }

protected:
    void ComboWndProc(TMessage& Message, HWND ComboWnd) override
    {
        if (Message.Msg == WM_MOUSEMOVE)
            passed.push_back(ComboWnd);
        inherited::ComboWndProc(Message, ComboWnd);
    }
};
} // namespace

TEST_F(ListsTest, ComboBoxHearsItsListAndAPressElsewhere)
{
    TForm* form = ShownForm();
    auto* combo = Create<TNotingCombo>(form);
    combo->SetParent(form);
    auto* box = Create<TGraphicControl>(form); // a control that takes no focus
    box->SetParent(form);
    box->SetBounds(10, 100, 80, 25);
    ASSERT_NE(combo->ListHandle(), nullptr);
    SendMessageA(combo->EditHandle(), WM_MOUSEMOVE, 0, 0);
    SendMessageA(combo->ListHandle(), WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(combo->passed, std::vector<HWND>{combo->EditHandle()}) << "the closed list is left alone";
    combo->SetDroppedDown(true);
    SendMessageA(combo->ListHandle(), WM_MOUSEMOVE, 0, 0);
    combo->SetDroppedDown(false);
    SendMessageA(combo->ListHandle(), WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(combo->passed, (std::vector<HWND>{combo->EditHandle(), combo->ListHandle()})) << "the open list";

    // The focused combo is the form's active control: a press elsewhere tells it.
    SetForegroundWindow(form->Handle());
    combo->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return form->Active() && form->ActiveControl() == combo; }, "combo active"));
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 105));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 105));
    EXPECT_EQ(combo->cancels, 1);
    EXPECT_EQ(combo->cancelSender, box);
}
