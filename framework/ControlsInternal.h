// Shared state and helpers of the source files of the controls unit (Controls.cpp,
// ControlsInput.cpp, ControlsPaint.cpp); not for other units.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Controls.h"

namespace controls_internal {

// Canvases that hold a DC of a window, released before that window goes.
extern std::vector<TControlCanvas*> gCanvasesWithDC;

// The windowless control that has the mouse captured (its parent's window has the capture).
extern TControl* gCaptureControl;
// The control that had CM_MOUSEENTER last; the timer that polls while the mouse is over a
// window of no object of ours.
extern TControl* gMouseControl;
extern UINT_PTR gMousePollTimer;

// The drag in progress.
struct DragState {
    TControl* Control = nullptr; // the control being dragged
    TDragObject* Object = nullptr;
    bool OwnObject = false;
    bool Started = false; // past the threshold
    TPoint StartPos{};
    int Threshold = 0;
    TControl* Target = nullptr;
    HWND CaptureWnd = nullptr;
    HCURSOR SaveCursor = nullptr;
};
extern DragState gDrag;

TPoint SmallPointToPoint(LPARAM L);
LPARAM PointToLParam(TPoint P);
bool IsMouseMsg(UINT Msg);
// The cursor handle of a cursor number (through the screen when there is one).
HCURSOR CursorHandle(TCursor Cursor);
// The framework control of a window or of its nearest ancestor that has one.
TWinControl* NearestControl(HWND Wnd);

// Moves Item to the end (TopMost) or the front of a z-ordered list; false when it is not there.
template <class T>
bool MoveInZOrder(std::vector<T*>& List, T* Item, bool TopMost)
{
    auto it = std::find(List.begin(), List.end(), Item);
    if (it == List.end())
        return false;
    List.erase(it);
    if (TopMost)
        List.push_back(Item);
    else
        List.insert(List.begin(), Item);
    return true;
}

// Lends DC to a control's canvas, locked and with the control's font, for one Paint call; the
// canvas lets go of the DC even when Paint throws.
template <class PaintFn>
void PaintOnCanvas(TCanvas& Canvas, HDC DC, TFont* Font, PaintFn&& Paint)
{
    Canvas.Lock();
    try {
        Canvas.SetHandle(DC);
        Canvas.Font()->Assign(Font);
        Paint();
    } catch (...) {
        Canvas.SetHandle(nullptr);
        Canvas.Unlock();
        throw;
    }
    Canvas.SetHandle(nullptr);
    Canvas.Unlock();
}

} // namespace controls_internal
