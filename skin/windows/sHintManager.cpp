#include "sHintManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sGradient.h"
#include "sGraphUtils.h"
#include "sHtmlParse.h"
#include "sMaskGraph.h"
#include "sPixelRows.h"
#include "sUtils.h"

namespace sHintManager {
TsHintManager* Manager = nullptr;
}
using sHintManager::Manager;

namespace {

template <class T>
THintWindow* MakeHintWindow(TComponent* AOwner)
{
    return Create<T>(AOwner);
}

THintWindow* MakeStandardHintWindow(TComponent* AOwner)
{
    return Create<THintWindow>(AOwner);
}

TsColor SColorOf(TColor Color)
{
    return ColorToSColor(ColorToRGB(Color));
}

// A new white 24-bit bitmap of the size of Like.
std::unique_ptr<TBitmap> WhiteBmpLike(TBitmap* Like)
{
    auto bmp = CreateBmpLike(Like);
    sgu::FillBmp(bmp.get(), Rect(0, 0, bmp->Width(), bmp->Height()), clWhite);
    return bmp;
}

// The soft edge of a shape as Blur + 1 nested fills: level i is the shape shrunk by i, in the
// grey of Transparency at the centre growing lighter toward the edge. Draw(canvas, i) fills the
// shape of level i with the canvas's brush.
template <class DrawLevel>
void DrawLevels(TBitmap* Mask, int Transparency, int Blur, DrawLevel Draw)
{
    Blur = std::max(Blur, 0);
    const int a0 = Transparency * 255 / 100;
    const double step = (255.0 - a0) / (Blur + 1);
    TCanvas* c = Mask->Canvas();
    c->Pen()->SetStyle(psClear);
    c->Brush()->SetStyle(bsSolid);
    for (int i = 0; i <= Blur; ++i) {
        const int g = a0 + static_cast<int>(Round((Blur - i) * step));
        c->Brush()->SetColor(static_cast<TColor>(RGB(g, g, g)));
        Draw(c, i);
    }
}

// R shrunk by i on the left and top and by i - 1 on the right and bottom (a fill without an
// outline leaves its right and bottom edge out).
TRect Level(const TRect& R, int i)
{
    return Rect(R.left + i, R.top + i, R.right - i + 1, R.bottom - i + 1);
}

// The transparency of the hint body: 0 for no or negative values, at most 100.
int Clamp100(int Value)
{
    return std::clamp(Value, 0, 100);
}

bool ArrowOnTop(TsMousePosition Position)
{
    return Position == mpLeftTop || Position == mpRightTop;
}

} // namespace

THintWindowClass HintWindowClassOf(TsHintStyle Style)
{
    switch (Style) {
    case hsSimply:
    case hsNone: return &MakeHintWindow<TsSimplyHintWindow>;
    case hsComics: return &MakeHintWindow<TsComicsHintWindow>;
    case hsEllipse: return &MakeHintWindow<TsEllipseHintWindow>;
    case hsBalloon: return &MakeHintWindow<TsBalloonHintWindow>;
    default: return nullptr;
    }
}

THintWindowClass StandardHintWindowClass()
{
    return &MakeStandardHintWindow;
}

void PaintHintBorder(TBitmap* Dest, TBitmap* Mask, TColor Color1, TColor Color2)
{
    if (!Dest || !Mask || Dest->Width() != Mask->Width() || Dest->Height() != Mask->Height() || Dest->Empty())
        return;
    const TPixelView d = TPixelView::Of(Dest), m = TPixelView::Of(Mask);
    const int w = d.Width, h = d.Height;
    auto inside = [&](int x, int y) {
        const Byte* p = m.At(x, y);
        return p[0] + p[1] + p[2] < 765;
    };
    const TColor c1 = ColorToRGB(Color1), c2 = ColorToRGB(Color2);
    const Byte b1[3] = {GetBValue(c1), GetGValue(c1), GetRValue(c1)};
    const Byte b2[3] = {GetBValue(c2), GetGValue(c2), GetRValue(c2)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y))
                continue;
            const Byte* c = nullptr;
            if (x == 0 || y == 0 || !inside(x - 1, y) || !inside(x, y - 1))
                c = b1;
            else if (x == w - 1 || y == h - 1 || !inside(x + 1, y) || !inside(x, y + 1))
                c = b2;
            if (c)
                std::copy_n(c, 3, d.At(x, y));
        }
}

// --- TsHintKind -------------------------------------------------------------------------------

TsHintKind::TsHintKind(TsHintManager* AManager)
    : Manager(AManager), FFont(std::make_unique<TFont>()), FTexture(std::make_unique<TPicture>())
{
}

void TsHintKind::SetStyle(TsHintStyle Value)
{
    FStyle = Value;
    if (Manager)
        Manager->SetNewStyle(Value);
}

// --- TsHintManager ----------------------------------------------------------------------------

TsHintManager::TsHintManager(TComponent* AOwner)
    : TComponent(AOwner), FHintKind(std::make_unique<TsHintKind>(this)),
      FHintBmp(std::make_unique<TBitmap>(0, 0, pf24bit)), FScreenBmp(std::make_unique<TBitmap>(0, 0, pf24bit))
{
    if (Application) {
        Application->HintPause = 500;
        Application->HintShortPause = 200;
        Application->OnShowHint = TShowHintEvent(this, &TsHintManager::OnShowHintApp);
    }
}

TsHintManager::~TsHintManager()
{
    // The hint windows must not read a manager that is gone: the framework's hints come back.
    if (Manager == this) {
        Manager = nullptr;
        HintWindowClass = StandardHintWindowClass();
    }
    if (Application && Application->OnShowHint == TShowHintEvent(this, &TsHintManager::OnShowHintApp))
        Application->OnShowHint = TShowHintEvent();
}

void TsHintManager::Loaded()
{
    inherited::Loaded();
    UpdateProperties();
    SetNewStyle(FHintKind->Style());
}

void TsHintManager::OnShowHintApp(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)
{
    if (OnShowHint)
        OnShowHint(HintStr, CanShow, HintInfo);
}

void TsHintManager::SetNewStyle(TsHintStyle Value)
{
    if (ComponentState().Contains(csDesigning) || Value < hsSimply || Value > hsNone)
        return;
    switch (Value) {
    case hsStandard:
        Manager = nullptr;
        HintWindowClass = StandardHintWindowClass();
        break;
    case hsNone:
        Manager = nullptr;
        HintWindowClass = HintWindowClassOf(hsNone);
        break;
    default:
        Manager = this;
        HintWindowClass = HintWindowClassOf(Value);
    }
}

namespace {

struct TPreset {
    TsHintStyle Style;
    int BevelWidth, MarginH, MarginV, MaxWidth, Blur;
    int ExOffset, Radius; // -1: kept
    TColor Color;
    int Transparency;
    TColor ColorBorderTop, ColorBorderBottom;
    const char* GradientData;
    int ShadowBlur, ShadowOffset, ShadowTransparency;
};

const TPreset kPresets[] = {
    {hsSimply, 1, 4, 4, 240, 0, -1, -1, static_cast<TColor>(0x80000018), 0, 0xFFFFFF, 0, "", 4, 8, 50},
    {hsSimply, 5, 8, 5, 240, 3, -1, -1, 0xB6FCFA, 10, 0xFFFFFF, 0x8080,
     "167827;14680063;58;0;0;14680063;15400959;41;0;0;15400959;15400959;0;0;0", 15, 10, 0},
    {hsSimply, 0, 24, 20, 240, 15, -1, -1, 0xB6FCFA, 15, 0xFFFFFF, 0x8080, "", 30, 15, 70},
    {hsEllipse, 1, 6, 12, 200, 0, 26, -1, 0xC2FCFC, 5, 0x8080, 0, "7728127;16777215;99;0;0;16777215;16777215;0;0;0", 4,
     16, 74},
    {hsBalloon, 1, 11, 13, 240, 0, 25, -1, 0xC2FCFC, 7, 0, 0, "", 2, 9, 50},
    {hsComics, 1, 18, 12, 180, 0, 24, 25, 0xC2FCFC, 0, 0xFFFFFF, 0x800000,
     "16753188;16777215;99;0;0;16777215;16777215;0;0;0", 10, 7, 28},
    {hsComics, 1, 18, 12, 180, 0, 24, 20, 0xC2FCFC, 10, 0, 0, "", 4, 10, 70},
};

} // namespace

void TsHintManager::UpdateProperties()
{
    TsHintKind* k = FHintKind.get();
    switch (FPredefinitions) {
    case shStandard: k->SetStyle(hsStandard); return;
    case shNone: k->SetStyle(hsNone); return;
    case shCustom: return;
    default: break;
    }
    const TPreset& p = kPresets[FPredefinitions];
    k->BevelWidth = p.BevelWidth;
    k->MarginH = p.MarginH;
    k->MarginV = p.MarginV;
    k->MaxWidth = p.MaxWidth;
    k->Blur = p.Blur;
    if (p.ExOffset >= 0)
        k->ExOffset = p.ExOffset;
    if (p.Radius >= 0)
        k->Radius = p.Radius;
    k->Color = p.Color;
    k->Transparency = p.Transparency;
    k->ColorBorderTop = p.ColorBorderTop;
    k->ColorBorderBottom = p.ColorBorderBottom;
    k->GradientData = p.GradientData;
    k->ShadowBlur = p.ShadowBlur;
    k->ShadowOffset = p.ShadowOffset;
    k->ShadowTransparency = p.ShadowTransparency;
    k->Font()->SetStyle(TFontStyles());
    k->Font()->SetColor(clBlack);
    k->ShadowEnabled = true;
    k->ShadowColor = clBlack;
    k->Bevel = 1;
    k->GradientPercent = 100;
    k->SetStyle(p.Style);
}

void TsHintManager::Invalidate()
{
    UpdateProperties();
    FHintKind->SetStyle(FHintKind->Style());
}

void TsHintManager::ShowHint(TControl* Control, const AnsiString& Text)
{
    HideHint();
    const THintWindowClass make = HintWindowClassOf(FHintKind->Style());
    if (!Control || !make || FHintKind->Style() == hsNone || FHintKind->Style() == hsStandard)
        return;
    FHintWindow = static_cast<TsCustomHintWindow*>(make(this));
    const TRect r = FHintWindow->CalcHintRect(FHintKind->MaxWidth, Text, nullptr);
    const TPoint origin = Control->ClientToScreen(TPoint{0, 0});
    FHintWindow->HintPoint = TPoint{origin.x + Control->Width() / 2, origin.y + Control->Height() / 3};
    FHintWindow->ActivateHint(r, Text);
}

void TsHintManager::HideHint()
{
    if (FHintWindow) {
        TsCustomHintWindow* w = FHintWindow;
        FHintWindow = nullptr;
        w->Free();
    }
}

void TsHintManager::PaintBG(TBitmap* Bmp, const TRect& R, const TCacheInfo& CI)
{
    TsHintKind* k = FHintKind.get();
    if (k->GradientPercent > 0 && GradArray().empty())
        k->GradientPercent = 0;
    const int t = Clamp100(k->Transparency);
    const int w = WidthOf(R), h = HeightOf(R);
    if (CI.Ready && t == 100) {
        if (CI.Bmp != Bmp)
            sgu::CopyBlock(Bmp, R.left, R.top, CI.Bmp, R.left + CI.X, R.top + CI.Y, w, h);
        return;
    }
    if (!CI.Ready || t == 0) {
        PaintHintBackground(Bmp, R);
        return;
    }
    TBitmap temp(std::max(w, 0), std::max(h, 0), pf24bit);
    PaintHintBackground(&temp, Rect(0, 0, w, h));
    if (CI.Bmp != Bmp)
        sgu::CopyBlock(Bmp, R.left, R.top, CI.Bmp, R.left + CI.X, R.top + CI.Y, w, h);
    const Byte f = static_cast<Byte>(t * 255 / 100);
    SumBmpRect(Bmp, &temp, TsColor{f, f, f, 0}, Rect(0, 0, w, h), TPoint{R.left, R.top});
}

const TsGradArray& TsHintManager::GradArray()
{
    const AnsiString& text = FHintKind->GradientData;
    if (text != FGradText) {
        // Forgotten first: a text that fails to parse leaves no stale stops behind.
        FGradText.clear();
        PrepareGradArray(text, FGradArray);
        FGradText = text;
    }
    return FGradArray;
}

void TsHintManager::PaintHintBackground(TBitmap* Bmp, const TRect& R)
{
    TsHintKind* k = FHintKind.get();
    const TColor color = ColorToRGB(k->Color);
    // The fill covers R with its right and bottom edge.
    const TRect filled = Rect(R.left, R.top, R.right + 1, R.bottom + 1);
    bool textured = false;
    if (k->TexturePercent < 1)
        sgu::FillBmp(Bmp, filled, color);
    else {
        TileBitmap(Bmp->Canvas(), R, k->Texture()->Graphic());
        textured = true;
    }
    if (k->GradientPercent > 0) {
        const TsGradArray& arr = GradArray();
        if (textured) {
            const int w = WidthOf(R), h = HeightOf(R);
            TBitmap temp(std::max(w, 0), std::max(h, 0), pf24bit);
            if (arr.empty())
                sgu::FillBmp(&temp, Rect(0, 0, w, h), color);
            else
                PaintGrad(&temp, Rect(0, 0, w, h), arr);
            const Byte f = static_cast<Byte>(Clamp100(k->TexturePercent) * 255 / 100);
            SumBmpRect(Bmp, &temp, TsColor{f, f, f, 0}, Rect(0, 0, w, h), TPoint{R.left, R.top});
            return;
        }
        if (arr.empty())
            sgu::FillBmp(Bmp, filled, color);
        else
            PaintGrad(Bmp, R, arr);
    }
    const int p = k->GradientPercent + k->TexturePercent;
    if (p >= 1 && p <= 99)
        BlendColorRect(Bmp, R, static_cast<signed char>(p), color);
    else if (p != 100)
        sgu::FillBmp(Bmp, filled, color);
}

// --- TsCustomHintWindow -----------------------------------------------------------------------

TsCustomHintWindow::TsCustomHintWindow(TComponent* AOwner) : THintWindow(AOwner)
{
}

TsHintKind* TsCustomHintWindow::Kind() const
{
    return Manager->HintKind();
}

int TsCustomHintWindow::ShadowRoom() const
{
    return Kind()->ShadowEnabled ? Kind()->ShadowOffset : 0;
}

int TsCustomHintWindow::BodyTransparency() const
{
    return Clamp100(Kind()->Transparency);
}

int TsCustomHintWindow::ShadowTransparencyOf() const
{
    return Clamp100(SumTrans(BodyTransparency(), Kind()->ShadowTransparency));
}

void TsCustomHintWindow::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_BORDER)) | 0x20;
    Params.WindowClass.hbrBackground = nullptr;
}

void TsCustomHintWindow::Dispatch(TMessage& Message)
{
    // The hint paints every pixel itself: no background, no frame.
    if (Message.Msg == WM_ERASEBKGND || Message.Msg == WM_NCPAINT)
        return;
    inherited::Dispatch(Message);
}

TRect TsCustomHintWindow::CalcHintRect(int, const AnsiString& AHint, void*)
{
    if (!Manager)
        return TRect{};
    TsHintKind* k = Kind();
    TRect r{0, 0, k->MaxWidth, 0};
    TBitmap* bmp = Manager->HintBmp();
    if (bmp->Empty())
        bmp->SetSize(1, 1);
    bmp->Canvas()->Font()->Assign(k->Font());
    bmp->Canvas()->TextExtent(AnsiString()); // selects the font
    if (Manager->HTMLMode) {
        TsHtml html;
        html.Init(bmp, AHint, r);
        r = html.HTMLText();
    } else {
        DrawTextA(bmp->Canvas()->Handle(), AHint.c_str(), static_cast<int>(AHint.size()), &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly());
    }
    if ((k->Style() == hsEllipse || k->Style() == hsBalloon) && WidthOf(r) < 50)
        r.right = r.left + 50;
    const int s = ShadowRoom();
    r.right += s + 2 * (k->MarginH + k->BevelWidth);
    r.bottom += s + 2 * (k->MarginV + k->BevelWidth);
    return r;
}

void TsCustomHintWindow::ActivateHint(TRect Rect, const AnsiString& AHint)
{
    if (Application)
        Application->ProcessMessages();
    if (!Manager)
        return;
    if (Application) {
        Application->HintHidePause = Manager->PauseHide;
        Application->ProcessMessages();
    }
    SetCaption(AHint);
    // A hint still showing would be captured along with what lies beneath it.
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        ShowWindow(Handle(), SW_HIDE);
        if (Application)
            Application->ProcessMessages();
    }
    const TPoint p = (HintPoint.x != 0 && HintPoint.y != 0) ? HintPoint : GetMousePosition();
    const int w = WidthOf(Rect), h = HeightOf(Rect);
    int left = p.x, top = p.y;
    bool below = true, right = true;
    if (GetSystemMetrics(SM_CYVIRTUALSCREEN) < top + h) {
        top = p.y - h;
        below = false;
    }
    if (GetSystemMetrics(SM_YVIRTUALSCREEN) > top) {
        top = p.y;
        below = true;
    }
    if (GetSystemMetrics(SM_CXVIRTUALSCREEN) < left + w) {
        left = p.x - w;
        right = false;
    }
    if (GetSystemMetrics(SM_XVIRTUALSCREEN) > left) {
        left = p.x;
        right = true;
    }
    MousePosition = below ? (right ? mpLeftTop : mpRightTop) : (right ? mpLeftBottom : mpRightBottom);

    // The screen beneath the hint, taken once for this showing: every paint composes over it.
    TBitmap* screen = Manager->ScreenBmp();
    screen->SetSize(w, h);
    Manager->HintBmp()->SetSize(w, h);
    HDC dc = GetDC(nullptr);
    if (!dc) {
        ShowError("GDI error (out of resources)");
        return;
    }
    BitBlt(screen->Canvas()->Handle(), 0, 0, w, h, dc, left, top, SRCCOPY);
    ReleaseDC(nullptr, dc);
    SetBounds(left, top, w, h);
    SetWindowPos(Handle(), HWND_TOPMOST, left, top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void TsCustomHintWindow::Compose()
{
    if (!Manager)
        return;
    TBitmap* bmp = Manager->HintBmp();
    const int w = Width(), h = Height();
    bmp->SetSize(w, h);
    sgu::FillBmp(bmp, Rect(0, 0, w, h), clBlack);
    sgu::CopyBlock(bmp, 0, 0, Manager->ScreenBmp(), 0, 0, w, h);
    if (Kind()->ShadowEnabled)
        PaintShadow();
    auto mask = GetMask();
    auto body = GetBody();
    if (mask && body)
        SumByMask(bmp, body.get(), mask.get(), Rect(0, 0, w, h));
}

void TsCustomHintWindow::Paint()
{
    if (!Manager)
        return;
    Compose();
    TBitmap* bmp = Manager->HintBmp();
    BitBlt(Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

TRect TsCustomHintWindow::MainRect()
{
    const int s = ShadowRoom();
    return Rect(0, 0, Width() - s, Height() - s);
}

void TsCustomHintWindow::PaintBG(TBitmap* Bmp, const TRect& R)
{
    TCacheInfo ci;
    ci.Bmp = Manager->HintBmp();
    ci.Ready = true;
    Manager->PaintBG(Bmp, R, ci);
}

void TsCustomHintWindow::TextOut(TBitmap* Bmp)
{
    TsHintKind* k = Kind();
    TCanvas* c = Bmp->Canvas();
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetStyle(psSolid);
    c->Font()->Assign(k->Font());
    TRect r = MainRect();
    InflateRect(&r, -(k->MarginH + k->BevelWidth + ExtraWidth / 2), -(k->MarginV + k->BevelWidth + ExtraHeight / 2));
    const AnsiString text = Text();
    if (Manager->HTMLMode) {
        TsHtml html;
        html.Init(Bmp, text, r);
        html.HTMLText();
    } else {
        c->TextExtent(AnsiString()); // selects the font with its colour
        HDC dc = c->Handle();
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_WORDBREAK | DT_CENTER | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly());
    }
}

void TsCustomHintWindow::PaintBorder(TBitmap*)
{
}

// --- The rectangle --------------------------------------------------------------------------------

TPoint TsSimplyHintWindow::GetMousePosition()
{
    POINT p;
    GetCursorPos(&p);
    return TPoint{p.x, p.y + 16};
}

std::unique_ptr<TBitmap> TsSimplyHintWindow::GetMask()
{
    auto mask = WhiteBmpLike(Manager->HintBmp());
    FadeBmp(mask.get(), MainRect(), 0, SColorOf(clBlack), Kind()->Blur, 0);
    return mask;
}

std::unique_ptr<TBitmap> TsSimplyHintWindow::GetBody()
{
    auto body = CreateBmpLike(Manager->HintBmp());
    const int s = ShadowRoom();
    PaintBG(body.get(), Rect(0, 0, Width() - s, Height() - s));
    PaintBorder(body.get());
    TextOut(body.get());
    return body;
}

void TsSimplyHintWindow::PaintShadow()
{
    const int s = ShadowRoom();
    FadeBmp(Manager->HintBmp(), Rect(s, s, Width(), Height()), ShadowTransparencyOf(), SColorOf(Kind()->ShadowColor),
            Kind()->ShadowBlur, 0);
}

void TsSimplyHintWindow::PaintBorder(TBitmap* Bmp)
{
    int width = Kind()->BevelWidth;
    if (width < 1)
        return;
    TRect r = MainRect();
    DrawRectangleOnDC(Bmp->Canvas()->Handle(), r, Kind()->ColorBorderTop, Kind()->ColorBorderBottom, width);
}

// --- The shapes with an arrow ---------------------------------------------------------------------

TRect TsArrowHintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData)
{
    TRect r = inherited::CalcHintRect(MaxWidth, AHint, AData);
    if (!Manager)
        return r;
    r.bottom += Kind()->ExOffset;
    // Room so that the text rectangle fits inside the ellipse drawn around it.
    const double w = WidthOf(r), h = HeightOf(r);
    ExtraWidth = ExtraHeight = 0;
    if (w > 0 && h > 0) {
        const double d = std::sqrt(w * w + h * h) - w;
        ExtraWidth = static_cast<int>(Round(w * d / h));
        ExtraHeight = static_cast<int>(Round(h * d / w));
    }
    r.right += ExtraWidth;
    r.bottom += ExtraHeight;
    return r;
}

TRect TsComicsHintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData)
{
    TRect r = TsCustomHintWindow::CalcHintRect(MaxWidth, AHint, AData);
    if (Manager)
        r.bottom += Kind()->ExOffset;
    return r;
}

TPoint TsArrowHintWindow::GetMousePosition()
{
    POINT p;
    GetCursorPos(&p);
    return TPoint{p.x, p.y};
}

TRect TsArrowHintWindow::MainRect()
{
    TRect r = inherited::MainRect();
    if (ArrowOnTop(MousePosition))
        r.top = Kind()->ExOffset;
    else
        r.bottom = Height() - ShadowRoom() - Kind()->ExOffset;
    return r;
}

TPoint TsArrowHintWindow::GetArrowPosition()
{
    switch (MousePosition) {
    case mpLeftTop: return TPoint{3, 3};
    case mpLeftBottom: return TPoint{3, Height() - 3};
    case mpRightTop: return TPoint{Width() - 3, 3};
    default: return TPoint{Width() - 3, Height() - 3};
    }
}

void TsArrowHintWindow::DrawArrow(TCanvas* Canvas, const TRect& Body, const TPoint& Tip, int i, int Shift)
{
    const int bw = WidthOf(Body), bh = HeightOf(Body);
    int midY;
    double k;
    if (ArrowOnTop(MousePosition)) {
        midY = Body.top + bh / 2;
        k = static_cast<double>(bh / 2 + Body.top) / (Body.top + 1);
    } else {
        midY = Body.bottom - bh / 2;
        k = static_cast<double>(Height() - (Body.bottom - bh / 2)) / (Height() - Body.bottom + 1);
    }
    const int half = std::max<int>(0, bw / 8 - static_cast<int>(Round(i * k * 2)));
    const int cx = Body.left + bw / 2 + Shift;
    const POINT pts[3] = {{Tip.x, Tip.y}, {cx - half, midY}, {cx + half, midY}};
    Canvas->Polygon(pts, 3);
}

std::unique_ptr<TBitmap> TsArrowHintWindow::GetMask()
{
    auto mask = WhiteBmpLike(Manager->HintBmp());
    const TRect body = MainRect();
    const TPoint tip = GetArrowPosition();
    DrawLevels(mask.get(), BodyTransparency(), Kind()->Blur, [&](TCanvas* c, int i) {
        DrawBodyShape(c, Level(body, i), i);
        DrawArrow(c, body, tip, i, 0);
    });
    return mask;
}

std::unique_ptr<TBitmap> TsArrowHintWindow::GetBody()
{
    auto body = CreateBmpLike(Manager->HintBmp());
    PaintBG(body.get(), Rect(0, 0, Width(), Height()));
    PaintBorder(body.get());
    TextOut(body.get());
    return body;
}

void TsArrowHintWindow::PaintShadow()
{
    TBitmap* bmp = Manager->HintBmp();
    auto mask = WhiteBmpLike(bmp);
    const int o = Kind()->ShadowOffset;
    TRect body = MainRect();
    OffsetRect(&body, o, o);
    const TPoint tip = GetArrowPosition();
    DrawLevels(mask.get(), ShadowTransparencyOf(), Kind()->ShadowBlur, [&](TCanvas* c, int i) {
        DrawBodyShape(c, Level(body, i), i);
        DrawArrow(c, body, TPoint{tip.x + o, tip.y + o}, i, Kind()->ShadowBlur);
    });
    BlendBmpByMask(bmp, mask.get(), SColorOf(Kind()->ShadowColor));
}

void TsArrowHintWindow::PaintBorder(TBitmap* Bmp)
{
    if (Kind()->BevelWidth < 1)
        return;
    auto mask = GetMask();
    PaintHintBorder(Bmp, mask.get(), Kind()->ColorBorderTop, Kind()->ColorBorderBottom);
}

void TsComicsHintWindow::DrawBodyShape(TCanvas* Canvas, const TRect& Body, int)
{
    Canvas->RoundRect(Body.left, Body.top, Body.right, Body.bottom, Kind()->Radius, Kind()->Radius);
}

void TsEllipseHintWindow::DrawBodyShape(TCanvas* Canvas, const TRect& Body, int)
{
    Canvas->Ellipse(Body);
}

// --- The balloon ------------------------------------------------------------------------------------

TsBalloonHintWindow::TsBalloonHintWindow(TComponent* AOwner) : TsEllipseHintWindow(AOwner)
{
    BubbleCount = 3;
    BubbleDivisor = 4;
}

std::unique_ptr<TBitmap> TsBalloonHintWindow::GetCustMask(bool Shadow)
{
    auto mask = WhiteBmpLike(Manager->HintBmp());
    const TRect b = MainRect();
    const TPoint tip = GetArrowPosition();
    const int n = std::max(BubbleCount, 1);
    const int bw = WidthOf(b), bh = HeightOf(b);
    const int cx = b.left + bw / 2;
    const int stepX = std::abs(cx - tip.x) / (n + 1);
    const double u = static_cast<double>(bh) / (std::max(BubbleDivisor, 1) * n);
    const int g = n > 1 ? static_cast<int>(Round((Kind()->ExOffset - u * n) / (n * (n - 1)))) : 0;
    const int s = ShadowRoom();
    const bool top = ArrowOnTop(MousePosition);
    const bool left = MousePosition == mpLeftTop || MousePosition == mpLeftBottom;
    std::vector<TRect> bubbles;
    int offset = 0;
    for (int j = 1; j <= n; ++j) {
        const int hj = static_cast<int>(Round(u + 2 * (j - 1) * g));
        const int hh = hj / 2;
        const int hw = bh > 0 ? static_cast<int>(Round(static_cast<double>(bw) * hh / (2 * bh))) : 0;
        const int x = left ? stepX * j : tip.x - stepX * j - (MousePosition == mpRightBottom ? s : 0);
        const int y = top ? hh + offset : Height() - s - hh - offset;
        offset += hj;
        TRect r = Rect(std::min(x - hw, x + hw + 1), std::min(y - hh, y + hh + 1), std::max(x - hw, x + hw + 1),
                       std::max(y - hh, y + hh + 1));
        if (WidthOf(r) < HeightOf(r) + 5)
            r.right = r.left + HeightOf(r) + 5;
        if (WidthOf(r) > 0 && HeightOf(r) > 0)
            bubbles.push_back(r);
    }
    const int t = Shadow ? ShadowTransparencyOf() : BodyTransparency();
    DrawLevels(mask.get(), t, Shadow ? Kind()->ShadowBlur : Kind()->Blur, [&](TCanvas* c, int i) {
        c->Ellipse(Level(b, i));
        for (const TRect& r : bubbles)
            c->Ellipse(Level(r, i));
    });
    return mask;
}

void TsBalloonHintWindow::PaintShadow()
{
    TBitmap* bmp = Manager->HintBmp();
    auto shadow = GetCustMask(true);
    auto mask = WhiteBmpLike(bmp);
    const int o = Kind()->ShadowOffset;
    mask->Canvas()->StretchDraw(Rect(o, o, Width(), Height()), shadow.get());
    BlendBmpByMask(bmp, mask.get(), SColorOf(Kind()->ShadowColor));
}
