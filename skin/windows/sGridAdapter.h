// The grid adapter's item: one hooked grid with its own skin state (control-type code 227) and its
// skinned scroll bars. Hooking the grid and painting it come with the grid adapter.
#pragma once

#include <memory>

#include "ClassesCollections.h"
#include "Grids.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsGridItem : public TCollectionItem {
    VCL_CLASS(TsGridItem, TCollectionItem)
public:
    explicit TsGridItem(TCollection* Collection);
    ~TsGridItem() override;

    TsCommonData* SkinData() const { return FSkinData.get(); }
    AnsiString CtrlName;
    TsScrollBar* VSBar = nullptr; // made on demand
    TsScrollBar* HSBar = nullptr;
    TCustomGrid* Ctrl = nullptr;  // the hooked grid, not owned
    // Set while the adapter itself moves a bar or the grid.
    Byte Scrolling = 0;

    void SetDisplayName(const AnsiString& Value) override;

protected:
    AnsiString GetDisplayName() const override { return CtrlName; }

private:
    std::unique_ptr<TsCommonData> FSkinData;
};
