#include "sGauge.h"

#include <climits>
#include <cmath>
#include <numbers>

#include "SysUtils.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

constexpr int GaugeCode = 161;

[[noreturn]] void OutOfRange(Int64 Low, Int64 High)
{
    throw EInvalidOperation("Value must be between " + IntToStr(Low) + " and " + IntToStr(High));
}

// The filled sector of a pie: clockwise from the top centre over Percent of the full turn, in the
// box (X, Y) - (W, H) as the canvas's Pie takes it.
void PieSector(TCanvas* C, int X, int Y, int W, int H, int Percent)
{
    const int mx = W / 2;
    const int my = H / 2;
    const double angle = (Percent / 50.0 + 0.5) * std::numbers::pi;
    C->Pie(X, Y, W, H, static_cast<int>(Round(mx * (1 - std::cos(angle)))),
           static_cast<int>(Round(my * (1 - std::sin(angle)))), mx, 0);
}

// The needle from the middle of the base: 0 % points left, 50 % up, 100 % right.
void Needle(TCanvas* C, int MX, int B, int Percent)
{
    const double angle = Percent / 100.0 * std::numbers::pi;
    C->MoveTo(MX, B - 1);
    C->LineTo(static_cast<int>(Round(MX * (1 - std::cos(angle)))), static_cast<int>(Round((B - 1) * (1 - std::sin(angle)))));
}

} // namespace

// In whole numbers: a hundredth in floating point is inexact, and 29 % of 100 pixels would come out
// as 28.999... and lose a pixel.
int LengthForPercent(int Percent, int Size)
{
    return static_cast<int>(Int64{Size} * Percent / 100);
}

int PercentOfRange(Int64 Part, Int64 Whole)
{
    return Whole == 0 ? 0 : static_cast<int>(Part * 100 / Whole);
}

TsGauge::TsGauge(TComponent* AOwner) : TGraphicControl(AOwner), FCommonData(std::make_unique<TsCommonData>(this, false))
{
    FCommonData->COC = GaugeCode;
    SetControlStyle(ControlStyle() << csOpaque);
    SetWidth(120);
    SetHeight(30);
}

TsGauge::~TsGauge() = default;

void TsGauge::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsGauge::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

int TsGauge::PercentDone() const
{
    return PercentOfRange(Int64{FProgress} - FMinValue, Int64{FMaxValue} - FMinValue);
}

void TsGauge::SetMinValue(int Value)
{
    if (Value == FMinValue)
        return;
    if (Value > FMaxValue && !ComponentState().Contains(csLoading))
        OutOfRange(-2147483647, Int64{FMaxValue} - 1);
    FMinValue = Value;
    if (FProgress < Value)
        FProgress = Value;
    Repaint();
}

void TsGauge::SetMaxValue(int Value)
{
    if (Value == FMaxValue)
        return;
    if (Value < FMinValue && !ComponentState().Contains(csLoading))
        OutOfRange(Int64{FMinValue} + 1, 2147483647);
    FMaxValue = Value;
    if (FProgress > Value)
        FProgress = Value;
    Repaint();
}

void TsGauge::SetProgress(int Value)
{
    // While loading the bounds may come in any order: the nearer one is taken as it stands.
    Value = std::max(Value, FMinValue);
    Value = std::min(Value, FMaxValue);
    if (Value == FProgress)
        return;
    const int before = PercentDone();
    FProgress = Value;
    if (PercentDone() != before) {
        if (!RestrictDrawing)
            FCommonData->BGChanged = true;
        Repaint();
    }
    if (OnChange)
        OnChange(this);
}

void TsGauge::AddProgress(int Value)
{
    // Summed wide, so a step past the ends of the number range stops at the bound.
    const Int64 sum = Int64{FProgress} + Value;
    SetProgress(static_cast<int>(std::clamp<Int64>(sum, INT_MIN, INT_MAX)));
    Repaint();
}

void TsGauge::SetKind(TsGaugeKind Value)
{
    if (Value != FKind) {
        FKind = Value;
        Repaint();
    }
}

void TsGauge::SetShowText(bool Value)
{
    if (Value != FShowText) {
        FShowText = Value;
        Repaint();
    }
}

void TsGauge::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        Repaint();
    }
}

void TsGauge::SetBackColor(TColor Value)
{
    if (Value != FBackColor) {
        FBackColor = Value;
        Repaint();
    }
}

void TsGauge::SetForeColor(TColor Value)
{
    if (Value != FForeColor) {
        FForeColor = Value;
        Repaint();
    }
}

void TsGauge::SetSuffix(const AnsiString& Value)
{
    if (Value != FSuffix) {
        FSuffix = Value;
        FCommonData->Invalidate();
    }
}

void TsGauge::SetProgressSkin(const AnsiString& Value)
{
    if (Value != FProgressSkin) {
        FProgressSkin = Value;
        FCommonData->Invalidate();
    }
}

void TsGauge::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Repaint();
            return;
        case AC_PARENTUPDATED:
            if (sd->GetUpdating()) {
                sd->Updating = false;
                Repaint();
            }
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    if (Message.Msg == WM_ERASEBKGND)
        return;
    if (ControlIsReady(this) && sd->Skinned() && CommonWndProc(Message, sd))
        return;
    inherited::WndProc(Message);
}

void TsGauge::Paint()
{
    if (Width() < 1 || Height() < 1)
        return;
    if (FCommonData->Skinned())
        PaintSkinned();
    else
        PaintPlain();
}

void TsGauge::PaintSkinned()
{
    TsCommonData* sd = FCommonData.get();
    if (sd->GetUpdating()) {
        // The parent is being painted: this mark stands for the gauge until it is done.
        Canvas()->SetPixels(0, 0, static_cast<TColor>(0xFF00FF));
        return;
    }
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    const int w = Width();
    const int h = Height();
    TRect r = Rect(0, 0, w, h);
    PaintItem(sd, GetParentCache(sd), true, 0, r, TPoint{Left(), Top()}, cache, false);
    TCanvas* c = cache->Canvas();
    switch (FKind) {
    case gkHorizontalBar:
    case gkVerticalBar:
        PaintSkinnedBar(cache);
        break;
    case gkPie:
        c->Pen()->SetWidth(1);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(FForeColor);
        c->Brush()->SetStyle(bsSolid);
        // The disc in the gauge's own colour, so the skin's text colour reads on it.
        c->Brush()->SetColor(IsValidSkinIndex(sd->SkinIndex) ? gd[sd->SkinIndex].Color : FBackColor);
        c->Ellipse(r.left, r.top, w, h);
        c->Brush()->SetColor(FForeColor);
        if (PercentDone() > 0)
            PieSector(c, r.left, r.top, w, h, PercentDone());
        break;
    case gkNeedle: {
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetWidth(1);
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(FForeColor);
        const int x = r.left;
        const int b = r.bottom;
        c->Pie(x, r.top, w, 2 * h - 1, x + w, b - 1, x, b - 1);
        c->MoveTo(x, b);
        c->LineTo(x + w, b);
        if (PercentDone() > 0)
            Needle(c, w / 2, b, PercentDone());
        break;
    }
    case gkText:
        break;
    }
    if (FShowText) {
        const AnsiString s = IntToStr(PercentDone()) + FSuffix;
        c->SetFont(Font());
        WriteTextEx(c, s.c_str(), Enabled(), r, GetStringFlags(this, taCenter) | DT_NOPREFIX, sd, false);
    }
    sd->BGChanged = false;
    UpdateCorners(sd, 0);
    BitBlt(Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCCOPY);
    sd->FCacheBmp.reset();
}

void TsGauge::PaintSkinnedBar(TBitmap* Cache)
{
    AnsiString section = FProgressSkin;
    if (section.empty())
        section = FKind == gkHorizontalBar ? "PROGRESSH" : "PROGRESSV";
    const int index = GetSkinIndex(section);
    if (index < 0)
        return;
    const int w = Width();
    const int h = Height();
    const TCacheInfo own{Cache, 0, 0, true};
    if (FKind == gkHorizontalBar) {
        const int l = std::min(LengthForPercent(PercentDone(), w), w);
        if (l <= 0)
            return;
        TBitmap bar(l, h);
        PaintItem(index, section, own, true, 0, Rect(0, 0, l, h), TPoint{0, 0}, &bar);
        BitBlt(Cache->Canvas()->Handle(), 0, 0, l, h, bar.Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        const int l = std::min(LengthForPercent(PercentDone(), h), h);
        if (l <= 0)
            return;
        const int top = h - l;
        TBitmap bar(w, l);
        PaintItem(index, section, own, true, 0, Rect(0, 0, w, l), TPoint{0, top}, &bar);
        BitBlt(Cache->Canvas()->Handle(), 0, top, w, l, bar.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

void TsGauge::PaintPlain()
{
    const int w = Width();
    const int h = Height();
    TBitmap image(w, h);
    TBitmap overlay(w, h);
    for (TBitmap* b : {&image, &overlay}) {
        b->Canvas()->Brush()->SetColor(clBlack);
        b->Canvas()->FillRect(Rect(0, 0, w, h));
    }
    // The black edge left around P is the border.
    TRect p = Rect(0, 0, w, h);
    const bool single = FBorderStyle == bsSingle;
    if (single)
        p = Rect(1, 1, w - 1, h - 1);
    TCanvas* c = overlay.Canvas();
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetStyle(bsSolid);
    const int pct = PercentDone();
    switch (FKind) {
    case gkText:
        c->Brush()->SetColor(FBackColor);
        c->FillRect(p);
        break;
    case gkHorizontalBar:
    case gkVerticalBar: {
        const int bw = p.right - p.left + 1;
        const int bh = p.bottom - p.top + 1;
        c->Brush()->SetColor(FBackColor);
        c->FillRect(p);
        c->Pen()->SetColor(FForeColor);
        c->Brush()->SetColor(FForeColor);
        if (FKind == gkHorizontalBar) {
            const int f = std::min(LengthForPercent(pct, bw), bw);
            if (f > 0)
                c->FillRect(Rect(p.left, p.top, f, bh));
        } else {
            int f = LengthForPercent(pct, bh);
            if (f >= bh)
                f = bh - 1;
            c->FillRect(Rect(p.left, bh - f, bw, bh));
        }
        break;
    }
    case gkPie:
    case gkNeedle: {
        const int pw = p.right - p.left + (single ? 1 : 0);
        const int ph = p.bottom - p.top + (single ? 1 : 0);
        c->Brush()->SetColor(Color());
        c->FillRect(p);
        c->Brush()->SetColor(FBackColor);
        c->Pen()->SetColor(FForeColor);
        if (FKind == gkPie) {
            c->Ellipse(p.left, p.top, pw, ph);
            if (pct > 0) {
                c->Brush()->SetColor(FForeColor);
                PieSector(c, p.left, p.top, pw, ph, pct);
            }
        } else {
            const int x = p.left;
            c->Pie(x, p.top, pw, 2 * ph - 1, x + pw, p.bottom - 1, x, p.bottom - 1);
            c->MoveTo(x, p.bottom);
            c->LineTo(x + pw, p.bottom);
            if (pct > 0)
                Needle(c, w / 2, p.bottom, pct);
        }
        break;
    }
    }
    BitBlt(image.Canvas()->Handle(), 0, 0, w, h, c->Handle(), 0, 0, SRCINVERT);
    if (FShowText) {
        // White text on black, inverted into the picture: it shows against the bar and beside it.
        TBitmap text(w, h);
        TCanvas* t = text.Canvas();
        t->Brush()->SetColor(clBlack);
        t->FillRect(Rect(0, 0, w, h));
        t->Brush()->SetStyle(bsClear);
        t->SetFont(Font());
        t->Font()->SetColor(clWhite);
        const AnsiString s = IntToStr(pct) + "%";
        const int x = (p.right - p.left + 1 - t->TextWidth(s)) / 2;
        const int y = (p.bottom - p.top + 1 - t->TextHeight(s)) / 2;
        t->TextRect(p, x, y, s);
        BitBlt(image.Canvas()->Handle(), 0, 0, w, h, t->Handle(), 0, 0, SRCINVERT);
    }
    BitBlt(Canvas()->Handle(), 0, 0, w, h, image.Canvas()->Handle(), 0, 0, SRCCOPY);
}
