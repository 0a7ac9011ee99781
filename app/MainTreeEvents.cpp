// What follows the article tree's own events: folder images on expand and collapse, the menu
// items enabled by the kind of the selected node, the property panel following the article
// clicked, the pop-up menu of a right click, and the nodes the window remembers forgotten when
// they are deleted.
#include "MainSession.h"

#include <cstdlib>

#include "MainBrowse.h"
#include "MainSearch.h"
#include "MainTreeMap.h"

namespace {

// Only folders (images 0 and 1) change: a programmatic collapse of the whole tree reaches
// entries too, which keep their kind and mark.
void SetFolderImage(TTreeNode* Node, Integer Image)
{
    if (!Node || !IsFolder(Node))
        return;
    Node->SetImageIndex(Image);
    Node->SetSelectedIndex(Image);
}

void Enable(std::initializer_list<TMenuItem*> Items, bool Value)
{
    for (TMenuItem* item : Items)
        item->SetEnabled(Value);
}

// The tree's commands as the selected node allows, the one rule of the main menu, the pop-up menu
// and the timer: none without a node or on the results page; on any node renaming, deleting and
// the properties; on a folder the add commands (it takes children); on an article the mark
// submenus (a mark is set on an article only). Nothing while the tree is hidden.
void EnableForSelection(TID_Vellorn* Form, const TTreeNode* Node)
{
    // No command acts on an entry the user cannot see: none either while the tree is hidden.
    const bool any = Node && Form->PageControl1->ActivePageIndex() != 1 && Form->Panel2->Visible();
    Enable({Form->N15, Form->N25, Form->N12, Form->N43, Form->N17, Form->N96}, any);
    Enable({Form->N10, Form->N80, Form->N31, Form->Flash1, Form->N41, Form->N73, Form->N94, Form->Flash2},
           any && IsFolder(Node));
    Enable({Form->N11, Form->N64}, any && IsArticle(Node));
    EnableNoteCommands(Form);
}

} // namespace

void TID_Vellorn::TreeView1Expanded(TObject*, TTreeNode* Node) { SetFolderImage(Node, niFolderOpen); }

void TID_Vellorn::TreeView1Collapsed(TObject*, TTreeNode* Node) { SetFolderImage(Node, niFolderClosed); }

void TID_Vellorn::TreeView1Deletion(TObject*, TTreeNode* Node)
{
    // The window going away takes its nodes and its panel with it: nothing is left to tell.
    if (ComponentState().Contains(csDestroying))
        return;
    TMainSession& s = Session(this);
    if (s.Archive)
        s.Archive->Forget(Node);
    if (Node == ClickedNode)
        ClickedNode = nullptr;
    if (Node == PanelNode) {
        PanelNode = nullptr;
        Panel1->SetVisible(false);
    }
    if (Node == s.PropertiesNode)
        s.PropertiesNode = nullptr;
    if (Node == s.PopupNode)
        s.PopupNode = nullptr;
    if (Node == s.PressedNode)
        s.PressedNode = nullptr;
    if (Node == s.OpenedNode)
        s.OpenedNode = nullptr;
}

// The tree starts its drags itself, once the mouse moves beyond the drag distance with the left
// button held on a node; a press released before that stays a click. The node pressed becomes the
// selected one, which a drop moves.
void TID_Vellorn::TreeView1MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    TMainSession& s = Session(this);
    s.PressedNode = Button == mbLeft ? TreeView1->GetNodeAt(X, Y) : nullptr;
    s.PressPos = TPoint{X, Y};
}

void TID_Vellorn::TreeView1MouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    TMainSession& s = Session(this);
    if (!s.PressedNode)
        return;
    if (!Shift.Contains(ssLeft)) {
        s.PressedNode = nullptr;
        return;
    }
    if (std::abs(X - s.PressPos.x) < GetSystemMetrics(SM_CXDRAG) &&
        std::abs(Y - s.PressPos.y) < GetSystemMetrics(SM_CYDRAG))
        return;
    TTreeNode* node = s.PressedNode;
    s.PressedNode = nullptr;
    TreeView1->SetSelected(node);
    TreeView1->BeginDrag(true);
}

// The tree lets a title edit start only by F2 and the menus' rename, or by a slow second click on
// the selected node that did not drag it.
void TID_Vellorn::TreeView1Editing(TObject*, TTreeNode*, bool& AllowEdit)
{
    // The title box takes no more than the tree file keeps.
    if (AllowEdit)
        if (HWND edit = reinterpret_cast<HWND>(TreeView1->Perform(TVM_GETEDITCONTROL)))
            SendMessageA(edit, EM_LIMITTEXT, MaxTitleLength, 0);
}

void TID_Vellorn::N92Click(TObject*)
{
    TreeView1->FullExpand();
    Panel2->SetVisible(true);
    ShowTreePage(this, 0);
}

void TID_Vellorn::N93Click(TObject*)
{
    TreeView1->FullCollapse();
    Panel2->SetVisible(true);
    ShowTreePage(this, 0);
}

void TID_Vellorn::Timer2Timer(TObject*) { EnableForSelection(this, TreeView1->Selected()); }

void TID_Vellorn::N7Click(TObject*)
{
    // The menu opens, or one of its shortcuts is pressed: its items follow the selection as it is
    // now, which keys queued before the timer's next tick may have moved.
    EnableForSelection(this, TreeView1->Selected());
}

void TID_Vellorn::TreeView1Click(TObject*)
{
    TTreeNode* node = TreeView1->Selected();
    if (!node)
        return;
    ClickedNode = node;
    EnableForSelection(this, node);
    if (!IsFolder(node))
        ShowInPanel(this, node);
}

void TID_Vellorn::TreeView1ContextPopup(TObject*, TPoint MousePos, bool&)
{
    // The node under the mouse; from the keyboard (no position) the selected one.
    TTreeNode* node = MousePos.x == -1 && MousePos.y == -1 ? TreeView1->Selected()
                                                             : TreeView1->GetNodeAt(MousePos.x, MousePos.y);
    TreeView1->SetSelected(node);
    Session(this).PopupNode = node;
    EnableForSelection(this, node);
    if (!node)
        return;
    if (PendingPlaceArticle) {
        TreeView1->SetPopupMenu(PopupMenu9);
        PendingPlaceArticle = false;
    }
    if (!IsFolder(node))
        ShowInPanel(this, node);
}
