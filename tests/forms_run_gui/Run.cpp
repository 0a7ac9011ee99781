// The application's main loop with a main form (its own program: ending the loop is final).
#include "ExtCtrls.h"
#include "FormTest.h"

#include <ole2.h>

using namespace testkit;

namespace {

class TMainWindow : public TForm {
    VCL_CLASS(TMainWindow, TForm)
public:
    explicit TMainWindow(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("Main");
        OnShow = [this](TObject*) { ++shows; };
        OnClose = [this](TObject*, TCloseAction& action) {
            closeAction = action;
            ++closes;
        };
    }
    int shows = 0, closes = 0;
    TCloseAction closeAction = caNone;
};

// Points the program's reference at itself at once, as the program's forms do, then fails.
class TFailingWindow;
TFailingWindow* failing = nullptr;
class TFailingWindow : public TForm {
    VCL_CLASS(TFailingWindow, TForm)
public:
    explicit TFailingWindow(TComponent* AOwner) : TForm(AOwner)
    {
        failing = this;
        throw EOSError("no window");
    }
};

} // namespace

TEST(ApplicationRun, AFormWhoseMakingFailsLeavesNoReferenceToIt)
{
    EXPECT_THROW(Application->CreateForm(failing), EOSError);
    EXPECT_EQ(failing, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(ApplicationRun, FirstCreatedFormIsMainAndClosingItEndsTheLoop)
{
    Application->Initialize();
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE) << "OLE is initialised before any form exists";
    OleUninitialize();
    Application->SetTitle("Vellorn");
    TMainWindow* main = nullptr;
    TForm* second = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(second);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_TRUE(main->HandleAllocated());
    EXPECT_EQ(second->Owner(), Application);
    EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), main->Handle()) << "other forms are owned by the main form";

    int minimized = 0, restored = 0;
    Application->OnMinimize = [&](TObject*) { ++minimized; };
    Application->OnRestore = [&](TObject*) { ++restored; };
    int ticks = 0;
    TTimer* timer = Create<TTimer>(main);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        if (ticks == 2) {
            EXPECT_TRUE(IsWindowVisible(main->Handle())) << "Run shows the main form";
            // The minimise button of the main form minimises the application.
            SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        } else if (ticks == 3) {
            EXPECT_TRUE(Application->Minimized());
            Application->Restore();
        } else if (ticks == 4) {
            main->Close();
        }
    };
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(main->shows, 1);
    EXPECT_EQ(main->closes, 1);
    EXPECT_EQ(main->closeAction, caHide);
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(restored, 1);
    main->Free();
    EXPECT_EQ(Application->MainForm(), nullptr) << "a freed main form is forgotten";
}
