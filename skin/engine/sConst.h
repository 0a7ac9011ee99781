// Types and constants shared by the whole skin library: bevels, the description of a parent's
// cached image, the 4-byte colour of the pixel routines and the disabled looks.
#pragma once

#include "Graphics.h"
#include "Types.h"

// Bevel of a skin section (BEVEL and HOTBEVEL of the options file).
enum TsControlBevel : Byte { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };

// The bevels of the options file's numbers 0..4, in that order.
extern const TsControlBevel aControlBevels[5];
// The bevel of a number read from a skin; numbers outside 0..4 mean no bevel.
TsControlBevel ControlBevelOf(int Value);

// A parent's cached image as a child sees it: the bitmap, where the child's top-left corner lies
// in it, and whether it holds a usable image.
#pragma pack(push, 1)
struct TCacheInfo {
    TBitmap* Bmp = nullptr;
    int X = 0;
    int Y = 0;
    bool Ready = false;
};
#pragma pack(pop)

// The empty cache: no bitmap, at (-99, -99), not ready.
extern const TCacheInfo EmptyCI;

// A colour of four bytes laid out as a TColor: red, green, blue and a fourth byte. Compared with
// a 24-bit pixel (blue, green, red), red matches the pixel's third byte.
struct TsColor {
    Byte R = 0;
    Byte G = 0;
    Byte B = 0;
    Byte A = 0;
};

inline TsColor ColorToSColor(TColor Color)
{
    const auto c = static_cast<Cardinal>(Color);
    return TsColor{static_cast<Byte>(c), static_cast<Byte>(c >> 8), static_cast<Byte>(c >> 16),
                   static_cast<Byte>(c >> 24)};
}

inline TColor SColorToColor(TsColor Color)
{
    return static_cast<TColor>(Color.R | (Color.G << 8) | (Color.B << 16) | (static_cast<Cardinal>(Color.A) << 24));
}

// The transparent key colour of every skin image (magenta); in colour globals it means "none".
constexpr TColor clSkinKey = 0xFF00FF;

// Disabled looks of a control's image and of a button glyph.
enum TsDisabledKindItem { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;
enum TsDisabledGlyphKindItem { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;
