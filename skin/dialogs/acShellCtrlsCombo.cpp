#include "acShellCtrlsCombo.h"

#include <algorithm>
#include <map>
#include <string>
#include <commctrl.h>
#include <utility>

#include "acShellCtrlsList.h"
#include "acShellCtrlsTree.h"
#include "sConst.h"
#include "sUtils.h"

namespace {

// Sets a flag for the lifetime of the object.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& F) : Flag(F) { Flag = true; }
    ~TFlagScope() { Flag = false; }
};

// The pictures of the folders the boxes have shown, by the bytes of their absolute lists (the
// shell's picture of an item is an index in the process's system list).
std::map<std::string, int>& FolderPictures()
{
    static std::map<std::string, int> pictures;
    return pictures;
}
constexpr std::size_t MaxFolderPictures = 4096;

} // namespace

TacCustomShellComboBox::TacCustomShellComboBox(TComponent* AOwner) : TsCustomComboBoxEx(AOwner)
{
    SetDropDownCount(14);
    InitShellImageLists(false, true);
    if (SmallShellImages)
        ImageList_SetBkColor(SmallShellImages->Handle(), CLR_NONE);
    SetUseShellImages(true);
}

TacCustomShellComboBox::~TacCustomShellComboBox() = default;

void TacCustomShellComboBox::BeforeDestruction()
{
    ClearItems();
    if (Images() == SmallShellImages)
        SetImages(nullptr);
    inherited::BeforeDestruction();
}

void TacCustomShellComboBox::Loaded()
{
    inherited::Loaded();
    // The root is checked now; its chain is built when first asked for: a form built in code
    // mostly shows a folder of its own at once, which builds the chain again.
    FRootFolder.reset(CreateRootFolder(nullptr, FOldRoot, FRoot));
    FChainPending = true;
}

void TacCustomShellComboBox::BuildPendingChain()
{
    if (FChainPending)
        CreateRoot();
}

void TacCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FTreeView)
        FTreeView = nullptr;
    if (AComponent == FListView)
        FListView = nullptr;
}

void TacCustomShellComboBox::CreateWnd()
{
    inherited::CreateWnd();
    // The items belong to the object: a window made again shows them as they are, the folder shown
    // selected.
    if (ItemsEx()->Count() == 0)
        CreateRoot();
    else if (GetItemIndex() < 0 && FShown)
        SetItemIndex(IndexFromID(FShown.get()));
}

void TacCustomShellComboBox::SetUseShellImages(bool Value)
{
    FUseShellImages = Value;
    // An image list of the application's own stays; the shell's list comes and goes with the flag.
    if (Value && !Images())
        SetImages(SmallShellImages);
    else if (!Value && Images() == SmallShellImages)
        SetImages(nullptr);
}

int TacCustomShellComboBox::GetShellImageIndex(TacShellFolder* Folder)
{
    // Each folder's own picture: the folders in the chain (drives, the system's root, special
    // folders) differ too much to share one picture by kind. The chain is built again on each
    // move and in each new form, mostly of the same items: each item is asked of the shell once.
    if (!FUseShellImages || !Folder)
        return -1;
    PCIDL id = Folder->AbsoluteID();
    const std::string key(reinterpret_cast<const char*>(id), GetPIDLSize(id));
    std::map<std::string, int>& known = FolderPictures();
    if (const auto it = known.find(key); it != known.end())
        return it->second;
    // The folders a user moves through are few; the map never grows without end.
    if (known.size() >= MaxFolderPictures)
        known.clear();
    return known.emplace(key, GetShellImage(id, false, false)).first->second;
}

// --- Root and items ----------------------------------------------------------------------------

void TacCustomShellComboBox::SetRoot(const TacRoot& Value)
{
    if (SameText(Value, FRoot))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TacCustomShellComboBox::SetObjectTypes(TacShellObjectTypes Value)
{
    FObjectTypes = Value;
    RootChanged();
}

void TacCustomShellComboBox::RootChanged()
{
    TFlagScope updating(FUpdating);
    CreateRoot();
    if (FTreeView)
        FTreeView->SetRoot(FRoot);
    if (FListView)
        FListView->SetRoot(FRoot);
}

void TacCustomShellComboBox::ClearItems()
{
    TsComboItems* items = ItemsEx();
    items->BeginUpdate();
    for (int i = 0; i < items->Count(); ++i) {
        delete static_cast<TacShellFolder*>(items->Items(i)->Data());
        items->Items(i)->SetData(nullptr);
    }
    items->Clear();
    if (HandleAllocated() && !ComponentState().Contains(csDestroying))
        Items()->Clear();
    items->EndUpdate();
}

void TacCustomShellComboBox::InsertFolder(int Index, TacShellFolder* Folder)
{
    TsComboItem* item = static_cast<TsComboItem*>(ItemsEx()->Insert(Index));
    const AnsiString caption = Folder->DisplayName(seSystem);
    int image = GetShellImageIndex(Folder);
    if (OnGetImageIndex && FUseShellImages)
        OnGetImageIndex(this, Index, image);
    item->SetCaption(caption);
    item->SetData(Folder);
    // Deep levels share one indent, so that the picture and the name of a deep folder stay inside
    // the drop-down's width.
    item->SetIndend(std::min(Folder->Level(), MaxIndentLevel));
    item->SetImageIndex(image);
    item->SetSelectedImageIndex(image);
    if (HandleAllocated())
        Items()->Insert(Index, caption);
}

void TacCustomShellComboBox::CreateRoot()
{
    if (ComponentState().Contains(csLoading))
        return;
    FChainPending = false;
    // The new root is made before anything goes: a text the shell cannot use leaves the items.
    std::unique_ptr<TacShellFolder> root(CreateRootFolder(nullptr, FOldRoot, FRoot));
    ItemsEx()->BeginUpdate();
    struct TEnd {
        TsComboItems* Items;
        ~TEnd() { Items->EndUpdate(); }
    } end{ItemsEx()};
    ClearItems();
    FRootFolder = std::move(root);
    InsertFolder(0, new TacShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder()));
    FChainOnly = FFillOnDemand && !(HandleAllocated() && Focused());
    if (!FChainOnly)
        Init();
    FShown.reset(CopyPIDL(FRootFolder->AbsoluteID()));
    if (HandleAllocated())
        SetItemIndex(0);
}

void TacCustomShellComboBox::Init()
{
    ItemsEx()->BeginUpdate();
    struct TEnd {
        TsComboItems* Items;
        ~TEnd() { Items->EndUpdate(); }
    } end{ItemsEx()};
    AddItems(0, FRootFolder.get());
    if (FRoot != "rfDesktop")
        return;
    PIDL drives = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)) || !drives)
        return;
    TItemIDList owned(drives);
    const int index = IndexFromID(drives);
    if (index >= 0)
        AddItems(index, GetFolder(index));
}

void TacCustomShellComboBox::FillItems()
{
    if (!FChainOnly)
        return;
    TacShellFolder* shown = GetFolder(GetItemIndex());
    if (!shown)
        return;
    // The chain is built again, whole, for the folder shown.
    TItemIDList id(CopyPIDL(shown->AbsoluteID()));
    const bool onDemand = std::exchange(FFillOnDemand, false);
    struct TRestore {
        bool& Flag;
        bool Value;
        ~TRestore() { Flag = Value; }
    } restore{FFillOnDemand, onDemand};
    TFlagScope updating(FUpdating);
    SetPathFromID(id.get());
}

void TacCustomShellComboBox::AddItems(int Index, TacShellFolder* ParentFolder)
{
    IShellFolder* folder = ParentFolder ? ParentFolder->ShellFolder() : nullptr;
    if (!folder)
        return;
    TComInterface<IEnumIDList> items;
    // A folder that cannot be listed (access denied) and success with no enumerator list nothing.
    if (FAILED(folder->EnumObjects(nullptr, ObjectTypesToFlags(FObjectTypes), &items)) || !items)
        return;
    std::vector<TItemIDList> children;
    PIDL child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && child)
        children.emplace_back(child);
    std::stable_sort(children.begin(), children.end(), [folder](const TItemIDList& a, const TItemIDList& b) {
        const HRESULT r = folder->CompareIDs(0, a.get(), b.get());
        return SUCCEEDED(r) && static_cast<short>(HRESULT_CODE(r)) < 0;
    });
    for (std::size_t i = 0; i < children.size(); ++i)
        InsertFolder(Index + 1 + static_cast<int>(i), new TacShellFolder(ParentFolder, children[i].get(), nullptr));
}

int TacCustomShellComboBox::IndexFromID(PCIDL ID)
{
    BuildPendingChain();
    for (int i = ItemsEx()->Count() - 1; i >= 0; --i)
        if (auto* f = static_cast<TacShellFolder*>(ItemsEx()->Items(i)->Data()); f && SamePIDL(f->AbsoluteID(), ID))
            return i;
    return -1;
}

TacShellFolder* TacCustomShellComboBox::GetFolder(int Index)
{
    BuildPendingChain();
    const int count = ItemsEx()->Count();
    if (Index < 0 || count == 0)
        return nullptr;
    return static_cast<TacShellFolder*>(ItemsEx()->Items(std::min(Index, count - 1))->Data());
}

void TacCustomShellComboBox::SetPathFromID(PCIDL ID)
{
    if (!ID)
        return;
    TItemIDList target(CopyPIDL(ID)); // ID may be an item's own list, which CreateRoot frees
    ItemsEx()->BeginUpdate();
    struct TEnd {
        TsComboItems* Items;
        ~TEnd() { Items->EndUpdate(); }
    } end{ItemsEx()};
    CreateRoot();
    TPIDLList ancestors = CreatePIDLList(target.get());
    int found = -1, level = static_cast<int>(ancestors.size()) - 1;
    for (; level >= 0 && found < 0; --level)
        found = IndexFromID(ancestors[static_cast<std::size_t>(level)].get());
    // The deepest ancestor shown is found: the levels below it go in after it, one by one.
    if (found < 0 && IndexFromID(target.get()) < 0)
        return;
    int last = found;
    for (std::size_t l = static_cast<std::size_t>(level + 2); l <= ancestors.size() && found >= 0; ++l) {
        PCIDL next = l < ancestors.size() ? ancestors[l].get() : target.get();
        if (l == ancestors.size() && IndexFromID(next) >= 0)
            break;
        TItemIDList relative(RelativeFromAbsolute(next));
        InsertFolder(last + 1, new TacShellFolder(GetFolder(last), relative.get(), nullptr));
        ++last;
    }
    SetItemIndex(IndexFromID(target.get()));
    FShown = std::move(target);
}

void TacCustomShellComboBox::TreeUpdate(PCIDL ID)
{
    if (FUpdating || !ID)
        return;
    // A chain not built yet comes with its root selected.
    if (FChainPending && SamePIDL(FRootFolder->AbsoluteID(), ID))
        return;
    if (TacShellFolder* selected = GetFolder(GetItemIndex()); selected && SamePIDL(selected->AbsoluteID(), ID))
        return;
    TFlagScope updating(FUpdating);
    SetPathFromID(ID);
    if (OnChange)
        OnChange(this);
}

AnsiString TacCustomShellComboBox::GetPath()
{
    TacShellFolder* folder = GetFolder(GetItemIndex());
    const AnsiString path = folder ? folder->FileSystemPath() : AnsiString();
    return path.empty() ? path : NormalDir(path);
}

void TacCustomShellComboBox::SetPath(const AnsiString& Value)
{
    PIDL pidl = nullptr;
    std::wstring wide(Value.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, Value.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    try {
        if (Value.empty() || FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr)) ||
            !pidl)
            throw Exception("");
        TItemIDList owned(pidl);
        SetPathFromID(owned.get());
    } catch (...) {
        throw Exception("Error setting path: \"" + Value + "\"");
    }
}

// --- The user's choice -------------------------------------------------------------------------

void TacCustomShellComboBox::MovePartners()
{
    TacShellFolder* folder = GetFolder(GetItemIndex());
    if (!folder || FUpdating || DroppedDown())
        return;
    TItemIDList id(CopyPIDL(folder->AbsoluteID()));
    FShown.reset(CopyPIDL(id.get()));
    TFlagScope updating(FUpdating);
    if (FTreeView)
        FTreeView->SetPathFromID(id.get());
    if (FListView)
        FListView->TreeUpdate(id.get());
}

void TacCustomShellComboBox::Change()
{
    // A row highlighted in the open list is no choice yet: the choice counts when the list closes.
    if (ItemsEx()->UpdateCount() > 0 || DroppedDown())
        return;
    inherited::Change();
    MovePartners();
}

void TacCustomShellComboBox::DropDown()
{
    FillItems();
    inherited::DropDown();
}

void TacCustomShellComboBox::WndProc(TMessage& Message)
{
    // The keys and the open list find every item.
    if (Message.Msg == WM_SETFOCUS)
        FillItems();
    if (Message.Msg == WM_MOUSEWHEEL) {
        // The wheel scrolls an open list without choosing; a closed box keeps its folder.
        if (DroppedDown()) {
            const int lines = -GET_WHEEL_DELTA_WPARAM(Message.WParam) * 3 / WHEEL_DELTA;
            const int top = static_cast<int>(SendMessageA(Handle(), CB_GETTOPINDEX, 0, 0)) + lines;
            SendMessageA(Handle(), CB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top)), 0);
        }
        Message.Result = 1;
        return;
    }
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_SELENDCANCEL)
        FCancelled = true;
    else if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_SELENDOK)
        FCancelled = false;
    inherited::WndProc(Message);
}

void TacCustomShellComboBox::Rebuild()
{
    // The chain is built again for the chosen item (other open branches close); not while the
    // list is open and the choice not yet made.
    TacShellFolder* folder = GetFolder(GetItemIndex());
    if (!folder || FUpdating || DroppedDown())
        return;
    TItemIDList id(CopyPIDL(folder->AbsoluteID()));
    TFlagScope updating(FUpdating);
    SetPathFromID(id.get());
}

void TacCustomShellComboBox::Click()
{
    Rebuild();
    inherited::Click();
}

void TacCustomShellComboBox::CloseUp()
{
    inherited::CloseUp();
    const bool cancelled = std::exchange(FCancelled, false);
    TacShellFolder* folder = GetFolder(GetItemIndex());
    if (!folder || !FShown || SamePIDL(folder->AbsoluteID(), FShown.get()))
        return;
    // Escape (or a click outside) gives the folder shown back.
    if (cancelled) {
        SetItemIndex(IndexFromID(FShown.get()));
        return;
    }
    // A choice made by keys in the open list counts once the list has closed.
    Rebuild();
    if (OnChange)
        OnChange(this);
    MovePartners();
}

// --- Partners -----------------------------------------------------------------------------------

void TacCustomShellComboBox::SetShellTreeView(TacCustomShellTreeView* Value)
{
    LinkPartner(this, FTreeView, Value, &TacCustomShellTreeView::FComboBox);
}

void TacCustomShellComboBox::SetShellListView(TacCustomShellListView* Value)
{
    LinkPartner(this, FListView, Value, &TacCustomShellListView::FComboBox);
}
