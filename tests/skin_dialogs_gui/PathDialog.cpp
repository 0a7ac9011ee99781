// The folder chooser: OK only on an existing folder (never on a virtual item), the path dialog
// component's start folder and result with a skin (the skinned form, driven inside its modal loop)
// and without (the system chooser through the prompt service), the unit's form variable, and
// pictures of the form without a skin and in both shipped skins (path_dialog_<skin>.png).
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "FakeShell.h"
#include "WideNames.h"
#include "FileCtrl.h"
#include "acPathDialog.h"
#include "sBitBtn.h"
#include "sDialogs.h"
#include "sLabel.h"

using namespace formskit;

namespace {

class PathDialog : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        for (const char* sub : {"a", "b", "b\\inner"})
            CreateDirectoryA((dir / sub).c_str(), nullptr);
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        savedDir = cwd;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDir.c_str());
        SkinnedFormTest::TearDown();
    }
    static AnsiString CurrentDir()
    {
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        return IncludeTrailingBackslash(cwd);
    }
    // The folder without its trailing backslash, as the shell names it.
    AnsiString Dir() const { return ExcludeTrailingBackslash(dir.Path()); }
    testkit::TempDir dir;
    std::string savedDir;
};

TTreeNode* NodeNamed(TTreeView* Tree, const char* Name)
{
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == Name)
            return n;
    return nullptr;
}

} // namespace

TEST_F(PathDialog, OkOnlyOnAnExistingFolderAndTheFormVariableNeverOutlivesTheForm)
{
    testkit::FakeShell shell;
    TComInterface<IShellFolder> desktop(shell.Desktop());
    TacDesktopGuard guard(desktop);
    testkit::FakeItem* computer = shell.Add(nullptr, "Computer", true);
    computer->Parsing = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    testkit::FakeItem* real = shell.Add(nullptr, "Real", true);
    real->Parsing = dir / "a";
    shell.Add(nullptr, "Gone", true)->Parsing = dir / "missing";

    auto* form = Create<TPathDialogForm>(Application);
    EXPECT_EQ(PathDialogForm, form);
    form->Show();
    struct Case {
        const char* Node;
        bool Ok;
    };
    for (const Case& c : {Case{"Real", true}, Case{"Computer", false}, Case{"Gone", false}, Case{"Real", true}}) {
        TTreeNode* node = NodeNamed(form->sShellTreeView1, c.Node);
        ASSERT_NE(node, nullptr) << c.Node;
        node->SetSelected(true);
        testkit::PumpPending();
        EXPECT_EQ(form->sBitBtn1->Enabled(), c.Ok) << c.Node;
        EXPECT_FALSE(form->sBitBtn3->Visible());
    }
    form->Free();
    EXPECT_EQ(PathDialogForm, nullptr);
}

TEST_F(PathDialog, SkinnedExecuteStartsAtAnExistingPathAndTakesOnlyAConfirmedFolder)
{
    UseSkin("Neutral");
    auto* dialog = Create<TsPathDialog>(Application);
    dialog->Caption = "Папка статей";

    // A path that does not exist: the chooser starts at the program's folder, which becomes the
    // current folder; Cancel leaves Path alone.
    dialog->Path = dir / "missing";
    AnsiString shownAt, label;
    TModalDriver<TPathDialogForm> cancel([&](TPathDialogForm* Form) {
        EXPECT_EQ(Form, PathDialogForm);
        shownAt = Form->sShellTreeView1->GetPath();
        label = Form->sShellTreeView1->BoundLabel()->Caption();
        Form->sBitBtn2->Click();
        return true;
    });
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(PathDialogForm, nullptr) << "the form variable goes with the form";
    EXPECT_EQ(dialog->Path, AnsiString(dir / "missing"));
    EXPECT_EQ(CurrentDir(), GetAppPath());
    EXPECT_EQ(label, "Папка статей");
    EXPECT_EQ(shownAt, ExcludeTrailingBackslash(GetAppPath()));

    // An existing path is shown selected; OK on another folder takes it; NoChangeDir keeps the
    // current folder.
    dialog->Root = Dir();
    dialog->Path = dir / "b\\inner";
    dialog->NoChangeDir = true;
    TModalDriver<TPathDialogForm> ok([&](TPathDialogForm* Form) {
        shownAt = Form->sShellTreeView1->GetPath();
        Form->sShellTreeView1->SetPath(dir / "a");
        Form->sBitBtn1->Click();
        return true;
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(shownAt, AnsiString(dir / "b\\inner"));
    EXPECT_EQ(dialog->Path, AnsiString(dir / "a"));
    EXPECT_EQ(CurrentDir(), GetAppPath());
    dialog->Free();
}

// In the code page "\uff53\uff55\uff42" reads as "sub": the folder chosen comes back by the path that
// reaches it (its short name), a drive's root as "C:\\".
TEST_F(PathDialog, TheFolderChosenComesBackByThePathThatReachesIt)
{
    UseSkin("Neutral");
    testkit::MakeWide(dir.Path(), L"sub\\");
    testkit::MakeWide(dir.Path(), L"sub\\x.txt", "in sub");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\x.txt", "in wide sub");
    auto* dialog = Create<TsPathDialog>(Application);
    dialog->Root = Dir();
    dialog->Path = dir / "a";
    dialog->NoChangeDir = true;
    bool enabled = false;
    TModalDriver<TPathDialogForm> ok([&](TPathDialogForm* Form) {
        TTreeNode* root = Form->sShellTreeView1->Items()->GetFirstNode();
        root->Expand(false);
        // The look-alike shows apart, by a name of its own that is not "sub".
        TTreeNode* wide = nullptr;
        for (TTreeNode* n = root->getFirstChild(); n; n = n->getNextSibling())
            if (n->Text() != "a" && n->Text() != "b" && n->Text() != "sub")
                wide = n;
        EXPECT_NE(wide, nullptr);
        if (wide)
            wide->SetSelected(true);
        testkit::PumpPending();
        enabled = Form->sBitBtn1->Enabled();
        Form->sBitBtn1->Click();
        return true;
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(enabled);
    EXPECT_EQ(testkit::ReadFileBytes((dialog->Path + "\\x.txt").c_str()), "in wide sub");
    dialog->Free();

    auto* form = Create<TPathDialogForm>(Application);
    form->sShellTreeView1->SetPath("C:\\");
    EXPECT_EQ(form->sShellTreeView1->GetPath(), "C:\\");
    form->Free();
}

TEST_F(PathDialog, WithoutASkinTheSystemChooserAnswersThroughThePromptService)
{
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    auto* dialog = Create<TsPathDialog>(Application);
    dialog->Caption = "Куда?";
    dialog->Path = dir / "a";
    dialog->NoChangeDir = true;
    TSelectDirectoryDialog seen(nullptr);
    const auto answer = [&](const std::string& Folder) {
        return [&seen, Folder](TCommonDialog& D) {
            auto& chooser = dynamic_cast<TSelectDirectoryDialog&>(D);
            seen.Caption = chooser.Caption, seen.Root = chooser.Root, seen.Directory = chooser.Directory;
            chooser.Directory = Folder;
        };
    };
    script.AnswerDialog(true, answer(dir / "b"));
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Path, AnsiString(dir / "b"));
    EXPECT_EQ(seen.Caption, "Куда?");
    EXPECT_EQ(seen.Root, "") << "the desktop's whole namespace";
    EXPECT_EQ(seen.Directory, AnsiString(dir / "a"));

    // A folder that does not exist is no answer; Cancel changes nothing either.
    script.AnswerDialog(true, answer(dir / "missing"));
    EXPECT_TRUE(dialog->Execute());
    script.AnswerDialog(false);
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Path, AnsiString(dir / "b"));
    EXPECT_EQ(script.Shown.at(0).DialogClass, "TSelectDirectoryDialog");
    dialog->Free();
}

TEST_F(PathDialog, PicturesWithoutSkinAndInBothShippedSkins)
{
    for (const char* skin : {"none", "Neutral", "Dusk"}) {
        if (std::string(skin) != "none")
            UseSkin(skin);
        auto* form = Create<TPathDialogForm>(Application);
        form->sShellTreeView1->BoundLabel()->SetCaption("Папка статей:");
        form->sShellTreeView1->SetRoot(Dir());
        form->sShellTreeView1->SetPath(dir / "b\\inner");
        form->SetBounds(100, 100, form->Width(), form->Height());
        form->Show();
        SetForegroundWindow(form->Handle());
        Paint(form);
        testkit::WaitIdle();
        Paint(form);
        EXPECT_TRUE(form->sBitBtn1->Enabled()) << skin;
        testkit::SaveScreenshot(std::string("path_dialog_") + skin + ".png", form->Handle());
        form->Free();
    }
}

TEST_F(PathDialog, OkStartsInStepWithTheFolderShownFirst)
{
    // No change of selection before the form shows: a virtual root shown first cannot be confirmed.
    const struct {
        const char* root;
        bool ok;
    } cases[] = {{"rfMyComputer", false}, {"rfDesktop", true}};
    for (const auto& c : cases) {
        auto* form = Create<TPathDialogForm>(Application);
        form->sShellTreeView1->SetRoot(c.root);
        form->Show();
        testkit::PumpPending();
        EXPECT_EQ(form->sBitBtn1->Enabled(), c.ok) << c.root;
        form->Free();
    }
}
