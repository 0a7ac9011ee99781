// INI files in CP1251 text, read and written by our own parser (never the system's profile
// functions), with the rules the stored files were written under:
// - section and key names match without case (CP1251 tables: Cyrillic names in either case);
// - blanks and control characters around section names, keys and values are dropped;
// - the first "=" of a line splits key and value; a line without "=" is a key with an empty value;
// - lines starting with ";" are comments; a line starting with "[" without a closing "]", and key
//   lines before the first section, are ignored; UTF-8 byte-order marks at the start are skipped
//   (any number of them; one is written back);
// - when a key appears more than once in a section the first one counts; a section that appears
//   more than once is read as one section, its blocks in file order;
// - a key line whose key or value holds a NUL byte (a damaged file: no write makes one) reads as
//   missing; a write of that key replaces the line;
// - a missing file or key gives the default; values have no length limit.
// A write changes only the line of its key (or adds one at the end of the section's first block,
// or a new section at the end of the file); comments, blank and unknown lines keep their places.
// Names that this format cannot hold back are refused with EIniFileException: keys containing
// "=" or starting with "[" or ";", section names containing "]", and any name or value holding a
// line break or NUL. Values lose their outer blanks, as the format trims them.
// Files are replaced safely (temporary file, flush, move), keeping their attributes; a folder that
// does not exist is not created: writing raises EIniFileException "Unable to write to <file>...".
#pragma once

#include "Classes.h"

#include <memory>
#include <vector>

class TIniDocument;

class TCustomIniFile : public TObject {
    VCL_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}

    const AnsiString& FileName() const { return FFileName; }

    // The value of Ident in Section; Default when either is missing. A key present with an empty
    // value gives "".
    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                                  const AnsiString& Default) const = 0;
    virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
    // Decimal, $hex or 0x hex with an optional sign, 32-bit; Default for anything else.
    virtual Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) const;
    virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value);
    // True for a non-zero integer; a value that is no integer ("True" included) gives Default.
    virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const;
    // Writes "1" or "0".
    virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    // A number written with DecimalSeparator; Default for an empty or malformed value.
    virtual double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) const;
    virtual void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
    // Replaces the content of Strings by the key names of Section in file order (each once).
    virtual void ReadSection(const AnsiString& Section, TStrings* Strings) const = 0;
    // Replaces the content of Strings by the section names in file order (each once).
    virtual void ReadSections(TStrings* Strings) const = 0;
    // Replaces the content of Strings by "key=value" lines of Section (each key once, first value).
    virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) const = 0;
    // True when the section's header is in the file (even with no keys).
    virtual bool SectionExists(const AnsiString& Section) const = 0;
    // True when the key is present (even with an empty value).
    virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident) const = 0;
    // Removes every line of the key in the section.
    virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
    // Removes the section with its keys and comments.
    virtual void EraseSection(const AnsiString& Section) = 0;
    // Writes pending changes to the file (nothing for TIniFile, which writes at once).
    virtual void UpdateFile() = 0;

protected:
    // Raises EIniFileException when Section, Ident or Value cannot be written back unchanged.
    static void CheckWritable(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    // Reads the file into Doc (a missing file gives an empty one). With ForWrite, a file that
    // exists but cannot be read raises EIniFileException, so that a write never replaces it with
    // a file holding only the new key; for reads it gives an empty document.
    void LoadDocument(TIniDocument& Doc, bool ForWrite) const;
    // Replaces the file with the document; failures raise EIniFileException.
    void SaveDocument(const TIniDocument& Doc) const;

private:
    AnsiString FFileName;
};

// An INI file read from disk on every call and written through on every change.
class TIniFile : public TCustomIniFile {
    VCL_CLASS(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) {}

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default) const override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings* Strings) const override;
    void ReadSections(TStrings* Strings) const override;
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings) const override;
    bool SectionExists(const AnsiString& Section) const override;
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident) const override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
    void EraseSection(const AnsiString& Section) override;
    void UpdateFile() override {}
};

// An INI file held in memory: read once when created (when the file exists; an empty FileName
// reads nothing), written only by UpdateFile. It also loads from and gives out its lines as a
// TStrings.
class TMemIniFile : public TCustomIniFile {
    VCL_CLASS(TMemIniFile, TCustomIniFile)
public:
    // A file that exists but cannot be read raises EFOpenError.
    explicit TMemIniFile(const AnsiString& FileName);
    ~TMemIniFile() override;

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default) const override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings* Strings) const override;
    void ReadSections(TStrings* Strings) const override;
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings) const override;
    bool SectionExists(const AnsiString& Section) const override;
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident) const override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
    void EraseSection(const AnsiString& Section) override;
    // Writes the whole content to FileName (the file is created; its folder must exist).
    void UpdateFile() override;

    // Empties the content (the file is untouched until UpdateFile).
    void Clear();
    // Replaces the content of List by the lines of the file as they would be written.
    void GetStrings(TStrings* List) const;
    // Replaces the content by the lines of List, parsed like a file.
    void SetStrings(TStrings* List);

    // A key as read: its name as written and in upper case, and the value that reads for it.
    struct TKeyView {
        const AnsiString* Name;
        const AnsiString* NameUp;
        const AnsiString* Value;
    };
    // The section names and the keys of a section, each once and in file order, as ReadSections
    // and ReadSectionValues give them: views of the content, valid until it changes.
    std::vector<const AnsiString*> SectionNames() const;
    std::vector<TKeyView> SectionKeys(const AnsiString& Section) const;

private:
    std::unique_ptr<TIniDocument> FDoc;
};
