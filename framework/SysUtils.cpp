// Strings, case tables, conversions and Format of the runtime's general utilities.
#include "SysUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

void Abort() { throw EAbort("Operation aborted"); }

// ---------------------------------------------------------------------------------------------
// 1-based helpers

Integer Pos(const AnsiString& sub, const AnsiString& s)
{
    if (sub.empty())
        return 0;
    const auto at = s.find(sub);
    return at == AnsiString::npos ? 0 : static_cast<Integer>(at) + 1;
}

AnsiString Copy(const AnsiString& s, Integer index, Integer count)
{
    if (index < 1)
        index = 1;
    const Integer len = Length(s);
    if (count <= 0 || index > len)
        return {};
    const Integer avail = len - index + 1;
    return s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count < avail ? count : avail));
}

void Delete(AnsiString& s, Integer index, Integer count)
{
    const Integer len = Length(s);
    if (index < 1 || index > len || count <= 0)
        return;
    const Integer avail = len - index + 1;
    s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count < avail ? count : avail));
}

void Insert(const AnsiString& sub, AnsiString& s, Integer index)
{
    if (index < 1)
        index = 1;
    if (index > Length(s))
        s += sub;
    else
        s.insert(static_cast<std::size_t>(index - 1), sub);
}

AnsiString StringOfChar(char ch, Integer count) { return count > 0 ? AnsiString(static_cast<std::size_t>(count), ch) : AnsiString(); }

// ---------------------------------------------------------------------------------------------
// Case tables of code page 1251

namespace {

// The Cyrillic letters of the code page besides А..Я (upper, lower).
constexpr unsigned char kOtherLetters[][2] = {
    {0x80, 0x90}, // Ђ ђ
    {0x81, 0x83}, // Ѓ ѓ
    {0x8A, 0x9A}, // Љ љ
    {0x8C, 0x9C}, // Њ њ
    {0x8D, 0x9D}, // Ќ ќ
    {0x8E, 0x9E}, // Ћ ћ
    {0x8F, 0x9F}, // Џ џ
    {0xA1, 0xA2}, // Ў ў
    {0xA3, 0xBC}, // Ј ј
    {0xA5, 0xB4}, // Ґ ґ
    {0xA8, 0xB8}, // Ё ё
    {0xAA, 0xBA}, // Є є
    {0xAF, 0xBF}, // Ї ї
    {0xB2, 0xB3}, // І і
    {0xBD, 0xBE}, // Ѕ ѕ
};

// Built by the compiler: a lookup needs no check that the tables are made.
struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    constexpr CaseTables()
    {
        for (int i = 0; i < 256; ++i)
            upper[i] = lower[i] = static_cast<unsigned char>(i);
        auto pair = [this](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) // А..Я / а..я
            pair(c, c + 32);
        for (const auto& p : kOtherLetters)
            pair(p[0], p[1]);
    }
};

constexpr CaseTables kCaseTables;

constexpr const CaseTables& Tables() { return kCaseTables; }

inline unsigned char U8(char c) { return static_cast<unsigned char>(c); }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

template <class Map>
Integer CompareMapped(const AnsiString& a, const AnsiString& b, Map map)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = U8(map(a[i])), y = U8(map(b[i]));
        if (x != y)
            return x - y;
    }
    return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}

} // namespace

char AnsiUpperChar(char c) { return static_cast<char>(Tables().upper[U8(c)]); }
char AnsiLowerChar(char c) { return static_cast<char>(Tables().lower[U8(c)]); }

namespace {
// s with every character mapped.
template <class Map>
AnsiString MapChars(const AnsiString& s, Map map)
{
    AnsiString r(s);
    for (char& c : r)
        c = map(c);
    return r;
}
} // namespace

AnsiString AnsiUpperCase(const AnsiString& s)
{
    const auto& upper = Tables().upper;
    return MapChars(s, [&upper](char c) { return static_cast<char>(upper[U8(c)]); });
}

AnsiString AnsiLowerCase(const AnsiString& s)
{
    const auto& lower = Tables().lower;
    return MapChars(s, [&lower](char c) { return static_cast<char>(lower[U8(c)]); });
}
AnsiString UpperCase(const AnsiString& s) { return MapChars(s, [](char c) { return AsciiUpper(c); }); }
AnsiString LowerCase(const AnsiString& s) { return MapChars(s, [](char c) { return AsciiLower(c); }); }

Integer CompareText(const AnsiString& a, const AnsiString& b) { return CompareMapped(a, b, AsciiUpper); }
bool SameText(const AnsiString& a, const AnsiString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }
Integer CompareStr(const AnsiString& a, const AnsiString& b) { return CompareMapped(a, b, [](char c) { return c; }); }
Integer AnsiCompareText(const AnsiString& a, const AnsiString& b) { return CompareMapped(a, b, AnsiUpperChar); }
bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return a.size() == b.size() && AnsiCompareText(a, b) == 0; }
Integer AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return CompareStr(a, b); }
bool AnsiSameStr(const AnsiString& a, const AnsiString& b) { return a == b; }

// ---------------------------------------------------------------------------------------------

AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags)
{
    if (oldPattern.empty())
        return s;
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    const AnsiString hay = ignoreCase ? AnsiUpperCase(s) : s;
    const AnsiString needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    AnsiString result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = hay.find(needle, from);
        if (at == AnsiString::npos)
            break;
        result.append(s, from, at - from);
        result += newPattern;
        from = at + needle.size();
        if (!(flags & rfReplaceAll))
            break;
    }
    result.append(s, from, AnsiString::npos);
    return result;
}

AnsiString Trim(const AnsiString& s)
{
    std::size_t from = 0, to = s.size();
    while (from < to && U8(s[from]) <= ' ')
        ++from;
    while (to > from && U8(s[to - 1]) <= ' ')
        --to;
    return s.substr(from, to - from);
}

AnsiString TrimLeft(const AnsiString& s)
{
    std::size_t i = 0;
    while (i < s.size() && U8(s[i]) <= ' ')
        ++i;
    return s.substr(i);
}

AnsiString TrimRight(const AnsiString& s)
{
    std::size_t n = s.size();
    while (n > 0 && U8(s[n - 1]) <= ' ')
        --n;
    return s.substr(0, n);
}

AnsiString AnsiProperCase(const AnsiString& S, const TSysCharSet& Delims)
{
    AnsiString r = AnsiLowerCase(S);
    bool wordStart = true;
    for (char& c : r) {
        if (Delims.Contains(c)) {
            wordStart = true;
        } else {
            if (wordStart)
                c = AnsiUpperChar(c);
            wordStart = false;
        }
    }
    return r;
}

AnsiString StripHotkey(const AnsiString& s)
{
    AnsiString r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                r += '&';
                ++i;
            }
            continue;
        }
        r += s[i];
    }
    return r;
}

AnsiString QuotedStr(const AnsiString& s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiQuotedStr(const AnsiString& s, char quote)
{
    AnsiString r(1, quote);
    for (char c : s) {
        r += c;
        if (c == quote)
            r += quote;
    }
    r += quote;
    return r;
}

AnsiString AnsiDequotedStr(const AnsiString& s, char quote)
{
    if (s.empty() || s[0] != quote)
        return s;
    AnsiString r;
    std::size_t i = 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            return r; // closing quote
        }
        r += s[i++];
    }
    return s; // no closing quote: not a quoted string
}

bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, Integer index)
{
    if (index < 1 || index > Length(s))
        return false;
    return delimiters.find(s[static_cast<std::size_t>(index - 1)]) != AnsiString::npos;
}

Integer LastDelimiter(const AnsiString& delimiters, const AnsiString& s)
{
    const auto at = s.find_last_of(delimiters);
    return at == AnsiString::npos ? 0 : static_cast<Integer>(at) + 1;
}

// ---------------------------------------------------------------------------------------------
// Code page 1251 <-> UTF-16

namespace {
// Bytes 0x80..0xBF; 0x98 is unassigned and kept as U+0098 so that it survives a round trip.
const wchar_t kHigh1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

wchar_t ByteToWide(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return static_cast<wchar_t>(0x0410 + (b - 0xC0)); // А..я are contiguous in both
    return kHigh1251[b - 0x80];
}

char WideToByte(wchar_t w)
{
    if (w < 0x80)
        return static_cast<char>(w);
    if (w >= 0x0410 && w <= 0x044F)
        return static_cast<char>(0xC0 + (w - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kHigh1251[i] == w)
            return static_cast<char>(0x80 + i);
    return '?';
}
} // namespace

std::wstring AnsiToWide(const AnsiString& s)
{
    std::wstring r;
    r.reserve(s.size());
    for (char c : s)
        r += ByteToWide(U8(c));
    return r;
}

AnsiString WideToAnsi(const std::wstring& s)
{
    AnsiString r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const wchar_t w = s[i];
        if (w >= 0xD800 && w <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            ++i; // a surrogate pair is one character
        r += WideToByte(w);
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// Integers

AnsiString IntToStr(int value) { return std::to_string(value); }
AnsiString IntToStr(long value) { return std::to_string(value); }
AnsiString IntToStr(unsigned value) { return std::to_string(value); }
AnsiString IntToStr(unsigned long value) { return std::to_string(value); }
AnsiString IntToStr(long long value) { return std::to_string(value); }
AnsiString IntToStr(unsigned long long value) { return std::to_string(value); }

AnsiString IntToHex(Int64 value, Integer digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
    AnsiString r(buf);
    if (Length(r) < digits)
        r.insert(0, static_cast<std::size_t>(digits - Length(r)), '0');
    return r;
}

namespace {

// Parses the framework's integer forms into an unsigned magnitude with a sign; false when malformed
// or beyond maxMagnitude (which differs for the negative side).
bool ParseInteger(const AnsiString& s, Int64 minValue, Int64 maxValue, Int64& out)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    // Hexadecimal text may spell the full unsigned range (e.g. $FFFFFFFF for -1 in 32 bits).
    const unsigned long long limit = base == 16 ? (maxValue == std::numeric_limits<Int64>::max()
                                                       ? std::numeric_limits<unsigned long long>::max()
                                                       : 2ULL * static_cast<unsigned long long>(maxValue) + 1ULL)
                                                : (negative ? static_cast<unsigned long long>(-(minValue + 1)) + 1ULL
                                                            : static_cast<unsigned long long>(maxValue));
    // The largest magnitude that may take one more digit, and the largest digit it may take then.
    const unsigned long long cutoff = limit / base, lastDigit = limit % base;
    unsigned long long magnitude = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (magnitude > cutoff || (magnitude == cutoff && digit > lastDigit))
            return false;
        magnitude = magnitude * base + digit;
    }
    Int64 value;
    if (base == 16) {
        // Wraps into the signed range like the framework: $FFFFFFFF is -1 for a 32-bit result.
        if (maxValue == std::numeric_limits<Integer>::max())
            value = static_cast<Integer>(static_cast<Cardinal>(magnitude));
        else
            value = static_cast<Int64>(magnitude);
        if (negative)
            value = -value;
    } else {
        value = negative ? static_cast<Int64>(0ULL - magnitude) : static_cast<Int64>(magnitude);
    }
    out = value;
    return true;
}

[[noreturn]] void NotAnInteger(const AnsiString& s) { throw EConvertError("'" + s + "' is not a valid integer value"); }

} // namespace

bool TryStrToInt(const AnsiString& s, Integer& value)
{
    Int64 v;
    if (!ParseInteger(s, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), v))
        return false;
    value = static_cast<Integer>(v);
    return true;
}

bool TryStrToInt64(const AnsiString& s, Int64& value)
{
    return ParseInteger(s, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(), value);
}

Integer StrToInt(const AnsiString& s)
{
    Integer v;
    if (!TryStrToInt(s, v))
        NotAnInteger(s);
    return v;
}

Int64 StrToInt64(const AnsiString& s)
{
    Int64 v;
    if (!TryStrToInt64(s, v))
        NotAnInteger(s);
    return v;
}

Integer StrToIntDef(const AnsiString& s, Integer def)
{
    Integer v;
    return TryStrToInt(s, v) ? v : def;
}

Int64 StrToInt64Def(const AnsiString& s, Int64 def)
{
    Int64 v;
    return TryStrToInt64(s, v) ? v : def;
}

// ---------------------------------------------------------------------------------------------
// Floats

namespace {
// Text of a C formatting routine with '.' turned into DecimalSeparator.
AnsiString WithSeparator(AnsiString s)
{
    for (char& c : s)
        if (c == '.')
            c = DecimalSeparator;
    return s;
}
// Rewrites the exponent of C library text ("E+05") in the framework's forms: general format drops
// the plus sign and leading zeros ("E5", "E-5"), scientific format shows at least three digits
// ("E+005").
AnsiString FixExponent(AnsiString s, bool general)
{
    const auto e = s.find_first_of("eE");
    if (e == AnsiString::npos)
        return s;
    std::size_t i = e + 1;
    char sign = '+';
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        sign = s[i++];
    AnsiString digits = s.substr(i);
    while (digits.size() > 1 && digits[0] == '0')
        digits.erase(0, 1);
    if (general)
        return s.substr(0, e + 1) + (sign == '-' ? "-" : "") + digits;
    while (digits.size() < 3)
        digits.insert(0, 1, '0');
    return s.substr(0, e + 1) + sign + digits;
}
} // namespace

char DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
char ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, ',');

Int64 Round(double value) { return static_cast<Int64>(std::nearbyint(value)); }
Int64 Trunc(double value) { return static_cast<Int64>(std::trunc(value)); }

AnsiString FloatToStr(double value)
{
    return FloatToStrF(value, ffGeneral, 15, 0);
}

AnsiString FloatToStrF(double value, TFloatFormat, int precision, int)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", std::clamp(precision, 2, 17), value);
    return WithSeparator(FixExponent(buf, true));
}

bool TryStrToFloat(const AnsiString& s, double& value)
{
    AnsiString t = Trim(s);
    if (t.empty())
        return false;
    for (char& c : t) {
        if (c == DecimalSeparator)
            c = '.';
        else if (c == '.' && DecimalSeparator != '.')
            return false;
    }
    // Only sign, digits, one point and an exponent are allowed (no hex, no "inf").
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-')
        ++i;
    bool digits = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, digits = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, digits = true;
    }
    if (!digits)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        bool expDigits = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, expDigits = true;
        if (!expDigits)
            return false;
    }
    if (i != t.size())
        return false;
    // A number beyond the range of a double is no number (strtod would give infinity).
    const double v = std::strtod(t.c_str(), nullptr);
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

double StrToFloat(const AnsiString& s)
{
    double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(const AnsiString& s, double def)
{
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

namespace {

// One section of a FormatFloat picture, scanned: its digit places before and after the point.
struct TFloatPicture {
    AnsiString Text;
    int IntPlaces = 0;    // '0' and '#' before the point
    int IntZeros = 0;     // places from the first '0' before the point to the point
    int Decimals = 0;     // places after the point
    int MinDecimals = 0;  // up to the last '0' after the point
    bool Thousands = false;

    explicit TFloatPicture(const AnsiString& Picture) : Text(Picture)
    {
        bool point = false;
        char quote = 0;
        for (char c : Picture) {
            if (quote) {
                quote = c == quote ? 0 : quote;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '.') {
                point = true;
            } else if (c == ',') {
                Thousands = true;
            } else if (c == '0' || c == '#') {
                if (point) {
                    ++Decimals;
                    if (c == '0')
                        MinDecimals = Decimals;
                } else {
                    ++IntPlaces;
                    if (c == '0' && IntZeros == 0)
                        IntZeros = 1;
                    else if (IntZeros > 0)
                        ++IntZeros;
                }
            }
        }
    }

    // Whether Value shows only zero digits in this picture.
    bool RoundsToZero(double Value) const
    {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.*f", Decimals, std::fabs(Value));
        return AnsiString(buf).find_first_not_of("0.") == AnsiString::npos;
    }

    // The picture filled with the digits of |Value|, '-' before the first digit when Minus.
    AnsiString Apply(double Value, bool Minus) const
    {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.*f", Decimals, std::fabs(Value));
        AnsiString intDigits(buf), frac;
        if (const auto dot = intDigits.find('.'); dot != AnsiString::npos) {
            frac = intDigits.substr(dot + 1);
            intDigits.erase(dot);
        }
        while (Length(frac) > MinDecimals && frac.back() == '0')
            frac.pop_back();
        if (intDigits == "0")
            intDigits.clear();
        while (Length(intDigits) < IntZeros)
            intDigits.insert(0, 1, '0');
        if (intDigits.empty() && frac.empty())
            intDigits = "0"; // a number shows at least one digit
        const int count = Length(intDigits);
        AnsiString out;
        bool started = false; // a digit of the integer part has been written
        auto put = [&](int Place) {
            // Place counts from 1 at the units digit.
            if (!started && Minus)
                out += '-';
            started = true;
            out += intDigits[static_cast<size_t>(count - Place)];
            if (Thousands && Place > 1 && (Place - 1) % 3 == 0)
                out += ThousandSeparator;
        };
        int place = IntPlaces, decimal = 0;
        bool point = false;
        char quote = 0;
        for (char c : Text) {
            if (quote) {
                if (c == quote)
                    quote = 0;
                else
                    out += c;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == ',') {
            } else if (c == '.' && !point) {
                point = true;
                if (!started && count > 0) // no integer place in the picture
                    for (int p = count; p >= 1; --p)
                        put(p);
                if (!frac.empty())
                    out += DecimalSeparator;
            } else if ((c == '0' || c == '#') && !point) {
                // The first place takes every digit the picture has no place for.
                if (place == IntPlaces)
                    for (int p = count; p > place; --p)
                        put(p);
                if (place <= count)
                    put(place);
                --place;
            } else if (c == '0' || c == '#') {
                if (decimal < Length(frac))
                    out += frac[static_cast<size_t>(decimal)];
                ++decimal;
            } else if (started || point || place == IntPlaces) {
                // A literal between the integer places shows once a digit stands before it, so
                // that "### ##0" puts no blank before a short number.
                out += c;
            }
        }
        return out;
    }
};

} // namespace

AnsiString FormatFloat(const AnsiString& format, double value)
{
    // Sections: positive;negative;zero.
    AnsiString sections[3];
    int count = 0;
    {
        AnsiString cur;
        char quote = 0;
        for (char c : format) {
            if (quote) {
                cur += c;
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
                cur += c;
            } else if (c == ';' && count < 2) {
                sections[count++] = cur;
                cur.clear();
            } else {
                cur += c;
            }
        }
        sections[count++] = cur;
    }
    // No picture, and numbers of 18 integer digits or more, take the general format.
    if (sections[0].empty() || !(std::fabs(value) < 1e18))
        return FloatToStr(value);
    const bool negativeSection = value < 0 && count >= 2 && !sections[1].empty();
    const TFloatPicture picture(negativeSection ? sections[1] : sections[0]);
    if (picture.RoundsToZero(value) && count >= 3 && !sections[2].empty())
        return TFloatPicture(sections[2]).Apply(0, false);
    return picture.Apply(value, value < 0 && !negativeSection && !picture.RoundsToZero(value));
}

// ---------------------------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void BadFormat(const AnsiString& format)
{
    throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

AnsiString Pad(AnsiString s, int width, bool left)
{
    if (width > Length(s)) {
        if (left)
            s.append(static_cast<std::size_t>(width - Length(s)), ' ');
        else
            s.insert(0, static_cast<std::size_t>(width - Length(s)), ' ');
    }
    return s;
}

} // namespace

AnsiString Format(const AnsiString& format, std::initializer_list<TVarRec> args)
{
    const TVarRec* argv = args.begin();
    const std::size_t argc = args.size();
    std::size_t next = 0;
    AnsiString out;
    const std::size_t n = format.size();
    std::size_t i = 0;
    auto nextArg = [&]() -> const TVarRec& {
        if (next >= argc)
            BadFormat(format);
        return argv[next++];
    };
    auto readNumber = [&](int& value) -> bool { // digits or '*'
        if (i < n && format[i] == '*') {
            const TVarRec& a = nextArg();
            if (a.Kind != TVarRec::vtInt64 && a.Kind != TVarRec::vtUInt64)
                BadFormat(format);
            value = static_cast<int>(a.I);
            ++i;
            return true;
        }
        bool any = false;
        value = 0;
        while (i < n && format[i] >= '0' && format[i] <= '9') {
            value = value * 10 + (format[i] - '0');
            if (value > 100000)
                BadFormat(format);
            ++i;
            any = true;
        }
        return any;
    };
    while (i < n) {
        const char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= n)
            BadFormat(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // [index:] [-] [width] [.prec] type
        int number = 0;
        bool left = false;
        int width = -1, prec = -1;
        const std::size_t specStart = i;
        if (format[i] != '*' && readNumber(number) && i < n && format[i] == ':') {
            next = static_cast<std::size_t>(number);
            ++i;
        } else {
            i = specStart;
        }
        if (i < n && format[i] == '-') {
            left = true;
            ++i;
        }
        if (readNumber(number)) {
            width = number;
            if (width < 0) { // a negative width from '*' justifies left, as printf does
                left = true;
                width = -width;
            }
        }
        if (i < n && format[i] == '.') {
            ++i;
            prec = readNumber(number) ? number : 0;
            if (prec < 0)
                prec = -1;
        }
        if (i >= n)
            BadFormat(format);
        const char type = format[i++];
        const TVarRec& a = nextArg();
        AnsiString text;
        char buf[512];
        switch (type) {
        case 'd':
        case 'D':
        case 'u':
        case 'U': {
            if (a.Kind != TVarRec::vtInt64 && a.Kind != TVarRec::vtUInt64)
                BadFormat(format);
            bool neg;
            unsigned long long mag;
            if (a.Kind == TVarRec::vtInt64) {
                neg = a.I < 0;
                mag = neg ? 0ULL - static_cast<unsigned long long>(a.I) : static_cast<unsigned long long>(a.I);
            } else {
                neg = false;
                mag = a.U;
            }
            if ((type == 'u' || type == 'U') && neg) { // unsigned view of a 32-bit value
                neg = false;
                mag = static_cast<Cardinal>(a.I);
            }
            text = std::to_string(mag);
            if (prec > Length(text))
                text.insert(0, static_cast<std::size_t>(prec - Length(text)), '0');
            if (neg)
                text.insert(0, 1, '-');
            break;
        }
        case 'x':
        case 'X': {
            if (a.Kind != TVarRec::vtInt64 && a.Kind != TVarRec::vtUInt64)
                BadFormat(format);
            unsigned long long v = a.Kind == TVarRec::vtUInt64 ? a.U : static_cast<unsigned long long>(a.I);
            // A negative 32-bit value shows as its 32-bit pattern.
            if (a.Kind == TVarRec::vtInt64 && a.I < 0 && a.I >= std::numeric_limits<Integer>::min())
                v = static_cast<Cardinal>(a.I);
            std::snprintf(buf, sizeof buf, type == 'x' ? "%llx" : "%llX", v);
            text = buf;
            if (prec > Length(text))
                text.insert(0, static_cast<std::size_t>(prec - Length(text)), '0');
            break;
        }
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'n':
        case 'N':
        case 'm':
        case 'M': {
            double v;
            if (a.Kind == TVarRec::vtExtended)
                v = a.D;
            else
                BadFormat(format);
            const char t = static_cast<char>(type | 0x20);
            if (t == 'g') {
                std::snprintf(buf, sizeof buf, "%.*G", prec < 0 ? 15 : (prec == 0 ? 1 : prec), v);
            } else if (t == 'e') {
                std::snprintf(buf, sizeof buf, "%.*E", prec < 0 ? 14 : (prec == 0 ? 0 : prec - 1), v);
            } else {
                std::snprintf(buf, sizeof buf, "%.*f", prec < 0 ? 2 : (prec > 300 ? 300 : prec), v);
            }
            text = t == 'f' || t == 'n' || t == 'm' ? AnsiString(buf) : FixExponent(buf, t == 'g');
            if (t == 'n' || t == 'm') {
                // Thousands groups with blanks (the Russian locale's separator).
                const std::size_t start = text[0] == '-' ? 1 : 0;
                std::size_t end = text.find('.');
                if (end == AnsiString::npos)
                    end = text.size();
                for (std::size_t k = end; k > start + 3; k -= 3)
                    text.insert(k - 3, 1, ' ');
            }
            text = WithSeparator(text);
            break;
        }
        case 's':
        case 'S': {
            if (a.Kind == TVarRec::vtString)
                text.assign(a.S, a.SLen);
            else if (a.Kind == TVarRec::vtChar)
                text.assign(1, a.C);
            else
                BadFormat(format);
            if (prec >= 0 && prec < Length(text))
                text.resize(static_cast<std::size_t>(prec));
            break;
        }
        case 'c':
        case 'C':
            if (a.Kind != TVarRec::vtChar)
                BadFormat(format);
            text.assign(1, a.C);
            break;
        case 'p':
        case 'P':
            if (a.Kind != TVarRec::vtPointer)
                BadFormat(format);
            std::snprintf(buf, sizeof buf, "%08lX", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(a.P)));
            text = buf;
            break;
        default:
            BadFormat(format);
        }
        out += Pad(text, width, left);
    }
    return out;
}
