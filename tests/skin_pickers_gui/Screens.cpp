// The demo form of the pickers without a skin and in both shipped skins, alone and with the
// calculator and the calendar dropped down; pictures of each are written beside the test program
// (pickers_<skin>.png, pickers_<skin>_<pop-up>.png) to be looked at.
#include "PickersKit.h"
#include "ProgramRun.h"
#include "sCalcUnit.h"
#include "sPopupClndr.h"

using namespace formskit;
using namespace pickerskit;

namespace {

class Screens : public SkinnedFormTest {
protected:
    // Drops the edit's pop-up down, pictures the screen, and closes it again.
    static void Shoot(TPickersForm* Form, TsCustomComboEdit* Edit, const std::string& Name)
    {
        Edit->DoClick();
        ASSERT_TRUE(testkit::PumpUntil([&] { return Edit->DroppedDown(); })) << Name;
        RedrawWindow(Edit->Popup()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testkit::WaitIdle();
        // The form and the pop-up together.
        RECT r, p;
        GetWindowRect(Form->Handle(), &r);
        GetWindowRect(Edit->Popup()->Handle(), &p);
        UnionRect(&r, &r, &p);
        const testkit::PixelImage screen = testkit::ScreenPixels();
        testkit::PixelImage shot(r.right - r.left, r.bottom - r.top);
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                shot.Data()[y * shot.Width() + x] = screen.Data()[(r.top + y) * screen.Width() + r.left + x];
        shot.SavePng(testkit::OutputDir() + Name);
        Edit->PopupWindowClose();
        testkit::WaitIdle();
    }
};

} // namespace

TEST_F(Screens, ThePickersAndTheirPopupsInEveryLook)
{
    for (const char* skin : {"none", "Neutral", "Dusk"}) {
        if (std::string(skin) != "none")
            UseSkin(skin);
        auto* form = Create<TPickersForm>(Application);
        form->Show();
        SetForegroundWindow(form->Handle());
        Paint(form);
        testkit::WaitIdle();
        form->DateEdit->SetDate(EncodeDate(2024, 9, 12));
        form->Calc->SetValue(42.5);
        Paint(form);
        testkit::SaveScreenshot(std::string("pickers_") + skin + ".png", form->Handle());
        Shoot(form, form->Calc, std::string("pickers_") + skin + "_calc.png");
        Shoot(form, form->DateEdit, std::string("pickers_") + skin + "_date.png");
        EXPECT_FALSE(form->DateEdit->DroppedDown());
        form->Free();
    }
}

TEST_F(Screens, InDuskRealClicksPickADateAndWorkOutASum)
{
    SysUtils::TDateClockOverride clock([] { return EncodeDate(2024, 9, 12); });
    UseSkin("Dusk");
    auto* form = Create<TPickersForm>(Application);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    testkit::WaitIdle();

    TsDateEdit* date = form->DateEdit;
    RealClick(ScreenPoint(date->Button(), Middle(date->Button())));
    ASSERT_TRUE(testkit::PumpUntil([&] { return date->DroppedDown(); }));
    auto* popup = static_cast<TsPopupCalendar*>(date->Popup());
    TsMonthCalendar* calendar = popup->sMonthCalendar1;
    RealClick(ScreenPoint(calendar->FBtns[2], Middle(calendar->FBtns[2])));
    ASSERT_EQ(calendar->Month(), 10) << "'>' shows October";
    TPoint day15{-1, -1};
    for (int row = 1; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (calendar->GetCellText(col, row) == "15")
                day15 = TPoint{col, row};
    RealClick(ScreenPoint(calendar->FGrid, Middle(calendar->FGrid->CellRect(day15.x, day15.y))), true);
    EXPECT_TRUE(testkit::PumpUntil([&] { return !date->DroppedDown(); }));
    EXPECT_EQ(date->EditText(), AnsiString("15") + DateSeparator + "10" + DateSeparator + "2024");

    TsCalcEdit* calc = form->Calc;
    RealClick(ScreenPoint(calc->Button(), Middle(calc->Button())));
    ASSERT_TRUE(testkit::PumpUntil([&] { return calc->DroppedDown(); }));
    auto* calculator = static_cast<TsCalcForm*>(calc->Popup());
    for (const char* key : {"2", "+", "3", "="}) {
        if (!calc->DroppedDown())
            break;
        TsSpeedButton* b = calculator->ButtonOf(key);
        RealClick(ScreenPoint(b, Middle(b)));
    }
    EXPECT_FALSE(calc->DroppedDown()) << "'=' hands the sum over";
    RealClick(ScreenPoint(form->Ok, Middle(form->Ok)));
    EXPECT_EQ(calc->Value(), 5);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->Free();
}
