// Notes of the main window: add, save, load and remove, the entry they act on (the one opened last,
// or the one the tree's pop-up menu was opened on), and titles that cannot name a note file as they
// are.
#include "BrowseFixture.h"
#include "Clipbrd.h"

#include "MainSearch.h"

using namespace browse;

namespace {

class Notes : public BrowseTest {
protected:
    AnsiString NoteFile(const AnsiString& Name) { return dir / ("FILES\\text\\" + Name); }
    // The titles of the search results, joined by "|".
    std::string Results()
    {
        std::string out;
        for (TTreeNode* n = form->TreeView2->Items()->GetFirstNode(); n; n = n->getNextSibling())
            out += (out.empty() ? "" : "|") + std::string(n->Text());
        return out;
    }
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
    // The main menu's commands act on the selected entry: its "Сохранить" saves the panel's note
    // only while that is the selected entry's.
    form->TreeView1->SetSelected(Node("Вторая"));
    EnableNoteCommands(form);
    EXPECT_FALSE(form->N78->Enabled());
    form->N78Click(form->N78);
    EXPECT_FALSE(FileExists(NoteFile("Первая_VLN.txt")));
    form->TreeView1->SetSelected(Node("Первая"));
    form->N78Click(form->N78);
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "Первая строка\r\nвторая\r\n");
    EXPECT_TRUE(form->ToolButton20->Enabled());

    // Load from a file: the memo only, the note file is written by the next save.
    testkit::WriteFileBytes(dir / "import.txt", "из файла\r\n");
    prompts.AnswerDialog(false);
    form->N79Click(form->N79);
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
    // "Да" while another program holds the file: the note and the panel stay, and the user is told.
    ScriptBoxes(IDYES);
    const HANDLE held = CreateFileA(NoteFile("Первая_VLN.txt").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    form->ToolButton20Click(form->ToolButton20);
    CloseHandle(held);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text.find("Не удалось удалить примечание"), 0u) << boxes[2].text;
    EXPECT_TRUE(FileExists(NoteFile("Первая_VLN.txt")));
    EXPECT_TRUE(form->Panel5->Visible());
    form->ToolButton20Click(form->ToolButton20);
    EXPECT_FALSE(FileExists(NoteFile("Первая_VLN.txt")));
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(form->Splitter3->Visible());
    // A note that is gone already: the panel goes, and only the question was asked.
    form->N75Click(form->N75);
    form->N76Click(form->N76);
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_EQ(boxes.size(), 5u);
}

// A note shown for writing can be saved at once (menu and panel); one typed and not saved is asked
// about when another entry opens or the window closes: "Отмена" stays, "Да" saves, "Нет" drops.
TEST_F(Notes, ATypedNoteCanBeSavedAndIsNeverDroppedWithoutAQuestion)
{
    const AnsiString question = "Примечание не сохранено.\nСохранить его?";
    Open("Первая");
    EXPECT_FALSE(form->N78->Enabled());
    form->N75Click(form->N75);
    EXPECT_TRUE(form->N78->Enabled());
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

    // "Загрузить" asks before the file's text replaces a typed note: "Отмена" keeps it.
    type(" ещё");
    testkit::WriteFileBytes(dir / "import.txt", "из файла\r\n");
    const auto load = [&] {
        prompts.AnswerDialog(true, [&](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = dir / "import.txt"; });
        form->ToolButton19Click(form->ToolButton19);
    };
    ScriptBoxes(IDCANCEL);
    boxes.clear();
    load();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, question);
    EXPECT_EQ(form->Memo1->Lines()->Text(), " ещёнабрано\r\n") << "typed where the note shown put the caret";
    ScriptBoxes(IDNO);
    load();
    EXPECT_EQ(form->Memo1->Lines()->Text(), "из файла\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "набрано\r\n");

    // Ctrl+V of a line the memo cannot lay out in time is refused and the note stays as it was; a
    // short text goes in.
    const auto paste = [&](const AnsiString& text) {
        Clipboard()->SetAsText(text);
        boxes.clear();
        PostMessageA(form->Memo1->Handle(), WM_CHAR, 'V' - '@', 0);
        testkit::PumpPending();
    };
    ScriptBoxes(IDOK);
    paste(AnsiString(20000, 'x'));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("слишком длинные строки"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(form->Memo1->Text(), "из файла\r\n");
    paste("вставка");
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(form->Memo1->Text().find("вставка"), std::string::npos);

    form->Memo1->Lines()->SetText("набрано");
    form->Memo1->SetModified(false);

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

// The pop-up's commands act on the entry it was opened on, never on another one opened before.
TEST_F(Notes, ThePopUpsCommandsActOnItsOwnEntry)
{
    auto* saved = PopupMenuHook;
    PopupMenuHook = [](TPopupMenu*, TControl*, int, int) { return true; };
    AtTearDown([saved] { PopupMenuHook = saved; });
    form->Show();
    TsTreeView* tree = form->TreeView1;
    tree->FullExpand();
    // The pop-up opened on the node (its items enabled for it), as a right click opens it.
    const auto popup = [&](const AnsiString& title) {
        const RECT r = Node(title)->DisplayRect(true);
        const TPoint at = tree->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        tree->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(at.x, at.y));
        std::string on;
        for (TMenuItem* item : {form->N81, form->N82, form->N83, form->N85, form->N86})
            on += item->Enabled() ? '1' : '0';
        return on;
    };
    testkit::WriteFileBytes(NoteFile("Первая_VLN.txt"), "первая\r\n");
    Open("Первая");

    // "Добавить заметки" from B's pop-up opens B; the note typed and saved there is B's.
    EXPECT_EQ(popup("Вторая"), "11001") << "no note to remove, none in the panel to save";
    form->N82Click(form->N82);
    EXPECT_EQ(form->OpenedTitle, "Вторая");
    ASSERT_TRUE(form->Panel5->Visible());
    form->Memo1->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("вторая"));
    EXPECT_EQ(popup("Вторая"), "11011");
    form->N85Click(form->N85);
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Вторая_VLN.txt")), "вторая\r\n");
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Первая_VLN.txt")), "первая\r\n");

    // "Убрать примечание" from A's pop-up removes A's note; B's stays in the panel.
    EXPECT_EQ(popup("Первая"), "11101") << "A's note is not the one in the panel";
    ScriptBoxes(IDYES);
    form->N83Click(form->N83);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, Question);
    EXPECT_FALSE(FileExists(NoteFile("Первая_VLN.txt")));
    EXPECT_TRUE(FileExists(NoteFile("Вторая_VLN.txt")));
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_EQ(form->Memo1->Text(), "вторая");

    // A folder has no note; an entry deleted takes its note out of the panel.
    EXPECT_EQ(popup("Чтение").substr(0, 1), "0");
    popup("Вторая");
    form->N43Click(form->N43);
    EXPECT_FALSE(FileExists(NoteFile("Вторая_VLN.txt")));
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_EQ(form->OpenedTitle, "");
}

// A title that cannot name a file as it is gets its note under a name written for it, always
// inside the note folder; a title too long for any file name is refused at once, in words.
TEST_F(Notes, TitlesThatCannotNameAFileKeepTheirNoteInsideTheNoteFolder)
{
    AnsiString path;
    const TArchive& archive = Archive(form);
    const std::pair<const char*, const char*> names[] = {
        {"..\\x", "..=5Cx"}, {"C:x", "C=3Ax"}, {"a/b", "a=2Fb"}, {"a*b", "a=2Ab"}, {"Что такое C++?", "Что такое C++=3F"},
        {"a\"b", "a=22b"}, {"a<b>", "a=3Cb=3E"}, {"a|b", "a=7Cb"}, {"a\tb", "a=09b"},
    };
    for (const auto& [title, name] : names) {
        ASSERT_TRUE(archive.NotePath(title, path)) << title;
        EXPECT_EQ(path, NoteFile(AnsiString(name) + "_VLN.txt")) << title;
    }
    EXPECT_FALSE(archive.NotePath("", path));
    EXPECT_EQ(path, "");
    ASSERT_TRUE(archive.NotePath("Статья.. с точками", path));
    EXPECT_EQ(path, NoteFile("Статья.. с точками_VLN.txt"));
    // The longest title whose note's name fits both a folder entry (255 characters) and a path
    // (259), and one character more.
    const std::size_t longest = std::min<std::size_t>(255, MAX_PATH - 1 - NoteFile("").size()) - 8;
    ASSERT_TRUE(archive.NotePath(AnsiString(longest, 'x'), path));
    EXPECT_EQ(path, NoteFile(AnsiString(longest, 'x') + "_VLN.txt"));
    EXPECT_FALSE(archive.NotePath(AnsiString(longest + 1, 'x'), path));

    // An article titled "..\x": its note is written, read and removed under its own name; a
    // planted file where the plain name would land is never touched.
    testkit::WriteFileBytes(dir / "FILES\\x_VLN.txt", "чужой файл");
    Archive(form).AddEntry(Node("Чтение"), "..\\x", niArticleNew, "first.html");
    Open("..\\x");
    form->N75Click(form->N75);
    form->Memo1->Lines()->SetText("примечание");
    form->ToolButton17Click(form->ToolButton17);
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("..=5Cx_VLN.txt")), "примечание\r\n");
    Open("Первая");
    Open("..\\x");
    EXPECT_TRUE(form->Panel5->Visible());
    EXPECT_EQ(form->Memo1->Lines()->Text(), "примечание\r\n");
    ScriptBoxes(IDYES);
    form->N76Click(form->N76);
    EXPECT_FALSE(FileExists(NoteFile("..=5Cx_VLN.txt")));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\x_VLN.txt"), "чужой файл");

    // A title no note file can be named after: "Добавить заметки" and "Загрузить" say so at once
    // and show no panel to type into.
    const AnsiString refusal = "Примечание для этой статьи сохранить нельзя: имя файла слишком длинное.";
    const AnsiString title(250, 'д');
    Archive(form).AddEntry(Node("Чтение"), title, niArticleNew, "");
    Open(title);
    boxes.clear();
    form->N75Click(form->N75);
    form->N79Click(form->N79);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, refusal);
    EXPECT_EQ(boxes[1].text, refusal);
    EXPECT_EQ(prompts.Shown.size(), 0u) << "no open dialog";
    EXPECT_FALSE(form->Panel5->Visible());
}

// A delete, a clear and a tree loaded leave nothing acting on what is gone: the note panel, the
// search results, the caption and the entry the note commands act on are the tree's on screen, and
// a new entry of a gone title shows no note of the old one.
TEST_F(Notes, NothingActsOnEntriesThatWent)
{
    testkit::WriteFileBytes(NoteFile("Первая_VLN.txt"), "старое\r\n");
    const auto gone = [&] {
        EXPECT_EQ(form->OpenedTitle, "");
        EXPECT_FALSE(form->Panel5->Visible());
        EXPECT_EQ(form->Caption().find("Первая"), AnsiString::npos) << form->Caption();
        form->Memo1->Lines()->SetText("набрано после");
        form->Memo1->SetModified(true);
        form->ToolButton17Click(form->ToolButton17);
        EXPECT_FALSE(form->ToolButton17->Enabled());
    };
    // Deleted, its result and its note panel go with it.
    Open("Первая");
    ASSERT_TRUE(form->Panel5->Visible());
    SearchWord(*form->TreeView2->Items(), *form->TreeView1->Items(), "а", false, false);
    ASSERT_EQ(Results(), "Первая|Вторая|Пропавшая|Ссылка");
    ScriptBoxes(IDYES);
    form->TreeView1->SetSelected(Node("Первая"));
    form->N12Click(nullptr);
    EXPECT_EQ(Results(), "Вторая|Пропавшая|Ссылка");
    gone();
    EXPECT_FALSE(FileExists(NoteFile("Первая_VLN.txt")));

    // Cleared: the same; an entry of a cleared title starts without a note.
    testkit::WriteFileBytes(NoteFile("Вторая_VLN.txt"), "вторая\r\n");
    Open("Вторая");
    form->N4Click(nullptr);
    EXPECT_EQ(form->TreeView2->Items()->Count(), 0);
    EXPECT_EQ(form->OpenedTitle, "");
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(FileExists(NoteFile("Вторая_VLN.txt")));
    Archive(form).AddEntry(nullptr, "Вторая", niArticleNew, "second.html");
    Open("Вторая");
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_EQ(form->Memo1->Lines()->Count(), 0);

    // Another tree loaded: the typed note of the tree left is not written under the new tree's name.
    testkit::WriteFileBytes(NoteFile("Вторая_VLN.txt"), "вторая\r\n");
    Open("Вторая");
    testkit::WriteFileBytes(dir / "FILES\\tree\\Другое.vlt", logic::PlainTreeFile({{"Вторая", 2, {}}}));
    LoadTree(form, dir / "FILES\\tree\\Другое.vlt");
    EXPECT_EQ(form->OpenedTitle, "");
    EXPECT_FALSE(form->Panel5->Visible());
    form->Memo1->Lines()->SetText("набрано после");
    form->Memo1->SetModified(true);
    form->ToolButton17Click(form->ToolButton17);
    EXPECT_FALSE(FileExists(NoteFile("Вторая_Другое.txt")));
    EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Вторая_VLN.txt")), "вторая\r\n");
}

// The note commands follow one rule wherever they are: the main menu's for the entry selected (by
// the arrows too), as the pop-up's for its entry. A name the host's file names cannot take (a long
// Cyrillic title) and a notes folder that is missing or a file are told in their own words.
TEST_F(Notes, OneRuleForTheNoteCommandsAndTheNotesFolder)
{
    form->TreeView1->SetSelected(Node("Вторая"));
    EnableNoteCommands(form);
    EXPECT_TRUE(form->N74->Enabled());
    EXPECT_TRUE(form->N75->Enabled());
    EXPECT_FALSE(form->N76->Enabled()) << "no note to remove";
    form->N75Click(form->N75);
    EXPECT_EQ(form->OpenedTitle, "Вторая") << "the selected entry opened for its note";
    EXPECT_TRUE(form->Panel5->Visible());
    form->TreeView1->SetSelected(Node("Чтение"));
    EnableNoteCommands(form);
    EXPECT_FALSE(form->N74->Enabled()) << "a folder has no note";

    // 123 Cyrillic letters and "_VLN.txt" take 254 bytes of the host's names; one more, 256.
    AnsiString path, reason;
    EXPECT_TRUE(Archive(form).NotePath(AnsiString(123, 'д'), path));
    EXPECT_FALSE(Archive(form).NotePath(AnsiString(124, 'д'), path, &reason));
    EXPECT_EQ(reason, "имя файла слишком длинное");

    // The notes folder gone: made for the note written; a file in its place: said so.
    const AnsiString folder = dir / "FILES\\text";
    for (const bool file : {false, true}) {
        SCOPED_TRACE(file ? "a file in its place" : "gone");
        WIN32_FIND_DATAA found{};
        if (HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found); h != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
            while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(folder.c_str());
        if (file)
            testkit::WriteFileBytes(folder, "not a folder");
        boxes.clear();
        Open("Вторая");
        form->N75Click(form->N75);
        form->Memo1->Lines()->SetText("заметка");
        form->Memo1->SetModified(true);
        if (!file) {
            form->ToolButton17Click(form->ToolButton17);
            EXPECT_EQ(testkit::ReadFileBytes(NoteFile("Вторая_VLN.txt")), "заметка\r\n");
        } else {
            EXPECT_EQ(testkit::Refusal<Exception>([&] { form->ToolButton17Click(form->ToolButton17); }),
                      "Папка примечаний \"" + folder + "\" не создана: на её месте лежит файл с тем же именем.");
            EXPECT_TRUE(form->Memo1->Modified()) << "the typed note stays";
            DeleteFileA(folder.c_str());
        }
    }
}

} // namespace
