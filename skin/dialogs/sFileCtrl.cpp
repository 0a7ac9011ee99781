#include "sFileCtrl.h"

std::vector<TFilterEntry> ParseFilter(const AnsiString& Filter)
{
    std::vector<TFilterEntry> entries;
    AnsiString rest = Filter;
    for (size_t bar = rest.find('|'); bar != AnsiString::npos; bar = rest.find('|')) {
        TFilterEntry entry;
        entry.Description = rest.substr(0, bar);
        rest.erase(0, bar + 1);
        bar = rest.find('|');
        entry.Mask = rest.substr(0, bar);
        rest.erase(0, bar == AnsiString::npos ? rest.size() : bar + 1);
        entries.push_back(std::move(entry));
    }
    return entries;
}

TsFilterComboBox::TsFilterComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner), FFilter("All files (*.*)|*.*")
{
    SetStyle(csDropDownList);
    BuildList();
}

void TsFilterComboBox::CreateWnd()
{
    inherited::CreateWnd();
    // A window made again keeps the entry chosen in the old one.
    const int chosen = ItemIndex();
    BuildList();
    if (chosen > 0 && chosen < Items()->Count())
        SetItemIndex(chosen);
}

void TsFilterComboBox::SetFilter(const AnsiString& Value)
{
    if (Value == FFilter)
        return;
    FFilter = Value;
    // The items are kept without a window too.
    BuildList();
    Change();
}

void TsFilterComboBox::BuildList()
{
    Items()->Clear();
    FMasks.Clear();
    for (const TFilterEntry& entry : ParseFilter(FFilter)) {
        Items()->Add(entry.Description);
        FMasks.Add(entry.Mask);
    }
    SetItemIndex(0);
}

AnsiString TsFilterComboBox::GetMask()
{
    if (ItemIndex() < 0)
        SetItemIndex(Items()->Count() - 1);
    const int i = ItemIndex();
    return i >= 0 && i < FMasks.Count() ? FMasks[i] : AnsiString("*.*");
}

bool TsFilterComboBox::FullPaint() { return Style() == csDropDownList || !(SkinData()->Focused || Focused()); }

void TsFilterComboBox::Click()
{
    inherited::Click();
    Change();
}
