// The framework's Menus unit: keyboard shortcuts, menu items, main menus and pop-up menus over
// Win32 menu handles, with owner drawing routed to the items.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Messages.h"

// --- Shortcuts ------------------------------------------------------------------------------

// A key with its modifiers: the virtual key in the low byte, scShift, scCtrl and scAlt above.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// A key with modifier bits (scShift | scCtrl | scAlt), or with a shift state; 0 for a key
// beyond one byte.
TShortCut ShortCut(Word Key, TShortCut Modifiers);
TShortCut ShortCut(Word Key, TShiftState Shift);
// "Ctrl+S", "Shift+Del", "F5", "Shift+Ctrl+N", "Alt+X": the modifiers in the order Shift, Ctrl,
// Alt, then the key's name ("" for no shortcut or a key without a name).
AnsiString ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText, without case and with the modifiers in any order; 0 when the
// text names no key.
TShortCut TextToShortCut(const AnsiString& Text);
// The key and the modifier bits of a shortcut.
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShortCut& Modifiers);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// The shortcut of a key message with the modifier keys now held down.
TShortCut ShortCutFromMessage(const TWMKey& Message);

// The hot-key character of a caption (the one after a single "&"), or 0.
char GetHotkeyChar(const AnsiString& Caption);

// --- Owner drawing --------------------------------------------------------------------------

class TMenu;
class TMenuItem;

using TMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TMethod<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
// Fired by a menu after one of its items changed; Rebuild: the item's place or kind changed.
using TMenuChangeEvent = TMethod<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// --- Menu items -----------------------------------------------------------------------------

// One item of a menu. An item with sub-items opens a submenu with its own menu handle. Items
// are components (owned, usually, by the form) and also belong to their parent item, which
// frees its sub-items when it is freed. Every item has a command id of its own while it exists.
class TMenuItem : public TComponent {
    VCL_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // Caption: "&" marks the hot key; "-" makes a separator line.
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // A checked radio item unchecks the other radio items of its group among its siblings.
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The item's own picture, made on first use and owned by the item.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const { return FBitmap && !FBitmap->Empty(); }
    AnsiString Hint;

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // Sub-items.
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EMenuError for an index out of range.
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    // Raises EMenuError when Item already has a parent or Index is out of range.
    void Insert(int Index, TMenuItem* Item);
    // Removes and frees the sub-item at Index.
    void Delete(int Index);
    // Takes Item out of the sub-items without freeing it.
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The first sub-item whose caption equals ACaption without case (code page 1251) and
    // without "&" marks; null when none.
    TMenuItem* Find(const AnsiString& ACaption) const;

    TMenuItem* Parent() const { return FParent; }
    // Position among the parent's sub-items (-1 without parent); setting it moves the item.
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The menu the item belongs to (through its parents), or null.
    TMenu* GetParentMenu() const;
    bool IsLine() const { return FCaption == "-"; }

    // The menu handle of the item's submenu, made on first use.
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The item's command id (the WM_COMMAND id of its menu entry).
    UINT Command() const { return FCommand; }

    // Runs OnClick when the item is enabled, or its action when it has one and no OnClick of its
    // own. The handler may free the item.
    virtual void Click();

    // The item shows the action's caption, state, hint, image and visibility (ActionChange at
    // every change of the action) and its click runs the action. Null: none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    // The action brings itself up to date; InitiateActions does it for every sub-item (as its
    // submenu opens).
    void InitiateAction();
    void InitiateActions();

    // Owner drawing: the item's handler, or the plain look.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State, bool TopLevel);
    // The text of the menu entry: caption, and the shortcut after a tab.
    AnsiString EntryText() const;

protected:
    // The item changed: its parent's menu handle is rebuilt (Rebuild) or updated in place.
    virtual void MenuChanged(bool Rebuild);
    // Takes the action's settings; CheckDefaults takes only those still at their defaults.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DrawPlainItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State, bool TopLevel);

private:
    friend class TMenu;
    friend class TMainMenu;
    friend class TPopupMenu;
    void RebuildHandle();
    // The entries of this item's menu handle: its items, merged by GroupIndex with the items of
    // a menu merged into its menu when it is the root.
    std::vector<TMenuItem*> Entries() const;
    void AppendEntry(HMENU Menu, TMenuItem* Child);
    // Sets the type and state of Child's entry in this item's menu handle in place.
    void UpdateEntry(TMenuItem* Child);
    void DestroyMenuHandle();
    void TurnSiblingsOff();
    void InsertItem(int Index, TMenuItem* Item);
    void RemoveItem(TMenuItem* Item);

    AnsiString FCaption;
    bool FChecked = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    std::unique_ptr<TBitmap> FBitmap;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item of a menu
    HMENU FHandle = nullptr;
    UINT FCommand = 0;
    std::unique_ptr<TBasicActionLink> FActionLink;
};

// --- Menus ----------------------------------------------------------------------------------

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
    VCL_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    void BeforeDestruction() override;

    // The root item; its sub-items are the menu's entries.
    TMenuItem* Items() const { return FItems; }
    // The menu handle (made on first use, with every submenu).
    HMENU Handle();
    // All items drawn by their owner-draw events (or the plain owner-drawn look).
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // The images that items show by their ImageIndex (not owned; forgotten when freed).
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The window whose menu bar shows this menu (set when a form takes the menu).
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value);

    // Runs the item with this command id; answers whether it is one of this menu's items.
    bool DispatchCommand(WORD ACommand);
    // A submenu of this menu (or a pop-up menu's own list) is about to open: the actions of its
    // items update themselves and its parent item's Click runs (so that it can update the
    // sub-items). Answers whether the handle is one of this menu's submenus.
    bool DispatchPopup(HMENU AMenu);
    TMenuItem* FindItem(UINT Value, TFindItemKind Kind);
    // Runs the enabled item whose shortcut matches the key message (its parent items get their
    // OnClick first, as when the submenu opens; hidden items count); answers whether it ran.
    bool IsShortCut(TWMKey& Message);

    // Handles the owner-draw, init-popup, command, menu-select and menu-char messages of the
    // window that shows this menu; answers whether the message was fully handled (Result set).
    bool HandleMenuMessage(TMessage& Message);

    TMenuChangeEvent OnChange;

protected:
    virtual HMENU CreateMenuHandle() { return CreatePopupMenu(); }
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The root item of a menu merged into this one (a main menu's), or null.
    virtual TMenuItem* MergedItems() const { return nullptr; }

private:
    friend class TMenuItem;
    // Takes the menu off its window and stops its items calling back (the menu is going).
    void Detach();
    TMenuItem* FItems = nullptr;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    HWND FWindowHandle = nullptr;
};

// A menu bar. Another main menu can be merged into it (an active MDI child's, a form's with
// AutoMerge): the menu bar then shows the items of both by GroupIndex, the other menu's items
// taking the place of this menu's items of the same group.
class TMainMenu : public TMenu {
    VCL_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

    // Merges Menu in (replacing the one merged before; null: none).
    void Merge(TMainMenu* Menu);
    // Takes Menu out again when it is the one merged in.
    void Unmerge(TMainMenu* Menu);
    TMainMenu* Merged() const { return FMerged; }
    // The menu this one is merged into, or null.
    TMainMenu* MergedInto() const { return FMergedInto; }
    // A form that is not an MDI child merges this menu into the main form's while it is active.
    bool AutoMerge = false;

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TMenuItem* MergedItems() const override;

private:
    TMainMenu* FMerged = nullptr;
    TMainMenu* FMergedInto = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    VCL_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Fires OnPopup, then shows the menu at the screen point. The chosen item's OnClick runs
    // after the menu has closed (from the message queue), as with the system's own menus.
    virtual void Popup(int X, int Y);
    // The component whose context click opened the menu.
    TComponent* PopupComponent = nullptr;
    POINT PopupPoint() const { return FPopupPoint; }
    bool AutoPopup = true;
    TPopupAlignment Alignment = paLeft;
    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    POINT FPopupPoint{-1, -1};
};

// The hidden window that owns every open pop-up menu and receives its messages.
HWND PopupListWindow();

// Shows a menu handle as a pop-up menu (TrackPopupMenu with these arguments) and answers what it
// answers: the chosen command with TPM_RETURNCMD. Tests put another tracker in place that
// answers a command without a modal menu.
using TMenuTracker = std::function<BOOL(HMENU Menu, UINT Flags, int X, int Y, HWND Owner)>;
BOOL TrackMenu(HMENU Menu, UINT Flags, int X, int Y, HWND Owner);
// Puts a tracker in place for its lifetime.
class TMenuTrackerGuard {
public:
    explicit TMenuTrackerGuard(TMenuTracker Tracker);
    ~TMenuTrackerGuard();
    TMenuTrackerGuard(const TMenuTrackerGuard&) = delete;
    TMenuTrackerGuard& operator=(const TMenuTrackerGuard&) = delete;

private:
    TMenuTracker FPrevious;
};
