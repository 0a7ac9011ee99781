// The real program edited through its menus, shortcuts, dialogs and the mouse, as a user does: a
// category and an article added, the article renamed, marked and dragged into another folder, an
// entry deleted; then the tree file and the map the program wrote at close, and a clean exit.
#include "EditEndToEnd.h"

#include <cctype>
#include <thread>
#include <tuple>

#include "IniFiles.h"
#include "TreeFile.h"
#include "WideNames.h"

using namespace logic;
using testkit::WindowText;

namespace {

TEST_F(EditEndToEnd, ACategoryAndAnArticleAreAddedRenamedMarkedMovedAndAnEntryDeleted)
{
    // "Правка" > "Добавить " > "Категория" (Shift+Insert): the input box.
    Front();
    Key(VK_INSERT, VK_SHIFT);
    HWND box = WindowCalled("Введите название категории");
    ASSERT_NE(box, nullptr);
    SendMessageA(Children(box, "Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Новости"));
    Press(box, "OK");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Новости") != nullptr; }));

    // The pop-up's "Добавить" > "Статья" on the category: the article dialog, "Создать".
    Popup("Новости", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    const auto edits = Children(add, "Edit");
    ASSERT_GE(edits.size(), 2u);
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Статья один"));
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one.html"));
    Press(add, "Создать");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Статья один") != nullptr; }));

    // "Переименовать" through the tree's edit box.
    Popup("Статья один", {VK_DOWN, VK_RETURN});
    HWND edit = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] {
        edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
        return edit != nullptr;
    }));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Статья первая"));
    SendMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Статья первая") != nullptr; }));

    // "Отметить статью как" > "Избранная", then dragged onto the folder "Разное".
    Popup("Статья первая", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    Mouse(At("Статья первая"), At("Разное"));
    EXPECT_TRUE(testkit::WaitUntil([&] {
        return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(Item("Статья первая"))) ==
               reinterpret_cast<LRESULT>(Item("Разное"));
    })) << "dropped into the folder";

    // The pop-up's "Удалить" on an article, answered "Да".
    Popup("Прочитанная", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND confirm = WindowCalled("Удаление");
    ASSERT_NE(confirm, nullptr);
    Press(confirm, "&Да", "BitBtn");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Прочитанная") == nullptr; }));

    EXPECT_EQ(run.Close(main), 0u);
    const std::vector<N> expected = {
        {"Категория", 0, {{"Новая статья", 2, {}}, {"Подкатегория", 0, {{"Избранная", 35, {}}}}}},
        {"Разное", 0, {{"Непрочитанная", 36, {}}, {"Мультик", 38, {}}, {"Ссылка", 39, {}}, {"Статья первая", 35, {}}}},
        {"Новости", 0, {}},
    };
    const std::string file = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    EXPECT_NE(file.find(ItemsData(expected)), std::string::npos) << "the tree as edited";
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"),
              "[FILES]\r\nНовая статья=new.html\r\nИзбранная=sub\\fav.html\r\nНепрочитанная=unread.html\r\n"
              "Статья первая=one.html\r\n[FLASH]\r\nМультик=m.swf\r\n[URL]\r\n"
              "Ссылка=http://example.org/\r\n");
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("[ST]\r\nCount=1\r\n"), std::string::npos);
}

// The program driven by the keys alone: the tree focused at start and again after the category box,
// the add commands of a node the arrows chose, F2, dialogs opened again as new, the arrows in the
// search dialog, the about box closed by keys.
TEST_F(EditEndToEnd, TheKeysAloneAddRenameAndOpenDialogsAfresh)
{
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    auto selected = [&] {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    };
    // At start the tree has the focus: the arrows walk the tree, not the tabs.
    Front();
    ASSERT_TRUE(testkit::WaitUntil([&] { return focus() == tree; })) << testkit::WindowClass(focus());

    // A click on an article. The category box (Shift+Insert) gives the keys back to the tree as it
    // closes, by Enter and by Esc: End and Home then move in the tree.
    const POINT article = At("Непрочитанная");
    testkit::SendMouse(article, MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(article, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(testkit::WaitUntil([&] { return selected() == Item("Непрочитанная"); }));
    for (auto [closing, to] : {std::pair{VK_RETURN, "Новости"}, {VK_ESCAPE, "Категория"}}) {
        Key(VK_INSERT, VK_SHIFT);
        HWND named = WindowCalled("Введите название категории");
        ASSERT_NE(named, nullptr);
        SendMessageA(Children(named, "Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Новости"));
        Key(static_cast<WORD>(closing));
        ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(named); }));
        Key(closing == VK_RETURN ? VK_END : VK_HOME);
        EXPECT_TRUE(testkit::WaitUntil([&] { return selected() != nullptr && selected() == Item(to); }))
            << closing << " " << testkit::WindowClass(focus());
    }
    // The folder reached by keys takes a subcategory (Ctrl+Insert); its box cancelled by Esc.
    Key(VK_INSERT, VK_CONTROL);
    HWND box = WindowCalled("Новая подкатегория");
    ASSERT_NE(box, nullptr) << "Ctrl+Insert on a folder chosen by keys";
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }));

    // The article dialog (Insert): a title typed, Esc; opened again it is empty, the title focused.
    ASSERT_TRUE(testkit::WaitUntil([&] { return focus() == tree; }));
    Key(VK_INSERT);
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr) << "Insert on a folder chosen by keys";
    auto edits = Children(add, "Edit");
    ASSERT_GE(edits.size(), 2u);
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Отменённая"));
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x.html"));
    Key(VK_TAB);
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(add); }));
    Front();
    Key(VK_INSERT);
    ASSERT_TRUE(testkit::WaitUntil([&] { return IsWindowVisible(add); }));
    EXPECT_TRUE(testkit::WaitUntil([&] { return focus() == edits[0]; })) << "the title focused";
    for (HWND edit : edits)
        EXPECT_EQ(WindowText(edit), "") << "nothing of the cancelled add";
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(add); }));

    // F2 renames the node the keys reached (once the tree has the keyboard back).
    Front();
    ASSERT_TRUE(testkit::WaitUntil([&] { return focus() == tree; })) << testkit::WindowClass(focus());
    Key(VK_RIGHT);
    ASSERT_TRUE(testkit::WaitUntil([&] {
        return (SendMessageA(tree, TVM_GETITEMSTATE, WPARAM(Item("Категория")), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    })) << "Right opens the folder";
    Key(VK_DOWN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return selected() == Item("Новая статья"); }));
    Key(VK_F2);
    EXPECT_TRUE(testkit::WaitUntil([&] { return SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0) != 0; })) << "F2";
    Key(VK_ESCAPE);
    EXPECT_TRUE(testkit::WaitUntil([&] { return SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0) == 0; }));

    // "Поиск": Tab enters the kinds of query at the chosen one, where the arrows choose the other
    // kind and back. On the push buttons they move between them and press nothing: no search, no
    // close, no kind chosen.
    Key(VK_F1, VK_CONTROL);
    HWND search = WindowCalled("Поиск");
    ASSERT_NE(search, nullptr);
    const auto query = Children(search, "Edit");
    ASSERT_EQ(query.size(), 1u);
    ASSERT_TRUE(testkit::WaitUntil([&] { return focus() == query[0]; }));
    SendMessageA(query[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ная"));
    const char *all = "Вхождение всех слов", *any = "Наличие любого слова";
    auto keys = [&](std::initializer_list<std::tuple<WORD, WORD, const char*>> Steps) {
        for (auto [key, modifier, focused] : Steps) {
            Key(key, modifier);
            ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(focus()) == focused; }))
                << key << " to " << focused << ", not " << WindowText(focus());
        }
    };
    keys({{VK_TAB, 0, all}, {VK_DOWN, 0, any}, {VK_TAB, VK_SHIFT, "ная"}, {VK_TAB, 0, any}, {VK_UP, 0, all},
          {VK_TAB, VK_SHIFT, "ная"}, {VK_TAB, VK_SHIFT, "Закрыть"}, {VK_LEFT, 0, "Найти"}, {VK_LEFT, 0, "Закрыть"},
          {VK_RIGHT, 0, "Найти"}, {VK_RIGHT, 0, "Закрыть"}});
    // Nothing to wait on for a search that must not run: a while for it to start.
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(search));
    EXPECT_EQ(testkit::OneVisibleWindow(main, "TreeView"), tree) << "no results page";
    keys({{VK_TAB, 0, "ная"}, {VK_TAB, 0, all}, {VK_TAB, VK_SHIFT, "ная"}, {VK_TAB, VK_SHIFT, "Закрыть"}});
    // Closed from its "Закрыть" by Space, it opens again with the focus in the query box.
    Key(VK_SPACE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(search); }));
    // The display hands the keyboard back to the main window after the dialog has gone: a key
    // pressed meanwhile may reach no window of the program, so it is pressed again then.
    Front();
    bool shown = false;
    for (int i = 0; i < 3 && !shown; ++i) {
        Key(VK_F1, VK_CONTROL);
        shown = testkit::WaitUntil([&] { return IsWindowVisible(search); }, testkit::kInputLostMs);
    }
    ASSERT_TRUE(shown);
    EXPECT_TRUE(testkit::WaitUntil([&] { return focus() == query[0]; })) << WindowText(focus());
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(search); }));

    // The about box ("Справка" > "О программе") closes by Esc, and by Enter.
    for (WORD closing : {VK_ESCAPE, VK_RETURN}) {
        Front();
        testkit::ChooseInMenuBar(main, 6, 4);
        HWND about = WindowCalled("О программе");
        ASSERT_NE(about, nullptr);
        ASSERT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == about; }));
        Key(closing);
        EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(about); })) << closing;
    }
    EXPECT_NE(Item("Новая статья"), nullptr);
    EXPECT_EQ(Item("Отменённая"), nullptr);
    EXPECT_EQ(run.Close(main), 0u);
}

// The file boxes' "Обзор..." in Dusk: the skinned open form at the archive's folder, walked with
// real clicks, the chosen name given back relative to it; without a skin the system's dialog.
TEST_F(EditEndToEnd, ByKeysAloneThePopUpMenuTheNoteBoxTheQuestionAndTheSettings)
{
    const LRESULT count = SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    auto caret = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)); };
    auto renaming = [&] { return SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0) != 0; };
    auto questions = [&] { return testkit::VisibleWindows(nullptr, run.Id(), "TsMessageForm").size(); };
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    // The tree's pop-up menu opened by Shift+F10 (or the menu key), gone through with the keys;
    // where it opened, on the screen.
    RECT opened{};
    auto popup = [&](std::initializer_list<WORD> keys, bool menuKey = false) {
        if (menuKey)
            Key(VK_APPS);
        else
            Key(VK_F10, VK_SHIFT);
        ASSERT_TRUE(testkit::WaitUntil([&] { return !Menus().empty(); }));
        GetWindowRect(Menus()[0], &opened);
        for (WORD k : keys)
            Key(k);
        ASSERT_TRUE(testkit::WaitUntil([&] { return Menus().empty(); }));
    };
    POINT first = At("Новая статья");
    Front();
    testkit::SendMouse(first, MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(first, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(testkit::WaitUntil([&] { return caret() == Item("Новая статья"); }));

    // Esc closes the menu and the arrows move in the tree again. The menu opens below the
    // selected node, by either key.
    popup({VK_ESCAPE});
    EXPECT_LE(opened.left, first.x);
    EXPECT_GT(opened.top, first.y);
    EXPECT_LT(opened.top, first.y + 20);
    Key(VK_DOWN);
    EXPECT_TRUE(testkit::WaitUntil([&] { return caret() == Item("Прочитанная"); })) << "the keyboard is the tree's";
    popup({VK_ESCAPE}, true);
    first = At("Прочитанная");
    EXPECT_GT(opened.top, first.y);
    EXPECT_LT(opened.top, first.y + 20);

    // "Переименовать" chosen by keys starts the rename; Esc ends it.
    popup({VK_DOWN, VK_RETURN});
    EXPECT_TRUE(testkit::WaitUntil(renaming)) << "the rename";
    Key(VK_ESCAPE);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !renaming(); }));

    // Ctrl+Del asks; Right moves the focus to "Нет" and answers nothing, Enter answers with it: the
    // entry stays, and the tree has the focus again.
    Key(VK_DELETE, VK_CONTROL);
    HWND confirm = WindowCalled("Удаление");
    ASSERT_NE(confirm, nullptr);
    Key(VK_RIGHT);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(focus()) == "&Нет"; })) << WindowText(focus());
    EXPECT_EQ(questions(), 1u);
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return questions() == 0; }));
    EXPECT_NE(Item("Прочитанная"), nullptr) << "\"Нет\" keeps the entry";
    EXPECT_TRUE(testkit::WaitUntil([&] { return focus() == tree; })) << testkit::WindowClass(focus());

    // The article opened by Enter, its note box by the menu's "Примечание" > "Добавить заметки":
    // there Ctrl+Del, Ctrl+Insert and Shift+Insert are the box's keys, not the tree's.
    Key(VK_RETURN);
    popup({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    HWND memo = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] {
        auto memos = testkit::VisibleWindows(main, 0, "Memo");
        memo = memos.empty() ? nullptr : memos[0];
        return memo != nullptr;
    })) << "the note box";
    SendMessageA(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("первое второе"));
    SendMessageA(memo, EM_SETSEL, 0, 0);
    Key(VK_DELETE, VK_CONTROL);
    Key(VK_INSERT, VK_CONTROL);
    Key(VK_INSERT, VK_SHIFT);
    EXPECT_TRUE(testkit::WaitUntil([&] { return WindowText(memo) != "первое второе"; })) << "Ctrl+Del in the box";
    // Nothing to wait on for a box that must not come: a while for it to show.
    Sleep(300);
    EXPECT_EQ(questions(), 0u) << "no question, no input box";
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), count) << "the tree as it was";

    // Tab from the box to its bar, which starts on "Сохранить": the arrows move among the bar's
    // buttons, Space presses one. The typed note saved, "Убрать" can be pressed at once; its
    // question answered "Нет" gives the keys back to the bar.
    Key(VK_TAB);
    ASSERT_TRUE(testkit::WaitUntil([&] { return testkit::WindowClass(focus()) == "Vellorn.TsToolBar"; }))
        << testkit::WindowClass(focus());
    const HWND bar = focus();
    auto hot = [&] { return SendMessageA(bar, TB_GETHOTITEM, 0, 0); };
    auto enabled = [&](int Index) { return (SendMessageA(bar, TB_GETSTATE, Index, 0) & TBSTATE_ENABLED) != 0; };
    ASSERT_TRUE(testkit::WaitUntil([&] { return hot() == 1; })) << hot();
    EXPECT_FALSE(enabled(3));
    Key(VK_SPACE);
    EXPECT_TRUE(testkit::WaitUntil([&] { return enabled(3); })) << "\"Убрать\" once the note is saved";
    Key(VK_RIGHT);
    EXPECT_TRUE(testkit::WaitUntil([&] { return hot() == 2; })) << hot();
    Key(VK_RIGHT);
    ASSERT_TRUE(testkit::WaitUntil([&] { return hot() == 3; })) << hot();
    Key(VK_SPACE);
    ASSERT_NE(WindowCalled("Внимание!!!"), nullptr);
    Key(VK_RIGHT);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(focus()) == "&Нет"; })) << WindowText(focus());
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return questions() == 0; }));
    EXPECT_TRUE(testkit::WaitUntil([&] { return focus() == bar; })) << testkit::WindowClass(focus());
    Key(VK_LEFT);
    EXPECT_TRUE(testkit::WaitUntil([&] { return hot() == 2; })) << "the arrows move in the bar again";

    // "Сервис" > "Настройки": the arrow chooses the other option, Enter saves it.
    const std::string ini = dir / "FILES\\settings.ini";
    const bool newWindow = testkit::ReadFileBytes(ini).find("TreeOpen=false") == std::string::npos;
    testkit::ChooseInMenuBar(main, 5, 1);
    HWND settings = WindowCalled("Настройки");
    ASSERT_NE(settings, nullptr);
    Key(newWindow ? VK_DOWN : VK_UP);
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(settings); }));
    const std::string saved = testkit::ReadFileBytes(ini);
    EXPECT_NE(saved.find(newWindow ? "TreeOpen=false" : "TreeOpen=true"), std::string::npos);
    // Tab to "OK", Left: the arrow stays among the buttons ("Отмена") and chooses no option; Enter
    // there keeps the file.
    testkit::ChooseInMenuBar(main, 5, 1);
    ASSERT_TRUE(testkit::WaitUntil([&] { return IsWindowVisible(settings); }));
    Key(VK_TAB);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(focus()) == "OK"; })) << WindowText(focus());
    Key(VK_LEFT);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(focus()) == "Отмена"; })) << WindowText(focus());
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(settings); }));
    EXPECT_EQ(testkit::ReadFileBytes(ini), saved);
}

// Panels hidden from "Вид" take the keys with them: the address bar left with the focus in its box,
// the tree with the focus on an entry. Typing reaches no hidden box, Ctrl+Del asks nothing.
TEST_F(EditEndToEnd, HiddenPanelsKeepNoKeys)
{
    auto questions = [&] { return testkit::VisibleWindows(nullptr, run.Id(), "TsMessageForm").size(); };
    // The address box as it is now (the skin applied at start may make it anew).
    auto addressBox = [&] {
        const auto combos = testkit::VisibleWindows(main, 0, "ComboBox");
        return combos.empty() ? nullptr : FindWindowExA(combos[0], nullptr, "Edit", nullptr);
    };
    HWND address = addressBox();
    ASSERT_NE(address, nullptr);
    RECT r;
    GetWindowRect(address, &r);
    Front();
    ASSERT_TRUE(testkit::ClickUntil(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        address = addressBox();
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) && address && info.hwndFocus == address;
    })) << Situation("hidden-panels-click");
    // An item of "Вид" chosen by real keys typed ahead: F10, two to the right, down to the item.
    auto view = [&](int Item) {
        Key(VK_F10);
        Key(VK_RIGHT);
        Key(VK_RIGHT);
        for (int i = 0; i <= Item; ++i)
            Key(VK_DOWN);
        Key(VK_RETURN);
    };
    // "Вид" > "Адресная строка", then letters.
    const std::string shown = testkit::WindowText(address);
    view(3);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(address); }));
    for (char c : std::string("abc"))
        Key(static_cast<WORD>(std::toupper(c)));
    // "Вид" > "Дерево статей" with an entry selected, then Ctrl+Del; "Поиск статей" (Ctrl+F1)
    // comes after both in the program's queue.
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item("Прочитанная")));
    view(4);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(tree); }));
    Key(VK_DELETE, VK_CONTROL);
    Key(VK_F1, VK_CONTROL);
    ASSERT_NE(WindowCalled("Поиск"), nullptr);
    EXPECT_EQ(questions(), 0u) << "no question about an entry out of sight";
    EXPECT_EQ(testkit::WindowText(address), shown) << "nothing typed into the hidden box";
    EXPECT_NE(Item("Прочитанная"), nullptr);
}

// The looks of the program: none, Neutral and Dusk, each with two addresses in the address list.
class LooksEndToEnd : public EditEndToEnd, public ::testing::WithParamInterface<const char*> {
protected:
    void Prepare() override
    {
        const std::string ini = dir / "FILES\\form.ini";
        std::string text = testkit::ReadFileBytes(ini);
        const size_t at = text.find("Skin=Neutral");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 12, std::string("Skin=") + GetParam());
        testkit::WriteFileBytes(ini, text);
        testkit::WriteFileBytes(dir / "FILES\\list", "http://a.example/\r\nhttp://b.example/\r\n");
    }
    HWND Focus()
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
    }
};

INSTANTIATE_TEST_SUITE_P(Looks, LooksEndToEnd, ::testing::Values("", "Neutral", "Dusk"));

TEST_P(LooksEndToEnd, TheSearchLeavesTheKeysToItsResultsAndAltDownOpensTheAddressList)
{
    // Ctrl+F1, a query, Enter, Esc: the results have the keys, Down moves in them.
    Front();
    ASSERT_TRUE(testkit::WaitUntil([&] { return Focus() == tree; }));
    Key(VK_F1, VK_CONTROL);
    HWND search = WindowCalled("Поиск");
    ASSERT_NE(search, nullptr);
    const auto query = Children(search, "Edit");
    ASSERT_EQ(query.size(), 1u);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Focus() == query[0]; }));
    SendMessageA(query[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ная"));
    Key(VK_RETURN);
    HWND results = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] {
        const auto trees = testkit::VisibleWindows(main, 0, "TreeView");
        results = trees.size() == 1 && trees[0] != tree ? trees[0] : nullptr;
        return results && SendMessageA(results, TVM_GETCOUNT, 0, 0) == 3;
    })) << "the results page";
    Key(VK_ESCAPE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(search); }));
    EXPECT_TRUE(testkit::WaitUntil([&] { return Focus() == results; })) << testkit::WindowClass(Focus());
    auto caret = [&] { return SendMessageA(results, TVM_GETNEXTITEM, TVGN_CARET, 0); };
    const LRESULT before = caret();
    Key(VK_DOWN);
    EXPECT_TRUE(testkit::WaitUntil([&] { return caret() != before && caret() != 0; })) << "Down moves in the results";

    // The address box: Alt+Down (Alt let go first) opens its list and arms no menu; the next Down
    // moves in the list.
    const auto combos = testkit::VisibleWindows(main, 0, "ComboBox");
    ASSERT_FALSE(combos.empty());
    HWND address = FindWindowExA(combos[0], nullptr, "Edit", nullptr);
    RECT r;
    GetWindowRect(address, &r);
    ASSERT_TRUE(testkit::ClickUntil(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] { return Focus() == address; }));
    keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(VK_DOWN, 0, 0, 0);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return SendMessageA(combos[0], CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    Key(VK_DOWN);
    EXPECT_TRUE(testkit::WaitUntil([&] { return SendMessageA(combos[0], CB_GETCURSEL, 0, 0) == 0; }));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    EXPECT_EQ(info.flags & GUI_INMENUMODE, 0u) << "no menu armed";
    EXPECT_TRUE(Menus().empty());
    Key(VK_ESCAPE);
    EXPECT_TRUE(testkit::WaitUntil([&] { return SendMessageA(combos[0], CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_EQ(run.Close(main), 0u);
}

// Shift+F10 and the keys after it typed at once, before the menu shows: the menu takes every key
// in order, none reaches the tree. A typed note saved from the pop-up's "Примечание" > "Сохранить"
// (reached upwards past "Загрузить") a few times over: saved each time, the selection kept, no box.
TEST_P(LooksEndToEnd, ThePopUpByShiftF10TakesTheKeysTypedAheadInOrder)
{
    auto caret = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)); };
    auto boxes = [&] { return testkit::VisibleWindows(nullptr, run.Id(), "TsMessageForm").size() +
                              testkit::VisibleWindows(nullptr, run.Id(), "#32770").size(); };
    auto typedAhead = [&](std::initializer_list<WORD> keys) {
        Key(VK_F10, VK_SHIFT);
        for (WORD k : keys)
            Key(k);
    };
    const HTREEITEM entry = Item("Новая статья");
    Front();
    ASSERT_TRUE(testkit::ClickUntil(At("Прочитанная"), [&] { return caret() == Item("Прочитанная"); }));
    Key(VK_UP);
    ASSERT_TRUE(testkit::WaitUntil([&] { return caret() == entry && Focus() == tree; }));
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(main).find("Новая статья") != std::string::npos; }));
    // "Примечание" > "Добавить заметки": the note box comes with the keys.
    typedAhead({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    HWND memo = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] {
        const auto memos = testkit::VisibleWindows(main, 0, "Memo");
        memo = memos.empty() ? nullptr : memos[0];
        return memo && Focus() == memo;
    })) << "the note box";
    // The keys back to the tree; the note typed into the box from outside leaves them there.
    ASSERT_TRUE(testkit::ClickUntil(At("Прочитанная"), [&] { return caret() == Item("Прочитанная"); }));
    Key(VK_UP);
    const std::string note = dir / "FILES\\text\\Новая статья_VLN.txt";
    std::string text;
    for (int i = 0; i < 3; ++i) {
        text += static_cast<char>('a' + i);
        PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(text.back()), 0);
        ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(memo) == text; }));
        ASSERT_TRUE(testkit::WaitUntil([&] { return caret() == entry && Focus() == tree; }));
        typedAhead({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN});
        ASSERT_TRUE(testkit::WaitUntil([&] { return testkit::ReadFileBytes(note) == text + "\r\n"; }))
            << "save " << i << ": the note file holds \"" << testkit::ReadFileBytes(note) << "\"; "
            << Situation(std::string("popup-save-") + GetParam());
        EXPECT_TRUE(testkit::WaitUntil([&] { return Menus().empty(); }));
        EXPECT_EQ(boxes(), 0u) << i;
        EXPECT_EQ(caret(), entry) << i;
    }
    EXPECT_EQ(run.Close(main), 0u);
}

class BrowseEndToEnd : public EditEndToEnd {
protected:
    void Prepare() override
    {
        for (const char* f : {"FILES\\e2e\\", "FILES\\e2e\\page.html", "FILES\\FLASH\\m.swf", "FILES\\keys.html",
                              "outside.html"}) {
            const std::string path = dir / f;
            if (path.back() == '\\')
                CreateDirectoryA(path.c_str(), nullptr);
            else
                testkit::WriteFileBytes(path, "x");
        }
        // "\uff4b\uff45\uff59\uff53.html" reads as "keys.html" in the code page; "long folder" has a short name.
        testkit::MakeWide(dir / "FILES\\", L"\uff4b\uff45\uff59\uff53.html", "wide keys");
        CreateDirectoryA((dir / "FILES\\long folder").c_str(), nullptr);
        testkit::WriteFileBytes(dir / "FILES\\long folder\\page.html", "long");
        TIniFile ini(dir / "FILES\\form.ini");
        ini.WriteString("FORM", "Skin", Skin());
    }
    virtual const char* Skin() { return "Dusk"; }

    // The names of the list's rows.
    std::vector<std::string> Rows(HWND list)
    {
        std::vector<std::string> rows;
        testkit::RemoteBuffer buffer(run.Process(), 512);
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMA item{};
            item.iSubItem = 0;
            item.pszText = reinterpret_cast<char*>(buffer.Address() + 64);
            item.cchTextMax = 256;
            buffer.Put(item);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), buffer.Address());
            char text[257] = {};
            ReadProcessMemory(run.Process(), reinterpret_cast<void*>(buffer.Address() + 64), text, 256, nullptr);
            rows.emplace_back(text);
        }
        return rows;
    }
    bool Lists(HWND list, const std::string& name)
    {
        return testkit::WaitUntil([&] {
            const auto rows = Rows(list);
            return std::find(rows.begin(), rows.end(), name) != rows.end();
        });
    }
    // A click (twice: a double click) on a row of the list.
    void ClickRow(HWND list, const std::string& name, bool twice)
    {
        const auto rows = Rows(list);
        const auto at = std::find(rows.begin(), rows.end(), name);
        ASSERT_NE(at, rows.end()) << name;
        testkit::RemoteBuffer buffer(run.Process(), sizeof(RECT));
        buffer.Put(RECT{LVIR_LABEL, 0, 0, 0});
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(at - rows.begin()), buffer.Address());
        testkit::ClickIn(list, buffer.Get<RECT>(), twice);
    }
    // "Обзор..." of a dialog: the open form, double click on "dir", Back, double click on "dir"
    // again, "file" chosen, "Open"; the dialog's file box then holds "expected".
    void Browse(HWND dialog, const std::string& first, const std::string& folder, const std::string& file,
                const std::string& expected)
    {
        Press(dialog, "Обзор...");
        HWND form = WindowCalled("Открыть");
        ASSERT_NE(form, nullptr);
        const auto lists = Children(form, "ListView");
        ASSERT_EQ(lists.size(), 1u);
        HWND list = lists[0];
        ASSERT_TRUE(Lists(list, first)) << "the archive's folder listed";
        if (!folder.empty()) {
            ClickRow(list, folder, true);
            ASSERT_TRUE(Lists(list, file)) << folder << " opened";
            testkit::ClickIn(form, RECT{330, 3, 352, 29}); // Back, left of its arrow
            ASSERT_TRUE(Lists(list, first)) << "back in the archive's folder";
            ClickRow(list, folder, true);
            ASSERT_TRUE(Lists(list, file));
        }
        ClickRow(list, file, false);
        Press(form, "Открыть");
        EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(form); })) << "the form closed";
        const auto edits = Children(dialog, "Edit");
        ASSERT_GE(edits.size(), 2u);
        // The box's own text (the window manager's copy of another process's edit is its caption).
        char text[512] = {};
        EXPECT_TRUE(testkit::WaitUntil([&] {
            SendMessageA(edits[1], WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
            return text == expected;
        })) << text;
    }
};

TEST_F(BrowseEndToEnd, TheArticleAndFlashDialogsBrowseTheArchiveInTheSkinnedForm)
{
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    Browse(add, "Standard", "e2e", "page.html", "e2e\\page.html");
    Press(add, "Отмена");
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(add); }));

    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND flash = WindowCalled("Flash");
    ASSERT_NE(flash, nullptr);
    Browse(flash, "m.swf", "", "m.swf", "m.swf");
    EXPECT_EQ(run.Close(main), 0u);
}

// Names typed into the skinned form, as the system's dialog takes them: the name box has the focus,
// a folder opens and keeps the form, a name is stored canonical, one outside the archive is
// refused, and every "Обзор..." starts again in the archive's folder with no name.
TEST_F(BrowseEndToEnd, TypedNamesAreResolvedAndEachBrowseStartsInTheArchive)
{
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    const auto edits = Children(add, "Edit");
    ASSERT_GE(edits.size(), 2u);
    const auto text = [](HWND edit) {
        char buffer[512] = {};
        SendMessageA(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };
    // "Обзор...": the open form in the archive's folder, the focus in its name box (empty).
    const auto browse = [&](HWND& form, HWND& name, HWND& list) {
        Press(add, "Обзор...");
        form = WindowCalled("Открыть");
        ASSERT_NE(form, nullptr);
        list = Children(form, "ListView").at(0);
        ASSERT_TRUE(Lists(list, "Standard")) << "the archive's folder listed";
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        EXPECT_TRUE(testkit::WaitUntil([&] {
            return GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info) && info.hwndFocus &&
                   testkit::WindowClass(info.hwndFocus) == "Vellorn.TsEdit";
        })) << testkit::WindowClass(info.hwndFocus);
        name = info.hwndFocus;
        EXPECT_EQ(text(name), "");
    };
    const auto type = [&](HWND name, const char* typed) {
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
        // Enter once the form is in front with the focus in the name box, where the key goes.
        SetForegroundWindow(GetAncestor(name, GA_ROOT));
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        EXPECT_TRUE(testkit::WaitUntil([&] {
            return GetForegroundWindow() == GetAncestor(name, GA_ROOT) &&
                   GetGUIThreadInfo(GetWindowThreadProcessId(name, nullptr), &info) && info.hwndFocus == name;
        })) << typed;
        Key(VK_RETURN);
    };
    HWND form = nullptr, name = nullptr, list = nullptr;
    browse(form, name, list);
    type(name, "e2e");
    ASSERT_TRUE(Lists(list, "page.html")) << "the folder typed opened";
    EXPECT_TRUE(IsWindowVisible(form));
    // The message box of the program, answered.
    const auto answerBox = [&] {
        HWND box = nullptr;
        EXPECT_TRUE(testkit::WaitUntil([&] {
            const auto boxes = testkit::VisibleWindows(nullptr, run.Id(), "TsMessageForm");
            box = boxes.empty() ? nullptr : boxes[0];
            return box != nullptr;
        }));
        Press(box, "OK", "");
        EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }));
    };
    // A name of another folder is no file here: refused, the form stays.
    type(name, "keys.html");
    answerBox();
    EXPECT_TRUE(IsWindowVisible(form));
    // Outside the archive: the form closes, the pick is refused, the file box stays empty.
    type(name, "..\\..\\outside.html");
    answerBox();
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(text(edits[1]), "");

    browse(form, name, list);
    type(name, " \"e2e/../keys.html \"");
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(form); })) << "the form closed";
    EXPECT_TRUE(testkit::WaitUntil([&] { return text(edits[1]) == "keys.html"; })) << text(edits[1]);
    browse(form, name, list);
    Press(form, "Отмена");
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(form); }));

    const auto create = [&](const char* title) {
        SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
        Press(add, "Создать");
        ASSERT_TRUE(testkit::WaitUntil([&] { return Item(title) != nullptr; })) << title;
        if (!IsWindowVisible(add)) {
            Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
            ASSERT_TRUE(testkit::WaitUntil([&] { return IsWindowVisible(add); }));
        }
    };
    create("Ключи");

    // The row of the look-alike, shown by its short name, is that very file; a short path typed
    // comes back in its long form.
    WIN32_FIND_DATAW found{};
    FindClose(FindFirstFileW((L"\\\\?\\" + AnsiToWide((dir / "FILES\\").c_str()) + L"\uff4b\uff45\uff59\uff53.html").c_str(), &found));
    const std::string alike = WideToAnsi(found.cAlternateFileName).c_str();
    ASSERT_FALSE(alike.empty());
    browse(form, name, list);
    ClickRow(list, alike, false);
    Press(form, "Открыть");
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(form); })) << "the form closed";
    EXPECT_TRUE(testkit::WaitUntil([&] { return text(edits[1]) == alike; })) << text(edits[1]);
    create("Похожие ключи");
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA((dir / "FILES\\long folder\\page.html").c_str(), shortPath, MAX_PATH);
    browse(form, name, list);
    type(name, shortPath);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(form); })) << "the form closed";
    EXPECT_TRUE(testkit::WaitUntil([&] { return text(edits[1]) == "long folder\\page.html"; })) << text(edits[1]);
    create("Длинная");

    EXPECT_EQ(run.Close(main), 0u);
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    for (const std::string& line : {std::string("Ключи=keys.html"), "Похожие ключи=" + alike, std::string("Длинная=long folder\\page.html")})
        EXPECT_NE(map.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    EXPECT_EQ(testkit::ReadFileBytes(dir / ("FILES\\" + alike)), "wide keys");
}

class PlainBrowseEndToEnd : public BrowseEndToEnd {
protected:
    const char* Skin() override { return ""; }
};

TEST_F(PlainBrowseEndToEnd, WithoutASkinTheSystemsDialogOpens)
{
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    Press(add, "Обзор...");
    HWND system = SystemDialog();
    ASSERT_NE(system, nullptr) << "the system's open dialog";
    EXPECT_TRUE(testkit::VisibleWindows(nullptr, run.Id(), "TsOpenDialogForm").empty());
    PostMessageA(system, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(system); }));
    EXPECT_EQ(run.Close(main), 0u);
}

} // namespace

namespace {

// A working tree the program may not replace (the read-only attribute): the close names it and
// offers another file, the close without the tree, or staying; the file is never touched.
class UnwritableTreeEndToEnd : public EditEndToEnd {
protected:
    void Prepare() override
    {
        before = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
        FileSetAttr(dir / "FILES\\tree\\Temp.vlt", faReadOnly);
    }
    // Closes the main window and answers the question with the button.
    void CloseAnswering(DWORD pid, HWND window, const std::string& button)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        Answer(pid, "Внимание!!!", button);
    }
    bool Ends(HANDLE process)
    {
        DWORD code = STILL_ACTIVE;
        return WaitForSingleObject(process, testkit::kPatienceMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code) && code == 0;
    }
    std::string before;
};

TEST_F(UnwritableTreeEndToEnd, TheCloseOffersAnotherFileTheCloseWithoutTheTreeOrStaying)
{
    const AnsiString tree = dir / "FILES\\tree\\Temp.vlt";
    // A change: a category through the pop-up menu's "Добавить" > "Категория".
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    HWND box = WindowCalled("Введите название категории");
    ASSERT_NE(box, nullptr) << Situation("unwritable-category");
    SendMessageA(Children(box, "Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Новости"));
    Press(box, "OK");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Новости") != nullptr; }));
    // The change could not be written: told once, it stays for the close.
    Answer(run.Id(), "VLN - Vellorn", "OK");

    // "Отмена": the program stays with its tree.
    CloseAnswering(run.Id(), main, "Отмена");
    EXPECT_TRUE(testkit::Answers(main)) << "the program runs";
    EXPECT_NE(Item("Новости"), nullptr);
    EXPECT_NE(Item("Избранная"), nullptr);
    EXPECT_EQ(testkit::ReadFileBytes(tree), before);

    // "Да": the tree save dialog, a name typed; the tree goes there and the program ends.
    CloseAnswering(run.Id(), main, "&Да");
    const std::string copy = dir / "FILES\\tree\\copy.vlt";
    ChooseFile(copy);
    ASSERT_TRUE(Ends(run.Process()));
    EXPECT_NE(testkit::ReadFileBytes(copy).find(Short("Новости")), std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(tree), before) << "the read-only file as it was";
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("TreeFile=" + copy + "\r\n"), std::string::npos)
        << "form.ini names the tree with the changes";

    // The next run opens the tree with the changes, and works on it.
    testkit::ProgramRun again;
    HWND second = again.Launch(dir.Path());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(testkit::WaitUntil([&] { return WindowText(second).rfind("copy -", 0) == 0; })) << WindowText(second);
    PostMessageA(second, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ends(again.Process()));
    EXPECT_EQ(testkit::ReadFileBytes(tree), before);
    FileSetAttr(tree, 0);
}

} // namespace

namespace {

// An archive whose article "Прочитанная" has a note, and a page to add.
class EntriesEndToEnd : public EditEndToEnd {
protected:
    void Prepare() override
    {
        testkit::WriteFileBytes(Note("Прочитанная"), "примечание A\r\n");
        testkit::WriteFileBytes(dir / "FILES\\page.html", "<html><head><title>Страница</title></head></html>");
    }
    std::string Note(const std::string& name) { return dir / ("FILES\\text\\" + name + "_VLN.txt"); }
    // The text of a control of the program, asked of the control itself.
    static std::string Text(HWND control)
    {
        std::string text(static_cast<std::size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    std::vector<HWND> Boxes() { return testkit::VisibleWindows(nullptr, on->Id(), "TsMessageForm"); }
    bool Editing() { return SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0) != 0; }
    // A click on the item, which the tree then has selected and focused.
    void Select(const std::string& title)
    {
        const POINT p = At(title);
        Front();
        ASSERT_TRUE(testkit::ClickUntil(p, [&] {
            return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LPARAM>(Item(title));
        })) << title;
    }
    // The item renamed through F2 and its edit box, ended by Enter.
    void RenameByKeys(const std::string& title, const std::string& text)
    {
        Select(title);
        Key(VK_F2);
        ASSERT_TRUE(testkit::WaitUntil([&] { return Editing(); })) << "F2";
        HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
        EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Key(VK_RETURN);
        // A box would come while the edit box still exists.
        ASSERT_TRUE(testkit::WaitUntil([&] { return !Editing() || !Boxes().empty(); }));
    }
    // The box the program shows now, answered with its only button.
    bool AnswerBox()
    {
        HWND box = nullptr;
        if (!testkit::WaitUntil([&] { return !(Boxes().empty() || !(box = Boxes()[0])); }))
            return false;
        Press(box, "OK", "");
        return testkit::WaitUntil([&] { return !IsWindow(box); });
    }
    // Characters typed into the note box once it has the focus (the command that shows it gives it).
    void Type(const std::string& text)
    {
        const DWORD thread = GetWindowThreadProcessId(main, nullptr);
        HWND memo = nullptr;
        ASSERT_TRUE(testkit::WaitUntil([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            memo = Memo();
            return memo && GetGUIThreadInfo(thread, &info) && info.hwndFocus == memo;
        })) << "the note box focused";
        for (const char c : text)
            PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    // The note box, once shown.
    HWND Memo()
    {
        auto memos = testkit::VisibleWindows(main, 0, "Memo");
        return memos.empty() ? nullptr : memos[0];
    }
};

TEST_F(EntriesEndToEnd, AnUnchangedRenameIsQuietAndATitleTheTreeCannotKeepIsRefused)
{
    // F2 and Enter without a change: no box.
    RenameByKeys("Новая статья", "Новая статья");
    SendMessageA(main, WM_NULL, 0, 0);
    EXPECT_TRUE(Boxes().empty()) << "no box for an unchanged title";

    // 300 characters in the tree's edit box (past its limit): refused in a box, the title kept.
    const std::string longTitle(300, 'д');
    RenameByKeys("Новая статья", longTitle);
    EXPECT_TRUE(AnswerBox()) << "the refusal";
    ASSERT_TRUE(testkit::WaitUntil([&] { return !Editing(); }));
    EXPECT_NE(Item("Новая статья"), nullptr);

    // The article dialog: its title box takes 255 characters; 300 put past it are refused and
    // stay for mending; 255 are taken.
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    const auto edits = Children(add, "Edit");
    ASSERT_GE(edits.size(), 2u);
    EXPECT_EQ(SendMessageA(edits[0], EM_GETLIMITTEXT, 0, 0), 255);
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longTitle.c_str()));
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("page.html"));
    Press(add, "Создать");
    EXPECT_TRUE(AnswerBox()) << "the refusal";
    EXPECT_TRUE(IsWindowVisible(add));
    EXPECT_EQ(Text(edits[0]), longTitle);
    const std::string longest(255, 'д');
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longest.c_str()));
    Press(add, "Создать");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item(longest) != nullptr; }));
    EXPECT_TRUE(Boxes().empty());

    EXPECT_EQ(run.Close(main), 0u);
    const std::string file = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    EXPECT_NE(file.find(Short(longest)), std::string::npos) << "the title kept whole";
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    EXPECT_NE(map.find("\r\n" + longest + "=page.html\r\n"), std::string::npos);
    EXPECT_EQ(map.find(longTitle.substr(0, 256)), std::string::npos);
}

TEST_F(EntriesEndToEnd, ANoteBelongsToItsEntryThroughRenamesDeletesAndThePopUp)
{
    // A's note opens with A.
    Select("Прочитанная");
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() && Text(Memo()) == "примечание A\r\n"; }));

    // B's pop-up: "Примечание" > "Добавить заметки" opens B for its note; typed, then saved from B's
    // pop-up ("Сохранить", reached upwards past "Загрузить"); A's note is unchanged.
    Popup("Непрочитанная", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() && Text(Memo()).empty(); })) << "B's empty note";
    Type("note B");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Text(Memo()) == "note B"; }));
    Popup("Непрочитанная", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return testkit::ReadFileBytes(Note("Непрочитанная")) == "note B\r\n"; }));
    EXPECT_EQ(testkit::ReadFileBytes(Note("Прочитанная")), "примечание A\r\n");

    // A renamed to a title no file name can hold as it is: its note follows and opens with it.
    RenameByKeys("Прочитанная", "Что такое C++?");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Что такое C++?") != nullptr; }));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(FileExists(Note("Прочитанная").c_str()));
    EXPECT_EQ(testkit::ReadFileBytes(Note("Что такое C++=3F")), "примечание A\r\n");
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() && Text(Memo()) == "примечание A\r\n"; }));

    // Deleted, its note goes: a new article of that title opens without one.
    Key(VK_DELETE, VK_CONTROL);
    HWND confirm = WindowCalled("Удаление");
    ASSERT_NE(confirm, nullptr);
    Press(confirm, "&Да", "BitBtn");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Что такое C++?") == nullptr; }));
    EXPECT_FALSE(FileExists(Note("Что такое C++=3F").c_str()));
    Popup("Разное", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN});
    HWND add = WindowCalled("Добавление статьи");
    ASSERT_NE(add, nullptr);
    SendMessageA(Children(add, "Edit").at(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Что такое C++?"));
    Press(add, "Создать");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Что такое C++?") != nullptr; }));
    Select("Что такое C++?");
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(main).find("Что такое C++?") != std::string::npos; }));
    EXPECT_EQ(Memo(), nullptr) << "no note shown";

    // Its own note is kept under the name written for the title.
    Popup("Что такое C++?", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() != nullptr; }));
    Type("C++");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Text(Memo()) == "C++"; }));
    Popup("Что такое C++?", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return testkit::ReadFileBytes(Note("Что такое C++=3F")) == "C++\r\n"; }));

    EXPECT_EQ(run.Close(main), 0u);
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    EXPECT_EQ(map.find("Прочитанная="), std::string::npos) << "no key of the old title";
    EXPECT_NE(map.find("\r\nЧто такое C++?=\r\n"), std::string::npos);
}

} // namespace

namespace {

// Two programs on one archive: the second works on a copy of its own with its own notes, and in
// either closing order each keeps all its own work; the copy opened later shows its notes. A kill
// of the program right after a change leaves the change on disk with its key and its note.
class TwoCopiesEndToEnd : public EntriesEndToEnd, public ::testing::WithParamInterface<bool> {
protected:
    // The second program started beside the first, its message that it works on a copy answered.
    HWND StartSecond(testkit::ProgramRun& Second)
    {
        std::string told;
        const auto answer = [&] {
            for (HWND box : testkit::VisibleWindows(nullptr, Second.Id(), "TsMessageForm"))
                if (const HWND ok = testkit::ChildWithText(box, "BitBtn", "OK"); ok && !WindowText(box).empty()) {
                    told = WindowText(box);
                    PostMessageA(ok, BM_CLICK, 0, 0);
                }
        };
        HWND copy = Second.Launch(dir.Path(), "", answer);
        EXPECT_TRUE(testkit::WaitUntil([&] {
            answer();
            return !told.empty();
        }));
        EXPECT_EQ(told, "VLN [Temp (2).vlt] - Vellorn");
        return copy;
    }
    std::string File(const std::string& Name) { return testkit::ReadFileBytes(dir / ("FILES\\" + Name)); }
    std::string Tree(const std::string& Name)
    {
        std::string out;
        for (const auto& [title, image] : treefile::NodeRecords(treefile::ReadTreeStream(dir / ("FILES\\tree\\" + Name))))
            out += std::string(title) + "/" + std::to_string(image) + ";";
        return out;
    }
};

TEST_P(TwoCopiesEndToEnd, EachKeepsItsOwnWorkInEitherClosingOrder)
{
    const bool firstClosesFirst = GetParam();
    const HWND firstMain = main;
    RenameByKeys("Прочитанная", "Прочитанная 1");
    ASSERT_TRUE(testkit::WaitUntil([&] { return File("text\\Прочитанная 1_VLN.txt") == "примечание A\r\n"; }));

    testkit::ProgramRun second;
    const HWND copy = StartSecond(second);
    ASSERT_NE(copy, nullptr);
    DriveOther(second, copy);
    // In the copy: a rename, a delete and a note of its own.
    RenameByKeys("Прочитанная 1", "Вторая копия");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Вторая копия") != nullptr; }));
    Popup("Избранная", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); // "Удалить"
    EditEndToEnd::Answer(second.Id(), "Удаление", "&Да");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("Избранная") == nullptr; }));
    Popup("Новая статья", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() != nullptr; })) << Situation("two-copies-note");
    Type("копия");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Text(Memo()) == "копия"; }));
    Popup("Новая статья", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN});
    ASSERT_TRUE(testkit::WaitUntil([&] { return File("text\\Новая статья_Temp (2).txt") == "копия\r\n"; }));

    const std::string formBefore = File("form.ini");
    if (firstClosesFirst) {
        EXPECT_EQ(run.Close(firstMain), 0u);
        EXPECT_EQ(second.Close(copy), 0u);
    } else {
        EXPECT_EQ(second.Close(copy), 0u);
        EXPECT_EQ(File("form.ini"), formBefore) << "form.ini is the first program's";
        EXPECT_EQ(run.Close(firstMain), 0u);
    }
    // The first program's work, its notes untouched by the second.
    EXPECT_EQ(Tree("Temp.vlt"), "Категория/0;Новая статья/2;Прочитанная 1/8;Подкатегория/0;Избранная/35;Разное/0;"
                                "Непрочитанная/36;Мультик/38;Ссылка/39;");
    EXPECT_NE(File("tree\\Temp.ini").find("\r\nПрочитанная 1=read.html\r\n"), std::string::npos);
    EXPECT_EQ(File("text\\Прочитанная 1_VLN.txt"), "примечание A\r\n");
    EXPECT_FALSE(FileExists(dir / "FILES\\text\\Новая статья_VLN.txt"));
    // The second's, under its own name.
    EXPECT_EQ(Tree("Temp (2).vlt"), "Категория/0;Новая статья/2;Вторая копия/8;Подкатегория/0;Разное/0;"
                                    "Непрочитанная/36;Мультик/38;Ссылка/39;");
    const std::string map = File("tree\\Temp (2).ini");
    EXPECT_NE(map.find("\r\nВторая копия=read.html\r\n"), std::string::npos);
    EXPECT_EQ(map.find("Избранная="), std::string::npos);
    EXPECT_EQ(File("text\\Вторая копия_Temp (2).txt"), "примечание A\r\n");
    EXPECT_EQ(File("text\\Новая статья_Temp (2).txt"), "копия\r\n");
    EXPECT_FALSE(FileExists(dir / "FILES\\text\\Прочитанная 1_Temp (2).txt"));
    EXPECT_EQ(File("form.ini").find("Temp (2)"), std::string::npos);

    // The copy opened later shows its notes.
    testkit::ProgramRun later;
    const HWND opened = later.Launch(dir.Path(), "\"" + dir / "FILES\\tree\\Temp (2).vlt" + "\"");
    ASSERT_NE(opened, nullptr);
    DriveOther(later, opened);
    Select("Вторая копия");
    Key(VK_RETURN);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() && Text(Memo()) == "примечание A\r\n"; }));
    EXPECT_EQ(later.Close(opened), 0u);
}

INSTANTIATE_TEST_SUITE_P(Orders, TwoCopiesEndToEnd, ::testing::Bool());

// The end of the session is one close: it writes what was typed and not kept yet (a note, the
// property panel's values), shows nothing and waits for nothing, also while a question of the close
// is open; after a query that wrote everything, the end writes nothing again.
class SessionEndEndToEnd : public EntriesEndToEnd {
protected:
    bool Ends() { return WaitForSingleObject(run.Process(), testkit::kPatienceMs) == WAIT_OBJECT_0; }
    // A note typed for the entry and not saved.
    void TypeNote(const std::string& Title, const std::string& Typed)
    {
        Popup(Title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
        ASSERT_TRUE(testkit::WaitUntil([&] { return Memo() != nullptr; }));
        Type(Typed);
        ASSERT_TRUE(testkit::WaitUntil([&] { return Text(Memo()) == Typed; }));
    }
    // The end of the session, sent as the system sends it (from another thread, as it waits).
    void End()
    {
        std::thread system([&] { SendMessageA(main, WM_ENDSESSION, TRUE, 0); });
        system.join();
    }
};

TEST_F(SessionEndEndToEnd, WithoutAQueryWhatWasTypedIsWrittenAndNothingShows)
{
    TypeNote("Новая статья", "набрано");
    // The property panel of another article, a new title typed and not applied.
    Popup("Прочитанная", {VK_UP, VK_RETURN});
    HWND field = nullptr;
    ASSERT_TRUE(testkit::WaitUntil([&] {
        auto edits = testkit::VisibleWindows(main, 0, "Edit");
        for (HWND e : edits)
            if (WindowText(e) == "Прочитанная")
                field = e;
        return field != nullptr;
    }));
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Прочитанная вновь"));
    End();
    ASSERT_TRUE(Ends()) << "nothing shown, nothing waited for";
    EXPECT_EQ(testkit::ReadFileBytes(Note("Новая статья")), "набрано\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(Note("Прочитанная вновь")), "примечание A\r\n");
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini").find("\r\nПрочитанная вновь=read.html\r\n"),
              std::string::npos);
}

TEST_F(SessionEndEndToEnd, AnEndWhileTheCloseAsksWritesAndEnds)
{
    TypeNote("Новая статья", "набрано");
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !Boxes().empty(); })) << "the typed note's question";
    End();
    ASSERT_TRUE(Ends());
    EXPECT_EQ(testkit::ReadFileBytes(Note("Новая статья")), "набрано\r\n");
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("[ST]"), std::string::npos);
}

TEST_F(SessionEndEndToEnd, AQueryThatWroteEverythingLeavesTheEndNothingToWrite)
{
    LRESULT answer = 0;
    std::thread system([&] { answer = SendMessageA(main, WM_QUERYENDSESSION, 0, 0); });
    system.join();
    ASSERT_EQ(answer, 1);
    testkit::WriteFileBytes(dir / "FILES\\form.ini", "written by the query");
    End();
    ASSERT_TRUE(Ends());
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\form.ini"), "written by the query") << "written once";
}

TEST_F(SessionEndEndToEnd, ARenameTheTreeRefusesEndsQuietly)
{
    Select("Прочитанная");
    Key(VK_F2);
    ASSERT_TRUE(testkit::WaitUntil([&] { return Editing(); }));
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Избранная"));
    End();
    ASSERT_TRUE(Ends()) << "the refusal shows no box";
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    EXPECT_NE(map.find("\r\nПрочитанная=read.html\r\n"), std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(Note("Прочитанная")), "примечание A\r\n");
}

// A kill of the program right after a rename: the next start shows the entry with its page and note.
TEST_F(EntriesEndToEnd, AKillRightAfterAChangeLosesNothingOfIt)
{
    RenameByKeys("Прочитанная", "После");
    ASSERT_TRUE(testkit::WaitUntil([&] { return Item("После") != nullptr; }));
    // The window has answered since the command: the change is on disk.
    ASSERT_TRUE(testkit::Answers(main));
    TerminateProcess(run.Process(), 9);
    WaitForSingleObject(run.Process(), testkit::kPatienceMs);
    const auto records = treefile::NodeRecords(treefile::ReadTreeStream(dir / "FILES\\tree\\Temp.vlt"));
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) { return r.first == "После"; }));
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini").find("\r\nПосле=read.html\r\n"), std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(Note("После")), "примечание A\r\n");
}

} // namespace

namespace {

// What the archive may not replace or cannot keep, refused from outside as a user meets it: a
// read-only tree file chosen for "Сохранить дерево", an entry whose stored file lies outside the
// archive, a tree loaded in this window over the working one.
class RefusalsEndToEnd : public EditEndToEnd {
protected:
    void Prepare() override
    {
        testkit::WriteFileBytes(dir / "FILES\\tree\\Только.vlt", "old tree");
        FileSetAttr(dir / "FILES\\tree\\Только.vlt", faReadOnly);
        testkit::WriteFileBytes(dir / "outside.html", "<html><head><title>Снаружи</title></head></html>");
        std::string map = SampleMap();
        map.replace(map.find("new.html"), 8, "..\\outside.html");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", map);
        testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.vlt", PlainTreeFile({{"Одна", 8, {}}}));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.ini", "[FILES]\r\nОдна=one.html\r\n");
    }
    void TearDown() override { FileSetAttr(dir / "FILES\\tree\\Только.vlt", 0); }

    std::string AddressText()
    {
        char text[1024] = {};
        for (HWND combo : testkit::VisibleWindows(main, 0, "ComboBox"))
            for (HWND edit : testkit::VisibleWindows(combo, 0, "Edit"))
                SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

TEST_F(RefusalsEndToEnd, CtrlSOntoAReadOnlyTreeFileIsRefusedAndTheFileStays)
{
    const std::string target = dir / "FILES\\tree\\Только.vlt";
    Front();
    Key('S', VK_CONTROL);
    // The file is there: the save dialog asks before it is replaced.
    ChooseFile(target, true);
    Answer(run.Id(), "Внимание!!!", "OK");
    EXPECT_EQ(testkit::ReadFileBytes(target), "old tree");
    EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Только.ini")) << "no map without its tree";
    EXPECT_EQ(run.Close(main), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(target), "old tree");
}

TEST_F(RefusalsEndToEnd, AnEntryWhoseFileLiesOutsideTheArchiveOpensNothing)
{
    // The start page has completed: the caption names it.
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(main) == "VLN - (Vellorn)-VLN"; })) << WindowText(main);
    const std::string address = AddressText(), caption = WindowText(main);
    Front();
    testkit::SendMouse(At("Новая статья"), MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(At("Новая статья"), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(testkit::WaitUntil([&] {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == Item("Новая статья");
    }));
    Key(VK_RETURN);
    Answer(run.Id(), "VLN - Vellorn", "OK");
    EXPECT_EQ(AddressText(), address);
    EXPECT_EQ(WindowText(main), caption);
    EXPECT_EQ(run.Close(main), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list").find("outside"), std::string::npos);
}

TEST_F(RefusalsEndToEnd, LoadingInThisWindowAsksAndCancelKeepsTheWorkingTree)
{
    const std::string before = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    Front();
    Key('L', VK_CONTROL);
    ChooseFile(dir / "FILES\\tree\\Другое.vlt");
    Answer(run.Id(), "Внимание!!!", "Отмена");
    EXPECT_NE(Item("Избранная"), nullptr);
    EXPECT_EQ(Item("Одна"), nullptr);
    EXPECT_EQ(run.Close(main), 0u);
    // Nothing changed: the working tree as it was.
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), before);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"), map);
}

// A form.ini whose tree name no window can take (20 MB) still starts the program, which keeps its
// own name for the tree.
class HugeTreeNameEndToEnd : public EditEndToEnd {
protected:
    void Prepare() override
    {
        std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
        ini.replace(ini.find("NameTree=VLN"), 12, "NameTree=" + std::string(20 * 1024 * 1024, 'x'));
        testkit::WriteFileBytes(dir / "FILES\\form.ini", ini);
    }
};

TEST_F(HugeTreeNameEndToEnd, TheProgramStartsAndKeepsItsOwnName)
{
    EXPECT_TRUE(testkit::WaitUntil([&] { return WindowText(main).rfind("VLN -", 0) == 0; })) << WindowText(main).size();
    EXPECT_EQ(run.Close(main), 0u);
    const std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    EXPECT_NE(ini.find("[FORM]\r\nNameTree=VLN\r\n"), std::string::npos);
    EXPECT_LT(ini.size(), 1000u);
}

} // namespace
