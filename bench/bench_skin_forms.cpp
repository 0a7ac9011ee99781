// The main window's frame skinned with Neutral beside the same window's plain frame: an activation
// change off and on, after which each draws its whole frame (title, buttons, menu line) anew in
// the other look and back, and a menu item's change, which draws the menu line anew, the skinned
// and the plain frame taken in turn; and a switch of the whole window from Neutral to Dusk and
// back, its controls repainted.
#include <cstdio>
#include <string>

#include "BenchHarness.h"
#include "Main.h"
#include "sSkinProvider.h"

namespace {

AnsiString TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return AnsiString(base) + "vellorn_bench_forms_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId())) + "\\";
}

// A menu item enabled or disabled: the menu bar is drawn anew.
void MenuChange(TID_Vellorn* Form)
{
    Form->N1->SetEnabled(!Form->N1->Enabled());
    UpdateWindow(Form->Handle());
}

// An activation change, off and on again: the whole frame is drawn anew twice.
void Activation(TID_Vellorn* Form)
{
    SendMessageA(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
    SendMessageA(Form->Handle(), WM_NCACTIVATE, TRUE, 0);
}

} // namespace

int main()
{
    const AnsiString dir = TempFolder();
    ForceDirectories(dir + "FILES\\tree");
    bench::CopyFolder(bench::DefaultsFolder() + "Skins", dir + "Skins");
    SafeWriteFileBytes(dir + "FILES\\form.ini", "[FORM]\r\nWidth=960\r\nHeight=680\r\nTop=20\r\nLeft=20\r\nSkin=Neutral\r\n"
                                                "[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=1\r\nVisible_Tree=1\r\n");
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");
    auto* form = Create<TID_Vellorn>(Application);
    form->Show();
    SetForegroundWindow(form->Handle());
    UpdateWindow(form->Handle());
    Application->ProcessMessages();
    const HWND wnd = form->Handle();

    int i = 0;
    const double change = bench::Measure("skin switch of the main window, repainted", 10, [&] {
        form->sSkinManager1->SetSkinName(++i % 2 ? "Dusk" : "Neutral");
        RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    form->sSkinManager1->SetSkinName("Neutral");
    Application->ProcessMessages();

    // The same window skinned (Neutral) and plain in turn, the skin put on or taken off before
    // each side's turn.
    auto look = [&](bool plain) {
        form->sSkinManager1->SetActive(!plain);
        Application->ProcessMessages();
        UpdateWindow(wnd);
    };
    const bench::TRounds menu = bench::InTurn(21, [&] { MenuChange(form); }, [&] { MenuChange(form); }, look);
    const bench::TRounds activation = bench::InTurn(21, [&] { Activation(form); }, [&] { Activation(form); }, look);
    bench::Summary("menu item state change, skinned (Neutral)", menu.Measured);
    bench::Summary("activation off and on, skinned (Neutral)", activation.Measured);
    bench::Summary("menu item state change, plain", menu.Floor);
    bench::Summary("activation off and on, plain", activation.Floor);

    bench::Ratios("  frame drawn anew: activation change skinned / plain", activation.Measured, activation.Floor, 2);
    bench::Report("  menu item state change skinned / plain", bench::MedianRatio(menu.Measured, menu.Floor), "x");
    bench::AtMost("  skin switch of the main window, repainted", change, 100, "ms");

    form->Free();
    return 0;
}
