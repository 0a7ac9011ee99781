// The pop-up calendar a date edit drops down: a borderless form holding one month calendar. A
// double click, Enter or "OK" hands the date to the edit (when its OnAcceptDate agrees); Escape
// gives the focus back and closes.
#pragma once

#include "Menus.h"
#include "sCustomComboEdit.h"
#include "sMonthCalendar.h"

class TsCustomDateEdit;

using TCloseUpEvent = TMethod<void(TObject* Sender, bool Accept)>;

class TsPopupCalendar : public TsPopupForm {
    VCL_CLASS(TsPopupCalendar, TsPopupForm)
public:
    explicit TsPopupCalendar(TComponent* AOwner);

    // The calendar's date.
    TDateTime Value() const { return sMonthCalendar1->CalendarDate(); }
    // Value as a date; today for a text blank apart from date separators or one that is no date.
    void SetValue(const AnsiString& Value);
    // Whether dates are read and copied with four-digit years.
    bool FourDigitYear = true;
    TCloseUpEvent OnCloseUp;

    TsMonthCalendar* sMonthCalendar1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* N1 = nullptr;      // "&Копировать"
    TMenuItem* N2 = nullptr;      // "&Вставить"
    TMenuItem* OK1 = nullptr;     // "OK"
    TMenuItem* Cancel1 = nullptr; // "Cancel"

    // Accepts the date: the edit's OnAcceptDate asked, the edit given the date and its OnChange;
    // then the focus back to the edit and the form closes.
    void sMonthCalendar1DblClick(TObject* Sender);
    void CloseUp(bool Accept);

protected:
    void DoShow() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    TsCustomDateEdit* DateEdit() const;
    AnsiString DateFormat() const;
    void CopyClick(TObject* Sender);
    void PasteClick(TObject* Sender);
    void CancelClick(TObject* Sender);
};
