#include "sLabel.h"

#include <algorithm>

#include "Forms.h"
#include "ShellSeams.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// On while a label writes its current font into its own Font during its paint: the font change
// that causes must neither resize nor repaint the label. Painting is single-threaded.
bool PaintingFont = false;


// The label's canvas ready for DrawText: its own font selected (DrawText uses the DC's font, not
// whatever the DC holds), a transparent background and the given text colour; the font is
// deselected when it goes.
class TLabelTextDC {
public:
    TLabelTextDC(TCanvas* Canvas, TFont* Font, TColor Colour)
    {
        Canvas->SetFont(Font);
        dc_ = Canvas->Handle();
        oldFont_ = SelectObject(dc_, Font->Handle());
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, static_cast<COLORREF>(Colour));
    }
    ~TLabelTextDC() { SelectObject(dc_, oldFont_); }
    TLabelTextDC(const TLabelTextDC&) = delete;
    TLabelTextDC& operator=(const TLabelTextDC&) = delete;
    HDC Handle() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

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

void TsCustomLabel::DoDrawText(TRect& R, UINT Flags)
{
    TsSkinManager* manager = sSkinData->Active ? DefaultManager() : nullptr;
    if (Enabled() || !manager || (Flags & DT_CALCRECT)) {
        inherited::DoDrawText(R, Flags);
        return;
    }
    const AnsiString text = Caption();
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    TFont* font = TControl::Font();
    // A transparent label lies on the skin's face.
    const TColor under = Transparent() ? manager->GetGlobalColor() : Color();
    const TLabelTextDC dc(Canvas(), font, DisabledTextColor(font->Color(), under));
    DrawTextA(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &R, Flags);
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
        FHook.Release();
        FAttachTo->RemoveFreeNotification(this);
    }
    FAttachTo = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Adjust(true);
    SetEnabled(Value->Enabled());
    SetVisible(Value->Visible());
    FHook.Hook(Value, TWndMethod(this, &TsStickyLabel::NewWinProc));
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
        FHook.CallDefault(Message);
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
    FHook.CallDefault(Message);
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

// --- TsShadow, TsKind ------------------------------------------------------------------------------

namespace {

// Stores a new value; true when it differs.
template <class T>
bool Store(T& Field, T Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

} // namespace

void TsShadow::Changed()
{
    if (FControl)
        FControl->Invalidate();
}

void TsShadow::SetMode(TsShadowMode Value)
{
    if (Store(FMode, Value))
        Changed();
}

void TsShadow::SetBlurCount(int Value)
{
    if (Store(FBlurCount, Value))
        Changed();
}

void TsShadow::SetDistance(int Value)
{
    if (Store(FDistance, Value))
        Changed();
}

void TsShadow::SetColor(TColor Value)
{
    if (!Store(FColor, Value))
        return;
    const auto c = static_cast<COLORREF>(ColorToRGB(Value));
    R = GetRValue(c);
    G = GetGValue(c);
    B = GetBValue(c);
    Changed();
}

void TsKind::SetKindType(TsKindType Value)
{
    if (Store(FKindType, Value) && FControl)
        FControl->LookChanged();
}

void TsKind::SetColor(TColor Value)
{
    if (Store(FColor, Value) && FControl)
        FControl->Invalidate();
}

// --- TsLabelFX -------------------------------------------------------------------------------------

TsLabelFX::TsLabelFX(TComponent* AOwner)
    : TsCustomLabel(AOwner),
      FShadowBitmap(std::make_unique<TBitmap>(Width(), Height(), pf32bit)),
      FShadow(std::make_unique<TsShadow>(AOwner, this)),
      FKind(std::make_unique<TsKind>(this))
{
}

TsLabelFX::~TsLabelFX() = default;

void TsLabelFX::LookChanged()
{
    if (AutoSize())
        AdjustBounds();
    Invalidate();
}

void TsLabelFX::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    // A skin that came or went may give the skin's kind its colour, or take it away.
    if (Message.Msg == SM_SKINCMD && (Message.WParamHi == AC_REPAINT || Message.WParamHi == AC_REMOVESKIN))
        LookChanged();
}

namespace {

// The skin's first contour colour ("TCLEFT" of "GLOBALINFO"), when a skin is active and gives one.
bool SkinContourColor(TColor& Colour)
{
    const int global = ConstData.IndexGlobalInfo;
    if (!sSkinData->Active || global < 0 || global >= static_cast<int>(gd.size()))
        return false;
    const TColor contour = gd[static_cast<std::size_t>(global)].FontColor[1];
    if (contour == -1)
        return false;
    Colour = ColorToRGB(contour);
    return true;
}

} // namespace

bool TsLabelFX::TextColor(TColor& Colour)
{
    switch (FKind->KindType()) {
    case ktStandard:
        Colour = ColorToRGB(Color());
        return true;
    case ktCustom:
        Colour = ColorToRGB(FKind->Color());
        return true;
    case ktSkin:
        break;
    }
    return SkinContourColor(Colour);
}

void TsLabelFX::DoDrawText(TRect& R, UINT Flags)
{
    // A disabled label is embossed as the framework draws it, without a shadow. The skin's look
    // needs the skin's colour: where it gives none (no skin, or none in the skin) the label is
    // plain, in its Font, rather than a light text in a dark halo whatever the background.
    TColor colour = clNone;
    if (FShadow->Mode() == smNone || !Enabled() || !TextColor(colour)) {
        inherited::DoDrawText(R, Flags);
        return;
    }
    AnsiString text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&")))
        text += " ";
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    Flags = static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(Flags)));
    const TLabelTextDC textDC(Canvas(), TControl::Font(), colour);
    const HDC dc = textDC.Handle();
    const bool measuring = (Flags & DT_CALCRECT) != 0;
    const bool shadow = FShadow->Color() != clNone && FShadow->BlurCount() != 0;
    if (measuring || !shadow) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &R, Flags);
    } else {
        PaintShadow(dc, R, text, Flags);
        TRect t{R.left - FShadowLeftTop, R.top - FShadowLeftTop, R.right - FShadowRightBottom,
                R.bottom - FShadowRightBottom};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(colour));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &t, Flags);
    }
    if (measuring && shadow) {
        FShadowLeftTop = std::min(0, FShadow->Distance() - FShadow->BlurCount());
        FShadowRightBottom = std::max(0, FShadow->Distance() + FShadow->BlurCount());
        R.right += FShadowRightBottom - FShadowLeftTop;
        R.bottom += FShadowRightBottom - FShadowLeftTop;
    }
}

void TsLabelFX::PaintShadow(HDC DC, const TRect& R, const AnsiString& Text, UINT Flags)
{
    const int w = WidthOf(R), h = HeightOf(R);
    if (w <= 0 || h <= 0)
        return;
    TBitmap* bmp = FShadowBitmap.get();
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(w, h);
    TCanvas* sc = bmp->Canvas();
    HDC sdc = sc->Handle();
    FillDC(sdc, Rect(0, 0, w, h), clBlack);
    // The text's shape, white on black, moved by the distance; drawn in the bitmap's own
    // coordinates, so that a text placed lower by the layout keeps its shadow under it.
    sc->Font()->Assign(TControl::Font());
    sc->Font()->SetColor(clWhite);
    HGDIOBJ oldFont = SelectObject(sdc, sc->Font()->Handle());
    SetBkMode(sdc, TRANSPARENT);
    SetTextColor(sdc, RGB(255, 255, 255));
    const int d = FShadow->Distance();
    TRect t{-FShadowLeftTop + d, -FShadowLeftTop + d, w - FShadowRightBottom + d, h - FShadowRightBottom + d};
    DrawTextA(sdc, Text.c_str(), static_cast<int>(Text.size()), &t, Flags);
    SelectObject(sdc, oldFont);
    GdiFlush();

    // The mask has a border byte on every side, so that the average of four neighbours needs no
    // edge tests.
    const int mw = w + 2;
    const std::size_t needed = static_cast<std::size_t>(mw) * static_cast<std::size_t>(h + 2);
    if (FShadowMask.size() < needed * 2)
        FShadowMask.resize(needed * 2);
    std::fill(FShadowMask.begin(), FShadowMask.begin() + static_cast<std::ptrdiff_t>(needed), Byte{0});
    Byte* mask = FShadowMask.data();
    std::vector<std::size_t> text;
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const Byte*>(bmp->ScanLine(y));
        for (int x = 0; x < w; ++x)
            if (row[x * 4] != 0)
                text.push_back(static_cast<std::size_t>((y + 1) * mw + x + 1));
    }
    for (int pass = 0; pass < FShadow->BlurCount(); ++pass) {
        for (std::size_t i : text)
            mask[i] = 255;
        for (int y = 1; y <= h; ++y) {
            Byte* p = mask + y * mw + 1;
            for (int x = 0; x < w; ++x, ++p)
                *p = static_cast<Byte>((p[-mw] + p[mw] + p[-1] + p[1]) >> 2);
        }
    }

    // Mixed over what lies under the label, or over its colour.
    const bool see = Transparent();
    if (see)
        BitBlt(sdc, 0, 0, w, h, DC, R.left, R.top, SRCCOPY);
    GdiFlush();
    const auto back = static_cast<COLORREF>(ColorToRGB(Color()));
    const int shadow[3] = {FShadow->B, FShadow->G, FShadow->R};
    const int under[3] = {GetBValue(back), GetGValue(back), GetRValue(back)};
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<Byte*>(bmp->ScanLine(y));
        const Byte* m = mask + (y + 1) * mw + 1;
        for (int x = 0; x < w; ++x) {
            const int a = m[x], n = 255 - a;
            Byte* px = row + x * 4;
            for (int c = 0; c < 3; ++c)
                px[c] = static_cast<Byte>(see ? (px[c] * n + shadow[c] * a) >> 8 : (shadow[c] * a + n * under[c]) >> 8);
        }
    }
    BitBlt(DC, R.left, R.top, w, h, sdc, 0, 0, SRCCOPY);
}
