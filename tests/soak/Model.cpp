#include "Model.h"

#include <windows.h>

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
            out += std::string(2 * level, ' ') + n.title + "/" + std::to_string(n.image) + "\n";
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

Node* Model::Find(const std::string& Title, Tree** Owner)
{
    std::function<Node*(Tree&)> walk = [&](Tree& nodes) -> Node* {
        for (Node& n : nodes) {
            if (n.title == Title) {
                if (Owner)
                    *Owner = &nodes;
                return &n;
            }
            if (Node* found = walk(n.kids))
                return found;
        }
        return nullptr;
    };
    return walk(tree);
}

void Model::Remove(const std::string& Title)
{
    Tree* owner = nullptr;
    Node* node = Find(Title, &owner);
    if (!node)
        return;
    std::function<void(const Node&)> forget = [&](const Node& n) {
        if (!IsFolder(n.image)) {
            map[SectionOf(n.image)].erase(n.title);
            notes.erase(n.title);
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
    walk(tree);
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
    walk(tree);
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

// The first difference of the tree file FILES\tree\<Name>.vlt and its map <Name>.ini from T and
// Map; "" when there is none.
std::string TreeDifference(const std::string& Files, const std::string& Name, const Tree& T, const Ini& Map)
{
    const std::string file = "tree\\" + Name;
    const std::optional<Tree> tree = ParseTreeFile(testkit::ReadFileBytes(Files + file + ".vlt"));
    if (!tree)
        return file + ".vlt is no tree file";
    if (Closed(*tree) != T)
        return file + ".vlt holds\n" + Show(*tree) + "expected\n" + Show(T);
    Ini map = ParseIni(testkit::ReadFileBytes(Files + file + ".ini"));
    for (const char* section : {"FILES", "FLASH", "URL"}) {
        const auto want = Map.count(section) ? Map.at(section) : std::map<std::string, std::string>{};
        if (map[section] != want)
            return file + ".ini [" + section + "] holds\n" + ShowIni(map[section]) + "expected\n" + ShowIni(want);
    }
    return "";
}

} // namespace

std::string FirstDifference(const Model& M, const std::string& Files)
{
    if (std::string diff = TreeDifference(Files, M.archive, M.tree, M.map); !diff.empty())
        return diff;
    for (const auto& [name, saved] : M.saved)
        if (name != M.archive)
            if (std::string diff = TreeDifference(Files, name, saved.tree, saved.map); !diff.empty())
                return diff;

    std::map<std::string, std::string> notes;
    const auto expect = [&](const std::string& Name, const std::map<std::string, std::string>& Notes) {
        for (const auto& [title, text] : Notes)
            notes[NoteName(title) + "_" + Name + ".txt"] = text;
    };
    expect(M.name, M.notes);
    for (const auto& [name, kept] : M.otherNotes)
        expect(name, kept);
    const auto files = FilesIn(Files + "text\\");
    for (const auto& [name, text] : files)
        if (!notes.count(name))
            return "text\\" + name + " is there (\"" + text + "\"), no entry has it";
        else if (notes.at(name) != text)
            return "text\\" + name + " holds \"" + text + "\", expected \"" + notes.at(name) + "\"";
    for (const auto& [name, text] : notes)
        if (!files.count(name))
            return "text\\" + name + " is missing (expected \"" + text + "\")";

    Ini form = ParseIni(testkit::ReadFileBytes(Files + "form.ini"));
    if (form["FORM"]["Skin"] != M.skin)
        return "form.ini Skin=" + form["FORM"]["Skin"] + ", expected " + M.skin;
    if (form["FORM"]["NameTree"] != M.workingName)
        return "form.ini NameTree=" + form["FORM"]["NameTree"] + ", expected " + M.workingName;
    // form.ini names the tree the program works on unless it is the working tree.
    const std::string treeFile = M.archive == "Temp" ? "" : Files + "tree\\" + M.archive + ".vlt";
    if ((form["FORM"].count("TreeFile") ? form["FORM"]["TreeFile"] : "") != treeFile)
        return "form.ini TreeFile=" + form["FORM"]["TreeFile"] + ", expected " + treeFile;
    if (form["ST"]["Count"] != std::to_string(M.CountImage(imNew)))
        return "form.ini [ST] Count=" + form["ST"]["Count"] + ", expected " + std::to_string(M.CountImage(imNew));
    std::string list;
    for (const std::string& line : M.list)
        list += line + "\r\n";
    const std::pair<const char*, const std::string*> same[] = {
        {"settings.ini", &M.settings}, {"Settings2.ini", &M.settings2}, {"list", &list}};
    for (const auto& [name, bytes] : same)
        if (testkit::ReadFileBytes(Files + name) != *bytes)
            return std::string(name) + " holds \"" + testkit::ReadFileBytes(Files + name) + "\", expected \"" + *bytes +
                   "\"";
    return "";
}

} // namespace soak
