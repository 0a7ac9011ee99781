// Status bar, progress bar, tool bar and up-down: what the windows show, the events, and the
// state kept when a window is re-created or moved to another parent.
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Support.h"

#include <string>
#include <vector>

using namespace testkit;
using namespace comtest;

namespace {

class BarsTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(100, 100, 520, 300);
    }
    void ShowForm()
    {
        form->Show();
        PumpPending();
    }
    TForm* form = nullptr;
};

std::string PanelText(TStatusBar* bar, int i)
{
    char buf[256] = {};
    SendMessageA(bar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::vector<int> PanelEdges(TStatusBar* bar)
{
    int edges[16] = {};
    int n = static_cast<int>(SendMessageA(bar->Handle(), SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + n);
}

} // namespace

TEST_F(BarsTest, StatusPanelsTextsAndWidthsSurviveRecreation)
{
    TStatusBar* bar = Create<TStatusBar>(form);
    bar->SetParent(form);
    for (int w : {200, 200, 50})
        bar->Panels()->Add()->SetWidth(w);
    ShowForm();
    bar->Panels()->Items(0)->SetText("Vellorn");
    bar->Panels()->Items(1)->SetText("Количество статей: 12");
    bar->Panels()->Items(2)->SetText("Готово");
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
    EXPECT_EQ(PanelEdges(bar), (std::vector<int>{200, 400, -1})); // the last panel reaches the edge
    EXPECT_EQ(PanelText(bar, 1), "Количество статей: 12");

    HWND before = bar->Handle();
    bar->SetSizeGrip(false); // re-creates the window
    EXPECT_NE(bar->Handle(), before);
    EXPECT_EQ(PanelEdges(bar), (std::vector<int>{200, 400, -1}));
    EXPECT_EQ(PanelText(bar, 0), "Vellorn");
    EXPECT_EQ(PanelText(bar, 2), "Готово");

    bar->Panels()->Items(1)->SetAlignment(taCenter);
    EXPECT_EQ(PanelText(bar, 1), "\tКоличество статей: 12");
    bar->SetSimplePanel(true);
    bar->SetSimpleText("Загрузка");
    EXPECT_EQ(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0), TRUE);
    EXPECT_EQ(PanelText(bar, 0), "Загрузка"); // the simple text shows in place of the panels
    bar->SetSimplePanel(false);
    EXPECT_EQ(PanelText(bar, 0), "Vellorn");
    EXPECT_EQ(testkit::Refusal<EListError>([&] { bar->Panels()->Items(3); }), "Status panel index out of range (3)");
}

TEST_F(BarsTest, OwnerDrawnPanelIsPaintedByOnDrawPanel)
{
    TStatusBar* bar = Create<TStatusBar>(form);
    bar->SetParent(form);
    bar->Panels()->Add()->SetWidth(100);
    TStatusPanel* drawn = bar->Panels()->Add();
    drawn->SetStyle(psOwnerDraw);
    std::vector<TStatusPanel*> seen;
    TRect seenRect{};
    bar->OnDrawPanel = [&](TStatusBar* sender, TStatusPanel* panel, const TRect& r) {
        EXPECT_EQ(sender, bar);
        EXPECT_NE(sender->Canvas()->Handle(), nullptr);
        seen.push_back(panel);
        seenRect = r;
    };
    ShowForm();
    bar->Repaint();
    PumpPending();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), drawn);
    EXPECT_GE(seenRect.left, 100);
}

TEST_F(BarsTest, ProgressBarMovedIntoStatusBarKeepsItsState)
{
    TStatusBar* bar = Create<TStatusBar>(form);
    bar->SetParent(form);
    bar->Panels()->Add()->SetWidth(200);
    TProgressBar* progress = Create<TProgressBar>(form);
    progress->SetParent(form);
    progress->SetBounds(10, 10, 150, 16);
    ShowForm();
    progress->SetMax(50);
    progress->SetPosition(30);
    // As the main window does at start: into the status bar, at the top left.
    progress->SetParent(bar);
    progress->SetPosition(0);
    progress->SetBounds(0, 2, progress->Width(), bar->Height() - 2);
    progress->SetPosition(20);
    PumpPending();
    EXPECT_EQ(GetParent(progress->Handle()), bar->Handle());
    EXPECT_EQ(progress->Position(), 20);
    EXPECT_EQ(SendMessageA(progress->Handle(), PBM_GETRANGE, FALSE, 0), 50);
    EXPECT_TRUE(IsWindowVisible(progress->Handle()));

    progress->SetSmooth(true); // re-created inside the status bar
    EXPECT_EQ(GetParent(progress->Handle()), bar->Handle());
    EXPECT_EQ(progress->Position(), 20);
    EXPECT_EQ(progress->Max(), 50);

    // Through a parent without a window and back: the state lives in the object.
    TPanel* loose = Create<TPanel>(form);
    progress->SetParent(loose);
    EXPECT_FALSE(progress->HandleAllocated());
    progress->SetParent(form);
    EXPECT_EQ(progress->Position(), 20);

    progress->SetStep(40);
    progress->StepIt(); // 60 is past the end: starts again from the minimum
    EXPECT_EQ(progress->Position(), 10);
    progress->SetPosition(500);
    EXPECT_EQ(progress->Position(), 50);
}

namespace {

class ToolBarTest : public BarsTest {
protected:
    void SetUp() override
    {
        BarsTest::SetUp();
        bar = Create<TToolBar>(form);
        bar->SetParent(form);
        bar->SetShowCaptions(true);
        bar->SetButtonWidth(60);
        back = AddButton("Назад", tbsButton);
        sep = AddButton("", tbsSeparator);
        check = AddButton("Отметка", tbsCheck);
        save = AddButton("", tbsButton);
        menu = Create<TPopupMenu>(form);
        item = Create<TMenuItem>(form);
        item->SetCaption("Сохранить");
        item->OnClick = [this](TObject*) { log.push_back("item"); };
        menu->Items()->Add(item);
        save->SetMenuItem(item);
        back->OnClick = [this](TObject*) { log.push_back("back"); };
        check->OnClick = [this](TObject*) { log.push_back(check->Down() ? "down" : "up"); };
        ShowForm();
    }
    TToolButton* AddButton(const char* caption, TToolButtonStyle style)
    {
        TToolButton* b = Create<TToolButton>(form);
        b->SetStyle(style);
        b->SetCaption(caption);
        b->SetParent(bar);
        return b;
    }
    void ClickButton(TToolButton* b)
    {
        TPoint p = Centre(bar->ButtonRect(b->Index()));
        ClickAt(bar->Handle(), p.x, p.y);
        PumpPending();
    }
    TBBUTTON Native(int i)
    {
        TBBUTTON b{};
        SendMessageA(bar->Handle(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        return b;
    }
    TToolBar* bar = nullptr;
    TToolButton *back = nullptr, *sep = nullptr, *check = nullptr, *save = nullptr;
    TPopupMenu* menu = nullptr;
    TMenuItem* item = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST_F(ToolBarTest, CommandIdIsTheIndexAndClicksReachTheButtons)
{
    ASSERT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Native(i).idCommand, i);
        EXPECT_EQ(bar->Buttons(i)->Index(), i);
    }
    EXPECT_EQ(Native(1).fsStyle & BTNS_SEP, BTNS_SEP);
    // The buttons sit where the system bar put them.
    EXPECT_EQ(back->BoundsRect(), bar->ButtonRect(0));
    ClickButton(back);
    ClickButton(check);
    ClickButton(check);
    EXPECT_EQ(log, (std::vector<std::string>{"back", "down", "up"}));
}

// A bar that is a tab stop takes the arrows while it has the focus: they move its marked button
// past separators and disabled buttons, round its ends; Enter and Space press the marked one. The
// bar starts on its first button that can be pressed and keeps its mark while the focus is away.
TEST_F(ToolBarTest, ArrowsMoveAmongTheButtonsOfAFocusedBarAndEnterPressesOne)
{
    SetCursorPos(0, 0); // no mouse over the bar marks a button of its own
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetTop(100);
    bar->SetTabStop(true);
    back->SetEnabled(false);
    check->SetEnabled(false);
    bar->SetFocus();
    ASSERT_TRUE(bar->Focused());
    auto hot = [&] { return static_cast<int>(SendMessageA(bar->Handle(), TB_GETHOTITEM, 0, 0)); };
    EXPECT_EQ(hot(), save->Index()) << "the first button that can be pressed";
    back->SetEnabled(true);
    // Through the application's loop, where the dialog keys are told apart.
    auto press = [&](WPARAM Key) {
        PostMessageA(bar->Handle(), WM_KEYDOWN, Key, 1);
        Application->ProcessMessages();
        return hot();
    };
    EXPECT_EQ(press(VK_RIGHT), back->Index()) << "round the end";
    EXPECT_EQ(press(VK_LEFT), save->Index()) << "past the separator and the disabled button";
    EXPECT_EQ(press(VK_DOWN), back->Index());
    EXPECT_EQ(press(VK_UP), save->Index());
    edit->SetFocus();
    bar->SetFocus();
    EXPECT_EQ(hot(), save->Index()) << "the mark kept while the focus was away";
    press(VK_RETURN);
    press(VK_RIGHT);
    press(VK_SPACE);
    EXPECT_TRUE(bar->Focused());
    EXPECT_EQ(log, (std::vector<std::string>{"item", "back"}));
}

TEST_F(ToolBarTest, MenuItemBindingFollowsTheItem)
{
    EXPECT_EQ(save->Caption(), "Сохранить");
    ClickButton(save);
    EXPECT_EQ(log, (std::vector<std::string>{"item"}));
    item->SetEnabled(false);
    item->SetCaption("Сохранить как");
    bar->Repaint();
    EXPECT_FALSE(save->Enabled());
    EXPECT_EQ(save->Caption(), "Сохранить как");
    EXPECT_EQ(Native(3).fsState & TBSTATE_ENABLED, 0);
    item->Free(); // the button forgets the item
    EXPECT_EQ(save->MenuItem(), nullptr);
    ClickButton(save);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(ToolBarTest, RecreatedBarKeepsButtonsAndStates)
{
    check->SetDown(true);
    back->SetEnabled(false);
    HWND before = bar->Handle();
    bar->SetFlat(true);
    EXPECT_NE(bar->Handle(), before);
    ASSERT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_NE(Native(2).fsState & TBSTATE_CHECKED, 0);
    EXPECT_EQ(Native(0).fsState & TBSTATE_ENABLED, 0);
    EXPECT_EQ(Native(3).idCommand, 3);
    char text[64] = {};
    SendMessageA(bar->Handle(), TB_GETBUTTONTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Назад");
}

TEST_F(ToolBarTest, HostedComboBoxSitsOverItsPlaceholder)
{
    TComboBoxEx* combo = Create<TComboBoxEx>(form);
    combo->SetWidth(120);
    combo->SetParent(bar);
    PumpPending();
    EXPECT_EQ(bar->ItemCount(), 5);
    EXPECT_EQ(bar->ButtonCount(), 4);
    TRect slot = bar->ButtonRect(4);
    EXPECT_EQ(combo->Left(), slot.left);
    EXPECT_EQ(slot.right - slot.left, 120);
    EXPECT_EQ(GetParent(combo->Handle()), bar->Handle());
}

TEST_F(ToolBarTest, CustomDrawEventsSeeEveryButton)
{
    std::vector<TToolButton*> drawn;
    int barStages = 0;
    bar->OnAdvancedCustomDraw = [&](TToolBar*, const TRect&, TCustomDrawStage stage, bool&) {
        if (stage == cdPrePaint)
            ++barStages;
    };
    bar->OnAdvancedCustomDrawButton = [&](TToolBar* sender, TToolButton* b, TCustomDrawState, TCustomDrawStage stage,
                                          TTBCustomDrawFlags& flags, bool&) {
        EXPECT_NE(sender->Canvas()->Handle(), nullptr);
        if (stage == cdPrePaint)
            drawn.push_back(b);
        flags << tbNoEdges;
    };
    bar->Repaint();
    PumpPending();
    EXPECT_GE(barStages, 1);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), back), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), check), drawn.end());
}

TEST_F(BarsTest, UpDownKeepsRangeAndPositionAndAsksBeforeChanging)
{
    TUpDown* ud = Create<TUpDown>(form);
    ud->SetParent(form);
    ud->SetBounds(10, 10, 17, 40);
    ud->SetMin(0);
    ud->SetMax(10);
    ud->SetPosition(4);
    std::vector<int> clicks;
    bool allow = true;
    ud->OnChanging = [&](TObject*, bool& a) { a = allow; };
    ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b == btNext ? 1 : -1); };
    ShowForm();
    ClickAt(ud->Handle(), 8, 5); // the upper arrow
    PumpPending();
    EXPECT_EQ(ud->Position(), 5);
    EXPECT_EQ(clicks, (std::vector<int>{1}));
    allow = false;
    ClickAt(ud->Handle(), 8, 35);
    PumpPending();
    EXPECT_EQ(ud->Position(), 5);
    ud->SetOrientation(udHorizontal); // re-created
    EXPECT_EQ(ud->Position(), 5);
    int lo = 0, hi = 0;
    SendMessageA(ud->Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 10);
}

TEST_F(BarsTest, ComboBoxExItemsIndexAndChangeEvent)
{
    TComboBoxEx* combo = Create<TComboBoxEx>(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 200, 22);
    combo->SetStyle(csExDropDownList);
    combo->ItemsEx()->AddItem("Статья", 2);
    combo->ItemsEx()->AddItem("Ссылка", 39, -1, -1, 1);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    ShowForm();
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1);
    EXPECT_EQ(changes, 0); // code sets it quietly
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 2);

    combo->SetStyle(csExDropDown); // re-created
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    COMBOBOXEXITEMA it{};
    char buf[64] = {};
    it.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_INDENT;
    it.iItem = 1;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(combo->Handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(buf, "Ссылка");
    EXPECT_EQ(it.iImage, 39);
    EXPECT_EQ(it.iIndent, 1);

    // The user picks an item: the box reports the selection change to its parent.
    SendMessageA(combo->Handle(), CB_SETCURSEL, 0, 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->ItemsEx()->Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ToolBarTest, ButtonsAreFoundUnderTheMouseForTheirHints)
{
    back->SetHint("Назад по истории");
    TPoint p = bar->ClientToScreen(Centre(bar->ButtonRect(back->Index())));
    EXPECT_EQ(FindDragTarget(p, false), back);
    // Moving over the button reaches the system bar as well (its hot tracking).
    TPoint c = Centre(bar->ButtonRect(check->Index()));
    SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_GETHOTITEM, 0, 0), check->Index());
}

namespace {

// A drop-down menu that notes where it was asked to open instead of opening.
class TRecordingPopup : public TPopupMenu {
    VCL_CLASS(TRecordingPopup, TPopupMenu)
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int X, int Y) override { points.push_back(TPoint{X, Y}); }
    std::vector<TPoint> points;
};

} // namespace

TEST_F(ToolBarTest, DropDownButtonOpensItsMenuUnderTheButton)
{
    TToolButton* filter = AddButton("Показать", tbsDropDown);
    auto* popup = Create<TRecordingPopup>(form);
    filter->SetDropdownMenu(popup);
    PumpPending();
    TRect r = bar->ButtonRect(filter->Index());
    ClickAt(bar->Handle(), r.right - 4, (r.top + r.bottom) / 2); // the arrow part
    PumpPending();
    ASSERT_EQ(popup->points.size(), 1u);
    TPoint expected = bar->ClientToScreen(TPoint{r.left, r.bottom});
    EXPECT_EQ(popup->points[0].x, expected.x);
    EXPECT_EQ(popup->points[0].y, expected.y);
    EXPECT_EQ(popup->PopupComponent, filter);
    popup->Free();
    EXPECT_EQ(filter->DropdownMenu(), nullptr);
}

TEST_F(ToolBarTest, HostedControlWidthAndVisibilityFollowTheirPlaceholder)
{
    TComboBoxEx* combo = Create<TComboBoxEx>(form);
    combo->SetWidth(100);
    combo->SetParent(bar);
    combo->SetWidth(150);
    PumpPending();
    TRect slot = bar->ButtonRect(4);
    EXPECT_EQ(slot.right - slot.left, 150);
    combo->Hide();
    TBBUTTON b{};
    SendMessageA(bar->Handle(), TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&b));
    EXPECT_NE(b.fsState & TBSTATE_HIDDEN, 0);
    // The bar's canvas measures text outside painting too.
    EXPECT_GT(bar->Canvas()->TextHeight("A"), 0);
}

TEST_F(ToolBarTest, ImagesAndGroupedCheckButtons)
{
    TImageList* images = Create<TImageList>(form);
    TBitmap strip(48, 16);
    strip.Canvas()->Brush()->SetColor(clGreen);
    strip.Canvas()->FillRect(RECT{0, 0, 48, 16});
    images->AddMasked(&strip, clFuchsia);
    bar->SetImages(images);
    back->SetImageIndex(2);
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_GETBITMAP, 0, 0), 2);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(bar->Handle(), TB_GETIMAGELIST, 0, 0)), images->Handle());

    TToolButton* a = AddButton("А", tbsCheck);
    TToolButton* b = AddButton("Б", tbsCheck);
    a->SetGrouped(true);
    b->SetGrouped(true);
    a->SetDown(true);
    b->SetDown(true); // one of a group is down
    EXPECT_FALSE(a->Down());
    ClickButton(a);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());
    images->Free(); // the bar forgets the list
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_GETIMAGELIST, 0, 0), 0);
}

TEST_F(BarsTest, UpDownWritesItsPositionIntoTheAssociate)
{
    TPanel* buddy = Create<TPanel>(form);
    buddy->SetParent(form);
    buddy->SetBounds(10, 10, 60, 22);
    TUpDown* ud = Create<TUpDown>(form);
    ud->SetParent(form);
    ud->SetMax(20);
    ud->SetPosition(7);
    ShowForm();
    ud->SetAssociate(buddy);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(ud->Handle(), UDM_GETBUDDY, 0, 0)), buddy->Handle());
    EXPECT_EQ(ud->Left(), buddy->Left() + buddy->Width()); // placed at the associate's right
    ud->SetPosition(9);
    EXPECT_EQ(buddy->Caption(), "9");
    buddy->Free();
    EXPECT_EQ(ud->Associate(), nullptr);
    EXPECT_EQ(ud->Position(), 9);
}
