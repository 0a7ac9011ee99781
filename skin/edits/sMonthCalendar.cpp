#include "sMonthCalendar.h"

#include <algorithm>

#include "sDateUtils.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// The largest date of the calendar: no month or year is reached beyond it.
constexpr int LastYear = 9999;

} // namespace

// --- The grid ------------------------------------------------------------------------------------

TsCalendGrid::TsCalendGrid(TComponent* AOwner) : TDrawGrid(AOwner), FOwner(dynamic_cast<TsMonthCalendar*>(AOwner))
{
    SetCtl3D(false);
    SetBorderStyle(bsNone);
    SetScrollBars(ssNone);
    SetColCount(7);
    SetRowCount(8);
    SetFixedCols(0);
    SetFixedRows(1);
    SetOptions(TGridOptions{});
    DefaultDrawing = false;
    SetParentColor(true);
    SetAlign(alClient);
}

void TsCalendGrid::Paint()
{
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || !FOwner)
        return;
    // Once per paint: the font (each cell only switches bold on and off) and today's day in the
    // month shown (0 when today is in another month).
    Canvas()->Font()->Assign(Font());
    Word y = 0, m = 0, d = 0;
    DecodeDate(SysUtils::Date(), y, m, d);
    FToday = y == FOwner->Year() && m == FOwner->Month() ? d : 0;
    inherited::Paint();
    // Right of the seven columns: the calendar's picture.
    TsCommonData* sd = FOwner->SkinData();
    const int right = 7 * DefaultColWidth();
    if (sd->Skinned() && sd->FCacheBmp && right < ClientWidth())
        BitBlt(Canvas()->Handle(), right, 0, ClientWidth() - right, ClientHeight(), sd->FCacheBmp->Canvas()->Handle(),
               Left() + right, Top(), SRCCOPY);
}

void TsCalendGrid::PaintWindow(HDC DC)
{
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0)
        return;
    if (!FBuffer)
        FBuffer = std::make_unique<TBitmap>(w, h, pf24bit);
    else if (FBuffer->Width() != w || FBuffer->Height() != h)
        FBuffer->SetSize(w, h);
    const HDC buffer = FBuffer->Canvas()->Handle();
    inherited::PaintWindow(buffer);
    BitBlt(DC, 0, 0, w, h, buffer, 0, 0, SRCCOPY);
}

void TsCalendGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (!FOwner)
        return;
    TCanvas* canvas = Canvas();
    TRect r = ARect;
    // The last column and the last row reach to the edge.
    const TRect client = ClientRect();
    if (ACol == ColCount() - 1)
        r.right = client.right;
    if (ARow == 6)
        r.bottom = client.bottom;
    TsCommonData* sd = FOwner->SkinData();
    const bool skinned = sd->Skinned() && sd->FCacheBmp && sd->FCacheBmp->Width() > 0;
    const bool selected = AState.Contains(gdSelected);
    canvas->Font()->SetStyle(selected ? TFontStyles{fsBold} : Font()->Style());
    TColor ink = Font()->Color();
    if (skinned && IsValidSkinIndex(sd->SkinIndex))
        ink = gd[static_cast<std::size_t>(sd->SkinIndex)].FontColor[0];
    // The selected day in black, unless a skin's background asks for its own text colour.
    if (selected && !skinned)
        ink = clBlack;
    if (skinned)
        BitBlt(canvas->Handle(), r.left, r.top, WidthOf(r), HeightOf(r), sd->FCacheBmp->Canvas()->Handle(),
               Left() + r.left, Top() + r.top, SRCCOPY);
    else {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(r);
    }
    const AnsiString text = FOwner->GetCellText(ACol, ARow);
    bool restoreFont = false;
    if (FOwner->IsWeekend(ACol, ARow))
        ink = FOwner->WeekendColor();
    if (ARow > 0 && !text.empty()) {
        const int day = StrToInt(text);
        if (day == FToday) {
            // Today: a rounded frame in the weekend colour half way to black.
            ink = ChangeColor(ColorToRGB(FOwner->WeekendColor()), clBlack, 0.5);
            canvas->Pen()->SetColor(ink);
            canvas->Brush()->SetStyle(bsClear);
            canvas->RoundRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, 2, 2);
        }
        if (FOwner->OnGetCellParams) {
            TColor background = clSkinKey;
            canvas->Font()->SetColor(ink);
            FOwner->OnGetCellParams(FOwner, canvas->Font(), background, EncodeDate(FOwner->Year(), FOwner->Month(), day));
            ink = canvas->Font()->Color();
            restoreFont = true;
            if (background != clSkinKey) {
                canvas->Brush()->SetStyle(bsSolid);
                canvas->Brush()->SetColor(background);
                canvas->FillRect(r);
            }
        }
    }
    canvas->Brush()->SetStyle(bsClear);
    if (!text.empty()) {
        canvas->Font()->SetColor(ink);
        const SIZE size = canvas->TextExtent(text);
        canvas->TextOut(r.left + (WidthOf(r) - size.cx) / 2, r.top + (HeightOf(r) - size.cy) / 2, text);
    }
    if (restoreFont)
        canvas->Font()->Assign(Font()); // what the event changed is this cell's alone
    if (AState.Contains(gdFocused)) {
        TRect f = r;
        InflateRect(&f, -1, -1);
        if (skinned)
            FocusRect(canvas, f);
        else
            DrawFocusRect(canvas->Handle(), &f);
    }
}

void TsCalendGrid::KeyDown(Word& Key, TShiftState Shift)
{
    if (FOwner && !FOwner->ReadOnly) {
        const bool ctrl = Shift.Contains(ssCtrl);
        const bool plain = !ctrl && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
        switch (Key) {
        case VK_PRIOR:
        case VK_NEXT:
            if (Key == VK_PRIOR)
                ctrl ? FOwner->PrevYear() : FOwner->PrevMonth();
            else
                ctrl ? FOwner->NextYear() : FOwner->NextMonth();
            Key = 0;
            return;
        case VK_LEFT:
        case VK_SUBTRACT:
        case VK_RIGHT:
        case VK_ADD:
            if (plain) {
                const int step = Key == VK_LEFT || Key == VK_SUBTRACT ? -1 : 1;
                if (ValidDate(FOwner->CalendarDate() + step))
                    FOwner->SetCalendarDate(FOwner->CalendarDate() + step);
                Key = 0;
                return;
            }
            break;
        default: break;
        }
    }
    inherited::KeyDown(Key, Shift);
}

void TsCalendGrid::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    if (FOwner && !FOwner->ReadOnly && (Key == 'T' || Key == 't')) {
        FOwner->SetCalendarDate(SysUtils::Date());
        Key = 0;
    }
}

void TsCalendGrid::Click()
{
    inherited::Click();
    if (!FOwner || FOwner->ReadOnly)
        return;
    const AnsiString text = FOwner->GetCellText(Col(), Row());
    if (!text.empty())
        FOwner->SetDay(StrToInt(text));
}

bool TsCalendGrid::SelectCell(int ACol, int ARow)
{
    if (!FOwner)
        return false;
    if (!FOwner->FUpdating && FOwner->ReadOnly)
        return false;
    return !FOwner->GetCellText(ACol, ARow).empty();
}

void TsCalendGrid::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_MOUSEMOVE:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return;
    case WM_SIZE:
        inherited::WndProc(Message);
        SetDefaultColWidth(std::max(Width() / 7, 1));
        SetDefaultRowHeight(std::max(Height() / 7, 1));
        return;
    default: break;
    }
    inherited::WndProc(Message);
}

// --- The calendar --------------------------------------------------------------------------------

TsMonthCalendar::TsMonthCalendar(TComponent* AOwner) : TsPanel(AOwner), FDate(SysUtils::Date())
{
    SkinData()->COC = 59;
    SetBounds(Left(), Top(), 178, 139);
    SetBevelWidth(1);
    SetBorderWidth(3);
    SetCaption(" ");

    FDragBar = Create<TsDragBar>(this);
    FDragBar->SkinData()->SetSkinSection("DRAGBAR");
    FDragBar->SetColor(clActiveCaption);
    FDragBar->SetAlign(alTop);
    FDragBar->SetParent(this);
    FDragBar->OnDblClick = TNotifyEvent(this, &TsMonthCalendar::TitleDblClick);
    static const char* const captions[4] = {"<<", "<", ">", ">>"};
    for (int i = 0; i < 4; ++i) {
        auto* b = Create<TsTimerSpeedButton>(this);
        b->SkinData()->SetSkinSection("WEBBUTTON");
        b->SetFlat(true);
        b->SetCaption(captions[i]);
        b->SetWidth(18);
        b->SetAlign(i < 2 ? alLeft : alRight);
        b->Tag = i;
        b->OnClick = TNotifyEvent(this, &TsMonthCalendar::TitleButtonClick);
        FBtns[i] = b;
    }
    // "<<" then "<" from the left, ">" then ">>" towards the right edge.
    for (TsTimerSpeedButton* b : FBtns)
        b->SetParent(FDragBar);

    FGrid = Create<TsCalendGrid>(this);
    FGrid->SetParent(this);
    UpdateCalendar();
}

void TsMonthCalendar::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // Parts that go first while the calendar is freed.
    if (AComponent == FGrid)
        FGrid = nullptr;
    if (AComponent == FDragBar)
        FDragBar = nullptr;
    for (TsTimerSpeedButton*& b : FBtns)
        if (AComponent == b)
            b = nullptr;
}

void TsMonthCalendar::Change()
{
    if (OnChange)
        OnChange(this);
}

int TsMonthCalendar::FirstDay() const
{
    return FStartOfWeek == dowLocaleDefault ? FirstDayOfWeek : static_cast<int>(FStartOfWeek);
}

bool TsMonthCalendar::IsWeekend(int ACol, int) const
{
    return FWeekends.Contains(static_cast<TCalDayOfWeek>((FirstDay() + ACol) % 7));
}

AnsiString TsMonthCalendar::GetCellText(int ACol, int ARow) const
{
    if (ARow == 0)
        return ShortDayNames[(FirstDay() + ACol + 1) % 7];
    const int day = FMonthOffset + ACol + (ARow - 1) * 7;
    return day >= 1 && day <= DaysThisMonth() ? IntToStr(day) : AnsiString();
}

int TsMonthCalendar::DaysThisMonth() const { return DaysPerMonth(Year(), Month()); }

int TsMonthCalendar::GetDateElement(int Index) const
{
    Word y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return Index == 1 ? y : Index == 2 ? m : d;
}

void TsMonthCalendar::SetDateElement(int Index, int Value)
{
    if (Value < 1)
        return;
    int y = Year(), m = Month(), d = Day();
    switch (Index) {
    case 1:
        if (Value > LastYear)
            return; // no year past the last one
        y = Value;
        d = std::min(d, DaysPerMonth(y, m));
        break;
    case 2:
        if (Value > 12)
            return;
        m = Value;
        d = std::min(d, DaysPerMonth(y, m));
        break;
    case 3:
        if (Value > DaysThisMonth())
            return;
        d = Value;
        break;
    default: return;
    }
    FUseCurrentDate = false;
    // The day already shown (a click on an empty cell, an arrow towards one) is no change.
    if (EncodeDate(y, m, d) == FDate)
        return;
    FDate = EncodeDate(y, m, d);
    CalendarUpdate(Index == 3);
    Change();
}

void TsMonthCalendar::SetCalendarDate(TDateTime Value)
{
    if (Value == FDate)
        return;
    FDate = Value;
    UpdateCalendar();
    Change();
}

void TsMonthCalendar::ChangeMonth(int Delta)
{
    const int d = Day();
    const TDateTime edge = EncodeDate(Year(), Month(), Delta >= 1 ? DaysThisMonth() : 1) + Delta;
    if (!ValidDate(edge))
        return; // no month before the first or after the last
    Word y = 0, m = 0, unused = 0;
    DecodeDate(edge, y, m, unused);
    SetCalendarDate(EncodeDate(y, m, std::min(d, DaysPerMonth(y, m))));
}

void TsMonthCalendar::PrevYear()
{
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() - 1);
}

void TsMonthCalendar::NextYear()
{
    if (IsLeapYear(Year()) && Month() == 2 && Day() == 29)
        SetDay(28);
    SetYear(Year() + 1);
}

void TsMonthCalendar::CalendarUpdate(bool DayOnly)
{
    if (!FGrid || !FDragBar)
        return;
    FUpdating = true;
    try {
        const int first = DayOfWeek(EncodeDate(Year(), Month(), 1));
        FMonthOffset = 2 - ((first - (FirstDay() + 1) + 7) % 7);
        if (FMonthOffset == 2)
            FMonthOffset = -5;
        const int day = Day() - FMonthOffset;
        FGrid->MoveColRow(day % 7, day / 7 + 1, false);
        if (!DayOnly) {
            FDragBar->SetCaption(LongMonthNames[Month() - 1] + " " + IntToStr(Year()));
            FGrid->Invalidate();
        }
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TsMonthCalendar::SetStartOfWeek(TCalDayOfWeek Value)
{
    FStartOfWeek = Value;
    UpdateCalendar();
}

void TsMonthCalendar::SetWeekends(TDaysOfWeek Value)
{
    FWeekends = Value;
    UpdateCalendar();
}

void TsMonthCalendar::SetWeekendColor(TColor Value)
{
    FWeekendColor = Value;
    if (FGrid)
        FGrid->Invalidate();
}

void TsMonthCalendar::SetUseCurrentDate(bool Value)
{
    FUseCurrentDate = Value;
    if (Value) {
        FDate = SysUtils::Date();
        UpdateCalendar();
    }
}

void TsMonthCalendar::SetShowTitle(bool Value)
{
    FShowTitle = Value;
    if (!FDragBar)
        return;
    FDragBar->SetVisible(Value);
    FDragBar->SetParent(Value ? this : nullptr);
}

void TsMonthCalendar::TitleButtonClick(TObject* Sender)
{
    switch (static_cast<TComponent*>(Sender)->Tag) {
    case 0: PrevYear(); break;
    case 1: PrevMonth(); break;
    case 2: NextMonth(); break;
    default: NextYear(); break;
    }
}

void TsMonthCalendar::TitleDblClick(TObject*)
{
    if (!ReadOnly)
        SetCalendarDate(SysUtils::Date());
}

void TsMonthCalendar::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    if (Message.Msg == SM_SKINCMD && (Message.WParamHi == AC_REMOVESKIN || Message.WParamHi == AC_REPAINT) && FGrid &&
        FDragBar) {
        UpdateCalendar();
        FGrid->Repaint();
        FDragBar->Perform(Message.Msg, Message.WParam, Message.LParam);
    }
}
