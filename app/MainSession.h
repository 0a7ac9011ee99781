// What the main window keeps about its own run beside the state the layout declares: whether this
// instance owns the working tree, which file the close writes the tree to, whether the start-up
// load failed, the address list as loaded and whether the splash was shown. It is a component
// owned by the main window, so it goes with the window (and the working-tree lock with it).
#pragma once

#include "Main.h"

#include <memory>
#include <unordered_set>

#include "Archive.h"
#include "InstanceLock.h"

class TMainSession : public TComponent {
    VCL_CLASS(TMainSession, TComponent)
public:
    explicit TMainSession(TComponent* AOwner) : TComponent(AOwner) {}

    // The archive the window works on: its tree (TreeView1), tree file, map and notes.
    std::unique_ptr<TArchive> Archive;
    // The first running copy of the program holds this lock: it alone writes form.ini and the
    // history files and clears what an ended save left behind; a copy started beside it does not.
    std::unique_ptr<TInstanceLock> ProgramLock;
    bool FirstCopy = true;
    // One window works on a tree file at a time: the lock on the archive's tree file.
    std::unique_ptr<TInstanceLock> TreeLock;
    // The tree file of the copy of another window's archive that this window works on
    // (FILES\tree\Temp (n).vlt); "" when it works on no such copy.
    AnsiString CopyTreePath;
    // The working tree's name in form.ini (NameTree): the name its notes go by.
    AnsiString WorkingTreeName = "VLN";
    // The entry opened last (null when none, or when it has gone since).
    TTreeNode* OpenedNode = nullptr;
    // The note of the entry opened last could not be shown (too large, unreadable): the panel
    // neither shows nor writes it.
    bool NoteRefused = false;
    // The address list was read (or found missing, an empty list) at start, and the addresses
    // this window took from the file or gave it last (what it adds beyond them is its own).
    bool AddressListLoaded = false;
    std::vector<AnsiString> LoadedAddresses;
    // The address box's items as the program gave them, with their keys (letter case and "&" marks
    // aside): looked up and read without asking the box item by item.
    std::vector<AnsiString> Addresses;
    std::unordered_set<AnsiString> AddressKeys;
    bool SplashShown = false;
    // The path of an article's missing page file while the blank page shown for it loads: the
    // address box keeps the path.
    AnsiString MissingPage;
    // The address box's text when the latest navigation began.
    AnsiString AddressAtStart;
    // The close is under way (its questions are open): another close waits for it.
    bool Closing = false;
    // The close has written everything the program keeps and the window is closing: the process
    // may end without taking its windows apart.
    bool CloseFinished = false;
    // The session is ending: nothing is asked or told any more (every box is answered unseen, as
    // its "stay" or "OK").
    bool SessionEnding = false;
    std::unique_ptr<IPromptService> QuietPrompts;
    std::unique_ptr<TPromptServiceGuard> QuietGuard;
    // The link or Flash movie whose properties dialog was opened: its update goes to this node
    // (null when the node has gone since).
    TTreeNode* PropertiesNode = nullptr;
    // The node the tree's pop-up menu was opened on: its note commands act on it (null when it
    // has gone since).
    TTreeNode* PopupNode = nullptr;
    // The node under the last left press on the tree and where it was pressed, until the mouse
    // moves away far enough to drag it or the button is released.
    TTreeNode* PressedNode = nullptr;
    TPoint PressPos{};
};

// Answers every prompt unseen: a box with its "stay" answer (Cancel, else No, else OK), every other
// prompt as cancelled.
class TQuietPromptService : public IPromptService {
public:
    int MessageBox(const AnsiString&, const AnsiString&, UINT Flags) override
    {
        switch (Flags & MB_TYPEMASK) {
        case MB_OK:
            return IDOK;
        case MB_YESNO:
            return IDNO;
        default:
            return IDCANCEL;
        }
    }
    TModalResult MessageDlg(const AnsiString&, const AnsiString&, TMsgDlgType, TMsgDlgButtons, int, int, int) override
    {
        return mrCancel;
    }
    bool InputQuery(const AnsiString&, const AnsiString&, AnsiString&) override { return false; }
    bool ExecuteDialog(TCommonDialog&) override { return false; }
};

// The session of a main window, made on first use.
TMainSession& Session(TID_Vellorn* Form);

// How the close runs: asking (the user's close, and the system asking whether the session may end,
// where every question may keep the program open), or at the end of the session, which cannot be
// stopped: nothing is asked, and what can be written is written.
enum class TCloseMode { Asking, SessionEnd };
// The program's close, the one routine every way to close goes through (MainClose.cpp), in order:
// an in-place rename ended as a commit (its checks may refuse it), the entries the dialogs
// confirmed added or changed, the page editor's question, the typed note's question, the
// property panel's unapplied values asked about; once all are answered, a modal dialog still open
// cancelled (the skin chooser shows again the skin it opened on), the settings the editor's own
// close writes, then the files (the tree, form.ini, the address list), each one that cannot be written named with the
// question whether to close without it. Answers whether it finished; a close that stops leaves
// no state of its own behind.
bool CloseProgram(TID_Vellorn* Form, TCloseMode Mode);
// What must be done before the tree goes or changes under the user (the close, a tree loaded in
// this window): an in-place rename ended as a commit (its checks may refuse it), the entries the
// dialogs confirmed added or changed, the typed note's question, the property panel's unapplied
// values asked about. False when the user stays or a check refused.
bool FinishPendingEdits(TID_Vellorn* Form, TCloseMode Mode);

// The entries the add and property dialogs confirmed, added or changed now (Timer1's work).
// Answers whether all of them were taken (a title already there is refused with its message).
bool CarryOutPendingEntries(TID_Vellorn* Form);
// Shows the look the skin chooser asks for (Timer5's work): its selected skin, or after a cancel
// the look shown when it opened, "no skin" included.
void ShowWantedSkin(TID_Vellorn* Form);
// Shows at once the look the chooser last asked for (a preview, or the look given back by a cancel)
// when the timer has not shown it yet: what is read next as the skin on screen is then the wanted one.
void ShowPendingSkin(TID_Vellorn* Form);
// Whether the property panel shows values typed and not applied to its article.
bool PanelChanged(TID_Vellorn* Form);
// Asks about the property panel's unapplied values: "Да" applies them (a refusal keeps the panel
// and answers false), "Нет" drops them, "Отмена" answers false. True at once when there are none.
bool KeepPanelEdits(TID_Vellorn* Form);
// The property panel's keys: Enter applies, Esc cancels, in each of its fields and buttons.
void UsePanelKeys(TID_Vellorn* Form);

// The archive of the window.
TArchive& Archive(TID_Vellorn* Form);
// The name the notes of the tree file Path go by: the working tree's name for the working tree,
// else the file's own name.
AnsiString NotesNameOf(TID_Vellorn* Form, const AnsiString& Path);
// The tree file an archive of the tree file Path is kept in: the working tree for any file named
// Temp.vlt (its map and notes are the working tree's), else Path.
AnsiString ArchivePathOf(const AnsiString& Path);
// The window works on the archive of the tree file Path from now on (a copy of it, "Temp (n)", when
// another window works on it), its nodes read from From (Path when empty): the lock taken, the tree
// name, and everything that showed the tree before (the note panel, the results, the opened entry,
// the caption) made the new tree's; Empty starts it empty without reading (a file that cannot be
// read and could not be kept aside). Raises with nothing changed when the file cannot be read.
void LoadTree(TID_Vellorn* Form, const AnsiString& Path, const AnsiString& From = "", bool Empty = false);
// The first copy names in form.ini the tree it works on unless it is the working tree (TreeFile),
// so that the next start, and a copy started beside it, open it.
void PublishTree(TID_Vellorn* Form);
// "Сохранить дерево" under Path: a copy of the archive (tree, map, the notes of its entries). A
// tree another window works on, and a name whose map and notes are the working tree's, are
// refused; a failure raises.
void SaveTree(TID_Vellorn* Form, const AnsiString& Path);
// The tree save dialog (asking before it replaces a file), then SaveTree; a failure is told with
// TreeSaveFailure. Answers the file saved, "" when none.
AnsiString SaveTreeChosen(TID_Vellorn* Form);
// "Не удалось сохранить дерево в файл "<Path>": <Reason>": the refusal of every save of the tree.
AnsiString TreeSaveFailure(const AnsiString& Path, const AnsiString& Reason);
// A tree file that could not be read, named with the reason (damaged, or the reason of its error
// code), and the name it was kept aside under when KeptAs is not empty.
AnsiString TreeReadFailure(const AnsiString& Path, const Exception& E, const AnsiString& KeptAs);
// The tree's name as titles show it: TreeName, followed by the name of the copy's tree file in
// brackets while the instance works on a copy of another window's tree.
AnsiString ShownTreeName(TID_Vellorn* Form);
// Everything that showed entries of the tree follows a change of it: the opened entry gone (its
// note panel and caption), the search results of entries gone (all of them when the tree was
// Replaced), the note commands and the article count.
void FollowTree(TID_Vellorn* Form, bool Replaced = false);
// The items of a list, in order.
std::vector<AnsiString> ItemsOf(const TStrings& Items);
// "Количество статей: " + the count of entries in status panel 1.
void ShowArticleCount(TID_Vellorn* Form);
// An article becomes PanelNode and its title, file and mark fill the property panel (asked first
// when the panel holds unapplied values of another article: "Отмена" keeps them); other nodes
// leave the panel as it is.
void ShowInPanel(TID_Vellorn* Form, TTreeNode* Node);
// Places Dialog at the centre of Owner (halves truncated toward zero).
void CentreOn(TCustomForm* Dialog, const TCustomForm* Owner);
// The bounds of Form as the user sized it: its restored place on the screen while it is maximised
// or minimised (what is stored for the next start), its bounds otherwise.
TRect NormalBounds(TCustomForm* Form);
