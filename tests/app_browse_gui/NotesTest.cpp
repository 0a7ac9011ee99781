// Notes of the main window: add, save, load and remove, the entry they act on, and titles that
// cannot name a note file.
#include "BrowseFixture.h"

using namespace browse;

namespace {

class Notes : public BrowseTest {
protected:
    AnsiString NoteFile(const AnsiString& Name) { return dir / ("FILES\\text\\" + Name); }
    static constexpr const char* Question =
        "Вы действительно хотите убрать примечание с этой статьи\nВостановить его будет не возможно";
};

TEST_F(Notes, WrittenLoadedAndRemovedForTheEntryOpenedLast)
{
    // Nothing opened yet: saving does nothing and its button is off.
    EXPECT_FALSE(form->ToolButton17->Enabled());
    form->Memo1->Lines()->SetText("ничья");
    form->ToolButton17Click(form->ToolButton17);
    EXPECT_FALSE(FileExists(NoteFile("_VLN.txt")));

    Open("Первая");
    form->N75Click(form->N75);
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_TRUE(form->Splitter3->Visible());
    EXPECT_EQ(form->Panel5->Height(), 300);
    form->Memo1->Lines()->SetText("Первая строка\r\nвторая");
    form->TreeView1->SetSelected(Node("Вторая")); // a selection alone changes nothing
    form->N85Click(form->N85);
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "Первая строка\r\nвторая\r\n");
    EXPECT_TRUE(form->ToolButton20->Enabled());

    // Load from a file: the memo only, the note file is written by the next save.
    testkit::WriteFileBytes(dir / "import.txt", "из файла\r\n");
    prompts.AnswerDialog(false);
    form->N86Click(form->N86);
    EXPECT_EQ(form->Memo1->Lines()->Strings(0), "Первая строка") << "cancelled";
    form->Panel5->Hide();
    prompts.AnswerDialog(true, [&](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = dir / "import.txt"; });
    form->ToolButton19Click(form->ToolButton19);
    ASSERT_EQ(form->Memo1->Lines()->Count(), 1);
    EXPECT_EQ(form->Memo1->Lines()->Strings(0), "из файла");
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "Первая строка\r\nвторая\r\n");

    // Remove: No keeps everything, Yes deletes the file and hides the panel.
    ScriptBoxes(IDNO);
    form->N76Click(form->N76);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Question);
    EXPECT_EQ(boxes[0].caption, "Внимание!!!");
    EXPECT_EQ(boxes[0].flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_TRUE(FileExists(NoteFile("Первая_VLN.txt")));
    EXPECT_TRUE(form->Panel5->Visible());
    ScriptBoxes(IDYES);
    form->ToolButton20Click(form->ToolButton20);
    EXPECT_FALSE(FileExists(NoteFile("Первая_VLN.txt")));
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(form->Splitter3->Visible());
    // A note that is gone already: the panel goes, and only the question was asked.
    form->N82Click(form->N82);
    form->N83Click(form->N83);
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_EQ(boxes.size(), 3u);
}

// A note shown for writing can be saved at once (menu and panel); one typed and not saved is asked
// about when another entry opens or the window closes: "Отмена" stays, "Да" saves, "Нет" drops.
TEST_F(Notes, ATypedNoteCanBeSavedAndIsNeverDroppedWithoutAQuestion)
{
    const AnsiString question = "Примечание не сохранено.\nСохранить его?";
    Open("Первая");
    EXPECT_FALSE(form->N78->Enabled());
    form->N75Click(form->N75);
    for (TMenuItem* item : {form->N78, form->N85})
        EXPECT_TRUE(item->Enabled()) << item->Name();
    EXPECT_TRUE(form->ToolButton17->Enabled());
    // Tab from the note reaches its bar; Enter there presses "Сохранить примечание".
    ASSERT_TRUE(form->Memo1->Focused());
    form->SelectNext(form->Memo1, true, true);
    EXPECT_TRUE(form->sToolBar2->Focused());
    for (UINT m : {WM_KEYDOWN, WM_KEYUP})
        PostMessageA(form->sToolBar2->Handle(), m, VK_RETURN, 0);
    testkit::PumpPending();
    EXPECT_TRUE(FileExists(NoteFile("Первая_VLN.txt"))) << "an empty note saved";
    form->Memo1->SetFocus();
    const auto type = [&](const char* text) {
        form->Memo1->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    };
    type("набрано");

    ScriptBoxes(IDCANCEL);
    Open("Вторая");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, question);
    EXPECT_EQ(boxes[0].flags, UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(form->OpenedTitle, "Первая") << "the entry stays open";
    ScriptBoxes(IDYES);
    boxes.clear();
    Open("Вторая");
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "набрано\r\n");
    EXPECT_EQ(form->OpenedTitle, "Вторая");
    Open("Первая");
    EXPECT_EQ(boxes.size(), 1u) << "a saved note, no question";

    // A change of a note the window showed turns "Сохранить" on as well.
    form->N78->SetEnabled(false);
    type(" ещё");
    EXPECT_TRUE(form->N78->Enabled());
    form->ToolButton1Click(form->ToolButton1);
    ASSERT_FALSE(form->Panel5->Visible()) << "\"Назад\" hides the note, which stays unsaved";
    ScriptBoxes(IDCANCEL);
    boxes.clear();
    form->Close();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, question);
    EXPECT_NE(form->TrayIcon1, nullptr) << "the window stays";
    ScriptBoxes(IDNO);
    form->Close();
    EXPECT_EQ(form->TrayIcon1, nullptr);
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "набрано\r\n");
}

TEST_F(Notes, BackAndForwardHideTheNote)
{
    form->N75Click(form->N75);
    form->ToolButton1Click(form->ToolButton1);
    EXPECT_FALSE(form->Panel5->Visible());
    form->N82Click(form->N82);
    form->N27Click(form->N27);
    EXPECT_FALSE(form->Panel5->Visible());
}

TEST_F(Notes, TitlesThatCannotNameAFileTouchNothingOutsideTheNoteFolder)
{
    const AnsiString refusal = "Примечание недоступно: название статьи или дерева содержит знаки, недопустимые в "
                               "имени файла (\\ / : * ? \" < > |).";
    AnsiString path;
    for (const char* title : {"..\\x", "C:x", "a/b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb"}) {
        EXPECT_FALSE(NoteFilePath(title, "VLN", path)) << title;
        EXPECT_EQ(path, "") << title;
    }
    EXPECT_FALSE(NoteFilePath("", "VLN", path));
    EXPECT_FALSE(NoteFilePath("x", "..\\..\\VLN", path)) << "the tree's name is part of the file name";
    ASSERT_TRUE(NoteFilePath("Статья.. с точками", "Temp", path));
    EXPECT_EQ(path, NoteFile("Статья.. с точками_Temp.txt"));

    // An article titled "..\x": a planted file where its note would land is neither shown nor
    // written nor removed; the commands are off and each one says why.
    testkit::WriteFileBytes(dir / "FILES\\x_VLN.txt", "чужой файл");
    form->TreeView1->Items()->AddChild(Node("Чтение"), "..\\x")->SetImageIndex(2);
    archive::WriteMapEntry("Temp", archive::SectionFiles, "..\\x", "first.html");
    Open("..\\x");
    EXPECT_FALSE(form->Panel5->Visible());
    for (TMenuItem* item : {form->N76, form->N83, form->N85, form->N78})
        EXPECT_FALSE(item->Enabled()) << item->Name();
    EXPECT_FALSE(form->ToolButton17->Enabled());
    EXPECT_FALSE(form->ToolButton20->Enabled());
    form->Memo1->Lines()->SetText("примечание");
    form->ToolButton17Click(form->ToolButton17);
    ScriptBoxes(IDYES);
    form->N83Click(form->N83);
    ASSERT_EQ(boxes.size(), 2u) << "the refusals only, no question";
    EXPECT_EQ(boxes[0].text, refusal);
    EXPECT_EQ(boxes[1].text, refusal);
    EXPECT_EQ(prompts.Shown.size(), 0u);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\x_VLN.txt"), "чужой файл");
}

} // namespace
