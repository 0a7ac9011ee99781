// Row kernels: 16 bytes at a time in SSE2 (each byte widened to 16 bits, mixed, narrowed
// again), the last bytes of a row by the same formula in plain code.
#include "sPixelRows.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

TPixelView TPixelView::Of(TBitmap* Bmp)
{
    TPixelView v;
    if (!Bmp || Bmp->Empty())
        return v;
    if (Bmp->PixelFormat() != pf24bit)
        Bmp->SetPixelFormat(pf24bit);
    v.Width = Bmp->Width();
    v.Height = Bmp->Height();
    // One scan line finishes the drawing still queued for the bitmap; its rows are bottom-up.
    v.Top = static_cast<Byte*>(Bmp->ScanLine(0));
    v.Stride = v.Height > 1 ? -static_cast<std::ptrdiff_t>(Bmp->RowBytes()) : 0;
    return v;
}

void TPixelView::OutOfRange() { throw EInvalidGraphicOperation("Pixel access outside the bitmap"); }

namespace rows {
namespace {

inline __m128i Load(const Byte* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(Byte* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i Lo(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i Hi(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

// (a * m + b * (255 - m)) shr 8 on eight 16-bit lanes; the sum never passes 65025.
inline __m128i MixWords(__m128i a, __m128i b, __m128i m)
{
    const __m128i c255 = _mm_set1_epi16(255);
    __m128i v = _mm_add_epi16(_mm_mullo_epi16(a, m), _mm_mullo_epi16(b, _mm_sub_epi16(c255, m)));
    return _mm_srli_epi16(v, 8);
}

inline __m128i Mix16(__m128i d, __m128i s, __m128i m)
{
    return _mm_packus_epi16(MixWords(Lo(d), Lo(s), Lo(m)), MixWords(Hi(d), Hi(s), Hi(m)));
}

} // namespace

void SumBytes(Byte* d, const Byte* s, int n, int k)
{
    const unsigned kd = static_cast<unsigned>(k), ks = 256 - kd;
    int i = 0;
    const __m128i wd = _mm_set1_epi16(static_cast<short>(kd)), ws = _mm_set1_epi16(static_cast<short>(ks));
    const __m128i c127 = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
    auto half = [&](__m128i dd, __m128i ss) {
        __m128i v = _mm_add_epi16(_mm_mullo_epi16(dd, wd), _mm_mullo_epi16(ss, ws));
        __m128i odd = _mm_and_si128(_mm_srli_epi16(v, 8), one);
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, c127), odd), 8);
    };
    for (; i + 16 <= n; i += 16) {
        __m128i dv = Load(d + i), sv = Load(s + i);
        Store(d + i, _mm_packus_epi16(half(Lo(dv), Lo(sv)), half(Hi(dv), Hi(sv))));
    }
    for (; i < n; ++i)
        d[i] = RoundShr8(d[i] * kd + s[i] * ks);
}

void SumBytes768(Byte* d, const Byte* s, int n, int k)
{
    int i = 0;
    // Pairs (d, s) against (k, 768 - k) give 32-bit sums; shr 8 then div 3 makes div 768.
    const __m128i w = _mm_set1_epi32(static_cast<int>((static_cast<unsigned>(768 - k) << 16) | static_cast<unsigned>(k)));
    const __m128i third = _mm_set1_epi16(static_cast<short>(0xAAAB));
    auto eight = [&](__m128i dd, __m128i ss) {
        __m128i a = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(dd, ss), w), 8);
        __m128i b = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(dd, ss), w), 8);
        return _mm_srli_epi16(_mm_mulhi_epu16(_mm_packs_epi32(a, b), third), 1);
    };
    for (; i + 16 <= n; i += 16) {
        __m128i dv = Load(d + i), sv = Load(s + i);
        Store(d + i, _mm_packus_epi16(eight(Lo(dv), Lo(sv)), eight(Hi(dv), Hi(sv))));
    }
    for (; i < n; ++i)
        d[i] = static_cast<Byte>((d[i] * k + s[i] * (768 - k)) / 768);
}

void BlendToColor(Byte* d, const Byte* m, int n, const Byte Color[3])
{
    int i = 0;
    // Three vectors cover 48 bytes, 16 whole pixels, so each keeps its own colour pattern.
    alignas(16) Byte pattern[48];
    for (int j = 0; j < 48; ++j)
        pattern[j] = Color[j % 3];
    __m128i c[3];
    for (int j = 0; j < 3; ++j)
        c[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern + 16 * j));
    for (; i + 48 <= n; i += 48)
        for (int j = 0; j < 3; ++j)
            Store(d + i + 16 * j, Mix16(Load(d + i + 16 * j), c[j], Load(m + i + 16 * j)));
    for (; i < n; ++i)
        d[i] = static_cast<Byte>((d[i] * m[i] + Color[i % 3] * (255 - m[i])) >> 8);
}

void MixByMask(Byte* d, const Byte* s, const Byte* m, int n)
{
    int i = 0;
    for (; i + 16 <= n; i += 16)
        Store(d + i, Mix16(Load(d + i), Load(s + i), Load(m + i)));
    for (; i < n; ++i)
        d[i] = static_cast<Byte>((d[i] * m[i] + s[i] * (255 - m[i])) >> 8);
}

void MixByMaskRepeated(Byte* d, const Byte* s, const Byte* m, int n, int Period)
{
    int i = 0, j = 0;
    for (; i + 16 <= n; i += 16) {
        Store(d + i, Mix16(Load(d + i), Load(s + j), Load(m + j)));
        j = j + 16 == Period ? 0 : j + 16;
    }
    for (; i < n; ++i, ++j)
        d[i] = static_cast<Byte>((d[i] * m[j] + s[j] * (255 - m[j])) >> 8);
}

void Gray(Byte* p, int pixels)
{
    for (int x = 0; x < pixels; ++x, p += 3) {
        // Sums up to 765: multiplying by 0xAAAB and shifting by 17 divides by 3 exactly.
        const Byte g = static_cast<Byte>(((p[0] + p[1] + p[2]) * 0xAAABu) >> 17);
        p[0] = p[1] = p[2] = g;
    }
}

void Map(Byte* p, int pixels, const Byte (*Tables)[256])
{
    const Byte *b = Tables[0], *g = Tables[1], *r = Tables[2];
    for (int x = 0; x < pixels; ++x, p += 3) {
        p[0] = b[p[0]];
        p[1] = g[p[1]];
        p[2] = r[p[2]];
    }
}

void Fill(Byte* d, int pixels, const Byte Pixel[3])
{
    if (pixels <= 0)
        return;
    // Sixteen pixels are 48 bytes, three whole stores: the pattern is laid out once by doubling.
    Byte pattern[48];
    std::memcpy(pattern, Pixel, 3);
    std::memcpy(pattern + 3, pattern, 3);
    std::memcpy(pattern + 6, pattern, 6);
    std::memcpy(pattern + 12, pattern, 12);
    std::memcpy(pattern + 24, pattern, 24);
    const __m128i a = Load(pattern), b = Load(pattern + 16), c = Load(pattern + 32);
    const int n = 3 * pixels;
    int i = 0;
    for (; i + 48 <= n; i += 48) {
        Store(d + i, a);
        Store(d + i + 16, b);
        Store(d + i + 32, c);
    }
    for (int k = 0; i < n; ++i, ++k)
        d[i] = pattern[k];
}

void Repeat(Byte* d, int n, const Byte* s, int len)
{
    if (n <= 0 || len <= 0)
        return;
    const int first = std::min(n, len);
    const auto at = [](const Byte* p) { return reinterpret_cast<std::uintptr_t>(p); };
    if (len > 16 || (at(s) < at(d) + first && at(d) < at(s) + first))
        std::memmove(d, s, static_cast<std::size_t>(first)); // long, or the source overlaps
    else
        for (int i = 0; i < first; ++i)
            d[i] = s[i];
    if (len > 16) {
        // Long patterns: double what is written until the row is full.
        for (int done = len; done < n;) {
            const int chunk = std::min(done - done % len, n - done);
            std::memcpy(d + done, d, static_cast<std::size_t>(chunk));
            done += chunk;
        }
        return;
    }
    // Short patterns (a cell a few pixels wide), where a library copy per doubling would cost more
    // than the bytes: byte by byte up to a period that is a whole number of patterns and of 16
    // bytes, then each 16 bytes are those one period back, read as they were stored.
    const int period = std::min(n, std::lcm(len, 16));
    for (int i = len; i < period; ++i)
        d[i] = d[i - len];
    int i = period;
    for (; i + 16 <= n; i += 16)
        Store(d + i, Load(d + i - period));
    for (; i < n; ++i)
        d[i] = d[i - period];
}

} // namespace rows
