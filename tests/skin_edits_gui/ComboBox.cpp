// The skinned combo box over the framework's: a read-only box that takes the focus and nothing
// else, the dropped-down query, the button's cell by the look, a glyph picture of its own, the focus
// nobody has, and owner-drawn items that show their own texts.
#include <gtest/gtest.h>

#include "../skin_controls_gui/ControlsKit.h"
#include "Forms.h"
#include "sComboBox.h"
#include "sUtils.h"
#include "sVclUtils.h"

using namespace controlskit;

namespace {

constexpr TColor Face = 0x00E0E0E0, Normal = 0x000000C0, Hot = 0x0000C000, Pressed = 0x00C00000;

// A glyph mask with a picture of its own (no cells counted in the skin), as a skin's JPEG or
// bitmap file gives it: three 11 x 11 cells in the state colours over a black blend band.
void AddGlyph(const char* Section)
{
    TsMaskData m;
    m.Bmp = std::make_unique<TBitmap>(33, 22, pf24bit);
    TCanvas* c = m.Bmp->Canvas();
    const TColor colours[] = {Normal, Hot, Pressed};
    for (int i = 0; i < 3; ++i) {
        c->Brush()->SetColor(colours[i]);
        c->FillRect(Rect(i * 11, 0, i * 11 + 11, 11));
    }
    c->Brush()->SetColor(clBlack);
    c->FillRect(Rect(0, 11, 33, 22));
    m.ClassName = Section;
    m.PropertyName = "GLYPHMASK";
    m.MaskType = 1;
    ma.push_back(std::move(m));
}

class ComboBox : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("COMBOBOX", Face, Face)});
        AddGlyph("COMBOBOX");
    }
    TsComboBox* Make(TComboBoxStyle Style, int Top = 10)
    {
        auto* c = Create<TsComboBox>(form);
        c->SetStyle(Style);
        c->SetBounds(10, Top, 150, 22);
        c->SetParent(form);
        for (const char* s : {"One", "Two", "Three"})
            c->Items()->Add(s);
        return c;
    }
    // The colour at the middle of the button in the box's cache.
    static COLORREF ButtonPixel(TsComboBox* C)
    {
        C->PrepareCache();
        const TRect r = C->ButtonRect();
        return At(C->SkinData()->FCacheBmp.get(), r.left + WidthOf(r) / 2, r.top + 5);
    }
};

// Draws an item of a combo box into a bitmap of its own.
class TDrawingCombo : public TsComboBox {
    VCL_CLASS(TDrawingCombo, TsComboBox)
public:
    using TsComboBox::TsComboBox;
    std::vector<COLORREF> Item(int Index)
    {
        TBitmap bmp(100, 16, pf24bit);
        {
            TLentCanvas lent(Canvas(), bmp.Canvas()->Handle());
            DrawItem(Index, Rect(0, 0, 100, 16), TOwnerDrawState{});
        }
        std::vector<COLORREF> image;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 100; ++x)
                image.push_back(At(&bmp, x, y));
        return image;
    }
};

// Records the system commands a form is sent and keeps them from acting.
class TSysCommands : public TComponent {
    VCL_CLASS(TSysCommands, TComponent)
public:
    TSysCommands(TComponent* AOwner, TControl* Target) : TComponent(AOwner), control(Target)
    {
        saved = control->WindowProc;
        control->WindowProc = TWndMethod(this, &TSysCommands::NewWndProc);
    }
    ~TSysCommands() override { control->WindowProc = saved; }
    void NewWndProc(TMessage& Message)
    {
        if (Message.Msg == WM_SYSCOMMAND) {
            seen.push_back(Message.WParam & 0xFFF0);
            return;
        }
        saved(Message);
    }
    TControl* control;
    TWndMethod saved;
    std::vector<WPARAM> seen;
};

} // namespace

TEST_F(ComboBox, AReadOnlyBoxTakesTheFocusAndNothingElse)
{
    TsComboBox* list = Make(csDropDownList);
    TsComboBox* edit = Make(csDropDown, 50);
    for (TsComboBox* c : {list, edit}) {
        c->SetReadOnly(true);
        c->SetItemIndex(1);
    }
    form->Show();
    testkit::WaitIdle();
    int changes = 0;
    list->OnChange = edit->OnChange = [&](TObject*) { ++changes; };
    for (TsComboBox* c : {list, edit}) {
        const HWND keys = c->EditHandle() ? c->EditHandle() : c->Handle();
        const TRect button = c->ButtonRect();
        SendMessageA(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(button.left + 5, 10));
        SendMessageA(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(button.left + 5, 10));
        EXPECT_TRUE(c->Focused()) << "a press focuses";
        SendMessageA(keys, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageA(keys, WM_KEYDOWN, VK_F4, 0);
        SendMessageA(keys, WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
        SendMessageA(keys, WM_CHAR, 'T', 0);
        SendMessageA(keys, WM_PASTE, 0, 0);
        testkit::WaitIdle();
        EXPECT_FALSE(c->DroppedDown());
        EXPECT_EQ(c->ItemIndex(), 1);
        EXPECT_EQ(c->Text(), "Two");
    }
    EXPECT_EQ(changes, 0);

    // The window's own keys pass: Alt alone opens the menu, Alt+Space the system menu, Alt+F4 closes.
    auto* commands = Create<TSysCommands>(form, form);
    for (TsComboBox* c : {list, edit}) {
        const HWND keys = c->EditHandle() ? c->EditHandle() : c->Handle();
        commands->seen.clear();
        SendMessageA(keys, WM_SYSKEYDOWN, VK_MENU, 0x20000000);
        SendMessageA(keys, WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xE0000000));
        SendMessageA(keys, WM_SYSCHAR, ' ', 0x20000000);
        SendMessageA(keys, WM_SYSKEYDOWN, VK_F4, 0x20000000);
        testkit::WaitIdle();
        EXPECT_EQ(commands->seen, (std::vector<WPARAM>{SC_KEYMENU, SC_KEYMENU, SC_CLOSE})) << c->Style();
        EXPECT_FALSE(c->DroppedDown());
    }
    commands->Free();
}

TEST_F(ComboBox, TheDroppedQueryAnswersInResultAndTheButtonShowsTheLook)
{
    TsComboBox* c = Make(csDropDownList);
    auto* sink = Create<TEdit>(form);
    sink->SetBounds(10, 100, 50, 22);
    sink->SetParent(form);
    form->Show();
    sink->SetFocus();
    testkit::WaitIdle();
    EXPECT_EQ(c->ButtonHeight(), 11) << "one cell of a glyph picture of its own";
    EXPECT_EQ(ButtonPixel(c), Through(Normal));
    c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(ButtonPixel(c), Through(Hot));
    c->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));

    c->SetFocus();
    c->SetDroppedDown(true);
    ASSERT_TRUE(c->DroppedDown());
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_GETDROPPEDDOWN), 0);
    c->WindowProc(m);
    EXPECT_EQ(m.Result, 1);
    EXPECT_EQ(m.LParam, 0);
    EXPECT_EQ(ButtonPixel(c), Through(Pressed));
    c->SkinData()->MouseAbove = false;
    c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
    EXPECT_FALSE(c->SkinData()->MouseAbove) << "no hover while the list is open";
    c->SetDroppedDown(false);
    testkit::WaitIdle();
    m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_GETDROPPEDDOWN), 0);
    c->WindowProc(m);
    EXPECT_EQ(m.Result, 0);
}

TEST_F(ComboBox, NothingFocusedIsNoFocusOfTheBox)
{
    TsComboBox* list = Make(csDropDownList);
    TsComboBox* edit = Make(csDropDown, 50);
    form->Show();
    list->SetFocus();
    EXPECT_TRUE(list->Focused());
    edit->SetFocus();
    EXPECT_TRUE(edit->Focused());
    EXPECT_FALSE(list->Focused());
    ::SetFocus(nullptr);
    EXPECT_FALSE(list->Focused());
    EXPECT_FALSE(edit->Focused());
}

TEST_F(ComboBox, OwnerDrawnItemsShowTheirOwnTexts)
{
    Clear(); // drawn the framework's way
    auto* c = Create<TDrawingCombo>(form);
    c->SetStyle(csOwnerDrawFixed);
    c->SetParent(form);
    for (const char* s : {"One", "Two"})
        c->Items()->Add(s);
    c->SetItemIndex(0);
    const std::vector<COLORREF> two = c->Item(1);
    EXPECT_NE(c->Item(0), two);
    c->SetItemIndex(1);
    EXPECT_EQ(c->Item(1), two) << "whatever is selected";
}
