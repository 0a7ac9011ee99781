// The calculator a calculator edit drops down: a borderless form of skinned panels and speed
// buttons with a display, a pending operator and its operand, one memory value and an error state.
// It hands its result back to the linked number edit.
#pragma once

#include "Menus.h"
#include "sCustomComboEdit.h"
#include "sPanel.h"
#include "sSpeedButton.h"

class TsCustomNumEdit;

using TCalcKeyEvent = TMethod<void(TObject* Sender, char& Key)>;

class TsCalcForm : public TsPopupForm {
    VCL_CLASS(TsCalcForm, TsPopupForm)
public:
    // valid: a finished value shows and the next digit starts a new number; first: a number is
    // being typed; error: "Error" shows and only 'C' acts.
    enum TCalcState { csValid, csFirst, csError };

    explicit TsCalcForm(TComponent* AOwner);

    // One key of the calculator (case does not matter): digits, '.' or ',', #8, 'C', '_' (sign),
    // 'Q' (square root), 'R' (reciprocal), #27, #3 (copy), #22 (paste), '+', '-', '*', '/', '%',
    // '=' and #13.
    void CalcKey(char Key);
    // 0 in the error state, else the number shown.
    double Display();
    // Shows Value with Precision significant digits; a value beyond the range of numbers is an
    // error.
    void SetDisplay(double Value);
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    // State valid, display 0, operator '='.
    void Clear();
    void Copy();
    // The clipboard's number, thousands separators left out.
    void Paste();

    TCalcState State() const { return FState; }
    double Memory() const { return FMemory; }
    // Digits of a number typed and shown (at least 2; a result shows at most the 15 significant
    // digits a double holds).
    Byte Precision = 15;
    bool BeepOnError = true;

    TNotifyEvent OnError;
    TNotifyEvent OnOk;
    TNotifyEvent OnCancel;
    TNotifyEvent OnResult;
    TNotifyEvent OnTextChange;
    TNotifyEvent OnDisplayChange;
    // Sees every key first and may change it.
    TCalcKeyEvent OnCalcKey;

    TsPanel* FMainPanel = nullptr;
    TsPanel* FCalculatorPanel = nullptr;
    // The memory indicator ("M" while the memory holds a value).
    TsPanel* FCalcPanel = nullptr;
    TsPanel* FDisplayPanel = nullptr;
    TsDragBar* sDragBar1 = nullptr;
    TsSpeedButton* sToolButton3 = nullptr; // "_": minimises the application
    TsSpeedButton* sToolButton1 = nullptr; // "X": closes
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* N1 = nullptr;      // "&Copy"
    TMenuItem* N2 = nullptr;      // "&Paste"
    TMenuItem* OK1 = nullptr;     // "OK"
    TMenuItem* Cancel1 = nullptr; // "Cancel"
    // The button of a caption ("7", "+", "MR", "<-"...), null when none has it.
    TsSpeedButton* ButtonOf(const AnsiString& Caption) const;

protected:
    void DoShow() override;
    void KeyPress(char& Key) override;

private:
    void BuildLayout();
    TsSpeedButton* AddButton(const char* Caption, int Left, int Top, int Width, TNotifyEvent Click, int Tag = 0);
    // The linked number edit, null when the calculator works alone.
    TsCustomNumEdit* Edit() const;
    void CheckFirst();
    void Error();
    void TextChanged();
    void UpdateMemoryLabel();
    // The result into the linked edit, the focus back to it, its OnChange; the form closes.
    void ApplyToEdit();
    void DigitClick(TObject* Sender);
    void KeyClick(TObject* Sender);
    void MemoryClick(TObject* Sender);
    void PopupMenu1Popup(TObject* Sender);
    void CopyClick(TObject* Sender);
    void PasteClick(TObject* Sender);
    void OK1Click(TObject* Sender);
    void Cancel1Click(TObject* Sender);
    void MinimizeClick(TObject* Sender);
    void CloseClick(TObject* Sender);

    AnsiString FText = "0";
    TCalcState FState = csValid;
    char FOperator = 0;
    // A square root, reciprocal, sign change or paste of a finished value shows what the pending
    // operator takes as its typed operand.
    bool FEntered = false;
    double FOperand = 0;
    double FMemory = 0;
    std::vector<TsSpeedButton*> FButtons;
};
