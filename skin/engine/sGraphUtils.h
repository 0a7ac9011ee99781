// The pixel toolbox of the skin engine: mixing, masking and copying of 24-bit bitmaps with the
// key colour 0xFF00FF, grey scale, soft fades, tiling, fills and frames, and small colour and
// text-metric routines. Pixels are three bytes, blue, green, red; every routine clips what it
// reads and writes to the bitmaps it touches and switches them to 24 bits per pixel.
#pragma once

#include <memory>

#include "Graphics.h"
#include "ImgList.h"
#include "Types.h"
#include "sCommonData.h"
#include "sConst.h"
#include "sMaskData.h"

enum TsShadowingShape { ssRectangle, ssEllipse };
enum TGradientTypes { gtTopBottom, gtLeftRight, gtAsBorder };

// Every pixel of Bmp1 := round((d - s) * k + s), k = Color.R / 256, halves to even; only for
// bitmaps of the same size.
void SumBitmaps(TBitmap* Bmp1, TBitmap* Bmp2, TsColor Color);
// BmpDst at P + (x, y) := trunc((d - s) * k + s), k = (R + G + B of Color) / 768, s from R of
// BmpSrc; rows 0..h and columns 0..w inclusive, h = min(height(R), BmpSrc.Height - R.Top - 1),
// w likewise; pixels outside either bitmap are left.
void SumBmpRect(TBitmap* BmpDst, TBitmap* BmpSrc, TsColor Color, const TRect& R, const TPoint& P);
// Each channel of Bmp1 := ((d - c) * m + c * 255) shr 8, c the channel of Color, m that of Mask
// at the same pixel; only for bitmaps of the same size.
void BlendBmpByMask(TBitmap* Bmp1, TBitmap* Mask, TsColor Color);
// Src1 := ((s1 - s2) * m + s2 * 256) shr 8 over R (exclusive); nothing when R is wider or
// higher than Src1.
void SumByMask(TBitmap* Src1, TBitmap* Src2, TBitmap* Mask, const TRect& R);
// R2 of the picture in Bmp2's upper half blended into R1 of Bmp1 through the mask Bmp2.Height
// div 2 rows lower: d := (m * (d - s) + s * 255) shr 8. With CI ready, key-coloured picture
// pixels take the parent cache's pixel under them instead. UpdateTrans is not consulted.
void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, const TCacheInfo& CI, bool UpdateTrans);
// SrcRect of Src (inclusive after clipping) mixed into Dst at (X, Y): d := round(s - (s - d) *
// Blend), Blend the share of the destination that stays; pixels equal to TransColor are skipped
// unless its fourth byte is 0xFF.
void BlendTransRectangle(TBitmap* Dst, int X, int Y, TBitmap* Src, const TRect& SrcRect, double Blend, TsColor TransColor);
// Every pixel not equal to TransColor: channel := round((p - c) * Blend + c).
void BlendTransBitmap(TBitmap* Bmp, double Blend, TsColor Color, TsColor TransColor);
// Every pixel's three bytes := their sum div 3 (GrayScaleTrans leaves TransColor pixels).
void GrayScale(TBitmap* Bmp);
void GrayScaleTrans(TBitmap* Bmp, TsColor TransColor);
// Per channel round(c1 - (c1 - c2) * Percent), kept within 0..255.
TColor ChangeColor(TColor Color1, TColor Color2, double Percent);
// Each of the four bytes := (b1 + b2) shr 1.
TsColor AverageColor(TsColor Color1, TsColor Color2);

// Every pixel of Src not equal to TransColor to Dst at (X + x, Y + y).
void CopyTransBitmaps(TBitmap* Dst, TBitmap* Src, int X, int Y, TsColor TransColor);
// SrcRect, clipped to Src and then inclusive, to Dst at (X, Y), except TransColor pixels. CI and
// UpdateTrans are not consulted.
void CopyTransRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor, const TCacheInfo& CI, bool UpdateTrans);
void CopyTransRectA(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor);
// SrcRect, clipped to Src, copied to Dst at (X, Y) without a key test.
void CopyRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor);

// The soft fade of a rectangle: Transparency 0 fills with Color, 100 copies, anything between
// mixes the picture toward Color through a mask of Blur + 1 rings growing from Transparency's
// grey at the centre to white at the edge.
void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape, int Radius = 0);
// The same in place on R of Bmp.
void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius);

// Fills R with a solid brush of the colour (resolved to RGB); the DC's state is kept.
void FillDC(HDC DC, const TRect& R, TColor Color);
// Width one-pixel 3D rings inwards: top and left in ColorTop, bottom and right in ColorBottom.
// R ends shrunk by the ring count and Width at 0.
void DrawRectangleOnDC(HDC DC, TRect& R, TColor ColorTop, TColor ColorBottom, int& Width);
// Tiles Image over R from R's top-left corner, the last column and row cut to R; an image other
// than a bitmap or JPEG image is ignored.
void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Image);
// Tiles Image when it is not empty, else the mask's rectangle of the master image.
void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Image, const TsMaskData& Mask);
// Tiles the rectangle Mask.R of the mask's own bitmap.
void TileBitmapFromOther(TCanvas* Canvas, const TRect& R, const TsMaskData& Mask);
// Appends the rectangles of the key-coloured runs in the left and right corner cells of a
// border mask's top (or, with Bottom, bottom) band: the left ones at their own columns, the
// right ones placed against Width; rows are moved down by VertOffset.
void AddRgn(std::vector<TRect>& Rects, int Width, const TsMaskData& Mask, int VertOffset, bool Bottom);
// A two-colour gradient with a flat middle in the average colour.
void GradientBmp(TBitmap* Bmp, const TRect& R, TsColor Color1, TsColor Color2, TGradientTypes GradType,
                 signed char Percent1, signed char Percent2, int Size);
// A new 24-bit bitmap of Bmp's size.
std::unique_ptr<TBitmap> CreateBmpLike(TBitmap* Bmp);
// Glyph := image Index of Images over the list's background colour (0xFF00FF when it has none).
void CopyImage(TBitmap* Glyph, TCustomImageList* Images, int Index);
// Loads a ".JPG"/".JPEG" or ".BMP" file into Image (grey when Gray); a missing file empties it.
// Answers false.
bool LoadJpegOrBmp(TPicture* Image, const AnsiString& FileName, bool Gray);
// The font's text height + 6, and a text's extent, measured on the screen.
int GetFontHeight(HFONT Font);
TSize GetStringSize(HFONT Font, const AnsiString& Text);

// ---------------------------------------------------------------------------------------------
// Item backgrounds (sGraphUtilsPaint.cpp). A section's background (colour, tiled pattern,
// gradient, transparency over the parent's cache ci) is painted into R of ItemBmp; State 0 reads
// the normal keys, any other the hot ones; pP is the painted item's place in the parent's
// coordinates. The PaintItem family adds the section's "BORDERSMASK" over it.

void PaintItemBG(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, int State, const TRect& R,
                 const TPoint& pP, TBitmap* ItemBmp);
// The same with the pattern's mask index given (no look-up).
void PaintItemBGFast(int SkinIndex, int PatternIndex, int HotPatternIndex, const AnsiString& Section, const TCacheInfo& ci,
                     int State, const TRect& R, const TPoint& pP, TBitmap* ItemBmp);
// Background and border; R must lie inside the bitmap.
void PaintItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
               const TPoint& pP, TBitmap* ItemBmp);
// The same through a temporary bitmap into a device context at R.
void PaintItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
               const TPoint& pP, HDC DC);
// Background by PaintItemBGFast and the border mask given by index.
void PaintItemFast(int SkinIndex, int BorderIndex, int PatternIndex, int HotPatternIndex, const AnsiString& Section,
                   const TCacheInfo& ci, bool Filling, int State, const TRect& R, const TPoint& pP, TBitmap* ItemBmp);
// Background and the border by DrawSmallSkinRect.
void PaintSmallItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
                    const TPoint& pP, TBitmap* ItemBmp);

// A control's background from its own section: CustomColor takes the owner's colour (the form's
// for a skin provider), and a known ParentCenterColor stands for the parent's image.
void PaintItemBG(TsCommonData* SkinData, const TCacheInfo& ci, int State, const TRect& R, const TPoint& pP,
                 TBitmap* ItemBmp);
// A control's background and its border mask (BorderIndex); ParentCenterColor and CtrlParentColor
// hold the parent's colours for the time of the call.
void PaintItem(TsCommonData* SkinData, const TCacheInfo& ci, bool Filling, int State, const TRect& R, const TPoint& pP,
               TBitmap* ItemBmp, bool UpdateCorners);

// The visible centre colour of the parent of the control being painted, and the parent's own
// colour; clSkinKey (none) outside the painting of one control.
extern TColor ParentCenterColor;
extern TColor CtrlParentColor;

// ---------------------------------------------------------------------------------------------
// Skinned text, glyphs and marks (sGraphUtilsText.cpp). Flags are DrawText flags. Unless Flags
// hold DT_WORDBREAK, R is first fitted to the text's extent (centred, left or right aligned) and
// comes back as that rectangle grown by 1 on each side.

// Disabled text's colour: halfway between the text colour and the background under it.
TColor DisabledTextColor(TColor Text, TColor Back);
// Text in the canvas's font; disabled, embossed in the highlight and shadow colours.
void WriteText(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags);
// Text in the section's colours: its one-pixel contours (left, top, right, bottom; -1 none),
// then the text in FONTCOLOR (HOT... when Hot); the current font colour without a section.
// Disabled: once in DisabledTextColor of FONTCOLOR and what lies under the text; embossed without
// a section.
void WriteTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags, int SkinIndex, bool Hot);
// A control's text in its own font and its section's colours (its own colour and no contour with
// CustomFont), clipped to R as passed; a hot "WEBBUTTON" is underlined.
void WriteTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags, TsCommonData* SkinData, bool Hot);
// The same with the DC's current font and colour (disabled: once in DisabledTextColor of it).
void WriteTextOnDC(HDC DC, const char* Text, bool Enabled, TRect& R, int Flags);
// The text shortened by its last characters until it fits MaxWidth with "..." after it; empty
// when nothing fits.
AnsiString CutText(TCanvas* Canvas, const AnsiString& Text, int MaxWidth);
// A button glyph (NumGlyphs 1: one image; 2: normal and disabled side by side) into DstBmp at
// R's top-left, its key colour being its bottom-left pixel: grey, blended by Blend percent of
// the background or copied, by state.
void DrawGlyphEx(TBitmap* Glyph, TBitmap* DstBmp, const TRect& R, int NumGlyphs, bool Enabled, bool Grayed,
                 TsDisabledGlyphKind DisabledGlyphKind, int State, int Blend);
// The check mark polygon in R.
void PaintCheck(TCanvas* Canvas, const TRect& R, bool Enabled, TColor Color);
// The dotted focus frame: black dots every third pixel, white ones beside them.
void FocusRect(TCanvas* Canvas, const TRect& R);
// The focus frame around a text's extent, two clear pixels from it on every side.
void FocusRectAround(TCanvas* Canvas, const TRect& Text);
// Where DrawText puts Text drawn into R with Flags (in the canvas's font): its extent placed as the
// alignment flags place it.
TRect TextExtentIn(TCanvas* Canvas, const char* Text, const TRect& R, int Flags);

// Building blocks shared with the reference routines of sPixelRef.
namespace sgu {
// Fills R of Bmp (clipped) with one colour, directly in memory.
void FillBmp(TBitmap* Bmp, const TRect& R, TColor Color);
// Copies w x h pixels from (sx, sy) of Src to (dx, dy) of Dst, both clipped alike.
void CopyBlock(TBitmap* Dst, int dx, int dy, TBitmap* Src, int sx, int sy, int w, int h);
// Tiles Src's rectangle SrcR over R of Dst in memory (the tiling of TileBitmap).
void TileRect(TBitmap* Dst, const TRect& R, TBitmap* Src, const TRect& SrcR);
// The fades with the mask mixing routine given.
using TMaskBlend = void (*)(TBitmap*, TBitmap*, TsColor);
void FadeRectWith(TMaskBlend Blend, TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint,
                  int Transparency, TColor Color, int Blur, TsShadowingShape Shape, int Radius);
void FadeBmpWith(TMaskBlend Blend, TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius);
} // namespace sgu
