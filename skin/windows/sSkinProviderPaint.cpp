// Frame painting: the whole form, frame and client background, is painted into the form's cache
// bitmap in layers (PaintAll); the frame is copied to the window on WM_NCPAINT (PaintCaption), the
// client part on WM_PAINT (PaintForm); the window region follows the skin's transparent corners.
#include "sSkinProvider.h"

#include <algorithm>
#include <optional>

#include "sConst.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sMDIForm.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

int IconSideFor(int Height) { return Height <= 8 ? 0 : Height <= 16 ? 8 : Height <= 27 ? 16 : 32; }

// A mask of GLOBALINFO, else of the form's section.
int GlobalOrFormMask(TsCommonData* SkinData, const char* Name)
{
    const int m = GetMaskIndex(GetSkinIndex("GLOBALINFO"), "GLOBALINFO", Name);
    return m >= 0 ? m : GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), Name);
}

TPoint CellOf(int MaskIndex) { return IsValidImgIndex(MaskIndex) ? MaskSize(MaskIndex) : TPoint{0, 0}; }

// The position on a menu bar of the item with that command, else -1.
int BarPosition(HMENU Bar, UINT Command)
{
    const int n = GetMenuItemCount(Bar);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoA(Bar, static_cast<UINT>(i), TRUE, &info) && info.wID == Command)
            return i;
    }
    return -1;
}

} // namespace

// --- Menu line layout ---------------------------------------------------------------------------------

std::vector<TsSkinProvider::TLineItem> TsSkinProvider::MenuLineLayout()
{
    std::vector<TLineItem> items;
    if (!FForm || !FForm->Menu())
        return items;
    TMainMenu* menu = FForm->Menu();
    TMenuItem* root = menu->Items();
    const bool attached = FForm->HandleAllocated() && root->HandleAllocated() && GetMenu(FForm->Handle()) == menu->Handle();
    const TPoint corner = FormLeftTop();
    const int offs = GetSystemMetrics(SM_CXMENUSIZE) - 6;
    const int top = CaptionHeight() + SysBorderHeight();
    const int limit = FForm->Width() - 2 * SysBorderWidth() - 6 - 2 * FForm->BorderWidth();
    int x = SysBorderWidth(), y = top;
    // The screen's context measures the items only where the system has not placed them (taking
    // it is a trip to the window server); the canvas lets it go first.
    std::optional<TWindowDC> screen;
    TCanvas canvas;
    // On the bar: the form's items and those of a menu merged in (an active MDI child's), each
    // where the system has placed it (it wraps the rows itself, and leaves out the form's items
    // a merged one replaces). The system puts items of its own on the bar of an MDI parent whose
    // child is maximised (the child's window menu first, its buttons last): an item is found by
    // its command.
    std::vector<TMenuItem*> candidates;
    for (TMenuItem* from : {root, attached && menu->Merged() ? menu->Merged()->Items() : nullptr})
        for (int i = 0; from && i < from->Count(); ++i)
            candidates.push_back(from->Items(i));
    for (TMenuItem* item : candidates) {
        if (!item->Visible() || !item->OnMeasureItem || !item->OnAdvancedDrawItem)
            continue;
        if (attached) {
            RECT r{};
            const int at = BarPosition(menu->Handle(), item->Command());
            if (at >= 0 && GetMenuItemRect(FForm->Handle(), menu->Handle(), static_cast<UINT>(at), &r)) {
                OffsetRect(&r, -corner.x, -corner.y);
                items.push_back({item, r});
            }
            continue;
        }
        if (!screen) {
            screen.emplace(nullptr);
            canvas.SetHandle(screen->Handle());
        }
        int w = 10, h = 19;
        item->OnMeasureItem(item, &canvas, w, h);
        // A new row only when this one already holds an item.
        if (x > SysBorderWidth() && limit < x + w + offs) {
            x = SysBorderWidth();
            y += MenuHeight();
        }
        items.push_back({item, TRect{x, y, x + w + offs, y + MenuHeight()}});
        x += w + offs;
    }
    return items;
}

int TsSkinProvider::GetLinesCount()
{
    if (FLinesCount >= 0)
        return FLinesCount;
    int rows = 1;
    if (FForm && FForm->Menu()) {
        std::vector<int> tops;
        for (const TLineItem& li : MenuLineLayout())
            if (std::find(tops.begin(), tops.end(), li.Rect.top) == tops.end())
                tops.push_back(li.Rect.top);
        rows = std::max<int>(1, static_cast<int>(tops.size()));
    }
    FLinesCount = rows;
    return rows;
}

// --- The cache ---------------------------------------------------------------------------------------

TPoint TsSkinProvider::RBGripPoint(int MaskIndex)
{
    const TPoint cell = CellOf(MaskIndex);
    TBitmap* cache = FCommonData->FCacheBmp.get();
    return TPoint{cache->Width() - cell.x - SysBorderWidth(), cache->Height() - cell.y - SysBorderHeight()};
}

void TsSkinProvider::MakeTitleBG()
{
    TitleBG.reset();
    const int w = CaptionWidth(), h = CaptionHeight() + SysBorderHeight();
    if (w <= 0 || h <= 0)
        return;
    TitleBG = std::make_unique<TBitmap>(w, h, pf24bit);
    BitBlt(TitleBG->Canvas()->Handle(), 0, 0, w, h, FCommonData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinProvider::DrawAppIcon(TBitmap* Bmp)
{
    if (!IconVisible())
        return;
    const TRect r = IconRect();
    HDC target = Bmp->Canvas()->Handle();
    TBitmap* glyph = FTitleIcon->Glyph();
    if (!glyph->Empty()) {
        const int side = FTitleIcon->Width ? FTitleIcon->Width : IconSideFor(HeaderHeight() - 2);
        TBitmap copy;
        copy.Assign(glyph);
        copy.SetTransparentColor(clSkinKey);
        copy.SetTransparent(true);
        Bmp->Canvas()->StretchDraw(TRect{r.left, r.top, r.left + side, r.top + side}, &copy);
        return;
    }
    const TSize size = IconSize();
    if (TIcon* own = FForm->Icon(); own && !own->Empty()) {
        DrawIconEx(target, r.left, r.top, own->Handle(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
        return;
    }
    const int cx = FTitleIcon->Width ? FTitleIcon->Width : CaptionHeight() - r.top;
    const int cy = FTitleIcon->Height ? FTitleIcon->Height : CaptionHeight() - r.top;
    if (cx <= 0 || cy <= 0)
        return;
    if (cy > 16 && AppIconLarge && !AppIconLarge->Empty())
        DrawIconEx(target, r.left, r.top, AppIconLarge->Handle(), cx, cy, 0, nullptr, DI_NORMAL);
    else if (AppIcon && !AppIcon->Empty())
        DrawIconEx(target, r.left, r.top, AppIcon->Handle(), cx, cy, 0, nullptr, DI_NORMAL);
    else
        DrawIconEx(target, r.left, r.top, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)), size.cx,
                   size.cy, 0, nullptr, DI_NORMAL);
}

void TsSkinProvider::PaintBorderIcons()
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    const int bw = ButtonWidth(), bh = ButtonHeight();
    int top = (CaptionHeight() - bh + SysBorderHeight()) / 2;
    if (bh < 16)
        top += 2;
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
        b->State = -1;
    const int userMask = GlobalOrFormMask(FCommonData.get(), "TITLEBUTTON");
    FSlots = TitleSlots();
    int k = 1;
    for (const TTitleSlot& slot : FSlots) {
        TsCaptionButton& b = *slot.Button;
        const int left = CaptionWidth() - SysBorderWidth() - (bw + 1) * k;
        b.Rect = TRect{left, top, left + bw, top + bh};
        if (b.State < 0)
            b.State = slot.Code == FHotCode ? HotState(slot.Code, HeldDown(slot.Code)) : 0;
        int mask = b.ImageIndex;
        bool enabled = true;
        TsTitleButton* user = nullptr;
        switch (slot.Code) {
        case HTMAXBUTTON:
            if (IsZoomed()) {
                mask = GlobalOrFormMask(FCommonData.get(), "BICONNORM");
                enabled = FSystemMenu->EnabledRestore();
            } else {
                enabled = FSystemMenu->EnabledMax();
            }
            break;
        case HTMINBUTTON:
            if (IsIconic()) {
                mask = GlobalOrFormMask(FCommonData.get(), "BICONNORM");
                enabled = FSystemMenu->EnabledRestore();
            } else {
                enabled = FSystemMenu->EnabledMin();
            }
            break;
        case HTCLOSE:
        case HTHELP: break;
        default:
            user = FTitleButtons->Items(slot.Code - HTUDBTN);
            mask = user->UseSkinData ? userMask : -1;
            b.ImageIndex = mask;
            enabled = user->Enabled;
            break;
        }
        if (IsValidImgIndex(mask))
            DrawSkinGlyph(cache, TPoint{b.Rect.left, b.Rect.top}, b.State, !FormActive || !enabled ? 2 : 1,
                          ma[static_cast<std::size_t>(mask)]);
        if (user && !user->Glyph()->Empty()) {
            TBitmap* g = user->Glyph();
            const TsColor key = ColorToSColor(g->Canvas()->Pixels(0, g->Height() - 1));
            CopyTransBitmaps(cache, g, b.Rect.left + (bw - g->Width()) / 2, b.Rect.top + (bh - g->Height()) / 2, key);
        }
        ++k;
    }
}

void TsSkinProvider::PaintTitleLayers(const TCacheInfo& CI, int Bottom)
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    const int w = CaptionWidth();
    const AnsiString title = TitleSkinSection();
    const int titleIndex = GetSkinIndex(title);
    if (titleIndex >= 0)
        PaintItem(titleIndex, title, CI, true, FormActive ? 1 : 0, TRect{0, 0, w, Bottom}, TPoint{0, 0}, cache);
    DrawAppIcon(cache);
    if (SysButtonsCount() > 0) {
        const int bar = GetMaskIndex(FCommonData->SkinIndex, FCommonData->SkinSection(), "TITLEBAR");
        if (IsValidImgIndex(bar))
            DrawSkinRect(cache, TRect{w - BarWidth(bar), 0, w, Bottom}, true, EmptyCI,
                         ma[static_cast<std::size_t>(bar)], FormActive ? 1 : 0, false);
    }
    // The title band's right end, under the buttons, for repainting one button alone (which
    // finds a column of the cache at the same distance from the right end of the copy).
    const int n = FTitleButtons->Count() + SysButtonsCount();
    const int copyWidth = std::min(w, (n + 1) * (ButtonWidth() + 1) + SysBorderWidth());
    const int copyHeight = std::min(cache->Height(), HeaderHeight());
    TempBmp->SetPixelFormat(pf24bit);
    TempBmp->SetSize(copyWidth, copyHeight);
    BitBlt(TempBmp->Canvas()->Handle(), 0, 0, copyWidth, copyHeight, cache->Canvas()->Handle(), w - copyWidth, 0,
           SRCCOPY);
    PaintBorderIcons();

    // The caption, cut to the room left of the buttons.
    TCanvas* canvas = cache->Canvas();
    canvas->SetFont(FForm->Font());
    if (const int size = GetCaptionFontSize())
        canvas->Font()->SetHeight(size);
    canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
    const int buttons = n * (ButtonWidth() + 1);
    const int left = (IconVisible() ? IconSize().cx : 0) + SysBorderWidth() + 4;
    FPaintedCaption = FForm->Caption();
    const AnsiString text = CutText(canvas, FPaintedCaption, w - IconRight() - buttons - 6);
    if (!text.empty()) {
        TRect r{left, SysBorderHeight(), w - buttons - 6, CaptionHeight()};
        WriteTextEx(canvas, text.c_str(), FForm->Enabled(), r,
                    GetStringFlags(FForm, FCaptionAlignment) | DT_SINGLELINE | DT_NOPREFIX, titleIndex, FormActive);
    }
}

void TsSkinProvider::PrepareCaption(const TCacheInfo& CI, const TRect& R) { PaintTitleLayers(CI, R.bottom); }

void TsSkinProvider::PaintMenuLine()
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!FForm->Menu() || !MenuPresent() || MenuHeight() <= 0)
        return;
    const AnsiString section = GetSkinIndex(FMenuLineSkin) >= 0 ? FMenuLineSkin : AnsiString("MENULINE");
    const int index = GetSkinIndex(section);
    const std::vector<TLineItem> items = MenuLineLayout();
    const int top = MenuLineTop();
    int bottom = top + GetLinesCount() * MenuHeight();
    for (const TLineItem& li : items)
        bottom = std::max<int>(bottom, li.Rect.bottom);
    bottom = std::min(bottom, cache->Height());
    const int w = cache->Width();
    if (bottom <= top)
        return;
    if (index >= 0)
        PaintItem(index, section, EmptyCI, true, FormActive ? 1 : 0, TRect{0, top, w, bottom}, TPoint{0, top}, cache);
    FPaintedBarItems = FForm->HandleAllocated() ? GetMenuItemCount(GetMenu(FForm->Handle())) : -1;
    FMenuLineBmp->SetPixelFormat(pf24bit);
    FMenuLineBmp->SetSize(w, bottom - top);
    BitBlt(FMenuLineBmp->Canvas()->Handle(), 0, 0, w, bottom - top, cache->Canvas()->Handle(), 0, top, SRCCOPY);
    for (const TLineItem& li : items) {
        TAdvancedMenuDrawItemEvent draw = li.Item->OnAdvancedDrawItem;
        if (draw)
            draw(li.Item, cache->Canvas(), li.Rect, TOwnerDrawState{});
    }
    if (MDISkinProvider == this && TsSkinableMenus::ChildIconPresent())
        PaintMDIChildIcon();
    PaintMDIButtons();
}

void TsSkinProvider::PaintMDIChildIcon()
{
    TCustomForm* child = MaximizedMDIChild();
    const int side = MenuHeight() - 2;
    if (!child || side <= 0)
        return;
    HICON icon = child->Icon() && !child->Icon()->Empty() ? child->Icon()->Handle() : nullptr;
    if (!icon && AppIcon && !AppIcon->Empty())
        icon = AppIcon->Handle();
    if (!icon)
        icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    DrawIconEx(FCommonData->FCacheBmp->Canvas()->Handle(), SysBorderWidth() + 1, MenuLineTop() + 1, icon, side, side,
               0, nullptr, DI_NORMAL);
}

void TsSkinProvider::PaintMDIButtons()
{
    for (TsCaptionButton* b : {&MDIMin, &MDIMax, &MDIClose}) {
        b->State = -1;
        b->Rect = TRect{0, 0, 0, 0};
    }
    FMDIButtonsShown = MDIButtonsNeeded() && MenuPresent();
    if (!FMDIButtonsShown)
        return;
    const int w = SmallButtonWidth(), h = SmallButtonHeight();
    const int top = HeaderHeight() - (MenuHeight() - h) / 2 - h - 1;
    const int right = FForm->Width() - SysBorderWidth();
    const struct {
        int Code;
        TsCaptionButton* Button;
        int Left;
    } buttons[] = {{HTMDIMIN, &MDIMin, CaptionWidth() - SysBorderWidth() - 3 * (w + 1)},
                   {HTMDIMAX, &MDIMax, right - 2 * (w + 1)},
                   {HTMDICLOSE, &MDIClose, right - w - 1}};
    for (const auto& b : buttons) {
        b.Button->Rect = TRect{b.Left, top, b.Left + w, top + h};
        b.Button->State = b.Code == FHotCode ? HotState(b.Code, HeldDown(b.Code)) : 0;
        DrawMDIButton(b.Code);
    }
}

void TsSkinProvider::DrawMDIButton(int Code)
{
    TsCaptionButton* b = ButtonByCode(Code);
    // Restore shows the child's normal size while the child is maximised.
    int mask = b->ImageIndex;
    if (Code == HTMDIMAX && MaximizedMDIChild()) {
        mask = GetMaskIndex(GetSkinIndex("GLOBALINFO"), "GLOBALINFO", "SICONNORM");
        if (mask < 0)
            mask = GetMaskIndex(FCommonData->SkinIndex, FCommonData->SkinSection(), "BICONNORM");
    }
    if (IsValidImgIndex(mask))
        DrawSkinGlyph(FCommonData->FCacheBmp.get(), TPoint{b->Rect.left, b->Rect.top}, b->State,
                      !FormActive && b->State == 0 ? 2 : 1, ma[static_cast<std::size_t>(mask)]);
}

int TsSkinProvider::MenuLineTop() { return CaptionHeight() + SysBorderHeight(); }

void TsSkinProvider::PaintAll()
{
    if (FormCreating() || !FForm->HandleAllocated())
        return;
    const bool iconic = IsIconic();
    const int w = CaptionWidth();
    const int h = iconic ? CaptionHeight() + SysBorderHeight() + 1 : FForm->Height();
    if (!FCommonData->BGChanged)
        return;
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!cache) {
        FCommonData->FCacheBmp = std::make_unique<TBitmap>();
        cache = FCommonData->FCacheBmp.get();
    }
    const int section = FCommonData->SkinIndex;
    const bool bordered = Bordered();
    const TsGeneralData* data = IsValidSkinIndex(section) ? &gd[static_cast<std::size_t>(section)] : nullptr;
    if (!MenuChanged && data && data->ReservedBoolean && TitleBG && TitleBG->Width() == w &&
        cache->Height() == FForm->Height() && bordered) {
        BitBlt(cache->Canvas()->Handle(), 0, 0, TitleBG->Width(), TitleBG->Height(), TitleBG->Canvas()->Handle(), 0, 0,
               SRCCOPY);
        PrepareCaption(TCacheInfo{cache, 0, 0, true}, TRect{0, 0, TitleBG->Width(), TitleBG->Height()});
    } else {
        RgnChanged = true;
        cache->SetPixelFormat(pf24bit);
        cache->SetSize(w, FForm->Height());
        if (data && w > 0 && h > 0) {
            const TRect r{0, 0, w, std::min(h, cache->Height())};
            const int state = FormActive ? 1 : 0;
            if (bordered)
                PaintItem(section, FCommonData->SkinSection(), EmptyCI, false, state, r, TPoint{0, 0}, cache);
            else
                PaintItemBG(section, FCommonData->SkinSection(), EmptyCI, state, r, TPoint{0, 0}, cache);
            if (FGripMode == gmRightBottom) {
                const int grip = GetMaskIndex(GetSkinIndex("GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
                if (IsValidImgIndex(grip))
                    DrawSkinGlyph(cache, RBGripPoint(grip), 0, 1, ma[static_cast<std::size_t>(grip)]);
            }
            if (data->ReservedBoolean && !(TitleBG && TitleBG->Width() == w))
                MakeTitleBG();
            if (bordered)
                PaintTitleLayers(TCacheInfo{cache, OffsetX(), OffsetY(), true},
                                 iconic ? r.bottom : CaptionHeight() + SysBorderHeight());
            if (!iconic)
                PaintMenuLine();
            if (FMDIForm && !iconic) {
                const int mdi = GetSkinIndex("MDIAREA");
                const int l = FMDIForm->Left(), t = FMDIForm->Top();
                if (IsValidSkinIndex(mdi))
                    PaintItem(mdi, "MDIAREA", TCacheInfo{cache, 0, 0, true}, true, 0,
                              TRect{l, t, l + FMDIForm->Width(), t + FMDIForm->Height()}, TPoint{l, t}, cache);
            }
            MenuChanged = false;
            FMenuLineDirty = false;
        }
    }
    FirstInitialized = true;
    FCommonData->BGChanged = false;
    FCommonData->Updating = false;
}

// --- To the window -----------------------------------------------------------------------------------

void TsSkinProvider::PaintCaption(HDC DC)
{
    const int top = SysBorderHeight() + CaptionHeight() + (IsIconic() ? 1 : 0);
    if (FMenuLineDirty && !FCommonData->BGChanged) {
        // Only the menu changed: its line alone, unless it now takes another number of rows.
        const int rows = GetLinesCount();
        FLinesCount = -1;
        if (GetLinesCount() != rows || !FCommonData->FCacheBmp || IsIconic())
            FCommonData->BGChanged = true;
        else
            PaintMenuLine();
    }
    FMenuLineDirty = false;
    if (FCommonData->BGChanged) {
        ChildRepaintNeeded = !FirstInitialized;
        PaintAll();
        FCommonData->BGChanged = false;
        FCommonData->Updating = false;
    }
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!cache || cache->Empty())
        return;
    const HDC src = cache->Canvas()->Handle();
    const int menu = MenuPresent() ? GetLinesCount() * MenuHeight() : 0;
    const int W = FForm->Width(), H = FForm->Height(), b = FForm->BorderWidth();
    const int sbw = SysBorderWidth(), sbh = SysBorderHeight();
    BitBlt(DC, 0, 0, W, HeaderHeight(), src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, top + menu + b, sbw + b, cache->Height(), src, 0, top + menu + b, SRCCOPY);
    BitBlt(DC, BorderWidth(), H - BorderHeight(), W - BorderWidth(), BorderHeight(), src, sbw + b, H - sbh - b, SRCCOPY);
    const int right = cache->Width() - sbw - b;
    BitBlt(DC, right, top + menu + b, sbh + b, cache->Height(), src, right, top + menu + b, SRCCOPY);
}

void TsSkinProvider::OurPaintHandler(TMessage& Message)
{
    // Everything is given back however the painting ends: a paint that throws must not leave the
    // canvas locked on a dead DC, nor the paint open (the system would ask for it again and again).
    const TPaintDC paint(FForm->Handle(), reinterpret_cast<HDC>(Message.WParam));
    const HDC target = paint.Handle();
    const TLentCanvas canvas(FForm->Canvas(), target);
    FCommonData->Updating = FCommonData->GetUpdating();
    // A maximised MDI child paints only while it is the one its parent shows.
    bool hidden = false;
    if (FForm->FormStyle() == fsMDIChild && IsZoomed()) {
        TsSkinProvider* parent = MDIParentProvider();
        hidden = parent && parent->MaximizedMDIChild() != FForm;
    }
    if (!FCommonData->Updating && !FormDestroying() && !hidden)
        PaintForm(target);
    // The form's own painting follows, over the background or, while updating, over what is there.
    if (FForm->OnPaint && !FormDestroying()) {
        TNotifyEvent handler = FForm->OnPaint;
        handler(FForm);
    }
    Message.Result = 0;
}

void TsSkinProvider::PaintForm(HDC DC)
{
    if (FPainting)
        return;
    FPainting = true;
    try {
        TControl* child = FCommonData->RepaintChild;
        if (!child) {
            const bool changed = FCommonData->BGChanged;
            if (!FCommonData->UrgentPainting)
                PaintAll();
            const int x = SysBorderWidth() + FForm->BorderWidth(), y = OffsetY();
            const TRect client = FForm->ClientRect();
            if (FCommonData->FCacheBmp && !FCommonData->FCacheBmp->Empty())
                CopyWinControlCache(FForm, FCommonData.get(), TRect{x, y, 0, 0}, client, DC, false);
            SetParentUpdated(FForm);
            PaintControls(DC, FForm, ChildRepaintNeeded || changed, TPoint{0, 0});
            ChildRepaintNeeded = false;
        } else {
            bool found = false;
            for (int i = 0; i < FForm->ControlCount(); ++i)
                found = found || FForm->Controls(i) == child;
            if (found) {
                const int saved = SaveDC(DC);
                SetWindowOrgEx(DC, -child->Left(), -child->Top(), nullptr);
                IntersectClipRect(DC, 0, 0, child->Width(), child->Height());
                if (child->ControlStyle().Contains(csOpaque)) {
                    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
                } else if (child->Width() > 0 && child->Height() > 0) {
                    TBitmap temp(child->Width(), child->Height(), pf24bit);
                    BitBlt(temp.Canvas()->Handle(), 0, 0, child->Width(), child->Height(),
                           FCommonData->FCacheBmp->Canvas()->Handle(), child->Left() + OffsetX(),
                           child->Top() + OffsetY(), SRCCOPY);
                    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(temp.Canvas()->Handle()), 0);
                    BitBlt(DC, 0, 0, child->Width(), child->Height(), temp.Canvas()->Handle(), 0, 0, SRCCOPY);
                }
                RestoreDC(DC, saved);
            }
        }
    } catch (...) {
        FPainting = false;
        throw;
    }
    FPainting = false;
}

void TsSkinProvider::UpdateRgn()
{
    if (!FForm || !FForm->HandleAllocated())
        return;
    if (!FirstInitialized && !HasWindowProc())
        return;
    InRgnUpdate = true;
    HRGN rgn = CreateRectRgn(0, 0, CaptionWidth(), FForm->Height());
    for (const TRect& r : ArOR) {
        HRGN cut = CreateRectRgnIndirect(&r);
        CombineRgn(rgn, rgn, cut, RGN_DIFF);
        DeleteObject(cut);
    }
    // Setting the same region again would only repaint the frame once more.
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const bool same = GetWindowRgn(FForm->Handle(), current) != ERROR && EqualRgn(current, rgn);
    DeleteObject(current);
    if (same)
        DeleteObject(rgn);
    else
        SetWindowRgn(FForm->Handle(), rgn, TRUE);
}
