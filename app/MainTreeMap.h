// The main window's side of the archive's rules: the node kinds, the rules a title follows because
// it is a key of the map (INI keys match trimmed and without case, and some texts cannot be keys at
// all), and the window's follow-up of a change of an entry (the opened entry, the caption, the
// search results, the property panel).
#pragma once

#include "Main.h"

// The longest title the tree file keeps whole: every box where a title is typed takes no more.
inline constexpr int MaxTitleLength = TTreeNodes::MaxTextLength;

// Whether the title box of a dialog holds a title an entry of the kind Image may take (Node's own;
// a new entry's when Node is null), by the archive's one title rule: the refusal is told and the
// box gets the focus (what was typed stays) when it may not.
bool TitleAccepted(TCustomEdit& Title, Integer Image, const TTreeNode* Node, const AnsiString& Empty = "Введите название");

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

// Gives the node Node the title, value and image given through the archive (its key and note
// follow), and the places that show the old title follow it: the opened entry with the window's
// caption, the search results and the property panel's title box. The opened entry's typed note
// must be able to follow. False, with nothing changed, when refused (the notice says why).
bool RetitleEntry(TID_Vellorn* Form, TTreeNode* Node, const AnsiString& Title, const AnsiString& Value, Integer Image);

// The folder a new entry goes into: the selected folder, the folder of a selected entry, or
// none (the top level).
TTreeNode* EntryParent(TCustomTreeView& Tree);

// A notice of the main window: the plain message box titled with the application title.
void Notify(const AnsiString& Text);
// A confirmation: the Yes/No box with the exclamation icon; true for Yes.
bool Confirm(const AnsiString& Text, const AnsiString& Caption);
