// The hint manager's presets and styles, the sizes, shapes and placement of its four hint
// windows, their background, and the composition over one capture of the screen.
#include <gtest/gtest.h>

#include <cmath>

#include "FormTest.h"
#include "sConst.h"
#include "sHintManager.h"

using sHintManager::Manager;

namespace {

// The protected steps of a hint window, for looking at them.
template <class W>
struct Probe : W {
    using W::W;
    using W::GetMask;
};

COLORREF PixelOf(TBitmap& b, int x, int y)
{
    const Byte* p = static_cast<const Byte*>(b.ScanLine(y)) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

bool White(TBitmap& b, int x, int y)
{
    return PixelOf(b, x, y) == RGB(255, 255, 255);
}

class HintTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        m = Create<TsHintManager>(nullptr);
        AtTearDown([this] { m->Free(); });
        TFont* f = m->HintKind()->Font();
        f->SetName("Tahoma");
        f->SetHeight(-13);
    }
    // The text's size in the hint font by the system's own measuring.
    SIZE TextSize(const AnsiString& text)
    {
        TBitmap b(1, 1, pf24bit);
        b.Canvas()->Font()->Assign(m->HintKind()->Font());
        b.Canvas()->TextExtent("");
        RECT r{0, 0, m->HintKind()->MaxWidth, 0};
        DrawTextA(b.Canvas()->Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
        return SIZE{r.right, r.bottom};
    }
    template <class W>
    Probe<W>* Window(TsHintStyle style)
    {
        m->HintKind()->SetStyle(style);
        return Create<Probe<W>>(m);
    }
    TsHintManager* m = nullptr;
};

} // namespace

TEST_F(HintTest, PresetsSetTheLookAndTheApplicationsHintWindow)
{
    EXPECT_EQ(Application->HintPause, 500);
    EXPECT_EQ(Application->HintShortPause, 200);
    TsHintKind* k = m->HintKind();
    k->ExOffset = 99;
    k->TexturePercent = 40;
    m->SetPredefinitions(shSimply);
    m->Loaded();
    EXPECT_EQ(k->Style(), hsSimply);
    EXPECT_EQ(std::vector<int>({k->BevelWidth, k->MarginH, k->MarginV, k->MaxWidth, k->Blur, k->ExOffset, k->Radius,
                                k->Transparency, k->ShadowBlur, k->ShadowOffset, k->ShadowTransparency,
                                k->GradientPercent, k->TexturePercent, k->Bevel}),
              std::vector<int>({1, 4, 4, 240, 0, 99, 20, 0, 4, 8, 50, 100, 40, 1}));
    EXPECT_EQ(k->Color, static_cast<TColor>(0x80000018));
    EXPECT_EQ(k->ColorBorderTop, 0xFFFFFF);
    EXPECT_EQ(k->ColorBorderBottom, 0);
    EXPECT_TRUE(k->ShadowEnabled);
    EXPECT_EQ(k->ShadowColor, clBlack);
    EXPECT_EQ(Manager, m);
    EXPECT_EQ(HintWindowClass, HintWindowClassOf(hsSimply));

    m->SetPredefinitions(shTransparent);
    m->UpdateProperties();
    EXPECT_EQ(std::vector<int>({k->BevelWidth, k->MarginH, k->MarginV, k->Blur, k->Transparency, k->ShadowBlur,
                                k->ShadowOffset, k->ShadowTransparency}),
              std::vector<int>({0, 24, 20, 15, 15, 30, 15, 70}));
    EXPECT_EQ(k->Color, 0xB6FCFA);

    m->SetPredefinitions(shComicsTransparent);
    m->UpdateProperties();
    EXPECT_EQ(k->Style(), hsComics);
    EXPECT_EQ(std::vector<int>({k->BevelWidth, k->MarginH, k->MarginV, k->MaxWidth, k->Blur, k->ExOffset, k->Radius,
                                k->Transparency, k->ShadowBlur, k->ShadowOffset, k->ShadowTransparency}),
              std::vector<int>({1, 18, 12, 180, 0, 24, 20, 10, 4, 10, 70}));
    EXPECT_EQ(k->GradientData, "");
    EXPECT_EQ(HintWindowClass, HintWindowClassOf(hsComics));

    m->SetPredefinitions(shCustom);
    k->BevelWidth = 7;
    m->UpdateProperties();
    EXPECT_EQ(k->BevelWidth, 7);
    EXPECT_EQ(k->Style(), hsComics);

    m->SetPredefinitions(shNone);
    m->UpdateProperties();
    EXPECT_EQ(k->Style(), hsNone);
    EXPECT_EQ(Manager, nullptr);
    EXPECT_EQ(HintWindowClass, HintWindowClassOf(hsSimply)) << "a window that shows nothing";
    m->SetPredefinitions(shStandard);
    m->UpdateProperties();
    EXPECT_EQ(Manager, nullptr);
    EXPECT_EQ(HintWindowClass, StandardHintWindowClass());
}

TEST_F(HintTest, AManagerThatGoesGivesTheFrameworkHintsBack)
{
    auto* other = Create<TsHintManager>(nullptr);
    other->SetPredefinitions(shBalloon);
    other->Loaded();
    EXPECT_EQ(Manager, other);
    EXPECT_EQ(HintWindowClass, HintWindowClassOf(hsBalloon));
    other->Free();
    EXPECT_EQ(Manager, nullptr);
    EXPECT_EQ(HintWindowClass, StandardHintWindowClass());
    EXPECT_FALSE(Application->OnShowHint);
}

TEST_F(HintTest, EachShapeIsMeasuredAroundItsText)
{
    TsHintKind* k = m->HintKind();
    k->MarginH = 5;
    k->MarginV = 3;
    k->BevelWidth = 1;
    k->ShadowEnabled = true;
    k->ShadowOffset = 4;
    k->ExOffset = 20;
    const SIZE t = TextSize("Hint text");
    EXPECT_EQ(Window<TsSimplyHintWindow>(hsSimply)->CalcHintRect(0, "Hint text", nullptr),
              Rect(0, 0, t.cx + 4 + 12, t.cy + 4 + 8));
    EXPECT_EQ(Window<TsComicsHintWindow>(hsComics)->CalcHintRect(0, "Hint text", nullptr),
              Rect(0, 0, t.cx + 4 + 12, t.cy + 4 + 8 + 20));
    // An ellipse takes at least 50 pixels of text, then room for the text inside it.
    auto* e = Window<TsEllipseHintWindow>(hsEllipse);
    const SIZE i = TextSize("i");
    ASSERT_LT(i.cx, 50);
    const double w = 50 + 4 + 12, h = i.cy + 4 + 8 + 20, d = std::sqrt(w * w + h * h) - w;
    const int ew = static_cast<int>(std::lround(w * d / h)), eh = static_cast<int>(std::lround(h * d / w));
    EXPECT_EQ(e->CalcHintRect(0, "i", nullptr), Rect(0, 0, int(w) + ew, int(h) + eh));
    EXPECT_EQ(e->ExtraWidth, ew);
    EXPECT_EQ(e->ExtraHeight, eh);
    // A shape of no height takes no extra room instead of dividing by zero.
    m->HTMLMode = true;
    k->MarginV = k->BevelWidth = k->ExOffset = 0;
    k->ShadowEnabled = false;
    EXPECT_EQ(e->CalcHintRect(0, "", nullptr), Rect(0, 0, 50 + 10, 0));
    EXPECT_EQ(e->ExtraWidth, 0);
    EXPECT_EQ(e->ExtraHeight, 0);
}

TEST_F(HintTest, MasksCutEachShapeWithItsArrowOrBubbles)
{
    TsHintKind* k = m->HintKind();
    k->Blur = 0;
    k->Transparency = 0;
    k->ShadowEnabled = false;
    k->ExOffset = 20;
    k->Radius = 20;
    m->HintBmp()->SetSize(120, 90);
    auto shaped = [&](auto* w) {
        w->SetBounds(0, 0, 120, 90);
        w->MousePosition = mpLeftTop;
        return w->GetMask();
    };
    auto simple = shaped(Window<TsSimplyHintWindow>(hsSimply));
    EXPECT_EQ(PixelOf(*simple, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*simple, 119, 89), RGB(0, 0, 0));
    // Ellipse (0, 20)-(120, 90) and the arrow from (3, 3) to the middle line y = 55, x 45..75.
    auto ellipse = shaped(Window<TsEllipseHintWindow>(hsEllipse));
    EXPECT_EQ(PixelOf(*ellipse, 60, 55), RGB(0, 0, 0));
    EXPECT_TRUE(White(*ellipse, 2, 22)) << "outside the ellipse";
    EXPECT_EQ(PixelOf(*ellipse, 16, 15), RGB(0, 0, 0)) << "inside the arrow";
    EXPECT_TRUE(White(*ellipse, 100, 15));
    auto comics = shaped(Window<TsComicsHintWindow>(hsComics));
    EXPECT_TRUE(White(*comics, 0, 20)) << "the rounded corner";
    EXPECT_EQ(PixelOf(*comics, 2, 55), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*comics, 16, 15), RGB(0, 0, 0));
    // Bubbles 6 pixels high (unit 70 / 12, no growth), 14 pixels apart toward the body centre.
    auto balloon = shaped(Window<TsBalloonHintWindow>(hsBalloon));
    EXPECT_EQ(PixelOf(*balloon, 17, 3), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*balloon, 31, 9), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(*balloon, 45, 15), RGB(0, 0, 0));
    EXPECT_TRUE(White(*balloon, 60, 5));
    // The soft edge: Blur 2 over transparency 40 gives rings 102 + round(2 * 51), 102 + 51, 102.
    k->Blur = 2;
    k->Transparency = 40;
    auto soft = shaped(Window<TsEllipseHintWindow>(hsEllipse));
    EXPECT_EQ(PixelOf(*soft, 60, 20), RGB(204, 204, 204));
    EXPECT_EQ(PixelOf(*soft, 60, 21), RGB(153, 153, 153));
    EXPECT_EQ(PixelOf(*soft, 60, 55), RGB(102, 102, 102));
}

TEST_F(HintTest, AHintOpensAwayFromTheScreenEdgesAndItsArrowFollows)
{
    TsHintKind* k = m->HintKind();
    k->ExOffset = 20;
    k->ShadowEnabled = true;
    k->ShadowOffset = 5;
    auto* w = Window<TsEllipseHintWindow>(hsEllipse);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    struct Case {
        TPoint at;
        TsMousePosition position;
        TRect bounds;
    } cases[] = {
        {{10, 10}, mpLeftTop, Rect(10, 10, 110, 90)},
        {{vw - 10, 10}, mpRightTop, Rect(vw - 110, 10, vw - 10, 90)},
        {{10, vh - 10}, mpLeftBottom, Rect(10, vh - 90, 110, vh - 10)},
        {{vw - 10, vh - 10}, mpRightBottom, Rect(vw - 110, vh - 90, vw - 10, vh - 10)},
        // Between the edges it opens right and below; one that just fits too, one pixel more not.
        {{vw / 2, vh / 3}, mpLeftTop, Rect(vw / 2, vh / 3, vw / 2 + 100, vh / 3 + 80)},
        {{vw - 100, vh - 80}, mpLeftTop, Rect(vw - 100, vh - 80, vw, vh)},
        {{vw - 99, vh - 79}, mpRightBottom, Rect(vw - 199, vh - 159, vw - 99, vh - 79)},
    };
    for (const Case& c : cases) {
        w->HintPoint = c.at;
        w->ActivateHint(Rect(0, 0, 100, 80), "Hint");
        EXPECT_EQ(w->MousePosition, c.position);
        EXPECT_EQ(w->BoundsRect(), c.bounds);
        const bool above = c.position == mpLeftBottom || c.position == mpRightBottom;
        EXPECT_EQ(w->MainRect(), above ? Rect(0, 0, 95, 55) : Rect(0, 20, 95, 75)) << "the arrow area moves";
    }
    w->ReleaseHandle();
}

TEST_F(HintTest, TheBackgroundMixesColourGradientTextureAndTheScreen)
{
    TsHintKind* k = m->HintKind();
    k->Color = 0x204060;
    TBitmap bmp(10, 10, pf24bit), screen(10, 10, pf24bit);
    screen.Canvas()->Brush()->SetColor(0x0000FF);
    screen.Canvas()->FillRect(Rect(0, 0, 10, 10));
    TCacheInfo ci;
    ci.Bmp = &screen;
    ci.Ready = true;
    // A transparency above 100 shows the screen alone, as 100 does.
    k->Transparency = 150;
    m->PaintBG(&bmp, Rect(0, 0, 10, 10), ci);
    EXPECT_EQ(PixelOf(bmp, 5, 5), RGB(255, 0, 0));
    // A gradient from red to green, all gradient, then half of it mixed with the colour.
    k->Transparency = 0;
    k->GradientData = "255;65280;100;0;0";
    k->GradientPercent = 100;
    m->PaintBG(&bmp, Rect(0, 0, 10, 10), ci);
    EXPECT_EQ(PixelOf(bmp, 5, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(bmp, 5, 9), RGB(0, 255, 0));
    k->GradientPercent = 50;
    m->PaintBG(&bmp, Rect(0, 0, 10, 10), ci);
    EXPECT_EQ(PixelOf(bmp, 5, 0), RGB(176, 32, 16)) << "round(255 / 2 + 0x60 / 2), 0x40 / 2, 0x20 / 2";
    // Texture with a share of 100 and no gradient: the texture as tiled.
    k->GradientPercent = 0;
    k->TexturePercent = 100;
    TBitmap tile(3, 3, pf24bit);
    tile.Canvas()->Brush()->SetColor(0x00FF00);
    tile.Canvas()->FillRect(Rect(0, 0, 3, 3));
    k->Texture()->SetBitmap(&tile);
    m->PaintBG(&bmp, Rect(0, 0, 10, 10), ci);
    EXPECT_EQ(PixelOf(bmp, 9, 9), RGB(0, 255, 0));
    // An empty gradient switches the gradient share off: plain colour.
    k->TexturePercent = 0;
    k->GradientData = "";
    k->GradientPercent = 100;
    m->PaintBG(&bmp, Rect(0, 0, 10, 10), ci);
    EXPECT_EQ(k->GradientPercent, 0);
    EXPECT_EQ(PixelOf(bmp, 5, 5), RGB(0x60, 0x40, 0x20));
}

TEST_F(HintTest, AHintIsComposedOverOneCaptureOfTheScreen)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    form->SetColor(0xC0C0C0);
    form->Show();
    // The hint takes what the screen shows: the form, once it has reached the screen.
    ASSERT_TRUE(WaitFor(
        [&] {
            const testkit::PixelImage shown = testkit::ScreenPixels(form->Handle());
            return !shown.Empty() && shown.Pixel(shown.Width() / 2, shown.Height() / 2) == 0xC0C0C0;
        },
        "the form on the screen"));
    m->SetPredefinitions(shTransparent);
    m->Loaded();
    m->ShowHint(form, "A hint over the form");
    TsCustomHintWindow* w = m->HintWindow();
    ASSERT_NE(w, nullptr);
    const TPoint origin = form->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(w->Left(), origin.x + form->Width() / 2);
    EXPECT_EQ(w->Top(), origin.y + form->Height() / 3);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(w->Handle()); }, "the hint"));
    const testkit::PixelImage first = testkit::ScreenPixels(w->Handle());
    ASSERT_FALSE(first.Empty());
    // The shadow (lower right) darkens the form's grey; the body is the hint colour mixed in.
    const COLORREF shadow = first.Pixel(first.Width() - 8, first.Height() / 2);
    EXPECT_LT(GetRValue(shadow), 0xC0);
    InvalidateRect(w->Handle(), nullptr, FALSE);
    UpdateWindow(w->Handle());
    testkit::WaitIdle();
    const testkit::PixelImage second = testkit::ScreenPixels(w->Handle());
    ASSERT_EQ(second.Width(), first.Width());
    int differing = 0;
    for (int y = 0; y < first.Height(); ++y)
        for (int x = 0; x < first.Width(); ++x)
            differing += first.Pixel(x, y) != second.Pixel(x, y);
    EXPECT_EQ(differing, 0) << "a repaint composes over the same capture";
    m->HideHint();
    EXPECT_EQ(m->HintWindow(), nullptr);
}
