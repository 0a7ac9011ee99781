// The skinned open and save form that the file dialogs of sDialogs show while a skin is active:
// one folder of the shell namespace in a list, a folder box above it with Back (and its menu of
// visited folders), Up, new folder and view buttons, a file name box and a file type box below.
// OK checks the chosen name against the owner dialog's options before the form closes.
#pragma once

#include <memory>

#include "Dialogs.h"
#include "Forms.h"
#include "acShellCtrlsCombo.h"
#include "acShellCtrlsList.h"

class TMenuItem;
class TPopupMenu;
class TsButton;
class TsCheckBox;
class TsEdit;
class TsFilterComboBox;
class TsSkinProvider;
class TsSpeedButton;

class TsOpenDialogForm : public TForm {
    VCL_CLASS(TsOpenDialogForm, TForm)
public:
    explicit TsOpenDialogForm(TComponent* AOwner);
    ~TsOpenDialogForm() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsShellComboBox* DriveComboBox = nullptr;
    TsSpeedButton* BackBtn = nullptr;
    TsSpeedButton* UpBtn = nullptr;
    TsSpeedButton* CreateDirBtn = nullptr;
    TsSpeedButton* KindBtn = nullptr;
    TsDlgShellListView* FileListView = nullptr;
    TsEdit* FileNameEdit = nullptr;
    TsFilterComboBox* FileTypeBox = nullptr;
    TsButton* sButton1 = nullptr; // Open / Save
    TsButton* sButton2 = nullptr; // Cancel
    TsButton* BtnHelp = nullptr;
    TsCheckBox* CheckBoxReadOnly = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* List1 = nullptr;
    TMenuItem* Icons1 = nullptr;
    TMenuItem* Icons2 = nullptr;
    TMenuItem* Smallicons1 = nullptr;
    TPopupMenu* HistMenu = nullptr;

    // The chosen name the OK rules build; the dialog takes it as its FileName.
    AnsiString FileName;
    // The dialog that shows the form (not owned).
    TOpenDialog* OwnerDialog = nullptr;
    // The width of the file list when a picture dialog made room for its preview (0: as laid out).
    int FileAreaWidth = 0;
    // The folders visited, oldest first: the last one is the folder shown (null before the first).
    TStrings* History() const { return FHistory.get(); }

    // OK: a folder selected in the list opens; else the name is checked against the options and
    // the form closes with mrOk when it passes.
    void sButton1Click(TObject* Sender);
    void sButton2Click(TObject* Sender);
    void List1Click(TObject* Sender);
    void Icons1Click(TObject* Sender);
    void Icons2Click(TObject* Sender);
    void Smallicons1Click(TObject* Sender);
    void FileListViewChange(TObject* Sender, TListItem* Item, TItemChange Change);
    void FileListViewDblClick(TObject* Sender);
    void KindBtnClick(TObject* Sender);
    void UpBtnClick(TObject* Sender);
    // Back to the latest visited folder other than the one shown.
    void BackBtnClick(TObject* Sender);
    void CreateDirBtnClick(TObject* Sender);
    void BtnHelpClick(TObject* Sender);
    void DriveComboBoxChange(TObject* Sender);
    void FileTypeBoxChange(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    // The folder shown changed: history, Up and Back, the owner's OnFolderChange.
    void FolderChanged();
    // Records a visited folder: not while the form moves back or to a history entry, only an
    // existing folder, never the last one again.
    void AddPathToHistory(const AnsiString& Path);
    void AddNewHist(const AnsiString& Path);
    // Drops the last history entry and its menu item.
    void DeleteHistMenu();
    // A history entry from Back's menu: the form moves there; the history stays as it is.
    void OnHistClick(TObject* Sender);

private:
    // The list's messages pass here first: the colours of the rename box and of a selected row.
    void FileListWindowProc(TMessage& Message);
    TWndMethod FFileListProc;
    // Shows a folder in the box and the list; false when the folder cannot be shown.
    bool ShowFolder(const AnsiString& Path);
    std::unique_ptr<TStringList> FHistory;
    // What the selection put in the name box, the path of the one file row it names (empty for
    // several rows), and the names of the selected rows that no path reaches (one a line, quoted).
    AnsiString FSelectionText;
    AnsiString FPickedPath;
    AnsiString FUnreachable;
    // Set while the form itself moves back or to a history entry: nothing is recorded then.
    bool FNavigating = false;
};

// Gives a button the program's bitmap resource of that name as its glyph; a resource that is
// missing or cannot be read leaves the button without one.
void LoadResourceGlyph(TsSpeedButton* Button, const char* Resource);

// A plain open dialog class of the unit.
class TsSkinOpenDialog : public TOpenDialog {
    VCL_CLASS(TsSkinOpenDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;
};
