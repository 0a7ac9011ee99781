// The screen of the Forms unit (declared in Forms.h): its forms, monitors, cursors and fonts.
#include "Forms.h"

#include <algorithm>

// --- Screen -------------------------------------------------------------------------------

namespace {
BOOL CALLBACK CollectMonitor(HMONITOR h, HDC, LPRECT, LPARAM lp)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(h, &mi)) {
        TMonitorInfo info;
        info.Handle = h;
        info.BoundsRect = mi.rcMonitor;
        info.WorkareaRect = mi.rcWork;
        info.Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
        reinterpret_cast<std::vector<TMonitorInfo>*>(lp)->push_back(info);
    }
    return TRUE;
}

std::vector<TMonitorInfo> SystemMonitors()
{
    std::vector<TMonitorInfo> out;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&out));
    if (out.empty()) {
        TMonitorInfo info;
        info.BoundsRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.WorkareaRect, 0);
        info.Primary = true;
        out.push_back(info);
    }
    return out;
}

long long Overlap(const RECT& a, const RECT& b)
{
    long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return (w > 0 && h > 0) ? w * h : 0;
}

long long DistanceSq(const RECT& r, POINT p)
{
    long long dx = p.x < r.left ? r.left - p.x : (p.x >= r.right ? p.x - r.right + 1 : 0);
    long long dy = p.y < r.top ? r.top - p.y : (p.y >= r.bottom ? p.y - r.bottom + 1 : 0);
    return dx * dx + dy * dy;
}
} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FMenuFont(std::make_unique<TFont>())
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        if (HFONT f = CreateFontIndirectA(&ncm.lfMenuFont))
            FMenuFont->SetHandle(f);
}

TScreen::~TScreen()
{
    if (Screen == this)
        Screen = nullptr;
}

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[size_t(Index)];
}

void TScreen::AddForm(TCustomForm* Form)
{
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end())
        FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) {
        FActiveForm = nullptr;
        FActiveControl = nullptr;
    }
}

void TScreen::SetActive(TCustomForm* Form, TWinControl* Control)
{
    FActiveForm = Form;
    FActiveControl = Control;
}

void TScreen::RefreshMonitors() const
{
    std::vector<TMonitorInfo> list = FMonitorSource ? FMonitorSource() : SystemMonitors();
    FMonitors.clear();
    for (size_t i = 0; i < list.size(); ++i)
        FMonitors.push_back(std::make_unique<TMonitor>(list[i], int(i)));
}

void TScreen::SetMonitorSource(TMonitorSource Source)
{
    FMonitorSource = std::move(Source);
    RefreshMonitors();
}

int TScreen::MonitorCount() const
{
    RefreshMonitors();
    return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) const
{
    if (FMonitors.empty())
        RefreshMonitors();
    if (Index < 0 || Index >= int(FMonitors.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FMonitors[size_t(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() const
{
    RefreshMonitors();
    for (auto& m : FMonitors)
        if (m->Primary())
            return m.get();
    return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

int TScreen::Width() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->Width() : GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->Height() : GetSystemMetrics(SM_CYSCREEN);
}

RECT TScreen::WorkAreaRect() const
{
    TMonitor* m = PrimaryMonitor();
    return m ? m->WorkareaRect() : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT TScreen::DesktopRect() const
{
    RefreshMonitors();
    RECT r{0, 0, 0, 0};
    bool first = true;
    for (auto& m : FMonitors) {
        RECT b = m->BoundsRect();
        if (first)
            r = b, first = false;
        else
            UnionRect(&r, &r, &b);
    }
    return r;
}

TMonitor* TScreen::MonitorFromPoint(POINT P, TMonitorDefaultTo Default) const
{
    RefreshMonitors();
    TMonitor* nearest = nullptr;
    long long best = -1;
    for (auto& m : FMonitors) {
        RECT b = m->BoundsRect();
        if (PtInRect(&b, P))
            return m.get();
        long long d = DistanceSq(b, P);
        if (best < 0 || d < best)
            best = d, nearest = m.get();
    }
    if (Default == mdNull)
        return nullptr;
    if (Default == mdPrimary)
        return PrimaryMonitor();
    return nearest;
}

TMonitor* TScreen::MonitorFromRect(const RECT& R, TMonitorDefaultTo Default) const
{
    RefreshMonitors();
    TMonitor* best = nullptr;
    long long bestArea = 0;
    for (auto& m : FMonitors) {
        long long a = Overlap(m->BoundsRect(), R);
        if (a > bestArea)
            bestArea = a, best = m.get();
    }
    if (best)
        return best;
    POINT centre{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    return MonitorFromPoint(centre, Default);
}

TMonitor* TScreen::MonitorFromWindow(HWND Wnd, TMonitorDefaultTo Default) const
{
    RECT r{};
    if (!Wnd || !GetWindowRect(Wnd, &r))
        return Default == mdNull ? nullptr : PrimaryMonitor();
    return MonitorFromRect(r, Default);
}

// --- Screen cursors and fonts -------------------------------------------------------------

namespace {
struct StdCursor {
    TCursor id;
    LPCSTR res;
};
const StdCursor kStdCursors[] = {
    {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},        {crIBeam, IDC_IBEAM},     {crSizeNESW, IDC_SIZENESW},
    {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE},  {crSizeWE, IDC_SIZEWE},   {crUpArrow, IDC_UPARROW},
    {crHourGlass, IDC_WAIT},  {crDrag, IDC_ARROW},         {crNoDrop, IDC_NO},       {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},   {crMultiDrag, IDC_ARROW},    {crSQLWait, IDC_WAIT},    {crNo, IDC_NO},
    {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},     {crHandPoint, IDC_HAND},  {crSizeAll, IDC_SIZEALL},
};

int CALLBACK CollectFont(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM lp)
{
    auto* list = reinterpret_cast<std::vector<AnsiString>*>(lp);
    AnsiString name = lf->lfFaceName;
    if (!name.empty() && name[0] != '@')
        list->push_back(name);
    return 1;
}
} // namespace

HCURSOR TScreen::Cursors(int Index)
{
    for (auto& c : FCursorList)
        if (c.first == Index)
            return c.second;
    if (Index == crNone)
        return nullptr;
    for (const auto& s : kStdCursors)
        if (s.id == Index) {
            HCURSOR h = LoadCursorA(nullptr, s.res);
            FCursorList.emplace_back(Index, h);
            return h;
        }
    return Cursors(crArrow);
}

void TScreen::SetCursors(int Index, HCURSOR Handle)
{
    for (auto& c : FCursorList)
        if (c.first == Index) {
            c.second = Handle;
            return;
        }
    FCursorList.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (Value == crDefault) {
        // Let the window under the mouse choose its cursor again.
        POINT p;
        GetCursorPos(&p);
        if (HWND w = WindowFromPoint(p))
            SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w),
                         MAKELPARAM(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), WM_MOUSEMOVE));
    } else {
        ::SetCursor(Cursors(Value));
    }
}

TStrings* TScreen::Fonts()
{
    if (!FFonts) {
        std::vector<AnsiString> names;
        HDC dc = GetDC(nullptr);
        LOGFONTA lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(dc, &lf, CollectFont, reinterpret_cast<LPARAM>(&names), 0);
        ReleaseDC(nullptr, dc);
        FFonts = std::make_unique<TStringList>();
        FFonts->SetDuplicates(dupIgnore);
        FFonts->SetSorted(true);
        for (const auto& n : names)
            FFonts->Add(n);
    }
    return FFonts.get();
}
