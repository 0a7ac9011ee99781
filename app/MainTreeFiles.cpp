// Saved trees: which archive the window works on (loading a tree here, or in a new instance of the
// program), and saving a copy of it under a name with its map and notes.
#include "MainSession.h"

#include <memory>

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainTreeMap.h"
#include "Settings.h"
#include "ShellSeams.h"
#include "TreeFile.h"

namespace {

void Inform(const AnsiString& Text) { Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONINFORMATION); }

} // namespace

TArchive& Archive(TID_Vellorn* Form) { return *Session(Form).Archive; }

AnsiString TreeSaveFailure(const AnsiString& Path, const AnsiString& Reason)
{
    return "Не удалось сохранить дерево в файл \"" + Path + "\": " + Reason;
}

AnsiString TreeReadFailure(const AnsiString& Path, const Exception& E, const AnsiString& KeptAs)
{
    const bool damaged = dynamic_cast<const EReadError*>(&E) != nullptr;
    AnsiString text = damaged ? "Файл дерева \"" + Path + "\" повреждён: прочитать его не удалось."
                              : "Не удалось прочитать файл дерева \"" + Path + "\": " + archive::FailureReason(E);
    if (!KeptAs.empty())
        text += AnsiString(damaged ? "\nПовреждённый файл сохранён как \"" : "\nФайл сохранён как \"") + KeptAs + "\".";
    return text;
}

AnsiString ArchivePathOf(const AnsiString& Path)
{
    return SameText(archive::TreeNameFromPath(Path), "Temp") ? archive::AppPath("FILES\\tree\\Temp.vlt")
                                                             : ExpandFileName(Path);
}

AnsiString NotesNameOf(TID_Vellorn* Form, const AnsiString& Path)
{
    return TArchive::IsWorkingTree(Path) ? Session(Form).WorkingTreeName : archive::TreeNameFromPath(Path);
}

void LoadTree(TID_Vellorn* Form, const AnsiString& Path, const AnsiString& From, bool Empty)
{
    TMainSession& s = Session(Form);
    TArchive& archive = Archive(Form);
    const AnsiString path = ArchivePathOf(Path), source = ExpandFileName(From.empty() ? Path : From);
    const bool ours = AnsiSameText(path, archive.TreePath()) && s.CopyTreePath.empty();
    auto lock = ours ? nullptr : std::make_unique<TInstanceLock>(path);
    if (lock && !lock->Held()) {
        // Another window works on this tree: this one works on a copy of its own.
        const AnsiString copy = TArchive::FreeCopyPath();
        lock = std::make_unique<TInstanceLock>(copy);
        archive.OpenCopy(copy, source, NotesNameOf(Form, path));
        s.CopyTreePath = copy;
    } else {
        archive.Open(path, NotesNameOf(Form, path), source,
                     Empty ? TArchive::TOpen::Empty
                           : AnsiSameText(source, path) && TArchive::IsWorkingTree(path) ? TArchive::TOpen::MissingIsEmpty
                                                                                          : TArchive::TOpen::Read);
        s.CopyTreePath.clear();
    }
    if (lock)
        s.TreeLock = std::move(lock);
    Form->TreeName = TArchive::IsWorkingTree(path) ? s.WorkingTreeName : archive::TreeNameFromPath(path);
    FollowTree(Form, true);
}

void PublishTree(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    if (!s.FirstCopy)
        return;
    const AnsiString path = Archive(Form).TreePath();
    const AnsiString named = TArchive::IsWorkingTree(path) ? AnsiString() : path;
    if (settings::ReadSavedTreeFile() != named)
        settings::WriteSavedTreeFile(named);
}

AnsiString ShownTreeName(TID_Vellorn* Form)
{
    const AnsiString copy = Session(Form).CopyTreePath;
    return copy.empty() ? Form->TreeName : Form->TreeName + " [" + ExtractFileName(copy) + "]";
}

void SaveTree(TID_Vellorn* Form, const AnsiString& Path)
{
    TArchive& a = Archive(Form);
    const AnsiString path = ExpandFileName(Path), archivePath = ArchivePathOf(path);
    if (AnsiSameText(archivePath, a.TreePath())) {
        // The archive's own file, or a copy of the working tree taken while working on it (its map
        // and notes are the working tree's): the tree file alone.
        a.Flush();
        if (!AnsiSameText(path, a.TreePath()))
            treefile::WriteClosedTreeFile(path, *Form->TreeView1, IsFolder);
        return;
    }
    // Any other file named Temp.vlt would take the working tree's map and notes.
    if (!AnsiSameText(archivePath, path))
        throw Exception("имя Temp.vlt носят только копии рабочего дерева, а сохраняемое дерево — другое. "
                        "Выберите другое имя.");
    const TInstanceLock probe(archivePath);
    if (!probe.Held())
        throw Exception("это дерево открыто в другом окне программы. Выберите другое имя.");
    const AnsiString failed = a.SaveCopy(path, NotesNameOf(Form, path));
    if (!failed.empty())
        Application->MessageBox("Дерево сохранено, но не все примечания к нему удалось скопировать:" + failed,
                                "Внимание!!!", MB_OK | MB_ICONWARNING);
}

AnsiString SaveTreeChosen(TID_Vellorn* Form)
{
    TSaveDialog& dialog = *Form->SaveDialog2;
    dialog.InitialDir = archive::AppPath("FILES\\tree\\");
    // The dialog asks before it replaces a file, with the extension a bare name gets.
    dialog.DefaultExt = "vlt";
    dialog.Options = dialog.Options + TOpenOptions{ofOverwritePrompt};
    if (!dialog.Execute())
        return "";
    AnsiString file = dialog.FileName;
    if (ExtractFileExt(file).empty())
        file += ".vlt";
    AnsiString reason;
    if (archive::TryReplaceOwnFile(file, [&] { SaveTree(Form, file); }, reason))
        return file;
    Application->MessageBox(TreeSaveFailure(file, reason), "Внимание!!!", MB_OK | MB_ICONWARNING);
    return "";
}

void TID_Vellorn::N3Click(TObject*) { SaveTreeChosen(this); }

void TID_Vellorn::ToolButton11Click(TObject* Sender) { N3Click(Sender); }

void TID_Vellorn::N13Click(TObject*)
{
    OpenDialog1->InitialDir = archive::AppPath("FILES\\tree");
    if (!OpenDialog1->Execute())
        return;
    const AnsiString file = OpenDialog1->FileName;
    if (OpenTreesInNewWindow) {
        const INT_PTR result = Shell().Execute(nullptr, "open", ExeName(), file, "", SW_SHOWNORMAL);
        // The shell's small results are the system's error codes (a missing file, no memory).
        if (result <= 32)
            throw Exception("Не удалось запустить \"" + ExeName() + "\" для \"" + file + "\": " +
                            ErrorReasonText(static_cast<Cardinal>(result == 0 ? ERROR_NOT_ENOUGH_MEMORY : result)));
        return;
    }
    if (AnsiSameText(ExpandFileName(file), Archive(this).TreePath())) {
        Inform("Запускаемое дерево является текущим");
        return;
    }
    // What the user typed or confirmed belongs to the tree shown now.
    if (!FinishPendingEdits(this, TCloseMode::Asking))
        return;
    // The tree shown is replaced only when the user agrees, after saving it if asked to.
    switch (Application->MessageBox("Загружаемое дерево заменит текущее.\nСохранить текущее дерево перед "
                                    "загрузкой?\n«Да» — сохранить в файл, «Нет» — загрузить без сохранения, "
                                    "«Отмена» — оставить текущее дерево.",
                                    "Внимание!!!", MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        if (SaveTreeChosen(this).empty())
            return;
        break;
    case IDNO:
        break;
    default:
        return;
    }
    // Nothing changes when the file cannot be read.
    try {
        LoadTree(this, file);
    } catch (Exception& e) {
        Application->MessageBox(TreeReadFailure(file, e, "") + "\nТекущее дерево не изменилось.",
                                Application->Title(), MB_OK | MB_ICONSTOP);
        return;
    }
    PublishTree(this);
    SetCaption(PageCaption(this));
    Application->SetTitle(ShownTreeName(this) + " -Vellorn");
    TrayIcon1->SetHint(ShownTreeName(this) + " -Vellorn");
}

void TID_Vellorn::ToolButton12Click(TObject* Sender) { N13Click(Sender); }
