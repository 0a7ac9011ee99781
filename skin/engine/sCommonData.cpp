#include "sCommonData.h"

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
    WriteFontProperties(Writer, "Font", *FFont);
    Writer.WritePropName("Layout");
    Writer.WriteIdent(layoutNames[FLayout]);
    Writer.WritePropName("MaxWidth");
    Writer.WriteInteger(FMaxWidth);
}
