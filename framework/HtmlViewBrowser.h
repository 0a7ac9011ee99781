// One browser interface with two implementations: the system web-browser control hosted in place
// through COM, and our own view. The system control is used on Windows; our view on Wine (whose
// control has no HTML engine) and wherever the control cannot be created. The environment
// variable VELLORN_BROWSER=system|own forces either.
#pragma once

#include <windows.h>

#include <docobj.h>
#include <oaidl.h>

#include <memory>
#include <string>

#include "HtmlViewWindow.h"

namespace htmlview {

enum class BrowserKind { System, Own };

// Command group of the browser's document commands: 1 finds text in the page, 2 shows its source.
extern const GUID CGID_BrowserDocumentCommands;
constexpr DWORD BrowserCmdFind = 1;
constexpr DWORD BrowserCmdViewSource = 2;

// True when the process runs under Wine (ntdll exports wine_get_version).
bool RunningOnWine();
// The implementation to try first: VELLORN_BROWSER when set to "system" or "own", else our view on
// Wine and the system control elsewhere.
BrowserKind PreferredBrowserKind();

class Browser {
public:
    virtual ~Browser() = default;

    // Makes a browser as a child of `parent` covering `bounds`: the preferred kind, falling back to
    // our view when the system control cannot be created. Never null.
    static std::unique_ptr<Browser> Make(HWND parent, const RECT& bounds);
    static std::unique_ptr<Browser> Make(HWND parent, const RECT& bounds, BrowserKind kind);

    // Events in CP1251 text; set them at any time.
    ViewEvents Events;

    virtual BrowserKind Kind() const = 0;
    // The window that shows the page (a child of the parent).
    virtual HWND Window() const = 0;
    virtual void SetBounds(const RECT& bounds) = 0;

    virtual void Navigate(const std::string& url, long flags) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    // Save-as (OLECMDID_SAVEAS) and print (OLECMDID_PRINT) of the page; other commands go to the
    // system control or are refused.
    virtual HRESULT ExecWB(OLECMDID cmd, OLECMDEXECOPT opt, VARIANT* in, VARIANT* out) = 0;
    // The loaded document (answers IOleCommandTarget), with a reference for the caller; nullptr
    // when no document is loaded.
    virtual IDispatch* Document() = 0;
    virtual std::string LocationName() = 0;
    virtual std::string LocationURL() = 0;
    virtual bool Busy() = 0;

    // Our view when this is our implementation (tests look inside), else nullptr.
    virtual View* OwnView() { return nullptr; }
};

} // namespace htmlview
