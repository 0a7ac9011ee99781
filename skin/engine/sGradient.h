// Multi-stop linear gradients of skin sections: the text of GRADIENTDATA parsed once into stops,
// and the stops painted into a rectangle of a 24-bit bitmap.
#pragma once

#include <vector>

#include "Graphics.h"
#include "Types.h"

// One stop: from Color1 at its start to Color2 at its end over Percent of the painted extent.
// Only the first stop's Mode counts: 0 top to bottom, 1 left to right.
struct TsGradPie {
    TColor Color1 = 0;
    TColor Color2 = 0;
    Byte Percent = 0;
    Integer Mode = 0;
};

using TsGradArray = std::vector<TsGradPie>;

// Fills Arr from a gradient text: ";"-separated words (empty words do not count), five per stop:
// Color1, Color2, Percent (at most 100), Mode and an unused word; words of an incomplete last
// group are ignored. A word that is not an integer raises EConvertError. A negative Percent
// counts as 0.
void PrepareGradArray(const AnsiString& Text, TsGradArray& Arr);

// Paints the stops into R of Bmp (clipped to the bitmap) in the first stop's mode; nothing for an
// empty array or a mode other than 0 and 1. Each stop's colours run from its first to its last
// row (column) inclusive, rounded halves to even; the last stop ends at R's last row (column).
void PaintGrad(TBitmap* Bmp, const TRect& R, const TsGradArray& Arr);
void PaintGrad(TBitmap* Bmp, const TRect& R, const AnsiString& Text);
// The stops top to bottom whatever their mode, the last one ending on the bitmap's last row.
void PaintGradV(TBitmap* Bmp, const TRect& R, const TsGradArray& Arr);
