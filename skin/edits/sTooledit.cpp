#include "sTooledit.h"

#include "sMessages.h"
#include "sPopupClndr.h"
#include "sVclUtils.h"

namespace {

// Every date edit inside Control takes the locale's date settings again.
void UpdateDateEdits(TWinControl* Control)
{
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(Control->Controls(i))) {
            if (auto* edit = dynamic_cast<TsCustomDateEdit*>(child))
                edit->UpdateMask();
            UpdateDateEdits(child);
        }
}

} // namespace

void DateFormatChanged()
{
    if (!Screen)
        return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        UpdateDateEdits(Screen->Forms(i));
}

TsCustomDateEdit::TsCustomDateEdit(TComponent* AOwner)
    : TsCustomComboEdit(AOwner), FCalendarHints(std::make_unique<TStringList>())
{
    SkinData()->COC = 137;
    FCalendarHints->OnChange = TNotifyEvent(this, &TsCustomDateEdit::HintsChanged);
    DefBmpName = "BTN_DATE";
    GlyphMode()->AssignDefaultBitmap();
    SetWidth(86);
    UpdateFormat();
}

TsCustomDateEdit::~TsCustomDateEdit() { HookFormatSettings(false); }

void TsCustomDateEdit::Loaded()
{
    inherited::Loaded();
    UpdateMask();
}

// --- Formats and the mask ---------------------------------------------------------------------------

bool TsCustomDateEdit::FourDigitYear() const
{
    return FYearDigits == dyFour || (FYearDigits == dyDefault && NormalYears);
}

void TsCustomDateEdit::UpdateFormat() { FDateFormat = DefDateFormat(FourDigitYear()); }

AnsiString TsCustomDateEdit::GetDateMask() const { return DefDateMask(FBlanksChar, FourDigitYear()); }

bool TsCustomDateEdit::DateSettingsChanged()
{
    return EditMask() != GetDateMask() || FDateFormat != DefDateFormat(FourDigitYear()) ||
           (IsMasked() && EditText().find(DateSeparator) == AnsiString::npos);
}

void TsCustomDateEdit::UpdateMask()
{
    // A date half typed, or one that does not exist, keeps its characters: it is no date to
    // write again, and the user is not done with it.
    TDateTime typed = NullDate;
    const bool keepTyped = TextStored() && !InternalStrToDate(FDateFormat, Text(), typed);
    const AnsiString places = IsMasked() ? Mask().DataOf(EditText()) : AnsiString();
    const TDateTime date = Date();
    const AnsiString oldFormat = FDateFormat;
    UpdateFormat();
    const AnsiString mask = GetDateMask();
    // The mask shows the separator it was set with: a new one needs the mask set again.
    const bool separator = IsMasked() && EditText().find(DateSeparator) == AnsiString::npos;
    FFormatting = true;
    try {
        if (EditMask() != mask || oldFormat != FDateFormat || separator) {
            SetEditMask("");
            SetEditMask(mask);
        }
        UpdatePopup();
        if (!keepTyped)
            SetDate(date);
        else if (IsMasked() && Mask().DataOf(EditText()) != places)
            SetText(places);
    } catch (...) {
        FFormatting = false;
        throw;
    }
    FFormatting = false;
}

void TsCustomDateEdit::SetBlanksChar(char Value)
{
    if (static_cast<unsigned char>(Value) < ' ')
        Value = ' ';
    if (Value == FBlanksChar)
        return;
    FBlanksChar = Value;
    UpdateMask();
}

void TsCustomDateEdit::SetYearDigits(TYearDigits Value)
{
    if (Value == FYearDigits)
        return;
    FYearDigits = Value;
    UpdateMask();
}

// --- The date ------------------------------------------------------------------------------------------

TDateTime TsCustomDateEdit::StrToDateFmt(const AnsiString& Format, const AnsiString& Text)
{
    TDateTime date = NullDate;
    if (!InternalStrToDate(Format, Text, date))
        throw EConvertError("Invalid Date");
    return date;
}

TDateTime TsCustomDateEdit::StrToDateFmtDef(const AnsiString& Format, const AnsiString& Text, TDateTime Default)
{
    TDateTime date = NullDate;
    return InternalStrToDate(Format, Text, date) ? date : static_cast<TDateTime>(Trunc(Default));
}

bool TsCustomDateEdit::TextStored()
{
    for (const char c : Text())
        if (c != ' ' && c != FBlanksChar && c != DateSeparator)
            return true;
    return false;
}

TDateTime TsCustomDateEdit::Date()
{
    const TDateTime def = DefaultToday ? SysUtils::Date() : NullDate;
    return TextStored() ? StrToDateFmtDef(FDateFormat, Text(), def) : def;
}

void TsCustomDateEdit::SetDate(TDateTime Value)
{
    const TDateTime before = Date();
    if (Value == NullDate || !ValidDate(Value))
        Value = DefaultToday ? SysUtils::Date() : NullDate;
    SetText(Value == NullDate ? AnsiString() : FormatDateTime(FDateFormat, Value));
    SetModified(Date() != before);
}

void TsCustomDateEdit::ApplyDate(TDateTime Value)
{
    SetDate(Value);
    SelectAll();
}

bool TsCustomDateEdit::CheckValidDate()
{
    if (!TextStored())
        return false;
    FFormatting = true;
    try {
        SetDate(StrToDateFmt(FDateFormat, Text()));
    } catch (...) {
        FFormatting = false;
        throw;
    }
    FFormatting = false;
    return true;
}

void TsCustomDateEdit::SetMinDate(TDateTime Value)
{
    // 0 clears the bound; another bound must not pass the maximum.
    if (Value == FMinDate || (Value != 0 && FMaxDate != 0 && Value > FMaxDate))
        return;
    FMinDate = Value;
    // A date typed before it moves up; an empty edit stays empty.
    if (Value != 0 && TextStored() && Date() < Value)
        SetDate(Value);
}

void TsCustomDateEdit::SetMaxDate(TDateTime Value)
{
    if (Value == FMaxDate || (Value != 0 && FMinDate != 0 && Value < FMinDate))
        return;
    FMaxDate = Value;
    if (Value != 0 && TextStored() && Date() > Value)
        SetDate(Value);
}

void TsCustomDateEdit::Change()
{
    if (!FFormatting)
        inherited::Change();
}

// --- The calendar -----------------------------------------------------------------------------------------

void TsCustomDateEdit::SetCalendarHints(TStrings* Value) { FCalendarHints->Assign(Value); }

void TsCustomDateEdit::HintsChanged(TObject*)
{
    // Four lines at most: one per title button.
    FCalendarHints->OnChange = nullptr;
    while (FCalendarHints->Count() > 4)
        FCalendarHints->Delete(FCalendarHints->Count() - 1);
    FCalendarHints->OnChange = TNotifyEvent(this, &TsCustomDateEdit::HintsChanged);
    UpdatePopup();
}

void TsCustomDateEdit::SetStartOfWeek(TCalDayOfWeek Value)
{
    FStartOfWeek = Value;
    UpdatePopup();
}

void TsCustomDateEdit::SetWeekends(TDaysOfWeek Value)
{
    FWeekends = Value;
    UpdatePopup();
}

void TsCustomDateEdit::SetWeekendColor(TColor Value)
{
    FWeekendColor = Value;
    UpdatePopup();
}

void TsCustomDateEdit::UpdatePopup()
{
    auto* popup = dynamic_cast<TsPopupCalendar*>(Popup());
    if (!popup || !popup->sMonthCalendar1)
        return;
    TsMonthCalendar* calendar = popup->sMonthCalendar1;
    calendar->SetStartOfWeek(FStartOfWeek);
    calendar->SetWeekends(FWeekends);
    calendar->SetWeekendColor(FWeekendColor);
    popup->FourDigitYear = FourDigitYear();
    calendar->OnGetCellParams = OnGetCellParams;
    popup->TakeSkinColor();
    for (int i = 0; i < 4; ++i) {
        calendar->FBtns[i]->SetHint(i < FCalendarHints->Count() ? FCalendarHints->Strings(i) : AnsiString());
        calendar->FBtns[i]->SetShowHint(ShowHint());
    }
}

void TsCustomDateEdit::PopupWindowShow()
{
    if (!Popup())
        SetPopup(Create<TsPopupCalendar>(this));
    auto* popup = static_cast<TsPopupCalendar*>(Popup());
    const TDateTime date = Date();
    popup->sMonthCalendar1->SetCalendarDate(date == NullDate ? SysUtils::Date() : date);
    popup->SetEditLink(this);
    UpdatePopup();
    inherited::PopupWindowShow();
}

// --- Keys, exit, settings ---------------------------------------------------------------------------------

void TsCustomDateEdit::KeyDown(Word& Key, TShiftState Shift)
{
    const bool step = Key == VK_ADD || Key == VK_SUBTRACT;
    if (DroppedDown() && (step || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_LEFT || Key == VK_RIGHT ||
                          Key == VK_UP || Key == VK_DOWN)) {
        auto* popup = static_cast<TsPopupCalendar*>(Popup());
        popup->sMonthCalendar1->FGrid->Perform(WM_KEYDOWN, Key, 0);
        Key = 0;
    } else if (step && Shift.Empty() && DirectInput()) {
        // A read-only edit keeps its date.
        if (!ReadOnly()) {
            const TDateTime date = Date();
            ApplyDate((date == NullDate ? SysUtils::Date() : date) + (Key == VK_ADD ? 1 : -1));
        }
        Key = 0;
    }
    inherited::KeyDown(Key, Shift);
}

void TsCustomDateEdit::KeyPress(char& Key)
{
    const bool dateKey = Key == '+' || Key == '-' || Key == 'T' || Key == 't';
    if (dateKey && DroppedDown()) {
        static_cast<TsPopupCalendar*>(Popup())->sMonthCalendar1->FGrid->Perform(WM_CHAR, static_cast<Byte>(Key), 0);
        Key = 0;
    } else if (dateKey && DirectInput()) {
        if ((Key == 'T' || Key == 't') && !ReadOnly())
            ApplyDate(SysUtils::Date());
        Key = 0;
    }
    inherited::KeyPress(Key);
}

void TsCustomDateEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD && (Message.WParamHi == AC_NEWSKIN || Message.WParamHi == AC_REMOVESKIN ||
                                      Message.WParamHi == AC_REPAINT)) {
        if (Popup())
            Popup()->Perform(Message.Msg, Message.WParam, Message.LParam);
        // A new skin changes no date setting: the mask is made again only when they changed.
        if (ComponentState().Contains(csLoading))
            UpdateFormat();
        else if (DateSettingsChanged())
            UpdateMask();
        else
            UpdatePopup();
    } else if (Message.Msg == CM_EXIT && CheckOnExit) {
        try {
            if (CheckValidDate()) {
                const TDateTime date = Date();
                if (FMaxDate != 0 && date > FMaxDate)
                    SetDate(FMaxDate);
                else if (FMinDate != 0 && date < FMinDate)
                    SetDate(FMinDate);
            }
        } catch (...) {
            // The impossible date stays in the edit, and so does the focus.
            SelectAll();
            KeepFocus();
            throw;
        }
    }
    inherited::WndProc(Message);
}

void TsCustomDateEdit::CreateWnd()
{
    inherited::CreateWnd();
    UpdateMask();
    HookFormatSettings(true);
}

void TsCustomDateEdit::DestroyWnd()
{
    HookFormatSettings(false);
    inherited::DestroyWnd();
}

void TsCustomDateEdit::HookFormatSettings(bool On)
{
    if (On == FHooked || !Application)
        return;
    if (On)
        Application->HookMainWindow(TWindowHook(this, &TsCustomDateEdit::FormatSettingsChange));
    else
        Application->UnhookMainWindow(TWindowHook(this, &TsCustomDateEdit::FormatSettingsChange));
    FHooked = On;
}

bool TsCustomDateEdit::FormatSettingsChange(TMessage& Message)
{
    // Settings of any other kind (or section) leave the mask and a half-typed date alone.
    if (Message.Msg == WM_WININICHANGE && Application->UpdateFormatSettings && DateSettingsChanged())
        UpdateMask();
    return false;
}

TsDateEdit::TsDateEdit(TComponent* AOwner) : TsCustomDateEdit(AOwner)
{
    SkinData()->COC = 140;
    SetEditMask("!90/90/0000;1; ");
    UpdateMask();
}
