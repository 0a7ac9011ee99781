// The skinned tree view: its frame painted from its cache in the window's border, its skinned
// bars inside that frame, rows beyond what the thumb message carries, and what a skin command
// keeps (the window made again at most once) and what the tree's stream never depends on.
#include <gtest/gtest.h>

#include <functional>

#include "ClassesFiler.h"
#include "ProgramRun.h"
#include "ScrollKit.h"
#include "sTreeView.h"
#include "sVclUtils.h"

namespace {

class TreeTest : public scrollkit::SkinnedTest {
protected:
    void SetUp() override
    {
        SkinnedTest::SetUp();
        form->Show();
    }
    TsTreeView* MakeTree(const TRect& Bounds)
    {
        auto* tree = Create<TsTreeView>(form);
        tree->SetBoundsRect(Bounds);
        tree->SetParent(form);
        return tree;
    }
    static void Fill(TsTreeView* Tree, int Count, const char* Text)
    {
        Tree->Items()->BeginUpdate();
        for (int i = 0; i < Count; ++i)
            Tree->Items()->Add(nullptr, Text + IntToStr(i));
        Tree->Items()->EndUpdate();
    }
    const int CX = GetSystemMetrics(SM_CXVSCROLL), CY = GetSystemMetrics(SM_CYHSCROLL);
};

// A tree that counts the windows made for it.
class TCountedTree : public TsTreeView {
    VCL_CLASS(TCountedTree, TsTreeView)
public:
    using TsTreeView::TsTreeView;
    int Made = 0;

protected:
    void CreateWnd() override
    {
        inherited::CreateWnd();
        ++Made;
    }
};

} // namespace

TEST_F(TreeTest, ItsFrameComesFromItsCacheAndItsBarsLieInsideIt)
{
    TsTreeView* tree = MakeTree(Bounds(20, 20, 150, 120));
    tree->SetBorderWidth(2);
    Fill(tree, 40, "a node whose title is wider than the tree ");
    testkit::WaitIdle();
    const int b = 5;
    ASSERT_TRUE(tree->VSBar && tree->HSBar);
    EXPECT_EQ(tree->VSBar->BoundsRect(), Bounds(20 + 150 - CX - b, 20 + b, CX, 120 - 2 * b - CY));
    EXPECT_EQ(tree->HSBar->BoundsRect(), Bounds(20 + b, 20 + 120 - CY - b, 150 - 2 * b - CX, CY));
    POINT origin{0, 0};
    ClientToScreen(tree->Handle(), &origin);
    RECT window;
    GetWindowRect(tree->Handle(), &window);
    EXPECT_EQ(origin.x - window.left, b);
    EXPECT_EQ(origin.y - window.top, b);

    // Every pixel of the frame, and the square between the bars, is the cache's (the system shows
    // what was drawn outside a paint a little later).
    RedrawWindow(tree->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    TBitmap* cache = tree->SkinData()->FCacheBmp.get();
    auto differing = [&] {
        const testkit::PixelImage shot = testkit::ScreenPixels(tree->Handle());
        int differ = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 150; ++x) {
                const bool frame = x < b || y < b || x >= 150 - b || y >= 120 - b;
                const bool corner = x >= 150 - b - CX && x < 150 - b && y >= 120 - b - CY && y < 120 - b;
                if ((frame || corner) && shot.Pixel(x, y) != static_cast<COLORREF>(cache->Canvas()->Pixels(x, y)))
                    ++differ;
            }
        return differ;
    };
    testkit::PumpUntil([&] { return differing() == 0; });
    EXPECT_EQ(differing(), 0);

    tree->SetBiDiMode(bdRightToLeft);
    tree->RefreshScrolls();
    EXPECT_EQ(tree->VSBar->Left(), 20 + b) << "right to left: the vertical bar at the left";
    origin = POINT{0, 0};
    ClientToScreen(tree->Handle(), &origin);
    EXPECT_EQ(origin.x - window.left, b + CX) << "over the native one";
    EXPECT_EQ(tree->HSBar->BoundsRect(), Bounds(20 + b + CX, 20 + 120 - CY - b, 150 - 2 * b - CX, CY))
        << "beside the vertical bar, over the native bar's right arrow";
    tree->SetHeight(15);
    EXPECT_EQ(tree->VSBar, nullptr) << "a tree under 16 pixels has no skinned bars";
    EXPECT_EQ(tree->HSBar, nullptr);
}

TEST_F(TreeTest, ItsBarsShowOnlyForWhatDoesNotFitAndFollowItsSelection)
{
    // Nodes given before the window is made.
    auto* tree = Create<TsTreeView>(form);
    tree->SetBoundsRect(Bounds(20, 20, 150, 120));
    Fill(tree, 40, "node ");
    tree->SetParent(form);
    ASSERT_TRUE(WaitFor([&] { return tree->VSBar && tree->VSBar->Visible(); }, "the vertical bar"));
    EXPECT_TRUE(tree->HSBar == nullptr || !tree->HSBar->Visible());
    EXPECT_EQ(tree->VSBar->BoundsRect(), Bounds(20 + 150 - CX - 3, 23, CX, 120 - 6));
    tree->VSBar->SetPosition(10);
    EXPECT_EQ(tree->TopItem(), tree->Items()->Item(10));
    // A node the program selects out of sight is scrolled into view, and the bar with it: at once,
    // inside an update, and below a folder opened for it (as a search result's click does); so does
    // a top row set, and the row the bottom cuts when the user clicks it (the tree scrolls it into
    // view by itself, told by no message but the selection's notification).
    TTreeNodes& items = *tree->Items();
    TTreeNode* folder = items.Add(nullptr, "folder");
    for (int i = 0; i < 30; ++i)
        items.AddChild(folder, "child " + IntToStr(i));
    const struct {
        const char* how;
        std::function<void()> select;
    } cases[] = {
        {"at once", [&] { tree->SetSelected(items.Item(35)); }},
        {"in an update",
         [&] {
             items.BeginUpdate();
             tree->SetSelected(items.Item(25));
             items.EndUpdate();
         }},
        {"below a folder opened",
         [&] {
             folder->Expand(false);
             tree->SetSelected(folder->Item(29));
         }},
        {"its top row set", [&] { tree->SetTopItem(items.Item(20)); }},
        {"by a click",
         [&] {
             // Focused already: its being focused by the click would read the bars again.
             tree->SetFocus();
             ASSERT_TRUE(WaitFor([&] { return GetFocus() == tree->Handle(); }, "the tree focused"));
             RECT client;
             GetClientRect(tree->Handle(), &client);
             TTreeNode* cut = tree->GetNodeAt(20, client.bottom - 2);
             ASSERT_NE(cut, nullptr);
             const RECT row = cut->DisplayRect(true);
             ASSERT_GT(row.bottom, client.bottom) << "the row is cut";
             POINT at{(row.left + row.right) / 2, client.bottom - 2};
             ClientToScreen(tree->Handle(), &at);
             testkit::SendMouse(at, MOUSEEVENTF_LEFTDOWN);
             testkit::SendMouse(at, MOUSEEVENTF_LEFTUP);
             WaitFor([&] { return tree->Selected() == cut; }, "the row clicked selected");
         }},
    };
    for (const auto& c : cases) {
        tree->SetSelected(items.Item(0));
        tree->VSBar->SetPosition(0);
        testkit::PumpPending();
        ASSERT_EQ(tree->TopItem(), items.Item(0)) << c.how;
        ASSERT_EQ(tree->VSBar->Position(), 0) << c.how;
        c.select();
        // The bar is read again by a message the tree posts itself: once what waits is handled.
        testkit::PumpPending();
        ASSERT_GT(tree->TopItem()->AbsoluteIndex(), 0) << c.how;
        EXPECT_EQ(tree->VSBar->Position(), tree->TopItem()->AbsoluteIndex()) << c.how;
    }
    items.Clear();
    EXPECT_TRUE(WaitFor([&] { return !tree->VSBar->Visible(); }, "no bar for an empty tree"));
}

// The bars are read after the tree has moved by a key, not when the key arrives.
TEST_F(TreeTest, TheThumbStandsWhereTheTreeIsAfterEveryKey)
{
    TsTreeView* tree = MakeTree(Bounds(20, 20, 150, 120));
    Fill(tree, 60, "a");
    tree->Items()->Add(nullptr, "z, the last");
    testkit::WaitIdle();
    ASSERT_NE(tree->VSBar, nullptr);
    tree->SetSelected(tree->Items()->Item(0));
    testkit::WaitIdle();
    ASSERT_EQ(tree->VSBar->Position(), 0);
    const HWND h = tree->Handle();
    SendMessageA(h, WM_CHAR, 'z', 1); // a typed letter jumps to the last row
    ASSERT_GT(tree->TopItem()->Index(), 40);
    EXPECT_EQ(tree->VSBar->Position(), tree->TopItem()->Index());
    SendMessageA(h, WM_KEYDOWN, VK_HOME, 1);
    for (int repeat = 0; repeat < 3; ++repeat) { // a held PgDn: no key-up between the pages
        SendMessageA(h, WM_KEYDOWN, VK_NEXT, repeat ? 0x40000001 : 1);
        EXPECT_GT(tree->TopItem()->Index(), 0) << repeat;
        EXPECT_EQ(tree->VSBar->Position(), tree->TopItem()->Index()) << repeat;
    }
}

TEST_F(TreeTest, TheThumbBeyondWhatTheMessageCarriesMakesThatRowTheTopAndTheBottomShowsTheLastNode)
{
    TsTreeView* tree = MakeTree(Bounds(20, 20, 150, 120));
    TTreeNodes* items = tree->Items();
    items->BeginUpdate();
    for (int i = 0; i < 700; ++i) {
        TTreeNode* category = items->Add(nullptr, "c" + IntToStr(i));
        for (int k = 0; k < 99; ++k)
            items->AddChild(category, "n" + IntToStr(k));
    }
    items->EndUpdate();
    testkit::WaitIdle();
    tree->FullExpand(); // the bars follow an expansion made in one pass
    testkit::WaitIdle();
    ASSERT_NE(tree->VSBar, nullptr);
    ASSERT_GT(tree->VSBar->Max(), 69000);
    tree->VSBar->SetPosition(69000);
    EXPECT_EQ(tree->TopItem(), items->Item(69000)) << "not row 69000 cut to 16 bits";
    EXPECT_EQ(tree->VSBar->Position(), 69000);
    tree->VSBar->SetPosition(tree->VSBar->Max());
    TTreeNode* last = items->Item(items->Count() - 1);
    const RECT shown = last->DisplayRect(false);
    EXPECT_GT(shown.bottom, 0);
    EXPECT_LE(shown.bottom, tree->ClientHeight());
    tree->VSBar->SetPosition(40000);
    EXPECT_EQ(tree->TopItem(), items->Item(40000)) << "the message's 16 bits read as signed";
    tree->VSBar->SetPosition(300);
    EXPECT_EQ(tree->TopItem(), items->Item(300)) << "below 0x8000 the message itself";
    // Partly collapsed, the position counts the rows shown, not the nodes.
    items->Item(0)->Collapse(false);
    testkit::WaitIdle();
    tree->VSBar->SetPosition(40000);
    EXPECT_EQ(tree->TopItem(), items->Item(40000 + 99)) << "the first category's 99 nodes are hidden";
}

TEST_F(TreeTest, ASkinCommandMakesTheWindowAtMostOnceAndKeepsTheTreeAndItsBorder)
{
    struct {
        TBorderStyle Laid;
        int MadeOnNewSkin;
    } cases[] = {{bsSingle, 1}, {bsNone, 0}};
    for (const auto& c : cases) {
        BeginLoading(form);
        auto* tree = Create<TCountedTree>(form);
        tree->SetBounds(20, 20, 150, 100);
        tree->SetBorderStyle(c.Laid); // as a layout does, after the construction
        tree->SetParent(form);
        LoadedAll(form);
        TTreeNode* a = tree->Items()->Add(nullptr, "a");
        for (int i = 0; i < 30; ++i)
            tree->Items()->AddChild(a, "child " + IntToStr(i));
        a->Expand(false);
        tree->SetSelected(a->Item(20));
        tree->SetTopItem(a->Item(12));
        const int made = tree->Made;
        Command(tree, AC_NEWSKIN);
        Command(tree, AC_REPAINT);
        EXPECT_EQ(tree->BorderStyle(), bsNone);
        EXPECT_EQ(tree->Made - made, c.MadeOnNewSkin);
        EXPECT_EQ(tree->Color(), gd[static_cast<size_t>(tree->SkinData()->SkinIndex)].Color);
        scrollkit::UnloadSkin();
        Command(tree, AC_REMOVESKIN);
        EXPECT_EQ(tree->BorderStyle(), c.Laid) << "the style it was laid out with";
        EXPECT_EQ(tree->Made - made, c.MadeOnNewSkin + (c.Laid == bsNone ? 0 : 1));
        EXPECT_EQ(tree->Color(), clWindow);
        EXPECT_EQ(tree->Font()->Color(), clWindowText);
        EXPECT_EQ(tree->VSBar, nullptr);
        EXPECT_EQ(tree->Items()->Count(), 31);
        EXPECT_TRUE(a->Expanded());
        EXPECT_EQ(tree->Selected(), a->Item(20));
        EXPECT_EQ(tree->TopItem(), a->Item(12));
        tree->Free();
        scrollkit::LoadSkin("Neutral");
    }
}

TEST_F(TreeTest, ASkinSwitchKeepsItsBarWindow)
{
    TsTreeView* tree = MakeTree(Bounds(20, 20, 150, 120));
    Fill(tree, 40, "node ");
    ASSERT_TRUE(WaitFor([&] { return tree->VSBar && tree->VSBar->Visible(); }, "the vertical bar"));
    const HWND bar = tree->VSBar->Handle();
    // As the manager switches: the windows take the new tables with the skin off and drawing
    // restricted, then repaint with it on.
    sSkinData->Active = false;
    {
        TFlagUp restricted(RestrictDrawing);
        Command(tree, AC_NEWSKIN);
    }
    sSkinData->Active = true;
    Command(tree, AC_REPAINT);
    ASSERT_NE(tree->VSBar, nullptr);
    EXPECT_EQ(tree->VSBar->Handle(), bar) << "the same window, not one freed and made again";
    EXPECT_TRUE(tree->VSBar->Visible());
}

TEST_F(TreeTest, ItsStreamIsTheSameWithAndWithoutTheSkin)
{
    TsTreeView* tree = MakeTree(Bounds(20, 20, 150, 100));
    tree->SetName("TreeView1");
    tree->SetParentFont(false);
    tree->Items()->Add(nullptr, "a");
    Command(tree, AC_NEWSKIN);
    Command(tree, AC_REPAINT);
    ASSERT_NE(tree->Color(), clWindow);
    TMemoryStream skinned;
    WriteComponentToStream(skinned, *tree);
    // A colour of the tree's own is its own with the skin too.
    tree->SkinData()->SetCustomColor(true);
    tree->SetColor(clYellow);
    TMemoryStream custom;
    WriteComponentToStream(custom, *tree);
    tree->SkinData()->SetCustomColor(false);
    scrollkit::UnloadSkin();
    Command(tree, AC_REMOVESKIN);
    TMemoryStream plain;
    WriteComponentToStream(plain, *tree);
    auto bytes = [](TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), s.Size()); };
    EXPECT_EQ(bytes(skinned), bytes(plain));
    EXPECT_NE(bytes(custom).find("Color"), std::string::npos);
    EXPECT_EQ(bytes(plain).find("\x05" "Color"), std::string::npos);
}
