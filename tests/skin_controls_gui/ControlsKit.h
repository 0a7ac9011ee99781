// Helpers of the skinned controls' tests: skin tables made by hand, so that every expected colour
// is one the test wrote itself, and a plain form to put controls on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../skin_data/SkinFixture.h"
#include "FormTest.h"
#include "sCommonData.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sStyleSimply.h"

namespace controlskit {

// A section with the colours of both looks; no gradient, pattern or border.
inline TsGeneralData Section(const char* Name, TColor Color, TColor HotColor, TColor FontColor = 0x000000,
                             TColor HotFontColor = 0x000000)
{
    TsGeneralData g;
    g.ClassName = Name;
    g.Color = Color;
    g.HotColor = HotColor;
    g.FontColor[0] = FontColor;
    g.HotFontColor[0] = HotFontColor;
    return g;
}

// The pixel of a bitmap as a COLORREF.
inline COLORREF At(TBitmap* Bmp, int X, int Y)
{
    return static_cast<COLORREF>(Bmp->Canvas()->Pixels(X, Y));
}

// Replaces the skin tables for a test and empties them afterwards; the skin is active meanwhile.
class TablesTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        testkit::FormTest::SetUp();
        Clear();
        form = MakeForm();
        form->SetBounds(100, 100, 300, 200);
        form->SetColor(static_cast<TColor>(0x00404040));
    }
    void TearDown() override
    {
        testkit::FormTest::TearDown();
        Clear();
    }
    static void Clear()
    {
        FreeBitmaps();
        gd.clear();
        sSkinData->Active = false;
    }
    static void Activate(std::vector<TsGeneralData> Sections)
    {
        gd = std::move(Sections);
        sSkinData->Active = true;
    }
    // A border mask of the section with a bitmap of its own: cells of 2 x 2 pixels, each state's
    // frame in one colour with a black blend mask, its centre see-through (blend mask white), and
    // the first pixel of its top-left corner the key colour, cut out of a window's shape.
    static void AddBorder(const char* SectionName, const TColor (&StateColors)[3])
    {
        TsMaskData m;
        m.Bmp = std::make_unique<TBitmap>(18, 12, pf24bit);
        TCanvas* c = m.Bmp->Canvas();
        for (int state = 0; state < 3; ++state) {
            const int x = state * 6;
            c->Brush()->SetColor(StateColors[state]);
            c->FillRect(Rect(x, 0, x + 6, 6));
            c->SetPixels(x, 0, static_cast<TColor>(0xFF00FF));
            c->Brush()->SetColor(clBlack);
            c->FillRect(Rect(x, 6, x + 6, 12));
            c->Brush()->SetColor(clWhite);
            c->FillRect(Rect(x + 2, 8, x + 4, 10));
        }
        m.ClassName = SectionName;
        m.PropertyName = "BORDERSMASK";
        m.R = Rect(0, 0, 18, 12);
        m.ImageCount = 3;
        m.MaskType = 1;
        ma.push_back(std::move(m));
    }
    TForm* form = nullptr;
};

// A pixel drawn through the border's blend mask: each channel c * 255 div 256, c the frame's own
// colour under a black mask, the background's under a white one.
inline COLORREF Through(TColor Colour)
{
    const auto c = static_cast<COLORREF>(Colour);
    return RGB(GetRValue(c) * 255 / 256, GetGValue(c) * 255 / 256, GetBValue(c) * 255 / 256);
}

// The dots of a focus frame (black or white pixels) that come closer than three pixels to the text
// (the pixels that are neither Back nor a dot) on any side.
inline int DotsNearText(const testkit::PixelImage& Image, COLORREF Back)
{
    auto dot = [](COLORREF C) { return C == RGB(0, 0, 0) || C == RGB(255, 255, 255); };
    RECT ink{Image.Width(), Image.Height(), -1, -1};
    for (int y = 0; y < Image.Height(); ++y)
        for (int x = 0; x < Image.Width(); ++x)
            if (const COLORREF c = Image.Pixel(x, y); c != Back && !dot(c))
                ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x),
                           std::max<LONG>(ink.bottom, y)};
    int close = 0;
    for (int y = 0; y < Image.Height(); ++y)
        for (int x = 0; x < Image.Width(); ++x)
            close += dot(Image.Pixel(x, y)) && x >= ink.left - 2 && x <= ink.right + 2 && y >= ink.top - 2 &&
                    y <= ink.bottom + 2;
    return close;
}

inline bool SameImage(const testkit::PixelImage& A, const testkit::PixelImage& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (A.Pixel(x, y) != B.Pixel(x, y))
                return false;
    return true;
}

// A form test with the shipped Neutral skin loaded as the active skin.
class ShippedSkinTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        LoadSkinFolder(ShippedSkin("Neutral"));
        form = MakeForm();
        form->SetBounds(60, 60, 420, 300);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        Unload();
    }
    static void Unload()
    {
        sSkinData->Active = false;
        FreeBitmaps();
        gd.clear();
        InitConstantIndexes();
    }
    TForm* form = nullptr;
};

// Sends a skin command straight to a control's window procedure; answers the record's LParam.
inline LPARAM Command(TControl* Control, WORD Cmd)
{
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, Cmd), 0);
    Control->WindowProc(m);
    return m.LParam;
}

} // namespace controlskit
