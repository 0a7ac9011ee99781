// Adding entries: the dialogs centred on the main window, their checks and mark codes, browsing
// inside the archive, and Timer1 carrying out additions and updates of links and Flash movies.
#include "LogicFixture.h"

using namespace logic;

namespace {

class AddEntries : public EditingTest {
protected:
    // The next file dialog answers with Path.
    void Choose(const AnsiString& Path)
    {
        prompts.AnswerDialog(true, [Path](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = Path; });
    }
};

TEST_F(AddEntries, TheArticleDialogResetsItsMarkAndHandsOverItsFields)
{
    Form2->ComboBoxEx1->SetItemIndex(3);
    Form2->Edit3->SetText("4");
    form->N80Click(nullptr);
    EXPECT_TRUE(Form2->Visible()) << "modeless";
    EXPECT_EQ(Form2->ComboBoxEx1->ItemIndex(), 0);
    EXPECT_EQ(Form2->Edit3->Text(), "3");

    // The mark items in their order give the codes; the codes give the images.
    const char* codes[] = {"3", "1", "2", "4"};
    for (int i = 0; i < 4; ++i) {
        Form2->ComboBoxEx1->SetItemIndex(i);
        Form2->ComboBoxEx1Change(nullptr);
        EXPECT_EQ(Form2->Edit3->Text(), codes[i]) << i;
    }
    const std::pair<const char*, int> images[] = {{"1", 35}, {"2", 8}, {"3", 2}, {"4", 36}};
    Click("Подкатегория");
    for (const auto& [code, image] : images) {
        Form2->Edit1->SetText(AnsiString("Код ") + code);
        Form2->Edit2->SetText("");
        Form2->Edit3->SetText(code);
        form->PendingAddArticle = true;
        form->Timer1Timer(nullptr);
        ASSERT_NE(Node(AnsiString("Код ") + code), nullptr);
        EXPECT_EQ(Node(AnsiString("Код ") + code)->ImageIndex(), image) << code;
        EXPECT_EQ(Node(AnsiString("Код ") + code)->Parent(), Node("Подкатегория"));
    }
    EXPECT_NE(Map().find("Код 4=\r\n"), std::string::npos) << "an empty file name";
    EXPECT_EQ(StatusText(form), "Количество статей: 10");

    // "Создать" without a title stays; with one it hands over and closes.
    Form2->Edit1->SetText("");
    Form2->Button1Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Введите название");
    EXPECT_TRUE(Form2->Visible());
    EXPECT_FALSE(form->PendingAddArticle);
    // A file typed outside the archive is refused with the browse's message; the dialog stays.
    Form2->Edit1->SetText("Ещё одна");
    Form2->Edit2->SetText("C:\\elsewhere.html");
    Form2->Button1Click(nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Файл должен находиться в папке\n" + archive::AppPath("FILES\\"));
    EXPECT_TRUE(Form2->Visible());
    Form2->Edit2->SetText("");
    Form2->Button1Click(nullptr);
    EXPECT_FALSE(Form2->Visible());
    EXPECT_TRUE(WaitFor([&] { return Node("Ещё одна") != nullptr; }, "Timer1 adds it"));
}

// Every box where a title is typed takes no more than the tree file keeps, and every way a title
// reaches the tree refuses a longer one (set past the box's limit) with the same words.
TEST_F(AddEntries, ATitleTheTreeCannotKeepWholeIsRefusedWhereverItComes)
{
    for (TCustomEdit* edit : {Form2->Edit1, Form5->Edit1, Flash->Edit1, FlashO->Edit1, Form12->Edit1, form->Edit1,
                              Form8->Edit1})
        EXPECT_EQ(edit->MaxLength(), 255) << edit->Owner()->Name() << "." << edit->Name();
    const AnsiString tooLong = "Название слишком длинное: дерево статей хранит не больше 255 знаков.";
    const AnsiString longest(255, 'т'), title(256, 'т');
    const std::string map = Map();
    form->N80Click(nullptr);
    const std::vector<std::pair<TCustomEdit*, std::function<void()>>> ways = {
        {Form2->Edit1, [] { Form2->Button1Click(nullptr); }},
        {Form5->Edit1, [] { Form5->Button1Click(nullptr); }},
        {Flash->Edit1, [] { Flash->Button2Click(nullptr); }},
        {FlashO->Edit1, [] { FlashO->Button2Click(nullptr); }},
        {Form12->Edit1, [] { Form12->Button1Click(nullptr); }},
        {form->Edit1, [&] {
             Click("Прочитанная");
             form->N17Click(nullptr);
             form->Edit1->SetText(title);
             form->Button1Click(nullptr);
         }},
        {nullptr, [&] { // the editor's page placed in the tree
             Form8->WrittenTitle = title;
             form->N72Click(nullptr);
             form->Timer1Timer(nullptr);
         }},
        {nullptr, [&] {
             prompts.AnswerInput(title);
             form->N9Click(nullptr);
             prompts.AnswerInput(title);
             form->N10Click(nullptr);
         }},
    };
    for (const auto& [edit, refuse] : ways) {
        boxes.clear();
        if (edit)
            edit->SetText(title);
        refuse();
        ASSERT_GE(boxes.size(), 1u) << (edit ? edit->Owner()->Name() : AnsiString("other"));
        for (const auto& box : boxes)
            EXPECT_EQ(box.text, tooLong);
    }
    EXPECT_TRUE(Form2->Visible()) << "the dialog stays with the title";
    EXPECT_FALSE(form->PendingAddArticle || form->PendingAddLink || form->PendingAddFlash || form->PendingUpdateFlash ||
                 form->PendingUpdateLink);
    EXPECT_EQ(Map(), map);
    EXPECT_EQ(form->TreeView1->Items()->Count(), 9);

    // The longest title the tree keeps is taken.
    boxes.clear();
    Form2->Edit1->SetText(longest);
    Form2->Button1Click(nullptr);
    ASSERT_TRUE(WaitFor([&] { return Node(longest) != nullptr; }, "Timer1 adds it"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AddEntries, TimerAddsLinksAndMoviesUnderTheSelectedFolderAndClearsEachFlagFirst)
{
    // What every flag was while a refusal was shown.
    std::vector<std::string> flagsAtBox;
    Application->MessageBoxFunc = [&](HWND, const AnsiString& t, const AnsiString&, UINT) {
        boxes.push_back({nullptr, t, "", 0});
        flagsAtBox.push_back(std::string(form->PendingAddArticle ? "A" : "-") + (form->PendingAddFlash ? "F" : "-") +
                             (form->PendingAddLink ? "L" : "-"));
        return IDOK;
    };
    Form2->Edit1->SetText("прочитанная");  // an article's title in other letters
    Flash->Edit1->SetText("Ссылка");       // a link's title
    Form5->Edit1->SetText("Мультик");      // a Flash movie's title
    form->PendingAddArticle = form->PendingAddFlash = form->PendingAddLink = true;
    form->Timer1Timer(nullptr);
    EXPECT_EQ(flagsAtBox, (std::vector<std::string>{"-FL", "--L", "---"}));
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Статья с таким названием уже существует");
    EXPECT_EQ(boxes[1].text, "Название уже существует");
    EXPECT_EQ(boxes[2].text, "Название уже существует");
    EXPECT_EQ(StatusText(form), "Количество статей: 6");

    // Entries go into the selected entry's folder, never below the entry.
    Click("Непрочитанная");
    Flash->Edit1->SetText("Новый мультик");
    Flash->Edit2->SetText("n.swf");
    Form5->Edit1->SetText("Новая ссылка");
    Form5->Edit2->SetText("http://new.example/");
    form->PendingAddFlash = form->PendingAddLink = true;
    form->Timer1Timer(nullptr);
    EXPECT_EQ(Dump(form->TreeView1->Items()).substr(Dump(form->TreeView1->Items()).find("Разное")),
              "Разное/1\n Непрочитанная/36\n Мультик/38\n Ссылка/39\n Новый мультик/38\n Новая ссылка/39\n");
    EXPECT_EQ(Key("FLASH", "Новый мультик"), "n.swf");
    EXPECT_EQ(Key("URL", "Новая ссылка"), "http://new.example/");
    EXPECT_EQ(StatusText(form), "Количество статей: 8");
    EXPECT_FALSE(form->PendingAddFlash || form->PendingAddLink);
}

TEST_F(AddEntries, LinkAndMovieDialogsRefuseAnEmptyTitleAndUpdateTheirOwnNode)
{
    // "OK" without a title.
    Form5->Edit1->SetText("");
    Form5->Button1Click(nullptr);
    Flash->Edit1->SetText("");
    Flash->Button2Click(nullptr);
    FlashO->Edit1->SetText("");
    FlashO->Button2Click(nullptr);
    Form12->Edit1->SetText("");
    Form12->Button1Click(nullptr);
    std::vector<AnsiString> texts;
    for (const auto& b : boxes)
        texts.push_back(b.text);
    EXPECT_EQ(texts, (std::vector<AnsiString>{"Введите название", "Введитие название", "Введитие название",
                                              "Введитие название"}));
    EXPECT_FALSE(form->PendingAddLink || form->PendingAddFlash || form->PendingUpdateFlash || form->PendingUpdateLink);

    // "Свойства" of a link: its fields, then the change goes to that link even when another
    // node is selected by the time the timer acts; its key moves to the new title.
    Click("Ссылка");
    WhileModal(Form12, [&] {
        EXPECT_EQ(Form12->Edit1->Text(), "Ссылка");
        EXPECT_EQ(Form12->Edit2->Text(), "http://example.org/");
        Form12->Edit1->SetText("Сайт");
        Form12->Edit2->SetText("http://site.example/");
        Form12->Button1Click(nullptr);
    });
    form->N17Click(nullptr);
    form->TreeView1->SetSelected(Node("Мультик"));
    ASSERT_TRUE(WaitFor([&] { return Node("Сайт") != nullptr; }, "the link renamed"));
    EXPECT_EQ(Node("Сайт")->ImageIndex(), 39);
    EXPECT_EQ(Key("URL", "Сайт"), "http://site.example/");
    EXPECT_EQ(Key("URL", "Ссылка"), "");
    EXPECT_EQ(Node("Мультик")->Text(), "Мультик");

    // Only the address or the file changed, the title kept: stored under the same title, no box,
    // no second node.
    const int nodes = form->TreeView1->Items()->Count();
    Click("Сайт");
    boxes.clear();
    WhileModal(Form12, [&] {
        Form12->Edit2->SetText("http://other.example/");
        Form12->Button1Click(nullptr);
    });
    form->N17Click(nullptr);
    ASSERT_TRUE(WaitFor([&] { return Key("URL", "Сайт") == "http://other.example/"; }, "the link's new address"));
    Click("Мультик");
    WhileModal(FlashO, [&] {
        FlashO->Edit2->SetText("other.swf");
        FlashO->Button2Click(nullptr);
    });
    form->N96Click(nullptr);
    ASSERT_TRUE(WaitFor([&] { return Key("FLASH", "Мультик") == "other.swf"; }, "the movie's new file"));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(form->TreeView1->Items()->Count(), nodes);
    EXPECT_EQ(Node("Сайт")->ImageIndex(), 39);

    // A Flash movie renamed to another entry's title in other letters is refused; a movie that
    // is gone by the time the timer acts is not looked for.
    Click("Мультик");
    boxes.clear();
    // The dialog refuses it before it closes, and keeps what was typed.
    WhileModal(FlashO, [&] {
        EXPECT_EQ(FlashO->Edit2->Text(), "other.swf");
        FlashO->Edit1->SetText("САЙТ");
        FlashO->Button2Click(nullptr);
        EXPECT_TRUE(FlashO->Visible());
        EXPECT_EQ(FlashO->Edit1->Text(), "САЙТ");
        FlashO->Button3Click(nullptr);
    });
    form->N96Click(nullptr);
    form->Timer1Timer(nullptr); // unless it ticked already
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Название уже существует");
    EXPECT_EQ(Key("FLASH", "САЙТ"), "");
    EXPECT_EQ(Key("URL", "Сайт"), "http://other.example/");

    const std::string map = Map();
    FlashO->Edit1->SetText("Другой");
    form->PendingUpdateFlash = true;
    Node("Мультик")->Delete();
    form->Timer1Timer(nullptr);
    EXPECT_EQ(Map(), map);
    EXPECT_EQ(Node("Другой"), nullptr);
}

TEST_F(AddEntries, DialogsAreCentredOnTheMainWindowWithTheFocusInTheTitle)
{
    // Odd sizes and negative positions: the halves are truncated toward zero.
    form->SetBounds(-101, -51, 901, 651);
    int top = 0, left = 0;
    HWND focus = nullptr;
    WhileModal(Form5, [&] {
        top = Form5->Top();
        left = Form5->Left();
        focus = GetFocus();
        Form5->Button2Click(nullptr);
    });
    form->N94Click(nullptr);
    EXPECT_EQ(top, -51 + 325 - Form5->Height() / 2);
    EXPECT_EQ(left, -101 + 450 - Form5->Width() / 2);
    EXPECT_EQ(focus, Form5->Edit1->Handle());
    EXPECT_FALSE(form->PendingAddLink);

    form->SetBounds(-7, 3, 300, 101);
    WhileModal(Flash, [&] {
        focus = GetFocus();
        Flash->Button3Click(nullptr);
    });
    form->Flash2Click(nullptr);
    EXPECT_EQ(Flash->Top(), 3 + 50 - Flash->Height() / 2);
    EXPECT_EQ(Flash->Left(), -7 + 150 - Flash->Width() / 2);
    EXPECT_EQ(focus, Flash->Edit1->Handle());
    form->N73Click(nullptr);
    EXPECT_EQ(Form2->Left(), -7 + 150 - Form2->Width() / 2);
    EXPECT_TRUE(WaitFor([&] { return GetFocus() == Form2->Edit1->Handle(); }, "the article dialog's title"));
    Form2->Close();

    // An add typed and cancelled from its focused "Отмена" leaves nothing for the next opening,
    // which starts in the title again.
    const struct {
        TForm* Dialog;
        TsEdit *Title, *Value;
        TsButton* Cancel;
        void (TID_Vellorn::*Open)(TObject*);
    } dialogs[] = {{Form5, Form5->Edit1, Form5->Edit2, Form5->Button2, &TID_Vellorn::N31Click},
                   {Flash, Flash->Edit1, Flash->Edit2, Flash->Button3, &TID_Vellorn::Flash1Click}};
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.Dialog->Name());
        for (bool again : {false, true}) {
            AnsiString title = "-", value = "-";
            WhileModal(d.Dialog, [&] {
                focus = GetFocus();
                title = d.Title->Text();
                value = d.Value->Text();
                d.Title->SetText("Отменённая");
                d.Value->SetText("x");
                d.Cancel->SetFocus();
                d.Cancel->Click();
            });
            (form->*d.Open)(nullptr);
            EXPECT_EQ(focus, d.Title->Handle()) << again;
            EXPECT_EQ(title, "");
            EXPECT_EQ(value, "");
        }
    }
    EXPECT_FALSE(form->PendingAddLink || form->PendingAddFlash);
}

TEST_F(AddEntries, BrowsingTakesFilesInsideTheArchiveOnly)
{
    // Without a skin the system's dialog, through the prompt service (the skinned form is driven
    // end to end).
    form->sSkinManager1->SetActive(false);
    Choose(dir / "FILES\\sub\\page.html");
    Form2->Button3Click(nullptr);
    EXPECT_EQ(Form2->Edit2->Text(), "sub\\page.html");
    EXPECT_EQ(Form2->sOpenDialog1->InitialDir, dir / "FILES\\");
    Choose(dir / "files\\Other.HTML");
    Form2->Button3Click(nullptr);
    EXPECT_EQ(Form2->Edit2->Text(), "Other.HTML") << "paths compare without case";
    Choose(dir / "FILES\\FLASH\\movies\\m.swf");
    Flash->Button1Click(nullptr);
    EXPECT_EQ(Flash->Edit2->Text(), "movies\\m.swf");
    EXPECT_TRUE(boxes.empty());

    // Outside: refused with the folder, the box keeps its text.
    Choose(dir / "FILESX\\page.html");
    Form2->Button3Click(nullptr);
    Choose(dir / "FILES\\page.swf");
    FlashO->Button1Click(nullptr);
    Choose(dir / "elsewhere.html");
    form->Button3Click(nullptr);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Файл должен находиться в папке\n" + dir / "FILES\\");
    EXPECT_EQ(boxes[1].text, "Файл должен находиться в папке\n" + dir / "FILES\\FLASH");
    EXPECT_EQ(boxes[2].text, "Файл должен находиться в папке\n" + dir / "FILES\\");
    EXPECT_EQ(Form2->Edit2->Text(), "Other.HTML");

    // A program folder whose own path holds "FILES": the archive is the folder beside the program.
    TExeNameOverride exe(dir / "MYFILES\\FILES\\Vellorn.exe");
    Choose(dir / "MYFILES\\FILES\\FILES\\a.html");
    form->Button3Click(nullptr);
    EXPECT_EQ(form->Edit2->Text(), "a.html");
}

TEST_F(AddEntries, TypedFileNamesAreTakenAsTheEntryWillOpenThemAndRefusedWhenNoFileOfTheArchive)
{
    const AnsiString refusal = "Файл должен находиться в папке\n" + dir / "FILES\\";
    const auto device = [](const AnsiString& name) {
        return "Имя \"" + name + "\" не может быть именем файла: система отдаёт такие имена устройствам (CON, PRN, "
               "AUX, NUL, COM1–COM9, LPT1–LPT9), в том числе с расширением.";
    };
    const struct {
        AnsiString typed, kept; // kept "" : refused
        AnsiString refusal = "";
    } cases[] = {
        {"welcome.html:stream", "", "Имя \"welcome.html:stream\" не может быть именем файла: двоеточие в нём "
                                    "указывает на поток внутри файла."},
        {"CON", "", device("CON")},
        {"nul.html", "", device("nul.html")},
        {"LPT1 ", "", device("LPT1 ")},
        {"sub\\COM9.txt", "", device("sub\\COM9.txt")},
        {"COM10.html", "COM10.html"},
        {"console.html", "console.html"},
        {"page.html", "page.html"},
        {"", ""},
        {"sub\\..\\page.html", "sub\\..\\page.html"},
        {dir / "FILES\\sub\\page.html", "sub\\page.html"},
        {dir / "files\\sub\\..\\page.html", "page.html"},
        {"..\\page.html", ""},
        {"sub\\..\\..\\page.html", ""},
        {".. \\page.html", ""},
        {"\\page.html", ""},
        {"/page.html", ""},
        {dir / "FILES\\", ""},
        {"FILES\\", ""},
        {"sub/", ""},
        {".\\", ""},
        {".", ""},
        {"C:page.html", ""},
        {dir / "FILES\\..\\page.html", ""},
        {dir / "FILESX\\page.html", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const bool taken = !c.kept.empty() || c.typed.empty();
        boxes.clear();
        form->PendingAddArticle = false;
        Form2->Show();
        Form2->Edit1->SetText("Статья");
        Form2->Edit2->SetText(c.typed);
        Form2->Button1Click(nullptr);
        EXPECT_EQ(form->PendingAddArticle, taken);
        EXPECT_EQ(Form2->Visible(), !taken);
        EXPECT_EQ(Form2->Edit2->Text(), taken ? c.kept : c.typed) << "a refused name stays for mending";
        ASSERT_EQ(boxes.size(), taken ? 0u : 1u);
        if (!taken) {
            EXPECT_EQ(boxes[0].text, c.refusal.empty() ? refusal : c.refusal);
        }
    }
    form->PendingAddArticle = false;

    // The property panel and the Flash dialogs refuse alike, each with its own folder.
    Click("Новая статья");
    form->Edit2->SetText("C:\\elsewhere.html");
    boxes.clear();
    form->Button1Click(nullptr);
    EXPECT_EQ(Key("FILES", "Новая статья"), "new.html");
    Flash->Edit1->SetText("Мультик 2");
    Flash->Edit2->SetText("..\\m.swf");
    Flash->Button2Click(nullptr);
    Session(form).PropertiesNode = Node("Мультик"); // the dialog shows its own movie
    FlashO->Edit1->SetText("Мультик");
    FlashO->Edit2->SetText(dir / "FILES\\FLASH\\new\\m.swf");
    FlashO->Button2Click(nullptr);
    EXPECT_FALSE(form->PendingAddFlash);
    EXPECT_TRUE(form->PendingUpdateFlash);
    EXPECT_EQ(FlashO->Edit2->Text(), "new\\m.swf");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, refusal);
    EXPECT_EQ(boxes[1].text, "Файл должен находиться в папке\n" + dir / "FILES\\FLASH");
}

} // namespace
