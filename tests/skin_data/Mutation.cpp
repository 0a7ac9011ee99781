// Damaged skins: 10,000 seeded mutations of Neutral's options file, bitmap and JPEG fed to the
// loaders (the images through files, which is slower, so fewer of them). No crash, no hang, and
// every refusal is one of the framework's exceptions with a message.
#include "SkinFixture.h"

#include <random>

namespace {

using Bytes = std::string;

// One to four changes: bytes overwritten, a run cut out or doubled, a number made extreme,
// the end cut off.
Bytes Mutate(Bytes b, std::mt19937& rng, std::size_t hotSpan)
{
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < changes && !b.empty(); ++c) {
        // Most changes land in the first hotSpan bytes (headers), the rest anywhere.
        const std::size_t span = rng() % 3 ? std::min(hotSpan, b.size()) : b.size();
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
        Expect(TryLoad(Mutate(head + pieces[static_cast<std::size_t>(i) % pieces.size()], rng, 4096), dir.Path()));
    EXPECT_LT(refused, 8800);
}

TEST_F(SkinMutation, Bitmaps)
{
    const Bytes bitmap = testkit::ReadFileBytes(ShippedSkin("Neutral") + "ToolButton.bmp");
    const AnsiString bitmapOptions =
        "[GLOBALINFO]\r\nMASTERBITMAP=M.bmp\r\n[BUTTON]\r\nBORDERSMASK=#(0,0,36,24),3,1\r\nGLYPHMASK=M.bmp\r\n";
    for (int i = 0; i < 600; ++i) {
        testkit::WriteFileBytes(dir / "M.bmp", Mutate(bitmap, rng, 54));
        Expect(TryLoad(bitmapOptions, dir.Path()));
    }
    EXPECT_GT(refused, 0);
}

TEST_F(SkinMutation, Jpegs)
{
    const Bytes jpeg = testkit::ReadFileBytes(ShippedSkin("Neutral") + "Paper.jpg");
    const AnsiString jpegOptions = "[MDIAREA]\r\nPATTERN=P.jpg\r\nHOTPATTERN=P.jpg\r\n";
    for (int i = 0; i < 600; ++i) {
        testkit::WriteFileBytes(dir / "P.jpg", Mutate(jpeg, rng, 700));
        Expect(TryLoad(jpegOptions, dir.Path(), i % 8 == 0));
    }
    EXPECT_GT(refused, 0);
}
