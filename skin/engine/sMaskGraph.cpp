// Mask drawing.
#include "sMaskGraph.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sPixelRows.h"
#include "sVclUtils.h"

namespace {

int WidthOf(const TRect& R) { return R.right - R.left; }
int HeightOf(const TRect& R) { return R.bottom - R.top; }

// Sizes of a mask's rectangle in 64 bits: a rectangle made by hand may span any integers.
Int64 Width64(const TRect& R) { return Int64(R.right) - R.left; }
Int64 Height64(const TRect& R) { return Int64(R.bottom) - R.top; }

// Tiles a region with cell-sized pieces from its top-left corner, the last column and row cut.
template <class Piece>
void Pieces(const TRect& Region, const TRect& Cell, Piece piece)
{
    const int cw = WidthOf(Cell), ch = HeightOf(Cell);
    if (cw <= 0 || ch <= 0)
        return;
    for (int y = Region.top; y < Region.bottom; y += ch)
        for (int x = Region.left; x < Region.right; x += cw)
            piece(Rect(x, y, std::min<int>(x + cw, Region.right), std::min<int>(y + ch, Region.bottom)),
                  Bounds(Cell.left, Cell.top, std::min<int>(cw, Region.right - x), std::min<int>(ch, Region.bottom - y)));
}

enum TPieceKind { pkCorner, pkSide, pkCentre };

void CopyMasterOn(const TPixelView& d, const TPixelView& m, const TPixelView& Parent, int X, int Y, const TRect& Dst,
                  const TRect& Src, int MaskOffset, bool KeysStay);

// The four corners in the order of TsCorner: where each lies over R and where it comes from.
struct TCornerPiece {
    TRect Dst, Src;
};
std::array<TCornerPiece, 4> Corners(const TRect& R, const TBorderCells& c, const TCornerSizes& s)
{
    const int bx = c.Left, by = c.Top, right = bx + 3 * c.CW, bottom = by + 3 * c.CH;
    return {{{Bounds(R.left, R.top, s.DW, s.DH), Bounds(bx, by, s.DW, s.DH)},
             {Bounds(R.left, R.bottom - s.DH2, s.DW, s.DH2), Bounds(bx, bottom - s.DH2, s.DW, s.DH2)},
             {Bounds(R.right - s.DW2, R.top, s.DW2, s.DH), Bounds(right - s.DW2, by, s.DW2, s.DH)},
             {Bounds(R.right - s.DW2, R.bottom - s.DH2, s.DW2, s.DH2), Bounds(right - s.DW2, bottom - s.DH2, s.DW2, s.DH2)}}};
}

// The frame of DrawSkinRect and DrawSmallSkinRect in its order: each corner handed to
// Corner(dst, src); each side and the centre to Tile(kind, region, cell), the region being tiled
// with whole cells from one cell inside R's edges up to one cell before the far edges.
template <class Corner, class Tile>
void DrawFrame(const TRect& R, bool Filling, const TBorderCells& c, const TCornerSizes& s, Corner corner, Tile tile)
{
    const int bx = c.Left, by = c.Top, right = bx + 3 * c.CW, bottom = by + 3 * c.CH;
    const int l = R.left + c.CW, t = R.top + c.CH, r = R.right - c.CW, b = R.bottom - c.CH;
    const auto k = Corners(R, c, s);
    auto side = [&](TPieceKind kind, const TRect& region, const TRect& cell) {
        if (region.left < region.right && region.top < region.bottom)
            tile(kind, region, cell);
    };
    corner(k[scLeftTop].Dst, k[scLeftTop].Src);
    side(pkSide, Rect(R.left, t, R.left + s.DW, b), Bounds(bx, by + c.CH, s.DW, c.CH));
    side(pkSide, Rect(l, R.top, r, R.top + s.DH), Bounds(bx + c.CW, by, c.CW, s.DH));
    corner(k[scLeftBottom].Dst, k[scLeftBottom].Src);
    side(pkSide, Rect(l, R.bottom - s.DH2, r, R.bottom), Bounds(bx + c.CW, bottom - s.DH2, c.CW, s.DH2));
    corner(k[scRightBottom].Dst, k[scRightBottom].Src);
    corner(k[scRightTop].Dst, k[scRightTop].Src);
    side(pkSide, Rect(R.right - s.DW2, t, R.right, b), Bounds(right - s.DW2, by + c.CH, s.DW2, c.CH));
    if (Filling)
        side(pkCentre, Rect(l, t, r, b), Bounds(bx + c.CW, by + c.CH, c.CW, c.CH));
}

// Tiles the picture cell Cell of m over Region of d through its mask MaskOffset rows lower, a
// whole row of tiles per call. Keyed: key pixels take CtrlParentColor when it is known, else
// stay; otherwise every pixel is blended.
void TileMixOn(const TPixelView& d, const TPixelView& m, const TRect& Region, const TRect& Cell, int MaskOffset, bool Keyed)
{
    const int cw = WidthOf(Cell), ch = HeightOf(Cell);
    const int x0 = std::max<int>(Region.left, 0), x1 = std::min<int>(Region.right, d.Width);
    const int y0 = std::max<int>(Region.top, 0), y1 = std::min<int>(Region.bottom, d.Height);
    if (cw <= 0 || ch <= 0 || x1 <= x0 || y1 <= y0 || MaskOffset < 0 || Cell.left < 0 || Cell.top < 0 ||
        Cell.right > m.Width || Cell.bottom + MaskOffset > m.Height)
        return;
    const int n = x1 - x0, phase = (x0 - Region.left) % cw;
    // Rows without a key pixel need no key test: they go through the plain blend.
    thread_local struct {
        std::vector<Byte> Rows;
        std::vector<char> Keyed;
    } kept; // kept from one call to the next: a frame is several calls, items are painted by the hundred
    std::vector<char>& keyed = kept.Keyed;
    keyed.assign(static_cast<std::size_t>(ch), 0);
    bool anyKey = false;
    for (int cy = 0; Keyed && cy < ch; ++cy) {
        const Byte* src = m.At(Cell.left, Cell.top + cy, cw);
        for (int x = 0; x < cw; ++x)
            keyed[cy] |= PixelRGB(src + 3 * x) == KeyPixel;
        anyKey = anyKey || keyed[cy];
    }
    // Each cell row laid out once, picture and mask: over the region's width, or, without key
    // pixels, over one period of whole cells and whole 16-byte blocks that the blend repeats.
    const int period = std::lcm(3 * cw, 16);
    const int laidBytes = anyKey || period >= 3 * n ? 3 * n : period;
    std::vector<Byte>& rowsBuf = kept.Rows;
    rowsBuf.resize(static_cast<std::size_t>(2 * ch) * laidBytes);
    auto laid = [&](int cy, int band) { return rowsBuf.data() + (static_cast<std::size_t>(2 * cy + band)) * laidBytes; };
    for (int cy = 0; cy < ch; ++cy)
        for (int band = 0; band < 2; ++band) {
            const Byte* src = m.At(Cell.left, Cell.top + cy + band * MaskOffset, cw);
            Byte* out = laid(cy, band);
            const int first = std::min(3 * (cw - phase), laidBytes);
            for (int i = 0; i < first; ++i) // a few bytes: no library call
                out[i] = src[3 * phase + i];
            rows::Repeat(out + first, laidBytes - first, src, 3 * cw);
        }
    const TsColor cc = ColorToSColor(ColorToRGB(CtrlParentColor));
    const Byte fill[3] = {cc.B, cc.G, cc.R};
    const bool colour = CtrlParentColor != clSkinKey;
    for (int y = y0; y < y1; ++y) {
        const int cy = (y - Region.top) % ch;
        Byte* to = d.At(x0, y, n);
        if (laidBytes < 3 * n)
            rows::MixByMaskRepeated(to, laid(cy, 0), laid(cy, 1), 3 * n, laidBytes);
        else if (!keyed[cy])
            rows::MixByMask(to, laid(cy, 0), laid(cy, 1), 3 * n);
        else
            rows::MixByMaskKeyed(to, laid(cy, 0), laid(cy, 1), n, [&](int, Byte* px) {
                if (colour)
                    std::copy_n(fill, 3, px);
                return true;
            });
    }
    // The rows of a large region are not kept past the call.
    if (rowsBuf.capacity() > 256 * 1024)
        std::vector<Byte>().swap(rowsBuf);
}

void DrawMaskFrame(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State,
                   bool UpdateCorners, bool Small)
{
    if (!Bmp || WidthOf(R) < 2 || HeightOf(R) < 2)
        return;
    const TBorderCells c = BorderCells(Mask, State);
    if (!c.Valid() || (Small && c.Own))
        return;
    const TCornerSizes s = CornerSizes(c, WidthOf(R), HeightOf(R), c.Own || Small ? 0 : Mask.BorderWidth);
    // The bitmaps are looked up once for all the pieces.
    const TPixelView to = TPixelView::Of(Bmp), from = TPixelView::Of(c.Src);
    const TPixelView parent = CI.Ready ? TPixelView::Of(CI.Bmp) : TPixelView{};
    const int maskOffset = c.Own ? from.Height / 2 : HeightOf(Mask.R) / 2;
    if (c.Own || Mask.MaskType >= 1) {
        // Corners take the parent under their key pixels; sides and centre are tiled row by row.
        auto corner = [&](const TRect& d, const TRect& src) {
            if (c.Own)
                CopyByMaskOn(to, from, UpdateCorners ? parent : TPixelView{}, CI.X, CI.Y, d, src);
            else
                CopyMasterOn(to, from, parent, CI.X, CI.Y, d, src, maskOffset, false);
        };
        DrawFrame(R, Filling, c, s, corner, [&](TPieceKind, const TRect& region, const TRect& cell) {
            if (Small)
                Pieces(region, cell, [&](const TRect& d, const TRect& src) {
                    CopyMasterOn(to, from, parent, CI.X, CI.Y, d, src, maskOffset, false);
                });
            else
                TileMixOn(to, from, region, cell, maskOffset, !c.Own);
        });
    } else {
        // Without a blend mask: corners by key colour, the rest copied as it is.
        auto corner = [&](const TRect& d, const TRect& src) {
            CopyTransRect(Bmp, c.Src, d.left, d.top, Rect(src.left, src.top, src.right - 1, src.bottom - 1), clSkinKey, CI, UpdateCorners);
        };
        DrawFrame(R, Filling && (Small || Mask.BorderWidth == 0), c, s, corner, [&](TPieceKind, const TRect& region, const TRect& cell) {
            sgu::TileRect(Bmp, region, c.Src, cell);
        });
    }
}

} // namespace

TBorderCells BorderCells(const TsMaskData& Mask, int State)
{
    TBorderCells c;
    if (Mask.Bmp && !Mask.Bmp->Empty()) {
        c.Own = true;
        c.Src = Mask.Bmp.get();
        c.CW = c.Src->Width() / 9;
        c.CH = c.Src->Height() / 6;
        c.Left = std::clamp(State, 0, 2) * 3 * c.CW;
        c.MaskOffset = c.Src->Height() / 2;
    } else if (MasterBitmap && !MasterBitmap->Empty() && Mask.ImageCount > 0 &&
               RectWithin(Mask.R, MasterBitmap->Width(), MasterBitmap->Height())) {
        const int count = Mask.ImageCount, bands = std::max<int>(Mask.MaskType, 0) + 1;
        const int w = WidthOf(Mask.R), h = HeightOf(Mask.R);
        State = std::clamp(State, 0, count - 1);
        c.Src = MasterBitmap.get();
        c.CW = w / (count * 3);
        c.CH = h / (bands * 3);
        c.Left = Mask.R.left + w * State / count;
        c.Top = Mask.R.top;
        c.MaskOffset = h / bands;
    }
    return c;
}

TCornerSizes CornerSizes(const TBorderCells& Cells, int W, int H, int BorderWidth)
{
    TCornerSizes s;
    const bool halfW = W < 2 * Cells.CW, halfH = H < 2 * Cells.CH;
    s.DW = halfW ? W / 2 : Cells.CW;
    s.DH = halfH ? H / 2 : Cells.CH;
    if (BorderWidth > 0) {
        s.DW = std::min(s.DW, BorderWidth);
        s.DH = std::min(s.DH, BorderWidth);
    }
    s.DW2 = s.DW + (halfW && W % 2 ? 1 : 0);
    s.DH2 = s.DH + (halfH && H % 2 ? 1 : 0);
    return s;
}

void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State,
                  bool UpdateCorners)
{
    DrawMaskFrame(Bmp, R, Filling, CI, Mask, State, UpdateCorners, false);
}

void DrawSmallSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& Mask, int State)
{
    DrawMaskFrame(Bmp, R, Filling, CI, Mask, State, false, true);
}

namespace {

// CopyMasterRect on views; Parent empty when the cache is not to be used.
void CopyMasterOn(const TPixelView& d, const TPixelView& m, const TPixelView& Parent, int X, int Y, const TRect& Dst,
                  const TRect& Src, int MaskOffset, bool KeysStay)
{
    if (d.Empty() || m.Empty() || MaskOffset < 0)
        return;
    int w = std::min(WidthOf(Dst), WidthOf(Src)), h = std::min(HeightOf(Dst), HeightOf(Src));
    int dx = Dst.left, dy = Dst.top, sx = Src.left, sy = Src.top;
    const int shiftX = std::max({0, -dx, -sx}), shiftY = std::max({0, -dy, -sy});
    dx += shiftX, sx += shiftX, w -= shiftX;
    dy += shiftY, sy += shiftY, h -= shiftY;
    w = std::min({w, d.Width - dx, m.Width - sx});
    h = std::min({h, d.Height - dy, m.Height - sy, m.Height - MaskOffset - sy});
    if (w <= 0 || h <= 0)
        return;
    const bool colour = !KeysStay && CtrlParentColor != clSkinKey;
    const TsColor cc = ColorToSColor(ColorToRGB(CtrlParentColor));
    const Byte fill[3] = {cc.B, cc.G, cc.R};
    const bool parent = !KeysStay && !Parent.Empty();
    for (int y = 0; y < h; ++y) {
        const int py = dy + y + Y;
        rows::MixByMaskKeyed(d.At(dx, dy + y, w), m.At(sx, sy + y, w), m.At(sx, sy + y + MaskOffset, w), w, [&](int x, Byte* to) {
            if (colour) {
                std::copy_n(fill, 3, to);
                return true;
            }
            if (!parent)
                return true;
            const int px = dx + x + X;
            if (!Parent.Contains(px, py))
                return false; // the rest of the row is skipped
            std::copy_n(Parent.At(px, py), 3, to);
            return true;
        });
    }
}

void CopyMaster(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask, bool KeysStay)
{
    if (!MasterBitmap || !Bmp)
        return;
    const TPixelView c = CI.Ready ? TPixelView::Of(CI.Bmp) : TPixelView{};
    CopyMasterOn(TPixelView::Of(Bmp), TPixelView::Of(MasterBitmap.get()), c, CI.X, CI.Y, Dst, Src, HeightOf(Mask.R) / 2, KeysStay);
}

} // namespace

void CopyMasterRect(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask)
{
    CopyMaster(Dst, Src, Bmp, CI, Mask, false);
}

void CopyMasterRectA(const TRect& Dst, const TRect& Src, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& Mask)
{
    CopyMaster(Dst, Src, Bmp, CI, Mask, true);
}

void BlendGlyphByMask(const TRect& Src, const TRect& Dst, TBitmap* Bmp, TColor Key, int Mode, const TsMaskData& Mask, TBitmap* Source)
{
    if (Mask.MaskType < 1) {
        CopyTransRectA(Bmp, Source, Dst.left, Dst.top, Src, Key);
        return;
    }
    TPixelView d = TPixelView::Of(Bmp), s = TPixelView::Of(Source);
    if (d.Empty() || s.Empty())
        return;
    const Int64 band = (Mask.Bmp ? s.Height : Height64(Mask.R)) / (Mask.MaskType + 1);
    const TsColor k = ColorToSColor(ColorToRGB(Key));
    const int raise = Mode == 1 ? 0 : 100;
    // Both rectangles are inclusive. The offsets x, y run over what lies inside both bitmaps (the
    // mask row too), found before the loops: a rectangle may be far larger than either bitmap.
    const Int64 w = std::min(Width64(Src), Width64(Dst)), h = std::min(Height64(Src), Height64(Dst));
    const Int64 x0 = std::max<Int64>({0, -Int64(Dst.left), -Int64(Src.left)});
    const Int64 x1 = std::min<Int64>({w, d.Width - 1 - Int64(Dst.left), s.Width - 1 - Int64(Src.left)});
    const Int64 y0 = std::max<Int64>({0, -Int64(Dst.top), -Int64(Src.top)});
    const Int64 y1 = std::min<Int64>({h, d.Height - 1 - Int64(Dst.top), s.Height - 1 - band - Src.top});
    for (Int64 y = y0; y <= y1; ++y) {
        const int ty = static_cast<int>(Dst.top + y), sy = static_cast<int>(Src.top + y);
        for (Int64 x = x0; x <= x1; ++x) {
            const int tx = static_cast<int>(Dst.left + x), sx = static_cast<int>(Src.left + x);
            const Byte *sp = s.At(sx, sy), *mp = s.At(sx, static_cast<int>(sy + band));
            if (sp[0] == k.B && sp[1] == k.G && sp[2] == k.R)
                continue;
            Byte* dp = d.At(tx, ty);
            for (int i = 0; i < 3; ++i) {
                const int m = std::min(mp[i] + raise, 255);
                dp[i] = static_cast<Byte>((m * dp[i] + sp[i] * (255 - m)) >> 8);
            }
        }
    }
}

void DrawSkinGlyph(TBitmap* Bmp, const TPoint& P, int State, int Mode, const TsMaskData& Mask)
{
    if (!Bmp)
        return;
    const int bands = std::max<int>(Mask.MaskType, 0) + 1;
    TBitmap* source;
    Int64 cw, ch, sx, sy;
    if (Mask.Bmp && !Mask.Bmp->Empty()) {
        source = Mask.Bmp.get();
        cw = source->Width() / 3;
        ch = source->Height() / bands;
        sx = std::clamp(State, 0, 2) * cw;
        sy = 0;
    } else if (MasterBitmap && Mask.ImageCount > 0) {
        source = MasterBitmap.get();
        cw = Width64(Mask.R) / Mask.ImageCount;
        ch = Height64(Mask.R) / bands;
        sx = Mask.R.left + std::clamp(State, 0, Mask.ImageCount - 1) * cw;
        sy = Mask.R.top;
    } else
        return;
    // A cell reaching past its source is cut to it before anything is drawn.
    cw = std::min<Int64>(cw, source->Width() - sx);
    ch = std::min<Int64>(ch, source->Height() - sy);
    if (cw <= 0 || ch <= 0 || sx < 0 || sy < 0)
        return;
    // A negative point cuts the cell's first columns or rows.
    const Int64 dx = std::max<Int64>(0, -Int64(P.x)), dy = std::max<Int64>(0, -Int64(P.y));
    if (dx >= cw || dy >= ch || P.x >= Bmp->Width() || P.y >= Bmp->Height())
        return;
    auto i32 = [](Int64 v) { return static_cast<int>(v); };
    const TRect src = Rect(i32(sx + dx), i32(sy + dy), i32(sx + cw - 1), i32(sy + ch - 1));
    const TRect dst = Rect(i32(P.x + dx), i32(P.y + dy), i32(P.x + cw - 1), i32(P.y + ch - 1));
    if (Mask.Bmp || Mask.MaskType >= 1)
        BlendGlyphByMask(src, dst, Bmp, clSkinKey, Mode, Mask, source);
    else if (Mode == 1)
        CopyTransRect(Bmp, source, dst.left, dst.top, src, clSkinKey, EmptyCI, false);
    else
        BlendTransRectangle(Bmp, dst.left, dst.top, source, src, 0.5, ColorToSColor(clSkinKey));
}

void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind Kind, TControl* Parent, const TCacheInfo& CI, const TPoint& Offset)
{
    if (!Bmp || Bmp->Empty())
        return;
    if (Kind.Contains(dkGrayed))
        GrayScale(Bmp);
    if (!Kind.Contains(dkBlended))
        return;
    const int w = Bmp->Width(), h = Bmp->Height();
    if (CI.Ready && CI.Bmp) {
        const int x = CI.X + Offset.x, y = CI.Y + Offset.y;
        BlendTransRectangle(Bmp, 0, 0, CI.Bmp, Rect(x, y, x + w, y + h), 0.4, TsColor{0, 0, 0, 0xFF});
        return;
    }
    TColor c = ParentCenterColor;
    if (c == clSkinKey && Parent)
        c = ColorToRGB(Parent->Color());
    // Without a parent nor its centre colour there is nothing to mix with.
    if (c != clSkinKey)
        FadeBmp(Bmp, Rect(0, 0, w, h), 50, ColorToSColor(ColorToRGB(c)), 0, 0);
}

void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color)
{
    TPixelView v = TPixelView::Of(Bmp);
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>(R.right, v.Width);
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>(R.bottom, v.Height);
    if (x1 <= x0 || y1 <= y0)
        return;
    const int p = std::min(static_cast<int>(static_cast<Byte>(Percent)), 100);
    const TsColor c = ColorToSColor(ColorToRGB(Color));
    const int colour[3] = {c.B, c.G, c.R};
    // Every channel value meets one of 256 results per channel: a table does the arithmetic once.
    Byte tables[3][256];
    for (int i = 0; i < 3; ++i)
        for (int ch = 0; ch < 256; ++ch) {
            const int num = ch * p + colour[i] * (100 - p), q = num / 100, r = num % 100;
            tables[i][ch] = static_cast<Byte>(q + (r > 50 || (r == 50 && (q & 1))));
        }
    for (int y = y0; y < y1; ++y)
        rows::Map(v.At(x0, y, x1 - x0), x1 - x0, tables);
}

void UpdateCorners(TBitmap* Cache, const TRect& Bounds, const TsMaskData& Mask, int State, TsCorners Which,
                   const TCacheInfo& CI, TColor ParentColor)
{
    const int w = WidthOf(Bounds), h = HeightOf(Bounds);
    if (Mask.Bmp || w < 2 || h < 2) {
        ParentCenterColor = clSkinKey;
        return;
    }
    const TBorderCells c = BorderCells(Mask, State);
    TPixelView d = TPixelView::Of(Cache), m = c.Valid() ? TPixelView::Of(c.Src) : TPixelView{};
    const TPixelView parent = CI.Ready ? TPixelView::Of(CI.Bmp) : TPixelView{};
    if (d.Empty() || m.Empty()) {
        ParentCenterColor = clSkinKey;
        return;
    }
    const auto corner = Corners(Rect(0, 0, w, h), c, CornerSizes(c, w, h, Mask.BorderWidth));
    const TsColor pc = ColorToSColor(ColorToRGB(ParentColor));
    const Byte fill[3] = {pc.B, pc.G, pc.R};
    for (TsCorner k : {scLeftTop, scLeftBottom, scRightBottom, scRightTop}) {
        if (!Which.Contains(k))
            continue;
        const TCornerPiece& p = corner[k];
        for (int y = 0; y < HeightOf(p.Dst); ++y)
            for (int x = 0; x < WidthOf(p.Dst); ++x) {
                const int tx = p.Dst.left + x, ty = p.Dst.top + y, sx = p.Src.left + x, sy = p.Src.top + y;
                if (!d.Contains(tx, ty) || !m.Contains(sx, sy) || PixelRGB(m.At(sx, sy)) != KeyPixel)
                    continue;
                const int px = tx + Bounds.left + CI.X, py = ty + Bounds.top + CI.Y;
                if (ParentColor != clSkinKey)
                    std::copy_n(fill, 3, d.At(tx, ty));
                else if (parent.Contains(px, py))
                    std::copy_n(parent.At(px, py), 3, d.At(tx, ty));
            }
    }
    ParentCenterColor = clSkinKey;
}

void UpdateCorners(TsCommonData* SkinData, int State, TsCorners Which)
{
    if (!SkinData || !IsValidImgIndex(SkinData->BorderIndex))
        return;
    const TsMaskData& mask = ma[SkinData->BorderIndex];
    TControl* owner = SkinData->FOwnerControl;
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (mask.Bmp || mask.ImageCount == 0 || !cache || !owner || owner->Width() < 2 || owner->Height() < 2)
        return;
    const TCacheInfo ci = GetParentCache(SkinData);
    TWinControl* parent = owner->Parent();
    TColor colour = clSkinKey;
    if (parent && !ci.Ready) {
        colour = ColorToRGB(parent->Color());
    } else if (parent && !SkinData->ParentTextured()) {
        if (ParentCenterColor == clSkinKey)
            InitParentColor(parent);
        colour = ParentCenterColor;
    }
    UpdateCorners(cache, owner->BoundsRect(), mask, State, Which, ci, colour);
}
