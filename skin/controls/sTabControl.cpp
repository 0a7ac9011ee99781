#include "sTabControl.h"

#include <algorithm>

#include "Forms.h"
#include "StdCtrls.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUpDown.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

[[noreturn]] void ListError(const AnsiString& Text)
{
    throw EListError(Text);
}

} // namespace

// --- TsTabStrings ----------------------------------------------------------------------------

LRESULT TsTabStrings::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const
{
    return SendMessageA(FControl->Handle(), Msg, WParam, LParam);
}

AnsiString TsTabStrings::Get(int Index) const
{
    char buffer[4096] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    if (!Send(TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
        ListError("Failed to retrieve tab at index " + IntToStr(Index));
    return AnsiString(item.pszText);
}

int TsTabStrings::GetCount() const
{
    return static_cast<int>(Send(TCM_GETITEMCOUNT, 0, 0));
}

TObject* TsTabStrings::GetObject(int Index) const
{
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!Send(TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
        ListError("Failed to get object at index " + IntToStr(Index));
    return reinterpret_cast<TObject*>(item.lParam);
}

void TsTabStrings::Put(int Index, const AnsiString& S)
{
    AnsiString text = S;
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = FControl->GetImageIndex(Index);
    if (!Send(TCM_SETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
        ListError("Failed to set tab \"" + S + "\" at index " + IntToStr(Index));
    Changed();
}

void TsTabStrings::PutObject(int Index, TObject* AObject)
{
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(AObject);
    if (!Send(TCM_SETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)))
        ListError("Failed to set object at index " + IntToStr(Index));
}

void TsTabStrings::Insert(int Index, const AnsiString& S)
{
    AnsiString text = S;
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = FControl->GetImageIndex(Index);
    const int count = GetCount();
    const int selected = FControl->TabIndex();
    if (Send(TCM_INSERTITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)) < 0)
        ListError("Failed to set tab \"" + S + "\" at index " + IntToStr(Index));
    // The selected tab stays selected when a tab comes before it.
    FControl->FollowTabs(count > 0 && selected >= Index ? selected + 1 : selected);
    Changed();
}

void TsTabStrings::Delete(int Index)
{
    const int selected = FControl->TabIndex();
    if (!Send(TCM_DELETEITEM, static_cast<WPARAM>(Index), 0))
        ListError("Failed to delete tab at index " + IntToStr(Index));
    // The selected tab stays selected when one before it goes; when it goes itself, the tab that
    // takes its place (or the new last one) is selected, and that is a change.
    const int count = GetCount();
    const bool lost = Index == selected && count > 0;
    FControl->FollowTabs(Index < selected ? selected - 1 : lost ? std::min(selected, count - 1) : selected);
    Changed();
    if (lost)
        FControl->Change();
}

void TsTabStrings::Clear()
{
    if (!Send(TCM_DELETEALLITEMS, 0, 0))
        ListError("Failed to clear tab control");
    FControl->FollowTabs(-1);
    Changed();
}

void TsTabStrings::SetUpdateState(bool Updating)
{
    FControl->FUpdating = Updating;
    Send(WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
    if (!Updating) {
        FControl->SkinData()->Invalidate();
        FControl->TabsChanged();
    }
}

void TsTabStrings::Changed()
{
    if (!FControl->OwnCalc()) {
        FControl->TabsChanged();
        return;
    }
    TFlagUp lock(FControl->FLockPaint);
    FControl->TabsChanged();
}

// --- TsCustomTabControl ----------------------------------------------------------------------

TsCustomTabControl::TsCustomTabControl(TComponent* AOwner)
    : TsSkinned(AOwner, "TABCONTROL", 143), FCanvas(std::make_unique<TControlCanvas>()),
      FImageLink(this, [this](TObject* Sender) { ImageListChange(Sender); }),
      FTabs(std::make_unique<TsTabStrings>(this))
{
    SetBounds(0, 0, 289, 100);
    SetTabStop(true);
    SetControlStyle(TControlStyle{csAcceptsControls, csDoubleClicks});
    FCanvas->Control = this;
}

TsCustomTabControl::~TsCustomTabControl()
{
    FCanvas->FreeHandle();
}

void TsCustomTabControl::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsCustomTabControl::Loaded()
{
    TWinControl::Loaded();
    if (Images())
        UpdateTabImages();
    SkinData()->Loaded();
    if (OwnCalc())
        RebuildTabs();
}

TStrings* TsCustomTabControl::Tabs() const
{
    if (FSavedTabs)
        return FSavedTabs.get();
    return FTabs.get();
}

void TsCustomTabControl::SetTabs(TStrings* Value)
{
    Tabs()->Assign(Value);
}

void TsCustomTabControl::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_TAB_CLASSES);
    inherited::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    DWORD position = 0;
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: position = TCS_BOTTOM; break;
    case tpLeft: position = UseRightToLeftAlignment() ? TCS_VERTICAL | TCS_RIGHT : TCS_VERTICAL; break;
    case tpRight: position = UseRightToLeftAlignment() ? TCS_VERTICAL : TCS_VERTICAL | TCS_RIGHT; break;
    }
    const DWORD style = FStyle == tsButtons ? TCS_BUTTONS : FStyle == tsFlatButtons ? TCS_BUTTONS | TCS_FLATBUTTONS : 0;
    Params.Style |= WS_CLIPCHILDREN | position | style | (FRaggedRight ? TCS_RAGGEDRIGHT : 0);
    if (!TabStop())
        Params.Style |= TCS_FOCUSNEVER;
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
    if (FMultiSelect)
        Params.Style |= TCS_MULTISELECT;
    if (FOwnerDraw)
        Params.Style |= TCS_OWNERDRAWFIXED;
    if (FTabWidth != 0)
        Params.Style |= TCS_FIXEDWIDTH;
    if (FHotTrack)
        Params.Style |= TCS_HOTTRACK;
    if (FScrollOpposite)
        Params.Style |= TCS_SCROLLOPPOSITE;
    Params.WindowClass.style = (Params.WindowClass.style & ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TsCustomTabControl::CreateWnd()
{
    inherited::CreateWnd();
    if (Images() && FImageLink.Handle())
        SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
    if (FTabWidth != 0 || FTabHeight != 0)
        UpdateTabSize();
    if (FSavedTabs) {
        std::unique_ptr<TStringList> saved = std::move(FSavedTabs);
        FTabs->Assign(saved.get());
        // The same tab as before: nothing changed, so nothing is reported.
        FollowTabs(FSavedTabIndex);
        if (OwnCalc()) {
            RebuildTabs();
            SkinData()->BGChanged = true;
        }
    }
}

void TsCustomTabControl::CreateHandle()
{
    inherited::CreateHandle();
    CheckUpDown();
}

void TsCustomTabControl::DestroyWnd()
{
    // The tabs live in the window: a copy keeps them (and the selection) until it is made again.
    if (!FSavedTabs && FTabs->Count() > 0) {
        auto saved = std::make_unique<TStringList>();
        saved->Assign(FTabs.get());
        FSavedTabIndex = TabIndex();
        FSavedTabs = std::move(saved);
    }
    inherited::DestroyWnd();
}

void TsCustomTabControl::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FImageLink.Removed(AComponent) && HandleAllocated() &&
        !ComponentState().Contains(csDestroying))
        SendMessageA(Handle(), TCM_SETIMAGELIST, 0, 0);
}

void TsCustomTabControl::ImageListChange(TObject*)
{
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
}

void TsCustomTabControl::SetImages(TCustomImageList* Value)
{
    if (!FImageLink.Set(Value))
        return;
    ImageListChange(this);
    if (SkinData()->Skinned() && !ComponentState().Contains(csDestroying) &&
        !(Parent() && Parent()->ComponentState().Contains(csDestroying)))
        SkinData()->Invalidate();
}

void TsCustomTabControl::AdjustClientRect(TRect& Rect)
{
    Rect = GetDisplayRect();
    inherited::AdjustClientRect(Rect);
}

TRect TsCustomTabControl::GetDisplayRect()
{
    TRect r = ClientRect();
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.top += 2;
    return r;
}

TRect TsCustomTabControl::TabRect(int Index)
{
    TRect r{};
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

int TsCustomTabControl::RowCount()
{
    return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), TCM_GETROWCOUNT, 0, 0)) : 0;
}

int TsCustomTabControl::IndexOfTabAt(int X, int Y)
{
    const RECT client = ClientRect();
    const POINT p{X, Y};
    if (!HandleAllocated() || !PtInRect(&client, p))
        return -1;
    TCHITTESTINFO info{};
    info.pt = p;
    return static_cast<int>(SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

THitTests TsCustomTabControl::GetHitTestInfoAt(int X, int Y)
{
    THitTests result;
    const RECT client = ClientRect();
    const POINT p{X, Y};
    if (!HandleAllocated() || !PtInRect(&client, p))
        return result;
    TCHITTESTINFO info{};
    info.pt = p;
    SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
    if (info.flags & TCHT_NOWHERE)
        result << htNowhere;
    if (info.flags & TCHT_ONITEM)
        result << htOnItem;
    if (info.flags & TCHT_ONITEMICON)
        result << htOnIcon;
    if (info.flags & TCHT_ONITEMLABEL)
        result << htOnLabel;
    return result;
}

void TsCustomTabControl::ScrollTabs(int Delta)
{
    if (!HandleAllocated())
        return;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, UPDOWN_CLASSA) != 0)
            continue;
        RECT r;
        GetClientRect(child, &r);
        const LPARAM at = MAKELPARAM(Delta < 0 ? r.left + 2 : r.right - 2, r.top + 2);
        for (int i = 0; i < std::abs(Delta); ++i) {
            SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageA(child, WM_LBUTTONUP, 0, at);
        }
        return;
    }
}

int TsCustomTabControl::TabIndex()
{
    if (OwnCalc())
        return Tabs()->Count() > 0 ? FTabIndex : 0;
    return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)) : FTabIndex;
}

void TsCustomTabControl::FollowTabs(int Index)
{
    const int count = FTabs->Count();
    if (Index < -1 || Index >= count)
        Index = -1;
    if (OwnCalc() && Index < 0)
        Index = 0;
    FTabIndex = Index;
    if (HandleAllocated() && SendMessageA(Handle(), TCM_GETCURSEL, 0, 0) != Index)
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TsCustomTabControl::SetTabIndex(int Value)
{
    if (!OwnCalc()) {
        // The native control keeps the selection; a change is reported when there is one.
        const int before = TabIndex();
        FTabIndex = Value;
        if (HandleAllocated())
            SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
        if (TabIndex() != before)
            Change();
        return;
    }
    int index = Value;
    if (ActualIndex(Value) < 0)
        index = 0;
    if (index == FTabIndex)
        return;
    FTabIndex = index;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading))
        return;
    RebuildTabs();
    SkinData()->BGChanged = true;
    Change();
    // The native selection follows the tab selected, not an index that matched none.
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Repaint();
}

int TsCustomTabControl::GetImageIndex(int TabIndex)
{
    int index = TabIndex;
    if (OnGetImageIndex)
        OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TsCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active)
{
    if (OnDrawTab) {
        OnDrawTab(this, TabIndex, Rect, Active);
        return;
    }
    FCanvas->FillRect(Rect);
}

bool TsCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TsCustomTabControl::Change()
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (OnChange)
        OnChange(this);
    if (HandleAllocated())
        FArrows.Update(FirstShownTab(), FTabPosition == tpBottom);
}

void TsCustomTabControl::SetStyleBit(DWORD Bit, bool On)
{
    if (!HandleAllocated())
        return;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, On ? style | static_cast<LONG>(Bit) : style & ~static_cast<LONG>(Bit));
}

void TsCustomTabControl::SetHotTrack(bool Value)
{
    if (FHotTrack == Value)
        return;
    FHotTrack = Value;
    RecreateWnd();
}

void TsCustomTabControl::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TsCustomTabControl::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    RecreateWnd();
}

void TsCustomTabControl::SetRaggedRight(bool Value)
{
    if (FRaggedRight == Value)
        return;
    FRaggedRight = Value;
    SetStyleBit(TCS_RAGGEDRIGHT, Value);
}

void TsCustomTabControl::SetScrollOpposite(bool Value)
{
    if (FScrollOpposite == Value)
        return;
    FScrollOpposite = Value;
    if (Value)
        FMultiLine = true;
    RecreateWnd();
}

void TsCustomTabControl::SetMultiLine(bool Value)
{
    if (FMultiLine == Value)
        return;
    if (!Value && (FTabPosition == tpLeft || FTabPosition == tpRight))
        throw EListError("MultiLine must be True when TabPosition is tpLeft or tpRight");
    FMultiLine = Value;
    if (!Value)
        FScrollOpposite = false;
    RecreateWnd();
}

void TsCustomTabControl::SetStyle(TTabStyle Value)
{
    if (FStyle == Value)
        return;
    if (Value != tsTabs && FTabPosition != tpTop)
        throw EInvalidOperation("Tab style incompatible with current tab position");
    FStyle = Value;
    RecreateWnd();
}

void TsCustomTabControl::SetTabPosition(TTabPosition Value)
{
    if (FTabPosition == Value)
        return;
    if (Value != tpTop && FStyle != tsTabs)
        throw EInvalidOperation("Tab position incompatible with current tab style");
    FTabPosition = Value;
    if ((Value == tpLeft || Value == tpRight) && !FMultiLine)
        FMultiLine = true;
    RecreateWnd();
}

void TsCustomTabControl::SetTabHeight(int Value)
{
    if (FTabHeight == Value)
        return;
    if (Value < 0)
        throw EInvalidOperation(ClassName() + " property out of range");
    FTabHeight = Value;
    UpdateTabSize();
    SkinData()->Invalidate();
}

void TsCustomTabControl::SetTabWidth(int Value)
{
    if (FTabWidth == Value)
        return;
    if (Value < 0)
        throw EInvalidOperation(ClassName() + " property out of range");
    const int old = FTabWidth;
    FTabWidth = Value;
    // The fixed-width style comes or goes with a width of 0.
    if (old != 0 && Value != 0)
        UpdateTabSize();
    else
        RecreateWnd();
}

void TsCustomTabControl::TabsChanged()
{
    if (ComponentState().Contains(csDestroying) || FUpdating || ComponentState().Contains(csReading))
        return;
    FillTabs();
    if (HandleAllocated())
        SendMessageA(Handle(), WM_SIZE, 0, MAKELPARAM(Width(), Height()));
    Realign();
    if (FMultiLine)
        FArrows.Free();
    else
        CheckUpDown(); // the native control makes its arrows as tabs overflow
}

void TsCustomTabControl::UpdateTabSize()
{
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
    if (!ComponentState().Contains(csReading))
        TabsChanged();
}

void TsCustomTabControl::UpdateTabImages()
{
    if (!HandleAllocated())
        return;
    for (int i = 0; i < FTabs->Count(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_IMAGE;
        item.iImage = GetImageIndex(i);
        if (!SendMessageA(Handle(), TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            ListError("Failed to set tab \"" + FTabs->Strings(i) + "\" at index " + IntToStr(i));
    }
    TabsChanged();
}

// --- The own layout --------------------------------------------------------------------------

bool TsCustomTabControl::OwnCalc() const
{
    return SkinData()->Skinned();
}

int TsCustomTabControl::ActualIndex(int TabIndex) const
{
    for (std::size_t i = 0; i < FTabsArray.size(); ++i)
        if (FTabsArray[i].Index == TabIndex)
            return static_cast<int>(i);
    return -1;
}

int TsCustomTabControl::ActiveTabIndex() const
{
    if (FTabsArray.empty())
        return -1;
    if (FTabIndex >= 0 && FTabIndex < static_cast<int>(FTabsArray.size()))
        return ActualIndex(FTabIndex);
    return 0;
}

int TsCustomTabControl::IndexOfSkinTab(int X, int Y) const
{
    const POINT p{X, Y};
    for (const TsTabInfo& t : FTabsArray) {
        const RECT r = t.R;
        if (PtInRect(&r, p))
            return t.Index;
    }
    return -1;
}

TRect TsCustomTabControl::SkinTabRect(int Index) const
{
    // A position outside the array (-1 included: no tab selected) has no rectangle.
    if (Index < 0 || Index >= static_cast<int>(FTabsArray.size()))
        return TRect{};
    const TsTabInfo& t = FTabsArray[static_cast<std::size_t>(Index)];
    if (t.R.left == t.R.right)
        return TRect{};
    const bool active = FTabPosition == tpTop || FTabPosition == tpBottom ? t.Index == FTabIndex
                                                                          : Index == ActiveTabIndex();
    return SkinTabRectOf(t.R, FTabPosition, active);
}

int TsCustomTabControl::InvisibleTabs(int Index)
{
    int n = 0;
    for (int i = 0; i <= std::min(Index, Tabs()->Count() - 1); ++i)
        if (!TabVisible(i))
            ++n;
    return n;
}

int TsCustomTabControl::FindNextTab(int Current, bool GoForward)
{
    const int count = Tabs()->Count();
    if (count == 0)
        return Current;
    int start = Current;
    if (start < 0)
        start = GoForward ? count - 1 : 0;
    return GoForward ? (start + 1) % count : (start - 1 + count) % count;
}

void TsCustomTabControl::FillTabs()
{
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csDestroying) ||
        (Parent() && Parent()->ComponentState().Contains(csDestroying)) || !HandleAllocated())
        return;
    FTabsArray.clear();
    const int count = FTabs->Count();
    FTabsArray.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TsTabInfo t;
        t.Caption = FTabs->Strings(i);
        t.Index = i;
        t.ImageIndex = GetImageIndex(i);
        FTabsArray.push_back(t);
    }
    RebuildTabs();
}

void TsCustomTabControl::UpdateTabRects()
{
    if (ComponentState().Contains(csReading) || !HandleAllocated())
        return;
    const int n = RowCount();
    int c = n + 1;
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    for (TsTabInfo& t : FTabsArray) {
        t.R = TabRect(t.Index);
        t.Width = WidthOf(t.R);
        t.Height = HeightOf(t.R);
        t.Placed = false;
    }
    // A tab scrolled out of view has an empty native rectangle: it is in no row.
    auto shown = [](const TsTabInfo& t) { return t.Width > 0 && t.Height > 0; };
    for (TsTabInfo& start : FTabsArray) {
        if (start.Placed || !shown(start) || (sides ? start.R.top : start.R.left) >= 4)
            continue;
        // The next row, in a fixed order whatever tab is selected: rows found later lie nearer the page.
        --c;
        const int h = start.Height, w = start.Width, k = n - c;
        const int edge = sides ? start.R.left : start.R.top;
        for (TsTabInfo& t : FTabsArray) {
            if (t.Placed || !shown(t) || std::abs((sides ? t.R.left : t.R.top) - edge) > 2)
                continue;
            switch (FTabPosition) {
            case tpTop: t.R.top = k * h + 1, t.R.bottom = t.R.top + h; break;
            case tpBottom: t.R.bottom = Height() - (k * h + 1), t.R.top = t.R.bottom - h; break;
            case tpLeft: t.R.left = k * w + 1, t.R.right = t.R.left + w; break;
            case tpRight: t.R.right = Width() - (k * w + 1), t.R.left = t.R.right - w; break;
            }
            t.Row = c;
            t.Placed = true;
        }
    }
}

void TsCustomTabControl::RebuildTabs()
{
    if (ComponentState().Contains(csReading))
        return;
    UpdateTabRects();
    const int active = ActiveTabIndex();
    const int row = active >= 0 ? FTabsArray[static_cast<std::size_t>(active)].Row : 0;
    if (row == 1 || row == 0)
        return;
    // The selected tab's row takes the places of the row that touches the page; the places keep
    // their rectangles, the tabs behind move forward in their order.
    std::vector<TsTabInfo> moved, rest;
    for (const TsTabInfo& t : FTabsArray)
        (t.Row == row ? moved : rest).push_back(t);
    std::size_t place = 0;
    auto put = [&](const TsTabInfo& t, int Row) {
        TsTabInfo& at = FTabsArray[place++];
        at.Caption = t.Caption;
        at.Index = t.Index;
        at.ImageIndex = t.ImageIndex;
        at.Row = Row;
    };
    for (const TsTabInfo& t : rest)
        put(t, t.Row);
    for (const TsTabInfo& t : moved)
        put(t, 1);
}

TRect TsCustomTabControl::TabsRect()
{
    return TabsRectOf(FTabPosition, Width(), Height(), GetDisplayRect(), Tabs()->Count() > 0);
}

TRect TsCustomTabControl::PageRect()
{
    return PageRectOf(FTabPosition, Width(), Height(), GetDisplayRect(), Tabs()->Count() > 0);
}

// --- Painting --------------------------------------------------------------------------------

void TsCustomTabControl::DrawSkinTabs(const TCacheInfo& CacheInfo)
{
    if (ComponentState().Contains(csDestroying))
        return;
    const TRect s = TabsRect();
    TRect fill = s;
    fill.bottom += 4;
    PaintTabStrip(this, SkinData(), s, fill, CacheInfo);
    const int active = ActiveTabIndex();
    for (int i = 0; i < static_cast<int>(FTabsArray.size()); ++i)
        if (CanShowTab(FTabsArray[static_cast<std::size_t>(i)].Index) && i != active)
            DrawSkinTab(i, 0);
}

void TsCustomTabControl::DrawSkinTab(int Index, int State)
{
    const TRect r = SkinTabRect(Index);
    // A tab scrolled out of view has no rectangle and nothing is drawn for it.
    if (Index < 0 || Index >= static_cast<int>(FTabsArray.size()) || (State == 1 && r.left < 0) ||
        IsRectEmpty(&r))
        return;
    const TsTabInfo& tab = FTabsArray[static_cast<std::size_t>(Index)];
    TBitmap* cache = SkinData()->FCacheBmp.get();
    const TsTabSkin skin = TabSkinOf(FTabPosition);
    if (skin.Usable() && WidthOf(r) > 0 && HeightOf(r) > 0) {
        TBitmap work(WidthOf(r), HeightOf(r), pf24bit);
        PaintSmallItem(skin.Section, skin.Name, TCacheInfo{cache, 0, 0, true}, true, State == 1 ? 2 : 0,
                       Rect(0, 0, WidthOf(r), HeightOf(r)), TPoint{r.left, r.top}, &work);
        BitBlt(cache->Canvas()->Handle(), r.left, r.top, WidthOf(r), HeightOf(r), work.Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    if (FOwnerDraw) {
        if (OnDrawTab) {
            TLentCanvas lent(FCanvas.get(), cache->Canvas()->Handle());
            OnDrawTab(this, tab.Index, r, State != 0); // the tab's own index, whatever its place
        }
        return;
    }
    const bool active = Index == ActiveTabIndex();
    TsTabCaption caption;
    caption.Text = tab.Caption;
    caption.ImageIndex = tab.ImageIndex;
    caption.Active = active;
    caption.Hot = State != 0;
    caption.Focused = HandleAllocated() && Focused() && active;
    DrawTabCaption(cache->Canvas(), r, FTabPosition, this, SkinData(), Images(), caption);
}

void TsCustomTabControl::WMPaint(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    NoteHalfVisible(this, sd);
    UpdateTabRects();
    const TCacheInfo ci = GetParentCache(sd);
    TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    if (sd->GetUpdating()) {
        sd->Updating = true;
        return;
    }
    FillTabs();
    sd->InitCacheBmp();
    if (sd->BGChanged) {
        const bool tabs = !FTabsArray.empty();
        if (tabs)
            DrawSkinTabs(ci);
        PaintTabBody(this, sd, FBodySection, PageRect(), ci);
        if (tabs)
            DrawSkinTab(ActiveTabIndex(), 1);
    }
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), paint.DC(), true);
    ::PaintControls(paint.DC(), this, false, TPoint{0, 0});
    sd->BGChanged = false;
    SetParentUpdated(this);
}

// --- Input -----------------------------------------------------------------------------------

void TsCustomTabControl::WMLButtonDown(TMessage& Message)
{
    const auto& m = MessageAs<TWMMouse>(Message);
    if (OnMouseDown)
        OnMouseDown(this, mbLeft, TShiftState{}, m.XPos, m.YPos);
    const int i = IndexOfSkinTab(m.XPos, m.YPos);
    if (i > -1 && i != TabIndex() && CanChange())
        SetTabIndex(i);
    if (!Focused() && TabStop() && CanFocus())
        SetFocus();
}

void TsCustomTabControl::WMKeyDown(TMessage& Message)
{
    // Some native controls move the selection by a key even when its change was refused: it is
    // put back (and the change was not reported).
    const int before = HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)) : -1;
    {
        TFlagUp inKey(FInKey);
        inherited::Dispatch(Message);
    }
    if (FKeyRefused) {
        FKeyRefused = false;
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(before), 0);
    }
    const bool shifted =
        (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
    if (!OwnCalc() || Tabs()->Count() == 0 || shifted)
        return;
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const TRect r = SkinTabRect(ActualIndex(TabIndex()));
    const TPoint p{r.left + WidthOf(r) / 2, r.top + HeightOf(r) / 2};
    const int current = TabIndex();
    int next = current;
    switch (Message.WParam) {
    case VK_END: next = Tabs()->Count() - 1; break;
    case VK_HOME:
        next = 0;
        Message.Result = 1;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!sides)
            next = FindNextTab(current, Message.WParam == VK_RIGHT);
        else if (RowCount() > 1)
            next = IndexOfSkinTab(Message.WParam == VK_LEFT ? p.x - WidthOf(r) : p.x + WidthOf(r), p.y);
        break;
    case VK_UP:
    case VK_DOWN:
        if (!sides) {
            if (RowCount() > 1)
                next = IndexOfSkinTab(p.x, Message.WParam == VK_UP ? p.y - HeightOf(r) : p.y + HeightOf(r));
        } else {
            next = FindNextTab(current, Message.WParam == VK_DOWN);
        }
        break;
    default: return;
    }
    if (next >= 0 && next != current && CanChange())
        SetTabIndex(next);
}

void TsCustomTabControl::CNNotify(TMessage& Message)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        // The own layout keeps its selection: the native control never changes it by itself.
        Message.Result = OwnCalc() || !CanChange() ? 1 : 0;
        FKeyRefused = FKeyRefused || (FInKey && Message.Result == 1);
        return;
    }
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
        if (FKeyRefused)
            return;
        Message.Result = 0;
        FTabIndex = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
        Change();
        return;
    }
    inherited::Dispatch(Message);
}

void TsCustomTabControl::CMDialogChar(TMessage& Message)
{
    const auto key = static_cast<Word>(Message.WParam);
    for (int i = 0; i < Tabs()->Count(); ++i) {
        if (!IsAccel(key, Tabs()->Strings(i)) || !CanShowTab(i) || !CanFocus())
            continue;
        Message.Result = 1;
        if (i != TabIndex() && CanChange())
            SetTabIndex(i);
        return;
    }
    inherited::Dispatch(Message);
}

void TsCustomTabControl::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const int saved = SaveDC(dis->hDC);
    {
        TLentCanvas lent(FCanvas.get(), dis->hDC);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(Color());
        DrawTab(static_cast<int>(dis->itemID), dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
    }
    RestoreDC(dis->hDC, saved);
    Message.Result = TRUE;
}

// --- Size, arrows and the window procedure ---------------------------------------------------

int TsCustomTabControl::FirstShownTab()
{
    const int count = Tabs()->Count();
    for (int i = 0; i < count; ++i)
        if (TabRect(i).left > 0)
            return i;
    return count;
}

int TsCustomTabControl::GetInVisibleItemCount()
{
    if (!SkinData()->Skinned())
        return 0;
    const int limit = Width() - 3 - FArrows.Width();
    int n = 0;
    for (int i = 0; i < static_cast<int>(FTabsArray.size()); ++i) {
        if (!TabVisible(FTabsArray[static_cast<std::size_t>(i)].Index))
            continue;
        const TRect r = SkinTabRect(i);
        if (!IsRectEmpty(&r) && (r.right > limit || r.right <= 4))
            ++n;
    }
    return n;
}

void TsCustomTabControl::CheckUpDown()
{
    if (ComponentState().Contains(csLoading) || ControlState().Contains(csCreating) || !HandleAllocated())
        return;
    if (!SkinData()->Skinned()) {
        FArrows.Free();
        return;
    }
    DestroyNativeArrows(this);
    const int hidden = FTabPosition == tpLeft || FTabPosition == tpRight ? 0 : GetInVisibleItemCount();
    if (hidden >= 1 && !FMultiLine)
        FArrows.Check(hidden, FirstShownTab(), FTabPosition == tpBottom);
    else
        FArrows.Free();
}

void TsCustomTabControl::SizeChanged()
{
    if (FInSize)
        return;
    {
        TFlagUp inSize(FInSize);
        TFlagUp lock(FLockPaint);
        if (!ComponentState().Contains(csReading) && !ComponentState().Contains(csLoading))
            FillTabs();
    }
    TsCommonData* sd = SkinData();
    const bool creating = ControlState().Contains(csCreating);
    if (sd->Skinned() && !creating &&
        !(sd->FCacheBmp && sd->FCacheBmp->Width() == Width() && sd->FCacheBmp->Height() == Height()))
        sd->BGChanged = true;
    if (!creating && ActiveTabIndex() > -1)
        CheckUpDown();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void TsCustomTabControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case WM_KEYDOWN: WMKeyDown(Message); return;
    case WM_NOTIFYFORMAT:
        Message.Result = DefWindowProcA(Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (OwnCalc()) {
            WMLButtonDown(Message);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (OwnCalc()) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_NCPAINT:
        if (OwnCalc())
            return;
        break;
    case WM_HSCROLL:
        inherited::Dispatch(Message);
        SkinData()->Invalidate();
        return;
    case CM_FONTCHANGED:
        inherited::Dispatch(Message);
        if (OwnCalc()) {
            Repaint();
            Perform(WM_NCPAINT, 0, 0);
        }
        return;
    case CM_SYSCOLORCHANGE:
        inherited::Dispatch(Message);
        if (!ComponentState().Contains(csLoading) && HandleAllocated()) {
            TMessage native = MakeMessage(WM_SYSCOLORCHANGE, Message.WParam, Message.LParam);
            DefaultHandler(native);
        }
        return;
    case CM_TABSTOPCHANGED: RecreateWnd(); return;
    default: break;
    }
    inherited::Dispatch(Message);
}

void TsCustomTabControl::WndProc(TMessage& Message)
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
            FTabsArray.clear();
            CheckUpDown();
            // The native window lays out and selects again: it is made anew, keeping tabs and index.
            RecreateWnd();
            SkinBroadCast(this, Message);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Repaint();
            if (HandleAllocated())
                RepaintFrame(Handle());
            CheckUpDown();
            if (UpDown())
                UpDown()->Repaint();
            SkinBroadCast(this, Message);
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (CommonWndProc(Message, sd))
        return;
    const bool skinned = sSkinData->Active && sd->Skinned();
    const bool settled = !ComponentState().Contains(csReading) && !ComponentState().Contains(csLoading);
    if (skinned && Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED && sd->Updating) {
        sd->Updating = false;
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    if (skinned) {
        switch (Message.Msg) {
        case WM_PAINT:
            if (FLockPaint)
                return;
            if (Parent() && !Parent()->ComponentState().Contains(csDestroying) && settled &&
                ResolveTabBody(sd, FTabPosition, FBodySection)) {
                WMPaint(Message);
                return;
            }
            break;
        case CM_VISIBLECHANGED:
        case WM_MOUSEWHEEL:
            if (settled) {
                sd->BGChanged = true;
                Repaint();
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case CM_ENTER:
        case CM_EXIT:
            if (TabStop()) {
                sd->Focused = Message.Msg == CM_ENTER || Message.Msg == WM_SETFOCUS;
                sd->MouseAbove = false;
                sd->BGChanged = true;
                if (settled && !ControlState().Contains(csCreating)) {
                    inherited::WndProc(Message);
                    Repaint();
                    return;
                }
            }
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (!sd->Focused)
                sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
            break;
        default: break;
        }
    } else if (Message.Msg == WM_PAINT && FLockPaint) {
        return;
    }
    inherited::WndProc(Message);
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
        if (!(reinterpret_cast<const WINDOWPOS*>(Message.LParam)->flags & SWP_NOSIZE))
            SizeChanged();
        break;
    case WM_MOVE:
        if (skinned && settled)
            Repaint();
        break;
    default: break;
    }
}
