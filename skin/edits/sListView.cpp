#include "sListView.h"

#include <algorithm>

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

// The list's own message for a refresh of its bars once the messages waiting now are handled.
const UINT kRefreshScrolls = RegisterWindowMessageA("Vellorn.TsListView.RefreshScrolls");

// Set while a list moves its own bars: their change handlers do nothing meanwhile.
bool BarsAdjusting = false;

class BarsAdjustingScope {
public:
    BarsAdjustingScope() : FSaved(BarsAdjusting) { BarsAdjusting = true; }
    ~BarsAdjustingScope() { BarsAdjusting = FSaved; }
    BarsAdjustingScope(const BarsAdjustingScope&) = delete;
    BarsAdjustingScope& operator=(const BarsAdjustingScope&) = delete;

private:
    bool FSaved;
};

} // namespace

TsCustomListView::TsCustomListView(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 10)
{
    HeaderHeight = Font()->Size();
}

void TsCustomListView::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

bool TsCustomListView::Skinned()
{
    return sSkinData->Active && SkinData()->Skinned();
}

void TsCustomListView::TakeSectionColors()
{
    TsCommonData* sd = SkinData();
    if (!sd->Skinned())
        return;
    const TsGeneralData& g = gd[static_cast<std::size_t>(sd->SkinIndex)];
    if (!sd->CustomColor)
        SetColor(g.Color);
    if (!sd->CustomFont)
        Font()->SetColor(g.FontColor[0]);
}

void TsCustomListView::Loaded()
{
    inherited::Loaded();
    RefreshScrolls();
    TakeSectionColors();
}

void TsCustomListView::CreateWnd()
{
    inherited::CreateWnd();
    // A header made before the list heard of it (while its window was being made) is taken now.
    if (HWND header = reinterpret_cast<HWND>(Perform(LVM_GETHEADER)); header && header != FHeader.Handle())
        HookHeader(header);
    // The window is made at its place and size: its bars follow once it has its rows. A refresh
    // posted to a window gone meanwhile never came.
    FRefreshPosted = false;
    PostRefreshScrolls();
}

// --- Background, frame and cache --------------------------------------------------------------------

bool TsCustomListView::FullRepaint()
{
    return GetBoolMsg(this, AC_ISTEXTURED) || SkinData()->RepaintIfMoved();
}

void TsCustomListView::InvalidateSmooth(bool Force)
{
    if ((ViewStyle() == vsList || ViewStyle() == vsReport || Force) && HandleAllocated() && FullRepaint())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void TsCustomListView::PrepareCache()
{
    TsCommonData* sd = SkinData();
    sd->InitCacheBmp();
    PaintItem(sd, GetParentCache(sd), false, 0, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()},
              sd->FCacheBmp.get(), false);
    sd->BGChanged = false;
}

void TsCustomListView::TakeCentreColor()
{
    if (SkinData()->CustomColor)
        return;
    ParentCenterColor = clSkinKey;
    Perform(SM_SKINCMD, MAKEWPARAM(0, AC_GETCENTERCOLOR), 0);
    const TColor centre = ParentCenterColor;
    ParentCenterColor = clSkinKey;
    if (centre != clSkinKey && centre != Color())
        SetColor(centre);
    // A background left see-through by a textured look is given its colour back.
    if (HandleAllocated() && Perform(LVM_GETBKCOLOR) == static_cast<LRESULT>(CLR_NONE)) {
        Perform(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
        Perform(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    }
}

void TsCustomListView::PaintFrame(HDC DC)
{
    TsCommonData* sd = SkinData();
    sd->SetUpdating(sd->GetUpdating());
    if (ComponentState().Contains(csDestroying) || sd->Updating)
        return;
    if (BorderStyle() == bsSingle)
        PaintEditFrame(this, sd, DC, [this] { PrepareCache(); });
    else if (sd->BGChanged || !sd->FCacheBmp || sd->FCacheBmp->Width() != Width() ||
             sd->FCacheBmp->Height() != Height())
        PrepareCache();
    // The square between two shown bars, where the system would draw its own corner (with or
    // without a frame).
    if (VSBar && HSBar && VSBar->Visible() && HSBar->Visible()) {
        const int x = VSBar->Left() - Left(), y = HSBar->Top() - Top();
        HDC dc = DC ? DC : GetWindowDC(Handle());
        BitBlt(dc, x, y, VSBar->Width(), HSBar->Height(), sd->FCacheBmp->Canvas()->Handle(), x, y, SRCCOPY);
        if (!DC)
            ReleaseDC(Handle(), dc);
    }
}

bool TsCustomListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage)
{
    return (Target == dtControl && Skinned()) || inherited::IsCustomDrawn(Target, Stage);
}

bool TsCustomListView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    // The application's handler replaces the skinned drawing for as long as it is set.
    if (OnAdvancedCustomDraw || !Skinned())
        return inherited::CustomDraw(ARect, Stage);
    if (!inherited::CustomDraw(ARect, Stage))
        return false;
    switch (Stage) {
    case cdPostPaint: return true;
    case cdPostErase: return false;
    case cdPrePaint:
    case cdPreErase: DrawBackground(Stage); return Stage == cdPrePaint;
    }
    return true;
}

void TsCustomListView::DrawBackground(TCustomDrawStage Stage)
{
    TsCommonData* sd = SkinData();
    sd->SetUpdating(sd->GetUpdating());
    if (sd->Updating)
        return;
    if (sd->BGChanged)
        PrepareCache();
    if (!FullRepaint()) {
        TakeCentreColor();
        return;
    }
    HDC dc = Canvas()->Handle();
    const int saved = SaveDC(dc);
    if (Stage == cdPrePaint && FFullRepaint) {
        // The rows paint themselves: the copy leaves them out. Only rows that can show matter.
        const int count = Items()->Count();
        int first = 0, last = count - 1;
        if (ViewStyle() == vsReport || ViewStyle() == vsList) {
            first = static_cast<int>(Perform(LVM_GETTOPINDEX));
            last = std::min(count - 1, first + static_cast<int>(Perform(LVM_GETCOUNTPERPAGE)) + 1);
        }
        for (int i = std::max(first, 0); i <= last; ++i)
            for (int part : {LVIR_ICON, LVIR_LABEL}) {
                RECT r{part, 0, 0, 0};
                if (Perform(LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
                    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            }
    }
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    const TRect client = ClientRect();
    BitBlt(dc, 0, 0, client.right, client.bottom, sd->FCacheBmp->Canvas()->Handle(), b, b, SRCCOPY);
    RestoreDC(dc, saved);
    SetBkMode(dc, TRANSPARENT);
    Perform(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
    Perform(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
}

// --- The header -------------------------------------------------------------------------------------

void TsCustomListView::HookHeader(HWND Header)
{
    FPressedColumn = -1;
    FHotColumn = -2;
    FHeader.Subclass(Header, TWndMethod(this, &TsCustomListView::HeaderWndProc));
}

void TsCustomListView::RepaintHeader()
{
    if (HWND h = FHeader.Handle()) {
        InvalidateRect(h, nullptr, FALSE);
        UpdateWindow(h);
    }
}

void TsCustomListView::SetHotColumn(int Value)
{
    if (FHotColumn == Value)
        return;
    FHotColumn = Value;
    RepaintHeader();
}

void TsCustomListView::HeaderWndProc(TMessage& Message)
{
    const HWND header = FHeader.Handle();
    if (ViewStyle() != vsReport || !Skinned()) {
        FHeader.DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        FFullRepaint = true;
        HDHITTESTINFO hit{};
        hit.pt = POINT{static_cast<SHORT>(LOWORD(Message.LParam)), static_cast<SHORT>(HIWORD(Message.LParam))};
        SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        // A press on a divider sizes a column: no column is pressed.
        FPressedColumn = hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN) ? -1 : hit.iItem;
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
        FHeader.DefaultHandler(Message);
        return;
    }
    case WM_LBUTTONUP:
        FPressedColumn = -1;
        RefreshScrolls();
        FFullRepaint = false;
        FHeader.DefaultHandler(Message);
        return;
    case WM_NCHITTEST: {
        FHeader.DefaultHandler(Message);
        if (!HotTracking)
            return;
        // The header window moves with the horizontal scrolling: its own client point is the one.
        POINT p{static_cast<SHORT>(LOWORD(Message.LParam)), static_cast<SHORT>(HIWORD(Message.LParam))};
        ::ScreenToClient(header, &p);
        int hot = -2;
        const int n = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n && hot == -2; ++i) {
            RECT r;
            if (SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) &&
                PtInRect(&r, p))
                hot = i;
        }
        SetHotColumn(hot);
        return;
    }
    case WM_PAINT: PaintHeader(); Message.Result = 0; return;
    case WM_PRINTCLIENT: PaintHeader(reinterpret_cast<HDC>(Message.WParam)); Message.Result = 0; return;
    case WM_ERASEBKGND: Message.Result = 0; return;
    default: FHeader.DefaultHandler(Message); return;
    }
}

std::vector<int> TsCustomListView::HeaderOrder()
{
    const HWND header = FHeader.Handle();
    const int n = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::vector<int> order(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    // Sized by the header's own items: columns may have come in around the framework's list.
    if (n > 0 && FullDrag())
        SendMessageA(header, HDM_GETORDERARRAY, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(order.data()));
    return order;
}

TRect TsCustomListView::GetHeaderColumnRect(int Position)
{
    RECT r{0, 0, 0, 0};
    const std::vector<int> order = HeaderOrder();
    if (Position >= 0 && Position < static_cast<int>(order.size()))
        SendMessageA(FHeader.Handle(), HDM_GETITEMRECT, static_cast<WPARAM>(order[static_cast<std::size_t>(Position)]),
                     reinterpret_cast<LPARAM>(&r));
    return r;
}

void TsCustomListView::PaintHeader(HDC DC)
{
    const HWND header = FHeader.Handle();
    if (!header)
        return;
    PAINTSTRUCT ps{};
    HDC dc = DC ? DC : BeginPaint(header, &ps);
    RECT client;
    GetClientRect(header, &client);
    int right = 0;
    // Each item at its place, by its own index (the pressed and hot columns are item indexes).
    for (int item : HeaderOrder()) {
        RECT r;
        if (!SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)) ||
            IsRectEmpty(&r))
            continue;
        HeaderHeight = r.bottom - r.top;
        ColumnSkinPaint(dc, r, item);
        right = std::max(right, static_cast<int>(r.right));
    }
    if (right == 0)
        HeaderHeight = client.bottom - client.top;
    const TRect rest{right, 0, client.right, client.bottom};
    if (!IsRectEmpty(&rest))
        ColumnSkinPaint(dc, rest, -1);
    if (!DC)
        EndPaint(header, &ps);
}

TPoint TsCustomListView::DrawTextAligned(TCanvas* Canvas, const TRect& R, const AnsiString& Text,
                                         TAlignment Alignment, int Layout, int ImageWidth)
{
    const int gap = ImageWidth >= 1 ? ImageWidth + 2 : 0;
    const SIZE size = Canvas->TextExtent(Text);
    int x = R.left + gap;
    if (Alignment == taRightJustify)
        x = R.right - size.cx;
    else if (Alignment == taCenter)
        x = (R.left + R.right - size.cx + gap) / 2;
    // A caption wider than its room keeps its start in view, as the system's header does.
    x = std::max<int>(x, R.left + gap);
    int y = R.top;
    if (Layout == 1)
        y = R.bottom - size.cy;
    else if (Layout == 2)
        y = (R.top + R.bottom - size.cy) / 2;
    Canvas->TextRect(R, x, y, Text);
    return TPoint{x, y};
}

void TsCustomListView::ColumnSkinPaint(HDC DC, const TRect& R, int Index)
{
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0)
        return;
    TBitmap bmp(w, h, pf24bit);
    TsCommonData* sd = SkinData();
    if (sd->BGChanged || !sd->FCacheBmp || sd->FCacheBmp->Width() != Width())
        PrepareCache();
    const TCacheInfo ci{sd->FCacheBmp.get(), 0, 0, true};
    const int state = FPressedColumn >= 0 ? (Index == FPressedColumn ? 2 : 0) : (Index == FHotColumn ? 1 : 0);
    int section = GetSkinIndex("COLHEADER");
    const char* name = "COLHEADER";
    if (section < 0) {
        section = GetSkinIndex("BUTTON");
        name = "BUTTON";
    }
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    if (section >= 0)
        PaintItem(section, name, ci, true, state, Rect(0, 0, w, h), TPoint{R.left + b, R.top + b}, &bmp);
    else
        FillDC(bmp.Canvas()->Handle(), Rect(0, 0, w, h), clBtnFace); // a skin without either section
    TCanvas* canvas = bmp.Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect text{4, 1, w - 4, h - 1};
    if (state == 2)
        OffsetRect(&text, 1, 1);
    if (Index >= 0 && Index < Columns()->Count()) {
        TListColumn* column = Column(Index);
        TCustomImageList* images = SmallImages();
        if (images && column->ImageIndex() >= 0) {
            const TPoint at = DrawTextAligned(canvas, text, column->Caption(), column->Alignment(), 2, images->Width());
            images->Draw(canvas, at.x - images->Width() - 2, (text.top + text.bottom - images->Height()) / 2,
                         column->ImageIndex(), Enabled());
        } else if (!column->Caption().empty()) {
            DrawTextAligned(canvas, text, column->Caption(), column->Alignment(), 2, 0);
        }
    }
    BitBlt(DC, R.left, R.top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}

int TsCustomListView::AllColWidth()
{
    int sum = 0;
    for (int i = 0; i < Columns()->Count(); ++i) {
        const int w = static_cast<int>(Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i)));
        if (std::abs(w) > 999999)
            break;
        sum += w;
    }
    return sum;
}

// --- Scroll bars ------------------------------------------------------------------------------------

void TsCustomListView::RefreshBar(TsScrollBar*& Bar, TScrollBarKind Kind, bool Wanted, bool Usable,
                                  const SCROLLINFO& Info)
{
    if (!Wanted && Bar)
        Bar->SetVisible(false);
    if (Wanted && !Bar)
        Bar = MakeHostBar(this, Kind,
                          Kind == sbVertical ? TOnIntChangeEvent(this, &TsCustomListView::OnVSBChange)
                                             : TOnIntChangeEvent(this, &TsCustomListView::OnHSBChange));
    if (!Bar)
        return;
    if (Usable) {
        FillHostBar(Bar, Info, Enabled());
        Bar->SmallChange = Kind == sbVertical ? 1 : Bar->Max() / 23 + 1;
        Bar->LargeChange = std::max(Bar->PageSize(), 1);
    } else {
        Bar->SetVisible(false);
        SCROLLINFO none{};
        none.nPage = 1;
        FillHostBar(Bar, none, false);
    }
    Bar->SetEnabled(Enabled());
}

void TsCustomListView::RefreshScrolls()
{
    if (FRefreshing || ControlState().Contains(csReadingState) || ControlState().Contains(csCreating) ||
        ControlState().Contains(csDestroyingHandle) || !HandleAllocated())
        return;
    FRefreshing = true;
    const BarsAdjustingScope adjusting;
    SCROLLINFO v, h;
    const bool vOk = GetNativeScrollInfo(this, SB_VERT, v), hOk = GetNativeScrollInfo(this, SB_HORZ, h);
    const bool can = Skinned() && !ComponentState().Contains(csDestroying) && Visible();
    auto wanted = [](bool ok, const SCROLLINFO& si) {
        return ok && si.nMax > si.nMin && si.nPage > 0 && static_cast<int>(si.nPage) <= si.nMax;
    };
    const bool needV = can && wanted(vOk, v);
    const bool needH = can && wanted(hOk, h) && (ViewStyle() == vsReport || Items()->Count() > 0);
    RefreshBar(VSBar, sbVertical, needV, vOk, v);
    RefreshBar(HSBar, sbHorizontal, needH, hOk, h);
    PlaceBars(needV, needH);
    for (auto [bar, need] : {std::pair{VSBar, needV}, std::pair{HSBar, needH}})
        if (bar && need) {
            bar->SetVisible(true);
            bar->UpdateBar();
        }
    FRefreshing = false;
}

void TsCustomListView::RefreshScrollBounds()
{
    PlaceBars(VSBar && VSBar->Visible(), HSBar && HSBar->Visible());
}

void TsCustomListView::PlaceBars(bool Vertical, bool Horizontal)
{
    // Inside the frame, where the native bars lie; a bar that is missing or hidden takes no room.
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    const int vw = VSBar && Vertical ? VSBar->Width() : 0;
    const int hh = HSBar && Horizontal ? HSBar->Height() : 0;
    if (VSBar) {
        VSBar->SetBounds(Left() + Width() - VSBar->Width() - b, Top() + b, VSBar->Width(), Height() - hh - 2 * b);
        VSBar->BringToFront();
    }
    if (HSBar) {
        HSBar->SetBounds(Left() + b, Top() + Height() - HSBar->Height() - b, Width() - vw - 2 * b, HSBar->Height());
        HSBar->BringToFront();
    }
}

void TsCustomListView::PostRefreshScrolls()
{
    if (FRefreshPosted || !HandleAllocated())
        return;
    FRefreshPosted = PostMessageA(Handle(), kRefreshScrolls, 0, 0) != FALSE;
}

void TsCustomListView::OnVSBChange(TObject*, int OldValue)
{
    if (BarsAdjusting || !VSBar || VSBar->Position() == OldValue)
        return;
    const int delta = VSBar->Position() - OldValue;
    if (ViewStyle() == vsReport) {
        // The bar counts rows; the window scrolls by pixels.
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        Perform(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        Scroll(0, delta * (r.bottom - r.top));
        InvalidateSmooth(false);
    } else {
        Scroll(0, delta);
    }
}

void TsCustomListView::OnHSBChange(TObject*, int OldValue)
{
    if (BarsAdjusting || !HSBar)
        return;
    const BarsAdjustingScope adjusting;
    // The list view's bar counts columns, and so does the window's scrolling there; the other
    // views count pixels.
    Scroll(HSBar->Position() - OldValue, 0);
    InvalidateSmooth(false);
}

// --- Messages ---------------------------------------------------------------------------------------

void TsCustomListView::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCPAINT:
        if (Skinned() && HandleAllocated()) {
            PaintFrame(nullptr);
            return;
        }
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) {
            const HWND child = reinterpret_cast<HWND>(Message.LParam);
            char name[97] = {};
            GetClassNameA(child, name, sizeof name - 1);
            if (lstrcmpiA(name, WC_HEADERA) == 0) {
                FHeader.Release();
                if (LOWORD(Message.WParam) == WM_CREATE)
                    HookHeader(child);
            }
        }
        break;
    case WM_NCHITTEST:
        inherited::Dispatch(Message);
        // The mouse over the rows has left the header.
        if (Skinned() && HotTracking && FHotColumn != -2)
            SetHotColumn(-2);
        return;
    case CM_MOUSELEAVE:
        if (ViewStyle() == vsReport && Skinned())
            SetHotColumn(-2);
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}

void TsCustomListView::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == kRefreshScrolls) {
        FRefreshPosted = false;
        RefreshScrolls();
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            FreeHostBar(VSBar);
            FreeHostBar(HSBar);
            if (!sd->CustomColor)
                SetColor(clWindow);
            if (!sd->CustomFont)
                Font()->SetColor(clWindowText);
            if (HandleAllocated()) {
                const auto bk = static_cast<LPARAM>(ColorToRGB(Color()));
                Perform(LVM_SETBKCOLOR, 0, bk);
                Perform(LVM_SETTEXTBKCOLOR, 0, bk);
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            }
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            TakeSectionColors();
            if (HandleAllocated()) {
                Repaint();
                RefreshScrolls();
                RepaintFrame(Handle());
                RepaintHeader();
            }
            return;
        case AC_PARENTUPDATED:
            if (sd->GetUpdating()) {
                sd->SetUpdating(false);
                Perform(WM_NCPAINT, 0, 0);
                return;
            }
            break;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (ControlState().Contains(csCreating)) {
        TCustomListView::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    const bool skinned = Skinned();
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (skinned) {
            if (FullRepaint()) {
                Message.Result = 1;
                return;
            }
            TakeCentreColor();
        }
        break;
    case WM_PRINT:
        if (skinned) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            // The rows into the client part of the window's picture, then the frame around it.
            const int saved = SaveDC(dc);
            const int b = BorderStyle() == bsSingle ? 2 : 0;
            OffsetViewportOrgEx(dc, b, b, nullptr);
            IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
            Perform(WM_PAINT, Message.WParam, Message.LParam);
            RestoreDC(dc, saved);
            PaintFrame(dc);
            return;
        }
        break;
    case LVM_SETCOLUMNA:
    case LVM_INSERTCOLUMNA:
    case LVM_SETCOLUMNW:
    case LVM_INSERTCOLUMNW:
        // A column without a picture gets no room for one.
        if (auto* c = reinterpret_cast<LVCOLUMNA*>(Message.LParam); c && (c->mask & LVCF_IMAGE) && c->iImage == -1)
            c->mask &= ~static_cast<UINT>(LVCF_IMAGE);
        break;
    default: break;
    }
    CommonWndProc(Message, sd);
    TCustomListView::WndProc(Message);
    if (skinned && !ComponentState().Contains(csDestroying)) {
        switch (Message.Msg) {
        case WM_STYLECHANGED:
        case WM_SETREDRAW:
            if (!ControlState().Contains(csReadingState)) {
                Perform(LVM_ARRANGE, LVA_DEFAULT);
                RefreshScrolls();
            }
            break;
        case WM_MOUSEWHEEL:
            if (LOWORD(Message.WParam) == 0) {
                InvalidateSmooth(false);
                RefreshScrolls();
            }
            break;
        case CN_KEYDOWN:
        case CN_KEYUP:
            if (Message.WParam >= VK_PRIOR && Message.WParam <= VK_DOWN) {
                InvalidateSmooth(false);
                RefreshScrolls();
            }
            break;
        case WM_MOVE:
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
            RefreshScrolls();
            Perform(WM_NCPAINT, 0, 0);
            FFullRepaint = true;
            InvalidateSmooth(true);
            FFullRepaint = false;
            RefreshScrolls();
            break;
        // The rows, the columns or the scrolling changed: the bars follow once the burst is over.
        case LVM_SETITEMCOUNT:
        case LVM_ENSUREVISIBLE:
        case LVM_SCROLL:
        case LVM_SETCOLUMNWIDTH:
        case LVM_INSERTCOLUMNA:
        case LVM_DELETECOLUMN:
        case WM_VSCROLL:
        case WM_HSCROLL: PostRefreshScrolls(); break;
        default: break;
        }
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
