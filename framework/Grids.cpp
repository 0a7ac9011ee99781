#include "Grids.h"

#include <algorithm>

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
}

void TCustomGrid::SetRowCount(int Value)
{
    FRowCount = std::max(Value, 0);
    FFixedRows = std::min(FFixedRows, std::max(FRowCount - 1, 0));
    SetTopRow(FTopRow);
}

void TCustomGrid::SetColCount(int Value)
{
    FColCount = std::max(Value, 0);
}

void TCustomGrid::SetFixedRows(int Value)
{
    FFixedRows = std::clamp(Value, 0, std::max(FRowCount - 1, 0));
    SetTopRow(FTopRow);
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    FDefaultRowHeight = std::max(Value, 1);
}

void TCustomGrid::SetTopRow(int Value)
{
    FTopRow = std::clamp(Value, FFixedRows, std::max(FRowCount - 1, FFixedRows));
    Invalidate();
}

int TCustomGrid::VisibleRowCount()
{
    const int fit = std::max(ClientHeight() - FFixedRows * FDefaultRowHeight, 0) / FDefaultRowHeight;
    return std::min(fit, std::max(FRowCount - FTopRow, 0));
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    FFixedColor = Value;
    Invalidate();
}
