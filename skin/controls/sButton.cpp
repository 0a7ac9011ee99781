#include "sButton.h"

#include "Forms.h"
#include "sBitBtn.h"
#include "sBorders.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

const TsGeneralData* SectionOf(const TsCommonData* SkinData)
{
    return IsValidSkinIndex(SkinData->SkinIndex) ? &gd[static_cast<std::size_t>(SkinData->SkinIndex)] : nullptr;
}

} // namespace

TsButton::TsButton(TComponent* AOwner) : TButton(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
    FCommonData->COC = 93;
}

TsButton::~TsButton()
{
    *FAlive = false;
}

void TsButton::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
}

void TsButton::Loaded()
{
    inherited::Loaded();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
}

// --- State -------------------------------------------------------------------------------------

int TsButton::CurrentState()
{
    if (GetDown())
        return 2;
    return ControlIsActive(FCommonData.get()) || FActiveDefault ? 1 : 0;
}

bool TsButton::FadeRunning() const
{
    const TsFadeTimer* timer = FFader.Timer();
    return timer && timer->Direction() != fdNone;
}

void TsButton::Relook(bool NewShape)
{
    if (NewShape)
        FRegionChanged = true;
    FCommonData->BGChanged = true;
    Repaint();
}

void TsButton::SetDown(bool Value)
{
    if (Value == FDown)
        return;
    FDown = Value;
    FPressed = Value;
    Relook(true);
}

void TsButton::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

// --- Painting ----------------------------------------------------------------------------------

TSize TsButton::TextRectSize()
{
    const AnsiString text = Caption();
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    TRect r{0, 0, text.empty() ? 0 : Width() - 2, 0};
    DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{WidthOf(r), HeightOf(r)};
}

TRect TsButton::CaptionRect()
{
    const TSize size = TextRectSize();
    const int l = (Width() - size.cx) / 2, t = (Height() - size.cy) / 2;
    TRect r{l - 1, t, Width() - l + 2, Height() - t};
    if (GetDown())
        OffsetRect(&r, 1, 1);
    return r;
}

void TsButton::DoDrawText(TRect& R, int Flags)
{
    const bool hot = ControlIsActive(FCommonData.get()) || FActiveDefault || FDown;
    WriteTextEx(FCommonData->FCacheBmp->Canvas(), Caption().c_str(), true, R, DrawTextBiDiModeFlags(Flags),
                FCommonData.get(), hot);
}

void TsButton::DrawCaption()
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    DoDrawText(r, DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK);
    const TsGeneralData* section = SectionOf(FCommonData.get());
    if (Enabled() && HandleAllocated() && Focused() && !Caption().empty() && section && section->ShowFocus) {
        InflateRect(&r, FFocusMargin, FFocusMargin);
        FocusRect(canvas, r);
    }
}

void TsButton::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    TCacheInfo ci = GetParentCache(sd);
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    TWinControl* parent = Parent();
    ParentCenterColor = clSkinKey;
    if (!ci.Ready && parent) {
        CtrlParentColor = ColorToRGB(parent->Color());
        ParentCenterColor = CtrlParentColor;
    } else if (ci.Ready && parent && !sd->RepaintIfMoved() && ParentCenterColor == clSkinKey) {
        InitParentColor(parent);
    }
    const int state = CurrentState();
    PaintItemBG(sd, ci, state, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()}, cache);
    if (FRegionChanged)
        FRegion = TRegion::Rect(0, 0, Width(), Height());
    if (IsValidImgIndex(sd->BorderIndex))
        PaintRgnBorder(cache, FRegionChanged ? FRegion.Get() : nullptr, true, ma[static_cast<std::size_t>(sd->BorderIndex)],
                       state);
    DrawCaption();
    if (FRegionChanged && HandleAllocated() && !ControlState().Contains(csAlignmentNeeded)) {
        // The window owns the region from here on.
        FRegion.ApplyToWindow(Handle(), true);
        FRegionChanged = false;
    }
    if (!Enabled()) {
        ci = GetParentCache(sd);
        BmpDisabledKind(cache, FDisabledKind, parent, ci, TPoint{Left(), Top()});
    }
    // The parent's colours hold only while one control paints.
    ParentCenterColor = CtrlParentColor = clSkinKey;
    sd->BGChanged = false;
}

void TsButton::OurPaintHandler(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 0;
    sd->Updating = sd->GetUpdating();
    // A running fade draws its own steps; an idle timer left by a finished fade-in holds nothing back.
    if (sd->Updating || FadeRunning())
        return;
    sd->BGChanged = sd->BGChanged || sd->HalfVisible || GetBoolMsg(Parent(), AC_GETHALFVISIBLE);
    sd->HalfVisible = !RectInRect(Parent()->ClientRect(), BoundsRect());
    TBitmap* cache = sd->FCacheBmp.get();
    // Urgent painting keeps a normal look's cache, unless there is none of this size yet.
    const bool sized = cache->Width() == Width() && cache->Height() == Height();
    if (sd->BGChanged && (!sd->UrgentPainting || CurrentState() != 0 || !sized))
        PrepareCache();
    BitBlt(paint.DC(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    sd->BGChanged = false;
}

// --- Messages ----------------------------------------------------------------------------------

void TsButton::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            // A fade would go on drawing skinned looks over the plain button.
            StopFading();
            CommonWndProc(Message, sd);
            FPressed = false;
            FRegion = TRegion();
            FRegionChanged = false;
            // No shape: the whole window, whatever size it takes later.
            if (HandleAllocated())
                SetWindowRgn(Handle(), nullptr, TRUE);
            Repaint();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Relook(true);
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        case AC_STOPFADING:
            StopFading();
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_PARENTUPDATED:
            if (sd->GetUpdating()) {
                sd->Updating = false;
                Repaint();
                return;
            }
            break;
        case AC_URGENTPAINTING:
            if (sd->UrgentPainting)
                PrepareCache();
            CommonWndProc(Message, sd);
            return;
        default:
            break;
        }
    } else if (SkinnedMessage(Message)) {
        return;
    }
    if (!CommonWndProc(Message, sd))
        inherited::WndProc(Message);
    switch (Message.Msg) {
    case WM_SETFONT:
        sd->Updating = false;
        sd->Invalidate();
        break;
    case CM_VISIBLECHANGED:
        Relook(false);
        break;
    default:
        break;
    }
}

bool TsButton::SkinnedMessage(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    const TsGeneralData* section = SectionOf(sd);
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return true;
    case WM_ENABLE:
    case BM_SETSTATE:
        // The system's button keeps no pushed state of its own: the skin shows it, and the
        // release is the button's click.
        return true;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        OurPaintHandler(Message);
        return true;
    case WM_MOVE:
        if (section && (section->Transparency > 0 || (section->HotTransparency > 0 && ControlIsActive(sd))))
            Relook(false);
        return false;
    case WM_SIZE:
        FRegionChanged = true;
        return false;
    case WM_SETFOCUS:
    case CM_ENTER:
        inherited::WndProc(Message);
        if (HandleAllocated() && Focused() && Enabled()) {
            StopFading();
            sd->Focused = true;
            sd->MouseAbove = false;
            Relook(false);
        }
        return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FPressed = false;
        if (Enabled()) {
            StopFading();
            sd->Focused = false;
            sd->MouseAbove = false;
            Relook(true);
        }
        return false;
    case CM_DIALOGCHAR: {
        auto& key = MessageAs<TWMKey>(Message);
        if (Enabled() && HandleAllocated() && Focused() && key.CharCode == VK_SPACE) {
            FPressed = true;
            Relook(true);
            key.CharCode = 0; // consumed: no other control takes the space as its accelerator
        }
        return false;
    }
    case CM_ENABLEDCHANGED:
        if (Visible()) {
            sd->Updating = false;
            sd->Invalidate();
        }
        return false;
    case CM_TEXTCHANGED:
        Relook(false);
        return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        const bool enter = Message.Msg == CM_MOUSEENTER;
        if (!Enabled())
            return false;
        if (enter ? OnMouseEnter : OnMouseLeave)
            (enter ? OnMouseEnter : OnMouseLeave)(this);
        sd->MouseAbove = enter;
        sd->BGChanged = true;
        if (section && section->FadingEnabled) {
            if (enter)
                StartFadeIn();
            else
                StartFadeOut();
        } else {
            Repaint();
        }
        return false;
    }
    default:
        return false;
    }
}

void TsButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYUP: WMKeyUp(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    default: inherited::Dispatch(Message);
    }
}

void TsButton::WMKeyUp(TMessage& Message)
{
    if (Skinned() && GetDown()) {
        FPressed = false;
        Relook(true);
        const std::shared_ptr<bool> alive = FAlive;
        Click();
        if (!*alive)
            return;
    }
    inherited::Dispatch(Message);
}

void TsButton::CMFocusChanged(TMessage& Message)
{
    if (Skinned()) {
        if (Default()) {
            // Focus on a control that is no push button: the default button stands for the form.
            auto* target = reinterpret_cast<TWinControl*>(Message.LParam);
            const bool button = dynamic_cast<TsButton*>(target) || dynamic_cast<TsBitBtn*>(target);
            const bool active = !button || target == this;
            if (active != FActiveDefault) {
                FActiveDefault = active;
                FCommonData->Invalidate();
            }
        }
        if (!RestrictDrawing)
            Invalidate();
    }
    inherited::Dispatch(Message);
}

// --- Mouse -------------------------------------------------------------------------------------

void TsButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && Enabled()) {
        FHints.Hold();
        FMousePressed = true;
        StopFading();
        if (Button == mbLeft && !GetDown()) {
            FPressed = true;
            Relook(true);
        }
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TsButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // The hints come back with the release of the press that took them, skinned or not by now.
    FHints.Release();
    if (Skinned() && Enabled()) {
        // A release whose press the button did not see is not its own.
        if (!FMousePressed || ComponentState().Contains(csDestroying))
            return;
        FMousePressed = false;
        if (Button == mbLeft) {
            FPressed = false;
            const std::shared_ptr<bool> alive = FAlive;
            const TRect r = ClientRect();
            const POINT p{X, Y};
            if (PtInRect(&r, p))
                Click();
            // The click may have freed the button, or its form.
            if (!*alive)
                return;
            try {
                FRegionChanged = true;
                FCommonData->BGChanged = true;
                Repaint();
            } catch (...) {
                // The look comes back with the next paint.
            }
        }
    }
    inherited::MouseUp(Button, Shift, X, Y);
}
