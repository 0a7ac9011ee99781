// A form with a shell tree, list and combo box as partners over a real folder tree, driven by real
// clicks and keys: expanding and selecting in the tree, opening a folder in the list, a file made
// by another thread, a file renamed with F2. Pictures in both shipped skins and without a skin
// (shell_demo_<look>.png beside the test program).
#include "ShellKit.h"

#include "../skin_forms_gui/FormsKit.h"
#include "ProgramRun.h"
#include "acShellCtrls.h"
#include "sUtils.h"

#include <thread>

using namespace testkit;
using namespace shellkit;

namespace {

class TShellDemo : public TForm {
    VCL_CLASS(TShellDemo, TForm)
public:
    explicit TShellDemo(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(60, 60, 640, 400);
        SetCaption("Shell views");
        Create<TsSkinProvider>(this);
        Combo = Create<TsShellComboBox>(this);
        Combo->SetBounds(8, 8, 610, 24);
        Combo->SetParent(this);
        Tree = Create<TsShellTreeView>(this);
        Tree->SetBounds(8, 40, 220, 310);
        Tree->SetParent(this);
        List = Create<TsShellListView>(this);
        List->SetBounds(236, 40, 382, 310);
        List->SetViewStyle(vsReport);
        List->SetParent(this);
        LoadedAll(this);
    }
    // The three on one folder, partners of each other.
    void Link(const AnsiString& Root)
    {
        Tree->SetRoot(Root);
        Tree->SetShellComboBox(Combo);
        Tree->SetShellListView(List);
        List->SetShellComboBox(Combo);
        List->SetAutoRefresh(true);
    }
    TsShellComboBox* Combo = nullptr;
    TsShellTreeView* Tree = nullptr;
    TsShellListView* List = nullptr;
};

void MakeDemoTree(const TempDir& Dir)
{
    MakeTree(Dir, {"Docs\\", "Docs\\Letters\\", "Docs\\Letters\\2024\\", "Docs\\Letters\\2024\\jan.txt",
                   "Docs\\Letters\\old.txt", "Docs\\readme.txt", "Pictures\\", "Pictures\\cat.bmp", "notes.txt"});
}

// A real click (twice: a double click) at a client point of a control.
void ClickAt(TWinControl* Control, TPoint P, bool Twice = false)
{
    POINT at{P.x, P.y};
    ClientToScreen(Control->Handle(), &at);
    SendMouse(at);
    WaitIdle();
    for (int i = 0; i < (Twice ? 2 : 1); ++i) {
        SendMouse(at, MOUSEEVENTF_LEFTDOWN);
        SendMouse(at, MOUSEEVENTF_LEFTUP);
    }
    WaitIdle();
}

// The point of a node's expand button: left of its text, found by asking the tree.
TPoint ButtonOf(TCustomTreeView* Tree, TTreeNode* Node)
{
    const RECT r = Node->DisplayRect(true);
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.left; x >= 0; --x)
        if (Tree->GetHitTestInfoAt(x, y).Contains(htOnButton))
            return TPoint{x, y};
    return TPoint{-1, -1};
}

TTreeNode* NodeNamed(TCustomTreeView* Tree, const char* Text)
{
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == Text)
            return n;
    return nullptr;
}

int RowNamed(TacCustomShellListView* List, const char* Name)
{
    for (int i = 0; i < List->FolderCount(); ++i)
        if (List->GetFolder(i)->DisplayName() == Name)
            return i;
    return -1;
}

TPoint RowPoint(TCustomListView* List, int Row)
{
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageA(List->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&r));
    return TPoint{r.left + 6, (r.top + r.bottom) / 2};
}

bool Shows(TacCustomShellListView* List, const std::string& Folder)
{
    return List->RootFolder() && SameText(NormalDir(List->RootFolder()->PathName()), Folder);
}

class ShellDemo : public formskit::SkinnedFormTest {};

} // namespace

TEST_F(ShellDemo, PartnersFollowRealClicksAndKeysOverARealFolderTree)
{
    TempDir dir;
    MakeDemoTree(dir);
    auto* demo = Create<TShellDemo>(Application);
    demo->Link(dir.Path());
    demo->Show();
    SetForegroundWindow(demo->Handle());
    WaitIdle();
    TsShellTreeView* tree = demo->Tree;
    TsShellListView* list = demo->List;
    EXPECT_TRUE(Shows(list, dir.Path()));

    // The tree: Docs opened by its button, Letters chosen by a click.
    TTreeNode* docs = NodeNamed(tree, "Docs");
    ASSERT_NE(docs, nullptr);
    ASSERT_FALSE(docs->Expanded());
    const TPoint button = ButtonOf(tree, docs);
    ASSERT_GE(button.x, 0);
    ClickAt(tree, button);
    ASSERT_TRUE(WaitFor([&] { return docs->Expanded(); }, "Docs expanded"));
    TTreeNode* letters = NodeNamed(tree, "Letters");
    ASSERT_NE(letters, nullptr);
    const RECT text = letters->DisplayRect(true);
    ClickAt(tree, TPoint{text.left + 4, (text.top + text.bottom) / 2});
    EXPECT_TRUE(WaitFor([&] { return Shows(list, dir / "Docs\\Letters\\"); }, "the list in Letters"));
    EXPECT_TRUE(SameText(demo->Combo->GetPath(), dir / "Docs\\Letters\\"));

    // The list: a double click on 2024 opens it, and the tree and the combo box follow.
    const int row = RowNamed(list, "2024");
    ASSERT_GE(row, 0);
    ClickAt(list, RowPoint(list, row), true);
    ASSERT_TRUE(WaitFor([&] { return Shows(list, dir / "Docs\\Letters\\2024\\"); }, "the list in 2024"));
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "2024");
    EXPECT_TRUE(SameText(demo->Combo->GetPath(), dir / "Docs\\Letters\\2024\\"));

    // A file made by another thread is listed (how soon is measured by the benchmark).
    std::thread maker([&] { WriteFileBytes(dir / "Docs\\Letters\\2024\\feb.txt", "x"); });
    maker.join();
    EXPECT_TRUE(WaitFor([&] { return RowNamed(list, "feb.txt") >= 0; }, "feb.txt listed"));

    // F2 renames a file on disk.
    const int jan = RowNamed(list, "jan.txt");
    ASSERT_GE(jan, 0);
    ClickAt(list, RowPoint(list, jan));
    ASSERT_TRUE(WaitFor([&] { return list->SelectedFolder() == list->GetFolder(jan); }, "jan.txt selected"));
    PressKey(VK_F2);
    ASSERT_TRUE(WaitFor([&] { return list->IsEditing(); }, "the name edited"));
    for (char c : std::string("MARCH"))
        PressKey(static_cast<WORD>(c));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return FileExists(dir / "Docs\\Letters\\2024\\march"); }, "the file renamed"));
    EXPECT_FALSE(FileExists(dir / "Docs\\Letters\\2024\\jan.txt"));
    EXPECT_GE(RowNamed(list, "march"), 0);
    SaveScreenshot("shell_demo_none.png", demo->Handle());
    demo->Free();
}

TEST_F(ShellDemo, PicturesInBothSkins)
{
    TempDir dir;
    MakeDemoTree(dir);
    InShippedSkins<TShellDemo>("shell_demo_", [&](TShellDemo* demo, const char* skin) {
        demo->Link(dir.Path());
        demo->Tree->SetPath(dir / "Docs\\Letters");
        WaitIdle();
        EXPECT_TRUE(Shows(demo->List, dir / "Docs\\Letters\\")) << skin;
        EXPECT_TRUE(demo->List->SkinData()->Skinned()) << skin;
        EXPECT_TRUE(demo->Tree->SkinData()->Skinned()) << skin;
        RedrawWindow(demo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        WaitIdle();
    });
}
