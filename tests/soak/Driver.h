// The real program driven as a user drives it: started on an archive folder, its tree read from
// outside, nodes chosen by clicks, commands by keys and the menus, dialogs and questions answered.
// Every step waits on the state it must bring (a window, a text, the tree), never on a time.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Model.h"
#include "ProgramRun.h"

namespace soak {

class Driver {
public:
    explicit Driver(std::string Folder) : folder_(std::move(Folder)) {}

    // Starts the program; Told (when given) gets the text of a message the start shows, which is
    // answered "OK".
    bool Start(std::string* Told = nullptr);
    // Whether the program has ended (waits for it up to Ms).
    bool Ended(DWORD Ms = 20000);
    void Kill();
    HWND Main() const { return main_; }
    // Drives the program of the main window Main, which another started (a second program).
    bool Attach(HWND Main);
    DWORD Pid() const;
    HANDLE Process() const;

    // The program's tree as it shows it, folders with image 0 whether open or not; Items gets
    // each node's item by its title. Of: another tree view of the program (the search results).
    Tree LiveTree(std::map<std::string, HTREEITEM>* Items = nullptr, HWND Of = nullptr);
    // Waits until the program's tree is T; false when it does not become so.
    bool TreeBecomes(const Tree& T, DWORD Ms = 8000);

    // A real drag of the node with the mouse, dropped onto the node Target or, without one, onto
    // the tree's empty space below its nodes.
    bool Drag(const std::string& Title, const std::string& Target);
    // A rename box the tree opened by itself (its timer after a click on its selected node) ended
    // unchanged.
    bool EndStrayRename();
    // The main window in front, the tree holding the keyboard with the node selected (a click on
    // it, or first on another node when it is selected already but the keyboard is elsewhere).
    bool Select(const std::string& Title);
    // The tree's pop-up opened on the node (as its right click does, or by Shift+F10 on the node
    // selected with the keys typed ahead) and gone through with Keys (a first Down highlights the
    // first item). Quiet: the command shows nothing that tells when the program has done it.
    bool Popup(const std::string& Title, const std::vector<WORD>& Keys, bool ByKeys = false, bool Quiet = false);
    // An item of the menu bar by keys: the menu at Top, then the items Keys lead to.
    bool MenuBar(int Top, const std::vector<WORD>& Keys);
    // A click on the button at Index of the tree panel's tool bar.
    bool TreeBarButton(int Index);
    // A click on the navigation bar's button with the picture (9 back, 4 forward).
    bool NavButton(int Picture);
    // A real double click on the node.
    bool DoubleClick(const std::string& Title);
    // A click on the tab at Index of the tree panel's pages (0 the articles, 1 the search results).
    bool TreePageTab(int Index);
    // The main window in front and the keyboard in the tree, by a click on the space below its
    // nodes (for an empty tree, which no node's click can reach).
    bool FocusTree();

    // The pointer put at Spot, once the program has taken every move before.
    bool MoveTo(POINT Spot);
    // The pointer put where no menu or dialog of the program opens: a menu that opened under a
    // pointer left on the tree would follow it.
    bool Park();
    // A real click at the point, the pointer there first.
    bool ClickAt(POINT Spot);
    // Whether a click at the spot would make a double click with the last one (were it recent).
    bool NearLastClick(POINT Spot) const;

    // Real key presses, the key with a modifier held (Alt: it goes up at once, the key's message
    // carries it).
    static void Key(WORD Vk, WORD Modifier = 0);
    // The key with Ctrl or Shift, which stays down until the next input (or Release), as a user's
    // finger does while the program reads the key: a program that has read every key so far gets
    // the keyboard's state of now, in which a modifier let go at once is up already.
    void Chord(WORD Vk, WORD Modifier);
    static void Release();
    // Whether the modifier Chord holds has been let go by the display (see Chord).
    static bool Lost();

    // A top-level window of the program with the caption, once it is in front (null when not).
    HWND Window(const std::string& Caption, DWORD Ms = 8000);
    // The visible children of a window with the class part, from the top down.
    static std::vector<HWND> Children(HWND Parent, const std::string& Cls);
    static void SetText(HWND Edit, const std::string& Text);
    // A click on the dialog's button with the caption; false when the dialog stays.
    bool Click(HWND Dialog, const std::string& Button);
    // The dialog's edits from the top down take the texts.
    bool Fill(HWND Dialog, const std::vector<std::string>& Texts);
    // The tree's label edit box (null when none).
    HWND LabelEdit();

    // The message boxes the program shows now.
    std::vector<HWND> Boxes();
    // Every text of a box (caption and children), for the log.
    static std::string BoxText(HWND Box);
    // The box that comes, once it shows its buttons and answers (null when none within Ms).
    HWND WaitBox(DWORD Ms = 8000);
    // Presses the box's button with the caption; false when it has none or the box stays.
    bool Answer(HWND Box, const std::string& Button);
    // The program has handled what its queue held: it answers twice (a command posted before the
    // first answer has run before the second).
    bool Settle();

    // The caption of the main window.
    std::string Caption();
    HWND Focus();
    // The tree, re-found when the one found before is gone (a control the program made anew).
    HWND TreeNow();
    // The note box as it is now: a skin's change may make it anew, so it is never kept.
    HWND NoteBox();
    // The main window in front.
    bool ToFront();
    // Why the last step that answered false failed.
    const std::string& Error() const { return error_; }

private:
    HTREEITEM Item(const std::string& Title);
    // A click on the first node in view other than Item (Other), or below the nodes when there
    // is none (Other null).
    bool ClickBeside(HTREEITEM Item, HTREEITEM& Other);
    POINT At(const std::string& Title, int Part);
    HWND FindTree();
    bool Failed(const std::string& Why)
    {
        error_ = Why;
        return false;
    }

    // The modifier Chord left down.
    static WORD held_;

    std::string folder_;
    std::unique_ptr<testkit::ProgramRun> run_;
    // The process of a program attached to.
    std::unique_ptr<void, decltype(&CloseHandle)> attached_{nullptr, &CloseHandle};
    DWORD pid_ = 0;
    HWND main_ = nullptr, tree_ = nullptr;
    POINT lastClick_{-100, -100};
    std::string error_;
};

// The files a program writes under a folder while it is watched: every write of the program
// replaces the file by a new one, which the folder's news tell as a file renamed to its name.
class FileWrites {
public:
    explicit FileWrites(const std::string& Dir);
    ~FileWrites();
    // The times each file (its path under the folder) was written since the watch began; a mark
    // written now tells, when its news comes, that every write before it has been told.
    std::map<std::string, int> Count();

private:
    std::string dir_;
    HANDLE folder_ = INVALID_HANDLE_VALUE, event_ = nullptr;
    OVERLAPPED overlapped_{};
    alignas(DWORD) char buffer_[32768];
    bool Read();
};

} // namespace soak
