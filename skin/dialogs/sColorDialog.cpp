#include "sColorDialog.h"

#include <algorithm>
#include <cmath>

#include "ExtCtrlsPanels.h"
#include "SysUtils.h"
#include "sBitBtn.h"
#include "sCurrencyEdit.h"
#include "sDialogs.h"
#include "sFormBuild.h"
#include "sLabel.h"
#include "sMaskEdit.h"
#include "sPanel.h"
#include "sPixelRows.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

using namespace sformbuild;

namespace {

// The main palette, row by row, each colour in the digit order of its value (blue, green, red).
const char* const MainPalette[48] = {
    "8080FF", "80FFFF", "80FF80", "80FF00", "FFFF80", "FF8000", "C080FF", "FF80FF", //
    "0000FF", "00FFFF", "00FF80", "40FF00", "FFFF00", "C08000", "C08080", "FF00FF", //
    "404080", "4080FF", "00FF00", "808000", "804000", "FF8080", "400080", "8000FF", //
    "000080", "0080FF", "008000", "408000", "FF0000", "A00000", "800080", "FF0080", //
    "000040", "004080", "004000", "004040", "800000", "400000", "400040", "800040", //
    "000000", "008080", "408080", "808080", "808040", "C0C0C0", "400040", "FFFFFF",
};

constexpr int CustomColorCount = 16;
constexpr int NarrowWidth = 235, FullWidth = 545;

// The number an edit holds (0 for text that is no number), and a number shown rounded.
double EditNumber(TsCurrencyEdit* Edit)
{
    try {
        return Edit->Value();
    } catch (const EConvertError&) {
        return 0;
    }
}

void ShowNumber(TsCurrencyEdit* Edit, double Value) { Edit->SetValue(Value); }

Byte EditByte(TsCurrencyEdit* Edit) { return RoundByte(EditNumber(Edit)); }

} // namespace

TColor RgbColor(Byte R, Byte G, Byte B) { return SColorToColor(TsColor{R, G, B, 0}); }

// --- Conversions ---------------------------------------------------------------------------------

TsColor HsvToRgb(double H, double S, double V)
{
    const double v = V * 255;
    if (S == 0) {
        const Byte c = RoundByte(v);
        return TsColor{c, c, c, 0};
    }
    // A hue far outside a turn has no sector; it reads as red, as 360 does.
    const double h = H == 360 || !(std::fabs(H) < 1e6) ? 0 : H / 60;
    const int i = static_cast<int>(h);
    const double f = h - i;
    const double p = std::clamp((1 - S) * v, 0.0, 255.0);
    const double q = std::clamp((1 - S * f) * v, 0.0, 255.0);
    const double t = std::clamp((1 - (1 - f) * S) * v, 0.0, 255.0);
    double r = v, g = p, b = q;
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: break;
    }
    return TsColor{RoundByte(r), RoundByte(g), RoundByte(b), 0};
}

TsHSV RgbToHsv(TColor Color)
{
    const TsColor c = ColorToSColor(Color);
    const int mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B});
    const double delta = mx - mn;
    TsHSV hsv;
    hsv.V = mx / 255.0;
    hsv.S = mx == 0 ? 0 : delta / mx;
    if (hsv.S == 0)
        return hsv;
    const double rc = mx - 60 * c.R / delta, gc = mx - 60 * c.G / delta, bc = mx - 60 * c.B / delta;
    double h = c.R == mx ? bc - gc : c.G == mx ? 120 + rc - bc : 240 + gc - rc;
    if (h < 0)
        h += 360;
    hsv.H = static_cast<int>(Round(h));
    return hsv;
}

void PaintHueField(TBitmap& Bmp, int Width, int Height)
{
    Bmp.SetPixelFormat(pf24bit);
    Bmp.SetSize(Width, Height);
    const TPixelView view = TPixelView::Of(&Bmp);
    for (int y = 0; y < Height; ++y) {
        const double s = 1 - static_cast<double>(y) / Height, v = 1 - static_cast<double>(y) / (3.0 * Height);
        Byte* p = view.Row(y);
        for (int x = 0; x < Width; ++x, p += 3) {
            const TsColor c = HsvToRgb(x * 360.0 / Width, s, v);
            p[0] = c.B, p[1] = c.G, p[2] = c.R;
        }
    }
}

// --- The form ------------------------------------------------------------------------------------

TsColorDialogForm::TsColorDialogForm(TComponent* AOwner) : TForm(AOwner), FExtBmp(std::make_unique<TBitmap>())
{
    SetName("sColorDialogForm");
    SetCaption("Palette changing");
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    SetClientWidth(533);
    SetClientHeight(383);
    Constraints()->SetMinWidth(235);
    Constraints()->SetMinHeight(410);
    SetPosition(poScreenCenter);
    sSkinProvider1 = Create<TsSkinProvider>(this);
    sSkinProvider1->SetName("sSkinProvider1");
    sSkinProvider1->SkinData()->SetSkinSection("DIALOG");
    sSkinProvider1->SetCaptionAlignment(taCenter);
    sSkinProvider1->ScreenSnap = true;
    sSkinProvider1->SetShowAppIcon(false);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Main palette :", 8, 4, 100, 13);
    MainPal = Place<TsColorsPanel>(this, this, "MainPal", 1, 21, 223, 167);
    MainPal->SetColCount(8);
    MainPal->SetRowCount(6);
    MainPal->SetBorderWidth(6);
    MainPal->SkinData()->SetSkinSection("CHECKBOX");
    TStringList lines;
    for (const char* c : MainPalette)
        lines.Add(c);
    MainPal->SetColors(&lines);
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", "Additional colors :", 8, 190, 100, 13);
    AddPal = Place<TsColorsPanel>(this, this, "AddPal", 1, 205, 223, 59);
    AddPal->SetColCount(8);
    AddPal->SetRowCount(2);
    AddPal->SetBorderWidth(6);
    AddPal->SkinData()->SetSkinSection("CHECKBOX");
    sBitBtn4 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn4", "Define colors", 8, 268, 209, 25);
    sBitBtn4->SetEnabled(false);

    sSpeedButton1 = Place<TsSpeedButton>(this, this, "sSpeedButton1", 20, 308, 37, 33);
    try {
        sSpeedButton1->Glyph()->LoadFromResourceName(GetModuleHandleA(nullptr), "PICKERGLYPH");
    } catch (...) {
        // A program without the library's pictures shows the button without one.
    }
    sEditHex = Place<TsMaskEdit>(this, this, "sEditHex", 142, 302, 75, 21);
    sEditHex->SetEditMask("AAAAAA;1; ");
    sEditHex->SetMaxLength(6);
    sEditHex->SetCharCase(ecUpperCase);
    BoundCaption(sEditHex, "Hex - ");
    sEditDecimal = Place<TsCurrencyEdit>(this, this, "sEditDecimal", 142, 323, 75, 21);
    BoundCaption(sEditDecimal, "Decimal - ");

    ColorPanel = Place<TsPanel>(this, this, "ColorPanel", 234, 8, 260, 260);
    ColorPanel->SetCaption("");
    ColorPanel->SetBevelOuter(bvNone);
    ColorPanel->SkinData()->SetSkinSection(" ");
    ColorPanel->SetTabStop(true);
    GradPanel = Place<TsPanel>(this, this, "GradPanel", 502, 8, 20, 260);
    GradPanel->SetCaption("");
    GradPanel->SetBevelOuter(bvNone);
    SelectedPanel = Place<TPanel>(this, this, "SelectedPanel", 234, 276, 131, 69);
    SelectedPanel->SetCaption("");
    SelectedPanel->SetBevelOuter(bvNone);
    SelectedPanel->SetBorderStyle(bsSingle);

    const struct {
        TsCurrencyEdit*& Edit;
        const char* Name;
        const char* Caption;
        int Left, Top, Width;
    } edits[] = {
        {sHEdit, "sHEdit", "H :", 394, 276, 41}, {sSEdit, "sSEdit", "S :", 394, 300, 41},
        {sVEdit, "sVEdit", "B :", 394, 324, 41}, {sREdit, "sREdit", "Red :", 494, 276, 33},
        {sGEdit, "sGEdit", "Green :", 494, 300, 33}, {sBEdit, "sBEdit", "Blue :", 494, 324, 33},
    };
    for (const auto& e : edits) {
        e.Edit = Place<TsCurrencyEdit>(this, this, e.Name, e.Left, e.Top, e.Width, 21);
        BoundCaption(e.Edit, e.Caption);
    }
    for (TsCurrencyEdit* e : {sHEdit, sSEdit, sVEdit, sREdit, sGEdit, sBEdit, sEditDecimal}) {
        e->SetDecimalPlaces(0);
        e->SetDisplayFormat("0");
    }
    sLabel4 = PlaceCaption<TsLabel>(this, this, "sLabel4", "o", 438, 278, 8, 13);
    sLabel5 = PlaceCaption<TsLabel>(this, this, "sLabel5", "%", 438, 302, 10, 13);
    sLabel6 = PlaceCaption<TsLabel>(this, this, "sLabel6", "%", 438, 326, 10, 13);

    sBitBtn1 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn1", "OK", 8, 352, 67, 25);
    sBitBtn1->SetDefault(true);
    sBitBtn1->SetModalResult(mrOk);
    sBitBtn2 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn2", "Cancel", 79, 352, 67, 25);
    sBitBtn2->SetCancel(true);
    sBitBtn2->SetModalResult(mrCancel);
    sBitBtn5 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn5", "Help", 150, 352, 67, 25);
    sBitBtn3 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn3", "Add to custom colors set", 236, 352, 291, 25);

    MainPal->OnChange = TNotifyEvent(this, &TsColorDialogForm::MainPalChange);
    AddPal->OnChange = TNotifyEvent(this, &TsColorDialogForm::MainPalChange);
    for (TsCurrencyEdit* e : {sHEdit, sSEdit, sVEdit})
        e->OnChange = TNotifyEvent(this, &TsColorDialogForm::sHEditChange);
    for (TsCurrencyEdit* e : {sREdit, sGEdit, sBEdit})
        e->OnChange = TNotifyEvent(this, &TsColorDialogForm::sREditChange);
    sEditHex->OnChange = TNotifyEvent(this, &TsColorDialogForm::sEditHexChange);
    sEditHex->OnKeyPress = TKeyPressEvent(this, &TsColorDialogForm::sEditHexKeyPress);
    sEditDecimal->OnChange = TNotifyEvent(this, &TsColorDialogForm::sEditDecimalChange);
    ColorPanel->OnPaint = TPaintEvent(this, &TsColorDialogForm::ColorPanelPaint);
    ColorPanel->OnMouseDown = TMouseEvent(this, &TsColorDialogForm::ColorPanelMouseDown);
    ColorPanel->OnMouseMove = TMouseMoveEvent(this, &TsColorDialogForm::ColorPanelMouseMove);
    ColorPanel->OnMouseUp = TMouseEvent(this, &TsColorDialogForm::ColorPanelMouseUp);
    GradPanel->OnPaint = TPaintEvent(this, &TsColorDialogForm::GradPanelPaint);
    GradPanel->OnMouseDown = TMouseEvent(this, &TsColorDialogForm::GradPanelMouseDown);
    GradPanel->OnMouseMove = TMouseMoveEvent(this, &TsColorDialogForm::GradPanelMouseMove);
    GradPanel->OnMouseUp = TMouseEvent(this, &TsColorDialogForm::GradPanelMouseUp);
    FColorPanelHook.Hook(ColorPanel, TWndMethod(this, &TsColorDialogForm::ColorPanelWndProc));
    FGradPanelHook.Hook(GradPanel, TWndMethod(this, &TsColorDialogForm::GradPanelWndProc));
    sBitBtn3->OnClick = TNotifyEvent(this, &TsColorDialogForm::sBitBtn3Click);
    sBitBtn4->OnClick = TNotifyEvent(this, &TsColorDialogForm::sBitBtn4Click);
    sBitBtn5->OnClick = TNotifyEvent(this, &TsColorDialogForm::sBitBtn5Click);
    sSpeedButton1->OnClick = TNotifyEvent(this, &TsColorDialogForm::sSpeedButton1Click);
    OnShow = TNotifyEvent(this, &TsColorDialogForm::FormShow);
    OnPaint = TNotifyEvent(this, &TsColorDialogForm::FormPaint);

    PaintHueField(*FExtBmp, ColorPanel->Width(), ColorPanel->Height());
    CurrCustomIndex = 0;
}

TsColorDialogForm::~TsColorDialogForm() { ReleaseCursor(); }

// --- The brightness column -----------------------------------------------------------------------

std::vector<TsColorDialogForm::TGradRow> TsColorDialogForm::GradRows() const
{
    // From white down to the colour in the first part of the column, then down to black, one
    // constant step per row in each part.
    const int height = std::max(GradPanel->Height(), 0), half = std::max(height / 2, 1), first = (height - 1) / 2;
    const TsColor ic = ColorToSColor(InternalColor);
    const double target[3] = {double(ic.R), double(ic.G), double(ic.B)};
    std::vector<TGradRow> rows(static_cast<std::size_t>(height));
    double c[3] = {255, 255, 255}, fade[3] = {};
    for (int y = 0; y < height; ++y) {
        if (y == first)
            for (int k = 0; k < 3; ++k)
                fade[k] = c[k] / half;
        for (int k = 0; k < 3; ++k) {
            c[k] = std::clamp(c[k] - (y < first ? (255 - target[k]) / half : fade[k]), 0.0, 255.0);
            rows[static_cast<std::size_t>(y)][k] = c[k];
        }
    }
    return rows;
}

TColor TsColorDialogForm::RowColor(const TGradRow& Row, bool FirstPart)
{
    Byte b[3];
    for (int k = 0; k < 3; ++k) {
        b[k] = RoundByte(Row[k]);
        if (FirstPart)
            b[k] = b[k] < 3 ? 0 : b[k] > 253 ? 255 : b[k];
    }
    return RgbColor(b[0], b[1], b[2]);
}

TColor TsColorDialogForm::GradToColor(int Y) const
{
    if (Y >= GradPanel->Height())
        return clWhite;
    Y = std::max(Y, 0);
    return RowColor(GradRows()[static_cast<std::size_t>(Y)], Y < (GradPanel->Height() - 1) / 2);
}

int TsColorDialogForm::GetColorCoord(TColor Color) const
{
    const TsColor t = ColorToSColor(ColorToRGB(Color));
    const double want[3] = {double(t.R), double(t.G), double(t.B)};
    const std::vector<TGradRow> rows = GradRows();
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const TGradRow& c = rows[y];
        if (std::fabs(c[0] - want[0]) <= 2.0 && std::fabs(c[1] - want[1]) <= 2.0 && std::fabs(c[2] - want[2]) <= 2.0)
            return static_cast<int>(y);
    }
    return 0;
}

// --- Keeping the views in step -------------------------------------------------------------------

TPoint TsColorDialogForm::HsvPoint() const
{
    return TPoint{ColorPanel->Width() * SelectedHsv.H / 360,
                  static_cast<int>(Round((1 - SelectedHsv.S) * ColorPanel->Height()))};
}

void TsColorDialogForm::ShowColorValues(TColor Color)
{
    const TsColor c = ColorToSColor(Color);
    if (!RgbChanging) {
        ShowNumber(sREdit, c.R);
        ShowNumber(sGEdit, c.G);
        ShowNumber(sBEdit, c.B);
    }
    if (!DecChanging)
        ShowNumber(sEditDecimal, Color);
    if (!HexChanging)
        sEditHex->SetText(IntToHex(Color, 6));
    SelectedPanel->SetColor(Color);
}

void TsColorDialogForm::SetCurrentColor(TColor Color)
{
    TFlagUp changing(ColorChanging);
    if (!UseCoords) {
        SelectedHsv = RgbToHsv(Color);
        InternalColor = SColorToColor(HsvToRgb(SelectedHsv.H, SelectedHsv.S, 1));
    }
    if (!HsvChanging) {
        ShowNumber(sHEdit, SelectedHsv.H);
        if (UseCoords) {
            const int half = std::max(GradPanel->Height() / 2, 1);
            if (half <= GradY)
                ShowNumber(sVEdit, (1 - std::abs(half - GradY) / double(half)) * 100);
            else
                ShowNumber(sSEdit, SelectedHsv.S * 100 * 2 / GradPanel->Height() * (GradY + 1));
        } else {
            ShowNumber(sSEdit, SelectedHsv.S * 100);
            ShowNumber(sVEdit, SelectedHsv.V * 100);
        }
    }
    ShowColorValues(Color);
    if (!UseCoords)
        ColorCoord = HsvPoint();
    SetMarker();
    ExitPanels(Color);
}

void TsColorDialogForm::SetColorFromEdit(TColor Color, bool& Flag)
{
    if (ColorChanging)
        return;
    TFlagUp on(Flag);
    SetCurrentColor(Color);
    MainPal->SetItemIndex(-1);
    ColorPanel->Repaint();
}

void TsColorDialogForm::SetInternalColor(int H, double S)
{
    SelectedHsv.H = H;
    SelectedHsv.S = S;
    InternalColor = SColorToColor(HsvToRgb(H, S, 1));
    TFlagUp changing(ColorChanging);
    ShowNumber(sHEdit, H);
    ShowNumber(sSEdit, S * 100);
    const int half = std::max(GradPanel->Height() / 2, 1);
    SelectedHsv.V = GradY >= half ? 1 - std::abs(half - GradY) / double(half) : 1;
    ShowNumber(sVEdit, SelectedHsv.V * 100);
    const TColor color = GradToColor(GradY);
    ShowColorValues(color);
    ColorCoord = HsvPoint();
    ExitPanels(color);
    GradPanel->Invalidate();
}

TRect TsColorDialogForm::MarkerRect(int Y) const
{
    const int y = GradPanel->Top() + Y;
    return Rect(GradPanel->Left() - 7, y - 4, GradPanel->Left() + GradPanel->Width() + 7, y + 5);
}

void TsColorDialogForm::SetMarker()
{
    ColorPanel->Repaint();
    GradPanel->Invalidate();
    const int old = GradY;
    GradY = GetColorCoord(SelectedPanel->Color());
    if (HandleAllocated()) {
        for (const int y : {old, GradY}) {
            const RECT r = MarkerRect(y);
            InvalidateRect(Handle(), &r, FALSE);
        }
    }
}

void TsColorDialogForm::ExitPanels(TColor Color)
{
    for (TsColorsPanel* pal : {MainPal, AddPal})
        if (pal->ItemIndex() >= 0 && pal->ColorValue() != Color)
            pal->SetItemIndex(-1);
}

// --- Events ----------------------------------------------------------------------------------------

void TsColorDialogForm::MainPalChange(TObject* Sender)
{
    auto* pal = static_cast<TsColorsPanel*>(Sender);
    const int i = pal->ItemIndex();
    if (i < 0 || i >= std::min(pal->Count(), static_cast<int>(pal->Cells().size())))
        return;
    SetCurrentColor(pal->ColorValue());
    ColorPanel->Repaint();
}

void TsColorDialogForm::sHEditChange(TObject*)
{
    const TsColor c = HsvToRgb(EditNumber(sHEdit), EditNumber(sSEdit) / 100, EditNumber(sVEdit) / 100);
    SetColorFromEdit(SColorToColor(c), HsvChanging);
}

void TsColorDialogForm::sREditChange(TObject*)
{
    SetColorFromEdit(RgbColor(EditByte(sREdit), EditByte(sGEdit), EditByte(sBEdit)), RgbChanging);
}

void TsColorDialogForm::sEditDecimalChange(TObject*)
{
    const double v = std::clamp(EditNumber(sEditDecimal), 0.0, double(0xFFFFFF));
    SetColorFromEdit(static_cast<TColor>(v), DecChanging);
}

void TsColorDialogForm::sEditHexChange(TObject*)
{
    const AnsiString word = ExtractWord(1, sEditHex->Text(), TSysCharSet(" "));
    SetColorFromEdit(static_cast<TColor>(HexToInt(word) & 0xFFFFFF), HexChanging);
}

void TsColorDialogForm::sEditHexKeyPress(TObject*, char& Key)
{
    const bool hex = (Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f');
    if (!hex && Key != '\r' && Key != '\x1b')
        Key = 0;
}

void TsColorDialogForm::ColorPanelPaint(TObject*, TCanvas* Canvas)
{
    BitBlt(Canvas->Handle(), 0, 0, FExtBmp->Width(), FExtBmp->Height(), FExtBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (ExPressed)
        return;
    const TPoint p = UseCoords ? ColorCoord : HsvPoint();
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Ellipse(p.x - 5, p.y - 5, p.x + 5, p.y + 5);
}

void TsColorDialogForm::GradPanelPaint(TObject*, TCanvas* Canvas)
{
    const int w = GradPanel->Width(), h = GradPanel->Height();
    TBitmap column(w, h);
    const TPixelView view = TPixelView::Of(&column);
    const std::vector<TGradRow> rows = GradRows();
    for (int y = 0; y < h; ++y) {
        const TsColor c = ColorToSColor(RowColor(rows[static_cast<std::size_t>(y)], y < (h - 1) / 2));
        const Byte pixel[3] = {c.B, c.G, c.R};
        rows::Fill(view.Row(y), w, pixel);
    }
    BitBlt(Canvas->Handle(), 0, 0, w, h, column.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsColorDialogForm::FormPaint(TObject*)
{
    TCanvas* canvas = Canvas();
    canvas->Pen()->SetColor(clBlack);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Brush()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsSolid);
    const int y = GradPanel->Top() + GradY, left = GradPanel->Left(), right = left + GradPanel->Width();
    canvas->Polygon({POINT{left - 7, y - 3}, POINT{left - 7, y + 3}, POINT{left - 1, y}});
    canvas->Polygon({POINT{right + 6, y - 3}, POINT{right + 6, y + 3}, POINT{right, y}});
}

namespace {

// Confines the mouse cursor to a control's client area on the screen.
void ConfineCursor(TControl* Control, int Bottom)
{
    const TPoint tl = Control->ClientToScreen(TPoint{0, 0});
    const RECT r{tl.x, tl.y, tl.x + Control->Width(), tl.y + Bottom};
    ClipCursor(&r);
}

} // namespace

void TsColorDialogForm::ColorPanelMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (ColorPanel->CanFocus())
        ColorPanel->SetFocus();
    ExPressed = true;
    ColorPanelMouseMove(nullptr, TShiftState(), X, Y);
    ConfineCursor(ColorPanel, ColorPanel->Height());
}

void TsColorDialogForm::ColorPanelMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!ExPressed)
        return;
    const int w = ColorPanel->Width(), h = ColorPanel->Height();
    X = std::clamp(X, 0, w - 1);
    Y = std::clamp(Y, 0, h);
    SetInternalColor(static_cast<int>(Round(X * 360.0 / w)), 1 - static_cast<double>(Y) / h);
    ColorCoord = TPoint{X, Y};
    ColorPanel->Repaint();
}

void TsColorDialogForm::ColorPanelMouseUp(TObject*, TMouseButton, TShiftState, int, int) { ReleaseCursor(); }

void TsColorDialogForm::GradPanelMouseDown(TObject*, TMouseButton, TShiftState, int, int Y)
{
    if (GradPanel->CanFocus())
        GradPanel->SetFocus();
    GradPressed = true;
    GradPanelMouseMove(nullptr, TShiftState(), 0, Y);
    ConfineCursor(GradPanel, GradPanel->Height() - 1);
}

void TsColorDialogForm::GradPanelMouseMove(TObject*, TShiftState, int, int Y)
{
    if (!GradPressed)
        return;
    GradY = std::clamp(Y, 0, GradPanel->Height() - 1);
    TFlagUp coords(UseCoords);
    SetCurrentColor(GradToColor(GradY));
}

void TsColorDialogForm::GradPanelMouseUp(TObject*, TMouseButton, TShiftState, int, int) { ReleaseCursor(); }

void TsColorDialogForm::ReleaseCursor()
{
    if (!ExPressed && !GradPressed)
        return;
    ClipCursor(nullptr);
    const bool field = ExPressed;
    ExPressed = false;
    GradPressed = false;
    if (field && ColorPanel && !ComponentState().Contains(csDestroying))
        ColorPanel->Repaint();
}

void TsColorDialogForm::DoHide()
{
    ReleaseCursor();
    inherited::DoHide();
}

void TsColorDialogForm::ColorPanelWndProc(TMessage& Message) { DragPanelMessage(FColorPanelHook, Message); }

void TsColorDialogForm::GradPanelWndProc(TMessage& Message) { DragPanelMessage(FGradPanelHook, Message); }

void TsColorDialogForm::DragPanelMessage(TWindowProcHook& Hook, TMessage& Message)
{
    Hook.CallDefault(Message);
    if (Message.Msg == WM_CANCELMODE || Message.Msg == WM_CAPTURECHANGED)
        ReleaseCursor();
}

void TsColorDialogForm::sBitBtn3Click(TObject*)
{
    TStringList lines;
    lines.Assign(AddPal->Colors());
    if (lines.Count() == 0)
        return;
    int slot = AddPal->ItemIndex();
    if (slot < 0 || slot >= lines.Count()) {
        // Past the last slot the additions start again at the first.
        if (CurrCustomIndex < 0 || CurrCustomIndex >= lines.Count())
            CurrCustomIndex = 0;
        slot = CurrCustomIndex++;
    }
    lines.Put(slot, IntToHex(SelectedPanel->Color() & 0xFFFFFF, 6));
    AddPal->SetColors(&lines);
}

void TsColorDialogForm::sBitBtn4Click(TObject*)
{
    SetWidth(FullWidth);
    sBitBtn4->SetEnabled(false);
}

void TsColorDialogForm::sBitBtn5Click(TObject*) { Application->HelpContext(OwnerDialog ? OwnerDialog->HelpContext : 0); }

void TsColorDialogForm::FormShow(TObject*)
{
    SetCurrentColor(ColorToRGB(OwnerDialog ? OwnerDialog->Color : clBlack));
    if (OwnerDialog && OwnerDialog->OnShow)
        OwnerDialog->OnShow(OwnerDialog);
}

// --- The screen picker ---------------------------------------------------------------------------

void TsColorDialogForm::sSpeedButton1Click(TObject*)
{
    FScreen = std::make_unique<TBitmap>();
    CaptureScreen(*FScreen);
    FormHolder<> pick(Create<TForm>(Application));
    pick->SetBorderStyle(bsNone);
    pick->SetBounds(0, 0, FScreen->Width(), FScreen->Height());
    pick->SetWindowState(wsMaximized);
    pick->SetCursor(crCross);
    pick->OnPaint = TNotifyEvent(this, &TsColorDialogForm::PickFormPaint);
    pick->OnMouseDown = TMouseEvent(this, &TsColorDialogForm::PickFormMouseDown);
    pick->OnKeyDown = TKeyEvent(this, &TsColorDialogForm::PickFormKeyDown);
    FPickForm = pick.get();
    try {
        pick->ShowModal();
    } catch (...) {
        FPickForm = nullptr;
        FScreen.reset();
        throw;
    }
    FPickForm = nullptr;
    FScreen.reset();
}

void TsColorDialogForm::PickFormPaint(TObject*)
{
    if (FPickForm && FScreen)
        FPickForm->Canvas()->Draw(0, 0, FScreen.get());
}

void TsColorDialogForm::PickFormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (!FPickForm || !FScreen)
        return;
    const TPoint p = FPickForm->ClientToScreen(TPoint{X, Y});
    if (p.x >= 0 && p.y >= 0 && p.x < FScreen->Width() && p.y < FScreen->Height()) {
        const Byte* px = TPixelView::Of(FScreen.get()).At(p.x, p.y);
        PickColor = RgbColor(px[2], px[1], px[0]);
        SetCurrentColor(PickColor);
    }
    FPickForm->SetModalResult(mrOk);
}

void TsColorDialogForm::PickFormKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_ESCAPE && FPickForm)
        FPickForm->SetModalResult(mrCancel);
}

// --- The dialog ------------------------------------------------------------------------------------

TsColorDialog::TsColorDialog(TComponent* AOwner) : TColorDialog(AOwner), FMainColors(std::make_unique<TStringList>())
{
    Options = TColorDialogOptions{cdFullOpen};
}

TsColorDialog::~TsColorDialog() = default;

void TsColorDialog::SetMainColors(TStrings* Value) { FMainColors->Assign(Value); }

bool TsColorDialog::Execute()
{
    if (!sSkinData->Active)
        return inherited::Execute();
    FormHolder<TsColorDialogForm> holder(Create<TsColorDialogForm>(Application));
    TsColorDialogForm* form = holder.get();
    form->OwnerDialog = this;
    if (CustomColors()->Count() > 0) {
        TStringList custom;
        for (int i = 0; i < CustomColorCount; ++i)
            custom.Add("FFFFFF");
        for (int i = 0; i < CustomColors()->Count(); ++i) {
            int slot = 0;
            TColor color = clWhite;
            if (ReadCustomColorLine(CustomColors()->Get(i), slot, color))
                custom.Put(slot, IntToHex(color, 6));
        }
        form->AddPal->SetColors(&custom);
    }
    if (FMainColors->Count() > 0)
        form->MainPal->SetColors(FMainColors.get());
    form->SetModalResult(mrCancel);
    form->SetBorderStyle(bsSingle);
    form->sBitBtn4->SetEnabled(!Options.Contains(cdFullOpen));
    form->SetWidth(form->sBitBtn4->Enabled() ? NarrowWidth : FullWidth);
    if (Options.Contains(cdPreventFullOpen))
        form->sBitBtn4->SetEnabled(false);
    form->sBitBtn5->SetVisible(Options.Contains(cdShowHelp));

    const bool result = form->ShowModal() == mrOk;
    CustomColors()->Clear();
    TStrings* added = form->AddPal->Colors();
    for (int i = 0; i < std::min(added->Count(), CustomColorCount); ++i)
        CustomColors()->Add(CustomColorLine(i, static_cast<TColor>(HexToInt(ExtractWord(1, added->Get(i), TSysCharSet(" \r\n"))))));
    if (OnClose)
        OnClose(this);
    if (result)
        Color = form->SelectedPanel->Color();
    return result;
}
