// Start-up and close of the main window: command lines, titles and hints, the article count,
// geometry and view flags, the files written at close, damaged and missing files, the splash.
#include "LogicFixture.h"

#include "MainBrowse.h"

#include "FileSteps.h"

#include "FormFLog.h"
#include "InstanceLock.h"
#include "MainTreeMap.h"
#include "Settings.h"
#include "TrayIcon.h"

using namespace logic;

namespace {

class StartupClose : public MainLogicTest {
protected:
    // The program's boxes are recorded and answered with Answers in turn, "Отмена" once they run out.
    void AnswerInTurn(std::vector<int>& Answers)
    {
        Application->MessageBoxFunc = [this, &Answers](HWND o, const AnsiString& t, const AnsiString& c, UINT f) {
            boxes.push_back({o, t, c, f});
            const int answer = Answers.empty() ? IDCANCEL : Answers.front();
            if (!Answers.empty())
                Answers.erase(Answers.begin());
            return answer;
        };
    }
};

void CALLBACK PressKeyOnSplash(HWND, UINT, UINT_PTR, DWORD)
{
    if (FLog && FLog->HandleAllocated() && IsWindowVisible(FLog->Handle()))
        PostMessageA(FLog->Handle(), WM_KEYDOWN, 'A', 0);
}

TEST_F(StartupClose, WithoutArgumentTheWorkingTreeAndTheStoredSettings)
{
    // Temporary files a save cut short left behind go at the start; other files stay.
    const char* const stale[] = {"FILES\\vlnA.tmp", "FILES\\tree\\vln1F2E.tmp", "FILES\\text\\vln3.tmp"};
    ForceDirectories(dir / "FILES\\text");
    for (const char* name : stale)
        testkit::WriteFileBytes(dir / name, "partial");
    testkit::WriteFileBytes(dir / "FILES\\tree\\vlnotes.tmp", "mine");
    TID_Vellorn* form = Start();
    for (const char* name : stale)
        EXPECT_FALSE(FileExists(dir / name)) << name;
    EXPECT_TRUE(FileExists(dir / "FILES\\tree\\vlnotes.tmp"));
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Категория/0\n Новая статья/2\n Прочитанная/8\n Подкатегория/0\n  Избранная/35\n"
                     "Разное/0\n Непрочитанная/36\n Мультик/38\n Ссылка/39\n");
    EXPECT_EQ(Application->Title(), "VLN - Vellorn");
    EXPECT_EQ(form->TrayIcon1->Hint(), "VLN - Vellorn");
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp.vlt");
    EXPECT_EQ(form->ArticleCount, 6);
    EXPECT_EQ(StatusText(form), "Количество статей: 6");
    EXPECT_TRUE(form->OpenTreesInNewWindow);
    EXPECT_TRUE(form->StartupDone);
    // form.ini of the default archive: 1000 x 700 at (100, 60), both bars and the tree shown.
    EXPECT_EQ(form->Width(), 1000);
    EXPECT_EQ(form->Height(), 700);
    EXPECT_EQ(form->Top(), 60);
    EXPECT_EQ(form->Left(), 100);
    EXPECT_TRUE(form->ToolBar1->Visible());
    EXPECT_TRUE(form->ToolBar2->Visible());
    EXPECT_TRUE(form->Panel2->Visible());
    EXPECT_EQ(form->TreePanelWidth, 260);
    EXPECT_EQ(form->Panel2->Width(), 260);
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Neutral");
    EXPECT_EQ(form->sSkinManager1->SkinDirectory(), "Skins\\");
    EXPECT_EQ(form->ProgressBar1->Parent(), form->StatusBar1);
    EXPECT_EQ(form->ProgressBar1->Top(), 2);
    EXPECT_EQ(form->ProgressBar1->Height(), form->StatusBar1->Height() - 2);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    form->Free();
}

TEST_F(StartupClose, HiddenFlagsAndTrueSpelledOtherwiseAreRead)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=True\r\n");
    testkit::WriteFileBytes(dir / "FILES\\form.ini", "[FORM]\r\nNameTree=Архив\r\nWidth=640\r\nHeight=480\r\n"
                                                      "Top=5\r\nLeft=7\r\n[VIEW]\r\nVisible_Tool1=0\r\n"
                                                      "Visible_Tool2=1\r\nVisible_Tree=0\r\n[Panel]\r\nWidth=150\r\n");
    TID_Vellorn* form = Start();
    EXPECT_FALSE(form->OpenTreesInNewWindow);
    EXPECT_EQ(Application->Title(), "Архив - Vellorn");
    EXPECT_EQ(form->TrayIcon1->Hint(), "Архив - Vellorn");
    EXPECT_FALSE(form->ToolBar1->Visible());
    EXPECT_TRUE(form->ToolBar2->Visible());
    EXPECT_FALSE(form->Panel2->Visible());
    EXPECT_EQ(form->BoundsRect(), (TRect{7, 5, 647, 485}));
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Neutral") << "default skin";
    form->Free();
}

TEST_F(StartupClose, AStoredPanelWiderThanTheWindowLeavesTheBrowserItsMinimum)
{
    testkit::WriteFileBytes(dir / "FILES\\form.ini", "[FORM]\r\nWidth=640\r\nHeight=480\r\nTop=5\r\nLeft=7\r\n"
                                                      "[VIEW]\r\nVisible_Tree=1\r\n[Panel]\r\nWidth=5000\r\n");
    TID_Vellorn* form = Start();
    EXPECT_LE(form->Panel2->Width() + form->Splitter1->Width() + form->Splitter1->MinSize(), form->ClientWidth());
    EXPECT_EQ(form->TreePanelWidth, form->Panel2->Width());
    form->Free();
}

TEST_F(StartupClose, TreeFilesNamedOnTheCommandLine)
{
    // x.vlt in another folder, with its map in FILES\tree: title without the blank before the dash.
    ForceDirectories(dir / "other place");
    testkit::WriteFileBytes(dir / "other place\\x.vlt", PlainTreeFile({{"Икс", 39, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.ini", "[URL]\r\nИкс=http://x.example/\r\n");
    const std::vector<AnsiString> lines = {
        dir / "other place\\x.vlt",                    // blanks, no quotes
        "\"" + dir / "other place\\x.vlt" + "\"",      // quoted: the quotes go
    };
    for (const AnsiString& line : lines) {
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\n");
        TID_Vellorn* form = Start(line);
        EXPECT_EQ(Dump(form->TreeView1->Items()), "Икс/39\n") << line;
        EXPECT_EQ(form->TreeName, "x");
        EXPECT_EQ(Application->Title(), "x -Vellorn");
        EXPECT_EQ(form->TrayIcon1->Hint(), "x -Vellorn");
        EXPECT_EQ(StatusText(form), "Количество статей: 1");
        // The window works on that tree with its own map; the working tree's stays.
        EXPECT_EQ(Archive(form).TreePath(), dir / "other place\\x.vlt");
        EXPECT_EQ(Archive(form).Value(form->TreeView1->Items()->GetFirstNode()), "http://x.example/");
        EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"), "[FILES]\r\n");
        EXPECT_TRUE(boxes.empty());
        form->Free();
    }

    // A file named Temp.vlt in another folder: read from there, the name from form.ini, the
    // working map untouched.
    testkit::WriteFileBytes(dir / "other place\\Temp.vlt", PlainTreeFile({{"Чужое", 8, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nA=a.html\r\n");
    TID_Vellorn* form = Start("\"" + dir / "other place\\Temp.vlt" + "\"");
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Чужое/8\n");
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_EQ(Application->Title(), "VLN -Vellorn");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"), "[FILES]\r\nA=a.html\r\n");
    form->Free();
}

TEST_F(StartupClose, AMissingFileIsReportedAndTheRestOfTheStartUpRuns)
{
    DeleteFile(dir / "FILES\\list");
    TID_Vellorn* form = Start("\"" + dir / "nowhere.vlt" + "\"");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Не удалось прочитать файл дерева \"" + dir / "nowhere.vlt" +
                                 "\": Файл не найден.\nОткрыто рабочее дерево.");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(form->TreeView1->Items()->Count(), 9);
    EXPECT_EQ(StatusText(form), "Количество статей: 6");
    EXPECT_EQ(form->Width(), 1000) << "the settings were still read";
    EXPECT_EQ(form->ComboBox1->Items()->Count(), 0) << "a missing list is an empty list";
    EXPECT_TRUE(form->StartupDone);

    // The working tree opened instead: nothing is moved aside or overwritten.
    const std::string before = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    CloseAndFree(form);
    EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Temp.vlt.previous"));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), before);
}

// form.ini naming a tree that cannot be opened (gone, damaged, no tree file, a device, no full path):
// the start says which file was not read and opens the working tree; nothing is moved aside, and
// form.ini names no tree any more.
TEST_F(StartupClose, ATreeNamedInFormIniThatCannotBeOpenedLeavesTheWorkingTreeAsItIs)
{
    const std::string working = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    const std::string formIni = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    testkit::WriteFileBytes(dir / "damaged.vlt", "TPF0 broken");
    const auto notOpened = [](const AnsiString& Value, const AnsiString& Reason) {
        return "Дерево \"" + Value + "\", с которым программа работала в прошлый раз, не открыто: " + Reason +
               "\nОткрыто рабочее дерево.";
    };
    const auto damaged = [](const AnsiString& Path) {
        return "Файл дерева \"" + Path + "\" повреждён: прочитать его не удалось.\nОткрыто рабочее дерево.";
    };
    const struct {
        AnsiString value, told;
    } cases[] = {
        {dir / "gone.vlt", notOpened(dir / "gone.vlt", "файла нет.")},
        {dir / "damaged.vlt", damaged(dir / "damaged.vlt")},
        {"C:\\windows\\win.ini", damaged("C:\\windows\\win.ini")},
        {"..\\..\\etc\\passwd", notOpened("..\\..\\etc\\passwd", "это не полный путь к файлу.")},
        {"NUL", notOpened("NUL", "\"NUL\" — имя устройства, а не файла.")},
        {"C:\\dir\\CON", notOpened("C:\\dir\\CON", "\"CON\" — имя устройства, а не файла.")},
        {dir.Path(), notOpened(dir.Path(), "это папка, а не файл дерева.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::string ini = formIni;
        ini.insert(ini.find("[VIEW]"), "TreeFile=" + std::string(c.value) + "\r\n");
        testkit::WriteFileBytes(dir / "FILES\\form.ini", ini);
        boxes.clear();
        TID_Vellorn* form = Start();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.told);
        EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp.vlt");
        EXPECT_EQ(form->TreeName, "VLN");
        EXPECT_EQ(StatusText(form), "Количество статей: 6");
        CloseAndFree(form);
        EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), working);
        EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Temp.vlt.previous"));
        EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Temp.vlt.damaged"));
        EXPECT_EQ(settings::ReadSavedTreeFile(), "");
        EXPECT_EQ(settings::ReadTreeName(), "VLN");
    }
    EXPECT_EQ(testkit::ReadFileBytes(dir / "damaged.vlt"), "TPF0 broken");
}

// A damaged working tree is named in the program's words and kept aside at once under a name the
// message gives; the close writes the tree anew.
TEST_F(StartupClose, ADamagedWorkingTreeIsKeptAside)
{
    std::string damaged = PlainTreeFile(SampleTree());
    damaged.resize(damaged.size() - 40);
    const AnsiString file = dir / "FILES\\tree\\Temp.vlt";
    testkit::WriteFileBytes(file, damaged);
    testkit::WriteFileBytes(file + ".damaged", "an older one");
    testkit::WriteFileBytes(dir / "FILES\\list", "http://a.example/\r\nhttp://b.example/\r\n");
    TID_Vellorn* form = Start();
    ASSERT_EQ(boxes.size(), 1u) << "the read error is shown";
    EXPECT_EQ(boxes[0].text, "Файл дерева \"" + file + "\" повреждён: прочитать его не удалось.\nПовреждённый файл "
                             "сохранён как \"" + file + ".damaged.2\".");
    EXPECT_EQ(testkit::ReadFileBytes(file + ".damaged.2"), damaged);
    EXPECT_EQ(testkit::ReadFileBytes(file + ".damaged"), "an older one");
    EXPECT_EQ(form->TreeView1->Items()->Count(), 0) << "no half tree";
    EXPECT_EQ(Application->Title(), "VLN - Vellorn");
    EXPECT_EQ(form->ComboBox1->Items()->Count(), 2) << "the steps after the tree still ran";
    form->TreeView1->Items()->Add(nullptr, "Новое");
    CloseAndFree(form);
    EXPECT_EQ(testkit::ReadFileBytes(file + ".damaged.2"), damaged);
    EXPECT_NE(testkit::ReadFileBytes(file).find(Short("Новое")), std::string::npos);

    // The next start reads the new working tree; the damaged copy stays.
    boxes.clear();
    form = Start();
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Новое/0\n");
    EXPECT_TRUE(boxes.empty());
    CloseAndFree(form);
    EXPECT_EQ(testkit::ReadFileBytes(file + ".damaged.2"), damaged);
    EXPECT_FALSE(FileExists(file + ".damaged.3"));
}

TEST_F(StartupClose, MissingFormSettingsKeepTheLayoutSizeCentred)
{
    DeleteFile(dir / "FILES\\form.ini");
    DeleteFile(dir / "FILES\\settings.ini");
    TID_Vellorn* form = Start();
    EXPECT_GT(form->Width(), 200);
    EXPECT_GT(form->Height(), 200);
    EXPECT_EQ(form->Left(), (Screen->Width() - form->Width()) / 2);
    EXPECT_EQ(form->Top(), (Screen->Height() - form->Height()) / 2);
    EXPECT_TRUE(form->OpenTreesInNewWindow);
    EXPECT_EQ(Application->Title(), "VLN - Vellorn");
    form->Free();
}

TEST_F(StartupClose, AddressBoxFitsTheStoredWidthAndFollowsTheWindowUpToItsDesignedWidth)
{
    std::string ini = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    ini.replace(ini.find("Width=1000"), 10, "Width=520");
    testkit::WriteFileBytes(dir / "FILES\\form.ini", ini);
    TID_Vellorn* form = Start();
    form->Show();
    for (int width : {520, 1000, 300}) {
        SCOPED_TRACE(width);
        form->SetWidth(width);
        testkit::PumpPending();
        // The box, then "Переход" on the same row, inside the bar.
        const TRect box = form->ComboBox1->BoundsRect(), go = form->ToolButton10->BoundsRect();
        const int room = form->ToolBar2->ClientWidth() - box.left - (go.right - go.left);
        EXPECT_EQ(box.right - box.left, width == 1000 ? 640 : room);
        EXPECT_LE(box.right, go.left);
        EXPECT_LE(go.right, form->ToolBar2->ClientWidth());
        EXPECT_LT(go.top, form->ToolBar2->ClientHeight());
    }
}

TEST_F(StartupClose, CloseWritesTheTreeTheSettingsAndTheList)
{
    DeleteFile(dir / "FILES\\tree\\Temp.vlt");
    TID_Vellorn* form = Start();
    EXPECT_EQ(form->TreeView1->Items()->Count(), 0) << "a missing working tree is an empty tree";
    EXPECT_TRUE(boxes.empty());
    // The sample tree read from a file into the working tree, every folder expanded (image 1).
    testkit::WriteFileBytes(dir / "s.vlt", PlainTreeFile(SampleTree()));
    LoadTree(form, dir / "FILES\\tree\\Temp.vlt", dir / "s.vlt");
    form->TreeView1->FullExpand();
    EXPECT_EQ(form->TreeView1->Items()->Item(0)->ImageIndex(), 1);
    TTreeNode* empty = Archive(form).AddFolder(nullptr, "Пустая");
    empty->SetImageIndex(1);
    empty->SetSelectedIndex(1);
    // The tree file is written as the change is made: with the tree's size then.
    const int width = form->TreeView1->Width(), height = form->TreeView1->Height();
    EXPECT_EQ(form->TreeView1->Items()->Item(1)->ImageIndex(), 2) << "entries keep their marks";
    form->SetBounds(30, 40, 900, 650);
    form->ToolBar1->SetVisible(false);
    form->TreePanelWidth = 222;
    RememberAddress(form, "http://added.example/");
    CloseAndFree(form);

    // The working tree is created, folders closed (0), entries with their images.
    std::vector<N> closed = SampleTree();
    closed.push_back({"Пустая", 0, {}});
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), MainTreeFile(width, height, closed));
    const AnsiString ini = dir / "FILES\\form.ini";
    EXPECT_EQ(testkit::ReadFileBytes(ini), "[FORM]\r\nNameTree=VLN\r\nWidth=900\r\nHeight=650\r\nTop=40\r\nLeft=30\r\n"
                                           "Skin=Neutral\r\n[VIEW]\r\nVisible_Tool1=0\r\nVisible_Tool2=1\r\n"
                                           "Visible_Tree=1\r\n[Panel]\r\nWidth=222\r\n[ST]\r\nCount=1\r\n");
    EXPECT_EQ(FileGetAttr(ini) & (faHidden | faReadOnly | faSysFile), faHidden);
    const std::string list = testkit::ReadFileBytes(dir / "FILES\\list");
    EXPECT_NE(list.find("http://added.example/"), std::string::npos);

    // The hidden file is read at the next start and rewritten at its close.
    form = Start();
    EXPECT_EQ(form->Width(), 900);
    EXPECT_FALSE(form->ToolBar1->Visible());
    EXPECT_EQ(form->TreeView1->Items()->Item(0)->ImageIndex(), 0);
    form->SetBounds(30, 40, 800, 650);
    CloseAndFree(form);
    EXPECT_NE(testkit::ReadFileBytes(ini).find("Width=800"), std::string::npos);
    EXPECT_EQ(FileGetAttr(ini) & faHidden, faHidden);
}

// A file the close cannot replace is named with its reason, and the user chooses; the file is
// never touched. The tree: "Отмена" stays with the tree as it was (folders open), "Да" writes it
// through the tree save dialog elsewhere (a cancelled dialog asks again), "Нет" closes without
// it. A settings file: "Нет" stays, "Да" closes without it.
TEST_F(StartupClose, FilesThatCannotBeReplacedAtCloseLetTheUserChoose)
{
    const AnsiString tree = dir / "FILES\\tree\\Temp.vlt", ini = dir / "FILES\\form.ini";
    const std::string treeBytes = testkit::ReadFileBytes(tree), iniBytes = testkit::ReadFileBytes(ini);
    std::vector<int> answers;
    AnswerInTurn(answers);
    const auto question = [](const AnsiString& path, const AnsiString& reason) {
        return "Не удалось сохранить дерево в файл \"" + path + "\": " + reason +
               "\n\nСохранить дерево в другой файл?\n«Да» — выбрать файл, «Нет» — закрыть программу без "
               "сохранения дерева, «Отмена» — вернуться в программу.";
    };
    const AnsiString readOnly = "Файл доступен только для чтения.";
    FileSetAttr(tree, faReadOnly);
    TID_Vellorn* form = Start();
    form->Show();
    form->TreeView1->FullExpand();
    // A change that cannot be written is told once, and stays for the close.
    Archive(form).AddFolder(nullptr, "Новое");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Изменение дерева не удалось записать в файл: " + readOnly +
                                 "\nОно будет записано снова при следующем изменении и при закрытии программы.");
    boxes.clear();
    const int width = form->TreeView1->Width(), height = form->TreeView1->Height();

    answers = {IDCANCEL};
    form->Close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, question(tree, readOnly));
    EXPECT_EQ(boxes[0].caption, "Внимание!!!");
    EXPECT_EQ(boxes[0].flags, UINT(MB_YESNOCANCEL | MB_ICONWARNING));
    EXPECT_NE(form->TrayIcon1, nullptr) << "the window stays";
    EXPECT_EQ(form->TreeView1->Items()->Item(0)->ImageIndex(), 1) << "its folders stay open";
    ASSERT_TRUE(form->TreeView1->HandleAllocated());
    EXPECT_EQ(form->TreeView1->Perform(TVM_GETCOUNT, 0, 0), form->TreeView1->Items()->Count());
    EXPECT_EQ(testkit::ReadFileBytes(tree), treeBytes);

    // Another file: the dialog cancelled (the question again), then a name without extension. It
    // is "Сохранить дерево": the tree with its map and notes, and form.ini names it.
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(dir / "FILES\\text\\Разное_VLN.txt", "note");
    answers = {IDYES, IDYES};
    prompts.AnswerDialog(false);
    prompts.AnswerDialog(true, [&](TCommonDialog& d) { static_cast<TSaveDialog&>(d).FileName = dir / "FILES\\tree\\Копия"; });
    form->Close();
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_EQ(form->TrayIcon1, nullptr) << "closed";
    std::vector<N> closed = SampleTree();
    closed.push_back({"Новое", 0, {}});
    const AnsiString copy = dir / "FILES\\tree\\Копия.vlt";
    EXPECT_EQ(testkit::ReadFileBytes(copy), MainTreeFile(width, height, closed));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Копия.ini"), testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"));
    EXPECT_EQ(testkit::ReadFileBytes(tree), treeBytes);
    EXPECT_NE(testkit::ReadFileBytes(ini).find("[FORM]\r\nNameTree=VLN\r\n"), std::string::npos);
    EXPECT_EQ(settings::ReadSavedTreeFile(), copy);
    form->Free();

    // The next start opens the tree with the changes; a full disk, "Нет": closed without the tree,
    // the settings written, the saved tree still named.
    boxes.clear();
    form = Start();
    EXPECT_EQ(form->TreeName, "Копия");
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Категория/0\n Новая статья/2\n Прочитанная/8\n Подкатегория/0\n"
                                                "  Избранная/35\nРазное/0\n Непрочитанная/36\n Мультик/38\n"
                                                " Ссылка/39\nНовое/0\n");
    form->TreeView1->FullExpand();
    FileSetAttr(tree, 0);
    {
        // The folders are written closed: a write that fails and "Отмена" leave them open.
        testkit::FileSteps steps;
        steps.FailAt(testkit::FileStep::Write, ERROR_DISK_FULL);
        Archive(form).AddFolder(nullptr, "Ещё");
        boxes.clear();
        steps.FailAt(testkit::FileStep::Write, ERROR_DISK_FULL);
        answers = {IDCANCEL};
        form->Close();
        EXPECT_NE(form->TrayIcon1, nullptr) << "the window stays";
        EXPECT_EQ(form->TreeView1->Items()->Item(0)->ImageIndex(), 1) << "its folders open again";
        EXPECT_TRUE(form->TreeView1->Items()->Item(0)->Expanded());
        steps.FailAt(testkit::FileStep::Write, ERROR_DISK_FULL);
        answers = {IDNO};
        form->Close();
    }
    ASSERT_EQ(boxes.size(), 2u);
    // The map is written first: the failure names it.
    EXPECT_EQ(boxes[0].text, question(copy, "Не удалось записать файл \"" + dir / "FILES\\tree\\Копия.ini" +
                                                "\": Недостаточно места на диске."));
    EXPECT_EQ(boxes[1].text, boxes[0].text);
    EXPECT_EQ(form->TrayIcon1, nullptr);
    EXPECT_EQ(testkit::ReadFileBytes(tree), treeBytes);
    EXPECT_NE(testkit::ReadFileBytes(ini), iniBytes);
    EXPECT_EQ(settings::ReadSavedTreeFile(), copy);
    form->Free();

    // form.ini read-only: "Нет" stays, "Да" closes; the file as it was.
    boxes.clear();
    testkit::WriteFileBytes(ini, iniBytes);
    FileSetAttr(ini, faReadOnly | faHidden);
    form = Start();
    form->SetBounds(30, 40, 900, 650);
    answers = {IDNO, IDYES};
    form->Close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Не удалось сохранить файл \"" + ini + "\": " + readOnly +
                                 "\n\nЗакрыть программу без сохранения этого файла?");
    EXPECT_EQ(boxes[0].flags, UINT(MB_YESNO | MB_ICONWARNING));
    EXPECT_NE(form->TrayIcon1, nullptr);
    form->Close();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(form->TrayIcon1, nullptr);
    FileSetAttr(ini, faHidden);
    EXPECT_EQ(testkit::ReadFileBytes(ini), iniBytes);
    form->Free();
}

// The panel's "Сохранить" writes a note of up to 1 MB with its line breaks; one byte more is refused
// in words, the file untouched and the text still typed.
TEST_F(StartupClose, TheNoteButtonWritesUpToOneMegabyteAndRefusesMore)
{
    const AnsiString note = dir / "FILES\\text\\Прочитанная_VLN.txt";
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(note, "old");
    TID_Vellorn* form = Start();
    form->OpenedTitle = "Прочитанная";
    Session(form).OpenedNode = Archive(form).FindEntry("Прочитанная");
    const AnsiString bound(1024 * 1024 - 2, 'п'); // with "\r\n", 1,048,576 bytes
    form->Memo1->Lines()->SetText(bound + "п");
    form->Memo1->SetModified(true);
    form->ToolButton17Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Примечание не сохранено: оно занимает больше 1 МБ.");
    EXPECT_EQ(testkit::ReadFileBytes(note), "old");
    EXPECT_TRUE(form->Memo1->Modified());
    form->Memo1->Lines()->SetText(bound);
    form->ToolButton17Click(nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(testkit::ReadFileBytes(note), bound + "\r\n");
    EXPECT_FALSE(form->Memo1->Modified());
    // A note of many lines is written at once (one pass over the memo's text).
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "п\r\n";
    form->Memo1->Lines()->SetText(many);
    form->Memo1->SetModified(true);
    form->ToolButton17Click(nullptr);
    EXPECT_EQ(testkit::ReadFileBytes(note), many);
    form->Free();
}

// A typed note the close cannot write (a read-only file, a note over 1 MB) gets the close's
// question in the program's words: "Нет" stays with the note typed, "Да" closes without it; the
// file is never touched. The end of the session writes what it can and asks nothing.
TEST_F(StartupClose, ATypedNoteThatCannotBeWrittenAtCloseLetsTheUserChoose)
{
    const AnsiString note = dir / "FILES\\text\\Прочитанная_VLN.txt";
    ForceDirectories(dir / "FILES\\text");
    std::vector<int> answers;
    AnswerInTurn(answers);
    const struct {
        AnsiString text;
        Integer attr;
        const char* reason;
    } causes[] = {
        {"typed", faReadOnly, "Файл доступен только для чтения."},
        {AnsiString(1024 * 1024 - 1, 'п'), 0, "Примечание занимает больше 1 МБ."},
    };
    for (const auto& c : causes) {
        SCOPED_TRACE(c.reason);
        boxes.clear();
        testkit::WriteFileBytes(note, "old");
        FileSetAttr(note, c.attr);
        TID_Vellorn* form = Start();
        form->Show();
        form->OpenedTitle = "Прочитанная";
        Session(form).OpenedNode = Archive(form).FindEntry("Прочитанная");
        form->Memo1->Lines()->SetText(c.text);
        form->Memo1->SetModified(true);

        EXPECT_TRUE(FinishPendingEdits(form, TCloseMode::SessionEnd));
        EXPECT_TRUE(boxes.empty()) << boxes.front().text;
        EXPECT_TRUE(form->Memo1->Modified());

        answers = {IDYES, IDNO};
        form->Close();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, "Примечание не сохранено.\nСохранить его?");
        EXPECT_EQ(boxes[1].text, "Не удалось сохранить файл \"" + note + "\": " + c.reason +
                                     "\n\nЗакрыть программу без сохранения этого файла?");
        EXPECT_EQ(boxes[1].flags, UINT(MB_YESNO | MB_ICONWARNING));
        EXPECT_NE(form->TrayIcon1, nullptr) << "the window stays";
        EXPECT_TRUE(form->Memo1->Modified());

        answers = {IDYES, IDYES};
        form->Close();
        EXPECT_EQ(boxes.size(), 4u);
        EXPECT_EQ(form->TrayIcon1, nullptr) << "closed";
        FileSetAttr(note, 0);
        EXPECT_EQ(testkit::ReadFileBytes(note), "old");
        form->Free();
    }
}

TEST_F(StartupClose, AnAddressListThatCouldNotBeReadIsNotOverwritten)
{
    const std::string list = "http://a.example/\r\nhttp://b.example/\r\n";
    testkit::WriteFileBytes(dir / "FILES\\list", list);
    HANDLE locked = CreateFileA((dir / "FILES\\list").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    TID_Vellorn* form = Start();
    CloseHandle(locked);
    EXPECT_EQ(boxes.size(), 1u) << "the read error is shown";
    EXPECT_TRUE(form->StartupDone);
    EXPECT_EQ(StatusText(form), "Количество статей: 6");
    CloseAndFree(form);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), list);
}

TEST_F(StartupClose, AnInstanceBesideTheOwnerGivesATempTreeFilesOfItsOwn)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nНовая статья=new.html\r\n");
    // Another copy of the program runs, on the working tree.
    TInstanceLock first(dir / "FILES"), other(dir / "FILES\\tree\\Temp.vlt");
    const std::string tree = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt");
    const std::string map = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini");
    auto fileOf = [&](const char* name) { return testkit::ReadFileBytes(dir / "FILES\\tree\\" + name); };

    // The working tree itself: a copy of its map, and a tree file of that name at close.
    TID_Vellorn* form = Start();
    EXPECT_EQ(form->ArticleCount, 6) << "the working tree is shown";
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp (2).vlt");
    EXPECT_EQ(fileOf("Temp (2).ini"), map);
    // Shown, it says so, and its title names the file.
    EXPECT_EQ(Application->Title(), "VLN [Temp (2).vlt] - Vellorn");
    form->Show();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Архив уже открыт в другом окне программы.\n\nЭто окно работает с копией дерева статей, и "
                             "его изменения будут сохранены в файле\n\"" + dir / "FILES\\tree\\Temp (2).vlt" +
                                 "\".\nОткрыть это дерево потом можно командой «Файл» — «Загрузить дерево».");
    form->Hide();
    form->Show();
    EXPECT_EQ(boxes.size(), 1u) << "once";
    form->TreeView1->SetSelected(nullptr);
    ASSERT_TRUE(Archive(form).AddEntry(nullptr, "Своя", niArticleNew, "own.html"));
    Archive(form).Delete(Archive(form).FindEntry("Новая статья"));
    CloseAndFree(form);
    EXPECT_EQ(fileOf("Temp.vlt"), tree);
    EXPECT_EQ(fileOf("Temp.ini"), map);
    EXPECT_EQ(fileOf("Temp (2).ini"), "[FILES]\r\nСвоя=own.html\r\n");
    EXPECT_NE(fileOf("Temp (2).vlt").find(Short("Своя")), std::string::npos);
    EXPECT_EQ(settings::ReadTreeName(), "VLN");

    // A tree named Temp loaded later from another folder: the next free name; its file stays.
    ForceDirectories(dir / "other place");
    testkit::WriteFileBytes(dir / "other place\\Temp.vlt", PlainTreeFile({{"Чужое", 8, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.vlt", PlainTreeFile({{"Икс", 2, {}}}));
    form = Start("\"" + dir / "FILES\\tree\\x.vlt" + "\"");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\x.vlt");
    prompts.AnswerDialog(true, [&](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = dir / "other place\\Temp.vlt"; });
    ScriptBoxes(IDNO); // loaded without saving the tree first
    form->N13Click(nullptr);
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Чужое/8\n");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp (3).vlt");
    Archive(form).AddFolder(nullptr, "Ещё");
    CloseAndFree(form);
    EXPECT_NE(fileOf("Temp (3).vlt").find(Short("Ещё")), std::string::npos);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "other place\\Temp.vlt"), PlainTreeFile({{"Чужое", 8, {}}}));
    EXPECT_EQ(fileOf("x.vlt"), PlainTreeFile({{"Икс", 2, {}}})) << "the tree it left is not written";
    EXPECT_EQ(fileOf("Temp.ini"), map);
}

TEST_F(StartupClose, TheTreePanelKeepsTheWidthTheSplitterWasDraggedTo)
{
    TID_Vellorn* form = Start();
    form->Show();
    ASSERT_EQ(form->Panel2->Width(), 260);
    TsSplitter* splitter = form->Splitter1;
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 5));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41, 5));
    splitter->Perform(WM_LBUTTONUP, 0, MAKELPARAM(41, 5));
    EXPECT_EQ(form->Panel2->Width(), 300);
    EXPECT_EQ(form->TreePanelWidth, 300);
    CloseAndFree(form);
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("[Panel]\r\nWidth=300\r\n"), std::string::npos);
    form = Start();
    EXPECT_EQ(form->Panel2->Width(), 300);
    form->Free();
}

TEST_F(StartupClose, ExitAndTheApplicationsWindowCloseTheWindow)
{
    TID_Vellorn* form = Start();
    form->Show();
    form->N6Click(nullptr);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->TrayIcon1, nullptr) << "freed at close";
    EXPECT_NE(testkit::ReadFileBytes(dir / "FILES\\form.ini").find("[ST]"), std::string::npos);
    EXPECT_TRUE(Session(form).CloseFinished);
    form->Free();

    // The application's window closed: the main window's close runs.
    DeleteFile(dir / "FILES\\form.ini");
    form = Start();
    form->Show();
    TCustomForm* mainForm = Application->MainForm();
    Application->SetMainForm(form);
    SendMessageA(Application->Handle(), WM_CLOSE, 0, 0);
    Application->SetMainForm(mainForm);
    EXPECT_EQ(form->TrayIcon1, nullptr);
    EXPECT_TRUE(FileExists(dir / "FILES\\form.ini"));
    form->Free();
}

TEST_F(StartupClose, TheSplashShowsOnTheFirstShowOnlyAndClosesOnAKey)
{
    TID_Vellorn* form = Start();
    Create<TFLog>(Application);
    ASSERT_NE(FLog, nullptr);
    // The splash's own timer is put far beyond any delay of a busy machine, and noted if it fires.
    bool byTimer = false;
    FLog->Timer1->SetInterval(20000);
    FLog->Timer1->OnTimer = [&byTimer, splash = FLog](TObject* s) {
        byTimer = true;
        splash->Timer1Timer(s);
    };
    // A key reaches the splash once its modal loop runs.
    UINT_PTR timer = SetTimer(nullptr, 0, 50, PressKeyOnSplash);
    form->Show();
    EXPECT_FALSE(byTimer) << "closed by the key, not by its timer";
    testkit::PumpPending();
    EXPECT_EQ(FLog, nullptr) << "the splash frees itself";

    // Restored from the tray: no splash again, even if one existed.
    form->Hide();
    auto* again = Create<TFLog>(Application);
    form->Show();
    EXPECT_FALSE(again->Visible());
    KillTimer(nullptr, timer);
    again->Free();
    form->Free();
}

} // namespace
