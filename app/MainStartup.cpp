// The main window's life cycle: creation (settings, the tree, geometry, skin, start page, address
// list), the first show with the splash, the close that writes everything back, and "Выход".
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "Settings.h"
#include "TreeFile.h"

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

std::vector<AnsiString> ItemsOf(const TStrings& Items)
{
    std::vector<AnsiString> out;
    for (int i = 0; i < Items.Count(); ++i)
        out.push_back(Items[i]);
    return out;
}

} // namespace

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

// Loads the tree at start: the one named on the command line, else the working tree. The working
// tree is locked; an instance that finds it locked by another one works on files of its own (the
// loaded tree's map and file, or a copy of the working map for a tree named Temp) and leaves the
// working files alone.
static void LoadStartupTree(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    archive::SetWorkingTreeFile("Temp");
    const AnsiString workingPath = archive::AppPath("FILES\\tree\\Temp.vlt");
    s.Lock = std::make_unique<TInstanceLock>(workingPath);
    s.OwnsWorkingTree = s.Lock->Held();
    s.TreePath = s.OwnsWorkingTree ? workingPath : AnsiString();
    // Beside the owner, a tree named Temp that was not loaded (missing or damaged) still gets
    // files of its own.
    const auto ownFiles = [&] {
        if (!s.OwnsWorkingTree && archive::WorkingTreeFile() == "Temp")
            UseOwnWorkingCopy(Form);
    };

    const AnsiString path = archive::TreePathFromCommandLine(CmdLine());
    try {
        if (!path.empty()) {
            const AnsiString fileName = archive::TreeNameFromPath(path);
            const bool isWorkingName = SameText(fileName, "Temp");
            Form->TreeName = isWorkingName ? settings::ReadTreeName() : fileName;
            Application->SetTitle(Form->TreeName + " -Vellorn");
            Form->TrayIcon1->SetHint(Form->TreeName + " -Vellorn");
            if (!s.OwnsWorkingTree && !isWorkingName) {
                // The tree's own files: its map FILES\tree\<name>.ini and the file it came from.
                archive::SetWorkingTreeFile(fileName);
                Form->CurrentTreeFile = fileName;
                s.TreePath = path;
            }
            try {
                LoadTree(Form, path);
            } catch (...) {
                // The working tree was not replaced by the named one: it is kept aside at close.
                s.StartupLoadFailed = true;
                s.KeepAsideSuffix = s.TreePath == workingPath ? ".previous" : ".damaged";
                throw;
            }
        } else {
            Form->TreeName = settings::ReadTreeName();
            Form->TrayIcon1->SetHint(Form->TreeName + " - Vellorn");
            Application->SetTitle(Form->TreeName + " - Vellorn");
            // A missing working tree is an empty tree; the close creates it.
            if (FileExists(workingPath)) {
                try {
                    LoadTree(Form, workingPath);
                } catch (...) {
                    s.StartupLoadFailed = true;
                    s.KeepAsideSuffix = ".damaged";
                    throw;
                }
            }
        }
    } catch (...) {
        ownFiles();
        throw;
    }
    ownFiles();
}

void TID_Vellorn::FormCreate(TObject* Sender)
{
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
}

void TID_Vellorn::FormClose(TObject*, TCloseAction&)
{
    // The tree's window goes with the form: it goes first, so that the collapse below changes the
    // nodes alone (the window would lay out its rows again for every folder it closes: a second for
    // a thousand open folders). A failing step leaves the window open, with the tree's window back.
    TreeView1->DestroyHandle();
    try {
        TMainSession& s = Session(this);
        // Folders close (image 0 through the collapse handler); entries keep their marks.
        TreeView1->FullCollapse();
        // A folder left open without children (its last entry deleted) closes as well.
        for (TTreeNode* n = TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
            if (n->ImageIndex() == 1) {
                n->SetImageIndex(0);
                n->SetSelectedIndex(0);
            }
        ArticleCount = treefile::CountImage(*TreeView1->Items(), 2);

        if (!s.TreePath.empty()) {
            if (s.StartupLoadFailed) {
                // The file that could not be read (or the working tree that the named one did not
                // replace) is never overwritten: it stays beside under a name that says so.
                treefile::KeepAside(s.TreePath, s.KeepAsideSuffix);
                s.StartupLoadFailed = false;
            }
            treefile::WriteTreeFile(s.TreePath, *TreeView1);
        }

        settings::TFormCloseSettings v;
        v.NameTree = TreeName;
        v.Width = Width();
        v.Height = Height();
        v.Top = Top();
        v.Left = Left();
        v.Skin = sSkinManager1->SkinName();
        v.VisibleTool1 = ToolBar1->Visible();
        v.VisibleTool2 = ToolBar2->Visible();
        v.VisibleTree = Panel2->Visible();
        v.PanelWidth = TreePanelWidth;
        v.NewArticleCount = ArticleCount;
        v.WithTreeKeys = s.OwnsWorkingTree;
        settings::WriteFormSettings(v);

        // The address list is written only when it was read at start or has changed since, so a
        // failed start never empties it.
        if (s.AddressListLoaded || ItemsOf(*ComboBox1->Items()) != s.LoadedAddresses)
            settings::SaveAddressList(*ComboBox1->Items());

        FreeAndNil(TrayIcon1);
    } catch (...) {
        TreeView1->HandleNeeded();
        throw;
    }
}

void TID_Vellorn::N6Click(TObject*) { Close(); }

// The tree panel's width follows the splitter, so that the close keeps what the user set.
void TID_Vellorn::Splitter1CanResize(TObject*, int& NewSize, bool&) { TreePanelWidth = NewSize; }
