#include "Menus.h"

#include <algorithm>

#include "ActnList.h"
#include "Forms.h"

// --- Shortcuts ------------------------------------------------------------------------------

namespace {

struct TKeyName {
    Word Key;
    const char* Name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

constexpr const char* kModifierNames[] = {"Shift+", "Ctrl+", "Alt+"};
constexpr TShortCut kModifierBits[] = {scShift, scCtrl, scAlt};

// The name the system's keyboard layout gives a key (numeric pad, punctuation), or "".
AnsiString SystemKeyName(Word key)
{
    UINT scan = MapVirtualKeyA(key, 0 /* MAPVK_VK_TO_VSC */);
    if (scan == 0)
        return "";
    LONG lParam = static_cast<LONG>(scan << 16);
    if (key >= VK_PRIOR && key <= VK_HELP)
        lParam |= 1 << 24; // the extended keys of the cursor block
    char buf[64] = {};
    int n = GetKeyNameTextA(lParam, buf, sizeof buf);
    return AnsiString(buf, static_cast<size_t>(std::max(n, 0)));
}

AnsiString KeyName(Word key)
{
    for (const TKeyName& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return AnsiString(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    return SystemKeyName(key);
}

bool StartsWithText(const AnsiString& s, const char* prefix)
{
    size_t n = std::char_traits<char>::length(prefix);
    return s.size() >= n && SameText(s.substr(0, n), prefix);
}

} // namespace

TShortCut ShortCut(Word Key, TShortCut Modifiers)
{
    if (Key & 0xFF00)
        return 0;
    return static_cast<TShortCut>(Key | (Modifiers & (scShift | scCtrl | scAlt)));
}

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    TShortCut mods = 0;
    if (Shift.Contains(ssShift))
        mods |= scShift;
    if (Shift.Contains(ssCtrl))
        mods |= scCtrl;
    if (Shift.Contains(ssAlt))
        mods |= scAlt;
    return ShortCut(Key, mods);
}

AnsiString ShortCutToText(TShortCut ShortCut)
{
    AnsiString name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return "";
    AnsiString result;
    for (int i = 0; i < 3; ++i)
        if (ShortCut & kModifierBits[i])
            result += kModifierNames[i];
    return result + name;
}

TShortCut TextToShortCut(const AnsiString& Text)
{
    AnsiString rest = Text;
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (int i = 0; i < 3; ++i)
            if (rest.size() > std::char_traits<char>::length(kModifierNames[i]) &&
                StartsWithText(rest, kModifierNames[i])) {
                modifiers |= kModifierBits[i];
                rest.erase(0, std::char_traits<char>::length(kModifierNames[i]));
                found = true;
            }
    }
    if (rest.empty())
        return 0;
    for (const TKeyName& k : kKeyNames)
        if (SameText(rest, k.Name))
            return ShortCut(k.Key, modifiers);
    if (rest.size() == 1) {
        char c = AnsiUpperChar(rest[0]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return ShortCut(static_cast<Word>(c), modifiers);
    }
    if ((rest[0] == 'F' || rest[0] == 'f') && rest.size() <= 3) {
        Integer n;
        if (TryStrToInt(rest.substr(1), n) && n >= 1 && n <= 24 && rest[1] != '$' && rest[1] != '0')
            return ShortCut(static_cast<Word>(VK_F1 + n - 1), modifiers);
    }
    for (Word key = 1; key < 0x100; ++key) {
        AnsiString name = SystemKeyName(key);
        if (!name.empty() && SameText(rest, name))
            return ShortCut(key, modifiers);
    }
    return 0;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShortCut& Modifiers)
{
    Key = ShortCut & 0xFF;
    Modifiers = ShortCut & (scShift | scCtrl | scAlt);
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift)
{
    Key = ShortCut & 0xFF;
    Shift = TShiftState();
    if (ShortCut & scShift)
        Shift.Include(ssShift);
    if (ShortCut & scCtrl)
        Shift.Include(ssCtrl);
    if (ShortCut & scAlt)
        Shift.Include(ssAlt);
}

TShortCut ShortCutFromMessage(const TWMKey& Message)
{
    TShortCut sc = Message.CharCode & 0xFF;
    if (GetKeyState(VK_SHIFT) < 0)
        sc |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        sc |= scCtrl;
    if (Message.KeyData & 0x20000000) // the Alt bit of the key data
        sc |= scAlt;
    return sc;
}

char GetHotkeyChar(const AnsiString& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i)
        if (Caption[i] == '&') {
            if (Caption[i + 1] != '&')
                return Caption[i + 1];
            ++i;
        }
    return 0;
}

// --- Shared state: command ids, click guards, the pop-up list -------------------------------

namespace {

// The command pool: the item of each command id in use (index = id; 0 is never used).
std::vector<TMenuItem*> g_commands(1, nullptr);

UINT AllocateCommand(TMenuItem* item)
{
    for (size_t id = 1; id < g_commands.size(); ++id)
        if (!g_commands[id]) {
            g_commands[id] = item;
            return static_cast<UINT>(id);
        }
    if (g_commands.size() > 0xFFFF)
        throw EMenuError("Too many menu items");
    g_commands.push_back(item);
    return static_cast<UINT>(g_commands.size() - 1);
}

void ReleaseCommand(UINT id)
{
    if (id < g_commands.size())
        g_commands[id] = nullptr;
    while (g_commands.size() > 1 && !g_commands.back())
        g_commands.pop_back();
}

// Watches an item across a call that may free it (a click handler). While any watch exists,
// the menu handles of freed items are kept until the outermost watch ends, so that a menu the
// system is still showing or dispatching never loses its handle under it.
struct TItemWatch {
    explicit TItemWatch(TMenuItem* item);
    ~TItemWatch();
    TItemWatch(const TItemWatch&) = delete;
    TItemWatch& operator=(const TItemWatch&) = delete;
    TMenuItem* Item;
    bool Alive = true;
    TItemWatch* Next;
};

TItemWatch* g_watches = nullptr;
std::vector<HMENU> g_pendingMenus;

TItemWatch::TItemWatch(TMenuItem* item) : Item(item), Next(g_watches) { g_watches = this; }

TItemWatch::~TItemWatch()
{
    g_watches = Next;
    if (!g_watches) {
        std::vector<HMENU> pending;
        pending.swap(g_pendingMenus);
        for (HMENU h : pending)
            DestroyMenu(h);
    }
}

void ItemDestroyed(TMenuItem* item)
{
    for (TItemWatch* w = g_watches; w; w = w->Next)
        if (w->Item == item)
            w->Alive = false;
}

// Removes every entry of a menu handle without destroying the submenus attached to them (they
// belong to their own items).
void EmptyMenu(HMENU h)
{
    while (GetMenuItemCount(h) > 0)
        if (!RemoveMenu(h, 0, MF_BYPOSITION))
            break;
}

// Every pop-up menu in existence; the pop-up list window hands its messages to them.
std::vector<TPopupMenu*> g_popupMenus;

void ReportException(TObject* sender) noexcept { HandleCurrentException(sender); }

// The screen's menu font, assigned to a canvas for measuring and drawing.
void AssignMenuFont(TCanvas* canvas)
{
    if (Screen && Screen->MenuFont())
        canvas->Font()->Assign(Screen->MenuFont());
}

void InstallMenuHooks();

} // namespace

// --- Menu items -----------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner)
{
    InstallMenuHooks();
    FCommand = AllocateCommand(this);
}

TMenuItem::~TMenuItem()
{
    FActionLink.reset();
    ItemDestroyed(this);
    if (FParent)
        FParent->RemoveItem(this);
    DestroyMenuHandle();
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        child->Free();
    }
    ReleaseCommand(FCommand);
}

void TMenuItem::DestroyMenuHandle()
{
    if (!FHandle)
        return;
    HMENU h = FHandle;
    FHandle = nullptr;
    EmptyMenu(h);
    if (g_watches)
        g_pendingMenus.push_back(h);
    else
        DestroyMenu(h);
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EMenuError("Menu item cannot contain itself");
    InsertItem(Index, Item);
}

void TMenuItem::InsertItem(int Index, TMenuItem* Item)
{
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    RebuildHandle();
    // The first sub-item turns this item into a submenu: its own entry changes.
    MenuChanged(Count() == 1);
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    RemoveItem(item);
    item->Free();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    if (IndexOf(Item) < 0)
        throw EMenuError("Menu item not found");
    RemoveItem(Item);
}

void TMenuItem::RemoveItem(TMenuItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
    RebuildHandle();
    MenuChanged(FItems.empty());
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const
{
    const AnsiString wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (AnsiSameText(StripHotkey(item->FCaption), wanted))
            return item;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value)
{
    if (!FParent)
        return;
    TMenuItem* parent = FParent;
    int count = parent->Count();
    Value = std::clamp(Value, 0, count - 1);
    if (Value == MenuIndex())
        return;
    auto it = std::find(parent->FItems.begin(), parent->FItems.end(), this);
    parent->FItems.erase(it);
    parent->FItems.insert(parent->FItems.begin() + Value, this);
    parent->RebuildHandle();
    MenuChanged(true);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

void TMenuItem::SetCaption(const AnsiString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff()
{
    if (!FParent)
        return;
    for (TMenuItem* item : FParent->FItems)
        if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex && item->FChecked) {
            item->FChecked = false;
            item->MenuChanged(false);
        }
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (FRadioItem == Value)
        return;
    FRadioItem = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(Byte Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    if (Value && FParent)
        for (TMenuItem* item : FParent->FItems)
            item->FDefault = false;
    FDefault = Value;
    MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    MenuChanged(false);
}

TBitmap* TMenuItem::Bitmap()
{
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value)
{
    Bitmap()->Assign(Value);
    MenuChanged(false);
}

HMENU TMenuItem::Handle()
{
    if (!FHandle) {
        FHandle = FMenu ? FMenu->CreateMenuHandle() : CreatePopupMenu();
        if (!FHandle)
            throw EMenuError("Cannot create a menu handle");
        RebuildHandle();
    }
    return FHandle;
}

AnsiString TMenuItem::EntryText() const
{
    AnsiString text = FCaption;
    // Top-line items of a main menu show no shortcut.
    const bool topLine = FParent && !FParent->FParent && FParent->FMenu && FParent->FMenu->InheritsFrom("TMainMenu");
    if (FShortCut && !topLine) {
        AnsiString sc = ShortCutToText(FShortCut);
        if (!sc.empty())
            text += "\t" + sc;
    }
    return text;
}

namespace {

// The type and state of a child's entry.
void EntryLook(const TMenuItem* Child, bool OwnerDraw, MENUITEMINFOA& mii)
{
    mii.fMask |= MIIM_FTYPE | MIIM_STATE;
    mii.fType = Child->IsLine() ? MFT_SEPARATOR : Child->RadioItem() ? MFT_RADIOCHECK : 0;
    if (OwnerDraw)
        mii.fType |= MFT_OWNERDRAW;
    mii.fState = 0;
    if (Child->Checked())
        mii.fState |= MFS_CHECKED;
    if (!Child->Enabled())
        mii.fState |= MFS_DISABLED | MFS_GRAYED;
    if (Child->Default())
        mii.fState |= MFS_DEFAULT;
}

} // namespace

void TMenuItem::AppendEntry(HMENU Menu, TMenuItem* Child)
{
    TMenu* menu = GetParentMenu();
    AnsiString text = Child->EntryText();
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_DATA;
    EntryLook(Child, menu && menu->OwnerDraw(), mii);
    if (!Child->IsLine()) {
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = text.data();
        mii.cch = static_cast<UINT>(text.size());
    }
    mii.wID = Child->FCommand;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(Child);
    if (Child->Count() > 0) {
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = Child->Handle();
    }
    InsertMenuItemA(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mii);
}

std::vector<TMenuItem*> TMenuItem::Entries() const
{
    TMenuItem* merged = FMenu ? FMenu->MergedItems() : nullptr;
    if (!merged)
        return FItems;
    // Group by group in rising order: the merged menu's items of a group replace this one's.
    const std::vector<TMenuItem*>& own = FItems;
    const std::vector<TMenuItem*>& other = merged->FItems;
    std::vector<TMenuItem*> result;
    size_t i = 0, j = 0;
    while (i < own.size() || j < other.size()) {
        const int ownGroup = i < own.size() ? own[i]->FGroupIndex : 256;
        const int otherGroup = j < other.size() ? other[j]->FGroupIndex : 256;
        const int group = std::min(ownGroup, otherGroup);
        if (otherGroup == group) {
            while (j < other.size() && other[j]->FGroupIndex == group)
                result.push_back(other[j++]);
        } else {
            while (i < own.size() && own[i]->FGroupIndex == group)
                result.push_back(own[i++]);
        }
        while (i < own.size() && own[i]->FGroupIndex == group)
            ++i;
    }
    return result;
}

void TMenuItem::RebuildHandle()
{
    if (!FHandle)
        return;
    EmptyMenu(FHandle);
    for (TMenuItem* child : Entries())
        if (child->FVisible)
            AppendEntry(FHandle, child);
}

void TMenuItem::UpdateEntry(TMenuItem* Child)
{
    if (!FHandle || !Child->FVisible)
        return;
    UINT position = 0;
    const std::vector<TMenuItem*> entries = Entries();
    for (TMenuItem* c : entries) {
        if (c == Child)
            break;
        if (c->FVisible)
            ++position;
    }
    if (std::find(entries.begin(), entries.end(), Child) == entries.end())
        return; // its place is taken by a merged menu's item
    TMenu* menu = GetParentMenu();
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    EntryLook(Child, menu && menu->OwnerDraw(), mii);
    SetMenuItemInfoA(FHandle, position, TRUE, &mii);
}

void TMenuItem::MenuChanged(bool Rebuild)
{
    // A change of the look or state is made in place: a menu being shown keeps its entries (an
    // item enabled by a timer while its menu is open must not empty that menu under the user).
    if (FParent) {
        if (Rebuild)
            FParent->RebuildHandle();
        else
            FParent->UpdateEntry(this);
    }
    if (TMenu* menu = GetParentMenu())
        menu->MenuChanged(menu, this, Rebuild);
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    TItemWatch watch(this);
    TBasicAction* action = Action();
    if (action && !(OnClick && OnClick != action->OnExecute)) {
        FActionLink->Execute(this);
        return;
    }
    // A copy, so that a handler that frees the item does not destroy the code it runs.
    TNotifyEvent handler = OnClick;
    if (handler)
        handler(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    const bool topLevel = FParent && !FParent->FParent && FParent->FMenu && FParent->FMenu->InheritsFrom("TMainMenu");
    if (IsLine()) {
        Width = 0;
        Height = GetSystemMetrics(SM_CYMENU) / 2;
    } else {
        AnsiString text = EntryText();
        RECT r{0, 0, 0, 0};
        // Measured in the canvas's font (the menu font), which the context holds only while the
        // canvas itself draws.
        const HDC dc = ACanvas->Handle();
        const HGDIOBJ oldFont = SelectObject(dc, ACanvas->Font()->Handle());
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
        SelectObject(dc, oldFont);
        SIZE glyph{16, 16};
        TMenu* menu = GetParentMenu();
        if (HasBitmap())
            glyph = SIZE{FBitmap->Width(), FBitmap->Height()};
        else if (menu && menu->Images())
            glyph = SIZE{menu->Images()->Width(), menu->Images()->Height()};
        Width = topLevel ? r.right + 4 : glyph.cx + 8 + r.right + 24;
        Height = std::max<int>({r.bottom + 4, GetSystemMetrics(SM_CYMENU), static_cast<int>(glyph.cy) + 4});
    }
    TMenuMeasureItemEvent handler = OnMeasureItem;
    if (handler)
        handler(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State, bool TopLevel)
{
    if (TAdvancedMenuDrawItemEvent handler = OnAdvancedDrawItem) {
        handler(this, ACanvas, ARect, State);
    } else if (TMenuDrawItemEvent plain = OnDrawItem) {
        plain(this, ACanvas, ARect, State.Contains(odSelected));
    } else {
        DrawPlainItem(ACanvas, ARect, State, TopLevel);
    }
}

void TMenuItem::DrawPlainItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State, bool TopLevel)
{
    HDC dc = ACanvas->Handle();
    const bool selected = State.Contains(odSelected) || State.Contains(odHotLight);
    RECT r = ARect;
    FillRect(dc, &r, GetSysColorBrush(selected && !IsLine() ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (IsLine()) {
        RECT line{r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, (r.top + r.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    const int glyph = images && !HasBitmap() ? images->Width() : 16;
    if (!TopLevel) {
        const bool enabled = FEnabled && !State.Contains(odDisabled) && !State.Contains(odGrayed);
        if (HasBitmap()) {
            ACanvas->Draw(r.left + 2, r.top + (r.bottom - r.top - FBitmap->Height()) / 2, FBitmap.get());
        } else if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
            images->Draw(ACanvas, r.left + 2, r.top + (r.bottom - r.top - images->Height()) / 2, FImageIndex,
                         enabled);
        } else if (FChecked) {
            RECT box{r.left + 2, r.top + (r.bottom - r.top - glyph) / 2, r.left + 2 + glyph,
                     r.top + (r.bottom - r.top - glyph) / 2 + glyph};
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP mono = CreateBitmap(glyph, glyph, 1, 1, nullptr);
            HGDIOBJ old = SelectObject(mem, mono);
            RECT mr{0, 0, glyph, glyph};
            DrawFrameControl(mem, &mr, DFC_MENU, FRadioItem ? DFCS_MENUBULLET : DFCS_MENUCHECK);
            SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
            BitBlt(dc, box.left, box.top, glyph, glyph, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(mono);
            DeleteDC(mem);
        }
        r.left += glyph + 8;
        r.right -= 8;
    }
    int textColor = COLOR_MENUTEXT;
    if (!FEnabled || State.Contains(odDisabled) || State.Contains(odGrayed))
        textColor = COLOR_GRAYTEXT;
    else if (selected)
        textColor = COLOR_HIGHLIGHTTEXT;
    if (State.Contains(odDefault))
        ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + TFontStyles{fsBold});
    HDC tdc = ACanvas->Handle();
    HGDIOBJ oldFont = SelectObject(tdc, ACanvas->Font()->Handle());
    SetBkMode(tdc, TRANSPARENT);
    SetTextColor(tdc, GetSysColor(textColor));
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (State.Contains(odNoAccel))
        flags |= DT_HIDEPREFIX;
    DrawTextA(tdc, FCaption.c_str(), static_cast<int>(FCaption.size()), &r, flags | (TopLevel ? DT_CENTER : DT_LEFT));
    AnsiString sc = FShortCut && !TopLevel ? ShortCutToText(FShortCut) : AnsiString();
    if (!sc.empty())
        DrawTextA(tdc, sc.c_str(), static_cast<int>(sc.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SelectObject(tdc, oldFont);
}

// --- Menus ----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner)
{
    InstallMenuHooks();
    FItems = Create<TMenuItem>(this);
    FItems->FMenu = this;
}

void TMenu::BeforeDestruction()
{
    Detach();
    inherited::BeforeDestruction();
    FItems = nullptr; // freed with the owned components
}

TMenu::~TMenu()
{
    if (FItems)
        Detach();
}

void TMenu::Detach()
{
    if (FWindowHandle && IsWindow(FWindowHandle) && FItems->FHandle && GetMenu(FWindowHandle) == FItems->FHandle)
        ::SetMenu(FWindowHandle, nullptr);
    // The root item is owned by this menu and goes with the owned components; the items that
    // go with it no longer call back into a menu that is going.
    FItems->FMenu = nullptr;
}

HMENU TMenu::Handle() { return FItems->Handle(); }

void TMenu::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    // Every entry changes its type: rebuild the handles from the leaves up.
    std::function<void(TMenuItem*)> rebuild = [&](TMenuItem* item) {
        for (TMenuItem* child : item->FItems)
            rebuild(child);
        item->RebuildHandle();
    };
    rebuild(FItems);
    MenuChanged(this, nullptr, true);
}

void TMenu::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    MenuChanged(this, nullptr, false);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TMenu::SetWindowHandle(HWND Value)
{
    FWindowHandle = Value;
    if (Value && FItems->FHandle)
        DrawMenuBar(Value);
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild)
{
    if (OnChange) {
        TMenuChangeEvent handler = OnChange;
        handler(Sender, Source, Rebuild);
    }
}

void TMainMenu::Merge(TMainMenu* Menu)
{
    if (Menu == FMerged || Menu == this)
        return;
    if (FMerged) {
        FMerged->FMergedInto = nullptr;
        RemoveFreeNotification(FMerged);
    }
    FMerged = Menu;
    if (Menu) {
        if (Menu->FMergedInto)
            Menu->FMergedInto->Unmerge(Menu);
        Menu->FMergedInto = this;
        FreeNotification(Menu);
    }
    Items()->RebuildHandle();
    MenuChanged(this, nullptr, true);
}

void TMainMenu::Unmerge(TMainMenu* Menu)
{
    if (Menu && Menu == FMerged)
        Merge(nullptr);
}

TMenuItem* TMainMenu::MergedItems() const { return FMerged ? FMerged->Items() : nullptr; }

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMergedInto)
        FMergedInto = nullptr;
    if (AComponent == FMerged) {
        FMerged = nullptr;
        if (!ComponentState().Contains(csDestroying)) {
            Items()->RebuildHandle();
            MenuChanged(this, nullptr, true);
        }
    }
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild)
{
    // The menu bar this one is merged into shows its items too.
    if (FMergedInto) {
        FMergedInto->Items()->RebuildHandle();
        FMergedInto->MenuChanged(Sender, Source, Rebuild);
    }
    // The window learns of the change (a skinned frame measures its menu line again), then its
    // menu bar is drawn anew: not for a change of the look or state of an item below the bar,
    // which the bar does not show (a timer that enables commands redrew it once per item).
    if (WindowHandle() && Items()->HandleAllocated() && IsWindow(WindowHandle())) {
        SendMessageA(WindowHandle(), CM_MENUCHANGED, 0, 0);
        if (Rebuild || !Source || Source->Parent() == Items())
            DrawMenuBar(WindowHandle());
    }
    inherited::MenuChanged(Sender, Source, Rebuild);
}

TMenuItem* TMenu::FindItem(UINT Value, TFindItemKind Kind)
{
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        bool match = false;
        switch (Kind) {
        case fkCommand:
            match = item->FCommand == Value;
            break;
        case fkHandle:
            match = item->FHandle && reinterpret_cast<UINT_PTR>(item->FHandle) == Value;
            break;
        case fkShortCut:
            match = item->FShortCut && item->FShortCut == Value;
            break;
        }
        if (match)
            return item;
        for (TMenuItem* child : item->FItems)
            if (TMenuItem* found = find(child))
                return found;
        return nullptr;
    };
    if (TMenuItem* found = find(FItems))
        return found;
    TMenuItem* merged = MergedItems();
    return merged ? find(merged) : nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand)
{
    TMenuItem* item = ACommand ? FindItem(ACommand, fkCommand) : nullptr;
    if (!item || item == FItems)
        return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenu)
{
    TMenuItem* item = AMenu ? FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(AMenu)), fkHandle) : nullptr;
    if (!item)
        return false;
    // The items' actions first (a pop-up menu's own list is its root item's submenu).
    TItemWatch watch(item);
    item->InitiateActions();
    if (watch.Alive)
        item->Click();
    return true;
}

bool TMenu::IsShortCut(TWMKey& Message)
{
    const TShortCut sc = ShortCutFromMessage(Message);
    if ((sc & 0xFF) == 0)
        return false;
    TMenuItem* item = FindItem(sc, fkShortCut);
    if (!item)
        return false;
    // The parents first, outermost first, as when their submenus open; then the item, when it
    // and every parent are still there and enabled. A hidden item keeps its shortcut.
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = item->FParent; p && p != FItems; p = p->FParent)
        chain.insert(chain.begin(), p);
    TItemWatch watch(item);
    for (TMenuItem* p : chain) {
        TItemWatch parentWatch(p);
        p->Click();
        if (!watch.Alive || !parentWatch.Alive)
            return true;
    }
    for (TMenuItem* p = item; p && p != FItems; p = p->FParent)
        if (!p->FEnabled)
            return false;
    item->Click();
    return true;
}

namespace {

// The item an owner-draw message speaks of: by command id, by submenu handle, or by the item
// pointer stored in the entry (compared, never followed).
TMenuItem* OwnerDrawItem(TMenu* menu, UINT itemID, ULONG_PTR itemData)
{
    if (TMenuItem* item = menu->FindItem(itemID, fkCommand))
        return item;
    if (TMenuItem* item = menu->FindItem(itemID, fkHandle))
        return item;
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
        if (reinterpret_cast<ULONG_PTR>(item) == itemData)
            return item;
        for (int i = 0; i < item->Count(); ++i)
            if (TMenuItem* found = find(item->Items(i)))
                return found;
        return nullptr;
    };
    return itemData ? find(menu->Items()) : nullptr;
}

// A canvas on a device context it does not own, restored afterwards.
class TBorrowedCanvas {
public:
    explicit TBorrowedCanvas(HDC dc) : dc_(dc), saved_(SaveDC(dc))
    {
        canvas_.SetHandle(dc);
        AssignMenuFont(&canvas_);
    }
    ~TBorrowedCanvas()
    {
        canvas_.SetHandle(nullptr);
        // The system draws a submenu's arrow after the item, in the colours its painter left.
        const COLORREF text = GetTextColor(dc_), back = GetBkColor(dc_);
        RestoreDC(dc_, saved_);
        SetTextColor(dc_, text);
        SetBkColor(dc_, back);
    }
    TBorrowedCanvas(const TBorrowedCanvas&) = delete;
    TBorrowedCanvas& operator=(const TBorrowedCanvas&) = delete;
    TCanvas* operator->() { return &canvas_; }
    TCanvas* Get() { return &canvas_; }

private:
    HDC dc_;
    int saved_;
    TCanvas canvas_;
};

} // namespace

bool TMenu::HandleMenuMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
        if (HIWORD(Message.WParam) == 0 && Message.LParam == 0 && DispatchCommand(LOWORD(Message.WParam))) {
            Message.Result = 0;
            return true;
        }
        return false;
    case WM_INITMENUPOPUP:
        if (!HIWORD(Message.LParam))
            DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
        return false; // the window's own handling goes on
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (!mis || mis->CtlType != ODT_MENU)
            return false;
        TMenuItem* item = OwnerDrawItem(this, mis->itemID, mis->itemData);
        if (!item)
            return false;
        HDC dc = GetDC(nullptr);
        int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
        {
            TBorrowedCanvas canvas(dc);
            item->MeasureItem(canvas.Get(), w, h);
        }
        ReleaseDC(nullptr, dc);
        mis->itemWidth = static_cast<UINT>(std::max(w, 0));
        mis->itemHeight = static_cast<UINT>(std::max(h, 0));
        Message.Result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (!dis || dis->CtlType != ODT_MENU)
            return false;
        TMenuItem* item = OwnerDrawItem(this, dis->itemID, dis->itemData);
        if (!item)
            return false;
        const bool topLevel = item->FParent == FItems && InheritsFrom("TMainMenu");
        TBorrowedCanvas canvas(dis->hDC);
        item->AdvancedDrawItem(canvas.Get(), dis->rcItem, OwnerDrawStateFromFlags(dis->itemState), topLevel);
        Message.Result = TRUE;
        return true;
    }
    case WM_MENUSELECT: {
        // The hint of the highlighted item becomes the application's hint (the long part, after
        // a "|"); nothing highlighted or the menu closed clears it.
        const UINT flags = HIWORD(Message.WParam);
        const HMENU menu = reinterpret_cast<HMENU>(Message.LParam);
        TMenuItem* item = nullptr;
        if (flags == 0xFFFF && !menu) {
            if (Application)
                Application->SetHint("");
            return false;
        }
        if (flags & MF_POPUP) {
            HMENU sub = menu ? GetSubMenu(menu, LOWORD(Message.WParam)) : nullptr;
            item = sub ? FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(sub)), fkHandle) : nullptr;
        } else {
            item = FindItem(LOWORD(Message.WParam), fkCommand);
        }
        if (!item || !Application)
            return false;
        const size_t bar = item->Hint.find('|');
        Application->SetHint(bar == AnsiString::npos ? item->Hint : item->Hint.substr(bar + 1));
        return false;
    }
    case WM_MENUCHAR: {
        // Owner-drawn entries have no text the system could search for the hot key.
        if (!FOwnerDraw)
            return false;
        TMenuItem* parent = FindItem(static_cast<UINT>(Message.LParam), fkHandle);
        if (!parent)
            return false;
        const char key = AnsiUpperChar(static_cast<char>(LOWORD(Message.WParam)));
        int position = 0;
        for (TMenuItem* child : parent->FItems) {
            if (!child->FVisible)
                continue;
            char hot = GetHotkeyChar(child->FCaption);
            if (hot && AnsiUpperChar(hot) == key) {
                Message.Result = MAKELRESULT(position, MNC_EXECUTE);
                return true;
            }
            ++position;
        }
        return false;
    }
    default:
        return false;
    }
}

// --- Pop-up menus ---------------------------------------------------------------------------

namespace {

LRESULT CALLBACK PopupListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUSELECT:
    case WM_MENUCHAR: {
        TMessage m{};
        m.Msg = msg;
        m.WParam = wParam;
        m.LParam = lParam;
        // A handler may free menus: walk a copy and check each is still there.
        std::vector<TPopupMenu*> menus = g_popupMenus;
        for (TPopupMenu* menu : menus) {
            if (std::find(g_popupMenus.begin(), g_popupMenus.end(), menu) == g_popupMenus.end())
                continue;
            try {
                if (menu->HandleMenuMessage(m))
                    return m.Result;
            } catch (...) {
                ReportException(menu);
                return msg == WM_COMMAND ? 0 : TRUE;
            }
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

} // namespace

HWND PopupListWindow()
{
    static HWND wnd = nullptr;
    if (!wnd || !IsWindow(wnd)) {
        static const char* kClass = "VellornPopupList";
        WNDCLASSA wc{};
        wc.lpfnWndProc = PopupListProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    }
    return wnd;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { g_popupMenus.push_back(this); }

TPopupMenu::~TPopupMenu()
{
    g_popupMenus.erase(std::remove(g_popupMenus.begin(), g_popupMenus.end(), this), g_popupMenus.end());
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == PopupComponent)
        PopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    FPopupPoint = POINT{X, Y};
    if (OnPopup) {
        TNotifyEvent handler = OnPopup;
        handler(this);
    }
    HMENU menu = Handle();
    UINT flags = TPM_RIGHTBUTTON;
    if (Alignment == paRight)
        flags |= TPM_RIGHTALIGN;
    else if (Alignment == paCenter)
        flags |= TPM_CENTERALIGN;
    // The hidden list window only hears the menu's messages: it never takes the focus, and the
    // window that had the focus has it again before a chosen command runs, as after a mouse pick.
    HWND wnd = PopupListWindow();
    HWND focus = GetFocus();
    TrackPopupMenu(menu, flags, X, Y, 0, wnd, nullptr);
    PostMessageA(wnd, WM_NULL, 0, 0);
    if (focus && IsWindow(focus) && GetFocus() != focus && IsWindowVisible(focus) && IsWindowEnabled(focus)) {
        if (GetForegroundWindow() == wnd)
            SetForegroundWindow(GetAncestor(focus, GA_ROOT));
        SetFocus(focus);
    }
}

// --- Hooks for controls and forms -----------------------------------------------------------

namespace {

bool PopupControlMenu(TPopupMenu* menu, TControl* sender, int x, int y)
{
    if (!menu || !menu->AutoPopup)
        return false;
    menu->PopupComponent = sender;
    menu->Popup(x, y);
    return true;
}

bool PopupShortCut(TPopupMenu* menu, TWMKey& message) { return menu && menu->IsShortCut(message); }

void InstallMenuHooks()
{
    PopupMenuHook = &PopupControlMenu;
    PopupMenuShortCutHook = &PopupShortCut;
}

} // namespace

namespace {
// The hooks are in place from the start, also before the first menu is made.
const bool g_hooksInstalled = (InstallMenuHooks(), true);
} // namespace

// --- The replaceable tracker ------------------------------------------------------------------

namespace {
TMenuTracker g_menuTracker;
} // namespace

BOOL TrackMenu(HMENU Menu, UINT Flags, int X, int Y, HWND Owner)
{
    if (g_menuTracker)
        return g_menuTracker(Menu, Flags, X, Y, Owner);
    return TrackPopupMenu(Menu, Flags, X, Y, 0, Owner, nullptr);
}

TMenuTrackerGuard::TMenuTrackerGuard(TMenuTracker Tracker) : FPrevious(std::move(g_menuTracker))
{
    g_menuTracker = std::move(Tracker);
}

TMenuTrackerGuard::~TMenuTrackerGuard() { g_menuTracker = std::move(FPrevious); }
