// Notes: a plain-text note per entry and tree, FILES\text\<title>_<tree>.txt (the archive names,
// writes and removes them), shown and edited in the note panel below the browser view. The panel
// and its bar act on the entry opened last; the main menu's commands on the selected entry and the
// tree pop-up's on the entry the pop-up was opened on, each opened first.
#include "MainBrowse.h"
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "Clipbrd.h"
#include "MainTreeMap.h"

#include <algorithm>

namespace {

// The note file of the entry opened last; false when there is none to act on. No entry opened
// yet is silently nothing; a title that cannot name a note file is refused with the reason.
bool OpenedNotePath(TID_Vellorn* Form, AnsiString& Path)
{
    if (!Session(Form).OpenedNode)
        return false;
    AnsiString reason;
    if (Archive(Form).NotePath(Form->OpenedTitle, Path, &reason))
        return true;
    Notify("Примечание для этой статьи сохранить нельзя: " + reason + ".");
    return false;
}

// The removal question; true for "Да".
bool RemovalConfirmed()
{
    return Application->MessageBox("Вы действительно хотите убрать примечание с этой статьи\n"
                                   "Востановить его будет не возможно",
                                   "Внимание!!!", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

// The entry the main menu's note commands act on: the selected one of the page shown (a search
// result stands for its entry); null for none or a folder.
TTreeNode* SelectedEntry(TID_Vellorn* Form)
{
    TTreeNode* node = nullptr;
    if (Form->PageControl1->ActivePageIndex() == 1) {
        if (const TTreeNode* result = Form->TreeView2->Selected())
            node = Archive(Form).FindEntry(result->Text());
    } else {
        node = Form->TreeView1->Selected();
    }
    return node && !IsFolder(node) ? node : nullptr;
}

// The entry of a note command: the pop-up's items act on the pop-up's entry, the main menu's on
// the selected one.
TTreeNode* CommandEntry(TID_Vellorn* Form, TObject* Sender)
{
    const auto* item = dynamic_cast<const TMenuItem*>(Sender);
    if (item && item->Parent() == Form->N81) {
        TTreeNode* node = Session(Form).PopupNode;
        return node && !IsFolder(node) ? node : nullptr;
    }
    return SelectedEntry(Form);
}

// The entry opened as Enter opens it, unless it is open already; false when it stays unopened
// (the question about a typed note answered "Отмена", a file that cannot be opened).
bool OpenCommandEntry(TID_Vellorn* Form, TObject* Sender)
{
    TTreeNode* node = CommandEntry(Form, Sender);
    if (!node)
        return false;
    if (node != Session(Form).OpenedNode)
        OpenEntry(Form, node);
    return node == Session(Form).OpenedNode;
}

// What the note commands of an entry may do.
struct TNoteCommands {
    bool Entry = false, Add = false, Remove = false, Save = false;
};

TNoteCommands NoteCommandsFor(TID_Vellorn* Form, const TTreeNode* Node)
{
    TNoteCommands c;
    if (!Node || IsFolder(Node))
        return c;
    const TMainSession& s = Session(Form);
    const bool opened = Node == s.OpenedNode;
    AnsiString path;
    c.Entry = true;
    c.Add = Archive(Form).NotePath(Node->Text(), path) && !(opened && s.NoteRefused);
    c.Remove = c.Add && FileExists(path);
    c.Save = c.Add && opened && (Form->Panel5->Visible() || Form->Memo1->Modified());
    return c;
}

} // namespace

void EnableNoteCommands(TID_Vellorn* Form)
{
    const TMainSession& s = Session(Form);
    const auto apply = [](const TNoteCommands& c, TMenuItem* Menu, TMenuItem* Add, TMenuItem* Remove,
                          TMenuItem* Save, TMenuItem* Load) {
        Menu->SetEnabled(c.Entry);
        Add->SetEnabled(c.Add);
        Remove->SetEnabled(c.Remove);
        Save->SetEnabled(c.Save);
        Load->SetEnabled(c.Add);
    };
    apply(NoteCommandsFor(Form, SelectedEntry(Form)), Form->N74, Form->N75, Form->N76, Form->N78, Form->N79);
    apply(NoteCommandsFor(Form, s.PopupNode), Form->N81, Form->N82, Form->N83, Form->N85, Form->N86);
    const TNoteCommands panel = NoteCommandsFor(Form, s.OpenedNode);
    Form->ToolButton17->SetEnabled(panel.Save);
    Form->ToolButton19->SetEnabled(panel.Add);
    Form->ToolButton20->SetEnabled(panel.Remove);
}

void WriteTypedNote(TID_Vellorn* Form)
{
    AnsiString path;
    if (Session(Form).NoteRefused || !OpenedNotePath(Form, path))
        return;
    // Each line of the memo followed by a line break (CP1251 text), replaced safely; the memo's text
    // is taken once and cut into its lines as the memo cuts it.
    TStringList lines;
    lines.SetText(Form->Memo1->Text());
    const AnsiString text = lines.Text();
    if (static_cast<Int64>(text.size()) > MaxNoteBytes)
        throw ENoteTooLarge("Примечание занимает больше 1 МБ.");
    Archive(Form).WriteNote(Form->OpenedTitle, text);
    Form->Memo1->SetModified(false);
    EnableNoteCommands(Form);
}

bool KeepTypedNote(TID_Vellorn* Form)
{
    // Also while the panel is hidden (the back and forward buttons hide it): the text is still there.
    AnsiString path;
    if (!Form->Memo1->Modified() || Session(Form).NoteRefused || !Session(Form).OpenedNode ||
        !Archive(Form).NotePath(Form->OpenedTitle, path))
        return true;
    switch (Application->MessageBox("Примечание не сохранено.\nСохранить его?", "Внимание!!!",
                                    MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        WriteTypedNote(Form);
        return true;
    case IDNO:
        Form->Memo1->SetModified(false);
        return true;
    default:
        return false;
    }
}

AnsiString ReadNoteText(const AnsiString& Path, TStrings& Lines)
{
    Lines.Clear();
    TSearchRec rec;
    if (FindFirst(Path, faAnyFile & ~faDirectory, rec) == 0) {
        const Int64 size = rec.Size;
        FindClose(rec);
        if (size > MaxNoteBytes)
            return "Файл \"" + Path + "\" занимает " + IntToStr((size + MaxNoteBytes - 1) / MaxNoteBytes) +
                   " МБ: примечание может занимать не больше 1 МБ.";
    }
    AnsiString reason;
    try {
        Lines.LoadFromFile(Path);
        const AnsiString text = Lines.Text();
        const std::size_t shown = LaidOutLength(text);
        if (shown == text.size())
            return "";
        Lines.SetText(text.substr(0, shown));
        return "В файле \"" + Path + "\" слишком длинные строки: поле примечания показывает из него только первые " +
               IntToStr(static_cast<Int64>(shown / 1024)) + " КБ из " + IntToStr(static_cast<Int64>(text.size() / 1024)) +
               " КБ.";
    } catch (Exception& e) {
        reason = archive::FailureReason(e);
    } catch (std::bad_alloc&) {
        reason = ErrorReasonText(ERROR_NOT_ENOUGH_MEMORY);
    }
    Lines.Clear();
    return "Не удалось прочитать файл \"" + Path + "\": " + reason;
}

void ShowNotePanel(TID_Vellorn* Form, bool Show)
{
    if (!Show) {
        Form->Panel5->Hide();
        Form->Splitter3->Hide();
    } else {
        Form->Panel5->Show();
        // Bottom-aligned controls stack by their tops: the splitter goes just above the panel.
        Form->Splitter3->SetTop(Form->Panel5->Top() - Form->Splitter3->Height());
        Form->Splitter3->Show();
    }
    EnableNoteCommands(Form);
}

void TID_Vellorn::N75Click(TObject* Sender)
{
    // Written for the entry of the command (opened first): none, one whose note could not be kept,
    // or one whose note file was refused when shown, shows nothing.
    AnsiString path;
    if (!OpenCommandEntry(this, Sender) || Session(this).NoteRefused || !OpenedNotePath(this, path))
        return;
    Panel5->SetHeight(300);
    ShowNotePanel(this, true);
    EnableNoteCommands(this);
    if (Memo1->CanFocus())
        Memo1->SetFocus();
}

void TID_Vellorn::N82Click(TObject* Sender) { N75Click(Sender); }

void TID_Vellorn::ToolButton17Click(TObject*)
{
    try {
        WriteTypedNote(this);
    } catch (const ENoteTooLarge&) {
        Notify("Примечание не сохранено: оно занимает больше 1 МБ.");
    }
}

void TID_Vellorn::Memo1Change(TObject*)
{
    // A note typed (not one shown for an entry) can be saved.
    if (Memo1->Modified())
        EnableNoteCommands(this);
}

// The save commands save the panel's note, which is the opened entry's: the pop-up's only when it
// was opened on that entry.
void TID_Vellorn::N78Click(TObject* Sender)
{
    if (CommandEntry(this, Sender) == Session(this).OpenedNode)
        ToolButton17Click(Sender);
}
void TID_Vellorn::N85Click(TObject* Sender) { N78Click(Sender); }

void TID_Vellorn::sToolBar2Enter(TObject*)
{
    // The bar taken by Tab starts on "Сохранить примечание", not on its caption "Примечание:"; the
    // bar's window marks its first item when it takes the focus, so this comes after.
    PostMessageA(sToolBar2->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(sToolBar2->IndexOfItem(ToolButton17)), 0);
}

void TID_Vellorn::ToolButton19Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path) || Session(this).NoteRefused || !OpenDialog4->Execute() || !KeepTypedNote(this))
        return;
    TStringList text;
    const AnsiString refusal = ReadNoteText(OpenDialog4->FileName, text);
    if (!refusal.empty()) {
        Notify("Текст не загружен в примечание.\n" + refusal);
        return;
    }
    Memo1->Lines()->SetText(text.Text());
    // Text taken from a file is a change of the note, not yet saved.
    Memo1->SetModified(true);
    ShowNotePanel(this, true);
    EnableNoteCommands(this);
}

void TID_Vellorn::N79Click(TObject* Sender)
{
    if (OpenCommandEntry(this, Sender))
        ToolButton19Click(Sender);
}
void TID_Vellorn::N86Click(TObject* Sender) { N79Click(Sender); }

void TID_Vellorn::ToolButton20Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path) || !RemovalConfirmed())
        return;
    // A note that is not there any more is removed all the same: only the panel goes.
    if (!Archive(this).RemoveNote(OpenedTitle))
        return;
    Memo1->SetModified(false);
    ShowNotePanel(this, false);
    EnableNoteCommands(this);
}

// The entry of the command loses its note; the panel goes with it when it is the opened entry's.
void TID_Vellorn::N76Click(TObject* Sender)
{
    TTreeNode* node = CommandEntry(this, Sender);
    if (!node)
        return;
    if (node == Session(this).OpenedNode) {
        ToolButton20Click(Sender);
        return;
    }
    AnsiString path, reason;
    if (!Archive(this).NotePath(node->Text(), path, &reason))
        Notify("Примечание для этой статьи сохранить нельзя: " + reason + ".");
    else if (RemovalConfirmed())
        Archive(this).RemoveNote(node->Text());
    EnableNoteCommands(this);
}
void TID_Vellorn::N83Click(TObject* Sender) { N76Click(Sender); }
