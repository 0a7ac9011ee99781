// The small windows around the main window: the rounded splash and about box with their pictures,
// the about box's links, the settings dialog, and the restore from the tray icon.
#include "../app_gui/LogicFixture.h"

#include <algorithm>
#include <functional>

#include "ModalDriver.h"
#include "ShellSeams.h"
#include "sStyleSimply.h"

#include "Form13.h"
#include "Form7.h"
#include "FormFLog.h"

using namespace logic;

namespace {

// Runs Action once Ready holds, from a timer that the modal loop of a dialog (or of a menu)
// dispatches; one at a time.
struct WhenReady : testkit::TModalDriver {
    WhenReady(std::function<bool()> Ready, std::function<void()> Action)
        : TModalDriver([Ready = std::move(Ready), Action = std::move(Action)] {
              if (!Ready())
                  return false;
              Action();
              return true;
          })
    {
    }
};

bool Showing(TCustomForm* Form) { return Form->HandleAllocated() && IsWindowVisible(Form->Handle()); }

class SmallWindows : public MainLogicTest {};

TEST_F(SmallWindows, SplashAndAboutBoxAreRoundedFromTheSecondRowAndShowTheirPictures)
{
    auto* splash = MakeForm<TFLog>();
    auto* about = MakeForm<TForm7>();
    const struct {
        TCustomForm* Form;
        TImage* Image;
        int Width, Height;
    } windows[] = {{splash, splash->Image1, 427, 187}, {about, about->Image1, 423, 185}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.Form->Name());
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(w.Form->Handle(), region), ERROR);
        const int mx = w.Width / 2, my = w.Height / 2;
        EXPECT_TRUE(PtInRegion(region, mx, my));
        EXPECT_FALSE(PtInRegion(region, mx, 0)) << "the first row is cut";
        EXPECT_TRUE(PtInRegion(region, mx, 1));
        EXPECT_TRUE(PtInRegion(region, 1, my));
        for (POINT corner : {POINT{2, 3}, POINT{w.Width - 3, 3}, POINT{2, w.Height - 3}, POINT{w.Width - 3, w.Height - 3}})
            EXPECT_FALSE(PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
        DeleteObject(region);
        EXPECT_EQ(w.Image->Picture()->Width(), w.Width);
        EXPECT_EQ(w.Image->Picture()->Height(), w.Height);
    }
}

// The two windows carry no skin provider: their labels look the same in Dusk as without a skin
// (Dusk's light text would vanish on the cream picture), dark text on the light picture.
TEST_F(SmallWindows, SplashAndAboutBoxLabelsKeepTheSystemsColoursInDusk)
{
    TID_Vellorn* form = Start();
    form->sSkinManager1->SetSkinName("Dusk");
    ASSERT_TRUE(sSkinData->Active);
    auto* splash = MakeForm<TFLog>();
    auto* about = MakeForm<TForm7>();
    const struct {
        TCustomForm* Form;
        std::vector<TControl*> Labels;
    } windows[] = {{splash, {splash->sLabel1}},
                   {about, {about->sLabel1, about->sLabel2, about->sLabel3, about->sLabelFX1, about->sLabelFX2}}};
    auto luminance = [](COLORREF c) { return (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10; };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.Form->Name());
        w.Form->Show();
        testkit::PumpPending();
        form->sSkinManager1->SetActive(true);
        const testkit::PixelImage dusk = testkit::PrintWindowPixels(w.Form->Handle(), true);
        dusk.SavePng(testkit::OutputDir() + std::string(w.Form->Name()) + "_dusk.png");
        form->sSkinManager1->SetActive(false);
        const testkit::PixelImage plain = testkit::PrintWindowPixels(w.Form->Handle(), true);
        for (TControl* label : w.Labels) {
            SCOPED_TRACE(label->Name());
            const TRect r = label->BoundsRect();
            int differing = 0, darkest = 255, lightest = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    differing += dusk.Pixel(x, y) != plain.Pixel(x, y);
                    darkest = std::min(darkest, luminance(dusk.Pixel(x, y)));
                    lightest = std::max(lightest, luminance(dusk.Pixel(x, y)));
                }
            EXPECT_EQ(differing, 0) << "the label as without a skin";
            EXPECT_GT(lightest - darkest, 100) << "dark text on the light picture";
        }
        w.Form->Hide();
    }
}

TEST_F(SmallWindows, SplashClosesOnAClickAndOnItsTick)
{
    auto* splash = MakeForm<TFLog>();
    {
        WhenReady click([&] { return Showing(splash); },
                        [&] { PostMessageA(splash->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 60)); });
        splash->ShowModal();
        EXPECT_TRUE(click.Done());
    }
    testkit::PumpPending();
    EXPECT_EQ(FLog, nullptr) << "closed and freed";

    auto* second = MakeForm<TFLog>();
    second->Show();
    EXPECT_TRUE(second->Timer1->Enabled()) << "counting from the show";
    second->Timer1->OnTimer(second->Timer1);
    testkit::PumpPending();
    EXPECT_EQ(FLog, nullptr);
}

TEST_F(SmallWindows, AboutBoxIsCentredOnTheMainWindowAndOpensItsLinks)
{
    TID_Vellorn* form = Start();
    auto* about = MakeForm<TForm7>();
    form->SetBounds(101, 51, 701, 501);
    TRect placed{};
    WhenReady close([&] { return Showing(about); },
                    [&] {
                        placed = about->BoundsRect();
                        about->Image1Click(about->Image1);
                    });
    form->ToolButton15Click(nullptr);
    ASSERT_TRUE(close.Done());
    // 51 + 501 / 2 - 185 / 2 and 101 + 701 / 2 - 423 / 2, halves truncated.
    EXPECT_EQ(placed.top, 209);
    EXPECT_EQ(placed.left, 240);
    EXPECT_FALSE(Showing(about));

    TScopedShellRecorder shell;
    about->sLabelFX1Click(about->sLabelFX1);
    about->sLabelFX2Click(about->sLabelFX2);
    ASSERT_EQ(shell.Calls.size(), 2u);
    EXPECT_EQ(shell.Calls[0].Operation, "open");
    EXPECT_EQ(shell.Calls[0].File, "mailto:vellorn@vellorn.example");
    EXPECT_EQ(shell.Calls[0].ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(shell.Calls[1].Operation, "open");
    EXPECT_EQ(shell.Calls[1].File, "http://www.vellorn.example");
    EXPECT_EQ(shell.Calls[1].ShowCmd, SW_SHOWNORMAL);
}

TEST_F(SmallWindows, SettingsShowTheStoredChoiceAndWriteTheNewOne)
{
    TID_Vellorn* form = Start();
    auto* settings = MakeForm<TForm13>();
    const AnsiString file = dir / "FILES\\settings.ini";
    const struct {
        const char* Stored;        // "" : no file
        bool NewWindowShown;       // RadioButton1 checked when shown
        TsRadioButton* TForm13::*Choose;
        bool Confirm;              // "OK" or "Отмена"
        const char* Written;
    } cases[] = {
        {"[OPEN_TREE]\r\nTreeOpen=True\r\n", false, &TForm13::RadioButton1, true, "[OPEN_TREE]\r\nTreeOpen=true\r\n"},
        {"[OPEN_TREE]\r\nTreeOpen=true\r\n", true, &TForm13::RadioButton2, true, "[OPEN_TREE]\r\nTreeOpen=false\r\n"},
        {"", true, &TForm13::RadioButton2, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stored);
        DeleteFile(file);
        if (*c.Stored)
            testkit::WriteFileBytes(file, c.Stored);
        form->OpenTreesInNewWindow = !c.NewWindowShown;
        bool shownFirst = false, shownSecond = false;
        HWND focus = nullptr;
        WhenReady choose([&] { return Showing(settings); },
                         [&] {
                             focus = GetFocus();
                             shownFirst = settings->RadioButton1->Checked();
                             shownSecond = settings->RadioButton2->Checked();
                             EXPECT_EQ(form->OpenTreesInNewWindow, c.NewWindowShown);
                             (settings->*c.Choose)->SetChecked(true);
                             if (c.Confirm)
                                 settings->Button1Click(settings->Button1);
                             else
                                 settings->Button2Click(settings->Button2);
                         });
        form->SettClick(nullptr);
        ASSERT_TRUE(choose.Done());
        EXPECT_EQ(shownFirst, c.NewWindowShown);
        EXPECT_EQ(shownSecond, !c.NewWindowShown);
        EXPECT_EQ(focus, (c.NewWindowShown ? settings->RadioButton1 : settings->RadioButton2)->Handle())
            << "the focus on the option that holds";
        EXPECT_EQ(testkit::ReadFileBytes(file), c.Written);
        if (c.Confirm) {
            EXPECT_EQ(form->OpenTreesInNewWindow, c.Choose == &TForm13::RadioButton1);
        }
    }
}

// The tray menu's "Закрыть" and the files it leaves are driven in the end-to-end writing test.
TEST_F(SmallWindows, TheTaskBarEntryGoesOnlyWhileMinimisedAndTheTrayIconRestores)
{
    TID_Vellorn* form = Start();
    Application->SetMainForm(form);
    AtTearDown([] { Application->SetMainForm(nullptr); });
    form->Show();
    Application->Minimize();
    testkit::PumpPending();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    SendMessageA(form->TrayIcon1->WindowHandle(), TTrayIcon::CallbackMessage, 1, WM_LBUTTONDBLCLK);
    testkit::PumpPending();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));
}

} // namespace
