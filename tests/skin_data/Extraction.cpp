// A stored skin written out as a skin folder, and an image of the loaded skin replaced by a file.
#include "SkinFixture.h"

#include <map>

#include "Dialogs.h"
#include "SysUtils.h"
#include "sSkinManager.h"

namespace {

class Extraction : public SkinTest {
protected:
    void SetUp() override
    {
        SkinTest::SetUp();
        guard_ = std::make_unique<TPromptServiceGuard>(prompts);
    }
    void TearDown() override
    {
        guard_.reset();
        SkinTest::TearDown();
    }
    TScriptedPromptService prompts;

private:
    std::unique_ptr<TPromptServiceGuard> guard_;
};

template <class Record>
std::map<std::string, const Record*> ByName(const std::vector<Record>& Table)
{
    std::map<std::string, const Record*> m;
    for (const Record& r : Table)
        m.emplace(std::string(r.ClassName.c_str()) + "." + r.PropertyName.c_str(), &r);
    return m;
}

} // namespace

TEST_F(Extraction, AStoredSkinWrittenOutLoadsIntoTheSameTables)
{
    testkit::TempDir dir;
    for (const char* name : {"Neutral", "Dusk"}) {
        LoadSkinFolder(ShippedSkin(name));
        const TTables folder = TakeTables();
        const double version = sSkinData->Version;
        const AnsiString description = sSkinData->Description;

        TsSkinManager manager(nullptr);
        manager.SetActive(false);
        TsStoredSkin* stored = manager.InternalSkins()->Add();
        stored->SetName(name);
        TMemIniFile options(ShippedSkin(name) + "Options.dat");
        stored->LoadSkin(&options);
        // A bitmap kept in the form without its file name.
        for (int i = 0; i < stored->Images()->Count(); ++i)
            if (!stored->Images()->Items(i)->Image()->Empty()) {
                stored->Images()->Items(i)->SetName("");
                break;
            }
        manager.ExtractByIndex(0, dir.Path());
        EXPECT_TRUE(prompts.Shown.empty());

        manager.SetSkinDirectory(dir.Path());
        manager.SetSkinName(AnsiString(name) + " extracted");
        manager.SetActive(true);
        ASSERT_TRUE(sSkinData->Active) << name;
        EXPECT_EQ(sSkinData->SkinPath, dir / (std::string(name) + " extracted\\"));
        EXPECT_EQ(sSkinData->Version, version);
        EXPECT_EQ(sSkinData->Description, description);
        // The written file may order its sections otherwise: records are matched by name.
        ASSERT_EQ(gd.size(), folder.Sections.size()) << name;
        for (TsGeneralData g : folder.Sections) {
            // An INI value cannot keep a lone blank; both texts mean no gradient.
            if (g.GradientData == " ")
                g.GradientData.clear();
            ExpectSameGeneral(gd.at(static_cast<std::size_t>(GetSkinIndex(g.ClassName))), g);
        }
        const auto masks = ByName(ma), expected = ByName(folder.Masks);
        ASSERT_EQ(masks.size(), expected.size()) << name;
        for (const auto& [what, b] : expected) {
            ASSERT_TRUE(masks.count(what)) << what;
            const TsMaskData& a = *masks.at(what);
            EXPECT_TRUE(a.R == b->R) << what;
            EXPECT_EQ(a.ImageCount, b->ImageCount) << what;
            EXPECT_EQ(a.MaskType, b->MaskType) << what;
            EXPECT_EQ(a.BorderWidth, b->BorderWidth) << what;
            ExpectSameBitmap(a.Bmp.get(), b->Bmp.get(), what.c_str());
        }
        const auto patterns = ByName(pa);
        ASSERT_EQ(patterns.size(), folder.Patterns.size());
        for (const auto& [what, p] : ByName(folder.Patterns))
            EXPECT_EQ(patterns.at(what)->Img->Data(), p->Img->Data()) << what;
        ExpectSameBitmap(MasterBitmap.get(), folder.Master.get(), "master");
    }
}

TEST_F(Extraction, RefusalsAreShownAndWriteNothing)
{
    testkit::TempDir dir;
    TsSkinManager manager(nullptr);
    manager.SetActive(false);
    manager.InternalSkins()->Add()->SetName("Kept");
    manager.ExtractInternalSkin("Kept", dir / "missing");
    manager.ExtractInternalSkin("kept", dir.Path());
    testkit::WriteFileBytes(dir / "Kept extracted", "a file in the way");
    manager.ExtractInternalSkin("Kept", dir.Path());
    ASSERT_EQ(prompts.Shown.size(), 3u);
    EXPECT_EQ(prompts.Shown[0].Text, "Directory with such name do not exists.");
    EXPECT_EQ(prompts.Shown[1].Text, "Skin with such name do not exists.") << "names match with case";
    EXPECT_EQ(prompts.Shown[2].Text, AnsiString("Directory ") + dir.Path() + "Kept extracted\\ creation error.");
    EXPECT_EQ(prompts.Shown[2].DlgType, mtError);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "Kept extracted"), "a file in the way");
}

TEST_F(Extraction, AnImageIsReplacedOnlyByOneThatLoads)
{
    const AnsiString skin = "[GLOBALINFO]\r\n[PANEL]\r\nPATTERN=J200.jpg\r\nHOTPATTERN=J300.jpg\r\nGLYPHMASK=Glyph.bmp\r\n";
    const AnsiString images = TestSkin("Images");
    TsSkinManager manager(nullptr);
    manager.SetActive(false);
    LoadSkinText(skin, images);
    sSkinData->Active = true;
    const int panel = GetSkinIndex("PANEL");
    EXPECT_FALSE(manager.ChangeImageInSkin("PANEL", "GLYPHMASK", images + "Nowhere.bmp"));
    EXPECT_FALSE(manager.ChangeImageInSkin("PANEL", "GLYPHMASK", images + "J200.jpg")) << "masks are bitmaps";
    EXPECT_TRUE(manager.ChangeImageInSkin("panel", "glyphmask", images + "Glyph8.bmp"));
    TBitmap glyph8;
    glyph8.LoadFromFile(images + "Glyph8.bmp");
    glyph8.SetPixelFormat(pf24bit);
    ExpectSameBitmap(ma[static_cast<std::size_t>(GetMaskIndex(panel, "PANEL", "GLYPHMASK"))].Bmp.get(), &glyph8, "glyph");

    // A bitmap that does not load leaves the pattern it was to replace.
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "Broken.bmp", "BM not a bitmap");
    const std::string reason = testkit::Refusal<Exception>(
        [&] { manager.ChangeImageInSkin("PANEL", "HOTPATTERN", dir / "Broken.bmp"); });
    EXPECT_EQ(reason, "Bitmap image is not valid");
    const int hot = GetPatternIndex(panel, "PANEL", "HOTPATTERN");
    ASSERT_GE(hot, 0);
    EXPECT_TRUE(pa[static_cast<std::size_t>(hot)].Img);

    EXPECT_TRUE(manager.ChangeImageInSkin("PANEL", "HOTPATTERN", images + "Glyph.bmp"));
    EXPECT_EQ(GetPatternIndex(panel, "PANEL", "HOTPATTERN"), -1);
    EXPECT_FALSE(pa[static_cast<std::size_t>(hot)].Img) << "the retired pattern is freed";
    EXPECT_EQ(pa[static_cast<std::size_t>(hot)].ClassName, "NONE");
    EXPECT_TRUE(ma[static_cast<std::size_t>(GetMaskIndex(panel, "PANEL", "HOTPATTERN"))].Bmp);

    // A large JPEG in place of a pattern held as a mask: the new pattern is found, the mask not.
    const int small = GetMaskIndex(panel, "PANEL", "PATTERN");
    ASSERT_GE(small, 0);
    EXPECT_FALSE(manager.ChangeImageInSkin("PANEL", "PATTERN", images + "J300.jpg"));
    EXPECT_EQ(GetMaskIndex(panel, "PANEL", "PATTERN"), -1);
    EXPECT_FALSE(ma[static_cast<std::size_t>(small)].Bmp);
    EXPECT_EQ(pa[static_cast<std::size_t>(GetPatternIndex(panel, "PANEL", "PATTERN"))].Img->Width(), 300);
}
