// The page model of our own browser view: character sets, character entities and a tolerant HTML
// parser that turns any byte string into a small element tree in CP1251 text. No scripts and no
// style sheets: their content is skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace htmlview {

// One element or text node. Tag and attribute names are lower-case; text and attribute values are
// CP1251 with the character entities already replaced.
struct Node {
    enum Kind { Element, Text };
    Kind kind = Element;
    std::string tag;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::string text;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    // Value of an attribute, or nullptr when the element has none of that name.
    const std::string* Attr(const std::string& name) const;
    Node* AddChild(std::unique_ptr<Node> child);
};

struct Document {
    std::unique_ptr<Node> root; // element "#root": everything the page holds
    std::string title;          // text of <title>, blanks collapsed and trimmed
    std::string charset;        // the character set the bytes were read in
};

// Nesting deeper than this is flattened: further start tags open no new level.
constexpr int MaxNesting = 200;

// Character set names as we use them: "utf-8", "windows-1251" or "koi8-r".
// The page's own declaration (<meta charset> or <meta http-equiv content="...charset=...">), a
// UTF-8 byte order mark, or "windows-1251" when the page names none or one we do not read.
std::string DetectCharset(const std::string& bytes);

// Converts bytes of a character set to CP1251; characters CP1251 lacks become '?'.
std::string ToCp1251(const std::string& bytes, const std::string& charset);

// The CP1251 byte of a Unicode code point, or '?' when CP1251 has none.
char CodePointToCp1251(std::uint32_t cp);
// The Unicode code point of a CP1251 byte (0 for the one undefined byte 0x98).
std::uint32_t Cp1251ToCodePoint(unsigned char b);

// Replaces character entities (&name; and &#NNN; / &#xHH;) in CP1251 text. Unknown names and
// malformed references stay as they are.
std::string DecodeEntities(const std::string& text);

// Parses a page given as raw bytes (any character set, any damage) into a document.
Document Parse(const std::string& bytes);

// CP1251 letter case folding (ASCII and Cyrillic) for case-insensitive comparisons.
char FoldCase(char c);
std::string FoldCase(const std::string& s);

} // namespace htmlview
