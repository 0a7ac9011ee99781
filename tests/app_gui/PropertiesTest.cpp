// Entry properties: the counts of a folder, and the floating panel of an article: its growth,
// its flash, applying it to the article it shows, and its end when that article goes.
#include "LogicFixture.h"

using namespace logic;

namespace {

class Properties : public EditingTest {};

TEST_F(Properties, AFolderShowsTheCountsOfItsDirectChildren)
{
    // Two subcategories and three entries; what lies below the subcategories does not count.
    TTreeNodes* items = form->TreeView1->Items();
    items->AddChild(Node("Категория"), "Вторая подкатегория");
    items->AddChild(Node("Вторая подкатегория"), "Глубже");
    TTreeNode* link = items->AddChild(Node("Категория"), "Ещё ссылка");
    link->SetImageIndex(39);
    Click("Категория");
    AnsiString subcategories, entries;
    int top = 0;
    WhileModal(Form9, [&] {
        subcategories = Form9->Label3->Caption();
        entries = Form9->Label4->Caption();
        top = Form9->Top();
        Form9->Button1Click(nullptr);
    });
    form->N17Click(nullptr);
    EXPECT_EQ(subcategories, "2");
    EXPECT_EQ(entries, "3");
    EXPECT_EQ(top, form->Top() + form->Height() / 2 - Form9->Height() / 2);
    EXPECT_FALSE(Form9->Visible());
}

TEST_F(Properties, ThePanelGrowsIntoViewAndFlashesWhenAskedAgain)
{
    Click("Прочитанная");
    form->N17Click(nullptr);
    EXPECT_TRUE(form->Panel1->Visible());
    EXPECT_EQ(form->Panel1->Width(), 427);
    form->Button2Click(nullptr);
    EXPECT_FALSE(form->Panel1->Visible());
    form->N96Click(nullptr);
    EXPECT_EQ(form->Panel1->Width(), 397);

    // Asked again while it shows: the desktop colour for 200 ms, no growth. The time is taken
    // before the flash starts, so a busy machine can only make the span longer.
    const DWORD start = GetTickCount();
    form->N17Click(nullptr);
    EXPECT_EQ(form->Panel1->Width(), 397);
    EXPECT_EQ(form->Panel1->Color(), clBackground);
    EXPECT_TRUE(form->Timer4->Enabled());
    ASSERT_TRUE(WaitFor([&] { return !form->Timer4->Enabled(); }, "the flash ends"));
    EXPECT_GE(GetTickCount() - start, 150u);
    EXPECT_EQ(form->Panel1->Color(), clBtnFace);
}

TEST_F(Properties, ThePanelAppliesToItsOwnArticle)
{
    // The panel shows an article reached from the keyboard; the selection moves on before
    // "Применить".
    form->TreeView1->SetSelected(Node("Прочитанная"));
    form->N17Click(nullptr);
    EXPECT_EQ(form->Edit2->Text(), "read.html");
    form->Edit1->SetText("Прочитанная заново");
    form->Edit2->SetText("again.html");
    form->ComboBoxEx2->SetItemIndex(3);
    form->TreeView1->SetSelected(Node("Категория"));
    const int folderImage = Node("Категория")->ImageIndex();
    form->Button1Click(nullptr);
    EXPECT_TRUE(boxes.empty());
    TTreeNode* article = Node("Прочитанная заново");
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(article->ImageIndex(), 36);
    EXPECT_EQ(article->SelectedIndex(), 36);
    EXPECT_EQ(Node("Категория")->ImageIndex(), folderImage);
    EXPECT_EQ(Key("FILES", "Прочитанная заново"), "again.html");
    EXPECT_EQ(Key("FILES", "Прочитанная"), "");
    EXPECT_FALSE(form->Panel1->Visible());

    // Its own title unchanged is no clash; any other entry's title, in any letters, is (the rule of
    // every title: a folder's is no key, as in the tree's own rename).
    Click("Избранная");
    form->N17Click(nullptr);
    form->Button1Click(nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Map().find("Избранная"), Map().rfind("Избранная")) << "one key for the title";
    for (const char* taken : {"ССЫЛКА", " мультик"}) {
        boxes.clear();
        form->N17Click(nullptr);
        form->Edit1->SetText(taken);
        form->Button1Click(nullptr);
        ASSERT_EQ(boxes.size(), 1u) << taken;
        EXPECT_EQ(boxes[0].text, "Статья с таким названием уже существует");
        EXPECT_TRUE(form->Panel1->Visible()) << "stays open with the input";
        EXPECT_EQ(form->Edit1->Text(), taken);
    }
    boxes.clear();
    form->Edit1->SetText("x=y");
    form->Button1Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Недопустимое название");

    // The article deleted: the panel goes with it.
    ScriptBoxes(IDYES);
    form->N12Click(nullptr);
    EXPECT_EQ(form->PanelNode, nullptr);
    EXPECT_FALSE(form->Panel1->Visible());
}

} // namespace
