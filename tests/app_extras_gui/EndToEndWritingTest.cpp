// The real program on Wine, driven from outside as a user drives it: a title searched from the
// menu and the result opened, a page written in the editor and placed in the tree with "Выбрать",
// the program closed from the tray icon's menu; then the page, the tree and its map it wrote. And
// what a new user met: the window made narrow, a file typed outside the archive, the editor left
// with unsaved text, and the main window closed over unsaved text. And the lists in Dusk: the skin
// chooser by keyboard, the address list by mouse, Enter and Shift+Delete, a mark chosen for a new
// article and the count it brings.
#include "../app_gui/LogicFixture.h"

#include <algorithm>

#include <commctrl.h>

#include "ProgramRun.h"
#include "TreeFile.h"
#include "sTreeView.h"

using namespace logic;

namespace {

using testkit::ChildWithText;
using testkit::ChooseInMenuBar;
using testkit::RealKeys;
using testkit::RemoteBuffer;
using testkit::VisibleWindows;
using testkit::WaitForWindow;
using testkit::WaitUntil;
using testkit::WindowText;

// The visible windows of a class below Parent, top to bottom.
std::vector<HWND> FromTop(HWND Parent, const std::string& Cls)
{
    std::vector<HWND> found = VisibleWindows(Parent, 0, Cls);
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    return found;
}

// The middle of a window's client rectangle R on the screen.
POINT ScreenPoint(HWND Wnd, const RECT& R)
{
    POINT p{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    ClientToScreen(Wnd, &p);
    return p;
}

// A real click at a screen point.
void RealClick(POINT At)
{
    testkit::SendMouse(At);
    testkit::SendMouse(At, MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(At, MOUSEEVENTF_LEFTUP);
}

class WritingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt",
                                PlainTreeFile({{"Лес", 0, {{"Грибы в лесу", 8, {}}}}, {"Осень", 0, {}}}));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nГрибы в лесу=griby.html\r\n");
        testkit::WriteFileBytes(dir / "FILES\\griby.html",
                                "<html><head><title>Про грибы</title></head><body><p>Белые</p></body></html>");
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
    }

    // The rectangle of a tree view's item in its client area.
    RECT ItemRect(HWND Tree, HTREEITEM Item)
    {
        RemoteBuffer mem(run.Process(), 64);
        mem.Put(Item);
        SendMessageA(Tree, TVM_GETITEMRECT, TRUE, mem.Address());
        return mem.Get<RECT>();
    }

    // The system carries the rectangle of a list message between the processes itself.
    static RECT ListItemRect(HWND List, int Index)
    {
        RECT r{};
        SendMessageA(List, LB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    // Opens a combo box's list with a real click and chooses its item Index the same way.
    void ChooseByMouse(HWND Combo, int Index)
    {
        RECT r{};
        GetClientRect(Combo, &r);
        r.left = r.right - 12;
        RealClick(ScreenPoint(Combo, r));
        HWND list = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            auto lists = VisibleWindows(nullptr, run.Id(), "ComboLBox");
            list = lists.empty() ? nullptr : lists[0];
            return list != nullptr;
        })) << "the list drops";
        // The item follows the mouse before the press takes it. The pointer comes from outside the
        // item, so that a pointer an earlier run left on that very spot still moves; a move the
        // list does not take yet is made again. The press at the item chooses it in any case: the
        // caller checks the choice.
        const POINT item = ScreenPoint(list, ListItemRect(list, Index));
        testkit::SendMouse(POINT{item.x, item.y - 200});
        int wiggle = 0;
        WaitUntil(
            [&] {
                if (SendMessageA(list, LB_GETCURSEL, 0, 0) == Index)
                    return true;
                testkit::SendMouse(POINT{item.x + (wiggle++ % 2), item.y});
                return false;
            },
            2000);
        testkit::SendMouse(item, MOUSEEVENTF_LEFTDOWN);
        testkit::SendMouse(item, MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(list); })) << "the list closes";
    }

    RECT ButtonRect(HWND Bar, int Index)
    {
        RemoteBuffer mem(run.Process(), 64);
        SendMessageA(Bar, TB_GETITEMRECT, Index, mem.Address());
        return mem.Get<RECT>();
    }

    std::string StatusText(HWND Main, int Panel)
    {
        auto bars = VisibleWindows(Main, 0, "StatusBar");
        if (bars.empty())
            return {};
        RemoteBuffer text(run.Process(), 1024);
        SendMessageA(bars[0], SB_GETTEXTA, Panel, text.Address());
        return text.Text();
    }

    testkit::TempDir dir;
    testkit::ProgramRun run;
};

TEST_F(WritingEndToEnd, SearchOpenWriteAPagePlaceItAndCloseFromTheTray)
{
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";

    // "Поиск" > "Поиск статей": the dialog, the query, "Найти"; the results page shows one title.
    ChooseInMenuBar(main, 3, 0);
    HWND search = WaitForWindow(run.Id(), "TForm4");
    ASSERT_NE(search, nullptr) << "the search dialog";
    auto edits = VisibleWindows(search, 0, "Edit");
    ASSERT_EQ(edits.size(), 1u);
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ГРИБ"));
    PostMessageA(ChildWithText(search, "Button", "Найти"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return StatusText(main, 1) == "Найденных статей: 1"; })) << StatusText(main, 1);
    PostMessageA(ChildWithText(search, "Button", "Закрыть"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(search); }));

    // The result, opened with a double click.
    HWND results = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(results, nullptr) << "only the results page shows";
    const auto result = HTREEITEM(SendMessageA(results, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ASSERT_NE(result, nullptr);
    testkit::ClickIn(results, ItemRect(results, result), true);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == "VLN -Грибы в лесу (Про грибы)-VLN"; })) << WindowText(main);

    // "Сервис" > "Создать статью": the editor, filled and "Файл" > "Создать"; the file name typed
    // with the page's extension, after a device's name refused in a box.
    ChooseInMenuBar(main, 5, 0);
    HWND editor = WaitForWindow(run.Id(), "TForm8");
    ASSERT_NE(editor, nullptr) << "the editor";
    const auto boxes = FromTop(editor, "Edit");
    ASSERT_EQ(boxes.size(), 4u);
    const char* const fields[] = {"Иван Петров", "ivan@example.org", "nul", "Грибы осенью"};
    for (int i = 0; i < 4; ++i)
        SendMessageA(boxes[i], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fields[i]));
    auto memos = VisibleWindows(editor, 0, "Memo");
    ASSERT_EQ(memos.size(), 1u);
    SendMessageA(memos[0], WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("Первая строка статьи.\r\nВторая строка с <b>разметкой</b>."));
    ChooseInMenuBar(editor, 0, 0);
    HWND refusal = WaitForWindow(run.Id(), "TsMessageForm");
    ASSERT_NE(refusal, nullptr) << "the device's name refused";
    PostMessageA(ChildWithText(refusal, "BitBtn", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal) || !IsWindowVisible(refusal); }));
    ASSERT_TRUE(IsWindowVisible(editor));
    SendMessageA(boxes[2], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("griby-osenyu.html"));
    ChooseInMenuBar(editor, 0, 0);
    const AnsiString page = dir / "FILES\\griby-osenyu.html";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(page) && !IsWindowVisible(editor); })) << "the page";

    // The tree's menu on the folder "Осень" now offers "Выбрать", which places the page there.
    HWND tree = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(tree, nullptr) << "the articles page shows";
    const auto autumn = HTREEITEM(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    ASSERT_NE(autumn, nullptr);
    testkit::ClickIn(tree, ItemRect(tree, autumn));
    ASSERT_TRUE(WaitUntil([&] { return HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == autumn; }));
    PostMessageA(tree, WM_CONTEXTMENU, WPARAM(tree), -1);
    ASSERT_TRUE(testkit::ChooseInMenu(run.Id(), {VK_DOWN, VK_RETURN})) << "the menu with \"Выбрать\"";
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 4; })) << "the new entry";

    // The tray icon's menu: "Закрыть".
    auto trays = testkit::ProcessWindows(run.Id(), "TrayIconWindow");
    ASSERT_EQ(trays.size(), 1u);
    PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(testkit::ChooseInMenu(run.Id(), {VK_DOWN, VK_RETURN})) << "the tray's menu";
    ASSERT_EQ(WaitForSingleObject(run.Process(), testkit::kPatienceMs), WAIT_OBJECT_0) << "the program ends";
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(run.Process(), &code);
    EXPECT_EQ(code, 0u);

    // What it wrote: the page as written by hand, the entry in the map and in the saved tree.
    EXPECT_EQ(testkit::ReadFileBytes(page), testkit::ReadFileBytes(testkit::DataDir() + "editor\\page_with_mail.html"));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"),
              "[FILES]\r\nГрибы в лесу=griby.html\r\nГрибы осенью=griby-osenyu.html\r\n");
    TComponent* owner = Create<TComponent>(nullptr);
    auto* saved = Create<TsTreeView>(owner);
    treefile::ReadTreeFile(dir / "FILES\\tree\\Temp.vlt", *saved);
    EXPECT_EQ(Dump(saved->Items()), "Лес/0\n Грибы в лесу/8\nОсень/0\n Грибы осенью/2\n");
    owner->Free();
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\Settings2.ini").find("[AUTOR]\r\nName=Иван Петров\r\ne-mail=ivan@example.org\r\n"),
              std::string::npos);
}

TEST_F(WritingEndToEnd, NarrowWindowForeignFileAndUnsavedEditorText)
{
    testkit::WriteFileBytes(dir / "FILES\\osen.html", "<html><body>Осень</body></html>");
    testkit::WriteFileBytes(dir / "elsewhere.html", "<html><body>Не из архива</body></html>");
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";

    // A narrow window: the address box gives way, its arrow and "Переход" stay in the bar.
    SetWindowPos(main, nullptr, 0, 0, 520, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto combos = VisibleWindows(main, 0, "ComboBox");
    ASSERT_EQ(combos.size(), 1u);
    HWND bar = GetParent(combos[0]);
    auto fits = [&] {
        RECT box{}, client{};
        GetWindowRect(combos[0], &box);
        MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&box), 2);
        GetClientRect(bar, &client);
        const RECT go = ButtonRect(bar, int(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0)) - 1);
        return box.right <= go.left && go.right <= client.right && go.top < client.bottom;
    };
    EXPECT_TRUE(WaitUntil(fits)) << "the address box and \"Переход\" in the narrow bar";

    // "Статья" (Insert) on the folder "Осень": a file typed outside FILES is refused with the
    // message the browse gives; the dialog stays; the same file typed inside is taken.
    HWND tree = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(tree, nullptr);
    const auto autumn = HTREEITEM(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    testkit::ClickIn(tree, ItemRect(tree, autumn));
    ASSERT_TRUE(WaitUntil([&] { return HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == autumn; }));
    PostMessageA(tree, WM_KEYDOWN, VK_INSERT, 0);
    HWND adding = WaitForWindow(run.Id(), "TForm2");
    ASSERT_NE(adding, nullptr) << "the article dialog";
    const auto fields = FromTop(adding, "Edit");
    ASSERT_EQ(fields.size(), 2u);
    SendMessageA(fields[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Осенние листья"));
    const std::string outside = dir / "elsewhere.html";
    SendMessageA(fields[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(outside.c_str()));
    PostMessageA(ChildWithText(adding, "Button", "Создать"), BM_CLICK, 0, 0);
    // The program's boxes are the skinned ones; the refusal's text is checked by the dialog's own
    // tests.
    HWND box = WaitForWindow(run.Id(), "TsMessageForm");
    ASSERT_NE(box, nullptr) << "the refusal";
    PostMessageA(ChildWithText(box, "BitBtn", "OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_TRUE(IsWindowVisible(adding)) << "the dialog stays for the name to be mended";
    const std::string inside = dir / "FILES\\osen.html";
    SendMessageA(fields[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inside.c_str()));
    HWND status = VisibleWindows(main, 0, "StatusBar").at(0);
    const std::string count = StatusText(main, 1);
    const testkit::PixelImage before = testkit::ScreenPixels(status);
    PostMessageA(ChildWithText(adding, "Button", "Создать"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 4; })) << "the new entry";
    EXPECT_TRUE(WaitUntil([&] { return StatusText(main, 1) != count; })) << count;
    EXPECT_TRUE(RepaintedOnItsOwn(status, before)) << "the status bar shows the new count";

    // The editor's "Файл" > "Выход" with typed text asks; No keeps it open, Yes closes it.
    ChooseInMenuBar(main, 5, 0);
    HWND editor = WaitForWindow(run.Id(), "TForm8");
    ASSERT_NE(editor, nullptr) << "the editor";
    auto memos = VisibleWindows(editor, 0, "Memo");
    ASSERT_EQ(memos.size(), 1u);
    for (char c : std::string("Начало статьи"))
        PostMessageA(memos[0], WM_CHAR, static_cast<Byte>(c), 1);
    ASSERT_TRUE(WaitUntil([&] {
        char text[64] = {};
        SendMessageA(memos[0], WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        return std::string(text) == "Начало статьи";
    }));
    for (int answer : {IDNO, IDYES}) {
        ChooseInMenuBar(editor, 0, 1);
        box = WaitForWindow(run.Id(), "TsMessageForm");
        ASSERT_NE(box, nullptr) << "the question";
        EXPECT_EQ(WindowText(box), "Внимание!!!");
        PostMessageA(ChildWithText(box, "BitBtn", answer == IDYES ? "&Да" : "&Нет"), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
        if (answer == IDNO) {
            ASSERT_TRUE(testkit::Answers(editor));
            EXPECT_TRUE(IsWindowVisible(editor)) << "No keeps the editor";
        }
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(editor); })) << "Yes closes it";

    EXPECT_EQ(run.Close(main), 0u);
    // What it wrote: the entry with the name relative to FILES, the narrow width, the editor's
    // settings at its close.
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"),
              "[FILES]\r\nГрибы в лесу=griby.html\r\nОсенние листья=osen.html\r\n");
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("Width=520\r\n"), std::string::npos);
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\Settings2.ini").find("[FORM]\r\n"), std::string::npos);
}

// Text typed and not saved is never dropped without a question: the main window's close (its
// close box, the tray's "Закрыть", the end of the session) asks the open editor's question, then
// about the note typed in the note panel. "Нет" to the editor and "Отмена" to the note keep every
// window open; at the session's end "Да" saves the note and the program writes its files.
TEST_F(WritingEndToEnd, ClosingAsksAboutTheEditorsTextAndATypedNote)
{
    const AnsiString note = dir / "FILES\\text\\Грибы в лесу_VLN.txt";
    testkit::WriteFileBytes(note, "Старое\r\n");
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";
    HWND tree = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(tree, nullptr);
    const auto forest = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(forest));
    const auto griby = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(forest)));
    ASSERT_NE(griby, nullptr);
    testkit::ClickIn(tree, ItemRect(tree, griby), true);
    HWND noteBox = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        auto memos = VisibleWindows(main, 0, "Memo");
        noteBox = memos.empty() ? nullptr : memos[0];
        return noteBox != nullptr;
    })) << "the entry's note shows";
    const auto type = [](HWND box, const std::string& text) {
        for (char c : text)
            PostMessageA(box, WM_CHAR, static_cast<Byte>(c), 1);
        ASSERT_TRUE(WaitUntil([&] {
            char got[128] = {};
            SendMessageA(box, WM_GETTEXT, sizeof got, reinterpret_cast<LPARAM>(got));
            return std::string(got).find(text) != std::string::npos;
        }));
    };
    type(noteBox, "Новое ");
    ChooseInMenuBar(main, 5, 0);
    HWND editor = WaitForWindow(run.Id(), "TForm8");
    ASSERT_NE(editor, nullptr) << "the editor";
    auto memos = VisibleWindows(editor, 0, "Memo");
    ASSERT_EQ(memos.size(), 1u);
    type(memos[0], "Начало статьи");

    // The question shown next (the editor's has two buttons, the note's three) answered.
    const auto answer = [&](size_t buttons, const char* button) {
        HWND box = WaitForWindow(run.Id(), "TsMessageForm");
        ASSERT_NE(box, nullptr) << button;
        EXPECT_EQ(WindowText(box), "Внимание!!!");
        EXPECT_EQ(VisibleWindows(box, 0, "BitBtn").size(), buttons) << button;
        PostMessageA(ChildWithText(box, "BitBtn", button), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    };
    const auto bothOpen = [&] {
        EXPECT_TRUE(testkit::Answers(main)) << "the program runs";
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_TRUE(IsWindowVisible(editor));
    };
    // The program's windows stay above the main window that owns them; among them the editor's
    // question brings the editor before the search dialog opened after it, but never before a
    // dialog of the program that holds it disabled.
    const auto above = [](HWND a, HWND b) {
        HWND w = GetTopWindow(nullptr);
        while (w && w != a && w != b)
            w = GetWindow(w, GW_HWNDNEXT);
        return w == a;
    };
    const auto activate = [&] {
        SetForegroundWindow(main);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; })) << "the main window active";
    };
    activate();
    ChooseInMenuBar(main, 3, 0);
    HWND search = WaitForWindow(run.Id(), "TForm4");
    ASSERT_NE(search, nullptr) << "the search dialog";
    // The dialog in front and active, its showing handled.
    ASSERT_TRUE(WaitUntil([&] { return above(search, editor) && GetForegroundWindow() == search; }));
    ASSERT_TRUE(testkit::Answers(main));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_NE(WaitForWindow(run.Id(), "TsMessageForm"), nullptr);
    EXPECT_TRUE(above(editor, search)) << "the editor shows the text the question is about";
    answer(2, "&Нет");
    bothOpen();
    EXPECT_TRUE(above(editor, search)) << "the editor kept stays in front";
    // The settings dialog opened from the main window, as a click on it first makes it active.
    activate();
    ChooseInMenuBar(main, 5, 1);
    HWND settings = WaitForWindow(run.Id(), "TForm13");
    ASSERT_NE(settings, nullptr) << "the settings dialog";
    auto trays = testkit::ProcessWindows(run.Id(), "TrayIconWindow");
    ASSERT_EQ(trays.size(), 1u);
    PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(testkit::ChooseInMenu(run.Id(), {VK_DOWN, VK_RETURN})) << "the tray's menu";
    ASSERT_NE(WaitForWindow(run.Id(), "TsMessageForm"), nullptr);
    EXPECT_TRUE(above(settings, editor)) << "the open dialog stays in front of the disabled editor";
    answer(2, "&Да");
    answer(3, "Отмена");
    bothOpen();
    EXPECT_EQ(testkit::ReadFileBytes(note), "Старое\r\n");
    PostMessageA(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }));

    PostMessageA(main, WM_QUERYENDSESSION, 0, 0);
    answer(2, "&Да");
    answer(3, "&Да");
    PostMessageA(main, WM_ENDSESSION, TRUE, 0);
    ASSERT_EQ(WaitForSingleObject(run.Process(), testkit::kPatienceMs), WAIT_OBJECT_0) << "the program ends";
    EXPECT_EQ(testkit::ReadFileBytes(note), "Новое Старое\r\n");
    TComponent* owner = Create<TComponent>(nullptr);
    auto* saved = Create<TsTreeView>(owner);
    treefile::ReadTreeFile(dir / "FILES\\tree\\Temp.vlt", *saved);
    EXPECT_EQ(Dump(saved->Items()), "Лес/0\n Грибы в лесу/8\nОсень/0\n") << "the tree written, folders closed";
    owner->Free();
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("[ST]"), std::string::npos);
}

TEST_F(WritingEndToEnd, InDuskTheChooserTheAddressListAndTheMarkBox)
{
    const std::string page = dir / "FILES\\griby.html";
    testkit::WriteFileBytes(dir / "FILES\\list", "http://example.org/\r\n" + page + "\r\n");
    std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    ini.replace(ini.find("Skin=Neutral"), 12, "Skin=Dusk");
    testkit::WriteFileBytes(dir / "FILES\\form.ini", ini);
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";

    // "Вид" > "Интерфейс": "N" selects Neutral, Enter is the dialog's "OK".
    auto titleColour = [&] {
        HDC dc = GetWindowDC(main);
        const COLORREF c = GetPixel(dc, 300, 8);
        ReleaseDC(main, dc);
        return c;
    };
    const COLORREF dusk = titleColour();
    ChooseInMenuBar(main, 2, 5);
    HWND chooser = WaitForWindow(run.Id(), "TForm16");
    ASSERT_NE(chooser, nullptr) << "the skin chooser";
    auto lists = VisibleWindows(chooser, 0, "TsListBox");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(SendMessageA(lists[0], LB_GETCURSEL, 0, 0), 0) << "Dusk, the skin in use";
    PostMessageA(lists[0], WM_KEYDOWN, 'N', 1);
    PostMessageA(lists[0], WM_CHAR, 'N', 1);
    PostMessageA(lists[0], WM_KEYUP, 'N', static_cast<LPARAM>(0xC0000001u));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(lists[0], LB_GETCURSEL, 0, 0) == 1; })) << "Neutral";
    // The skin timer's preview is waited for before Enter, so that OK never races the switch.
    EXPECT_TRUE(WaitUntil([&] { return titleColour() != dusk; })) << "the window in Neutral's colours";
    PostMessageA(lists[0], WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(chooser); })) << "Enter is OK";
    EXPECT_TRUE(WaitUntil([&] {
        return testkit::ReadFileBytes(dir / "FILES\\form.ini").find("Skin=Neutral") != std::string::npos;
    })) << "OK keeps the skin";

    // The address list by mouse: the page opens.
    auto combos = VisibleWindows(main, 0, "TsComboBox");
    ASSERT_EQ(combos.size(), 1u);
    HWND address = combos[0];
    ASSERT_EQ(SendMessageA(address, CB_GETCOUNT, 0, 0), 2) << "loaded from FILES\\list";
    ChooseByMouse(address, 1);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main).find("Про грибы") != std::string::npos; })) << WindowText(main);

    // An address typed and Enter: that page opens.
    const std::string other = dir / "FILES\\osen.html";
    testkit::WriteFileBytes(other, "<html><head><title>Осенняя</title></head><body>Осень</body></html>");
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    SendMessageA(address, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str()));
    RealKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main).find("Осенняя") != std::string::npos; })) << WindowText(main);

    // Shift+Delete empties the list and writes the file at once (sent once the page has loaded and
    // the address box has the keyboard, so that the keys cannot race the navigation).
    auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
        return info.hwndFocus;
    };
    ASSERT_TRUE(WaitUntil([&] { return focused() == address || IsChild(address, focused()); })) << "the address box focused";
    // Shift+Delete asks first: "Отмена" keeps the list and its file, "OK" empties both. Real input
    // that Wine drops on a loaded machine is given again; real keys go to the window in front.
    const std::string list = testkit::ReadFileBytes(dir / "FILES\\list");
    const auto question = [&] {
        const auto boxes = VisibleWindows(nullptr, run.Id(), "TsMessageForm");
        return boxes.empty() ? nullptr : boxes[0];
    };
    for (const char* answer : {"Отмена", "OK"}) {
        HWND box = nullptr;
        for (int i = 0; i < 3 && !box; ++i) {
            SetForegroundWindow(main);
            ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
            ASSERT_TRUE(WaitUntil([&] { return focused() == address || IsChild(address, focused()); }));
            RealKeys({VK_SHIFT, VK_DELETE});
            WaitUntil([&] { return (box = question()) != nullptr; }, testkit::kInputLostMs);
        }
        ASSERT_NE(box, nullptr) << "the question";
        EXPECT_EQ(WindowText(box), "Удаление");
        PostMessageA(ChildWithText(box, "BitBtn", answer), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
        if (answer[0] == 'O')
            break;
        EXPECT_EQ(SendMessageA(address, CB_GETCOUNT, 0, 0), 2) << "kept";
        EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), list);
    }
    // The file is read once the program is closed, not while it may be writing it.
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(address, CB_GETCOUNT, 0, 0) == 0; })) << "the list emptied";

    // "Статья" on "Лес" with the mark "Избранная" chosen by mouse.
    HWND tree = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(tree, nullptr);
    const auto wood = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    testkit::ClickIn(tree, ItemRect(tree, wood));
    ASSERT_TRUE(WaitUntil([&] { return HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == wood; }));
    PostMessageA(tree, WM_KEYDOWN, VK_INSERT, 0);
    HWND adding = WaitForWindow(run.Id(), "TForm2");
    ASSERT_NE(adding, nullptr) << "the article dialog";
    const auto fields = FromTop(adding, "Edit");
    ASSERT_EQ(fields.size(), 2u);
    SendMessageA(fields[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Белые грибы"));
    SendMessageA(fields[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(page.c_str()));
    auto marks = VisibleWindows(adding, 0, "TsComboBoxEx");
    ASSERT_EQ(marks.size(), 1u);
    ChooseByMouse(marks[0], 1);
    EXPECT_EQ(SendMessageA(marks[0], CB_GETCURSEL, 0, 0), 1);
    HWND status = VisibleWindows(main, 0, "StatusBar").at(0);
    const std::string count = StatusText(main, 1);
    const testkit::PixelImage before = testkit::ScreenPixels(status);
    PostMessageA(ChildWithText(adding, "Button", "Создать"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 4; })) << "the new entry";
    EXPECT_TRUE(WaitUntil([&] { return StatusText(main, 1) != count; })) << count;
    EXPECT_TRUE(RepaintedOnItsOwn(status, before)) << "the status bar shows the new count";

    EXPECT_EQ(run.Close(main), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), "") << "the list on disk";
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("Skin=Neutral"), std::string::npos)
        << "the skin applied and kept";
    TComponent* owner = Create<TComponent>(nullptr);
    auto* saved = Create<TsTreeView>(owner);
    treefile::ReadTreeFile(dir / "FILES\\tree\\Temp.vlt", *saved);
    EXPECT_NE(Dump(saved->Items()).find(" Белые грибы/35\n"), std::string::npos) << Dump(saved->Items());
    owner->Free();
}

} // namespace
