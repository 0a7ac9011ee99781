// File controls: the filter combo box, a drop-down list of the descriptions of a file dialog's
// filter ("description|mask|description|mask...") that answers the mask of the chosen entry.
#pragma once

#include <vector>

#include "sComboBox.h"

// One entry of a filter: what the list shows and the mask it stands for (several patterns
// separated by ";" are one mask).
struct TFilterEntry {
    AnsiString Description;
    AnsiString Mask;
    bool operator==(const TFilterEntry& Other) const = default;
};

// The entries of a filter, pair by pair; a description without a "|" after it is no entry.
std::vector<TFilterEntry> ParseFilter(const AnsiString& Filter);

class TsFilterComboBox : public TsCustomComboBox {
    VCL_CLASS(TsFilterComboBox, TsCustomComboBox)
public:
    explicit TsFilterComboBox(TComponent* AOwner);

    const AnsiString& Filter() const { return FFilter; }
    // A new filter rebuilds the list and counts as a change.
    void SetFilter(const AnsiString& Value);
    // The mask of the chosen entry; with none chosen the last entry is chosen first; "*.*" without
    // entries.
    AnsiString GetMask();
    // Items and masks anew from the filter; the first entry chosen.
    void BuildList();
    // A drop-down list, or a box without the focus, is painted whole.
    bool FullPaint() override;
    void Click() override;

protected:
    void CreateWnd() override;

private:
    AnsiString FFilter;
    TStringList FMasks;
};
