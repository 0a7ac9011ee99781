#include <gtest/gtest.h>

#include <algorithm>

#include "GuiTest.h"
#include "StdCtrls.h"
#include "Support.h"

using testkit::Expect;
using testkit::msgOptional;
using testkit::MsgRecord;

namespace {

// Records every message that passes a control's WindowProc (Perform included).
class TRecorder : public TComponent {
    VCL_CLASS(TRecorder, TComponent)
public:
    TRecorder(TComponent* AOwner, TControl* target) : TComponent(AOwner), control(target)
    {
        saved = control->WindowProc;
        control->WindowProc = TWndMethod(this, &TRecorder::Proc);
    }
    ~TRecorder() override { control->WindowProc = saved; }
    void Proc(TMessage& Message)
    {
        switch (Message.Msg) {
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_NCHITTEST:
        case WM_SETCURSOR:
        case WM_GETDLGCODE:
        case WM_NCCALCSIZE:
        case WM_GETMINMAXINFO:
            break;
        default:
            records.push_back(MsgRecord{Message.Msg, testkit::msgSent, Message.WParam, Message.LParam, {}});
        }
        saved(Message);
    }
    TControl* control;
    TWndMethod saved;
    std::vector<MsgRecord> records;
};

} // namespace

TEST(Sequences, VisibilityAndTextOfAWindowedControl)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(host);
    host->Show();
    auto* rec = Create<TRecorder>(nullptr, edit);
    edit->Hide();
    EXPECT_EQ(testkit::CompareSequences({Expect(CM_VISIBLECHANGED), Expect(CM_SHOWINGCHANGED),
                                         Expect(WM_WINDOWPOSCHANGING), Expect(WM_NCPAINT, msgOptional),
                                         Expect(WM_ERASEBKGND, msgOptional), Expect(WM_WINDOWPOSCHANGED)},
                                        rec->records),
              "");
    EXPECT_FALSE(IsWindowVisible(edit->Handle()));
    rec->records.clear();
    edit->SetText("x");
    EXPECT_EQ(testkit::CompareSequences({Expect(WM_SETTEXT), Expect(CN_COMMAND, testkit::msgWParam, MAKEWPARAM(0, EN_UPDATE)),
                                         Expect(CN_COMMAND, testkit::msgWParam, MAKEWPARAM(0, EN_CHANGE)),
                                         Expect(CM_TEXTCHANGED)},
                                        rec->records), "");
    rec->records.clear();
    edit->SetText("x"); // no change, no messages
    EXPECT_TRUE(rec->records.empty());
    rec->records.clear();
    edit->SetEnabled(false);
    EXPECT_EQ(testkit::CompareSequences({Expect(CM_ENABLEDCHANGED), Expect(WM_CANCELMODE, msgOptional),
                                         Expect(WM_ENABLE)},
                                        rec->records),
              "");
    rec->Free();
    host->Free();
}

TEST(Sequences, InvalidateAndChangeAreControlMessages)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TEdit>(host);
    edit->SetParent(host);
    host->Show();
    auto* onEdit = Create<TRecorder>(nullptr, edit);
    auto* onHost = Create<TRecorder>(nullptr, host);
    edit->Invalidate();
    // The control invalidates itself through CM_INVALIDATE and tells its parent (WParam 1).
    EXPECT_EQ(testkit::CompareSequences({Expect(CM_INVALIDATE, testkit::msgWParam, 0)}, onEdit->records), "");
    EXPECT_EQ(testkit::CompareSequences({Expect(CM_INVALIDATE, testkit::msgWParam, 1)}, onHost->records), "");
    onEdit->records.clear();
    edit->SetText("x"); // the edit's change comes back as CM_CHANGED to itself
    EXPECT_EQ(testkit::CompareSequences({Expect(WM_SETTEXT), Expect(CN_COMMAND, testkit::msgWParam, MAKEWPARAM(0, EN_UPDATE)),
                                         Expect(CN_COMMAND, testkit::msgWParam, MAKEWPARAM(0, EN_CHANGE)),
                                         Expect(CM_CHANGED, testkit::msgLParam, 0, reinterpret_cast<LPARAM>(edit)),
                                         Expect(CM_TEXTCHANGED)},
                                        onEdit->records),
              "");
    onEdit->Free();
    onHost->Free();
    host->Free();
}

TEST(Sequences, ConstraintsAutoSizeAndInheritedSettings)
{
    auto* host = Create<THost>(nullptr);
    auto* panel = Create<TNative>(host, "STATIC");
    panel->SetParent(host);
    panel->Constraints()->SetMinWidth(50);
    panel->Constraints()->SetMaxWidth(100);
    panel->SetWidth(10);
    EXPECT_EQ(panel->Width(), 50);
    panel->SetWidth(300);
    EXPECT_EQ(panel->Width(), 100);
    panel->Constraints()->SetMaxWidth(40); // lowers the minimum and the width at once
    EXPECT_EQ(panel->Constraints()->MinWidth(), 40);
    EXPECT_EQ(panel->Width(), 40);

    // A window gives its limits to the system's sizing.
    host->Constraints()->SetMinHeight(150);
    host->Constraints()->SetMaxWidth(600);
    MINMAXINFO mmi{};
    SendMessageA(host->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.y, 150);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 600);

    // AutoSize: a container fits its children.
    auto* box = Create<TNative>(host, "STATIC");
    box->SetParent(host);
    box->SetBounds(0, 50, 20, 20);
    auto* inner = Create<TBox>(host);
    inner->SetParent(box);
    inner->SetBounds(5, 5, 60, 30);
    box->SetAutoSize(true);
    EXPECT_EQ(box->Width(), 65);
    EXPECT_EQ(box->Height(), 35);
    inner->SetWidth(90);
    box->AdjustSize();
    EXPECT_EQ(box->Width(), 95);

    // Ctl3D and BiDiMode follow the parent unless set; the system's colour change reaches the
    // children.
    host->Show();
    auto* rec = Create<TRecorder>(nullptr, panel);
    host->SetCtl3D(false);
    EXPECT_FALSE(panel->Ctl3D());
    EXPECT_TRUE(panel->ParentCtl3D());
    box->SetBiDiMode(bdRightToLeft);
    host->SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_EQ(panel->BiDiMode(), bdRightToLeftReadingOnly);
    EXPECT_EQ(box->BiDiMode(), bdRightToLeft) << "set on its own";
    SendMessageA(host->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(testkit::CompareSequences({Expect(CM_PARENTCTL3DCHANGED), Expect(CM_CTL3DCHANGED),
                                         Expect(CM_PARENTBIDIMODECHANGED), Expect(CM_BIDIMODECHANGED),
                                         Expect(CM_SYSCOLORCHANGE)},
                                        rec->records),
              "");
    rec->Free();
    host->Free();
}

// A native list given its font measures every item again: the window gets the font only when the
// font's object changes, not when its colour alone does.
TEST(Sequences, TheWindowGetsItsFontOnlyAsAnotherObject)
{
    auto* host = Create<THost>(nullptr);
    auto* edit = Create<TNative>(host, "EDIT");
    edit->SetParent(host);
    edit->HandleNeeded();
    const auto fontOf = [&] { return reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)); };
    ASSERT_EQ(fontOf(), edit->Font()->Handle());
    auto* rec = Create<TRecorder>(nullptr, edit);
    const auto setFonts = [&] {
        return std::count_if(rec->records.begin(), rec->records.end(),
                             [](const MsgRecord& r) { return r.message == WM_SETFONT; });
    };
    edit->Font()->SetColor(clRed);
    EXPECT_EQ(setFonts(), 0) << "the colour alone";
    EXPECT_EQ(fontOf(), edit->Font()->Handle());
    edit->Font()->SetSize(edit->Font()->Size() + 6);
    EXPECT_EQ(setFonts(), 1) << "a larger font";
    EXPECT_EQ(fontOf(), edit->Font()->Handle());
    rec->Free();
    host->Free();
}
