#include "ComCtrlsBars.h"

#include "Menus.h"

void InitComCtl(DWORD Classes)
{
    static DWORD done = 0;
    if ((done & Classes) == Classes)
        return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), Classes};
    if (InitCommonControlsEx(&icc))
        done |= Classes;
}

TCustomDrawState CustomDrawStateFromFlags(UINT ItemState)
{
    TCustomDrawState s;
    if (ItemState & CDIS_SELECTED)
        s.Include(cdsSelected);
    if (ItemState & CDIS_GRAYED)
        s.Include(cdsGrayed);
    if (ItemState & CDIS_DISABLED)
        s.Include(cdsDisabled);
    if (ItemState & CDIS_CHECKED)
        s.Include(cdsChecked);
    if (ItemState & CDIS_FOCUS)
        s.Include(cdsFocused);
    if (ItemState & CDIS_DEFAULT)
        s.Include(cdsDefault);
    if (ItemState & CDIS_HOT)
        s.Include(cdsHot);
    if (ItemState & CDIS_MARKED)
        s.Include(cdsMarked);
    if (ItemState & CDIS_INDETERMINATE)
        s.Include(cdsIndeterminate);
    return s;
}

namespace {

// A canvas lent a device context for the length of one handler call.
class TBorrowedDC {
public:
    TBorrowedDC(TCanvas* Canvas, HDC DC, TFont* Font) : FCanvas(Canvas)
    {
        FCanvas->Lock();
        FSaved = SaveDC(DC);
        FCanvas->SetHandle(DC);
        if (Font)
            FCanvas->Font()->Assign(Font);
        FDC = DC;
    }
    ~TBorrowedDC()
    {
        FCanvas->SetHandle(nullptr);
        RestoreDC(FDC, FSaved);
        FCanvas->Unlock();
    }
    TBorrowedDC(const TBorrowedDC&) = delete;
    TBorrowedDC& operator=(const TBorrowedDC&) = delete;

private:
    TCanvas* FCanvas;
    HDC FDC = nullptr;
    int FSaved = 0;
};

LRESULT Send(TWinControl* Control, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
{
    return SendMessageA(Control->Handle(), Msg, WParam, LParam);
}

} // namespace

// --- TProgressBar -----------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_PROGRESS_CLASS);
    inherited::CreateParams(Params);
    CreateSubClass(Params, PROGRESS_CLASSA);
    if (FSmooth)
        Params.Style |= PBS_SMOOTH;
    if (FOrientation == pbVertical)
        Params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd()
{
    inherited::CreateWnd();
    Send(this, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
    Send(this, PBM_SETSTEP, static_cast<WPARAM>(FStep));
    Send(this, PBM_SETPOS, static_cast<WPARAM>(FPosition));
}

void TProgressBar::DestroyWnd()
{
    FPosition = static_cast<int>(Send(this, PBM_GETPOS));
    inherited::DestroyWnd();
}

void TProgressBar::SetRange(int AMin, int AMax)
{
    if (AMax < AMin)
        throw EInvalidOperation("Progress bar maximum below its minimum");
    FMin = AMin;
    FMax = AMax;
    FPosition = std::clamp(FPosition, FMin, FMax);
    if (HandleAllocated()) {
        Send(this, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
        Send(this, PBM_SETPOS, static_cast<WPARAM>(FPosition));
    }
}

int TProgressBar::Position()
{
    if (HandleAllocated())
        FPosition = static_cast<int>(Send(this, PBM_GETPOS));
    return FPosition;
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        Send(this, PBM_SETPOS, static_cast<WPARAM>(FPosition));
}

void TProgressBar::SetStep(int Value)
{
    FStep = Value;
    if (HandleAllocated())
        Send(this, PBM_SETSTEP, static_cast<WPARAM>(FStep));
}

void TProgressBar::StepIt()
{
    long long pos = static_cast<long long>(Position()) + FStep;
    const long long span = static_cast<long long>(FMax) - FMin;
    if (pos > FMax)
        pos = span > 0 ? FMin + (pos - FMin) % span : FMin;
    else if (pos < FMin)
        pos = span > 0 ? FMax - (FMin - pos) % span : FMin;
    SetPosition(static_cast<int>(pos));
}

void TProgressBar::SetSmooth(bool Value)
{
    if (FSmooth == Value)
        return;
    FSmooth = Value;
    RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

// --- TStatusPanel / TStatusPanels ---------------------------------------------------------------

int TStatusPanel::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

void TStatusPanel::Changed(bool AllPanels)
{
    if (FOwner)
        FOwner->Changed(Index(), AllPanels);
}

void TStatusPanel::SetWidth(int Value)
{
    if (FWidth == Value)
        return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetText(const AnsiString& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (FBevel == Value)
        return;
    FBevel = Value;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source)
{
    auto* p = dynamic_cast<TStatusPanel*>(Source);
    if (!p) {
        inherited::Assign(Source);
        return;
    }
    FWidth = p->FWidth;
    FText = p->FText;
    FStyle = p->FStyle;
    FAlignment = p->FAlignment;
    FBevel = p->FBevel;
    Changed(true);
}

TStatusPanel* TStatusPanels::Add() { return Insert(Count()); }

TStatusPanel* TStatusPanels::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("Status panel index out of range (" + std::to_string(Index) + ")");
    auto panel = std::make_unique<TStatusPanel>(this);
    TStatusPanel* result = panel.get();
    FItems.insert(FItems.begin() + Index, std::move(panel));
    Changed(-1, true);
    return result;
}

void TStatusPanels::Delete(int Index)
{
    Items(Index);
    FItems.erase(FItems.begin() + Index);
    Changed(-1, true);
}

void TStatusPanels::Clear()
{
    FItems.clear();
    Changed(-1, true);
}

TStatusPanel* TStatusPanels::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Status panel index out of range (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)].get();
}

int TStatusPanels::IndexOf(const TStatusPanel* Panel) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Panel)
            return static_cast<int>(i);
    return -1;
}

void TStatusPanels::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed(-1, true);
}

void TStatusPanels::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TStatusPanels*>(Source);
    if (!other) {
        inherited::Assign(Source);
        return;
    }
    BeginUpdate();
    FItems.clear();
    for (int i = 0; i < other->Count(); ++i)
        Add()->Assign(other->Items(i));
    EndUpdate();
}

void TStatusPanels::Changed(int Index, bool AllPanels)
{
    if (FUpdateCount > 0 || !FStatusBar)
        return;
    if (AllPanels || Index < 0)
        FStatusBar->UpdatePanels();
    else
        FStatusBar->UpdatePanel(Index);
}

// --- TStatusBar -------------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->Control = this;
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque, csAcceptsControls});
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() { FCanvas->FreeHandle(); }

void TStatusBar::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_BAR_CLASSES);
    inherited::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAMEA);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    if (FSizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TStatusBar::CreateWnd()
{
    inherited::CreateWnd();
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (FSimplePanel == Value)
        return;
    FSimplePanel = Value;
    if (HandleAllocated()) {
        Send(this, SB_SIMPLE, FSimplePanel ? TRUE : FALSE);
        UpdateSimpleText();
    }
}

void TStatusBar::SetSimpleText(const AnsiString& Value)
{
    if (FSimpleText == Value)
        return;
    FSimpleText = Value;
    UpdateSimpleText();
}

void TStatusBar::UpdateSimpleText()
{
    if (HandleAllocated() && FSimplePanel)
        Send(this, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    RecreateWnd();
}

void TStatusBar::UpdatePanels()
{
    if (!HandleAllocated())
        return;
    const int n = FPanels->Count();
    std::vector<int> edges;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        x += FPanels->Items(i)->Width();
        edges.push_back(i == n - 1 ? -1 : x);
    }
    if (edges.empty())
        edges.push_back(-1);
    Send(this, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    if (n == 0)
        Send(this, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    for (int i = 0; i < n; ++i)
        UpdatePanel(i);
    Send(this, SB_SIMPLE, FSimplePanel ? TRUE : FALSE);
    UpdateSimpleText();
}

void TStatusBar::UpdatePanel(int Index)
{
    if (!HandleAllocated() || Index < 0 || Index >= FPanels->Count())
        return;
    TStatusPanel* p = FPanels->Items(Index);
    WPARAM flags = static_cast<WPARAM>(Index);
    if (p->Style() == psOwnerDraw)
        flags |= SBT_OWNERDRAW;
    if (p->Bevel() == pbNone)
        flags |= SBT_NOBORDERS;
    else if (p->Bevel() == pbRaised)
        flags |= SBT_POPOUT;
    // A tab before the text centres it, two tabs align it right.
    AnsiString text = p->Text();
    if (p->Alignment() == taCenter)
        text = "\t" + text;
    else if (p->Alignment() == taRightJustify)
        text = "\t\t" + text;
    Send(this, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

TRect TStatusBar::PanelRect(int Index)
{
    TRect r{};
    if (HandleAllocated())
        Send(this, SB_GETRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel) {
        OnDrawPanel(this, Panel, Rect);
        return;
    }
    FCanvas->Brush()->SetColor(Color());
    FCanvas->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        int index = static_cast<int>(dis->itemID);
        if (index >= 0 && index < FPanels->Count()) {
            TBorrowedDC borrow(FCanvas.get(), dis->hDC, Font());
            FCanvas->Brush()->SetColor(Color());
            DrawPanel(FPanels->Items(index), dis->rcItem);
        }
        Message.Result = TRUE;
        return;
    }
    case WM_SIZE:
        inherited::Dispatch(Message);
        if (HandleAllocated())
            InvalidateRect(Handle(), nullptr, TRUE); // the grip and the last panel follow the width
        return;
    default: inherited::Dispatch(Message);
    }
}

// --- TToolButton ------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csClickEvents});
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton()
{
    if (FMenuItem)
        FMenuItem->RemoveFreeNotification(this);
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
}

int TToolButton::Index() const { return FToolBar ? FToolBar->IndexOfItem(this) : -1; }

void TToolButton::SetParent(TWinControl* AParent)
{
    inherited::SetParent(AParent);
    if (!dynamic_cast<TToolBar*>(AParent))
        FToolBar = nullptr;
}

void TToolButton::Changed(bool Rebuild)
{
    if (!FToolBar || FUpdating)
        return;
    if (Rebuild)
        FToolBar->RecreateButtons();
    else
        FToolBar->UpdateButtonState(Index());
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if ((Value == tbsSeparator || Value == tbsDivider) && Width() == 23)
        SetBounds(Left(), Top(), 8, Height());
    Changed(true);
}

void TToolButton::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed(false);
}

void TToolButton::SetDown(bool Value)
{
    if (FDown == Value)
        return;
    FDown = Value;
    if (Value && FGrouped && FStyle == tbsCheck && FToolBar) {
        // Only one button of a group of adjacent grouped check buttons is down.
        const int me = Index();
        auto release = [&](int i) {
            auto* b = dynamic_cast<TToolButton*>(FToolBar->Items(i));
            if (!b || !b->FGrouped || b->FStyle != tbsCheck)
                return false;
            if (b->FDown) {
                b->FDown = false;
                FToolBar->UpdateButtonState(i);
            }
            return true;
        };
        for (int i = me - 1; i >= 0 && release(i); --i) {
        }
        for (int i = me + 1; i < FToolBar->ItemCount() && release(i); ++i) {
        }
    }
    Changed(false);
}

void TToolButton::SetGrouped(bool Value)
{
    if (FGrouped == Value)
        return;
    FGrouped = Value;
    Changed(true);
}

void TToolButton::SetWrap(bool Value)
{
    if (FWrap == Value)
        return;
    FWrap = Value;
    Changed(false);
}

void TToolButton::SetIndeterminate(bool Value)
{
    if (FIndeterminate == Value)
        return;
    FIndeterminate = Value;
    Changed(false);
}

void TToolButton::SetMarked(bool Value)
{
    if (FMarked == Value)
        return;
    FMarked = Value;
    Changed(false);
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value)
{
    if (FDropdownMenu == Value)
        return;
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TToolButton::SetMenuItem(TMenuItem* Value)
{
    if (FMenuItem == Value)
        return;
    if (FMenuItem)
        FMenuItem->RemoveFreeNotification(this);
    FMenuItem = Value;
    if (Value)
        Value->FreeNotification(this);
    UpdateFromMenuItem();
}

void TToolButton::UpdateFromMenuItem()
{
    if (!FMenuItem)
        return;
    bool rebuild = false;
    bool state = false;
    FUpdating = true;
    try {
        if (Caption() != FMenuItem->Caption()) {
            SetCaption(FMenuItem->Caption());
            rebuild = true;
        }
        if (Enabled() != FMenuItem->Enabled()) {
            SetEnabled(FMenuItem->Enabled());
            state = true;
        }
        if (FMenuItem->ImageIndex() >= 0 && FImageIndex != FMenuItem->ImageIndex()) {
            FImageIndex = FMenuItem->ImageIndex();
            state = true;
        }
        if (Hint().empty() && !FMenuItem->Hint.empty())
            SetHint(FMenuItem->Hint);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    if (rebuild)
        Changed(true);
    else if (state)
        Changed(false);
}

void TToolButton::Click()
{
    if (!OnClick && FMenuItem) {
        FMenuItem->Click();
        return;
    }
    inherited::Click();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMenuItem)
        FMenuItem = nullptr;
    if (AComponent == FDropdownMenu)
        FDropdownMenu = nullptr;
}

void TToolButton::Paint()
{
    // The system bar draws the button; without a bar a plain outline shows where it is.
    if (FToolBar)
        return;
    TRect r = ClientRect();
    DrawEdge(Canvas()->Handle(), &r, EDGE_RAISED, BF_RECT);
}

void TToolButton::WndProc(TMessage& Message)
{
    // The mouse over a button belongs to the system bar, which presses, tracks and clicks it;
    // the button only takes part in hint tracking, so that its own hint shows.
    if (FToolBar && Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
        FToolBar->HandleAllocated()) {
        if (Message.Msg == WM_MOUSEMOVE && HintMouseMessageHook)
            HintMouseMessageHook(this, Message);
        const int x = static_cast<short>(LOWORD(Message.LParam)) + Left();
        const int y = static_cast<short>(HIWORD(Message.LParam)) + Top();
        TMessage m = Message;
        m.LParam = MAKELPARAM(x, y);
        FToolBar->DefaultHandler(m);
        // Answered: the bar's window must not pass it to the default procedure a second time
        // (a right-button release would ask for the context menu twice).
        Message.Result = 1;
        return;
    }
    inherited::WndProc(Message);
}

void TToolButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        Changed(true);
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        inherited::Dispatch(Message);
        Changed(false);
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

// --- TToolBar ---------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->Control = this;
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents,
                                  csSetCaption});
    SetColor(clBtnFace);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
    for (auto& link : FImageLinks) {
        link = std::make_unique<TChangeLink>();
        link->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
    }
}

TToolBar::~TToolBar()
{
    FCanvas->FreeHandle();
    for (TControl* c : FItems)
        if (auto* b = dynamic_cast<TToolButton*>(c))
            b->FToolBar = nullptr;
    FItems.clear();
}

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (TControl* c : FItems)
        if (dynamic_cast<TToolButton*>(c))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int Index) const
{
    int n = 0;
    for (TControl* c : FItems)
        if (auto* b = dynamic_cast<TToolButton*>(c))
            if (n++ == Index)
                return b;
    throw EListError("Tool button index out of range (" + std::to_string(Index) + ")");
}

int TToolBar::IndexOfItem(const TControl* Control) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == Control)
            return static_cast<int>(i);
    return -1;
}

void TToolBar::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_BAR_CLASSES);
    inherited::CreateParams(Params);
    CreateSubClass(Params, TOOLBARCLASSNAMEA);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
    if (FFlat)
        Params.Style |= TBSTYLE_FLAT;
    if (FList)
        Params.Style |= TBSTYLE_LIST;
    if (FWrapable)
        Params.Style |= TBSTYLE_WRAPABLE;
}

void TToolBar::CreateWnd()
{
    inherited::CreateWnd();
    Send(this, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    Send(this, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    Send(this, TB_SETINDENT, static_cast<WPARAM>(FIndent));
    UpdateImages();
    RecreateButtons();
}

void TToolBar::UpdateImages()
{
    if (!HandleAllocated())
        return;
    auto h = [](TCustomImageList* l) { return reinterpret_cast<LPARAM>(l ? l->Handle() : nullptr); };
    Send(this, TB_SETIMAGELIST, 0, h(FImages));
    Send(this, TB_SETHOTIMAGELIST, 0, h(FHotImages));
    Send(this, TB_SETDISABLEDIMAGELIST, 0, h(FDisabledImages));
}

void TToolBar::ImageListChange(TObject*)
{
    UpdateImages();
    RecreateButtons();
}

void TToolBar::SetImageList(TCustomImageList*& Field, TCustomImageList* Value)
{
    if (Field == Value)
        return;
    const size_t slot = &Field == &FImages ? 0 : &Field == &FHotImages ? 1 : 2;
    if (Field) {
        Field->UnRegisterChanges(FImageLinks[slot].get());
        if (Field != FImages && Field != FHotImages && Field != FDisabledImages)
            Field->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Value) {
        Value->RegisterChanges(FImageLinks[slot].get());
        Value->FreeNotification(this);
    }
    ImageListChange(this);
}

void TToolBar::SetImages(TCustomImageList* Value) { SetImageList(FImages, Value); }
void TToolBar::SetHotImages(TCustomImageList* Value) { SetImageList(FHotImages, Value); }
void TToolBar::SetDisabledImages(TCustomImageList* Value) { SetImageList(FDisabledImages, Value); }

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    bool changed = false;
    for (TCustomImageList** f : {&FImages, &FHotImages, &FDisabledImages})
        if (*f == AComponent) {
            *f = nullptr;
            changed = true;
        }
    if (changed && !ComponentState().Contains(csDestroying))
        ImageListChange(this);
}

void TToolBar::SetShowCaptions(bool Value)
{
    if (FShowCaptions == Value)
        return;
    FShowCaptions = Value;
    RecreateWnd();
}

void TToolBar::SetList(bool Value)
{
    if (FList == Value)
        return;
    FList = Value;
    RecreateWnd();
}

void TToolBar::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    RecreateWnd();
}

void TToolBar::SetWrapable(bool Value)
{
    if (FWrapable == Value)
        return;
    FWrapable = Value;
    RecreateWnd();
}

void TToolBar::SetButtonWidth(int Value)
{
    if (FButtonWidth == Value)
        return;
    FButtonWidth = Value;
    RecreateButtons();
}

void TToolBar::SetButtonHeight(int Value)
{
    if (FButtonHeight == Value)
        return;
    FButtonHeight = Value;
    RecreateButtons();
}

void TToolBar::SetIndent(int Value)
{
    if (FIndent == Value)
        return;
    FIndent = Value;
    if (HandleAllocated())
        Send(this, TB_SETINDENT, static_cast<WPARAM>(FIndent));
    RecreateButtons();
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value)
{
    FEdgeBorders = Value;
    RecreateWnd();
}

void TToolBar::SetEdgeInner(TEdgeStyle Value)
{
    FEdgeInner = Value;
    RecreateWnd();
}

void TToolBar::SetEdgeOuter(TEdgeStyle Value)
{
    FEdgeOuter = Value;
    RecreateWnd();
}

void TToolBar::InsertItem(TControl* Control)
{
    if (IndexOfItem(Control) >= 0)
        return;
    FItems.push_back(Control);
    if (auto* b = dynamic_cast<TToolButton*>(Control)) {
        b->FToolBar = this;
        b->UpdateFromMenuItem();
    }
    RecreateButtons();
}

void TToolBar::RemoveItem(TControl* Control)
{
    int i = IndexOfItem(Control);
    if (i < 0)
        return;
    FItems.erase(FItems.begin() + i);
    if (auto* b = dynamic_cast<TToolButton*>(Control))
        b->FToolBar = nullptr;
    if (!ComponentState().Contains(csDestroying))
        RecreateButtons();
}

void TToolBar::RecreateButtons()
{
    if (!HandleAllocated() || FRebuilding)
        return;
    FRebuilding = true;
    try {
        while (Send(this, TB_BUTTONCOUNT) > 0)
            Send(this, TB_DELETEBUTTON, 0);
        int iw = FImages ? FImages->Width() : 0;
        int ih = FImages ? FImages->Height() : 0;
        Send(this, TB_SETBITMAPSIZE, 0, MAKELONG(iw, ih));
        std::vector<AnsiString> captions(FItems.size());
        for (size_t i = 0; i < FItems.size(); ++i) {
            TControl* c = FItems[i];
            TBBUTTON b{};
            b.idCommand = static_cast<int>(i);
            b.dwData = reinterpret_cast<DWORD_PTR>(c);
            b.iString = -1;
            b.fsState = 0;
            if (c->Enabled())
                b.fsState |= TBSTATE_ENABLED;
            if (!c->Visible())
                b.fsState |= TBSTATE_HIDDEN;
            if (auto* btn = dynamic_cast<TToolButton*>(c)) {
                switch (btn->FStyle) {
                case tbsButton: b.fsStyle = BTNS_BUTTON; break;
                case tbsCheck: b.fsStyle = BTNS_CHECK | (btn->FGrouped ? BTNS_GROUP : 0); break;
                case tbsDropDown: b.fsStyle = BTNS_DROPDOWN; break;
                case tbsSeparator:
                case tbsDivider: b.fsStyle = BTNS_SEP; break;
                }
                if (btn->FDown)
                    b.fsState |= TBSTATE_CHECKED;
                if (btn->FWrap)
                    b.fsState |= TBSTATE_WRAP;
                if (btn->FIndeterminate)
                    b.fsState |= TBSTATE_INDETERMINATE;
                if (btn->FMarked)
                    b.fsState |= TBSTATE_MARKED;
                if (b.fsStyle == BTNS_SEP) {
                    b.iBitmap = btn->Width();
                } else {
                    b.iBitmap = btn->FImageIndex >= 0 ? btn->FImageIndex : I_IMAGENONE;
                    captions[i] = btn->Caption();
                    if (FShowCaptions && !captions[i].empty())
                        b.iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
                }
            } else {
                // A hosted windowed control sits over a separator of its width.
                b.fsStyle = BTNS_SEP;
                b.iBitmap = c->Width();
            }
            Send(this, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
        }
        Send(this, TB_SETBUTTONSIZE, 0, MAKELONG(FButtonWidth, FButtonHeight));
        Send(this, TB_AUTOSIZE);
    } catch (...) {
        FRebuilding = false;
        throw;
    }
    FRebuilding = false;
    PlaceItems();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TToolBar::UpdateButtonState(int Index)
{
    if (!HandleAllocated() || FRebuilding || Index < 0 || Index >= ItemCount())
        return;
    TControl* c = FItems[static_cast<size_t>(Index)];
    BYTE state = 0;
    if (c->Enabled())
        state |= TBSTATE_ENABLED;
    if (!c->Visible())
        state |= TBSTATE_HIDDEN;
    if (auto* btn = dynamic_cast<TToolButton*>(c)) {
        if (btn->FDown)
            state |= TBSTATE_CHECKED;
        if (btn->FWrap)
            state |= TBSTATE_WRAP;
        if (btn->FIndeterminate)
            state |= TBSTATE_INDETERMINATE;
        if (btn->FMarked)
            state |= TBSTATE_MARKED;
        if (btn->FStyle != tbsSeparator && btn->FStyle != tbsDivider)
            Send(this, TB_CHANGEBITMAP, static_cast<WPARAM>(Index),
                 btn->FImageIndex >= 0 ? btn->FImageIndex : I_IMAGENONE);
    }
    Send(this, TB_SETSTATE, static_cast<WPARAM>(Index), MAKELONG(state, 0));
    PlaceItems();
}

TRect TToolBar::ButtonRect(int Index)
{
    TRect r{};
    if (HandleAllocated())
        Send(this, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TToolBar::PlaceItems()
{
    if (!HandleAllocated() || FPlacing)
        return;
    FPlacing = true;
    try {
        for (size_t i = 0; i < FItems.size(); ++i) {
            TControl* c = FItems[i];
            TRect r{};
            if (!Send(this, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
                continue;
            if (dynamic_cast<TToolButton*>(c)) {
                c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
            } else {
                int top = static_cast<int>(r.top) + std::max(0, static_cast<int>(r.bottom - r.top) - c->Height()) / 2;
                c->SetBounds(r.left, top, c->Width(), c->Height());
            }
        }
    } catch (...) {
        FPlacing = false;
        throw;
    }
    FPlacing = false;
}

void TToolBar::AlignControls(TControl*, TRect&)
{
    // The system bar lays the items out; the controls follow its button rectangles. A hosted
    // control that changed its width or visibility needs a new placeholder first.
    if (HandleAllocated() && !FRebuilding && !FPlacing) {
        for (size_t i = 0; i < FItems.size(); ++i) {
            TControl* c = FItems[i];
            if (dynamic_cast<TToolButton*>(c))
                continue;
            TBBUTTON b{};
            if (!Send(this, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)))
                continue;
            const bool hidden = (b.fsState & TBSTATE_HIDDEN) != 0;
            if (b.iBitmap != c->Width() || hidden == c->Visible()) {
                RecreateButtons();
                return;
            }
        }
    }
    PlaceItems();
}

void TToolBar::UpdateMenuItems()
{
    for (TControl* c : std::vector<TControl*>(FItems))
        if (auto* b = dynamic_cast<TToolButton*>(c))
            b->UpdateFromMenuItem();
}

void TToolBar::SyncDownStates()
{
    if (!HandleAllocated())
        return;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(FItems[i]))
            if (b->FStyle == tbsCheck)
                b->FDown = Send(this, TB_ISBUTTONCHECKED, i) != 0;
}

void TToolBar::CNCommand(TMessage& Message)
{
    const int id = LOWORD(Message.WParam);
    Message.Result = 0;
    if (id < 0 || id >= ItemCount())
        return;
    SyncDownStates();
    if (auto* b = dynamic_cast<TToolButton*>(FItems[static_cast<size_t>(id)]))
        b->Click();
}

void TToolBar::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (hdr->code) {
    case TBN_DROPDOWN: {
        auto* nm = reinterpret_cast<NMTOOLBARA*>(Message.LParam);
        Message.Result = TBDDRET_NODEFAULT;
        if (nm->iItem < 0 || nm->iItem >= ItemCount())
            return;
        auto* b = dynamic_cast<TToolButton*>(FItems[static_cast<size_t>(nm->iItem)]);
        if (!b || !b->FDropdownMenu)
            return;
        TRect r = ButtonRect(nm->iItem);
        TPoint p = ClientToScreen(TPoint{r.left, r.bottom});
        b->FDropdownMenu->PopupComponent = b;
        b->FDropdownMenu->Popup(p.x, p.y);
        // The menu has closed: the bar hears of it once this notification is over.
        PostMessageA(Handle(), CN_DROPDOWNCLOSED, 0, 0);
        Message.Result = TBDDRET_DEFAULT;
        return;
    }
    case NM_CUSTOMDRAW: {
        auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam);
        const DWORD stage = cd->nmcd.dwDrawStage;
        LRESULT result = CDRF_DODEFAULT;
        if (stage == CDDS_PREPAINT || stage == CDDS_POSTPAINT) {
            if (OnAdvancedCustomDraw) {
                bool defaultDraw = true;
                TBorrowedDC borrow(FCanvas.get(), cd->nmcd.hdc, Font());
                OnAdvancedCustomDraw(this, cd->nmcd.rc, stage == CDDS_PREPAINT ? cdPrePaint : cdPostPaint,
                                     defaultDraw);
                if (!defaultDraw && stage == CDDS_PREPAINT)
                    result = CDRF_SKIPDEFAULT;
            }
            if (stage == CDDS_PREPAINT && result != CDRF_SKIPDEFAULT) {
                if (OnAdvancedCustomDrawButton)
                    result |= CDRF_NOTIFYITEMDRAW;
                if (OnAdvancedCustomDraw)
                    result |= CDRF_NOTIFYPOSTPAINT;
            }
        } else if ((stage == CDDS_ITEMPREPAINT || stage == CDDS_ITEMPOSTPAINT) && OnAdvancedCustomDrawButton) {
            const auto id = static_cast<size_t>(cd->nmcd.dwItemSpec);
            TToolButton* b = id < FItems.size() ? dynamic_cast<TToolButton*>(FItems[id]) : nullptr;
            if (b) {
                bool defaultDraw = true;
                TTBCustomDrawFlags flags;
                TBorrowedDC borrow(FCanvas.get(), cd->nmcd.hdc, Font());
                OnAdvancedCustomDrawButton(this, b, CustomDrawStateFromFlags(cd->nmcd.uItemState),
                                           stage == CDDS_ITEMPREPAINT ? cdPrePaint : cdPostPaint, flags,
                                           defaultDraw);
                if (flags.Contains(tbNoEdges))
                    result |= TBCDRF_NOEDGES;
                if (flags.Contains(tbHiliteHotTrack))
                    result |= TBCDRF_HILITEHOTTRACK;
                if (flags.Contains(tbNoOffset))
                    result |= TBCDRF_NOOFFSET;
                if (flags.Contains(tbNoMark))
                    result |= TBCDRF_NOMARK;
                if (flags.Contains(tbNoEtchedEffect))
                    result |= TBCDRF_NOETCHEDEFFECT;
                if (!defaultDraw)
                    result = CDRF_SKIPDEFAULT;
                else if (stage == CDDS_ITEMPREPAINT)
                    result |= CDRF_NOTIFYPOSTPAINT;
            }
        }
        Message.Result = result;
        return;
    }
    default: break;
    }
}

void TToolBar::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT)
        UpdateMenuItems();
    inherited::WndProc(Message);
}

void TToolBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_CONTROLCHANGE: {
        auto* c = reinterpret_cast<TControl*>(Message.WParam);
        if (Message.LParam)
            InsertItem(c);
        else
            RemoveItem(c);
        return;
    }
    case CN_COMMAND: CNCommand(Message); return;
    case CN_NOTIFY: CNNotify(Message); return;
    case CN_DROPDOWNCLOSED: Message.Result = 0; return; // for descendants; not the system bar's
    case WM_GETDLGCODE:
        // A bar with the focus (a tab stop) moves among its buttons with the arrows itself.
        inherited::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS;
        return;
    case WM_SETFOCUS: {
        // The system bar marks its first item whenever it takes the focus, a separator or a
        // hosted control's place too: the mark stays on the button it was on (the focus back
        // after a box), else it starts on the first button that can be pressed.
        const auto pressable = [this](int Index) {
            TBBUTTON b{};
            return SendMessageA(FHandle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&b)) &&
                   !(b.fsStyle & BTNS_SEP) && (b.fsState & TBSTATE_ENABLED) && !(b.fsState & TBSTATE_HIDDEN);
        };
        int mark = static_cast<int>(SendMessageA(FHandle, TB_GETHOTITEM, 0, 0));
        inherited::Dispatch(Message);
        for (int i = 0; (mark < 0 || !pressable(mark)) && i < ItemCount(); ++i)
            mark = pressable(i) ? i : -1;
        if (mark >= 0 && pressable(mark))
            SendMessageA(FHandle, TB_SETHOTITEM, static_cast<WPARAM>(mark), 0);
        return;
    }
    case CM_BORDERCHANGED: RecreateWnd(); return; // the margin is part of the bar's frame
    case WM_NCCALCSIZE: {
        inherited::Dispatch(Message);
        auto* r = reinterpret_cast<RECT*>(Message.LParam);
        const int edge = (FEdgeInner != esNone ? 1 : 0) + (FEdgeOuter != esNone ? 1 : 0) + FBorderWidth;
        if (FEdgeBorders.Contains(ebLeft))
            r->left += edge;
        if (FEdgeBorders.Contains(ebTop))
            r->top += edge;
        if (FEdgeBorders.Contains(ebRight))
            r->right -= edge;
        if (FEdgeBorders.Contains(ebBottom))
            r->bottom -= edge;
        if (r->right < r->left)
            r->right = r->left;
        if (r->bottom < r->top)
            r->bottom = r->top;
        return;
    }
    case WM_NCPAINT: {
        inherited::Dispatch(Message);
        HDC dc = GetWindowDC(Handle());
        if (!dc)
            return;
        RECT wr;
        GetWindowRect(Handle(), &wr);
        OffsetRect(&wr, -wr.left, -wr.top);
        UINT edge = 0;
        if (FEdgeOuter == esRaised)
            edge |= BDR_RAISEDOUTER;
        else if (FEdgeOuter == esLowered)
            edge |= BDR_SUNKENOUTER;
        if (FEdgeInner == esRaised)
            edge |= BDR_RAISEDINNER;
        else if (FEdgeInner == esLowered)
            edge |= BDR_SUNKENINNER;
        UINT flags = 0;
        if (FEdgeBorders.Contains(ebLeft))
            flags |= BF_LEFT;
        if (FEdgeBorders.Contains(ebTop))
            flags |= BF_TOP;
        if (FEdgeBorders.Contains(ebRight))
            flags |= BF_RIGHT;
        if (FEdgeBorders.Contains(ebBottom))
            flags |= BF_BOTTOM;
        if (edge && flags)
            DrawEdge(dc, &wr, edge, flags);
        ReleaseDC(Handle(), dc);
        return;
    }
    case WM_SIZE:
        inherited::Dispatch(Message);
        if (HandleAllocated() && FWrapable) {
            Send(this, TB_AUTOSIZE);
            PlaceItems();
        }
        return;
    default: inherited::Dispatch(Message);
    }
}

// --- TUpDown ----------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 17, 25);
    SetTabStop(false);
}

void TUpDown::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_UPDOWN_CLASS);
    inherited::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSA);
    Params.Style |= UDS_SETBUDDYINT;
    if (FAssociate)
        Params.Style |= FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
    if (FArrowKeys)
        Params.Style |= UDS_ARROWKEYS;
    if (FWrap)
        Params.Style |= UDS_WRAP;
    if (FOrientation == udHorizontal)
        Params.Style |= UDS_HORZ;
    if (!FThousands)
        Params.Style |= UDS_NOTHOUSANDS;
}

void TUpDown::CreateWnd()
{
    inherited::CreateWnd();
    Send(this, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
    UDACCEL accel{0, static_cast<UINT>(std::max(1, FIncrement))};
    Send(this, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    UpdateAssociate();
    Send(this, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::DestroyWnd()
{
    FPosition = Position();
    inherited::DestroyWnd();
}

void TUpDown::UpdateAssociate()
{
    if (!HandleAllocated())
        return;
    Send(this, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate ? FAssociate->Handle() : nullptr));
}

void TUpDown::SetAssociate(TWinControl* Value)
{
    if (FAssociate == Value)
        return;
    if (Value == this)
        Value = nullptr;
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (Value)
        Value->FreeNotification(this);
    RecreateWnd(); // the alignment style goes with the associate
    if (HandleAllocated())
        UpdateAssociate();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            Send(this, UDM_SETBUDDY, 0);
    }
}

void TUpDown::SetMin(int Value)
{
    FMin = Value;
    if (HandleAllocated())
        Send(this, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

void TUpDown::SetMax(int Value)
{
    FMax = Value;
    if (HandleAllocated())
        Send(this, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

int TUpDown::Position()
{
    if (HandleAllocated()) {
        // With an associate the position is read from its text; an unreadable text keeps ours.
        BOOL error = FALSE;
        int pos = static_cast<int>(
            Send(this, UDM_GETPOS32, 0, FAssociate ? reinterpret_cast<LPARAM>(&error) : 0));
        if (!error)
            FPosition = pos;
    }
    return FPosition;
}

void TUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    if (HandleAllocated())
        Send(this, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetIncrement(int Value)
{
    FIncrement = Value;
    if (HandleAllocated()) {
        UDACCEL accel{0, static_cast<UINT>(std::max(1, FIncrement))};
        Send(this, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }
}

void TUpDown::SetOrientation(TUDOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton Value)
{
    if (FAlignButton == Value)
        return;
    FAlignButton = Value;
    RecreateWnd();
}

void TUpDown::SetWrap(bool Value)
{
    if (FWrap == Value)
        return;
    FWrap = Value;
    RecreateWnd();
}

void TUpDown::SetArrowKeys(bool Value)
{
    if (FArrowKeys == Value)
        return;
    FArrowKeys = Value;
    RecreateWnd();
}

void TUpDown::SetThousands(bool Value)
{
    if (FThousands == Value)
        return;
    FThousands = Value;
    RecreateWnd();
}

bool TUpDown::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TUpDown::ClickButton(TUDBtnType Button)
{
    if (OnClick)
        OnClick(this, Button);
}

void TUpDown::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (hdr->code == UDN_DELTAPOS) {
            auto* nm = reinterpret_cast<NMUPDOWN*>(Message.LParam);
            if (!CanChange()) {
                Message.Result = 1;
                return;
            }
            FLastDelta = nm->iDelta;
            Message.Result = 0;
            return;
        }
        break;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
            Position();
            ClickButton(FLastDelta > 0 ? btNext : btPrev);
        }
        Message.Result = 0;
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}
