// What the archive must hold after a user's session, built from the actions and the answers given,
// and the reading of the program's files and tree that it is compared with.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace soak {

// Images of the tree: a folder (0 closed, 1 open), the four marks of an article, a movie, a link.
enum Image { imFolder = 0, imNew = 2, imRead = 8, imFavourite = 35, imUnread = 36, imFlash = 38, imLink = 39 };

struct Node {
    std::string title;
    int image = imFolder;
    std::vector<Node> kids;
    bool operator==(const Node& o) const { return title == o.title && image == o.image && kids == o.kids; }
};
using Tree = std::vector<Node>;

inline bool IsFolder(int image) { return image == 0 || image == 1; }
inline bool IsArticle(int image) { return image == imNew || image == imRead || image == imFavourite || image == imUnread; }
// The map's section of an entry's image.
const char* SectionOf(int image);

// An INI file as sections of key = value lines, in order.
using Ini = std::map<std::string, std::map<std::string, std::string>>;
Ini ParseIni(const std::string& Bytes);

// The nodes of a tree file (its Items.Data records); none when the file is no tree file.
std::optional<Tree> ParseTreeFile(const std::string& Bytes);

// The tree with every folder closed (image 0), as the model has it.
Tree Closed(Tree T);

// A tree one line per node ("  title/image"), for the log and the differences.
std::string Show(const Tree& T);

// The note file's name part of a title: characters no file name holds, and "=", as "=" and two
// hex digits.
std::string NoteName(const std::string& Title);

struct Model {
    // The tree file the program works on, FILES\tree\<archive>.vlt ("Temp", the working tree, or a
    // tree loaded in its window): its tree, its map, its notes, each written as it changes.
    std::string archive = "Temp";
    Tree tree;
    Ini map; // FILES, FLASH and URL sections: title = file or address
    std::map<std::string, std::string> notes; // title -> bytes of its note file (of the tree's name)
    // The name the archive's notes go by: a note file's name ends in "_" + name + ".txt" (the
    // working tree's name in form.ini, NameTree, for the working tree; else the tree's own name).
    std::string name = "VLN";
    std::string workingName = "VLN";
    // The note files of the other trees' names: name -> title -> bytes.
    std::map<std::string, std::map<std::string, std::string>> otherNotes;
    // The other trees, FILES\tree\<name>.vlt with their maps <name>.ini.
    struct Saved {
        Tree tree;
        Ini map;
    };
    std::map<std::string, Saved> saved;
    std::string skin;
    std::vector<std::string> list; // the address list: each page opened, once
    // settings.ini as the settings dialog left it; Settings2.ini, which the session never changes.
    std::string settings, settings2;

    // The node with the title, and the list that holds it (null when none).
    Node* Find(const std::string& Title, Tree** Owner = nullptr);
    bool Has(const std::string& Title) { return Find(Title) != nullptr; }
    // Removes the node with everything below it, with their keys and notes.
    void Remove(const std::string& Title);
    // Every title of the tree, in order (folders when Folders, entries when Entries).
    std::vector<std::string> Titles(bool Folders, bool Entries) const;
    int CountImage(int image) const;
};

// The first difference between the model and the archive folder Files ("...\\FILES\\") after a
// close; "" when there is none.
std::string FirstDifference(const Model& M, const std::string& Files);

} // namespace soak
