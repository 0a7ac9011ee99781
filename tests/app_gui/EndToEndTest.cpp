// The real program started on a prepared archive: its window and status text read from outside,
// closed with WM_CLOSE, the files it wrote checked; and a second instance beside the owner of the
// working tree.
#include "LogicFixture.h"

#include "InstanceLock.h"
#include "ProgramRun.h"

using namespace logic;

namespace {

using testkit::WindowText;

struct Found {
    DWORD pid;
    std::string cls;
    HWND wnd = nullptr;
};

BOOL CALLBACK MatchText(HWND wnd, LPARAM lp)
{
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == f->pid && WindowText(wnd) == f->cls) {
        f->wnd = wnd;
        return FALSE;
    }
    return TRUE;
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
    // Waited for: a control changing many rows counts as hidden for that moment.
    return testkit::WaitForWindow(0, cls, parent);
}

// The text of a status bar panel of another process, through a buffer in that process.
std::string RemoteStatusText(HANDLE process, HWND bar, int panel)
{
    testkit::RemoteBuffer text(process, 4096);
    SendMessageA(bar, SB_GETTEXTA, panel, text.Address());
    return text.Text();
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SampleTree()));
        ASSERT_TRUE(testkit::ProgramRun::CopyProgram(dir.Path()));
    }

    HWND Launch(const AnsiString& args) { return run.Launch(dir.Path(), args); }
    DWORD CloseProgram(HWND main) { return run.Close(main); }

    testkit::TempDir dir;
    testkit::ProgramRun run;
};

TEST_F(EndToEnd, TheProgramStartsShowsTheTreeAndWritesItsFilesAtClose)
{
    HWND main = Launch("");
    ASSERT_NE(main, nullptr) << "no main window";
    // The start page completes (it loads in the background): the tree's name, no entry opened
    // yet, the page's title.
    EXPECT_TRUE(testkit::PumpUntil([&] { return WindowText(main) == "VLN - (Vellorn)-VLN"; }))
        << WindowText(main);
    EXPECT_TRUE(AnyWindowWithText(run.Id(), "VLN - Vellorn")) << "the application title";
    HWND bar = FindChild(main, "StatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(RemoteStatusText(run.Process(), bar, 1), "Количество статей: 6");
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
    // This process holds the program's and the working tree's locks, as a first instance would.
    TInstanceLock program(dir / "FILES"), first(dir / "FILES\\tree\\Temp.vlt");
    ASSERT_TRUE(first.Held());
    const std::string form = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.vlt", PlainTreeFile({{"Икс", 36, {}}}) + "old tail");
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.ini", "[FILES]\r\nИкс=x.html\r\n");
    const std::string temp = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    const std::string tempMap = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");

    HWND main = Launch("\"" + dir / "FILES\\tree\\x.vlt" + "\"");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(AnyWindowWithText(run.Id(), "x -Vellorn"));
    HWND bar = FindChild(main, "StatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(RemoteStatusText(run.Process(), bar, 1), "Количество статей: 1");
    EXPECT_EQ(CloseProgram(main), 0u);

    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), temp);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"), tempMap);
    // Nothing changed in it: its files as they were; form.ini is the first instance's.
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\x.vlt"), PlainTreeFile({{"Икс", 36, {}}}) + "old tail");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\x.ini"), "[FILES]\r\nИкс=x.html\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\form.ini"), form);
}

// The items of the tree window as the user sees them: double click on a top-level item opens it.
void OpenTopItem(const testkit::ProgramRun& Run, HWND Main, int Index)
{
    HWND tree = FindChild(Main, "TreeView");
    ASSERT_NE(tree, nullptr);
    auto item = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; i < Index && item; ++i)
        item = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
    ASSERT_NE(item, nullptr);
    testkit::RemoteBuffer mem(Run.Process(), 64);
    mem.Put(item);
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, mem.Address()));
    testkit::ClickIn(tree, mem.Get<RECT>(), true);
}

// The address box's text (the first combo box of the window).
std::string AddressText(HWND Main)
{
    HWND box = FindChild(Main, "ComboBox");
    return box ? testkit::WindowText(box) : std::string();
}

// A second start beside a running program says at once that the archive is open and which tree
// file it keeps (so does its title), and writes that file at close; each copy's new addresses
// stay in the address list, whichever closes last.
TEST_F(EndToEnd, ASecondCopySaysWhichTreeFileItKeepsAndTheAddressListsMerge)
{
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile({{"Альфа", 2, {}}, {"Бета", 2, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nАльфа=a.html\r\nБета=b.html\r\n");
    testkit::WriteFileBytes(dir / "FILES\\list", "http://example.org/\r\n");
    HWND first = Launch("");
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(testkit::WaitUntil([&] { return WindowText(first) == "VLN - (Vellorn)-VLN"; })) << WindowText(first);
    OpenTopItem(run, first, 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return AddressText(first) == dir / "FILES\\a.html"; })) << AddressText(first);

    testkit::ProgramRun second;
    std::string told;
    const auto answer = [&] {
        // Answered once it has its caption and its button, so that its text is never missed.
        for (HWND box : testkit::VisibleWindows(nullptr, second.Id(), "TsMessageForm")) {
            const std::string caption = WindowText(box);
            const HWND ok = testkit::ChildWithText(box, "BitBtn", "OK");
            if (caption.empty() || !ok)
                continue;
            told = caption;
            PostMessageA(ok, BM_CLICK, 0, 0);
        }
    };
    HWND copy = second.Launch(dir.Path(), "", answer);
    ASSERT_NE(copy, nullptr);
    // The message may come just after the window has shown.
    EXPECT_TRUE(testkit::WaitUntil([&] {
        answer();
        return !told.empty();
    })) << "windows of the copy: " << [&] {
        std::string seen;
        for (HWND w : testkit::VisibleWindows(nullptr, second.Id(), ""))
            seen += testkit::WindowClass(w) + " \"" + WindowText(w) + "\"; ";
        return seen;
    }();
    EXPECT_EQ(told, "VLN [Temp (2).vlt] - Vellorn") << "the message at start, titled with the tree file";
    EXPECT_TRUE(testkit::WaitUntil([&] { return WindowText(copy) == "VLN [Temp (2).vlt] - (Vellorn)-VLN"; }))
        << WindowText(copy);
    OpenTopItem(second, copy, 1);
    ASSERT_TRUE(testkit::WaitUntil([&] { return AddressText(copy) == dir / "FILES\\b.html"; })) << AddressText(copy);
    EXPECT_TRUE(testkit::WaitUntil([&] { return WindowText(copy) == "VLN [Temp (2).vlt] -Бета (about:blank)-VLN"; }))
        << WindowText(copy);

    EXPECT_EQ(second.Close(copy), 0u);
    EXPECT_EQ(CloseProgram(first), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"),
              "http://example.org/\r\n" + dir / "FILES\\b.html" + "\r\n" + dir / "FILES\\a.html" + "\r\n");
    const std::string kept = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp (2).vlt");
    EXPECT_NE(kept.find(ItemsData({{"Альфа", 2, {}}, {"Бета", 2, {}}})), std::string::npos);
}

// In the system's look the copy's message is the system's box, and it stays until answered: the
// splash that closes just before it must not take it away.
TEST_F(EndToEnd, InTheSystemsLookASecondCopySaysItToo)
{
    std::string form = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    form.replace(form.find("Skin=Neutral"), 12, "Skin=");
    testkit::WriteFileBytes(dir / "FILES\\form.ini", form);
    HWND first = Launch("");
    ASSERT_NE(first, nullptr);
    testkit::ProgramRun second;
    std::string told;
    const auto answer = [&] {
        for (HWND box : testkit::VisibleWindows(nullptr, second.Id(), "#32770")) {
            const HWND ok = GetDlgItem(box, IDOK);
            if (!ok || !IsWindowVisible(ok) || WindowText(box).empty())
                continue;
            told = WindowText(box);
            PostMessageA(ok, BM_CLICK, 0, 0);
        }
    };
    HWND copy = second.Launch(dir.Path(), "", answer);
    ASSERT_NE(copy, nullptr) << "told \"" << told << "\"; windows of the copy: " << [&] {
        std::string seen;
        for (HWND w : testkit::ProcessWindows(second.Id(), ""))
            seen += testkit::WindowClass(w) + " \"" + WindowText(w) + "\" " + (IsWindowVisible(w) ? "shown" : "hidden") +
                    (IsWindowEnabled(w) ? "" : " disabled") + "; ";
        return seen;
    }();
    EXPECT_TRUE(testkit::WaitUntil([&] {
        answer();
        return !told.empty();
    })) << "no message from the copy";
    EXPECT_EQ(told, "VLN [Temp (2).vlt] - Vellorn");
    EXPECT_EQ(second.Close(copy), 0u);
    EXPECT_EQ(CloseProgram(first), 0u);
}

// Closed maximised or minimised, the program keeps the window's normal bounds: the next start
// shows the normal window there.
TEST_F(EndToEnd, ClosedMaximisedOrMinimisedTheWindowKeepsItsNormalBounds)
{
    for (WPARAM command : {SC_MAXIMIZE, SC_MINIMIZE}) {
        testkit::ProgramRun closing;
        HWND main = closing.Launch(dir.Path());
        ASSERT_NE(main, nullptr);
        PostMessageA(main, WM_SYSCOMMAND, command, 0);
        ASSERT_TRUE(testkit::WaitUntil([&] { return command == SC_MAXIMIZE ? IsZoomed(main) : IsIconic(main); }));
        EXPECT_EQ(closing.Close(main), 0u);
        const std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
        EXPECT_NE(ini.find("Width=1000\r\nHeight=700\r\nTop=60\r\nLeft=100\r\n"), std::string::npos) << ini;
    }
    HWND main = Launch("");
    ASSERT_NE(main, nullptr);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 1000);
    EXPECT_EQ(r.bottom - r.top, 700);
}

} // namespace
