// Saving and loading named trees: file and map names, a copy saved with its map and notes, a tree
// loaded worked on with its own files, the current tree refused, damaged files changing nothing, a
// new instance started through the shell, the folder images of the tree.
#include "LogicFixture.h"

#include "InstanceLock.h"
#include "Settings.h"
#include "ShellSeams.h"

using namespace logic;

namespace {

class SavedTrees : public MainLogicTest {
protected:
    // The next file dialog answers with Path (cancelled when empty).
    void Choose(const AnsiString& Path)
    {
        if (Path.empty()) {
            prompts.AnswerDialog(false);
            return;
        }
        prompts.AnswerDialog(true, [Path](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = Path; });
    }
    std::string Map(const AnsiString& name) { return testkit::ReadFileBytes(dir / ("FILES\\tree\\" + name + ".ini")); }
};

TEST_F(SavedTrees, SavingWritesTheTreeAndCopiesTheMap)
{
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", SampleMap());
    TID_Vellorn* form = Start();
    const std::string working = Map("Temp");
    const int width = form->TreeView1->Width(), height = form->TreeView1->Height();
    struct Case {
        AnsiString chosen, file, map;
    } cases[] = {
        {dir / "FILES\\tree\\Новое", dir / "FILES\\tree\\Новое.vlt", "Новое"},   // no extension
        {dir / "FILES\\tree\\2024.05.vlt", dir / "FILES\\tree\\2024.05.vlt", "2024.05"}, // dots
        {dir / "a;b.vlt", dir / "a;b.vlt", "a;b"},                                 // ";" in the name
    };
    for (const Case& c : cases) {
        Choose(c.chosen);
        form->N3Click(nullptr);
        EXPECT_EQ(testkit::ReadFileBytes(c.file), MainTreeFile(width, height, SampleTree())) << c.file;
        EXPECT_EQ(Map(c.map), working) << c.map;
        EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp.vlt") << "the window stays on its tree";
    }
    EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Новое.ini.vlt"));
    // The tool button does the same; a cancelled dialog does nothing.
    Choose("");
    form->ToolButton11Click(nullptr);
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_TRUE(boxes.empty());
    form->Free();
}

// A tree or a map the program may not replace is refused before anything is written, with the
// words of the close: the file on disk stays as it was, and no tree is saved without its map.
TEST_F(SavedTrees, SavingOverAFileThatMayNotBeReplacedWritesNothing)
{
    TID_Vellorn* form = Start();
    const AnsiString tree = dir / "FILES\\tree\\Только.vlt", other = dir / "FILES\\tree\\Другое.vlt",
                     map = dir / "FILES\\tree\\Другое.ini";
    testkit::WriteFileBytes(tree, "old tree");
    testkit::WriteFileBytes(map, "old map");
    FileSetAttr(tree, faReadOnly);
    FileSetAttr(map, faReadOnly);
    Choose(tree);
    form->N3Click(nullptr);
    Choose(other);
    form->ToolButton11Click(nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Не удалось сохранить дерево в файл \"" + tree + "\": Файл доступен только для чтения.");
    EXPECT_EQ(boxes[0].caption, "Внимание!!!");
    EXPECT_EQ(boxes[1].text, "Не удалось сохранить дерево в файл \"" + other + "\": Не удалось записать файл \"" + map +
                                 "\": Файл доступен только для чтения.");
    EXPECT_EQ(testkit::ReadFileBytes(tree), "old tree");
    EXPECT_EQ(testkit::ReadFileBytes(map), "old map");
    EXPECT_FALSE(FileExists(other)) << "no tree without its map";
    EXPECT_FALSE(FileExists(dir / "FILES\\tree\\Только.ini"));
    FileSetAttr(tree, 0);
    FileSetAttr(map, 0);
    form->Free();
}

// A tree loaded in this window is worked on with its own files; the working tree stays on disk as it
// was, and form.ini names the tree for the next start.
TEST_F(SavedTrees, LoadingInThisWindowWorksOnTheTreeItself)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    ScriptBoxes(IDNO); // "Нет": loaded without saving the tree first
    TID_Vellorn* form = Start();
    const std::string working = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), map = Map("Temp");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.vlt", PlainTreeFile({{"Одна", 8, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.ini", "[FILES]\r\nОдна=one.html\r\n");
    Choose(dir / "FILES\\tree\\Другое.vlt");
    form->ToolButton12Click(nullptr);
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Одна/8\n");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Другое.vlt");
    EXPECT_EQ(Archive(form).Value(form->TreeView1->Items()->GetFirstNode()), "one.html");
    EXPECT_EQ(form->TreeName, "Другое");
    EXPECT_EQ(Application->Title(), "Другое -Vellorn");
    EXPECT_EQ(form->TrayIcon1->Hint(), "Другое -Vellorn");
    EXPECT_EQ(StatusText(form), "Количество статей: 1");
    EXPECT_EQ(settings::ReadSavedTreeFile(), dir / "FILES\\tree\\Другое.vlt") << "named at once";
    // A change goes into that tree's own files.
    Archive(form).AddEntry(nullptr, "Две", niArticleRead, "two.html");
    EXPECT_EQ(Map("Другое"), "[FILES]\r\nОдна=one.html\r\nДве=two.html\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), working);
    EXPECT_EQ(Map("Temp"), map);

    // The tree loaded last is the current one: nothing asked.
    boxes.clear();
    Choose(dir / "FILES\\tree\\Другое.vlt");
    form->N13Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Запускаемое дерево является текущим");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));

    // The working tree loaded again: its own name, and form.ini names no other tree.
    Choose(dir / "FILES\\tree\\Temp.vlt");
    form->N13Click(nullptr);
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_EQ(StatusText(form), "Количество статей: 6");
    EXPECT_EQ(settings::ReadSavedTreeFile(), "");
    form->Free();
}

// Loading in this window asks first: "Отмена" keeps everything, "Да" saves the working tree with
// the program's own "Сохранить дерево" (a cancelled dialog keeps everything too), then loads.
TEST_F(SavedTrees, LoadingInThisWindowAsksBeforeTheWorkingTreeIsReplaced)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", SampleMap());
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.vlt", PlainTreeFile({{"Одна", 8, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.ini", "[FILES]\r\nОдна=one.html\r\n");
    TID_Vellorn* form = Start();
    const std::string tree = Dump(form->TreeView1->Items()), map = Map("Temp");
    const int width = form->TreeView1->Width(), height = form->TreeView1->Height();
    const struct {
        int answer;
        bool dialog, saved, loaded;
    } cases[] = {
        {IDCANCEL, false, false, false},
        {IDYES, false, false, false},
        {IDYES, true, true, true},
    };
    for (const auto& c : cases) {
        ScriptBoxes(c.answer);
        boxes.clear();
        Choose(dir / "FILES\\tree\\Другое.vlt");
        if (c.answer == IDYES)
            Choose(c.dialog ? dir / "FILES\\tree\\Прежнее" : "");
        form->N13Click(nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Загружаемое дерево заменит текущее.\nСохранить текущее дерево перед загрузкой?\n"
                                 "«Да» — сохранить в файл, «Нет» — загрузить без сохранения, «Отмена» — оставить "
                                 "текущее дерево.");
        EXPECT_EQ(boxes[0].flags, UINT(MB_YESNOCANCEL | MB_ICONWARNING));
        EXPECT_EQ(Dump(form->TreeView1->Items()), c.loaded ? "Одна/8\n" : tree);
        EXPECT_EQ(Map("Temp"), map);
        EXPECT_EQ(form->TreeName, c.loaded ? "Другое" : "VLN");
        EXPECT_EQ(FileExists(dir / "FILES\\tree\\Прежнее.vlt"), c.saved);
    }
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Прежнее.vlt"), MainTreeFile(width, height, SampleTree()));
    EXPECT_EQ(Map("Прежнее"), map);
    form->Free();
}

TEST_F(SavedTrees, ADamagedTreeChangesNothing)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    ScriptBoxes(IDNO);
    TID_Vellorn* form = Start();
    std::string bad = PlainTreeFile({{"Сломанное", 2, {{"x", 2, {}}}}});
    bad.resize(bad.size() - 5);
    const AnsiString file = dir / "FILES\\tree\\Сломанное.vlt";
    testkit::WriteFileBytes(file, bad);
    testkit::WriteFileBytes(dir / "FILES\\tree\\Сломанное.ini", "[FILES]\r\nСломанное=b.html\r\n");
    const std::string tree = Dump(form->TreeView1->Items()), map = Map("Temp");
    Choose(file);
    form->N13Click(nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Файл дерева \"" + file + "\" повреждён: прочитать его не удалось.\nТекущее дерево не изменилось.");
    EXPECT_EQ(testkit::ReadFileBytes(file), bad);
    EXPECT_EQ(Dump(form->TreeView1->Items()), tree);
    EXPECT_EQ(Map("Temp"), map);
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_EQ(Application->Title(), "VLN - Vellorn");
    form->Free();
}

TEST_F(SavedTrees, ALoadOfDamagedNodeRecordsChangesNothing)
{
    testkit::WriteFileBytes(dir / "FILES\\settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    ScriptBoxes(IDNO);
    TID_Vellorn* form = Start();
    const std::string tree = Dump(form->TreeView1->Items()), map = Map("Temp");
    std::string bad = PlainTreeFile({{"Одна", 8, {}}});
    bad[bad.find(I32(29))] = 10; // a record size below the smallest
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.vlt", bad);
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.ini", "[FILES]\r\nОдна=one.html\r\n");
    Choose(dir / "FILES\\tree\\Другое.vlt");
    form->N13Click(nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Файл дерева \"" + dir / "FILES\\tree\\Другое.vlt" +
                                 "\" повреждён: прочитать его не удалось.\nТекущее дерево не изменилось.");
    EXPECT_EQ(Dump(form->TreeView1->Items()), tree);
    EXPECT_EQ(Map("Temp"), map);
    EXPECT_EQ(form->TreeName, "VLN");
    EXPECT_EQ(Application->Title(), "VLN - Vellorn");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp.vlt");
    form->Free();
}

// The notes of the tree get copies for the new name without a word; a note that cannot be copied
// is named, with its reason, in one box after the save.
TEST_F(SavedTrees, NotesOfTheTreeAreCopiedForTheNewName)
{
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(dir / "FILES\\text\\Новая статья_VLN.txt", "note 1");
    testkit::WriteFileBytes(dir / "FILES\\text\\Ссылка_vln.TXT", "note 2");
    testkit::WriteFileBytes(dir / "FILES\\text\\Чужая_VLN2.txt", "other tree");
    testkit::WriteFileBytes(dir / "FILES\\text\\Мультик_VLN.txt", "note 3");
    testkit::WriteFileBytes(dir / "FILES\\text\\Мультик_Копия.txt", "kept");
    FileSetAttr(dir / "FILES\\text\\Мультик_Копия.txt", faReadOnly);
    TID_Vellorn* form = Start();
    Choose(dir / "FILES\\tree\\Копия.vlt");
    form->N3Click(nullptr);
    const AnsiString text = archive::AppPath("FILES\\text\\");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Дерево сохранено, но не все примечания к нему удалось скопировать:\n\"" + text +
                                 "Мультик_Копия.txt\": Файл доступен только для чтения.");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\text\\Новая статья_Копия.txt"), "note 1");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\text\\Ссылка_Копия.txt"), "note 2");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\text\\Мультик_Копия.txt"), "kept");
    EXPECT_FALSE(FileExists(dir / "FILES\\text\\Чужая_VLN2_Копия.txt"));
    EXPECT_FALSE(FileExists(dir / "FILES\\text\\Чужая_Копия.txt"));
    FileSetAttr(dir / "FILES\\text\\Мультик_Копия.txt", 0);
    form->Free();
}

TEST_F(SavedTrees, ANewInstanceIsStartedThroughTheShell)
{
    TID_Vellorn* form = Start();
    TRecordingShell shell;
    TShellServiceGuard guard(shell);
    Choose(dir / "my trees\\x y.vlt");
    form->N13Click(nullptr);
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Kind, TShellCall::ckExecute);
    EXPECT_EQ(shell.Calls[0].Operation, "open");
    EXPECT_EQ(shell.Calls[0].File, dir / "Vellorn.exe");
    EXPECT_EQ(shell.Calls[0].Parameters, dir / "my trees\\x y.vlt");
    EXPECT_EQ(shell.Calls[0].ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(form->TreeName, "VLN") << "this window stays as it is";
    form->Free();
}

TEST_F(SavedTrees, AnInstanceBesideTheOwnerWorksOnItsOwnFiles)
{
    // Another instance runs on the working tree.
    TInstanceLock first(dir / "FILES"), other(dir / "FILES\\tree\\Temp.vlt");
    ASSERT_TRUE(other.Held());
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.vlt", PlainTreeFile({{"Икс", 2, {}}}) + "tail");
    testkit::WriteFileBytes(dir / "FILES\\tree\\x.ini", "[FILES]\r\nИкс=x.html\r\n");
    const std::string temp = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), tempMap = Map("Temp");
    TID_Vellorn* form = Start("\"" + dir / "FILES\\tree\\x.vlt" + "\"");
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\x.vlt");
    EXPECT_EQ(Archive(form).Value(form->TreeView1->Items()->GetFirstNode()), "x.html");
    Archive(form).AddFolder(nullptr, "Ещё");
    CloseAndFree(form);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), temp);
    EXPECT_EQ(Map("Temp"), tempMap);
    const std::string x = testkit::ReadFileBytes(dir / "FILES\\tree\\x.vlt");
    EXPECT_NE(x.find(Short("Ещё")), std::string::npos) << "written back where it came from";
    EXPECT_EQ(x.find("tail"), std::string::npos);
    EXPECT_EQ(settings::ReadTreeName(), "VLN") << "the working tree's name stays";
}

TEST_F(SavedTrees, OnlyFoldersFollowExpandAndCollapse)
{
    TID_Vellorn* form = Start();
    TTreeNodes* items = form->TreeView1->Items();
    form->TreeView1->FullExpand();
    EXPECT_EQ(Dump(items), "Категория/1\n Новая статья/2\n Прочитанная/8\n Подкатегория/1\n  Избранная/35\n"
                           "Разное/1\n Непрочитанная/36\n Мультик/38\n Ссылка/39\n");
    form->TreeView1->FullCollapse();
    EXPECT_EQ(Dump(items), "Категория/0\n Новая статья/2\n Прочитанная/8\n Подкатегория/0\n  Избранная/35\n"
                           "Разное/0\n Непрочитанная/36\n Мультик/38\n Ссылка/39\n");
    // An entry that got children keeps its image too.
    items->AddChild(items->Item(1), "под статьёй");
    form->TreeView1Expanded(nullptr, items->Item(1));
    EXPECT_EQ(items->Item(1)->ImageIndex(), 2);
    EXPECT_EQ(items->Item(1)->SelectedIndex(), 2);
    form->Free();
}

} // namespace
