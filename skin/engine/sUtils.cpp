#include "sUtils.h"

#include <cmath>
#include <shellapi.h>

#include "Forms.h"
#include "sDialogs.h"

// --- Numbers and rectangles --------------------------------------------------------------------

int SumTrans(int T1, int T2)
{
    return static_cast<int>(Round((100.0 - T2) * T1 / 100.0 + T2));
}

bool RectIsVisible(const TRect& R1, const TRect& R2)
{
    return R2.bottom > R1.top && R2.right > R1.left && R2.left < R1.right && R2.top < R1.bottom &&
           WidthOf(R2) > 0 && HeightOf(R2) > 0;
}

bool RectInRect(const TRect& Outer, const TRect& Inner)
{
    auto inside = [&Outer](LONG x, LONG y) {
        return x >= Outer.left && x <= Outer.right && y >= Outer.top && y <= Outer.bottom;
    };
    return inside(Inner.left, Inner.top) && inside(Inner.right, Inner.bottom);
}

int GetCents(double Value)
{
    return static_cast<int>(Round((Value - std::trunc(Value)) * 100));
}

double CurRound(double X)
{
    return static_cast<double>(Round((X + 0.000001) * 100)) / 100;
}

Int64 HexToInt(const AnsiString& S)
{
    AnsiString s = UpperCase(S);
    if (!s.empty() && s.back() == 'H')
        s.pop_back();
    unsigned long long v = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            v = v * 16 + static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v * 16 + static_cast<unsigned>(c - 'A' + 10);
        else
            return 0;
    }
    return static_cast<Int64>(v);
}

namespace {
// Digits of a text that may be empty (0 then); EConvertError for anything else.
Int64 DigitsValue(const AnsiString& S)
{
    return S.empty() ? 0 : StrToInt64(S);
}
} // namespace

double StringToFloat(const AnsiString& S)
{
    AnsiString s = Trim(S);
    if (s.empty())
        return 0;
    char sep = DecimalSeparator;
    if (sep == '.' && s.find('.') == AnsiString::npos && s.find(',') != AnsiString::npos)
        sep = ',';
    else if (sep == ',' && s.find(',') == AnsiString::npos && s.find('.') != AnsiString::npos)
        sep = '.';
    if (s[0] == sep)
        s.insert(0, 1, '0');
    const auto p = s.find(sep);
    if (p == AnsiString::npos)
        return StrToInt(s);
    double sign = 1;
    AnsiString t = s;
    if (t[0] == '-') {
        sign = -1;
        t.erase(0, 1);
    }
    const auto q = t.find(sep);
    const AnsiString fraction = t.substr(q + 1, 6);
    return (static_cast<double>(DigitsValue(t.substr(0, q))) +
            static_cast<double>(DigitsValue(fraction)) / std::pow(10.0, static_cast<double>(fraction.size()))) *
           sign;
}

bool IsValidFloat(const AnsiString& S, double& Value)
{
    if (S.empty() || S.size() > 63)
        return false;
    for (char c : S)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' || c == DecimalSeparator))
            return false;
    double v;
    if (!TryStrToFloat(S, v))
        return false;
    Value = v;
    return true;
}

AnsiString FormatFloatStr(const AnsiString& S, bool Thousands)
{
    AnsiString sign, s = S;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        sign = s.substr(0, 1);
        s.erase(0, 1);
    }
    const auto end = s.find_first_of(AnsiString("Ee") + DecimalSeparator);
    const AnsiString digits = s.substr(0, end), rest = end == AnsiString::npos ? AnsiString() : s.substr(end);
    AnsiString grouped;
    int n = 0;
    for (auto i = digits.size(); i-- > 0;) {
        grouped.insert(0, 1, digits[i]);
        if (Thousands && ++n % 3 == 0 && i > 0)
            grouped.insert(0, 1, ThousandSeparator);
    }
    return sign + grouped + rest;
}

AnsiString BoolToStr(bool Value)
{
    return Value ? "True" : "False";
}

TMessage MakeMessage(Cardinal Msg, WPARAM WParam, LPARAM LParam, LRESULT Result)
{
    TMessage m{};
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    m.Result = Result;
    return m;
}

// --- Strings and words -------------------------------------------------------------------------

int WordCount(const AnsiString& S, const TSysCharSet& Delims)
{
    int count = 0;
    bool inWord = false;
    for (char c : S) {
        const bool delim = Delims.Contains(c);
        if (!delim && !inWord)
            ++count;
        inWord = !delim;
    }
    return count;
}

int WordPosition(int N, const AnsiString& S, const TSysCharSet& Delims)
{
    int count = 0;
    bool inWord = false;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const bool delim = Delims.Contains(S[i]);
        if (!delim && !inWord && ++count == N)
            return static_cast<int>(i) + 1;
        inWord = !delim;
    }
    return 0;
}

AnsiString ExtractWord(int N, const AnsiString& S, const TSysCharSet& Delims)
{
    const int p = WordPosition(N, S, Delims);
    if (p == 0)
        return {};
    auto i = static_cast<std::size_t>(p - 1), j = i;
    while (j < S.size() && !Delims.Contains(S[j]))
        ++j;
    return S.substr(i, j - i);
}

int GetWordNumber(const AnsiString& W, const AnsiString& S, const TSysCharSet& Delims)
{
    const int n = WordCount(S, Delims);
    for (int i = 1; i <= n; ++i)
        if (ExtractWord(i, S, Delims) == W)
            return i;
    return -1;
}

bool IsWordPresent(const AnsiString& W, const AnsiString& S, const TSysCharSet& Delims)
{
    return GetWordNumber(W, S, Delims) > 0;
}

AnsiString ExtractSubstr(const AnsiString& S, int& Pos, const TSysCharSet& Delims)
{
    int i = Pos < 1 ? 1 : Pos;
    const int start = i;
    while (i <= Length(S) && !Delims.Contains(S[static_cast<std::size_t>(i - 1)]))
        ++i;
    AnsiString r = Copy(S, start, i - start);
    if (i <= Length(S))
        ++i;
    Pos = i;
    return r;
}

bool IsEmptyStr(const AnsiString& S, const TSysCharSet& EmptyChars)
{
    for (char c : S)
        if (!EmptyChars.Contains(c))
            return false;
    return true;
}

AnsiString MakeStr(char C, int N)
{
    return StringOfChar(C, N);
}

AnsiString AddChar(char C, const AnsiString& S, int N)
{
    return Length(S) < N ? StringOfChar(C, N - Length(S)) + S : S;
}

AnsiString AddCharR(char C, const AnsiString& S, int N)
{
    return Length(S) < N ? S + StringOfChar(C, N - Length(S)) : S;
}

AnsiString DelESpace(const AnsiString& S)
{
    const auto e = S.find_last_not_of(' ');
    return e == AnsiString::npos ? AnsiString() : S.substr(0, e + 1);
}

AnsiString DelBSpace(const AnsiString& S)
{
    const auto b = S.find_first_not_of(' ');
    return b == AnsiString::npos ? AnsiString() : S.substr(b);
}

AnsiString DelRSpace(const AnsiString& S)
{
    return DelBSpace(DelESpace(S));
}

AnsiString DelChars(const AnsiString& S, char Chr)
{
    AnsiString r;
    r.reserve(S.size());
    for (char c : S)
        if (c != Chr)
            r += c;
    return r;
}

AnsiString ReplaceStr(const AnsiString& S, const AnsiString& OldStr, const AnsiString& NewStr)
{
    if (OldStr.empty())
        return S;
    AnsiString r;
    std::size_t from = 0;
    for (auto p = S.find(OldStr); p != AnsiString::npos; p = S.find(OldStr, from)) {
        r.append(S, from, p - from);
        r += NewStr;
        from = p + OldStr.size();
    }
    r.append(S, from, AnsiString::npos);
    return r;
}

bool SubStrInclude(const AnsiString& SubStr, const AnsiString& S, bool IgnoreCase)
{
    if (IgnoreCase)
        return UpperCase(S).find(UpperCase(SubStr)) != AnsiString::npos;
    return S.find(SubStr) != AnsiString::npos;
}

AnsiString CorrectString(const AnsiString& S)
{
    AnsiString r = S;
    for (char& c : r) {
        if (c == '\'')
            c = '`';
        else if (static_cast<unsigned char>(c) == 0xA1)
            c = 'I';
        else if (c == '\r' || c == '\n')
            c = ' ';
    }
    return DelRSpace(r);
}

AnsiString OemToAnsiStr(const AnsiString& OemStr)
{
    AnsiString r = OemStr;
    if (!r.empty())
        OemToCharBuffA(r.data(), r.data(), static_cast<DWORD>(r.size()));
    return r;
}

// --- The in-memory INI form --------------------------------------------------------------------

void GetIniSections(TStringList* IniList, TStringList* SectionsList)
{
    SectionsList->SetOwnsObjects(true);
    SectionsList->Clear();
    TStringList* current = nullptr;
    for (int i = 0; i < IniList->Count(); ++i) {
        const AnsiString& line = (*IniList)[i];
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
            current = new TStringList;
            SectionsList->AddObject(line.substr(1, line.size() - 2), current);
        } else if (current) {
            current->Add(line);
        }
    }
}

namespace {
TStringList* SectionLines(TStringList* Sections, const AnsiString& Section)
{
    const int i = Sections->IndexOf(Section);
    return i < 0 ? nullptr : static_cast<TStringList*>(Sections->Objects(i));
}
} // namespace

void GetIniSection(const AnsiString& Section, TStringList* Sections, TStrings* Dest)
{
    Dest->BeginUpdate();
    Dest->Clear();
    if (TStringList* lines = SectionLines(Sections, Section))
        Dest->AddStrings(lines);
    Dest->EndUpdate();
}

AnsiString ReadIniString(TStringList* Sections, const AnsiString& Section, const AnsiString& NameString,
                         const AnsiString& Default)
{
    if (TStringList* lines = SectionLines(Sections, Section)) {
        for (int i = 0; i < lines->Count(); ++i) {
            const AnsiString& line = (*lines)[i];
            const auto eq = line.find('=');
            if (eq != AnsiString::npos && AnsiSameText(line.substr(0, eq), NameString))
                return line.substr(eq + 1);
        }
    }
    return Default;
}

int ReadIniInteger(TStringList* Sections, const AnsiString& Section, const AnsiString& NameString, int Default)
{
    const AnsiString s = ReadIniString(Sections, Section, NameString, "");
    int v;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        return TryStrToInt(s, v) ? v : Default;
    // Decimal only: an optional sign and digits.
    const std::size_t digits = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (s.size() == digits || s.find_first_not_of("0123456789", digits) != AnsiString::npos)
        return Default;
    return TryStrToInt(s, v) ? v : Default;
}

// --- Files and folders -------------------------------------------------------------------------

AnsiString GetAppPath()
{
    return ExeDir();
}

AnsiString GetAppName()
{
    return AnsiLowerCase(ChangeFileExt(ExtractFileName(ExeName()), ""));
}

AnsiString GetSystemDir()
{
    char buf[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? AnsiString(buf, n) : AnsiString();
}

AnsiString NormalDir(const AnsiString& DirName)
{
    if (DirName.empty() || DirName.back() == '\\')
        return DirName;
    if (DirName.back() == '/')
        return DirName.substr(0, DirName.size() - 1) + "\\";
    return DirName + (DirName.size() == 1 ? ":\\" : "\\");
}

bool DirExists(const AnsiString& Name)
{
    return DirectoryExists(Name);
}

bool ValidFileName(const AnsiString& FileName)
{
    return !FileName.empty() && FileName.find_first_of("<>\"[]|") == AnsiString::npos;
}

int GetFileSize(const AnsiString& FileName)
{
    TSearchRec rec;
    if (FindFirst(FileName, faAnyFile, rec) != 0)
        return -1;
    const int size = static_cast<int>(rec.Size);
    FindClose(rec);
    return size;
}

void GetDirs(const AnsiString& Path, TStrings* Items)
{
    Items->Clear();
    TSearchRec rec;
    if (FindFirst(NormalDir(Path) + "*", faDirectory, rec) != 0)
        return;
    do {
        if ((rec.Attr & faDirectory) && !rec.Name.empty() && rec.Name[0] != '.')
            Items->Add(rec.Name);
    } while (FindNext(rec) == 0);
    FindClose(rec);
}

void CopyFiles(const AnsiString& Mask, const AnsiString& SrcDir, const AnsiString& DstDir)
{
    const AnsiString src = NormalDir(SrcDir), dst = NormalDir(DstDir);
    if (!DirectoryExists(dst))
        ForceDirectories(ExcludeTrailingBackslash(dst));
    TSearchRec rec;
    if (FindFirst(src + Mask, faAnyFile & ~faVolumeID & ~faDirectory, rec) != 0)
        return;
    do {
        if (!rec.Name.empty() && rec.Name[0] != '.' && !(rec.Attr & (faVolumeID | faDirectory)))
            SafeWriteFileBytes(dst + rec.Name, LoadFileBytes(src + rec.Name));
    } while (FindNext(rec) == 0);
    FindClose(rec);
}

namespace {
bool IsAbsolutePath(const AnsiString& Path)
{
    return (Path.size() >= 3 && Path[1] == ':' && (Path[2] == '\\' || Path[2] == '/')) ||
           (Path.size() >= 3 && Path[0] == '\\' && Path[1] == '\\');
}

bool IsDriveRoot(const AnsiString& Dir)
{
    return Dir.size() <= 3 && Dir.size() >= 2 && Dir[1] == ':';
}

bool ClearFolder(const AnsiString& Dir, bool Delete)
{
    bool ok = true;
    TSearchRec rec;
    if (FindFirst(Dir + "*", faAnyFile, rec) == 0) {
        do {
            if (rec.Name == "." || rec.Name == "..")
                continue;
            const AnsiString path = Dir + rec.Name;
            if (rec.Attr & faDirectory) {
                ok = ClearFolder(path + "\\", Delete) && ok;
                if (Delete)
                    ok = RemoveDir(path) && ok;
            } else {
                if (rec.Attr & faReadOnly)
                    FileSetAttr(path, rec.Attr & ~faReadOnly);
                ok = DeleteFile(path) && ok;
            }
        } while (FindNext(rec) == 0);
        FindClose(rec);
    }
    return ok;
}
} // namespace

bool ClearDir(const AnsiString& Dir, bool Delete)
{
    if (!IsAbsolutePath(Dir) || !DirectoryExists(ExcludeTrailingBackslash(Dir)))
        return false;
    const AnsiString dir = NormalDir(Dir);
    bool ok = ClearFolder(dir, Delete);
    if (Delete && !IsDriveRoot(ExcludeTrailingBackslash(dir)))
        ok = RemoveDir(ExcludeTrailingBackslash(dir)) && ok;
    return ok;
}

namespace {
// The long or short name of the file found for S; the other one when empty; "" when none.
AnsiString FoundName(const AnsiString& S, bool Long)
{
    WIN32_FIND_DATAA fd{};
    HANDLE h = FindFirstFileA(S.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    FindClose(h);
    AnsiString longName = fd.cFileName, shortName = fd.cAlternateFileName;
    if (Long)
        return longName.empty() ? shortName : longName;
    return shortName.empty() ? longName : shortName;
}

AnsiString ConvertPath(const AnsiString& S, bool Long)
{
    AnsiString rest = S, result;
    for (auto slash = rest.rfind('\\'); slash != AnsiString::npos; slash = rest.rfind('\\')) {
        result = "\\" + FoundName(rest, Long) + result;
        rest.erase(slash);
    }
    return rest + result;
}
} // namespace

AnsiString ShortToLongFileName(const AnsiString& ShortName)
{
    return FoundName(ShortName, true);
}

AnsiString LongToShortFileName(const AnsiString& LongName)
{
    return FoundName(LongName, false);
}

AnsiString ShortToLongPath(const AnsiString& ShortName)
{
    return ConvertPath(ShortName, true);
}

AnsiString LongToShortPath(const AnsiString& LongName)
{
    return ConvertPath(LongName, false);
}

std::unique_ptr<TIcon> GetIconForFile(const AnsiString& FullFileName, UINT Flags)
{
    if (!FileExists(FullFileName))
        return nullptr;
    SHFILEINFOA info{};
    SHGetFileInfoA(FullFileName.c_str(), 0, &info, sizeof info, Flags | SHGFI_ICON);
    if (!info.hIcon)
        return nullptr;
    auto icon = std::make_unique<TIcon>();
    icon->SetHandle(info.hIcon);
    return icon;
}

// --- Messages ----------------------------------------------------------------------------------

void ShowWarning(const AnsiString& S)
{
    sMessageDlg(S, mtWarning, TMsgDlgButtons{mbOK}, 0);
}

void ShowError(const AnsiString& S)
{
    sMessageDlg(S, mtError, TMsgDlgButtons{mbOK}, 0);
}

bool CustomRequest(const AnsiString& S)
{
    return sMessageDlg(S, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
}

bool DeleteRequest()
{
    return CustomRequest("Delete this item?");
}

void Alert()
{
    ShowWarning("Alert");
}

void Alert(const AnsiString& S)
{
    ShowWarning(S);
}

void Alert(int Value)
{
    ShowWarning(IntToStr(Value));
}

void Delay(int MSecs)
{
    const Cardinal start = SysUtils::GetTickCount();
    while (static_cast<int>(SysUtils::GetTickCount() - start) < MSecs) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

int GetCaptionFontSize()
{
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0))
        return 0;
    return m.lfStatusFont.lfHeight;
}
