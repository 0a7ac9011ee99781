#include "ProgramRun.h"

#include "TestKit.h"

#include <algorithm>
#include <mutex>
#include <set>

namespace testkit {

std::string WindowClass(HWND wnd)
{
    char name[256] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

std::string WindowText(HWND wnd)
{
    // Asked of the window itself: the text the system keeps for a window of another process is
    // its caption, never what an edit box holds.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return {};
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

namespace {

struct Search {
    DWORD pid;
    std::string cls;
    bool visibleOnly = true;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if ((!s->pid || pid == s->pid) && (!s->visibleOnly || IsWindowVisible(wnd)) &&
        WindowClass(wnd).find(s->cls) != std::string::npos)
        s->found.push_back(wnd);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleWindows(HWND Parent, DWORD Pid, const std::string& Cls)
{
    Search s{Pid, Cls, true, {}};
    if (Parent)
        EnumChildWindows(Parent, CollectWindow, reinterpret_cast<LPARAM>(&s));
    else
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND OneVisibleWindow(HWND Parent, const std::string& Cls, DWORD Ms)
{
    HWND one = nullptr;
    WaitUntil(
        [&] {
            const auto found = VisibleWindows(Parent, 0, Cls);
            one = found.size() == 1 ? found[0] : nullptr;
            return one != nullptr;
        },
        Ms);
    return one;
}

std::vector<HWND> ProcessWindows(DWORD Pid, const std::string& Cls)
{
    Search s{Pid, Cls, false, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool WaitUntil(const std::function<bool()>& Pred, DWORD Ms)
{
    const DWORD start = GetTickCount();
    while (!Pred()) {
        if (GetTickCount() - start > Ms)
            return false;
        Sleep(20);
    }
    return true;
}

bool Answers(HWND Wnd, DWORD Ms)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, Ms, &result) != 0;
}

void ClickIn(HWND Wnd, const RECT& R, bool Twice)
{
    const LPARAM at = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    PostMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(Wnd, WM_LBUTTONUP, 0, at);
    if (Twice) {
        PostMessageA(Wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(Wnd, WM_LBUTTONUP, 0, at);
    }
}

void SendMouse(POINT At, DWORD Buttons)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = At.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = At.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | Buttons;
    SendInput(1, &in, sizeof in);
}

bool ClickUntil(POINT At, const std::function<bool()>& Done, int Tries)
{
    for (int i = 0; i < Tries; ++i) {
        SendMouse(At, MOUSEEVENTF_LEFTDOWN);
        SendMouse(At, MOUSEEVENTF_LEFTUP);
        if (WaitUntil(Done, kInputLostMs))
            return true;
    }
    return false;
}

void ChooseInMenuBar(HWND Wnd, int Top, int Item)
{
    PostMessageA(Wnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < Top; ++i)
        PostMessageA(Wnd, WM_KEYDOWN, VK_RIGHT, 0);
    for (int i = 0; i <= Item; ++i)
        PostMessageA(Wnd, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(Wnd, WM_KEYDOWN, VK_RETURN, 0);
}

WPARAM MenuWalkStart(WPARAM Key)
{
    return Key == VK_DOWN ? VK_HOME : Key == VK_UP ? VK_END : Key;
}

bool ChooseInMenu(DWORD Pid, const std::vector<WPARAM>& Keys)
{
    HWND menu = nullptr;
    if (!WaitUntil([&] {
            auto menus = VisibleWindows(nullptr, Pid, "#32768");
            menu = menus.empty() ? nullptr : menus[0];
            return menu != nullptr;
        }))
        return false;
    for (std::size_t i = 0; i < Keys.size(); ++i)
        PostMessageA(menu, WM_KEYDOWN, i ? Keys[i] : MenuWalkStart(Keys[i]), 0);
    return WaitUntil([&] { return VisibleWindows(nullptr, Pid, "#32768").empty(); });
}

HWND WaitForWindow(DWORD Pid, const std::string& Cls, HWND Parent)
{
    HWND found = nullptr;
    WaitUntil([&] {
        auto windows = VisibleWindows(Parent, Pid, Cls);
        found = windows.empty() ? nullptr : windows[0];
        return found != nullptr;
    });
    return found;
}

HWND ChildWithText(HWND Parent, const std::string& Cls, const std::string& Text)
{
    for (HWND w : VisibleWindows(Parent, 0, Cls))
        if (WindowText(w) == Text)
            return w;
    return nullptr;
}

void RealKeys(std::initializer_list<WORD> Keys)
{
    std::vector<INPUT> in;
    for (WORD k : Keys) {
        in.push_back(INPUT{INPUT_KEYBOARD, {}});
        in.back().ki.wVk = k;
    }
    for (auto k = std::rbegin(Keys); k != std::rend(Keys); ++k) {
        in.push_back(INPUT{INPUT_KEYBOARD, {}});
        in.back().ki.wVk = *k;
        in.back().ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

RemoteBuffer::RemoteBuffer(HANDLE Process, size_t Size) : process_(Process), size_(Size)
{
    p_ = VirtualAllocEx(Process, nullptr, Size, MEM_COMMIT, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer()
{
    if (p_)
        VirtualFreeEx(process_, p_, 0, MEM_RELEASE);
}

std::string RemoteBuffer::Text() const
{
    std::string text(size_, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process_, p_, text.data(), size_, &read);
    text.resize(std::min(text.find('\0'), size_t(read)));
    return text;
}

namespace {

// The processes of the ProgramRun objects alive, for EndAll (called from the watchdog's thread).
std::mutex g_runsLock;
std::set<HANDLE> g_runs;

} // namespace

void ProgramRun::EndAll()
{
    std::lock_guard<std::mutex> g(g_runsLock);
    for (HANDLE process : g_runs)
        TerminateProcess(process, 1);
}

ProgramRun::~ProgramRun()
{
    if (!pi_.hProcess)
        return;
    {
        std::lock_guard<std::mutex> g(g_runsLock);
        g_runs.erase(pi_.hProcess);
    }
    if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
}

bool ProgramRun::CopyProgram(const std::string& Folder)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "..\\app\\Vellorn.exe";
    return CopyFileA(program.c_str(), (Folder + "Vellorn.exe").c_str(), FALSE) != 0 && CopySkins(Folder);
}

bool ProgramRun::CopySkins(const std::string& Folder)
{
    const std::string from = DataDir() + "..\\..\\app\\defaults\\Skins\\", to = Folder + "Skins\\";
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA skin;
    HANDLE skins = FindFirstFileA((from + "*").c_str(), &skin);
    if (skins == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        if (!(skin.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || skin.cFileName[0] == '.')
            continue;
        const std::string src = from + skin.cFileName + "\\", dst = to + skin.cFileName + "\\";
        CreateDirectoryA(dst.c_str(), nullptr);
        WIN32_FIND_DATAA file;
        HANDLE files = FindFirstFileA((src + "*").c_str(), &file);
        if (files == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ok = CopyFileA((src + file.cFileName).c_str(), (dst + file.cFileName).c_str(), FALSE) != 0 && ok;
        } while (FindNextFileA(files, &file));
        FindClose(files);
    } while (FindNextFileA(skins, &skin));
    FindClose(skins);
    return ok;
}

HWND ProgramRun::Launch(const std::string& Folder, const std::string& Args, const std::function<void()>& WhileStarting)
{
    std::string cmd = "\"" + Folder + "Vellorn.exe\"" + (Args.empty() ? "" : " " + Args);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &si, &pi_))
        return nullptr;
    {
        std::lock_guard<std::mutex> g(g_runsLock);
        g_runs.insert(pi_.hProcess);
    }
    HWND main = nullptr;
    WaitUntil(
        [&] {
            for (HWND splash : VisibleWindows(nullptr, pi_.dwProcessId, "TFLog"))
                PostMessageA(splash, WM_KEYDOWN, VK_SPACE, 0);
            if (WhileStarting)
                WhileStarting();
            auto mains = VisibleWindows(nullptr, pi_.dwProcessId, "TID_Vellorn");
            main = mains.empty() ? nullptr : mains[0];
            if (!main || !IsWindowEnabled(main))
                return false;
            // The skin applied at start makes the tree's window anew: the same one shows still
            // once the program has answered.
            const auto trees = VisibleWindows(main, 0, "TreeView");
            return !trees.empty() && Answers(main) && IsWindow(trees[0]) && IsWindowVisible(trees[0]);
        },
        2 * kPatienceMs);
    return main && IsWindowEnabled(main) ? main : nullptr;
}

DWORD ProgramRun::Close(HWND Main)
{
    PostMessageA(Main, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi_.hProcess, kPatienceMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

} // namespace testkit
