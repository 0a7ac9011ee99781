// Routines that send the library message, broadcast it through a tree of controls, and walk or
// paint that tree. Delivery is synchronous and re-entrant; answers that travel in globals
// (GlobalCacheInfo, ParentCenterColor) are valid until the sender reads them.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Messages.h"

class TCustomForm;
class TCustomFrame;
class TCustomPanel;

// DrawText alignment flags by TAlignment: left DT_LEFT, right DT_RIGHT, centre DT_CENTER.
extern const int AlignToInt[3];

// SendMessage(Wnd, SM_SKINCMD, MAKEWPARAM(0, Cmd), 0).
LRESULT SendAMessage(HWND Wnd, int Cmd);
// The same to a windowed control that has a window and is not being destroyed (else nothing,
// 0), or through Perform to a graphic control.
LRESULT SendAMessage(TControl* Control, int Cmd);
// Hands {SM_SKINCMD, MAKEWPARAM(0, Cmd), 0, 0} straight to the control's WindowProc and answers
// whether LParam came back as 1; false for no control.
bool GetBoolMsg(TWinControl* Control, unsigned Cmd);
LRESULT SetBoolMsg(HWND Wnd, unsigned Cmd, bool Value);
// Delivers the record to the children of Control, in index order over the list as it was when
// the broadcast began: a graphic child through Perform; a windowed child that answers
// AC_ISSKINNED through its WindowProc (it passes the command on itself); the children of an
// unskinned windowed child the same way. A child being destroyed, or gone from Control meanwhile,
// is skipped. An exception ends the broadcast quietly.
void SkinBroadCast(TWinControl* Control, TMessage& Message);
// Hands the record to the replacement window procedure of the form's first skin provider.
void SendToProvider(TCustomForm* Form, TMessage& Message);
// The window's frame painted now (WM_NCPAINT); while painting is deferred (TPaintDeferral), left
// to be painted with the window instead.
void RepaintFrame(HWND Wnd);
// AC_PARENTUPDATED through Perform to every windowed child; an exception ends the loop.
void SetParentUpdated(TWinControl* Control);
// ParentCenterColor := the control's answer to AC_GETCENTERCOLOR (its window made if needed),
// resolved to RGB; clSkinKey when it does not answer.
void InitParentColor(TWinControl* Control);
// AC_URGENTPAINTING on (start) or off (finish) to the control and all its children.
void StartUrgentPainting(TControl* Control);
void FinishUrgentPainting(TControl* Control);
// Paints the owner's visible graphic children over the owner's cached image into DC (nothing
// unless a skin is active and the owner answers AC_GETCACHEINFO with a ready cache). A child
// whose top-left pixel comes out as the key colour leaves its area of DC untouched. Flag and
// Offset are not read.
void PaintControls(HDC DC, TWinControl* Owner, bool Flag, const TPoint& Offset);
// False for no control, while it loads, is destroyed, is created or reads its state, and when
// it has no parent.
bool ControlIsReady(TControl* Control);
// The first form (frame) along the Owner chain, starting with the component itself; null at its
// end.
TCustomForm* GetOwnerForm(TComponent* Component);
TCustomFrame* GetOwnerFrame(TComponent* Component);
// The owned component of that name (ASCII case ignored), or null; "Frame.Name" is the component
// Name owned by the owner's frame Frame.
TComponent* GetControlByName(TWinControl* Owner, const AnsiString& Name);
// The control's DrawText flags for the alignment with DT_EXPANDTABS and DT_VCENTER.
int GetStringFlags(TControl* Control, TAlignment Alignment);
// Repaint of every ready graphic child / Invalidate of every ready windowed child.
void RepaintsGraphicControls(TWinControl* Control);
void RepaintsControls(TWinControl* Control, bool Flag);
// Enabled := Value on every child that is not a panel.
void SetControlsEnabled(TWinControl* Control, bool Value);
// The focus to the first enabled tab stop of the control's tab order.
void SetPanelFocus(TWinControl* Control);
// False when a child edit or combo box has an empty text.
bool CheckPanelFilled(TCustomPanel* Panel);
// Does nothing.
void RepaintShadows(TWinControl* Control, TBitmap* Bmp);

// Sets a flag for its lifetime and clears it when it goes, however the scope is left.
class TFlagUp {
public:
    explicit TFlagUp(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagUp() { FFlag = false; }
    TFlagUp(const TFlagUp&) = delete;
    TFlagUp& operator=(const TFlagUp&) = delete;

private:
    bool& FFlag;
};

// The application's hints switched off for the time of a press. Holds nest across controls: the
// first Hold keeps the setting in AppShowHint and switches the hints off, the last Release gives
// the setting back. A hold counts once until its Release, and a hold that goes is released.
class TsHintHold {
public:
    TsHintHold() = default;
    ~TsHintHold() { Release(); }
    TsHintHold(const TsHintHold&) = delete;
    TsHintHold& operator=(const TsHintHold&) = delete;
    void Hold();
    void Release();
    bool Held() const { return FHeld; }

private:
    bool FHeld = false;
};

// A control's canvas drawing on a paint's DC for the time of the paint.
class TLentCanvas {
public:
    TLentCanvas(TCanvas* Canvas, HDC DC) : FCanvas(Canvas)
    {
        FCanvas->Lock();
        FCanvas->SetHandle(DC);
    }
    ~TLentCanvas()
    {
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
    }
    TLentCanvas(const TLentCanvas&) = delete;
    TLentCanvas& operator=(const TLentCanvas&) = delete;

private:
    TCanvas* FCanvas;
};

// A skinned control's paint of its window: the update region validated and the DC drawn on, the
// message's when one is given (WM_PRINTCLIENT, a paint into memory), else one of the whole window;
// the DC's state is kept and everything is given back when the paint ends.
class TWindowPaint {
public:
    TWindowPaint(HWND Wnd, HDC Given);
    ~TWindowPaint();
    TWindowPaint(const TWindowPaint&) = delete;
    TWindowPaint& operator=(const TWindowPaint&) = delete;
    HDC DC() const { return FDC; }

private:
    HWND FWnd;
    HDC FGiven;
    HDC FDC = nullptr;
    int FSaved = 0;
    PAINTSTRUCT FPaint{};
};
