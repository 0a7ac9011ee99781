// Every section of the shipped skins painted in states 0, 1 and 2 (background, border, caption
// in the section's colours, glyph) with the section's other images beside them, into one bitmap
// saved as skin_contact_sheet.bmp in the working folder. It is looked at, not compared.
#include <gtest/gtest.h>

#include <algorithm>

#include "PixelKit.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sStyleSimply.h"

using namespace pixkit;

namespace {

const int kName = 130, kCell = 150, kImages = 300, kRow = 48;
const int kSkinWidth = kName + 3 * kCell + kImages;

// The skin folder's tables filled and the skin made active.
void LoadSkinFolder(const std::string& Folder)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(Folder + "Options.dat");
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    sSkinData->Active = true;
}

// A checkerboard: what transparent parts of a skin show.
std::unique_ptr<TBitmap> Checker(int w, int h)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(*b, x, y, ((x / 8 + y / 8) % 2) ? Px{200, 200, 200} : Px{235, 235, 235});
    return b;
}

// One skin's sections, one row each, into the sheet at column x0.
void PaintSkin(TBitmap& Sheet, TBitmap& Parent, int x0)
{
    TCanvas* c = Sheet.Canvas();
    for (int i = 0; i < static_cast<int>(gd.size()); ++i) {
        const AnsiString name = gd[i].ClassName;
        const int y = 24 + i * kRow;
        c->Font()->SetColor(clBlack);
        TRect label = Rect(x0 + 4, y + 14, x0 + kName, y + 30);
        WriteText(c, name.c_str(), true, label, DT_LEFT);
        for (int state = 0; state < 3; ++state) {
            const int x = x0 + kName + state * kCell;
            TBitmap cell(kCell - 6, kRow - 6, pf24bit);
            const TRect r = Rect(0, 0, cell.Width(), cell.Height());
            const TCacheInfo ci{&Parent, 0, 0, true};
            PaintItem(i, name, ci, true, state, r, Point(x, y), &cell);
            const int glyph = GetMaskIndex(i, name, "GLYPHMASK");
            if (IsValidImgIndex(glyph))
                DrawSkinGlyph(&cell, Point(cell.Width() - MaskSize(glyph).x - 4, (cell.Height() - MaskSize(glyph).y) / 2), state, 1, ma[glyph]);
            TRect text = Rect(8, 0, cell.Width() - 8, cell.Height());
            cell.Canvas()->Font()->SetName("Tahoma");
            cell.Canvas()->Font()->SetHeight(-12);
            WriteTextEx(cell.Canvas(), "Текст Aa", true, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, i, state != 0);
            sgu::CopyBlock(&Sheet, x, y, &cell, 0, 0, cell.Width(), cell.Height());
        }
        // The section's other images, each in its states side by side.
        int x = x0 + kName + 3 * kCell;
        for (int m = 0; m < static_cast<int>(ma.size()); ++m) {
            const TsMaskData& mask = ma[m];
            if (mask.ClassName != UpperCase(name) || mask.PropertyName == "BORDERSMASK" || mask.PropertyName.find("PATTERN") != AnsiString::npos)
                continue;
            const TPoint size = MaskSize(m);
            const int states = mask.Bmp ? 3 : std::max<int>(mask.ImageCount, 1);
            for (int s = 0; s < states && x + size.x < x0 + kSkinWidth; ++s, x += size.x + 2)
                DrawSkinGlyph(&Sheet, Point(x, y + std::max<int>(0, (kRow - 6 - size.y) / 2)), s, 1, mask);
            x += 6;
        }
    }
}

} // namespace

TEST(ContactSheet, EverySectionOfTheShippedSkinsInItsThreeStates)
{
    const std::string skins = testkit::DataDir() + "..\\..\\app\\defaults\\Skins\\";
    const char* names[] = {"Neutral", "Dusk"};
    for (const char* n : names)
        if (!FileExists(skins + n + "\\Options.dat"))
            GTEST_SKIP() << "the skin " << n << " is not generated yet";
    int rows = 0;
    for (const char* n : names) {
        LoadSkinFolder(skins + n + "\\");
        ASSERT_FALSE(gd.empty()) << n;
        rows = std::max(rows, static_cast<int>(gd.size()));
    }
    TBitmap sheet(2 * kSkinWidth, 24 + rows * kRow, pf24bit);
    sgu::FillBmp(&sheet, Rect(0, 0, sheet.Width(), sheet.Height()), clWhite);
    auto parent = Checker(sheet.Width(), sheet.Height());
    for (int k = 0; k < 2; ++k) {
        LoadSkinFolder(skins + names[k] + "\\");
        TRect title = Rect(k * kSkinWidth + 4, 4, (k + 1) * kSkinWidth, 22);
        WriteText(sheet.Canvas(), names[k], true, title, DT_LEFT);
        PaintSkin(sheet, *parent, k * kSkinWidth);
    }
    sSkinData->Active = false;
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
    sheet.SaveToFile("skin_contact_sheet.bmp");
    EXPECT_TRUE(FileExists("skin_contact_sheet.bmp"));
}
