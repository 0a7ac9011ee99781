// Driving the real program from a test: a copy of the built program started in a prepared folder,
// its windows found and read from outside, memory in its process for messages that pass
// pointers, and the process ended with the test.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "TestKit.h"

namespace testkit {

std::string WindowClass(HWND wnd);
// A window's text as the window answers WM_GETTEXT (empty when it does not answer in 5 s).
std::string WindowText(HWND wnd);

// The visible windows whose class name contains Cls: below Parent, or, without one, the top-level
// windows of the process Pid. In z order.
std::vector<HWND> VisibleWindows(HWND Parent, DWORD Pid, const std::string& Cls);

// The one visible window below Parent whose class name contains Cls, once there is exactly one
// (null when that never holds within Ms). A control that changes many rows at once holds its
// drawing off, and the system counts it hidden meanwhile: a single look may miss it.
HWND OneVisibleWindow(HWND Parent, const std::string& Cls, DWORD Ms = kPatienceMs);

// The top-level windows of the process Pid whose class name contains Cls, hidden ones included.
std::vector<HWND> ProcessWindows(DWORD Pid, const std::string& Cls);

// Polls Pred every 20 ms until it holds or Ms have passed; answers whether it held.
bool WaitUntil(const std::function<bool()>& Pred, DWORD Ms = kPatienceMs);

// The first visible window whose class name contains Cls, once one shows (null when none came):
// below Parent, or, without one, a top-level window of the process Pid.
HWND WaitForWindow(DWORD Pid, const std::string& Cls, HWND Parent = nullptr);

// The visible window below Parent of a class containing Cls whose text is Text; null when none.
HWND ChildWithText(HWND Parent, const std::string& Cls, const std::string& Text);

// Real keys to the window in front: each pressed in turn and released last one first.
void RealKeys(std::initializer_list<WORD> Keys);

// Sends Wnd a message that does nothing and waits up to Ms for the answer: its thread has handled
// what it was doing (a close, a click, a question answered) and is back at its messages. False
// when the window is gone or its thread does not answer.
bool Answers(HWND Wnd, DWORD Ms = 10000);

// Clicks the middle of a rectangle of a window's client area with posted mouse messages; twice
// makes it a double click.
void ClickIn(HWND Wnd, const RECT& R, bool Twice = false);

// Real mouse input at a screen point: a move there, with the button flags (MOUSEEVENTF_LEFTDOWN...)
// at the same point. Each event carries its own position, so that a pointer motion still on its way
// from an earlier move cannot put it elsewhere.
void SendMouse(POINT At, DWORD Buttons = 0);

// A real left click at a screen point, until Done holds: on a busy display a click now and then
// never reaches the window, so it is sent again (at most Tries times) when Done has not come
// within kInputLostMs of it. Answers whether Done came.
bool ClickUntil(POINT At, const std::function<bool()>& Done, int Tries = 3);

// Chooses an item of a window's menu bar with the keyboard, as F10 and the arrows do: the menu at
// Top (counted from the first), then its item at Item (separators not counted).
void ChooseInMenuBar(HWND Wnd, int Top, int Item);

// The first key of a walk through a pop-up menu: Down as Home, Up as End. They highlight the first
// or last item whatever the menu highlighted when it came (an item under a pointer that a busy
// display moved late), as the first Down or Up does from no highlight.
WPARAM MenuWalkStart(WPARAM Key);

// Presses Keys in the pop-up menu that the process Pid has just opened (the first through
// MenuWalkStart); answers whether a menu came and has closed again.
bool ChooseInMenu(DWORD Pid, const std::vector<WPARAM>& Keys);

// A buffer in another process's memory.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE Process, size_t Size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(p_); }
    template <class T>
    void Put(const T& Value)
    {
        WriteProcessMemory(process_, p_, &Value, sizeof Value, nullptr);
    }
    template <class T>
    T Get() const
    {
        T value{};
        ReadProcessMemory(process_, p_, &value, sizeof value, nullptr);
        return value;
    }
    // The zero-terminated text at the start of the buffer.
    std::string Text() const;

private:
    HANDLE process_;
    void* p_ = nullptr;
    size_t size_;
};

// The program built beside the test programs (..\app\Vellorn.exe), copied into a folder and run
// there; the process is ended (if still running) and its handles closed on destruction.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Copies the program into Folder (with its trailing backslash) as Vellorn.exe, with the
    // shipped skins.
    static bool CopyProgram(const std::string& Folder);
    // Copies the shipped skins into Folder\Skins, the skin folder beside the program.
    static bool CopySkins(const std::string& Folder);
    // Starts Folder\Vellorn.exe with Args in Folder; answers its main window once the splash has
    // gone (a key closes it), the window takes input and shows its article tree, and the program
    // answers; null when it did not come. WhileStarting runs at each look meanwhile (to answer what
    // the start shows).
    HWND Launch(const std::string& Folder, const std::string& Args = "",
                const std::function<void()>& WhileStarting = {});
    // Closes the main window and waits for the program's end: its exit code (STILL_ACTIVE when it
    // did not end).
    DWORD Close(HWND Main);

    HANDLE Process() const { return pi_.hProcess; }
    DWORD Id() const { return pi_.dwProcessId; }

    // Ends every program still running from a ProgramRun (a hung test's, before it ends).
    static void EndAll();

private:
    PROCESS_INFORMATION pi_{};
};

} // namespace testkit
