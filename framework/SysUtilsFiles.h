// The runtime's file operations: the safe replacement of data files, whole-file reads and the
// one place (TFileOps) through which both reach the disk.
#pragma once

#include "System.h"

#include <cstddef>
#include <functional>

#include <windows.h>

// ---------------------------------------------------------------------------------------------
// The file operations under every write of a data file and every whole-file read. Each answers 0
// when done, else the OS error code. FileOps() is the system's implementation unless a test has
// put its own in place (TFileOpsOverride); such an implementation derives from TFileOps, notes
// the call and passes it on to the base, or answers an error without doing anything.

class TFileOps {
public:
    virtual ~TFileOps() = default;
    // Makes a new empty file with a unique name in Dir (a folder with its trailing backslash) and
    // opens it for writing: Name receives its full path, Handle its handle.
    virtual DWORD CreateTemp(const AnsiString& Dir, AnsiString& Name, HANDLE& Handle);
    // Writes all Count bytes at the file's position.
    virtual DWORD Write(HANDLE Handle, const void* Data, std::size_t Count);
    // Makes the written bytes durable on the disk.
    virtual DWORD Flush(HANDLE Handle);
    // Closes the handle; it is gone also when the answer is an error.
    virtual DWORD Close(HANDLE Handle);
    // Moves the file From over To in one step (To is replaced when it exists).
    virtual DWORD Move(const AnsiString& From, const AnsiString& To);
    // The whole content of the file Name.
    virtual DWORD Read(const AnsiString& Name, AnsiString& Bytes);
};

TFileOps& FileOps();

// Puts Ops in place of the file operations for its lifetime and restores the previous ones.
class TFileOpsOverride {
public:
    explicit TFileOpsOverride(TFileOps& Ops);
    ~TFileOpsOverride();
    TFileOpsOverride(const TFileOpsOverride&) = delete;
    TFileOpsOverride& operator=(const TFileOpsOverride&) = delete;

private:
    TFileOps* previous_;
};

// ---------------------------------------------------------------------------------------------
// Safe replacement of data files: the new content is written to a temporary file in the target's
// folder (so that the move stays on one volume and is one step), flushed to disk, closed and then
// moved over the target, so the target is either the old or the new file, never a partial one.
// The target keeps its attributes (a hidden file stays so). A target the program must not replace
// (ReplaceRefusal) is refused before anything is written. Any failure leaves the target as it was
// and removes the temporary file:
// - the folder does not exist, or the temporary file cannot be made: EFCreateError
//   "Cannot create file "<target>". <reason>";
// - a failed write, flush or close: EWriteError "Error writing file "<target>". <reason>";
// - the target is a folder or read-only, or the move fails (a target another program holds is
//   waited for as MoveFileWhenFree waits): EWriteError
//   "Cannot replace file "<target>". <reason>";
// - an exception from the writer is passed on as it is.
// <reason> is the system's text of the error ("The folder does not exist" for a missing folder,
// "It is a folder", "It is read-only"). Every refusal carries the target as FileName and the
// error code as ErrorCode (ERROR_PATH_NOT_FOUND for a missing folder, ERROR_DIRECTORY_NOT_SUPPORTED
// for a folder, ERROR_FILE_READ_ONLY for a read-only file).

#ifndef ERROR_DIRECTORY_NOT_SUPPORTED
#define ERROR_DIRECTORY_NOT_SUPPORTED 336L
#endif

// The one rule for files the program replaces: 0 when Target may be replaced (it does not exist,
// or it is a file without the read-only attribute), else why not: ERROR_DIRECTORY_NOT_SUPPORTED
// for a folder, ERROR_FILE_READ_ONLY for a read-only file (which the system would let an
// administrator replace). Every write of the program and every copy onto a file of its own keeps it.
DWORD ReplaceRefusal(const AnsiString& Target);
// A move or a delete of a file that another program may hold open for a moment (a virus scanner,
// an indexer, a backup or sync tool reading a file just written): a sharing or access refusal is
// tried again every 50 ms for up to two seconds, unless the file refuses for good (ReplaceRefusal:
// read-only, a folder). 0 when done, else the last OS error.
DWORD MoveFileWhenFree(const AnsiString& From, const AnsiString& To, DWORD Flags);
DWORD DeleteFileWhenFree(const AnsiString& Path);
// Raises the refusal SafeWriteFile gives a target that ReplaceRefusal refuses (EWriteError
// "Cannot replace file "<target>". <reason>"); nothing for a target that may be replaced.
void CheckReplaceable(const AnsiString& Target);

// Where a writer puts the bytes of the new file.
class IByteSink {
public:
    virtual void Write(const void* data, std::size_t count) = 0;

protected:
    ~IByteSink() = default;
};
using TSafeWriter = std::function<void(IByteSink& sink)>;

void SafeWriteFile(const AnsiString& path, const TSafeWriter& writer);
void SafeWriteFileBytes(const AnsiString& path, const AnsiString& bytes);

// The whole content of a file, read through FileOps(). A file that cannot be read raises
// EFOpenError "Cannot open file "<path>". <reason>" (with FileName and ErrorCode).
AnsiString LoadFileBytes(const AnsiString& path);

// The temporary files of the safe replacement are named by the system: this prefix, one to four
// hexadecimal digits, ".tmp".
inline constexpr const char* TempFilePrefix = "vln";
// Deletes the temporary files a replacement left in Dir when its process ended in the middle of
// it; a file still being written is open and stays. Answers how many were deleted.
int RemoveStaleTempFiles(const AnsiString& Dir);
