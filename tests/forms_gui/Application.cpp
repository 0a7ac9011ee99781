// The application object, timers and the screen's monitors, without forms.
#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTest.h"

#include <memory>

using namespace testkit;

namespace {

struct BoxCall {
    HWND owner;
    AnsiString text, caption;
    UINT flags;
};

// Replaces the application's message box with a script for the test's lifetime.
class ScriptedBoxes {
public:
    explicit ScriptedBoxes(int answer = IDOK) : saved_(Application->MessageBoxFunc)
    {
        Application->MessageBoxFunc = [this, answer](HWND o, const AnsiString& t, const AnsiString& c, UINT f) {
            calls.push_back({o, t, c, f});
            return answer;
        };
    }
    ~ScriptedBoxes() { Application->MessageBoxFunc = saved_; }
    std::vector<BoxCall> calls;

private:
    TMessageBoxFunc saved_;
};

class ApplicationTest : public GuiTest {};

} // namespace

TEST_F(ApplicationTest, TitleAndExeName)
{
    const AnsiString saved = Application->Title();
    EXPECT_EQ(saved, "test_forms_gui") << "the program name is the first title";
    Application->SetTitle("Vellorn");
    EXPECT_EQ(Application->Title(), "Vellorn");
    Application->SetTitle(saved);
    const AnsiString exe = Application->ExeName();
    EXPECT_NE(exe.find(":\\"), AnsiString::npos);
    EXPECT_EQ(exe.substr(exe.size() - 18), "test_forms_gui.exe");
}

TEST_F(ApplicationTest, ExceptionsReachTheErrorBoxTitledWithTheApplication)
{
    ScriptedBoxes boxes;
    Application->SetTitle("Архив");
    try {
        throw EConvertError("Неверное число");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw EAbort("silent");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw std::runtime_error("std text.");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw Exception("Файл \"list\"");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    try {
        throw 42;
    } catch (...) {
        Application->HandleException(nullptr);
    }
    Application->SetTitle("test_forms_gui");
    ASSERT_EQ(boxes.calls.size(), 4u) << "EAbort shows nothing";
    EXPECT_EQ(boxes.calls[0].text, "Неверное число.") << "a final period is added";
    EXPECT_EQ(boxes.calls[0].caption, "Архив");
    EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(boxes.calls[1].text, "std text.") << "no second period";
    EXPECT_EQ(boxes.calls[2].text, "Файл \"list\"") << "no period after a character below it";
    EXPECT_EQ(boxes.calls[3].text, "") << "an unknown exception is reported with an empty message";
}

TEST_F(ApplicationTest, OnExceptionReplacesTheBoxAndMayItselfFail)
{
    ScriptedBoxes boxes;
    AnsiString seen;
    TObject* sender = nullptr;
    TObject me;
    Application->OnException = [&](TObject* s, Exception* e) {
        seen = e->Message;
        sender = s;
        throw Exception("handler broke");
    };
    try {
        throw EInOutError("disk");
    } catch (...) {
        Application->HandleException(&me); // must not throw
    }
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "disk");
    EXPECT_EQ(sender, &me);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(ApplicationTest, TimerTicksAndReportsItsExceptionsWithoutStopping)
{
    ScriptedBoxes boxes;
    std::unique_ptr<TTimer, void (*)(TTimer*)> timer(Create<TTimer>(nullptr), [](TTimer* t) { t->Free(); });
    int ticks = 0;
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, timer.get());
        if (++ticks == 1)
            throw EConvertError("tick failed");
    };
    EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }, "three ticks"));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "tick failed.");
    timer->SetEnabled(false);
    const int stopped = ticks;
    PumpFor(60);
    EXPECT_EQ(ticks, stopped) << "a disabled timer does not tick";
    timer->SetInterval(0);
    timer->SetEnabled(true);
    PumpFor(40);
    EXPECT_EQ(ticks, stopped) << "interval 0 means no ticks";
}

TEST_F(ApplicationTest, TimersFireInsideTheRealModalMessageBox)
{
    // The real box's own modal loop dispatches the ticks; the timer then closes the box.
    const AnsiString caption = "Box for timer test";
    std::unique_ptr<TTimer, void (*)(TTimer*)> timer(Create<TTimer>(nullptr), [](TTimer* t) { t->Free(); });
    int ticks = 0;
    timer->SetInterval(20);
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 3) {
            if (HWND box = FindWindowA("#32770", caption.c_str()))
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            else
                ticks = 2; // not up yet: try again on the next tick
        }
    };
    const int answer = Application->MessageBox("Ждём таймер", caption, MB_OK);
    EXPECT_EQ(answer, IDOK);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(Application->ModalLevel(), 0);
}

TEST_F(ApplicationTest, MessageBoxDisablesOtherWindowsWhileOpen)
{
    HWND other = CreateTestWindow("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    bool wasDisabled = false;
    TMessageBoxFunc saved = Application->MessageBoxFunc;
    Application->MessageBoxFunc = [&](HWND, const AnsiString&, const AnsiString&, UINT) {
        wasDisabled = !IsWindowEnabled(other);
        return IDNO;
    };
    SetActiveWindow(nullptr);
    EXPECT_EQ(Application->MessageBox("?", "Q", MB_YESNO), IDNO);
    Application->MessageBoxFunc = saved;
    EXPECT_TRUE(wasDisabled);
    EXPECT_TRUE(IsWindowEnabled(other));
}

TEST_F(ApplicationTest, LoopHelpersAndTermination)
{
    HWND w = CreateTestWindow();
    MessageRecorder rec;
    rec.Watch(w);
    PostMessageA(w, WM_USER + 3, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(rec.Matches({Expect(WM_USER + 3)}));

    bool handledSeen = false;
    Application->OnMessage = [&](MSG& m, bool& handled) {
        if (m.message == WM_USER + 4)
            handled = handledSeen = true;
    };
    PostMessageA(w, WM_USER + 4, 0, 0);
    Application->HandleMessage();
    Application->OnMessage = nullptr;
    EXPECT_TRUE(handledSeen);
    EXPECT_TRUE(rec.Matches({})) << "a handled message is not dispatched";

    Application->Run(); // without a main form Run returns at once
    EXPECT_FALSE(Application->Terminated());
}

TEST(Screen, MonitorsComeFromAReplaceableSource)
{
    Screen->SetMonitorSource([] {
        TMonitorInfo a, b;
        a.BoundsRect = {0, 0, 1024, 768};
        a.WorkareaRect = {0, 0, 1024, 740};
        a.Primary = true;
        b.BoundsRect = {1024, -100, 2304, 924};
        b.WorkareaRect = b.BoundsRect;
        return std::vector<TMonitorInfo>{a, b};
    });
    EXPECT_EQ(Screen->MonitorCount(), 2);
    EXPECT_EQ(Screen->Width(), 1024);
    EXPECT_EQ(Screen->Height(), 768);
    EXPECT_EQ(Screen->WorkAreaRect().bottom, 740);
    EXPECT_EQ(Screen->MonitorFromPoint({1500, 0})->MonitorNum(), 1);
    EXPECT_EQ(Screen->MonitorFromPoint({5000, 0})->MonitorNum(), 1) << "nearest";
    EXPECT_EQ(Screen->MonitorFromPoint({5000, 0}, mdNull), nullptr);
    EXPECT_EQ(Screen->MonitorFromPoint({5000, 0}, mdPrimary)->MonitorNum(), 0);
    EXPECT_EQ(Screen->MonitorFromRect({900, 0, 1200, 100})->MonitorNum(), 1) << "largest overlap";
    RECT all = Screen->DesktopRect();
    EXPECT_EQ(all.top, -100);
    EXPECT_EQ(all.right, 2304);
    EXPECT_EQ(testkit::Refusal<EListError>([&] { Screen->Monitors(2); }), "List index out of bounds (2)");
    Screen->SetMonitorSource(nullptr);
    EXPECT_EQ(Screen->MonitorCount(), 1) << "the test display has one monitor";
    EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_FALSE(Screen->MenuFont()->Name().empty());
}

TEST(Screen, CursorsAndFonts)
{
    EXPECT_EQ(Screen->Cursors(crArrow), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(Screen->Cursors(crHourGlass), LoadCursorA(nullptr, IDC_WAIT));
    EXPECT_EQ(Screen->Cursors(12345), Screen->Cursors(crArrow)) << "an unknown number gives the arrow";
    HCURSOR own = LoadCursorA(nullptr, IDC_CROSS);
    Screen->SetCursors(1, own);
    EXPECT_EQ(Screen->Cursors(1), own);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    Screen->SetCursor(crDefault);
    TStrings* fonts = Screen->Fonts();
    ASSERT_GT(fonts->Count(), 0);
    for (int i = 1; i < fonts->Count(); ++i)
        EXPECT_LT(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, fonts->Strings(i - 1).c_str(), -1,
                                 fonts->Strings(i).c_str(), -1),
                  CSTR_GREATER_THAN);
    EXPECT_GE(fonts->IndexOf("Tahoma"), 0) << "the test prefix has Wine's fonts";
}

namespace {
class TMainWindowHook : public TComponent {
    VCL_CLASS(TMainWindowHook, TComponent)
public:
    using TComponent::TComponent;
    bool Hook(TMessage& Message)
    {
        if (Message.Msg != WM_USER + 5)
            return false;
        ++seen;
        Message.Result = 42;
        return true;
    }
    // What a hook finds when the system announces new settings.
    bool SettingsHook(TMessage& Message)
    {
        if (Message.Msg == WM_SETTINGCHANGE)
            separatorSeen = DateSeparator;
        return false;
    }
    int seen = 0;
    char separatorSeen = 0;
};
} // namespace

TEST_F(ApplicationTest, MainWindowHooksSeeItsMessagesFirstUntilUnhooked)
{
    auto* h = Create<TMainWindowHook>(nullptr);
    Application->HookMainWindow(TWindowHook(h, &TMainWindowHook::Hook));
    Application->HookMainWindow(TWindowHook(h, &TMainWindowHook::Hook)); // the same method once
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 5, 0, 0), 42);
    EXPECT_EQ(h->seen, 1);
    Application->UnhookMainWindow(TWindowHook(h, &TMainWindowHook::Hook));
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 5, 0, 0), 0);
    EXPECT_EQ(h->seen, 1);
    h->Free();
}

TEST_F(ApplicationTest, ASettingsChangeReadsTheFormatSettingsAgainBeforeTheHooksUnlessSwitchedOff)
{
    const char locale = LocaleChar(LOCALE_SDATE, '/');
    auto* h = Create<TMainWindowHook>(nullptr);
    Application->HookMainWindow(TWindowHook(h, &TMainWindowHook::SettingsHook));
    DateSeparator = '#';
    SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(DateSeparator, locale);
    EXPECT_EQ(h->separatorSeen, locale) << "the hook sees the new settings";

    Application->UpdateFormatSettings = false;
    DateSeparator = '#';
    SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(DateSeparator, '#');
    Application->UpdateFormatSettings = true;
    Application->UnhookMainWindow(TWindowHook(h, &TMainWindowHook::SettingsHook));
    h->Free();
    GetFormatSettings();
}
