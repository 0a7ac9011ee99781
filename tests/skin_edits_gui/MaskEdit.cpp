// The skinned mask edit: its text from the cache (none for an empty edit, also what the user
// types), a look chosen by a subclass's IsActive, and a frame painted into a given DC that stays
// its owner's.
#include <gtest/gtest.h>

#include "../skin_controls_gui/ControlsKit.h"
#include "sMaskEdit.h"

using namespace controlskit;

namespace {

constexpr TColor Green = 0x00208020, Hot = 0x00F0E0D0, Ink = 0x00E0F0FF, HotInk = 0x000000C0;
constexpr TColor Normal = 0x000000FF, Lit = 0x00FF0000;

// A mask edit that always shows its active look.
class TAlwaysActive : public TsMaskEdit {
    VCL_CLASS(TAlwaysActive, TsMaskEdit)
public:
    using TsMaskEdit::TsMaskEdit;
    bool IsActive() override { return true; }
};

class MaskEdit : public TablesTest {
protected:
    void SetUp() override
    {
        TablesTest::SetUp();
        Activate({Section("EDIT", Green, Hot, Ink, HotInk)});
        AddBorder("EDIT", {Normal, Lit, Lit});
    }
    template <class T = TsMaskEdit>
    T* Make(const char* Text, int Top)
    {
        auto* e = Create<T>(form);
        e->SetBounds(10, Top, 120, 22);
        e->SetText(Text);
        e->SetParent(form);
        return e;
    }
    // Shown with the focus on a plain edit of its own.
    void Show()
    {
        auto* sink = Create<TEdit>(form);
        sink->SetBounds(200, 10, 40, 22);
        sink->SetParent(form);
        form->Show();
        sink->SetFocus();
        testkit::WaitIdle();
    }
    static int Count(TsMaskEdit* E, TColor C)
    {
        E->PrepareCache();
        return testkit::PrintWindowPixels(E->Handle()).CountColor(RECT{2, 2, 118, 20}, static_cast<COLORREF>(C));
    }
};

} // namespace

TEST_F(MaskEdit, ItsTextComesFromTheCacheNoneForAnEmptyEditAndWhatTheUserTypes)
{
    TsMaskEdit* empty = Make("", 10);
    TsMaskEdit* full = Make("Text", 40);
    Show();
    EXPECT_EQ(Count(empty, Ink), 0);
    EXPECT_GT(Count(full, Ink), 0);

    empty->SetFocus();
    testkit::WaitIdle();
    SendMessageA(empty->Handle(), WM_CHAR, 'W', 0);
    testkit::WaitIdle();
    EXPECT_EQ(empty->Text(), "W");
    const testkit::PixelImage shown = testkit::ScreenPixels(empty->Handle());
    EXPECT_GT(shown.CountColor(RECT{2, 2, 118, 20}, static_cast<COLORREF>(HotInk)), 0) << "typed, in the focused look";
    EXPECT_EQ(shown.Pixel(1, 1), Through(Lit));
}

TEST_F(MaskEdit, ASubclassThatIsAlwaysActiveGetsTheHotTextAndFrameIntoAGivenDCThatStaysItsOwners)
{
    auto* e = Make<TAlwaysActive>("Text", 10);
    Show();
    EXPECT_GT(Count(e, HotInk), 0);
    EXPECT_EQ(Count(e, Ink), 0);
    HDC dc = GetWindowDC(e->Handle());
    e->PaintBorder(dc);
    EXPECT_EQ(GetPixel(dc, 1, 1), Through(Lit));
    EXPECT_EQ(ReleaseDC(e->Handle(), dc), 1) << "still held when painted into";
}

TEST_F(MaskEdit, AnEmptyMaskedEditPaintsItsBlanksInEveryLook)
{
    TsMaskEdit* normal = Make("", 10);
    auto* active = Make<TAlwaysActive>("", 40);
    for (TsMaskEdit* e : {normal, static_cast<TsMaskEdit*>(active)})
        e->SetEditMask("00000;1;_");
    Show();
    EXPECT_EQ(normal->EditText(), "_____");
    EXPECT_EQ(normal->Text(), "     ") << "the value has no ink: what shows is the display text";
    EXPECT_GT(Count(normal, Ink), 0);
    EXPECT_GT(Count(active, HotInk), 0);
}
