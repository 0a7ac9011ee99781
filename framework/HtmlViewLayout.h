// Layout and painting of a parsed page: word-wrapped runs of text in GDI fonts, rules, images,
// list markers; hit testing of links and text search over the laid-out text.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "HtmlViewDoc.h"

namespace htmlview {

struct FontSpec {
    int size = 16; // character height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool mono = false;
    auto Key() const { return std::make_tuple(size, bold, italic, underline, mono); }
    bool operator==(const FontSpec& o) const { return Key() == o.Key(); }
};

// What the layout needs to know of a font: measured once, then text is measured by adding up the
// advance widths of its characters (which is what the system's text extent is).
struct FontMetrics {
    int ascent = 0, descent = 0;
    int widths[256] = {}; // advance width of every CP1251 character
    long long Width(const char* s, std::size_t len) const
    {
        long long w = 0;
        for (std::size_t i = 0; i < len; ++i)
            w += widths[static_cast<unsigned char>(s[i])];
        return w;
    }
};

// GDI fonts made on demand and kept until the cache goes, with their metrics.
class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache();
    HFONT Get(const FontSpec& desc);
    // The font's metrics, measured in `dc` the first time they are asked for.
    const FontMetrics& Metrics(HDC dc, const FontSpec& desc);

private:
    struct Entry {
        HFONT font = nullptr;
        bool owned = false; // false for the stock font that stands in when a font cannot be made
        std::unique_ptr<FontMetrics> metrics;
    };
    Entry& Find(const FontSpec& desc);
    std::map<std::tuple<int, bool, bool, bool, bool>, Entry> fonts_;
};

// Where the pictures of a page come from: the view loads them; the layout only asks for sizes.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    // Size in pixels of the picture named by `src` (as written in the page); false when there is
    // no such picture or it cannot be read.
    virtual bool ImageSize(const std::string& src, int& w, int& h) = 0;
    // Draws the picture scaled into `dest`; false when it cannot.
    virtual bool DrawImage(HDC dc, const std::string& src, const RECT& dest) = 0;
};

enum class RunKind { Text, Rule, Image, Marker };

// One positioned piece of the laid-out page, in page coordinates (0,0 = top left of the page).
struct Run {
    RunKind kind = RunKind::Text;
    int x = 0, y = 0, w = 0, h = 0;
    int line = 0;              // index of the line the run sits on
    bool spaceBefore = false;  // a blank separates it from the run before it on its line
    std::string_view text;     // text (held by the layout); for images the alt text
    std::string src;           // images: the source as written in the page
    FontSpec font;
    COLORREF color = RGB(0, 0, 0);
    int link = -1; // index into Layout::links, -1 when not part of a link
};

// Storage of the runs' texts in large blocks that never move, so that laying out a page costs a
// few allocations rather than one per run. Only the text stored last can grow.
class TextStore {
public:
    // `text` extended by `add`; `text` is empty or the last text stored.
    std::string_view Append(std::string_view text, std::string_view add);

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t room_ = 0;
};

// A laid-out page. It can be moved but not copied: its runs point into its own text store.
struct Layout {
    Layout() = default;
    Layout(Layout&&) = default;
    Layout& operator=(Layout&&) = default;
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    std::vector<Run> runs;
    std::vector<std::string> links;                  // hrefs as written in the page
    std::vector<std::pair<std::string, int>> anchors; // anchor name -> page y
    int width = 0;  // width the page was laid out for
    int height = 0; // total height of the page
    TextStore texts;
};

// Lays the document out for a view `width` pixels wide; `dc` is used to measure text.
Layout LayOut(const Document& doc, int width, HDC dc, FontCache& fonts, ImageSource* images);

// Index of the link under the page point, or -1.
int HitLink(const Layout& layout, int x, int y);

// A found text: [first, last) over the page's searchable text, as run and offset pairs.
struct TextRange {
    int firstRun = -1, firstOffset = 0;
    int lastRun = -1, lastOffset = 0; // offset within lastRun where the match ends
    bool Empty() const { return firstRun < 0; }
};

// Finds `needle` (CP1251, without letter case) in the page text after `after` (or from the top
// when `after` is empty), wrapping round to the top once. Empty range when nothing matches.
TextRange FindText(const Layout& layout, const std::string& needle, const TextRange& after);

// Page y of the top of the range's first run (0 for an empty range).
int RangeTop(const Layout& layout, const TextRange& range);

// The text of the page as a search sees it (runs joined, blanks between words and lines).
std::string PageText(const Layout& layout);

// Paints the page with its top-left corner at (originX, originY) in `dc`, only what meets `clip`;
// `selection` is drawn highlighted.
void PaintLayout(HDC dc, const Layout& layout, int originX, int originY, const RECT& clip,
                 FontCache& fonts, ImageSource* images, const TextRange& selection);

} // namespace htmlview
