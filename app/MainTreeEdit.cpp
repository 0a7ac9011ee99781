// Editing the article tree: categories and subcategories added, titles renamed with their map
// keys and notes, nodes deleted with theirs, the tree cleared, articles marked, nodes moved by drag
// and drop.
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainSearch.h"
#include "MainTreeMap.h"
#include "sDialogs.h"

void TID_Vellorn::N9Click(TObject*)
{
    ShowTreePage(this, 0);
    const AnsiString title = sInputBox("Введите название категории", "Новая категория", "");
    if (title.empty() || !TitleFits(title))
        return;
    for (TTreeNode* n = TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == title) {
            Notify("Категория с таким названием уже существует");
            return;
        }
    TreeView1->Items()->AddChild(nullptr, title);
}

void TID_Vellorn::N40Click(TObject* Sender) { N9Click(Sender); }

void TID_Vellorn::N10Click(TObject*)
{
    ShowTreePage(this, 0);
    const AnsiString title = sInputBox("Новая подкатегория", "Введите название подкатегории", "");
    if (!title.empty() && TitleFits(title))
        TreeView1->Items()->AddChild(EntryParent(*TreeView1), title);
}

void TID_Vellorn::N41Click(TObject* Sender) { N10Click(Sender); }

// Also F2, its shortcut (the start page tells so); a rename under way goes on.
void TID_Vellorn::N15Click(TObject*)
{
    Session(this).DragPressed = false;
    if (TTreeNode* node = TreeView1->Selected(); node && !TreeView1->IsEditing())
        node->EditText();
}

void TID_Vellorn::N25Click(TObject* Sender) { N15Click(Sender); }

void TID_Vellorn::TreeView1Edited(TObject*, TTreeNode* Node, AnsiString& S)
{
    // An empty or unchanged text ends the edit quietly, however the edit ended.
    const AnsiString old = Node->Text();
    if (S.empty() || S == old) {
        S = old;
        return;
    }
    if (IsFolder(Node)) {
        if (!TitleFits(S))
            S = old;
        return;
    }
    // An entry's title names its key and its note: no other entry may have it (a change of its own
    // case may).
    if (!TitleFree(*TreeView1->Items(), S, Node, true, "Статья с таким названием уже существует") ||
        !RetitleEntry(this, Node, S, archive::ReadMapEntry(CurrentTreeFile, EntrySection(Node), old)))
        S = old;
}

void TID_Vellorn::N12Click(TObject*)
{
    TTreeNode* node = TreeView1->Selected();
    if (!node || !Confirm("Вы уверены, что хотите удалить?", "Удаление"))
        return;
    ForgetEntries(this, node);
    node->Delete();
    ShowArticleCount(this);
}

// The pop-up's delete does what the menu's does.
void TID_Vellorn::N43Click(TObject* Sender) { N12Click(Sender); }

void TID_Vellorn::N4Click(TObject*)
{
    if (!Confirm("Вы действительно хотите очистить текущее дерево?\nВостановить данные будет невозможно,\nесли вы "
                 "не сохранили текущее дерево.",
                 "Внимание!!!"))
        return;
    TreeView1->Items()->Clear();
    ArticleCount = 0;
    StatusBar1->Panels()->Items(1)->SetText("Количество статей: 0");
    // This instance's own map (the working one, or the loaded tree's beside another instance).
    CurrentTreeFile = archive::WorkingTreeFile();
}

// A mark is set on an article only: a folder, Flash movie or link keeps its kind.
static void MarkSelected(TID_Vellorn* Form, Integer Image)
{
    TTreeNode* node = Form->TreeView1->Selected();
    if (!node || !IsArticle(node))
        return;
    node->SetImageIndex(Image);
    node->SetSelectedIndex(Image);
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
    TTreeNode* node = TreeView1->Selected();
    TTreeNode* target = TreeView1->GetNodeAt(X, Y);
    if (!node || target == node || (target && (!IsFolder(target) || target->HasAsParent(node))))
        return;
    if (target)
        node->MoveTo(target, naAddChild);
    else
        node->MoveTo(nullptr, naAdd);
}
