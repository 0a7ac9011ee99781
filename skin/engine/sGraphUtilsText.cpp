// Skinned text, glyphs, check marks and focus frames.
#include <algorithm>

#include "SysUtils.h"
#include "sGraphUtils.h"

namespace {

int WidthOf(const TRect& R) { return R.right - R.left; }
int HeightOf(const TRect& R) { return R.bottom - R.top; }

// Fits R to the text's extent as the alignment flags say; the caller's R grows by 1 afterwards.
TRect TextRect(HDC DC, const char* Text, TRect& R, int Flags)
{
    if (Flags & DT_WORDBREAK)
        return R;
    SIZE sz{0, 0};
    GetTextExtentPoint32A(DC, Text, static_cast<int>(std::char_traits<char>::length(Text)), &sz);
    const int dy = (sz.cy - HeightOf(R)) / 2;
    if (Flags & DT_CENTER)
        InflateRect(&R, (sz.cx - WidthOf(R)) / 2, dy);
    else {
        R.top -= dy;
        R.bottom += dy;
        if (Flags & DT_RIGHT)
            R.left += WidthOf(R) - sz.cx;
        else
            R.right += sz.cx - WidthOf(R);
    }
    const TRect drawn = R;
    InflateRect(&R, 1, 1);
    return drawn;
}

void Draw(HDC DC, const char* Text, TRect R, int Flags) { DrawTextA(DC, Text, -1, &R, static_cast<UINT>(Flags)); }

// Selects the canvas's font with its colour into its context and answers the context.
HDC FontDC(TCanvas* Canvas)
{
    Canvas->TextExtent(AnsiString());
    return Canvas->Handle();
}

// The four contours in the section's colours, then the text in its font colour.
void SectionText(TCanvas* Canvas, const char* Text, const TRect& r, int Flags, int FinalFlags, const TColor* Colours)
{
    const int shift[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        if (Colours[i + 1] == -1)
            continue;
        Canvas->Font()->SetColor(Colours[i + 1]);
        TRect c = r;
        OffsetRect(&c, shift[i][0], shift[i][1]);
        Draw(FontDC(Canvas), Text, c, Flags);
    }
    Canvas->Font()->SetColor(Colours[0]);
    Draw(FontDC(Canvas), Text, r, FinalFlags);
}

// The disabled look: the text in the highlight colour one pixel down and right, then in the
// shadow colour.
void Embossed(TCanvas* Canvas, const char* Text, const TRect& r, int Flags)
{
    Canvas->Font()->SetColor(ColorToRGB(clBtnHighlight));
    Draw(FontDC(Canvas), Text, Rect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1), Flags);
    Canvas->Font()->SetColor(ColorToRGB(clBtnShadow));
    Draw(FontDC(Canvas), Text, r, Flags);
}

// What lies under the start of the text (not yet written), or Fallback where the context gives no
// pixel (a window's context outside its visible part).
TColor Under(HDC DC, const TRect& r, TColor Fallback)
{
    const COLORREF pixel = GetPixel(DC, r.left, (r.top + r.bottom) / 2);
    return pixel != CLR_INVALID ? static_cast<TColor>(pixel) : ColorToRGB(Fallback);
}

// The disabled look. In a section: written once, halfway between the section's text colour and
// what lies under the text, so that it reads fainter than enabled text on a light and on a dark
// face alike (the raised look in the system's light colours stands out on a dark one). With
// OwnColour the canvas's font colour stands for the section's. Without a section: the system's
// raised look.
void DisabledText(TCanvas* Canvas, const char* Text, const TRect& r, int Flags, int Section, bool OwnColour = false)
{
    if (!IsValidSkinIndex(Section)) {
        Embossed(Canvas, Text, r, Flags);
        return;
    }
    const TsGeneralData& s = gd[static_cast<std::size_t>(Section)];
    const TColor under = Under(FontDC(Canvas), r, s.Color);
    Canvas->Font()->SetColor(DisabledTextColor(OwnColour ? Canvas->Font()->Color() : s.FontColor[0], under));
    Draw(FontDC(Canvas), Text, r, Flags);
}

} // namespace

TColor DisabledTextColor(TColor Text, TColor Back) { return ChangeColor(ColorToRGB(Text), ColorToRGB(Back), 0.5); }

void WriteTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags, int SkinIndex, bool Hot)
{
    if (!Canvas)
        return;
    Canvas->Brush()->SetStyle(bsClear);
    if (!Text)
        return;
    HDC dc = FontDC(Canvas);
    SetBkMode(dc, TRANSPARENT);
    const TRect r = TextRect(dc, Text, R, Flags);
    if (!Enabled)
        DisabledText(Canvas, Text, r, Flags, SkinIndex);
    else if (IsValidSkinIndex(SkinIndex))
        SectionText(Canvas, Text, r, Flags, Flags, Hot ? gd[SkinIndex].HotFontColor : gd[SkinIndex].FontColor);
    else
        Draw(dc, Text, r, Flags);
}

void WriteTextEx(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags, TsCommonData* SkinData, bool Hot)
{
    if (!Canvas || !SkinData)
        return;
    if (SkinData->FOwnerControl)
        Canvas->Font()->Assign(SkinData->FOwnerControl->Font());
    if (Hot && UpperCase(SkinData->SkinSection()) == "WEBBUTTON")
        Canvas->Font()->SetStyle(Canvas->Font()->Style() + TFontStyles{fsUnderline});
    HDC dc = FontDC(Canvas);
    // Clipped to R as passed; the context's own clipping is put back afterwards.
    TRegion clip = TRegion::Rect(0, 0, 0, 0);
    const bool clipped = GetClipRgn(dc, clip.Get()) == 1;
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    Canvas->Brush()->SetStyle(bsClear);
    SetBkMode(dc, TRANSPARENT);
    if (Text) {
        const TRect r = TextRect(dc, Text, R, Flags);
        const int index = SkinData->SkinIndex;
        if (!Enabled)
            DisabledText(Canvas, Text, r, Flags | DT_NOCLIP, index, SkinData->CustomFont);
        else if (IsValidSkinIndex(index) && !SkinData->CustomFont)
            SectionText(Canvas, Text, r, Flags, Flags | DT_NOCLIP, Hot ? gd[index].HotFontColor : gd[index].FontColor);
        else
            Draw(FontDC(Canvas), Text, r, Flags | DT_NOCLIP);
    }
    SelectClipRgn(dc, clipped ? clip.Get() : nullptr);
}

void WriteText(TCanvas* Canvas, const char* Text, bool Enabled, TRect& R, int Flags)
{
    WriteTextEx(Canvas, Text, Enabled, R, Flags, -1, false); // no section: the canvas's font colour
}

void WriteTextOnDC(HDC DC, const char* Text, bool Enabled, TRect& R, int Flags)
{
    if (!DC || !Text)
        return;
    const TRect r = TextRect(DC, Text, R, Flags);
    if (Enabled) {
        Draw(DC, Text, r, Flags);
        return;
    }
    const COLORREF colour = GetTextColor(DC);
    SetTextColor(DC, DisabledTextColor(static_cast<TColor>(colour), Under(DC, r, static_cast<TColor>(GetBkColor(DC)))));
    Draw(DC, Text, r, Flags);
    SetTextColor(DC, colour);
}

AnsiString CutText(TCanvas* Canvas, const AnsiString& Text, int MaxWidth)
{
    if (!Canvas || MaxWidth < 1)
        return AnsiString();
    if (Canvas->TextWidth(Text) <= MaxWidth)
        return Text;
    AnsiString s = Text;
    while (!s.empty()) {
        s.pop_back();
        if (!s.empty() && Canvas->TextWidth(s + "...") <= MaxWidth)
            return s + "...";
    }
    return AnsiString();
}

namespace {

TsColor BottomLeft(TBitmap* Bmp)
{
    const Byte* p = static_cast<const Byte*>(Bmp->ScanLine(Bmp->Height() - 1));
    return TsColor{p[2], p[1], p[0], 0};
}

} // namespace

void DrawGlyphEx(TBitmap* Glyph, TBitmap* DstBmp, const TRect& R, int NumGlyphs, bool Enabled, bool Grayed,
                 TsDisabledGlyphKind DisabledGlyphKind, int State, int Blend)
{
    if (!Glyph || !DstBmp || Glyph->Empty() || (NumGlyphs != 1 && NumGlyphs != 2))
        return;
    TBitmap copy;
    copy.Assign(Glyph);
    copy.SetPixelFormat(pf24bit);
    const int x = R.left, y = R.top;
    if (NumGlyphs == 1) {
        // The key is read after the grey step, so that the grey key still reads as transparent.
        if (Enabled ? State == 0 && Grayed : DisabledGlyphKind.Contains(dgGrayed))
            GrayScale(&copy);
        const double blend = Enabled ? (State == 0 && Blend > 0 ? Blend / 100.0 : -1) : (DisabledGlyphKind.Contains(dgBlended) ? 0.5 : -1);
        if (blend >= 0)
            BlendTransRectangle(DstBmp, x, y, &copy, Rect(0, 0, WidthOf(R), HeightOf(R)), blend, BottomLeft(&copy));
        else
            CopyTransBitmaps(DstBmp, &copy, x, y, BottomLeft(&copy));
        return;
    }
    const int w = copy.Width() / 2, h = copy.Height();
    const TsColor key = BottomLeft(&copy);
    if (!Enabled)
        CopyTransRectA(DstBmp, &copy, x, y, Rect(w, 0, 2 * w - 1, h - 1), SColorToColor(key));
    else if (State == 0 && Blend >= 1)
        BlendTransRectangle(DstBmp, x, y, &copy, Rect(0, 0, w - 1, h - 1), Blend / 100.0, key);
    else
        CopyTransRectA(DstBmp, &copy, x, y, Rect(0, 0, w - 1, h - 1), SColorToColor(key));
}

void PaintCheck(TCanvas* Canvas, const TRect& R, bool Enabled, TColor Color)
{
    if (!Canvas)
        return;
    TRect r = R;
    const int inset = WidthOf(R) / 8;
    InflateRect(&r, -inset, -inset);
    ++r.left;
    ++r.top;
    const int h = HeightOf(r), a = h / 3, d = h / 4;
    auto polygon = [&](TColor c, int off) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(c);
        Canvas->Pen()->SetStyle(psSolid);
        Canvas->Pen()->SetColor(c);
        const POINT p[6] = {{r.left + off, r.bottom - a - 2 + off},  {r.left + a + off, r.bottom - 2 + off},
                            {r.right - 2 + off, r.top + a + off},    {r.right - 2 + off, r.top + a - d + off},
                            {r.left + a + off, r.bottom - 2 - d + off}, {r.left + d + off, r.bottom - a - 2 + off}};
        Canvas->Polygon(p, 6);
    };
    if (Enabled)
        polygon(Color, 0);
    else {
        polygon(cl3DLight, 1);
        polygon(clBtnShadow, 0);
    }
}

TRect TextExtentIn(TCanvas* Canvas, const char* Text, const TRect& R, int Flags)
{
    if (!Canvas || !Text)
        return R;
    RECT calc = R;
    DrawTextA(FontDC(Canvas), Text, -1, &calc, static_cast<UINT>((Flags & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT));
    const int w = WidthOf(calc), h = HeightOf(calc);
    const int left = (Flags & DT_CENTER) ? R.left + (WidthOf(R) - w) / 2 : (Flags & DT_RIGHT) ? R.right - w : R.left;
    int top = R.top;
    if (Flags & DT_SINGLELINE)
        top = (Flags & DT_VCENTER) ? R.top + (HeightOf(R) - h) / 2 : (Flags & DT_BOTTOM) ? R.bottom - h : R.top;
    return TRect{left, top, left + w, top + h};
}

void FocusRectAround(TCanvas* Canvas, const TRect& Text)
{
    // The dots reach one pixel beyond the left and top edges and one pixel inside the right and
    // bottom ones.
    FocusRect(Canvas, Rect(Text.left - 3, Text.top - 3, Text.right + 3, Text.bottom + 3));
}

void FocusRect(TCanvas* Canvas, const TRect& R)
{
    if (!Canvas)
        return;
    const int nx = WidthOf(R) / 3, ny = HeightOf(R) / 3;
    for (int i = 0; i <= nx; ++i) {
        const int x = R.left + 3 * i;
        Canvas->SetPixels(x, R.top, clBlack);
        Canvas->SetPixels(x, R.bottom, clBlack);
        Canvas->SetPixels(x - 1, R.top - 1, clWhite);
        Canvas->SetPixels(x - 1, R.bottom - 1, clWhite);
    }
    for (int j = 0; j <= ny; ++j) {
        const int y = R.top + 3 * j;
        Canvas->SetPixels(R.left, y, clBlack);
        Canvas->SetPixels(R.right, y, clBlack);
        Canvas->SetPixels(R.left - 1, y - 1, clWhite);
        Canvas->SetPixels(R.right - 1, y - 1, clWhite);
    }
}
