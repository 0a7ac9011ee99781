// The framework's grids, as far as the skin library needs them: a grid of rows of one height and
// columns of their own widths, the fixed ones first, that scrolls its other rows and columns by
// its own scroll bars (TopRow, LeftCol), paints its cells and keeps a current cell (Col, Row)
// that a click or the arrow keys move where SelectCell allows; a draw grid leaves each cell's
// content to OnDrawCell. Range selection and editing are not part of it.
#pragma once

#include <vector>

#include "ExtCtrlsPanels.h"
#include "StdCtrls.h"

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;
using TDrawCellEvent = TMethod<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = TMethod<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
// Grid lines between the fixed and the other cells, and whether the current cell is highlighted
// while the grid has the focus (else it shows a focus frame).
enum TGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goDrawFocusSelected };
using TGridOptions = TSet<TGridOption>;

class TCustomGrid : public TCustomControl {
    VCL_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    // The width of new columns and of every column when set.
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    // The first scrollable row shown, FixedRows up to the last one that still fills the grid.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // The scrollable rows from TopRow that fit wholly below the fixed ones (at most those left).
    int VisibleRowCount();
    // The first scrollable column shown, FixedCols up to the last one that still fills the grid.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    // The scrollable columns from LeftCol that fit wholly right of the fixed ones.
    int VisibleColCount();

    // Which of the grid's own scroll bars it has; each shows while there is something to scroll.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // A single border is the sunken client edge with Ctl3D, else a line.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

    // The current cell: a scrollable cell. Setting it moves there when SelectCell allows, scrolls
    // it into view and runs Click.
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);
    // The cell at a client point; -1, -1 outside every cell shown.
    void MouseToCell(int X, int Y, int& ACol, int& ARow);
    // The client rectangle of a cell; empty while the cell is not shown.
    TRect CellRect(int ACol, int ARow);
    // Off: the grid paints nothing of its own around DrawCell (no highlight, no focus frame).
    bool DefaultDrawing = true;
    // Asked before the current cell moves to a cell.
    TSelectCellEvent OnSelectCell;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // Paints one cell's content over the background the grid painted; a draw grid hands it to
    // OnDrawCell.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Whether the current cell may move to the cell; asks OnSelectCell.
    virtual bool SelectCell(int ACol, int ARow);
    // Moves the current cell when SelectCell allows (Show: scrolled into view); no Click.
    void MoveColRow(int ACol, int ARow, bool Show);
    // MoveColRow and then Click.
    void FocusCell(int ACol, int ARow);
    void InvalidateCell(int ACol, int ARow);
    // The arrows, Home and End (Ctrl: the first and last row), Page Up and Page Down move the
    // current cell.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // A press on a scrollable cell takes the focus and moves there; its release runs Click. The
    // second press of a double click runs DblClick.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FixedHeight() const { return FFixedRows * FDefaultRowHeight; }
    int FixedWidth() const;
    // The largest TopRow and LeftCol: the last rows and columns fill the room left of the fixed ones.
    int MaxTopRow();
    int MaxLeftCol();
    // The grid's own scroll bars from the rows, columns and the first ones shown.
    void UpdateScrollBars();
    void Scroll(bool Vertical, WORD Code, int ThumbPos);

    int FRowCount = 5;
    int FColCount = 5;
    int FFixedRows = 1;
    int FFixedCols = 1;
    int FDefaultRowHeight = 24;
    int FDefaultColWidth = 64;
    std::vector<int> FColWidths = std::vector<int>(5, 64);
    int FTopRow = 1;
    int FLeftCol = 1;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FFixedColor = clBtnFace;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine};
    int FCol = 1;
    int FRow = 1;
    bool FSelecting = false; // a press on a cell waits for its release
    bool FUpdatingBars = false;
    // The left and top edges of a shown column or row (-1 when it is not shown).
    int ColLeft(int ACol);
    int RowTop(int ARow);
    // Scrolls so that the current cell shows.
    void ClampInView();
    void DrawLines(TCanvas* Canvas, const TRect& Cell, bool Fixed);
};

class TDrawGrid : public TCustomGrid {
    VCL_CLASS(TDrawGrid, TCustomGrid)
public:
    using TCustomGrid::TCustomGrid;
    // Draws a cell's content over its background (the grid has painted the background first).
    TDrawCellEvent OnDrawCell;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
};
