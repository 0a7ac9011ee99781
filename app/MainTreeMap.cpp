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
    return AddEntryNode(Form, Title, TreeFileName, archive::SectionFiles, File, Image,
                        "Статья с таким названием уже существует");
}

bool AddEntryNode(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& MapName, const char* Section,
                  const AnsiString& Value, Integer Image, const AnsiString& Taken)
{
    TsTreeView* tree = Form->TreeView1;
    if (!TitleFree(*tree->Items(), Title, nullptr, true, Taken))
        return false;
    // The map first: a write that fails adds no node without its key.
    archive::WriteMapEntry(MapName, Section, Title, Value);
    TTreeNode* node = tree->Items()->AddChild(EntryParent(*tree), Title);
    node->SetImageIndex(Image);
    node->SetSelectedIndex(Image);
    return true;
}

bool TitleFree(const TTreeNodes& Nodes, const AnsiString& Title, const TTreeNode* Except, bool EntriesOnly,
               const AnsiString& Taken)
{
    if (!IsValidTitle(Title)) {
        Notify("Недопустимое название");
        return false;
    }
    if (FindKeyNode(Nodes, Title, Except, [&](TTreeNode* n) { return !EntriesOnly || !IsFolder(n); })) {
        Notify(Taken);
        return false;
    }
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

bool Confirm(const AnsiString& Text, const AnsiString& Caption)
{
    return Application->MessageBox(Text, Caption, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}
