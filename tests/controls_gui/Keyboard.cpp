#include <gtest/gtest.h>

#include "Support.h"

namespace {

// Answers CM_DIALOGKEY for Enter, as a default button does.
class TDefaultButton : public TGraphicControl {
    VCL_CLASS(TDefaultButton, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;
    int presses = 0;
    int accels = 0;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGCHAR && (Message.WParam == 'o' || Message.WParam == 'O')) {
            ++accels;
            Message.Result = 1;
            return;
        }
        if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_RETURN) {
            ++presses;
            Message.Result = 1;
            return;
        }
        inherited::Dispatch(Message);
    }
};

void PostKey(HWND h, WPARAM vk)
{
    PostMessageA(h, WM_KEYDOWN, vk, 1);
    PostMessageA(h, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

} // namespace

TEST(Keyboard, EnterReachesAnEditAsCharacter13)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(host);
    host->Show();
    SetForegroundWindow(host->Handle());
    edit->SetFocus();
    std::vector<int> keys;
    std::vector<Word> downs;
    edit->OnKeyDown = [&](TObject*, Word& key, TShiftState) { downs.push_back(key); };
    edit->OnKeyPress = [&](TObject* sender, char& key) {
        EXPECT_EQ(sender, edit);
        keys.push_back(static_cast<unsigned char>(key));
        if (key == 'a')
            key = 'b'; // the handler may change the character
        if (key == 'x')
            key = 0; // or swallow it
    };
    PostKey(edit->Handle(), VK_RETURN);
    Pump();
    EXPECT_EQ(keys, (std::vector<int>{13}));
    EXPECT_EQ(downs, (std::vector<Word>{VK_RETURN}));
    PostMessageA(edit->Handle(), WM_CHAR, 'a', 1);
    PostMessageA(edit->Handle(), WM_CHAR, 'x', 1);
    Pump();
    EXPECT_EQ(edit->Text(), "b");

    // A control that claims Enter as a dialog key takes it first.
    auto* button = Create<TDefaultButton>(host);
    button->SetParent(host);
    keys.clear();
    PostKey(edit->Handle(), VK_RETURN);
    Pump();
    EXPECT_EQ(button->presses, 1);
    EXPECT_TRUE(keys.empty());

    // Alt+Enter is no dialog key; Alt+letter reaches the accelerators while the edit has the focus.
    PostMessageA(edit->Handle(), WM_SYSKEYDOWN, VK_RETURN, 0x20000001);
    Pump();
    EXPECT_EQ(button->presses, 1);
    PostMessageA(edit->Handle(), WM_SYSCHAR, 'o', 0x20000001);
    Pump();
    EXPECT_EQ(button->accels, 1);
    PostMessageA(edit->Handle(), WM_CHAR, 'o', 1);
    Pump();
    EXPECT_EQ(button->accels, 1) << "an edit wants its characters";
    host->Free();
}

TEST(Keyboard, TabMovesTheFocusInTabOrder)
{
    auto* host = Create<THost>(nullptr);
    auto* a = Create<TNative>(host, "EDIT");
    auto* b = Create<TNative>(host, "EDIT");
    auto* c = Create<TNative>(host, "EDIT");
    for (auto* e : {a, b, c})
        e->SetParent(host);
    c->SetTabOrder(0); // c, a, b
    b->SetTabStop(false);
    host->Show();
    SetForegroundWindow(host->Handle());
    c->SetFocus();
    PostKey(c->Handle(), VK_TAB);
    Pump();
    EXPECT_TRUE(a->Focused());
    PostKey(a->Handle(), VK_TAB);
    Pump();
    EXPECT_TRUE(c->Focused()) << "b has no tab stop; the order wraps";
    PostMessageA(c->Handle(), WM_KEYDOWN, VK_SHIFT, 1);
    Pump();
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    PostKey(c->Handle(), VK_TAB);
    Pump();
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
    EXPECT_TRUE(a->Focused()) << "Shift+Tab goes back";
    host->Free();
}
