// The real program on Wine, driven from outside as a user drives it: an article opened from the
// tree, a link in it followed, back through the back button's drop-down, a note written and
// saved, the program closed; then the note and history files it wrote.
#include "../app_gui/LogicFixture.h"
#include "ProgramRun.h"

#include <commctrl.h>

using namespace logic;

namespace {

using testkit::RemoteBuffer;
using testkit::VisibleWindows;
using testkit::WaitUntil;
using testkit::WindowText;

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

class ReadingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile({{"Статья со ссылкой", 2, {}}}));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nСтатья со ссылкой=first.html\r\n");
        testkit::WriteFileBytes(dir / "FILES\\first.html",
                                "<html><head><title>Первая страница</title></head><body><h1>"
                                "<a href=\"second.html\">Дальше, на вторую страницу</a></h1></body></html>");
        testkit::WriteFileBytes(dir / "FILES\\second.html",
                                "<html><head><title>Вторая страница</title></head><body><p>Конец</p></body></html>");
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
    }

    // A button of a tool bar: its index and rectangle, found by its picture.
    bool ToolButton(HWND bar, int image, int& index, RECT& rect)
    {
        RemoteBuffer mem(run.Process(), 256);
        const int count = int(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            SendMessageA(bar, TB_GETBUTTON, i, mem.Address());
            if (mem.Get<TBBUTTON>().iBitmap != image)
                continue;
            SendMessageA(bar, TB_GETITEMRECT, i, mem.Address());
            rect = mem.Get<RECT>();
            index = i;
            return true;
        }
        return false;
    }

    // Opens the drop-down of the back button (the navigation bar's button with picture 9).
    void OpenBackMenu(HWND main)
    {
        int index = -1;
        RECT back{};
        for (HWND bar : VisibleWindows(main, 0, "ToolBar"))
            if (ToolButton(bar, 9, index, back)) {
                PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, Point(back.right - 4, (back.top + back.bottom) / 2));
                return;
            }
        ADD_FAILURE() << "no back button";
    }

    bool ChooseInMenu(const std::vector<WPARAM>& keys) { return testkit::ChooseInMenu(run.Id(), keys); }

    testkit::TempDir dir;
    testkit::ProgramRun run;
};

TEST_F(ReadingEndToEnd, OpenFollowGoBackWriteANoteAndClose)
{
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == "VLN - (Vellorn)-VLN"; })) << WindowText(main);

    // The article: double click on its node.
    auto trees = VisibleWindows(main, 0, "Vellorn.TreeView");
    ASSERT_FALSE(trees.empty());
    HWND tree = trees[0];
    const auto item = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    ASSERT_NE(item, nullptr);
    RemoteBuffer mem(run.Process(), 64);
    mem.Put(item);
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, mem.Address()));
    testkit::ClickIn(tree, mem.Get<RECT>(), true);
    const std::string first = "VLN -Статья со ссылкой (Первая страница)-VLN";
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == first; })) << WindowText(main);

    // The link: found by pointing at the page until the status line shows its address.
    auto views = VisibleWindows(main, 0, "VellornHtmlView");
    ASSERT_FALSE(views.empty());
    auto bars = VisibleWindows(main, 0, "StatusBar");
    ASSERT_FALSE(bars.empty());
    RemoteBuffer text(run.Process(), 1024);
    int linkY = -1;
    for (int y = 2; y < 120 && linkY < 0; y += 3) {
        SendMessageA(views[0], WM_MOUSEMOVE, 0, Point(40, y));
        SendMessageA(bars[0], SB_GETTEXTA, 2, text.Address());
        if (text.Text().find("second.html") != std::string::npos)
            linkY = y;
    }
    ASSERT_GE(linkY, 0) << "no link under the mouse";
    SendMessageA(views[0], WM_LBUTTONDOWN, MK_LBUTTON, Point(40, linkY));
    SendMessageA(views[0], WM_LBUTTONUP, 0, Point(40, linkY));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == "VLN -Статья со ссылкой (Вторая страница)-VLN"; }))
        << WindowText(main);

    // Back through the drop-down of the back button: its second page, the article.
    OpenBackMenu(main);
    ASSERT_TRUE(ChooseInMenu({VK_DOWN, VK_DOWN, VK_RETURN})) << "the back history menu";
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == first; })) << WindowText(main);

    // A note: "Добавить заметки" from the tree's menu, typed into the note box, saved.
    PostMessageA(tree, WM_CONTEXTMENU, WPARAM(tree), -1);
    ASSERT_TRUE(ChooseInMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN})) << "the tree's menu";
    HWND memo = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        auto memos = VisibleWindows(main, 0, "Memo");
        memo = memos.empty() ? nullptr : memos[0];
        return memo != nullptr;
    })) << "the note box";
    for (char c : std::string("Заметка к статье\rвторая строка"))
        PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(c), 0);
    RECT save{};
    int index = -1;
    auto noteBars = VisibleWindows(GetParent(memo), 0, "ToolBar");
    ASSERT_FALSE(noteBars.empty());
    ASSERT_TRUE(ToolButton(noteBars[0], 22, index, save));
    testkit::ClickIn(noteBars[0], save);
    const AnsiString note = dir / "FILES\\text\\Статья со ссылкой_VLN.txt";
    EXPECT_TRUE(WaitUntil([&] { return FileExists(note); })) << "the note file";

    ASSERT_EQ(run.Close(main), 0u);

    EXPECT_EQ(testkit::ReadFileBytes(note), "Заметка к статье\r\nвторая строка\r\n");
    const AnsiString files = dir / "FILES\\";
    EXPECT_EQ(testkit::ReadFileBytes(files + "tmpB.ini"),
              "[URL]\r\nVellorn=" + files + "Standard\\Standard.html\r\nПервая страница=" + files +
                  "first.html\r\nВторая страница=" + files + "second.html\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(files + "tmpF.ini"), "[URL]\r\nПервая страница=" + files + "first.html\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(files + "list"), files + "first.html\r\n");
}

// By real keys in the page: a click into it, Tab to its link and Enter follow the link, and the
// address box names each page shown; Backspace and Alt+Left go back, Alt+Right forward. Three pages
// of one title are three items of the back button's drop-down, the last one going to the third
// page. The source window has the keys on its text; Esc closes it.
TEST_F(ReadingEndToEnd, LinksByKeysTheAddressOfThePageShownAndPagesOfOneTitle)
{
    const AnsiString files = dir / "FILES\\";
    testkit::WriteFileBytes(files + "first.html", "<title>Первая страница</title><p><a href=\"one1.html\">Дальше</a></p>");
    for (int n = 1; n <= 3; ++n)
        testkit::WriteFileBytes(files + "one" + std::to_string(n) + ".html",
                                "<title>Одна</title><p><a href=\"one" + std::to_string(n + 1) + ".html\">Дальше</a></p>");
    HWND main = run.Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == "VLN - (Vellorn)-VLN"; })) << WindowText(main);
    HWND tree = VisibleWindows(main, 0, "Vellorn.TreeView").at(0);
    RemoteBuffer mem(run.Process(), 64);
    mem.Put(HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, mem.Address()));
    testkit::ClickIn(tree, mem.Get<RECT>(), true);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == "VLN -Статья со ссылкой (Первая страница)-VLN"; }))
        << WindowText(main);

    HWND view = VisibleWindows(main, 0, "VellornHtmlView").at(0);
    HWND address = VisibleWindows(main, 0, "ComboBox").at(0);
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    auto info = [&] {
        GUITHREADINFO i{};
        i.cbSize = sizeof i;
        GetGUIThreadInfo(thread, &i);
        return i;
    };
    SetForegroundWindow(main);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    RECT page{};
    GetClientRect(view, &page);
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, Point(page.right - 30, page.bottom - 10));
    SendMessageA(view, WM_LBUTTONUP, 0, Point(page.right - 30, page.bottom - 10));
    ASSERT_TRUE(WaitUntil([&] { return info().hwndFocus == view; })) << "the page has the focus";
    auto shows = [&](const std::string& Name) {
        return WaitUntil([&] { return WindowText(address) == files + Name; });
    };
    for (int n = 1; n <= 3; ++n) {
        testkit::RealKeys({VK_TAB});
        testkit::RealKeys({VK_RETURN});
        ASSERT_TRUE(shows("one" + std::to_string(n) + ".html")) << n << " " << WindowText(address);
        EXPECT_EQ(WindowText(main), "VLN -Статья со ссылкой (Одна)-VLN");
    }
    testkit::RealKeys({VK_BACK});
    ASSERT_TRUE(shows("one2.html")) << "Backspace: " << WindowText(address);
    // Alt let go before the arrow, as a hand may.
    auto alt = [](BYTE Arrow) {
        keybd_event(VK_MENU, 0, 0, 0);
        keybd_event(Arrow, 0, 0, 0);
        keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(Arrow, 0, KEYEVENTF_KEYUP, 0);
    };
    alt(VK_LEFT);
    ASSERT_TRUE(shows("one1.html")) << "Alt+Left: " << WindowText(address);
    alt(VK_RIGHT);
    ASSERT_TRUE(shows("one2.html")) << "Alt+Right: " << WindowText(address);
    // The key after Alt's release still reaches the page, not a menu.
    testkit::RealKeys({VK_BACK});
    ASSERT_TRUE(shows("one1.html")) << "Backspace after Alt: " << WindowText(address);

    // The back list: the start page, "Первая страница" and the three pages "Одна".
    OpenBackMenu(main);
    ASSERT_TRUE(ChooseInMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})) << "the back history menu";
    EXPECT_TRUE(shows("one3.html")) << WindowText(address);

    // "Браузер" > "Исходный кода": its text has the keys, Esc closes it.
    testkit::ChooseInMenuBar(main, 4, 3);
    HWND source = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        auto windows = VisibleWindows(nullptr, run.Id(), "");
        source = nullptr;
        for (HWND w : windows)
            if (WindowText(w).rfind("Исходный код: ", 0) == 0)
                source = w;
        return source && GetParent(info().hwndFocus) == source;
    })) << "the source window with its text focused";
    testkit::RealKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(source); })) << "Esc closes the source window";
    ASSERT_EQ(run.Close(main), 0u);
}

} // namespace
