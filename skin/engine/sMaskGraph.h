// Drawing of the skin's masks into 24-bit bitmaps: nine-part frames of border masks, glyph
// cells, pieces of the master image through key colour and blend mask, the repair of a
// control's transparent corners from its parent, and the disabled and colour-mixed looks.
#pragma once

#include "Controls.h"
#include "sConst.h"
#include "sMaskData.h"

enum TsCorner { scLeftTop, scLeftBottom, scRightTop, scRightBottom };
using TsCorners = TSet<TsCorner>;

class TsCommonData;

// The nine-part frame of a border mask over R of Bmp in the given state: corners, sides tiled
// with whole cells, and the centre when Filling. With UpdateCorners the key pixels of an own
// bitmap's corners take the parent cache's pixels (CI).
void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State,
                  bool UpdateCorners);
// The master-image frame with CI under the key pixels of every piece, corners as large as the
// cells allow and the centre whenever Filling; nothing for a mask with its own bitmap.
void DrawSmallSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State);
// Src of the master image to Dst of Bmp (the smaller size of the two): key pixels take
// CtrlParentColor when it is known, else the parent cache's pixel when CI is ready, else stay;
// the others are blended by the mask height(Mask.R) div 2 rows below.
void CopyMasterRect(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask);
// The same, key pixels always leaving the destination.
void CopyMasterRectA(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask);
// The State cell of a glyph mask with its top-left at P; Mode 1 normal, 2 paler.
void DrawSkinGlyph(TBitmap* Bmp, const TPoint& P, int State, int Mode, const TsMaskData& Mask);
// The inclusive rectangle Src of Source blended into Dst of Bmp through the mask band below it,
// skipping Key pixels; Mode other than 1 raises the mask by 100. A mask without bands copies by
// key colour.
void BlendGlyphByMask(const TRect& Src, const TRect& Dst, TBitmap* Bmp, TColor Key, int Mode, const TsMaskData& Mask,
                      TBitmap* Source);
// Gives the key-coloured pixels of a master-image border mask's corners in a control's cache
// bitmap the parent's background: ParentColor when it is known (not clSkinKey), else the parent
// cache's pixel under them when CI is ready. Bounds is the control's place in its parent.
// Clears ParentCenterColor.
void UpdateCorners(TBitmap* Cache, const TRect& Bounds, const TsMaskData& Mask, int State, TsCorners Which,
                   const TCacheInfo& CI, TColor ParentColor);
// The same for a control's cache bitmap and border mask (master-image masks only): the parent's
// colour is its centre colour when its cache is ready and it is not textured, its Color when no
// cache is ready.
void UpdateCorners(TsCommonData* SkinData, int State, TsCorners Which = TsCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom});
// The disabled look of a control's image: grey, and/or mixed with the parent's background (the
// parent cache under the control when CI is ready, else its centre colour or its colour; not
// mixed when neither is known).
void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind Kind, TControl* Parent, const TCacheInfo& CI, const TPoint& Offset);
// Each channel of R (clipped to the bitmap) := round(channel * p + colour * (1 - p)), p =
// Percent / 100 with Percent taken as 0..255 and at most 100, halves to even.
void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color);

// Geometry of a border mask in one state: the bitmap its cells lie in, the cell size, the
// state's block and the distance from the picture to its blend mask. Not Valid for a mask
// without image, cells or states.
struct TBorderCells {
    TBitmap* Src = nullptr;
    int CW = 0, CH = 0, Left = 0, Top = 0, MaskOffset = 0;
    bool Own = false;
    bool Valid() const { return Src && CW > 0 && CH > 0; }
};
TBorderCells BorderCells(const TsMaskData& Mask, int State);
// Corner sizes over a W x H rectangle: the near (left, top) and far (right, bottom) corners.
struct TCornerSizes {
    int DW = 0, DH = 0, DW2 = 0, DH2 = 0;
};
TCornerSizes CornerSizes(const TBorderCells& Cells, int W, int H, int BorderWidth);
