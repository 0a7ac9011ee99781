// Malformed and mutated images are refused with EInvalidGraphic, never a crash.
#include <gtest/gtest.h>

#include <random>

#include "BmpBuilder.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "TestKit.h"
#include "Watchdog.h"

using namespace bmptest;

namespace {

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    std::string dir = testkit::DataDir() + "graphics\\bad\\";
    HANDLE h = FindFirstFileA((dir + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Loads one candidate; returns false when it was refused with EInvalidGraphic.
bool TryBitmap(const Bytes& data)
{
    TBitmap b;
    try {
        b.LoadFromMemory(data.data(), data.size());
    } catch (const EInvalidGraphic&) {
        return false;
    }
    EXPECT_LE(b.Width(), MaxBitmapSide);
    EXPECT_LE(b.Height(), MaxBitmapSide);
    if (!b.Empty()) { // the whole image is readable
        volatile Byte sum = 0;
        for (int y = 0; y < b.Height(); ++y)
            sum = static_cast<Byte>(sum + static_cast<Byte*>(b.ScanLine(y))[b.RowBytes() - 1]);
    }
    return true;
}

bool TryJpeg(const Bytes& data, bool decode)
{
    TJPEGImage j;
    try {
        j.LoadFromMemory(data.data(), data.size());
        if (decode && std::int64_t(j.Width()) * j.Height() <= 1 << 20)
            j.Bitmap();
    } catch (const EInvalidGraphic&) {
        return false;
    }
    return true;
}

Bytes Mutate(const Bytes& base, std::mt19937& rng, std::size_t protectFrom = 0)
{
    Bytes m = base;
    std::uniform_int_distribution<int> kind(0, 9);
    int k = kind(rng);
    if (k == 0) { // truncate
        m.resize(std::uniform_int_distribution<std::size_t>(0, m.size() - 1)(rng));
        return m;
    }
    int edits = 1 + k % 4;
    for (int i = 0; i < edits; ++i) {
        std::size_t limit = k >= 7 && protectFrom ? protectFrom : m.size(); // often aim at the headers
        std::size_t at = std::uniform_int_distribution<std::size_t>(0, limit - 1)(rng);
        static const Byte extremes[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
        m[at] = (i & 1) ? extremes[rng() % 5] : static_cast<Byte>(rng());
    }
    return m;
}

// An RLE8 bitmap with a palette of greys.
Bytes Rle8(int width, int height, Bytes pixels)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bpp = 8;
    s.compression = BI_RLE8;
    for (int i = 0; i < 256; ++i)
        s.palette.push_back(static_cast<std::uint32_t>(i * 0x010101));
    s.pixels = std::move(pixels);
    return Build(s);
}

Bytes Rle8Sample() { return Rle8(7, 5, {3, 1, 0, 4, 1, 2, 3, 4, 0, 0, 0, 2, 2, 1, 5, 9, 0, 0, 2, 8, 0, 1}); }

// 17 pixels wide: its runs reach into the row padding.
Bytes PaddedRle8Sample()
{
    return Rle8(17, 3, {20, 1, 0, 0,                                                                 // row 0
                        0, 19, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1, 2, 3, 4, 0, 0, 0, // row 1
                        0, 2, 18, 0, 2, 5, 0, 1});                                                     // row 2
}

Bytes Rle4Sample()
{
    BmpLayout s;
    s.width = 9;
    s.height = 3;
    s.bpp = 4;
    s.compression = BI_RLE4;
    for (int i = 0; i < 16; ++i)
        s.palette.push_back(static_cast<std::uint32_t>(i * 0x111111));
    s.pixels = {5, 0x12, 0, 3, 0x45, 0x60, 0, 0, 0, 2, 1, 1, 4, 0xAB, 0, 1};
    return Build(s);
}

Bytes Plain24Sample()
{
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bpp = 24;
    s.pixels.resize(16 * 3, 0x5A);
    return Build(s);
}

} // namespace

TEST(HostileImages, TheMalformedCorpusIsRefused)
{
    auto files = CorpusFiles();
    ASSERT_GE(files.size(), 30u) << "tests/data/graphics/bad holds the corpus";
    std::string dir = testkit::DataDir() + "graphics\\bad\\";
    for (const auto& name : files) {
        std::string text = testkit::ReadFileBytes(dir + name);
        Bytes data(text.begin(), text.end());
        if (EndsWith(name, ".bmp")) {
            EXPECT_FALSE(TryBitmap(data)) << name;
            TBitmap b;
            EXPECT_THROW(b.LoadFromFile(dir + name), EInvalidGraphic) << name;
        } else {
            EXPECT_FALSE(TryJpeg(data, true)) << name;
        }
    }
}

TEST(HostileImages, SamplesOfTheMutationTestsAreValid)
{
    EXPECT_TRUE(TryBitmap(Rle8Sample()));
    EXPECT_TRUE(TryBitmap(PaddedRle8Sample()));
    EXPECT_TRUE(TryBitmap(Rle4Sample()));
    EXPECT_TRUE(TryBitmap(Plain24Sample()));
    std::string jpeg = testkit::ReadFileBytes(testkit::DataDir() + "graphics\\rgb.jpg");
    EXPECT_TRUE(TryJpeg(Bytes(jpeg.begin(), jpeg.end()), true));
}

TEST(HostileImages, MutatedBitmapsLoadOrAreRefused)
{
    std::mt19937 rng(20261207);
    const Bytes samples[] = {Rle8Sample(), Rle4Sample(), Plain24Sample(), PaddedRle8Sample()};
    testkit::Watchdog dog;
    int refused = 0, loaded = 0;
    for (int i = 0; i < 4500; ++i) {
        const Bytes& base = samples[i % 4];
        Bytes m = Mutate(base, rng, 14 + 40);
        dog.Next("bitmap mutation " + std::to_string(i), std::string(m.begin(), m.end()));
        (TryBitmap(m) ? loaded : refused)++;
    }
    EXPECT_GT(refused, 100);
    EXPECT_GT(loaded, 100);
}

TEST(HostileImages, MutatedJpegsLoadOrAreRefused)
{
    std::string text = testkit::ReadFileBytes(testkit::DataDir() + "graphics\\rgb.jpg");
    std::string prog = testkit::ReadFileBytes(testkit::DataDir() + "graphics\\progressive.jpg");
    std::string tall = testkit::ReadFileBytes(testkit::DataDir() + "graphics\\tall.jpg");
    ASSERT_FALSE(text.empty());
    const Bytes samples[] = {Bytes(text.begin(), text.end()), Bytes(prog.begin(), prog.end()),
                             Bytes(tall.begin(), tall.end())};
    testkit::Watchdog dog;
    std::mt19937 rng(7);
    int refused = 0;
    for (int i = 0; i < 3000; ++i) {
        Bytes m = Mutate(samples[i % 3], rng, 200);
        dog.Next("JPEG mutation " + std::to_string(i), std::string(m.begin(), m.end()));
        refused += !TryJpeg(m, true);
    }
    EXPECT_GT(refused, 50);
}
