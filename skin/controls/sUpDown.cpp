#include "sUpDown.h"

#include <windowsx.h>

#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

// The indexes a scroll-button section was resolved to once per skin.
struct TButtonIndexes {
    int Section;
    int Mask;
    int Pattern;
    int HotPattern;
    int Glyph;
    const char* Name;
};

TButtonIndexes ScrollButton(TsBtnKind Kind)
{
    const TConstantSkinData& c = ConstData;
    switch (Kind) {
    case sbkTop:
        return {c.IndexScrollBtnTop, c.MaskScrollBtnTop, c.PatternScrollBtnTop, c.HotPatternScrollBtnTop,
                c.GlyphScrollBtnTop, "SCROLLBTNTOP"};
    case sbkLeft:
        return {c.IndexScrollBtnLeft, c.MaskScrollBtnLeft, c.PatternScrollBtnLeft, c.HotPatternScrollBtnLeft,
                c.GlyphScrollBtnLeft, "SCROLLBTNLEFT"};
    case sbkBottom:
        return {c.IndexScrollBtnBottom, c.MaskScrollBtnBottom, c.PatternScrollBtnBottom, c.HotPatternScrollBtnBottom,
                c.GlyphScrollBtnBottom, "SCROLLBTNBOTTOM"};
    case sbkRight:
        break;
    }
    return {c.IndexScrollBtnRight, c.MaskScrollBtnRight, c.PatternScrollBtnRight, c.HotPatternScrollBtnRight,
            c.GlyphScrollBtnRight, "SCROLLBTNRIGHT"};
}

} // namespace

TsUpDown::TsUpDown(TComponent* AOwner) : TUpDown(AOwner)
{
    // Two quick presses are two steps.
    SetControlStyle(ControlStyle() >> csDoubleClicks);
}

void TsUpDown::SetShowInaccessibility(bool Value)
{
    if (Value != FShowInaccessibility) {
        FShowInaccessibility = Value;
        Repaint();
    }
}

void TsUpDown::SetDisabledKind(TsDisabledKind Value)
{
    if (Value != FDisabledKind) {
        FDisabledKind = Value;
        Repaint();
    }
}

void TsUpDown::SetDrawingState(TsDrawingState Value)
{
    if (Value != FDrawingState) {
        FDrawingState = Value;
        Repaint();
    }
}

void TsUpDown::SetButtonSkin(const AnsiString& Value)
{
    if (Value != FButtonSkin) {
        FButtonSkin = Value;
        Invalidate();
    }
}

TRect TsUpDown::BtnRect() const
{
    return Vertical() ? Rect(0, 0, Width(), Height() / 2) : Rect(0, 0, Width() / 2, Height());
}

bool TsUpDown::AtEnd(bool First)
{
    const bool atMax = First == Vertical();
    return Position() == (atMax ? Max() : Min());
}

TCacheInfo TsUpDown::GetParentCache()
{
    TCacheInfo result{};
    if (Parent()) {
        GlobalCacheInfo = TCacheInfo{};
        SendAMessage(Parent(), AC_GETCACHEINFO);
        result = GlobalCacheInfo;
    }
    return result;
}

void TsUpDown::Press()
{
    if (FDrawingState == dsPrevUp && !AtEnd(true))
        SetDrawingState(dsPrevDown);
    else if (FDrawingState == dsNextUp && !AtEnd(false))
        SetDrawingState(dsNextDown);
}

void TsUpDown::HitTest(const TMessage& Message)
{
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ScreenToClient(Handle(), &p);
    const RECT first = BtnRect();
    const RECT client = ClientRect();
    if (!PtInRect(&client, p))
        return;
    const bool inFirst = PtInRect(&first, p) != 0;
    if (FShowInaccessibility && AtEnd(inFirst)) {
        SetDrawingState(dsDefault);
        return;
    }
    const TsDrawingState hot = inFirst ? dsPrevUp : dsNextUp;
    if (FDrawingState != hot && !FMouseDownFlag)
        SetDrawingState(hot);
}

void TsUpDown::DrawBtn(TBitmap* Bmp, TsBtnKind Kind)
{
    const TButtonIndexes own = ScrollButton(Kind);
    TButtonIndexes b = own;
    AnsiString name = own.Name;
    if (!FButtonSkin.empty()) {
        const int si = GetSkinIndex(FButtonSkin);
        if (IsValidSkinIndex(si)) {
            name = FButtonSkin;
            b = {si, GetMaskIndex(si, name, "BORDERSMASK"), GetPatternIndex(si, name, "PATTERN"),
                 GetPatternIndex(si, name, "HOTPATTERN"), own.Glyph, own.Name};
        }
    }
    const bool first = Kind == sbkTop || Kind == sbkLeft;
    TPoint at{0, 0};
    if (Kind == sbkBottom) {
        Bmp->SetHeight(Height() - Bmp->Height());
        at.y = Height() - Bmp->Height();
    } else if (Kind == sbkRight) {
        Bmp->SetWidth(Width() - Bmp->Width());
        at.x = Width() - Bmp->Width();
    }
    const int w = Bmp->Width();
    const int h = Bmp->Height();
    int state = 0;
    if (FDrawingState == (first ? dsPrevUp : dsNextUp))
        state = 1;
    else if (FDrawingState == (first ? dsPrevDown : dsNextDown))
        state = 2;
    const TCacheInfo ci = GetParentCache();
    const TPoint place{Left() + at.x, Top() + at.y};
    PaintItemFast(b.Section, b.Mask, b.Pattern, b.HotPattern, name, ci, true, state, Rect(0, 0, w, h), place, Bmp);

    if (IsValidImgIndex(own.Glyph)) {
        const TsMaskData& glyph = ma[own.Glyph];
        const TPoint frame = MaskSize(glyph);
        const TPoint p{(w - frame.x) / 2, (h - frame.y) / 2};
        // A glyph larger than the button is left out.
        if (p.x >= 0 && p.y >= 0 && !(glyph.Bmp && frame.y >= h))
            DrawSkinGlyph(Bmp, p, state, 1, glyph);
    }

    if (!Enabled() || (FShowInaccessibility && AtEnd(first))) {
        if (ci.Ready)
            BmpDisabledKind(Bmp, FDisabledKind, Parent(), ci, place);
        else if (Parent())
            FadeBmp(Bmp, Rect(0, 0, w, h), 60, ColorToSColor(ColorToRGB(Parent()->Color())), 0, 0);
    }
}

void TsUpDown::PaintButtons(TMessage& Message)
{
    PAINTSTRUCT ps{};
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool began = !dc;
    if (began)
        dc = BeginPaint(Handle(), &ps);
    const int saved = SaveDC(dc);
    // A control too small to hold two buttons shows nothing.
    if (Width() >= 2 && Height() >= 2) {
        if (Vertical()) {
            TBitmap bmp(Width(), Height() / 2);
            DrawBtn(&bmp, sbkTop);
            BitBlt(dc, 0, 0, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
            DrawBtn(&bmp, sbkBottom);
            BitBlt(dc, 0, Height() / 2, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
        } else {
            TBitmap bmp(Width() / 2, Height());
            DrawBtn(&bmp, sbkLeft);
            BitBlt(dc, 0, 0, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
            DrawBtn(&bmp, sbkRight);
            BitBlt(dc, Width() / 2, 0, bmp.Width(), bmp.Height(), bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    RestoreDC(dc, saved);
    if (began)
        EndPaint(Handle(), &ps);
    Message.Result = 0;
}

void TsUpDown::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_REMOVESKIN:
        case AC_REPAINT:
            Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            inherited::WndProc(Message);
            return;
        }
    }
    const UINT msg = Message.Msg;
    switch (msg) {
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        return;
    case WM_NCHITTEST:
        inherited::WndProc(Message);
        HitTest(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
        inherited::WndProc(Message);
        FMouseDownFlag = true;
        Press();
        if (msg == WM_LBUTTONDOWN)
            Message.Result = 1;
        return;
    case WM_LBUTTONUP:
        inherited::WndProc(Message);
        if (!FMouseDownFlag)
            return;
        FMouseDownFlag = false;
        // The pressed button turns hot again, or plain when the press took it to its end. Only a
        // pressed button changes: the other one never lights up under the mouse.
        if (FDrawingState == dsPrevDown || FDrawingState == dsNextDown) {
            const bool first = FDrawingState == dsPrevDown;
            SetDrawingState(FShowInaccessibility && AtEnd(first) ? dsDefault : first ? dsPrevUp : dsNextUp);
        }
        Message.Result = 1;
        return;
    case CM_MOUSELEAVE:
        inherited::WndProc(Message);
        FMouseDownFlag = false;
        SetDrawingState(dsDefault);
        return;
    case WM_PAINT: {
        const bool v = Vertical();
        const int a = v ? ConstData.IndexScrollBtnTop : ConstData.IndexScrollBtnLeft;
        const int b = v ? ConstData.IndexScrollBtnBottom : ConstData.IndexScrollBtnRight;
        if (sSkinData->Active && IsValidSkinIndex(a) && IsValidSkinIndex(b))
            PaintButtons(Message);
        else
            inherited::WndProc(Message);
        return;
    }
    default:
        inherited::WndProc(Message);
        return;
    }
}
