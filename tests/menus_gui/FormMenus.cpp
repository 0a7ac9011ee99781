// Menus on forms and controls: the main menu's messages reach its items through the form's
// window, the keyboard opens the menu bar, menu shortcuts come before the focused control (but
// not before the keys an edit acts on), and context clicks pop menus up.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTest.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <string>
#include <utility>
#include <vector>

using namespace testkit;

namespace {

class FormMenusTest : public FormTest {
protected:
    TMenuItem* Item(TComponent* owner, const AnsiString& caption, TMenuItem* parent)
    {
        TMenuItem* item = Create<TMenuItem>(owner);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }

    void Hold(BYTE key, bool down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[key] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

void CALLBACK CloseMenuOnce(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    EndMenu();
}

// Keys for the pop-up menu that is open: Esc, or Down and Enter.
void CALLBACK EscapePopup(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
}

void CALLBACK ChooseFirstPopupItem(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_RETURN, 0);
}

} // namespace

TEST_F(FormMenusTest, MainMenuMessagesOfTheFormReachTheItems)
{
    TForm* form = MakeForm();
    TMainMenu* menu = Create<TMainMenu>(form);
    TMenuItem* file = Item(form, "&Файл", menu->Items());
    TMenuItem* open = Item(form, "Открыть", file);
    std::vector<std::string> log;
    file->OnClick = [&](TObject*) { log.push_back("file"); };
    open->OnClick = [&](TObject*) { log.push_back("open"); };
    form->SetMenu(menu);
    form->Show();
    ASSERT_EQ(GetMenu(form->Handle()), menu->Handle());
    EXPECT_EQ(menu->WindowHandle(), form->Handle());

    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->Handle()), 0);
    SendMessageA(form->Handle(), WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"file", "open"}));
    // A control's notification carries its window: it is not a menu command.
    SendMessageA(form->Handle(), WM_COMMAND, open->Command(), reinterpret_cast<LPARAM>(form->Handle()));
    EXPECT_EQ(log.size(), 2u);

    menu->SetOwnerDraw(true);
    bool topLine = false, drawn = false;
    file->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
        topLine = true;
        w = 60;
        h = 20;
    };
    open->OnAdvancedDrawItem = [&](TObject*, TCanvas*, RECT, TOwnerDrawState) { drawn = true; };
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = file->Command();
    EXPECT_EQ(SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_TRUE(topLine);
    EXPECT_EQ(mis.itemWidth, 60u);
    HDC dc = GetDC(form->Handle());
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = dc;
    dis.itemID = open->Command();
    dis.rcItem = RECT{0, 0, 80, 20};
    EXPECT_EQ(SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    ReleaseDC(form->Handle(), dc);
    EXPECT_TRUE(drawn);

    // A window procedure taken over on top (as a skinned frame does) sees CM_MENUCHANGED on
    // every change of the menu, and the menu's messages still reach the items through it.
    struct TRecorder : TObject {
        TWndMethod saved;
        int menuChanged = 0;
        void Proc(TMessage& m)
        {
            if (m.Msg == CM_MENUCHANGED)
                ++menuChanged;
            saved(m);
        }
    } recorder;
    recorder.saved = form->WindowProc;
    form->WindowProc = TWndMethod(&recorder, &TRecorder::Proc);
    open->SetCaption("Открыть...");
    EXPECT_EQ(recorder.menuChanged, 1);
    SendMessageA(form->Handle(), WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(log.back(), "open");
    EXPECT_EQ(log.size(), 3u);
    form->WindowProc = recorder.saved;

    // The highlighted item's hint becomes the application's hint; closing the menu clears it.
    open->Hint = "Открыть|Открывает сохранённое дерево";
    SendMessageA(form->Handle(), WM_MENUSELECT, MAKEWPARAM(open->Command(), MF_HILITE),
                 reinterpret_cast<LPARAM>(file->Handle()));
    EXPECT_EQ(Application->Hint(), "Открывает сохранённое дерево");
    file->Hint = "Файл";
    SendMessageA(form->Handle(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE),
                 reinterpret_cast<LPARAM>(menu->Handle()));
    EXPECT_EQ(Application->Hint(), "Файл");
    SendMessageA(form->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application->Hint(), "");

    // An owner-drawn menu finds the hot key of an entry itself.
    LRESULT r = SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM('ф', MF_POPUP),
                             reinterpret_cast<LPARAM>(menu->Handle()));
    EXPECT_EQ(HIWORD(r), MNC_EXECUTE);
    EXPECT_EQ(LOWORD(r), 0);
}

TEST_F(FormMenusTest, KeyboardOpensTheMenuBarWhicheverControlHasTheFocus)
{
    TForm* form = MakeForm();
    TMainMenu* menu = Create<TMainMenu>(form);
    TMenuItem* file = Item(form, "&Файл", menu->Items());
    TMenuItem* open = Item(form, "Открыть", file);
    form->SetMenu(menu);
    auto* tree = Create<TTreeView>(form);
    tree->SetParent(form);
    tree->Items()->Add(nullptr, "Статья");
    auto* list = Create<TComboBox>(form);
    list->SetStyle(csDropDownList);
    list->SetParent(form);
    list->SetTop(120);
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetTop(150);
    int opens = 0, closes = 0;
    open->OnClick = [&](TObject*) { ++opens; };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = caNone;
    };
    std::vector<Word> preview;
    form->KeyPreview = true;
    form->OnKeyDown = [&](TObject*, Word& key, TShiftState) { preview.push_back(key); };
    form->Show();

    // The keys as the system posts them; in the menu Down opens "Файл" and Enter runs "Открыть".
    struct Key {
        UINT msg;
        WPARAM key;
        LPARAM data;
    };
    const std::vector<Key> f10{{WM_SYSKEYDOWN, VK_F10, 1}, {WM_SYSKEYUP, VK_F10, LPARAM(0xC0000001)}};
    const std::vector<Key> alt{{WM_SYSKEYDOWN, VK_MENU, 0x20000001}, {WM_SYSKEYUP, VK_MENU, LPARAM(0xC0000001)}};
    const std::vector<Key> hotKey{{WM_SYSCHAR, static_cast<Byte>('ф'), 0x20000001}};
    const std::vector<Key> choose{{WM_KEYDOWN, VK_DOWN, 1}, {WM_KEYDOWN, VK_RETURN, 1}};
    // The keys are queued before the loop runs: the menu's own loop takes them from the queue.
    // A menu left open (a fault) is closed after a while instead of holding the test.
    const UINT_PTR guard = SetTimer(nullptr, 0, 2000, &CloseAnyMenu);
    AtTearDown([guard] { KillTimer(nullptr, guard); });
    auto type = [&](TWinControl* control, std::vector<Key> keys, const std::vector<Key>& more = {}) {
        keys.insert(keys.end(), more.begin(), more.end());
        control->SetFocus();
        HWND focus = GetFocus();
        for (const Key& k : keys)
            PostMessageA(focus, k.msg, k.key, k.data);
        Application->ProcessMessages();
    };
    for (TWinControl* control :
         {static_cast<TWinControl*>(tree), static_cast<TWinControl*>(list), static_cast<TWinControl*>(edit)}) {
        SCOPED_TRACE(control->ClassName());
        for (const auto* opening : {&f10, &alt}) {
            opens = 0;
            type(control, *opening, choose);
            EXPECT_EQ(opens, 1) << (opening == &f10 ? "F10" : "Alt");
        }
        // Alt+Ф opens "Файл" by its hot key; the menu highlights the first item.
        opens = 0;
        type(control, hotKey, {{WM_KEYDOWN, VK_RETURN, 1}});
        EXPECT_EQ(opens, 1) << "Alt+Ф";
        // Alt released after another key opens nothing.
        opens = 0;
        type(control, {{WM_SYSKEYDOWN, VK_MENU, 0x20000001}, {WM_SYSKEYDOWN, 'Z', 0x20000001},
                       {WM_SYSKEYUP, 'Z', LPARAM(0xE0000001)}, alt[1]}, choose);
        EXPECT_EQ(opens, 0) << "Alt+Z";
        closes = 0;
        type(control, {{WM_SYSKEYDOWN, VK_F4, 0x20000001}});
        EXPECT_EQ(closes, 1) << "Alt+F4";
    }
    // The form's preview sees F10 first and may keep it from the menu.
    EXPECT_EQ(preview.front(), VK_F10);
    form->OnKeyDown = [&](TObject*, Word& key, TShiftState) { key = 0; };
    opens = 0;
    type(tree, f10, choose);
    EXPECT_EQ(opens, 0);
    // Shift+F10 pops up the focused control's own menu, not the menu bar.
    form->OnKeyDown = nullptr;
    TPopupMenu* popup = Create<TPopupMenu>(form);
    Item(form, "Вырезать", popup->Items());
    tree->SetPopupMenu(popup);
    int popups = 0, bars = 0;
    popup->OnPopup = [&](TObject*) {
        ++popups;
        SetTimer(nullptr, 0, 1, &CloseMenuOnce);
    };
    file->OnClick = [&](TObject*) { ++bars; };
    Hold(VK_SHIFT, true);
    type(tree, f10);
    Hold(VK_SHIFT, false);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(bars, 0);
    form->Free();
}

TEST_F(FormMenusTest, MenuShortcutComesBeforeTheFocusedControl)
{
    TForm* form = MakeForm();
    auto* control = Create<TWinControl>(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 50, 20);
    control->SetTabStop(true);
    TMainMenu* menu = Create<TMainMenu>(form);
    TMenuItem* file = Item(form, "Файл", menu->Items());
    TMenuItem* save = Item(form, "Сохранить", file);
    save->SetShortCut(ShortCut('S', scCtrl));
    TPopupMenu* popup = Create<TPopupMenu>(form);
    TMenuItem* copy = Item(form, "Копировать", popup->Items());
    copy->SetShortCut(ShortCut(VK_INSERT, scCtrl));
    control->SetPopupMenu(popup);
    form->SetMenu(menu);

    std::vector<std::string> log;
    control->OnKeyDown = [&](TObject*, Word& key, TShiftState) { log.push_back("control " + std::to_string(key)); };
    save->OnClick = [&](TObject*) { log.push_back("save"); };
    copy->OnClick = [&](TObject*) { log.push_back("copy"); };
    form->Show();
    control->SetFocus();
    auto press = [&](Word key) {
        PostMessageA(control->Handle(), WM_KEYDOWN, key, 1);
        Application->ProcessMessages();
    };
    Hold(VK_CONTROL, true);
    press('S');
    press(VK_INSERT);
    press('A');
    save->SetEnabled(false);
    press('S'); // a disabled item leaves the key to the control
    Hold(VK_CONTROL, false);
    EXPECT_EQ(log, (std::vector<std::string>{"save", "copy", "control 65", "control 83"}));

    // In an edit the keys it acts on are its own, whatever the menus claim; other shortcuts stay
    // the menus'.
    TMenuItem* remove = Item(form, "Удалить", file);
    remove->SetShortCut(ShortCut(VK_DELETE, scCtrl));
    remove->OnClick = [&](TObject*) { log.push_back("remove"); };
    save->SetEnabled(true);
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(10, 40, 150, 21);
    edit->SetText("первое второе");
    edit->SetFocus();
    edit->SetSelStart(0);
    log.clear();
    Hold(VK_CONTROL, true);
    for (Word key : {Word(VK_DELETE), Word(VK_INSERT), Word('S')}) {
        PostMessageA(edit->Handle(), WM_KEYDOWN, key, 1);
        Application->ProcessMessages();
    }
    Hold(VK_CONTROL, false);
    EXPECT_EQ(log, (std::vector<std::string>{"save"}));
    EXPECT_NE(edit->Text(), "первое второе") << "Ctrl+Del deleted in the edit";
}

TEST_F(FormMenusTest, ContextClickPopsUpTheControlsMenu)
{
    TForm* form = MakeForm();
    auto* control = Create<TWinControl>(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 80, 40);
    control->SetTabStop(true);
    TPopupMenu* popup = Create<TPopupMenu>(form);
    TMenuItem* cut = Item(form, "Вырезать", popup->Items());
    control->SetPopupMenu(popup);
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    HWND focusAtCommand = nullptr;
    cut->OnClick = [&](TObject*) { focusAtCommand = GetFocus(); };
    form->Show();
    control->SetFocus();

    // Closed by Esc, or its item chosen by keys: the focus is the control's again, also when the
    // command runs.
    for (auto [choose, at] : {std::pair{false, -1}, std::pair{true, -1}, std::pair{false, 150}}) {
        UINT_PTR timer = SetTimer(nullptr, 0, 50, choose ? &ChooseFirstPopupItem : &EscapePopup);
        SendMessageA(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()), MAKELPARAM(at, at));
        KillTimer(nullptr, timer);
        Application->ProcessMessages();
        EXPECT_EQ(GetFocus(), control->Handle()) << choose;
    }
    EXPECT_EQ(focusAtCommand, control->Handle());
    EXPECT_EQ(popups, 3);
    EXPECT_EQ(popup->PopupComponent, control);
    EXPECT_EQ(popup->PopupPoint().x, 150);

    popup->AutoPopup = false;
    SendMessageA(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()), MAKELPARAM(150, 150));
    EXPECT_EQ(popups, 3) << "no automatic pop-up";

    // A component freed by the menu's owner is forgotten.
    TComponent* other = Create<TComponent>(form);
    popup->PopupComponent = other;
    other->Free();
    EXPECT_EQ(popup->PopupComponent, nullptr);
}

TEST_F(FormMenusTest, MenusFreedBeforeOrWithTheirFormAndSwitched)
{
    TForm* form = MakeForm();
    TMainMenu* first = Create<TMainMenu>(form);
    TMenuItem* a = Item(form, "A", first->Items());
    TMainMenu* second = Create<TMainMenu>(form);
    TMenuItem* b = Item(form, "B", second->Items());
    int clicks = 0;
    a->OnClick = b->OnClick = [&](TObject*) { ++clicks; };
    form->SetMenu(first);
    form->Show();
    form->SetMenu(second);
    EXPECT_EQ(GetMenu(form->Handle()), second->Handle());
    SendMessageA(form->Handle(), WM_COMMAND, a->Command(), 0);
    EXPECT_EQ(clicks, 0) << "the menu the form no longer shows";
    SendMessageA(form->Handle(), WM_COMMAND, b->Command(), 0);
    EXPECT_EQ(clicks, 1);

    const UINT bCmd = b->Command();
    form->SetMenu(nullptr);
    second->Free();
    SendMessageA(form->Handle(), WM_COMMAND, bCmd, 0); // passes through harmlessly
    EXPECT_EQ(clicks, 1);

    form->SetMenu(first);
    EXPECT_EQ(GetMenu(form->Handle()), first->Handle());
    form->Free(); // takes the menu with it
}

TEST_F(FormMenusTest, MdiChildMenuIsMergedIntoTheFramesByGroup)
{
    TForm* frame = MakeForm();
    frame->SetBounds(0, 0, 500, 400);
    frame->SetFormStyle(fsMDIForm);
    TMainMenu* frameMenu = Create<TMainMenu>(frame);
    Item(frame, "Файл", frameMenu->Items());
    TMenuItem* window = Item(frame, "Окно", frameMenu->Items());
    window->SetGroupIndex(9);
    frame->SetMenu(frameMenu);
    frame->Show();
    TCustomForm* savedMain = Application->MainForm();
    Application->SetMainForm(frame);
    AtTearDown([savedMain] { Application->SetMainForm(savedMain); });
    auto entries = [&] {
        std::vector<std::string> out;
        HMENU h = GetMenu(frame->Handle());
        for (int i = 0; i < GetMenuItemCount(h); ++i) {
            char buf[64] = {};
            GetMenuStringA(h, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
            out.push_back(buf);
        }
        return out;
    };

    TForm* a = MakeForm();
    a->SetFormStyle(fsMDIChild);
    TMainMenu* childMenu = Create<TMainMenu>(a);
    TMenuItem* childFile = Item(a, "Файл A", childMenu->Items());
    TMenuItem* save = Item(a, "Сохранить", childFile);
    Item(a, "Правка", childMenu->Items())->SetGroupIndex(1);
    a->SetMenu(childMenu);
    int saves = 0;
    save->OnClick = [&](TObject*) { ++saves; };
    a->Show();
    // The child's group 0 replaces the frame's; its group 1 comes before the frame's group 9.
    EXPECT_EQ(entries(), (std::vector<std::string>{"Файл A", "Правка", "Окно"}));
    SendMessageA(frame->Handle(), WM_COMMAND, save->Command(), 0);
    EXPECT_EQ(saves, 1) << "a merged item's command reaches it through the frame";
    window->SetEnabled(false); // a change in place finds the entry where the merge put it
    EXPECT_EQ(GetMenuState(GetMenu(frame->Handle()), 2, MF_BYPOSITION) & MF_GRAYED, UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(GetMenu(frame->Handle()), 1, MF_BYPOSITION) & MF_GRAYED, 0u);

    TForm* b = MakeForm(); // a child without a menu: the frame's own menu while it is active
    b->SetFormStyle(fsMDIChild);
    b->Show();
    EXPECT_EQ(entries(), (std::vector<std::string>{"Файл", "Окно"}));
    SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(entries().front(), "Файл A");
    a->Free();
    EXPECT_EQ(frameMenu->Merged(), nullptr);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Файл", "Окно"}));
    b->Free();
    Application->SetMainForm(savedMain);
}
