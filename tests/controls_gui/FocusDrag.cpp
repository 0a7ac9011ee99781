#include <gtest/gtest.h>

#include "Menus.h"
#include "Support.h"

namespace {

std::vector<std::string> g_focusLog;

class TTracked : public TNative {
    VCL_CLASS(TTracked, TNative)
public:
    TTracked(TComponent* AOwner, const char* cls, const char* tag) : TNative(AOwner, cls), id(tag) {}
    std::string id;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_ENTER)
            g_focusLog.push_back("enter " + id);
        if (Message.Msg == CM_EXIT)
            g_focusLog.push_back("exit " + id);
        if (Message.Msg == CM_FOCUSCHANGED) {
            auto* to = dynamic_cast<TTracked*>(reinterpret_cast<TControl*>(Message.LParam));
            g_focusLog.push_back("changed@" + id + " " + (to ? to->id : "form"));
        }
        inherited::Dispatch(Message);
    }
};

} // namespace

TEST(Focus, EnterAndExitFollowTheParentChain)
{
    auto* host = Create<THost>(nullptr);
    auto* panel = Create<TTracked>(host, "STATIC", "panel");
    panel->SetControlStyle(panel->ControlStyle() + TControlStyle{csAcceptsControls});
    panel->SetParent(host);
    panel->SetBounds(10, 10, 200, 100);
    auto* inner = Create<TTracked>(host, "EDIT", "inner");
    inner->SetParent(panel);
    auto* outer = Create<TTracked>(host, "EDIT", "outer");
    outer->SetParent(host);
    outer->SetBounds(10, 150, 100, 24);
    host->Show();
    SetForegroundWindow(host->Handle());
    outer->SetFocus();
    g_focusLog.clear();
    inner->SetFocus();
    EXPECT_EQ(g_focusLog, (std::vector<std::string>{"exit outer", "enter panel", "enter inner", "changed@panel inner",
                                                    "changed@inner inner", "changed@outer inner"}));
    g_focusLog.clear();
    outer->SetFocus();
    EXPECT_EQ(g_focusLog[0], "exit inner");
    EXPECT_EQ(g_focusLog[1], "exit panel");
    EXPECT_EQ(g_focusLog[2], "enter outer");
    // The form's own window taking the focus in between (as on activation) moves nothing.
    g_focusLog.clear();
    ::SetFocus(host->Handle());
    outer->SetFocus();
    EXPECT_TRUE(g_focusLog.empty());
    // A focused control that is hidden hands the focus on.
    inner->SetFocus();
    inner->Hide();
    EXPECT_FALSE(inner->Focused());
    EXPECT_TRUE(outer->Focused());
    // So does one that goes.
    inner->Show();
    inner->SetFocus();
    inner->Free();
    EXPECT_TRUE(outer->Focused());
    host->Free();
}

TEST(DragDrop, ManualDragDropsOnAnAcceptingTarget)
{
    auto* host = Create<THost>(nullptr);
    auto* source = Create<TBox>(host);
    source->SetParent(host);
    source->SetBounds(10, 10, 40, 40);
    auto* target = Create<TBox>(host);
    target->SetParent(host);
    target->SetBounds(200, 100, 60, 60);
    host->Show();
    SetForegroundWindow(host->Handle());
    UpdateWindow(host->Handle());
    std::vector<std::string> log;
    target->OnDragOver = [&](TObject* sender, TObject* src, int x, int y, TDragState state, bool& accept) {
        EXPECT_EQ(sender, target);
        EXPECT_EQ(src, source);
        log.push_back("over " + std::to_string(state) + " " + std::to_string(x) + "," + std::to_string(y));
        accept = true;
    };
    target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        EXPECT_EQ(src, source);
        log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    };
    source->OnEndDrag = [&](TObject*, TObject* t, int x, int y) {
        log.push_back(std::string("end ") + (t == target ? "target " : "none ") + std::to_string(x) + "," +
                      std::to_string(y));
    };
    POINT p{20, 20};
    ClientToScreen(host->Handle(), &p);
    SetCursorPos(p.x, p.y);
    source->BeginDrag(false, 5);
    ASSERT_TRUE(Dragging());
    HWND capture = GetCapture();
    ASSERT_NE(capture, nullptr);
    POINT over{210, 120};
    ClientToScreen(host->Handle(), &over);
    SendMessageA(capture, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    SendMessageA(capture, WM_MOUSEMOVE, 0, MAKELPARAM(over.x + 1, over.y));
    // Released a little further on with no move reported there: the drop is where the button went up.
    SendMessageA(capture, WM_LBUTTONUP, 0, MAKELPARAM(over.x + 3, over.y));
    EXPECT_FALSE(Dragging());
    EXPECT_EQ(log, (std::vector<std::string>{"over 0 10,20", "over 2 10,20", "over 2 11,20", "over 2 13,20",
                                             "over 2 13,20", "drop 13,20", "end target 13,20"}));

    // Escape cancels a drag: nothing is dropped (through the loop's key step, or sent straight
    // to the focused control's window).
    log.clear();
    source->BeginDrag(true);
    MSG esc{};
    esc.hwnd = host->Handle();
    esc.message = WM_KEYDOWN;
    esc.wParam = VK_ESCAPE;
    EXPECT_TRUE(IsKeyMsg(esc));
    EXPECT_FALSE(Dragging());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().substr(0, 8), "end none");
    log.clear();
    source->BeginDrag(true);
    SendMessageA(host->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(Dragging());
    EXPECT_EQ(log.back().substr(0, 8), "end none");
    host->Free();
}

TEST(ContextPopup, HandlerFirstThenTheCurrentMenu)
{
    static TPopupMenu* shown = nullptr;
    static TControl* shownFor = nullptr;
    auto* host = Create<THost>(nullptr);
    auto* menuA = Create<TPopupMenu>(host);
    auto* menuB = Create<TPopupMenu>(host);
    auto oldHook = PopupMenuHook;
    PopupMenuHook = [](TPopupMenu* menu, TControl* sender, int, int) {
        shown = menu;
        shownFor = sender;
        return true;
    };
    auto* box = Create<TBox>(host);
    box->SetParent(host);
    box->SetBounds(10, 10, 50, 50);
    host->Show();
    box->SetPopupMenu(menuA);
    box->OnContextPopup = [&](TObject*, TPoint pos, bool&) {
        EXPECT_EQ(pos.x, 5);
        box->SetPopupMenu(menuB); // chosen by the handler, read afterwards
    };
    POINT p{15, 15};
    ClientToScreen(host->Handle(), &p);
    SendMessageA(host->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host->Handle()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(shown, menuB);
    EXPECT_EQ(shownFor, box);
    // A handled popup shows no menu.
    shown = nullptr;
    box->OnContextPopup = [](TObject*, TPoint, bool& handled) { handled = true; };
    SendMessageA(host->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host->Handle()), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(shown, nullptr);
    // A freed menu is forgotten by the control that showed it.
    menuB->Free();
    EXPECT_EQ(box->PopupMenu(), nullptr);
    PopupMenuHook = oldHook;
    host->Free();
}

TEST(DragDrop, AutomaticDragStartsPastTheThreshold)
{
    auto* host = Create<THost>(nullptr);
    auto* source = Create<TBox>(host);
    source->SetParent(host);
    source->SetBounds(10, 10, 40, 40);
    source->SetDragMode(dmAutomatic);
    auto* target = Create<TBox>(host);
    target->SetParent(host);
    target->SetBounds(200, 100, 60, 60);
    host->Show();
    SetForegroundWindow(host->Handle());
    int drops = 0, clicks = 0, started = 0;
    TObject* endTarget = reinterpret_cast<TObject*>(1);
    target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
    source->OnClick = [&](TObject*) { ++clicks; };
    source->OnStartDrag = [&](TObject*, TDragObject*&) { ++started; };
    source->OnEndDrag = [&](TObject*, TObject* t, int, int) { endTarget = t; };
    POINT p{20, 20};
    ClientToScreen(host->Handle(), &p);
    SetCursorPos(p.x, p.y);
    // A press and release without moving: a drag that never started, so nothing is dropped.
    SendMessageA(host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(Dragging());
    SendMessageA(GetCapture(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x + 1, p.y + 1));
    SendMessageA(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM(p.x + 1, p.y + 1));
    EXPECT_FALSE(Dragging());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(endTarget, nullptr);
    EXPECT_EQ(clicks, 0) << "the press belongs to the drag";
    // Past the threshold onto the target.
    SendMessageA(host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    POINT over{220, 120};
    ClientToScreen(host->Handle(), &over);
    SendMessageA(GetCapture(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    SendMessageA(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(endTarget, target);
    host->Free();
}
