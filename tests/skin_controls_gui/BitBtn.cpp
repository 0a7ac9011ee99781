// The skinned glyph button: its glyph and caption laid out by Layout and Alignment, the glyph's
// inactive and disabled looks, the border under or over the content, and the glyph moving between
// the image list and Glyph as the skin comes and goes.
#include <gtest/gtest.h>

#include "ActnList.h"
#include "ControlsKit.h"
#include "ImgList.h"
#include "sBitBtn.h"

using namespace controlskit;

namespace {

constexpr TColor Normal = 0x00603010, Hot = 0x00A08040, Green = 0x0000FF00, Red = 0x000000FF;
constexpr TColor Frame[3] = {0x000000C0, 0x0000C000, 0x00C00000};
const COLORREF Grey = RGB(85, 85, 85); // the mean of one full channel: 255 div 3

class BitBtn : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("BUTTON", Normal, Hot)});
    }
    // A button of 60 x 24 with a green glyph of Size x Size (its bottom-left pixel the key).
    TsBitBtn* Make(const char* Caption = "", int Size = 16)
    {
        auto* b = Create<TsBitBtn>(form);
        b->SetBounds(10, 10, 60, 24);
        b->SetCaption(Caption);
        b->SetTabStop(false);
        b->SetParent(form);
        TBitmap glyph(Size, Size, pf24bit);
        glyph.Canvas()->Brush()->SetColor(Green);
        glyph.Canvas()->FillRect(Rect(0, 0, Size, Size));
        glyph.Canvas()->SetPixels(0, Size - 1, static_cast<TColor>(0xFF00FF));
        b->SetGlyph(&glyph);
        return b;
    }
    // A list of one red 16 x 16 image, its top-left and bottom-left pixels see-through.
    TCustomImageList* RedList()
    {
        auto* list = Create<TCustomImageList>(form, 16, 16);
        TBitmap img(16, 16, pf24bit);
        img.Canvas()->Brush()->SetColor(Red);
        img.Canvas()->FillRect(Rect(0, 0, 16, 16));
        img.Canvas()->SetPixels(0, 0, clFuchsia);
        img.Canvas()->SetPixels(0, 15, clFuchsia);
        list->AddMasked(&img, clFuchsia);
        return list;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    static testkit::PixelImage Look(TWinControl* Control) { return testkit::PrintWindowPixels(Control->Handle()); }
    // The first column holding the colour on row Y.
    static int FirstColumn(const testkit::PixelImage& Image, int Y, COLORREF Colour)
    {
        for (int x = 0; x < Image.Width(); ++x)
            if (Image.Pixel(x, Y) == Colour)
                return x;
        return -1;
    }
};

} // namespace

TEST_F(BitBtn, GlyphAndCaptionPlacesAndTheBlendRange)
{
    TsBitBtn* b = Make("OK");
    b->SetMargin(2); // gm = 5
    b->SetAlignment(taLeftJustify);
    EXPECT_EQ(b->ImgRect(), Rect(5, 4, 21, 20)) << "left: gm, (24 - 16) / 2";
    EXPECT_EQ(b->CaptionRect().left, 16 + 2 + 4 - 1) << "gw + Margin + Spacing, less 1";
    b->SetLayout(blGlyphRight);
    b->SetAlignment(taRightJustify);
    EXPECT_EQ(b->ImgRect().left, 60 - 16 - 5);
    b->SetDown(true);
    EXPECT_EQ(b->ImgRect(), Rect(40, 5, 56, 21)) << "pressed: one pixel on";
    b->SetDown(false);

    // Above an empty caption: no spacing, centred one pixel to the right.
    TsBitBtn* top = Make("");
    top->SetHeight(40);
    top->SetLayout(blGlyphTop);
    EXPECT_EQ(top->ImgRect(), Rect(23, 12, 39, 28)) << "(60 - 16) / 2 + 1, (40 - 16) / 2";

    for (auto [given, stored] : {std::pair{-5, 0}, {0, 0}, {100, 100}, {150, 100}}) {
        b->SetBlend(given);
        EXPECT_EQ(b->Blend(), stored) << given;
    }
}

TEST_F(BitBtn, TheGlyphInTheLookAndASpacingChangeShowsAtTheNextPaint)
{
    TsBitBtn* b = Make("OK");
    int painted = 0;
    b->OnPaint = [&](TObject* Sender, TBitmap* Bmp) {
        EXPECT_EQ(Sender, b);
        EXPECT_EQ(Bmp, b->SkinData()->FCacheBmp.get());
        ++painted;
    };
    Show();
    EXPECT_GT(painted, 0) << "every rebuild";
    const TRect r = b->ImgRect();
    const testkit::PixelImage before = Look(b);
    EXPECT_EQ(before.Pixel(r.left + 8, r.top + 8), static_cast<COLORREF>(Green));
    EXPECT_EQ(before.Pixel(r.left, r.bottom - 1), static_cast<COLORREF>(Normal)) << "the glyph's key pixel";
    const int x = FirstColumn(before, r.top + 8, static_cast<COLORREF>(Green));
    EXPECT_EQ(x, r.left);
    // Centred with the caption: four more pixels between them move the glyph two to the left.
    b->SetSpacing(8);
    EXPECT_EQ(FirstColumn(Look(b), r.top + 8, static_cast<COLORREF>(Green)), x - 2);
    // A new picture shows at once.
    b->Glyph()->Canvas()->Brush()->SetColor(Red);
    b->Glyph()->Canvas()->FillRect(Rect(4, 4, 12, 12));
    EXPECT_EQ(Look(b).Pixel(x - 2 + 8, r.top + 8), static_cast<COLORREF>(Red));
}

TEST_F(BitBtn, AListImageGreyedUntilTheButtonIsActiveNoneOutsideTheListAndDisabledGrey)
{
    auto* b = Create<TsBitBtn>(form);
    b->SetBounds(10, 10, 60, 24);
    b->SetTabStop(false);
    b->SetParent(form);
    b->SetImages(RedList());
    b->SetImageIndex(0);
    b->SetGrayed(true);
    Show();
    const TRect r = b->ImgRect();
    EXPECT_EQ(r, Rect(22, 4, 38, 20));
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), Grey);
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), static_cast<COLORREF>(Red)) << "under the mouse";
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), Grey);
    b->SetImageIndex(1);
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), static_cast<COLORREF>(Normal));
    // Nor is room kept for it beside the caption.
    auto* bare = Create<TsBitBtn>(form);
    bare->SetBounds(10, 40, 60, 24);
    for (TsBitBtn* x : {b, bare})
        x->SetCaption("OK");
    EXPECT_EQ(b->CaptionRect(), bare->CaptionRect());
    b->SetCaption("");

    // Disabled, the image's disabled look alone (the button's own left out).
    b->SetImageIndex(0);
    b->SetDisabledKind(TsDisabledKind{});
    b->SetDisabledGlyphKind(TsDisabledGlyphKind{dgGrayed});
    b->SetGrayed(false);
    b->SetEnabled(false);
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), Grey);
    EXPECT_EQ(Look(b).Pixel(2, 2), static_cast<COLORREF>(Normal));
}

TEST_F(BitBtn, TheBorderUnderTheGlyphOrOverIt)
{
    AddBorder("BUTTON", Frame);
    TsBitBtn* b = Make("", 24); // a glyph as tall as the button, at its left edge
    b->SetAlignment(taLeftJustify);
    Show();
    ASSERT_EQ(b->ImgRect(), Rect(0, 0, 24, 24));
    EXPECT_EQ(Look(b).Pixel(1, 1), static_cast<COLORREF>(Green)) << "drawn over the border";
    b->SetDrawOverBorder(false);
    EXPECT_EQ(Look(b).Pixel(1, 1), Through(Frame[0])) << "the border over the glyph";
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(b->Handle(), rgn);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "the corner's key pixel is cut away";
    DeleteObject(rgn);
}

TEST_F(BitBtn, TheListImageIsTheUnskinnedGlyphAndGoesWhenTheSkinComes)
{
    Clear();
    auto* b = Create<TsBitBtn>(form);
    b->SetBounds(10, 10, 60, 24);
    b->SetParent(form);
    b->SetImages(RedList());
    b->SetImageIndex(0);
    EXPECT_EQ(b->Glyph()->Width(), 32) << "the image and its disabled look";
    EXPECT_EQ(b->NumGlyphs(), 2);
    EXPECT_EQ(b->GlyphWidth(), 16);
    Show();
    const testkit::PixelImage plain = Look(b);
    EXPECT_EQ(FirstColumn(plain, 12, static_cast<COLORREF>(Red)), 22) << "one image, centred";

    Activate({Section("BUTTON", Normal, Hot)});
    Command(b, AC_NEWSKIN);
    Command(b, AC_REPAINT);
    EXPECT_TRUE(b->Glyph()->Empty()) << "drawn from the list";
    EXPECT_EQ(Look(b).Pixel(30, 12), static_cast<COLORREF>(Red));
    Clear();
    Command(b, AC_REMOVESKIN);
    EXPECT_EQ(b->Glyph()->Width(), 32);
    EXPECT_TRUE(SameImage(Look(b), plain));
    b->Images()->Free();
    EXPECT_EQ(b->Images(), nullptr);
}

TEST_F(BitBtn, TheActionsPictureTakesThePlaceOfTheGlyphAndADisabledActionGreysTheButton)
{
    TsBitBtn* b = Make();
    b->SetDisabledKind(TsDisabledKind{dkGrayed});
    auto* list = Create<TActionList>(form);
    auto* action = Create<TAction>(form);
    action->SetActionList(list);
    b->SetAction(action);
    Show();
    const TRect r = b->ImgRect();
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), static_cast<COLORREF>(Green)) << "the action has no picture";
    list->SetImages(RedList());
    action->SetImageIndex(0);
    EXPECT_EQ(Look(b).Pixel(r.left + 8, r.top + 8), static_cast<COLORREF>(Red));

    action->SetEnabled(false);
    b->SetEnabled(true);
    // Greyed: the mean of the section's channels (0x10, 0x30, 0x60).
    EXPECT_EQ(Look(b).Pixel(2, 2), RGB(0x35, 0x35, 0x35)) << "enabled itself, its action is not";
}
