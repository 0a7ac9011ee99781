// The archive a main window works on: the article tree on screen, the tree file it is kept in, the
// map of its entries' files and addresses, and their notes, all named after one name. Every change
// of the tree's entries goes through here and is on disk before the call returns, in an order
// that keeps the three files agreeing at every moment the process may end:
// - a note an entry takes (a rename) is copied before the tree names the entry so;
// - the map is written with every key the tree file on disk still needs, before the tree file;
// - the tree file, written with every folder closed (as the close writes it);
// - the map without the keys no entry needs any more, and the notes no entry has any more.
// An end in the middle costs the change under way, never an entry without its key or its note.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "ComCtrlsTree.h"
#include "TreeFile.h"

class TArchive {
public:
    explicit TArchive(TCustomTreeView& Tree);
    ~TArchive();
    TArchive(const TArchive&) = delete;
    TArchive& operator=(const TArchive&) = delete;

    // --- Which archive ------------------------------------------------------------------------
    // The one name: the tree file's name without ".vlt". The map is FILES\tree\<Name>.ini; the notes
    // are FILES\text\<title>_<NotesName>.txt.
    const AnsiString& Name() const { return FName; }
    // The full path of the tree file the archive is kept in; "" before one is opened.
    const AnsiString& TreePath() const { return FTreePath; }
    AnsiString MapPath() const;
    // The working tree (FILES\tree\Temp.vlt) names its notes after the tree name of form.ini; every
    // other tree after its own name.
    const AnsiString& NotesName() const { return FNotesName; }
    // Whether Path is the working tree's file, FILES\tree\Temp.vlt.
    static bool IsWorkingTree(const AnsiString& Path);
    // The map and notes an archive of the tree file Path has (NotesName for the working tree).
    static AnsiString MapPathOf(const AnsiString& TreePath);

    // How Open takes the nodes: read from the file (a missing one raises EFOpenError, a damaged
    // one EReadError), the same with a missing file taken as an empty tree, or an empty tree.
    enum class TOpen { Read, MissingIsEmpty, Empty };
    // The archive of the tree file Path from now on: its nodes read from From (Path itself when
    // empty), the entries' values from its map. Nothing changes when the file cannot be read. Read
    // from another file than its own, the archive is written at once.
    void Open(const AnsiString& Path, const AnsiString& NotesName, const AnsiString& From = "",
              TOpen How = TOpen::Read);
    // The archive of the tree file Path from now on, made as a copy of the archive of the tree
    // file Source (its tree as on disk, its map and the notes of its entries, named NotesName
    // there): written whole at once. A source that cannot be read gives an empty copy.
    void OpenCopy(const AnsiString& Path, const AnsiString& Source, const AnsiString& SourceNotes);
    // The first free name "Temp (n)" (n = 2, 3, ...) in FILES\tree\: no tree, map or note of it yet.
    static AnsiString FreeCopyPath();

    // The tree file could not be read at start and was not kept aside yet: the next write keeps it
    // aside first (Path + Suffix), so that a file the user may still want is never overwritten.
    void KeepAsideBeforeWrite(const AnsiString& Suffix) { FKeepAsideSuffix = Suffix; }

    // --- Reading ------------------------------------------------------------------------------
    // The file (article, movie) or address (link) of an entry; "" for a folder or none.
    AnsiString Value(const TTreeNode* Entry) const;
    // The entry whose title is the key of Title (trimmed, without case); null when none.
    TTreeNode* FindEntry(const AnsiString& Title) const;
    // Whether an entry of the tree has the key of Entry (its kind and title), at once.
    bool Holds(const TTreeNode* Entry) const;
    // The note file of the entry titled Title; false, with Reason, when the title (or the tree's
    // name) cannot name a file.
    bool NotePath(const AnsiString& Title, AnsiString& Path, AnsiString* Reason = nullptr) const;

    // --- The title rule -----------------------------------------------------------------------
    // A typed title as the tree keeps it: blanks at both ends dropped.
    static AnsiString CleanTitle(const AnsiString& Typed);
    // Why the typed title cannot be the title of a node of the kind Image (a folder, an article, a
    // link, a movie): Node's own (a new node's when null, in the folder Parent). "" when it can.
    // Empty titles are refused with Empty. Every title is kept whole by the tree file. An entry's
    // is a key of the map (no "=", no line break, not starting with "[" or ";") and no other
    // entry's (compared trimmed and without case: a change of its own case is allowed); a folder's
    // is no other folder's beside it.
    AnsiString TitleRefusal(const AnsiString& Typed, Integer Image, const TTreeNode* Node, const TTreeNode* Parent,
                            const AnsiString& Empty = "Введите название") const;

    // --- Changes (each written before it returns) ---------------------------------------------
    // Each refusal or failure is told through Tell, with nothing changed; a change made that could
    // not be written is told too, once until a write succeeds again, and stays on screen for the
    // close to write.
    std::function<void(const AnsiString&)> Tell;

    // A new entry (Image: its kind and mark) with its value as the last child of Parent (the top
    // level for null). Null when refused.
    TTreeNode* AddEntry(TTreeNode* Parent, const AnsiString& Title, Integer Image, const AnsiString& Value);
    // A new folder as the last child of Parent (the top level for null). Null when refused.
    TTreeNode* AddFolder(TTreeNode* Parent, const AnsiString& Title);
    // Node takes the title, value and image given (a folder the title only); its key and note
    // follow its title. False when refused (nothing changed).
    bool Change(TTreeNode* Node, const AnsiString& Title, const AnsiString& Value, Integer Image);
    bool Rename(TTreeNode* Node, const AnsiString& Title) { return Change(Node, Title, Value(Node), Node->ImageIndex()); }
    // An article's mark.
    void Mark(TTreeNode* Node, Integer Image);
    // Moves Node to the end of the folder Target's children (the top level for null); false when
    // it cannot go there (into itself or its own subtree, or into an entry).
    bool Move(TTreeNode* Node, TTreeNode* Target);
    // Deletes Node with its subtree, and the keys and notes of its entries that no other entry has.
    void Delete(TTreeNode* Node);
    // Deletes every node, with every key and note of the tree's entries.
    void Clear();

    // Writes the text as the note of the entry titled Title (CP1251 text); raises with the reason.
    void WriteNote(const AnsiString& Title, const AnsiString& Text);
    // Removes the note of the entry titled Title; false, told why, when it stays. A note already
    // gone counts as removed.
    bool RemoveNote(const AnsiString& Title);

    // Writes a copy of the archive as the tree file Path: the notes of its entries under the name
    // NotesName, its map, its tree (folders closed); when Path held a tree already, the notes of
    // that tree's entries that the copy does not have go. A failure of the map or the tree raises
    // with the reason; the notes that could not be copied are answered, each on a line with its
    // reason ("" when all were).
    AnsiString SaveCopy(const AnsiString& Path, const AnsiString& NotesName) const;

    // Writes what is not on disk yet (nothing when all is, unless Always or the tree file is
    // missing). Raises with the reason of a failure.
    void Flush(bool Always = false);
    // Whether a change is not on disk yet.
    bool Dirty() const { return FDirty; }

    // A node is leaving the tree (the view's deletion event, for each node of a subtree and of a
    // cleared tree): its value is forgotten.
    void Forget(const TTreeNode* Node);

private:
    // Takes the nodes of Stream and the values of Map for them as the archive of the tree file Path.
    void Take(const AnsiString& Path, const AnsiString& NotesName, const treefile::TTreeStream& Stream,
              const std::unordered_map<AnsiString, AnsiString>& Map);
    // An entry comes into the archive's books (Mapped: it has a key in the map, with Value), or
    // leaves them (its key's line kept for the map while the tree file on disk may need it).
    void Enter(const TTreeNode* Entry, bool Mapped, const AnsiString& Value);
    void Leave(const TTreeNode* Entry);
    bool TitleTaken(const AnsiString& Title, const TTreeNode* Except) const;
    // The map's lines by section (FILES, FLASH, URL): the entries' keys and the keys kept; more
    // lines of keys no entry has (when not one of the tree's); and the file's bytes of the lines.
    void MapSections(AnsiString (&Lines)[3]) const;
    void AddLines(AnsiString (&Lines)[3], const std::map<AnsiString, AnsiString>& Extra) const;
    static AnsiString MapBytes(const AnsiString (&Lines)[3]);
    // A change made: written now (Flush), then the notes of the titles Gone that no entry has;
    // a failure is told (once until a write succeeds) and the change stays for the next write.
    void Write(std::vector<AnsiString> Gone = {});
    void RemoveNotes(const std::vector<AnsiString>& Titles);

    TCustomTreeView& FTree;
    AnsiString FName, FTreePath, FNotesName, FKeepAsideSuffix;
    // Each entry's key ("SECTION\x01TITLE", the title trimmed and upper-cased), whether it has one
    // in the map, its value and its map line ("Title=Value"); and how many entries have each key.
    struct TEntry {
        AnsiString Key, Value, Line;
        bool Mapped = false;
    };
    std::unordered_map<const TTreeNode*, TEntry> FEntries;
    std::unordered_map<AnsiString, int> FKeys;
    int FShared = 0; // keys two entries or more have
    // The keys of the map file that no entry had when the archive was opened (a tree restored from
    // a copy leaves the keys of the entries it lacks): kept as they are, until an entry takes one.
    std::map<AnsiString, AnsiString> FKept;
    // The keys entries gave up since the tree file was last written, which it may still need, with
    // their lines; and the map file's bytes as last written.
    std::map<AnsiString, AnsiString> FGone;
    std::optional<AnsiString> FWrittenMap;
    // Notes whose entries went while a write failed: removed after the next write that succeeds.
    std::vector<AnsiString> FPendingGone;
    bool FDirty = false;
    bool FFailureTold = false;
};
