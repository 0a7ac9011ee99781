// Reference pixel routines: one pixel at a time, floating point where the definition says so.
#include "sPixelRef.h"

#include <algorithm>
#include <cmath>

namespace ref {
namespace {

Byte* Row(TBitmap* b, int y) { return static_cast<Byte*>(b->ScanLine(y)); }
Byte* Px(TBitmap* b, int x, int y) { return Row(b, y) + 3 * x; }

bool Usable(TBitmap* b)
{
    if (!b || b->Empty())
        return false;
    b->SetPixelFormat(pf24bit);
    return true;
}

bool IsKey(const Byte* p) { return p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF; }

} // namespace

void SumBitmaps(TBitmap* Bmp1, TBitmap* Bmp2, TsColor Color)
{
    if (!Usable(Bmp1) || !Usable(Bmp2) || Bmp1->Width() != Bmp2->Width() || Bmp1->Height() != Bmp2->Height())
        return;
    const double k = Color.R / 256.0;
    for (int y = 0; y < Bmp1->Height(); ++y) {
        Byte *d = Row(Bmp1, y), *s = Row(Bmp2, y);
        for (int x = 0; x < 3 * Bmp1->Width(); ++x)
            d[x] = static_cast<Byte>(std::nearbyint((d[x] - s[x]) * k + s[x]));
    }
}

void SumBmpRect(TBitmap* BmpDst, TBitmap* BmpSrc, TsColor Color, const TRect& R, const TPoint& P)
{
    if (!Usable(BmpDst) || !Usable(BmpSrc))
        return;
    const int k = Color.R + Color.G + Color.B;
    const int h = std::min<int>(R.bottom - R.top, BmpSrc->Height() - R.top - 1);
    const int w = std::min<int>(R.right - R.left, BmpSrc->Width() - R.left - 1);
    for (int y = 0; y <= h; ++y) {
        const int dy = P.y + y, sy = R.top + y;
        if (dy < 0 || sy < 0 || dy >= BmpDst->Height() || sy >= BmpSrc->Height())
            continue;
        Byte *drow = Row(BmpDst, dy), *srow = Row(BmpSrc, sy);
        for (int x = 0; x <= w; ++x) {
            const int dx = P.x + x, sx = R.left + x;
            if (dx < 0 || sx < 0 || dx >= BmpDst->Width() || sx >= BmpSrc->Width())
                continue;
            Byte *d = drow + 3 * dx, *s = srow + 3 * sx;
            // trunc((d - s) * k / 768 + s), in exact integers: the sum is never negative.
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<Byte>(((d[i] - s[i]) * k + s[i] * 768) / 768);
        }
    }
}

void BlendBmpByMask(TBitmap* Bmp1, TBitmap* Mask, TsColor Color)
{
    if (!Usable(Bmp1) || !Usable(Mask) || Bmp1->Width() != Mask->Width() || Bmp1->Height() != Mask->Height())
        return;
    const int c[3] = {Color.B, Color.G, Color.R};
    for (int y = 0; y < Bmp1->Height(); ++y) {
        Byte *d = Row(Bmp1, y), *m = Row(Mask, y);
        for (int x = 0; x < 3 * Bmp1->Width(); ++x)
            d[x] = static_cast<Byte>((((d[x] - c[x % 3]) * m[x] + c[x % 3] * 255) & 0xFFFF) >> 8);
    }
}

void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, const TCacheInfo& CI)
{
    if (!Usable(Bmp1) || !Usable(Bmp2))
        return;
    const int W1 = Bmp1->Width(), H1 = Bmp1->Height(), W2 = Bmp2->Width(), H2 = Bmp2->Height();
    int h = std::min<int>({R2.bottom - R2.top, R1.bottom - R1.top, H1 - R1.top, H2 - R2.top}) - 1;
    int w = std::min<int>({R2.right - R2.left, R1.right - R1.left, W1 - R1.left, W2 - R2.left}) - 1;
    if (h < 0 || w < 0)
        return;
    int dl = R1.left, dt = R1.top, sl = R2.left, st = R2.top;
    // Both starts made non-negative by the larger overhang.
    const int ox = std::max<int>({0, -dl, -sl}), oy = std::max<int>({0, -dt, -st});
    dl += ox, sl += ox, w -= ox;
    dt += oy, st += oy, h -= oy;
    const bool ready = CI.Ready && CI.Bmp && !CI.Bmp->Empty();
    if (ready)
        CI.Bmp->SetPixelFormat(pf24bit);
    for (int y = 0; y <= h; ++y) {
        const int dy = dt + y, sy = st + y, my = H2 / 2 + st + y;
        if (dy >= H1 || sy >= H2 || my >= H2)
            break;
        Byte *drow = Row(Bmp1, dy), *srow = Row(Bmp2, sy), *mrow = Row(Bmp2, my);
        for (int x = 0; x <= w; ++x) {
            const int dx = dl + x, sx = sl + x;
            if (dx >= W1 || sx >= W2)
                break;
            Byte *d = drow + 3 * dx, *s = srow + 3 * sx, *m = mrow + 3 * sx;
            if (ready && IsKey(s)) {
                const int px = CI.X + dx, py = CI.Y + dy;
                if (px >= CI.Bmp->Width() || py < 0)
                    break;
                if (px >= 0 && py < CI.Bmp->Height())
                    std::copy_n(Px(CI.Bmp, px, py), 3, d);
                continue;
            }
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<Byte>(((m[i] * (d[i] - s[i]) + s[i] * 255) & 0xFFFF) >> 8);
        }
    }
}

void GrayScale(TBitmap* Bmp)
{
    if (!Usable(Bmp))
        return;
    for (int y = 0; y < Bmp->Height(); ++y) {
        Byte* p = Row(Bmp, y);
        for (int x = 0; x < Bmp->Width(); ++x, p += 3)
            p[0] = p[1] = p[2] = static_cast<Byte>((p[0] + p[1] + p[2]) / 3);
    }
}

void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape, int Radius)
{
    sgu::FadeRectWith(ref::BlendBmpByMask, SrcCanvas, SrcRect, DstDC, DstPoint, Transparency, Color, Blur, Shape, Radius);
}

void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius)
{
    sgu::FadeBmpWith(ref::BlendBmpByMask, Bmp, R, Transparency, Color, Blur, Radius);
}

void CopyMasterRect(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask)
{
    TBitmap* m = MasterBitmap.get();
    if (!Usable(Bmp) || !Usable(m))
        return;
    int w = std::min<int>(Dst.right - Dst.left, Src.right - Src.left), h = std::min<int>(Dst.bottom - Dst.top, Src.bottom - Src.top);
    int dl = Dst.left, dt = Dst.top, sl = Src.left, st = Src.top;
    const int ox = std::max({0, -dl, -sl}), oy = std::max({0, -dt, -st});
    dl += ox, sl += ox, w -= ox;
    dt += oy, st += oy, h -= oy;
    const int below = (Mask.R.bottom - Mask.R.top) / 2;
    if (below < 0)
        return;
    const bool ready = CI.Ready && Usable(CI.Bmp);
    for (int y = 0; y < h; ++y) {
        const int dy = dt + y, sy = st + y;
        if (dy >= Bmp->Height() || sy + below >= m->Height())
            break;
        for (int x = 0; x < w; ++x) {
            const int dx = dl + x, sx = sl + x;
            if (dx >= Bmp->Width() || sx >= m->Width())
                break;
            Byte *d = Px(Bmp, dx, dy), *s = Px(m, sx, sy), *k = Px(m, sx, sy + below);
            if (IsKey(s)) {
                if (CtrlParentColor != clSkinKey) {
                    const TColor c = ColorToRGB(CtrlParentColor);
                    d[0] = GetBValue(c), d[1] = GetGValue(c), d[2] = GetRValue(c);
                    continue;
                }
                if (!ready)
                    continue;
                const int px = dx + CI.X, py = dy + CI.Y;
                if (px < 0 || py < 0 || px >= CI.Bmp->Width() || py >= CI.Bmp->Height())
                    break;
                std::copy_n(Px(CI.Bmp, px, py), 3, d);
                continue;
            }
            for (int i = 0; i < 3; ++i)
                d[i] = static_cast<Byte>(((k[i] * (d[i] - s[i]) + 255 * s[i]) & 0xFFFF) >> 8);
        }
    }
}

void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State,
                  bool UpdateCorners)
{
    const int W = R.right - R.left, H = R.bottom - R.top;
    if (!Bmp || W < 2 || H < 2)
        return;
    const TBorderCells c = BorderCells(Mask, State);
    if (!c.Valid())
        return;
    const TCornerSizes s = CornerSizes(c, W, H, c.Own ? 0 : Mask.BorderWidth);
    const int cw = c.CW, ch = c.CH, bx = c.Left, by = c.Top, right = bx + 3 * cw, bottom = by + 3 * ch;
    const bool plain = !c.Own && Mask.MaskType == 0;
    auto copy = [&](bool corner, int x, int y, int w, int h, int sx, int sy) {
        const TRect d = Rect(x, y, x + w, y + h), from = Rect(sx, sy, sx + w, sy + h);
        if (c.Own)
            ref::CopyByMask(d, from, Bmp, c.Src, corner && UpdateCorners ? CI : EmptyCI);
        else if (!plain)
            ref::CopyMasterRect(d, from, Bmp, corner ? CI : EmptyCI, Mask);
        else if (corner)
            CopyTransRect(Bmp, c.Src, x, y, Rect(sx, sy, sx + w - 1, sy + h - 1), clSkinKey, CI, UpdateCorners);
        else
            ::CopyRect(Bmp, c.Src, x, y, from, clSkinKey);
    };
    // From one cell after the near edge, whole cells while they start before the far edge minus
    // two cells, then the rest up to one cell before the far edge.
    auto along = [](int nearEdge, int farEdge, int cell, auto piece) {
        int p = nearEdge + cell;
        for (; p < farEdge - 2 * cell; p += cell)
            piece(p, cell);
        if (p < farEdge - cell)
            piece(p, farEdge - cell - p);
    };
    copy(true, R.left, R.top, s.DW, s.DH, bx, by);
    along(R.top, R.bottom, ch, [&](int y, int h) { copy(false, R.left, y, s.DW, h, bx, by + ch); });
    along(R.left, R.right, cw, [&](int x, int w) { copy(false, x, R.top, w, s.DH, bx + cw, by); });
    copy(true, R.left, R.bottom - s.DH2, s.DW, s.DH2, bx, bottom - s.DH2);
    along(R.left, R.right, cw, [&](int x, int w) { copy(false, x, R.bottom - s.DH2, w, s.DH2, bx + cw, bottom - s.DH2); });
    copy(true, R.right - s.DW2, R.bottom - s.DH2, s.DW2, s.DH2, right - s.DW2, bottom - s.DH2);
    copy(true, R.right - s.DW2, R.top, s.DW2, s.DH, right - s.DW2, by);
    along(R.top, R.bottom, ch, [&](int y, int h) { copy(false, R.right - s.DW2, y, s.DW2, h, right - s.DW2, by + ch); });
    if (Filling && (!plain || Mask.BorderWidth == 0))
        along(R.top, R.bottom, ch, [&](int y, int h) {
            along(R.left, R.right, cw, [&](int x, int w) { copy(false, x, y, w, h, bx + cw, by + ch); });
        });
}

void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color)
{
    if (!Usable(Bmp))
        return;
    const int p = std::min(static_cast<int>(static_cast<Byte>(Percent)), 100);
    const TColor rgb = ColorToRGB(Color);
    const int c[3] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
    for (int y = std::max<int>(R.top, 0); y < std::min<int>(R.bottom, Bmp->Height()); ++y) {
        Byte* row = Row(Bmp, y);
        for (int x = std::max<int>(R.left, 0); x < std::min<int>(R.right, Bmp->Width()); ++x) {
            Byte* d = row + 3 * x;
            for (int i = 0; i < 3; ++i) {
                // round((d * p + c * (100 - p)) / 100), halves to even, in exact integers
                const int num = d[i] * p + c[i] * (100 - p);
                int q = num / 100;
                if (num % 100 > 50 || (num % 100 == 50 && q % 2 == 1))
                    ++q;
                d[i] = static_cast<Byte>(q);
            }
        }
    }
}

void TileBitmap(TCanvas* Canvas, const TRect& R, TBitmap* Image) { ::TileBitmap(Canvas, R, static_cast<TGraphic*>(Image)); }

} // namespace ref
