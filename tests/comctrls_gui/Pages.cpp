// Page control and tab strip: switching in code and by the user, the events of each, and the
// state kept across window re-creation.
#include "ComCtrls.h"
#include "Support.h"

#include <string>
#include <vector>

using namespace testkit;
using namespace comtest;

namespace {

class PageControlTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(120, 120, 360, 260);
        pages = Create<TPageControl>(form);
        pages->SetParent(form);
        pages->SetAlign(alClient);
        for (const char* caption : {"Статьи", "Поиск", "Третья"}) {
            TTabSheet* s = Create<TTabSheet>(form);
            s->SetCaption(caption);
            s->SetPageControl(pages);
            const size_t i = sheets.size();
            s->OnShow = [this, i](TObject*) { log.push_back("show" + std::to_string(i)); };
            s->OnHide = [this, i](TObject*) { log.push_back("hide" + std::to_string(i)); };
            sheets.push_back(s);
        }
        pages->OnChanging = [this](TObject*, bool& allow) {
            log.push_back("changing");
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) { log.push_back("change"); };
        form->Show();
        PumpPending();
        log.clear();
    }

    std::string NativeTabText(int i)
    {
        char buf[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(pages->Handle(), TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        return buf;
    }
    int NativeCount() { return static_cast<int>(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0)); }
    int NativeSel() { return static_cast<int>(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0)); }

    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    std::vector<std::string> log;
    bool allowChange = true;
};

} // namespace

TEST_F(PageControlTest, FirstPageIsActiveAndOnlyItShows)
{
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_TRUE(IsWindowVisible(sheets[0]->Handle()));
    EXPECT_FALSE(sheets[1]->Visible());
    EXPECT_EQ(NativeCount(), 3);
    EXPECT_EQ(NativeTabText(1), "Поиск");
    // The sheet fills the display area inside the tab frame.
    TRect display = pages->DisplayRect();
    EXPECT_EQ(sheets[0]->BoundsRect(), display);
}

TEST_F(PageControlTest, ActivePageIndexInCodeShowsPageWithoutChangeEvents)
{
    pages->SetActivePageIndex(1);
    PumpPending();
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(NativeSel(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"show1", "hide0"}));
    log.clear();
    pages->SetActivePageIndex(1); // the same page again: nothing
    EXPECT_TRUE(log.empty());
}

TEST_F(PageControlTest, UserClickOnTabFiresChangingThenChange)
{
    TPoint p = Centre(pages->TabRect(2));
    ClickAt(pages->Handle(), p.x, p.y);
    PumpPending();
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "show2", "hide0", "change"}));
    EXPECT_TRUE(IsWindowVisible(sheets[2]->Handle()));
    EXPECT_FALSE(IsWindowVisible(sheets[0]->Handle()));
}

TEST_F(PageControlTest, RefusedChangeKeepsThePage)
{
    allowChange = false;
    TPoint p = Centre(pages->TabRect(1));
    ClickAt(pages->Handle(), p.x, p.y);
    PumpPending();
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_EQ(NativeSel(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"changing"}));
}

TEST_F(PageControlTest, RecreatedWindowKeepsPagesCaptionsAndActivePage)
{
    pages->SetActivePageIndex(2);
    HWND before = pages->Handle();
    log.clear();
    pages->SetTabPosition(tpBottom); // re-creates the window
    PumpPending();
    EXPECT_NE(pages->Handle(), before);
    EXPECT_EQ(NativeCount(), 3);
    EXPECT_EQ(NativeTabText(0), "Статьи");
    EXPECT_EQ(NativeSel(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_TRUE(IsWindowVisible(sheets[2]->Handle()));
    EXPECT_FALSE(IsWindowVisible(sheets[1]->Handle()));
    EXPECT_TRUE(log.empty()); // re-creation is no switch
    // Tabs at the bottom: the sheet sits above them.
    EXPECT_LT(sheets[2]->BoundsRect().bottom, pages->TabRect(0).top + 1);
}

TEST_F(PageControlTest, HiddenTabsAreSkippedInTabIndexes)
{
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(NativeCount(), 2);
    EXPECT_EQ(NativeTabText(1), "Третья");
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(sheets[2]->PageIndex(), 2);
    TPoint p = Centre(pages->TabRect(1));
    ClickAt(pages->Handle(), p.x, p.y);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
}

TEST_F(PageControlTest, CaptionAndOrderChangesReachTheTabs)
{
    sheets[0]->SetCaption("Дерево");
    EXPECT_EQ(NativeTabText(0), "Дерево");
    sheets[2]->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), sheets[2]);
    EXPECT_EQ(NativeTabText(0), "Третья");
    EXPECT_EQ(NativeSel(), 1); // the active page moved to tab 1
}

TEST_F(PageControlTest, FreeingTheActivePageActivatesTheNext)
{
    sheets[0]->Free();
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(NativeCount(), 2);
    EXPECT_EQ(NativeSel(), 0);
}

TEST_F(FormTest, TabControlKeepsTabsAndIndexAcrossRecreation)
{
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    TTabControl* tabs = Create<TTabControl>(form);
    tabs->SetParent(form);
    tabs->SetBounds(5, 5, 280, 150);
    tabs->Tabs()->Add("Один");
    tabs->Tabs()->Add("Два");
    int changes = 0;
    tabs->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    PumpPending();
    tabs->SetTabIndex(1);
    EXPECT_EQ(changes, 0);
    tabs->SetMultiLine(true);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    TPoint p = Centre(tabs->TabRect(0));
    ClickAt(tabs->Handle(), p.x, p.y);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(changes, 1);
    tabs->Tabs()->Delete(1);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
    // Tabs put in or taken out before the selected one leave it selected.
    tabs->Tabs()->Insert(0, "Ноль");
    EXPECT_EQ(tabs->Tabs()->Strings(tabs->TabIndex()), "Один");
    tabs->Tabs()->Add("Три");
    tabs->Tabs()->Add("Четыре");
    tabs->SetTabIndex(2);
    tabs->Tabs()->Delete(0);
    EXPECT_EQ(tabs->TabIndex(), 1) << "\"Три\", not the last tab";
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0), 1);
    tabs->Tabs()->Delete(1); // the selected tab itself: the one that takes its place
    EXPECT_EQ(tabs->Tabs()->Strings(tabs->TabIndex()), "Четыре");
    EXPECT_EQ(changes, 1);
}
