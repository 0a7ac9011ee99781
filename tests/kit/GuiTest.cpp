#include "GuiTest.h"

#include <commctrl.h>

#include "Graphics.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace testkit {

// --- Pumping ------------------------------------------------------------------------------

std::string ListViewText(HWND List, int Row, int Column)
{
    char buf[260] = {};
    LVITEMA item{};
    item.iSubItem = Column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

void PumpPending(unsigned limitMs)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // A quit belongs to the code under test's loop, not to the kit: put it back.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (GetTickCount() - start >= limitMs)
            return;
    }
}

bool PumpUntil(const std::function<bool()>& pred, unsigned timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending(timeoutMs - std::min<DWORD>(timeoutMs, GetTickCount() - start));
        if (pred())
            return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - spent), QS_ALLINPUT);
    }
}

void PumpFor(unsigned ms)
{
    PumpUntil([] { return false; }, ms);
}

namespace {
BOOL CALLBACK CollectWindow(HWND h, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

// What keeps the thread from rest, "" when nothing does: the queue's kinds of waiting messages,
// then the visible windows (top level and children) that still have an update region.
std::string Unrest()
{
    std::string out;
    const UINT waiting = HIWORD(GetQueueStatus(QS_ALLINPUT));
    static const struct {
        UINT bit;
        const char* name;
    } kinds[] = {{QS_SENDMESSAGE, "sent"}, {QS_POSTMESSAGE, "posted"}, {QS_INPUT, "input"},
                 {QS_TIMER, "timer due"},  {QS_HOTKEY, "hot key"},     {QS_PAINT, "paint"}};
    for (const auto& k : kinds)
        if (waiting & k.bit)
            out += std::string(out.empty() ? "queue: " : ", ") + k.name;
    std::vector<HWND> windows = ThreadWindows();
    for (size_t i = 0; i < windows.size(); ++i) {
        HWND h = windows[i];
        if (!IsWindowVisible(h))
            continue;
        for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            windows.push_back(c);
        RECT r;
        if (GetUpdateRect(h, &r, FALSE)) {
            char cls[64] = {}, text[64] = {};
            GetClassNameA(h, cls, sizeof cls);
            GetWindowTextA(h, text, sizeof text);
            out += std::string(out.empty() ? "" : "; ") + "update region in " + cls + " \"" + text + "\"";
        }
    }
    return out;
}
} // namespace

bool WaitIdle(unsigned timeoutMs)
{
    if (PumpUntil([] { return Unrest().empty(); }, timeoutMs))
        return true;
    ADD_FAILURE() << "timed out after " << timeoutMs << " ms waiting for the thread to rest; pending: " << Unrest();
    return false;
}

std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> out;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

// --- Fixture ------------------------------------------------------------------------------

namespace {
const char kKitClass[] = "VellornTestKitWindow";

void RegisterKitClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kKitClass;
    RegisterClassA(&wc);
    done = true;
}
} // namespace

void GuiTest::SetUp()
{
    // The real pointer rests where the previous test left it, possibly where this test's form will
    // show (a control under it turns hot): it starts at the screen's right edge, away from forms.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 4, GetSystemMetrics(SM_CYSCREEN) / 2);
    PumpPending();
    for (HWND h : ThreadWindows())
        before_.insert(h);
}

void GuiTest::TearDown()
{
    while (!cleanups_.empty()) {
        auto action = std::move(cleanups_.back());
        cleanups_.pop_back();
        action();
    }
    PumpPending();
    for (HWND h : ThreadWindows())
        if (!before_.count(h) && IsWindow(h))
            DestroyWindow(h);
    PumpPending();
    before_.clear();
}

bool GuiTest::WaitFor(const std::function<bool()>& pred, const std::string& what, unsigned timeoutMs)
{
    if (PumpUntil(pred, timeoutMs))
        return true;
    ADD_FAILURE() << "timed out after " << timeoutMs << " ms waiting for: " << what;
    return false;
}

HWND GuiTest::CreateTestWindow(const char* caption, DWORD style, HWND parent, RECT b)
{
    RegisterKitClass();
    if (parent)
        style |= WS_CHILD;
    HWND h = CreateWindowExA(0, kKitClass, caption, style, b.left, b.top, b.right - b.left, b.bottom - b.top, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(h, nullptr) << "CreateWindowEx failed: " << GetLastError();
    return h;
}

// --- Message names ------------------------------------------------------------------------

namespace {
struct NamedMsg {
    UINT id;
    const char* name;
};
#define M(x) {x, #x}
const NamedMsg kNames[] = {
    M(WM_NULL), M(WM_CREATE), M(WM_DESTROY), M(WM_MOVE), M(WM_SIZE), M(WM_ACTIVATE), M(WM_SETFOCUS),
    M(WM_KILLFOCUS), M(WM_ENABLE), M(WM_SETREDRAW), M(WM_SETTEXT), M(WM_GETTEXT), M(WM_GETTEXTLENGTH),
    M(WM_PAINT), M(WM_CLOSE), M(WM_QUIT), M(WM_ERASEBKGND), M(WM_SYSCOLORCHANGE), M(WM_SHOWWINDOW),
    M(WM_ACTIVATEAPP), M(WM_CANCELMODE), M(WM_SETCURSOR), M(WM_MOUSEACTIVATE), M(WM_CHILDACTIVATE),
    M(WM_GETMINMAXINFO), M(WM_DRAWITEM), M(WM_MEASUREITEM), M(WM_SETFONT), M(WM_GETFONT),
    M(WM_WINDOWPOSCHANGING), M(WM_WINDOWPOSCHANGED), M(WM_NOTIFY), M(WM_CONTEXTMENU), M(WM_STYLECHANGING),
    M(WM_STYLECHANGED), M(WM_GETICON), M(WM_SETICON), M(WM_NCCREATE), M(WM_NCDESTROY), M(WM_NCCALCSIZE),
    M(WM_NCHITTEST), M(WM_NCPAINT), M(WM_NCACTIVATE), M(WM_GETDLGCODE), M(WM_NCMOUSEMOVE),
    M(WM_NCLBUTTONDOWN), M(WM_NCLBUTTONUP), M(WM_NCLBUTTONDBLCLK), M(WM_NCRBUTTONDOWN), M(WM_NCRBUTTONUP),
    M(WM_KEYDOWN), M(WM_KEYUP), M(WM_CHAR), M(WM_SYSKEYDOWN), M(WM_SYSKEYUP), M(WM_SYSCHAR),
    M(WM_INITDIALOG), M(WM_COMMAND), M(WM_SYSCOMMAND), M(WM_TIMER), M(WM_HSCROLL), M(WM_VSCROLL),
    M(WM_INITMENU), M(WM_INITMENUPOPUP), M(WM_MENUSELECT), M(WM_ENTERIDLE), M(WM_CTLCOLOREDIT),
    M(WM_CTLCOLORLISTBOX), M(WM_CTLCOLORBTN), M(WM_CTLCOLORDLG), M(WM_CTLCOLORSCROLLBAR), M(WM_CTLCOLORSTATIC),
    M(WM_MOUSEMOVE), M(WM_LBUTTONDOWN), M(WM_LBUTTONUP), M(WM_LBUTTONDBLCLK), M(WM_RBUTTONDOWN),
    M(WM_RBUTTONUP), M(WM_RBUTTONDBLCLK), M(WM_MBUTTONDOWN), M(WM_MBUTTONUP), M(WM_MOUSEWHEEL),
    M(WM_PARENTNOTIFY), M(WM_ENTERMENULOOP), M(WM_EXITMENULOOP), M(WM_SIZING), M(WM_CAPTURECHANGED),
    M(WM_MOVING), M(WM_ENTERSIZEMOVE), M(WM_EXITSIZEMOVE), M(WM_MDICREATE), M(WM_MDIACTIVATE),
    M(WM_IME_SETCONTEXT), M(WM_IME_NOTIFY), M(WM_MOUSEHOVER), M(WM_MOUSELEAVE), M(WM_NCMOUSELEAVE),
    M(WM_PRINT), M(WM_PRINTCLIENT), M(WM_USER), M(WM_SETTINGCHANGE), M(WM_GETOBJECT), M(WM_SYNCPAINT),
    M(WM_UPDATEUISTATE), M(WM_CHANGEUISTATE), M(WM_QUERYUISTATE),
};
#undef M

const char* FindName(UINT id)
{
    for (const auto& n : kNames)
        if (n.id == id)
            return n.name;
    return nullptr;
}

std::string Hex(UINT v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}
} // namespace

std::string MessageName(UINT message)
{
    if (const char* n = FindName(message))
        return n;
    if (message >= 0xBC00 && message < 0xC000) { // reflected notifications
        const char* n = FindName(message - 0xBC00);
        return std::string("CN_BASE+") + (n ? n : Hex(message - 0xBC00));
    }
    if (message >= 0xB000 && message < 0xBC00) // component messages
        return "CM_BASE+" + std::to_string(message - 0xB000);
    if (message > WM_USER && message < 0x8000)
        return "WM_USER+" + Hex(message - WM_USER);
    return Hex(message);
}

// --- Recorder -----------------------------------------------------------------------------

MessageRecorder::MessageRecorder()
    : ignored_{WM_TIMER,     0x0118 /* WM_SYSTIMER */, WM_ENTERIDLE, WM_GETICON,        WM_GETOBJECT,
               WM_SETCURSOR, WM_NCHITTEST,             WM_MOUSEMOVE, WM_NCMOUSEMOVE,    WM_IME_SETCONTEXT,
               WM_IME_NOTIFY, 0x0060 /* undocumented */, WM_DEVICECHANGE, WM_QUERYUISTATE, WM_UPDATEUISTATE}
{
}

MessageRecorder::~MessageRecorder()
{
    for (HWND h : std::set<HWND>(watched_))
        Unwatch(h);
}

void MessageRecorder::Watch(HWND hwnd, unsigned extraFlags)
{
    if (SetWindowSubclass(hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this), extraFlags | msgSent))
        watched_.insert(hwnd);
    else
        ADD_FAILURE() << "cannot watch window " << hwnd;
}

void MessageRecorder::Unwatch(HWND hwnd)
{
    if (watched_.erase(hwnd) && IsWindow(hwnd))
        RemoveWindowSubclass(hwnd, SubclassProc, reinterpret_cast<UINT_PTR>(this));
}

void MessageRecorder::Add(const MsgRecord& rec)
{
    if (!(rec.flags & msgNote) && ignored_.count(rec.message))
        return;
    records_.push_back(rec);
}

LRESULT CALLBACK MessageRecorder::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref)
{
    auto* self = reinterpret_cast<MessageRecorder*>(id);
    self->Add(MsgRecord{msg, static_cast<unsigned>(ref), wp, lp, {}});
    if (msg == WM_NCDESTROY) {
        self->watched_.erase(hwnd);
        RemoveWindowSubclass(hwnd, SubclassProc, id);
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

namespace {
std::string Describe(const MsgRecord& r, bool expected)
{
    if (r.flags & msgNote)
        return "-- " + r.note + " --";
    std::string s = MessageName(r.message);
    if (r.flags & msgParent)
        s += " (parent)";
    if (!expected || (r.flags & msgWParam)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, " w=%lX", static_cast<unsigned long>(r.wParam));
        s += buf;
    }
    if (!expected || (r.flags & msgLParam)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, " l=%lX", static_cast<unsigned long>(r.lParam));
        s += buf;
    }
    if (expected && (r.flags & msgOptional))
        s += " [optional]";
    return s;
}

bool Same(const MsgRecord& e, const MsgRecord& a)
{
    if ((e.flags & msgNote) || (a.flags & msgNote))
        return (e.flags & msgNote) && (a.flags & msgNote) && e.note == a.note;
    if (e.message != a.message || (e.flags & msgParent) != (a.flags & msgParent))
        return false;
    if ((e.flags & msgWParam) && e.wParam != a.wParam)
        return false;
    if ((e.flags & msgLParam) && e.lParam != a.lParam)
        return false;
    return true;
}
} // namespace

std::string CompareSequences(const std::vector<MsgRecord>& expected, const std::vector<MsgRecord>& actual)
{
    // Walk both lists: equal entries advance both; a missing optional entry is skipped; anything
    // else is a difference. Differences are marked in a two-column listing.
    std::vector<std::string> lines;
    bool failed = false;
    size_t i = 0, j = 0;
    auto row = [&](const char* mark, const std::string& e, const std::string& a) {
        char buf[200];
        std::snprintf(buf, sizeof buf, "%s %-40s | %s", mark, e.c_str(), a.c_str());
        lines.push_back(buf);
    };
    while (i < expected.size() || j < actual.size()) {
        if (i < expected.size() && j < actual.size() && Same(expected[i], actual[j])) {
            row(" ", Describe(expected[i], true), Describe(actual[j], false));
            ++i, ++j;
        } else if (i < expected.size() && (expected[i].flags & msgOptional)) {
            row(" ", Describe(expected[i], true), "");
            ++i;
        } else if (i < expected.size() && j < actual.size()) {
            // Prefer the reading that realigns soonest: an extra actual message, or a missing
            // expected one.
            bool extraActual = false;
            for (size_t k = j + 1; k < actual.size(); ++k)
                if (Same(expected[i], actual[k])) {
                    extraActual = true;
                    break;
                }
            failed = true;
            if (extraActual) {
                row("+", "", Describe(actual[j], false));
                ++j;
            } else {
                row("-", Describe(expected[i], true), "");
                ++i;
            }
        } else if (i < expected.size()) {
            failed = true;
            row("-", Describe(expected[i], true), "");
            ++i;
        } else {
            failed = true;
            row("+", "", Describe(actual[j], false));
            ++j;
        }
    }
    if (!failed)
        return {};
    std::string out = "message sequence differs ('-' expected but missing, '+' received but not expected)\n";
    char head[200];
    std::snprintf(head, sizeof head, "  %-40s | %s\n", "expected", "received");
    out += head;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

::testing::AssertionResult MessageRecorder::Matches(const std::vector<MsgRecord>& expected, const std::string& context)
{
    std::string diff = CompareSequences(expected, records_);
    records_.clear();
    if (diff.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (context.empty() ? "" : context + ": ") << diff;
}

// --- Pixels -------------------------------------------------------------------------------

COLORREF PixelImage::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    std::uint32_t v = bgra_[size_t(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int PixelImage::CountColor(const RECT& r, COLORREF c) const
{
    int n = 0;
    for (int y = std::max(0, int(r.top)); y < std::min(height_, int(r.bottom)); ++y)
        for (int x = std::max(0, int(r.left)); x < std::min(width_, int(r.right)); ++x)
            if (Pixel(x, y) == c)
                ++n;
    return n;
}

namespace {
// A 32-bit top-down DIB section with a memory DC selected, freed on scope exit.
struct MemSurface {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
    int w, h;
    MemSurface(int width, int height) : w(width), h(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bmp)
            old = SelectObject(dc, bmp);
    }
    ~MemSurface()
    {
        if (old)
            SelectObject(dc, old);
        if (bmp)
            DeleteObject(bmp);
        if (dc)
            DeleteDC(dc);
    }
    MemSurface(const MemSurface&) = delete;
    MemSurface& operator=(const MemSurface&) = delete;
    PixelImage Take() const
    {
        GdiFlush();
        PixelImage img(w, h);
        if (bits)
            std::memcpy(img.Data(), bits, size_t(w) * h * 4);
        return img;
    }
};
} // namespace

PixelImage PrintWindowPixels(HWND hwnd, bool clientOnly)
{
    RECT r;
    if (clientOnly)
        GetClientRect(hwnd, &r);
    else
        GetWindowRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return {};
    MemSurface s(w, h);
    if (!s.bmp)
        return {};
    if (clientOnly) {
        // What WM_PRINT does for the client area: erase, then paint.
        SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc), 0);
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc), PRF_CLIENT | PRF_CHILDREN);
    } else
        SendMessageA(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(s.dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    return s.Take();
}

std::unique_ptr<TBitmap> PrintWindowBitmap(HWND hwnd, bool clientOnly)
{
    RECT r;
    if (clientOnly)
        GetClientRect(hwnd, &r);
    else
        GetWindowRect(hwnd, &r);
    auto bmp = std::make_unique<TBitmap>(std::max(0, int(r.right - r.left)), std::max(0, int(r.bottom - r.top)));
    if (bmp->Width() == 0 || bmp->Height() == 0)
        return bmp;
    HDC dc = bmp->Canvas()->Handle();
    if (clientOnly) {
        SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_CHILDREN);
    } else {
        SendMessageA(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    }
    GdiFlush();
    return bmp;
}

PixelImage ScreenPixels(HWND hwnd)
{
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (hwnd) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GetWindowRect(hwnd, &r);
    }
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return {};
    MemSurface s(w, h);
    if (!s.bmp)
        return {};
    HDC screen = GetDC(nullptr);
    BitBlt(s.dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return s.Take();
}

bool PixelImage::SaveBmp(const std::string& path) const
{
    if (Empty())
        return false;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    const DWORD bytes = DWORD(width_) * height_ * 4;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + bytes;
    ih.biSize = sizeof ih;
    ih.biWidth = width_;
    ih.biHeight = -height_;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    f.write(reinterpret_cast<const char*>(&ih), sizeof ih);
    f.write(reinterpret_cast<const char*>(bgra_.data()), bytes);
    return bool(f);
}

namespace {
std::uint32_t Crc32(const unsigned char* p, size_t n, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Be32(std::string& s, std::uint32_t v)
{
    s += char(v >> 24), s += char(v >> 16), s += char(v >> 8), s += char(v);
}

void Chunk(std::string& out, const char* type, const std::string& data)
{
    Be32(out, std::uint32_t(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Be32(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}
} // namespace

bool PixelImage::SavePng(const std::string& path) const
{
    if (Empty())
        return false;
    // Raw RGB rows with filter byte 0, wrapped in stored (uncompressed) deflate blocks.
    std::string raw;
    raw.reserve(size_t(height_) * (width_ * 3 + 1));
    for (int y = 0; y < height_; ++y) {
        raw += '\0';
        for (int x = 0; x < width_; ++x) {
            std::uint32_t v = bgra_[size_t(y) * width_ + x];
            raw += char(v >> 16), raw += char(v >> 8), raw += char(v);
        }
    }
    std::string z = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + n >= raw.size();
        z += char(last ? 1 : 0);
        z += char(n & 0xFF), z += char(n >> 8), z += char(~n & 0xFF), z += char((~n >> 8) & 0xFF);
        z.append(raw, pos, n);
        pos += n;
        if (last)
            break;
    }
    Be32(z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Be32(ihdr, std::uint32_t(width_));
    Be32(ihdr, std::uint32_t(height_));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    std::ofstream f(path, std::ios::binary);
    f.write(png.data(), std::streamsize(png.size()));
    return bool(f);
}

bool SaveScreenshot(const std::string& name, HWND hwnd)
{
    // A bare or relative name goes beside the test program, never into the current folder (which
    // may be the source tree).
    const bool absolute = (name.size() > 1 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
    const std::string path = absolute ? name : OutputDir() + name;
    PixelImage img = ScreenPixels(hwnd);
    const bool png = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".png") == 0 ||
                                          path.compare(path.size() - 4, 4, ".PNG") == 0);
    return png ? img.SavePng(path) : img.SaveBmp(path);
}

} // namespace testkit
