// Drawing of the skin's masks into 24-bit bitmaps: nine-part frames of border masks, glyph
// cells, pieces of the master image through key colour and blend mask, the repair of a
// control's transparent corners from its parent, and the disabled and colour-mixed looks.
#pragma once

#include "Controls.h"
#include "sConst.h"

// The disabled look of a control's image: grey, and/or mixed with the parent's background (the
// parent cache under the control when CI is ready, else its centre colour).
void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind Kind, TControl* Parent, const TCacheInfo& CI, const TPoint& Offset);
// Each channel of R (clipped to the bitmap) := round(channel * p + colour * (1 - p)), p =
// Percent / 100 with Percent taken as 0..255 and at most 100, halves to even.
void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color);
