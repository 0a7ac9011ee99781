// The application's hints: the pause, CM_HINTSHOW to the control first, OnShowHint, and a
// replaced hint window class.
#include "FormTest.h"

using namespace testkit;

namespace {

// A hint window that records what it was asked to show.
class TRecordingHint : public THintWindow {
    VCL_CLASS(TRecordingHint, THintWindow)
public:
    using THintWindow::THintWindow;
    void ActivateHint(TRect Rect, const AnsiString& AHint) override
    {
        shown.push_back(AHint);
        shownAt = GetTickCount();
        lastRect = Rect;
        inherited::ActivateHint(Rect, AHint);
    }
    static inline std::vector<AnsiString> shown;
    static inline DWORD shownAt = 0;
    static inline TRect lastRect{};
};

// A control that edits its hint when asked.
class THintedControl : public TWinControl {
    VCL_CLASS(THintedControl, TWinControl)
public:
    using TWinControl::TWinControl;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_HINTSHOW) {
            ++hintShows;
            auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
            if (refuse) {
                Message.Result = 1;
                return;
            }
            info->HintStr += " (edited)";
            cursorPos = info->CursorPos;
            if (otherClass)
                info->HintWindowClass = otherClass;
            return;
        }
        inherited::Dispatch(Message);
    }
    int hintShows = 0;
    bool refuse = false;
    TPoint cursorPos{};
    THintWindowClass otherClass = nullptr;
};

// Another hint window class a control may ask for.
class TOtherHint : public THintWindow {
    VCL_CLASS(TOtherHint, THintWindow)
public:
    using THintWindow::THintWindow;
};

class HintsTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        savedClass_ = HintWindowClass;
        savedPause_ = Application->HintPause;
        HintWindowClass = [](TComponent* owner) -> THintWindow* { return Create<TRecordingHint>(owner); };
        // Off and on again: the next hint window is made from the replaced class.
        Application->SetShowHint(false);
        Application->SetShowHint(true);
        TRecordingHint::shown.clear();
    }
    void TearDown() override
    {
        HintWindowClass = savedClass_;
        Application->SetShowHint(false);
        Application->SetShowHint(true);
        Application->HintPause = savedPause_;
        Application->OnShowHint = nullptr;
        FormTest::TearDown();
    }

    // A shown form with one hinted control; the mouse is moved over the control.
    THintedControl* Build()
    {
        TForm* form = MakeForm();
        form->SetBounds(200, 200, 300, 200);
        auto* c = Create<THintedControl>(form);
        c->SetParent(form);
        c->SetBounds(20, 20, 100, 50);
        c->SetHint("Открыть|Открыть статью");
        c->SetShowHint(true);
        // Hints are off while the form appears: the real mouse may rest where the control comes,
        // and its pause would start before the test is ready.
        Application->SetShowHint(false);
        form->Show();
        PumpPending();
        Application->SetShowHint(true);
        TPoint p = c->ClientToScreen(TPoint{10, 10});
        SetCursorPos(p.x, p.y);
        return c;
    }

    void Move(TControl* c)
    {
        TMessage m = MakeMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        Application->HintMouseMessage(c, m);
    }

private:
    THintWindowClass savedClass_;
    int savedPause_ = 0;
};

} // namespace

TEST_F(HintsTest, ShownAfterThePauseThroughTheReplacedWindowClass)
{
    Application->HintPause = 200;
    AnsiString longHint;
    Application->OnHint = [&](TObject*) { longHint = Application->Hint(); };
    THintedControl* c = Build();
    // Timed from before the move, so a busy machine can only make the span longer.
    const DWORD moved = GetTickCount();
    Move(c);
    Application->OnHint = nullptr;
    EXPECT_EQ(longHint, "Открыть статью") << "the part after | is the application's Hint";
    ASSERT_TRUE(WaitFor([&] { return !TRecordingHint::shown.empty(); }, "hint shown"));
    EXPECT_GE(TRecordingHint::shownAt - moved, 190u) << "not before the pause";
    EXPECT_EQ(TRecordingHint::shown[0], "Открыть (edited)") << "CM_HINTSHOW may edit the text";
    EXPECT_EQ(c->hintShows, 1);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(Application->HintWindow()->IsHintShown());
    EXPECT_STREQ(Application->HintWindow()->ClassName().c_str(), "TRecordingHint");
    // A key press hides it.
    PostMessageA(c->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(Application->HintWindow()->IsHintShown());
}

TEST_F(HintsTest, RefusedByTheControlOrByOnShowHint)
{
    Application->HintPause = 10;
    THintedControl* c = Build();
    c->refuse = true;
    Move(c);
    EXPECT_TRUE(WaitFor([&] { return c->hintShows == 1; }, "CM_HINTSHOW"));
    PumpFor(30); // the refused hint does not show within a while
    EXPECT_TRUE(TRecordingHint::shown.empty());

    Application->CancelHint();
    c->refuse = false;
    Application->OnShowHint = [](AnsiString& text, bool& canShow, THintInfo&) {
        canShow = text != "Открыть (edited)";
    };
    Move(c);
    EXPECT_TRUE(WaitFor([&] { return c->hintShows == 2; }, "second CM_HINTSHOW"));
    PumpFor(30); // the refused hint does not show within a while
    EXPECT_TRUE(TRecordingHint::shown.empty());
}

TEST_F(HintsTest, FreedControlNeverGetsItsHint)
{
    Application->HintPause = 30;
    THintedControl* c = Build();
    Move(c);
    c->Free(); // before the pause ends
    PumpFor(80); // past the pause: no hint for a control that is gone
    EXPECT_TRUE(TRecordingHint::shown.empty());
}

TEST_F(HintsTest, NoHintWhenSwitchedOff)
{
    Application->HintPause = 10;
    THintedControl* c = Build();
    Application->SetShowHint(false);
    Move(c);
    PumpFor(50); // past the pause: no hint while hints are off
    Application->SetShowHint(true);
    EXPECT_EQ(c->hintShows, 0);
}

TEST(HintWindow, CalcHintRectGrowsWithTheText)
{
    THintWindow* w = Create<THintWindow>(nullptr);
    TRect small = w->CalcHintRect(300, "a", nullptr);
    TRect wide = w->CalcHintRect(300, "a much longer hint text", nullptr);
    TRect wrapped = w->CalcHintRect(60, "a much longer hint text", nullptr);
    EXPECT_GT(wide.right, small.right);
    EXPECT_GT(wrapped.bottom, wide.bottom) << "wrapped at the maximum width";
    EXPECT_EQ(small.left, 0);
    w->Free();
}

TEST_F(HintsTest, ControlSeesTheCursorInItsClientAndMayChooseTheWindowClass)
{
    Application->HintPause = 10;
    THintedControl* c = Build(); // the mouse at (10, 10) of the control
    Move(c);
    ASSERT_TRUE(WaitFor([&] { return !TRecordingHint::shown.empty(); }, "first hint"));
    EXPECT_EQ(c->cursorPos.x, 10);
    EXPECT_EQ(c->cursorPos.y, 10);

    Application->CancelHint();
    c->otherClass = [](TComponent* owner) -> THintWindow* { return Create<TOtherHint>(owner); };
    Move(c);
    ASSERT_TRUE(WaitFor([&] { return c->hintShows == 2; }, "second CM_HINTSHOW"));
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_STREQ(Application->HintWindow()->ClassName().c_str(), "TOtherHint");
}
