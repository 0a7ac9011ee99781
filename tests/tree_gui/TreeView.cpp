// The tree view over its native window: the window mirrors the nodes, keeps them across
// re-creation, and turns native notifications into the events.
#include "ComCtrlsTree.h"
#include "FormTest.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace testkit;

namespace {

// A parent's subclass that adds the code of each notice it gets to a vector of UINT.
LRESULT CALLBACK RecordNoticeCodes(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR Into)
{
    if (Msg == WM_NOTIFY)
        reinterpret_cast<std::vector<UINT>*>(Into)->push_back(reinterpret_cast<const NMHDR*>(LParam)->code);
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
}

class TreeViewTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(150, 150, 320, 300);
        tree = Create<TTreeView>(form);
        tree->SetParent(form);
        tree->SetBounds(5, 5, 290, 250);
        form->Show();
        PumpPending();
    }

    // The native item of a node as the window has it: text, expansion, node pointer.
    struct NativeItem {
        std::string text;
        bool expanded = false;
        TTreeNode* node = nullptr;
    };
    NativeItem Native(TTreeNode* n)
    {
        NativeItem out;
        char buf[300] = {};
        TVITEMA it{};
        it.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
        it.hItem = n->ItemId();
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        it.stateMask = TVIS_EXPANDED;
        if (SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) {
            out.text = buf;
            out.expanded = (it.state & TVIS_EXPANDED) != 0;
            out.node = reinterpret_cast<TTreeNode*>(it.lParam);
        }
        return out;
    }

    // The native tree in depth-first order, as "level:text" entries.
    std::string NativeDump()
    {
        std::string out;
        HWND h = tree->Handle();
        std::vector<std::pair<HTREEITEM, int>> stack;
        for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;) {
            TVITEMA it{};
            char buf[300] = {};
            it.mask = TVIF_TEXT;
            it.hItem = item;
            it.pszText = buf;
            it.cchTextMax = sizeof buf;
            SendMessageA(h, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
            out += std::to_string(stack.size()) + ":" + buf + " ";
            auto child = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item));
            if (child) {
                stack.push_back({item, 0});
                item = child;
                continue;
            }
            for (;;) {
                auto next = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item));
                if (next) {
                    item = next;
                    break;
                }
                if (stack.empty()) {
                    item = nullptr;
                    break;
                }
                item = stack.back().first;
                stack.pop_back();
            }
        }
        return out;
    }

    std::string ModelDump()
    {
        std::string out;
        for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
            out += std::to_string(n->Level()) + ":" + n->Text() + " ";
        return out;
    }

    // The rows the window lays out, in model order, as "row:text" (row 0 at the top); a node the
    // window takes for hidden has no rectangle and is left out.
    std::string Rows()
    {
        std::string out;
        const int height = static_cast<int>(SendMessageA(tree->Handle(), TVM_GETITEMHEIGHT, 0, 0));
        for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext()) {
            RECT r{};
            *reinterpret_cast<HTREEITEM*>(&r) = n->ItemId();
            if (SendMessageA(tree->Handle(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r)))
                out += std::to_string(r.top / height) + ":" + n->Text() + " ";
        }
        return out;
    }

    // Records the events as markers beside what the form (the tree's parent) receives.
    void RecordEvents(MessageRecorder& rec)
    {
        rec.Watch(form->Handle(), msgParent);
        auto note = [&rec](const char* what, TTreeNode* n) { rec.Note(std::string(what) + " " + (n ? n->Text() : "-")); };
        tree->OnExpanding = [note](TObject*, TTreeNode* n, bool&) { note("expanding", n); };
        tree->OnExpanded = [note](TObject*, TTreeNode* n) { note("expanded", n); };
        tree->OnCollapsing = [note](TObject*, TTreeNode* n, bool&) { note("collapsing", n); };
        tree->OnCollapsed = [note](TObject*, TTreeNode* n) { note("collapsed", n); };
        tree->OnChanging = [note](TObject*, TTreeNode* n, bool&) { note("changing", n); };
        tree->OnChange = [note](TObject*, TTreeNode* n) { note("change", n); };
        tree->OnDeletion = [note](TObject*, TTreeNode* n) { note("deleted", n); };
    }

    HTREEITEM NativeSelection()
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    }

    // A small archive: two categories with subcategories and articles.
    void Fill()
    {
        TTreeNodes* items = tree->Items();
        a = items->Add(nullptr, "Категория");
        a1 = items->AddChild(a, "Подкатегория");
        art = items->AddChild(a1, "Статья");
        art->SetImageIndex(2);
        art->SetSelectedIndex(2);
        b = items->Add(nullptr, "Ссылки");
        link = items->AddChild(b, "Ссылка");
        link->SetImageIndex(39);
    }

    TForm* form = nullptr;
    TTreeView* tree = nullptr;
    TTreeNode *a = nullptr, *a1 = nullptr, *art = nullptr, *b = nullptr, *link = nullptr;
};

} // namespace

TEST_F(TreeViewTest, RecreatingTheWindowKeepsNodesStateAndSelection)
{
    Fill();
    a->Expand(false);
    a1->Expand(false);
    art->SetSelected(true);
    ASSERT_EQ(NativeSelection(), art->ItemId());
    int changes = 0;
    tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
    HWND before = tree->Handle();
    ASSERT_TRUE(GetWindowLongA(before, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    tree->SetBorderStyle(bsNone);
    HWND after = tree->Handle();
    EXPECT_NE(after, before);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_FALSE(GetWindowLongA(after, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // The same node objects, with their state, are in the new window.
    EXPECT_EQ(tree->Items()->GetFirstNode(), a);
    EXPECT_EQ(tree->Items()->Count(), 5);
    EXPECT_EQ(NativeDump(), ModelDump());
    EXPECT_EQ(Native(art).node, art);
    EXPECT_EQ(tree->Items()->GetNode(art->ItemId()), art);
    EXPECT_EQ(Native(art).text, "Статья");
    EXPECT_TRUE(Native(a).expanded);
    EXPECT_TRUE(Native(a1).expanded);
    EXPECT_FALSE(Native(b).expanded);
    EXPECT_EQ(art->ImageIndex(), 2);
    EXPECT_EQ(link->ImageIndex(), 39);
    EXPECT_EQ(tree->Selected(), art);
    EXPECT_EQ(NativeSelection(), art->ItemId());
    EXPECT_EQ(changes, 0); // re-creation is no selection change
    // The rebuilt window still works: selecting goes through it.
    link->SetSelected(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(NativeSelection(), link->ItemId());
    EXPECT_EQ(tree->GetNodeAt(-100, -100), nullptr);
}

TEST_F(TreeViewTest, ProgrammaticExpandAndCollapseFireTheEventsForEveryNode)
{
    Fill();
    MessageRecorder rec;
    RecordEvents(rec);
    // The parent's notices are looked at by their codes below.
    rec.Ignore(WM_NOTIFY);
    std::vector<UINT> notices;
    const SUBCLASSPROC codes = RecordNoticeCodes;
    ASSERT_TRUE(SetWindowSubclass(form->Handle(), codes, 1, reinterpret_cast<DWORD_PTR>(&notices)));
    // The window asks for images at any time; any other notice is one too many.
    const auto expandNotices = [&] {
        return std::count_if(notices.begin(), notices.end(), [](UINT c) { return c != TVN_GETDISPINFOA; });
    };

    // Leaves hear of programmatic expansion too, as with the framework; they stay unexpanded.
    // The window follows at the end, without an expand notice to its parent for any node.
    tree->FullExpand();
    EXPECT_EQ(expandNotices(), 0);
    EXPECT_TRUE(rec.Matches({Marker("expanding Категория"), Marker("expanded Категория"),
                             Marker("expanding Подкатегория"), Marker("expanded Подкатегория"),
                             Marker("expanding Статья"), Marker("expanded Статья"), Marker("expanding Ссылки"),
                             Marker("expanded Ссылки"), Marker("expanding Ссылка"), Marker("expanded Ссылка")}));
    EXPECT_EQ(Rows(), "0:Категория 1:Подкатегория 2:Статья 3:Ссылки 4:Ссылка ");
    EXPECT_TRUE(Native(a1).expanded);

    // Expanding it all again tells every node again and leaves the window as it is: nothing to
    // repaint (an update lock's end lays out every shown row anew and repaints the whole window).
    UpdateWindow(tree->Handle());
    rec.Clear();
    tree->FullExpand();
    a->Expand(true);
    EXPECT_FALSE(GetUpdateRect(tree->Handle(), nullptr, FALSE));
    EXPECT_TRUE(rec.Matches({Marker("expanding Категория"), Marker("expanded Категория"),
                             Marker("expanding Подкатегория"), Marker("expanded Подкатегория"),
                             Marker("expanding Статья"), Marker("expanded Статья"), Marker("expanding Ссылки"),
                             Marker("expanded Ссылки"), Marker("expanding Ссылка"), Marker("expanded Ссылка"),
                             Marker("expanding Категория"), Marker("expanded Категория"),
                             Marker("expanding Подкатегория"), Marker("expanded Подкатегория"),
                             Marker("expanding Статья"), Marker("expanded Статья")}));

    // Every node hears of the collapse, also one already collapsed, leaves included. The
    // selection hidden by the first collapse moves to the collapsing node, told at once.
    a1->Collapse(false);
    art->SetSelected(true);
    rec.Clear();
    notices.clear();
    tree->FullCollapse();
    EXPECT_TRUE(rec.Matches({Marker("collapsing Категория"), Marker("change Категория"),
                             Marker("collapsed Категория"), Marker("collapsing Подкатегория"),
                             Marker("collapsed Подкатегория"), Marker("collapsing Статья"), Marker("collapsed Статья"),
                             Marker("collapsing Ссылки"), Marker("collapsed Ссылки"), Marker("collapsing Ссылка"),
                             Marker("collapsed Ссылка")}));
    EXPECT_EQ(Rows(), "0:Категория 1:Ссылки ");
    EXPECT_EQ(expandNotices(), 0);
    RemoveWindowSubclass(form->Handle(), codes, 1);
    EXPECT_FALSE(Native(a).expanded);
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(NativeSelection(), a->ItemId());

    std::vector<std::string> log;
    tree->OnExpanded = [&](TObject*, TTreeNode* n) { log.push_back("expanded " + n->Text()); };
    tree->OnCollapsed = [&](TObject*, TTreeNode* n) { log.push_back("collapsed " + n->Text()); };
    // A refusal keeps the node as it is.
    tree->OnExpanding = [&](TObject*, TTreeNode*, bool& allow) { allow = false; };
    log.clear();
    b->Expand(false);
    EXPECT_FALSE(b->Expanded());
    EXPECT_FALSE(Native(b).expanded);
    EXPECT_TRUE(log.empty());

    // Expanding and collapsing through the window (the user's keys) reach the model and the events.
    tree->OnExpanding = nullptr;
    b->SetSelected(true);
    SendMessageA(tree->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(b->Expanded());
    EXPECT_EQ(log, (std::vector<std::string>{"expanded Ссылки"}));
    SendMessageA(tree->Handle(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(b->Expanded());
    EXPECT_EQ(log.back(), "collapsed Ссылки");
}

TEST_F(TreeViewTest, MovesAndDeletionsKeepTheWindowInStep)
{
    Fill();
    art->SetSelected(true);
    int changes = 0;
    tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
    std::vector<std::string> deleted;
    tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };

    a->MoveTo(art, naAddChild); // below itself: refused
    a->MoveTo(a1, naInsert);
    EXPECT_EQ(NativeDump(), "0:Категория 1:Подкатегория 2:Статья 0:Ссылки 1:Ссылка ");
    a1->MoveTo(link, naAddChild);
    EXPECT_EQ(ModelDump(), "0:Категория 0:Ссылки 1:Ссылка 2:Подкатегория 3:Статья ");
    EXPECT_EQ(NativeDump(), ModelDump());
    EXPECT_EQ(tree->Selected(), art);
    EXPECT_EQ(NativeSelection(), art->ItemId());
    EXPECT_EQ(changes, 0);
    b->MoveTo(nullptr, naAddFirst);
    EXPECT_EQ(NativeDump(), "0:Ссылки 1:Ссылка 2:Подкатегория 3:Статья 0:Категория ");

    link->Delete();
    EXPECT_EQ(deleted, (std::vector<std::string>{"Статья", "Подкатегория", "Ссылка"}));
    EXPECT_EQ(NativeDump(), "0:Ссылки 0:Категория ");
    EXPECT_EQ(tree->Items()->Count(), 2);
    EXPECT_NE(tree->Selected(), art);
    tree->Items()->Clear();
    EXPECT_EQ(NativeDump(), "");
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewTest, ClearDropsEveryItemAndTellsOfEveryNodeOnce)
{
    Fill();
    art->SetSelected(true);
    MessageRecorder rec;
    RecordEvents(rec);

    tree->Items()->Clear();
    // Last top-level node first, each subtree children first; no selection events, and no
    // notice of the window's own reaches its parent.
    EXPECT_TRUE(rec.Matches({Marker("deleted Ссылка"), Marker("deleted Ссылки"), Marker("deleted Статья"),
                             Marker("deleted Подкатегория"), Marker("deleted Категория")}));
    EXPECT_EQ(tree->Items()->Count(), 0);
    EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(NativeSelection(), nullptr);

    // The emptied view takes new nodes as before, also inside an update.
    tree->Items()->BeginUpdate();
    TTreeNode* top = tree->Items()->Add(nullptr, "Новая");
    tree->Items()->AddChild(top, "Дочерняя");
    tree->Items()->Clear();
    tree->Items()->Add(nullptr, "Последняя");
    tree->Items()->EndUpdate();
    EXPECT_TRUE(rec.Matches({Marker("deleted Дочерняя"), Marker("deleted Новая")}));
    EXPECT_EQ(NativeDump(), "0:Последняя ");
    EXPECT_EQ(tree->Items()->Count(), 1);

    // Nor does the window send a notice per item when it goes (the focus it had moves first).
    Fill();
    tree->OnDeletion = nullptr;
    SetFocus(form->Handle());
    rec.Clear();
    tree->Free();
    tree = nullptr;
    EXPECT_TRUE(rec.Matches({Expect(WM_PARENTNOTIFY, msgParent | msgOptional),
                             Expect(WM_ERASEBKGND, msgParent | msgOptional)}));
}

TEST_F(TreeViewTest, BigTreesExpandAndCollapseWholeWithTheWindowInStep)
{
    // The rows the window shows in all, and the row of a node (-1: the window takes it for hidden).
    auto shownRows = [&] {
        SCROLLINFO si{sizeof si, SIF_RANGE, 0, 0, 0, 0, 0};
        GetScrollInfo(tree->Handle(), SB_VERT, &si);
        return si.nMax + 1;
    };
    auto rowOf = [&](TTreeNode* n) {
        RECT r{};
        *reinterpret_cast<HTREEITEM*>(&r) = n->ItemId();
        if (!SendMessageA(tree->Handle(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r)))
            return -1;
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(tree->Handle(), SB_VERT, &si);
        return static_cast<int>(r.top / SendMessageA(tree->Handle(), TVM_GETITEMHEIGHT, 0, 0)) + si.nPos;
    };
    int expanded = 0, collapsed = 0, deleted = 0, changes = 0;
    // Folder images follow the expansion, as the application's handlers make them.
    tree->OnExpanded = [&](TObject*, TTreeNode* n) {
        ++expanded;
        if (n->HasChildren())
            n->SetImageIndex(1);
    };
    tree->OnCollapsed = [&](TObject*, TTreeNode* n) {
        ++collapsed;
        if (n->HasChildren())
            n->SetImageIndex(0);
    };
    tree->OnDeletion = [&](TObject*, TTreeNode*) { ++deleted; };
    tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };

    // Many narrow folders (the window's items are made anew) and 100,000 nodes in 1,000 folders.
    for (auto [folders, entries] : {std::pair{3000, 2}, std::pair{1000, 99}}) {
        SCOPED_TRACE(std::to_string(folders) + " folders");
        const int count = folders * (entries + 1);
        TTreeNodes* items = tree->Items();
        items->BeginUpdate();
        for (int i = 0; i < folders; ++i) {
            TTreeNode* f = items->Add(nullptr, "Категория " + IntToStr(i));
            for (int j = 0; j < entries; ++j)
                items->AddChild(f, "Статья " + IntToStr(j));
        }
        items->EndUpdate();
        TTreeNode* lastFolder = items->GetLastTopNode();
        TTreeNode* lastEntry = lastFolder->GetLastChild();
        expanded = collapsed = deleted = changes = 0;

        tree->FullExpand();
        EXPECT_EQ(expanded, count);
        // Laid out with its drawing held, the window is shown again with its scroll bar.
        EXPECT_TRUE(IsWindowVisible(tree->Handle()));
        EXPECT_TRUE(GetWindowLongA(tree->Handle(), GWL_STYLE) & WS_VSCROLL);
        EXPECT_EQ(shownRows(), count);
        EXPECT_EQ(rowOf(lastEntry), count - 1);
        EXPECT_TRUE(Native(lastFolder).expanded);
        EXPECT_EQ(lastFolder->ImageIndex(), 1);

        lastEntry->SetSelected(true);
        changes = 0;
        tree->FullCollapse();
        EXPECT_EQ(collapsed, count);
        EXPECT_EQ(shownRows(), folders);
        EXPECT_EQ(rowOf(lastEntry), -1);
        EXPECT_EQ(rowOf(lastFolder), folders - 1);
        EXPECT_FALSE(Native(lastFolder).expanded);
        EXPECT_EQ(tree->Selected(), lastFolder);
        EXPECT_EQ(NativeSelection(), lastFolder->ItemId());
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(items->GetFirstNode()->ImageIndex(), 0);

        // Expanding again keeps the selection where the collapse put it.
        tree->FullExpand();
        EXPECT_EQ(rowOf(lastEntry), count - 1);
        EXPECT_EQ(NativeSelection(), lastFolder->ItemId());

        items->Clear();
        EXPECT_EQ(deleted, count);
        EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
    }
}

TEST_F(TreeViewTest, EditedReceivesAnEmptyTextButNotACancelledEdit)
{
    Fill();
    std::vector<std::string> edited;
    tree->OnEdited = [&](TObject*, TTreeNode* n, AnsiString& s) {
        edited.push_back(n->Text() + "->[" + s + "]");
        if (s == "fix")
            s = "fixed";
    };
    bool allowEditing = true;
    tree->OnEditing = [&](TObject*, TTreeNode*, bool& allow) { allow = allowEditing; };

    ASSERT_TRUE(art->EditText());
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "");
    art->EndEdit(false);
    EXPECT_EQ(edited, (std::vector<std::string>{"Статья->[]"}));
    EXPECT_EQ(art->Text(), "");

    ASSERT_TRUE(link->EditText());
    edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextA(edit, "lost");
    link->EndEdit(true);
    EXPECT_EQ(edited.size(), 1u);
    EXPECT_EQ(link->Text(), "Ссылка");

    // The handler's change of the text is what the node takes.
    ASSERT_TRUE(b->EditText());
    edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextA(edit, "fix");
    b->EndEdit(false);
    EXPECT_EQ(b->Text(), "fixed");
    EXPECT_EQ(Native(b).text, "fixed");

    allowEditing = false;
    EXPECT_FALSE(a->EditText());
}

namespace {

// Records the dialog keys a form is offered, through a take-over of its window procedure.
class DialogKeySpy : public TObject {
public:
    explicit DialogKeySpy(TWinControl* Control) : control_(Control), saved_(Control->WindowProc)
    {
        Control->WindowProc = TWndMethod(this, &DialogKeySpy::Proc);
    }
    ~DialogKeySpy() override { control_->WindowProc = saved_; }
    std::vector<WPARAM> keys;

private:
    void Proc(TMessage& Message)
    {
        if (Message.Msg == CM_DIALOGKEY)
            keys.push_back(Message.WParam);
        saved_(Message);
    }
    TWinControl* control_;
    TWndMethod saved_;
};

// A key press as the application's loop handles it: the framework's key step first, then
// translation and dispatch of what it leaves.
void PressKey(HWND Wnd, WPARAM Key)
{
    MSG msg{Wnd, WM_KEYDOWN, Key, 1, 0, {}};
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    MSG up{Wnd, WM_KEYUP, Key, static_cast<LPARAM>(0xC0000001u), 0, {}};
    if (!IsKeyMsg(up)) {
        TranslateMessage(&up);
        DispatchMessageA(&up);
    }
}

} // namespace

TEST_F(TreeViewTest, EnterAndEscapeEndAnEditInsteadOfReachingTheForm)
{
    Fill();
    DialogKeySpy spy(form);
    std::vector<std::string> edited;
    tree->OnEdited = [&](TObject*, TTreeNode* n, AnsiString& s) { edited.push_back(n->Text() + "->" + s); };
    tree->SetFocus();

    ASSERT_TRUE(b->EditText());
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Закладки");
    PressKey(edit, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !tree->IsEditing(); }, "Enter ends the edit"));
    EXPECT_EQ(edited, (std::vector<std::string>{"Ссылки->Закладки"}));
    EXPECT_EQ(b->Text(), "Закладки");

    ASSERT_TRUE(a->EditText());
    edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextA(edit, "lost");
    PressKey(edit, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !tree->IsEditing(); }, "Escape ends the edit"));
    EXPECT_EQ(edited.size(), 1u) << "a cancelled edit changes nothing";
    EXPECT_EQ(a->Text(), "Категория");
    EXPECT_TRUE(spy.keys.empty()) << "the form was offered the keys of the edit";

    // Without an edit the keys are the form's as usual.
    PressKey(tree->Handle(), VK_RETURN);
    PressKey(tree->Handle(), VK_ESCAPE);
    PumpPending();
    EXPECT_EQ(spy.keys, (std::vector<WPARAM>{VK_RETURN, VK_ESCAPE}));
}

TEST_F(TreeViewTest, SelectionEventsAndTheirRefusal)
{
    Fill();
    std::vector<std::string> log;
    bool allow = true;
    tree->OnChanging = [&](TObject*, TTreeNode* n, bool& ok) {
        log.push_back("changing " + n->Text());
        ok = allow;
    };
    tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + (n ? n->Text() : "-")); };
    tree->SetSelected(b);
    EXPECT_EQ(log, (std::vector<std::string>{"changing Ссылки", "change Ссылки"}));
    allow = false;
    tree->Select(a);
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(NativeSelection(), b->ItemId());

    // With a change delay OnChange comes later, once.
    allow = true;
    log.clear();
    tree->SetChangeDelay(20);
    tree->Select(a);
    tree->Select(link);
    EXPECT_EQ(tree->Selected(), link);
    EXPECT_EQ(log, (std::vector<std::string>{"changing Категория", "changing Ссылка"}));
    ASSERT_TRUE(WaitFor([&] { return log.size() == 3; }, "delayed OnChange"));
    EXPECT_EQ(log.back(), "change Ссылка");
    PumpFor(60); // and no second one within a while
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(TreeViewTest, MouseAndKeyboardReachTheControlEvents)
{
    Fill();
    int clicks = 0, dbl = 0;
    std::vector<int> keys;
    tree->OnClick = [&](TObject*) { ++clicks; };
    tree->OnDblClick = [&](TObject*) { ++dbl; };
    tree->OnKeyPress = [&](TObject*, char& key) { keys.push_back(static_cast<unsigned char>(key)); };

    RECT r = b->DisplayRect(true);
    ASSERT_GT(r.right, r.left);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    EXPECT_EQ(tree->GetNodeAt(x, y), b);
    EXPECT_TRUE(tree->GetHitTestInfoAt(x, y).Contains(htOnLabel));
    EXPECT_TRUE(tree->GetHitTestInfoAt(x, y).Contains(htOnItem));
    PostMessageA(tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(WaitFor([&] { return clicks >= 1; }, "click"));
    WaitIdle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(tree->Selected(), b);

    PostMessageA(tree->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(WaitFor([&] { return dbl >= 1; }, "double click"));
    EXPECT_EQ(dbl, 1);

    PostMessageA(tree->Handle(), WM_CHAR, 13, 1);
    ASSERT_TRUE(WaitFor([&] { return !keys.empty(); }, "key press"));
    EXPECT_EQ(keys, std::vector<int>{13});
}

TEST_F(TreeViewTest, RightClickSelectAndContextPopup)
{
    Fill();
    tree->SetRightClickSelect(true);
    int popups = 0;
    tree->OnContextPopup = [&](TObject*, TPoint, bool& handled) {
        ++popups;
        handled = true;
    };
    RECT r = link->DisplayRect(true);
    a->Expand(true);
    b->Expand(true);
    r = link->DisplayRect(true);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT screen = p;
    ClientToScreen(tree->Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    // The native tree tells a click from a drag by the cursor position that the posted messages
    // carry: wait until the display has really moved the cursor.
    ASSERT_TRUE(WaitFor([&] {
        POINT now;
        GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    }, "cursor over the node"));
    PostMessageA(tree->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(tree->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_TRUE(WaitFor([&] { return popups >= 1; }, "context popup"));
    EXPECT_EQ(tree->Selected(), link);
}

TEST_F(TreeViewTest, CustomDrawItemSeesTheShownNodes)
{
    Fill();
    tree->FullExpand();
    std::vector<TTreeNode*> drawn;
    tree->OnCustomDrawItem = [&](TCustomTreeView* sender, TTreeNode* n, TCustomDrawState, bool& def) {
        EXPECT_EQ(sender, tree);
        EXPECT_NE(sender->Canvas()->Handle(), nullptr);
        drawn.push_back(n);
        if (n == link)
            sender->Canvas()->Font()->SetColor(clRed);
        def = true;
    };
    InvalidateRect(tree->Handle(), nullptr, TRUE);
    UpdateWindow(tree->Handle());
    EXPECT_EQ(drawn.size(), 5u);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), link), drawn.end());
    // The colour chosen on the canvas is the one the item's text is drawn in.
    auto countRed = [&](TTreeNode* n) {
        RECT tr = n->DisplayRect(true);
        HDC dc = GetDC(tree->Handle());
        int red = 0;
        for (int y = tr.top; y < tr.bottom; ++y)
            for (int x = tr.left; x < tr.right; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60)
                    ++red;
            }
        ReleaseDC(tree->Handle(), dc);
        return red;
    };
    EXPECT_GT(countRed(link), 5);
    EXPECT_EQ(countRed(art), 0);
    // The node under a point and its rectangle agree.
    RECT r = art->DisplayRect(false);
    EXPECT_EQ(tree->GetNodeAt(r.left + 2, (r.top + r.bottom) / 2), art);
    EXPECT_EQ(tree->TopItem(), a);
}

TEST_F(TreeViewTest, NodesAddedInsideAnUpdateReachTheWindowInOrder)
{
    Fill();
    a->Expand(false);
    TTreeNodes* items = tree->Items();
    items->BeginUpdate();
    TTreeNode* first = items->AddChildFirst(a, "Первая");
    items->Insert(b, "Между");
    TTreeNode* fresh = items->AddChild(link, "Новая");
    items->AddChild(fresh, "Глубже");
    link->Expand(false); // the window has link but not yet its new child
    EXPECT_EQ(first->ItemId(), nullptr);
    // Anything that needs the window's items brings them in at once.
    fresh->SetSelected(true);
    EXPECT_NE(first->ItemId(), nullptr);
    EXPECT_EQ(NativeSelection(), fresh->ItemId());
    items->AddChild(art, "Под статьёй");
    items->EndUpdate();
    EXPECT_EQ(NativeDump(), ModelDump());
    EXPECT_EQ(ModelDump(), "0:Категория 1:Первая 1:Подкатегория 2:Статья 3:Под статьёй 0:Между 0:Ссылки 1:Ссылка "
                           "2:Новая 3:Глубже ");
    EXPECT_TRUE(Native(link).expanded);
    EXPECT_TRUE(Native(a).expanded);
    EXPECT_FALSE(Native(art).expanded);
    // A node list read from records goes in the same way.
    TMemoryStream data;
    items->WriteData(data);
    data.SetPosition(0);
    items->ReadData(data);
    EXPECT_EQ(NativeDump(), ModelDump());
    EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(TreeViewTest, ImagesComeFromTheNodesAndTheListIsLetGoWhenFreed)
{
    Fill();
    a->Expand(true);
    auto* list = Create<TImageList>(form);
    TBitmap strip;
    strip.SetSize(16 * 40, 16);
    list->Add(&strip, nullptr);
    tree->SetImages(list);
    tree->SetStateImages(list);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
              list->Handle());
    std::vector<TTreeNode*> asked;
    tree->OnGetImageIndex = [&](TObject*, TTreeNode* n) { asked.push_back(n); };
    InvalidateRect(tree->Handle(), nullptr, TRUE);
    UpdateWindow(tree->Handle());
    EXPECT_NE(std::find(asked.begin(), asked.end(), art), asked.end());
    // The window asks the node for its image each time.
    TVITEMA it{};
    it.mask = TVIF_IMAGE;
    it.hItem = art->ItemId();
    art->SetImageIndex(35);
    SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_TRUE(it.iImage == 35 || it.iImage == I_IMAGECALLBACK);

    list->Free();
    EXPECT_EQ(tree->Images(), nullptr);
    EXPECT_EQ(tree->StateImages(), nullptr);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    InvalidateRect(tree->Handle(), nullptr, TRUE);
    UpdateWindow(tree->Handle());
}

TEST_F(TreeViewTest, ColourAndFontColourReachTheWindow)
{
    Fill();
    tree->SetColor(clYellow);
    tree->Font()->SetColor(clBlue);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETTEXTCOLOR, 0, 0)), RGB(0, 0, 255));
    tree->SetBorderStyle(bsNone);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
}

TEST_F(TreeViewTest, AHiddenTreeKeepsItsNodesAndShowsThemLater)
{
    auto* hidden = Create<TTreeView>(form);
    hidden->SetVisible(false);
    hidden->SetParent(form);
    TTreeNode* n = hidden->Items()->Add(nullptr, "Скрытый");
    hidden->Items()->AddChild(n, "Ребёнок");
    n->Expand(false);
    n->SetSelected(true);
    EXPECT_EQ(hidden->Items()->Count(), 2);
    EXPECT_EQ(hidden->Selected(), n);
    hidden->SetVisible(true);
    HWND h = hidden->Handle();
    EXPECT_EQ(SendMessageA(h, TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_GETNEXTITEM, TVGN_CARET, 0)), n->ItemId());
    EXPECT_TRUE(SendMessageA(h, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n->ItemId()), TVIS_EXPANDED) &
                TVIS_EXPANDED);
}

TEST_F(TreeViewTest, SortingKeepsTheWindowInOrder)
{
    TTreeNodes* items = tree->Items();
    TTreeNode* c = items->Add(nullptr, "в");
    items->AddChild(c, "я");
    items->AddChild(c, "а");
    items->Add(nullptr, "б");
    items->Add(nullptr, "а");
    tree->AlphaSort(true);
    EXPECT_EQ(ModelDump(), "0:а 0:б 0:в 1:а 1:я ");
    EXPECT_EQ(NativeDump(), ModelDump());
    tree->SetSortType(stText);
    items->Add(nullptr, "аб");
    items->AddChild(c, "м");
    EXPECT_EQ(ModelDump(), "0:а 0:аб 0:б 0:в 1:а 1:м 1:я ");
    EXPECT_EQ(NativeDump(), ModelDump());
    tree->CustomSort([](TTreeNode* x, TTreeNode* y, int) { return lstrcmpA(y->Text().c_str(), x->Text().c_str()); },
                     0, false);
    EXPECT_EQ(ModelDump(), "0:в 1:а 1:м 1:я 0:б 0:аб 0:а ");
    EXPECT_EQ(NativeDump(), ModelDump());
}

namespace {

// A tree that decides and answers through the hooks, as a subclass does (no events set).
class THookedTree : public TTreeView {
    VCL_CLASS(THookedTree, TTreeView)
public:
    using TTreeView::TTreeView;
    std::vector<std::string> Heard;
    TTreeNode* Locked = nullptr;

protected:
    bool CanExpand(TTreeNode* Node) override { return Node != Locked; }
    bool CanChange(TTreeNode* Node) override { return Node != Locked; }
    void Change(TTreeNode* Node) override { Heard.push_back("change " + Node->Text()); }
    void Edit(const TVITEMA& Item) override
    {
        Heard.push_back(std::string("edit ") + Item.pszText);
        inherited::Edit(Item);
    }
    void Delete(TTreeNode* Node) override { Heard.push_back("delete " + Node->Text()); }
    void GetImageIndex(TTreeNode* Node) override { Node->SetImageIndex(Node->Level() + 5); }
};

} // namespace

TEST_F(TreeViewTest, SubclassesDecideAndAnswerThroughTheHooks)
{
    auto* hooked = Create<THookedTree>(form);
    hooked->SetParent(form);
    hooked->SetBounds(5, 5, 290, 250);
    TTreeNode* top = hooked->Items()->Add(nullptr, "верх");
    TTreeNode* leaf = hooked->Items()->AddChild(top, "лист");
    hooked->Locked = top;
    top->Expand(false);
    EXPECT_FALSE(top->Expanded()) << "CanExpand refused";
    hooked->Locked = nullptr;
    top->Expand(false);
    ASSERT_TRUE(top->Expanded());
    InvalidateRect(hooked->Handle(), nullptr, TRUE);
    UpdateWindow(hooked->Handle());
    EXPECT_EQ(leaf->ImageIndex(), 6) << "the window asked GetImageIndex";
    hooked->Locked = leaf;
    SendMessageA(hooked->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(leaf->ItemId()));
    EXPECT_NE(hooked->Selected(), leaf) << "CanChange refused";
    hooked->Locked = nullptr;
    SendMessageA(hooked->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(leaf->ItemId()));
    ASSERT_TRUE(leaf->EditText());
    SetWindowTextA(reinterpret_cast<HWND>(SendMessageA(hooked->Handle(), TVM_GETEDITCONTROL, 0, 0)), "новый");
    leaf->EndEdit(false);
    EXPECT_EQ(leaf->Text(), "новый");
    top->Delete();
    EXPECT_EQ(hooked->Heard, (std::vector<std::string>{"change лист", "edit новый", "delete новый", "delete верх"}));
}

// A key that moves the selection and the end of a label edit show the item from its start: a
// tree scrolled sideways (by the edit of a long title, or by hand) comes back to its left edge,
// or, for an item whose text starts past the view, to just before its button. Ctrl with a key
// keeps the scroll.
TEST_F(TreeViewTest, KeysAndTheEndOfAnEditShowTheSelectedItemFromItsStart)
{
    TTreeNode* first = tree->Items()->Add(nullptr, "первая");
    TTreeNode* longTitle = tree->Items()->AddChild(first, std::string(150, 'W'));
    TTreeNode* deep = tree->Items()->Add(nullptr, "вторая");
    for (int level = 1; level <= 14; ++level)
        deep = tree->Items()->AddChild(deep, "уровень " + std::to_string(level));
    first->Expand(false);
    HWND h = tree->Handle();
    const auto pos = [&] { return GetScrollPos(h, SB_HORZ); };
    const auto scrollAway = [&] {
        SendMessageA(h, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 600), 0);
        ASSERT_EQ(pos(), 600);
    };
    const auto key = [&](WORD k) { SendMessageA(h, WM_KEYDOWN, k, 0); };

    tree->SetSelected(longTitle);
    ASSERT_TRUE(longTitle->EditText());
    EXPECT_GT(pos(), 0) << "the edit box is scrolled into view";
    longTitle->EndEdit(false);
    EXPECT_EQ(pos(), 0);

    for (WORD k : {VK_HOME, VK_END, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT}) {
        tree->SetSelected(first);
        scrollAway();
        key(k);
        EXPECT_EQ(pos(), 0) << k;
    }

    scrollAway();
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    key(VK_HOME);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    EXPECT_EQ(pos(), 600) << "Ctrl+Home scrolls, selecting nothing";

    // The deepest item's text starts past the view: its button and text show, not the edge.
    deep->MakeVisible();
    tree->SetSelected(deep);
    key(VK_END);
    ASSERT_EQ(tree->Selected(), deep);
    RECT text{}, client{};
    TreeView_GetItemRect(h, deep->ItemId(), &text, TRUE);
    GetClientRect(h, &client);
    EXPECT_GT(pos(), 0);
    EXPECT_GE(text.left - int(TreeView_GetIndent(h)), 0) << "its button";
    EXPECT_LT(text.left, client.right) << "its text";
}
