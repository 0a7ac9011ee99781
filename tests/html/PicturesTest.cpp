// The pictures of a page: one memory budget for the page, a limit for each picture, the
// alternative text where they say no.
#include <gtest/gtest.h>
#include <windows.h>

#include "Graphics.h"
#include "HtmlViewImages.h"
#include "TestKit.h"

using namespace htmlview;

namespace {

void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += char(v >> (8 * i));
}

// An RLE8 bitmap of about 1 KB whose header declares `w` x `h`: its data is the end mark alone.
std::string RleHeaderOnly(std::uint32_t w, std::uint32_t h)
{
    std::string s = "BM";
    Put32(s, 14 + 40 + 1024 + 2);
    Put32(s, 0);
    Put32(s, 14 + 40 + 1024);
    for (std::uint32_t v : {40u, w, h, 1u | (8u << 16), 1u /*RLE8*/, 2u, 0u, 0u, 256u, 0u})
        Put32(s, v);
    s += std::string(1024, '\0');
    return s + std::string("\0\1", 2);
}

struct ImageRun {
    std::string text, src;
    int w, h;
};

std::vector<ImageRun> ImageRuns(const std::string& page, PageImages& images)
{
    Document doc = Parse(page);
    images.ReadAll(doc);
    HDC dc = CreateCompatibleDC(nullptr);
    FontCache fonts;
    Layout l = LayOut(doc, 2000, dc, fonts, &images);
    DeleteDC(dc);
    std::vector<ImageRun> out;
    for (const Run& r : l.runs)
        if (r.kind == RunKind::Image)
            out.push_back({std::string(r.text), r.src, r.w, r.h});
    return out;
}

} // namespace

TEST(PagePictures, OneBudgetForThePageAndALimitForEachPicture)
{
    testkit::TempDir dir;
    TBitmap small(10, 10), large(20, 10); // 24-bit rows of 32 and 60 bytes
    small.SaveToFile(dir / "small.bmp");
    large.SaveToFile(dir / "large.bmp");
    // 1000 bytes for the page, 600 for one picture: three small pictures (320 bytes each) fit,
    // the fourth does not; the large one (600 bytes) fits alone but not in what is left.
    PageImages images(dir / "page.html", 1000, 600);
    auto runs = ImageRuns("<img src=small.bmp alt=A><img src=small.bmp alt=A2><img src=large.bmp alt=L>"
                          "<img src=./small.bmp alt=B><img src=.\\small.bmp alt=C><img src=SMALL.BMP alt=D>",
                          images);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].src, "small.bmp");
    EXPECT_EQ(runs[0].w, 10);
    EXPECT_EQ(runs[1].src, "small.bmp") << "the same picture counts once";
    EXPECT_EQ(runs[2].src, "large.bmp") << "600 bytes of 680 left";
    EXPECT_EQ(runs[2].w, 20);
    EXPECT_EQ(runs[3].src, "") << "past the budget";
    EXPECT_EQ(runs[3].text, "B") << "the alternative text shows";
    EXPECT_EQ(images.Used(), 920);

    PageImages strict(dir / "page.html", 1000, 599);
    runs = ImageRuns("<img src=large.bmp alt=L><img src=small.bmp alt=S>", strict);
    EXPECT_EQ(runs[0].src, "") << "over the limit of one picture";
    EXPECT_EQ(runs[1].src, "small.bmp");
    EXPECT_EQ(strict.Used(), 320);
}

// Ten tiny files that declare huge pictures take no pixel memory: they are refused from their
// headers before anything is decoded, and the page shows their alternative texts.
TEST(PagePictures, TinyFilesDeclaringHugePicturesAreRefusedFromTheirHeaders)
{
    testkit::TempDir dir;
    const std::string rle = RleHeaderOnly(32768, 8192); // 256 MB of 8-bit pixels
    ASSERT_EQ(BitmapFilePixelBytes(rle.data(), rle.size()), 32768ll * 8192);
    testkit::WriteFileBytes(dir / "huge.bmp", rle);
    const std::string prog = testkit::ReadFileBytes(testkit::DataDir() + "graphics\\progressive.jpg");
    testkit::WriteFileBytes(dir / "huge.jpg", testkit::JpegWithSize(prog, 32767, 2730)); // 268 MB
    std::string page;
    for (int i = 0; i < 10; ++i)
        page += "<img src=huge.bmp?" + std::to_string(i) + " alt=bmp><img src=huge.jpg#" + std::to_string(i) +
                " alt=jpeg>";
    PageImages images(dir / "page.html");
    auto runs = ImageRuns(page, images);
    ASSERT_EQ(runs.size(), 20u);
    for (const ImageRun& r : runs) {
        EXPECT_EQ(r.src, "");
        EXPECT_TRUE(r.text == "bmp" || r.text == "jpeg") << r.text;
    }
    EXPECT_EQ(images.Used(), 0);
}
