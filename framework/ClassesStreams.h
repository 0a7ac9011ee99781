// Streams: the abstract byte stream with 64-bit positions, streams over Win32 file handles and
// files, the growable memory stream, a string stream and a buffering writer over another stream.
#pragma once

#include "SysUtils.h"

#include <memory>
#include <vector>

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// Open modes of TFileStream: one access mode, optionally combined with one share mode.
// fmCreate creates the file (or empties an existing one) for reading and writing.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
    VCL_CLASS(TStream, TObject)
public:
    // Reads up to Count bytes and returns how many were read (0 at the end or for Count <= 0).
    virtual Integer Read(void* Buffer, Integer Count) = 0;
    // Writes up to Count bytes and returns how many were written.
    virtual Integer Write(const void* Buffer, Integer Count) = 0;
    // Moves the position and returns the new one.
    virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

    // Reads or writes exactly Count bytes; a short transfer raises EReadError "Stream read
    // error" or EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, Integer Count);
    void WriteBuffer(const void* Buffer, Integer Count);

    Int64 Position();
    void SetPosition(Int64 Pos);
    virtual Int64 Size();
    virtual void SetSize(Int64 NewSize);

    // Copies Count bytes from Source at its position; Count 0 copies the whole of Source from
    // its start. Returns the number of bytes copied.
    Int64 CopyFrom(TStream& Source, Int64 Count);
};

// A stream over a Win32 file handle it does not own.
class THandleStream : public TStream {
    VCL_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(void* AHandle) : FHandle(AHandle) {}
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;
    void* Handle() const { return FHandle; }

protected:
    void* FHandle;
};

// A stream over a named file, opened or created by the mode (see fmCreate and friends). Failures
// raise EFOpenError "Cannot open file "<path>". <reason>" or EFCreateError "Cannot create file
// "<path>". <reason>".
class TFileStream : public THandleStream {
    VCL_CLASS(TFileStream, THandleStream)
public:
    TFileStream(const AnsiString& AFileName, Word Mode);
    ~TFileStream() override;
    const AnsiString& FileName() const { return FFileName; }

private:
    AnsiString FFileName;
};

// A stream kept in memory; the position may lie beyond the end, writing there fills the gap
// with zeros.
class TMemoryStream : public TStream {
    VCL_CLASS(TMemoryStream, TStream)
public:
    TMemoryStream() = default;
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return FSize; }
    void SetSize(Int64 NewSize) override;

    void* Memory() { return FData.get(); }
    const void* Memory() const { return FData.get(); }
    Int64 Capacity() const { return FCapacity; }
    void Clear();
    // Replaces the content with the whole of Stream (from its start) and sets the position to 0.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const AnsiString& FileName);
    // Writes the whole content to Stream at its position; the own position does not change.
    void SaveToStream(TStream& Stream);
    void SaveToFile(const AnsiString& FileName);

private:
    void SetCapacity(Int64 NewCapacity);
    std::unique_ptr<Byte[]> FData;
    Int64 FSize = 0;
    Int64 FCapacity = 0;
    Int64 FPosition = 0;
};

// A stream over a string of bytes, read and written in place.
class TStringStream : public TStream {
    VCL_CLASS(TStringStream, TStream)
public:
    explicit TStringStream(AnsiString AString = AnsiString()) : FDataString(std::move(AString)) {}
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return static_cast<Int64>(FDataString.size()); }
    void SetSize(Int64 NewSize) override;

    const AnsiString& DataString() const { return FDataString; }
    // Reads up to Count bytes from the position; writes S at the position.
    AnsiString ReadString(Integer Count);
    void WriteString(const AnsiString& S);

private:
    AnsiString FDataString;
    Int64 FPosition = 0;
};

// Collects written bytes and passes them to the target stream (which it does not own) in blocks
// of BufferSize bytes. Flush writes what is held and reports a failed write as EWriteError; the
// destructor flushes too but cannot report, so writers that must know call Flush first. Reading,
// seeking and resizing flush first and then act on the target.
class TBufferedWriteStream : public TStream {
    VCL_CLASS(TBufferedWriteStream, TStream)
public:
    explicit TBufferedWriteStream(TStream& Target, Integer BufferSize = 4096);
    ~TBufferedWriteStream() override;
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override;
    void SetSize(Int64 NewSize) override;
    void Flush();

private:
    TStream& FTarget;
    std::vector<Byte> FBuffer;
    std::size_t FUsed = 0;
};
