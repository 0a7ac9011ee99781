// Opening an entry of the article tree: double click or Enter shows the link, the Flash movie or
// the article in the browser view, with its note, caption and address.
#include "MainBrowse.h"
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainSession.h"
#include "MainTreeMap.h"

namespace {

constexpr Integer ImageFlash = 38;
constexpr Integer ImageLink = 39;

// Shows the note of the entry when it has one and enables its commands (unless EnableCommands is
// false). A title that cannot name a note file turns the remove and save commands off: their
// handlers would refuse it. A note that cannot be shown (too large, unreadable) is named with the
// reason; the panel then shows and writes nothing for this entry, or, for a note it cannot lay out in
// time, shows the part it can, read-only.
void ShowNoteOf(TID_Vellorn* Form, const AnsiString& Title, bool EnableCommands)
{
    TMainSession& s = Session(Form);
    s.NoteRefused = false;
    Form->Memo1->SetReadOnly(false);
    AnsiString path, refusal, shown;
    const bool nameOk = NoteFilePath(Title, Form->TreeName, path);
    if (nameOk && FileExists(path)) {
        TStringList text;
        refusal = ReadNoteText(path, text);
        shown = text.Text();
    }
    // The text goes in once the panel has its size, so that the edit control lays it out once.
    Form->Memo1->Lines()->Clear();
    if (nameOk && FileExists(path) && refusal.empty()) {
        ShowNotePanel(Form, true);
        if (EnableCommands)
            for (TMenuItem* item : {Form->N76, Form->N83, Form->N85, Form->N78})
                item->SetEnabled(true);
        Form->ToolButton20->SetEnabled(true);
    } else {
        Form->Memo1->Lines()->Clear();
        ShowNotePanel(Form, false);
        Form->ToolButton20->SetEnabled(false);
        if (!nameOk || !refusal.empty())
            for (TMenuItem* item : {Form->N76, Form->N83, Form->N85, Form->N78})
                item->SetEnabled(false);
    }
    // The whole text at once, as the edit takes it: the caret stays at its start. A note cut to what
    // the panel lays out in time is shown too, read-only: its file is never written from the panel.
    if (!shown.empty()) {
        if (!refusal.empty())
            ShowNotePanel(Form, true);
        Form->Memo1->Lines()->SetText(shown);
    }
    Form->Memo1->SetModified(false);
    Form->ToolButton17->SetEnabled(nameOk && refusal.empty());
    if (!refusal.empty()) {
        s.NoteRefused = true;
        Form->Memo1->SetReadOnly(true);
        Notify("Примечание к \"" + Title + (shown.empty() ? "\" не показано.\n" : "\" показано не полностью, только для чтения.\n") +
               refusal);
    }
}

// The file of an article or a Flash movie lies in its archive folder: a stored name that leads
// elsewhere (up out of it, a full name, a device, a stream) opens nothing, and the entry is named.
bool StoredFileInside(const AnsiString& Title, const char* Folder, const AnsiString& File)
{
    AnsiString relative;
    const archive::TFilePlace place = archive::PlaceOfFile(Folder, File, false, relative);
    if (place == archive::TFilePlace::Inside)
        return true;
    Notify("Запись \"" + Title + "\" не открыта: её файл \"" + File + "\" не может быть открыт.\n" +
           archive::PlaceRefusal(place, Folder, File));
    return false;
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
        const AnsiString value =
            archive::ReadMapEntry(Form->CurrentTreeFile, link ? archive::SectionUrl : archive::SectionFlash, title);
        if (!link && !StoredFileInside(title, "FILES\\FLASH", value))
            return;
        Form->LastFileEntry = value;
        Form->OpenedTitle = title;
        Form->SetCaption(caption);
        target = link ? Form->LastFileEntry : archive::AppPath("FILES\\FLASH\\" + Form->LastFileEntry);
        Form->Web->Navigate(target);
    } else {
        const AnsiString openedBefore = Form->OpenedTitle, entryBefore = Form->LastFileEntry;
        const AnsiString file = ReadFileEntry(Form, title);
        if (!StoredFileInside(title, "FILES\\", file)) {
            Form->OpenedTitle = openedBefore;
            Form->LastFileEntry = entryBefore;
            return;
        }
        if (!FromResults) {
            Form->N74->SetEnabled(true);
            Form->N81->SetEnabled(true);
            Form->SkipHistoryOnce = false;
        }
        Form->SetCaption(caption);
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

AnsiString PageCaption(TID_Vellorn* Form)
{
    return ShownTreeName(Form) + " -" + Form->OpenedTitle + " (" + Form->Web->LocationName() + ")" + "-VLN";
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
