#include "Grids.h"

#include <algorithm>

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
    // A click is the current cell's move (a press on a cell and its release), not any release.
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
}

// --- Rows and columns ---------------------------------------------------------------------

void TCustomGrid::SetRowCount(int Value)
{
    FRowCount = std::max(Value, 0);
    FFixedRows = std::min(FFixedRows, std::max(FRowCount - 1, 0));
    FRow = std::clamp(FRow, FFixedRows, std::max(FRowCount - 1, FFixedRows));
    SetTopRow(FTopRow);
}

void TCustomGrid::SetColCount(int Value)
{
    FColCount = std::max(Value, 0);
    FColWidths.resize(static_cast<std::size_t>(FColCount), FDefaultColWidth);
    FFixedCols = std::min(FFixedCols, std::max(FColCount - 1, 0));
    FCol = std::clamp(FCol, FFixedCols, std::max(FColCount - 1, FFixedCols));
    SetLeftCol(FLeftCol);
}

void TCustomGrid::SetFixedRows(int Value)
{
    FFixedRows = std::clamp(Value, 0, std::max(FRowCount - 1, 0));
    FRow = std::max(FRow, FFixedRows);
    SetTopRow(FTopRow);
}

void TCustomGrid::SetFixedCols(int Value)
{
    FFixedCols = std::clamp(Value, 0, std::max(FColCount - 1, 0));
    FCol = std::max(FCol, FFixedCols);
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
    while (col - 1 >= FFixedCols && used + ColWidths(col - 1) <= room) {
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

// --- The current cell ------------------------------------------------------------------------

int TCustomGrid::ColLeft(int ACol)
{
    if (ACol < 0 || ACol >= FColCount || (ACol >= FFixedCols && ACol < FLeftCol))
        return -1;
    int x = 0;
    for (int c = 0; c < std::min(ACol, FFixedCols); ++c)
        x += ColWidths(c);
    for (int c = FLeftCol; c < ACol; ++c)
        x += ColWidths(c);
    return x;
}

int TCustomGrid::RowTop(int ARow)
{
    if (ARow < 0 || ARow >= FRowCount || (ARow >= FFixedRows && ARow < FTopRow))
        return -1;
    const int rows = ARow < FFixedRows ? ARow : FFixedRows + ARow - FTopRow;
    return rows * FDefaultRowHeight;
}

TRect TCustomGrid::CellRect(int ACol, int ARow)
{
    const int x = ColLeft(ACol), y = RowTop(ARow);
    const TRect client = ClientRect();
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom)
        return TRect{};
    return TRect{x, y, x + ColWidths(ACol), y + FDefaultRowHeight};
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow)
{
    ACol = ARow = -1;
    const TRect client = ClientRect();
    if (X < 0 || Y < 0 || X >= client.right || Y >= client.bottom)
        return;
    const int fixedHeight = FixedHeight();
    const int row = Y < fixedHeight ? Y / FDefaultRowHeight : FTopRow + (Y - fixedHeight) / FDefaultRowHeight;
    int x = 0, col = -1;
    for (int c = 0; c < FColCount && col < 0; ++c) {
        if (c >= FFixedCols && c < FLeftCol)
            continue;
        if (X < x + ColWidths(c))
            col = c;
        x += ColWidths(c);
    }
    if (col >= 0 && row < FRowCount) {
        ACol = col;
        ARow = row;
    }
}

void TCustomGrid::InvalidateCell(int ACol, int ARow)
{
    const TRect r = CellRect(ACol, ARow);
    if (HandleAllocated() && r.right > r.left)
        InvalidateRect(Handle(), &r, FALSE);
}

bool TCustomGrid::SelectCell(int ACol, int ARow)
{
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TCustomGrid::ClampInView()
{
    if (FRow >= FFixedRows && FRow < FTopRow)
        SetTopRow(FRow);
    else if (const int shown = std::max(VisibleRowCount(), 1); FRow >= FTopRow + shown)
        SetTopRow(FRow - shown + 1);
    if (FCol >= FFixedCols && FCol < FLeftCol)
        SetLeftCol(FCol);
    else if (const int shown = std::max(VisibleColCount(), 1); FCol >= FLeftCol + shown)
        SetLeftCol(FCol - shown + 1);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool Show)
{
    if (ACol < FFixedCols || ARow < FFixedRows || ACol >= FColCount || ARow >= FRowCount)
        return;
    if (!SelectCell(ACol, ARow))
        return;
    InvalidateCell(FCol, FRow);
    FCol = ACol;
    FRow = ARow;
    if (Show)
        ClampInView();
    InvalidateCell(FCol, FRow);
}

void TCustomGrid::FocusCell(int ACol, int ARow)
{
    MoveColRow(ACol, ARow, true);
    Click();
}

void TCustomGrid::SetCol(int Value)
{
    if (Value != FCol)
        FocusCell(Value, FRow);
}

void TCustomGrid::SetRow(int Value)
{
    if (Value != FRow)
        FocusCell(FCol, Value);
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift)
{
    inherited::KeyDown(Key, Shift);
    const bool ctrl = Shift.Contains(ssCtrl);
    const int page = std::max(VisibleRowCount(), 1);
    int col = FCol, row = FRow;
    switch (Key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME: (ctrl ? row : col) = 0; break;
    case VK_END: (ctrl ? row : col) = std::max(ctrl ? FRowCount : FColCount, 1) - 1; break;
    default: return;
    }
    col = std::clamp(col, FFixedCols, std::max(FColCount - 1, FFixedCols));
    row = std::clamp(row, FFixedRows, std::max(FRowCount - 1, FFixedRows));
    if (col != FCol || row != FRow)
        FocusCell(col, row);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    int col = -1, row = -1;
    MouseToCell(X, Y, col, row);
    if (Button == mbLeft && Shift.Contains(ssDouble)) {
        DblClick();
    } else if (Button == mbLeft && col >= FFixedCols && row >= FFixedRows) {
        if (CanFocus() && !Focused())
            SetFocus();
        MoveColRow(col, row, true);
        FSelecting = true;
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool selecting = FSelecting && Button == mbLeft;
    if (selecting)
        FSelecting = false;
    inherited::MouseUp(Button, Shift, X, Y);
    if (selecting)
        Click();
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

void TCustomGrid::SetOptions(TGridOptions Value)
{
    FOptions = Value;
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
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        inherited::Dispatch(Message);
        InvalidateCell(FCol, FRow); // the current cell's look follows the focus
        return;
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
    const bool focused = Focused();
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
            const bool fixed = row < FFixedRows || col < FFixedCols;
            TGridDrawState state;
            if (fixed)
                state.Include(gdFixed);
            else if (col == FCol && row == FRow)
                state = focused ? TGridDrawState{gdSelected, gdFocused} : TGridDrawState{gdSelected};
            if (DefaultDrawing) {
                const bool highlight = state.Contains(gdSelected) &&
                                       (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected));
                canvas->Brush()->SetColor(highlight ? clHighlight : fixed ? FFixedColor : Color());
                canvas->FillRect(cell);
                canvas->Font()->Assign(Font());
                if (highlight)
                    canvas->Font()->SetColor(clHighlightText);
                DrawLines(canvas, cell, fixed);
            }
            DrawCell(col, row, cell, state);
            if (DefaultDrawing && state.Contains(gdFocused) && !FOptions.Contains(goDrawFocusSelected))
                DrawFocusRect(canvas->Handle(), &cell);
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

void TCustomGrid::DrawLines(TCanvas* Canvas, const TRect& Cell, bool Fixed)
{
    // The grid lines along the cell's right and bottom edges.
    Canvas->Brush()->SetColor(clBtnShadow);
    if (FOptions.Contains(Fixed ? goFixedVertLine : goVertLine))
        Canvas->FillRect(TRect{Cell.right - 1, Cell.top, Cell.right, Cell.bottom});
    if (FOptions.Contains(Fixed ? goFixedHorzLine : goHorzLine))
        Canvas->FillRect(TRect{Cell.left, Cell.bottom - 1, Cell.right, Cell.bottom});
    Canvas->Brush()->SetColor(Fixed ? FFixedColor : Color());
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    inherited::DrawCell(ACol, ARow, ARect, AState);
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}
