// The system's dialog rules on a plain form, skinned controls beside the framework's: the arrows
// move within a group and choose a radio button only from one, the focus leaves a container that is
// hidden or disabled, Alt+Down, Alt+Up and F4 toggle a combo box's list without arming the menu bar.
#include "ComCtrlsComboEx.h"
#include "ExtCtrls.h"
#include "FormTest.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "sButton.h"
#include "sComboBox.h"
#include "sComboBoxes.h"
#include "sRadioButton.h"

#include <functional>
#include <memory>

using namespace testkit;

namespace {

class DialogKeys : public FormTest {
protected:
    TForm* ShownForm()
    {
        TForm* form = MakeForm();
        form->SetBounds(50, 50, 420, 320);
        form->Show();
        SetForegroundWindow(form->Handle());
        return form;
    }
    template <class T>
    T* Place(TWinControl* Parent, int Top, const char* Caption = "")
    {
        T* c = Create<T>(Parent);
        c->SetParent(Parent);
        c->SetBounds(10, Top, 120, 22);
        c->SetText(Caption);
        return c;
    }
    // Real key presses: the keys go down in order and up in the same order, as a hand leaves
    // Alt before the arrow.
    static void Keys(std::initializer_list<BYTE> Held)
    {
        for (BYTE k : Held)
            keybd_event(k, 0, 0, 0);
        for (BYTE k : Held)
            keybd_event(k, 0, KEYEVENTF_KEYUP, 0);
    }
    // Runs the application's own loop, where its key rules live, until Pred holds (1 s at most).
    static bool LoopUntil(const std::function<bool()>& Pred)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            Application->ProcessMessages();
            if (Pred())
                return true;
            if (GetTickCount() - start > testkit::kPatienceMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    static void Arrow(TWinControl* From, WPARAM Key)
    {
        PostMessageA(From->Handle(), WM_KEYDOWN, Key, 1);
        Application->ProcessMessages();
    }
};

} // namespace

TEST_F(DialogKeys, ArrowsMoveWithinTheGroupAndChooseARadioButtonOnlyFromOne)
{
    // Two radio buttons, then three push buttons (the middle one disabled), then a check box: the
    // framework's on the form, the skinned ones in a panel.
    for (bool skinned : {false, true}) {
        SCOPED_TRACE(skinned);
        TForm* form = ShownForm();
        TWinControl* parent = form;
        if (skinned) {
            parent = Place<TPanel>(form, 0);
            parent->SetBounds(0, 0, 400, 280);
        }
        TButtonControl* radio[2];
        TButtonControl* button[3];
        int clicks = 0;
        for (int i = 0; i < 2; ++i)
            radio[i] = skinned ? static_cast<TButtonControl*>(Place<TsRadioButton>(parent, 10 + 25 * i))
                               : Place<TRadioButton>(parent, 10 + 25 * i);
        for (int i = 0; i < 3; ++i) {
            button[i] = skinned ? static_cast<TButtonControl*>(Place<TsButton>(parent, 60 + 30 * i))
                                : Place<TButton>(parent, 60 + 30 * i);
            button[i]->OnClick = [&](TObject*) { ++clicks; };
        }
        button[1]->SetEnabled(false);
        TCheckBox* box = Place<TCheckBox>(parent, 160);
        auto checked = [&] { return static_cast<TRadioButton*>(radio[0])->Checked() ? 0 : 1; };
        static_cast<TRadioButton*>(radio[0])->SetChecked(true);
        const struct {
            int From; // 0-1 radio buttons, 2-4 push buttons, 5 the check box
            WPARAM Key;
            int To;
            int Checked;
        } cases[] = {
            // Among the buttons, round their end, past the disabled one; the radio buttons keep
            // their choice and no button is clicked.
            {2, VK_LEFT, 4, 0},
            {4, VK_RIGHT, 2, 0},
            {2, VK_UP, 4, 0},
            {4, VK_DOWN, 2, 0},
            {2, VK_RIGHT, 4, 0},
            // Among the radio buttons, round their end: each one reached is chosen.
            {0, VK_DOWN, 1, 1},
            {1, VK_DOWN, 0, 0},
            {0, VK_UP, 1, 1},
            // Another kind of control is a group of its own.
            {5, VK_UP, 5, 1},
        };
        TWinControl* controls[] = {radio[0], radio[1], button[0], button[1], button[2], box};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.From);
            controls[c.From]->SetFocus();
            Arrow(controls[c.From], c.Key);
            EXPECT_TRUE(controls[c.To]->Focused());
            EXPECT_EQ(checked(), c.Checked);
        }
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(box->State(), cbUnchecked);
        form->Free();
    }
}

TEST_F(DialogKeys, TheFocusLeavesAContainerThatIsHiddenOrDisabled)
{
    // An edit, a panel holding two, an edit: the panel hidden or disabled while its second edit
    // has the focus, the form active or not.
    TForm* form = ShownForm();
    TEdit* before = Place<TEdit>(form, 10);
    auto* panel = Place<TPanel>(form, 40);
    panel->SetHeight(80);
    TEdit* inside[] = {Place<TEdit>(panel, 5), Place<TEdit>(panel, 40)};
    TEdit* after = Place<TEdit>(form, 130);
    for (bool hide : {true, false})
        for (bool active : {true, false}) {
            SCOPED_TRACE(std::string(hide ? "hidden" : "disabled") + (active ? ", active" : ", inactive"));
            panel->SetVisible(true);
            panel->SetEnabled(true);
            SetForegroundWindow(form->Handle());
            inside[1]->SetFocus();
            ASSERT_TRUE(inside[1]->Focused());
            TForm* other = nullptr;
            if (!active) {
                other = ShownForm();
                ASSERT_FALSE(inside[1]->Focused());
            }
            if (hide)
                panel->SetVisible(false);
            else
                panel->SetEnabled(false);
            EXPECT_EQ(form->ActiveControl(), after);
            if (other) {
                other->Free();
                SetForegroundWindow(form->Handle());
                PumpPending();
            }
            EXPECT_TRUE(after->Focused());
        }
    // Nothing else can take it: the form's own window holds the focus.
    panel->SetVisible(true);
    panel->SetEnabled(true);
    before->SetVisible(false);
    after->SetVisible(false);
    inside[0]->SetFocus();
    panel->SetVisible(false);
    EXPECT_EQ(GetFocus(), form->Handle());
    EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(DialogKeys, AltDownAltUpAndF4ToggleTheListOfEveryComboBoxAndAltAloneStillArmsTheMenuBar)
{
    TForm* form = ShownForm();
    auto* menu = Create<TMainMenu>(form);
    auto* top = Create<TMenuItem>(form);
    top->SetCaption("&File");
    auto* item = Create<TMenuItem>(form);
    item->SetCaption("Exit");
    int runs = 0;
    item->OnClick = [&](TObject*) { ++runs; };
    top->Add(item);
    menu->Items()->Add(top);
    form->SetMenu(menu);
    auto listed = [&]<class T>(T* c, TComboBoxStyle Style) {
        c->SetStyle(Style);
        for (const char* s : {"One", "Two", "Three"})
            c->Items()->Add(s);
        return c;
    };
    auto* ex = Place<TComboBoxEx>(form, 130);
    auto* sex = Place<TsComboBoxEx>(form, 160);
    for (const char* s : {"One", "Two", "Three"}) {
        ex->ItemsEx()->AddItem(s);
        sex->ItemsEx()->AddItem(s);
    }
    sex->UpdateList();
    auto* colors = Place<TsColorBox>(form, 190);
    struct Combo {
        TWinControl* Control;
        std::function<bool()> Dropped;
        std::function<int()> Index;
        std::shared_ptr<int> Drops;
    };
    auto of = [](auto* c) {
        auto drops = std::make_shared<int>(0);
        c->OnDropDown = [drops](TObject*) { ++*drops; };
        return Combo{c, [c] { return c->DroppedDown(); }, [c] { return c->ItemIndex(); }, drops};
    };
    Combo combos[] = {of(listed(Place<TComboBox>(form, 10), csDropDown)),
                      of(listed(Place<TComboBox>(form, 40), csDropDownList)),
                      of(listed(Place<TsComboBox>(form, 70), csDropDown)),
                      of(listed(Place<TsComboBox>(form, 100), csDropDownList)),
                      of(ex),
                      of(sex),
                      of(colors)};
    for (auto& c : combos) {
        SCOPED_TRACE(c.Control->ClassName());
        c.Control->SetFocus();
        // Alt+Down opens the list, the next Down moves in it and Enter takes the item; the
        // keys are all on their way before the loop runs, so an armed menu bar would take them.
        const int before = c.Index();
        Keys({VK_MENU, VK_DOWN});
        Keys({VK_DOWN});
        Keys({VK_RETURN});
        EXPECT_TRUE(LoopUntil([&] { return *c.Drops == 1 && !c.Dropped() && c.Index() == before + 1; }))
            << *c.Drops << c.Index();
        // F4 opens, Alt+Up closes, Alt+Up opens, F4 closes.
        Keys({VK_F4});
        Keys({VK_MENU, VK_UP});
        Keys({VK_MENU, VK_UP});
        Keys({VK_F4});
        EXPECT_TRUE(LoopUntil([&] { return *c.Drops == 3 && !c.Dropped(); })) << *c.Drops;
        EXPECT_EQ(runs, 0);
    }
    // Alt alone arms the menu bar: Down opens the menu, Enter runs its item; so does Alt+F.
    Keys({VK_MENU});
    Keys({VK_DOWN});
    Keys({VK_RETURN});
    EXPECT_TRUE(LoopUntil([&] { return runs == 1; }));
    Keys({VK_MENU, 'F'});
    Keys({VK_RETURN});
    EXPECT_TRUE(LoopUntil([&] { return runs == 2; }));
    form->Free();
}
