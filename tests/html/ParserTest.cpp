// The page model: character sets, entities and the tolerant parser.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <memory>
#include <random>

#include "HtmlViewDoc.h"
#include "HtmlViewImages.h"
#include "HtmlViewLayout.h"
#include "TestKit.h"
#include "Watchdog.h"

using namespace htmlview;

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// All text under a node, in document order.
std::string TextOf(const Node* n)
{
    if (n->kind == Node::Text)
        return n->text;
    std::string s;
    for (auto& c : n->children)
        s += TextOf(c.get());
    return s;
}

const Node* FindTag(const Node* n, const std::string& tag)
{
    if (n->kind == Node::Element && n->tag == tag)
        return n;
    for (auto& c : n->children)
        if (const Node* f = FindTag(c.get(), tag))
            return f;
    return nullptr;
}

int CountTag(const Node* n, const std::string& tag)
{
    int k = n->kind == Node::Element && n->tag == tag ? 1 : 0;
    for (auto& c : n->children)
        k += CountTag(c.get(), tag);
    return k;
}

int Depth(const Node* n)
{
    int d = 0;
    for (auto& c : n->children)
        d = std::max(d, Depth(c.get()));
    return d + 1;
}

} // namespace

TEST(Entities, NamedAndNumericBecomeCp1251)
{
    EXPECT_EQ(DecodeEntities("a&nbsp;b"), "a\xA0" "b");
    EXPECT_EQ(DecodeEntities("&amp;&lt;&gt;&quot;"), "&<>\"");
    EXPECT_EQ(DecodeEntities("&copy;&laquo;&raquo;&mdash;&ndash;&hellip;"), "\xA9\xAB\xBB\x97\x96\x85");
    EXPECT_EQ(DecodeEntities("&#1055;&#x440;&#X438;"), "При");
    EXPECT_EQ(DecodeEntities("&#65&#66;"), "AB") << "a numeric reference may end without ';'";
    // References 128..159 name the Western code page's characters (old pages write &#151; for a
    // dash): 128 is the euro sign (0x88 here), 159 'Y' with diaeresis, which code page 1251 lacks;
    // 127 and 160 on either side are themselves.
    EXPECT_EQ(DecodeEntities("&#127;|&#128;|&#x80;|&#151;&#147;|&#159;|&#160;"), "\x7F|\x88|\x88|\x97\x93|?|\xA0");
    // The ends of the Cyrillic letters of the code page: 'Ё' 0xA8, 'А' 0xC0, 'я' 0xFF.
    EXPECT_EQ(DecodeEntities("&#1025;&#1040;&#1103;"), "\xA8\xC0\xFF");
}

TEST(Entities, OutsideCp1251AndDamagedReferences)
{
    EXPECT_EQ(DecodeEntities("&#x4E2D;&times;&#0;&#x110000;&#99999999999;"), "?????");
    EXPECT_EQ(DecodeEntities("AT&T &unknown; & &# &#x; &amp"), "AT&T &unknown; & &# &#x; &amp");
    EXPECT_EQ(DecodeEntities("&AMP;"), "&AMP;") << "entity names are case-sensitive";
}

TEST(Cp1251, TableAgreesWithTheSystemCodePage)
{
    for (int b = 0x80; b < 0x100; ++b) {
        if (b == 0x98)
            continue;
        char in = char(b);
        wchar_t w = 0;
        ASSERT_EQ(MultiByteToWideChar(1251, 0, &in, 1, &w, 1), 1);
        EXPECT_EQ(Cp1251ToCodePoint((unsigned char)b), std::uint32_t(w)) << b;
        EXPECT_EQ(CodePointToCp1251(w), in) << b;
    }
    EXPECT_EQ(FoldCase(std::string("ПРИВЕТ Ёж Ab")), "привет ёж ab");
}

TEST(Charset, FromMetaOrDefault)
{
    EXPECT_EQ(DetectCharset("<html><head><meta charset=\"utf-8\"></head>"), "utf-8");
    EXPECT_EQ(DetectCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=KOI8-R\">"), "koi8-r");
    EXPECT_EQ(DetectCharset("<META HTTP-EQUIV=Content-Type CONTENT='text/html;charset=windows-1251'>"),
              "windows-1251");
    EXPECT_EQ(DetectCharset("<p>no declaration"), "windows-1251");
    EXPECT_EQ(DetectCharset("<meta charset=\"iso-8859-5\">"), "windows-1251") << "unknown sets fall back";
    EXPECT_EQ(DetectCharset("\xEF\xBB\xBF<p>x"), "utf-8");
    EXPECT_EQ(DetectCharset("<body><meta charset=utf-8>"), "windows-1251") << "only the head counts";
}

TEST(Charset, ConvertsUtf8AndKoi8)
{
    EXPECT_EQ(ToCp1251(U8(u8"Привет, мир — ok"), "utf-8"), "Привет, мир \x97 ok");
    EXPECT_EQ(ToCp1251("\xE4\xB8\xAD\xE6\x96\x87", "utf-8"), "??");
    EXPECT_EQ(ToCp1251("\xC0\x80\xFF", "utf-8"), "???") << "malformed sequences";
    EXPECT_EQ(ToCp1251("\xF0\xD2\xC9\xD7\xC5\xD4", "koi8-r"), "Привет");
    Document d = Parse(std::string("<meta charset=utf-8><title>") + U8(u8"Заголовок") + "</title><p>" +
                       U8(u8"Текст &laquo;в кавычках&raquo;"));
    EXPECT_EQ(d.charset, "utf-8");
    EXPECT_EQ(d.title, "Заголовок");
    EXPECT_EQ(TextOf(d.root.get()), "Текст \xABв кавычках\xBB");
}

TEST(Parser, BuildsTreeWithAttributesAndTitle)
{
    Document d = Parse("<!DOCTYPE html><html><head><title>  Моя \n страница </title>"
                       "<style>p{color:red}</style><script>if (a<b) document.write('<p>x</p>')</script>"
                       "</head><body><!-- comment <p>hidden</p> --><h1>Head</h1>"
                       "<p class=x ID='a' data-v=\"1 &amp; 2\">Hello <b>bold</b></p></body></html>");
    EXPECT_EQ(d.title, "Моя страница");
    EXPECT_EQ(TextOf(d.root.get()), "HeadHello bold");
    const Node* p = FindTag(d.root.get(), "p");
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->Attr("id"), nullptr);
    EXPECT_EQ(*p->Attr("id"), "a");
    EXPECT_EQ(*p->Attr("class"), "x");
    EXPECT_EQ(*p->Attr("data-v"), "1 & 2");
    EXPECT_EQ(p->Attr("missing"), nullptr);
    EXPECT_EQ(CountTag(d.root.get(), "script"), 0);
    EXPECT_EQ(CountTag(d.root.get(), "style"), 0);
}

TEST(Parser, ClosesWhatPagesLeaveOpen)
{
    Document d = Parse("<p>one<p>two<ul><li>a<li>b<li>c</ul><table><tr><td>1<td>2<tr><td>3</table>");
    EXPECT_EQ(CountTag(d.root.get(), "p"), 2);
    const Node* ul = FindTag(d.root.get(), "ul");
    ASSERT_NE(ul, nullptr);
    EXPECT_EQ(ul->children.size(), 3u) << "each li closes the one before";
    EXPECT_EQ(ul->parent, d.root.get()) << "a list closes the open paragraph";
    EXPECT_EQ(CountTag(d.root.get(), "tr"), 2);
    const Node* tr = FindTag(d.root.get(), "tr");
    EXPECT_EQ(tr->children.size(), 2u);
    // Stray end tags are ignored; "<" that opens no tag is text.
    Document e = Parse("a</b></div>c < d <3 <>x");
    EXPECT_EQ(TextOf(e.root.get()), "ac < d <3 <>x");
    // Void elements take no children.
    Document f = Parse("<br>x<img src=a.bmp>y<hr>z");
    for (auto& c : f.root->children)
        EXPECT_TRUE(c->children.empty());
}

TEST(Parser, CutOffMarkupEndsCleanly)
{
    EXPECT_EQ(TextOf(Parse("text<!-- never closed <p>x").root.get()), "text");
    EXPECT_EQ(TextOf(Parse("text<script>never closed").root.get()), "text");
    EXPECT_EQ(TextOf(Parse("text<a href=\"unterminated>more").root.get()), "text");
    EXPECT_EQ(TextOf(Parse("text<b").root.get()), "text");
    Document d = Parse("<title>never closed");
    EXPECT_EQ(d.title, "never closed");
}

TEST(Parser, DeepNestingIsFlattened)
{
    std::string s;
    for (int i = 0; i < 100000; ++i)
        s += "<div><b>";
    s += "deep";
    Document d = Parse(s);
    EXPECT_LE(Depth(d.root.get()), MaxNesting + 3);
    EXPECT_EQ(TextOf(d.root.get()), "deep");
}

// Seeded mutations of a real page: the parser and the layout finish every case without a crash
// or a hang (the watchdog ends the program on one), long runs without a blank among them, and
// some pages with their pictures read from the graphics test data.
TEST(Parser, SurvivesMutatedPages)
{
    const std::string seed =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>T &amp; t</title>"
        "<style>a{}</style><script>var x='<b>';</script></head><body><h1 id=top>Заголовок</h1>"
        "<p>Text &laquo;quoted&raquo; &#1055; <a href=\"b.html#x\">link</a><br><img src=x.bmp alt='pic'>"
        "<ul><li>one<li>two<ol start=3><li>three</ol></ul><pre>\tcode  here\n</pre><hr>"
        "<table><tr><th>h<td>c</table><blockquote>q</blockquote><!-- c -->"
        "<img src=rgb.jpg><img src=tall.jpg width=9><img src=bad/huge_area.bmp alt=big></body></html>";
    const char pieces[] = "<>/=\"'&;#!- \n\txa?";
    const std::string kRuns[] = {"a", "Щ", std::string(1, '\0'), "&bogus;", "Zm9vYmFy", "&#1055;", "<b>"};
    const std::string base = testkit::DataDir() + "graphics\\page.html";
    testkit::Watchdog dog;
    std::mt19937 rng(20261207);
    HDC dc = CreateCompatibleDC(nullptr);
    FontCache fonts;
    for (int round = 0; round < 3000; ++round) {
        std::string s = seed;
        int edits = 1 + int(rng() % 12);
        for (int k = 0; k < edits && !s.empty(); ++k) {
            size_t at = rng() % s.size();
            switch (rng() % 6) {
            case 0: s.erase(at, 1 + rng() % 8); break;
            case 1: s.insert(at, 1, pieces[rng() % (sizeof pieces - 1)]); break;
            case 2: s[at] = char(rng() % 256); break;
            case 3: s.insert(at, s.substr(rng() % s.size(), rng() % 40)); break;
            case 4: { // a long run without blanks: a word, NULs, unknown entities, base64, tags
                const std::string& unit = kRuns[rng() % std::size(kRuns)];
                std::string run;
                for (size_t n = 2000 + rng() % 20000; run.size() < n;)
                    run += unit;
                s.insert(at, run);
                break;
            }
            default: s.resize(at); break;
            }
        }
        dog.Next("page mutation " + std::to_string(round), s);
        Document d = Parse(s);
        ASSERT_NE(d.root, nullptr) << round;
        ASSERT_LE(Depth(d.root.get()), MaxNesting + 3) << round;
        if (round % 4 == 0) { // and the damaged page still lays out
            std::unique_ptr<PageImages> images;
            if (round % 16 == 0)
                images = std::make_unique<PageImages>(base);
            Layout l = LayOut(d, 100 + int(rng() % 500), dc, fonts, images.get());
            ASSERT_GE(l.height, 0) << round;
            FindText(l, "a", TextRange());
        }
    }
    DeleteDC(dc);
}
