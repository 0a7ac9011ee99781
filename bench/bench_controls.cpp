// Controls: building, showing and freeing a window with 200 controls, painting it, and the cost
// of one message through the dispatch chain. The same window written with the plain system calls
// (100 edit boxes and 100 swatches that the window paints itself) runs beside it, and the
// framework's figures are printed as ratios of the plain ones.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// --- The same window without the framework ----------------------------------------------------

constexpr int kControls = 200;

RECT CellRect(int i)
{
    const int x = 10 + (i % 10) * 75, y = 10 + (i / 10) * 28;
    return RECT{x, y, x + 70, y + 24};
}

struct RawWindow {
    HWND wnd = nullptr;
    HFONT font = nullptr;
    HBRUSH face = nullptr, teal = nullptr;
};

LRESULT CALLBACK RawProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<RawWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(wnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, self->face);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        HGDIOBJ old = SelectObject(dc, self->font);
        SetBkColor(dc, RGB(0, 128, 128));
        for (int i = 0; i < kControls; i += 2) {
            RECT r = CellRect(i), hit;
            if (!IntersectRect(&hit, &r, &ps.rcPaint))
                continue;
            FillRect(dc, &r, self->teal);
            TextOutA(dc, r.left + 2, r.top + 2, "Ж", 1);
        }
        SelectObject(dc, old);
        EndPaint(wnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(wnd, msg, wp, lp);
    }
}

void BuildRaw(RawWindow& w)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = RawProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "RawHost";
        RegisterClassA(&wc);
        registered = true;
    }
    w.font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    w.face = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    w.teal = CreateSolidBrush(RGB(0, 128, 128));
    w.wnd = CreateWindowExA(0, "RawHost", "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(w.wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
    for (int i = 1; i < kControls; i += 2) {
        RECT r = CellRect(i);
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", ("поле " + std::to_string(i)).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, r.left, r.top, r.right - r.left,
                                    r.bottom - r.top, w.wnd, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(w.font), 1);
    }
}

void FreeRaw(RawWindow& w)
{
    DestroyWindow(w.wnd);
    DeleteObject(w.font);
    DeleteObject(w.face);
    DeleteObject(w.teal);
    w = RawWindow{};
}

void Redraw(HWND wnd)
{
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Ratio(const char* name, double framework, double raw)
{
    bench::Report(std::string(name) + ": framework / plain", framework / raw, "x");
}

} // namespace

int main()
{
    const auto [rawCycle, cycle] = bench::SideBySide(
        "create, show and free a window with 200 controls", 31,
        [] {
            RawWindow w;
            BuildRaw(w);
            ShowWindow(w.wnd, SW_SHOW);
            bench::PumpAll();
            FreeRaw(w);
            bench::PumpAll();
        },
        [] {
            THostWindow* host = Build();
            host->Show();
            bench::PumpAll();
            host->Free();
            bench::PumpAll();
        });

    // Painting: the two windows lie on each other; the one painted is brought to the top first.
    RawWindow raw;
    BuildRaw(raw);
    ShowWindow(raw.wnd, SW_SHOW);
    THostWindow* host = Build();
    host->Show();
    bench::PumpAll();
    const auto [rawPaint, paint] = bench::SideBySide(
        "paint the window with 200 controls", 61, [&] { Redraw(raw.wnd); }, [&] { Redraw(host->Handle()); },
        [&](bool plain) {
            SetWindowPos(plain ? raw.wnd : host->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            bench::PumpAll();
        });
    FreeRaw(raw);
    bench::PumpAll();
    Ratio("create, show and free", cycle, rawCycle);
    Ratio("paint", paint, rawPaint);
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
