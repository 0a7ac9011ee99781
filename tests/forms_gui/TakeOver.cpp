// What a component that takes over a form's window procedure relies on: the form is whole when
// its owned components go, the form's own messages (the main menu's included) pass through the
// take-over, and the canvases of the form and its controls draw outside WM_PAINT.
#include "ExtCtrls.h"
#include "FormTest.h"
#include "Menus.h"

#include <algorithm>
#include <vector>

using namespace testkit;

namespace {

// What a take-over saw of its form when it went.
struct TTakeOverReport {
    AnsiString formClass;
    bool stillInstalled = false;
    std::vector<UINT> seen;
};

// Takes over its owner form's WindowProc when made and gives it back in its destructor.
class TTakeOver : public TComponent {
    VCL_CLASS(TTakeOver, TComponent)
public:
    TTakeOver(TCustomForm* AForm, TTakeOverReport& AReport) : TComponent(AForm), form(AForm), report(AReport)
    {
        saved = form->WindowProc;
        form->WindowProc = TWndMethod(this, &TTakeOver::Proc);
    }
    ~TTakeOver() override
    {
        report.formClass = form->ClassName();
        report.stillInstalled = form->WindowProc == TWndMethod(this, &TTakeOver::Proc);
        form->WindowProc = saved;
    }
    void Proc(TMessage& Message)
    {
        report.seen.push_back(Message.Msg);
        saved(Message);
    }
    TCustomForm* form;
    TTakeOverReport& report;
    TWndMethod saved;
};

class TWholeForm : public TForm {
    VCL_CLASS(TWholeForm, TForm)
public:
    using TForm::TForm;
};

bool Saw(const TTakeOverReport& r, UINT msg) { return std::find(r.seen.begin(), r.seen.end(), msg) != r.seen.end(); }

COLORREF ScreenPixel(HWND wnd, int x, int y)
{
    HDC dc = GetDC(wnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

class TakeOverTest : public FormTest {};

} // namespace

TEST_F(TakeOverTest, OwnedTakeOverGivesTheProcedureBackToAWholeForm)
{
    auto* form = MakeForm<TWholeForm>();
    TTakeOverReport report;
    Create<TTakeOver>(form, report);
    form->Show();
    form->Free();
    // The form's window went first (its last messages passed the take-over), then the owned
    // component, while the form was still a TWholeForm with its WindowProc.
    EXPECT_TRUE(Saw(report, WM_NCDESTROY));
    EXPECT_EQ(report.formClass, "TWholeForm");
    EXPECT_TRUE(report.stillInstalled);
}

TEST_F(TakeOverTest, MainMenuMessagesPassATakeOverMadeBeforeTheWindow)
{
    TForm* form = MakeForm();
    TMainMenu* menu = Create<TMainMenu>(form);
    auto* file = Create<TMenuItem>(form);
    file->SetCaption("Файл");
    menu->Items()->Add(file);
    auto* open = Create<TMenuItem>(form);
    open->SetCaption("Открыть");
    file->Add(open);
    int clicks = 0;
    open->OnClick = [&](TObject*) { ++clicks; };
    form->SetMenu(menu);
    TTakeOverReport report;
    auto* takeOver = Create<TTakeOver>(form, report); // the window does not exist yet
    form->Show();
    EXPECT_TRUE(form->WindowProc == TWndMethod(takeOver, &TTakeOver::Proc)) << "the form's procedure is the take-over's";

    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = open->Command();
    EXPECT_EQ(SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_TRUE(Saw(report, WM_MEASUREITEM));
    EXPECT_GT(mis.itemWidth, 0u) << "the item was measured behind the take-over";

    takeOver->Free();
    EXPECT_TRUE(form->WindowProc == TWndMethod(form, &TControl::WndProc));
    SendMessageA(form->Handle(), WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(clicks, 1) << "menu commands still work once the procedure is given back";
}

TEST_F(TakeOverTest, CanvasesDrawOutsidePaintAndFollowAMovedControl)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    auto* box = Create<TGraphicControl>(form);
    box->SetBounds(10, 10, 40, 40);
    box->SetParent(form);
    form->Show();
    PumpPending();

    AnsiString error;
    auto draw = [&](TColor color) {
        try {
            box->Canvas()->Brush()->SetColor(color);
            box->Canvas()->FillRect(RECT{0, 0, 40, 40});
        } catch (Exception& e) {
            error = e.Message;
        }
    };
    // From a timer (as a fading control does): once, then after a paint has borrowed the
    // canvas, again.
    int ticks = 0;
    auto* timer = Create<TTimer>(form);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) {
        if (++ticks == 1) {
            draw(clRed);
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        } else if (ticks == 2) {
            draw(clBlue);
            timer->SetEnabled(false);
        }
    };
    ASSERT_TRUE(WaitFor([&] { return ticks >= 2; }, "two ticks"));
    EXPECT_EQ(error, "");
    EXPECT_EQ(ScreenPixel(form->Handle(), 30, 30), ColorToRGB(clBlue));

    // The form's own canvas outside OnPaint.
    form->Canvas()->Brush()->SetColor(clLime);
    form->Canvas()->FillRect(RECT{200, 100, 220, 120});
    EXPECT_EQ(ScreenPixel(form->Handle(), 210, 110), ColorToRGB(clLime));

    // A moved control draws at its new place once the application has been idle.
    box->SetLeft(100);
    PumpPending();
    bool idled = false;
    Application->OnIdle = [&](TObject*, bool& done) {
        idled = true;
        done = false; // no waiting for a message
    };
    for (int i = 0; i < 100 && !idled; ++i)
        Application->HandleMessage();
    Application->OnIdle = nullptr;
    ASSERT_TRUE(idled);
    draw(clYellow);
    EXPECT_EQ(ScreenPixel(form->Handle(), 120, 30), ColorToRGB(clYellow));
    EXPECT_NE(ScreenPixel(form->Handle(), 30, 30), ColorToRGB(clYellow));
}
