// The shell list view: the contents of one shell folder in a skinned list view of owner data,
// one TacShellFolder per row, filtered by object types and an extension mask, folders first,
// with navigation, renaming in place, the shell context menu, an optional automatic refresh
// and links to a shell tree view and a shell combo box that follow it and that it follows.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "acShellCtrlsItems.h"
#include "acShellCtrlsNotify.h"
#include "sListView.h"

class TacCustomShellTreeView;
class TacCustomShellComboBox;

// The screen's hour-glass for the lifetime of the object (the previous cursor comes back).
class TacHourGlass {
public:
    TacHourGlass();
    ~TacHourGlass();
    TacHourGlass(const TacHourGlass&) = delete;
    TacHourGlass& operator=(const TacHourGlass&) = delete;

private:
    TCursor FSaved;
};

// The texts of the columns a list shows in report style for a folder of the disk when it shows
// its own instead of the shell's: the captions, the type of a folder, of a file without an
// extension and of a file with one (%s: the extension in capitals), and a size (%s: the KB).
struct TacColumnTexts {
    AnsiString Name, Size, Type, Modified, Attributes;
    AnsiString FolderType, FileType, ExtensionType, SizeKB;
};

class TacCustomShellListView : public TsCustomListView, public IacShellCommandVerb {
    VCL_CLASS(TacCustomShellListView, TsCustomListView)
public:
    explicit TacCustomShellListView(TComponent* AOwner);
    ~TacCustomShellListView() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // The folder shown: a root kind's name or a path (default "rfDesktop"). A text the shell
    // cannot use keeps the old one and raises "Error Setting Path".
    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    TacShellFolder* RootFolder() const { return FRootFolder.get(); }
    // Shows the folder of an absolute list (nothing when it is shown already).
    void SetPathFromID(PCIDL ID);
    // The same, as the partners and the dialogs ask for it.
    void TreeUpdate(PCIDL ID) { SetPathFromID(ID); }
    // One level up (the desktop stays the desktop).
    void Back();
    // Lists the folder again, keeping the selected row where it still exists.
    void Refresh();
    // The folder of the selected row, or null; of a row (null out of range).
    TacShellFolder* SelectedFolder();
    TacShellFolder* GetFolder(int Index) const;
    int FolderCount() const { return static_cast<int>(FFolders.size()); }
    // Starts editing the selected row's name.
    void EditText();
    // In list style the window measures every row's name at its first paint and keeps that width
    // for its columns. Makes the window and has it take that measure on the root's rows, listed
    // unsorted and not shown to the partners, instead of on the many rows of a folder shown next;
    // the list is left empty and without a folder: the next one shown is listed afresh. A window
    // made already is measured on the rows it has.
    void MeasureOnRoot();

    const AnsiString& Mask() const { return FMask; }
    void SetMask(const AnsiString& Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TacShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TacShellObjectTypes Value);
    TacShowExtension ShowExt() const { return FShowExt; }
    void SetShowExt(TacShowExtension Value);
    // Own columns for the folders of the disk, in these texts (none given: the shell's columns).
    void SetColumnTexts(const TacColumnTexts& Value);
    bool AutoContextMenus = true;
    bool AutoNavigate = true;
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    // The notifier while AutoRefresh is on (null otherwise).
    TacShellChangeNotifier* Notifier() const { return FNotifier; }

    TacCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TacCustomShellTreeView* Value);
    TacCustomShellComboBox* ShellComboBox() const { return FComboBox; }
    void SetShellComboBox(TacCustomShellComboBox* Value);

    TacAddFolderEvent OnAddFolder;

    // IacShellCommandVerb: "rename" edits the row's name; "open" runs in the item's folder;
    // "delete" and "paste" list the folder again.
    void ExecuteCommand(const AnsiString& Verb, bool& Handled) override;
    void CommandCompleted(const AnsiString& Verb, bool Succeeded) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    bool OwnerDataFetch(TListItem* Item, TItemRequest Request) override;
    int OwnerDataFind(TItemFind Find, const AnsiString& FindString, const TPoint& FindPosition, void* FindData,
                      int StartIndex, TSearchDirection Direction, bool Wrap) override;
    void DblClick() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Edit(const LVITEMA& Item) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    // Lists the folder shown.
    virtual void Populate();
    // The folder shown changed: the partners follow, the rows, the columns and the watch too.
    void RootChanged();
    // Opens the folder of a row in the list, starts anything else by its item list.
    void OpenRow(TacShellFolder* Folder);
    // While the list has the focus and no row has the focus mark, its first row takes the mark (not
    // the selection), so that the focus shows: on entering the list and in a folder just opened.
    void MarkFocusedRow();

private:
    friend class TacCustomShellTreeView;
    friend class TacCustomShellComboBox;
    struct TRow {
        std::unique_ptr<TacShellFolder> Folder;
        bool IsFolder = false;
        // What its folder answered for the attributes of its picture.
        ULONG Attributes = 0;
        // What the window asks again and again, read from the shell once: the name shown and
        // the small and large images (-2: not read yet).
        bool HasName = false;
        AnsiString Name;
        int Image[2] = {-2, -2};
    };
    // The name a row shows, and its picture (small or large).
    const AnsiString& RowName(TRow& Row);
    // The texts of a row's own columns (Size, Type, Modified, Attributes), read once.
    void LoadOwnDetails(TRow& Row);
    int RowImage(TRow& Row, bool Large);
    void CreateRoot();
    void SynchPaths();
    void EnumColumns();
    void ClearItems();
    // Puts the rows in the list's order (see CompareRows).
    void SortRows(IShellFolder* Folder);
    // While a listing runs, navigation waits until it ends (the last request wins).
    bool Deferred(std::function<void()> Action);
    void RunDeferred();
    void Navigate(PCIDL ID, bool Force);

    AnsiString FOldRoot;
    TacRoot FRoot = "rfDesktop";
    std::unique_ptr<TacShellFolder> FRootFolder;
    bool FAutoRefresh = false;
    bool FSorted = true;
    bool FUpdating = false;
    bool FPopulating = false;
    std::function<void()> FDeferred;
    TacShellObjectTypes FObjectTypes{otFolders, otNonFolders};
    std::vector<TRow> FFolders;
    // The pictures of the kinds of items met in this listing.
    TacShellImageCache FImages;
    TacCustomShellTreeView* FTreeView = nullptr;
    TacCustomShellComboBox* FComboBox = nullptr;
    TacShellChangeNotifier* FNotifier = nullptr;
    bool FRootChanged = false;
    bool FMeasuring = false; // the window is made for MeasureOnRoot
    AnsiString FSavePath;
    AnsiString FMask;
    TacShowExtension FShowExt = seSystem;
    std::unique_ptr<TacColumnTexts> FColumnTexts;
    // The columns shown are the list's own.
    bool FOwnColumns = false;
};

class TsShellListView : public TacCustomShellListView {
    VCL_CLASS(TsShellListView, TacCustomShellListView)
public:
    using TacCustomShellListView::TacCustomShellListView;
};

// The list of the skinned open dialog: a double click is the dialog's to handle.
class TsDlgShellListView : public TacCustomShellListView {
    VCL_CLASS(TsDlgShellListView, TacCustomShellListView)
public:
    using TacCustomShellListView::TacCustomShellListView;

protected:
    void DblClick() override;
};
