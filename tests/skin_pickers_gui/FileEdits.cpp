// The file and folder edits: dropped files (the first name, or all of them with multi-selection;
// names too long to reach refused whole; the record always released), the file name's rules, the
// open and save dialogs they open, and the folder chooser with and without a skin.
#include "PickersKit.h"

#include "DropRecord.h"
#include "acPathDialog.h"
#include "sBitBtn.h"
#include "sDialogs.h"
#include "sOpenDialog.h"

using namespace formskit;

namespace {

class FileEdits : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        for (const char* sub : {"a", "b"})
            CreateDirectoryA((dir / sub).c_str(), nullptr);
        for (const char* file : {"one.txt", "two.txt", "three.txt"})
            testkit::WriteFileBytes(dir / file, "x");
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        savedDir = cwd;
        form = MakeForm();
        form->SetBounds(60, 60, 300, 120);
        fileEdit = Put<TsFilenameEdit>(10);
        dirEdit = Put<TsDirectoryEdit>(40);
        form->Show();
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDir.c_str());
        SkinnedFormTest::TearDown();
    }
    template <class T>
    T* Put(int Top)
    {
        auto* e = Create<T>(form);
        e->SetBounds(10, Top, 260, 21);
        e->SetParent(form);
        return e;
    }
    // Drops the names on an edit; true when the edit let go of the record.
    static bool Drop(TWinControl* Edit, const std::vector<std::string>& Names)
    {
        HDROP drop = testkit::MakeDrop(Names);
        SendMessageA(Edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        return testkit::DropReleased(drop);
    }
    static std::vector<std::string> Lines(TStrings* Strings)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Strings->Count(); ++i)
            lines.push_back(Strings->Strings(i));
        return lines;
    }
    testkit::TempDir dir;
    std::string savedDir;
    TForm* form = nullptr;
    TsFilenameEdit* fileEdit = nullptr;
    TsDirectoryEdit* dirEdit = nullptr;
};

} // namespace

TEST_F(FileEdits, DropsTakeTheFirstNameOrEveryNameAndRefuseNamesTooLongToReach)
{
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    fileEdit->SetAcceptFiles(true);
    EXPECT_TRUE(GetWindowLongA(fileEdit->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    int dropped = 0;
    fileEdit->OnDropFiles = [&](TObject*) { ++dropped; };
    const std::vector<std::string> three{dir / "one.txt", dir / "two.txt", dir / "three.txt"};

    EXPECT_TRUE(Drop(fileEdit, three));
    EXPECT_EQ(fileEdit->Text(), three[0]);
    EXPECT_EQ(fileEdit->DialogFiles()->Count(), 0);
    fileEdit->SetDialogOptions(TOpenOptions(fileEdit->DialogOptions()) << ofAllowMultiSelect);
    EXPECT_TRUE(Drop(fileEdit, three));
    EXPECT_EQ(fileEdit->Text(), three[0]);
    EXPECT_EQ(Lines(fileEdit->DialogFiles()), three);
    EXPECT_EQ(dropped, 2);

    // A name of MAX_PATH characters would be cut short into another name: it is refused with one
    // message, and the names beside it are taken.
    const std::string tooLong = dir.Path() + std::string(MAX_PATH, 'n');
    EXPECT_TRUE(Drop(fileEdit, {tooLong, three[1]}));
    EXPECT_EQ(fileEdit->Text(), three[1]);
    EXPECT_EQ(Lines(fileEdit->DialogFiles()), std::vector<std::string>{three[1]});
    ASSERT_EQ(script.Shown.size(), 1u);
    EXPECT_EQ(script.Shown[0].Text, "File name too long:\n" + tooLong);
    fileEdit->SetDialogOptions(TOpenOptions(fileEdit->DialogOptions()) >> ofAllowMultiSelect);
    EXPECT_TRUE(Drop(fileEdit, {tooLong}));
    EXPECT_EQ(fileEdit->Text(), three[1]);
    EXPECT_EQ(dropped, 3);
    EXPECT_EQ(script.Shown.size(), 2u);

    // A folder edit takes a file's folder; with MultipleDirs every name, after ";".
    dirEdit->SetAcceptFiles(true);
    EXPECT_TRUE(Drop(dirEdit, {three[0], dir / "a"}));
    EXPECT_EQ(dirEdit->Text(), dir.Path());
    dirEdit->SetMultipleDirs(true);
    EXPECT_TRUE(Drop(dirEdit, {dir / "a", dir / "missing"}));
    EXPECT_EQ(dirEdit->Text(), dir.Path() + ";" + dir / "a" + ";" + dir / "missing");
}

TEST_F(FileEdits, TheFileDialogStartsAtTheTextsFileAndItsChoiceBecomesTheText)
{
    EXPECT_EQ(testkit::Refusal<Exception>([&] { fileEdit->SetFileName(dir / "a|b.txt"); }), "Invalid file name");
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    AnsiString startName, startDir;
    const auto choose = [&](const std::string& Name) {
        return [&startName, &startDir, Name](TCommonDialog& D) {
            auto& dialog = dynamic_cast<TOpenDialog&>(D);
            startName = dialog.FileName;
            startDir = dialog.InitialDir;
            dialog.FileName = Name;
        };
    };
    fileEdit->SetText(dir / "a\\old.txt");
    script.AnswerDialog(true, choose(dir / "b\\new.txt"));
    fileEdit->ButtonClick();
    EXPECT_EQ(startName, AnsiString(dir / "a\\old.txt"));
    EXPECT_EQ(startDir, AnsiString(dir / "a\\"));
    EXPECT_EQ(fileEdit->Text(), AnsiString(dir / "b\\new.txt"));
    EXPECT_EQ(fileEdit->InitialDir(), AnsiString(dir / "b\\"));

    // A text without a file part starts the dialog in its folder without a name; Cancel keeps
    // the text.
    fileEdit->SetText(dir / "a\\");
    script.AnswerDialog(true, choose(dir / "a\\x.txt"));
    fileEdit->ButtonClick();
    EXPECT_EQ(startName, "");
    EXPECT_EQ(startDir, AnsiString(dir / "a\\"));
    script.AnswerDialog(false);
    fileEdit->ButtonClick();
    EXPECT_EQ(fileEdit->Text(), AnsiString(dir / "a\\x.txt"));

    // The save dialog takes the open dialog's settings over.
    fileEdit->SetFilter("Pages|*.html");
    fileEdit->SetFilterIndex(1);
    fileEdit->SetDefaultExt("html");
    fileEdit->SetDialogKind(dkSave);
    EXPECT_NE(dynamic_cast<TsSaveDialog*>(fileEdit->Dialog()), nullptr);
    EXPECT_EQ(fileEdit->Filter(), "Pages|*.html");
    EXPECT_EQ(fileEdit->DefaultExt(), "html");
    EXPECT_EQ(fileEdit->InitialDir(), AnsiString(dir / "a\\"));
    EXPECT_EQ(fileEdit->DialogTitle(), "File open");
    script.AnswerDialog(true, choose(dir / "saved.html"));
    fileEdit->ButtonClick();
    EXPECT_EQ(fileEdit->Text(), AnsiString(dir / "saved.html"));
    ASSERT_EQ(script.Shown.size(), 4u);
    EXPECT_EQ(script.Shown[0].DialogClass, "TsOpenDialog");
    EXPECT_EQ(script.Shown[3].DialogClass, "TsSaveDialog");

    // With a skin the dialog shows the skinned form.
    UseSkin("Neutral");
    TModalDriver<TsOpenDialogForm> close([](TsOpenDialogForm* Form) {
        Form->SetModalResult(mrCancel);
        return true;
    });
    fileEdit->ButtonClick();
    EXPECT_TRUE(close.Done());
    EXPECT_EQ(fileEdit->Text(), AnsiString(dir / "saved.html"));
}

TEST_F(FileEdits, TheFolderChooserStartsAtTheTextsFolderWithAndWithoutASkin)
{
    {
        TScriptedPromptService script;
        TPromptServiceGuard guard(script);
        AnsiString start;
        const auto choose = [&](const std::string& Folder) {
            return [&start, Folder](TCommonDialog& D) {
                auto& chooser = dynamic_cast<TSelectDirectoryDialog&>(D);
                start = chooser.Directory;
                chooser.Directory = Folder;
            };
        };
        // An empty text starts at InitialDir, which becomes the current folder.
        dirEdit->InitialDir = dir / "a";
        script.AnswerDialog(true, choose(dir / "b"));
        dirEdit->ButtonClick();
        EXPECT_EQ(start, AnsiString(dir / "a"));
        EXPECT_EQ(IncludeTrailingBackslash(GetCurrentDir()), AnsiString(dir / "a\\"));
        EXPECT_EQ(dirEdit->Text(), AnsiString(dir / "b"));
        EXPECT_EQ(dirEdit->InitialDir, AnsiString(dir / "b"));
        // With MultipleDirs the chosen folder is added after ";".
        dirEdit->SetMultipleDirs(true);
        script.AnswerDialog(true, choose(dir / "a"));
        dirEdit->ButtonClick();
        EXPECT_EQ(dirEdit->Text(), AnsiString(dir / "b;" + dir / "a"));
    }

    // Skinned: the path dialog form at the text's folder; OK adds the selected folder.
    UseSkin("Dusk");
    dirEdit->SetText(dir / "a");
    dirEdit->Root = dir.Path();
    dirEdit->NoChangeDir = true;
    AnsiString shownAt;
    const auto pick = [&](bool Ok) {
        return [&, Ok](TPathDialogForm* Form) {
            shownAt = Form->sShellTreeView1->GetPath();
            Form->sShellTreeView1->SetPath(dir / "b");
            (Ok ? Form->sBitBtn1 : Form->sBitBtn2)->Click();
            return true;
        };
    };
    {
        TModalDriver<TPathDialogForm> cancel(pick(false));
        dirEdit->ButtonClick();
    }
    EXPECT_EQ(shownAt, AnsiString(dir / "a"));
    EXPECT_EQ(dirEdit->Text(), AnsiString(dir / "a"));
    {
        TModalDriver<TPathDialogForm> ok(pick(true));
        dirEdit->ButtonClick();
    }
    EXPECT_EQ(dirEdit->Text(), AnsiString(dir / "a;" + dir / "b"));
    EXPECT_EQ(dirEdit->InitialDir, AnsiString(dir / "b"));
    EXPECT_EQ(PathDialogForm, nullptr);
}
