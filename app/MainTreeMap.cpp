#include "MainTreeMap.h"

#include <set>
#include <utility>

#include "ArchiveFiles.h"
#include "MainBrowse.h"

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

bool TitleFits(const AnsiString& Title)
{
    if (static_cast<int>(Title.size()) <= MaxTitleLength)
        return true;
    Notify("Название слишком длинное: дерево статей хранит не больше " + IntToStr(MaxTitleLength) + " знаков.");
    return false;
}

bool TitleGiven(TCustomEdit& Title, const AnsiString& Refusal)
{
    if (Title.Text().empty()) {
        Notify(Refusal);
        return false;
    }
    return TitleFits(Title.Text());
}

bool TitleFree(const TTreeNodes& Nodes, const AnsiString& Title, const TTreeNode* Except, bool EntriesOnly,
               const AnsiString& Taken)
{
    if (!IsValidTitle(Title)) {
        Notify("Недопустимое название");
        return false;
    }
    if (!TitleFits(Title))
        return false;
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

const char* EntrySection(const TTreeNode* Node)
{
    if (IsArticle(Node))
        return archive::SectionFiles;
    if (Node->ImageIndex() == niFlash)
        return archive::SectionFlash;
    if (Node->ImageIndex() == niLink)
        return archive::SectionUrl;
    return "";
}

bool RetitleEntry(TID_Vellorn* Form, TTreeNode* Node, const AnsiString& Title, const AnsiString& Value)
{
    const AnsiString old = Node->Text();
    const AnsiString section = EntrySection(Node);
    if (!NoteCanFollow(Form, old, Title))
        return false;
    // The new key first: a failure on the way leaves the entry with its old key and note.
    const AnsiString& map = archive::WorkingTreeFile();
    archive::WriteMapEntry(map, section, Title, Value);
    if (old == Title)
        return true;
    const bool opened = old == Form->OpenedTitle;
    MoveNote(Form, old, Title);
    if (!SameMapKey(old, Title) &&
        !FindKeyNode(*Form->TreeView1->Items(), old, Node, [&](TTreeNode* n) { return EntrySection(n) == section; }))
        archive::DeleteMapEntry(map, section, old);
    if (opened)
        Form->SetCaption(PageCaption(Form));
    for (TTreeNode* n = Form->TreeView2->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == old && n->ImageIndex() == Node->ImageIndex())
            n->SetText(Title);
    if (Node == Form->PanelNode && Form->Edit1->Text() == old)
        Form->Edit1->SetText(Title);
    return true;
}

void ForgetEntries(TID_Vellorn* Form, TTreeNode* Node)
{
    // The keys (section and title without case) and note titles of the entries outside the subtree.
    const auto key = [](const TTreeNode* n) {
        return std::make_pair(AnsiString(EntrySection(n)), AnsiUpperCase(Trim(n->Text())));
    };
    std::set<std::pair<AnsiString, AnsiString>> keptKeys;
    std::set<AnsiString> keptNotes;
    for (TTreeNode* n = Form->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
        if (!IsFolder(n) && n != Node && !n->HasAsParent(Node)) {
            keptKeys.insert(key(n));
            keptNotes.insert(AnsiUpperCase(n->Text()));
        }
    const auto forget = [&](TTreeNode* n) {
        if (IsFolder(n))
            return;
        if (!keptKeys.count(key(n)))
            archive::DeleteMapEntry(archive::WorkingTreeFile(), EntrySection(n), n->Text());
        if (!keptNotes.count(AnsiUpperCase(n->Text())))
            DropNote(Form, n->Text());
    };
    forget(Node);
    for (TTreeNode* n = Node->GetNext(); n && n->HasAsParent(Node); n = n->GetNext())
        forget(n);
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
