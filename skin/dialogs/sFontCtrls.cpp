#include "sFontCtrls.h"

#include <algorithm>
#include <array>

#include "Controls.h"
#include "sPixelRows.h"

namespace {

int gFontClasses = 0;

} // namespace

// --- Families ------------------------------------------------------------------------------------

TFontClass::TFontClass(const AnsiString& Name, FontTypes Type) : FontName(Name), FntType(Type) { ++gFontClasses; }

TFontClass::~TFontClass() { --gFontClasses; }

int TFontClass::LiveCount() { return gFontClasses; }

TFontStrList::TFontStrList() : TStringList(true) { SetSorted(true); }

TFontStrList::~TFontStrList() { Clear(); }

int CALLBACK FontEnumProc(const LOGFONTA* LogFont, const TEXTMETRICA*, DWORD FontType, LPARAM Data)
{
    auto& e = *reinterpret_cast<TFontEnumeration*>(Data);
    const FontTypes type = FontType == RASTER_FONTTYPE     ? RASTER
                           : FontType == DEVICE_FONTTYPE   ? PS
                           : FontType == TRUETYPE_FONTTYPE ? TTF
                                                           : UNKNOWN;
    char face[LF_FACESIZE + 1] = {};
    std::copy_n(LogFont->lfFaceName, LF_FACESIZE, face);
    auto font = std::make_unique<TFontClass>(AnsiString(face), type);
    bool accept = true;
    try {
        if (e.OnValidateFont)
            e.OnValidateFont(e.Sender, font.get(), accept);
        const bool shown = type == TTF      ? e.Options.Contains(ShowTrueType)
                           : type == PS     ? e.Options.Contains(ShowPostScript)
                           : type == RASTER ? e.Options.Contains(ShowRaster)
                                            : true;
        if (accept && shown && e.List) {
            const int i = e.List->AddObject(font->FontName, font.get());
            // A name listed already keeps its first family.
            if (e.List->Objects(i) == font.get())
                font.release();
        }
    } catch (...) {
        // Nothing may unwind through the system's enumeration.
        HandleCurrentException(e.Sender);
    }
    return 1;
}

void EnumerateFonts(TFontEnumeration& Enumeration)
{
    if (Enumeration.List)
        Enumeration.List->Clear();
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(&FontEnumProc),
                      reinterpret_cast<LPARAM>(&Enumeration));
    ReleaseDC(nullptr, dc);
}

// --- Pictures of the kinds -----------------------------------------------------------------------

TBitmap* FontTypeBitmap(FontTypes Type)
{
    static const auto bitmaps = [] {
        std::array<std::unique_ptr<TBitmap>, 4> b;
        const char* const names[4] = {"PS", "TTF", "RASTER", "UNKNOWN"};
        for (int i = 0; i < 4; ++i) {
            b[i] = std::make_unique<TBitmap>();
            try {
                b[i]->LoadFromResourceName(GetModuleHandleA(nullptr), names[i]);
            } catch (...) {
                b[i]->SetSize(16, 16); // a program without the pictures shows none
            }
            b[i]->SetPixelFormat(pf24bit);
        }
        return b;
    }();
    return bitmaps[static_cast<std::size_t>(Type)].get();
}

void DrawFontType(HDC DC, const TRect& R, FontTypes Type, TColor Background)
{
    TBitmap glyph;
    glyph.Assign(FontTypeBitmap(Type));
    const TPixelView view = TPixelView::Of(&glyph);
    const TColor bg = ColorToRGB(Background);
    const Byte pixel[3] = {Byte(bg >> 16), Byte(bg >> 8), Byte(bg)};
    for (int y = 0; y < view.Height; ++y) {
        Byte* p = view.Row(y);
        for (int x = 0; x < view.Width; ++x, p += 3)
            if (PixelRGB(p) == 0xFFFFFF)
                std::copy_n(pixel, 3, p);
    }
    const int old = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, glyph.Canvas()->Handle(), 0, 0, glyph.Width(),
               glyph.Height(), SRCCOPY);
    SetStretchBltMode(DC, old);
}
