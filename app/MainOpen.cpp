// Opening an entry of the article tree: double click or Enter shows the link, the Flash movie or
// the article in the browser view, with its note, caption and address.
#include "MainBrowse.h"

#include "ArchiveFiles.h"
#include "MainSession.h"
#include "MainTreeMap.h"

namespace {

constexpr Integer ImageFlash = 38;
constexpr Integer ImageLink = 39;

// Shows the note of the entry when it has one and enables its commands (unless EnableCommands is
// false). A title that cannot name a note file turns the remove and save commands off: their
// handlers would refuse it.
void ShowNoteOf(TID_Vellorn* Form, const AnsiString& Title, bool EnableCommands)
{
    AnsiString path;
    const bool nameOk = NoteFilePath(Title, Form->TreeName, path);
    if (nameOk && FileExists(path)) {
        ShowNotePanel(Form, true);
        Form->Memo1->Lines()->LoadFromFile(path);
        if (EnableCommands)
            for (TMenuItem* item : {Form->N76, Form->N83, Form->N85, Form->N78})
                item->SetEnabled(true);
        Form->ToolButton20->SetEnabled(true);
    } else {
        Form->Memo1->Lines()->Clear();
        ShowNotePanel(Form, false);
        Form->ToolButton20->SetEnabled(false);
        if (!nameOk)
            for (TMenuItem* item : {Form->N76, Form->N83, Form->N85, Form->N78})
                item->SetEnabled(false);
    }
    Form->ToolButton17->SetEnabled(nameOk);
}

} // namespace

void OpenEntry(TID_Vellorn* Form, TTreeNode* Node, bool FromResults)
{
    if (!Node || IsFolder(Node))
        return;
    const Integer image = Node->ImageIndex();
    if (image != ImageLink && image != ImageFlash && !IsArticle(Node))
        return;
    if (!KeepTypedNote(Form))
        return;
    const AnsiString title = Node->Text();
    const AnsiString caption = FromResults ? "Vellorn - " + title : ShownTreeName(Form) + " - " + title + " -VLN";
    AnsiString target;
    if (image == ImageLink || image == ImageFlash) {
        const bool link = image == ImageLink;
        Form->LastFileEntry = archive::ReadMapEntry(Form->CurrentTreeFile, link ? archive::SectionUrl
                                                                                : archive::SectionFlash, title);
        Form->OpenedTitle = title;
        Form->SetCaption(caption);
        target = link ? Form->LastFileEntry : archive::AppPath("FILES\\FLASH\\" + Form->LastFileEntry);
        Form->Web->Navigate(target);
    } else {
        if (!FromResults) {
            Form->N74->SetEnabled(true);
            Form->N81->SetEnabled(true);
            Form->SkipHistoryOnce = false;
        }
        Form->SetCaption(caption);
        const AnsiString file = ReadFileEntry(Form, title);
        target = archive::AppPath("FILES\\" + file);
        const bool found = !file.empty() && FileExists(target);
        if (!found && !FromResults)
            Session(Form).MissingPage = target;
        Form->Web->Navigate(found || FromResults ? target : AnsiString("about:blank"));
    }
    ShowNoteOf(Form, title, !(FromResults && image == ImageFlash));
    Form->ComboBox1->SetText(target);
    if (!target.empty())
        RememberAddress(*Form->ComboBox1->Items(), target);
}

void RememberAddress(TStrings& Items, const AnsiString& Address)
{
    const AnsiString plain = StripHotkey(Address);
    for (int i = 0; i < Items.Count(); ++i)
        if (AnsiSameText(StripHotkey(Items[i]), plain))
            return;
    Items.Add(Address);
}

void TID_Vellorn::TreeView1DblClick(TObject*) { OpenEntry(this, TreeView1->Selected()); }

void TID_Vellorn::TreeView1KeyPress(TObject*, char& Key)
{
    if (Key == '\r')
        OpenEntry(this, TreeView1->Selected());
}
