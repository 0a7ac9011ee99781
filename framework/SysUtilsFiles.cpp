// Paths, files and folders, safe file replacement, the command line, the program's folder, the
// clock and OS error texts.
#include "SysUtils.h"
#include "SysUtilsFilesNames.h"

#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------------------------
// File names

AnsiString ExtractFileName(const AnsiString& fileName) { return Copy(fileName, LastDelimiter("\\:", fileName) + 1, Length(fileName)); }

AnsiString ExtractFilePath(const AnsiString& fileName) { return Copy(fileName, 1, LastDelimiter("\\:", fileName)); }

AnsiString ExtractFileDir(const AnsiString& fileName)
{
    Integer i = LastDelimiter("\\:", fileName);
    // Drop the trailing backslash unless it belongs to a root ("C:\", "\").
    if (i > 1 && fileName[static_cast<std::size_t>(i - 1)] == '\\' && !IsDelimiter("\\:", fileName, i - 1))
        --i;
    return Copy(fileName, 1, i);
}

AnsiString ExtractFileDrive(const AnsiString& fileName)
{
    if (fileName.size() >= 2 && fileName[1] == ':')
        return fileName.substr(0, 2);
    if (fileName.size() >= 2 && fileName[0] == '\\' && fileName[1] == '\\') {
        // \\server\share: up to the backslash after the share name.
        const auto server = fileName.find('\\', 2);
        if (server == AnsiString::npos)
            return fileName;
        const auto share = fileName.find('\\', server + 1);
        return share == AnsiString::npos ? fileName : fileName.substr(0, share);
    }
    return {};
}

AnsiString ExtractFileExt(const AnsiString& fileName)
{
    const Integer i = LastDelimiter(".\\:", fileName);
    if (i > 0 && fileName[static_cast<std::size_t>(i - 1)] == '.')
        return Copy(fileName, i, Length(fileName));
    return {};
}

AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension)
{
    Integer i = LastDelimiter(".\\:", fileName);
    if (i == 0 || fileName[static_cast<std::size_t>(i - 1)] != '.')
        i = Length(fileName) + 1;
    return Copy(fileName, 1, i - 1) + extension;
}

AnsiString IncludeTrailingBackslash(const AnsiString& s)
{
    if (!s.empty() && s.back() == '\\')
        return s;
    return s + '\\';
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& s) { return IncludeTrailingBackslash(s); }

AnsiString ExcludeTrailingBackslash(const AnsiString& s)
{
    if (!s.empty() && s.back() == '\\')
        return s.substr(0, s.size() - 1);
    return s;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& s) { return ExcludeTrailingBackslash(s); }

AnsiString ExpandFileName(const AnsiString& fileName)
{
    if (fileName.empty())
        return {};
    std::vector<char> buf(MAX_PATH + 1);
    for (;;) {
        char* filePart = nullptr;
        const DWORD n = GetFullPathNameA(fileName.c_str(), static_cast<DWORD>(buf.size()), buf.data(), &filePart);
        if (n == 0)
            return fileName;
        if (n < buf.size())
            return AnsiString(buf.data(), n);
        buf.resize(n + 1);
    }
}

// ---------------------------------------------------------------------------------------------
// Files and folders

namespace {
inline DWORD Attributes(const AnsiString& name) { return GetFileAttributesA(name.c_str()); }

Integer DosTime(const FILETIME& utc)
{
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<Integer>((static_cast<Cardinal>(date) << 16) | time);
}
} // namespace

bool FileExists(const AnsiString& fileName)
{
    const DWORD a = Attributes(fileName);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const AnsiString& dir)
{
    const DWORD a = Attributes(dir);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const AnsiString& dir)
{
    if (dir.empty())
        throw EInOutError("Unable to create directory");
    // Expanded first, so that a relative or short name is created where it points.
    const AnsiString full = ExcludeTrailingBackslash(ExpandFileName(dir));
    if (DirectoryExists(full))
        return true;
    const AnsiString parent = ExtractFilePath(full);
    if (parent.empty() || parent == full || ExcludeTrailingBackslash(parent) == full)
        return DirectoryExists(full);
    if (!DirectoryExists(parent) && !ForceDirectories(parent))
        return false;
    return CreateDir(full) || DirectoryExists(full);
}

bool CreateDir(const AnsiString& dir) { return CreateDirectoryA(dir.c_str(), nullptr) != 0; }
bool RemoveDir(const AnsiString& dir) { return RemoveDirectoryA(ExcludeTrailingBackslash(dir).c_str()) != 0; }
bool DeleteFile(const AnsiString& fileName) { return DeleteFileA(fileName.c_str()) != 0; }
bool RenameFile(const AnsiString& oldName, const AnsiString& newName) { return MoveFileA(oldName.c_str(), newName.c_str()) != 0; }

Integer FileGetAttr(const AnsiString& fileName) { return static_cast<Integer>(Attributes(fileName)); }

Integer FileSetAttr(const AnsiString& fileName, Integer attr)
{
    if (SetFileAttributesA(fileName.c_str(), static_cast<DWORD>(attr)))
        return 0;
    return static_cast<Integer>(GetLastError());
}

Integer FileAge(const AnsiString& fileName)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return DosTime(data.ftLastWriteTime);
}

AnsiString FileSearch(const AnsiString& name, const AnsiString& dirList)
{
    if (FileExists(name))
        return name;
    std::size_t from = 0;
    while (from <= dirList.size()) {
        auto to = dirList.find(';', from);
        if (to == AnsiString::npos)
            to = dirList.size();
        const AnsiString dir = Trim(dirList.substr(from, to - from));
        if (!dir.empty()) {
            const AnsiString candidate = IncludeTrailingBackslash(dir) + name;
            if (FileExists(candidate))
                return candidate;
        }
        from = to + 1;
    }
    return {};
}

AnsiString GetCurrentDir()
{
    std::vector<char> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
        if (n == 0)
            return {};
        if (n < buf.size())
            return AnsiString(buf.data(), n);
        buf.resize(n + 1);
    }
}

bool SetCurrentDir(const AnsiString& dir) { return SetCurrentDirectoryA(dir.c_str()) != 0; }

// ---------------------------------------------------------------------------------------------
// Folder search

namespace {
// Skips entries whose attributes are excluded; 0 when rec holds a match, else the OS error.
Integer FindMatching(TSearchRec& rec)
{
    while (rec.FindData.dwFileAttributes & static_cast<DWORD>(rec.ExcludeAttr)) {
        if (!FindNextFileA(rec.FindHandle, &rec.FindData))
            return static_cast<Integer>(GetLastError());
    }
    rec.Time = DosTime(rec.FindData.ftLastWriteTime);
    rec.Size = static_cast<Int64>((static_cast<unsigned long long>(rec.FindData.nFileSizeHigh) << 32) |
                                  rec.FindData.nFileSizeLow);
    rec.Attr = static_cast<Integer>(rec.FindData.dwFileAttributes);
    rec.Name = rec.FindData.cFileName;
    return 0;
}
} // namespace

Integer FindFirst(const AnsiString& path, Integer attr, TSearchRec& rec)
{
    constexpr Integer kSpecial = faHidden | faSysFile | faVolumeID | faDirectory;
    rec.ExcludeAttr = ~attr & kSpecial;
    rec.FindHandle = FindFirstFileA(path.c_str(), &rec.FindData);
    if (rec.FindHandle == INVALID_HANDLE_VALUE)
        return static_cast<Integer>(GetLastError());
    const Integer result = FindMatching(rec);
    if (result != 0)
        FindClose(rec);
    return result;
}

Integer FindNext(TSearchRec& rec)
{
    if (rec.FindHandle == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    if (!FindNextFileA(rec.FindHandle, &rec.FindData))
        return static_cast<Integer>(GetLastError());
    return FindMatching(rec);
}

void FindClose(TSearchRec& rec)
{
    if (rec.FindHandle != INVALID_HANDLE_VALUE) {
        ::FindClose(rec.FindHandle);
        rec.FindHandle = INVALID_HANDLE_VALUE;
    }
}

// ---------------------------------------------------------------------------------------------
// File operations

DWORD TFileOps::CreateTemp(const AnsiString& Dir, AnsiString& Name, HANDLE& Handle)
{
    char buf[MAX_PATH + 1];
    if (!GetTempFileNameA(Dir.c_str(), TempFilePrefix, 0, buf))
        return GetLastError();
    Handle = CreateFileA(buf, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        DeleteFileA(buf);
        return err;
    }
    Name = buf;
    return 0;
}

DWORD TFileOps::Write(HANDLE Handle, const void* Data, std::size_t Count)
{
    const char* p = static_cast<const char*>(Data);
    while (Count > 0) {
        const DWORD chunk = Count > 0x10000000u ? 0x10000000u : static_cast<DWORD>(Count);
        DWORD written = 0;
        if (!WriteFile(Handle, p, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        p += written;
        Count -= written;
    }
    return 0;
}

DWORD TFileOps::Flush(HANDLE Handle) { return FlushFileBuffers(Handle) ? 0 : GetLastError(); }

DWORD TFileOps::Close(HANDLE Handle) { return CloseHandle(Handle) ? 0 : GetLastError(); }

DWORD TFileOps::Move(const AnsiString& From, const AnsiString& To)
{
    return MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                      : GetLastError();
}

DWORD TFileOps::Read(const AnsiString& Name, AnsiString& Bytes)
{
    HANDLE h = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    Bytes.clear();
    DWORD err = 0;
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
            err = GetLastError();
            break;
        }
        if (got == 0)
            break;
        Bytes.append(buf, got);
    }
    CloseHandle(h);
    return err;
}

namespace {
TFileOps*& CurrentFileOps()
{
    static TFileOps system;
    static TFileOps* current = &system;
    return current;
}
} // namespace

TFileOps& FileOps() { return *CurrentFileOps(); }

TFileOpsOverride::TFileOpsOverride(TFileOps& Ops) : previous_(CurrentFileOps()) { CurrentFileOps() = &Ops; }

TFileOpsOverride::~TFileOpsOverride() { CurrentFileOps() = previous_; }

// ---------------------------------------------------------------------------------------------
// Safe replacement

namespace {
AnsiString Reason(DWORD err)
{
    const AnsiString text = SysErrorMessage(err);
    return text.empty() ? "System error " + IntToStr(static_cast<unsigned long>(err)) : text;
}
} // namespace

DWORD ReplaceRefusal(const AnsiString& Target)
{
    const DWORD attr = GetFileAttributesA(Target.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (attr & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_DIRECTORY_NOT_SUPPORTED;
    return attr & FILE_ATTRIBUTE_READONLY ? ERROR_FILE_READ_ONLY : 0;
}

namespace {

template <class E>
[[noreturn]] void FailFile(const AnsiString& what, const AnsiString& path, DWORD err, const AnsiString& reason = "")
{
    throw E(what + " \"" + path + "\". " + (reason.empty() ? Reason(err) : reason), path, err);
}

// The refusal of a target the program must not replace, in the runtime's words.
[[noreturn]] void RefuseReplace(const AnsiString& target, DWORD err)
{
    FailFile<EWriteError>("Cannot replace file", target, err,
                          err == ERROR_DIRECTORY_NOT_SUPPORTED ? "It is a folder"
                          : err == ERROR_FILE_READ_ONLY        ? "It is read-only"
                                                               : "");
}

} // namespace

namespace {

// Runs Op (0 or an OS error) until it is done, fails for another reason than a holder, or the
// wait is over.
template <class Op>
DWORD WhenFree(const AnsiString& Target, Op op)
{
    constexpr int kTries = 41;
    for (int i = 1;; ++i) {
        const DWORD err = op();
        const bool held = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION || err == ERROR_ACCESS_DENIED;
        if (!held || i == kTries || ReplaceRefusal(Target) != 0)
            return err;
        Sleep(50);
    }
}

} // namespace

DWORD MoveFileWhenFree(const AnsiString& From, const AnsiString& To, DWORD Flags)
{
    return WhenFree(To, [&] { return MoveFileExA(From.c_str(), To.c_str(), Flags) ? 0 : GetLastError(); });
}

DWORD DeleteFileWhenFree(const AnsiString& Path)
{
    return WhenFree(Path, [&] { return ::DeleteFileA(Path.c_str()) ? 0 : GetLastError(); });
}

void CheckReplaceable(const AnsiString& Target)
{
    if (const DWORD err = ReplaceRefusal(Target))
        RefuseReplace(Target, err);
}

namespace {

// Owns the temporary file until it has been moved over the target.
class TTempFile final : public IByteSink {
public:
    explicit TTempFile(const AnsiString& target) : target_(target)
    {
        const AnsiString dir = ExtractFilePath(target);
        if (!DirectoryExists(dir))
            FailFile<EFCreateError>("Cannot create file", target_, ERROR_PATH_NOT_FOUND, "The folder does not exist");
        CheckReplaceable(target_);
        if (const DWORD err = FileOps().CreateTemp(dir, name_, handle_)) {
            name_.clear();
            handle_ = INVALID_HANDLE_VALUE;
            FailFile<EFCreateError>("Cannot create file", target_, err);
        }
    }
    ~TTempFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        if (!name_.empty())
            DeleteFileA(name_.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    void Write(const void* data, std::size_t count) override
    {
        if (count == 0)
            return;
        if (const DWORD err = FileOps().Write(handle_, data, count))
            FailFile<EWriteError>("Error writing file", target_, err);
    }

    // Flushes and closes the temporary file and moves it over the target, keeping the target's
    // attributes.
    void Commit()
    {
        if (const DWORD err = FileOps().Flush(handle_))
            FailFile<EWriteError>("Error writing file", target_, err);
        const HANDLE h = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (const DWORD err = FileOps().Close(h))
            FailFile<EWriteError>("Error writing file", target_, err);
        // The target may have changed while the content was written.
        CheckReplaceable(target_);
        // A hidden or system target would refuse the move: cleared for the move and given back
        // afterwards (also when the move fails).
        const DWORD old = GetFileAttributesA(target_.c_str());
        constexpr DWORD kBlocking = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        const bool cleared = old != INVALID_FILE_ATTRIBUTES && (old & kBlocking);
        if (cleared)
            SetFileAttributesA(target_.c_str(), old & ~kBlocking);
        if (const DWORD err = WhenFree(target_, [&] { return FileOps().Move(name_, target_); })) {
            if (cleared)
                SetFileAttributesA(target_.c_str(), old);
            FailFile<EWriteError>("Cannot replace file", target_, err);
        }
        name_.clear();
        if (old != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(target_.c_str(), old);
    }

private:
    AnsiString target_;
    AnsiString name_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace

void SafeWriteFile(const AnsiString& path, const TSafeWriter& writer)
{
    TTempFile temp(ExpandFileName(path));
    if (writer)
        writer(temp);
    temp.Commit();
}

void SafeWriteFileBytes(const AnsiString& path, const AnsiString& bytes)
{
    SafeWriteFile(path, [&bytes](IByteSink& sink) { sink.Write(bytes.data(), bytes.size()); });
}

AnsiString LoadFileBytes(const AnsiString& path)
{
    AnsiString bytes;
    if (const DWORD err = FileOps().Read(path, bytes))
        FailFile<EFOpenError>("Cannot open file", path, err);
    return bytes;
}

int RemoveStaleTempFiles(const AnsiString& Dir)
{
    const AnsiString dir = IncludeTrailingBackslash(Dir);
    int removed = 0;
    TSearchRec rec;
    if (FindFirst(dir + TempFilePrefix + "*.tmp", 0, rec) != 0)
        return 0;
    do {
        // The system's names: the prefix, one to four hexadecimal digits, ".tmp".
        const AnsiString& name = rec.Name;
        const std::size_t prefix = std::strlen(TempFilePrefix);
        const std::size_t digits = name.size() >= prefix + 4 ? name.size() - prefix - 4 : 0;
        if (digits < 1 || digits > 4 || !AnsiSameText(name.substr(0, prefix), TempFilePrefix) ||
            name.find_first_not_of("0123456789abcdefABCDEF", prefix) != prefix + digits ||
            !AnsiSameText(name.substr(prefix + digits), ".tmp"))
            continue;
        // A file still being written is open without sharing: it cannot be deleted.
        if (DeleteFileA((dir + name).c_str()))
            ++removed;
    } while (FindNext(rec) == 0);
    FindClose(rec);
    return removed;
}

// ---------------------------------------------------------------------------------------------
// Command line and the program's folder

namespace {
struct ProcessOverrides {
    bool hasCmdLine = false;
    AnsiString cmdLine;
    AnsiString exeName;
};
ProcessOverrides& Overrides()
{
    static ProcessOverrides o;
    return o;
}

// The framework's argument splitting: blanks (<= ' ') outside double quotes separate arguments,
// quotes group and are removed; a leading pair of empty quotes is skipped.
std::vector<AnsiString> SplitCommandLine(const AnsiString& line)
{
    std::vector<AnsiString> args;
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (;;) {
        for (;;) {
            while (i < n && static_cast<unsigned char>(line[i]) <= ' ')
                ++i;
            if (i + 1 < n && line[i] == '"' && line[i + 1] == '"')
                i += 2;
            else
                break;
        }
        if (i >= n)
            break;
        AnsiString arg;
        bool inQuote = false;
        while (i < n && (static_cast<unsigned char>(line[i]) > ' ' || inQuote)) {
            if (line[i] == '"')
                inQuote = !inQuote;
            else
                arg += line[i];
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}
} // namespace

AnsiString CmdLine()
{
    const ProcessOverrides& o = Overrides();
    if (o.hasCmdLine)
        return o.cmdLine;
    const char* line = GetCommandLineA();
    return line ? AnsiString(line) : AnsiString();
}

void SetCmdLineForTesting(const char* cmdLine)
{
    ProcessOverrides& o = Overrides();
    o.hasCmdLine = cmdLine != nullptr;
    o.cmdLine = cmdLine ? cmdLine : "";
}

AnsiString ParamStr(Integer index)
{
    if (index == 0)
        return ExeName();
    if (index < 0)
        return {};
    const auto args = SplitCommandLine(CmdLine());
    return static_cast<std::size_t>(index) < args.size() ? args[static_cast<std::size_t>(index)] : AnsiString();
}

Integer ParamCount()
{
    const auto args = SplitCommandLine(CmdLine());
    return args.empty() ? 0 : static_cast<Integer>(args.size()) - 1;
}

AnsiString ExeName()
{
    const ProcessOverrides& o = Overrides();
    if (!o.exeName.empty())
        return o.exeName;
    std::vector<char> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size())
            return AnsiString(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

AnsiString ExeDir() { return ExtractFilePath(ExeName()); }

void SetExeNameForTesting(const AnsiString& path) { Overrides().exeName = path; }

TExeNameOverride::TExeNameOverride(const AnsiString& path) : previous_(Overrides().exeName)
{
    SetExeNameForTesting(path);
}

TExeNameOverride::~TExeNameOverride() { SetExeNameForTesting(previous_); }

TCmdLineOverride::TCmdLineOverride(const AnsiString& cmdLine)
    : hadPrevious_(Overrides().hasCmdLine), previous_(Overrides().cmdLine)
{
    SetCmdLineForTesting(cmdLine.c_str());
}

TCmdLineOverride::~TCmdLineOverride() { SetCmdLineForTesting(hadPrevious_ ? previous_.c_str() : nullptr); }

// ---------------------------------------------------------------------------------------------
// Clock

namespace SysUtils {
namespace {
TTickClock& Clock()
{
    static TTickClock clock;
    return clock;
}
} // namespace

Cardinal GetTickCount()
{
    const TTickClock& clock = Clock();
    return clock ? clock() : static_cast<Cardinal>(::GetTickCount());
}

TTickClock SetTickClock(TTickClock clock)
{
    TTickClock previous = std::move(Clock());
    Clock() = std::move(clock);
    return previous;
}

namespace {
TDateClock& CalendarClock()
{
    static TDateClock clock;
    return clock;
}

double SystemNow()
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    TDateTime day = 0;
    TryEncodeDate(st.wYear, st.wMonth, st.wDay, day);
    return day + (st.wHour * 3600000.0 + st.wMinute * 60000.0 + st.wSecond * 1000.0 + st.wMilliseconds) /
                     86400000.0;
}

TBeepHook& BeepHook()
{
    static TBeepHook hook;
    return hook;
}
} // namespace

double Now()
{
    const TDateClock& clock = CalendarClock();
    return clock ? clock() : SystemNow();
}

double Date()
{
    const double now = Now();
    return now >= 0 ? static_cast<double>(static_cast<long long>(now)) : -static_cast<double>(static_cast<long long>(-now));
}

TDateClock SetDateClock(TDateClock clock)
{
    TDateClock previous = std::move(CalendarClock());
    CalendarClock() = std::move(clock);
    return previous;
}

void Beep()
{
    const TBeepHook& hook = BeepHook();
    if (hook)
        hook();
    else
        MessageBeep(0);
}

TBeepHook SetBeepHook(TBeepHook hook)
{
    TBeepHook previous = std::move(BeepHook());
    BeepHook() = std::move(hook);
    return previous;
}
} // namespace SysUtils

// ---------------------------------------------------------------------------------------------
// OS errors

AnsiString SysErrorMessage(Cardinal errorCode)
{
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                   nullptr, errorCode, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    AnsiString text;
    if (n && buffer)
        text.assign(buffer, n);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(Cardinal errorCode)
{
    if (errorCode == 0)
        throw EOSError("A call to an OS function failed");
    throw EOSError("System Error.  Code: " + IntToStr(errorCode) + ".\r\n" + SysErrorMessage(errorCode));
}

// ---------------------------------------------------------------------------------------------
// Wide names

AnsiString NarrowFileName(const wchar_t* Name, bool& Exact)
{
    Exact = false;
    if (!Name)
        return AnsiString();
    const int size = WideCharToMultiByte(CP_ACP, 0, Name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return AnsiString();
    std::string buffer(static_cast<std::size_t>(size), '\0');
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Name, -1, buffer.data(), size, nullptr, &lost);
    Exact = n > 0 && !lost;
    if (!Exact)
        n = WideCharToMultiByte(CP_ACP, 0, Name, -1, buffer.data(), size, nullptr, nullptr);
    return n > 0 ? AnsiString(buffer.data(), static_cast<std::size_t>(n - 1)) : AnsiString();
}

bool NameEndDropped(const AnsiString& Name)
{
    return Name != "." && Name != ".." && !Name.empty() && (Name.back() == '.' || Name.back() == ' ');
}

bool DeviceName(const AnsiString& Name)
{
    // The system reads the name up to its first "." or ":", blanks at its end left out.
    std::size_t end = Name.find_first_of(".:");
    if (end == AnsiString::npos)
        end = Name.size();
    while (end > 0 && Name[end - 1] == ' ')
        --end;
    const AnsiString base = UpperCase(Name.substr(0, end));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

bool NameReachesEntry(const AnsiString& Name) { return !Name.empty() && !NameEndDropped(Name) && !DeviceName(Name); }

std::wstring LiteralWidePath(const std::wstring& Path)
{
    if (Path.rfind(L"\\\\?\\", 0) == 0 || Path.rfind(L"\\\\.\\", 0) == 0)
        return Path;
    return Path.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + Path.substr(2) : L"\\\\?\\" + Path;
}

namespace {

// A name that reaches its entry as it is: it converts exactly and reaches its entry.
bool ExactName(const std::wstring& Name, AnsiString& Narrow)
{
    bool exact = false;
    Narrow = NarrowFileName(Name.c_str(), exact);
    return exact && NameReachesEntry(Narrow);
}

// The short name that Folder lists for its entry Name exactly ("" when none). The entry is asked
// for by its literal path, one search for the name; a search that finds another entry (another
// case of the name on a file system that tells cases apart) reads the whole folder.
std::wstring ListedShortName(const std::wstring& Folder, const std::wstring& Name)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(LiteralWidePath(Folder + L"\\" + Name).c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        FindClose(h);
        if (Name == fd.cFileName)
            return fd.cAlternateFileName;
    }
    h = FindFirstFileW((LiteralWidePath(Folder) + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring found;
    do {
        if (Name == fd.cFileName) {
            found = fd.cAlternateFileName;
            break;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return found;
}

// The length of a wide full path's root ("C:" or "\\\\server\\share"); 0 for a path without one.
std::size_t PathRoot(const std::wstring& Path)
{
    std::size_t root = 0;
    if (Path.size() >= 2 && Path[1] == L':')
        root = 2;
    else if (Path.rfind(L"\\\\", 0) == 0)
        for (int seps = 0; root < Path.size() && (Path[root] != L'\\' || ++seps < 4); ++root)
            ;
    return root;
}

// The names after the root of a wide full path, in order (empty ones, of a doubled or last "\\",
// left out).
std::vector<std::wstring> NamesAfterRoot(const std::wstring& Path, std::size_t Root)
{
    std::vector<std::wstring> names;
    for (std::size_t start = Root + 1; start <= Path.size();) {
        std::size_t end = Path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = Path.size();
        if (end > start)
            names.push_back(Path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

AnsiString ReachingPath(const std::wstring& Path)
{
    // The root ("C:" or "\\\\server\\share") must convert exactly; each name after it reaches its
    // entry as it is, or by the short name its folder lists for it.
    const std::size_t root = PathRoot(Path);
    if (root == 0)
        return AnsiString();
    bool exact = false;
    AnsiString reached = NarrowFileName(Path.substr(0, root).c_str(), exact);
    if (!exact)
        return AnsiString();
    std::wstring folder = Path.substr(0, root);
    for (const std::wstring& name : NamesAfterRoot(Path, root)) {
        AnsiString narrow;
        if (!ExactName(name, narrow) && !ExactName(ListedShortName(folder, name), narrow))
            return AnsiString();
        reached += "\\" + narrow;
        folder += L"\\" + name;
    }
    return root == 2 && reached.size() == 2 ? reached + "\\" : reached;
}

namespace {

// The reaching path of the entry of a wide path, by its long form; "" when there is none.
AnsiString ReachingEntry(const std::wstring& Path)
{
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetLongPathNameW(Path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return AnsiString();
    buffer.resize(n);
    return ReachingPath(buffer);
}

} // namespace

AnsiString ReachingLongPath(const AnsiString& Path)
{
    if (AnsiString reached = ReachingEntry(AnsiToWide(Path)); !reached.empty())
        return reached;
    const std::size_t slash = Path.find_last_of('\\');
    if (slash == AnsiString::npos || slash + 1 == Path.size())
        return Path;
    // The folder "C:" of a name at the root is the root itself.
    const AnsiString folder = Path.substr(0, slash == 2 && Path[1] == ':' ? slash + 1 : slash);
    const AnsiString reached = ReachingEntry(AnsiToWide(folder));
    return reached.empty() ? Path : IncludeTrailingBackslash(reached) + Path.substr(slash + 1);
}

namespace {

// The long form of a wide full path, each name looked up literally (a last "." or " " kept, where
// the plain form would name another entry): a short name becomes its entry's own name. From the
// first name that names no entry on, the path stays as given.
std::wstring LiteralLongPath(const std::wstring& Path)
{
    const std::size_t root = PathRoot(Path);
    if (root == 0)
        return Path;
    std::wstring longForm = Path.substr(0, root);
    bool found = true;
    for (const std::wstring& name : NamesAfterRoot(Path, root)) {
        WIN32_FIND_DATAW fd{};
        const HANDLE h = !found || name.find_first_of(L"*?") != std::wstring::npos
                             ? INVALID_HANDLE_VALUE
                             : FindFirstFileW(LiteralWidePath(longForm + L"\\" + name).c_str(), &fd);
        found = h != INVALID_HANDLE_VALUE;
        if (found)
            FindClose(h);
        longForm += L"\\";
        longForm += found ? fd.cFileName : name.c_str();
    }
    return longForm;
}

} // namespace

AnsiString ChosenPath(const std::wstring& Path) { return ReachingPath(LiteralLongPath(Path)); }

AnsiString UnreachableChoiceText(const std::wstring& Path)
{
    AnsiString shown;
    if (const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Path.c_str(), -1, nullptr, 0, "?", nullptr);
        size > 1) {
        shown.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Path.c_str(), -1, shown.data(), size, "?", nullptr);
        shown.resize(static_cast<std::size_t>(size - 1));
    }
    return "Программа не может работать с \"" + shown +
           "\": в имени есть знаки вне её кодировки, оно оканчивается точкой или пробелом либо означает "
           "устройство. Выберите другое имя.";
}
