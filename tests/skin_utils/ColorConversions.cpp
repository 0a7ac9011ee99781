// The colour dialog's conversions between hue/saturation/brightness and red/green/blue, and its
// hue/saturation field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "sColorDialog.h"

namespace {
TColor Rgb(const TsColor& C) { return RgbColor(C.R, C.G, C.B); }
} // namespace

TEST(ColorConversions, HalvesRoundToEven)
{
    // Channels: 126.5 and 127.5 go to the even 126 and 128; a hue of 30 gives green 127.5.
    EXPECT_EQ(Rgb(HsvToRgb(0, 0, 126.5 / 255)), RgbColor(126, 126, 126));
    EXPECT_EQ(Rgb(HsvToRgb(0, 0, 0.5)), RgbColor(128, 128, 128));
    EXPECT_EQ(Rgb(HsvToRgb(30, 1, 1)), RgbColor(255, 128, 0));
    // Hues of 0.5, 1.5 and 2.5 degrees: 60 * green / 120.
    EXPECT_EQ(RgbToHsv(RgbColor(120, 1, 0)).H, 0);
    EXPECT_EQ(RgbToHsv(RgbColor(120, 3, 0)).H, 2);
    EXPECT_EQ(RgbToHsv(RgbColor(120, 5, 0)).H, 2);
}

TEST(ColorConversions, SectorsGreysAndTheFullTurn)
{
    const struct {
        double H;
        TColor Rgb;
    } sectors[] = {{0, RgbColor(255, 0, 0)},   {60, RgbColor(255, 255, 0)}, {120, RgbColor(0, 255, 0)},
                   {180, RgbColor(0, 255, 255)}, {240, RgbColor(0, 0, 255)}, {300, RgbColor(255, 0, 255)},
                   {360, RgbColor(255, 0, 0)}};
    for (const auto& s : sectors) {
        EXPECT_EQ(Rgb(HsvToRgb(s.H, 1, 1)), s.Rgb) << s.H;
        EXPECT_EQ(RgbToHsv(s.Rgb).H, s.H == 360 ? 0 : s.H) << s.H;
    }
    const TsHSV grey = RgbToHsv(RgbColor(51, 51, 51));
    EXPECT_EQ(grey.H, 0);
    EXPECT_EQ(grey.S, 0);
    EXPECT_DOUBLE_EQ(grey.V, 51 / 255.0);
    EXPECT_EQ(Rgb(HsvToRgb(200, 0, 0.2)), RgbColor(51, 51, 51));
    // A brightness typed past 100 % stays white instead of wrapping round.
    EXPECT_EQ(Rgb(HsvToRgb(0, 0, 1.5)), clWhite);
}

// 16 levels per channel. The hue is kept in whole degrees, which moves the middle channel by up to
// spread / 120: within one level everywhere but where the spread (highest - lowest) passes 204.
TEST(ColorConversions, A4096ColourSweepRoundTrips)
{
    int widest = 0;
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17) {
                const TsHSV hsv = RgbToHsv(RgbColor(Byte(r), Byte(g), Byte(b)));
                const TsColor back = HsvToRgb(hsv.H, hsv.S, hsv.V);
                const int err = std::max({std::abs(back.R - r), std::abs(back.G - g), std::abs(back.B - b)});
                const int spread = std::max({r, g, b}) - std::min({r, g, b});
                ASSERT_LE(err, spread > 204 ? 2 : 1) << r << "," << g << "," << b;
                widest = std::max(widest, err);
            }
    EXPECT_EQ(widest, 2);
}

TEST(ColorConversions, TheHueFieldRunsThroughTheHuesAndFadesDown)
{
    TBitmap field;
    PaintHueField(field, 260, 260);
    ASSERT_EQ(field.Width(), 260);
    auto at = [&](int x, int y) {
        const Byte* p = static_cast<Byte*>(field.ScanLine(y)) + 3 * x;
        return RgbColor(p[2], p[1], p[0]);
    };
    EXPECT_EQ(at(0, 0), RgbColor(255, 0, 0));
    EXPECT_EQ(at(130, 0), RgbColor(0, 255, 255));
    // Row 130: saturation 0.5, brightness 5/6 (212.5, even 212); hue 90 at x 65.
    EXPECT_EQ(at(65, 130), RgbColor(159, 212, 106));
}
