#include "sPopupClndr.h"

#include "Clipbrd.h"
#include "sDateUtils.h"
#include "sTooledit.h"

TsPopupCalendar::TsPopupCalendar(TComponent* AOwner) : TsPopupForm(AOwner)
{
    BeginLoading(this);
    SetClientSize(189, 144);
    sMonthCalendar1 = Create<TsMonthCalendar>(this);
    sMonthCalendar1->SkinData()->SetSkinSection("PANEL");
    sMonthCalendar1->SetAlign(alClient);
    sMonthCalendar1->SetParent(this);
    sMonthCalendar1->OnDblClick = TNotifyEvent(this, &TsPopupCalendar::sMonthCalendar1DblClick);
    sMonthCalendar1->FGrid->OnDblClick = TNotifyEvent(this, &TsPopupCalendar::sMonthCalendar1DblClick);

    PopupMenu1 = Create<TPopupMenu>(this);
    auto item = [this](const char* Caption, TShortCut Key, TNotifyEvent Click) {
        auto* i = Create<TMenuItem>(this);
        i->SetCaption(Caption);
        i->SetShortCut(Key);
        i->OnClick = Click;
        PopupMenu1->Items()->Add(i);
        return i;
    };
    N1 = item("&Копировать", ShortCut(VK_INSERT, scCtrl), TNotifyEvent(this, &TsPopupCalendar::CopyClick));
    N2 = item("&Вставить", ShortCut(VK_INSERT, scShift), TNotifyEvent(this, &TsPopupCalendar::PasteClick));
    OK1 = item("OK", ShortCut(VK_RETURN, 0), TNotifyEvent(this, &TsPopupCalendar::sMonthCalendar1DblClick));
    Cancel1 = item("Cancel", ShortCut(VK_ESCAPE, 0), TNotifyEvent(this, &TsPopupCalendar::CancelClick));
    sMonthCalendar1->FGrid->SetPopupMenu(PopupMenu1);
    SetActiveControl(sMonthCalendar1->FGrid);
    LoadedAll(this);
}

TsCustomDateEdit* TsPopupCalendar::DateEdit() const { return dynamic_cast<TsCustomDateEdit*>(EditLink()); }

AnsiString TsPopupCalendar::DateFormat() const
{
    if (TsCustomDateEdit* edit = DateEdit())
        return edit->DateFormat();
    return DefDateFormat(FourDigitYear);
}

void TsPopupCalendar::SetValue(const AnsiString& Value)
{
    // Blank apart from date separators: today.
    bool blank = true;
    for (char c : Value)
        blank = blank && (c == ' ' || c == DateSeparator);
    TDateTime date = SysUtils::Date();
    if (!blank && !InternalStrToDate(DateFormat(), Value, date))
        date = SysUtils::Date();
    sMonthCalendar1->SetCalendarDate(date == NullDate ? SysUtils::Date() : date);
}

void TsPopupCalendar::DoShow()
{
    sMonthCalendar1->FDragBar->SetCursor(crDefault);
    SetHeight(144);
    TakeSkinColor();
    inherited::DoShow();
}

void TsPopupCalendar::CloseUp(bool Accept)
{
    if (OnCloseUp)
        OnCloseUp(this, Accept);
}

void TsPopupCalendar::sMonthCalendar1DblClick(TObject*)
{
    TsCustomDateEdit* edit = DateEdit();
    bool accept = true;
    if (edit) {
        TDateTime date = Value();
        if (edit->OnAcceptDate)
            edit->OnAcceptDate(edit, date, accept);
        if (accept) {
            edit->SetDate(date);
            if (edit->OnChange)
                edit->OnChange(edit);
        }
    }
    CloseUp(accept);
    ReturnToEdit();
}

void TsPopupCalendar::CancelClick(TObject*)
{
    CloseUp(false);
    ReturnToEdit();
}

void TsPopupCalendar::KeyDown(Word& Key, TShiftState Shift)
{
    inherited::KeyDown(Key, Shift);
    if (Key == VK_RETURN) {
        Key = 0;
        sMonthCalendar1DblClick(this);
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        CancelClick(this);
    }
}

void TsPopupCalendar::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    // A key that reached the form and not the grid is the grid's.
    if (Key != 0 && !sMonthCalendar1->FGrid->Focused()) {
        sMonthCalendar1->FGrid->Perform(WM_CHAR, static_cast<unsigned char>(Key), 0);
        Key = 0;
    }
}

void TsPopupCalendar::CopyClick(TObject*) { Clipboard()->SetAsText(FormatDateTime(DateFormat(), Value())); }

void TsPopupCalendar::PasteClick(TObject*)
{
    if (Clipboard()->HasFormat(CF_TEXT))
        SetValue(Clipboard()->AsText());
}
