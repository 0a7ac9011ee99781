// Border masks painted into a control's bitmap while their transparent pixels are cut out of a
// window region (for controls shaped by their skin), and two glyph painters.
#pragma once

#include "sConst.h"
#include "sMaskData.h"

// Paints the state's nine cells of a border mask into Bmp (the centre when Filling) and removes
// the key-coloured pixels of the picture from Rgn, run by run. A master-image mask without
// blend mask is copied opaque and leaves Rgn alone.
void PaintRgnBorder(TBitmap* Bmp, HRGN Rgn, bool Filling, const TsMaskData& Mask, int State);
// The same for a caller's border image in the own-bitmap layout and a caller's key colour.
void PaintRasterBorder(TBitmap* Bmp, TBitmap* Border, int State, HRGN Rgn, TColor TransColor, bool Filling);
// One state cell of a three-state glyph image into Bmp at P, by key colour Color.
void PaintBlendGlyph(TBitmap* Bmp, TBitmap* Glyph, const TPoint& P, int Blend, TColor Color, int State);
// One state cell of a glyph image mixed into Bmp at P by its blend mask, skipping TransColor.
void PaintRasterGlyph(TBitmap* Bmp, TBitmap* Glyph, const TPoint& P, int State, TColor TransColor);
