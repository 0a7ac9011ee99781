// Skinned dialogs: the open, colour and font dialogs and the skinned message and input boxes. The
// boxes are forms built at run time with a skin provider of section "DIALOG"; with no skin active
// they show the plain look.
// While a test has put a prompt service of its own in place (TPromptServiceGuard), the boxes ask it
// instead of opening a window, like the framework's boxes do.
#pragma once

#include <array>
#include <initializer_list>
#include <memory>

#include "Dialogs.h"
#include "ExtDlgs.h"
#include "Forms.h"
#include "SysUtils.h"

class TsSkinProvider;

// The file dialogs: while a skin is active Execute shows the skinned open form (sOpenDialog) and
// copies the options in and the results back; otherwise the system's dialog. The picture dialogs'
// form shows the selected picture beside the list.
class TsSaveDialog : public TSaveDialog {
    VCL_CLASS(TsSaveDialog, TSaveDialog)
public:
    using TSaveDialog::TSaveDialog;
    bool Execute() override;
};

class TsOpenPictureDialog : public TOpenPictureDialog {
    VCL_CLASS(TsOpenPictureDialog, TOpenPictureDialog)
public:
    using TOpenPictureDialog::TOpenPictureDialog;
    bool Execute() override;
    // The picture of the selected file into the preview: its size in the label, the preview
    // button enabled; "Picture:" and an empty picture when it cannot be read.
    void DoSelectionChange() override;
    // The picture at its size in a form of its own (Esc closes it).
    void PreviewClick(TObject* Sender);
    void PreviewKeyPress(TObject* Sender, char& Key);
    // "(None)" without a picture; a picture that fits centred at its size, a larger one scaled
    // down keeping its proportions from the top-left corner.
    void PaintBoxPaint(TObject* Sender);
};

class TsSavePictureDialog : public TSavePictureDialog {
    VCL_CLASS(TsSavePictureDialog, TSavePictureDialog)
public:
    using TSavePictureDialog::TSavePictureDialog;
    bool Execute() override;
    void DoSelectionChange() override;
    void PreviewClick(TObject* Sender);
    void PreviewKeyPress(TObject* Sender, char& Key);
    void PaintBoxPaint(TObject* Sender);
};

namespace sDialogs {
// The preview's texts, resource strings of the program: the label without a picture, the size
// after it (" (%dx%d)"), the paint box without a picture, the preview's hint and title.
extern AnsiString PictureLabelText, PictureSizeFormat, NoPictureText, PreviewText;
// The font form's warning on OK with a size that is none (%d: the smallest and the largest size).
extern AnsiString FontSizeText;
// The open form's texts, resource strings of the program as well. A title left empty is the
// system's own title of the dialog. The messages follow the name and a line break.
struct TOpenFormTexts {
    AnsiString OpenTitle, SaveTitle;
    AnsiString Folder = "Folder", FileName = "File name :  ", FileType = "Files type :  ";
    AnsiString Open = "Open", Save = "Save", Cancel = "Cancel", Help = "Help", ReadOnly = "Read only";
    AnsiString Back = "Back", Up = "Up one level", NewFolder = "New directory", View = "View style";
    AnsiString List = "List", Report = "Report", Icons = "Icons", SmallIcons = "Small icons";
    AnsiString Overwrite = "File exists. Overwrite?", PathNotFound = "Path not found";
    AnsiString FileNotFound = "File not found", CreatePrompt = "File not found. Create?";
    // A chosen entry that no path in the program's code page reaches, one that would be handed on
    // under another name, and a name that stands for a device.
    AnsiString Unreachable = "No path in this program's code page reaches it.";
    AnsiString NameNotCarried = "No path in this program's code page carries the name.";
    AnsiString DeviceName = "The name is a device's, not a file's";
    // The file list's messages. Cannot: what could not be done (%s: one of the actions with its
    // names); Failure: that and the reason; CannotInto: an action, an entry and a folder.
    AnsiString Cannot = "Cannot %s", Failure = "Cannot %s. %s", CannotInto = "Cannot %s \"%s\" into \"%s\"";
    AnsiString IntoItself = "a folder cannot go into itself", AlreadyThere = "it is in that folder already";
    AnsiString DeleteAction = "delete", CopyAction = "copy", MoveAction = "move", SendAction = "send";
    AnsiString PasteAction = "paste", RenameAction = "rename", MakeFolderAction = "make a folder";
    AnsiString RenameTo = "rename \"%s\" to \"%s\"", MakeFolderNamed = "make the folder \"%s\"";
    AnsiString SetAttributesOf = "set the attributes of \"%s\"", InFolder = "%s in \"%s\"";
    AnsiString TooLarge = "\"%s\" is too large for the clipboard";
    // After a failed rename whose entry could not get its name back: where it is now.
    AnsiString NowNamed = "It is now named \"%s\".";
    // The file list's other messages: nothing cut or copied to paste, a read-only entry to rename,
    // a name with a character no name holds, a name taken (%s: the name), a file that would not
    // open (%s: its path), a character that names no drive, a drive without a medium (%s: its
    // letter, twice); the prompt for a folder to send to (caption, text), the folder chooser's title.
    AnsiString NothingToPaste = "No file(s) selected", ReadOnlyEntry = "It's ReadOnly";
    AnsiString InvalidChars = "A file name can't contain any of the following characters:\r\n\\ / : * ? \" < > |";
    AnsiString NameTaken = "\"%s\" already exists", CannotOpen = "Cannot open \"%s\"";
    AnsiString InvalidDrive = "Not a valid Drive ID", NoDisk = "There is no disk in Drive %s\ror Drive %s: is not ready";
    AnsiString SendToCaption = "Send to any folder", SendToPrompt = "Please enter the send_to path";
    AnsiString BrowseTitle = "Please specify a directory";
    // The reasons of a failed file operation, by what the shell answered.
    AnsiString NotFoundReason = "The file or folder does not exist", DeniedReason = "Access is denied";
    AnsiString InUseReason = "The file is in use by another program";
    AnsiString ExistsReason = "An entry of that name exists already";
    AnsiString SameReason = "The source and the target are the same";
    AnsiString InsideReason = "The target folder lies inside the source";
    AnsiString TooLongReason = "The name or the path is too long";
    AnsiString InvalidNameReason = "The name is not valid", DiskFullReason = "The disk is full";
    AnsiString CancelledReason = "The operation was cancelled", UnknownReason = "Unknown error (code %d)";
    // The list's columns in its report style, and its texts of types and sizes (see TacColumnTexts).
    AnsiString NameColumn = "Name", SizeColumn = "Size", TypeColumn = "Type", ModifiedColumn = "Modified";
    AnsiString AttributesColumn = "Attributes", FolderType = "Folder", PlainFileType = "File";
    AnsiString ExtensionType = "%s File", SizeKB = "%s KB";
};
extern TOpenFormTexts OpenFormTexts;
// Where the paint box draws a picture of Width x Height in Client: centred at its size when it
// fits, else scaled into Client from its top-left corner keeping its proportions.
TRect PicturePreviewRect(const TRect& Client, int Width, int Height);
} // namespace sDialogs

class TsOpenDialog : public TOpenDialog {
    VCL_CLASS(TsOpenDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

// The colour dialog: while a skin is active Execute shows the skinned form (sColorDialog),
// otherwise the system's dialog. Both read and write CustomColors in the system dialog's lines
// (CustomColorLine); the form writes them back on Cancel too, and Color only on OK.
class TsColorDialog : public TColorDialog {
    VCL_CLASS(TsColorDialog, TColorDialog)
public:
    explicit TsColorDialog(TComponent* AOwner);
    ~TsColorDialog() override;
    bool Execute() override;

    // The main palette's colours, one hexadecimal line each (none: the form's own 48).
    TStrings* MainColors() const { return FMainColors.get(); }
    void SetMainColors(TStrings* Value);

private:
    std::unique_ptr<TStringList> FMainColors;
};

// The font dialog: while a skin is active Execute shows the skinned font form (sFontDialog),
// starting from Font and giving the chosen font back on OK; otherwise the system's dialog.
class TsFontDialog : public TFontDialog {
    VCL_CLASS(TsFontDialog, TFontDialog)
public:
    using TFontDialog::TFontDialog;
    bool Execute() override;
};

// The folder chooser: while a skin is active Execute shows the skinned path dialog form
// (acPathDialog), otherwise the system's chooser. It starts at Path, or at the program's folder
// when Path is no existing folder, and makes that the current folder unless NoChangeDir; Path
// changes only when OK confirms an existing folder.
class TsPathDialog : public TComponent {
    VCL_CLASS(TsPathDialog, TComponent)
public:
    using TComponent::TComponent;
    // True when the user pressed OK.
    bool Execute();

    AnsiString Path;
    // The top of the folders shown: a root kind's name ("rfDesktop", "rfMyComputer"...) or a path.
    AnsiString Root = "rfDesktop";
    // The text above the folders.
    AnsiString Caption;
    bool NoChangeDir = false;
};

// The form of a message or input box: the system's message font, the frame of the program's
// dialogs and its own skin provider.
class TsMessageForm : public TForm {
    VCL_CLASS(TsMessageForm, TForm)
public:
    explicit TsMessageForm(TComponent* AOwner);
    void AfterConstruction() override;

    TsSkinProvider* Provider() const { return FProvider; }
    // Asks the application for the help topic HelpContext (of HelpFile when one is given).
    void HelpButtonClick(TObject* Sender);

    int HelpContext = 0;
    AnsiString HelpFile;
    // False for a box without an answer for "cancel" (Yes/No, Abort/Retry/Ignore): its title's
    // close button and Alt+F4 do nothing, as the system's box greys them.
    bool Closable = true;

protected:
    void WndProc(TMessage& Message) override;

private:
    TsSkinProvider* FProvider = nullptr; // owned by the form
};

namespace sDialogs {
// The texts of the boxes, resource strings of the program: the titles by TMsgDlgType (none for
// mtCustom, which shows the application's title) and the button captions by TMsgDlgBtn, the
// input box's OK and Cancel included. English until the application puts its own language in.
extern std::array<AnsiString, mtCustom + 1> Captions;
extern std::array<AnsiString, mbHelp + 1> ButtonCaptions;
} // namespace sDialogs

// Builds the box (icon, word-wrapped text, buttons), not shown; the caller owns it.
TsMessageForm* sCreateMessageDialog(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType DlgType,
                                    TMsgDlgButtons Buttons);

// Each shows a box modally and answers the modal result of the pressed button (mrYes = 6 ...).
// An empty title gives the type's caption (the application's title for mtCustom); X or Y < 0
// keeps the box centred on that axis. A Help button shows only where the application has help for
// HelpCtx (Application->HelpAvailable).
TModalResult sMessageDlgPosHelp(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType DlgType,
                                TMsgDlgButtons Buttons, int HelpCtx, int X, int Y, const AnsiString& HelpFileName);
TModalResult sMessageDlg(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx);
TModalResult sMessageDlg(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons,
                         int HelpCtx);
TModalResult sMessageDlgPos(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx, int X,
                            int Y);
TModalResult sMessageDlgPos(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);

// The application's message box (MB_ flags; answers IDOK, IDYES, ...): the skinned box while a skin
// is active, the system's otherwise; a test's prompt service answers instead of either. The skinned
// box keeps the system box's promises: its buttons in the system's order, the default one of
// MB_DEFBUTTON1..3 (the first where the box has fewer), Esc and the close button answering
// IDCANCEL only where the box has a Cancel button (IDOK in a box of OK alone) and doing nothing
// otherwise. A box asking what the skinned box cannot show (another button set, a help button, a
// user icon, right-to-left reading, the foreground, topmost or system-modal, a service's box) is
// the system's.
int sMessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);
// The skinned box of sMessageBox, built for the flags and not shown (the caller owns it); null for
// flags that only the system's box shows.
TsMessageForm* sCreateMessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags);

void sShowMessage(const AnsiString& Msg);
void sShowMessage(const AnsiString& Title, const AnsiString& Msg);
void sShowMessageFmt(const AnsiString& Msg, std::initializer_list<TVarRec> Params);
void sShowMessageFmt(const AnsiString& Title, const AnsiString& Msg, std::initializer_list<TVarRec> Params);
void sShowMessagePos(const AnsiString& Msg, int X, int Y);
void sShowMessagePos(const AnsiString& Title, const AnsiString& Msg, int X, int Y);

// The input box: true and Value replaced when OK was pressed, else Value as it was.
bool sInputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value);
// ADefault, or the entered text when OK was pressed.
AnsiString sInputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault);

// String number Ident of the system's common-dialog library; empty when it cannot be read.
AnsiString LoadDlg32Msg(int Ident);
