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

} // namespace

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
    ToolButton20->SetEnabled(true);
}

void TID_Vellorn::N78Click(TObject* Sender) { ToolButton17Click(Sender); }
void TID_Vellorn::N85Click(TObject* Sender) { ToolButton17Click(Sender); }

void TID_Vellorn::ToolButton19Click(TObject*)
{
    if (!OpenDialog4->Execute())
        return;
    Memo1->Lines()->LoadFromFile(OpenDialog4->FileName);
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
    ShowNotePanel(this, false);
}

void TID_Vellorn::N76Click(TObject* Sender) { ToolButton20Click(Sender); }
void TID_Vellorn::N83Click(TObject* Sender) { ToolButton20Click(Sender); }
