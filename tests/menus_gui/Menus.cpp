// Menu items, their menu handles, dispatch of commands, init-popup and owner-draw messages,
// shortcuts, and a real pop-up menu driven by keys.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "Menus.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// A menu owned by a plain component (the part a form plays), freed with it.
class MenusTest : public testkit::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        owner.reset(Create<TComponent>(nullptr));
    }
    void TearDown() override
    {
        owner.reset();
        GuiTest::TearDown();
    }

    TMenuItem* NewItem(const AnsiString& caption, TMenuItem* parent = nullptr)
    {
        TMenuItem* item = Create<TMenuItem>(owner.get());
        item->SetCaption(caption);
        if (parent)
            parent->Add(item);
        return item;
    }

    struct Free {
        void operator()(TComponent* c) const { c->Free(); }
    };
    std::unique_ptr<TComponent, Free> owner;
};

std::string EntryText(HMENU menu, int position)
{
    char buf[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

UINT EntryState(HMENU menu, int position)
{
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE | MIIM_FTYPE;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii);
    return mii.fState | mii.fType;
}

LRESULT SendToPopupList(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(PopupListWindow(), msg, wParam, lParam);
}

} // namespace

TEST_F(MenusTest, FindComparesWithoutCaseAndHotkeyMarks)
{
    TMainMenu* menu = Create<TMainMenu>(owner.get());
    TMenuItem* file = NewItem("&Файл", menu->Items());
    TMenuItem* edit = NewItem("Пр&авка", menu->Items());
    NewItem("Save && Exit", menu->Items());
    EXPECT_EQ(menu->Items()->Find("файл"), file);
    EXPECT_EQ(menu->Items()->Find("ПРАВКА"), edit);
    EXPECT_EQ(menu->Items()->Find("&правка"), edit);
    EXPECT_NE(menu->Items()->Find("save && exit"), nullptr);
    EXPECT_EQ(menu->Items()->Find("Вид"), nullptr);
}

TEST_F(MenusTest, ItemListOperationsAndTheirMenuHandle)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* root = menu->Items();
    TMenuItem* a = NewItem("A", root);
    TMenuItem* c = NewItem("C", root);
    TMenuItem* b = NewItem("B");
    root->Insert(1, b);
    EXPECT_EQ(testkit::Refusal<EMenuError>([&] { root->Insert(0, b); }), "Menu inserted twice") << "an item has one parent";
    TMenuItem* stray = NewItem("x");
    EXPECT_EQ(testkit::Refusal<EMenuError>([&] { root->Insert(9, stray); }), "Menu index out of range");
    stray->Free();
    EXPECT_EQ(testkit::Refusal<EMenuError>([&] { root->Items(3); }), "Menu index out of range");
    EXPECT_EQ(root->IndexOf(b), 1);
    EXPECT_EQ(c->MenuIndex(), 2);
    EXPECT_EQ(b->Parent(), root);
    EXPECT_EQ(b->GetParentMenu(), menu);

    HMENU h = menu->Handle();
    ASSERT_EQ(GetMenuItemCount(h), 3);
    EXPECT_EQ(EntryText(h, 1), "B");

    // Changes after the handle exists rebuild it.
    c->SetMenuIndex(0);
    EXPECT_EQ(EntryText(h, 0), "C");
    b->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(h), 2);
    b->SetVisible(true);
    b->SetShortCut(ShortCut('B', scCtrl));
    b->SetCaption("&Bold");
    EXPECT_EQ(EntryText(h, 2), "&Bold\tCtrl+B");
    b->SetEnabled(false);
    EXPECT_TRUE(EntryState(h, 2) & MFS_GRAYED);
    a->SetChecked(true);
    EXPECT_TRUE(EntryState(h, 1) & MFS_CHECKED);
    NewItem("-", root);
    EXPECT_TRUE(EntryState(h, 3) & MFT_SEPARATOR);

    // A first sub-item turns an item into a submenu.
    NewItem("Sub", a);
    EXPECT_EQ(GetSubMenu(h, 1), a->Handle());
    EXPECT_EQ(GetMenuItemCount(a->Handle()), 1);

    root->Remove(b);
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(GetMenuItemCount(h), 3);
    b->Free();

    root->Delete(root->IndexOf(a)); // frees a and its sub-item
    EXPECT_EQ(root->Count(), 2);
    EXPECT_EQ(owner->FindComponent("") , nullptr);
    root->Clear();
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(GetMenuItemCount(h), 0);
    EXPECT_EQ(owner->ComponentCount(), 1) << "only the menu is left";
}

TEST_F(MenusTest, RadioItemsOfOneGroupExcludeEachOther)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* r1 = NewItem("1", menu->Items());
    TMenuItem* r2 = NewItem("2", menu->Items());
    TMenuItem* other = NewItem("3", menu->Items());
    for (TMenuItem* i : {r1, r2})
        i->SetRadioItem(true), i->SetGroupIndex(1);
    other->SetRadioItem(true);
    other->SetChecked(true);
    r1->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_TRUE(other->Checked()) << "another group is untouched";
    EXPECT_TRUE(EntryState(menu->Handle(), 1) & MFT_RADIOCHECK);
}

TEST_F(MenusTest, CommandsReachTheirItemAndCommandIdsAreUnique)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* a = NewItem("A", menu->Items());
    TMenuItem* b = NewItem("B", menu->Items());
    EXPECT_NE(a->Command(), b->Command());
    TObject* clicked = nullptr;
    b->OnClick = [&](TObject* s) { clicked = s; };
    EXPECT_TRUE(menu->DispatchCommand(static_cast<WORD>(b->Command())));
    EXPECT_EQ(clicked, b);
    clicked = nullptr;
    b->SetEnabled(false);
    EXPECT_TRUE(menu->DispatchCommand(static_cast<WORD>(b->Command())));
    EXPECT_EQ(clicked, nullptr) << "a disabled item does not click";
    EXPECT_FALSE(menu->DispatchCommand(0xFFF0));
    // The pop-up list window hands WM_COMMAND to the menu that has the id.
    b->SetEnabled(true);
    SendToPopupList(WM_COMMAND, b->Command(), 0);
    EXPECT_EQ(clicked, b);
}

TEST_F(MenusTest, AnItemMayFreeItselfInItsOwnClick)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* keep = NewItem("Keep", menu->Items());
    TMenuItem* sub = NewItem("Sub", menu->Items());
    TMenuItem* leaf = NewItem("Leaf", sub);
    HMENU h = menu->Handle();
    ASSERT_EQ(GetMenuItemCount(h), 2);
    int clicks = 0;
    std::string captured = "kept alive by the copy";
    leaf->OnClick = [&, captured](TObject* sender) {
        ++clicks;
        sender->Free();
        // The handler's own state is still there after the item is gone.
        EXPECT_EQ(captured, "kept alive by the copy");
    };
    const UINT leafCmd = leaf->Command();
    SendToPopupList(WM_COMMAND, leafCmd, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sub->Count(), 0);
    EXPECT_EQ(GetMenuItemCount(sub->Handle()), 0);

    // A submenu item that frees itself while its submenu opens.
    sub->OnClick = [](TObject* s) { s->Free(); };
    SendToPopupList(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub->Handle()), 1);
    EXPECT_EQ(menu->Items()->Count(), 1);
    EXPECT_EQ(menu->Items()->Items(0), keep);
    EXPECT_EQ(GetMenuItemCount(h), 1);
    SendToPopupList(WM_COMMAND, leafCmd, 0); // a stale command id is nobody's
    EXPECT_EQ(clicks, 1);
}

TEST_F(MenusTest, InitMenuPopupFiresTheParentItemsClickWhichMayUpdateItsItems)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* recent = NewItem("Recent", menu->Items());
    NewItem("placeholder", recent);
    HMENU h = recent->Handle();
    int clicks = 0;
    recent->OnClick = [&](TObject*) {
        ++clicks;
        recent->Clear();
        NewItem("one", recent);
        NewItem("two", recent);
    };
    SendToPopupList(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(GetMenuItemCount(h), 2);
    EXPECT_EQ(EntryText(h, 1), "two");
    // The system menu flag in the high word means it is not ours.
    SendToPopupList(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), MAKELPARAM(0, 1));
    EXPECT_EQ(clicks, 1);
}

TEST_F(MenusTest, OwnerDrawMessagesAreRoutedToTheRightItem)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* a = NewItem("A", menu->Items());
    TMenuItem* b = NewItem("B", menu->Items());
    TMenuItem* c = NewItem("C", menu->Items());
    menu->SetOwnerDraw(true);
    EXPECT_TRUE(EntryState(menu->Handle(), 0) & MFT_OWNERDRAW);

    TObject* measured = nullptr;
    b->OnMeasureItem = [&](TObject* s, TCanvas* canvas, int& w, int& h) {
        measured = s;
        EXPECT_NE(canvas->Handle(), nullptr);
        EXPECT_GT(w, 0) << "the plain size comes first";
        w = 123;
        h = 31;
    };
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = b->Command();
    EXPECT_EQ(SendToPopupList(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(measured, b);
    EXPECT_EQ(mis.itemWidth, 123u);
    EXPECT_EQ(mis.itemHeight, 31u);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 50, 50);
    HGDIOBJ old = SelectObject(dc, bmp);
    TObject* drawn = nullptr;
    TOwnerDrawState seen;
    RECT seenRect{};
    a->OnAdvancedDrawItem = [&](TObject* s, TCanvas* canvas, RECT r, TOwnerDrawState st) {
        drawn = s;
        seen = st;
        seenRect = r;
        EXPECT_EQ(canvas->Handle(), dc);
    };
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = dc;
    dis.rcItem = RECT{0, 5, 40, 25};
    dis.itemState = ODS_SELECTED | ODS_CHECKED;
    dis.itemID = 0xFFFF;                            // no command id of ours...
    dis.itemData = reinterpret_cast<ULONG_PTR>(a); // ...but the entry's data names the item
    EXPECT_EQ(SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    EXPECT_EQ(drawn, a);
    EXPECT_TRUE(seen.Contains(odSelected) && seen.Contains(odChecked) && !seen.Contains(odDisabled));
    EXPECT_EQ(seenRect.top, 5);

    // Without the advanced handler, the plain draw event gets the selection as a flag.
    bool selectedFlag = false;
    c->OnDrawItem = [&](TObject*, TCanvas*, RECT, bool selected) { selectedFlag = selected; };
    dis.itemID = c->Command();
    dis.itemData = 0;
    SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_TRUE(selectedFlag);

    // An item without handlers is drawn with the plain look (and must not crash).
    dis.itemID = b->Command();
    EXPECT_EQ(SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    // A control's owner-draw message is not the menu's.
    dis.CtlType = ODT_BUTTON;
    EXPECT_EQ(SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), 0);

    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(MenusTest, ShortCutsRunThroughTheParentsAndSkipDisabledItems)
{
    TMainMenu* menu = Create<TMainMenu>(owner.get());
    TMenuItem* file = NewItem("&Файл", menu->Items());
    TMenuItem* save = NewItem("Сохранить", file);
    save->SetShortCut(ShortCut('S', scCtrl));
    std::vector<std::string> order;
    file->OnClick = [&](TObject*) { order.push_back("file"); };
    save->OnClick = [&](TObject*) { order.push_back("save"); };

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    TWMKey key{WM_KEYDOWN, 'S', 0, 0, 0};
    EXPECT_TRUE(menu->IsShortCut(key));
    EXPECT_EQ(order, (std::vector<std::string>{"file", "save"}));

    // The parent's click may disable the item: the key is then not a shortcut.
    file->OnClick = [&](TObject*) { save->SetEnabled(false); };
    order.clear();
    EXPECT_FALSE(menu->IsShortCut(key));
    EXPECT_TRUE(order.empty());

    // A hidden item keeps its shortcut.
    file->OnClick = nullptr;
    save->SetEnabled(true);
    save->SetVisible(false);
    order.clear();
    EXPECT_TRUE(menu->IsShortCut(key));
    EXPECT_EQ(order, (std::vector<std::string>{"save"}));

    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    file->OnClick = nullptr;
    EXPECT_FALSE(menu->IsShortCut(key)) << "plain S is no shortcut";
}

TEST_F(MenusTest, MainMenuIsAMenuBarAndFreesItsItems)
{
    HWND wnd = CreateTestWindow("menu bar");
    TMainMenu* menu = Create<TMainMenu>(owner.get());
    TMenuItem* file = NewItem("&Файл", menu->Items());
    TMenuItem* exit = NewItem("Выход", file);
    exit->SetShortCut(ShortCut('Q', scCtrl));
    file->SetShortCut(ShortCut('F', scAlt));
    SetMenu(wnd, menu->Handle());
    menu->SetWindowHandle(wnd);
    EXPECT_EQ(GetMenu(wnd), menu->Handle());
    EXPECT_EQ(EntryText(menu->Handle(), 0), "&Файл") << "top-line items show no shortcut";
    EXPECT_EQ(EntryText(file->Handle(), 0), "Выход\tCtrl+Q");
    file->SetCaption("&File");
    EXPECT_EQ(EntryText(GetMenu(wnd), 0), "&File");

    int changes = 0;
    menu->OnChange = [&](TObject*, TMenuItem* source, bool) {
        ++changes;
        EXPECT_EQ(source, exit);
    };
    exit->SetChecked(true);
    EXPECT_EQ(changes, 1);
    menu->OnChange = nullptr;

    // Freeing the menu takes it off the window and frees its items (they are owned by the
    // component above, which forgets them).
    const int before = owner->ComponentCount();
    menu->Free();
    EXPECT_EQ(GetMenu(wnd), nullptr);
    EXPECT_EQ(owner->ComponentCount(), before - 3);
}

// Keys go to the menu's modal loop through the queue of its owner (posted from a timer that ticks
// inside the loop): a command chosen clicks once the menu has closed, Escape clicks nothing; either
// way the window that had the focus has it again, even when the menu's window took it meanwhile.
TEST_F(MenusTest, RealPopupMenuChosenWithKeysClicksAfterItClosesAndTheFocusComesBack)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* first = NewItem("Первый", menu->Items());
    TMenuItem* second = NewItem("Второй", menu->Items());
    int popups = 0;
    TObject* clicked = nullptr;
    menu->OnPopup = [&](TObject*) {
        ++popups;
        first->SetEnabled(false); // OnPopup comes before the menu is built and shown
    };
    first->OnClick = [&](TObject* s) { clicked = s; };
    second->OnClick = [&](TObject* s) { clicked = s; };
    HWND form = CreateTestWindow("menu");
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, form, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ShowWindow(form, SW_SHOW);
    SetForegroundWindow(form);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);

    static std::vector<WPARAM> keys;
    struct Driver {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            // The menu's window in front meanwhile, as the system may put it there.
            SetForegroundWindow(PopupListWindow());
            for (WPARAM key : keys)
                PostMessageA(PopupListWindow(), WM_KEYDOWN, key, 0);
            KillTimer(nullptr, id);
        }
    };
    const struct {
        std::vector<WPARAM> keys;
        TMenuItem* chosen;
    } cases[] = {
        {{VK_DOWN, VK_DOWN, VK_RETURN}, second}, // the first Down highlights the disabled first item
        {{VK_ESCAPE}, nullptr},
    };
    for (const auto& c : cases) {
        keys = c.keys;
        clicked = nullptr;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &Driver::Tick);
        menu->Popup(200, 200);
        KillTimer(nullptr, timer);
        EXPECT_EQ(GetFocus(), edit) << "chosen " << (c.chosen != nullptr);
        EXPECT_EQ(clicked, nullptr) << "a click comes from the queue, after Popup returned";
        if (c.chosen)
            EXPECT_TRUE(WaitFor([&] { return clicked != nullptr; }, "the chosen item's click"));
        else
            testkit::PumpPending();
        EXPECT_EQ(clicked, c.chosen);
    }
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(menu->PopupPoint().x, 200);
}

TEST_F(MenusTest, PlainOwnerDrawShowsTheImageOfTheItemAndForgetsAFreedImageList)
{
    TPopupMenu* menu = Create<TPopupMenu>(owner.get());
    TMenuItem* item = NewItem("Картинка", menu->Items());
    auto* images = Create<TCustomImageList>(owner.get(), 24, 24);
    TBitmap red(24, 24);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(RECT{0, 0, 24, 24});
    ASSERT_EQ(images->Add(&red, nullptr), 0);
    menu->SetImages(images);
    item->SetImageIndex(0);
    menu->SetOwnerDraw(true);

    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = item->Command();
    SendToPopupList(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_GE(mis.itemHeight, 28u) << "room for the image";

    TBitmap target(200, 40);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = target.Canvas()->Handle();
    dis.itemID = item->Command();
    dis.rcItem = RECT{0, 0, 200, 40};
    SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(target.Canvas()->Pixels(10, 20), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(190, 2), ColorToRGB(clMenu)) << "the plain menu background";

    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
    SendToPopupList(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)); // no image list any more
}

TEST_F(MenusTest, AMenuThatOwnsItsItemsFreesThemWithoutCallingBackIntoItself)
{
    TMainMenu* menu = Create<TMainMenu>(nullptr);
    int changes = 0;
    menu->OnChange = [&](TObject*, TMenuItem*, bool) { ++changes; };
    TMenuItem* file = Create<TMenuItem>(menu);
    menu->Items()->Add(file);
    TMenuItem* exit = Create<TMenuItem>(menu);
    file->Add(exit);
    menu->Handle();
    changes = 0;
    menu->Free();
    EXPECT_EQ(changes, 0);
}

namespace {
// Handlers of two kinds on one object, as a form and a skinned menu painter have them.
class THandlers : public TComponent {
    VCL_CLASS(THandlers, TComponent)
public:
    using TComponent::TComponent;
    void ClickA(TObject*) { ++a; }
    void ClickB(TObject*) { ++b; }
    void Measure(TObject*, TCanvas*, int& Width, int&) { Width = 77; }
    int a = 0, b = 0;
};
} // namespace

TEST_F(MenusTest, EventsCompareByObjectAndMember)
{
    auto* mine = Create<THandlers>(owner.get());
    auto* other = Create<THandlers>(owner.get());
    TMenuItem* item = NewItem("Пункт");
    item->OnClick = TNotifyEvent(mine, &THandlers::ClickA);
    EXPECT_TRUE(item->OnClick == TNotifyEvent(mine, &THandlers::ClickA));
    EXPECT_FALSE(item->OnClick == TNotifyEvent(mine, &THandlers::ClickB)) << "another member";
    EXPECT_FALSE(item->OnClick == TNotifyEvent(other, &THandlers::ClickA)) << "another object";
    EXPECT_EQ(item->OnClick.Data(), mine);
    item->Click();
    EXPECT_EQ(mine->a, 1);

    // A handler is cleared only when it is one's own; a lambda is nobody's.
    auto clearIfMine = [&] {
        if (item->OnClick == TNotifyEvent(mine, &THandlers::ClickA))
            item->OnClick = nullptr;
    };
    item->OnClick = [](TObject*) {};
    clearIfMine();
    EXPECT_TRUE(item->OnClick != nullptr);
    item->OnClick = TNotifyEvent(mine, &THandlers::ClickA);
    clearIfMine();
    EXPECT_TRUE(item->OnClick == nullptr);
    EXPECT_TRUE(TNotifyEvent() == nullptr);

    // Menu events with reference arguments are bound the same way.
    item->OnMeasureItem = TMenuMeasureItemEvent(mine, &THandlers::Measure);
    EXPECT_TRUE(item->OnMeasureItem == TMenuMeasureItemEvent(mine, &THandlers::Measure));
    int w = 0, h = 0;
    item->OnMeasureItem(item, nullptr, w, h);
    EXPECT_EQ(w, 77);
}
