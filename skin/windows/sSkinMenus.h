// Skinned menus: the one owner-draw painter of the application's menus (owned by the default skin
// manager). Items of pop-up menus and submenus get the skinned item painter and measurer, the
// top-line items of main menus the menu-line painter and measurer; hooking never replaces a
// handler the application set itself, and unhooking removes only the skinned ones. Each open
// submenu's background is painted once from the skin and kept in a small cache.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"

class TsSkinManager;
class TsSkinProvider;

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// Called after an item is painted, on the item's own bitmap.
using TsMenuManagerDrawItemEvent =
    TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, TsMenuItemType ItemType)>;

// One cached submenu background: the bitmap and the first item of the submenu it belongs to.
struct TMenuBG {
    std::unique_ptr<TBitmap> Bmp;
    TMenuItem* Item = nullptr;
};
using TMenuBGArray = std::vector<TMenuBG>;

// The provider of the application's MDI parent form, or null (set by the provider).
extern TsSkinProvider* MDISkinProvider;

class TsSkinableMenus : public TPersistent {
    VCL_CLASS(TsSkinableMenus, TPersistent)
public:
    explicit TsSkinableMenus(TsSkinManager* AOwner);
    ~TsSkinableMenus() override;

    // Inner spacing of items.
    int Margin = 4;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    // Horizontal margin of an item's cursor rectangle.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }
    TsMenuManagerDrawItemEvent OnDrawItem;

    bool Active() const { return FActive; }
    // On a change: stores the value and hooks or unhooks every menu (InitItems).
    void SetActive(bool Value);
    // Follows the current skin's active flag.
    void UpdateMenus();
    // Hooks (or unhooks) the menus of every component of the application, recursively.
    void InitItems(bool AActive);
    // While one lives, InitItems walks the application only when the last walk was of the other
    // value: as a skin command reaches every form, each form's provider asks for the same walk.
    class TOneWalk {
    public:
        explicit TOneWalk(TsSkinableMenus* Menus);
        ~TOneWalk();
        TOneWalk(const TOneWalk&) = delete;
        TOneWalk& operator=(const TOneWalk&) = delete;

    private:
        TsSkinableMenus* FMenus;
    };
    // The sub-items of Item, recursively: the skinned item handlers where none is set, or (not
    // active) the skinned handlers removed.
    void HookItem(TMenuItem* Item, bool AActive);
    void HookPopupMenu(TPopupMenu* Menu, bool AActive);
    // The top-line items of a main menu get (or lose) the menu-line handlers; the menu is owner
    // drawn while active.
    void InitMenuLine(TMainMenu* Menu, bool AActive);
    // One item inserted into or removed from a form: a removed item loses only its own skinned
    // handlers; an inserted one gets them, and its menu is owner drawn once it has one.
    void InitItem(TMenuItem* Item, bool Inserted);
    // With All, frees every cached submenu background.
    static void DeleteUnusedBmps(bool All);

    // The painters and measurers hooked into the items.
    void sAdvancedDrawItem(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State);
    void sMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void sAdvancedDrawLineItem(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State);
    void sMeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);

    // A caption that starts and ends with "-" (and is more than "-"): it takes space, shows nothing.
    static bool IsDivText(TMenuItem* Item);
    // The item's menu is a main menu one of whose top-line items has the item's Name.
    static bool IsTopLine(TMenuItem* Item);
    static bool IsPopupItem(TMenuItem* Item);
    // The last item of its parent while an MDI child's icon is in the menu line.
    static bool LastItem(TMenuItem* Item);
    // A maximised MDI child with an icon is active in the MDI parent form.
    static bool ChildIconPresent();
    int GetItemHeight(TCanvas* ACanvas, TMenuItem* Item);
    // Sum of GetItemHeight over the items of the item's parent.
    int ParentHeight(TCanvas* ACanvas, TMenuItem* Item);
    // The glyph of an item: its Bitmap, else (not on the line) its menu's image size, else 16 x 16.
    static TSize GlyphSize(TMenuItem* Item, bool Line);
    // ARect less CursorMarginH on the left and right.
    TRect ItemRect(TMenuItem* Item, const TRect& R);
    int CursorMarginH() const { return FBorderWidth; }
    int CursorMarginV() const { return 0; }
    void PaintDivider(TCanvas* ACanvas, const TRect& R, TMenuItem* Item);
    void PaintCaption(TCanvas* ACanvas, const TRect& R, TMenuItem* Item);

    // The cached background of the submenu whose first item is Item, or null.
    static TBitmap* CachedBackground(TMenuItem* Item);
    static int GetItemIndex(TMenuItem* Item);

private:
    // The cached background of Item's submenu, painted (again) when missing or smaller than
    // Width x Height.
    TBitmap* SubmenuBackground(TCanvas* ACanvas, TMenuItem* Item, int Width, int Height);
    bool SkinnedPopups() const;
    // One item: the skinned item handlers where it has none, or (not active) without them.
    void HookOne(TMenuItem* Item, bool AActive);
    void InitComponent(TComponent* Component, bool AActive);

    TAlignment FAlignment = taLeftJustify;
    int FBevelWidth = 0;
    int FBorderWidth = 0;
    std::unique_ptr<TFont> FCaptionFont;
    bool FActive = false;
    TsSkinManager* FOwner = nullptr;
    // Within a TOneWalk: the value of the last walk of InitItems, -1 before the first.
    int FOneWalks = 0;
    int FWalked = -1;
};
