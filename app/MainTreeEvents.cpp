// Folder images of the article tree follow its expansion. Only folders (images 0 and 1) change:
// a programmatic collapse of the whole tree reaches entries too, which keep their kind and mark.
#include "Main.h"

namespace {

void SetFolderImage(TTreeNode* Node, Integer Image)
{
    if (!Node || (Node->ImageIndex() != 0 && Node->ImageIndex() != 1))
        return;
    Node->SetImageIndex(Image);
    Node->SetSelectedIndex(Image);
}

} // namespace

void TID_Vellorn::TreeView1Expanded(TObject*, TTreeNode* Node) { SetFolderImage(Node, 1); }

void TID_Vellorn::TreeView1Collapsed(TObject*, TTreeNode* Node) { SetFolderImage(Node, 0); }
