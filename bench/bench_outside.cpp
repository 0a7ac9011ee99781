// The real program driven and timed from outside as a user meets it. "Развернуть дерево" and
// "Свернуть дерево" on working trees of three shapes (the article tree of 1,010 categories x 9 x
// 10, 1,000 folders of 100 entries, one folder of 10,000 entries), each from its choice in the
// dropped menu up to the settled screen, against loading the same tree file into a tree view with
// its window in this process, taken in turn with each program run (goals: at most 1.5 and 2 times);
// a click in the skin chooser and Enter in the title search up to the settled screen, against a
// full repaint of the main window (goal: at most the repaint and 100 ms), the search beside the
// same change of rows in a bare system tree view here (the control's own share). The screen is
// settled once the change shows, the program has come to rest (it waits for input: only then does
// the system hand what its windows painted to the screen) and no window of the program waits for a
// paint. Two watches from outside check the figures: a pixel watch (the time of the last change on
// screen, which each settled figure must meet within 20%) and a message ping (the longest wait for
// an answer, which no message of a skin switch may hold over 100 ms).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "BenchHarness.h"
#include "ProgramRun.h"
#include "TestKit.h"
#include "TreeFile.h"
#include "ExtCtrlsPanels.h"
#include "Graphics.h"
#include "ImgList.h"
#include "sTreeView.h"
#include "sUtils.h"

namespace {

using testkit::RemoteBuffer;
using testkit::VisibleWindows;

// A step of the run that did not come: the run ends with its message.
struct Failed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Program {
    testkit::ProgramRun run;
    HWND main = nullptr;
    // Memory in the program that its rows are read into, made once per run, not per look.
    mutable std::unique_ptr<RemoteBuffer> rowText;
};

BOOL CALLBACK AddWindow(HWND Wnd, LPARAM Into)
{
    reinterpret_cast<std::vector<HWND>*>(Into)->push_back(Wnd);
    return TRUE;
}

// A visible window of the process waits for a paint.
bool WaitsForPaint(const Program& P)
{
    std::vector<HWND> windows;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
    for (std::size_t i = 0, n = windows.size(); i < n; ++i) {
        DWORD pid = 0;
        GetWindowThreadProcessId(windows[i], &pid);
        if (pid == P.run.Id() && IsWindowVisible(windows[i]))
            EnumChildWindows(windows[i], AddWindow, reinterpret_cast<LPARAM>(&windows));
    }
    for (HWND w : windows) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == P.run.Id() && IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE))
            return true;
    }
    return false;
}

// No visible window of the process waits for a paint, and its main window answers.
bool Settled(const Program& P) { return !WaitsForPaint(P) && testkit::Answers(P.main); }

// Waits until the program has handled everything queued and waits for input (at most 10 s):
// the system shows what its windows painted when it does, not at the end of each paint.
void AtRest(const Program& P)
{
    if (WaitForInputIdle(P.run.Process(), 10000) != 0)
        throw Failed("the program did not come to rest within 10 s");
}

// A round trip through the program's queue: one pixel of Probe is marked for a paint, which the
// system hands the program only once no message posted to it before and no input waits; done
// when that paint is (at most 10 s). Where the program's idle event stays set once it was first
// idle (Wine: WaitForInputIdle answers at once while the program is busy), this is what tells
// that the work an action queued is done and the program goes back to waiting.
void QueueRoundTrip(HWND Probe)
{
    RECT pixel{0, 0, 1, 1};
    InvalidateRect(Probe, &pixel, FALSE);
    const double end = bench::NowMs() + 10000;
    while (GetUpdateRect(Probe, nullptr, FALSE)) {
        if (bench::NowMs() > end)
            throw Failed("the program did not paint within 10 s");
        Sleep(1);
    }
}

// Waits until the program has handled what its start queued (at rest, and a round trip through
// its queue) and no window of it waits for a paint (at most 10 s).
void SettleFirst(const Program& P)
{
    const double end = bench::NowMs() + 10000;
    for (;;) {
        AtRest(P);
        QueueRoundTrip(P.main);
        if (!WaitsForPaint(P))
            return;
        if (bench::NowMs() > end)
            throw Failed("the program's windows still waited for a paint 10 s after its start");
        Sleep(1);
    }
}

// The program's thread runs a menu.
bool InMenu(const Program& P)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(P.main, nullptr), &info) && (info.flags & GUI_INMENUMODE);
}

// Watches a rectangle of the screen from a thread of its own, as a camera would: the time of the
// last change it saw. What shows in Ignore (a window in front with a blinking caret) is no change.
class PixelWatch {
public:
    PixelWatch(const RECT& Area, double T0, const RECT& Ignore = {}) : FArea(Area), FIgnore(Ignore), FT0(T0)
    {
        FThread = std::thread([this] { Watch(); });
    }
    ~PixelWatch() { Stop(); }
    PixelWatch(const PixelWatch&) = delete;
    PixelWatch& operator=(const PixelWatch&) = delete;

    // Milliseconds from T0 to the last change, once the area has not changed for Quiet ms since
    // that change and the call (at most 10 s after the call); -1 when nothing changed.
    double LastChange(double Quiet)
    {
        const double called = bench::NowMs(), end = called + 10000;
        while (bench::NowMs() < end && bench::NowMs() - std::max(FLast.load(), called) < Quiet)
            Sleep(5);
        Stop();
        return FLast > 0 ? FLast - FT0 : -1;
    }
    // The span the last change lies in, in ms from T0: after the start of the copy of the frame
    // before, before the end of the copy that saw it (after LastChange).
    double SpanFrom() const { return FFrom - FT0; }
    double SpanTo() const { return FTo - FT0; }

private:
    void Stop()
    {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
    }

    void Watch()
    {
        const int w = FArea.right - FArea.left, h = FArea.bottom - FArea.top;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, dib);
        unsigned long long last = 0;
        bool first = true;
        double before = 0;
        while (!FStop) {
            // The frame shows the screen at some moment of its copy: its middle.
            const double previous = before;
            before = bench::NowMs();
            BitBlt(mem, 0, 0, w, h, screen, FArea.left, FArea.top, SRCCOPY);
            if (!IsRectEmpty(&FIgnore))
                PatBlt(mem, FIgnore.left - FArea.left, FIgnore.top - FArea.top, FIgnore.right - FIgnore.left,
                       FIgnore.bottom - FIgnore.top, BLACKNESS);
            GdiFlush();
            const double after = bench::NowMs(), at = (before + after) / 2;
            unsigned long long hash = 1469598103934665603ull;
            const auto* p = static_cast<const unsigned*>(bits);
            for (int i = 0, n = w * h; i < n; ++i)
                hash = (hash ^ p[i]) * 1099511628211ull;
            if (!first && hash != last) {
                FFrom = previous;
                FTo = after;
                FLast = at;
            }
            first = false;
            last = hash;
            Sleep(1);
        }
        SelectObject(mem, old);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }

    RECT FArea, FIgnore;
    double FT0;
    std::atomic<double> FLast{0};
    double FFrom = 0, FTo = 0; // read once the thread has ended
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

// Sends the window a message that does nothing, again and again from a thread of its own: the
// longest wait for an answer is the longest message the program held its thread with.
class MessagePing {
public:
    explicit MessagePing(HWND Wnd)
        : FThread([this, Wnd] {
              while (!FStop) {
                  const double t0 = bench::NowMs();
                  DWORD_PTR r = 0;
                  SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
                  FLongest = std::max(FLongest.load(), bench::NowMs() - t0);
                  Sleep(1);
              }
          })
    {
    }
    ~MessagePing()
    {
        FStop = true;
        FThread.join();
    }
    MessagePing(const MessagePing&) = delete;
    MessagePing& operator=(const MessagePing&) = delete;
    double Longest() const { return FLongest; }

private:
    std::atomic<double> FLongest{0};
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

RECT ScreenRect(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r;
}

// What a timed action took: to the settled screen, and to the last change the pixel watch saw.
struct Timing {
    double Settled = -1, Pixels = -1;
    double PixelsFrom = -1, PixelsTo = -1; // the span the last change lies in
};

// Starts the pixel watch on Area, runs Act and waits until Shows holds and the screen is settled
// (at most 60 s); the watch then waits for the screen to stay still for Quiet ms. With a Probe,
// the program's rest is a round trip through its queue (QueueRoundTrip) rather than its idle event;
// the watch takes no change in Ignore.
Timing Timed(const Program& P, const RECT& Area, const std::function<void()>& Act, const std::function<bool()>& Shows,
             double Quiet = 300, HWND Probe = nullptr, const RECT& Ignore = {})
{
    Timing t;
    const double t0 = bench::NowMs();
    PixelWatch watch(Area, t0, Ignore);
    Act();
    for (;;) {
        // When no window waits for a paint right after the program came to rest, the screen was
        // settled then (the look through the windows is not part of the figure).
        if (Shows()) {
            if (Probe)
                QueueRoundTrip(Probe);
            else
                AtRest(P);
            const double rest = bench::NowMs();
            if (!WaitsForPaint(P)) {
                t.Settled = rest - t0;
                break;
            }
        }
        if (bench::NowMs() - t0 > 60000)
            throw Failed("the screen did not settle within 60 s");
        Sleep(1);
    }
    t.Pixels = watch.LastChange(Quiet);
    t.PixelsFrom = watch.SpanFrom();
    t.PixelsTo = watch.SpanTo();
    return t;
}

std::string ItemText(const Program& P, HWND Tree, HTREEITEM Item)
{
    if (!P.rowText)
        P.rowText = std::make_unique<RemoteBuffer>(P.run.Process(), 512);
    RemoteBuffer& mem = *P.rowText;
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = Item;
    it.pszText = reinterpret_cast<char*>(mem.Address() + sizeof it);
    it.cchTextMax = 256;
    mem.Put(it);
    SendMessageA(Tree, TVM_GETITEMA, 0, mem.Address());
    std::string text(256, '\0');
    ReadProcessMemory(P.run.Process(), it.pszText, text.data(), text.size(), nullptr);
    return text.substr(0, text.find('\0'));
}

HTREEITEM LastVisible(HWND Tree)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0));
}

// The tree's last row has the text Text. Its text is read only when the row is another one than
// at the last look: reading a row's text in the program took up to 20 ms under load, and a look
// that slow made the settled figure late against the pixel watch (a collapse by up to 45%).
class LastRowIs {
public:
    LastRowIs(const Program& P, HWND Tree, std::string Text) : FP(P), FTree(Tree), FText(std::move(Text)) {}
    bool operator()()
    {
        const HTREEITEM last = LastVisible(FTree);
        if (last != FSeen) {
            FSeen = last;
            FIs = ItemText(FP, FTree, last) == FText;
        }
        return FIs;
    }

private:
    const Program& FP;
    HWND FTree;
    std::string FText;
    HTREEITEM FSeen = nullptr;
    bool FIs = false;
};

std::string StatusText(const Program& P, int Panel)
{
    auto bars = VisibleWindows(P.main, 0, "StatusBar");
    if (bars.empty())
        return {};
    RemoteBuffer text(P.run.Process(), 1024);
    SendMessageA(bars[0], SB_GETTEXTA, Panel, text.Address());
    return text.Text();
}

HWND Found(HWND Wnd, const char* What)
{
    if (!Wnd)
        throw Failed(std::string(What) + " did not show");
    return Wnd;
}

// The status bar, outside the watched areas, takes the round trips that tell the program's rest.
HWND StatusProbe(const Program& P)
{
    const auto bars = VisibleWindows(P.main, 0, "StatusBar");
    return Found(bars.empty() ? nullptr : bars[0], "the status bar");
}

void Launch(Program& P, const std::string& Folder)
{
    P.main = P.run.Launch(Folder);
    if (!P.main)
        throw Failed("the program did not come up within 20 s");
}

// A working tree's shape: Folders top-level folders, each of Subfolders folders of Entries entries
// (no subfolders: the entries right in the folder). With NativeShare the native control's own
// expand and its paint are timed here too: on the trees of 101,000 nodes a view of this process
// takes 14-21 s for it (the program 0.2-0.4 s), a figure that would tell nothing.
struct Shape {
    const char* Part;
    const char* Name;
    int Folders, Subfolders, Entries;
    bool NativeShare = false;
};

int Fill(TTreeNodes& Nodes, const Shape& S)
{
    Nodes.BeginUpdate();
    int made = 0;
    const auto entries = [&](TTreeNode* Folder) {
        for (int k = 0; k < S.Entries; ++k, ++made) {
            TTreeNode* a = Nodes.AddChild(Folder, "Статья номер " + IntToStr(made));
            a->SetImageIndex(8);
            a->SetSelectedIndex(8);
        }
    };
    for (int i = 0; i < S.Folders; ++i) {
        TTreeNode* top = Nodes.Add(nullptr, "Категория " + IntToStr(made++));
        if (S.Subfolders == 0)
            entries(top);
        for (int j = 0; j < S.Subfolders; ++j)
            entries(Nodes.AddChild(top, "Подкатегория " + IntToStr(made++)));
    }
    Nodes.EndUpdate();
    return made;
}

// The tree of the shape written as the program's working tree; answers the name of its last entry.
std::string WriteTree(const std::string& Folder, const Shape& S, int& Count)
{
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    tree->SetName("TreeView1");
    Count = Fill(*tree->Items(), S);
    treefile::WriteTreeFile(Folder + "FILES\\tree\\Temp.vlt", *tree);
    const std::string last = tree->Items()->Item(Count - 1)->Text();
    owner->Free();
    return last;
}

// The working tree's file loaded into an empty tree view with its window, in this process.
double TimeTheLoad(const std::string& Folder)
{
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TComponent* owner = Create<TComponent>(nullptr);
    auto* view = Create<TsTreeView>(owner);
    view->SetParentWindow(host);
    view->SetBounds(0, 0, 380, 560);
    view->HandleNeeded();
    ShowWindow(host, SW_SHOWNOACTIVATE);
    bench::PumpAll();
    const double t0 = bench::NowMs();
    treefile::ReadTreeFile(Folder + "FILES\\tree\\Temp.vlt", *view);
    UpdateWindow(view->Handle());
    const double load = bench::NowMs() - t0;
    owner->Free();
    DestroyWindow(host);
    bench::PumpAll();
    return load;
}

// The native control's own share of an expand, in this process: the working tree loaded (untimed)
// into a tree view that looks as the program's does (its size, row select, hot tracking, indent,
// no edge, and the program's own pictures, which the control asks for row by row and a parent of
// the framework answers), then the whole tree expanded (the layout of the rows) and painted; and
// painted again without the pictures, for the share of the paint that they are.
struct NativeExpand {
    double Expand = 0, Paint = 0, NoPictures = 0;
};

NativeExpand TimeTheNativeExpand(const std::string& Folder, const RECT& Client)
{
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TComponent* owner = Create<TComponent>(nullptr);
    auto* images = Create<TImageList>(owner);
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> program(
        LoadLibraryExA((Folder + "Vellorn.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), &FreeLibrary);
    if (program) {
        TBitmap strip;
        strip.LoadFromResourceName(program.get(), "IMAGELIST1");
        images->AddMasked(&strip, clFuchsia);
    }
    if (images->Count() == 0)
        throw Failed("the program's pictures could not be read");
    auto* panel = Create<TPanel>(owner);
    panel->SetParentWindow(host);
    panel->SetBounds(0, 0, 400, 600);
    auto* view = Create<TsTreeView>(owner);
    view->SetParent(panel);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, Client.right - Client.left, Client.bottom - Client.top);
    view->SetHotTrack(true);
    view->SetRowSelect(true);
    view->SetIndent(19);
    view->SetImages(images);
    view->SetStateImages(images);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    treefile::ReadTreeFile(Folder + "FILES\\tree\\Temp.vlt", *view);
    UpdateWindow(view->Handle());
    bench::PumpAll();
    NativeExpand n;
    const double t0 = bench::NowMs();
    view->FullExpand();
    const double t1 = bench::NowMs();
    UpdateWindow(view->Handle());
    n.Expand = t1 - t0;
    n.Paint = bench::NowMs() - t1;
    view->SetImages(nullptr);
    view->SetStateImages(nullptr);
    UpdateWindow(view->Handle());
    bench::PumpAll();
    InvalidateRect(view->Handle(), nullptr, TRUE);
    const double t2 = bench::NowMs();
    UpdateWindow(view->Handle());
    n.NoPictures = bench::NowMs() - t2;
    owner->Free();
    DestroyWindow(host);
    bench::PumpAll();
    return n;
}

// The settled figure against the pixel watch's: how far apart, in percent of the watch's. The
// watch places the last change between two of its frames, which are some ms apart under load: a
// settled figure within that span agrees.
void Agreement(const std::string& Name, const std::vector<Timing>& T)
{
    std::vector<double> off;
    for (const Timing& t : T)
        if (t.Pixels > 0)
            off.push_back(std::max({0.0, t.PixelsFrom - t.Settled, t.Settled - t.PixelsTo}) * 100 / t.Pixels);
    if (off.empty()) {
        std::printf("  %s: the pixel watch saw no change\n", Name.c_str());
        return;
    }
    std::vector<double> pixels;
    for (const Timing& t : T)
        pixels.push_back(t.Pixels);
    bench::Summary("  " + Name + ": the pixel watch's last change", pixels);
    std::sort(off.begin(), off.end());
    bench::AtMost("  " + Name + ": settled off the pixel watch, worst run", off.back(), 20, "%");
}

std::vector<double> SettledTimes(const std::vector<Timing>& T)
{
    std::vector<double> v;
    for (const Timing& t : T)
        v.push_back(t.Settled);
    return v;
}

// Drops the Top-th menu of the menu bar with its Item-th item highlighted, as a user does before
// choosing it (the keys ChooseInMenuBar posts, short of Enter), and waits until the drop-down
// shows, every key is handled (a round trip through the queue: the menu's loop dispatches the
// paint only after the keys posted before it) and no window waits for a paint (at most 10 s).
// Answers the ms it took.
double DropMenu(const Program& P, int Top, int Item, HWND Probe)
{
    const double t0 = bench::NowMs();
    PostMessageA(P.main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < Top; ++i)
        PostMessageA(P.main, WM_KEYDOWN, VK_RIGHT, 0);
    for (int i = 0; i <= Item; ++i)
        PostMessageA(P.main, WM_KEYDOWN, VK_DOWN, 0);
    for (;;) {
        if (!VisibleWindows(nullptr, P.run.Id(), "#32768").empty()) {
            QueueRoundTrip(Probe);
            const double rest = bench::NowMs();
            if (!WaitsForPaint(P))
                return rest - t0;
        }
        if (bench::NowMs() - t0 > 10000)
            throw Failed("the menu did not drop down within 10 s");
        Sleep(1);
    }
}

// A command of the menu bar timed as the user waits for it: the menu dropped with the item
// highlighted (untimed), then Enter up to Shows and the settled screen. Drop gets the drop-down's
// ms: with the command's they make the whole figure, from the menu opened to the settled screen.
Timing Chosen(const Program& P, const RECT& Area, int Top, int Item, HWND Probe, const std::function<bool()>& Shows,
              double& Drop)
{
    Drop = DropMenu(P, Top, Item, Probe);
    return Timed(P, Area, [&] { PostMessageA(P.main, WM_KEYDOWN, VK_RETURN, 0); }, Shows, 300, Probe);
}

// The median of the ratios A[i] / Floor[i], printed for the reader.
void MedianRatio(const std::string& Name, const std::vector<double>& A, const std::vector<double>& Floor)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < A.size(); ++i)
        r.push_back(A[i] / Floor[i]);
    std::sort(r.begin(), r.end());
    bench::Report(Name, r[r.size() / 2], "x");
}

// A[i] + Sign * B[i], each no less than 0.
std::vector<double> Sums(const std::vector<double>& A, const std::vector<double>& B, double Sign = 1)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < A.size(); ++i)
        v.push_back(std::max(0.0, A[i] + Sign * B[i]));
    return v;
}

// Each run: the tree file's load here, then the program started on it (the first expand after
// the start is the one a user meets), the whole tree expanded and collapsed from the menu, and
// the menu dropped and closed with Esc (the share of each command's wait that is the menu's).
// Each command is timed from the choice (Enter on the highlighted item) to the settled screen:
// the drop-down before it is the menu's own answer to the user, shown apart, and with the
// command makes the whole figure the reader sees beside it.
void TreeBenchmarks(const std::string& Folder, const Shape& S)
{
    int count = 0;
    const std::string lastEntry = WriteTree(Folder, S, count);
    std::printf("-- %s: %d nodes\n", S.Name, count);
    std::vector<double> loads, native, nativeExpand, nativePaint, noPictures, again, menuClose, dropExpand, dropCollapse;
    double dropAgain = 0;
    std::vector<Timing> expand, collapse;
    for (int i = 0; i < 5; ++i) {
        loads.push_back(TimeTheLoad(Folder));
        Program p;
        Launch(p, Folder);
        HWND tree = Found(testkit::OneVisibleWindow(p.main, "TreeView"), "the article tree");
        const std::string lastFolder = ItemText(p, tree, LastVisible(tree));
        SetForegroundWindow(p.main);
        testkit::Answers(p.main);
        // The start-up's last paints and work are not the expand's: a user meets the menu on a
        // window that has come to rest.
        SettleFirst(p);
        const RECT area = ScreenRect(tree);
        // The rest after each command is a round trip through the queue: the bars' refresh is
        // posted, and the idle event does not tell when it is done.
        const HWND probe = StatusProbe(p);
        // The menu closes once the command is chosen; the command comes as a message posted
        // then, which the round trip after it waits for (the idle event does not).
        const auto menuClosed = [&p] { return !InMenu(p); };
        expand.push_back(Chosen(p, area, 2, 0, probe, LastRowIs(p, tree, lastEntry), dropExpand.emplace_back()));
        // The same command with nothing left to change: the menu's close and the command's own work.
        again.push_back(Chosen(p, area, 2, 0, probe, menuClosed, dropAgain).Settled);
        collapse.push_back(Chosen(p, area, 2, 1, probe, LastRowIs(p, tree, lastFolder), dropCollapse.emplace_back()));
        DropMenu(p, 2, 0, probe);
        menuClose.push_back(Timed(
                                p, area,
                                [&] {
                                    PostMessageA(p.main, WM_KEYDOWN, VK_ESCAPE, 0);
                                    PostMessageA(p.main, WM_KEYDOWN, VK_ESCAPE, 0);
                                },
                                menuClosed, 300, probe)
                                .Settled);
        RECT client{};
        GetClientRect(tree, &client);
        p.run.Close(p.main);
        if (S.NativeShare) {
            const NativeExpand n = TimeTheNativeExpand(Folder, client);
            nativeExpand.push_back(n.Expand);
            nativePaint.push_back(n.Paint);
            noPictures.push_back(n.NoPictures);
            native.push_back(n.Expand + n.Paint);
        }
    }
    bench::Summary("  load of the tree file into a tree view", loads);
    bench::Summary("  the menu dropped, its item highlighted, settled", dropExpand);
    bench::Summary("  the whole tree expanded, chosen to settled", SettledTimes(expand));
    bench::Summary("  the whole tree collapsed, chosen to settled", SettledTimes(collapse));
    bench::Ratios("  expand all / load", SettledTimes(expand), loads, 1.5);
    // The figure with the drop-down before the choice, as the menu was timed with the command.
    MedianRatio("  expand all with the menu's drop-down / load", Sums(SettledTimes(expand), dropExpand), loads);
    bench::Summary("  expand all again, nothing to change, chosen to settled", again);
    // Where the load is short the menu weighs: the system's drop-down window taken down for each
    // command whatever it does. The figure without it, for the reader.
    bench::Summary("  the menu closed with Esc, no command, settled", menuClose);
    MedianRatio("  expand all less the menu's close / load", Sums(SettledTimes(expand), menuClose, -1), loads);
    if (!native.empty()) {
        // And the native control's expand of the same tree in this process, in the program's look
        // (with the framework's few ms around it): what is left is the program's. Where the menu's
        // close and this alone come near the goal, what misses it is the system's, not the program's.
        bench::Summary("  the native tree's expand here, the program's look", nativeExpand);
        bench::Summary("  its paint after, the rows with their pictures", nativePaint);
        bench::Summary("  the same rows painted without pictures", noPictures);
        bench::Summary("  the native tree's expand and paint here", native);
        const std::vector<double> notOurs = Sums(menuClose, native);
        MedianRatio("  the menu's close and the native expand and paint / load", notOurs, loads);
        MedianRatio("  expand all less the menu's close and the native expand and paint / load",
                    Sums(SettledTimes(expand), notOurs, -1), loads);
    }
    bench::Ratios("  collapse all / load", SettledTimes(collapse), loads, 2);
    MedianRatio("  collapse all with the menu's drop-down / load", Sums(SettledTimes(collapse), dropCollapse), loads);
    Agreement("expand", expand);
    Agreement("collapse", collapse);
}

// Watched: what the pixel watch looks at beside the repaints (the whole window when null), as it
// does beside the action the repaint is the floor of.
double RepaintBenchmark(Program& P, const RECT* Watched = nullptr,
                        const char* Name = "a full repaint of the main window, to the settled screen")
{
    std::vector<double> repaint;
    for (int i = 0; i < 9; ++i)
        repaint.push_back(Timed(
                              P, Watched ? *Watched : ScreenRect(P.main),
                              [&] {
                                  RedrawWindow(P.main, nullptr, nullptr,
                                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
                              },
                              [&] { return Settled(P); }, 50)
                              .Settled);
    return bench::Summary(Name, repaint);
}

void ChooserBenchmark(Program& P)
{
    // A pixel of the title bar, which every switch changes.
    const auto titlePixel = [&] {
        const RECT r = ScreenRect(P.main);
        return RECT{r.left + 300, r.top + 8, r.left + 301, r.top + 9};
    };
    // The floor, watched as the clicks are.
    const RECT pixel = titlePixel();
    const double repaint =
        RepaintBenchmark(P, &pixel, "a full repaint of the main window, one pixel watched, to the settled screen");
    SetForegroundWindow(P.main);
    testkit::ChooseInMenuBar(P.main, 2, 5);
    HWND chooser = Found(testkit::WaitForWindow(P.run.Id(), "TForm16"), "the skin chooser");
    HWND list = Found(testkit::OneVisibleWindow(chooser, "TsListBox"), "the chooser's list");
    const auto titleColour = [&] {
        const RECT at = titlePixel();
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, at.left, at.top);
        ReleaseDC(nullptr, screen);
        return c;
    };
    std::vector<Timing> clicks;
    double longest = 0, first = 0;
    for (int i = 0; i < 10; ++i) {
        const int index = int(SendMessageA(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(i % 2 ? "Neutral" : "Dusk")));
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &at);
        testkit::SendMouse(at);
        testkit::Answers(P.main);
        const COLORREF before = titleColour();
        MessagePing ping(P.main);
        // The watch looks at that pixel only: its figure is not used here, and a watch copying
        // the whole window every millisecond holds the display the program paints through (the
        // switch's paints took half as long again beside it).
        clicks.push_back(Timed(
                             P, titlePixel(),
                             [&] {
                                 testkit::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
                                 testkit::SendMouse(at, MOUSEEVENTF_LEFTUP);
                             },
                             [&] { return titleColour() != before && testkit::Answers(P.main); }, 50));
        longest = std::max(longest, ping.Longest());
        if (i == 0)
            first = ping.Longest();
    }
    PostMessageA(chooser, WM_CLOSE, 0, 0);
    testkit::WaitUntil([&] { return !IsWindowVisible(chooser); });
    // No pixel watch here: the list's hover fades under the pointer for a while after each click.
    const double click = bench::Summary("a click in the skin chooser, to the settled screen", SettledTimes(clicks));
    bench::AtMost("  chooser click to the settled screen", click, repaint + 100, "ms");
    bench::AtMost("  longest wait for an answer during the switches (ping)", longest, 100, "ms");
    // The first switch after the start is the one that met work done once (windows never made).
    bench::AtMost("  the same during the first switch", first, 100, "ms");
}

// The titles a search for Word lists on the working tree of the shape: its entries whose title
// holds Word, in the tree's order.
std::vector<std::string> ListedTitles(const Shape& S, const char* Word)
{
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    Fill(*tree->Items(), S);
    std::vector<std::string> titles;
    for (const TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->ImageIndex() == 8 && n->Text().find(Word) != AnsiString::npos)
            titles.push_back(n->Text());
    owner->Free();
    return titles;
}

// A bare system tree view in this process over the program's results view, of its size and row
// styles (with no pictures, in the stock font): the system control's own share of a search, its
// old results dropped, the new ones inserted under its drawing lock, laid out at the lock's end
// and painted.
class BareTree {
public:
    BareTree(const RECT& At, const std::vector<std::string>& Titles)
    {
        FHost = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "bench",
                                WS_POPUP | WS_CLIPCHILDREN, At.left, At.top, At.right - At.left,
                                At.bottom - At.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        FTree = CreateWindowExA(0, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_TRACKSELECT | TVS_FULLROWSELECT |
                                    TVS_DISABLEDRAGDROP,
                                0, 0, At.right - At.left, At.bottom - At.top, FHost, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        SendMessageA(FTree, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        ShowWindow(FHost, SW_SHOWNOACTIVATE);
        Replace(Titles);
    }
    ~BareTree() { DestroyWindow(FHost); }
    BareTree(const BareTree&) = delete;
    BareTree& operator=(const BareTree&) = delete;

    // The time from the old rows' drop to the new ones painted.
    double Replace(const std::vector<std::string>& Titles)
    {
        const double t0 = bench::NowMs();
        SendMessageA(FTree, WM_SETREDRAW, FALSE, 0);
        SendMessageA(FTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        TVINSERTSTRUCTA is{};
        is.hParent = TVI_ROOT;
        is.hInsertAfter = TVI_LAST;
        is.item.mask = TVIF_TEXT;
        for (const std::string& t : Titles) {
            is.item.pszText = const_cast<char*>(t.c_str());
            SendMessageA(FTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is));
        }
        SendMessageA(FTree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FTree, nullptr, TRUE);
        UpdateWindow(FTree);
        return bench::NowMs() - t0;
    }

private:
    HWND FHost = nullptr, FTree = nullptr;
};

void SearchBenchmark(Program& P, double Repaint, const Shape& S)
{
    const char* const queries[] = {"номер 2", "номер 1"};
    const std::vector<std::string> listed[] = {ListedTitles(S, queries[0]), ListedTitles(S, queries[1])};
    std::vector<double> bare;
    HWND results = nullptr;
    RECT resultsAt{};
    SetForegroundWindow(P.main);
    testkit::ChooseInMenuBar(P.main, 3, 0);
    HWND search = Found(testkit::WaitForWindow(P.run.Id(), "TForm4"), "the search dialog");
    HWND query = Found(testkit::OneVisibleWindow(search, "Edit"), "the search box");
    std::vector<Timing> enters;
    std::string shown = StatusText(P, 1);
    // The pixel watch looks at the pages, where the results show, less the dialog in front (its
    // box's caret blinks).
    const auto pages = VisibleWindows(P.main, 0, "PageControl");
    const RECT area = ScreenRect(pages.empty() ? P.main : pages[0]);
    const HWND probe = StatusProbe(P);
    for (int i = 0; i < 10; ++i) {
        SendMessageA(query, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(queries[i % 2]));
        SetForegroundWindow(search);
        testkit::WaitUntil([&] { return GetForegroundWindow() == search; });
        testkit::Answers(P.main);
        enters.push_back(Timed(
            P, area,
            [] {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = VK_RETURN;
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(2, in, sizeof(INPUT));
            },
            [&] {
                const std::string now = StatusText(P, 1);
                return now.rfind("Найденных статей: ", 0) == 0 && now != shown;
            },
            300, probe, ScreenRect(search)));
        shown = StatusText(P, 1);
        if (!results) {
            results = Found(testkit::OneVisibleWindow(P.main, "TreeView"), "the results view");
            resultsAt = ScreenRect(results);
        }
        // In turn with each search, the same change in the bare tree: the last search's results
        // replaced with this one's. The program then repaints what the bare tree covered.
        {
            BareTree tree(resultsAt, listed[(i + 1) % 2]);
            bare.push_back(tree.Replace(listed[i % 2]));
        }
        testkit::WaitUntil([&] { return Settled(P); });
    }
    std::printf("  results: %s\n", shown.c_str());
    const double enter = bench::Summary("Enter in the title search, to the settled screen", SettledTimes(enters));
    bench::AtMost("  search Enter to the settled screen", enter, Repaint + 100, "ms");
    std::vector<double> worst;
    for (const Timing& t : enters)
        worst.push_back(t.Settled - Repaint);
    bench::AtMost("  slowest search beyond the repaint", *std::max_element(worst.begin(), worst.end()), 100, "ms");
    // The system's control alone, the same change in a bare tree view taken in turn with each
    // search: what of the goal the control takes whatever the program does.
    bench::Summary("  the same results replacing the last in a bare system tree view, to its paint", bare);
    const double bareWorst = *std::max_element(bare.begin(), bare.end()) - Repaint;
    bench::Report("  the bare tree's slowest beyond the repaint", bareWorst, "ms");
    MedianRatio("  the bare tree / the search, each pair in its turn", bare, SettledTimes(enters));
    if (bareWorst > 100)
        std::printf("  (the system's control alone takes more than the goal: it measures the text of every row\n"
                    "  when its drawing lock ends, and drops its old rows one at a time, each a move of its\n"
                    "  item table)\n");
    Agreement("search", enters);
    PostMessageA(search, WM_CLOSE, 0, 0);
}

// Args: the parts to run ("trees", or one shape of them: "article", "flat", "folder"; "chooser",
// "search"); none runs all.
int Run(const std::vector<std::string>& Parts)
{
    const auto wanted = [&](const char* Part) {
        return Parts.empty() || std::find(Parts.begin(), Parts.end(), Part) != Parts.end();
    };
    const std::string dir = bench::TempFolder(("vellorn_bench_outside_" + std::to_string(GetCurrentProcessId())).c_str());
    bench::CopyFolder(bench::DefaultsFolder() + "FILES", dir + "FILES");
    if (!testkit::ProgramRun::CopyProgram(dir))
        throw Failed("the program could not be copied");
    struct Clear {
        std::string Dir;
        ~Clear() { ClearDir(Dir, true); }
    } clear{dir};
    const Shape shapes[] = {{"article", "the article tree, 1,010 categories x 9 x 10", 1010, 9, 10},
                            {"flat", "a flat tree, 1,000 folders x 100 entries", 1000, 0, 100},
                            {"folder", "one folder of 10,000 entries", 1, 0, 10000, true}};
    for (const Shape& s : shapes)
        if (wanted("trees") || wanted(s.Part))
            TreeBenchmarks(dir, s);
    if (!wanted("chooser") && !wanted("search"))
        return 0;
    // The chooser and the search on the article tree of 101,000 nodes.
    int count = 0;
    WriteTree(dir, shapes[0], count);
    Program p;
    Launch(p, dir);
    const double repaint = RepaintBenchmark(p);
    if (wanted("chooser"))
        ChooserBenchmark(p);
    if (wanted("search"))
        SearchBenchmark(p, repaint, shapes[0]);
    return p.run.Close(p.main) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "bench_outside: %s\n", e.what());
        return 1;
    }
}
