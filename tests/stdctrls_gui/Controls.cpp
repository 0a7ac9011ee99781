// Edits, memos, buttons, check boxes, radio buttons, speed buttons and labels.
#include "Buttons.h"
#include "FormTest.h"
#include "RadioGroup.h"
#include "StdCtrls.h"
#include "TestKit.h"

#include <random>

using namespace testkit;

namespace {

void Click(TWinControl* Button)
{
    SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
    Application->ProcessMessages();
}

// Presses and releases the left button on a windowless control at a point of its own.
void MouseClick(TControl* Control, int X = 3, int Y = 3)
{
    Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
}

class ControlsTest : public FormTest {
protected:
    TForm* ShownForm()
    {
        TForm* form = MakeForm();
        form->SetBounds(50, 50, 420, 320);
        form->Show();
        return form;
    }
};

} // namespace

TEST_F(ControlsTest, EditChangeEnterAndSelection)
{
    TForm* form = ShownForm();
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 21);
    int changes = 0;
    std::vector<char> keys;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnKeyPress = [&](TObject*, char& Key) { keys.push_back(Key); };
    edit->SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetFocus();
    PostMessageA(edit->Handle(), WM_KEYDOWN, VK_END, 1);
    PostMessageA(edit->Handle(), WM_CHAR, 'd', 1);
    Application->ProcessMessages();
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(edit->Modified());
    // Enter arrives as character 13 through the keyboard pipeline.
    PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1 | (MapVirtualKeyA(VK_RETURN, 0) << 16));
    Application->ProcessMessages();
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), 13);

    edit->SetSelStart(1);
    edit->SetSelLength(2);
    EXPECT_EQ(edit->SelText(), "bc");
    edit->SetSelText("X");
    EXPECT_EQ(edit->Text(), "aXd");
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), "abcd");
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 4);
    edit->SetMaxLength(5);
    edit->SetSelStart(4);
    PostMessageA(edit->Handle(), WM_CHAR, 'e', 1);
    PostMessageA(edit->Handle(), WM_CHAR, 'f', 1);
    Application->ProcessMessages();
    EXPECT_EQ(edit->Text(), "abcde") << "MaxLength stops typing";
}

TEST_F(ControlsTest, EditStateSurvivesRecreateAndLivesWithoutAWindow)
{
    TForm* form = MakeForm();
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetText("hidden text");
    edit->SetSelStart(2);
    edit->SetSelLength(4);
    edit->SetAutoSelect(false); // the focus the shown form gives it keeps the selection
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_EQ(edit->SelText(), "dden");
    form->Show();
    EXPECT_EQ(edit->Text(), "hidden text");
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 4);
    edit->SetModified(true);
    edit->SetPasswordChar('*');
    HWND before = edit->Handle();
    edit->SetCharCase(ecUpperCase); // re-creates the window
    EXPECT_NE(edit->Handle(), before);
    EXPECT_EQ(edit->Text(), "HIDDEN TEXT") << "the upper-case style converts the text";
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_UPPERCASE);
}

TEST_F(ControlsTest, MemoRoundTripsALargeTextWithWordWrap)
{
    TempDir dir;
    TForm* form = ShownForm();
    auto* memo = Create<TMemo>(form);
    memo->SetParent(form);
    memo->SetBounds(5, 5, 120, 100);
    ASSERT_TRUE(memo->WordWrap());
    // Long lines (wrapped on screen), short lines, empty lines, Cyrillic; 100,000 characters.
    std::mt19937 rng(7);
    AnsiString text;
    const char* words[] = {"слово", "word", "longerword", "x", "Пример"};
    while (text.size() < 100000) {
        int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            text += words[rng() % 5];
            text += ' ';
        }
        text += "\r\n";
        if (rng() % 7 == 0)
            text += "\r\n";
    }
    text.resize(100000 - 2);
    text += "\r\n";
    WriteFileBytes(dir / "in.txt", text);
    memo->Lines()->LoadFromFile(dir / "in.txt");
    EXPECT_EQ(memo->Text().size(), text.size()) << "no 32,767 character limit";
    memo->Lines()->SaveToFile(dir / "out.txt");
    EXPECT_TRUE(ReadFileBytes(dir / "out.txt") == text) << "the saved text is the real text, not the wrapped lines";
    int realLines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(memo->Lines()->Count(), realLines);
    EXPECT_GT(SendMessageA(memo->Handle(), EM_GETLINECOUNT, 0, 0), realLines) << "the window does wrap";

    // Typing-style appends past the old limit are kept too.
    memo->Lines()->Clear();
    AnsiString line(1000, 'q');
    for (int i = 0; i < 40; ++i)
        memo->Lines()->Add(line);
    EXPECT_EQ(memo->Lines()->Count(), 40);
    EXPECT_EQ(memo->Lines()->Get(39), line);
}

TEST_F(ControlsTest, MemoLinesEditingAndOptionsAcrossRecreate)
{
    TForm* form = ShownForm();
    auto* memo = Create<TMemo>(form);
    memo->SetParent(form);
    memo->Lines()->Add("one");
    memo->Lines()->Add("two");
    memo->Lines()->Insert(1, "middle");
    memo->Lines()->Put(0, "ONE");
    memo->Lines()->Delete(2);
    EXPECT_EQ(memo->Text(), "ONE\r\nmiddle\r\n");
    memo->Lines()->SetText("a\nb\rc");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc") << "line breaks are made CR/LF";
    EXPECT_EQ(memo->Lines()->Count(), 3);
    memo->Lines()->Add("d");
    EXPECT_EQ(memo->Lines()->Get(3), "d");
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    EXPECT_EQ(memo->Lines()->Count(), 4);
    DWORD style = static_cast<DWORD>(GetWindowLongA(memo->Handle(), GWL_STYLE));
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    memo->SetWantReturns(false);
    EXPECT_EQ(memo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, 0);
    memo->SetWantTabs(true);
    EXPECT_NE(memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
}

TEST_F(ControlsTest, CheckBoxCyclesThroughGrayedAndKeepsStateAcrossRecreate)
{
    TForm* form = ShownForm();
    auto* box = Create<TCheckBox>(form);
    box->SetParent(form);
    box->SetCaption("&Option");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetAllowGrayed(true);
    std::vector<TCheckBoxState> states;
    for (int i = 0; i < 4; ++i) {
        Click(box);
        states.push_back(box->State());
        EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), box->State()) << "the window shows the state";
    }
    EXPECT_EQ(states, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked, cbGrayed}));
    EXPECT_EQ(clicks, 4);
    box->SetAllowGrayed(false);
    Click(box);
    EXPECT_EQ(box->State(), cbChecked) << "grayed becomes checked";
    Click(box);
    Click(box);
    EXPECT_EQ(box->State(), cbChecked) << "without AllowGrayed only two states";
    EXPECT_TRUE(box->Checked());
    box->SetState(cbGrayed);
    box->SetAlignment(taLeftJustify); // re-creates the window
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(box->Text(), "&Option");
    clicks = 0;
    box->SetCheckedValue(false);
    EXPECT_EQ(clicks, 1) << "setting the state in code fires OnClick";
}

TEST_F(ControlsTest, RadioButtonsAndRadioGroupAreExclusive)
{
    TForm* form = ShownForm();
    TRadioButton* r[3];
    int clicks[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        r[i] = Create<TRadioButton>(form);
        r[i]->SetParent(form);
        r[i]->SetBounds(10, 10 + 20 * i, 100, 17);
        r[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    Click(r[1]);
    EXPECT_TRUE(r[1]->Checked());
    Click(r[2]);
    EXPECT_FALSE(r[1]->Checked());
    EXPECT_TRUE(r[2]->Checked());
    EXPECT_EQ(SendMessageA(r[1]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(clicks[1], 1);
    EXPECT_EQ(clicks[2], 1);
    r[0]->SetCheckedValue(true);
    EXPECT_FALSE(r[2]->Checked());
    r[0]->RecreateWnd();
    EXPECT_EQ(SendMessageA(r[0]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);

    // A radio group is a group of its own.
    auto* group = Create<TRadioGroup>(form);
    group->SetParent(form);
    group->SetBounds(150, 10, 200, 120);
    group->SetCaption("Mode");
    group->Items()->Add("first");
    group->Items()->Add("second");
    group->Items()->Add("third");
    group->SetColumns(2);
    int groupClicks = 0;
    group->OnClick = [&](TObject*) { ++groupClicks; };
    group->SetItemIndex(1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    EXPECT_TRUE(r[0]->Checked()) << "buttons on the form are not in the group";
    Click(group->Buttons(2));
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_GE(groupClicks, 2);
    EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left()) << "the third button is in the second column";

    // The arrow keys choose the radio button they move to, on the form and in the group.
    r[0]->SetFocus();
    PostMessageA(r[0]->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    Application->ProcessMessages();
    EXPECT_TRUE(r[1]->Focused());
    EXPECT_TRUE(r[1]->Checked());
    EXPECT_FALSE(r[0]->Checked());
    EXPECT_EQ(clicks[1], 2);
    group->Buttons(2)->SetFocus();
    PostMessageA(group->Buttons(2)->Handle(), WM_KEYDOWN, VK_UP, 1);
    Application->ProcessMessages();
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(r[1]->Checked()) << "the form's buttons keep theirs";
}

TEST_F(ControlsTest, ButtonsDefaultCancelModalResultAndKinds)
{
    TForm* form = ShownForm();
    auto* ok = Create<TButton>(form);
    ok->SetParent(form);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Create<TBitBtn>(form);
    cancel->SetParent(form);
    cancel->SetLeft(100);
    cancel->SetKind(bkCancel);
    EXPECT_EQ(cancel->Text(), "Cancel");
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    EXPECT_TRUE(cancel->Cancel());
    int okClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    ok->Click();
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->SetModalResult(mrNone);
    Click(ok);
    EXPECT_EQ(okClicks, 2) << "BN_CLICKED runs Click";
    // Enter and Escape as dialog keys of the form.
    form->SetModalResult(mrNone);
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(form->ModalResult(), mrCancel);
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(okClicks, 3);
    form->SetModalResult(mrNone);
    // The accelerator of a caption.
    ok->SetCaption("&Go");
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(okClicks, 4);
    form->SetModalResult(mrNone);

    // Enter and Space answer with the focused button; the default one takes Enter only while no
    // other button has the focus.
    ok->SetFocus();
    PostMessageA(ok->Handle(), WM_KEYDOWN, VK_TAB, 1);
    Application->ProcessMessages();
    ASSERT_TRUE(cancel->Focused());
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        PostMessageA(cancel->Handle(), WM_KEYDOWN, key, 1);
        PostMessageA(cancel->Handle(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        Application->ProcessMessages();
        EXPECT_EQ(form->ModalResult(), mrCancel) << key;
        EXPECT_EQ(okClicks, 4) << key;
        form->SetModalResult(mrNone);
    }
    // A click into a combo box's edit moves the focus from the button too: Enter there is the
    // default button's again, and the combo hears its enter.
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    combo->SetTop(40);
    int enters = 0;
    combo->OnEnter = [&](TObject*) { ++enters; };
    combo->HandleNeeded();
    HWND edit = combo->EditHandle();
    ASSERT_TRUE(edit);
    ::SetFocus(edit);
    EXPECT_EQ(enters, 1);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    Application->ProcessMessages();
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(okClicks, 5);
    // Made the default one or not while a button has the focus: Enter stays with that button.
    form->SetModalResult(mrNone);
    cancel->SetFocus();
    ok->SetDefault(false);
    ok->SetDefault(true);
    cancel->SetDefault(true);
    cancel->SetDefault(false);
    PostMessageA(cancel->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Application->ProcessMessages();
    EXPECT_EQ(form->ModalResult(), mrCancel);
    EXPECT_EQ(okClicks, 5);
}

TEST_F(ControlsTest, SpeedButtonGroups)
{
    TForm* form = ShownForm();
    TSpeedButton* b[3];
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        b[i] = Create<TSpeedButton>(form);
        b[i]->SetParent(form);
        b[i]->SetBounds(10 + 25 * i, 10, 23, 22);
        b[i]->SetGroupIndex(1);
        b[i]->OnClick = [&](TObject*) { ++clicks; };
    }
    auto* plain = Create<TSpeedButton>(form);
    plain->SetParent(form);
    plain->SetBounds(100, 10, 23, 22);
    plain->OnClick = [&](TObject*) { ++clicks; };

    MouseClick(b[0]);
    EXPECT_TRUE(b[0]->Down());
    MouseClick(b[1]);
    EXPECT_TRUE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down()) << "one button of a group is down";
    MouseClick(b[1]);
    EXPECT_TRUE(b[1]->Down()) << "without AllowAllUp the last one stays down";
    EXPECT_EQ(clicks, 3);
    b[0]->SetAllowAllUp(true);
    MouseClick(b[1]);
    EXPECT_FALSE(b[1]->Down()) << "AllowAllUp is shared by the group";
    b[2]->SetDown(true);
    EXPECT_FALSE(b[0]->Down());
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(b[2]->State(), bsExclusive);

    MouseClick(plain);
    EXPECT_FALSE(plain->Down()) << "a button without a group never stays down";
    EXPECT_EQ(clicks, 5);
    // A release outside the button is no click.
    plain->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    plain->Perform(WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    EXPECT_EQ(clicks, 5);

    // A flat button is transparent by default: the parent's colour shows through it.
    form->SetColor(clRed);
    plain->SetFlat(true);
    auto centre = [&] {
        return PrintWindowPixels(form->Handle(), true).Pixel(plain->Left() + 12, plain->Top() + 11);
    };
    EXPECT_EQ(centre(), ColorToRGB(clRed));
    plain->SetTransparent(false);
    EXPECT_EQ(centre(), ColorToRGB(clBtnFace));
}

namespace {
// A label that draws a shadow 3 pixels to the right and below its text, and measures it so.
class TShadowLabel : public TLabel {
    VCL_CLASS(TShadowLabel, TLabel)
public:
    using TLabel::TLabel;

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override
    {
        inherited::DoDrawText(Rect, Flags);
        if (Flags & DT_CALCRECT) {
            Rect.right += 3;
            Rect.bottom += 3;
        }
    }
};
} // namespace

TEST_F(ControlsTest, LabelSizesItselfAndFocusesItsControl)
{
    TForm* form = ShownForm();
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(100, 10, 100, 21);
    auto* label = Create<TLabel>(form);
    label->SetParent(form);
    label->SetBounds(10, 10, 10, 10);
    label->SetCaption("&Name:");
    label->SetFocusControl(edit);
    int w = label->Width();
    EXPECT_GT(w, 20) << "AutoSize fits the caption";
    label->SetCaption("&Name: longer");
    EXPECT_GT(label->Width(), w);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    Application->ProcessMessages();
    EXPECT_TRUE(edit->Focused());
    label->SetShowAccelChar(false);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'n', 0), 0);

    // AutoSize measures with the label's own drawing.
    auto* shadow = Create<TShadowLabel>(form);
    shadow->SetParent(form);
    shadow->SetShowAccelChar(false);
    shadow->SetCaption(label->Caption());
    EXPECT_EQ(shadow->Width(), label->Width() + 3);
    EXPECT_EQ(shadow->Height(), label->Height() + 3);
}

TEST_F(ControlsTest, ButtonLayoutPlacesGlyphAndCaption)
{
    TRect client = Rect(0, 0, 100, 30);
    auto left = CalcButtonLayout(client, TSize{16, 16}, TSize{40, 13}, blGlyphLeft, -1, 4);
    EXPECT_EQ(left.GlyphPos.x, 20);
    EXPECT_EQ(left.TextBounds.left, 40);
    EXPECT_EQ(left.GlyphPos.y, 7);
    auto right = CalcButtonLayout(client, TSize{16, 16}, TSize{40, 13}, blGlyphRight, 5, 4);
    EXPECT_EQ(right.GlyphPos.x, 79);
    EXPECT_EQ(right.TextBounds.right, 75);
    auto top = CalcButtonLayout(Rect(0, 0, 60, 60), TSize{16, 16}, TSize{40, 13}, blGlyphTop, 2, -1);
    EXPECT_EQ(top.GlyphPos.y, 2);
    EXPECT_EQ(top.TextBounds.top, 2 + 16 + (60 - 18 - 13) / 2);
    auto textOnly = CalcButtonLayout(client, TSize{0, 0}, TSize{40, 13}, blGlyphLeft, 3, 4);
    EXPECT_EQ(textOnly.TextBounds.left, 30);
}

TEST_F(ControlsTest, FormWithEveryControlLooksRight)
{
    TForm* form = MakeForm();
    form->SetBounds(30, 30, 520, 360);
    form->SetCaption("Controls");
    auto* label = Create<TLabel>(form);
    label->SetParent(form);
    label->SetBounds(10, 12, 60, 17);
    label->SetCaption("&Address:");
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(80, 10, 160, 21);
    edit->SetText("Edit text");
    auto* combo = Create<TComboBox>(form);
    combo->SetParent(form);
    combo->SetBounds(250, 10, 160, 21);
    combo->Items()->Add("Combo item");
    combo->SetItemIndex(0);
    auto* memo = Create<TMemo>(form);
    memo->SetParent(form);
    memo->SetBounds(10, 40, 230, 80);
    memo->SetScrollBars(ssVertical);
    memo->Lines()->SetText("Memo line one\r\nMemo line two, long enough to wrap around the edge");
    auto* list = Create<TListBox>(form);
    list->SetParent(form);
    list->SetBounds(250, 40, 160, 80);
    for (const char* s : {"List one", "List two", "List three"})
        list->Items()->Add(s);
    list->SetItemIndex(1);
    auto* check = Create<TCheckBox>(form);
    check->SetParent(form);
    check->SetBounds(10, 130, 110, 17);
    check->SetCaption("Check box");
    check->SetCheckedValue(true);
    auto* radio = Create<TRadioButton>(form);
    radio->SetParent(form);
    radio->SetBounds(130, 130, 110, 17);
    radio->SetCaption("Radio");
    radio->SetCheckedValue(true);
    auto* group = Create<TRadioGroup>(form);
    group->SetParent(form);
    group->SetBounds(250, 125, 160, 80);
    group->SetCaption("Radio group");
    group->Items()->Add("First");
    group->Items()->Add("Second");
    group->SetItemIndex(0);
    auto* box = Create<TGroupBox>(form);
    box->SetParent(form);
    box->SetBounds(10, 155, 230, 60);
    box->SetCaption("Group box");
    auto* inner = Create<TButton>(form);
    inner->SetParent(box);
    inner->SetBounds(10, 22, 75, 25);
    inner->SetCaption("Inside");
    auto* button = Create<TButton>(form);
    button->SetParent(form);
    button->SetBounds(10, 225, 75, 25);
    button->SetCaption("Button");
    button->SetDefault(true);
    auto* bit = Create<TBitBtn>(form);
    bit->SetParent(form);
    bit->SetBounds(95, 225, 90, 25);
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(clGreen);
    glyph.Canvas()->FillRect(Rect(3, 3, 13, 13));
    bit->SetGlyph(&glyph);
    bit->SetKind(bkOK);
    TSpeedButton* speeds[2];
    for (int i = 0; i < 2; ++i) {
        speeds[i] = Create<TSpeedButton>(form);
        speeds[i]->SetParent(form);
        speeds[i]->SetBounds(195 + 30 * i, 225, 28, 25);
        speeds[i]->SetGroupIndex(1);
        speeds[i]->SetGlyph(&glyph);
    }
    speeds[1]->SetDown(true);
    form->Show();
    Application->ProcessMessages();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    // The bit button's glyph shows its green square; its fuchsia corner is transparent.
    PixelImage pixels = PrintWindowPixels(bit->Handle(), true);
    RECT all{0, 0, pixels.Width(), pixels.Height()};
    EXPECT_GT(pixels.CountColor(all, RGB(0, 128, 0)), 50);
    EXPECT_EQ(pixels.CountColor(all, RGB(255, 0, 255)), 0);
    if (const char* shot = getenv("VELLORN_STDCTRLS_SHOT"))
        SaveScreenshot(shot, form->Handle());
}
