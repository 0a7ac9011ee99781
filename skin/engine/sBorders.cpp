// Region borders and raster glyphs.
#include "sBorders.h"

#include <algorithm>

#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sPixelRows.h"

namespace {

int WidthOf(const TRect& R) { return R.right - R.left; }
int HeightOf(const TRect& R) { return R.bottom - R.top; }

// What the cell painter works with: the mask image, its blend mask offset, the key colour, and
// whether the cells are copied opaque (a master-image mask without blend mask).
struct TCellSource {
    TPixelView Src;
    int MaskOffset = 0;
    TsColor Key{};
    bool Opaque = false;
};

// Removes the one-pixel-high run [x0, x1) of row y from the region.
void CutRun(HRGN Rgn, int x0, int x1, int y)
{
    if (!Rgn || x1 <= x0)
        return;
    TRegion run = TRegion::Rect(x0, y, x1, y + 1);
    CombineRgn(Rgn, Rgn, run.Get(), RGN_DIFF);
}

// Paints source cell S into D (both inclusive of their right and bottom edges).
void PaintCell(TPixelView& d, const TCellSource& c, HRGN Rgn, const TRect& D, const TRect& S)
{
    if (D.left < 0 || D.top < 0 || S.left < 0 || S.top < 0)
        return;
    if (c.Opaque) {
        const int w = std::min({WidthOf(S) + 1, d.Width - static_cast<int>(D.left), c.Src.Width - static_cast<int>(S.left)});
        for (int y = 0; y <= HeightOf(S) && D.top + y < d.Height && S.top + y < c.Src.Height; ++y)
            if (w > 0)
                std::copy_n(c.Src.At(S.left, S.top + y, w), 3 * w, d.At(D.left, D.top + y, w));
        return;
    }
    const int h = std::min({HeightOf(D), HeightOf(S), d.Height - 1 - static_cast<int>(D.top),
                            c.Src.Height - 1 - static_cast<int>(S.top) - c.MaskOffset});
    const int w = std::min({WidthOf(D), WidthOf(S), d.Width - 1 - static_cast<int>(D.left), c.Src.Width - 1 - static_cast<int>(S.left)});
    if (w < 0)
        return;
    for (int y = 0; y <= h; ++y) {
        Byte* dp = d.At(D.left, D.top + y, w + 1);
        const Byte* sp = c.Src.At(S.left, S.top + y, w + 1);
        const Byte* mp = c.Src.At(S.left, S.top + y + c.MaskOffset, w + 1);
        int run = -1;
        for (int x = 0; x <= w; ++x, dp += 3, sp += 3, mp += 3) {
            if (sp[0] == c.Key.B && sp[1] == c.Key.G && sp[2] == c.Key.R) {
                if (run < 0)
                    run = x;
                continue;
            }
            if (run >= 0)
                CutRun(Rgn, D.left + run, D.left + x, D.top + y);
            run = -1;
            for (int i = 0; i < 3; ++i)
                dp[i] = static_cast<Byte>((mp[i] * dp[i] + sp[i] * (255 - mp[i])) >> 8);
        }
        if (run >= 0)
            CutRun(Rgn, D.left + run, D.left + w + 1, D.top + y);
    }
}

// The nine cells of one state: sides of full cells between the corners, the last one cut.
void PaintBorderCells(TBitmap* Bmp, HRGN Rgn, bool Filling, const TCellSource& c, const TBorderCells& cells)
{
    TPixelView d = TPixelView::Of(Bmp);
    if (d.Empty() || !cells.Valid())
        return;
    const int W = d.Width, H = d.Height, cw = cells.CW, ch = cells.CH;
    const TCornerSizes s = CornerSizes(cells, W, H, 0);
    const int bx = cells.Left, by = cells.Top, right = bx + 3 * cw, bottom = by + 3 * ch;
    // A piece of w x h pixels at (x, y) from (sx, sy).
    auto cell = [&](int x, int y, int w, int h, int sx, int sy) {
        if (w > 0 && h > 0)
            PaintCell(d, c, Rgn, Rect(x, y, x + w - 1, y + h - 1), Rect(sx, sy, sx + w - 1, sy + h - 1));
    };
    // Full cells from `from` while below `limit`, then one cut to end at `end`.
    auto run = [](int from, int limit, int end, int size, auto piece) {
        int p = from;
        for (; p < limit; p += size)
            piece(p, size);
        if (p < end)
            piece(p, end - p);
    };
    cell(0, 0, s.DW, s.DH, bx, by);
    run(ch, H - 2 * s.DH2, H - s.DH2, ch, [&](int y, int h) { cell(0, y, s.DW, h, bx, by + ch); });
    run(cw, W - 2 * s.DW2, W - s.DW2, cw, [&](int x, int w) { cell(x, 0, w, s.DH, bx + cw, by); });
    cell(0, H - s.DH2, s.DW, s.DH2, bx, bottom - s.DH2);
    run(cw, W - 2 * s.DW2, W - s.DW2, cw, [&](int x, int w) { cell(x, H - s.DH2, w, s.DH2, bx + cw, bottom - s.DH2); });
    cell(W - s.DW2, H - s.DH2, s.DW2, s.DH2, right - s.DW2, bottom - s.DH2);
    cell(W - s.DW2, 0, s.DW2, s.DH, right - s.DW2, by);
    run(ch, H - 2 * s.DH2, H - s.DH2, ch, [&](int y, int h) { cell(W - s.DW2, y, s.DW2, h, right - s.DW2, by + ch); });
    if (Filling && !c.Opaque)
        run(ch, H - 2 * ch, H - ch, ch, [&](int y, int h) {
            run(cw, W - 2 * cw, W - cw, cw, [&](int x, int w) { cell(x, y, w, h, bx + cw, by + ch); });
        });
}

} // namespace

void PaintRgnBorder(TBitmap* Bmp, HRGN Rgn, bool Filling, const TsMaskData& Mask, int State)
{
    if (!Bmp || Bmp->Width() < 3 || Bmp->Height() < 3)
        return;
    const TBorderCells cells = BorderCells(Mask, State);
    if (!cells.Valid())
        return;
    TCellSource c;
    c.Src = TPixelView::Of(cells.Src);
    c.Key = ColorToSColor(clSkinKey);
    c.Opaque = !cells.Own && Mask.MaskType == 0;
    c.MaskOffset = cells.Own ? cells.Src->Height() / 2 : HeightOf(Mask.R) / 2;
    PaintBorderCells(Bmp, c.Opaque ? nullptr : Rgn, Filling, c, cells);
}

void PaintRasterBorder(TBitmap* Bmp, TBitmap* Border, int State, HRGN Rgn, TColor TransColor, bool Filling)
{
    if (!Bmp || !Border || Border->Empty() || Bmp->Width() < 3 || Bmp->Height() < 3)
        return;
    TBorderCells cells;
    cells.Src = Border;
    cells.Own = true;
    cells.CW = Border->Width() / 9;
    cells.CH = Border->Height() / 6;
    cells.Left = std::max(State, 0) * 3 * cells.CW;
    TCellSource c;
    c.Src = TPixelView::Of(Border);
    c.Key = ColorToSColor(ColorToRGB(TransColor));
    c.MaskOffset = Border->Height() / 2;
    PaintBorderCells(Bmp, Rgn, Filling, c, cells);
}

namespace {

// The cell of a three-state, two-band glyph image at P, cut where P is negative: source and
// destination as inclusive rectangles; false when nothing is to be drawn.
bool GlyphCell(TBitmap* Bmp, TBitmap* Glyph, const TPoint& P, int State, TRect& Src, TRect& Dst)
{
    if (!Bmp || !Glyph || Glyph->Empty())
        return false;
    const int cw = Glyph->Width() / 3, ch = Glyph->Height() / 2;
    if (cw <= 0 || ch <= 0 || Bmp->Width() <= cw || Bmp->Height() <= ch)
        return false;
    Bmp->SetPixelFormat(pf24bit);
    Glyph->SetPixelFormat(pf24bit);
    const int dx = std::max<int>(-P.x, 0), dy = std::max<int>(-P.y, 0), sx = std::clamp(State, 0, 2) * cw;
    Src = Rect(sx + dx, dy, sx + cw - 1, ch - 1);
    Dst = Rect(P.x + dx, P.y + dy, P.x + cw - 1, P.y + ch - 1);
    return dx < cw && dy < ch;
}

} // namespace

void PaintBlendGlyph(TBitmap* Bmp, TBitmap* Glyph, const TPoint& P, int Blend, TColor Color, int State)
{
    TRect src, dst;
    if (GlyphCell(Bmp, Glyph, P, State, src, dst))
        BlendGlyphByMask(src, dst, Bmp, Color, Blend, TsMaskData{}, Glyph);
}

void PaintRasterGlyph(TBitmap* Bmp, TBitmap* Glyph, const TPoint& P, int State, TColor TransColor)
{
    TRect src, dst;
    if (!GlyphCell(Bmp, Glyph, P, State, src, dst))
        return;
    TPixelView d = TPixelView::Of(Bmp), g = TPixelView::Of(Glyph);
    const int below = g.Height / 2;
    const TsColor key = ColorToSColor(ColorToRGB(TransColor));
    for (int y = 0; y <= HeightOf(src); ++y) {
        const int ty = dst.top + y, sy = src.top + y;
        if (ty >= d.Height || sy + below >= g.Height)
            break;
        for (int x = 0; x <= WidthOf(src); ++x) {
            const int tx = dst.left + x, sx = src.left + x;
            if (tx >= d.Width || sx >= g.Width)
                break;
            const Byte *s = g.At(sx, sy), *m = g.At(sx, sy + below);
            if (s[0] == key.B && s[1] == key.G && s[2] == key.R)
                continue;
            Byte* p = d.At(tx, ty);
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<Byte>(((m[i] * p[i]) >> 8) + s[i] - ((m[i] * s[i]) >> 8));
        }
    }
}
