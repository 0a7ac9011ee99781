// The main window's operations on the tree map: the file of an article looked up, removed and
// written with its new node, and the rules every title of an entry follows because it is a key
// of the map (INI keys match trimmed and without case, and some texts cannot be keys at all).
#pragma once

#include "Main.h"

// The FILES value of Title in the map of CurrentTreeFile ("" when absent); it becomes
// LastFileEntry, and Title becomes OpenedTitle.
AnsiString ReadFileEntry(TID_Vellorn* Form, const AnsiString& Title);

// Removes the FILES key of Title from this instance's working map.
void DeleteFileEntry(const AnsiString& Title);

// Adds an article: refuses a title that cannot be a key ("Недопустимое название") or that an
// entry of the tree already has ("Статья с таким названием уже существует"); otherwise writes
// FILES Title = File into the map TreeFileName and appends the node with Image as the last child
// of the selected folder (of the selected entry's folder; at the top level without one).
// Answers whether the node was added.
bool AddArticleNode(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& TreeFileName,
                    const AnsiString& File, Integer Image);

// The same for any entry: Section Title = Value in the map MapName; Taken is the refusal of a
// title an entry already has.
bool AddEntryNode(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& MapName, const char* Section,
                  const AnsiString& Value, Integer Image, const AnsiString& Taken);

// The longest title the tree file keeps whole: every box where a title is typed takes no more.
inline constexpr int MaxTitleLength = TTreeNodes::MaxTextLength;

// Whether the tree file keeps Title whole; a longer one is refused with a notice that names the
// limit. Every path that gives a node its title goes through here.
bool TitleFits(const AnsiString& Title);

// Whether the title box of an entry dialog holds a title the tree keeps: an empty one is refused
// with the message Refusal, a long one as TitleFits refuses it.
bool TitleGiven(TCustomEdit& Title, const AnsiString& Refusal);

// Whether Title may be given to a node: it can be a key (else the notice "Недопустимое
// название"), the tree keeps it (TitleFits) and no node other than Except (only entries, or every
// node) has its key (else the notice Taken).
bool TitleFree(const TTreeNodes& Nodes, const AnsiString& Title, const TTreeNode* Except, bool EntriesOnly,
               const AnsiString& Taken);

// Whether two titles name the same map key: trimmed and compared without case (code page 1251).
bool SameMapKey(const AnsiString& A, const AnsiString& B);

// Whether Title can be a map key: not blank, no "=", no line break, not starting with "[" or ";".
bool IsValidTitle(const AnsiString& Title);

// The node kinds of the tree.
inline bool IsFolder(const TTreeNode* Node) { return Node->ImageIndex() == 0 || Node->ImageIndex() == 1; }
inline bool IsArticle(const TTreeNode* Node)
{
    const Integer i = Node->ImageIndex();
    return i == 2 || i == 8 || i == 35 || i == 36;
}

// The first node other than Except whose kind Filter accepts and whose title is the key of Title.
template <class F>
TTreeNode* FindKeyNode(const TTreeNodes& Nodes, const AnsiString& Title, const TTreeNode* Except, F&& Filter)
{
    for (TTreeNode* n = Nodes.GetFirstNode(); n; n = n->GetNext())
        if (n != Except && Filter(n) && SameMapKey(n->Text(), Title))
            return n;
    return nullptr;
}

// The map section of an entry's kind (FILES, FLASH or URL); "" for a folder.
const char* EntrySection(const TTreeNode* Node);

// Gives the entry Node the title Title (checked already) with Value as its map value: the new
// title's key is written in the working map, the old title's key goes (unless another entry of the
// section still has it), the note follows, and so do the places that show the old title: the
// opened entry with the window's caption, the search results and the property panel's title box.
// False, with nothing changed, when the entry's note cannot follow (the notice says why). The
// caller gives the node its new text.
bool RetitleEntry(TID_Vellorn* Form, TTreeNode* Node, const AnsiString& Title, const AnsiString& Value);

// Forgets the entries of the subtree of Node before it is deleted: the map key and the note of
// each, except a key or a note that an entry elsewhere in the tree still has.
void ForgetEntries(TID_Vellorn* Form, TTreeNode* Node);

// The folder a new entry goes into: the selected folder, the folder of a selected entry, or
// none (the top level).
TTreeNode* EntryParent(TCustomTreeView& Tree);

// A notice of the main window: the plain message box titled with the application title.
void Notify(const AnsiString& Text);
// A confirmation: the Yes/No box with the exclamation icon; true for Yes.
bool Confirm(const AnsiString& Text, const AnsiString& Caption);
