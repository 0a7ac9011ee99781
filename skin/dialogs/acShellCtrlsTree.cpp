#include "acShellCtrlsTree.h"

#include <algorithm>

#include "Forms.h"
#include "sFileListView.h"
#include "Menus.h"
#include "ShellSeams.h"
#include "acShellCtrlsCombo.h"
#include "acShellCtrlsList.h"
#include "sConst.h"

namespace {

// Holds the tree's nodes and its skinned painting while it lives; both end however the scope ends.
class TTreeUpdateHold {
public:
    explicit TTreeUpdateHold(TacCustomShellTreeView* View) : FView(View)
    {
        FView->Items()->BeginUpdate();
        FView->SkinData()->BeginUpdate();
    }
    ~TTreeUpdateHold()
    {
        FView->SkinData()->EndUpdate();
        FView->Items()->EndUpdate();
    }
    TTreeUpdateHold(const TTreeUpdateHold&) = delete;
    TTreeUpdateHold& operator=(const TTreeUpdateHold&) = delete;

private:
    TacCustomShellTreeView* FView;
};

// An item of a folder being read, with the name its node shows.
struct TChild {
    TItemIDList ID;
    AnsiString Name;
};

// The items of a folder in the folder's own order; none when it cannot be listed.
std::vector<TChild> SortedChildren(IShellFolder* Folder, DWORD Flags, TacShowExtension ShowExt)
{
    std::vector<TChild> children;
    TComInterface<IEnumIDList> items;
    // A folder may report success and hand out no enumerator.
    if (!Folder || FAILED(Folder->EnumObjects(Application->Handle(), Flags, &items)) || !items)
        return children;
    PIDL child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && child) {
        children.push_back({TItemIDList(child), {}});
        children.back().Name = GetDisplayName(Folder, child, SHGDN_INFOLDER, ShowExt);
    }
    // The folder's order is usually the order of the names: sorted by name, a check with the
    // folder's comparison costs fewer of its calls than a sort by it.
    std::stable_sort(children.begin(), children.end(),
                     [](const TChild& a, const TChild& b) { return AnsiCompareText(a.Name, b.Name) < 0; });
    auto less = [Folder](const TChild& a, const TChild& b) {
        const HRESULT hr = Folder->CompareIDs(0, a.ID.get(), b.ID.get());
        return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) < 0;
    };
    if (!std::is_sorted(children.begin(), children.end(), less))
        std::stable_sort(children.begin(), children.end(), less);
    return children;
}

// The items of a subtree: Node and the nodes after it that lie deeper.
template <class F>
TTreeNode* FindInSubtree(TTreeNode* Node, F&& Found)
{
    if (!Node)
        return nullptr;
    const int level = Node->Level();
    for (TTreeNode* n = Node; n && (n == Node || n->Level() > level); n = n->GetNext())
        if (Found(n))
            return n;
    return nullptr;
}

} // namespace

TacCustomShellTreeView::TacCustomShellTreeView(TComponent* AOwner) : TsTreeView(AOwner)
{
    SetRightClickSelect(true);
    InitShellImageLists(false, true);
}

TacCustomShellTreeView::~TacCustomShellTreeView() = default;

void TacCustomShellTreeView::BeforeDestruction()
{
    // The nodes go with the control without telling it: their folders are freed first.
    ClearItems();
    inherited::BeforeDestruction();
}

void TacCustomShellTreeView::Loaded()
{
    inherited::Loaded();
    CreateRoot();
    SetAutoRefresh(FAutoRefresh);
}

void TacCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FComboBox)
        FComboBox = nullptr;
    if (AComponent == FListView)
        FListView = nullptr;
    if (AComponent == FNotifier)
        FNotifier = nullptr;
}

TacShellFolder* TacCustomShellTreeView::FolderOf(TTreeNode* Node)
{
    return Node ? static_cast<TacShellFolder*>(Node->Data()) : nullptr;
}

// --- Window ------------------------------------------------------------------------------------

HIMAGELIST TacCustomShellTreeView::ImageListChoice()
{
    if (Images())
        return Images()->Handle();
    return FUseShellImages && SmallShellImages ? SmallShellImages->Handle() : nullptr;
}

void TacCustomShellTreeView::SetUseShellImages(bool Value)
{
    FUseShellImages = Value;
    if (!HandleAllocated())
        return;
    FSettingImages = true;
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(ImageListChoice()));
    FSettingImages = false;
}

void TacCustomShellTreeView::CreateWnd()
{
    inherited::CreateWnd();
    SetUseShellImages(FUseShellImages);
    // The nodes belong to the object: a window made again shows them as they are.
    if (!FLoadingRoot && !Items()->GetFirstNode())
        CreateRoot();
}

void TacCustomShellTreeView::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
        // The tracked shell menu's (answered 0 when there is none): the tree has no menu of its own
        // owned by its window.
        if (!ForwardContextMenuMessage(Message))
            Message.Result = 0;
        return;
    case TVM_SETIMAGELIST:
        // The shell pictures stay attached whoever sets the list.
        if (!FSettingImages && Message.WParam == TVSIL_NORMAL)
            Message.LParam = reinterpret_cast<LPARAM>(ImageListChoice());
        break;
    default:
        break;
    }
    inherited::WndProc(Message);
}

// --- Root -------------------------------------------------------------------------------------------

void TacCustomShellTreeView::SetRoot(const TacRoot& Value)
{
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TacCustomShellTreeView::SetObjectTypes(TacShellObjectTypes Value)
{
    FObjectTypes = Value;
    RootChanged();
}

void TacCustomShellTreeView::RootChanged()
{
    if (FUpdating)
        return;
    FUpdating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FUpdating};
    CreateRoot();
    if (FComboBox)
        FComboBox->SetRoot(FRoot);
    if (FListView)
        FListView->SetRoot(FRoot);
}

void TacCustomShellTreeView::CreateRoot()
{
    if (ComponentState().Contains(csLoading))
        return;
    AnsiString failure;
    try {
        TacShellFolder* old = FRootFolder.release();
        try {
            FRootFolder.reset(CreateRootFolder(old, FOldRoot, FRoot));
        } catch (...) {
            FRootFolder.reset(old);
            throw;
        }
    } catch (const Exception& e) {
        failure = e.Message;
    }
    if (FRootFolder) {
        FLoadingRoot = true;
        struct TReset {
            bool& Flag;
            ~TReset() { Flag = false; }
        } reset{FLoadingRoot};
        ClearItems();
        auto* folder = new TacShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
        TTreeNode* node = Items()->AddChildObject(
            nullptr, GetDisplayName(DesktopShellFolder(), FRootFolder->AbsoluteID(), SHGDN_NORMAL, FShowExt), folder);
        PCIDL one = folder->RelativeID();
        ULONG attributes = TacShellImageCache::ImageAttributes;
        folder->ParentShellFolder()->GetAttributesOf(1, &one, &attributes);
        SetNodeImages(node, attributes);
        node->SetHasChildren(folder->SubFolders());
        node->Expand(false);
        node->SetSelected(true);
    }
    // A root that failed keeps the tree of the old one, and is reported now.
    if (!failure.empty())
        throw Exception(failure);
}

void TacCustomShellTreeView::ClearItems()
{
    {
        TTreeUpdateHold hold(this);
        for (TTreeNode* n = Items()->GetFirstNode(); n; n = n->GetNext()) {
            delete FolderOf(n);
            n->SetData(nullptr);
        }
        if (!ComponentState().Contains(csDestroying))
            Items()->Clear();
    }
    FImages.Clear();
}

// --- Nodes ------------------------------------------------------------------------------------------

void TacCustomShellTreeView::InitNode(TTreeNode* NewNode, PCIDL ID, TTreeNode* ParentNode, const AnsiString* Name)
{
    TacShellFolder* parent = FolderOf(ParentNode);
    auto* folder = new TacShellFolder(parent, ID, nullptr);
    NewNode->SetData(folder);
    NewNode->SetText(Name ? *Name : folder->DisplayName(FShowExt));
    // One question for the expand button, the shared mark and the kind of picture.
    PCIDL one = folder->RelativeID();
    ULONG attributes = SFGAO_HASSUBFOLDER | SFGAO_SHARE | TacShellImageCache::ImageAttributes;
    if (IShellFolder* p = folder->ParentShellFolder())
        p->GetAttributesOf(1, &one, &attributes);
    SetNodeImages(NewNode, attributes);
    NewNode->SetHasChildren(attributes & SFGAO_HASSUBFOLDER);
    if (attributes & SFGAO_SHARE)
        NewNode->SetOverlayIndex(1); // the system list's first overlay: the shared folder
    if (FObjectTypes.Contains(otNonFolders) && folder->ShellFolder())
        NewNode->SetHasChildren(HasChildItems(folder->ShellFolder(), ObjectTypesToFlags(FObjectTypes)));
    bool canAdd = true;
    if (OnAddFolder)
        OnAddFolder(this, folder, canAdd);
    if (!canAdd)
        NewNode->Delete();
}

void TacCustomShellTreeView::PopulateNode(TTreeNode* Node)
{
    TacShellFolder* folder = FolderOf(Node);
    if (!folder)
        return;
    TacHourGlass hourGlass;
    TTreeUpdateHold hold(this);
    for (const TChild& child : SortedChildren(folder->ShellFolder(), ObjectTypesToFlags(FObjectTypes), FShowExt))
        InitNode(Items()->AddChild(Node, child.Name), child.ID.get(), Node, &child.Name);
}

void TacCustomShellTreeView::SetNodeImages(TTreeNode* Node, ULONG Attributes)
{
    TacShellFolder* folder = FolderOf(Node);
    if (!folder || !FUseShellImages || Images())
        return;
    const int closed = FImages.ImageOf(folder, Attributes, false, false);
    const int open = FImages.ImageOf(folder, Attributes, false, true);
    Node->SetImageIndex(closed);
    Node->SetSelectedIndex(open <= 0 ? closed : open);
}

void TacCustomShellTreeView::GetImageIndex(TTreeNode* Node)
{
    // With shell pictures the node keeps the ones it was given.
    if (Images())
        inherited::GetImageIndex(Node);
}

void TacCustomShellTreeView::GetSelectedIndex(TTreeNode* Node)
{
    if (Images())
        inherited::GetSelectedIndex(Node);
}

void TacCustomShellTreeView::Delete(TTreeNode* Node)
{
    delete FolderOf(Node);
    Node->SetData(nullptr);
    inherited::Delete(Node);
}

bool TacCustomShellTreeView::CanExpand(TTreeNode* Node)
{
    if (!inherited::CanExpand(Node))
        return false;
    if (TacShellFolder* folder = FolderOf(Node)) {
        if (folder->IsFolder()) {
            if (Node->HasChildren() && Node->Count() == 0)
                PopulateNode(Node);
        } else {
            // Started by its item list: a path in the code page may name another file.
            folder->ExecuteDefault();
        }
    }
    Node->SetHasChildren(Node->Count() > 0);
    return true;
}

bool TacCustomShellTreeView::CanChange(TTreeNode* Node)
{
    const bool allow = inherited::CanChange(Node);
    TacShellFolder* folder = FolderOf(Node);
    if (!allow || FUpdating || !folder)
        return allow;
    // The partners show the node's folder (a file's folder for a file).
    if (!folder->IsFolder() && folder->Parent())
        folder = folder->Parent();
    const bool refresh = FAutoRefresh;
    SetAutoRefresh(false);
    {
        FUpdating = true;
        struct TReset {
            bool& Flag;
            ~TReset() { Flag = false; }
        } reset{FUpdating};
        if (FComboBox)
            FComboBox->TreeUpdate(folder->AbsoluteID());
        if (FListView)
            FListView->TreeUpdate(folder->AbsoluteID());
    }
    FNodeChanging = Node;
    SetAutoRefresh(refresh);
    FNodeChanging = nullptr;
    return allow;
}

// --- Paths ------------------------------------------------------------------------------------------

AnsiString TacCustomShellTreeView::GetPath()
{
    TacShellFolder* folder = SelectedFolder();
    return folder ? folder->FileSystemPath() : AnsiString();
}

TacShellFolder* TacCustomShellTreeView::SelectedFolder() { return FolderOf(Selected()); }

TacShellFolder* TacCustomShellTreeView::GetFolder(int Index)
{
    return Index >= 0 && Index < Items()->Count() ? FolderOf(Items()->Item(Index)) : nullptr;
}

void TacCustomShellTreeView::SetPath(const AnsiString& Value)
{
    PIDL pidl = nullptr;
    std::wstring wide(Value.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, Value.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    if (Value.empty() || FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr)) ||
        !pidl)
        throw Exception("Error Setting Path");
    TItemIDList owned(pidl);
    try {
        SetPathFromID(owned.get());
    } catch (...) {
        throw Exception("Error Setting Path");
    }
}

TTreeNode* TacCustomShellTreeView::NodeFromRelativeID(TTreeNode* ParentNode, PCIDL ID)
{
    TacShellFolder* parent = FolderOf(ParentNode);
    IShellFolder* folder = parent ? parent->ShellFolder() : nullptr;
    if (!folder || !ID)
        return nullptr;
    for (TTreeNode* n = ParentNode->getFirstChild(); n; n = n->getNextSibling())
        if (TacShellFolder* f = FolderOf(n); f && SameChild(folder, f->RelativeID(), ID))
            return n;
    return nullptr;
}

TTreeNode* TacCustomShellTreeView::NodeFromAbsoluteID(TTreeNode* StartNode, PCIDL ID)
{
    for (TTreeNode* n = StartNode; n; n = n->GetNext())
        if (TacShellFolder* f = FolderOf(n); f && SamePIDL(f->AbsoluteID(), ID))
            return n;
    return nullptr;
}

TTreeNode* TacCustomShellTreeView::FolderExists(PCIDL ID, TTreeNode* ParentNode)
{
    return FindInSubtree(ParentNode, [ID](TTreeNode* n) {
        TacShellFolder* f = FolderOf(n);
        return f && SamePIDL(f->AbsoluteID(), ID);
    });
}

void TacCustomShellTreeView::SetPathFromID(PCIDL ID)
{
    if (FUpdating || ComponentState().Contains(csLoading) || !ID)
        return;
    if (TacShellFolder* selected = SelectedFolder(); selected && SamePIDL(selected->AbsoluteID(), ID))
        return;
    TItemIDList target(CopyPIDL(ID));
    FUpdating = true;
    // Cleared after the hold ends, so what the end of the hold sets off still sees the move.
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FUpdating};
    TTreeUpdateHold hold(this);
    for (const TItemIDList& ancestor : CreatePIDLList(target.get()))
        if (TTreeNode* n = FolderExists(ancestor.get(), Items()->GetFirstNode()))
            n->Expand(false);
    TTreeNode* node = FolderExists(target.get(), Items()->GetFirstNode());
    SetSelected(node);
    if (node) {
        if (FListView)
            FListView->TreeUpdate(target.get());
        if (FComboBox)
            FComboBox->TreeUpdate(target.get());
    }
}

// --- Refresh ----------------------------------------------------------------------------------------

void TacCustomShellTreeView::Refresh(TTreeNode* Node)
{
    TacShellFolder* folder = FolderOf(Node);
    if (!folder || !folder->ShellFolder())
        return;
    TacHourGlass hourGlass;
    TTreeNode* top = TopItem();
    TItemIDList topID(top && FolderOf(top) ? CopyPIDL(FolderOf(top)->AbsoluteID()) : nullptr);
    TItemIDList selectedID(SelectedFolder() ? CopyPIDL(SelectedFolder()->AbsoluteID()) : nullptr);
    {
        TTreeUpdateHold hold(this);
        // The node again, read anew, before the old one.
        TTreeNode* fresh = Items()->InsertObject(
            Node, Node->Text(), new TacShellFolder(FolderOf(Node->Parent()), folder->RelativeID(), folder->ShellFolder()));
        fresh->SetImageIndex(Node->ImageIndex());
        fresh->SetSelectedIndex(Node->SelectedIndex());
        fresh->SetOverlayIndex(Node->OverlayIndex());
        PopulateNode(fresh);
        fresh->SetHasChildren(fresh->Count() > 0);
        // What was expanded below the old node is expanded below the new one.
        for (TTreeNode* n = Node; n && (n == Node || n->Level() > Node->Level()); n = n->GetNext())
            if (n->Expanded() && FolderOf(n))
                if (TTreeNode* twin = FolderExists(FolderOf(n)->AbsoluteID(), fresh))
                    twin->Expand(false);
        FUpdating = true;
        Node->Delete();
        if (selectedID)
            SetSelected(FolderExists(selectedID.get(), Items()->GetFirstNode()));
        FUpdating = false;
    }
    if (topID)
        if (TTreeNode* t = FolderExists(topID.get(), Items()->GetFirstNode()))
            SetTopItem(t);
}

void TacCustomShellTreeView::RefreshEvent()
{
    TTreeNode* node = Selected() ? Selected() : Items()->GetFirstNode();
    // A node whose item has gone gives way to its nearest ancestor that still exists.
    TTreeNode* kept = node;
    while (kept && kept->Parent() && FolderOf(kept) && !FolderOf(kept)->Exists())
        kept = kept->Parent();
    if (kept != node)
        kept->SetSelected(true);
    Refresh(kept);
}

void TacCustomShellTreeView::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    FreeAndNil(FNotifier);
    if (!Value)
        return;
    TacShellFolder* watched = FNodeChanging ? FolderOf(FNodeChanging) : SelectedFolder();
    if (watched && !watched->IsFolder() && watched->Parent())
        watched = watched->Parent();
    if (!watched)
        watched = FRootFolder.get();
    if (!watched)
        return;
    // Watched by the path that reaches it (its short path where the code page cannot spell it).
    const AnsiString path = watched->FileSystemPath();
    if (path.empty()) {
        OutputDebugStringA(("Shell tree: no automatic refresh of \"" + watched->PathName() +
                            "\": no path in the code page reaches it\n").c_str());
        return;
    }
    FNotifier = Create<TacShellChangeNotifier>(this);
    FNotifier->SetWatchSubTree(false);
    FNotifier->SetRoot(path);
    FNotifier->SetOnChange(TThreadMethod(this, &TacCustomShellTreeView::RefreshEvent));
}

// --- Editing, the context menu ---------------------------------------------------------------------

void TacCustomShellTreeView::Edit(const TVITEMA& Item)
{
    TTreeNode* node = reinterpret_cast<TTreeNode*>(Item.lParam);
    TacShellFolder* folder = FolderOf(node);
    if (!Item.pszText || !folder)
        return;
    AnsiString text = Item.pszText;
    if (OnEdited)
        OnEdited(this, node, text);
    // The caption left as it was renames nothing (it may be a look-alike of the real name).
    if (text == node->Text())
        return;
    const TItemIDList old(CopyPIDL(folder->AbsoluteID()));
    if (!RenameShellItem(folder, node->Text(), text))
        return;
    node->SetText(text);
    // The nodes below follow the new path, each after its parent.
    const int level = node->Level();
    for (TTreeNode* n = node->GetNext(); n && n->Level() > level; n = n->GetNext())
        if (TacShellFolder* f = FolderOf(n))
            f->ParentRenamed();
    // A partner showing the folder, or one below it, follows it there; the tree keeps its node.
    FUpdating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FUpdating};
    if (FListView && FListView->RootFolder())
        if (TItemIDList moved(MovedPIDL(FListView->RootFolder()->AbsoluteID(), old.get(), folder->AbsoluteID())); moved)
            FListView->TreeUpdate(moved.get());
    if (FComboBox)
        if (TacShellFolder* shown = FComboBox->GetFolder(FComboBox->GetItemIndex()))
            if (TItemIDList moved(MovedPIDL(shown->AbsoluteID(), old.get(), folder->AbsoluteID())); moved)
                FComboBox->TreeUpdate(moved.get());
}

void TacCustomShellTreeView::DoContextPopup(TPoint MousePos, bool& Handled)
{
    TacShellFolder* folder = SelectedFolder();
    if (!AutoContextMenus || !folder || (PopupMenu() && PopupMenu()->AutoPopup)) {
        inherited::DoContextPopup(MousePos, Handled);
        return;
    }
    if (MousePos.x == -1 && MousePos.y == -1) {
        const RECT r = Selected()->DisplayRect(true);
        MousePos = TPoint{r.left, r.bottom};
    }
    InvokeContextMenu(this, folder, MousePos.x, MousePos.y);
    Handled = true;
}

void TacCustomShellTreeView::ExecuteCommand(const AnsiString& Verb, bool& Handled)
{
    if (SameText(Verb, "rename") && Selected()) {
        Selected()->EditText();
        Handled = true;
    } else if (SameText(Verb, "open")) {
        FSavePath = GetCurrentDir();
        if (TacShellFolder* f = SelectedFolder())
            if (const AnsiString path = f->FileSystemPath(); !path.empty())
                SetCurrentDir(ExtractFilePath(path));
    }
}

void TacCustomShellTreeView::CommandCompleted(const AnsiString& Verb, bool Succeeded)
{
    // The current folder comes back whether the item opened or not.
    if (SameText(Verb, "open")) {
        SetCurrentDir(FSavePath);
        return;
    }
    TTreeNode* node = Selected();
    if (!Succeeded || !node)
        return;
    if (SameText(Verb, "delete")) {
        // Only an item that has really gone loses its node.
        if (FolderOf(node) && !FolderOf(node)->Exists())
            node->Delete();
    } else if (SameText(Verb, "paste")) {
        Refresh(node);
    }
}

// --- Partners ---------------------------------------------------------------------------------------

void TacCustomShellTreeView::SetShellComboBox(TacCustomShellComboBox* Value)
{
    LinkPartner(this, FComboBox, Value, &TacCustomShellComboBox::FTreeView);
}

void TacCustomShellTreeView::SetShellListView(TacCustomShellListView* Value)
{
    LinkPartner(this, FListView, Value, &TacCustomShellListView::FTreeView);
}
