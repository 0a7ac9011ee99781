#include <gtest/gtest.h>

#include "Classes.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "TestKit.h"

namespace {
std::string Data(const char* name) { return testkit::DataDir() + "graphics\\" + name; }
} // namespace

TEST(Picture, LoadsByExtensionAndReportsChanges)
{
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.LoadFromFile(Data("rgb.jpg"));
    EXPECT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 32);
    EXPECT_EQ(changes, 1);

    testkit::TempDir dir;
    TBitmap b(3, 2);
    b.SaveToFile(dir / "x.BmP");
    p.LoadFromFile(dir / "x.BmP");
    EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Height(), 2);
    p.Bitmap()->SetWidth(5); // a change of the graphic is a change of the picture
    EXPECT_EQ(changes, 3);

    EXPECT_EQ(testkit::Refusal<EInvalidGraphic>([&] { p.LoadFromFile(dir / "x.gif"); }), "Unknown picture file extension (.GIF)");
    EXPECT_EQ(p.Width(), 5) << "a refused file leaves the picture";
    testkit::WriteFileBytes(dir / "bad.jpg", "not a jpeg");
    EXPECT_EQ(testkit::Refusal<EInvalidGraphic>([&] { p.LoadFromFile(dir / "bad.jpg"); }), "JPEG error #53");

    TPicture q;
    q.Assign(&p);
    q.Bitmap()->SetWidth(1);
    EXPECT_EQ(p.Width(), 5) << "pictures copy their graphic";
    q.LoadFromFile(Data("gray.jpg"));
    TBitmap* forced = q.Bitmap();
    EXPECT_TRUE(forced->Empty()) << "asking a JPEG picture for a bitmap empties it";
    q.Assign(nullptr);
    EXPECT_EQ(q.Graphic(), nullptr);
}

TEST(Icon, OwnsItsHandleAndRoundTrips)
{
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    ASSERT_FALSE(icon.Empty());
    EXPECT_GT(icon.Width(), 0);
    EXPECT_EQ(testkit::Refusal<EInvalidGraphicOperation>([&] { icon.SetWidth(16); }), "Cannot change the size of an icon");

    std::vector<Byte> file = icon.SaveToMemory();
    TIcon back;
    back.LoadFromMemory(file.data(), file.size());
    EXPECT_EQ(back.Width(), icon.Width());
    EXPECT_EQ(back.Height(), icon.Height());

    TBitmap canvas(48, 48);
    canvas.Canvas()->Draw(0, 0, &back);
    int changed = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            changed += canvas.Canvas()->Pixels(x, y) != clWhite;
    EXPECT_GT(changed, 0);

    TIcon copy;
    copy.Assign(&back);
    EXPECT_NE(copy.Handle(), back.Handle());
    EXPECT_EQ(copy.SaveToMemory(), back.SaveToMemory());
}

TEST(Icon, MalformedIconFilesAreRefused)
{
    TIcon icon;
    std::vector<Byte> good;
    {
        TIcon src;
        src.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
        good = src.SaveToMemory();
    }
    auto refused = [&](std::vector<Byte> data) {
        try {
            icon.LoadFromMemory(data.data(), data.size());
        } catch (const EInvalidGraphic&) {
            return true;
        }
        return false;
    };
    EXPECT_FALSE(refused(good));
    EXPECT_TRUE(refused({}));
    auto cursor = good;
    cursor[2] = 2;
    EXPECT_TRUE(refused(cursor));
    auto none = good;
    none[4] = 0;
    EXPECT_TRUE(refused(none));
    auto pastEnd = good;
    pastEnd[18] = 0xFF;
    pastEnd[19] = 0x7F;
    EXPECT_TRUE(refused(pastEnd));
    auto tooBig = good;
    tooBig[14] = 0xFF; // entry size
    tooBig[15] = 0xFF;
    EXPECT_TRUE(refused(tooBig));
    auto deep = good;
    deep[22 + 14] = 7; // bit count
    EXPECT_TRUE(refused(deep));
    auto truncated = good;
    truncated.resize(truncated.size() - 10);
    EXPECT_TRUE(refused(truncated));
}

TEST(Region, ShapesCombineAndAreOwned)
{
    TRegion r = TRegion::Elliptic(0, 0, 100, 50);
    EXPECT_TRUE(r.Contains(50, 25));
    EXPECT_FALSE(r.Contains(1, 1));
    r.Combine(TRegion::Rect(0, 0, 10, 10), RGN_OR);
    EXPECT_TRUE(r.Contains(1, 1));
    TRegion moved = std::move(r);
    EXPECT_FALSE(r);
    EXPECT_TRUE(moved.Contains(50, 25));
}

TEST(Picture, StreamsAsABinaryProperty)
{
    TPicture p;
    p.LoadFromFile(Data("rgb.jpg"));
    TMemoryStream ms;
    p.WriteData(&ms);
    TBitmap b(3, 2);
    b.WriteData(&ms);
    TBitmap empty;
    empty.WriteData(&ms);
    TPicture none;
    none.WriteData(&ms);

    ms.SetPosition(0);
    TPicture q;
    q.ReadData(&ms);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(q.Graphic()), nullptr);
    EXPECT_EQ(static_cast<TJPEGImage*>(q.Graphic())->Data(), static_cast<TJPEGImage*>(p.Graphic())->Data());
    TBitmap c;
    c.ReadData(&ms);
    EXPECT_EQ(c.Width(), 3);
    c.ReadData(&ms);
    EXPECT_TRUE(c.Empty());
    q.ReadData(&ms);
    EXPECT_EQ(q.Graphic(), nullptr);
    EXPECT_EQ(ms.Position(), ms.Size());

    TMemoryStream bad;
    Integer huge = 1 << 30;
    bad.WriteBuffer(&huge, 4);
    bad.SetPosition(0);
    EXPECT_EQ(testkit::Refusal<EInvalidGraphic>([&] { c.ReadData(&bad); }), "Graphic data size is not valid");
}
