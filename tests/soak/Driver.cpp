#include "Driver.h"
#include "TestKit.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace soak {

using testkit::WaitUntil;
using testkit::WindowText;

bool Driver::Start(std::string* Told)
{
    run_ = std::make_unique<testkit::ProgramRun>();
    // The start's message, once it shows its OK: read and answered.
    const auto answer = [&] {
        if (!Told || !Told->empty())
            return;
        for (HWND box : Boxes())
            for (HWND b : testkit::VisibleWindows(box, 0, ""))
                if (WindowText(b) == "OK" || WindowText(b) == "ОК") {
                    // Read once the box has its caption.
                    if (WindowText(box).empty())
                        return;
                    *Told = BoxText(box);
                    PostMessageA(b, BM_CLICK, 0, 0);
                    return;
                }
    };
    main_ = run_->Launch(folder_, "", answer);
    tree_ = main_ ? FindTree() : nullptr;
    return tree_ != nullptr;
}

HWND Driver::FindTree()
{
    HWND found = nullptr;
    WaitUntil([&] {
        const auto trees = testkit::VisibleWindows(main_, 0, "TreeView");
        found = trees.empty() ? nullptr : trees[0];
        return found && testkit::Answers(main_) && IsWindowVisible(found);
    });
    return found;
}

bool Driver::Attach(HWND Main)
{
    Kill();
    DWORD pid = 0;
    GetWindowThreadProcessId(Main, &pid);
    attached_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_TERMINATE |
                                    PROCESS_QUERY_INFORMATION | SYNCHRONIZE,
                                FALSE, pid));
    if (!attached_)
        return false;
    pid_ = pid;
    main_ = Main;
    tree_ = FindTree();
    return tree_ != nullptr;
}

HANDLE Driver::Process() const { return run_ ? run_->Process() : attached_.get(); }
DWORD Driver::Pid() const { return run_ ? run_->Id() : attached_ ? pid_ : 0; }

bool Driver::Ended(DWORD Ms) { return Process() && WaitForSingleObject(Process(), Ms) == WAIT_OBJECT_0; }

void Driver::Kill()
{
    Release();
    if (Process() && !Ended(0))
        TerminateProcess(Process(), 1);
    run_.reset();
    attached_.reset();
    main_ = tree_ = nullptr;
}

soak::Tree Driver::LiveTree(std::map<std::string, HTREEITEM>* Items, HWND Of)
{
    soak::Tree out;
    HWND tree = Of ? Of : TreeNow();
    if (!tree)
        return out;
    testkit::RemoteBuffer buffer(Process(), 512);
    const LPARAM remote = buffer.Address();
    std::function<void(HTREEITEM, soak::Tree&)> walk = [&](HTREEITEM item, soak::Tree& nodes) {
        for (; item; item = reinterpret_cast<HTREEITEM>(
                         SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            TVITEMA tv{};
            tv.mask = TVIF_TEXT | TVIF_IMAGE;
            tv.hItem = item;
            tv.pszText = reinterpret_cast<char*>(remote + 64);
            tv.cchTextMax = 300;
            buffer.Put(tv);
            SendMessageA(tree, TVM_GETITEMA, 0, remote);
            Node n;
            n.image = buffer.Get<TVITEMA>().iImage;
            if (IsFolder(n.image))
                n.image = imFolder;
            char text[301] = {};
            ReadProcessMemory(Process(), reinterpret_cast<void*>(remote + 64), text, 300, nullptr);
            n.title = text;
            if (Items)
                Items->emplace(n.title, item);
            walk(reinterpret_cast<HTREEITEM>(
                     SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
                 n.kids);
            nodes.push_back(std::move(n));
        }
    };
    walk(reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), out);
    return out;
}

bool Driver::TreeBecomes(const soak::Tree& T, DWORD Ms)
{
    return WaitUntil([&] { return LiveTree() == T; }, Ms);
}

HTREEITEM Driver::Item(const std::string& Title)
{
    std::map<std::string, HTREEITEM> items;
    LiveTree(&items);
    const auto found = items.find(Title);
    return found == items.end() ? nullptr : found->second;
}

POINT Driver::At(const std::string& Title, int Part)
{
    HTREEITEM item = Item(Title);
    if (!item || !TreeNow())
        return POINT{-1, -1};
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    testkit::RemoteBuffer buffer(Process(), sizeof(RECT));
    buffer.Put(item);
    SendMessageA(tree_, TVM_GETITEMRECT, TRUE, buffer.Address());
    const RECT r = buffer.Get<RECT>();
    // The text's first or second half: two clicks in turn on one node are no double click.
    const int width = std::min<int>(r.right - r.left, 60);
    POINT p{r.left + width * (1 + 2 * Part) / 4, (r.top + r.bottom) / 2};
    ClientToScreen(tree_, &p);
    return p;
}

bool Driver::Drag(const std::string& Title, const std::string& Target)
{
    if (!ToFront() || !TreeNow())
        return Failed("the main window is not in front");
    HTREEITEM item = Item(Title), target = Target.empty() ? nullptr : Item(Target);
    if (!item || (!Target.empty() && !target))
        return Failed("no node \"" + (item ? Target : Title) + "\"");
    const auto rect = [&](HTREEITEM Node) {
        testkit::RemoteBuffer buffer(Process(), sizeof(RECT));
        buffer.Put(Node);
        SendMessageA(tree_, TVM_GETITEMRECT, TRUE, buffer.Address());
        return buffer.Get<RECT>();
    };
    RECT client{};
    GetClientRect(tree_, &client);
    // Both in view: the target made visible first, then the node (which must not scroll the
    // target away).
    if (target)
        SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(target));
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    const RECT from = rect(item);
    POINT to{};
    if (target) {
        const RECT r = rect(target);
        if (r.bottom <= r.top || r.top < 0 || r.bottom > client.bottom)
            return Failed("the node and the target are not in view together");
        to = POINT{r.left + std::min<int>(r.right - r.left, 40) / 2, (r.top + r.bottom) / 2};
    } else {
        // The empty space below the last node in view.
        HTREEITEM last = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0));
        const RECT r = rect(last);
        if (r.bottom + 12 >= client.bottom)
            return Failed("no empty space below the nodes");
        to = POINT{client.left + 30, (r.bottom + client.bottom) / 2};
    }
    POINT start{from.left + std::min<int>(from.right - from.left, 40) / 2, (from.top + from.bottom) / 2};
    ClientToScreen(tree_, &start);
    ClientToScreen(tree_, &to);
    // A press where the last one was would be a double click (the folder opens or closes and no
    // drag starts): pressed a little aside then, still on the node's text.
    if (NearLastClick(start))
        start.x += GetSystemMetrics(SM_CXDOUBLECLK) + 2;
    if (!MoveTo(start))
        return false;
    testkit::SendMouse(start, MOUSEEVENTF_LEFTDOWN);
    lastClick_ = start;
    // Past the drag distance first, then to the target in steps: the tree follows each move.
    for (int i = 1; i <= 8; ++i) {
        const POINT p{start.x + (to.x - start.x) * i / 8 + (i == 1 ? 6 : 0), start.y + (to.y - start.y) * i / 8};
        testkit::SendMouse(p);
        if (!Settle())
            return Failed("the program does not answer");
    }
    testkit::SendMouse(to);
    if (!Settle())
        return Failed("the program does not answer");
    testkit::SendMouse(to, MOUSEEVENTF_LEFTUP);
    return (Settle() && Park()) || Failed("the program does not answer after the drop");
}

bool Driver::ToFront()
{
    SetForegroundWindow(main_);
    return WaitUntil([&] { return GetForegroundWindow() == main_; }, 5000);
}

HWND Driver::Focus()
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool Driver::EndStrayRename()
{
    // The rename's box takes the keyboard once it shows: Esc then. A box the tree's timer opened
    // while a dialog held the window never takes it (and only its losing it would end it): a
    // click into the box gives it the keyboard, then Esc.
    for (int tries = 0; tries < 3 && LabelEdit(); ++tries) {
        HWND edit = LabelEdit();
        if (!WaitUntil([&] { return Focus() == edit; }, 3000)) {
            RECT box{};
            GetWindowRect(edit, &box);
            ClickAt(POINT{box.left + 4, (box.top + box.bottom) / 2});
            WaitUntil([&] { return Focus() == edit || !LabelEdit(); }, 3000);
        }
        if (Focus() == edit)
            Key(VK_ESCAPE);
        WaitUntil([&] { return !LabelEdit(); }, 3000);
    }
    return !LabelEdit() || Failed("a rename the tree started stays after Esc");
}

bool Driver::ClickBeside(HTREEITEM Item, HTREEITEM& Other)
{
    Other = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (Other == Item)
        Other = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(Item)));
    HTREEITEM target = Other ? Other : Item;
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(target));
    testkit::RemoteBuffer buffer(Process(), sizeof(RECT));
    buffer.Put(target);
    SendMessageA(tree_, TVM_GETITEMRECT, TRUE, buffer.Address());
    const RECT r = buffer.Get<RECT>();
    POINT p{r.left + 4, (r.top + r.bottom) / 2};
    if (!Other) {
        RECT client{};
        GetClientRect(tree_, &client);
        p.y = r.bottom + (r.bottom - r.top) * 2;
        if (p.y >= client.bottom)
            return Failed("no other node or empty space to click");
    }
    ClientToScreen(tree_, &p);
    if (NearLastClick(p))
        p.x += 8;
    return ClickAt(p);
}

bool Driver::Select(const std::string& Title)
{
    if (!ToFront())
        return Failed("the main window is not in front");
    HTREEITEM item = Item(Title);
    if (!item || !TreeNow())
        return Failed("no node \"" + Title + "\"");
    const auto caret = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)); };
    // A click on the selected node starts its rename (by the tree's timer, after the double-click
    // time): the node is never clicked while it is selected. The page shown may take the keyboard
    // from the tree just after a click: tried again then.
    for (int tries = 0; tries < 3; ++tries) {
        if (!EndStrayRename())
            return false;
        if (caret() == item && Focus() == tree_)
            return Park() || Failed(error_);
        if (caret() == item) {
            // The keyboard comes back by another node, or, when the node is the only one (the focus
            // went elsewhere when the rest was deleted), by a click on the tree's empty space.
            HTREEITEM other = nullptr;
            if (!ClickBeside(item, other))
                return false;
            if (!WaitUntil([&] { return caret() == (other ? other : item) && Focus() == tree_; }, 5000))
                continue;
            if (!other)
                return Park() || Failed(error_);
        }
        // Two clicks at one spot within the double-click time are a double click (which opens an
        // entry or a folder), also on two nodes that came to lie there in turn: the text's other
        // half.
        POINT p = At(Title, tries % 2);
        if (NearLastClick(p))
            p = At(Title, 1 - tries % 2);
        if (!ClickAt(p))
            return false;
        WaitUntil([&] { return caret() == item && Focus() == tree_; }, 5000);
    }
    if (caret() != item || Focus() != tree_)
        return Failed("the click did not select \"" + Title + "\" (the keyboard is at " +
                      testkit::WindowClass(Focus()) + ")");
    return Park() || Failed(error_);
}

bool Driver::MoveTo(POINT Spot)
{
    Release();
    // The program may still take a move the display reported late (from a click before) and put
    // the pointer back: moved again until, with the program done with its input, it rests there
    // (the absolute move's units may round it a pixel off).
    const auto there = [&] {
        POINT at{};
        return GetCursorPos(&at) && std::abs(at.x - Spot.x) <= 2 && std::abs(at.y - Spot.y) <= 2;
    };
    for (int tries = 0; tries < 10; ++tries) {
        testkit::SendMouse(Spot);
        if (!Settle())
            return Failed("the program does not answer");
        if (there() && Settle() && there())
            return true;
    }
    return Failed("the pointer does not stay where it was put");
}

bool Driver::Park() { return MoveTo(POINT{4, GetSystemMetrics(SM_CYSCREEN) - 80}); }

bool Driver::ClickAt(POINT Spot)
{
    if (!MoveTo(Spot))
        return false;
    testkit::SendMouse(Spot, MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(Spot, MOUSEEVENTF_LEFTUP);
    lastClick_ = Spot;
    return true;
}

bool Driver::NearLastClick(POINT Spot) const
{
    return std::abs(Spot.x - lastClick_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
           std::abs(Spot.y - lastClick_.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

bool Driver::Popup(const std::string& Title, const std::vector<WORD>& Keys, bool ByKeys, bool Quiet)
{
    Release();
    if (ByKeys) {
        // Shift+F10 on the selected node and the keys typed at once, before the menu shows.
        if (!Select(Title) || !Park())
            return false;
        Chord(VK_F10, VK_SHIFT);
        for (WORD k : Keys)
            Key(k);
        if (Quiet) {
            // The program answers messages sent to it ahead of the keys it has not read, and the
            // command shows nothing: a rename typed behind the keys comes once it has read them
            // all (a message posted now would overtake them). Ended unchanged by Esc.
            Key(VK_F2);
            if (!WaitUntil([&] { return LabelEdit() != nullptr; }))
                return Failed("a rename typed behind the pop-up's keys did not come");
            Key(VK_ESCAPE);
            if (!WaitUntil([&] { return !LabelEdit(); }))
                return Failed("the rename typed behind the pop-up's keys stays after Esc");
        }
        return WaitUntil([&] { return testkit::VisibleWindows(nullptr, Pid(), "#32768").empty() && Settle(); },
                         5000) ||
               Failed("the pop-up menu stays");
    }
    const POINT p = At(Title, 0);
    if (p.x < 0)
        return Failed("no node \"" + Title + "\"");
    if (!ToFront())
        return Failed("the main window is not in front");
    if (!Park())
        return Failed(error_);
    const auto menus = [&] { return testkit::VisibleWindows(nullptr, Pid(), "#32768"); };
    if (!TreeNow())
        return Failed("the tree is gone");
    // The pop-up comes on the node under the point, which it selects: a tree that moved meanwhile
    // (a node put in view late) gets it again.
    HTREEITEM item = Item(Title);
    const auto caret = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0)); };
    for (int tries = 0;; ++tries) {
        const POINT at = tries == 0 ? p : At(Title, 0);
        PostMessageA(tree_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree_), MAKELPARAM(at.x, at.y));
        if (!WaitUntil([&] { return !menus().empty(); }, 5000))
            return Failed("no pop-up menu came");
        if (caret() == item)
            break;
        if (tries == 2)
            return Failed("the pop-up came on another node than \"" + Title + "\"");
        PostMessageA(tree_, WM_KEYDOWN, VK_ESCAPE, 0);
        if (!WaitUntil([&] { return menus().empty(); }, 5000))
            return Failed("the pop-up menu stays after Esc");
    }
    for (WORD k : Keys) {
        PostMessageA(tree_, WM_KEYDOWN, k, 0);
        PostMessageA(tree_, WM_KEYUP, k, 0);
    }
    return WaitUntil([&] { return menus().empty(); }, 5000) || Failed("the pop-up menu stays");
}

bool Driver::MenuBar(int Top, const std::vector<WORD>& Keys)
{
    Release();
    if (!ToFront())
        return Failed("the main window is not in front");
    PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < Top; ++i)
        PostMessageA(main_, WM_KEYDOWN, VK_RIGHT, 0);
    for (WORD k : Keys)
        PostMessageA(main_, WM_KEYDOWN, k, 0);
    return WaitUntil([&] { return testkit::VisibleWindows(nullptr, Pid(), "#32768").empty(); }, 5000) ||
           Failed("the menu stays");
}

bool Driver::TreeBarButton(int Index)
{
    // The bar whose fourth button (the title search) has picture 5.
    testkit::RemoteBuffer buffer(Process(), 256);
    for (HWND bar : testkit::VisibleWindows(main_, 0, "ToolBar")) {
        if (!SendMessageA(bar, TB_GETBUTTON, 3, buffer.Address()) || buffer.Get<TBBUTTON>().iBitmap != 5)
            continue;
        SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(Index), buffer.Address());
        const RECT r = buffer.Get<RECT>();
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &p);
        if (NearLastClick(p))
            p.x += 4;
        if (!ToFront())
            return Failed("the main window is not in front");
        return ClickAt(p) && Park();
    }
    return Failed("the tree panel has no tool bar");
}

bool Driver::NavButton(int Picture)
{
    // The bar with "Назад" (picture 9).
    testkit::RemoteBuffer buffer(Process(), 256);
    for (HWND bar : testkit::VisibleWindows(main_, 0, "ToolBar")) {
        int index = -1;
        bool back = false;
        for (int i = 0; i < static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0)); ++i) {
            if (!SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), buffer.Address()))
                continue;
            back = back || buffer.Get<TBBUTTON>().iBitmap == 9;
            if (buffer.Get<TBBUTTON>().iBitmap == Picture)
                index = i;
        }
        if (!back || index < 0)
            continue;
        SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), buffer.Address());
        const RECT r = buffer.Get<RECT>();
        // The button's picture, left of a drop-down arrow.
        POINT p{r.left + 10, (r.top + r.bottom) / 2};
        ClientToScreen(bar, &p);
        if (NearLastClick(p))
            p.x += 3;
        if (!ToFront())
            return Failed("the main window is not in front");
        return ClickAt(p) && Park();
    }
    return Failed("the navigation bar has no button with picture " + std::to_string(Picture));
}

bool Driver::DoubleClick(const std::string& Title)
{
    // The node selected first (a click), then the double click on it: the tree opens the node it
    // has selected.
    if (!Select(Title))
        return false;
    POINT p = At(Title, 0);
    if (p.x < 0)
        return Failed("no node \"" + Title + "\"");
    if (NearLastClick(p))
        p = At(Title, 1);
    if (!MoveTo(p))
        return false;
    for (int i = 0; i < 2; ++i) {
        testkit::SendMouse(p, MOUSEEVENTF_LEFTDOWN);
        testkit::SendMouse(p, MOUSEEVENTF_LEFTUP);
    }
    // The next click is no third one.
    lastClick_ = POINT{-100, -100};
    return (Settle() && Park()) || Failed("the program does not answer after the double click");
}

bool Driver::TreePageTab(int Index)
{
    const auto tabs = testkit::VisibleWindows(main_, 0, "PageControl");
    if (tabs.empty())
        return Failed("the tree panel has no pages");
    testkit::RemoteBuffer buffer(Process(), sizeof(RECT));
    if (!SendMessageA(tabs[0], TCM_GETITEMRECT, static_cast<WPARAM>(Index), buffer.Address()))
        return Failed("the tree panel has no tab " + std::to_string(Index));
    const RECT r = buffer.Get<RECT>();
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tabs[0], &p);
    if (NearLastClick(p))
        p.x += 4;
    if (!ToFront())
        return Failed("the main window is not in front");
    return ClickAt(p) && Park();
}

bool Driver::FocusTree()
{
    if (!ToFront() || !TreeNow())
        return Failed("the main window is not in front");
    if (Focus() == tree_)
        return true;
    RECT client{};
    GetClientRect(tree_, &client);
    POINT p{client.left + 20, client.bottom - 12};
    ClientToScreen(tree_, &p);
    if (NearLastClick(p))
        p.x += 8;
    if (!ClickAt(p))
        return false;
    if (!WaitUntil([&] { return Focus() == tree_; }, 5000))
        return Failed("a click on the tree's empty space did not give it the keyboard");
    return Park();
}

WORD Driver::held_ = 0;

void Driver::Key(WORD Vk, WORD Modifier)
{
    Release();
    if (Modifier)
        keybd_event(static_cast<BYTE>(Modifier), 0, 0, 0);
    keybd_event(static_cast<BYTE>(Vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(Vk), 0, KEYEVENTF_KEYUP, 0);
    if (Modifier)
        keybd_event(static_cast<BYTE>(Modifier), 0, KEYEVENTF_KEYUP, 0);
}

void Driver::Chord(WORD Vk, WORD Modifier)
{
    // The modifier pressed again until, with the program done with what it was sent, it is still
    // down: the display's news of a change of focus tells the program the display's own state of
    // the keyboard (no modifier down), which lets go a modifier pressed before it came.
    Release();
    for (int tries = 0; tries < 5; ++tries) {
        keybd_event(static_cast<BYTE>(Modifier), 0, 0, 0);
        Settle();
        if (GetAsyncKeyState(Modifier) < 0)
            break;
    }
    keybd_event(static_cast<BYTE>(Vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(Vk), 0, KEYEVENTF_KEYUP, 0);
    held_ = Modifier;
}

bool Driver::Lost() { return held_ && GetAsyncKeyState(held_) >= 0; }

void Driver::Release()
{
    if (held_)
        keybd_event(static_cast<BYTE>(held_), 0, KEYEVENTF_KEYUP, 0);
    held_ = 0;
}

HWND Driver::Window(const std::string& Caption, DWORD Ms)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : testkit::VisibleWindows(nullptr, Pid(), ""))
                if (WindowText(w) == Caption)
                    found = w;
            // In front, with the keyboard in it, and done with its showing.
            return found && GetForegroundWindow() == found && Focus() && GetAncestor(Focus(), GA_ROOT) == found &&
                   testkit::Answers(found);
        },
        Ms);
    return found && GetForegroundWindow() == found ? found : nullptr;
}

std::vector<HWND> Driver::Children(HWND Parent, const std::string& Cls)
{
    std::vector<std::pair<LONG, HWND>> placed;
    for (HWND w : testkit::VisibleWindows(Parent, 0, Cls)) {
        RECT r{};
        GetWindowRect(w, &r);
        placed.emplace_back(r.top, w);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<HWND> found;
    for (const auto& [top, w] : placed)
        found.push_back(w);
    return found;
}

void Driver::SetText(HWND Edit, const std::string& Text)
{
    SendMessageA(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

bool Driver::Fill(HWND Dialog, const std::vector<std::string>& Texts)
{
    auto edits = Children(Dialog, "Edit");
    if (edits.size() < Texts.size())
        return Failed("the dialog has " + std::to_string(edits.size()) + " edits");
    for (size_t i = 0; i < Texts.size(); ++i)
        SetText(edits[i], Texts[i]);
    // The dialog keeps what was put once it is shown: nothing of it empties the boxes later.
    if (!testkit::Answers(Dialog) || !testkit::Answers(Dialog))
        return Failed("the dialog does not answer");
    for (size_t i = 0; i < Texts.size(); ++i)
        if (WindowText(edits[i]) != Texts[i])
            return Failed("the dialog's edit " + std::to_string(i + 1) + " shows \"" + WindowText(edits[i]) +
                          "\", not what was put in it");
    return true;
}

HWND Driver::LabelEdit()
{
    return TreeNow() ? reinterpret_cast<HWND>(SendMessageA(tree_, TVM_GETEDITCONTROL, 0, 0)) : nullptr;
}

HWND Driver::TreeNow()
{
    if (main_ && !IsWindow(tree_)) {
        const auto trees = testkit::VisibleWindows(main_, 0, "TreeView");
        tree_ = trees.empty() ? nullptr : trees[0];
    }
    return tree_;
}

HWND Driver::NoteBox()
{
    const auto memos = testkit::VisibleWindows(main_, 0, "Memo");
    return memos.empty() ? nullptr : memos[0];
}

std::vector<HWND> Driver::Boxes()
{
    // The skin's boxes, or the system's in the system's look.
    std::vector<HWND> boxes = testkit::VisibleWindows(nullptr, Pid(), "TsMessageForm");
    for (HWND w : testkit::VisibleWindows(nullptr, Pid(), "#32770"))
        boxes.push_back(w);
    return boxes;
}

std::string Driver::BoxText(HWND Box)
{
    std::string text = WindowText(Box);
    for (HWND child : testkit::VisibleWindows(Box, 0, ""))
        if (const std::string t = WindowText(child); !t.empty())
            text += " | " + t;
    return text;
}

HWND Driver::WaitBox(DWORD Ms)
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            const auto boxes = Boxes();
            box = boxes.empty() ? nullptr : boxes[0];
            if (!box || !testkit::Answers(box))
                return false;
            for (HWND b : testkit::VisibleWindows(box, 0, ""))
                for (const char* button : {"OK", "ОК", "&Да", "&Нет", "Отмена"})
                    if (WindowText(b) == button)
                        return true;
            return false;
        },
        Ms);
    return box;
}

bool Driver::Answer(HWND Box, const std::string& Button)
{
    // The system's box says "OK" in Cyrillic letters.
    HWND button = nullptr;
    for (HWND b : testkit::VisibleWindows(Box, 0, ""))
        if (WindowText(b) == Button || (Button == "OK" && WindowText(b) == "ОК"))
            button = b;
    if (!button)
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(Box) || !IsWindowVisible(Box); });
}

bool Driver::Click(HWND Dialog, const std::string& Button)
{
    for (HWND b : testkit::VisibleWindows(Dialog, 0, "Button"))
        if (WindowText(b) == Button) {
            PostMessageA(b, BM_CLICK, 0, 0);
            return WaitUntil([&] { return !IsWindow(Dialog) || !IsWindowVisible(Dialog); }) ||
                   Failed("the dialog stays after \"" + Button + "\"");
        }
    return Failed("the dialog has no button \"" + Button + "\"");
}

bool Driver::Settle() { return testkit::Answers(main_) && testkit::Answers(main_); }

std::string Driver::Caption() { return WindowText(main_); }

FileWrites::FileWrites(const std::string& Dir) : dir_(Dir)
{
    folder_ = CreateFileA(Dir.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (folder_ != INVALID_HANDLE_VALUE && event_ && !Read()) {
        CloseHandle(folder_);
        folder_ = INVALID_HANDLE_VALUE;
    }
}

FileWrites::~FileWrites()
{
    if (folder_ != INVALID_HANDLE_VALUE) {
        // The read cancelled and done with, so that nothing lands in the buffer after it is gone.
        DWORD size = 0;
        CancelIo(folder_);
        GetOverlappedResult(folder_, &overlapped_, &size, TRUE);
        CloseHandle(folder_);
    }
    if (event_)
        CloseHandle(event_);
}

bool FileWrites::Read()
{
    ResetEvent(event_);
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_;
    return ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, TRUE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                 &overlapped_, nullptr) ||
           GetLastError() == ERROR_IO_PENDING;
}

std::map<std::string, int> FileWrites::Count()
{
    std::map<std::string, int> writes;
    if (folder_ == INVALID_HANDLE_VALUE)
        return writes;
    const std::string mark = "soak-mark.txt";
    testkit::WriteFileBytes(dir_ + "\\" + mark, "");
    bool marked = false;
    while (!marked && WaitForSingleObject(event_, 10000) == WAIT_OBJECT_0) {
        DWORD size = 0;
        if (!GetOverlappedResult(folder_, &overlapped_, &size, FALSE) || size == 0)
            break; // more news than the buffer held: what came is what is told
        for (DWORD at = 0;;) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
            char name[MAX_PATH * 2] = {};
            WideCharToMultiByte(1251, 0, info->FileName, static_cast<int>(info->FileNameLength / sizeof(WCHAR)), name,
                                sizeof name - 1, nullptr, nullptr);
            if (name == mark)
                marked = true;
            else if (info->Action == FILE_ACTION_RENAMED_NEW_NAME || info->Action == FILE_ACTION_ADDED)
                ++writes[name];
            if (!info->NextEntryOffset)
                break;
            at += info->NextEntryOffset;
        }
        if (!Read())
            break;
    }
    DeleteFileA((dir_ + "\\" + mark).c_str());
    // The writes' temporary files come and go under names of their own.
    for (auto w = writes.begin(); w != writes.end();)
        w = w->first.size() > 4 && _stricmp(w->first.c_str() + w->first.size() - 4, ".tmp") == 0 ? writes.erase(w)
                                                                                                : std::next(w);
    return writes;
}

} // namespace soak
