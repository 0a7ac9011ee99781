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
    Archive(form).Change(Node("Ссылка"), "Ссылка", upper, niLink);
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
    testkit::WaitIdle();
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
    for (TMenuItem* item : {form->N76, form->N78})
        EXPECT_TRUE(item->Enabled()) << item->Name();
    EXPECT_TRUE(form->ToolButton20->Enabled());
    EXPECT_TRUE(form->ToolButton17->Enabled());

    Open("Вторая");
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(form->Splitter3->Visible());
    EXPECT_EQ(form->Memo1->Lines()->Count(), 0);
    EXPECT_FALSE(form->ToolButton20->Enabled());
}

// A note is shown up to MaxNoteBytes; a larger one is refused before it is read, named, and never
// replaced by the note shown before: the panel then neither shows nor writes a note for the entry.
TEST_F(Opening, ANoteAboveTheBoundIsRefusedAndNoOtherNoteStandsForIt)
{
    const AnsiString big = dir / "FILES\\text\\Вторая_VLN.txt";
    TStringList lines;
    std::string atBound; // lines of 78 characters, the last of 16
    while (atBound.size() + 80 <= MaxNoteBytes)
        atBound += std::string(78, 'x') + "\r\n";
    atBound.resize(MaxNoteBytes, 'x');
    testkit::WriteFileBytes(big, atBound);
    EXPECT_EQ(ReadNoteText(big, lines), "");
    EXPECT_EQ(lines.Count(), 13108);
    testkit::WriteFileBytes(big, atBound + "x");
    const AnsiString refusal = "Файл \"" + big + "\" занимает 2 МБ: примечание может занимать не больше 1 МБ.";
    EXPECT_EQ(ReadNoteText(big, lines), refusal);
    EXPECT_EQ(lines.Count(), 0);

    testkit::WriteFileBytes(dir / "FILES\\text\\Первая_VLN.txt", "Примечание первой\r\n");
    Open("Первая");
    ASSERT_EQ(form->Memo1->Lines()->Count(), 1);
    Open("Вторая");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Примечание к \"Вторая\" не показано.\n" + refusal);
    EXPECT_EQ(form->OpenedTitle, "Вторая");
    EXPECT_EQ(form->Memo1->Lines()->Count(), 0) << "not the note of Первая";
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_TRUE(form->Memo1->ReadOnly());
    for (TMenuItem* item : {form->N76, form->N83, form->N85, form->N78})
        EXPECT_FALSE(item->Enabled()) << item->Name();
    EXPECT_FALSE(form->ToolButton17->Enabled());
    form->N75Click(nullptr);
    form->ToolButton17Click(nullptr);
    EXPECT_FALSE(form->ToolButton17->Enabled());
    EXPECT_EQ(testkit::ReadFileBytes(big).size(), static_cast<std::size_t>(MaxNoteBytes + 1)) << "never overwritten";

    // The next entry's note is shown and written again.
    Open("Первая");
    EXPECT_FALSE(form->Memo1->ReadOnly());
    EXPECT_EQ(form->Memo1->Lines()->Strings(0), "Примечание первой");
    EXPECT_TRUE(form->ToolButton17->Enabled());
}

// A note the memo cannot lay out in time (long lines: the edit control measures the rest of a line
// again for every row it wraps) is shown as far as it lays out in time, read-only, with the reason;
// neither the panel nor the close writes it. By hand: a line of L characters weighs L + L * L / 80,
// a line break 1, and at most 2,200,000 is shown: a line of 13,226 characters weighs 2,199,814, one
// of 13,227 2,200,146; 162 lines of 1,000 weigh 2,187,324, and 967 characters of the next 12,655.
TEST_F(Opening, ANoteOfLongLinesIsShownAsFarAsItLaysOutInTimeAndNeverWritten)
{
    const auto lines = [](std::size_t Length, int Count) {
        std::string text;
        for (int i = 0; i < Count; ++i)
            text += std::string(Length, 'x') + "\r\n";
        return text;
    };
    const std::string longLines = lines(1000, 800);
    const struct {
        std::string text;
        std::size_t shown;
    } cases[] = {
        {"", 0},
        {std::string(13226, 'x'), 13226},
        {std::string(13227, 'x'), 13226},
        {lines(80, 12787), 12787 * 82}, // 1 MB of lines of 80 characters: shown whole
        {longLines, 162 * 1002 + 967},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaidOutLength(c.text), c.shown) << c.text.size();

    const AnsiString note = dir / "FILES\\text\\Вторая_VLN.txt";
    testkit::WriteFileBytes(note, longLines);
    Open("Вторая");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Примечание к \"Вторая\" показано не полностью, только для чтения.\nВ файле \"" + note +
                                 "\" слишком длинные строки: поле примечания показывает из него только первые 159 КБ из "
                                 "782 КБ.");
    EXPECT_EQ(form->Memo1->Text(), longLines.substr(0, 162 * 1002 + 967) + "\r\n");
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_TRUE(form->Memo1->ReadOnly());
    EXPECT_FALSE(form->ToolButton17->Enabled());
    form->N75Click(nullptr);
    form->ToolButton17Click(nullptr);
    CloseAndFree(form);
    form = nullptr;
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(testkit::ReadFileBytes(note), longLines) << "never written";
}

// An entry whose stored file leads out of its archive folder (up, a full name, a share, a device,
// a stream) opens nothing: the entry is named, and what was open stays.
TEST_F(Opening, AStoredFileOutsideItsFolderOpensNothing)
{
    testkit::WriteFileBytes(dir / "outside.html", "<html><head><title>Снаружи</title></head></html>");
    Open("Вторая");
    WaitPage("Вторая страница");
    const AnsiString caption = form->Caption(), address = form->ComboBox1->Text();
    const AnsiString files = "Файл должен находиться в папке\n" + dir / "FILES\\";
    const auto device = [](const AnsiString& name) {
        return "Имя \"" + name + "\" не может быть именем файла: система отдаёт такие имена устройствам (CON, PRN, "
               "AUX, NUL, COM1–COM9, LPT1–LPT9), в том числе с расширением.";
    };
    const struct {
        const char *title, *section;
        AnsiString value, reason;
    } cases[] = {
        {"Первая", archive::SectionFiles, "..\\outside.html", files},
        {"Первая", archive::SectionFiles, "sub\\..\\..\\..\\outside.html", files},
        {"Первая", archive::SectionFiles, dir / "outside.html", files},
        {"Первая", archive::SectionFiles, "\\\\server\\share\\x.html", files},
        {"Первая", archive::SectionFiles, "\\\\.\\COM1", device("\\\\.\\COM1")},
        {"Первая", archive::SectionFiles, "nul.html", device("nul.html")},
        {"Первая", archive::SectionFiles, "first.html:x",
         "Имя \"first.html:x\" не может быть именем файла: двоеточие в нём указывает на поток внутри файла."},
        {"Мультик", archive::SectionFlash, "..\\..\\outside.html", "Файл должен находиться в папке\n" + dir / "FILES\\FLASH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        boxes.clear();
        Archive(form).Change(Node(c.title), c.title, c.value, Node(c.title)->ImageIndex());
        Open(c.title);
        testkit::WaitIdle();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Запись \"" + AnsiString(c.title) + "\" не открыта: её файл \"" + c.value +
                                     "\" не может быть открыт.\n" + c.reason);
        EXPECT_EQ(form->Caption(), caption);
        EXPECT_EQ(form->OpenedTitle, "Вторая");
        EXPECT_EQ(form->ComboBox1->Text(), address);
        EXPECT_EQ(form->Web->LocationName(), "Вторая страница");
    }
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
