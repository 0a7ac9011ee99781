// The real program in Dusk on a tree of 70,000 nodes, driven from outside as a user does: the left
// side drawn by the skin, the whole tree expanded and its skinned thumb dragged to the bottom, a
// search landing on "Поиск", the pages switched by their tabs (the status bar's picture following
// its text), Neutral and back in the chooser; then the tree file it wrote at close, byte for byte
// the file of a run without a skin.
#include "../app_gui/LogicFixture.h"

#include <commctrl.h>

#include "../skin_data/SkinFixture.h"
#include "IniFiles.h"
#include "ProgramRun.h"

using namespace logic;

namespace {

using testkit::ChooseInMenuBar;
using testkit::RemoteBuffer;
using testkit::VisibleWindows;
using testkit::WaitUntil;
using testkit::WindowText;

// 700 categories of 99 articles each.
std::vector<N> BigTree()
{
    std::vector<N> top;
    for (int c = 0; c < 700; ++c) {
        N category{"Раздел " + std::to_string(c), 0, {}};
        for (int a = 0; a < 99; ++a)
            category.kids.push_back({"Статья " + std::to_string(c) + "-" + std::to_string(a), 8, {}});
        top.push_back(std::move(category));
    }
    return top;
}

// The colour of a section of a shipped skin.
COLORREF SectionColour(const char* Skin, const char* Section)
{
    LoadSkinFolder(ShippedSkin(Skin));
    const auto colour = static_cast<COLORREF>(ColorToRGB(gd.at(static_cast<std::size_t>(GetSkinIndex(Section))).Color));
    sSkinData->Active = false;
    FreeBitmaps();
    gd.clear();
    InitConstantIndexes();
    return colour;
}

class SkinnedTreeEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(BigTree()));
        SetSkin("Dusk");
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
    }
    void SetSkin(const char* Name)
    {
        TIniFile ini(dir / "FILES\\form.ini");
        ini.WriteString("FORM", "Skin", Name);
    }
    void Front(HWND Main)
    {
        SetForegroundWindow(Main);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Main; }));
    }
    std::string StatusText(HWND Main)
    {
        auto bars = VisibleWindows(Main, 0, "StatusBar");
        if (bars.empty())
            return {};
        RemoteBuffer text(run->Process(), 1024);
        SendMessageA(bars[0], SB_GETTEXTA, 1, text.Address());
        return text.Text();
    }
    RECT Remote(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM Put = 0)
    {
        RemoteBuffer buffer(run->Process(), sizeof(RECT));
        buffer.Put(Put);
        SendMessageA(Wnd, Msg, WParam, buffer.Address());
        return buffer.Get<RECT>();
    }
    std::string ItemText(HWND Tree, HTREEITEM Item)
    {
        RemoteBuffer buffer(run->Process(), 512);
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = Item;
        tv.pszText = reinterpret_cast<char*>(buffer.Address() + 64);
        tv.cchTextMax = 256;
        buffer.Put(tv);
        SendMessageA(Tree, TVM_GETITEMA, 0, buffer.Address());
        char text[257] = {};
        ReadProcessMemory(run->Process(), reinterpret_cast<void*>(buffer.Address() + 64), text, 256, nullptr);
        return text;
    }
    // The skinned vertical bar over the tree's own, inside its frame (its window is made again
    // when the skin changes).
    static HWND VerticalBar(HWND Main, HWND Tree)
    {
        RECT tree;
        GetWindowRect(Tree, &tree);
        HWND bar = nullptr;
        WaitUntil([&] {
            for (HWND b : VisibleWindows(Main, 0, "TsScrollBar")) {
                RECT r;
                GetWindowRect(b, &r);
                if (r.right == tree.right - 3 && r.top == tree.top + 3)
                    bar = b;
            }
            return bar != nullptr;
        });
        return bar;
    }
    // The last row of the tree: the last article once everything is expanded.
    std::string LastRow(HWND Tree)
    {
        return ItemText(Tree, reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0)));
    }
    // The shown tab of the page control clicked; the status bar then tells the page's count.
    void ClickTab(HWND Pages, int Tab)
    {
        testkit::ClickIn(Pages, Remote(Pages, TCM_GETITEMRECT, static_cast<WPARAM>(Tab)));
        EXPECT_TRUE(WaitUntil([&] { return SendMessageA(Pages, TCM_GETCURSEL, 0, 0) == Tab; }));
    }
    // "Вид" > "Интерфейс": the chooser, a click on the skin, "OK"; done when the tree shows the
    // skin's edit colour.
    void ChooseSkin(HWND Main, HWND Tree, const std::string& Name, COLORREF TreeColour)
    {
        ChooseInMenuBar(Main, 2, 5);
        HWND chooser = testkit::WaitForWindow(run->Id(), "TForm16");
        ASSERT_NE(chooser, nullptr);
        HWND list = testkit::WaitForWindow(0, "ListBox", chooser);
        ASSERT_NE(list, nullptr);
        // The system carries list box texts (as wide text) and rectangles between processes itself.
        int index = -1;
        for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[256] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            if (std::wstring(text) == std::wstring(Name.begin(), Name.end()))
                index = i;
        }
        ASSERT_GE(index, 0) << Name;
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        testkit::ClickIn(list, item);
        for (HWND b : VisibleWindows(chooser, 0, "Button"))
            if (WindowText(b) == "OK")
                PostMessageA(b, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(chooser); }));
        RECT client;
        GetClientRect(Tree, &client);
        EXPECT_TRUE(WaitUntil([&] {
            const testkit::PixelImage shot = testkit::ScreenPixels(Tree);
            RECT window;
            GetWindowRect(Tree, &window);
            POINT p{client.right - 3, client.bottom - 3};
            ClientToScreen(Tree, &p);
            return shot.Pixel(p.x - window.left, p.y - window.top) == TreeColour;
        })) << Name;
    }

    testkit::TempDir dir;
    std::unique_ptr<testkit::ProgramRun> run = std::make_unique<testkit::ProgramRun>();
};

TEST_F(SkinnedTreeEndToEnd, ADuskTreeScrollsSearchesKeepsItsStateAcrossSkinsAndWritesTheFileOfNoSkin)
{
    const COLORREF dusk = SectionColour("Dusk", "EDIT"), neutral = SectionColour("Neutral", "EDIT");
    HWND main = run->Launch(dir.Path());
    ASSERT_NE(main, nullptr) << "no main window";
    HWND tree = testkit::OneVisibleWindow(main, "TreeView");
    ASSERT_NE(tree, nullptr) << "the articles page";
    HWND pages = testkit::WaitForWindow(0, "PageControl", main);
    ASSERT_NE(pages, nullptr);

    // The left side from the skin: the tree's frame in its border, its colour, a skinned bar, no
    // native arrows on the tabs.
    RECT window, client;
    GetWindowRect(tree, &window);
    GetClientRect(tree, &client);
    POINT origin{0, 0};
    ClientToScreen(tree, &origin);
    EXPECT_EQ(origin.x - window.left, 3);
    EXPECT_EQ(origin.y - window.top, 3);
    EXPECT_EQ(GetWindowLongA(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    ASSERT_NE(VerticalBar(main, tree), nullptr) << "the skinned bar inside the tree's frame";
    EXPECT_TRUE(VisibleWindows(pages, 0, UPDOWN_CLASSA).empty());
    const testkit::PixelImage shot = testkit::ScreenPixels(main);
    shot.SavePng("skinned_main_window_dusk.png");
    EXPECT_TRUE(WaitUntil([&] {
        POINT p{client.right - 3, client.bottom - 3};
        ClientToScreen(tree, &p);
        RECT w;
        GetWindowRect(main, &w);
        return testkit::ScreenPixels(main).Pixel(p.x - w.left, p.y - w.top) == dusk;
    })) << "the tree in the skin's edit colour";
    const RECT firstTab = Remote(pages, TCM_GETITEMRECT, 0);
    POINT tab{firstTab.left + 3, firstTab.top + 3};
    ClientToScreen(pages, &tab);
    RECT w;
    GetWindowRect(main, &w);
    EXPECT_NE(shot.Pixel(tab.x - w.left, tab.y - w.top), GetSysColor(COLOR_BTNFACE)) << "a tab from the skin";

    // "Вид" > "Развернуть дерево", then the thumb dragged to the bottom shows the last node.
    Front(main);
    ChooseInMenuBar(main, 2, 0);
    ASSERT_TRUE(WaitUntil([&] { return LastRow(tree) == "Статья 699-98"; }, 30000)) << LastRow(tree);
    HWND vbar = VerticalBar(main, tree);
    ASSERT_NE(vbar, nullptr);
    RECT bar;
    GetWindowRect(vbar, &bar);
    const POINT grip{(bar.left + bar.right) / 2, bar.top + (bar.right - bar.left) + 3};
    const POINT below{grip.x, bar.bottom + 40};
    testkit::SendMouse(grip, MOUSEEVENTF_LEFTDOWN);
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndCapture == vbar;
    })) << "the bar holds the mouse";
    const auto last = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0));
    auto lastShows = [&] {
        const RECT r = Remote(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(last));
        return r.top >= 0 && r.bottom <= client.bottom && r.bottom > 0;
    };
    testkit::SendMouse(below);
    EXPECT_TRUE(WaitUntil(lastShows)) << "the last node shows";
    testkit::SendMouse(below, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndCapture == nullptr;
    }));
    EXPECT_TRUE(lastShows());
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));

    // "Поиск" > "Поиск статей": the result on "Поиск"; the tabs switch the pages as a user does.
    ChooseInMenuBar(main, 3, 0);
    HWND search = testkit::WaitForWindow(run->Id(), "TForm4");
    ASSERT_NE(search, nullptr);
    auto edits = VisibleWindows(search, 0, "Edit");
    ASSERT_EQ(edits.size(), 1u);
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Статья 12-34"));
    for (HWND b : VisibleWindows(search, 0, "Button"))
        if (WindowText(b) == "Найти")
            PostMessageA(b, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return StatusText(main) == "Найденных статей: 1"; })) << StatusText(main);
    EXPECT_EQ(SendMessageA(pages, TCM_GETCURSEL, 0, 0), 1);
    for (HWND b : VisibleWindows(search, 0, "Button"))
        if (WindowText(b) == "Закрыть")
            PostMessageA(b, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(search); }));
    // The status bar's picture follows its text at once.
    HWND status = VisibleWindows(main, 0, "StatusBar").at(0);
    testkit::PixelImage before = testkit::ScreenPixels(status);
    ClickTab(pages, 0);
    EXPECT_TRUE(WaitUntil([&] { return StatusText(main) == "Количество статей: 69300"; })) << StatusText(main);
    EXPECT_TRUE(RepaintedOnItsOwn(status, before));
    before = testkit::ScreenPixels(status);
    ClickTab(pages, 1);
    EXPECT_TRUE(WaitUntil([&] { return StatusText(main) == "Найденных статей: 1"; })) << StatusText(main);
    EXPECT_TRUE(RepaintedOnItsOwn(status, before));
    ClickTab(pages, 0);

    // Neutral and back: the nodes, their expansion and the selection stay.
    ChooseSkin(main, tree, "Neutral", neutral);
    ChooseSkin(main, tree, "Dusk", dusk);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 70000);
    EXPECT_EQ(LastRow(tree), "Статья 699-98") << "still expanded";
    EXPECT_EQ(ItemText(tree, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0))),
              "Статья 699-98");

    ASSERT_EQ(run->Close(main), 0u);
    const std::string skinned = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    ASSERT_NE(skinned.find(ItemsData(BigTree())), std::string::npos);

    // The same tree through a run without a skin.
    SetSkin("");
    run = std::make_unique<testkit::ProgramRun>();
    main = run->Launch(dir.Path());
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(run->Close(main), 0u);
    EXPECT_TRUE(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt") == skinned) << "the tree file depends on the skin";
}

} // namespace
