// What the archive must hold after a user's session, built from the actions and the answers given,
// and the reading of the program's files and tree that it is compared with.
#pragma once

#include <map>
#include <optional>
#include <set>
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

// A tree one line per node (  "title"/image), for the log and the differences.
std::string Show(const Tree& T);

// The note file's name part of a title: characters no file name holds, and "=", as "=" and two
// hex digits.
std::string NoteName(const std::string& Title);

// One archive: a tree file FILES\tree\<file>.vlt, its map <file>.ini and its notes
// FILES\text\<title>_<noteName>.txt.
struct Archive {
    Tree tree;
    Ini map; // FILES, FLASH and URL sections: title = file or address
    std::map<std::string, std::string> notes; // title -> bytes of its note file
    std::string noteName;
};

// What the user expects of the archive folder: every tree file with its map and notes, the one the
// window works on, and the program's own files.
struct Model {
    // The archives by tree file name: the working tree "Temp", the copies of second programs
    // ("Temp (2)"), the trees saved.
    std::map<std::string, Archive> trees;
    std::string current = "Temp"; // the archive the window works on
    Archive& A() { return trees[current]; }
    const Archive& A() const { return trees.at(current); }
    std::string skin;
    std::vector<std::string> list; // the address list: each page opened, once
    // settings.ini as the settings dialog left it; Settings2.ini as the page editor wrote it.
    std::string settings, settings2;
    // The pages the page editor wrote, by file name under FILES\: the title, text, author and
    // e-mail written into each.
    struct Page {
        std::string title, text, author, email;
    };
    std::map<std::string, Page> pages;
    // The window's place and panels as form.ini has them (the session never changes them).
    Ini form;
    // Note files a kill left of entries gone (file names): no entry shows them, a new entry of the
    // title removes them; they may be there or not.
    std::set<std::string> strayNotes;

    // The node with the title (compared without letter case when Anycase), and the list that
    // holds it (null when none).
    Node* Find(const std::string& Title, Tree** Owner = nullptr, bool Anycase = false);
    bool Has(const std::string& Title) { return Find(Title) != nullptr; }
    // An entry's title taken by another entry (compared without letter case).
    bool EntryTaken(const std::string& Title, const std::string& But = {});
    // Removes the node with everything below it, with their keys and notes.
    void Remove(const std::string& Title);
    // Every title of the tree, in order (folders when Folders, entries when Entries).
    std::vector<std::string> Titles(bool Folders, bool Entries) const;
    int CountImage(int image) const;
};

// The lines of a text file (CR LF between them).
std::vector<std::string> FileLines(const std::string& Path);

// The title as the program keeps a typed one: blanks at both ends dropped.
std::string Trimmed(const std::string& Title);
// Two titles alike but for letter case (Cyrillic too, as code page 1251 has it).
bool SameText(const std::string& A, const std::string& B);

// The first difference of one archive's files under Files ("...\\FILES\\") from the model's:
// its tree file, its map and its notes; "" when there is none.
std::string ArchiveDifference(const Archive& A, const std::string& Files, const std::string& File);
// The first difference of the archive's notes (the note files of its name) from the model's; ""
// when there is none.
// Strays (when given) takes the note files of titles the tree has no entry for instead: a write cut
// short by a kill leaves them (the notes of entries gone go once the tree is written).
std::string FirstNoteDifference(const Archive& A, const std::string& Files, std::set<std::string>* Strays = nullptr);
// Whether the archive's files agree with each other: every entry of the tree file has its key in
// the map and, when Notes holds a note for it, that note (of the name Name); "" when they do, else the first that
// does not.
std::string ArchiveTie(const std::string& Files, const std::string& File, const std::string& Name,
                       const std::map<std::string, std::string>& Notes);
// The archive as its files hold it (null tree when the tree file is no tree file).
std::optional<Archive> ReadArchive(const std::string& Files, const std::string& File, const std::string& Name);

// The first difference between the model and the archive folder Files ("...\\FILES\\") after a
// close; "" when there is none. FormToo: form.ini, the address list and the settings as well
// (they are written at the close only).
std::string FirstDifference(const Model& M, const std::string& Files, bool FormToo = true);

} // namespace soak
