// The shell tree view: the shell namespace below a root as a skinned tree whose nodes are made
// when their parent first expands, each node's data an owned TacShellFolder; linked both ways
// with a shell combo box and a shell list view, optionally watching the selected folder, with the
// shell context menu and renaming in place.
#pragma once

#include <memory>

#include "acShellCtrlsItems.h"
#include "acShellCtrlsNotify.h"
#include "sTreeView.h"

class TacCustomShellListView;
class TacCustomShellComboBox;

class TacCustomShellTreeView : public TsTreeView, public IacShellCommandVerb {
    VCL_CLASS(TacCustomShellTreeView, TsTreeView)
public:
    explicit TacCustomShellTreeView(TComponent* AOwner);
    ~TacCustomShellTreeView() override;
    void BeforeDestruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // The root: a root kind's name or a path (default "rfDesktop"). A text the shell cannot use
    // keeps the old tree (made again) and raises "Error Setting Path".
    const TacRoot& Root() const { return FRoot; }
    void SetRoot(const TacRoot& Value);
    TacShellFolder* RootFolder() const { return FRootFolder.get(); }
    TacShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TacShellObjectTypes Value);
    TacShowExtension ShowExt() const { return FShowExt; }
    void SetShowExt(TacShowExtension Value) { FShowExt = Value; }

    // The path that reaches the selected folder ("" without a selection or when no path reaches
    // it, as for a virtual folder), and the folder.
    AnsiString GetPath();
    TacShellFolder* SelectedFolder();
    // The folder of a node (null for none).
    static TacShellFolder* FolderOf(TTreeNode* Node);
    // The folder of node Index of all the nodes (null out of range).
    TacShellFolder* GetFolder(int Index);
    // Selects the folder of a path (its ancestors expanded); raises "Error Setting Path".
    void SetPath(const AnsiString& Value);
    void SetPathFromID(PCIDL ID);
    // The child of ParentNode whose item is ID (relative); the first node from StartNode on whose
    // item is ID (absolute); the node of ID in the subtree of ParentNode.
    TTreeNode* NodeFromRelativeID(TTreeNode* ParentNode, PCIDL ID);
    TTreeNode* NodeFromAbsoluteID(TTreeNode* StartNode, PCIDL ID);
    TTreeNode* FolderExists(PCIDL ID, TTreeNode* ParentNode);
    // Reads a node's children again, keeping what is expanded, the selection and the top node.
    void Refresh(TTreeNode* Node);
    // Refresh of the selected node (the root's without a selection): the notifier's handler.
    void RefreshEvent();

    bool AutoContextMenus = true;
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    TacShellChangeNotifier* Notifier() const { return FNotifier; }
    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);

    TacCustomShellComboBox* ShellComboBox() const { return FComboBox; }
    void SetShellComboBox(TacCustomShellComboBox* Value);
    TacCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TacCustomShellListView* Value);

    TacAddFolderEvent OnAddFolder;

    // IacShellCommandVerb: "rename" edits the node's text; "open" runs in the item's folder;
    // "delete" drops the node of an item that has gone, "paste" reads the node again.
    void ExecuteCommand(const AnsiString& Verb, bool& Handled) override;
    void CommandCompleted(const AnsiString& Verb, bool Succeeded) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    bool CanExpand(TTreeNode* Node) override;
    bool CanChange(TTreeNode* Node) override;
    void Edit(const TVITEMA& Item) override;
    void Delete(TTreeNode* Node) override;
    void GetImageIndex(TTreeNode* Node) override;
    void GetSelectedIndex(TTreeNode* Node) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    void RootChanged();
    void CreateRoot();
    // The children of a node read from its folder, in the folder's order.
    void PopulateNode(TTreeNode* Node);
    // A node for the item ID of ParentNode's folder (its name given when known).
    void InitNode(TTreeNode* NewNode, PCIDL ID, TTreeNode* ParentNode, const AnsiString* Name = nullptr);

private:
    friend class TacCustomShellListView;
    friend class TacCustomShellComboBox;
    // Frees every node's folder and the nodes.
    void ClearItems();
    // The node's shell pictures by what its folder answered for ImageAttributes.
    void SetNodeImages(TTreeNode* Node, ULONG Attributes);
    HIMAGELIST ImageListChoice();

    TacRoot FRoot = "rfDesktop";
    AnsiString FOldRoot;
    std::unique_ptr<TacShellFolder> FRootFolder;
    TacShellObjectTypes FObjectTypes{otFolders};
    bool FLoadingRoot = false;
    bool FUpdating = false;
    TacCustomShellComboBox* FComboBox = nullptr;
    TacCustomShellListView* FListView = nullptr;
    bool FAutoRefresh = false;
    bool FSettingImages = false;
    bool FUseShellImages = true;
    TacShellChangeNotifier* FNotifier = nullptr;
    AnsiString FSavePath;
    TTreeNode* FNodeChanging = nullptr;
    TacShowExtension FShowExt = seSystem;
    TacShellImageCache FImages;
};

class TsShellTreeView : public TacCustomShellTreeView {
    VCL_CLASS(TsShellTreeView, TacCustomShellTreeView)
public:
    using TacCustomShellTreeView::TacCustomShellTreeView;
};
