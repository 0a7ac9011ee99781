// The GUI test kit checked on plain windows: sequence comparison, recording, pumping, pixels.
#include "GuiTest.h"
#include "TestKit.h"

using namespace testkit;

TEST(KitSequence, OptionalEntriesMayBeMissingOrPresent)
{
    const std::vector<MsgRecord> expected = {Expect(WM_SHOWWINDOW), Expect(WM_NCPAINT, msgSent | msgOptional),
                                             Expect(WM_SIZE, msgSent | msgWParam, SIZE_RESTORED)};
    EXPECT_EQ(CompareSequences(expected, {Expect(WM_SHOWWINDOW), Expect(WM_SIZE, msgSent, SIZE_RESTORED, 7)}), "");
    EXPECT_EQ(CompareSequences(expected, {Expect(WM_SHOWWINDOW), Expect(WM_NCPAINT), Expect(WM_SIZE)}), "");
}

TEST(KitSequence, DifferencesAreListedReadably)
{
    const std::vector<MsgRecord> expected = {Expect(WM_SHOWWINDOW), Expect(WM_SIZE, msgSent | msgWParam, SIZE_MAXIMIZED),
                                             Expect(WM_MOVE)};
    // Wrong parameter, an extra message, a missing one.
    std::string diff = CompareSequences(expected, {Expect(WM_SHOWWINDOW), Expect(WM_PAINT),
                                                   Expect(WM_SIZE, msgSent, SIZE_RESTORED)});
    EXPECT_NE(diff.find("+                                          | WM_PAINT"), std::string::npos) << diff;
    EXPECT_NE(diff.find("- WM_MOVE"), std::string::npos) << diff;
    EXPECT_NE(diff.find("- WM_SIZE w=2"), std::string::npos) << diff;
    // Messages on the parent differ from the same message on the child.
    EXPECT_NE(CompareSequences({Expect(WM_COMMAND, msgSent | msgParent)}, {Expect(WM_COMMAND)}), "");
    // A required entry after the end of the recording is reported; extra trailing ones too.
    EXPECT_NE(CompareSequences({Expect(WM_MOVE)}, {}), "");
    EXPECT_NE(CompareSequences({}, {Expect(WM_MOVE)}), "");
    EXPECT_NE(CompareSequences({Marker("a")}, {Marker("b")}), "") << "markers compare by text";
}

TEST(KitSequence, MessageNamesCoverFrameworkRanges)
{
    EXPECT_EQ(MessageName(WM_SIZE), "WM_SIZE");
    EXPECT_EQ(MessageName(0xB000 + 19), "CM_BASE+19");
    EXPECT_EQ(MessageName(0xBC00 + WM_COMMAND), "CN_BASE+WM_COMMAND");
    EXPECT_EQ(MessageName(0x7FFF0), "0x7FFF0");
}

class KitGui : public GuiTest {};

TEST_F(KitGui, RecorderSeesChildAndParentInOrder)
{
    HWND parent = CreateTestWindow("parent");
    HWND child = CreateTestWindow("child", WS_VISIBLE, parent, {0, 0, 50, 20});
    MessageRecorder rec;
    rec.Watch(child);
    rec.Watch(parent, msgParent);
    rec.Note("resize");
    SetWindowPos(child, nullptr, 0, 0, 60, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(parent, WM_COMMAND, 5, 0);
    EXPECT_TRUE(rec.Matches({Marker("resize"), Expect(WM_WINDOWPOSCHANGING), Expect(WM_NCCALCSIZE, msgSent | msgOptional),
                             Expect(WM_WINDOWPOSCHANGED), Expect(WM_SIZE, msgSent | msgLParam, 0, MAKELPARAM(60, 30)),
                             Expect(WM_COMMAND, msgSent | msgParent | msgWParam, 5)},
                            "child resize"));
}

TEST_F(KitGui, RecorderNotesAndStopsOnDestroy)
{
    HWND w = CreateTestWindow();
    MessageRecorder rec;
    rec.Watch(w);
    rec.Note("before");
    SendMessageA(w, WM_USER + 1, 0, 0);
    EXPECT_TRUE(rec.Matches({Marker("before"), Expect(WM_USER + 1)}));
    DestroyWindow(w);
    rec.Clear();
    SendMessageA(w, WM_USER + 1, 0, 0); // gone: nothing is recorded, nothing crashes
    EXPECT_TRUE(rec.Records().empty());
}

TEST_F(KitGui, PumpUntilIsBoundedAndSeesPostedMessages)
{
    HWND w = CreateTestWindow();
    MessageRecorder rec;
    rec.Watch(w);
    PostMessageA(w, WM_USER + 7, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !rec.Records().empty(); }));
    const DWORD start = GetTickCount();
    EXPECT_FALSE(PumpUntil([] { return false; }, 150));
    EXPECT_GE(GetTickCount() - start, 140u);
    EXPECT_LT(GetTickCount() - start, kPatienceMs) << "bounded by its own time, not the kit's";
}

TEST_F(KitGui, PrintedPixelsShowThePaintedColours)
{
    HWND w = CreateTestWindow("pixels", WS_POPUP, nullptr, {10, 10, 50, 40});
    // The kit class erases with the button face colour; WM_PRINT works for a hidden window too.
    PixelImage img = PrintWindowPixels(w, true);
    ASSERT_EQ(img.Width(), 40);
    ASSERT_EQ(img.Height(), 30);
    EXPECT_EQ(img.Pixel(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(img.CountColor({0, 0, 40, 30}, GetSysColor(COLOR_BTNFACE)), 40 * 30);
    EXPECT_EQ(img.Pixel(40, 0), CLR_INVALID);
}

TEST_F(KitGui, ScreenshotsAreWritten)
{
    HWND w = CreateTestWindow("shot", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 64, 48});
    WaitIdle();
    TempDir dir;
    ASSERT_TRUE(SaveScreenshot(dir / "w.png", w));
    ASSERT_TRUE(SaveScreenshot(dir / "w.bmp", w));
    std::string png = ReadFileBytes(dir / "w.png"), bmp = ReadFileBytes(dir / "w.bmp");
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.size(), 14u + 40u + 64u * 48u * 4u);
}

TEST_F(KitGui, TearDownDestroysWindowsOfTheTest)
{
    HWND w = CreateTestWindow();
    bool ran = false;
    AtTearDown([&] { ran = true; });
    TearDown();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(IsWindow(w));
    SetUp();
}
