// Freeing a control before its form: its windows and those of its children are destroyed, the
// parent's control list and the owner's component list no longer hold it or its children, every
// subscriber hears of each removal exactly once (and never again when the form goes), and the form
// does not keep a freed control as its active one.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormTest.h"
#include "Forms.h"
#include "SHDocVw.h"
#include "StdCtrls.h"
#include "StdCtrlsScrollBar.h"

#include <algorithm>
#include <vector>

namespace {

// Hears of the removal of the components it watches, in order.
class TWatch : public TComponent {
    VCL_CLASS(TWatch, TComponent)
public:
    using TComponent::TComponent;
    void Watch(std::initializer_list<TComponent*> components)
    {
        for (TComponent* c : components)
            c->FreeNotification(this);
    }
    std::vector<TComponent*> Removed;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        inherited::Notification(AComponent, Operation);
        if (Operation == opRemove)
            Removed.push_back(AComponent);
    }
};

BOOL CALLBACK AddWindow(HWND h, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

// Notes, when it is freed, the class its owner has at that moment: the most derived class while
// the owner is whole, a base class once the owner's destructors have begun.
class TOwnerProbe : public TComponent {
    VCL_CLASS(TOwnerProbe, TComponent)
public:
    TOwnerProbe(TComponent* AOwner, std::vector<AnsiString>& Log) : TComponent(AOwner), FOwnerAtStart(AOwner), FLog(Log) {}
    ~TOwnerProbe() override { FLog.push_back(FOwnerAtStart->ClassName()); }

private:
    TComponent* FOwnerAtStart;  // the owner unlinks us before freeing us
    std::vector<AnsiString>& FLog;
};

// The control's window and every window inside it (none for a windowless control or one that
// has not made its window).
std::vector<HWND> WindowsOf(TControl* c)
{
    std::vector<HWND> out;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w || !w->HandleAllocated())
        return out;
    out.push_back(w->Handle());
    EnumChildWindows(w->Handle(), AddWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

bool HoldsControl(const TWinControl* parent, const void* c)
{
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i) == c)
            return true;
    return false;
}

bool HoldsComponent(const TComponent* owner, const void* c)
{
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (owner->Components(i) == c)
            return true;
    return false;
}

// Frees c and checks what that must leave behind in its form; `alsoFreed` are the children that
// go with it, in the order their removal is announced (children before their parent).
void FreeAndCheck(TCustomForm* form, TControl* c, std::vector<TComponent*> alsoFreed, TWatch& watch)
{
    const std::vector<HWND> windows = WindowsOf(c);
    watch.Removed.clear();
    c->Free();
    testkit::PumpPending();
    for (HWND h : windows)
        EXPECT_FALSE(IsWindow(h)) << "a window outlived its control";
    alsoFreed.push_back(c);
    for (TComponent* gone : alsoFreed) {
        EXPECT_FALSE(HoldsControl(form, gone));
        EXPECT_FALSE(HoldsComponent(form, gone));
        EXPECT_NE(static_cast<const void*>(form->ActiveControl()), gone);
    }
    EXPECT_EQ(watch.Removed, alsoFreed) << "each removal announced once, children first";
}

// Frees the form and checks that only it was announced: nothing freed before is named again.
void FreeFormAndCheck(TCustomForm* form, TWatch& watch)
{
    watch.Removed.clear();
    form->Free();
    testkit::PumpPending();
    EXPECT_EQ(watch.Removed, std::vector<TComponent*>{form});
}

class FreeingControls : public testkit::FormTest {
protected:
    TWatch* watch = Create<TWatch>(nullptr);
    void TearDown() override
    {
        watch->Free();
        FormTest::TearDown();
    }
};

// A panel with a panel inside, both owned by the form or by nobody, freed before the form.
TEST_F(FreeingControls, ChildWithAChildFreedBeforeTheForm)
{
    for (bool owned : {true, false}) {
        for (bool show : {false, true}) {
            TForm* form = Create<TForm>(nullptr);
            TPanel* panel = Create<TPanel>(owned ? form : nullptr);
            panel->SetParent(form);
            TPanel* inner = Create<TPanel>(owned ? form : nullptr);
            inner->SetParent(panel);
            std::vector<AnsiString> owners;
            Create<TOwnerProbe>(panel, owners);
            Create<TOwnerProbe>(form, owners);
            watch->Watch({form, panel, inner});
            if (show) {
                form->Show();
                testkit::PumpPending();
                ASSERT_EQ(WindowsOf(panel).size(), 2u);
            }
            FreeAndCheck(form, panel, {inner}, *watch);
            FreeFormAndCheck(form, *watch);
            EXPECT_EQ(owners, (std::vector<AnsiString>{"TPanel", "TForm"})) << "owned components go while the owner is whole";
        }
    }
}

template <class T>
void FreeOneKindBeforeItsForm(TWatch& watch, bool show)
{
    SCOPED_TRACE(T::StaticClassInfo()->Name);
    TForm* form = Create<TForm>(nullptr);
    T* c = Create<T>(form);
    c->SetParent(form);
    watch.Watch({form, c});
    if (show) {
        form->Show();
        testkit::PumpPending();
    }
    FreeAndCheck(form, c, {}, watch);
    FreeFormAndCheck(form, watch);
}

TEST_F(FreeingControls, EachKindFreedBeforeItsForm)
{
    for (bool show : {false, true}) {
        FreeOneKindBeforeItsForm<TScrollBar>(*watch, show);
        FreeOneKindBeforeItsForm<TTreeView>(*watch, show);
        FreeOneKindBeforeItsForm<TPageControl>(*watch, show);
        FreeOneKindBeforeItsForm<TStatusBar>(*watch, show);
        FreeOneKindBeforeItsForm<TToolBar>(*watch, show);
        FreeOneKindBeforeItsForm<TComboBoxEx>(*watch, show);
        FreeOneKindBeforeItsForm<TProgressBar>(*watch, show);
        FreeOneKindBeforeItsForm<TCppWebBrowser>(*watch, show);
        FreeOneKindBeforeItsForm<TSplitter>(*watch, show);
        FreeOneKindBeforeItsForm<TImage>(*watch, show);
    }
}

// A focused edit, and a container that owns its focused edit, freed while the form (one of the
// application's) lives on.
TEST_F(FreeingControls, FocusedControlsFreedBeforeTheForm)
{
    TForm* form = MakeForm();
    TEdit* edit = Create<TEdit>(form);
    edit->SetParent(form);
    TPanel* panel = Create<TPanel>(form);
    panel->SetParent(form);
    TEdit* owned = Create<TEdit>(panel);
    owned->SetParent(panel);
    watch->Watch({form, edit, panel, owned});
    form->Show();
    testkit::PumpPending();
    edit->SetFocus();
    testkit::PumpPending();
    ASSERT_EQ(form->ActiveControl(), edit);
    FreeAndCheck(form, edit, {}, *watch);

    owned->SetFocus();
    testkit::PumpPending();
    ASSERT_EQ(form->ActiveControl(), owned);
    FreeAndCheck(form, panel, {owned}, *watch);
    FreeFormAndCheck(form, *watch);
}

} // namespace
