// Loading skins into the process-wide tables for the tests, and leaving the tables empty after.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "TestKit.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

// The folder of a shipped skin / of a test skin, with a trailing backslash.
inline AnsiString ShippedSkin(const char* Name)
{
    return testkit::DataDir() + "..\\..\\app\\defaults\\Skins\\" + Name + "\\";
}
inline AnsiString TestSkin(const char* Name)
{
    return testkit::DataDir() + "skins\\" + Name + "\\";
}

// Runs the three loaders over an options file held in memory (its images from Folder).
inline void LoadSkinText(const AnsiString& Text, const AnsiString& Folder)
{
    auto ini = std::make_unique<TMemIniFile>(AnsiString());
    TStringList lines;
    lines.SetTextStr(Text);
    ini->SetStrings(&lines);
    sSkinData->SkinFile = std::move(ini);
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
}

// Loads a skin folder as the manager does and makes it the active skin.
inline void LoadSkinFolder(const AnsiString& Folder)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(Folder + "Options.dat");
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    sSkinData->Active = true;
    InitConstantIndexes();
}

// Damage for skin files: one to four changes, most of them in the first HotSpan bytes (headers):
// bytes overwritten, a run cut out or doubled, a number made extreme, the end cut off.
inline std::string MutateBytes(std::string b, std::mt19937& rng, std::size_t HotSpan)
{
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < changes && !b.empty(); ++c) {
        const std::size_t span = rng() % 3 ? std::min(HotSpan, b.size()) : b.size();
        const std::size_t at = rng() % span;
        switch (rng() % 6) {
        case 0:
            b[at] = static_cast<char>(rng());
            break;
        case 1:
            b[at] = static_cast<char>(b[at] ^ (1 << (rng() % 8)));
            break;
        case 2:
            b.erase(at, 1 + rng() % 16);
            break;
        case 3:
            b.insert(at, b.substr(at, 1 + rng() % 32));
            break;
        case 4: {
            static const char* const extremes[] = {"-1", "0", "2147483647", "-2147483648", "99999999999", "#", "?",
                                                   "(", ",", "$", "0x", ";", "="};
            b.insert(at, extremes[rng() % 13]);
            break;
        }
        default:
            b.resize(at);
            break;
        }
    }
    return b;
}

// A JPEG's bytes with the size in its frame header replaced (its pixels are not decoded to
// weigh it).
inline std::string JpegDeclaring(std::string Jpeg, int W, int H)
{
    const std::size_t sof = Jpeg.find("\xFF\xC0");
    if (sof == std::string::npos || sof + 9 > Jpeg.size())
        return Jpeg;
    Jpeg[sof + 5] = static_cast<char>(H >> 8), Jpeg[sof + 6] = static_cast<char>(H);
    Jpeg[sof + 7] = static_cast<char>(W >> 8), Jpeg[sof + 8] = static_cast<char>(W);
    return Jpeg;
}

// An 8-bit run-length bitmap file of 1 KB declaring W x H pixels (its data ends at once).
inline std::string RleBitmapDeclaring(int W, int H)
{
    std::string b(14 + 40 + 1024 + 2, '\0');
    auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, static_cast<std::uint32_t>(b.size()), 4);
    put(10, 14 + 40 + 1024, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(W), 4);
    put(22, static_cast<std::uint32_t>(H), 4);
    put(26, 1, 2);
    put(28, 8, 2);
    put(30, BI_RLE8, 4);
    put(14 + 40 + 1024, 0x0100, 2); // end of bitmap
    return b;
}

inline void ExpectSameBitmap(TBitmap* a, TBitmap* b, const AnsiString& what)
{
    ASSERT_EQ(!a, !b) << what;
    if (!a)
        return;
    ASSERT_EQ(a->Width(), b->Width()) << what;
    ASSERT_EQ(a->Height(), b->Height()) << what;
    for (int y = 0; y < a->Height(); ++y)
        ASSERT_EQ(memcmp(a->ScanLine(y), b->ScanLine(y), static_cast<std::size_t>(a->Width()) * 3), 0) << what;
}

// Loaded tables kept aside for a comparison.
struct TTables {
    std::vector<TsGeneralData> Sections;
    std::vector<TsMaskData> Masks;
    std::vector<TsPatternData> Patterns;
    std::unique_ptr<TBitmap> Master;
};

// The tables as they are now, leaving them empty.
inline TTables TakeTables()
{
    TTables t{std::move(gd), std::move(ma), std::move(pa), std::move(MasterBitmap)};
    gd.clear();
    ma.clear();
    pa.clear();
    return t;
}

inline void ExpectSameGeneral(const TsGeneralData& a, const TsGeneralData& b)
{
    const AnsiString& n = a.ClassName;
    EXPECT_EQ(a.ClassName, b.ClassName);
    EXPECT_EQ(a.ParentClass, b.ParentClass) << n;
    EXPECT_EQ(a.Color, b.Color) << n;
    EXPECT_EQ(a.Bevel, b.Bevel) << n;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(a.FontColor[i], b.FontColor[i]) << n << i;
        EXPECT_EQ(a.HotFontColor[i], b.HotFontColor[i]) << n << i;
    }
    EXPECT_EQ(a.ReservedBoolean, b.ReservedBoolean) << n;
    EXPECT_EQ(a.ShadowBlur, b.ShadowBlur) << n;
    EXPECT_EQ(a.ShadowColor, b.ShadowColor) << n;
    EXPECT_EQ(a.ShadowDontUse, b.ShadowDontUse) << n;
    EXPECT_EQ(a.ShadowEnabled, b.ShadowEnabled) << n;
    EXPECT_EQ(a.ShadowOffset, b.ShadowOffset) << n;
    EXPECT_EQ(a.ShadowTransparency, b.ShadowTransparency) << n;
    EXPECT_EQ(a.Transparency, b.Transparency) << n;
    EXPECT_EQ(a.GradientPercent, b.GradientPercent) << n;
    EXPECT_EQ(a.GradientData, b.GradientData) << n;
    EXPECT_EQ(a.GradArray.size(), b.GradArray.size()) << n;
    EXPECT_EQ(a.ImagePercent, b.ImagePercent) << n;
    EXPECT_EQ(a.ShowFocus, b.ShowFocus) << n;
    EXPECT_EQ(a.FadingEnabled, b.FadingEnabled) << n;
    EXPECT_EQ(a.FadingIntervalIn, b.FadingIntervalIn) << n;
    EXPECT_EQ(a.FadingIntervalOut, b.FadingIntervalOut) << n;
    EXPECT_EQ(a.FadingIterations, b.FadingIterations) << n;
    EXPECT_EQ(a.HotColor, b.HotColor) << n;
    EXPECT_EQ(a.HotTransparency, b.HotTransparency) << n;
    EXPECT_EQ(a.HotBevel, b.HotBevel) << n;
    EXPECT_EQ(a.HotGradientPercent, b.HotGradientPercent) << n;
    EXPECT_EQ(a.HotGradientData, b.HotGradientData) << n;
    EXPECT_EQ(a.HotGradArray.size(), b.HotGradArray.size()) << n;
    EXPECT_EQ(a.HotImagePercent, b.HotImagePercent) << n;
    EXPECT_EQ(a.BorderColor1, b.BorderColor1) << n;
    EXPECT_EQ(a.BorderColor2, b.BorderColor2) << n;
}

// Every test starts and ends with no skin.
class SkinTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        FreeBitmaps();
        FreeJpegs();
        gd.clear();
        sSkinData->SkinFile.reset();
        sSkinData->SkinPath.clear();
        sSkinData->Active = false;
    }
    static const TsGeneralData& Section(const char* Name)
    {
        const int i = GetSkinIndex(Name);
        EXPECT_GE(i, 0) << Name;
        return gd.at(static_cast<std::size_t>(i < 0 ? 0 : i));
    }
    static const TsMaskData* Mask(const char* Section, const char* Property)
    {
        const int i = GetMaskIndex(GetSkinIndex(Section), Section, Property);
        return i < 0 ? nullptr : &ma[static_cast<std::size_t>(i)];
    }
};
