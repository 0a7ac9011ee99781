// Spin edits: values kept within their bounds, what may be typed, stepping by the arrow buttons,
// Ctrl and the arrow keys and the wheel, and the button column's size.
#include <gtest/gtest.h>

#include <climits>

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
        testkit::PumpFor(20);
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
