#include "sFrameAdapter.h"

#include <algorithm>

#include "Menus.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

bool IsGoing(const TComponent* C) { return C && C->ComponentState().Contains(csDestroying); }

bool SkinActive() { return sSkinData && sSkinData->Active; }

} // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner)
    : TComponent(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    if (FCommonData->SkinSection().empty() || SameText(FCommonData->SkinSection(), ClassName()))
        FCommonData->SetSkinSection("GROUPBOX");
    FCommonData->COC = 226;
    Frame = dynamic_cast<TCustomFrame*>(AOwner);
    if (!Frame) {
        ShowError("TsFrameAdapter adapter must be placed on the handled frame");
        return;
    }
    FCommonData->FOwnerControl = Frame;
    SavedVertVisible = Frame->VertScrollBar()->Visible() ? 1 : 0;
    SavedHorzVisible = Frame->HorzScrollBar()->Visible() ? 1 : 0;
    if (SkinActive())
        HideOwnBars();
    FHook.Hook(Frame, TWndMethod(this, &TsFrameAdapter::NewWndProc));
}

TsFrameAdapter::~TsFrameAdapter() = default;

void TsFrameAdapter::AfterConstruction()
{
    inherited::AfterConstruction();
    if (Frame && FrameHandled())
        FCommonData->UpdateIndexes();
}

void TsFrameAdapter::BeforeDestruction()
{
    if (Frame && FHook.Hooked() && !IsGoing(Frame)) {
        // The frame stays: its content in place and its own bars as they were.
        ClearOffset(sbVertical);
        ClearOffset(sbHorizontal);
        ShowOwnBars();
    }
    FHook.Release();
    Frame = nullptr;
    FCommonData->FOwnerControl = nullptr;
    inherited::BeforeDestruction();
}

void TsFrameAdapter::Loaded()
{
    inherited::Loaded();
    if (!Frame || !FrameHandled())
        return;
    FCommonData->UpdateIndexes();
    if (SkinActive())
        HookPopups();
}

void TsFrameAdapter::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == VertBar)
        VertBar = nullptr;
    if (AComponent == HorzBar)
        HorzBar = nullptr;
}

bool TsFrameAdapter::FrameHandled() { return Frame && GetBoolMsg(Frame, AC_ISSKINNED); }

bool TsFrameAdapter::Skinned()
{
    return Frame && !IsGoing(this) && !IsGoing(Frame) && SkinActive() && FCommonData->Skinned();
}

void TsFrameAdapter::HookPopups()
{
    TsSkinManager* manager = sSkinData ? sSkinData->DefaultManager : nullptr;
    if (!Frame || !manager || !manager->SkinnedPopups() || !manager->SkinableMenus())
        return;
    for (int i = 0; i < Frame->ComponentCount(); ++i)
        if (auto* popup = dynamic_cast<TPopupMenu*>(Frame->Components(i)))
            manager->SkinableMenus()->HookPopupMenu(popup, true);
}

void TsFrameAdapter::HideOwnBars()
{
    if (FOwnBarsHidden || !Frame)
        return;
    FOwnBarsHidden = true;
    Frame->VertScrollBar()->SetVisible(false);
    Frame->HorzScrollBar()->SetVisible(false);
}

void TsFrameAdapter::ShowOwnBars()
{
    if (!FOwnBarsHidden || !Frame)
        return;
    FOwnBarsHidden = false;
    Frame->VertScrollBar()->SetVisible(SavedVertVisible != 0);
    Frame->HorzScrollBar()->SetVisible(SavedHorzVisible != 0);
}

void TsFrameAdapter::ToChildren(WORD Command, WORD Argument)
{
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(Argument, Command), 0);
    Frame->Broadcast(m);
}

// --- The window procedure ----------------------------------------------------------------------

void TsFrameAdapter::NewWndProc(TMessage& Message)
{
    if (!Frame)
        return;
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SkinBroadCast(Frame, Message);
            HookPopups();
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            // The content back in place and the bars hidden before the frame's own come back.
            ClearOffset(sbVertical);
            ClearOffset(sbHorizontal);
            ShowOwnBars();
            SkinBroadCast(Frame, Message);
            if (Frame->HandleAllocated())
                RedrawWindow(Frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            SkinBroadCast(Frame, Message);
            if (Skinned())
                HideOwnBars();
            Frame->Invalidate();
            if (!Scrolling)
                RefreshScrolls();
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!Skinned()) {
        OldWndProc(Message);
        return;
    }
    if (Message.Msg == SM_SKINCMD)
        SkinCommand(Message);
    else
        SkinnedMessage(Message);
}

void TsFrameAdapter::SkinCommand(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    switch (Message.WParamHi) {
    case AC_GETCACHEINFO: GlobalCacheInfo = TCacheInfo{sd->FCacheBmp.get(), 0, 0, true}; break;
    case AC_PARENTUPDATED:
        sd->Updating = false;
        Frame->Perform(WM_PAINT, 0, 0);
        break;
    case AC_SETUPDATING:
        sd->Updating = Message.WParamLo == 1;
        for (int i = 0; i < Frame->ControlCount(); ++i)
            Frame->Controls(i)->Perform(Message.Msg, Message.WParam, Message.LParam);
        break;
    case AC_URGENTPAINTING:
        sd->UrgentPainting = (Message.WParamLo & 0xFF) != 0;
        if (sd->UrgentPainting)
            PaintAll();
        CommonWndProc(Message, sd);
        break;
    case AC_GETUPDATING: Message.LParam = sd->Updating ? 1 : 0; break;
    case AC_SETBGCHANGED:
        if (BgIsTransparent(sd))
            sd->BGChanged = true;
        break;
    case AC_ISTEXTURED: {
        if (!IsValidSkinIndex(sd->SkinIndex)) {
            Message.LParam = 0;
            break;
        }
        const TsGeneralData& g = gd[static_cast<std::size_t>(sd->SkinIndex)];
        Message.LParam = g.GradientPercent + g.ImagePercent >= 1 || sd->RepaintIfMoved() ? 1 : 0;
        break;
    }
    // The frame's visible centre colour, mixed over its parent's like every control's.
    case AC_GETCENTERCOLOR: CommonMessage(Message, sd); break;
    default: break;
    }
}

void TsFrameAdapter::SkinnedMessage(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_MOVE:
    case WM_SIZE: {
        sd->BGChanged = Message.Msg == WM_SIZE || sd->BGChanged || sd->RepaintIfMoved();
        const bool changed = sd->BGChanged;
        if (changed)
            ToChildren(AC_SETUPDATING, 1);
        OldWndProc(Message);
        if (changed) {
            // Content scrolled to its end moves when the frame grows: all of it is painted anew.
            const bool atEnd = (VertBar && VertBar->Position() == VertBar->Max() && VertBar->Position() > 0) ||
                               (HorzBar && HorzBar->Position() == HorzBar->Max() && HorzBar->Position() > 0);
            if (atEnd)
                Frame->Repaint();
            ToChildren(AC_SETUPDATING, 0);
        }
        return;
    }
    case WM_WINDOWPOSCHANGED:
        // The bars follow the frame once its bounds have taken the new place (they are still
        // the old ones while the size and move messages go by).
        OldWndProc(Message);
        if (!Scrolling)
            RefreshScrolls();
        return;
    case WM_PAINT: {
        if (!Frame->Parent()) {
            OldWndProc(Message);
            return;
        }
        const bool changed = sd->BGChanged;
        OurPaintHandler(Message);
        if (changed && !Scrolling)
            RefreshScrolls();
        if (sd->UrgentPainting)
            FinishUrgentPainting(Frame);
        return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        Scrolling = 1;
        OldWndProc(Message);
        Scrolling = 0;
        Frame->Repaint();
        return;
    case CM_VISIBLECHANGED:
        sd->BGChanged = true;
        OldWndProc(Message);
        SendAMessage(Frame, AC_REPAINT);
        if (!Scrolling)
            RefreshScrolls();
        return;
    default: OldWndProc(Message);
    }
}

// --- Painting ------------------------------------------------------------------------------------

void TsFrameAdapter::PaintAll()
{
    TsCommonData* sd = FCommonData.get();
    if (!sd->BGChanged)
        return;
    sd->InitCacheBmp();
    if (IsValidSkinIndex(sd->SkinIndex))
        PaintItem(sd, GetParentCache(sd), false, 0, Frame->ClientRect(), TPoint{Frame->Left(), Frame->Top()},
                  sd->FCacheBmp.get(), false);
    sd->BGChanged = false;
}

void TsFrameAdapter::OurPaintHandler(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    const HWND wnd = Frame->Handle();
    const HDC given = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps{};
    if (!given)
        BeginPaint(wnd, &ps);
    // The whole frame, also when the paint was asked for by a message (AC_PARENTUPDATED).
    const HDC dc = given ? given : GetDC(wnd);
    const int saved = SaveDC(dc);
    sd->SetUpdating(sd->GetUpdating());
    if (!sd->Updating) {
        TWinControl* parent = Frame->Parent();
        sd->HalfVisible = false;
        if (sd->RepaintIfMoved() && parent) {
            const TRect client = parent->ClientRect();
            const TPoint a{Frame->Left() + 1, Frame->Top() + 1};
            const TPoint b{Frame->Left() + Frame->Width() - 1, Frame->Top() + Frame->Height() - 1};
            sd->HalfVisible = !PtInRect(&client, a) || !PtInRect(&client, b);
        }
        const bool changed = sd->BGChanged;
        if (changed && !sd->UrgentPainting)
            PaintAll();
        if (sd->FCacheBmp && !sd->FCacheBmp->Empty()) {
            UpdateCorners(sd, 0);
            CopyWinControlCache(Frame, sd, Rect(0, 0, 0, 0), Rect(0, 0, Frame->Width(), Frame->Height()), dc, false);
            PaintControls(dc, Frame, changed, TPoint{0, 0});
        }
        SetParentUpdated(Frame);
    }
    RestoreDC(dc, saved);
    if (!given) {
        ReleaseDC(wnd, dc);
        EndPaint(wnd, &ps);
    }
    Message.Result = 0;
}

// --- Scrolling ----------------------------------------------------------------------------------

int TsFrameAdapter::ContentRange(TScrollBarKind Kind)
{
    // The frame's own range follows its children even while its bars are hidden; what the
    // skinned bar has scrolled away is part of the content too.
    Frame->UpdateScrollBars();
    if (Kind == sbVertical)
        return Frame->VertScrollBar()->Range() + (VertBar ? VertBar->Position() : 0);
    return Frame->HorzScrollBar()->Range() + (HorzBar ? HorzBar->Position() : 0);
}

bool TsFrameAdapter::ScrollBarVisible(TScrollBarKind Kind)
{
    const int v = ContentRange(sbVertical) - Frame->ClientHeight();
    const int h = ContentRange(sbHorizontal) - Frame->ClientWidth();
    if (Kind == sbVertical)
        return v + (h > 0 ? GetSystemMetrics(SM_CYHSCROLL) : 0) > 0;
    return h + (v > 0 ? GetSystemMetrics(SM_CXVSCROLL) : 0) > 0;
}

TsScrollInfo TsFrameAdapter::GetVScrollInfo()
{
    TsScrollInfo info;
    if (!SavedVertVisible)
        return info;
    info.Range = ContentRange(sbVertical);
    info.Page = Frame->ClientHeight() - (ScrollBarVisible(sbHorizontal) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    info.Max = info.Range - info.Page;
    if (info.Max >= 1) {
        const int l = Frame->Left(), t = Frame->Top(), w = Frame->Width();
        info.Bounds = Rect(l + w - GetSystemMetrics(SM_CXVSCROLL), t, l + w, t + Frame->ClientHeight());
        info.Visible = 1;
    }
    return info;
}

TsScrollInfo TsFrameAdapter::GetHScrollInfo()
{
    TsScrollInfo info;
    if (!SavedHorzVisible)
        return info;
    info.Range = ContentRange(sbHorizontal);
    info.Page = Frame->ClientWidth() - (ScrollBarVisible(sbVertical) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    info.Max = info.Range - info.Page;
    if (info.Max >= 1) {
        const int l = Frame->Left(), t = Frame->Top(), h = Frame->Height();
        info.Bounds = Rect(l, t + h - GetSystemMetrics(SM_CYHSCROLL), l + Frame->ClientWidth(), t + h);
        info.Visible = 1;
    }
    return info;
}

void TsFrameAdapter::RefreshScrolls()
{
    if (!Frame || IsGoing(this) || !ControlIsReady(Frame) || !Frame->HandleAllocated())
        return;
    const TsScrollInfo v = GetVScrollInfo(), h = GetHScrollInfo();
    if (!SkinActive() || !Frame->Visible()) {
        ClearOffset(sbVertical);
        ClearOffset(sbHorizontal);
        return;
    }
    if (!v.Visible)
        ClearOffset(sbVertical);
    if (!h.Visible)
        ClearOffset(sbHorizontal);
    auto place = [this](TsScrollBar*& Bar, TScrollBarKind Kind, const TsScrollInfo& Info, TRect Bounds) {
        if (!Info.Visible)
            return;
        TControlScrollBar* own = Kind == sbVertical ? Frame->VertScrollBar() : Frame->HorzScrollBar();
        if (!Bar) {
            TsScrollBar* made =
                MakeHostBar(Frame, Kind,
                            Kind == sbVertical ? TOnIntChangeEvent(this, &TsFrameAdapter::OnVSBChange)
                                               : TOnIntChangeEvent(this, &TsFrameAdapter::OnHSBChange));
            // Owned by the adapter, which goes with the frame. Taken from the frame first: the
            // frame tells its components (this adapter too) of the removal.
            Frame->RemoveComponent(made);
            InsertComponent(made);
            made->Smooth = own->Smooth() || own->Tracking();
            Bar = made;
        }
        Bar->PaintLocked = true;
        // A range shrunk below what is scrolled away brings the content back with the bar.
        Bar->SetParams(std::min(Bar->Position(), Info.Max), 0, Info.Max);
        Bar->SmallChange = own->Increment;
        Bar->SetPageSize(Info.Page);
        Bar->LargeChange = 80;
        Bar->SetBoundsRect(Bounds);
        Bar->SetVisible(true);
        Bar->BringToFront();
        Bar->RepaintNeeded = true;
        Bar->UpdateBar();
    };
    TRect vb = v.Bounds, hb = h.Bounds;
    if (h.Visible)
        vb.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    if (v.Visible)
        hb.right -= GetSystemMetrics(SM_CXVSCROLL);
    place(VertBar, sbVertical, v, vb);
    place(HorzBar, sbHorizontal, h, hb);
}

void TsFrameAdapter::ClearOffset(TScrollBarKind Kind)
{
    TsScrollBar* bar = Kind == sbVertical ? VertBar : HorzBar;
    if (!bar)
        return;
    // The content is moved back here, also when no skin is left to have the bar tell it.
    const int old = bar->Position();
    bar->ChangeLocked = true;
    bar->SetPosition(0);
    bar->ChangeLocked = false;
    if (bar->Position() != old) {
        if (Kind == sbVertical)
            OnVSBChange(bar, old);
        else
            OnHSBChange(bar, old);
    }
    bar->SetVisible(false);
}

void TsFrameAdapter::MoveContent(TsScrollBar* Bar, int Dx, int Dy)
{
    Scrolling = 1;
    Bar->PaintLocked = true;
    ToChildren(AC_SETUPDATING, 1);
    if (Frame->HandleAllocated()) {
        // An empty clip: no pixels move, only the windowed children.
        const RECT clip{-1, -1, 0, 0};
        ScrollWindowEx(Frame->Handle(), Dx, Dy, nullptr, &clip, nullptr, nullptr, SW_SCROLLCHILDREN);
    }
    for (int i = 0; i < Frame->ControlCount(); ++i)
        if (TControl* c = Frame->Controls(i); !dynamic_cast<TWinControl*>(c))
            c->SetBounds(c->Left() + Dx, c->Top() + Dy, c->Width(), c->Height());
    if (Bar == VertBar || Bar == HorzBar) {
        Bar->PaintLocked = false;
        ToChildren(AC_SETUPDATING, 0);
        FCommonData->BGChanged = false;
    }
    Scrolling = 0;
}

void TsFrameAdapter::OnVSBChange(TObject*, int OldValue)
{
    if (VertBar)
        MoveContent(VertBar, 0, OldValue - VertBar->Position());
}

void TsFrameAdapter::OnHSBChange(TObject*, int OldValue)
{
    if (HorzBar)
        MoveContent(HorzBar, OldValue - HorzBar->Position(), 0);
}
