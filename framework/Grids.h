// The framework's grids: for now what the skin library reads and sets of a grid (rows, the top
// row, scroll bars, border and colours) on a plain custom control; drawing cells, editing and the
// grid's own scrolling come with the grid.
#pragma once

#include "ExtCtrlsPanels.h"
#include "StdCtrls.h"

class TCustomGrid : public TCustomControl {
    VCL_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);

    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // The first scrollable row shown, FixedRows .. RowCount - 1.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // The scrollable rows from TopRow that fit wholly below the fixed ones (at most those left).
    int VisibleRowCount();

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { FBorderStyle = Value; }
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);

private:
    int FRowCount = 5;
    int FColCount = 5;
    int FFixedRows = 1;
    int FDefaultRowHeight = 24;
    int FTopRow = 1;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FFixedColor = clBtnFace;
};

class TDrawGrid : public TCustomGrid {
    VCL_CLASS(TDrawGrid, TCustomGrid)
public:
    using TCustomGrid::TCustomGrid;
};
