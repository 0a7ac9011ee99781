// The shell combo box: a skinned combo box with pictures whose items are shell folders shown as
// an indented chain (the root, its children and the ancestors of the current folder down to it),
// each item's data an owned TacShellFolder. Choosing an item moves a linked shell tree view and
// shell list view to its folder.
#pragma once

#include <memory>

#include "acShellCtrlsItems.h"
#include "sComboBoxes.h"

class TacCustomShellTreeView;
class TacCustomShellListView;

class TacCustomShellComboBox : public TsCustomComboBoxEx {
    VCL_CLASS(TacCustomShellComboBox, TsCustomComboBoxEx)
public:
    // The deepest indent of a row: deeper folders are drawn at this level.
    static constexpr int MaxIndentLevel = 8;
    explicit TacCustomShellComboBox(TComponent* AOwner);
    ~TacCustomShellComboBox() override;
    void BeforeDestruction() override;
    void Loaded() override;

    // The root: a root kind's name or a path (default "rfDesktop"); a text the shell cannot use
    // keeps the old one and raises "Error Setting Path".
    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    TacShellFolder* RootFolder() const { return FRootFolder.get(); }
    TacShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TacShellObjectTypes Value);

    // The path that reaches the selected folder, with a trailing backslash ("" without a selection
    // or when no path reaches it, as for a virtual folder).
    AnsiString GetPath();
    // Shows the chain down to a path's folder; raises "Error setting path: "<path>"".
    void SetPath(const AnsiString& Value);
    // The chain rebuilt down to ID's folder (the missing ancestors inserted), which is selected.
    void SetPathFromID(PCIDL ID);
    // The same, as the partners ask for it (nothing when ID is selected already); then OnChange.
    void TreeUpdate(PCIDL ID);
    // The folder of an item (the last item's beyond the last; null for none).
    TacShellFolder* GetFolder(int Index);
    // The last item whose folder is ID, or -1.
    int IndexFromID(PCIDL ID);
    // The shell picture of a folder (-1 with shell pictures off).
    int GetShellImageIndex(TacShellFolder* Folder);

    // On demand, a box without the focus holds only the chain down to the folder shown (the root,
    // the folder's ancestors and the folder); it gets the root's items as ever when it gets the
    // focus or drops down. A form that shows a folder of its own at once does not wait for the
    // root's listing.
    void SetFillOnDemand(bool Value) { FFillOnDemand = Value; }

    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);

    TacCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TacCustomShellTreeView* Value);
    TacCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TacCustomShellListView* Value);

    TacGetImageIndexEvent OnGetImageIndex;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void Change() override;
    void Click() override;
    void DropDown() override;
    void CloseUp() override;
    void WndProc(TMessage& Message) override;
    void RootChanged();
    void CreateRoot();
    // The root's children (and My Computer's under the desktop).
    virtual void Init();
    // The children of ParentFolder as items after Index.
    void AddItems(int Index, TacShellFolder* ParentFolder);

private:
    friend class TacCustomShellTreeView;
    friend class TacCustomShellListView;
    void ClearItems();
    // A new item at Index for Folder (owned by the item from then on).
    void InsertFolder(int Index, TacShellFolder* Folder);
    // The partners follow the selected item; the chain is built again for it.
    void MovePartners();
    void Rebuild();
    // The root's items, where the box holds only the chain.
    void FillItems();
    // The chain a loaded box has not built yet, built.
    void BuildPendingChain();

    TacRoot FRoot = "rfDesktop";
    AnsiString FOldRoot;
    std::unique_ptr<TacShellFolder> FRootFolder;
    TacCustomShellTreeView* FTreeView = nullptr;
    TacCustomShellListView* FListView = nullptr;
    TacShellObjectTypes FObjectTypes{otFolders};
    bool FUseShellImages = true;
    bool FUpdating = false;
    // The open list was closed without a choice (Escape, a click outside).
    bool FCancelled = false;
    // Loaded: the root is made, its chain is not built yet.
    bool FChainPending = false;
    bool FFillOnDemand = false;
    // The box holds the chain alone: the root's items are still to come.
    bool FChainOnly = false;
    // The folder the chain was built for, or that the partners were last moved to.
    TItemIDList FShown;
};

class TsShellComboBox : public TacCustomShellComboBox {
    VCL_CLASS(TsShellComboBox, TacCustomShellComboBox)
public:
    using TacCustomShellComboBox::TacCustomShellComboBox;
};
