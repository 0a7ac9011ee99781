// The small mark-up of hint texts: measures and draws a text with bold, italic, font changes (a
// stack of saved fonts), line breaks and paragraphs onto a bitmap's canvas. Tags are read from
// the upper-cased text, so their case does not matter; rows end only at BR and P tags.
#pragma once

#include <memory>
#include <vector>

#include "Graphics.h"
#include "Types.h"

class TsHtml : public TObject {
    VCL_CLASS(TsHtml, TObject)
public:
    TsHtml() = default;
    ~TsHtml() override;

    // Starts a layout of Text on Bitmap's canvas (whose font is the starting font) at the
    // top-left corner of R.
    void Init(TBitmap* Bitmap, const AnsiString& Text, const TRect& R);
    // Lays out and draws the whole text; answers (0, 0, widest row's right end, bottom of the
    // last row).
    TRect HTMLText();

    // Steps of the layout.
    void ExecTag(const AnsiString& Tag);
    void NewFont(const AnsiString& Tag);
    void BackFont();
    void NewRow();
    void SetAlignment(const AnsiString& Tag);
    // Draws the characters from Start up to UpTo - 1 (1-based, line breaks left out) and moves
    // Start to UpTo.
    void ShowCut(int UpTo, int& Start);

    TBitmap* Bitmap = nullptr;
    int CurX = 0;
    int CurY = 0;
    int Length = 0;
    AnsiString Text;
    AnsiString UpperText;
    std::vector<std::unique_ptr<TFont>> Fonts;
    TRect R{};
    int MaxRowWidth = 0;
    int TotalHeight = 0;
    int RowWidth = 0;
    int RowHeight = 0;
    // 0 left, 1 right, 2 centre (from P ALIGN=); kept, rows are drawn from the left edge.
    Byte Alignment = 0;
};

namespace sHtmlParse {
// The tag that starts at Pos (1-based) of Text, its "<" and ">" included; empty when no ">"
// follows.
AnsiString GetTag(const AnsiString& Text, int Pos);
// Applies the SIZE, COLOR and FACE attributes of an upper-case FONT tag to Font.
void SetFont(TFont* Font, const AnsiString& Tag);
// Hexadecimal digits 0-9 and A-F (upper case only) as a number; -1 for any other character or a
// value beyond the Integer range; 0 for an empty text.
int HexToInt(const AnsiString& Text);
} // namespace sHtmlParse
