#include "Classes.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

[[noreturn]] void InvalidPosition() { throw EStreamError("Invalid stream position"); }

// Position after a seek in a stream of the given size and position; negative results are refused.
Int64 SeekTarget(Int64 offset, TSeekOrigin origin, Int64 position, Int64 size)
{
    Int64 base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position : size;
    if ((offset > 0 && base > std::numeric_limits<Int64>::max() - offset) || base + offset < 0)
        InvalidPosition();
    return base + offset;
}

// Bytes a memory-held stream can hold: what one allocation of a 32-bit process can address.
constexpr Int64 MaxMemorySize = std::numeric_limits<Integer>::max();

} // namespace

// ---- TStream

void TStream::ReadBuffer(void* Buffer, Integer Count)
{
    if (Count < 0)
        throw EReadError("Stream read error");
    auto* p = static_cast<char*>(Buffer);
    Integer done = 0;
    while (done < Count) {
        Integer got = Read(p + done, Count - done);
        if (got <= 0)
            throw EReadError("Stream read error");
        done += got;
    }
}

void TStream::WriteBuffer(const void* Buffer, Integer Count)
{
    if (Count < 0)
        throw EWriteError("Stream write error");
    auto* p = static_cast<const char*>(Buffer);
    Integer done = 0;
    while (done < Count) {
        Integer put = Write(p + done, Count - done);
        if (put <= 0)
            throw EWriteError("Stream write error");
        done += put;
    }
}

Int64 TStream::Position() { return Seek(0, soFromCurrent); }

void TStream::SetPosition(Int64 Pos) { Seek(Pos, soFromBeginning); }

Int64 TStream::Size()
{
    Int64 pos = Seek(0, soFromCurrent);
    Int64 size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::SetSize(Int64) { throw EStreamError(ClassName() + " cannot change its size"); }

Int64 TStream::CopyFrom(TStream& Source, Int64 Count)
{
    if (Count < 0)
        throw EReadError("Stream read error");
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    const Integer chunk = 0xF000;
    std::vector<char> buf(static_cast<std::size_t>(std::min<Int64>(Count, chunk)));
    Int64 left = Count;
    while (left > 0) {
        Integer n = static_cast<Integer>(std::min<Int64>(left, chunk));
        Source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= n;
    }
    return Count;
}

// ---- THandleStream

Integer THandleStream::Read(void* Buffer, Integer Count)
{
    DWORD got = 0;
    if (Count <= 0 || !ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &got, nullptr))
        return 0;
    return static_cast<Integer>(got);
}

Integer THandleStream::Write(const void* Buffer, Integer Count)
{
    DWORD put = 0;
    if (Count <= 0 || !WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &put, nullptr))
        return 0;
    return static_cast<Integer>(put);
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER dist, result;
    dist.QuadPart = Offset;
    if (!SetFilePointerEx(FHandle, dist, &result, methods[Origin]))
        InvalidPosition();
    return result.QuadPart;
}

void THandleStream::SetSize(Int64 NewSize)
{
    Int64 pos = Position();
    Seek(NewSize, soFromBeginning);
    if (!SetEndOfFile(FHandle)) {
        DWORD err = GetLastError();
        Seek(pos, soFromBeginning);
        throw EWriteError("Stream write error. " + SysErrorMessage(err));
    }
    Seek(std::min(pos, NewSize), soFromBeginning);
}

// ---- TFileStream

namespace {

template <class E>
[[noreturn]] void FileFailure(const AnsiString& What, const AnsiString& File, DWORD Err)
{
    throw E(What + " \"" + File + "\". " + SysErrorMessage(Err), File, Err);
}

DWORD ShareFlags(Word mode)
{
    switch (mode & 0x00F0) {
    case fmShareDenyWrite:
        return FILE_SHARE_READ;
    case fmShareDenyRead:
        return FILE_SHARE_WRITE;
    case fmShareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: // compatibility and exclusive
        return 0;
    }
}

} // namespace

TFileStream::TFileStream(const AnsiString& AFileName, Word Mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(AFileName)
{
    if ((Mode & fmCreate) == fmCreate) {
        // Opening an existing file and emptying it keeps working where replacing it would be
        // refused (a hidden or system file cannot be recreated with normal attributes).
        HANDLE h = CreateFileA(AFileName.c_str(), GENERIC_READ | GENERIC_WRITE, ShareFlags(Mode),
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE || !SetEndOfFile(h)) {
            DWORD err = GetLastError();
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
            FileFailure<EFCreateError>("Cannot create file", AFileName, err);
        }
        FHandle = h;
        return;
    }
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    if ((Mode & 3) == 3)
        FileFailure<EFOpenError>("Cannot open file", AFileName, ERROR_INVALID_PARAMETER);
    HANDLE h = CreateFileA(AFileName.c_str(), access[Mode & 3], ShareFlags(Mode), nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        FileFailure<EFOpenError>("Cannot open file", AFileName, GetLastError());
    FHandle = h;
}

TFileStream::~TFileStream()
{
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

// ---- TMemoryStream

namespace {
[[noreturn]] void OutOfStreamMemory()
{
    throw EStreamError("Out of memory while expanding memory stream", "", ERROR_NOT_ENOUGH_MEMORY);
}
} // namespace

void TMemoryStream::SetCapacity(Int64 NewCapacity)
{
    if (NewCapacity <= FCapacity)
        return;
    if (NewCapacity > MaxMemorySize)
        OutOfStreamMemory();
    std::unique_ptr<Byte[]> data;
    try {
        data.reset(new Byte[static_cast<std::size_t>(NewCapacity)]);
    } catch (const std::bad_alloc&) {
        OutOfStreamMemory();
    }
    if (FSize)
        std::memcpy(data.get(), FData.get(), static_cast<std::size_t>(FSize));
    FData = std::move(data);
    FCapacity = NewCapacity;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0)
        InvalidPosition();
    if (NewSize > FCapacity)
        SetCapacity((NewSize + 0x1FFF) & ~Int64(0x1FFF));
    if (NewSize > FSize)
        std::memset(FData.get() + FSize, 0, static_cast<std::size_t>(NewSize - FSize));
    FSize = NewSize;
    if (FPosition > FSize)
        FPosition = FSize;
}

Integer TMemoryStream::Read(void* Buffer, Integer Count)
{
    if (Count <= 0 || FPosition >= FSize)
        return 0;
    Integer n = static_cast<Integer>(std::min<Int64>(Count, FSize - FPosition));
    std::memcpy(Buffer, FData.get() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    Int64 end = FPosition + Count;
    if (end > MaxMemorySize)
        OutOfStreamMemory();
    if (end > FCapacity) {
        // Grow by half again at least, in 8 KB steps, so that appending stays linear.
        Int64 grown = std::max(end, FCapacity + FCapacity / 2);
        SetCapacity(std::min(MaxMemorySize, (grown + 0x1FFF) & ~Int64(0x1FFF)));
        if (end > FCapacity)
            SetCapacity(end);
    }
    if (FPosition > FSize)
        std::memset(FData.get() + FSize, 0, static_cast<std::size_t>(FPosition - FSize));
    std::memcpy(FData.get() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = end;
    FSize = std::max(FSize, end);
    return Count;
}

Int64 TMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    FPosition = SeekTarget(Offset, Origin, FPosition, FSize);
    return FPosition;
}

void TMemoryStream::Clear()
{
    FData.reset();
    FSize = FCapacity = FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    Int64 n = Stream.Size();
    if (n > MaxMemorySize)
        OutOfStreamMemory();
    SetSize(n);
    if (n)
        Stream.ReadBuffer(FData.get(), static_cast<Integer>(n));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName)
{
    TStringStream file(LoadFileBytes(FileName));
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Stream)
{
    if (FSize)
        Stream.WriteBuffer(FData.get(), static_cast<Integer>(FSize));
}

void TMemoryStream::SaveToFile(const AnsiString& FileName)
{
    SafeWriteFile(FileName, [this](IByteSink& sink) { sink.Write(FData.get(), static_cast<std::size_t>(FSize)); });
}

// ---- TStringStream

Integer TStringStream::Read(void* Buffer, Integer Count)
{
    Int64 size = Size();
    if (Count <= 0 || FPosition >= size)
        return 0;
    Integer n = static_cast<Integer>(std::min<Int64>(Count, size - FPosition));
    std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

Integer TStringStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    Int64 end = FPosition + Count;
    if (end > MaxMemorySize)
        return 0;
    if (end > Size())
        FDataString.resize(static_cast<std::size_t>(end), '\0');
    std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
    FPosition = end;
    return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    FPosition = SeekTarget(Offset, Origin, FPosition, Size());
    return FPosition;
}

void TStringStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0 || NewSize > MaxMemorySize)
        InvalidPosition();
    FDataString.resize(static_cast<std::size_t>(NewSize), '\0');
    FPosition = std::min(FPosition, NewSize);
}

AnsiString TStringStream::ReadString(Integer Count)
{
    Int64 size = Size();
    if (Count <= 0 || FPosition >= size)
        return AnsiString();
    Integer n = static_cast<Integer>(std::min<Int64>(Count, size - FPosition));
    AnsiString s = FDataString.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
    FPosition += n;
    return s;
}

void TStringStream::WriteString(const AnsiString& S)
{
    WriteBuffer(S.data(), static_cast<Integer>(S.size()));
}

// ---- TBufferedWriteStream

TBufferedWriteStream::TBufferedWriteStream(TStream& Target, Integer BufferSize)
    : FTarget(Target), FBuffer(static_cast<std::size_t>(std::max<Integer>(BufferSize, 16)))
{
}

TBufferedWriteStream::~TBufferedWriteStream()
{
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; callers that must know call Flush themselves.
    }
}

void TBufferedWriteStream::Flush()
{
    if (FUsed == 0)
        return;
    std::size_t n = FUsed;
    FUsed = 0;
    FTarget.WriteBuffer(FBuffer.data(), static_cast<Integer>(n));
}

Integer TBufferedWriteStream::Write(const void* Buffer, Integer Count)
{
    if (Count <= 0)
        return 0;
    auto* p = static_cast<const Byte*>(Buffer);
    std::size_t left = static_cast<std::size_t>(Count);
    while (left > 0) {
        if (FUsed == 0 && left >= FBuffer.size()) {
            FTarget.WriteBuffer(p, static_cast<Integer>(left));
            break;
        }
        std::size_t n = std::min(left, FBuffer.size() - FUsed);
        std::memcpy(FBuffer.data() + FUsed, p, n);
        FUsed += n;
        p += n;
        left -= n;
        if (FUsed == FBuffer.size())
            Flush();
    }
    return Count;
}

Integer TBufferedWriteStream::Read(void* Buffer, Integer Count)
{
    Flush();
    return FTarget.Read(Buffer, Count);
}

Int64 TBufferedWriteStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    if (Offset == 0 && Origin == soFromCurrent)
        return FTarget.Seek(0, soFromCurrent) + static_cast<Int64>(FUsed);
    Flush();
    return FTarget.Seek(Offset, Origin);
}

Int64 TBufferedWriteStream::Size()
{
    Flush();
    return FTarget.Size();
}

void TBufferedWriteStream::SetSize(Int64 NewSize)
{
    Flush();
    FTarget.SetSize(NewSize);
}
