// Plain per-pixel versions of the hot pixel routines, written straight from their definitions.
// The fast routines must give exactly their bytes; the tests compare the two over random images
// and the benchmark measures one against the other.
#pragma once

#include "sGraphUtils.h"
#include "sMaskGraph.h"

namespace ref {

void SumBitmaps(TBitmap* Bmp1, TBitmap* Bmp2, TsColor Color);
void SumBmpRect(TBitmap* BmpDst, TBitmap* BmpSrc, TsColor Color, const TRect& R, const TPoint& P);
void BlendBmpByMask(TBitmap* Bmp1, TBitmap* Mask, TsColor Color);
void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, const TCacheInfo& CI);
void GrayScale(TBitmap* Bmp);
void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape, int Radius);
void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius);
void CopyMasterRect(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask);
// The frame piece by piece as the layout rules lay it, through the reference copies.
void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State,
                  bool UpdateCorners);
void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color);
// Tiles through the canvas, one bit-block transfer per tile.
void TileBitmap(TCanvas* Canvas, const TRect& R, TBitmap* Image);

} // namespace ref
