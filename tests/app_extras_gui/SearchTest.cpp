// The title search through its dialog and Timer3, the filtered views of "Показать", the results
// page's counts, and a result's click, double click and Enter.
#include "../app_gui/LogicFixture.h"

#include <tuple>

#include "Form4.h"

using namespace logic;

namespace {

// Every kind once; "Сбор грибов" three folders deep, "Яблоко" at the top level.
std::vector<N> SearchTree()
{
    return {{"Категория",
             0,
             {{"Кошки и собаки", 39, {}},
              {"Ёжик в тумане", 8, {}},
              {"Подкатегория", 0, {{"Глубже", 0, {{"Сбор грибов", 35, {}}}}}}}},
            {"Яблоко", 36, {}},
            {"Мультик про ежа", 38, {}}};
}

class Search : public MainLogicTest {
protected:
    void SetUp() override
    {
        MainLogicTest::SetUp();
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SearchTree()));
        form = Start();
        dialog = MakeForm<TForm4>();
    }

    // Sets the dialog's options as the user does and presses Enter in the query box; the search
    // runs once the key is handled, with the timer's own tick a whole interval away. Answers the
    // titles of the results.
    std::string Find(const AnsiString& Query, bool AnyWord, bool MatchCase = false, bool InFound = false)
    {
        (AnyWord ? dialog->RadioButton3 : dialog->RadioButton2)->SetChecked(true);
        dialog->CheckBox2->SetChecked(MatchCase);
        dialog->CheckBox1->SetChecked(InFound);
        dialog->Edit1->SetText(Query);
        form->Timer3->SetEnabled(false);
        form->Timer3->SetEnabled(true);
        char enter = '\r';
        dialog->Edit1KeyPress(dialog->Edit1, enter);
        EXPECT_TRUE(form->PendingSearch);
        testkit::PumpPending();
        EXPECT_FALSE(form->PendingSearch);
        return Results();
    }

    std::string Results()
    {
        std::string out;
        for (TTreeNode* n = form->TreeView2->Items()->GetFirstNode(); n; n = n->GetNext())
            out += (out.empty() ? "" : "|") + n->Text();
        return out;
    }

    TTreeNode* Node(TTreeNodes* Nodes, const AnsiString& Title)
    {
        for (TTreeNode* n = Nodes->GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == Title)
                return n;
        ADD_FAILURE() << "no node " << Title;
        return nullptr;
    }

    TID_Vellorn* form = nullptr;
    TForm4* dialog = nullptr;
};

TEST_F(Search, WordsLetterCaseAndRepeatedTitles)
{
    // "Поиск статей" opens the dialog with the focus in the query box: the query is typed at once.
    form->N19Click(form->N19);
    testkit::PumpPending();
    EXPECT_TRUE(dialog->Edit1->Focused());
    const struct {
        const char* Query;
        bool AnyWord, MatchCase;
        const char* Found;
    } cases[] = {
        // Any word: each word between single blanks; "ё" is its own letter with its own capital.
        {"кош ёж", true, false, "Кошки и собаки|Ёжик в тумане"},
        // Doubled and trailing blanks make empty words, which find nothing.
        {"кош  ёж ", true, false, "Кошки и собаки|Ёжик в тумане"},
        // A title found by two words is listed once; folders never are.
        {"о кош", true, false, "Кошки и собаки|Сбор грибов|Яблоко|Мультик про ежа"},
        {"категория", true, false, ""},
        // All words: the query as one piece of text.
        {"ябл", false, false, "Яблоко"},
        {"ки и со", false, false, "Кошки и собаки"},
        {"кошки собаки", false, false, ""},
        {"кошки", false, true, ""},
        {"Кошки", false, true, "Кошки и собаки"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Query);
        boxes.clear();
        dialog->Hide();
        const std::string found = Find(c.Query, c.AnyWord, c.MatchCase);
        EXPECT_EQ(found, c.Found);
        const int count = form->TreeView2->Items()->Count();
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
        EXPECT_EQ(StatusText(form), "Найденных статей: " + IntToStr(count));
        EXPECT_FALSE(form->N3->Enabled()) << "no saving while the results show";
        if (count == 0) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Cтатей не найдено");
            EXPECT_TRUE(dialog->Visible()) << "the dialog comes back";
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_FALSE(dialog->Visible());
        }
    }

    // Back on the articles page, by its tab or by a command that shows the tree, the count of
    // the tree and saving return.
    form->PageControl1->SetActivePageIndex(0);
    form->PageControl1Change(form->PageControl1);
    EXPECT_EQ(StatusText(form), "Количество статей: 5");
    EXPECT_TRUE(form->N3->Enabled());
    Find("Ябл", false);
    form->N92Click(form->N92);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(StatusText(form), "Количество статей: 5");
    EXPECT_TRUE(form->N3->Enabled());
}

TEST_F(Search, InFoundKeepsTheResultsThatHaveTheWord)
{
    EXPECT_EQ(Find("о", true), "Кошки и собаки|Сбор грибов|Яблоко|Мультик про ежа");
    EXPECT_EQ(Find("К", true, false, true), "Кошки и собаки|Яблоко|Мультик про ежа");
    // All words in the results ignore the case box.
    EXPECT_EQ(Find("ЯБЛ", false, true, true), "Яблоко");

    EXPECT_EQ(Find("о", true), "Кошки и собаки|Сбор грибов|Яблоко|Мультик про ежа");
    EXPECT_EQ(Find("К", true, true, true), "Кошки и собаки");
    EXPECT_TRUE(boxes.empty());

    // An empty word occurs in no title, so in the results it leaves none: the trailing blank of
    // an any-word query, or an empty query of all words.
    EXPECT_EQ(Find("собаки ", true, false, true), "");
    EXPECT_EQ(Find("о", true), "Кошки и собаки|Сбор грибов|Яблоко|Мультик про ежа");
    EXPECT_EQ(Find("", false, false, true), "");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Cтатей не найдено");
}

TEST_F(Search, TheArrowKeysChooseTheKindOfQuery)
{
    dialog->Show();
    for (auto [from, key, any] : {std::tuple{dialog->RadioButton2, VK_DOWN, 1}, std::tuple{dialog->RadioButton3, VK_UP, 0}}) {
        from->SetFocus();
        PostMessageA(from->Handle(), WM_KEYDOWN, key, 1);
        Application->ProcessMessages();
        EXPECT_EQ(form->SearchAnyWord, any);
        EXPECT_EQ(form->SearchAllWords, 1 - any);
    }
}

TEST_F(Search, FiltersShowTheEntriesOfOneMark)
{
    TTreeNodes* tree = form->TreeView1->Items();
    const struct {
        void (TID_Vellorn::*Filter)(TObject*);
        const char* Found;
    } found[] = {
        {&TID_Vellorn::N58Click, "Сбор грибов"},   {&TID_Vellorn::N60Click, "Ёжик в тумане"},
        {&TID_Vellorn::N61Click, "Яблоко"},        {&TID_Vellorn::Flash3Click, "Мультик про ежа"},
        {&TID_Vellorn::N38Click, "Кошки и собаки"},
    };
    for (const auto& f : found) {
        form->PageControl1->SetActivePageIndex(0);
        (form->*f.Filter)(nullptr);
        EXPECT_EQ(Results(), f.Found);
        EXPECT_EQ(form->TreeView2->Items()->GetFirstNode()->ImageIndex(),
                  Node(tree, f.Found)->ImageIndex());
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
    }
    EXPECT_TRUE(boxes.empty());

    // None found: the message; "Новые" leaves the page as it is, the others go back to the tree.
    form->N59Click(nullptr);
    EXPECT_EQ(Results(), "");
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
    Node(tree, "Яблоко")->Delete();
    form->N61Click(nullptr);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(StatusText(form), "Количество статей: 5");
    form->PageControl1->SetActivePageIndex(1);
    Node(tree, "Мультик про ежа")->Delete();
    form->Flash3Click(nullptr);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Статей не найдено");
    EXPECT_EQ(boxes[1].text, "Статей не найдено");
    EXPECT_EQ(boxes[2].text, "Не найдено");
}

TEST_F(Search, AResultIsShownInTheTreeAndOpened)
{
    Find("гриб Ябл", true);
    TTreeNodes* results = form->TreeView2->Items();

    // Three folders deep: every folder above it opens.
    form->TreeView2->SetSelected(Node(results, "Сбор грибов"));
    form->TreeView2Click(form->TreeView2);
    TTreeNode* deep = Node(form->TreeView1->Items(), "Сбор грибов");
    EXPECT_EQ(form->TreeView1->Selected(), deep);
    for (TTreeNode* folder = deep->Parent(); folder; folder = folder->Parent())
        EXPECT_TRUE(folder->Expanded()) << folder->Text();

    // At the top level there is no folder to open.
    form->TreeView2->SetSelected(Node(results, "Яблоко"));
    form->TreeView2Click(form->TreeView2);
    EXPECT_EQ(form->TreeView1->Selected(), Node(form->TreeView1->Items(), "Яблоко"));

    form->TreeView2DblClick(form->TreeView2);
    EXPECT_EQ(form->Caption(), "Vellorn - Яблоко");
    form->TreeView2->SetSelected(Node(results, "Сбор грибов"));
    char other = 'x';
    form->TreeView2KeyPress(form->TreeView2, other);
    EXPECT_EQ(form->Caption(), "Vellorn - Яблоко") << "only Enter opens";
    char enter = '\r';
    form->TreeView2KeyPress(form->TreeView2, enter);
    EXPECT_EQ(form->Caption(), "Vellorn - Сбор грибов");
}

} // namespace
