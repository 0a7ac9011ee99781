#include "sPageControl.h"

#include <algorithm>

#include "Forms.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUpDown.h"
#include "sUtils.h"
#include "sVclUtils.h"

// --- Tab painting shared by the page control and the tab control ------------------------------

bool TsTabSkin::Usable() const
{
    return IsValidSkinIndex(ConstData.IndexTabTop) && IsValidSkinIndex(Section) && IsValidImgIndex(Mask);
}

TsTabSkin TabSkinOf(TTabPosition Position)
{
    const TConstantSkinData& c = ConstData;
    switch (Position) {
    case tpBottom: return {c.IndexTabBottom, c.MaskTabBottom, "TABBOTTOM"};
    case tpLeft: return {c.IndexTabLeft, c.MaskTabLeft, "TABLEFT"};
    case tpRight: return {c.IndexTabRight, c.MaskTabRight, "TABRIGHT"};
    case tpTop: break;
    }
    return {c.IndexTabTop, c.MaskTabTop, "TABTOP"};
}

AnsiString BodySectionOf(const AnsiString& SkinSection, TTabPosition Position)
{
    switch (Position) {
    case tpBottom: return SkinSection + "BOTTOM";
    case tpLeft: return SkinSection + "LEFT";
    case tpRight: return SkinSection + "RIGHT";
    case tpTop: break;
    }
    return SkinSection;
}

TRect SkinTabRectOf(const TRect& N, TTabPosition Position, bool Active)
{
    switch (Position) {
    case tpBottom:
        return Active ? Rect(N.left - 2, N.top - 3, N.right + 2, N.bottom + 1)
                      : Rect(N.left, N.top - 2, N.right - 1, N.bottom);
    case tpLeft:
        return Active ? Rect(N.left - 1, N.top - 2, N.right + 3, N.bottom + 1)
                      : Rect(N.left, N.top - 1, N.right + 3, N.bottom);
    case tpRight:
        return Active ? Rect(N.left - 3, N.top - 2, N.right + 1, N.bottom + 2)
                      : Rect(N.left - 2, N.top - 1, N.right - 1, N.bottom);
    case tpTop: break;
    }
    return Active ? Rect(N.left - 2, N.top - 1, N.right + 2, N.bottom + 2)
                  : Rect(N.left, N.top, N.right - 1, N.bottom + 5);
}

TRect TabsRectOf(TTabPosition Position, int Width, int Height, const TRect& D, bool HasTabs)
{
    TRect r = Rect(0, 0, Width, Height);
    if (!HasTabs)
        return r;
    switch (Position) {
    case tpTop: r.bottom = D.top - 4; break;
    case tpBottom: r.top = D.bottom + 1; break;
    case tpLeft: r.right = D.left - 1; break;
    case tpRight: r.left = D.right + 1; break;
    }
    return r;
}

TRect PageRectOf(TTabPosition Position, int Width, int Height, const TRect& D, bool HasTabs)
{
    TRect r = Rect(0, 0, Width, Height);
    if (!HasTabs)
        return r;
    switch (Position) {
    case tpTop: r.top = D.top - 4; break;
    case tpBottom: r.bottom = D.bottom + 1; break;
    case tpLeft: r.left = D.left - 1; break;
    case tpRight: r.right = D.right + 1; break;
    }
    return r;
}

void PaintTabStrip(TWinControl* Control, TsCommonData* SkinData, const TRect& S, const TRect& Fill,
                   const TCacheInfo& CI)
{
    TBitmap* cache = SkinData->FCacheBmp.get();
    if (CI.Ready && CI.Bmp) {
        const int x = CI.X + Control->Left() + S.left, y = CI.Y + Control->Top() + S.top;
        const int w = std::min(WidthOf(S), CI.Bmp->Width() - x), h = std::min(HeightOf(S), CI.Bmp->Height() - y);
        if (w > 0 && h > 0)
            BitBlt(cache->Canvas()->Handle(), S.left, S.top, w, h, CI.Bmp->Canvas()->Handle(), x, y, SRCCOPY);
        return;
    }
    TWinControl* parent = Control->Parent();
    FillDC(cache->Canvas()->Handle(), Fill, parent ? parent->Color() : clBtnFace);
}

TRect GlyphRectOf(TCustomImageList* Images, int TabHeight)
{
    if (!Images)
        return TRect{};
    const int at = (TabHeight + 4 - Images->Height()) / 2;
    return Bounds(at, at, Images->Width(), Images->Height());
}

bool ResolveTabBody(TsCommonData* SkinData, TTabPosition Position, AnsiString& Body)
{
    Body = BodySectionOf(SkinData->SkinSection(), Position);
    SkinData->SkinIndex = GetSkinIndex(Body);
    SkinData->BorderIndex = SkinData->SkinIndex >= 0 ? GetMaskIndex(SkinData->SkinIndex, Body, "BORDERSMASK") : -1;
    return SkinData->SkinIndex >= 0;
}

void NoteHalfVisible(TWinControl* Control, TsCommonData* SkinData)
{
    TWinControl* parent = Control->Parent();
    SkinData->BGChanged = SkinData->BGChanged || SkinData->HalfVisible || GetBoolMsg(parent, AC_GETHALFVISIBLE);
    const RECT client = parent->ClientRect();
    const POINT first{Control->Left(), Control->Top()};
    const POINT last{Control->Left() + Control->Width(), Control->Top() + Control->Height()};
    SkinData->HalfVisible = !(PtInRect(&client, first) && PtInRect(&client, last));
}

void PaintTabBody(TWinControl* Control, TsCommonData* SkinData, const AnsiString& Body, const TRect& Page,
                  const TCacheInfo& CI)
{
    CtrlParentColor = ColorToRGB(Control->Parent()->Color());
    const TPoint at{Control->Left() + Page.left, Control->Top() + Page.top};
    PaintItem(SkinData->SkinIndex, Body, CI, false, 0, Page, at, SkinData->FCacheBmp.get());
    CtrlParentColor = clSkinKey;
}

namespace {

// The quarter-turned caption font of side tabs: "Arial" of the control font's height, normal
// weight, its italic, underline and strike-out and its character set.
HFONT RotatedFont(TFont* Font, int Angle)
{
    LOGFONTA lf{};
    lf.lfHeight = Font->Height();
    lf.lfEscapement = Angle;
    lf.lfOrientation = Angle;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = Font->Style().Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = Font->Style().Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = Font->Charset();
    lstrcpyA(lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&lf);
}

bool UsableImage(TCustomImageList* Images, int Index)
{
    return Images && Index >= 0 && Index < Images->Count();
}

void DrawSideCaption(TCanvas* Canvas, TRect& C, TTabPosition Position, TWinControl* Control, TCustomImageList* Images,
                     const TsTabCaption& Caption)
{
    HDC dc = Canvas->Handle();
    TGdiHandle<HFONT> font(RotatedFont(Control->Font(), Position == tpLeft ? -2700 : -900));
    const int saved = SaveDC(dc);
    SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Control->Enabled() ? static_cast<COLORREF>(ColorToRGB(Control->Font()->Color())) : 0x808080);
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc, Caption.Text.c_str(), static_cast<int>(Caption.Text.size()), &extent);
    const int tw = extent.cx, th = extent.cy;
    auto text = [&](int X, int Y) {
        const RECT clip = C;
        ExtTextOutA(dc, X, Y, ETO_CLIPPED, &clip, Caption.Text.c_str(), static_cast<UINT>(Caption.Text.size()),
                    nullptr);
    };
    const bool image = UsableImage(Images, Caption.ImageIndex);
    const int iw = image ? Images->Width() : 0, ih = image ? Images->Height() : 0;
    if (Position == tpRight)
        OffsetRect(&C, -2, -1);
    if (image && Caption.Active)
        OffsetRect(&C, 2, 0);
    const int w = WidthOf(C), h = HeightOf(C);
    if (Position == tpLeft) {
        if (image) {
            const int y = C.bottom - (h - (ih + 4 + tw)) / 2 - ih;
            RestoreDC(dc, saved);
            Images->Draw(Canvas, C.left + (w - iw) / 2, y, Caption.ImageIndex, Control->Enabled());
            SaveDC(dc);
            SelectObject(dc, font.Get());
            text(C.left + (w - th) / 2, y - 4);
            InflateRect(&C, (th - w) / 2, (tw - h) / 2 + 2);
            OffsetRect(&C, 0, -(ih + 4) / 2);
        } else {
            text(C.left + (w - th) / 2, C.bottom - (h - tw) / 2);
            InflateRect(&C, (th - w) / 2, (tw - h) / 2);
        }
    } else {
        if (image) {
            const int y = C.top + (h - (ih + 4 + tw)) / 2;
            RestoreDC(dc, saved);
            Images->Draw(Canvas, C.left + (w - iw) / 2, y, Caption.ImageIndex, Control->Enabled());
            SaveDC(dc);
            SelectObject(dc, font.Get());
            text(C.left + (w - th) / 2 + th, y + 4 + ih);
            InflateRect(&C, (th - w) / 2, (tw - h) / 2 + 2);
            OffsetRect(&C, 0, (ih + 4) / 2);
        } else {
            text(C.left + (w - th) / 2 + th, C.top + (h - tw) / 2);
            InflateRect(&C, (th - w) / 2, (tw - h) / 2 + 2);
        }
    }
    RestoreDC(dc, -1);
}

} // namespace

void DrawTabCaption(TCanvas* Canvas, TRect C, TTabPosition Position, TWinControl* Control, TsCommonData* SkinData,
                    TCustomImageList* Images, const TsTabCaption& Caption)
{
    if (Position == tpLeft || Position == tpRight) {
        DrawSideCaption(Canvas, C, Position, Control, Images, Caption);
        if (Caption.Focused) {
            // Turned text may stand a pixel off the place computed for it.
            InflateRect(&C, 1, 1);
            FocusRectAround(Canvas, C);
        }
        return;
    }
    Canvas->Font()->Assign(Control->Font());
    constexpr int flags = DT_CENTER | DT_RIGHT | DT_VCENTER;
    // Only an image of the list moves the caption (an image index of -1 shows none).
    if (UsableImage(Images, Caption.ImageIndex)) {
        const int iw = Images->Width(), ih = Images->Height();
        Images->Draw(Canvas, C.left + (WidthOf(C) - (Canvas->TextWidth(Caption.Text) + iw + 8)) / 2,
                     C.top + (HeightOf(C) - ih) / 2, Caption.ImageIndex, true);
        C.left += iw;
        WriteTextEx(Canvas, Caption.Text.c_str(), Control->Enabled(), C, flags, SkinData, Caption.Hot);
    } else {
        WriteTextEx(Canvas, Caption.Text.c_str(), true, C, flags, SkinData, Caption.Hot);
    }
    if (Caption.Focused && !Caption.Text.empty()) {
        InflateRect(&C, -1, -1); // the text's extent, as the text writer leaves it grown by one
        FocusRectAround(Canvas, C);
    }
}

int TabRowOf(TTabPosition Position, const TRect& R, const TRect& S, int Rows)
{
    if (Rows < 2)
        return 1;
    const int h = HeightOf(R), w = WidthOf(R);
    // A tab without a rectangle has no row of its own.
    if (h <= 0 || w <= 0)
        return 1;
    switch (Position) {
    case tpLeft: return (R.right + w / 2) / w;
    case tpBottom: return Rows - ((R.bottom - S.top) + h / 2) / h + 1;
    case tpRight: return Rows - ((R.right - S.left) + w / 2) / w + 1;
    case tpTop: break;
    }
    return (R.bottom + h / 2) / h;
}

bool DestroyNativeArrows(TWinControl* Control)
{
    if (!Control->HandleAllocated())
        return false;
    bool any = false;
    for (HWND child = GetWindow(Control->Handle(), GW_CHILD); child;) {
        const HWND next = GetWindow(child, GW_HWNDNEXT);
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, UPDOWN_CLASSA) == 0) {
            DestroyWindow(child);
            any = true;
        }
        child = next;
    }
    return any;
}

int TsTabArrows::Width() const
{
    return FUpDown ? FUpDown->Width() : 0;
}

void TsTabArrows::Check(int Hidden, int First, bool AtBottom)
{
    if (Hidden < 1) {
        Free();
        return;
    }
    if (FUpDown) {
        // Tabs came or went: the arrows reach the last of them.
        FUpDown->SetMax(Hidden);
        Update(First, AtBottom);
        return;
    }
    FUpDown = Create<TsUpDown>(FControl);
    FUpDown->SetVisible(false);
    FUpDown->SetOrientation(udHorizontal);
    FUpDown->SetBounds(0, 0, 2 * GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL));
    FUpDown->SetParent(FControl);
    FUpDown->SetMax(Hidden);
    FUpDown->SetMin(0);
    FUpDown->SetIncrement(1);
    FUpDown->SetShowInaccessibility(false);
    Update(First, AtBottom);
    FUpDown->OnClick = TUDClickEvent([this](TObject* Sender, TUDBtnType Button) { Click(Sender, Button); });
    FUpDown->SetVisible(true);
}

void TsTabArrows::Update(int First, bool AtBottom)
{
    if (!FUpDown)
        return;
    FUpDown->SetBounds(FControl->Width() - FUpDown->Width(), AtBottom ? FControl->Height() - FUpDown->Height() : 0,
                       FUpDown->Width(), FUpDown->Height());
    FUpDown->SetPosition(First);
}

void TsTabArrows::Free()
{
    TsUpDown* arrows = FUpDown;
    FUpDown = nullptr;
    // While the control goes, its owned components go with it.
    if (arrows && !FControl->ComponentState().Contains(csDestroying))
        arrows->Free();
}

void TsTabArrows::Click(TObject*, TUDBtnType)
{
    if (FUpDown && FControl->HandleAllocated())
        SendMessageA(FControl->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->Position()), 0);
}

// --- TsPageControl -------------------------------------------------------------------------------

TsPageControl::TsPageControl(TComponent* AOwner) : TsSkinned(AOwner, "PAGECONTROL", 141)
{
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

void TsPageControl::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

TsTabSheet* TsPageControl::ActivePage() const
{
    return dynamic_cast<TsTabSheet*>(TPageControl::ActivePage());
}

int TsPageControl::ActivePageIndexOf() const
{
    TTabSheet* page = TPageControl::ActivePage();
    return page ? page->PageIndex() : -1;
}

int TsPageControl::PageOfTab(int TabIndex) const
{
    TTabSheet* page = PageForTab(TabIndex);
    return page ? page->PageIndex() : -1;
}

int TsPageControl::VisibleTabsCount() const
{
    int n = 0;
    for (int i = 0; i < PageCount(); ++i)
        if (Pages(i)->TabVisible())
            ++n;
    return n;
}

TRect TsPageControl::SkinTabRect(int TabIndex, bool Active)
{
    if (TabIndex < 0 || TabIndex > PageCount() - 1 || PageCount() == 0 || !TPageControl::ActivePage())
        return TRect{};
    const TRect n = TabRect(TabIndex);
    if (n.left == n.right)
        return TRect{};
    return SkinTabRectOf(n, TabPosition(), Active);
}

TRect TsPageControl::TabsRect()
{
    const bool tabs = HandleAllocated() && SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0;
    return TabsRectOf(TabPosition(), Width(), Height(), tabs ? DisplayRect() : TRect{}, tabs);
}

TRect TsPageControl::PageRect()
{
    const bool tabs = HandleAllocated() && SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0;
    return PageRectOf(TabPosition(), Width(), Height(), tabs ? DisplayRect() : TRect{}, tabs);
}

int TsPageControl::TabRow(int TabIndex)
{
    return TabRowOf(TabPosition(), TabRect(TabIndex), TabsRect(), RowCount());
}

void TsPageControl::DrawSkinTab(int PageIndex, int State, TBitmap* Bmp, const TPoint& Offset)
{
    if (PageIndex < 0 || PageIndex >= PageCount())
        return;
    TTabSheet* page = Pages(PageIndex);
    const int t = page->TabIndex();
    if (t < 0)
        return;
    const TRect n = TabRect(t);
    if (State == 1 && n.left < 0)
        return; // a hot tab scrolled out of view
    const TRect r = SkinTabRect(t, State == 2);
    if (WidthOf(r) <= 0 || HeightOf(r) <= 0)
        return; // scrolled out of view: nothing of it shows
    TRect moved = r;
    OffsetRect(&moved, Offset.x, Offset.y);
    TBitmap* cache = SkinData()->FCacheBmp.get();
    const TsTabSkin skin = TabSkinOf(TabPosition());
    if (skin.Usable() && WidthOf(r) > 0 && HeightOf(r) > 0) {
        TBitmap work(WidthOf(r), HeightOf(r), pf24bit);
        HDC w = work.Canvas()->Handle();
        if (State == 2) {
            // The frame line the larger tab covers, and the parent's background where the tab was.
            BitBlt(w, 0, 0, WidthOf(r), HeightOf(r), cache->Canvas()->Handle(), r.left, r.top, SRCCOPY);
            TRect under = n;
            OffsetRect(&under, Offset.x, Offset.y);
            const TCacheInfo ci = GetParentCache(SkinData());
            if (ParentCenterColor != clSkinKey)
                FillDC(w, under, ParentCenterColor);
            else if (ci.Ready && ci.Bmp)
                BitBlt(w, under.left, under.top, WidthOf(under), HeightOf(under), ci.Bmp->Canvas()->Handle(),
                       n.left + Left() + ci.X, n.top + Top() + ci.Y, SRCCOPY);
            else
                FillDC(w, under, Parent() ? Parent()->Color() : clBtnFace);
            BitBlt(Bmp->Canvas()->Handle(), moved.left, moved.top, WidthOf(r), HeightOf(r), w, 0, 0, SRCCOPY);
            PaintSmallItem(skin.Section, skin.Name, TCacheInfo{&work, 0, 0, true}, true, 2,
                           Rect(0, 0, WidthOf(r), HeightOf(r)), TPoint{0, 0}, Bmp);
        } else {
            PaintSmallItem(skin.Section, skin.Name, TCacheInfo{cache, 0, 0, true}, true, State,
                           Rect(0, 0, WidthOf(r), HeightOf(r)), TPoint{r.left, r.top}, &work);
            HDC b = Bmp->Canvas()->Handle();
            const int saved = SaveDC(b);
            if (TabPosition() == tpTop || TabPosition() == tpLeft) {
                TRect page = PageRect();
                OffsetRect(&page, Offset.x, Offset.y);
                ExcludeClipRect(b, page.left, page.top, page.right, page.bottom);
            }
            BitBlt(b, moved.left, moved.top, WidthOf(r), HeightOf(r), w, 0, 0, SRCCOPY);
            RestoreDC(b, saved);
        }
    }
    if (OwnerDraw()) {
        if (OnDrawTab) {
            // The handler draws at the tab's place in the control.
            TLentCanvas lent(Canvas(), Bmp->Canvas()->Handle());
            HDC b = Bmp->Canvas()->Handle();
            const int saved = SaveDC(b);
            SetViewportOrgEx(b, Offset.x, Offset.y, nullptr);
            OnDrawTab(this, t, r, State != 0);
            RestoreDC(b, saved);
        }
        return;
    }
    const bool sides = TabPosition() == tpLeft || TabPosition() == tpRight;
    // An inactive tab reaches under the page's frame: its caption is centred on what shows of it.
    if (State != 2) {
        TRect page = PageRect();
        OffsetRect(&page, Offset.x, Offset.y);
        if (TabPosition() == tpTop)
            moved.bottom = std::max(moved.top, std::min(moved.bottom, page.top));
        else if (TabPosition() == tpLeft)
            moved.right = std::max(moved.left, std::min(moved.right, page.left));
    }
    TsTabCaption caption;
    caption.Text = page->Caption();
    caption.ImageIndex = page->ImageIndex();
    caption.Active = page == TPageControl::ActivePage();
    caption.Hot = State != 0;
    // Asked of the window server last, for the one tab that can show it.
    caption.Focused = (sides ? State != 0 : State == 2) && HandleAllocated() && Focused();
    DrawTabCaption(Bmp->Canvas(), moved, TabPosition(), this, SkinData(), Images(), caption);
}

void TsPageControl::DrawSkinTab(int PageIndex, int State, HDC DC)
{
    if (PageIndex < 0 || PageIndex >= PageCount())
        return;
    const int t = Pages(PageIndex)->TabIndex();
    if (t < 0)
        return;
    const TRect r = SkinTabRect(t, true);
    if (WidthOf(r) <= 0 || HeightOf(r) <= 0)
        return;
    TBitmap bmp(WidthOf(r), HeightOf(r), pf24bit);
    // What the cache holds where the tab does not reach (an inactive tab is the smaller one).
    BitBlt(bmp.Canvas()->Handle(), 0, 0, WidthOf(r), HeightOf(r), SkinData()->FCacheBmp->Canvas()->Handle(), r.left,
           r.top, SRCCOPY);
    DrawSkinTab(PageIndex, State, &bmp, TPoint{-r.left, -r.top});
    BitBlt(DC, r.left, r.top, WidthOf(r), HeightOf(r), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsPageControl::DrawSkinTabs(const TCacheInfo& CacheInfo)
{
    if (ComponentState().Contains(csDestroying))
        return;
    const TRect s = TabsRect();
    PaintTabStrip(this, SkinData(), s, s, CacheInfo);
    const int rows = RowCount();
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < PageCount(); ++i) {
            const int t = Pages(i)->TabIndex();
            if (t >= 0 && TabRow(t) == row)
                DrawSkinTab(i, 0, SkinData()->FCacheBmp.get(), TPoint{0, 0});
        }
}

void TsPageControl::RepaintTab(int PageIndex, int State)
{
    if (!HandleAllocated() || PageIndex < 0 || PageIndex >= PageCount() || !SkinData()->FCacheBmp)
        return;
    TWindowDC dc(Handle());
    DrawTabBesideActive(PageIndex, State, dc.Handle());
}

void TsPageControl::DrawTabBesideActive(int PageIndex, int State, HDC DC)
{
    const int t = Pages(PageIndex)->TabIndex();
    if (t < 0)
        return;
    const int saved = SaveDC(DC);
    const TRect n = TabRect(t);
    IntersectClipRect(DC, n.left, n.top, n.right, n.bottom);
    if (TTabSheet* active = TPageControl::ActivePage()) {
        const TRect a = SkinTabRect(active->TabIndex(), true);
        ExcludeClipRect(DC, a.left, a.top, a.right, a.bottom);
    }
    DrawSkinTab(PageIndex, State, DC);
    RestoreDC(DC, saved);
}

void TsPageControl::RepaintTabs(HDC DC)
{
    if (SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0)
        DrawSkinTabs(GetParentCache(SkinData()));
    const TRect s = TabsRect();
    BitBlt(DC, s.left, s.top, WidthOf(s), HeightOf(s) + 2, SkinData()->FCacheBmp->Canvas()->Handle(), s.left, s.top,
           SRCCOPY);
}

int TsPageControl::GetTabUnderMouse(const TPoint& P)
{
    for (int i = 0; i < PageCount(); ++i) {
        const int t = Pages(i)->TabIndex();
        if (t < 0)
            continue;
        const RECT r = SkinTabRect(t, false);
        if (PtInRect(&r, P))
            return i;
    }
    return -1;
}

int TsPageControl::GetInVisibleItemCount()
{
    if (!SkinData()->Skinned() || !HandleAllocated())
        return 0;
    const int limit = Width() - 3 - FArrows.Width();
    int n = 0;
    for (int i = 0; i < PageCount(); ++i) {
        const int t = Pages(i)->TabIndex();
        if (t < 0)
            continue;
        const TRect r = TabRect(t);
        if (!IsRectEmpty(&r) && (r.right > limit || r.right <= 4))
            ++n;
    }
    return n;
}

int TsPageControl::FirstShownTab()
{
    const int count = VisibleTabsCount();
    for (int t = 0; t < count; ++t)
        if (TabRect(t).left > 0)
            return t;
    return count;
}

void TsPageControl::CheckUpDown()
{
    if (ComponentState().Contains(csLoading) || ControlState().Contains(csCreating) || !HandleAllocated())
        return;
    if (!SkinData()->Skinned()) {
        FArrows.Free();
        return;
    }
    if (DestroyNativeArrows(this))
        FNativeArrowsGone = true;
    const int hidden = TabPosition() == tpLeft || TabPosition() == tpRight ? 0 : GetInVisibleItemCount();
    if (hidden >= 1 && !MultiLine())
        FArrows.Check(hidden, FirstShownTab(), TabPosition() == tpBottom);
    else
        FArrows.Free();
}

void TsPageControl::CreateHandle()
{
    inherited::CreateHandle();
    CheckUpDown();
}

void TsPageControl::UpdateActivePage()
{
    FHotTab = -1;
    TsCommonData* sd = SkinData();
    if (!sd->Skinned() || !HandleAllocated()) {
        inherited::UpdateActivePage();
        return;
    }
    inherited::UpdateActivePage();
    sd->Updating = false;
    TTabSheet* active = TPageControl::ActivePage();
    if (VisibleTabsCount() == FVisibleTabCount) {
        // No tab came or went: only the strip and the active tab change. The new page takes the
        // old one's place and paints itself, so the paint the native control asked for is done.
        sd->BGChanged = false;
        FTabChanging = false;
        if (active && sd->FCacheBmp && sd->FCacheBmp->Width() == Width() && sd->FCacheBmp->Height() == Height()) {
            TWindowDC dc(Handle());
            RepaintTabs(dc.Handle());
            DrawSkinTab(active->PageIndex(), 2, dc.Handle());
            ValidateRect(Handle(), nullptr);
        } else {
            sd->Invalidate();
        }
    } else {
        sd->BGChanged = true;
        FTabChanging = false;
        Repaint();
        if (active)
            active->Repaint();
    }
    FTabChanging = false;
}

void TsPageControl::WMPaint(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    // What the system asks for: the whole control for a paint into a given DC.
    TRect update = Rect(0, 0, Width(), Height());
    if (!Message.WParam)
        GetUpdateRect(Handle(), &update, FALSE);
    TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    sd->Updating = sd->GetUpdating();
    // The pages ask (AC_GETUPDATING) and wait too.
    if (sd->Updating || FTabChanging)
        return;
    HDC dc = paint.DC();
    NoteHalfVisible(this, sd);
    const TCacheInfo ci = GetParentCache(sd);
    sd->InitCacheBmp();
    const bool tabs = SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0;
    if (sd->BGChanged) {
        if (tabs)
            DrawSkinTabs(ci);
        // The body is rebuilt when the paint reaches it (a paint of the tabs alone leaves it).
        const RECT page = PageRect();
        RECT common;
        if (IntersectRect(&common, &page, &update))
            PaintTabBody(this, sd, FBodySection, page, ci);
        sd->BGChanged = false;
    }
    TTabSheet* active = TPageControl::ActivePage();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
    if (tabs && active) {
        const TRect a = SkinTabRect(active->TabIndex(), true);
        ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
    }
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), dc, true);
    ::PaintControls(dc, this, false, TPoint{0, 0});
    RestoreDC(dc, saved);
    // The native control lets a hot tab be painted again: it stays hot.
    if (tabs && HotTrack() && FHotTab >= 0 && FHotTab < PageCount() && Pages(FHotTab) != active)
        DrawTabBesideActive(FHotTab, 1, dc);
    if (tabs && active) {
        DrawSkinTab(active->PageIndex(), 2, dc);
        SendAMessage(active, AC_PARENTUPDATED);
    }
    FVisibleTabCount = VisibleTabsCount();
}

void TsPageControl::HotTrackMove(const TPoint& P)
{
    const RECT strip = TabsRect();
    if (!PtInRect(&strip, P)) {
        if (FHotTab != -1 && HotTrack())
            RepaintTab(FHotTab, 0);
        if (HotTrack())
            FHotTab = -1;
        return;
    }
    const int i = GetTabUnderMouse(P);
    if (i == FHotTab)
        return;
    if (FHotTab != -1 && HotTrack())
        RepaintTab(FHotTab, 0);
    FHotTab = i;
    if (FHotTab != -1 && HotTrack()) {
        if (Pages(FHotTab) == TPageControl::ActivePage())
            FHotTab = -1; // the active tab is never shown hot
        else
            RepaintTab(FHotTab, 1);
    }
}

void TsPageControl::LeaveTabs()
{
    if (FHotTab == -1)
        return;
    RepaintTab(FHotTab, 0);
    FHotTab = -1;
}

void TsPageControl::RepairStrip()
{
    TsCommonData* sd = SkinData();
    FTabChanging = false;
    if (!sd->FCacheBmp || !HandleAllocated())
        return;
    const TRect s = TabsRect();
    if (SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0) > 0)
        DrawSkinTabs(GetParentCache(sd));
    TWindowDC dc(Handle());
    CopyWinControlCache(this, sd, Rect(s.left, s.top, 0, 0), s, dc.Handle(), false);
    // The strip on the page side that the tabs reach into.
    TRect edge = s;
    switch (TabPosition()) {
    case tpTop: edge = Rect(s.left, s.bottom, s.right, s.bottom + 4); break;
    case tpBottom: edge = Rect(s.left, s.top - 4, s.right, s.top); break;
    case tpLeft: edge = Rect(s.right, s.top, s.right + 4, s.bottom); break;
    case tpRight: edge = Rect(s.left - 4, s.top, s.left, s.bottom); break;
    }
    BitBlt(dc.Handle(), edge.left, edge.top, WidthOf(edge), HeightOf(edge), sd->FCacheBmp->Canvas()->Handle(), edge.left,
           edge.top, SRCCOPY);
}

void TsPageControl::HintShow(TMessage& Message)
{
    THintInfo* info = MessageAs<TCMHintShow>(Message).HintInfo;
    const int page = info ? GetTabUnderMouse(info->CursorPos) : -1;
    if (page < 0) {
        inherited::WndProc(Message);
        return;
    }
    const TPoint screen = ClientToScreen(info->CursorPos);
    info->HintPos = TPoint{screen.x + GetSystemMetrics(SM_CXCURSOR) / 2, screen.y + GetSystemMetrics(SM_CYCURSOR) / 2};
    info->HintStr = Pages(page)->Hint();
    // The hint belongs to the tab: another tab shows its own.
    info->CursorRect = SkinTabRect(Pages(page)->TabIndex(), false);
    Message.Result = 0;
}

void TsPageControl::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            CheckUpDown();
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            SkinBroadCast(this, Message);
            // The native control made its arrows once: a window without the skin makes them again.
            if (FNativeArrowsGone) {
                FNativeArrowsGone = false;
                RecreateWnd();
            }
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            CheckUpDown();
            if (UpDown())
                UpDown()->Repaint();
            SkinBroadCast(this, Message);
            return;
        case AC_GETCACHEINFO:
            GlobalCacheInfo = TCacheInfo{};
            if (sd->Skinned() && sd->FCacheBmp)
                GlobalCacheInfo = TCacheInfo{sd->FCacheBmp.get(), 0, 0, true};
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating && HandleAllocated()) {
                sd->Updating = false;
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
                if (TTabSheet* active = TPageControl::ActivePage())
                    active->Repaint();
            }
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        case AC_GETUPDATING:
            // The pages wait while the image is stale or a tab change holds the painting.
            Message.LParam = sd->BGChanged || sd->GetUpdating() || FTabChanging ? 1 : 0;
            return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        if (Message.Msg == CM_HINTSHOW) {
            HintShow(Message);
            return;
        }
        inherited::WndProc(Message);
        return;
    }
    CommonWndProc(Message, sd);
    switch (Message.Msg) {
    case WM_PAINT:
        if (Parent() && !Parent()->ComponentState().Contains(csDestroying) &&
            ResolveTabBody(sd, TabPosition(), FBodySection)) {
            WMPaint(Message);
            return;
        }
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
        // The library's own request: what lies outside the strip and the active page.
        if (Message.WParam == 0 && sd->FCacheBmp && TPageControl::ActivePage()) {
            TWindowDC dc(Handle());
            const TRect s = TabsRect();
            ExcludeClipRect(dc.Handle(), s.left, s.top, s.right, s.bottom);
            CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), dc.Handle(), false);
        }
        break;
    case TCM_SETITEMSIZE:
        // Held while the native control lays its tabs out again, given back when it returns.
        FTabChanging = true;
        inherited::WndProc(Message);
        FTabChanging = false;
        sd->Invalidate();
        return;
    case CN_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
            FTabChanging = true;
            FArrows.Update(FirstShownTab(), TabPosition() == tpBottom);
        }
        inherited::WndProc(Message);
        // A change the application allowed holds the painting until the new page is shown.
        if (hdr->code == static_cast<UINT>(TCN_SELCHANGING) && Message.Result == 0) {
            FTabChanging = true;
            FArrows.Update(FirstShownTab(), TabPosition() == tpBottom);
        }
        return;
    }
    case CM_HINTSHOW: HintShow(Message); return;
    case TCM_INSERTITEMA:
    case TCM_SETITEMA:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETIMAGELIST:
    case TCM_SETCURSEL:
    case WM_SETFONT: sd->BGChanged = true; break;
    default: break;
    }
    inherited::WndProc(Message);
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        sd->BGChanged = true;
        Repaint();
        break;
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
        if (!(reinterpret_cast<const WINDOWPOS*>(Message.LParam)->flags & SWP_NOSIZE))
            CheckUpDown();
        break;
    case TCM_INSERTITEMA:
    case TCM_SETITEMA:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS: CheckUpDown(); break; // the native control makes its arrows as tabs overflow
    case WM_WINDOWPOSCHANGING:
        if (FTabChanging)
            RepairStrip();
        break;
    case WM_MOUSEMOVE: {
        const auto& m = MessageAs<TWMMouse>(Message);
        HotTrackMove(TPoint{m.XPos, m.YPos});
        break;
    }
    case CM_MOUSELEAVE: LeaveTabs(); break;
    default: break;
    }
}

// --- TsTabSheet ----------------------------------------------------------------------------------

TsTabSheet::TsTabSheet(TComponent* AOwner) : TTabSheet(AOwner), FSkinData(std::make_unique<TsTabSkinData>())
{
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

TsTabSheet::~TsTabSheet() = default;

TsPageControl* TsTabSheet::SkinnedPageControl() const
{
    return dynamic_cast<TsPageControl*>(PageControl());
}

void TsTabSheet::WMPaint(TMessage& Message)
{
    TsPageControl* pc = SkinnedPageControl();
    TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    if (GetBoolMsg(pc, AC_GETUPDATING)) {
        // The page control's AC_PARENTUPDATED after its own paint brings this one back.
        FPaintHeld = true;
        return;
    }
    FPaintHeld = false;
    CopyWinControlCache(this, pc->SkinData(), Rect(Left(), Top(), 0, 0), Rect(0, 0, Width(), Height()), paint.DC(),
                        false);
    ::PaintControls(paint.DC(), this, false, TPoint{0, 0});
    SetParentUpdated(this);
}

void TsTabSheet::WndProc(TMessage& Message)
{
    TsPageControl* pc = SkinnedPageControl();
    if (Message.Msg == SM_SKINCMD && pc) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: SkinBroadCast(this, Message); return;
        case AC_REMOVESKIN:
            Invalidate();
            SkinBroadCast(this, Message);
            return;
        case AC_REPAINT:
            if (Visible())
                Invalidate();
            SkinBroadCast(this, Message);
            return;
        case AC_GETCACHEINFO:
            GlobalCacheInfo = TCacheInfo{};
            SendAMessage(pc, AC_GETCACHEINFO);
            GlobalCacheInfo.X = Left();
            GlobalCacheInfo.Y = Top();
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        case AC_GETUPDATING: Message.LParam = GetBoolMsg(pc, AC_GETUPDATING) ? 1 : 0; return;
        case AC_ISTEXTURED: {
            TsCommonData* sd = pc->SkinData();
            const bool textured = IsValidSkinIndex(sd->SkinIndex) &&
                                  gd[static_cast<std::size_t>(sd->SkinIndex)].GradientPercent +
                                          gd[static_cast<std::size_t>(sd->SkinIndex)].ImagePercent >=
                                      1;
            Message.LParam = textured || sd->RepaintIfMoved() ? 1 : 0;
            return;
        }
        case AC_GETCENTERCOLOR:
            if (pc->HandleAllocated())
                SendMessageA(pc->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_GETCENTERCOLOR), 0);
            return;
        case AC_PARENTUPDATED:
            if (FPaintHeld && HandleAllocated())
                Repaint();
            return;
        default: break;
        }
    }
    if (pc && pc->SkinData()->Skinned() && !ComponentState().Contains(csDestroying)) {
        if (Message.Msg == WM_ERASEBKGND) {
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_PAINT && HandleAllocated()) {
            WMPaint(Message);
            return;
        }
    }
    inherited::WndProc(Message);
}
