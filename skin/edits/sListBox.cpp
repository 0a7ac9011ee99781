#include "sListBox.h"

#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {
// A left button held down in a list box (one for the process): moves then drag the selection.
bool ListMouseDown = false;
} // namespace

TsCustomListBox::TsCustomListBox(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 97)
{
}

void TsCustomListBox::SetItemIndex(int Value)
{
    inherited::SetItemIndex(Value);
}

void TsCustomListBox::Loaded()
{
    inherited::Loaded();
    RefreshScrolls();
}

void TsCustomListBox::RefreshBar(TsScrollBar*& Bar, int Kind, bool Wanted)
{
    SCROLLINFO si;
    Wanted = Wanted && GetNativeScrollInfo(this, Kind, si) && si.nMax > si.nMin;
    if (!Wanted) {
        if (Bar)
            Bar->SetVisible(false);
        return;
    }
    if (!Bar) {
        Bar = MakeHostBar(this, Kind == SB_VERT ? sbVertical : sbHorizontal,
                          Kind == SB_VERT ? TOnIntChangeEvent(this, &TsCustomListBox::OnVSBChange)
                                          : TOnIntChangeEvent(this, &TsCustomListBox::OnHSBChange));
        Bar->SetName(Name() + (Kind == SB_VERT ? "VSBar" : "HSBar"));
        if (Kind == SB_VERT)
            Bar->SetWidth(GetSystemMetrics(SM_CXVSCROLL) + 1);
        else
            Bar->SetHeight(GetSystemMetrics(SM_CYHSCROLL) + 1);
    }
    // The list scrolls by items: the vertical bar stands at the top item.
    if (Kind == SB_VERT && !FBarChanging)
        si.nPos = TopIndex();
    FillHostBar(Bar, si, Enabled());
    if (!Bar->Enabled()) {
        Bar->SetVisible(false);
        return;
    }
    if (Kind == SB_VERT)
        Bar->SetHeight(Height() - 4);
    else
        Bar->SetWidth(Width() - 4);
    RefreshScrollBounds();
    Bar->SetVisible(true);
    Bar->BringToFront();
    Bar->UpdateBar();
}

void TsCustomListBox::RefreshScrolls()
{
    if (!ControlIsReady(this) || ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading) ||
        (VSBar && VSBar->ComponentState().Contains(csDestroying)))
        return;
    if (!sSkinData->Active || !SkinData()->Skinned() || !Visible()) {
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
        return;
    }
    const int rows = ItemHeight() > 0 ? (Height() - 6) / ItemHeight() : 0;
    RefreshBar(VSBar, SB_VERT, Items()->Count() - rows > 0 && Columns() == 0);
    RefreshBar(HSBar, SB_HORZ, Columns() >= 1);
}

void TsCustomListBox::RefreshScrollBounds()
{
    if (VSBar)
        VSBar->SetBounds(UseRightToLeftAlignment() ? Left() + 2 : Left() + Width() - VSBar->Width() - 2, Top() + 2,
                         VSBar->Width(), VSBar->Height());
    if (HSBar)
        HSBar->SetBounds(Left() + 2, Top() + Height() - HSBar->Height() - 2, HSBar->Width(), HSBar->Height());
}

void TsCustomListBox::OnVSBChange(TObject*, int)
{
    FBarChanging = true;
    SetTopIndex(VSBar->Position());
    FBarChanging = false;
    if (OnVScroll)
        OnVScroll(this);
}

void TsCustomListBox::OnHSBChange(TObject*, int)
{
    FBarChanging = true;
    SendHostScroll(this, HSBar);
    FBarChanging = false;
}

void TsCustomListBox::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD) {
        const WORD command = Message.WParamHi;
        inherited::WndProc(Message);
        if (command == AC_REMOVESKIN) {
            RecreateWnd();
            RefreshScrolls();
        } else if (command == AC_REPAINT)
            RefreshScrolls();
        return;
    }
    inherited::WndProc(Message);
    if (!sSkinData->Active || !SkinData()->Skinned())
        return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: ListMouseDown = true; break;
    case WM_LBUTTONUP: ListMouseDown = false; break;
    case WM_MOUSEMOVE:
        if (ListMouseDown)
            RefreshScrolls();
        break;
    case WM_MOUSEWHEEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETTOPINDEX:
    case WM_KEYDOWN:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED: RefreshScrolls(); break;
    default: break;
    }
}
