// A form with a frame bar, its first title open on the default frame, in both shipped skins; a
// picture of each is written into the working folder (skinned_framebar_<skin>.png).
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sFrameBar.h"

using namespace formskit;

namespace {

class TFrameBarForm : public TForm {
    VCL_CLASS(TFrameBarForm, TForm)
public:
    explicit TFrameBarForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 360, 300);
        SetCaption("Frame bar");
        Create<TsSkinProvider>(this);
        Bar = Create<TsFrameBar>(this);
        Bar->SetWidth(200);
        Bar->Animation = false;
        Bar->SetParent(this);
        for (const char* caption : {"Folders", "Marks", "Search"})
            Bar->Items()->Add()->SetCaption(caption);
        LoadedAll(this);
        Bar->OpenItem(0, false);
    }
    TsFrameBar* Bar = nullptr;
};

using FrameBarScreens = SkinnedFormTest;

} // namespace

TEST_F(FrameBarScreens, TitlesAndTheOpenFrameAreDrawnByTheSkin)
{
    InShippedSkins<TFrameBarForm>("skinned_framebar_", [](TFrameBarForm* form, const char* skin) {
        // The open title is drawn hot, the closed ones normal: they differ.
        const testkit::PixelImage bar = testkit::ScreenPixels(form->Bar->Handle());
        const TsTitleItem* open = form->Bar->Items()->Items(0);
        const TsTitleItem* closed = form->Bar->Items()->Items(2);
        const int x = 2 + open->TitleButton->Left() + open->TitleButton->Width() - 10;
        const int y = 2 + 14;
        EXPECT_NE(bar.Pixel(x, y + open->TitleButton->Top()), bar.Pixel(x, y + closed->TitleButton->Top()))
            << skin;
    });
}
