// Damaged skins: 10,000 seeded mutations of Neutral's options file, bitmap and JPEG fed to the
// loaders (the images through files, which is slower, so fewer of them). No crash, no hang, and
// every refusal is one of the framework's exceptions with a message. Whole skins mutated, loaded
// by the manager and painted on a form: skin_forms_gui (Hostile).
#include "SkinFixture.h"

namespace {

using Bytes = std::string;

// Loads (and with Decode decodes the large JPEGs, as the first paint would); answers "" or the
// refusal's message.
AnsiString TryLoad(const AnsiString& Options, const AnsiString& Folder, bool Decode = false)
{
    try {
        LoadSkinText(Options, Folder);
        if (Decode)
            for (TsPatternData& p : pa)
                p.Img->Bitmap();
        sSkinData->Active = true;
        InitConstantIndexes();
        return {};
    } catch (const Exception& e) {
        return e.Message.empty() ? AnsiString("(no message)") : e.Message;
    }
}

class SkinMutation : public SkinTest {
protected:
    testkit::TempDir dir;
    std::mt19937 rng{20261207};
    int refused = 0;

    void Expect(const AnsiString& result)
    {
        EXPECT_NE(result, "(no message)");
        refused += result.empty() ? 0 : 1;
    }
};

} // namespace

TEST_F(SkinMutation, OptionsFile)
{
    // Pieces of a few sections each keep a load quick; the images come from a small master.
    const Bytes options = testkit::ReadFileBytes(ShippedSkin("Neutral") + "Options.dat");
    std::vector<Bytes> pieces;
    for (std::size_t at = 0; at < options.size();) {
        std::size_t end = at;
        for (int sections = 0; sections < 3 && end != Bytes::npos; ++sections)
            end = options.find("\r\n[", end + 1);
        pieces.push_back(options.substr(at, end == Bytes::npos ? Bytes::npos : end - at));
        at = end == Bytes::npos ? options.size() : end + 2;
    }
    ASSERT_GT(pieces.size(), 5u);
    testkit::WriteFileBytes(dir / "Master.bmp", testkit::ReadFileBytes(TestSkin("Parents") + "Glyph.bmp"));
    testkit::WriteFileBytes(dir / "ToolButton.bmp", testkit::ReadFileBytes(ShippedSkin("Neutral") + "ToolButton.bmp"));
    const Bytes head = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n";
    for (int i = 0; i < 8800; ++i)
        Expect(TryLoad(MutateBytes(head + pieces[static_cast<std::size_t>(i) % pieces.size()], rng, 4096), dir.Path()));
    EXPECT_LT(refused, 8800);
}

TEST_F(SkinMutation, Bitmaps)
{
    const Bytes bitmap = testkit::ReadFileBytes(ShippedSkin("Neutral") + "ToolButton.bmp");
    const AnsiString bitmapOptions =
        "[GLOBALINFO]\r\nMASTERBITMAP=M.bmp\r\n[BUTTON]\r\nBORDERSMASK=#(0,0,36,24),3,1\r\nGLYPHMASK=M.bmp\r\n";
    for (int i = 0; i < 600; ++i) {
        testkit::WriteFileBytes(dir / "M.bmp", MutateBytes(bitmap, rng, 54));
        Expect(TryLoad(bitmapOptions, dir.Path()));
    }
    EXPECT_GT(refused, 0);
}

TEST_F(SkinMutation, Jpegs)
{
    const Bytes jpeg = testkit::ReadFileBytes(ShippedSkin("Neutral") + "Paper.jpg");
    const AnsiString jpegOptions = "[MDIAREA]\r\nPATTERN=P.jpg\r\nHOTPATTERN=P.jpg\r\n";
    for (int i = 0; i < 600; ++i) {
        testkit::WriteFileBytes(dir / "P.jpg", MutateBytes(jpeg, rng, 700));
        Expect(TryLoad(jpegOptions, dir.Path(), i % 8 == 0));
    }
    EXPECT_GT(refused, 0);
}
