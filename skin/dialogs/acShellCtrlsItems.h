// The shell items that the shell tree, combo box and list view and the skinned dialogs share:
// functions on item identifier lists (the shell's paths of byte-counted items), queries of a
// parent folder about one child, the shell context menu, the root kinds a control accepts as its
// Root text, and TacShellFolder, one object per shown item. User-interface thread only.
#pragma once

#include <windows.h>
#include "ShellObjects.h"

#include <map>
#include <memory>
#include <vector>

#include "ComObj.h"
#include "Controls.h"

// A control's Root: the name of a TacRootFolder value ("rfDesktop") or a file-system path.
using TacRoot = AnsiString;

enum TacRootFolder {
    rfDesktop,
    rfMyComputer,
    rfNetwork,
    rfRecycleBin,
    rfAppData,
    rfCommonDesktopDirectory,
    rfCommonPrograms,
    rfCommonStartMenu,
    rfCommonStartup,
    rfDesktopDirectory,
    rfFavorites,
    rfFonts,
    rfInternet,
    rfPersonal,
    rfPrinters,
    rfPrintHood,
    rfControlPanel,
    rfPrograms,
    rfRecent,
    rfSendTo,
    rfStartMenu,
    rfStartup,
    rfTemplates
};
// The value of a root name (without case); false when the text names none.
bool RootFolderFromName(const AnsiString& Name, TacRootFolder& Value);
// The special-folder number (CSIDL) of a root kind.
int RootFolderCSIDL(TacRootFolder Value);

enum TacShellFolderCapability { fcCanCopy, fcCanDelete, fcCanLink, fcCanMove, fcCanRename, fcDropTarget, fcHasPropSheet };
using TacShellFolderCapabilities = TSet<TacShellFolderCapability>;
enum TacShellFolderProperty {
    fpCut,
    fpIsLink,
    fpReadOnly,
    fpShared,
    fpFileSystem,
    fpFileSystemAncestor,
    fpRemovable,
    fpValidate
};
using TacShellFolderProperties = TSet<TacShellFolderProperty>;
enum TacShellObjectType { otFolders, otNonFolders, otHidden };
using TacShellObjectTypes = TSet<TacShellObjectType>;
// How a display name shows a file's extension: as the shell gives it, always, never.
enum TacShowExtension { seSystem, seShow, seHide };

class TacShellFolder;

using TacAddFolderEvent = TMethod<void(TObject* Sender, TacShellFolder* AFolder, bool& CanAdd)>;
using TacGetImageIndexEvent = TMethod<void(TObject* Sender, int Index, int& ImageIndex)>;

// Implemented by a control that shows the shell context menu and wants a say in its commands:
// ExecuteCommand runs before the shell's own command (Handled skips it), CommandCompleted after.
class IacShellCommandVerb {
public:
    virtual void ExecuteCommand(const AnsiString& Verb, bool& Handled) = 0;
    virtual void CommandCompleted(const AnsiString& Verb, bool Succeeded) = 0;

protected:
    ~IacShellCommandVerb() = default;
};

// --- Item identifier lists ------------------------------------------------------------------
// Every list a function returns is a new allocation of the shell's allocator (ShellMalloc),
// owned by the caller.

using PIDL = LPITEMIDLIST;
using PCIDL = LPCITEMIDLIST;

// Size bytes, zero-filled; null when the allocator fails.
PIDL CreatePIDL(UINT Size);
// The list after its first item.
PIDL NextPIDL(PCIDL P);
// 0 for null, else every item's count plus the terminator's two bytes.
UINT GetPIDLSize(PCIDL P);
// The number of items before the terminator (0 for null).
int GetPIDLCount(PCIDL P);
PIDL CopyPIDL(PCIDL P);
// A's items, then B's (null A counts as empty; null B gives a copy of A).
PIDL ConcatPIDLs(PCIDL A, PCIDL B);
// Cuts the last item off in place (null and the empty list stay as they are).
void StripLastID(PIDL P);
void DisposePIDL(PCIDL P);
// A copy of the last item alone (the empty list for null or the empty list).
PIDL RelativeFromAbsolute(PCIDL P);
// The absolute lists of every ancestor of P, the desktop's empty list first and P's parent last.
using TPIDLList = std::vector<TItemIDList>;
TPIDLList CreatePIDLList(PCIDL P);
// The desktop's empty list, and the desktop folder (the system's unless a TacDesktopGuard put
// another in place); failures raise EOleSysError.
PIDL DesktopPIDL();
TComInterface<IShellFolder> DesktopShellFolder();
// Both absolute lists name one item (see SameChild, of the desktop folder).
bool SamePIDL(PCIDL A, PCIDL B);
// Folder compares both lists as equal, and they are one item: the same bytes, or wide parsing
// names that differ at most in case (a shell may compare names as the code page spells them).
bool SameChild(IShellFolder* Folder, PCIDL A, PCIDL B);
// Where an item P lies after its folder (or it itself) moved from From to To: To followed by the
// items of P below From; null when P is neither From nor below it.
PIDL MovedPIDL(PCIDL P, PCIDL From, PCIDL To);
// The system image-list index of an absolute list (-1 when the shell gives none).
int GetShellImage(PCIDL P, bool Large, bool Open);

// Puts another desktop folder in place for its lifetime (tests show a namespace of their own).
class TacDesktopGuard {
public:
    explicit TacDesktopGuard(IShellFolder* Desktop);
    ~TacDesktopGuard();
    TacDesktopGuard(const TacDesktopGuard&) = delete;
    TacDesktopGuard& operator=(const TacDesktopGuard&) = delete;

private:
    TComInterface<IShellFolder> FPrevious;
};

// --- Questions to a parent folder about one child (PIDL relative to it) ----------------------
// A failed attribute query leaves the flags it was given.

TacShellFolderCapabilities GetCaps(IShellFolder* ParentFolder, PCIDL P);
TacShellFolderProperties GetProperties(IShellFolder* ParentFolder, PCIDL P);
bool GetIsFolder(IShellFolder* ParentFolder, PCIDL P);
bool GetIsLink(IShellFolder* ParentFolder, PCIDL P);
bool GetHasSubFolders(IShellFolder* ParentFolder, PCIDL P);
// A file-system item that is neither a folder nor a link.
bool GetIsFile(IShellFolder* ParentFolder, PCIDL P);
// The folder lists at least one item of Flags (critical-error boxes held off meanwhile).
bool HasChildItems(IShellFolder* Folder, DWORD Flags);
// The child's folder, asked of the parent in turn by binding, as a UI object and as a view object,
// then of the desktop; empty when none gives one.
TComInterface<IShellFolder> GetIShellFolder(IShellFolder* ParentFolder, PCIDL P, HWND Handle = nullptr);
TComInterface<IShellDetails> GetIShellDetails(IShellFolder* ParentFolder, PCIDL P, HWND Handle = nullptr);
TComInterface<IShellFolder2> GetIShellFolder2(IShellFolder* ParentFolder, PCIDL P, HWND Handle = nullptr);
// A name the shell returned (a wide string is freed through the shell's allocator; a name inside
// the item is read no further than the item's own bytes). Exact, when given, tells whether the
// name converts back to the very same name (see NarrowFileName).
AnsiString StrRetToString(PCIDL P, STRRET& StrRet, bool* Exact = nullptr);
// The child's name of Flags (SHGDN_...), its extension shown or hidden by ShowExt; a name the
// shell gives as "::{...}" is replaced by its normal name. A name for showing (not for parsing)
// that the code page cannot spell, or that ends in "." or " ", would look like another one: its
// short name is shown instead, else the name with a "~" after it.
AnsiString GetDisplayName(IShellFolder* ParentFolder, PCIDL P, DWORD Flags, TacShowExtension ShowExt);
DWORD ObjectTypesToFlags(TacShellObjectTypes Types);

// --- Context menu ----------------------------------------------------------------------------

// Shows the shell context menu of Folder at the client point (X, Y) of Owner and runs the chosen
// command; an Owner implementing IacShellCommandVerb takes part in it.
void InvokeContextMenu(TWinControl* Owner, TacShellFolder* Folder, int X, int Y);
// Runs a verb ("properties", "delete"...) of Folder's context menu without showing it.
void DoContextMenuVerb(TacShellFolder* Folder, const AnsiString& Verb);
// The context menu being tracked (null otherwise), for the menu messages of its owner window.
IContextMenu2* TrackedContextMenu();
// Hands a menu message (WM_INITMENUPOPUP, WM_DRAWITEM, WM_MEASUREITEM, WM_MENUCHAR) to the tracked
// context menu with result 0; false (nothing done) when no menu is tracked or Message is another.
bool ForwardContextMenuMessage(TMessage& Message);

// --- Roots ----------------------------------------------------------------------------------

// A new item of an absolute list (parent: the desktop item).
TacShellFolder* CreateRootFromPIDL(PCIDL P);
// The item of a root text: a root kind's special folder, else a path ("C:" is "C:\"). On success
// OldRoot is freed; on failure NewRootText becomes OldRootText and Exception "Error Setting Path"
// is raised.
TacShellFolder* CreateRootFolder(TacShellFolder* OldRoot, const AnsiString& OldRootText, AnsiString& NewRootText);

// --- Items ----------------------------------------------------------------------------------

class TacShellFolder {
public:
    // ID is relative to AParent (the desktop item when null) and copied; SF is the item's own
    // folder when the caller has it (else it is bound when first asked for).
    TacShellFolder(TacShellFolder* AParent, PCIDL ID, IShellFolder* SF);
    ~TacShellFolder();
    TacShellFolder(const TacShellFolder&) = delete;
    TacShellFolder& operator=(const TacShellFolder&) = delete;

    TacShellFolder* Parent() const { return FParent; }
    PIDL RelativeID() const { return FPIDL.get(); }
    PIDL AbsoluteID() const { return FFullPIDL.get(); }
    // The item's own folder (null for most non-folders).
    IShellFolder* ShellFolder();
    // 0 for a root under the desktop item, 1 for its children, and so on.
    int Level() const { return FLevel; }

    // The parent's folder, or the desktop's for an item without a parent.
    IShellFolder* ParentShellFolder() const;
    TacShellFolderProperties Properties();
    TacShellFolderCapabilities Capabilities();
    bool SubFolders();
    bool IsFolder();
    bool IsFile();
    // The parsing name of the whole list (a file-system path where there is one), for showing:
    // in the code page it may name another file.
    AnsiString PathName();
    // The path by which the program's calls reach this very item (see ReachingPath): "" when
    // none does.
    AnsiString FileSystemPath();
    // False for a file-system item that is gone.
    bool Exists();
    // The file system's entry of the item, asked for by its wide path; false when there is none.
    bool FindData(WIN32_FIND_DATAW& Data);
    // The parent was renamed: the item's absolute list follows it, and what was bound is asked
    // for again.
    void ParentRenamed();
    AnsiString DisplayName(TacShowExtension ShowExt = seSystem);
    int ImageIndex(bool LargeIcon);
    // Renames the item (false without the rename capability); a failure raises "Rename to %s
    // failed". Afterwards the item stands for the new name.
    bool Rename(const AnsiString& NewName);
    // Starts the item's default verb.
    bool ExecuteDefault();

    // The detail interfaces of the item's folder, bound on first use (null when none).
    IShellDetails* ShellDetails();
    IShellFolder2* ShellFolder2();
    // Reads the texts of columns 1 .. ColumnCount (column 0 is the name) from RootFolder's detail
    // interfaces, else, for a file-system folder, from the file; nothing when already loaded.
    void LoadColumnDetails(TacShellFolder* RootFolder, HWND Handle, int ColumnCount);
    // The text of column Index (1 = the first after the name); empty out of range. Raises
    // "<name>: Missing call to LoadColumnDetails" while nothing is loaded.
    AnsiString Details(int Index) const;
    void SetDetails(int Index, const AnsiString& Value);
    // The texts read go (LoadColumnDetails reads them again).
    void ClearDetails() { FDetails.clear(); }
    int DetailCount() const { return static_cast<int>(FDetails.size()); }
    // The window the detail interfaces are bound for.
    void SetViewHandle(HWND Value) { FViewHandle = Value; }

private:
    void GetDetailInterface();
    void ForgetBindings();
    void LoadFileDetails(int ColumnCount);

    TItemIDList FPIDL;
    TItemIDList FFullPIDL;
    TacShellFolder* FParent = nullptr;
    TComInterface<IShellFolder> FIShellFolder;
    bool FFolderBound = false;
    TComInterface<IShellFolder2> FIShellFolder2;
    TComInterface<IShellDetails> FIShellDetails;
    bool FDetailsBound = false;
    int FLevel = 0;
    HWND FViewHandle = nullptr;
    std::vector<AnsiString> FDetails;
};

// The pictures of many items: an item that shows its kind's picture (a plain file-system folder,
// a file of a type whose files share one) is asked of the shell once per kind; others one by one.
class TacShellImageCache {
public:
    // Attributes: what the item's parent answers for SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK |
    // SFGAO_READONLY | SFGAO_SYSTEM (ImageAttributes).
    int ImageOf(TacShellFolder* Item, ULONG Attributes, bool Large, bool Open);
    void Clear();
    static constexpr ULONG ImageAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_READONLY | SFGAO_SYSTEM;

private:
    std::map<AnsiString, int> FKinds[4];
};

// Links a shell view to a new partner view (a tree, list or combo box): the old partner loses its
// link back, the new one takes the view's Root and links back through BackLink. Each hears of the
// other's going (free notification), whoever owns them.
template <class TView, class TPartner>
void LinkPartner(TView* View, TPartner*& Field, TPartner* Value, TView* TPartner::*BackLink)
{
    if (Value == Field)
        return;
    if (Field) {
        Field->*BackLink = nullptr;
        Field->RemoveFreeNotification(View);
    }
    Field = Value;
    if (Value) {
        Value->FreeNotification(View);
        Value->SetRoot(View->Root());
        Value->*BackLink = View;
    }
}

// The date and time text of the details' time column at its widest (for the column's width).
AnsiString WidestDateText();
// A file time as the user's date and time text, through the DOS date and time (empty when the
// time does not convert).
AnsiString FileTimeText(const FILETIME& Time);

// The process-wide item of the desktop (made on first use).
TacShellFolder* DesktopFolder();
