#include <gtest/gtest.h>

#include <array>

#include "Classes.h"
#include "Jpeg.h"
#include "TestKit.h"

namespace {

std::string Data(const char* name) { return testkit::DataDir() + "graphics\\" + name; }

// Channels of a 24-bit pixel as red, green, blue.
std::array<int, 3> Rgb(TBitmap* b, int x, int y)
{
    const Byte* p = static_cast<const Byte*>(b->ScanLine(y)) + 3 * x;
    return {p[2], p[1], p[0]};
}

void ExpectNear(std::array<int, 3> got, std::array<int, 3> want, const char* what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], want[i], 12) << what << " channel " << i;
}

} // namespace

TEST(Jpeg, SizeComesFromTheHeaderAndPixelsFromTheDecoder)
{
    TJPEGImage j;
    EXPECT_TRUE(j.Empty());
    EXPECT_EQ(j.Bitmap(), nullptr);
    j.LoadFromFile(Data("rgb.jpg"));
    EXPECT_EQ(j.Width(), 32);
    EXPECT_EQ(j.Height(), 16);
    TBitmap* b = j.Bitmap();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    ExpectNear(Rgb(b, 4, 8), {255, 0, 0}, "left half red");
    ExpectNear(Rgb(b, 28, 8), {0, 0, 255}, "right half blue");
    EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { j.SetWidth(3); }), "Cannot change the size of a JPEG image");

    j.SetGrayscale(true);
    b = j.Bitmap();
    auto g = Rgb(b, 4, 8);
    EXPECT_EQ(g[0], g[1]);
    EXPECT_EQ(g[1], g[2]);
    EXPECT_NEAR(g[0], 76, 12) << "luminance of red";
}

TEST(Jpeg, GreyCmykAndProgressiveImagesDecode)
{
    TJPEGImage gray, cmyk, prog;
    gray.LoadFromFile(Data("gray.jpg"));
    ExpectNear(Rgb(gray.Bitmap(), 3, 3), {128, 128, 128}, "grey");
    cmyk.LoadFromFile(Data("cmyk.jpg"));
    ExpectNear(Rgb(cmyk.Bitmap(), 3, 3), {0, 255, 0}, "cmyk");
    cmyk.SetGrayscale(true);
    ExpectNear(Rgb(cmyk.Bitmap(), 3, 3), {150, 150, 150}, "cmyk in grey");
    prog.LoadFromFile(Data("progressive.jpg"));
    EXPECT_EQ(prog.Width(), 24);
    ExpectNear(Rgb(prog.Bitmap(), 20, 20), {0, 0, 255}, "progressive");
}

TEST(Jpeg, KeepsItsBytesAndCopiesIntoBitmaps)
{
    std::string original = testkit::ReadFileBytes(Data("rgb.jpg"));
    TJPEGImage j;
    j.LoadFromFile(Data("rgb.jpg"));
    auto saved = j.SaveToMemory();
    EXPECT_EQ(std::string(saved.begin(), saved.end()), original);

    TJPEGImage copy;
    copy.Assign(&j);
    EXPECT_EQ(copy.Width(), 32);
    EXPECT_EQ(copy.Data(), j.Data());

    TBitmap b;
    b.Assign(&j);
    EXPECT_EQ(b.Width(), 32);
    ExpectNear(Rgb(&b, 28, 2), {0, 0, 255}, "assigned");

    TBitmap canvas(40, 20);
    canvas.Canvas()->Draw(4, 2, &j);
    ExpectNear(Rgb(&canvas, 6, 4), {255, 0, 0}, "drawn");
    ExpectNear(Rgb(&canvas, 1, 1), {255, 255, 255}, "outside the image");

    TMemoryStream ms;
    j.SaveToStream(&ms);
    ms.SetPosition(0);
    TJPEGImage back;
    back.LoadFromStream(&ms);
    EXPECT_EQ(back.Data(), j.Data());

    TJPEGImage bad;
    EXPECT_EQ(testkit::Refusal<EInvalidGraphic>([&] { bad.LoadFromMemory("\xFF\xD8\xFF", 3); }), "JPEG error #53");
    EXPECT_TRUE(bad.Empty()) << "a refused image leaves the object as it was";
}

namespace {

// "decoded" or the reason the decoder gave.
std::string Decoded(const std::string& bytes)
{
    TJPEGImage j;
    try {
        j.LoadFromMemory(bytes.data(), bytes.size());
        j.Bitmap();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "decoded";
}

} // namespace

TEST(Jpeg, DataEndingLongBeforeTheImageIsRefusedInsteadOfShownGrey)
{
    const std::string tall = testkit::ReadFileBytes(Data("tall.jpg")); // 16x256, red to blue
    const size_t scan = tall.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    const size_t data = tall.size() - scan;
    EXPECT_EQ(Decoded(tall.substr(0, tall.size() - 2)), "decoded") << "only the end marker missing";
    EXPECT_EQ(Decoded(tall.substr(0, scan + data * 9 / 10)), "decoded") << "most of the image there";
    EXPECT_EQ(Decoded(tall.substr(0, scan + data / 5)), "JPEG error: Premature end of JPEG file");
    // Frames that declare far more than their data holds, baseline and progressive.
    const std::string rgb = testkit::ReadFileBytes(Data("rgb.jpg"));
    const std::string prog = testkit::ReadFileBytes(Data("progressive.jpg"));
    EXPECT_EQ(Decoded(testkit::JpegWithSize(rgb, 320, 1600)), "JPEG error: Corrupt JPEG data: premature end of data segment");
    EXPECT_EQ(Decoded(testkit::JpegWithSize(prog, 1200, 1200)), "JPEG error: Corrupt JPEG data: premature end of data segment");
    // Its data would take more memory than an image may: refused before any is taken.
    EXPECT_EQ(Decoded(testkit::JpegWithSize(prog, 32767, 2730)), "JPEG image is too large");
}
