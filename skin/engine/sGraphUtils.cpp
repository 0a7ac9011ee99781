// The bitmap primitives: each routine clips its rectangles against every bitmap it touches and
// hands whole row spans to the kernels of sPixelRows.
#include "sGraphUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Jpeg.h"
#include "SysUtils.h"
#include "sPixelRows.h"

namespace {

int WidthOf(const TRect& R) { return R.right - R.left; }
int HeightOf(const TRect& R) { return R.bottom - R.top; }

// The pixel bytes of a colour in pixel order (blue, green, red).
struct TPixel {
    Byte b[3];
};
TPixel PixelOf(TsColor C) { return TPixel{{C.B, C.G, C.R}}; }
TPixel PixelOf(TColor C) { return PixelOf(ColorToSColor(ColorToRGB(C))); }
bool Same(const Byte* p, const TPixel& k) { return p[0] == k.b[0] && p[1] == k.b[1] && p[2] == k.b[2]; }

double Clamp01(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }

// Moves a start that lies before 0 to 0, moving the other start and shortening the count alike.
void ShiftNegative(int& a, int& b, int& count)
{
    if (a < 0) {
        b -= a;
        count += a;
        a = 0;
    }
}

// The columns x = 0..last (inclusive) for which both DstX + x and SrcX + x lie within their
// widths: [x0, x1]; empty when x1 < x0.
void Columns(int DstX, int DstW, int SrcX, int SrcW, int last, int& x0, int& x1)
{
    x0 = std::max<int>({0, -DstX, -SrcX});
    x1 = std::min<int>({last, DstW - 1 - DstX, SrcW - 1 - SrcX});
}

} // namespace

TColor ParentCenterColor = clSkinKey;
TColor CtrlParentColor = clSkinKey;

void SumBitmaps(TBitmap* Bmp1, TBitmap* Bmp2, TsColor Color)
{
    if (!Bmp1 || !Bmp2 || Bmp1->Width() != Bmp2->Width() || Bmp1->Height() != Bmp2->Height())
        return;
    TPixelView d = TPixelView::Of(Bmp1), s = TPixelView::Of(Bmp2);
    if (d.Empty() || s.Empty())
        return;
    for (int y = 0; y < d.Height; ++y)
        rows::SumBytes(d.Row(y), s.Row(y), 3 * d.Width, Color.R);
}

void SumBmpRect(TBitmap* BmpDst, TBitmap* BmpSrc, TsColor Color, const TRect& R, const TPoint& P)
{
    TPixelView d = TPixelView::Of(BmpDst), s = TPixelView::Of(BmpSrc);
    if (d.Empty() || s.Empty())
        return;
    const int k = Color.R + Color.G + Color.B;
    const int h = std::min<int>(HeightOf(R), s.Height - R.top - 1);
    const int w = std::min<int>(WidthOf(R), s.Width - R.left - 1);
    int x0, x1;
    Columns(P.x, d.Width, R.left, s.Width, w, x0, x1);
    if (x1 < x0)
        return;
    for (int y = std::max<int>({0, -R.top, -P.y}); y <= h; ++y) {
        if (P.y + y >= d.Height || R.top + y >= s.Height)
            break;
        const int n = x1 - x0 + 1;
        rows::SumBytes768(d.At(P.x + x0, P.y + y, n), s.At(R.left + x0, R.top + y, n), 3 * n, k);
    }
}

void BlendBmpByMask(TBitmap* Bmp1, TBitmap* Mask, TsColor Color)
{
    if (!Bmp1 || !Mask || Bmp1->Width() != Mask->Width() || Bmp1->Height() != Mask->Height())
        return;
    TPixelView d = TPixelView::Of(Bmp1), m = TPixelView::Of(Mask);
    if (d.Empty() || m.Empty())
        return;
    const TPixel c = PixelOf(Color);
    for (int y = 0; y < d.Height; ++y)
        rows::BlendToColor(d.Row(y), m.Row(y), 3 * d.Width, c.b);
}

void SumByMask(TBitmap* Src1, TBitmap* Src2, TBitmap* Mask, const TRect& R)
{
    if (!Src1 || !Src2 || !Mask || WidthOf(R) > Src1->Width() || HeightOf(R) > Src1->Height())
        return;
    TPixelView a = TPixelView::Of(Src1), b = TPixelView::Of(Src2), m = TPixelView::Of(Mask);
    if (a.Empty() || b.Empty() || m.Empty())
        return;
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>({R.right, a.Width, b.Width, m.Width});
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>({R.bottom, a.Height, b.Height, m.Height});
    if (x1 <= x0)
        return;
    for (int y = y0; y < y1; ++y) {
        Byte* p = a.At(x0, y, x1 - x0);
        const Byte *q = b.At(x0, y, x1 - x0), *k = m.At(x0, y, x1 - x0);
        for (int i = 0; i < 3 * (x1 - x0); ++i)
            p[i] = static_cast<Byte>((p[i] * k[i] + q[i] * (256 - k[i])) >> 8);
    }
}

void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, const TCacheInfo& CI, bool)
{
    if (!Bmp1 || !Bmp2)
        return;
    const TPixelView d = TPixelView::Of(Bmp1), s = TPixelView::Of(Bmp2);
    const TPixelView c = CI.Ready ? TPixelView::Of(CI.Bmp) : TPixelView{};
    CopyByMaskOn(d, s, c, CI.X, CI.Y, R1, R2);
}

void CopyByMaskOn(const TPixelView& d, const TPixelView& s, const TPixelView& Parent, int X, int Y, const TRect& R1, const TRect& R2)
{
    if (d.Empty() || s.Empty())
        return;
    int h = std::min<int>({HeightOf(R2), HeightOf(R1), d.Height - R1.top, s.Height - R2.top}) - 1;
    int w = std::min<int>({WidthOf(R2), WidthOf(R1), d.Width - R1.left, s.Width - R2.left}) - 1;
    if (h < 0 || w < 0)
        return;
    int dx = R1.left, sx = R2.left, dy = R1.top, sy = R2.top;
    ShiftNegative(dx, sx, w);
    ShiftNegative(sx, dx, w);
    ShiftNegative(dy, sy, h);
    ShiftNegative(sy, dy, h);
    const int maskOffset = s.Height / 2;
    // The mask rows must lie inside the bitmap as well.
    h = std::min<int>({h, s.Height - 1 - maskOffset - sy, d.Height - 1 - dy});
    w = std::min<int>({w, s.Width - 1 - sx, d.Width - 1 - dx});
    if (h < 0 || w < 0)
        return;
    for (int y = 0; y <= h; ++y) {
        Byte* dr = d.At(dx, dy + y, w + 1);
        const Byte* sr = s.At(sx, sy + y, w + 1);
        const Byte* mr = s.At(sx, maskOffset + sy + y, w + 1);
        if (Parent.Empty()) {
            rows::MixByMask(dr, sr, mr, 3 * (w + 1));
            continue;
        }
        // A key pixel takes the parent's pixel under it.
        const int py = Y + dy + y;
        rows::MixByMaskKeyed(dr, sr, mr, w + 1, [&](int x, Byte* to) {
            const int px = X + dx + x;
            if (py < 0 || px >= Parent.Width)
                return false;
            if (px >= 0 && py < Parent.Height)
                std::copy_n(Parent.At(px, py), 3, to);
            return true;
        });
    }
}

void BlendTransRectangle(TBitmap* Dst, int X, int Y, TBitmap* Src, const TRect& SrcRect, double Blend, TsColor TransColor)
{
    try {
        TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
        if (d.Empty() || s.Empty())
            return;
        Blend = Clamp01(Blend);
        TRect r = SrcRect;
        int ox = 0, oy = 0;
        if (r.top < 0) {
            oy = r.top;
            r.top = 0;
        }
        if (r.left < 0) {
            ox = r.left;
            r.left = 0;
        }
        r.bottom = std::min<int>(r.bottom, s.Height - 1);
        r.right = std::min<int>(r.right, s.Width - 1);
        const bool keyed = TransColor.A != 0xFF;
        const TPixel key = PixelOf(TransColor);
        for (int y = 0; y <= r.bottom - r.top; ++y) {
            const int ty = Y + y - oy;
            if (Y + y > d.Height - 1 || ty > d.Height - 1)
                break;
            if (ty < 0)
                continue;
            for (int x = 0; x <= r.right - r.left; ++x) {
                const int tx = X + x - ox;
                if (tx > d.Width - 1)
                    break;
                if (tx < 0 || r.left + x >= s.Width)
                    continue;
                const Byte* sp = s.At(r.left + x, r.top + y);
                if (keyed && Same(sp, key))
                    continue;
                Byte* dp = d.At(tx, ty);
                for (int i = 0; i < 3; ++i)
                    dp[i] = RoundByte(sp[i] - (sp[i] - dp[i]) * Blend);
            }
        }
    } catch (...) {
    }
}

void BlendTransBitmap(TBitmap* Bmp, double Blend, TsColor Color, TsColor TransColor)
{
    TPixelView v = TPixelView::Of(Bmp);
    Blend = Clamp01(Blend);
    const TPixel key = PixelOf(TransColor), c = PixelOf(Color);
    for (int y = 0; y < v.Height; ++y) {
        Byte* p = v.Row(y);
        for (int x = 0; x < v.Width; ++x, p += 3)
            if (!Same(p, key))
                for (int i = 0; i < 3; ++i)
                    p[i] = RoundByte((p[i] - c.b[i]) * Blend + c.b[i]);
    }
}

void GrayScale(TBitmap* Bmp)
{
    TPixelView v = TPixelView::Of(Bmp);
    for (int y = 0; y < v.Height; ++y)
        rows::Gray(v.Row(y), v.Width);
}

void GrayScaleTrans(TBitmap* Bmp, TsColor TransColor)
{
    TPixelView v = TPixelView::Of(Bmp);
    const TPixel key = PixelOf(TransColor);
    for (int y = 0; y < v.Height; ++y) {
        Byte* p = v.Row(y);
        for (int x = 0; x < v.Width; ++x, p += 3)
            if (!Same(p, key))
                rows::Gray(p, 1);
    }
}

TColor ChangeColor(TColor Color1, TColor Color2, double Percent)
{
    const TsColor a = ColorToSColor(ColorToRGB(Color1)), b = ColorToSColor(ColorToRGB(Color2));
    auto mix = [&](int c1, int c2) { return RoundByte(c1 - (c1 - c2) * Percent); };
    return SColorToColor(TsColor{mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B)});
}

TsColor AverageColor(TsColor Color1, TsColor Color2)
{
    auto avg = [](Byte a, Byte b) { return static_cast<Byte>((a + b) >> 1); };
    return TsColor{avg(Color1.R, Color2.R), avg(Color1.G, Color2.G), avg(Color1.B, Color2.B), avg(Color1.A, Color2.A)};
}

namespace {

// Copies the pixels of Src's inclusive rectangle (l, t)-(r, b) that are not the key to Dst at
// (X, Y); pixels outside Dst are skipped.
void CopyKeyed(TPixelView& d, TPixelView& s, int X, int Y, int l, int t, int r, int b, const TPixel& key)
{
    int x0, x1;
    Columns(X, d.Width, l, s.Width, r - l, x0, x1);
    if (x1 < x0)
        return;
    for (int y = std::max<int>({0, -Y, -t}); y <= b - t && Y + y < d.Height && t + y < s.Height; ++y) {
        const Byte* sp = s.At(l + x0, t + y, x1 - x0 + 1);
        Byte* dp = d.At(X + x0, Y + y, x1 - x0 + 1);
        for (int x = x0; x <= x1; ++x, sp += 3, dp += 3)
            if (!Same(sp, key))
                std::copy_n(sp, 3, dp);
    }
}

} // namespace

void CopyTransBitmaps(TBitmap* Dst, TBitmap* Src, int X, int Y, TsColor TransColor)
{
    TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
    if (!d.Empty() && !s.Empty())
        CopyKeyed(d, s, X, Y, 0, 0, s.Width - 1, s.Height - 1, PixelOf(TransColor));
}

void CopyTransRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor, const TCacheInfo&, bool)
{
    CopyTransRectA(Dst, Src, X, Y, SrcRect, TransColor);
}

void CopyTransRectA(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor)
{
    TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
    if (d.Empty() || s.Empty())
        return;
    CopyKeyed(d, s, X, Y, std::max<int>(SrcRect.left, 0), std::max<int>(SrcRect.top, 0), std::min<int>(SrcRect.right, s.Width - 1),
              std::min<int>(SrcRect.bottom, s.Height - 1), PixelOf(TransColor));
}

void CopyRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor)
{
    TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
    if (d.Empty() || s.Empty())
        return;
    const int l = std::max<int>(SrcRect.left, 0), t = std::max<int>(SrcRect.top, 0);
    const int r = std::min<int>(SrcRect.right, s.Width), b = std::min<int>(SrcRect.bottom, s.Height);
    int x0, x1;
    Columns(X, d.Width, l, s.Width, r - l - 1, x0, x1);
    if (x1 < x0)
        return;
    for (int y = std::max<int>(0, -Y); y < b - t && Y + y < d.Height; ++y)
        std::copy_n(s.At(l + x0, t + y, x1 - x0 + 1), 3 * (x1 - x0 + 1), d.At(X + x0, Y + y, x1 - x0 + 1));
}

// ---------------------------------------------------------------------------------------------
// Fades

namespace {

// The mask of a fade: white (what no ring covers keeps the picture), drawn on in greys without
// a pen.
class TFadeMask {
public:
    TFadeMask(int w, int h) : Bmp(w, h), dc_(Bmp.Canvas()->Handle()), keep_(dc_)
    {
        sgu::FillBmp(&Bmp, Rect(0, 0, w, h), clWhite);
        SelectObject(dc_, GetStockObject(NULL_PEN));
    }
    void Round(int g, int l, int t, int r, int b, int corner)
    {
        TGdiHandle<HBRUSH> brush(CreateSolidBrush(RGB(g, g, g)));
        HGDIOBJ old = SelectObject(dc_, brush.Get());
        RoundRect(dc_, l, t, r, b, corner, corner);
        SelectObject(dc_, old);
    }
    void Fill(int g, const TRect& r)
    {
        TGdiHandle<HBRUSH> brush(CreateSolidBrush(RGB(g, g, g)));
        FillRect(dc_, &r, brush.Get());
    }
    TBitmap Bmp;

private:
    HDC dc_;
    TSavedDC keep_;
};

// Copies R of v into a new bitmap and back.
void CopyOut(TPixelView& v, const TRect& R, TBitmap& To)
{
    TPixelView t = TPixelView::Of(&To);
    for (int y = 0; y < t.Height; ++y)
        std::copy_n(v.At(R.left, R.top + y, t.Width), 3 * t.Width, t.Row(y));
}

void CopyIn(TPixelView& v, const TRect& R, TBitmap& From)
{
    TPixelView f = TPixelView::Of(&From);
    for (int y = 0; y < f.Height; ++y)
        std::copy_n(f.Row(y), 3 * f.Width, v.At(R.left, R.top + y, f.Width));
}

} // namespace

namespace sgu {

void FadeRectWith(TMaskBlend Blend, TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint,
                  int Transparency, TColor Color, int Blur, TsShadowingShape Shape, int Radius)
{
    const int w = WidthOf(SrcRect), h = HeightOf(SrcRect);
    if (!SrcCanvas || !DstDC || w <= 0 || h <= 0)
        return;
    Transparency = std::clamp(Transparency, 0, 100);
    if (Transparency == 0) {
        FillDC(DstDC, Bounds(DstPoint.x, DstPoint.y, w, h), Color);
        return;
    }
    HDC src = SrcCanvas->Handle();
    TSavedDC keepSrc(src), keepDst(DstDC);
    if (Transparency == 100) {
        BitBlt(DstDC, DstPoint.x, DstPoint.y, w, h, src, SrcRect.left, SrcRect.top, SRCCOPY);
        return;
    }
    TBitmap picture(w, h);
    BitBlt(picture.Canvas()->Handle(), 0, 0, w, h, src, SrcRect.left, SrcRect.top, SRCCOPY);
    Blur = std::clamp(Blur, 0, std::min<int>(h / 2, w / 2));
    Radius = std::max<int>(Radius, 0);
    const int t = Transparency * 255 / 100;
    const double step = (255.0 - t) / (Blur + 1);
    TFadeMask mask(w, h);
    for (int i = 0; i <= Blur; ++i) {
        const int g = t + RoundByte((Blur - i) * step);
        if (Shape == ssRectangle)
            mask.Round(g, i, i, w - i + 1, h - i + 1, Blur + Radius);
        else
            mask.Fill(g, Rect(i, i, w - i, h - i));
    }
    Blend(&picture, &mask.Bmp, ColorToSColor(ColorToRGB(Color)));
    BitBlt(DstDC, DstPoint.x, DstPoint.y, w, h, picture.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void FadeBmpWith(TMaskBlend Blend, TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius)
{
    TPixelView v = TPixelView::Of(Bmp);
    if (v.Empty())
        return;
    const TRect r = Rect(std::max<int>(R.left, 0), std::max<int>(R.top, 0), std::min<int>(R.right, v.Width), std::min<int>(R.bottom, v.Height));
    const int w = WidthOf(r), h = HeightOf(r);
    if (w <= 0 || h <= 0)
        return;
    Transparency = std::clamp(Transparency, 0, 100);
    const int limit = std::min<int>(h / 2, w / 2);
    Blur = std::clamp(Blur, 0, limit);
    Radius = std::clamp(Radius, 0, limit);
    TBitmap picture(w, h);
    CopyOut(v, r, picture);
    const int t = Transparency * 255 / 100;
    const double step = (255.0 - t) / (Blur + 1);
    if (Blur == 0) {
        // The inside covers the whole mask with t: no rings to draw.
        TBitmap mask(w, h, pf24bit);
        sgu::FillBmp(&mask, Rect(0, 0, w, h), RGB(t, t, t));
        Blend(&picture, &mask, Color);
    } else {
        TFadeMask mask(w, h);
        int g = 255;
        for (int i = 0; i <= Blur; ++i) {
            mask.Round(g, i, i, w - i, h - i, Radius);
            g = t + RoundByte((Blur - i) * step);
        }
        mask.Fill(g, Rect(Blur, Blur, w - Blur, h - Blur));
        Blend(&picture, &mask.Bmp, Color);
    }
    v = TPixelView::Of(Bmp);
    CopyIn(v, r, picture);
}

void FillBmp(TBitmap* Bmp, const TRect& R, TColor Color)
{
    TPixelView v = TPixelView::Of(Bmp);
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>(R.right, v.Width);
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>(R.bottom, v.Height);
    if (x1 <= x0 || y1 <= y0)
        return;
    const TPixel c = PixelOf(Color);
    rows::Fill(v.At(x0, y0, x1 - x0), x1 - x0, c.b);
    for (int y = y0 + 1; y < y1; ++y)
        std::copy_n(v.At(x0, y0, x1 - x0), 3 * (x1 - x0), v.At(x0, y, x1 - x0));
}

void CopyBlock(TBitmap* Dst, int dx, int dy, TBitmap* Src, int sx, int sy, int w, int h)
{
    TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
    if (d.Empty() || s.Empty())
        return;
    ShiftNegative(dx, sx, w);
    ShiftNegative(sx, dx, w);
    ShiftNegative(dy, sy, h);
    ShiftNegative(sy, dy, h);
    w = std::min({w, d.Width - dx, s.Width - sx});
    h = std::min({h, d.Height - dy, s.Height - sy});
    for (int y = 0; y < h && w > 0; ++y)
        std::copy_n(s.At(sx, sy + y, w), 3 * w, d.At(dx, dy + y, w));
}

void TileRect(TBitmap* Dst, const TRect& R, TBitmap* Src, const TRect& SrcR)
{
    TPixelView d = TPixelView::Of(Dst), s = TPixelView::Of(Src);
    if (d.Empty() || s.Empty())
        return;
    const int sl = std::max<int>(SrcR.left, 0), st = std::max<int>(SrcR.top, 0);
    const int sw = std::min<int>(SrcR.right, s.Width) - sl, sh = std::min<int>(SrcR.bottom, s.Height) - st;
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>(R.right, d.Width);
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>(R.bottom, d.Height);
    if (sw <= 0 || sh <= 0 || x1 <= x0 || y1 <= y0)
        return;
    const int n = x1 - x0, phase = (x0 - R.left) % sw;
    const int first = std::min<int>(sw - phase, n);
    for (int y = y0; y < y1; ++y) {
        Byte* row = d.At(x0, y, n);
        if (y - sh >= y0) { // the same source row was laid out sh rows above
            std::copy_n(d.At(x0, y - sh, n), 3 * n, row);
            continue;
        }
        const Byte* src = s.At(sl, st + (y - R.top) % sh, sw);
        std::copy_n(src + 3 * phase, 3 * first, row);
        rows::Repeat(row + 3 * first, 3 * (n - first), src, 3 * sw);
    }
}

} // namespace sgu

void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency, TColor Color,
              int Blur, TsShadowingShape Shape, int Radius)
{
    sgu::FadeRectWith(BlendBmpByMask, SrcCanvas, SrcRect, DstDC, DstPoint, Transparency, Color, Blur, Shape, Radius);
}

void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius)
{
    sgu::FadeBmpWith(BlendBmpByMask, Bmp, R, Transparency, Color, Blur, Radius);
}

// ---------------------------------------------------------------------------------------------
// Fills, frames, tiling, images and metrics

void FillDC(HDC DC, const TRect& R, TColor Color)
{
    if (!DC)
        return;
    TSavedDC keep(DC);
    TGdiHandle<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color))));
    FillRect(DC, &R, brush.Get());
}

void DrawRectangleOnDC(HDC DC, TRect& R, TColor ColorTop, TColor ColorBottom, int& Width)
{
    if (!DC)
        return;
    TSavedDC keep(DC);
    SelectObject(DC, GetStockObject(NULL_BRUSH));
    TGdiHandle<HPEN> top(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(ColorTop))));
    TGdiHandle<HPEN> bottom(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(ColorBottom))));
    --R.right;
    --R.bottom;
    for (; Width > 0; --Width) {
        const POINT a[3] = {{R.left, R.bottom}, {R.left, R.top}, {R.right, R.top}};
        SelectObject(DC, top.Get());
        Polyline(DC, a, 3);
        const POINT b[3] = {{R.right, R.top}, {R.right, R.bottom}, {R.left - 1, R.bottom}};
        SelectObject(DC, bottom.Get());
        Polyline(DC, b, 3);
        InflateRect(&R, -1, -1);
    }
    ++R.right;
    ++R.bottom;
}

namespace {

// Tiles SrcR of Src over R of the context, one bit-block transfer per tile, the last column and
// row cut to R.
void TileOnDC(HDC DC, const TRect& R, TBitmap* Src, const TRect& SrcR)
{
    const int w = WidthOf(SrcR), h = HeightOf(SrcR);
    if (!DC || !Src || w <= 0 || h <= 0)
        return;
    HDC from = Src->Canvas()->Handle();
    for (int x = R.left; x < R.right; x += w)
        for (int y = R.top; y < R.bottom; y += h)
            BitBlt(DC, x, y, std::min<int>(w, R.right - x), std::min<int>(h, R.bottom - y), from, SrcR.left, SrcR.top, SRCCOPY);
}

// The rectangle R clipped to the bitmap.
TRect Within(TBitmap* Bmp, const TRect& R)
{
    return Rect(std::max<int>(R.left, 0), std::max<int>(R.top, 0), std::min<int>(R.right, Bmp->Width()), std::min<int>(R.bottom, Bmp->Height()));
}

} // namespace

void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Image)
{
    if (!Canvas || !Image || Image->Width() <= 0 || Image->Height() <= 0)
        return;
    TBitmap* src = dynamic_cast<TBitmap*>(Image);
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Image))
        src = jpeg->Bitmap(); // drawn at its own size, so its decoded pixels are the tile
    if (src && !src->Empty())
        TileOnDC(Canvas->Handle(), R, src, Rect(0, 0, src->Width(), src->Height()));
}

void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Image, const TsMaskData& Mask)
{
    if (Image && !Image->Empty())
        TileBitmap(Canvas, R, Image);
    else if (Canvas && MasterBitmap)
        TileOnDC(Canvas->Handle(), R, MasterBitmap.get(), Within(MasterBitmap.get(), Mask.R));
}

void TileBitmapFromOther(TCanvas* Canvas, const TRect& R, const TsMaskData& Mask)
{
    if (Canvas && Mask.Bmp)
        TileOnDC(Canvas->Handle(), R, Mask.Bmp.get(), Within(Mask.Bmp.get(), Mask.R));
}

void AddRgn(std::vector<TRect>& Rects, int Width, const TsMaskData& Mask, int VertOffset, bool Bottom)
{
    TBitmap* src = nullptr;
    int cw = 0, ch = 0, stateW = 0, ox = 0, oy = 0;
    if (Mask.Bmp && !Mask.Bmp->Empty()) {
        src = Mask.Bmp.get();
        cw = src->Width() / 9;
        ch = src->Height() / 6;
        stateW = src->Width() / 3;
    } else if (MasterBitmap && Mask.ImageCount > 0 && RectWithin(Mask.R, MasterBitmap->Width(), MasterBitmap->Height())) {
        src = MasterBitmap.get();
        cw = WidthOf(Mask.R) / (Mask.ImageCount * 3);
        ch = HeightOf(Mask.R) / ((std::max<int>(Mask.MaskType, 0) + 1) * 3);
        stateW = WidthOf(Mask.R) / Mask.ImageCount;
        ox = Mask.R.left;
        oy = Mask.R.top;
    }
    TPixelView v = TPixelView::Of(src);
    const int band = oy + (Bottom ? 2 * ch : 0);
    if (v.Empty() || cw <= 0 || ch <= 0 || band < 0 || v.Height < band + ch)
        return;
    // Runs of key pixels over columns [from, to) of the band, placed at column `at` + x.
    auto runs = [&](int from, int to, int at) {
        for (int y = 0; y < ch; ++y) {
            int start = -1;
            for (int x = from; x <= to; ++x) {
                const bool key = x < to && v.Contains(ox + x, band + y) && PixelRGB(v.At(ox + x, band + y)) == KeyPixel;
                if (key && start < 0)
                    start = x;
                else if (!key && start >= 0) {
                    Rects.push_back(Rect(at + start, VertOffset + y, at + x, VertOffset + y + 1));
                    start = -1;
                }
            }
        }
    };
    runs(0, cw, 0);
    runs(stateW * 2 / 3, stateW, Width - stateW);
}

void GradientBmp(TBitmap* Bmp, const TRect& R, TsColor Color1, TsColor Color2, TGradientTypes GradType,
                 signed char Percent1, signed char Percent2, int Size)
{
    TPixelView v = TPixelView::Of(Bmp);
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>(R.right, v.Width);
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>(R.bottom, v.Height);
    if (x1 <= x0 || y1 <= y0)
        return;
    const TsColor c1 = ColorToSColor(ColorToRGB(SColorToColor(Color1))), c2 = ColorToSColor(ColorToRGB(SColorToColor(Color2)));
    const TsColor mid = AverageColor(c1, c2);
    // The colour at distance i from the near edge and j from the far edge of an extent.
    auto colourAt = [&](int i, int j, int extent) {
        const int a = std::min<int>(std::max<int>(1, Percent1 * Size / 100), extent);
        const int b = std::min<int>(std::max<int>(1, Size * Percent2 / 100), extent);
        auto ramp = [](TsColor from, TsColor to, double f) {
            auto ch = [f](Byte p, Byte q) { return RoundByte(p + (q - p) * f); };
            return TsColor{ch(from.R, to.R), ch(from.G, to.G), ch(from.B, to.B)};
        };
        if (i < a)
            return ramp(c1, mid, static_cast<double>(i) / a);
        if (j < b)
            return ramp(mid, c2, static_cast<double>(b - j) / b);
        return mid;
    };
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            TsColor c;
            if (GradType == gtTopBottom)
                c = colourAt(y - y0, y1 - 1 - y, y1 - y0);
            else if (GradType == gtLeftRight)
                c = colourAt(x - x0, x1 - 1 - x, x1 - x0);
            else {
                const int edge = std::min<int>({x - x0, y - y0, x1 - 1 - x, y1 - 1 - y});
                c = colourAt(edge, std::max<int>(x1 - x0, y1 - y0), std::min<int>(x1 - x0, y1 - y0));
            }
            Byte* p = v.At(x, y);
            p[0] = c.B;
            p[1] = c.G;
            p[2] = c.R;
        }
}

std::unique_ptr<TBitmap> CreateBmpLike(TBitmap* Bmp)
{
    return std::make_unique<TBitmap>(Bmp ? Bmp->Width() : 0, Bmp ? Bmp->Height() : 0, pf24bit);
}

void CopyImage(TBitmap* Glyph, TCustomImageList* Images, int Index)
{
    if (!Glyph || !Images)
        return;
    Glyph->SetPixelFormat(pf24bit);
    Glyph->SetSize(Images->Width(), Images->Height());
    sgu::FillBmp(Glyph, Rect(0, 0, Glyph->Width(), Glyph->Height()), Images->BkColor() == clNone ? clSkinKey : Images->BkColor());
    Images->Draw(Glyph->Canvas(), 0, 0, Index);
}

bool LoadJpegOrBmp(TPicture* Image, const AnsiString& FileName, bool Gray)
{
    if (!Image)
        return false;
    if (!FileExists(FileName)) {
        Image->SetGraphic(nullptr);
        return false;
    }
    const AnsiString ext = UpperCase(ExtractFileExt(FileName));
    if (ext == ".JPG" || ext == ".JPEG") {
        TJPEGImage jpeg;
        jpeg.SetGrayscale(Gray);
        jpeg.LoadFromFile(FileName);
        Image->SetGraphic(&jpeg);
    } else if (ext == ".BMP") {
        TBitmap bmp;
        bmp.LoadFromFile(FileName);
        bmp.SetPixelFormat(pf24bit);
        if (Gray)
            GrayScale(&bmp);
        Image->SetGraphic(&bmp);
    }
    return false;
}

namespace {

// The screen's context with a font selected for the lifetime of the object.
class TScreenFontDC {
public:
    explicit TScreenFontDC(HFONT Font) : dc_(GetDC(nullptr)), old_(dc_ && Font ? SelectObject(dc_, Font) : nullptr) {}
    ~TScreenFontDC()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    TScreenFontDC(const TScreenFontDC&) = delete;
    TScreenFontDC& operator=(const TScreenFontDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace

int GetFontHeight(HFONT Font)
{
    TScreenFontDC dc(Font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.Get(), &tm);
    return tm.tmHeight + 6;
}

TSize GetStringSize(HFONT Font, const AnsiString& Text)
{
    TScreenFontDC dc(Font);
    TSize size{0, 0};
    if (!GetTextExtentPoint32A(dc.Get(), Text.c_str(), static_cast<int>(Text.size()), &size))
        return TSize{0, 0};
    return size;
}
