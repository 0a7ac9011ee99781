// TCppWebBrowser on a form: events through the component, the document's commands, resizing,
// window re-creation, failing handlers, and the forced system control.
#include <gtest/gtest.h>
#include <windows.h>

#include <ole2.h>

#include "FormTest.h"
#include "ProgramRun.h"
#include "HtmlViewWindow.h"
#include "StdCtrls.h"
#include "SHDocVw.h"
#include "TestKit.h"

namespace {

std::string Sample(const char* name) { return testkit::DataDir() + "browser\\" + name; }

class CppWebBrowserTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        OleInitialize(nullptr);
        form_ = MakeForm();
        form_->SetBounds(60, 60, 520, 420);
        web_ = Create<TCppWebBrowser>(form_);
        web_->SetParent(form_);
        web_->SetAlign(alClient);
        web_->OnDocumentComplete = [this](TObject*, const AnsiString&) { ++completed_; };
        form_->Show();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        OleUninitialize();
    }

    void Open(const std::string& url)
    {
        int before = completed_;
        web_->Navigate(url);
        ASSERT_TRUE(WaitFor([&] { return completed_ > before; }, "page " + url));
    }

    TForm* form_ = nullptr;
    TCppWebBrowser* web_ = nullptr;
    int completed_ = 0;
};

struct EnvGuard {
    explicit EnvGuard(const char* value) { SetEnvironmentVariableA("VELLORN_BROWSER", value); }
    ~EnvGuard() { SetEnvironmentVariableA("VELLORN_BROWSER", nullptr); }
};

} // namespace

TEST_F(CppWebBrowserTest, EventsAndPropertiesThroughTheComponent)
{
    EXPECT_EQ(web_->Kind(), wbkOwn);
    EXPECT_EQ(web_->LocationName(), "");
    EXPECT_FALSE(web_->Document().IsBound()) << "no document before the first page";
    std::vector<std::string> order;
    web_->OnBeforeNavigate2 = [&](TObject* s, const AnsiString& url, bool&) {
        EXPECT_EQ(s, web_);
        order.push_back("before " + url);
    };
    web_->OnDownloadBegin = [&](TObject*) { order.push_back("begin"); };
    web_->OnProgressChange = [&](TObject*, long p, long m) {
        if (p == m)
            order.push_back("progress done");
    };
    web_->OnNavigateComplete2 = [&](TObject*, const AnsiString& url) {
        order.push_back("complete " + url);
        EXPECT_EQ(web_->LocationName(), "Пример страницы") << "the title is known when navigation completes";
    };
    web_->OnTitleChange = [&](TObject*, const AnsiString& t) { order.push_back("title " + t); };
    web_->OnCommandStateChange = [&](TObject*, long c, bool e) {
        order.push_back("command " + std::to_string(c) + (e ? "+" : "-"));
    };
    web_->OnDownloadComplete = [&](TObject*) { order.push_back("end"); };
    web_->OnStatusTextChange = [&](TObject*, const AnsiString& t) { order.push_back("status " + t); };
    std::string url = Sample("sample.html");
    Open(url);
    testkit::WaitIdle();
    std::vector<std::string> expected = {"before " + url,      "begin",         "status Загрузка страницы " + url,
                                         "command -1+",        "command 1-",    "command 2-",
                                         "progress done",      "complete " + url, "title Пример страницы",
                                         "command -1-",        "end",           "status Готово"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(web_->LocationURL(), url);
    EXPECT_FALSE(web_->Busy());

    TComInterface<IDispatch> doc = web_->Document();
    ASSERT_TRUE(doc.IsBound());
    TComInterface<IOleCommandTarget> cmd;
    ASSERT_EQ(doc->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&cmd)), S_OK);
    EXPECT_EQ(cmd->Exec(&CGID_IWebBrowser, HTMLID_VIEWSOURCE, 0, nullptr, nullptr), S_OK);
    HWND src = FindWindowA("VellornHtmlSource", nullptr);
    ASSERT_NE(src, nullptr);
    DestroyWindow(src);
}

TEST_F(CppWebBrowserTest, ViewFollowsTheControlAndSurvivesRecreation)
{
    Open(Sample("second.html"));
    HWND view = web_->OwnView()->Handle();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), web_->Handle());
    form_->SetBounds(60, 60, 400, 300);
    RECT vr, wr;
    GetWindowRect(view, &vr);
    GetClientRect(web_->Handle(), &wr);
    EXPECT_EQ(vr.right - vr.left, wr.right);
    EXPECT_EQ(vr.bottom - vr.top, wr.bottom);

    web_->RecreateWnd();
    ASSERT_TRUE(WaitFor([&] { return web_->LocationName() == "Вторая страница"; }, "page after re-creation"));
    EXPECT_EQ(web_->LocationURL(), Sample("second.html"));
}

// The control hands its focus on to the page: PgDn and the arrows typed then reach the page, and
// the page shows that it has the focus (a dotted frame round it) until the focus leaves.
TEST_F(CppWebBrowserTest, TheFocusGoesOnToThePageWhichShowsItAndTakesTheKeys)
{
    std::string body = "<title>Long</title>";
    for (int i = 0; i < 200; ++i)
        body += "<p>Line " + std::to_string(i) + "</p>";
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "long.html", body);
    Open(dir / "long.html");
    auto* other = Create<TEdit>(form_);
    other->SetParent(form_);
    other->SetAlign(alTop);
    SetForegroundWindow(form_->Handle());
    ASSERT_TRUE(WaitFor([&] { return GetActiveWindow() == form_->Handle(); }, "the form in front"));
    htmlview::View* view = web_->OwnView();
    const HWND page = view->Handle();
    // Dots of the frame along the page's second row (the page's text starts further down).
    auto frame = [page] {
        testkit::PumpPending();
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const testkit::PixelImage look = testkit::PrintWindowPixels(page, true);
        const RECT row{4, 1, look.Width() - 4, 2};
        return (row.right - row.left) - look.CountColor(row, RGB(255, 255, 255));
    };
    other->SetFocus();
    EXPECT_EQ(frame(), 0) << "no frame without the focus";
    web_->SetFocus();
    EXPECT_EQ(GetFocus(), page);
    EXPECT_GT(frame(), 20);
    testkit::RealKeys({VK_NEXT});
    EXPECT_TRUE(WaitFor([&] { return view->ScrollPos() > 100; }, "PgDn scrolling the page"));
    const int paged = view->ScrollPos();
    testkit::RealKeys({VK_DOWN});
    EXPECT_TRUE(WaitFor([&] { return view->ScrollPos() > paged; }, "Down scrolling the page"));
    other->SetFocus();
    EXPECT_EQ(frame(), 0) << "the frame goes with the focus";
}

TEST_F(CppWebBrowserTest, FailingHandlerIsReportedAndTheBrowserGoesOn)
{
    ScriptBoxes();
    web_->OnNavigateComplete2 = [](TObject*, const AnsiString&) { throw Exception("handler failed"); };
    Open(Sample("second.html"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "handler failed.");
    web_->OnNavigateComplete2 = nullptr;
    Open(Sample("sample.html"));
    EXPECT_EQ(web_->LocationName(), "Пример страницы");
    // Back: the command states follow; Refresh reloads without a new history entry.
    std::vector<std::pair<long, bool>> states;
    web_->OnCommandStateChange = [&](TObject*, long c, bool e) { states.emplace_back(c, e); };
    web_->GoBack();
    ASSERT_TRUE(WaitFor([&] { return web_->LocationName() == "Вторая страница"; }, "back"));
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[0], std::make_pair(CSC_UPDATECOMMANDS, true));
    EXPECT_EQ(states[1], std::make_pair(CSC_NAVIGATEFORWARD, true));
    EXPECT_EQ(states[2], std::make_pair(CSC_NAVIGATEBACK, false));
    EXPECT_EQ(states[3], std::make_pair(CSC_UPDATECOMMANDS, false));
    web_->Refresh();
    testkit::WaitIdle();
    EXPECT_EQ(web_->LocationName(), "Вторая страница");
    web_->GoForward();
    ASSERT_TRUE(WaitFor([&] { return web_->LocationName() == "Пример страницы"; }, "forward"));
}

TEST_F(CppWebBrowserTest, ForcedSystemControlTakesNavigationsWithoutDocument)
{
    EnvGuard env("system");
    auto* sys = Create<TCppWebBrowser>(form_);
    sys->SetParent(form_);
    sys->SetBounds(0, 0, 200, 100);
    if (sys->Kind() != wbkSystem)
        GTEST_SKIP() << "the system control cannot be created here";
    bool before = false;
    sys->OnBeforeNavigate2 = [&](TObject*, const AnsiString&, bool&) { before = true; };
    sys->Navigate(Sample("second.html"));
    EXPECT_TRUE(WaitFor([&] { return before; }, "BeforeNavigate2"));
    TComInterface<IDispatch> doc = sys->Document();
    if (doc.IsBound()) {
        TComInterface<IOleCommandTarget> cmd;
        doc->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&cmd));
    }
    sys->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER);
    // Window re-creation shuts the control down and makes it again.
    sys->RecreateWnd();
    testkit::WaitIdle();
    EXPECT_EQ(sys->Kind(), wbkSystem);
}

TEST_F(CppWebBrowserTest, FreedAloneLeavesItsForm)
{
    auto* other = Create<TCppWebBrowser>(form_);
    other->SetParent(form_);
    other->SetBounds(0, 0, 200, 100);
    other->Navigate(Sample("second.html"));
    testkit::WaitIdle();
    int before = form_->ControlCount();
    other->Free();
    EXPECT_EQ(form_->ControlCount(), before - 1);
    Open(Sample("sample.html")); // the form and its other browser go on; TearDown frees them
}
