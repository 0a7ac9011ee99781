// The notification-area icon: an image of an image list in the task bar's notification area with
// a hint, a pop-up menu and restoring of the application. It talks to the shell through the shell
// service (ShellSeams.h) from a hidden window of its own, and adds itself again when the shell
// announces a new task bar.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "ImgList.h"

class TPopupMenu;

// The mouse action that restores the application or opens the menu.
enum TTrayIconMessage {
    imClick,
    imDoubleClick,
    imMouseDown,
    imMouseUp,
    imLeftClickUp,
    imLeftDoubleClick,
    imRightClickUp,
    imRightDoubleClick,
    imNone
};

class TTrayIcon : public TComponent {
    VCL_CLASS(TTrayIcon, TComponent)
public:
    explicit TTrayIcon(TComponent* AOwner);
    // Removes the icon from the notification area.
    ~TTrayIcon() override;
    void AfterConstruction() override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The tip shown over the icon. A hint of 64 or more characters does not fit the shell's tip
    // and is not taken (the previous hint stays); a hint equal to the current one changes nothing.
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    TCustomImageList* Icons() const { return FIconLink.List(); }
    void SetIcons(TCustomImageList* Value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TTrayIconMessage RestoreOn = imDoubleClick;
    TTrayIconMessage PopupMenuOn = imRightClickUp;
    // Hides the main form's task-bar entry while the application is minimised.
    bool HideTaskbarButton = true;

    // Restores the application and brings the main form to the front.
    void Restore();
    // Minimises the application (its task-bar entry hidden when HideTaskbarButton is set).
    void Minimize();
    // Opens the pop-up menu at a screen point.
    void PopupAtPoint(int X, int Y);

    // The hidden window that receives the icon's messages.
    HWND WindowHandle() const { return FWindow; }
    // The message the shell sends to that window for mouse actions over the icon.
    static constexpr UINT CallbackMessage = WM_APP + 0x3A1;
    // Whether the shell holds the icon now.
    bool Added() const { return FAdded; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    void IconMouse(UINT MouseMsg);
    bool Matches(TTrayIconMessage Want, UINT MouseMsg) const;
    void MakeIcon();
    void FreeIcon();
    bool Notify(DWORD Message);
    void ApplicationMinimized();
    void ImageListChange(TObject* Sender);

    HWND FWindow = nullptr;
    HICON FIcon = nullptr;
    bool FOwnIcon = false;
    bool FVisible = false;
    bool FAdded = false;
    AnsiString FHint;
    int FIconIndex = 0;
    TPopupMenu* FPopupMenu = nullptr;
    TImageListLink FIconLink;
    std::shared_ptr<TTrayIcon*> FSelfRef;
    UINT FTaskbarCreated = 0;
};
