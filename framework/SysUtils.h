// The runtime's general utilities: the exception family, strings in code page 1251 with 1-based
// helpers and explicit Cyrillic case tables, conversions, files and paths, the command line, the
// clock and the program's folder.
#pragma once

#include "System.h"
#include "SysUtilsFiles.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include <windows.h>
// windows.h maps DeleteFile to DeleteFileA; the framework's DeleteFile below takes its place.
#undef DeleteFile

// Exception family (message texts as the framework gives them where the system quotes them).
VCL_EXCEPTION(EAbort, Exception)
VCL_EXCEPTION(EConvertError, Exception)
VCL_EXCEPTION(EInOutError, Exception)
VCL_EXCEPTION(EOutOfResources, Exception)
VCL_EXCEPTION(EInvalidOperation, Exception)
VCL_EXCEPTION(EInvalidPointer, Exception)
VCL_EXCEPTION(EOSError, Exception)
VCL_EXCEPTION(EListError, Exception)
VCL_EXCEPTION(EStringListError, Exception)
VCL_EXCEPTION(EStreamError, Exception)
VCL_EXCEPTION(EFCreateError, EStreamError)
VCL_EXCEPTION(EFOpenError, EStreamError)
VCL_EXCEPTION(EFilerError, EStreamError)
VCL_EXCEPTION(EReadError, EFilerError)
VCL_EXCEPTION(EWriteError, EFilerError)
VCL_EXCEPTION(EClassNotFound, EFilerError)
VCL_EXCEPTION(EIniFileException, Exception)
VCL_EXCEPTION(EComponentError, Exception)
VCL_EXCEPTION(EOleError, Exception)
VCL_EXCEPTION(EInvalidGraphic, Exception)
VCL_EXCEPTION(EInvalidGraphicOperation, Exception)
VCL_EXCEPTION(EMenuError, Exception)
// Memory could not be had (std::bad_alloc as the application reports it): ErrorCode is
// ERROR_NOT_ENOUGH_MEMORY.
VCL_EXCEPTION(EOutOfMemory, Exception)

// Raised by Abort(): a silent exception that the application's error box does not show.
[[noreturn]] void Abort();

// ---------------------------------------------------------------------------------------------
// Strings: 1-based positions, as the framework counts them.

// Number of characters (bytes) of s.
inline Integer Length(const AnsiString& s) { return static_cast<Integer>(s.size()); }
// Position (1-based) of the first occurrence of sub in s; 0 when absent or when sub is empty.
Integer Pos(const AnsiString& sub, const AnsiString& s);
inline Integer AnsiPos(const AnsiString& sub, const AnsiString& s) { return Pos(sub, s); }
// Count characters of s from index (1-based). index < 1 counts as 1; a count reaching past the
// end is clamped; a count <= 0 or an index past the end gives "".
AnsiString Copy(const AnsiString& s, Integer index, Integer count);
// Removes count characters of s from index; nothing when index < 1, index past the end or
// count <= 0; a count past the end removes up to the end.
void Delete(AnsiString& s, Integer index, Integer count);
// Inserts sub into s before index; index < 1 inserts at the start, past the end appends.
void Insert(const AnsiString& sub, AnsiString& s, Integer index);
// A string of count copies of ch ("" for count <= 0).
AnsiString StringOfChar(char ch, Integer count);

// Flags of StringReplace, combined with |.
enum TReplaceFlags : unsigned { rfNone = 0, rfReplaceAll = 1, rfIgnoreCase = 2 };
constexpr TReplaceFlags operator|(TReplaceFlags a, TReplaceFlags b)
{
    return static_cast<TReplaceFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
// Replaces the first (or with rfReplaceAll every) occurrence of oldPattern by newPattern;
// rfIgnoreCase compares through the code page 1251 case tables. An empty oldPattern changes nothing.
AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags);

// Blanks and control characters (<= ' ') removed from both ends / the start / the end.
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);

// Case of ASCII letters only.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
// ASCII-case comparisons: < 0, 0, > 0 by the upper-cased unsigned bytes / the bytes as they are.
Integer CompareText(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);
Integer CompareStr(const AnsiString& a, const AnsiString& b);

// Case of code page 1251 letters (Latin and every Cyrillic letter of the code page), from fixed
// tables that never depend on the system's code page. Non-letters are unchanged.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
// Compares without case: both strings are upper-cased through the table and compared as
// unsigned bytes (so Cyrillic letters sort after Latin ones, 'Ё' (A8) before 'А' (C0) and the
// other letters of the code page in their byte order). Result < 0, 0 or > 0.
Integer AnsiCompareText(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);
// Compares with case, as unsigned bytes.
Integer AnsiCompareStr(const AnsiString& a, const AnsiString& b);
bool AnsiSameStr(const AnsiString& a, const AnsiString& b);

// A set of characters (word delimiters and the like): TSysCharSet(" ,;") holds the three.
class TSysCharSet {
public:
    TSysCharSet() = default;
    TSysCharSet(const char* Chars) : TSysCharSet(std::string_view(Chars)) {}
    TSysCharSet(std::string_view Chars)
    {
        for (char c : Chars)
            Include(c);
    }
    bool Contains(char c) const { return (bits_[Index(c) >> 5] >> (Index(c) & 31)) & 1u; }
    TSysCharSet& Include(char c)
    {
        bits_[Index(c) >> 5] |= 1u << (Index(c) & 31);
        return *this;
    }

private:
    static unsigned Index(char c) { return static_cast<unsigned char>(c); }
    Cardinal bits_[8] = {};
};

// S in lower case with the first letter of every word in upper case (code page 1251 tables);
// words are separated by characters of Delims.
AnsiString AnsiProperCase(const AnsiString& S, const TSysCharSet& Delims);

// A menu caption without its hot-key marks: single '&' removed, "&&" becomes "&".
AnsiString StripHotkey(const AnsiString& s);

// s in single quotes, inner single quotes doubled.
AnsiString QuotedStr(const AnsiString& s);
// s in the given quotes, inner quote characters doubled.
AnsiString AnsiQuotedStr(const AnsiString& s, char quote);
// The inverse of AnsiQuotedStr; s unchanged when it does not start with the quote.
AnsiString AnsiDequotedStr(const AnsiString& s, char quote);

// True when the character of s at index (1-based) is one of delimiters.
bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, Integer index);
// Position (1-based) of the last character of s that is one of delimiters; 0 when none.
Integer LastDelimiter(const AnsiString& delimiters, const AnsiString& s);

// Code page 1251 <-> UTF-16 through fixed tables. Characters that code page 1251 lacks become '?'.
std::wstring AnsiToWide(const AnsiString& s);
AnsiString WideToAnsi(const std::wstring& s);

// ---------------------------------------------------------------------------------------------
// Numbers and text.

AnsiString IntToStr(int value);
AnsiString IntToStr(long value);
AnsiString IntToStr(unsigned value);
AnsiString IntToStr(unsigned long value);
AnsiString IntToStr(long long value);
AnsiString IntToStr(unsigned long long value);
// Upper-case hexadecimal, at least digits wide (padded with '0').
AnsiString IntToHex(Int64 value, Integer digits);

// Decimal, "$hex", "0x"/"0X" hex, with an optional sign; no blanks allowed anywhere. Out of range
// or malformed text raises EConvertError "'<text>' is not a valid integer value".
Integer StrToInt(const AnsiString& s);
Int64 StrToInt64(const AnsiString& s);
Integer StrToIntDef(const AnsiString& s, Integer def);
Int64 StrToInt64Def(const AnsiString& s, Int64 def);
bool TryStrToInt(const AnsiString& s, Integer& value);
bool TryStrToInt64(const AnsiString& s, Int64& value);

// Decimal separator used by the float routines (the system's, read at start-up and by
// GetFormatSettings; '.' or ',').
extern char DecimalSeparator;
// Separator of digit groups in numbers shown to the user (the system's, read like DecimalSeparator).
extern char ThousandSeparator;
// 15 significant digits, general format, with DecimalSeparator.
AnsiString FloatToStr(double value);
// The framework's float formats; only the general one is built.
enum TFloatFormat { ffGeneral };
// ffGeneral: at most Precision significant digits (2..17), the shorter of the fixed and the
// scientific forms, as FloatToStr writes them. Digits is not used by ffGeneral.
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// Accepts DecimalSeparator (and '.'), an optional exponent; surrounding blanks are allowed; a
// number beyond the range of a double is refused. Raises EConvertError "'<text>' is not a valid
// floating point value".
double StrToFloat(const AnsiString& s);
double StrToFloatDef(const AnsiString& s, double def);
bool TryStrToFloat(const AnsiString& s, double& value);
// Picture formats "0", "0.##", "#,##0.00", with optional sections ";"; enough for number edits.
// A value of 1E18 or more (in magnitude) is written as FloatToStr writes it.
AnsiString FormatFloat(const AnsiString& format, double value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
Int64 Round(double value);
// Drops the fraction (towards zero).
Int64 Trunc(double value);

// ---------------------------------------------------------------------------------------------
// Dates: a TDateTime counts days from 30 December 1899 (the fraction is the time of day).

using TDateTime = double;

bool IsLeapYear(Integer Year);
// False (Date unchanged) unless 1 <= Year <= 9999, 1 <= Month <= 12 and the day is in the month.
bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date);
// Raises EConvertError "Invalid argument to date encode" where TryEncodeDate fails.
TDateTime EncodeDate(Integer Year, Integer Month, Integer Day);
// The parts of the day of Date; all 0 for a value outside 1/1/1 .. 31/12/9999 (or not a number).
void DecodeDate(TDateTime Date, Word& Year, Word& Month, Word& Day);

// The day of the week of Date: 1 = Sunday .. 7 = Saturday.
Integer DayOfWeek(TDateTime Date);
// The time of day of Date (of a negative date too: its time runs forwards from its day).
void DecodeTime(TDateTime Date, Word& Hour, Word& Min, Word& Sec, Word& MSec);

// Date and time as Format gives them. Letters in any case: d, dd (day), ddd, dddd (ShortDayNames,
// LongDayNames); m, mm (month), mmm, mmmm (ShortMonthNames, LongMonthNames); yy, yyyy (year: up
// to two letters give two digits, more give four); h, hh (hour 0..23); n, nn (minutes; "m"/"mm"
// right after an hour are minutes too, whatever stands between them); s, ss (seconds). '/' is
// DateSeparator, ':' TimeSeparator; text in '...' or "..." and every other character are copied.
AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime);

// --- Locale settings ------------------------------------------------------------------------

// Read from the user's locale at each call: the first character of a setting (LOCALE_SDATE,
// LOCALE_SDECIMAL...) in code page 1251, Default when it is empty; the short date format
// ("M/d/yyyy", "dd.MM.yyyy"); the first day of the week, 0 = Monday .. 6 = Sunday
// (LOCALE_IFIRSTDAYOFWEEK).
char LocaleChar(LCTYPE Type, char Default);
AnsiString LocaleShortDateFormat();
Integer LocaleFirstDayOfWeek();

// The format settings of the user's locale, read at start-up and again by GetFormatSettings (the
// application does on WM_SETTINGCHANGE); programs and tests may change them. Names are in code page
// 1251; month arrays start with January, day arrays with Sunday (index DayOfWeek - 1).
extern AnsiString ShortDateFormat;
extern char DateSeparator;
extern char TimeSeparator;
extern AnsiString LongMonthNames[12];
extern AnsiString ShortMonthNames[12];
extern AnsiString LongDayNames[7];
extern AnsiString ShortDayNames[7];
// 0 = Monday .. 6 = Sunday.
extern Integer FirstDayOfWeek;
// Reads every setting above, DecimalSeparator and ThousandSeparator from the locale again.
void GetFormatSettings();

// One argument of Format: an integer, a float, a string, a character or a pointer.
struct TVarRec {
    enum TKind { vtInt64, vtUInt64, vtExtended, vtString, vtChar, vtPointer };
    TVarRec(int v) : Kind(vtInt64), I(v) {}
    TVarRec(long v) : Kind(vtInt64), I(v) {}
    TVarRec(long long v) : Kind(vtInt64), I(v) {}
    TVarRec(unsigned v) : Kind(vtUInt64), U(v) {}
    TVarRec(unsigned long v) : Kind(vtUInt64), U(v) {}
    TVarRec(unsigned long long v) : Kind(vtUInt64), U(v) {}
    TVarRec(double v) : Kind(vtExtended), D(v) {}
    TVarRec(char v) : Kind(vtChar), C(v) {}
    TVarRec(const char* v) : Kind(vtString), S(v ? v : ""), SLen(v ? std::char_traits<char>::length(v) : 0) {}
    TVarRec(const AnsiString& v) : Kind(vtString), S(v.data()), SLen(v.size()) {}
    TVarRec(const void* v) : Kind(vtPointer), P(v) {}
    TKind Kind;
    union {
        Int64 I;
        unsigned long long U;
        double D;
        char C;
        const void* P;
        const char* S;
    };
    std::size_t SLen = 0;
};

// Formats like the framework's Format: %s %d %u %x %X %e %f %g %n %p %c %%, with "-" (left
// justify), width, ".precision", "*" for width or precision from the arguments and "index:".
// A specifier that does not match its argument, or missing arguments, raise EConvertError
// "Format '<format>' invalid or incompatible with argument". Strings are not copied: arguments
// must live until Format returns (temporaries of the call do).
AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args);

// ---------------------------------------------------------------------------------------------
// File names. Delimiters are '\' and ':' (a drive).

// The part after the last '\' or ':'.
AnsiString ExtractFileName(const AnsiString& fileName);
// The part up to and including the last '\' or ':'.
AnsiString ExtractFilePath(const AnsiString& fileName);
// ExtractFilePath without its trailing '\' (kept for a root such as "C:\" and for "\").
AnsiString ExtractFileDir(const AnsiString& fileName);
// "C:" of "C:\x", "\\server\share" of a UNC name, "" otherwise.
AnsiString ExtractFileDrive(const AnsiString& fileName);
// From the last '.' after the last delimiter, the dot included; "" when there is none.
AnsiString ExtractFileExt(const AnsiString& fileName);
// fileName with its extension replaced by extension (which includes its dot; "" removes it).
AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension);
// s with (or without) one trailing '\'. "" stays "" when excluding, becomes "\" when including.
AnsiString IncludeTrailingBackslash(const AnsiString& s);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& s);
AnsiString ExcludeTrailingBackslash(const AnsiString& s);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& s);
// Full path (GetFullPathNameA), relative names taken from the current folder; "" stays "".
AnsiString ExpandFileName(const AnsiString& fileName);

// ---------------------------------------------------------------------------------------------
// Files and folders.

// File attributes (the framework's values).
constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faAnyFile = 0x3F;

// True for an existing file, false for a folder or nothing.
bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& dir);
// Creates dir and every missing parent; true when dir exists afterwards. "" raises
// EInOutError "Unable to create directory".
bool ForceDirectories(const AnsiString& dir);
bool CreateDir(const AnsiString& dir);
bool RemoveDir(const AnsiString& dir);
bool DeleteFile(const AnsiString& fileName);
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
// Attributes of the file (-1 when it cannot be read); FileSetAttr returns 0 or the OS error code.
Integer FileGetAttr(const AnsiString& fileName);
Integer FileSetAttr(const AnsiString& fileName, Integer attr);
// Last write time of a file as a DOS date-time (date in the high word); -1 when there is none.
Integer FileAge(const AnsiString& fileName);
// Finds name in the current folder and then in each folder of the ';'-separated dirList; the
// name as found ("" when nowhere).
AnsiString FileSearch(const AnsiString& name, const AnsiString& dirList);
// The current folder (no trailing backslash except for a root).
AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& dir);

// A search over a folder: FindFirst(path with wildcards, attributes, rec) returns 0 and fills rec
// with the first match, or an OS error code; FindNext the next (0) or an error code; FindClose
// ends the search. Normal files always match; entries that carry faHidden, faSysFile, faVolumeID
// or faDirectory match only when attr includes each of those they carry.
struct TSearchRec {
    Integer Time = 0;  // last write time, DOS date-time
    Int64 Size = 0;
    Integer Attr = 0;
    AnsiString Name;
    Integer ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA FindData{};
};
Integer FindFirst(const AnsiString& path, Integer attr, TSearchRec& rec);
Integer FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// ---------------------------------------------------------------------------------------------
// The process: command line, program folder, clock, OS errors.

// The raw command line (GetCommandLineA, or the one set for tests).
AnsiString CmdLine();
// Arguments parsed from the raw command line: blanks separate them, double quotes group and are
// removed. ParamStr(0) is the program's path (ExeName()); an index past the last gives "".
AnsiString ParamStr(Integer index);
Integer ParamCount();
// Replaces the command line that CmdLine/ParamStr/ParamCount read; nullptr restores the real one.
void SetCmdLineForTesting(const char* cmdLine);

// Full path of the executable (or the one set for tests) and its folder with a trailing '\'.
AnsiString ExeName();
AnsiString ExeDir();
// Replaces the executable path that ExeName/ExeDir/ParamStr(0) give; "" restores the real one.
void SetExeNameForTesting(const AnsiString& path);
// Sets the executable path for its lifetime and restores the previous one afterwards.
class TExeNameOverride {
public:
    explicit TExeNameOverride(const AnsiString& path);
    ~TExeNameOverride();
    TExeNameOverride(const TExeNameOverride&) = delete;
    TExeNameOverride& operator=(const TExeNameOverride&) = delete;

private:
    AnsiString previous_;
};
// Sets the command line for its lifetime and restores the previous one afterwards.
class TCmdLineOverride {
public:
    explicit TCmdLineOverride(const AnsiString& cmdLine);
    ~TCmdLineOverride();
    TCmdLineOverride(const TCmdLineOverride&) = delete;
    TCmdLineOverride& operator=(const TCmdLineOverride&) = delete;

private:
    bool hadPrevious_;
    AnsiString previous_;
};

// The millisecond clock of the program. The Win32 GetTickCount stays the system's; program code
// reads the time through SysUtils::GetTickCount so that tests can drive it.
namespace SysUtils {
using TTickClock = std::function<Cardinal()>;
Cardinal GetTickCount();
// Replaces the clock (an empty function restores the system's); returns the previous one.
TTickClock SetTickClock(TTickClock clock);
// Sets a clock for its lifetime and restores the previous one afterwards.
class TTickClockOverride {
public:
    explicit TTickClockOverride(TTickClock clock) : previous_(SetTickClock(std::move(clock))) {}
    ~TTickClockOverride() { SetTickClock(std::move(previous_)); }
    TTickClockOverride(const TTickClockOverride&) = delete;
    TTickClockOverride& operator=(const TTickClockOverride&) = delete;

private:
    TTickClock previous_;
};

// The calendar clock: the local date and time as a TDateTime. Program code reads it through
// Date() and Now() so that tests can set the day.
using TDateClock = std::function<double()>;
// The local date and time now.
double Now();
// Today at midnight (Now without its fraction).
double Date();
// Replaces the calendar clock (an empty function restores the system's); returns the previous one.
TDateClock SetDateClock(TDateClock clock);
class TDateClockOverride {
public:
    explicit TDateClockOverride(TDateClock clock) : previous_(SetDateClock(std::move(clock))) {}
    ~TDateClockOverride() { SetDateClock(std::move(previous_)); }
    TDateClockOverride(const TDateClockOverride&) = delete;
    TDateClockOverride& operator=(const TDateClockOverride&) = delete;

private:
    TDateClock previous_;
};

// The warning beep of refused input. Program code beeps through SysUtils::Beep so that tests can
// count the beeps instead of hearing them.
using TBeepHook = std::function<void()>;
void Beep();
// Replaces the beep (an empty function restores the system's MessageBeep(0)); returns the previous one.
TBeepHook SetBeepHook(TBeepHook hook);
// Counts the beeps while it exists and silences them.
class TBeepCounter {
public:
    TBeepCounter() : previous_(SetBeepHook([this] { ++Count; })) {}
    ~TBeepCounter() { SetBeepHook(std::move(previous_)); }
    TBeepCounter(const TBeepCounter&) = delete;
    TBeepCounter& operator=(const TBeepCounter&) = delete;
    int Count = 0;

private:
    TBeepHook previous_;
};
} // namespace SysUtils

// The system's text for an OS error code (trailing line breaks and dots removed).
AnsiString SysErrorMessage(Cardinal errorCode);
// The reason of an OS error code in the program's words (Russian, one sentence with its full stop):
// texts of its own for the codes that files, folders, disks and memory give, "Системная ошибка <n>."
// for any other, "Причина неизвестна." for 0. Never the system's own text, which may be English.
AnsiString ErrorReasonText(Cardinal errorCode);
// What an exception tells the user, in the program's words: a failure with a file names the file
// and the reason (ErrorReasonText of its ErrorCode); damaged data, missing memory and the
// framework's other refusals have texts of their own; a plain Exception with a Russian text (the
// program's own messages) is shown as it is. No English text of the runtime reaches the user.
AnsiString UserErrorText(const Exception& E);
// Raises EOSError "System Error.  Code: <n>.\r\n<text>" for GetLastError().
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(Cardinal errorCode);
