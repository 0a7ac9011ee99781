// The program's close: one routine that every way to close goes through (the close box, Alt+F4,
// "Файл" > "Выход", the tray's "Закрыть", the end of the session), which leaves nothing the user
// did behind, and records when it has finished so that the process may end at once.
#include "MainSession.h"

#include <functional>
#include <initializer_list>

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainTreeMap.h"
#include "Settings.h"
#include "TreeFile.h"

#include "Form16.h"
#include "Form8.h"

namespace {

// Ends an in-place rename of the tree as Enter ends it. Its own checks may refuse the title (they
// say why and keep the old one): false then.
bool CommitRename(TID_Vellorn* Form)
{
    TsTreeView* tree = Form->TreeView1;
    if (!tree->HandleAllocated() || !tree->IsEditing())
        return true;
    TTreeNode* node = tree->Selected();
    HWND edit = reinterpret_cast<HWND>(tree->Perform(TVM_GETEDITCONTROL, 0, 0));
    AnsiString typed(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    typed.resize(static_cast<std::size_t>(GetWindowTextA(edit, typed.data(), static_cast<int>(typed.size()))));
    tree->Perform(TVM_ENDEDITLABELNOW, FALSE, 0);
    // An empty title ends the rename as Esc does; a title taken is the one the archive keeps (its
    // blanks at both ends dropped).
    const AnsiString title = TArchive::CleanTitle(typed);
    return title.empty() || !node || node->Text() == title;
}

// A modal dialog open at the close is cancelled: the skin chooser gives back the skin shown at its
// opening (so that the skin written is the one last accepted), any other form of the program
// answers "Отмена". A dialog of the system (a file or font dialog), which the program cannot
// cancel, comes to the front and the close stops; at the session end the close goes on.
bool EndModalDialogs(TID_Vellorn* Form, TCloseMode Mode)
{
    bool modal = false;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* dialog = Screen->Forms(i);
        if (!dialog->FormState().Contains(fsModal))
            continue;
        modal = true;
        if (dialog == Form16) {
            Form16->Cancel();
            ShowWantedSkin(Form);
        }
        dialog->SetModalResult(mrCancel);
    }
    // The main window disabled with no form of the program shown modally: the system's dialog.
    if (Mode == TCloseMode::Asking && !modal && Form->HandleAllocated() && !IsWindowEnabled(Form->Handle())) {
        SetForegroundWindow(GetLastActivePopup(Form->Handle()));
        return false;
    }
    return true;
}

// The page editor's question about text not written into a page ("Нет" keeps the editor open and
// stops the close); never asked at the session end.
bool AskEditor(TCloseMode Mode)
{
    return Mode == TCloseMode::SessionEnd || !Form8 || !Form8->Visible() || Form8->CloseQuery();
}

// What the editor's own close keeps, once every question is answered: its settings. The window
// stays until the process ends, so that a close stopped later leaves it as it was.
void KeepEditorSettings()
{
    if (Form8 && Form8->Visible())
        Form8->WriteSettings();
}

// Replaces a file at close; a failure is named with its reason, and the user closes without the
// file or stays (never at the session end). Answers whether the close goes on.
bool SaveAtClose(TCloseMode Mode, const AnsiString& Path, const std::function<void()>& Write)
{
    AnsiString reason;
    return archive::TryReplaceOwnFile(Path, Write, reason) || Mode == TCloseMode::SessionEnd ||
           Application->MessageBox("Не удалось сохранить файл \"" + Path + "\": " + reason +
                                       "\n\nЗакрыть программу без сохранения этого файла?",
                                   "Внимание!!!", MB_YESNO | MB_ICONWARNING) == IDYES;
}

// The typed note's question; a note that cannot be written (or is over the bound) gets the close's
// question about a file it cannot write. At the session end a typed note is written when it can be,
// unasked.
bool KeepNoteAtClose(TID_Vellorn* Form, TCloseMode Mode)
{
    AnsiString path;
    if (!Form->Memo1->Modified() || !Session(Form).OpenedNode || !Archive(Form).NotePath(Form->OpenedTitle, path))
        return true;
    if (Mode == TCloseMode::SessionEnd) {
        AnsiString reason;
        archive::TryReplaceOwnFile(path, [&] { WriteTypedNote(Form); }, reason);
        return true;
    }
    bool stays = false;
    return SaveAtClose(Mode, path, [&] { stays = !KeepTypedNote(Form); }) && !stays;
}

// Writes what the tree file lacks at close (every change was written as it was made; a write that
// failed is tried again). A file that cannot be replaced is named with the reason, and the user
// chooses: another file ("Сохранить дерево": the tree with its map and notes, which the window works
// on from then on, and which form.ini names for the next start), the close without the tree, or
// staying. At the session end the close goes on without it. Answers whether the close goes on.
bool SaveTreeAtClose(TID_Vellorn* Form, TCloseMode Mode)
{
    TArchive& tree = Archive(Form);
    const AnsiString path = tree.TreePath();
    AnsiString reason;
    if (path.empty() || archive::TryReplaceOwnFile(path, [&] { tree.Flush(); }, reason) ||
        Mode == TCloseMode::SessionEnd)
        return true;
    for (;;) {
        const int answer = Application->MessageBox(
            TreeSaveFailure(path, reason) +
                "\n\nСохранить дерево в другой файл?\n«Да» — выбрать файл, «Нет» — закрыть программу без "
                "сохранения дерева, «Отмена» — вернуться в программу.",
            "Внимание!!!", MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDNO)
            return true;
        if (answer != IDYES)
            return false;
        const AnsiString file = SaveTreeChosen(Form);
        if (file.empty())
            continue;
        try {
            LoadTree(Form, file);
        } catch (Exception&) {
            // Saved, but not taken as the window's tree: form.ini goes on naming the tree it had.
        }
        return true;
    }
}

// form.ini, the first copy's: a copy started beside it leaves its values alone.
bool SaveFormSettings(TID_Vellorn* Form, TCloseMode Mode)
{
    TMainSession& s = Session(Form);
    if (!s.FirstCopy)
        return true;
    settings::TFormCloseSettings v;
    v.NameTree = s.WorkingTreeName;
    const TRect bounds = NormalBounds(Form);
    v.Width = bounds.right - bounds.left;
    v.Height = bounds.bottom - bounds.top;
    v.Top = bounds.top;
    v.Left = bounds.left;
    // The chooser, cancelled before, has given back the skin it opened on.
    v.Skin = Form->sSkinManager1->SkinName();
    v.VisibleTool1 = Form->ToolBar1->Visible();
    v.VisibleTool2 = Form->ToolBar2->Visible();
    v.VisibleTree = Form->Panel2->Visible();
    v.PanelWidth = Form->TreePanelWidth;
    v.NewArticleCount = Form->ArticleCount;
    // The tree the window works on unless it is the working tree: the next start opens it.
    const AnsiString tree = Archive(Form).TreePath();
    v.SavedTreeFile = TArchive::IsWorkingTree(tree) ? AnsiString() : tree;
    return SaveAtClose(Mode, archive::AppPath("FILES\\form.ini"), [&] { settings::WriteFormSettings(v); });
}

// The files the program keeps: the tree, form.ini, the address list.
bool SaveFiles(TID_Vellorn* Form, TCloseMode Mode)
{
    TMainSession& s = Session(Form);
    // A cancel of the chooser just before the close: the skin written is the one it gave back.
    ShowPendingSkin(Form);
    Form->ArticleCount = treefile::CountImage(*Form->TreeView1->Items(), 2);
    if (!SaveTreeAtClose(Form, Mode))
        return false;

    if (!SaveFormSettings(Form, Mode))
        return false;

    // The address list is written only when it was read at start or has changed since, so a
    // failed start never empties it.
    return !(s.AddressListLoaded || s.Addresses != s.LoadedAddresses) ||
           SaveAtClose(Mode, archive::AppPath("FILES\\list"), [&] { WriteAddressList(Form); });
}

} // namespace

bool FinishPendingEdits(TID_Vellorn* Form, TCloseMode Mode)
{
    if (Mode == TCloseMode::Asking)
        return CommitRename(Form) && CarryOutPendingEntries(Form) && KeepNoteAtClose(Form, Mode) &&
               KeepPanelEdits(Form);
    // Nothing stops the end of the session: each step does what it can, a failed one tells nothing
    // (no window of the program may wait for the user any more).
    for (const auto& step : std::initializer_list<std::function<void()>>{
             [&] { CommitRename(Form); }, [&] { CarryOutPendingEntries(Form); },
             [&] { KeepNoteAtClose(Form, Mode); },
             [&] {
                 // The property panel's values are applied when they can be (a refusal keeps the
                 // article as it was, untold).
                 if (PanelChanged(Form))
                     Form->Button1Click(Form->Button1);
             }}) {
        try {
            step();
        } catch (...) {
        }
    }
    return true;
}

bool CloseProgram(TID_Vellorn* Form, TCloseMode Mode)
{
    TMainSession& s = Session(Form);
    // A close asked for while one is under way (its question open) waits for that one; the end of
    // the session does not wait.
    if (s.Closing && Mode == TCloseMode::Asking)
        return false;
    s.Closing = true;
    s.CloseFinished = false;
    bool finished = false;
    try {
        const bool asked = Mode == TCloseMode::Asking
                               ? CommitRename(Form) && CarryOutPendingEntries(Form) && AskEditor(Mode) &&
                                     KeepNoteAtClose(Form, Mode) && KeepPanelEdits(Form)
                               : FinishPendingEdits(Form, Mode);
        if (asked && EndModalDialogs(Form, Mode)) {
            KeepEditorSettings();
            finished = SaveFiles(Form, Mode);
        }
    } catch (...) {
        s.Closing = false;
        // At the session end the files are written all the same.
        if (Mode == TCloseMode::Asking)
            throw;
        try {
            finished = SaveFiles(Form, Mode);
        } catch (...) {
        }
    }
    s.Closing = false;
    return finished;
}

void TID_Vellorn::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = CloseProgram(this, TCloseMode::Asking);
    Session(this).CloseFinished = CanClose;
}

void TID_Vellorn::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_QUERYENDSESSION: {
        // The session may still go on: the close's questions are asked now, and any "stay" refuses
        // the end. The window stays open until the session really ends; what the close wrote is
        // not written again then.
        const bool done = CloseProgram(this, TCloseMode::Asking);
        Session(this).CloseFinished = done;
        Message.Result = done ? 1 : 0;
        return;
    }
    case WM_ENDSESSION: {
        TMainSession& s = Session(this);
        if (!Message.WParam) {
            // The session goes on after all: the next close writes again.
            s.CloseFinished = false;
        } else {
            // The end cannot be stopped: a question still open is answered "stay" unseen, what can
            // be written is written, and nothing is shown any more.
            if (!s.SessionEnding) {
                s.SessionEnding = true;
                s.QuietPrompts = std::make_unique<TQuietPromptService>();
                s.QuietGuard = std::make_unique<TPromptServiceGuard>(*s.QuietPrompts);
            }
            if (!s.CloseFinished)
                CloseProgram(this, TCloseMode::SessionEnd);
            s.CloseFinished = true;
            FreeAndNil(TrayIcon1);
            Application->Terminate();
        }
        Message.Result = 0;
        return;
    }
    default:
        inherited::WndProc(Message);
    }
}

void TID_Vellorn::FormClose(TObject*, TCloseAction&)
{
    // Everything was written by the close's query: the tree and its window stay as they are, and
    // the process ends without taking the window apart item by item.
    FreeAndNil(TrayIcon1);
}

void TID_Vellorn::N6Click(TObject*) { Close(); }
