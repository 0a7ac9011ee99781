// Reading a skin folder: the value grammar, PARENTCLASS inheritance, mask values and image files.
#include "SkinFixture.h"

#include <algorithm>

#include "Graphics.h"
#include "sSkinManager.h"

using FolderFormat = SkinTest;

TEST_F(FolderFormat, ValuesAndInheritanceFollowTheFormat)
{
    LoadSkinFolder(TestSkin("Parents"));
    // A "#" inside a text key names no image and does not stop the load.
    EXPECT_EQ(sSkinData->Description, "Skin #2");
    EXPECT_DOUBLE_EQ(sSkinData->Version, 4.5);

    const TsGeneralData& child = Section("child");  // found without case
    EXPECT_EQ(child.Color, 255);                     // -1 means missing: taken from BASE
    EXPECT_EQ(child.ShadowBlur, 9);                  // missing: from BASE
    EXPECT_EQ(child.ShadowColor, 0);                 // never inherited
    EXPECT_TRUE(child.ShadowEnabled);                // "?" is missing; BASE says "true" (any case)
    EXPECT_FALSE(child.ReservedBoolean);             // "1" is not TRUE
    EXPECT_EQ(child.FontColor[0], 255);              // 0xFF
    EXPECT_EQ(child.FontColor[1], 16);               // $10
    EXPECT_EQ(child.FontColor[2], -1);               // contour default
    EXPECT_EQ(child.HotColor, 0xFFFFFF);             // a word is missing; BASE lacks it: default
    EXPECT_EQ(child.HotTransparency, -5);            // other values are used as read
    EXPECT_EQ(child.ParentClass, "base");

    const TsGeneralData& base = Section("BASE");
    EXPECT_EQ(base.Bevel, cbNone);                   // 7 is outside 0..4
    EXPECT_EQ(base.HotBevel, cbRaisedHard);
    EXPECT_EQ(base.ShadowTransparency, 50);
    EXPECT_EQ(base.FadingIterations, 5);

    EXPECT_EQ(Section("A").Color, 0xFFFFFF);         // A and B name each other: the walk ends
    EXPECT_EQ(Section("SELF").ShadowBlur, 6);        // names itself: no parent
    EXPECT_EQ(Section("Mixed").Color, ColorToRGB(clBtnFace));
    // Eight words give one stop; its percent of 150 is kept as 100.
    ASSERT_EQ(Section("Mixed").GradArray.size(), 1u);
    EXPECT_EQ(Section("Mixed").GradArray[0].Percent, 100);
}

TEST_F(FolderFormat, MaskValuesAndDegenerateMasks)
{
    LoadSkinFolder(TestSkin("Parents"));
    const TsMaskData* good = Mask("Rects", "GOOD");
    ASSERT_TRUE(good);
    EXPECT_TRUE(good->R == Rect(0, 0, 30, 20));
    EXPECT_EQ(good->ImageCount, 3);
    EXPECT_EQ(good->MaskType, 1);
    EXPECT_EQ(good->BorderWidth, 2);
    EXPECT_TRUE(MaskSize(GetMaskIndex(GetSkinIndex("Rects"), "Rects", "GOOD")) == Point(10, 10));

    const TsMaskData* clamped = Mask("Rects", "NEG");
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->ImageCount, 1);
    EXPECT_EQ(clamped->MaskType, 0);
    EXPECT_EQ(clamped->BorderWidth, 0);

    // A zero rectangle is kept but is no image; malformed values, "#" alone and a value without
    // counts make no record.
    const TsMaskData* zero = Mask("Rects", "ZERO");
    ASSERT_TRUE(zero);
    EXPECT_TRUE(MaskSize(*zero) == Point(0, 0));
    EXPECT_FALSE(Mask("Rects", "BAD"));
    EXPECT_FALSE(Mask("Rects", "ALONE"));
    EXPECT_FALSE(Mask("Rects", "NOCOUNT"));
    EXPECT_FALSE(Mask("GLOBALINFO", "DESCRIPTION"));

    // A bitmap file is 3 cells by 2 rows whatever it holds: 30 x 20 gives 10 x 10.
    const TsMaskData* glyph = Mask("BASE", "GLYPHMASK");
    ASSERT_TRUE(glyph && glyph->Bmp);
    EXPECT_EQ(glyph->ImageCount, 3);
    EXPECT_EQ(glyph->MaskType, 1);
    EXPECT_TRUE(MaskSize(*glyph) == Point(10, 10));
}

TEST_F(FolderFormat, ParentFallbackOfImageLookupsIsBounded)
{
    LoadSkinFolder(TestSkin("Parents"));
    const int child = GetSkinIndex("CHILD");
    EXPECT_EQ(GetMaskIndex(child, "CHILD", "BORDERSMASK"), GetMaskIndex(GetSkinIndex("BASE"), "BASE", "BORDERSMASK"));
    EXPECT_GE(GetMaskIndex(child, "CHILD", "BORDERSMASK"), 0);
    EXPECT_EQ(GetMaskIndex(GetSkinIndex("A"), "A", "BORDERSMASK"), -1);        // loop: ends, none
    EXPECT_EQ(GetMaskIndex(GetSkinIndex("SELF"), "SELF", "BORDERSMASK"), -1);
    EXPECT_EQ(GetMaskIndex(-1, "BASE", "BORDERSMASK"), -1);
    EXPECT_EQ(GetMaskIndex(child, "", "BORDERSMASK"), -1);
    EXPECT_EQ(GetMaskIndex(static_cast<int>(gd.size()), "BASE", "BORDERSMASK"), -1);
    EXPECT_EQ(GetSkinIndex("NOSUCH"), -1);
}

TEST_F(FolderFormat, WithoutAMasterImageRectanglesNameNothing)
{
    LoadSkinFolder(TestSkin("NoMaster"));
    EXPECT_FALSE(MasterBitmap);
    EXPECT_FALSE(Mask("BUTTON", "BORDERSMASK"));
    EXPECT_FALSE(Mask("BUTTON", "OTHER"));  // a missing file is skipped
    ASSERT_TRUE(Mask("BUTTON", "GLYPHMASK"));
    EXPECT_EQ(ma.size(), 1u);
}

namespace {
bool SamePixels(TBitmap* a, TBitmap* b)
{
    if (a->Width() != b->Width() || a->Height() != b->Height() || a->PixelFormat() != b->PixelFormat())
        return false;
    for (int y = 0; y < a->Height(); ++y)
        if (memcmp(a->ScanLine(y), b->ScanLine(y), static_cast<std::size_t>(a->Width()) * 3) != 0)
            return false;
    return true;
}
} // namespace

TEST_F(FolderFormat, ImagesAre24BitAndJpegsSplitAtNinetyThousandPixels)
{
    LoadSkinFolder(TestSkin("Images"));
    const TsMaskData* eight = Mask("BUTTON", "GLYPHMASK");
    const TsMaskData* twin = Mask("BUTTON", "GLYPH24");
    ASSERT_TRUE(eight && twin);
    EXPECT_EQ(eight->Bmp->PixelFormat(), pf24bit);
    EXPECT_TRUE(SamePixels(eight->Bmp.get(), twin->Bmp.get()));
    // An own-bitmap border mask of 8 x 5 has cells of less than a pixel: no image.
    EXPECT_TRUE(MaskSize(*Mask("BUTTON", "BORDERSMASK")) == Point(0, 0));

    // 40000 and 89700 pixels become masks; 90000 stays a pattern.
    for (const char* small : {"J200", "J299"}) {
        const TsMaskData* m = Mask("BUTTON", small);
        ASSERT_TRUE(m && m->Bmp) << small;
        EXPECT_EQ(m->ImageCount, 0);
        EXPECT_EQ(m->Bmp->PixelFormat(), pf24bit);
    }
    EXPECT_EQ(Mask("BUTTON", "J299")->Bmp->Width(), 299);
    EXPECT_FALSE(Mask("BUTTON", "J300"));
    const int p = GetPatternIndex(GetSkinIndex("BUTTON"), "BUTTON", "J300");
    ASSERT_GE(p, 0);
    EXPECT_EQ(pa[static_cast<std::size_t>(p)].Img->Width(), 300);
    sSkinData->Active = false;
    EXPECT_EQ(GetPatternIndex(GetSkinIndex("BUTTON"), "BUTTON", "J300"), -1);  // while no skin is active
}

TEST_F(FolderFormat, DamagedJpegsStopTheLoadWithTheirReason)
{
    for (const char* skin : {"Truncated", "Huge"}) {
        sSkinData->SkinFile = std::make_unique<TMemIniFile>(TestSkin(skin) + "Options.dat");
        sSkinData->SkinPath = TestSkin(skin);
        LoadAllMasks();
        const std::string reason = testkit::Refusal<Exception>([] { LoadAllPatterns(); });
        // A header of 65500 x 65500 pixels is refused before any pixel is counted.
        const AnsiString file = TestSkin(skin) + (*skin == 'T' ? "Small.jpg" : "Huge.jpg");
        EXPECT_EQ(reason, "Скин \"" + AnsiString(skin) + "\" не загружен: ошибка в файле \"" + file + "\". " +
                              "Рисунок повреждён, слишком велик или записан в формате, который программа не читает.");
    }
}

TEST_F(FolderFormat, SkinListSkipsHiddenFoldersAndFoldersWithoutOptions)
{
    TsSkinManager manager(nullptr);
    manager.SetSkinDirectory(testkit::DataDir() + "skins");
    TStringList names;
    manager.GetSkinNames(&names);
    EXPECT_EQ(names.GetTextStr(), "Huge\r\nImages\r\nNoMaster\r\nParents\r\nTruncated\r\n");
}

TEST_F(FolderFormat, SkinFolderBesideAProgramInADriveRoot)
{
    TExeNameOverride exe("C:\\Vellorn.exe");
    TsSkinManager manager(nullptr);
    manager.SetSkinDirectory("..\\Skins");
    EXPECT_EQ(manager.GetFullSkinDirectory(), "C:\\Skins\\");
    TExeNameOverride nested("C:\\App\\Vellorn.exe");
    EXPECT_EQ(manager.GetFullSkinDirectory(), "C:\\Skins\\");
    manager.SetSkinDirectory("./Skins");
    EXPECT_EQ(manager.GetFullSkinDirectory(), "C:\\App\\Skins\\");
}

TEST_F(FolderFormat, StoredRectanglesWithoutAMasterImageAreAbsent)
{
    TsSkinManager manager(nullptr);
    manager.SetActive(false); // names are only stored: the loaders are run by hand
    TsStoredSkin* stored = manager.InternalSkins()->Add();
    stored->SetName("Bare");
    stored->GeneralData()->Add()->SectionName = "BUTTON";
    TsSkinImage* image = stored->Images()->Add();
    image->SectionName = "BUTTON";
    image->PropertyName = "BORDERSMASK";
    image->Right = 30;
    image->Bottom = 20;
    image->ImageCount = 3;
    image->MaskType = 1;
    manager.SetSkinName("bare");  // stored names match with case
    LoadAllMasks();
    EXPECT_TRUE(ma.empty());
    manager.SetSkinName("Bare");
    LoadAllMasks();
    LoadAllGeneralData();
    EXPECT_TRUE(ma.empty());
    EXPECT_EQ(GetMaskIndex(GetSkinIndex("BUTTON"), "BUTTON", "BORDERSMASK"), -1);
}

TEST_F(FolderFormat, CommonSectionsComeAfterTheSkinsOwn)
{
    TsSkinManager manager(nullptr);
    ASSERT_EQ(sSkinData->DefaultManager, &manager);
    TStringList lines;
    lines.SetTextStr(
        "[BASE]\r\nCOLOR = 1\r\nPARENTCLASS=BASE\r\n[EXTRA]\r\nPARENTCLASS=base\r\nFONTCOLOR=7\r\nBORDERSMASK=#(0, 0, 30, 20), 3, 1\r\n"
        "[LONE]\r\nPARENTCLASS=LONE\r\nSHADOWCOLOR=5\r\n;A COMMENT\r\n[GLOBALINFO]\r\nBOXCHECKED=#(0,0,30,20),3,1\r\n");
    manager.SetCommonSections(&lines);
    EXPECT_EQ((*manager.CommonSections())[1], "COLOR=1");
    EXPECT_EQ((*manager.CommonSections())[10], ";A COMMENT");
    LoadSkinFolder(TestSkin("Parents"));

    EXPECT_EQ(Section("BASE").Color, 255);  // the skin's own section is found first
    // The extra BASE names BASE as its parent: the skin's BASE, made before it.
    const auto extraBase = std::find_if(gd.begin() + GetSkinIndex("BASE") + 1, gd.end(),
                                        [](const TsGeneralData& d) { return d.ClassName == "BASE"; });
    ASSERT_NE(extraBase, gd.end());
    EXPECT_EQ(extraBase->Color, 1);
    EXPECT_EQ(extraBase->ShadowBlur, 9);
    const TsGeneralData& extra = Section("EXTRA");
    EXPECT_EQ(extra.ParentClass, "BASE");
    EXPECT_EQ(extra.Color, 255);             // from the skin's BASE
    EXPECT_EQ(extra.ShadowColor, 77);        // inherited in extra sections
    EXPECT_EQ(extra.FontColor[0], 7);
    EXPECT_TRUE(Mask("EXTRA", "BORDERSMASK"));
    const TsGeneralData& lone = Section("LONE");
    EXPECT_EQ(lone.ShadowBlur, 6);           // names itself: defaults
    EXPECT_EQ(lone.ShadowColor, 5);
    EXPECT_FALSE(Mask("GLOBALINFO", "BOXCHECKED"));  // GLOBALINFO of extra sections has no images
}

TEST(CurrentSkin, TheProgramsIconsAreTakenSmallAndLarge)
{
    ASSERT_TRUE(AppIcon && AppIconLarge);
    const int small = GetSystemMetrics(SM_CXSMICON), large = GetSystemMetrics(SM_CXICON);
    EXPECT_EQ(AppIcon->Width(), small);
    EXPECT_EQ(AppIconLarge->Width(), large);
    // They show the program's own picture (every test program carries it), not a generic one.
    auto centre = [](HICON Icon, int Size) {
        TBitmap bmp(Size, Size, pf24bit);
        DrawIconEx(bmp.Canvas()->Handle(), 0, 0, Icon, Size, Size, 0, nullptr, DI_NORMAL);
        return GetPixel(bmp.Canvas()->Handle(), Size / 2, Size / 2);
    };
    auto resource = [&](int Size) {
        HANDLE own = LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, Size, Size, 0);
        EXPECT_NE(own, nullptr);
        const COLORREF c = own ? centre(static_cast<HICON>(own), Size) : CLR_INVALID;
        DestroyIcon(static_cast<HICON>(own));
        return c;
    };
    EXPECT_EQ(centre(AppIconLarge->Handle(), large), resource(large));
    EXPECT_EQ(centre(AppIcon->Handle(), small), resource(small));
}
