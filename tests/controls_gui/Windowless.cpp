#include <gtest/gtest.h>

#include <functional>

#include "Support.h"
#include "TestKit.h"

namespace {

POINT ScreenOf(TWinControl* c, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(c->Handle(), &p);
    return p;
}

// Moves the real cursor to a point over a window of this thread and handles messages until the
// system's own move message for it has come (for at most the kit's patience), so that no earlier move of the
// display comes after what the test does next.
void WarpTo(POINT p)
{
    SetCursorPos(p.x, p.y);
    for (const DWORD start = GetTickCount(); GetTickCount() - start < testkit::kPatienceMs;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const bool arrived = msg.message == WM_MOUSEMOVE && msg.pt.x == p.x && msg.pt.y == p.y;
            if (!IsKeyMsg(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (arrived)
                return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Moves the real cursor and sends the matching mouse message, as the system would.
void MoveTo(TWinControl* host, int x, int y)
{
    WarpTo(ScreenOf(host, x, y));
    SendMessageA(host->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    Pump();
}

// Moves there until the control under the cursor is Expected: a move the system made before
// (the zero move that ends a capture, a warp the display reports late) may still come after the
// one sent here and put the cursor back where it was.
void SettleAt(TWinControl* host, int x, int y, TControl* Expected)
{
    for (int i = 0; i < 5; ++i) {
        MoveTo(host, x, y);
        if (MouseControl() == Expected)
            return;
    }
}

// Handles messages as they come until Done holds, for at most Ms: the display reports what the
// real cursor crossed when it gets to it, later on a busy machine.
void PumpUntil(const std::function<bool()>& Done, DWORD Ms = testkit::kPatienceMs)
{
    for (const DWORD start = GetTickCount(); !Done() && GetTickCount() - start < Ms;) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// A log that starts with an enter, then a leave, an enter... and is not empty.
::testing::AssertionResult EntersAndLeavesAlternate(const std::vector<std::string>& Log)
{
    if (Log.empty())
        return ::testing::AssertionFailure() << "no enter";
    for (size_t i = 0; i < Log.size(); ++i)
        if (Log[i] != (i % 2 ? "leave" : "enter"))
            return ::testing::AssertionFailure() << "word " << i << ": " << Log[i];
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Windowless, ClicksEnterAndLeaveComeFromTheParent)
{
    auto* host = Create<THost>(nullptr);
    auto* box = Create<TBox>(host);
    box->SetParent(host);
    box->SetBounds(10, 10, 60, 40);
    host->Show();
    UpdateWindow(host->Handle());
    std::vector<std::string> events;
    box->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    box->OnClick = [&](TObject*) { events.push_back("click"); };
    box->OnDblClick = [&](TObject*) { events.push_back("dblclick"); };

    MoveTo(host, 20, 20);
    EXPECT_EQ(box->log, (std::vector<std::string>{"enter"}));
    EXPECT_EQ(MouseControl(), box);

    HWND h = host->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(GetCapture(), h) << "the parent's window holds the capture for the windowless child";
    EXPECT_EQ(GetCaptureControl(), box);
    // Released outside the control: still delivered to it (captured), but no click.
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 10,10", "up 190,140"}));
    EXPECT_EQ(GetCapture(), nullptr);
    events.clear();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 12));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(15, 12));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 5,2", "click", "up 5,2", "dblclick", "down 0 5,2", "up 5,2"}));

    // Without the double-click style a double click is a second press.
    box->SetControlStyle(box->ControlStyle() - TControlStyle{csDoubleClicks});
    events.clear();
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(15, 12));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(15, 12));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 5,2", "click", "up 5,2"}));

    // The real cursor still rests in the box: the system's move after the capture ends may come
    // first. Enters and leaves alternate, and the last word is a leave.
    SettleAt(host, 200, 150, host);
    EXPECT_TRUE(EntersAndLeavesAlternate(box->log));
    EXPECT_EQ(box->log.back(), "leave");
    EXPECT_EQ(MouseControl(), host);

    // Leaving the window altogether (the cursor goes off it; the system reports the leave).
    box->log.clear();
    SettleAt(host, 20, 20, box);
    RECT wr;
    GetWindowRect(h, &wr);
    SetCursorPos(wr.right + 40, wr.bottom + 40);
    PumpUntil([&] { return MouseControl() == nullptr; });
    // The display may still report the earlier cursor warp: enters and leaves alternate, and
    // the last word is a leave.
    EXPECT_TRUE(EntersAndLeavesAlternate(box->log));
    EXPECT_EQ(box->log.back(), "leave");
    EXPECT_EQ(MouseControl(), nullptr);
    host->Free();
}

TEST(Windowless, PaintedByTheParentInZOrder)
{
    auto* host = Create<THost>(nullptr);
    host->SetColor(clWhite);
    auto* below = Create<TBox>(host);
    below->SetParent(host);
    below->SetBounds(10, 10, 50, 50);
    below->paintColor = clRed;
    auto* above = Create<TBox>(host);
    above->SetParent(host);
    above->SetBounds(30, 30, 50, 50);
    above->paintColor = clBlue;
    host->Show();
    HWND h = host->Handle();

    // WM_PRINTCLIENT into a memory bitmap.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 120, 120);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
    SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mem, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 40, 40), RGB(0, 0, 255)) << "the later control is above";
    // WM_PAINT carrying a DC, after z-order changes.
    above->SendToBack();
    SendMessageA(h, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_EQ(GetPixel(mem, 40, 40), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);

    // An opaque control's Repaint paints at once, without waiting for WM_PAINT.
    above->SetControlStyle(above->ControlStyle() + TControlStyle{csOpaque});
    Pump();
    int before = above->paints;
    above->Repaint();
    EXPECT_EQ(above->paints, before + 1);
    host->Free();
}

// While a deferral lives a repaint only leaves the control to be painted; the end of the last
// deferral paints each waiting window once, without a message pumped.
TEST(Windowless, RepaintsDeferredArePaintedOnceWhenTheLastDeferralEnds)
{
    auto* host = Create<THost>(nullptr);
    auto* box = Create<TBox>(host);
    box->SetParent(host);
    box->SetControlStyle(box->ControlStyle() + TControlStyle{csOpaque});
    host->Show();
    Pump();
    const int before = box->paints;
    {
        TPaintDeferral outer;
        {
            TPaintDeferral inner;
            box->Repaint();
            host->Repaint();
        }
        box->Repaint();
        EXPECT_EQ(box->paints, before);
    }
    EXPECT_EQ(box->paints, before + 1);
    host->Free();
}

TEST(Windowless, MouseOverANativeChildStaysWithItsControl)
{
    auto* host = Create<THost>(nullptr);
    auto* panel = Create<TCustomControl>(host);
    panel->SetParent(host);
    panel->SetBounds(10, 10, 200, 100);
    std::vector<std::string> log;
    host->Show();
    // A window inside the panel that is not a framework control (as a combo box's edit).
    HWND raw = CreateWindowExA(0, "BUTTON", "raw", WS_CHILD | WS_VISIBLE, 20, 20, 80, 30, panel->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(raw, nullptr);
    UpdateWindow(host->Handle());
    struct TWatch : TComponent {
        using TComponent::TComponent;
        void Hook(TWinControl* c, std::vector<std::string>* l)
        {
            control = c;
            out = l;
            saved = c->WindowProc;
            c->WindowProc = TWndMethod(this, &TWatch::Proc);
        }
        void Proc(TMessage& m)
        {
            if (m.Msg == CM_MOUSEENTER)
                out->push_back("enter");
            if (m.Msg == CM_MOUSELEAVE)
                out->push_back("leave");
            saved(m);
        }
        TWinControl* control = nullptr;
        std::vector<std::string>* out = nullptr;
        TWndMethod saved;
    } watch(nullptr);
    watch.Hook(panel, &log);
    MoveTo(panel, 5, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"enter"}));
    // Into the native child: the panel keeps the mouse.
    POINT inRaw{30, 10};
    ClientToScreen(raw, &inRaw);
    WarpTo(inRaw);
    SendMessageA(panel->Handle(), WM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"enter"}));
    EXPECT_EQ(MouseControl(), panel);
    // Out of the native child onto the host: seen although the child reports nothing to us.
    POINT onHost{300, 250};
    ClientToScreen(host->Handle(), &onHost);
    WarpTo(onHost);
    PumpUntil([&] { return MouseControl() != panel; });
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(MouseControl(), host);
    panel->WindowProc = watch.saved;
    host->Free();
}

TEST(Windowless, LeavingThroughTheNonClientArea)
{
    auto* host = Create<THost>(nullptr);
    auto* box = Create<TBox>(host);
    box->SetParent(host);
    box->SetBounds(0, 0, 60, 40);
    host->Show();
    SetForegroundWindow(host->Handle());
    UpdateWindow(host->Handle());
    // Only the real cursor moves here: the system reports what it crosses. On a busy display a
    // move may be reported before the new window has settled where it shows: the cursor goes
    // between two points of the same place until the move that counts has come.
    const auto reach = [&](POINT p, TControl* over) {
        const ULONGLONG until = GetTickCount64() + testkit::kPatienceMs;
        for (int i = 0; MouseControl() != over && GetTickCount64() < until; ++i) {
            SetCursorPos(p.x + i % 2 * 2, p.y + i % 2 * 2);
            PumpUntil([&] { return MouseControl() == over; }, 500);
        }
    };
    POINT inBox{10, 10};
    ClientToScreen(host->Handle(), &inBox);
    reach(inBox, box);
    ASSERT_EQ(MouseControl(), box);
    RECT wr;
    GetWindowRect(host->Handle(), &wr);
    reach(POINT{wr.left + 30, wr.top + 5}, host); // the caption of the host
    EXPECT_EQ(MouseControl(), host) << "on the frame the mouse is over the host";
    EXPECT_EQ(box->log.back(), "leave");
    reach(POINT{wr.right + 50, wr.bottom + 50}, nullptr);
    EXPECT_EQ(MouseControl(), nullptr) << "leaving the frame is seen too";
    host->Free();
}

namespace {
class TSolid : public TCustomControl {
    VCL_CLASS(TSolid, TCustomControl)
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clLime);
        RECT r = ClientRect();
        Canvas()->FillRect(r);
    }
};
} // namespace

TEST(Windowless, CustomControlPrintsItsPaint)
{
    auto* host = Create<THost>(nullptr);
    auto* solid = Create<TSolid>(host);
    solid->SetParent(host);
    solid->SetBounds(10, 10, 40, 40);
    auto* box = Create<TBox>(host);
    box->SetParent(solid); // a windowless child on the custom control
    box->SetBounds(20, 20, 10, 10);
    host->Show();
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(solid->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(GetPixel(mem, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(mem, 25, 25), RGB(255, 0, 0)) << "its windowless child is printed over it";
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    host->Free();
}
