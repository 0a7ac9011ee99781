#include "sMemo.h"

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

TsMemo::TsMemo(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 7)
{
    SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
}

void TsMemo::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsMemo::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

int TsMemo::FirstLineIndex()
{
    // The whole answer: a memo may have more lines than 16 bits count.
    return static_cast<int>(Perform(EM_GETFIRSTVISIBLELINE));
}

void TsMemo::PrepareCache()
{
    PaintEditCache(SkinData(), ControlIsActive(SkinData()) ? 1 : 0, FDisabledKind, [] {});
}

void TsMemo::PaintBorder(HDC DC)
{
    PaintEditFrame(this, SkinData(), DC, [this] { PrepareCache(); }, VSBar, HSBar);
}

void TsMemo::FollowStateColor()
{
    TsCommonData* sd = SkinData();
    if (sd->CustomColor || !IsValidSkinIndex(sd->SkinIndex))
        return;
    const TsGeneralData& g = gd[static_cast<std::size_t>(sd->SkinIndex)];
    const TColor c = ControlIsActive(sd) ? g.HotColor : g.Color;
    if (c != Color())
        SetColor(c);
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
    PlaceEditBars(this, VSBar, HSBar, UseRightToLeftAlignment());
}

void TsMemo::OnVSBChange(TObject*, int)
{
    // A thumb position carries 16 bits, read as signed: a line past them is reached by scrolling
    // lines.
    if (VSBar->Position() > 0x7FFF && HandleAllocated()) {
        SendMessageA(Handle(), EM_LINESCROLL, 0, VSBar->Position() - FirstLineIndex());
        return;
    }
    SendHostScroll(this, VSBar);
}

void TsMemo::OnHSBChange(TObject*, int)
{
    SendHostScroll(this, HSBar);
}

void TsMemo::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SetCtl3D(true);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            FreeHostBar(VSBar);
            FreeHostBar(HSBar);
            RecreateWnd();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Repaint();
            RefreshScrolls();
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        TMemo::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        FollowStateColor();
        if (sd->GetUpdating())
            sd->SetUpdating(true);
        else
            PaintBorder();
        TMemo::WndProc(Message);
        RefreshScrolls();
        return;
    case WM_NCPAINT:
        if (sd->GetUpdating())
            sd->SetUpdating(true);
        else
            PaintBorder();
        return;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        // The native text and background into the client part of the window's picture.
        const int saved = SaveDC(dc);
        const TRect client = ClientRect();
        POINT origin{0, 0};
        ::ClientToScreen(Handle(), &origin);
        RECT window;
        GetWindowRect(Handle(), &window);
        OffsetViewportOrgEx(dc, origin.x - window.left, origin.y - window.top, nullptr);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        Perform(WM_PAINT, Message.WParam, Message.LParam);
        RestoreDC(dc, saved);
        PaintBorder(dc);
        return;
    }
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        TMemo::WndProc(Message);
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break; // the colour and frame of the look follow at the paint
    case WM_LBUTTONDOWN: FLeftDown = true; break;
    case WM_LBUTTONUP: FLeftDown = false; break;
    case WM_MOUSEMOVE:
        // A selection dragged by the mouse scrolls the memo.
        if (FLeftDown)
            RefreshScrolls();
        break;
    case WM_WINDOWPOSCHANGED: // the bars follow a move or a resize at once
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
        sd->Invalidate();
        RefreshScrolls();
        break;
    case WM_MOVE:
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
    default:
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED && sd->GetUpdating()) {
            sd->SetUpdating(false);
            Perform(WM_NCPAINT, 0, 0);
        } else if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_URGENTPAINTING && sd->UrgentPainting) {
            PrepareCache();
        }
        break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
