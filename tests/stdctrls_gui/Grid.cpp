// The draw grid's current cell: cell rectangles and hit tests with fixed and scrolled cells, the
// keys and the mouse moving it where SelectCell allows, Click, the states it is drawn in; and the
// clipboard's text.
#include <map>

#include "Clipbrd.h"
#include "FormTest.h"
#include "Grids.h"

using namespace testkit;

namespace {

class GridTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(100, 100, 400, 300);
        grid = Create<TDrawGrid>(form);
        grid->SetScrollBars(ssNone);
        grid->SetBorderStyle(bsNone);
        grid->SetBounds(10, 10, 250, 120); // five columns of 50, six rows of 20
        grid->SetColCount(5);
        grid->SetRowCount(10);
        grid->SetDefaultColWidth(50);
        grid->SetDefaultRowHeight(20);
        grid->OnClick = [this](TObject*) { ++clicks; };
        grid->OnSelectCell = [this](TObject*, int ACol, int ARow, bool& Can) { Can = !(ACol == 3 && ARow == 3); };
        grid->SetParent(form);
        form->Show();
        grid->SetFocus();
        WaitIdle();
    }
    void Key(UINT Vk, bool Ctrl = false)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = Ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        PostMessageA(grid->Handle(), WM_KEYDOWN, Vk, 1);
        Application->ProcessMessages();
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
    }
    std::pair<int, int> Current() const { return {grid->Col(), grid->Row()}; }

    TForm* form = nullptr;
    TDrawGrid* grid = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(GridTest, CellRectanglesAndHitTestsCountFixedAndScrolledCells)
{
    EXPECT_EQ(grid->CellRect(2, 2), (TRect{100, 40, 150, 60}));
    EXPECT_EQ(grid->CellRect(0, 0), (TRect{0, 0, 50, 20}));
    int col = 0, row = 0;
    grid->MouseToCell(120, 45, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 2));
    grid->MouseToCell(300, 45, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));
    // A cell's last pixel is its own and the next one its neighbour's, up to the client's edge.
    const struct {
        int x, y, col, row;
    } edges[] = {{0, 0, 0, 0},     {49, 19, 0, 0},   {50, 20, 1, 1},    {149, 39, 2, 1},
                 {150, 40, 3, 2}, {249, 119, 4, 5}, {250, 45, -1, -1}, {120, 120, -1, -1}};
    for (const auto& e : edges) {
        grid->MouseToCell(e.x, e.y, col, row);
        EXPECT_EQ(std::make_pair(col, row), std::make_pair(e.col, e.row)) << e.x << "," << e.y;
    }
    grid->SetTopRow(3);
    EXPECT_EQ(grid->CellRect(2, 2), TRect{}) << "scrolled away";
    EXPECT_EQ(grid->CellRect(2, 3), (TRect{100, 20, 150, 40})) << "right under the fixed row";
    grid->MouseToCell(120, 25, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 3));
    grid->MouseToCell(120, 5, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 0));
    grid->SetLeftCol(3);
    EXPECT_EQ(grid->LeftCol(), 1) << "every column fits: nothing to scroll";
}

TEST_F(GridTest, KeysMoveTheCurrentCellWithinTheScrollableCellsWhereSelectCellAllows)
{
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    const struct {
        UINT key;
        bool ctrl;
        std::pair<int, int> to;
    } steps[] = {
        {VK_UP, false, {1, 1}},    // not into the fixed row
        {VK_LEFT, false, {1, 1}},  // nor the fixed column
        {VK_RIGHT, false, {2, 1}}, {VK_DOWN, false, {2, 2}}, {VK_RIGHT, false, {3, 2}},
        {VK_DOWN, false, {3, 2}},  // (3, 3) is refused
        {VK_END, false, {4, 2}},   {VK_HOME, false, {1, 2}}, {VK_END, true, {1, 9}},
        {VK_HOME, true, {1, 1}},   {VK_NEXT, false, {1, 6}},
    };
    for (const auto& s : steps) {
        Key(s.key, s.ctrl);
        EXPECT_EQ(Current(), s.to) << "key " << s.key;
    }
    EXPECT_EQ(grid->TopRow(), 2) << "scrolled to show the current cell";
    EXPECT_EQ(clicks, 9) << "a Click for each step that tried to move (also the refused one)";
    grid->SetCol(4);
    EXPECT_EQ(Current(), std::make_pair(4, 6));
    EXPECT_EQ(clicks, 10);
}

TEST_F(GridTest, APressMovesTheCurrentCellItsReleaseClicksAndADoublePressDoubleClicks)
{
    auto press = [&](int X, int Y) {
        PostMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        PostMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
        Application->ProcessMessages();
    };
    press(125, 45);
    EXPECT_EQ(Current(), std::make_pair(2, 2));
    EXPECT_EQ(clicks, 1);
    press(25, 45); // a fixed cell
    press(175, 65); // a refused cell
    EXPECT_EQ(Current(), std::make_pair(2, 2));
    press(150, 40); // the first pixel of (3, 2)
    EXPECT_EQ(Current(), std::make_pair(3, 2));
    press(149, 39); // the last pixel of (2, 1)
    EXPECT_EQ(Current(), std::make_pair(2, 1));
    int doubles = 0;
    grid->OnDblClick = [&](TObject*) { ++doubles; };
    PostMessageA(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(125, 45));
    Application->ProcessMessages();
    EXPECT_EQ(doubles, 1);
}

TEST_F(GridTest, TheCurrentCellIsDrawnSelectedAndFocusedWhileTheGridHasTheFocus)
{
    std::map<std::pair<int, int>, TGridDrawState> states;
    grid->OnDrawCell = [&](TObject*, int ACol, int ARow, TRect, TGridDrawState State) { states[{ACol, ARow}] = State; };
    auto at = [&](int Col, int Row) { return states[std::make_pair(Col, Row)]; };
    grid->Repaint();
    EXPECT_EQ(at(1, 1), (TGridDrawState{gdSelected, gdFocused}));
    EXPECT_EQ(at(2, 1), TGridDrawState{});
    EXPECT_EQ(at(0, 1), TGridDrawState{gdFixed});
    auto* other = Create<TEdit>(form);
    other->SetParent(form);
    other->SetFocus();
    grid->Repaint();
    EXPECT_EQ(at(1, 1), TGridDrawState{gdSelected});
}

TEST(Clipboard, ItsTextGoesAndComesBackAndItCanBeEmptied)
{
    Clipboard()->SetAsText("Дата 12.09.2024");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "Дата 12.09.2024");
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "");
}
