// Inputs the program accepts at their bounds, timed as the user waits for them: an entry opened
// with a note of long lines up to the painted window and the window closed after it, against the
// same entry with a note of one short line; the close with an address list of 10,000 to 100,000
// addresses, against the list file read and written back alone. Arguments: "note" or "list" runs
// those only, and a number after it the runs of each figure (3).
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ArchiveFiles.h"
#include "BenchHarness.h"
#include "Dialogs.h"
#include "MainBrowse.h"
#include "Settings.h"
#include "TreeFile.h"
#include "sTreeView.h"
#include "sUtils.h"

namespace {

// The process's committed private memory in megabytes.
double PrivateMb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / (1024.0 * 1024.0);
}

// A working tree of one folder with the article "Статья" (its page beside it), and the window's
// settings.
void WriteArchive(const AnsiString& dir)
{
    TComponent* owner = Create<TComponent>(nullptr);
    auto* tree = Create<TsTreeView>(owner);
    tree->SetName("TreeView1");
    TTreeNode* entry = tree->Items()->AddChild(tree->Items()->Add(nullptr, "Категория"), "Статья");
    entry->SetImageIndex(2);
    entry->SetSelectedIndex(2);
    treefile::WriteTreeFile(dir + "FILES\\tree\\Temp.vlt", *tree);
    owner->Free();
    SafeWriteFileBytes(dir + "FILES\\tree\\Temp.ini", "[FILES]\r\nСтатья=page.html\r\n");
    SafeWriteFileBytes(dir + "FILES\\page.html", "<html><head><title>Страница</title></head><body>Текст</body></html>");
    SafeWriteFileBytes(dir + "FILES\\form.ini", "[FORM]\r\nWidth=1000\r\nHeight=700\r\nTop=20\r\nLeft=20\r\n"
                                                "[VIEW]\r\nVisible_Tool1=1\r\nVisible_Tool2=1\r\nVisible_Tree=1\r\n"
                                                "[Panel]\r\nWidth=260\r\n");
}

// Words of prose, Length characters with line breaks after every Line characters (none for 0).
std::string Prose(std::size_t Length, std::size_t Line)
{
    static const char words[] = "примечание к статье о работе ";
    std::string text;
    text.reserve(Length);
    for (std::size_t column = 0; text.size() < Length; ++column) {
        if (Line && column == Line) {
            text += "\r\n";
            column = 0;
        }
        text += words[text.size() % (sizeof(words) - 1)];
    }
    return text;
}

TID_Vellorn* OpenWindow()
{
    auto* form = Create<TID_Vellorn>(Application);
    form->Show();
    UpdateWindow(form->Handle());
    bench::PumpAll();
    return form;
}

TTreeNode* Entry(TID_Vellorn* Form)
{
    for (TTreeNode* n = Form->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == "Статья")
            return n;
    return nullptr;
}

// Opening the entry with each note up to the painted window, then the window's close, each side by
// side with a note of one short line. The goals are the user's: the note shows, and the window
// closes, within a second.
void NoteBenchmarks(const AnsiString& dir, int Runs)
{
    const AnsiString note = dir + "FILES\\text\\Статья_VLN.txt";
    const struct {
        const char* name;
        std::string text;
    } notes[] = {
        {"one line of 1,000,000 characters", Prose(1000000, 0)},
        {"884 KB in lines of 982 characters", Prose(884 * 1024, 980)},
        {"1 MB in lines of 80 characters", Prose(1024 * 1024 - 30000, 78)},
    };
    const std::string shortNote = "Примечание\r\n";
    for (const auto& n : notes) {
        TID_Vellorn* form = nullptr;
        double before = 0, taken = 0;
        const auto fresh = [&](bool plain) {
            if (form)
                form->Free();
            SafeWriteFileBytes(note, plain ? shortNote : n.text);
            form = OpenWindow();
            before = PrivateMb();
        };
        const auto open = [&] {
            OpenEntry(form, Entry(form));
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        };
        const auto measuredOpen = [&] {
            open();
            taken = PrivateMb() - before;
        };
        const auto [plainOpen, noteOpen] =
            bench::SideBySide("open the entry, note of " + std::string(n.name), Runs, open, measuredOpen, fresh);
        bench::Report("  open with the note / with a short note", noteOpen / plainOpen, "x");
        bench::Report("  memory taken by the open", taken, "MB");
        bench::AtMost("  open with the note", noteOpen, 1000, "ms");
        const auto opened = [&](bool plain) {
            fresh(plain);
            open();
        };
        const auto [plainClose, noteClose] =
            bench::SideBySide("close the window after it", Runs, [&] { form->Close(); }, [&] { form->Close(); }, opened);
        bench::Report("  close after the note / after a short note", noteClose / plainClose, "x");
        bench::AtMost("  close after the note", noteClose, 1000, "ms");
        form->Free();
    }
}

// The window's close with Count addresses in FILES\list and one more shown in this run, against the
// list file read and written back alone: the close merges the list in time linear in its length
// (most of it reads every address back from the address box, two messages each).
void ListBenchmark(const AnsiString& dir, int Count, int Runs)
{
    AnsiString list;
    for (int i = 0; i < Count; ++i)
        list += "http://example.org/page/" + IntToStr(i) + ".html\r\n";
    TID_Vellorn* form = nullptr;
    std::vector<double> starts;
    const auto setup = [&](bool plain) {
        SafeWriteFileBytes(dir + "FILES\\list", list);
        if (plain)
            return;
        if (form)
            form->Free();
        const double start = bench::NowMs();
        form = OpenWindow();
        starts.push_back(bench::NowMs() - start);
        RememberAddress(*form->ComboBox1->Items(), "http://example.org/new.html");
    };
    const auto alone = [] {
        TStringList items;
        settings::LoadAddressList(items);
        settings::SaveAddressList(items);
    };
    const AnsiString name = "close with " + IntToStr(Count) + " addresses";
    const auto [floor, closed] = bench::SideBySide(name, Runs, alone, [&] { form->Close(); }, setup);
    form->Free();
    bench::Summary("  start with them, to the painted window", starts);
    bench::AtMost("  close / the list read and written alone", closed / floor, 30);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string only = argc > 1 ? argv[1] : "";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const AnsiString dir =
        bench::TempFolder(("vellorn_bench_inputs_" + IntToStr(static_cast<unsigned>(GetCurrentProcessId()))).c_str());
    ForceDirectories(dir + "FILES\\tree");
    ForceDirectories(dir + "FILES\\text");
    bench::CopyFolder(bench::DefaultsFolder() + "Skins", dir + "Skins");
    WriteArchive(dir);
    TExeNameOverride exe(dir + "Vellorn.exe");
    TCmdLineOverride cmd("\"" + dir + "Vellorn.exe\"");
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    if (only.empty() || only == "note")
        NoteBenchmarks(dir, runs);
    if (only.empty() || only == "list")
        for (int count : {10000, 40000, 100000})
            ListBenchmark(dir, count, runs);
    ClearDir(dir, true);
    return 0;
}
