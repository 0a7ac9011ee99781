// Spin edits: values kept within their bounds, what may be typed, stepping by the arrow buttons,
// Ctrl and the arrow keys and the wheel, and the button column's size.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "ControlsKit.h"
#include "Forms.h"
#include "sSpinEdit.h"

using namespace controlskit;

namespace {

// Opens the key handler to the test, which cannot hold Ctrl down.
class TKeyedSpinEdit : public TsSpinEdit {
public:
    using TsSpinEdit::KeyDown;
    using TsSpinEdit::TsSpinEdit;
};

class SpinEdit : public TablesTest {
protected:
    template <class T>
    T* Make()
    {
        auto* e = Create<T>(form);
        e->SetBounds(10, 10, 120, 24);
        e->SetParent(form);
        form->Show();
        testkit::WaitIdle();
        return e;
    }
    static void Type(TWinControl* E, char C) { E->Perform(WM_CHAR, static_cast<unsigned char>(C), 0); }
    static void Wheel(TWinControl* E, int Notches)
    {
        E->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<Word>(Notches * 120)), 0);
    }
};

} // namespace

TEST_F(SpinEdit, ValuesStayWithinTheBoundsUnlessBothAreEqual)
{
    auto* e = Make<TKeyedSpinEdit>();
    EXPECT_EQ(e->Value(), 0) << "an empty text reads as the lower bound";
    e->SetValue(-5000);
    EXPECT_EQ(e->Text(), "-5000") << "no limits while the bounds are equal";
    e->SetValue(INT_MAX);
    e->UpClick(e);
    EXPECT_EQ(e->Value(), INT_MAX) << "a step past the number range stops at its end";

    e->MinValue = 1;
    e->MaxValue = 10;
    e->SetText("abc");
    EXPECT_EQ(e->Value(), 1);
    e->SetValue(15);
    EXPECT_EQ(e->Text(), "10");
    e->SetText("20");
    e->Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(e->Text(), "10") << "leaving writes the value back within the bounds";
    e->SetText("05");
    e->Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(e->Text(), "05") << "a value within the bounds is left as typed";

    e->SetValue(5);
    Word up = VK_UP;
    e->KeyDown(up, TShiftState{});
    EXPECT_EQ(e->Value(), 5) << "the arrow alone does not step";
    e->KeyDown(up, TShiftState{ssCtrl});
    EXPECT_EQ(e->Value(), 6);
    Word down = VK_DOWN;
    e->KeyDown(down, TShiftState{ssCtrl});
    e->KeyDown(down, TShiftState{ssCtrl});
    EXPECT_EQ(e->Value(), 4);
    Wheel(e, 2);
    EXPECT_EQ(e->Value(), 6);

    e->SetReadOnly(true);
    e->UpClick(e);
    EXPECT_EQ(e->Value(), 6) << "read-only: a beep, no step";
    Wheel(e, 1);
    EXPECT_EQ(e->Value(), 6) << "read-only: the wheel does not step either";
}

TEST_F(SpinEdit, BoundsGivenTheWrongWayRoundStillClampEveryPath)
{
    // Below the lower bound gives the lower bound, above the upper one the upper one.
    auto* e = Make<TKeyedSpinEdit>();
    e->MinValue = 10;
    e->MaxValue = 5;
    Word up = VK_UP, down = VK_DOWN;
    const struct {
        const char* Path;
        const char* Before;
        std::function<void()> Act;
        const char* After;
    } cases[] = {
        {"set 7", "0", [&] { e->SetValue(7); }, "10"},
        {"set 12", "0", [&] { e->SetValue(12); }, "5"},
        {"up arrow", "5", [&] { e->UpClick(e); }, "10"},
        {"down arrow", "12", [&] { e->DownClick(e); }, "5"},
        {"Ctrl+Up", "10", [&] { e->KeyDown(up, TShiftState{ssCtrl}); }, "5"},
        {"Ctrl+Down", "5", [&] { e->KeyDown(down, TShiftState{ssCtrl}); }, "10"},
        {"wheel", "10", [&] { Wheel(e, 1); }, "5"},
        {"leaving", "7", [&] { e->Perform(CM_EXIT, 0, 0); }, "10"},
    };
    for (const auto& c : cases) {
        e->SetText(c.Before);
        c.Act();
        EXPECT_EQ(e->Text(), c.After) << c.Path;
    }

    auto* d = Make<TsDecimalSpinEdit>();
    d->MinValue = 1.0;
    d->MaxValue = 0.5;
    d->SetValue(0.75);
    EXPECT_DOUBLE_EQ(d->Value(), 1.0);
    Wheel(d, 1);
    EXPECT_DOUBLE_EQ(d->Value(), 0.5);
    d->SetText("0.7");
    d->Perform(CM_EXIT, 0, 0);
    EXPECT_DOUBLE_EQ(d->Value(), 1.0);
}

TEST_F(SpinEdit, TheDecimalWheelStepsByTheIncrementPerNotch)
{
    auto* d = Make<TsDecimalSpinEdit>();
    d->Increment = 0.25;
    d->SetValue(1);
    Wheel(d, 2);
    EXPECT_EQ(d->Text(), AnsiString("1") + DecimalSeparator + "50");
    Wheel(d, -3);
    EXPECT_EQ(d->Text(), AnsiString("0") + DecimalSeparator + "75");
    d->MinValue = 0.5;
    d->MaxValue = 2;
    Wheel(d, -2);
    EXPECT_EQ(d->Text(), AnsiString("0") + DecimalSeparator + "50") << "held at the lower bound";
    d->SetReadOnly(true);
    Wheel(d, 1);
    EXPECT_EQ(d->Text(), AnsiString("0") + DecimalSeparator + "50") << "read-only";
}

TEST_F(SpinEdit, TheTextEndsBeforeTheArrowButtons)
{
    auto* e = Make<TsSpinEdit>();
    e->SetText(AnsiString(40, '8'));
    e->SetFocus();
    // The caret at the end scrolls the text's end into view; the column hidden shows what lies
    // under it.
    e->SetSelStart(40);
    e->Perform(EM_SCROLLCARET, 0, 0);
    HideCaret(e->Handle());
    e->Button()->SetVisible(false);
    POINT client{0, 0};
    ClientToScreen(e->Handle(), &client);
    RECT window{};
    GetWindowRect(e->Handle(), &window);
    const int left = client.x - window.left, top = client.y - window.top;
    const int free = left + e->ClientWidth() - e->Button()->Width() - 2;
    testkit::PixelImage shot;
    // Columns of the client area with dark (text) pixels.
    auto inked = [&](int From, int To) {
        int n = 0;
        for (int x = From; x < To; ++x)
            for (int y = top; y < top + e->ClientHeight(); ++y)
                if (const COLORREF c = shot.Pixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) {
                    ++n;
                    break;
                }
        return n;
    };
    const bool shown = testkit::PumpUntil([&] {
        shot = testkit::ScreenPixels(e->Handle());
        return inked(left, left + e->ClientWidth()) > 0;
    });
    ASSERT_TRUE(shown) << "the text shows";
    EXPECT_EQ(inked(free, left + e->ClientWidth()), 0);
    EXPECT_GT(inked(free - 12, free), 0) << "the text reaches the buttons";
}

TEST_F(SpinEdit, OnlyNumberCharactersAreTypedAndNothingWhileTheEditorIsOff)
{
    auto* e = Make<TsSpinEdit>();
    e->SetFocus();
    for (char c : {'1', '-', 'a', '2'})
        Type(e, c);
    EXPECT_EQ(e->Text(), "12");

    auto* d = Make<TsDecimalSpinEdit>();
    d->SetFocus();
    for (char c : {'-', '1', DecimalSeparator, '5', 'x'})
        Type(d, c);
    EXPECT_EQ(d->Text(), AnsiString("-1") + DecimalSeparator + "5");
    EXPECT_DOUBLE_EQ(d->Value(), -1.5);

    d->EditorEnabled = false;
    Type(d, '7');
    Type(d, '\b');
    d->SelectAll();
    d->Perform(WM_CUT, 0, 0);
    EXPECT_EQ(d->Text(), AnsiString("-1") + DecimalSeparator + "5") << "typing, backspace and cut do nothing";
    d->UpClick(d);
    EXPECT_EQ(d->Text(), AnsiString("-0") + DecimalSeparator + "50") << "the arrows still step";
    d->SetDecimalPlaces(3);
    EXPECT_EQ(d->Text(), AnsiString("-0") + DecimalSeparator + "500");
}

TEST_F(SpinEdit, TheArrowButtonsStepTheValueAndKeepAUsableWidth)
{
    auto* e = Make<TsSpinEdit>();
    e->SetValue(3);
    TsSpinButton* column = e->Button();
    EXPECT_EQ(column->Width(), 18);
    const int x = column->Width() / 2;
    column->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 2));
    column->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, 2));
    EXPECT_EQ(e->Value(), 4);
    const int bottom = column->Height() - 2;
    column->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, bottom));
    column->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, bottom));
    EXPECT_EQ(e->Value(), 3);
    EXPECT_TRUE(e->Focused()) << "a press gives the edit the focus";

    column->SetBounds(0, 0, 10, 21);
    EXPECT_EQ(column->Width(), 15);
    EXPECT_EQ(column->UpButton()->Height(), 10);
    EXPECT_EQ(column->DownButton()->Top(), 10);
    EXPECT_EQ(column->DownButton()->Height(), 11);
}
