// The combo box family of its own: the index set while loading, completion and Backspace in an
// edit, the search by typing in a list on the test's clock, Enter and Escape on an open list, the
// rows of the dropped list, long items, an index kept across a new window, the button's place;
// and the combo box with pictures: items made before its window, the image list freed, indents,
// items copied, and items of the window beyond the collection.
#include <gtest/gtest.h>

#include "../skin_scroll_gui/ScrollKit.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "sComboBoxes.h"
#include "sVclUtils.h"

namespace {

class ComboFamily : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(50, 50, 400, 300);
    }
    template <class T = TsCommonComboBox>
    T* Make(TComboBoxStyle Style, std::initializer_list<const char*> Items = {"apple", "banana", "berry", "cherry"})
    {
        auto* c = Create<T>(form);
        c->SetBounds(10, 10 + 30 * (form->ControlCount() % 8), 150, 22);
        c->SetParent(form);
        c->SetStyle(Style);
        for (const char* s : Items)
            c->Items()->Add(s);
        return c;
    }
    static void Type(HWND Wnd, char Key) { SendMessageA(Wnd, WM_CHAR, static_cast<Byte>(Key), 0); }
    // Runs the application's loop (keys reach the controls as the program gets them) until Done
    // holds or the kit's patience has passed.
    static bool RunUntil(const std::function<bool()>& Done)
    {
        for (const ULONGLONG until = GetTickCount64() + testkit::kPatienceMs; !Done() && GetTickCount64() < until;) {
            Application->ProcessMessages();
            Sleep(10);
        }
        return Done();
    }
    static std::pair<int, int> Selection(TsCommonCombo* C) { return {C->SelStart(), C->SelStart() + C->SelLength()}; }
    TForm* form = nullptr;
    Cardinal now = 1000;
    SysUtils::TTickClockOverride clock{[this] { return now; }};
};

// A combo box whose next window starts with a kept index.
class TKeepingCombo : public TsCommonComboBox {
    VCL_CLASS(TKeepingCombo, TsCommonComboBox)
public:
    using TsCommonComboBox::TsCommonComboBox;
    int Kept = -1;

protected:
    void DestroyWnd() override
    {
        inherited::DestroyWnd();
        FSaveIndex = Kept;
    }
};

TImageList* MakeImages(TComponent* Owner)
{
    auto* images = Create<TImageList>(Owner);
    images->SetSize(16, 16);
    TBitmap bmp(16, 16, pf24bit);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images->Add(&bmp, nullptr);
    return images;
}

} // namespace

TEST_F(ComboFamily, AnIndexSetWhileLoadingAndItemsMadeBeforeTheWindowArriveWithIt)
{
    BeginLoading(form);
    auto* c = Create<TsComboBoxEx>(form);
    c->SetBounds(10, 10, 150, 22);
    c->ItemsEx()->AddItem("Избранная", 35, 35);
    c->ItemsEx()->AddItem("Прочитанная", 8, 8);
    c->ItemsEx()->AddItem("Новая", 2, 2);
    c->SetItemIndex(2);
    EXPECT_EQ(c->ItemIndex(), 2) << "kept while loading";
    c->SetParent(form);
    LoadedAll(form);
    EXPECT_EQ(c->Items()->Text(), "Избранная\r\nПрочитанная\r\nНовая\r\n");
    EXPECT_EQ(SendMessageA(c->Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(c->Style(), csOwnerDrawVariable);
}

TEST_F(ComboFamily, AnEditCompletesWhatIsTypedAndBackspaceTakesExactlyTheSelection)
{
    auto* c = Make(csDropDown);
    form->Show();
    int selects = 0;
    c->OnSelect = [&](TObject*) { ++selects; };
    Type(c->EditHandle(), 'b');
    EXPECT_EQ(c->Text(), "banana");
    EXPECT_EQ(Selection(c), std::make_pair(1, 6)) << "the completed tail is selected";
    Type(c->EditHandle(), 'e');
    EXPECT_EQ(c->Text(), "berry");
    EXPECT_EQ(Selection(c), std::make_pair(2, 5));
    EXPECT_EQ(c->ItemIndex(), 2);
    EXPECT_EQ(selects, 2);
    Type(c->EditHandle(), '\b');
    EXPECT_EQ(c->Text(), "be") << "the selection alone goes";
    EXPECT_EQ(Selection(c), std::make_pair(2, 2));
    EXPECT_EQ(c->ItemIndex(), -1);
    c->SetSelStart(0);
    Type(c->EditHandle(), '\b');
    EXPECT_EQ(c->Text(), "be") << "nothing before the caret";
}

TEST_F(ComboFamily, AListSearchesWhatIsTypedWithinHalfASecond)
{
    auto* c = Make(csDropDownList);
    form->Show();
    Type(c->Handle(), 'b');
    now += 499;
    Type(c->Handle(), 'e');
    EXPECT_EQ(c->ItemIndex(), 2) << "\"be\"";
    now += 500;
    Type(c->Handle(), 'c');
    EXPECT_EQ(c->ItemIndex(), 3) << "a new prefix";
}

TEST_F(ComboFamily, EnterAndEscapeCloseAnOpenListAndGoNoFurther)
{
    auto* c = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    for (const char* s : {"one", "two"})
        c->ItemsEx()->AddItem(s);
    c->UpdateList();
    auto* ok = Create<TButton>(form);
    ok->SetDefault(true);
    ok->SetBounds(200, 200, 75, 25);
    ok->SetParent(form);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    SetForegroundWindow(form->Handle());
    c->SetFocus();
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        c->SetDroppedDown(true);
        ASSERT_TRUE(c->DroppedDown());
        PostMessageA(c->Handle(), WM_KEYDOWN, key, 1);
        PostMessageA(c->Handle(), WM_CHAR, key, 1);
        PostMessageA(c->Handle(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        EXPECT_TRUE(RunUntil([&] { return !c->DroppedDown(); })) << key;
        Application->ProcessMessages();
    }
    EXPECT_EQ(clicks, 0) << "the default button heard nothing";
    PostMessageA(c->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    RunUntil([&] { return clicks == 1; });
    EXPECT_EQ(clicks, 1) << "with the list closed Enter reaches the form";
    // A click into an edit's box after another button had the focus: Enter is the default's again.
    auto* other = Create<TButton>(form);
    other->SetBounds(200, 240, 75, 25);
    other->SetParent(form);
    other->SetFocus();
    auto* e = Make(csDropDown);
    e->HandleNeeded();
    ::SetFocus(e->EditHandle());
    PostMessageA(e->EditHandle(), WM_KEYDOWN, VK_RETURN, 1);
    RunUntil([&] { return clicks == 2; });
    EXPECT_EQ(clicks, 2);
}

TEST_F(ComboFamily, TheDroppedListHasBetweenOneRowAndDropDownCount)
{
    auto* empty = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    auto* full = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    for (int i = 0; i < 30; ++i)
        full->ItemsEx()->AddItem("item " + IntToStr(i));
    full->UpdateList();
    form->Show();
    for (auto [c, rows] : {std::pair{empty, 1}, std::pair{full, 14}}) {
        c->SetFocus();
        c->SetDroppedDown(true);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(c->Handle(), &info));
        RECT r{};
        GetClientRect(info.hwndList, &r);
        EXPECT_EQ(r.bottom / 16, rows);
        c->SetDroppedDown(false);
    }
}

TEST_F(ComboFamily, ItemsLongerThanFourKilobytesAndAKeptIndexPastTheItems)
{
    auto* c = Make(csDropDownList, {});
    const AnsiString longItem(5000, 'x');
    c->Items()->Add(longItem);
    EXPECT_EQ(c->Items()->Get(0), longItem);

    auto* kept = Make<TKeepingCombo>(csDropDownList, {"a", "b", "c"});
    kept->Kept = 7;
    kept->SetStyle(csDropDown); // a new window
    EXPECT_EQ(kept->Items()->Count(), 3);
    EXPECT_EQ(kept->ItemIndex(), 2) << "the last item at most";
}

TEST_F(ComboFamily, TheButtonStaysInsideTheBoxOnEitherSide)
{
    EXPECT_EQ(ComboButtonRect(145, 22, TPoint{11, 11}, false), (TRect{145 - 11 - 5, 5, 145 - 5, 17}));
    EXPECT_EQ(ComboButtonRect(145, 22, TPoint{11, 11}, true), (TRect{5, 5, 16, 17}));
    EXPECT_EQ(ComboButtonRect(145, 22, TPoint{0, 0}, false), TRect{});
}

TEST_F(ComboFamily, PicturesFollowTheImageListIndentsAndTheItemsOfTheCollectionOnly)
{
    auto* c = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    TImageList* images = MakeImages(form);
    c->SetImages(images);
    c->ItemsEx()->AddItem("flat", 0, 0);
    c->ItemsEx()->AddItem("deep", 0, 0, -1, 2);
    c->UpdateList();
    const int at = (c->Height() - 16) / 2;
    EXPECT_EQ(c->ImgRect(c->ItemsEx()->Items(0), {}).left, at);
    EXPECT_EQ(c->ImgRect(c->ItemsEx()->Items(1), {}).left, at + 32) << "indent 2 is 32 pixels";
    EXPECT_EQ(c->ImgRect(c->ItemsEx()->Items(1), TOwnerDrawState{odComboBoxEdit}).left, at) << "not in the edit part";

    // Items of the window beyond the collection are drawn without one.
    c->Items()->Add("extra");
    c->SetItemIndex(2);
    TBitmap bmp(150, 22, pf24bit);
    {
        TLentCanvas lent(c->Canvas(), bmp.Canvas()->Handle());
        EXPECT_NO_THROW(c->DrawItem(2, Rect(0, 0, 150, 16), {}));
        EXPECT_NO_THROW(c->DrawItem(2, Rect(3, 3, 147, 19), TOwnerDrawState{odComboBoxEdit}));
    }

    // The image list goes: the box forgets it and still paints.
    c->SetItemIndex(0);
    images->Free();
    EXPECT_EQ(c->Images(), nullptr);
    ScriptBoxes();
    form->Show();
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    testkit::WaitIdle();
    EXPECT_TRUE(boxes.empty());
    const testkit::PixelImage shot = testkit::ScreenPixels(c->Handle());
    EXPECT_EQ(shot.CountColor(RECT{0, 0, c->Width(), c->Height()}, RGB(255, 0, 0)), 0) << "no picture";
}

TEST_F(ComboFamily, ItemCollectionsAreCopiedWhole)
{
    auto* a = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    auto* b = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    int data = 0;
    a->ItemsEx()->AddItem("Новая", 2, 3, 4, 1, &data);
    b->SetItemsEx(a->ItemsEx());
    ASSERT_EQ(b->ItemsEx()->Count(), 1);
    const TsComboItem* copy = b->ItemsEx()->Items(0);
    EXPECT_EQ(copy->Caption(), "Новая");
    EXPECT_EQ(copy->ImageIndex(), 2);
    EXPECT_EQ(copy->SelectedImageIndex(), 3);
    EXPECT_EQ(copy->OverlayImageIndex(), 4);
    EXPECT_EQ(copy->Indend(), 1);
    EXPECT_EQ(copy->Data(), &data);
}

TEST_F(ComboFamily, AnEditKeepsItsTextInANewWindowAndARightClickAsksForTheControlsMenu)
{
    TsCommonComboBox* c = Make(csDropDown);
    form->Show();
    c->SetText("своё");
    c->SetSorted(true);
    EXPECT_EQ(c->Text(), "своё") << "sorted";
    c->SetItemHeight(20);
    EXPECT_EQ(c->Text(), "своё") << "item height";
    c->SetCharCase(ecLowerCase);
    EXPECT_EQ(c->Text(), "своё") << "char case";
    c->SetStyle(csSimple);
    EXPECT_EQ(c->Text(), "своё") << "style";
    c->SetItemIndex(2);
    c->SetSorted(false);
    EXPECT_EQ(c->ItemIndex(), 2);
    EXPECT_EQ(c->Text(), "berry");

    // The edit and the list pass a right click to the control, at the control's point.
    auto* menu = Create<TPopupMenu>(form);
    c->SetPopupMenu(menu);
    std::vector<TPoint> asked;
    c->OnContextPopup = [&](TObject*, TPoint At, bool& Handled) {
        asked.push_back(At);
        Handled = true;
    };
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(c->Handle(), &info));
    for (HWND part : {info.hwndItem, info.hwndList}) {
        // Escape waiting in the queue closes the system's own menu should it open.
        PostMessageA(part, WM_KEYDOWN, VK_ESCAPE, 0);
        POINT p{4, 4};
        SendMessageA(part, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        MapWindowPoints(part, c->Handle(), &p, 1);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back(), (TPoint{p.x, p.y}));
        asked.clear();
        testkit::PumpPending();
    }
}

// The edit part of a box without pictures: its text and focused highlight inside the frame when
// skinned, the highlight up to the button without a skin.
TEST_F(ComboFamily, TheEditPartWithoutPicturesStaysInsideTheFrameAndReachesTheButton)
{
    auto* c = Make<TsComboBoxEx>(csOwnerDrawVariable, {});
    c->ItemsEx()->AddItem("Новая", 0, 0);
    c->UpdateList();
    c->SetItemIndex(0);
    const auto marker = static_cast<COLORREF>(0x00123456);
    auto paint = [&](const std::function<void()>& Draw) {
        auto bmp = std::make_unique<TBitmap>(150, 22, pf24bit);
        bmp->Canvas()->Brush()->SetColor(static_cast<TColor>(marker));
        bmp->Canvas()->FillRect(Rect(0, 0, 150, 22));
        TLentCanvas lent(c->Canvas(), bmp->Canvas()->Handle());
        Draw();
        return bmp;
    };
    const auto highlight = static_cast<COLORREF>(ColorToRGB(clHighlight));
    auto plain = paint([&] { c->DrawItem(0, Rect(3, 3, 130, 19), TOwnerDrawState{odComboBoxEdit, odFocused}); });
    EXPECT_EQ(static_cast<COLORREF>(plain->Canvas()->Pixels(128, 10)), highlight) << "up to the button";
    EXPECT_EQ(static_cast<COLORREF>(plain->Canvas()->Pixels(131, 10)), marker);
    for (bool focused : {true, false}) {
        c->SkinData()->Focused = focused;
        auto skinned = paint([&] { c->DrawSkinItem(0, Rect(3, 3, 147, 19), TOwnerDrawState{odComboBoxEdit}); });
        for (int y = 0; y < 22; ++y) {
            for (int x = 0; x < 3; ++x) {
                ASSERT_EQ(static_cast<COLORREF>(skinned->Canvas()->Pixels(x, y)), marker) << focused << " " << x << "," << y;
            }
        }
        if (focused) {
            EXPECT_EQ(static_cast<COLORREF>(skinned->Canvas()->Pixels(4, 10)), highlight);
        }
    }
    c->SkinData()->Focused = false;
}
