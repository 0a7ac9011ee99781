#include "sScrollBox.h"

#include <algorithm>

#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsScrollBox::TsScrollBox(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)),
      FCanvas(std::make_unique<TControlCanvas>())
{
    FCommonData->COC = 58;
    FCanvas->Control = this;
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 185, 41);
    SetAutoScroll(true);
    // The first skinned paint comes when the parent has painted (AC_PARENTUPDATED).
    FCommonData->Updating = true;
}

void TsScrollBox::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

bool TsScrollBox::Ready()
{
    return ControlIsReady(this);
}

bool TsScrollBox::Skinned()
{
    return sSkinData && sSkinData->Active && FCommonData->Skinned();
}

void TsScrollBox::SkinnedStart()
{
    if (FLoaded)
        return;
    FLoaded = true;
    FCommonData->Loaded();
    if (Skinned()) {
        InitScrolls();
        RefreshScrolls();
    }
}

void TsScrollBox::Loaded()
{
    inherited::Loaded();
    SkinnedStart();
}

void TsScrollBox::SetParent(TWinControl* AParent)
{
    inherited::SetParent(AParent);
    if (AParent && !ComponentState().Contains(csLoading))
        SkinnedStart();
}

int TsScrollBox::Indent() const
{
    return FBorderStyle == bsSingle ? 2 : 0;
}

void TsScrollBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    // The frame is the system's client edge, painted over from the skin while one is active.
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TsScrollBox::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value != bsSingle)
        Value = bsNone;
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

TRect TsScrollBox::ClientRect()
{
    TRect r = inherited::ClientRect();
    if (FVSBar)
        r.right -= FVSBar->Width();
    if (FHSBar)
        r.bottom -= FHSBar->Height();
    return r;
}

void TsScrollBox::AdjustClientRect(TRect& Rect)
{
    inherited::AdjustClientRect(Rect);
    if (FHSBar) {
        Rect.left = -FHSBar->Position();
        Rect.right = Rect.left + std::max(HorzScrollBar()->Range(), ClientWidth());
    }
    if (FVSBar) {
        Rect.top = -FVSBar->Position();
        Rect.bottom = Rect.top + std::max(VertScrollBar()->Range(), ClientHeight());
    }
    Rect.right -= (FVSBar ? FVSBar->Width() : 0) + 1;
    Rect.bottom -= (FHSBar ? FHSBar->Height() : 0) + 1;
}

// --- Bars --------------------------------------------------------------------------------------------

void TsScrollBox::InitScrolls()
{
    if (FScrollsInitialised)
        return;
    FSavedVPos = VertScrollBar()->Position();
    FSavedHPos = HorzScrollBar()->Position();
    FSavedVVisible = VertScrollBar()->Visible();
    FSavedHVisible = HorzScrollBar()->Visible();
    VertScrollBar()->SetVisible(false);
    HorzScrollBar()->SetVisible(false);
    FScrollsInitialised = true;
}

void TsScrollBox::GetVScrollInfo(TsScrollInfo& Info)
{
    Info.Visible = 0;
    if (!FSavedVVisible)
        return;
    // The native bar stays hidden at position 0; the content scrolled away is the skinned bar's.
    Info.Range = VertScrollBar()->Range() + (FVSBar ? FVSBar->Position() : 0);
    Info.Page = ClientHeight();
    Info.Max = Info.Range - Info.Page;
    Info.Position = 0;
    if (Info.Max < 1 || Info.Page < 1)
        return;
    const int i = Indent(), w = GetSystemMetrics(SM_CXVSCROLL);
    Info.Bounds = UseRightToLeftAlignment()
                      ? Rect(Left() + i, Top() + i, Left() + w + i, Top() + Height() - i + 1)
                      : Rect(Left() + Width() - w - i, Top() + i, Left() + Width() - i, Top() + Height() - i + 1);
    Info.Visible = 1;
}

void TsScrollBox::GetHScrollInfo(TsScrollInfo& Info)
{
    Info.Visible = 0;
    if (!FSavedHVisible)
        return;
    Info.Range = HorzScrollBar()->Range() + (FHSBar ? FHSBar->Position() : 0);
    Info.Page = ClientWidth();
    Info.Max = Info.Range - Info.Page;
    Info.Position = 0;
    if (Info.Max < 1 || Info.Page < 1)
        return;
    const int i = Indent(), h = GetSystemMetrics(SM_CYHSCROLL);
    Info.Bounds = Rect(Left() + i, Top() + Height() - h - i, Left() + Width() - i + 1, Top() + Height() - i);
    Info.Visible = 1;
}

TsScrollBar* TsScrollBox::MakeBar(TScrollBarKind Kind)
{
    TControlScrollBar* native = Kind == sbVertical ? VertScrollBar() : HorzScrollBar();
    TsScrollBar* bar = MakeHostBar(this, Kind,
                                   Kind == sbVertical ? TOnIntChangeEvent(this, &TsScrollBox::OnVSBChange)
                                                      : TOnIntChangeEvent(this, &TsScrollBox::OnHSBChange));
    bar->Smooth = native->Smooth() || native->Tracking();
    return bar;
}

void TsScrollBox::FillBar(TsScrollBar* Bar, const TsScrollInfo& Info, TControlScrollBar* Native, TRect Bounds)
{
    Bar->PaintLocked = true;
    Bar->SetMax(Info.Max);
    Bar->SmallChange = Native->Increment;
    Bar->SetMin(0);
    Bar->SetPageSize(Info.Page);
    Bar->LargeChange = Info.Page;
    Bar->SetBoundsRect(Bounds);
    Bar->BringToFront();
    Bar->SetVisible(true);
    Bar->PaintLocked = false;
    Bar->RepaintNeeded = true;
    Bar->Invalidate();
}

void TsScrollBox::RefreshScrolls()
{
    if (ComponentState().Contains(csDestroying))
        return;
    // The native ranges follow the children even while their bars are hidden.
    UpdateScrollBars();
    TsScrollInfo v, h;
    GetVScrollInfo(v);
    GetHScrollInfo(h);
    if (!Skinned() || !Visible() || !Parent()) {
        ClearOffset(sbVertical);
        ClearOffset(sbHorizontal);
        return;
    }
    if (!v.Visible)
        ClearOffset(sbVertical);
    if (!h.Visible)
        ClearOffset(sbHorizontal);
    if (v.Visible) {
        if (!FVSBar)
            FVSBar = MakeBar(sbVertical);
        TRect b = v.Bounds;
        if (h.Visible)
            b.bottom -= HeightOf(h.Bounds);
        FillBar(FVSBar, v, VertScrollBar(), b);
    }
    if (h.Visible) {
        if (!FHSBar)
            FHSBar = MakeBar(sbHorizontal);
        TRect b = h.Bounds;
        if (v.Visible)
            b.right -= WidthOf(v.Bounds);
        FillBar(FHSBar, h, HorzScrollBar(), b);
    }
}

void TsScrollBox::ClearOffset(TScrollBarKind Kind)
{
    TsScrollBar* bar = Kind == sbVertical ? FVSBar : FHSBar;
    if (!bar)
        return;
    // The content is moved back here, also when the skin that would have the bar tell it is gone.
    const int old = bar->Position();
    bar->ChangeLocked = true;
    bar->SetPosition(bar->Min());
    bar->ChangeLocked = false;
    if (bar->Position() != old) {
        if (Kind == sbVertical)
            OnVSBChange(bar, old);
        else
            OnHSBChange(bar, old);
    }
    bar->SetVisible(false);
}

void TsScrollBox::MoveContent(int Dx, int Dy)
{
    FScrolling = true;
    if (OnBeforeScroll)
        OnBeforeScroll(this);
    const bool repaintAll = !FullRepaint && FCommonData->RepaintIfMoved();
    const TRect r = repaintAll ? Rect(-1, -1, 0, 0) : Rect(0, 0, Width(), Height());
    TMessage updating = MakeMessage(SM_SKINCMD, MAKEWPARAM(1, AC_SETUPDATING), 0);
    SkinBroadCast(this, updating);
    if (HandleAllocated())
        ScrollWindowEx(Handle(), Dx, Dy, nullptr, &r, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i)
        if (TControl* c = Controls(i); !dynamic_cast<TWinControl*>(c))
            c->SetBounds(c->Left() + Dx, c->Top() + Dy, c->Width(), c->Height());
    EnableAlign();
    TMessage done = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_SETUPDATING), 0);
    SkinBroadCast(this, done);
    Perform(SM_SKINCMD, MAKEWPARAM(1, AC_REPAINTIFMOVED), 0);
}

void TsScrollBox::OnVSBChange(TObject*, int OldValue)
{
    if (!FVSBar)
        return;
    FVSBar->PaintLocked = true;
    MoveContent(0, OldValue - FVSBar->Position());
    FVSBar->PaintLocked = false;
    FScrolling = false;
    if (HandleAllocated())
        Perform(WM_NCPAINT, 0, 0);
    if (OnAfterScroll)
        OnAfterScroll(this);
}

void TsScrollBox::OnHSBChange(TObject*, int OldValue)
{
    if (!FHSBar)
        return;
    FHSBar->PaintLocked = true;
    MoveContent(OldValue - FHSBar->Position(), 0);
    FHSBar->PaintLocked = false;
    FScrolling = false;
    if (HandleAllocated())
        Perform(WM_NCPAINT, 0, 0);
    if (OnAfterScroll)
        OnAfterScroll(this);
}

void TsScrollBox::ScrollBy(int DeltaX, int DeltaY)
{
    if (!Skinned()) {
        inherited::ScrollBy(DeltaX, DeltaY);
        return;
    }
    MoveContent(DeltaX, DeltaY);
    // The bars follow the content without scrolling it again.
    auto follow = [](TsScrollBar* bar, int delta) {
        if (!bar || delta == 0)
            return;
        bar->ChangeLocked = true;
        bar->PaintLocked = true;
        bar->SetPosition(bar->Position() - delta);
        bar->ChangeLocked = false;
        bar->PaintLocked = false;
    };
    follow(FVSBar, DeltaY);
    follow(FHSBar, DeltaX);
    FScrolling = false;
    if (HandleAllocated())
        Perform(WM_NCPAINT, 0, 0);
    if (OnAfterScroll)
        OnAfterScroll(this);
}

// --- Painting ---------------------------------------------------------------------------------------

void TsScrollBox::PrepareCache()
{
    FCommonData->InitCacheBmp();
    PaintItem(FCommonData.get(), GetParentCache(FCommonData.get()), false, 0, Rect(0, 0, Width(), Height()),
              TPoint{Left(), Top()}, FCommonData->FCacheBmp.get(), false);
}

void TsScrollBox::Paint()
{
    // The positions the native bars had before the skin came are taken over once.
    if (FSavedVPos && FVSBar)
        FVSBar->SetPosition(FSavedVPos);
    FSavedVPos = 0;
    if (FSavedHPos && FHSBar)
        FHSBar->SetPosition(FSavedHPos);
    FSavedHPos = 0;
    if (!FCommonData->BGChanged || FCommonData->Updating)
        return;
    PrepareCache();
    if (OnPaint)
        OnPaint(FCommonData->FCacheBmp.get());
    for (TsScrollBar* bar : {FVSBar, FHSBar})
        if (bar) {
            bar->RepaintNeeded = true;
            bar->UpdateBar();
        }
    FCommonData->BGChanged = false;
}

void TsScrollBox::WMPaint(TMessage& Message)
{
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps{};
    if (!given)
        BeginPaint(Handle(), &ps);
    HDC dc = given ? given : GetDC(Handle());
    TsCommonData* sd = FCommonData.get();
    sd->Updating = sd->GetUpdating();
    if (Ready() && !sd->Updating && !FScrolling) {
        FCanvas->SetHandle(dc);
        Paint();
        const int i = Indent();
        CopyWinControlCache(this, sd, Rect(i, i, 0, 0), Rect(0, 0, Width(), Height()), dc, true);
        ::PaintControls(dc, this, true, TPoint{0, 0});
        SetParentUpdated(this);
        FCanvas->SetHandle(nullptr);
    }
    if (!given) {
        ReleaseDC(Handle(), dc);
        EndPaint(Handle(), &ps);
    }
    Message.Result = 0;
}

void TsScrollBox::WMNCPaint(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (!Ready() || sd->Updating || FScrolling)
        return;
    // Painted into a context when one is given (WM_PRINT), else into the window's own.
    const DWORD type = Message.WParam > 1 ? GetObjectType(reinterpret_cast<HGDIOBJ>(Message.WParam)) : 0;
    const bool given = type == OBJ_DC || type == OBJ_MEMDC;
    HDC dc = given ? reinterpret_cast<HDC>(Message.WParam) : GetWindowDC(Handle());
    if (sd->BGChanged) {
        PrepareCache();
        if (OnPaint)
            OnPaint(sd->FCacheBmp.get());
    }
    UpdateCorners(sd, 0);
    const int i = Indent(), w = Width(), h = Height();
    HDC cache = sd->FCacheBmp->Canvas()->Handle();
    BitBlt(dc, 0, 0, i, h, cache, 0, 0, SRCCOPY);
    BitBlt(dc, i, 0, w - i, i, cache, i, 0, SRCCOPY);
    BitBlt(dc, i, h - i, w - i, i, cache, i, h - i, SRCCOPY);
    BitBlt(dc, w - i, i, i, h - 2 * i, cache, w - i, i, SRCCOPY);
    // The square between two bars shows the box's background.
    if (FVSBar && FHSBar && FVSBar->Visible() && FHSBar->Visible()) {
        const int x = w - i - FVSBar->Width(), y = h - i - FHSBar->Height();
        BitBlt(dc, x, y, FVSBar->Width(), FHSBar->Height(), cache, x, y, SRCCOPY);
    }
    if (!given)
        ReleaseDC(Handle(), dc);
    Message.Result = 0;
}

void TsScrollBox::WMScroll(TMessage& Message, TsScrollBar* Bar)
{
    // Only thumb positions move a skinned box; the bar does the scrolling.
    const WORD code = Message.WParamLo;
    if (Bar && (code == SB_THUMBPOSITION || code == SB_THUMBTRACK))
        Bar->SetPosition(static_cast<short>(Message.WParamHi));
    Message.Result = 0;
}

void TsScrollBox::Dispatch(TMessage& Message)
{
    if (Skinned()) {
        switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); return;
        case WM_NCPAINT: WMNCPaint(Message); return;
        case WM_PRINT: Perform(WM_NCPAINT, Message.WParam, Message.LParam); return;
        case WM_VSCROLL: WMScroll(Message, FVSBar); return;
        case WM_HSCROLL: WMScroll(Message, FHSBar); return;
        default: break;
        }
    }
    switch (Message.Msg) {
    case WM_NCHITTEST: DefaultHandler(Message); return;
    case WM_MOUSEWHEEL:
        inherited::Dispatch(Message);
        RefreshScrolls();
        return;
    default: inherited::Dispatch(Message);
    }
}

void TsScrollBox::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD && Message.WParamHi < 19) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: {
            const bool wasSkinned = sd->SkinIndex >= 0;
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            if (!wasSkinned)
                InitScrolls();
            return;
        }
        case AC_REMOVESKIN:
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            if (!ComponentState().Contains(csDestroying)) {
                sd->SkinIndex = -1;
                sd->BorderIndex = -1;
                // The content goes back to where the native bars, shown again as they were,
                // take it from.
                ClearOffset(sbVertical);
                ClearOffset(sbHorizontal);
                FreeHostBar(FVSBar);
                FreeHostBar(FHSBar);
                if (FScrollsInitialised) {
                    VertScrollBar()->SetVisible(FSavedVVisible);
                    HorzScrollBar()->SetVisible(FSavedHVisible);
                }
                FScrollsInitialised = false;
                Invalidate();
            }
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
            RefreshScrolls();
            SkinBroadCast(this, Message);
            return;
        case AC_PARENTUPDATED:
            sd->Updating = false;
            if (HandleAllocated()) {
                Perform(WM_PAINT, 0, 0);
                Perform(WM_NCPAINT, 0, 0);
            }
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        case AC_URGENTPAINTING:
            CommonWndProc(Message, sd);
            if (sd->UrgentPainting) {
                sd->InitCacheBmp();
                PaintItem(sd, GetParentCache(sd), false, 0, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()},
                          sd->FCacheBmp.get(), true);
                sd->BGChanged = false;
            }
            return;
        case AC_FULLREPAINT:
            if (HandleAllocated()) {
                Perform(WM_PAINT, 0, 0);
                Perform(WM_NCPAINT, 0, 0);
            }
            break;
        default: break;
        }
    }
    if (!Ready()) {
        inherited::WndProc(Message);
        return;
    }
    const bool skinned = Skinned();
    if (skinned) {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO) {
            GlobalCacheInfo = TCacheInfo{sd->FCacheBmp.get(), Indent(), Indent(), true};
            return;
        }
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETUPDATING) {
            Message.LParam = sd->BGChanged || sd->Updating ? 1 : 0;
            return;
        }
        switch (Message.Msg) {
        case WM_ERASEBKGND: Message.Result = 1; return;
        case WM_WINDOWPOSCHANGING:
            if (sd->Updating || FScrolling)
                return;
            RefreshScrolls();
            break;
        case WM_MOUSEWHEEL:
        case WM_EXITSIZEMOVE:
        case CM_ENABLEDCHANGED:
        case WM_COMMAND:
            if (!FScrolling)
                RefreshScrolls();
            break;
        case WM_PARENTNOTIFY:
            if (Message.WParamLo == WM_CREATE || Message.WParamLo == WM_DESTROY)
                RefreshScrolls();
            break;
        case CM_VISIBLECHANGED:
            sd->BGChanged = true;
            if (!FScrolling)
                RefreshScrolls();
            break;
        case CM_ENTER:
        case CM_EXIT:
            sd->BeginUpdate();
            inherited::WndProc(Message);
            sd->EndUpdate();
            return;
        default: break;
        }
    }
    if (CommonWndProc(Message, sd))
        return;
    inherited::WndProc(Message);
    if (!Skinned())
        return;
    switch (Message.Msg) {
    case WM_SIZE:
        if (Visible()) {
            Perform(WM_NCPAINT, 0, 0);
            if (!FScrolling)
                RefreshScrolls();
        }
        break;
    case WM_WINDOWPOSCHANGED:
        // After the bounds took the new place, so that the bars follow it.
        if (!FScrolling)
            RefreshScrolls();
        break;
    case CM_CONTROLLISTCHANGE: RefreshScrolls(); break;
    default: break;
    }
}
