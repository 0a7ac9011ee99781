// Saved trees: saving the tree under a name with its map and notes, loading a saved tree here or
// in a new instance of the program.
#include "MainSession.h"

#include <algorithm>

#include "ArchiveFiles.h"
#include "Settings.h"
#include "ShellSeams.h"
#include "TreeFile.h"

namespace {

void Inform(const AnsiString& Text) { Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONINFORMATION); }

} // namespace

void CopyFiles(const AnsiString& From, const AnsiString& To, UINT Operation)
{
    if (AnsiSameText(ExpandFileName(From), ExpandFileName(To)))
        return;
    bool aborted = false;
    const int result = Shell().FileOperation(nullptr, Operation, {From}, {To}, 0x50, aborted);
    if (result != 0 || aborted)
        throw Exception("Не удалось скопировать файл \"" + From + "\" в \"" + To + "\"");
}

AnsiString SaveTree(TID_Vellorn* Form, const AnsiString& Path)
{
    const AnsiString name = archive::TreeNameFromPath(Path);
    treefile::WriteTreeFile(Path, *Form->TreeView1);
    const AnsiString map = archive::MapPath(archive::WorkingTreeFile());
    if (FileExists(map))
        CopyFiles(map, archive::MapPath(name));
    if (Session(Form).OwnsWorkingTree)
        Form->CurrentTreeFile = "Temp";
    return Form->CurrentTreeFile;
}

AnsiString LoadTree(TID_Vellorn* Form, const AnsiString& Path)
{
    const AnsiString name = archive::TreeNameFromPath(Path);
    // The whole file is read and checked first: a damaged file changes neither tree nor map.
    treefile::ReadTreeFile(Path, *Form->TreeView1);
    TMainSession& s = Session(Form);
    if (s.OwnsWorkingTree) {
        // The saved map becomes the working map; a tree without a map keeps the working one.
        const AnsiString map = archive::MapPath(name);
        if (!SameText(name, "Temp") && FileExists(map))
            CopyFiles(map, archive::MapPath("Temp"));
        Form->CurrentTreeFile = "Temp";
    } else if (!SameText(name, "Temp")) {
        // An instance beside the owner of the working tree works on the loaded tree's files.
        archive::SetWorkingTreeFile(name);
        Form->CurrentTreeFile = name;
        s.TreePath = Path;
        s.StartupLoadFailed = false;
    } else {
        s.TreePath = "";
    }
    return Form->CurrentTreeFile;
}

void TID_Vellorn::N3Click(TObject*)
{
    SaveDialog2->InitialDir = archive::AppPath("FILES\\tree\\");
    if (!SaveDialog2->Execute())
        return;
    AnsiString file = SaveDialog2->FileName;
    if (ExtractFileExt(file).empty())
        file += ".vlt";
    SaveTree(this, file);

    // The notes of this tree (title + "_" + TreeName + ".txt") get copies for the new name.
    const AnsiString newName = archive::TreeNameFromPath(file);
    std::vector<std::pair<AnsiString, AnsiString>> notes; // file name, title
    TSearchRec rec;
    if (FindFirst(archive::AppPath("FILES\\Text\\*.txt"), faAnyFile, rec) == 0) {
        do {
            AnsiString title;
            if (!(rec.Attr & faDirectory) && archive::NoteTitle(rec.Name, TreeName, title))
                notes.emplace_back(rec.Name, title);
        } while (FindNext(rec) == 0);
        FindClose(rec);
    }
    std::sort(notes.begin(), notes.end());
    for (const auto& [note, title] : notes) {
        const AnsiString from = archive::AppPath("FILES\\Text\\" + note);
        const AnsiString to = archive::AppPath("FILES\\Text\\" + title + "_" + newName + ".txt");
        Inform(newName);
        Inform(from);
        Inform(to);
        CopyFiles(from, to);
    }
}

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
        // Nothing changes when the file cannot be read: the error box shows why.
        LoadTree(this, file);
        TreeName = name;
        SetCaption(TreeName + " -" + OpenedTitle + " (" + Web->LocationName() + ")" + "-VLN");
        Application->SetTitle(TreeName + " -Vellorn");
    }
    ShowArticleCount(this);
    TrayIcon1->SetHint(TreeName + " -Vellorn");
}

void TID_Vellorn::ToolButton12Click(TObject* Sender) { N13Click(Sender); }
