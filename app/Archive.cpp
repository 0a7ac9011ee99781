#include "Archive.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "ArchiveFiles.h"
#include "IniFiles.h"
#include "MainTreeMap.h"
#include "TreeFile.h"

namespace {

// The longest file name the file systems take.
constexpr std::size_t MaxNoteNameLength = 255;

const char* const Sections[] = {archive::SectionFiles, archive::SectionFlash, archive::SectionUrl};

// A map key: its section and its title, trimmed and upper-cased, as INI keys match.
AnsiString KeyOf(const char* Section, const AnsiString& Title) { return AnsiString(Section) + '\x01' + AnsiUpperCase(Trim(Title)); }

// The map of a tree file: FILES\tree\<tree name>.ini beside the program.
AnsiString TreeMapPath(const AnsiString& TreePath) { return archive::MapPath(archive::TreeNameFromPath(TreePath)); }

// The values of a map file by key (the first of a key counts, as INI reads it), with the key's
// title as written before them ("Title=Value"). A missing file is an empty map.
std::unordered_map<AnsiString, AnsiString> ReadMap(const AnsiString& Path)
{
    std::unordered_map<AnsiString, AnsiString> values;
    if (!FileExists(Path))
        return values;
    TMemIniFile ini(Path);
    TStringList lines;
    for (const char* section : Sections) {
        ini.ReadSectionValues(section, &lines);
        for (int i = 0; i < lines.Count(); ++i) {
            const AnsiString& line = lines[i];
            const std::size_t eq = line.find('=');
            const AnsiString title = Trim(eq == AnsiString::npos ? line : line.substr(0, eq));
            values.emplace(KeyOf(section, title), title + "=" + (eq == AnsiString::npos ? AnsiString() : line.substr(eq + 1)));
        }
    }
    return values;
}

// Copies the note From over To (a missing From copies nothing; To is replaced as the program's own
// file). Raises with the reason.
void CopyNote(const AnsiString& From, const AnsiString& To)
{
    if (!FileExists(From) || AnsiSameText(From, To))
        return;
    SafeWriteFileBytes(To, LoadFileBytes(From));
}

// Removes a note file; its failure's code (0 when removed or already gone).
DWORD RemoveNoteFile(const AnsiString& Path)
{
    const DWORD error = DeleteFileWhenFree(Path);
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
}

// How many bytes Name takes in the host's file names (UTF-8): a CP1251 letter above 127 takes two
// or three.
std::size_t HostNameBytes(const AnsiString& Name)
{
    std::size_t bytes = 0;
    for (const char c : Name) {
        const auto u = static_cast<unsigned char>(c);
        bytes += u < 0x80 ? 1 : (u >= 0xC0 || u == 0xA8 || u == 0xB8) ? 2 : 3;
    }
    return bytes;
}

// The notes folder FILES\text, made when missing. Raises with the reason when it cannot be.
void MakeNotesFolder()
{
    const AnsiString folder = archive::AppPath("FILES\\text");
    if (DirectoryExists(folder))
        return;
    if (FileExists(folder))
        throw Exception("Папка примечаний \"" + folder + "\" не создана: на её месте лежит файл с тем же именем.");
    if (!ForceDirectories(folder))
        throw Exception("Не удалось создать папку примечаний \"" + folder + "\": " + ErrorReasonText(GetLastError()));
}

} // namespace

TArchive::TArchive(TCustomTreeView& Tree) : Tell([](const AnsiString& Text) { Notify(Text); }), FTree(Tree) {}

TArchive::~TArchive() = default;

AnsiString TArchive::MapPath() const { return TreeMapPath(FTreePath); }

AnsiString TArchive::MapPathOf(const AnsiString& TreePath) { return TreeMapPath(TreePath); }

bool TArchive::IsWorkingTree(const AnsiString& Path)
{
    return AnsiSameText(ExpandFileName(Path), archive::AppPath("FILES\\tree\\Temp.vlt"));
}

// --- Opening ------------------------------------------------------------------------------------

void TArchive::Take(const AnsiString& Path, const AnsiString& NotesName, const treefile::TTreeStream& Stream,
                    const std::unordered_map<AnsiString, AnsiString>& Map)
{
    // The nodes that go leave no books behind: the archive they belonged to is left whole.
    for (TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext())
        n->SetData(nullptr);
    FEntries.clear();
    treefile::ApplyTreeStream(Stream, FTree);
    FTreePath = ExpandFileName(Path);
    FName = archive::TreeNameFromPath(FTreePath);
    FNotesName = NotesName;
    FKeys.clear();
    FShared = 0;
    FKept.clear();
    FGone.clear();
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext())
        if (const char* section = EntrySection(n); *section) {
            const auto it = Map.find(KeyOf(section, n->Text()));
            Enter(n, it != Map.end(), it == Map.end() ? AnsiString() : it->second.substr(it->second.find('=') + 1));
        }
    for (const auto& [key, line] : Map)
        if (!FKeys.count(key))
            FKept.emplace(key, line);
    FPendingGone.clear();
    FKeepAsideSuffix.clear();
    // What the map file holds is not known until it is written.
    FWrittenMap.reset();
    FDirty = false;
    FFailureTold = false;
}

void TArchive::Open(const AnsiString& Path, const AnsiString& NotesName, const AnsiString& From, TOpen How)
{
    const AnsiString source = From.empty() ? Path : From;
    // The tree read first: a file that cannot be read changes nothing. The values come from the
    // archive's own map (a copy of the working tree kept elsewhere goes with the working map).
    treefile::TTreeStream stream;
    if (How == TOpen::Read || (How == TOpen::MissingIsEmpty && FileExists(source)))
        stream = treefile::ReadTreeStream(source);
    const auto map = ReadMap(TreeMapPath(Path));
    Take(Path, NotesName, stream, map);
    if (!AnsiSameText(ExpandFileName(source), FTreePath))
        Write();
}

AnsiString TArchive::FreeCopyPath()
{
    for (int n = 2;; ++n) {
        const AnsiString name = "Temp (" + IntToStr(n) + ")";
        const AnsiString path = archive::AppPath("FILES\\tree\\" + name + ".vlt");
        if (!FileExists(path) && !FileExists(archive::MapPath(name)))
            return path;
    }
}

void TArchive::OpenCopy(const AnsiString& Path, const AnsiString& Source, const AnsiString& SourceNotes)
{
    treefile::TTreeStream stream;
    try {
        stream = treefile::ReadTreeStream(Source);
    } catch (Exception&) {
        // Nothing to copy from: the copy starts empty.
    }
    Take(Path, archive::TreeNameFromPath(Path), stream, ReadMap(TreeMapPath(Source)));
    // The notes first, then the map and the tree: a copy ended half way has no entry without them.
    TArchive source(FTree);
    source.FNotesName = SourceNotes;
    std::unordered_set<AnsiString> copied;
    AnsiString failed;
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext()) {
        AnsiString from, to;
        if (IsFolder(n) || !copied.insert(AnsiUpperCase(n->Text())).second || !NotePath(n->Text(), to))
            continue;
        try {
            if (source.NotePath(n->Text(), from) && FileExists(from)) {
                MakeNotesFolder();
                CopyNote(from, to);
            } else if (const DWORD error = RemoveNoteFile(to)) {
                // A note an earlier copy of this name left would show on the entry.
                throw Exception("", to, error);
            }
        } catch (Exception& e) {
            failed += "\n\"" + to + "\": " + archive::FailureReason(e);
        }
    }
    if (!failed.empty() && Tell)
        Tell("Не все примечания удалось скопировать:" + failed);
    Write();
}

// --- Reading ------------------------------------------------------------------------------------

AnsiString TArchive::Value(const TTreeNode* Entry) const
{
    const auto it = FEntries.find(Entry);
    return it == FEntries.end() ? AnsiString() : it->second.Value;
}

bool TArchive::Holds(const TTreeNode* Entry) const
{
    const char* section = EntrySection(Entry);
    return *section && FKeys.count(KeyOf(section, Entry->Text()));
}

TTreeNode* TArchive::FindEntry(const AnsiString& Title) const
{
    return FindKeyNode(*FTree.Items(), Title, nullptr, [](const TTreeNode* n) { return !IsFolder(n); });
}

bool TArchive::NotePath(const AnsiString& Title, AnsiString& Path, AnsiString* Reason) const
{
    Path.clear();
    const auto refuse = [&](const AnsiString& Why) {
        if (Reason)
            *Reason = Why;
        return false;
    };
    const AnsiString& title = Title;
    if (Trim(title).empty())
        return refuse("");
    // The tree's name comes from a tree file's name; one that could not be a file name is refused.
    for (const char c : FNotesName)
        if (static_cast<unsigned char>(c) < ' ' || std::strchr("\\/:*?\"<>|", c))
            return refuse("название дерева не может быть именем файла");
    const AnsiString name = archive::NoteName(title) + "_" + FNotesName + ".txt";
    const AnsiString path = archive::AppPath("FILES\\text\\" + name);
    if (name.size() > MaxNoteNameLength || HostNameBytes(name) > MaxNoteNameLength || path.size() >= MAX_PATH)
        return refuse("имя файла слишком длинное");
    Path = path;
    return true;
}

// --- The title rule -----------------------------------------------------------------------------

AnsiString TArchive::CleanTitle(const AnsiString& Typed) { return Trim(Typed); }

bool TArchive::TitleTaken(const AnsiString& Title, const TTreeNode* Except) const
{
    // The index counts the entries of each key; Except (when an entry) counts in it itself.
    int taken = 0;
    for (const char* section : Sections)
        if (const auto it = FKeys.find(KeyOf(section, Title)); it != FKeys.end())
            taken += it->second;
    if (Except && !IsFolder(Except) && SameMapKey(Except->Text(), Title))
        --taken;
    return taken > 0;
}

AnsiString TArchive::TitleRefusal(const AnsiString& Typed, Integer Image, const TTreeNode* Node,
                                  const TTreeNode* Parent, const AnsiString& Empty) const
{
    const bool folder = Image == niFolderClosed || Image == niFolderOpen;
    const AnsiString title = CleanTitle(Typed);
    if (title.empty())
        return Empty;
    if (title.size() > static_cast<std::size_t>(MaxTitleLength))
        return "Название слишком длинное: дерево статей хранит не больше " + IntToStr(MaxTitleLength) + " знаков.";
    if (folder) {
        if (title.find_first_of(AnsiString("\r\n\0", 3)) != AnsiString::npos)
            return "Недопустимое название";
        const TTreeNode* first = Parent ? Parent->getFirstChild() : FTree.Items()->GetFirstNode();
        for (const TTreeNode* n = first; n; n = n->getNextSibling())
            if (n != Node && IsFolder(n) && SameMapKey(n->Text(), title))
                return "Категория с таким названием уже существует";
        return "";
    }
    if (!IsValidTitle(title))
        return "Недопустимое название";
    if (TitleTaken(title, Node))
        return Image == niLink || Image == niFlash ? "Название уже существует" : "Статья с таким названием уже существует";
    return "";
}

void TArchive::Enter(const TTreeNode* Entry, bool Mapped, const AnsiString& Value)
{
    TEntry e;
    e.Key = KeyOf(EntrySection(Entry), Entry->Text());
    e.Mapped = Mapped && IsValidTitle(Entry->Text());
    e.Value = Trim(Value);
    e.Line = Trim(Entry->Text()) + "=" + e.Value;
    if (++FKeys[e.Key] == 2)
        ++FShared;
    FKept.erase(e.Key);
    FGone.erase(e.Key);
    TEntry& kept = FEntries[Entry] = std::move(e);
    // The node points at its books: the map is written from the tree's order without a lookup.
    const_cast<TTreeNode*>(Entry)->SetData(&kept);
}

void TArchive::Leave(const TTreeNode* Entry)
{
    const auto it = FEntries.find(Entry);
    if (it == FEntries.end())
        return;
    const TEntry& e = it->second;
    // The tree file on disk may still have the key's entry: its line stays in the map until the
    // tree is written.
    const int left = --FKeys[e.Key];
    if (left == 1)
        --FShared;
    if (left <= 0) {
        FKeys.erase(e.Key);
        if (e.Mapped)
            FGone[e.Key] = e.Line;
    }
    const_cast<TTreeNode*>(Entry)->SetData(nullptr);
    FEntries.erase(it);
}

// --- Writing ------------------------------------------------------------------------------------

void TArchive::MapSections(AnsiString (&Lines)[3]) const
{
    // Each section: the keys of its entries in the tree's order (the first entry of a key gives
    // its value), then the keys kept from the map as it was read.
    std::unordered_set<AnsiString> twice;
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext()) {
        const auto* e = static_cast<const TEntry*>(n->Data());
        if (!e || !e->Mapped || (FShared && FKeys.at(e->Key) > 1 && !twice.insert(e->Key).second))
            continue;
        AnsiString& out = Lines[IsArticle(n) ? 0 : n->ImageIndex() == niFlash ? 1 : 2];
        out += e->Line;
        out += "\r\n";
    }
    AddLines(Lines, FKept);
}

void TArchive::AddLines(AnsiString (&Lines)[3], const std::map<AnsiString, AnsiString>& Extra) const
{
    for (const auto& [key, line] : Extra)
        for (int i = 0; i < 3; ++i)
            if (key.compare(0, std::strlen(Sections[i]) + 1, AnsiString(Sections[i]) + '\x01') == 0 && !FKeys.count(key))
                Lines[i] += line + "\r\n";
}

AnsiString TArchive::MapBytes(const AnsiString (&Lines)[3])
{
    AnsiString out;
    for (int i = 0; i < 3; ++i)
        if (!Lines[i].empty())
            out += "[" + AnsiString(Sections[i]) + "]\r\n" + Lines[i];
    return out;
}

void TArchive::Write(std::vector<AnsiString> Gone)
{
    FDirty = true;
    FPendingGone.insert(FPendingGone.end(), Gone.begin(), Gone.end());
    try {
        Flush();
    } catch (Exception& e) {
        if (!FFailureTold && Tell)
            Tell("Изменение дерева не удалось записать в файл: " + archive::FailureReason(e) +
                 "\nОно будет записано снова при следующем изменении и при закрытии программы.");
        FFailureTold = true;
    }
}

void TArchive::Flush(bool Always)
{
    if (FTreePath.empty() || (!FDirty && !Always && FileExists(FTreePath)))
        return;
    const AnsiString mapPath = MapPath();
    // The map holds the keys the tree on disk may still need until the tree is written.
    AnsiString lines[3];
    MapSections(lines);
    const AnsiString exact = MapBytes(lines);
    AnsiString wide = exact;
    if (!FGone.empty()) {
        AddLines(lines, FGone);
        wide = MapBytes(lines);
    }
    if (wide != FWrittenMap || !FileExists(mapPath)) {
        SafeWriteFileBytes(mapPath, wide);
        FWrittenMap = wide;
    }
    if (!FKeepAsideSuffix.empty()) {
        treefile::KeepAside(FTreePath, FKeepAsideSuffix);
        FKeepAsideSuffix.clear();
    }
    treefile::WriteClosedTreeFile(FTreePath, FTree, IsFolder);
    FGone.clear();
    FDirty = false;
    FFailureTold = false;
    if (wide != exact) {
        SafeWriteFileBytes(mapPath, exact);
        FWrittenMap = exact;
    }
    std::vector<AnsiString> gone;
    gone.swap(FPendingGone);
    RemoveNotes(gone);
}

void TArchive::RemoveNotes(const std::vector<AnsiString>& Titles)
{
    // A title an entry has again (added or renamed back since) keeps its note.
    std::unordered_set<AnsiString> done;
    for (const AnsiString& title : Titles) {
        AnsiString path;
        if (!done.insert(AnsiUpperCase(Trim(title))).second || TitleTaken(title, nullptr) || !NotePath(title, path))
            continue;
        if (const DWORD error = RemoveNoteFile(path); error && Tell)
            Tell("Не удалось удалить примечание \"" + path + "\": " + ErrorReasonText(error));
    }
}

// --- Changes ------------------------------------------------------------------------------------

TTreeNode* TArchive::AddEntry(TTreeNode* Parent, const AnsiString& Title, Integer Image, const AnsiString& Value)
{
    const AnsiString title = CleanTitle(Title);
    if (const AnsiString refusal = TitleRefusal(title, Image, nullptr, Parent); !refusal.empty()) {
        if (Tell)
            Tell(refusal);
        return nullptr;
    }
    // A note left under this title by an entry that is gone would show on the new one.
    AnsiString note;
    if (NotePath(title, note)) {
        if (const DWORD error = RemoveNoteFile(note)) {
            if (Tell)
                Tell("Не удалось удалить старое примечание \"" + note + "\", оставшееся от удалённой записи с тем же "
                     "названием: " + ErrorReasonText(error));
            return nullptr;
        }
    }
    TTreeNode* node = FTree.Items()->AddChild(Parent, title);
    node->SetImageIndex(Image);
    node->SetSelectedIndex(Image);
    Enter(node, true, Value);
    Write();
    return node;
}

TTreeNode* TArchive::AddFolder(TTreeNode* Parent, const AnsiString& Title)
{
    const AnsiString title = CleanTitle(Title);
    if (const AnsiString refusal = TitleRefusal(title, niFolderClosed, nullptr, Parent); !refusal.empty()) {
        if (Tell)
            Tell(refusal);
        return nullptr;
    }
    TTreeNode* node = FTree.Items()->AddChild(Parent, title);
    Write();
    return node;
}

bool TArchive::Change(TTreeNode* Node, const AnsiString& Title, const AnsiString& Value, Integer Image)
{
    const AnsiString title = CleanTitle(Title);
    const bool folder = IsFolder(Node);
    if (const AnsiString refusal = TitleRefusal(title, Node->ImageIndex(), Node, Node->Parent()); !refusal.empty()) {
        if (Tell)
            Tell(refusal);
        return false;
    }
    const AnsiString old = Node->Text();
    std::vector<AnsiString> gone;
    if (!folder && old != title) {
        // The note goes with the title: copied to the new name before the tree names the entry so,
        // the old one removed once the tree is written (unless another entry keeps that title).
        AnsiString from, to, reason;
        if (!NotePath(title, to, &reason)) {
            if (NotePath(old, from) && FileExists(from)) {
                if (Tell)
                    Tell("Примечание для этой статьи сохранить нельзя: " + reason + ".");
                return false;
            }
        } else if (NotePath(old, from) && from != to) {
            try {
                if (FileExists(from)) {
                    CopyNote(from, to);
                } else if (RemoveNoteFile(to) != 0) {
                    // A note left under the new title by an entry that is gone.
                    throw Exception("Не удалось удалить старое примечание \"" + to + "\"");
                }
            } catch (Exception& e) {
                if (Tell)
                    Tell("Не удалось переименовать примечание \"" + from + "\" в \"" + to + "\": " +
                         archive::FailureReason(e));
                return false;
            }
            if (!SameMapKey(old, title))
                gone.push_back(old);
            else if (FileExists(from) && from != to) {
                // A change of case only: the file takes the new name's case, through a name of its
                // own (a move onto the same file in other letters is no move for every system).
                const AnsiString step = from + ".case";
                if (MoveFileWhenFree(from, step, 0) == 0 && MoveFileWhenFree(step, to, 0) != 0)
                    MoveFileWhenFree(step, from, 0);
            }
        }
    }
    Leave(Node);
    Node->SetText(title);
    if (!folder) {
        if (IsArticle(Node) && (Image == niArticleNew || Image == niArticleRead || Image == niArticleFavourite ||
                                Image == niArticleUnread)) {
            Node->SetImageIndex(Image);
            Node->SetSelectedIndex(Image);
        }
        Enter(Node, true, Value);
    }
    Write(gone);
    return true;
}

void TArchive::Mark(TTreeNode* Node, Integer Image)
{
    if (!Node || !IsArticle(Node) || Node->ImageIndex() == Image)
        return;
    Node->SetImageIndex(Image);
    Node->SetSelectedIndex(Image);
    Write();
}

bool TArchive::Move(TTreeNode* Node, TTreeNode* Target)
{
    if (!Node || Target == Node || (Target && (!IsFolder(Target) || Target->HasAsParent(Node))))
        return false;
    if (Target)
        Node->MoveTo(Target, naAddChild);
    else
        Node->MoveTo(nullptr, naAdd);
    Write();
    return true;
}

void TArchive::Forget(const TTreeNode* Node) { Leave(Node); }

void TArchive::Delete(TTreeNode* Node)
{
    if (!Node)
        return;
    std::vector<AnsiString> gone;
    if (!IsFolder(Node))
        gone.push_back(Node->Text());
    for (const TTreeNode* n = Node->GetNext(); n && n->HasAsParent(Node); n = n->GetNext())
        if (!IsFolder(n))
            gone.push_back(n->Text());
    // The view tells of each node that goes (Forget).
    Node->Delete();
    Write(gone);
}

void TArchive::Clear()
{
    std::vector<AnsiString> gone;
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext())
        if (!IsFolder(n))
            gone.push_back(n->Text());
    // The view tells of each node that goes (Forget).
    FTree.Items()->Clear();
    Write(gone);
}

// --- Notes --------------------------------------------------------------------------------------

void TArchive::WriteNote(const AnsiString& Title, const AnsiString& Text)
{
    AnsiString path, reason;
    if (!NotePath(Title, path, &reason))
        throw Exception("Примечание не сохранено: " + reason + ".");
    MakeNotesFolder();
    SafeWriteFileBytes(path, Text);
}

bool TArchive::RemoveNote(const AnsiString& Title)
{
    AnsiString path;
    if (!NotePath(Title, path))
        return true;
    const DWORD error = RemoveNoteFile(path);
    if (error && Tell)
        Tell("Не удалось удалить примечание \"" + path + "\": " + ErrorReasonText(error));
    return error == 0;
}

// --- Copies -------------------------------------------------------------------------------------

AnsiString TArchive::SaveCopy(const AnsiString& Path, const AnsiString& NotesName) const
{
    const AnsiString path = ExpandFileName(Path);
    if (AnsiSameText(path, FTreePath))
        return "";
    const AnsiString mapPath = TreeMapPath(path);
    // The map and the tree may both be replaced: checked before anything is written.
    CheckReplaceable(path);
    CheckReplaceable(mapPath);
    TArchive target(FTree);
    target.FTreePath = path;
    target.FNotesName = NotesName;
    // The entries of the tree the file holds now: their notes go unless the copy has their titles.
    std::vector<AnsiString> before;
    try {
        if (FileExists(path))
            for (const auto& [title, image] : treefile::NodeRecords(treefile::ReadTreeStream(path)))
                if (image != niFolderClosed && image != niFolderOpen)
                    before.push_back(title);
    } catch (Exception&) {
        // A file that is no tree has no notes to take away.
    }
    // The notes of the entries first, then the map, the tree, and the old entries' notes.
    std::unordered_set<AnsiString> titles;
    AnsiString failed;
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext()) {
        if (IsFolder(n) || !titles.insert(AnsiUpperCase(Trim(n->Text()))).second)
            continue;
        AnsiString from, to;
        if (NotePath(n->Text(), from) && target.NotePath(n->Text(), to) && FileExists(from)) {
            try {
                MakeNotesFolder();
                CopyNote(from, to);
            } catch (Exception& e) {
                failed += "\n\"" + to + "\": " + archive::FailureReason(e);
            }
        }
    }
    AnsiString lines[3];
    MapSections(lines);
    SafeWriteFileBytes(mapPath, MapBytes(lines));
    treefile::WriteClosedTreeFile(path, FTree, IsFolder);
    for (const AnsiString& title : before) {
        AnsiString note;
        if (!titles.count(AnsiUpperCase(Trim(title))) && target.NotePath(title, note))
            RemoveNoteFile(note);
    }
    return failed;
}
