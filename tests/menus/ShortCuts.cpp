// Shortcut values and their texts.
#include <gtest/gtest.h>

#include "Menus.h"

TEST(ShortCuts, TextsOfKeysAndModifiers)
{
    EXPECT_EQ(ShortCutToText(ShortCut('S', scCtrl)), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, scShift)), "Shift+Del");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, 0)), "F5");
    EXPECT_EQ(ShortCutToText(ShortCut('N', scCtrl | scShift)), "Shift+Ctrl+N");
    EXPECT_EQ(ShortCutToText(ShortCut('X', scAlt)), "Alt+X");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_INSERT, scCtrl)), "Ctrl+Ins");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_RETURN, 0)), "Enter");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F24, scAlt | scCtrl | scShift)), "Shift+Ctrl+Alt+F24");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCut(0x1234, scCtrl), 0) << "a key beyond one byte makes no shortcut";
}

TEST(ShortCuts, TextRoundTripsAndLenientParsing)
{
    const TShortCut all[] = {ShortCut('S', scCtrl),          ShortCut(VK_DELETE, scShift), ShortCut(VK_F5, 0),
                             ShortCut('N', scCtrl | scShift), ShortCut('X', scAlt),         ShortCut(VK_F12, scCtrl),
                             ShortCut(VK_BACK, scAlt),        ShortCut('0', scCtrl),        ShortCut(VK_ESCAPE, 0),
                             ShortCut(VK_PRIOR, scShift),     ShortCut(VK_INSERT, scCtrl)};
    for (TShortCut sc : all)
        EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);

    EXPECT_EQ(TextToShortCut("ctrl+shift+n"), ShortCut('N', scCtrl | scShift)) << "any order, any case";
    EXPECT_EQ(TextToShortCut("CTRL+s"), ShortCut('S', scCtrl));
    EXPECT_EQ(TextToShortCut("f10"), ShortCut(VK_F10, 0));
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
    EXPECT_EQ(TextToShortCut("F0"), 0);
    EXPECT_EQ(TextToShortCut("F25"), 0);
}

TEST(ShortCuts, KeyAndModifiersApart)
{
    Word key = 0;
    TShortCut mods = 0;
    ShortCutToKey(ShortCut(VK_F3, scShift | scAlt), key, mods);
    EXPECT_EQ(key, VK_F3);
    EXPECT_EQ(mods, scShift | scAlt);

    EXPECT_EQ(ShortCut('N', TShiftState{ssCtrl, ssShift}), ShortCut('N', scCtrl | scShift));
    TShiftState shift;
    ShortCutToKey(ShortCut(VK_DELETE, TShiftState{ssAlt}), key, shift);
    EXPECT_EQ(key, VK_DELETE);
    EXPECT_TRUE(shift == TShiftState{ssAlt});
}

TEST(ShortCuts, HotkeyCharOfCaptions)
{
    EXPECT_EQ(GetHotkeyChar("&Файл"), 'Ф');
    EXPECT_EQ(GetHotkeyChar("Save && &Exit"), 'E');
    EXPECT_EQ(GetHotkeyChar("A&&B"), 0);
    EXPECT_EQ(GetHotkeyChar("End&"), 0);
}
