// Character sets, entities and the tolerant HTML parser of our own browser view.
#include "HtmlViewDoc.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace htmlview {

namespace {

// Unicode code points of the CP1251 bytes 0x80..0xBF (0xC0..0xFF are U+0410..U+044F).
const std::uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

// Numeric references 128..159 name the characters of the Western Windows code page, as browsers
// read them (old pages write &#151; for a dash).
const std::uint16_t kWin1252Controls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct NamedEntity {
    const char* name;
    std::uint32_t cp;
};

const NamedEntity kEntities[] = {
    {"nbsp", 160},    {"amp", 38},      {"lt", 60},       {"gt", 62},       {"quot", 34},
    {"apos", 39},     {"copy", 169},    {"reg", 174},     {"trade", 8482},  {"laquo", 171},
    {"raquo", 187},   {"mdash", 8212},  {"ndash", 8211},  {"hellip", 8230}, {"bull", 8226},
    {"middot", 183},  {"deg", 176},     {"plusmn", 177},  {"sect", 167},    {"para", 182},
    {"times", 215},   {"divide", 247},  {"euro", 8364},   {"lsquo", 8216},  {"rsquo", 8217},
    {"ldquo", 8220},  {"rdquo", 8221},  {"sbquo", 8218},  {"bdquo", 8222},  {"shy", 173},
    {"micro", 181},   {"dagger", 8224}, {"Dagger", 8225}, {"permil", 8240}, {"lsaquo", 8249},
    {"rsaquo", 8250}, {"curren", 164},  {"brvbar", 166},  {"not", 172},     {"numero", 8470},
    {"minus", 8722},  {"ensp", 8194},   {"emsp", 8195},   {"thinsp", 8201}, {"iexcl", 161},
    {"cent", 162},    {"pound", 163},   {"yen", 165},     {"uml", 168},     {"ordf", 170},
    {"macr", 175},    {"sup2", 178},    {"sup3", 179},    {"acute", 180},   {"cedil", 184},
    {"sup1", 185},    {"ordm", 186},    {"frac14", 188},  {"frac12", 189},  {"frac34", 190},
    {"iquest", 191},  {"larr", 8592},   {"rarr", 8594},   {"uarr", 8593},   {"darr", 8595},
};

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string s)
{
    for (char& c : s)
        c = AsciiLower(c);
    return s;
}

// Case-insensitive (ASCII) search of a lower-case needle from position `from`.
size_t FindNoCase(const std::string& hay, const std::string& needle, size_t from)
{
    if (needle.empty() || hay.size() < needle.size())
        return std::string::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && AsciiLower(hay[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string::npos;
}

void AppendUtf8Decoded(const std::string& in, std::string& out)
{
    size_t i = 0;
    if (in.size() >= 3 && (unsigned char)in[0] == 0xEF && (unsigned char)in[1] == 0xBB &&
        (unsigned char)in[2] == 0xBF)
        i = 3;
    while (i < in.size()) {
        unsigned char b = in[i];
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        int len = (b >= 0xF0 && b < 0xF8) ? 4 : (b >= 0xE0) ? 3 : (b >= 0xC2 && b < 0xE0) ? 2 : 0;
        if (b >= 0xF8)
            len = 0;
        std::uint32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        int k = 1;
        for (; k < len && i + k < in.size(); ++k) {
            unsigned char c = in[i + k];
            if ((c & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (len == 0 || k != len) {
            out += '?';
            i += std::max(k, 1);
            continue;
        }
        out += CodePointToCp1251(cp);
        i += len;
    }
}

// ---- Tokenizer ----

struct Token {
    enum Type { Text, StartTag, EndTag, End };
    Type type = End;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::string text;
    bool raw = false; // text of a raw-text element (script, style, title)
};

class Tokenizer {
public:
    explicit Tokenizer(const std::string& s) : s_(s) {}

    Token Next()
    {
        Token t;
        if (!rawEnd_.empty()) {
            // Content of script, style or title: everything up to its end tag.
            size_t e = FindNoCase(s_, "</" + rawEnd_, pos_);
            t.type = Token::Text;
            t.raw = true;
            t.name = rawEnd_;
            t.text = s_.substr(pos_, (e == std::string::npos ? s_.size() : e) - pos_);
            pos_ = e == std::string::npos ? s_.size() : e;
            rawEnd_.clear();
            return t;
        }
        while (pos_ < s_.size()) {
            if (s_[pos_] != '<' || !TagStart(pos_)) {
                size_t start = pos_;
                ++pos_;
                while (pos_ < s_.size() && !(s_[pos_] == '<' && TagStart(pos_)))
                    ++pos_;
                t.type = Token::Text;
                t.text = s_.substr(start, pos_ - start);
                return t;
            }
            if (ReadMarkup(t))
                return t;
        }
        t.type = Token::End;
        return t;
    }

private:
    // Whether the '<' at position p begins markup rather than plain text.
    bool TagStart(size_t p) const
    {
        if (p + 1 >= s_.size())
            return false;
        char c = s_[p + 1];
        return IsAsciiAlpha(c) || c == '/' || c == '!' || c == '?';
    }

    size_t SkipTo(char c, size_t from) const
    {
        size_t e = s_.find(c, from);
        return e == std::string::npos ? s_.size() : e + 1;
    }

    // Reads the markup at pos_; returns false for markup that gives no token (comments).
    bool ReadMarkup(Token& t)
    {
        char c = s_[pos_ + 1];
        if (c == '!') {
            if (s_.compare(pos_, 4, "<!--") == 0) {
                size_t e = s_.find("-->", pos_ + 4);
                pos_ = e == std::string::npos ? s_.size() : e + 3;
            } else {
                pos_ = SkipTo('>', pos_ + 2); // doctype and other declarations
            }
            return false;
        }
        if (c == '?') {
            pos_ = SkipTo('>', pos_ + 2);
            return false;
        }
        if (c == '/') {
            size_t p = pos_ + 2;
            if (p >= s_.size() || !IsAsciiAlpha(s_[p])) {
                pos_ = SkipTo('>', p); // "</>" or "</ x>": a bogus comment
                return false;
            }
            size_t n = p;
            while (n < s_.size() && !IsSpace(s_[n]) && s_[n] != '>' && s_[n] != '/')
                ++n;
            t.type = Token::EndTag;
            t.name = AsciiLower(s_.substr(p, n - p));
            pos_ = SkipTo('>', n);
            return true;
        }
        // Start tag.
        size_t p = pos_ + 1;
        size_t n = p;
        while (n < s_.size() && !IsSpace(s_[n]) && s_[n] != '>' && s_[n] != '/')
            ++n;
        t.type = Token::StartTag;
        t.name = AsciiLower(s_.substr(p, n - p));
        p = n;
        for (;;) {
            while (p < s_.size() && (IsSpace(s_[p]) || s_[p] == '/'))
                ++p;
            if (p >= s_.size()) {
                pos_ = s_.size(); // a tag cut off by the end of the page is dropped
                return false;
            }
            if (s_[p] == '>') {
                ++p;
                break;
            }
            size_t a = p;
            ++p; // the first character belongs to the name whatever it is ('=' included)
            while (p < s_.size() && !IsSpace(s_[p]) && s_[p] != '=' && s_[p] != '>' && s_[p] != '/')
                ++p;
            std::string name = AsciiLower(s_.substr(a, p - a));
            std::string value;
            size_t q = p;
            while (q < s_.size() && IsSpace(s_[q]))
                ++q;
            if (q < s_.size() && s_[q] == '=') {
                ++q;
                while (q < s_.size() && IsSpace(s_[q]))
                    ++q;
                if (q < s_.size() && (s_[q] == '"' || s_[q] == '\'')) {
                    char quote = s_[q];
                    size_t e = s_.find(quote, q + 1);
                    if (e == std::string::npos) {
                        pos_ = s_.size();
                        return false;
                    }
                    value = s_.substr(q + 1, e - q - 1);
                    q = e + 1;
                } else {
                    size_t v = q;
                    while (q < s_.size() && !IsSpace(s_[q]) && s_[q] != '>')
                        ++q;
                    value = s_.substr(v, q - v);
                }
                p = q;
            }
            bool seen = t.attrs.size() >= 64; // a tag with endless attributes keeps the first ones
            for (size_t k = 0; !seen && k < t.attrs.size(); ++k)
                seen = t.attrs[k].first == name;
            if (!seen)
                t.attrs.emplace_back(std::move(name), DecodeEntities(value));
        }
        pos_ = p;
        if (t.name == "script" || t.name == "style" || t.name == "title")
            rawEnd_ = t.name;
        return true;
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::string rawEnd_;
};

// ---- Tree building ----

bool IsVoid(const std::string& t)
{
    static const char* const kVoid[] = {"br",   "hr",    "img",   "meta", "link",   "input",
                                        "area", "base",  "col",   "wbr",  "param",  "source",
                                        "embed", "basefont", "frame", "keygen", "track", "isindex"};
    for (const char* v : kVoid)
        if (t == v)
            return true;
    return false;
}

bool IsOneOf(const std::string& t, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (t == n)
            return true;
    return false;
}

bool ClosesParagraph(const std::string& t)
{
    return IsOneOf(t, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "dl", "li",
                       "table", "pre", "blockquote", "hr", "address", "center", "form", "section",
                       "article", "header", "footer", "nav", "aside", "main", "figure", "dt", "dd"});
}

bool IsHeading(const std::string& t)
{
    return t.size() == 2 && t[0] == 'h' && t[1] >= '1' && t[1] <= '6';
}

class TreeBuilder {
public:
    explicit TreeBuilder(Document& doc) : doc_(doc)
    {
        doc_.root = std::make_unique<Node>();
        doc_.root->tag = "#root";
        stack_.push_back(doc_.root.get());
    }

    void Run(const std::string& text)
    {
        Tokenizer tok(text);
        for (Token t = tok.Next(); t.type != Token::End; t = tok.Next()) {
            switch (t.type) {
            case Token::Text:
                OnText(t);
                break;
            case Token::StartTag:
                OnStart(t);
                break;
            case Token::EndTag:
                OnEnd(t.name);
                break;
            case Token::End:
                break;
            }
        }
    }

private:
    Node* Top() { return stack_.back(); }

    void OnText(const Token& t)
    {
        if (t.raw) {
            if (t.name == "title" && !titleSeen_) {
                titleSeen_ = true;
                std::string s = DecodeEntities(t.text), out;
                bool space = false;
                for (char c : s) {
                    if (IsSpace(c)) {
                        space = !out.empty();
                        continue;
                    }
                    if (space)
                        out += ' ';
                    space = false;
                    out += c;
                }
                doc_.title = out;
            }
            return; // script and style content is never shown
        }
        std::string s = DecodeEntities(t.text);
        Node* top = Top();
        if (!top->children.empty() && top->children.back()->kind == Node::Text) {
            top->children.back()->text += s;
            return;
        }
        auto n = std::make_unique<Node>();
        n->kind = Node::Text;
        n->text = std::move(s);
        top->AddChild(std::move(n));
    }

    // Pops up to and including the nearest open element named one of `names`, unless one of
    // `boundary` is met first.
    void CloseNearest(std::initializer_list<const char*> names,
                      std::initializer_list<const char*> boundary)
    {
        for (size_t i = stack_.size(); i-- > 1;) {
            const std::string& tag = stack_[i]->tag;
            if (IsOneOf(tag, names)) {
                stack_.resize(i);
                return;
            }
            if (IsOneOf(tag, boundary))
                return;
        }
    }

    void OnStart(Token& t)
    {
        const std::string& name = t.name;
        if (name == "html" || name == "head" || name == "body")
            return;
        if (name == "script" || name == "style" || name == "title")
            return; // their content arrives as raw text
        static const auto kBlockScope = {"td", "th", "table", "li", "blockquote", "div", "dd",
                                         "dt", "ul", "ol"};
        if (ClosesParagraph(name))
            CloseNearest({"p"}, kBlockScope);
        if (IsHeading(name))
            CloseNearest({"h1", "h2", "h3", "h4", "h5", "h6"}, kBlockScope);
        if (name == "li")
            CloseNearest({"li"}, {"ul", "ol", "table", "td", "th"});
        else if (name == "dt" || name == "dd")
            CloseNearest({"dt", "dd"}, {"dl", "table", "td", "th"});
        else if (name == "tr")
            CloseNearest({"tr"}, {"table"});
        else if (name == "td" || name == "th")
            CloseNearest({"td", "th"}, {"tr", "table"});
        else if (name == "option")
            CloseNearest({"option"}, {"select"});
        else if (name == "a")
            CloseNearest({"a"}, {"td", "th", "table"});

        auto n = std::make_unique<Node>();
        n->tag = name;
        n->attrs = std::move(t.attrs);
        Node* added = Top()->AddChild(std::move(n));
        if (!IsVoid(name) && int(stack_.size()) <= MaxNesting)
            stack_.push_back(added);
    }

    void OnEnd(const std::string& name)
    {
        if (name == "html" || name == "head" || name == "body")
            return;
        if (name == "br") { // "</br>" is read as a line break, as browsers do
            auto n = std::make_unique<Node>();
            n->tag = "br";
            Top()->AddChild(std::move(n));
            return;
        }
        for (size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i]->tag == name) {
                stack_.resize(i);
                return;
            }
        }
    }

    Document& doc_;
    std::vector<Node*> stack_;
    bool titleSeen_ = false;
};

std::string NormalizeCharsetName(std::string name)
{
    name = AsciiLower(name);
    while (!name.empty() && (IsSpace(name.back()) || name.back() == '"' || name.back() == '\''))
        name.pop_back();
    size_t b = 0;
    while (b < name.size() && (IsSpace(name[b]) || name[b] == '"' || name[b] == '\''))
        ++b;
    name = name.substr(b);
    if (name == "utf-8" || name == "utf8")
        return "utf-8";
    if (name == "koi8-r" || name == "koi8r" || name == "koi8-u" || name == "koi8")
        return "koi8-r";
    if (name == "windows-1251" || name == "cp1251" || name == "win-1251" || name == "x-cp1251" ||
        name == "cp-1251" || name == "windows1251")
        return "windows-1251";
    return "";
}

} // namespace

const std::string* Node::Attr(const std::string& name) const
{
    for (auto& kv : attrs)
        if (kv.first == name)
            return &kv.second;
    return nullptr;
}

Node* Node::AddChild(std::unique_ptr<Node> child)
{
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

char FoldCase(char ch)
{
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
        return char(c + 32);
    if (c >= 0xC0 && c <= 0xDF)
        return char(c + 32);
    switch (c) {
    case 0xA8: return char(0xB8);
    case 0x80: return char(0x90);
    case 0x81: return char(0x83);
    case 0x8A: return char(0x9A);
    case 0x8C: return char(0x9C);
    case 0x8D: return char(0x9D);
    case 0x8E: return char(0x9E);
    case 0x8F: return char(0x9F);
    case 0xA1: return char(0xA2);
    case 0xA3: return char(0xBC);
    case 0xA5: return char(0xB4);
    case 0xAA: return char(0xBA);
    case 0xAF: return char(0xBF);
    case 0xB2: return char(0xB3);
    case 0xBD: return char(0xBE);
    default: return ch;
    }
}

std::string FoldCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        c = FoldCase(c);
    return r;
}

std::uint32_t Cp1251ToCodePoint(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return 0x0410 + (b - 0xC0);
    return kCp1251High[b - 0x80];
}

char CodePointToCp1251(std::uint32_t cp)
{
    if (cp < 0x80)
        return char(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return char(0xC0 + (cp - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kCp1251High[i] == cp && cp != 0)
            return char(0x80 + i);
    return '?';
}

std::string DecodeEntities(const std::string& s)
{
    if (s.find('&') == std::string::npos)
        return s;
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '&') {
            out += s[i++];
            continue;
        }
        size_t p = i + 1;
        if (p < s.size() && s[p] == '#') {
            ++p;
            bool hex = p < s.size() && (s[p] == 'x' || s[p] == 'X');
            if (hex)
                ++p;
            std::uint32_t v = 0;
            size_t d = p;
            bool big = false;
            while (d < s.size() && (hex ? std::isxdigit((unsigned char)s[d]) != 0 : IsAsciiDigit(s[d]))) {
                unsigned digit = IsAsciiDigit(s[d]) ? s[d] - '0' : (AsciiLower(s[d]) - 'a' + 10);
                if (v > 0x10FFFF)
                    big = true;
                else
                    v = v * (hex ? 16 : 10) + digit;
                ++d;
            }
            if (d == p) { // "&#" with no digits stays as it is
                out += s[i++];
                continue;
            }
            if (d < s.size() && s[d] == ';')
                ++d;
            if (big || v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
                out += '?';
            else if (v >= 0x80 && v <= 0x9F)
                out += CodePointToCp1251(kWin1252Controls[v - 0x80]);
            else
                out += CodePointToCp1251(v);
            i = d;
            continue;
        }
        size_t e = p;
        while (e < s.size() && e - p < 10 && (IsAsciiAlpha(s[e]) || IsAsciiDigit(s[e])))
            ++e;
        if (e < s.size() && s[e] == ';' && e > p) {
            std::string name = s.substr(p, e - p);
            bool found = false;
            for (const auto& ent : kEntities) {
                if (name == ent.name) {
                    out += CodePointToCp1251(ent.cp);
                    found = true;
                    break;
                }
            }
            if (found) {
                i = e + 1;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

std::string DetectCharset(const std::string& bytes)
{
    if (bytes.size() >= 3 && (unsigned char)bytes[0] == 0xEF && (unsigned char)bytes[1] == 0xBB &&
        (unsigned char)bytes[2] == 0xBF)
        return "utf-8";
    // The declaration sits in the head: look at the start of the page only.
    std::string head = bytes.substr(0, std::min<size_t>(bytes.size(), 16384));
    Tokenizer tok(head);
    for (Token t = tok.Next(); t.type != Token::End; t = tok.Next()) {
        if (t.type == Token::StartTag && t.name == "body")
            break;
        if (t.type != Token::StartTag || t.name != "meta")
            continue;
        const std::string* cs = nullptr;
        const std::string* content = nullptr;
        for (auto& kv : t.attrs) {
            if (kv.first == "charset")
                cs = &kv.second;
            else if (kv.first == "content")
                content = &kv.second;
        }
        if (cs) {
            std::string n = NormalizeCharsetName(*cs);
            if (!n.empty())
                return n;
        }
        if (content) {
            size_t k = FindNoCase(*content, "charset", 0);
            if (k != std::string::npos) {
                size_t v = k + 7;
                while (v < content->size() && (IsSpace((*content)[v]) || (*content)[v] == '='))
                    ++v;
                size_t e = v;
                while (e < content->size() && (*content)[e] != ';' && !IsSpace((*content)[e]))
                    ++e;
                std::string n = NormalizeCharsetName(content->substr(v, e - v));
                if (!n.empty())
                    return n;
            }
        }
    }
    return "windows-1251";
}

std::string ToCp1251(const std::string& bytes, const std::string& charset)
{
    if (charset == "utf-8") {
        std::string out;
        out.reserve(bytes.size());
        AppendUtf8Decoded(bytes, out);
        return out;
    }
    if (charset == "koi8-r") {
        std::string out;
        out.reserve(bytes.size());
        static const std::string table = [] {
            std::string t(128, '?');
            for (int b = 0x80; b < 0x100; ++b) {
                char in = char(b);
                wchar_t w = 0;
                if (MultiByteToWideChar(20866, 0, &in, 1, &w, 1) == 1)
                    t[b - 0x80] = CodePointToCp1251(w);
            }
            return t;
        }();
        for (char c : bytes) {
            unsigned char b = c;
            out += b < 0x80 ? c : table[b - 0x80];
        }
        return out;
    }
    return bytes;
}

Document Parse(const std::string& bytes)
{
    Document doc;
    doc.charset = DetectCharset(bytes);
    std::string text = ToCp1251(bytes, doc.charset);
    TreeBuilder(doc).Run(text);
    return doc;
}

} // namespace htmlview
