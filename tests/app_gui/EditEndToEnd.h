// The real program driven from outside as a user drives it: started on a copy of the default
// archive with the sample tree and its map, its tree's items found, real keys and mouse input,
// menus gone through by keys, its windows, dialogs and boxes found and answered.
#pragma once

#include "LogicFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "ProgramRun.h"

namespace logic {

using testkit::WindowText;

class EditEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SampleTree()));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", SampleMap());
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
        Prepare();
        main = run.Launch(dir.Path());
        ASSERT_NE(main, nullptr);
        // The tree's window once it has stayed while the program answered (the skin applied at
        // start makes it anew).
        ASSERT_TRUE(testkit::WaitUntil([&] {
            auto trees = testkit::VisibleWindows(main, 0, "TreeView");
            tree = trees.empty() ? nullptr : trees[0];
            return tree && testkit::Answers(main) && IsWindowVisible(tree);
        })) << "the tree";
    }

    // What a test changes in the archive before the program starts.
    virtual void Prepare() {}

    // The program's main window in front, so that real input reaches it.
    void Front()
    {
        SetForegroundWindow(main);
        EXPECT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == main; }));
    }
    std::vector<HWND> Menus() { return testkit::VisibleWindows(nullptr, on->Id(), "#32768"); }

    // What the screen and the program's input state were when a wait failed, for its message: the
    // window in front, the focus, the menus up, the key state, and a screenshot named Shot.
    std::string Situation(const std::string& Shot)
    {
        auto name = [](HWND w) {
            char cls[64] = {};
            if (w)
                GetClassNameA(w, cls, sizeof cls);
            return std::string(cls) + " \"" + (w ? WindowText(w) : std::string()) + "\"";
        };
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
        testkit::SaveScreenshot(testkit::OutputDir() + Shot + ".png");
        return "front " + name(GetForegroundWindow()) + ", focus " + name(info.hwndFocus) + ", menus " +
               std::to_string(Menus().size()) + (info.flags & GUI_INMENUMODE ? " (menu mode)" : "") +
               ", capture " + name(info.hwndCapture) + ", screenshot " + Shot + ".png";
    }

    // Real key presses: the key with Shift or Ctrl held.
    void Key(WORD vk, WORD modifier = 0)
    {
        if (modifier)
            keybd_event(static_cast<BYTE>(modifier), 0, 0, 0);
        keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
        keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
        if (modifier)
            keybd_event(static_cast<BYTE>(modifier), 0, KEYEVENTF_KEYUP, 0);
    }
    // Opens the tree's pop-up menu on the item, as its right click does, and goes through it with
    // the keys (the first Down highlights its first item, the first Up its last, whatever the menu
    // highlighted when it came; separators are passed over). The keys are queued in the program,
    // where the menu's own loop takes them in order.
    void Popup(const std::string& title, std::initializer_list<WORD> keys)
    {
        const POINT p = At(title);
        Front();
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
        PostMessageA(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), MAKELPARAM(p.x, p.y));
        ASSERT_TRUE(testkit::WaitUntil([&] { return !Menus().empty(); })) << title;
        bool first = true;
        for (WPARAM k : keys) {
            if (std::exchange(first, false))
                k = testkit::MenuWalkStart(k);
            PostMessageA(tree, WM_KEYDOWN, k, 0);
            PostMessageA(tree, WM_KEYUP, k, 0);
        }
        EXPECT_TRUE(testkit::WaitUntil([&] { return Menus().empty(); })) << title;
    }

    // A top-level window of the program with the caption (null when it does not come).
    HWND WindowCalled(const std::string& caption)
    {
        HWND found = nullptr;
        testkit::WaitUntil([&] {
            for (HWND w : testkit::VisibleWindows(nullptr, on->Id(), ""))
                if (WindowText(w) == caption)
                    found = w;
            return found != nullptr;
        });
        return found;
    }

    // The visible children of a window with the class part, from the top down.
    std::vector<HWND> Children(HWND parent, const std::string& cls)
    {
        std::vector<HWND> found = testkit::VisibleWindows(parent, 0, cls);
        std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.top < rb.top;
        });
        return found;
    }

    void Press(HWND dialog, const std::string& caption, const std::string& cls = "Button")
    {
        for (HWND b : Children(dialog, cls))
            if (WindowText(b) == caption)
                PostMessageA(b, BM_CLICK, 0, 0);
    }

    // The tree item with the title, walking the whole tree (null when none).
    HTREEITEM Item(const std::string& title)
    {
        testkit::RemoteBuffer buffer(on->Process(), 512);
        const LPARAM remote = buffer.Address();
        std::function<HTREEITEM(HTREEITEM)> walk = [&](HTREEITEM item) -> HTREEITEM {
            for (; item; item = reinterpret_cast<HTREEITEM>(
                             SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
                TVITEMA tv{};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = reinterpret_cast<char*>(remote + 64);
                tv.cchTextMax = 256;
                buffer.Put(tv);
                SendMessageA(tree, TVM_GETITEMA, 0, remote);
                char text[257] = {};
                ReadProcessMemory(on->Process(), reinterpret_cast<void*>(remote + 64), text, 256, nullptr);
                if (title == text)
                    return item;
                auto child = reinterpret_cast<HTREEITEM>(
                    SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
                if (HTREEITEM found = walk(child))
                    return found;
            }
            return nullptr;
        };
        return walk(reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    }

    // The screen point in the middle of an item's text, the item made visible first.
    POINT At(const std::string& title)
    {
        HTREEITEM item = Item(title);
        EXPECT_NE(item, nullptr) << title;
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        testkit::RemoteBuffer buffer(on->Process(), sizeof(RECT));
        buffer.Put(item);
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, buffer.Address());
        const RECT r = buffer.Get<RECT>();
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tree, &p);
        return p;
    }

    // Real mouse input: a press at From, moves towards To until the program's drag holds the
    // mouse, a release at To. The tree's own loop takes the first move out of the press, and moves
    // that the program has not taken yet merge into one, so the moves go on until the drag starts.
    void Mouse(POINT From, POINT To)
    {
        Front();
        testkit::SendMouse(From, MOUSEEVENTF_LEFTDOWN);
        const DWORD thread = GetWindowThreadProcessId(main, nullptr);
        auto dragging = [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && testkit::WindowClass(info.hwndCapture) == "Vellorn.DragCapture";
        };
        const POINT half{(From.x + To.x) / 2, (From.y + To.y) / 2};
        bool started = false;
        const ULONGLONG until = GetTickCount64() + testkit::kPatienceMs;
        for (int i = 0; !started && GetTickCount64() < until; ++i) {
            testkit::SendMouse(i % 2 ? To : half);
            started = testkit::WaitUntil(dragging, 200);
        }
        EXPECT_TRUE(started) << "the drag started";
        testkit::SendMouse(To, MOUSEEVENTF_LEFTUP);
    }

    // A dialog of the system the program shows (null when none comes).
    HWND SystemDialog()
    {
        HWND dialog = nullptr;
        testkit::WaitUntil([&] {
            const auto dialogs = testkit::VisibleWindows(nullptr, on->Id(), "#32770");
            dialog = dialogs.empty() ? nullptr : dialogs[0];
            return dialog != nullptr;
        });
        return dialog;
    }
    // The system's file dialog of the program takes Path and OK; with Replace, the question whether
    // to replace the file that is there comes and is answered "Да".
    void ChooseFile(const std::string& Path, bool Replace = false)
    {
        HWND dialog = SystemDialog();
        ASSERT_NE(dialog, nullptr) << "the file dialog";
        const auto names = testkit::VisibleWindows(dialog, 0, "Edit");
        ASSERT_FALSE(names.empty());
        SendMessageA(names[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Path.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        if (Replace) {
            HWND question = nullptr;
            ASSERT_TRUE(testkit::WaitUntil([&] {
                for (HWND w : testkit::VisibleWindows(nullptr, on->Id(), "#32770"))
                    if (w != dialog && GetDlgItem(w, IDYES))
                        question = w;
                return question != nullptr;
            })) << "the question whether to replace " << Path;
            PostMessageA(question, WM_COMMAND, IDYES, 0);
        }
        ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(dialog); }));
    }
    // A box of the process Pid with the caption comes; Button answers it.
    void Answer(DWORD Pid, const std::string& Caption, const std::string& Button)
    {
        HWND box = nullptr;
        ASSERT_TRUE(testkit::WaitUntil([&] {
            for (HWND w : testkit::VisibleWindows(nullptr, Pid, "TsMessageForm"))
                box = WindowText(w) == Caption ? w : box;
            return box != nullptr;
        })) << Caption;
        Press(box, Button, "BitBtn");
        ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    }

    // Drives the program Other from now on: its main window and tree take the place of the first's.
    void DriveOther(testkit::ProgramRun& Other, HWND Main)
    {
        on = &Other;
        main = Main;
        ASSERT_TRUE(testkit::WaitUntil([&] {
            auto trees = testkit::VisibleWindows(main, 0, "TreeView");
            tree = trees.empty() ? nullptr : trees[0];
            return tree && testkit::Answers(main) && IsWindowVisible(tree);
        })) << "the other program's tree";
    }

    testkit::TempDir dir;
    testkit::ProgramRun run;
    // The program the helpers drive: run, or another one (DriveOther).
    testkit::ProgramRun* on = &run;
    HWND main = nullptr, tree = nullptr;
};

} // namespace logic
