// Menus on forms and controls: the main menu's messages reach its items through the form's
// window, menu shortcuts come before the focused control, and context clicks pop menus up.
#include <gtest/gtest.h>

#include "FormTest.h"
#include "Menus.h"

#include <string>
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

    void HoldCtrl(bool down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

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
    HoldCtrl(true);
    press('S');
    press(VK_INSERT);
    press('A');
    save->SetEnabled(false);
    press('S'); // a disabled item leaves the key to the control
    HoldCtrl(false);
    EXPECT_EQ(log, (std::vector<std::string>{"save", "copy", "control 65", "control 83"}));
}

TEST_F(FormMenusTest, ContextClickPopsUpTheControlsMenu)
{
    TForm* form = MakeForm();
    auto* control = Create<TWinControl>(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 80, 40);
    TPopupMenu* popup = Create<TPopupMenu>(form);
    Item(form, "Вырезать", popup->Items());
    control->SetPopupMenu(popup);
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    form->Show();

    struct Closer {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            PostMessageA(PopupListWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
            KillTimer(nullptr, id);
        }
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &Closer::Tick);
    SendMessageA(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()), MAKELPARAM(150, 150));
    KillTimer(nullptr, timer);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(popup->PopupComponent, control);
    EXPECT_EQ(popup->PopupPoint().x, 150);

    popup->AutoPopup = false;
    SendMessageA(control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control->Handle()), MAKELPARAM(150, 150));
    EXPECT_EQ(popups, 1) << "no automatic pop-up";

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
