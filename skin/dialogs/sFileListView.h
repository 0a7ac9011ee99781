// The file list view: a small file manager in a skinned list view, its pop-up menu and the file and
// drive utilities they share. The view shows the drives of the machine (an empty Directory) or the
// content of one folder in report style, and opens, views, cuts, copies, pastes, renames, deletes,
// sets attributes, makes folders and sends files on through its keys and its menu. Files are
// changed through the shell's file operations (ShellSeams), drives are asked through DriveSeams,
// and every message is a skinned box. The ".." row stands for the parent folder only as a way up:
// no file operation ever gets it.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Menus.h"
#include "sListView.h"

class TacShellFolder;

class TForm;
class TsFileListView;

// --- Utilities ----------------------------------------------------------------------------------

// ShellExecuteA (through the shell service) with the application's window; a start that fails shows
// the error box OpenFormTexts.CannotOpen with FileName. Answers the instance value (above 32 on
// success).
INT_PTR ExecuteFile(const AnsiString& Operation, const AnsiString& FileName, const AnsiString& Params,
                    const AnsiString& DefaultDir, int ShowCmd);
// SHFileOperationA (through the shell service) with FOF_ALLOWUNDO and FOF_NOERRORUI: Src and Dest
// are lists of names, each ended by a NUL. Answers true when the call succeeded and nothing was
// aborted; Aborted tells whether the user cancelled, Error (when given) the shell's result. A copy,
// move or rename without a target is refused (false, ERROR_INVALID_PARAMETER).
bool DoSHFileOp(HWND Handle, UINT Op, const AnsiString& Src, const AnsiString& Dest, bool& Aborted,
                int* Error = nullptr);
// The reason of a failed shell file operation in the program's words (OpenFormTexts), by the
// shell's result (its own codes, or a system error code it passed on).
AnsiString FileOperationReason(int Result);
// The error box of a failed operation: "Cannot <What>. <Reason>" (OpenFormTexts.Failure).
void ShowFileFailure(const AnsiString& What, const AnsiString& Reason);
// The characters a file name cannot hold.
extern const char InvalidNameChars[];
// Renames a shell item from the name shown, OldName, to NewName, or tells why not: a character no
// name holds, a device's name, the system's refusal with its reason. True when renamed; a blank
// name renames nothing.
bool RenameShellItem(TacShellFolder* Item, const AnsiString& OldName, const AnsiString& NewName);
// S with a NUL appended unless it ends in one; "" stays "".
AnsiString AddNullToStr(const AnsiString& S);
// Whether any character of Str1 occurs in Str2.
bool StrContains(const AnsiString& Str1, const AnsiString& Str2);
// The system's folder chooser (SelectDirectory, titled OpenFormTexts.BrowseTitle); true and Dir
// (the path that reaches the folder, with a trailing backslash) when a folder was chosen.
bool BrowseForDir(HWND Handle, AnsiString& Dir);
// The 1-based position of the N-th C in S; 2147483647 when there is none.
int numpos(char C, const AnsiString& S, int N);
// How often C occurs in S.
int GetCount(char C, const AnsiString& S);
// Total and free size in KB of the drive named by Root's first character; -1 for no drive, no medium
// or an empty Root.
Int64 GetDiskSize(const AnsiString& Root);
Int64 GetFreeDiskSize(const AnsiString& Root);
// Whether the drive has a medium. A character that names no drive shows OpenFormTexts.InvalidDrive
// and answers false; a drive without a medium answers false, with ShowMsg after a beep and the
// warning OpenFormTexts.NoDisk.
bool DiskinDrive(char Drive, bool ShowMsg);
// AddSlash(Path) + FName, "" when either is empty.
AnsiString SlashSep(const AnsiString& Path, const AnsiString& FName);
// S ending in a backslash ("" stays ""); S without one trailing backslash.
AnsiString AddSlash(const AnsiString& S);
AnsiString DelSlash(const AnsiString& S);
// A file time as local date and time in DFormat + " " + TFormat (FormatDateTime), "" outside
// 1980..2099 or when it cannot be converted.
AnsiString FileTimeToDateTimeStr(const FILETIME& FTime, const AnsiString& DFormat, const AnsiString& TFormat);
// The same time as a value; false where FileTimeToDateTimeStr gives "".
bool FileTimeToDateTime(const FILETIME& FTime, TDateTime& Value);
// Whether something of that name exists; if so the error box OpenFormTexts.NameTaken with its name.
bool FileDirExist(const AnsiString& Name);
// The small system icon of a path (closed / open), -1 when the shell has none.
int GetNormalIcon(const AnsiString& Path);
int GetSelectedIcon(const AnsiString& Path);
// "<KB> KB" (sizes 1 to 1023 count as one KB); " " for a folder (FType "dir" in any case).
AnsiString ConvertSize(Int64 FSize, const AnsiString& FType);
// "Unknown", "Not exist", "Removable Disk", "Fixed Disk", "Network Disk", "CD-ROM Disk", "RAM Disk"
// by GetDriveTypeA's value.
AnsiString DriveTypeName(UINT Type);
// A special folder of the user (CSIDL_SENDTO...), through the replaceable special folders.
bool GetSpecialFolderPath(HWND Handle, int CSIDL, AnsiString& Path);
// The path that reaches the target of a shell link (see ChosenPath); false when it cannot be read
// or resolved, or no path reaches the target.
bool ResolveShortcut(HWND Handle, const AnsiString& LinkFile, AnsiString& Target);

// --- The pop-up menu ----------------------------------------------------------------------------

// The menu of the file list, built in code: Open, View, Send To (any folder, the clipboard as
// contents or as file names, then the shortcuts of the user's SendTo folder), Cut, Copy, Paste,
// Rename, Delete, Attributes, New Folder. Each entry is dispatched by its name; the entries are
// enabled for the selection each time the menu pops up.
class TsFilelistViewPopUp : public TPopupMenu {
    VCL_CLASS(TsFilelistViewPopUp, TPopupMenu)
public:
    explicit TsFilelistViewPopUp(TComponent* AOwner);
    ~TsFilelistViewPopUp() override;
    void AfterConstruction() override;

    // Nothing while the list view's PopUpMenuEnabled is off; else the entries are enabled and the
    // menu is shown 10 pixels right of and below the point.
    void Popup(int X, int Y) override;
    TsFileListView* FileListView() const { return FFileListView; }
    void SetFileListView(TsFileListView* Value);

    TMenuItem* AddNewItem(const AnsiString& Caption, TShortCut ShortCut, bool Checked, bool Enabled,
                          TNotifyEvent OnClick, const AnsiString& Name);
    void BuildItems();
    // The shortcuts of the SendTo folder, after the three fixed entries and the separator.
    void GetSendToSubMenu();
    void ItemOnClick(TObject* Sender);
    // Enables each entry for the list view's selection, clipboard and folder.
    void EnableItems();
    // The full paths of the SendTo shortcuts: entry k belongs to the menu entry "Send_To<k + 4>".
    TStringList* SendToList() const { return FSendToList.get(); }
    TMenuItem* SendToMenu() const { return FSendToMenu; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TStringList> FSendToList;
    TsFileListView* FFileListView = nullptr;
    TCustomImageList* FIcons = nullptr; // owned: the system's small icons, shared
    TMenuItem* FSendToMenu = nullptr;
};

// --- The view -----------------------------------------------------------------------------------

enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftArchive, ftNormal };
using TFileType = TSet<TFileAttr>;
// The date formats of the Modified column; df_Customize is the locale's short date format.
enum TDTFormat {
    df_MMddyyyy,
    df_MMddyy,
    df_ddMMyyyy,
    df_ddMMyy_GB,
    df_ddMMyy_DE,
    df_ddMMyy_IT,
    df_yyyyMMdd,
    df_yyMMdd,
    df_Customize
};

// Sub-items of a row by index.
enum TFileListColumn { flSize, flType, flModified, flAttributes, flPath, flKind };

class TsFileListView : public TsCustomListView {
    VCL_CLASS(TsFileListView, TsCustomListView)
public:
    explicit TsFileListView(TComponent* AOwner);
    ~TsFileListView() override;
    void AfterConstruction() override;
    void Loaded() override;

    // The folder shown; "" shows the drives. Another folder is taken only when it exists (" " at
    // first, which lists nothing); OnBeforeDirChanging and OnAfterDirChanging come around a change.
    const AnsiString& Directory() const { return FDirectory; }
    void SetDirectory(const AnsiString& Value);
    TFileType FileType() const { return FFileType; }
    void SetFileType(TFileType Value);
    // Masks separated by ";".
    const AnsiString& Mask() const { return FMask; }
    void SetMask(const AnsiString& Value);
    bool ShowFolders() const { return FShowFolders; }
    void SetShowFolders(bool Value);
    bool ShowParentItem() const { return FShowParentItem; }
    void SetShowParentItem(bool Value);
    bool PopUpMenuEnabled() const { return FPopUpMenuEnabled; }
    void SetPopUpMenuEnabled(bool Value);
    TDTFormat DateFormat() const { return FDateFormat; }
    void SetDaTeFormat(TDTFormat Value);
    const AnsiString& DateFormatText() const { return FDateFormatText; }
    const AnsiString& TimeFormatText() const { return FTimeFormatText; }
    // "" takes the locale's time format.
    void SetTFormatStr(const AnsiString& Value);
    // Names are shown without their extensions (cut at the first ".") from the next listing on.
    bool HideFileExt = false;
    bool DblClickToOpen = true;
    // Opening a file starts it.
    bool CanExecute = false;
    // The path of the row clicked last.
    AnsiString SelectedItem;
    TNotifyEvent OnAfterDirChanging;
    TNotifyEvent OnBeforeDirChanging;

    // The selected rows, or every row when none is selected.
    int SelectedNumber();
    // The bytes of the selected rows' files.
    Int64 SelectedSize();
    // The bytes of the files listed.
    Int64 TotalSize() const { return FTotalSize; }
    // Free KB of the drive of Directory (-1: none).
    Int64 sGetFreeSpace();
    // The rows cut or copied (full paths) and how: -1 none, 0 copied, 2 cut.
    TStringList* ClipboardList() const { return FClipboard.get(); }
    int ClipboardMode() const { return FClipboardMode; }
    int SortColumn() const { return FSortColumn; }
    bool SortReverse() const { return FReverse; }
    // False while the drives are shown.
    bool FileView() const { return FFileView; }
    TsFilelistViewPopUp* FileMenu() const { return FMenu; }

    void OpenItem();
    void ViewFile();
    // Mode 0 copies, 2 cuts.
    void CutCopy(int Mode);
    void Paste();
    void RenameFile();
    void DeleteItems();
    void FileAttr();
    void NewFolder();
    void OneLevelUp();
    void FindFile();
    void UpdateFileList();
    // 0 any folder (asked), 1 the clipboard as contents, 2 the clipboard as file names.
    void SendTo(int Kind);
    // An entry of the SendTo folder.
    void SendTo2(const AnsiString& Target);
    void SendToDrive(const AnsiString& Path);
    void SendToPath(const AnsiString& Folder);

    // The attributes dialog of a file or folder, not shown; the caller owns it.
    static TForm* CreateAttrForm(const AnsiString& FileName, DWORD Attributes);

    // The handlers the view installs: sorting by a column, and the order of two rows.
    void SortColumnClick(TObject* Sender, TListColumn* Column);
    void CompareFiles(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare);

    // The kind ("dir", "file", "drv") and the full path of a row.
    static AnsiString RowKind(TListItem* Item) { return Item->SubItemText(flKind); }
    static AnsiString RowPath(TListItem* Item) { return Item->SubItemText(flPath); }
    static bool IsParentRow(TListItem* Item) { return Item->Caption() == ".." && RowKind(Item) == "dir"; }

protected:
    void CreateWnd() override;
    bool CanEdit(TListItem* Item) override;
    void Click() override;
    void DblClick() override;
    void Edit(const LVITEMA& Item) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    // What a row keeps beside its texts: its kind, the exact size and time, its name as listed and
    // for sorting, and whether its path reaches the entry (see TFileEntry).
    struct TFileRow {
        bool Parent = false;
        bool Folder = false;
        bool Reachable = true;
        // Its path ends in its own name (not a short name standing for it).
        bool Own = true;
        Int64 Size = 0;
        bool HasTime = false;
        TDateTime Time = 0;
        AnsiString Name;
        AnsiString SortName;
        // The name shown before an extension is cut off, and the entry's own wide name.
        AnsiString Shown;
        std::wstring Wide;
    };

    // One entry of a folder as the folder's search gave it: its name in the program's code page,
    // and the name by which the program's calls reach this very entry: the same, its short name
    // where the name does not survive the code page (a character it lacks would come back as "?",
    // a wildcard, or as a look-alike naming another file), ends in "." or " " or names a device
    // ("nul", "con.txt"), else "" (none).
    struct TFileEntry {
        DWORD Attributes = 0;
        Int64 Size = 0;
        FILETIME LastWrite{};
        AnsiString Name;
        AnsiString Address;
        std::wstring Wide;
    };
    class TShellInfoCache;
    // Adds the entries found for Path that Attr allows (folders when it holds the folder bit, else
    // files); with Files, the files the folders' search meets (as Attr allows them) go there.
    bool AddFiles(const AnsiString& Path, DWORD Attr, TShellInfoCache& Shell, std::vector<TFileEntry>* Files = nullptr);
    // One row; false for "." and a ".." not shown.
    bool AddEntry(const TFileEntry& Entry, TShellInfoCache& Shell);
    void AddDrives();
    void FileColumns();
    void DriveColumns();
    void Createimages();
    // The part of a row's name that its caption leaves out (an extension hidden): from the entry's
    // own name where the code page spells it, not from the short name shown for it.
    static AnsiString HiddenPart(const TFileRow& Row, const AnsiString& Caption);
    // Whether a file operation may take the row: not the ".." row, nor one whose path does not
    // reach its entry.
    static bool Operable(TListItem* Item);
    // The full paths of the selected rows that are operable.
    std::vector<AnsiString> SelectedPaths();
    // The same for an operation (Action: "copy", "delete"...): the selected rows it cannot take
    // (no path reaches the entry; with KeepNames, a path that does not carry the entry's own
    // name, which a copy would take for its name) are named in one message.
    std::vector<AnsiString> PathsFor(const AnsiString& Action, bool KeepNames);
    // Copies or moves each source into Folder under its own name; a source that is Folder or
    // holds it, or lies in Folder already, is refused, and each failure is reported.
    void CopyInto(HWND Owner, UINT Op, const std::vector<AnsiString>& Sources, const AnsiString& Folder);
    // The folder shown, or the nearest of its parents that still exists ("" for the drives).
    AnsiString ExistingFolder() const;
    // The selected row when it is operable.
    TListItem* SelectedFileRow();
    // A path relative to the folder shown.
    AnsiString InFolder(const AnsiString& Path) const;
    HWND OwnerWindow();
    void CopyContentsToClipboard(const AnsiString& FileName);
    void CopyNamesToClipboard();

    AnsiString FDirectory = " ";
    TFileType FFileType{ftReadOnly, ftHidden, ftSystem, ftArchive};
    AnsiString FMask = "*.*";
    bool FShowFolders = true;
    bool FShowParentItem = false;
    bool FPopUpMenuEnabled = true;
    TDTFormat FDateFormat = df_Customize;
    AnsiString FDateFormatText;
    AnsiString FTimeFormatText = "HH:mm:ss";
    Int64 FTotalSize = 0;
    int FClipboardMode = -1;
    std::unique_ptr<TStringList> FClipboard;
    int FSortColumn = 0;
    bool FReverse = false;
    AnsiString FOldName;
    bool FFileView = false;
    bool FChangingDir = false;
    TsFilelistViewPopUp* FMenu = nullptr; // owned
    std::deque<TFileRow> FRows;
};
