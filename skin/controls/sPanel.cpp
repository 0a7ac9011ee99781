#include "sPanel.h"

#include "Forms.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

// --- TsPanel -------------------------------------------------------------------------------------

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
    FCommonData->COC = 51;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsPanel::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

void TsPanel::PaintWindow(HDC DC)
{
    inherited::PaintWindow(DC);
    OurPaint(DC);
}

void TsPanel::WriteText(const TRect& R)
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    const int h = canvas->TextHeight("W");
    TRect r = R;
    r.top = (R.top + R.bottom - h) / 2;
    r.bottom = r.top + h;
    WriteTextEx(canvas, Caption().c_str(), Enabled(), r, GetStringFlags(this, Alignment()) | DT_NOPREFIX,
                FCommonData.get(), false);
}

void TsPanel::PaintCache()
{
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    PaintItem(sd, GetParentCache(sd), false, 0, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()},
              sd->FCacheBmp.get(), false);
    WriteText(ClientRect());
    sd->BGChanged = false;
}

void TsPanel::OurPaint(HDC DC)
{
    TsCommonData* sd = FCommonData.get();
    if (ComponentState().Contains(csDestroying) || !sd || !sd->Skinned())
        return;
    if (Parent() && Parent()->ControlState().Contains(csCreating))
        return;
    sd->Updating = sd->GetUpdating();
    // The parent's AC_PARENTUPDATED brings the paint back.
    if (sd->Updating)
        return;
    const bool rebuild = sd->HalfVisible || sd->BGChanged;
    sd->HalfVisible = false;
    if (sd->RepaintIfMoved() && Parent()) {
        const TRect client = Parent()->ClientRect();
        const POINT first{Left() + 1, Top() + 1}, last{Left() + Width() - 1, Top() + Height() - 1};
        sd->HalfVisible = !PtInRect(&client, first) || !PtInRect(&client, last);
    }
    // Urgent painting painted the cache already, unless there is none of this size yet.
    const bool sized = sd->FCacheBmp->Width() == Width() && sd->FCacheBmp->Height() == Height();
    if (rebuild && (!sd->UrgentPainting || !sized))
        PaintCache();
    if (OnPaint)
        OnPaint(this, sd->FCacheBmp->Canvas());
    UpdateCorners(sd, 0);
    HDC target = DC ? DC : Canvas()->Handle();
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), target, true);
    ::PaintControls(target, this, rebuild && sd->RepaintIfMoved(), TPoint{0, 0});
    SetParentUpdated(this);
}

void TsPanel::SkinnedPaint(TMessage& Message)
{
    SetControlState(ControlState() + TControlState{csCustomPaint});
    try {
        TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
        TLentCanvas lent(Canvas(), paint.DC());
        OurPaint(0);
    } catch (...) {
        SetControlState(ControlState() - TControlState{csCustomPaint});
        throw;
    }
    SetControlState(ControlState() - TControlState{csCustomPaint});
    Message.Result = 0;
}

void TsPanel::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            // The children first: they wait for the panel's new background.
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            Invalidate();
            SkinBroadCast(this, Message);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            SkinBroadCast(this, Message);
            Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        switch (Message.Msg) {
        case WM_PAINT:
            inherited::WndProc(Message);
            if (OnPaint)
                OnPaint(this, Canvas());
            return;
        case WM_ERASEBKGND:
            // A panel that paints over itself would flicker through an erased background first.
            if (!OnPaint)
                inherited::WndProc(Message);
            return;
        default:
            inherited::WndProc(Message);
            return;
        }
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_PARENTUPDATED:
            if (sd->GetUpdating() && HandleAllocated()) {
                sd->Updating = false;
                Perform(WM_PAINT, 0, 0);
            }
            return;
        case AC_URGENTPAINTING:
            CommonWndProc(Message, sd);
            if (sd->UrgentPainting)
                PaintCache();
            return;
        case AC_GETUPDATING:
            // Children wait while the panel's own background is not ready.
            Message.LParam = sd->BGChanged || sd->GetUpdating() ? 1 : 0;
            return;
        default:
            CommonMessage(Message, sd);
            return;
        }
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        inherited::WndProc(Message);
        return;
    case WM_PAINT:
        if (!Visible()) {
            inherited::WndProc(Message);
            return;
        }
        // The whole picture comes from the cache: the framework's paint has nothing left to do.
        SkinnedPaint(Message);
        return;
    case CM_VISIBLECHANGED:
        sd->BGChanged = true;
        sd->Updating = false;
        Repaint();
        inherited::WndProc(Message);
        return;
    case CM_TEXTCHANGED:
        if (Parent())
            sd->Invalidate();
        return;
    default:
        break;
    }
    CommonWndProc(Message, sd);
    inherited::WndProc(Message);
    if (Message.Msg == WM_SETFONT && !Caption().empty()) {
        sd->BGChanged = true;
        Repaint();
    }
}

// --- TsDragBar -----------------------------------------------------------------------------------

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner)
{
    SkinData()->COC = 56;
    SetCaption(" ");
    SetAlign(alTop);
    SetHeight(20);
    Font()->SetColor(clCaptionText);
    Font()->SetStyle(TFontStyles{fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
}

void TsDragBar::Loaded()
{
    // A bar laid out on a form without a control to move moves that form.
    if (!FDraggedControl && Parent())
        SetDraggedControl(GetParentForm(this));
    inherited::Loaded();
}

void TsDragBar::SetDraggedControl(TControl* Value)
{
    if (FDraggedControl == Value)
        return;
    if (FDraggedControl)
        FDraggedControl->RemoveFreeNotification(this);
    FDraggedControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDraggedControl)
        FDraggedControl = nullptr;
}

void TsDragBar::Dispatch(TMessage& Message)
{
    // Like a caption, the bar follows its form's activation (a skin paints it from its section).
    if (Message.Msg == CM_ACTIVATE || Message.Msg == CM_DEACTIVATE)
        SetColor(Message.Msg == CM_ACTIVATE ? clActiveCaption : clInactiveCaption);
    inherited::Dispatch(Message);
}

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && FDraggedControl) {
        ReleaseCapture();
        // The system's move loop, as if the control's caption were dragged.
        FDraggedControl->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    }
}

// --- TsGrip --------------------------------------------------------------------------------------

TsGrip::TsGrip(TComponent* AOwner) : TsPanel(AOwner)
{
    SetCaption(" ");
    SkinData()->SetSkinSection("CHECKBOX");
    SetAlign(alNone);
    SetBounds(Left(), Top(), 20, 20);
}

bool TsGrip::CopyLinked(HDC DC)
{
    if (!Transparent || !LinkedControl)
        return false;
    GlobalCacheInfo.Ready = false;
    SendAMessage(LinkedControl, AC_GETCACHEINFO);
    const TCacheInfo ci = GlobalCacheInfo;
    if (!ci.Ready || !ci.Bmp)
        return false;
    // The grip lies in the linked control's client area, the cache's origin at (X, Y).
    BitBlt(DC, 0, 0, Width(), Height(), ci.Bmp->Canvas()->Handle(), ci.X + Left(), ci.Y + Top(), SRCCOPY);
    return true;
}

void TsGrip::ComeToTop()
{
    // Above the bars it lies between.
    if (HandleAllocated() && GetWindow(Handle(), GW_HWNDPREV))
        BringToFront();
}

void TsGrip::Paint()
{
    if (!ControlIsReady(this))
        return;
    SkinData()->BGChanged = false;
    if (!CopyLinked(Canvas()->Handle()))
        inherited::Paint();
    ComeToTop();
}

void TsGrip::OurPaint(HDC DC)
{
    if (!SkinData()->Skinned() || !ControlIsReady(this))
        return;
    if (!CopyLinked(DC ? DC : Canvas()->Handle()))
        inherited::OurPaint(DC);
    ComeToTop();
}
