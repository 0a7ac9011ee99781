// Editing the article tree through the archive: categories and subcategories added, titles
// renamed with their map keys and notes, nodes deleted with theirs, the tree cleared, articles
// marked, nodes moved by drag and drop; and what shows the tree following its change.
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainSearch.h"
#include "MainTreeMap.h"
#include "sDialogs.h"

void TID_Vellorn::N9Click(TObject*)
{
    ShowTreePage(this, 0);
    const AnsiString title = sInputBox("Введите название категории", "Новая категория", "");
    if (!TArchive::CleanTitle(title).empty())
        Archive(this).AddFolder(nullptr, title);
}

void TID_Vellorn::N40Click(TObject* Sender) { N9Click(Sender); }

void TID_Vellorn::N10Click(TObject*)
{
    ShowTreePage(this, 0);
    const AnsiString title = sInputBox("Новая подкатегория", "Введите название подкатегории", "");
    if (!TArchive::CleanTitle(title).empty())
        Archive(this).AddFolder(EntryParent(*TreeView1), title);
}

void TID_Vellorn::N41Click(TObject* Sender) { N10Click(Sender); }

// Also F2, its shortcut (the start page tells so); a rename under way goes on.
void TID_Vellorn::N15Click(TObject*)
{
    if (TTreeNode* node = TreeView1->Selected(); node && !TreeView1->IsEditing())
        node->EditText();
}

void TID_Vellorn::N25Click(TObject* Sender) { N15Click(Sender); }

void TID_Vellorn::TreeView1Edited(TObject*, TTreeNode* Node, AnsiString& S)
{
    // An empty or unchanged text ends the edit quietly, however the edit ended; any other goes by
    // the archive's title rule, and the node keeps the title as the archive gave it.
    const AnsiString old = Node->Text();
    if (TArchive::CleanTitle(S).empty() || S == old || !RetitleEntry(this, Node, S, Archive(this).Value(Node), Node->ImageIndex())) {
        S = old;
        return;
    }
    S = Node->Text();
}

void TID_Vellorn::N12Click(TObject*)
{
    TTreeNode* node = TreeView1->Selected();
    if (!node || !Confirm("Вы уверены, что хотите удалить?", "Удаление"))
        return;
    Archive(this).Delete(node);
    FollowTree(this);
}

// The pop-up's delete does what the menu's does.
void TID_Vellorn::N43Click(TObject* Sender) { N12Click(Sender); }

void TID_Vellorn::N4Click(TObject*)
{
    if (!Confirm("Вы действительно хотите очистить текущее дерево?\nВостановить данные будет невозможно,\nесли вы "
                 "не сохранили текущее дерево.",
                 "Внимание!!!"))
        return;
    // The entries go with their keys and notes: nothing of them comes back on a new entry.
    Archive(this).Clear();
    FollowTree(this, true);
}

void FollowTree(TID_Vellorn* Form, bool Replaced)
{
    TMainSession& s = Session(Form);
    // The results of entries that have gone (all of them when the tree was replaced).
    TTreeNodes& results = *Form->TreeView2->Items();
    std::vector<TTreeNode*> gone;
    for (TTreeNode* n = results.GetFirstNode(); n; n = n->getNextSibling())
        if (Replaced || !Archive(Form).Holds(n))
            gone.push_back(n);
    if (!gone.empty()) {
        results.BeginUpdate();
        if (Replaced)
            results.Clear();
        else
            for (TTreeNode* n : gone)
                n->Delete();
        results.EndUpdate();
    }
    // The opened entry has gone: nothing is open for the note commands, and the caption no longer
    // names it.
    if (!s.OpenedNode && !Form->OpenedTitle.empty()) {
        Form->OpenedTitle = "";
        Form->LastFileEntry = "";
        s.NoteRefused = false;
        Form->Memo1->SetReadOnly(false);
        Form->Memo1->Lines()->Clear();
        Form->Memo1->SetModified(false);
        ShowNotePanel(Form, false);
        Form->SetCaption(PageCaption(Form));
    }
    EnableNoteCommands(Form);
    if (Form->PageControl1->ActivePageIndex() == 1)
        Form->PageControl1Change(Form->PageControl1);
    else
        ShowArticleCount(Form);
}

// A mark is set on an article only: a folder, Flash movie or link keeps its kind.
static void MarkSelected(TID_Vellorn* Form, Integer Image)
{
    Archive(Form).Mark(Form->TreeView1->Selected(), Image);
    // The results show each entry's mark too.
    if (TTreeNode* node = Form->TreeView1->Selected(); node && IsArticle(node))
        for (TTreeNode* n = Form->TreeView2->Items()->GetFirstNode(); n; n = n->getNextSibling())
            if (IsArticle(n) && n->Text() == node->Text()) {
                n->SetImageIndex(Image);
                n->SetSelectedIndex(Image);
            }
}

void TID_Vellorn::N42Click(TObject*) { MarkSelected(this, niArticleFavourite); }
void TID_Vellorn::N65Click(TObject*) { MarkSelected(this, niArticleFavourite); }
void TID_Vellorn::N55Click(TObject*) { MarkSelected(this, niArticleNew); }
void TID_Vellorn::N66Click(TObject*) { MarkSelected(this, niArticleNew); }
void TID_Vellorn::N56Click(TObject*) { MarkSelected(this, niArticleRead); }
void TID_Vellorn::N67Click(TObject*) { MarkSelected(this, niArticleRead); }
void TID_Vellorn::N57Click(TObject*) { MarkSelected(this, niArticleUnread); }
void TID_Vellorn::N68Click(TObject*) { MarkSelected(this, niArticleUnread); }

void TID_Vellorn::TreeView1DragOver(TObject*, TObject* Source, int X, int Y, TDragState, bool& Accept)
{
    Accept = Source == TreeView1;
    TTreeNode* target = TreeView1->GetNodeAt(X, Y);
    if (target && !IsFolder(target))
        Accept = false;
}

void TID_Vellorn::TreeView1DragDrop(TObject*, TObject*, int X, int Y)
{
    Archive(this).Move(TreeView1->Selected(), TreeView1->GetNodeAt(X, Y));
}
