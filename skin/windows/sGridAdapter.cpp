#include "sGridAdapter.h"

TsGridItem::TsGridItem(TCollection* Collection)
    : TCollectionItem(Collection), FSkinData(std::make_unique<TsCommonData>(this, true))
{
    FSkinData->COC = 227;
}

TsGridItem::~TsGridItem() = default;

void TsGridItem::SetDisplayName(const AnsiString& Value)
{
    CtrlName = Value;
    inherited::SetDisplayName(Value);
}
