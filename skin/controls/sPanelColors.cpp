// The colours panel of unit sPanel: its cells, their hit test, selection and painting.
#include <algorithm>

#include "sPanel.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsColorsPanel::TsColorsPanel(TComponent* AOwner) : TsPanel(AOwner), FColors(std::make_unique<TStringList>())
{
    SetCaption(" ");
    SetBounds(Left(), Top(), 140, 60);
}

TsColorsPanel::~TsColorsPanel() = default;

void TsColorsPanel::AfterConstruction()
{
    inherited::AfterConstruction();
    GenerateColors();
}

void TsColorsPanel::Loaded()
{
    inherited::Loaded();
    GenerateColors();
}

void TsColorsPanel::SetColors(TStrings* Value)
{
    FColors->Assign(Value);
    GenerateColors();
    SkinData()->Invalidate();
}

void TsColorsPanel::SetGridValue(int& Field, int Value)
{
    if (Field == Value)
        return;
    Field = Value;
    GenerateColors();
    SkinData()->Invalidate();
}

int TsColorsPanel::CellCount() const
{
    return std::min(Count(), static_cast<int>(FCells.size()));
}

TColor TsColorsPanel::ColorValue() const
{
    return IsCell(FItemIndex) ? FCells[static_cast<std::size_t>(FItemIndex)].Color : clWhite;
}

void TsColorsPanel::GenerateColors()
{
    static const TSysCharSet delims(" \r\n");
    FCells.clear();
    int n = 0;
    for (int r = 0; r < FRowCount; ++r)
        for (int c = 0; c < FColCount; ++c) {
            TsColorCell cell;
            if (n < FColors->Count()) {
                cell.Color = static_cast<TColor>(HexToInt(ExtractWord(1, FColors->Strings(n), delims)));
            } else {
                cell.Color = clWhite;
                FColors->Add("FFFFFF");
            }
            cell.Index = n;
            cell.Selected = n == FItemIndex;
            const int left = (FItemWidth + FItemMargin) * c + FItemMargin;
            const int top = (FItemHeight + FItemMargin) * r + FItemMargin;
            cell.R = Rect(left, top, left + FItemWidth, top + FItemHeight);
            FCells.push_back(cell);
            ++n;
        }
}

int TsColorsPanel::GetItemByCoord(const TPoint& P) const
{
    const POINT p{P.x, P.y};
    for (int i = 0; i < CellCount(); ++i) {
        TRect r = FCells[static_cast<std::size_t>(i)].R;
        InflateRect(&r, FItemMargin, FItemMargin);
        if (PtInRect(&r, p))
            return i;
    }
    return -1;
}

void TsColorsPanel::SetItemIndex(int Value)
{
    if (FItemIndex >= Count())
        FItemIndex = -1;
    if (Value == FItemIndex)
        return;
    if (IsCell(FItemIndex))
        FCells[static_cast<std::size_t>(FItemIndex)].Selected = false;
    FItemIndex = Value;
    if (IsCell(Value))
        FCells[static_cast<std::size_t>(Value)].Selected = true;
    if (OnChange)
        OnChange(this);
    Repaint();
}

void TsColorsPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseDown(Button, Shift, X, Y);
    if (CanFocus())
        SetFocus();
    SetItemIndex(GetItemByCoord(TPoint{X, Y}));
}

void TsColorsPanel::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    // The focus frame around the selected cell comes or goes.
    if ((Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) && IsCell(FItemIndex))
        Repaint();
}

void TsColorsPanel::PaintColors(TCanvas* Canvas)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Pen()->SetStyle(psClear);
    for (int i = 0; i < CellCount(); ++i) {
        const TsColorCell& cell = FCells[static_cast<std::size_t>(i)];
        Canvas->Brush()->SetColor(cell.Color);
        Canvas->Rectangle(cell.R);
    }
}

void TsColorsPanel::PaintSelection(HDC DC)
{
    TRect r = FCells[static_cast<std::size_t>(FItemIndex)].R;
    InflateRect(&r, 1, 1);
    FrameRect(DC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    InflateRect(&r, 1, 1);
    FrameRect(DC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (Focused()) {
        InflateRect(&r, 2, 2);
        DrawFocusRect(DC, &r);
    }
}

void TsColorsPanel::OurPaint(HDC DC)
{
    TsCommonData* sd = SkinData();
    if (ComponentState().Contains(csDestroying) || !sd)
        return;
    if (Parent() && Parent()->ControlState().Contains(csCreating))
        return;
    if (!sd->Skinned()) {
        inherited::OurPaint(DC);
        return;
    }
    sd->Updating = sd->GetUpdating();
    // The parent's AC_PARENTUPDATED brings the paint back.
    if (sd->Updating)
        return;
    const bool rebuild = sd->BGChanged || sd->HalfVisible || (Parent() && GetBoolMsg(Parent(), AC_GETHALFVISIBLE));
    if (Parent()) {
        const TRect client = Parent()->ClientRect();
        const POINT first{Left(), Top()}, last{Left() + Width(), Top() + Height()};
        sd->HalfVisible = !PtInRect(&client, first) || !PtInRect(&client, last);
    }
    if (rebuild && !sd->UrgentPainting) {
        PaintCache();
        if (!OnPaint)
            PaintColors(sd->FCacheBmp->Canvas());
    }
    if (OnPaint)
        OnPaint(this, sd->FCacheBmp->Canvas());
    HDC target = DC ? DC : Canvas()->Handle();
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), target, true);
    ::PaintControls(target, this, rebuild, TPoint{0, 0});
    // Drawn over the picture, never into the cache.
    if (IsCell(FItemIndex) && !OnPaint)
        PaintSelection(target);
    // Windowed children waiting for the picture paint now, a cell selected or not.
    SetParentUpdated(this);
}
