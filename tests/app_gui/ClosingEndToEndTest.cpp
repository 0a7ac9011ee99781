// The close of the real program as a user meets it, keys typed ahead: what was confirmed or typed
// just before the close is in the files, a skin only previewed is not, the system's session end is
// asked first and answered; and the article property panel by keys.
#include "LogicFixture.h"

#include <memory>
#include <thread>

#include "IniFiles.h"

using namespace logic;
using testkit::WindowText;

namespace {

class ClosingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SampleTree()));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", SampleMap());
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
    }
    void TearDown() override { FileSetAttr(dir / "FILES\\tree\\Temp.vlt", 0); }

    // The program started with the skin Skin; its tree once the program answers with it shown.
    void Launch(const char* Skin = "Neutral")
    {
        TIniFile(dir / "FILES\\form.ini").WriteString("FORM", "Skin", Skin);
        run = std::make_unique<testkit::ProgramRun>();
        main = run->Launch(dir.Path());
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(testkit::WaitUntil([&] {
            auto trees = testkit::VisibleWindows(main, 0, "TreeView");
            tree = trees.empty() ? nullptr : trees[0];
            return tree && testkit::Answers(main) && IsWindowVisible(tree);
        })) << "the tree";
    }
    void Front()
    {
        SetForegroundWindow(main);
        ASSERT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == main; }, 3000));
    }
    // A real key press, with a modifier held.
    static void Key(WORD Vk, WORD Modifier = 0)
    {
        if (Modifier)
            keybd_event(static_cast<BYTE>(Modifier), 0, 0, 0);
        keybd_event(static_cast<BYTE>(Vk), 0, 0, 0);
        keybd_event(static_cast<BYTE>(Vk), 0, KEYEVENTF_KEYUP, 0);
        if (Modifier)
            keybd_event(static_cast<BYTE>(Modifier), 0, KEYEVENTF_KEYUP, 0);
    }
    HWND Focus()
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    bool Ends() { return WaitForSingleObject(run->Process(), 20000) == WAIT_OBJECT_0; }
    static void SetText(HWND Wnd, const std::string& Text)
    {
        SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
    // The visible edits below Parent, from the top down.
    static std::vector<HWND> Edits(HWND Parent)
    {
        std::vector<HWND> found = testkit::VisibleWindows(Parent, 0, "Edit");
        std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.top < rb.top;
        });
        return found;
    }
    // The top-level window of the program with the caption, once it shows (null when none comes).
    HWND WindowCalled(const std::string& Caption)
    {
        HWND found = nullptr;
        testkit::WaitUntil([&] {
            for (HWND w : testkit::VisibleWindows(nullptr, run->Id(), ""))
                if (WindowText(w) == Caption)
                    found = w;
            return found != nullptr;
        });
        return found;
    }
    // A box of the program shows; Button answers it.
    void Answer(const std::string& Button)
    {
        HWND box = testkit::WaitForWindow(run->Id(), "TsMessageForm");
        ASSERT_NE(box, nullptr) << "a box for " << Button;
        PostMessageA(testkit::ChildWithText(box, "BitBtn", Button), BM_CLICK, 0, 0);
        EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    }
    // The tree item with the title (null when none), walking the whole tree.
    HTREEITEM Item(const std::string& Title)
    {
        testkit::RemoteBuffer buffer(run->Process(), 512);
        std::function<HTREEITEM(HTREEITEM)> walk = [&](HTREEITEM item) -> HTREEITEM {
            for (; item; item = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)))) {
                TVITEMA tv{};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = reinterpret_cast<char*>(buffer.Address() + 64);
                tv.cchTextMax = 256;
                buffer.Put(tv);
                SendMessageA(tree, TVM_GETITEMA, 0, buffer.Address());
                char text[257] = {};
                ReadProcessMemory(run->Process(), reinterpret_cast<void*>(buffer.Address() + 64), text, 256, nullptr);
                if (Title == text)
                    return item;
                if (HTREEITEM found = walk(HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(item)))))
                    return found;
            }
            return nullptr;
        };
        return walk(HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    }
    // A real click on the item.
    void Click(HTREEITEM item)
    {
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, LPARAM(item));
        testkit::RemoteBuffer buffer(run->Process(), sizeof(RECT));
        buffer.Put(item);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, buffer.Address());
        const RECT r = buffer.Get<RECT>();
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tree, &p);
        Front();
        testkit::SendMouse(p, MOUSEEVENTF_LEFTDOWN);
        testkit::SendMouse(p, MOUSEEVENTF_LEFTUP);
    }
    // A real click on the item; the tree then has it selected.
    void Select(const std::string& Title)
    {
        HTREEITEM item = Item(Title);
        ASSERT_NE(item, nullptr) << Title;
        Click(item);
        ASSERT_TRUE(testkit::WaitUntil([&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == LPARAM(item); }));
    }
    std::string TreeFile() { return testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"); }
    std::string Map() { return testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"); }
    std::string FormIni() { return testkit::ReadFileBytes(dir / "FILES\\form.ini"); }

    testkit::TempDir dir;
    std::unique_ptr<testkit::ProgramRun> run;
    HWND main = nullptr, tree = nullptr;
};

TEST_F(ClosingEndToEnd, AnEntryConfirmedAndARenameTypedJustBeforeAltF4AreKept)
{
    // "Добавление статьи" on a folder (Insert): Enter, and at once Alt+F4.
    Launch();
    Select("Разное");
    Key(VK_INSERT);
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    ASSERT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == add; }));
    const auto fields = Edits(add);
    ASSERT_GE(fields.size(), 2u);
    SetText(fields[0], "Последняя");
    SetText(fields[1], "last.html");
    Key(VK_RETURN);
    Key(VK_F4, VK_MENU);
    ASSERT_TRUE(Ends()) << "Alt+F4 closes the program";
    EXPECT_NE(TreeFile().find(Short("Последняя")), std::string::npos);
    EXPECT_NE(Map().find("\r\nПоследняя=last.html\r\n"), std::string::npos) << Map();

    // F2, a name, Alt+F4: the name is the entry's in the tree and the map.
    Launch();
    Select("Последняя");
    Key(VK_F2);
    HWND edit = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] { return (edit = HWND(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0))) != nullptr; }));
    SetText(edit, "Переименованная");
    Key(VK_F4, VK_MENU);
    ASSERT_TRUE(Ends());
    EXPECT_NE(TreeFile().find(Short("Переименованная")), std::string::npos);
    EXPECT_EQ(TreeFile().find(Short("Последняя")), std::string::npos);
    EXPECT_NE(Map().find("\r\nПереименованная=last.html\r\n"), std::string::npos) << Map();
}

TEST_F(ClosingEndToEnd, TheEditorsAuthorTypedBeforeTheMainWindowClosesIsKept)
{
    Launch();
    Front();
    Key(VK_F5);
    HWND editor = WindowCalled("Создание статьи");
    ASSERT_NE(editor, nullptr);
    const auto fields = Edits(editor);
    ASSERT_FALSE(fields.empty());
    ASSERT_TRUE(testkit::WaitUntil([&] { return Focus() == fields[0]; })) << "the author's box first";
    SetText(fields[0], "Иван Петров");
    EXPECT_EQ(run->Close(main), 0u);
    EXPECT_EQ(TIniFile(dir / "FILES\\Settings2.ini").ReadString("AUTOR", "Name", ""), "Иван Петров");
}

// A skin previewed in "Интерфейс" is never written by a close that did not take it: the tray's
// "Закрыть" with the chooser open, and, started without a skin, Esc in the chooser.
TEST_F(ClosingEndToEnd, APreviewedSkinIsNotWrittenWithoutOK)
{
    auto titleColour = [&] {
        HDC dc = GetWindowDC(main);
        const COLORREF c = GetPixel(dc, 300, 8);
        ReleaseDC(main, dc);
        return c;
    };
    // Opens the chooser and previews the skin below the one selected (the first when none is).
    auto preview = [&](COLORREF shown) -> HWND {
        testkit::ChooseInMenuBar(main, 2, 5);
        HWND chooser = testkit::WaitForWindow(run->Id(), "TForm16");
        EXPECT_NE(chooser, nullptr);
        auto lists = testkit::VisibleWindows(chooser, 0, "TsListBox");
        EXPECT_EQ(lists.size(), 1u);
        if (!chooser || lists.size() != 1)
            return nullptr;
        EXPECT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == chooser; }));
        Key(VK_DOWN);
        EXPECT_TRUE(testkit::WaitUntil([&] { return titleColour() != shown; })) << "previewed";
        return chooser;
    };

    Launch("Neutral");
    COLORREF shown = titleColour();
    ASSERT_NE(preview(shown), nullptr);
    auto trays = testkit::ProcessWindows(run->Id(), "TrayIconWindow");
    ASSERT_EQ(trays.size(), 1u);
    PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(testkit::ChooseInMenu(run->Id(), {VK_DOWN, VK_RETURN})) << "the tray's \"Закрыть\"";
    ASSERT_TRUE(Ends());
    EXPECT_NE(FormIni().find("\r\nSkin=Neutral\r\n"), std::string::npos) << FormIni();
    EXPECT_NE(FormIni().find("[ST]"), std::string::npos) << "written by the close";

    Launch("");
    shown = titleColour();
    HWND chooser = preview(shown);
    ASSERT_NE(chooser, nullptr);
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(chooser); }));
    EXPECT_TRUE(testkit::WaitUntil([&] { return titleColour() == shown; })) << "the system's look again";
    EXPECT_EQ(run->Close(main), 0u);
    EXPECT_NE(FormIni().find("\r\nSkin=\r\n"), std::string::npos) << FormIni();
}

// The system asks whether the session may end: the program asks its questions then, and its answer
// says whether it stays (0) or may end (1). The end itself asks nothing.
TEST_F(ClosingEndToEnd, TheSessionEndIsAskedFirstAndAnswered)
{
    const std::string before = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    FileSetAttr(dir / "FILES\\tree\\Temp.vlt", faReadOnly);
    Launch();
    Front();
    Key(VK_F5);
    HWND editor = WindowCalled("Создание статьи");
    ASSERT_NE(editor, nullptr);
    HWND text = testkit::WaitForWindow(run->Id(), "Memo", editor);
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
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), before);
    EXPECT_NE(FormIni().find("[ST]"), std::string::npos) << "the settings written";
}

// The property panel of an article opens fresh with its title focused; Esc cancels, Enter applies;
// typed and not applied, it is asked about when another entry is clicked and at the close.
TEST_F(ClosingEndToEnd, ThePropertyPanelByKeysAndItsUnappliedValues)
{
    Launch();
    auto open = [&](const std::string& title) -> HWND {
        Select(title);
        // The tree's menu at the selected entry, the mouse away from it; its last item by keys,
        // queued in the program, whose menu loop takes them in order.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
        PostMessageA(tree, WM_CONTEXTMENU, WPARAM(tree), MAKELPARAM(-1, -1));
        auto menus = [&] { return testkit::VisibleWindows(nullptr, run->Id(), "#32768"); };
        EXPECT_TRUE(testkit::WaitUntil([&] { return !menus().empty(); })) << "the menu";
        for (WORD key : {VK_UP, VK_RETURN}) {
            PostMessageA(tree, WM_KEYDOWN, key, 0);
            PostMessageA(tree, WM_KEYUP, key, 0);
        }
        EXPECT_TRUE(testkit::WaitUntil([&] { return menus().empty(); })) << "\"Свойства\"";
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
    Click(Item("Непрочитанная"));
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
