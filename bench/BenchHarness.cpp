#include "BenchHarness.h"

#include "ComCtrlsTree.h"
#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"
#include "SysUtilsFiles.h"
#include "sMaskData.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

namespace {

// CP1251 text as UTF-8, for the terminal.
std::string Utf8(const AnsiString& Text)
{
    const int n = MultiByteToWideChar(1251, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(1251, 0, Text.data(), static_cast<int>(Text.size()), w.data(), n);
    const int m = WideCharToMultiByte(CP_UTF8, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), n, r.data(), m, nullptr, nullptr);
    return r;
}

// A box in a benchmark would wait for a click that never comes: the run fails at once instead,
// naming the box.
[[noreturn]] void FailOnBox(const AnsiString& Caption, const AnsiString& Text)
{
    std::fflush(stdout);
    std::fprintf(stderr, "benchmark failed: a box was shown: \"%s\": %s\n", Utf8(Caption).c_str(),
                 Utf8(Text).c_str());
    std::fflush(stderr);
    ExitProcess(2);
}

// Every box of the framework and the skin library asks the prompt service.
class TFailingPrompts : public IPromptService {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT) override { FailOnBox(caption, text); }
    TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType, TMsgDlgButtons, int, int,
                            int) override
    {
        FailOnBox(title, msg);
    }
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString&) override
    {
        FailOnBox(caption, prompt);
    }
    bool ExecuteDialog(TCommonDialog& dialog) override { FailOnBox(dialog.ClassName(), "a common dialog"); }
};

BOOL CALLBACK AddChildText(HWND Child, LPARAM Into)
{
    char buf[1024] = {};
    if (GetWindowTextA(Child, buf, sizeof buf) > 0)
        *reinterpret_cast<AnsiString*>(Into) += AnsiString(buf) + " | ";
    return TRUE;
}

// A system dialog window shown some other way (MessageBoxA called directly) fails the run with
// its texts as it is activated.
LRESULT CALLBACK DialogHook(int Code, WPARAM WParam, LPARAM LParam)
{
    char cls[16] = {};
    if (Code == HCBT_ACTIVATE && GetClassNameA(reinterpret_cast<HWND>(WParam), cls, sizeof cls) &&
        lstrcmpA(cls, "#32770") == 0) {
        const HWND dialog = reinterpret_cast<HWND>(WParam);
        AnsiString text;
        EnumChildWindows(dialog, AddChildText, reinterpret_cast<LPARAM>(&text));
        char caption[256] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        FailOnBox(caption, text);
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// In place for the whole run of every benchmark program.
struct TNoBoxes {
    TFailingPrompts prompts;
    TPromptServiceGuard guard{prompts};
    HHOOK hook = SetWindowsHookExA(WH_CBT, DialogHook, nullptr, GetCurrentThreadId());
} const noBoxes;

} // namespace

double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Summary(const std::string& name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-50s median %10.3f ms  (min %.3f, max %.3f, %d runs)\n", name.c_str(), median, times.front(),
                times.back(), static_cast<int>(times.size()));
    std::fflush(stdout);
    return median;
}

double Measure(const std::string& name, int runs, const std::function<void()>& body,
               const std::function<void()>& setup)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        double t0 = NowMs();
        body();
        times.push_back(NowMs() - t0);
    }
    return Summary(name, std::move(times));
}

std::pair<double, double> SideBySide(const std::string& name, int runs, const std::function<void()>& plain,
                                     const std::function<void()>& measured, const std::function<void(bool plain)>& setup)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup(true);
        double t0 = NowMs();
        plain();
        a.push_back(NowMs() - t0);
        if (setup)
            setup(false);
        t0 = NowMs();
        measured();
        b.push_back(NowMs() - t0);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    Report("plain: " + name + " (median ms)", a[a.size() / 2], "");
    Report(name + " (median ms)", b[b.size() / 2], "");
    return {a[a.size() / 2], b[b.size() / 2]};
}

TRounds InTurn(int Rounds, const std::function<void()>& Floor, const std::function<void()>& Measured,
               const std::function<void(bool floor)>& Setup)
{
    TRounds r;
    auto take = [&](bool floor) {
        if (Setup)
            Setup(floor);
        const double t0 = NowMs();
        (floor ? Floor : Measured)();
        (floor ? r.Floor : r.Measured).push_back(NowMs() - t0);
    };
    for (int i = 0; i < Rounds; ++i) {
        take(i % 2 == 0);
        take(i % 2 != 0);
    }
    return r;
}

bool RatioLines(const std::string& FloorName, const std::string& MeasuredName, const std::string& RatioName,
                const TRounds& Rounds, double Most)
{
    Summary(FloorName, Rounds.Floor);
    Summary(MeasuredName, Rounds.Measured);
    return Ratios(RatioName, Rounds.Measured, Rounds.Floor, Most);
}

void PumpAll()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Report(const std::string& name, double value, const std::string& unit)
{
    std::printf("%-50s %10.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

namespace {

bool Goal(const std::string& name, double value, double goal, const std::string& unit, bool atMost,
          const std::string& note = {})
{
    const bool met = atMost ? value <= goal : value >= goal;
    char text[160];
    std::snprintf(text, sizeof text, "%s (goal: at %s %g)%s%s", unit.c_str(), atMost ? "most" : "least", goal,
                  note.c_str(), met ? "" : "  GOAL MISSED");
    Report(name, value, text);
    return met;
}

} // namespace

bool AtMost(const std::string& name, double value, double goal, const std::string& unit)
{
    return Goal(name, value, goal, unit, true);
}

bool AtLeast(const std::string& name, double value, double goal, const std::string& unit)
{
    return Goal(name, value, goal, unit, false);
}

namespace {

std::vector<double> SortedRatios(const std::vector<double>& Measured, const std::vector<double>& Floor)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < Measured.size() && i < Floor.size(); ++i)
        r.push_back(Measured[i] / Floor[i]);
    std::sort(r.begin(), r.end());
    return r;
}

} // namespace

double MedianRatio(const std::vector<double>& Measured, const std::vector<double>& Floor)
{
    const std::vector<double> r = SortedRatios(Measured, Floor);
    return r.empty() ? 0 : r[r.size() / 2];
}

bool Ratios(const std::string& name, const std::vector<double>& Measured, const std::vector<double>& Floor,
            double Most)
{
    const std::vector<double> r = SortedRatios(Measured, Floor);
    if (r.empty())
        return false;
    char runs[64];
    std::snprintf(runs, sizeof runs, " runs %.2f-%.2f", r.front(), r.back());
    return Goal(name, r[r.size() / 2], Most, "x", true, runs);
}

void FillArticleTree(TTreeNodes& nodes, int count)
{
    nodes.BeginUpdate();
    int made = 0;
    while (made < count) {
        TTreeNode* top = nodes.Add(nullptr, "Категория " + IntToStr(made));
        ++made;
        for (int j = 0; j < 9 && made < count; ++j) {
            TTreeNode* mid = nodes.AddChild(top, "Подкатегория " + IntToStr(made));
            ++made;
            for (int k = 0; k < 10 && made < count; ++k, ++made) {
                TTreeNode* a = nodes.AddChild(mid, "Статья номер " + IntToStr(made));
                a->SetImageIndex(8);
                a->SetSelectedIndex(8);
            }
        }
    }
    nodes.EndUpdate();
}

void CopyFolder(const std::string& From, const std::string& To)
{
    ForceDirectories(To);
    TSearchRec rec;
    if (FindFirst(From + "\\*", faAnyFile, rec) != 0)
        return;
    do {
        if (rec.Name == "." || rec.Name == "..")
            continue;
        if (rec.Attr & faDirectory)
            CopyFolder(From + "\\" + rec.Name, To + "\\" + rec.Name);
        else
            CopyFileA((From + "\\" + rec.Name).c_str(), (To + "\\" + rec.Name).c_str(), FALSE);
    } while (FindNext(rec) == 0);
    FindClose(rec);
}

void LoadSkinTables(const std::string& Folder)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(Folder + "Options.dat");
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    InitConstantIndexes();
}

std::string DefaultsFolder() { return std::string(VELLORN_SOURCE_WIN) + "\\app\\defaults\\"; }

TsSkinManager* UseShippedSkin(const char* Name)
{
    auto* manager = Create<TsSkinManager>(Application);
    manager->SetSkinDirectory(DefaultsFolder() + "Skins\\");
    manager->SetSkinName(Name);
    return manager;
}

std::string TempFolder(const char* Name)
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return std::string(base) + Name + "\\";
}

std::string KeptFolder(const char* Name, int Count, bool Folders)
{
    const std::string dir = TempFolder(Name);
    char last[32];
    wsprintfA(last, Folders ? "folder %05d" : "file %05d.txt", Count - 1);
    if (GetFileAttributesA((dir + last).c_str()) != INVALID_FILE_ATTRIBUTES)
        return dir;
    std::printf("making %s (%d %s), once\n", dir.c_str(), Count, Folders ? "folders" : "files");
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int i = 0; i < Count; ++i) {
        char name[32];
        wsprintfA(name, Folders ? "folder %05d" : "file %05d.txt", i);
        const std::string path = dir + name;
        if (Folders) {
            CreateDirectoryA(path.c_str(), nullptr);
            if (i % 2 == 0)
                CreateDirectoryA((path + "\\inner").c_str(), nullptr);
        } else {
            HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(h, name, 8, &written, nullptr);
            CloseHandle(h);
        }
    }
    return dir;
}

} // namespace bench
