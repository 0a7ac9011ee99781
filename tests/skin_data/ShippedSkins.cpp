// The two skins the program ships: every name the library looks up resolves, the constant index
// table is complete, and a stored copy of a skin loads into the same tables as its folder.
#include "SkinFixture.h"

#include <algorithm>

#include "sSkinManager.h"

using ShippedSkins = SkinTest;

namespace {

const char* const kSections[] = {
    "GLOBALINFO", "FORM", "FORMTITLE", "DIALOG", "MENULINE", "MENUITEM", "MAINMENU", "MDIAREA",
    "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERV", "SCROLLSLIDERH",
    "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V", "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT",
    "BUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "WEBBUTTON", "CHECKBOX", "RADIOBUTTON", "EDIT",
    "COMBOBOX", "LISTBOX", "PANEL", "PANEL_LOW", "GROUPBOX", "TABSHEET", "PAGECONTROL", "PAGECONTROLBOTTOM",
    "PAGECONTROLLEFT", "PAGECONTROLRIGHT", "TABCONTROL", "TABCONTROLBOTTOM", "TABCONTROLLEFT",
    "TABCONTROLRIGHT", "TOOLBAR", "STATUSBAR", "DIVIDER", "SPLITTER", "DRAGBAR", "BAR", "BARTITLE", "BARPANEL",
    "GAUGE", "PROGRESSH", "PROGRESSV", "TRACKBAR"};

const char* const kFrames[] = {"FORM", "MENUITEM", "MAINMENU", "BUTTON", "SPEEDBUTTON", "TOOLBUTTON", "EDIT",
                               "COMBOBOX", "PANEL_LOW", "GROUPBOX", "PAGECONTROL", "TABCONTROL", "STATUSBAR",
                               "DIVIDER", "GAUGE", "PROGRESSH", "PROGRESSV", "LISTBOX", "DIALOG"};

const char* const kTitleIcons[] = {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "TITLEBUTTON",
                                   "SICONCLOSE", "SICONMAX", "SICONMIN", "SICONNORM"};

// The index of the first ma (or pa) record of that section and name, found without the lookups.
template <class Table>
int Find(const Table& t, const char* Section, const char* Property)
{
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].ClassName == Section && t[i].PropertyName == Property)
            return static_cast<int>(i);
    return -1;
}

void ExpectNamesResolve(bool Dusk)
{
    for (const char* s : kSections)
        EXPECT_GE(GetSkinIndex(s), 0) << s;
    for (const char* s : kFrames)
        EXPECT_GE(GetMaskIndex(GetSkinIndex(s), s, "BORDERSMASK"), 0) << s;
    const char* iconSection = Dusk ? "FORM" : "GLOBALINFO";
    for (const char* icon : kTitleIcons)
        EXPECT_GE(Find(ma, iconSection, icon), 0) << icon;
    EXPECT_GE(GetMaskIndex(GetSkinIndex("FORM"), "FORM", "TITLEBAR"), 0);
    EXPECT_GE(GetMaskIndex(GetSkinIndex("GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE"), 0);
    EXPECT_GE(GetMaskIndex(GetSkinIndex("COMBOBOX"), "COMBOBOX", "GLYPHMASK"), 0);
    for (const TsMaskData& m : ma)
        EXPECT_GT(MaskSize(m).x, 0) << m.ClassName << "." << m.PropertyName;
}

} // namespace

TEST_F(ShippedSkins, NeutralHasEveryNameAndAFullConstantTable)
{
    LoadSkinFolder(ShippedSkin("Neutral"));
    ExpectNamesResolve(false);
    EXPECT_GE(GetSkinIndex("COLHEADER"), 0);
    EXPECT_GE(GetMaskIndex(GetSkinIndex("STATUSBAR"), "STATUSBAR", "STATUSPANELMASK"), 0);
    ASSERT_TRUE(MasterBitmap);
    EXPECT_EQ(MasterBitmap->PixelFormat(), pf24bit);
    EXPECT_TRUE(Mask("TOOLBUTTON", "BORDERSMASK")->Bmp);
    ASSERT_EQ(pa.size(), 2u);  // PATTERN and HOTPATTERN of MDIAREA
    EXPECT_EQ(pa[0].Img->Width(), 320);

    // Every entry against the table of what it holds, looked up by hand; in Neutral every image
    // entry is a record of its own, so a swapped pair shows.
    using E = SmallInt TConstantSkinData::*;
    struct TEntry {
        E Field;
        const char* Section;
        const char* Image;  // null: the section's index
    };
    const TEntry table[] = {
        {&TConstantSkinData::IndexGlobalInfo, "GLOBALINFO", nullptr},
        {&TConstantSkinData::IndexTabTop, "TABTOP", nullptr}, {&TConstantSkinData::IndexTabBottom, "TABBOTTOM", nullptr},
        {&TConstantSkinData::IndexTabLeft, "TABLEFT", nullptr}, {&TConstantSkinData::IndexTabRight, "TABRIGHT", nullptr},
        {&TConstantSkinData::MaskTabTop, "TABTOP", "BORDERSMASK"},
        {&TConstantSkinData::MaskTabBottom, "TABBOTTOM", "BORDERSMASK"},
        {&TConstantSkinData::MaskTabLeft, "TABLEFT", "BORDERSMASK"},
        {&TConstantSkinData::MaskTabRight, "TABRIGHT", "BORDERSMASK"},
        {&TConstantSkinData::IndexScrollBtnTop, "SCROLLBTNTOP", nullptr},
        {&TConstantSkinData::IndexScrollBtnBottom, "SCROLLBTNBOTTOM", nullptr},
        {&TConstantSkinData::IndexScrollBtnLeft, "SCROLLBTNLEFT", nullptr},
        {&TConstantSkinData::IndexScrollBtnRight, "SCROLLBTNRIGHT", nullptr},
        {&TConstantSkinData::MaskScrollBtnTop, "SCROLLBTNTOP", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBtnBottom, "SCROLLBTNBOTTOM", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBtnLeft, "SCROLLBTNLEFT", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBtnRight, "SCROLLBTNRIGHT", "BORDERSMASK"},
        {&TConstantSkinData::PatternScrollBtnTop, "SCROLLBTNTOP", "PATTERN"},
        {&TConstantSkinData::PatternScrollBtnBottom, "SCROLLBTNBOTTOM", "PATTERN"},
        {&TConstantSkinData::PatternScrollBtnLeft, "SCROLLBTNLEFT", "PATTERN"},
        {&TConstantSkinData::PatternScrollBtnRight, "SCROLLBTNRIGHT", "PATTERN"},
        {&TConstantSkinData::HotPatternScrollBtnTop, "SCROLLBTNTOP", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBtnBottom, "SCROLLBTNBOTTOM", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBtnLeft, "SCROLLBTNLEFT", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBtnRight, "SCROLLBTNRIGHT", "HOTPATTERN"},
        {&TConstantSkinData::GlyphScrollBtnTop, "SCROLLBTNTOP", "GLYPHMASK"},
        {&TConstantSkinData::GlyphScrollBtnBottom, "SCROLLBTNBOTTOM", "GLYPHMASK"},
        {&TConstantSkinData::GlyphScrollBtnLeft, "SCROLLBTNLEFT", "GLYPHMASK"},
        {&TConstantSkinData::GlyphScrollBtnRight, "SCROLLBTNRIGHT", "GLYPHMASK"},
        {&TConstantSkinData::IndexSliderV, "SCROLLSLIDERV", nullptr},
        {&TConstantSkinData::IndexSliderH, "SCROLLSLIDERH", nullptr},
        {&TConstantSkinData::MaskSliderV, "SCROLLSLIDERV", "BORDERSMASK"},
        {&TConstantSkinData::MaskSliderH, "SCROLLSLIDERH", "BORDERSMASK"},
        {&TConstantSkinData::GlyphSliderV, "SCROLLSLIDERV", "GLYPHMASK"},
        {&TConstantSkinData::GlyphSliderH, "SCROLLSLIDERH", "GLYPHMASK"},
        {&TConstantSkinData::PatternSliderH, "SCROLLSLIDERH", "PATTERN"},
        {&TConstantSkinData::HotPatternSliderH, "SCROLLSLIDERH", "HOTPATTERN"},
        {&TConstantSkinData::PatternSliderV, "SCROLLSLIDERV", "PATTERN"},
        {&TConstantSkinData::HotPatternSliderV, "SCROLLSLIDERV", "HOTPATTERN"},
        {&TConstantSkinData::IndexScrollBar1H, "SCROLLBAR1H", nullptr},
        {&TConstantSkinData::IndexScrollBar1V, "SCROLLBAR1V", nullptr},
        {&TConstantSkinData::IndexScrollBar2H, "SCROLLBAR2H", nullptr},
        {&TConstantSkinData::IndexScrollBar2V, "SCROLLBAR2V", nullptr},
        {&TConstantSkinData::MaskScrollBar1H, "SCROLLBAR1H", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBar1V, "SCROLLBAR1V", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBar2H, "SCROLLBAR2H", "BORDERSMASK"},
        {&TConstantSkinData::MaskScrollBar2V, "SCROLLBAR2V", "BORDERSMASK"},
        {&TConstantSkinData::PatternScrollBar1H, "SCROLLBAR1H", "PATTERN"},
        {&TConstantSkinData::PatternScrollBar1V, "SCROLLBAR1V", "PATTERN"},
        {&TConstantSkinData::PatternScrollBar2H, "SCROLLBAR2H", "PATTERN"},
        {&TConstantSkinData::PatternScrollBar2V, "SCROLLBAR2V", "PATTERN"},
        {&TConstantSkinData::HotPatternScrollBar1H, "SCROLLBAR1H", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBar1V, "SCROLLBAR1V", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBar2H, "SCROLLBAR2H", "HOTPATTERN"},
        {&TConstantSkinData::HotPatternScrollBar2V, "SCROLLBAR2V", "HOTPATTERN"},
        {&TConstantSkinData::MaskBoxChecked, "GLOBALINFO", "BOXCHECKED"},
        {&TConstantSkinData::MaskBoxUnchecked, "GLOBALINFO", "BOXUNCHECKED"},
        {&TConstantSkinData::MaskBoxGrayed, "GLOBALINFO", "BOXGRAYED"},
        {&TConstantSkinData::MaskRadioChecked, "GLOBALINFO", "RADIOCHECKED"},
        {&TConstantSkinData::MaskRadioUnchecked, "GLOBALINFO", "RADIOUNCHECKED"},
        {&TConstantSkinData::MaskRadioGrayed, "GLOBALINFO", "RADIOGRAYED"},
        {&TConstantSkinData::MaskSmallChecked, "GLOBALINFO", "SMALLCHECKED"},
        {&TConstantSkinData::MaskSmallUnchecked, "GLOBALINFO", "SMALLUNCHECKED"},
        {&TConstantSkinData::MaskSmallGrayed, "GLOBALINFO", "SMALLGRAYED"},
    };
    static_assert(sizeof(table) / sizeof(table[0]) == 64);
    std::vector<int> images;
    for (const TEntry& e : table) {
        int expected = -1;
        for (std::size_t i = 0; i < gd.size() && expected < 0; ++i)
            if (gd[i].ClassName == e.Section)
                expected = static_cast<int>(i);
        if (e.Image) {
            expected = Find(ma, e.Section, e.Image);
            images.push_back(expected);
        }
        EXPECT_GE(expected, 0) << e.Section << " " << (e.Image ? e.Image : "");
        EXPECT_EQ(ConstData.*e.Field, expected) << e.Section << " " << (e.Image ? e.Image : "");
    }
    std::sort(images.begin(), images.end());
    EXPECT_TRUE(std::adjacent_find(images.begin(), images.end()) == images.end());
}

TEST_F(ShippedSkins, DuskTakesTheOtherPaths)
{
    LoadSkinFolder(ShippedSkin("Dusk"));
    ExpectNamesResolve(true);
    EXPECT_EQ(Find(ma, "GLOBALINFO", "BICONCLOSE"), -1);
    EXPECT_EQ(Mask("GLOBALINFO", "BOXCHECKED")->MaskType, 0);
    EXPECT_TRUE(Mask("BUTTON", "BORDERSMASK")->Bmp);
    EXPECT_TRUE(Mask("COMBOBOX", "GLYPHMASK")->Bmp);
    // A small JPEG became a mask, a large one a pattern, a bitmap pattern a mask.
    ASSERT_TRUE(Mask("FORMTITLE", "PATTERN"));
    EXPECT_EQ(Mask("FORMTITLE", "PATTERN")->Bmp->Width(), 64);
    EXPECT_GE(GetPatternIndex(GetSkinIndex("MDIAREA"), "MDIAREA", "PATTERN"), 0);
    EXPECT_TRUE(Mask("BARPANEL", "PATTERN"));
    EXPECT_EQ(GetSkinIndex("COLHEADER"), -1);
    EXPECT_EQ(GetMaskIndex(GetSkinIndex("STATUSBAR"), "STATUSBAR", "STATUSPANELMASK"), -1);
    const TsGeneralData& title = Section("FORMTITLE");
    for (int i = 1; i < 5; ++i)
        EXPECT_NE(title.FontColor[i], -1) << i;
}

TEST_F(ShippedSkins, AStoredCopyLoadsLikeTheFolder)
{
    for (const char* name : {"Neutral", "Dusk"}) {
        LoadSkinFolder(ShippedSkin(name));
        TTables folder = TakeTables();

        TsSkinManager manager(nullptr);
        ASSERT_EQ(sSkinData->DefaultManager, &manager);
        TsStoredSkin* stored = manager.InternalSkins()->Add();
        stored->SetName(name);
        TMemIniFile options(ShippedSkin(name) + "Options.dat");
        stored->LoadSkin(&options);
        // A copy of the collection is what the form would hold.
        TsStoredSkins copy(&manager);
        copy.Assign(manager.InternalSkins());
        manager.SetBuiltInSkins(&copy);
        manager.SetSkinName(name);
        sSkinData->SkinFile.reset();
        sSkinData->SkinPath.clear();
        LoadAllMasks();
        LoadAllPatterns();
        LoadAllGeneralData();

        ASSERT_EQ(gd.size(), folder.Sections.size()) << name;
        for (std::size_t i = 0; i < gd.size(); ++i)
            ExpectSameGeneral(gd[i], folder.Sections[i]);
        ASSERT_EQ(ma.size(), folder.Masks.size()) << name;
        for (std::size_t i = 0; i < ma.size(); ++i) {
            const TsMaskData &a = ma[i], &b = folder.Masks[i];
            const AnsiString what = AnsiString(name) + " " + a.ClassName + "." + a.PropertyName;
            EXPECT_EQ(a.ClassName, b.ClassName) << what;
            EXPECT_EQ(a.PropertyName, b.PropertyName) << what;
            EXPECT_TRUE(a.R == b.R) << what;
            EXPECT_EQ(a.ImageCount, b.ImageCount) << what;
            EXPECT_EQ(a.MaskType, b.MaskType) << what;
            EXPECT_EQ(a.BorderWidth, b.BorderWidth) << what;
            ExpectSameBitmap(a.Bmp.get(), b.Bmp.get(), what);
        }
        ASSERT_EQ(pa.size(), folder.Patterns.size()) << name;
        for (std::size_t i = 0; i < pa.size(); ++i) {
            EXPECT_EQ(pa[i].ClassName, folder.Patterns[i].ClassName);
            EXPECT_EQ(pa[i].Img->Data(), folder.Patterns[i].Img->Data());
        }
        ExpectSameBitmap(MasterBitmap.get(), folder.Master.get(), "master");
        Clear();
    }
}
