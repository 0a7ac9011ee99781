#include "sGlyphUtils.h"

#include <algorithm>
#include <windows.h>

#include "sCurrencyEdit.h"
#include "sComboBox.h"
#include "sMessages.h"

TBitmap* DefBMP = nullptr;

namespace {

struct TBuiltIn {
    const char* Name;
    const char* Resource;
};
const TBuiltIn builtIns[] = {{"BTN_OPENFILE", "SF"}, {"BTN_OPENFOLDER", "SR"}, {"BTN_DATE", "SD"},
                             {"BTN_ELLIPSIS", "SE"}, {"BTN_CALC", "SC"}};

// The built-in glyphs, read from the program's resources on first use; a resource the program
// lacks gives no glyph.
struct TGlyphs {
    std::unique_ptr<TBitmap> Bitmaps[5];
    bool Read = false;
    ~TGlyphs() { DefBMP = nullptr; }
} glyphs;

TBitmap* BuiltIn(int Index)
{
    if (!glyphs.Read) {
        glyphs.Read = true;
        for (int i = 0; i < 5; ++i) {
            if (!FindResourceA(GetModuleHandleA(nullptr), builtIns[i].Resource, MAKEINTRESOURCEA(2)))
                continue;
            auto bmp = std::make_unique<TBitmap>();
            bmp->LoadFromResourceName(GetModuleHandleA(nullptr), builtIns[i].Resource);
            glyphs.Bitmaps[i] = std::move(bmp);
        }
    }
    return glyphs.Bitmaps[Index].get();
}

} // namespace

TBitmap* GetResBmp(const AnsiString& Name)
{
    for (int i = 0; i < 5; ++i)
        if (Name == builtIns[i].Name)
            return BuiltIn(i);
    return nullptr;
}

TsGlyphMode::TsGlyphMode(TWinControl* AOwner) : FOwner(AOwner), FGlyph(std::make_unique<TBitmap>()) {}

TsGlyphMode::~TsGlyphMode()
{
    // The last choice may be this glyph mode's own bitmap.
    if (DefBMP == FGlyph.get())
        DefBMP = nullptr;

}

void TsGlyphMode::Repaint()
{
    if (FOwner)
        FOwner->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_REPAINT), 0);
}

void TsGlyphMode::SetBlend(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (Value == FBlend)
        return;
    FBlend = Value;
    Repaint();
}

void TsGlyphMode::SetGrayed(bool Value)
{
    if (Value == FGrayed)
        return;
    FGrayed = Value;
    Repaint();
}

void TsGlyphMode::SetUseDefaultGlyph(bool Value)
{
    if (Value == FUseDefaultGlyph)
        return;
    FUseDefaultGlyph = Value;
    if (Value)
        AssignDefaultBitmap();
    Repaint();
}

void TsGlyphMode::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    FUseDefaultGlyph = false;
    Repaint();
}

AnsiString TsGlyphMode::Hint() const
{
    if (auto* edit = dynamic_cast<TsCustomComboEdit*>(FOwner))
        return edit->Button()->Hint();
    return FOwner ? FOwner->Hint() : AnsiString();
}

void TsGlyphMode::SetHint(const AnsiString& Value)
{
    if (auto* edit = dynamic_cast<TsCustomComboEdit*>(FOwner))
        edit->Button()->SetHint(Value);
}

bool TsGlyphMode::AssignDefaultBitmap()
{
    auto* edit = dynamic_cast<TsCustomComboEdit*>(FOwner);
    if (!FUseDefaultGlyph && FGlyph->Width() >= 1)
        DefBMP = FGlyph.get();
    else
        DefBMP = GetResBmp(edit ? edit->DefBmpName : AnsiString());
    const int width = Width();
    if (edit)
        edit->Button()->SetWidth(width < 1 ? 0 : width + 2);
    return width != 0;
}

void TsGlyphMode::Invalidate()
{
    if (auto* edit = dynamic_cast<TsCustomComboEdit*>(FOwner)) {
        edit->Button()->SetWidth(Width() + 2);
        edit->Button()->Invalidate();
    } else if (auto* combo = dynamic_cast<TsCustomComboBox*>(FOwner)) {
        combo->PaintButton();
    }
}

int TsGlyphMode::Width() const
{
    if (dynamic_cast<TsCurrencyEdit*>(FOwner))
        return 0;
    if (FUseDefaultGlyph && DefBMP)
        return DefBMP->Width() / 3;
    if (FGlyph->Width() > 0)
        return FGlyph->Width() / 3;
    return 16;
}

int TsGlyphMode::Height() const
{
    if (FUseDefaultGlyph && DefBMP)
        return DefBMP->Height() / 2;
    return FGlyph->Height() / 2;
}
