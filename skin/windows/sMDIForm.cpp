#include "sMDIForm.h"

#include <algorithm>

#include "sConst.h"
#include "sMessages.h"
#include "sPanel.h"
#include "sScrollBar.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

int MDIHorzOrigin = 0;
int MDIVertOrigin = 0;
bool MDIScrolling = false;

namespace {

// The client window's edge (WS_EX_CLIENTEDGE), painted from the form's image.
constexpr int ClientEdge = 2;

struct TScrollingGuard {
    TScrollingGuard() { MDIScrolling = true; }
    ~TScrollingGuard() { MDIScrolling = false; }
};

} // namespace

TsMDIForm::TsMDIForm(TsSkinProvider* AProvider) : Provider(AProvider)
{
    MDIHorzOrigin = 0;
    MDIVertOrigin = 0;
    Form = Provider ? Provider->Form() : nullptr;
    if (!Form)
        return;
    if (!ChildIconItem)
        MakeChildIconItem();
    // Otherwise the client is taken over when the form is loaded or painted.
    ConnectToClient();
}

TsMDIForm::~TsMDIForm()
{
    FClient.Release();
    if (!Form || Form->ComponentState().Contains(csDestroying))
        return;
    // The form stays: no item of a gone child-icon owner in its menu, no bars without a handler.
    if (ChildIconItem && ChildIconItem->Parent())
        ChildIconItem->Parent()->Remove(ChildIconItem);
    for (TControl* c : {static_cast<TControl*>(VSBar), static_cast<TControl*>(HSBar), static_cast<TControl*>(Grip)})
        if (c && !c->ComponentState().Contains(csDestroying))
            c->Free();
}

HWND TsMDIForm::Client() { return Form && Form->HandleAllocated() ? Form->ClientHandle() : nullptr; }

void TsMDIForm::ConnectToClient()
{
    const HWND client = Client();
    if (!client || (FClient.Attached() && FClient.Handle() == client))
        return;
    Connected = false;
    // Another taker answers for the client already: it is not taken twice.
    if (SendAMessage(client, AC_ISSKINNED) == 1)
        return;
    FClient.Subclass(client, TWndMethod(this, &TsMDIForm::ClientWndProc));
}

bool TsMDIForm::Skinned()
{
    return Provider && Provider->SkinData()->Skinned() && sSkinData && sSkinData->Active && DrawSkinnedMDIWall &&
           DrawSkinnedMDIScrolls;
}

bool TsMDIForm::ChildMaximized()
{
    TCustomForm* child = Form ? Form->ActiveMDIChild() : nullptr;
    return child && child->HandleAllocated() && ::IsZoomed(child->Handle());
}

// --- The client's window procedure --------------------------------------------------------------

void TsMDIForm::ClientWndProc(TMessage& Message)
{
    if (!Provider) {
        FClient.DefaultHandler(Message);
        return;
    }
    const HWND client = FClient.Handle();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_REMOVESKIN:
            RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
            break;
        case AC_ISSKINNED:
            // Sent as a window message too, where only the result comes back.
            Connected = true;
            Message.LParam = 1;
            Message.Result = 1;
            break;
        default: break;
        }
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (!Skinned())
            break;
        if (!ChildMaximized()) {
            const HDC dc = reinterpret_cast<HDC>(Message.WParam);
            const int saved = SaveDC(dc);
            PaintWall(dc);
            RestoreDC(dc, saved);
        }
        Message.Result = 1;
        return;
    case WM_PAINT: {
        if (!Skinned() || ChildMaximized())
            break;
        const HDC given = reinterpret_cast<HDC>(Message.WParam);
        PAINTSTRUCT ps{};
        BeginPaint(client, &ps);
        const HDC dc = given ? given : GetDC(client);
        const int saved = SaveDC(dc);
        PaintWall(dc);
        RestoreDC(dc, saved);
        if (!given)
            ReleaseDC(client, dc);
        EndPaint(client, &ps);
        Message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (!Skinned())
            break;
        if (!ChildMaximized())
            PaintBorder();
        Message.Result = 0;
        return;
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        FClient.DefaultHandler(Message);
        if (Skinned())
            InvalidateRect(client, nullptr, TRUE);
        return;
    default: break;
    }
    FClient.DefaultHandler(Message);
}

// --- Painting -----------------------------------------------------------------------------------

TRect TsMDIForm::ClientPlace()
{
    const HWND client = Client();
    if (!client)
        return TRect{0, 0, 0, 0};
    RECT f, c;
    GetWindowRect(Form->Handle(), &f);
    GetWindowRect(client, &c);
    return TRect{c.left - f.left, c.top - f.top, c.right - f.left, c.bottom - f.top};
}

int TsMDIForm::Left() { return ClientPlace().left; }
int TsMDIForm::Top() { return ClientPlace().top; }
// The room the form's client area leaves it (the window may reach beyond that room, where it is
// never seen).
int TsMDIForm::Width() { return Form ? Form->ClientWidth() - Offset(alLeft) - Offset(alRight) : 0; }
int TsMDIForm::Height() { return Form ? Form->ClientHeight() - Offset(alTop) - Offset(alBottom) : 0; }

int TsMDIForm::Offset(TAlign Align)
{
    int sum = 0;
    for (int i = 0; Form && i < Form->ControlCount(); ++i) {
        TControl* c = Form->Controls(i);
        if (!c->Visible() || c->Align() != Align)
            continue;
        sum += Align == alTop || Align == alBottom ? c->Height() : c->Width();
    }
    return sum;
}

void TsMDIForm::PaintWall(HDC DC)
{
    TsCommonData* sd = Provider->SkinData();
    const HWND client = Client();
    if (!sd->FCacheBmp || !client)
        return;
    // The client area's origin in the form's window (the cache) and in the form's client area
    // (where the form's children lie).
    POINT origin{0, 0};
    ClientToScreen(client, &origin);
    RECT f;
    GetWindowRect(Form->Handle(), &f);
    POINT inForm = origin;
    ScreenToClient(Form->Handle(), &inForm);
    CopyWinControlCache(Form, sd, TRect{origin.x - f.left, origin.y - f.top, -inForm.x, -inForm.y},
                        TRect{0, 0, Width() - 2 * ClientEdge, Height() - 2 * ClientEdge}, DC, false);
    // The form's graphic controls under the client are part of the wall, at their places in the
    // form.
    POINT org;
    OffsetViewportOrgEx(DC, -inForm.x, -inForm.y, &org);
    PaintControls(DC, Form, true, TPoint{0, 0});
    SetViewportOrgEx(DC, org.x, org.y, nullptr);
    SetParentUpdated(Form);
}

void TsMDIForm::PaintBorder()
{
    TsCommonData* sd = Provider->SkinData();
    const HWND client = Client();
    if (!sd->FCacheBmp || !client)
        return;
    const int l = Left(), t = Top(), w = Width(), h = Height(), e = ClientEdge;
    const HDC dc = GetWindowDC(client);
    const HDC src = sd->FCacheBmp->Canvas()->Handle();
    BitBlt(dc, 0, 0, w, e, src, l, t, SRCCOPY);
    BitBlt(dc, 0, 0, e, h, src, l, t, SRCCOPY);
    BitBlt(dc, 0, h - e, w, e, src, l, t + h - e, SRCCOPY);
    BitBlt(dc, w - e, 0, e, h, src, l + w - e, t, SRCCOPY);
    ReleaseDC(client, dc);
}

// --- Scroll bars ----------------------------------------------------------------------------------

bool TsMDIForm::FillScrollInfo(TScrollBarKind Kind, SCROLLINFO& Info)
{
    const HWND client = Client();
    if (!client || !Form->ActiveMDIChild())
        return false;
    // The client's scroll state as the client works it out: its area joined with the rectangles
    // of its visible children (the client's own state is not read: it stops following the
    // children once its own bars have hidden, and scrolling moves the children, not the view).
    RECT area;
    if (!GetClientRect(client, &area))
        return false;
    RECT all = area;
    for (HWND w = GetWindow(client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w))
            continue;
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
        UnionRect(&all, &all, &r);
    }
    const bool vertical = Kind == sbVertical;
    Info = SCROLLINFO{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_ALL;
    Info.nMin = vertical ? all.top : all.left;
    Info.nMax = (vertical ? all.bottom : all.right) - 1;
    Info.nPage = static_cast<UINT>(vertical ? area.bottom : area.right);
    Info.nPos = 0;
    if (Info.nMax - Info.nMin < static_cast<int>(Info.nPage))
        return false;
    // The skinned bar counts from 0; the client's range may start below it.
    (vertical ? MDIVertOrigin : MDIHorzOrigin) = Info.nMin;
    Info.nMax = Info.nMax - static_cast<int>(Info.nPage) - Info.nMin + 1;
    Info.nPos -= Info.nMin;
    Info.nMin = 0;
    if (Info.nPage == 0)
        Info.nPage = 80;
    return true;
}

void TsMDIForm::RefreshScrolls()
{
    if (!Form || !DrawSkinnedMDIScrolls || Form->ComponentState().Contains(csDestroying))
        return;
    const int bottom = Offset(alBottom), right = Offset(alRight);
    const int left = Offset(alLeft), top = Offset(alTop);
    SCROLLINFO v{}, h{};
    bool vNeeded = false, hNeeded = false;
    if (sSkinData && sSkinData->Active && Provider->SkinData()->Skinned() && Form->ActiveMDIChild() && !ChildMaximized()) {
        vNeeded = FillScrollInfo(sbVertical, v);
        hNeeded = FillScrollInfo(sbHorizontal, h);
    }
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    auto fill = [this](TsScrollBar*& Bar, TScrollBarKind Kind, const SCROLLINFO& Info) {
        if (!Bar) {
            TsScrollBar* made = MakeHostBar(Form, Kind,
                                            Kind == sbVertical ? TOnIntChangeEvent(this, &TsMDIForm::OnVSBChange)
                                                               : TOnIntChangeEvent(this, &TsMDIForm::OnHSBChange));
            made->SetParent(Form);
            made->OnMouseUp = TMouseEvent(this, &TsMDIForm::OnSBMouseUp);
            made->SmallChange = 8;
            Bar = made;
        }
        TScrollingGuard guard;
        Bar->PaintLocked = true;
        Bar->ChangeLocked = true;
        Bar->SetParams(std::clamp(Info.nPos, Info.nMin, Info.nMax), Info.nMin, Info.nMax);
        Bar->SetPageSize(static_cast<int>(Info.nPage));
        Bar->LargeChange = static_cast<int>(Info.nPage);
        Bar->ChangeLocked = false;
    };
    auto show = [](TsScrollBar* Bar, const TRect& Bounds) {
        Bar->SetBoundsRect(Bounds);
        Bar->SetVisible(true);
        Bar->BringToFront();
        Bar->RepaintNeeded = true;
        Bar->UpdateBar();
    };
    // The client's height and width inside the form's client area.
    const int clientHeight = Form->ClientHeight() - top - bottom, clientWidth = Form->ClientWidth() - left - right;
    if (vNeeded) {
        fill(VSBar, sbVertical, v);
        const int x = Form->ClientWidth() - cx - ClientEdge - right;
        show(VSBar, TRect{x, top, x + cx + 1, top + clientHeight - (hNeeded ? cy : 0) - 1});
    } else if (VSBar) {
        VSBar->SetVisible(false);
    }
    if (hNeeded) {
        fill(HSBar, sbHorizontal, h);
        const int y = Form->ClientHeight() - cy - ClientEdge - bottom;
        const int w = clientWidth - (VSBar && VSBar->Visible() ? VSBar->Width() : 0);
        show(HSBar, TRect{left, y, left + w, y + cy + 1});
    } else if (HSBar) {
        HSBar->SetVisible(false);
    }
    if (vNeeded && hNeeded) {
        if (!Grip) {
            Grip = Create<TsGrip>(Form);
            Grip->LinkedControl = Form;
            Grip->Transparent = true;
            Grip->SetParent(Form);
        }
        Grip->SetBounds(VSBar->Left() + 1, HSBar->Top() + 1, VSBar->Width() - 1, HSBar->Height() - 1);
        Grip->SetVisible(true);
        Grip->BringToFront();
    } else if (Grip) {
        Grip->SetVisible(false);
    }
}

void TsMDIForm::ScrollClient(TsScrollBar* Bar, bool Vertical)
{
    if (!Bar || MDIScrolling || Bar->ComponentState().Contains(csDestroying) ||
        Bar->ControlState().Contains(csCreating) || !Client())
        return;
    TScrollingGuard guard;
    Bar->PaintLocked = true;
    // The bar's position counted from the client's origin is where the view goes; the client
    // moves its children there as it does for a thumb position of its own bars (the client's
    // own handling is not used: it takes no position below 0).
    int& origin = Vertical ? MDIVertOrigin : MDIHorzOrigin;
    const int d = -(Bar->Position() + origin);
    if (d != 0) {
        ScrollWindowEx(Client(), Vertical ? 0 : d, Vertical ? d : 0, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
        origin += d;
    }
    Bar->PaintLocked = false;
    Bar->Invalidate();
}

void TsMDIForm::OnVSBChange(TObject*, int) { ScrollClient(VSBar, true); }

void TsMDIForm::OnHSBChange(TObject*, int) { ScrollClient(HSBar, false); }

void TsMDIForm::OnSBMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    // The client works its ranges out again once the thumb is let go.
    if (Client())
        SendMessageA(Client(), WM_SIZE, 0, 0);
    Application->ProcessMessages();
    RefreshScrolls();
}

// --- The child icon item --------------------------------------------------------------------------

void TsMDIForm::MakeChildIconItem()
{
    auto item = [this](TMenuItem* Parent, const char* Name, const char* Caption, void (TsMDIForm::*Click)(TObject*)) {
        auto* i = Create<TMenuItem>(Provider);
        i->SetName(Name);
        i->SetCaption(Caption);
        if (Click)
            i->OnClick = TNotifyEvent(this, Click);
        Parent->Add(i);
        return i;
    };
    ChildIconItem = Create<TMenuItem>(Provider);
    ChildIconItem->SetName("sMDICII");
    ChildIconItem->SetGroupIndex(0);
    item(ChildIconItem, "ItemMDIRestore", "Restore", &TsMDIForm::RestoreClick);
    item(ChildIconItem, "ItemMDIMinimize", "Minimize", &TsMDIForm::MinClick);
    item(ChildIconItem, "", "-", nullptr);
    item(ChildIconItem, "ItemMDIClose", "Close", &TsMDIForm::CloseClick)->SetShortCut(ShortCut(VK_F4, TShiftState{ssCtrl}));
}

void TsMDIForm::SendToActiveChild(WPARAM Command)
{
    TCustomForm* child = Form ? Form->ActiveMDIChild() : nullptr;
    if (child && child->HandleAllocated())
        SendMessageA(child->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsMDIForm::CloseClick(TObject*) { SendToActiveChild(SC_CLOSE); }
void TsMDIForm::MinClick(TObject*) { SendToActiveChild(SC_MINIMIZE); }
void TsMDIForm::RestoreClick(TObject*) { SendToActiveChild(SC_RESTORE); }

void TsMDIForm::UpdateMDIIconItem()
{
    TMainMenu* menu = Form ? Form->Menu() : nullptr;
    if (menu && ChildIconItem) {
        TMenuItem* root = menu->Items();
        const bool first = root->Count() > 0 && root->Items(0) == ChildIconItem;
        if (ChildMaximized()) {
            if (!first) {
                Application->ProcessMessages();
                TsCommonData* sd = Provider->SkinData();
                sd->BeginUpdate();
                if (ChildIconItem->Parent())
                    ChildIconItem->Parent()->Remove(ChildIconItem);
                root->Insert(0, ChildIconItem);
                sd->EndUpdate();
                Provider->RepaintMenu();
            }
        } else if (first) {
            root->Remove(ChildIconItem);
            Provider->UpdateMenu();
            Provider->RepaintMenu();
        }
    }
    if (!MDIScrolling)
        RefreshScrolls();
}
