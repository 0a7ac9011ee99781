#include "sMemo.h"

#include "sMessages.h"
#include "sStyleSimply.h"

TsMemo::TsMemo(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 7)
{
}

void TsMemo::Loaded()
{
    inherited::Loaded();
    RefreshScrolls();
}

void TsMemo::RefreshScrolls()
{
    if (ControlState().Contains(csCreating) || ComponentState().Contains(csDestroying) || !Parent())
        return;
    if (!sSkinData->Active || !SkinData()->Skinned() || Width() < 16 || Height() < 16 || !Visible() ||
        !HandleAllocated()) {
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
        return;
    }
    SCROLLINFO v, h;
    const TScrollStyle bars = ScrollBars();
    const bool vShown = (bars == ssVertical || bars == ssBoth) && GetNativeScrollInfo(this, SB_VERT, v);
    const bool hShown = (bars == ssHorizontal || bars == ssBoth) && GetNativeScrollInfo(this, SB_HORZ, h);
    if (vShown) {
        if (!VSBar)
            VSBar = MakeHostBar(this, sbVertical, TOnIntChangeEvent(this, &TsMemo::OnVSBChange));
        VSBar->SetHeight(Height() - (hShown ? GetSystemMetrics(SM_CYHSCROLL) : 0) - 4);
        FillHostBar(VSBar, v, Enabled());
    } else
        FreeHostBar(VSBar);
    if (hShown) {
        if (!HSBar)
            HSBar = MakeHostBar(this, sbHorizontal, TOnIntChangeEvent(this, &TsMemo::OnHSBChange));
        HSBar->SetWidth(Width() - (vShown ? GetSystemMetrics(SM_CXVSCROLL) : 0) - 4);
        FillHostBar(HSBar, h, Enabled() && (!WordWrap() || Alignment() == taLeftJustify));
    } else
        FreeHostBar(HSBar);
    RefreshScrollBounds();
    for (TsScrollBar* bar : {VSBar, HSBar})
        if (bar) {
            bar->SetVisible(true);
            bar->BringToFront();
            bar->UpdateBar();
        }
    PaintHostCorner(this, VSBar, HSBar);
}

void TsMemo::RefreshScrollBounds()
{
    if (VSBar)
        VSBar->SetBounds(UseRightToLeftAlignment() ? Left() + 4 : Left() + Width() - VSBar->Width() - 2, Top() + 2,
                         VSBar->Width(), VSBar->Height());
    if (HSBar)
        HSBar->SetBounds(Left() + 2, Top() + Height() - HSBar->Height() - 2, HSBar->Width(), HSBar->Height());
}

void TsMemo::OnVSBChange(TObject*, int)
{
    SendHostScroll(this, VSBar);
}

void TsMemo::OnHSBChange(TObject*, int)
{
    SendHostScroll(this, HSBar);
}

void TsMemo::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD) {
        const WORD command = Message.WParamHi;
        if (command == AC_REMOVESKIN) {
            inherited::WndProc(Message);
            FreeHostBar(VSBar);
            FreeHostBar(HSBar);
            RecreateWnd();
            return;
        }
        inherited::WndProc(Message);
        if (command == AC_REPAINT)
            RefreshScrolls();
        return;
    }
    inherited::WndProc(Message);
    if (!sSkinData->Active || !SkinData()->Skinned())
        return;
    switch (Message.Msg) {
    case WM_PAINT: RefreshScrolls(); break;
    case WM_NCPAINT: PaintHostCorner(this, VSBar, HSBar); break;
    case WM_LBUTTONDOWN: FLeftDown = true; break;
    case WM_LBUTTONUP: FLeftDown = false; break;
    case WM_MOUSEMOVE:
        if (FLeftDown)
            RefreshScrolls();
        break;
    case WM_HSCROLL: RefreshScrolls(); break;
    case WM_VSCROLL:
        RefreshScrolls();
        if (OnVScroll)
            OnVScroll(this);
        break;
    case EM_SETSEL:
        if (OnScrollCaret)
            OnScrollCaret(this);
        break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        SkinData()->Invalidate();
        RefreshScrolls();
        break;
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
    case WM_SETTEXT:
    case WM_MOUSEWHEEL:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case CM_CONTROLLISTCHANGE:
    case CM_INVALIDATE:
    case CM_CHANGED:
    case CN_KEYDOWN:
    case CN_KEYUP: RefreshScrolls(); break;
    default: break;
    }
}
