// The skinned combo box (section "COMBOBOX") with its bound caption label: the framework's combo
// box, whose frame, drop-down button and, while it is not focused, edit part are painted from the
// skin's cached image. A read-only combo box takes the focus but neither drops down nor changes
// its text or selection by keys or mouse.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

// A read-only combo box: whether Message would open it or change its text or selection (keys,
// editing, the wheel, its notifications), which is then dropped; a press only focuses it. Tab,
// Enter and Escape still move on or reach the form.
bool ReadOnlyComboDrops(TWinControl* Combo, TMessage& Message);
// The keyboard focus is in a combo box (its edit, or the box itself without one).
bool ComboFocused(TCustomComboBox* Combo);
// A setting of a skinned control: stored, and the skin's image invalidated, when it changes.
template <class T>
void SetSkinSetting(T& Field, const T& Value, TsCommonData* SkinData)
{
    if (Value == Field)
        return;
    Field = Value;
    SkinData->Invalidate();
}

class TsCustomComboBox : public TCustomComboBox, public TsBoundHolder {
    VCL_CLASS(TsCustomComboBox, TCustomComboBox)
public:
    explicit TsCustomComboBox(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The gap between the button and the control's edge.
    int ButtonMargin() const { return FButtonMargin; }
    void SetButtonMargin(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // Whether the list is open as far as the painting knows (the button looks pressed).
    bool Dropped() const { return FDropped; }

    // The keyboard focus is in the combo box (its edit, or the box itself without one).
    bool Focused();
    int ButtonWidth();
    // 16 without the skin; skinned, one cell of the section's "GLYPHMASK" (0 without one).
    int ButtonHeight();
    TRect ButtonRect();
    // The first item whose text is S (with case), -1 when none.
    int IndexOf(const AnsiString& S);
    // Repaints the drop-down button (its glyph settings changed).
    void PaintButton() { SkinData()->Invalidate(); }

    // Whether the whole control is painted from the cache (not consulted here).
    virtual bool FullPaint() { return false; }
    // The text into the cache, for subclasses that draw their edit part that way.
    virtual void PaintText();
    // The skin's picture of the control and its button into the cache.
    void PrepareCache();
    // The frame, the button and (unless the native edit shows it) the edit part into DC (0: the
    // window's own).
    void OurPaintHandler(HDC DC);

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void DropDown() override;
    void ComboWndProc(TMessage& Message, HWND ComboWnd) override;

private:
    // The button's cell into the cache.
    void DrawButton();
    int GlyphIndex();

    TAlignment FAlignment = taLeftJustify;
    int FButtonMargin = 2;
    bool FReadOnly = false;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
    bool FDropped = false;
};

class TsComboBox : public TsCustomComboBox {
    VCL_CLASS(TsComboBox, TsCustomComboBox)
public:
    using TsCustomComboBox::TsCustomComboBox;
};
