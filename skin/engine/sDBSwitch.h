// What the grid adapter needs to know and do of a grid: whether it may be hooked, its border,
// its skinned vertical scroll bar, and its colours from the skin.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "sCommonData.h"

class TsGridItem;
struct TsScrollInfo;

// False for the data-aware grids ("TDBGRID", "TDBGRIDEH", "TWWDBGRID", class names without
// case), which are never hooked.
bool CanHook(TComponent* Component);
bool IsAGrid(TComponent* Component);
// A single border: 2 pixels with Ctl3D, else 1; no border: 0.
int GridBorderWidth(TComponent* Component);
// The vertical bar to the grid's top row (not while the item itself scrolls).
void UpdateDBScrolls(TsGridItem* Item);
// Max = RowCount - VisibleRowCount, Position = FixedRows, Range = RowCount, Page = VisibleRowCount.
void GetDBScrollInfo(TsGridItem* Item, TsScrollInfo& Info);
// The grid shows a vertical bar and has rows that do not fit.
bool VScrollVisible(TsGridItem* Item);
// The grid's top row to the vertical bar's position.
void OnDBScrollChange(TsGridItem* Item);
// Skinned: fixed cells in GLOBALINFO's colour, cells in its hot colour, text in the control's
// section's first hot font colour (nothing without GLOBALINFO). Otherwise the framework's look.
void UpdateColors(TControl* Control, TsCommonData* SkinData, bool Skinned);
