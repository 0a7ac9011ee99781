#include "sDBSwitch.h"

#include "Grids.h"
#include "SysUtils.h"
#include "sGridAdapter.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

bool CanHook(TComponent* Component)
{
    const AnsiString name = Component ? UpperCase(Component->ClassName()) : AnsiString();
    return name != "TDBGRID" && name != "TDBGRIDEH" && name != "TWWDBGRID";
}

bool IsAGrid(TComponent* Component)
{
    return dynamic_cast<TCustomGrid*>(Component) != nullptr;
}

int GridBorderWidth(TComponent* Component)
{
    auto* grid = dynamic_cast<TCustomGrid*>(Component);
    if (!grid || grid->BorderStyle() != bsSingle)
        return 0;
    return grid->Ctl3D() ? 2 : 1;
}

void UpdateDBScrolls(TsGridItem* Item)
{
    if (!Item || Item->Scrolling || !Item->VSBar || !Item->Ctrl)
        return;
    Item->Scrolling = 1;
    Item->VSBar->SetPosition(Item->Ctrl->TopRow());
    Item->Scrolling = 0;
}

void GetDBScrollInfo(TsGridItem* Item, TsScrollInfo& Info)
{
    TCustomGrid* g = Item ? Item->Ctrl : nullptr;
    if (!g)
        return;
    Info.Max = g->RowCount() - g->VisibleRowCount();
    Info.Position = g->FixedRows();
    Info.Range = g->RowCount();
    Info.Page = g->VisibleRowCount();
}

bool VScrollVisible(TsGridItem* Item)
{
    TCustomGrid* g = Item ? Item->Ctrl : nullptr;
    return g && g->Visible() && (g->ScrollBars() == ssVertical || g->ScrollBars() == ssBoth) &&
           g->RowCount() - g->VisibleRowCount() - g->FixedRows() > 0;
}

void OnDBScrollChange(TsGridItem* Item)
{
    if (Item && Item->Ctrl && Item->VSBar && Item->Ctrl->Visible())
        Item->Ctrl->SetTopRow(Item->VSBar->Position());
}

void UpdateColors(TControl* Control, TsCommonData* SkinData, bool Skinned)
{
    auto* grid = dynamic_cast<TCustomGrid*>(Control);
    if (!grid || grid->ComponentState().Contains(csDestroying))
        return;
    if (Skinned && sSkinData->Active) {
        const int global = GetSkinIndex("GLOBALINFO");
        if (global < 0)
            return;
        const TsGeneralData& g = gd[static_cast<std::size_t>(global)];
        if (grid->FixedColor() != g.Color)
            grid->SetFixedColor(g.Color);
        if (grid->Color() != g.HotColor)
            grid->SetColor(g.HotColor);
        if (SkinData && IsValidSkinIndex(SkinData->SkinIndex))
            grid->Font()->SetColor(gd[static_cast<std::size_t>(SkinData->SkinIndex)].HotFontColor[0]);
        return;
    }
    if (grid->Parent() && grid->FixedColor() != grid->Parent()->Color())
        grid->SetFixedColor(grid->Parent()->Color());
    grid->SetParentFont(true);
    grid->SetColor(clWindow);
}
