// The skinned font form that TsFontDialog shows while a skin is active: the font families in a
// list with their kinds, the styles (regular, italic, bold, both), the sizes (listed, or typed),
// the effects (strike-out, underline, colour) and a preview of the font.
// What the preview shows is the font the dialog gives back on OK.
#pragma once

#include "Forms.h"

class TsBitBtn;
class TsCheckBox;
class TsColorBox;
class TsComboBox;
class TsEdit;
class TsFontListBox;
class TsGroupBox;
class TsListBox;
class TsPanel;
class TsSkinProvider;

class TFormFont : public TForm {
    VCL_CLASS(TFormFont, TForm)
public:
    explicit TFormFont(TComponent* AOwner);
    ~TFormFont() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsEdit* sEdit1 = nullptr;
    TsFontListBox* sFontListBox1 = nullptr;
    TsEdit* sEdit2 = nullptr;
    TsListBox* sListBox1 = nullptr;
    TsEdit* sEdit3 = nullptr;
    TsListBox* sListBox2 = nullptr;
    TsGroupBox* sGroupBox1 = nullptr;
    TsCheckBox* sCheckBox1 = nullptr; // StrikeOut
    TsCheckBox* sCheckBox2 = nullptr; // Underline
    TsColorBox* sColorBox1 = nullptr;
    TsGroupBox* sGroupBox2 = nullptr;
    TsPanel* sPanel1 = nullptr; // the preview
    TsComboBox* sComboBox1 = nullptr;
    TsBitBtn* sBitBtn1 = nullptr; // OK
    TsBitBtn* sBitBtn2 = nullptr; // Cancel

    // The form starts from Font: its family, style and size chosen, its effects set, the preview
    // in it.
    void SetChosenFont(TFont* Font);
    // The font the preview shows.
    TFont* ChosenFont() const;

    void sFontListBox1Click(TObject* Sender);
    void sColorBox1Change(TObject* Sender);
    void sCheckBoxClick(TObject* Sender);
    void sListBox1Click(TObject* Sender);
    void sListBox2Click(TObject* Sender);
    void sEdit3Change(TObject* Sender);
    // OK with a size box that holds no size from 1 to 1638 warns (sDialogs::FontSizeText) and
    // keeps the form.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
};

// The font form while a font dialog shows it; null otherwise.
extern TFormFont* FormFont;
