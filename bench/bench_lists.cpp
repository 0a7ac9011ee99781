// The skinned list box and combo boxes beside the system's, with Neutral active: 100,000 items added
// to the skinned list box in one update and shown, against the same add loop (its drawing held
// meanwhile) into a system list box of the same styles whose window draws its items; a search typed into it against the system's search by the
// same prefixes; a 10,000-line address list read into the address box against reading the file and
// adding its lines to a system combo box, its drawing held meanwhile; and a repaint of a window of combo boxes, skinned and with
// the skin's section taken away.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchHarness.h"
#include "Settings.h"
#include "SysUtilsFiles.h"
#include "sComboBox.h"
#include "sComboBoxes.h"
#include "sCustomListBox.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"

namespace {

constexpr int kItems = 100000;
constexpr int kAddresses = 10000;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;

AnsiString ItemText(int i) { return "Статья номер " + IntToStr(i); }

// A plain window that measures and draws the items of its owner-drawn lists.
LRESULT CALLBACK PlainProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(LParam)->itemHeight = 16; return TRUE;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
        const bool selected = dis->itemState & ODS_SELECTED;
        FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (static_cast<int>(dis->itemID) >= 0) {
            char text[256] = {};
            SendMessageA(dis->hwndItem, LB_GETTEXT, dis->itemID, reinterpret_cast<LPARAM>(text));
            SetBkMode(dis->hDC, TRANSPARENT);
            SetTextColor(dis->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT r = dis->rcItem;
            r.left += 2;
            DrawTextA(dis->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        return TRUE;
    }
    default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
    }
}

HWND MakePlainWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "PlainLists";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "PlainLists", "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 500, 400,
                               nullptr, nullptr, wc.hInstance, nullptr);
    return wnd;
}

void Redraw(HWND Wnd)
{
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    bench::PumpAll();
}

void Ratio(const std::string& Name, const std::pair<double, double>& Medians)
{
    bench::Report(Name + ": skinned / plain", Medians.second / Medians.first, "x");
}

// Types Prefix into a list as the keyboard does, one character after the other.
void Type(HWND Wnd, const AnsiString& Prefix)
{
    for (char c : Prefix)
        SendMessageA(Wnd, WM_CHAR, static_cast<Byte>(c), 0);
}

} // namespace

int main()
{
    auto* manager = Create<TsSkinManager>(Application);
    manager->SetSkinDirectory(AnsiString(VELLORN_SOURCE_WIN) + "\\app\\defaults\\Skins");
    manager->SetSkinName("Neutral");
    if (!sSkinData->Active) {
        std::printf("Neutral could not be loaded\n");
        return 1;
    }
    const HWND plain = MakePlainWindow();
    auto* form = Create<TForm>(Application);
    form->SetBounds(0, 0, 500, 400);
    form->Show();

    // --- The list box: 100,000 items added and shown ----------------------------------------------
    const HWND plainList = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", kListStyle, 10, 10, 300, 300, plain, nullptr,
                                           GetModuleHandleA(nullptr), nullptr);
    auto* list = Create<TsListBox>(form);
    list->SetName("List");
    list->SetBounds(10, 10, 300, 300);
    list->SetParent(form);
    std::vector<AnsiString> texts;
    texts.reserve(kItems);
    for (int i = 0; i < kItems; ++i)
        texts.push_back(ItemText(i));
    const auto add = bench::SideBySide(
        "100,000 items added to a list box and shown", 5,
        [&] {
            SendMessageA(plainList, WM_SETREDRAW, FALSE, 0);
            for (const AnsiString& s : texts)
                SendMessageA(plainList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
            SendMessageA(plainList, WM_SETREDRAW, TRUE, 0);
            Redraw(plain);
        },
        [&] {
            list->Items()->BeginUpdate();
            for (const AnsiString& s : texts)
                list->Items()->Add(s);
            list->Items()->EndUpdate();
            Redraw(form->Handle());
        },
        [&](bool isPlain) {
            // Only the list filled next is emptied: both stay full for the search.
            if (isPlain)
                SendMessageA(plainList, LB_RESETCONTENT, 0, 0);
            else
                list->Items()->Clear();
            bench::PumpAll();
            SetWindowPos(isPlain ? plain : form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            bench::PumpAll();
        });

    // --- A search typed into the full list ----------------------------------------------------------
    const AnsiString prefix = ItemText(kItems - 1);
    list->SetFocus();
    std::pair<double, double> search;
    {
    Cardinal clock = 0; // a fresh prefix for every search
    SysUtils::TTickClockOverride tick([&] { return clock; });
    search = bench::SideBySide(
        "a 17-character search typed into 100,000 items", 7,
        [&] {
            for (size_t n = 1; n <= prefix.size(); ++n) {
                const AnsiString part = prefix.substr(0, n);
                const LRESULT found =
                    SendMessageA(plainList, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(part.c_str()));
                SendMessageA(plainList, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            }
            Redraw(plain);
        },
        [&] {
            Type(list->Handle(), prefix);
            Redraw(form->Handle());
        },
        [&](bool) {
            clock += 1000;
            SendMessageA(plainList, LB_SETCURSEL, 0, 0);
            list->SetItemIndex(0);
            bench::PumpAll();
        });
    }
    list->Items()->Clear();
    SendMessageA(plainList, LB_RESETCONTENT, 0, 0);

    // --- A 10,000-line address list read into the address box -----------------------------------
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const AnsiString dir = AnsiString(temp) + "vellorn_bench_lists_" + IntToStr(static_cast<int>(GetCurrentProcessId())) + "\\";
    ForceDirectories(dir + "FILES");
    AnsiString lines;
    for (int i = 0; i < kAddresses; ++i)
        lines += "C:\\Архив\\FILES\\статьи\\страница_" + IntToStr(i) + ".html\r\n";
    SafeWriteFileBytes(dir + "FILES\\list", lines);
    TExeNameOverride exe(dir + "Vellorn.exe");
    const HWND plainCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN |
                                                                   CBS_AUTOHSCROLL | CBS_HASSTRINGS,
                                            320, 10, 160, 200, plain, nullptr, GetModuleHandleA(nullptr), nullptr);
    auto* address = Create<TsComboBox>(form);
    address->SetBounds(320, 10, 160, 22);
    address->SetParent(form);
    const auto load = bench::SideBySide(
        "a 10,000-line address list read into the address box", 9,
        [&] {
            const AnsiString bytes = LoadFileBytes(dir + "FILES\\list");
            SendMessageA(plainCombo, CB_RESETCONTENT, 0, 0);
            SendMessageA(plainCombo, WM_SETREDRAW, FALSE, 0);
            for (size_t at = 0; at < bytes.size();) {
                const size_t end = bytes.find("\r\n", at);
                const AnsiString line = bytes.substr(at, end - at);
                SendMessageA(plainCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
                at = end == AnsiString::npos ? bytes.size() : end + 2;
            }
            SendMessageA(plainCombo, WM_SETREDRAW, TRUE, 0);
            Redraw(plain);
        },
        [&] {
            settings::LoadAddressList(*address->Items());
            Redraw(form->Handle());
        },
        [&](bool isPlain) {
            // The window redrawn next on top: a covered one would paint nothing.
            SetWindowPos(isPlain ? plain : form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            bench::PumpAll();
        });

    // --- A window of combo boxes repainted ------------------------------------------------------
    auto* combos = Create<TForm>(Application);
    combos->SetBounds(0, 0, 500, 400);
    combos->Show();
    auto* bare = Create<TForm>(Application);
    bare->SetBounds(0, 0, 500, 400);
    bare->Show();
    for (TForm* f : {combos, bare})
        for (int i = 0; i < 10; ++i) {
            auto* c = Create<TsComboBox>(f);
            c->SetBounds(10, 10 + i * 30, 200, 22);
            c->SetStyle(i % 2 ? csDropDownList : csDropDown);
            c->SetParent(f);
            auto* x = Create<TsComboBoxEx>(f);
            x->SetBounds(250, 10 + i * 30, 200, 22);
            x->ItemsEx()->AddItem("Избранная");
            x->SetParent(f);
            x->SetItemIndex(0);
            c->Items()->Add("Элемент");
            c->SetItemIndex(0);
            if (f == bare) {
                // A section the skin lacks: the same combo boxes painted without the skin.
                c->SkinData()->SetSkinSection("NOSUCHSECTION");
                x->SkinData()->SetSkinSection("NOSUCHSECTION");
            }
        }
    bench::PumpAll();
    const auto paint = bench::SideBySide(
        "a window of 20 combo boxes repainted", 41, [&] { Redraw(bare->Handle()); }, [&] { Redraw(combos->Handle()); },
        [&](bool isPlain) {
            SetWindowPos(isPlain ? bare->Handle() : combos->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            bench::PumpAll();
        });

    bench::AtMost("list box of 100,000 items: skinned / plain", add.second / add.first, 1.3);
    Ratio("search typed into it", search);
    Ratio("address list of 10,000 lines", load);
    Ratio("combo box repaint", paint);
    DestroyWindow(plain);
    return 0;
}
