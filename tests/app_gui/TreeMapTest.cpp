// The tree map operations of the main window: an article's file looked up and removed, an article
// added with its key, and the titles that are refused because they would clash as keys.
#include "LogicFixture.h"

#include "MainTreeMap.h"

using namespace logic;

namespace {

class TreeMap : public EditingTest {};

TEST_F(TreeMap, ReadFileEntryLooksUpTheCurrentTreesMapAndRemembersTheTitle)
{
    EXPECT_EQ(ReadFileEntry(form, "Новая статья"), "new.html");
    EXPECT_EQ(form->LastFileEntry, "new.html");
    EXPECT_EQ(form->OpenedTitle, "Новая статья");

    EXPECT_EQ(ReadFileEntry(form, "Нет такой"), "");
    EXPECT_EQ(form->LastFileEntry, "");
    EXPECT_EQ(form->OpenedTitle, "Нет такой");

    // Only the FILES section counts, and the map is the current tree's.
    EXPECT_EQ(ReadFileEntry(form, "Ссылка"), "");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.ini", "[FILES]\r\nНовая статья=other.html\r\n");
    form->CurrentTreeFile = "Другое";
    EXPECT_EQ(ReadFileEntry(form, "Новая статья"), "other.html");
}

TEST_F(TreeMap, DeleteFileEntryRemovesOnlyTheArticlesKey)
{
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", "[FILES]\r\nНовая статья=new.html\r\nМультик=x.html\r\n"
                                                          "[FLASH]\r\nМультик=m.swf\r\n");
    DeleteFileEntry("Мультик");
    DeleteFileEntry("Нет такой");
    EXPECT_EQ(Map(), "[FILES]\r\nНовая статья=new.html\r\n[FLASH]\r\nМультик=m.swf\r\n");
}

TEST_F(TreeMap, AddArticleNodeWritesTheKeyAndPlacesTheNodeInAFolder)
{
    TsTreeView* tree = form->TreeView1;
    // Selected folder: its last child.
    tree->SetSelected(Node("Подкатегория"));
    ASSERT_TRUE(AddArticleNode(form, "Первая", "Temp", "a\\first.html", 36));
    TTreeNode* first = Node("Первая");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Parent(), Node("Подкатегория"));
    EXPECT_EQ(first->Parent()->GetLastChild(), first);
    EXPECT_EQ(first->ImageIndex(), 36);
    EXPECT_EQ(first->SelectedIndex(), 36);
    EXPECT_EQ(Key("FILES", "Первая"), "a\\first.html");

    // Selected entry: the entry's folder, never below the entry.
    tree->SetSelected(Node("Мультик"));
    ASSERT_TRUE(AddArticleNode(form, "Вторая", "Temp", "", 2));
    EXPECT_EQ(Node("Вторая")->Parent(), Node("Разное"));
    EXPECT_EQ(Node("Разное")->GetLastChild(), Node("Вторая"));
    EXPECT_NE(Map().find("Вторая=\r\n"), std::string::npos) << "an empty file is an empty value";

    // A top-level entry, or no selection: the top level.
    TTreeNode* top = tree->Items()->AddChild(nullptr, "Наверху");
    top->SetImageIndex(8);
    tree->SetSelected(top);
    ASSERT_TRUE(AddArticleNode(form, "Третья", "Temp", "3.html", 8));
    EXPECT_EQ(Node("Третья")->Parent(), nullptr);
    tree->SetSelected(nullptr);
    ASSERT_TRUE(AddArticleNode(form, "Четвёртая", "Другое", "4.html", 8));
    EXPECT_EQ(tree->Items()->GetLastTopNode(), Node("Четвёртая"));
    EXPECT_EQ(archive::ReadMapEntry("Другое", "FILES", "Четвёртая"), "4.html") << "the map named by the caller";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TreeMap, AddArticleNodeRefusesTitlesThatClashAsKeys)
{
    const std::string before = Map();
    const int count = form->TreeView1->Items()->Count();
    const struct {
        AnsiString Title, Message;
    } cases[] = {
        {"ССЫЛКА", "Статья с таким названием уже существует"},        // another entry's title in capitals
        {"  мультик ", "Статья с таким названием уже существует"},    // blanks around
        {"Новая Статья", "Статья с таким названием уже существует"},
        {"a=b", "Недопустимое название"},
        {" [FILES]", "Недопустимое название"},
        {";комментарий", "Недопустимое название"},
        {"две\r\nстроки", "Недопустимое название"},
        {"   ", "Недопустимое название"},
    };
    for (const auto& c : cases) {
        boxes.clear();
        EXPECT_FALSE(AddArticleNode(form, c.Title, "Temp", "x.html", 2)) << c.Title;
        ASSERT_EQ(boxes.size(), 1u) << c.Title;
        EXPECT_EQ(boxes[0].text, c.Message) << c.Title;
        EXPECT_EQ(boxes[0].caption, Application->Title());
    }
    EXPECT_EQ(Map(), before);
    EXPECT_EQ(form->TreeView1->Items()->Count(), count);
    // A folder's title is no key: an article may take it.
    EXPECT_TRUE(AddArticleNode(form, "категория", "Temp", "c.html", 2));
}

} // namespace
