// The installed font families with a picture of each family's kind: the list (TFontStrList) that
// an enumeration fills through the filters and the validation event of a control, and the list box
// and combo box that show it (each entry in its own font, unless DrawFont is off).
#pragma once

#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "Types.h"
#include "sComboBox.h"
#include "sCustomListBox.h"

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
    // A name after the last one (the system hands the families over in order) is placed with
    // one comparison.
    bool Find(const AnsiString& S, int& Index) const override;
};

using EValidateFont = TMethod<void(TObject* Sender, TFontClass* Font, bool& Accept)>;

// What one enumeration fills and by which rules: the control that asks (the validation event's
// sender), its filters and its validation event.
struct TFontEnumeration {
    TFontStrList* List = nullptr;
    TObject* Sender = nullptr;
    TFilterOptions Options{ShowTrueType, ShowPostScript, ShowRaster};
    EValidateFont OnValidateFont;
    // The family handed over last (the system repeats a family once per character set).
    char LastFace[LF_FACESIZE]{};
    DWORD LastType = 0;
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

// A family's picture drawn keyed: its white pixels leave Bmp as it is (the skinned face).
void DrawFontTypeKeyed(TBitmap* Bmp, const TRect& R, FontTypes Type);

// What both font family lists hold: the families with their objects, the filters, the validation
// event, and whether items are drawn in their own family's font (else the control's).
class TsFontFamilies {
public:
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    bool DrawFont() const { return FDrawFont; }
    TFontStrList* FontList() const { return FFontList.get(); }
    EValidateFont OnValidateFont;

protected:
    // The families enumerated again for Sender (the validation event's sender).
    void Enumerate(TObject* Sender);
    // Whether the value is new (and then taken).
    bool ChangeFilterOptions(TFilterOptions Value);
    bool ChangeDrawFont(bool Value);

private:
    std::unique_ptr<TFontStrList> FFontList = std::make_unique<TFontStrList>();
    TFilterOptions FFilterOptions{ShowTrueType, ShowPostScript, ShowRaster};
    bool FDrawFont = true;
};

// The font family lists: a list box and a combo box that fill themselves with the screen's
// families and fill their items again whenever their window is made.
class TsFontListBox : public TsCustomListBox, public TsFontFamilies {
    VCL_CLASS(TsFontListBox, TsCustomListBox)
public:
    explicit TsFontListBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    void SetFilterOptions(TFilterOptions Value);
    void SetDrawFont(bool Value);
    // The families enumerated again and shown.
    void ReBuild();
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

protected:
    void CreateWnd() override;
};

class TsFontComboBox : public TsCustomComboBox, public TsFontFamilies {
    VCL_CLASS(TsFontComboBox, TsCustomComboBox)
public:
    explicit TsFontComboBox(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    void SetFilterOptions(TFilterOptions Value);
    void SetDrawFont(bool Value);
    void ReBuild();
    // The skinned face of the selected family into the cache: its picture and its name.
    void PaintText() override;

protected:
    void CreateWnd() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

private:
    // The face onto a bitmap holding the cached picture of the control.
    void PaintFace(TBitmap* Bmp);
};
