// The framework's drive combo box: one item per drive of the drive service, with the picture of
// its kind and its volume text; the system's folder chooser, a common dialog of its own kind shown
// through the prompt service like the file dialogs, so that tests answer it
// (TScriptedPromptService::AnswerDialog) instead of a modal window.
#pragma once

#include <array>
#include <memory>

#include "Dialogs.h"
#include "DriveSeams.h"
#include "StdCtrls.h"

// The text of a drive's item: the lower-case letter and ":", then the volume label in brackets
// when the drive has a medium with a label. A removable drive is not asked (no floppy spins up).
AnsiString DriveItemText(char Letter, TDriveService& Service);

// Drives of the drive service, lower-case letters; Drive is the chosen one.
class TDriveComboBox : public TCustomComboBox {
    VCL_CLASS(TDriveComboBox, TCustomComboBox)
public:
    explicit TDriveComboBox(TComponent* AOwner);
    ~TDriveComboBox() override;

    // The chosen drive's letter (lower case; 0 without drives).
    char Drive() const { return FDrive; }
    // Chooses the drive of that letter (either case) and raises OnChange; a letter that names no
    // item is ignored.
    virtual void SetDrive(char Value);
    // The items anew from the drive service; the chosen drive stays when it is still there.
    void BuildList();
    // The picture of an item's drive kind (null when the kind has none, or for no item).
    TBitmap* DriveBitmap(int Index);

protected:
    void CreateWnd() override;
    void Click() override;
    // OnSelect only: OnChange follows a change of Drive.
    void Select() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

private:
    TBitmap* PictureOf(UINT DriveType);

    char FDrive = 0;
    // Pictures by GetDriveType's value, loaded on first use.
    std::array<std::unique_ptr<TBitmap>, DRIVE_RAMDISK + 1> FPictures;
};

// What the old-style folder dialog may do with a folder that does not exist (kept as settings).
enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TSet<TSelectDirOpt>;

class TSelectDirectoryDialog : public TCommonDialog {
    VCL_CLASS(TSelectDirectoryDialog, TCommonDialog)
public:
    using TCommonDialog::TCommonDialog;
    // The system's chooser of file-system folders below Root, Directory selected at the start;
    // on OK Directory is the path that reaches the chosen folder (ChosenPath). A folder no path
    // reaches is refused with a message, as if cancelled.
    bool DoExecute() override;

    // The text above the folders.
    AnsiString Caption;
    // The top of the folders shown: a path or a parsing name ("::{...}"); the desktop when empty
    // or when the shell cannot read it.
    AnsiString Root;
    AnsiString Directory;
};

// Shows the chooser; true and Directory the chosen folder when the user confirmed one.
bool SelectDirectory(const AnsiString& Caption, const AnsiString& Root, AnsiString& Directory);
