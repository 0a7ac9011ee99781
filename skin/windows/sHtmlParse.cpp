#include "sHtmlParse.h"

#include <algorithm>
#include <climits>

#include "SysUtils.h"
#include "sUtils.h"

namespace {

// Words of a tag's attributes.
const TSysCharSet kDelims("\n\r \"<=>");

// 1-based position of the first occurrence of Sub in S, 0 when none.
int Pos(const AnsiString& Sub, const AnsiString& S)
{
    const auto p = S.find(Sub);
    return p == AnsiString::npos ? 0 : static_cast<int>(p) + 1;
}

// The tag's first occurrence of Word starts at character N ('<' being character 1).
bool At(const AnsiString& Tag, const char* Word, int N)
{
    return Pos(Word, Tag) == N;
}

struct TColorName {
    const char* Name;
    TColor Value;
};
const TColorName kColorNames[] = {
    {"AQUA", 0xFFFF00},  {"BLACK", 0x000000}, {"BLUE", 0xFF0000},   {"FUCHSIA", 0xFF00FF},
    {"GRAY", 0x808080},  {"GREEN", 0x008000}, {"LIME", 0x00FF00},   {"MAROON", 0x000080},
    {"NAVY", 0x800000},  {"OLIVE", 0x008080}, {"PURPLE", 0x800080}, {"RED", 0x0000FF},
    {"SILVER", 0xC0C0C0}, {"TEAL", 0x808000}, {"WHITE", 0xFFFFFF},  {"YELLOW", 0x00FFFF},
};

void AddStyle(TCanvas* Canvas, TFontStyle Style, bool On)
{
    TFontStyles s = Canvas->Font()->Style();
    if (On)
        s.Include(Style);
    else
        s.Exclude(Style);
    Canvas->Font()->SetStyle(s);
}

} // namespace

namespace sHtmlParse {

AnsiString GetTag(const AnsiString& Text, int Pos)
{
    if (Pos < 1 || Pos > static_cast<int>(Text.size()))
        return {};
    const auto close = Text.find('>', static_cast<std::size_t>(Pos - 1));
    if (close == AnsiString::npos)
        return {};
    return Text.substr(static_cast<std::size_t>(Pos - 1), close - static_cast<std::size_t>(Pos - 1) + 1);
}

int HexToInt(const AnsiString& Text)
{
    double sum = 0, weight = 1;
    for (auto it = Text.rbegin(); it != Text.rend(); ++it) {
        int digit;
        if (*it >= '0' && *it <= '9')
            digit = *it - '0';
        else if (*it >= 'A' && *it <= 'F')
            digit = *it - 'A' + 10;
        else
            return -1;
        sum += digit * weight;
        weight *= 16;
    }
    if (sum > INT_MAX)
        return -1;
    return static_cast<int>(Round(sum));
}

void SetFont(TFont* Font, const AnsiString& Tag)
{
    const int count = WordCount(Tag, kDelims);
    for (int k = 1; k <= count; ++k) {
        const AnsiString word = ExtractWord(k, Tag, kDelims);
        if (word == "SIZE") {
            const AnsiString v = ExtractWord(k + 1, Tag, kDelims);
            if (v.empty())
                continue;
            if (v[0] == '-')
                Font->SetSize(Font->Size() - StrToInt(v.substr(1)));
            else if (v[0] == '+')
                Font->SetSize(Font->Size() + StrToInt(v.substr(1)));
            else
                Font->SetSize(StrToInt(v));
        } else if (word == "COLOR") {
            const AnsiString v = ExtractWord(k + 1, Tag, kDelims);
            if (v.empty())
                continue;
            TColor color;
            if (v[0] == '#') {
                color = HexToInt(v.substr(1));
            } else {
                const auto named = std::find_if(std::begin(kColorNames), std::end(kColorNames),
                                                [&](const TColorName& c) { return v == c.Name; });
                color = named != std::end(kColorNames) ? named->Value : HexToInt(v);
            }
            Font->SetColor(color);
        } else if (word == "FACE") {
            const auto face = Tag.find("FACE");
            const auto q1 = Tag.find('"', face);
            const auto q2 = q1 == AnsiString::npos ? AnsiString::npos : Tag.find('"', q1 + 1);
            if (q2 != AnsiString::npos && q2 > q1 + 1)
                Font->SetName(Tag.substr(q1 + 1, q2 - q1 - 1));
        }
    }
}

} // namespace sHtmlParse

TsHtml::~TsHtml()
{
    Bitmap = nullptr;
    while (!Fonts.empty())
        Fonts.pop_back();
}

void TsHtml::Init(TBitmap* ABitmap, const AnsiString& AText, const TRect& AR)
{
    Bitmap = ABitmap;
    Text = AText;
    R = AR;
    UpperText = AnsiUpperCase(AText);
    Length = static_cast<int>(UpperText.size());
    CurX = AR.left;
    CurY = AR.top;
    MaxRowWidth = 0;
    TotalHeight = 0;
    RowWidth = 0;
    RowHeight = 0;
    Alignment = 0;
}

TRect TsHtml::HTMLText()
{
    int i = 1, start = 1;
    for (;; ++i) {
        if (i > Length) {
            if (i > start)
                ShowCut(i, start);
            break;
        }
        if (UpperText[i - 1] != '<')
            continue;
        if (i < Length && UpperText[i] == '<') {
            // "<<" is one '<' drawn with the text after it.
            if (i > start)
                ShowCut(i, start);
            ++i;
            start = i;
            continue;
        }
        if (i > start)
            ShowCut(i, start);
        const AnsiString tag = sHtmlParse::GetTag(UpperText, i);
        // An unclosed tag ends the text; the row drawn so far still counts.
        if (tag.empty())
            break;
        ExecTag(tag);
        i += static_cast<int>(tag.size()) - 1;
        start = i + 1;
    }
    MaxRowWidth = std::max(MaxRowWidth, RowWidth);
    RowWidth = 0;
    TotalHeight = CurY + RowHeight;
    return TRect{0, 0, MaxRowWidth, TotalHeight};
}

void TsHtml::ExecTag(const AnsiString& Tag)
{
    TCanvas* canvas = Bitmap->Canvas();
    const bool closing = At(Tag, "/", 2);
    if (closing && At(Tag, "B", 3))
        AddStyle(canvas, fsBold, false);
    else if (closing && At(Tag, "I", 3))
        AddStyle(canvas, fsItalic, false);
    else if (closing && At(Tag, "FONT", 3))
        BackFont();
    else if (At(Tag, "BR", 2)) {
        CurX = R.left;
        NewRow();
    } else if (At(Tag, "B", 2))
        AddStyle(canvas, fsBold, true);
    else if (At(Tag, "I", 2))
        AddStyle(canvas, fsItalic, true);
    else if (At(Tag, "P", 2)) {
        CurX = R.left;
        NewRow();
        SetAlignment(Tag);
    } else if (At(Tag, "FONT", 2))
        NewFont(Tag);
}

void TsHtml::NewFont(const AnsiString& Tag)
{
    auto saved = std::make_unique<TFont>();
    saved->Assign(Bitmap->Canvas()->Font());
    Fonts.push_back(std::move(saved));
    sHtmlParse::SetFont(Bitmap->Canvas()->Font(), Tag);
}

void TsHtml::BackFont()
{
    if (Fonts.empty())
        return;
    Bitmap->Canvas()->Font()->Assign(Fonts.back().get());
    Fonts.pop_back();
}

void TsHtml::NewRow()
{
    CurY += RowHeight + 2;
    MaxRowWidth = std::max(MaxRowWidth, RowWidth);
    RowWidth = 0;
    RowHeight = 0;
}

void TsHtml::SetAlignment(const AnsiString& Tag)
{
    const int count = WordCount(Tag, kDelims);
    for (int k = 1; k < count; ++k) {
        if (ExtractWord(k, Tag, kDelims) != "ALIGN")
            continue;
        const AnsiString v = ExtractWord(k + 1, Tag, kDelims);
        if (v == "CENTER")
            Alignment = 2;
        else if (v == "LEFT")
            Alignment = 0;
        else if (v == "RIGHT")
            Alignment = 1;
    }
}

void TsHtml::ShowCut(int UpTo, int& Start)
{
    AnsiString s;
    for (int k = Start; k < UpTo && k <= static_cast<int>(Text.size()); ++k)
        if (Text[k - 1] != '\n' && Text[k - 1] != '\r')
            s += Text[k - 1];
    if (!s.empty()) {
        TCanvas* canvas = Bitmap->Canvas();
        canvas->TextOut(CurX, CurY, s);
        CurX += canvas->TextWidth(s);
        RowWidth = CurX;
        RowHeight = std::max(RowHeight, canvas->TextHeight("X"));
    }
    Start = UpTo;
}
