// The date edit: a combo edit whose mask keeps a date in the locale's order, whose button drops the
// pop-up calendar down, whose keys step the date, and which keeps a date within its minimum and
// maximum. TsDateEdit is its published form. The file and folder edits: combo edits whose button
// picks a file (the open or save dialog) or a folder (the folder chooser), and which take files
// dropped from the shell.
#pragma once

#include <memory>

#include "Dialogs.h"
#include "FileCtrl.h"
#include "Forms.h"
#include "ShellDrop.h"
#include "sCustomComboEdit.h"
#include "sDateUtils.h"
#include "sMonthCalendar.h"

enum TYearDigits { dyDefault, dyFour, dyTwo };
using TOnAcceptDate = TMethod<void(TObject* Sender, TDateTime& ADate, bool& Action)>;

class TsCustomDateEdit : public TsCustomComboEdit {
    VCL_CLASS(TsCustomDateEdit, TsCustomComboEdit)
public:
    explicit TsCustomDateEdit(TComponent* AOwner);
    ~TsCustomDateEdit() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    AnsiString DialogTitle = "Date select";
    TOnAcceptDate OnAcceptDate;
    // An empty or invalid date reads as today.
    bool DefaultToday = false;
    // Leaving the edit checks the date ("Invalid Date", the focus kept in the edit) and keeps it
    // within MinDate and MaxDate.
    bool CheckOnExit = false;
    char BlanksChar() const { return FBlanksChar; }
    // A character below ' ' is taken as ' '.
    void SetBlanksChar(char Value);
    // The hints of the calendar's "<<", "<", ">" and ">>" buttons (four lines at most).
    TStrings* CalendarHints() const { return FCalendarHints.get(); }
    void SetCalendarHints(TStrings* Value);
    TCalDayOfWeek StartOfWeek() const { return FStartOfWeek; }
    void SetStartOfWeek(TCalDayOfWeek Value);
    TDaysOfWeek Weekends() const { return FWeekends; }
    void SetWeekends(TDaysOfWeek Value);
    TColor WeekendColor() const { return FWeekendColor; }
    void SetWeekendColor(TColor Value);
    TYearDigits YearDigits() const { return FYearDigits; }
    void SetYearDigits(TYearDigits Value);
    // 0: no bound. A bound that would cross the other one is refused.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    TGetCellParams OnGetCellParams;

    // The date of the text (NullDate, or today with DefaultToday, when it holds none).
    TDateTime Date();
    // Shows the date in the format in use; NullDate (or an invalid date) empties the edit.
    void SetDate(TDateTime Value);
    // The format in use ("DD/MM/YYYY" and the like).
    const AnsiString& DateFormat() const { return FDateFormat; }
    bool FourDigitYear() const;
    AnsiString GetDateMask() const;
    void UpdateFormat();
    // SetDate and all selected.
    virtual void ApplyDate(TDateTime Value);
    // The mask again for the locale's order and separator, keeping the date (a half-typed or
    // impossible one keeps its characters).
    virtual void UpdateMask();
    // Whether the mask, the format or the separator shown differ from what the locale and the
    // year digits ask for now.
    bool DateSettingsChanged();
    // The text holds more than blanks and date separators.
    bool TextStored();
    // With a date typed: it is read (an impossible one raises "Invalid Date"); true.
    bool CheckValidDate();
    void PopupWindowShow() override;

    // A date of Text by Format; EConvertError "Invalid Date" when it is none.
    static TDateTime StrToDateFmt(const AnsiString& Format, const AnsiString& Text);
    // Default (to the whole day) when Text is no date.
    static TDateTime StrToDateFmtDef(const AnsiString& Format, const AnsiString& Text, TDateTime Default);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;

private:
    void UpdatePopup();
    void HintsChanged(TObject* Sender);
    bool FormatSettingsChange(TMessage& Message);
    void HookFormatSettings(bool On);

    bool FHooked = false;
    char FBlanksChar = ' ';
    std::unique_ptr<TStringList> FCalendarHints;
    TCalDayOfWeek FStartOfWeek = dowLocaleDefault;
    TDaysOfWeek FWeekends{dowSunday};
    TColor FWeekendColor = clRed;
    TYearDigits FYearDigits = dyFour;
    AnsiString FDateFormat;
    bool FFormatting = false;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
};

class TsDateEdit : public TsCustomDateEdit {
    VCL_CLASS(TsDateEdit, TsCustomDateEdit)
public:
    explicit TsDateEdit(TComponent* AOwner);
};

// Every date edit of every form takes the locale's date settings again.
void DateFormatChanged();

// --- File and folder edits ---------------------------------------------------------------------

// The base of the file and folder edits: files dropped from the shell while AcceptFiles is on (the
// setting holds for every window the edit makes). A drop takes the first name, or every name
// when the edit takes several; a name of MAX_PATH characters or more is refused with a message
// instead of being cut short.
class TsFileDirEdit : public TsCustomComboEdit {
    VCL_CLASS(TsFileDirEdit, TsCustomComboEdit)
public:
    explicit TsFileDirEdit(TComponent* AOwner);
    void AfterConstruction() override;

    bool AcceptFiles() const { return FDrop.Accept(); }
    void SetAcceptFiles(bool Value) { FDrop.SetAccept(Value); }
    // After the dropped names were taken.
    TNotifyEvent OnDropFiles;

    // The text with long or short (8.3) names.
    virtual AnsiString GetLongName() = 0;
    virtual AnsiString GetShortName() = 0;
    // Takes one dropped name.
    virtual void ReceptFileDir(const AnsiString& AFileName) = 0;
    // Forgets the names taken before (a drop starts with it).
    virtual void ClearFileList() {}

protected:
    void CreateParams(TCreateParams& Params) override;
    // Whether a drop takes every name.
    bool Multiple() const { return FDrop.Multiple; }
    void SetMultiple(bool Value) { FDrop.Multiple = Value; }

private:
    void FilesDropped(const std::vector<AnsiString>& Files);
    TFileDropHook FDrop;
};

enum TFileDialogKind { dkOpen, dkSave };

// The file name edit: its button opens the open or save dialog (the skinned form while a skin is
// active) at the text's file; the chosen file becomes the text. With multi-selection the dialog's
// Files hold every chosen or dropped name.
class TsFilenameEdit : public TsFileDirEdit {
    VCL_CLASS(TsFilenameEdit, TsFileDirEdit)
public:
    explicit TsFilenameEdit(TComponent* AOwner);

    // The dialog (owned; made again when the kind changes, keeping its settings).
    TOpenDialog* Dialog() const { return FDialog; }
    TFileDialogKind DialogKind() const { return FDialogKind; }
    void SetDialogKind(TFileDialogKind Value);
    AnsiString DefaultExt() const { return FDialog->DefaultExt; }
    void SetDefaultExt(const AnsiString& Value) { FDialog->DefaultExt = Value; }
    AnsiString Filter() const { return FDialog->Filter; }
    void SetFilter(const AnsiString& Value) { FDialog->Filter = Value; }
    int FilterIndex() const { return FDialog->FilterIndex; }
    void SetFilterIndex(int Value) { FDialog->FilterIndex = Value; }
    AnsiString InitialDir() const { return FDialog->InitialDir; }
    void SetInitialDir(const AnsiString& Value) { FDialog->InitialDir = Value; }
    TOpenOptions DialogOptions() const { return FDialog->Options; }
    // Multi-selection (ofAllowMultiSelect) lets drops take every name; without it the files
    // list is emptied.
    void SetDialogOptions(TOpenOptions Value);
    AnsiString DialogTitle() const { return FDialog->Title; }
    void SetDialogTitle(const AnsiString& Value) { FDialog->Title = Value; }
    TStrings* DialogFiles() const { return FDialog->Files(); }

    AnsiString FileName() { return Text(); }
    // A name that is not a valid file name raises "Invalid file name"; the files list is emptied.
    void SetFileName(const AnsiString& Value);

    void ButtonClick() override;
    AnsiString GetLongName() override;
    AnsiString GetShortName() override;
    void ReceptFileDir(const AnsiString& AFileName) override;
    void ClearFileList() override;

private:
    void CreateEditDialog();
    TOpenDialog* FDialog = nullptr; // owned by the edit
    TFileDialogKind FDialogKind = dkOpen;
};

// The folder edit: its button opens the folder chooser (the skinned path dialog while a skin is
// active) at the text's folder, or InitialDir's. With MultipleDirs the text is a list of folders
// separated by ";", and a chosen or dropped folder is added to it.
class TsDirectoryEdit : public TsFileDirEdit {
    VCL_CLASS(TsDirectoryEdit, TsFileDirEdit)
public:
    explicit TsDirectoryEdit(TComponent* AOwner);

    TSelectDirOpts DialogOptions{sdAllowCreate, sdPerformCreate, sdPrompt};
    AnsiString InitialDir;
    // The top of the folders shown: a root kind's name or a path.
    AnsiString Root = "rfDesktop";
    // The chooser's start folder is not made the current folder.
    bool NoChangeDir = false;
    bool MultipleDirs() const { return Multiple(); }
    void SetMultipleDirs(bool Value) { SetMultiple(Value); }

    void ButtonClick() override;
    AnsiString GetLongName() override;
    AnsiString GetShortName() override;
    // The folder of an existing file, else the name itself.
    void ReceptFileDir(const AnsiString& AFileName) override;

private:
    // The text takes a folder: appended after ";" with MultipleDirs and a text, else in its place.
    void AddFolder(const AnsiString& Folder);
};
