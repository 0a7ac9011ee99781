#include "ComCtrlsTree.h"

#include <cstring>
#include <string>

// ---------------------------------------------------------------------------------------------
// What the node model tells the view that shows it. Without a view (or without a window) these do
// nothing but fire the model's events where a view has them.

namespace {

void ViewAdded(TTreeNodes*, TTreeNode*) {}
void ViewDeleting(TTreeNodes*, TTreeNode*) {}
void ViewItemChanged(TTreeNodes*, TTreeNode*) {}
void ViewMoving(TTreeNodes*, TTreeNode*) {}
void ViewMoved(TTreeNodes*, TTreeNode*) {}
bool ViewCanExpand(TTreeNodes*, TTreeNode*, bool) { return true; }
void ViewExpanded(TTreeNodes*, TTreeNode*, bool) {}
void ViewSelect(TTreeNodes*, TTreeNode*) {}
bool ViewEditText(TTreeNodes*, TTreeNode*) { return false; }
void ViewEndEdit(TTreeNodes*, bool) {}
void ViewMakeVisible(TTreeNodes*, TTreeNode*) {}
RECT ViewDisplayRect(TTreeNodes*, const TTreeNode*, bool) { return RECT{0, 0, 0, 0}; }
void ViewUpdating(TTreeNodes*, bool) {}

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

void TTreeNode::SetImageIndex(Integer Value)
{
    FImageIndex = Value;
    ViewItemChanged(FOwner, this);
}

void TTreeNode::SetSelectedIndex(Integer Value)
{
    FSelectedIndex = Value;
    ViewItemChanged(FOwner, this);
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

static void ExpandOne(TTreeNode* Node, bool Expand, bool& State)
{
    // Only a node with children can expand or collapse, and only such a node hears of it.
    if (!Node->HasChildren())
        return;
    if (!ViewCanExpand(Node->Owner(), Node, Expand))
        return;
    State = Expand;
    ViewExpanded(Node->Owner(), Node, Expand);
}

void TTreeNode::Expand(bool Recurse)
{
    if (!Recurse) {
        ExpandOne(this, true, FExpanded);
        return;
    }
    for (TTreeNode* n = this; n && (n == this || n->HasAsParent(this)); n = n->GetNext())
        ExpandOne(n, true, n->FExpanded);
}

void TTreeNode::Collapse(bool Recurse)
{
    if (!Recurse) {
        ExpandOne(this, false, FExpanded);
        return;
    }
    for (TTreeNode* n = this; n && (n == this || n->HasAsParent(this)); n = n->GetNext())
        ExpandOne(n, false, n->FExpanded);
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
    FOwner->BeginUpdate();
    try {
        while (FFirstChild)
            FOwner->Delete(FFirstChild);
    } catch (...) {
        FOwner->EndUpdate();
        throw;
    }
    FOwner->EndUpdate();
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
    ViewMoving(FOwner, this);
    FOwner->Unlink(this);
    FOwner->Link(this, parent, before);
    FOwner->Changed();
    ViewMoved(FOwner, this);
}

bool TTreeNode::EditText() { return ViewEditText(FOwner, this); }

void TTreeNode::EndEdit(bool Cancel) { ViewEndEdit(FOwner, Cancel); }

bool TTreeNode::Selected() const { return FOwner->FSelected == this; }

void TTreeNode::SetSelected(bool Value)
{
    if (Value) {
        FOwner->FSelected = this;
        ViewSelect(FOwner, this);
    } else if (Selected()) {
        FOwner->FSelected = nullptr;
        ViewSelect(FOwner, nullptr);
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

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, Parent, nullptr);
    Changed();
    ViewAdded(this, node);
    return node;
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr)
{
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, Parent, FirstOf(Parent));
    Changed();
    ViewAdded(this, node);
    return node;
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr)
{
    TTreeNode* node = NewNode(S, Ptr);
    Link(node, Sibling ? Sibling->FParent : nullptr, Sibling);
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
    Unlink(Node);
    Changed();
    FreeSubtree(Node);
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    try {
        while (FLast)
            Delete(FLast);
    } catch (...) {
        EndUpdate();
        throw;
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
constexpr int RecordMaxText = 255;
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
