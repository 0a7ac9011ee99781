#include "Model.h"

#include <windows.h>

#include <algorithm>
#include <set>
#include <cstring>
#include <functional>

#include "TestKit.h"

namespace soak {

const char* SectionOf(int image)
{
    if (IsArticle(image))
        return "FILES";
    return image == imFlash ? "FLASH" : image == imLink ? "URL" : "";
}

Ini ParseIni(const std::string& Bytes)
{
    Ini ini;
    std::string section;
    size_t at = 0;
    while (at < Bytes.size()) {
        size_t end = Bytes.find('\n', at);
        if (end == std::string::npos)
            end = Bytes.size();
        std::string line = Bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            ini[section];
        } else if (const size_t eq = line.find('='); eq != std::string::npos) {
            ini[section][line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return ini;
}

namespace {

// A little-endian reader of the node records; fails (ok false) past the end.
struct Reader {
    const std::string& b;
    size_t at;
    bool ok = true;
    int I32()
    {
        if (at + 4 > b.size()) {
            ok = false;
            return 0;
        }
        unsigned v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(b[at + i]);
        at += 4;
        return static_cast<int>(v);
    }
    std::string Short()
    {
        if (at >= b.size() || at + 1 + static_cast<unsigned char>(b[at]) > b.size()) {
            ok = false;
            return {};
        }
        const size_t n = static_cast<unsigned char>(b[at]);
        std::string s = b.substr(at + 1, n);
        at += 1 + n;
        return s;
    }
};

bool ReadNodes(Reader& r, int count, Tree& out)
{
    for (int i = 0; i < count && r.ok; ++i) {
        Node n;
        r.I32(); // the record's size
        n.image = r.I32();
        r.I32(); // selected image, state, overlay, data
        r.I32();
        r.I32();
        r.I32();
        const int kids = r.I32();
        n.title = r.Short();
        if (!r.ok || kids < 0 || !ReadNodes(r, kids, n.kids))
            return false;
        out.push_back(std::move(n));
    }
    return r.ok;
}

} // namespace

std::optional<Tree> ParseTreeFile(const std::string& Bytes)
{
    if (Bytes.compare(0, 4, "TPF0") != 0)
        return std::nullopt;
    const std::string property = std::string("\x0aItems.Data\x0a", 12);
    const size_t at = Bytes.find(property);
    if (at == std::string::npos)
        return Tree{};
    Reader r{Bytes, at + property.size()};
    r.I32(); // the length of the data
    Tree tree;
    if (!ReadNodes(r, r.I32(), tree))
        return std::nullopt;
    return tree;
}

std::string Show(const Tree& T)
{
    std::string out;
    std::function<void(const Tree&, int)> walk = [&](const Tree& nodes, int level) {
        for (const Node& n : nodes) {
            out += std::string(2 * level, ' ') + "\"" + n.title + "\"/" + std::to_string(n.image) + "\n";
            walk(n.kids, level + 1);
        }
    };
    walk(T, 1);
    return out;
}

Tree Closed(Tree T)
{
    for (Node& n : T) {
        if (IsFolder(n.image))
            n.image = imFolder;
        n.kids = Closed(std::move(n.kids));
    }
    return T;
}

std::string NoteName(const std::string& Title)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string name;
    for (const char c : Title) {
        const auto u = static_cast<unsigned char>(c);
        if (u < ' ' || std::strchr("\\/:*?\"<>|=", c))
            name += std::string("=") + hex[u >> 4] + hex[u & 15];
        else
            name += c;
    }
    return name;
}

std::vector<std::string> FileLines(const std::string& Path)
{
    std::vector<std::string> lines;
    for (std::string text = testkit::ReadFileBytes(Path); !text.empty();) {
        const size_t end = text.find("\r\n");
        lines.push_back(text.substr(0, end));
        text.erase(0, end == std::string::npos ? text.size() : end + 2);
    }
    return lines;
}

std::string Trimmed(const std::string& Title)
{
    const size_t first = Title.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return Title.substr(first, Title.find_last_not_of(' ') - first + 1);
}

bool SameText(const std::string& A, const std::string& B)
{
    return CompareStringA(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT), NORM_IGNORECASE,
                          A.data(), static_cast<int>(A.size()), B.data(), static_cast<int>(B.size())) == CSTR_EQUAL;
}

Node* Model::Find(const std::string& Title, Tree** Owner, bool Anycase)
{
    std::function<Node*(Tree&)> walk = [&](Tree& nodes) -> Node* {
        for (Node& n : nodes) {
            if (Anycase ? SameText(n.title, Title) : n.title == Title) {
                if (Owner)
                    *Owner = &nodes;
                return &n;
            }
            if (Node* found = walk(n.kids))
                return found;
        }
        return nullptr;
    };
    return walk(A().tree);
}

bool Model::EntryTaken(const std::string& Title, const std::string& But)
{
    for (const std::string& t : Titles(false, true))
        if (t != But && SameText(t, Title))
            return true;
    return false;
}

void Model::Remove(const std::string& Title)
{
    Tree* owner = nullptr;
    Node* node = Find(Title, &owner);
    if (!node)
        return;
    Archive& a = A();
    std::function<void(const Node&)> forget = [&](const Node& n) {
        if (!IsFolder(n.image)) {
            a.map[SectionOf(n.image)].erase(n.title);
            a.notes.erase(n.title);
        }
        for (const Node& k : n.kids)
            forget(k);
    };
    forget(*node);
    owner->erase(owner->begin() + (node - owner->data()));
}

std::vector<std::string> Model::Titles(bool Folders, bool Entries) const
{
    std::vector<std::string> out;
    std::function<void(const Tree&)> walk = [&](const Tree& nodes) {
        for (const Node& n : nodes) {
            if (IsFolder(n.image) ? Folders : Entries)
                out.push_back(n.title);
            walk(n.kids);
        }
    };
    walk(A().tree);
    return out;
}

int Model::CountImage(int image) const
{
    int count = 0;
    std::function<void(const Tree&)> walk = [&](const Tree& nodes) {
        for (const Node& n : nodes) {
            count += n.image == image;
            walk(n.kids);
        }
    };
    walk(A().tree);
    return count;
}

namespace {

std::string ShowIni(const std::map<std::string, std::string>& Section)
{
    std::string out;
    for (const auto& [k, v] : Section)
        out += "  " + k + "=" + v + "\n";
    return out;
}

// The files of a folder by name, with their bytes (not the archive's own ".keep").
std::map<std::string, std::string> FilesIn(const std::string& Folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((Folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            files[found.cFileName] = testkit::ReadFileBytes(Folder + found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return files;
}

// File names as the file system finds them: without letter case (a note written over one whose
// name differs only in case keeps the old name, and is found by either).
struct NoCase {
    static std::string Upper(std::string T)
    {
        if (!T.empty())
            CharUpperBuffA(T.data(), static_cast<DWORD>(T.size()));
        return T;
    }
    bool operator()(const std::string& A, const std::string& B) const { return Upper(A) < Upper(B); }
};
using Names = std::map<std::string, std::string, NoCase>;

// The note files of a name: title part -> bytes.
Names NotesOf(const std::map<std::string, std::string>& Files, const std::string& Name)
{
    Names out;
    const std::string tail = "_" + Name + ".txt";
    for (const auto& [file, text] : Files)
        if (file.size() > tail.size() && file.compare(file.size() - tail.size(), tail.size(), tail) == 0)
            out[file.substr(0, file.size() - tail.size())] = text;
    return out;
}

// Every entry of a tree (folders not), with its image.
void EntriesOf(const Tree& T, std::vector<const Node*>& Out)
{
    for (const Node& n : T) {
        if (!IsFolder(n.image))
            Out.push_back(&n);
        EntriesOf(n.kids, Out);
    }
}

} // namespace

std::string ArchiveDifference(const Archive& A, const std::string& Files, const std::string& File)
{
    const std::string file = "tree\\" + File;
    const std::optional<Tree> tree = ParseTreeFile(testkit::ReadFileBytes(Files + file + ".vlt"));
    if (!tree)
        return file + ".vlt is no tree file";
    if (Closed(*tree) != A.tree)
        return file + ".vlt holds\n" + Show(Closed(*tree)) + "expected\n" + Show(A.tree);
    Ini map = ParseIni(testkit::ReadFileBytes(Files + file + ".ini"));
    // A line of a title no entry of the tree has is left over by a write cut short (the tree is
    // written between two writes of the map): it names nothing and gives nothing to a new entry.
    std::vector<const Node*> entries;
    EntriesOf(A.tree, entries);
    for (const char* section : {"FILES", "FLASH", "URL"}) {
        const auto want = A.map.count(section) ? A.map.at(section) : std::map<std::string, std::string>{};
        std::map<std::string, std::string> have = map[section];
        for (auto line = have.begin(); line != have.end();)
            line = !want.count(line->first) && std::none_of(entries.begin(), entries.end(),
                                                            [&](const Node* n) { return SameText(n->title, line->first); })
                       ? have.erase(line)
                       : std::next(line);
        if (have != want)
            return file + ".ini [" + section + "] holds\n" + ShowIni(map[section]) + "expected\n" + ShowIni(want);
    }
    return "";
}

std::string FirstNoteDifference(const Archive& A, const std::string& Files, std::set<std::string>* Strays)
{
    Names want;
    for (const auto& [title, text] : A.notes)
        want[NoteName(title)] = text;
    std::set<std::string, NoCase> entries;
    std::vector<const Node*> nodes;
    EntriesOf(A.tree, nodes);
    for (const Node* n : nodes)
        entries.insert(NoteName(n->title));
    const auto have = NotesOf(FilesIn(Files + "text\\"), A.noteName);
    for (const auto& [part, text] : have)
        if (!want.count(part) && Strays && !entries.count(part))
            Strays->insert(part + "_" + A.noteName + ".txt");
        else if (!want.count(part))
            return "text\\" + part + "_" + A.noteName + ".txt is there (\"" + text + "\"), no entry has it";
        else if (want.at(part) != text)
            return "text\\" + part + "_" + A.noteName + ".txt holds \"" + text + "\", expected \"" + want.at(part) + "\"";
    for (const auto& [part, text] : want)
        if (!have.count(part))
            return "text\\" + part + "_" + A.noteName + ".txt is missing (expected \"" + text + "\")";
    return "";
}

std::string ArchiveTie(const std::string& Files, const std::string& File, const std::string& Name,
                       const std::map<std::string, std::string>& Notes)
{
    const std::optional<Tree> tree = ParseTreeFile(testkit::ReadFileBytes(Files + "tree\\" + File + ".vlt"));
    if (!tree)
        return "tree\\" + File + ".vlt is no tree file";
    Ini map = ParseIni(testkit::ReadFileBytes(Files + "tree\\" + File + ".ini"));
    std::vector<const Node*> entries;
    EntriesOf(*tree, entries);
    for (const Node* n : entries) {
        if (!map[SectionOf(n->image)].count(n->title))
            return "tree\\" + File + ".vlt has \"" + n->title + "\", its map no key for it";
        if (Notes.count(n->title) &&
            testkit::ReadFileBytes(Files + "text\\" + NoteName(n->title) + "_" + Name + ".txt") != Notes.at(n->title))
            return "tree\\" + File + ".vlt has \"" + n->title + "\", its note is not there as given";
    }
    return "";
}

std::optional<Archive> ReadArchive(const std::string& Files, const std::string& File, const std::string& Name)
{
    const std::optional<Tree> tree = ParseTreeFile(testkit::ReadFileBytes(Files + "tree\\" + File + ".vlt"));
    if (!tree)
        return std::nullopt;
    Archive a;
    a.tree = Closed(*tree);
    a.noteName = Name;
    const Ini map = ParseIni(testkit::ReadFileBytes(Files + "tree\\" + File + ".ini"));
    for (const char* section : {"FILES", "FLASH", "URL"})
        if (map.count(section))
            a.map[section] = map.at(section);
    const Names byPart = NotesOf(FilesIn(Files + "text\\"), Name);
    std::vector<const Node*> entries;
    EntriesOf(a.tree, entries);
    for (const Node* n : entries)
        if (const auto note = byPart.find(soak::NoteName(n->title)); note != byPart.end())
            a.notes[n->title] = note->second;
    return a;
}

std::string FirstDifference(const Model& M, const std::string& Files, bool FormToo)
{
    for (const auto& [file, archive] : M.trees)
        if (std::string diff = ArchiveDifference(archive, Files, file); !diff.empty())
            return diff;

    Names notes;
    for (const auto& [file, archive] : M.trees)
        for (const auto& [title, text] : archive.notes)
            notes[NoteName(title) + "_" + archive.noteName + ".txt"] = text;
    const auto all = FilesIn(Files + "text\\");
    const Names files(all.begin(), all.end());
    for (const auto& [name, text] : files)
        if (!notes.count(name) && M.strayNotes.count(name))
            continue;
        else if (!notes.count(name))
            return "text\\" + name + " is there (\"" + text + "\"), no entry has it";
        else if (notes.at(name) != text)
            return "text\\" + name + " holds \"" + text + "\", expected \"" + notes.at(name) + "\"";
    for (const auto& [name, text] : notes)
        if (!files.count(name))
            return "text\\" + name + " is missing (expected \"" + text + "\")";
    for (const auto& [name, page] : M.pages) {
        const std::string bytes = testkit::ReadFileBytes(Files + name);
        const std::pair<const char*, std::string> parts[] = {{"title", "<title>" + page.title + "</title>"},
                                                              {"text", page.text},
                                                              {"author", page.author},
                                                              {"e-mail", "mailto:" + page.email + "\""}};
        for (const auto& [what, part] : parts)
            if (bytes.find(part) == std::string::npos)
                return "the page " + name + " has not the " + what + " written (\"" + part + "\"):\n" + bytes;
    }
    if (!FormToo)
        return "";

    Ini form = ParseIni(testkit::ReadFileBytes(Files + "form.ini"));
    for (const auto& [section, keys] : M.form)
        for (const auto& [key, value] : keys) {
            const auto has = form[section].find(key);
            if (value.empty() ? has != form[section].end() : has == form[section].end() || has->second != value)
                return "form.ini [" + section + "] " + key + "=" + (has == form[section].end() ? "(none)" : has->second) +
                       ", expected " + (value.empty() ? "(none)" : value);
        }
    if (form["FORM"]["Skin"] != M.skin)
        return "form.ini Skin=" + form["FORM"]["Skin"] + ", expected " + M.skin;
    if (form["ST"]["Count"] != std::to_string(M.CountImage(imNew)))
        return "form.ini [ST] Count=" + form["ST"]["Count"] + ", expected " + std::to_string(M.CountImage(imNew));
    // The address list: each address once (in the order they came, which two programs closing in
    // turn may merge either way).
    const std::vector<std::string> lines = FileLines(Files + "list");
    std::vector<std::string> want = M.list;
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    std::sort(want.begin(), want.end());
    if (sorted != want) {
        std::string have, expected;
        for (const std::string& line : lines)
            have += "  " + line + "\n";
        for (const std::string& line : M.list)
            expected += "  " + line + "\n";
        return "list holds\n" + have + "expected\n" + expected;
    }
    const std::pair<const char*, const std::string*> same[] = {{"settings.ini", &M.settings},
                                                                {"Settings2.ini", &M.settings2}};
    for (const auto& [name, bytes] : same)
        if (testkit::ReadFileBytes(Files + name) != *bytes)
            return std::string(name) + " holds \"" + testkit::ReadFileBytes(Files + name) + "\", expected \"" + *bytes +
                   "\"";
    return "";
}

} // namespace soak
