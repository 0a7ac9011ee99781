#include "sGradient.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sPixelRows.h"
#include "sUtils.h"

void PrepareGradArray(const AnsiString& Text, TsGradArray& Arr)
{
    Arr.clear();
    // The words found in one pass; a stop takes five.
    std::vector<AnsiString> words;
    for (std::size_t at = 0; at < Text.size();) {
        const std::size_t end = std::min(Text.find(';', at), Text.size());
        if (end > at)
            words.push_back(Text.substr(at, end - at));
        at = end + 1;
    }
    Arr.resize(words.size() / 5);
    for (std::size_t i = 0; i < Arr.size(); ++i) {
        TsGradPie& pie = Arr[i];
        const AnsiString* w = &words[5 * i];
        pie.Color1 = StrToInt(w[0]);
        pie.Color2 = StrToInt(w[1]);
        pie.Percent = static_cast<Byte>(std::clamp(StrToInt(w[2]), 0, 100));
        pie.Mode = StrToInt(w[3]);
    }
}

namespace {

struct TChannels {
    double R, G, B;
};

TChannels ChannelsOf(TColor c)
{
    return {double(c & 0xFF), double((c >> 8) & 0xFF), double((c >> 16) & 0xFF)};
}

Byte RoundByte(double v)
{
    // The SSE2 conversion rounds halves to even like Round, without its cost on every row.
    return static_cast<Byte>(std::clamp(_mm_cvtsd_si32(_mm_set_sd(std::clamp(v, 0.0, 255.0))), 0, 255));
}

// The pixel (blue, green, red) of step k of n from Color1 to Color2.
void StepColor(const TsGradPie& pie, int k, int n, Byte* px)
{
    const TChannels a = ChannelsOf(pie.Color1), b = ChannelsOf(pie.Color2);
    px[0] = RoundByte(a.B + (b.B - a.B) * k / n);
    px[1] = RoundByte(a.G + (b.G - a.G) * k / n);
    px[2] = RoundByte(a.R + (b.R - a.R) * k / n);
}

bool ClipToBitmap(TBitmap* Bmp, const TRect& R, TRect& C)
{
    if (!Bmp || Bmp->Empty())
        return false;
    C = R;
    C.left = std::max<LONG>(C.left, 0);
    C.top = std::max<LONG>(C.top, 0);
    C.right = std::min<LONG>(C.right, Bmp->Width());
    C.bottom = std::min<LONG>(C.bottom, Bmp->Height());
    if (C.left >= C.right || C.top >= C.bottom)
        return false;
    if (Bmp->PixelFormat() != pf24bit)
        Bmp->SetPixelFormat(pf24bit);
    return true;
}

// The stops top to bottom over the columns of C; the last stop ends on row LastRow.
void PaintRows(TBitmap* Bmp, const TRect& C, const TsGradArray& Arr, int LastRow)
{
    // The pixels are reached once for all the rows.
    const TPixelView v = TPixelView::Of(Bmp);
    const int width = C.right - C.left, height = C.bottom - C.top;
    int e = C.top;
    for (std::size_t i = 0; i < Arr.size(); ++i) {
        const int s = e;
        e = s + height * Arr[i].Percent / 100;
        e = i + 1 == Arr.size() ? LastRow : std::min(e, int(C.bottom) - 1);
        const int n = e - s;
        for (int k = 0; k <= n && n > 0; ++k) {
            Byte px[3];
            StepColor(Arr[i], k, n, px);
            rows::Fill(v.At(C.left, s + k, width), width, px);
        }
    }
}

// The stops left to right over the rows of C.
void PaintColumns(TBitmap* Bmp, const TRect& C, const TsGradArray& Arr)
{
    const int width = C.right - C.left;
    std::vector<Byte> line(3 * static_cast<std::size_t>(width));
    bool painted = false;
    int e = C.left;
    for (std::size_t i = 0; i < Arr.size(); ++i) {
        const int s = e;
        e = s + width * Arr[i].Percent / 100;
        e = i + 1 == Arr.size() ? int(C.right) - 1 : std::min(e, int(C.right) - 1);
        const int n = e - s;
        for (int k = 0; k <= n && n > 0; ++k)
            StepColor(Arr[i], k, n, &line[3 * static_cast<std::size_t>(s + k - C.left)]);
        painted = painted || n > 0;
    }
    // Stops are contiguous from the left edge and the last one ends at the right edge, so once
    // any stop has a length the whole line is painted.
    if (!painted)
        return;
    const TPixelView v = TPixelView::Of(Bmp);
    for (int y = C.top; y < C.bottom; ++y)
        std::memcpy(v.At(C.left, y, width), line.data(), line.size());
}

} // namespace

void PaintGrad(TBitmap* Bmp, const TRect& R, const TsGradArray& Arr)
{
    TRect c;
    if (Arr.empty() || (Arr[0].Mode != 0 && Arr[0].Mode != 1) || !ClipToBitmap(Bmp, R, c))
        return;
    if (Arr[0].Mode == 0)
        PaintRows(Bmp, c, Arr, c.bottom - 1);
    else
        PaintColumns(Bmp, c, Arr);
}

void PaintGrad(TBitmap* Bmp, const TRect& R, const AnsiString& Text)
{
    TsGradArray arr;
    PrepareGradArray(Text, arr);
    PaintGrad(Bmp, R, arr);
}

void PaintGradV(TBitmap* Bmp, const TRect& R, const TsGradArray& Arr)
{
    TRect c;
    if (Arr.empty() || !ClipToBitmap(Bmp, R, c))
        return;
    PaintRows(Bmp, c, Arr, Bmp->Height() - 1);
}
