// The tree map operations of the main window: an article's file looked up and removed, and the
// titles an added article is refused because they would clash as keys.
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
    // A folder's title is no key: an article may take it; below a top-level entry it goes to the
    // top level.
    TTreeNode* top = form->TreeView1->Items()->AddChild(nullptr, "Наверху");
    top->SetImageIndex(8);
    form->TreeView1->SetSelected(top);
    EXPECT_TRUE(AddArticleNode(form, "категория", "Temp", "c.html", 2));
    EXPECT_EQ(form->TreeView1->Items()->GetLastTopNode()->Text(), "категория");
}

} // namespace
