#include "sSkinMenus.h"

#include <algorithm>
#include <string_view>

#include "Forms.h"
#include "sConst.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMDIForm.h"
#include "sMaskGraph.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sUtils.h"

TsSkinProvider* MDISkinProvider = nullptr;

namespace {

TMenuBGArray g_menuBGs;
TsMenuItemType g_itemType = smNormal;

constexpr int kTextFlagsCalc = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE;

// The screen's menu font on a canvas (when the screen has one).
void AssignMenuFont(TCanvas* ACanvas)
{
    if (Screen && Screen->MenuFont())
        ACanvas->SetFont(Screen->MenuFont());
}

AnsiString ShortCutText(TMenuItem* Item)
{
    return Item->ShortCut() ? ShortCutToText(Item->ShortCut()) : AnsiString();
}

bool Destroying(TComponent* C) { return C->ComponentState().Contains(csDestroying); }

// Without the skin a menu is drawn by the system, except one with pictures: only the framework's
// own owner drawing shows them.
bool PlainOwnerDraw(TMenu* Menu) { return Menu->Images() != nullptr; }

TMenuItem* FirstOfParent(TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    return parent && parent->Count() > 0 ? parent->Items(0) : Item;
}

// A menu text in the section's colours. A disabled item is written once, halfway between the
// section's text colour and the background at Under (the section's own background where the
// context gives no pixel), so that it reads fainter than the enabled items on a light and on a
// dark menu alike: the system's raised look (a highlight under a shadow) suits a light face only,
// and stands out brighter than the text on a dark one.
void MenuText(TCanvas* Canvas, const AnsiString& Text, bool Enabled, TRect& R, int Flags, int Section, bool Hot,
              POINT Under)
{
    if (Enabled || !IsValidSkinIndex(Section)) {
        WriteTextEx(Canvas, Text.c_str(), Enabled, R, Flags, Section, Hot);
        return;
    }
    const TsGeneralData& s = gd[static_cast<std::size_t>(Section)];
    const COLORREF pixel = GetPixel(Canvas->Handle(), Under.x, Under.y);
    const TColor under = pixel != CLR_INVALID ? static_cast<TColor>(pixel) : Hot ? s.HotColor : s.Color;
    Canvas->Font()->SetColor(ChangeColor(Hot ? s.HotFontColor[0] : s.FontColor[0], under, 0.5));
    WriteTextEx(Canvas, Text.c_str(), true, R, Flags, -1, false);
}

// The colour of a menu's lines (its frame, separators and check boxes): halfway between the item
// section's text colour and the menu's face, as a disabled caption is written.
TColor MenuLineColour(int Section, TColor Face)
{
    if (!IsValidSkinIndex(Section))
        return ColorToRGB(clBtnShadow);
    return DisabledTextColor(gd[static_cast<std::size_t>(Section)].FontColor[0], Face);
}

// The menu's face: the submenu background's pixel at (X, Y), or the section's colour.
TColor MenuFace(TBitmap* Background, int X, int Y)
{
    if (Background && X >= 0 && Y >= 0 && X < Background->Width() && Y < Background->Height())
        return static_cast<TColor>(GetPixel(Background->Canvas()->Handle(), X, Y));
    const int section = GetSkinIndex("MAINMENU");
    return IsValidSkinIndex(section) ? ColorToRGB(gd[static_cast<std::size_t>(section)].Color) : ColorToRGB(clMenu);
}

// The margin the system keeps around a pop-up menu's items.
constexpr int kMenuMargin = 3;

// The frame of a pop-up menu window, around its items (the system draws a raised edge in its own
// light colours there): the menu's face, with a one-pixel line of the menu's line colour at the
// outside.
void PaintMenuFrame(HWND Menu, TColor Face, TColor Line)
{
    HWND menu = Menu;
    RECT window{}, client{};
    if (!GetWindowRect(menu, &window) || !GetClientRect(menu, &client))
        return;
    MapWindowPoints(menu, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    // Without a border of the window's own, the system draws its edge inside the client area, in
    // the margin it keeps around the items.
    const bool inside = EqualRect(&client, &window) != FALSE;
    if (inside)
        InflateRect(&client, -kMenuMargin, -kMenuMargin);
    struct TWindowDC {
        HWND Wnd;
        HDC DC;
        ~TWindowDC()
        {
            if (DC)
                ReleaseDC(Wnd, DC);
        }
    } dc{menu, inside ? GetDC(menu) : GetWindowDC(menu)};
    if (!dc.DC)
        return;
    TGdiHandle<HBRUSH> face(CreateSolidBrush(ColorToRGB(Face)));
    TGdiHandle<HBRUSH> line(CreateSolidBrush(ColorToRGB(Line)));
    const RECT sides[] = {{0, 0, window.right, client.top},
                          {0, client.bottom, window.right, window.bottom},
                          {0, client.top, client.left, client.bottom},
                          {client.right, client.top, window.right, client.bottom}};
    for (const RECT& r : sides)
        FillRect(dc.DC, &r, face.Get());
    FrameRect(dc.DC, &window, line.Get());
}

struct TMenuFrame {
    HMENU Menu;
    TColor Face, Line;
};

BOOL CALLBACK PaintMenuWindowFrame(HWND Wnd, LPARAM Param)
{
    const auto* f = reinterpret_cast<const TMenuFrame*>(Param);
    char name[16] = {};
    if (IsWindowVisible(Wnd) && GetClassNameA(Wnd, name, sizeof name) && std::string_view(name) == "#32768" &&
        reinterpret_cast<HMENU>(SendMessageA(Wnd, MN_GETHMENU, 0, 0)) == f->Menu)
        PaintMenuFrame(Wnd, f->Face, f->Line);
    return TRUE;
}

// The frame of the open pop-up window of this thread that shows Item's menu (the item's context
// may be a buffer of the system's, not the window's). Painted with the menu's first entry only:
// the system draws its edge before the entries of a whole menu, and draws a single entry (one
// the pointer enters or leaves) without it, so the frame is painted once per paint of the menu.
void PaintMenuFrames(TMenuItem* Item, TColor Face, TColor Line)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return;
    MENUITEMINFOA first{};
    first.cbSize = sizeof first;
    first.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(parent->Handle(), 0, TRUE, &first) || reinterpret_cast<TMenuItem*>(first.dwItemData) != Item)
        return;
    TMenuFrame frame{parent->Handle(), Face, Line};
    EnumThreadWindows(GetCurrentThreadId(), PaintMenuWindowFrame, reinterpret_cast<LPARAM>(&frame));
}

} // namespace

TsSkinableMenus::TsSkinableMenus(TsSkinManager* AOwner)
    : FCaptionFont(std::make_unique<TFont>()), FOwner(AOwner)
{
}

TsSkinableMenus::~TsSkinableMenus() = default;

bool TsSkinableMenus::SkinnedPopups() const { return FOwner && FOwner->SkinnedPopups(); }

void TsSkinableMenus::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    InitItems(Value);
}

void TsSkinableMenus::UpdateMenus() { SetActive(sSkinData && sSkinData->Active); }

void TsSkinableMenus::InitComponent(TComponent* Component, bool AActive)
{
    if (auto* mainMenu = dynamic_cast<TMainMenu*>(Component)) {
        InitMenuLine(mainMenu, AActive);
        for (int i = 0; i < mainMenu->Items()->Count(); ++i)
            HookItem(mainMenu->Items()->Items(i), AActive);
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(Component)) {
        // Pop-ups switched off are unhooked, so that the system draws them again.
        HookPopupMenu(popup, AActive && SkinnedPopups());
    } else if (auto* item = dynamic_cast<TMenuItem*>(Component)) {
        TMenu* menu = item->GetParentMenu();
        if (!dynamic_cast<TMainMenu*>(menu))
            HookItem(item, AActive && SkinnedPopups());
    }
    for (int i = 0; i < Component->ComponentCount(); ++i)
        InitComponent(Component->Components(i), AActive);
}

void TsSkinableMenus::InitItems(bool AActive)
{
    FActive = AActive;
    if (!Application)
        return;
    if (FOneWalks > 0) {
        if (FWalked == static_cast<int>(AActive))
            return;
        FWalked = AActive;
    }
    for (int i = 0; i < Application->ComponentCount(); ++i)
        InitComponent(Application->Components(i), AActive);
}

TsSkinableMenus::TOneWalk::TOneWalk(TsSkinableMenus* Menus) : FMenus(Menus)
{
    if (FMenus && FMenus->FOneWalks++ == 0)
        FMenus->FWalked = -1;
}

TsSkinableMenus::TOneWalk::~TOneWalk()
{
    if (FMenus)
        --FMenus->FOneWalks;
}

void TsSkinableMenus::HookOne(TMenuItem* Item, bool AActive)
{
    const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::sAdvancedDrawItem);
    const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::sMeasureItem);
    if (AActive) {
        if (!Item->OnAdvancedDrawItem)
            Item->OnAdvancedDrawItem = draw;
        if (!Item->OnMeasureItem)
            Item->OnMeasureItem = measure;
    } else {
        if (Item->OnAdvancedDrawItem == draw)
            Item->OnAdvancedDrawItem = {};
        if (Item->OnMeasureItem == measure)
            Item->OnMeasureItem = {};
    }
}

void TsSkinableMenus::HookItem(TMenuItem* Item, bool AActive)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* sub = Item->Items(i);
        if (!AActive || !IsTopLine(sub))
            HookOne(sub, AActive);
        HookItem(sub, AActive);
    }
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* Menu, bool AActive)
{
    if (!Menu)
        return;
    Menu->SetOwnerDraw(AActive || PlainOwnerDraw(Menu));
    std::function<void(TMenuItem*)> walk = [&](TMenuItem* item) {
        for (int i = 0; i < item->Count(); ++i) {
            HookOne(item->Items(i), AActive);
            walk(item->Items(i));
        }
    };
    walk(Menu->Items());
}

void TsSkinableMenus::InitMenuLine(TMainMenu* Menu, bool AActive)
{
    if (!Menu)
        return;
    const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::sAdvancedDrawLineItem);
    const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::sMeasureLineItem);
    TMenuItem* root = Menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (AActive) {
            if (sSkinData && sSkinData->Active)
                item->OnAdvancedDrawItem = draw;
            item->OnMeasureItem = measure;
        } else {
            if (item->OnAdvancedDrawItem == draw)
                item->OnAdvancedDrawItem = {};
            if (item->OnMeasureItem == measure)
                item->OnMeasureItem = {};
        }
    }
    if (!Destroying(Menu))
        Menu->SetOwnerDraw(AActive || PlainOwnerDraw(Menu));
}

void TsSkinableMenus::InitItem(TMenuItem* Item, bool Inserted)
{
    DeleteUnusedBmps(true);
    if (!Item)
        return;
    if (!Inserted) {
        // Only this item's own skinned handlers go; its menu stays as it is.
        const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::sAdvancedDrawItem);
        const TAdvancedMenuDrawItemEvent line(this, &TsSkinableMenus::sAdvancedDrawLineItem);
        const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::sMeasureItem);
        const TMenuMeasureItemEvent lineMeasure(this, &TsSkinableMenus::sMeasureLineItem);
        if (Item->OnAdvancedDrawItem == draw || Item->OnAdvancedDrawItem == line)
            Item->OnAdvancedDrawItem = {};
        if (Item->OnMeasureItem == measure || Item->OnMeasureItem == lineMeasure)
            Item->OnMeasureItem = {};
        return;
    }
    if (IsTopLine(Item)) {
        Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::sAdvancedDrawLineItem);
        Item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::sMeasureLineItem);
    } else if (SkinnedPopups()) {
        if (!Item->OnAdvancedDrawItem)
            Item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::sAdvancedDrawItem);
        if (!Item->OnMeasureItem)
            Item->OnMeasureItem = TMenuMeasureItemEvent(this, &TsSkinableMenus::sMeasureItem);
    }
    // A new item has no menu until it is added to one; its menu is owner drawn from then on.
    if (TMenu* menu = Item->GetParentMenu(); menu && !Destroying(menu))
        menu->SetOwnerDraw(true);
}

void TsSkinableMenus::DeleteUnusedBmps(bool All)
{
    if (All)
        g_menuBGs.clear();
}

int TsSkinableMenus::GetItemIndex(TMenuItem* Item)
{
    for (std::size_t i = 0; i < g_menuBGs.size(); ++i)
        if (g_menuBGs[i].Item == Item)
            return static_cast<int>(i);
    return -1;
}

TBitmap* TsSkinableMenus::CachedBackground(TMenuItem* Item)
{
    const int i = GetItemIndex(Item);
    return i < 0 ? nullptr : g_menuBGs[static_cast<std::size_t>(i)].Bmp.get();
}

// --- Item kinds and sizes ---------------------------------------------------------------------

bool TsSkinableMenus::IsDivText(TMenuItem* Item)
{
    const AnsiString& c = Item->Caption();
    return c.size() > 1 && c.front() == '-' && c.back() == '-';
}

bool TsSkinableMenus::IsTopLine(TMenuItem* Item)
{
    auto* menu = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
    if (!menu)
        return false;
    TMenuItem* root = menu->Items();
    for (int i = 0; i < root->Count(); ++i)
        if (root->Items(i)->Name() == Item->Name())
            return true;
    return false;
}

bool TsSkinableMenus::IsPopupItem(TMenuItem* Item) { return dynamic_cast<TPopupMenu*>(Item->GetParentMenu()) != nullptr; }

bool TsSkinableMenus::ChildIconPresent()
{
    TCustomForm* child = MDISkinProvider ? MDISkinProvider->MaximizedMDIChild() : nullptr;
    return child && child->Icon();
}

namespace {

// The item that carries a maximised MDI child's commands first in its parent's menu line.
bool IsChildIconItem(TMenuItem* Item)
{
    return MDISkinProvider && MDISkinProvider->MDIForm() && Item == MDISkinProvider->MDIForm()->ChildIconItem;
}

} // namespace

bool TsSkinableMenus::LastItem(TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    return parent && parent->Count() > 0 && parent->Items(parent->Count() - 1) == Item && ChildIconPresent();
}

TSize TsSkinableMenus::GlyphSize(TMenuItem* Item, bool Line)
{
    if (Item->HasBitmap())
        return TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    if (Line)
        return TSize{0, 0};
    if (TMenu* menu = Item->GetParentMenu(); menu && menu->Images())
        return TSize{menu->Images()->Width(), menu->Images()->Height()};
    return TSize{16, 16};
}

int TsSkinableMenus::GetItemHeight(TCanvas* ACanvas, TMenuItem* Item)
{
    if (Item->Caption() == "-")
        return 2;
    AssignMenuFont(ACanvas);
    const int text = static_cast<int>(Round(ACanvas->TextHeight("W") * 1.25));
    if (IsDivText(Item))
        return text + 2 * Margin;
    return std::max(text, static_cast<int>(GlyphSize(Item, false).cy)) + 2 * Margin;
}

int TsSkinableMenus::ParentHeight(TCanvas* ACanvas, TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return GetItemHeight(ACanvas, Item);
    int h = 0;
    for (int i = 0; i < parent->Count(); ++i)
        h += GetItemHeight(ACanvas, parent->Items(i));
    return h;
}

TRect TsSkinableMenus::ItemRect(TMenuItem*, const TRect& R)
{
    return TRect{R.left + CursorMarginH(), R.top, R.right - CursorMarginH(), R.bottom};
}

// --- Measuring --------------------------------------------------------------------------------

void TsSkinableMenus::sMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || Destroying(item))
        return;
    AnsiString text;
    if (item->Caption() == "-") {
        g_itemType = smDivider;
    } else if (IsDivText(item)) {
        g_itemType = smCaption;
        text = "-" + item->Caption() + "-";
    } else {
        g_itemType = smNormal;
        text = item->Caption() + ShortCutText(item);
    }
    AssignMenuFont(ACanvas);
    RECT r{0, 0, 0, 0};
    if (!text.empty()) {
        // The context gets the canvas's font only for the canvas's own drawing.
        const HDC dc = ACanvas->Handle();
        const HGDIOBJ old = SelectObject(dc, ACanvas->Font()->Handle());
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFlagsCalc);
        SelectObject(dc, old);
    }
    Width = 2 * GlyphSize(item, false).cx + (r.right - r.left) + 3 * Margin;
    Height = GetItemHeight(ACanvas, item);
}

void TsSkinableMenus::sMeasureLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    g_itemType = smTopLine;
    Height = GetSystemMetrics(SM_CYMENU) - 1;
    if (IsChildIconItem(item)) {
        Width = 8;
        return;
    }
    AssignMenuFont(ACanvas);
    const AnsiString& caption = item->Caption();
    int w = ACanvas->TextWidth(caption + ShortCutText(item));
    if (caption.find('&') != AnsiString::npos)
        w -= ACanvas->TextWidth("&");
    // The first item of the line leaves room for a maximised child's icon.
    TMenuItem* parent = item->Parent();
    if (parent && parent->Count() > 0 && parent->Items(0) == item && ChildIconPresent())
        w += MDISkinProvider->MenuHeight() - 2;
    if (LastItem(item))
        w += 40;
    if (w > Width)
        Width = w;
}

// --- Painting ---------------------------------------------------------------------------------

TBitmap* TsSkinableMenus::SubmenuBackground(TCanvas* ACanvas, TMenuItem* Item, int Width, int Height)
{
    TMenuItem* first = FirstOfParent(Item);
    int i = GetItemIndex(first);
    if (i < 0) {
        g_menuBGs.push_back(TMenuBG{nullptr, first});
        i = static_cast<int>(g_menuBGs.size()) - 1;
    }
    TMenuBG& bg = g_menuBGs[static_cast<std::size_t>(i)];
    // A submenu that grew since its background was painted gets a new one of the size it needs.
    if (!bg.Bmp || bg.Bmp->Width() < Width || bg.Bmp->Height() < Height) {
        const int h = std::max(ParentHeight(ACanvas, Item), Height);
        const int w = std::max(Width, bg.Bmp ? bg.Bmp->Width() : 0);
        bg.Bmp = std::make_unique<TBitmap>(w, h, pf24bit);
        const int section = GetSkinIndex("MAINMENU");
        if (section >= 0)
            PaintItem(section, "MAINMENU", EmptyCI, false, 0, Rect(0, 0, w, h), Point(0, 0), bg.Bmp.get());
    }
    return bg.Bmp.get();
}

void TsSkinableMenus::PaintDivider(TCanvas* ACanvas, const TRect& R, TMenuItem* Item)
{
    // The separator's place in the menu's face, a line of the menu's line colour across it.
    TBitmap* background = SubmenuBackground(ACanvas, Item, R.right, R.bottom);
    const TColor face = MenuFace(background, background->Width() / 2, background->Height() / 2);
    const HDC dc = ACanvas->Handle();
    TGdiHandle<HBRUSH> faceBrush(CreateSolidBrush(ColorToRGB(face)));
    FillRect(dc, &R, faceBrush.Get());
    TRect r = ItemRect(Item, R);
    r.left += Margin;
    r.right -= Margin;
    r.top = (R.top + R.bottom - 1) / 2;
    r.bottom = r.top + 1;
    TGdiHandle<HBRUSH> line(CreateSolidBrush(ColorToRGB(MenuLineColour(GetSkinIndex("MENUITEM"), face))));
    FillRect(dc, &r, line.Get());
    PaintMenuFrames(Item, face, MenuLineColour(GetSkinIndex("MENUITEM"), face));
}

void TsSkinableMenus::PaintCaption(TCanvas*, const TRect&, TMenuItem*) {}

void TsSkinableMenus::sAdvancedDrawItem(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    if (TempControl) {
        if (AppShowHint && Application)
            Application->SetShowHint(true);
        TempControl = nullptr;
    }
    if (item->Caption() == "-") {
        g_itemType = smDivider;
        PaintDivider(ACanvas, ARect, item);
        return;
    }
    if (IsDivText(item)) {
        // Nothing of its own to show, but it may be the entry the menu's frame is painted with.
        g_itemType = smCaption;
        TBitmap* background = SubmenuBackground(ACanvas, item, ARect.right, ARect.bottom);
        const TColor face = MenuFace(background, background->Width() / 2, background->Height() / 2);
        PaintMenuFrames(item, face, MenuLineColour(GetSkinIndex("MENUITEM"), face));
        return;
    }
    g_itemType = smNormal;
    const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap bmp(w, h, pf24bit);
    // Read at the item's place in the menu: as wide as the item's right edge.
    TBitmap* background = SubmenuBackground(ACanvas, item, ARect.right, ARect.bottom);

    const int itemSection = GetSkinIndex("MENUITEM");
    if (itemSection >= 0) {
        const TCacheInfo ci{background, 0, 0, true};
        PaintItem(itemSection, "MENUITEM", ci, true, State.Contains(odSelected) ? 1 : 0, Rect(0, 0, w, h),
                  Point(ARect.left, ARect.top), &bmp);
    }

    TCanvas* canvas = bmp.Canvas();
    const TSize glyph = GlyphSize(item, false);
    TMenu* menu = item->GetParentMenu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    const bool listImage = !item->HasBitmap() && images && item->ImageIndex() >= 0;
    const bool hot = State.Contains(odSelected) || State.Contains(odHotLight);
    const TColor face = MenuFace(&bmp, w / 2, 0);
    const TColor lineColour = MenuLineColour(itemSection, face);
    if (State.Contains(odChecked)) {
        // The box and its mark in the skin's colours: a frame of the line colour, the mark in the
        // caption's colour.
        const int top = (h - glyph.cy) / 2;
        TRect box{Margin, top, Margin + glyph.cx, top + glyph.cy};
        TGdiHandle<HBRUSH> frame(CreateSolidBrush(ColorToRGB(lineColour)));
        FrameRect(canvas->Handle(), &box, frame.Get());
        if (!listImage && !item->HasBitmap()) {
            const TColor mark = !IsValidSkinIndex(itemSection) ? clMenuText
                                : hot ? gd[static_cast<std::size_t>(itemSection)].HotFontColor[0]
                                      : gd[static_cast<std::size_t>(itemSection)].FontColor[0];
            PaintCheck(canvas, box, true, item->Enabled() ? mark : lineColour);
        }
    }
    if (item->HasBitmap()) {
        const int at = (h - glyph.cy) / 2;
        canvas->Draw(at, at, item->Bitmap());
    } else if (listImage) {
        const int at = (h - images->Height()) / 2;
        if (State.Contains(odDisabled) && IsValidSkinIndex(itemSection)) {
            // Faded halfway into the item's background, as its caption is (MenuText).
            TBitmap under(w, h, pf24bit);
            BitBlt(under.Canvas()->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
            images->Draw(canvas, at, at, item->ImageIndex(), true);
            SumBitmaps(&bmp, &under, TsColor{128, 128, 128, 0});
        } else {
            images->Draw(canvas, at, at, item->ImageIndex(), !State.Contains(odDisabled));
        }
    }

    AssignMenuFont(canvas);
    if (State.Contains(odDefault))
        canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
    AnsiString caption = item->Caption();
    int align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (!caption.empty() && caption.front() == '\b') {
        caption = caption.substr(1) + "      ";
        align = DT_RIGHT;
    }
    const TRect textRect{glyph.cx + 2 * Margin, 0, w, h};
    TRect r = textRect;
    // Just left of the text: the item's background.
    const POINT under{textRect.left - 1, h / 2};
    MenuText(canvas, caption, item->Enabled(), r, align | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_HIDEPREFIX,
             itemSection, hot, under);
    const AnsiString shortcut = ShortCutText(item);
    if (!shortcut.empty()) {
        r = TRect{textRect.left, textRect.top, textRect.right - 8, textRect.bottom};
        MenuText(canvas, shortcut, item->Enabled(), r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, itemSection, hot, under);
    }
    if (OnDrawItem) {
        TsMenuManagerDrawItemEvent handler = OnDrawItem;
        handler(item, canvas, Rect(0, 0, w, h), State, g_itemType);
    }
    BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
    const TColor menuFace = MenuFace(background, background->Width() / 2, background->Height() / 2);
    PaintMenuFrames(item, menuFace, MenuLineColour(itemSection, menuFace));
    // The system draws a submenu's arrow after the item, in the context's text colour over its
    // background colour: the colour the caption was written in, over the item's background.
    SetTextColor(ACanvas->Handle(), ColorToRGB(canvas->Font()->Color()));
    SetBkColor(ACanvas->Handle(), GetPixel(canvas->Handle(), std::max(w - 1 - 2 * Margin, 0), h / 2));
}

void TsSkinableMenus::sAdvancedDrawLineItem(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || item->Caption() == "-")
        return;
    g_itemType = smTopLine;
    if (LastItem(item))
        ARect.right -= 40;
    TsSkinProvider* provider = MDISkinProvider ? MDISkinProvider : GetSkinProvider(item);
    if (!provider || !provider->Form())
        return;
    const bool hot = State.Contains(odSelected) || State.Contains(odHotLight);
    const int itemSection = GetSkinIndex("MENUITEM");
    if (itemSection >= 0 && ARect.right > ARect.left && ARect.bottom > ARect.top) {
        const TCacheInfo ci{provider->MenuLineBmp(), 0, 0, true};
        const int lineTop = provider->MenuLineTop();
        PaintItem(itemSection, "MENUITEM", ci, true, hot ? 1 : 0, ARect, Point(ARect.left, ARect.top - lineTop),
                  ACanvas->Handle());
    }
    AssignMenuFont(ACanvas);
    TFontStyles style = ACanvas->Font()->Style();
    if (State.Contains(odDefault))
        style = style + TFontStyles{fsBold};
    else
        style = style - TFontStyles{fsBold};
    ACanvas->Font()->SetStyle(style);
    const int align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    const int lineSection = GetSkinIndex("MENULINE");
    TRect r{ARect.left + Margin, ARect.top, ARect.right - Margin, ARect.bottom};
    const POINT under{r.left - 1, (ARect.top + ARect.bottom) / 2};
    MenuText(ACanvas, item->Caption(), item->Enabled(), r, align | DT_VCENTER | DT_EXPANDTABS, lineSection, hot, under);
    const AnsiString shortcut = ShortCutText(item);
    if (!shortcut.empty()) {
        r = TRect{ARect.left, ARect.top, ARect.right - 8, ARect.bottom};
        MenuText(ACanvas, shortcut, item->Enabled(), r, DT_RIGHT | DT_VCENTER | DT_EXPANDTABS, lineSection, hot, under);
    }
    if (OnDrawItem) {
        TsMenuManagerDrawItemEvent handler = OnDrawItem;
        handler(item, ACanvas, ARect, State, smTopLine);
    }
}
