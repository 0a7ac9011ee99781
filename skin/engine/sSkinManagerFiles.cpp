// The skin manager's work on skins as files: a stored skin written out as a skin folder, and one
// image of the loaded skin replaced by an image file.
#include <memory>
#include <set>

#include "SysUtils.h"
#include "sMaskData.h"
#include "sSkinManager.h"
#include "sStoreUtils.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace {

AnsiString Bool(bool Value)
{
    return Value ? "TRUE" : "FALSE";
}

AnsiString Number(Int64 Value)
{
    return IntToStr(Value);
}

// Words 1 to 5 of a stored text colour under the five keys (a missing word gives an empty value).
void WriteColors(TMemIniFile* Ini, const AnsiString& Section, const AnsiString& Colors, const char* const (&Keys)[5])
{
    const TSysCharSet blank(" ");
    for (int i = 0; i < 5; ++i)
        WriteIniStr(Section, Keys[i], ExtractWord(i + 1, Colors, blank), Ini);
}

// A file name of its own for an image kept without one: section and key, then a number when
// that name is taken already.
AnsiString FreeName(const AnsiString& Section, const AnsiString& Property, const char* Extension,
                    std::set<AnsiString>& Taken)
{
    const AnsiString base = Section + "_" + Property;
    AnsiString name = base + Extension;
    for (int n = 2; Taken.count(UpperCase(name)); ++n)
        name = base + "_" + Number(n) + Extension;
    return name;
}

bool IsPatternName(const AnsiString& Property)
{
    return Property == "PATTERN" || Property == "HOTPATTERN";
}

// The first record of a table with these upper-case names, or null.
template <class Table>
auto* FirstOf(Table& Records, const AnsiString& Property, const AnsiString& Section)
{
    for (auto& r : Records)
        if (UpperCase(r.PropertyName) == Property && UpperCase(r.ClassName) == Section)
            return &r;
    return static_cast<typename Table::value_type*>(nullptr);
}

// A bitmap file as a mask image (24 bits); null when it has no pixels.
std::unique_ptr<TBitmap> LoadMaskBitmap(const AnsiString& FileName)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->LoadFromFile(FileName);
    if (bmp->Width() < 1 || bmp->Height() < 1)
        return nullptr;
    bmp->SetPixelFormat(pf24bit);
    return bmp;
}

std::unique_ptr<TJPEGImage> LoadJpeg(const AnsiString& FileName)
{
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromFile(FileName);
    if (jpeg->Width() < 1 || jpeg->Height() < 1)
        return nullptr;
    return jpeg;
}

} // namespace

void TsSkinManager::ExtractInternalSkin(const AnsiString& SkinName, const AnsiString& Directory)
{
    bool found = false;
    for (int i = 0; i < FInternalSkins->Count(); ++i) {
        if (FInternalSkins->Items(i)->Name() != SkinName)
            continue;
        found = true;
        if (DirExists(Directory))
            ExtractByIndex(i, Directory);
        else
            ShowError("Directory with such name do not exists.");
    }
    if (!found)
        ShowError("Skin with such name do not exists.");
}

void TsSkinManager::ExtractByIndex(int Index, const AnsiString& Directory)
{
    TsStoredSkin* skin = FInternalSkins->Items(Index);
    const AnsiString target = NormalDir(Directory) + skin->Name() + " extracted\\";
    if (!DirExists(target) && !CreateDir(ExcludeTrailingBackslash(target))) {
        ShowError("Directory " + target + " creation error.");
        return;
    }
    auto ini = std::make_unique<TMemIniFile>(target + "Options.dat");
    std::set<AnsiString> taken;
    if (!skin->MasterBitmap()->Empty()) {
        skin->MasterBitmap()->SaveToFile(target + "Master.bmp");
        WriteIniStr("GLOBALINFO", "MASTERBITMAP", "MASTER.BMP", ini.get());
        taken.insert("MASTER.BMP");
    }
    for (int i = 0; i < skin->Images()->Count(); ++i)
        if (!skin->Images()->Items(i)->Name().empty())
            taken.insert(UpperCase(skin->Images()->Items(i)->Name()));
    for (int i = 0; i < skin->Patterns()->Count(); ++i)
        taken.insert(UpperCase(skin->Patterns()->Items(i)->Name));

    for (int i = 0; i < skin->Images()->Count(); ++i) {
        TsSkinImage* image = skin->Images()->Items(i);
        if (!image->Image()->Empty()) {
            // An image kept without a file name gets one, so that it is not lost.
            AnsiString name = image->Name();
            if (name.empty()) {
                name = FreeName(image->SectionName, image->PropertyName, ".bmp", taken);
                taken.insert(UpperCase(name));
            }
            image->Image()->SaveToFile(target + name);
            WriteIniStr(image->SectionName, image->PropertyName, name, ini.get());
            continue;
        }
        AnsiString value = "#(" + Number(image->Left) + "," + Number(image->Top) + "," + Number(image->Right) + "," +
                           Number(image->Bottom) + ")," + Number(image->ImageCount) + "," + Number(image->MaskType);
        if (image->BorderWidth != 0)
            value += "," + Number(image->BorderWidth);
        WriteIniStr(image->SectionName, image->PropertyName, value, ini.get());
    }
    for (int i = 0; i < skin->Patterns()->Count(); ++i) {
        TsSkinPattern* pattern = skin->Patterns()->Items(i);
        if (pattern->Image()->Empty())
            continue;
        AnsiString name = pattern->Name;
        if (name.empty()) {
            name = FreeName(pattern->SectionName, pattern->PropertyName, ".jpg", taken);
            taken.insert(UpperCase(name));
        }
        pattern->Image()->SaveToFile(target + name);
        WriteIniStr(pattern->SectionName, pattern->PropertyName, name, ini.get());
    }
    // The skin's description goes with it.
    const char saved = DecimalSeparator;
    DecimalSeparator = '.';
    const AnsiString version = FloatToStr(skin->Version);
    DecimalSeparator = saved;
    WriteIniStr("GLOBALINFO", "VERSION", version, ini.get());
    WriteIniStr("GLOBALINFO", "AUTHOR", skin->Author, ini.get());
    WriteIniStr("GLOBALINFO", "DESCRIPTION", skin->Description, ini.get());
    SaveToIni(Index, ini.get());
    ini->UpdateFile();
}

void TsSkinManager::SaveToIni(int Index, TMemIniFile* Ini)
{
    static const char* const fontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const hotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    TsStoredSkin* skin = FInternalSkins->Items(Index);
    for (int i = 0; i < skin->GeneralData()->Count(); ++i) {
        const TsSkinGeneral* g = skin->GeneralData()->Items(i);
        const AnsiString& s = g->SectionName;
        if (s.empty())
            continue;
        const std::pair<const char*, AnsiString> keys[] = {
            {"PARENTCLASS", g->ParentClass},
            {"COLOR", Number(g->Color)},
            {"BEVEL", Number(g->Bevel)},
            {"SHADOWBLUR", Number(g->ShadowBlur)},
            {"SHADOWOFFSET", Number(g->ShadowOffset)},
            {"SHADOWCOLOR", Number(g->ShadowColor)},
            {"SHADOWTRANSPARENCY", Number(g->ShadowTransparency)},
            {"SHADOWENABLED", Bool(g->ShadowEnabled)},
            {"RESERVEDBOOLEAN", Bool(g->ReservedBoolean)},
        };
        for (const auto& k : keys)
            WriteIniStr(s, k.first, k.second, Ini);
        WriteColors(Ini, s, g->FontColor, fontKeys);
        WriteColors(Ini, s, g->HotFontColor, hotFontKeys);
        const std::pair<const char*, AnsiString> rest[] = {
            {"TRANSPARENCY", Number(g->Transparency)},
            {"GRADIENTPERCENT", Number(g->GradientPercent)},
            {"IMAGEPERCENT", Number(g->ImagePercent)},
            {"GRADIENTDATA", g->GradientData},
            {"SHOWFOCUS", Bool(g->ShowFocus)},
            {"FADINGENABLED", Bool(g->FadingEnabled)},
            {"FADINGINTERVALIN", Number(g->FadingIntervalIn)},
            {"FADINGINTERVALOUT", Number(g->FadingIntervalOut)},
            {"FADINGITERATIONS", Number(g->FadingIterations)},
            {"HOTCOLOR", Number(g->HotColor)},
            {"HOTTRANSPARENCY", Number(g->HotTransparency)},
            {"HOTBEVEL", Number(g->HotBevel)},
            {"HOTGRADIENTPERCENT", Number(g->HotGradientPercent)},
            {"HOTGRADIENTDATA", g->HotGradientData},
            {"HOTIMAGEPERCENT", Number(g->HotImagePercent)},
            {"BORDERCOLOR1", Number(g->BorderColor1)},
            {"BORDERCOLOR2", Number(g->BorderColor2)},
        };
        for (const auto& k : rest)
            WriteIniStr(s, k.first, k.second, Ini);
    }
}

bool TsSkinManager::ChangeImageInSkin(const AnsiString& Section, const AnsiString& Property, const AnsiString& FileName)
{
    if (!sSkinData->Active || Section.empty() || Property.empty() || !FileExists(FileName))
        return false;
    const AnsiString p = UpperCase(Property), s = UpperCase(Section);
    const bool bitmap = AnsiUpperCase(FileName).find(".BMP") != AnsiString::npos;
    if (!IsPatternName(p)) {
        TsMaskData* mask = bitmap ? FirstOf(ma, p, s) : nullptr;
        if (!mask)
            return false;
        std::unique_ptr<TBitmap> bmp = LoadMaskBitmap(FileName);
        if (!bmp)
            return false;
        mask->Bmp = std::move(bmp);
        return true;
    }
    if (!bitmap) {
        std::unique_ptr<TJPEGImage> jpeg = LoadJpeg(FileName);
        if (TsPatternData* pattern = FirstOf(pa, p, s)) {
            if (!jpeg)
                return false;
            pattern->Img = std::move(jpeg);
            return true;
        }
        if (!jpeg)
            return false;
        pa.push_back(TsPatternData{std::move(jpeg), s, p});
        // The new pattern is kept: the mask that stood for it is retired.
        if (TsMaskData* old = FirstOf(ma, p, s)) {
            old->Bmp.reset();
            old->ClassName = "NONE";
        }
        return false;
    }
    std::unique_ptr<TBitmap> bmp = LoadMaskBitmap(FileName);
    if (!bmp)
        return false;
    if (TsMaskData* mask = FirstOf(ma, p, s)) {
        mask->Bmp = std::move(bmp);
        return true;
    }
    TsMaskData added;
    added.Bmp = std::move(bmp);
    added.ClassName = s;
    added.PropertyName = p;
    ma.push_back(std::move(added));
    if (TsPatternData* old = FirstOf(pa, p, s)) {
        old->Img.reset();
        old->ClassName = "NONE";
    }
    return true;
}
