// Helpers of the pixel tests: seeded random bitmaps, single pixels, whole images as bytes.
#pragma once

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "Graphics.h"

namespace pixkit {

using Px = std::array<int, 3>; // red, green, blue

inline Px Get(TBitmap& b, int x, int y)
{
    const Byte* p = static_cast<const Byte*>(b.ScanLine(y)) + 3 * x;
    return Px{p[2], p[1], p[0]};
}

inline void Set(TBitmap& b, int x, int y, Px c)
{
    Byte* p = static_cast<Byte*>(b.ScanLine(y)) + 3 * x;
    p[0] = static_cast<Byte>(c[2]);
    p[1] = static_cast<Byte>(c[1]);
    p[2] = static_cast<Byte>(c[0]);
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, Px c)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(*b, x, y, c);
    return b;
}

// Random bytes; about one pixel in `keyEvery` is the key colour 0xFF00FF (0: none).
inline std::unique_ptr<TBitmap> Random(std::mt19937& rng, int w, int h, int keyEvery = 0)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        Byte* p = static_cast<Byte*>(b->ScanLine(y));
        for (int x = 0; x < w; ++x, p += 3) {
            if (keyEvery && rng() % keyEvery == 0) {
                p[0] = 0xFF, p[1] = 0, p[2] = 0xFF;
                continue;
            }
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<Byte>(rng());
        }
    }
    return b;
}

inline std::unique_ptr<TBitmap> Copy(TBitmap& b)
{
    auto c = std::make_unique<TBitmap>();
    c->Assign(&b);
    return c;
}

// The pixel bytes of every row (without the padding).
inline std::vector<Byte> Bytes(TBitmap& b)
{
    std::vector<Byte> v;
    for (int y = 0; y < b.Height(); ++y) {
        const Byte* p = static_cast<const Byte*>(b.ScanLine(y));
        v.insert(v.end(), p, p + 3 * b.Width());
    }
    return v;
}

} // namespace pixkit
