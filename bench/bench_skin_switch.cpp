// Switching the skin of the whole program as the user does it: the main window shown with its
// thirteen other forms created, the chooser's choice taken by the main window's skin timer, and
// every window repainted, from Neutral to Dusk and back; against its floor, loading the two skins
// with their pictures decoded and, after each switch, its own repaint work: the windows repainted
// in the skin just taken, as the library repaints them with the skin it has. Goals: the switch at
// most 1.3 times its floor, and no single message (the timer's tick, each paint after it) holding
// up the user interface for more than 100 ms.
#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "BenchHarness.h"
#include "Main.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"

#include "Form12.h"
#include "Form13.h"
#include "Form14.h"
#include "Form15.h"
#include "Form16.h"
#include "Form2.h"
#include "Form4.h"
#include "Form5.h"
#include "Form7.h"
#include "Form8.h"
#include "Form9.h"
#include "FormFLog.h"
#include "FormFlash.h"
#include "FormFlashO.h"

namespace {

// A skin read into the tables as the manager reads it, without telling any window, its pictures
// decoded as the first paint decodes them.
void LoadAlone(const AnsiString& Skins, const char* Name)
{
    bench::LoadSkinTables(Skins + Name + "\\");
    for (TsPatternData& p : pa)
        p.Img->Bitmap();
}

// The windows a switch paints: those a paint message reaches, sent or taken from the queue.
std::set<HWND> g_painted;

LRESULT CALLBACK RecordPaints(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && (m->message == WM_PAINT || m->message == WM_NCPAINT))
        g_painted.insert(m->hwnd);
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

// Handles every message waiting, each timed: Longest is the longest of them.
void PumpTimed(double& Longest)
{
    MSG msg;
    for (double t0 = bench::NowMs(); PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); t0 = bench::NowMs()) {
        if (msg.message == WM_PAINT)
            g_painted.insert(msg.hwnd);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        Longest = std::max(Longest, bench::NowMs() - t0);
    }
}

// The chooser's choice taken by the skin timer's tick, then every message up to the last paint,
// each timed: Longest is the longest of them. Answers the windows the switch painted.
std::set<HWND> ChooseSkin(const char* Name, double& Longest)
{
    TsListBox* list = Form16->sListBox1;
    list->SetItemIndex(list->Items()->IndexOf(Name));
    ID_Vellorn->PendingSkin = true;
    g_painted.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordPaints, nullptr, GetCurrentThreadId());
    const double t0 = bench::NowMs();
    ID_Vellorn->Timer5Timer(nullptr);
    Longest = std::max(Longest, bench::NowMs() - t0);
    PumpTimed(Longest);
    UnhookWindowsHookEx(hook);
    return std::move(g_painted);
}

// The floor's repaint: every window repainted in the skin it has, as the library repaints them
// after a change (the caches drawn anew, each window painted once, in a message of its own).
// Answers the windows painted.
std::set<HWND> RepaintInSkin(double& Longest)
{
    g_painted.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordPaints, nullptr, GetCurrentThreadId());
    {
        TPaintDeferral deferred(true);
        TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, AC_REPAINT), 0);
        AppBroadCastS(m);
    }
    PumpTimed(Longest);
    UnhookWindowsHookEx(hook);
    return std::move(g_painted);
}

} // namespace

int main()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const AnsiString dir =
        AnsiString(base) + "vellorn_bench_skin_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
    bench::CopyFolder(bench::DefaultsFolder() + "FILES", dir + "FILES");
    bench::CopyFolder(bench::DefaultsFolder() + "Skins", dir + "Skins");
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");

    Application->Initialize();
    Application->CreateForm(ID_Vellorn);
    Application->CreateForm(Form2);
    Application->CreateForm(Form4);
    Application->CreateForm(Form7);
    Application->CreateForm(Form8);
    Application->CreateForm(Form9);
    Application->CreateForm(Flash);
    Application->CreateForm(Form5);
    Application->CreateForm(FlashO);
    Application->CreateForm(Form12);
    Application->CreateForm(Form13);
    Application->CreateForm(Form14);
    Application->CreateForm(Form15);
    Application->CreateForm(Form16);
    ID_Vellorn->Show();
    Application->ProcessMessages();
    int controls = 0;
    for (int i = 0; i < Screen->FormCount(); ++i)
        controls += Screen->Forms(i)->ComponentCount();
    std::printf("  %d forms, %d components\n", Screen->FormCount(), controls);

    const AnsiString skins = dir + "Skins\\";
    TStringList names;
    ID_Vellorn->sSkinManager1->GetSkinNames(&names);
    Form16->sListBox1->Items()->Assign(&names);
    ID_Vellorn->sSkinManager1->SetSkinName("Neutral");
    Application->ProcessMessages();
    double longest = 0;
    // Each round: the two loads alone (they leave the tables holding Neutral, as the switch does),
    // then each switch followed by the repaint of the windows it painted, in its skin.
    std::vector<double> switches, floors;
    std::size_t painted = 0, repainted = 0;
    for (int round = 0; round < 15; ++round) {
        double t0 = bench::NowMs();
        LoadAlone(skins, "Dusk");
        LoadAlone(skins, "Neutral");
        double floor = bench::NowMs() - t0;
        double switched = 0, ignored = 0;
        for (const char* name : {"Dusk", "Neutral"}) {
            t0 = bench::NowMs();
            painted = ChooseSkin(name, longest).size();
            switched += bench::NowMs() - t0;
            t0 = bench::NowMs();
            repainted = RepaintInSkin(ignored).size();
            floor += bench::NowMs() - t0;
        }
        switches.push_back(switched);
        floors.push_back(floor);
    }
    std::printf("  %d windows painted by a switch, %d by its repaint alone\n", static_cast<int>(painted),
                static_cast<int>(repainted));
    bench::Summary("skin switch to Dusk and back, all repainted", switches);
    bench::Summary("its floor: the two loads, and the repaint after each switch", floors);
    bench::Ratios("switch / its floor", switches, floors, 1.3);
    bench::AtMost("longest single message of a switch", longest, 100, "ms");

    ID_Vellorn->Close();
    Application->ProcessMessages();
    ClearDir(dir, true);
    return 0;
}
