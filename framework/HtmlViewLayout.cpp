// Layout and painting of a parsed page.
#include "HtmlViewLayout.h"

#include <algorithm>
#include <cstdlib>

namespace htmlview {

namespace {

constexpr int kMargin = 8;      // page margin on every side
constexpr int kListIndent = 32; // indent of a list level
constexpr int kQuoteIndent = 40;
constexpr int kCellGap = 24; // horizontal gap between table cells
constexpr int kMaxImageSide = 4000;
constexpr int kMaxLineWidth = 1 << 30; // preformatted lines longer than this end at it
const COLORREF kLinkColor = RGB(0, 0, 238);

// Blanks separate words; most characters are past them, which one comparison tells.
inline bool IsBlank(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u <= 32 && (u == 32 || u == 9 || u == 10 || u == 13 || u == 12);
}

bool IsOneOf(const std::string& t, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (t == n)
            return true;
    return false;
}

int HeadingSize(char level)
{
    switch (level) {
    case '1': return 32;
    case '2': return 24;
    case '3': return 19;
    case '4': return 16;
    case '5': return 13;
    default: return 11;
    }
}

// A positive pixel size from an attribute, or 0.
int PixelAttr(const Node* n, const char* name)
{
    const std::string* v = n->Attr(name);
    if (!v || v->empty() || v->find('%') != std::string::npos)
        return 0;
    long x = std::strtol(v->c_str(), nullptr, 10);
    return x > 0 ? int(std::min<long>(x, kMaxImageSide)) : 0;
}

struct Style {
    FontSpec font;
    COLORREF color = RGB(0, 0, 0);
    int link = -1;
    bool pre = false;
};

struct ListState {
    bool ordered = false;
    int counter = 1;
};

class Layouter {
public:
    Layouter(int width, HDC dc, FontCache& fonts, ImageSource* images, Layout& out)
        : dc_(dc), fonts_(fonts), images_(images), out_(out)
    {
        out_.width = width;
        right_ = std::max(width - kMargin, kMargin + 40);
        left_ = kMargin;
        lineX_ = left_;
        y_ = kMargin;
    }

    void Build(const Document& doc)
    {
        Style s;
        Walk(doc.root.get(), s);
        FlushLine(false);
        out_.height = y_ + kMargin;
    }

private:
    struct Item {
        htmlview::Run run;         // text runs get their text from `text` when the line is set
        const char* text = nullptr; // text runs: characters of the document (or of a constant)
        std::size_t len = 0;
        std::string ownText; // markers and images: their text
        int ascent = 0, descent = 0;
        bool fixedX = false; // list markers stand left of the line and take no room on it
        bool ownRun = false; // starts a run of its own (the first word of a table cell)
    };

    void Walk(const Node* n, Style s)
    {
        if (n->kind == Node::Text) {
            if (s.pre)
                PreText(n->text, s);
            else
                Text(n->text, s);
            return;
        }
        const std::string& t = n->tag;
        if (IsOneOf(t, {"head", "meta", "link", "script", "style", "title", "noembed", "select",
                        "option", "map", "area", "param", "object", "applet", "iframe", "frameset",
                        "template"}))
            return;
        if (const std::string* id = n->Attr("id"))
            out_.anchors.emplace_back(*id, y_ + pendingMargin_);
        if (t == "a") {
            if (const std::string* name = n->Attr("name"))
                out_.anchors.emplace_back(*name, y_ + pendingMargin_);
            if (const std::string* href = n->Attr("href")) {
                out_.links.push_back(*href);
                s.link = int(out_.links.size()) - 1;
                s.color = kLinkColor;
                s.font.underline = true;
            }
            Children(n, s);
            return;
        }
        if (t == "br") {
            FlushLine(true, s.font);
            return;
        }
        if (t == "hr") {
            Block(8);
            Item it;
            it.run.kind = RunKind::Rule;
            it.run.w = right_ - left_;
            it.run.h = 2;
            it.ascent = 2;
            it.run.x = left_;
            Push(std::move(it));
            FlushLine(false);
            Block(8);
            return;
        }
        if (t == "img") {
            Image(n, s);
            return;
        }
        InlineStyle(t, s);
        if (t == "table" && AlignedTable(n, s))
            return;

        if (t.size() == 2 && t[0] == 'h' && t[1] >= '1' && t[1] <= '6') {
            s.font.size = HeadingSize(t[1]);
            s.font.bold = true;
            int m = s.font.size * 2 / 3;
            Block(m);
            Children(n, s);
            Block(m);
            return;
        }
        if (t == "p" || t == "dl") {
            Block(s.font.size);
            Children(n, s);
            Block(s.font.size);
            return;
        }
        if (t == "pre" || t == "xmp" || t == "listing" || t == "plaintext") {
            Block(s.font.size);
            s.pre = true;
            s.font.mono = true;
            s.font.size = 13;
            preStart_ = true;
            Children(n, s);
            preStart_ = false;
            Block(16);
            return;
        }
        if (t == "blockquote") {
            Block(s.font.size);
            Indent(kQuoteIndent, kQuoteIndent, [&] { Children(n, s); });
            Block(s.font.size);
            return;
        }
        if (t == "dd") {
            Block(0);
            Indent(kQuoteIndent, 0, [&] { Children(n, s); });
            Block(0);
            return;
        }
        if (t == "ul" || t == "ol" || t == "menu" || t == "dir") {
            int m = lists_.empty() ? s.font.size : 0;
            Block(m);
            ListState ls;
            ls.ordered = t == "ol";
            if (ls.ordered) {
                int start = PixelAttr(n, "start");
                if (start > 0)
                    ls.counter = start;
            }
            lists_.push_back(ls);
            Indent(kListIndent, 0, [&] { Children(n, s); });
            lists_.pop_back();
            Block(m);
            return;
        }
        if (t == "li") {
            Block(0);
            Marker(s);
            Children(n, s);
            Block(0);
            return;
        }
        if (t == "tr") {
            Block(2);
            firstCell_ = true;
            Children(n, s);
            Block(2);
            return;
        }
        if (t == "td" || t == "th") {
            if (!firstCell_ && !line_.empty())
                lineX_ += kCellGap;
            firstCell_ = false;
            pendingSpace_ = !line_.empty();
            newCell_ = true;
            Children(n, s);
            return;
        }
        if (IsOneOf(t, {"div", "table", "center", "form", "section", "article", "header",
                        "footer", "nav", "main", "aside", "figure", "caption", "dt", "tbody",
                        "thead", "tfoot", "fieldset", "noscript", "body", "html"})) {
            Block(0);
            Children(n, s);
            Block(0);
            return;
        }
        Children(n, s); // inline elements we do not know just show their content
    }

    // The look an inline element gives its content.
    static void InlineStyle(const std::string& t, Style& s)
    {
        if (t == "b" || t == "strong" || t == "th")
            s.font.bold = true;
        else if (t == "i" || t == "em" || t == "cite" || t == "var" || t == "dfn" || t == "address")
            s.font.italic = true;
        else if (t == "u" || t == "ins")
            s.font.underline = true;
        else if (t == "code" || t == "tt" || t == "kbd" || t == "samp") {
            s.font.mono = true;
            s.font.size = 13;
        } else if (t == "small")
            s.font.size = std::max(9, s.font.size * 5 / 6);
        else if (t == "big")
            s.font.size = s.font.size * 6 / 5;
    }

    static bool InlineOnly(const Node* n)
    {
        if (n->kind == Node::Text)
            return true;
        if (!IsOneOf(n->tag, {"b", "strong", "i", "em", "u", "ins", "a", "span", "font", "code", "tt", "kbd",
                              "samp", "small", "big", "nobr", "td", "th", "sub", "sup", "s", "strike",
                              "abbr", "acronym", "var", "cite", "dfn", "label"}))
            return false;
        for (const auto& c : n->children)
            if (!InlineOnly(c.get()))
                return false;
        return true;
    }

    // Width of an inline subtree set on one line.
    long long NaturalWidth(const Node* n, Style s)
    {
        if (n->kind == Node::Text) {
            const FontMetrics& m = Font(s.font);
            long long w = 0;
            size_t i = 0;
            bool first = true;
            while (i < n->text.size()) {
                if (IsBlank(n->text[i])) {
                    ++i;
                    continue;
                }
                size_t e = WordEnd(n->text, i);
                w += m.Width(n->text.data() + i, e - i) + (first ? 0 : m.widths[' ']);
                first = false;
                i = e;
            }
            return w;
        }
        InlineStyle(n->tag, s);
        long long w = 0;
        for (const auto& c : n->children)
            w += NaturalWidth(c.get(), s);
        return w;
    }

    // A table of rows of cells holding only text is set in aligned columns when they fit the
    // width; anything else is set row by row in the flow (false).
    bool AlignedTable(const Node* table, const Style& s)
    {
        std::vector<std::vector<const Node*>> rows;
        auto blank = [](const Node* n) {
            return n->kind == Node::Text && n->text.find_first_not_of(" \t\r\n\f") == std::string::npos;
        };
        auto addRow = [&](const Node* tr) {
            std::vector<const Node*> cells;
            for (const auto& c : tr->children) {
                if (blank(c.get()))
                    continue;
                if (c->kind != Node::Element || (c->tag != "td" && c->tag != "th") || !InlineOnly(c.get()))
                    return false;
                cells.push_back(c.get());
            }
            rows.push_back(std::move(cells));
            return true;
        };
        for (const auto& c : table->children) {
            if (blank(c.get()))
                continue;
            if (c->kind == Node::Element && c->tag == "tr") {
                if (!addRow(c.get()))
                    return false;
            } else if (c->kind == Node::Element && IsOneOf(c->tag, {"tbody", "thead", "tfoot"})) {
                for (const auto& r : c->children) {
                    if (blank(r.get()))
                        continue;
                    if (r->kind != Node::Element || r->tag != "tr" || !addRow(r.get()))
                        return false;
                }
            } else {
                return false;
            }
        }
        if (rows.empty())
            return false;
        std::vector<long long> widths;
        for (const auto& row : rows)
            for (size_t c = 0; c < row.size(); ++c) {
                Style cs = s;
                InlineStyle(row[c]->tag, cs);
                if (widths.size() <= c)
                    widths.resize(c + 1, 0);
                widths[c] = std::max(widths[c], NaturalWidth(row[c], cs));
            }
        std::vector<long long> colX(widths.size(), 0);
        long long x = 0;
        for (size_t c = 0; c < widths.size(); ++c) {
            colX[c] = x;
            x += widths[c] + kCellGap;
        }
        if (x - kCellGap > right_ - left_)
            return false;
        Block(0);
        for (const auto& row : rows) {
            Block(2);
            for (size_t c = 0; c < row.size(); ++c) {
                Style cs = s;
                InlineStyle(row[c]->tag, cs);
                int at = left_ + int(colX[c]);
                lineX_ = flowItems_ ? std::max(lineX_ + kCellGap, at) : at;
                pendingSpace_ = false;
                newCell_ = true;
                Children(row[c], cs);
            }
            Block(2);
        }
        Block(0);
        return true;
    }

    void Children(const Node* n, const Style& s)
    {
        for (const auto& c : n->children)
            Walk(c.get(), s);
    }

    template <class F>
    void Indent(int leftBy, int rightBy, F body)
    {
        int oldLeft = left_, oldRight = right_;
        left_ = std::min(left_ + leftBy, right_ - 20);
        right_ = std::max(right_ - rightBy, left_ + 20);
        lineX_ = left_;
        body();
        FlushLine(false);
        left_ = oldLeft;
        right_ = oldRight;
        lineX_ = left_;
    }

    void Block(int margin)
    {
        FlushLine(false);
        pendingMargin_ = std::max(pendingMargin_, margin);
    }

    const FontMetrics& Font(const FontSpec& f) { return fonts_.Metrics(dc_, f); }

    static size_t WordEnd(const std::string& text, size_t i)
    {
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        return i;
    }

    // An item of text in the given look; its characters stay where they are until the line is set.
    Item TextItem(const Style& s, const FontMetrics& m)
    {
        Item it;
        it.run.font = s.font;
        it.run.color = s.color;
        it.run.link = s.link;
        it.ascent = m.ascent;
        it.descent = m.descent;
        it.run.h = m.ascent + m.descent;
        return it;
    }

    void Marker(const Style& s)
    {
        std::string text = "\x95"; // bullet
        if (!lists_.empty() && lists_.back().ordered)
            text = std::to_string(lists_.back().counter++) + ".";
        else if (lists_.size() > 1)
            text = "\xB7";
        Item it;
        it.run.kind = RunKind::Marker;
        it.run.font = s.font;
        it.run.font.underline = false;
        it.run.color = RGB(0, 0, 0);
        const FontMetrics& m = Font(it.run.font);
        it.run.w = int(m.Width(text.data(), text.size()));
        it.ownText = std::move(text);
        it.ascent = m.ascent;
        it.descent = m.descent;
        it.run.x = std::max(0, left_ - it.run.w - 8);
        it.fixedX = true;
        Push(std::move(it));
    }

    void Push(Item&& it)
    {
        if (!it.fixedX)
            ++flowItems_;
        line_.push_back(std::move(it));
    }

    // The items at the end of the line that Next continues without a blank (a word split by inline
    // markup), taken off the line when the word can begin the next one whole: the line then breaks
    // at the blank before the word. Empty when the word begins the line or is wider than a line.
    std::vector<Item> TakeWord(const Item& Next)
    {
        int width = Next.run.w;
        size_t k = line_.size();
        while (k > 0) {
            const Item& prev = line_[k - 1];
            if (prev.fixedX || newCell_)
                return {};
            width += prev.run.w;
            --k;
            if (prev.run.spaceBefore || prev.ownRun)
                break;
            if (k == 0)
                return {};
        }
        if (k == 0 || width > right_ - left_ || !line_[k].run.spaceBefore)
            return {};
        std::vector<Item> word(std::make_move_iterator(line_.begin() + static_cast<std::ptrdiff_t>(k)),
                               std::make_move_iterator(line_.end()));
        line_.erase(line_.begin() + static_cast<std::ptrdiff_t>(k), line_.end());
        flowItems_ -= static_cast<int>(word.size());
        return word;
    }

    void AddItem(Item it, bool spaceBefore)
    {
        int space = 0;
        if (spaceBefore && flowItems_)
            space = spaceWidth_;
        if (flowItems_ && lineX_ + space + it.run.w > right_) {
            std::vector<Item> word = spaceBefore ? std::vector<Item>() : TakeWord(it);
            FlushLine(false);
            space = 0;
            for (Item& piece : word) {
                piece.run.x = lineX_;
                piece.run.spaceBefore = false;
                lineX_ += piece.run.w;
                Push(std::move(piece));
            }
        }
        it.run.x = lineX_ + space;
        it.run.spaceBefore = space > 0;
        it.ownRun = newCell_;
        newCell_ = false;
        lineX_ = it.run.x + it.run.w;
        Push(std::move(it));
    }

    // Words with the blanks between them. A word wider than the whole line is cut where the line
    // ends. Every character is measured once: the width of a piece is added up as it is read.
    void Text(const std::string& text, const Style& s)
    {
        const FontMetrics& m = Font(s.font);
        spaceWidth_ = m.widths[' '];
        const int avail = right_ - left_;
        const char* p = text.data();
        const size_t n = text.size();
        size_t i = 0;
        while (i < n) {
            if (IsBlank(p[i])) {
                pendingSpace_ = true;
                ++i;
                continue;
            }
            bool cut = false;
            do { // one piece of the word: as much of it as a line holds
                int w = 0;
                size_t e = i;
                for (; e < n && !IsBlank(p[e]); ++e) {
                    const int cw = m.widths[static_cast<unsigned char>(p[e])];
                    if (w + cw > avail && e > i)
                        break;
                    w += cw;
                }
                if (!cut && e < n && !IsBlank(p[e])) {
                    cut = true;
                    if (flowItems_) {
                        FlushLine(false);
                        pendingSpace_ = false;
                    }
                }
                Item piece = TextItem(s, m);
                piece.text = p + i;
                piece.len = e - i;
                piece.run.w = w;
                AddItem(std::move(piece), pendingSpace_);
                pendingSpace_ = false;
                i = e;
            } while (i < n && !IsBlank(p[i]));
        }
    }

    // Preformatted text: lines as written, tabs to the next multiple of eight columns. Pieces of a
    // line in one look become one run when the line is set.
    void PreText(const std::string& text, const Style& s)
    {
        static const char kSpaces[] = "        ";
        size_t i = 0;
        if (preStart_) {
            preStart_ = false;
            if (text.compare(0, 2, "\r\n") == 0)
                i = 2;
            else if (!text.empty() && text[0] == '\n')
                i = 1;
        }
        const FontMetrics& m = Font(s.font);
        auto piece = [&](const char* p, size_t n) {
            if (n == 0)
                return;
            Item it = TextItem(s, m);
            it.text = p;
            it.len = n;
            long long w = m.Width(p, n);
            it.run.w = int(std::min<long long>(w, kMaxLineWidth));
            it.run.x = lineX_;
            lineX_ = int(std::min<long long>(lineX_ + w, kMaxLineWidth));
            Push(std::move(it));
        };
        size_t start = i;
        for (; i < text.size(); ++i) {
            char c = text[i];
            if (c != '\r' && c != '\n' && c != '\t') {
                ++preColumn_;
                continue;
            }
            piece(text.data() + start, i - start);
            start = i + 1;
            if (c == '\n') {
                FlushLine(true, s.font);
                preColumn_ = 0;
            } else if (c == '\t') {
                int n = 8 - preColumn_ % 8;
                piece(kSpaces, size_t(n));
                preColumn_ += n;
            }
        }
        piece(text.data() + start, text.size() - start);
    }

    void Image(const Node* n, const Style& s)
    {
        const std::string* srcp = n->Attr("src");
        const std::string* altp = n->Attr("alt");
        std::string src = srcp ? *srcp : std::string();
        std::string alt = altp ? *altp : std::string();
        int w = PixelAttr(n, "width"), h = PixelAttr(n, "height");
        int iw = 0, ih = 0;
        bool have = !src.empty() && images_ && images_->ImageSize(src, iw, ih) && iw > 0 && ih > 0;
        if (have) {
            if (w && !h)
                h = int(std::max<long long>(1, (long long)ih * w / iw));
            else if (h && !w)
                w = int(std::max<long long>(1, (long long)iw * h / ih));
            else if (!w && !h) {
                w = iw;
                h = ih;
            }
        } else {
            FontSpec f = s.font;
            f.underline = false;
            const FontMetrics& m = Font(f);
            long long tw = m.Width(alt.data(), alt.size());
            if (!w)
                w = int(std::clamp<long long>(tw + 12, 24, kMaxImageSide));
            if (!h)
                h = std::max(24, f.size + 12);
        }
        int avail = right_ - left_;
        if (w > avail) {
            h = int(std::max<long long>(1, (long long)h * avail / w));
            w = avail;
        }
        w = std::clamp(w, 1, kMaxImageSide);
        h = std::clamp(h, 1, kMaxImageSide);
        Item it;
        it.run.kind = RunKind::Image;
        it.run.w = w;
        it.run.h = h;
        it.run.src = have ? src : std::string();
        it.ownText = alt;
        it.run.font = s.font;
        it.run.font.underline = false;
        it.run.link = s.link;
        it.run.color = s.color;
        it.ascent = h;
        AddItem(std::move(it), pendingSpace_);
        pendingSpace_ = false;
    }

    // Ends the current line. `forced` (a line break) makes an empty line as high as the font.
    void FlushLine(bool forced, const FontSpec& font = FontSpec())
    {
        if (line_.empty()) {
            if (forced) {
                y_ += pendingMargin_;
                pendingMargin_ = 0;
                const FontMetrics& m = Font(font);
                y_ += m.ascent + m.descent;
            }
            lineX_ = left_;
            pendingSpace_ = false;
            return;
        }
        y_ += pendingMargin_;
        pendingMargin_ = 0;
        int asc = 0, desc = 0;
        for (const Item& it : line_) {
            asc = std::max(asc, it.ascent);
            desc = std::max(desc, it.descent);
        }
        int baseline = y_ + asc;
        for (Item& it : line_) {
            htmlview::Run& r = it.run;
            r.y = baseline - it.ascent;
            r.line = lineNo_;
            // Words of one look that follow each other become one run.
            if (r.kind == RunKind::Text && !it.ownRun && !out_.runs.empty()) {
                htmlview::Run& prev = out_.runs.back();
                if (prev.kind == RunKind::Text && prev.line == lineNo_ && prev.font == r.font &&
                    prev.color == r.color && prev.link == r.link && prev.y == r.y) {
                    if (r.spaceBefore)
                        prev.text = out_.texts.Append(prev.text, " ");
                    prev.text = out_.texts.Append(prev.text, std::string_view(it.text, it.len));
                    prev.w = (r.x + r.w) - prev.x;
                    continue;
                }
            }
            if (r.kind == RunKind::Text)
                r.text = out_.texts.Append({}, std::string_view(it.text, it.len));
            else
                r.text = out_.texts.Append({}, it.ownText);
            out_.runs.push_back(std::move(r));
        }
        y_ = baseline + desc;
        ++lineNo_;
        line_.clear();
        flowItems_ = 0;
        lineX_ = left_;
        pendingSpace_ = false;
    }

    HDC dc_;
    FontCache& fonts_;
    ImageSource* images_;
    Layout& out_;
    int left_ = 0, right_ = 0, lineX_ = 0, y_ = 0;
    int pendingMargin_ = 0;
    bool pendingSpace_ = false;
    int spaceWidth_ = 4;
    int lineNo_ = 0;
    bool firstCell_ = true;
    bool newCell_ = false;
    bool preStart_ = false;
    int preColumn_ = 0;
    std::vector<Item> line_;
    int flowItems_ = 0; // items of line_ that take room on it (all but list markers)
    std::vector<ListState> lists_;
};

// The searchable text with, for each character, its run and offset (-1 for joining blanks).
struct FlatText {
    std::string text;
    std::vector<int> run;
    std::vector<int> offset;
};

FlatText Flatten(const Layout& layout)
{
    FlatText f;
    int prevLine = -1;
    for (size_t i = 0; i < layout.runs.size(); ++i) {
        const Run& r = layout.runs[i];
        if (r.kind != RunKind::Text)
            continue;
        if (!f.text.empty() && (r.line != prevLine || r.spaceBefore)) {
            f.text += ' ';
            f.run.push_back(-1);
            f.offset.push_back(0);
        }
        for (size_t k = 0; k < r.text.size(); ++k) {
            char c = r.text[k];
            f.text += (c == '\xA0') ? ' ' : c;
            f.run.push_back(int(i));
            f.offset.push_back(int(k));
        }
        prevLine = r.line;
    }
    return f;
}

} // namespace

std::string_view TextStore::Append(std::string_view text, std::string_view add)
{
    if (add.empty())
        return text;
    if (add.size() > room_) {
        // A new block; the text grown so far moves along so that it stays in one piece.
        std::size_t size = std::max<std::size_t>(64 * 1024, 2 * (text.size() + add.size()));
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        char* block = blocks_.back().get();
        std::copy(text.begin(), text.end(), block);
        text = std::string_view(block, text.size());
        free_ = block + text.size();
        room_ = size - text.size();
    }
    char* at = free_;
    std::copy(add.begin(), add.end(), at);
    free_ += add.size();
    room_ -= add.size();
    return text.empty() ? std::string_view(at, add.size()) : std::string_view(text.data(), text.size() + add.size());
}

FontCache::~FontCache()
{
    for (auto& kv : fonts_)
        if (kv.second.owned)
            DeleteObject(kv.second.font);
}

FontCache::Entry& FontCache::Find(const FontSpec& f)
{
    auto key = f.Key();
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    Entry e;
    e.font = CreateFontA(-f.size, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, f.underline, FALSE,
                         RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         (f.mono ? FIXED_PITCH : VARIABLE_PITCH) | FF_DONTCARE,
                         f.mono ? "Courier New" : "Times New Roman");
    e.owned = e.font != nullptr;
    if (!e.font)
        e.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); // stock objects need no delete
    return fonts_.emplace(key, std::move(e)).first->second;
}

HFONT FontCache::Get(const FontSpec& f) { return Find(f).font; }

const FontMetrics& FontCache::Metrics(HDC dc, const FontSpec& f)
{
    Entry& e = Find(f);
    if (!e.metrics) {
        auto m = std::make_unique<FontMetrics>();
        HGDIOBJ old = SelectObject(dc, e.font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        m->ascent = tm.tmAscent;
        m->descent = tm.tmDescent;
        if (!GetCharWidth32A(dc, 0, 255, m->widths)) {
            for (int c = 0; c < 256; ++c) {
                char ch = char(c);
                SIZE sz{};
                GetTextExtentPoint32A(dc, &ch, 1, &sz);
                m->widths[c] = sz.cx;
            }
        }
        SelectObject(dc, old);
        e.metrics = std::move(m);
    }
    return *e.metrics;
}

Layout LayOut(const Document& doc, int width, HDC dc, FontCache& fonts, ImageSource* images)
{
    Layout out;
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    Layouter(width, dc, fonts, images, out).Build(doc);
    SelectObject(dc, old);
    return out;
}

int HitLink(const Layout& layout, int x, int y)
{
    for (const Run& r : layout.runs)
        if (r.link >= 0 && x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h)
            return r.link;
    return -1;
}

std::string PageText(const Layout& layout) { return Flatten(layout).text; }

TextRange FindText(const Layout& layout, const std::string& needle, const TextRange& after)
{
    TextRange none;
    if (needle.empty())
        return none;
    FlatText f = Flatten(layout);
    std::string hay = FoldCase(f.text);
    std::string pat = FoldCase(needle);
    for (char& c : pat)
        if (c == '\xA0')
            c = ' ';
    size_t from = 0;
    if (!after.Empty()) {
        for (size_t i = 0; i < f.run.size(); ++i)
            if (f.run[i] == after.firstRun && f.offset[i] == after.firstOffset) {
                from = i + 1;
                break;
            }
    }
    size_t at = hay.find(pat, from);
    if (at == std::string::npos && from > 0)
        at = hay.find(pat);
    if (at == std::string::npos)
        return none;
    size_t end = at + pat.size() - 1; // last character of the match
    // Matches never start or end on a joining blank alone: step onto real characters.
    size_t a = at, b = end;
    while (a < b && f.run[a] < 0)
        ++a;
    while (b > a && f.run[b] < 0)
        --b;
    if (f.run[a] < 0)
        return none; // the needle was blanks only, met between runs
    TextRange r;
    r.firstRun = f.run[a];
    r.firstOffset = f.offset[a];
    r.lastRun = f.run[b];
    r.lastOffset = f.offset[b] + 1;
    return r;
}

int RangeTop(const Layout& layout, const TextRange& range)
{
    if (range.Empty() || range.firstRun >= int(layout.runs.size()))
        return 0;
    return layout.runs[size_t(range.firstRun)].y;
}

void PaintLayout(HDC dc, const Layout& layout, int ox, int oy, const RECT& clip, FontCache& fonts,
                 ImageSource* images, const TextRange& sel)
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, fonts.Get(FontSpec()));
    COLORREF oldColor = GetTextColor(dc);
    for (size_t i = 0; i < layout.runs.size(); ++i) {
        const Run& r = layout.runs[i];
        RECT rc{r.x + ox, r.y + oy, r.x + ox + r.w, r.y + oy + r.h};
        if (rc.bottom < clip.top || rc.top > clip.bottom || rc.right < clip.left || rc.left > clip.right)
            continue;
        switch (r.kind) {
        case RunKind::Rule: {
            RECT top{rc.left, rc.top, rc.right, rc.top + 1};
            RECT bottom{rc.left, rc.top + 1, rc.right, rc.top + 2};
            HBRUSH gray = CreateSolidBrush(RGB(160, 160, 160));
            HBRUSH light = CreateSolidBrush(RGB(224, 224, 224));
            FillRect(dc, &top, gray);
            FillRect(dc, &bottom, light);
            DeleteObject(gray);
            DeleteObject(light);
            break;
        }
        case RunKind::Image: {
            if (!r.src.empty() && images && images->DrawImage(dc, r.src, rc)) {
                if (r.link >= 0) {
                    HBRUSH b = CreateSolidBrush(kLinkColor);
                    FrameRect(dc, &rc, b);
                    DeleteObject(b);
                }
                break;
            }
            // No picture: a framed box with the alt text.
            HBRUSH frame = CreateSolidBrush(RGB(128, 128, 128));
            FrameRect(dc, &rc, frame);
            DeleteObject(frame);
            if (!r.text.empty()) {
                SelectObject(dc, fonts.Get(r.font));
                SetTextColor(dc, r.link >= 0 ? kLinkColor : RGB(64, 64, 64));
                RECT inner{rc.left + 4, rc.top + 2, rc.right - 4, rc.bottom - 2};
                DrawTextA(dc, r.text.data(), int(r.text.size()), &inner,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            }
            break;
        }
        case RunKind::Text:
        case RunKind::Marker: {
            SelectObject(dc, fonts.Get(r.font));
            SetTextColor(dc, r.color);
            std::string_view shown = r.text;
            int x = rc.left;
            if (rc.left < clip.left || rc.right > clip.right) {
                // A run wider than what shows (a long preformatted line): only the characters
                // that can show are drawn, which keeps painting quick whatever its length.
                const FontMetrics& m = fonts.Metrics(dc, r.font);
                size_t first = 0;
                while (first < shown.size() && x + m.widths[static_cast<unsigned char>(shown[first])] <= clip.left)
                    x += m.widths[static_cast<unsigned char>(shown[first++])];
                size_t last = first;
                for (int right = x; last < shown.size() && right < clip.right; ++last)
                    right += m.widths[static_cast<unsigned char>(shown[last])];
                shown = shown.substr(first, last - first);
            }
            TextOutA(dc, x, rc.top, shown.data(), int(shown.size()));
            if (r.kind != RunKind::Text || sel.Empty() || int(i) < sel.firstRun || int(i) > sel.lastRun)
                break;
            int a = int(i) == sel.firstRun ? sel.firstOffset : 0;
            int b = int(i) == sel.lastRun ? sel.lastOffset : int(r.text.size());
            a = std::clamp(a, 0, int(r.text.size()));
            b = std::clamp(b, a, int(r.text.size()));
            SIZE pre{}, mid{};
            GetTextExtentPoint32A(dc, r.text.data(), a, &pre);
            GetTextExtentPoint32A(dc, r.text.data() + a, b - a, &mid);
            RECT hl{rc.left + pre.cx, rc.top, rc.left + pre.cx + mid.cx, rc.bottom};
            FillRect(dc, &hl, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            TextOutA(dc, hl.left, rc.top, r.text.data() + a, b - a);
            break;
        }
        }
    }
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}

} // namespace htmlview
