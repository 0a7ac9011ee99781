// Editing the article tree through the main window: categories, renames with their map keys,
// deletes, clearing, marks, drag and drop, and the menu items enabled by the selected node.
#include "LogicFixture.h"
#include "ProgramRun.h"

#include <commctrl.h>

#include "Menus.h"

using namespace logic;

namespace {

class TreeEdit : public EditingTest {
protected:
    // Renames the node through the tree's own edit box; answers the title it ends with.
    AnsiString Rename(TTreeNode* node, const AnsiString& text)
    {
        form->TreeView1->SetSelected(node);
        form->N15Click(nullptr);
        HWND edit = TreeView_GetEditControl(form->TreeView1->Handle());
        EXPECT_NE(edit, nullptr);
        EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255) << "the box takes what the tree keeps";
        SetWindowTextA(edit, text.c_str());
        node->EndEdit(false);
        return node->Text();
    }
    AnsiString Note(const AnsiString& name) { return dir / ("FILES\\text\\" + name + "_VLN.txt"); }
    TPoint Centre(const AnsiString& title)
    {
        const RECT r = Node(title)->DisplayRect(true);
        return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

TEST_F(TreeEdit, CategoriesAndSubcategoriesAreAddedWithTheirPrompts)
{
    form->PageControl1->SetActivePageIndex(1);
    prompts.AnswerInput("Новости");
    form->N9Click(nullptr);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].Caption, "Введите название категории");
    EXPECT_EQ(prompts.Shown[0].Text, "Новая категория");
    EXPECT_EQ(prompts.Shown[0].Value, "");
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    TTreeNode* added = form->TreeView1->Items()->GetLastTopNode();
    EXPECT_EQ(added->Text(), "Новости");
    EXPECT_EQ(added->ImageIndex(), 0);

    // A folder's title beside it is refused (in other case, with blanks too); an entry's is not;
    // a cancel adds nothing.
    prompts.AnswerInput(" новости ");
    form->N40Click(nullptr);
    prompts.CancelInput();
    form->N9Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Категория с таким названием уже существует");
    EXPECT_EQ(form->TreeView1->Items()->GetLastTopNode(), added);
    prompts.AnswerInput("Мультик ");
    form->N9Click(nullptr);
    EXPECT_EQ(form->TreeView1->Items()->GetLastTopNode()->Text(), "Мультик");

    // A subcategory may repeat a title of another level; it goes into the selected folder, the
    // selected entry's folder, or the top level.
    Click("Разное");
    prompts.AnswerInput("Подкатегория");
    form->N10Click(nullptr);
    EXPECT_EQ(prompts.Shown.back().Caption, "Новая подкатегория");
    EXPECT_EQ(prompts.Shown.back().Text, "Введите название подкатегории");
    EXPECT_EQ(Node("Разное")->GetLastChild()->Text(), "Подкатегория");
    Click("Мультик");
    prompts.AnswerInput("Под статьёй");
    form->N41Click(nullptr);
    EXPECT_EQ(Node("Под статьёй")->Parent(), Node("Разное"));
    form->TreeView1->SetSelected(nullptr);
    prompts.AnswerInput("Наверху");
    form->N10Click(nullptr);
    EXPECT_EQ(form->TreeView1->Items()->GetLastTopNode()->Text(), "Наверху");
}

TEST_F(TreeEdit, RenameMovesTheKeyAndTheNoteAndRefusesTitlesThatClash)
{
    testkit::WriteFileBytes(Note("Новая статья"), "примечание\r\n");
    form->TreeView1->SetSelected(Node("Новая статья"));
    form->TreeView1DblClick(form->TreeView1);

    // A new title: the key and the note move; the opened entry and the caption follow.
    EXPECT_EQ(Rename(Node("Новая статья"), "Что такое C++?"), "Что такое C++?");
    EXPECT_EQ(Key("FILES", "Что такое C++?"), "new.html");
    EXPECT_EQ(Key("FILES", "Новая статья"), "");
    EXPECT_FALSE(FileExists(Note("Новая статья")));
    EXPECT_EQ(testkit::ReadFileBytes(Note("Что такое C++=3F")), "примечание\r\n");
    EXPECT_EQ(form->OpenedTitle, "Что такое C++?");
    EXPECT_NE(form->Caption().find(" -Что такое C++? ("), AnsiString::npos) << form->Caption();
    EXPECT_EQ(Rename(Node("Ссылка"), "Сайт"), "Сайт");
    EXPECT_EQ(Key("URL", "Сайт"), "http://example.org/");
    EXPECT_EQ(Key("URL", "Ссылка"), "");
    // Unchanged: the edit ends quietly.
    EXPECT_EQ(Rename(Node("Что такое C++?"), "Что такое C++?"), "Что такое C++?");
    EXPECT_TRUE(boxes.empty());

    // A read-only note under a free title is not replaced by the renamed entry's note.
    testkit::WriteFileBytes(Note("Чужая"), "чужое\r\n");
    FileSetAttr(Note("Чужая"), faReadOnly);
    const AnsiString taken = "Статья с таким названием уже существует";
    const AnsiString tooLong = "Название слишком длинное: дерево статей хранит не больше 255 знаков.";
    const struct {
        const char* Node;
        AnsiString Text, Message;
    } refused[] = {
        {"Что такое C++?", "ПРОЧИТАННАЯ", taken}, // another article's, in capitals
        {"Что такое C++?", "Сайт", taken},        // a link's
        {"Мультик", "сайт", "Название уже существует"},
        {"Что такое C++?", "a=b", "Недопустимое название"},
        {"Что такое C++?", "[Раздел]", "Недопустимое название"},
        {"Что такое C++?", AnsiString(256, 'д'), tooLong},
        {"Разное", AnsiString(256, 'д'), tooLong},
        // Its note could not follow to a name that long.
        {"Что такое C++?", AnsiString(255, 'д'), "Примечание для этой статьи сохранить нельзя: имя файла слишком длинное."},
        {"Что такое C++?", "Чужая",
         "Не удалось переименовать примечание \"" + Note("Что такое C++=3F") + "\" в \"" + Note("Чужая") +
             "\": Файл доступен только для чтения."},
    };
    for (const auto& c : refused) {
        boxes.clear();
        EXPECT_EQ(Rename(Node(c.Node), c.Text), c.Node) << c.Text;
        ASSERT_EQ(boxes.size(), 1u) << c.Text;
        EXPECT_EQ(boxes[0].text, c.Message) << c.Text;
    }
    EXPECT_EQ(Key("FILES", "a"), "");
    EXPECT_EQ(Key("FILES", "Чужая"), "");
    EXPECT_EQ(Key("FILES", "Что такое C++?"), "new.html");
    EXPECT_EQ(testkit::ReadFileBytes(Note("Что такое C++=3F")), "примечание\r\n");
    FileSetAttr(Note("Чужая"), 0);
    EXPECT_EQ(testkit::ReadFileBytes(Note("Чужая")), "чужое\r\n");

    // Its own title in other letter case keeps its note, a read-only one too; a folder takes any
    // title the tree keeps; an entry without a note any title of 255 characters.
    boxes.clear();
    FileSetAttr(Note("Что такое C++=3F"), faReadOnly);
    EXPECT_EQ(Rename(Node("Что такое C++?"), "ЧТО ТАКОЕ C++?"), "ЧТО ТАКОЕ C++?");
    FileSetAttr(Note("ЧТО ТАКОЕ C++=3F"), 0);
    EXPECT_EQ(testkit::ReadFileBytes(Note("ЧТО ТАКОЕ C++=3F")), "примечание\r\n");
    EXPECT_EQ(Key("FILES", "ЧТО ТАКОЕ C++?"), "new.html");
    EXPECT_EQ(Rename(Node("Разное"), "Прочитанная"), "Прочитанная");
    EXPECT_EQ(Rename(Node("Мультик"), AnsiString(255, 'м')), AnsiString(255, 'м'));
    EXPECT_EQ(Key("FLASH", AnsiString(255, 'м')), "m.swf");
    EXPECT_TRUE(boxes.empty());

    // An empty text cancels, also when another node was clicked last.
    Click("Непрочитанная");
    EXPECT_EQ(Rename(Node("Избранная"), ""), "Избранная");
    EXPECT_EQ(form->ClickedNode, Node("Непрочитанная"));
}

TEST_F(TreeEdit, DeleteRemovesTheKeysAndNotesOfEverythingBelowAndRecounts)
{
    for (const char* title : {"Избранная", "Прочитанная", "Мультик", "Ссылка"})
        testkit::WriteFileBytes(Note(title), title);
    // An entry elsewhere with the title of one that goes (an older archive may have two) keeps its
    // key and note.
    std::vector<N> tree = SampleTree();
    tree[1].kids.push_back({"Прочитанная", 8, {}});
    testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(tree));
    form->Free();
    form = Start();
    ScriptBoxes(IDNO);
    Click("Категория");
    form->N12Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Вы уверены, что хотите удалить?");
    EXPECT_EQ(boxes[0].caption, "Удаление");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_NE(Node("Категория"), nullptr) << "No keeps it";

    // A folder: the keys and notes of the entries below it at every depth go with it.
    ScriptBoxes(IDYES);
    form->N12Click(nullptr);
    EXPECT_EQ(Node("Категория"), nullptr);
    EXPECT_EQ(Node("Избранная"), nullptr);
    EXPECT_EQ(Key("FILES", "Новая статья"), "");
    EXPECT_EQ(Key("FILES", "Избранная"), "");
    EXPECT_FALSE(FileExists(Note("Избранная")));
    EXPECT_EQ(Key("FILES", "Прочитанная"), "read.html");
    EXPECT_TRUE(FileExists(Note("Прочитанная")));
    EXPECT_EQ(StatusText(form), "Количество статей: 4");
    EXPECT_EQ(form->ClickedNode, nullptr);

    // The pop-up's delete: a link and a Flash movie lose their keys and notes.
    Click("Ссылка");
    form->N43Click(nullptr);
    EXPECT_EQ(Key("URL", "Ссылка"), "");
    Click("Мультик");
    form->N43Click(nullptr);
    EXPECT_EQ(Key("FLASH", "Мультик"), "");
    for (const char* gone : {"Ссылка", "Мультик"})
        EXPECT_FALSE(FileExists(Note(gone))) << gone;
    EXPECT_EQ(StatusText(form), "Количество статей: 2");
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "Vellorn");
    EXPECT_EQ(Dump(form->TreeView1->Items()), "Разное/0\n Непрочитанная/36\n Прочитанная/8\n");
}

TEST_F(TreeEdit, ClearingEmptiesTheTreeAndLeavesTheMap)
{
    const std::string map = Map();
    Click("Прочитанная");
    form->N17Click(nullptr);
    ASSERT_TRUE(form->Panel1->Visible());
    ScriptBoxes(IDNO);
    form->N4Click(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Внимание!!!");
    EXPECT_EQ(boxes[0].text, "Вы действительно хотите очистить текущее дерево?\nВостановить данные будет невозможно,\n"
                             "если вы не сохранили текущее дерево.");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(form->TreeView1->Items()->Count(), 9);

    ScriptBoxes(IDYES);
    form->N4Click(nullptr);
    EXPECT_EQ(form->TreeView1->Items()->Count(), 0);
    EXPECT_EQ(form->ArticleCount, 0);
    EXPECT_EQ(StatusText(form), "Количество статей: 0");
    // The entries went with their keys, and the empty tree is on disk at once.
    EXPECT_EQ(Map(), "");
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.vlt"),
              MainTreeFile(form->TreeView1->Width(), form->TreeView1->Height(), {}));
    EXPECT_EQ(form->ClickedNode, nullptr);
    EXPECT_EQ(form->PanelNode, nullptr);
    EXPECT_FALSE(form->Panel1->Visible());
}

TEST_F(TreeEdit, MarksChangeArticlesOnly)
{
    const std::pair<TMenuItem*, int> marks[] = {
        {form->N42, 35}, {form->N55, 2}, {form->N56, 8}, {form->N57, 36},
        {form->N65, 35}, {form->N66, 2}, {form->N67, 8}, {form->N68, 36},
    };
    Click("Прочитанная");
    for (const auto& [item, image] : marks) {
        item->Click();
        EXPECT_EQ(Node("Прочитанная")->ImageIndex(), image) << item->Name();
        EXPECT_EQ(Node("Прочитанная")->SelectedIndex(), image) << item->Name();
    }
    for (const char* other : {"Разное", "Мультик", "Ссылка"}) {
        const int image = Node(other)->ImageIndex();
        form->TreeView1->SetSelected(Node(other));
        form->N42->Click();
        form->N66->Click();
        EXPECT_EQ(Node(other)->ImageIndex(), image) << other;
    }
}

TEST_F(TreeEdit, DragAndDropMovesIntoFoldersOnly)
{
    TsTreeView* tree = form->TreeView1;
    tree->FullExpand();
    const TPoint entry = Centre("Мультик"), folder = Centre("Разное");
    const TPoint empty{entry.x, tree->ClientHeight() - 2};
    ASSERT_EQ(tree->GetNodeAt(empty.x, empty.y), nullptr);
    const struct {
        TPoint At;
        bool Accept;
    } over[] = {{entry, false}, {folder, true}, {empty, true}};
    for (const auto& o : over) {
        bool accept = !o.Accept;
        form->TreeView1DragOver(tree, tree, o.At.x, o.At.y, dsDragMove, accept);
        EXPECT_EQ(accept, o.Accept) << o.At.y;
    }

    tree->SetSelected(Node("Новая статья"));
    form->TreeView1DragDrop(tree, tree, folder.x, folder.y);
    EXPECT_EQ(Node("Разное")->GetLastChild(), Node("Новая статья"));
    form->TreeView1DragDrop(tree, tree, empty.x, empty.y);
    EXPECT_EQ(tree->Items()->GetLastTopNode(), Node("Новая статья"));
    // Never below an entry or below itself.
    form->TreeView1DragDrop(tree, tree, Centre("Мультик").x, Centre("Мультик").y);
    EXPECT_EQ(Node("Новая статья")->Parent(), nullptr);
    tree->SetSelected(Node("Категория"));
    form->TreeView1DragDrop(tree, tree, Centre("Подкатегория").x, Centre("Подкатегория").y);
    EXPECT_EQ(Node("Подкатегория")->Parent(), Node("Категория"));
    EXPECT_EQ(Node("Категория")->Parent(), nullptr);
}

TEST_F(TreeEdit, MenuItemsFollowTheSelectedNode)
{
    const std::vector<TMenuItem*> offWithoutNode = {form->N15, form->N25, form->N41, form->N43, form->N10,
                                                    form->N80, form->N31, form->Flash1, form->N12, form->N17};
    const std::vector<TMenuItem*> onWithNode = {form->N15, form->N25, form->N12, form->N43, form->N17};
    auto enabled = [](const std::vector<TMenuItem*>& items) {
        AnsiString out;
        for (TMenuItem* i : items)
            out += i->Enabled() ? "1" : "0";
        return out;
    };
    form->TreeView1->SetSelected(nullptr);
    ASSERT_TRUE(WaitFor([&] { return enabled(offWithoutNode) == "0000000000"; }, "Timer2 disables"));
    form->N7Click(nullptr);
    EXPECT_FALSE(form->N11->Enabled());
    form->TreeView1->SetSelected(Node("Разное"));
    ASSERT_TRUE(WaitFor([&] { return enabled(onWithNode) == "11111"; }, "Timer2 enables"));
    form->PageControl1->SetActivePageIndex(1);
    ASSERT_TRUE(WaitFor([&] { return enabled(offWithoutNode) == "0000000000"; }, "the results page disables"));
    form->PageControl1->SetActivePageIndex(0);

    // A click on a folder, an article, a link.
    Click("Разное");
    EXPECT_EQ(enabled({form->N10, form->N80, form->N31, form->Flash1, form->N41, form->N11, form->N64}), "1111100");
    Click("Непрочитанная");
    EXPECT_EQ(enabled({form->N10, form->N80, form->N31, form->Flash1, form->N41, form->N76, form->N78, form->N83,
                       form->N85, form->N64, form->N11}),
              "00000000011");
    EXPECT_EQ(form->PanelNode, Node("Непрочитанная"));
    EXPECT_EQ(form->Edit1->Text(), "Непрочитанная");
    EXPECT_EQ(form->Edit2->Text(), "unread.html");
    EXPECT_EQ(form->ComboBoxEx2->ItemIndex(), 3);
    Click("Избранная");
    EXPECT_EQ(form->ComboBoxEx2->ItemIndex(), 0);
    // A mark is set on an article only: the click, the timer and the menu agree on a link and a
    // movie.
    for (const char* entry : {"Ссылка", "Мультик"}) {
        Click(entry);
        EXPECT_EQ(enabled({form->N64, form->N11}), "00") << entry;
        form->Timer2Timer(nullptr);
        form->N7Click(nullptr);
        EXPECT_EQ(enabled({form->N64, form->N11, form->N15, form->N17}), "0011") << entry;
    }
    EXPECT_EQ(form->PanelNode, Node("Избранная")) << "the article panel keeps its article";
    EXPECT_EQ(form->ClickedNode, Node("Мультик"));
}

// The pop-up menu a right click would show.
TPopupMenu* gShown = nullptr;
bool RecordPopup(TPopupMenu* menu, TControl*, int, int)
{
    gShown = menu;
    return true;
}

TEST_F(TreeEdit, RightClickSelectsAndPicksThePopupMenu)
{
    auto* saved = PopupMenuHook;
    PopupMenuHook = &RecordPopup;
    AtTearDown([saved] { PopupMenuHook = saved; });
    TsTreeView* tree = form->TreeView1;
    auto rightClick = [&](TPoint at) {
        gShown = nullptr;
        const TPoint screen = tree->ClientToScreen(at);
        tree->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(screen.x, screen.y));
        return gShown;
    };

    // Empty space: no selection, the entry items and the properties off.
    tree->FullExpand();
    tree->SetSelected(Node("Разное"));
    EXPECT_EQ(rightClick(TPoint{10, tree->ClientHeight() - 2}), form->PopupMenu1);
    EXPECT_EQ(tree->Selected(), nullptr);
    for (TMenuItem* item : {form->N73, form->N96, form->N94, form->Flash2})
        EXPECT_FALSE(item->Enabled()) << item->Name();

    // An article: selected, its marks on, the adding items off, the panel filled.
    EXPECT_EQ(rightClick(Centre("Прочитанная")), form->PopupMenu1);
    EXPECT_EQ(tree->Selected(), Node("Прочитанная"));
    EXPECT_TRUE(form->N64->Enabled());
    EXPECT_FALSE(form->N73->Enabled());
    EXPECT_TRUE(form->N96->Enabled());
    EXPECT_EQ(form->Edit2->Text(), "read.html");

    // After the editor wrote a page: "Выбрать" on a folder places the article there.
    form->PendingPlaceArticle = true;
    EXPECT_EQ(rightClick(Centre("Категория")), form->PopupMenu9);
    EXPECT_FALSE(form->PendingPlaceArticle);
    EXPECT_TRUE(form->N73->Enabled());
    // The page written, not what the editor holds since.
    Form8->WrittenTitle = "Написанная";
    Form8->WrittenFile = "written.html";
    Form8->Edit1->SetText("Другая");
    Form8->Edit4->SetText("other");
    form->N72->Click();
    EXPECT_EQ(Form2->Edit2->Text(), "written.html");
    ASSERT_TRUE(WaitFor([&] { return Node("Написанная") != nullptr; }, "Timer1 adds the article"));
    EXPECT_EQ(Node("Написанная")->Parent(), Node("Категория"));
    EXPECT_EQ(Node("Написанная")->ImageIndex(), 2);
    EXPECT_EQ(Key("FILES", "Написанная"), "written.html");
    EXPECT_EQ(tree->PopupMenu(), form->PopupMenu1);
    EXPECT_EQ(StatusText(form), "Количество статей: 7");
}

} // namespace

namespace {

// A press and release on a node with the real mouse is a click (the menus follow the article
// clicked), not a drag of the node onto itself.
TEST_F(TreeEdit, ARealClickOnANodeIsAClick)
{
    TsTreeView* tree = form->TreeView1;
    tree->FullExpand();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == form->Handle(); }, "the window in front"));
    const TPoint at = tree->ClientToScreen(Centre("Прочитанная"));
    // Each event carries the point, so that no move from where the pointer was comes with the
    // press; the pointer goes back afterwards (later programs of the display meet it where it was).
    POINT was{};
    GetCursorPos(&was);
    AtTearDown([was] { SetCursorPos(was.x, was.y); });
    testkit::SendMouse(POINT{at.x, at.y});
    testkit::SendMouse(POINT{at.x, at.y}, MOUSEEVENTF_LEFTDOWN);
    testkit::SendMouse(POINT{at.x, at.y}, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return form->ClickedNode == Node("Прочитанная"); }, "the click"));
    EXPECT_TRUE(form->N11->Enabled());
    EXPECT_EQ(form->PanelNode, Node("Прочитанная"));
    EXPECT_EQ(Node("Прочитанная")->Parent(), Node("Категория"));
}

bool gTimeUp = false;
void CALLBACK TimeUp(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    gTimeUp = true;
}

// A press on the selected node arms the tree's own title edit for a double-click time later. A
// drag from that press opens no box, nor does a click on another node after it; F2 and a slow
// second click on the selected node still do.
TEST_F(TreeEdit, APressThatDragsOpensNoTitleBoxLater)
{
    TsTreeView* tree = form->TreeView1;
    tree->FullExpand();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == form->Handle(); }, "the window in front"));
    POINT was{};
    GetCursorPos(&was);
    AtTearDown([was] { SetCursorPos(was.x, was.y); });
    auto at = [&](const char* title) {
        const TPoint p = tree->ClientToScreen(Centre(title));
        return POINT{p.x, p.y};
    };
    auto editBox = [&] { return TreeView_GetEditControl(tree->Handle()); };
    // A click, sent again when the display lost it.
    auto clickUntil = [&](const char* title, const std::function<bool()>& done) {
        for (int i = 0; i < 3; ++i) {
            testkit::SendMouse(at(title), MOUSEEVENTF_LEFTDOWN);
            testkit::SendMouse(at(title), MOUSEEVENTF_LEFTUP);
            if (testkit::PumpUntil(done, testkit::kInputLostMs))
                return true;
        }
        return false;
    };
    // Past the double-click time after now: the armed edit has come by then (its timer went first).
    auto waitPastDoubleClick = [&] {
        gTimeUp = false;
        SetTimer(nullptr, 0, GetDoubleClickTime() + 100, &TimeUp);
        ASSERT_TRUE(WaitFor([] { return gTimeUp; }, "the double-click time"));
    };
    const struct {
        const char *Dragged, *Folder;
        bool ClickAfter;
    } drags[] = {{"Новая статья", "Разное", false}, {"Мультик", "Категория", true}};
    for (const auto& d : drags) {
        tree->SetSelected(Node(d.Dragged));
        const POINT from = at(d.Dragged), to = at(d.Folder);
        const POINT half{(from.x + to.x) / 2, (from.y + to.y) / 2};
        testkit::SendMouse(from);
        testkit::SendMouse(from, MOUSEEVENTF_LEFTDOWN);
        // Moves not taken yet merge into one: they go on until the drag holds the mouse.
        bool started = false;
        for (int i = 0; !started && i < 100; ++i) {
            testkit::SendMouse(i % 2 ? to : half);
            started = testkit::PumpUntil([&] { return tree->IsDragging(); }, 300);
        }
        ASSERT_TRUE(started) << "the drag";
        testkit::SendMouse(to, MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(WaitFor([&] { return Node(d.Dragged)->Parent() == Node(d.Folder); }, "the drop"));
        if (d.ClickAfter) {
            ASSERT_TRUE(clickUntil("Ссылка", [&] { return form->ClickedNode == Node("Ссылка"); })) << "the click";
        }
        waitPastDoubleClick();
        EXPECT_EQ(editBox(), nullptr) << d.Dragged;
    }

    // F2 is a shortcut of the menu: the application's loop takes the key.
    keybd_event(VK_F2, 0, 0, 0);
    keybd_event(VK_F2, 0, KEYEVENTF_KEYUP, 0);
    const DWORD start = GetTickCount();
    while (!editBox() && GetTickCount() - start < testkit::kPatienceMs) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_NE(editBox(), nullptr) << "F2 opens the box";
    char text[64] = {};
    GetWindowTextA(editBox(), text, sizeof text);
    EXPECT_STREQ(text, "Ссылка");
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(WaitFor([&] { return editBox() == nullptr; }, "Esc ends the edit"));
    ASSERT_TRUE(clickUntil("Ссылка", [&] { return editBox() != nullptr; })) << "a slow second click on the selected node";
}

} // namespace
