// Switching the skin of the whole program: the main window with its thirteen other forms and all
// their controls, switched from Neutral to Dusk and back (the loads and the new-skin and repaint
// commands to every window), against loading the two skins alone. Goal: at most 3 times the loads
// alone. The repaints that follow are shown beside it, with a full redraw of the main window.
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

int main()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const AnsiString dir =
        AnsiString(base) + "vellorn_bench_skin_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
    const AnsiString defaults = AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\";
    bench::CopyFolder(defaults + "FILES", dir + "FILES");
    bench::CopyFolder(defaults + "Skins", dir + "Skins");
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
    const double alone = bench::Measure("load Neutral and Dusk alone", 15, [&] {
        bench::LoadSkinTables(skins + "Dusk\\");
        bench::LoadSkinTables(skins + "Neutral\\");
    });
    TsSkinManager* manager = ID_Vellorn->sSkinManager1;
    manager->SetSkinName("Neutral");
    const double switched = bench::Measure("switch the program to Dusk and back (loads, commands to every window)", 15, [&] {
        manager->SetSkinName("Dusk");
        manager->SetSkinName("Neutral");
    });
    const double painted = bench::Measure("the same with the repaints that follow", 15, [&] {
        manager->SetSkinName("Dusk");
        Application->ProcessMessages();
        manager->SetSkinName("Neutral");
        Application->ProcessMessages();
    });
    const double redraw = bench::Measure("for comparison: one full redraw of the main window", 15, [&] {
        RedrawWindow(ID_Vellorn->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        Application->ProcessMessages();
    });
    bench::Report("switch / loads alone (goal <= 3)", switched / alone, "x");
    bench::Report("switch with repaints / loads alone", painted / alone, "x");
    bench::Report("two full redraws / loads alone", 2 * redraw / alone, "x");

    ID_Vellorn->Close();
    Application->ProcessMessages();
    ClearDir(dir, true);
    return 0;
}
