#include "sScrollBar.h"

#include <algorithm>

#include "Forms.h"
#include "SysUtils.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

bool RecreatingSkinned = false;

namespace {

bool InRect(const TRect& R, const TPoint& P)
{
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

bool SkinActive()
{
    return sSkinData && sSkinData->Active;
}

// The size of one cell of a glyph mask: a master-image rectangle split by its image count and
// mask type, or an own bitmap's third by half.
TPoint GlyphCell(const TsMaskData& Mask)
{
    if (Mask.Bmp)
        return TPoint{Mask.Bmp->Width() / 3, Mask.Bmp->Height() / 2};
    return TPoint{WidthOf(Mask.R) / std::max<int>(Mask.ImageCount, 1), HeightOf(Mask.R) / (Mask.MaskType + 1)};
}

} // namespace

TsScrollBar::TsScrollBar(TComponent* AOwner)
    : TWinControl(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->COC = 142;
    FOwnCacheInfo.Bmp = FCommonData->FCacheBmp.get();
    FOwnCacheInfo.Ready = true;
    SetBounds(Left(), Top(), Width() ? Width() : 121, Height() ? Height() : GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
    SetControlStyle(TControlStyle{csOpaque, csDoubleClicks});
}

void TsScrollBar::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsScrollBar::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

bool TsScrollBar::SkinnedMode()
{
    return SkinActive() && Enabled();
}

// --- Windows ---------------------------------------------------------------------------------------

void TsScrollBar::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    // With a skin active the bar is a plain window that paints itself, made so at once: a system
    // bar made first and replaced at its first paint cost a second window for nothing.
    if (RecreatingSkinned || SkinActive())
        return;
    CreateSubClass(Params, "SCROLLBAR");
    if (FKind == sbHorizontal)
        Params.Style |= SBS_HORZ;
    else
        Params.Style |= SBS_VERT | (UseRightToLeftAlignment() ? SBS_LEFTALIGN : SBS_RIGHTALIGN);
    RTLFactor = NotRightToLeft() ? 1 : -1;
}

void TsScrollBar::CreateWnd()
{
    inherited::CreateWnd();
    HWND h = Handle();
    SetScrollRange(h, SB_CTL, FMin, FMax, FALSE);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_PAGE;
    si.nPage = static_cast<UINT>(FPageSize);
    SetScrollInfo(h, SB_CTL, &si, FALSE);
    SetScrollPos(h, SB_CTL, NotRightToLeft() ? FPosition : FMax - FPosition, TRUE);
}

void TsScrollBar::RecreateSkinned()
{
    const bool saved = RecreatingSkinned;
    RecreatingSkinned = true;
    try {
        RecreateWnd();
    } catch (...) {
        RecreatingSkinned = saved;
        throw;
    }
    RecreatingSkinned = saved;
}

bool TsScrollBar::NotRightToLeft()
{
    return !UseRightToLeftAlignment() || FKind == sbVertical;
}

bool TsScrollBar::CanFocus()
{
    return inherited::CanFocus() && TabStop();
}

void TsScrollBar::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD && !ComponentState().Contains(csDestroying) && Message.WParamHi < 8) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            StopTimer();
            RecreateWnd();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            sd->BGChanged = true;
            RecreateSkinned();
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                RepaintNeeded = true;
                Paint(nullptr);
            }
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (Message.Msg == WM_PRINT && SkinActive()) {
        Perform(WM_PAINT, Message.WParam, Message.LParam);
        Perform(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
    }
    if (CommonWndProc(Message, sd))
        return;
    inherited::WndProc(Message);
}

void TsScrollBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
        if (!(SkinActive() && ChangeLocked))
            DoScroll(Message.WParamLo);
        Message.Result = 0;
        return;
    case CN_CTLCOLORSCROLLBAR:
        Message.Result = DefWindowProcA(Handle(), WM_CTLCOLORSCROLLBAR, Message.WParam, Message.LParam);
        return;
    case WM_ERASEBKGND: DefaultHandler(Message); return;
    case WM_CAPTURECHANGED:
        // The bar's own drag tick takes the mouse again; any other taker ends the press, and so
        // does WM_CANCELMODE, whose framework handler lets the mouse go.
        if (FHeld && reinterpret_cast<HWND>(Message.LParam) != Handle())
            EndPress();
        break;
    case WM_GETDLGCODE:
        inherited::Dispatch(Message);
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_PAINT:
        if (SkinActive()) {
            WMPaint(Message);
            return;
        }
        break;
    case WM_NCHITTEST:
        if (SkinActive()) {
            WMNCHitTest(Message);
            return;
        }
        break;
    case CM_MOUSEENTER:
        if (SkinnedMode())
            CMMouseEnter(Message);
        break;
    case CM_MOUSELEAVE:
        if (SkinnedMode())
            CMMouseLeave(Message);
        break;
    default: break;
    }
    inherited::Dispatch(Message);
}

// --- Range, position and events -------------------------------------------------------------------

void TsScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    const bool skinned = SkinActive();
    if (!skinned && AMax < AMin)
        throw EInvalidOperation("Scrollbar property out of range");
    if (skinned && AMax <= AMin) {
        AnsiString where = HostControl ? "(Owner=" + HostControl->Name() + ")" : "(" + Name() + ")";
        ShowError("Scrollbar property out of range\n\rMax = " + IntToStr(AMax) + where);
    }
    if (APosition < AMin)
        APosition = AMin;
    if (APosition > AMax)
        APosition = AMax;
    if (AMin != FMin || AMax != FMax) {
        FMin = AMin;
        FMax = AMax;
        // The slider's size and place follow the range, also at an unchanged position.
        RepaintNeeded = RepaintNeeded || skinned;
        if (HandleAllocated())
            SetScrollRange(Handle(), SB_CTL, AMin, AMax, FPosition == APosition);
    }
    if (APosition == FPosition)
        return;
    const int old = FPosition;
    FPosition = APosition;
    if (!skinned) {
        if (HandleAllocated())
            SetScrollPos(Handle(), SB_CTL, NotRightToLeft() ? FPosition : FMax - FPosition, TRUE);
        SetEnabled(true);
        Change();
        return;
    }
    RepaintNeeded = true;
    Change(old);
}

void TsScrollBar::SetPosition(int Value)
{
    if (ControlState().Contains(csCreating) || ComponentState().Contains(csDestroying) || Value == FPosition)
        return;
    if ((FPosition == FMin && Value < FMin) || (FPosition == FMax && Value > FMax))
        return;
    SetParams(Value, FMin, FMax);
    UpdateBar();
}

void TsScrollBar::SetMin(int Value)
{
    SetParams(FPosition, Value, FMax);
    Invalidate();
}

void TsScrollBar::SetMax(int Value)
{
    SetParams(FPosition, FMin, Value);
    Invalidate();
}

void TsScrollBar::SetPageSize(int Value)
{
    // Hosts set the page at every refresh: an unchanged page repaints nothing.
    if (Value < 0 || Value == FPageSize)
        return;
    FPageSize = Value;
    if (HandleAllocated()) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_PAGE;
        si.nPage = static_cast<UINT>(Value);
        SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
    }
    Invalidate();
}

void TsScrollBar::SetKind(TScrollBarKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    if (!ComponentState().Contains(csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TsScrollBar::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

void TsScrollBar::Change(int OldValue)
{
    Changed();
    if (ChangeLocked)
        return;
    if (OnHostChange)
        OnHostChange(this, OldValue);
    if (OnScroll) {
        // A mouse action names its code; a change by keys or code has none and reports a position.
        const TScrollCode code = ScrollCode >= 0 && ScrollCode <= 8 ? aScrollCodes[ScrollCode] : scPosition;
        int pos = FPosition;
        OnScroll(this, code, pos);
    }
    if (OnChange)
        OnChange(this);
}

void TsScrollBar::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

void TsScrollBar::Scroll(TScrollCode Code, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, Code, ScrollPos);
}

void TsScrollBar::DoScroll(UINT Code)
{
    int pos = FPosition;
    switch (Code) {
    case SB_LINEUP: pos -= SmallChange * RTLFactor; break;
    case SB_LINEDOWN: pos += SmallChange * RTLFactor; break;
    case SB_PAGEUP: pos -= LargeChange * RTLFactor; break;
    case SB_PAGEDOWN: pos += LargeChange * RTLFactor; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (HandleAllocated() && GetScrollInfo(Handle(), SB_CTL, &si))
            pos = NotRightToLeft() ? si.nTrackPos : FMax - si.nTrackPos;
        break;
    }
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = FMax; break;
    case SB_ENDSCROLL: break;
    default: return;
    }
    pos = std::max(FMin, std::min(pos, FMax));
    Scroll(static_cast<TScrollCode>(Code), pos);
    SetPosition(pos);
}

void TsScrollBar::InitDontChange()
{
    if (Smooth)
        return;
    ChangeLocked = true;
    PendingOldValue += FPosition;
}

void TsScrollBar::ClearDontChange()
{
    if (Smooth)
        return;
    ChangeLocked = false;
    Change(PendingOldValue);
    PendingOldValue = 0;
}

void TsScrollBar::SetInteger(int Index, int Value)
{
    int* parts[5] = {&Btn1State, &Btn2State, &Bar1State, &Bar2State, &SliderState};
    if (Index < 0 || Index > 4 || *parts[Index] == Value)
        return;
    RepaintNeeded = true;
    *parts[Index] = Value;
    if (Value != 1 && Value != 2)
        return;
    for (int i = 0; i < 5; ++i)
        if (i != Index)
            *parts[i] = (i == 2 || i == 3) ? 1 : 0;
}

int TsScrollBar::BarIsHot()
{
    return ControlIsActive(FCommonData.get()) ? 1 : 0;
}

// --- Geometry ----------------------------------------------------------------------------------------

int TsScrollBar::FirstPoint()
{
    return GetSystemMetrics(FKind == sbVertical ? SM_CYVSCROLL : SM_CXHSCROLL);
}

int TsScrollBar::WorkSize()
{
    return (FKind == sbVertical ? Height() : Width()) - 2 * FirstPoint();
}

int TsScrollBar::SliderSize()
{
    const int whole = FMax - FMin + FPageSize;
    if (FPageSize == 0 || whole <= 0)
        return 14;
    return std::max<int>(14, static_cast<int>(Round(static_cast<double>(WorkSize()) * FPageSize / whole)));
}

int TsScrollBar::PositionToCoord()
{
    if (!Enabled())
        return (FKind == sbVertical ? Height() : Width()) / 2;
    if (FMax == FMin)
        return 0;
    const int slider = SliderSize();
    return FirstPoint() + slider / 2 +
           static_cast<int>(Round(static_cast<double>(WorkSize() - slider) / (FMax - FMin) * (FPosition - FMin)));
}

int TsScrollBar::CoordToPosition(const TPoint& P)
{
    if (!Enabled())
        return 0;
    const int slider = SliderSize();
    const int free = WorkSize() - slider;
    // A bar with no room for the slider to move keeps its position.
    if (free <= 0)
        return FPosition;
    const int c = FKind == sbVertical ? P.y : P.x;
    return FMin + static_cast<int>(Round((c - FirstPoint() - slider / 2.0) * (FMax - FMin) / free));
}

TPoint TsScrollBar::CoordToPoint(const TPoint& P)
{
    return ScreenToClient(P);
}

TRect TsScrollBar::Btn1Rect()
{
    const int a = FirstPoint();
    if (FKind == sbVertical)
        return Rect(0, 0, Width(), std::min(a, Height() / 2));
    return Rect(0, 0, std::min(a, Width() / 2), Height());
}

TRect TsScrollBar::Btn2Rect()
{
    const int a = FirstPoint();
    if (FKind == sbVertical)
        return Rect(0, std::max(Height() - a, Height() / 2), Width(), Height());
    return Rect(std::max(Width() - a, Width() / 2), 0, Width(), Height());
}

namespace {

// The length along the bar's axis of a button drawn from Section whose border mask reaches into
// the track (ReservedBoolean): the larger of A and the mask's cell; 0 for a button that does not.
int ExtendedButtonLength(int Section, int Mask, bool Vertical, int A)
{
    if (!IsValidSkinIndex(Section) || !gd[Section].ReservedBoolean || !IsValidImgIndex(Mask))
        return 0;
    const TsMaskData& m = ma[Mask];
    int cell;
    if (m.Bmp)
        cell = Vertical ? m.Bmp->Height() / 2 : m.Bmp->Width() / 3;
    else
        cell = Vertical ? HeightOf(m.R) / (m.MaskType + 1) : WidthOf(m.R) / std::max<int>(m.ImageCount, 1);
    return std::max(A, cell);
}

} // namespace

TRect TsScrollBar::Btn1DRect()
{
    TRect r = Btn1Rect();
    const bool vertical = FKind == sbVertical;
    const int len = ExtendedButtonLength(Btn1SkinIndex(), vertical ? ConstData.MaskScrollBtnTop : ConstData.MaskScrollBtnLeft,
                                         vertical, FirstPoint());
    if (len > 0)
        (vertical ? r.bottom : r.right) = len;
    return r;
}

TRect TsScrollBar::Btn2DRect()
{
    TRect r = Btn2Rect();
    const bool vertical = FKind == sbVertical;
    const int len = ExtendedButtonLength(Btn2SkinIndex(), vertical ? ConstData.MaskScrollBtnBottom : ConstData.MaskScrollBtnRight,
                                         vertical, FirstPoint());
    if (len > 0)
        (vertical ? r.top : r.left) = (vertical ? Height() : Width()) - len;
    return r;
}

TRect TsScrollBar::Bar1Rect()
{
    const int c = PositionToCoord();
    return FKind == sbVertical ? Rect(0, 0, Width(), c) : Rect(0, 0, c, Height());
}

TRect TsScrollBar::Bar2Rect()
{
    const int c = PositionToCoord();
    return FKind == sbVertical ? Rect(0, c, Width(), Height()) : Rect(c, 0, Width(), Height());
}

TRect TsScrollBar::SliderRect()
{
    const int size = SliderSize();
    const int start = PositionToCoord() - size / 2;
    return FKind == sbVertical ? Rect(0, start, Width(), start + size) : Rect(start, 0, start + size, Height());
}

int TsScrollBar::Btn1SkinIndex()
{
    return FKind == sbVertical ? ConstData.IndexScrollBtnTop : ConstData.IndexScrollBtnLeft;
}

int TsScrollBar::Btn2SkinIndex()
{
    return FKind == sbVertical ? ConstData.IndexScrollBtnBottom : ConstData.IndexScrollBtnRight;
}

// --- Painting --------------------------------------------------------------------------------------------

void TsScrollBar::UpdateBar()
{
    PaintLocked = false;
    if (RepaintNeeded)
        Paint(nullptr);
}

void TsScrollBar::WMPaint(TMessage& Message)
{
    // The paint ends however the painting does: left open, the system would ask for it again.
    const TPaintDC paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    TsCommonData* sd = FCommonData.get();
    if (PaintLocked) {
        // Painted when the lock is let go.
        RepaintNeeded = true;
    } else {
        // The bar waits (until AC_PARENTUPDATED) for a parent that is rebuilding its cached image;
        // a parent that has painted none has nothing to rebuild.
        if (!sd->Updating && sd->GetUpdating()) {
            const TCacheInfo parent = GetParentCache(sd);
            sd->Updating = parent.Ready && parent.Bmp && !parent.Bmp->Empty();
        }
        if (!ComponentState().Contains(csDestroying) && !ComponentState().Contains(csLoading) && !sd->Updating)
            Paint(paint.Handle());
        else
            RepaintNeeded = true;
    }
    Message.Result = 0;
}

TCacheInfo TsScrollBar::HostCache()
{
    if (!HostControl)
        return GetParentCache(FCommonData.get());
    GlobalCacheInfo.Ready = false;
    SendAMessage(HostControl, AC_GETCACHEINFO);
    TCacheInfo ci = GlobalCacheInfo;
    if (!HostControl->IsForm()) {
        ci.X -= HostControl->Left();
        ci.Y -= HostControl->Top();
    }
    return ci;
}

void TsScrollBar::Paint(HDC DC)
{
    if (PaintLocked || !ControlIsReady(this) || ControlState().Contains(csCreating) || RestrictDrawing || !HandleAllocated())
        return;
    const bool vertical = FKind == sbVertical;
    const int track1 = vertical ? ConstData.IndexScrollBar1V : ConstData.IndexScrollBar1H;
    if (!IsValidSkinIndex(track1))
        return;
    RepaintNeeded = false;
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    FOwnCacheInfo.Bmp = cache;
    std::unique_ptr<TBitmap> disabledBmp;
    if (!Enabled())
        disabledBmp = CreateBmpLike(cache);
    TBitmap* work = disabledBmp ? disabledBmp.get() : cache;

    TCacheInfo ci = HostCache();
    const int hot = BarIsHot();
    const int off = Enabled() ? 1 : 0;
    const TRect r1 = Bar1Rect();
    if (WidthOf(r1) >= 1 && HeightOf(r1) >= 1) {
        const int state = (Bar1State ? Bar1State : hot) * off;
        PaintItemFast(track1, vertical ? ConstData.MaskScrollBar1V : ConstData.MaskScrollBar1H,
                      vertical ? ConstData.PatternScrollBar1V : ConstData.PatternScrollBar1H,
                      vertical ? ConstData.HotPatternScrollBar1V : ConstData.HotPatternScrollBar1H,
                      vertical ? "SCROLLBAR1V" : "SCROLLBAR1H", ci, true, state, r1, TPoint{Left(), Top()}, cache);
    }
    const TRect r2 = Bar2Rect();
    if (WidthOf(r2) >= 1 && HeightOf(r2) >= 1) {
        const int state = (Bar2State ? Bar2State : hot) * off;
        PaintItemFast(vertical ? ConstData.IndexScrollBar2V : ConstData.IndexScrollBar2H,
                      vertical ? ConstData.MaskScrollBar2V : ConstData.MaskScrollBar2H,
                      vertical ? ConstData.PatternScrollBar2V : ConstData.PatternScrollBar2H,
                      vertical ? ConstData.HotPatternScrollBar2V : ConstData.HotPatternScrollBar2H,
                      vertical ? "SCROLLBAR2V" : "SCROLLBAR2H", ci, true, state, r2,
                      TPoint{Left() + r2.left, Top() + r2.top}, cache);
    }
    if (work != cache)
        sgu::CopyBlock(work, 0, 0, cache, 0, 0, cache->Width(), cache->Height());
    if (vertical) {
        DrawBtnTop(work);
        DrawBtnBottom(work);
    } else {
        DrawBtnLeft(work);
        DrawBtnRight(work);
    }
    if (!(HostControl && !Enabled() && HostControl->Enabled()))
        DrawSlider(work);

    const TWindowDC window(Handle(), DC);
    if (!Enabled()) {
        ci = HostCache();
        if (HostControl && HostControl != Parent()) {
            const int bar1h = ConstData.IndexScrollBar1H;
            const TColor color = IsValidSkinIndex(bar1h) ? gd[bar1h].Color : clBtnFace;
            // The whole bar and one pixel more, as far as the bitmap reaches.
            FadeBmp(work, Rect(0, 0, std::min(Width() + 1, work->Width()), std::min(Height() + 1, work->Height())), 60,
                    ColorToSColor(ColorToRGB(color)), 0, 0);
        } else
            BmpDisabledKind(work, FDisabledKind, Parent(), ci, TPoint{Left(), Top()});
    }
    BitBlt(window.Handle(), 0, 0, work->Width(), work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsScrollBar::DrawButton(TBitmap* Bmp, int Section, int Mask, int Pattern, int HotPattern, int Glyph,
                             const char* Name, const TRect& Drawn, const TRect& Centred, int State)
{
    // Transparent parts of the button show the track already drawn in the target.
    FOwnCacheInfo.Bmp = Bmp;
    PaintItemFast(Section, Mask, Pattern, HotPattern, Name, FOwnCacheInfo, true, State, Drawn, TPoint{0, 0}, Bmp);
    FOwnCacheInfo.Bmp = FCommonData->FCacheBmp.get();
    if (!IsValidImgIndex(Glyph))
        return;
    const TPoint cell = GlyphCell(ma[Glyph]);
    // An own glyph image taller than the button is left out.
    if (ma[Glyph].Bmp && ma[Glyph].Bmp->Height() / 2 >= HeightOf(Centred))
        return;
    const TPoint p{Centred.left + (WidthOf(Centred) - cell.x) / 2, Centred.top + (HeightOf(Centred) - cell.y) / 2};
    if (p.x >= 0 && p.y >= 0)
        DrawSkinGlyph(Bmp, p, State, 1, ma[Glyph]);
}

void TsScrollBar::DrawBtnTop(TBitmap* Bmp)
{
    DrawButton(Bmp, ConstData.IndexScrollBtnTop, ConstData.MaskScrollBtnTop, ConstData.PatternScrollBtnTop,
               ConstData.HotPatternScrollBtnTop, ConstData.GlyphScrollBtnTop, "SCROLLBTNTOP", Btn1DRect(), Btn1Rect(),
               Btn1State);
}

void TsScrollBar::DrawBtnBottom(TBitmap* Bmp)
{
    DrawButton(Bmp, ConstData.IndexScrollBtnBottom, ConstData.MaskScrollBtnBottom, ConstData.PatternScrollBtnBottom,
               ConstData.HotPatternScrollBtnBottom, ConstData.GlyphScrollBtnBottom, "SCROLLBTNBOTTOM", Btn2DRect(),
               Btn2Rect(), Btn2State);
}

void TsScrollBar::DrawBtnLeft(TBitmap* Bmp)
{
    DrawButton(Bmp, ConstData.IndexScrollBtnLeft, ConstData.MaskScrollBtnLeft, ConstData.PatternScrollBtnLeft,
               ConstData.HotPatternScrollBtnLeft, ConstData.GlyphScrollBtnLeft, "SCROLLBTNLEFT", Btn1DRect(), Btn1Rect(),
               Btn1State);
}

void TsScrollBar::DrawBtnRight(TBitmap* Bmp)
{
    DrawButton(Bmp, ConstData.IndexScrollBtnRight, ConstData.MaskScrollBtnRight, ConstData.PatternScrollBtnRight,
               ConstData.HotPatternScrollBtnRight, ConstData.GlyphScrollBtnRight, "SCROLLBTNRIGHT", Btn2DRect(),
               Btn2Rect(), Btn2State);
}

void TsScrollBar::DrawSlider(TBitmap* Bmp)
{
    const bool vertical = FKind == sbVertical;
    const TRect s = SliderRect();
    const int room = vertical ? Btn2Rect().top - Btn1Rect().bottom : Btn2Rect().left - Btn1Rect().right;
    const int w = WidthOf(s), h = HeightOf(s);
    if (room < (vertical ? h : w) || w <= 0 || h <= 0)
        return;
    TBitmap temp(w, h, pf24bit);
    sgu::CopyBlock(&temp, 0, 0, FCommonData->FCacheBmp.get(), s.left, s.top, w, h);
    FOwnCacheInfo.Bmp = &temp;
    PaintItemFast(vertical ? ConstData.IndexSliderV : ConstData.IndexSliderH,
                  vertical ? ConstData.MaskSliderV : ConstData.MaskSliderH,
                  vertical ? ConstData.PatternSliderV : ConstData.PatternSliderH,
                  vertical ? ConstData.HotPatternSliderV : ConstData.HotPatternSliderH,
                  vertical ? "SCROLLSLIDERV" : "SCROLLSLIDERH", FOwnCacheInfo, true, SliderState, Rect(0, 0, w, h),
                  TPoint{0, 0}, &temp);
    sgu::CopyBlock(Bmp, s.left, s.top, &temp, 0, 0, w, h);
    FOwnCacheInfo.Bmp = FCommonData->FCacheBmp.get();
    const int glyph = vertical ? ConstData.GlyphSliderV : ConstData.GlyphSliderH;
    if (!IsValidImgIndex(glyph))
        return;
    const TsMaskData& m = ma[glyph];
    if (m.Bmp && (vertical ? m.Bmp->Height() / 2 >= h : m.Bmp->Width() / 2 >= w))
        return;
    const TPoint cell = GlyphCell(m);
    const int shift = SliderState == 2 ? 1 : 0;
    const TPoint p{s.left + (w - cell.x) / 2 + shift, s.top + (h - cell.y) / 2 + shift};
    if (p.x >= 0 && p.y >= 0)
        DrawSkinGlyph(Bmp, p, SliderState, 1, m);
}

// --- Mouse, keys and timers -----------------------------------------------------------------------

void TsScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (SkinnedMode() && Button == mbLeft && ControlIsReady(this)) {
        if (Application) {
            FSavedShowHint = Application->ShowHint();
            FHintSaved = true;
            Application->SetShowHint(false);
        }
        DragOffset = 0;
        if (CanFocus())
            SetFocus();
        // The bar holds the mouse until the release, so that a release off the bar still ends the
        // press (its timer, its pressed look, the hints).
        if (HandleAllocated()) {
            FHeld = true;
            SetCapture(Handle());
        }
        const TPoint p{X, Y};
        if (InRect(Btn1Rect(), p)) {
            ScrollCode = 0;
            if (Btn1State != 2) {
                SetInteger(0, 2);
                if (FPosition != FMin) {
                    PaintLocked = true;
                    SetPosition(FPosition - SmallChange);
                    PrepareBtnTimer();
                }
            }
        } else if (InRect(Btn2Rect(), p)) {
            if (Btn2State != 2) {
                SetInteger(1, 2);
                ScrollCode = 1;
                if (FPosition != FMax) {
                    PaintLocked = true;
                    SetPosition(FPosition + SmallChange);
                    PrepareBtnTimer();
                }
            }
        } else if (InRect(SliderRect(), p)) {
            ScrollCode = 5;
            InitDontChange();
            if (SliderState != 2) {
                DragOffset = CoordToPosition(p) - FPosition;
                SetInteger(4, 2);
                PrepareTimer();
            }
        } else if (InRect(Bar1Rect(), p)) {
            ScrollCode = 2;
            if (Bar1State != 2) {
                SetInteger(2, 2);
                SetInteger(3, BarIsHot());
                PaintLocked = true;
                SetPosition(FPosition - LargeChange);
                PrepareBarTimer();
            }
        } else {
            ScrollCode = 3;
            if (Bar2State != 2) {
                SetInteger(2, BarIsHot());
                SetInteger(3, 2);
                PaintLocked = true;
                SetPosition(FPosition + LargeChange);
                PrepareBarTimer();
            }
        }
        UpdateBar();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TsScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!SkinnedMode() || !ControlIsReady(this)) {
        inherited::MouseUp(Button, Shift, X, Y);
        return;
    }
    StopTimer();
    const TPoint p{X, Y};
    if (InRect(SliderRect(), p) || SliderState == 2) {
        ScrollCode = 4;
        SetInteger(2, BarIsHot());
        SetInteger(3, BarIsHot());
        if (SliderState == 2) {
            PaintLocked = true;
            SetPosition(CoordToPosition(p) - DragOffset);
            SetInteger(4, InRect(SliderRect(), p) ? 1 : 0);
            ClearDontChange();
        }
    } else if (Btn1State == 2 && InRect(Btn1Rect(), p))
        SetInteger(0, 1);
    else if (Btn2State == 2 && InRect(Btn2Rect(), p))
        SetInteger(1, 1);
    else if (Bar1State == 2)
        SetInteger(2, BarIsHot());
    else if (Bar2State == 2)
        SetInteger(3, BarIsHot());
    ReleasePressedParts();
    UpdateBar();
    FHeld = false;
    ReleaseCapture();
    inherited::MouseUp(Button, Shift, X, Y);
    RestoreHints();
}

// A part released away from itself is pressed no more.
void TsScrollBar::ReleasePressedParts()
{
    if (Btn1State == 2)
        SetInteger(0, 0);
    if (Btn2State == 2)
        SetInteger(1, 0);
    if (SliderState == 2)
        SetInteger(4, 0);
    if (Bar1State == 2)
        SetInteger(2, BarIsHot());
    if (Bar2State == 2)
        SetInteger(3, BarIsHot());
}

// The mouse was taken from the bar during a press: it ends as a release would.
void TsScrollBar::EndPress()
{
    FHeld = false;
    StopTimer();
    if (SliderState == 2)
        ClearDontChange();
    ReleasePressedParts();
    if (!ComponentState().Contains(csDestroying))
        UpdateBar();
    RestoreHints();
}

// Only a left press switched the hints off.
void TsScrollBar::RestoreHints()
{
    if (FHintSaved && Application) {
        FHintSaved = false;
        Application->SetShowHint(FSavedShowHint);
    }
}

void TsScrollBar::WMNCHitTest(TMessage& Message)
{
    if (ControlIsReady(this)) {
        const TPoint p = CoordToPoint(TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))});
        if (InRect(SliderRect(), p) || SliderState == 2) {
            if (SliderState == 2) {
                const int pos = CoordToPosition(p) - DragOffset;
                if (pos != FPosition) {
                    PaintLocked = true;
                    SetPosition(pos);
                }
            } else
                SetInteger(4, 1);
        } else if (InRect(Btn1Rect(), p)) {
            if (Btn1State != 2)
                SetInteger(0, 1);
        } else if (InRect(Btn2Rect(), p)) {
            if (Btn2State != 2)
                SetInteger(1, 1);
        } else {
            SetInteger(4, 0);
            SetInteger(0, 0);
            SetInteger(1, 0);
        }
        UpdateBar();
    }
    DefaultHandler(Message);
}

void TsScrollBar::CMMouseEnter(TMessage&)
{
    SetInteger(2, 1);
    SetInteger(3, 1);
    UpdateBar();
}

void TsScrollBar::CMMouseLeave(TMessage&)
{
    SetInteger(0, 0);
    SetInteger(1, 0);
    if (SliderState != 2) {
        SetInteger(4, 0);
        SetInteger(2, 0);
        SetInteger(3, 0);
    }
    UpdateBar();
}

void TsScrollBar::KeyDown(Word& Key, TShiftState Shift)
{
    if (SkinActive()) {
        switch (Key) {
        case VK_PRIOR: SetPosition(FPosition - LargeChange); break;
        case VK_NEXT: SetPosition(FPosition + LargeChange); break;
        case VK_END: SetPosition(FMax); break;
        case VK_HOME: SetPosition(FMin); break;
        case VK_LEFT:
        case VK_UP: SetPosition(FPosition - SmallChange); break;
        case VK_RIGHT:
        case VK_DOWN: SetPosition(FPosition + SmallChange); break;
        default: break;
        }
    }
    inherited::KeyDown(Key, Shift);
}

void TsScrollBar::StartTimer(TTimerKind Kind, Cardinal Interval)
{
    if (!FTimer) {
        FTimer = Create<TTimer>(this);
        FTimer->OnTimer = TNotifyEvent(this, &TsScrollBar::OnTimer);
    }
    FTimer->SetEnabled(false);
    FTimerKind = Kind;
    FTimer->SetInterval(Interval);
    FTimer->SetEnabled(true);
}

void TsScrollBar::StopTimer()
{
    if (FTimer)
        FTimer->SetEnabled(false);
    FTimerKind = tkNone;
}

void TsScrollBar::PrepareTimer()
{
    StartTimer(tkDrag, 10);
    if (HandleAllocated())
        SetCapture(Handle());
}

void TsScrollBar::PrepareBtnTimer()
{
    StartTimer(tkButton, 500);
}

void TsScrollBar::PrepareBarTimer()
{
    StartTimer(tkTrack, 500);
}

void TsScrollBar::OnTimer(TObject* Sender)
{
    switch (FTimerKind) {
    case tkButton: OnBtnTimer(Sender); return;
    case tkTrack: OnBarTimer(Sender); return;
    case tkNone: StopTimer(); return;
    case tkDrag: break;
    }
    if (!ControlIsReady(this) || !HandleAllocated())
        return;
    // The cursor is read at every tick: while the bar holds the mouse no hit test reports moves.
    if (SliderState == 2) {
        POINT cursor;
        GetCursorPos(&cursor);
        SetPosition(CoordToPosition(CoordToPoint(TPoint{cursor.x, cursor.y})) - DragOffset);
    }
    SetCapture(Handle());
}

void TsScrollBar::OnBtnTimer(TObject*)
{
    if (FTimer && FTimer->Interval() > 100)
        FTimer->SetInterval(100);
    if (Btn1State == 2)
        SetPosition(FPosition - SmallChange);
    else if (Btn2State == 2)
        SetPosition(FPosition + SmallChange);
    else
        StopTimer();
}

void TsScrollBar::OnBarTimer(TObject*)
{
    if (FTimer && FTimer->Interval() > 100)
        FTimer->SetInterval(100);
    POINT cursor;
    GetCursorPos(&cursor);
    const int under = CoordToPosition(CoordToPoint(TPoint{cursor.x, cursor.y}));
    if (Bar1State == 2 && under < FPosition)
        SetPosition(FPosition - LargeChange);
    else if (Bar2State == 2 && under > FPosition)
        SetPosition(FPosition + LargeChange);
    else
        StopTimer();
}

// --- The host contract --------------------------------------------------------------------------

TsScrollBar* MakeHostBar(TWinControl* Host, TScrollBarKind Kind, TOnIntChangeEvent OnChange)
{
    auto* bar = Create<TsScrollBar>(Host);
    bar->SetVisible(false);
    bar->HostControl = Host;
    bar->OnHostChange = OnChange;
    bar->PaintLocked = true;
    bar->SetParent(Host->Parent());
    bar->SetTabStop(false);
    bar->SetKind(Kind);
    if (Kind == sbVertical)
        bar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    else
        bar->SetHeight(GetSystemMetrics(SM_CYHSCROLL));
    bar->Smooth = true;
    return bar;
}

void FreeHostBar(TsScrollBar*& Bar)
{
    if (!Bar)
        return;
    TsScrollBar* b = Bar;
    Bar = nullptr;
    b->Free();
}

bool GetNativeScrollInfo(TWinControl* Host, int Bar, SCROLLINFO& Info)
{
    Info = SCROLLINFO{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_ALL;
    return Host->HandleAllocated() &&
           (GetWindowLongA(Host->Handle(), GWL_STYLE) & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) &&
           GetScrollInfo(Host->Handle(), Bar, &Info);
}

void FillHostBar(TsScrollBar* Bar, const SCROLLINFO& Info, bool Enabled)
{
    Bar->PaintLocked = true;
    const bool locked = Bar->ChangeLocked;
    Bar->ChangeLocked = true;
    const int page = static_cast<int>(Info.nPage);
    const int max = Info.nMax - page + 1;
    // A range that fits the page has nothing to scroll (and no range to report).
    if (Enabled && Info.nMax >= Info.nMin && max > Info.nMin) {
        Bar->SetEnabled(true);
        Bar->SetParams(Info.nPos, Info.nMin, max);
        Bar->SetPageSize(page);
        Bar->LargeChange = std::max(page, 1);
    } else {
        Bar->SetParams(0, 0, 1);
        Bar->SetPageSize(page);
        Bar->SetEnabled(false);
    }
    Bar->ChangeLocked = locked;
}

void SendThumbPosition(TWinControl* Host, TsScrollBar* Bar)
{
    if (!Host->HandleAllocated())
        return;
    // Native controls read the message's 16 bits of position as signed.
    const int position = Bar->Position();
    if (position > 0x7FFF && Bar->OnHostPosition) {
        Bar->OnHostPosition(Bar, position);
        return;
    }
    SendMessageA(Host->Handle(), Bar->Kind() == sbVertical ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(std::clamp(position, 0, 0x7FFF))), 0);
}

void SendHostScroll(TWinControl* Host, TsScrollBar* Bar)
{
    const bool arrow = Bar->Btn1State == 2 || Bar->Btn2State == 2;
    if (!arrow || !Host->HandleAllocated()) {
        SendThumbPosition(Host, Bar);
        return;
    }
    const bool vertical = Bar->Kind() == sbVertical;
    SendMessageA(Host->Handle(), vertical ? WM_VSCROLL : WM_HSCROLL, Bar->Btn1State == 2 ? SB_LINEUP : SB_LINEDOWN, 0);
    // The bar stands where the host's own line took it.
    SCROLLINFO si;
    if (GetNativeScrollInfo(Host, vertical ? SB_VERT : SB_HORZ, si) && si.nPos != Bar->Position()) {
        const bool locked = Bar->ChangeLocked;
        Bar->ChangeLocked = true;
        Bar->SetParams(si.nPos, Bar->Min(), Bar->Max());
        Bar->ChangeLocked = locked;
    }
}

void PaintHostCorner(TWinControl* Host, TsScrollBar* VBar, TsScrollBar* HBar)
{
    if (!VBar || !HBar || !VBar->Visible() || !HBar->Visible() || !Host->HandleAllocated())
        return;
    HDC dc = GetWindowDC(Host->Handle());
    const RECT corner{VBar->Left() - Host->Left(), HBar->Top() - Host->Top(), VBar->Left() - Host->Left() + VBar->Width(),
                      HBar->Top() - Host->Top() + HBar->Height()};
    TGdiHandle<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Host->Color()))));
    FillRect(dc, &corner, brush.Get());
    ReleaseDC(Host->Handle(), dc);
}
