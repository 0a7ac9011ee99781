// Mask drawing.
#include "sMaskGraph.h"

#include <algorithm>

#include "sGraphUtils.h"
#include "sPixelRows.h"

void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind Kind, TControl* Parent, const TCacheInfo& CI, const TPoint& Offset)
{
    if (!Bmp || Bmp->Empty())
        return;
    if (Kind.Contains(dkGrayed))
        GrayScale(Bmp);
    if (!Kind.Contains(dkBlended))
        return;
    const int w = Bmp->Width(), h = Bmp->Height();
    if (CI.Ready && CI.Bmp) {
        const int x = CI.X + Offset.x, y = CI.Y + Offset.y;
        BlendTransRectangle(Bmp, 0, 0, CI.Bmp, Rect(x, y, x + w, y + h), 0.4, TsColor{0, 0, 0, 0xFF});
        return;
    }
    TColor c = ParentCenterColor;
    if (c == clSkinKey && Parent)
        c = ColorToRGB(Parent->Color());
    FadeBmp(Bmp, Rect(0, 0, w, h), 50, ColorToSColor(c), 0, 0);
}

void BlendColorRect(TBitmap* Bmp, const TRect& R, signed char Percent, TColor Color)
{
    TPixelView v = TPixelView::Of(Bmp);
    const int x0 = std::max<int>(R.left, 0), x1 = std::min<int>(R.right, v.Width);
    const int y0 = std::max<int>(R.top, 0), y1 = std::min<int>(R.bottom, v.Height);
    if (x1 <= x0 || y1 <= y0)
        return;
    const int p = std::min(static_cast<int>(static_cast<Byte>(Percent)), 100);
    const TsColor c = ColorToSColor(ColorToRGB(Color));
    const int colour[3] = {c.B, c.G, c.R};
    // Every channel value meets one of 256 results per channel: a table does the arithmetic once.
    Byte tables[3][256];
    for (int i = 0; i < 3; ++i)
        for (int ch = 0; ch < 256; ++ch) {
            const int num = ch * p + colour[i] * (100 - p), q = num / 100, r = num % 100;
            tables[i][ch] = static_cast<Byte>(q + (r > 50 || (r == 50 && (q & 1))));
        }
    for (int y = y0; y < y1; ++y)
        rows::Map(v.At(x0, y), x1 - x0, tables);
}
