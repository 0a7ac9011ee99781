#include "Session.h"

#include <algorithm>
#include <cstring>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "../app_gui/LogicFixture.h"
#include "GuiTest.h"
#include "Driver.h"
#include "Model.h"

namespace soak {

namespace {

constexpr int PageCount = 12;
const char* const Yes = "&Да";
const char* const No = "&Нет";
const char* const Cancel = "Отмена";

class Session {
public:
    Session(unsigned Seed, const Avoid& A) : seed_(Seed), rng_(Seed), avoid_(A), driver_(dir_.Path()) {}

    Outcome Run(int Actions, int LimitS);

private:
    // --- randomness -----------------------------------------------------------------------
    int Pick(int n) { return n <= 1 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <class T>
    const T& OneOf(const std::vector<T>& v) { return v[Pick(static_cast<int>(v.size()))]; }

    // --- bookkeeping ----------------------------------------------------------------------
    void Log(const std::string& line) { log_.push_back("#" + std::to_string(step_) + " " + line); }
    // The kinds of divergence: a wait for what the action must bring that timed out (the text says
    // on what), a file unlike the model, a box nobody expected (with its text), the program's
    // window unlike the model (its tree, caption or note panel).
    enum class Kind { Wait, File, Box, Screen };
    bool Fail(const std::string& what, Kind kind = Kind::Wait)
    {
        static const char* const kinds[] = {"a wait timed out", "a file differs from the model",
                                            "a box nobody expected", "the screen differs from the model"};
        // Past the session's limit every wait fails: the limit alone is told.
        if (stopped_ || timedOut_)
            return false;
        // What the screen showed then, beside the log.
        testkit::SaveScreenshot("soak-" + std::to_string(seed_) +
                                (divergences_.empty() ? "" : "-" + std::to_string(divergences_.size() + 1)) + ".png");
        divergences_.push_back("action #" + std::to_string(step_) + ": " + kinds[static_cast<int>(kind)] + ": " +
                               what);
        Log("  DIVERGENCE: " + divergences_.back().substr(0, divergences_.back().find('\n')));
        Log("  " + Where());
        // A file's difference is taken into the model and the session goes on; after anything else
        // the program is no longer where the model is.
        stopped_ = kind != Kind::File;
        return false;
    }
    // A difference after which the program is still where the model is (a message or a caption
    // that says the wrong thing): told, and the session goes on.
    bool Tell(const std::string& what, Kind kind)
    {
        const bool was = stopped_;
        Fail(what, kind);
        stopped_ = was;
        return true;
    }
    // The window in front and the one with the keyboard, and the program's windows shown, for the
    // log of a divergence.
    std::string Where()
    {
        const auto name = [](HWND w) {
            return w ? testkit::WindowClass(w) + " \"" + testkit::WindowText(w).substr(0, 60) + "\"" : std::string("none");
        };
        std::string shown;
        if (driver_.Pid())
            for (HWND w : testkit::VisibleWindows(nullptr, driver_.Pid(), ""))
                shown += " " + name(w);
        return "in front: " + name(GetForegroundWindow()) + "; the keyboard at: " + name(driver_.Focus()) +
               "; the program's windows:" + shown;
    }
    bool FailFile(const std::string& what) { return Fail(what, Kind::File); }
    bool FailScreen(const std::string& what) { return Fail(what, Kind::Screen); }
    // A title no node has: mostly words and a number, some with characters no file name holds.
    std::string Fresh(const char* kind)
    {
        const int n = ++titles_;
        switch (Pick(8)) {
        case 0:
            return std::string("Что такое ") + kind + " " + std::to_string(n) + "?";
        case 1:
            return std::string(kind) + " \"" + std::to_string(n) + "\"";
        case 2:
            // Blanks at both ends, which the title loses.
            if (!avoid_.blankTitles)
                return std::string("  ") + kind + " " + std::to_string(n) + " ";
            [[fallthrough]];
        default:
            return std::string(kind) + " " + std::to_string(n);
        }
    }
    // The title in other letter case (the same title to the program).
    static std::string CaseFlip(std::string Title)
    {
        std::string upper = Title;
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
        if (upper != Title)
            return upper;
        CharLowerBuffA(Title.data(), static_cast<DWORD>(Title.size()));
        return Title;
    }
    // Whether a folder among the siblings of the node Title (or, without one, among the top
    // folders) other than itself has the title Typed (in any letter case).
    bool FolderTaken(const std::string& Typed, const std::string& Title = {})
    {
        Tree* owner = &model_.A().tree;
        if (!Title.empty())
            model_.Find(Title, &owner);
        for (const Node& n : *owner)
            if (IsFolder(n.image) && n.title != Title && SameText(n.title, Typed))
                return true;
        return false;
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
    // After an action: no box left, the program's tree is the model's, the note panel shows the
    // note of the entry opened (or nothing when none is). A kill waiting for this check comes now.
    bool Check()
    {
        Driver::Release();
        if (killAtCheck_) {
            killAtCheck_ = false;
            killed_ = true;
            driver_.Kill();
            return true;
        }
        if (!driver_.Settle())
            return Fail("on the program's answer");
        if (const auto boxes = driver_.Boxes(); !boxes.empty())
            return Fail(Driver::BoxText(boxes[0]), Kind::Box);
        if (!driver_.TreeBecomes(model_.A().tree))
            return FailScreen("the tree shows\n" + Show(driver_.LiveTree()) + "expected\n" + Show(model_.A().tree));
        HWND memo = driver_.NoteBox();
        const auto bare = [](std::string t) {
            while (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0)
                t.resize(t.size() - 2);
            return t;
        };
        if (memo && bare(testkit::WindowText(memo)) != bare(opened_.empty() ? "" : memo_))
            return FailScreen("the note panel shows \"" + testkit::WindowText(memo) + "\", expected \"" +
                              (opened_.empty() ? "" : memo_) + "\"" +
                              (opened_.empty() ? " (no entry is open)" : " (of \"" + opened_ + "\")"));
        return true;
    }
    // Nothing is open any more for the notes.
    void ForgetOpened()
    {
        opened_.clear();
        memo_.clear();
        memoModified_ = false;
    }
    // The caption names no longer the entry Title, which has gone.
    bool NotNamed(const std::string& Title)
    {
        const std::string caption = driver_.Caption();
        if (!Title.empty() && (caption.find(" - " + Title + " -") != std::string::npos ||
                               caption.find(" -" + Title + " (") != std::string::npos))
            return Tell("the caption \"" + caption + "\" still names \"" + Title + "\", which has gone", Kind::Screen);
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
            model_.A().notes[opened_] = NoteOfMemo();
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
    // The tree's pop-up on the node, by a right click or by Shift+F10 (the node selected first).
    // Quiet: the command changes nothing the next step waits for (a note saved, a mark it had).
    bool Popup(const std::string& Title, const std::vector<WORD>& Keys, bool Quiet = false)
    {
        const bool byKeys = Chance(30) && !avoid_.keysPopup;
        if (byKeys)
            Log("  the pop-up by Shift+F10");
        return driver_.Popup(Title, Keys, byKeys, Quiet) || Fail(driver_.Error());
    }
    // A chord that brings a window, pressed again once when none came and the modifier was let
    // go before the program read the key (the display's news of a focus change, see Driver::Chord).
    void WindowChord(WORD Vk, WORD Modifier)
    {
        driver_.Chord(Vk, Modifier);
        if (!testkit::WaitUntil([&] { return GetForegroundWindow() != driver_.Main(); }, 3000) && driver_.Lost()) {
            Log("  the modifier was let go before the program read the key: pressed again");
            driver_.Chord(Vk, Modifier);
        }
    }
    // The dialog with the caption, in front.
    HWND Dialog(const std::string& Caption)
    {
        HWND w = driver_.Window(Caption);
        if (!w)
            Fail("no window \"" + Caption + "\" came");
        return w;
    }

    // A dialog's refusal of a taken title: it stays with what was typed (its edits from the top
    // hold Typed), and is given up by Esc.
    bool Refused(HWND Dialog, const std::vector<std::string>& Typed);
    // The item at Index chosen in the window's type box (or in Combo) with a click and the keys.
    bool ChooseInBox(HWND Window, int Index, HWND Combo = nullptr);
    // The properties panel of the article opened (by the menu or the pop-up), its title box
    // holding the keyboard (Edit).
    bool OpenPanel(const std::string& Title, bool ByMenu, HWND& Edit);

    // A command of the notes on the entry Title (Item: 0 add, 1 remove, 2 save, 3 load): by its
    // pop-up, by the main menu with it selected, or (for the entry opened last) by the note
    // panel's own button. Quiet: as Popup's.
    bool NoteCommand(const std::string& Title, int Item, bool Quiet = false);

    // Whether the caption names the entry as opened.
    bool Names(const std::string& Title);

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
    // A font chosen for the editor's text in the system's font dialog, which Open opens.
    bool ChooseFont(HWND Editor, const std::function<void()>& Open);
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
    // The question whether to replace a file, once it shows (null when none came): the program's
    // or the file dialog's own (not the dialog itself).
    HWND ReplaceQuestion(HWND Dialog);
    // The save dialog that came answered: a fresh name, a tree saved before (its question
    // answered), or Esc. Saved tells whether the tree was saved.
    bool SaveAs(bool& Saved);
    // The second program that a tree opened in a new window starts, its caption starting with
    // Caption: its message that the archive is open elsewhere answered when Told, closed by its
    // close box.
    bool SecondProgram(const std::string& Caption, const std::string& Archive, bool Told = false);
    // The second program closed by its close box (its note's question answered), its archive
    // compared; Back: the first program comes to the front again.
    bool CloseSecond(bool Back);
    // The session's state of the window (driver, opened entry, note, archive) swapped with the
    // second program's: the actions then drive the second program (and again, the first).
    void SwapWindow();

    // Where the close comes: anywhere; behind typed keys (only a typed close keeps its place
    // behind them, a posted one would overtake them); in a rename; with a dialog open (whose
    // keys are the dialog's).
    enum class At { Any, AfterKeys, InRename, InDialog };
    // Closes by one of the user's ways; answers the questions at random. Done is set when the
    // program has ended (then the files are compared and it starts again).
    bool Close(bool& Done, At Where = At::Any, bool Again = true);
    // The program started again (Again: not the session's first start), the model's state of the
    // window with it.
    bool Restart(bool Again = true);
    // After a divergence other than a file's: the programs ended and the program started again on
    // the files as they are; false when the session stops there.
    bool Recover();
    // The model takes the files as they are (after a difference, so that the session goes on);
    // Running: but those of the archive the running program shows, and those written at a close.
    void TakeFiles(bool Running = false);
    // The archive folder the session starts on.
    void StartingArchive();
    // form.ini's tree keys for the tree the window works on.
    void Named();
    // Ends every program of the session.
    static void EndPrograms();
    // A drag of an entry or a folder with the mouse, dropped onto a folder or the tree's empty space.
    bool Drag();
    // The program killed (between actions or in one), its files checked, and started again.
    bool KillNow();
    // A page's link followed, back and forward.
    bool Browse();
    // A second program started beside the first.
    bool SecondBeside();
    // An address chosen from the address box's list; the text search of the page shown.
    bool ChooseAddress();
    bool FindInPage();
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
    std::vector<std::string> divergences_;
    bool stopped_ = false;
    // The session's limit has passed: its programs were ended.
    std::atomic<bool> timedOut_{false};
    int step_ = 0, titles_ = 0;
    // The entry opened last, and the note panel's text and whether it was typed.
    std::string opened_, memo_;
    // The second program and its window's state while the first is driven (swapped by
    // SwapWindow); the first's archive while the second is driven.
    Driver other_{dir_.Path()};
    std::string otherOpened_, otherMemo_, secondName_;
    bool inSecond_ = false;
    // The pages the second program opened (its close merges them into the address list).
    std::vector<std::string> secondPages_;
    // The page history files as the second program found them.
    std::string history_;
    // The pages the history files held at the program's start (file and title, in capitals).
    std::set<std::string> historyKeys_;
    std::set<std::string> HistoryKeys()
    {
        std::set<std::string> keys;
        for (const char* file : {"tmpB.ini", "tmpF.ini"}) {
            Ini ini = ParseIni(testkit::ReadFileBytes(dir_.Path() + "FILES\\" + file));
            for (const auto& [title, address] : ini["URL"]) {
                std::string key = std::string(file) + ": " + title;
                CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
                keys.insert(key);
            }
        }
        return keys;
    }
    bool otherMemoModified_ = false;
    // form.ini names a tree that the start does not read (its full name), and its file's name.
    std::string notRead_, badTree_;
    // Files of the trees' folder told of once.
    std::set<std::string> strays_;
    // The address list and the skin as the last close wrote them (a kill keeps them so).
    std::vector<std::string> closedList_;
    std::string closedSkin_;
    // A kill comes at the next check, and the model's archives before the action.
    bool killAtCheck_ = false, killed_ = false;
    std::map<std::string, Archive> before_;
    bool memoModified_ = false;
    // The page editor's author field as the program keeps it, its text (kept while the program
    // runs), and whether text typed in the open editor is unsaved (a close asks about it).
    std::string author_ = "Аноним", email_ = "vellorn@vellorn.example", font_ = "0", size_ = "0", editorText_;
    bool editorTyped_ = false;
    // Text typed in the editor and not written into a page since: the editor keeps it for its next
    // showing and asks at every close until a page is written from it.
    bool editorUnsaved_ = false;
    // The properties panel left open with a change not applied (a close asks about it): the
    // entry's title and the title and file typed.
    std::vector<std::string> panelEdit_;
};

void Session::Opened(const std::string& Title)
{
    opened_ = Title;
    const std::string note = model_.A().notes.count(Title) ? model_.A().notes[Title] : "";
    memo_ = note.size() >= 2 ? note.substr(0, note.size() - 2) : note;
    memoModified_ = false;
    // The address list gains what the entry opens: a link's address, a movie's or an article's
    // file (an entry the map has no key for opens the folder's name).
    const int image = model_.Find(Title) ? model_.Find(Title)->image : imNew;
    const auto& values = model_.A().map[SectionOf(image)];
    const auto value = values.find(Title);
    const std::string stored = value == values.end() ? "" : value->second;
    const std::string page = image == imLink    ? stored
                             : image == imFlash ? dir_.Path() + "FILES\\FLASH\\" + stored
                                                : dir_.Path() + "FILES\\" + stored;
    // A second program's pages join the list at its close.
    std::vector<std::string>& list = inSecond_ ? secondPages_ : model_.list;
    const auto same = [&](const std::string& line) { return AnsiSameText(line, page); };
    if (!page.empty() && std::none_of(list.begin(), list.end(), same))
        list.push_back(page);
}

bool Session::NoteCommand(const std::string& Title, int Item, bool Quiet)
{
    static const char* const items[] = {"Добавить заметки", "Убрать примечание", "Сохранить", "Загрузить"};
    static const std::vector<WORD> keys[] = {{VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN},
                                             {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN},
                                             {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RETURN},
                                             {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}};
    // The pop-up acts on its entry, the main menu on the entry selected (both open it first), the
    // note panel's bar on the entry opened last (it has no button to add a note, and shows only with
    // the panel).
    HWND memo = driver_.NoteBox();
    const int way = Title == opened_ && Item > 0 && memo && Chance(40) ? 2 : Pick(2);
    static const char* const ways[] = {"its pop-up", "Правка > Примечание", "the note panel's button"};
    Log("  \"" + std::string(items[Item]) + "\" by " + ways[way]);
    if (way == 0)
        return Popup(Title, keys[Item], Quiet);
    if (way == 1)
        return (driver_.Select(Title) && driver_.MenuBar(1, keys[Item])) || Fail(driver_.Error());
    // The panel's bar: its buttons by their pictures (save 22, load 1, remove 7).
    static const int pictures[] = {-1, 7, 22, 1};
    testkit::RemoteBuffer buffer(driver_.Process(), 256);
    for (HWND bar : testkit::VisibleWindows(GetParent(memo), 0, "ToolBar")) {
        const int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            if (!SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), buffer.Address()) ||
                buffer.Get<TBBUTTON>().iBitmap != pictures[Item])
                continue;
            SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), buffer.Address());
            const RECT r = buffer.Get<RECT>();
            POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ClientToScreen(bar, &p);
            if (driver_.NearLastClick(p))
                p.x += 3;
            if (!driver_.ToFront())
                return Fail("the main window is not in front");
            return (driver_.ClickAt(p) && driver_.Park()) || Fail(driver_.Error());
        }
    }
    return FailScreen("the note panel has no button for \"" + std::string(items[Item]) + "\"");
}

bool Session::AddCategory()
{
    const auto all = model_.Titles(true, true);
    const int how = Pick(10);
    // Mostly a fresh title; some a top folder's, which is refused (a folder never takes an
    // entry's title here: the soak finds nodes by their titles).
    std::vector<std::string> tops;
    for (const Node& n : model_.A().tree)
        if (IsFolder(n.image))
            tops.push_back(n.title);
    const std::string typed = how == 0 && !tops.empty() ? (Chance(50) ? CaseFlip(OneOf(tops)) : OneOf(tops))
                                                        : Fresh("Категория");
    const std::string title = Trimmed(typed);
    const bool byKeys = all.empty() || Chance(50);
    Log("add category \"" + typed + "\" by " + (byKeys ? "Shift+Insert" : "the pop-up") +
        (how == 1 ? ", cancelled" : ""));
    if (byKeys) {
        // Insert is the note box's key when it has the keyboard: the tree takes it first.
        if (all.empty() ? !driver_.FocusTree() : !driver_.Select(OneOf(all)))
            return Fail(driver_.Error());
        WindowChord(VK_INSERT, VK_SHIFT);
    } else if (!Popup(OneOf(all), {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND box = Dialog("Введите название категории");
    if (!box)
        return false;
    if (!driver_.Fill(box, {typed}))
        return Fail(driver_.Error());
    if (!Confirm(box, how != 1))
        return false;
    if (how == 1)
        return Check();
    if (FolderTaken(title))
        return Expect("OK", "OK") && Check();
    model_.A().tree.push_back(Node{title, imFolder, {}});
    return Check();
}

bool Session::AddSubcategory()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), typed = Fresh("Подкатегория"), title = Trimmed(typed);
    const bool byKeys = Chance(50);
    Log("add sub-category \"" + typed + "\" to \"" + folder + "\" by " + (byKeys ? "Ctrl+Insert" : "the pop-up"));
    if (byKeys) {
        if (!driver_.Select(folder))
            return Fail(driver_.Error());
        WindowChord(VK_INSERT, VK_CONTROL);
    } else if (!Popup(folder, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND box = Dialog("Новая подкатегория");
    if (!box)
        return false;
    if (!driver_.Fill(box, {typed}))
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
    const bool ahead = how >= 10 && !avoid_.closeTypeahead && !inSecond_ && !killAtCheck_;
    const std::string folder = OneOf(folders);
    const std::string typed = taken ? (Chance(50) ? CaseFlip(OneOf(entries)) : OneOf(entries)) : Fresh("Статья");
    const std::string title = Trimmed(typed);
    const std::string page = "soak" + std::to_string(1 + Pick(PageCount)) + ".html";
    const bool byKeys = Chance(50);
    // The mark chosen in the dialog's type box (its items: new, favourite, read, unread), or left.
    static const int marks[] = {imNew, imFavourite, imRead, imUnread};
    const int mark = Chance(40) ? Pick(4) : -1;
    Log("add article \"" + typed + "\" (" + page + ") to \"" + folder + "\" by " + (byKeys ? "Insert" : "the pop-up") +
        (mark >= 0 ? ", type box item " + std::to_string(mark) : "") + (cancel ? ", cancelled" : "") +
        (ahead ? ", a close typed ahead" : ""));
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
    if (!driver_.Fill(dialog, {typed, page}))
        return Fail(driver_.Error());
    if (mark >= 0 && !ChooseInBox(dialog, mark))
        return false;
    Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
    // The tree stays as it was: the dialog gone tells that the key was read (the next step's
    // posted messages would overtake it).
    if (cancel)
        return (testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
                Fail("the dialog stays after Esc")) &&
               Check();
    if (model_.EntryTaken(title))
        return Refused(dialog, {typed, page});
    model_.Find(folder)->kids.push_back(Node{title, mark >= 0 ? marks[mark] : imNew, {}});
    model_.A().map["FILES"][title] = page;
    if (ahead) {
        bool done = false;
        return Close(done, At::AfterKeys);
    }
    return Check();
}

bool Session::Refused(HWND Dialog, const std::vector<std::string>& Typed)
{
    // The dialog refuses a taken title before it closes and keeps what was typed; the user gives
    // it up then.
    if (!Expect("OK", "OK"))
        return false;
    if (!IsWindow(Dialog) || !IsWindowVisible(Dialog))
        return FailScreen("the dialog closed with the title refused: what was typed is gone");
    const auto edits = Driver::Children(Dialog, "Edit");
    for (size_t i = 0; i < Typed.size() && i < edits.size(); ++i)
        if (testkit::WindowText(edits[i]) != Typed[i])
            return FailScreen("the dialog's edit " + std::to_string(i + 1) + " shows \"" +
                              testkit::WindowText(edits[i]) + "\" after the refusal, not \"" + Typed[i] + "\"");
    if (!testkit::WaitUntil([&] { return GetForegroundWindow() == Dialog; }))
        return Fail("on the dialog's return to the front after the refusal");
    Driver::Key(VK_ESCAPE);
    return (testkit::WaitUntil([&] { return !IsWindow(Dialog) || !IsWindowVisible(Dialog); }) ||
            Fail("on the dialog's close by Esc")) &&
           Check();
}

bool Session::ChooseInBox(HWND Window, int Index, HWND Combo)
{
    // A click drops the box's list; Home, the downs to the item and Enter choose it.
    if (!Combo) {
        const auto boxes = Driver::Children(Window, "ComboBoxEx");
        if (boxes.empty())
            return FailScreen("no type box");
        Combo = boxes[0];
    }
    // The box's own window reaches down over its list: the click goes near its top.
    RECT r{};
    GetWindowRect(Combo, &r);
    POINT p{r.left + 12, r.top + 9};
    if (driver_.NearLastClick(p))
        p.x += 20;
    if (!driver_.ClickAt(p) || !driver_.Park())
        return Fail(driver_.Error());
    if (!testkit::WaitUntil([&] { return SendMessageA(Combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
        return Fail("on the type box's list to drop");
    Driver::Key(VK_HOME);
    for (int i = 0; i < Index; ++i)
        Driver::Key(VK_DOWN);
    Driver::Key(VK_RETURN);
    return testkit::WaitUntil([&] {
               return SendMessageA(Combo, CB_GETDROPPEDSTATE, 0, 0) == 0 &&
                      SendMessageA(Combo, CB_GETCURSEL, 0, 0) == Index;
           }) ||
           Fail("on the type box to show item " + std::to_string(Index));
}

bool Session::AddLink()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), typed = Fresh("Ссылка"), title = Trimmed(typed);
    const std::string address = "http://soak.example/" + std::to_string(titles_);
    const bool ahead = Chance(15) && !avoid_.closeTypeahead && !inSecond_ && !killAtCheck_;
    Log("add link \"" + typed + "\" to \"" + folder + "\" by the pop-up" + (ahead ? ", a close typed ahead" : ""));
    if (!Popup(folder, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
        return false;
    HWND dialog = Dialog("Создание ссылки");
    if (!dialog)
        return false;
    if (!driver_.Fill(dialog, {typed, address}))
        return Fail(driver_.Error());
    Driver::Key(VK_RETURN);
    model_.Find(folder)->kids.push_back(Node{title, imLink, {}});
    model_.A().map["URL"][title] = address;
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
    const auto entries = Entries(), folders = Folders();
    // What is typed: a new title mostly; the same; another entry's (an entry refuses it, in any
    // letter case); a sibling folder's (a folder refuses it); its own in other letter case; one
    // longer than the tree keeps.
    const int what = Pick(20);
    std::string typed = Fresh(folder ? "Папка" : "Название");
    if (what == 0)
        typed = old;
    else if (what == 1 && !folder && entries.size() > 1)
        while (SameText(typed = OneOf(entries), old)) {
        }
    else if (what == 5 && folder && folders.size() > 1)
        typed = OneOf(folders);
    else if (what == 6)
        typed = CaseFlip(old);
    else if (what == 2)
        typed = std::string(300, 'д');
    if ((what == 1 || what == 5) && Chance(50))
        typed = CaseFlip(typed);
    const std::string title = Trimmed(typed);
    const bool cancel = what == 3, atClose = what == 4 && !avoid_.renameAtClose && !inSecond_ && !killAtCheck_;
    const bool refused = title.size() > 255 || (folder ? FolderTaken(title, old) : model_.EntryTaken(title, old));
    const int way = Pick(3);
    static const char* const ways[] = {"F2", "the pop-up", "the menu"};
    Log("rename \"" + old + "\" to \"" + typed.substr(0, 40) + "\" by " + ways[way] +
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
    Driver::SetText(edit, typed);
    const auto rename = [&] {
        node->title = title;
        if (folder)
            return;
        const char* section = SectionOf(node->image);
        model_.A().map[section][title] = model_.A().map[section][old];
        model_.A().map[section].erase(old);
        if (model_.A().notes.count(old)) {
            model_.A().notes[title] = model_.A().notes[old];
            model_.A().notes.erase(old);
        }
        if (opened_ == old)
            opened_ = title;
    };
    if (atClose && !refused && !title.empty()) {
        rename();
        bool done = false;
        return Close(done, At::InRename);
    }
    Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
    // The tree stays as it was: the rename box gone tells that the key was read.
    if (cancel || title == old || title.empty())
        return (testkit::WaitUntil([&] { return !driver_.LabelEdit(); }) ||
                Fail(std::string("the rename box stays after ") + (cancel ? "Esc" : "Enter"))) &&
               Check();
    if (refused)
        return Expect("OK", "OK") && Check();
    rename();
    return Check();
}

bool Session::Delete()
{
    const auto all = model_.Titles(true, true);
    if (all.empty())
        return AddCategory();
    // A user clearing out often deletes a whole folder with the notes of what it holds.
    std::function<bool(const Node&)> noted = [&](const Node& n) {
        return model_.A().notes.count(n.title) || std::any_of(n.kids.begin(), n.kids.end(), noted);
    };
    std::vector<std::string> folders;
    for (const std::string& t : model_.Titles(true, false))
        if (const Node* folder = model_.Find(t); std::any_of(folder->kids.begin(), folder->kids.end(), noted))
            folders.push_back(t);
    const std::string title = !folders.empty() && Chance(35) ? OneOf(folders) : OneOf(all);
    const bool byKeys = Chance(50), yes = Chance(70);
    Log("delete \"" + title + "\" by " + (byKeys ? "Ctrl+Del" : "the pop-up") + ", answered " + (yes ? "Да" : "Нет"));
    if (byKeys) {
        if (!driver_.Select(title))
            return Fail(driver_.Error());
        WindowChord(VK_DELETE, VK_CONTROL);
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
        std::string gone;
        if (!opened_.empty() && holds(*model_.Find(title))) {
            gone = opened_;
            ForgetOpened();
        }
        model_.Remove(title);
        return Check() && NotNamed(gone);
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
    const int mark = Pick(4), way = Pick(3);
    static const char* const ways[] = {"the pop-up", "Правка > Отметить статью как", "the properties panel's type box"};
    Log("mark \"" + title + "\" as " + names[mark] + " by " + ways[way]);
    const bool had = model_.Find(title)->image == images[mark];
    std::vector<WORD> keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT};
    keys.insert(keys.end(), mark, VK_DOWN);
    keys.push_back(VK_RETURN);
    if (way == 0) {
        if (!Popup(title, keys, had))
            return Fail(driver_.Error());
    } else if (way == 1) {
        if (!driver_.Select(title) || !driver_.MenuBar(1, keys))
            return Fail(driver_.Error());
    } else {
        // The panel's items: favourite, read, new, unread; its title and file left as they are,
        // Enter applies it.
        static const int panelIndex[] = {0, 2, 1, 3};
        HWND edit = nullptr;
        if (!OpenPanel(title, Chance(30), edit))
            return false;
        const auto boxes = Driver::Children(GetParent(edit), "ComboBoxEx");
        if (boxes.empty())
            return FailScreen("the properties panel has no type box");
        if (!ChooseInBox(GetParent(edit), panelIndex[mark], boxes[0]))
            return false;
        Driver::Key(VK_RETURN);
        if (!testkit::WaitUntil([&] { return !IsWindowVisible(edit); }))
            return Fail("on the properties panel to close after Enter");
    }
    model_.Find(title)->image = images[mark];
    return Check();
}

bool Session::OpenPanel(const std::string& Title, bool ByMenu, HWND& Edit)
{
    const std::vector<WORD> keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    if (ByMenu) {
        if (!driver_.Select(Title) || !driver_.MenuBar(1, keys))
            return Fail(driver_.Error());
    } else if (!Popup(Title, keys)) {
        return false;
    }
    Edit = nullptr;
    return testkit::WaitUntil([&] {
               Edit = driver_.Focus();
               return Edit && testkit::WindowClass(Edit).find("Edit") != std::string::npos &&
                      testkit::WindowText(Edit) == Title;
           }) ||
           Fail("on the properties panel to take the keyboard");
}

bool Session::Open()
{
    // An article, a link or a movie, by Enter or a double click.
    std::vector<std::string> entries;
    for (const std::string& t : Entries())
        if (t != opened_)
            entries.push_back(t);
    if (entries.empty())
        return AddArticle();
    const std::string title = OneOf(entries);
    const bool twice = Chance(40);
    Log("open \"" + title + "\" by " + (twice ? "a double click" : "Enter"));
    if (twice) {
        if (!driver_.DoubleClick(title))
            return Fail(driver_.Error());
    } else {
        if (!driver_.Select(title))
            return Fail(driver_.Error());
        Driver::Key(VK_RETURN);
    }
    bool stayed = false;
    if (!NoteQuestion(stayed))
        return false;
    if (!stayed) {
        Opened(title);
        if (!testkit::WaitUntil([&] { return Names(title); }))
            return FailScreen("the caption shows \"" + driver_.Caption() + "\", not the entry opened");
    }
    return Check();
}

bool Session::ChooseAddress()
{
    // An address of the address box's list, chosen by a click in its dropped list.
    HWND combo = nullptr;
    for (HWND c : testkit::VisibleWindows(driver_.Main(), 0, "ComboBox"))
        if (!testkit::VisibleWindows(c, 0, "Edit").empty())
            combo = c;
    if (!combo)
        return FailScreen("no address box");
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    if (count == 0)
        return TypeAddress();
    Log("an address chosen from the address box's list");
    RECT r{};
    GetWindowRect(combo, &r);
    // The arrow at the box's right end drops the list.
    POINT arrow{r.right - 8, r.top + 9};
    if (driver_.NearLastClick(arrow))
        arrow.x -= 3;
    if (!driver_.ToFront() || !driver_.ClickAt(arrow) || !driver_.Park())
        return Fail(driver_.Error());
    HWND list = nullptr;
    if (!testkit::WaitUntil([&] {
            const auto lists = testkit::VisibleWindows(nullptr, driver_.Pid(), "ComboLBox");
            list = lists.empty() ? nullptr : lists[0];
            return list != nullptr;
        }))
        return Fail("on the address list to drop");
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client{}, item{};
    GetClientRect(list, &client);
    std::vector<int> shown;
    for (int i = top; i < count; ++i) {
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (item.bottom > client.bottom)
            break;
        shown.push_back(i);
    }
    if (shown.empty())
        return FailScreen("the address list shows no item");
    const int index = OneOf(shown);
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    POINT p{item.left + 30, (item.top + item.bottom) / 2};
    ClientToScreen(list, &p);
    // The system carries list box texts (as wide text) between processes itself.
    wchar_t wide[MAX_PATH + 1] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
    char text[MAX_PATH * 2] = {};
    WideCharToMultiByte(1251, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
    const std::string address = text;
    Log("  \"" + address + "\"");
    if (!driver_.ClickAt(p) || !driver_.Park())
        return Fail(driver_.Error());
    if (!testkit::WaitUntil([&] { return !IsWindowVisible(list); }))
        return Fail("on the address list to close");
    // A page of the session's shows its title in the caption.
    const size_t slash = address.rfind('\\');
    const std::string file = slash == std::string::npos ? "" : address.substr(slash + 1);
    std::string title;
    if (file.rfind("soak", 0) == 0)
        title = "Страница " + std::to_string(std::atoi(file.c_str() + 4));
    else if (file.rfind("старый адрес ", 0) == 0)
        title = "Старая страница " + std::to_string(std::atoi(file.c_str() + 13));
    if (!title.empty() &&
        !testkit::WaitUntil([&] { return driver_.Caption().find("(" + title + ")") != std::string::npos; }))
        return FailScreen("the caption shows \"" + driver_.Caption() + "\", not the page \"" + title + "\"");
    return Check();
}

bool Session::FindInPage()
{
    // The text search of the page shown: a word found or not (then the view says so), the
    // dialog closed by Esc.
    const bool byKey = Chance(50), there = Chance(60);
    const std::string word = there ? "текст" : "небывальщина";
    Log("the text \"" + word + "\" searched in the page by " + (byKey ? "Ctrl+F" : "Поиск > Искать по тексту"));
    if (byKey) {
        if (!driver_.ToFront())
            return Fail("the main window is not in front");
        WindowChord('F', VK_CONTROL);
    } else if (!driver_.MenuBar(3, {VK_DOWN, VK_DOWN, VK_RETURN})) {
        return Fail(driver_.Error());
    }
    HWND dialog = FileDialog();
    if (!dialog)
        return false;
    HWND edit = driver_.Focus();
    Driver::SetText(edit, word);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    if (!testkit::Answers(dialog))
        return Fail("on the find dialog's answer");
    // A text found shows no box and nothing else a wait could see, and the program answers
    // messages ahead of the keys it has not read: End typed behind Enter puts the caret at the
    // end once Enter has been read. A box that Enter brings takes the End itself.
    Driver::Key(VK_RETURN);
    Driver::Key(VK_END);
    const LRESULT atEnd = MAKELONG(word.size(), word.size());
    HWND box = nullptr;
    if (!testkit::WaitUntil([&] {
            for (HWND b : driver_.Boxes())
                if (b != dialog && testkit::Answers(b) && !testkit::VisibleWindows(b, 0, "").empty())
                    box = b;
            return box || SendMessageA(edit, EM_GETSEL, 0, 0) == atEnd;
        }))
        return Fail("on the find dialog to take Enter");
    if (box) {
        Log("  answered \"OK\" to \"" + Driver::BoxText(box) + "\"");
        if (!driver_.Answer(box, "OK"))
            return Fail(Driver::BoxText(box) + " (it has no OK)", Kind::Box);
    }
    if (!testkit::WaitUntil([&] {
            HWND focus = driver_.Focus();
            return GetForegroundWindow() == dialog && focus && GetAncestor(focus, GA_ROOT) == dialog &&
                   testkit::Answers(dialog);
        }))
        return Fail("on the find dialog's return to the front");
    Driver::Key(VK_ESCAPE);
    return (testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
            Fail("on the find dialog's close by Esc")) &&
           Check();
}

bool Session::Names(const std::string& Title)
{
    const std::string caption = driver_.Caption();
    return caption.find(" - " + Title + " -") != std::string::npos ||
           caption.find(" -" + Title + " (") != std::string::npos;
}

bool Session::Browse()
{
    // An article whose page links to the next one opened, the link followed from the keyboard,
    // then back and forward by the navigation bar's buttons or the "Браузер" menu.
    std::vector<std::string> linked;
    for (const std::string& t : Articles())
        if (model_.A().map["FILES"][t].rfind("soak", 0) == 0)
            linked.push_back(t);
    if (linked.empty())
        return Open();
    const std::string title = OneOf(linked);
    const int n = std::atoi(model_.A().map["FILES"][title].c_str() + 4), next = n % PageCount + 1;
    const bool byMenu = Chance(40);
    Log("open \"" + title + "\", follow its link to page " + std::to_string(next) + ", back and forward by " +
        (byMenu ? "the menu" : "the tool buttons"));
    // Opened anew (also when it is the entry opened last: another page may show since).
    if (!driver_.Select(title))
        return Fail(driver_.Error());
    Driver::Key(VK_RETURN);
    bool stayed = false;
    if (!NoteQuestion(stayed))
        return false;
    if (stayed)
        return Check();
    Opened(title);
    const auto shows = [&](int Page) {
        return testkit::WaitUntil(
                   [&] { return driver_.Caption().find("(Страница " + std::to_string(Page) + ")") != std::string::npos; }) ||
               FailScreen("the caption shows \"" + driver_.Caption() + "\", not page " + std::to_string(Page));
    };
    if (!shows(n))
        return false;
    // A click in the page gives it the keyboard; Tab goes to its link, Enter follows it.
    const auto views = testkit::VisibleWindows(driver_.Main(), 0, "VellornHtmlView");
    if (views.empty())
        return FailScreen("no page view");
    RECT r{};
    GetWindowRect(views[0], &r);
    POINT p{r.right - 40, r.bottom - 40};
    if (driver_.NearLastClick(p))
        p.x -= 20;
    if (!driver_.ToFront() || !driver_.ClickAt(p) || !driver_.Park())
        return Fail(driver_.Error());
    if (!testkit::WaitUntil([&] { return driver_.Focus() == views[0]; }))
        return Fail("on the page to take the keyboard");
    Driver::Key(VK_TAB);
    Driver::Key(VK_RETURN);
    if (!shows(next))
        return false;
    // Back and forward: the buttons by their pictures (9, 4) on the navigation bar, or the menu's
    // sixth and seventh items.
    const auto go = [&](bool Back) {
        std::vector<WORD> keys(Back ? 6 : 7, VK_DOWN);
        keys.push_back(VK_RETURN);
        return (byMenu ? driver_.MenuBar(4, keys) : driver_.NavButton(Back ? 9 : 4)) || Fail(driver_.Error());
    };
    if (!go(true) || !shows(n) || !go(false) || !shows(next))
        return false;
    return Check();
}

bool Session::TypeNote()
{
    const auto entries = Entries();
    if (entries.empty())
        return AddArticle();
    // On the entry opened last, or on another (its pop-up opens it first): an article, a link,
    // a movie. One line typed, lines typed, or text pasted.
    const std::string title = model_.Has(opened_) && Chance(40) ? opened_ : OneOf(entries);
    const int how = Pick(4);
    const std::string n = std::to_string(++titles_);
    const std::string text = how == 0   ? "заметка " + n + "\r\nвторая строка\r\n\r\nчетвёртая"
                             : how == 1 ? "вставка " + n + "\r\nиз буфера"
                                        : "заметка " + n;
    Log("note \"" + text.substr(0, text.find('\r')) + "\"" + (how == 0 ? " (four lines)" : how == 1 ? " pasted" : "") +
        " for \"" + title + "\"");
    if (!NoteCommand(title, 0))
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
        return Fail("on the note box to take the keyboard");
    // The program done with showing the panel (it may select the text once more) before the keys.
    if (!driver_.Settle())
        return Fail("on the program's answer");
    SendMessageA(memo, EM_SETSEL, 0, -1);
    if (how == 1) {
        // The text put on the clipboard, Ctrl+V in the note box.
        if (!OpenClipboard(nullptr))
            return Fail("on the clipboard");
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
        if (!testkit::Answers(memo))
            return Fail("on the program's answer");
        driver_.Chord('V', VK_CONTROL);
        if (!testkit::WaitUntil([&] { return testkit::WindowText(memo) == text; }, 3000) && driver_.Lost()) {
            Log("  Ctrl was let go before the program read V: pasted again");
            SendMessageA(memo, EM_SETSEL, 0, -1);
            driver_.Chord('V', VK_CONTROL);
        }
    } else {
        const auto type = [&] {
            SendMessageA(memo, EM_SETSEL, 0, -1);
            for (const char c : text)
                if (c != '\n')
                    PostMessageA(memo, WM_CHAR, static_cast<unsigned char>(c), 0);
        };
        type();
        // Posted characters may be overtaken by the program's own posted work of the panel's
        // showing (real keys never are): typed again once then.
        if (!testkit::WaitUntil([&] { return testkit::WindowText(memo) == text; }, 3000)) {
            Log("  the note box shows \"" + testkit::WindowText(memo) + "\": typed again");
            type();
        }
    }
    return NoteChanged(text);
}

bool Session::SaveNote()
{
    const auto entries = Entries();
    if (entries.empty())
        return AddArticle();
    // The entry opened last when a note was typed for it; else any (its pop-up saves nothing then).
    const std::string title = memoModified_ && model_.Has(opened_) && Chance(70) ? opened_ : OneOf(entries);
    if (title == opened_ && !memoModified_)
        return Check();
    Log("save the note of \"" + title + "\"");
    if (!NoteCommand(title, 2, true))
        return false;
    if (title == opened_) {
        model_.A().notes[title] = NoteOfMemo();
        memoModified_ = false;
    }
    return Check();
}

bool Session::RemoveNote()
{
    std::vector<std::string> noted;
    for (const auto& [title, text] : model_.A().notes)
        if (model_.Has(title)) // a cleared tree's notes stay without their entries
            noted.push_back(title);
    if (noted.empty())
        return TypeNote();
    const std::string title = OneOf(noted);
    const bool yes = Chance(70);
    Log("remove the note of \"" + title + "\", answered " + (yes ? "Да" : "Нет"));
    if (!NoteCommand(title, 1))
        return false;
    if (!Expect("Внимание!!!", yes ? Yes : No))
        return false;
    if (yes) {
        model_.A().notes.erase(title);
        if (title == opened_) {
            memo_.clear();
            memoModified_ = false;
        }
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
               const std::string map = dir_.Path() + "FILES\\tree\\" + model_.current + ".ini";
               return ParseIni(testkit::ReadFileBytes(map))[Section][Title] == Value;
           }) ||
           Fail("the map's [" + std::string(Section) + "] does not give \"" + Title + "\" the value \"" + Value + "\"");
}

std::string Session::EditorSettings() const
{
    // The editor's size as it opens: the session does not change it.
    return "[AUTOR]\r\nName=" + author_ + "\r\ne-mail=" + email_ + "\r\n[TEXT]\r\nName=" + font_ + "\r\nSize=" + size_ +
           "\r\n[FORM]\r\nWidth=400\r\nHeight=600\r\n";
}

bool Session::AddFlash()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    // Mostly a fresh title; some another entry's, which the program refuses.
    const auto entries = Entries();
    const bool taken = !entries.empty() && Chance(10);
    const std::string folder = OneOf(folders);
    const std::string typed = taken ? (Chance(50) ? CaseFlip(OneOf(entries)) : OneOf(entries)) : Fresh("Мультик");
    const std::string title = Trimmed(typed);
    const std::string movie = "movie" + std::to_string(++titles_) + ".swf";
    testkit::WriteFileBytes(dir_.Path() + "FILES\\FLASH\\" + movie, "FWS");
    const bool byMenu = Chance(40), cancel = Chance(10);
    Log("add Flash movie \"" + typed + "\" (" + movie + ") to \"" + folder + "\" by " +
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
    if (!driver_.Fill(dialog, {typed, movie}))
        return Fail(driver_.Error());
    if (!cancel && taken) {
        Driver::Key(VK_RETURN);
        return Refused(dialog, {typed, movie});
    }
    if (!Confirm(dialog, !cancel))
        return false;
    if (cancel)
        return Check();
    model_.Find(folder)->kids.push_back(Node{title, imFlash, {}});
    model_.A().map["FLASH"][title] = movie;
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
    bool atClose = !cancel && !taken && IsArticle(image) && Chance(20) && !killAtCheck_ && !inSecond_;
    std::string typed = how < 5 ? old : Fresh("Свойство");
    while (taken && SameText(typed = OneOf(entries), old)) {
    }
    if (taken && Chance(50))
        typed = CaseFlip(typed);
    const std::string title = Trimmed(typed);
    // Read without adding a key: an entry may have none (a tree loaded again brings back entries
    // whose keys went since).
    const auto& values = model_.A().map[section];
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
    Log("properties of \"" + old + "\" by " + (byMenu ? "the menu" : "the pop-up") + ": \"" + typed + "\", \"" +
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
        Driver::SetText(edit, typed);
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
        if (!testkit::WaitUntil([&] { return driver_.Focus() == edit; }))
            return Fail("on the properties panel to keep the keyboard");
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
        if (!driver_.Fill(dialog, {typed, value}))
            return Fail(driver_.Error());
        Driver::Key(cancel ? VK_ESCAPE : VK_RETURN);
        if (taken && !cancel)
            return Refused(dialog, {typed, value});
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
    model_.A().map[section].erase(Old);
    model_.A().map[section][Title] = Value;
    if (Title != Old && model_.A().notes.count(Old)) {
        model_.A().notes[Title] = model_.A().notes[Old];
        model_.A().notes.erase(Old);
    }
    if (opened_ == Old)
        opened_ = Title;
}

bool Session::LoadNote()
{
    const auto articles = Entries();
    if (articles.empty())
        return AddArticle();
    // The entry opened last, while the tree still has it (a clear keeps it open without a node).
    const std::string title = model_.Has(opened_) && Chance(40) ? opened_ : OneOf(articles);
    const std::string text = "загружено " + std::to_string(++titles_);
    const std::string file = dir_.Path() + "note" + std::to_string(titles_) + ".txt";
    testkit::WriteFileBytes(file, text + "\r\n");
    Log("note loaded for \"" + title + "\" from " + file);
    const bool typed = title == opened_ && memoModified_;
    if (!NoteCommand(title, 3))
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
            model_.A().notes[opened_] = NoteOfMemo();
    }
    // The file's last line break shows as an empty last line (the note saved has none more).
    return NoteChanged(text, text + "\r\n");
}

bool Session::WritePage()
{
    const auto folders = Folders();
    if (folders.empty())
        return AddCategory();
    const std::string folder = OneOf(folders), typed = Fresh("Своя статья"), title = Trimmed(typed);
    const std::string page = "page" + std::to_string(titles_);
    const std::string typedPage = Chance(50) ? page + ".html" : page;
    // The author changed now and then; always when the editor is left without a page (its close
    // then writes what the user changed in it).
    const int how = Pick(10);
    const bool create = how < 5, atClose = how >= 8;
    const std::string author = !create || Chance(30) ? "Автор " + std::to_string(titles_) : author_;
    const std::string email = Chance(30) ? "avtor" + std::to_string(titles_) + "@soak.example" : email_;
    const std::string text = Chance(30) ? "текст " + std::to_string(titles_) + "\r\n<b>вторая</b> строка"
                                        : "текст " + std::to_string(titles_);
    const bool font = Chance(25);
    // The page written ("Создать") and chosen into the tree; the editor closed without it (its
    // close box, Alt+F4, "Файл" > "Выход", Esc), the text typed or not; the program closed with
    // the editor open.
    const bool typeText = create || atClose || Chance(60);
    const int closeWay = Pick(4);
    static const char* const closeWays[] = {"its close box", "Alt+F4", "Файл > Выход", "Esc"};
    const bool byKey = Chance(50);
    Log("page \"" + typed + "\" (" + typedPage + ") by " + author + " <" + email + ">" + (font ? ", a font chosen" : "") +
        " in the editor opened by " + (byKey ? "F5" : "the menu") +
        (create     ? ", written and chosen into \"" + folder + "\""
         : atClose  ? ", the program closed with the editor open"
                    : std::string(", the editor closed by ") + closeWays[closeWay] + (typeText ? " with the text typed" : "")));
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
        return FailScreen("the editor has " + std::to_string(edits.size()) + " boxes and no text");
    if (testkit::WindowText(edits[0]) != author_ || testkit::WindowText(edits[1]) != email_)
        return FailScreen("the editor's author is \"" + testkit::WindowText(edits[0]) + "\" <" +
                          testkit::WindowText(edits[1]) + ">, not \"" + author_ + "\" <" + email_ + ">");
    Driver::SetText(edits[0], author);
    Driver::SetText(edits[1], email);
    Driver::SetText(edits[2], typedPage);
    Driver::SetText(edits[3], typed);
    author_ = author;
    email_ = email;
    // The text of the editor's last use is still there (while the program runs): typed over.
    if (testkit::WindowText(memos[0]) != editorText_)
        return FailScreen("the editor's text shows \"" + testkit::WindowText(memos[0]) + "\", not \"" + editorText_ +
                          "\"");
    if (typeText) {
        SendMessageA(memos[0], EM_SETSEL, 0, -1);
        for (const char c : text)
            if (c != '\n')
                PostMessageA(memos[0], WM_CHAR, static_cast<unsigned char>(c), 0);
        if (!testkit::WaitUntil([&] { return testkit::WindowText(memos[0]) == text; }))
            return FailScreen("the editor's text shows \"" + testkit::WindowText(memos[0]) + "\"");
        editorText_ = text;
        editorUnsaved_ = true;
    }
    // The editor's menus by real keys, once it is in front: Alt, the menu ("Файл": "Создать",
    // "Выход"; "Правка": its sixth item "Шрифт") and its item.
    const auto editorMenu = [&](int Menu, int Item) {
        if (!testkit::WaitUntil([&] { return GetForegroundWindow() == editor && testkit::Answers(editor); }))
            return;
        Driver::Key(VK_MENU);
        for (int i = 0; i < Menu; ++i)
            Driver::Key(VK_RIGHT);
        for (int i = 0; i <= Item; ++i)
            Driver::Key(VK_DOWN);
        Driver::Key(VK_RETURN);
    };
    const auto closed = [&] {
        return testkit::WaitUntil([&] { return !IsWindowVisible(editor); }) || Fail("on the editor's close");
    };
    if (font && !ChooseFont(editor, [&] { editorMenu(1, 5); }))
        return false;
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
            return Fail("on the editor to come to the front");
        editorMenu(0, 1);
        editorTyped_ = false;
        if (!Expect("Внимание!!!", Yes) || !closed())
            return false;
        model_.settings2 = EditorSettings();
        return Check();
    }
    if (!create) {
        // Text typed and not written: the editor asks before it closes ("Нет" keeps it open).
        SetForegroundWindow(editor);
        if (!testkit::WaitUntil([&] { return GetForegroundWindow() == editor && testkit::Answers(editor); }))
            return Fail("on the editor to come to the front");
        const auto closeIt = [&] {
            if (closeWay == 0) {
                PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else if (closeWay == 1) {
                driver_.Chord(VK_F4, VK_MENU);
                if (!testkit::WaitUntil([&] { return !IsWindowVisible(editor) || !driver_.Boxes().empty(); }, 3000) &&
                    driver_.Lost()) {
                    Log("  Alt was let go before the editor read F4: pressed again");
                    driver_.Chord(VK_F4, VK_MENU);
                }
            } else if (closeWay == 2) {
                editorMenu(0, 1);
            } else {
                Driver::Key(VK_ESCAPE);
            }
        };
        closeIt();
        // Esc is no key of the editor's: it stays, and is left by "Выход" then.
        if (closeWay == 3 && driver_.Settle() && driver_.Boxes().empty() && IsWindowVisible(editor)) {
            Log("  Esc leaves the editor open: closed by Файл > Выход");
            editorMenu(0, 1);
        }
        if (editorUnsaved_) {
            const bool yes = Chance(70);
            if (!Expect("Внимание!!!", yes ? Yes : No))
                return false;
            if (!yes) {
                if (!testkit::WaitUntil([&] { return GetForegroundWindow() == editor && testkit::Answers(editor); }))
                    return Fail("on the editor to come back to the front");
                editorMenu(0, 1);
                if (!Expect("Внимание!!!", Yes))
                    return false;
            }
        }
        if (!closed())
            return false;
        model_.settings2 = EditorSettings();
        return Check();
    }
    editorMenu(0, 0);
    if (!closed())
        return false;
    model_.settings2 = EditorSettings();
    editorUnsaved_ = false;
    // The page holds the title as it was typed; the tree's entry drops its blanks.
    model_.pages[page + ".html"] = Model::Page{typed, text, author, email};
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
    model_.A().map["FILES"][title] = page + ".html";
    return Check();
}

bool Session::ChooseFont(HWND Editor, const std::function<void()>& Open)
{
    Open();
    // The system's font dialog: a font of its list and a size typed, OK.
    HWND dialog = nullptr;
    testkit::WaitUntil([&] {
        HWND front = GetForegroundWindow();
        DWORD pid = 0;
        GetWindowThreadProcessId(front, &pid);
        dialog = pid == driver_.Pid() && front != Editor && testkit::WindowClass(front) == "#32770" &&
                         testkit::Answers(front)
                     ? front
                     : nullptr;
        return dialog != nullptr;
    });
    if (!dialog)
        return Fail("on the font dialog");
    HWND names = GetDlgItem(dialog, 0x470), sizes = GetDlgItem(dialog, 0x472);
    const int count = static_cast<int>(SendMessageA(names, CB_GETCOUNT, 0, 0));
    if (!names || !sizes || count <= 0)
        return FailScreen("the font dialog lists no font");
    wchar_t wide[LF_FACESIZE + 1] = {};
    SendMessageW(names, CB_GETLBTEXT, static_cast<WPARAM>(Pick(std::min(count, 4))), reinterpret_cast<LPARAM>(wide));
    char name[LF_FACESIZE * 2] = {};
    WideCharToMultiByte(1251, 0, wide, -1, name, sizeof name - 1, nullptr, nullptr);
    // Chosen in the lists as a click does (the dialog reads their choice): the size list follows
    // the font's.
    const auto choose = [&](HWND Combo, int Control, int Index) {
        SendMessageA(Combo, CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(Control, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Combo));
    };
    choose(names, 0x470, static_cast<int>(SendMessageW(names, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>(wide))));
    const int sizeCount = static_cast<int>(SendMessageA(sizes, CB_GETCOUNT, 0, 0));
    if (sizeCount <= 0)
        return FailScreen("the font dialog lists no size for \"" + std::string(name) + "\"");
    const int sizeIndex = Pick(std::min(sizeCount, 6));
    wchar_t sizeText[32] = {};
    SendMessageW(sizes, CB_GETLBTEXT, static_cast<WPARAM>(sizeIndex), reinterpret_cast<LPARAM>(sizeText));
    choose(sizes, 0x472, sizeIndex);
    const std::string size = std::to_string(_wtoi(sizeText));
    Log("  the font \"" + std::string(name) + "\", " + size);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    if (!testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        return Fail("on the font dialog's close after OK");
    font_ = name;
    size_ = size;
    return true;
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
        WindowChord(Key, VK_CONTROL);
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

HWND Session::ReplaceQuestion(HWND Dialog)
{
    HWND box = nullptr;
    testkit::WaitUntil([&] {
        box = nullptr;
        for (HWND b : driver_.Boxes())
            if (b != Dialog && testkit::Answers(b))
                for (HWND button : testkit::VisibleWindows(b, 0, "Button"))
                    if (testkit::WindowText(button) == Yes || testkit::WindowText(button) == "Да")
                        box = b;
        return box != nullptr;
    });
    return box;
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
    // A fresh name, or a tree saved before (not the one on screen): then the save asks first
    // whether to replace it.
    std::vector<std::string> taken;
    for (const auto& [file, archive] : model_.trees)
        if (file != "Temp" && file != model_.current && file.rfind("Temp (", 0) != 0)
            taken.push_back(file);
    const bool replace = !taken.empty() && Chance(30);
    const std::string name = replace ? OneOf(taken) : (Chance(50) ? "Дерево " : "tree") + std::to_string(++titles_);
    Log("  saved as \"" + name + "\"" + (replace ? ", a tree saved before" : ""));
    if (replace) {
        HWND edit = driver_.Focus();
        Driver::SetText(edit, name);
        Driver::Key(VK_RETURN);
        HWND box = ReplaceQuestion(dialog);
        if (!box)
            return Fail("on the question whether to replace \"" + name + ".vlt\"");
        const bool yes = Chance(60);
        Log(std::string("  answered \"") + (yes ? "Да" : "Нет") + "\" to \"" + Driver::BoxText(box) + "\"");
        for (HWND button : testkit::VisibleWindows(box, 0, "Button"))
            if (testkit::WindowText(button).find(yes ? "Да" : "Нет") != std::string::npos)
                PostMessageA(button, BM_CLICK, 0, 0);
        if (!testkit::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
            return Fail("on the question's close");
        if (!yes) {
            // The file dialog asks for another name: given up by Esc.
            if (IsWindow(dialog) && IsWindowVisible(dialog)) {
                if (!testkit::WaitUntil([&] { return GetForegroundWindow() == dialog; }))
                    return Fail("on the file dialog's return to the front");
                Driver::Key(VK_ESCAPE);
            }
            return testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
                   Fail("on the save dialog's close");
        }
        if (!testkit::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
            return Fail("on the save dialog's close");
    } else if (!TypeFileName(dialog, name)) {
        return false;
    }
    // The tree with its folders as they are, its map, and the notes of its entries under the new
    // name: nothing else of a tree replaced stays.
    Archive copy = model_.A();
    copy.noteName = name;
    model_.trees[name] = copy;
    Saved = true;
    const std::string files = dir_.Path() + "FILES\\";
    std::string missing;
    const bool written = testkit::WaitUntil([&] {
        missing = "tree\\" + name + ".vlt";
        const auto tree = ParseTreeFile(testkit::ReadFileBytes(files + missing));
        if (!tree || Closed(*tree) != model_.A().tree)
            return false;
        missing = "tree\\" + name + ".ini";
        if (GetFileAttributesA((files + missing).c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        for (const auto& [title, text] : model_.A().notes) {
            missing = "text\\" + NoteName(title) + "_" + name + ".txt";
            if (testkit::ReadFileBytes(files + missing) != text)
                return false;
        }
        return true;
    });
    return written || FailFile(missing + " is not written as saved");
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
    const bool newWindow = NewWindow();
    // The working tree file, a tree this session saved, a second program's copy: the model knows
    // them. (The working tree in a new window only beside the window that works on it.)
    std::vector<std::string> files;
    for (const auto& [file, archive] : model_.trees)
        if (!newWindow || file != "Temp" || model_.current == "Temp")
            files.push_back(file);
    static const char* const ways[] = {"Ctrl+L", "Файл > Загрузить дерево", "its tool button"};
    const int way = Pick(3);
    const std::string file = OneOf(files);
    const std::string name = model_.trees[file].noteName;
    Log("load the tree file \"" + file + ".vlt\" by " + ways[way] +
        (newWindow ? " in a new window" : " in this window"));
    if (!Command(way, 'L', 0, 2, 1))
        return false;
    HWND dialog = FileDialog();
    if (!dialog || !TypeFileName(dialog, file + ".vlt"))
        return false;
    if (newWindow) {
        if (file != model_.current)
            return SecondProgram(name + " -", file) && Check();
        // A second program on the tree this window works on gets a copy of its own, made from
        // the files as they are (every change of this window is in them); its caption names it.
        return SecondProgram(name + " [Temp (", "", true) && Check();
    }
    // The tree shown loaded again: refused (as the tree the window works on) or loaded anew.
    if (file == model_.current) {
        HWND box = driver_.WaitBox();
        if (!box)
            return Fail("on a box after the load of the tree shown");
        if (Driver::BoxText(box).find(Yes) == std::string::npos)
            return Expect("OK", "OK") && Check();
    }
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
    // The window works on the tree loaded, with its own map and notes; the tree left stays on
    // disk as it was. Nothing of the tree left stays open.
    model_.current = file;
    Named();
    ForgetOpened();
    return Check();
}

bool Session::SecondProgram(const std::string& Caption, const std::string& Archive, bool Told)
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
    if (!other_.Attach(second))
        return fail("on the second program's window");
    // A copy of the archive this window works on, named by the second's caption ("[Temp (n).vlt]").
    std::string archive = Archive;
    if (archive.empty()) {
        const std::string caption = testkit::WindowText(second);
        const size_t from = caption.find('[') + 1, to = caption.find(".vlt]");
        if (to == std::string::npos || to < from)
            return fail("the second program's caption \"" + caption + "\" names no copy");
        archive = caption.substr(from, to - from);
        model_.trees[archive] = model_.A();
        model_.trees[archive].noteName = archive;
    }
    secondName_ = archive;
    secondPages_.clear();
    otherOpened_.clear();
    otherMemo_.clear();
    otherMemoModified_ = false;
    // Work in the second program now and then: entries added, renamed, marked, deleted, notes
    // typed and saved; then it is closed before the first, or after it.
    const bool work = Chance(60), after = work && Chance(40);
    // The first program's page history, which the second never writes.
    const std::string files = dir_.Path() + "FILES\\";
    history_ = testkit::ReadFileBytes(files + "tmpB.ini") + "|" + testkit::ReadFileBytes(files + "tmpF.ini");
    if (work) {
        SwapWindow();
        Log("  in the second program on \"" + archive + "\":");
        static bool (Session::*const actions[])() = {&Session::AddArticle, &Session::Rename,  &Session::TypeNote,
                                                      &Session::SaveNote,   &Session::Delete,  &Session::AddCategory,
                                                      &Session::Mark,       &Session::AddLink, &Session::Open};
        for (int i = 2 + Pick(4); i > 0 && !stopped_; --i)
            if (!(this->*actions[Pick(9)])() && !stopped_)
                Fail("the action did not complete");
        SwapWindow();
        if (stopped_)
            return fail("on the second program's work");
    }
    if (after) {
        Log("  the first program closed before the second");
        bool done = false;
        if (!Close(done, At::Any, false))
            return fail("on the first program's close");
        if (done) {
            if (!CloseSecond(false))
                return false;
            // form.ini as the first wrote it, the address lists of both merged.
            if (const std::string diff = FirstDifference(model_, dir_.Path() + "FILES\\"); !diff.empty()) {
                FailFile("after the second program's close " + diff);
                TakeFiles();
            }
            return Restart();
        }
    }
    return CloseSecond(true);
}

bool Session::SecondBeside()
{
    // The program started again while it runs: the second works on a copy of the archive the
    // first works on (the one form.ini names), made from its files as they are.
    Log("a second program started beside the first");
    std::string cmd = "\"" + dir_.Path() + "Vellorn.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.Path().c_str(), &si, &pi))
        return Fail("on the second program's start");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return SecondProgram(model_.A().noteName + " [Temp (", "", true) && Check();
}

bool Session::CloseSecond(bool Back)
{
    SwapWindow();
    Log("  the second program closed by its close box");
    const bool typed = memoModified_;
    PostMessageA(driver_.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    bool stayed = false, ok = !typed || NoteQuestion(stayed);
    // "Отмена" keeps it: given up again with "Нет".
    if (ok && stayed) {
        PostMessageA(driver_.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ok = Expect("Отмена", No);
        memoModified_ = false;
    }
    ok = ok && (driver_.Ended() || Fail(driver_.Boxes().empty() ? "on the second program's end"
                                                               : Driver::BoxText(driver_.Boxes()[0]), Kind::Box));
    driver_.Kill();
    SwapWindow();
    if (!ok)
        return false;
    if (const std::string diff = FirstDifference(model_, dir_.Path() + "FILES\\", false); !diff.empty()) {
        FailFile("after the second program's close " + diff);
        TakeFiles(true);
    }
    const std::string files = dir_.Path() + "FILES\\";
    // Its close merged the pages it opened into the address list (losing none there was): a kill
    // of the first keeps them, the first's close keeps them.
    for (const std::string& page : secondPages_)
        if (std::none_of(model_.list.begin(), model_.list.end(),
                         [&](const std::string& line) { return AnsiSameText(line, page); }))
            model_.list.push_back(page);
    secondPages_.clear();
    const std::vector<std::string> list = FileLines(files + "list");
    for (const std::string& line : closedList_)
        if (std::find(list.begin(), list.end(), line) == list.end())
            FailFile("the second program's close dropped \"" + line + "\" from the address list");
    closedList_ = list;
    if (testkit::ReadFileBytes(files + "tmpB.ini") + "|" + testkit::ReadFileBytes(files + "tmpF.ini") != history_)
        FailFile("the second program wrote the first's page history (tmpB.ini, tmpF.ini)");
    // The user's keys go to this program again.
    return !Back || driver_.ToFront() || Fail("on the main window's return to the front");
}

void Session::SwapWindow()
{
    inSecond_ = !inSecond_;
    std::swap(driver_, other_);
    std::swap(opened_, otherOpened_);
    std::swap(memo_, otherMemo_);
    std::swap(memoModified_, otherMemoModified_);
    std::swap(model_.current, secondName_);
}

bool Session::ClearTree()
{
    const bool yes = Chance(60);
    Log(std::string("clear the tree by Файл > Очистить дерево статей, answered ") + (yes ? "Да" : "Нет"));
    if (!driver_.MenuBar(0, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
        return Fail(driver_.Error());
    if (!Expect("Внимание!!!", yes ? Yes : No))
        return false;
    // The box says a cleared tree cannot be restored: its entries go with their keys and notes,
    // and nothing of them stays open.
    if (yes) {
        const std::string gone = opened_;
        while (!model_.A().tree.empty())
            model_.Remove(model_.A().tree.front().title);
        ForgetOpened();
        if (!Check() || !NotNamed(gone))
            return false;
        // Now and then the program closed with the tree empty.
        if (Chance(30))
            return CloseAndStart();
        return true;
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
    const auto back = [&](DWORD Ms) {
        return testkit::WaitUntil([&] { return IsWindowVisible(driver_.TreeNow()) && !IsWindowVisible(results); }, Ms);
    };
    if (HWND focus = driver_.Focus(); focus == results) {
        driver_.Chord(VK_TAB, VK_CONTROL);
        if (!back(3000) && driver_.Lost()) {
            Log("  Ctrl was let go before the program read Tab: the articles' tab clicked");
            if (!driver_.TreePageTab(0))
                return Fail(driver_.Error());
        }
    } else {
        Log("  the keyboard is at " + (focus ? testkit::WindowClass(focus) : std::string("no window")) +
            ": the articles' tab clicked");
        if (!driver_.TreePageTab(0))
            return Fail(driver_.Error());
    }
    if (!back(10000))
        return Fail("Ctrl+Tab did not bring the article tree back");
    return Check();
}

bool Session::Close(bool& Done, At Where, bool Again)
{
    Done = false;
    Driver::Release();
    // The ways a user closes: the close box (its command), Alt+F4, "Файл" > "Выход", the tray's
    // "Закрыть" (which alone of the program's own ways is there with a dialog open), the session's
    // end with the system's query before it or without one.
    const int way = Where == At::AfterKeys  ? 1
                    : Where == At::InRename ? Pick(2)
                    : Where == At::InDialog ? 3 + Pick(3)
                                            : Pick(6);
    static const char* const ways[] = {"the close box", "Alt+F4", "Файл > Выход", "the tray's \"Закрыть\"",
                                       "the session's end", "the session's end without a query"};
    Log(std::string("close by ") + ways[way]);
    // The session's end writes each file once.
    FileWrites writes(dir_.Path() + "FILES");
    std::thread ending;
    // The session's end: the query answered while its questions are (from a thread of its own),
    // then the end; or the end alone, which asks nothing and writes what can be written.
    const auto endSession = [&](bool Query) {
        HWND main = driver_.Main();
        ending = std::thread([main, Query] {
            DWORD_PTR answer = 1;
            if (!Query || (SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &answer) && answer))
                SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 30000, &answer);
        });
    };
    if (way == 0) {
        PostMessageA(driver_.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (way == 1) {
        // Typed ahead of a dialog's work it stays behind the keys, in a rename it goes to the
        // rename's box; else the main window takes it.
        if (Where == At::Any && !driver_.ToFront())
            return Fail("on the main window to come to the front");
        driver_.Chord(VK_F4, VK_MENU);
        // Typed ahead, the dialog's close is a change of focus that can let Alt go as well; the
        // program then first finishes the dialog's work.
        if (Where != At::InRename &&
            !testkit::WaitUntil([&] { return driver_.Ended(0) || !driver_.Boxes().empty(); },
                                Where == At::AfterKeys ? testkit::kInputLostMs : 3000) &&
            driver_.Lost()) {
            Log("  Alt was let go before the program read F4: pressed again");
            driver_.Chord(VK_F4, VK_MENU);
        }
    } else if (way == 2) {
        if (!driver_.MenuBar(0, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}))
            return Fail(driver_.Error());
    } else if (way == 3) {
        const auto trays = testkit::ProcessWindows(driver_.Pid(), "TrayIconWindow");
        if (trays.size() != 1)
            return FailScreen("the program has " + std::to_string(trays.size()) + " tray icons");
        PostMessageA(trays[0], WM_APP + 0x3A1, 1, WM_RBUTTONUP);
        if (!testkit::ChooseInMenu(driver_.Pid(), {VK_DOWN, VK_RETURN}))
            return Fail("the tray's menu did not come");
    } else {
        endSession(way == 4);
    }
    // The session's end without a query, also with a question of the close open: nothing is
    // asked, the typed note, the properties panel's values and the editor's settings are kept.
    bool ended = way == 5;
    const auto keepAll = [&] {
        if (memoModified_ && model_.Has(opened_))
            model_.A().notes[opened_] = NoteOfMemo();
        if (!panelEdit_.empty())
            Retitled(panelEdit_[0], panelEdit_[1], panelEdit_[2]);
        memoModified_ = false;
        panelEdit_.clear();
    };
    // A question of the close, answered, or left open for the session's end without a query.
    const auto question = [&](const std::string& Part, const char* Answer) {
        if (!ended && way < 4 && Chance(15)) {
            HWND box = driver_.WaitBox();
            if (!box)
                return Fail("no box \"" + Part + "\" came");
            Log("  the session ends with the question \"" + Part + "\" open");
            ended = true;
            endSession(false);
            return true;
        }
        return ended || Expect(Part, Answer);
    };
    bool stayed = false;
    bool ok = true;
    if (editorTyped_ && way != 5) {
        // The editor's question comes first: "Нет" keeps it open and stops the close.
        const bool yes = Chance(50);
        ok = question("Внимание!!!", yes ? Yes : No);
        stayed = !yes && !ended;
    }
    if (ok && !stayed && memoModified_ && !ended) {
        testkit::WaitUntil([&] { return driver_.Ended(0) || !driver_.Boxes().empty(); });
        const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
        ok = question("Отмена", answer);
        if (ok && !ended) {
            if (answer == Yes)
                model_.A().notes[opened_] = NoteOfMemo();
            stayed = answer == Cancel;
            if (!stayed)
                memoModified_ = false;
        }
    }
    if (ok && !stayed && !panelEdit_.empty() && !ended) {
        // The properties panel's change: applied, dropped, or the close given up.
        const char* answer = OneOf(std::vector<const char*>{Yes, No, Cancel});
        ok = question("Внимание!!!", answer);
        if (ok && !ended) {
            if (answer == Yes)
                Retitled(panelEdit_[0], panelEdit_[1], panelEdit_[2]);
            stayed = answer == Cancel;
        }
    }
    if (ended)
        keepAll();
    if (ending.joinable())
        ending.join();
    if (!ok)
        return false;
    // The tray's menu took the front: the user goes back to the window.
    if (stayed && way == 3 && !driver_.ToFront())
        return Fail("on the main window to come to the front");
    if (stayed)
        return Check();
    if (!driver_.Ended())
        return driver_.Boxes().empty() ? Fail("on the program's end")
                                       : Fail(Driver::BoxText(driver_.Boxes()[0]) + " (the program did not end)",
                                              Kind::Box);
    Done = true;
    if (ended)
        for (const auto& [name, times] : writes.Count())
            if (times > 1)
                FailFile("the session's end wrote " + name + " " + std::to_string(times) + " times");
    // The page history only grows: every page it held at the start is still there.
    const auto history = HistoryKeys();
    for (const std::string& key : historyKeys_)
        if (!history.count(key)) {
            FailFile("after the close the page history lost " + key);
            break;
        }
    // The editor open at the close writes its settings.
    if (editorTyped_)
        model_.settings2 = EditorSettings();
    // The close has written form.ini: it names the tree the window worked on.
    notRead_.clear();
    Named();
    if (const std::string diff = FirstDifference(model_, dir_.Path() + "FILES\\"); !diff.empty()) {
        FailFile("after the close " + diff);
        TakeFiles();
    }
    // Nothing moved aside or left over in the trees' folder: only the trees the user has (and a
    // named file that could not be read, as it was).
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir_.Path() + "FILES\\tree\\*").c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) {
        const std::string name = found.cFileName;
        const size_t dot = name.rfind('.');
        const std::string base = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != badTree_ &&
            !((SameText(ext, ".vlt") || SameText(ext, ".ini")) && model_.trees.count(base)) &&
            strays_.insert(name).second)
            FailFile("after the close tree\\" + name + " is there, which no tree of the user's is");
    }
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    closedList_ = model_.list;
    closedSkin_ = model_.skin;
    return !Again || Restart();
}

bool Session::Recover()
{
    // The program is no longer where the model is: the programs end, the model takes the files,
    // and the program starts again, so that a second fault of the session is seen too. Past a few
    // divergences the session stops there.
    if (timedOut_ || divergences_.size() >= 6)
        return false;
    Log("  the programs ended, the model takes the files, the program starts again");
    EndPrograms();
    driver_.Kill();
    other_.Kill();
    TakeFiles();
    stopped_ = false;
    return Restart();
}

void Session::TakeFiles(bool Running)
{
    const std::string files = dir_.Path() + "FILES\\";
    // The archive a running program shows stays as the model has it (its window shows it so).
    for (auto a = model_.trees.begin(); a != model_.trees.end();) {
        std::optional<Archive> read;
        if (Running && a->first == model_.current)
            ++a;
        else if ((read = ReadArchive(files, a->first, a->second.noteName)))
            (a++)->second = *read;
        else if (a->first != "Temp")
            a = model_.trees.erase(a); // not there, or no tree file
        else
            (a++)->second = Archive{{}, {}, {}, "VLN"}; // the working tree lost: an empty one
    }
    if (Running)
        return;
    // A page unlike what was written is not looked at again.
    for (auto page = model_.pages.begin(); page != model_.pages.end();) {
        Model one;
        one.pages = {*page};
        page = FirstDifference(one, files, false).empty() ? std::next(page) : model_.pages.erase(page);
    }
    model_.list = FileLines(files + "list");
    model_.settings = testkit::ReadFileBytes(files + "settings.ini");
    model_.settings2 = testkit::ReadFileBytes(files + "Settings2.ini");
    // The editor opens with what its file holds (an editor ended before its close wrote nothing).
    Ini editor = ParseIni(model_.settings2);
    const auto value = [&](const char* Section, const char* Key, const char* Default) {
        return editor[Section].count(Key) ? editor[Section][Key] : std::string(Default);
    };
    author_ = value("AUTOR", "Name", "Аноним");
    email_ = value("AUTOR", "e-mail", "vellorn@vellorn.example");
    font_ = value("TEXT", "Name", "0");
    size_ = value("TEXT", "Size", "0");
    Ini form = ParseIni(testkit::ReadFileBytes(files + "form.ini"));
    model_.skin = form["FORM"]["Skin"];
    for (auto& [section, keys] : model_.form)
        for (auto& [key, value] : keys)
            value = form[section].count(key) ? form[section][key] : "";
    // The tree the next start opens.
    model_.current = "Temp";
    for (const auto& [file, archive] : model_.trees)
        if (SameText(form["FORM"]["TreeFile"], files + "tree\\" + file + ".vlt"))
            model_.current = file;
}

bool Session::Restart(bool Again)
{
    Log(Again ? "start" : "the first start");
    driver_.Kill();
    opened_.clear();
    memo_.clear();
    memoModified_ = false;
    editorTyped_ = false;
    editorText_.clear();
    editorUnsaved_ = false;
    panelEdit_.clear();
    // form.ini naming a tree that is not read: the start tells so, and the window works on the
    // working tree (once form.ini has forgotten it, nothing is told).
    if (!notRead_.empty() &&
        !ParseIni(testkit::ReadFileBytes(dir_.Path() + "FILES\\form.ini"))["FORM"].count("TreeFile")) {
        notRead_.clear();
        Named();
    }
    historyKeys_ = HistoryKeys();
    std::string told;
    if (!driver_.Start(notRead_.empty() ? nullptr : &told))
        return Fail("on the program's start");
    if (!notRead_.empty()) {
        // The message may come once the window shows.
        if (told.empty())
            if (HWND box = driver_.WaitBox()) {
                told = Driver::BoxText(box);
                driver_.Answer(box, "OK");
            }
        Log("  answered \"OK\" to \"" + told + "\"");
        if (told.empty())
            Tell("on the start's message that \"" + notRead_ + "\" was not read", Kind::Wait);
        else if (told.find('|') != std::string::npos && told.find(notRead_) == std::string::npos &&
                 told.find(notRead_.substr(notRead_.rfind('\\') + 1)) == std::string::npos)
            Tell("the start's message does not name \"" + notRead_ + "\": " + told, Kind::Box);
    }
    return Check();
}

bool Session::KillNow()
{
    // Between two actions, or in one (at the moment its effect shows, or before it was
    // confirmed): the files are then as of that action or of the one before.
    if (avoid_.kill)
        return CloseAndStart();
    const bool inAction = Chance(60);
    before_ = model_.trees;
    if (inAction) {
        static bool (Session::*const actions[])() = {&Session::AddArticle, &Session::Rename, &Session::Delete,
                                                      &Session::Mark,       &Session::Drag,   &Session::AddLink,
                                                      &Session::Properties, &Session::AddCategory};
        Log("a kill of the program in the next action");
        killAtCheck_ = true;
        const bool ok = (this->*actions[Pick(8)])();
        killAtCheck_ = false;
        if (!ok)
            return false;
    }
    if (!killed_) {
        Log("a kill of the program");
        driver_.Kill();
    }
    killed_ = false;
    // Each archive as the action left it, or as it was before; its tree, map and notes agree.
    const std::string files = dir_.Path() + "FILES\\";
    for (auto& [file, archive] : model_.trees) {
        const auto was = before_.find(file);
        const std::string now = ArchiveDifference(archive, files, file);
        if (!now.empty() && was != before_.end() && ArchiveDifference(was->second, files, file).empty() &&
            FirstNoteDifference(was->second, files, &model_.strayNotes).empty()) {
            Log("  \"" + file + "\" as before the action");
            archive = was->second;
            if (file == model_.current)
                ForgetOpened();
        } else if (!now.empty()) {
            FailFile("after a kill " + now);
            TakeFiles();
        } else if (const std::string notes = FirstNoteDifference(archive, files, &model_.strayNotes); !notes.empty()) {
            FailFile("after a kill " + notes);
            TakeFiles();
        }
        if (const std::string tie = ArchiveTie(files, file, archive.noteName, archive.notes); !tie.empty())
            FailFile("after a kill " + tie);
    }
    // form.ini and the address list as the last close wrote them (or the skin accepted since); a
    // named tree not read may be forgotten by form.ini already.
    if (!notRead_.empty() && !ParseIni(testkit::ReadFileBytes(files + "form.ini"))["FORM"].count("TreeFile")) {
        notRead_.clear();
        Named();
    }
    model_.list = closedList_;
    const std::string skin = ParseIni(testkit::ReadFileBytes(files + "form.ini"))["FORM"]["Skin"];
    if (skin != model_.skin)
        model_.skin = closedSkin_;
    if (stopped_)
        return false;
    return Restart();
}

bool Session::Drag()
{
    const auto all = model_.Titles(true, true);
    if (all.empty())
        return AddCategory();
    const std::string title = OneOf(all);
    // Onto a folder that is not the node or below it, or onto the empty space; some onto an
    // entry or onto itself, which moves nothing.
    std::function<bool(const Node&, const std::string&)> below = [&](const Node& n, const std::string& t) {
        return std::any_of(n.kids.begin(), n.kids.end(), [&](const Node& k) { return k.title == t || below(k, t); });
    };
    std::vector<std::string> targets;
    for (const std::string& f : Folders())
        if (f != title && !below(*model_.Find(title), f))
            targets.push_back(f);
    const int how = Pick(10);
    std::string target;
    if (how < 6 && !targets.empty())
        target = OneOf(targets);
    else if (how == 8)
        target = OneOf(all);
    Log("drag \"" + title + "\" onto " + (target.empty() ? std::string("the empty space") : "\"" + target + "\""));
    if (!driver_.Drag(title, target)) {
        // Nodes that do not fit in view together, or no other node to select before the press:
        // nothing was pressed.
        if (driver_.Error().find("in view") == std::string::npos &&
            driver_.Error().find("no empty space") == std::string::npos)
            return Fail(driver_.Error());
        Log("  not dragged: " + driver_.Error());
        return Check();
    }
    Node* to = target.empty() ? nullptr : model_.Find(target);
    if (target == title || (to && !IsFolder(to->image)) || (to && below(*model_.Find(title), target)))
        return Check();
    Tree* owner = nullptr;
    Node moved = *model_.Find(title, &owner);
    owner->erase(owner->begin() + (model_.Find(title) - owner->data()));
    (target.empty() ? model_.A().tree : model_.Find(target)->kids).push_back(std::move(moved));
    return Check();
}

void Session::StartingArchive()
{
    const std::string files = dir_.Path() + "FILES\\";
    // The look of the session.
    static const char* const skins[] = {"Neutral", "Dusk", ""};
    model_.skin = skins[Pick(3)];
    std::string form = testkit::ReadFileBytes(files + "form.ini");
    form.replace(form.find("Skin=Neutral"), 12, "Skin=" + model_.skin);
    // Half the sessions start with loaded trees opening in the same window.
    if (Chance(50))
        testkit::WriteFileBytes(files + "settings.ini", "[OPEN_TREE]\r\nTreeOpen=false\r\n");
    // What the default archive holds at the start.
    Archive& working = model_.trees["Temp"];
    working.tree = ParseTreeFile(testkit::ReadFileBytes(files + "tree\\Temp.vlt")).value_or(soak::Tree{});
    working.map = ParseIni(testkit::ReadFileBytes(files + "tree\\Temp.ini"));
    working.noteName = "VLN";
    // Some archives come with a long or odd address list and page history.
    if (Chance(30)) {
        std::string list, back = "[URL]\r\n";
        for (int i = 1; i <= 30; ++i) {
            const std::string page = files + "старый адрес " + std::to_string(i) + ".html";
            testkit::WriteFileBytes(page, "<html><head><title>Старая страница " + std::to_string(i) +
                                              "</title></head><body>текст</body></html>");
            model_.list.push_back(page);
            list += page + "\r\n";
            back += "Страница " + std::to_string(i) + "=" + page + "\r\n";
        }
        testkit::WriteFileBytes(files + "list", list);
        testkit::WriteFileBytes(files + "tmpB.ini", back);
        log_.push_back("a list of 30 addresses and a page history of 30 at the start");
    } else {
        model_.list = FileLines(files + "list");
    }
    // form.ini naming a saved tree: there (then the window works on it), damaged, not a tree file,
    // or gone (then the start tells which file it did not read and opens the working tree).
    const int named = avoid_.namedTree ? 9 : Pick(10);
    static const char* const states[] = {"there", "damaged", "not a tree file", "gone"};
    if (named < 4) {
        const std::string tree = "Сохранённое " + std::to_string(seed_ % 100);
        const std::string path = files + "tree\\" + tree + ".vlt";
        if (named == 0) {
            testkit::WriteFileBytes(path, testkit::ReadFileBytes(files + "tree\\Temp.vlt"));
            testkit::WriteFileBytes(files + "tree\\" + tree + ".ini", testkit::ReadFileBytes(files + "tree\\Temp.ini"));
            model_.trees[tree] = working;
            model_.trees[tree].noteName = tree;
            model_.current = tree;
        } else if (named == 1) {
            testkit::WriteFileBytes(path, testkit::ReadFileBytes(files + "tree\\Temp.vlt").substr(0, 90));
        } else if (named == 2) {
            testkit::WriteFileBytes(path, "[FORM]\r\nName=это не дерево\r\n");
        }
        form.replace(form.find("NameTree=VLN"), 12, "NameTree=VLN\r\nTreeFile=" + path);
        log_.push_back("form.ini names the saved tree \"" + path + "\" (" + states[named] + ")");
        if (named != 0) {
            notRead_ = path;
            badTree_ = tree + ".vlt";
        }
    }
    // Some form.ini files are long or odd: a section the program does not know, with many keys,
    // comments and a key without a value.
    if (Chance(20)) {
        form += "; заметка пользователя\r\n[Чужое]\r\n";
        for (int i = 0; i < 200; ++i)
            form += "Ключ" + std::to_string(i) + "=значение " + std::to_string(i) + "\r\n";
        form += "БезЗначения\r\n";
        log_.push_back("form.ini long and odd at the start");
    }
    testkit::WriteFileBytes(files + "form.ini", form);
    model_.form = ParseIni(form);
    model_.form.erase("Чужое");
    model_.form["FORM"].erase("Skin");
    model_.settings = testkit::ReadFileBytes(files + "settings.ini");
    model_.settings2 = testkit::ReadFileBytes(files + "Settings2.ini");
    closedList_ = model_.list;
    closedSkin_ = model_.skin;
    log_.push_back("look \"" + model_.skin + "\"" + (NewWindow() ? "" : ", trees open in this window"));
}

void Session::Named()
{
    // form.ini names the tree the window works on (TreeFile, its full path, for a saved tree);
    // NameTree stays the working tree's name, which its notes go by.
    const bool working = model_.current == "Temp";
    model_.form["FORM"]["NameTree"] = "VLN";
    model_.form["FORM"]["TreeFile"] = working ? "" : dir_.Path() + "FILES\\tree\\" + model_.current + ".vlt";
}

void Session::EndPrograms()
{
    // Every program of this session's Wine session: the soak's own, a second one, a splash.
    using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;
    for (const char* cls : {"TID_Vellorn", "TFLog", "TsMessageForm"})
        for (HWND w : testkit::ProcessWindows(0, cls)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid && pid != GetCurrentProcessId())
                if (const Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid), &CloseHandle); process)
                    TerminateProcess(process.get(), 1);
        }
}

Outcome Session::Run(int Actions, int LimitS)
{
    const auto started = std::chrono::steady_clock::now();
    const std::string files = dir_.Path() + "FILES\\";
    logic::CopyTree(logic::SourceDir() + "app\\defaults\\FILES", dir_.Path() + "FILES");
    testkit::ProgramRun::CopyProgram(dir_.Path());
    // The pages of the session's articles, each with a link to the next.
    for (int i = 1; i <= PageCount; ++i)
        testkit::WriteFileBytes(files + "soak" + std::to_string(i) + ".html",
                                "<html><head><title>Страница " + std::to_string(i) +
                                    "</title></head><body><p><a href=\"soak" + std::to_string(i % PageCount + 1) +
                                    ".html\">Дальше</a> текст страницы</p></body></html>");
    StartingArchive();
    // The session's limit: past it its programs are ended, which ends every wait on them.
    std::mutex m;
    std::condition_variable cv;
    bool over = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(LimitS), [&] { return over; })) {
            timedOut_ = true;
            EndPrograms();
        }
    });

    if (Restart(false) || Recover()) {
        for (step_ = 1; step_ <= Actions && !stopped_ && !timedOut_; ++step_) {
            // Each kind of action with its share.
            static const std::pair<int, bool (Session::*)()> kinds[] = {
                {8, &Session::AddCategory}, {8, &Session::AddSubcategory}, {14, &Session::AddArticle},
                {6, &Session::AddLink},     {12, &Session::Rename},        {8, &Session::Delete},
                {9, &Session::Mark},        {8, &Session::Open},           {11, &Session::TypeNote},
                {7, &Session::SaveNote},    {4, &Session::RemoveNote},     {7, &Session::CloseAndStart},
                {5, &Session::ChooseSkin},  {4, &Session::AddFlash},       {6, &Session::Properties},
                {3, &Session::LoadNote},    {6, &Session::WritePage},      {3, &Session::TypeAddress},
                {3, &Session::Settings},    {4, &Session::SaveTree},       {5, &Session::LoadTree},
                {2, &Session::ClearTree},   {4, &Session::SearchTitle},    {6, &Session::Drag},
                {3, &Session::KillNow},     {3, &Session::Browse},         {2, &Session::ChooseAddress},
                {2, &Session::FindInPage},  {2, &Session::SecondBeside},
            };
            int total = 0;
            for (const auto& kind : kinds)
                total += kind.first;
            int a = Pick(total);
            const size_t seen = divergences_.size();
            bool ok = true;
            for (const auto& [share, action] : kinds)
                if ((a -= share) < 0) {
                    ok = (this->*action)();
                    break;
                }
            if (!ok && divergences_.size() == seen)
                Fail("the action did not complete");
            if (stopped_ && !Recover())
                break;
        }
        // The session's end: closed, every question answered, and the files compared.
        for (int tries = 0; !stopped_ && !timedOut_ && tries < 5; ++tries) {
            bool done = false;
            if (!Close(done, At::Any, false) || done)
                break;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m);
        over = true;
    }
    cv.notify_all();
    watchdog.join();
    if (timedOut_) {
        stopped_ = false;
        timedOut_ = false;
        Fail("on the session's limit of " + std::to_string(LimitS) + " s: its programs were ended");
    }
    EndPrograms();
    driver_.Kill();
    Driver::Release();
    Outcome out;
    out.divergences = divergences_;
    out.stopped = stopped_;
    out.log = log_;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return out;
}

} // namespace

Outcome RunSession(unsigned Seed, int Actions, const Avoid& A, int LimitS)
{
    return Session(Seed, A).Run(Actions, LimitS);
}

} // namespace soak
