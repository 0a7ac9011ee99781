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
    treefile::ApplyTreeStream(Stream, FTree);
    FTreePath = ExpandFileName(Path);
    FName = archive::TreeNameFromPath(FTreePath);
    FNotesName = NotesName;
    FValues.clear();
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext())
        if (const char* section = EntrySection(n); *section)
            if (const auto it = Map.find(KeyOf(section, n->Text())); it != Map.end())
                FValues[n] = it->second.substr(it->second.find('=') + 1);
    IndexAll();
    FKept.clear();
    for (const auto& [key, line] : Map)
        if (!FKeys.count(key))
            FKept.emplace(key, line);
    FPendingGone.clear();
    FKeepAsideSuffix.clear();
    // The tree on disk needs the keys of its entries; what the map file holds beside them is not
    // known until it is written.
    FWritten.clear();
    for (auto& [key, line] : Keys())
        FWritten.emplace(std::move(key), std::move(line));
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
        if (!IsFolder(n) && copied.insert(AnsiUpperCase(n->Text())).second && source.NotePath(n->Text(), from) &&
            NotePath(n->Text(), to) && FileExists(from)) {
            try {
                MakeNotesFolder();
                CopyNote(from, to);
            } catch (Exception& e) {
                failed += "\n\"" + to + "\": " + archive::FailureReason(e);
            }
        }
    }
    if (!failed.empty() && Tell)
        Tell("Не все примечания удалось скопировать:" + failed);
    Write();
}

// --- Reading ------------------------------------------------------------------------------------

AnsiString TArchive::Value(const TTreeNode* Entry) const
{
    const auto it = FValues.find(Entry);
    return it == FValues.end() ? AnsiString() : it->second;
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

void TArchive::IndexAll()
{
    FKeys.clear();
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext())
        Index(n, 1);
}

void TArchive::Index(const TTreeNode* Entry, int Delta)
{
    const char* section = EntrySection(Entry);
    if (!*section)
        return;
    const AnsiString key = KeyOf(section, Entry->Text());
    if ((FKeys[key] += Delta) <= 0)
        FKeys.erase(key);
    else
        FKept.erase(key);
}

// --- Writing ------------------------------------------------------------------------------------

std::vector<std::pair<AnsiString, AnsiString>> TArchive::Keys() const
{
    // The keys of the entries that have one, in the tree's order; the first entry of a key gives its
    // value.
    std::vector<std::pair<AnsiString, AnsiString>> keys;
    std::unordered_set<AnsiString> done;
    for (const TTreeNode* n = FTree.Items()->GetFirstNode(); n; n = n->GetNext()) {
        const auto value = FValues.find(n);
        if (value == FValues.end() || !IsValidTitle(n->Text()))
            continue;
        AnsiString key = KeyOf(EntrySection(n), n->Text());
        if (done.insert(key).second)
            keys.emplace_back(std::move(key), Trim(n->Text()) + "=" + Trim(value->second));
    }
    return keys;
}

AnsiString TArchive::MapBytes(const std::vector<std::pair<AnsiString, AnsiString>>& Keys, bool Also) const
{
    // Each section: its keys, then with Also the keys the tree on disk may need that no entry has now.
    std::unordered_set<AnsiString> done;
    AnsiString out;
    for (const char* section : Sections) {
        const AnsiString prefix = AnsiString(section) + '\x01';
        AnsiString lines;
        for (const auto& [key, line] : Keys)
            if (key.compare(0, prefix.size(), prefix) == 0) {
                done.insert(key);
                lines += line + "\r\n";
            }
        const auto add = [&](const auto& Extra) {
            for (const auto& [key, line] : Extra)
                if (key.compare(0, prefix.size(), prefix) == 0 && done.insert(key).second)
                    lines += line + "\r\n";
        };
        add(FKept);
        if (Also)
            add(FWritten);
        if (!lines.empty())
            out += "[" + AnsiString(section) + "]\r\n" + lines;
    }
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
    auto keys = Keys();
    const AnsiString exact = MapBytes(keys, false), wide = MapBytes(keys, true);
    if (wide != FWrittenMap || !FileExists(mapPath)) {
        SafeWriteFileBytes(mapPath, wide);
        FWrittenMap = wide;
    }
    if (!FKeepAsideSuffix.empty()) {
        treefile::KeepAside(FTreePath, FKeepAsideSuffix);
        FKeepAsideSuffix.clear();
    }
    treefile::WriteClosedTreeFile(FTreePath, FTree, IsFolder);
    FWritten.clear();
    for (auto& [key, line] : keys)
        FWritten.emplace(std::move(key), std::move(line));
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
    FValues[node] = Trim(Value);
    Index(node, 1);
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
    Index(Node, -1);
    Node->SetText(title);
    if (!folder) {
        FValues[Node] = Trim(Value);
        if (IsArticle(Node) && (Image == niArticleNew || Image == niArticleRead || Image == niArticleFavourite ||
                                Image == niArticleUnread)) {
            Node->SetImageIndex(Image);
            Node->SetSelectedIndex(Image);
        }
    }
    Index(Node, 1);
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

void TArchive::Forget(const TTreeNode* Node)
{
    FValues.erase(Node);
    Index(Node, -1);
}

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
    FTree.Items()->Clear();
    FValues.clear();
    FKeys.clear();
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
    SafeWriteFileBytes(mapPath, MapBytes(Keys(), false));
    treefile::WriteClosedTreeFile(path, FTree, IsFolder);
    for (const AnsiString& title : before) {
        AnsiString note;
        if (!titles.count(AnsiUpperCase(Trim(title))) && target.NotePath(title, note))
            RemoveNoteFile(note);
    }
    return failed;
}
