// The title search ("Поиск статей" and Timer3), the filtered views of "Показать", the results
// page with its counts, and a result's click (shown in the article tree), double click and Enter
// (opened).
#include "MainSearch.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "MainBrowse.h"
#include "MainTreeMap.h"

#include "Form4.h"

namespace {

// Holds the view's window updates back while the nodes change; they reach the window at once.
class TNodesUpdate {
public:
    explicit TNodesUpdate(TTreeNodes& Nodes) : FNodes(Nodes) { FNodes.BeginUpdate(); }
    ~TNodesUpdate() { FNodes.EndUpdate(); }
    TNodesUpdate(const TNodesUpdate&) = delete;
    TNodesUpdate& operator=(const TNodesUpdate&) = delete;

private:
    TTreeNodes& FNodes;
};

// The code page's capital of every character, looked up once per search.
struct TUpperTable {
    TUpperTable()
    {
        for (int c = 0; c < 256; ++c)
            Upper[c] = AnsiUpperChar(static_cast<char>(c));
    }
    char operator()(char c) const { return Upper[static_cast<unsigned char>(c)]; }
    char Upper[256];
};

// Whether Text contains Word; Word is upper-cased already unless MatchCase.
bool Contains(const AnsiString& Text, const AnsiString& Word, bool MatchCase, const TUpperTable& Up)
{
    if (MatchCase)
        return Text.find(Word) != AnsiString::npos;
    return std::search(Text.begin(), Text.end(), Word.begin(), Word.end(),
                       [&Up](char t, char w) { return Up(t) == w; }) != Text.end();
}

// The titles listed in the results, compared without "&" marks and letter case: an open-addressing
// table of nodes sized once for every title a search can list, so that adding or looking up a
// title copies and allocates nothing.
class TTitleSet {
public:
    TTitleSet(const TUpperTable& Up, std::size_t MostTitles) : FUp(Up)
    {
        std::size_t size = 64;
        while (size < 2 * MostTitles)
            size *= 2;
        FSlots.assign(size, nullptr);
    }
    // Lists Node's title; false when an equal title is listed already.
    bool Insert(const TTreeNode* Node)
    {
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t i = Hash(Node->Text()) & mask;; i = (i + 1) & mask) {
            if (!FSlots[i]) {
                FSlots[i] = Node;
                return true;
            }
            if (Same(FSlots[i]->Text(), Node->Text()))
                return false;
        }
    }

private:
    std::size_t Hash(const AnsiString& Text) const
    {
        std::size_t h = 2166136261u;
        for (char c : Text)
            if (c != '&')
                h = (h ^ static_cast<unsigned char>(FUp(c))) * 16777619u;
        return h;
    }
    bool Same(const AnsiString& A, const AnsiString& B) const
    {
        std::size_t i = 0, j = 0;
        for (;;) {
            while (i < A.size() && A[i] == '&')
                ++i;
            while (j < B.size() && B[j] == '&')
                ++j;
            if (i == A.size() || j == B.size())
                return i == A.size() && j == B.size();
            if (FUp(A[i++]) != FUp(B[j++]))
                return false;
        }
    }

    const TUpperTable& FUp;
    std::vector<const TTreeNode*> FSlots;
};

void AddResult(TTreeNodes& Results, const AnsiString& Title, Integer Image)
{
    TTreeNode* node = Results.Add(nullptr, Title);
    node->SetImageIndex(Image);
    node->SetSelectedIndex(Image);
}

// The words of a query: the texts between single blanks, from the first to the last.
std::vector<AnsiString> Words(const AnsiString& Query)
{
    std::vector<AnsiString> words;
    std::size_t from = 0;
    for (;;) {
        const std::size_t blank = Query.find(' ', from);
        words.push_back(Query.substr(from, blank == AnsiString::npos ? AnsiString::npos : blank - from));
        if (blank == AnsiString::npos)
            return words;
        from = blank + 1;
    }
}

// A filtered view: the entries of one image as results, or the message when there are none.
void ShowFiltered(TID_Vellorn* Form, Integer Image, const char* NoneFound, bool BackToArticles)
{
    if (CopyNodesWithImage(*Form->TreeView2->Items(), *Form->TreeView1->Items(), Image) > 0) {
        ShowTreePage(Form, 1);
        return;
    }
    Notify(NoneFound);
    if (BackToArticles)
        ShowTreePage(Form, 0);
}

void ShowResultCount(TID_Vellorn* Form)
{
    Form->StatusBar1->Panels()->Items(1)->SetText("Найденных статей: " + IntToStr(Form->TreeView2->Items()->Count()));
}

} // namespace

void SearchWord(TTreeNodes& Results, const TTreeNodes& Source, const AnsiString& Word, bool MatchCase, bool InFound)
{
    const TUpperTable up;
    const AnsiString word = MatchCase ? Word : AnsiUpperCase(Word);
    if (InFound) {
        // An empty word occurs in no title: every result goes.
        std::vector<std::pair<AnsiString, Integer>> remaining;
        if (!word.empty())
            for (const TTreeNode* n = Results.GetFirstNode(); n; n = n->GetNext())
                if (Contains(n->Text(), word, MatchCase, up))
                    remaining.emplace_back(n->Text(), n->ImageIndex());
        if (static_cast<int>(remaining.size()) == Results.Count())
            return;
        // The view is emptied in one step and the remaining results are added back.
        TNodesUpdate update(Results);
        Results.Clear();
        for (const auto& [title, image] : remaining)
            AddResult(Results, title, image);
        return;
    }
    if (word.empty())
        return;
    TTitleSet listed(up, static_cast<std::size_t>(Results.Count() + Source.Count()));
    for (const TTreeNode* n = Results.GetFirstNode(); n; n = n->GetNext())
        listed.Insert(n);
    TNodesUpdate update(Results);
    for (const TTreeNode* n = Source.GetFirstNode(); n; n = n->GetNext())
        if (!IsFolder(n) && Contains(n->Text(), word, MatchCase, up) && listed.Insert(n))
            AddResult(Results, n->Text(), n->ImageIndex());
}

int CopyNodesWithImage(TTreeNodes& Results, const TTreeNodes& Source, Integer Image)
{
    TNodesUpdate update(Results);
    Results.Clear();
    for (const TTreeNode* n = Source.GetFirstNode(); n; n = n->GetNext())
        if (n->ImageIndex() == Image)
            AddResult(Results, n->Text(), n->ImageIndex());
    return Results.Count();
}

void ShowTreePage(TID_Vellorn* Form, int Index)
{
    Form->PageControl1->SetActivePageIndex(Index);
    Form->PageControl1Change(Form->PageControl1);
    // The keys go to the tree the page shows: at once, or when the main window is active again
    // (the search dialog is in front while its search runs).
    TsTreeView* tree = Index == 1 ? Form->TreeView2 : Form->TreeView1;
    if (tree->CanFocus())
        Form->SetActiveControl(tree);
}

void TID_Vellorn::N19Click(TObject*) { Form4->Show(); }

void TID_Vellorn::Timer3Timer(TObject*)
{
    if (!PendingSearch)
        return;
    // Cleared first: the message below runs a loop in which this timer ticks again.
    PendingSearch = false;
    TTreeNodes& results = *TreeView2->Items();
    const TTreeNodes& titles = *TreeView1->Items();
    {
        // The view shows the outcome of all the words at once.
        TNodesUpdate update(results);
        if (!SearchInFound)
            results.Clear();
        ListBox1->Items()->Clear();
        const AnsiString query = Form4->Edit1->Text();
        if (SearchAnyWord) {
            for (const AnsiString& word : Words(query))
                SearchWord(results, titles, word, SearchMatchCase, SearchInFound);
        } else if (SearchAllWords) {
            // Searching in the results this way ignores letter case.
            if (SearchInFound)
                SearchWord(results, titles, query, false, true);
            else
                SearchWord(results, titles, query, SearchMatchCase, false);
        }
    }
    ShowTreePage(this, 1);
    if (results.Count() == 0) {
        Notify("Cтатей не найдено");
        Form4->Show();
    }
}

void TID_Vellorn::N58Click(TObject*) { ShowFiltered(this, niArticleFavourite, "Статей не найдено", true); }
void TID_Vellorn::N59Click(TObject*) { ShowFiltered(this, niArticleNew, "Статей не найдено", false); }
void TID_Vellorn::N60Click(TObject*) { ShowFiltered(this, niArticleRead, "Статей не найдено", true); }
void TID_Vellorn::N61Click(TObject*) { ShowFiltered(this, niArticleUnread, "Статей не найдено", true); }
void TID_Vellorn::Flash3Click(TObject*) { ShowFiltered(this, niFlash, "Не найдено", true); }
void TID_Vellorn::N38Click(TObject*) { ShowFiltered(this, niLink, "Не найдено", true); }

void TID_Vellorn::ToolButton16Click(TObject*)
{
    // The button itself drops its menu down too, pressed while the menu is open.
    const TPoint at = sToolBar1->ClientToScreen(
        TPoint{ToolButton16->Left(), ToolButton16->Top() + ToolButton16->Height()});
    ToolButton16->SetDown(true);
    PopupMenu8->PopupComponent = ToolButton16;
    PopupMenu8->Popup(at.x, at.y);
    ToolButton16->SetDown(false);
}

void TID_Vellorn::PageControl1Change(TObject*)
{
    if (PageControl1->ActivePageIndex() == 1) {
        ShowResultCount(this);
        N3->SetEnabled(false);
    } else {
        StatusBar1->Panels()->Items(1)->SetText("Количество статей: " + IntToStr(ArticleCount));
        N3->SetEnabled(true);
    }
}

void TID_Vellorn::TabSheet4Show(TObject*) { ShowResultCount(this); }

void TID_Vellorn::TreeView2Click(TObject*)
{
    const TTreeNode* result = TreeView2->Selected();
    if (!result)
        return;
    for (TTreeNode* n = TreeView1->Items()->GetFirstNode(); n; n = n->GetNext()) {
        if (IsFolder(n) || n->Text() != result->Text())
            continue;
        // Its folders open from the nearest up (an entry at the top level has none).
        for (TTreeNode* folder = n->Parent(); folder; folder = folder->Parent())
            folder->Expand(false);
        TreeView1->SetSelected(n);
        return;
    }
}

void TID_Vellorn::TreeView2DblClick(TObject*) { OpenEntry(this, TreeView2->Selected(), true); }

void TID_Vellorn::TreeView2KeyPress(TObject*, char& Key)
{
    if (Key == '\r')
        OpenEntry(this, TreeView2->Selected(), true);
}
