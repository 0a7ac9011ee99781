// The skin library's small routines: rectangles and numbers, words and strings, the in-memory INI
// form of the manager's extra sections, files and folders, and one-line message boxes.
#pragma once

#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"

// --- Numbers and rectangles --------------------------------------------------------------------

inline int WidthOf(const TRect& R) { return R.right - R.left; }
inline int HeightOf(const TRect& R) { return R.bottom - R.top; }
inline int Maxi(int A, int B) { return A > B ? A : B; }
inline int Mini(int A, int B) { return A < B ? A : B; }
// Lo when V < Lo, Hi when V >= Hi, else V.
inline int LimitIt(int V, int Lo, int Hi) { return V < Lo ? Lo : (V >= Hi ? Hi : V); }
inline bool Between(int V, int Lo, int Hi) { return Lo <= V && V <= Hi; }
inline void Changei(int& A, int& B)
{
    const int t = A;
    A = B;
    B = t;
}
inline AnsiString iff(bool L, const AnsiString& A, const AnsiString& B) { return L ? A : B; }
inline int iffi(bool L, int A, int B) { return L ? A : B; }
inline TObject* iffo(bool L, TObject* A, TObject* B) { return L ? A : B; }
inline Byte Div256(Word X) { return static_cast<Byte>(X >> 8); }
// The transparency in percent of two layers: round((100 - T2) * T1 / 100 + T2), halves to even.
int SumTrans(int T1, int T2);
// R2 overlaps R1 and is not empty.
bool RectIsVisible(const TRect& R1, const TRect& R2);
// Both corners of Inner lie in Outer, Outer's right and bottom edges included.
bool RectInRect(const TRect& Outer, const TRect& Inner);
inline TPoint OffsetPoint(const TPoint& P, int Dx, int Dy) { return TPoint{P.x + Dx, P.y + Dy}; }
// round(fraction * 100).
int GetCents(double Value);
// round((X + 0.000001) * 100) / 100.
double CurRound(double X);
// Hexadecimal digits (one trailing "H" dropped, case ignored); 0 for "" or any other character.
Int64 HexToInt(const AnsiString& S);
// A number written with the locale's separator, or with "." or "," when only the other one occurs.
double StringToFloat(const AnsiString& S);
// S holds only digits, signs, "E" and the locale separator, at most 63 characters, and converts.
bool IsValidFloat(const AnsiString& S, double& Value);
// The integer digits of a number text grouped by ThousandSeparator when Thousands is set.
AnsiString FormatFloatStr(const AnsiString& S, bool Thousands);
AnsiString BoolToStr(bool Value);
TMessage MakeMessage(Cardinal Msg, WPARAM WParam, LPARAM LParam, LRESULT Result);

// --- Strings and words (words are maximal runs of characters not in Delims, numbered from 1) ---

int WordCount(const AnsiString& S, const TSysCharSet& Delims);
// Index of the first character of word N; 0 when there are fewer words.
int WordPosition(int N, const AnsiString& S, const TSysCharSet& Delims);
AnsiString ExtractWord(int N, const AnsiString& S, const TSysCharSet& Delims);
// Number of the first word equal to W, -1 when none.
int GetWordNumber(const AnsiString& W, const AnsiString& S, const TSysCharSet& Delims);
bool IsWordPresent(const AnsiString& W, const AnsiString& S, const TSysCharSet& Delims);
// The text from Pos (1-based) to the next delimiter; Pos moves past that delimiter.
AnsiString ExtractSubstr(const AnsiString& S, int& Pos, const TSysCharSet& Delims);
bool IsEmptyStr(const AnsiString& S, const TSysCharSet& EmptyChars);
AnsiString MakeStr(char C, int N);
// S padded with C on the left / right to length N.
AnsiString AddChar(char C, const AnsiString& S, int N);
AnsiString AddCharR(char C, const AnsiString& S, int N);
// Without trailing / leading / both kinds of blanks (the space character only).
AnsiString DelESpace(const AnsiString& S);
AnsiString DelBSpace(const AnsiString& S);
AnsiString DelRSpace(const AnsiString& S);
AnsiString DelChars(const AnsiString& S, char Chr);
// Every occurrence of OldStr replaced, left to right, inserted text not scanned again.
AnsiString ReplaceStr(const AnsiString& S, const AnsiString& OldStr, const AnsiString& NewStr);
bool SubStrInclude(const AnsiString& SubStr, const AnsiString& S, bool IgnoreCase);
// Apostrophes become grave accents, 0xA1 a capital I, line breaks blanks; trimmed.
AnsiString CorrectString(const AnsiString& S);
AnsiString OemToAnsiStr(const AnsiString& OemStr);

// --- The in-memory INI form: section names, each owning the string list of its lines ---------

void GetIniSections(TStringList* IniList, TStringList* SectionsList);
void GetIniSection(const AnsiString& Section, TStringList* Sections, TStrings* Dest);
AnsiString ReadIniString(TStringList* Sections, const AnsiString& Section, const AnsiString& NameString,
                         const AnsiString& Default);
// Decimal, or hexadecimal after "0x"; Default when the text is no integer.
int ReadIniInteger(TStringList* Sections, const AnsiString& Section, const AnsiString& NameString, int Default);

// --- Files and folders -------------------------------------------------------------------------

// The executable's folder with a trailing backslash / its lower-case name without extension.
AnsiString GetAppPath();
AnsiString GetAppName();
AnsiString GetSystemDir();
// "" stays ""; a trailing "/" becomes "\"; a drive letter gets ":\"; anything else a "\".
AnsiString NormalDir(const AnsiString& DirName);
bool DirExists(const AnsiString& Name);
bool ValidFileName(const AnsiString& FileName);
int GetFileSize(const AnsiString& FileName);
void GetDirs(const AnsiString& Path, TStrings* Items);
void CopyFiles(const AnsiString& Mask, const AnsiString& SrcDir, const AnsiString& DstDir);
// Deletes every file below Dir (and with Delete the emptied folders, a drive root excepted).
// False when something could not be deleted, Dir does not exist, or Dir is empty or not an
// absolute path (never the current folder by accident).
bool ClearDir(const AnsiString& Dir, bool Delete);
AnsiString ShortToLongFileName(const AnsiString& ShortName);
AnsiString LongToShortFileName(const AnsiString& LongName);
AnsiString ShortToLongPath(const AnsiString& ShortName);
AnsiString LongToShortPath(const AnsiString& LongName);
// The shell's icon of an existing file (Flags as SHGetFileInfo's), or null; the caller owns it.
std::unique_ptr<TIcon> GetIconForFile(const AnsiString& FullFileName, UINT Flags);

// --- Messages (through the skinned message dialog) ---------------------------------------------

void ShowWarning(const AnsiString& S);
void ShowError(const AnsiString& S);
bool CustomRequest(const AnsiString& S);
bool DeleteRequest();
void Alert();
void Alert(const AnsiString& S);
void Alert(int Value);
// Processes messages until MSecs milliseconds have passed.
void Delay(int MSecs);
// lfHeight of the system's status-bar font; 0 when it cannot be read.
int GetCaptionFontSize();
