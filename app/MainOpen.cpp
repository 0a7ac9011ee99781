// Opening an entry of the article tree: double click or Enter shows the link, the Flash movie or
// the article in the browser view, with its note, caption and address.
#include "MainBrowse.h"
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainTreeMap.h"

namespace {

// Shows the note of the entry when it has one. A note that cannot be shown (too large, unreadable)
// is named with the reason; the panel then shows and writes nothing for this entry. A note the
// panel cannot lay out in time is shown as far as it can be, read-only, with the reason.
void ShowNoteOf(TID_Vellorn* Form, const AnsiString& Title)
{
    TMainSession& s = Session(Form);
    s.NoteRefused = false;
    Form->Memo1->SetReadOnly(false);
    AnsiString path, refusal, text;
    const bool shown = Archive(Form).NotePath(Title, path) && FileExists(path);
    if (shown) {
        TStringList lines;
        refusal = ReadNoteText(path, lines);
        text = lines.Text();
    }
    // The text goes in once the panel has its size, so that the edit control lays it out once; the
    // whole text at once, as the edit takes it: the caret stays at its start.
    Form->Memo1->Lines()->Clear();
    if (!refusal.empty()) {
        s.NoteRefused = true;
        Form->Memo1->SetReadOnly(true);
    }
    ShowNotePanel(Form, shown && (refusal.empty() || !text.empty()));
    if (!text.empty())
        Form->Memo1->Lines()->SetText(text);
    Form->Memo1->SetModified(false);
    if (!refusal.empty())
        Notify("Примечание к \"" + Title +
               (text.empty() ? "\" не показано.\n" : "\" показано не полностью, только для чтения.\n") + refusal);
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
    // A search result stands for the entry of its title (none when that entry has gone).
    TTreeNode* entry = FromResults ? Archive(Form).FindEntry(Node->Text()) : Node;
    if (!entry || entry->ImageIndex() != Node->ImageIndex())
        return;
    const Integer image = entry->ImageIndex();
    if (image != niLink && image != niFlash && !IsArticle(entry))
        return;
    if (!KeepTypedNote(Form))
        return;
    const AnsiString title = entry->Text();
    const AnsiString value = Archive(Form).Value(entry);
    const AnsiString caption = FromResults ? "Vellorn - " + title : ShownTreeName(Form) + " - " + title + " -VLN";
    AnsiString target;
    if (image == niLink) {
        target = value;
    } else if (image == niFlash) {
        if (!StoredFileInside(title, "FILES\\FLASH", value))
            return;
        target = archive::AppPath("FILES\\FLASH\\" + value);
    } else {
        if (!StoredFileInside(title, "FILES\\", value))
            return;
        if (!FromResults)
            Form->SkipHistoryOnce = false;
        target = archive::AppPath("FILES\\" + value);
    }
    Form->LastFileEntry = value;
    Form->OpenedTitle = title;
    Session(Form).OpenedNode = entry;
    Form->SetCaption(caption);
    if (IsArticle(entry)) {
        const bool found = !value.empty() && FileExists(target);
        if (!found && !FromResults)
            Session(Form).MissingPage = target;
        Form->Web->Navigate(found || FromResults ? target : AnsiString("about:blank"));
    } else {
        Form->Web->Navigate(target);
    }
    ShowNoteOf(Form, title);
    Form->ComboBox1->SetText(target);
    if (!target.empty())
        RememberAddress(Form, target);
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
