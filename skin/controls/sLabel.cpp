#include "sLabel.h"

#include "Forms.h"
#include "ShellSeams.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

// On while a label writes its current font into its own Font during its paint: the font change
// that causes must neither resize nor repaint the label. Painting is single-threaded.
bool PaintingFont = false;

} // namespace

// --- TsCustomLabel ---------------------------------------------------------------------------------

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner)
{
    SetTransparent(true);
}

TFont* TsCustomLabel::GetCurrentFont()
{
    if (sSkinData->Active) {
        if (TsSkinManager* manager = DefaultManager()) {
            const TColor c = manager->GetGlobalFontColor();
            if (c != clSkinKey)
                Font()->SetColor(c);
        }
    }
    return Font();
}

void TsCustomLabel::Paint()
{
    if (!PaintingFont) {
        TFlagUp painting(PaintingFont);
        TFont* current = GetCurrentFont();
        if (current != TControl::Font())
            TControl::Font()->Assign(current);
    }
    inherited::Paint();
}

void TsCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_FONTCHANGED) {
        if (PaintingFont)
            return;
        if (AutoSize()) {
            AdjustBounds();
            // A new colour leaves the size as it was: the label shows it all the same.
            Invalidate();
        } else {
            Repaint();
        }
        return;
    }
    inherited::WndProc(Message);
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_REMOVESKIN)
        TControl::Font()->SetColor(clWindowText);
}

// --- TsEditLabel -----------------------------------------------------------------------------------

TsEditLabel::~TsEditLabel()
{
    if (BoundLabel)
        BoundLabel->LabelDestroyed();
}

// --- TsWebLabel ------------------------------------------------------------------------------------

TsWebLabel::TsWebLabel(TComponent* AOwner) : TsCustomLabel(AOwner)
{
    SetCursor(crHandPoint);
}

void TsWebLabel::Loaded()
{
    inherited::Loaded();
    TControl::Font()->Assign(FNormalFont.get());
}

TFont* TsWebLabel::GetCurrentFont()
{
    return FMouseAbove ? FHoverFont.get() : FNormalFont.get();
}

void TsWebLabel::SetFont(TFont* Value)
{
    TControl::Font()->Assign(Value);
    FNormalFont->Assign(Value);
    Repaint();
}

void TsWebLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        inherited::Dispatch(Message);
        FMouseAbove = Message.Msg == CM_MOUSEENTER;
        Repaint();
        return;
    case WM_LBUTTONDOWN:
        inherited::Dispatch(Message);
        // What the shell makes of the address is not reported.
        if (!URL.empty())
            Shell().Execute(Application->Handle(), "open", URL, AnsiString(), AnsiString(), ShowMode);
        return;
    case WM_ERASEBKGND:
        return;
    default:
        inherited::Dispatch(Message);
    }
}

// --- TsStickyLabel ---------------------------------------------------------------------------------

TsStickyLabel::TsStickyLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}

TsStickyLabel::~TsStickyLabel()
{
    // Freed without Free: the control still gets its own procedure back.
    if (FAttachTo)
        FAttachTo->WindowProc = FPrevWndProc;
}

void TsStickyLabel::BeforeDestruction()
{
    SetAttachTo(nullptr);
    inherited::BeforeDestruction();
}

void TsStickyLabel::SetAttachTo(TWinControl* Value)
{
    if (Value == FAttachTo)
        return;
    if (FAttachTo) {
        FAttachTo->WindowProc = FPrevWndProc;
        FPrevWndProc = TWndMethod();
        FAttachTo->RemoveFreeNotification(this);
    }
    FAttachTo = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Adjust(true);
    SetEnabled(Value->Enabled());
    SetVisible(Value->Visible());
    FPrevWndProc = Value->WindowProc;
    Value->WindowProc = TWndMethod(this, &TsStickyLabel::NewWinProc);
}

void TsStickyLabel::SetAlignTo(TAlignTo Value)
{
    if (Value == FAlignTo)
        return;
    FAlignTo = Value;
    Adjust(true);
}

void TsStickyLabel::SetGap(int Value)
{
    if (Value == FGap)
        return;
    FGap = Value;
    Adjust(true);
}

void TsStickyLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && FAttachTo && AComponent == FAttachTo)
        SetAttachTo(nullptr);
    inherited::Notification(AComponent, Operation);
}

void TsStickyLabel::Adjust(bool MoveLabel)
{
    TFlagUp adjusting(FAdjusting);
    if (FAttachTo) {
        TControl* reference = MoveLabel ? static_cast<TControl*>(FAttachTo) : this;
        TControl* moved = MoveLabel ? static_cast<TControl*>(this) : FAttachTo;
        static const TAlignTo opposite[] = {altRight, altBottom, altTop, altLeft};
        const TAlignTo side = MoveLabel ? FAlignTo : opposite[FAlignTo];
        const int l = reference->Left(), t = reference->Top(), w = reference->Width(), h = reference->Height();
        const int mw = moved->Width(), mh = moved->Height();
        int left = l, top = t;
        switch (side) {
        case altLeft: left = l - mw - FGap; top = t + (h - mh) / 2; break;
        case altTop: top = t - mh - FGap; break;
        case altBottom: top = t + h + FGap; break;
        case altRight: left = l + w + FGap; top = t + (h - mh) / 2; break;
        }
        moved->SetBounds(left, top, mw, mh);
    }
}

void TsStickyLabel::NewWinProc(TMessage& Message)
{
    const bool watching = !ComponentState().Contains(csDestroying) && FAttachTo && !FAdjusting;
    switch (watching ? Message.Msg : 0) {
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
        // The control's own handling brings its bounds in step first.
        if (FPrevWndProc)
            FPrevWndProc(Message);
        if (FAttachTo && !FAdjusting)
            Adjust(true);
        return;
    case CM_VISIBLECHANGED: {
        TFlagUp adjusting(FAdjusting);
        SetVisible(FAttachTo->Visible());
        break;
    }
    case CM_ENABLEDCHANGED: {
        TFlagUp adjusting(FAdjusting);
        SetEnabled(FAttachTo->Enabled());
        break;
    }
    default:
        break;
    }
    if (FPrevWndProc)
        FPrevWndProc(Message);
}

void TsStickyLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const TRect before = BoundsRect();
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    const TRect after = BoundsRect();
    // The framework tells a windowless control of its new bounds as a window hears of its own.
    if (!EqualRect(&before, &after))
        Perform(WM_WINDOWPOSCHANGED, 0, 0);
}

void TsStickyLabel::WndProc(TMessage& Message)
{
    if (!ComponentState().Contains(csDestroying) && FAttachTo && !FAdjusting) {
        TFlagUp adjusting(FAdjusting);
        if (Message.Msg == WM_WINDOWPOSCHANGED)
            Adjust(false);
    }
    inherited::WndProc(Message);
}
