// Changes of an item's state reach the menu handle in place; changes of its text rebuild it.
#include <gtest/gtest.h>

#include "Menus.h"

TEST(MenuEntries, StateChangesKeepTheEntriesOfAShownMenu)
{
    auto* menu = Create<TPopupMenu>(nullptr);
    menu->SetOwnerDraw(true);
    TMenuItem* items[2];
    for (TMenuItem*& item : items) {
        item = Create<TMenuItem>(menu);
        item->SetCaption("item");
        item->SetRadioItem(true);
        menu->Items()->Add(item);
    }
    HMENU h = menu->Handle();
    // An entry that only a rebuild would drop.
    AppendMenuA(h, MF_STRING, 999, "marker");
    items[0]->SetChecked(true);
    items[1]->SetEnabled(false);
    items[1]->SetChecked(true); // the radio group's other item goes off
    items[0]->SetImageIndex(3);
    ASSERT_EQ(GetMenuItemCount(h), 3);
    auto state = [&](UINT position) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_FTYPE;
        GetMenuItemInfoA(h, position, TRUE, &mii);
        return std::make_pair(UINT(mii.fState & (MFS_CHECKED | MFS_DISABLED)), UINT(mii.fType & (MFT_OWNERDRAW | MFT_RADIOCHECK)));
    };
    EXPECT_EQ(state(0), std::make_pair(UINT(0), UINT(MFT_OWNERDRAW | MFT_RADIOCHECK)));
    EXPECT_EQ(state(1), std::make_pair(UINT(MFS_CHECKED | MFS_DISABLED), UINT(MFT_OWNERDRAW | MFT_RADIOCHECK)));

    items[0]->SetCaption("другой");
    EXPECT_EQ(GetMenuItemCount(h), 2) << "a new text rebuilds the entries";
    menu->Free();
}
