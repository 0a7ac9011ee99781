// The tree part of the common controls: the node model (TTreeNode, TTreeNodes) with its binary node
// records, and the tree view (TCustomTreeView, TTreeView) that shows it. The nodes are plain objects owned by their TTreeNodes; a tree view window only mirrors
// them, so node pointers stay valid when the window is re-created.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "ImgList.h"

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;

VCL_EXCEPTION(ETreeViewError, Exception)

// Where MoveTo puts a node relative to the destination node.
enum TNodeAttachMode {
    naAdd,           // last sibling of the destination (last top-level node when it is null)
    naAddFirst,      // first sibling of the destination
    naAddChild,      // last child of the destination
    naAddChildFirst, // first child of the destination
    naInsert         // just before the destination
};

// One node of a tree. Nodes are created and freed by their TTreeNodes only.
class TTreeNode : public TPersistent {
    VCL_CLASS(TTreeNode, TPersistent)
public:
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    // The native item while the tree view has a window, else null.
    HTREEITEM ItemId() const { return FItemId; }

    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    Integer ImageIndex() const { return FImageIndex; }
    void SetImageIndex(Integer Value);
    Integer SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(Integer Value);
    Integer StateIndex() const { return FStateIndex; }
    void SetStateIndex(Integer Value);
    Integer OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(Integer Value);
    // Application data; never freed by the node.
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

    TTreeNode* Parent() const { return FParent; }
    // 0 for a top-level node.
    int Level() const;
    // Number of direct children.
    int Count() const { return FChildCount; }
    // The direct child at Index; ETreeViewError when out of range.
    TTreeNode* Item(int Index) const;
    // Position among the siblings.
    int Index() const;
    // Position in the depth-first order of the whole tree.
    int AbsoluteIndex() const;

    TTreeNode* getFirstChild() const { return FFirstChild; }
    TTreeNode* GetLastChild() const { return FLastChild; }
    TTreeNode* getNextSibling() const { return FNextSibling; }
    TTreeNode* getPrevSibling() const { return FPrevSibling; }
    // The next and previous node in depth-first order over the whole tree.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;

    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    // Expands or collapses this node, and with Recurse every node below it. Every node reached
    // gets the expanding/expanded (collapsing/collapsed) events, whatever its state; a collapse
    // that hides the selected node moves the selection to the collapsing node (OnChange tells of
    // it). With Recurse the window follows once, after the last node.
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    // Whether the node shows an expand button; set when a child is added, cleared when the last
    // one goes.
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool Value);
    // True when Value is an ancestor of this node (a node is not its own parent); a null Value
    // gives true.
    bool HasAsParent(const TTreeNode* Value) const;

    // Frees this node with everything below it.
    void Delete();
    void DeleteChildren();
    // Moves this node with its subtree. A move that would put the node below itself (into its own
    // subtree, or as its own child) is refused silently, as the framework does: nothing changes.
    void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);

    // Starts in-place editing of the text (false without a window or when refused).
    bool EditText();
    void EndEdit(bool Cancel);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    // Expands the ancestors and scrolls the node into view.
    void MakeVisible();
    // The node's rectangle in client coordinates (the text only when TextOnly); empty when the
    // node is not shown or there is no window.
    RECT DisplayRect(bool TextOnly) const;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    friend struct TreeViewLink;
    explicit TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}
    // One node's expansion change with its events; the same for the nodes from First up to Stop
    // (depth first), under one update lock when any of them changes.
    void ExpandOne(bool Expand);
    static void ExpandRange(TTreeNodes& Nodes, TTreeNode* First, const TTreeNode* Stop, bool Expand);

    TTreeNodes* FOwner;
    HTREEITEM FItemId = nullptr;
    AnsiString FText;
    Integer FImageIndex = 0;
    Integer FSelectedIndex = 0;
    Integer FStateIndex = -1;
    Integer FOverlayIndex = -1;
    void* FData = nullptr;
    TTreeNode* FParent = nullptr;
    TTreeNode* FFirstChild = nullptr;
    TTreeNode* FLastChild = nullptr;
    TTreeNode* FNextSibling = nullptr;
    TTreeNode* FPrevSibling = nullptr;
    int FChildCount = 0;
    bool FExpanded = false;
    bool FHasChildren = false;
    // The expansion the window shows for the item (meaningful while FItemId is set).
    bool FItemExpanded = false;
};

// The nodes of one tree, in depth-first order. Owns every node.
class TTreeNodes : public TPersistent {
    VCL_CLASS(TTreeNodes, TPersistent)
public:
    // Deepest nesting of node records that ReadData accepts.
    static constexpr int MaxReadDepth = 10000;
    // Longest node text a node record holds (its length is one byte); WriteData cuts a longer one.
    static constexpr int MaxTextLength = 255;

    explicit TTreeNodes(TCustomTreeView* AOwner = nullptr) : FOwner(AOwner) {}
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }

    // New node as the last (Add) or first (AddFirst) sibling of Sibling; at the top level when
    // Sibling is null.
    TTreeNode* Add(TTreeNode* Sibling, const AnsiString& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddFirst(TTreeNode* Sibling, const AnsiString& S) { return AddObjectFirst(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
    // New node as the last or first child of Parent; at the top level when Parent is null.
    TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildFirst(TTreeNode* Parent, const AnsiString& S) { return AddChildObjectFirst(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr);
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr);
    // New node just before Sibling; the last top-level node when Sibling is null.
    TTreeNode* Insert(TTreeNode* Sibling, const AnsiString& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);

    // Frees every node.
    void Clear();
    // Frees Node with its subtree.
    void Delete(TTreeNode* Node);

    // Number of nodes at all levels.
    int Count() const { return FCount; }
    // The node at Index in depth-first order; ETreeViewError when out of range. Walking
    // Item(0) .. Item(Count() - 1) in order costs one step per node: the last position is kept.
    TTreeNode* Item(int Index);
    TTreeNode* GetFirstNode() const { return FFirst; }
    // The node of a native item of the view's window (null when there is none).
    TTreeNode* GetNode(HTREEITEM ItemId) const;
    TTreeNode* GetLastTopNode() const { return FLast; }

    // Holds back window updates while many nodes change: new nodes and expansion changes reach
    // the window in one pass at the end (or when something needs the window's items before).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // The node records: the number of top-level nodes, then each node's record followed by its
    // children, depth first. WriteData writes them at the stream's position.
    void WriteData(TStream& Stream) const;
    // Reads node records from the stream's position to its end and replaces all nodes with them.
    // The whole data is checked before anything changes: on damage EReadError is raised and the
    // nodes stay as they were.
    void ReadData(TStream& Stream);
    void ReadData(const void* Data, std::size_t Size);

    // Nodes passed over by Item() so far (a diagnostic of the position cache).
    Int64 ItemSteps() const { return FItemSteps; }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    friend struct TreeViewLink;

    TTreeNode* NewNode(const AnsiString& S, void* Ptr);
    // Where a new node with text S goes among Parent's children: Before, or its sorted place
    // when the view sorts by text.
    TTreeNode* SortedPlace(TTreeNode* Parent, TTreeNode* Before, const AnsiString& S) const;
    // Links an unlinked node (with its subtree) under Parent (null: top level) before Before
    // (null: at the end).
    void Link(TTreeNode* Node, TTreeNode* Parent, TTreeNode* Before);
    void Unlink(TTreeNode* Node);
    // Counts a subtree's nodes.
    static int SubtreeSize(const TTreeNode* Node);
    void FreeSubtree(TTreeNode* Node);
    void Changed() { FCacheNode = nullptr; }
    TTreeNode*& FirstOf(TTreeNode* Parent) { return Parent ? Parent->FFirstChild : FFirst; }
    TTreeNode*& LastOf(TTreeNode* Parent) { return Parent ? Parent->FLastChild : FLast; }

    TCustomTreeView* FOwner;
    TTreeNode* FFirst = nullptr;
    TTreeNode* FLast = nullptr;
    int FCount = 0;
    int FUpdateCount = 0;
    // Nodes added during an update wait for the window until EndUpdate.
    bool FPending = false;
    // Expansion changes made during an update wait for the window likewise.
    bool FExpandPending = false;
    // The selected node of the model (mirrored to and from the window).
    TTreeNode* FSelected = nullptr;
    // Position cache of Item().
    TTreeNode* FCacheNode = nullptr;
    int FCacheIndex = 0;
    Int64 FItemSteps = 0;
};

// ---------------------------------------------------------------------------------------------
// The tree view: a window of the system's tree-view class that mirrors a TTreeNodes. The nodes
// keep every state of their own (text, images, expansion, selection), so the window can be
// destroyed and made again (BorderStyle, skin changes) without losing anything.

class TReader;
class TWriter;

using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle for controls

enum TSortType { stNone, stData, stText, stBoth };

enum THitTest {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight
};
using THitTests = TSet<THitTest>;

enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem {
    cdsSelected,
    cdsGrayed,
    cdsDisabled,
    cdsChecked,
    cdsFocused,
    cdsDefault,
    cdsHot,
    cdsMarked,
    cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;

using TTVChangingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TMethod<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TMethod<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;
using TTVExpandingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TMethod<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TMethod<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = TMethod<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVCustomDrawEvent = TMethod<void(TCustomTreeView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    TMethod<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    TMethod<void(TCustomTreeView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent =
    TMethod<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage,
                 bool& PaintImages, bool& DefaultDraw)>;
// A sort comparison: negative, zero or positive.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2, int Data)>;

class TCustomTreeView : public TWinControl {
    VCL_CLASS(TCustomTreeView, TWinControl)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    void Dispatch(TMessage& Message) override;

    TTreeNodes* Items() const { return FTreeNodes.get(); }

    TTreeNode* Selected() const { return FTreeNodes->FSelected; }
    void SetSelected(TTreeNode* Value);
    void Select(TTreeNode* Node) { SetSelected(Node); }
    // The node on the row under a client point, or null.
    TTreeNode* GetNodeAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    // Expand or collapse every node, as Expand(true)/Collapse(true) of each top-level node, with
    // the window following once at the end.
    void FullExpand();
    void FullCollapse();
    // The first node shown at the top of the window.
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* Value);
    bool IsEditing();

    TCustomImageList* Images() const { return FImageLink.List(); }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateLink.List(); }
    void SetStateImages(TCustomImageList* Value);
    int Indent();
    void SetIndent(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    // Milliseconds between a selection change and OnChange (0: at once).
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value) { FChangeDelay = Value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // Re-creates the window.
    void SetBorderStyle(TBorderStyle Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    // Sorts every sibling list (with ARecurse, else the top level only) by OnCompare when set,
    // else by text.
    bool AlphaSort(bool ARecurse = true);
    bool CustomSort(const TTVCompare& SortProc, int Data, bool ARecurse = true);

    // The canvas of the custom-draw events (valid inside them).
    TCanvas* Canvas() const { return FCanvas.get(); }

    // Component streaming: the properties in the saved order, the nodes as Items.Data.
    void WriteProperties(TWriter& Writer) override;
    bool ReadProperty(TReader& Reader, const AnsiString& PropPath) override;

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVCompareEvent OnCompare;
    TTVCustomDrawEvent OnCustomDraw;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Below the selected node's text while it shows.
    TPoint KeyboardPopupPoint() override;
    // A drag of the tree takes back the edit its press armed.
    void DoStartDrag(TDragObject*& DragObject) override;

    // The hooks behind the events, for subclasses that decide or answer themselves:
    // whether Node may expand (OnExpanding), whether the selection may move to Node
    // (OnChanging), the selection has moved to Node (OnChange), an edit of a node's text ended
    // with Item's new text (OnEdited, then the node takes the text), Node is being deleted
    // (OnDeletion), and the window asks for Node's image or selected image (OnGetImageIndex,
    // OnGetSelectedIndex, then the node's index is given).
    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Edit(const TVITEMA& Item);
    virtual void Delete(TTreeNode* Node);
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);

    // The node of a native item (null for none).
    TTreeNode* NodeFromItem(HTREEITEM Item);
    void CNNotify(TMessage& Message);

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    friend struct TreeViewLink;

    void SetStyleBit(DWORD Bit, bool On);
    // Native insertion: the place after which Node goes, one item, the nodes below Root that have
    // no item yet (the whole tree for null), and what BeginUpdate held back.
    HTREEITEM InsertAfter(TTreeNode* Node);
    void InsertItem(TTreeNode* Node, HTREEITEM After);
    void InsertItems(TTreeNode* Root);
    void InsertPending();
    // Brings the window in step with the model before something needs its items: pending nodes,
    // pending expansion, the selected item.
    void FlushPending();
    void UpdateItem(TTreeNode* Node);
    void RepaintItem(TTreeNode* Node);
    // The window's expansion of one item follows the model's: at once, or at the end of an update.
    void ExpandItem(TTreeNode* Node);
    void SetItemExpanded(TTreeNode* Node, bool Value);
    // The same without the control laying out its rows: the flag goes with the item's image in
    // the answer to the control's request for it, and the rows are laid out when drawing is
    // allowed again. Where the control does not take it so, through the item as above.
    void SetItemExpandedQuietly(TTreeNode* Node, bool Value);
    // Every pending expansion change at once (see the comment at the definition).
    void ApplyExpansions();
    // The shown rows ApplyExpansions left to expand, once drawing is allowed again.
    void ShowExpandedRows();
    void RebuildItems();
    void SyncSelection();
    // Drops a native item with everything below it (TVI_ROOT: all of them).
    void DropItems(HTREEITEM Item);
    // The selection moved to Node (in the window, or up to a collapsing node that hid it): the
    // model takes it and OnChange tells of it, at once or after ChangeDelay.
    void SelectionMoved(TTreeNode* Node);
    void ApplyImages();
    void ImageListChange(TObject* Sender);
    void CustomDraw(TMessage& Message);
    // Scrolls the window sideways back to its left edge (or as far as the item's text start
    // needs) when the item's expand button and picture are scrolled out of view.
    void ShowItemStart(HTREEITEM Item);
    bool CanExpandNode(TTreeNode* Node, bool Expand);
    void NodeExpanded(TTreeNode* Node, bool Expand);
    void SortChildren(TTreeNode* Parent, const TTVCompare& Compare, int Data, bool Recurse);
    int CompareNodes(TTreeNode* A, TTreeNode* B);

    std::unique_ptr<TTreeNodes> FTreeNodes;
    std::unique_ptr<TCanvas> FCanvas;
    TImageListLink FImageLink;
    TImageListLink FStateLink;
    int FIndent = 19;
    bool FReadOnly = false;
    bool FHotTrack = false;
    bool FRowSelect = false;
    bool FRightClickSelect = false;
    int FChangeDelay = 0;
    bool FHideSelection = true;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    TBorderStyle FBorderStyle = bsSingle;
    TSortType FSortType = stNone;
    // While set, native notifications caused by our own calls are not turned into events.
    int FManualNotify = 0;
    // While set, native selection changes are not taken into the model (moves, rebuilds).
    int FLockSelection = 0;
    // While set, expansion changes wait for ApplyExpansions (pending nodes going in).
    int FHoldExpansions = 0;
    // The item whose expansion flag goes with the next image answer, and the flag.
    TTreeNode* FQuietNode = nullptr;
    bool FQuietExpanded = false;
    // Whether the control takes an expansion flag with an image answer (known once tried).
    enum class TQuietFlags { Unknown, Taken, Refused } FQuietFlags = TQuietFlags::Unknown;
    // Shown rows whose expansion waits for drawing to be allowed again (ShowExpandedRows).
    std::vector<TTreeNode*> FShownToExpand;
    bool FEditing = false;
    // A press on the selected node's text makes the native control edit, a double-click time
    // later, whatever node is selected then. An edit goes on only when it was asked (EditText) or
    // comes from the last press, made on the node selected before it, with no drag since.
    bool FEditAsked = false;
    HTREEITEM FClickEditItem = nullptr;
    // The window the native control notifies: its parent when it was made.
    HWND FNotifyWnd = nullptr;
};

// The tree view with its published properties.
class TTreeView : public TCustomTreeView {
    VCL_CLASS(TTreeView, TCustomTreeView)
public:
    using TCustomTreeView::TCustomTreeView;
};
