// Row access to 24-bit bitmaps and the row kernels of the pixel routines. A kernel works on n
// bytes (or pixels) of one row, never calls anything per pixel, and uses SSE2 where it pays;
// the bitmap routines of sGraphUtils and sMaskGraph clip their rectangles and hand rows here.
#pragma once

#include <emmintrin.h>

#include <cstddef>

#include "Graphics.h"
#include "Types.h"

// The rows of a 24-bit bitmap: the top row's address and the distance between rows (negative
// for the bottom-up rows of a DIB section). Empty for a missing or empty bitmap.
struct TPixelView {
    Byte* Top = nullptr;
    std::ptrdiff_t Stride = 0;
    int Width = 0, Height = 0;

    // Switches the bitmap to 24 bits per pixel first (the format every pixel routine reads).
    static TPixelView Of(TBitmap* Bmp);
    bool Empty() const { return Top == nullptr; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
    // Pixel (x, y), or the start of n pixels from it; every access is checked against the
    // bitmap, so that a clipping fault raises EInvalidGraphicOperation instead of touching
    // memory outside it.
    Byte* At(int x, int y, int n = 1) const
    {
        if (!Contains(x, y) || n < 0 || n > Width - x)
            OutOfRange();
        return Top + Stride * y + 3 * x;
    }
    Byte* Row(int y) const { return At(0, y, Width); }

private:
    [[noreturn]] static void OutOfRange();
};

// CopyByMask on views, for callers that draw many pieces into one bitmap: Parent is the parent
// cache at (X, Y) under the destination's origin, empty when it is not to be used.
void CopyByMaskOn(const TPixelView& d, const TPixelView& s, const TPixelView& Parent, int X, int Y, const TRect& R1, const TRect& R2);

// A pixel's three bytes (blue, green, red) as one number 0xRRGGBB, the layout of the key colour.
inline unsigned PixelRGB(const Byte* p) { return p[2] | (p[1] << 8) | (static_cast<unsigned>(p[0]) << 16); }
constexpr unsigned KeyPixel = 0xFF00FF;

// v rounded to the nearest byte value, halves to even (the SSE2 conversion in its default mode),
// anything below 0 or not a number giving 0 and anything above 255 giving 255.
inline Byte RoundByte(double v)
{
    return static_cast<Byte>(_mm_cvtsd_si32(_mm_set_sd(v > 0 ? (v < 255 ? v : 255.0) : 0.0)));
}

namespace rows {

// Round half to even of v / 256 (v at most 65280).
inline Byte RoundShr8(unsigned v) { return static_cast<Byte>((v + 127 + ((v >> 8) & 1)) >> 8); }

// d := round((d * k + s * (256 - k)) / 256), halves to even; k 0..255.
void SumBytes(Byte* d, const Byte* s, int n, int k);
// d := floor((d * k + s * (768 - k)) / 768); k 0..765.
void SumBytes768(Byte* d, const Byte* s, int n, int k);
// Per channel of each pixel: d := (d * m + c * (255 - m)) shr 8, c the pixel's channel of
// Color (bytes in pixel order blue, green, red); n bytes, a whole number of pixels.
void BlendToColor(Byte* d, const Byte* m, int n, const Byte Color[3]);
// d := (d * m + s * (255 - m)) shr 8, the blend of a picture into the destination by its mask.
void MixByMask(Byte* d, const Byte* s, const Byte* m, int n);
// MixByMask with a picture and mask of Period bytes (a multiple of 16) repeated over the n bytes.
void MixByMaskRepeated(Byte* d, const Byte* s, const Byte* m, int n, int Period);
// Each pixel's three bytes := (b0 + b1 + b2) div 3.
void Gray(Byte* p, int pixels);
// Each byte through the table of its channel (tables in pixel order blue, green, red).
void Map(Byte* p, int pixels, const Byte (*Tables)[256]);
// n bytes of one colour pattern (a pixel's three bytes repeated).
void Fill(Byte* d, int pixels, const Byte Pixel[3]);
// Fills n bytes of d with the bytes of s (length len) repeated from its start.
void Repeat(Byte* d, int n, const Byte* s, int len);

// The blend of MixByMask over n pixels, except that a key-coloured picture pixel x is handed to
// OnKey(x, destination pixel) instead; OnKey answers false to leave the rest of the row as it is.
template <class OnKey>
void MixByMaskKeyed(Byte* d, const Byte* s, const Byte* m, int n, OnKey onKey)
{
    int run = 0;
    for (int x = 0; x < n; ++x) {
        const Byte* p = s + 3 * x;
        if (p[0] != 0xFF || p[1] != 0 || p[2] != 0xFF)
            continue;
        MixByMask(d + 3 * run, s + 3 * run, m + 3 * run, 3 * (x - run));
        run = x + 1;
        if (!onKey(x, d + 3 * x))
            return;
    }
    MixByMask(d + 3 * run, s + 3 * run, m + 3 * run, 3 * (n - run));
}

} // namespace rows
