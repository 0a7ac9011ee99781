// The built-in button glyphs, the glyph settings of a combo edit's button, and an image-list
// picture made into a two-frame glyph.
#include <gtest/gtest.h>

#include "ImgList.h"
#include "LiveKit.h"
#include "sCurrencyEdit.h"
#include "sCustomComboEdit.h"
#include "sComboEdit.h"
#include "sGlyphUtils.h"
#include "sThirdParty.h"

using namespace livekit;

namespace {

using Glyphs = TablesTest;

} // namespace

TEST(BuiltInGlyphs, FiveResourcesByTheirExactNames)
{
    for (const char* name : {"BTN_OPENFILE", "BTN_OPENFOLDER", "BTN_DATE", "BTN_ELLIPSIS", "BTN_CALC"}) {
        TBitmap* b = GetResBmp(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->Width(), 48) << "three states of 16 pixels: " << name;
        EXPECT_EQ(b->Height(), 32) << "the picture over its mask: " << name;
    }
    EXPECT_EQ(GetResBmp("btn_calc"), nullptr);
    EXPECT_EQ(GetResBmp(""), nullptr);
    // Where nothing is drawn the picture holds the key colour and the mask keeps the background.
    TBitmap* dots = GetResBmp("BTN_ELLIPSIS");
    EXPECT_EQ(dots->Canvas()->Pixels(0, 0), TColor(clSkinKey));
    EXPECT_EQ(dots->Canvas()->Pixels(0, 16), TColor(0xFFFFFF));
}

TEST(BuiltInGlyphs, ThePicturesOfTheDialogsLoadByNameOverTheBackgroundTheirUsersKey)
{
    const struct {
        const char* name;
        TColor background;
    } pictures[] = {{"PREVIEWGLYPH", clSkinKey},   {"PS", 0xFFFFFF},         {"TTF", 0xFFFFFF},
                    {"RASTER", 0xFFFFFF},          {"UNKNOWN", 0xFFFFFF},    {"DRIVE_REMOVABLE", clSkinKey},
                    {"DRIVE_FIXED", clSkinKey},    {"DRIVE_REMOTE", clSkinKey}, {"DRIVE_CDROM", clSkinKey},
                    {"DRIVE_RAMDISK", clSkinKey}};
    for (const auto& p : pictures) {
        TBitmap b;
        b.LoadFromResourceName(GetModuleHandleA(nullptr), p.name);
        ASSERT_EQ(b.Width(), 16) << p.name;
        EXPECT_EQ(b.Height(), 16) << p.name;
        EXPECT_EQ(b.Canvas()->Pixels(0, 15), p.background) << "bottom left: " << p.name;
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                drawn += b.Canvas()->Pixels(x, y) != p.background;
        EXPECT_GT(drawn, 20) << p.name;
    }
}

TEST_F(Glyphs, AGlyphModeChoosesItsBitmapAndSizesTheButton)
{
    auto* form = MakeForm();
    auto* edit = On(form, Create<TsComboEdit>(form));
    TsGlyphMode* mode = edit->GlyphMode();
    mode->SetBlend(150);
    EXPECT_EQ(mode->Blend(), 100);
    mode->SetBlend(-5);
    EXPECT_EQ(mode->Blend(), 0);

    EXPECT_TRUE(mode->AssignDefaultBitmap());
    EXPECT_EQ(DefBMP, GetResBmp("BTN_ELLIPSIS"));
    EXPECT_EQ(edit->Button()->Width(), 16 + 2);
    mode->SetUseDefaultGlyph(false);
    EXPECT_TRUE(mode->AssignDefaultBitmap());
    EXPECT_EQ(DefBMP, GetResBmp("BTN_ELLIPSIS")) << "no own glyph: the built-in one";
    EXPECT_EQ(mode->Width(), 16) << "without an own bitmap";
    TBitmap own(30, 20, pf24bit);
    mode->SetGlyph(&own);
    mode->AssignDefaultBitmap();
    EXPECT_EQ(DefBMP, mode->Glyph());
    EXPECT_EQ(edit->Button()->Width(), 10 + 2);
    EXPECT_EQ(mode->Height(), 10);
    edit->Free();
    EXPECT_EQ(DefBMP, nullptr) << "the glyph that went is not chosen any more";

    auto* currency = On(form, Create<TsCurrencyEdit>(form));
    EXPECT_FALSE(currency->GlyphMode()->AssignDefaultBitmap());
    EXPECT_EQ(currency->Button()->Width(), 0) << "a currency edit has no button";
    currency->GlyphMode()->SetHint("Выбрать");
    EXPECT_EQ(currency->Button()->Hint(), "Выбрать");
}

TEST(CopyGlyph, AnImageBecomesANormalAndADisabledFrame)
{
    TCustomImageList list(nullptr, 4, 4);
    TBitmap red(4, 4, pf24bit);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 4, 4));
    red.Canvas()->SetPixels(0, 0, clSkinKey);
    list.AddMasked(&red, clSkinKey);
    TBitmap glyph;
    int count = 1;
    CopyGlyph(nullptr, nullptr, 0, &list, &glyph, TsDisabledGlyphKind{}, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(glyph.Width(), 8);
    EXPECT_EQ(glyph.Canvas()->Pixels(6, 2), clRed) << "the second frame is the first";
    CopyGlyph(nullptr, nullptr, 0, &list, &glyph, TsDisabledGlyphKind{dgGrayed}, count);
    EXPECT_EQ(glyph.Canvas()->Pixels(6, 2), TColor(0x555555)) << "grey: (255 + 0 + 0) div 3";
    EXPECT_EQ(glyph.Canvas()->Pixels(4, 3), TColor(clSkinKey)) << "the second frame's lower-left pixel";
    EXPECT_EQ(glyph.Canvas()->Pixels(4, 0), ColorToRGB(clBtnFace)) << "a key pixel of the image leaves the button face";
    CopyGlyph(nullptr, nullptr, 1, &list, &glyph, TsDisabledGlyphKind{}, count);
    EXPECT_EQ(glyph.Width(), 8) << "an index outside the list changes nothing";
}
