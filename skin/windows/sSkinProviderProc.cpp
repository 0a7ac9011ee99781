// The provider's replacement of the form's window procedure. Every message it does not handle
// fully goes on to the form's old procedure (the default below).
#include "sSkinProvider.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "sConst.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sMDIForm.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// Moving and sizing by outline: one loop at a time in the process.
bool bInProcess = false;
bool bCapture = false;
bool bMode = false; // true moving, false sizing
bool DoStartMove = false;
HWND deskwnd = nullptr;
HDC dc = nullptr;
int nDC = 0;
int nleft = 0, ntop = 0, nright = 0, nbottom = 0;
int nX = 0, nY = 0;
int nDirection = 0;
int nMinWidth = 0, nMinHeight = 0;

bool SizingEdge(int Code) { return Code >= HTLEFT && Code <= HTBOTTOMRIGHT; }

TPoint MessagePoint(const TMessage& Message)
{
    return TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
}

// Clears style bits of a window for its lifetime (those that were set).
class TStyleOff {
public:
    TStyleOff(HWND Wnd, LONG Bits) : wnd_(Wnd), bits_(Wnd ? GetWindowLongA(Wnd, GWL_STYLE) & Bits : 0)
    {
        if (bits_)
            SetWindowLongA(wnd_, GWL_STYLE, GetWindowLongA(wnd_, GWL_STYLE) & ~bits_);
    }
    ~TStyleOff()
    {
        if (bits_)
            SetWindowLongA(wnd_, GWL_STYLE, GetWindowLongA(wnd_, GWL_STYLE) | bits_);
    }
    TStyleOff(const TStyleOff&) = delete;
    TStyleOff& operator=(const TStyleOff&) = delete;

private:
    HWND wnd_;
    LONG bits_;
};

bool IsButtonCode(int Code)
{
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ||
           (Code >= HTMDICLOSE && Code <= HTMDIMIN) || Code >= HTUDBTN;
}

} // namespace

void TsSkinProvider::NewWndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_REMOVESKIN:
            if (!ComponentState().Contains(csDestroying))
                RemoveSkin(Message);
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (CaptionMessage(Message) || SystemMenuMessage(Message))
        return;
    const bool skinned = !FormDestroying() && FSkinManager && sSkinData && sSkinData->DefaultManager && sSkinData->Active &&
                         FCommonData->Skinned();
    if (!skinned) {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_NEWSKIN && !FormDestroying())
            NewSkin(Message, false);
        else
            CallDefault(Message);
        if (Message.Msg == WM_NCDESTROY)
            MDIChildGone();
        return;
    }
    if (Message.Msg == SM_SKINCMD)
        SkinCommand(Message);
    else
        SkinnedMessage(Message);
}

// --- The caption and the system menu -------------------------------------------------------------

bool TsSkinProvider::SystemMenuMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR: return FSystemMenu && FSystemMenu->HandleMenuMessage(Message);
    default: return false;
    }
}

bool TsSkinProvider::CaptionMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        const std::size_t n = text ? std::strlen(text) : 0;
        auto copy = std::make_unique<char[]>(n + 1);
        if (n)
            std::memcpy(copy.get(), text, n);
        copy[n] = '\0';
        FCaption = std::move(copy);
        return false;
    }
    case WM_GETTEXT: {
        // An MDI parent with a maximised child shows both captions, which the system joins.
        if (!FCaption || MaximizedMDIChild())
            return false;
        char* buffer = reinterpret_cast<char*>(Message.LParam);
        // Nothing fits a buffer of no size; any other gets as much as fits and the terminator.
        if (!buffer || Message.WParam == 0) {
            Message.Result = 0;
            return true;
        }
        const std::size_t n = std::min<std::size_t>(std::strlen(FCaption.get()), Message.WParam - 1);
        std::memcpy(buffer, FCaption.get(), n);
        buffer[n] = '\0';
        Message.Result = static_cast<LRESULT>(n);
        return true;
    }
    case WM_GETTEXTLENGTH:
        if (!FCaption || MaximizedMDIChild())
            return false;
        Message.Result = static_cast<LRESULT>(std::strlen(FCaption.get()));
        return true;
    default: return false;
    }
}

// --- The library message while skinned ------------------------------------------------------------

void TsSkinProvider::SkinCommand(TMessage& Message)
{
    const TsGeneralData* section = IsValidSkinIndex(FCommonData->SkinIndex)
                                       ? &gd[static_cast<std::size_t>(FCommonData->SkinIndex)]
                                       : nullptr;
    switch (Message.WParamHi) {
    case AC_NEWSKIN: NewSkin(Message, true); break;
    case AC_REPAINT: RepaintSkin(Message); break;
    case AC_GETPROVIDER: Message.Result = reinterpret_cast<LRESULT>(this); break;
    case AC_GETCACHEINFO:
        if (!ComponentState().Contains(csLoading))
            GlobalCacheInfo = TCacheInfo{FCommonData->FCacheBmp.get(), OffsetX(), OffsetY(), true};
        break;
    case AC_SETUPDATING:
        FCommonData->Updating = Message.WParamLo == 1;
        if (FCommonData->Updating)
            FCommonData->BGChanged = true;
        break;
    case AC_URGENTPAINTING:
        FCommonData->UrgentPainting = Message.WParamLo != 0;
        if (FCommonData->UrgentPainting)
            PaintAll();
        CommonWndProc(Message, FCommonData.get());
        break;
    case AC_GETUPDATING: Message.LParam = FCommonData->BGChanged || FCommonData->GetUpdating() ? 1 : 0; break;
    case AC_SETREPAINTCHILD: FCommonData->RepaintChild = reinterpret_cast<TControl*>(Message.LParam); break;
    case AC_ISTEXTURED:
        Message.LParam = section && section->GradientPercent + section->ImagePercent > 0 ? 1 : 0;
        break;
    case AC_GETCENTERCOLOR:
        ParentCenterColor = section ? section->HotColor : ColorToRGB(FForm->Color());
        break;
    default: break;
    }
}

// --- Window messages while skinned ----------------------------------------------------------------

void TsSkinProvider::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCPAINT: NonClientPaint(Message); return;
    case WM_PRINT: PrintForm(reinterpret_cast<HDC>(Message.WParam), Message.LParam); return;
    case WM_PRINTCLIENT:
        if (Message.WParam) {
            PaintForm(reinterpret_cast<HDC>(Message.WParam));
            return;
        }
        break;
    case WM_NCHITTEST: {
        if (!Bordered())
            break;
        const int code = HTProcess(Message);
        if (code == HTNOWHERE || code == HTCAPTION) {
            CallDefault(Message);
            SetHotHT(0);
        } else {
            Message.Result = code;
        }
        if (ResizeMode == rmBorder && nDirection == 0 &&
            (Message.Result == HTCAPTION || SizingEdge(static_cast<int>(Message.Result))))
            nDirection = static_cast<int>(Message.Result);
        return;
    }
    case WM_NCACTIVATE: NCActivate(Message); return;
    case WM_SHOWWINDOW:
        // Cut while the window is still hidden, the corners cost no repaint; the paints after the
        // showing find the region set.
        if (Message.WParam && FForm->FormStyle() != fsMDIChild && !FormCreating() && !FormDestroying() &&
            !ComponentState().Contains(csLoading) && RgnWanted()) {
            InRgnUpdate = true;
            RebuildRgn();
            InRgnUpdate = false;
        }
        break;
    case WM_ACTIVATE: Activate(Message); return;
    case WM_NCLBUTTONDOWN: NCLButtonDown(Message); return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: TitleButtonUp(Message); return;
    case WM_NCLBUTTONDBLCLK: NCLButtonDblClk(Message); return;
    case WM_NCRBUTTONDOWN:
        if ((Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) && FSkinManager->SkinnedPopups())
            return;
        break;
    case WM_NCRBUTTONUP:
        if ((Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) && FSkinManager->SkinnedPopups()) {
            SetHotHT(0);
            TsSkinableMenus::DeleteUnusedBmps(true);
            const TPoint p = MessagePoint(Message);
            DropSysMenu(p.x, p.y);
            return;
        }
        break;
    case WM_SYSCOMMAND: SysCommand(Message); return;
    case WM_SETTEXT: SetText(Message); return;
    case WM_PAINT:
        if (FormVisible() && !FormCreating()) {
            OurPaintHandler(Message);
            if (FCommonData->UrgentPainting)
                FinishUrgentPainting(FForm);
            return;
        }
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_MOVE:
        CallDefault(Message);
        // A moved MDI child changes what its parent's client scrolls.
        if (FForm->FormStyle() == fsMDIChild && !IsZoomed() && !ComponentState().Contains(csLoading))
            RefreshScrolls();
        return;
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
        CallDefault(Message);
        // Another child's menu and caption show in the parent's line and title.
        if (TsSkinProvider* parent = MDIParentProvider()) {
            MenuUpdated = false;
            parent->MenuChanged = true;
            parent->FLinesCount = -1;
            parent->FCommonData->BGChanged = true;
            SendMessageA(parent->FForm->Handle(), WM_NCPAINT, 0, 0);
        }
        return;
    case WM_SIZE:
        try {
            CallDefault(Message);
        } catch (...) {
            // A failing resize of the form's controls leaves the frame to be painted.
        }
        RefreshScrolls();
        // A child maximised or restored takes its buttons into or out of its parent's menu line.
        if (TsSkinProvider* parent = MDIParentProvider();
            parent && (parent->FMDIButtonsShown != parent->MDIButtonsNeeded() || parent->MDIFrameStale()))
            parent->RefreshMDIFrame();
        if (IsValidSkinIndex(FCommonData->SkinIndex) &&
            gd[static_cast<std::size_t>(FCommonData->SkinIndex)].GradientPercent > 0) {
            for (int i = 0; i < FForm->ControlCount(); ++i) {
                TControl* c = FForm->Controls(i);
                if (!c->ComponentState().Contains(csDestroying))
                    c->Perform(SM_SKINCMD, MAKEWPARAM(1, AC_REPAINTIFMOVED), 0);
            }
        }
        return;
    case WM_SYSCOLORCHANGE:
    case WM_CHILDACTIVATE:
        CallDefault(Message);
        UpdateMenu();
        if (Message.Msg == WM_CHILDACTIVATE && FForm->FormStyle() == fsMDIChild)
            RefreshScrolls();
        return;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMaxTrackSize = POINT{MaxWidth() + 6, MaxHeight() + 6};
        break;
    }
    case WM_MEASUREITEM: {
        if (FMDIForm)
            MDISkinProvider = this;
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (FForm->FormStyle() != fsMDIChild && FForm->Menu() && mis && mis->CtlType == ODT_MENU &&
            FSkinManager->SkinableMenus()) {
            if (TMenuItem* item = FForm->Menu()->FindItem(mis->itemID, fkCommand))
                FSkinManager->SkinableMenus()->InitItem(item, true);
        }
        break;
    }
    case WM_WINDOWPOSCHANGING:
        if (!InRgnUpdate) {
            WindowPosChanging(Message);
            CallDefault(Message);
            FVRange = Range(sbVertical);
            FHRange = Range(sbHorizontal);
        }
        return;
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE:
        if (!InRgnUpdate)
            WindowPosChanged(Message);
        return;
    case WM_MOUSEMOVE:
        CallDefault(Message);
        if (ResizeMode == rmBorder)
            OutlineMouseMove(Message);
        return;
    case WM_SIZING:
        CallDefault(Message);
        if (FormChanged()) {
            FCommonData->BGChanged = true;
            if (FMDIForm)
                FMDIForm->RefreshScrolls();
        }
        return;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE: SetHotHT(0); break;
    case CM_COLORCHANGED:
        if (FCommonData->CustomColor && !FormCreating())
            FCommonData->BGChanged = true;
        break;
    case CM_MENUCHANGED:
        if (FormVisible() && !FormCreating()) {
            // The line is painted anew with the items as they are now (PaintCaption).
            MenuChanged = true;
            FMenuLineDirty = true;
        }
        CallDefault(Message);
        TsSkinableMenus::DeleteUnusedBmps(true);
        return;
    default: break;
    }
    CallDefault(Message);
}

void TsSkinProvider::PrintForm(HDC DC, LPARAM Flags)
{
    // The frame, the client area and the child windows into the given context, each at its place
    // in the window.
    const HWND wnd = FForm->Handle();
    if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(wnd))
        return;
    if ((Flags & PRF_NONCLIENT) && Bordered()) {
        const int saved = SaveDC(DC);
        PaintCaption(DC);
        RestoreDC(DC, saved);
    }
    RECT w;
    GetWindowRect(wnd, &w);
    if (Flags & PRF_CLIENT) {
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        const int saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, origin.x - w.left, origin.y - w.top, nullptr);
        IntersectClipRect(DC, 0, 0, GetClientWidth(wnd), GetClientHeight(wnd));
        FForm->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
        RestoreDC(DC, saved);
    }
    if (Flags & PRF_CHILDREN) {
        std::vector<HWND> children;
        for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            children.push_back(c);
        // Bottom of the z-order first, so that the upper ones cover it.
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (!IsWindowVisible(*it))
                continue;
            RECT r;
            GetWindowRect(*it, &r);
            const int saved = SaveDC(DC);
            OffsetViewportOrgEx(DC, r.left - w.left, r.top - w.top, nullptr);
            SendMessageA(*it, WM_PRINT, reinterpret_cast<WPARAM>(DC), Flags & ~PRF_CHECKVISIBLE);
            RestoreDC(DC, saved);
        }
    }
}

void TsSkinProvider::SetText(TMessage& Message)
{
    // The window keeps the text too (the task bar shows it). The system would paint its own frame
    // with it; it paints none for a window it takes for hidden.
    {
        const TStyleOff hidden(FForm->HandleAllocated() ? FForm->Handle() : nullptr, WS_VISIBLE);
        CallDefault(Message);
    }
    FForm->Perform(CM_TEXTCHANGED);
    Message.Result = TRUE;
    FCommonData->BGChanged = true;
    if (TsSkinProvider* parent = MDIParentProvider(); parent && parent->MaximizedMDIChild() == FForm) {
        // The parent's title shows this caption.
        parent->FCommonData->BGChanged = true;
        parent->PaintCaption(TWindowDC(parent->FForm->Handle()).Handle());
        return;
    }
    if (!FormVisible() || !Bordered())
        return;
    PaintCaption(TWindowDC(FForm->Handle()).Handle());
}

void TsSkinProvider::NonClientPaint(TMessage& Message)
{
    Message.Result = 0;
    if (!FormVisible() || ComponentState().Contains(csLoading) || FormCreating() || FormDestroying())
        return;
    FCommonData->Updating = FCommonData->GetUpdating();
    if (FCommonData->Updating)
        return;
    // A child behind a maximised sibling is not seen.
    if (TsSkinProvider* parent = MDIParentProvider()) {
        TCustomForm* maximized = parent->MaximizedMDIChild();
        if (maximized && maximized != FForm)
            return;
    }
    const HWND wnd = FForm->Handle();
    const bool sizingFrame = (GetWindowLongA(wnd, GWL_STYLE) & WS_THICKFRAME) != 0;
    // The guard set while the region is rebuilt ends with this paint, however it ends: left set,
    // the frame would never be rebuilt again.
    struct TRgnUpdateEnds {
        bool& Flag;
        ~TRgnUpdateEnds() { Flag = false; }
    } rgnUpdateEnds{InRgnUpdate};
    if (RgnWanted())
        RebuildRgn();
    if (FMDIForm) {
        FMDIForm->ConnectToClient();
        if (MDIFrameStale()) {
            FCommonData->BGChanged = true;
            MenuChanged = true;
            FLinesCount = -1;
        }
    }
    if (!MenuUpdated) {
        MenuUpdated = true;
        UpdateMenu();
    }
    const TWindowDC window(wnd);
    const HDC wdc = window.Handle();
    if (!Bordered() && sizingFrame) {
        if (FCommonData->BGChanged) {
            PaintAll();
            FCommonData->BGChanged = false;
            FCommonData->Updating = false;
        }
        TBitmap* cache = FCommonData->FCacheBmp.get();
        const int w = FForm->BorderWidth() + 3;
        const HDC src = cache->Canvas()->Handle();
        const int cw = cache->Width(), ch = cache->Height();
        BitBlt(wdc, 0, 0, cw, w, src, 0, 0, SRCCOPY);
        BitBlt(wdc, 0, 0, w, ch, src, 0, 0, SRCCOPY);
        BitBlt(wdc, cw - w, 0, w, ch, src, cw - w, 0, SRCCOPY);
        BitBlt(wdc, 0, ch - w, cw, w, src, 0, ch - w, SRCCOPY);
    } else {
        PaintCaption(wdc);
    }
}

bool TsSkinProvider::RgnWanted()
{
    return RgnChanged && !InRgnUpdate && (Bordered() || (GetWindowLongA(FForm->Handle(), GWL_STYLE) & WS_THICKFRAME));
}

void TsSkinProvider::RebuildRgn()
{
    // The transparent corners of the frame's masks are cut out of the window.
    ArOR.clear();
    const int border = FCommonData->BorderIndex;
    if (IsValidImgIndex(border)) {
        const TsMaskData& mask = ma[static_cast<std::size_t>(border)];
        AddRgn(ArOR, CaptionWidth(), mask, 0, false);
        const int cell = mask.Bmp ? mask.Bmp->Height() / 6
                                  : HeightOf(mask.R) / ((mask.MaskType + 1) * 3);
        AddRgn(ArOR, CaptionWidth(), mask, FForm->Height() - cell, true);
    }
    const AnsiString title = TitleSkinSection();
    const int titleMask = GetMaskIndex(GetSkinIndex(title), title, "BORDERSMASK");
    if (IsValidImgIndex(titleMask))
        AddRgn(ArOR, CaptionWidth(), ma[static_cast<std::size_t>(titleMask)], 0, false);
    RgnChanged = false;
    UpdateRgn();
}

void TsSkinProvider::NCActivate(TMessage& Message)
{
    if (FormCreating()) {
        CallDefault(Message);
        return;
    }
    // The system keeps the state but leaves the frame to this provider.
    const LPARAM lParam = Message.LParam;
    Message.LParam = -1;
    CallDefault(Message);
    Message.LParam = lParam;
    if (Bordered()) {
        const bool active = LOWORD(Message.WParam) != 0;
        if (active != FormActive) {
            FormActive = active;
            FCommonData->BGChanged = true;
        }
    }
    if (FormVisible())
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
    // Overlapping children show their frames as they are now; the parent's line shows the
    // active child's items while it is maximised.
    RepaintOtherMDIChildren();
    if (TsSkinProvider* parent = MDIParentProvider(); parent && parent->FMDIForm && FormVisible())
        parent->FMDIForm->UpdateMDIIconItem();
    InitMenuItems(sSkinData && sSkinData->Active);
    if (!MenuUpdated) {
        MenuUpdated = true;
        UpdateMenu();
    }
    if (!Bordered()) {
        for (int i = 0; i < FForm->ControlCount(); ++i)
            if (FForm->Controls(i)->Align() == alClient) {
                FForm->Controls(i)->Repaint();
                break;
            }
    }
}

void TsSkinProvider::Activate(TMessage& Message)
{
    CallDefault(Message);
    const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    const bool changed = active != FormActive;
    FormActive = active;
    if (FormCreating())
        return;
    FLinesCount = -1;
    // The frame follows the state once; the state change of the frame's own activation message
    // has usually painted it already.
    if (changed) {
        FCommonData->BGChanged = true;
        if (Bordered() && FormVisible())
            SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
    }
    if (Bordered())
        InitMenuItems(true);
    if (TCustomForm* maximized = MaximizedMDIChild())
        InvalidateRect(maximized->Handle(), nullptr, FALSE);
    else
        RefreshScrolls();
    if (TsSkinProvider* parent = MDIParentProvider()) {
        parent->FCommonData->BGChanged = true;
        RepaintOtherMDIChildren();
    }
    FSystemMenu->UpdateItems();
    if (!Bordered()) {
        for (int i = 0; i < FForm->ControlCount(); ++i)
            if (FForm->Controls(i)->Align() == alClient) {
                FForm->Controls(i)->Repaint();
                break;
            }
    }
}

// --- Mouse in the frame -----------------------------------------------------------------------------

void TsSkinProvider::NCLButtonDown(TMessage& Message)
{
    const int code = static_cast<int>(Message.WParam);
    const TPoint p = MessagePoint(Message);
    if (code == HTSYSMENU) {
        if (!FSkinManager->SkinnedPopups()) {
            CallDefault(Message);
            return;
        }
        SetHotHT(0);
        TsSkinableMenus::DeleteUnusedBmps(true);
        const TPoint corner = FormLeftTop();
        if (FForm->FormStyle() == fsMDIChild)
            DropSysMenu(corner.x, corner.y + CaptionHeight() + 4);
        else
            DropSysMenu(corner.x + SysBorderWidth(), corner.y + BorderHeight() + IconSize().cy);
        return;
    }
    if (code == HTMINBUTTON || code == HTMAXBUTTON || code == HTCLOSE || code == HTHELP ||
        (code >= HTMDICLOSE && code <= HTMDIMIN)) {
        SetPressedHT(code);
        return;
    }
    if (code >= HTUDBTN) {
        SetPressedHT(code);
        const int i = code - HTUDBTN;
        if (i < FTitleButtons->Count())
            FTitleButtons->Items(i)->MouseDown(i, mbLeft, TShiftState{}, p.x, p.y);
        return;
    }
    if (IsIconic()) {
        FForm->Perform(WM_SYSCOMMAND, 0xF012, 0);
        return;
    }
    SetHotHT(0);
    if (IsZoomed() && p.y - FormLeftTop().y < SysBorderHeight() + CaptionHeight()) {
        if (GetActiveWindow() != FForm->Handle())
            SetActiveWindow(FForm->Handle());
        return;
    }
    if (ResizeMode == rmBorder && code != HTMENU) {
        if (code == HTCAPTION)
            CallDefault(Message);
        bMode = !SizingEdge(code);
        SendMessageA(FForm->Handle(), WM_SYSCOMMAND, bMode ? SC_MOVE : SC_SIZE, 0);
        // The edge clicked is the one to size (the size command alone knows none).
        nDirection = code;
        StartMove(p.x, p.y);
        return;
    }
    CallDefault(Message);
}

void TsSkinProvider::TitleButtonUp(TMessage& Message)
{
    const bool nonClient = Message.Msg == WM_NCLBUTTONUP;
    // A left release in the client area carries key flags, not a hit-test code.
    const int code = nonClient ? static_cast<int>(Message.WParam) : HTNOWHERE;
    const int pressed = FPressedCode;
    FPressedCode = 0;
    if (IsButtonCode(code) && code != pressed) {
        // Released over another button than the one pressed: nothing runs.
        if (TsCaptionButton* b = ButtonByCode(pressed); b && b->State > 0) {
            b->State = 0;
            RepaintButton(pressed);
        }
        Message.Result = 0;
        return;
    }
    const TPoint p = MessagePoint(Message);
    switch (code) {
    case HTCLOSE:
        FHotCode = 0;
        SendMessageA(FForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case HTMAXBUTTON:
        if (!IsIconic() || FSystemMenu->EnabledMax()) {
            SetHotHT(0);
            const bool zoomed = IsZoomed();
            if (FForm->FormStyle() != fsMDIChild)
                FForm->SetWindowState(zoomed ? wsNormal : wsMaximized);
            if (FForm->HandleAllocated())
                SendMessageA(FForm->Handle(), WM_SYSCOMMAND, zoomed ? SC_RESTORE : SC_MAXIMIZE, 0);
            FSystemMenu->UpdateItems();
        }
        break;
    case HTMINBUTTON:
        SetHotHT(0);
        if (Application && Application->MainForm() == FForm)
            Application->Minimize();
        else
            SendMessageA(FForm->Handle(), WM_SYSCOMMAND, IsIconic() ? SC_RESTORE : SC_MINIMIZE, 0);
        break;
    case HTMDICLOSE:
    case HTMDIMAX:
    case HTMDIMIN:
        SetHotHT(0);
        if (TCustomForm* child = MaximizedMDIChild()) {
            if (code == HTMDIMIN)
                FCommonData->BeginUpdate();
            SendMessageA(child->Handle(), WM_SYSCOMMAND,
                         code == HTMDICLOSE ? SC_CLOSE : code == HTMDIMAX ? SC_RESTORE : SC_MINIMIZE, 0);
            // Held or not by the child, the frame shows the children as they are now.
            RefreshMDIFrame();
        }
        break;
    case HTHELP:
        SendMessageA(FForm->Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        SetHotHT(0);
        FSystemMenu->UpdateItems();
        FForm->Perform(WM_NCPAINT, 0, 0);
        break;
    default:
        if (code >= HTUDBTN) {
            const int i = code - HTUDBTN;
            if (i < FTitleButtons->Count())
                FTitleButtons->Items(i)->MouseUp(i, mbLeft, TShiftState{}, p.x, p.y);
            SetHotHT(0);
            break;
        }
        if (ResizeMode == rmBorder && !IsIconic() && !IsZoomed() && bInProcess) {
            POINT sp{p.x, p.y};
            if (!nonClient)
                ClientToScreen(FForm->Handle(), &sp);
            StopMove(sp.x, sp.y);
            ReleaseCapture();
            break;
        }
        CallDefault(Message);
        return;
    }
    if (nonClient)
        Message.WParam = 0;
}

void TsSkinProvider::NCLButtonDblClk(TMessage& Message)
{
    if (ResizeMode == rmBorder && bInProcess) {
        StopMove(MessagePoint(Message).x, MessagePoint(Message).y);
        ReleaseCapture();
        bInProcess = false;
    }
    DoStartMove = false;
    switch (Message.WParam) {
    case HTSYSMENU: FForm->Close(); return;
    case HTCAPTION:
        if (FSystemMenu->EnabledMax() || FSystemMenu->EnabledRestore()) {
            const bool restore = IsZoomed() || IsIconic();
            SendMessageA(FForm->Handle(), WM_SYSCOMMAND, restore ? SC_RESTORE : SC_MAXIMIZE, 0);
            FSystemMenu->UpdateItems();
        }
        Message.WParam = 0;
        return;
    default: CallDefault(Message);
    }
}

void TsSkinProvider::SysCommand(TMessage& Message)
{
    const WPARAM command = Message.WParam & 0xFFF0;
    if (LOWORD(Message.WParam) == 0xF012)
        FForm->Repaint();
    if (ResizeMode == rmBorder && !bInProcess && (command == SC_MOVE || command == SC_SIZE)) {
        // The provider's outline loop moves and sizes the form, not the system's.
        SetCapture(FForm->Handle());
        bCapture = true;
        bMode = command == SC_MOVE;
        if (!bMode)
            nDirection = 0;
        return;
    }
    if (FForm->FormStyle() == fsMDIForm) {
        CallDefault(Message);
        if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE)
            RefreshMDIFrame();
        return;
    }
    if (TsSkinProvider* parent = MDIParentProvider()) {
        MDIChildCommand(Message, parent);
        return;
    }
    CallDefault(Message);
    if ((command == SC_MAXIMIZE || command == SC_RESTORE) && FSystemMenu->VisibleMax()) {
        FHotCode = HTMAXBUTTON;
        SetHotHT(0);
    }
}

void TsSkinProvider::MDIChildCommand(TMessage& Message, TsSkinProvider* Parent)
{
    const WPARAM command = Message.WParam & 0xFFF0;
    // The parent's frame waits while a maximised child goes, shrinks or comes back to its size,
    // and is painted once afterwards.
    const bool held = IsZoomed() && (command == SC_CLOSE || command == SC_MINIMIZE || command == SC_RESTORE);
    if (held)
        Parent->FCommonData->BeginUpdate();
    switch (command) {
    case SC_CLOSE:
        // The child may be gone afterwards: only the parent is touched.
        CallDefault(Message);
        if (MDISkinProvider == Parent)
            Parent->RefreshMDIFrame();
        return;
    case SC_RESTORE:
        FCommonData->BeginUpdate();
        CallDefault(Message);
        FCommonData->BGChanged = true;
        FCommonData->EndUpdate();
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
        RepaintOtherMDIChildren();
        break;
    case SC_MINIMIZE:
        CallDefault(Message);
        TitleBG.reset();
        FCommonData->BGChanged = true;
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
        break;
    case SC_MAXIMIZE:
        CallDefault(Message);
        if (Parent->FMDIForm)
            Parent->FMDIForm->UpdateMDIIconItem();
        break;
    default: CallDefault(Message); return;
    }
    FSystemMenu->UpdateItems();
    Parent->RefreshMDIFrame();
}

// --- Position -----------------------------------------------------------------------------------------

void TsSkinProvider::WindowPosChanging(TMessage& Message)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
    if (!ScreenSnap || !pos || IsZoomed() || (pos->flags & SWP_NOMOVE) || (pos->x == 0 && pos->y == 0) || !Screen)
        return;
    const TMonitor* monitor = Screen->MonitorFromWindow(FForm->Handle());
    if (!monitor)
        return;
    const int w = (pos->flags & SWP_NOSIZE) ? FForm->Width() : pos->cx;
    const int h = (pos->flags & SWP_NOSIZE) ? FForm->Height() : pos->cy;
    const int left = monitor->Left(), top = monitor->Top();
    const int right = left + monitor->Width(), bottom = top + monitor->Height();
    if (std::abs(pos->x - left) < SnapBuffer)
        pos->x = left;
    if (std::abs(pos->y - top) < SnapBuffer)
        pos->y = top;
    if (std::abs(pos->x + w - right) < SnapBuffer)
        pos->x = right - w;
    if (std::abs(pos->y + h - bottom) < SnapBuffer)
        pos->y = bottom - h;
}

void TsSkinProvider::WindowPosChanged(TMessage& Message)
{
    RgnChanged = true;
    CallDefault(Message);
    if (!FormChanged())
        return;
    if (!FormCreating())
        FCommonData->BGChanged = true;
    FLinesCount = -1;
    if (FormVisible()) {
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
        InvalidateRect(FForm->Handle(), nullptr, FALSE);
    }
}

// --- Moving and sizing by outline -------------------------------------------------------------------

void TsSkinProvider::DrawFormBorder(int X, int Y)
{
    if (!dc)
        return;
    POINT pts[5];
    if (bMode) {
        const int w = FForm->Width(), h = FForm->Height();
        pts[0] = {X, Y};
        pts[1] = {X + w, Y};
        pts[2] = {X + w, Y + h};
        pts[3] = {X, Y + h};
    } else {
        pts[0] = {nleft, ntop};
        pts[1] = {nright, ntop};
        pts[2] = {nright, nbottom};
        pts[3] = {nleft, nbottom};
    }
    pts[4] = pts[0];
    // An MDI child's place counts from its parent's client window; the outline is on the screen.
    if (FForm->FormStyle() == fsMDIChild && FForm->HandleAllocated()) {
        POINT origin{0, 0};
        if (const HWND host = GetParent(FForm->Handle()))
            ClientToScreen(host, &origin);
        for (POINT& pt : pts) {
            pt.x += origin.x;
            pt.y += origin.y;
        }
    }
    Polyline(dc, pts, 5);
}

void TsSkinProvider::StartMove(int X, int Y)
{
    if (ResizeMode != rmBorder)
        return;
    bInProcess = true;
    deskwnd = GetDesktopWindow();
    dc = GetWindowDC(deskwnd);
    nDC = SaveDC(dc);
    SetROP2(dc, R2_NOT);
    ntop = FForm->Top();
    nleft = FForm->Left();
    // The press is the reference point: the first move already moves the outline.
    bCapture = false;
    if (bMode) {
        nX = X;
        nY = Y;
        DrawFormBorder(nleft, ntop);
    } else {
        nMinHeight = FForm->Constraints()->MinHeight();
        nMinWidth = FForm->Constraints()->MinWidth();
        nbottom = ntop + FForm->Height();
        nright = nleft + FForm->Width();
        nX = X;
        nY = Y;
        DrawFormBorder(0, 0);
    }
}

void TsSkinProvider::StopMove(int, int)
{
    ReleaseCapture();
    bInProcess = false;
    if (dc) {
        DrawFormBorder(nleft, ntop);
        RestoreDC(dc, nDC);
        ReleaseDC(deskwnd, dc);
        dc = nullptr;
    }
    if (bMode)
        MoveWindow(FForm->Handle(), nleft, ntop, FForm->Width(), FForm->Height(), TRUE);
    else if (!bCapture)
        MoveWindow(FForm->Handle(), nleft, ntop, nright - nleft, nbottom - ntop, TRUE);
    bCapture = false;
    nDirection = 0;
}

void TsSkinProvider::OutlineMouseMove(TMessage& Message)
{
    POINT sp{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    ClientToScreen(FForm->Handle(), &sp);
    const TPoint p{sp.x, sp.y};
    if (bMode) {
        if (bCapture) {
            nX = p.x;
            nY = p.y;
            bCapture = false;
        }
        if (!bInProcess)
            return;
        DrawFormBorder(nleft, ntop);
        nleft += p.x - nX;
        ntop += p.y - nY;
        nX = p.x;
        nY = p.y;
        DrawFormBorder(nleft, ntop);
        return;
    }
    bCapture = false;
    if (!bInProcess)
        return;
    DrawFormBorder(0, 0);
    const int fl = FForm->Left(), ft = FForm->Top();
    if (nDirection == HTLEFT || nDirection == HTTOPLEFT || nDirection == HTBOTTOMLEFT)
        nleft = std::min<int>(fl + p.x - nX, nright - nMinWidth);
    if (nDirection == HTRIGHT || nDirection == HTTOPRIGHT || nDirection == HTBOTTOMRIGHT)
        nright = std::max<int>(fl + FForm->Width() + p.x - nX, fl + nMinWidth);
    if (nDirection == HTTOP || nDirection == HTTOPLEFT || nDirection == HTTOPRIGHT)
        ntop = std::min<int>(ft + p.y - nY, nbottom - nMinHeight);
    if (nDirection == HTBOTTOM || nDirection == HTBOTTOMLEFT || nDirection == HTBOTTOMRIGHT)
        nbottom = std::max<int>(ft + FForm->Height() + p.y - nY, ft + nMinHeight);
    DrawFormBorder(0, 0);
}
