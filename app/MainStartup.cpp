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

// Loads the tree at start: the one named on the command line, else the one the last close saved
// the tree to when it could not write the working tree, else the working tree. The working tree is
// locked; an instance that finds it locked by another one works on files of its own (the loaded
// tree's map and file, or a copy of the working map for a tree named Temp) and leaves the working
// files alone. A tree file that cannot be read is named with the reason; when it is the file this
// instance writes at close, it is kept aside at once under a name that says so.
static void LoadStartupTree(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    archive::SetWorkingTreeFile("Temp");
    const AnsiString workingPath = archive::AppPath("FILES\\tree\\Temp.vlt");
    s.Lock = std::make_unique<TInstanceLock>(workingPath);
    s.OwnsWorkingTree = s.Lock->Held();
    s.TreePath = s.OwnsWorkingTree ? workingPath : AnsiString();
    AnsiString path = archive::TreePathFromCommandLine(CmdLine());
    const bool named = !path.empty();
    // The title and the tray hint name the tree (and the copy of the working tree the instance
    // works on, once it has one).
    const auto showTitles = [&] {
        const AnsiString title = ShownTreeName(Form) + (named ? " -Vellorn" : " - Vellorn");
        Application->SetTitle(title);
        Form->TrayIcon1->SetHint(title);
    };
    // Beside the owner, a tree named Temp that was not loaded (missing or damaged) still gets
    // files of its own.
    const auto ownFiles = [&] {
        if (!s.OwnsWorkingTree && archive::WorkingTreeFile() == "Temp")
            UseOwnWorkingCopy(Form);
        showTitles();
    };

    if (path.empty() && s.OwnsWorkingTree) {
        s.SavedTreeFile = settings::ReadSavedTreeFile();
        if (!s.SavedTreeFile.empty() && !FileExists(s.SavedTreeFile))
            s.SavedTreeFile.clear();
        path = s.SavedTreeFile;
    }
    AnsiString loading;
    try {
        if (!path.empty()) {
            const AnsiString fileName = archive::TreeNameFromPath(path);
            const bool isWorkingName = SameText(fileName, "Temp");
            Form->TreeName = isWorkingName ? settings::ReadTreeName() : fileName;
            showTitles();
            if (!s.OwnsWorkingTree && !isWorkingName) {
                // The tree's own files: its map FILES\tree\<name>.ini and the file it came from.
                archive::SetWorkingTreeFile(fileName);
                Form->CurrentTreeFile = fileName;
                s.TreePath = path;
            }
            loading = path;
            LoadTree(Form, path);
        } else {
            Form->TreeName = settings::ReadTreeName();
            showTitles();
            // A missing working tree is an empty tree; the close creates it.
            if (FileExists(workingPath)) {
                loading = workingPath;
                LoadTree(Form, workingPath);
            }
        }
    } catch (...) {
        // The close never writes over a file that was not read: the working tree that a named
        // one did not replace is kept aside then, the file that could not be read now.
        s.StartupLoadFailed = !loading.empty();
        ownFiles();
        if (loading.empty())
            throw;
        const bool ownFile = SameText(loading, s.TreePath);
        s.KeepAsideSuffix = ownFile ? ".damaged" : ".previous";
        try {
            throw;
        } catch (EStreamError& e) {
            AnsiString kept;
            if (ownFile) {
                try {
                    kept = treefile::KeepAside(loading, ".damaged");
                } catch (Exception&) {
                    // Still there: the close tries again before it writes.
                }
            }
            if (!kept.empty())
                s.StartupLoadFailed = false;
            throw Exception(TreeReadFailure(loading, e, kept));
        }
    }
    ownFiles();
}

void TID_Vellorn::FormCreate(TObject* Sender)
{
    // What a save cut short by the end of its process left behind.
    Step(Sender, [&] {
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
        settings::LoadAddressList(*ComboBox1->Items());
        s.LoadedAddresses = ItemsOf(*ComboBox1->Items());
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
