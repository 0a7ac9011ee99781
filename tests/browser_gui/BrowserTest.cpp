// The browser interface over both implementations: the choice of implementation, the document's
// commands on our view, and a smoke test of the system control under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <ole2.h>


#include "HtmlViewBrowser.h"
#include "GuiTest.h"
#include "TestKit.h"

using namespace htmlview;

namespace {

struct EnvGuard {
    explicit EnvGuard(const char* value) { SetEnvironmentVariableA("VELLORN_BROWSER", value); }
    ~EnvGuard() { SetEnvironmentVariableA("VELLORN_BROWSER", nullptr); }
};

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        host_ = CreateWindowExA(0, "STATIC", "Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 400, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(host_);
        OleUninitialize();
    }

    RECT Bounds()
    {
        RECT rc;
        GetClientRect(host_, &rc);
        return rc;
    }

    HWND host_ = nullptr;
};

std::string Sample(const char* name) { return testkit::DataDir() + "browser\\" + name; }

} // namespace

TEST_F(BrowserTest, ChoosesOurViewOnWineUnlessForced)
{
    ASSERT_TRUE(RunningOnWine()) << "these tests run under Wine";
    EXPECT_EQ(PreferredBrowserKind(), BrowserKind::Own);
    {
        EnvGuard env("system");
        EXPECT_EQ(PreferredBrowserKind(), BrowserKind::System);
    }
    {
        EnvGuard env("OWN");
        EXPECT_EQ(PreferredBrowserKind(), BrowserKind::Own);
    }
    auto b = Browser::Make(host_, Bounds());
    EXPECT_EQ(b->Kind(), BrowserKind::Own);
    ASSERT_NE(b->OwnView(), nullptr);
    EXPECT_EQ(GetParent(b->Window()), host_);
}

TEST_F(BrowserTest, OurDocumentAnswersFindAndViewSource)
{
    auto b = Browser::Make(host_, Bounds(), BrowserKind::Own);
    EXPECT_EQ(b->Document(), nullptr) << "no document before the first page";
    int done = 0;
    std::string title;
    b->Events.DocumentComplete = [&](const std::string&) { ++done; };
    b->Events.TitleChange = [&](const std::string& t) { title = t; };
    b->Navigate(Sample("second.html"), 0);
    ASSERT_TRUE(testkit::PumpUntil([&] { return done == 1; }));
    EXPECT_EQ(title, "Вторая страница");
    EXPECT_EQ(b->LocationName(), "Вторая страница");
    EXPECT_FALSE(b->Busy());

    IDispatch* doc = b->Document();
    ASSERT_NE(doc, nullptr);
    IOleCommandTarget* cmd = nullptr;
    ASSERT_EQ(doc->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&cmd)), S_OK);
    EXPECT_EQ(cmd->Exec(&CGID_BrowserDocumentCommands, BrowserCmdViewSource, 0, nullptr, nullptr), S_OK);
    HWND src = FindWindowA("VellornHtmlSource", nullptr);
    ASSERT_NE(src, nullptr);
    DestroyWindow(src);
    EXPECT_EQ(cmd->Exec(&CGID_BrowserDocumentCommands, BrowserCmdFind, 0, nullptr, nullptr), S_OK);
    HWND find = b->OwnView()->FindDialog();
    ASSERT_TRUE(find && IsWindow(find));
    DestroyWindow(find);
    GUID other = CGID_BrowserDocumentCommands;
    other.Data1 ^= 1;
    EXPECT_EQ(cmd->Exec(&other, 1, 0, nullptr, nullptr), OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(cmd->Exec(&CGID_BrowserDocumentCommands, 77, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);

    // Print with no printer: a notice and no crash; the document outlives the browser safely.
    std::string notice;
    b->OwnView()->ShowMessage = [&](const std::string& text, const std::string&) { notice = text; };
    if (!View::PrinterInstalled()) {
        EXPECT_NE(b->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr), S_OK);
        EXPECT_FALSE(notice.empty());
    }
    b.reset();
    EXPECT_EQ(cmd->Exec(&CGID_BrowserDocumentCommands, BrowserCmdViewSource, 0, nullptr, nullptr), E_FAIL);
    cmd->Release();
    doc->Release();
}

// The system control under Wine has no HTML engine: it is created, takes a navigation (reporting
// its start) and survives commands with no document.
TEST_F(BrowserTest, SystemControlSmoke)
{
    auto b = Browser::Make(host_, Bounds(), BrowserKind::System);
    if (b->Kind() != BrowserKind::System)
        GTEST_SKIP() << "the system control cannot be created here";
    ASSERT_NE(b->Window(), nullptr);
    std::vector<std::string> before;
    b->Events.BeforeNavigate2 = [&](const std::string& url, bool&) { before.push_back(url); };
    b->Navigate(Sample("second.html"), 0);
    EXPECT_TRUE(testkit::PumpUntil([&] { return !before.empty(); })) << "BeforeNavigate2 reaches our sink";
    IDispatch* doc = b->Document();
    if (doc)
        doc->Release();
    b->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr);
    b->Stop();
    b->Refresh();
    b->GoBack();
    b->GoForward();
    (void)b->LocationName();
    (void)b->LocationURL();
    (void)b->Busy();
    RECT r{0, 0, 200, 150};
    b->SetBounds(r);
    // A cancelling handler is honoured by the control.
    b->Events.BeforeNavigate2 = [&](const std::string& url, bool& cancel) {
        before.push_back(url);
        cancel = true;
    };
    b->Navigate("about:blank", 0);
    testkit::WaitIdle();
    b.reset();
    testkit::WaitIdle();
}
