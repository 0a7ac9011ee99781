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

#include "StdCtrls.h"

namespace {

TEST_F(FreeingControls, FocusedEditFreedBeforeItsForm)
{
    TForm* form = Create<TForm>(nullptr);
    TEdit* edit = Create<TEdit>(form);
    edit->SetParent(form);
    form->Show();
    testkit::PumpPending();
    edit->SetFocus();
    testkit::PumpPending();
    edit->Free();
    testkit::PumpPending();
    form->Free();
    testkit::PumpPending();
    SUCCEED();
}

// A container with a child that it owns itself, freed while the form lives on.
TEST_F(FreeingControls, ContainerOwningItsChildFreedBeforeItsForm)
{
    TForm* form = Create<TForm>(nullptr);
    TPanel* panel = Create<TPanel>(form);
    panel->SetParent(form);
    TEdit* edit = Create<TEdit>(panel);
    edit->SetParent(panel);
    form->Show();
    testkit::PumpPending();
    edit->SetFocus();
    testkit::PumpPending();
    panel->Free();
    testkit::PumpPending();
    form->Free();
    testkit::PumpPending();
    SUCCEED();
}

TEST_F(FreeingControls, UnownedControlFreedBeforeItsForm)
{
    TForm* form = Create<TForm>(nullptr);
    TPanel* panel = Create<TPanel>(nullptr);
    panel->SetParent(form);
    TPanel* inner = Create<TPanel>(nullptr);
    inner->SetParent(panel);
    form->Show();
    testkit::PumpPending();
    panel->Free();
    testkit::PumpPending();
    form->Free();
    testkit::PumpPending();
    SUCCEED();
}

} // namespace

#include "FormTest.h"

namespace {

class FreeingOnAppForms : public testkit::FormTest {};

// The form is owned by the application and freed by the fixture after a child went.
TEST_F(FreeingOnAppForms, ChildWithItsOwnChildFreedThenFormLeftToTheFixture)
{
    TForm* form = MakeForm();
    TCustomControl* box = Create<TPanel>(form);
    box->SetParent(form);
    TEdit* edit = Create<TEdit>(box);
    edit->SetParent(box);
    form->Show();
    testkit::PumpPending();
    edit->SetFocus();
    testkit::PumpPending();
    box->Free();
    testkit::PumpPending();
}

TEST_F(FreeingOnAppForms, FocusedEditFreedThenFormLeftToTheFixture)
{
    TForm* form = MakeForm();
    TEdit* edit = Create<TEdit>(form);
    edit->SetParent(form);
    form->Show();
    testkit::PumpPending();
    edit->SetFocus();
    testkit::PumpPending();
    edit->Free();
    testkit::PumpPending();
}

} // namespace
