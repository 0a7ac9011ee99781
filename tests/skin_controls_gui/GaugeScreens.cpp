// A form of skinned gauges of every kind, up-downs and spin edits in both shipped skins; a picture of each is written into
// the working folder (skinned_gauges_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "sGauge.h"
#include "sSpinEdit.h"
#include "sUpDown.h"

using namespace formskit;

namespace {

class TGaugesForm : public TForm {
    VCL_CLASS(TGaugesForm, TForm)
public:
    explicit TGaugesForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 420, 250);
        SetCaption("Gauges");
        Create<TsSkinProvider>(this);
        Bar = Gauge(gkHorizontalBar, 20, 20, 200, 24);
        Gauge(gkVerticalBar, 240, 20, 30, 120);
        Gauge(gkText, 20, 60, 200, 24)->SetSuffix(" percent");
        Gauge(gkPie, 290, 20, 100, 100)->SetProgress(25);
        Gauge(gkNeedle, 20, 100, 120, 60)->SetProgress(75);
        // At its upper end: the top button looks disabled.
        auto* vertical = Create<TsUpDown>(this);
        vertical->SetBounds(160, 100, 20, 40);
        vertical->SetPosition(100);
        vertical->SetParent(this);
        auto* horizontal = Create<TsUpDown>(this);
        horizontal->SetOrientation(udHorizontal);
        horizontal->SetBounds(200, 150, 40, 20);
        horizontal->SetPosition(50);
        horizontal->SetParent(this);
        auto* spin = Create<TsSpinEdit>(this);
        spin->SetBounds(20, 175, 100, 24);
        spin->SetValue(42);
        spin->SetParent(this);
        auto* decimal = Create<TsDecimalSpinEdit>(this);
        decimal->SetBounds(140, 175, 100, 24);
        decimal->SetValue(2.5);
        decimal->SetParent(this);
        Decimal = decimal;
        LoadedAll(this);
    }
    TsGauge* Gauge(TsGaugeKind Kind, int X, int Y, int W, int H)
    {
        auto* g = Create<TsGauge>(this);
        g->SetBounds(X, Y, W, H);
        g->SetKind(Kind);
        g->SetForeColor(static_cast<TColor>(0x00C08040));
        g->SetParent(this);
        return g;
    }
    TsGauge* Bar = nullptr;
    TsDecimalSpinEdit* Decimal = nullptr;
};

using GaugeScreens = SkinnedFormTest;

} // namespace

TEST_F(GaugeScreens, GaugesAreDrawnByTheSkin)
{
    InShippedSkins<TGaugesForm>("skinned_gauges_", [](TGaugesForm* form, const char* skin) {
        // The bar's first pixels inside its frame come from the progress section.
        const COLORREF fill = testkit::PrintWindowPixels(form->Handle(), true).Pixel(form->Bar->Left() + 5,
                                                                                      form->Bar->Top() + 12);
        EXPECT_NE(fill, static_cast<COLORREF>(ColorToRGB(SectionOf("GAUGE").Color))) << skin;
        EXPECT_EQ(form->Decimal->Text(), AnsiString("2") + DecimalSeparator + "50") << "set while the form was built";
    });
}
