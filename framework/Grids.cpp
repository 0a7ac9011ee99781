#include "Grids.h"

#include <algorithm>

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
}

// --- Rows and columns ---------------------------------------------------------------------

void TCustomGrid::SetRowCount(int Value)
{
    FRowCount = std::max(Value, 0);
    FFixedRows = std::min(FFixedRows, std::max(FRowCount - 1, 0));
    SetTopRow(FTopRow);
}

void TCustomGrid::SetColCount(int Value)
{
    FColCount = std::max(Value, 0);
    FColWidths.resize(static_cast<std::size_t>(FColCount), FDefaultColWidth);
    FFixedCols = std::min(FFixedCols, std::max(FColCount - 1, 0));
    SetLeftCol(FLeftCol);
}

void TCustomGrid::SetFixedRows(int Value)
{
    FFixedRows = std::clamp(Value, 0, std::max(FRowCount - 1, 0));
    SetTopRow(FTopRow);
}

void TCustomGrid::SetFixedCols(int Value)
{
    FFixedCols = std::clamp(Value, 0, std::max(FColCount - 1, 0));
    SetLeftCol(FLeftCol);
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    FDefaultRowHeight = std::max(Value, 1);
    SetTopRow(FTopRow);
}

void TCustomGrid::SetDefaultColWidth(int Value)
{
    FDefaultColWidth = std::max(Value, 1);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    SetLeftCol(FLeftCol);
}

int TCustomGrid::ColWidths(int Index) const
{
    return Index >= 0 && Index < FColCount ? FColWidths[static_cast<std::size_t>(Index)] : FDefaultColWidth;
}

void TCustomGrid::SetColWidths(int Index, int Value)
{
    if (Index < 0 || Index >= FColCount)
        return;
    FColWidths[static_cast<std::size_t>(Index)] = std::max(Value, 0);
    SetLeftCol(FLeftCol);
}

int TCustomGrid::FixedWidth() const
{
    int w = 0;
    for (int i = 0; i < FFixedCols; ++i)
        w += ColWidths(i);
    return w;
}

int TCustomGrid::MaxTopRow()
{
    const int fit = std::max(ClientHeight() - FixedHeight(), 0) / FDefaultRowHeight;
    return std::max(FRowCount - std::max(fit, 1), FFixedRows);
}

int TCustomGrid::MaxLeftCol()
{
    // The columns counted from the last one while they fit; at least the last column itself.
    const int room = ClientWidth() - FixedWidth();
    int used = 0, col = FColCount;
    while (col - 1 > FFixedCols && used + ColWidths(col - 1) <= room) {
        used += ColWidths(col - 1);
        --col;
    }
    if (col == FColCount)
        --col;
    return std::max(col, FFixedCols);
}

void TCustomGrid::SetTopRow(int Value)
{
    const int row = std::clamp(Value, FFixedRows, MaxTopRow());
    if (row != FTopRow) {
        FTopRow = row;
        Invalidate();
    }
    UpdateScrollBars();
}

void TCustomGrid::SetLeftCol(int Value)
{
    const int col = std::clamp(Value, FFixedCols, MaxLeftCol());
    if (col != FLeftCol) {
        FLeftCol = col;
        Invalidate();
    }
    UpdateScrollBars();
}

int TCustomGrid::VisibleRowCount()
{
    const int fit = std::max(ClientHeight() - FixedHeight(), 0) / FDefaultRowHeight;
    return std::min(fit, std::max(FRowCount - FTopRow, 0));
}

int TCustomGrid::VisibleColCount()
{
    const int room = ClientWidth() - FixedWidth();
    int used = 0, count = 0;
    for (int c = FLeftCol; c < FColCount && used + ColWidths(c) <= room; ++c, ++count)
        used += ColWidths(c);
    return count;
}

// --- Look ------------------------------------------------------------------------------------

void TCustomGrid::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

void TCustomGrid::CreateWnd()
{
    inherited::CreateWnd();
    UpdateScrollBars();
}

void TCustomGrid::UpdateScrollBars()
{
    if (!HandleAllocated() || FUpdatingBars)
        return;
    FUpdatingBars = true;
    // Twice: one bar shown narrows the room of the other direction.
    for (int pass = 0; pass < 2; ++pass) {
        const bool vertical = FScrollBars == ssVertical || FScrollBars == ssBoth;
        const bool horizontal = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (vertical) {
            const int last = MaxTopRow();
            si.nMin = FFixedRows;
            si.nMax = std::max(FRowCount - 1, FFixedRows);
            si.nPage = static_cast<UINT>(FRowCount - last);
            si.nPos = FTopRow;
            SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
            ShowScrollBar(Handle(), SB_VERT, last > FFixedRows);
        }
        if (horizontal) {
            const int last = MaxLeftCol();
            si.nMin = FFixedCols;
            si.nMax = std::max(FColCount - 1, FFixedCols);
            si.nPage = static_cast<UINT>(FColCount - last);
            si.nPos = FLeftCol;
            SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
            ShowScrollBar(Handle(), SB_HORZ, last > FFixedCols);
        }
    }
    FUpdatingBars = false;
}

void TCustomGrid::Scroll(bool Vertical, WORD Code, int ThumbPos)
{
    const int current = Vertical ? FTopRow : FLeftCol;
    const int page = std::max(Vertical ? VisibleRowCount() : VisibleColCount(), 1);
    int next = current;
    switch (Code) {
    case SB_LINEUP: next = current - 1; break;
    case SB_LINEDOWN: next = current + 1; break;
    case SB_PAGEUP: next = current - page; break;
    case SB_PAGEDOWN: next = current + page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = ThumbPos; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = Vertical ? FRowCount : FColCount; break;
    default: return;
    }
    if (Vertical)
        SetTopRow(next);
    else
        SetLeftCol(next);
}

void TCustomGrid::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        Scroll(Message.Msg == WM_VSCROLL, Message.WParamLo, static_cast<short>(Message.WParamHi));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND: Message.Result = 1; return; // every pixel of the client is a cell's
    case WM_SIZE:
        inherited::Dispatch(Message);
        SetTopRow(FTopRow);
        SetLeftCol(FLeftCol);
        return;
    case CM_CTL3DCHANGED:
        inherited::Dispatch(Message);
        if (FBorderStyle == bsSingle)
            RecreateWnd();
        return;
    default: inherited::Dispatch(Message);
    }
}

// --- Painting ------------------------------------------------------------------------------

void TCustomGrid::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    // Rows and columns in the order they show: the fixed ones, then from TopRow and LeftCol.
    auto shown = [](int fixed, int first, int count) {
        std::vector<int> order;
        for (int i = 0; i < fixed; ++i)
            order.push_back(i);
        for (int i = first; i < count; ++i)
            order.push_back(i);
        return order;
    };
    const std::vector<int> rows = shown(FFixedRows, FTopRow, FRowCount);
    const std::vector<int> cols = shown(FFixedCols, FLeftCol, FColCount);
    int y = 0;
    for (int row : rows) {
        if (y >= client.bottom)
            break;
        int x = 0;
        for (int col : cols) {
            if (x >= client.right)
                break;
            const TRect cell{x, y, x + ColWidths(col), y + FDefaultRowHeight};
            TGridDrawState state;
            if (row < FFixedRows || col < FFixedCols)
                state.Include(gdFixed);
            DrawCell(col, row, cell, state);
            x = cell.right;
        }
        if (x < client.right) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(TRect{x, y, client.right, y + FDefaultRowHeight});
        }
        y += FDefaultRowHeight;
    }
    if (y < client.bottom) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(TRect{0, y, client.right, client.bottom});
    }
}

void TCustomGrid::DrawCell(int, int, const TRect& ARect, TGridDrawState AState)
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(AState.Contains(gdFixed) ? FFixedColor : Color());
    canvas->FillRect(ARect);
    // The grid line along the cell's right and bottom edges.
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FillRect(TRect{ARect.right - 1, ARect.top, ARect.right, ARect.bottom});
    canvas->FillRect(TRect{ARect.left, ARect.bottom - 1, ARect.right, ARect.bottom});
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    inherited::DrawCell(ACol, ARow, ARect, AState);
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}
