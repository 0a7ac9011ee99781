// The form's own scrolling while a skin is on it: the provider moves the children itself and shows
// skinned bars over the form's client edges, with a grip in the corner between them.
#include "sSkinProvider.h"

#include <algorithm>

#include "sMDIForm.h"
#include "sMaskData.h"
#include "sPanel.h"
#include "sScrollBar.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace {

// A bar of a skinned control lying on the form (it follows its host, not the form's scrolling).
bool IsHostBar(TControl* Control)
{
    auto* bar = dynamic_cast<TsScrollBar*>(Control);
    return bar && bar->HostControl;
}

// A bar moved from OldValue: the content follows by the difference, once (the guard), without the
// bar painting or reporting meanwhile.
template <class Move>
void ApplyBarChange(TsScrollBar* Bar, int OldValue, bool& Guard, int& Offset, Move MoveBy)
{
    if (!Bar || Guard)
        return;
    Guard = true;
    Bar->ChangeLocked = true;
    Bar->PaintLocked = true;
    const int d = OldValue - Bar->Position();
    Offset += d;
    MoveBy(d);
    Bar->PaintLocked = false;
    Bar->ChangeLocked = false;
    Guard = false;
}

} // namespace

int TsSkinProvider::Range(TScrollBarKind Kind)
{
    if (!FForm)
        return 0;
    // The content as it lies unscrolled: what the children reach plus what is scrolled away.
    int result = 0;
    for (int i = 0; i < FForm->ControlCount(); ++i) {
        TControl* c = FForm->Controls(i);
        if (!c->Visible() || (c->Align() != alNone && c->Align() != alTop) || c == FGrip || IsHostBar(c))
            continue;
        result = std::max(result, Kind == sbVertical ? c->Top() + c->Height() : c->Left() + c->Width());
    }
    if (Kind == sbVertical)
        return result - FVOffset + 2 + (FHBar ? FHBar->Height() : 0);
    return result - FHOffset + 2 + (FVBar ? FVBar->Width() : 0);
}

void TsSkinProvider::GetVScrollInfo(TsScrollInfo& Info)
{
    Info = TsScrollInfo{};
    if (!FormAutoScroll || !FForm || !FForm->VertScrollBar()->Visible())
        return;
    const int own = FForm->VertScrollBar()->Range();
    Info.Range = own ? std::max(FVRange, own) : FVRange;
    Info.Page = FForm->ClientHeight() - 4;
    Info.Max = Info.Range - Info.Page;
    Info.Position = -FVOffset;
    if (Info.Max < 1) {
        ClearOffset(sbVertical);
        return;
    }
    const int w = GetSystemMetrics(SM_CXVSCROLL), cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    Info.Bounds = FForm->UseRightToLeftAlignment() ? Rect(1, 1, w + 1, ch - 1) : Rect(cw - w, 0, cw, ch);
    Info.Visible = IsValidSkinIndex(FCommonData->SkinIndex) && FormVisible() && Info.Range > Info.Page + 4;
}

void TsSkinProvider::GetHScrollInfo(TsScrollInfo& Info)
{
    Info = TsScrollInfo{};
    if (!FormAutoScroll || !FForm || !FForm->HorzScrollBar()->Visible())
        return;
    const int own = FForm->HorzScrollBar()->Range();
    Info.Range = own ? std::max(FHRange, own) : FHRange;
    Info.Page = FForm->ClientWidth();
    Info.Max = Info.Range - Info.Page;
    Info.Position = -FHOffset;
    if (Info.Max < 1) {
        ClearOffset(sbHorizontal);
        return;
    }
    const int h = GetSystemMetrics(SM_CYHSCROLL), cw = FForm->ClientWidth(), ch = FForm->ClientHeight();
    Info.Bounds = Rect(0, ch - h, cw, ch);
    Info.Visible = IsValidSkinIndex(FCommonData->SkinIndex) && FormVisible() && Info.Range > Info.Page + 4;
}

void TsSkinProvider::RefreshScrolls()
{
    // An MDI parent's bars are its client's; a change of an MDI child changes them (and the
    // child icon item when the child was maximised or restored).
    if (FMDIForm) {
        FMDIForm->RefreshScrolls();
        return;
    }
    if (FForm && FForm->FormStyle() == fsMDIChild && MDISkinProvider && MDISkinProvider != this &&
        MDISkinProvider->FMDIForm && !FormDestroying() && !FormCreating()) {
        MDISkinProvider->FMDIForm->UpdateMDIIconItem();
        return;
    }
    if (!FForm || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || FormDestroying() ||
        FForm->ComponentState().Contains(csLoading) || FormCreating() || FForm->FormStyle() == fsMDIForm ||
        FForm->FormStyle() == fsMDIChild)
        return;
    // The ranges of the content as it stands now (a child may have grown since the last move).
    FVRange = Range(sbVertical);
    FHRange = Range(sbHorizontal);
    TsScrollInfo v, h;
    GetVScrollInfo(v);
    GetHScrollInfo(h);
    const bool skinned = sSkinData && sSkinData->Active && FormVisible();
    if (!skinned || !v.Visible) {
        ClearOffset(sbVertical);
        FreeHostBar(FVBar);
    }
    if (!skinned || !h.Visible) {
        ClearOffset(sbHorizontal);
        FreeHostBar(FHBar);
    }
    if (!skinned || !v.Visible || !h.Visible) {
        if (FGrip) {
            TsGrip* grip = FGrip;
            FGrip = nullptr;
            grip->Free();
        }
        if (!skinned)
            return;
    } else {
        if (!FGrip) {
            FGrip = Create<TsGrip>(this);
            FGrip->LinkedControl = FForm;
            FGrip->Transparent = true;
            FGrip->SetParent(FForm);
        }
        v.Bounds.bottom -= HeightOf(h.Bounds);
        if (FForm->UseRightToLeftAlignment())
            h.Bounds.left += WidthOf(v.Bounds);
        else
            h.Bounds.right -= WidthOf(v.Bounds);
        FGrip->SetBounds(v.Bounds.left, h.Bounds.top, WidthOf(v.Bounds), HeightOf(h.Bounds));
        FGrip->SetVisible(true);
    }
    auto place = [this](TsScrollBar*& Bar, TScrollBarKind Kind, const TsScrollInfo& Info) {
        if (!Info.Visible)
            return;
        if (!Bar) {
            Bar = MakeHostBar(FForm, Kind,
                              Kind == sbVertical ? TOnIntChangeEvent(this, &TsSkinProvider::OnVSBChange)
                                                 : TOnIntChangeEvent(this, &TsSkinProvider::OnHSBChange));
            // The form's bars lie on the form itself.
            Bar->SetParent(FForm);
        }
        Bar->PaintLocked = true;
        Bar->ChangeLocked = true;
        Bar->SetParams(std::clamp(Info.Position, 0, Info.Max), 0, Info.Max);
        Bar->SetPageSize(Info.Page);
        Bar->LargeChange = std::max(Info.Page, 1);
        Bar->ChangeLocked = false;
        // Content that shrank (or a client that grew) below what is scrolled away: the content
        // comes back as far as the bar had to.
        if (Bar->Position() != Info.Position) {
            if (Kind == sbVertical)
                OnVSBChange(Bar, Info.Position);
            else
                OnHSBChange(Bar, Info.Position);
        }
        Bar->SetBoundsRect(Info.Bounds);
        // A form bar that does not track scrolls the content where the slider is let go.
        Bar->Smooth = (Kind == sbVertical ? FForm->VertScrollBar() : FForm->HorzScrollBar())->Tracking();
        Bar->SetVisible(true);
        Bar->BringToFront();
        Bar->RepaintNeeded = true;
        Bar->UpdateBar();
    };
    place(FVBar, sbVertical, v);
    place(FHBar, sbHorizontal, h);
    if (FGrip)
        FGrip->BringToFront();
}

void TsSkinProvider::MDIChildGone()
{
    if (!FForm || FForm->FormStyle() != fsMDIChild || !MDISkinProvider || MDISkinProvider == this ||
        !MDISkinProvider->FMDIForm || !MDISkinProvider->FForm || !sSkinData || !sSkinData->Active)
        return;
    TsSkinProvider* parent = MDISkinProvider;
    parent->FMDIForm->UpdateMDIIconItem();
    parent->RepaintMenu();
    if (!parent->FForm->ActiveMDIChild() && parent->FForm->ClientHandle())
        SendMessageA(parent->FForm->ClientHandle(), WM_SIZE, 0, 0);
}

TsSkinProvider* TsSkinProvider::MDIParentProvider()
{
    if (!FForm || FForm->FormStyle() != fsMDIChild || !MDISkinProvider || MDISkinProvider == this ||
        !MDISkinProvider->FForm || !MDISkinProvider->FForm->HandleAllocated() || FormDestroying() ||
        MDISkinProvider->FormDestroying() || !sSkinData || !sSkinData->Active)
        return nullptr;
    return MDISkinProvider;
}

void TsSkinProvider::RefreshMDIFrame()
{
    if (!FForm || !FForm->HandleAllocated() || FormDestroying())
        return;
    FCommonData->EndUpdate();
    RepaintMenu();
    if (FMDIForm) {
        if (FForm->ClientHandle())
            SendMessageA(FForm->ClientHandle(), WM_NCPAINT, 0, 0);
        FMDIForm->RefreshScrolls();
    }
}

bool TsSkinProvider::MDIFrameStale()
{
    if (!FMDIForm || !FForm->HandleAllocated())
        return false;
    const HMENU bar = GetMenu(FForm->Handle());
    return FForm->Caption() != FPaintedCaption ||
           (bar && FPaintedBarItems >= 0 && GetMenuItemCount(bar) != FPaintedBarItems);
}

void TsSkinProvider::RepaintOtherMDIChildren()
{
    TsSkinProvider* parent = MDIParentProvider();
    if (!parent)
        return;
    for (int i = 0; i < parent->FForm->MDIChildCount(); ++i) {
        TCustomForm* child = parent->FForm->MDIChildren(i);
        if (child != FForm && child->HandleAllocated() && IsWindowVisible(child->Handle()))
            SendMessageA(child->Handle(), WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::ClearOffset(TScrollBarKind Kind)
{
    TsScrollBar* bar = Kind == sbVertical ? FVBar : FHBar;
    if (bar) {
        bar->ChangeLocked = true;
        bar->SetPosition(0);
        bar->ChangeLocked = false;
    }
    // The content goes back whichever way it was moved.
    int& offset = Kind == sbVertical ? FVOffset : FHOffset;
    if (offset != 0) {
        const int back = -offset;
        offset = 0;
        if (Kind == sbVertical)
            ScrollBy(0, back);
        else
            ScrollBy(back, 0);
    }
}

void TsSkinProvider::ScrollBy(int DX, int DY)
{
    if (!FForm || (DX == 0 && DY == 0))
        return;
    const bool shown = FormVisible();
    FForm->DisableAlign();
    try {
        std::vector<TControl*> children;
        for (int i = 0; i < FForm->ControlCount(); ++i)
            children.push_back(FForm->Controls(i));
        for (TControl* c : children) {
            if (c == FVBar || c == FHBar || c == FGrip || IsHostBar(c))
                continue;
            auto* w = dynamic_cast<TWinControl*>(c);
            if (shown && w && w->HandleAllocated())
                SetWindowPos(w->Handle(), nullptr, c->Left() + DX, c->Top() + DY, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            else
                c->SetBounds(c->Left() + DX, c->Top() + DY, c->Width(), c->Height());
        }
    } catch (...) {
        FForm->EnableAlign();
        throw;
    }
    FForm->EnableAlign();
}

void TsSkinProvider::OnVSBChange(TObject*, int OldValue)
{
    ApplyBarChange(FVBar, OldValue, FScrollGuard, FVOffset, [this](int d) { ScrollBy(0, d); });
}

void TsSkinProvider::OnHSBChange(TObject*, int OldValue)
{
    ApplyBarChange(FHBar, OldValue, FScrollGuard, FHOffset, [this](int d) { ScrollBy(d, 0); });
}
