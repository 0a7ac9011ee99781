// The routines of the main window's reading side that more than one handler uses: opening an
// entry, the address list, the page history and the note files.
#pragma once

#include "Main.h"
#include "MemoLayout.h"

// Opens an entry of the article tree in the browser view (a folder or no node opens nothing): the
// link's address, the Flash movie's file or the article's page ("about:blank" when its file is
// missing), the caption, the entry's note and the address box. FromResults opens a node of the
// search results: the caption is "Vellorn - " + title, the history flag and the note menus stay
// as they are, and an article's page is opened without looking for its file first.
void OpenEntry(TID_Vellorn* Form, TTreeNode* Node, bool FromResults = false);

// The window's caption for the page shown: the tree's name, the opened entry's title and the page's
// title.
AnsiString PageCaption(TID_Vellorn* Form);

// Adds Address to the items of the address box unless one of them equals it without letter case
// and "&" marks.
void RememberAddress(TStrings& Items, const AnsiString& Address);
// The same for the main window's address box, through the window's own list of its items (a list of
// many addresses is never read back item by item).
void RememberAddress(TID_Vellorn* Form, const AnsiString& Address);
// The address box takes the list Items (its items before are dropped).
void UseAddresses(TID_Vellorn* Form, TStrings& Items);

// Merges into List (the address list as the file holds it now) the addresses this window added:
// the Items not among Loaded (those it took from the file or gave it last), in their order, each
// once and only when List has none like it (as RememberAddress compares them). List's own lines
// stay as they are. Linear in the lengths of the lists.
void MergeAddresses(TStrings& List, const std::vector<AnsiString>& Loaded, const std::vector<AnsiString>& Items);
// Writes the address list FILES\list merged with what the file holds now (another copy of the
// program may have written it since this window read it): its lines stay as they are, and the
// addresses this window added since it read or wrote the list follow, each once (as
// RememberAddress compares them).
void WriteAddressList(TID_Vellorn* Form);
// Empties the address list and its file at once.
void ClearAddressList(TID_Vellorn* Form);

// Records a page in the back history: FILES\tmpB.ini first (so a failed write records nothing),
// then the list ListBox2 and an item of PopupMenu2 at the same position; enables the back
// commands.
void RecordBackPage(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& Url);

// The key of a page title in the history files: the title itself when an INI key can hold it,
// else the title with "=", "%", line breaks and a leading "[" or ";" written as %XX, so every page
// can be recorded and read back.
AnsiString HistoryKey(const AnsiString& Title);

// The note commands, one rule for all of them: the main menu's act on the selected entry of the
// page shown, the tree pop-up's on the entry it was opened on, the note panel's on the entry
// opened last. Each command is enabled as its entry allows: adding and loading where the entry's
// title can name a note file (and its note was not refused), removing where it has one, saving
// where its note is the one in the panel (it is the entry opened last, the panel shows or holds
// typed text). Called whenever one of these changes.
void EnableNoteCommands(TID_Vellorn* Form);

// A note the program does not write: its text is over MaxNoteBytes.
VCL_EXCEPTION(ENoteTooLarge, Exception)
// Writes the note typed in the note panel for the entry opened last (nothing when there is none it
// may be written for). A note over MaxNoteBytes raises ENoteTooLarge, a failed write its failure;
// the text stays typed then.
void WriteTypedNote(TID_Vellorn* Form);
// Asks about a note typed in the note panel and not saved yet (for the entry opened last):
// "Да" writes it (WriteTypedNote: a note it cannot write raises, and the caller stops), "Нет"
// drops it. False for "Отмена": the caller (opening another entry, the close) stops.
bool KeepTypedNote(TID_Vellorn* Form);

// Shows or hides the note panel with its splitter (kept just above the panel).
void ShowNotePanel(TID_Vellorn* Form, bool Show);

// The largest note the panel shows and writes, in bytes: a larger file is refused before it is
// read (the memo would take many times its size and the program would stop for minutes).
inline constexpr Int64 MaxNoteBytes = 1024 * 1024;
// Reads the text file Path into Lines for the note memo. A file larger than MaxNoteBytes is refused
// before it is read; the refusal, or the reason a read failed, is answered in the user's words,
// naming Path, with Lines empty; "" when Lines hold the text. A text the memo cannot lay out in time
// is answered with the reason too, Lines holding the part it lays out (LaidOutLength).
AnsiString ReadNoteText(const AnsiString& Path, TStrings& Lines);

