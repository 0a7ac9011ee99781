// The close of the real program as a user meets it, keys typed ahead: what was confirmed or typed
// just before the close is in the files, a skin only previewed or an option of an open dialog is
// not, the system's session end is asked first and answered; and the article property panel by keys.
#include "EditEndToEnd.h"

#include <thread>

#include "IniFiles.h"

using namespace logic;

namespace {

class ClosingEndToEnd : public EditEndToEnd {
protected:
    void TearDown() override { FileSetAttr(dir / "FILES\\tree\\Temp.vlt", 0); }

    HWND Focus()
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    bool Ends() { return WaitForSingleObject(run.Process(), testkit::kPatienceMs) == WAIT_OBJECT_0; }
    // Alt+F4, and the program ends. The keys the test injects are not on the display: when the
    // display's news of a focus change (the box just confirmed closing) comes between Alt and F4,
    // Alt is taken as let go and F4 comes alone. A close that does not come is pressed again.
    bool AltF4Ends()
    {
        for (int i = 0; i < 3; ++i) {
            Key(VK_F4, VK_MENU);
            if (WaitForSingleObject(run.Process(), testkit::kInputLostMs) == WAIT_OBJECT_0)
                return true;
        }
        return Ends();
    }
    static void SetText(HWND Wnd, const std::string& Text)
    {
        SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    // A real click on the item.
    void Click(const std::string& Title)
    {
        const POINT p = At(Title);
        Front();
        testkit::SendMouse(p, MOUSEEVENTF_LEFTDOWN);
        testkit::SendMouse(p, MOUSEEVENTF_LEFTUP);
    }
    // A real click on the item; the tree then has it selected.
    void Select(const std::string& Title)
    {
        const POINT p = At(Title);
        Front();
        ASSERT_TRUE(testkit::ClickUntil(p, [&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == LPARAM(Item(Title)); }));
    }
    // A box of the program ("Внимание!!!") answered with Button.
    void Answer(const std::string& Button) { EditEndToEnd::Answer(run.Id(), "Внимание!!!", Button); }
    // The colour of the main window's title, which a skin changes.
    COLORREF TitleColour()
    {
        HDC dc = GetWindowDC(main);
        const COLORREF c = GetPixel(dc, 300, 8);
        ReleaseDC(main, dc);
        return c;
    }
    // "Вид" > "Интерфейс", the first skin of the list (Dusk) previewed.
    HWND Preview()
    {
        testkit::ChooseInMenuBar(main, 2, 5);
        HWND chooser = testkit::WaitForWindow(run.Id(), "TForm16");
        EXPECT_NE(chooser, nullptr);
        if (!chooser || !testkit::WaitUntil([&] { return GetForegroundWindow() == chooser; }))
            return nullptr;
        // The main window's title as it is drawn behind the dialog.
        const COLORREF shown = TitleColour();
        Key(VK_HOME);
        EXPECT_TRUE(testkit::WaitUntil([&] { return TitleColour() != shown; })) << "previewed";
        return chooser;
    }
    // The tray's "Закрыть".
    void CloseFromTray()
    {
        auto trays = testkit::ProcessWindows(run.Id(), "TrayIconWindow");
        ASSERT_EQ(trays.size(), 1u);
        PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
        ASSERT_TRUE(testkit::ChooseInMenu(run.Id(), {VK_DOWN, VK_RETURN})) << "the tray's \"Закрыть\"";
    }
    // In the add dialog with the caption the title and the value typed, Enter, and at once Alt+F4
    // (typed ahead): the program ends with the entry in the tree file and the map.
    void ConfirmJustBeforeAltF4(const std::string& Caption, const std::string& Title, const std::string& Value)
    {
        HWND add = WindowCalled(Caption);
        ASSERT_NE(add, nullptr);
        ASSERT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == add; }));
        const auto fields = Children(add, "Edit");
        ASSERT_GE(fields.size(), 2u);
        SetText(fields[0], Title);
        SetText(fields[1], Value);
        Key(VK_RETURN);
        ASSERT_TRUE(AltF4Ends());
        EXPECT_NE(TreeFile().find(Short(Title)), std::string::npos);
        EXPECT_NE(Map().find("\r\n" + Title + "=" + Value + "\r\n"), std::string::npos) << Map();
    }
    std::string TreeFile() { return testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"); }
    std::string Map() { return testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"); }
    std::string FormIni() { return testkit::ReadFileBytes(dir / "FILES\\form.ini"); }
};

TEST_F(ClosingEndToEnd, AnEntryConfirmedJustBeforeAltF4IsKept)
{
    // "Добавление статьи" on a folder (Insert).
    Select("Разное");
    Key(VK_INSERT);
    ConfirmJustBeforeAltF4("Добавление статьи", "Последняя", "last.html");
}

TEST_F(ClosingEndToEnd, ALinkConfirmedJustBeforeAltF4IsKept)
{
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); // "Добавить" > "Ссылка"
    ConfirmJustBeforeAltF4("Создание ссылки", "Последняя ссылка", "http://last.example/");
}

TEST_F(ClosingEndToEnd, ARenameTypedJustBeforeAltF4IsKept)
{
    Select("Новая статья");
    Key(VK_F2);
    HWND edit = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] { return (edit = HWND(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0))) != nullptr; }));
    // Typed with blanks around it, which the title loses.
    SetText(edit, "  Переименованная ");
    ASSERT_TRUE(AltF4Ends());
    EXPECT_NE(TreeFile().find(Short("Переименованная")), std::string::npos);
    EXPECT_EQ(TreeFile().find(Short("Новая статья")), std::string::npos);
    EXPECT_NE(Map().find("\r\nПереименованная=new.html\r\n"), std::string::npos) << Map();
}

TEST_F(ClosingEndToEnd, TheEditorsAuthorTypedBeforeTheMainWindowClosesIsKept)
{
    Front();
    Key(VK_F5);
    HWND editor = WindowCalled("Создание статьи");
    ASSERT_NE(editor, nullptr);
    const auto fields = Children(editor, "Edit");
    ASSERT_FALSE(fields.empty());
    ASSERT_TRUE(testkit::WaitUntil([&] { return Focus() == fields[0]; })) << "the author's box first";
    SetText(fields[0], "Иван Петров");
    EXPECT_EQ(run.Close(main), 0u);
    EXPECT_EQ(TIniFile(dir / "FILES\\Settings2.ini").ReadString("AUTOR", "Name", ""), "Иван Петров");
}

// A skin previewed in "Интерфейс" is never written by a close that did not take it: the tray's
// "Закрыть" with the chooser open.
TEST_F(ClosingEndToEnd, APreviewedSkinIsNotWrittenByTheTraysClose)
{
    ASSERT_NE(Preview(), nullptr);
    CloseFromTray();
    ASSERT_TRUE(Ends());
    EXPECT_NE(FormIni().find("\r\nSkin=Neutral\r\n"), std::string::npos) << FormIni();
    EXPECT_NE(FormIni().find("[ST]"), std::string::npos) << "written by the close";
}

// Any other dialog of the program open at the close is cancelled: an option changed in
// "Настройки" and not confirmed is not written.
TEST_F(ClosingEndToEnd, AnOpenSettingsDialogIsCancelledByTheTraysClose)
{
    const std::string before = testkit::ReadFileBytes(dir / "FILES\\settings.ini");
    Front();
    testkit::ChooseInMenuBar(main, 5, 1); // "Сервис" > "Настройки"
    HWND settings = testkit::WaitForWindow(run.Id(), "TForm13");
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == settings; }));
    HWND oneWindow = nullptr;
    for (HWND w : Children(settings, ""))
        oneWindow = WindowText(w) == "Открывать деревья в одном окне " ? w : oneWindow;
    ASSERT_NE(oneWindow, nullptr);
    RECT r;
    GetWindowRect(oneWindow, &r);
    // Checked, the option takes the group's Tab stop (the skin keeps the check itself).
    ASSERT_TRUE(testkit::ClickUntil({r.left + 8, (r.top + r.bottom) / 2},
                                    [&] { return (GetWindowLongA(oneWindow, GWL_STYLE) & WS_TABSTOP) != 0; }));
    CloseFromTray();
    ASSERT_TRUE(Ends());
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\settings.ini"), before);
    EXPECT_NE(FormIni().find("[ST]"), std::string::npos) << "written by the close";
}

// Started without a skin: Esc in the chooser goes back to no skin, which the close keeps.
class NoSkinClosingEndToEnd : public ClosingEndToEnd {
protected:
    void Prepare() override { TIniFile(dir / "FILES\\form.ini").WriteString("FORM", "Skin", ""); }
};

TEST_F(NoSkinClosingEndToEnd, EscInTheChooserGoesBackToNoSkin)
{
    const COLORREF shown = TitleColour();
    HWND chooser = Preview();
    ASSERT_NE(chooser, nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(chooser); }));
    EXPECT_TRUE(testkit::WaitUntil([&] { return TitleColour() == shown; })) << "the system's look again";
    EXPECT_EQ(run.Close(main), 0u);
    EXPECT_NE(FormIni().find("\r\nSkin=\r\n"), std::string::npos) << FormIni();
}

// The system asks whether the session may end: the program asks its questions then, and its answer
// says whether it stays (0) or may end (1). The end itself asks nothing.
TEST_F(ClosingEndToEnd, TheSessionEndIsAskedFirstAndAnswered)
{
    const std::string before = TreeFile();
    FileSetAttr(dir / "FILES\\tree\\Temp.vlt", faReadOnly);
    // A change the tree file cannot take: told at once, it stays for the close.
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    HWND input = WindowCalled("Введите название категории");
    ASSERT_NE(input, nullptr);
    SendMessageA(Children(input, "Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Новости"));
    Press(input, "OK");
    EditEndToEnd::Answer(run.Id(), "VLN - Vellorn", "OK");
    Front();
    Key(VK_F5);
    HWND editor = WindowCalled("Создание статьи");
    ASSERT_NE(editor, nullptr);
    HWND text = testkit::WaitForWindow(run.Id(), "Memo", editor);
    ASSERT_NE(text, nullptr);
    for (char c : std::string("текст"))
        PostMessageA(text, WM_CHAR, static_cast<unsigned char>(c), 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(text) == "текст"; }));
    auto ask = [&](std::initializer_list<const char*> buttons) {
        LRESULT answer = -1;
        std::thread system([&] { answer = SendMessageA(main, WM_QUERYENDSESSION, 0, 0); });
        for (const char* button : buttons)
            Answer(button);
        system.join();
        return answer;
    };

    // The editor kept: the session may not end, the program runs on.
    EXPECT_EQ(ask({"&Нет"}), 0);
    EXPECT_TRUE(testkit::Answers(main));
    EXPECT_TRUE(IsWindowVisible(editor));
    // The editor let go, then the tree that cannot be written: "Отмена" stays, asked now; the
    // refused end leaves the editor as it was.
    EXPECT_EQ(ask({"&Да", "Отмена"}), 0);
    EXPECT_TRUE(testkit::Answers(main));
    EXPECT_TRUE(IsWindowVisible(editor));
    // Asked again, all of it: closed without the tree.
    EXPECT_EQ(ask({"&Да", "&Нет"}), 1);
    SendMessageA(main, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(Ends()) << "the end asks nothing";
    EXPECT_EQ(TreeFile(), before);
    EXPECT_NE(FormIni().find("[ST]"), std::string::npos) << "the settings written";
}

// The property panel of an article opens fresh with its title focused; Esc cancels, Enter applies;
// typed and not applied, it is asked about when another entry is clicked and at the close.
TEST_F(ClosingEndToEnd, ThePropertyPanelByKeysAndItsUnappliedValues)
{
    auto open = [&](const std::string& title) -> HWND {
        Popup(title, {VK_UP, VK_RETURN}); // "Свойства"
        HWND field = nullptr;
        EXPECT_TRUE(testkit::WaitUntil([&] {
            field = Focus();
            return field && testkit::WindowClass(GetParent(field)).find("Panel") != std::string::npos;
        })) << "the title focused";
        EXPECT_EQ(WindowText(field), title);
        return field;
    };
    auto panelShown = [&](HWND field) { return IsWindowVisible(GetParent(field)) != FALSE; };

    HWND field = open("Прочитанная");
    ASSERT_NE(field, nullptr);
    SetText(field, "Отменённая");
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !panelShown(field); })) << "Esc";
    field = open("Прочитанная");
    ASSERT_NE(field, nullptr);
    SetText(field, "Прочитанная вновь");
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !panelShown(field); })) << "Enter";
    EXPECT_NE(Item("Прочитанная вновь"), nullptr);
    EXPECT_EQ(Item("Отменённая"), nullptr);

    // Typed, then another entry clicked: asked; "Отмена" keeps the panel with the typed title.
    field = open("Новая статья");
    ASSERT_NE(field, nullptr);
    SetText(field, "Новая статья вновь");
    Click("Непрочитанная");
    Answer("Отмена");
    EXPECT_TRUE(panelShown(field));
    EXPECT_EQ(WindowText(field), "Новая статья вновь");
    // At the close: "Да" applies it.
    PostMessageA(main, WM_CLOSE, 0, 0);
    Answer("&Да");
    ASSERT_TRUE(Ends());
    EXPECT_NE(TreeFile().find(Short("Новая статья вновь")), std::string::npos);
    EXPECT_NE(TreeFile().find(Short("Прочитанная вновь")), std::string::npos);
    EXPECT_NE(Map().find("\r\nНовая статья вновь=new.html\r\n"), std::string::npos) << Map();
}

} // namespace
