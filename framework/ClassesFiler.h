// The binary component stream: TWriter writes and TReader reads the signature, names and typed
// property values. Nothing read is trusted: every length is checked against the bytes left in the
// stream before anything is allocated, nesting is skipped without recursion up to a fixed depth,
// and any damage raises EReadError.
#pragma once

#include "ClassesStreams.h"

#include <vector>

// Value types of the stream; the byte before every value.
enum TValueType : Byte {
    vaNull = 0,        // end of a list
    vaList = 1,        // values until vaNull
    vaInt8 = 2,        // signed, 1 byte
    vaInt16 = 3,       // signed, 2 bytes
    vaInt32 = 4,       // signed, 4 bytes
    vaExtended = 5,    // 10-byte float
    vaString = 6,      // short string
    vaIdent = 7,       // short string: an enumeration name, constant or component reference
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,     // 32-bit length, then the bytes
    vaSet = 11,        // short strings until an empty one
    vaLString = 12,    // 32-bit length, then the bytes
    vaNil = 13,
    vaCollection = 14, // items until vaNull (see TReader::SkipValue)
    vaSingle = 15,     // 4-byte float
    vaCurrency = 16,   // 8 bytes
    vaDate = 17,       // 8-byte float
    vaWString = 18,    // 32-bit count of UTF-16 units, then the units
    vaInt64 = 19,      // 8 bytes
    vaUTF8String = 20, // 32-bit length, then the bytes
};

class TComponent;

// The four bytes at the start of every component stream.
extern const char FilerSignature[4];

// Writes component stream data to a stream it does not own, at the stream's position. Writing to a
// file goes best through a TBufferedWriteStream.
class TWriter : public TObject {
    VCL_CLASS(TWriter, TObject)
public:
    explicit TWriter(TStream& Stream) : FStream(Stream) {}

    void WriteSignature();
    // A short string: one length byte and the bytes; longer text is cut to 255 bytes.
    void WriteStr(const AnsiString& Value);
    void WriteValue(TValueType Value);
    // In the smallest of vaInt8, vaInt16, vaInt32 that holds it (vaInt64 beyond 32 bits).
    void WriteInteger(Int64 Value);
    // vaString up to 255 bytes, vaLString beyond.
    void WriteString(const AnsiString& Value);
    void WriteIdent(const AnsiString& Value);
    void WriteBoolean(bool Value);
    // vaSet with the names of the members.
    void WriteSet(const std::vector<AnsiString>& Members);
    // vaBinary with the 32-bit length of the data.
    void WriteBinary(const void* Data, Integer Count);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // A component reference: vaIdent "Owner.Name" (just "Name" without an owner name); nil when
    // Name is empty.
    void WriteReference(const AnsiString& OwnerName, const AnsiString& Name);
    // The same for a component: nil for none, just its name when the component being written
    // owns it, else "Owner.Name".
    void WriteReference(const TComponent* Component);

    // A property name, prefixed with the path of the sub-objects entered (e.g. "Font.Name").
    void WritePropName(const AnsiString& Name);
    // Enters and leaves a sub-object property: names written meanwhile get "Name." in front.
    void BeginPropPath(const AnsiString& Name);
    void EndPropPath();

    // Class name and component name that follow the signature.
    void WriteComponentHeader(const AnsiString& ClassName, const AnsiString& Name);

    // A whole stream of one component: signature, class name, component name, the properties
    // of Root.WriteProperties, the end of the properties and the end of the (empty) child list.
    void WriteRootComponent(TComponent& Root);

    TStream& Stream() { return FStream; }

private:
    TComponent* FRoot = nullptr;
    void Put(const void* Data, Integer Count) { FStream.WriteBuffer(Data, Count); }
    TStream& FStream;
    std::vector<AnsiString> FPath;
};

// Reads component stream data from a stream it does not own, from the stream's position. It reads
// ahead in blocks; when the reader is destroyed the stream is set back to just after the last
// byte used.
class TReader : public TObject {
    VCL_CLASS(TReader, TObject)
public:
    // Deepest nesting of lists and collections that SkipValue accepts.
    static constexpr int MaxNesting = 10000;

    explicit TReader(TStream& Stream);
    ~TReader() override;

    // The signature "TPF0", else EReadError "Invalid stream format".
    void ReadSignature();
    AnsiString ReadStr();
    // The next value type (a byte above vaUTF8String is an error); ReadValue consumes it,
    // NextValue only looks.
    TValueType ReadValue();
    TValueType NextValue();
    Integer ReadInteger();
    Int64 ReadInt64();
    // Any of the string types; wide and UTF-8 text is converted to the ANSI code page.
    AnsiString ReadString();
    // vaIdent; also the words False, True, nil and Null for those value types.
    AnsiString ReadIdent();
    bool ReadBoolean();
    std::vector<AnsiString> ReadSet();
    // A binary value into Data (replacing its content, position 0): the value's own bytes only,
    // so the caller decodes it within its bounds.
    void ReadBinary(TMemoryStream& Data);
    void ReadListBegin();
    void ReadListEnd();
    // True when the next byte is the end marker. It only looks at the byte, which may also be
    // the length of a property name (so any value is allowed).
    bool EndOfList() { return PeekByte() == vaNull; }
    AnsiString ReadPropName() { return ReadStr(); }
    // Skips one value of any type, nested lists and collections included.
    void SkipValue();
    // Skips a property name and its value.
    void SkipProperty();
    void ReadComponentHeader(AnsiString& ClassName, AnsiString& Name);

    // Reads a stream written by WriteRootComponent into Root: the signature; the class name and
    // the component name, neither checked nor applied (a stream written by a component of another,
    // compatible class loads its properties); then each property path is handed to
    // Root.ReadProperty, and its value skipped when that returns false; then the two end
    // markers (a child component is a format error). Root is csReading and csLoading meanwhile
    // and gets Loaded once the whole stream has been read.
    void ReadRootComponent(TComponent& Root);

    // Bytes left in the stream after the reader's position.
    Int64 Remaining() const { return FEnd - FPos; }

private:
    [[noreturn]] void Damaged() const;
    [[noreturn]] void InvalidValue() const;
    Byte ReadByte();
    Byte PeekByte();
    void Read(void* Buffer, Int64 Count);
    void Skip(Int64 Count);
    Int64 ReadLength(); // a 32-bit length, checked against the bytes left
    void FillBuffer();

    TStream& FStream;
    Int64 FPos;               // logical position in the stream
    Int64 FEnd;               // size of the stream
    std::vector<Byte> FBuf;   // read-ahead block
    std::size_t FBufPos = 0;  // next unread byte in FBuf
    std::size_t FBufLen = 0;  // bytes held in FBuf
};

// A component to a stream at its position (through a 4 KB write buffer), and back.
void WriteComponentToStream(TStream& Stream, TComponent& Component);
void ReadComponentFromStream(TStream& Stream, TComponent& Component);
