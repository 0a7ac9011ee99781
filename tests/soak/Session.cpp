#include "Session.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "../app_gui/LogicFixture.h"
#include "GuiTest.h"
#include "Driver.h"
#include "Model.h"

namespace soak {

namespace {

constexpr int PageCount = 6;
const char* const Yes = "&Да";
const char* const No = "&Нет";
const char* const Cancel = "Отмена";

class Session {
public:
    Session(unsigned Seed, const Avoid& A) : seed_(Seed), rng_(Seed), avoid_(A), driver_(dir_.Path()) {}

    Outcome Run(int Actions);

private:
    // --- randomness -----------------------------------------------------------------------
    int Pick(int n) { return n <= 1 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <class T>
    const T& OneOf(const std::vector<T>& v) { return v[Pick(static_cast<int>(v.size()))]; }

    // --- bookkeeping ----------------------------------------------------------------------
    void Log(const std::string& line) { log_.push_back("#" + std::to_string(step_) + " " + line); }
    bool Fail(const std::string& what)
    {
        if (divergence_.empty()) {
            divergence_ = "action #" + std::to_string(step_) + ": " + what;
            // What the screen showed then, beside the log.
            testkit::SaveScreenshot("soak-" + std::to_string(seed_) + ".png");
        }
        return false;
    }
    // A title no node has: mostly words and a number, some with characters no file name holds.
    std::string Fresh(const char* kind)
    {
        const int n = ++titles_;
        switch (Pick(8)) {
        case 0:
            return std::string("Что такое ") + kind + " " + std::to_string(n) + "?";
        case 1:
            return std::string(kind) + " \"" + std::to_string(n) + "\"";
        default:
            return std::string(kind) + " " + std::to_string(n);
        }
    }
    std::vector<std::string> Folders() { return model_.Titles(true, false); }
    std::vector<std::string> Entries() { return model_.Titles(false, true); }
    // The articles (but the one titled But).
    std::vector<std::string> Articles(const std::string& But = {})
    {
        std::vector<std::string> out;
        for (const std::string& t : Entries())
            if (IsArticle(model_.Find(t)->image) && t != But)
                out.push_back(t);
        return out;
    }
    std::string NoteOfMemo() const { return memo_.empty() ? "" : memo_ + "\r\n"; }
    // The note box shows Text (as Shown, when not just so), a change not yet saved.
    bool NoteChanged(const std::string& Text, const std::string& Shown = "")
    {
        const std::string want = Shown.empty() ? Text : Shown;
        if (!testkit::WaitUntil([&] { return testkit::WindowText(driver_.NoteBox()) == want; }))
            return Fail("the note box shows \"" + testkit::WindowText(driver_.NoteBox()) + "\", not \"" + want + "\"");
        memo_ = Text;
        memoModified_ = true;
        return Check();
    }

    // --- checks ---------------------------------------------------------------------------
    // After an action: no box left, the program's tree is the model's.
    bool Check()
    {
        if (!driver_.Settle())
            return Fail("the program does not answer");
        if (const auto boxes = driver_.Boxes(); !boxes.empty())
            return Fail("a box nobody expected: " + Driver::BoxText(boxes[0]));
        if (!driver_.TreeBecomes(model_.tree))
            return Fail("the tree shows\n" + Show(driver_.LiveTree()) + "expected\n" + Show(model_.tree));
        return true;
    }
    // A box comes whose caption or buttons hold Part (its message is drawn, no window holds it);
    // answered with Button.
    bool Expect(const std::string& Part, const std::string& Button)
    {
        HWND box = driver_.WaitBox();
        if (!box)
            return Fail("no box \"" + Part + "\" came");
        const std::string text = Driver::BoxText(box);
        if (text.find(Part) == std::string::npos && !(Part == "OK" && text.find("ОК") != std::string::npos))
            return Fail("a box \"" + text + "\" came, not \"" + Part + "\"");
        Log("  answered \"" + Button + "\" to \"" + Part + "\"");
        return driver_.Answer(box, Button) || Fail("the box \"" + text + "\" has no \"" + Button + "\" or stays");
    }
    // The question about a typed note, when one was typed for the entry opened last: answered at
    // random; false when the answer was "Отмена" (the program stays as it was).
    bool NoteQuestion(bool& Stayed)
    {
        Stayed = false;
        if (!memoModified_)
            return true;
        const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
        if (!Expect("Отмена", answer))
            return false;
        if (answer == Yes)
            model_.notes[opened_] = NoteOfMemo();
        if (answer == Cancel)
            Stayed = true;
        else
            memoModified_ = false;
        return true;
    }
    // A dialog ended by Enter or Esc (typed at once) or by a click on its OK or "Отмена".
    bool Confirm(HWND Dialog, bool Ok)
    {
        if (Chance(50))
            return driver_.Click(Dialog, Ok ? "OK" : "Отмена") || Fail(driver_.Error());
        Driver::Key(Ok ? VK_RETURN : VK_ESCAPE);
        return testkit::WaitUntil([&] { return !IsWindow(Dialog) || !IsWindowVisible(Dialog); }) ||
               Fail(std::string("the dialog stays after ") + (Ok ? "Enter" : "Esc"));
    }
    // A title refused by the dialog that OK was pressed in: the refusal comes with the dialog still
    // there, which keeps the title typed; Esc then drops it.
    bool RefusedInDialog(HWND Dialog, const std::string& Title)
    {
        if (!Expect("OK", "OK"))
            return false;
        if (!IsWindowVisible(Dialog))
            return Fail("the dialog went with the refused title");
        const auto edits = Driver::Children(Dialog, "Edit");
        if (edits.empty() || testkit::WindowText(edits[0]) != Title)
            return Fail("the dialog does not keep the refused title");
        if (!testkit::WaitUntil([&] { return GetForegroundWindow() == Dialog; }))
            return Fail("the dialog does not come back after the refusal");
        Driver::Key(VK_ESCAPE);
        return testkit::WaitUntil([&] { return !IsWindow(Dialog) || !IsWindowVisible(Dialog); }) ||
               Fail("the dialog stays after Esc");
    }
    // The tree's pop-up on the node, by a right click or by Shift+F10 (the node selected first).
    // Quiet: the command changes nothing the next step waits for (a note saved, a mark it had).
    bool Popup(const std::string& Title, const std::vector<WORD>& Keys, bool Quiet = false)
    {
        const bool byKeys = Chance(30) && !avoid_.keysPopup;
        if (byKeys)
            Log("  the pop-up by Shift+F10");
        return driver_.Popup(Title, Keys, byKeys, Quiet) || Fail(driver_.Error());
    }
    // The dialog with the caption, in front.
    HWND Dialog(const std::string& Caption)
    {
        HWND w = driver_.Window(Caption);
        if (!w)
            Fail("no window \"" + Caption + "\" came");
        return w;
    }

    // --- actions --------------------------------------------------------------------------
    bool AddCategory();
    bool AddSubcategory();
    bool AddArticle();
    bool AddLink();
    bool Rename();
    bool Delete();
    bool Mark();
    bool Open();
    bool TypeNote();
    bool SaveNote();
    bool RemoveNote();
    bool ChooseSkin();
    // Entries' own dialogs and panels, the note from a file, the page editor, the address box.
    bool AddFlash();
    bool Properties();
    bool LoadNote();
    bool WritePage();
    bool TypeAddress();
    // The editor's settings as its close or save writes them (Settings2.ini).
    std::string EditorSettings() const;
    // The dialog in front of the main window with the keyboard in it (a file dialog: the name box).
    HWND ForeignFocus();
    // Waits until the map holds the value for the title (a change that shows nowhere else).
    bool MapHolds(const char* Section, const std::string& Title, const std::string& Value);
    // The entry's properties applied to the model: the key and the note follow the title, as a
    // rename's do.
    void Retitled(const std::string& Old, const std::string& Title, const std::string& Value);

    // The archive's files: the settings dialog, trees saved, loaded and cleared, the title search.
    bool Settings();
    bool SaveTree();
    bool LoadTree();
    bool ClearTree();
    bool SearchTitle();
    // Where "Загрузить дерево" opens a tree, as settings.ini says.
    bool NewWindow() const { return model_.settings.find("TreeOpen=false") == std::string::npos; }
    // A command by Way: Ctrl+Key, its item of the menu bar's menu at Menu (Item downs) or the tree
    // panel's tool button at Button.
    bool Command(int Way, WORD Key, int Menu, int Item, int Button);
    // The system's file dialog, once it is in front with the keyboard in its name box.
    HWND FileDialog();
    // The name typed in the file dialog and Enter; the dialog gone.
    bool TypeFileName(HWND Dialog, const std::string& Name);
    // The save dialog that came answered: a fresh name, or Esc. Saved tells which.
    bool SaveAs(bool& Saved);
    // The second program that a tree opened in a new window starts, its caption starting with
    // Caption: its message that the archive is open elsewhere answered when Told, closed by its
    // close box.
    bool SecondProgram(const std::string& Caption, bool Told = false);

    // Where the close comes: anywhere; behind typed keys (only a typed close keeps its place
    // behind them, a posted one would overtake them); in a rename; with a dialog open (whose
    // keys are the dialog's).
    enum class At { Any, AfterKeys, InRename, InDialog };
    // Closes by one of the user's ways; answers the questions at random. Done is set when the
    // program has ended (then the files are compared and it starts again).
    bool Close(bool& Done, At Where = At::Any, bool Again = true);
    bool Restart();
    bool CloseAndStart()
    {
        bool done = false;
        return Close(done);
    }
    // The entry opened as Enter opens it, with the model's opened entry, note and address list.
    void Opened(const std::string& Title);

    unsigned seed_;
    std::mt19937 rng_;
    Avoid avoid_;
    testkit::TempDir dir_;
    Driver driver_;
    Model model_;
    std::vector<std::string> log_;
    std::string divergence_;
    int step_ = 0, titles_ = 0;
    // The entry opened last, and the note panel's text (one line) and whether it was typed.
    std::string opened_, memo_;
    // The copies of a tree made for a second program on it ("Temp (2)", ...).
    int copies_ = 0;
    bool memoModified_ = false;
    // The page editor's author field as the program keeps it, its text (kept while the program
    // runs), and whether text typed in the open editor is unsaved (a close asks about it).
    std::string author_ = "Аноним", editorText_;
    bool editorTyped_ = false;
    // The properties panel left open with a change not applied (a close asks about it): the
    // entry's title and the title and file typed.
    std::vector<std::string> panelEdit_;
};

void Session::Opened(const std::string& Title)
{
    opened_ = Title;
    const std::string note = model_.notes.count(Title) ? model_.notes[Title] : "";
    memo_ = note.substr(0, note.find('\r'));
    memoModified_ = false;
    // An entry the map has no key for (a tree loaded without its map) opens the folder's name.
    const auto& files = model_.map["FILES"];
    const auto file = files.find(Title);
    const std::string page = dir_.Path() + "FILES\\" + (file == files.end() ? "" : file->second);
    const auto same = [&](const std::string& line) { return AnsiSameText(line, page); };
    if (std::none_of(model_.list.begin(), model_.list.end(), same))
        model_.list.push_back(page);
}

bool Session::AddCategory()
{
    const auto all = model_.Titles(true, true);
    // A taken title: a category's (no two rows alike beside each other).
    std::vector<std::string> categories;
    for (const Node& n : model_.tree)
        if (IsFolder(n.image))
            categories.push_back(n.title);
    const int how = Pick(10);
    const std::string title = how == 0 && !categories.empty() ? OneOf(categories) : Fresh("Категория");
    const bool byKeys = all.empty() || Chance(50);
    Log("add category \"" + title + "\" by " + (byKeys ? "Shift+Insert" : "the pop-up") +
        (how == 1 ? ", cancelled" : ""));
    if (byKeys) {
        // Insert is the note box's key when it has the keyboard: the tree takes it first.
        if (all.empty() ? !driver_.FocusTree() : !driver_.Select(OneOf(all)))
            return Fail(driver_.Error());
        Driver::Key(VK_INSERT, VK_SHIFT);
    } else if (!Popup(OneOf(all), {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND box = Dialog("Введите название категории");
    if (!box)
        return false;
    if (!driver_.Fill(box, {title}))
        return Fail(driver_.Error());
    if (!Confirm(box, how != 1))
        return false;
    if (how == 1)
        return Check();
    // A folder's title is refused beside a folder of that title, an entry's is not.
    if (std::any_of(model_.tree.begin(), model_.tree.end(),
                    [&](const Node& n) { return IsFolder(n.image) && n.title == title; }))
        return Expect("OK", "OK") && Check();
    model_.tree.push_back(Node{title, imFolder, {}});
    return Check();
}

bool Session::AddSubcategory()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), title = Fresh("Подкатегория");
    const bool byKeys = Chance(50);
    Log("add sub-category \"" + title + "\" to \"" + folder + "\" by " + (byKeys ? "Ctrl+Insert" : "the pop-up"));
    if (byKeys) {
        if (!driver_.Select(folder))
            return Fail(driver_.Error());
        Driver::Key(VK_INSERT, VK_CONTROL);
    } else if (!Popup(folder, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND box = Dialog("Новая подкатегория");
    if (!box)
        return false;
    if (!driver_.Fill(box, {title}))
        return Fail(driver_.Error());
    if (!Confirm(box, true))
        return false;
    model_.Find(folder)->kids.push_back(Node{title, imFolder, {}});
    return Check();
}

bool Session::AddArticle()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const auto entries = Entries();
    const int how = Pick(12);
    const bool taken = how == 0 && !entries.empty(), cancel = how == 1;
    const bool ahead = how >= 10 && !avoid_.closeTypeahead;
    const std::string folder = OneOf(folders), title = taken ? OneOf(entries) : Fresh("Статья");
    const std::string page = "soak" + std::to_string(1 + Pick(PageCount)) + ".html";
    const bool byKeys = Chance(50);
    Log("add article \"" + title + "\" (" + page + ") to \"" + folder + "\" by " + (byKeys ? "Insert" : "the pop-up") +
        (cancel ? ", cancelled" : "") + (ahead ? ", a close typed ahead" : ""));
    if (byKeys) {
        if (!driver_.Select(folder))
            return Fail(driver_.Error());
        Driver::Key(VK_INSERT);
    } else if (!Popup(folder, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND dialog = Dialog("Добавление статьи");
    if (!dialog)
        return false;
    if (!driver_.Fill(dialog, {title, page}))
        return Fail(driver_.Error());
    Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
    // The tree stays as it was: the dialog gone tells that the key was read (the next step's
    // posted messages would overtake it).
    if (cancel)
        return (testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
                Fail("the dialog stays after Esc")) &&
               Check();
    if (taken)
        return RefusedInDialog(dialog, title) && Check();
    model_.Find(folder)->kids.push_back(Node{title, imNew, {}});
    model_.map["FILES"][title] = page;
    if (ahead) {
        bool done = false;
        return Close(done, At::AfterKeys);
    }
    return Check();
}

bool Session::AddLink()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), title = Fresh("Ссылка");
    const std::string address = "http://soak.example/" + std::to_string(titles_);
    const bool ahead = Chance(15) && !avoid_.closeTypeahead;
    Log("add link \"" + title + "\" to \"" + folder + "\" by the pop-up" + (ahead ? ", a close typed ahead" : ""));
    if (!Popup(folder, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
        return false;
    HWND dialog = Dialog("Создание ссылки");
    if (!dialog)
        return false;
    if (!driver_.Fill(dialog, {title, address}))
        return Fail(driver_.Error());
    Driver::Key(VK_RETURN);
    model_.Find(folder)->kids.push_back(Node{title, imLink, {}});
    model_.map["URL"][title] = address;
    if (ahead) {
        bool done = false;
        return Close(done, At::AfterKeys);
    }
    return Check();
}

bool Session::Rename()
{
    const auto all = model_.Titles(true, true);
    if (all.empty())
        return AddCategory();
    const std::string old = OneOf(all);
    Node* node = model_.Find(old);
    const bool folder = IsFolder(node->image);
    const auto entries = Entries();
    // What is typed: a new title mostly; the same; another entry's; one longer than the tree keeps.
    const int what = Pick(20);
    std::string title = Fresh(folder ? "Папка" : "Название");
    if (what == 0)
        title = old;
    else if (what == 1 && !folder && entries.size() > 1)
        while ((title = OneOf(entries)) == old) {
        }
    else if (what == 2)
        title = std::string(300, 'д');
    const bool cancel = what == 3, atClose = what == 4 && !avoid_.renameAtClose;
    const int way = Pick(3);
    static const char* const ways[] = {"F2", "the pop-up", "the menu"};
    Log("rename \"" + old + "\" to \"" + title.substr(0, 40) + "\" by " + ways[way] +
        (cancel ? ", Esc" : atClose ? ", closed while typing" : ""));
    bool started = false;
    if (way == 0)
        started = driver_.Select(old) && (Driver::Key(VK_F2), true);
    else if (way == 1)
        started = Popup(old, {VK_DOWN, VK_RETURN});
    else
        started = driver_.Select(old) && driver_.MenuBar(1, {VK_DOWN, VK_RETURN});
    HWND edit = nullptr;
    if (!started || !testkit::WaitUntil([&] { return (edit = driver_.LabelEdit()) != nullptr; }))
        return Fail(std::string("no rename box came") + (started ? "" : ": " + driver_.Error()));
    Driver::SetText(edit, title);
    const auto rename = [&] {
        node->title = title;
        if (folder)
            return;
        const char* section = SectionOf(node->image);
        model_.map[section][title] = model_.map[section][old];
        model_.map[section].erase(old);
        if (model_.notes.count(old)) {
            model_.notes[title] = model_.notes[old];
            model_.notes.erase(old);
        }
        if (opened_ == old)
            opened_ = title;
    };
    if (atClose) {
        rename();
        bool done = false;
        return Close(done, At::InRename);
    }
    Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
    // The tree stays as it was: the rename box gone tells that the key was read.
    if (cancel || what == 0)
        return (testkit::WaitUntil([&] { return !driver_.LabelEdit(); }) ||
                Fail(std::string("the rename box stays after ") + (cancel ? "Esc" : "Enter"))) &&
               Check();
    if (title.size() > 255)
        return Expect("OK", "OK") && Check();
    if (!folder && what == 1 && entries.size() > 1)
        return Expect("OK", "OK") && Check();
    rename();
    return Check();
}

bool Session::Delete()
{
    const auto all = model_.Titles(true, true);
    if (all.empty())
        return AddCategory();
    const std::string title = OneOf(all);
    const bool byKeys = Chance(50), yes = Chance(70);
    Log("delete \"" + title + "\" by " + (byKeys ? "Ctrl+Del" : "the pop-up") + ", answered " + (yes ? "Да" : "Нет"));
    if (byKeys) {
        if (!driver_.Select(title))
            return Fail(driver_.Error());
        Driver::Key(VK_DELETE, VK_CONTROL);
    } else if (!Popup(title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    if (!Expect("Удаление", yes ? Yes : No))
        return false;
    if (yes) {
        // The entry opened last goes with its subtree: nothing is open for the notes then.
        std::function<bool(const Node&)> holds = [&](const Node& n) {
            return n.title == opened_ || std::any_of(n.kids.begin(), n.kids.end(), holds);
        };
        if (!opened_.empty() && holds(*model_.Find(title))) {
            opened_.clear();
            memo_.clear();
            memoModified_ = false;
        }
        model_.Remove(title);
    }
    return Check();
}

bool Session::Mark()
{
    const auto articles = Articles();
    if (articles.empty())
        return AddArticle();
    const std::string title = OneOf(articles);
    static const int images[] = {imFavourite, imNew, imRead, imUnread};
    static const char* const names[] = {"Избранная", "Новая", "Прочитанная", "Непрочитанная"};
    const int mark = Pick(4);
    Log("mark \"" + title + "\" as " + names[mark] + " by the pop-up");
    std::vector<WORD> keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT};
    keys.insert(keys.end(), mark, VK_DOWN);
    keys.push_back(VK_RETURN);
    if (!Popup(title, keys, model_.Find(title)->image == images[mark]))
        return Fail(driver_.Error());
    model_.Find(title)->image = images[mark];
    return Check();
}

bool Session::Open()
{
    const auto articles = Articles(opened_);
    if (articles.empty())
        return AddArticle();
    const std::string title = OneOf(articles);
    Log("open \"" + title + "\" by Enter");
    if (!driver_.Select(title))
        return Fail(driver_.Error());
    Driver::Key(VK_RETURN);
    bool stayed = false;
    if (!NoteQuestion(stayed))
        return false;
    if (!stayed) {
        Opened(title);
        const auto shows = [&](const std::string& caption) {
            return caption.find(" - " + title + " -") != std::string::npos ||
                   caption.find(" -" + title + " (") != std::string::npos;
        };
        if (!testkit::WaitUntil([&] { return shows(driver_.Caption()); }))
            return Fail("the caption shows \"" + driver_.Caption() + "\", not the entry opened");
    }
    return Check();
}

bool Session::TypeNote()
{
    const auto articles = Articles();
    if (articles.empty())
        return AddArticle();
    // On the entry opened last, or on another (the pop-up's entry opens first).
    const std::string title = model_.Has(opened_) && Chance(40) ? opened_ : OneOf(articles);
    const std::string text = "заметка " + std::to_string(++titles_);
    Log("note \"" + text + "\" typed for \"" + title + "\" from its pop-up");
    if (!Popup(title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}))
        return false;
    if (title != opened_) {
        bool stayed = false;
        if (!NoteQuestion(stayed))
            return false;
        if (stayed)
            return Check();
        Opened(title);
    }
    // The note box is found anew at each look: a change of skin makes it anew.
    HWND memo = nullptr;
    if (!testkit::WaitUntil([&] {
            memo = driver_.NoteBox();
            return memo && driver_.Focus() == memo;
        }))
        return Fail("the note box did not take the keyboard");
    SendMessageA(memo, EM_SETSEL, 0, -1);
    for (const char c : text)
        PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(c), 0);
    return NoteChanged(text);
}

bool Session::SaveNote()
{
    const auto articles = Articles();
    if (articles.empty())
        return AddArticle();
    // The entry opened last when a note was typed for it; else any (its pop-up saves nothing then).
    const std::string title = memoModified_ && model_.Has(opened_) && Chance(70) ? opened_ : OneOf(articles);
    if (title == opened_ && !memoModified_)
        return Check();
    Log("save the note of \"" + title + "\" from its pop-up");
    if (!Popup(title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN}, true))
        return false;
    if (title == opened_) {
        model_.notes[title] = NoteOfMemo();
        memoModified_ = false;
    }
    return Check();
}

bool Session::RemoveNote()
{
    std::vector<std::string> noted;
    for (const auto& [title, text] : model_.notes)
        if (model_.Has(title)) // a cleared tree's notes stay without their entries
            noted.push_back(title);
    if (noted.empty())
        return TypeNote();
    const std::string title = OneOf(noted);
    const bool yes = Chance(70);
    Log("remove the note of \"" + title + "\" from its pop-up, answered " + (yes ? "Да" : "Нет"));
    if (!Popup(title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}))
        return false;
    if (!Expect("Внимание!!!", yes ? Yes : No))
        return false;
    if (yes) {
        model_.notes.erase(title);
        if (title == opened_)
            memoModified_ = false;
    }
    return Check();
}

bool Session::ChooseSkin()
{
    // "Вид" > "Интерфейс": a click on another skin of the list previews it; then "OK" keeps it,
    // "Отмена" or Esc goes back, and a close with the chooser open keeps the skin accepted last.
    const int how = Pick(10);
    const bool ok = how < 4, atClose = how >= 7;
    // The main window's title, which a skin draws in its colour.
    const auto title = [&] {
        HDC dc = GetWindowDC(driver_.Main());
        const COLORREF c = GetPixel(dc, 300, 8);
        ReleaseDC(driver_.Main(), dc);
        return c;
    };
    // The look the chooser opens on, in front: a close of the chooser without "OK" brings it back
    // at the program's next skin tick, and the next action waits for that (a skin's change makes
    // controls anew, the note box among them).
    if (!driver_.ToFront() || !driver_.Settle())
        return Fail("the main window is not in front");
    const COLORREF shown = title();
    const auto lookBack = [&] {
        return testkit::WaitUntil([&] { return GetForegroundWindow() == driver_.Main() && title() == shown; }) ||
               Fail("the look the chooser opened on did not come back");
    };
    if (!driver_.MenuBar(2, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
        return Fail(driver_.Error());
    HWND chooser = Dialog("Интерфейс");
    if (!chooser)
        return false;
    const auto lists = Driver::Children(chooser, "ListBox");
    if (lists.empty())
        return Fail("the skin chooser has no list");
    HWND list = lists[0];
    // The list is found anew at each look: the preview's skin may make it anew.
    const auto selected = [&] {
        const auto now = Driver::Children(chooser, "ListBox");
        return now.empty() ? -1 : static_cast<int>(SendMessageA(now[0], LB_GETCURSEL, 0, 0));
    };
    std::vector<int> others;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i)
        if (i != selected())
            others.push_back(i);
    if (others.empty())
        return Fail("the skin chooser lists no other skin");
    const int index = OneOf(others);
    // The system carries list box texts (as wide text) and rectangles between processes itself.
    wchar_t wide[256] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
    char name[256] = {};
    WideCharToMultiByte(1251, 0, wide, -1, name, sizeof name - 1, nullptr, nullptr);
    Log(std::string("preview skin \"") + name + "\" in the chooser, then " +
        (ok ? "OK" : atClose ? "a close with the chooser open" : "cancelled"));
    const COLORREF before = title();
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    // A spot apart from the last click: two clicks at one spot in a row are a double click.
    POINT p{item.left + (item.right - item.left) / 4, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    if (driver_.NearLastClick(p))
        p.x += (item.right - item.left) / 2;
    if (!driver_.ClickAt(p) || !driver_.Park())
        return Fail(driver_.Error());
    if (!testkit::WaitUntil([&] { return selected() == index && title() != before; }))
        return Fail(std::string("the skin \"") + name + "\" is not previewed");
    if (atClose) {
        bool done = false;
        if (!Close(done, At::InDialog))
            return false;
        if (done)
            return true;
        // The close stayed (its question answered "Отмена"): the chooser is still open.
        if (!IsWindowVisible(chooser))
            return Fail("the skin chooser closed with a close that stayed");
        return (driver_.Click(chooser, "Отмена") || Fail(driver_.Error())) && lookBack() && Check();
    }
    if (!Confirm(chooser, ok))
        return false;
    if (ok)
        model_.skin = name;
    return (ok || lookBack()) && Check();
}

HWND Session::ForeignFocus()
{
    HWND focus = nullptr;
    testkit::WaitUntil([&] {
        focus = driver_.Focus();
        HWND root = focus ? GetAncestor(focus, GA_ROOT) : nullptr;
        return root && root != driver_.Main() && GetForegroundWindow() == root && testkit::Answers(root);
    });
    return focus && GetAncestor(focus, GA_ROOT) != driver_.Main() ? focus : nullptr;
}

bool Session::MapHolds(const char* Section, const std::string& Title, const std::string& Value)
{
    return testkit::WaitUntil([&] {
               return ParseIni(testkit::ReadFileBytes(dir_.Path() + "FILES\\tree\\" + model_.archive + ".ini"))[Section]
                                                                                                             [Title] == Value;
           }) ||
           Fail("the map's [" + std::string(Section) + "] does not give \"" + Title + "\" the value \"" + Value + "\"");
}

std::string Session::EditorSettings() const
{
    // The font and size are written back as the editor read them with no settings ("0"), and its
    // size as it opens: the session changes neither.
    return "[AUTOR]\r\nName=" + author_ + "\r\ne-mail=vellorn@vellorn.example\r\n[TEXT]\r\nName=0\r\nSize=0\r\n"
           "[FORM]\r\nWidth=400\r\nHeight=600\r\n";
}

bool Session::AddFlash()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    // Mostly a fresh title; some another entry's, which the program refuses.
    const auto entries = Entries();
    const bool taken = !entries.empty() && Chance(10);
    const std::string folder = OneOf(folders), title = taken ? OneOf(entries) : Fresh("Мультик");
    const std::string movie = "movie" + std::to_string(++titles_) + ".swf";
    testkit::WriteFileBytes(dir_.Path() + "FILES\\FLASH\\" + movie, "FWS");
    const bool byMenu = Chance(40), cancel = Chance(10);
    Log("add Flash movie \"" + title + "\" (" + movie + ") to \"" + folder + "\" by " +
        (byMenu ? "the menu" : "the pop-up") + (cancel ? ", cancelled" : ""));
    const std::vector<WORD> keys = {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    if (byMenu) {
        if (!driver_.Select(folder) || !driver_.MenuBar(1, keys))
            return Fail(driver_.Error());
    } else if (!Popup(folder, keys)) {
        return false;
    }
    HWND dialog = Dialog("Flash");
    if (!dialog)
        return false;
    if (!driver_.Fill(dialog, {title, movie}))
        return Fail(driver_.Error());
    if (taken && !cancel) {
        Driver::Key(VK_RETURN);
        return RefusedInDialog(dialog, title) && Check();
    }
    if (!Confirm(dialog, !cancel))
        return false;
    if (cancel)
        return Check();
    model_.Find(folder)->kids.push_back(Node{title, imFlash, {}});
    model_.map["FLASH"][title] = movie;
    return Check();
}

bool Session::Properties()
{
    const auto entries = Entries();
    if (entries.empty())
        return AddFlash();
    const std::string old = OneOf(entries);
    Node* node = model_.Find(old);
    const int image = node->image;
    const char* section = SectionOf(image);
    // Cancelled; the same title with a new file or address; another entry's title, which the
    // program refuses; a new title (with a new value or not).
    const int how = Pick(10);
    const bool cancel = how < 2, byMenu = Chance(30), taken = how == 5 && entries.size() > 1;
    bool atClose = !cancel && !taken && IsArticle(image) && Chance(20);
    std::string title = how < 5 ? old : Fresh("Свойство");
    while (taken && (title = OneOf(entries)) == old) {
    }
    // Read without adding a key: an entry may have none (a tree loaded again brings back entries
    // whose keys went since).
    const auto& values = model_.map[section];
    const auto known = values.find(old);
    const std::string stored = known == values.end() ? "" : known->second;
    std::string value = stored;
    if (how < 5 || Chance(50)) {
        if (IsArticle(image)) {
            value = "soak" + std::to_string(1 + Pick(PageCount)) + ".html";
        } else if (image == imLink) {
            value = "http://soak.example/p" + std::to_string(++titles_);
        } else {
            value = "movie" + std::to_string(++titles_) + ".swf";
            testkit::WriteFileBytes(dir_.Path() + "FILES\\FLASH\\" + value, "FWS");
        }
    }
    // A panel showing the entry's own values has nothing for a close to ask about.
    atClose = atClose && (title != old || value != stored);
    Log("properties of \"" + old + "\" by " + (byMenu ? "the menu" : "the pop-up") + ": \"" + title + "\", \"" +
        value + "\"" + (cancel ? ", cancelled" : atClose ? ", a close with the panel open" : ""));
    const std::vector<WORD> keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    if (byMenu) {
        if (!driver_.Select(old) || !driver_.MenuBar(1, keys))
            return Fail(driver_.Error());
    } else if (!Popup(old, keys)) {
        return false;
    }
    if (IsArticle(image)) {
        // The side panel, its title box holding the keyboard; Enter applies it, Esc drops it.
        HWND edit = nullptr;
        if (!testkit::WaitUntil([&] {
                edit = driver_.Focus();
                return edit && testkit::WindowClass(edit).find("Edit") != std::string::npos &&
                       testkit::WindowText(edit) == old;
            }))
            return Fail("the properties panel did not take the keyboard");
        const auto edits = Driver::Children(GetParent(edit), "Edit");
        if (edits.size() < 2 || edits[0] != edit)
            return Fail("the properties panel has no file box below its title");
        Driver::SetText(edit, title);
        Driver::SetText(edits[1], value);
        if (!testkit::Answers(driver_.Main()))
            return Fail("the program does not answer");
        if (atClose) {
            panelEdit_ = {old, title, value};
            bool done = false;
            if (!Close(done))
                return false;
            if (done)
                return true;
            // The close stayed: the change is dropped by Esc in the panel.
            panelEdit_.clear();
            if (!testkit::WaitUntil([&] { return driver_.Focus() == edit; }))
                return Fail("the properties panel lost the keyboard");
        }
        if (taken) {
            // Refused: the panel keeps what was typed until Esc drops it.
            Driver::Key(VK_RETURN);
            if (!Expect("OK", "OK") || !testkit::WaitUntil([&] { return driver_.Focus() == edit; }))
                return Fail("the properties panel lost the keyboard after the refusal");
        }
        Driver::Key(cancel || atClose || taken ? VK_ESCAPE : VK_RETURN);
        if (!testkit::WaitUntil([&] { return !IsWindowVisible(edit); }))
            return Fail("the properties panel stays");
        if (atClose || taken)
            return Check();
    } else {
        HWND dialog = Dialog(image == imFlash ? "Свойства Flash" : "Свойства ссылки");
        if (!dialog)
            return false;
        if (!driver_.Fill(dialog, {title, value}))
            return Fail(driver_.Error());
        Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
        if (taken && !cancel)
            return RefusedInDialog(dialog, title) && Check();
        if (!testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
            return Fail("the properties dialog stays");
    }
    if (cancel)
        return Check();
    Retitled(old, title, value);
    return MapHolds(section, title, value) && Check();
}

void Session::Retitled(const std::string& Old, const std::string& Title, const std::string& Value)
{
    Node* node = model_.Find(Old);
    const char* section = SectionOf(node->image);
    node->title = Title;
    model_.map[section].erase(Old);
    model_.map[section][Title] = Value;
    if (Title != Old && model_.notes.count(Old)) {
        model_.notes[Title] = model_.notes[Old];
        model_.notes.erase(Old);
    }
    if (opened_ == Old)
        opened_ = Title;
}

bool Session::LoadNote()
{
    const auto articles = Articles();
    if (articles.empty())
        return AddArticle();
    // The entry opened last, while the tree still has it (a clear keeps it open without a node).
    const std::string title = model_.Has(opened_) && Chance(40) ? opened_ : OneOf(articles);
    const std::string text = "загружено " + std::to_string(++titles_);
    const std::string file = dir_.Path() + "note" + std::to_string(titles_) + ".txt";
    testkit::WriteFileBytes(file, text + "\r\n");
    Log("note loaded for \"" + title + "\" from " + file + " by its pop-up");
    const bool typed = title == opened_ && memoModified_;
    if (!Popup(title, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}))
        return false;
    if (title != opened_) {
        bool stayed = false;
        if (!NoteQuestion(stayed))
            return false;
        if (stayed)
            return Check();
        Opened(title);
    }
    // The open dialog, its name box holding the keyboard: the file's full name and Enter.
    HWND name = ForeignFocus();
    if (!name)
        return Fail("no open dialog came");
    HWND dialog = GetAncestor(name, GA_ROOT);
    Driver::SetText(name, file);
    if (!testkit::Answers(dialog))
        return Fail("the open dialog does not answer");
    Driver::Key(VK_RETURN);
    if (!testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        return Fail("the open dialog stays");
    if (typed) {
        // The note typed before: kept, dropped, or the load given up.
        const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
        if (!Expect("Отмена", answer))
            return false;
        if (answer == Cancel)
            return Check();
        if (answer == Yes)
            model_.notes[opened_] = NoteOfMemo();
    }
    // The file's last line break shows as an empty last line (the note saved has none more).
    return NoteChanged(text, text + "\r\n");
}

bool Session::WritePage()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), title = Fresh("Своя статья");
    const std::string page = "page" + std::to_string(titles_);
    const std::string typedPage = Chance(50) ? page + ".html" : page;
    const std::string author = Chance(30) ? "Автор " + std::to_string(titles_) : author_;
    const std::string text = "текст " + std::to_string(titles_);
    const bool byKey = Chance(50), atClose = Chance(30);
    Log("page \"" + title + "\" (" + typedPage + ") by " + author + " written in the editor opened by " +
        (byKey ? "F5" : "the menu") + (atClose ? ", closed with the editor open" : ", chosen into \"" + folder + "\""));
    if (byKey) {
        if (!driver_.Select(folder))
            return Fail(driver_.Error());
        Driver::Key(VK_F5);
    } else if (!driver_.MenuBar(5, {VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND editor = Dialog("Создание статьи");
    if (!editor)
        return false;
    // The boxes from the top: author, e-mail, file name, title; the text below them.
    const auto edits = Driver::Children(editor, "Edit");
    const auto memos = Driver::Children(editor, "Memo");
    if (edits.size() < 4 || memos.empty())
        return Fail("the editor has " + std::to_string(edits.size()) + " boxes and no text");
    if (testkit::WindowText(edits[0]) != author_)
        return Fail("the editor's author is \"" + testkit::WindowText(edits[0]) + "\", not \"" + author_ + "\"");
    Driver::SetText(edits[0], author);
    Driver::SetText(edits[2], typedPage);
    Driver::SetText(edits[3], title);
    // The text of the editor's last use is still there: typed over.
    if (testkit::WindowText(memos[0]) != editorText_)
        return Fail("the editor's text shows \"" + testkit::WindowText(memos[0]) + "\", not \"" + editorText_ + "\"");
    SendMessageA(memos[0], EM_SETSEL, 0, -1);
    for (const char c : text)
        PostMessageA(memos[0], WM_CHAR, static_cast<unsigned char>(c), 0);
    if (!testkit::WaitUntil([&] { return testkit::WindowText(memos[0]) == text; }))
        return Fail("the editor's text shows \"" + testkit::WindowText(memos[0]) + "\"");
    author_ = author;
    editorText_ = text;
    // The editor's "Файл" menu by keys: "Создать" writes the page, "Выход" closes the editor.
    const auto editorMenu = [&](int Item) {
        PostMessageA(editor, WM_SYSCOMMAND, SC_KEYMENU, 0);
        for (int i = 0; i <= Item; ++i)
            PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    };
    const auto closed = [&] {
        return testkit::WaitUntil([&] { return !IsWindowVisible(editor); }) || Fail("the editor stays");
    };
    if (atClose) {
        if (!driver_.ToFront())
            return Fail("the main window is not in front");
        editorTyped_ = true;
        bool done = false;
        const bool ok = Close(done);
        if (!ok || done) {
            editorTyped_ = false;
            return ok;
        }
        // The close stayed: the editor is left by "Выход", its text given up.
        SetForegroundWindow(editor);
        if (!testkit::WaitUntil([&] { return GetForegroundWindow() == editor; }))
            return Fail("the editor does not come to the front");
        editorMenu(1);
        editorTyped_ = false;
        if (!Expect("Внимание!!!", Yes) || !closed())
            return false;
        model_.settings2 = EditorSettings();
        return Check();
    }
    editorMenu(0);
    if (!closed())
        return false;
    model_.settings2 = EditorSettings();
    // A close before the page is chosen leaves it out of the tree.
    if (Chance(15)) {
        bool done = false;
        if (!Close(done))
            return false;
        if (done)
            return true;
    }
    // The page written, the tree's next pop-up offers "Выбрать": the article goes into the folder.
    if (!Popup(folder, {VK_DOWN, VK_RETURN}))
        return false;
    model_.Find(folder)->kids.push_back(Node{title, imNew, {}});
    model_.map["FILES"][title] = page + ".html";
    return Check();
}

bool Session::TypeAddress()
{
    // A page the session makes, its address typed whole or as a name under FILES.
    const std::string n = std::to_string(++titles_), name = "adres" + n + ".html";
    testkit::WriteFileBytes(dir_.Path() + "FILES\\" + name,
                            "<html><head><title>Адрес " + n + "</title></head></html>");
    const std::string typed = Chance(50) ? dir_.Path() + "FILES\\" + name : name;
    Log("address \"" + typed + "\" typed, Enter");
    if (!driver_.ToFront())
        return Fail("the main window is not in front");
    HWND edit = nullptr;
    for (HWND combo : testkit::VisibleWindows(driver_.Main(), 0, "ComboBox"))
        if (const auto edits = testkit::VisibleWindows(combo, 0, "Edit"); !edits.empty())
            edit = edits[0];
    if (!edit)
        return Fail("no address box");
    // A click puts the keyboard in the box (no key of the program leads there).
    RECT r{};
    GetWindowRect(edit, &r);
    POINT p{r.left + 10, (r.top + r.bottom) / 2};
    if (driver_.NearLastClick(p))
        p.x += 20;
    if (!driver_.ClickAt(p) || !driver_.Park())
        return Fail(driver_.Error());
    if (!testkit::WaitUntil([&] { return driver_.Focus() == edit; }))
        return Fail("the address box did not take the keyboard");
    Driver::SetText(edit, typed);
    if (!testkit::Answers(driver_.Main()))
        return Fail("the program does not answer");
    Driver::Key(VK_RETURN);
    if (!testkit::WaitUntil([&] { return driver_.Caption().find("(Адрес " + n + ")") != std::string::npos; }))
        return Fail("the caption shows \"" + driver_.Caption() + "\", not the page typed");
    // The address list gains only the pages of entries opened: a typed address is not kept.
    return Check();
}

bool Session::Settings()
{
    // "Сервис" > "Настройки": the option by a click on its radio button (no key chooses one), then
    // OK or cancelled; OK writes settings.ini.
    const bool newWindow = Chance(50), ok = Chance(60);
    Log(std::string("settings: trees open in ") + (newWindow ? "a new window" : "this window") +
        (ok ? ", OK" : ", cancelled"));
    if (!driver_.MenuBar(5, {VK_DOWN, VK_DOWN, VK_RETURN}))
        return Fail(driver_.Error());
    HWND dialog = Dialog("Настройки");
    if (!dialog)
        return false;
    HWND option = testkit::ChildWithText(
        dialog, "RadioButton", newWindow ? "Открывать деревья в новом окне" : "Открывать деревья в одном окне ");
    if (!option)
        return Fail("the settings have no such option");
    RECT r{};
    GetWindowRect(option, &r);
    // The pointer moved away once the program has taken the click (the skin's button keeps its
    // check to itself: OK's file tells).
    if (!driver_.ClickAt(POINT{r.left + 8, (r.top + r.bottom) / 2}) || !driver_.Park())
        return Fail(driver_.Error());
    if (!Confirm(dialog, ok))
        return false;
    if (ok) {
        model_.settings = std::string("[OPEN_TREE]\r\nTreeOpen=") + (newWindow ? "true" : "false") + "\r\n";
        const std::string file = dir_.Path() + "FILES\\settings.ini";
        if (!testkit::WaitUntil([&] { return testkit::ReadFileBytes(file) == model_.settings; }))
            return Fail("settings.ini holds \"" + testkit::ReadFileBytes(file) + "\", expected \"" + model_.settings +
                        "\"");
    }
    return Check();
}

bool Session::Command(int Way, WORD Key, int Menu, int Item, int Button)
{
    if (Way == 0) {
        if (!driver_.ToFront())
            return Fail("the main window is not in front");
        Driver::Key(Key, VK_CONTROL);
        return true;
    }
    std::vector<WORD> keys(static_cast<size_t>(Item), VK_DOWN);
    keys.push_back(VK_RETURN);
    return (Way == 1 ? driver_.MenuBar(Menu, keys) : driver_.TreeBarButton(Button)) || Fail(driver_.Error());
}

HWND Session::FileDialog()
{
    HWND found = nullptr;
    testkit::WaitUntil([&] {
        HWND front = GetForegroundWindow(), focus = driver_.Focus();
        DWORD pid = 0;
        GetWindowThreadProcessId(front, &pid);
        found = pid == driver_.Pid() && testkit::WindowClass(front) == "#32770" && focus &&
                        GetAncestor(focus, GA_ROOT) == front && testkit::WindowClass(focus) == "Edit" &&
                        testkit::Answers(front)
                    ? front
                    : nullptr;
        return found != nullptr;
    });
    if (!found)
        Fail("no file dialog came");
    return found;
}

bool Session::TypeFileName(HWND Dialog, const std::string& Name)
{
    HWND edit = driver_.Focus();
    Driver::SetText(edit, Name);
    if (testkit::WindowText(edit) != Name)
        return Fail("the file dialog's name box shows \"" + testkit::WindowText(edit) + "\"");
    Driver::Key(VK_RETURN);
    return testkit::WaitUntil([&] { return !IsWindow(Dialog) || !IsWindowVisible(Dialog); }) ||
           Fail("the file dialog stays after Enter");
}

bool Session::SaveAs(bool& Saved)
{
    Saved = false;
    HWND dialog = FileDialog();
    if (!dialog)
        return false;
    if (Chance(15)) {
        Log("  the save dialog cancelled by Esc");
        Driver::Key(VK_ESCAPE);
        return testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
               Fail("the save dialog stays after Esc");
    }
    const std::string name = (Chance(50) ? "Дерево " : "tree") + std::to_string(++titles_);
    Log("  saved as \"" + name + "\"");
    if (!TypeFileName(dialog, name))
        return false;
    // The tree with its folders as they are, the working map copied, and each note of the tree's
    // name copied for the new name.
    model_.saved[name] = {model_.tree, model_.map};
    model_.otherNotes[name] = model_.notes;
    Saved = true;
    const std::string files = dir_.Path() + "FILES\\";
    std::string missing;
    const bool written = testkit::WaitUntil([&] {
        missing = "tree\\" + name + ".vlt";
        const auto tree = ParseTreeFile(testkit::ReadFileBytes(files + missing));
        if (!tree || Closed(*tree) != model_.tree)
            return false;
        missing = "tree\\" + name + ".ini";
        if (GetFileAttributesA((files + missing).c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        for (const auto& [title, text] : model_.notes) {
            missing = "text\\" + NoteName(title) + "_" + name + ".txt";
            if (testkit::ReadFileBytes(files + missing) != text)
                return false;
        }
        return true;
    });
    return written || Fail(missing + " is not written as saved");
}

bool Session::SaveTree()
{
    static const char* const ways[] = {"Ctrl+S", "Файл > Сохранить дерево", "its tool button"};
    const int way = Pick(3);
    Log(std::string("save the tree by ") + ways[way]);
    bool saved = false;
    return Command(way, 'S', 0, 1, 0) && SaveAs(saved) && Check();
}

bool Session::LoadTree()
{
    // The working tree file, or a tree this session saved: the model knows them.
    std::vector<std::string> files = {"Temp"};
    for (const auto& [name, saved] : model_.saved)
        files.push_back(name);
    static const char* const ways[] = {"Ctrl+L", "Файл > Загрузить дерево", "its tool button"};
    const int way = Pick(3);
    const std::string file = OneOf(files);
    const bool newWindow = NewWindow(), working = file == "Temp";
    // The working tree file goes by the name form.ini gives it.
    const std::string name = working ? model_.workingName : file;
    Log("load the tree file \"" + file + ".vlt\" by " + ways[way] +
        (newWindow ? " in a new window" : " in this window"));
    if (!Command(way, 'L', 0, 2, 1))
        return false;
    HWND dialog = FileDialog();
    if (!dialog || !TypeFileName(dialog, file + ".vlt"))
        return false;
    if (newWindow) {
        if (file != model_.archive)
            return SecondProgram(name + " -") && Check();
        // The tree this program works on: the second program works on a copy of its own, with its
        // map and its notes, written as it starts.
        const std::string copy = "Temp (" + std::to_string(2 + copies_++) + ")";
        model_.saved[copy] = {model_.tree, model_.map};
        model_.otherNotes[copy] = model_.notes;
        return SecondProgram(name + " [" + copy + ".vlt]", true) && Check();
    }
    if (file == model_.archive)
        return Expect("OK", "OK") && Check();
    // The typed note's question, then whether the tree shown is saved first.
    bool stayed = false;
    if (!NoteQuestion(stayed))
        return false;
    if (stayed)
        return Check();
    const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
    if (!Expect("Внимание!!!", answer))
        return false;
    if (answer == Cancel)
        return Check();
    if (answer == Yes) {
        bool saved = false;
        if (!SaveAs(saved))
            return false;
        if (!saved)
            return Check();
    }
    // The window works on the loaded tree's own files from now on; the tree it left stays on disk
    // as it was, and nothing of it stays open.
    model_.saved[model_.archive] = {model_.tree, model_.map};
    model_.otherNotes[model_.name] = model_.notes;
    model_.tree = model_.saved[file].tree;
    model_.map = model_.saved[file].map;
    model_.notes = model_.otherNotes[name];
    model_.saved.erase(file);
    model_.otherNotes.erase(name);
    model_.archive = file;
    model_.name = name;
    opened_.clear();
    memo_.clear();
    memoModified_ = false;
    return Check();
}

bool Session::SecondProgram(const std::string& Caption, bool Told)
{
    using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;
    const auto other = [&](HWND w) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        return pid != driver_.Pid() ? pid : 0;
    };
    // A second program that does not come or end as it should is ended: it would take the next
    // sessions' windows.
    const auto fail = [&](const std::string& Why) {
        for (HWND w : testkit::ProcessWindows(0, "TID_Vellorn"))
            if (const DWORD pid = other(w))
                if (const Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid), &CloseHandle); process)
                    TerminateProcess(process.get(), 1);
        return Fail(Why);
    };
    HWND second = nullptr;
    std::string told;
    testkit::WaitUntil(
        [&] {
            // A key closes its splash; its message (which may come once its window shows) is
            // answered once it shows its caption and OK, in the skin's look or the system's.
            for (HWND splash : testkit::VisibleWindows(nullptr, 0, "TFLog"))
                if (other(splash))
                    PostMessageA(splash, WM_KEYDOWN, VK_SPACE, 0);
            for (const char* cls : {"TsMessageForm", "#32770"})
                for (HWND box : testkit::VisibleWindows(nullptr, 0, cls))
                    if (Told && told.empty() && other(box) && testkit::WindowText(box).rfind(Caption, 0) == 0)
                        for (HWND b : testkit::VisibleWindows(box, 0, ""))
                            if (testkit::WindowText(b) == "OK" || testkit::WindowText(b) == "ОК") {
                                told = testkit::WindowText(box);
                                PostMessageA(b, BM_CLICK, 0, 0);
                            }
            second = nullptr;
            for (HWND w : testkit::VisibleWindows(nullptr, 0, "TID_Vellorn"))
                if (other(w) && IsWindowEnabled(w) && testkit::Answers(w) &&
                    testkit::WindowText(w).rfind(Caption, 0) == 0)
                    second = w;
            return second && Told != told.empty();
        },
        20000);
    if (!second || Told == told.empty()) {
        std::string shown;
        for (HWND w : testkit::VisibleWindows(nullptr, 0, ""))
            if (other(w))
                shown += " \"" + Driver::BoxText(w) + "\"";
        return fail("no second program came with the caption \"" + Caption + "...\"" +
                    (Told ? " and its message" : "") + "; windows of other programs:" + shown);
    }
    if (Told)
        Log("  answered \"OK\" to its message \"" + told + "\"");
    const DWORD pid = other(second);
    const Handle process(OpenProcess(SYNCHRONIZE, FALSE, pid), &CloseHandle);
    Log("  the second program closed by its close box");
    PostMessageA(second, WM_SYSCOMMAND, SC_CLOSE, 0);
    // The user's keys go to this program again.
    if (process && WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0)
        return driver_.ToFront() || Fail("the main window does not come back to the front");
    const auto boxes = testkit::VisibleWindows(nullptr, pid, "TsMessageForm");
    return fail("the second program did not end" + (boxes.empty() ? "" : ": " + Driver::BoxText(boxes[0])));
}

bool Session::ClearTree()
{
    const bool yes = Chance(60);
    Log(std::string("clear the tree by Файл > Очистить дерево статей, answered ") + (yes ? "Да" : "Нет"));
    if (!driver_.MenuBar(0, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
        return Fail(driver_.Error());
    if (!Expect("Внимание!!!", yes ? Yes : No))
        return false;
    // The entries go with their keys and notes (nothing of them comes back on a new entry), and
    // nothing stays open.
    if (yes) {
        for (const std::string& title : model_.Titles(false, true))
            model_.Remove(title);
        model_.tree.clear();
        opened_.clear();
        memo_.clear();
        memoModified_ = false;
    }
    return Check();
}

bool Session::SearchTitle()
{
    const auto articles = Articles(opened_);
    if (articles.empty())
        return AddArticle();
    static const char* const ways[] = {"Ctrl+F1", "Поиск > Поиск статей", "its tool button"};
    const int way = Pick(3);
    const std::string title = OneOf(articles);
    Log("search the title \"" + title + "\" by " + ways[way] + ", the result opened by Enter");
    if (!Command(way, VK_F1, 3, 1, 3))
        return false;
    HWND search = Dialog("Поиск");
    if (!search)
        return false;
    // Enter in the query box searches; the results page takes the place of the article tree.
    if (!driver_.Fill(search, {title}))
        return Fail(driver_.Error());
    Driver::Key(VK_RETURN);
    HWND results = nullptr;
    std::map<std::string, HTREEITEM> items;
    Tree found;
    if (!testkit::WaitUntil([&] {
            const auto trees = testkit::VisibleWindows(driver_.Main(), 0, "TreeView");
            results = trees.size() == 1 && trees[0] != driver_.TreeNow() ? trees[0] : nullptr;
            items.clear();
            found = results ? driver_.LiveTree(&items, results) : Tree{};
            return items.count(title) != 0;
        }))
        return Fail("the search results do not list \"" + title + "\"");
    // The search dialog closed, the keyboard is the results'; Home and Down to the title.
    if (Chance(50)) {
        if (!driver_.Click(search, "Закрыть"))
            return Fail(driver_.Error());
    } else {
        Driver::Key(VK_ESCAPE);
        if (!testkit::WaitUntil([&] { return !IsWindowVisible(search); }))
            return Fail("the search dialog stays after Esc");
    }
    if (!testkit::WaitUntil([&] { return driver_.Focus() == results; }))
        return Fail("the results do not take the keyboard");
    Driver::Key(VK_HOME);
    for (const Node& n : found) {
        if (n.title == title)
            break;
        Driver::Key(VK_DOWN);
    }
    if (!testkit::WaitUntil([&] {
            return reinterpret_cast<HTREEITEM>(SendMessageA(results, TVM_GETNEXTITEM, TVGN_CARET, 0)) == items[title];
        }))
        return Fail("the keys did not select the result \"" + title + "\"");
    Driver::Key(VK_RETURN);
    bool stayed = false;
    if (!NoteQuestion(stayed))
        return false;
    if (!stayed) {
        Opened(title);
        // The page shown (its caption names it): the browser may have taken the keyboard then.
        if (!testkit::WaitUntil([&] { return driver_.Caption().find(" -" + title + " (") != std::string::npos; }) ||
            !driver_.Settle())
            return Fail("the caption shows \"" + driver_.Caption() + "\", not the result's page");
    }
    // Back to the article tree by Ctrl+Tab with the keyboard in the results, else by its tab.
    if (HWND focus = driver_.Focus(); focus == results) {
        Driver::Key(VK_TAB, VK_CONTROL);
    } else {
        Log("  the keyboard is at " + (focus ? testkit::WindowClass(focus) : std::string("no window")) +
            ": the articles' tab clicked");
        if (!driver_.TreePageTab(0))
            return Fail(driver_.Error());
    }
    if (!testkit::WaitUntil([&] { return IsWindowVisible(driver_.TreeNow()) && !IsWindowVisible(results); }))
        return Fail("Ctrl+Tab did not bring the article tree back");
    return Check();
}

bool Session::Close(bool& Done, At Where, bool Again)
{
    Done = false;
    // The ways a user closes: the close box (its command), Alt+F4, "Файл" > "Выход", the session's end,
    // the tray's "Закрыть" (which alone of the program's own ways is there with a dialog open).
    const int way = Where == At::AfterKeys  ? 1
                    : Where == At::InRename ? Pick(2)
                    : Where == At::InDialog ? 3 + Pick(2)
                                            : Pick(4);
    static const char* const ways[] = {"the close box", "Alt+F4", "Файл > Выход", "the session's end",
                                       "the tray's \"Закрыть\""};
    Log(std::string("close by ") + ways[way]);
    bool ended = false;
    std::thread ending;
    if (way == 0) {
        PostMessageA(driver_.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (way == 1) {
        Driver::Key(VK_F4, VK_MENU);
    } else if (way == 2) {
        if (!driver_.MenuBar(0, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
            return Fail(driver_.Error());
    } else if (way == 4) {
        const auto trays = testkit::ProcessWindows(driver_.Pid(), "TrayIconWindow");
        if (trays.size() != 1)
            return Fail("the program has " + std::to_string(trays.size()) + " tray icons");
        PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
        if (!testkit::ChooseInMenu(driver_.Pid(), {VK_DOWN, VK_RETURN}))
            return Fail("the tray's menu did not come");
    } else {
        // The query is answered while its questions are: from a thread of its own.
        HWND main = driver_.Main();
        ending = std::thread([main, &ended] {
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &answer) && answer)
                ended = SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &answer) != 0;
        });
    }
    bool stayed = false;
    bool ok = true;
    if (editorTyped_) {
        // The editor's question comes first: "Нет" keeps it open and stops the close.
        const bool yes = Chance(50);
        ok = Expect("Внимание!!!", yes ? Yes : No);
        stayed = !yes;
    }
    if (ok && !stayed && memoModified_) {
        testkit::WaitUntil([&] { return driver_.Ended(0) || !driver_.Boxes().empty(); });
        ok = NoteQuestion(stayed);
    }
    if (ok && !stayed && !panelEdit_.empty()) {
        // The properties panel's change: applied, dropped, or the close given up.
        const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
        ok = Expect("Внимание!!!", answer);
        if (answer == Yes)
            Retitled(panelEdit_[0], panelEdit_[1], panelEdit_[2]);
        stayed = answer == Cancel;
    }
    if (ending.joinable())
        ending.join();
    if (!ok)
        return false;
    if (stayed)
        return Check();
    if (!driver_.Ended())
        return Fail(driver_.Boxes().empty() ? "the program did not end"
                                            : "the program did not end: " + Driver::BoxText(driver_.Boxes()[0]));
    Done = true;
    // The editor open at the close writes its settings.
    if (editorTyped_)
        model_.settings2 = EditorSettings();
    if (const std::string diff = FirstDifference(model_, dir_.Path() + "FILES\\"); !diff.empty())
        return Fail("after the close " + diff);
    return !Again || Restart();
}

bool Session::Restart()
{
    Log("start");
    driver_.Kill();
    opened_.clear();
    memo_.clear();
    memoModified_ = false;
    editorTyped_ = false;
    editorText_.clear();
    panelEdit_.clear();
    if (!driver_.Start())
        return Fail("the program did not start");
    return Check();
}

Outcome Session::Run(int Actions)
{
    const auto started = std::chrono::steady_clock::now();
    const std::string files = dir_.Path() + "FILES\\";
    logic::CopyTree(logic::SourceDir() + "app\\defaults\\FILES", dir_.Path() + "FILES");
    testkit::ProgramRun::CopyProgram(dir_.Path());
    for (int i = 1; i <= PageCount; ++i)
        testkit::WriteFileBytes(files + "soak" + std::to_string(i) + ".html",
                                "<html><head><title>Страница " + std::to_string(i) + "</title></head></html>");
    // The look of the session.
    static const char* const skins[] = {"Neutral", "Dusk", ""};
    model_.skin = skins[Pick(3)];
    std::string form = testkit::ReadFileBytes(files + "form.ini");
    form.replace(form.find("Skin=Neutral"), 12, "Skin=" + model_.skin);
    testkit::WriteFileBytes(files + "form.ini", form);
    // Half the sessions start with loaded trees opening in the same window.
    if (Chance(50))
        testkit::WriteFileBytes(files + "settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    // What the default archive holds at the start.
    model_.tree = ParseTreeFile(testkit::ReadFileBytes(files + "tree\\Temp.vlt")).value_or(soak::Tree{});
    model_.map = ParseIni(testkit::ReadFileBytes(files + "tree\\Temp.ini"));
    model_.settings = testkit::ReadFileBytes(files + "settings.ini");
    model_.settings2 = testkit::ReadFileBytes(files + "Settings2.ini");
    log_.push_back("look \"" + model_.skin + "\"" + (NewWindow() ? "" : ", trees open in this window"));

    if (driver_.Start() || Fail("the program did not start")) {
        for (step_ = 1; step_ <= Actions && divergence_.empty(); ++step_) {
            // Each kind of action with its share.
            static const std::pair<int, bool (Session::*)()> kinds[] = {
                {8, &Session::AddCategory}, {8, &Session::AddSubcategory}, {14, &Session::AddArticle},
                {6, &Session::AddLink},     {12, &Session::Rename},        {8, &Session::Delete},
                {7, &Session::Mark},        {8, &Session::Open},           {11, &Session::TypeNote},
                {7, &Session::SaveNote},    {4, &Session::RemoveNote},     {7, &Session::CloseAndStart},
                {5, &Session::ChooseSkin},  {4, &Session::AddFlash},      {5, &Session::Properties},
                {3, &Session::LoadNote},    {3, &Session::WritePage},     {3, &Session::TypeAddress},
                {3, &Session::Settings},    {4, &Session::SaveTree},       {5, &Session::LoadTree},
                {2, &Session::ClearTree},   {4, &Session::SearchTitle},
            };
            int total = 0;
            for (const auto& kind : kinds)
                total += kind.first;
            int a = Pick(total);
            bool ok = true;
            for (const auto& [share, action] : kinds)
                if ((a -= share) < 0) {
                    ok = (this->*action)();
                    break;
                }
            if (!ok)
                Fail("the action did not complete");
        }
        // The session's end: closed, every question answered, and the files compared.
        for (int tries = 0; divergence_.empty() && tries < 5; ++tries) {
            bool done = false;
            if (!Close(done, At::Any, false) || done)
                break;
        }
    }
    driver_.Kill();
    Outcome out;
    out.divergence = divergence_;
    out.log = log_;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return out;
}

} // namespace

Outcome RunSession(unsigned Seed, int Actions, const Avoid& A) { return Session(Seed, A).Run(Actions); }

} // namespace soak
