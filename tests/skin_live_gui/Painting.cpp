// A control's background and border from its own skin state: its custom colour, the parent's
// centre colour standing for the parent's image, and its corners repaired from the parent.
#include <gtest/gtest.h>

#include "LiveKit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sPanel.h"
#include "sSkinProvider.h"

using namespace livekit;

namespace {

using Painting = TablesTest;

TColor At(TBitmap& Bmp, int X, int Y)
{
    return Bmp.Canvas()->Pixels(X, Y);
}

} // namespace

TEST_F(Painting, AControlsOwnColourAndTheParentsCentreColour)
{
    Activate({Section("PANEL", 0x102030, 0)});
    auto* form = MakeForm();
    form->SetColor(clBtnFace);
    auto* panel = On(form, Create<TsPanel>(form));
    panel->SetBounds(0, 0, 8, 8);
    panel->SetColor(clWindow);
    TsCommonData* sd = panel->SkinData();
    sd->UpdateIndexes();
    TBitmap bmp(8, 8, pf24bit);
    PaintItem(sd, EmptyCI, false, 0, Rect(0, 0, 8, 8), Point(0, 0), &bmp, false);
    EXPECT_EQ(At(bmp, 4, 4), TColor(0x102030));
    EXPECT_EQ(ParentCenterColor, TColor(clSkinKey)) << "the colours hold only during the paint";
    EXPECT_EQ(CtrlParentColor, TColor(clSkinKey));

    sd->CustomColor = true;
    PaintItem(sd, EmptyCI, false, 0, Rect(0, 0, 8, 8), Point(0, 0), &bmp, false);
    EXPECT_EQ(At(bmp, 4, 4), ColorToRGB(clWindow)) << "its own colour, resolved";
    // A provider's skin state takes its form's colour.
    auto* provider = Create<TsSkinProvider>(form);
    provider->SkinData()->SkinIndex = 0;
    provider->SkinData()->CustomColor = true;
    PaintItemBG(provider->SkinData(), EmptyCI, 0, Rect(0, 0, 8, 8), Point(0, 0), &bmp);
    EXPECT_EQ(At(bmp, 4, 4), ColorToRGB(clBtnFace));

    // Fully transparent without a parent image: the parent's colour stands for it.
    sd->CustomColor = false;
    gd[0].Transparency = 100;
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->FillRect(Rect(0, 0, 8, 8));
    PaintItem(sd, EmptyCI, false, 0, Rect(0, 0, 8, 8), Point(0, 0), &bmp, false);
    EXPECT_EQ(At(bmp, 4, 4), ColorToRGB(clBtnFace));
}

TEST_F(Painting, KeyPixelsOfTheBordersCornersTakeTheParentsColour)
{
    // A master image with one border of 2 x 2 cells; the key colour in the top-left pixel of
    // each corner cell.
    MasterBitmap = std::make_unique<TBitmap>(6, 12, pf24bit);
    MasterBitmap->Canvas()->Brush()->SetColor(clBlack);
    MasterBitmap->Canvas()->FillRect(Rect(0, 0, 6, 12));
    for (const TPoint p : {Point(0, 0), Point(4, 0), Point(0, 4), Point(4, 4)})
        MasterBitmap->Canvas()->SetPixels(p.x, p.y, clSkinKey);
    TsMaskData border;
    border.ClassName = "PANEL";
    border.PropertyName = "BORDERSMASK";
    border.R = Rect(0, 0, 6, 12);
    border.ImageCount = 1;
    border.MaskType = 1;
    ma.push_back(std::move(border));
    Activate({Section("PANEL")});
    auto* form = MakeForm();
    form->SetColor(static_cast<TColor>(0x00AA00));
    auto* panel = On(form, Create<TsPanel>(form));
    panel->SetBounds(0, 0, 10, 10);
    TsCommonData* sd = panel->SkinData();
    sd->UpdateIndexes();
    ASSERT_EQ(sd->BorderIndex, 0);
    sd->InitCacheBmp();
    sd->FCacheBmp->Canvas()->Brush()->SetColor(clRed);
    sd->FCacheBmp->Canvas()->FillRect(Rect(0, 0, 10, 10));
    UpdateCorners(sd, 0);
    EXPECT_EQ(At(*sd->FCacheBmp, 0, 0), TColor(0x00AA00));
    EXPECT_EQ(At(*sd->FCacheBmp, 8, 8), TColor(0x00AA00)) << "the far corner from its cell's start";
    EXPECT_EQ(At(*sd->FCacheBmp, 1, 1), clRed) << "a pixel of the border stays";
    EXPECT_EQ(At(*sd->FCacheBmp, 5, 5), clRed);
}
