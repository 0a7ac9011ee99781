#include <gtest/gtest.h>

#include "Forms.h"
#include "GuiTest.h"
#include "ExtCtrls.h"
#include "StdCtrlsScrollBar.h"

namespace {

class FreeingControls : public testkit::GuiTest {};

// A windowed control owned and parented by a form, freed on its own before the form.
TEST_F(FreeingControls, ChildFreedBeforeItsOwnerForm)
{
    TForm* form = Create<TForm>(nullptr);
    TPanel* panel = Create<TPanel>(form);
    panel->SetParent(form);
    TPanel* inner = Create<TPanel>(form);
    inner->SetParent(panel);
    form->Show();
    testkit::PumpPending();
    panel->Free();   // takes its child window along, the owner keeps `inner`
    testkit::PumpPending();
    form->Free();
    SUCCEED();
}

TEST_F(FreeingControls, ChildFreedBeforeItsOwnerFormWithoutWindows)
{
    TForm* form = Create<TForm>(nullptr);
    TPanel* panel = Create<TPanel>(form);
    panel->SetParent(form);
    panel->Free();
    form->Free();
    SUCCEED();
}

} // namespace

#include "ComCtrls.h"
#include "SHDocVw.h"

namespace {

template <class T>
void FreeOneThenForm(bool show)
{
    TForm* form = Create<TForm>(nullptr);
    T* c = Create<T>(form);
    c->SetParent(form);
    if (show) {
        form->Show();
        testkit::PumpPending();
    }
    c->Free();
    testkit::PumpPending();
    form->Free();
    testkit::PumpPending();
}

TEST_F(FreeingControls, EachKindFreedBeforeItsForm)
{
    for (bool show : {false, true}) {
        FreeOneThenForm<TScrollBar>(show);
        FreeOneThenForm<TTreeView>(show);
        FreeOneThenForm<TPageControl>(show);
        FreeOneThenForm<TStatusBar>(show);
        FreeOneThenForm<TToolBar>(show);
        FreeOneThenForm<TComboBoxEx>(show);
        FreeOneThenForm<TProgressBar>(show);
        FreeOneThenForm<TCppWebBrowser>(show);
        FreeOneThenForm<TSplitter>(show);
        FreeOneThenForm<TImage>(show);
    }
    SUCCEED();
}

} // namespace
