#include "sVclUtils.h"

#include <vector>

#include "ComCtrlsBars.h"
#include "ExtCtrlsPanels.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sConst.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sUtils.h"

const int AlignToInt[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};

namespace {

bool Destroying(const TComponent* C)
{
    return C->ComponentState().Contains(csDestroying);
}

// The children of a control as they are now.
std::vector<TControl*> ChildList(TWinControl* Control)
{
    if (!Control)
        return {};
    std::vector<TControl*> list(static_cast<std::size_t>(Control->ControlCount()));
    for (int i = 0; i < Control->ControlCount(); ++i)
        list[static_cast<std::size_t>(i)] = Control->Controls(i);
    return list;
}

// Whether Child is still one of Control's children (compared as a pointer: it may be gone).
bool StillChild(TWinControl* Control, const TControl* Child)
{
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (Control->Controls(i) == Child)
            return true;
    return false;
}

TMessage SkinCommand(int Cmd, int Argument = 0)
{
    return MakeMessage(SM_SKINCMD, MAKEWPARAM(Argument, Cmd), 0);
}

void UrgentPainting(TControl* Control, int Argument)
{
    if (!Control)
        return;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        if (w->HandleAllocated())
            SendMessageA(w->Handle(), SM_SKINCMD, MAKEWPARAM(Argument, AC_URGENTPAINTING), 0);
        for (TControl* child : ChildList(w))
            UrgentPainting(child, Argument);
    } else {
        Control->Perform(SM_SKINCMD, MAKEWPARAM(Argument, AC_URGENTPAINTING), 0);
    }
}

} // namespace

LRESULT SendAMessage(HWND Wnd, int Cmd)
{
    return SendMessageA(Wnd, SM_SKINCMD, MAKEWPARAM(0, Cmd), 0);
}

LRESULT SendAMessage(TControl* Control, int Cmd)
{
    if (!Control)
        return 0;
    if (auto* w = dynamic_cast<TWinControl*>(Control)) {
        if (Destroying(w) || !w->HandleAllocated())
            return 0;
        return SendAMessage(w->Handle(), Cmd);
    }
    return Control->Perform(SM_SKINCMD, MAKEWPARAM(0, Cmd), 0);
}

bool GetBoolMsg(TWinControl* Control, unsigned Cmd)
{
    if (!Control)
        return false;
    TMessage m = SkinCommand(static_cast<int>(Cmd));
    Control->WindowProc(m);
    return m.LParam == 1;
}

LRESULT SetBoolMsg(HWND Wnd, unsigned Cmd, bool Value)
{
    return SendMessageA(Wnd, SM_SKINCMD, MAKEWPARAM(Value ? 1 : 0, Cmd), 0);
}

void SkinBroadCast(TWinControl* Control, TMessage& Message)
{
    if (!Control)
        return;
    try {
        for (TControl* child : ChildList(Control)) {
            if (!StillChild(Control, child) || Destroying(child))
                continue;
            auto* w = dynamic_cast<TWinControl*>(child);
            if (!w) {
                child->Perform(Message.Msg, Message.WParam, Message.LParam);
            } else if (GetBoolMsg(w, AC_ISSKINNED)) {
                w->WindowProc(Message);
            } else {
                SkinBroadCast(w, Message);
            }
        }
    } catch (...) {
        // A broadcast ends quietly.
    }
}

void SendToProvider(TCustomForm* Form, TMessage& Message)
{
    if (!Form)
        return;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TsSkinProvider*>(Form->Components(i)); p && !Destroying(p)) {
            p->NewWndProc(Message);
            return;
        }
}

void RepaintFrame(HWND Wnd)
{
    if (!TPaintDeferral::Active())
        SendMessageA(Wnd, WM_NCPAINT, 0, 0);
    else
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void SetParentUpdated(TWinControl* Control)
{
    if (!Control)
        return;
    try {
        for (TControl* child : ChildList(Control))
            if (dynamic_cast<TWinControl*>(child) && StillChild(Control, child))
                child->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_PARENTUPDATED), 0);
    } catch (...) {
        // The loop ends quietly.
    }
}

void InitParentColor(TWinControl* Control)
{
    ParentCenterColor = clSkinKey;
    if (Control)
        SendAMessage(Control->Handle(), AC_GETCENTERCOLOR);
    ParentCenterColor = ColorToRGB(ParentCenterColor);
}

void StartUrgentPainting(TControl* Control)
{
    UrgentPainting(Control, 1);
}

void FinishUrgentPainting(TControl* Control)
{
    UrgentPainting(Control, 0);
}

void PaintControls(HDC DC, TWinControl* Owner, bool, const TPoint&)
{
    if (!Owner || !Owner->Visible() || Owner->ControlCount() == 0 || !sSkinData || !sSkinData->Active)
        return;
    RECT clip;
    GetClipBox(DC, &clip);
    if (clip.right <= clip.left || clip.bottom <= clip.top)
        return;
    GlobalCacheInfo.Ready = false;
    SendAMessage(Owner->Handle(), AC_GETCACHEINFO);
    const TCacheInfo ci = GlobalCacheInfo;
    if (!ci.Ready || !ci.Bmp)
        return;

    std::vector<TControl*> parts;
    for (TControl* c : ChildList(Owner)) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->Width() + c->Height() <= 0 || Destroying(c))
            continue;
        // Plain, check and drop-down tool buttons are painted by their bar.
        if (auto* b = dynamic_cast<TToolButton*>(c); b && b->Style() < tbsSeparator)
            continue;
        const TRect r = c->BoundsRect();
        if (RectVisible(DC, &r))
            parts.push_back(c);
    }
    if (parts.empty())
        return;

    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, Owner->Width(), Owner->Height());
    ReleaseDC(nullptr, screen);
    HDC mem = CreateCompatibleDC(DC);
    HGDIOBJ old = SelectObject(mem, bmp);
    HDC cache = ci.Bmp->Canvas()->Handle();
    for (TControl* c : parts) {
        if (c->ControlStyle().Contains(csOpaque)) {
            FillDC(mem, c->BoundsRect(), c->Color());
        } else {
            BitBlt(mem, c->Left(), c->Top(), c->Width(), c->Height(), cache, c->Left() + ci.X, c->Top() + ci.Y,
                   SRCCOPY);
        }
    }
    for (TControl* c : parts) {
        const int saved = SaveDC(mem);
        POINT org;
        GetWindowOrgEx(mem, &org);
        SetWindowOrgEx(mem, org.x - c->Left(), org.y - c->Top(), nullptr);
        IntersectClipRect(mem, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        SetWindowOrgEx(mem, org.x, org.y, nullptr);
        RestoreDC(mem, saved);
    }
    for (TControl* c : parts)
        if (GetPixel(mem, c->Left(), c->Top()) != static_cast<COLORREF>(clSkinKey))
            BitBlt(DC, c->Left(), c->Top(), c->Width(), c->Height(), mem, c->Left(), c->Top(), SRCCOPY);
    GlobalCacheInfo.Ready = false;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

bool ControlIsReady(TControl* Control)
{
    if (!Control)
        return false;
    const TComponentState cs = Control->ComponentState();
    const TControlState st = Control->ControlState();
    return !cs.Contains(csLoading) && !cs.Contains(csDestroying) && !st.Contains(csCreating) &&
           !st.Contains(csReadingState) && Control->Parent();
}

TCustomForm* GetOwnerForm(TComponent* Component)
{
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            return f;
    return nullptr;
}

TCustomFrame* GetOwnerFrame(TComponent* Component)
{
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* f = dynamic_cast<TCustomFrame*>(c))
            return f;
    return nullptr;
}

TComponent* GetControlByName(TWinControl* Owner, const AnsiString& Name)
{
    if (!Owner)
        return nullptr;
    if (Name.find('.') == AnsiString::npos)
        return Owner->FindComponent(Name);
    const TSysCharSet dot(".");
    const AnsiString frameName = ExtractWord(1, Name, dot), name = ExtractWord(2, Name, dot);
    if (frameName.empty() || name.empty())
        return nullptr;
    auto* frame = dynamic_cast<TCustomFrame*>(Owner->FindComponent(frameName));
    return frame ? frame->FindComponent(name) : nullptr;
}

int GetStringFlags(TControl* Control, TAlignment Alignment)
{
    if (!Control)
        return AlignToInt[Alignment] | DT_EXPANDTABS | DT_VCENTER;
    return Control->DrawTextBiDiModeFlags(AlignToInt[Alignment] | DT_EXPANDTABS | DT_VCENTER);
}

void RepaintsGraphicControls(TWinControl* Control)
{
    for (TControl* c : ChildList(Control))
        if (!dynamic_cast<TWinControl*>(c) && ControlIsReady(c))
            c->Repaint();
}

void RepaintsControls(TWinControl* Control, bool)
{
    try {
        for (TControl* c : ChildList(Control))
            if (dynamic_cast<TWinControl*>(c) && ControlIsReady(c))
                c->Invalidate();
    } catch (...) {
        // The loop ends quietly.
    }
}

void SetControlsEnabled(TWinControl* Control, bool Value)
{
    for (TControl* c : ChildList(Control))
        if (!dynamic_cast<TCustomPanel*>(c))
            c->SetEnabled(Value);
}

void SetPanelFocus(TWinControl* Control)
{
    if (!Control)
        return;
    std::vector<TWinControl*> list;
    Control->GetTabOrderList(list);
    for (TWinControl* w : list)
        if (w->Enabled() && w->TabStop()) {
            w->SetFocus();
            return;
        }
}

bool CheckPanelFilled(TCustomPanel* Panel)
{
    for (TControl* c : ChildList(Panel))
        if ((dynamic_cast<TEdit*>(c) || dynamic_cast<TComboBox*>(c)) && c->Text().empty())
            return false;
    return true;
}

void RepaintShadows(TWinControl*, TBitmap*) {}

TWindowPaint::TWindowPaint(HWND Wnd, HDC Given) : FWnd(Wnd), FGiven(Given)
{
    if (!FGiven)
        BeginPaint(FWnd, &FPaint);
    FDC = FGiven ? FGiven : GetDC(FWnd);
    FSaved = SaveDC(FDC);
}

namespace {

// The holds not yet released, of all controls.
int gHintHolds = 0;

} // namespace

void TsHintHold::Hold()
{
    if (FHeld || !Application)
        return;
    FHeld = true;
    if (gHintHolds++ > 0)
        return;
    AppShowHint = Application->ShowHint();
    Application->SetShowHint(false);
}

void TsHintHold::Release()
{
    if (!FHeld)
        return;
    FHeld = false;
    if (--gHintHolds == 0 && Application)
        Application->SetShowHint(AppShowHint);
}

TWindowPaint::~TWindowPaint()
{
    RestoreDC(FDC, FSaved);
    if (!FGiven) {
        ReleaseDC(FWnd, FDC);
        EndPaint(FWnd, &FPaint);
    }
}
