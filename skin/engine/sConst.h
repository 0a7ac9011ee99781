// Shared values of the skin library: the four-byte colour, the description of a parent's cached
// image and the kinds of disabled looks.
#pragma once

#include "Graphics.h"

// A colour as four bytes laid out like a TColor: red, green, blue and a fourth byte. Compared
// with a pixel, red meets the pixel's third byte, green its second and blue its first.
struct TsColor {
    Byte R = 0, G = 0, B = 0, A = 0;
    constexpr TsColor() = default;
    constexpr TsColor(Byte r, Byte g, Byte b, Byte a = 0) : R(r), G(g), B(b), A(a) {}
    constexpr TColor C() const { return static_cast<TColor>(R | (G << 8) | (B << 16) | (static_cast<unsigned>(A) << 24)); }
};

// The same four bytes.
constexpr TsColor ColorToSColor(TColor Color)
{
    const auto c = static_cast<unsigned>(Color);
    return TsColor(static_cast<Byte>(c), static_cast<Byte>(c >> 8), static_cast<Byte>(c >> 16), static_cast<Byte>(c >> 24));
}

// A parent's cached image: its bitmap, where the painted control's top-left corner lies in it,
// and whether it holds a usable image.
struct TCacheInfo {
    TBitmap* Bmp = nullptr;
    int X = -99, Y = -99;
    bool Ready = false;
};

inline const TCacheInfo EmptyCI{};

enum TsDisabledKindItem { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;

enum TsDisabledGlyphKindItem { dgBlended, dgGrayed };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;
