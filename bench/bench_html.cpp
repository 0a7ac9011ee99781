// Our browser view's engine on 1 MB pages: the layout of a page against the parsing of the same
// page, for one long word, ordinary text and a table. The layout should take no more than twice
// the time of the parse.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "BenchHarness.h"
#include "HtmlViewDoc.h"
#include "HtmlViewLayout.h"

namespace {

std::size_t PageBytes()
{
    const char* kb = std::getenv("BENCH_HTML_KB"); // smaller pages to time a slow layout
    return kb ? std::size_t(std::atoi(kb)) * 1024 : std::size_t(1) << 20;
}

std::string LongWord(std::size_t bytes)
{
    static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s = "<html><body><p>";
    for (std::size_t i = 0; s.size() < bytes; ++i)
        s += kBase64[(i * 7 + i / 64) % 64];
    return s + "</p></body></html>";
}

std::string OrdinaryText(std::size_t bytes)
{
    static const char* const kWords[] = {"Статья", "о", "саде", "and", "the", "garden", "весной,",
                                         "когда", "<b>цветут</b>", "яблони", "<a href=\"x.html\">ссылка</a>",
                                         "и", "вишни.", "Lorem", "ipsum", "dolor", "&laquo;sit&raquo;"};
    std::string s = "<html><body><h1>Заголовок</h1>";
    for (std::size_t i = 0; s.size() < bytes; ++i) {
        if (i % 120 == 0)
            s += "<p>";
        s += kWords[(i * 5 + i / 17) % (sizeof kWords / sizeof *kWords)];
        s += ' ';
    }
    return s + "</body></html>";
}

std::string Table(std::size_t bytes)
{
    std::string s = "<html><body><table>";
    for (int row = 0; s.size() < bytes; ++row) {
        s += "<tr>";
        for (int c = 0; c < 4; ++c)
            s += "<td>Ячейка " + std::to_string(row) + "." + std::to_string(c) + " text</td>";
        s += "</tr>\n";
    }
    return s + "</table></body></html>";
}

void Compare(const char* what, const std::string& page, HDC dc, htmlview::FontCache& fonts)
{
    std::string name(what);
    htmlview::Document doc;
    double parse = bench::Measure(name + ": parse", 15, [&] { doc = htmlview::Parse(page); });
    double layout = bench::Measure(name + ": layout at 800 pixels", 15,
                                   [&] { htmlview::LayOut(doc, 800, dc, fonts, nullptr); });
    bench::Report(name + ": layout / parse", layout / parse, "x");
}

} // namespace

int main()
{
    const std::size_t bytes = PageBytes();
    HDC dc = CreateCompatibleDC(nullptr);
    htmlview::FontCache fonts;
    Compare("one long word", LongWord(bytes), dc, fonts);
    Compare("ordinary text", OrdinaryText(bytes), dc, fonts);
    Compare("table", Table(bytes), dc, fonts);
    DeleteDC(dc);
    return 0;
}
