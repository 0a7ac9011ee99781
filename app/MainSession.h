// What the main window keeps about its own run beside the state the layout declares: whether this
// instance owns the working tree, which file the close writes the tree to, whether the start-up
// load failed, the address list as loaded and whether the splash was shown. It is a component
// owned by the main window, so it goes with the window (and the working-tree lock with it).
#pragma once

#include "Main.h"

#include <memory>

#include "InstanceLock.h"

class TMainSession : public TComponent {
    VCL_CLASS(TMainSession, TComponent)
public:
    explicit TMainSession(TComponent* AOwner) : TComponent(AOwner) {}

    std::unique_ptr<TInstanceLock> Lock;
    // True when this instance holds the working tree FILES\tree\Temp.vlt with its map Temp.ini.
    bool OwnsWorkingTree = true;
    // The tree file the close writes; "" when this instance has no tree file of its own.
    AnsiString TreePath;
    // The tree file of the copy of the working tree that this instance keeps beside the owner
    // (FILES\tree\Temp (n).vlt); "" when it works on no such copy.
    AnsiString CopyTreePath;
    // The start-up load of TreePath failed: the close keeps that file aside before writing,
    // under TreePath + KeepAsideSuffix.
    bool StartupLoadFailed = false;
    AnsiString KeepAsideSuffix = ".damaged";
    // The tree file that holds the user's changes when the close could not write the working tree
    // and saved the tree elsewhere (FORM/TreeFile of form.ini): the start opens it instead of the
    // working tree, and a close that writes the working tree forgets it. "" when there is none.
    AnsiString SavedTreeFile;
    // The note of the entry opened last could not be shown (too large, unreadable): the panel
    // neither shows nor writes it.
    bool NoteRefused = false;
    // The address list was read (or found missing, an empty list) at start, and the addresses
    // this window took from the file or gave it last (what it adds beyond them is its own).
    bool AddressListLoaded = false;
    std::vector<AnsiString> LoadedAddresses;
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
    // A drag started from the last press on the tree: the title edit that the tree arms when
    // its selected node is pressed does not follow the drop.
    bool DragPressed = false;
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

// Saved trees (MainTreeFiles.cpp). SaveTree writes the tree to Path (with FoldersClosed, every
// folder written closed, as the close writes it) and copies the working map to the map of Path's
// tree name; LoadTree reads Path into the tree (nothing changes when it fails) and then takes its
// map. Both answer CurrentTreeFile.
AnsiString SaveTree(TID_Vellorn* Form, const AnsiString& Path, bool FoldersClosed = false);
AnsiString LoadTree(TID_Vellorn* Form, const AnsiString& Path);
// One shell copy of the file From to the file To (operation 2, copy; flags 0x50). A copy of a file
// onto itself is skipped; a target the program may not replace (ReplaceRefusal) is refused before
// the shell is asked; a failed copy raises an Exception naming both files, with To as its FileName
// and the reason's code.
void CopyFiles(const AnsiString& From, const AnsiString& To, UINT Operation = 2);
// "Сохранить дерево" under Path: the tree file and its map (SaveTree; a failure raises), then the
// tree's notes copied for the new name; the notes that could not be copied are named, with their
// reasons, in one box.
void SaveTreeAs(TID_Vellorn* Form, const AnsiString& Path, bool FoldersClosed);
// The tree save dialog, then SaveTreeAs (a name without extension gets ".vlt"); a failure is told
// with TreeSaveFailure. Answers whether the tree was saved.
bool SaveTreeChosen(TID_Vellorn* Form);
// "Не удалось сохранить дерево в файл "<Path>": <Reason>": the refusal of every save of the tree.
AnsiString TreeSaveFailure(const AnsiString& Path, const AnsiString& Reason);
// A tree file that could not be read, named with the reason (damaged, or the reason of its error
// code), and the name it was kept aside under when KeptAs is not empty.
AnsiString TreeReadFailure(const AnsiString& Path, const Exception& E, const AnsiString& KeptAs);
// Gives an instance beside the owner of the working tree, whose tree is named Temp, files of its
// own: a copy of the working map under the first free name "Temp (n)", and the tree file of that
// name in FILES\tree\, written at close.
void UseOwnWorkingCopy(TID_Vellorn* Form);
// The tree's name as titles show it: TreeName, followed by the name of the copy's tree file in
// brackets while the instance works on a copy of the working tree.
AnsiString ShownTreeName(TID_Vellorn* Form);
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
