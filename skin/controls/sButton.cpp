#include "sButton.h"

#include "ActnList.h"
#include "Buttons.h"
#include "Forms.h"
#include "sBitBtn.h"
#include "sBorders.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sThirdParty.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// Whether the window's shape is Shape already.
bool HasShape(HWND Wnd, HRGN Shape)
{
    TRegion current = TRegion::Rect(0, 0, 0, 0);
    return Shape && GetWindowRgn(Wnd, current.Get()) != ERROR && EqualRgn(current.Get(), Shape);
}

const TsGeneralData* SectionOf(const TsCommonData* SkinData)
{
    return IsValidSkinIndex(SkinData->SkinIndex) ? &gd[static_cast<std::size_t>(SkinData->SkinIndex)] : nullptr;
}

} // namespace

template <class Base>
TsButtonFrame<Base>::TsButtonFrame(TComponent* AOwner, int ControlCode)
    : Base(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    this->SetControlStyle(this->ControlStyle() - TControlStyle{csOpaque});
    FCommonData->COC = ControlCode;
}

template <class Base>
TsButtonFrame<Base>::~TsButtonFrame()
{
    *FAlive = false;
}

template <class Base>
void TsButtonFrame<Base>::AfterConstruction()
{
    Base::AfterConstruction();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(this->Font());
    FCommonData->Loaded();
}

template <class Base>
void TsButtonFrame<Base>::Loaded()
{
    Base::Loaded();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(this->Font());
    FCommonData->Loaded();
}

// --- State -------------------------------------------------------------------------------------

template <class Base>
int TsButtonFrame<Base>::CurrentState()
{
    if (GetDown())
        return 2;
    return ControlIsActive(FCommonData.get()) || FActiveDefault ? 1 : 0;
}

template <class Base>
bool TsButtonFrame<Base>::FadeRunning() const
{
    const TsFadeTimer* timer = FFader.Timer();
    return timer && timer->Direction() != fdNone;
}

template <class Base>
void TsButtonFrame<Base>::Relook(bool NewShape)
{
    if (NewShape)
        FRegionChanged = true;
    FCommonData->BGChanged = true;
    this->Repaint();
}

template <class Base>
void TsButtonFrame<Base>::SetDown(bool Value)
{
    if (Value == FDown)
        return;
    FDown = Value;
    FPressed = Value;
    Relook(true);
}

template <class Base>
void TsButtonFrame<Base>::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

// --- Painting ----------------------------------------------------------------------------------

template <class Base>
TSize TsButtonFrame<Base>::MeasureText(int Width)
{
    return WrappedTextSize(FCommonData->FCacheBmp->Canvas(), this->Font(), this->Caption(), Width);
}

template <class Base>
TSize TsButtonFrame<Base>::TextRectSize()
{
    return MeasureText(this->Caption().empty() ? 0 : this->Width() - 2);
}

template <class Base>
TRect TsButtonFrame<Base>::CaptionRect()
{
    const TSize size = TextRectSize();
    const int w = this->Width(), h = this->Height();
    const int l = (w - size.cx) / 2, t = (h - size.cy) / 2;
    TRect r{l - 1, t, w - l + 2, h - t};
    if (GetDown())
        OffsetRect(&r, 1, 1);
    return r;
}

template <class Base>
void TsButtonFrame<Base>::DoDrawText(TRect& R, int Flags)
{
    const bool hot = ControlIsActive(FCommonData.get()) || FActiveDefault || FDown;
    WriteTextEx(FCommonData->FCacheBmp->Canvas(), this->Caption().c_str(), true, R, this->DrawTextBiDiModeFlags(Flags),
                FCommonData.get(), hot);
}

template <class Base>
void TsButtonFrame<Base>::DrawCaption()
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(this->Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    constexpr int flags = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
    DoDrawText(r, flags);
    DrawFocusFrame(r, flags);
}

template <class Base>
void TsButtonFrame<Base>::DrawFocusFrame(TRect R, int Flags)
{
    const TsGeneralData* section = SectionOf(FCommonData.get());
    if (this->Enabled() && this->HandleAllocated() && this->Focused() && !this->Caption().empty() && section &&
        section->ShowFocus && FocusFrameAllowed()) {
        TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
        TRect text = TextExtentIn(canvas, this->Caption().c_str(), R, this->DrawTextBiDiModeFlags(Flags));
        InflateRect(&text, FFocusMargin - 1, FFocusMargin - 1);
        FocusRectAround(canvas, text);
    }
}

template <class Base>
void TsButtonFrame<Base>::PaintBorder(int State)
{
    TsCommonData* sd = FCommonData.get();
    if (IsValidImgIndex(sd->BorderIndex))
        PaintRgnBorder(sd->FCacheBmp.get(), FRegionChanged ? FRegion.Get() : nullptr, true,
                       ma[static_cast<std::size_t>(sd->BorderIndex)], State);
}

template <class Base>
void TsButtonFrame<Base>::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    TCacheInfo ci = GetParentCache(sd);
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    TWinControl* parent = this->Parent();
    ParentCenterColor = clSkinKey;
    if (!ci.Ready && parent) {
        CtrlParentColor = ColorToRGB(parent->Color());
        ParentCenterColor = CtrlParentColor;
    } else if (ci.Ready && parent && !sd->RepaintIfMoved() && ParentCenterColor == clSkinKey) {
        InitParentColor(parent);
    }
    const int state = CurrentState();
    const TPoint offset{this->Left(), this->Top()};
    PaintItemBG(sd, ci, state, Rect(0, 0, this->Width(), this->Height()), offset, cache);
    if (FRegionChanged)
        FRegion = TRegion::Rect(0, 0, this->Width(), this->Height());
    const bool over = BorderOverContent();
    if (!over)
        PaintBorder(state);
    DrawContent();
    if (over)
        PaintBorder(state);
    if (FRegionChanged && this->HandleAllocated() && !this->ControlState().Contains(csAlignmentNeeded)) {
        // The window owns the region from here on. A window that has the shape already (given
        // before it was shown) is not reshaped: that would paint it and its parent again.
        if (!HasShape(this->Handle(), FRegion.Get()))
            FRegion.ApplyToWindow(this->Handle(), true);
        FRegion = TRegion();
        FRegionChanged = false;
    }
    if (LooksDisabled()) {
        ci = GetParentCache(sd);
        BmpDisabledKind(cache, FDisabledKind, parent, ci, offset);
    }
    // The parent's colours hold only while one control paints.
    ParentCenterColor = CtrlParentColor = clSkinKey;
    CachePainted(cache);
    sd->BGChanged = false;
}

template <class Base>
void TsButtonFrame<Base>::ShapeUnshown()
{
    // A shape taken at the first paint repaints the button and the parent around it: a window not
    // shown yet takes it now, without a repaint; the first paint finds it taken.
    TsCommonData* sd = FCommonData.get();
    if (!FRegionChanged || !this->HandleAllocated() || IsWindowVisible(this->Handle()) || !sd->Skinned() ||
        !IsValidImgIndex(sd->BorderIndex) || this->ControlState().Contains(csAlignmentNeeded))
        return;
    TBitmap scratch;
    scratch.SetPixelFormat(pf24bit);
    scratch.SetSize(this->Width(), this->Height());
    TRegion shape = TRegion::Rect(0, 0, this->Width(), this->Height());
    PaintRgnBorder(&scratch, shape.Get(), true, ma[static_cast<std::size_t>(sd->BorderIndex)], CurrentState());
    shape.ApplyToWindow(this->Handle(), false);
}

template <class Base>
void TsButtonFrame<Base>::CreateWnd()
{
    Base::CreateWnd();
    ShapeUnshown();
}

template <class Base>
void TsButtonFrame<Base>::OurPaintHandler(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    TWindowPaint paint(this->Handle(), reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 0;
    sd->Updating = sd->GetUpdating();
    // A running fade draws its own steps; an idle timer left by a finished fade-in holds nothing back.
    if (sd->Updating || FadeRunning())
        return;
    sd->BGChanged = LookOutdated() || sd->BGChanged || sd->HalfVisible || GetBoolMsg(this->Parent(), AC_GETHALFVISIBLE);
    sd->HalfVisible = !RectInRect(this->Parent()->ClientRect(), this->BoundsRect());
    TBitmap* cache = sd->FCacheBmp.get();
    const int w = this->Width(), h = this->Height();
    // Urgent painting keeps a normal look's cache, unless there is none of this size yet.
    const bool sized = cache->Width() == w && cache->Height() == h;
    if (sd->BGChanged && (!sd->UrgentPainting || CurrentState() != 0 || !sized))
        PrepareCache();
    BeforeCopy();
    BitBlt(paint.DC(), 0, 0, w, h, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    sd->BGChanged = false;
}

// --- Messages ----------------------------------------------------------------------------------

template <class Base>
void TsButtonFrame<Base>::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    // The press is over when the mouse went elsewhere, released here or not.
    if (Message.Msg == WM_CAPTURECHANGED)
        FHints.Release();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SkinCame();
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            // A fade would go on drawing skinned looks over the plain button.
            StopFading();
            CommonWndProc(Message, sd);
            if (!this->ComponentState().Contains(csDestroying))
                SkinWent();
            FPressed = false;
            FRegion = TRegion();
            FRegionChanged = false;
            // No shape: the whole window, whatever size it takes later.
            if (this->HandleAllocated())
                SetWindowRgn(this->Handle(), nullptr, TRUE);
            this->Repaint();
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
        Base::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_PARENTUPDATED:
            if (sd->GetUpdating()) {
                sd->Updating = false;
                this->Repaint();
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
        Base::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
        ShapeUnshown();
        break;
    case WM_SETFONT:
        sd->Updating = false;
        sd->Invalidate();
        break;
    case CM_VISIBLECHANGED:
        Relook(false);
        break;
    case CM_ACTIONUPDATE:
        if (auto* action = dynamic_cast<TCustomAction*>(this->Action()))
            this->SetEnabled(action->Enabled());
        break;
    default:
        break;
    }
}

template <class Base>
bool TsButtonFrame<Base>::SkinnedMessage(TMessage& Message)
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
    case CN_DRAWITEM:
        // An owner-drawn button's own drawing never runs over the skinned one.
        Message.Result = 1;
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
        Base::WndProc(Message);
        if (this->HandleAllocated() && this->Focused() && this->Enabled()) {
            StopFading();
            sd->Focused = true;
            sd->MouseAbove = false;
            Relook(false);
        }
        return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
        FPressed = false;
        if (this->Enabled()) {
            StopFading();
            sd->Focused = false;
            sd->MouseAbove = false;
            Relook(true);
        }
        return false;
    case CM_DIALOGCHAR: {
        auto& key = MessageAs<TWMKey>(Message);
        if (this->Enabled() && this->HandleAllocated() && this->Focused() && key.CharCode == VK_SPACE) {
            FPressed = true;
            Relook(true);
            key.CharCode = 0; // consumed: no other control takes the space as its accelerator
        }
        return false;
    }
    case CM_ENABLEDCHANGED:
        if (this->Visible()) {
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
        if (!this->Enabled())
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
            this->Repaint();
        }
        return false;
    }
    default:
        return false;
    }
}

template <class Base>
void TsButtonFrame<Base>::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYUP: WMKeyUp(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    default: Base::Dispatch(Message);
    }
}

template <class Base>
void TsButtonFrame<Base>::WMKeyUp(TMessage& Message)
{
    if (Skinned() && GetDown()) {
        FPressed = false;
        Relook(true);
        const std::shared_ptr<bool> alive = FAlive;
        this->Click();
        if (!*alive)
            return;
    }
    Base::Dispatch(Message);
}

template <class Base>
void TsButtonFrame<Base>::CMFocusChanged(TMessage& Message)
{
    if (Skinned()) {
        if (this->Default()) {
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
            this->Invalidate();
    }
    Base::Dispatch(Message);
}

template <class Base>
void TsButtonFrame<Base>::ActionChange(TObject* Sender, bool CheckDefaults)
{
    Base::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender))
        this->SetEnabled(action->Enabled());
}

// --- Mouse -------------------------------------------------------------------------------------

template <class Base>
void TsButtonFrame<Base>::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && this->Enabled()) {
        // Only a left press takes the mouse, so only its end is sure to be seen.
        if (Button == mbLeft)
            FHints.Hold();
        FMousePressed = true;
        StopFading();
        FCommonData->Updating = false;
        if (Button == mbLeft && !GetDown()) {
            FPressed = true;
            Relook(true);
        }
    }
    Base::MouseDown(Button, Shift, X, Y);
}

template <class Base>
void TsButtonFrame<Base>::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // The hints come back with the release of the press that took them, skinned or not by now.
    FHints.Release();
    if (Skinned() && this->Enabled()) {
        // A release whose press the button did not see is not its own.
        if (!FMousePressed || this->ComponentState().Contains(csDestroying))
            return;
        FMousePressed = false;
        if (Button == mbLeft) {
            FPressed = false;
            FCommonData->Updating = false;
            const std::shared_ptr<bool> alive = FAlive;
            const TRect r = this->ClientRect();
            const POINT p{X, Y};
            if (PtInRect(&r, p))
                this->Click();
            // The click may have freed the button, or its form.
            if (!*alive)
                return;
            try {
                FRegionChanged = true;
                FCommonData->BGChanged = true;
                this->Repaint();
            } catch (...) {
                // The look comes back with the next paint.
            }
        }
    }
    Base::MouseUp(Button, Shift, X, Y);
}

template class TsButtonFrame<TButton>;
template class TsButtonFrame<TBitBtn>;
