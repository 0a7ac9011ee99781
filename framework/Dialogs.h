// The framework's Dialogs unit: message and input boxes, the common file, colour and font dialogs,
// and the one replaceable prompt service through which every one of them is shown, so that tests
// can script the answers and read the texts that would have been shown.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>


enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of message-box buttons: TMsgDlgButtons{mbYes, mbNo}, TMsgDlgButtons() << mbOK, or one button.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(TMsgDlgBtn b) : bits_(1u << b) {}
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> list)
    {
        for (TMsgDlgBtn b : list)
            bits_ |= 1u << b;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (bits_ >> b) & 1u; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TMsgDlgButtons& operator<<(TMsgDlgBtn b)
    {
        bits_ |= 1u << b;
        return *this;
    }
    constexpr TMsgDlgButtons& operator>>(TMsgDlgBtn b)
    {
        bits_ &= ~(1u << b);
        return *this;
    }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;
    constexpr unsigned Bits() const { return bits_; }

private:
    unsigned bits_ = 0;
};

// The stored English texts of the boxes ("Warning", "&Yes", ...) and the modal result of a button.
AnsiString MsgDlgTypeCaption(TMsgDlgType type);
AnsiString MsgDlgButtonCaption(TMsgDlgBtn button);
AnsiString MsgDlgButtonName(TMsgDlgBtn button);
TModalResult MsgDlgButtonResult(TMsgDlgBtn button);
// The system icon of a box of the type (IDI_QUESTION ...); null for mtCustom.
LPCSTR MsgDlgIcon(TMsgDlgType type);
// The default button (OK, else Yes, else Retry) and the cancel button (Cancel, else No, else OK)
// of a set; -1 when the set has none.
int MsgDlgDefaultButton(TMsgDlgButtons buttons);
int MsgDlgCancelButton(TMsgDlgButtons buttons);
// The title a message box shows: Title when not empty, else the type's caption, and for mtCustom
// the application's title.
AnsiString MsgDlgTitle(const AnsiString& title, TMsgDlgType type);
// The application's title (the program's file name without extension until one is set).
AnsiString ApplicationTitle();

// --- Common dialogs ---------------------------------------------------------------------------

// Base of the system's common dialogs. Execute shows the dialog through the prompt service and
// answers whether the user confirmed it; DoExecute is the real system dialog.
class TCommonDialog : public TComponent {
    VCL_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute();
    virtual bool DoExecute() = 0;
    int HelpContext = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
};

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

// The system's open dialog. Filter is "Text files|*.txt|All files|*.*"; FilterIndex counts from 1.
// After Execute, FileName is the full path of the (first) chosen file and Files holds every
// chosen file's full path, each the path that reaches that very entry (ChosenPath); a choice with
// a name no path carries is refused with a message, as if cancelled.
class TOpenDialog : public TCommonDialog {
    VCL_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool DoExecute() override;

    AnsiString DefaultExt;
    AnsiString FileName;
    TStrings* Files() const { return FFiles.get(); }
    AnsiString Filter;
    int FilterIndex = 1;
    AnsiString InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    AnsiString Title;

    // The events of a dialog that tells them (the skinned form): the selected file changed (the
    // sender the dialog), the folder shown and the chosen filter changed, the dialog is to close
    // (the sender the form; OnCanClose may keep it open).
    virtual void DoSelectionChange();
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnTypeChange;
    TMethod<void(TObject* Sender, bool& CanClose)> OnCanClose;

protected:
    // Shows the open (or, for the save dialog, the save) system dialog.
    bool RunFileDialog(bool save);

private:
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
    VCL_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    bool DoExecute() override;
};

// Refuses a path a system dialog handed back that no path in the code page reaches (see
// ChosenPath): the application's error box tells it (UnreachableChoiceText).
void ShowUnreachableChoice(const std::wstring& Path);

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

// One line of a colour dialog's CustomColors: "ColorA=BBGGRR" .. "ColorP=..." for the slots 0 to
// 15, the colour as 6 hexadecimal digits of its TColor value. Reading answers false for any
// other line (slot, name or number).
AnsiString CustomColorLine(int Index, TColor Color);
bool ReadCustomColorLine(const AnsiString& Line, int& Index, TColor& Color);

// The system's colour dialog. CustomColors holds lines of CustomColorLine that fill the sixteen
// custom colours and are updated afterwards.
class TColorDialog : public TCommonDialog {
    VCL_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    bool DoExecute() override;

    TColor Color = clBlack;
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    TColorDialogOptions Options;

private:
    std::unique_ptr<TStringList> FCustomColors;
};

enum TFontDialogOption {
    fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
    fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
    fdScalableOnly, fdApplyButton
};
using TFontDialogOptions = TSet<TFontDialogOption>;

// The system's font dialog; Font (owned) is the initial and the chosen font.
class TFontDialog : public TCommonDialog {
    VCL_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool DoExecute() override;

    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    int MinFontSize = 0;
    int MaxFontSize = 0;
    TFontDialogOptions Options{fdEffects};

private:
    std::unique_ptr<TFont> font_;
};

// Everything that shows a prompt goes through the current prompt service. The default service
// shows real modal windows; tests install a scripted one.
class IPromptService {
public:
    virtual ~IPromptService() = default;
    // Win32 message box flags (MB_*); answers IDOK, IDYES, ...
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) = 0;
    // A message dialog; Title empty means the type's caption. X or Y < 0: centred on that axis.
    virtual TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                    TMsgDlgButtons buttons, int helpCtx, int x, int y) = 0;
    // An input box; true and value replaced when OK was pressed.
    virtual bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) = 0;
    // A common dialog (open, save, colour, font); true when the user confirmed it.
    virtual bool ExecuteDialog(TCommonDialog& dialog) = 0;
};

// The real modal windows: forms built at run time, the system message box and common dialogs.
class TSystemPromptService : public IPromptService {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override;
    TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                            TMsgDlgButtons buttons, int helpCtx, int x, int y) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) override;
    bool ExecuteDialog(TCommonDialog& dialog) override;
};

// The service in use (the system one unless a guard installed another).
IPromptService& PromptService();

// Installs a prompt service for its lifetime and restores the previous one.
class TPromptServiceGuard {
public:
    explicit TPromptServiceGuard(IPromptService& service);
    ~TPromptServiceGuard();
    TPromptServiceGuard(const TPromptServiceGuard&) = delete;
    TPromptServiceGuard& operator=(const TPromptServiceGuard&) = delete;

private:
    IPromptService* previous_;
};

// A service for tests: records every prompt that would have been shown and answers from a queue.
// An unanswered prompt returns 0 / false and is counted in Unanswered.
class TScriptedPromptService : public IPromptService {
public:
    enum TKind { pkMessageBox, pkMessageDlg, pkInputQuery, pkDialog };
    struct TRecord {
        TKind Kind = pkMessageBox;
        AnsiString Caption;      // the title bar text that would have been shown
        AnsiString Text;         // message or prompt
        TMsgDlgType DlgType = mtCustom;
        TMsgDlgButtons Buttons;
        UINT Flags = 0;          // MessageBox flags
        int HelpCtx = 0;
        AnsiString Value;        // the input box's value on entry
        AnsiString DialogClass;  // class name of a common dialog
    };
    struct TAnswer {
        int Result = 0;                                  // IDxxx, mrXxx, or non-zero for true
        AnsiString Value;                                // new value of an input box
        std::function<void(TCommonDialog&)> FillDialog; // sets the results of a common dialog
    };

    // Queues answers, used in order.
    void Answer(int result) { Answers.push_back(TAnswer{result, {}, {}}); }
    void AnswerInput(const AnsiString& value) { Answers.push_back(TAnswer{1, value, {}}); }
    void CancelInput() { Answers.push_back(TAnswer{0, {}, {}}); }
    void AnswerDialog(bool ok, std::function<void(TCommonDialog&)> fill = {})
    {
        Answers.push_back(TAnswer{ok ? 1 : 0, {}, std::move(fill)});
    }

    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override;
    TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                            TMsgDlgButtons buttons, int helpCtx, int x, int y) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) override;
    bool ExecuteDialog(TCommonDialog& dialog) override;

    std::vector<TRecord> Shown;
    std::deque<TAnswer> Answers;
    int Unanswered = 0;

private:
    TAnswer Next();
};

// --- Dialog functions -------------------------------------------------------------------------

class TForm;
// Builds the form of a message box (icon, text and buttons, titled by the type), not shown;
// the caller owns it. Its ShowModal answers the modal result of the pressed button.
TForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

TModalResult MessageDlg(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx);
TModalResult MessageDlgPos(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                           int y);
void ShowMessage(const AnsiString& msg);
void ShowMessagePos(const AnsiString& msg, int x, int y);
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue);

// The real windows behind the system service (they do not consult the prompt service).
int ShowSystemMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);
TModalResult ShowSystemMessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                  TMsgDlgButtons buttons, int helpCtx, int x, int y);
bool ShowSystemInputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
