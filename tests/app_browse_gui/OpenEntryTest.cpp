// Opening entries of the article tree: each kind's target, the captions before and after the page
// completes, the address box and its list, the keys, folders, and the note lookup.
#include "BrowseFixture.h"

using namespace browse;

namespace {

class Opening : public BrowseTest {};

TEST_F(Opening, EachKindOpensItsTargetWithCaptionAndAddress)
{
    Open("Первая");
    EXPECT_EQ(form->Caption(), "VLN - Первая -VLN") << "until the page completes";
    EXPECT_EQ(form->OpenedTitle, "Первая");
    EXPECT_EQ(form->LastFileEntry, "first.html");
    EXPECT_FALSE(form->SkipHistoryOnce);
    EXPECT_TRUE(form->N74->Enabled());
    EXPECT_TRUE(form->N81->Enabled());
    WaitPage("Первая страница");
    EXPECT_EQ(form->Web->LocationURL(), Path("first.html"));
    EXPECT_EQ(form->Caption(), "VLN -Первая (Первая страница)-VLN");
    EXPECT_EQ(form->ComboBox1->Text(), Path("first.html"));
    EXPECT_EQ(form->StatusBar1->Panels()->Items(2)->Text(), "Готово");

    // A missing page: a blank page, and still its full path in the address box.
    form->TreeView1->SetSelected(Node("Пропавшая"));
    char enter = '\r';
    form->TreeView1KeyPress(form->TreeView1, enter);
    WaitPage("about:blank");
    EXPECT_EQ(form->ComboBox1->Text(), Path("gone.html"));
    EXPECT_EQ(form->Caption(), "VLN -Пропавшая (about:blank)-VLN");

    // A Flash movie: its file under FILES\FLASH\, shown as our notice page.
    Open("Мультик");
    WaitPage("m.swf");
    EXPECT_EQ(form->Web->LocationURL(), Path("FLASH\\m.swf"));
    EXPECT_EQ(form->LastFileEntry, "m.swf");
    EXPECT_EQ(form->ComboBox1->Text(), Path("FLASH\\m.swf"));

    // A link: its address as stored; opened twice, and again in other letter case, it is listed once.
    Open("Ссылка");
    WaitPage("Вторая страница");
    EXPECT_EQ(form->Web->LocationURL(), FileUrl("second.html"));
    EXPECT_EQ(form->Caption(), "VLN -Ссылка (Вторая страница)-VLN");
    Open("Ссылка");
    WaitPage("Вторая страница");
    AnsiString upper = FileUrl("second.html");
    for (char& c : upper)
        c = char(toupper(static_cast<unsigned char>(c)));
    archive::WriteMapEntry("Temp", archive::SectionUrl, "Ссылка", upper);
    Open("Ссылка");
    WaitPage("Вторая страница");
    EXPECT_EQ(Lines(form->ComboBox1->Items()),
              Path("first.html") + "|" + Path("gone.html") + "|" + Path("FLASH\\m.swf") + "|" + FileUrl("second.html"));
    RememberAddress(*form->ComboBox1->Items(), "&" + Path("first.html"));
    EXPECT_EQ(form->ComboBox1->Items()->Count(), 4) << "accelerator marks do not count";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Opening, FoldersOtherKeysAndNoSelectionOpenNothing)
{
    const AnsiString caption = form->Caption();
    form->TreeView1->SetSelected(Node("Чтение"));
    form->TreeView1DblClick(form->TreeView1);
    char enter = '\r';
    form->TreeView1KeyPress(form->TreeView1, enter);
    form->TreeView1->SetSelected(Node("Первая"));
    char other = 'a';
    form->TreeView1KeyPress(form->TreeView1, other);
    EXPECT_EQ(other, 'a') << "other keys pass to the tree";
    form->TreeView1->SetSelected(nullptr);
    form->TreeView1DblClick(form->TreeView1);
    testkit::PumpFor(50);
    EXPECT_EQ(form->Caption(), caption);
    EXPECT_EQ(form->Web->LocationName(), "Vellorn");
    EXPECT_TRUE(form->OpenedTitle.empty());
    EXPECT_TRUE(form->SkipHistoryOnce);
}

TEST_F(Opening, NoteOfThisTreeIsShownAndAnotherTreesIsNot)
{
    testkit::WriteFileBytes(dir / "FILES\\text\\Первая_VLN.txt", "Строка один\r\nСтрока два\r\n");
    testkit::WriteFileBytes(dir / "FILES\\text\\Вторая_Другое.txt", "Чужое примечание\r\n");
    Open("Первая");
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_TRUE(form->Splitter3->Visible());
    EXPECT_LT(form->Splitter3->Top(), form->Panel5->Top()) << "the splitter sits above the note";
    ASSERT_EQ(form->Memo1->Lines()->Count(), 2);
    EXPECT_EQ(form->Memo1->Lines()->Strings(1), "Строка два");
    for (TMenuItem* item : {form->N76, form->N83, form->N85, form->N78})
        EXPECT_TRUE(item->Enabled()) << item->Name();
    EXPECT_TRUE(form->ToolButton20->Enabled());
    EXPECT_TRUE(form->ToolButton17->Enabled());

    Open("Вторая");
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(form->Splitter3->Visible());
    EXPECT_EQ(form->Memo1->Lines()->Count(), 0);
    EXPECT_FALSE(form->ToolButton20->Enabled());
}

TEST_F(Opening, SearchResultsOpenWithTheirOwnCaptionAndWithoutTheFileCheck)
{
    form->TreeView2->Items()->Add(nullptr, "Пропавшая")->SetImageIndex(36);
    const bool skip = form->SkipHistoryOnce;
    ::OpenEntry(form, form->TreeView2->Items()->GetFirstNode(), true);
    EXPECT_EQ(form->Caption(), "Vellorn - Пропавшая");
    EXPECT_EQ(form->SkipHistoryOnce, skip);
    EXPECT_FALSE(form->N74->Enabled());
    WaitPage("Не удается открыть страницу");
    EXPECT_EQ(form->Web->LocationURL(), Path("gone.html")) << "no fall-back to a blank page";
}

} // namespace
