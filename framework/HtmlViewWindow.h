// Our own browser view: a child window that loads pages (local files, "about:blank", http and
// https through WinINet), shows them with the HtmlView engine, keeps a back and forward history
// and reports its progress through events in the order the system browser control uses.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HtmlViewDoc.h"
#include "HtmlViewLayout.h"

namespace htmlview {

// Commands of CommandStateChange.
constexpr long CSC_UPDATECOMMANDS = -1;
constexpr long CSC_NAVIGATEFORWARD = 1;
constexpr long CSC_NAVIGATEBACK = 2;

// Events of the view. Each may be empty. They are called on the window's thread, from inside
// Navigate (BeforeNavigate2) or from the view's posted messages (all others).
struct ViewEvents {
    std::function<void(const std::string& url, bool& cancel)> BeforeNavigate2;
    std::function<void()> DownloadBegin;
    std::function<void(long progress, long progressMax)> ProgressChange;
    std::function<void(const std::string& url)> NavigateComplete2;
    std::function<void(const std::string& title)> TitleChange;
    std::function<void(long command, bool enable)> CommandStateChange;
    std::function<void(const std::string& url)> DocumentComplete;
    std::function<void()> DownloadComplete;
    std::function<void(const std::string& text)> StatusTextChange;
};

// Resolves a reference written in a page against the page's address (a file path, a file: URL or
// an http(s) address). Absolute references come back unchanged.
std::string ResolveReference(const std::string& base, const std::string& ref);

// Turns an address into a local path when it names a file ("file:" URL or a path); "" otherwise.
std::string AddressToPath(const std::string& address);

class View {
public:
    View();
    ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Creates the view's window as a child of `parent` (style WS_CHILD | WS_VISIBLE).
    HWND Create(HWND parent, int x, int y, int w, int h);
    HWND Handle() const { return hwnd_; }
    void Destroy();

    ViewEvents Events;
    // Shows notices (no printer, save failed); a message box owned by the view's window unless
    // replaced.
    std::function<void(const std::string& text, const std::string& caption)> ShowMessage;
    // Asks where to save the page: `path` holds the suggested file name on entry and the chosen
    // path on a true answer. The system save dialog unless replaced: it answers the path that
    // reaches the chosen entry, and refuses a name no path carries with a notice.
    std::function<bool(std::string& path)> ChooseSaveFile;

    // Starts a navigation: BeforeNavigate2 now (it may cancel), the rest once the page is loaded
    // after Navigate has returned.
    void Navigate(const std::string& url);
    bool GoBack();
    bool GoForward();
    void Stop();
    void Refresh();

    bool CanGoBack() const { return historyIndex_ > 0; }
    bool CanGoForward() const { return historyIndex_ >= 0 && historyIndex_ + 1 < int(history_.size()); }
    bool Busy() const { return busy_; }
    bool HasDocument() const { return page_ != nullptr; }
    // Title of the page shown (its file name when it has no title); the address of the page.
    std::string LocationName() const;
    std::string LocationURL() const;
    // The page's source as loaded (its own bytes) and as CP1251 text.
    std::string SourceBytes() const;
    std::string SourceText() const;

    // Finds the next occurrence (without letter case) of `text`, scrolls to it and highlights it.
    bool Find(const std::string& text);
    // Opens the system find dialog for this view.
    void ShowFindDialog();
    HWND FindDialog() const { return findDialog_; }
    // Opens a window showing the page source; returns it.
    HWND ShowSource();
    // Saves the page: with `prompt` through the save dialog, otherwise to the page's file name in
    // the current folder. Returns true when written.
    bool SaveAs(bool prompt);
    bool SaveTo(const std::string& path) const;
    // Prints the page through the print dialog (or the default printer without `prompt`); shows a
    // notice when no printer is installed. Returns true when printed.
    bool Print(bool prompt);
    static bool PrinterInstalled();

    // What the view shows, for painting elsewhere and for tests.
    void Paint(HDC dc, const RECT& client);
    const Layout& PageLayout() const;
    int ScrollPos() const { return scrollY_; }
    void ScrollTo(int y);
    const TextRange& Selection() const { return selection_; }
    // Client-area point of a link's first run; false when the page has no such link.
    bool LinkPoint(int link, POINT& pt) const;
    // The link that Tab has moved to (framed while the view has the focus; Enter follows it), -1
    // for none. It goes with the focus and with the page.
    int FocusedLink() const { return focusLink_; }

private:
    struct Page;
    enum class NavKind { New, Back, Forward, Reload };

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void StartNavigation(const std::string& url, NavKind kind, bool fireBefore);
    void LoadPosted(unsigned gen);
    void Finish(std::unique_ptr<Page> page);
    // Reads a page with its pictures: the slow part of a navigation, run in a worker thread while
    // the view has a window (it touches nothing of the view).
    static std::unique_ptr<Page> LoadPage(const std::string& url);
    static std::unique_ptr<Page> LoadLocal(const std::string& url);
    static std::unique_ptr<Page> MakePage(const std::string& url, const std::string& bytes);
    void Relayout();
    void UpdateScrollBar();
    int ClientHeight() const;
    void FollowLink(int link);
    // The next link shown on the page after the focused one (before it with !forward; from the
    // first or last one when none is focused), -1 when there is none that way.
    int NextLink(bool forward) const;
    void FocusLink(int link);
    // Page rectangles of the link's runs, the runs of one line joined.
    std::vector<RECT> LinkRects(int link) const;
    void SetHoverLink(int link);
    void OnFindMessage(LPARAM lp);
    void Fire(const std::function<void()>& f);

    HWND hwnd_ = nullptr;
    HDC measureDc_ = nullptr;
    FontCache fonts_;
    std::unique_ptr<Page> page_;
    std::vector<std::string> history_;
    int historyIndex_ = -1;
    unsigned gen_ = 0;         // current navigation; older posted loads are dropped
    std::string pendingUrl_;
    NavKind pendingKind_ = NavKind::New;
    bool busy_ = false;
    int scrollY_ = 0;
    int hoverLink_ = -1;
    int pressedLink_ = -1;
    int focusLink_ = -1;
    std::vector<int> linkFirstRun_; // per link of the layout, its first run (-1: none shown)
    TextRange selection_;
    std::string findText_;
    HWND findDialog_ = nullptr;
    FINDREPLACEA findData_{};
    char findBuffer_[256] = {};
};

} // namespace htmlview
