// Switching the skin of the whole program as the user does it: the main window shown with its
// thirteen other forms created, the chooser's choice taken by the main window's skin timer, and
// every visible window repainted, from Neutral to Dusk and back; against its floor, loading the two
// skins with their pictures decoded and redrawing the main window twice. Goals: the switch at most
// 1.3 times its floor, and no single message (the timer's tick, each paint after it) holding up the
// user interface for more than 100 ms.
#include <algorithm>
#include <cstdio>

#include "BenchHarness.h"
#include "Main.h"
#include "sMaskData.h"
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

// The chooser's choice taken by the skin timer's tick, then every message up to the last paint,
// each timed: Longest is the longest of them.
void ChooseSkin(const char* Name, double& Longest)
{
    TsListBox* list = Form16->sListBox1;
    list->SetItemIndex(list->Items()->IndexOf(Name));
    ID_Vellorn->PendingSkin = true;
    double t0 = bench::NowMs();
    ID_Vellorn->Timer5Timer(nullptr);
    Longest = std::max(Longest, bench::NowMs() - t0);
    MSG msg;
    for (t0 = bench::NowMs(); PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); t0 = bench::NowMs()) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        Longest = std::max(Longest, bench::NowMs() - t0);
    }
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
    // The loads alone leave the tables holding Neutral, as the switch does.
    const auto [alone, switched] = bench::SideBySide(
        "skin switch to Dusk and back, all repainted (plain: the two loads)", 15,
        [&] {
            LoadAlone(skins, "Dusk");
            LoadAlone(skins, "Neutral");
        },
        [&] {
            ChooseSkin("Dusk", longest);
            ChooseSkin("Neutral", longest);
        });
    const double redraw = bench::Measure("for comparison: one full redraw of the main window", 15, [&] {
        RedrawWindow(ID_Vellorn->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        Application->ProcessMessages();
    });
    bench::AtMost("switch / its floor (the two loads and two full redraws)", switched / (alone + 2 * redraw), 1.3);
    bench::AtMost("longest single message of a switch", longest, 100, "ms");

    ID_Vellorn->Close();
    Application->ProcessMessages();
    ClearDir(dir, true);
    return 0;
}
