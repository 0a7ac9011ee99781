// The skinned open form and the file dialogs that show it: the OK rules on a real folder, typed
// names, the options copied in and the results back, the history and its buttons, the program's
// texts, the colours in Dusk, the picture preview, and pictures of the form in both shipped
// skins and without a skin (open_dialog_<look>.png).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "../shell_gui/ShellKit.h"
#include "ProgramRun.h"
#include "../skin_forms_gui/FormsKit.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "sButton.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFileCtrl.h"
#include "sLabel.h"
#include "sOpenDialog.h"
#include "sSpeedButton.h"

using namespace testkit;
using namespace formskit;

namespace {

// Runs Step on the open form from a thread timer (timers fire inside modal loops) once it shows;
// a form still open long after ends with mrAbort, so that a failing test cannot hang.
class TFormDriver {
public:
    explicit TFormDriver(std::function<void(TsOpenDialogForm*)> Step) : step_(std::move(Step))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &TFormDriver::Tick);
    }
    ~TFormDriver() { KillTimer(nullptr, timer_), current_ = nullptr; }
    TFormDriver(const TFormDriver&) = delete;
    TFormDriver& operator=(const TFormDriver&) = delete;
    bool Ran() const { return ran_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TFormDriver* self = current_;
        auto* form = dynamic_cast<TsOpenDialogForm*>(FindControl(GetActiveWindow()));
        if (!self || self->busy_ || !form || !IsWindowVisible(form->Handle()))
            return;
        if (self->ran_) {
            if (GetTickCount64() - self->ranAt_ > testkit::kModalLimitMs)
                form->SetModalResult(mrAbort);
            return;
        }
        self->busy_ = true;
        self->ran_ = true;
        self->ranAt_ = GetTickCount64();
        self->step_(form);
        self->busy_ = false;
    }
    static inline TFormDriver* current_ = nullptr;
    std::function<void(TsOpenDialogForm*)> step_;
    UINT_PTR timer_ = 0;
    ULONGLONG ranAt_ = 0;
    bool ran_ = false, busy_ = false;
};

// Executes a dialog whose form Step handles (it must end the form).
bool RunForm(TOpenDialog& Dialog, std::function<void(TsOpenDialogForm*)> Step)
{
    TFormDriver driver(std::move(Step));
    const bool result = Dialog.Execute();
    EXPECT_TRUE(driver.Ran()) << "the form never showed";
    return result;
}

// The row of a file or folder by its name on disk.
int RowIndex(TacCustomShellListView* List, const char* Name)
{
    for (int i = 0; i < List->FolderCount(); ++i)
        if (SameText(ExtractFileName(ExcludeTrailingBackslash(List->GetFolder(i)->PathName())), Name))
            return i;
    ADD_FAILURE() << "no row " << Name;
    return 0;
}

// The short name the folder lists for an entry made by its wide name.
std::string ShortName(const std::string& Dir, const std::wstring& Name)
{
    WIN32_FIND_DATAW fd;
    const HANDLE h = FindFirstFileW((L"\\\\?\\" + AnsiToWide(Dir.c_str()) + Name).c_str(), &fd);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    return WideToAnsi(fd.cAlternateFileName).c_str();
}

// The row showing a caption.
int RowShown(TacCustomShellListView* List, const std::string& Caption)
{
    for (int i = 0; i < List->FolderCount(); ++i)
        if (List->GetFolder(i)->DisplayName() == Caption.c_str())
            return i;
    ADD_FAILURE() << "no row shows " << Caption;
    return 0;
}

bool SameFolder(const AnsiString& A, const std::string& B) { return SameText(NormalDir(A), NormalDir(B)); }

class OpenDialog : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        UseSkin("Neutral");
        shellkit::MakeTree(dir, {"a.txt", "b.log", "pic.bmp", "sub\\", "sub\\c.txt", "Tom & Jerry\\"});
    }
    // The form over the folder, shown without a modal loop, for the owner dialog.
    TsOpenDialogForm* ShowForm(TOpenDialog& Owner, const std::string& Folder)
    {
        auto* form = MakeForm<TsOpenDialogForm>();
        form->OwnerDialog = &Owner;
        GoTo(form, Folder);
        form->Show();
        return form;
    }
    // The list opens a folder, as a double click on it does.
    static void GoTo(TsOpenDialogForm* Form, const std::string& Folder)
    {
        std::wstring wide(Folder.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, Folder.c_str(), -1, wide.data(), int(wide.size())) - 1);
        PIDL id = nullptr;
        ULONG eaten = 0;
        ASSERT_EQ(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &id, nullptr), S_OK);
        TItemIDList owned(id);
        Form->FileListView->SetPathFromID(id);
        PumpPending();
    }
    // OK pressed with a name typed: the form's result and the boxes that it asked.
    TModalResult Ok(TsOpenDialogForm* Form, const AnsiString& Typed)
    {
        Form->SetModalResult(mrNone);
        Form->FileNameEdit->SetText(Typed);
        Form->sButton1Click(nullptr);
        return Form->ModalResult();
    }
    TempDir dir;
    TScriptedPromptService prompts;
    TPromptServiceGuard guard{prompts};
};

} // namespace

TEST_F(OpenDialog, OkChecksTheNameInOrderAfterTheDefaultExtension)
{
    TsSaveDialog save(nullptr);
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* saveForm = ShowForm(save, dir.Path());
    TsOpenDialogForm* openForm = ShowForm(open, dir.Path());

    // An empty name does nothing at all.
    EXPECT_EQ(Ok(openForm, ""), mrNone);
    EXPECT_TRUE(prompts.Shown.empty());

    // The default extension comes first: "a" is the existing a.txt, so the save dialog asks
    // before anything else, and "No" keeps the form open.
    save.DefaultExt = "txt";
    save.Options = TOpenOptions{ofOverwritePrompt, ofPathMustExist, ofFileMustExist};
    prompts.Answer(mrNo);
    EXPECT_EQ(Ok(saveForm, "a"), mrNone);
    prompts.Answer(mrYes);
    EXPECT_EQ(Ok(saveForm, "a"), mrOk);
    EXPECT_EQ(saveForm->FileName, dir / "a.txt");
    ASSERT_EQ(prompts.Shown.size(), 2u);
    EXPECT_EQ(prompts.Shown[0].Text, "a.txt\r\nFile exists. Overwrite?");
    // The open dialog never asks to overwrite.
    open.Options = TOpenOptions{ofOverwritePrompt, ofFileMustExist};
    EXPECT_EQ(Ok(openForm, "b.log"), mrOk);
    EXPECT_EQ(prompts.Shown.size(), 2u);
    // Every kind of save dialog asks (the picture one derives from the picture open dialog).
    TsSavePictureDialog savePicture(nullptr);
    savePicture.DefaultExt = "txt";
    savePicture.Options = save.Options;
    prompts.Answer(mrNo);
    EXPECT_EQ(Ok(ShowForm(savePicture, dir.Path()), "a"), mrNone);
    ASSERT_EQ(prompts.Shown.size(), 3u);
    EXPECT_EQ(prompts.Shown[2].Text, "a.txt\r\nFile exists. Overwrite?");

    // Then the folder, then the create prompt, then the file.
    const struct {
        TOpenOptions options;
        const char* typed;
        int answer; // to the create prompt, 0: none asked
        TModalResult result;
        std::string box; // the last box shown, "" none
        bool made;       // the file exists afterwards
    } cases[] = {
        {{ofPathMustExist, ofCreatePrompt}, "none\\x.txt", 0, mrNone, dir / "none\\\r\nPath not found", false},
        {{ofCreatePrompt, ofFileMustExist}, "new.txt", mrNo, mrNone, dir / "new.txt\r\nFile not found. Create?", false},
        {{ofCreatePrompt, ofFileMustExist}, "new.txt", mrYes, mrOk, dir / "new.txt\r\nFile not found. Create?", true},
        {{ofFileMustExist}, "gone.txt", 0, mrNone, dir / "gone.txt\r\nFile not found", false},
        {{}, "gone.txt", 0, mrOk, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        prompts.Shown.clear();
        open.Options = c.options;
        if (c.answer)
            prompts.Answer(c.answer);
        EXPECT_EQ(Ok(openForm, c.typed), c.result);
        EXPECT_EQ(prompts.Shown.empty() ? "" : std::string(prompts.Shown.back().Text), c.box);
        EXPECT_EQ(FileExists((dir / c.typed).c_str()), c.made);
    }
    EXPECT_EQ(ReadFileBytes(dir / "new.txt"), "") << "an empty file";

    // A full name typed stands for itself; a name from the root is on the folder's drive.
    open.Options = TOpenOptions{ofFileMustExist};
    EXPECT_EQ(Ok(openForm, (dir / "sub\\c.txt").c_str()), mrOk);
    EXPECT_EQ(openForm->FileName, dir / "sub\\c.txt");
    const std::string fromRoot = (dir / "a.txt").substr(2);
    EXPECT_EQ(Ok(openForm, fromRoot.c_str()), mrOk);
    EXPECT_EQ(openForm->FileName, dir / "a.txt");
    openForm->Free();
    saveForm->Free();
}

TEST_F(OpenDialog, OkOnAFolderOpensItAndEnterOrEscapeWhileRenamingOnlyEndsTheRename)
{
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    list->SetFocus();
    list->Items()->Item(RowIndex(list, "sub"))->SetSelected(true);
    EXPECT_EQ(Ok(form, "a.txt"), mrNone) << "the folder opens, the form stays";
    EXPECT_TRUE(SameFolder(list->RootFolder()->PathName(), dir / "sub"));

    // Renaming c.txt: OK (Enter) keeps the form and the folder and takes the new name.
    list->Items()->Item(RowIndex(list, "c.txt"))->SetSelected(true);
    list->EditText();
    ASSERT_TRUE(list->IsEditing());
    SetWindowTextA(ListView_GetEditControl(list->Handle()), "d.txt");
    EXPECT_EQ(Ok(form, "c.txt"), mrNone);
    PumpPending();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(SameFolder(list->RootFolder()->PathName(), dir / "sub"));
    EXPECT_TRUE(FileExists((dir / "sub\\d.txt").c_str()));

    // The same with a real Enter in the edit box.
    SetForegroundWindow(form->Handle());
    list->Items()->Item(RowIndex(list, "d.txt"))->SetSelected(true);
    list->EditText();
    ASSERT_TRUE(list->IsEditing());
    SetWindowTextA(ListView_GetEditControl(list->Handle()), "e.txt");
    shellkit::PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return FileExists((dir / "sub\\e.txt").c_str()); })) << "renamed";
    EXPECT_EQ(form->ModalResult(), mrNone);
    EXPECT_TRUE(SameFolder(list->RootFolder()->PathName(), dir / "sub"));
    form->Free();

    // In the form's own loop a real Escape, and Cancel, end the rename only: the old name stays and
    // so does the form.
    TsOpenDialog modal(nullptr);
    modal.InitialDir = (dir / "sub").c_str();
    std::vector<bool> ended;
    std::vector<TModalResult> during;
    RunForm(modal, [&](TsOpenDialogForm* F) {
        TsDlgShellListView* l = F->FileListView;
        l->SetFocus();
        l->Items()->Item(RowIndex(l, "e.txt"))->SetSelected(true);
        for (bool key : {true, false}) {
            l->EditText();
            SetWindowTextA(ListView_GetEditControl(l->Handle()), "f.txt");
            if (key)
                shellkit::PressKey(VK_ESCAPE);
            else
                F->sButton2->Click();
            for (const ULONGLONG until = GetTickCount64() + kPatienceMs; l->IsEditing() && GetTickCount64() < until;) {
                Application->ProcessMessages();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
            ended.push_back(!l->IsEditing());
            during.push_back(F->ModalResult());
        }
        F->sButton2->Click();
    });
    EXPECT_EQ(ended, (std::vector<bool>{true, true})) << "the rename ended";
    EXPECT_EQ(during, (std::vector<TModalResult>{mrNone, mrNone})) << "the form stayed";
    EXPECT_TRUE(FileExists((dir / "sub\\e.txt").c_str()));
    EXPECT_FALSE(FileExists((dir / "sub\\f.txt").c_str()));
}

// A rename the list refuses says why in the form's words (a character no name holds, a device's
// name, an entry of that name there already), and the entry keeps its name; another case of its
// own name it takes.
TEST_F(OpenDialog, ARenameRefusedInTheListSaysWhy)
{
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    list->SetFocus();
    const std::pair<const char*, const char*> cases[] = {
        {"nul.html", "Cannot rename \"a.txt\" to \"nul.html\". The name is a device's, not a file's"},
        {"con.html", "Cannot rename \"a.txt\" to \"con.html\". The name is a device's, not a file's"},
        {"a?.html", "A file name can't contain any of the following characters:\r\n\\ / : * ? \" < > |"},
        {"b.log", "Cannot rename \"a.txt\" to \"b.log\". An entry of that name exists already"},
    };
    // "a.txt" renamed in place to Name, the form's OK pressed while the name is typed.
    const auto rename = [&](const char* name) {
        prompts.Shown.clear();
        list->ClearSelection();
        list->Items()->Item(RowIndex(list, "a.txt"))->SetSelected(true);
        list->EditText();
        ASSERT_TRUE(list->IsEditing());
        SetWindowTextA(ListView_GetEditControl(list->Handle()), name);
        EXPECT_EQ(Ok(form, "a.txt"), mrNone);
        PumpPending();
    };
    for (const auto& [name, refusal] : cases) {
        rename(name);
        ASSERT_EQ(prompts.Shown.size(), 1u) << name;
        EXPECT_EQ(prompts.Shown[0].Text, refusal);
        EXPECT_TRUE(FileExists((dir / "a.txt").c_str())) << name;
    }
    // Another case of its own name is no entry in the way: the entry takes it.
    rename("A.TXT");
    EXPECT_TRUE(prompts.Shown.empty()) << prompts.Shown[0].Text;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((dir / "a.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(found.cFileName, "A.TXT");
    form->Free();
}

// The list shows where its focus is: a row has the focus mark (not the selection) on entering the
// list, in a folder opened by Enter and after Backspace.
TEST_F(OpenDialog, TheListShowsItsFocusOnEnteringAndInEachFolderOpened)
{
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle(); }));
    auto marked = [list] { return static_cast<int>(list->Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)); };
    EXPECT_EQ(marked(), -1);
    list->SetFocus();
    EXPECT_EQ(marked(), 0) << "on entering";
    EXPECT_EQ(list->SelCount(), 0);
    list->Items()->Item(RowIndex(list, "sub"))->SetSelected(true);
    shellkit::PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return SameFolder(list->RootFolder()->PathName(), dir / "sub"); }));
    EXPECT_EQ(marked(), 0) << "in the folder opened";
    shellkit::PressKey(VK_BACK);
    EXPECT_TRUE(PumpUntil([&] { return SameFolder(list->RootFolder()->PathName(), dir.Path()); }));
    EXPECT_EQ(marked(), 0) << "after Backspace";
    form->Free();
}

TEST_F(OpenDialog, TypedNamesAreResolvedAFolderOpensAndAMaskFiltersKeepingTheForm)
{
    TsOpenDialog open(nullptr);
    open.Options = TOpenOptions{ofFileMustExist};
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    const struct {
        const char* typed;
        std::string file;
    } chosen[] = {
        {"\"a.txt\"", dir / "a.txt"},
        {" sub/../b.log  ", dir / "b.log"},
        {".\\sub\\.\\c.txt", dir / "sub\\c.txt"},
        {"a.txt. ", dir / "a.txt"},
    };
    for (const auto& c : chosen) {
        EXPECT_EQ(Ok(form, c.typed), mrOk) << c.typed;
        EXPECT_EQ(form->FileName, c.file) << c.typed;
    }
    EXPECT_TRUE(prompts.Shown.empty());

    // A folder opens, the form stays and the box empties; ".." goes up again.
    EXPECT_EQ(Ok(form, "sub"), mrNone);
    EXPECT_TRUE(SameFolder(list->RootFolder()->PathName(), dir / "sub"));
    EXPECT_TRUE(SameFolder(form->DriveComboBox->GetPath(), dir / "sub"));
    EXPECT_EQ(form->FileNameEdit->Text(), "");
    EXPECT_EQ(Ok(form, "..\\"), mrNone);
    EXPECT_TRUE(SameFolder(list->RootFolder()->PathName(), dir.Path()));

    // A mask lists the files it matches and stays in the box.
    EXPECT_EQ(Ok(form, "*.log"), mrNone);
    PumpPending();
    std::vector<std::string> files;
    for (int i = 0; i < list->FolderCount(); ++i)
        if (!list->GetFolder(i)->IsFolder())
            files.push_back(ExtractFileName(list->GetFolder(i)->PathName()).c_str());
    EXPECT_EQ(files, std::vector<std::string>{"b.log"});
    EXPECT_EQ(form->FileNameEdit->Text(), "*.log");
    EXPECT_TRUE(prompts.Shown.empty());
    form->Free();
}

TEST_F(OpenDialog, TheFocusStartsInTheNameBoxTheTextsAreTheProgramsAndADoubleClickChoosesAFile)
{
    const sDialogs::TOpenFormTexts saved = sDialogs::OpenFormTexts;
    sDialogs::OpenFormTexts.OpenTitle = "Открыть файл";
    sDialogs::OpenFormTexts.Folder = "Папка:";
    sDialogs::OpenFormTexts.FileName = "Имя файла:";
    sDialogs::OpenFormTexts.FileType = "Тип файлов:";
    sDialogs::OpenFormTexts.Open = "Открыть";
    sDialogs::OpenFormTexts.Cancel = "Отмена";
    sDialogs::OpenFormTexts.Up = "Вверх";
    sDialogs::OpenFormTexts.List = "Список";
    TsOpenDialog open(nullptr);
    open.InitialDir = dir.Path().c_str();
    std::vector<std::string> texts;
    bool focused = false;
    const bool ok = RunForm(open, [&](TsOpenDialogForm* F) {
        focused = GetFocus() == F->FileNameEdit->Handle();
        texts = {F->Caption().c_str(),
                 F->DriveComboBox->BoundLabel()->Caption().c_str(),
                 F->FileNameEdit->BoundLabel()->Caption().c_str(),
                 F->FileTypeBox->BoundLabel()->Caption().c_str(),
                 F->sButton1->Caption().c_str(),
                 F->sButton2->Caption().c_str(),
                 F->UpBtn->Hint().c_str(),
                 F->List1->Caption().c_str()};
        // A real double click on a file's name: the form closes with it.
        TsDlgShellListView* list = F->FileListView;
        RECT r{LVIR_LABEL, 0, 0, 0};
        list->Perform(LVM_GETITEMRECT, WPARAM(RowIndex(list, "b.log")), reinterpret_cast<LPARAM>(&r));
        SetForegroundWindow(F->Handle());
        ClickIn(list->Handle(), r, true);
    });
    sDialogs::OpenFormTexts = saved;
    EXPECT_TRUE(focused);
    EXPECT_EQ(texts, (std::vector<std::string>{"Открыть файл", "Папка:", "Имя файла:", "Тип файлов:", "Открыть", "Отмена",
                                               "Вверх", "Список"}));
    EXPECT_TRUE(ok) << "chosen by the double click";
    EXPECT_EQ(open.FileName, dir / "b.log");
}

TEST_F(OpenDialog, ExecuteCopiesTheOptionsInAndTheResultsBackAlsoAfterCancel)
{
    TsOpenDialog open(nullptr);
    open.Filter = "Text|*.txt|Logs|*.log|All|*.*";
    open.Options = TOpenOptions{ofNoChangeDir, ofFileMustExist};
    open.InitialDir = dir.Path().c_str();
    const struct {
        int in, chosen, out; // FilterIndex given, the entry chosen on the form (-1: none), after
        TModalResult end;
    } cases[] = {{0, -1, 1, mrCancel}, {-3, -1, 1, mrCancel}, {2, -1, 2, mrCancel}, {3, 0, 1, mrCancel}, {1, 1, 2, mrOk}};
    const AnsiString before = GetCurrentDir();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        open.FilterIndex = c.in;
        int shown = -2;
        const bool ok = RunForm(open, [&](TsOpenDialogForm* F) {
            shown = F->FileTypeBox->ItemIndex();
            if (c.chosen >= 0) {
                F->FileTypeBox->SetItemIndex(c.chosen);
                F->FileTypeBoxChange(nullptr);
            }
            SetCurrentDir(dir.Path().c_str());
            if (c.end == mrOk)
                F->FileNameEdit->SetText("b.log"), F->sButton1->Click();
            else
                F->sButton2->Click();
        });
        EXPECT_EQ(shown, c.in >= 1 ? c.in - 1 : 0);
        EXPECT_EQ(open.FilterIndex, c.out);
        EXPECT_EQ(ok, c.end == mrOk);
        EXPECT_EQ(GetCurrentDir(), before) << "no change of the current folder";
    }

    // Without it OK makes the chosen folder the current one.
    open.Options = TOpenOptions{};
    open.FileName = (dir / "sub\\c.txt").c_str();
    EXPECT_TRUE(RunForm(open, [](TsOpenDialogForm* F) { F->sButton1->Click(); }));
    EXPECT_EQ(open.FileName, dir / "sub\\c.txt");
    EXPECT_TRUE(SameFolder(GetCurrentDir(), dir / "sub"));
    SetCurrentDir(before);
}

TEST_F(OpenDialog, TheListStartsInTheNamesFolderElseInitialDirElseTheProgramsFolder)
{
    // The list's columns are as wide as its first measure made them, on the desktop's rows,
    // whatever the folder shown: a name far wider than those is cut.
    const std::string wide(120, 'w');
    WriteFileBytes(dir / (wide + ".txt"), "");
    auto* probe = MakeForm<TsOpenDialogForm>();
    probe->FileListView->HandleNeeded();
    PrintWindowPixels(probe->FileListView->Handle());
    const int desktopWidth = ListView_GetColumnWidth(probe->FileListView->Handle(), 0);
    probe->Free();
    ASSERT_LT(desktopWidth, 400);
    TsOpenDialog open(nullptr);
    const struct {
        std::string fileName, initialDir, folder, edit;
    } cases[] = {
        {dir / "sub\\c.txt", dir.Path(), dir / "sub", "c.txt"},
        {dir / "sub\\..\\sub\\.\\c.txt", dir.Path(), dir / "sub", "c.txt"},
        {"c.txt", dir / "sub", dir / "sub", "c.txt"},
        {"x.txt", dir / "none", ExtractFilePath(ParamStr(0)).c_str(), "x.txt"},
        {dir / "gone\\x.txt", dir.Path(), dir.Path(), dir / "gone\\x.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        open.FileName = c.fileName.c_str();
        open.InitialDir = c.initialDir.c_str();
        AnsiString folder, list, edit;
        RunForm(open, [&](TsOpenDialogForm* F) {
            folder = F->DriveComboBox->GetPath();
            list = F->FileListView->RootFolder()->PathName();
            edit = F->FileNameEdit->Text();
            EXPECT_EQ(ListView_GetColumnWidth(F->FileListView->Handle(), 0), desktopWidth);
            F->sButton2->Click();
        });
        EXPECT_TRUE(SameFolder(folder, c.folder)) << folder;
        EXPECT_TRUE(SameFolder(list, c.folder)) << list;
        EXPECT_EQ(edit, c.edit);
    }
}

TEST_F(OpenDialog, MultiSelectFillsFilesWithTheSelectedFilesInTheListsOrder)
{
    TsOpenDialog open(nullptr);
    open.Options = TOpenOptions{ofAllowMultiSelect};
    open.InitialDir = dir.Path().c_str();
    AnsiString edit;
    const bool ok = RunForm(open, [&](TsOpenDialogForm* F) {
        TsDlgShellListView* list = F->FileListView;
        for (const char* name : {"sub", "b.log", "a.txt"})
            list->Items()->Item(RowIndex(list, name))->SetSelected(true);
        edit = F->FileNameEdit->Text();
        F->sButton1->Click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(edit, "\"a.txt\" \"b.log\"");
    ASSERT_EQ(open.Files()->Count(), 2);
    EXPECT_EQ(open.Files()->Strings(0), dir / "a.txt");
    EXPECT_EQ(open.Files()->Strings(1), dir / "b.log");
    EXPECT_EQ(open.FileName, dir / "b.log") << "the last of them";

    // The next use answers the name typed, not a name of the earlier selection.
    EXPECT_TRUE(RunForm(open, [](TsOpenDialogForm* F) { F->FileNameEdit->SetText("a.txt"), F->sButton1->Click(); }));
    EXPECT_EQ(open.FileName, dir / "a.txt");
}

TEST_F(OpenDialog, HistoryRecordsEachNewFolderOnceAndBackAndItsMenuMoveThroughIt)
{
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    const std::string amp = dir / "Tom & Jerry\\";
    TsDlgShellListView* list = form->FileListView;
    auto history = [&] {
        std::string h;
        for (int i = 0; i < form->History()->Count(); ++i)
            h += (h.empty() ? "" : "|") + ExtractFileName(ExcludeTrailingBackslash(form->History()->Strings(i)));
        return h;
    };
    const std::string top = ExtractFileName(ExcludeTrailingBackslash(dir.Path().c_str())).c_str();
    EXPECT_EQ(history(), top);
    EXPECT_TRUE(form->BackBtn->Enabled());
    EXPECT_TRUE(form->UpBtn->Enabled());

    // Each folder the list opens, once; the same folder again and a folder that is no file-system
    // folder are not recorded.
    for (const std::string& to : {dir / "sub\\", dir / "sub\\", amp})
        GoTo(form, to);
    form->FolderChanged();
    PIDL computer = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    TItemIDList owned(computer);
    list->TreeUpdate(computer);
    PumpPending();
    EXPECT_TRUE(form->UpBtn->Enabled()) << "below the root";
    EXPECT_EQ(history(), top + "|sub|Tom & Jerry");
    ASSERT_EQ(form->HistMenu->Items()->Count(), 3);
    EXPECT_EQ(form->HistMenu->Items()->Items(1)->Caption(), dir / "sub\\");
    EXPECT_EQ(form->HistMenu->Items()->Items(2)->Caption(), dir / "Tom && Jerry\\");
    EXPECT_FALSE(form->HistMenu->Items()->Items(2)->Visible()) << "the folder shown last";

    // The menu's entry of a folder with "&" in its name goes there; the history stays.
    form->HistMenu->Items()->Items(2)->Click();
    EXPECT_TRUE(SameFolder(form->DriveComboBox->GetPath(), amp));
    EXPECT_EQ(history(), top + "|sub|Tom & Jerry");

    // Back from the folder of the last entry goes to the one before, and from a folder reached
    // through the menu past the entries of the folder shown; the navigation records nothing.
    form->HistMenu->Items()->Items(1)->Click();
    EXPECT_TRUE(SameFolder(form->DriveComboBox->GetPath(), dir / "sub"));
    form->BackBtn->Click();
    EXPECT_TRUE(SameFolder(form->DriveComboBox->GetPath(), dir.Path()));
    EXPECT_EQ(history(), top);
    EXPECT_TRUE(form->BackBtn->Enabled());

    // A folder removed from the disk is passed over.
    GoTo(form, dir / "sub\\");
    GoTo(form, amp);
    RemoveDirectoryA(amp.c_str());
    GoTo(form, dir / "sub\\");
    EXPECT_EQ(history(), top + "|sub|Tom & Jerry|sub");
    form->BackBtn->Click();
    EXPECT_TRUE(SameFolder(form->DriveComboBox->GetPath(), dir.Path()));
    EXPECT_EQ(history(), top);
    TItemIDList desktop(DesktopPIDL());
    list->TreeUpdate(desktop.get());
    PumpPending();
    EXPECT_FALSE(form->UpBtn->Enabled()) << "at the root";
    form->Free();
}

TEST_F(OpenDialog, InDuskASelectedRowWithoutTheFocusAndTheRenameBoxKeepTheSkinsColours)
{
    UseSkin("Dusk");
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    const int row = RowIndex(list, "b.log");
    list->Items()->Item(row)->SetSelected(true);
    form->FileNameEdit->SetFocus();
    PumpPending();
    RECT r{LVIR_LABEL, 0, 0, 0};
    list->Perform(LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&r));
    const PixelImage rows = PrintWindowPixels(list->Handle(), true);
    EXPECT_GT(rows.CountColor(r, ColorToRGB(clHighlight)), (r.right - r.left) * (r.bottom - r.top) / 2)
        << "the selection's colour, not a light box";

    list->SetFocus();
    list->EditText();
    ASSERT_TRUE(list->IsEditing());
    const HWND edit = ListView_GetEditControl(list->Handle());
    const PixelImage box = PrintWindowPixels(edit, true);
    EXPECT_EQ(box.Pixel(1, 1), ColorToRGB(list->Color())) << "the rename box has the list's colour";
    form->sButton2Click(nullptr);
    form->Free();
}

TEST(PicturePreview, APictureThatFitsIsCentredALargerOneScaledFromTheTopLeftKeepingItsProportions)
{
    const TRect client{0, 0, 150, 100};
    const struct {
        int w, h;
        TRect r;
    } cases[] = {
        {40, 30, {55, 35, 95, 65}},  {150, 100, {0, 0, 150, 100}}, {300, 100, {0, 0, 150, 50}},
        {100, 200, {0, 0, 50, 100}}, {151, 10, {0, 0, 150, 10}},    {160, 200, {0, 0, 80, 100}},
        {300, 290, {0, 0, 103, 100}}, // wider than high, yet the height limits it
    };
    for (const auto& c : cases) {
        const TRect r = sDialogs::PicturePreviewRect(client, c.w, c.h);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                  std::vector<LONG>({c.r.left, c.r.top, c.r.right, c.r.bottom}))
            << c.w << "x" << c.h;
    }
}

TEST_F(OpenDialog, ThePictureDialogPreviewsTheSelectedPictureAndTheFormShowsInEachLook)
{
    TBitmap pic;
    pic.SetWidth(40);
    pic.SetHeight(30);
    pic.Canvas()->Brush()->SetColor(clRed);
    pic.Canvas()->FillRect(TRect{0, 0, 40, 30});
    pic.SaveToFile((dir / "pic.bmp").c_str());
    WriteFileBytes(dir / "bad.bmp", "not a picture");

    TsOpenPictureDialog dialog(nullptr);
    EXPECT_EQ(dialog.Filter, "All (*.bmp;*.jpg;*.jpeg;*.ico)|*.bmp;*.jpg;*.jpeg;*.ico|Bitmaps (*.bmp)|*.bmp|"
                             "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Icons (*.ico)|*.ico");
    dialog.InitialDir = dir.Path().c_str();
    const auto select = [](TsOpenDialogForm* F, const char* Name) {
        F->FileListView->Items()->Item(RowIndex(F->FileListView, Name))->SetSelected(true);
        PumpPending();
    };
    for (const char* look : {"Neutral", "Dusk", "none"}) {
        SCOPED_TRACE(look);
        if (std::string(look) == "none")
            Manager()->SetActive(false);
        else
            UseSkin(look);
        TsOpenDialog open(nullptr);
        open.InitialDir = dir.Path().c_str();
        open.Filter = "All files|*.*";
        if (sSkinData->Active) {
            RunForm(dialog, [&](TsOpenDialogForm* F) {
                ASSERT_NE(dialog.PictureLabel, nullptr);
                EXPECT_EQ(F->FileListView->FolderCount(), 4) << "two folders, two pictures";
                select(F, "pic.bmp");
                EXPECT_EQ(dialog.PictureLabel->Caption(), " (40x30)");
                EXPECT_TRUE(dialog.PreviewButton->Enabled());
                EXPECT_EQ(dialog.ImagePicture()->Width(), 40);
                SaveScreenshot(std::string("open_picture_dialog_") + look + ".png", F->Handle());
                select(F, "bad.bmp");
                EXPECT_EQ(dialog.PictureLabel->Caption(), "Picture:");
                EXPECT_FALSE(dialog.PreviewButton->Enabled());
                EXPECT_EQ(dialog.ImagePicture()->Width(), 0);
                dialog.PaintBox->Repaint();
                SaveScreenshot(std::string("open_picture_dialog_none_") + look + ".png", F->Handle());
                // "(None)" is the panel's text on the panel, no light box behind it.
                const PixelImage panel = PrintWindowPixels(dialog.PaintPanel->Handle(), true);
                const RECT all{0, 0, panel.Width(), panel.Height()};
                EXPECT_EQ(panel.CountColor(all, RGB(255, 255, 255)), 0);
                F->sButton2->Click();
            });
            EXPECT_EQ(dialog.PictureLabel, nullptr) << "the preview went with the form";
            RunForm(open, [&](TsOpenDialogForm* F) {
                select(F, "b.log");
                SaveScreenshot(std::string("open_dialog_") + look + ".png", F->Handle());
                F->sButton2->Click();
            });
        } else {
            // Without a skin the system's dialog; the form itself keeps the plain look.
            prompts.AnswerDialog(false);
            EXPECT_FALSE(open.Execute());
            ASSERT_EQ(prompts.Shown.size(), 1u);
            EXPECT_EQ(prompts.Shown[0].DialogClass, "TsOpenDialog");
            TsOpenDialogForm* form = ShowForm(open, dir.Path());
            select(form, "b.log");
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
            WaitIdle();
            SaveScreenshot("open_dialog_none.png", form->Handle());
            form->Free();
        }
    }

    // A picture the code page spells like another ("\uff50.bmp" as "p.bmp"): its row previews it.
    Manager()->SetActive(true);
    ASSERT_TRUE(sSkinData->Active);
    testkit::MakeWide(dir.Path(), L"\uff50.bmp", ReadFileBytes(dir / "pic.bmp"));
    WriteFileBytes(dir / "p.bmp", "not a picture");
    RunForm(dialog, [&](TsOpenDialogForm* F) {
        F->FileListView->Items()->Item(RowShown(F->FileListView, ShortName(dir.Path(), L"\uff50.bmp")))->SetSelected(true);
        PumpPending();
        EXPECT_EQ(dialog.PictureLabel->Caption(), " (40x30)");
        F->sButton2->Click();
    });
}


// In the code page "\uff41.txt" reads as "a.txt" and "\uff53\uff55\uff42" as "sub"; a path drops the
// space of "dup "; "nul" is a device's name (a file of that name has no path in the code page).
TEST_F(OpenDialog, TheFormHandsBackTheItemChosenByThePathThatReachesIt)
{
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    testkit::MakeWide(dir.Path(), L"dup", "dup");
    testkit::MakeWide(dir.Path(), L"dup ", "spaced");
    testkit::MakeWide(dir.Path(), L"nul", "nul");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\c.txt", "in wide sub");
    WriteFileBytes(dir / "long name.txt", "long");
    WriteFileBytes(dir / " welcome.html", "leading blank");
    WriteFileBytes(dir / "welcome.html", "welcome");
    const std::string alike = ShortName(dir.Path(), L"\uff41.txt"), spaced = ShortName(dir.Path(), L"dup ");
    const std::string wideSub = dir / ShortName(dir.Path(), L"\uff53\uff55\uff42") + "\\";

    // Chosen in the list, with the overwrite prompt: the prompt names the row's file and Yes hands
    // that very file back.
    TsSaveDialog save(nullptr);
    save.Options = TOpenOptions{ofOverwritePrompt};
    TsOpenDialogForm* form = ShowForm(save, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    for (const auto& [caption, content] : {std::pair{alike, "wide a"}, std::pair{spaced, "spaced"},
                                           std::pair{std::string(" welcome.html"), "leading blank"}}) {
        list->ClearSelection();
        list->Items()->Item(RowShown(list, caption))->SetSelected(true);
        EXPECT_EQ(form->FileNameEdit->Text(), caption.c_str());
        prompts.Answer(mrYes);
        form->SetModalResult(mrNone);
        form->sButton1Click(nullptr);
        EXPECT_EQ(form->ModalResult(), mrOk) << caption;
        EXPECT_EQ(prompts.Shown.back().Text, caption + "\r\nFile exists. Overwrite?");
        EXPECT_EQ(ReadFileBytes(form->FileName.c_str()), content) << caption;
    }
    // A row that no path reaches, and a device's name typed (behind a folder too), are refused
    // with a message.
    list->ClearSelection();
    list->Items()->Item(RowShown(list, "nul"))->SetSelected(true);
    form->SetModalResult(mrNone);
    form->sButton1Click(nullptr);
    EXPECT_EQ(form->ModalResult(), mrNone);
    EXPECT_EQ(prompts.Shown.back().Text, "\"nul\"\r\nNo path in this program's code page reaches it.");
    for (const auto& [typed, shown] : {std::pair{std::string("con.txt"), dir / "con.txt"},
                                       {"sub\\con.txt", dir / "sub\\con.txt"},
                                       {"sub/Com1 .log", dir / "sub\\Com1 .log"},
                                       {"C:\\dir\\nul", "C:\\dir\\nul"}}) {
        EXPECT_EQ(Ok(form, typed.c_str()), mrNone) << typed;
        EXPECT_EQ(prompts.Shown.back().Text, shown + "\r\nThe name is a device's, not a file's");
    }
    // A short path typed comes back in its long form.
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA((dir / "long name.txt").c_str(), shortPath, MAX_PATH);
    ASSERT_NE(std::string(shortPath), dir / "long name.txt");
    prompts.Answer(mrYes);
    EXPECT_EQ(Ok(form, shortPath), mrOk);
    EXPECT_EQ(form->FileName, dir / "long name.txt");

    // Inside the look-alike folder a typed name is taken there: the folder box and the history hold
    // the path that reaches it.
    GoTo(form, wideSub);
    EXPECT_EQ(form->DriveComboBox->GetPath(), wideSub.c_str());
    EXPECT_EQ(form->History()->Strings(form->History()->Count() - 1), wideSub.c_str());
    prompts.Answer(mrYes);
    EXPECT_EQ(Ok(form, "c.txt"), mrOk);
    EXPECT_EQ(ReadFileBytes(form->FileName.c_str()), "in wide sub");
    GoTo(form, dir / "sub\\");
    form->BackBtn->Click();
    EXPECT_EQ(form->DriveComboBox->GetPath(), wideSub.c_str()) << "Back to the folder itself";
    form->Free();

    // Several chosen, and a double click: the files themselves, and the folder kept after OK.
    TsOpenDialog open(nullptr);
    open.Options = TOpenOptions{ofAllowMultiSelect, ofFileMustExist};
    open.InitialDir = dir.Path().c_str();
    EXPECT_TRUE(RunForm(open, [&](TsOpenDialogForm* F) {
        for (const std::string& caption : {alike, spaced})
            F->FileListView->Items()->Item(RowShown(F->FileListView, caption))->SetSelected(true);
        F->sButton1->Click();
    }));
    ASSERT_EQ(open.Files()->Count(), 2);
    std::set<std::string> contents;
    for (int i = 0; i < 2; ++i)
        contents.insert(ReadFileBytes(open.Files()->Strings(i).c_str()));
    EXPECT_EQ(contents, (std::set<std::string>{"wide a", "spaced"}));
    open.Options = TOpenOptions{ofFileMustExist};
    open.FileName = "";
    open.InitialDir = wideSub.c_str();
    const AnsiString before = GetCurrentDir();
    EXPECT_TRUE(RunForm(open, [&](TsOpenDialogForm* F) {
        RECT r{LVIR_LABEL, 0, 0, 0};
        F->FileListView->Perform(LVM_GETITEMRECT, WPARAM(RowShown(F->FileListView, "c.txt")), reinterpret_cast<LPARAM>(&r));
        SetForegroundWindow(F->Handle());
        ClickIn(F->FileListView->Handle(), r, true);
    }));
    EXPECT_EQ(ReadFileBytes(open.FileName.c_str()), "in wide sub");
    EXPECT_EQ(IncludeTrailingBackslash(GetCurrentDir()), wideSub.c_str());
    SetCurrentDir(before);
}

// The table view's columns and texts are the program's (the shell's would be English under Wine:
// "Folder", "1 KB"), and no caption is cut.
TEST_F(OpenDialog, TheTableViewSpeaksInTheFormsTextsAndShowsEachCaptionWhole)
{
    WriteFileBytes(dir / "big.log", std::string(1025, 'x'));
    SetFileAttributesA((dir / "b.log").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    TsOpenDialog open(nullptr);
    TsOpenDialogForm* form = ShowForm(open, dir.Path());
    TsDlgShellListView* list = form->FileListView;
    form->Icons1Click(nullptr);
    PumpPending();
    std::vector<std::string> captions;
    for (int c = 0; c < list->Columns()->Count(); ++c) {
        captions.push_back(list->Column(c)->Caption().c_str());
        SIZE size{};
        HDC dc = GetDC(list->Handle());
        HGDIOBJ old = SelectObject(dc, list->Font()->Handle());
        GetTextExtentPoint32A(dc, captions.back().c_str(), static_cast<int>(captions.back().size()), &size);
        SelectObject(dc, old);
        ReleaseDC(list->Handle(), dc);
        EXPECT_GT(list->Column(c)->Width(), size.cx + 8) << captions.back();
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Name", "Size", "Type", "Modified", "Attributes"}));
    const auto texts = [&](const char* Name) {
        std::vector<std::string> t;
        char buffer[128];
        for (int c = 1; c < 5; ++c) {
            ListView_GetItemText(list->Handle(), RowIndex(list, Name), c, buffer, sizeof buffer);
            t.emplace_back(buffer);
        }
        t[2] = t[2].empty() ? "" : "time"; // the locale's date and time
        return t;
    };
    EXPECT_EQ(texts("sub"), (std::vector<std::string>{"", "Folder", "", ""}));
    EXPECT_EQ(texts("b.log"), (std::vector<std::string>{"1 KB", "LOG File", "time", "RA"}));
    EXPECT_EQ(texts("big.log"), (std::vector<std::string>{"2 KB", "LOG File", "time", "A"}));
    SetFileAttributesA((dir / "b.log").c_str(), FILE_ATTRIBUTE_NORMAL);
    form->Free();
}
