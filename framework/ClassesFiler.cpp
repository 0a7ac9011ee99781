#include "Classes.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

const char FilerSignature[4] = {'T', 'P', 'F', '0'};

namespace {

// Values are little-endian on disk and in this process (x86).
template <class T>
void PutLE(TStream& s, TValueType type, T value)
{
    Byte t = type;
    s.WriteBuffer(&t, 1);
    s.WriteBuffer(&value, sizeof value);
}

// UTF-8 text turned into the ANSI strings of the system (code page 1251).
AnsiString Utf8ToAnsi(const std::string& u)
{
    if (u.empty())
        return AnsiString();
    int n = MultiByteToWideChar(CP_UTF8, 0, u.data(), static_cast<int>(u.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, u.data(), static_cast<int>(u.size()), w.data(), n);
    return WideToAnsi(w);
}

} // namespace

// ---- TWriter

void TWriter::WriteSignature() { Put(FilerSignature, 4); }

void TWriter::WriteStr(const AnsiString& Value)
{
    Byte len = static_cast<Byte>(std::min<std::size_t>(Value.size(), 255));
    Put(&len, 1);
    Put(Value.data(), len);
}

void TWriter::WriteValue(TValueType Value)
{
    Byte b = Value;
    Put(&b, 1);
}

void TWriter::WriteInteger(Int64 Value)
{
    if (Value >= -128 && Value <= 127)
        PutLE(FStream, vaInt8, static_cast<std::int8_t>(Value));
    else if (Value >= -32768 && Value <= 32767)
        PutLE(FStream, vaInt16, static_cast<std::int16_t>(Value));
    else if (Value >= std::numeric_limits<Integer>::min() && Value <= std::numeric_limits<Integer>::max())
        PutLE(FStream, vaInt32, static_cast<Integer>(Value));
    else
        PutLE(FStream, vaInt64, Value);
}

void TWriter::WriteString(const AnsiString& Value)
{
    if (Value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(Value);
        return;
    }
    if (Value.size() > static_cast<std::size_t>(std::numeric_limits<Integer>::max()))
        throw EWriteError("Stream write error");
    PutLE(FStream, vaLString, static_cast<Integer>(Value.size()));
    Put(Value.data(), static_cast<Integer>(Value.size()));
}

void TWriter::WriteIdent(const AnsiString& Value)
{
    WriteValue(vaIdent);
    WriteStr(Value);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteSet(const std::vector<AnsiString>& Members)
{
    WriteValue(vaSet);
    for (const AnsiString& m : Members)
        if (!m.empty())
            WriteStr(m);
    WriteStr(AnsiString());
}

void TWriter::WriteBinary(const void* Data, Integer Count)
{
    if (Count < 0)
        throw EWriteError("Stream write error");
    PutLE(FStream, vaBinary, Count);
    Put(Data, Count);
}

void TWriter::WriteReference(const AnsiString& OwnerName, const AnsiString& Name)
{
    if (Name.empty())
        WriteValue(vaNil);
    else
        WriteIdent(OwnerName.empty() ? Name : OwnerName + "." + Name);
}

void TWriter::WriteReference(const TComponent* Component)
{
    if (!Component || Component->Name().empty()) {
        WriteValue(vaNil);
        return;
    }
    TComponent* owner = Component->Owner();
    WriteReference(owner && owner != FRoot ? owner->Name() : AnsiString(), Component->Name());
}

void TWriter::WritePropName(const AnsiString& Name)
{
    AnsiString path;
    for (const AnsiString& p : FPath)
        path += p + ".";
    WriteStr(path + Name);
}

void TWriter::BeginPropPath(const AnsiString& Name) { FPath.push_back(Name); }

void TWriter::EndPropPath()
{
    if (!FPath.empty())
        FPath.pop_back();
}

void TWriter::WriteComponentHeader(const AnsiString& ClassName, const AnsiString& Name)
{
    WriteStr(ClassName);
    WriteStr(Name);
}

// ---- TReader

TReader::TReader(TStream& Stream) : FStream(Stream), FBuf(4096)
{
    FPos = FStream.Position();
    FEnd = std::max(FStream.Size(), FPos);
}

TReader::~TReader()
{
    // Give back the bytes read ahead but not used.
    if (FBufPos < FBufLen) {
        try {
            FStream.SetPosition(FPos);
        } catch (...) {
        }
    }
}

void TReader::Damaged() const { throw EReadError("Stream read error"); }

void TReader::InvalidValue() const { throw EReadError("Invalid property value"); }

void TReader::FillBuffer()
{
    Int64 n = std::min<Int64>(static_cast<Int64>(FBuf.size()), Remaining());
    if (n <= 0)
        Damaged();
    FBufPos = FBufLen = 0;
    FStream.ReadBuffer(FBuf.data(), static_cast<Integer>(n));
    FBufLen = static_cast<std::size_t>(n);
}

Byte TReader::ReadByte()
{
    if (FBufPos == FBufLen)
        FillBuffer();
    ++FPos;
    return FBuf[FBufPos++];
}

void TReader::Read(void* Buffer, Int64 Count)
{
    if (Count < 0 || Count > Remaining())
        Damaged();
    auto* out = static_cast<Byte*>(Buffer);
    while (Count > 0) {
        if (FBufPos == FBufLen) {
            if (Count >= static_cast<Int64>(FBuf.size())) {
                // Large blocks go straight from the stream.
                FStream.ReadBuffer(out, static_cast<Integer>(Count));
                FPos += Count;
                return;
            }
            FillBuffer();
        }
        std::size_t n = static_cast<std::size_t>(std::min<Int64>(Count, static_cast<Int64>(FBufLen - FBufPos)));
        std::memcpy(out, FBuf.data() + FBufPos, n);
        FBufPos += n;
        FPos += static_cast<Int64>(n);
        out += n;
        Count -= static_cast<Int64>(n);
    }
}

void TReader::Skip(Int64 Count)
{
    if (Count < 0 || Count > Remaining())
        Damaged();
    Int64 held = static_cast<Int64>(FBufLen - FBufPos);
    if (Count <= held) {
        FBufPos += static_cast<std::size_t>(Count);
        FPos += Count;
        return;
    }
    FPos += Count;
    FBufPos = FBufLen = 0;
    FStream.SetPosition(FPos);
}

Int64 TReader::ReadLength()
{
    Integer len;
    Read(&len, 4);
    if (len < 0 || len > Remaining())
        Damaged();
    return len;
}

void TReader::ReadSignature()
{
    char sig[4];
    if (Remaining() < 4)
        throw EReadError("Invalid stream format");
    Read(sig, 4);
    if (std::memcmp(sig, FilerSignature, 4) != 0)
        throw EReadError("Invalid stream format");
}

AnsiString TReader::ReadStr()
{
    Byte len = ReadByte();
    AnsiString s(len, '\0');
    Read(s.data(), len);
    return s;
}

TValueType TReader::ReadValue()
{
    Byte b = ReadByte();
    if (b > vaUTF8String)
        InvalidValue();
    return static_cast<TValueType>(b);
}

Byte TReader::PeekByte()
{
    if (FBufPos == FBufLen)
        FillBuffer();
    return FBuf[FBufPos];
}

TValueType TReader::NextValue()
{
    Byte b = PeekByte();
    if (b > vaUTF8String)
        InvalidValue();
    return static_cast<TValueType>(b);
}

Integer TReader::ReadInteger()
{
    switch (ReadValue()) {
    case vaInt8: {
        std::int8_t v;
        Read(&v, 1);
        return v;
    }
    case vaInt16: {
        std::int16_t v;
        Read(&v, 2);
        return v;
    }
    case vaInt32: {
        Integer v;
        Read(&v, 4);
        return v;
    }
    default:
        InvalidValue();
    }
}

Int64 TReader::ReadInt64()
{
    if (NextValue() == vaInt64) {
        ReadValue();
        Int64 v;
        Read(&v, 8);
        return v;
    }
    return ReadInteger();
}

AnsiString TReader::ReadString()
{
    switch (ReadValue()) {
    case vaString:
        return ReadStr();
    case vaLString: {
        AnsiString s(static_cast<std::size_t>(ReadLength()), '\0');
        Read(s.data(), static_cast<Int64>(s.size()));
        return s;
    }
    case vaUTF8String: {
        std::string s(static_cast<std::size_t>(ReadLength()), '\0');
        Read(s.data(), static_cast<Int64>(s.size()));
        return Utf8ToAnsi(s);
    }
    case vaWString: {
        Int64 units = ReadLength();
        if (units * 2 > Remaining())
            Damaged();
        std::wstring w(static_cast<std::size_t>(units), L'\0');
        Read(w.data(), units * 2);
        return WideToAnsi(w);
    }
    default:
        InvalidValue();
    }
}

AnsiString TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    case vaNull:
        return "Null";
    default:
        InvalidValue();
    }
}

bool TReader::ReadBoolean()
{
    switch (ReadValue()) {
    case vaFalse:
        return false;
    case vaTrue:
        return true;
    default:
        InvalidValue();
    }
}

std::vector<AnsiString> TReader::ReadSet()
{
    if (ReadValue() != vaSet)
        InvalidValue();
    std::vector<AnsiString> members;
    for (;;) {
        AnsiString m = ReadStr();
        if (m.empty())
            return members;
        members.push_back(std::move(m));
    }
}

void TReader::ReadBinary(TMemoryStream& Data)
{
    if (ReadValue() != vaBinary)
        InvalidValue();
    Int64 len = ReadLength();
    Data.Clear();
    Data.SetSize(len);
    Read(Data.Memory(), len);
    Data.SetPosition(0);
}

void TReader::ReadListBegin()
{
    if (ReadValue() != vaList)
        InvalidValue();
}

void TReader::ReadListEnd()
{
    if (ReadValue() != vaNull)
        InvalidValue();
}

void TReader::SkipProperty()
{
    Skip(ReadByte());
    SkipValue();
}

// Skips without recursion: an explicit stack holds what each open level still expects.
// A list holds values until vaNull. A collection holds items until vaNull; an item is an optional
// integer (its order), vaList, then property entries (name and value) until vaNull.
void TReader::SkipValue()
{
    enum Level : Byte { InList, InCollection, InItem };
    std::vector<Level> open;

    auto skipOne = [&](TValueType type) {
        switch (type) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaList:
        case vaCollection:
            if (open.size() >= static_cast<std::size_t>(MaxNesting))
                throw EReadError("Invalid stream format");
            open.push_back(type == vaList ? InList : InCollection);
            break;
        case vaInt8:
            Skip(1);
            break;
        case vaInt16:
            Skip(2);
            break;
        case vaInt32:
        case vaSingle:
            Skip(4);
            break;
        case vaExtended:
            Skip(10);
            break;
        case vaCurrency:
        case vaDate:
        case vaInt64:
            Skip(8);
            break;
        case vaString:
        case vaIdent:
            Skip(ReadByte());
            break;
        case vaBinary:
        case vaLString:
        case vaUTF8String:
            Skip(ReadLength());
            break;
        case vaWString: {
            Int64 units = ReadLength();
            Skip(units * 2);
            break;
        }
        case vaSet:
            for (Byte len = ReadByte(); len != 0; len = ReadByte())
                Skip(len);
            break;
        }
    };

    skipOne(ReadValue());
    while (!open.empty()) {
        Byte b = ReadByte();
        if (b == vaNull) {
            open.pop_back();
            continue;
        }
        if (open.back() == InItem) {
            // b is the length byte of a property name.
            Skip(b);
            skipOne(ReadValue());
            continue;
        }
        if (b > vaUTF8String)
            InvalidValue();
        TValueType next = static_cast<TValueType>(b);
        if (open.back() == InList) {
            skipOne(next);
            continue;
        }
        if (next == vaInt8 || next == vaInt16 || next == vaInt32) {
            skipOne(next);
            next = ReadValue();
        }
        if (next != vaList)
            InvalidValue();
        if (open.size() >= static_cast<std::size_t>(MaxNesting))
            throw EReadError("Invalid stream format");
        open.push_back(InItem);
    }
}

void TReader::ReadComponentHeader(AnsiString& ClassName, AnsiString& Name)
{
    ClassName = ReadStr();
    Name = ReadStr();
}

// ---- Whole components

void TWriter::WriteRootComponent(TComponent& Root)
{
    TComponent* outer = FRoot;
    FRoot = &Root;
    bool wasWriting = Root.FComponentState.Contains(csWriting);
    Root.SetComponentStateItem(csWriting, true);
    try {
        FPath.clear();
        WriteSignature();
        WriteComponentHeader(Root.ClassName(), Root.Name());
        Root.WriteProperties(*this);
        WriteListEnd();
        WriteListEnd();
    } catch (...) {
        Root.SetComponentStateItem(csWriting, wasWriting);
        FRoot = outer;
        throw;
    }
    Root.SetComponentStateItem(csWriting, wasWriting);
    FRoot = outer;
}

void TReader::ReadRootComponent(TComponent& Root)
{
    ReadSignature();
    AnsiString cls, name;
    // The class and component names are read but not checked: a stream written by a view of
    // another (compatible) class still loads its properties.
    ReadComponentHeader(cls, name);
    Root.SetComponentStateItem(csReading, true);
    Root.SetComponentStateItem(csLoading, true);
    try {
        while (!EndOfList()) {
            AnsiString path = ReadPropName();
            if (!Root.ReadProperty(*this, path))
                SkipValue();
        }
        ReadListEnd();
        ReadListEnd();
    } catch (...) {
        // The component keeps what was read so far and leaves the loading state.
        Root.SetComponentStateItem(csReading, false);
        Root.SetComponentStateItem(csLoading, false);
        throw;
    }
    Root.SetComponentStateItem(csReading, false);
    Root.Loaded();
    Root.SetComponentStateItem(csLoading, false);
}

void WriteComponentToStream(TStream& Stream, TComponent& Component)
{
    TBufferedWriteStream buffered(Stream, 4096);
    TWriter writer(buffered);
    writer.WriteRootComponent(Component);
    buffered.Flush();
}

void ReadComponentFromStream(TStream& Stream, TComponent& Component)
{
    TReader reader(Stream);
    reader.ReadRootComponent(Component);
}
