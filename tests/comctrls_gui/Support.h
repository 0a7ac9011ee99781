// Shared helpers of the common-control tests.
#pragma once

#include "FormTest.h"

#include <string>

namespace comtest {

// Presses and releases the left button at a client point of a window, as the system would.
inline void ClickAt(HWND Wnd, int X, int Y)
{
    SendMessageA(Wnd, WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
}

inline TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

} // namespace comtest
