// A demo form of the pickers (combo, calculator, number, date, file and folder edits, a month
// calendar, OK and Cancel) and real clicks on it.
#pragma once

#include "../skin_forms_gui/FormsKit.h"
#include "ProgramRun.h"
#include "sButton.h"
#include "sComboEdit.h"
#include "sCurrEdit.h"
#include "sCurrencyEdit.h"
#include "sLabel.h"
#include "sMonthCalendar.h"
#include "sPanel.h"
#include "sTooledit.h"

namespace pickerskit {

class TPickersForm : public TForm {
    VCL_CLASS(TPickersForm, TForm)
public:
    explicit TPickersForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(40, 40, 460, 280);
        SetCaption("Pickers");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetCaption("");
        panel->SetParent(this);
        Combo = Place<TsComboEdit>(panel, "Combo:", 10, "Text");
        Calc = Place<TsCalcEdit>(panel, "Calculator:", 40, nullptr);
        Currency = Place<TsCurrencyEdit>(panel, "Number:", 70, nullptr);
        Currency->SetValue(1234.5);
        DateEdit = Place<TsDateEdit>(panel, "Date:", 100, nullptr);
        FileEdit = Place<TsFilenameEdit>(panel, "File:", 130, "C:\\windows\\win.ini");
        DirEdit = Place<TsDirectoryEdit>(panel, "Folder:", 160, "C:\\windows");
        Calendar = Create<TsMonthCalendar>(this);
        Calendar->SetBounds(250, 10, 190, 160);
        Calendar->SetParent(panel);
        Ok = Create<TsButton>(this);
        Ok->SetBounds(250, 200, 90, 26);
        Ok->SetCaption("OK");
        Ok->SetDefault(true);
        Ok->SetModalResult(mrOk);
        Ok->SetParent(panel);
        Cancel = Create<TsButton>(this);
        Cancel->SetBounds(350, 200, 90, 26);
        Cancel->SetCaption("Cancel");
        Cancel->SetCancel(true);
        Cancel->SetModalResult(mrCancel);
        Cancel->SetParent(panel);
        LoadedAll(this);
    }
    template <class T>
    T* Place(TWinControl* Parent, const char* Label, int Top, const char* Text)
    {
        auto* l = Create<TsLabel>(this);
        l->SetBounds(10, Top + 3, 80, 16);
        l->SetCaption(Label);
        l->SetParent(Parent);
        auto* c = Create<T>(this);
        c->SetBounds(90, Top, 140, 21);
        if (Text)
            c->SetText(Text);
        c->SetParent(Parent);
        return c;
    }
    TsComboEdit* Combo = nullptr;
    TsCalcEdit* Calc = nullptr;
    TsCurrencyEdit* Currency = nullptr;
    TsDateEdit* DateEdit = nullptr;
    TsFilenameEdit* FileEdit = nullptr;
    TsDirectoryEdit* DirEdit = nullptr;
    TsMonthCalendar* Calendar = nullptr;
    TsButton* Ok = nullptr;
    TsButton* Cancel = nullptr;
};

// The screen point of a client point of a control.
inline POINT ScreenPoint(TControl* Control, TPoint P)
{
    const TPoint s = Control->ClientToScreen(P);
    return POINT{s.x, s.y};
}

// A real click (or double click) of the left button at a screen point.
inline void RealClick(POINT At, bool Twice = false)
{
    testkit::SendMouse(At);
    testkit::WaitIdle();
    for (int i = 0; i < (Twice ? 2 : 1); ++i) {
        testkit::SendMouse(At, MOUSEEVENTF_LEFTDOWN);
        testkit::WaitIdle();
        testkit::SendMouse(At, MOUSEEVENTF_LEFTUP);
        testkit::WaitIdle();
    }
    testkit::WaitIdle();
}

// A key pressed and released in a window, through the application's loop (dialog keys first).
inline void PostKey(HWND Wnd, UINT Vk)
{
    PostMessageA(Wnd, WM_KEYDOWN, Vk, 1 | (MapVirtualKeyA(Vk, 0) << 16));
    PostMessageA(Wnd, WM_KEYUP, Vk, 0xC0000001 | (MapVirtualKeyA(Vk, 0) << 16));
    Application->ProcessMessages();
}

// Characters typed into a window, one by one through the application's loop.
inline void Type(HWND Wnd, const char* Chars)
{
    for (const char* c = Chars; *c; ++c) {
        PostMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(*c), 1);
        Application->ProcessMessages();
    }
}

// The middle of a control's client area, or of a rectangle of it.
inline TPoint Middle(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
inline TPoint Middle(TControl* Control) { return Middle(Control->ClientRect()); }

// A focused edit of type E on a shown form, beside a plain edit to move the focus to; the locale's
// formats the test sets are read again from the system afterwards.
template <class E>
class TEditOnForm : public testkit::FormTest {
protected:
    void ShowEdit(int Width, const char* Text = nullptr, int FormWidth = 300, int FormHeight = 150)
    {
        form = MakeForm();
        form->SetBounds(200, 200, FormWidth, FormHeight);
        edit = Create<E>(form);
        edit->SetBounds(10, 10, Width, 21);
        if (Text)
            edit->SetText(Text);
        edit->SetParent(form);
        other = Create<TEdit>(form);
        other->SetBounds(10, 60, 100, 21);
        other->SetParent(form);
        form->Show();
        SetForegroundWindow(form->Handle());
        edit->SetFocus();
        testkit::WaitIdle();
    }
    void TearDown() override
    {
        testkit::FormTest::TearDown();
        GetFormatSettings();
    }

    TForm* form = nullptr;
    E* edit = nullptr;
    TEdit* other = nullptr;
};

} // namespace pickerskit
