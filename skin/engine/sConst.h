// Types and constants shared by the whole skin library: bevels, the description of a parent's
// cached image, the 4-byte colour of the pixel routines and the disabled looks.
#pragma once

#include "Graphics.h"
#include "StdCtrlsScrollBar.h"
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

// The scroll codes in the order of a scroll bar's last mouse action (0 line up ... 8 end scroll).
extern const TScrollCode aScrollCodes[9];

// Disabled looks of a control's image and of a button glyph.
enum TsDisabledKindItem { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;
enum TsDisabledGlyphKindItem { dgBlended = 1, dgGrayed = 2 };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;

// A set of control-type codes (0..255).
class TsCodeSet {
public:
    constexpr TsCodeSet() = default;
    // The codes from First to Last inclusive, added to this set.
    constexpr TsCodeSet Range(int First, int Last) const
    {
        TsCodeSet r = *this;
        for (int c = First; c <= Last; ++c)
            if (c >= 0 && c < 256)
                r.FBits[c / 32] |= 1u << (c % 32);
        return r;
    }
    constexpr bool Contains(int Code) const { return Code >= 0 && Code < 256 && (FBits[Code / 32] >> (Code % 32)) & 1u; }

private:
    unsigned FBits[8] = {};
};

// Control-type codes that never take the mouse-above (hot) state: panels, bars and containers.
constexpr TsCodeSet sForbidMouse = TsCodeSet().Range(51, 74).Range(110, 110).Range(141, 161);

class TControl;
class TCustomImageList;

// Process-wide switches of the library.
extern bool StdTransparency;        // a control copying its cache keeps its graphic children
extern bool FadingForbidden;        // no control starts a fade
extern bool MouseForbidden;         // no control takes the hot state
extern bool DrawSkinnedMDIWall;
extern bool DrawSkinnedMDIScrolls;
// Scratch slots of the buttons and the menu painter: the application's ShowHint kept while a
// drop-down menu is open, and the speed button whose menu it is.
extern bool AppShowHint;
extern TControl* TempControl;
// The system's large and small icon lists, shared (null until InitShellImageLists).
extern TCustomImageList* LargeShellImages;
extern TCustomImageList* SmallShellImages;
// Makes the two shell image lists, each once; the flags are not read.
void InitShellImageLists(bool Large, bool Small);
