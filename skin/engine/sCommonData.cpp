#include "sCommonData.h"

#include <vector>

#include "ClassesFiler.h"

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBmp)
    : FOwnerControl(dynamic_cast<TControl*>(AOwner)), FOwnerObject(AOwner), FCreateCacheBmp(CreateCacheBmp)
{
}

TsCommonData::TsCommonData(TControl* AOwner, bool CreateCacheBmp)
    : FOwnerControl(AOwner), FOwnerObject(AOwner), FCreateCacheBmp(CreateCacheBmp)
{
}

void TsCommonData::SetSkinSection(const AnsiString& Value)
{
    FSkinSection = Value;
}

void TsCommonData::WriteProperties(TWriter& Writer) const
{
    if (CustomColor) {
        Writer.WritePropName("CustomColor");
        Writer.WriteBoolean(true);
    }
    if (CustomFont) {
        Writer.WritePropName("CustomFont");
        Writer.WriteBoolean(true);
    }
    Writer.WritePropName("SkinSection");
    Writer.WriteString(FSkinSection);
}

TsBoundLabel::TsBoundLabel(TObject* AOwner, TsCommonData* CommonData)
    : FOwner(AOwner), FCommonData(CommonData), FFont(std::make_unique<TFont>())
{
}

void TsBoundLabel::WriteProperties(TWriter& Writer) const
{
    static const char* layoutNames[] = {"sclLeft", "sclTopLeft", "sclTopCenter", "sclTopRight"};
    if (FActive) {
        Writer.WritePropName("Active");
        Writer.WriteBoolean(true);
    }
    if (!FCaption.empty()) {
        Writer.WritePropName("Caption");
        Writer.WriteString(FCaption);
    }
    Writer.WritePropName("Indent");
    Writer.WriteInteger(FIndent);
    acWriteFont(Writer, "Font", *FFont);
    Writer.WritePropName("Layout");
    Writer.WriteIdent(layoutNames[FLayout]);
    Writer.WritePropName("MaxWidth");
    Writer.WriteInteger(FMaxWidth);
}

namespace {

AnsiString ColorName(TColor Color)
{
    static const struct {
        TColor Value;
        const char* Name;
    } names[] = {
        {clScrollBar, "clScrollBar"},     {clBackground, "clBackground"},
        {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
        {clMenu, "clMenu"},               {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"},
        {clWindowText, "clWindowText"},   {clCaptionText, "clCaptionText"},
        {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
        {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
        {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"},     {clGrayText, "clGrayText"},
        {clBtnText, "clBtnText"},         {clInactiveCaptionText, "clInactiveCaptionText"},
        {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"},
        {cl3DLight, "cl3DLight"},         {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},           {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},           {clGreen, "clGreen"},
        {clOlive, "clOlive"},             {clNavy, "clNavy"},
        {clPurple, "clPurple"},           {clTeal, "clTeal"},
        {clGray, "clGray"},               {clSilver, "clSilver"},
        {clRed, "clRed"},                 {clLime, "clLime"},
        {clYellow, "clYellow"},           {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},         {clAqua, "clAqua"},
        {clWhite, "clWhite"},             {clNone, "clNone"},
        {clDefault, "clDefault"},
    };
    for (const auto& n : names)
        if (n.Value == Color)
            return n.Name;
    return {};
}

AnsiString CharsetName(TFontCharset Charset)
{
    static const struct {
        TFontCharset Value;
        const char* Name;
    } names[] = {{ANSI_CHARSET, "ANSI_CHARSET"},     {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                 {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                 {OEM_CHARSET, "OEM_CHARSET"},       {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                 {GREEK_CHARSET, "GREEK_CHARSET"},   {TURKISH_CHARSET, "TURKISH_CHARSET"},
                 {BALTIC_CHARSET, "BALTIC_CHARSET"}, {MAC_CHARSET, "MAC_CHARSET"}};
    for (const auto& n : names)
        if (n.Value == Charset)
            return n.Name;
    return {};
}

} // namespace

void acWriteColor(TWriter& Writer, const AnsiString& Name, TColor Color)
{
    Writer.WritePropName(Name);
    AnsiString ident = ColorName(Color);
    if (ident.empty())
        Writer.WriteInteger(Color);
    else
        Writer.WriteIdent(ident);
}

void acWriteFont(TWriter& Writer, const AnsiString& Prefix, const TFont& Font)
{
    Writer.BeginPropPath(Prefix);
    Writer.WritePropName("Charset");
    AnsiString cs = CharsetName(Font.Charset());
    if (cs.empty())
        Writer.WriteInteger(Font.Charset());
    else
        Writer.WriteIdent(cs);
    acWriteColor(Writer, "Color", Font.Color());
    Writer.WritePropName("Height");
    Writer.WriteInteger(Font.Height());
    Writer.WritePropName("Name");
    Writer.WriteString(Font.Name());
    Writer.WritePropName("Style");
    static const char* styleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    std::vector<AnsiString> style;
    for (int i = 0; i < 4; ++i)
        if (Font.Style().Contains(static_cast<TFontStyle>(i)))
            style.push_back(styleNames[i]);
    Writer.WriteSet(style);
    Writer.EndPropPath();
}
