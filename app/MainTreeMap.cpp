#include "MainTreeMap.h"

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainSession.h"

bool TitleAccepted(TCustomEdit& Title, Integer Image, const TTreeNode* Node, const AnsiString& Empty)
{
    const AnsiString refusal = Archive(ID_Vellorn).TitleRefusal(Title.Text(), Image, Node, nullptr, Empty);
    if (refusal.empty())
        return true;
    Notify(refusal);
    if (Title.CanFocus())
        Title.SetFocus();
    return false;
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

bool RetitleEntry(TID_Vellorn* Form, TTreeNode* Node, const AnsiString& Title, const AnsiString& Value, Integer Image)
{
    TMainSession& s = Session(Form);
    TArchive& archive = Archive(Form);
    const AnsiString old = Node->Text(), title = TArchive::CleanTitle(Title);
    const Integer oldImage = Node->ImageIndex();
    // A note typed for the opened entry goes with its title too: a title that cannot name a note
    // file would lose it.
    AnsiString path, reason;
    if (Node == s.OpenedNode && Form->Memo1->Modified() && old != title && !archive.NotePath(title, path, &reason) &&
        archive.TitleRefusal(title, Node->ImageIndex(), Node, Node->Parent()).empty()) {
        Notify("Примечание для этой статьи сохранить нельзя: " + reason + ".");
        return false;
    }
    if (!archive.Change(Node, title, Value, Image))
        return false;
    if (!IsFolder(Node))
        for (TTreeNode* n = Form->TreeView2->Items()->GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == old && n->ImageIndex() == oldImage) {
                n->SetText(Node->Text());
                n->SetImageIndex(Node->ImageIndex());
                n->SetSelectedIndex(Node->ImageIndex());
            }
    if (old == Node->Text())
        return true;
    if (Node == s.OpenedNode) {
        Form->OpenedTitle = Node->Text();
        Form->SetCaption(PageCaption(Form));
    }
    if (Node == Form->PanelNode && Form->Edit1->Text() == old)
        Form->Edit1->SetText(Node->Text());
    return true;
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
