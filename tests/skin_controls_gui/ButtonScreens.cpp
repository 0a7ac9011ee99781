// A form of the skinned glyph buttons in both shipped skins; a picture of each is written into the
// working folder (skinned_buttons_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sBitBtn.h"
#include "sGlyphUtils.h"

using namespace formskit;

namespace {

class TButtonsForm : public TForm {
    VCL_CLASS(TButtonsForm, TForm)
public:
    explicit TButtonsForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 420, 200);
        SetCaption("Buttons");
        Create<TsSkinProvider>(this);
        Open = GlyphButton("Open", "BTN_OPENFOLDER", 20, 20, 110, 28);
        Open->SetDefault(true);
        GlyphButton("Disabled", "BTN_OPENFILE", 150, 20, 110, 28)->SetEnabled(false);
        auto* top = GlyphButton("Calculator", "BTN_CALC", 280, 20, 110, 56);
        top->SetLayout(blGlyphTop);
        auto* right = GlyphButton("Date", "BTN_DATE", 20, 60, 110, 28);
        right->SetLayout(blGlyphRight);
        LoadedAll(this);
    }
    TsBitBtn* GlyphButton(const char* Caption, const char* Glyph, int X, int Y, int W, int H)
    {
        auto* b = Create<TsBitBtn>(this);
        b->SetBounds(X, Y, W, H);
        b->SetCaption(Caption);
        // The normal cell of a built-in glyph: 16 x 16, 0xFF00FF where nothing is drawn.
        TBitmap cell(16, 16, pf24bit);
        BitBlt(cell.Canvas()->Handle(), 0, 0, 16, 16, GetResBmp(Glyph)->Canvas()->Handle(), 0, 0, SRCCOPY);
        b->SetGlyph(&cell);
        b->SetParent(this);
        return b;
    }
    TsBitBtn* Open = nullptr;
};

using ButtonScreens = SkinnedFormTest;

} // namespace

TEST_F(ButtonScreens, GlyphButtonsAreDrawnByTheSkin)
{
    InShippedSkins<TButtonsForm>("skinned_buttons_", [](TButtonsForm* form, const char* skin) {
        const TRect r = form->Open->ImgRect();
        const testkit::PixelImage look = testkit::PrintWindowPixels(form->Open->Handle());
        EXPECT_LT(look.CountColor(r, look.Pixel(r.left - 1, r.top)), 16 * 16 / 2) << skin << ": the glyph shows";
        EXPECT_EQ(look.CountColor(r, 0xFF00FF), 0) << skin;
    });
}
