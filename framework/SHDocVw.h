// The framework's web-browser unit: TCppWebBrowser, a windowed control showing web pages. It hosts
// the system web-browser control on Windows and our own view on Wine (or when the control cannot
// be created); VELLORN_BROWSER=system|own in the environment forces either. OleInitialize must
// have run on the thread before the control's window is made.
#pragma once

#include <windows.h>

#include <docobj.h>
#include <oaidl.h>

#include <memory>
#include <string>

#include "ComObj.h"
#include "Controls.h"

class TSaveDialog;

namespace htmlview {
class Browser;
class View;
}

// Command group of the browser document's own commands (through IOleCommandTarget::Exec on
// Document): HTMLID_FIND opens the find dialog, HTMLID_VIEWSOURCE shows the page source.
extern const GUID CGID_IWebBrowser;
constexpr DWORD HTMLID_FIND = 1;
constexpr DWORD HTMLID_VIEWSOURCE = 2;

// Commands of OnCommandStateChange.
constexpr long CSC_UPDATECOMMANDS = -1;
constexpr long CSC_NAVIGATEFORWARD = 1;
constexpr long CSC_NAVIGATEBACK = 2;

// Texts and addresses are CP1251 strings.
using TWebBrowserBeforeNavigate2 = std::function<void(TObject* Sender, const AnsiString& URL, bool& Cancel)>;
using TWebBrowserNavigateComplete2 = std::function<void(TObject* Sender, const AnsiString& URL)>;
using TWebBrowserDocumentComplete = std::function<void(TObject* Sender, const AnsiString& URL)>;
using TWebBrowserProgressChange = std::function<void(TObject* Sender, long Progress, long ProgressMax)>;
using TWebBrowserStatusTextChange = std::function<void(TObject* Sender, const AnsiString& Text)>;
using TWebBrowserCommandStateChange = std::function<void(TObject* Sender, long Command, bool Enable)>;
using TWebBrowserTitleChange = std::function<void(TObject* Sender, const AnsiString& Text)>;

enum TWebBrowserKind { wbkSystem, wbkOwn };

class TCppWebBrowser : public TWinControl {
    VCL_CLASS(TCppWebBrowser, TWinControl)
public:
    explicit TCppWebBrowser(TComponent* AOwner);
    ~TCppWebBrowser() override;
    void BeforeDestruction() override;
    void WndProc(TMessage& Message) override;

    // Starts a navigation to an address or a file path; Flags go to the system control.
    void Navigate(const AnsiString& URL);
    void Navigate(const AnsiString& URL, long Flags);
    void Navigate(const std::wstring& URL);
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    // Runs a browser command: OLECMDID_SAVEAS and OLECMDID_PRINT with OLECMDEXECOPT_PROMPTUSER show
    // the save and print dialogs. Failures are the browser's to report; nothing is raised.
    void ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn = nullptr, VARIANT* pvaOut = nullptr);
    // The loaded document (query it for IOleCommandTarget), empty when there is none.
    TComInterface<IDispatch> Document();
    // Title and address of the page shown ("" before the first page).
    AnsiString LocationName();
    AnsiString LocationURL();
    bool Busy();

    // Which implementation the control uses (decided when its window is made).
    TWebBrowserKind Kind();
    // Our own view when that is the implementation (for tests), else nullptr.
    htmlview::View* OwnView();

    TWebBrowserBeforeNavigate2 OnBeforeNavigate2;
    TWebBrowserNavigateComplete2 OnNavigateComplete2;
    TWebBrowserDocumentComplete OnDocumentComplete;
    TWebBrowserProgressChange OnProgressChange;
    TWebBrowserStatusTextChange OnStatusTextChange;
    TWebBrowserCommandStateChange OnCommandStateChange;
    TWebBrowserTitleChange OnTitleChange;
    TNotifyEvent OnDownloadBegin;
    TNotifyEvent OnDownloadComplete;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Resize() override;

private:
    htmlview::Browser* BrowserNeeded();
    void WireEvents();
    void WireOwnDialogs();

    std::unique_ptr<htmlview::Browser> FBrowser;
    AnsiString FReloadURL; // the page to show again when the window is re-created
    TSaveDialog* FSaveDialog = nullptr; // made when our view first saves a page
};
