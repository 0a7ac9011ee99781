// A demo form with the colour box and the font lists; the colour box driven with real clicks and keys under Dusk: "Custom..." opens
// the skinned colour dialog, a hexadecimal colour typed there and OK show in the box. Pictures of
// the form in both shipped skins and without one (colorfontdemo_<skin>.png).
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "ProgramRun.h"
#include "sBitBtn.h"
#include "sColorDialog.h"
#include "sComboBoxes.h"
#include "sFontCtrls.h"
#include "sMaskEdit.h"

using namespace formskit;

namespace {

class TColorFontDemo : public TForm {
    VCL_CLASS(TColorFontDemo, TForm)
public:
    explicit TColorFontDemo(TComponent* AOwner) : TForm(AOwner)
    {
        SetCaption("Демо: цвет и шрифт");
        SetBounds(100, 100, 420, 240);
        Create<TsSkinProvider>(this);
        ColorBox = Create<TsColorBox>(this);
        ColorBox->SetStyle({cbStandardColors, cbExtendedColors, cbCustomColor, cbPrettyNames});
        ColorBox->SetBounds(20, 20, 200, 22);
        ColorBox->SetParent(this);
        FontCombo = Create<TsFontComboBox>(this);
        FontCombo->SetBounds(20, 60, 200, 22);
        FontCombo->SetParent(this);
        FontList = Create<TsFontListBox>(this);
        FontList->SetBounds(240, 20, 150, 160);
        FontList->SetParent(this);
    }
    TsColorBox* ColorBox = nullptr;
    TsFontComboBox* FontCombo = nullptr;
    TsFontListBox* FontList = nullptr;
};

class ColorFontDemo : public SkinnedFormTest {};

// A real press and release of the left button at a point of the screen.
void ClickScreen(POINT At)
{
    testkit::SendMouse(At);
    testkit::WaitIdle();
    testkit::SendMouse(At, MOUSEEVENTF_LEFTDOWN);
    testkit::WaitIdle();
    testkit::SendMouse(At, MOUSEEVENTF_LEFTUP);
}

POINT ScreenPoint(TControl* Control, int X, int Y)
{
    const TPoint p = Control->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
}

void TypeKeys(const char* Keys)
{
    for (const char* k = Keys; *k; ++k) {
        const BYTE vk = static_cast<BYTE>(*k);
        keybd_event(vk, 0, 0, 0);
        keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
    }
}

} // namespace

TEST_F(ColorFontDemo, CustomColourTypedInTheDialogShowsInTheColourBox)
{
    UseSkin("Dusk");
    auto* form = Create<TColorFontDemo>(Application);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    TsColorBox* box = form->ColorBox;
    // A custom colour chosen before: "Custom..." heads the dropped list.
    box->SetSelected(0x224466);

    ClickScreen(ScreenPoint(box, box->Width() / 2, box->Height() / 2));
    ASSERT_TRUE(WaitFor([&] { return box->DroppedDown(); }, "the list drops"));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(box->Handle(), &info));
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    ASSERT_EQ(SendMessageA(info.hwndList, LB_GETTOPINDEX, 0, 0), 0);

    // In the dialog: a click at the start of the hexadecimal edit, six keys, a click on OK.
    int phase = 0;
    TModalDriver<TsColorDialogForm> dialog([&](TsColorDialogForm* d) {
        switch (phase) {
        case 0:
            ClickScreen(ScreenPoint(d->sEditHex, 3, d->sEditHex->ClientHeight() / 2));
            ++phase;
            return false;
        case 1:
            if (GetFocus() != d->sEditHex->Handle())
                return false;
            TypeKeys("CC6633");
            ++phase;
            return false;
        default:
            if (d->sEditHex->Text() != "CC6633")
                return false;
            ClickScreen(ScreenPoint(d->sBitBtn1, d->sBitBtn1->Width() / 2, d->sBitBtn1->Height() / 2));
            return true;
        }
    });
    ClickScreen(POINT{list.left + 30, list.top + box->ItemHeight() / 2 + 1});
    ASSERT_TRUE(WaitFor([&] { return dialog.Done() && box->Selected() == 0xCC6633; }, "the typed colour"));
    EXPECT_EQ(box->GetItemIndex(), 0);
    EXPECT_EQ(box->GetColorName(0), "Custom...");
    Paint(form);
    EXPECT_EQ(testkit::ScreenPixels(box->Handle()).Pixel(8, box->Height() / 2), 0xCC6633u)
        << "the swatch shows the colour (red 33, green 66, blue CC)";
    form->Free();
}

TEST_F(ColorFontDemo, Screens)
{
    InShippedSkins<TColorFontDemo>("colorfontdemo_", [](TColorFontDemo* form, const char*) {
        form->ColorBox->SetSelected(clMoneyGreen);
        form->FontCombo->SetItemIndex(form->FontCombo->Items()->IndexOf("Tahoma"));
        form->FontList->SetItemIndex(1);
        Paint(form);
        EXPECT_EQ(form->ColorBox->GetColorName(form->ColorBox->GetItemIndex()), "Money Green");
    });
    Manager()->SetActive(false);
    auto* plain = Create<TColorFontDemo>(Application);
    plain->Show();
    plain->ColorBox->SetSelected(clTeal);
    plain->FontCombo->SetItemIndex(0);
    Paint(plain);
    testkit::SaveScreenshot("colorfontdemo_none.png", plain->Handle());
    plain->Free();
}
