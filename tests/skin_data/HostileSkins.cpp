// What a skin cannot make the loaders do: follow parents without end, keep rectangles outside its
// master image, read one file twice, or take more memory than a skin may have.
#include "SkinFixture.h"

#include <random>

namespace {

using HostileSkins = SkinTest;

// The bounded walk of a key through PARENTCLASS, written straight from the format: the section's
// own value, else its parent's, and so on for at most as many links as there are sections.
struct TWalkSection {
    std::string Name, Parent, Color, Focus; // "" for a key that is not written
    bool HasParent = false, HasColor = false, HasFocus = false;
};

const TWalkSection* Find(const std::vector<TWalkSection>& Sections, const std::string& Name)
{
    for (const TWalkSection& s : Sections)
        if (SameText(s.Name, Name))
            return &s;
    return nullptr;
}

template <class Has>
const TWalkSection* Walk(const std::vector<TWalkSection>& Sections, const TWalkSection* S, Has has)
{
    for (std::size_t link = 0; S && link <= Sections.size(); ++link) {
        if (has(*S))
            return S;
        if (!S->HasParent || S->Parent.empty() || S->Parent == "?" || SameText(S->Parent, S->Name))
            return nullptr;
        S = Find(Sections, S->Parent);
    }
    return nullptr;
}

} // namespace

TEST_F(HostileSkins, ParentsAreFollowedAsABoundedWalkWouldThroughChainsAndLoops)
{
    std::mt19937 rng(20261207);
    const char* const colors[] = {"-1", "x", "255", "0x10", "7"};
    const char* const focus[] = {"?", "TRUE", "false", "yes"};
    for (int graph = 0; graph < 300; ++graph) {
        std::vector<TWalkSection> sections(1 + rng() % 10);
        for (std::size_t i = 0; i < sections.size(); ++i)
            sections[i].Name = "S" + std::to_string(i);
        AnsiString text;
        for (TWalkSection& s : sections) {
            if ((s.HasParent = rng() % 5 != 0)) {
                const int kind = static_cast<int>(rng() % 8);
                s.Parent = kind == 0 ? "" : kind == 1 ? "?" : kind == 2 ? "s" + s.Name.substr(1)
                                                                         : "s" + std::to_string(rng() % sections.size());
            }
            if ((s.HasColor = rng() % 3 == 0))
                s.Color = colors[rng() % 5];
            if ((s.HasFocus = rng() % 3 == 0))
                s.Focus = focus[rng() % 4];
            text += "[" + s.Name + "]\r\n";
            if (s.HasParent)
                text += "PARENTCLASS=" + s.Parent + "\r\n";
            if (s.HasColor)
                text += "COLOR=" + s.Color + "\r\n";
            if (s.HasFocus)
                text += "SHOWFOCUS=" + s.Focus + "\r\n";
        }
        LoadSkinText(text, "");
        for (const TWalkSection& s : sections) {
            int color = 0;
            const TWalkSection* c = Walk(sections, &s, [&color](const TWalkSection& w) {
                return w.HasColor && TryStrToInt(w.Color, color) && color != -1;
            });
            const TWalkSection* f = Walk(sections, &s, [](const TWalkSection& w) { return w.HasFocus && w.Focus != "?"; });
            ASSERT_EQ(Section(s.Name.c_str()).Color, c ? color : 0xFFFFFF) << text << s.Name;
            ASSERT_EQ(Section(s.Name.c_str()).ShowFocus, f && UpperCase(f->Focus) == "TRUE") << text << s.Name;
        }
    }
}

TEST_F(HostileSkins, RectanglesMustLieWithinTheMasterImage)
{
    // The master is 90 x 60.
    LoadSkinText("[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[R]\r\nWHOLE=#(0,0,90,60),3,1\r\nEMPTY=#(90,60,90,60),1,0\r\n"
                 "WIDE=#(0,0,91,60),3,1\r\nTALL=#(0,0,90,61),3,1\r\nLEFT=#(-1,0,30,20),3,1\r\nUP=#(0,-1,30,20),3,1\r\n"
                 "BACK=#(30,0,29,20),1,0\r\nHUGE=#(0,0,2147483647,2147483647),3,1\r\nLOW=#(198,146,222,-2147483647),2,1\r\n",
                 TestSkin("Parents"));
    EXPECT_TRUE(Mask("R", "WHOLE"));
    EXPECT_TRUE(Mask("R", "EMPTY")) << "kept, as a mask of no cells";
    for (const char* outside : {"WIDE", "TALL", "LEFT", "UP", "BACK", "HUGE", "LOW"})
        EXPECT_FALSE(Mask("R", outside)) << outside;
}

TEST_F(HostileSkins, AnImageFileNamedManyTimesIsReadOnceAndShared)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "Tool.bmp", testkit::ReadFileBytes(ShippedSkin("Neutral") + "ToolButton.bmp"));
    testkit::WriteFileBytes(dir / "Paper.jpg", testkit::ReadFileBytes(ShippedSkin("Neutral") + "Paper.jpg"));
    testkit::WriteFileBytes(dir / "Small.jpg", testkit::ReadFileBytes(TestSkin("Images") + "J200.jpg"));
    AnsiString text;
    for (int i = 0; i < 30; ++i)
        text += "[S" + IntToStr(i) + "]\r\nGLYPHMASK=" + (i % 2 ? "Tool.bmp" : "TOOL.BMP") +
                "\r\nPATTERN=Paper.jpg\r\nHOTPATTERN=Paper.jpg\r\nSMALL=Small.jpg\r\n";
    LoadSkinText(text, dir.Path());
    sSkinData->Active = true;
    ASSERT_EQ(pa.size(), 60u);
    for (int i = 0; i < 30; ++i) {
        const AnsiString s = "S" + IntToStr(i);
        ASSERT_TRUE(Mask(s.c_str(), "GLYPHMASK") && Mask(s.c_str(), "SMALL")) << s;
        EXPECT_EQ(Mask(s.c_str(), "GLYPHMASK")->Bmp, Mask("S0", "GLYPHMASK")->Bmp) << s;
        EXPECT_EQ(Mask(s.c_str(), "SMALL")->Bmp, Mask("S0", "SMALL")->Bmp) << s;
    }
    EXPECT_TRUE(std::all_of(pa.begin(), pa.end(), [](const TsPatternData& p) { return p.Img == pa[0].Img; }));
    EXPECT_TRUE(pa[0].Img->Bitmap() && pa[0].Img->Bitmap() == pa[59].Img->Bitmap()) << "decoded once";
    EXPECT_EQ(SkinImagesWarning(), "");
}

TEST_F(HostileSkins, ImagesPastTheLimitOrTheSkinsBudgetAreNoImagesWithOneWarning)
{
    // The sizes are what the headers declare: nothing is decoded to weigh them.
    testkit::TempDir dir;
    const std::string paper = testkit::ReadFileBytes(ShippedSkin("Neutral") + "Paper.jpg");
    testkit::WriteFileBytes(dir / "Limit.jpg", JpegDeclaring(paper, 4096, 4096));
    testkit::WriteFileBytes(dir / "Wider.jpg", JpegDeclaring(paper, 4097, 4096));
    testkit::WriteFileBytes(dir / "Taller.bmp", RleBitmapDeclaring(4096, 4097));
    for (const char* name : {"A", "B", "C"})
        testkit::WriteFileBytes(dir / (std::string(name) + ".jpg"), JpegDeclaring(paper, 4096, 4096));
    testkit::WriteFileBytes(dir / "Last.jpg", JpegDeclaring(paper, 300, 300));
    const AnsiString folder = dir.Path();
    auto pattern = [](const char* Section) { return GetPatternIndex(GetSkinIndex(Section), Section, "PATTERN"); };
    auto head = [&folder](const char* File, const char* Size) {
        return "Скин \"" + ExtractFileName(ExcludeTrailingBackslash(folder)) + "\": рисунок \"" + folder + File + "\" (" +
               Size + ") не загружен: ";
    };

    // One image may have 4096 x 4096 pixels; a skin four such.
    LoadSkinText("[L]\r\nPATTERN=Limit.jpg\r\n[W]\r\nPATTERN=Wider.jpg\r\n[T]\r\nGLYPHMASK=Taller.bmp\r\n"
                 "[A]\r\nPATTERN=A.jpg\r\n[B]\r\nPATTERN=B.jpg\r\n[C]\r\nPATTERN=C.jpg\r\n[X]\r\nPATTERN=Last.jpg\r\n",
                 folder);
    sSkinData->Active = true;
    for (const char* kept : {"L", "A", "B", "C"})
        EXPECT_GE(pattern(kept), 0) << kept;
    EXPECT_EQ(pattern("W"), -1);
    EXPECT_FALSE(Mask("T", "GLYPHMASK"));
    EXPECT_EQ(pattern("X"), -1) << "past the budget";
    EXPECT_EQ(SkinImagesWarning(), head("Taller.bmp", "4096 x 4097") + "он больше 16777216 точек. Не загружено рисунков: 3.");

    // The budget alone: the warning says so.
    LoadSkinText("[L]\r\nPATTERN=Limit.jpg\r\n[A]\r\nPATTERN=A.jpg\r\n[B]\r\nPATTERN=B.jpg\r\n[C]\r\nPATTERN=C.jpg\r\n"
                 "[X]\r\nPATTERN=Last.jpg\r\n",
                 folder);
    EXPECT_EQ(SkinImagesWarning(), head("Last.jpg", "300 x 300") + "рисунки скина заняли бы больше 192 МБ.");
    LoadSkinText("[L]\r\nPATTERN=Limit.jpg\r\n", folder);
    EXPECT_EQ(SkinImagesWarning(), "") << "each load warns of its own";
}
