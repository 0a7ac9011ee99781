// Saved trees: saving the tree under a name with its map and notes, loading a saved tree here or
// in a new instance of the program.
#include "MainSession.h"

#include <algorithm>
#include <optional>

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainTreeMap.h"
#include "Settings.h"
#include "ShellSeams.h"
#include "TreeFile.h"

namespace {

void Inform(const AnsiString& Text) { Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONINFORMATION); }

[[noreturn]] void RefuseCopy(const AnsiString& From, const AnsiString& To, Cardinal Code)
{
    throw Exception("Не удалось скопировать файл \"" + From + "\" в \"" + To + "\"", To, Code);
}

} // namespace

void CopyFiles(const AnsiString& From, const AnsiString& To, UINT Operation)
{
    if (AnsiSameText(ExpandFileName(From), ExpandFileName(To)))
        return;
    // The shell would replace a read-only file: the program's rule for its files comes first.
    if (const DWORD refusal = ReplaceRefusal(To))
        RefuseCopy(From, To, refusal);
    bool aborted = false;
    const int result = Shell().FileOperation(nullptr, Operation, {From}, {To}, 0x50, aborted);
    if (result != 0 || aborted)
        RefuseCopy(From, To, result != 0 ? static_cast<Cardinal>(result) : ERROR_CANCELLED);
}

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

AnsiString SaveTree(TID_Vellorn* Form, const AnsiString& Path, bool FoldersClosed)
{
    const AnsiString name = archive::TreeNameFromPath(Path);
    // A map that may not be replaced is refused before the tree file is written: no saved tree
    // without its map.
    CheckReplaceable(archive::MapPath(name));
    if (FoldersClosed)
        treefile::WriteClosedTreeFile(Path, *Form->TreeView1, IsFolder);
    else
        treefile::WriteTreeFile(Path, *Form->TreeView1);
    const AnsiString map = archive::MapPath(archive::WorkingTreeFile());
    if (FileExists(map))
        CopyFiles(map, archive::MapPath(name));
    if (Session(Form).OwnsWorkingTree)
        Form->CurrentTreeFile = "Temp";
    return Form->CurrentTreeFile;
}

namespace {

AnsiString FileBytes(const AnsiString& Path)
{
    TMemoryStream m;
    m.LoadFromFile(Path);
    return AnsiString(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

// A change of one map file that can be taken back: the file's bytes before it (or its absence).
class TMapUndo {
public:
    explicit TMapUndo(const AnsiString& Path) : path_(Path), existed_(FileExists(Path))
    {
        if (existed_)
            bytes_ = FileBytes(Path);
    }
    void Undo() const
    {
        if (existed_)
            SafeWriteFileBytes(path_, bytes_);
        else
            DeleteFileWhenFree(path_);
    }

private:
    AnsiString path_, bytes_;
    bool existed_;
};

AnsiString OwnTreePath(const AnsiString& Name) { return archive::AppPath("FILES\\tree\\" + Name + ".vlt"); }

// A copy of the working map under the first free name "Temp (n)" (no map or tree file of that
// name yet); an empty map when there is no working map.
AnsiString OwnWorkingCopy()
{
    for (int n = 2;; ++n) {
        const AnsiString name = "Temp (" + IntToStr(n) + ")";
        if (FileExists(archive::MapPath(name)) || FileExists(OwnTreePath(name)))
            continue;
        if (FileExists(archive::MapPath("Temp")))
            CopyFiles(archive::MapPath("Temp"), archive::MapPath(name));
        else
            SafeWriteFileBytes(archive::MapPath(name), "");
        return name;
    }
}

// The instance works on the tree file TreePath with the map of Name; Copy: a copy of the working
// tree made for it.
void UseOwnFiles(TID_Vellorn* Form, const AnsiString& Name, const AnsiString& TreePath, bool Copy = false)
{
    archive::SetWorkingTreeFile(Name);
    Form->CurrentTreeFile = Name;
    TMainSession& s = Session(Form);
    s.TreePath = TreePath;
    s.CopyTreePath = Copy ? TreePath : AnsiString();
    s.StartupLoadFailed = false;
}

} // namespace

void UseOwnWorkingCopy(TID_Vellorn* Form)
{
    const AnsiString own = OwnWorkingCopy();
    UseOwnFiles(Form, own, OwnTreePath(own), true);
}

AnsiString ShownTreeName(TID_Vellorn* Form)
{
    const AnsiString copy = Session(Form).CopyTreePath;
    return copy.empty() ? Form->TreeName : Form->TreeName + " [" + ExtractFileName(copy) + "]";
}

AnsiString LoadTree(TID_Vellorn* Form, const AnsiString& Path)
{
    const AnsiString name = archive::TreeNameFromPath(Path);
    const bool workingName = SameText(name, "Temp");
    // The file is read and checked first: a damaged file changes neither tree nor map.
    const treefile::TTreeStream tree = treefile::ReadTreeStream(Path);
    TMainSession& s = Session(Form);
    if (s.OwnsWorkingTree) {
        // The saved map becomes the working map (a tree without a map keeps the working one); a
        // map taken for nodes that turn out damaged is put back.
        const AnsiString map = archive::MapPath(name), working = archive::MapPath("Temp");
        std::optional<TMapUndo> undo;
        if (!workingName && FileExists(map)) {
            undo.emplace(working);
            CopyFiles(map, working);
        }
        try {
            treefile::ApplyTreeStream(tree, *Form->TreeView1);
        } catch (...) {
            if (undo)
                undo->Undo();
            throw;
        }
        archive::SetWorkingTreeFile("Temp");
        Form->CurrentTreeFile = "Temp";
    } else if (!workingName) {
        // Beside the owner of the working tree: the loaded tree's own map and file.
        treefile::ApplyTreeStream(tree, *Form->TreeView1);
        UseOwnFiles(Form, name, Path);
    } else {
        // A tree named Temp beside the owner gets a map of its own, a copy of the working map,
        // and is written at close under that map's name.
        const AnsiString own = OwnWorkingCopy();
        try {
            treefile::ApplyTreeStream(tree, *Form->TreeView1);
        } catch (...) {
            DeleteFileWhenFree(archive::MapPath(own));
            throw;
        }
        UseOwnFiles(Form, own, OwnTreePath(own), true);
    }
    return Form->CurrentTreeFile;
}

void SaveTreeAs(TID_Vellorn* Form, const AnsiString& Path, bool FoldersClosed)
{
    SaveTree(Form, Path, FoldersClosed);

    // The notes of this tree (title + "_" + TreeName + ".txt") get copies for the new name.
    const AnsiString newName = archive::TreeNameFromPath(Path);
    std::vector<std::pair<AnsiString, AnsiString>> notes; // file name, title
    TSearchRec rec;
    if (FindFirst(archive::AppPath("FILES\\Text\\*.txt"), faAnyFile, rec) == 0) {
        do {
            AnsiString title;
            if (!(rec.Attr & faDirectory) && archive::NoteTitle(rec.Name, Form->TreeName, title))
                notes.emplace_back(rec.Name, title);
        } while (FindNext(rec) == 0);
        FindClose(rec);
    }
    std::sort(notes.begin(), notes.end());
    AnsiString failed;
    for (const auto& [note, title] : notes) {
        const AnsiString to = archive::AppPath("FILES\\Text\\" + title + "_" + newName + ".txt");
        AnsiString reason;
        if (!archive::TryReplaceOwnFile(to, [&] { CopyFiles(archive::AppPath("FILES\\Text\\" + note), to); }, reason))
            failed += "\n\"" + to + "\": " + reason;
    }
    if (!failed.empty())
        Application->MessageBox("Дерево сохранено, но не все примечания к нему удалось скопировать:" + failed,
                                "Внимание!!!", MB_OK | MB_ICONWARNING);
}

bool SaveTreeChosen(TID_Vellorn* Form)
{
    Form->SaveDialog2->InitialDir = archive::AppPath("FILES\\tree\\");
    if (!Form->SaveDialog2->Execute())
        return false;
    AnsiString file = Form->SaveDialog2->FileName;
    if (ExtractFileExt(file).empty())
        file += ".vlt";
    AnsiString reason;
    if (archive::TryReplaceOwnFile(file, [&] { SaveTreeAs(Form, file, false); }, reason))
        return true;
    Application->MessageBox(TreeSaveFailure(file, reason), "Внимание!!!", MB_OK | MB_ICONWARNING);
    return false;
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
        if (result <= 32)
            throw Exception("Не удалось запустить \"" + ExeName() + "\" для \"" + file + "\"");
        return;
    }
    AnsiString name = archive::TreeNameFromPath(file);
    if (SameText(name, "Temp"))
        name = settings::ReadTreeName();
    if (Application->Title() == name + " -Vellorn") {
        Inform("Запускаемое дерево является текущим");
    } else {
        // What the user typed or confirmed belongs to the tree shown now.
        if (!FinishPendingEdits(this, TCloseMode::Asking))
            return;
        // The working tree is replaced only when the user agrees, after saving it if asked to.
        switch (Application->MessageBox("Загружаемое дерево заменит текущее.\nСохранить текущее дерево перед "
                                        "загрузкой?\n«Да» — сохранить в файл, «Нет» — загрузить без сохранения, "
                                        "«Отмена» — оставить текущее дерево.",
                                        "Внимание!!!", MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            if (!SaveTreeChosen(this))
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
        } catch (EStreamError& e) {
            Application->MessageBox(TreeReadFailure(file, e, "") + "\nТекущее дерево не изменилось.",
                                    Application->Title(), MB_OK | MB_ICONSTOP);
            return;
        }
        TreeName = name;
        SetCaption(PageCaption(this));
        Application->SetTitle(ShownTreeName(this) + " -Vellorn");
    }
    ShowArticleCount(this);
    TrayIcon1->SetHint(ShownTreeName(this) + " -Vellorn");
}

void TID_Vellorn::ToolButton12Click(TObject* Sender) { N13Click(Sender); }
