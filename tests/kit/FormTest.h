// GUI fixture for tests that build forms: frees every form the test left behind, puts back the
// application's message box and the screen's monitor source, and offers scripted error boxes.
#pragma once

#include "Forms.h"
#include "GuiTest.h"

#include <set>
#include <vector>

namespace testkit {

// One call of the application's message box.
struct BoxCall {
    HWND owner;
    AnsiString text, caption;
    UINT flags;
};

class FormTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Answers every application message box with `answer` from now on, recording the calls.
    void ScriptBoxes(int answer = IDOK);
    std::vector<BoxCall> boxes;

    // Creates a form owned by the application; it is freed by TearDown if the test did not.
    // A test whose handlers capture its locals frees its forms itself: TearDown runs after the
    // locals are gone, and freeing a form can still fire events (activation of another form).
    template <class T = TForm>
    T* MakeForm()
    {
        return Create<T>(Application);
    }

    // True while the form object still exists (it is in Screen's list).
    static bool FormAlive(const void* form);

private:
    std::set<TCustomForm*> formsBefore_;
    TMessageBoxFunc savedBox_;
};

} // namespace testkit
