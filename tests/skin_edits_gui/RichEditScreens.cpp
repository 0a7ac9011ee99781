// A form with a rich edit of many lines in both shipped skins; a picture of each is written into
// the working folder (skinned_richedit_<skin>.png).
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sRichEdit.h"

using namespace formskit;

namespace {

class TRichEditForm : public TForm {
    VCL_CLASS(TRichEditForm, TForm)
public:
    explicit TRichEditForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 320, 220);
        SetCaption("Rich edit");
        Create<TsSkinProvider>(this);
        Edit = Create<TsRichEdit>(this);
        Edit->SetBounds(12, 12, 280, 150);
        Edit->SetScrollBars(ssBoth);
        Edit->SetWordWrap(false);
        Edit->SetParent(this);
        AnsiString text;
        for (int i = 1; i <= 30; ++i)
            text += "Line " + IntToStr(i) + " of a text whose lines are much longer than the edit is wide, so it scrolls sideways\r\n";
        Edit->SetText(text);
        LoadedAll(this);
    }
    TsRichEdit* Edit = nullptr;
};

using RichEditScreens = SkinnedFormTest;

} // namespace

TEST_F(RichEditScreens, TextFrameAndBarsAreDrawnByTheSkin)
{
    InShippedSkins<TRichEditForm>("skinned_richedit_", [](TRichEditForm* form, const char* skin) {
        ASSERT_TRUE(form->Edit->VSBar && form->Edit->VSBar->Visible()) << skin;
        ASSERT_TRUE(form->Edit->HSBar && form->Edit->HSBar->Visible()) << skin;
        // The text's background is the edit's colour from the section.
        const testkit::PixelImage edit = testkit::ScreenPixels(form->Edit->Handle());
        EXPECT_EQ(edit.Pixel(edit.Width() / 2, 100), static_cast<COLORREF>(ColorToRGB(form->Edit->Color()))) << skin;
    });
}
