// The main window's start: creation (settings, the tree, geometry, skin, start page, address list)
// and the first show with the splash. The close is in MainClose.cpp.
#include "MainSession.h"

#include <algorithm>

#include "ArchiveFiles.h"
#include "MainBrowse.h"
#include "MainTreeMap.h"
#include "Settings.h"
#include "TreeFile.h"

#include "Form8.h"
#include "FormFLog.h"

namespace {

// Runs one step of the start-up; an error is reported in the error box and the next step runs.
template <class F>
void Step(TObject* Sender, F&& Action)
{
    try {
        Action();
    } catch (...) {
        if (Application)
            Application->HandleException(Sender);
    }
}

} // namespace

std::vector<AnsiString> ItemsOf(const TStrings& Items)
{
    std::vector<AnsiString> out;
    for (int i = 0; i < Items.Count(); ++i)
        out.push_back(Items[i]);
    return out;
}

TMainSession& Session(TID_Vellorn* Form)
{
    if (auto* s = dynamic_cast<TMainSession*>(Form->FindComponent("MainSession")))
        return *s;
    auto* s = Create<TMainSession>(Form);
    s->SetName("MainSession");
    return *s;
}

void ShowArticleCount(TID_Vellorn* Form)
{
    Form->ArticleCount = treefile::CountEntries(*Form->TreeView1->Items());
    Form->StatusBar1->Panels()->Items(1)->SetText("Количество статей: " + IntToStr(Form->ArticleCount));
}

namespace {

// Whether the tree file form.ini names (TreeFile) can be opened: a full path of a file that is
// there, not a folder or a device. Reason says why not.
bool UsableTreeFile(const AnsiString& Path, AnsiString& Reason)
{
    const AnsiString device = archive::DeviceNameIn(Path);
    if (!device.empty())
        Reason = "\"" + device + "\" — имя устройства, а не файла.";
    else if (ExtractFileDrive(Path).empty())
        Reason = "это не полный путь к файлу.";
    else if (DirectoryExists(Path))
        Reason = "это папка, а не файл дерева.";
    else if (!FileExists(Path))
        Reason = "файла нет.";
    else
        return true;
    return false;
}

} // namespace

// Opens the tree at start: the one named on the command line, else the one form.ini names as the
// tree the user worked on last (TreeFile), else the working tree. A tree another window works on is
// worked on as a copy of its own (LoadTree). A named tree that cannot be read is told, and the
// working tree opens instead, nothing moved aside; the working tree's own file that cannot be read
// is kept aside under a name that says so, and the tree starts empty.
static void LoadStartupTree(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    s.Archive = std::make_unique<TArchive>(*Form->TreeView1);
    s.WorkingTreeName = settings::ReadTreeName();
    const AnsiString working = archive::AppPath("FILES\\tree\\Temp.vlt");
    const AnsiString named = archive::TreePathFromCommandLine(CmdLine());
    AnsiString told;
    AnsiString wanted = named;
    if (wanted.empty()) {
        wanted = working;
        const AnsiString saved = settings::ReadSavedTreeFile();
        AnsiString reason;
        if (!saved.empty() && UsableTreeFile(saved, reason))
            wanted = saved;
        else if (!saved.empty())
            told = "Дерево \"" + saved + "\", с которым программа работала в прошлый раз, не открыто: " + reason +
                   "\nОткрыто рабочее дерево.";
    }
    // The title and the tray hint name the tree (and the copy the window works on, if any).
    const auto showTitles = [&](bool Named) {
        const AnsiString title = ShownTreeName(Form) + (Named ? " -Vellorn" : " - Vellorn");
        Application->SetTitle(title);
        Form->TrayIcon1->SetHint(title);
    };
    const auto tell = [&](const AnsiString& Text) { told += (told.empty() ? "" : "\n\n") + Text; };
    const auto openWorking = [&] {
        try {
            LoadTree(Form, working);
        } catch (Exception& e) {
            // The working tree's own file: kept aside, so that the empty tree the window starts with
            // never overwrites it; when it cannot be moved now, the first write moves it first.
            AnsiString kept;
            try {
                kept = treefile::KeepAside(working, ".damaged");
            } catch (Exception&) {
            }
            tell(TreeReadFailure(working, e, kept));
            LoadTree(Form, working, "", true);
            if (kept.empty())
                Archive(Form).KeepAsideBeforeWrite(".damaged");
        }
    };
    bool namedOpened = false;
    if (AnsiSameText(ExpandFileName(wanted), working)) {
        openWorking();
    } else {
        try {
            LoadTree(Form, wanted);
            namedOpened = !named.empty();
        } catch (Exception& e) {
            tell(TreeReadFailure(wanted, e, "") + "\nОткрыто рабочее дерево.");
            openWorking();
        }
    }
    showTitles(namedOpened);
    PublishTree(Form);
    if (!told.empty())
        throw Exception(told);
}

void TID_Vellorn::FormCreate(TObject* Sender)
{
    // The first running copy of the program clears what a save cut short by the end of its process
    // left behind (a copy beside it would take the first one's files being written).
    Step(Sender, [&] {
        TMainSession& s = Session(this);
        s.ProgramLock = std::make_unique<TInstanceLock>(archive::AppPath("FILES"));
        s.FirstCopy = s.ProgramLock->Held();
        if (s.FirstCopy)
            for (const char* folder : {"FILES\\", "FILES\\tree\\", "FILES\\text\\"})
                RemoveStaleTempFiles(archive::AppPath(folder));
    });
    Step(Sender, [&] { sSkinManager1->SetSkinDirectory("Skins\\"); });
    Step(Sender, [&] { OpenTreesInNewWindow = settings::ReadOpenTreesInNewWindow(); });
    Step(Sender, [&] { LoadStartupTree(this); });
    Step(Sender, [&] {
        ProgressBar1->SetParent(StatusBar1);
        ProgressBar1->SetPosition(0);
        ProgressBar1->SetTop(2);
        ProgressBar1->SetLeft(0);
        ProgressBar1->SetHeight(StatusBar1->Height() - 2);
    });
    Step(Sender, [&] { ShowArticleCount(this); });
    settings::TFormSettings fs;
    Step(Sender, [&] {
        fs = settings::ReadFormSettings();
        TreePanelWidth = fs.PanelWidth;
        sSkinManager1->SetSkinName(fs.Skin);
    });
    Step(Sender, [&] {
        ToolBar1->SetVisible(fs.VisibleTool1 != 0);
        ToolBar2->SetVisible(fs.VisibleTool2 != 0);
        Panel2->SetVisible(fs.VisibleTree != 0);
        if (fs.Width > 0 && fs.Height > 0) {
            // The stored bounds hold when the window is shown (no placement of the layout).
            SetPosition(poDesigned);
            SetBounds(fs.Left, fs.Top, fs.Width, fs.Height);
        } else {
            // No stored size (first run): the layout's size, centred on the screen.
            SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
        }
        // A stored width past the window (a hand-edited file) would hide the browser view: the
        // view keeps at least the splitter's minimum.
        TreePanelWidth = std::clamp(TreePanelWidth, 0,
                                    std::max(0, ClientWidth() - Splitter1->Width() - Splitter1->MinSize()));
        Splitter1->SetLeft(TreePanelWidth);
        Panel2->SetWidth(TreePanelWidth);
    });
    Step(Sender, [&] { ListBox2->Items()->Clear(); });
    Step(Sender, [&] { Web->Navigate(archive::AppPath("FILES\\Standard\\Standard.html")); });
    Step(Sender, [&] {
        TMainSession& s = Session(this);
        TStringList list;
        settings::LoadAddressList(list);
        UseAddresses(this, list);
        s.LoadedAddresses = s.Addresses;
        s.AddressListLoaded = true;
    });
    Step(Sender, [&] {
        StatusBar1->Panels()->Items(1)->SetText("Количество статей: " + IntToStr(ArticleCount));
    });
    StartupDone = true;
}

void TID_Vellorn::FormShow(TObject*)
{
    // The splash frees itself when it closes, so it is shown on the first show only (a restore
    // from the tray shows the main window again).
    TMainSession& s = Session(this);
    if (s.SplashShown)
        return;
    s.SplashShown = true;
    if (FLog)
        FLog->ShowModal();
    // An instance started beside the owner of the working tree says what it works on, so that its
    // changes are not looked for in the working tree.
    if (!s.CopyTreePath.empty())
        Application->MessageBox("Архив уже открыт в другом окне программы.\n\nЭто окно работает с копией дерева "
                                "статей, и его изменения будут сохранены в файле\n\"" + s.CopyTreePath +
                                    "\".\nОткрыть это дерево потом можно командой «Файл» — «Загрузить дерево».",
                                Application->Title(), MB_OK | MB_ICONINFORMATION);
}

// The tree panel's width follows the splitter, so that the close keeps what the user set.
void TID_Vellorn::Splitter1CanResize(TObject*, int& NewSize, bool&) { TreePanelWidth = NewSize; }
