// The archive a window works on: the one title rule, and the tree file, the map and the notes
// agreeing on disk after every change and after an end at any step of its writing.
#include "LogicFixture.h"

#include "FileSteps.h"
#include "InstanceLock.h"
#include "IniFiles.h"
#include "MainTreeMap.h"
#include "Settings.h"

using namespace logic;

namespace {

class ArchiveUnit : public EditingTest {
protected:
    TArchive& A() { return Archive(form); }
    AnsiString Note(const AnsiString& title) { return dir / ("FILES\\text\\" + title + "_VLN.txt"); }
    // What the files on disk hold: each entry of the tree file with its key's value and its note
    // ("-" for none), in the tree's order.
    std::string OnDisk()
    {
        const auto records = treefile::NodeRecords(treefile::ReadTreeStream(dir / "FILES\\tree\\Temp.vlt"));
        TMemIniFile map(dir / "FILES\\tree\\Temp.ini");
        std::string out;
        for (const auto& [title, image] : records) {
            if (image == niFolderClosed || image == niFolderOpen) {
                out += title + "/;";
                continue;
            }
            const char* section = image == niLink ? "URL" : image == niFlash ? "FLASH" : "FILES";
            const AnsiString value = map.ReadString(section, title, "?");
            const AnsiString note = FileExists(Note(title)) ? AnsiString(testkit::ReadFileBytes(Note(title))) : "-";
            out += title + "=" + value + ":" + note + ";";
        }
        return out;
    }
};

// One rule for every title: what is taken, the length, blanks, keys, case; entries among entries,
// folders among the folders beside them.
TEST_F(ArchiveUnit, OneTitleRule)
{
    TTreeNode* link = Node("Ссылка");
    TTreeNode* folder = Node("Категория");
    const AnsiString taken = "Статья с таким названием уже существует";
    const Integer article = niArticleNew, folderImage = niFolderClosed;
    const struct {
        AnsiString title;
        Integer image;
        const TTreeNode* node;
        const TTreeNode* parent;
        AnsiString refusal;
    } cases[] = {
        {"ССЫЛКА", article, nullptr, nullptr, taken},                  // another entry's, in capitals
        {"  мультик ", article, nullptr, nullptr, taken},              // blanks around
        {"Новая статья", niLink, link, nullptr, "Название уже существует"}, // a link renamed onto it
        {"Новая статья", niFlash, nullptr, nullptr, "Название уже существует"}, // a new movie
        {"ссылка", niLink, link, nullptr, ""},                         // its own, in other case
        {"Категория", article, nullptr, nullptr, ""},                  // a folder's title: no key
        {"a=b", article, nullptr, nullptr, "Недопустимое название"},
        {" [FILES]", article, nullptr, nullptr, "Недопустимое название"},
        {";комментарий", article, nullptr, nullptr, "Недопустимое название"},
        {"две\r\nстроки", article, nullptr, nullptr, "Недопустимое название"},
        {"   ", article, nullptr, nullptr, "Введите название"},
        {AnsiString(MaxTitleLength, 'x'), article, nullptr, nullptr, ""},
        {AnsiString(MaxTitleLength + 1, 'x'), article, nullptr, nullptr,
         "Название слишком длинное: дерево статей хранит не больше 255 знаков."},
        {AnsiString(MaxTitleLength, 'x') + "  ", article, nullptr, nullptr, ""}, // the blanks go first
        {"разное ", folderImage, nullptr, nullptr, "Категория с таким названием уже существует"},
        {"Разное", folderImage, folder, nullptr, "Категория с таким названием уже существует"}, // onto a sibling
        {"категория", folderImage, folder, nullptr, ""},               // its own
        {"Подкатегория", folderImage, nullptr, nullptr, ""},           // the same title one level up
        {"Подкатегория", folderImage, nullptr, folder, "Категория с таким названием уже существует"},
        {"Ссылка", folderImage, nullptr, nullptr, ""},                 // an entry's title
    };
    for (const auto& c : cases)
        EXPECT_EQ(A().TitleRefusal(c.title, c.image, c.node, c.parent), c.refusal) << c.title;

    // Every way to give a title keeps it trimmed, in the tree, the key and the note alike.
    TTreeNode* added = A().AddEntry(folder, "  Пробелы  ", niArticleNew, " p.html ");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Text(), "Пробелы");
    EXPECT_NE(Map().find("Пробелы=p.html\r\n"), std::string::npos);
    EXPECT_FALSE(A().AddEntry(nullptr, "ПРОБЕЛЫ", niLink, ""));
    EXPECT_TRUE(A().AddFolder(nullptr, "Новая "));
    EXPECT_FALSE(A().AddFolder(nullptr, "новая"));
    EXPECT_TRUE(A().AddFolder(folder, "Новая"));
}

// The map is the tree's: a key for each entry that has one, in the tree's order, and nothing of an
// entry that has gone; a case-only rename changes the key's and the note's case.
TEST_F(ArchiveUnit, TheMapAndTheNotesFollowEveryChange)
{
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(Note("Прочитанная"), "note r");
    testkit::WriteFileBytes(Note("Ссылка"), "note l");
    A().Rename(Node("Прочитанная"), "ПРОЧИТАННАЯ");
    EXPECT_EQ(testkit::ReadFileBytes(Note("ПРОЧИТАННАЯ")), "note r");
    WIN32_FIND_DATAA found{};
    HANDLE h = FindFirstFileA(Note("Прочитанная").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(found.cFileName, "ПРОЧИТАННАЯ_VLN.txt") << "the file takes the new case";
    A().Change(Node("Ссылка"), "Сайт", "http://example.com/", niLink);
    A().Mark(Node("Новая статья"), niArticleFavourite);
    A().Move(Node("Мультик"), Node("Подкатегория"));
    EXPECT_EQ(Map(), "[FILES]\r\nНовая статья=new.html\r\nПРОЧИТАННАЯ=read.html\r\nИзбранная=sub\\fav.html\r\n"
                     "Непрочитанная=unread.html\r\n[FLASH]\r\nМультик=m.swf\r\n[URL]\r\nСайт=http://example.com/\r\n");
    EXPECT_FALSE(FileExists(Note("Ссылка")));
    EXPECT_EQ(testkit::ReadFileBytes(Note("Сайт")), "note l");
    EXPECT_EQ(OnDisk(), "Категория/;Новая статья=new.html:-;ПРОЧИТАННАЯ=read.html:note r;Подкатегория/;"
                        "Избранная=sub\\fav.html:-;Мультик=m.swf:-;Разное/;Непрочитанная=unread.html:-;"
                        "Сайт=http://example.com/:note l;");

    // A folder deleted: its entries' keys and notes go; a note left under a title by an entry that
    // went without the program (an old archive) never shows on a new entry of that title.
    A().Delete(Node("Категория"));
    EXPECT_FALSE(FileExists(Note("ПРОЧИТАННАЯ")));
    testkit::WriteFileBytes(Note("Старая"), "old");
    TTreeNode* fresh = A().AddEntry(nullptr, "Старая", niArticleNew, "o.html");
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(FileExists(Note("Старая")));
    EXPECT_EQ(OnDisk(), "Разное/;Непрочитанная=unread.html:-;Сайт=http://example.com/:note l;Старая=o.html:-;");

    // Cleared: nothing of the tree stays, and nothing of it comes back on a new entry.
    A().Clear();
    EXPECT_EQ(Map(), "");
    EXPECT_FALSE(FileExists(Note("Сайт")));
    A().AddEntry(nullptr, "Сайт", niLink, "");
    EXPECT_EQ(OnDisk(), "Сайт=:-;");
}

// An end of the process at any step of a change's writing (here: the n-th file replaced fails,
// and nothing after it is done) leaves the tree file, the map and the notes agreeing: the change
// is there whole or not at all.
TEST_F(ArchiveUnit, AnEndAtAnyStepLeavesTheFilesAgreeing)
{
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(Note("Прочитанная"), "note r");
    testkit::WriteFileBytes(Note("Непрочитанная"), "note u");
    A().Flush(true);
    const std::string before = OnDisk();
    const std::string tree = testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"), map = Map();
    const struct {
        const char* name;
        std::function<void()> change;
        std::string after;
    } changes[] = {
        {"rename", [&] { A().Rename(Node("Прочитанная"), "Другая"); },
         "Категория/;Новая статья=new.html:-;Другая=read.html:note r;Подкатегория/;Избранная=sub\\fav.html:-;Разное/;"
         "Непрочитанная=unread.html:note u;Мультик=m.swf:-;Ссылка=http://example.org/:-;"},
        {"delete", [&] { A().Delete(Node("Разное")); },
         "Категория/;Новая статья=new.html:-;Прочитанная=read.html:note r;Подкатегория/;Избранная=sub\\fav.html:-;"},
        {"add", [&] { A().AddEntry(Node("Разное"), "Ещё", niLink, "http://e/"); },
         "Категория/;Новая статья=new.html:-;Прочитанная=read.html:note r;Подкатегория/;Избранная=sub\\fav.html:-;"
         "Разное/;Непрочитанная=unread.html:note u;Мультик=m.swf:-;Ссылка=http://example.org/:-;Ещё=http://e/:-;"},
        {"clear", [&] { A().Clear(); }, ""},
    };
    for (const auto& c : changes) {
        for (int step = 1; step < 10; ++step) {
            SCOPED_TRACE(std::string(c.name) + ", the end at replace " + std::to_string(step));
            // The files as they were, and the program started on them.
            form->Free();
            testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", tree);
            testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", map);
            testkit::WriteFileBytes(Note("Прочитанная"), "note r");
            testkit::WriteFileBytes(Note("Непрочитанная"), "note u");
            DeleteFileA(Note("Другая").c_str());
            form = Start();
            boxes.clear();
            {
                testkit::FileSteps steps;
                steps.FailAt(testkit::FileStep::Move, ERROR_ACCESS_DENIED, step);
                c.change();
            }
            const std::string disk = OnDisk();
            if (boxes.empty()) {
                EXPECT_EQ(disk, c.after);
                break;
            }
            EXPECT_TRUE(disk == before || disk == c.after) << disk;
        }
    }
}

// A second window on the same archive (the first still runs it) works on a copy under its own
// name, with the first window's notes copied: it renames and deletes only its own, and writes
// nothing the first one keeps (form.ini). Opened later, its tree shows its notes.
TEST_F(ArchiveUnit, ASecondWindowWorksOnACopyOfItsOwn)
{
    ForceDirectories(dir / "FILES\\text");
    testkit::WriteFileBytes(Note("Прочитанная"), "note r");
    testkit::WriteFileBytes(Note("Непрочитанная"), "note u");
    const std::string formIni = testkit::ReadFileBytes(dir / "FILES\\form.ini");
    form->Free();
    form = nullptr;
    // The first program runs on the working tree (it holds the program's lock and the tree's).
    auto program = std::make_unique<TInstanceLock>(dir / "FILES");
    auto working = std::make_unique<TInstanceLock>(dir / "FILES\\tree\\Temp.vlt");
    TID_Vellorn* second = Start();
    const AnsiString copy = dir / "FILES\\tree\\Temp (2).vlt";
    EXPECT_EQ(Archive(second).TreePath(), copy);
    EXPECT_FALSE(Session(second).FirstCopy);
    const auto node = [&](const AnsiString& Title) { return Archive(second).FindEntry(Title); };
    EXPECT_EQ(Archive(second).Value(node("Прочитанная")), "read.html") << "the first window's map copied";
    Archive(second).Rename(node("Прочитанная"), "Своя");
    Archive(second).Delete(node("Непрочитанная"));
    EXPECT_EQ(testkit::ReadFileBytes(Note("Прочитанная")), "note r") << "the first window's notes stay";
    EXPECT_EQ(testkit::ReadFileBytes(Note("Непрочитанная")), "note u");
    const AnsiString own = dir / "FILES\\text\\Своя_Temp (2).txt";
    EXPECT_EQ(testkit::ReadFileBytes(own), "note r");
    EXPECT_FALSE(FileExists(dir / "FILES\\text\\Непрочитанная_Temp (2).txt"));
    second->SetBounds(1, 2, 300, 300);
    CloseAndFree(second);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\form.ini"), formIni) << "form.ini is the first window's";
    EXPECT_NE(Map().find("\r\nПрочитанная=read.html\r\n"), std::string::npos);

    // The copy's tree opened later shows its notes.
    working.reset();
    program.reset();
    form = Start("\"" + copy + "\"");
    AnsiString path;
    ASSERT_TRUE(Archive(form).NotePath("Своя", path));
    EXPECT_EQ(path, own);
}

// A second window beside a first one that works on a saved tree (form.ini's TreeFile) copies that
// tree, with its map: its entries open their pages.
TEST_F(ArchiveUnit, ASecondWindowCopiesTheTreeTheFirstWorksOn)
{
    testkit::WriteFileBytes(dir / "FILES\\tree\\Сохранённое.vlt", PlainTreeFile({{"Своё", 2, {}}}));
    testkit::WriteFileBytes(dir / "FILES\\tree\\Сохранённое.ini", "[FILES]\r\nСвоё=own.html\r\n");
    form->Free();
    settings::WriteSavedTreeFile(dir / "FILES\\tree\\Сохранённое.vlt");
    // The first program runs on that tree.
    TInstanceLock program(dir / "FILES"), saved(dir / "FILES\\tree\\Сохранённое.vlt");
    form = Start();
    EXPECT_EQ(Archive(form).TreePath(), dir / "FILES\\tree\\Temp (2).vlt");
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Своё/2\n");
    EXPECT_EQ(Archive(form).Value(form->TreeView1->Items()->GetFirstNode()), "own.html");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp (2).ini"), "[FILES]\r\nСвоё=own.html\r\n");
}

} // namespace
