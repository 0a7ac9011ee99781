// Every section of the shipped skins painted in states 0, 1 and 2 (background, border, caption
// in the section's colours, glyph) over the skin's form background, with the section's other
// images beside them, into one bitmap saved as skin_contact_sheet.bmp beside the test program. It
// is looked at, not compared.
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

// One skin's sections, one row each, into the sheet at column x0.
void PaintSkin(TBitmap& Sheet, TBitmap& Parent, int x0)
{
    TCanvas* c = Sheet.Canvas();
    for (int i = 0; i < static_cast<int>(gd.size()); ++i) {
        const AnsiString name = gd[i].ClassName;
        const int y = 24 + i * kRow;
        TRect label = Rect(x0 + 4, y + 14, x0 + kName, y + 30);
        WriteTextEx(c, name.c_str(), true, label, DT_LEFT, GetSkinIndex("FORM"), false);
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
    TBitmap sheet(2 * kSkinWidth, 24 + rows * kRow, pf24bit), parent(sheet.Width(), sheet.Height(), pf24bit);
    for (int k = 0; k < 2; ++k) {
        LoadSkinFolder(skins + names[k] + "\\");
        // Each skin over its own form background, as its controls are seen.
        const TRect half = Rect(k * kSkinWidth, 0, (k + 1) * kSkinWidth, sheet.Height());
        PaintItemBG(GetSkinIndex("FORM"), "FORM", EmptyCI, 0, half, Point(0, 0), &parent);
        sgu::CopyBlock(&sheet, half.left, 0, &parent, half.left, 0, kSkinWidth, sheet.Height());
        TRect title = Rect(k * kSkinWidth + 4, 4, (k + 1) * kSkinWidth, 22);
        WriteTextEx(sheet.Canvas(), names[k], true, title, DT_LEFT, GetSkinIndex("FORM"), false);
        PaintSkin(sheet, parent, k * kSkinWidth);
    }
    sSkinData->Active = false;
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
    const AnsiString file = testkit::OutputDir() + "skin_contact_sheet.bmp";
    sheet.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
}
