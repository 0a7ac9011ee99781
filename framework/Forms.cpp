#include "Forms.h"

#include <ole2.h>

#include <algorithm>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// --- Task windows -------------------------------------------------------------------------

namespace {
struct TaskWindowsState {
    HWND except;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOne(HWND h, LPARAM lp)
{
    auto* st = reinterpret_cast<TaskWindowsState*>(lp);
    if (h != st->except && IsWindowVisible(h) && IsWindowEnabled(h)) {
        st->disabled.push_back(h);
        EnableWindow(h, FALSE);
    }
    return TRUE;
}
} // namespace

std::vector<HWND> DisableTaskWindows(HWND Except)
{
    TaskWindowsState st{Except, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&st));
    return std::move(st.disabled);
}

void EnableTaskWindows(const std::vector<HWND>& Windows)
{
    for (HWND h : Windows)
        if (IsWindow(h))
            EnableWindow(h, TRUE);
}

// --- Application --------------------------------------------------------------------------

namespace {
const char kAppClass[] = "TApplication";

AnsiString ModuleFileName()
{
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return AnsiString(buf, n);
}
} // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    MessageBoxFunc = [](HWND owner, const AnsiString& text, const AnsiString& caption, UINT flags) {
        return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    };
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, kAppClass, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = AppWndProc;
        wc.hInstance = inst;
        wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        wc.lpszClassName = kAppClass;
        RegisterClassA(&wc);
    }
    // The program's name without folder and extension is the first title.
    AnsiString title = ModuleFileName();
    title = title.substr(title.find_last_of("\\/:") + 1);
    if (auto dot = title.rfind('.'); dot != AnsiString::npos)
        title.resize(dot);
    FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kAppClass, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              inst, nullptr);
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TApplication::~TApplication()
{
    // The forms it owns go first, while the window and OLE still exist.
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
    if (FHandle) {
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
    if (FOleInitialized)
        OleUninitialize();
}

LRESULT CALLBACK TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_CLOSE) {
        self->Terminate();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void TApplication::Initialize()
{
    if (!FOleInitialized)
        FOleInitialized = SUCCEEDED(OleInitialize(nullptr));
}

AnsiString TApplication::Title() const
{
    char buf[512];
    int n = GetWindowTextA(FHandle, buf, sizeof buf);
    return AnsiString(buf, n > 0 ? n : 0);
}

void TApplication::SetTitle(const AnsiString& Value)
{
    SetWindowTextA(FHandle, Value.c_str());
}

AnsiString TApplication::ExeName() const { return ModuleFileName(); }

void TApplication::SetShowHint(bool Value) { FShowHint = Value; }

void TApplication::SetHint(const AnsiString& Value)
{
    FHint = Value;
    if (OnHint)
        OnHint(this);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminate = true;
        return true;
    }
    bool handled = false;
    if (OnMessage)
        OnMessage(Msg, handled);
    if (!handled) {
        HintMouseMessage(Msg);
        if (!IsKeyMsg(Msg)) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
    }
    return true;
}

bool TApplication::IsKeyMsg(MSG&) { return false; }

void TApplication::HintMouseMessage(const MSG&) {}

void TApplication::Idle(const MSG&)
{
    bool done = true;
    if (OnIdle) {
        try {
            OnIdle(this, done);
        } catch (...) {
            HandleException(this);
        }
    }
    if (done && !FTerminate)
        WaitMessage();
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg))
        Idle(msg);
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
        if (msg.message == WM_QUIT)
            break;
    }
}

void TApplication::Run()
{
    if (!FMainForm)
        return;
    FRunning = true;
    ShowMainFormAtRun();
    do {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    } while (!FTerminate);
    FRunning = false;
}

void TApplication::Terminate()
{
    PostQuitMessage(0);
}

void TApplication::ReportException(TObject* Sender, Exception& E) noexcept
{
    // An exception raised while one is being reported is shown, never reported again.
    try {
        if (OnException && !FHandlingException) {
            FHandlingException = true;
            OnException(Sender, &E);
            FHandlingException = false;
        } else {
            ShowException(&E);
        }
    } catch (...) {
        FHandlingException = false;
    }
}

void TApplication::HandleException(TObject* Sender) noexcept
{
    if (HWND capture = GetCapture())
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
    std::exception_ptr p = std::current_exception();
    if (!p)
        return;
    try {
        std::rethrow_exception(p);
    } catch (EAbort&) {
    } catch (Exception& e) {
        ReportException(Sender, e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        ReportException(Sender, wrapped);
    } catch (...) {
        Exception wrapped("");
        ReportException(Sender, wrapped);
    }
}

void TApplication::ShowException(Exception* E)
{
    AnsiString msg = E ? E->Message : AnsiString();
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.')
        msg += '.';
    MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    HWND active = GetActiveWindow();
    HWND owner = active ? active : FHandle;
    std::vector<HWND> disabled = DisableTaskWindows(owner);
    int result = 0;
    ++FModalLevel;
    try {
        result = MessageBoxFunc ? MessageBoxFunc(owner, Text, Caption, Flags) : IDOK;
    } catch (...) {
        --FModalLevel;
        EnableTaskWindows(disabled);
        throw;
    }
    --FModalLevel;
    EnableTaskWindows(disabled);
    if (active && IsWindow(active))
        SetActiveWindow(active);
    return result;
}

HWND TApplication::MainFormHandle() const
{
    return nullptr;
}

void TApplication::ShowMainFormAtRun() {}

void TApplication::Minimize()
{
    if (FMinimized)
        return;
    FMinimized = true;
    if (HWND main = MainFormHandle())
        ShowWindow(main, SW_MINIMIZE);
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore()
{
    if (!FMinimized)
        return;
    FMinimized = false;
    if (HWND main = MainFormHandle())
        ShowWindow(main, SW_RESTORE);
    if (OnRestore)
        OnRestore(this);
}

// --- Screen -------------------------------------------------------------------------------

namespace {
BOOL CALLBACK CollectMonitor(HMONITOR h, HDC, LPRECT, LPARAM lp)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(h, &mi)) {
        TMonitorInfo info;
        info.Handle = h;
        info.BoundsRect = mi.rcMonitor;
        info.WorkareaRect = mi.rcWork;
        info.Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
        reinterpret_cast<std::vector<TMonitorInfo>*>(lp)->push_back(info);
    }
    return TRUE;
}

std::vector<TMonitorInfo> SystemMonitors()
{
    std::vector<TMonitorInfo> out;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&out));
    if (out.empty()) {
        TMonitorInfo info;
        info.BoundsRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.WorkareaRect, 0);
        info.Primary = true;
        out.push_back(info);
    }
    return out;
}

long long Overlap(const RECT& a, const RECT& b)
{
    long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return (w > 0 && h > 0) ? w * h : 0;
}

long long DistanceSq(const RECT& r, POINT p)
{
    long long dx = p.x < r.left ? r.left - p.x : (p.x >= r.right ? p.x - r.right + 1 : 0);
    long long dy = p.y < r.top ? r.top - p.y : (p.y >= r.bottom ? p.y - r.bottom + 1 : 0);
    return dx * dx + dy * dy;
}
} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FMenuFont(std::make_unique<TFont>())
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        if (HFONT f = CreateFontIndirectA(&ncm.lfMenuFont))
            FMenuFont->SetHandle(f);
}

TScreen::~TScreen()
{
    if (Screen == this)
        Screen = nullptr;
}

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[size_t(Index)];
}

void TScreen::AddForm(TCustomForm* Form)
{
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end())
        FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) {
        FActiveForm = nullptr;
        FActiveControl = nullptr;
    }
}

void TScreen::SetActive(TCustomForm* Form, TWinControl* Control)
{
    FActiveForm = Form;
    FActiveControl = Control;
}

void TScreen::RefreshMonitors() const
{
    std::vector<TMonitorInfo> list = FMonitorSource ? FMonitorSource() : SystemMonitors();
    FMonitors.clear();
    for (size_t i = 0; i < list.size(); ++i)
        FMonitors.push_back(std::make_unique<TMonitor>(list[i], int(i)));
}

void TScreen::SetMonitorSource(TMonitorSource Source)
{
    FMonitorSource = std::move(Source);
    RefreshMonitors();
}

int TScreen::MonitorCount() const
{
    RefreshMonitors();
    return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) const
{
    if (FMonitors.empty())
        RefreshMonitors();
    if (Index < 0 || Index >= int(FMonitors.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FMonitors[size_t(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() const
{
    RefreshMonitors();
    for (auto& m : FMonitors)
        if (m->Primary())
            return m.get();
    return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

int TScreen::Width() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->Width() : GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->Height() : GetSystemMetrics(SM_CYSCREEN);
}

RECT TScreen::WorkAreaRect() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->WorkareaRect() : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT TScreen::DesktopRect() const
{
    RefreshMonitors();
    RECT r{0, 0, 0, 0};
    bool first = true;
    for (auto& m : FMonitors) {
        RECT b = m->BoundsRect();
        if (first)
            r = b, first = false;
        else
            UnionRect(&r, &r, &b);
    }
    return r;
}

TMonitor* TScreen::MonitorFromPoint(POINT P, TMonitorDefaultTo Default) const
{
    RefreshMonitors();
    TMonitor* nearest = nullptr;
    long long best = -1;
    for (auto& m : FMonitors) {
        RECT b = m->BoundsRect();
        if (PtInRect(&b, P))
            return m.get();
        long long d = DistanceSq(b, P);
        if (best < 0 || d < best)
            best = d, nearest = m.get();
    }
    if (Default == mdNull)
        return nullptr;
    if (Default == mdPrimary)
        return PrimaryMonitor();
    return nearest;
}

TMonitor* TScreen::MonitorFromRect(const RECT& R, TMonitorDefaultTo Default) const
{
    RefreshMonitors();
    TMonitor* best = nullptr;
    long long bestArea = 0;
    for (auto& m : FMonitors) {
        long long a = Overlap(m->BoundsRect(), R);
        if (a > bestArea)
            bestArea = a, best = m.get();
    }
    if (best)
        return best;
    POINT centre{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    return MonitorFromPoint(centre, Default);
}

TMonitor* TScreen::MonitorFromWindow(HWND Wnd, TMonitorDefaultTo Default) const
{
    RECT r{};
    if (!Wnd || !GetWindowRect(Wnd, &r))
        return Default == mdNull ? nullptr : PrimaryMonitor();
    return MonitorFromRect(r, Default);
}

// --- Unit initialisation ------------------------------------------------------------------

namespace {
// The screen and the application exist from start-up to the end of the program; the forms the
// application owns are freed with it.
struct FormsUnit {
    FormsUnit()
    {
        Screen = Create<TScreen>(nullptr);
        Application = Create<TApplication>(nullptr);
    }
    ~FormsUnit()
    {
        if (Application)
            Application->Free();
        if (Screen)
            Screen->Free();
    }
} formsUnit;
} // namespace
