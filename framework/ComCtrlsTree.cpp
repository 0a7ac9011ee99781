#include "ComCtrlsTree.h"

#include "ClassesFiler.h"
#include "ComCtrlsDraw.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

// ---------------------------------------------------------------------------------------------
// Everything the model tells its view goes through here; without a view nothing happens, and
// without a window the view only fires the events that do not depend on one.
struct TreeViewLink {
    static TCustomTreeView* View(TTreeNodes* Nodes) { return Nodes ? Nodes->Owner() : nullptr; }
    static HWND Window(TTreeNodes* Nodes)
    {
        TCustomTreeView* v = View(Nodes);
        return v && v->HandleAllocated() ? v->Handle() : nullptr;
    }
    static void Added(TTreeNodes* Nodes, TTreeNode* Node);
    static void Deleting(TTreeNodes* Nodes, TTreeNode* Node);
    static void Clearing(TTreeNodes* Nodes);
    static void ItemChanged(TTreeNodes* Nodes, TTreeNode* Node);
    static void ImageChanged(TTreeNodes* Nodes, TTreeNode* Node);
    static void Moving(TTreeNodes* Nodes, TTreeNode* Node);
    static void Moved(TTreeNodes* Nodes, TTreeNode* Node);
    static bool CanExpand(TTreeNodes* Nodes, TTreeNode* Node, bool Expand);
    static void Expanded(TTreeNodes* Nodes, TTreeNode* Node, bool Expand);
    static void SelectionMoved(TTreeNodes* Nodes, TTreeNode* Node);
    static bool Select(TTreeNodes* Nodes, TTreeNode* Node);
    static bool EditText(TTreeNodes* Nodes, TTreeNode* Node);
    static void EndEdit(TTreeNodes* Nodes, bool Cancel);
    static void MakeVisible(TTreeNodes* Nodes, TTreeNode* Node);
    static RECT DisplayRect(TTreeNodes* Nodes, const TTreeNode* Node, bool TextOnly);
    static void Updating(TTreeNodes* Nodes, bool On);
};

namespace {

// The first node after Node's subtree in depth-first order (null at the end of the tree).
TTreeNode* AfterSubtree(const TTreeNode* Node)
{
    for (const TTreeNode* n = Node; n; n = n->Parent())
        if (n->getNextSibling())
            return n->getNextSibling();
    return nullptr;
}

void ViewAdded(TTreeNodes* n, TTreeNode* node) { TreeViewLink::Added(n, node); }
void ViewDeleting(TTreeNodes* n, TTreeNode* node) { TreeViewLink::Deleting(n, node); }
void ViewClearing(TTreeNodes* n) { TreeViewLink::Clearing(n); }
void ViewItemChanged(TTreeNodes* n, TTreeNode* node) { TreeViewLink::ItemChanged(n, node); }
void ViewImageChanged(TTreeNodes* n, TTreeNode* node) { TreeViewLink::ImageChanged(n, node); }
void ViewMoving(TTreeNodes* n, TTreeNode* node) { TreeViewLink::Moving(n, node); }
void ViewMoved(TTreeNodes* n, TTreeNode* node) { TreeViewLink::Moved(n, node); }
bool ViewCanExpand(TTreeNodes* n, TTreeNode* node, bool e) { return TreeViewLink::CanExpand(n, node, e); }
void ViewExpanded(TTreeNodes* n, TTreeNode* node, bool e) { TreeViewLink::Expanded(n, node, e); }
void ViewSelectionMoved(TTreeNodes* n, TTreeNode* node) { TreeViewLink::SelectionMoved(n, node); }
bool ViewSelect(TTreeNodes* n, TTreeNode* node) { return TreeViewLink::Select(n, node); }
bool ViewEditText(TTreeNodes* n, TTreeNode* node) { return TreeViewLink::EditText(n, node); }
void ViewEndEdit(TTreeNodes* n, bool c) { TreeViewLink::EndEdit(n, c); }
void ViewMakeVisible(TTreeNodes* n, TTreeNode* node) { TreeViewLink::MakeVisible(n, node); }
RECT ViewDisplayRect(TTreeNodes* n, const TTreeNode* node, bool t) { return TreeViewLink::DisplayRect(n, node, t); }
void ViewUpdating(TTreeNodes* n, bool on) { TreeViewLink::Updating(n, on); }

// Runs Body between BeginUpdate and EndUpdate of Nodes, also when it throws.
template <class F>
void WithinUpdate(TTreeNodes& Nodes, F&& Body)
{
    Nodes.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Nodes.EndUpdate();
        throw;
    }
    Nodes.EndUpdate();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TTreeNode

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TTreeNode::SetText(const AnsiString& Value)
{
    FText = Value;
    ViewItemChanged(FOwner, this);
}

// The window asks the nodes for their images when it draws: a change needs only a repaint.
void TTreeNode::SetImageIndex(Integer Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    ViewImageChanged(FOwner, this);
}

void TTreeNode::SetSelectedIndex(Integer Value)
{
    if (FSelectedIndex == Value)
        return;
    FSelectedIndex = Value;
    ViewImageChanged(FOwner, this);
}

void TTreeNode::SetStateIndex(Integer Value)
{
    FStateIndex = Value;
    ViewItemChanged(FOwner, this);
}

void TTreeNode::SetOverlayIndex(Integer Value)
{
    FOverlayIndex = Value;
    ViewItemChanged(FOwner, this);
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

TTreeNode* TTreeNode::Item(int Index) const
{
    TTreeNode* node = Index >= 0 ? FFirstChild : nullptr;
    for (int i = 0; node && i < Index; ++i)
        node = node->FNextSibling;
    if (!node)
        throw ETreeViewError("List index out of bounds (" + std::to_string(Index) + ")");
    return node;
}

int TTreeNode::Index() const
{
    int index = 0;
    for (const TTreeNode* n = FPrevSibling; n; n = n->FPrevSibling)
        ++index;
    return index;
}

int TTreeNode::AbsoluteIndex() const
{
    int index = 0;
    for (const TTreeNode* n = GetPrev(); n; n = n->GetPrev())
        ++index;
    return index;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (FFirstChild)
        return FFirstChild;
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (n->FNextSibling)
            return n->FNextSibling;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    TTreeNode* n = FPrevSibling;
    if (!n)
        return FParent;
    while (n->FLastChild)
        n = n->FLastChild;
    return n;
}

void TTreeNode::SetExpanded(bool Value)
{
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::ExpandOne(bool Expand)
{
    // Programmatic expand and collapse reach every node, leaves included, as the framework's
    // do (handlers tell folders from leaves themselves); only a node with children changes state.
    if (!ViewCanExpand(FOwner, this, Expand))
        return;
    if (FHasChildren) {
        FExpanded = Expand;
        // The selection cannot stay hidden below a collapsed node: it moves up to this one.
        TTreeNode* sel = FOwner->FSelected;
        if (!Expand && sel && sel != this && sel->HasAsParent(this))
            ViewSelectionMoved(FOwner, this);
    }
    ViewExpanded(FOwner, this, Expand);
}

void TTreeNode::ExpandRange(TTreeNodes& Nodes, TTreeNode* First, const TTreeNode* Stop, bool Expand)
{
    const auto run = [&] {
        for (TTreeNode* n = First; n && n != Stop; n = n->GetNext())
            n->ExpandOne(Expand);
    };
    // A range already in that state, in the nodes and in the window, gets its events only: the
    // lock's end makes the native control lay out every shown row again, which takes about a
    // second on 100,000 shown rows, for a screen that does not change.
    bool changes = Nodes.FPending || Nodes.FExpandPending;
    for (const TTreeNode* n = First; !changes && n && n != Stop; n = n->GetNext())
        changes = (n->FHasChildren && n->FExpanded != Expand) || (n->FItemId && n->FItemExpanded != n->FExpanded);
    if (changes)
        WithinUpdate(Nodes, run);
    else
        run();
}

void TTreeNode::Expand(bool Recurse)
{
    if (!Recurse)
        ExpandOne(true);
    else
        ExpandRange(*FOwner, this, AfterSubtree(this), true);
}

void TTreeNode::Collapse(bool Recurse)
{
    if (!Recurse)
        ExpandOne(false);
    else
        ExpandRange(*FOwner, this, AfterSubtree(this), false);
}

void TTreeNode::SetHasChildren(bool Value)
{
    FHasChildren = Value;
    if (!Value)
        FExpanded = false;
    ViewItemChanged(FOwner, this);
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const
{
    if (!Value)
        return true;
    for (const TTreeNode* p = FParent; p; p = p->FParent)
        if (p == Value)
            return true;
    return false;
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren()
{
    WithinUpdate(*FOwner, [this] {
        while (FFirstChild)
            FOwner->Delete(FFirstChild);
    });
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode)
{
    if (Destination && Destination->FOwner != FOwner)
        throw ETreeViewError("Cannot move a node into another tree");
    TTreeNode* parent = nullptr;
    TTreeNode* before = nullptr;
    switch (Mode) {
    case naAdd:
        parent = Destination ? Destination->FParent : nullptr;
        break;
    case naAddFirst:
        parent = Destination ? Destination->FParent : nullptr;
        before = FOwner->FirstOf(parent);
        break;
    case naAddChild:
        parent = Destination;
        break;
    case naAddChildFirst:
        parent = Destination;
        before = FOwner->FirstOf(parent);
        break;
    case naInsert:
        parent = Destination ? Destination->FParent : nullptr;
        before = Destination;
        break;
    }
    // Never below itself: the new parent may be neither this node nor inside its subtree.
    if (parent && (parent == this || parent->HasAsParent(this)))
        return;
    if (before == this)
        return; // already in place
    TTreeNode* oldParent = FParent;
    ViewMoving(FOwner, this);
    FOwner->Unlink(this);
    FOwner->Link(this, parent, before);
    FOwner->Changed();
    ViewMoved(FOwner, this);
    if (oldParent && oldParent != parent)
        ViewItemChanged(FOwner, oldParent);
}

bool TTreeNode::EditText() { return ViewEditText(FOwner, this); }

void TTreeNode::EndEdit(bool Cancel) { ViewEndEdit(FOwner, Cancel); }

bool TTreeNode::Selected() const { return FOwner->FSelected == this; }

void TTreeNode::SetSelected(bool Value)
{
    // With a window the selection changes there and comes back through its notifications.
    if (Value) {
        if (!ViewSelect(FOwner, this))
            FOwner->FSelected = this;
    } else if (Selected()) {
        if (!ViewSelect(FOwner, nullptr))
            FOwner->FSelected = nullptr;
    }
}

bool TTreeNode::Focused() const { return Selected(); }

void TTreeNode::SetFocused(bool Value) { SetSelected(Value); }

void TTreeNode::MakeVisible()
{
    for (TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->FExpanded)
            p->Expand(false);
    ViewMakeVisible(FOwner, this);
}

RECT TTreeNode::DisplayRect(bool TextOnly) const { return ViewDisplayRect(FOwner, this, TextOnly); }

// ---------------------------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::~TTreeNodes()
{
    // The view is going away with the nodes: free them without telling it.
    FOwner = nullptr;
    while (FFirst) {
        TTreeNode* node = FFirst;
        Unlink(node);
        FreeSubtree(node);
    }
}

TTreeNode* TTreeNodes::NewNode(const AnsiString& S, void* Ptr)
{
    auto* node = new TTreeNode(this);
    node->FText = S;
    node->FData = Ptr;
    return node;
}

void TTreeNodes::Link(TTreeNode* Node, TTreeNode* Parent, TTreeNode* Before)
{
    TTreeNode*& first = FirstOf(Parent);
    TTreeNode*& last = LastOf(Parent);
    Node->FParent = Parent;
    Node->FNextSibling = Before;
    Node->FPrevSibling = Before ? Before->FPrevSibling : last;
    if (Node->FPrevSibling)
        Node->FPrevSibling->FNextSibling = Node;
    else
        first = Node;
    if (Before)
        Before->FPrevSibling = Node;
    else
        last = Node;
    if (Parent) {
        ++Parent->FChildCount;
        Parent->FHasChildren = true;
    }
    FCount += SubtreeSize(Node);
}

void TTreeNodes::Unlink(TTreeNode* Node)
{
    TTreeNode* parent = Node->FParent;
    if (Node->FPrevSibling)
        Node->FPrevSibling->FNextSibling = Node->FNextSibling;
    else
        FirstOf(parent) = Node->FNextSibling;
    if (Node->FNextSibling)
        Node->FNextSibling->FPrevSibling = Node->FPrevSibling;
    else
        LastOf(parent) = Node->FPrevSibling;
    if (parent && --parent->FChildCount == 0) {
        parent->FHasChildren = false;
        parent->FExpanded = false;
    }
    Node->FParent = Node->FNextSibling = Node->FPrevSibling = nullptr;
    FCount -= SubtreeSize(Node);
}

int TTreeNodes::SubtreeSize(const TTreeNode* Node)
{
    int size = 1;
    // A node with no children (the common case on insertion) costs nothing more.
    if (!Node->FFirstChild)
        return size;
    for (const TTreeNode* n = Node->FFirstChild; n && n != Node;) {
        ++size;
        if (n->FFirstChild) {
            n = n->FFirstChild;
            continue;
        }
        while (n != Node && !n->FNextSibling)
            n = n->FParent;
        if (n != Node)
            n = n->FNextSibling;
    }
    return size;
}

// Frees an unlinked subtree bottom-up without recursion, so any depth is safe.
void TTreeNodes::FreeSubtree(TTreeNode* Node)
{
    TTreeNode* n = Node;
    for (;;) {
        while (n->FFirstChild)
            n = n->FFirstChild;
        if (n == Node) {
            delete n;
            return;
        }
        TTreeNode* parent = n->FParent;
        parent->FFirstChild = n->FNextSibling;
        if (n->FNextSibling)
            n->FNextSibling->FPrevSibling = nullptr;
        delete n;
        n = parent;
    }
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    return AddChildObject(Sibling ? Sibling->FParent : nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    return AddChildObjectFirst(Sibling ? Sibling->FParent : nullptr, S, Ptr);
}

TTreeNode* TTreeNodes::SortedPlace(TTreeNode* Parent, TTreeNode* Before, const AnsiString& S) const
{
    // A tree view sorted by text keeps every sibling list in order: new nodes go to their place.
    if (!FOwner || (FOwner->SortType() != stText && FOwner->SortType() != stBoth))
        return Before;
    TTreeNode* n = Parent ? Parent->FFirstChild : FFirst;
    while (n && lstrcmpA(n->FText.c_str(), S.c_str()) <= 0)
        n = n->FNextSibling;
    return n;
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, Parent, SortedPlace(Parent, nullptr, S));
    Changed();
    ViewAdded(this, node);
    return node;
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, Parent, SortedPlace(Parent, FirstOf(Parent), S));
    Changed();
    ViewAdded(this, node);
    return node;
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    TTreeNode* parent = Sibling ? Sibling->FParent : nullptr;
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, parent, SortedPlace(parent, Sibling, S));
    Changed();
    ViewAdded(this, node);
    return node;
}

void TTreeNodes::Delete(TTreeNode* Node)
{
    if (!Node)
        return;
    if (Node->FOwner != this)
        throw ETreeViewError("The node belongs to another tree");
    // The view hears of every node of the subtree (children first) while it is still linked.
    ViewDeleting(this, Node);
    if (FSelected && (FSelected == Node || FSelected->HasAsParent(Node)))
        FSelected = nullptr;
    TTreeNode* parent = Node->FParent;
    Unlink(Node);
    Changed();
    FreeSubtree(Node);
    if (parent)
        ViewItemChanged(this, parent);
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    try {
        // The view hears of every node and drops all native items at once.
        ViewClearing(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    FSelected = nullptr;
    TTreeNode* top = FFirst;
    FFirst = FLast = nullptr;
    FCount = 0;
    Changed();
    while (top) {
        TTreeNode* next = top->FNextSibling;
        FreeSubtree(top);
        top = next;
    }
    EndUpdate();
}

TTreeNode* TTreeNodes::Item(int Index)
{
    if (Index < 0 || Index >= FCount)
        throw ETreeViewError("List index out of bounds (" + std::to_string(Index) + ")");
    if (!FCacheNode) {
        FCacheNode = FFirst;
        FCacheIndex = 0;
    }
    // Walk from the cached position or from the first node, whichever is nearer.
    TTreeNode* node = FCacheNode;
    int at = FCacheIndex;
    if (Index < at && Index < at - Index) {
        node = FFirst;
        at = 0;
    }
    while (at < Index) {
        node = node->GetNext();
        ++at;
        ++FItemSteps;
    }
    while (at > Index) {
        node = node->GetPrev();
        --at;
        ++FItemSteps;
    }
    FCacheNode = node;
    FCacheIndex = Index;
    return node;
}

void TTreeNodes::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        ViewUpdating(this, true);
}

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        ViewUpdating(this, false);
}

// ---------------------------------------------------------------------------------------------
// Node records

namespace {

// A node record: Size, image, selected image, state image, overlay image, data, child count, then
// the text as a short string. Size counts the bytes after itself: 25 + the text length.
constexpr int RecordFixed = 25;
constexpr int RecordMaxText = TTreeNodes::MaxTextLength;
constexpr int RecordMinBytes = 4 + RecordFixed; // Size field plus the smallest record

void PutInt(std::string& out, Integer v)
{
    auto u = static_cast<std::uint32_t>(v);
    const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
    out.append(b, 4);
}

Integer GetInt(const Byte* p)
{
    return static_cast<Integer>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                (std::uint32_t(p[3]) << 24));
}

// One record read from the data, before any node exists.
struct NodeRecord {
    AnsiString Text;
    Integer ImageIndex, SelectedIndex, StateIndex, OverlayIndex;
    int Parent; // index of the parent record, -1 for a top-level node
};

[[noreturn]] void Damaged(const std::string& what, std::size_t offset)
{
    throw EReadError("Damaged tree node data: " + what + " at byte " + std::to_string(offset));
}

// Reads and checks every record of Data into Out; raises EReadError on any damage.
void ParseRecords(const Byte* Data, std::size_t Size, std::vector<NodeRecord>& Out)
{
    std::size_t pos = 0;
    auto left = [&] { return Size - pos; };
    // A count of records must fit in the bytes left, each record taking at least RecordMinBytes.
    auto readCount = [&](const char* what) -> Integer {
        if (left() < 4)
            Damaged(std::string(what) + " past the end of the data", pos);
        Integer count = GetInt(Data + pos);
        if (count < 0)
            Damaged(std::string("negative ") + what + " " + std::to_string(count), pos);
        pos += 4;
        if (static_cast<std::size_t>(count) > left() / RecordMinBytes)
            Damaged(std::string(what) + " " + std::to_string(count) + " larger than the data left", pos - 4);
        return count;
    };

    // The records come depth first; the stack holds, for each open level, the parent record's
    // index and the number of its children still to come.
    struct Level {
        int Parent;
        Integer Left;
    };
    std::vector<Level> stack;
    stack.push_back({-1, readCount("node count")});
    while (!stack.empty()) {
        if (stack.back().Left == 0) {
            stack.pop_back();
            continue;
        }
        --stack.back().Left;
        const std::size_t start = pos;
        if (left() < 4)
            Damaged("node record past the end of the data", start);
        Integer recSize = GetInt(Data + pos);
        if (recSize < RecordFixed || recSize > RecordFixed + RecordMaxText)
            Damaged("node record size " + std::to_string(recSize) + " outside 25..280", start);
        pos += 4;
        if (left() < static_cast<std::size_t>(recSize))
            Damaged("node record past the end of the data", start);
        const Byte* rec = Data + pos;
        const int textLen = rec[24];
        if (RecordFixed + textLen != recSize)
            Damaged("node text length " + std::to_string(textLen) + " does not match the record size " +
                        std::to_string(recSize),
                    start);
        NodeRecord r;
        r.ImageIndex = GetInt(rec);
        r.SelectedIndex = GetInt(rec + 4);
        r.StateIndex = GetInt(rec + 8);
        r.OverlayIndex = GetInt(rec + 12);
        // rec + 16: the data field, which holds no meaning in a file.
        const Integer children = GetInt(rec + 20);
        r.Text.assign(reinterpret_cast<const char*>(rec + 25), textLen);
        r.Parent = stack.back().Parent;
        pos += recSize;
        if (children < 0)
            Damaged("negative child count " + std::to_string(children), start);
        if (static_cast<std::size_t>(children) > left() / RecordMinBytes)
            Damaged("child count " + std::to_string(children) + " larger than the data left", start);
        Out.push_back(std::move(r));
        if (children > 0) {
            if (static_cast<int>(stack.size()) >= TTreeNodes::MaxReadDepth)
                Damaged("nodes nested deeper than " + std::to_string(TTreeNodes::MaxReadDepth) + " levels", start);
            stack.push_back({static_cast<int>(Out.size()) - 1, children});
        }
    }
}

} // namespace

void TTreeNodes::WriteData(TStream& Stream) const
{
    std::string out;
    int top = 0;
    for (const TTreeNode* n = FFirst; n; n = n->FNextSibling)
        ++top;
    PutInt(out, top);
    // Depth-first order is exactly the order of the records: each node, then its children.
    for (const TTreeNode* n = FFirst; n; n = n->GetNext()) {
        const std::size_t len = std::min<std::size_t>(n->FText.size(), RecordMaxText);
        PutInt(out, RecordFixed + static_cast<Integer>(len));
        PutInt(out, n->FImageIndex);
        PutInt(out, n->FSelectedIndex);
        PutInt(out, n->FStateIndex);
        PutInt(out, n->FOverlayIndex);
        PutInt(out, 0);
        PutInt(out, n->FChildCount);
        out.push_back(static_cast<char>(len));
        out.append(n->FText, 0, len);
    }
    Stream.WriteBuffer(out.data(), static_cast<Integer>(out.size()));
}

void TTreeNodes::ReadData(TStream& Stream)
{
    const Int64 size = Stream.Size() - Stream.Position();
    if (size < 0 || size > 0x7FFFFFFF)
        throw EReadError("Damaged tree node data: invalid size");
    std::vector<Byte> data(static_cast<std::size_t>(size));
    if (size > 0)
        Stream.ReadBuffer(data.data(), static_cast<Integer>(size));
    ReadData(data.data(), data.size());
}

void TTreeNodes::ReadData(const void* Data, std::size_t Size)
{
    std::vector<NodeRecord> records;
    ParseRecords(static_cast<const Byte*>(Data), Size, records);

    // Everything checked: replace the nodes.
    BeginUpdate();
    try {
        Clear();
        std::vector<TTreeNode*> made;
        made.reserve(records.size());
        for (NodeRecord& r : records) {
            TTreeNode* parent = r.Parent >= 0 ? made[r.Parent] : nullptr;
            TTreeNode* node = NewNode(r.Text, nullptr);
            node->FImageIndex = r.ImageIndex;
            node->FSelectedIndex = r.SelectedIndex;
            node->FStateIndex = r.StateIndex;
            node->FOverlayIndex = r.OverlayIndex;
            Link(node, parent, nullptr);
            made.push_back(node);
            ViewAdded(this, node);
        }
        Changed();
    } catch (...) {
        Changed();
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// The view side of the model

namespace {

// The next node of a subtree in post-order (children before their parent); null after Root.
TTreeNode* PostOrderFirst(TTreeNode* Node)
{
    while (Node->getFirstChild())
        Node = Node->getFirstChild();
    return Node;
}

TTreeNode* PostOrderNext(TTreeNode* Node, TTreeNode* Root)
{
    if (Node == Root)
        return nullptr;
    if (Node->getNextSibling())
        return PostOrderFirst(Node->getNextSibling());
    return Node->Parent();
}

// While a tree window drops many items at once (clearing, moving or deleting a subtree, its own
// destruction) it sends a deletion notice per item to the window it notifies. The model has told
// the application of every node already, and each notice would cost a trip through that
// window's dispatch; for the duration its window procedure is wrapped by one that swallows
// exactly those notices and passes everything else on.
class DeletionNoticeFilter {
public:
    DeletionNoticeFilter(HWND Notify, HWND Tree) : FNotify(Notify)
    {
        DWORD pid = 0;
        if (!Notify || !Tree || GetWindowThreadProcessId(Notify, &pid) != GetCurrentThreadId() ||
            GetWindowLongPtrA(Notify, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc))
            return; // not ours to wrap, or wrapped already
        Hooks().push_back({Notify, Tree, nullptr, true});
        auto saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Notify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        if (saved)
            Hooks().back().Saved = saved;
        else
            Hooks().pop_back();
        FActive = saved != nullptr;
    }

    ~DeletionNoticeFilter()
    {
        if (!FActive)
            return;
        Hook* h = Find(FNotify);
        if (!h)
            return; // the window went meanwhile
        if (GetWindowLongPtrA(FNotify, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc)) {
            SetWindowLongPtrA(FNotify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(h->Saved));
            Forget(FNotify);
        } else {
            h->Swallow = false; // wrapped again meanwhile: pass everything on until the window goes
        }
    }

    DeletionNoticeFilter(const DeletionNoticeFilter&) = delete;
    DeletionNoticeFilter& operator=(const DeletionNoticeFilter&) = delete;

private:
    struct Hook {
        HWND Notify;
        HWND Tree;
        WNDPROC Saved;
        bool Swallow;
    };

    static std::vector<Hook>& Hooks()
    {
        thread_local std::vector<Hook>* hooks = new std::vector<Hook>();
        return *hooks;
    }
    static Hook* Find(HWND Wnd)
    {
        for (Hook& h : Hooks())
            if (h.Notify == Wnd)
                return &h;
        return nullptr;
    }
    static void Forget(HWND Wnd)
    {
        auto& hooks = Hooks();
        hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [Wnd](const Hook& h) { return h.Notify == Wnd; }),
                    hooks.end());
    }

    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        Hook* h = Find(Wnd);
        if (!h)
            return DefWindowProcA(Wnd, Msg, WParam, LParam);
        if (h->Swallow && Msg == WM_NOTIFY) {
            auto* hdr = reinterpret_cast<const NMHDR*>(LParam);
            if (hdr && hdr->hwndFrom == h->Tree && (hdr->code == TVN_DELETEITEMA || hdr->code == TVN_DELETEITEMW))
                return 0;
        }
        const WNDPROC saved = h->Saved;
        const LRESULT result = CallWindowProcA(saved, Wnd, Msg, WParam, LParam);
        if (Msg == WM_NCDESTROY)
            Forget(Wnd);
        return result;
    }

    HWND FNotify;
    bool FActive = false;
};

} // namespace

void TreeViewLink::Added(TTreeNodes* Nodes, TTreeNode* Node)
{
    TCustomTreeView* v = View(Nodes);
    if (!v || !v->HandleAllocated())
        return;
    // Inside BeginUpdate/EndUpdate the window gets the new nodes in one pass at the end.
    if (Nodes->FUpdateCount > 0) {
        Nodes->FPending = true;
        return;
    }
    v->InsertItem(Node, v->InsertAfter(Node));
    // A parent that just got its first child gets its expand button.
    if (Node->Parent() && Node->Parent()->Count() == 1)
        v->UpdateItem(Node->Parent());
}

void TreeViewLink::Deleting(TTreeNodes* Nodes, TTreeNode* Node)
{
    TCustomTreeView* v = View(Nodes);
    if (!v)
        return;
    for (TTreeNode* n = PostOrderFirst(Node); n; n = PostOrderNext(n, Node))
        v->Delete(n);
    if (v->HandleAllocated() && Node->FItemId) {
        ++v->FManualNotify;
        v->DropItems(Node->FItemId);
        --v->FManualNotify;
    }
    for (TTreeNode *n = Node, *stop = AfterSubtree(Node); n && n != stop; n = n->GetNext())
        n->FItemId = nullptr;
}

void TreeViewLink::Clearing(TTreeNodes* Nodes)
{
    TCustomTreeView* v = View(Nodes);
    if (!v)
        return;
    // The same order as deleting the top-level nodes one by one from the last.
    for (TTreeNode* top = Nodes->FLast; top; top = top->FPrevSibling)
        for (TTreeNode* n = PostOrderFirst(top); n; n = PostOrderNext(n, top))
            v->Delete(n);
    if (v->HandleAllocated()) {
        // One message for all items; the selection going with them is no change for the application.
        ++v->FLockSelection;
        ++v->FManualNotify;
        v->DropItems(TVI_ROOT);
        --v->FManualNotify;
        --v->FLockSelection;
    }
    Nodes->FPending = false;
    Nodes->FExpandPending = false;
}

void TreeViewLink::ItemChanged(TTreeNodes* Nodes, TTreeNode* Node)
{
    if (TCustomTreeView* v = View(Nodes); v && v->HandleAllocated())
        v->UpdateItem(Node);
}

void TreeViewLink::ImageChanged(TTreeNodes* Nodes, TTreeNode* Node)
{
    if (TCustomTreeView* v = View(Nodes); v && v->HandleAllocated())
        v->RepaintItem(Node);
}

void TreeViewLink::Moving(TTreeNodes* Nodes, TTreeNode* Node)
{
    TCustomTreeView* v = View(Nodes);
    if (!v || !v->HandleAllocated())
        return;
    v->FlushPending();
    if (!Node->FItemId)
        return;
    // The native items go and come back; the move is no selection change for the application.
    ++v->FLockSelection;
    ++v->FManualNotify;
    v->DropItems(Node->FItemId);
    --v->FManualNotify;
    --v->FLockSelection;
    for (TTreeNode *n = Node, *stop = AfterSubtree(Node); n && n != stop; n = n->GetNext())
        n->FItemId = nullptr;
}

void TreeViewLink::Moved(TTreeNodes* Nodes, TTreeNode* Node)
{
    TCustomTreeView* v = View(Nodes);
    if (!v || !v->HandleAllocated())
        return;
    ++v->FLockSelection;
    v->InsertItems(Node);
    if (Node->Parent())
        v->UpdateItem(Node->Parent());
    v->SyncSelection();
    --v->FLockSelection;
}

bool TreeViewLink::CanExpand(TTreeNodes* Nodes, TTreeNode* Node, bool Expand)
{
    TCustomTreeView* v = View(Nodes);
    return v ? v->CanExpandNode(Node, Expand) : true;
}

void TreeViewLink::Expanded(TTreeNodes* Nodes, TTreeNode* Node, bool Expand)
{
    if (TCustomTreeView* v = View(Nodes))
        v->NodeExpanded(Node, Expand);
}

void TreeViewLink::SelectionMoved(TTreeNodes* Nodes, TTreeNode* Node)
{
    if (TCustomTreeView* v = View(Nodes))
        v->SelectionMoved(Node);
    else
        Nodes->FSelected = Node;
}

bool TreeViewLink::Select(TTreeNodes* Nodes, TTreeNode* Node)
{
    HWND wnd = Window(Nodes);
    if (!wnd)
        return false;
    View(Nodes)->FlushPending();
    View(Nodes)->Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node ? Node->FItemId : nullptr));
    return true;
}

bool TreeViewLink::EditText(TTreeNodes* Nodes, TTreeNode* Node)
{
    HWND wnd = Window(Nodes);
    if (wnd)
        View(Nodes)->FlushPending();
    if (!wnd || !Node->FItemId)
        return false;
    TCustomTreeView* view = View(Nodes);
    const bool asked = std::exchange(view->FEditAsked, true);
    const bool edits = view->Perform(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(Node->FItemId)) != 0;
    view->FEditAsked = asked;
    return edits;
}

void TreeViewLink::EndEdit(TTreeNodes* Nodes, bool Cancel)
{
    if (Window(Nodes))
        View(Nodes)->Perform(TVM_ENDEDITLABELNOW, Cancel ? TRUE : FALSE);
}

void TreeViewLink::MakeVisible(TTreeNodes* Nodes, TTreeNode* Node)
{
    HWND wnd = Window(Nodes);
    if (wnd)
        View(Nodes)->FlushPending();
    if (wnd && Node->FItemId)
        View(Nodes)->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Node->FItemId));
}

RECT TreeViewLink::DisplayRect(TTreeNodes* Nodes, const TTreeNode* Node, bool TextOnly)
{
    RECT r{0, 0, 0, 0};
    for (const TTreeNode* p = Node->FParent; p; p = p->FParent)
        if (!p->FExpanded)
            return r; // not shown
    HWND wnd = Window(Nodes);
    if (wnd)
        View(Nodes)->FlushPending();
    if (!wnd || !Node->FItemId)
        return r;
    // TVM_GETITEMRECT takes the item handle in the rectangle's place.
    *reinterpret_cast<HTREEITEM*>(&r) = Node->FItemId;
    if (!View(Nodes)->Perform(TVM_GETITEMRECT, TextOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r)))
        r = RECT{0, 0, 0, 0};
    return r;
}

void TreeViewLink::Updating(TTreeNodes* Nodes, bool On)
{
    HWND wnd = Window(Nodes);
    if (!wnd)
        return;
    TCustomTreeView* v = View(Nodes);
    if (On) {
        v->Perform(WM_SETREDRAW, FALSE);
        return;
    }
    v->InsertPending();
    v->ApplyExpansions();
    v->Perform(WM_SETREDRAW, TRUE);
    v->SyncSelection();
    InvalidateRect(wnd, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------------
// TCustomTreeView

namespace {
constexpr UINT_PTR ChangeTimerId = 1;
}

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), FTreeNodes(std::make_unique<TTreeNodes>(this)), FCanvas(std::make_unique<TCanvas>()),
      FImageLink(this, [this](TObject* Sender) { ImageListChange(Sender); }),
      FStateLink(this, [this](TObject* Sender) { ImageListChange(Sender); })
{
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    FColor = clWindow;
    FParentColor = false;
    FTabStop = true;
    FWidth = 121;
    FHeight = 97;
}

TCustomTreeView::~TCustomTreeView() = default;

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWA);
    Params.WinClassName = "Vellorn.TreeView";
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
    if (FShowLines)
        Params.Style |= TVS_HASLINES;
    if (FShowRoot)
        Params.Style |= TVS_LINESATROOT;
    if (FShowButtons)
        Params.Style |= TVS_HASBUTTONS;
    if (!FReadOnly)
        Params.Style |= TVS_EDITLABELS;
    if (!FHideSelection)
        Params.Style |= TVS_SHOWSELALWAYS;
    if (FHotTrack)
        Params.Style |= TVS_TRACKSELECT;
    if (FRowSelect)
        Params.Style |= TVS_FULLROWSELECT;
    if (DragMode() == dmManual)
        Params.Style |= TVS_DISABLEDRAGDROP;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd()
{
    inherited::CreateWnd();
    FNotifyWnd = GetParent(FHandle);
    Perform(TVM_SETINDENT, static_cast<WPARAM>(FIndent));
    ApplyImages();
    TColor bk = ColorToRGB(FColor);
    Perform(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(bk));
    Perform(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
    // The window takes the nodes over from the model, with their expansion and selection.
    ++FLockSelection;
    ++FManualNotify;
    Perform(WM_SETREDRAW, FALSE);
    InsertItems(nullptr);
    FTreeNodes->FPending = false;
    if (TTreeNode* sel = FTreeNodes->FSelected)
        Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(sel->FItemId));
    if (FTreeNodes->UpdateCount() == 0)
        Perform(WM_SETREDRAW, TRUE);
    --FManualNotify;
    --FLockSelection;
}

void TCustomTreeView::DestroyWnd()
{
    FShownToExpand.clear();
    ++FLockSelection;
    ++FManualNotify;
    try {
        inherited::DestroyWnd();
    } catch (...) {
        --FManualNotify;
        --FLockSelection;
        throw;
    }
    --FManualNotify;
    --FLockSelection;
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNext())
        n->FItemId = nullptr;
    FTreeNodes->FExpandPending = false;
    FNotifyWnd = nullptr;
}

HTREEITEM TCustomTreeView::InsertAfter(TTreeNode* Node)
{
    if (!Node->FPrevSibling)
        return TVI_FIRST;
    if (!Node->FNextSibling)
        return TVI_LAST;
    return Node->FPrevSibling->FItemId;
}

void TCustomTreeView::InsertItem(TTreeNode* Node, HTREEITEM After)
{
    TVINSERTSTRUCTA is{};
    is.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    is.hInsertAfter = After;
    TVITEMA& it = is.item;
    it.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    it.pszText = const_cast<char*>(Node->FText.c_str());
    it.lParam = reinterpret_cast<LPARAM>(Node);
    it.iImage = I_IMAGECALLBACK;
    it.iSelectedImage = I_IMAGECALLBACK;
    it.cChildren = Node->FHasChildren ? 1 : 0;
    it.stateMask = TVIS_EXPANDED | TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK;
    it.state = (Node->FExpanded ? TVIS_EXPANDED : 0) |
               INDEXTOOVERLAYMASK(Node->FOverlayIndex > 0 && Node->FOverlayIndex < 16 ? Node->FOverlayIndex : 0) |
               INDEXTOSTATEIMAGEMASK(Node->FStateIndex > 0 && Node->FStateIndex < 16 ? Node->FStateIndex : 0);
    Node->FItemId = reinterpret_cast<HTREEITEM>(Perform(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
    Node->FItemExpanded = Node->FExpanded;
}

// Gives the window every node below Root (the whole tree for null; Root itself first) that it
// does not have yet. The nodes go in level by level, each sibling list in order: the native
// control looks items up by a search from its oldest item, so parents made early and appending
// with TVI_LAST keep large trees fast.
void TCustomTreeView::InsertItems(TTreeNode* Root)
{
    if (!FHandle)
        return;
    // Each entry: a parent whose children are to be looked at, and whether the window had that
    // parent before this pass (a new one already carries its expand button and state).
    std::vector<std::pair<TTreeNode*, bool>> parents;
    if (Root) {
        const bool had = Root->FItemId != nullptr;
        if (!had)
            InsertItem(Root, InsertAfter(Root));
        parents.push_back({Root, had});
    } else {
        parents.push_back({nullptr, false});
    }
    for (std::size_t p = 0; p < parents.size(); ++p) {
        TTreeNode* parent = parents[p].first;
        TTreeNode* first = parent ? parent->FFirstChild : FTreeNodes->FFirst;
        bool anyNative = false;
        for (TTreeNode* n = first; n && !anyNative; n = n->FNextSibling)
            anyNative = n->FItemId != nullptr;
        bool added = false;
        for (TTreeNode* n = first; n; n = n->FNextSibling) {
            const bool had = n->FItemId != nullptr;
            if (!had) {
                // With no native sibling yet, each new one goes last; else after its predecessor.
                InsertItem(n, !anyNative ? TVI_LAST : (n->FPrevSibling ? n->FPrevSibling->FItemId : TVI_FIRST));
                added = true;
            }
            if (n->FFirstChild)
                parents.push_back({n, had});
        }
        if (parent && added && parents[p].second)
            UpdateItem(parent);
    }
}

void TCustomTreeView::InsertPending()
{
    if (!FHandle || !FTreeNodes->FPending)
        return;
    FTreeNodes->FPending = false;
    // Parents that got their first children may need their expansion: that waits for
    // ApplyExpansions, which every caller runs next.
    ++FLockSelection;
    ++FManualNotify;
    ++FHoldExpansions;
    InsertItems(nullptr);
    --FHoldExpansions;
    --FManualNotify;
    --FLockSelection;
}

void TCustomTreeView::UpdateItem(TTreeNode* Node)
{
    if (!FHandle || !Node->FItemId)
        return;
    TVITEMA it{};
    it.hItem = Node->FItemId;
    it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    it.pszText = const_cast<char*>(Node->FText.c_str());
    it.iImage = I_IMAGECALLBACK;
    it.iSelectedImage = I_IMAGECALLBACK;
    it.cChildren = Node->FHasChildren ? 1 : 0;
    it.stateMask = TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK;
    it.state = INDEXTOOVERLAYMASK(Node->FOverlayIndex > 0 && Node->FOverlayIndex < 16 ? Node->FOverlayIndex : 0) |
               INDEXTOSTATEIMAGEMASK(Node->FStateIndex > 0 && Node->FStateIndex < 16 ? Node->FStateIndex : 0);
    Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    // The window follows the model's expansion (a node that lost its children is collapsed; one
    // whose children came during an update may have been expanded meanwhile).
    ExpandItem(Node);
}

void TCustomTreeView::RepaintItem(TTreeNode* Node)
{
    // Inside an update the whole window is painted at the end.
    if (!FHandle || !Node->FItemId || FTreeNodes->FUpdateCount > 0)
        return;
    const RECT r = Node->DisplayRect(false);
    if (r.right > r.left)
        InvalidateRect(FHandle, &r, TRUE);
}

void TCustomTreeView::SetItemExpanded(TTreeNode* Node, bool Value)
{
    // A state change through the item sends no notification and moves no other row.
    TVITEMA it{};
    it.mask = TVIF_STATE;
    it.hItem = Node->FItemId;
    it.stateMask = TVIS_EXPANDED;
    it.state = Value ? TVIS_EXPANDED : 0;
    Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    Node->FItemExpanded = Value;
}

void TCustomTreeView::SetItemExpandedQuietly(TTreeNode* Node, bool Value)
{
    if (FQuietFlags != TQuietFlags::Refused) {
        // The control asks for the image, which the nodes give (I_IMAGECALLBACK); the answer
        // carries the flag (CNNotify), and the item's state read back tells whether it was taken.
        TVITEMA it{};
        it.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_STATE;
        it.hItem = Node->FItemId;
        it.stateMask = TVIS_EXPANDED;
        FQuietNode = Node;
        FQuietExpanded = Value;
        const bool answered = Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)) != 0;
        FQuietNode = nullptr;
        if (answered && ((it.state & TVIS_EXPANDED) != 0) == Value) {
            FQuietFlags = TQuietFlags::Taken;
            Node->FItemExpanded = Value;
            return;
        }
        FQuietFlags = TQuietFlags::Refused;
    }
    SetItemExpanded(Node, Value);
}

void TCustomTreeView::ExpandItem(TTreeNode* Node)
{
    if (!FHandle || !Node->FItemId || Node->FItemExpanded == Node->FExpanded)
        return;
    if (FTreeNodes->FUpdateCount > 0 || FHoldExpansions > 0) {
        FTreeNodes->FExpandPending = true;
        return;
    }
    // The window's own expand lays out the rows below at once; an item without children in the
    // window has nothing to lay out and takes the flag only.
    ++FLockSelection;
    ++FManualNotify;
    if (Node->FFirstChild && Node->FFirstChild->FItemId) {
        Perform(TVM_EXPAND, Node->FExpanded ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(Node->FItemId));
        Node->FItemExpanded = Node->FExpanded;
    } else {
        SetItemExpanded(Node, Node->FExpanded);
    }
    --FManualNotify;
    --FLockSelection;
    SyncSelection();
}

namespace {

// Rows the native control walks, in visits of one row, against the cost of dropping and
// inserting every item, measured under Wine: a row visit costs about 4 ns, inserting an item
// about 2.5 us, and dropping one grows with the count of items (a linear search and move of its
// item list: about 5.5 us each at 100,000).
constexpr Int64 InsertVisits = 625;
constexpr Int64 DropVisitsDivisor = 73;

// Keeps a shown window from drawing anything while the control changes many rows: the control's
// own drawing lock stops its rows, but not its scroll bars or the scrolling of its client area.
class NoDrawing {
public:
    explicit NoDrawing(HWND Wnd) : FWnd((GetWindowLongA(Wnd, GWL_STYLE) & WS_VISIBLE) ? Wnd : nullptr)
    {
        if (FWnd)
            DefWindowProcA(FWnd, WM_SETREDRAW, FALSE, 0);
    }
    ~NoDrawing()
    {
        if (!FWnd)
            return;
        DefWindowProcA(FWnd, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(FWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    NoDrawing(const NoDrawing&) = delete;
    NoDrawing& operator=(const NoDrawing&) = delete;

private:
    HWND FWnd;
};

} // namespace

// Every pending expansion change reaches the window at once, with drawing locked. The native
// control keeps the rows it shows in one list: a change of a shown row through the item makes it
// walk the whole list, while a change of a hidden one costs nothing beyond finding the item. A
// shown row's flag therefore goes with the item's image (SetItemExpandedQuietly), which costs no
// walk; the rows are laid out once when drawing is allowed again. So:
//  1. shown rows to collapse lose their flag first;
//  2. each of them is then collapsed by the control itself (expanded for a moment), which marks
//     every row below as hidden; without that mark a row keeps its old position and the control
//     takes it for shown (its rectangle, scrolling to it);
//  3. hidden rows change their flag only;
//  4. shown rows to expand take their flag once drawing is allowed again (ShowExpandedRows): the
//     control measures the text of every shown row then, and rows shown by the expansion are
//     measured only when they are drawn.
// Where the control does not take a flag with the image, each change of a shown row walks the
// list (shown rows to expand then go before the hidden ones below them, while the list is still
// short); when the walks would cost more than dropping and inserting all items, the items are
// rebuilt.
void TCustomTreeView::ApplyExpansions()
{
    if (!FHandle || !FTreeNodes->FExpandPending)
        return;
    FTreeNodes->FExpandPending = false;
    std::vector<TTreeNode*> shownCollapse, hiddenCollapse, shownExpand, hiddenExpand;
    // Depth first. A row counts as shown for the steps when every ancestor is expanded in the
    // window and stays so (rows below a shown row to collapse are hidden by that collapse).
    Int64 rows = 0; // rows the window shows now
    struct Entry {
        TTreeNode* Node;
        bool Shown, ShownNow;
    };
    std::vector<Entry> stack;
    for (TTreeNode* n = FTreeNodes->FLast; n; n = n->FPrevSibling)
        stack.push_back({n, true, true});
    while (!stack.empty()) {
        const Entry e = stack.back();
        stack.pop_back();
        TTreeNode* n = e.Node;
        if (!n->FItemId)
            continue;
        rows += e.ShownNow;
        if (n->FItemExpanded != n->FExpanded)
            (n->FExpanded ? (e.Shown ? shownExpand : hiddenExpand) : (e.Shown ? shownCollapse : hiddenCollapse))
                .push_back(n);
        const bool shown = e.Shown && n->FItemExpanded && n->FExpanded;
        const bool shownNow = e.ShownNow && n->FItemExpanded;
        for (TTreeNode* c = n->FLastChild; c; c = c->FPrevSibling)
            stack.push_back({c, shown, shownNow});
    }

    // Rows the window shows below a node (not counting it) as its items are expanded now.
    std::vector<const TTreeNode*> scratch;
    auto rowsBelow = [&scratch](const TTreeNode* Node) {
        Int64 count = 0;
        scratch.assign(1, Node);
        while (!scratch.empty()) {
            const TTreeNode* n = scratch.back();
            scratch.pop_back();
            for (const TTreeNode* c = n->FFirstChild; c; c = c->FNextSibling) {
                ++count;
                if (c->FFirstChild && c->FItemExpanded)
                    scratch.push_back(c);
            }
        }
        return count;
    };
    // A flag that goes with the image costs no walk.
    const bool walkPerFlag = FQuietFlags == TQuietFlags::Refused;
    Int64 walks = 0;
    std::vector<Int64> gone;
    gone.reserve(shownCollapse.size());
    for (TTreeNode* n : shownCollapse) {
        walks += walkPerFlag ? rows : 0;
        gone.push_back(rowsBelow(n));
        rows -= gone.back();
    }
    for (Int64 own : gone)
        walks += 4 * (rows + own); // step 2 walks the rows left and its own about four times
    if (walkPerFlag)
        for (TTreeNode* n : shownExpand) {
            walks += rows;
            rows += rowsBelow(n);
        }
    const Int64 count = FTreeNodes->Count();
    if (walks > count * (InsertVisits + count / DropVisitsDivisor)) {
        RebuildItems();
        return;
    }
    // Only shown rows to expand: they wait for drawing to be allowed, and nothing changes now
    // (holding the drawing costs a few ms of system calls on a shown window).
    if (!walkPerFlag && shownCollapse.empty() && hiddenCollapse.empty() && hiddenExpand.empty()) {
        FShownToExpand = std::move(shownExpand);
        return;
    }

    NoDrawing noDrawing(FHandle);
    ++FLockSelection;
    ++FManualNotify;
    for (TTreeNode* n : shownCollapse)
        SetItemExpandedQuietly(n, false);
    for (TTreeNode* n : shownCollapse)
        if (n->FFirstChild) {
            SetItemExpandedQuietly(n, true);
            Perform(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(n->FItemId));
            n->FItemExpanded = false;
        }
    for (TTreeNode* n : hiddenCollapse)
        SetItemExpanded(n, false);
    if (walkPerFlag)
        for (TTreeNode* n : shownExpand)
            SetItemExpanded(n, true);
    else
        FShownToExpand = std::move(shownExpand);
    for (TTreeNode* n : hiddenExpand)
        SetItemExpanded(n, true);
    --FManualNotify;
    --FLockSelection;
}

void TCustomTreeView::ShowExpandedRows()
{
    if (FShownToExpand.empty())
        return;
    const std::vector<TTreeNode*> nodes = std::move(FShownToExpand);
    FShownToExpand.clear();
    ++FLockSelection;
    ++FManualNotify;
    for (TTreeNode* n : nodes)
        if (n->FItemId && n->FExpanded && !n->FItemExpanded)
            SetItemExpandedQuietly(n, true);
    --FManualNotify;
    --FLockSelection;
    // The control lays out its rows for a new size without measuring any text; a row's text is
    // measured when it is first drawn or hit. The layout shows or sets its scroll bars, and a
    // shown window draws a bar at each change (twice when the vertical one comes: it lays out
    // again for the narrower client), 5-15 ms under Wine: with drawing held the bars are drawn
    // once with the frame after it, or not at all where the skinned bars cover them.
    RECT client{};
    GetClientRect(FHandle, &client);
    TMessage size{};
    size.Msg = WM_SIZE;
    size.WParam = SIZE_RESTORED;
    size.LParam = MAKELPARAM(client.right, client.bottom);
    NoDrawing noDrawing(FHandle);
    TWinControl::DefaultHandler(size);
}

void TCustomTreeView::RebuildItems()
{
    NoDrawing noDrawing(FHandle);
    ++FLockSelection;
    ++FManualNotify;
    DropItems(TVI_ROOT);
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNext())
        n->FItemId = nullptr;
    InsertItems(nullptr);
    --FManualNotify;
    --FLockSelection;
}

void TCustomTreeView::FlushPending()
{
    if (!FHandle)
        return;
    InsertPending();
    if (FTreeNodes->FExpandPending) {
        ApplyExpansions();
        // The control lays its rows out when drawing is allowed: inside an update, for a moment.
        if (FTreeNodes->FUpdateCount > 0) {
            Perform(WM_SETREDRAW, TRUE);
            Perform(WM_SETREDRAW, FALSE);
        } else if (!FShownToExpand.empty()) {
            Perform(WM_SETREDRAW, TRUE); // the rows to expand, and the skinned bars following
        }
    }
    SyncSelection();
}

void TCustomTreeView::SyncSelection()
{
    TTreeNode* sel = FTreeNodes->FSelected;
    if (!FHandle || !sel || !sel->FItemId)
        return;
    if (reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET, 0)) == sel->FItemId)
        return;
    ++FLockSelection;
    Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(sel->FItemId));
    --FLockSelection;
}

void TCustomTreeView::DropItems(HTREEITEM Item)
{
    DeletionNoticeFilter filter(FNotifyWnd, FHandle);
    Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item));
}

void TCustomTreeView::SelectionMoved(TTreeNode* Node)
{
    FTreeNodes->FSelected = Node;
    if (FChangeDelay > 0 && FHandle) {
        KillTimer(FHandle, ChangeTimerId);
        SetTimer(FHandle, ChangeTimerId, static_cast<UINT>(FChangeDelay), nullptr);
    } else {
        Change(Node);
    }
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM Item)
{
    if (!Item || !FHandle)
        return nullptr;
    TVITEMA it{};
    it.mask = TVIF_PARAM;
    it.hItem = Item;
    if (!Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it)))
        return nullptr;
    return reinterpret_cast<TTreeNode*>(it.lParam);
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const { return FOwner ? FOwner->NodeFromItem(ItemId) : nullptr; }

void TCustomTreeView::SetSelected(TTreeNode* Value)
{
    if (Value)
        Value->SetSelected(true);
    else if (TTreeNode* cur = Selected())
        cur->SetSelected(false);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y)
{
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO ht{};
    ht.pt = POINT{X, Y};
    return NodeFromItem(reinterpret_cast<HTREEITEM>(Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht))));
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y)
{
    THitTests result;
    if (!HandleAllocated())
        return result;
    TVHITTESTINFO ht{};
    ht.pt = POINT{X, Y};
    Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    const UINT f = ht.flags;
    if (f & TVHT_ABOVE) result << htAbove;
    if (f & TVHT_BELOW) result << htBelow;
    if (f & TVHT_NOWHERE) result << htNowhere;
    if (f & TVHT_ONITEM) result << htOnItem;
    if (f & TVHT_ONITEMICON) result << htOnIcon;
    if (f & TVHT_ONITEMLABEL) result << htOnLabel;
    if (f & TVHT_ONITEMSTATEICON) result << htOnStateIcon;
    if (f & TVHT_ONITEMBUTTON) result << htOnButton;
    if (f & TVHT_ONITEMINDENT) result << htOnIndent;
    if (f & TVHT_ONITEMRIGHT) result << htOnRight;
    if (f & TVHT_TOLEFT) result << htToLeft;
    if (f & TVHT_TORIGHT) result << htToRight;
    return result;
}

void TCustomTreeView::FullExpand() { TTreeNode::ExpandRange(*FTreeNodes, FTreeNodes->GetFirstNode(), nullptr, true); }

void TCustomTreeView::FullCollapse() { TTreeNode::ExpandRange(*FTreeNodes, FTreeNodes->GetFirstNode(), nullptr, false); }

TTreeNode* TCustomTreeView::TopItem()
{
    if (!HandleAllocated())
        return FTreeNodes->GetFirstNode();
    return NodeFromItem(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* Value)
{
    if (Value && HandleAllocated() && Value->FItemId)
        Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Value->FItemId));
}

bool TCustomTreeView::IsEditing()
{
    return HandleAllocated() && Perform(TVM_GETEDITCONTROL) != 0;
}

void TCustomTreeView::SetImages(TCustomImageList* Value)
{
    if (FImageLink.Set(Value))
        ApplyImages();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value)
{
    if (FStateLink.Set(Value))
        ApplyImages();
}

void TCustomTreeView::ApplyImages()
{
    if (!FHandle)
        return;
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImageLink.Handle()));
    Perform(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(FStateLink.Handle()));
}

void TCustomTreeView::ImageListChange(TObject*)
{
    if (FHandle) {
        ApplyImages();
        InvalidateRect(FHandle, nullptr, TRUE);
    }
}

void TCustomTreeView::DoStartDrag(TDragObject*& DragObject)
{
    FClickEditItem = nullptr;
    inherited::DoStartDrag(DragObject);
}

TPoint TCustomTreeView::KeyboardPopupPoint()
{
    TTreeNode* node = Selected();
    return node ? PopupPointBelow(this, node->DisplayRect(true)) : inherited::KeyboardPopupPoint();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // The list is going away: no calls on it any more.
    if (FImageLink.Removed(AComponent))
        ApplyImages();
    if (FStateLink.Removed(AComponent))
        ApplyImages();
}

int TCustomTreeView::Indent()
{
    if (FHandle)
        FIndent = static_cast<int>(Perform(TVM_GETINDENT));
    return FIndent;
}

void TCustomTreeView::SetIndent(int Value)
{
    FIndent = Value;
    if (FHandle)
        Perform(TVM_SETINDENT, static_cast<WPARAM>(Value));
}

void TCustomTreeView::SetStyleBit(DWORD Bit, bool On)
{
    SetWindowStyleBit(FHandle, Bit, On);
}

void TCustomTreeView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    SetStyleBit(TVS_EDITLABELS, !Value);
}

void TCustomTreeView::SetHotTrack(bool Value)
{
    FHotTrack = Value;
    SetStyleBit(TVS_TRACKSELECT, Value);
}

void TCustomTreeView::SetRowSelect(bool Value)
{
    FRowSelect = Value;
    SetStyleBit(TVS_FULLROWSELECT, Value);
}

void TCustomTreeView::SetHideSelection(bool Value)
{
    FHideSelection = Value;
    SetStyleBit(TVS_SHOWSELALWAYS, !Value);
}

void TCustomTreeView::SetShowLines(bool Value)
{
    FShowLines = Value;
    SetStyleBit(TVS_HASLINES, Value);
}

void TCustomTreeView::SetShowRoot(bool Value)
{
    FShowRoot = Value;
    SetStyleBit(TVS_LINESATROOT, Value);
}

void TCustomTreeView::SetShowButtons(bool Value)
{
    FShowButtons = Value;
    SetStyleBit(TVS_HASBUTTONS, Value);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

// --- Sorting ----------------------------------------------------------------------------------

int TCustomTreeView::CompareNodes(TTreeNode* A, TTreeNode* B)
{
    if (OnCompare) {
        int result = 0;
        OnCompare(this, A, B, 0, result);
        return result;
    }
    return lstrcmpA(A->Text().c_str(), B->Text().c_str());
}

void TCustomTreeView::SetSortType(TSortType Value)
{
    if (FSortType == Value)
        return;
    FSortType = Value;
    if (Value == stText || Value == stBoth || (Value == stData && OnCompare))
        AlphaSort(true);
}

bool TCustomTreeView::AlphaSort(bool ARecurse)
{
    return CustomSort(nullptr, 0, ARecurse);
}

bool TCustomTreeView::CustomSort(const TTVCompare& SortProc, int Data, bool ARecurse)
{
    TTVCompare compare = SortProc ? SortProc : TTVCompare([this](TTreeNode* a, TTreeNode* b, int) {
        return CompareNodes(a, b);
    });
    SortChildren(nullptr, compare, Data, ARecurse);
    return true;
}

void TCustomTreeView::SortChildren(TTreeNode* Parent, const TTVCompare& Compare, int Data, bool Recurse)
{
    // Each sibling list is sorted stably in the model and moved into its new order.
    std::vector<TTreeNode*> parents{Parent};
    for (std::size_t p = 0; p < parents.size(); ++p) {
        std::vector<TTreeNode*> kids;
        for (TTreeNode* n = parents[p] ? parents[p]->getFirstChild() : FTreeNodes->GetFirstNode(); n;
             n = n->getNextSibling())
            kids.push_back(n);
        std::stable_sort(kids.begin(), kids.end(),
                         [&](TTreeNode* a, TTreeNode* b) { return Compare(a, b, Data) < 0; });
        for (std::size_t i = 0; i < kids.size(); ++i) {
            TTreeNode* atPlace = parents[p] ? parents[p]->Item(static_cast<int>(i)) : nullptr;
            if (!parents[p]) {
                atPlace = FTreeNodes->GetFirstNode();
                for (std::size_t k = 0; k < i; ++k)
                    atPlace = atPlace->getNextSibling();
            }
            if (atPlace != kids[i])
                kids[i]->MoveTo(atPlace, naInsert);
            if (Recurse && kids[i]->getFirstChild())
                parents.push_back(kids[i]);
        }
        if (!Recurse)
            break;
    }
}

// --- Events -----------------------------------------------------------------------------------

bool TCustomTreeView::CanExpandNode(TTreeNode* Node, bool Expand)
{
    if (Expand)
        return CanExpand(Node);
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, allow);
    return allow;
}

bool TCustomTreeView::CanExpand(TTreeNode* Node)
{
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, allow);
    return allow;
}

bool TCustomTreeView::CanChange(TTreeNode* Node)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(const TVITEMA& Item)
{
    TTreeNode* node = reinterpret_cast<TTreeNode*>(Item.lParam);
    if (!Item.pszText || !node)
        return; // cancelled: no event, the text stays
    AnsiString s = Item.pszText;
    if (OnEdited)
        OnEdited(this, node, s);
    node->SetText(s);
}

void TCustomTreeView::Delete(TTreeNode* Node)
{
    if (OnDeletion)
        OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node)
{
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}

void TCustomTreeView::NodeExpanded(TTreeNode* Node, bool Expand)
{
    ExpandItem(Node);
    if (Expand) {
        if (OnExpanded)
            OnExpanded(this, Node);
    } else if (OnCollapsed) {
        OnCollapsed(this, Node);
    }
}

void TCustomTreeView::Change(TTreeNode* Node)
{
    if (OnChange)
        OnChange(this, Node);
}

void TCustomTreeView::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_BASE + WM_NOTIFY:
        CNNotify(Message);
        return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        // The native control paints with colours of its own: it is told of every change.
        inherited::Dispatch(Message);
        if (FHandle) {
            Perform(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
            Perform(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FFont->Color())));
        }
        return;
    case CM_WANTSPECIALKEY:
        // While a node's text is edited, Enter and Esc belong to the edit box (they end the edit)
        // and must not reach the form's default and cancel buttons.
        inherited::Dispatch(Message);
        if (IsEditing() && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE))
            Message.Result = 1;
        return;
    case WM_SETREDRAW:
        inherited::Dispatch(Message);
        if (Message.WParam && FHandle)
            ShowExpandedRows();
        return;
    case WM_DESTROY: {
        // The window drops every item with a notice each; the nodes stay and need none of them.
        DeletionNoticeFilter filter(FNotifyWnd, FHandle);
        inherited::Dispatch(Message);
        return;
    }
    case WM_TIMER:
        if (Message.WParam == ChangeTimerId) {
            KillTimer(FHandle, ChangeTimerId);
            Change(Selected());
            return;
        }
        break;
    case WM_KEYDOWN:
        // A key that moves the selection shows the selected item from its start, as Home shows
        // the tree's left edge: the window alone would keep the sideways scroll a label edit or
        // a long title made.
        inherited::Dispatch(Message);
        if (FHandle && GetKeyState(VK_CONTROL) >= 0)
            switch (Message.WParam) {
            case VK_HOME:
            case VK_END:
            case VK_UP:
            case VK_DOWN:
            case VK_PRIOR:
            case VK_NEXT:
            case VK_LEFT:
            case VK_RIGHT: ShowItemStart(TreeView_GetSelection(FHandle)); break;
            default: break;
            }
        return;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: FClickEditItem = nullptr; break;
    case WM_LBUTTONDOWN: {
        // Only this press may have armed the native edit: on the node that is selected now.
        FClickEditItem = nullptr;
        if (FHandle) {
            TVHITTESTINFO hit{};
            hit.pt = POINT{static_cast<SHORT>(LOWORD(Message.LParam)), static_cast<SHORT>(HIWORD(Message.LParam))};
            if (TreeView_HitTest(FHandle, &hit) && (hit.flags & TVHT_ONITEM) && hit.hItem == TreeView_GetSelection(FHandle))
                FClickEditItem = hit.hItem;
        }
        // The native window runs its own loop on a button press and takes the release from the
        // queue; the release is given back so that the click and mouse-up events happen.
        inherited::Dispatch(Message);
        if (FHandle && !(GetKeyState(VK_LBUTTON) & 0x8000) && ControlState().Contains(csClicked)) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(FHandle, &p);
            RECT r;
            GetClientRect(FHandle, &r);
            if (!PtInRect(&r, p))
                p = POINT{static_cast<SHORT>(LOWORD(Message.LParam)), static_cast<SHORT>(HIWORD(Message.LParam))};
            Perform(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        }
        return;
    }
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomTreeView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    Message.Result = 0;
    switch (hdr->code) {
    case TVN_BEGINLABELEDITA: {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(di->item.lParam);
        const bool armed = di->item.hItem == std::exchange(FClickEditItem, nullptr);
        bool allow = !FReadOnly && (FEditAsked || armed);
        if (allow && OnEditing)
            OnEditing(this, node, allow);
        FEditing = allow;
        Message.Result = allow ? 0 : 1;
        return;
    }
    case TVN_ENDLABELEDITA: {
        // One edit ends once: some versions of the native control report the end a second time
        // while they destroy the edit box (and then as a commit, even after a cancel).
        if (!FEditing)
            return;
        FEditing = false;
        const HTREEITEM item = reinterpret_cast<NMTVDISPINFOA*>(hdr)->item.hItem;
        Edit(reinterpret_cast<NMTVDISPINFOA*>(hdr)->item);
        // The window scrolled sideways to show the edit box: the item shows from its start again.
        ShowItemStart(item);
        return;
    }
    case TVN_SELCHANGINGA: {
        if (FLockSelection)
            return;
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        Message.Result = CanChange(reinterpret_cast<TTreeNode*>(nm->itemNew.lParam)) ? 0 : 1;
        return;
    }
    case TVN_SELCHANGEDA: {
        if (FLockSelection)
            return;
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        SelectionMoved(nm->itemNew.hItem ? reinterpret_cast<TTreeNode*>(nm->itemNew.lParam) : nullptr);
        return;
    }
    case TVN_ITEMEXPANDINGA: {
        if (FManualNotify)
            return;
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(nm->itemNew.lParam);
        if (!node)
            return;
        const bool expand = (nm->action & TVE_EXPAND) != 0;
        Message.Result = CanExpandNode(node, expand) ? 0 : 1;
        return;
    }
    case TVN_ITEMEXPANDEDA: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(nm->itemNew.lParam);
        if (!node)
            return;
        const bool expand = (nm->action & TVE_EXPAND) != 0;
        node->FItemExpanded = expand;
        if (FManualNotify)
            return;
        node->FExpanded = expand;
        // Some versions of the control move a selection hidden by a collapse without telling.
        TTreeNode* sel = FTreeNodes->FSelected;
        if (!expand && sel && sel != node && sel->HasAsParent(node))
            SelectionMoved(node);
        if (expand) {
            if (OnExpanded)
                OnExpanded(this, node);
        } else if (OnCollapsed) {
            OnCollapsed(this, node);
        }
        return;
    }
    case TVN_GETDISPINFOA: {
        auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(di->item.lParam);
        if (!node)
            return;
        if (di->item.mask & TVIF_IMAGE) {
            GetImageIndex(node);
            di->item.iImage = node->ImageIndex();
        }
        if (di->item.mask & TVIF_SELECTEDIMAGE) {
            GetSelectedIndex(node);
            di->item.iSelectedImage = node->SelectedIndex();
        }
        if (node == FQuietNode) {
            di->item.mask |= TVIF_STATE;
            di->item.stateMask = TVIS_EXPANDED;
            di->item.state = FQuietExpanded ? TVIS_EXPANDED : 0;
        }
        return;
    }
    case TVN_DELETEITEMA:
        // Deletions start in the model, which has already told the application.
        return;
    case NM_RCLICK: {
        // The right click selects the node under the mouse (RightClickSelect) and then asks for
        // the context menu here, the same way on every version of the native control.
        const DWORD pos = GetMessagePos();
        POINT screen{static_cast<SHORT>(LOWORD(pos)), static_cast<SHORT>(HIWORD(pos))};
        if (FRightClickSelect && FHandle) {
            POINT p = screen;
            ::ScreenToClient(FHandle, &p);
            if (TTreeNode* node = GetNodeAt(p.x, p.y))
                node->SetSelected(true);
        }
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), MAKELPARAM(screen.x, screen.y));
        Message.Result = 1;
        return;
    }
    case NM_CUSTOMDRAW:
        CustomDraw(Message);
        return;
    default:
        break;
    }
    inherited::Dispatch(Message);
}

void TCustomTreeView::ShowItemStart(HTREEITEM Item)
{
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_POS;
    RECT text{}, client{};
    if (!FHandle || !Item || !GetScrollInfo(FHandle, SB_HORZ, &bar) || bar.nPos <= 0 ||
        !TreeView_GetItemRect(FHandle, Item, &text, TRUE) || !GetClientRect(FHandle, &client))
        return;
    // The item's button and picture stand before its text, within one indent and one picture.
    int picture = 0, height = 0;
    if (HIMAGELIST images = TreeView_GetImageList(FHandle, TVSIL_NORMAL))
        ImageList_GetIconSize(images, &picture, &height);
    const int start = text.left + bar.nPos - int(TreeView_GetIndent(FHandle)) - picture;
    const int pos = text.left + bar.nPos < client.right ? 0 : std::max(0, start);
    if (pos < bar.nPos)
        SendMessageA(FHandle, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
}

void TCustomTreeView::CustomDraw(TMessage& Message)
{
    auto* cd = reinterpret_cast<NMTVCUSTOMDRAW*>(Message.LParam);
    NMCUSTOMDRAW& n = cd->nmcd;
    Message.Result = CDRF_DODEFAULT;
    const bool anyItem = OnCustomDrawItem || OnAdvancedCustomDrawItem;
    const bool anyControl = OnCustomDraw || OnAdvancedCustomDraw;
    if (!anyItem && !anyControl)
        return;

    TCanvas& canvas = *FCanvas;
    switch (n.dwDrawStage) {
    case CDDS_PREPAINT: {
        bool defaultDraw = true;
        if (anyControl) {
            TCanvasLoan scope(canvas, n.hdc);
            canvas.Font()->Assign(FFont.get());
            canvas.Brush()->SetColor(FColor);
            const TRect r = n.rc;
            if (OnCustomDraw)
                OnCustomDraw(this, r, defaultDraw);
            if (defaultDraw && OnAdvancedCustomDraw)
                OnAdvancedCustomDraw(this, r, cdPrePaint, defaultDraw);
        }
        if (!defaultDraw) {
            Message.Result = CDRF_SKIPDEFAULT;
            return;
        }
        Message.Result = (anyItem ? CDRF_NOTIFYITEMDRAW : 0) | (OnAdvancedCustomDraw ? CDRF_NOTIFYPOSTPAINT : 0);
        return;
    }
    case CDDS_POSTPAINT: {
        if (OnAdvancedCustomDraw) {
            TCanvasLoan scope(canvas, n.hdc);
            bool defaultDraw = true;
            const TRect r = n.rc;
            OnAdvancedCustomDraw(this, r, cdPostPaint, defaultDraw);
        }
        return;
    }
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPOSTPAINT: {
        TTreeNode* node = reinterpret_cast<TTreeNode*>(n.lItemlParam);
        if (!node)
            return;
        const TCustomDrawState state = CustomDrawStateOf(n.uItemState);
        const bool pre = n.dwDrawStage == CDDS_ITEMPREPAINT;
        bool defaultDraw = true;
        bool paintImages = true;
        // Colours and font chosen on the canvas are what the window draws the item with.
        const HFONT font = DrawItemStage(canvas, n.hdc, FFont.get(), cd->clrText, cd->clrTextBk, [&] {
            if (pre && OnCustomDrawItem)
                OnCustomDrawItem(this, node, state, defaultDraw);
            if (defaultDraw && OnAdvancedCustomDrawItem)
                OnAdvancedCustomDrawItem(this, node, state, pre ? cdPrePaint : cdPostPaint, paintImages, defaultDraw);
        });
        if (!pre)
            return;
        if (!defaultDraw) {
            Message.Result = CDRF_SKIPDEFAULT;
            return;
        }
        SelectObject(n.hdc, font);
        Message.Result = CDRF_NEWFONT | (OnAdvancedCustomDrawItem ? CDRF_NOTIFYPOSTPAINT : 0);
        return;
    }
    default:
        return;
    }
}

// --- Component streaming ------------------------------------------------------------------------

namespace {

void WriteBool(TWriter& W, const char* Name, bool Value)
{
    W.WritePropName(Name);
    W.WriteBoolean(Value);
}

void WriteInt(TWriter& W, const char* Name, Int64 Value)
{
    W.WritePropName(Name);
    W.WriteInteger(Value);
}

void WriteIdentProp(TWriter& W, const char* Name, const char* Value)
{
    W.WritePropName(Name);
    W.WriteIdent(Value);
}

} // namespace

void TCustomTreeView::WriteProperties(TWriter& Writer)
{
    static const char* alignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
    static const char* sortNames[] = {"stNone", "stData", "stText", "stBoth"};
    WriteInt(Writer, "Left", Left());
    WriteInt(Writer, "Top", Top());
    WriteInt(Writer, "Width", Width());
    WriteInt(Writer, "Height", Height());
    if (Align() != alNone)
        WriteIdentProp(Writer, "Align", alignNames[Align()]);
    if (FBorderStyle != bsSingle)
        WriteIdentProp(Writer, "BorderStyle", "bsNone");
    if (FChangeDelay != 0)
        WriteInt(Writer, "ChangeDelay", FChangeDelay);
    if (!ParentColor() && Color() != clWindow)
        WriteColorProperty(Writer, "Color", Color());
    if (!Enabled())
        WriteBool(Writer, "Enabled", false);
    if (!ParentFont())
        WriteFontProperties(Writer, "Font", *Font());
    if (!FHideSelection)
        WriteBool(Writer, "HideSelection", false);
    if (FHotTrack)
        WriteBool(Writer, "HotTrack", true);
    if (Images()) {
        Writer.WritePropName("Images");
        Writer.WriteReference(Images());
    }
    WriteInt(Writer, "Indent", Indent());
    if (!ParentFont())
        WriteBool(Writer, "ParentFont", false);
    if (FReadOnly)
        WriteBool(Writer, "ReadOnly", true);
    if (FRightClickSelect)
        WriteBool(Writer, "RightClickSelect", true);
    if (FRowSelect)
        WriteBool(Writer, "RowSelect", true);
    if (!FShowButtons)
        WriteBool(Writer, "ShowButtons", false);
    if (!FShowLines)
        WriteBool(Writer, "ShowLines", false);
    if (!FShowRoot)
        WriteBool(Writer, "ShowRoot", false);
    if (FSortType != stNone)
        WriteIdentProp(Writer, "SortType", sortNames[FSortType]);
    if (StateImages()) {
        Writer.WritePropName("StateImages");
        Writer.WriteReference(StateImages());
    }
    if (TabOrder() >= 0)
        WriteInt(Writer, "TabOrder", TabOrder());
    if (!Visible())
        WriteBool(Writer, "Visible", false);
    // The nodes, only when there are any.
    if (FTreeNodes->Count() > 0) {
        TMemoryStream data;
        FTreeNodes->WriteData(data);
        Writer.WritePropName("Items.Data");
        Writer.WriteBinary(data.Memory(), static_cast<Integer>(data.Size()));
    }
}

bool TCustomTreeView::ReadProperty(TReader& Reader, const AnsiString& PropPath)
{
    // Only the nodes are taken from a stream; every other value is skipped by the reader.
    if (PropPath != "Items.Data")
        return inherited::ReadProperty(Reader, PropPath);
    TMemoryStream data;
    Reader.ReadBinary(data);
    FTreeNodes->ReadData(data);
    return true;
}
