// Window and control messages: the message record, its typed views and the numbers of the
// framework's own control messages (CM_*) and reflected notifications (CN_*).
#pragma once

#include <windows.h>

#include <cstdint>

#include "System.h"

// The message record passed by mutable reference through WindowProc, WndProc, Dispatch and
// DefaultHandler. Answers travel in Result, and some queries are answered by writing LParam.
struct TMessage {
    UINT Msg;
    union {
        WPARAM WParam;
        struct {
            WORD WParamLo, WParamHi;
        };
    };
    union {
        LPARAM LParam;
        struct {
            WORD LParamLo, LParamHi;
        };
    };
    union {
        LRESULT Result;
        struct {
            WORD ResultLo, ResultHi;
        };
    };
};
static_assert(sizeof(TMessage) == 16, "the message record is four 32-bit fields");

inline TMessage MakeMessage(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
{
    TMessage m{};
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    m.Result = 0;
    return m;
}

struct TSmallPoint {
    SmallInt x, y;
};

// Typed views over the same 16 bytes. Use MessageAs<TWMMouse>(Message) to look at a record
// through one of them; they may alias TMessage.
#define VELLORN_MSGVIEW __attribute__((__may_alias__))

template <class T>
T& MessageAs(TMessage& Message)
{
    static_assert(sizeof(T) == sizeof(TMessage), "a message view has the record's size");
    return reinterpret_cast<T&>(Message);
}

struct VELLORN_MSGVIEW TWMNoParams {
    UINT Msg;
    LONG Unused[2];
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMMouse {
    UINT Msg;
    LONG Keys;
    union {
        struct {
            SmallInt XPos, YPos;
        };
        TSmallPoint Pos;
    };
    LRESULT Result;
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;

struct VELLORN_MSGVIEW TWMMouseWheel {
    UINT Msg;
    SmallInt Keys;
    SmallInt WheelDelta;
    SmallInt XPos, YPos;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMNCHitMessage {
    UINT Msg;
    LONG HitTest;
    SmallInt XCursor, YCursor;
    LRESULT Result;
};
using TWMNCLButtonDown = TWMNCHitMessage;
using TWMNCLButtonUp = TWMNCHitMessage;
using TWMNCMouseMove = TWMNCHitMessage;

struct VELLORN_MSGVIEW TWMKey {
    UINT Msg;
    Word CharCode;
    Word Unused;
    LONG KeyData;
    LRESULT Result;
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

struct VELLORN_MSGVIEW TWMPaint {
    UINT Msg;
    HDC DC;
    LONG Unused;
    LRESULT Result;
};
using TWMEraseBkgnd = TWMPaint;

struct VELLORN_MSGVIEW TWMPrint {
    UINT Msg;
    HDC DC;
    LONG Flags;
    LRESULT Result;
};
using TWMPrintClient = TWMPrint;

struct VELLORN_MSGVIEW TWMNCPaint {
    UINT Msg;
    HRGN RGN;
    LONG Unused;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMNCHitTest {
    UINT Msg;
    LONG Unused;
    union {
        struct {
            SmallInt XPos, YPos;
        };
        TSmallPoint Pos;
    };
    LRESULT Result;
};
using TCMHitTest = TWMNCHitTest;

struct VELLORN_MSGVIEW TWMSize {
    UINT Msg;
    LONG SizeType;
    Word Width, Height;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMMove {
    UINT Msg;
    LONG Unused;
    SmallInt XPos, YPos;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMCommand {
    UINT Msg;
    Word ItemID;
    Word NotifyCode;
    HWND Ctl;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMNotify {
    UINT Msg;
    LONG IDCtrl;
    NMHDR* NMHdr;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMDrawItem {
    UINT Msg;
    LONG Ctl;
    DRAWITEMSTRUCT* DrawItemStruct;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMMeasureItem {
    UINT Msg;
    LONG IDCtl;
    MEASUREITEMSTRUCT* MeasureItemStruct;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMCtlColor {
    UINT Msg;
    HDC ChildDC;
    HWND ChildWnd;
    LRESULT Result;
};
using TWMCtlColorEdit = TWMCtlColor;
using TWMCtlColorStatic = TWMCtlColor;
using TWMCtlColorBtn = TWMCtlColor;
using TWMCtlColorListBox = TWMCtlColor;

struct VELLORN_MSGVIEW TWMScroll {
    UINT Msg;
    SmallInt ScrollCode;
    SmallInt Pos;
    HWND ScrollBar;
    LRESULT Result;
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

struct VELLORN_MSGVIEW TWMSetFocus {
    UINT Msg;
    HWND FocusedWnd;
    LONG Unused;
    LRESULT Result;
};
using TWMKillFocus = TWMSetFocus;

struct VELLORN_MSGVIEW TWMSetCursor {
    UINT Msg;
    HWND CursorWnd;
    Word HitTest;
    Word MouseMsg;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMContextMenu {
    UINT Msg;
    HWND hWnd;
    union {
        struct {
            SmallInt XPos, YPos;
        };
        TSmallPoint Pos;
    };
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMWindowPosMsg {
    UINT Msg;
    LONG Unused;
    WINDOWPOS* WindowPos;
    LRESULT Result;
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

struct VELLORN_MSGVIEW TWMNCCalcSize {
    UINT Msg;
    BOOL CalcValidRects;
    NCCALCSIZE_PARAMS* CalcSize_Params;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMGetMinMaxInfo {
    UINT Msg;
    LONG Unused;
    MINMAXINFO* MinMaxInfo;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMSysCommand {
    UINT Msg;
    LONG CmdType;
    SmallInt XPos, YPos;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMActivate {
    UINT Msg;
    Word Active;
    Word Minimized;
    HWND ActiveWindow;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMTimer {
    UINT Msg;
    LONG TimerID;
    TIMERPROC TimerProc;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMSetText {
    UINT Msg;
    LONG Unused;
    const char* Text;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMGetText {
    UINT Msg;
    LONG TextMax;
    char* Text;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMShowWindow {
    UINT Msg;
    BOOL Show;
    LONG Status;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMInitMenuPopup {
    UINT Msg;
    HMENU MenuPopup;
    SmallInt Pos;
    Word SystemMenu;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TWMMenuSelect {
    UINT Msg;
    Word IDItem;
    Word MenuFlag;
    HMENU Menu;
    LRESULT Result;
};

// Views of the control messages (their pointers are objects of this process).
class TControl;
class TWinControl;
struct THintInfo;
struct TDragRec;

struct VELLORN_MSGVIEW TCMHintShow {
    UINT Msg;
    LONG Reserved;
    THintInfo* HintInfo;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMFocusChanged {
    UINT Msg;
    LONG Unused;
    TWinControl* Sender;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMCancelMode {
    UINT Msg;
    LONG Unused;
    TControl* Sender;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMControlChange {
    UINT Msg;
    TControl* Control;
    BOOL Inserting;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMChildKey {
    UINT Msg;
    Word CharCode;
    Word Unused;
    TWinControl* Sender;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMDrag {
    UINT Msg;
    LONG DragMessage;
    TDragRec* DragRec;
    LRESULT Result;
};

// CM_MOUSEENTER / CM_MOUSELEAVE: LParam carries the control the mouse entered or left.
struct VELLORN_MSGVIEW TCMMouseEnterLeave {
    UINT Msg;
    LONG Unused;
    TControl* Control;
    LRESULT Result;
};

struct VELLORN_MSGVIEW TCMMouseWheel {
    UINT Msg;
    Word ShiftState; // bits of TShiftStateItem
    SmallInt WheelDelta;
    SmallInt XPos, YPos;
    LRESULT Result;
};

// The framework's control messages.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;

// Notifications a parent reflects to the child object that caused them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Sent by a combo box to itself when its drop-down list has closed.
constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;
