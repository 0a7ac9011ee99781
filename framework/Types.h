// The framework's Types unit: points, rectangles and sizes as the Win32 structures, with the
// constructor functions the framework offers.
#pragma once

#include <windows.h>

using TPoint = POINT;
using TRect = RECT;
using TSize = SIZE;

inline TPoint Point(int X, int Y) { return TPoint{X, Y}; }
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }
inline bool operator==(const TPoint& a, const TPoint& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const TRect& a, const TRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
