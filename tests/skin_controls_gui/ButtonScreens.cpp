// A form of the skinned glyph and speed buttons in both shipped skins; a picture of each is written into the
// working folder (skinned_buttons_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sBitBtn.h"
#include "sGlyphUtils.h"
#include "sSpeedButton.h"

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
        // A tool row of speed buttons: plain, held down, a divider, a drop-down, disabled.
        Speed = SpeedButton("BTN_OPENFILE", 20, 110, 28);
        auto* held = SpeedButton("BTN_OPENFOLDER", 50, 110, 28);
        held->SetGroupIndex(1);
        held->SetDown(true);
        SpeedButton("", 80, 110, 10)->SetButtonStyle(tbsDivider);
        auto* drop = SpeedButton("BTN_DATE", 92, 110, 28);
        drop->SetButtonStyle(tbsDropDown);
        SpeedButton("BTN_CALC", 140, 110, 28)->SetEnabled(false);
        auto* caption = SpeedButton("BTN_ELLIPSIS", 180, 110, 100);
        caption->SetCaption("Speed");
        LoadedAll(this);
    }
    static void Cell(TBitmap* Glyph, const char* Name)
    {
        // The normal cell of a built-in glyph: 16 x 16, 0xFF00FF where nothing is drawn.
        Glyph->SetPixelFormat(pf24bit);
        Glyph->SetSize(16, 16);
        BitBlt(Glyph->Canvas()->Handle(), 0, 0, 16, 16, GetResBmp(Name)->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    TsSpeedButton* SpeedButton(const char* Glyph, int X, int Y, int W)
    {
        auto* b = Create<TsSpeedButton>(this);
        b->SetBounds(X, Y, W, 28);
        if (*Glyph) {
            TBitmap cell;
            Cell(&cell, Glyph);
            b->SetGlyph(&cell);
        }
        b->SetParent(this);
        return b;
    }
    TsBitBtn* GlyphButton(const char* Caption, const char* Glyph, int X, int Y, int W, int H)
    {
        auto* b = Create<TsBitBtn>(this);
        b->SetBounds(X, Y, W, H);
        b->SetCaption(Caption);
        TBitmap cell;
        Cell(&cell, Glyph);
        b->SetGlyph(&cell);
        b->SetParent(this);
        return b;
    }
    TsBitBtn* Open = nullptr;
    TsSpeedButton* Speed = nullptr;
};

using ButtonScreens = SkinnedFormTest;

} // namespace

TEST_F(ButtonScreens, GlyphAndSpeedButtonsAreDrawnByTheSkin)
{
    InShippedSkins<TButtonsForm>("skinned_buttons_", [](TButtonsForm* form, const char* skin) {
        const TRect r = form->Open->ImgRect();
        const testkit::PixelImage look = testkit::PrintWindowPixels(form->Open->Handle());
        EXPECT_LT(look.CountColor(r, look.Pixel(r.left - 1, r.top)), 16 * 16 / 2) << skin << ": the glyph shows";
        EXPECT_EQ(look.CountColor(r, 0xFF00FF), 0) << skin;
        const testkit::PixelImage all = testkit::PrintWindowPixels(form->Handle(), true);
        const TRect speed = form->Speed->BoundsRect();
        EXPECT_EQ(all.CountColor(speed, 0xFF00FF), 0) << skin;
        EXPECT_NE(all.Pixel(speed.left + 3, speed.top + 3), all.Pixel(speed.left + 30 + 3, speed.top + 3))
            << skin << ": the one held down looks pressed";
    });
}
