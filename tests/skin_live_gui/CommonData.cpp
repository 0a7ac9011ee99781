// The per-control skin state: its commands, default sections, moves and sizes, colours, and the
// copy of its cache around children.
#include <gtest/gtest.h>

#include "LiveKit.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sPanel.h"
#include "sVclUtils.h"

using namespace livekit;

namespace {

using CommonData = TablesTest;

// A skinned panel that records the commands it receives.
class TRecordingPanel : public TsPanel {
    VCL_CLASS(TRecordingPanel, TsPanel)
public:
    TRecordingPanel(TComponent* AOwner, const char* Name) : TsPanel(AOwner) { SetName(Name); }
    void WndProc(TMessage& Message) override
    {
        Record(this, Message);
        TsPanel::WndProc(Message);
    }
};

// CommonMessage of one command; answers whether it was handled, the record in m.
bool Command(TsCommonData* sd, WORD Cmd, WORD Argument, TMessage& m, LPARAM LParam = 0)
{
    m = MakeMessage(SM_SKINCMD, MAKEWPARAM(Argument, Cmd), LParam);
    return CommonMessage(m, sd);
}

// Each colour byte (A * (p - s) + 255 * s) div 256, as the centre colour of a partly transparent
// control is mixed.
TColor Mix(COLORREF p, COLORREF s, int a)
{
    COLORREF r = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int pc = (p >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
        r |= static_cast<COLORREF>((a * (pc - sc) + 255 * sc) / 256) << shift;
    }
    return static_cast<TColor>(r);
}

} // namespace

TEST_F(CommonData, EveryCommandIsAnsweredAsThePartGivesIt)
{
    TsGeneralData edit = Section("Edit", 0x102030, 50);
    edit.FontColor[0] = 0x405060;
    Activate({Section("GLOBALINFO"), edit});
    AddBorder("EDIT");
    auto* form = MakeForm();
    auto* control = On(form, Create<TsEdit>(form));
    TsCommonData* sd = control->SkinData();
    sd->SkinIndex = sd->BorderIndex = -1;
    sd->CustomFont = true;
    control->Font()->SetColor(clRed);
    TMessage m;

    EXPECT_FALSE(Command(sd, AC_NEWSKIN, 0, m));
    EXPECT_TRUE(sd->Updating);
    EXPECT_EQ(sd->SkinIndex, 1) << "found without letter case";
    EXPECT_EQ(sd->BorderIndex, 0);

    sd->BGChanged = false;
    EXPECT_FALSE(Command(sd, AC_REPAINT, 0, m));
    EXPECT_TRUE(sd->BGChanged);
    EXPECT_FALSE(sd->Updating);
    EXPECT_EQ(control->Color(), TColor(0x102030)) << "an edit takes the section's colour";
    EXPECT_EQ(control->Font()->Color(), clRed) << "CustomFont keeps the own font colour";

    sd->InitCacheBmp();
    ASSERT_GT(sd->FCacheBmp->Width(), 0);
    EXPECT_FALSE(Command(sd, AC_GETCACHEINFO, 0, m));
    EXPECT_EQ(GlobalCacheInfo.Bmp, sd->FCacheBmp.get());
    EXPECT_TRUE(GlobalCacheInfo.Ready);
    EXPECT_EQ(GlobalCacheInfo.X + GlobalCacheInfo.Y, 0);
    const TCacheInfo none = GetParentCache(sd);
    EXPECT_FALSE(none.Ready);
    EXPECT_EQ(none.Bmp, nullptr) << "a parent that does not answer gives nothing of an earlier answer";

    EXPECT_TRUE(Command(sd, AC_ISSKINNED, 0, m));
    EXPECT_EQ(m.LParam, 1);
    EXPECT_FALSE(Command(sd, AC_SETUPDATING, 1, m));
    EXPECT_TRUE(sd->Updating);
    Command(sd, AC_SETUPDATING, 0, m);
    EXPECT_FALSE(sd->Updating);
    Command(sd, AC_URGENTPAINTING, 1, m);
    EXPECT_TRUE(sd->UrgentPainting);
    Command(sd, AC_URGENTPAINTING, 0, m);
    EXPECT_FALSE(sd->UrgentPainting);

    EXPECT_TRUE(Command(sd, AC_GETUPDATING, 0, m));
    EXPECT_EQ(m.LParam, 1) << "the background changed";
    sd->BGChanged = false;
    Command(sd, AC_GETUPDATING, 0, m);
    EXPECT_EQ(m.LParam, 0) << "a parent that does not answer is not updating";

    sd->HalfVisible = true;
    EXPECT_TRUE(Command(sd, AC_GETHALFVISIBLE, 0, m));
    EXPECT_EQ(m.LParam, 1);

    Command(sd, AC_SETBGCHANGED, 0, m);
    EXPECT_FALSE(sd->BGChanged) << "argument 0";
    Command(sd, AC_SETBGCHANGED, 1, m);
    EXPECT_TRUE(sd->BGChanged) << "a transparent section with argument 1";

    sd->BGChanged = false;
    GlobalSectionName = "COMBOBOX";
    Command(sd, AC_UPDATESKINSECTION, 0, m);
    EXPECT_FALSE(sd->BGChanged);
    GlobalSectionName = "EDIT";
    Command(sd, AC_UPDATESKINSECTION, 0, m);
    EXPECT_TRUE(sd->BGChanged) << "its own section changed";

    Command(sd, AC_SETREPAINTCHILD, 0, m, reinterpret_cast<LPARAM>(form));
    EXPECT_EQ(sd->RepaintChild, form);

    gd[1].GradientPercent = 1;
    EXPECT_TRUE(Command(sd, AC_ISTEXTURED, 0, m));
    EXPECT_EQ(m.LParam, 1);

    for (WORD unknown : {WORD(0), WORD(17), WORD(22), WORD(0xFFFF)}) {
        sd->BGChanged = false;
        EXPECT_FALSE(Command(sd, unknown, 1, m)) << unknown;
        EXPECT_EQ(m.LParam, 0);
        EXPECT_FALSE(sd->BGChanged);
    }

    EXPECT_FALSE(Command(sd, AC_REMOVESKIN, 0, m));
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_EQ(sd->BorderIndex, -1);
    EXPECT_TRUE(sd->Updating);
    EXPECT_TRUE(sd->FCacheBmp->Empty());
    EXPECT_EQ(control->Color(), clWindow);
    EXPECT_EQ(control->Font()->Color(), clRed);

    m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_ISTEXTURED), 0);
    EXPECT_FALSE(CommonMessage(m, sd)) << "no section: not answered";
    EXPECT_EQ(m.LParam, 0);
}

TEST_F(CommonData, ControlsWithoutASectionTakeTheDefaultOfTheirCode)
{
    struct TRow {
        int Code;
        const char* Section;
    } rows[] = {{1, "TProbeBox"},  {2, "EDIT"},       {8, "EDIT"},        {9, "TProbeBox"},    {10, "EDIT"},
                {11, "COMBOBOX"},  {18, "COMBOBOX"},  {19, "BAR"},        {20, "BARTITLE"},    {21, "TProbeBox"},
                {32, "CHECKBOX"},  {33, "RADIOBUTTON"}, {50, "TProbeBox"}, {51, "PANEL"},      {52, "PANEL_LOW"},
                {57, "TABSHEET"},  {74, "GROUPBOX"},  {75, "SPLITTER"},   {93, "BUTTON"},      {94, "BUTTON"},
                {96, "EDIT"},      {97, "EDIT"},      {98, "TOOLBUTTON"}, {165, "TRACKBAR"},   {226, "GROUPBOX"},
                {227, "EDIT"},     {228, "TProbeBox"}};
    Activate({Section("tprobebox")});
    auto* form = MakeForm();
    auto* owner = Create<TProbeBox>(form, "owner", false);
    for (const TRow& r : rows) {
        TsCommonData sd(owner, false);
        sd.COC = r.Code;
        UpdateData(&sd);
        EXPECT_EQ(sd.SkinSection(), r.Section) << r.Code;
    }
    TsCommonData byClass(owner, false);
    UpdateData(&byClass);
    EXPECT_EQ(byClass.SkinIndex, 0) << "the class's section, found without letter case";
}

TEST_F(CommonData, ASectionIsStoredOnceAndTheControlIsToldOfIt)
{
    auto* form = MakeForm();
    auto* panel = On(form, Create<TRecordingPanel>(form, "p"));
    panel->HandleNeeded();
    TsCommonData* sd = panel->SkinData();
    Log().clear();
    sd->SetSkinSection("");
    EXPECT_EQ(sd->SkinSection(), "UNKNOWN");
    EXPECT_EQ(Log(), std::vector<std::string>{"p:2"}) << "no skin loaded: the skin is removed";
    sd->SetSkinSection("UNKNOWN");
    EXPECT_EQ(Log().size(), 1u) << "the same name again does nothing";

    Activate({Section("PANEL")});
    AddBorder("PANEL");
    sd->SetSkinSection("Panel");
    EXPECT_EQ(Log().back(), "p:3");
    EXPECT_EQ(sd->SkinIndex, 0);
    EXPECT_EQ(sd->BorderIndex, 0);
    // The next skin lacks the section: no border of the last one stays behind.
    gd = {Section("EDIT")};
    sd->UpdateIndexes();
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_EQ(sd->BorderIndex, -1);
}

TEST_F(CommonData, UpdatingIsAskedUpThePrentChain)
{
    auto* form = MakeForm();
    auto* parent = On(form, Create<TProbeBox>(form, "parent", false));
    auto* panel = On(parent, Create<TsPanel>(form));
    TsCommonData* sd = panel->SkinData();
    EXPECT_TRUE(sd->GetUpdating()) << "no skin active";
    Activate({Section("PANEL")});
    EXPECT_FALSE(sd->GetUpdating()) << "the parent does not answer";
    sd->BeginUpdate();
    EXPECT_TRUE(sd->GetUpdating());
    sd->EndUpdate();
    parent->OnCommand = [](TObject*) { throw Exception("parent fails"); };
    EXPECT_FALSE(sd->GetUpdating()) << "an exception in the parent counts as no";
    parent->OnCommand = nullptr;
    panel->SetParent(nullptr);
    EXPECT_TRUE(sd->GetUpdating()) << "without a parent";
}

TEST_F(CommonData, MovesReachEveryLevelOnceAndSizesOnlyGradientContainers)
{
    Activate({Section("PANEL")});
    auto* form = MakeForm();
    auto* a = On(form, Create<TRecordingPanel>(form, "A"));
    auto* b = On(a, Create<TRecordingPanel>(form, "B"));
    auto* c = On(a, Create<TRecordingPanel>(form, "C"));
    auto* d = On(b, Create<TRecordingPanel>(form, "D"));
    for (TsPanel* p : {static_cast<TsPanel*>(a), static_cast<TsPanel*>(b), static_cast<TsPanel*>(c),
                       static_cast<TsPanel*>(d)}) {
        p->HandleNeeded();
        p->SkinData()->Loaded();
        p->SkinData()->UrgentPainting = true; // each one must repaint when moved
    }
    Log().clear();
    SendAMessage(a, AC_REPAINTIFMOVED);
    EXPECT_EQ(Log(), (std::vector<std::string>{"A:20", "B:20", "D:20", "C:20"}));

    for (TsPanel* p : {static_cast<TsPanel*>(b), static_cast<TsPanel*>(c), static_cast<TsPanel*>(d)})
        p->SkinData()->UrgentPainting = false;
    c->SetAnchors(TAnchors{akLeft, akTop, akRight});
    Log().clear();
    TMessage size = MakeMessage(WM_SIZE, 0, 0);
    EXPECT_FALSE(CommonWndProc(size, a->SkinData()));
    EXPECT_TRUE(Log().empty()) << "a section without gradient";
    gd[0].GradientPercent = 1;
    CommonWndProc(size, a->SkinData());
    EXPECT_EQ(Log(), std::vector<std::string>{"B:20"}) << "children anchored right or bottom move with it";
}

TEST_F(CommonData, TheCentreColourFollowsTheTransparencyOfTheSection)
{
    auto* form = MakeForm();
    auto* parent = On(form, Create<TProbeBox>(form, "parent", false));
    parent->HandleNeeded();
    parent->SetColor(static_cast<TColor>(0x00FF8040));
    auto* panel = On(parent, Create<TsPanel>(form));
    panel->SetColor(static_cast<TColor>(0x00112233));
    TsCommonData* sd = panel->SkinData();
    TMessage m;
    auto centre = [&] {
        ParentCenterColor = clSkinKey;
        EXPECT_TRUE(Command(sd, AC_GETCENTERCOLOR, 0, m));
        return ParentCenterColor;
    };
    EXPECT_EQ(centre(), TColor(0x00112233)) << "not skinned: its own colour";

    Activate({Section("PANEL", 0x000000, 0)});
    sd->UpdateIndexes();
    EXPECT_EQ(centre(), TColor(0)) << "opaque: the section's colour";

    gd[0].Transparency = 50;
    EXPECT_EQ(centre(), TColor(0x7E3F1F)) << "half toward the parent's colour, as it does not answer";

    // A parent answering a system colour is mixed in its RGB value.
    parent->OnCommand = [](TObject*) { ParentCenterColor = clBtnFace; };
    EXPECT_EQ(centre(), Mix(GetSysColor(COLOR_BTNFACE), 0, 127));

    gd[0].Transparency = 100;
    parent->OnCommand = nullptr;
    parent->SetColor(clBtnFace);
    EXPECT_EQ(centre(), clBtnFace) << "fully transparent: the parent's colour, unresolved";
}

TEST_F(CommonData, MouseAndFocusMakeAControlActiveWhereItsTypeAllows)
{
    for (int code : {50, 51, 74, 75, 109, 110, 111, 140, 141, 161, 162})
        EXPECT_EQ(sForbidMouse.Contains(code), (code >= 51 && code <= 74) || code == 110 || (code >= 141 && code <= 161))
            << code;
    auto* form = MakeForm();
    auto* panel = On(form, Create<TsPanel>(form));
    TsCommonData* sd = panel->SkinData();
    TMessage enter = MakeMessage(CM_MOUSEENTER, 0, 0);
    CommonWndProc(enter, sd);
    EXPECT_FALSE(sd->MouseAbove) << "panels are never hot";
    sd->COC = 93;
    CommonWndProc(enter, sd);
    EXPECT_TRUE(sd->MouseAbove);
    EXPECT_TRUE(ControlIsActive(sd));
    panel->SetEnabled(false);
    EXPECT_FALSE(ControlIsActive(sd));
    TMessage enabled = MakeMessage(CM_ENABLEDCHANGED, 0, 0);
    CommonWndProc(enabled, sd);
    EXPECT_FALSE(sd->MouseAbove) << "a change of Enabled forgets the mouse";
}

TEST_F(CommonData, TheCacheIsCopiedAroundOpaqueAndGraphicChildren)
{
    auto* form = MakeForm();
    auto* panel = On(form, Create<TsPanel>(form));
    panel->SetBounds(0, 0, 60, 20);
    auto* opaque = On(panel, Create<TProbeBox>(form, "opaque", false));
    opaque->SetBounds(0, 0, 20, 20);
    opaque->SetControlStyle(opaque->ControlStyle() + TControlStyle{csOpaque});
    auto* clear = On(panel, Create<TProbeBox>(form, "clear", false));
    clear->SetBounds(20, 0, 20, 20);
    clear->SetControlStyle(clear->ControlStyle() - TControlStyle{csOpaque});
    On(panel, Create<TProbeShape>(form, "shape"))->SetBounds(40, 0, 20, 20);
    TsCommonData* sd = panel->SkinData();
    sd->InitCacheBmp();
    sd->FCacheBmp->Canvas()->Brush()->SetColor(clRed);
    sd->FCacheBmp->Canvas()->FillRect(Rect(0, 0, 60, 20));

    TBitmap target(60, 20, pf24bit);
    auto copy = [&] {
        target.Canvas()->Brush()->SetColor(clWhite);
        target.Canvas()->FillRect(Rect(0, 0, 60, 20));
        CopyWinControlCache(panel, sd, Rect(0, 0, 0, 0), Rect(0, 0, 60, 20), target.Canvas()->Handle(), false);
        TCanvas* c = target.Canvas();
        return std::vector<TColor>{c->Pixels(10, 10), c->Pixels(30, 10), c->Pixels(50, 10)};
    };
    EXPECT_EQ(copy(), (std::vector<TColor>{clWhite, clRed, clWhite}));
    StdTransparency = true;
    EXPECT_EQ(copy(), (std::vector<TColor>{clWhite, clRed, clRed})) << "graphic children not cut out";
    StdTransparency = false;
}
