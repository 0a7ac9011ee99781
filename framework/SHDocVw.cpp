// TCppWebBrowser: the windowed control over the browser implementations of HtmlViewBrowser.
#include "SHDocVw.h"

#include "Dialogs.h"
#include "Forms.h"
#include "HtmlViewBrowser.h"

const GUID CGID_IWebBrowser = htmlview::CGID_BrowserDocumentCommands;

namespace {

std::string NarrowCp1251(const std::wstring& w)
{
    if (w.empty())
        return std::string();
    int n = WideCharToMultiByte(1251, 0, w.data(), int(w.size()), nullptr, 0, "?", nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(1251, 0, w.data(), int(w.size()), s.data(), n, "?", nullptr);
    return s;
}

} // namespace

TCppWebBrowser::TCppWebBrowser(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    SetTabStop(true);
    SetBounds(0, 0, 300, 150);
}

TCppWebBrowser::~TCppWebBrowser() { FBrowser.reset(); }

void TCppWebBrowser::BeforeDestruction()
{
    // The control and its site go before the window they live in.
    FBrowser.reset();
    inherited::BeforeDestruction();
}

void TCppWebBrowser::WndProc(TMessage& Message)
{
    // However the window goes (with its form, or re-created), the browser is shut down while
    // its own windows still exist; a new window makes a new browser on the same page.
    if (Message.Msg == WM_DESTROY && FBrowser) {
        if (!FComponentState.Contains(csDestroying))
            FReloadURL = FBrowser->LocationURL();
        FBrowser.reset();
    }
    // Our view is the window that takes the keys: the control's focus goes on to it, the keys it
    // claims are asked of it, and a click into it focuses the control as a click into any other.
    htmlview::View* view = FBrowser ? FBrowser->OwnView() : nullptr;
    const HWND viewWnd = view ? view->Handle() : nullptr;
    if (Message.Msg == WM_GETDLGCODE && viewWnd && GetFocus() == viewWnd) {
        Message.Result = SendMessageA(viewWnd, WM_GETDLGCODE, Message.WParam, Message.LParam);
        return;
    }
    if (Message.Msg == WM_PARENTNOTIFY && viewWnd &&
        (Message.WParamLo == WM_LBUTTONDOWN || Message.WParamLo == WM_RBUTTONDOWN) && GetFocus() != viewWnd &&
        CanFocus())
        SetFocus();
    inherited::WndProc(Message);
    if (Message.Msg == WM_SETFOCUS && viewWnd && GetFocus() == FHandle && IsWindowVisible(viewWnd))
        ::SetFocus(viewWnd);
}

void TCppWebBrowser::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TCppWebBrowser::CreateWnd()
{
    inherited::CreateWnd();
    RECT rc;
    GetClientRect(FHandle, &rc);
    FBrowser = htmlview::Browser::Make(FHandle, rc);
    WireEvents();
    WireOwnDialogs();
    if (!FReloadURL.empty()) {
        AnsiString url = FReloadURL;
        FReloadURL.clear();
        FBrowser->Navigate(url, 0);
    }
}

void TCppWebBrowser::DestroyWnd()
{
    if (FBrowser) {
        FReloadURL = FBrowser->LocationURL();
        FBrowser.reset();
    }
    inherited::DestroyWnd();
}

void TCppWebBrowser::Resize()
{
    if (FBrowser && FHandle) {
        RECT rc;
        GetClientRect(FHandle, &rc);
        FBrowser->SetBounds(rc);
    }
    inherited::Resize();
}

htmlview::Browser* TCppWebBrowser::BrowserNeeded()
{
    HandleNeeded();
    return FBrowser.get();
}

void TCppWebBrowser::WireEvents()
{
    if (!FBrowser)
        return;
    // Every handler runs under the framework's exception handling: a failure is reported by the
    // application and never unwinds into the browser.
    auto guard = [this](auto&& call) {
        try {
            call();
        } catch (...) {
            HandleCurrentException(this);
        }
    };
    htmlview::ViewEvents& e = FBrowser->Events;
    e.BeforeNavigate2 = [this, guard](const std::string& url, bool& cancel) {
        if (OnBeforeNavigate2)
            guard([&] { OnBeforeNavigate2(this, url, cancel); });
    };
    e.NavigateComplete2 = [this, guard](const std::string& url) {
        if (OnNavigateComplete2)
            guard([&] { OnNavigateComplete2(this, url); });
    };
    e.DocumentComplete = [this, guard](const std::string& url) {
        if (OnDocumentComplete)
            guard([&] { OnDocumentComplete(this, url); });
    };
    e.ProgressChange = [this, guard](long p, long m) {
        if (OnProgressChange)
            guard([&] { OnProgressChange(this, p, m); });
    };
    e.StatusTextChange = [this, guard](const std::string& t) {
        if (OnStatusTextChange)
            guard([&] { OnStatusTextChange(this, t); });
    };
    e.CommandStateChange = [this, guard](long c, bool en) {
        if (OnCommandStateChange)
            guard([&] { OnCommandStateChange(this, c, en); });
    };
    e.TitleChange = [this, guard](const std::string& t) {
        if (OnTitleChange)
            guard([&] { OnTitleChange(this, t); });
    };
    e.DownloadBegin = [this, guard] {
        if (OnDownloadBegin)
            guard([&] { OnDownloadBegin(this); });
    };
    e.DownloadComplete = [this, guard] {
        if (OnDownloadComplete)
            guard([&] { OnDownloadComplete(this); });
    };
}

void TCppWebBrowser::WireOwnDialogs()
{
    htmlview::View* view = FBrowser ? FBrowser->OwnView() : nullptr;
    if (!view)
        return;
    // Our view's notices are the application's boxes and its save dialog is the framework's, so
    // they look like the program's other prompts (a skinned box inside a skin) and tests can
    // answer them.
    view->ShowMessage = [](const std::string& text, const std::string& caption) {
        if (Application)
            Application->MessageBox(text, caption, MB_OK | MB_ICONINFORMATION);
        else
            PromptService().MessageBox(text, caption, MB_OK | MB_ICONINFORMATION);
    };
    view->ChooseSaveFile = [this](std::string& path) {
        if (!FSaveDialog) {
            FSaveDialog = Create<TSaveDialog>(this);
            FSaveDialog->Filter = "Веб-страница (*.htm;*.html)|*.htm;*.html|Все файлы (*.*)|*.*";
            FSaveDialog->DefaultExt = "html";
            FSaveDialog->Title = "Сохранить веб-страницу";
            FSaveDialog->Options = TOpenOptions{ofOverwritePrompt, ofPathMustExist, ofHideReadOnly, ofNoChangeDir};
        }
        FSaveDialog->FileName = path;
        if (!FSaveDialog->Execute())
            return false;
        path = FSaveDialog->FileName;
        return true;
    };
}

void TCppWebBrowser::Navigate(const AnsiString& URL) { Navigate(URL, 0); }

void TCppWebBrowser::Navigate(const AnsiString& URL, long Flags)
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->Navigate(URL, Flags);
}

void TCppWebBrowser::Navigate(const std::wstring& URL) { Navigate(NarrowCp1251(URL), 0); }

void TCppWebBrowser::GoBack()
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->GoBack();
}

void TCppWebBrowser::GoForward()
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->GoForward();
}

void TCppWebBrowser::Stop()
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->Stop();
}

void TCppWebBrowser::Refresh()
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->Refresh();
}

void TCppWebBrowser::ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut)
{
    if (htmlview::Browser* b = BrowserNeeded())
        b->ExecWB(cmdID, cmdexecopt, pvaIn, pvaOut);
}

TComInterface<IDispatch> TCppWebBrowser::Document()
{
    return FBrowser ? TComInterface<IDispatch>(FBrowser->Document()) : TComInterface<IDispatch>();
}

AnsiString TCppWebBrowser::LocationName() { return FBrowser ? FBrowser->LocationName() : AnsiString(); }

AnsiString TCppWebBrowser::LocationURL() { return FBrowser ? FBrowser->LocationURL() : AnsiString(); }

bool TCppWebBrowser::Busy() { return FBrowser && FBrowser->Busy(); }

TWebBrowserKind TCppWebBrowser::Kind()
{
    htmlview::Browser* b = BrowserNeeded();
    return b && b->Kind() == htmlview::BrowserKind::System ? wbkSystem : wbkOwn;
}

htmlview::View* TCppWebBrowser::OwnView()
{
    htmlview::Browser* b = BrowserNeeded();
    return b ? b->OwnView() : nullptr;
}
