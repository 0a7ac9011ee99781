// The window of our own browser view: loading, history, events, scrolling, links, find, source,
// saving and printing.
#include "HtmlViewWindow.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>
#include <winspool.h>

#include <algorithm>
#include <thread>

#include "Graphics.h"
#include "HtmlViewImages.h"
#include "SysUtils.h"
#include "SysUtilsFilesNames.h"

namespace htmlview {

namespace {

const char kViewClass[] = "VellornHtmlView";
const char kSourceClass[] = "VellornHtmlSource";
constexpr UINT WM_VIEW_LOAD = WM_APP + 0x31;    // wParam: navigation number
constexpr UINT WM_VIEW_LOADED = WM_APP + 0x32; // wParam: navigation number, lParam: View::Page*
constexpr int kLineStep = 40;
constexpr size_t kMaxPageBytes = 64u << 20;

int XOf(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
int YOf(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

struct FetchResult {
    bool ok = false;
    std::string bytes;
    std::string error;
};

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
    return Lower(s.substr(0, strlen(prefix))) == prefix;
}

bool IsWeb(const std::string& url)
{
    return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://");
}

// A scheme of two or more letters before ':' ("C:" is a drive, not a scheme).
bool HasScheme(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && (isalpha((unsigned char)s[i]) || (i > 0 && (isdigit((unsigned char)s[i]) || s[i] == '+' || s[i] == '-' || s[i] == '.'))))
        ++i;
    return i >= 2 && i < s.size() && s[i] == ':';
}

std::string PercentDecode(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && isxdigit((unsigned char)s[i + 1]) &&
            isxdigit((unsigned char)s[i + 2])) {
            out += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string HtmlEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Last component of a path or address.
std::string FileNameOf(const std::string& url)
{
    size_t p = url.find_last_of("\\/");
    std::string name = p == std::string::npos ? url : url.substr(p + 1);
    return name.empty() ? url : name;
}

std::string ExtensionOf(const std::string& path)
{
    std::string name = FileNameOf(path);
    size_t q = name.find_first_of("?#");
    if (q != std::string::npos)
        name.resize(q);
    size_t d = name.rfind('.');
    return d == std::string::npos ? std::string() : Lower(name.substr(d));
}

std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : path;
}

bool ReadWholeFile(const std::string& path, std::string& out, DWORD& error)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart >= 0 && size.QuadPart <= LONGLONG(kMaxPageBytes);
    if (ok) {
        out.resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = out.empty() || (ReadFile(h, out.data(), DWORD(out.size()), &got, nullptr) && got == out.size());
    }
    error = ok ? 0 : ERROR_READ_FAULT;
    CloseHandle(h);
    return ok;
}

std::string NoticePage(const std::string& title, const std::string& body)
{
    return "<html><head><meta charset=\"windows-1251\"><title>" + HtmlEscape(title) +
           "</title></head><body><h2>" + HtmlEscape(title) + "</h2>" + body + "</body></html>";
}

std::string ErrorPage(const std::string& address, const std::string& reason)
{
    return NoticePage("Не удается открыть страницу",
                      "<p>" + HtmlEscape(reason) + "</p><p>Адрес: <b>" + HtmlEscape(address) +
                          "</b></p><hr><p>Проверьте правильность адреса и повторите попытку.</p>");
}

struct InetHandle {
    HINTERNET h = nullptr;
    ~InetHandle()
    {
        if (h)
            InternetCloseHandle(h);
    }
};

FetchResult FetchWeb(const std::string& url)
{
    FetchResult r;
    InetHandle session;
    session.h = InternetOpenA("Vellorn", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session.h) {
        r.error = "Нет доступа к сети.";
        return r;
    }
    DWORD timeout = 15000;
    InternetSetOptionA(session.h, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(session.h, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    InetHandle file;
    file.h = InternetOpenUrlA(session.h, url.c_str(), nullptr, 0,
                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
    if (!file.h) {
        r.error = "Не удается подключиться к серверу (ошибка " + std::to_string(GetLastError()) +
                  "). Возможно, нет подключения к сети.";
        return r;
    }
    char buf[16384];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(file.h, buf, sizeof buf, &got)) {
            r.error = "Загрузка страницы прервана (ошибка " + std::to_string(GetLastError()) + ").";
            return r;
        }
        if (got == 0)
            break;
        r.bytes.append(buf, got);
        if (r.bytes.size() > kMaxPageBytes) {
            r.error = "Страница слишком велика.";
            return r;
        }
    }
    r.ok = true;
    return r;
}

const char kEditProcProp[] = "Vellorn.SourceEditProc";

// The source's text box: Esc closes its window.
LRESULT CALLBACK SourceEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    const auto base = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kEditProcProp));
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
        PostMessageA(GetParent(hwnd), WM_CLOSE, 0, 0);
        return 0;
    }
    if (msg == WM_CHAR && wp == 27)
        return 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        RemovePropA(hwnd, kEditProcProp);
    }
    return base ? CallWindowProcA(base, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

// Window showing a page's source in a read-only edit box, which has the focus whenever the
// window has it.
LRESULT CALLBACK SourceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETFOCUS:
        if (HWND edit = GetWindow(hwnd, GW_CHILD))
            SetFocus(edit);
        return 0;
    case WM_SIZE: {
        HWND edit = GetWindow(hwnd, GW_CHILD);
        if (edit)
            MoveWindow(edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    }
    case WM_NCDESTROY: {
        HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (font)
            DeleteObject(font);
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The find dialog is modeless and the application's message loop knows nothing of it: its
// controls are subclassed, so that Enter, Esc, Tab and Alt with a letter do in it what they do in
// a dialog whichever loop reads the keys.
constexpr char kFindProcProp[] = "VellornFindProc";
bool gInFindKey = false;

LRESULT CALLBACK FindControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kFindProcProp));
    if (!old)
        return DefWindowProcA(hwnd, msg, wp, lp);
    const bool dialogKey =
        (msg == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_TAB)) || msg == WM_SYSCHAR;
    if (dialogKey && !gInFindKey) {
        // The dialog's own handling; a key it passes on comes back here and goes to the control.
        MSG m{hwnd, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
        gInFindKey = true;
        const BOOL done = IsDialogMessageA(GetAncestor(hwnd, GA_ROOT), &m);
        gInFindKey = false;
        if (done)
            return 0;
    }
    // The characters the message loop made of those keys would beep or land in the text.
    if (msg == WM_CHAR && (wp == '\r' || wp == VK_ESCAPE || wp == '\t'))
        return 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, kFindProcProp);
    }
    return CallWindowProcA(old, hwnd, msg, wp, lp);
}

BOOL CALLBACK SubclassFindControl(HWND control, LPARAM)
{
    if (!GetPropA(control, kFindProcProp) &&
        SetPropA(control, kFindProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(control, GWLP_WNDPROC))))
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindControlProc));
    return TRUE;
}

void RegisterClasses()
{
    static bool done = false;
    if (done)
        return;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = SourceProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kSourceClass;
    RegisterClassExA(&wc);
    done = true;
}

} // namespace

// ---- References ----

std::string AddressToPath(const std::string& address)
{
    std::string a = Trim(address);
    if (StartsWithNoCase(a, "file:")) {
        std::string rest = a.substr(5);
        size_t slashes = 0;
        while (slashes < rest.size() && (rest[slashes] == '/' || rest[slashes] == '\\'))
            ++slashes;
        rest = PercentDecode(rest.substr(slashes));
        // "file://server/share" (two slashes and no drive) names a network share.
        bool unc = slashes == 2 && !(rest.size() > 1 && rest[1] == ':');
        std::replace(rest.begin(), rest.end(), '/', '\\');
        return unc ? "\\\\" + rest : rest;
    }
    if (a.empty() || HasScheme(a))
        return "";
    return a;
}

std::string ResolveReference(const std::string& base, const std::string& refIn)
{
    std::string ref = Trim(refIn);
    if (HasScheme(ref) || ref.empty())
        return ref.empty() ? base : ref;
    if (ref.size() > 1 && ref[1] == ':')
        return ref; // a drive path
    if (ref.compare(0, 2, "\\\\") == 0)
        return ref;
    if (IsWeb(base)) {
        size_t schemeEnd = base.find("://") + 3;
        size_t hostEnd = base.find('/', schemeEnd);
        std::string origin = hostEnd == std::string::npos ? base : base.substr(0, hostEnd);
        if (ref.compare(0, 2, "//") == 0)
            return base.substr(0, schemeEnd - 2) + ref;
        if (ref[0] == '/')
            return origin + ref;
        std::string dir = base.substr(0, base.find_first_of("?#"));
        size_t slash = dir.rfind('/');
        dir = (slash == std::string::npos || slash < schemeEnd) ? origin + "/" : dir.substr(0, slash + 1);
        if (ref[0] == '#' || ref[0] == '?')
            return base.substr(0, base.find_first_of(ref[0] == '#' ? "#" : "?#")) + ref;
        return dir + ref;
    }
    std::string basePath = AddressToPath(base);
    if (basePath.empty())
        return ref;
    std::string path = PercentDecode(ref);
    std::replace(path.begin(), path.end(), '/', '\\');
    // The fragment runs from the first '#' to the end (a '?' in it belongs to it); a query before
    // it is no part of the file name.
    std::string fragment;
    size_t hash = path.find('#');
    if (hash != std::string::npos) {
        fragment = path.substr(hash);
        path.resize(hash);
    }
    path.resize(std::min(path.size(), path.find('?')));
    size_t bhash = basePath.find('#');
    if (bhash != std::string::npos && GetFileAttributesA(basePath.c_str()) == INVALID_FILE_ATTRIBUTES)
        basePath.resize(bhash);
    if (path.empty())
        return basePath + fragment;
    std::string joined;
    if (path[0] == '\\') {
        // From the root of the page's drive or network share.
        joined = ExtractFileDrive(basePath) + path;
    } else {
        size_t slash = basePath.find_last_of("\\/");
        joined = (slash == std::string::npos ? std::string() : basePath.substr(0, slash + 1)) + path;
    }
    return FullPath(joined) + fragment;
}

// ---- Pages and pictures ----

struct View::Page {
    std::string url;     // the address as navigated
    std::string path;    // local file behind it, if any
    std::string fragment;
    std::string bytes;   // the source as loaded
    Document doc;
    std::unique_ptr<PageImages> images;
    Layout layout;
    bool generated = false; // an error or notice page of our own
};

// ---- View ----

View::View()
{
    ShowMessage = [this](const std::string& text, const std::string& caption) {
        MessageBoxA(hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr, text.c_str(), caption.c_str(),
                    MB_OK | MB_ICONINFORMATION);
    };
    ChooseSaveFile = [this](std::string& path) {
        // Wide, so that a name the code page cannot spell is saved to by the path that reaches
        // that very entry, or refused.
        static const wchar_t filter[] = L"Веб-страница (*.htm;*.html)\0*.htm;*.html\0Все файлы (*.*)\0*.*\0";
        wchar_t file[MAX_PATH] = {};
        lstrcpynW(file, AnsiToWide(path).c_str(), MAX_PATH);
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
        ofn.lpstrFilter = filter;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrDefExt = L"html";
        ofn.lpstrTitle = L"Сохранить веб-страницу";
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (!GetSaveFileNameW(&ofn))
            return false;
        const std::string reached = ChosenPath(file);
        if (reached.empty()) {
            ShowMessage(UnreachableChoiceText(file), "Сохранение");
            return false;
        }
        path = reached;
        return true;
    };
}

View::~View()
{
    Destroy();
}

void View::Destroy()
{
    if (findDialog_ && IsWindow(findDialog_))
        DestroyWindow(findDialog_);
    findDialog_ = nullptr;
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    if (measureDc_)
        DeleteDC(measureDc_);
    measureDc_ = nullptr;
}

HWND View::Create(HWND parent, int x, int y, int w, int h)
{
    RegisterClasses();
    static bool viewRegistered = false;
    if (!viewRegistered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kViewClass;
        RegisterClassExA(&wc);
        viewRegistered = true;
    }
    if (!measureDc_)
        measureDc_ = CreateCompatibleDC(nullptr);
    hwnd_ = CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN |
                                                  WS_TABSTOP,
                            x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), this);
    return hwnd_;
}

void View::Fire(const std::function<void()>& f)
{
    if (f)
        f();
}

std::string View::LocationName() const
{
    if (!page_)
        return "";
    if (!page_->doc.title.empty())
        return page_->doc.title;
    return FileNameOf(page_->path.empty() ? page_->url : page_->path);
}

std::string View::LocationURL() const { return page_ ? page_->url : std::string(); }

std::string View::SourceBytes() const { return page_ ? page_->bytes : std::string(); }

std::string View::SourceText() const
{
    return page_ ? ToCp1251(page_->bytes, page_->doc.charset) : std::string();
}

const Layout& View::PageLayout() const
{
    static const Layout empty;
    return page_ ? page_->layout : empty;
}

void View::Navigate(const std::string& url) { StartNavigation(url, NavKind::New, true); }

bool View::GoBack()
{
    if (!CanGoBack())
        return false;
    StartNavigation(history_[size_t(historyIndex_ - 1)], NavKind::Back, true);
    return true;
}

bool View::GoForward()
{
    if (!CanGoForward())
        return false;
    StartNavigation(history_[size_t(historyIndex_ + 1)], NavKind::Forward, true);
    return true;
}

void View::Refresh()
{
    if (page_)
        StartNavigation(page_->url, NavKind::Reload, false);
}

void View::Stop()
{
    if (!busy_)
        return;
    ++gen_; // the posted load of the stopped navigation is dropped when it arrives
    busy_ = false;
    if (Events.CommandStateChange)
        Events.CommandStateChange(CSC_UPDATECOMMANDS, false);
    if (Events.DownloadComplete)
        Events.DownloadComplete();
}

void View::StartNavigation(const std::string& urlIn, NavKind kind, bool fireBefore)
{
    std::string url = Trim(urlIn);
    if (url.empty())
        url = "about:blank";
    if (fireBefore && Events.BeforeNavigate2) {
        bool cancel = false;
        Events.BeforeNavigate2(url, cancel);
        if (cancel)
            return;
    }
    if (StartsWithNoCase(url, "mailto:")) {
        // Messages are written in the user's mail program; the page stays.
        ShellExecuteA(hwnd_, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    unsigned gen = ++gen_;
    pendingUrl_ = url;
    pendingKind_ = kind;
    busy_ = true;
    if (!hwnd_) {
        LoadPosted(gen); // no window to post to: finish at once
        return;
    }
    PostMessageA(hwnd_, WM_VIEW_LOAD, gen, 0);
}

std::unique_ptr<View::Page> View::MakePage(const std::string& url, const std::string& bytes)
{
    auto page = std::make_unique<Page>();
    page->url = url;
    page->bytes = bytes;
    page->doc = Parse(bytes);
    return page;
}

std::unique_ptr<View::Page> View::LoadLocal(const std::string& url)
{
    if (StartsWithNoCase(url, "about:")) {
        auto p = MakePage(url, "");
        return p;
    }
    std::string path = AddressToPath(url);
    if (path.empty()) {
        auto p = MakePage(url, ErrorPage(url, "Адрес такого вида здесь не открывается."));
        p->generated = true;
        return p;
    }
    std::string fragment;
    path = FullPath(path);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        size_t hash = path.find('#');
        if (hash != std::string::npos) {
            fragment = path.substr(hash + 1);
            path.resize(hash);
        }
    }
    std::string ext = ExtensionOf(path);
    if (ext == ".swf") {
        auto p = MakePage(url, NoticePage(FileNameOf(path),
                                          "<p>Флэш-ролики в этом окне не воспроизводятся.</p><p>Файл: <b>" +
                                              HtmlEscape(path) + "</b></p>"));
        p->generated = true;
        p->path = path;
        return p;
    }
    DWORD attrs = GetFileAttributesA(path.c_str());
    std::string bytes;
    DWORD error = 0;
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) ||
        !ReadWholeFile(path, bytes, error)) {
        std::string reason = (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
                                 ? "По этому адресу находится папка, а не страница."
                             : attrs == INVALID_FILE_ATTRIBUTES ? "Файл не найден."
                                                                : "Файл не удается прочитать.";
        auto p = MakePage(url, ErrorPage(path, reason));
        p->generated = true;
        return p;
    }
    std::unique_ptr<Page> p;
    if (ext == ".txt") {
        p = MakePage(url, "");
        p->doc = Parse("<pre>" + HtmlEscape(bytes) + "</pre>");
        p->bytes = bytes;
    } else if (ext == ".bmp" || ext == ".jpg" || ext == ".jpeg") {
        p = MakePage(url, "");
        p->doc = Parse("<img src=\"" + HtmlEscape(path) + "\" alt=\"" + HtmlEscape(FileNameOf(path)) + "\">");
        p->bytes = bytes;
    } else {
        p = MakePage(url, bytes);
    }
    p->path = path;
    p->fragment = fragment;
    return p;
}

void View::LoadPosted(unsigned gen)
{
    if (gen != gen_ || !busy_)
        return;
    // The loading starts: the status line names the address, progress begins, and the
    // update-commands state tells the host that stopping is possible while the page loads.
    Fire(Events.DownloadBegin);
    if (gen == gen_ && Events.StatusTextChange)
        Events.StatusTextChange("Загрузка страницы " + pendingUrl_);
    if (gen == gen_ && Events.ProgressChange)
        Events.ProgressChange(10, 100);
    if (gen == gen_ && Events.CommandStateChange)
        Events.CommandStateChange(CSC_UPDATECOMMANDS, true);
    if (gen != gen_)
        return;
    const std::string url = pendingUrl_;
    if (!hwnd_) {
        Finish(LoadPage(url));
        return;
    }
    // The page is read, parsed and its pictures decoded in a worker thread, so that the window
    // stays responsive while a large page loads; the window then lays it out and shows it.
    HWND target = hwnd_;
    std::thread([target, gen, url] {
        std::unique_ptr<Page> page = LoadPage(url);
        if (PostMessageA(target, WM_VIEW_LOADED, gen, reinterpret_cast<LPARAM>(page.get())))
            page.release(); // the window owns it now
    }).detach();
}

std::unique_ptr<View::Page> View::LoadPage(const std::string& url)
{
    std::unique_ptr<Page> page;
    try {
        if (IsWeb(url) && ExtensionOf(url) != ".swf") {
            FetchResult r = FetchWeb(url);
            page = MakePage(url, r.ok ? r.bytes : ErrorPage(url, r.error));
            page->generated = !r.ok;
        } else {
            page = LoadLocal(url);
        }
        page->images = std::make_unique<PageImages>(page->path.empty() ? page->url : page->path);
        page->images->ReadAll(page->doc);
    } catch (...) {
        page = MakePage(url, ErrorPage(url, "Ошибка загрузки страницы."));
        page->generated = true;
        page->images = std::make_unique<PageImages>(url);
    }
    return page;
}

void View::Finish(std::unique_ptr<Page> page)
{
    unsigned gen = gen_;
    NavKind kind = pendingKind_;
    if (Events.ProgressChange)
        Events.ProgressChange(50, 100);
    if (gen != gen_)
        return;
    int keepScroll = kind == NavKind::Reload ? scrollY_ : 0;
    page_ = std::move(page);
    selection_ = TextRange();
    hoverLink_ = pressedLink_ = focusLink_ = -1;
    switch (kind) {
    case NavKind::New:
        if (historyIndex_ + 1 < int(history_.size()))
            history_.resize(size_t(historyIndex_ + 1));
        history_.push_back(page_->url);
        historyIndex_ = int(history_.size()) - 1;
        break;
    case NavKind::Back:
        historyIndex_ = std::max(0, historyIndex_ - 1);
        break;
    case NavKind::Forward:
        historyIndex_ = std::min(int(history_.size()) - 1, historyIndex_ + 1);
        break;
    case NavKind::Reload:
        break;
    }
    scrollY_ = 0;
    Relayout();
    ScrollTo(keepScroll);
    if (!page_->fragment.empty()) {
        for (auto& a : page_->layout.anchors)
            if (a.first == page_->fragment) {
                ScrollTo(a.second);
                break;
            }
    }
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
    // As the system control does: the history commands and the finished progress come before
    // the completion, so the host's completion handler has the last word on its buttons.
    if (Events.CommandStateChange) {
        Events.CommandStateChange(CSC_NAVIGATEFORWARD, CanGoForward());
        Events.CommandStateChange(CSC_NAVIGATEBACK, CanGoBack());
    }
    if (Events.ProgressChange)
        Events.ProgressChange(100, 100);
    busy_ = false;
    std::string url = page_->url;
    if (kind != NavKind::Reload && Events.NavigateComplete2)
        Events.NavigateComplete2(url);
    if (Events.TitleChange)
        Events.TitleChange(LocationName());
    if (kind != NavKind::Reload && Events.DocumentComplete)
        Events.DocumentComplete(url);
    if (Events.CommandStateChange)
        Events.CommandStateChange(CSC_UPDATECOMMANDS, false);
    Fire(Events.DownloadComplete);
    if (Events.StatusTextChange)
        Events.StatusTextChange("Готово");
}

int View::ClientHeight() const
{
    RECT rc{};
    if (hwnd_)
        GetClientRect(hwnd_, &rc);
    return rc.bottom - rc.top;
}

void View::Relayout()
{
    if (!page_)
        return;
    RECT rc{0, 0, 600, 400};
    if (hwnd_)
        GetClientRect(hwnd_, &rc);
    if (!measureDc_)
        measureDc_ = CreateCompatibleDC(nullptr);
    int oldHeight = std::max(1, page_->layout.height);
    int oldScroll = scrollY_;
    page_->layout = LayOut(page_->doc, std::max<int>(rc.right - rc.left, 60), measureDc_, fonts_, page_->images.get());
    linkFirstRun_.assign(page_->layout.links.size(), -1);
    for (size_t i = 0; i < page_->layout.runs.size(); ++i) {
        const int link = page_->layout.runs[i].link;
        if (link >= 0 && size_t(link) < linkFirstRun_.size() && linkFirstRun_[size_t(link)] < 0)
            linkFirstRun_[size_t(link)] = int(i);
    }
    selection_ = TextRange(); // runs changed: an old selection would point elsewhere
    scrollY_ = int((long long)oldScroll * page_->layout.height / oldHeight);
    UpdateScrollBar();
}

void View::UpdateScrollBar()
{
    if (!hwnd_)
        return;
    int h = ClientHeight();
    int total = page_ ? page_->layout.height : 0;
    scrollY_ = std::clamp(scrollY_, 0, std::max(0, total - h));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = std::max(0, total - 1);
    si.nPage = UINT(std::max(0, h));
    si.nPos = scrollY_;
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void View::ScrollTo(int y)
{
    int total = page_ ? page_->layout.height : 0;
    int h = hwnd_ ? ClientHeight() : 0;
    int ny = std::clamp(y, 0, std::max(0, total - h));
    if (ny == scrollY_ && hwnd_) {
        UpdateScrollBar();
        return;
    }
    scrollY_ = ny;
    UpdateScrollBar();
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

void View::Paint(HDC dc, const RECT& client)
{
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (page_)
        PaintLayout(dc, page_->layout, client.left, client.top - scrollY_, client, fonts_, page_->images.get(),
                    selection_);
    if (!hwnd_ || GetFocus() != hwnd_)
        return;
    // The focus shows on the focused link, else round the whole page.
    std::vector<RECT> frames = LinkRects(focusLink_);
    for (RECT& r : frames)
        OffsetRect(&r, client.left, client.top - scrollY_);
    if (frames.empty()) {
        RECT r = client;
        InflateRect(&r, -1, -1);
        frames.push_back(r);
    }
    for (const RECT& r : frames)
        DrawFocusRect(dc, &r);
}

std::vector<RECT> View::LinkRects(int link) const
{
    std::vector<RECT> rects;
    if (!page_ || link < 0 || size_t(link) >= linkFirstRun_.size() || linkFirstRun_[size_t(link)] < 0)
        return rects;
    const std::vector<Run>& runs = page_->layout.runs;
    int line = -1;
    for (size_t i = size_t(linkFirstRun_[size_t(link)]); i < runs.size() && runs[i].link == link; ++i) {
        const Run& r = runs[i];
        const RECT rc{r.x - 1, r.y, r.x + r.w + 1, r.y + r.h};
        if (r.line == line && !rects.empty()) {
            RECT& last = rects.back();
            UnionRect(&last, &last, &rc);
        } else {
            rects.push_back(rc);
        }
        line = r.line;
    }
    return rects;
}

int View::NextLink(bool forward) const
{
    const int count = int(linkFirstRun_.size());
    int link = focusLink_ >= 0 ? focusLink_ : (forward ? -1 : count);
    for (link += forward ? 1 : -1; link >= 0 && link < count; link += forward ? 1 : -1)
        if (linkFirstRun_[size_t(link)] >= 0)
            return link;
    return -1;
}

void View::FocusLink(int link)
{
    focusLink_ = link;
    const std::vector<RECT> rects = LinkRects(link);
    if (!rects.empty() && hwnd_) {
        // The whole link comes into view, its start first when it is taller than the view.
        const int top = rects.front().top, bottom = rects.back().bottom, h = ClientHeight();
        if (bottom > scrollY_ + h)
            ScrollTo(bottom - h);
        if (top < scrollY_)
            ScrollTo(top);
    }
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

bool View::LinkPoint(int link, POINT& pt) const
{
    if (!page_)
        return false;
    for (const Run& r : page_->layout.runs)
        if (r.link == link) {
            pt.x = r.x + std::min(r.w / 2, 4);
            pt.y = r.y + r.h / 2 - scrollY_;
            return true;
        }
    return false;
}

void View::FollowLink(int link)
{
    if (!page_ || link < 0 || link >= int(page_->layout.links.size()))
        return;
    std::string href = Trim(page_->layout.links[size_t(link)]);
    if (href.empty() || StartsWithNoCase(href, "javascript:"))
        return;
    if (href[0] == '#') {
        std::string name = href.substr(1);
        for (auto& a : page_->layout.anchors)
            if (a.first == name) {
                ScrollTo(a.second);
                return;
            }
        if (name.empty())
            ScrollTo(0);
        return;
    }
    std::string base = page_->path.empty() ? page_->url : page_->path;
    Navigate(ResolveReference(base, href));
}

void View::SetHoverLink(int link)
{
    if (link == hoverLink_)
        return;
    hoverLink_ = link;
    if (!Events.StatusTextChange || !page_)
        return;
    std::string text;
    if (link >= 0 && link < int(page_->layout.links.size())) {
        std::string base = page_->path.empty() ? page_->url : page_->path;
        text = ResolveReference(base, page_->layout.links[size_t(link)]);
    }
    Events.StatusTextChange(text);
}

bool View::Find(const std::string& text)
{
    if (!page_ || text.empty())
        return false;
    TextRange from = findText_ == text ? selection_ : TextRange();
    findText_ = text;
    TextRange found = FindText(page_->layout, text, from);
    selection_ = found;
    if (found.Empty()) {
        if (hwnd_)
            InvalidateRect(hwnd_, nullptr, FALSE);
        return false;
    }
    int top = RangeTop(page_->layout, found);
    int h = ClientHeight();
    if (!hwnd_ || top < scrollY_ || top + 20 > scrollY_ + h)
        ScrollTo(top - std::max(0, h / 3));
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
    return true;
}

void View::ShowFindDialog()
{
    if (!hwnd_)
        return;
    if (findDialog_ && IsWindow(findDialog_)) {
        SetFocus(findDialog_);
        return;
    }
    findData_ = FINDREPLACEA{};
    findData_.lStructSize = sizeof findData_;
    findData_.hwndOwner = hwnd_;
    findData_.lpstrFindWhat = findBuffer_;
    findData_.wFindWhatLen = sizeof findBuffer_;
    findData_.Flags = FR_DOWN | FR_HIDEUPDOWN | FR_HIDEWHOLEWORD | FR_HIDEMATCHCASE;
    findDialog_ = FindTextA(&findData_);
    if (findDialog_)
        EnumChildWindows(findDialog_, SubclassFindControl, 0);
}

void View::OnFindMessage(LPARAM lp)
{
    auto* fr = reinterpret_cast<FINDREPLACEA*>(lp);
    if (fr->Flags & FR_DIALOGTERM) {
        findDialog_ = nullptr;
        return;
    }
    if (fr->Flags & FR_FINDNEXT) {
        if (!Find(fr->lpstrFindWhat))
            ShowMessage("Текст \"" + std::string(fr->lpstrFindWhat) + "\" не найден.", "Поиск");
    }
}

HWND View::ShowSource()
{
    if (!page_)
        return nullptr;
    RegisterClasses();
    std::string text;
    for (char c : SourceText()) {
        if (c == '\n' && (text.empty() || text.back() != '\r'))
            text += '\r';
        if (c == '\0')
            c = ' ';
        text += c;
    }
    HWND owner = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
    std::string caption = "Исходный код: " + page_->url;
    // Over the middle of the program's window, inside the screen's work area.
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT over = area;
    if (owner)
        GetWindowRect(owner, &over);
    const int w = std::min(700, static_cast<int>(area.right - area.left));
    const int h = std::min(500, static_cast<int>(area.bottom - area.top));
    const int x = std::clamp(static_cast<int>((over.left + over.right - w) / 2), static_cast<int>(area.left),
                             static_cast<int>(area.right - w));
    const int y = std::clamp(static_cast<int>((over.top + over.bottom - h) / 2), static_cast<int>(area.top),
                             static_cast<int>(area.bottom - h));
    HWND wnd = CreateWindowExA(0, kSourceClass, caption.c_str(), WS_OVERLAPPEDWINDOW, x, y, w, h, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!wnd)
        return nullptr;
    RECT rc{};
    GetClientRect(wnd, &rc);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                0, 0, rc.right, rc.bottom, wnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, FIXED_PITCH,
                             "Courier New");
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
    if (edit) {
        SendMessageA(edit, EM_LIMITTEXT, 0, 0);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowTextA(edit, text.c_str());
        SetPropA(edit, kEditProcProp,
                 reinterpret_cast<HANDLE>(SetWindowLongPtrA(edit, GWLP_WNDPROC,
                                                            reinterpret_cast<LONG_PTR>(SourceEditProc))));
    }
    ShowWindow(wnd, SW_SHOW);
    if (edit)
        SetFocus(edit);
    return wnd;
}

bool View::SaveTo(const std::string& path) const
{
    try {
        SafeWriteFileBytes(path, SourceBytes());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool View::SaveAs(bool prompt)
{
    if (!page_)
        return false;
    std::string name = FileNameOf(page_->path.empty() ? page_->url : page_->path);
    std::string ext = ExtensionOf(name);
    if (page_->generated || name.find_first_of(":/?*\"<>|") != std::string::npos || name.empty())
        name = "page.html";
    else if (ext.empty())
        name += ".html";
    std::string file = name;
    if (prompt && (!ChooseSaveFile || !ChooseSaveFile(file)))
        return false;
    try {
        SafeWriteFileBytes(file, SourceBytes());
    } catch (const Exception& e) {
        ShowMessage("Не удается сохранить страницу в файл \"" + file + "\": " + std::string(ErrorReasonText(e.ErrorCode)),
                    "Сохранение");
        return false;
    }
    return true;
}

bool View::PrinterInstalled()
{
    DWORD needed = 0, returned = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &returned);
    if (needed == 0)
        return false;
    std::vector<BYTE> buf(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buf.data(), needed, &needed,
                       &returned))
        return false;
    return returned > 0;
}

bool View::Print(bool prompt)
{
    if (!page_)
        return false;
    if (!PrinterInstalled()) {
        ShowMessage("Принтер не установлен. Чтобы напечатать страницу, установите принтер.", "Печать");
        return false;
    }
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | (prompt ? 0 : PD_RETURNDEFAULT);
    if (!PrintDlgA(&pd) || !pd.hDC) {
        if (pd.hDevMode)
            GlobalFree(pd.hDevMode);
        if (pd.hDevNames)
            GlobalFree(pd.hDevNames);
        return false;
    }
    HDC dc = pd.hDC;
    int pageW = GetDeviceCaps(dc, HORZRES), pageH = GetDeviceCaps(dc, VERTRES);
    const int logicalW = 700; // the page is laid out as on a screen this wide, then scaled
    bool ok = pageW > 0 && pageH > 0;
    if (ok) {
        Layout layout = LayOut(page_->doc, logicalW, measureDc_ ? measureDc_ : dc, fonts_, page_->images.get());
        int logicalH = int((long long)pageH * logicalW / pageW);
        std::string title = LocationName();
        DOCINFOA di{};
        di.cbSize = sizeof di;
        di.lpszDocName = title.c_str();
        ok = StartDocA(dc, &di) > 0;
        for (int top = 0; ok && top < std::max(1, layout.height); top += logicalH) {
            ok = StartPage(dc) > 0;
            if (!ok)
                break;
            SetMapMode(dc, MM_ISOTROPIC);
            SetWindowExtEx(dc, logicalW, logicalW, nullptr);
            SetViewportExtEx(dc, pageW, pageW, nullptr);
            RECT clip{0, 0, logicalW, logicalH};
            IntersectClipRect(dc, 0, 0, logicalW, logicalH);
            PaintLayout(dc, layout, 0, -top, clip, fonts_, page_->images.get(), TextRange());
            SelectClipRgn(dc, nullptr);
            ok = EndPage(dc) > 0;
        }
        if (ok)
            EndDoc(dc);
        else
            AbortDoc(dc);
    }
    DeleteDC(dc);
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    return ok;
}

LRESULT CALLBACK View::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    View* self = reinterpret_cast<View*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<View*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->hwnd_ = hwnd;
    }
    if (msg == WM_NCDESTROY) {
        // Pages loaded for this window and still queued are freed here.
        MSG m;
        while (PeekMessageA(&m, hwnd, WM_VIEW_LOADED, WM_VIEW_LOADED, PM_REMOVE))
            std::unique_ptr<Page> dropped(reinterpret_cast<Page*>(m.lParam));
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (self && self->hwnd_ == hwnd)
            self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        return self->Handle(msg, wp, lp);
    } catch (...) {
        // An event handler's failure must not unwind through the system's frames.
        return 0;
    }
}

LRESULT View::Handle(UINT msg, WPARAM wp, LPARAM lp)
{
    static const UINT findMsg = RegisterWindowMessageA(FINDMSGSTRINGA);
    if (msg == findMsg && findMsg != 0) {
        OnFindMessage(lp);
        return 0;
    }
    switch (msg) {
    case WM_VIEW_LOAD:
        LoadPosted(unsigned(wp));
        return 0;
    case WM_VIEW_LOADED: {
        std::unique_ptr<Page> page(reinterpret_cast<Page*>(lp));
        if (unsigned(wp) == gen_ && busy_)
            Finish(std::move(page));
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT rc;
        GetClientRect(hwnd_, &rc);
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(1, rc.right), std::max<LONG>(1, rc.bottom));
        if (mem && bmp) {
            HGDIOBJ old = SelectObject(mem, bmp);
            Paint(mem, rc);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
        } else {
            Paint(dc, rc);
        }
        if (bmp)
            DeleteObject(bmp);
        if (mem)
            DeleteDC(mem);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        Paint(reinterpret_cast<HDC>(wp), rc);
        return 0;
    }
    case WM_SIZE:
        if (page_ && page_->layout.width != LOWORD(lp))
            Relayout();
        else
            UpdateScrollBar();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_VSCROLL: {
        int h = ClientHeight();
        int y = scrollY_;
        switch (LOWORD(wp)) {
        case SB_LINEUP: y -= kLineStep; break;
        case SB_LINEDOWN: y += kLineStep; break;
        case SB_PAGEUP: y -= std::max(kLineStep, h - kLineStep); break;
        case SB_PAGEDOWN: y += std::max(kLineStep, h - kLineStep); break;
        case SB_TOP: y = 0; break;
        case SB_BOTTOM: y = INT_MAX / 2; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(hwnd_, SB_VERT, &si);
            y = si.nTrackPos;
            break;
        }
        default: break;
        }
        ScrollTo(y);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        int delta = GET_WHEEL_DELTA_WPARAM(wp);
        ScrollTo(scrollY_ - delta * 3 * 20 / WHEEL_DELTA);
        return 0;
    }
    case WM_GETDLGCODE: {
        // Tab stays in the page while there is a link to move to in its direction, and Enter
        // while a link is focused; otherwise they are the dialog's keys.
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (GetKeyState(VK_CONTROL) >= 0 && NextLink(GetKeyState(VK_SHIFT) >= 0) >= 0)
            code |= DLGC_WANTTAB;
        if (focusLink_ >= 0)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_SETFOCUS:
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case WM_KILLFOCUS:
        // The focus comes back to the page as a whole: Tab starts again from its first link.
        focusLink_ = -1;
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case WM_SYSKEYDOWN:
        // Alt+Left and Alt+Right go through the history; the system still sees the key, so that
        // releasing Alt then does not open the menu bar.
        if (wp == VK_LEFT)
            GoBack();
        else if (wp == VK_RIGHT)
            GoForward();
        break;
    case WM_KEYDOWN: {
        int h = ClientHeight();
        switch (wp) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                const int link = NextLink(GetKeyState(VK_SHIFT) >= 0);
                if (link >= 0)
                    FocusLink(link);
            }
            return 0;
        case VK_RETURN:
            if (focusLink_ >= 0)
                FollowLink(focusLink_);
            return 0;
        case VK_BACK: GoBack(); return 0;
        case VK_UP: ScrollTo(scrollY_ - kLineStep); return 0;
        case VK_DOWN: ScrollTo(scrollY_ + kLineStep); return 0;
        case VK_PRIOR: ScrollTo(scrollY_ - std::max(kLineStep, h - kLineStep)); return 0;
        case VK_NEXT: ScrollTo(scrollY_ + std::max(kLineStep, h - kLineStep)); return 0;
        case VK_HOME: ScrollTo(0); return 0;
        case VK_END: ScrollTo(INT_MAX / 2); return 0;
        default: break;
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd_);
        pressedLink_ = page_ ? HitLink(page_->layout, XOf(lp), YOf(lp) + scrollY_) : -1;
        return 0;
    case WM_LBUTTONUP: {
        int link = page_ ? HitLink(page_->layout, XOf(lp), YOf(lp) + scrollY_) : -1;
        int pressed = pressedLink_;
        pressedLink_ = -1;
        if (link >= 0 && link == pressed)
            FollowLink(link);
        return 0;
    }
    case WM_MOUSEMOVE:
        SetHoverLink(page_ ? HitLink(page_->layout, XOf(lp), YOf(lp) + scrollY_) : -1);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(hwnd_, &pt);
            bool onLink = page_ && HitLink(page_->layout, pt.x, pt.y + scrollY_) >= 0;
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(onLink ? IDC_HAND : IDC_ARROW)));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

} // namespace htmlview
