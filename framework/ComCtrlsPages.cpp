#include "ComCtrlsPages.h"

#include <algorithm>

namespace {

LRESULT Send(TWinControl* Control, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
{
    return SendMessageA(Control->Handle(), Msg, WParam, LParam);
}

} // namespace

// --- TCustomTabControl ------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FImageLink(this, [this](TObject* Sender) { ImageListChange(Sender); }), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->Control = this;
    SetControlStyle(TControlStyle{csAcceptsControls, csDoubleClicks, csClickEvents, csCaptureMouse});
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
    SetColor(clBtnFace);
}

TCustomTabControl::~TCustomTabControl()
{
    FCanvas->FreeHandle();
}

void TCustomTabControl::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_TAB_CLASSES);
    inherited::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    Params.Style |= WS_CLIPCHILDREN;
    if (FMultiLine)
        Params.Style |= TCS_MULTILINE;
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    }
    if (FStyle == tsButtons)
        Params.Style |= TCS_BUTTONS;
    else if (FStyle == tsFlatButtons)
        Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
    if (FHotTrack)
        Params.Style |= TCS_HOTTRACK;
    if (FOwnerDraw)
        Params.Style |= TCS_OWNERDRAWFIXED;
    if (FTabWidth > 0)
        Params.Style |= TCS_FIXEDWIDTH;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd()
{
    inherited::CreateWnd();
    Send(this, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
    if (FTabWidth > 0 || FTabHeight > 0)
        Send(this, TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
    RebuildTabs();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FImageLink.Removed(AComponent)) {
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            Send(this, TCM_SETIMAGELIST, 0, 0);
    }
}

void TCustomTabControl::ImageListChange(TObject*)
{
    if (HandleAllocated())
        Send(this, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
}

void TCustomTabControl::SetImages(TCustomImageList* Value)
{
    if (!FImageLink.Set(Value))
        return;
    ImageListChange(this);
    Realign();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value)
{
    if (FTabPosition == Value)
        return;
    FTabPosition = Value;
    RecreateWnd();
    Realign();
}

void TCustomTabControl::SetMultiLine(bool Value)
{
    if (FMultiLine == Value)
        return;
    FMultiLine = Value;
    RecreateWnd();
    Realign();
}

void TCustomTabControl::SetStyle(TTabStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
    Realign();
}

void TCustomTabControl::SetHotTrack(bool Value)
{
    if (FHotTrack == Value)
        return;
    FHotTrack = Value;
    RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    RecreateWnd();
}

void TCustomTabControl::SetTabHeight(int Value)
{
    if (FTabHeight == Value)
        return;
    FTabHeight = std::max(0, Value);
    RecreateWnd();
    Realign();
}

void TCustomTabControl::SetTabWidth(int Value)
{
    if (FTabWidth == Value)
        return;
    FTabWidth = std::max(0, Value);
    RecreateWnd();
    Realign();
}

int TCustomTabControl::IndexOfTabAt(int X, int Y)
{
    if (!HandleAllocated())
        return -1;
    TCHITTESTINFO info{};
    info.pt = POINT{X, Y};
    return static_cast<int>(Send(this, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
}

TRect TCustomTabControl::TabRect(int Index)
{
    TRect r{};
    if (HandleAllocated() && Index >= 0)
        Send(this, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

int TCustomTabControl::RowCount()
{
    return HandleAllocated() ? static_cast<int>(Send(this, TCM_GETROWCOUNT)) : 0;
}

TRect TCustomTabControl::DisplayRect()
{
    TRect r = ClientRect();
    AdjustClientRect(r);
    return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect)
{
    if (!HandleAllocated()) {
        inherited::AdjustClientRect(Rect);
        return;
    }
    GetClientRect(Handle(), &Rect);
    Send(this, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Rect));
    if (Rect.right < Rect.left)
        Rect.right = Rect.left;
    if (Rect.bottom < Rect.top)
        Rect.bottom = Rect.top;
}

void TCustomTabControl::InsertNativeTab(int Index, const AnsiString& Caption, int ImageIndex, void* Data)
{
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    AnsiString text = Caption;
    item.pszText = text.data();
    item.iImage = ImageIndex;
    item.lParam = reinterpret_cast<LPARAM>(Data);
    Send(this, TCM_INSERTITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
}

int TCustomTabControl::NativeTabIndex()
{
    return HandleAllocated() ? static_cast<int>(Send(this, TCM_GETCURSEL)) : -1;
}

void TCustomTabControl::SetNativeTabIndex(int Index)
{
    if (HandleAllocated())
        Send(this, TCM_SETCURSEL, static_cast<WPARAM>(Index));
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active)
{
    if (OnDrawTab) {
        OnDrawTab(this, TabIndex, Rect, Active);
        return;
    }
    FCanvas->Brush()->SetColor(Color());
    FCanvas->FillRect(Rect);
}

void TCustomTabControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
            Message.Result = CanChange() ? FALSE : TRUE;
            return;
        }
        if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
            Message.Result = 0;
            Change();
            return;
        }
        break;
    }
    case CN_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        FCanvas->Lock();
        int saved = SaveDC(dis->hDC);
        FCanvas->SetHandle(dis->hDC);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(Color());
        try {
            DrawTab(static_cast<int>(dis->itemID), dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
        } catch (...) {
            FCanvas->SetHandle(nullptr);
            RestoreDC(dis->hDC, saved);
            FCanvas->Unlock();
            throw;
        }
        FCanvas->SetHandle(nullptr);
        RestoreDC(dis->hDC, saved);
        FCanvas->Unlock();
        Message.Result = TRUE;
        return;
    }
    case WM_SIZE:
        inherited::Dispatch(Message);
        Realign(); // the rows of tabs may change with the width
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// --- TTabControl ------------------------------------------------------------------------------

void TTabStrings::Changed()
{
    inherited::Changed();
    if (UpdateCount() == 0 && FControl && FControl->HandleAllocated())
        FControl->RebuildTabs();
}

void TTabStrings::Insert(int Index, const AnsiString& S)
{
    if (FControl && Index >= 0 && Index <= Count() && !Sorted()) {
        const int selected = FControl->TabIndex();
        if (selected >= Index && Count() > 0)
            FControl->FTabIndex = selected + 1;
    }
    inherited::Insert(Index, S);
}

void TTabStrings::Delete(int Index)
{
    if (FControl && Index >= 0 && Index < Count()) {
        const int selected = FControl->TabIndex();
        if (Index < selected)
            FControl->FTabIndex = selected - 1;
    }
    inherited::Delete(Index);
}

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), FTabs(std::make_unique<TTabStrings>(this))
{
}

TTabControl::~TTabControl()
{
    FTabs->Detach(); // the list may report its clearing while it goes
}

void TTabControl::RebuildTabs()
{
    if (!HandleAllocated())
        return;
    Send(this, TCM_DELETEALLITEMS);
    for (int i = 0; i < FTabs->Count(); ++i)
        InsertNativeTab(i, FTabs->Strings(i), i, nullptr);
    if (FTabIndex >= FTabs->Count())
        FTabIndex = FTabs->Count() - 1;
    SetNativeTabIndex(FTabIndex);
    Realign();
}

int TTabControl::TabIndex()
{
    if (HandleAllocated())
        FTabIndex = NativeTabIndex();
    return FTabIndex;
}

void TTabControl::SetTabIndex(int Value)
{
    if (Value < -1 || Value >= FTabs->Count())
        Value = -1;
    FTabIndex = Value;
    SetNativeTabIndex(Value);
}

void TTabControl::Change()
{
    FTabIndex = NativeTabIndex();
    inherited::Change();
}

// --- TTabSheet --------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks});
    SetAlign(alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    // Leaves the parent while the object is still a windowed control, so that the parent drops
    // it from its list of windowed children (and the page control from its pages).
    if (Parent())
        SetParent(nullptr);
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    auto* pc = dynamic_cast<TPageControl*>(AParent);
    if (FPageControl && FPageControl != pc)
        FPageControl->RemovePage(this);
    inherited::SetParent(AParent);
    if (pc && FPageControl != pc)
        pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    auto& pages = FPageControl->FPages;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (FPageControl)
        FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return n;
        if (p->FTabVisible)
            ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->RebuildTabs();
}

void TTabSheet::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    if (FPageControl)
        FPageControl->UpdateTab(this);
}

void TTabSheet::SetHighlighted(bool Value)
{
    if (FHighlighted == Value)
        return;
    FHighlighted = Value;
    int tab = TabIndex();
    if (FPageControl && FPageControl->HandleAllocated() && tab >= 0)
        Send(FPageControl, TCM_HIGHLIGHTITEM, static_cast<WPARAM>(tab), MAKELPARAM(Value ? 1 : 0, 0));
}

void TTabSheet::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TTabSheet::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TTabSheet::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        if (FPageControl)
            FPageControl->UpdateTab(this);
        return;
    case CM_SHOWINGCHANGED: {
        inherited::Dispatch(Message);
        const bool showing = Showing();
        if (showing != FWasShowing) {
            FWasShowing = showing;
            if (showing)
                DoShow();
            else
                DoHide();
        }
        return;
    }
    default: inherited::Dispatch(Message);
    }
}

// --- TPageControl -----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl()
{
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("Page index out of range (" + std::to_string(Index) + ")");
    return FPages[static_cast<size_t>(Index)];
}

TTabSheet* TPageControl::PageForTab(int TabIndex) const
{
    if (TabIndex < 0)
        return nullptr;
    int n = 0;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible && n++ == TabIndex)
            return p;
    return nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    RebuildTabs();
    if (!FActivePage)
        SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    TTabSheet* next = nullptr;
    if (FActivePage == Page) {
        next = FindNextPage(Page, true, true);
        if (next == Page)
            next = nullptr;
    }
    FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
    Page->FPageControl = nullptr;
    if (ComponentState().Contains(csDestroying))
        return;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        RebuildTabs();
        SetActivePage(next);
    } else {
        RebuildTabs();
    }
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    NewIndex = std::clamp(NewIndex, 0, PageCount() - 1);
    FPages.erase(it);
    FPages.insert(FPages.begin() + NewIndex, Page);
    RebuildTabs();
}

void TPageControl::UpdateTab(TTabSheet*) { RebuildTabs(); }

void TPageControl::RebuildTabs()
{
    if (!HandleAllocated())
        return;
    Send(this, TCM_DELETEALLITEMS);
    int n = 0;
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible)
            continue;
        InsertNativeTab(n, p->Caption(), p->FImageIndex, p);
        if (p->FHighlighted)
            Send(this, TCM_HIGHLIGHTITEM, static_cast<WPARAM>(n), MAKELPARAM(1, 0));
        ++n;
    }
    SetNativeTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
    Realign();
}

void TPageControl::ChangeActivePage(TTabSheet* Page)
{
    if (FActivePage == Page)
        return;
    TTabSheet* old = FActivePage;
    HWND focus = GetFocus();
    const bool hadFocus = old && old->HandleAllocated() && focus &&
                          (focus == old->Handle() || IsChild(old->Handle(), focus));
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (old)
        old->SetVisible(false);
    if (hadFocus && CanFocus())
        SetFocus();
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->FPageControl != this)
        return;
    ChangeActivePage(Page);
    SetNativeTabIndex(Page ? Page->TabIndex() : -1);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value)
{
    if (Value >= 0 && Value < PageCount())
        SetActivePage(FPages[static_cast<size_t>(Value)]);
    else
        SetActivePage(nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible)
{
    const int count = PageCount();
    if (count == 0)
        return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurrentPage);
    int start = it == FPages.end() ? (GoForward ? count - 1 : 0) : static_cast<int>(it - FPages.begin());
    int i = start;
    do {
        i = GoForward ? (i + 1) % count : (i - 1 + count) % count;
        TTabSheet* p = FPages[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->FTabVisible)
            return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible)
{
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (page && page != FActivePage && CanChange()) {
        SetNativeTabIndex(page->TabIndex());
        ChangeActivePage(page);
        inherited::Change();
    }
}

void TPageControl::ShowControl(TControl* AControl)
{
    if (auto* p = dynamic_cast<TTabSheet*>(AControl))
        if (p->FPageControl == this)
            SetActivePage(p);
}

void TPageControl::UpdateActivePage()
{
    int tab = NativeTabIndex();
    if (tab >= 0)
        ChangeActivePage(PageForTab(tab));
}

void TPageControl::Change()
{
    UpdateActivePage();
    inherited::Change();
}

void TPageControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) &&
        HandleAllocated() && (GetFocus() == Handle() || IsChild(Handle(), GetFocus()))) {
        SelectNextPage((GetKeyState(VK_SHIFT) & 0x8000) == 0);
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}
