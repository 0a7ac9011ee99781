// Controls: building, showing and freeing a window with 200 controls, painting it, and the cost
// of one message through the dispatch chain.
#include <windows.h>

#include <cstdio>

#include "BenchHarness.h"
#include "Controls.h"

namespace {

class THostWindow : public TWinControl {
    VCL_CLASS(THostWindow, TWinControl)
public:
    explicit THostWindow(TComponent* AOwner) : TWinControl(AOwner)
    {
        FControlStyle.Include(csAcceptsControls);
        FVisible = false;
        SetBounds(0, 0, 800, 600);
    }
    bool IsForm() const override { return true; }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        Params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        Params.WndParent = nullptr;
    }
};

class TEditBox : public TWinControl {
    VCL_CLASS(TEditBox, TWinControl)
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        CreateSubClass(Params, "EDIT");
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

class TSwatch : public TGraphicControl {
    VCL_CLASS(TSwatch, TGraphicControl)
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clTeal);
        RECT r = ClientRect();
        Canvas()->FillRect(r);
        Canvas()->TextOut(2, 2, "Ж");
    }
};

THostWindow* Build()
{
    auto* host = Create<THostWindow>(nullptr);
    host->DisableAlign();
    for (int i = 0; i < 200; ++i) {
        TControl* c = (i % 2) ? static_cast<TControl*>(Create<TEditBox>(host)) : Create<TSwatch>(host);
        c->SetBounds(10 + (i % 10) * 75, 10 + (i / 10) * 28, 70, 24);
        if (i % 2)
            c->SetText("поле " + std::to_string(i));
        c->SetParent(host);
    }
    host->EnableAlign();
    return host;
}

void PumpAll()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

int main()
{
    bench::Measure("create, show and free a window with 200 controls", 15, [] {
        THostWindow* host = Build();
        host->Show();
        PumpAll();
        host->Free();
        PumpAll();
    });

    THostWindow* host = Build();
    host->Show();
    PumpAll();
    bench::Measure("paint the window with 200 controls", 30, [&] {
        RedrawWindow(host->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    bench::Measure("recreate the window with 200 controls", 10, [&] { host->RecreateWnd(); });
    TControl* first = host->Controls(0);
    const int n = 100000;
    double ms = bench::Measure("100000 Perform calls through the dispatch chain", 10, [&] {
        for (int i = 0; i < n; ++i)
            first->Perform(CM_HITTEST, 0, 0);
    });
    bench::Report("Perform throughput", n / (ms / 1000.0) / 1e6, "million messages/s");
    host->Free();
    return 0;
}
