// The skinned drive combo box (section "COMBOBOX"): the framework's drive combo box painted whole
// from the skin's cached image (the frame, the chosen drive's picture and text, the drop-down
// button), with its bound caption label. A read-only one takes the focus but neither opens nor
// changes its drive by keys or mouse.
#pragma once

#include "FileCtrl.h"
#include "sCommonData.h"

class TsDriveComboBox : public TDriveComboBox, public TsBoundHolder {
    VCL_CLASS(TsDriveComboBox, TDriveComboBox)
public:
    explicit TsDriveComboBox(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int ButtonMargin() const { return FButtonMargin; }
    void SetButtonMargin(int Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Whether the list is open as far as the painting knows (the button looks pressed).
    bool Dropped() const { return FDropped; }

    // The keyboard focus is on the box.
    bool Focused();
    // 16 without the skin; skinned, one cell of the section's "GLYPHMASK" (0 without one).
    int ButtonWidth();
    int ButtonHeight();
    TRect ButtonRect();
    // The first item whose text is S (with case), -1 when none.
    int IndexOf(const AnsiString& S);
    // The text into the cache, aligned by Alignment.
    void PaintText();
    // The skin's picture of the box into the cache.
    void PrepareCache();

protected:
    void DropDown() override;
    void ComboWndProc(TMessage& Message, HWND ComboWnd) override;

private:
    void OurPaintHandler();
    void PaintBorder();
    void PaintButton();
    void PaintDrive();
    int GlyphIndex();

    TAlignment FAlignment = taLeftJustify;
    int FButtonMargin = 2;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
    bool FReadOnly = false;
    bool FDropped = false;
};
