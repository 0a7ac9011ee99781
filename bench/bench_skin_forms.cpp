// The main window's frame skinned with Neutral beside the same window's plain frame: an activation
// change off and on, after which each draws its whole frame (title, buttons, menu line) anew in
// the other look and back, and a menu item's change, which draws the menu line anew; and a switch
// of the whole window from Neutral to Dusk and back, its controls repainted.
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

// An activation change (off and on again) and a menu item's change, each drawing the frame anew.
struct FrameFigures {
    double activation, menu;
};
FrameFigures MeasureFrame(const std::string& Look, TID_Vellorn* Form)
{
    const HWND Wnd = Form->Handle();
    FrameFigures f{};
    // A menu item enabled or disabled: the menu bar is drawn anew.
    f.menu = bench::Measure("menu item state change, " + Look, 21, [&] {
        Form->N1->SetEnabled(!Form->N1->Enabled());
        UpdateWindow(Wnd);
    });
    f.activation = bench::Measure("activation off and on, " + Look, 21, [&] {
        SendMessageA(Wnd, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(Wnd, WM_NCACTIVATE, TRUE, 0);
    });
    return f;
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

    const FrameFigures skinned = MeasureFrame("skinned (Neutral)", form);
    int i = 0;
    const double change = bench::Measure("skin switch of the main window, repainted", 10, [&] {
        form->sSkinManager1->SetSkinName(++i % 2 ? "Dusk" : "Neutral");
        RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    form->sSkinManager1->SetSkinName("Neutral");
    form->sSkinManager1->SetActive(false);
    Application->ProcessMessages();
    const FrameFigures plain = MeasureFrame("plain", form);

    bench::AtMost("  frame drawn anew: activation change skinned / plain", skinned.activation / plain.activation, 2);
    bench::Report("  menu item state change skinned / plain", skinned.menu / plain.menu, "x");
    bench::AtMost("  skin switch of the main window, repainted", change, 100, "ms");

    form->Free();
    return 0;
}
