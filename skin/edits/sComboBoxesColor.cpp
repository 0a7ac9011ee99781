// The colour box of unit sComboBoxes: its items from the named colours, the selected colour, the
// custom colour picked with the colour dialog, and its painting with and without the skin.
#include <algorithm>
#include <memory>

#include "sComboBoxes.h"
#include "sDialogs.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

constexpr TColor NoColor = static_cast<TColor>(0xFF000000);
constexpr int StandardCount = 16, ExtendedEnd = 20;

TObject* AsObject(TColor Color) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Color)); }

// The one colour dialog of the colour boxes, made on first use.
TsColorDialog& CustomColorDialog()
{
    struct TFree {
        void operator()(TsColorDialog* D) const { D->Free(); }
    };
    static std::unique_ptr<TsColorDialog, TFree> dialog(Create<TsColorDialog>(nullptr));
    return *dialog;
}

// The frame of a swatch: black around a light colour, else white around a selected item's swatch
// and the colour itself around the others'.
TColor SwatchBorder(TColor Color, bool Selected)
{
    const TColor rgb = ColorToRGB(Color);
    if ((rgb & 0xFF) > 192 || ((rgb >> 8) & 0xFF) > 192 || ((rgb >> 16) & 0xFF) > 192)
        return clBlack;
    return Selected ? clWhite : rgb;
}

} // namespace

TsCustomColorBox::TsCustomColorBox(TComponent* AOwner) : TsCommonComboBox(AOwner)
{
    TsCommonComboBox::SetStyle(csOwnerDrawFixed);
    SkinData()->COC = 9;
    PopulateList();
}

void TsCustomColorBox::CreateWnd()
{
    inherited::CreateWnd();
    if (FNeedToPopulate)
        PopulateList();
}

TColor TsCustomColorBox::GetColor(int Index)
{
    if (Index < 0)
        return clNone;
    return static_cast<TColor>(reinterpret_cast<std::intptr_t>(FItems->Objects(Index)));
}

TColor TsCustomColorBox::Selected()
{
    if (!HandleAllocated())
        return FSelectedColor;
    const int i = GetItemIndex();
    return i >= 0 ? GetColor(i) : NoColor;
}

void TsCustomColorBox::SetSelected(TColor Value)
{
    if (HandleAllocated()) {
        int found = -1;
        for (int i = 0; i < FItems->Count() && found < 0; ++i)
            if (GetColor(i) == Value)
                found = i;
        if (found < 0 && FColorStyle.Contains(cbCustomColor) && Value != NoColor && FItems->Count() > 0) {
            FItems->PutObject(0, AsObject(Value));
            found = 0;
        }
        SetItemIndex(found);
    }
    FSelectedColor = Value;
}

void TsCustomColorBox::SetStyle(TsColorBoxStyles Value)
{
    if (Value == FColorStyle)
        return;
    FColorStyle = Value;
    SetEnabled(!(Value * TsColorBoxStyles{cbStandardColors, cbExtendedColors, cbSystemColors, cbCustomColor}).Empty());
    PopulateList();
}

void TsCustomColorBox::SetDefaultColorColor(TColor Value)
{
    if (Value != FDefaultColorColor) {
        FDefaultColorColor = Value;
        SkinData()->Invalidate();
    }
}

void TsCustomColorBox::SetNoneColorColor(TColor Value)
{
    if (Value != FNoneColorColor) {
        FNoneColorColor = Value;
        SkinData()->Invalidate();
    }
}

void TsCustomColorBox::SetShowColorName(bool Value)
{
    if (Value != FShowColorName) {
        FShowColorName = Value;
        SkinData()->Invalidate();
    }
}

void TsCustomColorBox::SetMargin(int Value)
{
    Value = std::min(Value, Height() / 2);
    if (Value != FMargin) {
        FMargin = Value;
        SkinData()->Invalidate();
    }
}

// --- The items -----------------------------------------------------------------------------------

void TsCustomColorBox::ColorCallBack(const AnsiString& Name)
{
    TColor color = clBlack;
    IdentToColor(Name, color);
    AnsiString shown = Name;
    if (FColorStyle.Contains(cbPrettyNames)) {
        // "clMoneyGreen" reads "Money Green": a blank before each capital but the first.
        shown.clear();
        for (std::size_t i = Name.compare(0, 2, "cl") == 0 ? 2 : 0; i < Name.size(); ++i) {
            if (Name[i] >= 'A' && Name[i] <= 'Z' && !shown.empty())
                shown += ' ';
            shown += Name[i];
        }
    }
    FItems->AddObject(shown, AsObject(color));
}

void TsCustomColorBox::PopulateList()
{
    if (!HandleAllocated()) {
        FNeedToPopulate = true;
        return;
    }
    FItems->BeginUpdate();
    try {
        const TColor custom =
            FColorStyle.Contains(cbCustomColor) && FItems->Count() > 0 ? GetColor(0) : clBlack;
        // The first filling takes the colour set before the window existed.
        const TColor selected = FNeedToPopulate ? FSelectedColor : Selected();
        FItems->Clear();
        GetColorValues(TGetStrProc(this, &TsCustomColorBox::ColorCallBack));
        auto drop = [&](TColor Color) {
            for (int i = FItems->Count() - 1; i >= 0; --i)
                if (GetColor(i) == Color)
                    FItems->Delete(i);
        };
        if (!FColorStyle.Contains(cbIncludeNone))
            drop(clNone);
        if (!FColorStyle.Contains(cbIncludeDefault))
            drop(clDefault);
        auto dropRange = [&](int From, int To) {
            for (int i = std::min(To, FItems->Count()) - 1; i >= From; --i)
                FItems->Delete(i);
        };
        if (!FColorStyle.Contains(cbSystemColors))
            dropRange(ExtendedEnd, FItems->Count());
        if (!FColorStyle.Contains(cbExtendedColors))
            dropRange(StandardCount, ExtendedEnd);
        if (!FColorStyle.Contains(cbStandardColors))
            dropRange(0, StandardCount);
        if (FColorStyle.Contains(cbCustomColor))
            FItems->InsertObject(0, "Custom...", AsObject(custom));
        SetSelected(selected);
    } catch (...) {
        FItems->EndUpdate();
        throw;
    }
    FItems->EndUpdate();
    FNeedToPopulate = false;
}

// --- The custom colour ---------------------------------------------------------------------------

bool TsCustomColorBox::PickCustomColor()
{
    TsColorDialog& dialog = CustomColorDialog();
    dialog.Color = ColorToRGB(GetColor(0));
    const bool picked = dialog.Execute();
    if (picked) {
        FItems->PutObject(0, AsObject(dialog.Color));
        Invalidate();
    }
    return picked;
}

void TsCustomColorBox::CloseUp()
{
    inherited::CloseUp();
    FListSelected = true;
}

void TsCustomColorBox::KeyDown(Word& Key, TShiftState Shift)
{
    FListSelected = false;
    inherited::KeyDown(Key, Shift);
}

void TsCustomColorBox::Select()
{
    if (FListSelected) {
        FListSelected = false;
        // A cancelled dialog is no choice.
        if (FColorStyle.Contains(cbCustomColor) && GetItemIndex() == 0 && !PickCustomColor())
            return;
    }
    inherited::Select();
}

void TsCustomColorBox::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    if (FColorStyle.Contains(cbCustomColor) && Key == '\r' && GetItemIndex() == 0) {
        Key = 0;
        // A colour picked is a choice as it is from the list; a cancelled dialog is none.
        if (PickCustomColor())
            inherited::Select();
    }
}

// --- Painting ------------------------------------------------------------------------------------

TRect TsCustomColorBox::ColorRect(TRect Rect, TOwnerDrawState State)
{
    if (FShowColorName) {
        Rect.right = Rect.left + HeightOf(Rect);
    } else {
        const int button = WidthOf(ButtonRect());
        Rect.right -= button + 3;
    }
    const int inset = State.Contains(odComboBoxEdit) ? FMargin + 1 : 1;
    InflateRect(&Rect, -inset, -inset);
    return Rect;
}

void TsCustomColorBox::DrawSwatch(TCanvas* c, int Index, const TRect& Swatch, TOwnerDrawState State)
{
    TColor color = GetColor(Index);
    color = color == clDefault ? FDefaultColorColor : color == clNone ? FNoneColorColor : color;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(Swatch);
    c->Brush()->SetColor(SwatchBorder(color, State.Contains(odSelected)));
    c->FrameRect(Swatch);
}

// The name 5 pixels after the swatch, vertically centred in Rect.
void TsCustomColorBox::DrawName(TCanvas* c, int Index, const TRect& Rect, const TRect& Swatch)
{
    const AnsiString name = FItems->Get(Index);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(Swatch.right + 5, Rect.top + (HeightOf(Rect) - c->TextHeight(name)) / 2, name);
    c->Brush()->SetStyle(bsSolid);
}

void TsCustomColorBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* c = FCanvas.get();
    c->FillRect(Rect);
    TRect square = Rect;
    square.right = square.left + HeightOf(Rect);
    InflateRect(&square, -1, -1);
    DrawSwatch(c, Index, square, State);
    DrawName(c, Index, Rect, square);
}

void TsCustomColorBox::DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TsCommonData* sd = SkinData();
    TCanvas* c = FCanvas.get();
    if (!State.Contains(odComboBoxEdit)) {
        if (State.Contains(odFocused) || State.Contains(odSelected)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(Color());
            c->Font()->SetColor(Font()->Color());
        }
        c->FillRect(Rect);
        if (State.Contains(odFocused))
            c->DrawFocusRect(Rect);
        const TRect swatch = ColorRect(Rect, State);
        DrawSwatch(c, Index, swatch, State);
        DrawName(c, Index, Rect, swatch);
        return;
    }
    // The edit part: drawn on a bitmap that starts as the cached picture under it.
    const int button = WidthOf(ButtonRect()) > 0 ? WidthOf(ButtonRect()) : GetSystemMetrics(SM_CXVSCROLL);
    Rect.right -= button + 3;
    if (WidthOf(Rect) <= 0 || HeightOf(Rect) <= 0)
        return;
    TBitmap bmp(WidthOf(Rect), HeightOf(Rect));
    BitBlt(bmp.Canvas()->Handle(), 0, 0, bmp.Width(), bmp.Height(), sd->FCacheBmp->Canvas()->Handle(), Rect.left,
           Rect.top, SRCCOPY);
    const TRect local{0, 0, bmp.Width(), bmp.Height()};
    TCanvas* b = bmp.Canvas();
    b->SetFont(Font());
    const bool focus = State.Contains(odFocused) && gd[static_cast<std::size_t>(sd->SkinIndex)].ShowFocus;
    const TRect swatch = ColorRect(local, State);
    if (Index >= 0) {
        if (focus && FShowColorName) {
            b->Brush()->SetColor(clHighlight);
            b->FillRect(TRect{swatch.right + 3, local.top, local.right, local.bottom});
            b->Font()->SetColor(clHighlightText);
        }
        if (focus)
            b->DrawFocusRect(local);
        DrawSwatch(b, Index, swatch, State);
        if (FShowColorName) {
            const AnsiString name = FItems->Get(Index);
            TRect text{swatch.right + 5, local.top, local.right, local.bottom};
            if (focus) {
                b->Brush()->SetStyle(bsClear);
                b->TextOut(text.left, (HeightOf(local) - b->TextHeight(name)) / 2, name);
            } else {
                WriteTextEx(b, name.c_str(), true, text, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, sd,
                            ControlIsActive(sd));
            }
        }
    }
    if (!Enabled())
        BmpDisabledKind(&bmp, DisabledKind(), Parent(), GetParentCache(sd), TPoint{Left() + Rect.left, Top() + Rect.top});
    BitBlt(c->Handle(), Rect.left, Rect.top, bmp.Width(), bmp.Height(), b->Handle(), 0, 0, SRCCOPY);
}
