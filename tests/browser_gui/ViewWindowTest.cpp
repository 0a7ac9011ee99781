// Our browser view in a real window: event order, links, history, scrolling, find, source,
// error pages and printing without a printer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "HtmlViewWindow.h"
#include "GuiTest.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "WideNames.h"

using namespace htmlview;

namespace {

std::string Sample(const char* name) { return testkit::DataDir() + "browser\\" + name; }

std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return std::string(buf, n);
}

class ViewWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_ = CreateWindowExA(0, "STATIC", "Browser test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 480,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
        RECT rc;
        GetClientRect(host_, &rc);
        ASSERT_NE(view_.Create(host_, 0, 0, rc.right, rc.bottom), nullptr);
        view_.Events.BeforeNavigate2 = [this](const std::string& url, bool&) { Log("BeforeNavigate2 " + url); };
        view_.Events.DownloadBegin = [this] { Log("DownloadBegin"); };
        view_.Events.ProgressChange = [this](long p, long m) {
            Log("Progress");
            lastProgress_ = p;
            lastMax_ = m;
        };
        view_.Events.NavigateComplete2 = [this](const std::string& url) { Log("NavigateComplete2 " + url); };
        view_.Events.TitleChange = [this](const std::string& t) { Log("TitleChange " + t); };
        view_.Events.CommandStateChange = [this](long c, bool e) {
            Log("CommandStateChange " + std::to_string(c) + (e ? " on" : " off"));
        };
        view_.Events.DocumentComplete = [this](const std::string&) {
            Log("DocumentComplete");
            ++completed_;
        };
        view_.Events.DownloadComplete = [this] { Log("DownloadComplete"); };
        view_.Events.StatusTextChange = [this](const std::string& t) { Log("StatusTextChange " + t); };
    }

    void TearDown() override
    {
        view_.Destroy();
        if (host_)
            DestroyWindow(host_);
    }

    void Log(const std::string& s) { log_.push_back(s); }

    // Navigates and waits for the page to complete.
    void Open(const std::string& url)
    {
        int before = completed_;
        view_.Navigate(url);
        ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ > before; })) << url;
    }

    void Click(POINT pt)
    {
        LPARAM lp = MAKELPARAM(pt.x, pt.y);
        SendMessageA(view_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, lp);
        SendMessageA(view_.Handle(), WM_LBUTTONUP, 0, lp);
    }

    HWND host_ = nullptr;
    View view_;
    std::vector<std::string> log_;
    int completed_ = 0;
    long lastProgress_ = -2, lastMax_ = -2;
};

} // namespace

TEST_F(ViewWindow, LocalPageFiresEventsInOrderAfterNavigateReturns)
{
    std::string url = Sample("sample.html");
    view_.Navigate(url);
    ASSERT_EQ(log_.size(), 1u) << "only BeforeNavigate2 runs inside Navigate";
    EXPECT_EQ(log_[0], "BeforeNavigate2 " + url);
    EXPECT_TRUE(view_.Busy());
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 1; }));
    testkit::WaitIdle();
    // The system control's order: status and progress, the command states, then the completion.
    std::vector<std::string> expected = {"BeforeNavigate2 " + url,
                                         "DownloadBegin",
                                         "StatusTextChange Загрузка страницы " + url,
                                         "Progress",
                                         "CommandStateChange -1 on",
                                         "Progress",
                                         "CommandStateChange 1 off",
                                         "CommandStateChange 2 off",
                                         "Progress",
                                         "NavigateComplete2 " + url,
                                         "TitleChange Пример страницы",
                                         "DocumentComplete",
                                         "CommandStateChange -1 off",
                                         "DownloadComplete",
                                         "StatusTextChange Готово"};
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(lastProgress_, lastMax_) << "progress ends at its maximum";
    EXPECT_FALSE(view_.Busy());
    EXPECT_EQ(view_.LocationName(), "Пример страницы");
    EXPECT_EQ(view_.LocationURL(), url);
    std::string text = PageText(view_.PageLayout());
    EXPECT_NE(text.find("Заголовок первого уровня"), std::string::npos);
    EXPECT_EQ(text.find("не показывать"), std::string::npos);
    // The pictures are loaded (BMP and JPEG): image runs with their own sizes; the missing one is a
    // box with its alt text.
    bool bmp = false, jpeg = false, missing = false;
    for (const htmlview::Run& r : view_.PageLayout().runs) {
        if (r.kind != RunKind::Image)
            continue;
        bmp = bmp || (r.w == 96 && r.h == 64 && !r.src.empty());
        jpeg = jpeg || (r.w == 32 && r.h == 16 && !r.src.empty());
        missing = missing || (r.text == "Нет картинки" && r.src.empty());
    }
    EXPECT_TRUE(bmp);
    EXPECT_TRUE(jpeg);
    EXPECT_TRUE(missing);
}

// The page is read and parsed away from the window's thread: a message posted right after the
// navigation is handled while the page is still loading, however large the page.
namespace {
const int* gCompleted = nullptr;
int gCompletedAtMarker = -1;
LRESULT CALLBACK MarkerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_APP + 7)
        gCompletedAtMarker = *gCompleted;
    return DefWindowProcA(h, m, w, l);
}
} // namespace

TEST_F(ViewWindow, TheWindowHandlesItsMessagesWhileALargePageLoads)
{
    gCompleted = &completed_;
    WNDCLASSA wc{};
    wc.lpfnWndProc = MarkerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VellornTestMarker";
    RegisterClassA(&wc);
    HWND marker = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(marker, nullptr);
    testkit::TempDir dir;
    std::string page = "<title>Большая</title><p>";
    while (page.size() < (1 << 20))
        page += "слово word ";
    testkit::WriteFileBytes(dir / "big.html", page);
    view_.Navigate(dir / "big.html");
    PostMessageA(marker, WM_APP + 7, 0, 0);
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 1; }));
    EXPECT_EQ(gCompletedAtMarker, 0) << "the marker came before the page was complete";
    EXPECT_EQ(view_.LocationName(), "Большая");
    DestroyWindow(marker);
}

TEST_F(ViewWindow, LinksNavigateWhenClickedAndHistoryFollows)
{
    Open(Sample("sample.html"));
    POINT pt;
    ASSERT_TRUE(view_.LinkPoint(0, pt));
    if (pt.y > 400) {
        view_.ScrollTo(view_.ScrollPos() + pt.y - 100);
        ASSERT_TRUE(view_.LinkPoint(0, pt));
    }
    log_.clear();
    Click(pt);
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 2; }));
    ASSERT_FALSE(log_.empty());
    EXPECT_EQ(log_[0], "BeforeNavigate2 " + FullPath(Sample("second.html")));
    EXPECT_EQ(view_.LocationName(), "Вторая страница");
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 2 on"), log_.end());
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 1 off"), log_.end());

    log_.clear();
    ASSERT_TRUE(view_.GoBack());
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 3; }));
    EXPECT_EQ(view_.LocationName(), "Пример страницы");
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 1 on"), log_.end());
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 2 off"), log_.end());

    log_.clear();
    ASSERT_TRUE(view_.GoForward());
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 4; }));
    EXPECT_EQ(view_.LocationName(), "Вторая страница");
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 1 off"), log_.end());
    EXPECT_NE(std::find(log_.begin(), log_.end(), "CommandStateChange 2 on"), log_.end());
    // A click beside the link does nothing.
    int before = completed_;
    Click(POINT{630, 470});
    testkit::WaitIdle();
    EXPECT_EQ(completed_, before);
}

TEST_F(ViewWindow, CancelledAndSupersededNavigations)
{
    Open(Sample("sample.html"));
    view_.Events.BeforeNavigate2 = [](const std::string& url, bool& cancel) {
        cancel = url.find("second") != std::string::npos;
    };
    view_.Navigate(Sample("second.html"));
    EXPECT_FALSE(view_.Busy());
    // Two navigations in a row: only the last one completes.
    view_.Navigate("about:blank");
    view_.Navigate(Sample("missing.html"));
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ == 2; }));
    testkit::WaitIdle();
    EXPECT_EQ(completed_, 2);
    EXPECT_EQ(view_.LocationURL(), Sample("missing.html"));
    EXPECT_NE(PageText(view_.PageLayout()).find("Файл не найден"), std::string::npos);
    // Stop drops a navigation still waiting.
    view_.Navigate(Sample("sample.html"));
    view_.Stop();
    testkit::WaitIdle();
    EXPECT_EQ(completed_, 2);
    EXPECT_EQ(view_.LocationURL(), Sample("missing.html"));
}

TEST_F(ViewWindow, ScrollsWithKeysWheelAndScrollBar)
{
    std::string body = "<title>Long</title>";
    for (int i = 0; i < 200; ++i)
        body += "<p>Line " + std::to_string(i) + "</p>";
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "long.html", body);
    Open(dir / "long.html");
    HWND h = view_.Handle();
    EXPECT_EQ(view_.ScrollPos(), 0);
    SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    int one = view_.ScrollPos();
    EXPECT_GT(one, 0);
    SendMessageA(h, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(view_.ScrollPos(), one + 100);
    SendMessageA(h, WM_KEYDOWN, VK_END, 0);
    int end = view_.ScrollPos();
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(end, view_.PageLayout().height - rc.bottom);
    SendMessageA(h, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(view_.ScrollPos(), end) << "no scrolling past the end";
    SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_LT(view_.ScrollPos(), end);
    SendMessageA(h, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(view_.ScrollPos(), 0);
    SendMessageA(h, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(view_.ScrollPos(), 0);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), view_.ScrollPos());
}

TEST_F(ViewWindow, FindScrollsToAndHighlightsTheMatch)
{
    std::string body;
    for (int i = 0; i < 100; ++i)
        body += "<p>filler " + std::to_string(i) + "</p>";
    body += "<p>Здесь НАХОДКА</p>";
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "find.html", body);
    Open(dir / "find.html");
    EXPECT_FALSE(view_.Find("нет такого текста"));
    ASSERT_TRUE(view_.Find("находка"));
    EXPECT_FALSE(view_.Selection().Empty());
    EXPECT_GT(view_.ScrollPos(), 0);
    testkit::PixelImage px = testkit::PrintWindowPixels(view_.Handle(), true);
    COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_NE(px.CountColor(RECT{0, 0, px.Width(), px.Height()}, hl), 0) << "the match is painted highlighted";

    // Through the system find dialog: its "find next" reaches the view.
    view_.ScrollTo(0);
    view_.ShowFindDialog();
    HWND dlg = view_.FindDialog();
    ASSERT_TRUE(dlg && IsWindow(dlg));
    SetDlgItemTextA(dlg, 0x480, "filler 99");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    testkit::WaitIdle();
    EXPECT_FALSE(view_.Selection().Empty());
    EXPECT_GT(view_.ScrollPos(), 0);
    // Enter in the dialog's text box finds too, whatever loop reads the key.
    view_.ScrollTo(0);
    SetDlgItemTextA(dlg, 0x480, "filler 98");
    HWND edit = GetDlgItem(dlg, 0x480);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0);
    testkit::PumpUntil([&] { return view_.ScrollPos() > 0; });
    EXPECT_GT(view_.ScrollPos(), 0);
    // Esc there closes it.
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    testkit::PumpUntil([&] { return view_.FindDialog() == nullptr; });
    EXPECT_EQ(view_.FindDialog(), nullptr);
}

// The source window opens over the program's window, shows the page's text with the focus in it,
// and Esc closes it.
TEST_F(ViewWindow, SourceWindowShowsThePageTextWithTheFocusAndEscClosesIt)
{
    Open(Sample("second.html"));
    MoveWindow(host_, 300, 200, 640, 480, TRUE);
    HWND src = view_.ShowSource();
    ASSERT_NE(src, nullptr);
    // 700 x 500 over the middle of the program's window (centre 620, 440), owned by it.
    RECT placed{};
    GetWindowRect(src, &placed);
    EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right, placed.bottom}),
              (std::vector<LONG>{270, 190, 970, 690}));
    EXPECT_EQ(GetWindow(src, GW_OWNER), host_);
    HWND edit = GetWindow(src, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    char buf[1024] = {};
    GetWindowTextA(edit, buf, sizeof buf);
    EXPECT_NE(std::string(buf).find("<title>Вторая страница</title>"), std::string::npos);
    EXPECT_EQ(GetFocus(), edit);
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(testkit::PumpUntil([&] { return !IsWindow(src); }));
    if (IsWindow(src))
        DestroyWindow(src);
}

namespace {

// Holds or lets go of a key in this thread's keyboard state.
void HoldKey(int Key, bool Down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[Key] = Down ? 0x80 : 0;
    SetKeyboardState(state);
}

} // namespace

// Tab and Shift+Tab walk the links that show (an empty one is skipped), framed and scrolled into
// view; past the last one Tab is left to the dialog. Enter follows the focused link, Backspace and
// Alt+Left go back, Alt+Right forward. The focus leaving the view takes the link focus along.
TEST_F(ViewWindow, KeysWalkTheLinksAndTheHistory)
{
    testkit::TempDir dir;
    std::string body = "<title>Links</title><p><a href=\"a.html\">first link</a> <a href=\"none.html\"></a></p>";
    for (int i = 0; i < 150; ++i)
        body += "<p>line " + std::to_string(i) + "</p>";
    body += "<p><a href=\"b.html\">last link</a></p>";
    testkit::WriteFileBytes(dir / "links.html", body);
    testkit::WriteFileBytes(dir / "a.html", "<title>A</title>a");
    Open(dir / "links.html");
    HWND h = view_.Handle();
    SetForegroundWindow(host_);
    SetFocus(h);
    ASSERT_EQ(GetFocus(), h);
    const auto wantsTab = [&] { return (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB) != 0; };
    const auto linkShown = [&](int link) {
        POINT pt;
        RECT rc;
        GetClientRect(h, &rc);
        return view_.LinkPoint(link, pt) && pt.y >= 0 && pt.y < rc.bottom;
    };
    // Inside the frame that shows the page's focus while no link has it.
    const auto dark = [&] {
        const testkit::PixelImage px = testkit::PrintWindowPixels(h, true);
        const RECT inner{2, 2, px.Width() - 2, px.Height() - 2};
        return (inner.right - inner.left) * (inner.bottom - inner.top) - px.CountColor(inner, RGB(255, 255, 255));
    };

    EXPECT_EQ(view_.FocusedLink(), -1);
    EXPECT_TRUE(wantsTab());
    const int unframed = dark();
    SendMessageA(h, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(view_.FocusedLink(), 0);
    EXPECT_GT(dark(), unframed) << "the focused link is framed";
    SendMessageA(h, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(view_.FocusedLink(), 2);
    EXPECT_GT(view_.ScrollPos(), 0);
    EXPECT_TRUE(linkShown(2)) << "the page scrolls to the focused link";
    EXPECT_FALSE(wantsTab()) << "past the last link Tab leaves the page";
    HoldKey(VK_SHIFT, true);
    EXPECT_TRUE(wantsTab());
    SendMessageA(h, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_FALSE(wantsTab()) << "before the first link Shift+Tab leaves the page";
    HoldKey(VK_SHIFT, false);
    EXPECT_EQ(view_.FocusedLink(), 0);
    EXPECT_TRUE(linkShown(0));

    int before = completed_;
    SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ > before; }));
    EXPECT_EQ(view_.LocationName(), "A");
    EXPECT_EQ(view_.FocusedLink(), -1);
    const struct {
        UINT msg;
        WPARAM key;
        const char* page;
    } steps[] = {{WM_KEYDOWN, VK_BACK, "Links"}, {WM_SYSKEYDOWN, VK_RIGHT, "A"}, {WM_SYSKEYDOWN, VK_LEFT, "Links"}};
    for (const auto& step : steps) {
        before = completed_;
        SendMessageA(h, step.msg, step.key, step.msg == WM_SYSKEYDOWN ? LPARAM(1) << 29 : 0);
        ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ > before; })) << step.page;
        EXPECT_EQ(view_.LocationName(), step.page);
    }

    SendMessageA(h, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(view_.FocusedLink(), 0);
    SetFocus(host_);
    EXPECT_EQ(view_.FocusedLink(), -1);
}

TEST_F(ViewWindow, NoPrinterGivesANoticeAndWebWithoutNetworkAnErrorPage)
{
    Open(Sample("second.html"));
    std::string notice;
    view_.ShowMessage = [&](const std::string& text, const std::string&) { notice = text; };
    if (!View::PrinterInstalled()) {
        EXPECT_FALSE(view_.Print(true));
        EXPECT_NE(notice.find("Принтер не установлен"), std::string::npos);
    }
    // No network here: the address gives an error page, never a hang or a crash.
    int before = completed_;
    view_.Navigate("http://nonexistent.invalid/page.html");
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ > before; }, 40000));
    EXPECT_EQ(view_.LocationURL(), "http://nonexistent.invalid/page.html");
    EXPECT_EQ(view_.LocationName(), "Не удается открыть страницу");
}

// The sample page in a tall window paints its BMP picture pixel for pixel (the picture's rows read
// straight from the file: 96 x 64, 24 bits, bottom-up from byte 54). A picture of the window is
// saved when VELLORN_SCREENSHOT names a file.
TEST_F(ViewWindow, SamplePagePaintsItsPicturePixelForPixel)
{
    MoveWindow(host_, 20, 20, 760, 900, TRUE);
    RECT rc;
    GetClientRect(host_, &rc);
    MoveWindow(view_.Handle(), 0, 0, rc.right, rc.bottom, TRUE);
    Open(Sample("sample.html"));
    const std::string bmp = testkit::ReadFileBytes(Sample("picture.bmp"));
    ASSERT_EQ(bmp.size(), 54u + 96 * 3 * 64);
    const auto file = [&](int x, int y) {
        const std::size_t p = 54 + std::size_t(63 - y) * 288 + std::size_t(x) * 3;
        return RGB(BYTE(bmp[p + 2]), BYTE(bmp[p + 1]), BYTE(bmp[p]));
    };
    const testkit::PixelImage px = testkit::PrintWindowPixels(view_.Handle(), true);
    const auto sameBlock = [&](int left, int top) {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x)
                if (px.Pixel(left + x, top + y) != file(x, y))
                    return false;
        return true;
    };
    int found = 0;
    for (int y = 0; y + 64 <= px.Height(); ++y)
        for (int x = 0; x + 96 <= px.Width(); ++x)
            found += px.Pixel(x, y) == file(0, 0) && sameBlock(x, y);
    EXPECT_EQ(found, 1);
    if (const char* shot = std::getenv("VELLORN_SCREENSHOT")) {
        EXPECT_TRUE(testkit::SaveScreenshot(shot, host_));
    }
}

namespace {

// Fills the save dialog that the view opens with `path` and confirms it (run from a timer).
std::wstring gSavePath;
BOOL CALLBACK FillSaveDialog(HWND wnd, LPARAM done)
{
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(wnd))
        return TRUE;
    HWND edit = GetDlgItem(wnd, 0x47C); // the file name box (a combo box on newer dialogs)
    if (!edit)
        edit = GetDlgItem(wnd, 0x480);
    if (!edit)
        return TRUE;
    SetWindowTextW(edit, gSavePath.c_str());
    PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    *reinterpret_cast<bool*>(done) = true;
    return FALSE;
}

void CALLBACK SaveTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    bool done = false;
    EnumThreadWindows(GetCurrentThreadId(), FillSaveDialog, reinterpret_cast<LPARAM>(&done));
    if (done)
        KillTimer(nullptr, id);
}

} // namespace

// The page lands in the folder chosen, also in "\uff53\uff55\uff42" beside "sub" (whose name the code
// page would give as "sub").
TEST_F(ViewWindow, SaveDialogWritesThePageIntoTheFolderChosen)
{
    Open(Sample("second.html"));
    testkit::TempDir dir;
    testkit::MakeWide(dir.Path(), L"sub\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\");
    const std::wstring folder = AnsiToWide(dir.Path()) + L"\uff53\uff55\uff42";
    gSavePath = folder + L"\\saved.html";
    UINT_PTR timer = SetTimer(nullptr, 0, 100, SaveTimer);
    bool saved = view_.SaveAs(true);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(saved);
    wchar_t shortFolder[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(WideToAnsi(shortFolder) + "\\saved.html"),
              testkit::ReadFileBytes(Sample("second.html")));
    EXPECT_FALSE(FileExists(dir / "sub\\saved.html"));

    // A file that may not be replaced is refused with the reason, and stays as it was.
    const std::string locked = dir / "locked.html";
    testkit::WriteFileBytes(locked, "old");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string notice;
    view_.ShowMessage = [&](const std::string& text, const std::string&) { notice = text; };
    view_.ChooseSaveFile = [&](std::string& path) { return path = locked, true; };
    EXPECT_FALSE(view_.SaveAs(true));
    EXPECT_EQ(notice, "Не удается сохранить страницу в файл \"" + locked + "\": Файл доступен только для чтения.");
    EXPECT_EQ(testkit::ReadFileBytes(locked), "old");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ViewWindow, InPageAnchorsScrollAndFileUrlsResolveTheirLinks)
{
    testkit::TempDir dir;
    std::string body = "<title>Anchors</title><p><a href=\"#end\">to the end</a></p>";
    for (int i = 0; i < 100; ++i)
        body += "<p>line " + std::to_string(i) + "</p>";
    body += "<h2 id=end>End</h2><p><a href=\"other%20page.html\">other</a></p>";
    testkit::WriteFileBytes(dir / "anchors.html", body);
    testkit::WriteFileBytes(dir / "other page.html", "<title>Other</title>text");
    std::string url = "file:///" + dir.Path() + "anchors.html";
    for (char& c : url)
        if (c == '\\')
            c = '/';
    Open(url);
    EXPECT_EQ(view_.LocationURL(), url);
    EXPECT_EQ(view_.LocationName(), "Anchors");
    POINT pt;
    ASSERT_TRUE(view_.LinkPoint(0, pt));
    int before = completed_;
    Click(pt);
    testkit::WaitIdle();
    EXPECT_GT(view_.ScrollPos(), 0) << "the view scrolled to the anchor";
    EXPECT_EQ(completed_, before) << "an in-page jump is no navigation";
    ASSERT_TRUE(view_.LinkPoint(1, pt));
    Click(pt);
    ASSERT_TRUE(testkit::PumpUntil([&] { return completed_ > before; }));
    EXPECT_EQ(view_.LocationName(), "Other");
    EXPECT_EQ(FullPath(view_.LocationURL()), FullPath(dir / "other page.html"));
}
