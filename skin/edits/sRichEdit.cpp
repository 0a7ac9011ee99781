#include "sRichEdit.h"

#include <richedit.h>

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

TsRichEdit::TsRichEdit(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 7) {}

void TsRichEdit::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsRichEdit::CreateWnd()
{
    inherited::CreateWnd();
    SendMessageA(Handle(), EM_EXLIMITTEXT, 0, TextLimit);
}

void TsRichEdit::Loaded()
{
    inherited::Loaded();
    FollowSkinTextColor();
    RefreshScrolls();
}

void TsRichEdit::FollowSkinTextColor()
{
    TsCommonData* sd = SkinData();
    if (sd->Skinned() && !sd->CustomFont)
        SetDefAttributesColor(gd[static_cast<std::size_t>(sd->SkinIndex)].FontColor[0]);
}

void TsRichEdit::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

void TsRichEdit::PrepareCache()
{
    PaintEditCache(SkinData(), ControlIsActive(SkinData()) ? 1 : 0, FDisabledKind, [] {});
}

void TsRichEdit::PaintBorder()
{
    PaintEditFrame(this, SkinData(), nullptr, [this] { PrepareCache(); }, VSBar, HSBar);
}

void TsRichEdit::HideBars()
{
    for (TsScrollBar* bar : {VSBar, HSBar})
        if (bar)
            bar->SetVisible(false);
}

namespace {

// The native bar of that object (OBJID_VSCROLL or OBJID_HSCROLL) is available and takes room.
struct TNativeBar {
    bool Available = false;
    bool HasRoom = false;
};

TNativeBar NativeBar(HWND Wnd, LONG Object)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetScrollBarInfo(Wnd, Object, &info))
        return {};
    const RECT& r = info.rcScrollBar;
    return {(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0,
            (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0 && r.right > r.left && r.bottom > r.top};
}

} // namespace

void TsRichEdit::RefreshScrolls()
{
    if (ControlState().Contains(csCreating) || ComponentState().Contains(csDestroying) || !Parent() || FRefreshing)
        return;
    TFlagUp refreshing(FRefreshing);
    if (!sSkinData->Active || !SkinData()->Skinned() || !Visible() || Width() < 16 || Height() < 16 ||
        ScrollBars() == ssNone || !HandleAllocated()) {
        HideBars();
        return;
    }
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    // A direction the edit does not scroll is never read from the window; its record stays
    // empty for the size tests below.
    SCROLLINFO v{}, h{};
    const TNativeBar vn = NativeBar(Handle(), OBJID_VSCROLL), hn = NativeBar(Handle(), OBJID_HSCROLL);
    const TScrollStyle bars = ScrollBars();
    bool needV = (bars == ssVertical || bars == ssBoth) && GetNativeScrollInfo(this, SB_VERT, v) &&
                 (!HideScrollBars() || (vn.Available && v.nMax >= 2)) && vn.HasRoom;
    bool needH = (bars == ssHorizontal || bars == ssBoth) && GetNativeScrollInfo(this, SB_HORZ, h) &&
                 (!HideScrollBars() || (hn.Available && h.nMax >= 2)) && hn.HasRoom;
    // Text that fits needs no bar even while the native range is set (ranges count pixels).
    if (HideScrollBars()) {
        const bool vFits = Height() - 6 - cx > v.nMax;
        if (h.nMax < Width() - 6 - (vFits ? 0 : cy))
            needH = false;
        if (Height() - 6 - (needH ? cx : 0) > v.nMax)
            needV = false;
    }
    if (needV) {
        if (!VSBar) {
            VSBar = MakeHostBar(this, sbVertical, TOnIntChangeEvent(this, &TsRichEdit::OnVSBChange));
            VSBar->SetWidth(cx);
        }
        VSBar->SetHeight(Height() - (needH ? cy : 0) - 4);
        FillHostBar(VSBar, v, Enabled() && v.nMax >= 2 && vn.Available && v.nMax >= Height());
        VSBar->SmallChange = 16;
        if (!VSBar->Parent())
            VSBar->SetParent(Parent());
        VSBar->SetVisible(true);
        VSBar->BringToFront();
    } else if (VSBar) {
        VSBar->SetVisible(false);
    }
    if (needH) {
        if (!HSBar)
            HSBar = MakeHostBar(this, sbHorizontal, TOnIntChangeEvent(this, &TsRichEdit::OnHSBChange));
        HSBar->SetWidth(Width() - (needV ? cx : 0) - 4);
        FillHostBar(HSBar, h, Enabled() && !WordWrap() && h.nMax > 1 && hn.Available);
        HSBar->SmallChange = 16;
        HSBar->SetVisible(true);
    } else if (HSBar) {
        HSBar->SetVisible(false);
    }
    RefreshScrollBounds();
    for (TsScrollBar* bar : {VSBar, HSBar})
        if (bar && bar->Visible())
            bar->UpdateBar();
}

void TsRichEdit::RefreshScrollBounds()
{
    PlaceEditBars(this, VSBar, HSBar, BiDiMode() == bdRightToLeft);
}

void TsRichEdit::PassScroll(TsScrollBar* Bar, UINT Msg)
{
    if (!Bar || Bar->ScrollCode == -1 || !HandleAllocated())
        return;
    const bool locked = Bar->ChangeLocked;
    Bar->ChangeLocked = true;
    if (Bar->ScrollCode == SB_THUMBTRACK)
        Bar->ScrollCode = SB_THUMBPOSITION;
    SendMessageA(Handle(), Msg, MAKEWPARAM(Bar->ScrollCode, Bar->Position()), 0);
    Bar->ChangeLocked = locked;
}

void TsRichEdit::OnVSBChange(TObject*, int)
{
    PassScroll(VSBar, WM_VSCROLL);
}

void TsRichEdit::OnHSBChange(TObject*, int)
{
    PassScroll(HSBar, WM_HSCROLL);
}

void TsRichEdit::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SetCtl3D(true);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            if (ComponentState().Contains(csDestroying))
                break;
            FreeHostBar(VSBar);
            FreeHostBar(HSBar);
            CommonWndProc(Message, sd);
            if (!sd->CustomFont)
                SetDefAttributesColor(Font()->Color());
            RecreateWnd();
            return;
        case AC_REPAINT:
            if (!Visible())
                break;
            CommonWndProc(Message, sd);
            FollowSkinTextColor();
            if (HandleAllocated())
                RepaintFrame(Handle());
            RefreshScrolls();
            for (TsScrollBar* bar : {VSBar, HSBar})
                if (bar && bar->Visible())
                    bar->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_REPAINT), 0);
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        TRichEdit::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO)
        return;
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED && sd->GetUpdating()) {
        sd->SetUpdating(false);
        Perform(WM_NCPAINT, 0, 0);
        return;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        if (sd->BGChanged)
            PaintBorder();
        TRichEdit::WndProc(Message);
        RefreshScrolls();
        return;
    case WM_NCPAINT: PaintBorder(); return;
    case WM_PRINT:
        Perform(WM_PAINT, Message.WParam, Message.LParam);
        Perform(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: sd->Invalidate(); break;
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        TRichEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: FMouseDown = true; break;
    case WM_LBUTTONUP: FMouseDown = false; break;
    case WM_MOUSEMOVE:
        // A selection dragged by the mouse scrolls the edit.
        if (FMouseDown)
            RefreshScrolls();
        break;
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: // the framework's bounds are in step only here
    case WM_SETTEXT:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_INVALIDATE:
    case CM_CHANGED:
    case CM_CONTROLLISTCHANGE:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_VSCROLL: RefreshScrolls(); break;
    default: break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
