// The installed font families with a picture of each family's kind: the list (TFontStrList) that
// an enumeration fills through the filters and the validation event of a control, and the list box
// and combo box that show it (each entry in its own font, unless DrawFont is off).
#pragma once

#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "Types.h"

enum FontTypes { PS, TTF, RASTER, UNKNOWN };
enum TFilterOption { ShowTrueType, ShowPostScript, ShowRaster };
using TFilterOptions = TSet<TFilterOption>;

// One font family: its face name and kind.
class TFontClass : public TObject {
    VCL_CLASS(TFontClass, TObject)
public:
    TFontClass(const AnsiString& Name, FontTypes Type);
    ~TFontClass() override;
    // The font objects that exist now.
    static int LiveCount();

    AnsiString FontName;
    FontTypes FntType = UNKNOWN;
};

// The families by name (sorted, each once), owning their TFontClass objects.
class TFontStrList : public TStringList {
    VCL_CLASS(TFontStrList, TStringList)
public:
    TFontStrList();
    ~TFontStrList() override;
    TFontClass* Font(int Index) const { return static_cast<TFontClass*>(Objects(Index)); }
};

using EValidateFont = TMethod<void(TObject* Sender, TFontClass* Font, bool& Accept)>;

// What one enumeration fills and by which rules: the control that asks (the validation event's
// sender), its filters and its validation event.
struct TFontEnumeration {
    TFontStrList* List = nullptr;
    TObject* Sender = nullptr;
    TFilterOptions Options{ShowTrueType, ShowPostScript, ShowRaster};
    EValidateFont OnValidateFont;
};

// The enumeration's callback for one family (Data: the TFontEnumeration): the kind from the font
// type (raster 1, device 2, TrueType 4, anything else unknown), the validation event, then the
// filter of the kind (unknown kinds pass every filter); a family taken goes into the list, any
// other is freed. Always answers 1 (go on).
int CALLBACK FontEnumProc(const LOGFONTA* LogFont, const TEXTMETRICA* Metric, DWORD FontType, LPARAM Data);
// Empties the list and fills it with the screen's font families.
void EnumerateFonts(TFontEnumeration& Enumeration);

// The picture of a kind: 16 x 16 over white, which the lists replace by the item's background.
TBitmap* FontTypeBitmap(FontTypes Type);
// That picture with its white made Background, stretched into R of DC.
void DrawFontType(HDC DC, const TRect& R, FontTypes Type, TColor Background);
