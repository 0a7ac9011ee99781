// Skinned menus: the menu line in rows, the cached background of a submenu, the system menu's
// list of skins, and items hooked, unhooked and removed.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "ComCtrls.h"
#include "ImgList.h"
#include "FormsKit.h"
#include "sSkinMenus.h"

using namespace formskit;

namespace {

using SkinnedMenus = SkinnedFormTest;

TMenuItem* AddItem(TComponent* Owner, TMenuItem* Parent, const AnsiString& Caption, const char* Name = "")
{
    auto* item = Create<TMenuItem>(Owner);
    item->SetName(Name);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

TsSkinableMenus* Painter() { return sSkinData->DefaultManager->SkinableMenus(); }

void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    EndMenu();
}

// Closes the menu that the next call opens, once its loop runs.
void CloseNextMenu() { SetTimer(nullptr, 0, 1, EndMenuTimer); }

// What the open menu shows, read inside its loop before it is closed.
testkit::PixelImage g_shownMenu;
// A key the open menu gets before it is read (0: none).
WPARAM g_menuKey = 0;

void CALLBACK ReadMenuTimer(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && g_menuKey) {
        // Read once the key is handled: a timer comes only after the messages posted before it.
        PostMessageA(menu, WM_KEYDOWN, std::exchange(g_menuKey, 0), 0);
        SetTimer(nullptr, 0, 1, ReadMenuTimer);
        return;
    }
    if (menu)
        g_shownMenu = testkit::ScreenPixels(menu);
    EndMenu();
}

// Opens the pop-up menu at (200, 200), gives it Key, and reads what it shows into g_shownMenu.
void ReadOpenMenu(TPopupMenu* Popup, WPARAM Key = 0)
{
    g_shownMenu = {};
    g_menuKey = Key;
    SetTimer(nullptr, 0, 100, ReadMenuTimer);
    Popup->Popup(200, 200);
}

// The width of a text in the screen's menu font, measured on a context of its own.
int MenuTextWidth(const char* Text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Screen->MenuFont()->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, Text, static_cast<int>(std::strlen(Text)), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

// Closes whatever menu is open (a guard against a menu that a fault leaves waiting for keys).
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

} // namespace

TEST_F(SkinnedMenus, MenuLineOfANarrowFormTakesTwoRowsBothPainted)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 220, 240);
    auto* menu = Create<TMainMenu>(form);
    for (const char* caption : {"Файл", "Правка", "Вид", "Поиск", "Браузер", "Сервис"})
        AddItem(form, menu->Items(), caption);
    form->SetMenu(menu);
    auto* provider = Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    // The rows the system laid the bar out in: the first one starts with the first item.
    std::set<LONG> tops;
    RECT first{};
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        RECT r;
        ASSERT_TRUE(GetMenuItemRect(form->Handle(), menu->Handle(), i, &r));
        tops.insert(r.top);
        if (i == 0)
            first = r;
    }
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_EQ(provider->GetLinesCount(), 2);
    RECT w;
    GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(first.top, *tops.begin());
    // Both rows of the line are painted in the line's colour right of their items.
    const testkit::PixelImage printed = testkit::PrintWindowPixels(form->Handle());
    const int x = form->Width() - provider->SysBorderWidth() - 2;
    for (LONG top : tops)
        EXPECT_EQ(printed.Pixel(x, top - w.top + 4), static_cast<COLORREF>(SectionOf("MENULINE").HotColor))
            << "row at " << top - w.top;
}

TEST_F(SkinnedMenus, SubmenuBackgroundIsPaintedAgainWhenTheSubmenuGrows)
{
    // A red submenu background, seen through the items (wholly transparent until selected).
    testkit::TempDir dir;
    CopySkin("Neutral", dir, "RedMenus", [](std::string& s) { s.replace(s.find("[MAINMENU]"), 10, "[MAINMENU]\r\nCOLOR=255"); });
    UseSkin("RedMenus", AnsiString(dir.Path()));
    ASSERT_EQ(SectionOf("MAINMENU").Color, 255);
    ASSERT_EQ(SectionOf("MENUITEM").Transparency, 100);
    auto red = [](TColor c) { return (c & 0xFF) >= 250 && (c >> 8 & 0xFF) <= 5 && (c >> 16 & 0xFF) <= 5; };

    TForm* form = MakeForm();
    auto* popup = Create<TPopupMenu>(form);
    TMenuItem* first = AddItem(form, popup->Items(), "Первый");
    AddItem(form, popup->Items(), "Второй");
    TsSkinableMenus* painter = Painter();
    TBitmap target(200, 400, pf24bit);
    const int h = painter->GetItemHeight(target.Canvas(), first);
    // Items lie inside the submenu's margin, as the system places them.
    painter->sAdvancedDrawItem(first, target.Canvas(), TRect{3, 3, 123, 3 + h}, TOwnerDrawState{});
    EXPECT_TRUE(red(PixelOf(&target, 110, 3 + h / 2))) << PixelOf(&target, 110, 3 + h / 2);
    TBitmap* background = TsSkinableMenus::CachedBackground(first);
    ASSERT_NE(background, nullptr);
    // Three more items: the last one lies below the background painted for two.
    TMenuItem* last = nullptr;
    for (const char* caption : {"Третий", "Четвёртый", "Пятый"})
        last = AddItem(form, popup->Items(), caption);
    const int below = background->Height();
    painter->sAdvancedDrawItem(last, target.Canvas(), TRect{3, below, 123, below + h}, TOwnerDrawState{});
    background = TsSkinableMenus::CachedBackground(first);
    ASSERT_NE(background, nullptr);
    EXPECT_GE(background->Height(), below + h);
    EXPECT_TRUE(red(PixelOf(&target, 110, below + h / 2))) << PixelOf(&target, 110, below + h / 2);
}

TEST_F(SkinnedMenus, SystemMenuHoldsOneSkinListAndOneLineAfterTenDrops)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    SkinnedForm(bsSizeable, 300, 200, &provider);
    TsSystemMenu* menu = provider->SystemMenu();
    for (int i = 0; i < 10; ++i) {
        CloseNextMenu();
        provider->DropSysMenu(200, 200);
    }
    TStringList skins;
    Manager()->GetSkinNames(&skins);
    ASSERT_EQ(skins.Count(), 2);
    TMenuItem* root = menu->Items();
    // The skin list, a line, the six commands with their line before Close.
    ASSERT_EQ(root->Count(), 9);
    EXPECT_EQ(root->Items(0)->Name(), "SkinSelectItem");
    EXPECT_EQ(root->Items(0)->Caption(), "Available skins");
    EXPECT_TRUE(root->Items(1)->IsLine());
    EXPECT_EQ(root->Items(2), menu->ItemRestore);
    EXPECT_EQ(root->Items(0)->Count(), 2);
    EXPECT_EQ(root->Items(0)->Items(0)->Caption(), "Dusk");
    EXPECT_TRUE(root->Items(0)->Items(1)->Checked()) << "the current skin";
    // Nothing of the earlier drops is left behind: the menu owns its root item, the 6 commands,
    // 2 lines, the list and its 2 skins.
    EXPECT_EQ(menu->ComponentCount(), 12);
}

TEST_F(SkinnedMenus, ChoosingASkinNameWithAnAmpersandSetsItWithout)
{
    testkit::TempDir dir;
    CopySkin("Neutral", dir, "Light", [](std::string&) {});
    UseSkin("Light", AnsiString(dir.Path()));
    TsSkinProvider* provider = nullptr;
    SkinnedForm(bsSizeable, 300, 200, &provider);
    auto* item = Create<TMenuItem>(provider->SystemMenu());
    item->SetCaption("Li&ght");
    provider->SystemMenu()->SkinSelect(item);
    EXPECT_EQ(Manager()->SkinName(), "Light");
}

TEST_F(SkinnedMenus, ARemovedItemLeavesItsMenuAndTheOtherItemsSkinned)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    auto* popup = Create<TPopupMenu>(form);
    TMenuItem* a = AddItem(form, popup->Items(), "Один", "Item1");
    TMenuItem* b = AddItem(form, popup->Items(), "Два", "Item2");
    TMenuItem* own = AddItem(form, popup->Items(), "Свой", "Item3");
    int ownMeasured = 0, ownDrawn = 0;
    own->OnMeasureItem = [&](TObject*, TCanvas*, int&, int&) { ++ownMeasured; };
    own->OnAdvancedDrawItem = [&](TObject*, TCanvas*, RECT, TOwnerDrawState) { ++ownDrawn; };
    Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    testkit::PumpPending();
    TsSkinableMenus* painter = Painter();
    const TAdvancedMenuDrawItemEvent draw(painter, &TsSkinableMenus::sAdvancedDrawItem);
    ASSERT_TRUE(popup->OwnerDraw());
    ASSERT_TRUE(a->OnAdvancedDrawItem == draw);
    // The application's own handlers stay.
    int w = 0, h = 0;
    own->OnMeasureItem(own, nullptr, w, h);
    own->OnAdvancedDrawItem(own, nullptr, RECT{}, TOwnerDrawState{});
    EXPECT_EQ(ownMeasured + ownDrawn, 2);

    a->Free();
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(b->OnAdvancedDrawItem == draw);
    // A new item that is in no menu yet changes nothing; once in the menu and measured it is skinned.
    TMenuItem* late = Create<TMenuItem>(form);
    EXPECT_TRUE(popup->OwnerDraw());
    late->SetCaption("Поздний");
    popup->Items()->Add(late);
    EXPECT_TRUE(late->OnAdvancedDrawItem == draw);

    // Without the skin the skinned handlers go, the application's stay.
    Manager()->SetActive(false);
    EXPECT_FALSE(popup->OwnerDraw());
    EXPECT_FALSE(b->OnAdvancedDrawItem);
    own->OnMeasureItem(own, nullptr, w, h);
    own->OnAdvancedDrawItem(own, nullptr, RECT{}, TOwnerDrawState{});
    EXPECT_EQ(ownMeasured + ownDrawn, 4);
}

TEST_F(SkinnedMenus, LineItemsGetTheLinePaintersAndSubItemsTheItemPainters)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    auto* menu = Create<TMainMenu>(form);
    TMenuItem* top = AddItem(form, menu->Items(), "Файл", "N1");
    TMenuItem* sub = AddItem(form, top, "Открыть", "N2");
    TMenuItem* divider = AddItem(form, top, "-Раздел-", "N3");
    form->SetMenu(menu);
    Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    testkit::PumpPending();
    TsSkinableMenus* painter = Painter();
    EXPECT_TRUE(top->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::sAdvancedDrawLineItem));
    EXPECT_TRUE(sub->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::sAdvancedDrawItem));
    EXPECT_TRUE(menu->OwnerDraw());
    {
        // The walks of one skin command: a walk of the other value is still made each time.
        TsSkinableMenus::TOneWalk once(painter);
        painter->InitItems(true);
        painter->InitItems(false);
        EXPECT_FALSE(sub->OnAdvancedDrawItem);
        painter->InitItems(true);
        EXPECT_TRUE(sub->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::sAdvancedDrawItem));
    }
    // Measured in the menu font: an item two glyph widths, its caption and three margins wide; a
    // line item its caption and the four pixels of the default measure.
    int w = 0, h = 0;
    TBitmap fresh(10, 10, pf24bit);
    painter->sMeasureItem(sub, fresh.Canvas(), w, h);
    EXPECT_EQ(w, 2 * 16 + MenuTextWidth("Открыть") + 3 * 4);
    TBitmap line(10, 10, pf24bit);
    line.Canvas()->SetFont(Screen->MenuFont());
    w = h = 0;
    top->MeasureItem(line.Canvas(), w, h);
    EXPECT_EQ(w, MenuTextWidth("Файл") + 4);
    // A divider text takes room and shows nothing of its own.
    TBitmap canvas(10, 10, pf24bit);
    painter->sMeasureItem(divider, canvas.Canvas(), w, h);
    EXPECT_GT(w, 0);
    EXPECT_EQ(h, painter->GetItemHeight(canvas.Canvas(), divider));
    TBitmap target(100, 40, pf24bit);
    target.Canvas()->Brush()->SetColor(clLime);
    target.Canvas()->FillRect(TRect{0, 0, 100, 40});
    painter->sAdvancedDrawItem(divider, target.Canvas(), TRect{0, 0, 100, 40}, TOwnerDrawState{});
    EXPECT_EQ(PixelOf(&target, 50, 20), clLime);
}

TEST_F(SkinnedMenus, PopupMenusAreSkinnedOnlyWhileTheManagerSaysSo)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    auto* popup = Create<TPopupMenu>(form);
    TMenuItem* item = AddItem(form, popup->Items(), "Копировать", "P1");
    TMenuItem* sub = AddItem(form, item, "Всё", "P2");
    TsSkinManager* manager = sSkinData->DefaultManager;
    const TAdvancedMenuDrawItemEvent skinned(Painter(), &TsSkinableMenus::sAdvancedDrawItem);
    auto expectSkinned = [&](bool on) {
        EXPECT_EQ(item->OnAdvancedDrawItem == skinned, on);
        EXPECT_EQ(sub->OnAdvancedDrawItem == skinned, on);
        EXPECT_EQ(popup->OwnerDraw(), on) << "a menu the skin leaves is drawn by the system";
    };
    manager->SetSkinnedPopups(true);
    Painter()->InitItems(true);
    expectSkinned(true);
    manager->SetSkinnedPopups(false);
    expectSkinned(false);
    manager->SetSkinnedPopups(true);
    expectSkinned(true);
    manager->SetSkinnedPopups(false);
    expectSkinned(false);
    manager->SetSkinnedPopups(true);
}

TEST_F(SkinnedMenus, SystemMenuShowsTheCommandsTheFrameAllows)
{
    TForm* form = MakeForm();
    auto* provider = Create<TsSkinProvider>(form);
    TsSystemMenu* menu = provider->SystemMenu();
    auto shown = [&] {
        menu->UpdateItems();
        std::string s;
        for (TMenuItem* item : {menu->ItemRestore, menu->ItemMove, menu->ItemSize, menu->ItemMinimize, menu->ItemMaximize,
                                menu->ItemClose})
            if (item->Visible())
                s += (s.empty() ? "" : " ") + std::string(item->Caption()) + (item->Enabled() ? "" : "(off)");
        return s;
    };
    struct Case {
        TFormBorderStyle style;
        TsBorderIcons icons;
        const char* shown;
    };
    const TsBorderIcons sys{biSystemMenu}, all{biSystemMenu, biMinimize, biMaximize};
    const Case cases[] = {
        {bsDialog, sys, "Move Close"},
        {bsToolWindow, sys, "Move Close"},
        {bsSizeToolWin, sys, "Move Size Close"},
        {bsSingle, sys, "Restore(off) Move Size(off) Close"},
        {bsSingle, all, "Restore(off) Move Size(off) Minimize Maximize Close"},
        {bsSizeable, all, "Restore(off) Move Size Minimize Maximize Close"},
        {bsSizeable, TsBorderIcons{}, "Move Size"},
        {bsDialog, TsBorderIcons{}, "Move"},
    };
    for (const Case& c : cases) {
        form->SetBorderStyle(c.style);
        provider->SetBorderIcons(c.icons);
        EXPECT_EQ(shown(), c.shown) << c.style;
    }
    // Minimised, whatever the frame: minimise (off) and maximise.
    form->SetBorderStyle(bsDialog);
    provider->SetBorderIcons(all);
    form->SetWindowState(wsMinimized);
    EXPECT_EQ(shown(), "Move Minimize(off) Maximize(off) Close");
    // A minimised form without a maximise box is restored from its menu.
    form->SetBorderStyle(bsSingle);
    provider->SetBorderIcons(TsBorderIcons{biSystemMenu, biMinimize});
    EXPECT_EQ(shown(), "Restore Move Size(off) Minimize(off) Maximize(off) Close");
    form->SetWindowState(wsNormal);
}

TEST_F(SkinnedMenus, MenuLineShowsItsItemsAsTheyChange)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 400, 240);
    auto* menu = Create<TMainMenu>(form);
    AddItem(form, menu->Items(), "Файл");
    TMenuItem* last = AddItem(form, menu->Items(), "Правка");
    form->SetMenu(menu);
    Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    // The pixels of the last item's place that are not the line's own colour: its caption.
    RECT r, w;
    GetMenuItemRect(form->Handle(), menu->Handle(), 1, &r);
    GetWindowRect(form->Handle(), &w);
    auto inked = [&] {
        const testkit::PixelImage printed = testkit::PrintWindowPixels(form->Handle());
        int n = 0;
        for (int y = r.top - w.top; y < r.bottom - w.top; ++y)
            for (int x = r.left - w.left; x < r.right - w.left; ++x)
                n += printed.Pixel(x, y) != static_cast<COLORREF>(SectionOf("MENULINE").HotColor);
        return n;
    };
    const int before = inked();
    EXPECT_GT(before, 0);
    last->SetCaption("П");
    testkit::PumpPending();
    EXPECT_LT(inked(), before);
}

TEST_F(SkinnedMenus, SubmenuArrowIsDrawnInTheItemsTextColourOverItsBackground)
{
    UseSkin("Dusk");
    TForm* form = MakeForm();
    auto* popup = Create<TPopupMenu>(form);
    TMenuItem* parent = AddItem(form, popup->Items(), "Добавить");
    AddItem(form, parent, "Статью");
    Create<TsSkinProvider>(form);
    form->Show();
    testkit::PumpPending();
    ReadOpenMenu(popup);
    ASSERT_FALSE(g_shownMenu.Empty());
    // The arrow lies at the right end of the item, inside the menu's own frame of three to six
    // pixels: drawn in the item's text colour, with nothing black or white around it.
    const int w = g_shownMenu.Width(), h = g_shownMenu.Height();
    const RECT arrow{w * 3 / 4, 4, w - 7, h - 4};
    const auto text = static_cast<COLORREF>(SectionOf("MENUITEM").FontColor[0]);
    EXPECT_GT(g_shownMenu.CountColor(arrow, text), 4);
    EXPECT_EQ(g_shownMenu.CountColor(arrow, RGB(0, 0, 0)), 0);
    EXPECT_EQ(g_shownMenu.CountColor(arrow, RGB(255, 255, 255)), 0);
}

TEST_F(SkinnedMenus, ADisabledItemReadsFainterThanAnEnabledOneInEitherSkin)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        SCOPED_TRACE(skin);
        UseSkin(skin);
        TForm* form = MakeForm();
        auto* images = Create<TImageList>(form);
        TBitmap square(16, 16, pf24bit);
        square.Canvas()->Brush()->SetColor(static_cast<TColor>(0x00A0F0)); // orange on a magenta key
        square.Canvas()->FillRect(TRect{0, 0, 16, 16});
        images->AddMasked(&square, clFuchsia);
        auto* popup = Create<TPopupMenu>(form);
        popup->SetImages(images);
        TMenuItem* on = AddItem(form, popup->Items(), "Переименовать");
        TMenuItem* off = AddItem(form, popup->Items(), "Переименовать");
        on->SetImageIndex(0);
        off->SetImageIndex(0);
        off->SetEnabled(false);
        // Each item painted on its own, then measured by how far its pixels lie from the background
        // at its right end: the picture (left of the text) and the text.
        struct Reach {
            int picture = 0, text = 0;
        };
        auto reach = [&](TMenuItem* item, TOwnerDrawState state) {
            TBitmap target(160, 40, pf24bit);
            const int h = Painter()->GetItemHeight(target.Canvas(), item);
            Painter()->sAdvancedDrawItem(item, target.Canvas(), TRect{0, 0, 160, h}, state);
            const TColor bg = PixelOf(&target, 155, h / 2);
            Reach r;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < 150; ++x) {
                    const TColor c = PixelOf(&target, x, y);
                    int d = 0;
                    for (int shift : {0, 8, 16})
                        d = std::max(d, std::abs(int(c >> shift & 0xFF) - int(bg >> shift & 0xFF)));
                    int& part = x < 16 + 4 + 2 ? r.picture : r.text;
                    part = std::max(part, d);
                }
            return r;
        };
        const Reach enabled = reach(on, TOwnerDrawState{}), disabled = reach(off, TOwnerDrawState{odDisabled});
        EXPECT_GT(enabled.text, 0);
        EXPECT_LT(disabled.text, enabled.text);
        EXPECT_GT(disabled.text, 0) << "still readable";
        EXPECT_LT(disabled.picture, enabled.picture);
        EXPECT_GT(disabled.picture, 0) << "still seen";
        form->Free();
    }
}

TEST_F(SkinnedMenus, KeyboardOpensTheSkinnedMenuLine)
{
    UseSkin("Neutral");
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 400, 240);
    auto* menu = Create<TMainMenu>(form);
    TMenuItem* file = AddItem(form, menu->Items(), "&Файл");
    TMenuItem* open = AddItem(form, file, "Открыть");
    form->SetMenu(menu);
    auto* tree = Create<TTreeView>(form);
    tree->SetParent(form);
    Create<TsSkinProvider>(form);
    form->Show();
    ASSERT_TRUE(menu->OwnerDraw());
    int opens = 0;
    open->OnClick = [&](TObject*) { ++opens; };
    const UINT_PTR guard = SetTimer(nullptr, 0, 2000, &CloseAnyMenu);
    AtTearDown([guard] { KillTimer(nullptr, guard); });
    // Queued as the system posts them, then run: F10 opens the line, Down "Файл", Enter
    // "Открыть"; Alt+Ф opens "Файл" with its first item highlighted.
    auto run = [&](std::initializer_list<std::array<UINT_PTR, 3>> keys) {
        tree->SetFocus();
        for (const auto& k : keys)
            PostMessageA(tree->Handle(), static_cast<UINT>(k[0]), k[1], static_cast<LPARAM>(k[2]));
        Application->ProcessMessages();
    };
    run({{WM_SYSKEYDOWN, VK_F10, 1}, {WM_SYSKEYUP, VK_F10, 0xC0000001}, {WM_KEYDOWN, VK_DOWN, 1},
         {WM_KEYDOWN, VK_RETURN, 1}});
    EXPECT_EQ(opens, 1);
    run({{WM_SYSCHAR, static_cast<Byte>('ф'), 0x20000001}, {WM_KEYDOWN, VK_RETURN, 1}});
    EXPECT_EQ(opens, 2);
}

// An open menu's frame, separator and check box come from the skin: the frame of the menu's face
// and one line colour (the system's raised edge shows four), and in Dusk nothing white on the frame
// or the separator and no black mark on a white box.
TEST_F(SkinnedMenus, TheFrameSeparatorAndCheckBoxOfAnOpenMenuComeFromTheSkin)
{
    // Up selects the last entry: the system redraws that entry alone, and the frame stays.
    for (const auto& [skin, key] : {std::pair{"Neutral", 0}, {"Dusk", 0}, {"Neutral", VK_UP}, {"Dusk", VK_UP}}) {
        SCOPED_TRACE(std::string(skin) + (key ? ", last entry selected" : ""));
        UseSkin(skin);
        TForm* form = MakeForm();
        auto* popup = Create<TPopupMenu>(form);
        AddItem(form, popup->Items(), "Панель навигации")->SetChecked(true);
        AddItem(form, popup->Items(), "-");
        AddItem(form, popup->Items(), "Интерфейс");
        Create<TsSkinProvider>(form);
        form->Show();
        testkit::PumpPending();
        ReadOpenMenu(popup, key);
        ASSERT_FALSE(g_shownMenu.Empty());
        const testkit::PixelImage& m = g_shownMenu;
        const int w = m.Width(), h = m.Height();
        std::set<COLORREF> frame;
        int white = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x < 3 || y < 3 || x >= w - 3 || y >= h - 3) {
                    frame.insert(m.Pixel(x, y));
                    white += m.Pixel(x, y) == RGB(255, 255, 255);
                }
        EXPECT_LE(frame.size(), 2u);
        const int itemH = Painter()->GetItemHeight(form->Canvas(), popup->Items()->Items(0));
        const RECT box{3, 3, 3 + itemH, 3 + itemH}, separator{8, 3 + itemH, w - 8, 3 + itemH + 2};
        EXPECT_EQ(m.CountColor(box, RGB(0, 0, 0)), 0) << "no black mark";
        if (std::string(skin) == "Dusk") {
            EXPECT_EQ(white, 0) << "on the frame";
            EXPECT_EQ(m.CountColor(RECT{w - 8, 3, w - 3, h - 3}, RGB(255, 255, 255)), 0) << "at the items' right end";
            EXPECT_EQ(m.CountColor(separator, RGB(255, 255, 255)), 0) << "on the separator";
            EXPECT_EQ(m.CountColor(box, RGB(255, 255, 255)), 0) << "on the box";
        }
        form->Free();
    }
}
