// The Forms unit's application object and forms (declared in Forms.h). The screen is in
// FormsScreen.cpp, hints in FormsHints.cpp, scrolling controls and frames in FormsScrolling.cpp.
#include "Forms.h"
#include "ActnList.h"
#include "Graphics.h"

#include "Menus.h"

#include "Dialogs.h"

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
    // Through the replaceable prompt service, so that tests can script the answers.
    MessageBoxFunc = [](HWND, const AnsiString& text, const AnsiString& caption, UINT flags) {
        return PromptService().MessageBox(text, caption, flags);
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
    FIcon = std::make_unique<TIcon>();
    // A copy: the icon object owns what it holds, and resource icons are shared.
    HICON icon = LoadIconA(inst, "MAINICON");
    icon = CopyIcon(icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
    FIcon->SetHandle(icon);
    FIcon->OnChange = [this](TObject*) { IconChanged(); };
    IconChanged();
}

void TApplication::IconChanged()
{
    SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
    if (Screen)
        for (int i = 0; i < Screen->FormCount(); ++i)
            Screen->Forms(i)->Perform(CM_ICONCHANGED);
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
    if (self && msg == WM_SETTINGCHANGE && self->UpdateFormatSettings)
        GetFormatSettings();
    if (self && !self->FWindowHooks.empty()) {
        TMessage message = MakeMessage(msg, wp, lp);
        try {
            // A copy: a hook may unhook itself or others.
            for (const TWindowHook& hook : std::vector<TWindowHook>(self->FWindowHooks))
                if (hook(message))
                    return message.Result;
        } catch (...) {
            self->HandleException(self);
            return 0;
        }
    }
    if (self && msg == WM_CLOSE) {
        // Closing the application's window closes the main window, through its own close.
        if (TCustomForm* main = self->MainForm())
            main->Close();
        else
            self->Terminate();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void TApplication::HookMainWindow(TWindowHook Hook)
{
    if (Hook && std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end())
        FWindowHooks.push_back(std::move(Hook));
}

void TApplication::UnhookMainWindow(TWindowHook Hook)
{
    auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
    if (it != FWindowHooks.end())
        FWindowHooks.erase(it);
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

void TApplication::SetShowHint(bool Value)
{
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    if (!Value) {
        CancelHint();
        // Switching hints off drops the window, so that switching them on again uses the
        // current hint window class.
        if (THintWindow* w = FHintWindow) {
            FHintWindow = nullptr;
            if (w->Owner() != this)
                RemoveFreeNotification(w);
            w->Free();
        }
    }
}

void TApplication::SetHint(const AnsiString& Value)
{
    FHint = Value;
    if (OnHint)
        OnHint(this);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FHintControl) {
        FHintControl = nullptr;
        StopHintTimer();
        if (FHintWindow)
            FHintWindow->ReleaseHandle();
    }
    if (Operation == opRemove && AComponent && AComponent == FHintWindow)
        FHintWindow = nullptr;
    if (Operation == opRemove && AComponent && AComponent == FMainFormComponent) {
        FMainForm = nullptr;
        FMainFormComponent = nullptr;
    }
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
        HintQueueMessage(Msg);
        HWND mdiClient = FMainForm ? FMainForm->ClientHandle() : nullptr;
        if (!IsKeyMsg(Msg) && !(mdiClient && TranslateMDISysAccel(mdiClient, &Msg))) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
    }
    return true;
}


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
    try {
        UpdateActionsOfForms();
    } catch (...) {
        HandleException(this);
    }
    // Bitmap canvases give their memory contexts back while the program waits, so that caches
    // of many controls stay within the GDI handle budget.
    FreeMemoryContexts();
    // Control canvases let go of the window contexts they kept, so that a windowless control
    // that has moved draws at its new place next time.
    FreeDeviceContexts();
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
    } catch (std::bad_alloc&) {
        EOutOfMemory wrapped("Out of memory", "", ERROR_NOT_ENOUGH_MEMORY);
        ReportException(Sender, wrapped);
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

bool TApplication::HelpContext(int Context, const AnsiString& File)
{
    bool callHelp = true;
    bool shown = OnHelp ? OnHelp(HELP_CONTEXT, Context, callHelp) : false;
    const AnsiString& file = File.empty() ? HelpFile : File;
    if (callHelp && !file.empty() && Context != 0) {
        HWND owner = GetActiveWindow();
        shown = WinHelpA(owner ? owner : FHandle, file.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(Context)) != 0;
    }
    return shown;
}

bool TApplication::HelpAvailable(int Context, const AnsiString& File) const
{
    return Context != 0 && (OnHelp || !File.empty() || !HelpFile.empty());
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    HWND active = GetActiveWindow();
    // A hidden window does not own the box: one going away (a splash that has just closed and
    // frees itself) would take the box with it before the user saw it.
    HWND owner = active && IsWindowVisible(active) ? active : FHandle;
    // The window that has the keys has them again after the box: activated again, a form gives
    // the focus to the control it last recorded, which is not always the one that had it.
    HWND focus = GetFocus();
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
    // The focus goes back to the control that had it; where that one has gone meanwhile (or the
    // form's bare window had it), to the form's active control, so that keys act at once.
    if (active && GetActiveWindow() == active) {
        const HWND now = GetFocus();
        if (focus && focus != active && IsChild(active, focus) && IsWindowVisible(focus) && IsWindowEnabled(focus)) {
            if (focus != now)
                ::SetFocus(focus);
        } else if (!now || now == active) {
            if (auto* form = dynamic_cast<TCustomForm*>(FindControl(active)); form && form->CanFocus())
                form->SetFocus();
        }
    }
    return result;
}



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

// --- Unit initialisation ------------------------------------------------------------------

namespace {
// The screen and the application exist from start-up to the end of the program; the forms the
// application owns are freed with it.
struct FormsUnit {
    FormsUnit()
    {
        Screen = Create<TScreen>(nullptr);
        Application = Create<TApplication>(nullptr);
        HandleExceptionHook = [](TObject* Sender) {
            if (Application)
                Application->HandleException(Sender);
        };
        HintMouseMessageHook = [](TControl* Control, TMessage& Message) {
            if (Application)
                Application->HintMouseMessage(Control, Message);
        };
        CursorHandleHook = [](TCursor Cursor) -> HCURSOR { return Screen ? Screen->Cursors(Cursor) : nullptr; };
        ScreenCursorHook = []() -> TCursor { return Screen ? Screen->Cursor() : crDefault; };
    }
    ~FormsUnit()
    {
        HintMouseMessageHook = nullptr;
        CursorHandleHook = nullptr;
        ScreenCursorHook = nullptr;
        if (Application)
            Application->Free();
        if (Screen)
            Screen->Free();
    }
} formsUnit;
} // namespace


void TApplication::SetMainForm(TCustomForm* Form)
{
    if (FMainFormComponent)
        RemoveFreeNotification(FMainFormComponent);
    FMainForm = Form;
    FMainFormComponent = Form;
    if (Form && Form->Owner() != this)
        FreeNotification(Form);
}

HWND TApplication::MainFormHandle() const
{
    return FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
}

void TApplication::ShowMainFormAtRun()
{
    if (ShowMainForm && FMainForm)
        FMainForm->SetVisible(true);
}

bool TApplication::IsKeyMsg(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    if (Msg.message == WM_SYSKEYDOWN && (HIWORD(Msg.lParam) & KF_ALTDOWN)) {
        // Alt released arms the menu bar only when no other key went down meanwhile; the system's
        // default handling learns of each such key, which a control that acts on it itself (a
        // combo box's Alt+Down) never passes on.
        switch (Msg.wParam) {
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
        case VK_F4: break;
        default: DefWindowProcA(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
        }
    }
    HWND wnd = GetCapture();
    if (!wnd) {
        // The nearest framework control: windows of other classes inside it do not know the
        // reflected messages.
        wnd = Msg.hwnd;
        while (wnd && !FindControl(wnd))
            wnd = GetParent(wnd);
        if (!wnd)
            wnd = Msg.hwnd;
    } else if (!FindControl(wnd)) {
        return false;
    }
    return SendMessageA(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

// --- Forms --------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()), FIcon(std::make_unique<TIcon>())
{
    FCanvas->Control = this;
    FIcon->OnChange = [this](TObject*) { Perform(CM_ICONCHANGED); };
    FFormState << fsCreating;
    FVisible = false;
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    // A form paints itself (OnPaint), also into the device context of WM_PRINTCLIENT.
    SetControlState(ControlState() + TControlState{csCustomPaint});
    SetBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    // The components the derived constructor creates are loading until AfterConstruction.
    BeginLoading(this);
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    if (Screen)
        Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction()
{
    inherited::AfterConstruction();
    LoadedAll(this);
    FFormState >> fsCreating;
    DoCreate();
    if (FFormState.Contains(fsVisible))
        SetVisible(true);
}

void TCustomForm::BeforeDestruction()
{
    MergeMenu(false);
    if (Screen)
        Screen->RemoveForm(this);
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
    inherited::BeforeDestruction();
}

void TCustomForm::DoCreate()
{
    // An error here is reported and the form goes on as built so far.
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
}

void TCustomForm::ComputeStyle(DWORD& Style, DWORD& ExStyle) const
{
    Style &= ~(WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX |
               WS_MAXIMIZEBOX);
    ExStyle &= ~(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP | WS_EX_TOPMOST);
    TFormBorderStyle bs = FBorderStyle;
    if (FFormStyle == fsMDIChild && (bs == bsNone || bs == bsDialog))
        bs = bsSizeable;
    switch (bs) {
    case bsNone:
        if (FFormStyle != fsMDIChild)
            Style |= WS_POPUP;
        break;
    case bsSingle:
    case bsToolWindow: Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Style |= WS_POPUP | WS_CAPTION;
        ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    }
    if (bs == bsToolWindow || bs == bsSizeToolWin)
        ExStyle |= WS_EX_TOOLWINDOW;
    if (bs != bsNone) {
        if (FBorderIcons.Contains(biSystemMenu)) {
            Style |= WS_SYSMENU;
            if (bs != bsDialog && bs != bsToolWindow && bs != bsSizeToolWin) {
                if (FBorderIcons.Contains(biMinimize))
                    Style |= WS_MINIMIZEBOX;
                if (FBorderIcons.Contains(biMaximize))
                    Style |= WS_MAXIMIZEBOX;
            }
            if (FBorderIcons.Contains(biHelp) &&
                (bs == bsDialog || !(FBorderIcons.Contains(biMinimize) || FBorderIcons.Contains(biMaximize))))
                ExStyle |= WS_EX_CONTEXTHELP;
        }
    }
    if (FFormStyle == fsStayOnTop)
        ExStyle |= WS_EX_TOPMOST;
    if (FParent || FFormStyle == fsMDIChild) // a form placed on another window is a child window
        Style = (Style & ~WS_POPUP) | WS_CHILD;
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    DWORD style = Params.Style & ~(WS_CHILD | WS_POPUP | WS_GROUP | WS_TABSTOP | WS_VISIBLE);
    DWORD ex = Params.ExStyle;
    ComputeStyle(style, ex);
    Params.Style = style | WS_CLIPCHILDREN;
    Params.ExStyle = ex;
    if (FFormStyle == fsMDIChild) {
        TCustomForm* frame = Application ? Application->MainForm() : nullptr;
        if (!frame || frame == this || !frame->ClientHandle())
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = frame->ClientHandle();
    } else if (!Parent()) {
        // Forms other than the main form are owned by it, so they stay above it and follow it
        // when it is minimised.
        HWND owner = nullptr;
        if (Application && Application->MainForm() && Application->MainForm() != this &&
            Application->MainForm()->HandleAllocated())
            owner = Application->MainForm()->Handle();
        Params.WndParent = owner;
        if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
            Params.X = CW_USEDEFAULT;
            Params.Y = CW_USEDEFAULT;
        }
        if (FPosition == poDefault || FPosition == poDefaultSizeOnly) {
            Params.Width = CW_USEDEFAULT;
            Params.Height = CW_USEDEFAULT;
        }
    }
    Params.WindowClass.style |= CS_DBLCLKS;
}

void TCustomForm::CreateWnd()
{
    inherited::CreateWnd();
    if (FFormStyle == fsMDIForm && !FClientHandle) {
        CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
        RECT r;
        ::GetClientRect(Handle(), &r);
        FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL |
                                            WS_HSCROLL,
                                        0, 0, r.right, r.bottom, Handle(), nullptr, GetModuleHandleA(nullptr), &ccs);
        if (!FClientHandle)
            throw EOSError("Cannot create the MDI client window");
    }
    if (FMenu && FFormStyle != fsMDIChild) { // an MDI child's menu is merged into the frame's
        ::SetMenu(Handle(), FMenu->Handle());
        FMenu->SetWindowHandle(Handle());
    }
    // The MDI client takes the room the menu bar leaves.
    if (FClientHandle)
        Realign();
    ApplyIcon();
}

TRect TCustomForm::ClientRect()
{
    TRect r = inherited::ClientRect();
    // Controls laid out before the window exists keep their distance from the bottom edge.
    if (!HandleAllocated() && FMenu && FFormStyle != fsMDIChild && !Parent())
        r.bottom = std::max(0L, r.bottom - GetSystemMetrics(SM_CYMENU));
    return r;
}

void TCustomForm::ApplyIcon()
{
    if (!HandleAllocated() || Parent())
        return;
    HICON icon = FIcon->HandleAllocated() ? FIcon->Handle()
                 : Application && Application->Icon()->HandleAllocated() ? Application->Icon()->Handle()
                                                                           : nullptr;
    if (icon)
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::DestroyWnd()
{
    FClientHandle = nullptr; // a child of the form's window: it goes with it
    inherited::DestroyWnd();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect)
{
    inherited::AlignControls(AControl, Rect);
    // The MDI client takes the room the aligned controls leave.
    if (FClientHandle)
        SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                     SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& Message)
{
    if (HandleAllocated() && Message.Msg < WM_USER) {
        if (FClientHandle && Message.Msg != WM_SIZE) {
            Message.Result = DefFrameProcA(Handle(), FClientHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (FFormStyle == fsMDIChild) {
            Message.Result = DefMDIChildProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    inherited::DefaultHandler(Message);
}

std::vector<TCustomForm*> TCustomForm::MDIChildList() const
{
    std::vector<TCustomForm*> out;
    if (!FClientHandle || !Screen)
        return out;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->FFormStyle == fsMDIChild && f->HandleAllocated() && ::GetParent(f->FHandle) == FClientHandle)
            out.push_back(f);
    }
    return out;
}

int TCustomForm::MDIChildCount() const { return static_cast<int>(MDIChildList().size()); }

TCustomForm* TCustomForm::MDIChildren(int Index) const
{
    auto list = MDIChildList();
    if (Index < 0 || Index >= int(list.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return list[size_t(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild() const
{
    if (!FClientHandle)
        return nullptr;
    HWND active = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    TWinControl* c = FindControl(active);
    return c ? c->AsForm() : nullptr;
}

void TCustomForm::ApplyStyle()
{
    if (!HandleAllocated())
        return;
    DWORD style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE));
    const bool topmostBefore = (ex & WS_EX_TOPMOST) != 0;
    const DWORD oldStyle = style, oldEx = ex & ~WS_EX_TOPMOST;
    ComputeStyle(style, ex);
    if (style != oldStyle)
        SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(style));
    if ((ex & ~WS_EX_TOPMOST) != oldEx)
        SetWindowLongA(Handle(), GWL_EXSTYLE, static_cast<LONG>(ex & ~WS_EX_TOPMOST));
    const bool topmost = (ex & WS_EX_TOPMOST) != 0;
    HWND after = topmost ? HWND_TOPMOST : (topmostBefore ? HWND_NOTOPMOST : nullptr);
    SetWindowPos(Handle(), after, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED | (after ? 0 : SWP_NOZORDER));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ApplyStyle();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    ApplyStyle();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    const bool mdi = Value == fsMDIForm || Value == fsMDIChild || FFormStyle == fsMDIForm || FFormStyle == fsMDIChild;
    FFormStyle = Value;
    if (mdi && HandleAllocated())
        RecreateWnd(); // an MDI frame or child is a different kind of window
    else
        ApplyStyle();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (FWindowState == Value)
        return;
    FWindowState = Value;
    if (HandleAllocated() && Showing()) {
        static const int cmd[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
        ShowWindow(Handle(), cmd[Value]);
    }
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu && FMenu != Value && FMenu->Owner() != this)
        RemoveFreeNotification(FMenu);
    if (FMenu && FMenu != Value && FMenu->WindowHandle() == FHandle)
        FMenu->SetWindowHandle(nullptr);
    FMenu = Value;
    if (Value && Value->Owner() != this)
        FreeNotification(Value);
    if (HandleAllocated() && FFormStyle != fsMDIChild) {
        ::SetMenu(Handle(), Value ? Value->Handle() : nullptr);
        if (Value)
            Value->SetWindowHandle(Handle());
    }
}

void TCustomForm::MergeMenu(bool MergeState)
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main == this || !main->FMenu || FFormState.Contains(fsModal))
        return;
    if (FFormStyle != fsMDIChild && !(FMenu && FMenu->AutoMerge))
        return;
    if (MergeState)
        main->FMenu->Merge(FMenu); // a child without a menu takes the merged one out
    else if (FMenu)
        main->FMenu->Unmerge(FMenu);
}

bool TCustomForm::IsShortCut(TWMKey& Message)
{
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    if (!handled && FMenu)
        handled = FMenu->IsShortCut(Message);
    return handled;
}

void TCustomForm::FormCancelMode(TControl* Sender)
{
    if (FActive && FActiveControl)
        FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
    if (TCustomForm* child = ActiveMDIChild())
        child->FormCancelMode(Sender);
}

void TCustomForm::ControlLeavesFocus(TWinControl* Control)
{
    if (FComponentState.Contains(csDestroying))
        return;
    inherited::ControlLeavesFocus(Control);
    // The control the form focuses when it is active again.
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        SetActiveControlRef(FindNextControl(Control, true, true, false));
}

void TCustomForm::SetActiveControlRef(TWinControl* Control)
{
    // Watched, so that a freed control is never focused again.
    if (FActiveControl == Control)
        return;
    if (FActiveControl && FActiveControl->Owner() != this)
        RemoveFreeNotification(FActiveControl);
    FActiveControl = Control;
    if (Control && Control->Owner() != this)
        FreeNotification(Control);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
    if (Screen && static_cast<TComponent*>(Screen->ActiveControl()) == AComponent)
        Screen->SetActive(Screen->ActiveForm(), nullptr);
    if (AComponent == FMenu)
        FMenu = nullptr;
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    SetActiveControlRef(Control);
    inherited::FocusControl(Control);
}

void TCustomForm::SetVisible(bool Value)
{
    // While the form is being built, showing waits for the end of construction.
    if (FFormState.Contains(fsCreating)) {
        if (Value)
            FFormState << fsVisible;
        else
            FFormState >> fsVisible;
        return;
    }
    inherited::SetVisible(Value);
}

void TCustomForm::SetFocus()
{
    if (Parent()) {
        inherited::SetFocus();
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (!FActiveControl || !FActiveControl->CanFocus())
        SetActiveControlRef(FindNextControl(nullptr, true, true, false));
    ::SetFocus(FActiveControl ? FActiveControl->Handle() : Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    SetActiveControlRef(Control);
    if (Screen && FActive)
        Screen->SetActive(this, Control);
    return true;
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control && GetParentForm(Control) != this)
        throw EInvalidOperation("Invalid control for the active control");
    SetActiveControlRef(Control);
    if (Control && FActive && Control->CanFocus())
        Control->SetFocus();
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (!HandleAllocated())
        return;
    // A minimised window comes back restored (maximised if it was before), in front.
    if (IsIconic(Handle())) {
        if (Application && Application->MainForm() == this && Application->Minimized())
            Application->Restore();
        else
            ShowWindow(Handle(), SW_RESTORE);
    }
    BringWindowToTop(Handle());
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Release()
{
    // Through the form's own window: a form freed in between drops the message with it.
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::CloseModal()
{
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            DoClose(action);
        }
        if (action == caNone)
            FModalResult = mrNone;
        else if (action == caFree)
            Release(); // freed by the outer loop, after this modal loop has unwound
    } catch (...) {
        FModalResult = mrNone;
        if (Application)
            Application->HandleException(this);
    }
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || !Enabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND capture = GetCapture())
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    FFormState << fsModal;
    HWND activeWindow = GetActiveWindow();
    HandleNeeded();
    std::vector<HWND> disabled = DisableTaskWindows(Handle());
    if (Application)
        Application->ModalStarted();
    TModalResult result = mrNone;
    auto restore = [&] {
        if (Application)
            Application->ModalFinished();
        EnableTaskWindows(disabled);
        if (activeWindow && IsWindow(activeWindow))
            SetActiveWindow(activeWindow);
        FFormState >> fsModal;
    };
    try {
        Show();
        try {
            FModalResult = mrNone;
            do {
                if (Application)
                    Application->HandleMessage();
                if (!Application || Application->Terminated())
                    FModalResult = mrCancel;
                else if (FModalResult != mrNone)
                    CloseModal();
            } while (FModalResult == mrNone);
            result = FModalResult;
            if (GetActiveWindow() != Handle())
                activeWindow = nullptr;
        } catch (...) {
            Hide();
            throw;
        }
        // The other windows come back before this one hides, so the focus returns to them.
        EnableTaskWindows(disabled);
        disabled.clear();
        Hide();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

void TCustomForm::PlaceForShow()
{
    if (Parent() || FWindowState == wsMaximized)
        return;
    int x = Left(), y = Top();
    TCustomForm* center = nullptr;
    switch (FPosition) {
    case poScreenCenter: {
        x = (Screen->Width() - Width()) / 2;
        y = (Screen->Height() - Height()) / 2;
        break;
    }
    case poDesktopCenter: {
        RECT d = Screen->DesktopRect();
        x = d.left + ((d.right - d.left) - Width()) / 2;
        y = d.top + ((d.bottom - d.top) - Height()) / 2;
        break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter:
        center = Application ? Application->MainForm() : nullptr;
        if (FPosition == poOwnerFormCenter)
            if (auto* ownerForm = dynamic_cast<TCustomForm*>(Owner()))
                center = ownerForm;
        if (center == this)
            center = nullptr;
        if (center) {
            x = (center->Width() - Width()) / 2 + center->Left();
            y = (center->Height() - Height()) / 2 + center->Top();
        } else {
            x = (Screen->Width() - Width()) / 2;
            y = (Screen->Height() - Height()) / 2;
        }
        x = std::max(x, 0);
        y = std::max(y, 0);
        break;
    default: return;
    }
    SetBounds(x, y, Width(), Height());
}

void TCustomForm::ShowingChanged()
{
    if (Showing()) {
        // OnShow runs before the window appears (it may even show a modal dialog).
        DoShow();
        PlaceForShow();
        static const int cmd[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        int show = cmd[FWindowState];
        if (FWindowState == wsNormal && FFormState.Contains(fsModal))
            show = SW_SHOW;
        ShowWindow(Handle(), show);
        if (FWindowState == wsNormal && FFormState.Contains(fsModal))
            SetActiveWindow(Handle());
    } else {
        MergeMenu(false);
        DoHide();
        // A modal form's loop gives the activation back itself; any other form that hides while
        // active lets the system activate the next window (its owner), as closing one does.
        if (FFormState.Contains(fsModal))
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        else
            ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::DoShow()
{
    if (OnShow) {
        try {
            OnShow(this);
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
}

void TCustomForm::DoHide()
{
    if (OnHide) {
        try {
            OnHide(this);
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
}

namespace {
// Child windows never hear of their form's activation from the system: every control on the
// form, inside windowed children too (not inside other forms), is told with Msg.
void TellActivation(TWinControl* Parent, UINT Msg)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* control = Parent->Controls(i);
        control->Perform(Msg, 0, 0);
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && !windowed->IsForm())
            TellActivation(windowed, Msg);
    }
}
} // namespace

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

bool TCustomForm::CanResize(int& NewWidth, int& NewHeight)
{
    bool resize = true;
    if (OnCanResize)
        OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        throw;
    }
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

void TCustomForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUSELECT:
    case WM_MENUCHAR:
        // The main menu's messages are the form's own (a take-over of WindowProc sees them first).
        if (FMenu && FMenu->HandleMenuMessage(Message))
            return;
        break;
    case WM_DESTROY:
        // The menu's handles belong to the menu, not to the window that goes.
        if (FMenu && FMenu->Items()->HandleAllocated() && GetMenu(FHandle) == FMenu->Handle())
            ::SetMenu(FHandle, nullptr);
        break;
    case CM_BORDERCHANGED:
        // The margin is part of the frame: the window measures its client area again.
        if (HandleAllocated())
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return;
    case CM_ICONCHANGED:
        ApplyIcon();
        return;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
        Message.Result = DispatchActionToControls(this, Message) ? 1 : 0;
        return;
    case WM_MDIACTIVATE:
        // An MDI child's menu is merged into the frame's while the child is the active one.
        inherited::Dispatch(Message);
        if (FFormStyle == fsMDIChild) {
            if (Message.LParam == reinterpret_cast<LPARAM>(FHandle))
                MergeMenu(true);
            else if (Message.WParam == reinterpret_cast<WPARAM>(FHandle) && !Message.LParam)
                MergeMenu(false);
        }
        return;
    case CM_SHOWINGCHANGED:
        ShowingChanged();
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_ACTIVATE: {
        inherited::Dispatch(Message);
        const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
        if (active != FActive) {
            FActive = active;
            if (active) {
                if (FFormStyle != fsMDIChild)
                    MergeMenu(true);
                // Without a chosen control the focus goes to the first one in tab order that can
                // take it, so that keys reach a control (Enter the default button) at once.
                if (!FActiveControl)
                    SetActiveControlRef(FindNextControl(nullptr, true, true, false));
                if (Screen)
                    Screen->SetActive(this, FActiveControl);
                if (FActiveControl && FActiveControl->CanFocus() && !FActiveControl->Focused())
                    FActiveControl->SetFocus();
                Activate();
            } else {
                Deactivate();
            }
            TellActivation(this, active ? CM_ACTIVATE : CM_DEACTIVATE);
        }
        return;
    }
    case WM_NCCALCSIZE:
        inherited::Dispatch(Message);
        if (FBorderWidth > 0) {
            RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                     : reinterpret_cast<RECT*>(Message.LParam);
            InflateRect(r, -FBorderWidth, -FBorderWidth);
            if (r->right < r->left)
                r->right = r->left;
            if (r->bottom < r->top)
                r->bottom = r->top;
        }
        return;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        // Maximising asks too (the form lays its controls out for the new size); minimising not.
        if (!(pos->flags & SWP_NOSIZE) && !IsIconic(Handle())) {
            int w = pos->cx, h = pos->cy;
            if (CanResize(w, h)) {
                pos->cx = w;
                pos->cy = h;
            } else {
                pos->flags |= SWP_NOSIZE;
            }
        }
        break;
    }
    case WM_SIZE:
        inherited::Dispatch(Message);
        if (Message.WParam == SIZE_MINIMIZED) {
            FWindowState = wsMinimized;
            // The activation goes on to the owner, as on Windows (Wine leaves it with the icon,
            // where no key reaches anything).
            const HWND owner = GetWindow(FHandle, GW_OWNER);
            if (GetActiveWindow() == FHandle && owner && IsWindowVisible(owner) && IsWindowEnabled(owner) &&
                !IsIconic(owner))
                SetActiveWindow(owner);
        } else if (Message.WParam == SIZE_MAXIMIZED)
            FWindowState = wsMaximized;
        else if (Message.WParam == SIZE_RESTORED)
            FWindowState = wsNormal;
        return;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
            Application->Minimize();
            Message.Result = 0;
            return;
        }
        if ((Message.WParam & 0xFFF0) == SC_RESTORE && Application && Application->MainForm() == this &&
            Application->Minimized()) {
            Application->Restore();
            Message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}


