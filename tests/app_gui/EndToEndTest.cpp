// The real program started on a prepared archive: its window and status text read from outside,
// closed with WM_CLOSE, the files it wrote checked; and a second instance beside the owner of the
// working tree.
#include "LogicFixture.h"

#include "InstanceLock.h"

using namespace logic;

namespace {

struct Found {
    DWORD pid;
    std::string cls;
    HWND wnd = nullptr;
};

std::string ClassOf(HWND wnd)
{
    char name[256] = {};
    GetClassNameA(wnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND wnd)
{
    char text[512] = {};
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

BOOL CALLBACK MatchVisibleClass(HWND wnd, LPARAM lp)
{
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == f->pid && IsWindowVisible(wnd) && ClassOf(wnd).find(f->cls) != std::string::npos) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchText(HWND wnd, LPARAM lp)
{
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == f->pid && TextOf(wnd) == f->cls) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchChildClass(HWND wnd, LPARAM lp)
{
    auto* f = reinterpret_cast<Found*>(lp);
    if (ClassOf(wnd).find(f->cls) != std::string::npos) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process whose class name contains cls.
HWND FindProcessWindow(DWORD pid, const std::string& cls)
{
    Found f{pid, cls};
    EnumWindows(MatchVisibleClass, reinterpret_cast<LPARAM>(&f));
    return f.wnd;
}

// Whether a top-level window of the process (the application's hidden one included) has the text.
bool AnyWindowWithText(DWORD pid, const std::string& text)
{
    Found f{pid, text};
    EnumWindows(MatchText, reinterpret_cast<LPARAM>(&f));
    return f.wnd != nullptr;
}

HWND FindChild(HWND parent, const std::string& cls)
{
    Found f{0, cls};
    EnumChildWindows(parent, MatchChildClass, reinterpret_cast<LPARAM>(&f));
    return f.wnd;
}

// The text of a status bar panel of another process, through a buffer in that process.
std::string RemoteStatusText(HANDLE process, HWND bar, int panel)
{
    void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return "<no buffer>";
    SendMessageA(bar, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(remote));
    char text[4096] = {};
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, text, sizeof text - 1, &read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SampleTree()));
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const AnsiString program = ExtractFilePath(self) + "..\\app\\Vellorn.exe";
        ASSERT_TRUE(CopyFileA(program.c_str(), (dir / "Vellorn.exe").c_str(), FALSE)) << program;
    }

    // Starts the program, waits for its main window after the splash; null when it did not come.
    HWND Launch(const AnsiString& args)
    {
        std::string cmd = "\"" + dir / "Vellorn.exe" + "\"" + (args.empty() ? "" : " " + args);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si, &pi))
            return nullptr;
        HWND main = nullptr;
        WaitUntil(
            [&] {
                // A key closes the splash at once.
                if (HWND splash = FindProcessWindow(pi.dwProcessId, "TFLog"))
                    PostMessageA(splash, WM_KEYDOWN, VK_SPACE, 0);
                main = FindProcessWindow(pi.dwProcessId, "TID_Vellorn");
                return main && IsWindowEnabled(main);
            },
            20000);
        return main && IsWindowEnabled(main) ? main : nullptr;
    }

    // Closes the main window and waits for the program to end; answers its exit code.
    DWORD CloseProgram(HWND main)
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }

    void TearDown() override
    {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
                TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }

    testkit::TempDir dir;
    PROCESS_INFORMATION pi{};
};

TEST_F(EndToEnd, TheProgramStartsShowsTheTreeAndWritesItsFilesAtClose)
{
    HWND main = Launch("");
    ASSERT_NE(main, nullptr) << "no main window";
    // The start page has completed: the tree's name, no entry opened yet, the page's title.
    EXPECT_EQ(TextOf(main), "VLN - (Vellorn)-VLN");
    EXPECT_TRUE(AnyWindowWithText(pi.dwProcessId, "VLN - Vellorn")) << "the application title";
    HWND bar = FindChild(main, "StatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(RemoteStatusText(pi.hProcess, bar, 1), "Количество статей: 6");
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right - r.left, 1000);
    EXPECT_EQ(r.bottom - r.top, 700);

    EXPECT_EQ(CloseProgram(main), 0u);
    const std::string tree = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    EXPECT_EQ(tree.substr(0, 25), "TPF0" + Short("TsTreeView") + Short("TreeView1"));
    EXPECT_NE(tree.find(ItemsData(SampleTree())), std::string::npos);
    const std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    EXPECT_NE(ini.find("[FORM]\r\nNameTree=VLN\r\nWidth=1000\r\nHeight=700\r\nTop=60\r\nLeft=100\r\n"), std::string::npos)
        << ini;
    EXPECT_NE(ini.find("[ST]\r\nCount=1"), std::string::npos) << ini;
    EXPECT_EQ(FileGetAttr(dir / "FILES\\form.ini") & faHidden, faHidden);
    EXPECT_TRUE(FileExists(dir / "FILES\\list"));
}

TEST_F(EndToEnd, ASecondInstanceWorksOnTheFilesOfItsOwnTree)
{
    // This process holds the working tree, as a first instance would.
    TInstanceLock first(dir / "FILES\\tree\\Temp.vlt");
    ASSERT_TRUE(first.Held());
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.vlt", PlainTreeFile({{"Икс", 36, {}}}) + "old tail");
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.ini", "[FILES]\r\nИкс=x.html\r\n");
    const std::string temp = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    const std::string tempMap = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");

    HWND main = Launch("\"" + dir / "FILES\\tree\\x.vlt" + "\"");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(AnyWindowWithText(pi.dwProcessId, "x -Vellorn"));
    HWND bar = FindChild(main, "StatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(RemoteStatusText(pi.hProcess, bar, 1), "Количество статей: 1");
    EXPECT_EQ(CloseProgram(main), 0u);

    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), temp);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"), tempMap);
    const std::string x = testkit::ReadFileBytes(dir / "FILES\\tree\\x.vlt");
    EXPECT_NE(x.find(ItemsData({{"Икс", 36, {}}})), std::string::npos);
    EXPECT_EQ(x.find("old tail"), std::string::npos) << "written back by the second instance";
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\x.ini"), "[FILES]\r\nИкс=x.html\r\n");
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("NameTree=VLN"), std::string::npos);
}

} // namespace
