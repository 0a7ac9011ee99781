// Typing into the mask edit beside typing into the plain edit: 10,000 digits into a 20-place mask
// (four literals between its places), every keystroke through the message loop and repainted, the
// whole text selected before each run of 20 so that both edits keep 20 characters. The plain edit
// gets the same keys; the figures are printed side by side with their ratio.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "Forms.h"
#include "Mask.h"

namespace {

constexpr int kKeys = 10000;
constexpr int kPlaces = 20;

void Type(TCustomEdit* Edit)
{
    const HWND h = Edit->Handle();
    for (int i = 0; i < kKeys; ++i) {
        if (i % kPlaces == 0)
            SendMessageA(h, EM_SETSEL, 0, -1);
        PostMessageA(h, WM_CHAR, static_cast<WPARAM>('0' + i % 10), 1);
        Application->ProcessMessages();
        UpdateWindow(h);
    }
}

} // namespace

int main()
{
    Application->Initialize();
    auto* form = Create<TForm>(Application);
    form->SetBounds(40, 40, 400, 140);
    auto* plain = Create<TEdit>(form);
    plain->SetParent(form);
    plain->SetBounds(10, 10, 300, 21);
    auto* masked = Create<TMaskEdit>(form);
    masked->SetParent(form);
    masked->SetBounds(10, 50, 300, 21);
    masked->SetEditMask("9999 9999 9999 9999 9999;1;_");
    form->Show();
    Application->ProcessMessages();

    std::vector<double> plainTimes, maskTimes;
    for (int run = 0; run < 3; ++run) {
        for (TCustomEdit* edit : {static_cast<TCustomEdit*>(plain), static_cast<TCustomEdit*>(masked)}) {
            edit->SetFocus();
            const std::string name = edit == plain ? "10,000 keys into the plain edit" : "10,000 keys into a 20-place mask";
            (edit == plain ? plainTimes : maskTimes).push_back(bench::Measure(name, 1, [&] { Type(edit); }));
        }
    }
    std::sort(plainTimes.begin(), plainTimes.end());
    std::sort(maskTimes.begin(), maskTimes.end());
    const double p = plainTimes[plainTimes.size() / 2], m = maskTimes[maskTimes.size() / 2];
    bench::Report("plain edit, median of 3", p, "ms");
    bench::Report("mask edit, median of 3", m, "ms");
    bench::Report("mask edit / plain edit", m / p, "x");
    bench::Report("mask edit's text after the last key", masked->EditText() == "0123 4567 8901 2345 6789" ? 1 : 0,
                  "(1 = as typed)");
    form->Free();
    return 0;
}
