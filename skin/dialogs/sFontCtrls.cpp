#include "sFontCtrls.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "Controls.h"
#include "sGraphUtils.h"
#include "sPixelRows.h"
#include "sVclUtils.h"

namespace {

int gFontClasses = 0;

} // namespace

// --- Families ------------------------------------------------------------------------------------

TFontClass::TFontClass(const AnsiString& Name, FontTypes Type) : FontName(Name), FntType(Type) { ++gFontClasses; }

TFontClass::~TFontClass() { --gFontClasses; }

int TFontClass::LiveCount() { return gFontClasses; }

TFontStrList::TFontStrList() : TStringList(true) { SetSorted(true); }

TFontStrList::~TFontStrList() { Clear(); }

bool TFontStrList::Find(const AnsiString& S, int& Index) const
{
    const int n = Count();
    if (n == 0 || CompareStrings(Get(n - 1), S) < 0) {
        Index = n;
        return false;
    }
    return inherited::Find(S, Index);
}

int CALLBACK FontEnumProc(const LOGFONTA* LogFont, const TEXTMETRICA*, DWORD FontType, LPARAM Data)
{
    auto& e = *reinterpret_cast<TFontEnumeration*>(Data);
    const FontTypes type = FontType == RASTER_FONTTYPE     ? RASTER
                           : FontType == DEVICE_FONTTYPE   ? PS
                           : FontType == TRUETYPE_FONTTYPE ? TTF
                                                           : UNKNOWN;
    const bool shown = type == TTF      ? e.Options.Contains(ShowTrueType)
                       : type == PS     ? e.Options.Contains(ShowPostScript)
                       : type == RASTER ? e.Options.Contains(ShowRaster)
                                        : true;
    const char* face = LogFont->lfFaceName;
    // The system hands each family over once per character set, one after the other: without a
    // validation event to hear it, a family that would not be listed is not made at all.
    const bool again = FontType == e.LastType && std::strncmp(face, e.LastFace, LF_FACESIZE) == 0;
    std::memcpy(e.LastFace, face, LF_FACESIZE);
    e.LastType = FontType;
    if (!e.OnValidateFont && (again || !shown || !e.List))
        return 1;
    const AnsiString name(face, strnlen(face, LF_FACESIZE));
    int at = 0;
    if (!e.OnValidateFont && e.List->Find(name, at))
        return 1;
    auto font = std::make_unique<TFontClass>(name, type);
    bool accept = true;
    try {
        if (e.OnValidateFont)
            e.OnValidateFont(e.Sender, font.get(), accept);
        if (accept && shown && e.List) {
            const int i = e.List->AddObject(font->FontName, font.get());
            // A name listed already keeps its first family.
            if (e.List->Objects(i) == font.get())
                font.release();
        }
    } catch (...) {
        // Nothing may unwind through the system's enumeration.
        HandleCurrentException(e.Sender);
    }
    return 1;
}

void EnumerateFonts(TFontEnumeration& Enumeration)
{
    if (Enumeration.List) {
        // Room for as many families as the last time.
        const int last = Enumeration.List->Count();
        Enumeration.List->Clear();
        Enumeration.List->SetCapacity(last);
    }
    Enumeration.LastFace[0] = 0;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(&FontEnumProc),
                      reinterpret_cast<LPARAM>(&Enumeration));
    ReleaseDC(nullptr, dc);
}

// --- Pictures of the kinds -----------------------------------------------------------------------

TBitmap* FontTypeBitmap(FontTypes Type)
{
    static const auto bitmaps = [] {
        std::array<std::unique_ptr<TBitmap>, 4> b;
        const char* const names[4] = {"PS", "TTF", "RASTER", "UNKNOWN"};
        for (int i = 0; i < 4; ++i) {
            b[i] = std::make_unique<TBitmap>();
            try {
                b[i]->LoadFromResourceName(GetModuleHandleA(nullptr), names[i]);
            } catch (...) {
                b[i]->SetSize(16, 16); // a program without the pictures shows none
            }
            b[i]->SetPixelFormat(pf24bit);
        }
        return b;
    }();
    return bitmaps[static_cast<std::size_t>(Type)].get();
}

void DrawFontType(HDC DC, const TRect& R, FontTypes Type, TColor Background)
{
    TBitmap glyph;
    glyph.Assign(FontTypeBitmap(Type));
    const TPixelView view = TPixelView::Of(&glyph);
    const TColor bg = ColorToRGB(Background);
    const Byte pixel[3] = {Byte(bg >> 16), Byte(bg >> 8), Byte(bg)};
    for (int y = 0; y < view.Height; ++y) {
        Byte* p = view.Row(y);
        for (int x = 0; x < view.Width; ++x, p += 3)
            if (PixelRGB(p) == 0xFFFFFF)
                std::copy_n(pixel, 3, p);
    }
    const int old = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, glyph.Canvas()->Handle(), 0, 0, glyph.Width(),
               glyph.Height(), SRCCOPY);
    SetStretchBltMode(DC, old);
}

void DrawFontTypeKeyed(TBitmap* Bmp, const TRect& R, FontTypes Type)
{
    TBitmap* glyph = FontTypeBitmap(Type);
    const TPixelView s = TPixelView::Of(glyph), d = TPixelView::Of(Bmp);
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (s.Empty() || d.Empty() || w <= 0 || h <= 0)
        return;
    for (int y = std::max<int>(R.top, 0); y < std::min<int>(R.bottom, d.Height); ++y) {
        const Byte* row = s.Row((y - R.top) * s.Height / h);
        for (int x = std::max<int>(R.left, 0); x < std::min<int>(R.right, d.Width); ++x) {
            const Byte* p = row + 3 * ((x - R.left) * s.Width / w);
            if (PixelRGB(p) != 0xFFFFFF)
                std::copy_n(p, 3, d.At(x, y));
        }
    }
}

namespace {

// The height of a text in a font, as a screen context measures it.
int TextHeightOf(TFont* Font, const char* Text)
{
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, Font->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, Text, static_cast<int>(std::strlen(Text)), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cy;
}

// The family of an item (null for an index without one).
TFontClass* FamilyOf(TStrings* Items, int Index)
{
    return Index >= 0 && Index < Items->Count() ? static_cast<TFontClass*>(Items->Objects(Index)) : nullptr;
}

// One item of a font list onto Canvas: the background, the family's picture in a square of the
// item's height at the left, the name TextDx after it (in the family's own font with DrawFont).
void DrawFamily(TCanvas* Canvas, TStrings* Items, int Index, const TRect& Rect, TColor Background, bool DrawFont,
                int TextDx)
{
    Canvas->Brush()->SetColor(Background);
    Canvas->FillRect(Rect);
    TFontClass* family = FamilyOf(Items, Index);
    if (!family)
        return;
    const int side = Rect.bottom - Rect.top;
    DrawFontType(Canvas->Handle(), TRect{Rect.left, Rect.top, Rect.left + side, Rect.bottom}, family->FntType,
                 Background);
    if (DrawFont)
        Canvas->Font()->SetName(family->FontName);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextOut(Rect.left + side + TextDx, Rect.top + 1, Items->Get(Index));
    Canvas->Brush()->SetStyle(bsSolid);
}

} // namespace

// --- The lists ------------------------------------------------------------------------------------

void TsFontFamilies::Enumerate(TObject* Sender)
{
    TFontEnumeration e{FFontList.get(), Sender, FFilterOptions, OnValidateFont};
    EnumerateFonts(e);
}

bool TsFontFamilies::ChangeFilterOptions(TFilterOptions Value)
{
    const bool changed = Value != FFilterOptions;
    FFilterOptions = Value;
    return changed;
}

bool TsFontFamilies::ChangeDrawFont(bool Value)
{
    const bool changed = Value != FDrawFont;
    FDrawFont = Value;
    return changed;
}

TsFontListBox::TsFontListBox(TComponent* AOwner) : TsCustomListBox(AOwner)
{
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(8);
    Font()->SetStyle(Font()->Style() - TFontStyles{fsBold});
    SetSorted(true);
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(16);
    Enumerate(this);
}

void TsFontListBox::CreateWnd()
{
    inherited::CreateWnd();
    Items()->Assign(FontList());
}

void TsFontListBox::ReBuild()
{
    Enumerate(this);
    Items()->Assign(FontList());
}

void TsFontListBox::SetFilterOptions(TFilterOptions Value)
{
    if (ChangeFilterOptions(Value))
        ReBuild();
}

void TsFontListBox::SetDrawFont(bool Value)
{
    if (ChangeDrawFont(Value))
        Invalidate();
}

void TsFontListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    DrawFamily(Canvas(), Items(), Index, Rect, State.Contains(odSelected) ? clHighlight : Color(), DrawFont(), 2);
}

void TsFontListBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_FONTCHANGED) {
        Canvas()->SetFont(Font());
        SetItemHeight(TextHeightOf(Font(), " "));
    }
    inherited::Dispatch(Message);
}

// --- The combo box -------------------------------------------------------------------------------

TsFontComboBox::TsFontComboBox(TComponent* AOwner) : TsCustomComboBox(AOwner)
{
    SetSorted(true);
    SetStyle(csOwnerDrawFixed);
    SetItemHeight(16);
    SetDropDownCount(16);
    Enumerate(this);
}

void TsFontComboBox::CreateWnd()
{
    inherited::CreateWnd();
    Items()->Assign(FontList());
}

void TsFontComboBox::ReBuild()
{
    Enumerate(this);
    Items()->Assign(FontList());
}

void TsFontComboBox::SetFilterOptions(TFilterOptions Value)
{
    if (ChangeFilterOptions(Value))
        ReBuild();
}

void TsFontComboBox::SetDrawFont(bool Value)
{
    if (ChangeDrawFont(Value))
        Invalidate();
}

void TsFontComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TsCommonData* sd = SkinData();
    if (State.Contains(odComboBoxEdit) && sd->Skinned() && !State.Contains(odFocused)) {
        // The skinned face over the control's cached picture.
        TBitmap face;
        face.Assign(sd->FCacheBmp.get());
        PaintFace(&face);
        BitBlt(Canvas()->Handle(), Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
               face.Canvas()->Handle(), Rect.left, Rect.top, SRCCOPY);
        return;
    }
    const bool selected = State.Contains(odSelected);
    Canvas()->SetFont(Font());
    if (selected)
        Canvas()->Font()->SetColor(clHighlightText);
    DrawFamily(Canvas(), Items(), Index, Rect, ColorToRGB(selected ? clHighlight : Color()), DrawFont(), 1);
}

void TsFontComboBox::PaintText() { PaintFace(SkinData()->FCacheBmp.get()); }

void TsFontComboBox::PaintFace(TBitmap* Bmp)
{
    TFontClass* family = FamilyOf(Items(), ItemIndex());
    if (!family)
        return;
    TRect r{3, 3, Width() - 3 - (ButtonRect().right - ButtonRect().left), Height() - 3};
    const int side = r.bottom - r.top;
    DrawFontTypeKeyed(Bmp, TRect{r.left, r.top, r.left + side, r.bottom}, family->FntType);
    r.left += side + 2;
    TCanvas* canvas = Bmp->Canvas();
    canvas->Font()->Assign(Font());
    if (DrawFont())
        canvas->Font()->SetName(family->FontName);
    WriteTextEx(canvas, Items()->Get(ItemIndex()).c_str(), true, r, GetStringFlags(this, Alignment()) | 0x830,
                SkinData(), ControlIsActive(SkinData()));
}

void TsFontComboBox::Dispatch(TMessage& Message)
{
    if (Message.Msg != CM_FONTCHANGED || ComponentState().Contains(csDestroying)) {
        inherited::Dispatch(Message);
        return;
    }
    if (!HandleAllocated() && !Parent() && !ParentWindow()) {
        // No window can be made to measure it: the font's own height until one is.
        inherited::Dispatch(Message);
        SetItemHeight(TextHeightOf(Font(), " "));
        return;
    }
    // The system measures the font's item height for a plain list; owner drawing takes it.
    SetStyle(csDropDownList);
    inherited::Dispatch(Message);
    const int height = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    SetStyle(csOwnerDrawFixed);
    SetItemHeight(height);
}
