#include "TrayIcon.h"

#include "Forms.h"
#include "Menus.h"
#include "ShellSeams.h"

#include <cstring>

namespace {

const char kWindowClass[] = "Vellorn.TrayIconWindow";

void RegisterWindowClass(WNDPROC Proc)
{
    WNDCLASSA wc{};
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (GetClassInfoA(inst, kWindowClass, &wc))
        return;
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc))
        throw EOSError("Cannot register the tray icon window class");
}

} // namespace

TTrayIcon::TTrayIcon(TComponent* AOwner)
    : TComponent(AOwner), FIconLink(this, [this](TObject* Sender) { ImageListChange(Sender); }), FSelfRef(std::make_shared<TTrayIcon*>(this))
{
    FTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    RegisterWindowClass(&TTrayIcon::WindowProc);
    // A hidden top-level window (not a message-only one): the shell's "TaskbarCreated"
    // broadcast reaches top-level windows only.
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!FWindow)
        throw EOSError("Cannot create the tray icon window");
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TTrayIcon::AfterConstruction()
{
    inherited::AfterConstruction();
    if (!Application)
        return;
    // Chained in front of the application's own handler; a no-op once this icon is gone.
    std::weak_ptr<TTrayIcon*> self = FSelfRef;
    TNotifyEvent previous = Application->OnMinimize;
    Application->OnMinimize = [self, previous](TObject* Sender) {
        if (previous)
            previous(Sender);
        if (auto p = self.lock())
            (*p)->ApplicationMinimized();
    };
}

TTrayIcon::~TTrayIcon()
{
    FSelfRef.reset();
    if (FAdded)
        Notify(NIM_DELETE);
    FAdded = false;
    if (FWindow) {
        SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
        DestroyWindow(FWindow);
    }
    FreeIcon();
}

bool TTrayIcon::Notify(DWORD Message)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = FWindow;
    data.uID = 1;
    data.uCallbackMessage = CallbackMessage;
    if (Message != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_TIP;
        if (FIcon) {
            data.uFlags |= NIF_ICON;
            data.hIcon = FIcon;
        }
        const size_t n = std::min(FHint.size(), sizeof(data.szTip) - 1);
        std::memcpy(data.szTip, FHint.data(), n);
    }
    return Shell().NotifyIcon(Message, data);
}

void TTrayIcon::FreeIcon()
{
    if (FIcon && FOwnIcon)
        DestroyIcon(FIcon);
    FIcon = nullptr;
    FOwnIcon = false;
}

void TTrayIcon::MakeIcon()
{
    FreeIcon();
    TCustomImageList* icons = FIconLink.List();
    if (icons && FIconIndex >= 0 && FIconIndex < icons->Count()) {
        FIcon = ImageList_GetIcon(icons->Handle(), FIconIndex, ILD_NORMAL);
        FOwnIcon = FIcon != nullptr;
    }
    if (!FIcon)
        FIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

void TTrayIcon::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (Value) {
        MakeIcon();
        FAdded = Notify(NIM_ADD);
    } else if (FAdded) {
        Notify(NIM_DELETE);
        FAdded = false;
    }
}

void TTrayIcon::SetHint(const AnsiString& Value)
{
    if (Value.size() >= 64 || Value == FHint)
        return;
    FHint = Value;
    if (FAdded)
        Notify(NIM_MODIFY);
}

void TTrayIcon::ImageListChange(TObject*)
{
    if (!FVisible)
        return;
    MakeIcon();
    if (FAdded)
        Notify(NIM_MODIFY);
}

void TTrayIcon::SetIcons(TCustomImageList* Value)
{
    if (FIconLink.Set(Value))
        ImageListChange(this);
}

void TTrayIcon::SetIconIndex(int Value)
{
    if (FIconIndex == Value)
        return;
    FIconIndex = Value;
    ImageListChange(this);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (FIconLink.Removed(AComponent)) {
        if (!ComponentState().Contains(csDestroying))
            ImageListChange(this);
    }
}

void TTrayIcon::Restore()
{
    if (Application) {
        Application->Restore();
        if (TCustomForm* main = Application->MainForm()) {
            HWND h = main->Handle();
            if (!IsWindowVisible(h) || IsIconic(h))
                ShowWindow(h, IsIconic(h) ? SW_RESTORE : SW_SHOW);
            SetForegroundWindow(h);
        }
    }
    if (OnRestore)
        OnRestore(this);
}

void TTrayIcon::Minimize()
{
    if (Application)
        Application->Minimize(); // fires OnMinimize, which hides the task-bar entry
}

void TTrayIcon::ApplicationMinimized()
{
    if (HideTaskbarButton && Application)
        if (TCustomForm* main = Application->MainForm())
            if (main->HandleAllocated())
                ShowWindow(main->Handle(), SW_HIDE);
    if (OnMinimize)
        OnMinimize(this);
}

void TTrayIcon::PopupAtPoint(int X, int Y)
{
    if (!FPopupMenu)
        return;
    // The menu closes properly when the user clicks elsewhere only if our window is in front.
    SetForegroundWindow(FWindow);
    FPopupMenu->PopupComponent = this;
    FPopupMenu->Popup(X, Y);
    PostMessageA(FWindow, WM_NULL, 0, 0);
}

bool TTrayIcon::Matches(TTrayIconMessage Want, UINT MouseMsg) const
{
    switch (Want) {
    case imClick: return MouseMsg == WM_LBUTTONUP || MouseMsg == WM_RBUTTONUP;
    case imDoubleClick: return MouseMsg == WM_LBUTTONDBLCLK || MouseMsg == WM_RBUTTONDBLCLK;
    case imMouseDown: return MouseMsg == WM_LBUTTONDOWN || MouseMsg == WM_RBUTTONDOWN;
    case imMouseUp: return MouseMsg == WM_LBUTTONUP || MouseMsg == WM_RBUTTONUP;
    case imLeftClickUp: return MouseMsg == WM_LBUTTONUP;
    case imLeftDoubleClick: return MouseMsg == WM_LBUTTONDBLCLK;
    case imRightClickUp: return MouseMsg == WM_RBUTTONUP;
    case imRightDoubleClick: return MouseMsg == WM_RBUTTONDBLCLK;
    case imNone: return false;
    }
    return false;
}

void TTrayIcon::IconMouse(UINT MouseMsg)
{
    POINT pt{};
    GetCursorPos(&pt);
    TShiftState shift = GetShiftState();
    switch (MouseMsg) {
    case WM_LBUTTONDOWN:
        if (OnMouseDown)
            OnMouseDown(this, mbLeft, shift, pt.x, pt.y);
        break;
    case WM_RBUTTONDOWN:
        if (OnMouseDown)
            OnMouseDown(this, mbRight, shift, pt.x, pt.y);
        break;
    case WM_LBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, mbLeft, shift, pt.x, pt.y);
        if (OnClick)
            OnClick(this);
        break;
    case WM_RBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, mbRight, shift, pt.x, pt.y);
        break;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick(this);
        break;
    default: break;
    }
    if (Matches(RestoreOn, MouseMsg))
        Restore();
    if (Matches(PopupMenuOn, MouseMsg))
        PopupAtPoint(pt.x, pt.y);
}

void TTrayIcon::HandleMessage(UINT Msg, WPARAM, LPARAM LParam)
{
    if (Msg == CallbackMessage) {
        IconMouse(static_cast<UINT>(LParam));
        return;
    }
    if (Msg == FTaskbarCreated && FTaskbarCreated != 0) {
        // A new task bar (the shell restarted): the icon must be added again.
        if (FVisible) {
            if (!FIcon)
                MakeIcon();
            FAdded = Notify(NIM_ADD);
        }
    }
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (self && (Msg == CallbackMessage || (Msg == self->FTaskbarCreated && Msg != 0))) {
        try {
            self->HandleMessage(Msg, WParam, LParam);
        } catch (...) {
            HandleCurrentException(self);
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}
