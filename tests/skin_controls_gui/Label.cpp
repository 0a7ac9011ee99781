// The skinned labels: the skin's text colour and its removal, sizing on font changes, the web
// label's address and hover font, the sticky label's placement beside its control, the shadowed
// label's size, shadow and text colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "ControlsKit.h"
#include "ShellSeams.h"
#include "sGraphUtils.h"
#include "StdCtrls.h"
#include "sLabel.h"
#include "sSkinManager.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Red = 0x002020C0, Blue = 0x00C02020;

class Label : public TablesTest {
protected:
    void TearDown() override
    {
        manager.reset();
        TablesTest::TearDown();
    }
    template <class T = TsLabel>
    T* Make(const char* Caption, int Left = 10, int Top = 10)
    {
        auto* l = Create<T>(form);
        l->SetCaption(Caption);
        l->SetLeft(Left);
        l->SetTop(Top);
        l->SetParent(form);
        return l;
    }
    void Show()
    {
        form->Show();
        testkit::WaitIdle();
    }
    std::unique_ptr<TsSkinManager> manager;
};

} // namespace

TEST_F(Label, TheSkinsGlobalTextColourReplacesTheFontsUntilTheSkinGoes)
{
    TsGeneralData global = Section("GLOBALINFO", clWhite, clWhite, Green);
    Activate({global});
    manager = std::make_unique<TsSkinManager>(nullptr);
    form->SetColor(clWhite);
    TsLabel* l = Make("WWWW");
    l->Font()->SetColor(Red);
    EXPECT_TRUE(l->Transparent());
    const int width = l->Width();
    Show();
    EXPECT_EQ(l->Font()->Color(), Green) << "written into the label's own font at the paint";
    EXPECT_EQ(l->Width(), width);
    const testkit::PixelImage look = testkit::PrintWindowPixels(form->Handle(), true);
    const RECT r{l->Left(), l->Top(), l->Left() + l->Width(), l->Top() + l->Height()};
    EXPECT_GT(look.CountColor(r, static_cast<COLORREF>(Green)), 0);
    EXPECT_EQ(look.CountColor(r, static_cast<COLORREF>(Red)), 0);

    Command(l, AC_REMOVESKIN);
    EXPECT_EQ(l->Font()->Color(), clWindowText) << "not the designer's colour";
}

TEST_F(Label, AFontChangeResizesAnAutoSizedLabelAndRepaintsAFixedOne)
{
    TsLabel* sized = Make("Caption");
    TsLabel* fixed = Make("Caption", 10, 60);
    fixed->SetAutoSize(false);
    fixed->SetBounds(10, 60, 30, 13);
    Show();
    const int width = sized->Width();
    sized->Font()->SetSize(sized->Font()->Size() * 2);
    EXPECT_GT(sized->Width(), width);
    fixed->Font()->SetSize(fixed->Font()->Size() * 2);
    EXPECT_EQ(fixed->Width(), 30);
    // The colour shows at once, also where the size stays.
    sized->Font()->SetColor(Blue);
    testkit::WaitIdle();
    const RECT r{sized->Left(), sized->Top(), sized->Left() + sized->Width(), sized->Top() + sized->Height()};
    EXPECT_GT(testkit::PrintWindowPixels(form->Handle(), true).CountColor(r, static_cast<COLORREF>(Blue)), 0);
}

TEST_F(Label, AWebLabelOpensItsAddressWithItsShowModeAndHoversInItsOwnFont)
{
    TScopedShellRecorder shell;
    auto* web = Make<TsWebLabel>("site");
    web->HoverFont()->SetColor(Red);
    web->Font()->SetColor(Blue);
    EXPECT_EQ(web->Cursor(), crHandPoint);
    Show();
    web->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
    web->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(shell.Calls.empty()) << "no address: only the framework's click";

    web->URL = "http://example.org/";
    web->ShowMode = soMaximize;
    web->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
    web->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Operation, "open");
    EXPECT_EQ(shell.Calls[0].File, "http://example.org/");
    EXPECT_EQ(shell.Calls[0].ShowCmd, SW_MAXIMIZE);

    web->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(web));
    EXPECT_EQ(web->TControl::Font()->Color(), Red);
    web->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(web));
    EXPECT_EQ(web->TControl::Font()->Color(), Blue);
}

TEST_F(Label, AStickyLabelAndItsControlMoveTogetherOnTheChosenSide)
{
    auto* edit = Create<TEdit>(form);
    edit->SetBounds(100, 50, 80, 21);
    edit->SetParent(form);
    auto* l = Make<TsStickyLabel>("Name");
    l->SetAutoSize(false);
    l->SetBounds(0, 0, 40, 13);
    Show();
    l->SetAttachTo(edit);
    EXPECT_EQ(l->Left(), 58);
    EXPECT_EQ(l->Top(), 54);

    edit->SetBounds(120, 80, 80, 21);
    EXPECT_EQ(l->Left(), 78) << "the label follows the control";
    EXPECT_EQ(l->Top(), 84);
    l->SetBounds(10, 100, 40, 13);
    EXPECT_EQ(edit->Left(), 52) << "the control follows the label, which stays on its left";
    EXPECT_EQ(edit->Top(), 96);

    l->SetAlignTo(altBottom);
    EXPECT_EQ(l->Left(), 52);
    EXPECT_EQ(l->Top(), 96 + 21 + 2);

    edit->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());
    edit->SetVisible(false);
    EXPECT_FALSE(l->Visible());

    edit->Free();
    EXPECT_EQ(l->AttachTo(), nullptr) << "the control's going detaches the label";
}

TEST_F(Label, StickyLabelsLetGoOfTheirControlInAnyOrder)
{
    Show();
    // Two labels on one control, freed in either order, then the control freed under a third.
    for (bool firstGoesFirst : {true, false}) {
        auto* edit = Create<TEdit>(form);
        edit->SetBounds(100, 50, 80, 21);
        edit->SetParent(form);
        const TWndMethod own = edit->WindowProc;
        auto* first = Make<TsStickyLabel>("First");
        first->SetAttachTo(edit);
        auto* second = Make<TsStickyLabel>("Second");
        second->SetAlignTo(altTop);
        second->SetAttachTo(edit);
        TsStickyLabel* stays = firstGoesFirst ? second : first;
        (firstGoesFirst ? first : second)->Free();
        edit->SetBounds(120, 80, 80, 21);
        EXPECT_EQ(stays->Left(), stays == first ? 120 - first->Width() - 2 : 120) << "still follows the control";
        stays->Free();
        EXPECT_EQ(edit->WindowProc, own);
        edit->SetBounds(5, 5, 50, 21); // reaches no freed label

        auto* third = Make<TsStickyLabel>("Third");
        third->SetAttachTo(edit);
        edit->Free();
        EXPECT_EQ(third->AttachTo(), nullptr);
        third->Free();
    }
}

namespace {

// Columns and rows of a label's area where a colour shows.
struct Extent {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Extent Where(TControl* Control, const std::function<bool(COLORREF)>& Match)
{
    const testkit::PixelImage look = testkit::PrintWindowPixels(Control->Parent()->Handle(), true);
    Extent e;
    for (int y = 0; y < Control->Height(); ++y)
        for (int x = 0; x < Control->Width(); ++x)
            if (Match(look.Pixel(Control->Left() + x, Control->Top() + y))) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

bool Dark(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 160;
}

} // namespace

TEST_F(Label, AShadowedLabelGrowsByTheShadowAndDrawsItsTextInsideIt)
{
    form->SetColor(clWhite);
    TsLabel* plain = Make("Shadow", 10, 10);
    plain->Font()->SetColor(Red);
    auto* fx = Make<TsLabelFX>("Shadow", 10, 50);
    fx->Kind()->SetKindType(ktCustom);
    fx->Kind()->SetColor(Red);
    EXPECT_EQ(fx->Width(), plain->Width() + 8);
    EXPECT_EQ(fx->Height(), plain->Height() + 8);
    Show();
    const auto red = [](COLORREF c) { return c == static_cast<COLORREF>(Red); };
    const Extent text = Where(plain, red), shadowed = Where(fx, red);
    ASSERT_GE(text.right, 0);
    EXPECT_EQ(shadowed.left, text.left + 3);
    EXPECT_EQ(shadowed.top, text.top + 3);
    const Extent shade = Where(fx, [](COLORREF c) { return Dark(c) && c != static_cast<COLORREF>(Red); });
    EXPECT_GT(shade.right, shadowed.right) << "the shadow lies right of and below the text";
    EXPECT_GT(shade.bottom, shadowed.bottom);

    fx->SetEnabled(false);
    testkit::WaitIdle();
    EXPECT_LT(Where(fx, red).right, 0) << "disabled: embossed, whatever the kind";

    fx->Shadow()->SetBlurCount(0);
    fx->SetCaption("Shadow ");
    fx->SetCaption("Shadow");
    EXPECT_EQ(fx->Width(), plain->Width()) << "no shadow, no growth";
}

TEST_F(Label, TheShadowStaysUnderATextThatTheLayoutMovesDown)
{
    form->SetColor(clWhite);
    auto* fx = Make<TsLabelFX>("Shadow", 10, 10);
    fx->Kind()->SetKindType(ktCustom);
    fx->Kind()->SetColor(Red);
    fx->SetAutoSize(false);
    fx->SetHeight(60);
    fx->SetLayout(tlCenter);
    Show();
    const Extent text = Where(fx, [](COLORREF c) { return c == static_cast<COLORREF>(Red); });
    const Extent shade = Where(fx, [](COLORREF c) { return Dark(c) && c != static_cast<COLORREF>(Red); });
    ASSERT_GE(text.bottom, 0);
    ASSERT_GE(shade.bottom, 0);
    EXPECT_GE(shade.top, text.top);
    EXPECT_LE(shade.bottom, text.bottom + 5);
}

TEST_F(Label, TheKindChoosesTheTextColourAndTheSkinsKindNeedsTheSkinsColour)
{
    form->SetColor(clWhite);
    auto* fx = Make<TsLabelFX>("Shadow", 10, 10);
    TsLabel* plain = Make("Shadow", 10, 50);
    for (TsCustomLabel* l : {static_cast<TsCustomLabel*>(fx), static_cast<TsCustomLabel*>(plain)})
        l->Font()->SetColor(Red);
    fx->Kind()->SetColor(Blue);
    Show();
    const auto shows = [&](TColor Colour) {
        return Where(fx, [&](COLORREF c) { return c == static_cast<COLORREF>(Colour); }).right >= 0;
    };
    const auto plainLook = [&] {
        const testkit::PixelImage look = testkit::PrintWindowPixels(form->Handle(), true);
        for (int y = 0; y < plain->Height(); ++y)
            for (int x = 0; x < plain->Width(); ++x)
                if (look.Pixel(fx->Left() + x, fx->Top() + y) != look.Pixel(plain->Left() + x, plain->Top() + y))
                    return false;
        return fx->Width() == plain->Width() && fx->Height() == plain->Height();
    };
    EXPECT_TRUE(plainLook()) << "no skin: a plain label in its font, without a halo";
    fx->Kind()->SetKindType(ktCustom);
    testkit::WaitIdle();
    EXPECT_TRUE(shows(Blue)) << "the kind's own colour";

    fx->Kind()->SetKindType(ktSkin);
    TsGeneralData global = Section("GLOBALINFO", clWhite, clWhite, Red);
    global.FontColor[1] = Green;
    Activate({global});
    InitConstantIndexes();
    Command(fx, AC_REPAINT);
    testkit::WaitIdle();
    EXPECT_TRUE(shows(Green)) << "the skin's first contour colour";
    EXPECT_EQ(fx->Width(), plain->Width() + 8) << "measured again with the shadow";
    gd[0].FontColor[1] = -1;
    Command(fx, AC_REPAINT);
    plain->Invalidate();
    testkit::WaitIdle();
    EXPECT_TRUE(plainLook()) << "a skin without one: plain again";
}

// Disabled text reads fainter than enabled text on a light and on a dark face: a disabled label,
// and a section's disabled text as the skinned controls write it.
TEST_F(Label, DisabledTextIsFainterThanEnabledTextOnALightAndADarkFace)
{
    const struct {
        TColor face, text;
    } looks[] = {{0x00F0F0F0, 0x00101010}, {0x00303030, 0x00E0E0E0}};
    for (const auto& look : looks) {
        SCOPED_TRACE(look.face);
        const auto face = static_cast<COLORREF>(look.face);
        auto contrast = [&](const testkit::PixelImage& Image, const TRect& R) {
            int most = 0;
            for (int y = R.top; y < R.bottom; ++y)
                for (int x = R.left; x < R.right; ++x) {
                    const COLORREF p = Image.Pixel(x, y);
                    most = std::max({most, std::abs(GetRValue(p) - GetRValue(face)),
                                     std::abs(GetGValue(p) - GetGValue(face)), std::abs(GetBValue(p) - GetBValue(face))});
                }
            return most;
        };
        Activate({Section("GLOBALINFO", look.face, look.face, look.text)});
        manager = std::make_unique<TsSkinManager>(nullptr);
        form->SetColor(look.face);
        TsLabel* on = Make("WWWW", 10, 10);
        TsLabel* off = Make("WWWW", 10, 40);
        off->SetEnabled(false);
        Show();
        POINT origin{0, 0};
        ClientToScreen(form->Handle(), &origin);
        RECT window;
        GetWindowRect(form->Handle(), &window);
        const int dx = origin.x - window.left, dy = origin.y - window.top;
        const testkit::PixelImage shot = testkit::ScreenPixels(form->Handle());
        auto inShot = [&](TControl* L) {
            return Rect(dx + L->Left(), dy + L->Top(), dx + L->Left() + L->Width(), dy + L->Top() + L->Height());
        };
        EXPECT_GT(contrast(shot, inShot(off)), 0);
        EXPECT_LT(contrast(shot, inShot(off)), contrast(shot, inShot(on)));

        std::vector<testkit::PixelImage> written;
        for (bool enabled : {true, false}) {
            TBitmap bmp(60, 20, pf24bit);
            bmp.Canvas()->Brush()->SetColor(look.face);
            bmp.Canvas()->FillRect(Rect(0, 0, 60, 20));
            TRect r = Rect(0, 0, 60, 20);
            WriteTextEx(bmp.Canvas(), "WWWW", enabled, r, DT_SINGLELINE | DT_VCENTER, 0, false);
            testkit::PixelImage image(60, 20);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 60; ++x) {
                    const auto c = static_cast<COLORREF>(bmp.Canvas()->Pixels(x, y));
                    image.Data()[y * 60 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                }
            written.push_back(std::move(image));
        }
        EXPECT_GT(contrast(written[1], Rect(0, 0, 60, 20)), 0);
        EXPECT_LT(contrast(written[1], Rect(0, 0, 60, 20)), contrast(written[0], Rect(0, 0, 60, 20)));
        on->Free();
        off->Free();
        manager.reset();
    }
}
