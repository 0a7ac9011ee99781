// Notes: a plain-text note per entry and tree, FILES\text\<title>_<tree>.txt, shown and edited in
// the note panel below the browser view. The panel, its bar and the main menu's commands act on the
// entry opened last; the tree pop-up's commands on the entry the pop-up was opened on. A note
// follows its entry's rename and goes with its delete.
#include "MainBrowse.h"
#include "MainSession.h"

#include <cstring>

#include "ArchiveFiles.h"
#include "MainSession.h"
#include "MainTreeMap.h"

namespace {

// The longest file name the file systems take.
constexpr std::size_t MaxNoteNameLength = 255;

// Why an entry can have no note (its title too long for a file name, or a tree name that is no
// file name).
void RefuseNote()
{
    Notify("Примечание для этой статьи сохранить нельзя: её название (или название дерева) не может "
           "быть именем файла.");
}

// The note file of the entry opened last; false when there is none to act on. No entry opened
// yet is silently nothing; a title that cannot name a note file is refused with a message.
bool OpenedNotePath(TID_Vellorn* Form, AnsiString& Path)
{
    if (Form->OpenedTitle.empty())
        return false;
    if (NoteFilePath(Form->OpenedTitle, Form->TreeName, Path))
        return true;
    RefuseNote();
    return false;
}

// The note panel's save commands: the menus' "Сохранить" and the panel's button.
void EnableNoteSave(TID_Vellorn* Form, bool Value)
{
    for (TMenuItem* item : {Form->N78, Form->N85})
        item->SetEnabled(Value);
    Form->ToolButton17->SetEnabled(Value);
}

// Whether the entry opened last can have a note (the panel's commands act on it): never one whose
// note could not be shown, which a save would overwrite unseen.
bool CanHaveNote(TID_Vellorn* Form)
{
    AnsiString path;
    return !Session(Form).NoteRefused && NoteFilePath(Form->OpenedTitle, Form->TreeName, path);
}

// The removal question; true for "Да".
bool RemovalConfirmed()
{
    return Application->MessageBox("Вы действительно хотите убрать примечание с этой статьи\n"
                                   "Востановить его будет не возможно",
                                   "Внимание!!!", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

// The entry the tree's pop-up menu was opened on (null when it has gone since), and whether it is
// the entry opened last, whose note the panel holds.
TTreeNode* PopupEntry(TID_Vellorn* Form)
{
    TTreeNode* node = Session(Form).PopupNode;
    return node && !IsFolder(node) ? node : nullptr;
}
bool IsOpened(TID_Vellorn* Form, const TTreeNode* Node)
{
    return !Form->OpenedTitle.empty() && Node->Text() == Form->OpenedTitle;
}

// The pop-up's entry opened as Enter opens it, unless it is open already; false when it stays
// unopened (the question about a typed note answered "Отмена").
bool OpenPopupEntry(TID_Vellorn* Form)
{
    TTreeNode* node = PopupEntry(Form);
    if (!node)
        return false;
    if (!IsOpened(Form, node))
        OpenEntry(Form, node);
    return IsOpened(Form, node);
}

// Why the note file From may not be moved over To, by the program's rule for the files it replaces
// (0 when it may): a change of the title's letter case only renames the file itself.
DWORD NoteMoveRefusal(const AnsiString& From, const AnsiString& To)
{
    return AnsiSameText(From, To) ? 0 : ReplaceRefusal(To);
}

AnsiString NoteMoveFailure(const AnsiString& From, const AnsiString& To, DWORD Error)
{
    return "Не удалось переименовать примечание \"" + From + "\" в \"" + To + "\": " + ErrorReasonText(Error);
}

// Removes the note file; false, the user told why, when it stays (a note already gone counts as
// removed). A note left behind would come back under the next entry of the same title.
bool RemoveNoteFile(const AnsiString& Path)
{
    const DWORD error = DeleteFileWhenFree(Path);
    if (!error || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return true;
    Notify("Не удалось удалить примечание \"" + Path + "\": " + ErrorReasonText(error));
    return false;
}

} // namespace

void EnablePopupNotes(TID_Vellorn* Form, const TTreeNode* Node)
{
    AnsiString path;
    const bool entry = Node && !IsFolder(Node);
    const bool named = entry && NoteFilePath(Node->Text(), Form->TreeName, path);
    const bool opened = entry && IsOpened(Form, Node);
    Form->N81->SetEnabled(entry);
    Form->N82->SetEnabled(named);
    Form->N86->SetEnabled(named);
    Form->N83->SetEnabled(named && FileExists(path));
    Form->N85->SetEnabled(named && opened && (Form->Panel5->Visible() || Form->Memo1->Modified()));
}

bool NoteCanFollow(TID_Vellorn* Form, const AnsiString& Old, const AnsiString& New)
{
    AnsiString from, to;
    if (!NoteFilePath(Old, Form->TreeName, from))
        return true;
    if (NoteFilePath(New, Form->TreeName, to)) {
        const DWORD refusal = from != to && FileExists(from) ? NoteMoveRefusal(from, to) : 0;
        if (refusal)
            Notify(NoteMoveFailure(from, to, refusal));
        return refusal == 0;
    }
    const bool typed = Old == Form->OpenedTitle && Form->Memo1->Modified();
    if (!typed && !FileExists(from))
        return true;
    RefuseNote();
    return false;
}

void MoveNote(TID_Vellorn* Form, const AnsiString& Old, const AnsiString& New)
{
    AnsiString from, to;
    if (NoteFilePath(Old, Form->TreeName, from) && NoteFilePath(New, Form->TreeName, to) && from != to &&
        FileExists(from)) {
        DWORD error = NoteMoveRefusal(from, to);
        if (!error)
            error = MoveFileWhenFree(from, to, MOVEFILE_REPLACE_EXISTING);
        if (error)
            throw Exception(NoteMoveFailure(from, to, error));
    }
    if (Old == Form->OpenedTitle)
        Form->OpenedTitle = New;
}

void DropNote(TID_Vellorn* Form, const AnsiString& Title)
{
    AnsiString path;
    if (NoteFilePath(Title, Form->TreeName, path))
        RemoveNoteFile(path);
    if (Title != Form->OpenedTitle)
        return;
    // The entry open in the browser view is gone: nothing is open for the note commands any more.
    Form->OpenedTitle = "";
    Form->Memo1->Lines()->Clear();
    Form->Memo1->SetModified(false);
    ShowNotePanel(Form, false);
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
    SafeWriteFileBytes(path, text);
    Form->Memo1->SetModified(false);
    // The note is there now: it can be removed from the panel and from both menus.
    for (TMenuItem* item : {Form->N76, Form->N83})
        item->SetEnabled(true);
    Form->ToolButton20->SetEnabled(true);
}

bool KeepTypedNote(TID_Vellorn* Form)
{
    // Also while the panel is hidden (the back and forward buttons hide it): the text is still there.
    if (!Form->Memo1->Modified() || !CanHaveNote(Form))
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

bool NoteFilePath(const AnsiString& Title, const AnsiString& TreeName, AnsiString& Path)
{
    Path.clear();
    if (Title.empty())
        return false;
    // The tree's name comes from a tree file's name; one that could not be a file name is refused.
    for (const char c : TreeName)
        if (static_cast<unsigned char>(c) < ' ' || std::strchr("\\/:*?\"<>|", c))
            return false;
    const AnsiString name = archive::NoteName(Title) + "_" + TreeName + ".txt";
    const AnsiString path = archive::AppPath("FILES\\text\\" + name);
    if (name.size() > MaxNoteNameLength || path.size() >= MAX_PATH)
        return false;
    Path = path;
    return true;
}

std::size_t ShownNoteLength(const AnsiString& Text)
{
    // The edit control wraps a line row by row, measuring the rest of the line again for each
    // row: a line of L characters costs about L + L * L / (2 * row) units, with a row of 40
    // characters (a narrow panel). Line breaks cost a unit each.
    constexpr Int64 row = 40;
    Int64 weight = 0;
    std::size_t i = 0;
    while (i < Text.size()) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (++weight > MaxNoteLayoutWeight)
                return i;
            ++i;
            continue;
        }
        const std::size_t start = i;
        const Int64 before = weight;
        for (; i < Text.size() && Text[i] != '\r' && Text[i] != '\n'; ++i) {
            const Int64 length = static_cast<Int64>(i - start + 1);
            weight = before + length + length * length / (2 * row);
            if (weight > MaxNoteLayoutWeight)
                return i;
        }
    }
    return Text.size();
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
        const std::size_t shown = ShownNoteLength(text);
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
        return;
    }
    Form->Panel5->Show();
    // Bottom-aligned controls stack by their tops: the splitter goes just above the panel.
    Form->Splitter3->SetTop(Form->Panel5->Top() - Form->Splitter3->Height());
    Form->Splitter3->Show();
}

void TID_Vellorn::N75Click(TObject*)
{
    // Written for the entry opened last: none, one whose note could not be kept, or one whose
    // note file was refused when shown, shows nothing.
    AnsiString path;
    if (Session(this).NoteRefused || !OpenedNotePath(this, path))
        return;
    Panel5->SetHeight(300);
    ShowNotePanel(this, true);
    // Shown for writing: the note can be saved from the menu and the panel at once.
    EnableNoteSave(this, true);
    if (Memo1->CanFocus())
        Memo1->SetFocus();
}

void TID_Vellorn::N82Click(TObject* Sender)
{
    if (OpenPopupEntry(this))
        N75Click(Sender);
}

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
    if (Memo1->Modified() && CanHaveNote(this))
        EnableNoteSave(this, true);
}

void TID_Vellorn::N78Click(TObject* Sender) { ToolButton17Click(Sender); }
// The panel holds the note of the entry opened last: the pop-up saves it for that entry only.
void TID_Vellorn::N85Click(TObject* Sender)
{
    if (TTreeNode* node = PopupEntry(this); node && IsOpened(this, node))
        ToolButton17Click(Sender);
}

void TID_Vellorn::sToolBar2Enter(TObject*)
{
    // The bar taken by Tab starts on "Сохранить примечание", not on its caption "Примечание:"; the
    // bar's window marks its first item when it takes the focus, so this comes after.
    PostMessageA(sToolBar2->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(sToolBar2->IndexOfItem(ToolButton17)), 0);
}

void TID_Vellorn::ToolButton19Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path) || !OpenDialog4->Execute() || !KeepTypedNote(this))
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
    Memo1Change(Memo1);
    ShowNotePanel(this, true);
}

void TID_Vellorn::N79Click(TObject* Sender) { ToolButton19Click(Sender); }
void TID_Vellorn::N86Click(TObject* Sender)
{
    if (OpenPopupEntry(this))
        ToolButton19Click(Sender);
}

void TID_Vellorn::ToolButton20Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path) || !RemovalConfirmed())
        return;
    // A note that is not there any more is removed all the same: only the panel goes.
    if (!RemoveNoteFile(path))
        return;
    Memo1->SetModified(false);
    ShowNotePanel(this, false);
}

void TID_Vellorn::N76Click(TObject* Sender) { ToolButton20Click(Sender); }
// The pop-up's entry loses its note; the panel goes with it when it is the opened entry's.
void TID_Vellorn::N83Click(TObject* Sender)
{
    TTreeNode* node = PopupEntry(this);
    if (!node)
        return;
    if (IsOpened(this, node)) {
        ToolButton20Click(Sender);
        return;
    }
    AnsiString path;
    if (!NoteFilePath(node->Text(), TreeName, path))
        RefuseNote();
    else if (RemovalConfirmed())
        RemoveNoteFile(path);
}
