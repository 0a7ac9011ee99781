#include "MainTreeMap.h"

#include "ArchiveFiles.h"

AnsiString ReadFileEntry(TID_Vellorn* Form, const AnsiString& Title)
{
    Form->LastFileEntry = archive::ReadMapEntry(Form->CurrentTreeFile, archive::SectionFiles, Title);
    Form->OpenedTitle = Title;
    return Form->LastFileEntry;
}

void DeleteFileEntry(const AnsiString& Title)
{
    archive::DeleteMapEntry(archive::WorkingTreeFile(), archive::SectionFiles, Title);
}

bool AddArticleNode(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& TreeFileName,
                    const AnsiString& File, Integer Image)
{
    TsTreeView* tree = Form->TreeView1;
    if (!IsValidTitle(Title)) {
        Notify("Недопустимое название");
        return false;
    }
    if (FindKeyNode(*tree->Items(), Title, nullptr, [](TTreeNode* n) { return !IsFolder(n); })) {
        Notify("Статья с таким названием уже существует");
        return false;
    }
    // The map first: a write that fails adds no node without its file.
    archive::WriteMapEntry(TreeFileName, archive::SectionFiles, Title, File);
    TTreeNode* node = tree->Items()->AddChild(EntryParent(*tree), Title);
    node->SetImageIndex(Image);
    node->SetSelectedIndex(Image);
    return true;
}

bool SameMapKey(const AnsiString& A, const AnsiString& B) { return AnsiSameText(Trim(A), Trim(B)); }

bool IsValidTitle(const AnsiString& Title)
{
    const AnsiString key = Trim(Title);
    return !key.empty() && key[0] != '[' && key[0] != ';' &&
           Title.find_first_of(AnsiString("=\r\n\0", 4)) == AnsiString::npos;
}

TTreeNode* EntryParent(TCustomTreeView& Tree)
{
    TTreeNode* n = Tree.Selected();
    while (n && !IsFolder(n))
        n = n->Parent();
    return n;
}

void Notify(const AnsiString& Text) { Application->MessageBox(Text, Application->Title(), MB_OK); }
