// Notes: a plain-text note per entry and tree, FILES\text\<title>_<tree>.txt, shown and edited in
// the note panel below the browser view. Saving and removing act on the entry opened last.
#include "MainBrowse.h"

#include "ArchiveFiles.h"
#include "MainTreeMap.h"

namespace {

// The note file of the entry opened last; false when there is none to act on. No entry opened
// yet is silently nothing; a title that cannot name a note file is refused with a message.
bool OpenedNotePath(TID_Vellorn* Form, AnsiString& Path)
{
    if (Form->OpenedTitle.empty())
        return false;
    if (NoteFilePath(Form->OpenedTitle, Form->TreeName, Path))
        return true;
    Notify("Примечание недоступно: название статьи или дерева содержит знаки, недопустимые в имени "
           "файла (\\ / : * ? \" < > |).");
    return false;
}

// The note panel's save commands: the menus' "Сохранить" and the panel's button.
void EnableNoteSave(TID_Vellorn* Form, bool Value)
{
    for (TMenuItem* item : {Form->N78, Form->N85})
        item->SetEnabled(Value);
    Form->ToolButton17->SetEnabled(Value);
}

// Whether the entry opened last can have a note (the panel's commands act on it).
bool CanHaveNote(TID_Vellorn* Form)
{
    AnsiString path;
    return NoteFilePath(Form->OpenedTitle, Form->TreeName, path);
}

} // namespace

bool KeepTypedNote(TID_Vellorn* Form)
{
    // Also while the panel is hidden (the back and forward buttons hide it): the text is still there.
    if (!Form->Memo1->Modified() || !CanHaveNote(Form))
        return true;
    switch (Application->MessageBox("Примечание не сохранено.\nСохранить его?", "Внимание!!!",
                                    MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        Form->ToolButton17Click(Form->ToolButton17);
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
    const AnsiString name = Title + "_" + TreeName + ".txt";
    if (Title.empty())
        return false;
    for (unsigned char c : name)
        if (c < ' ' || AnsiString("\\/:*?\"<>|").find(char(c)) != AnsiString::npos)
            return false;
    Path = archive::AppPath("FILES\\text\\" + name);
    return true;
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
    Panel5->SetHeight(300);
    ShowNotePanel(this, true);
    // Shown for writing: the note can be saved from the menu and the panel at once.
    if (CanHaveNote(this))
        EnableNoteSave(this, true);
    if (Memo1->CanFocus())
        Memo1->SetFocus();
}

void TID_Vellorn::N82Click(TObject* Sender) { N75Click(Sender); }

void TID_Vellorn::ToolButton17Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path))
        return;
    // Each line of the memo followed by a line break (CP1251 text), replaced safely.
    AnsiString text;
    for (int i = 0; i < Memo1->Lines()->Count(); ++i)
        text += Memo1->Lines()->Strings(i) + "\r\n";
    SafeWriteFileBytes(path, text);
    Memo1->SetModified(false);
    // The note is there now: it can be removed from the panel and from both menus.
    for (TMenuItem* item : {N76, N83})
        item->SetEnabled(true);
    ToolButton20->SetEnabled(true);
}

void TID_Vellorn::Memo1Change(TObject*)
{
    // A note typed (not one shown for an entry) can be saved.
    if (Memo1->Modified() && CanHaveNote(this))
        EnableNoteSave(this, true);
}

void TID_Vellorn::N78Click(TObject* Sender) { ToolButton17Click(Sender); }
void TID_Vellorn::N85Click(TObject* Sender) { ToolButton17Click(Sender); }

void TID_Vellorn::sToolBar2Enter(TObject*)
{
    // The bar taken by Tab starts on "Сохранить примечание", not on its caption "Примечание:"; the
    // bar's window marks its first item when it takes the focus, so this comes after.
    PostMessageA(sToolBar2->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(sToolBar2->IndexOfItem(ToolButton17)), 0);
}

void TID_Vellorn::ToolButton19Click(TObject*)
{
    if (!OpenDialog4->Execute())
        return;
    Memo1->Lines()->LoadFromFile(OpenDialog4->FileName);
    // Text taken from a file is a change of the note, not yet saved.
    Memo1->SetModified(true);
    Memo1Change(Memo1);
    ShowNotePanel(this, true);
}

void TID_Vellorn::N79Click(TObject* Sender) { ToolButton19Click(Sender); }
void TID_Vellorn::N86Click(TObject* Sender) { ToolButton19Click(Sender); }

void TID_Vellorn::ToolButton20Click(TObject*)
{
    AnsiString path;
    if (!OpenedNotePath(this, path))
        return;
    if (Application->MessageBox("Вы действительно хотите убрать примечание с этой статьи\nВостановить его будет не возможно",
                                "Внимание!!!", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    // A note that is not there any more is removed all the same: only the panel goes.
    DeleteFile(path);
    Memo1->SetModified(false);
    ShowNotePanel(this, false);
}

void TID_Vellorn::N76Click(TObject* Sender) { ToolButton20Click(Sender); }
void TID_Vellorn::N83Click(TObject* Sender) { ToolButton20Click(Sender); }
