// Forms: creation, closing and freeing, modal loops with timers, errors in handlers, placement
// and the caption buttons.
#include "ExtCtrls.h"
#include "FormTest.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <memory>

using namespace testkit;

namespace {

using TimerPtr = std::unique_ptr<TTimer, void (*)(TTimer*)>;

TimerPtr MakeTimer(int interval, TNotifyEvent onTimer)
{
    TimerPtr t(Create<TTimer>(nullptr), [](TTimer* p) { p->Free(); });
    t->SetInterval(interval);
    t->OnTimer = std::move(onTimer);
    return t;
}

// A component that notes its Loaded call.
class TProbe : public TComponent {
    VCL_CLASS(TProbe, TComponent)
public:
    using TComponent::TComponent;
    void Loaded() override
    {
        inherited::Loaded();
        loaded = true;
    }
    bool loaded = false;
};

// A form built in code whose creation handler fails half-way.
class TFailingForm : public TForm {
    VCL_CLASS(TFailingForm, TForm)
public:
    explicit TFailingForm(TComponent* AOwner) : TForm(AOwner)
    {
        probe = Create<TProbe>(this);
        probe->SetName("Probe1");
        SetCaption("Failing");
        OnCreate = [this](TObject*) {
            stepsDone = 1;
            throw EFOpenError("Cannot open file FILES\\list");
        };
    }
    TProbe* probe = nullptr;
    int stepsDone = 0;
};

class FormsTest : public FormTest {};

} // namespace

TEST_F(FormsTest, OnCreateErrorIsReportedAndConstructionContinues)
{
    ScriptBoxes();
    Application->SetTitle("Vellorn");
    auto* form = MakeForm<TFailingForm>();
    Application->SetTitle("test_forms_gui");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->stepsDone, 1);
    EXPECT_TRUE(form->probe->loaded) << "the loading pass ran before OnCreate";
    EXPECT_FALSE(form->probe->ComponentState().Contains(csLoading));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot open file FILES\\list.");
    EXPECT_EQ(boxes[0].caption, "Vellorn");
    EXPECT_EQ(boxes[0].flags, UINT(MB_OK | MB_ICONSTOP));
    form->Show(); // the form goes on working
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(FormsTest, CaFreeInsideShowModalFreesOnlyAfterTheLoopUnwound)
{
    TForm* form = MakeForm();
    bool destroyed = false, aliveInClose = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        action = caFree;
        aliveInClose = true;
    };
    auto timer = MakeTimer(10, [&](TObject*) {
        if (form->Visible())
            form->Close();
    });
    const TModalResult r = form->ShowModal();
    EXPECT_EQ(r, mrCancel);
    EXPECT_TRUE(aliveInClose);
    EXPECT_FALSE(destroyed) << "still alive when ShowModal returns";
    EXPECT_TRUE(FormAlive(form));
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(WaitFor([&] { return destroyed; }, "the released form is freed by the outer loop"));
    EXPECT_FALSE(FormAlive(form));
}

TEST_F(FormsTest, AModalResultRefusedByTheCloseQueryKeepsTheFormModalUntilAllowed)
{
    TForm* form = MakeForm();
    int asked = 0, step = 0;
    bool shownAfterRefusal = false, modalAfterRefusal = false;
    TModalResult resultAfterRefusal = mrOk;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked >= 2; };
    auto timer = MakeTimer(10, [&](TObject*) {
        if (!form->Visible())
            return;
        if (step == 0) {
            form->SetModalResult(mrOk);
            step = 1;
        } else if (step == 1) {
            shownAfterRefusal = IsWindowVisible(form->Handle()) != FALSE;
            modalAfterRefusal = form->FormState().Contains(fsModal) && Application->ModalLevel() == 1;
            resultAfterRefusal = form->ModalResult();
            form->SetModalResult(mrYes);
            step = 2;
        }
    });
    EXPECT_EQ(form->ShowModal(), mrYes);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(shownAfterRefusal);
    EXPECT_TRUE(modalAfterRefusal);
    EXPECT_EQ(resultAfterRefusal, mrNone) << "a refused result is taken back";
    EXPECT_FALSE(form->Visible());
}

TEST_F(FormsTest, TimersKeepFiringInsideNestedModalForms)
{
    TForm* outer = MakeForm();
    TForm* inner = MakeForm();
    int ticks = 0;
    bool outerDisabledDuringInner = false;
    TModalResult innerResult = mrNone;
    bool innerStarted = false;
    auto ticker = MakeTimer(10, [&](TObject*) { ++ticks; });
    auto opener = MakeTimer(20, [&](TObject* sender) {
        static_cast<TTimer*>(sender)->SetEnabled(false);
        innerStarted = true;
        innerResult = inner->ShowModal(); // a modal loop inside the outer one
        outer->SetModalResult(mrOk);
    });
    auto closer = MakeTimer(15, [&](TObject*) {
        if (inner->Visible() && ticks >= 5) {
            outerDisabledDuringInner = !IsWindowEnabled(outer->Handle());
            inner->SetModalResult(mrYes);
        }
    });
    EXPECT_EQ(outer->ShowModal(), mrOk);
    EXPECT_TRUE(innerStarted);
    EXPECT_EQ(innerResult, mrYes);
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(outerDisabledDuringInner) << "the outer modal form is disabled under the inner one";
    EXPECT_FALSE(inner->Visible());
    EXPECT_FALSE(outer->Visible());
    EXPECT_EQ(Application->ModalLevel(), 0);
}

TEST_F(FormsTest, ShowModalDisablesOtherFormsAndGivesThemBack)
{
    TForm* other = MakeForm();
    other->Show();
    TForm* dialog = MakeForm();
    bool otherDisabled = false;
    auto timer = MakeTimer(10, [&](TObject*) {
        if (dialog->Visible()) {
            otherDisabled = !IsWindowEnabled(other->Handle());
            dialog->SetModalResult(mrOk);
        }
    });
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { other->ShowModal(); }), "Cannot make a visible window modal");
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
}

TEST_F(FormsTest, ErrorInAHandlerReachesTheBoxAndTheProgramGoesOn)
{
    ScriptBoxes();
    TForm* form = MakeForm();
    int downs = 0;
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        if (++downs == 1)
            throw EConvertError("'abc' is not a valid integer value");
    };
    form->Show();
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "'abc' is not a valid integer value.");
    EXPECT_EQ(boxes[0].flags & MB_ICONSTOP, UINT(MB_ICONSTOP));
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(downs, 2) << "the form still handles its messages";
    EXPECT_EQ(boxes.size(), 1u);
    form->Free();
}

TEST_F(FormsTest, CloseActionsAndCloseQuery)
{
    TForm* form = MakeForm();
    form->Show();
    bool allow = false;
    TCloseAction chosen = caHide;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, caHide) << "hiding is the default";
        action = chosen;
    };
    form->Close();
    EXPECT_TRUE(form->Visible()) << "OnCloseQuery refused";
    allow = true;
    chosen = caNone;
    form->Close();
    EXPECT_TRUE(form->Visible());
    chosen = caMinimize;
    form->Close();
    EXPECT_TRUE(IsIconic(form->Handle()));
    EXPECT_EQ(form->WindowState(), wsMinimized);
    form->SetWindowState(wsNormal);
    chosen = caHide;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0); // the caption's close button
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    chosen = caFree;
    form->Show();
    form->Close();
    EXPECT_TRUE(FormAlive(form)) << "freed later, by the queued release";
    EXPECT_TRUE(WaitFor([&] { return !FormAlive(form); }, "released form freed"));
}

TEST_F(FormsTest, OnShowRunsBeforeTheWindowIsVisibleAndMayShowAModalDialog)
{
    TForm* main = MakeForm();
    TForm* splash = MakeForm();
    bool visibleInOnShow = true;
    TModalResult splashResult = mrNone;
    main->OnShow = [&](TObject*) {
        visibleInOnShow = IsWindowVisible(main->Handle()) != FALSE;
        splashResult = splash->ShowModal();
    };
    auto timer = MakeTimer(10, [&](TObject*) {
        if (splash->Visible())
            splash->SetModalResult(mrOk);
    });
    main->Show();
    EXPECT_FALSE(visibleInOnShow);
    EXPECT_EQ(splashResult, mrOk);
    EXPECT_TRUE(IsWindowVisible(main->Handle()));
}

TEST_F(FormsTest, ActivationEvents)
{
    TForm* a = MakeForm();
    TForm* b = MakeForm();
    std::vector<std::string> log;
    a->OnActivate = [&](TObject*) { log.push_back("a+"); };
    a->OnDeactivate = [&](TObject*) { log.push_back("a-"); };
    b->OnActivate = [&](TObject*) { log.push_back("b+"); };
    a->Show();
    SetActiveWindow(a->Handle());
    b->Show();
    SetActiveWindow(b->Handle());
    PumpPending();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "a+");
    EXPECT_EQ(log[1], "a-");
    EXPECT_EQ(log[2], "b+");
    EXPECT_EQ(Screen->ActiveForm(), b);
    b->Free(); // activates a: its handlers still see the log
    a->Free();
}

TEST_F(FormsTest, PositionCentresOnTheDescribedScreenAndOnTheOwnerForm)
{
    Screen->SetMonitorSource([] {
        TMonitorInfo m;
        m.BoundsRect = {0, 0, 1025, 769};
        m.WorkareaRect = m.BoundsRect;
        m.Primary = true;
        return std::vector<TMonitorInfo>{m};
    });
    TForm* centred = MakeForm();
    centred->SetBounds(0, 0, 300, 200);
    centred->SetPosition(poScreenCenter);
    centred->Show();
    EXPECT_EQ(centred->Left(), 362) << "(1025 - 300) / 2, truncated";
    EXPECT_EQ(centred->Top(), 284);
    RECT wr;
    GetWindowRect(centred->Handle(), &wr);
    EXPECT_EQ(wr.left, 362);
    EXPECT_EQ(wr.top, 284);

    TForm* owner = MakeForm();
    owner->SetBounds(101, 100, 401, 300);
    auto* child = Create<TForm>(owner);
    child->SetBounds(0, 0, 200, 100);
    child->SetPosition(poOwnerFormCenter);
    child->Show();
    EXPECT_EQ(child->Left(), 101 + (401 - 200) / 2);
    EXPECT_EQ(child->Top(), 100 + (300 - 100) / 2);

    // A form larger than its owner is kept at the screen's top-left edge, not beyond it.
    owner->SetBounds(0, 0, 100, 100);
    child->Hide();
    child->SetBounds(0, 0, 300, 300);
    child->Show();
    EXPECT_EQ(child->Left(), 0);
    EXPECT_EQ(child->Top(), 0);

    TForm* designed = MakeForm();
    designed->SetBounds(33, 44, 200, 100);
    designed->Show();
    EXPECT_EQ(designed->Left(), 33) << "poDesigned keeps the bounds";
}

TEST_F(FormsTest, BorderIconsChangeTheStyleWithoutRecreatingTheWindow)
{
    TForm* form = MakeForm();
    form->Show();
    const HWND before = form->Handle();
    auto style = [&] { return static_cast<DWORD>(GetWindowLongA(form->Handle(), GWL_STYLE)); };
    auto exStyle = [&] { return static_cast<DWORD>(GetWindowLongA(form->Handle(), GWL_EXSTYLE)); };
    EXPECT_EQ(style() & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), DWORD(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    MessageRecorder rec;
    rec.Watch(form->Handle());
    form->SetBorderIcons({biSystemMenu});
    EXPECT_EQ(form->Handle(), before);
    EXPECT_EQ(style() & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), DWORD(WS_SYSMENU));
    form->SetBorderIcons({});
    EXPECT_EQ(style() & WS_SYSMENU, 0u);
    EXPECT_TRUE(rec.Matches({Expect(WM_STYLECHANGING), Expect(WM_STYLECHANGED), Expect(WM_WINDOWPOSCHANGING),
                             Expect(WM_NCCALCSIZE), Expect(WM_NCPAINT, msgSent | msgOptional),
                             Expect(WM_GETTEXT, msgSent | msgOptional), Expect(WM_ERASEBKGND, msgSent | msgOptional), Expect(WM_WINDOWPOSCHANGED),
                             Expect(WM_MOVE, msgSent | msgOptional), Expect(WM_SIZE, msgSent | msgOptional),
                             Expect(WM_STYLECHANGING), Expect(WM_STYLECHANGED), Expect(WM_WINDOWPOSCHANGING),
                             Expect(WM_NCCALCSIZE), Expect(WM_NCPAINT, msgSent | msgOptional),
                             Expect(WM_GETTEXT, msgSent | msgOptional), Expect(WM_ERASEBKGND, msgSent | msgOptional), Expect(WM_WINDOWPOSCHANGED),
                             Expect(WM_MOVE, msgSent | msgOptional), Expect(WM_SIZE, msgSent | msgOptional)},
                            "restyled in place"));
    rec.Unwatch(form->Handle());

    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons({biSystemMenu, biMinimize, biHelp});
    EXPECT_EQ(form->Handle(), before);
    EXPECT_EQ(style() & (WS_MINIMIZEBOX | WS_THICKFRAME), 0u) << "a dialog frame has no minimise box";
    EXPECT_NE(exStyle() & WS_EX_CONTEXTHELP, 0u);
    EXPECT_NE(exStyle() & WS_EX_DLGMODALFRAME, 0u);
    form->SetFormStyle(fsStayOnTop);
    EXPECT_NE(exStyle() & WS_EX_TOPMOST, 0u);
    EXPECT_EQ(form->Handle(), before);
}

TEST_F(FormsTest, ReleaseFreesLaterAndScreenListsForms)
{
    const int count = Screen->FormCount();
    TForm* form = MakeForm();
    EXPECT_EQ(Screen->FormCount(), count + 1);
    form->HandleNeeded();
    form->Release();
    EXPECT_TRUE(FormAlive(form));
    EXPECT_TRUE(WaitFor([&] { return !FormAlive(form); }, "release"));
    EXPECT_EQ(Screen->FormCount(), count);
}

TEST_F(FormsTest, AutoScrollFollowsTheChildren)
{
    TForm* form = MakeForm();
    form->SetBounds(0, 0, 300, 200);
    form->SetAutoScroll(true);
    auto* child = Create<TWinControl>(form);
    child->SetParent(form);
    child->SetBounds(10, 500, 50, 40);
    child->SetVisible(true);
    form->Show();
    form->UpdateScrollBars();
    EXPECT_EQ(form->VertScrollBar()->Range(), 540);
    EXPECT_TRUE(form->VertScrollBar()->IsScrollBarVisible());
    EXPECT_NE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    form->VertScrollBar()->SetPosition(100);
    EXPECT_EQ(child->Top(), 400);
    form->ScrollInView(child);
    EXPECT_LE(child->Top() + child->Height(), form->ClientHeight());
    form->VertScrollBar()->SetPosition(0);
    EXPECT_EQ(child->Top(), 500);
}

TEST_F(FormsTest, OnPaintDrawsOnTheFormCanvas)
{
    TForm* form = MakeForm();
    form->SetBounds(50, 50, 200, 150);
    form->OnPaint = [form](TObject*) {
        TCanvas* c = form->Canvas();
        c->Brush()->SetColor(clRed);
        c->FillRect(RECT{10, 10, 40, 30});
    };
    form->Show();
    PumpPending();
    PixelImage img = PrintWindowPixels(form->Handle(), true);
    ASSERT_FALSE(img.Empty());
    EXPECT_EQ(img.Pixel(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(img.CountColor({10, 10, 40, 30}, RGB(255, 0, 0)), 30 * 20);
    EXPECT_EQ(img.Pixel(60, 60), GetSysColor(COLOR_BTNFACE)) << "the rest is the form's colour";
    std::unique_ptr<TBitmap> bmp = PrintWindowBitmap(form->Handle(), true);
    EXPECT_EQ(bmp->Width(), img.Width());
    EXPECT_EQ(GetPixel(bmp->Canvas()->Handle(), 20, 20), RGB(255, 0, 0));
    auto* row = static_cast<const Byte*>(bmp->ScanLine(20)); // blue, green, red
    EXPECT_EQ(row[20 * 3 + 2], 255);
    EXPECT_EQ(row[20 * 3 + 0], 0);
}

TEST_F(FormsTest, AnActivatedFormFocusesItsActiveControlOrTheFirstThatCanTakeTheFocus)
{
    // Tab order: no tab stop, disabled, hidden, then two that can take the focus.
    TForm* form = MakeForm();
    std::vector<TEdit*> edits;
    for (int i = 0; i < 5; ++i) {
        edits.push_back(Create<TEdit>(form));
        edits.back()->SetParent(form);
        edits.back()->SetTop(30 * i);
    }
    edits[0]->SetTabStop(false);
    edits[1]->SetEnabled(false);
    edits[2]->SetVisible(false);
    form->Show();
    EXPECT_EQ(form->ActiveControl(), edits[3]);
    EXPECT_EQ(GetFocus(), edits[3]->Handle());
    form->Hide();
    // A chosen control is kept, also when the form comes back.
    form->SetActiveControl(edits[4]);
    form->Show();
    EXPECT_EQ(GetFocus(), edits[4]->Handle());
    // A form with nothing to focus keeps the focus itself.
    TForm* empty = MakeForm();
    empty->Show();
    EXPECT_EQ(empty->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), empty->Handle());
}

// Closed, a real box gives the keys back to the window that had them: a control of the form, and
// a window inside it that the form does not track (a combo box's edit, a page view's window).
TEST_F(FormsTest, AMessageBoxGivesTheFocusBackToTheWindowThatHadIt)
{
    TForm* form = MakeForm();
    TEdit* edits[2];
    for (int i = 0; i < 2; ++i) {
        edits[i] = Create<TEdit>(form);
        edits[i]->SetParent(form);
        edits[i]->SetTop(30 * i);
    }
    form->Show();
    SetForegroundWindow(form->Handle());
    HWND native = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 90, 100, 22, form->Handle(),
                                  nullptr, nullptr, nullptr);
    const AnsiString caption = "Box for focus test";
    auto timer = MakeTimer(20, [&](TObject*) {
        if (HWND box = FindWindowA("#32770", caption.c_str()))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    for (HWND had : {edits[1]->Handle(), native}) {
        SetFocus(had);
        ASSERT_EQ(GetFocus(), had);
        EXPECT_EQ(Application->MessageBox("?", caption, MB_OK), IDOK);
        EXPECT_EQ(GetFocus(), had) << (had == native ? "the window the form does not track" : "the control");
    }
    DestroyWindow(native);
}

TEST_F(FormsTest, AnOwnedFormGivesTheActivationBackAndComesBackFromMinimised)
{
    TForm* owner = MakeForm();
    TCustomForm* savedMain = Application->MainForm();
    Application->SetMainForm(owner);
    AtTearDown([savedMain] { Application->SetMainForm(savedMain); });
    owner->Show();
    // Shown (not modal), then closed: the owner is active again.
    TForm* dialog = MakeForm();
    for (TCloseAction action : {caHide, caFree}) {
        dialog->OnClose = [action](TObject*, TCloseAction& a) { a = action; };
        dialog->Show();
        ASSERT_EQ(GetActiveWindow(), dialog->Handle());
        dialog->Close();
        PumpPending();
        EXPECT_EQ(GetActiveWindow(), owner->Handle()) << (action == caHide ? "hidden" : "freed");
    }
    // Minimised, the owner is active; then shown again: restored and in front.
    TForm* editor = MakeForm();
    editor->Show();
    SendMessageA(editor->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(editor->Handle()));
    EXPECT_EQ(GetActiveWindow(), owner->Handle());
    editor->Show();
    EXPECT_FALSE(IsIconic(editor->Handle()));
    EXPECT_EQ(editor->WindowState(), wsNormal);
    EXPECT_EQ(GetActiveWindow(), editor->Handle());
    Application->SetMainForm(savedMain);
}

TEST_F(FormsTest, KeyPreviewLetsTheFormSeeKeysFirst)
{
    TForm* form = MakeForm();
    auto* control = Create<TWinControl>(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 50, 20);
    control->SetTabStop(true);
    std::vector<std::string> log;
    form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        log.push_back("form");
        if (key == 'Q')
            key = 0; // swallowed: the control never sees it
    };
    control->OnKeyDown = [&](TObject*, Word&, TShiftState) { log.push_back("control"); };
    form->Show();
    control->SetFocus();
    EXPECT_EQ(form->ActiveControl(), control);
    EXPECT_EQ(Screen->ActiveForm(), form);
    EXPECT_EQ(Screen->ActiveControl(), control);
    auto press = [&](Word key) {
        PostMessageA(control->Handle(), WM_KEYDOWN, key, 1);
        Application->ProcessMessages();
    };
    press('A');
    EXPECT_EQ(log, (std::vector<std::string>{"control"})) << "without KeyPreview only the control";
    log.clear();
    form->KeyPreview = true;
    press('A');
    press('Q');
    EXPECT_EQ(log, (std::vector<std::string>{"form", "control", "form"}));
    form->Free();
}

TEST_F(FormsTest, ResizeEventsAndRefusal)
{
    TForm* form = MakeForm();
    form->SetBounds(10, 10, 200, 150);
    form->Show();
    int resizes = 0;
    form->OnResize = [&](TObject*) { ++resizes; };
    form->OnCanResize = [](TObject*, int& w, int& h, bool& resize) {
        if (w > 400)
            resize = false;
        h = std::max(h, 100); // a minimum height
    };
    form->SetBounds(10, 10, 300, 50);
    EXPECT_EQ(form->Width(), 300);
    EXPECT_EQ(form->Height(), 100);
    EXPECT_GE(resizes, 1);
    form->SetBounds(10, 10, 500, 300);
    EXPECT_EQ(form->Width(), 300) << "refused";
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 300);
    form->Free();
}

TEST_F(FormsTest, WindowStateAppliesWhenShown)
{
    TForm* form = MakeForm();
    form->SetWindowState(wsMaximized);
    form->Show();
    EXPECT_TRUE(IsZoomed(form->Handle()));
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsZoomed(form->Handle()));
    ShowWindow(form->Handle(), SW_MINIMIZE);
    EXPECT_EQ(form->WindowState(), wsMinimized) << "follows the window";
}

TEST_F(FormsTest, FormsShowTheirOwnIconOrTheApplications)
{
    TForm* form = MakeForm();
    form->HandleNeeded();
    auto shown = [&] { return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)); };
    EXPECT_EQ(shown(), Application->Icon()->Handle());
    int changes = 0;
    TWndMethod saved = form->WindowProc;
    struct TCounter : TObject {
        TWndMethod* saved;
        int* changes;
        void Proc(TMessage& m)
        {
            if (m.Msg == CM_ICONCHANGED)
                ++*changes;
            (*saved)(m);
        }
    } counter;
    counter.saved = &saved;
    counter.changes = &changes;
    form->WindowProc = TWndMethod(&counter, &TCounter::Proc);
    form->Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING))));
    EXPECT_EQ(shown(), form->Icon()->Handle());
    EXPECT_EQ(changes, 1);
    form->Icon()->SetHandle(nullptr);
    EXPECT_EQ(shown(), Application->Icon()->Handle()) << "back to the application's";
    // The application's icon changing reaches the form too.
    Application->Icon()->SetHandle(CopyIcon(Application->Icon()->Handle()));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(shown(), Application->Icon()->Handle());
    form->WindowProc = saved;
}

TEST_F(FormsTest, MdiFrameWithChildren)
{
    TForm* orphan = MakeForm();
    orphan->SetFormStyle(fsMDIChild);
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { orphan->HandleNeeded(); }),
              "Cannot create form. No MDI forms are currently active") << "no MDI frame is the main form";

    TForm* frame = MakeForm();
    frame->SetBounds(0, 0, 500, 400);
    frame->SetFormStyle(fsMDIForm);
    auto* bar = Create<TWinControl>(frame);
    bar->SetParent(frame);
    bar->SetHeight(30);
    bar->SetAlign(alTop);
    frame->Show();
    ASSERT_NE(frame->ClientHandle(), nullptr);
    char cls[32] = {};
    GetClassNameA(frame->ClientHandle(), cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "MDICLIENT");
    RECT cr;
    GetWindowRect(frame->ClientHandle(), &cr);
    POINT topLeft{cr.left, cr.top};
    ScreenToClient(frame->Handle(), &topLeft);
    EXPECT_EQ(topLeft.y, 30) << "the client takes the room below the top-aligned bar";

    TCustomForm* savedMain = Application->MainForm();
    Application->SetMainForm(frame);
    AtTearDown([savedMain] { Application->SetMainForm(savedMain); });
    TForm* a = MakeForm();
    a->SetFormStyle(fsMDIChild);
    a->Show();
    TForm* b = MakeForm();
    b->SetFormStyle(fsMDIChild);
    b->Show();
    EXPECT_EQ(GetParent(a->Handle()), frame->ClientHandle());
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_EQ(frame->MDIChildren(1), b);
    EXPECT_EQ(frame->ActiveMDIChild(), b);
    SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
    EXPECT_EQ(frame->ActiveMDIChild(), a);
    b->Free();
    EXPECT_EQ(frame->MDIChildCount(), 1);
    Application->SetMainForm(savedMain);
}

TEST_F(FormsTest, MdiClientLeavesTheMenuBarItsRoom)
{
    // The menu is set before the window is made: the client is placed once the bar is there.
    TForm* frame = MakeForm();
    frame->SetBounds(0, 0, 500, 400);
    frame->SetFormStyle(fsMDIForm);
    auto* menu = Create<TMainMenu>(frame);
    auto* item = Create<TMenuItem>(frame);
    item->SetCaption("File");
    menu->Items()->Add(item);
    frame->SetMenu(menu);
    frame->Show();
    RECT client;
    GetWindowRect(frame->ClientHandle(), &client);
    EXPECT_EQ(client.bottom - client.top, frame->ClientHeight());
}

TEST_F(FormsTest, FreedFocusedControlIsForgotten)
{
    TForm* form = MakeForm();
    auto* control = Create<TWinControl>(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 50, 20);
    control->SetTabStop(true);
    form->Show();
    control->SetFocus();
    ASSERT_EQ(form->ActiveControl(), control);
    control->Free();
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
    // Activation afterwards must not reach the freed control.
    TForm* other = MakeForm();
    other->Show();
    SetActiveWindow(other->Handle());
    SetActiveWindow(form->Handle());
    PumpPending();
    EXPECT_EQ(Screen->ActiveForm(), form);
}

TEST_F(FormsTest, ErrorInOnCloseIsReportedAndTheFormStaysOpen)
{
    ScriptBoxes();
    TForm* form = MakeForm();
    form->Show();
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction&) {
        ++closes;
        throw EFOpenError("Cannot open file Temp.vlt");
    };
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0); // the caption's close button
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot open file Temp.vlt.");
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "the remaining close steps are skipped";
    EXPECT_FALSE(Application->Terminated());
    form->OnClose = nullptr;
    form->Free();
}

TEST_F(FormsTest, BorderWidthShrinksTheClientArea)
{
    TForm* form = MakeForm();
    form->SetBounds(10, 10, 300, 200);
    form->Show();
    RECT before;
    GetClientRect(form->Handle(), &before);
    form->SetBorderWidth(5);
    RECT after;
    GetClientRect(form->Handle(), &after);
    EXPECT_EQ(after.right, before.right - 10);
    EXPECT_EQ(after.bottom, before.bottom - 10);
    EXPECT_EQ(form->ClientWidth(), after.right);
    EXPECT_EQ(form->Width(), 300) << "the window keeps its size";
}

namespace {
class TCountingProbe : public TComponent {
    VCL_CLASS(TCountingProbe, TComponent)
public:
    using TComponent::TComponent;
    void Loaded() override
    {
        inherited::Loaded();
        ++loads;
    }
    int loads = 0;
};

class TProbeFrame : public TFrame {
    VCL_CLASS(TProbeFrame, TFrame)
public:
    explicit TProbeFrame(TComponent* AOwner) : TFrame(AOwner)
    {
        probe = Create<TCountingProbe>(this);
        inner = Create<TWinControl>(this);
        inner->SetParent(this);
    }
    TCountingProbe* probe;
    TWinControl* inner;
};

class TFramedForm : public TForm {
    VCL_CLASS(TFramedForm, TForm)
public:
    explicit TFramedForm(TComponent* AOwner) : TForm(AOwner)
    {
        frame = Create<TProbeFrame>(this);
        frame->SetParent(this);
    }
    TProbeFrame* frame;
};
} // namespace

TEST_F(FormsTest, FramesLoadTheirComponentsOnceAndBelongToTheirForm)
{
    auto* built = MakeForm<TFramedForm>(); // the frame made while its form is built
    EXPECT_EQ(built->frame->probe->loads, 1);
    TForm* form = MakeForm();
    auto* frame = Create<TProbeFrame>(form); // made on a finished form
    frame->SetParent(form);
    EXPECT_EQ(frame->probe->loads, 1);
    EXPECT_FALSE(frame->IsForm());
    EXPECT_EQ(GetParentForm(frame->inner), form);
    form->Show();
    EXPECT_EQ(GetParent(frame->Handle()), form->Handle());
    EXPECT_TRUE(frame->AutoScroll());
}
