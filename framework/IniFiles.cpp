#include "IniFiles.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// The lines of an INI file, grouped in blocks: block 0 holds the lines before the first section
// header, every further block starts with a header. Lines keep their text as read so that a write
// reproduces every line it does not change.
class TIniDocument {
public:
    void Parse(const AnsiString& text);
    // The file's bytes: the byte-order mark when the source had one, then every line with CRLF.
    AnsiString Render() const;
    void AppendLines(TStrings* list) const;
    void Clear()
    {
        blocks_.clear();
        index_.clear();
        bom_ = false;
    }

    const AnsiString* Find(const AnsiString& section, const AnsiString& key) const;
    // Each returns true when the document changed.
    bool Write(const AnsiString& section, const AnsiString& key, const AnsiString& value);
    bool DeleteKey(const AnsiString& section, const AnsiString& key);
    bool EraseSection(const AnsiString& section);

    bool HasSection(const AnsiString& section) const;
    // The keys of a section, each once, with the value that reads for it (the first one).
    std::vector<TMemIniFile::TKeyView> Keys(const AnsiString& section) const;
    std::vector<const AnsiString*> SectionNames() const;

private:
    struct Line {
        AnsiString raw;
        bool isKey = false;
        // A key line whose key or value holds a NUL byte, which no write makes: it reads as missing.
        bool damaged = false;
        AnsiString key, value;
        // The key in upper case; left empty when the key is written so (most are), as the key
        // itself is then its upper-case form.
        AnsiString keyUp;
        const AnsiString& KeyUp() const { return keyUp.empty() ? key : keyUp; }
    };
    struct Block {
        bool hasHeader = false;
        AnsiString header;  // the header line as read
        AnsiString name, nameUp;
        std::vector<Line> lines;
    };
    // The line raw, whose text without blanks and control characters at its ends is [from, to).
    static Line MakeLine(AnsiString raw, std::size_t from, std::size_t to);
    static bool IsBlankLine(const Line& line) { return !line.isKey && Trim(line.raw).empty(); }
    bool Matches(const Block& b, const AnsiString& sectionUp) const { return b.hasHeader && b.nameUp == sectionUp; }
    // The blocks of a section in file order, found without a scan of the file (a large file is
    // read section by section).
    const std::vector<std::size_t>& BlocksOf(const AnsiString& sectionUp) const;

    std::vector<Block> blocks_;
    // Upper-case section name -> its blocks; built on first use, dropped when blocks change.
    mutable std::unordered_map<AnsiString, std::vector<std::size_t>> index_;
    bool bom_ = false;
};

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// Narrows [from, to) of text to leave out blanks and control characters at either end.
void TrimBounds(const AnsiString& text, std::size_t& from, std::size_t& to)
{
    while (from < to && static_cast<unsigned char>(text[from]) <= ' ')
        ++from;
    while (to > from && static_cast<unsigned char>(text[to - 1]) <= ' ')
        --to;
}

// [from, to) of text without blanks and control characters at either end.
AnsiString TrimmedPart(const AnsiString& text, std::size_t from, std::size_t to)
{
    TrimBounds(text, from, to);
    return text.substr(from, to - from);
}

// Names are looked up trimmed and without case.
AnsiString NameKey(const AnsiString& name) { return AnsiUpperCase(Trim(name)); }

bool HasLineBreakOrNul(const AnsiString& s) { return s.find_first_of(AnsiString("\r\n\0", 3)) != AnsiString::npos; }

// A file that could not be written, with the file and the system's error code.
[[noreturn]] void RaiseWriteFailure(const AnsiString& Message, const AnsiString& File, Cardinal Code)
{
    throw EIniFileException(Message, File, Code);
}

} // namespace

TIniDocument::Line TIniDocument::MakeLine(AnsiString raw, std::size_t from, std::size_t to)
{
    Line line;
    if (from < to && raw[from] != ';' && raw[from] != '[') {
        line.isKey = true;
        // Blanks cannot hold "=": one found is within the trimmed text.
        const size_t eq = raw.find('=', from);
        const size_t keyEnd = eq == AnsiString::npos ? to : eq;
        line.key = TrimmedPart(raw, from, keyEnd);
        if (eq != AnsiString::npos)
            line.value = TrimmedPart(raw, eq + 1, to);
        // Only small Latin letters and letters beyond ASCII can change.
        if (std::any_of(line.key.begin(), line.key.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c & 0x80); })) {
            line.keyUp = AnsiUpperCase(line.key);
            if (line.keyUp == line.key)
                line.keyUp.clear();
        }
        line.damaged = line.key.find('\0') != AnsiString::npos || line.value.find('\0') != AnsiString::npos;
    }
    line.raw = std::move(raw);
    return line;
}

void TIniDocument::Parse(const AnsiString& text)
{
    Clear();
    // Any number of byte-order marks at the start count as one (and one is written back).
    size_t start = 0;
    while (text.compare(start, 3, kBom) == 0) {
        bom_ = true;
        start += 3;
    }
    blocks_.emplace_back();
    // The lines of a block are gathered first and given to it at once, each block's list made
    // in one allocation.
    std::vector<Line> pending;
    const auto endBlock = [&] {
        std::vector<Line>& lines = blocks_.back().lines;
        lines.reserve(pending.size());
        std::move(pending.begin(), pending.end(), std::back_inserter(lines));
        pending.clear();
    };
    SplitLines(text, start, [&](AnsiString raw) {
        std::size_t from = 0, to = raw.size();
        TrimBounds(raw, from, to);
        if (from < to && raw[from] == '[') {
            // Blanks cannot hold "]": one found is within the trimmed text, after the "[".
            const size_t close = raw.rfind(']', to - 1);
            if (close != AnsiString::npos) {
                endBlock();
                Block b;
                b.hasHeader = true;
                b.name = TrimmedPart(raw, from + 1, close);
                b.nameUp = AnsiUpperCase(b.name);
                b.header = std::move(raw);
                blocks_.push_back(std::move(b));
                return;
            }
        }
        pending.push_back(MakeLine(std::move(raw), from, to));
    });
    endBlock();
}

AnsiString TIniDocument::Render() const
{
    AnsiString out;
    if (bom_)
        out += kBom;
    for (const Block& b : blocks_) {
        if (b.hasHeader) {
            out += b.header;
            out += "\r\n";
        }
        for (const Line& line : b.lines) {
            out += line.raw;
            out += "\r\n";
        }
    }
    return out;
}

void TIniDocument::AppendLines(TStrings* list) const
{
    for (const Block& b : blocks_) {
        if (b.hasHeader)
            list->Add(b.header);
        for (const Line& line : b.lines)
            list->Add(line.raw);
    }
}

const std::vector<std::size_t>& TIniDocument::BlocksOf(const AnsiString& sectionUp) const
{
    if (index_.empty())
        for (std::size_t i = 0; i < blocks_.size(); ++i)
            if (blocks_[i].hasHeader)
                index_[blocks_[i].nameUp].push_back(i);
    static const std::vector<std::size_t> none;
    const auto it = index_.find(sectionUp);
    return it == index_.end() ? none : it->second;
}

const AnsiString* TIniDocument::Find(const AnsiString& section, const AnsiString& key) const
{
    const AnsiString sectionUp = NameKey(section), keyUp = NameKey(key);
    for (std::size_t i : BlocksOf(sectionUp))
        for (const Line& line : blocks_[i].lines)
            if (line.isKey && !line.damaged && line.KeyUp() == keyUp)
                return &line.value;
    return nullptr;
}

bool TIniDocument::Write(const AnsiString& section, const AnsiString& key, const AnsiString& value)
{
    const AnsiString sectionUp = NameKey(section), keyUp = NameKey(key);
    const AnsiString v = Trim(value);
    Block* first = nullptr;
    for (Block& b : blocks_) {
        if (!Matches(b, sectionUp))
            continue;
        if (!first)
            first = &b;
        for (Line& line : b.lines) {
            if (line.isKey && line.KeyUp() == keyUp) {
                if (line.value == v)
                    return false;
                line.damaged = false;
                line.value = v;
                line.raw = line.key + "=" + v;  // the key keeps its spelling in the file
                return true;
            }
        }
    }
    Line line;
    line.isKey = true;
    line.key = Trim(key);
    if (keyUp != line.key)
        line.keyUp = keyUp;
    line.value = v;
    line.raw = line.key + "=" + v;
    if (first) {
        // After the last non-blank line of the block, so blank lines before the next section stay.
        auto pos = first->lines.end();
        while (pos != first->lines.begin() && IsBlankLine(*(pos - 1)))
            --pos;
        first->lines.insert(pos, std::move(line));
        return true;
    }
    if (blocks_.empty())
        blocks_.emplace_back();
    Block b;
    b.hasHeader = true;
    b.name = Trim(section);
    b.nameUp = sectionUp;
    b.header = "[" + b.name + "]";
    b.lines.push_back(std::move(line));
    blocks_.push_back(std::move(b));
    index_.clear();
    return true;
}

bool TIniDocument::DeleteKey(const AnsiString& section, const AnsiString& key)
{
    const AnsiString sectionUp = NameKey(section), keyUp = NameKey(key);
    bool changed = false;
    for (Block& b : blocks_) {
        if (!Matches(b, sectionUp))
            continue;
        const auto end = std::remove_if(b.lines.begin(), b.lines.end(),
                                        [&](const Line& line) { return line.isKey && line.KeyUp() == keyUp; });
        if (end != b.lines.end()) {
            b.lines.erase(end, b.lines.end());
            changed = true;
        }
    }
    return changed;
}

bool TIniDocument::EraseSection(const AnsiString& section)
{
    const AnsiString sectionUp = NameKey(section);
    const auto end =
        std::remove_if(blocks_.begin(), blocks_.end(), [&](const Block& b) { return Matches(b, sectionUp); });
    if (end == blocks_.end())
        return false;
    blocks_.erase(end, blocks_.end());
    index_.clear();
    return true;
}

bool TIniDocument::HasSection(const AnsiString& section) const
{
    return !BlocksOf(NameKey(section)).empty();
}

std::vector<TMemIniFile::TKeyView> TIniDocument::Keys(const AnsiString& section) const
{
    const AnsiString sectionUp = NameKey(section);
    std::vector<TMemIniFile::TKeyView> all;
    for (std::size_t i : BlocksOf(sectionUp))
        for (const Line& line : blocks_[i].lines)
            if (line.isKey && !line.damaged)
                all.push_back({&line.key, &line.KeyUp(), &line.value});
    // Each key once, the first of its upper-case form. A section of a few keys is checked key by
    // key against the ones before it; a larger one is put in order of that form (a stable sort
    // keeps file order among equals), every one after the first of a form left out.
    constexpr std::size_t kFewKeys = 48;
    if (all.size() <= kFewKeys) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const AnsiString& up = *all[i].NameUp;
            bool repeated = false;
            for (std::size_t k = 0; k < kept && !repeated; ++k)
                repeated = *all[k].NameUp == up;
            if (!repeated)
                all[kept++] = all[i];
        }
        all.resize(kept);
        return all;
    }
    std::vector<std::size_t> order(all.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return *all[a].NameUp < *all[b].NameUp; });
    std::vector<char> repeated(all.size(), 0);
    for (std::size_t k = 1; k < order.size(); ++k)
        repeated[order[k]] = *all[order[k]].NameUp == *all[order[k - 1]].NameUp;
    std::vector<TMemIniFile::TKeyView> keys;
    keys.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        if (!repeated[i])
            keys.push_back(all[i]);
    return keys;
}

std::vector<const AnsiString*> TIniDocument::SectionNames() const
{
    std::vector<const AnsiString*> names;
    std::unordered_set<std::string_view> seen;
    for (const Block& b : blocks_)
        if (b.hasHeader && seen.insert(b.nameUp).second)
            names.push_back(&b.name);
    return names;
}

// ---------------------------------------------------------------------------------------------
// Shared reading and writing

namespace {

void FillSection(const TIniDocument& doc, const AnsiString& section, TStrings* strings)
{
    if (!strings)
        return;
    strings->WithinUpdate([&] {
        strings->Clear();
        for (const auto& key : doc.Keys(section))
            strings->Add(*key.Name);
    });
}

void FillSections(const TIniDocument& doc, TStrings* strings)
{
    if (!strings)
        return;
    strings->WithinUpdate([&] {
        strings->Clear();
        for (const AnsiString* name : doc.SectionNames())
            strings->Add(*name);
    });
}

void FillSectionValues(const TIniDocument& doc, const AnsiString& section, TStrings* strings)
{
    if (!strings)
        return;
    strings->WithinUpdate([&] {
        strings->Clear();
        for (const auto& key : doc.Keys(section))
            strings->Add(*key.Name + "=" + *key.Value);
    });
}

bool PathExists(const AnsiString& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

void TCustomIniFile::CheckWritable(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    const AnsiString s = Trim(Section), k = Trim(Ident);
    if (s.find(']') != AnsiString::npos || HasLineBreakOrNul(s))
        throw EIniFileException("Invalid section name \"" + s + "\": it cannot be stored in an INI file");
    if (k.find('=') != AnsiString::npos || (!k.empty() && (k[0] == '[' || k[0] == ';')) || HasLineBreakOrNul(k))
        throw EIniFileException("Invalid key name \"" + k + "\": it cannot be stored in an INI file");
    if (HasLineBreakOrNul(Trim(Value)))
        throw EIniFileException("Invalid value of key \"" + k + "\": line breaks cannot be stored in an INI file");
}

void TCustomIniFile::LoadDocument(TIniDocument& Doc, bool ForWrite) const
{
    Doc.Clear();
    if (FFileName.empty())
        return;
    AnsiString bytes;
    if (const DWORD error = FileOps().Read(FFileName, bytes)) {
        // A missing file reads as empty; whether it is there is asked only when it cannot be read.
        if (ForWrite && PathExists(FFileName))
            RaiseWriteFailure("Unable to write to " + FFileName + ": it cannot be read. " + SysErrorMessage(error),
                              FFileName, error);
        return;
    }
    Doc.Parse(bytes);
}

void TCustomIniFile::SaveDocument(const TIniDocument& Doc) const
{
    const AnsiString dir = ExtractFilePath(FFileName);
    if (!dir.empty() && !DirectoryExists(dir))
        RaiseWriteFailure("Unable to write to " + FFileName + ": the folder " + dir + " does not exist", FFileName,
                          ERROR_PATH_NOT_FOUND);
    try {
        SafeWriteFileBytes(FFileName, Doc.Render());
    } catch (const EIniFileException&) {
        throw;
    } catch (const Exception& e) {
        RaiseWriteFailure("Unable to write to " + FFileName + ". " + e.Message, e.FileName, e.ErrorCode);
    }
}

Integer TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) const
{
    Integer value = 0;
    return TryStrToInt(ReadString(Section, Ident, ""), value) ? value : Default;
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) const
{
    double value = 0;
    const AnsiString text = ReadString(Section, Ident, "");
    return !text.empty() && TryStrToFloat(text, value) ? value : Default;
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

// ---------------------------------------------------------------------------------------------
// TIniFile

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    const AnsiString* value = doc.Find(Section, Ident);
    return value ? *value : Default;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    CheckWritable(Section, Ident, Value);
    TIniDocument doc;
    LoadDocument(doc, true);
    if (doc.Write(Section, Ident, Value))
        SaveDocument(doc);
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    FillSection(doc, Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    FillSections(doc, Strings);
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    FillSectionValues(doc, Section, Strings);
}

bool TIniFile::SectionExists(const AnsiString& Section) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    return doc.HasSection(Section);
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) const
{
    TIniDocument doc;
    LoadDocument(doc, false);
    return doc.Find(Section, Ident) != nullptr;
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    TIniDocument doc;
    LoadDocument(doc, true);
    if (doc.DeleteKey(Section, Ident))
        SaveDocument(doc);
}

void TIniFile::EraseSection(const AnsiString& Section)
{
    TIniDocument doc;
    LoadDocument(doc, true);
    if (doc.EraseSection(Section))
        SaveDocument(doc);
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const AnsiString& FileName) : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>())
{
    if (FileName.empty() || !PathExists(FileName))
        return;
    FDoc->Parse(LoadFileBytes(FileName));
}

TMemIniFile::~TMemIniFile() = default;

AnsiString TMemIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                   const AnsiString& Default) const
{
    const AnsiString* value = FDoc->Find(Section, Ident);
    return value ? *value : Default;
}

void TMemIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    CheckWritable(Section, Ident, Value);
    FDoc->Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const
{
    FillSection(*FDoc, Section, Strings);
}

void TMemIniFile::ReadSections(TStrings* Strings) const { FillSections(*FDoc, Strings); }

std::vector<const AnsiString*> TMemIniFile::SectionNames() const { return FDoc->SectionNames(); }

std::vector<TMemIniFile::TKeyView> TMemIniFile::SectionKeys(const AnsiString& Section) const
{
    return FDoc->Keys(Section);
}

void TMemIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) const
{
    FillSectionValues(*FDoc, Section, Strings);
}

bool TMemIniFile::SectionExists(const AnsiString& Section) const { return FDoc->HasSection(Section); }

bool TMemIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) const
{
    return FDoc->Find(Section, Ident) != nullptr;
}

void TMemIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) { FDoc->DeleteKey(Section, Ident); }

void TMemIniFile::EraseSection(const AnsiString& Section) { FDoc->EraseSection(Section); }

void TMemIniFile::UpdateFile() { SaveDocument(*FDoc); }

void TMemIniFile::Clear() { FDoc->Clear(); }

void TMemIniFile::GetStrings(TStrings* List) const
{
    if (!List)
        return;
    List->WithinUpdate([&] {
        List->Clear();
        FDoc->AppendLines(List);
    });
}

void TMemIniFile::SetStrings(TStrings* List) { FDoc->Parse(List ? List->GetTextStr() : AnsiString()); }
