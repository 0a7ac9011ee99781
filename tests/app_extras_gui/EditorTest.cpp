// The article page editor: the page written from the template (compared with pages written by
// hand), the refusals that write nothing, and its settings file.
#include "../app_gui/LogicFixture.h"

#include "FileSteps.h"

#include "Clipbrd.h"
#include "Form8.h"

using namespace logic;

namespace {

class Editor : public MainLogicTest {
protected:
    void SetUp() override
    {
        MainLogicTest::SetUp();
        form = Start();
        editor = MakeForm<TForm8>();
    }

    // Shows the editor and fills it as the user does.
    void Fill(const AnsiString& Title, const AnsiString& Text, const AnsiString& File, const AnsiString& Author,
              const AnsiString& Mail)
    {
        editor->Show();
        editor->Edit1->SetText(Title);
        editor->Memo1->SetText(Text);
        editor->Edit4->SetText(File);
        editor->Edit2->SetText(Author);
        editor->Edit3->SetText(Mail);
    }

    AnsiString Page(const AnsiString& Name) { return dir / ("FILES\\" + Name + ".html"); }

    TID_Vellorn* form = nullptr;
    TForm8* editor = nullptr;
    const AnsiString text = "Первая строка статьи.\r\nВторая строка с <b>разметкой</b>.";
};

TEST_F(Editor, PagesAreWrittenFromTheTemplate)
{
    EXPECT_EQ(editor->N5->Caption() + "|" + editor->N6->Caption() + "|" + editor->N7->Caption(), "Файл|Правка|Помощь");
    Fill("Грибы осенью", text, "griby", "Иван Петров", "ivan@example.org");
    editor->N1Click(editor->N1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(testkit::ReadFileBytes(Page("griby")), testkit::ReadFileBytes(testkit::DataDir() + "editor\\page_with_mail.html"));
    EXPECT_FALSE(editor->Visible());
    EXPECT_TRUE(form->PendingPlaceArticle) << "the tree's menu offers the new page";

    // Without an address the author is plain text; a folder below FILES may hold the page.
    ForceDirectories(dir / "FILES\\sub");
    Fill("Грибы осенью", text, "sub\\plain", "Аноним", "");
    editor->N1Click(editor->N1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(testkit::ReadFileBytes(Page("sub\\plain")), testkit::ReadFileBytes(testkit::DataDir() + "editor\\page_plain.html"));
}

TEST_F(Editor, RefusalsKeepTheEditorOpenAndWriteNothing)
{
    testkit::WriteFileBytes(Page("exists"), "old page");
    // A page of that name in the current folder is no page of the archive.
    testkit::WriteFileBytes(dir / "here.html", "elsewhere");
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(dir.Path().c_str());
    AtTearDown([saved] { SetCurrentDirectoryA(saved); });

    const char* const missing = "Обязательные поля не введены";
    const char* const outside = "Недопустимое имя файла: страница сохраняется только в папке FILES";
    const struct {
        const char *Title, *Text, *File, *Refusal;
    } cases[] = {
        {"", "текст", "a", missing},
        {"Статья", "", "a", missing},
        {"Статья", "текст", "", missing},
        {"Статья", "текст", "exists", "Статья с таким именем уже существует"},
        {"Статья", "текст", "..\\out", outside},
        {"Статья", "текст", "sub/../../out", outside},
        {"Статья", "текст", ".. \\out", outside},
        {"Статья", "текст", "\\out", outside},
        {"Статья", "текст", "C:\\out", outside},
        {"Статья", "текст", "out:stream", outside},
        {"Статья", "текст", "exists.HTML", "Статья с таким именем уже существует"},
        {"Статья", "текст", "nul", "Имя \"nul\" занято устройством системы: выберите для страницы другое имя файла"},
        {"Статья", "текст", "CON.html", "Имя \"CON\" занято устройством системы: выберите для страницы другое имя файла"},
        {"Статья", "текст", "sub\\com1.x", "Имя \"com1.x\" занято устройством системы: выберите для страницы другое имя файла"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        boxes.clear();
        Fill(c.Title, c.Text, c.File, "Аноним", "");
        editor->N1Click(editor->N1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.Refusal);
        EXPECT_TRUE(editor->Visible());
        EXPECT_EQ(editor->Edit4->Text(), c.File) << "the input stays";
    }
    EXPECT_EQ(testkit::ReadFileBytes(Page("exists")), "old page");
    EXPECT_FALSE(FileExists(dir / "out.html"));
    EXPECT_FALSE(FileExists(dir / "FILES\\Settings2.ini"));
    EXPECT_FALSE(form->PendingPlaceArticle);

    Fill("Статья", "текст", "here", "Аноним", "");
    editor->N1Click(editor->N1);
    EXPECT_TRUE(FileExists(Page("here")));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "here.html"), "elsewhere");
}

TEST_F(Editor, SettingsFirstRunDefaultsWrittenOnCreateAndOnClose)
{
    const AnsiString file = dir / "FILES\\Settings2.ini";
    editor->Show();
    EXPECT_EQ(editor->Edit2->Text(), "Аноним");
    EXPECT_EQ(editor->Edit3->Text(), "vellorn@vellorn.example");
    EXPECT_EQ(editor->Memo1->Font()->Name(), "0");
    EXPECT_EQ(editor->Memo1->Font()->Size(), 0);
    EXPECT_EQ(editor->Memo1->Font()->Height(), 0) << "the system's default height";
    EXPECT_EQ(editor->Width(), 400);
    EXPECT_EQ(editor->Height(), 600);

    testkit::FileSteps steps;
    editor->Edit1->SetText("Статья");
    editor->Memo1->SetText("текст");
    editor->Edit4->SetText("page");
    editor->N1Click(editor->N1);
    int writes = 0;
    for (const auto& step : steps.Steps())
        writes += step.kind == testkit::FileStep::Move && step.result == file;
    EXPECT_EQ(writes, 2) << "once by \"Создать\", once by the close";
    EXPECT_EQ(testkit::ReadFileBytes(file), "[AUTOR]\r\nName=Аноним\r\ne-mail=vellorn@vellorn.example\r\n[TEXT]\r\nName=0\r\n"
                                            "Size=0\r\n[FORM]\r\nWidth=400\r\nHeight=600\r\n");

    // The stored values come back at the next show, and the edit boxes follow the width.
    testkit::WriteFileBytes(file, "[AUTOR]\r\nName=Пётр\r\ne-mail=\r\n[TEXT]\r\nName=Arial\r\nSize=12\r\n[FORM]\r\n"
                                  "Width=700\r\nHeight=500\r\n");
    editor->Show();
    EXPECT_EQ(editor->Edit2->Text(), "Пётр");
    EXPECT_EQ(editor->Edit3->Text(), "");
    EXPECT_EQ(editor->Memo1->Font()->Name(), "Arial");
    EXPECT_EQ(editor->Memo1->Font()->Size(), 12);
    EXPECT_EQ(editor->Width(), 700);
    EXPECT_EQ(editor->Height(), 500);
    EXPECT_EQ(editor->Edit1->Width(), 700 - 104);
    EXPECT_EQ(editor->Edit2->Width(), 700 - 47);
    EXPECT_EQ(editor->Edit3->Width(), 700 - 45);
    EXPECT_EQ(editor->Edit4->Width(), 700 - 75);

    // Values that are no numbers, no size the font dialog or a window can have, or that hold a NUL
    // byte count as their defaults: a damaged file never keeps the editor shut or shrunk to its
    // title bar, and the close writes the settings again.
    editor->Hide();
    testkit::WriteFileBytes(file, "[TEXT]\r\nSize=крупный\r\n[FORM]\r\nWidth=широкое\r\nHeight=600\r\n");
    editor->Show();
    EXPECT_EQ(editor->Memo1->Font()->Size(), 0);
    EXPECT_EQ(editor->Width(), 400);
    const struct {
        const char* size;
        Integer points;
    } sizes[] = {{"1", 1}, {"1638", 1638}, {"1639", 0}, {"-1", 0}};
    for (const auto& c : sizes) {
        editor->Hide();
        testkit::WriteFileBytes(file, std::string("[TEXT]\r\nSize=") + c.size + "\r\n");
        editor->Show();
        EXPECT_EQ(editor->Memo1->Font()->Size(), c.points) << c.size;
    }
    editor->Close();
    const char damaged[] = "[AUTOR]\r\nName=Пё\0тр\r\n[TEXT]\r\nName=Ari\0al\r\n[FORM]\r\nWidth=-2147483648\r\nHeight=0\r\n";
    testkit::WriteFileBytes(file, std::string(damaged, sizeof damaged - 1));
    editor->Show();
    EXPECT_EQ(editor->Edit2->Text(), "Аноним");
    EXPECT_EQ(editor->Memo1->Font()->Name(), "0");
    EXPECT_EQ(editor->Width(), 400);
    EXPECT_EQ(editor->Height(), 600);
    editor->Close();
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_EQ(testkit::ReadFileBytes(file), "[AUTOR]\r\nName=Аноним\r\ne-mail=vellorn@vellorn.example\r\n[TEXT]\r\n"
                                            "Name=0\r\nSize=0\r\n[FORM]\r\nWidth=400\r\nHeight=600\r\n");
}

} // namespace

// Settings the editor cannot write (a read-only file) are reported, and the editor closes all the
// same; the file stays as it was.
TEST_F(Editor, SettingsThatCannotBeWrittenNeverKeepTheEditorOpen)
{
    const AnsiString file = dir / "FILES\\Settings2.ini";
    testkit::WriteFileBytes(file, "[AUTOR]\r\nName=Пётр\r\n");
    FileSetAttr(file, faReadOnly);
    editor->Show();
    editor->Close();
    FileSetAttr(file, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Не удалось сохранить настройки редактора в файл \"" + file +
                                 "\": Файл доступен только для чтения.");
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(testkit::ReadFileBytes(file), "[AUTOR]\r\nName=Пётр\r\n");
}

TEST_F(Editor, ClosingWithTextNotWrittenIntoAPageAsksFirst)
{
    const char* const question = "Текст статьи не сохранён.\nЗакрыть редактор?";
    Fill("Статья", "текст", "page", "Аноним", "");
    editor->Memo1->SetModified(true); // as typing leaves it
    // "Выход" and the window's own close ask alike; No keeps the editor and its text.
    ScriptBoxes(IDNO);
    editor->N2Click(editor->N2);
    SendMessageA(editor->Handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(boxes.size(), 2u);
    for (const testkit::BoxCall& box : boxes) {
        EXPECT_EQ(box.text, question);
        EXPECT_EQ(box.caption, "Внимание!!!");
        EXPECT_EQ(box.flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    }
    EXPECT_TRUE(editor->Visible());
    EXPECT_FALSE(FileExists(dir / "FILES\\Settings2.ini")) << "not closed";
    ScriptBoxes(IDYES);
    editor->N2Click(editor->N2);
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(editor->Memo1->Text(), "текст");

    // Once the page is written, or with no text, the editor closes without a question.
    editor->Show();
    editor->N1Click(editor->N1);
    EXPECT_TRUE(FileExists(Page("page")));
    EXPECT_FALSE(editor->Visible());
    editor->Show();
    editor->Memo1->SetText("");
    editor->Memo1->SetModified(true);
    editor->N2Click(editor->N2);
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(Editor, TextAreaFillsTheWindowBelowTheFieldsInEveryLookAndMaximised)
{
    editor->Free();
    for (const char* skin : {"", "Neutral", "Dusk"}) {
        SCOPED_TRACE(*skin ? skin : "no skin");
        form->sSkinManager1->SetActive(*skin != 0);
        if (*skin)
            form->sSkinManager1->SetSkinName(skin);
        // Made under the look, as at start-up, then shown at its stored size and made taller.
        editor = MakeForm<TForm8>();
        editor->Show();
        testkit::PumpPending();
        for (int height : {600, 700}) {
            editor->SetHeight(height);
            testkit::PumpPending();
            EXPECT_EQ(editor->Memo1->BoundsRect(), Rect(0, 114, editor->ClientWidth(), editor->ClientHeight()))
                << "window " << editor->Width() << " x " << editor->Height();
        }
        // Maximised, the fields follow the width as well.
        ShowWindow(editor->Handle(), SW_MAXIMIZE);
        testkit::PumpPending();
        ASSERT_TRUE(IsZoomed(editor->Handle()));
        EXPECT_GE(editor->Edit1->Width(), editor->Width() - 104);
        EXPECT_EQ(editor->Memo1->BoundsRect(), Rect(0, 114, editor->ClientWidth(), editor->ClientHeight()));
        editor->Free();
    }
    editor = nullptr;
}

TEST_F(Editor, TheEditKeysAndCommandsActOnTheFocusedField)
{
    Fill("Заголовок", text, "file", "Иван Петров", "");
    editor->Edit2->SetFocus();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    for (Word key : {Word('A'), Word('X')}) {
        PostMessageA(editor->Edit2->Handle(), WM_KEYDOWN, key, 1);
        Application->ProcessMessages();
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor->Edit2->Text(), "") << "Ctrl+A, Ctrl+X cut the author";
    EXPECT_EQ(editor->Memo1->Text(), text) << "the article text stays";

    // The menu's "Вставить" and "Выделить всё" in the address field.
    editor->Edit3->SetFocus();
    editor->N12->Click();
    editor->N13->Click();
    EXPECT_EQ(editor->Edit3->Text(), "Иван Петров");
    EXPECT_EQ(editor->Edit3->SelLength(), 11);
    EXPECT_EQ(editor->Memo1->Text(), text);

    // A line the text cannot lay out in time is not pasted (it would hold the program for
    // minutes): one box says why and the text stays as it was.
    Clipboard()->SetAsText(AnsiString(20000, 'x'));
    editor->Memo1->SetFocus();
    boxes.clear();
    editor->N12->Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("слишком длинные строки"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(editor->Memo1->Text(), text);
}
