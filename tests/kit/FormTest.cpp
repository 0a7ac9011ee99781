#include "FormTest.h"

namespace testkit {

void FormTest::SetUp()
{
    GuiTest::SetUp();
    savedBox_ = Application->MessageBoxFunc;
    for (int i = 0; i < Screen->FormCount(); ++i)
        formsBefore_.insert(Screen->Forms(i));
}

void FormTest::TearDown()
{
    // Forms first (they own windows), newest first.
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
        if (i >= Screen->FormCount())
            continue;
        TCustomForm* f = Screen->Forms(i);
        if (!formsBefore_.count(f))
            f->Free();
    }
    formsBefore_.clear();
    Application->CancelHint();
    Application->MessageBoxFunc = savedBox_;
    Application->OnException = nullptr;
    Screen->SetMonitorSource(nullptr);
    GuiTest::TearDown();
}

void FormTest::ScriptBoxes(int answer)
{
    Application->MessageBoxFunc = [this, answer](HWND o, const AnsiString& t, const AnsiString& c, UINT f) {
        boxes.push_back({o, t, c, f});
        return answer;
    };
}

bool FormTest::FormAlive(const void* form)
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form)
            return true;
    return false;
}

} // namespace testkit
