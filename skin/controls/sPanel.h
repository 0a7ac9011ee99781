// The skinned panel (section "PANEL") and the containers built on it: TsContainer, the drag bar
// that moves its form (section "DRAGBAR"), the grip, the square in the corner between two
// skinned scroll bars, and the panels of colour cells to pick a colour from. A panel paints its background and caption from the skin into its cache,
// which its children take their own backgrounds from, and passes the skin's commands on to them.
#pragma once

#include <memory>
#include <vector>

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

// Called after a panel has painted, with the canvas drawn on (the cache's while skinned).
using TPaintEvent = TMethod<void(TObject* Sender, TCanvas* Canvas)>;

class TsPanel : public TPanel {
    VCL_CLASS(TsPanel, TPanel)
public:
    explicit TsPanel(TComponent* AOwner);
    ~TsPanel() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TPaintEvent OnPaint;

    // The skinned picture into DC (0: the panel's canvas): the cache rebuilt when stale, copied
    // around the windowed children, the graphic children painted over it, then the windowed
    // children told that the panel is done. Nothing while not skinned or while updating.
    virtual void OurPaint(HDC DC);
    // The caption into R of the cache, one line centred vertically, aligned by Alignment.
    void WriteText(const TRect& R);

protected:
    // The framework's panel, then the skinned picture over it.
    void PaintWindow(HDC DC) override;

    // Background, border and caption of the normal look into the cache.
    void PaintCache();

private:
    // WM_PAINT while skinned, with the panel's canvas lent the DC.
    void SkinnedPaint(TMessage& Message);

    std::unique_ptr<TsCommonData> FCommonData;
};

// A panel under its own class name.
class TsContainer : public TsPanel {
    VCL_CLASS(TsContainer, TsPanel)
public:
    using TsPanel::TsPanel;
};

// A caption-like bar: a press of the left button on it moves DraggedControl as the system moves
// a window by its caption. Loaded without DraggedControl, it moves its form. Without a skin its
// colour is the active or the inactive caption's, as its form is active or not.
class TsDragBar : public TsPanel {
    VCL_CLASS(TsDragBar, TsPanel)
public:
    explicit TsDragBar(TComponent* AOwner);
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

    // The control a press moves (not owned; forgotten when it goes).
    TControl* DraggedControl() const { return FDraggedControl; }
    void SetDraggedControl(TControl* Value);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TControl* FDraggedControl = nullptr;
};

// The corner square between a host's two skinned bars (section "CHECKBOX", 20 x 20 until placed).
// With Transparent and a linked control it shows the linked control's cached image under it. It
// comes to the top each time it paints, above the bars it lies between.
class TsGrip : public TsPanel {
    VCL_CLASS(TsGrip, TsPanel)
public:
    explicit TsGrip(TComponent* AOwner);
    void OurPaint(HDC DC) override;

    // The control whose corner it covers (not owned).
    TWinControl* LinkedControl = nullptr;
    // Copy the linked control's image under the grip instead of painting a panel.
    bool Transparent = false;

protected:
    void Paint() override;

private:
    // The linked control's cached image under the grip into DC; false when it has none ready.
    bool CopyLinked(HDC DC);
    void ComeToTop();
};

// One cell of a colours panel: its place in the grid, its colour, its rectangle in the panel's
// client area, and whether it is the selected one.
struct TsColorCell {
    int Index = 0;
    TColor Color = clWhite;
    TRect R{};
    bool Selected = false;
};

// A grid of colour cells, ColCount x RowCount, one per line of Colors, whose first word is the
// colour in hexadecimal (blue, green, red: "0000FF" is red). A press picks the cell under it
// (ItemIndex, OnChange). The cells are drawn while a skin is active.
class TsColorsPanel : public TsPanel {
    VCL_CLASS(TsColorsPanel, TsPanel)
public:
    explicit TsColorsPanel(TComponent* AOwner);
    ~TsColorsPanel() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void OurPaint(HDC DC) override;

    TStrings* Colors() const { return FColors.get(); }
    void SetColors(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemWidth() const { return FItemWidth; }
    void SetItemWidth(int Value) { SetGridValue(FItemWidth, Value); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { SetGridValue(FItemHeight, Value); }
    int ItemMargin() const { return FItemMargin; }
    void SetItemMargin(int Value) { SetGridValue(FItemMargin, Value); }
    int ColCount() const { return FColCount; }
    void SetColCount(int Value) { SetGridValue(FColCount, Value); }
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value) { SetGridValue(FRowCount, Value); }
    TNotifyEvent OnChange;

    const std::vector<TsColorCell>& Cells() const { return FCells; }
    // The lines of Colors.
    int Count() const { return FColors->Count(); }
    // The selected cell's colour; white while none is.
    TColor ColorValue() const;
    // The cells made again from the grid's values and Colors, which gets "FFFFFF" for every cell
    // it has no line for.
    void GenerateColors();
    // The cell under P (each cell with the margin around it, the lower index first), -1 for none.
    int GetItemByCoord(const TPoint& P) const;
    void PaintColors(TCanvas* Canvas);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetGridValue(int& Field, int Value);
    // Cells that exist and have a line of Colors.
    int CellCount() const;
    bool IsCell(int Index) const { return Index >= 0 && Index < CellCount(); }
    // The frame around the selected cell, the focus frame outside it while focused.
    void PaintSelection(HDC DC);

    std::unique_ptr<TStringList> FColors;
    std::vector<TsColorCell> FCells;
    int FItemIndex = -1;
    int FItemWidth = 21;
    int FItemHeight = 21;
    int FItemMargin = 6;
    int FColCount = 5;
    int FRowCount = 2;
};

// A colours panel under its own class name.
class TsStdColorsPanel : public TsColorsPanel {
    VCL_CLASS(TsStdColorsPanel, TsColorsPanel)
public:
    using TsColorsPanel::TsColorsPanel;
};
