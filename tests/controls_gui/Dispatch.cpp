#include <gtest/gtest.h>

#include "Support.h"

namespace {

// An exception reaching a window procedure fails the test instead of opening an error box.
class TNoErrorBoxes : public ::testing::Environment {
public:
    void SetUp() override
    {
        HandleExceptionHook = [](TObject*) {
            try {
                throw;
            } catch (std::exception& e) {
                ADD_FAILURE() << "exception in a window procedure: " << e.what();
            } catch (...) {
                ADD_FAILURE() << "unknown exception in a window procedure";
            }
        };
    }
};
[[maybe_unused]] ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TNoErrorBoxes);

// Takes over a control's window procedure as the skin library does and gives it back.
class TTakeOver : public TComponent {
    VCL_CLASS(TTakeOver, TComponent)
public:
    TTakeOver(TComponent* AOwner, TControl* target) : TComponent(AOwner), control(target)
    {
        saved = control->WindowProc;
        control->WindowProc = TWndMethod(this, &TTakeOver::NewWndProc);
    }
    ~TTakeOver() override { control->WindowProc = saved; }
    void NewWndProc(TMessage& Message)
    {
        seen.push_back(Message.Msg);
        if (Message.Msg == query && Message.WParamHi == 7) {
            Message.LParam = 1; // yes/no answers travel in LParam
            return;
        }
        saved(Message);
    }
    TControl* control;
    TWndMethod saved;
    std::vector<UINT> seen;
    static constexpr UINT query = 0xC0F0;
};

} // namespace

TEST(Dispatch, WindowProcIsTakenOverAndGivenBack)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(host);
    TWndMethod original = edit->WindowProc;
    EXPECT_TRUE(original == TWndMethod(edit, &TControl::WndProc));
    {
        auto* over = Create<TTakeOver>(nullptr, edit);
        EXPECT_FALSE(edit->WindowProc == original);
        EXPECT_TRUE(over->saved == original);
        EXPECT_TRUE(edit->WindowProc == TWndMethod(over, &TTakeOver::NewWndProc));
        // Messages through Windows reach the new procedure, which passes them on.
        SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
        EXPECT_EQ(edit->Text(), "abc");
        EXPECT_NE(std::find(over->seen.begin(), over->seen.end(), UINT(WM_SETTEXT)), over->seen.end());
        // A yes/no query answered in LParam of the caller's record.
        TMessage m = MakeMessage(TTakeOver::query, MAKEWPARAM(0, 7), 0);
        edit->WindowProc(m);
        EXPECT_EQ(m.LParam, 1);
        EXPECT_EQ(m.Result, 0);
        over->Free();
    }
    EXPECT_TRUE(edit->WindowProc == original);
    TMessage m = MakeMessage(TTakeOver::query, MAKEWPARAM(0, 7), 0);
    edit->WindowProc(m);
    EXPECT_EQ(m.LParam, 0) << "the old procedure does not answer";
    host->Free();
}

TEST(Dispatch, ReflectedNotificationsReachTheChild)
{
    auto* host = Create<THost>(nullptr);
    auto* button = Create<TNative>(host, "BUTTON", BS_PUSHBUTTON);
    button->SetParent(host);
    host->Show();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_NE(std::find(button->seen.begin(), button->seen.end(), CN_COMMAND), button->seen.end());
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(host);
    edit->SetColor(clRed);
    HDC dc = GetDC(edit->Handle());
    LRESULT brush = SendMessageA(host->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), edit->Brush()->Handle());
    EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
    ReleaseDC(edit->Handle(), dc);
    host->Free();
}

TEST(Dispatch, ExceptionInClickHandlerReachesTheHook)
{
    static std::string reported;
    static TObject* sender = nullptr;
    auto oldHook = HandleExceptionHook;
    HandleExceptionHook = [](TObject* Sender) {
        sender = Sender;
        try {
            throw;
        } catch (Exception& e) {
            reported = e.Message;
        }
    };
    auto* host = Create<THost>(nullptr);
    auto* box = Create<TBox>(host);
    box->SetParent(host);
    host->Show();
    int clicks = 0;
    box->OnClick = [&](TObject*) {
        ++clicks;
        throw EConvertError("плохое число");
    };
    HWND h = host->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(reported, "плохое число");
    EXPECT_EQ(sender, host) << "the window whose procedure caught it";
    // Still alive and answering.
    box->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 2);
    HandleExceptionHook = oldHook;
    host->Free();
}

TEST(Dispatch, RecreateWndKeepsState)
{
    auto* host = Create<THost>(nullptr);
    auto* panel = Create<TNative>(host, "STATIC");
    panel->SetControlStyle(panel->ControlStyle() + TControlStyle{csAcceptsControls});
    panel->SetParent(host);
    panel->SetBounds(20, 30, 200, 100);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(panel);
    edit->SetBounds(5, 6, 90, 22);
    host->Show();
    edit->SetText("сохранить");
    panel->SetText("панель");
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());
    HWND oldPanel = panel->Handle(), oldEdit = edit->Handle();
    panel->RecreateWnd();
    EXPECT_FALSE(IsWindow(oldPanel));
    EXPECT_FALSE(IsWindow(oldEdit));
    EXPECT_TRUE(panel->HandleAllocated());
    EXPECT_EQ(panel->Text(), "панель");
    EXPECT_EQ(panel->BoundsRect(), Rect(20, 30, 220, 130));
    ASSERT_TRUE(edit->HandleAllocated()) << "a showing child comes back with its parent";
    EXPECT_EQ(GetParent(edit->Handle()), panel->Handle());
    EXPECT_TRUE(IsWindowVisible(edit->Handle()));
    EXPECT_EQ(edit->Text(), "сохранить");
    EXPECT_EQ(edit->BoundsRect(), Rect(5, 6, 95, 28));
    EXPECT_TRUE(edit->Focused()) << "the focus stays with the control inside";
    // The focused control itself re-created keeps the focus.
    edit->RecreateWnd();
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(FindControl(edit->Handle()), edit);
    host->Free();
}

TEST(Dispatch, TextWithoutWindowAndThroughTheWindow)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetText("до окна");
    EXPECT_FALSE(edit->HandleAllocated());
    edit->SetParent(host);
    HWND h = edit->Handle();
    char buf[64] = {};
    GetWindowTextA(h, buf, sizeof buf);
    EXPECT_STREQ(buf, "до окна");
    SetWindowTextA(h, "из окна");
    EXPECT_EQ(edit->Text(), "из окна");
    host->Free();
}

TEST(Dispatch, FreeingOneChildLeavesTheParentWhole)
{
    auto* host = Create<THost>(nullptr);
    auto* a = Create<TNative>(host, "EDIT");
    auto* b = Create<TNative>(host, "EDIT");
    auto* box = Create<TBox>(host);
    for (TControl* c : {static_cast<TControl*>(a), static_cast<TControl*>(b), static_cast<TControl*>(box)})
        c->SetParent(host);
    // Windowless children come first in the parent's list, then the windowed ones.
    EXPECT_EQ(host->Controls(0), box);
    EXPECT_EQ(host->Controls(2), b);
    host->Show();
    b->SetFocus();
    HWND bWnd = b->Handle();
    b->Free();
    EXPECT_FALSE(IsWindow(bWnd));
    EXPECT_EQ(host->ControlCount(), 2);
    EXPECT_EQ(host->ComponentCount(), 2);
    delete a; // plain delete takes the same way out
    EXPECT_EQ(host->ControlCount(), 1);
    EXPECT_EQ(host->Controls(0), box);
    host->SelectNext(nullptr, true, true); // walks the tab list: nothing freed is left in it
    host->Realign();
    host->Free();
}

TEST(Dispatch, SuperclassesKeepTheirSystemClass)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    auto* button = Create<TNative>(host, "BUTTON", BS_PUSHBUTTON);
    edit->SetParent(host);
    button->SetParent(host);
    char name[64];
    GetClassNameA(edit->Handle(), name, sizeof name);
    EXPECT_EQ(std::string(name).rfind("Vellorn.", 0), 0u) << name;
    // The same framework class on another system class still behaves as that one.
    EXPECT_NE(SendMessageA(edit->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL, 0);
    EXPECT_NE(SendMessageA(button->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON, 0);
    host->Free();
}
