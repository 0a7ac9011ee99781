// Layout of parsed pages into positioned runs, link hit testing, text search, and the address
// logic and history of the view used without a window.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>

#include "Graphics.h"
#include "HtmlViewLayout.h"
#include "HtmlViewWindow.h"
#include "TestKit.h"
#include "Watchdog.h"

using namespace htmlview;

namespace {

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override { dc_ = CreateCompatibleDC(nullptr); }
    void TearDown() override { DeleteDC(dc_); }

    Layout Lay(const std::string& html, int width = 400)
    {
        doc_ = Parse(html);
        return LayOut(doc_, width, dc_, fonts_, nullptr);
    }

    const htmlview::Run* FindRun(const Layout& l, const std::string& text)
    {
        for (const htmlview::Run& r : l.runs)
            if (r.text.find(text) != std::string::npos)
                return &r;
        return nullptr;
    }

    HDC dc_ = nullptr;
    FontCache fonts_;
    Document doc_;
};

} // namespace

TEST_F(LayoutTest, WrapsWordsAtTheViewWidth)
{
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "word" + std::to_string(i) + " ";
    Layout l = Lay("<p>" + words + "</p>", 300);
    std::set<int> lines;
    for (const htmlview::Run& r : l.runs) {
        EXPECT_GE(r.x, 8);
        EXPECT_LE(r.x + r.w, 300 - 8) << r.text;
        lines.insert(r.y);
    }
    EXPECT_GT(lines.size(), 5u);
    EXPECT_EQ(PageText(l), words.substr(0, words.size() - 1)) << "every word once, in order";
    EXPECT_GE(l.height, *lines.rbegin());
    // Narrower view, more lines.
    Layout narrow = Lay("<p>" + words + "</p>", 150);
    EXPECT_GT(narrow.height, l.height);
}

TEST_F(LayoutTest, OverlongWordIsCutAndNbspDoesNotBreak)
{
    Layout l = Lay("<p>" + std::string(300, 'W') + "</p>", 200);
    ASSERT_GT(l.runs.size(), 1u);
    for (const htmlview::Run& r : l.runs)
        EXPECT_LE(r.x + r.w, 200 - 8);
    Layout n = Lay("<p>aaaa&nbsp;bbbb&nbsp;cccc&nbsp;dddd&nbsp;eeee&nbsp;ffff</p>", 100);
    std::set<int> lines;
    for (const htmlview::Run& r : n.runs)
        lines.insert(r.line);
    EXPECT_EQ(n.runs.front().text.substr(0, 5), "aaaa\xA0");
}

// Lines break at blanks at every width, also where markup splits a word: a word is cut only where
// it is wider than the whole line.
TEST_F(LayoutTest, LinesBreakAtBlanksAndOnlyAWordWiderThanTheLineIsCut)
{
    // Words as pieces, the bold ones marked with "*".
    const std::vector<std::vector<std::string>> words = {
        {"Добро"}, {"*пожа", "ловать"}, {"в"}, {"архив:"}, {"*ва", "ши"}, {"статьи,"}, {"ссылки"}, {"и"}, {"ролики"}};
    std::string html;
    for (const auto& word : words) {
        html += html.empty() ? "" : " ";
        for (const std::string& piece : word)
            html += piece[0] == '*' ? "<b>" + piece.substr(1) + "</b>" : piece;
    }
    for (const char* tag : {"h1", "h3", "p"}) {
        for (int width = 60; width <= 420; width += 9) {
            Layout l = Lay(std::string("<") + tag + ">" + html + "</" + tag + ">", width);
            ASSERT_FALSE(l.runs.empty());
            FontSpec plain = l.runs[0].font, bold = plain;
            bold.bold = true;
            std::map<int, std::string> lines;
            for (const htmlview::Run& r : l.runs)
                lines[r.line] += (r.spaceBefore ? " " : "") + std::string(r.text);
            std::set<std::string> whole;
            for (const auto& [line, shown] : lines)
                for (size_t i = 0; i < shown.size();) {
                    const size_t e = std::min(shown.find(' ', i), shown.size());
                    whole.insert(shown.substr(i, e - i));
                    i = e + 1;
                }
            for (const auto& word : words) {
                std::string text;
                long long w = 0;
                for (const std::string& piece : word) {
                    const bool b = piece[0] == '*';
                    const std::string t = b ? piece.substr(1) : piece;
                    text += t;
                    w += fonts_.Metrics(dc_, b ? bold : plain).Width(t.data(), t.size());
                }
                if (!whole.count(text)) {
                    EXPECT_GT(w, width - 16) << tag << " " << width << ": " << text;
                }
            }
        }
    }
}

// Each character is measured once: a word of a megabyte lays out at once, every line filled.
TEST_F(LayoutTest, AWordOfAMegabyteFillsEveryLineToItsEnd)
{
    testkit::Watchdog dog;
    dog.Next("laying out a word of a megabyte");
    const std::string word(1 << 20, 'a');
    Layout l = Lay("<p>x<code>" + word + "</code></p>", 400);
    FontSpec mono;
    mono.size = 13;
    mono.mono = true;
    SelectObject(dc_, fonts_.Get(mono)); // fixed pitch: every character as wide as "a"
    SIZE a{};
    GetTextExtentPoint32A(dc_, "a", 1, &a);
    ASSERT_GT(a.cx, 0);
    const size_t perLine = size_t((400 - 16) / a.cx);
    ASSERT_EQ(l.runs.size(), 1 + (word.size() + perLine - 1) / perLine) << "x alone, then full lines";
    EXPECT_EQ(l.runs[0].text, "x");
    size_t total = 0, wrong = 0;
    for (size_t i = 1; i < l.runs.size(); ++i) {
        const htmlview::Run& r = l.runs[i];
        total += r.text.size();
        wrong += r.x != 8 || r.line != int(i) || (i + 1 < l.runs.size() && r.text.size() != perLine) ||
                 r.w != int(r.text.size()) * a.cx;
    }
    EXPECT_EQ(total, word.size());
    EXPECT_EQ(wrong, 0u);
}

// A preformatted line far wider than the view paints as the system draws the whole line.
TEST_F(LayoutTest, ALongPreformattedLinePaintsWhatShowsOfIt)
{
    std::string line;
    for (int i = 0; line.size() < 100000; ++i)
        line += "Строка " + std::to_string(i) + "; ";
    Layout l = Lay("<pre>" + line + "</pre>");
    ASSERT_EQ(l.runs.size(), 1u);
    const htmlview::Run& r = l.runs[0];
    auto paint = [&](bool whole) {
        TBitmap b(300, 40);
        HDC dc = b.Canvas()->Handle();
        const RECT clip{0, 0, 300, 40};
        FillRect(dc, &clip, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (whole) {
            SetBkMode(dc, TRANSPARENT);
            SelectObject(dc, fonts_.Get(r.font));
            TextOutA(dc, r.x - 20, r.y, r.text.data(), int(r.text.size()));
        } else {
            PaintLayout(dc, l, -20, 0, clip, fonts_, nullptr, TextRange());
        }
        GdiFlush();
        std::string pixels;
        for (int y = 0; y < 40; ++y)
            pixels.append(static_cast<const char*>(b.ScanLine(y)), size_t(b.RowBytes()));
        return pixels;
    };
    EXPECT_TRUE(paint(false) == paint(true));
}

TEST_F(LayoutTest, HeadingsBoldAndBiggerInlineStyles)
{
    Layout l = Lay("<h1>Big</h1><h3>Mid</h3><p>plain <b>bold</b> <i>it</i> <u>un</u> <code>mono</code></p>");
    const htmlview::Run* h1 = FindRun(l, "Big");
    const htmlview::Run* h3 = FindRun(l, "Mid");
    const htmlview::Run* p = FindRun(l, "plain");
    ASSERT_TRUE(h1 && h3 && p);
    EXPECT_TRUE(h1->font.bold);
    EXPECT_GT(h1->font.size, h3->font.size);
    EXPECT_GT(h3->font.size, p->font.size - 1);
    EXPECT_GT(h1->h, p->h);
    EXPECT_LT(h1->y, h3->y);
    EXPECT_LT(h3->y, p->y);
    EXPECT_TRUE(FindRun(l, "bold")->font.bold);
    EXPECT_TRUE(FindRun(l, "it")->font.italic);
    EXPECT_TRUE(FindRun(l, "un")->font.underline);
    EXPECT_TRUE(FindRun(l, "mono")->font.mono);
    EXPECT_FALSE(p->font.bold);
    EXPECT_EQ(PageText(l), "Big Mid plain bold it un mono");
}

TEST_F(LayoutTest, ListsNumberAndIndentNestedLevels)
{
    Layout l = Lay("<ol><li>one<li>two<ul><li>inner</ul></ol><ol start=5><li>five</ol>");
    std::vector<std::string> markers;
    for (const htmlview::Run& r : l.runs)
        if (r.kind == RunKind::Marker)
            markers.emplace_back(r.text);
    ASSERT_EQ(markers.size(), 4u);
    EXPECT_EQ(markers[0], "1.");
    EXPECT_EQ(markers[1], "2.");
    EXPECT_EQ(markers[3], "5.");
    const htmlview::Run* one = FindRun(l, "one");
    const htmlview::Run* inner = FindRun(l, "inner");
    ASSERT_TRUE(one && inner);
    EXPECT_GT(inner->x, one->x);
    EXPECT_GT(one->x, 8);
}

TEST_F(LayoutTest, PreformattedKeepsBlanksAndLines)
{
    Layout l = Lay("<pre>\na   b\n\tc\n</pre><p>x   y</p>");
    const htmlview::Run* ab = FindRun(l, "a   b");
    const htmlview::Run* c = FindRun(l, "c");
    ASSERT_TRUE(ab && c);
    EXPECT_TRUE(ab->font.mono);
    EXPECT_EQ(c->text, "        c");
    EXPECT_GT(c->y, ab->y);
    EXPECT_NE(FindRun(l, "x y"), nullptr) << "outside pre blanks collapse";
}

TEST_F(LayoutTest, RulesAndImages)
{
    Layout l = Lay("<p>a</p><hr><img src=missing.bmp alt=\"Картинка\" width=50 height=40>"
                   "<img src=x.jpg alt=\"\">");
    int rules = 0, images = 0;
    for (const htmlview::Run& r : l.runs) {
        if (r.kind == RunKind::Rule) {
            ++rules;
            EXPECT_EQ(r.w, 400 - 16);
        }
        if (r.kind == RunKind::Image) {
            ++images;
            if (r.text == "Картинка") {
                EXPECT_EQ(r.w, 50);
                EXPECT_EQ(r.h, 40);
            } else {
                EXPECT_GE(r.w, 24);
            }
        }
    }
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(images, 2);
}

TEST_F(LayoutTest, TextTablesAlignTheirColumnsOthersFlowRowByRow)
{
    Layout l = Lay("<table><tr><th>c1<td>c2</tr><tbody><tr><td>a much longer cell<td><b>c4</b></table>");
    const htmlview::Run* c1 = FindRun(l, "c1");
    const htmlview::Run* c2 = FindRun(l, "c2");
    const htmlview::Run* c3 = FindRun(l, "longer");
    const htmlview::Run* c4 = FindRun(l, "c4");
    ASSERT_TRUE(c1 && c2 && c3 && c4);
    EXPECT_TRUE(c1->font.bold) << "header cells are bold";
    EXPECT_EQ(c1->y, c2->y) << "cells of a row share a line";
    EXPECT_GT(c3->y, c1->y);
    EXPECT_EQ(c3->x, c1->x);
    EXPECT_EQ(c4->x, c2->x) << "columns line up";
    EXPECT_GT(c2->x, c3->x + c3->w);
    // A cell with block content: rows in the flow, nothing lost.
    Layout f = Lay("<table><tr><td><p>para</p><td>x<tr><td>y</table>");
    EXPECT_EQ(PageText(f), "para x y");
    // Too wide for the view: the flow wraps the cells.
    std::string wide = "<table><tr>";
    for (int i = 0; i < 30; ++i)
        wide += "<td>cell" + std::to_string(i);
    Layout w = Lay(wide + "</table>", 300);
    for (const htmlview::Run& r : w.runs)
        EXPECT_LE(r.x + r.w, 300 - 8);
}

TEST_F(LayoutTest, LinksAreBlueUnderlinedAndHit)
{
    Layout l = Lay("<p>before <a href=\"next.html\">the link</a> after <a name=n>anchor</a></p>");
    ASSERT_EQ(l.links.size(), 1u);
    EXPECT_EQ(l.links[0], "next.html");
    const htmlview::Run* r = FindRun(l, "the link");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->link, 0);
    EXPECT_TRUE(r->font.underline);
    EXPECT_EQ(r->color, RGB(0, 0, 238));
    EXPECT_EQ(HitLink(l, r->x + r->w / 2, r->y + r->h / 2), 0);
    const htmlview::Run* before = FindRun(l, "before");
    EXPECT_EQ(HitLink(l, before->x + 1, before->y + 1), -1);
    EXPECT_EQ(FindRun(l, "anchor")->link, -1) << "a named anchor is no link";
    ASSERT_EQ(l.anchors.size(), 1u);
    EXPECT_EQ(l.anchors[0].first, "n");
}

TEST_F(LayoutTest, FindIgnoresCaseAcrossRunsAndWraps)
{
    Layout l = Lay("<p>Привет <b>МИР</b> тест</p><p>второй мир</p>");
    TextRange r = FindText(l, "мир тест", TextRange());
    ASSERT_FALSE(r.Empty());
    EXPECT_EQ(l.runs[size_t(r.firstRun)].text, "МИР");
    EXPECT_EQ(r.firstOffset, 0);
    EXPECT_EQ(l.runs[size_t(r.lastRun)].text.substr(0, size_t(r.lastOffset)), "тест");
    TextRange m1 = FindText(l, "МиР", TextRange());
    TextRange m2 = FindText(l, "МиР", m1);
    TextRange m3 = FindText(l, "МиР", m2);
    ASSERT_FALSE(m2.Empty());
    EXPECT_NE(m1.firstRun, m2.firstRun);
    EXPECT_EQ(m3.firstRun, m1.firstRun) << "the search wraps round to the top";
    EXPECT_GT(RangeTop(l, m2), RangeTop(l, m1));
    EXPECT_TRUE(FindText(l, "нет такого", TextRange()).Empty());
    EXPECT_TRUE(FindText(l, "", TextRange()).Empty());
}

TEST_F(LayoutTest, ScriptAndStyleNeverShow)
{
    Layout l = Lay("<style>body{}</style><script>alert(1)</script><noscript>ns</noscript>shown");
    EXPECT_EQ(PageText(l), "ns shown");
}

TEST(Addresses, PathsAndFileUrls)
{
    EXPECT_EQ(AddressToPath("file:///C:/dir/a%20b.html"), "C:\\dir\\a b.html");
    EXPECT_EQ(AddressToPath("file://C:\\x.html"), "C:\\x.html");
    EXPECT_EQ(AddressToPath("file://server/share/x.html"), "\\\\server\\share\\x.html");
    EXPECT_EQ(AddressToPath("C:\\x.html"), "C:\\x.html");
    EXPECT_EQ(AddressToPath("http://host/"), "");
    EXPECT_EQ(AddressToPath("about:blank"), "");
}

TEST(Addresses, ReferencesResolveAgainstThePage)
{
    EXPECT_EQ(ResolveReference("C:\\site\\pages\\a.html", "b.html"), "C:\\site\\pages\\b.html");
    EXPECT_EQ(ResolveReference("C:\\site\\pages\\a.html", "../img/p.bmp"), "C:\\site\\img\\p.bmp");
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "sub/c.html#part"), "C:\\site\\sub\\c.html#part");
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "/root.html"), "C:\\root.html");
    EXPECT_EQ(ResolveReference("\\\\srv\\share\\d\\a.html", "/root.html"), "\\\\srv\\share\\root.html");
    EXPECT_EQ(ResolveReference("C:\\site\\pages\\a.html", "../../../x.html"), "C:\\x.html") << "'..' stops at the root";
    // A local link's query is no part of the file name; its fragment is kept whole.
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "b.html?x=1#part"), "C:\\site\\b.html#part");
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "b.html#part?x"), "C:\\site\\b.html#part?x");
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "?x=1"), "C:\\site\\a.html");
    EXPECT_EQ(ResolveReference("file:///C:/site/a.html", "b%20c.html"), "C:\\site\\b c.html");
    EXPECT_EQ(ResolveReference("C:\\site\\a.html", "http://example.org/x"), "http://example.org/x");
    EXPECT_EQ(ResolveReference("http://h.org/d/p.html?q=1", "n.html"), "http://h.org/d/n.html");
    EXPECT_EQ(ResolveReference("http://h.org/d/p.html", "/top.html"), "http://h.org/top.html");
    EXPECT_EQ(ResolveReference("http://h.org", "x.html"), "http://h.org/x.html");
    EXPECT_EQ(ResolveReference("https://h.org/a", "//cdn.org/i.bmp"), "https://cdn.org/i.bmp");
}

// Without a window the view loads at once: enough to check the history and its events.
TEST(ViewHistory, BackForwardAndCommandStates)
{
    testkit::TempDir dir;
    for (const char* n : {"1", "2", "3"})
        testkit::WriteFileBytes(dir / (std::string(n) + ".html"), std::string("<title>Page ") + n + "</title>x");
    View v;
    std::vector<std::pair<long, bool>> states;
    v.Events.CommandStateChange = [&](long c, bool e) { states.emplace_back(c, e); };
    EXPECT_FALSE(v.HasDocument());
    EXPECT_EQ(v.LocationName(), "");
    v.Navigate(dir / "1.html");
    v.Navigate(dir / "2.html");
    v.Navigate(dir / "3.html");
    EXPECT_EQ(v.LocationName(), "Page 3");
    EXPECT_TRUE(v.CanGoBack());
    EXPECT_FALSE(v.CanGoForward());
    ASSERT_TRUE(v.GoBack());
    EXPECT_EQ(v.LocationName(), "Page 2");
    EXPECT_TRUE(v.CanGoForward());
    // Each navigation: update-commands on while loading, then forward, back, update-commands off.
    ASSERT_EQ(states.size(), 16u);
    EXPECT_EQ(states[12], std::make_pair(CSC_UPDATECOMMANDS, true));
    EXPECT_EQ(states[13], std::make_pair(CSC_NAVIGATEFORWARD, true));
    EXPECT_EQ(states[14], std::make_pair(CSC_NAVIGATEBACK, true));
    EXPECT_EQ(states[15], std::make_pair(CSC_UPDATECOMMANDS, false));
    ASSERT_TRUE(v.GoBack());
    EXPECT_FALSE(v.CanGoBack());
    EXPECT_FALSE(v.GoBack());
    // A new page drops the forward entries.
    v.Navigate("about:blank");
    EXPECT_FALSE(v.CanGoForward());
    EXPECT_EQ(v.LocationName(), "about:blank");
    ASSERT_TRUE(v.GoBack());
    EXPECT_EQ(v.LocationName(), "Page 1");
    // A cancelled navigation changes nothing.
    v.Events.BeforeNavigate2 = [](const std::string&, bool& cancel) { cancel = true; };
    v.Navigate(dir / "3.html");
    EXPECT_EQ(v.LocationName(), "Page 1");
    EXPECT_FALSE(v.Busy());
}

TEST(ViewPages, ErrorFlashAndNamesWithoutTitle)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "untitled.html", "<p>text");
    View v;
    v.Navigate(dir / "untitled.html");
    EXPECT_EQ(v.LocationName(), "untitled.html");
    EXPECT_EQ(v.LocationURL(), dir / "untitled.html");
    v.Navigate(dir / "missing.html");
    EXPECT_EQ(v.LocationURL(), dir / "missing.html");
    EXPECT_EQ(v.LocationName(), "Не удается открыть страницу");
    EXPECT_NE(PageText(v.PageLayout()).find("Файл не найден"), std::string::npos);
    v.Navigate(dir / "movie.swf");
    EXPECT_EQ(v.LocationName(), "movie.swf");
    EXPECT_NE(PageText(v.PageLayout()).find("Флэш-ролики в этом окне не воспроизводятся"), std::string::npos);
    v.Navigate(dir.Path());
    EXPECT_NE(PageText(v.PageLayout()).find("папка"), std::string::npos);
    v.Navigate("");
    EXPECT_EQ(v.LocationURL(), "about:blank");
    v.Navigate("ftp://example.org/x");
    EXPECT_EQ(v.LocationName(), "Не удается открыть страницу");
}

TEST(ViewPages, SaveWritesTheSourceBytes)
{
    testkit::TempDir dir;
    std::string page = "<meta charset=utf-8><title>" + std::string(reinterpret_cast<const char*>(u8"Т")) + "</title>\r\nbody\0x";
    testkit::WriteFileBytes(dir / "p.html", page);
    View v;
    v.Navigate(dir / "p.html");
    EXPECT_EQ(v.LocationName(), "Т");
    ASSERT_TRUE(v.SaveTo(dir / "copy.html"));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "copy.html"), page);
    EXPECT_FALSE(v.SaveTo(dir / "no\\such\\folder\\x.html"));
}
