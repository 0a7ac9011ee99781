// Item backgrounds: a section's colour, pattern, gradient and transparency composed in memory,
// then its border mask.
#include <algorithm>

#include "Jpeg.h"
#include "sGradient.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

int WidthOf(const TRect& R) { return R.right - R.left; }
int HeightOf(const TRect& R) { return R.bottom - R.top; }

// What the background of one state is made of.
struct TBackground {
    TColor Color = 0;
    int ImagePercent = 0, GradientPercent = 0, Transparency = 0;
    int Pattern = -1;
    bool PatternIsJpeg = false;
    const TsGradArray* Gradient = nullptr;
    // The weight of the image under a gradient: percent * 255 div 100 (256 for the fast form).
    int ImageScale = 255;
};

TBackground ReadBackground(int SkinIndex, int State)
{
    const TsGeneralData& g = gd[SkinIndex];
    TBackground b;
    const bool hot = State != 0;
    b.Color = hot ? g.HotColor : g.Color;
    b.ImagePercent = hot ? g.HotImagePercent : g.ImagePercent;
    b.GradientPercent = hot ? g.HotGradientPercent : g.GradientPercent;
    b.Transparency = hot ? g.HotTransparency : g.Transparency;
    if (b.GradientPercent != 0)
        b.Gradient = hot ? &g.HotGradArray : &g.GradArray;
    return b;
}

// A pattern whose pixels cannot be decoded (its headers were sound when the skin loaded) is no
// image from then on, for every section that shares it; the failure goes to the debug log once,
// never to a box at every paint.
void DropPattern(const TsPatternData& Failed, const AnsiString& Reason)
{
    const std::shared_ptr<TJPEGImage> image = Failed.Img;
    OutputDebugStringA(("Узор " + Failed.PropertyName + " раздела " + Failed.ClassName + " скина не читается: " + Reason +
                        "\n").c_str());
    for (TsPatternData& p : pa)
        if (p.Img == image)
            p.Img.reset();
}

// Tiles the pattern over A; false when there is none to tile.
bool TilePattern(TBitmap* B, const TRect& A, const TBackground& bg)
{
    if (bg.PatternIsJpeg) {
        if (bg.Pattern < 0 || bg.Pattern >= static_cast<int>(pa.size()) || !pa[bg.Pattern].Img)
            return false;
        TJPEGImage* jpeg = pa[bg.Pattern].Img.get();
        TBitmap* tile = nullptr;
        try {
            tile = jpeg->Empty() ? nullptr : jpeg->Bitmap();
        } catch (const Exception& e) {
            DropPattern(pa[bg.Pattern], e.Message);
            return false;
        }
        if (tile)
            sgu::TileRect(B, A, tile, Rect(0, 0, tile->Width(), tile->Height()));
        return true;
    }
    if (!IsValidImgIndex(bg.Pattern))
        return false;
    const TsMaskData& m = ma[bg.Pattern];
    if (m.Bmp && !m.Bmp->Empty())
        sgu::TileRect(B, A, m.Bmp.get(), Rect(0, 0, m.Bmp->Width(), m.Bmp->Height()));
    else if (MasterBitmap)
        sgu::TileRect(B, A, MasterBitmap.get(), m.R);
    return true;
}

// The gradient over A of B, or the plain colour when it has no stops.
void GradientOrColour(TBitmap* B, const TRect& A, const TBackground& bg)
{
    if (bg.Gradient && !bg.Gradient->empty())
        PaintGrad(B, A, *bg.Gradient);
    else
        sgu::FillBmp(B, A, bg.Color);
}

// The opaque fill of A on B.
void OpaqueFill(TBitmap* B, const TRect& A, const TBackground& bg)
{
    bool imaged = false;
    if (bg.ImagePercent > 0) {
        imaged = TilePattern(B, A, bg);
        if (!imaged)
            sgu::FillBmp(B, A, bg.Color);
    }
    if (bg.GradientPercent > 0) {
        if (imaged && WidthOf(A) > 0 && HeightOf(A) > 0) {
            TBitmap gradient(WidthOf(A), HeightOf(A), pf24bit);
            GradientOrColour(&gradient, Rect(0, 0, WidthOf(A), HeightOf(A)), bg);
            // The image keeps 3w/768 of itself; a weight is one byte, so it stops at 255.
            const Byte w = static_cast<Byte>(std::clamp(bg.ImagePercent * bg.ImageScale / 100, 0, 255));
            SumBmpRect(B, &gradient, TsColor{w, w, w, 0}, Rect(0, 0, WidthOf(A) - 1, HeightOf(A)), Point(A.left, A.top));
        } else
            GradientOrColour(B, A, bg);
    }
    const int sum = bg.GradientPercent + bg.ImagePercent;
    if (sum >= 1 && sum <= 99)
        BlendColorRect(B, A, static_cast<signed char>(sum), bg.Color);
    else if (sum != 100)
        sgu::FillBmp(B, A, ParentCenterColor != clSkinKey && bg.Transparency != 0 ? ParentCenterColor : bg.Color);
}

// With ForControl (a control's own background), a known ParentCenterColor stands for the parent's
// image: it fills where the parent's image would be copied, also without a ready cache.
void PaintBackground(const TBackground& bg, const TCacheInfo& ci, const TRect& R, const TPoint& pP, TBitmap* ItemBmp,
                     bool ForControl = false)
{
    if (!ItemBmp)
        return;
    const int w = WidthOf(R), h = HeightOf(R);
    const bool centre = ForControl && ParentCenterColor != clSkinKey;
    auto copyParent = [&] {
        if (ItemBmp == ci.Bmp)
            return;
        if (centre)
            sgu::FillBmp(ItemBmp, R, ParentCenterColor);
        else
            sgu::CopyBlock(ItemBmp, R.left, R.top, ci.Bmp, ci.X + pP.x, ci.Y + pP.y, w, h);
    };
    const int t = std::min(bg.Transparency, 100);
    if (ForControl && !ci.Ready && t == 100) {
        if (centre)
            sgu::FillBmp(ItemBmp, R, ParentCenterColor);
    } else if (ci.Ready && t == 100)
        copyParent();
    else if (!ci.Ready || t == 0)
        OpaqueFill(ItemBmp, R, bg);
    else if (t > 0 && w > 0 && h > 0) {
        TBitmap own(w, h, pf24bit);
        OpaqueFill(&own, Rect(0, 0, w, h), bg);
        copyParent();
        const Byte k = static_cast<Byte>(t * 255 / 100);
        SumBmpRect(ItemBmp, &own, TsColor{k, k, k, 0}, Rect(0, 0, w, h), Point(R.left, R.top));
    }
}

bool Inside(TBitmap* Bmp, const TRect& R)
{
    return Bmp && R.left >= 0 && R.top >= 0 && R.right <= Bmp->Width() && R.bottom <= Bmp->Height();
}

TCacheInfo Shifted(TCacheInfo ci, const TPoint& pP)
{
    ci.X += pP.x;
    ci.Y += pP.y;
    return ci;
}

} // namespace

void PaintItemBG(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, int State, const TRect& R,
                 const TPoint& pP, TBitmap* ItemBmp)
{
    if (!IsValidSkinIndex(SkinIndex))
        return;
    TBackground bg = ReadBackground(SkinIndex, State);
    if (bg.ImagePercent > 0) {
        const char* name = State != 0 ? "HOTPATTERN" : "PATTERN";
        bg.Pattern = GetMaskIndex(SkinIndex, Section, name);
        if (!IsValidImgIndex(bg.Pattern)) {
            bg.Pattern = GetPatternIndex(SkinIndex, Section, name);
            bg.PatternIsJpeg = bg.Pattern > -1;
        }
    }
    PaintBackground(bg, ci, R, pP, ItemBmp);
}

void PaintItemBGFast(int SkinIndex, int PatternIndex, int HotPatternIndex, const AnsiString&, const TCacheInfo& ci,
                     int State, const TRect& R, const TPoint& pP, TBitmap* ItemBmp)
{
    if (!IsValidSkinIndex(SkinIndex))
        return;
    TBackground bg = ReadBackground(SkinIndex, State);
    bg.Pattern = State != 0 ? HotPatternIndex : PatternIndex;
    bg.ImageScale = 256;
    PaintBackground(bg, ci, R, pP, ItemBmp);
}

void PaintItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
               const TPoint& pP, TBitmap* ItemBmp)
{
    if (R.left >= R.right || R.top >= R.bottom || !IsValidSkinIndex(SkinIndex) || !Inside(ItemBmp, R))
        return;
    PaintItemBG(SkinIndex, Section, ci, State, R, pP, ItemBmp);
    const int m = GetMaskIndex(SkinIndex, Section, "BORDERSMASK");
    if (IsValidImgIndex(m))
        DrawSkinRect(ItemBmp, R, Filling, Shifted(ci, pP), ma[m], State, true);
}

void PaintItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
               const TPoint& pP, HDC DC)
{
    const int w = WidthOf(R), h = HeightOf(R);
    if (!DC || !IsValidSkinIndex(SkinIndex) || R.left < 0 || R.top < 0 || w < 1 || h < 1)
        return;
    const int saved = SaveDC(DC);
    TBitmap bmp(w, h, pf24bit);
    PaintItem(SkinIndex, Section, ci, Filling, State, Rect(0, 0, w, h), pP, &bmp);
    BitBlt(DC, R.left, R.top, w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(DC, saved);
}

void PaintItemFast(int SkinIndex, int BorderIndex, int PatternIndex, int HotPatternIndex, const AnsiString& Section,
                   const TCacheInfo& ci, bool Filling, int State, const TRect& R, const TPoint& pP, TBitmap* ItemBmp)
{
    if (!IsValidSkinIndex(SkinIndex) || !Inside(ItemBmp, R))
        return;
    PaintItemBGFast(SkinIndex, PatternIndex, HotPatternIndex, Section, ci, State, R, pP, ItemBmp);
    if (IsValidImgIndex(BorderIndex))
        DrawSkinRect(ItemBmp, R, Filling, Shifted(ci, pP), ma[BorderIndex], State, true);
}

void PaintSmallItem(int SkinIndex, const AnsiString& Section, const TCacheInfo& ci, bool Filling, int State, const TRect& R,
                    const TPoint& pP, TBitmap* ItemBmp)
{
    if (!IsValidSkinIndex(SkinIndex) || !Inside(ItemBmp, R))
        return;
    PaintItemBG(SkinIndex, Section, ci, State, R, pP, ItemBmp);
    const int m = GetMaskIndex(SkinIndex, Section, "BORDERSMASK");
    if (IsValidImgIndex(m))
        DrawSmallSkinRect(ItemBmp, R, Filling, Shifted(ci, pP), ma[m], State);
}

void PaintItemBG(TsCommonData* SkinData, const TCacheInfo& ci, int State, const TRect& R, const TPoint& pP,
                 TBitmap* ItemBmp)
{
    if (!SkinData || !IsValidSkinIndex(SkinData->SkinIndex))
        return;
    const int index = SkinData->SkinIndex;
    TBackground bg = ReadBackground(index, State);
    if (SkinData->CustomColor) {
        TControl* owner = SkinData->FOwnerControl;
        if (auto* provider = dynamic_cast<TsSkinProvider*>(SkinData->FOwnerObject))
            owner = dynamic_cast<TControl*>(provider->Form());
        if (owner)
            bg.Color = ColorToRGB(owner->Color());
    }
    if (bg.ImagePercent > 0) {
        const char* name = State != 0 ? "HOTPATTERN" : "PATTERN";
        bg.Pattern = GetMaskIndex(index, SkinData->SkinSection(), name);
        if (!IsValidImgIndex(bg.Pattern)) {
            bg.Pattern = GetPatternIndex(index, SkinData->SkinSection(), name);
            bg.PatternIsJpeg = bg.Pattern > -1;
        }
    }
    PaintBackground(bg, ci, R, pP, ItemBmp, true);
}

void PaintItem(TsCommonData* SkinData, const TCacheInfo& ci, bool Filling, int State, const TRect& R, const TPoint& pP,
               TBitmap* ItemBmp, bool UpdateCorners)
{
    if (!SkinData || !IsValidSkinIndex(SkinData->SkinIndex) || !Inside(ItemBmp, R))
        return;
    TWinControl* parent = SkinData->FOwnerControl ? SkinData->FOwnerControl->Parent() : nullptr;
    ParentCenterColor = clSkinKey;
    if (!ci.Ready && parent) {
        CtrlParentColor = ColorToRGB(parent->Color());
        ParentCenterColor = CtrlParentColor;
    }
    // A control that does not move with a textured parent takes its transparent parts from the
    // parent's one centre colour.
    if (ci.Ready && parent && !SkinData->RepaintIfMoved() && ParentCenterColor == clSkinKey)
        InitParentColor(parent);
    PaintItemBG(SkinData, ci, State, R, pP, ItemBmp);
    if (IsValidImgIndex(SkinData->BorderIndex))
        DrawSkinRect(ItemBmp, R, Filling, Shifted(ci, pP), ma[SkinData->BorderIndex], State, UpdateCorners);
    CtrlParentColor = clSkinKey;
    ParentCenterColor = clSkinKey;
}
