#include "sMaskData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>

#include "ClassesStreams.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"
#include "sUtils.h"

std::vector<TsGeneralData> gd;
std::vector<TsMaskData> ma;
std::vector<TsPatternData> pa;
std::unique_ptr<TBitmap> MasterBitmap;

namespace {

// --- Reading values ------------------------------------------------------------------------------

// A file name of the skin: absolute when it holds ":", else in the skin's folder.
AnsiString SkinFileName(const AnsiString& Value)
{
    return Value.find(':') != AnsiString::npos ? Value : sSkinData->SkinPath + Value;
}

// A value naming a file of that extension (upper case, with its dot) anywhere in it.
bool NamesFileOf(const AnsiString& Value, const char* Extension)
{
    // Most values name no file; only one with a dot is put in upper case.
    return Value.find('.') != AnsiString::npos && AnsiUpperCase(Value).find(Extension) != AnsiString::npos;
}

bool IsJpegName(const AnsiString& Value)
{
    return NamesFileOf(Value, ".JPG") || NamesFileOf(Value, ".JPEG");
}

// The stored skin named like the manager's current skin (case counts), or null.
TsStoredSkin* CurrentStoredSkin()
{
    TsSkinManager* m = sSkinData->DefaultManager;
    if (!m)
        return nullptr;
    const int i = m->InternalSkins()->IndexOf(m->SkinName());
    return i < 0 ? nullptr : m->InternalSkins()->Items(i);
}

// The manager's extra sections, or null when it has none.
TStringList* CommonSectionLines()
{
    TsSkinManager* m = sSkinData->DefaultManager;
    return m && m->CommonSections()->Count() > 0 ? m->CommonSections() : nullptr;
}

SmallInt ToSmall(int Value)
{
    return static_cast<SmallInt>(std::clamp(Value, -32768, 32767));
}

// A 24-bit copy of a bitmap; null when it has no pixels.
std::unique_ptr<TBitmap> Copy24(TBitmap* Source)
{
    if (!Source || Source->Width() < 1 || Source->Height() < 1)
        return nullptr;
    auto bmp = std::make_unique<TBitmap>();
    bmp->Assign(Source);
    bmp->SetPixelFormat(pf24bit);
    return bmp;
}

// The decoded image of a JPEG as a 24-bit bitmap of its size.
std::unique_ptr<TBitmap> JpegToBitmap(TJPEGImage* Jpeg)
{
    return Copy24(Jpeg->Bitmap());
}

// A JPEG image has pixels; its size as a 64-bit count.
bool HasPixels(const TGraphic* Image)
{
    return Image->Width() >= 1 && Image->Height() >= 1;
}

Int64 PixelCount(const TGraphic* Image)
{
    return Int64(Image->Width()) * Int64(Image->Height());
}

void MakeMaster(std::unique_ptr<TBitmap> Bmp)
{
    MasterBitmap = std::move(Bmp);
    if (MasterBitmap) {
        MasterBitmap->SetTransparentColor(clSkinKey);
        MasterBitmap->SetTransparent(true);
    }
}

// A rectangle of the master image lies within it; an empty one is kept, as a mask of no cells.
bool WithinMaster(const TRect& R)
{
    return MasterBitmap && RectWithin(R, MasterBitmap->Width(), MasterBitmap->Height());
}

// --- Images of a skin --------------------------------------------------------------------------------

// The skin's name for messages: the manager's, else its folder's.
AnsiString SkinNameForMessages()
{
    if (TsSkinManager* m = sSkinData->DefaultManager; m && !m->SkinName().empty())
        return m->SkinName();
    return ExtractFileName(ExcludeTrailingBackslash(sSkinData->SkinPath));
}

// The images of the skin being loaded: each file read once and shared by every key that names it,
// and the pixels they take, held within the skin's budget. FreeBitmaps forgets the bitmaps,
// FreeJpegs the JPEG files; a map entry of null is a file that gives no image.
struct TSkinImages {
    std::unordered_map<AnsiString, std::shared_ptr<TBitmap>> Bitmaps;
    std::unordered_map<AnsiString, std::shared_ptr<TJPEGImage>> Jpegs;
    std::unordered_map<AnsiString, std::shared_ptr<TBitmap>> SmallJpegs;  // JPEGs made masks
    Int64 BitmapPixels = 0, JpegPixels = 0;
    AnsiString Warning;  // about the first image left out
    int LeftOut = 0;
} images;

// Whether an image of W x H pixels may be kept: no larger than an image may be, and within the
// skin's budget with what is kept already; Spent takes its pixels. An image refused is noted for
// the load's one warning.
bool Admit(const AnsiString& File, Int64 W, Int64 H, Int64& Spent)
{
    const Int64 pixels = W * H;
    const bool small = pixels <= MaxSkinImagePixels;
    if (small && images.BitmapPixels + images.JpegPixels + pixels <= MaxSkinPixels) {
        Spent += pixels;
        return true;
    }
    if (images.LeftOut++ == 0) {
        const AnsiString what = "Скин \"" + SkinNameForMessages() + "\": рисунок \"" + File + "\" (" + IntToStr(W) + " x " + IntToStr(H) + ") не загружен: ";
        images.Warning = what + (small ? "рисунки скина заняли бы больше " + IntToStr(MaxSkinPixels * 3 / (1024 * 1024)) + " МБ."
                                       : "он больше " + IntToStr(MaxSkinImagePixels) + " точек.");
    }
    return false;
}

// Runs Load, which reads File or values of it; a failure names the skin and the file.
template <class Load>
auto Reading(const AnsiString& File, Load load)
{
    try {
        return load();
    } catch (const Exception& e) {
        throw Exception("Скин \"" + SkinNameForMessages() + "\" не загружен: ошибка в файле \"" + File + "\". " +
                        UserErrorText(e));
    }
}

// The width and height a Windows bitmap file declares in its headers; false when it has none.
bool DeclaredBitmapSize(const std::vector<Byte>& Data, Int64& W, Int64& H)
{
    auto u16 = [&](std::size_t at) { return Int64(Data[at] | (Data[at + 1] << 8)); };
    auto i32 = [&](std::size_t at) {
        return Int64(static_cast<std::int32_t>(Data[at] | (Data[at + 1] << 8) | (Data[at + 2] << 16) | (Cardinal(Data[at + 3]) << 24)));
    };
    if (Data.size() < 26 || Data[0] != 'B' || Data[1] != 'M')
        return false;
    if (i32(14) == 12) {
        W = u16(18);
        H = u16(20);
    } else {
        W = i32(18);
        H = std::abs(i32(22));
    }
    return true;
}

// A bitmap file of the skin in 24 bits; null when it has no pixels or is too large for the skin.
std::unique_ptr<TBitmap> ReadSkinBitmap(const AnsiString& File)
{
    return Reading(File, [&]() -> std::unique_ptr<TBitmap> {
        std::vector<Byte> data;
        {
            TFileStream stream(File, fmOpenRead | fmShareDenyWrite);
            const Int64 size = stream.Size();
            if (size > MaxBitmapBytes + 65536ll * 1024)
                throw EInvalidGraphic("Image data is too large");
            data.resize(static_cast<std::size_t>(size));
            if (!data.empty())
                stream.ReadBuffer(data.data(), static_cast<Integer>(data.size()));
        }
        Int64 w = 0, h = 0;
        // What the headers declare is weighed before any pixel is made.
        if (DeclaredBitmapSize(data, w, h) && w >= 1 && h >= 1 && !Admit(File, w, h, images.BitmapPixels))
            return nullptr;
        auto bmp = std::make_unique<TBitmap>();
        bmp->LoadFromMemory(data.data(), data.size());
        if (bmp->Width() < 1 || bmp->Height() < 1)
            return nullptr;
        bmp->SetPixelFormat(pf24bit);
        return bmp;
    });
}

// A bitmap file of the skin as a mask image, read once per load.
std::shared_ptr<TBitmap> SkinBitmap(const AnsiString& File)
{
    const auto [it, fresh] = images.Bitmaps.try_emplace(AnsiUpperCase(File));
    if (fresh)
        it->second = ReadSkinBitmap(File);
    return it->second;
}

// A JPEG file of the skin (its headers read, its pixels decoded when first drawn), read once per
// load; null when it has no pixels. The decoded size is weighed: Small when it is to be a mask.
std::shared_ptr<TJPEGImage> SkinJpeg(const AnsiString& File)
{
    const auto [it, fresh] = images.Jpegs.try_emplace(AnsiUpperCase(File));
    if (fresh) {
        it->second = Reading(File, [&]() -> std::shared_ptr<TJPEGImage> {
            auto jpeg = std::make_shared<TJPEGImage>();
            jpeg->LoadFromFile(File);
            if (!HasPixels(jpeg.get()) || !Admit(File, jpeg->Width(), jpeg->Height(), images.JpegPixels))
                return nullptr;
            return jpeg;
        });
    }
    return it->second;
}

// A small JPEG file decoded into a mask image, once per load. A copy is decoded: the file's own
// image keeps no pixels it does not draw.
std::shared_ptr<TBitmap> SmallJpegBitmap(const AnsiString& File, TJPEGImage* Jpeg)
{
    const auto [it, fresh] = images.SmallJpegs.try_emplace(AnsiUpperCase(File));
    if (fresh)
        it->second = Reading(File, [&]() -> std::shared_ptr<TBitmap> {
            TJPEGImage copy;
            copy.Assign(Jpeg);
            return JpegToBitmap(&copy);
        });
    return it->second;
}

// The options of the skin file, read once per load: LoadAllMasks (first of the three loaders)
// reads them afresh, the two that follow take them again when they work on the same file, and
// LoadAllGeneralData (the last) lets them go, as they view the file's content.
struct TOptionsOfLoad {
    const TMemIniFile* Source = nullptr;
    std::unique_ptr<TsSkinOptions> Options;
} optionsOfLoad;

const TsSkinOptions& SkinOptions(TMemIniFile* File, bool Fresh)
{
    if (Fresh || optionsOfLoad.Source != File || !optionsOfLoad.Options) {
        optionsOfLoad.Options.reset();
        optionsOfLoad.Options = std::make_unique<TsSkinOptions>(*File);
        optionsOfLoad.Source = File;
    }
    return *optionsOfLoad.Options;
}

// A loader's use of the options: they go when it fails, and after the last loader.
class TOptionsUse {
public:
    explicit TOptionsUse(bool Last) : FLast(Last), FExceptions(std::uncaught_exceptions()) {}
    ~TOptionsUse()
    {
        if (FLast || std::uncaught_exceptions() > FExceptions) {
            optionsOfLoad.Options.reset();
            optionsOfLoad.Source = nullptr;
        }
    }
    TOptionsUse(const TOptionsUse&) = delete;
    TOptionsUse& operator=(const TOptionsUse&) = delete;

private:
    bool FLast;
    int FExceptions;
};

// --- Masks -------------------------------------------------------------------------------------------

// The images of every section of the options except, with SkipGlobalInfo, GLOBALINFO: rectangles
// of the master image ("#" values) and bitmap files.
void AddMasksFrom(const TsSkinOptions& Options, bool SkipGlobalInfo)
{
    for (const TsSkinOptions::TSection& section : Options.Sections()) {
        const bool global = SameText(section.Name, "GLOBALINFO");
        if (global && SkipGlobalInfo)
            continue;
        for (const TsSkinOptions::TKey& key : section.Keys) {
            if (global && SameText(key.Name, "MASTERBITMAP"))
                continue;
            const AnsiString& value = key.Value;
            if (MasterBitmap && value.find('#') != AnsiString::npos) {
                TsMaskData rec;
                // A rectangle reaching outside the master image names no image.
                if (ParseMaskValue(value, rec.R, rec.ImageCount, rec.MaskType, rec.BorderWidth) && WithinMaster(rec.R)) {
                    rec.ClassName = UpperCase(section.Name);
                    rec.PropertyName = UpperCase(key.Name);
                    ma.push_back(std::move(rec));
                }
                continue;
            }
            if (!NamesFileOf(value, ".BMP"))
                continue;
            const AnsiString file = SkinFileName(value);
            if (!FileExists(file))
                continue;
            TsMaskData rec;
            rec.Bmp = SkinBitmap(file);
            if (!rec.Bmp)
                continue;
            rec.ClassName = UpperCase(section.Name);
            rec.PropertyName = UpperCase(key.Name);
            rec.MaskType = 1;
            rec.ImageCount = 3;
            rec.R = TRect{0, 0, rec.Bmp->Width(), rec.Bmp->Height()};
            ma.push_back(std::move(rec));
        }
    }
}

// The manager's extra sections as options.
TsSkinOptions CommonSectionsOptions(TStringList* Lines)
{
    TMemIniFile ini{AnsiString()};
    ini.SetStrings(Lines);
    return TsSkinOptions(ini);
}

// --- Patterns ----------------------------------------------------------------------------------------

// A mask record of a small image (its own bitmap, rectangle and counts zero).
void AddSmallImageMask(std::shared_ptr<TBitmap> Bmp, const AnsiString& Section, const AnsiString& Key)
{
    if (!Bmp)
        return;
    TsMaskData rec;
    rec.Bmp = std::move(Bmp);
    rec.ClassName = UpperCase(Section);
    rec.PropertyName = UpperCase(Key);
    ma.push_back(std::move(rec));
}

// The JPEG files of every section of the options: small ones (with SizeTest) become masks, the
// others patterns. Keys naming one file share its image.
void AddPatternsFrom(const TsSkinOptions& Options, bool SizeTest)
{
    for (const TsSkinOptions::TSection& section : Options.Sections()) {
        for (const TsSkinOptions::TKey& key : section.Keys) {
            if (!IsJpegName(key.Value))
                continue;
            const AnsiString file = SkinFileName(key.Value);
            if (!FileExists(file))
                continue;
            std::shared_ptr<TJPEGImage> jpeg = SkinJpeg(file);
            if (!jpeg)
                continue;
            if (SizeTest && PixelCount(jpeg.get()) < MaxMaskJpegPixels)
                AddSmallImageMask(SmallJpegBitmap(file, jpeg.get()), section.Name, key.Name);
            else
                pa.push_back(TsPatternData{std::move(jpeg), UpperCase(section.Name), UpperCase(key.Name)});
        }
    }
}

// --- General data ------------------------------------------------------------------------------------

// Where the keys of one section come from, and what a missing key (-1, "?") falls back to.
class TKeyReader {
public:
    virtual ~TKeyReader() = default;
    // Inherited is the parent record's value when the reader inherits from records.
    virtual Integer Int(const char* Key, Integer Default, const Integer* Inherited) const = 0;
    virtual AnsiString Text(const char* Key, const AnsiString& Default, const AnsiString* Inherited) const = 0;
    virtual Integer ShadowColor(const Integer* Inherited) const = 0;

    bool Bool(const char* Key, const bool* Inherited) const
    {
        const AnsiString inherited = Inherited && *Inherited ? "TRUE" : "FALSE";
        return UpperCase(Text(Key, "FALSE", Inherited ? &inherited : nullptr)) == "TRUE";
    }
};

// A section of an options file with its PARENTCLASS chain.
class TFileKeyReader : public TKeyReader {
public:
    explicit TFileKeyReader(TsOptionsSection Section) : section_(std::move(Section)) {}
    Integer Int(const char* Key, Integer Default, const Integer*) const override { return section_.Int(Key, Default); }
    AnsiString Text(const char* Key, const AnsiString& Default, const AnsiString*) const override
    {
        return section_.Text(Key, Default);
    }
    Integer ShadowColor(const Integer*) const override { return section_.OwnInt("SHADOWCOLOR", 0); }

private:
    TsOptionsSection section_;
};

// A section of the manager's extra sections: missing keys take the parent record's values.
class TCommonKeyReader : public TKeyReader {
public:
    TCommonKeyReader(TStringList* Sections, const AnsiString& Section) : sections_(Sections), section_(Section) {}
    Integer Int(const char* Key, Integer Default, const Integer* Inherited) const override
    {
        const int v = ReadIniInteger(sections_, section_, Key, -1);
        return v != -1 ? v : (Inherited ? *Inherited : Default);
    }
    AnsiString Text(const char* Key, const AnsiString& Default, const AnsiString* Inherited) const override
    {
        AnsiString v = ReadIniString(sections_, section_, Key, "?");
        return v != "?" ? v : (Inherited ? *Inherited : Default);
    }
    Integer ShadowColor(const Integer* Inherited) const override { return Int("SHADOWCOLOR", 0, Inherited); }

private:
    TStringList* sections_;
    AnsiString section_;
};

// The keys of a section in the order of the options file, with their defaults. Parent is the
// record whose values a missing key takes (readers that inherit from records only).
void ReadSectionKeys(TsGeneralData& d, const TKeyReader& r, const TsGeneralData* p, Integer ShadowTransparency)
{
    auto inhI = [p](Integer TsGeneralData::*f) { return p ? &(p->*f) : nullptr; };
    auto inhB = [p](bool TsGeneralData::*f) { return p ? &(p->*f) : nullptr; };
    auto inhS = [p](AnsiString TsGeneralData::*f) { return p ? &(p->*f) : nullptr; };
    const Integer pBevel = p ? p->Bevel : 0, pHotBevel = p ? p->HotBevel : 0;

    d.Color = r.Int("COLOR", clWhite, inhI(&TsGeneralData::Color));
    d.Bevel = ControlBevelOf(r.Int("BEVEL", 0, p ? &pBevel : nullptr));
    d.ShadowBlur = r.Int("SHADOWBLUR", 6, inhI(&TsGeneralData::ShadowBlur));
    d.ShadowOffset = r.Int("SHADOWOFFSET", 3, inhI(&TsGeneralData::ShadowOffset));
    d.ShadowColor = r.ShadowColor(inhI(&TsGeneralData::ShadowColor));
    d.ShadowTransparency = r.Int("SHADOWTRANSPARENCY", ShadowTransparency, inhI(&TsGeneralData::ShadowTransparency));
    d.ShadowEnabled = r.Bool("SHADOWENABLED", inhB(&TsGeneralData::ShadowEnabled));
    d.ReservedBoolean = r.Bool("RESERVEDBOOLEAN", inhB(&TsGeneralData::ReservedBoolean));
    static const char* const fontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const hotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (int i = 0; i < 5; ++i)
        d.FontColor[i] = r.Int(fontKeys[i], i == 0 ? 0 : -1, p ? &p->FontColor[i] : nullptr);
    for (int i = 0; i < 5; ++i)
        d.HotFontColor[i] = r.Int(hotFontKeys[i], i == 0 ? 0 : -1, p ? &p->HotFontColor[i] : nullptr);
    d.Transparency = r.Int("TRANSPARENCY", 0, inhI(&TsGeneralData::Transparency));
    d.GradientPercent = r.Int("GRADIENTPERCENT", 0, inhI(&TsGeneralData::GradientPercent));
    d.ImagePercent = r.Int("IMAGEPERCENT", 0, inhI(&TsGeneralData::ImagePercent));
    d.GradientData = r.Text("GRADIENTDATA", " ", inhS(&TsGeneralData::GradientData));
    d.ShowFocus = r.Bool("SHOWFOCUS", inhB(&TsGeneralData::ShowFocus));
    d.FadingEnabled = r.Bool("FADINGENABLED", inhB(&TsGeneralData::FadingEnabled));
    d.FadingIntervalIn = r.Int("FADINGINTERVALIN", 5, inhI(&TsGeneralData::FadingIntervalIn));
    d.FadingIntervalOut = r.Int("FADINGINTERVALOUT", 5, inhI(&TsGeneralData::FadingIntervalOut));
    d.FadingIterations = r.Int("FADINGITERATIONS", 5, inhI(&TsGeneralData::FadingIterations));
    d.HotColor = r.Int("HOTCOLOR", clWhite, inhI(&TsGeneralData::HotColor));
    d.HotTransparency = r.Int("HOTTRANSPARENCY", 0, inhI(&TsGeneralData::HotTransparency));
    d.HotBevel = ControlBevelOf(r.Int("HOTBEVEL", 0, p ? &pHotBevel : nullptr));
    d.HotGradientPercent = r.Int("HOTGRADIENTPERCENT", 0, inhI(&TsGeneralData::HotGradientPercent));
    d.HotGradientData = r.Text("HOTGRADIENTDATA", "", inhS(&TsGeneralData::HotGradientData));
    d.HotImagePercent = r.Int("HOTIMAGEPERCENT", 0, inhI(&TsGeneralData::HotImagePercent));
    d.BorderColor1 = r.Int("BORDERCOLOR1", 0, inhI(&TsGeneralData::BorderColor1));
    d.BorderColor2 = r.Int("BORDERCOLOR2", 0, inhI(&TsGeneralData::BorderColor2));
    if (d.GradientData != " ")
        PrepareGradArray(d.GradientData, d.GradArray);
    if (d.HotGradientData != " ")
        PrepareGradArray(d.HotGradientData, d.HotGradArray);
}

// The five colours of a stored text colour: exactly five words, else text 0 and no contours.
void StoredFontColors(const AnsiString& Text, TColor (&Colors)[5])
{
    const TSysCharSet blank(" ");
    if (WordCount(Text, blank) == 5) {
        for (int i = 0; i < 5; ++i)
            Colors[i] = StrToInt(ExtractWord(i + 1, Text, blank));
        return;
    }
    Colors[0] = 0;
    for (int i = 1; i < 5; ++i)
        Colors[i] = -1;
}

TsGeneralData FromStored(const TsSkinGeneral& g)
{
    TsGeneralData d;
    d.ClassName = g.SectionName;
    d.ParentClass = g.ParentClass;
    d.Color = g.Color;
    d.Bevel = ControlBevelOf(g.Bevel);
    StoredFontColors(g.FontColor, d.FontColor);
    StoredFontColors(g.HotFontColor, d.HotFontColor);
    d.ReservedBoolean = g.ReservedBoolean;
    d.ShadowBlur = g.ShadowBlur;
    d.ShadowColor = g.ShadowColor;
    d.ShadowDontUse = g.ShadowDontUse;
    d.ShadowEnabled = g.ShadowEnabled;
    d.ShadowOffset = g.ShadowOffset;
    d.ShadowTransparency = g.ShadowTransparency;
    d.Transparency = g.Transparency;
    d.GradientPercent = g.GradientPercent;
    d.GradientData = g.GradientData;
    PrepareGradArray(d.GradientData, d.GradArray);
    d.ImagePercent = g.ImagePercent;
    d.ShowFocus = g.ShowFocus;
    d.FadingEnabled = g.FadingEnabled;
    d.FadingIntervalIn = g.FadingIntervalIn;
    d.FadingIntervalOut = g.FadingIntervalOut;
    d.FadingIterations = g.FadingIterations;
    d.HotColor = g.HotColor;
    d.HotTransparency = g.HotTransparency;
    d.HotBevel = ControlBevelOf(g.HotBevel);
    d.HotGradientPercent = g.HotGradientPercent;
    d.HotGradientData = g.HotGradientData;
    PrepareGradArray(d.HotGradientData, d.HotGradArray);
    d.HotImagePercent = g.HotImagePercent;
    d.BorderColor1 = g.BorderColor1;
    d.BorderColor2 = g.BorderColor2;
    return d;
}

// The manager's extra sections appended to gd.
void AddCommonGeneralData(TStringList* Lines)
{
    TStringList sections(true);
    GetIniSections(Lines, &sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const AnsiString& name = sections[i];
        TsGeneralData d;
        d.ClassName = name;
        d.ParentClass = UpperCase(ReadIniString(&sections, name, "PARENTCLASS", "-1"));
        // The first record of that name; one made before this one, so that a section naming
        // itself takes a skin section of its name, or else the defaults, never its own
        // half-made record.
        const int p = GetSkinIndex(d.ParentClass);
        const TsGeneralData* parent = p >= 0 ? &gd[static_cast<std::size_t>(p)] : nullptr;
        ReadSectionKeys(d, TCommonKeyReader(&sections, name), parent, 50);
        gd.push_back(std::move(d));
    }
}

// Each section's parent found once: the first section of the name its ParentClass gives (as
// GetSkinIndex finds it), none for an empty one or the section's own name.
void ResolveParents()
{
    std::unordered_map<AnsiString, int> first;
    for (std::size_t i = 0; i < gd.size(); ++i)
        first.try_emplace(UpperCase(gd[i].ClassName), static_cast<int>(i));
    for (TsGeneralData& d : gd) {
        const AnsiString parent = UpperCase(d.ParentClass);
        const auto it = first.find(parent);
        d.ParentIndex = parent.empty() || parent == UpperCase(d.ClassName) || it == first.end() ? -1 : it->second;
    }
}

} // namespace

double ReadSkinVersion(const TsSkinOptions& Options)
{
    const AnsiString text = Trim(Options.ReadString("GLOBALINFO", "VERSION", ""));
    const char saved = DecimalSeparator;
    DecimalSeparator = '.';
    double v = 0;
    const bool ok = TryStrToFloat(text, v);
    DecimalSeparator = saved;
    return ok && std::isfinite(v) ? v : 0;
}

// --- Options-file sections ------------------------------------------------------------------------

namespace {
// An integer of the options file (decimal, $hex or 0x hex); Default when missing or no integer.
Integer IntegerOf(const AnsiString* Text, Integer Default)
{
    Integer v;
    return Text && TryStrToInt(*Text, v) ? v : Default;
}
} // namespace

TsSkinOptions::TsSkinOptions(const TMemIniFile& Ini)
{
    const std::vector<const AnsiString*> names = Ini.SectionNames();
    FSections.reserve(names.size());
    for (const AnsiString* name : names) {
        TSection section{*name, {}};
        const std::vector<TMemIniFile::TKeyView> keys = Ini.SectionKeys(*name);
        section.Keys.reserve(keys.size());
        for (const TMemIniFile::TKeyView& key : keys)
            section.Keys.push_back(TKey{*key.Name, *key.Value, *key.NameUp});
        FIndex.emplace(AnsiUpperCase(section.Name), FSections.size());
        FSections.push_back(std::move(section));
    }
    for (TSection& section : FSections)
        for (TKey& key : section.Keys)
            key.Id = FKeyIds.try_emplace(key.NameUp, static_cast<int>(FKeyIds.size())).first->second;
    FSources.resize(FKeyIds.size() * 2);
    // Each section's parent: PARENTCLASS unless empty, "?" or the section's own name.
    FParents.assign(FSections.size(), -1);
    const int parentClass = KeyId("PARENTCLASS");
    for (std::size_t i = 0; i < FSections.size(); ++i) {
        const AnsiString* p = Value(&FSections[i], parentClass);
        if (p && !p->empty() && *p != "?" && !SameText(*p, FSections[i].Name))
            if (const TSection* parent = Find(*p))
                FParents[i] = static_cast<int>(parent - FSections.data());
    }
}

const TsSkinOptions::TSection* TsSkinOptions::Find(const AnsiString& Section) const
{
    const auto it = FIndex.find(AnsiUpperCase(Section));
    return it == FIndex.end() ? nullptr : &FSections[it->second];
}

int TsSkinOptions::KeyId(std::string_view Key) const
{
    // The names the loaders read are written in upper case already: only a name with a small
    // Latin letter or a letter beyond ASCII is put in upper case.
    AnsiString upper;
    if (std::any_of(Key.begin(), Key.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c & 0x80); })) {
        upper = AnsiUpperCase(AnsiString(Key));
        Key = upper;
    }
    const auto it = FKeyIds.find(Key);
    return it == FKeyIds.end() ? -1 : it->second;
}

int TsSkinOptions::KeyId(const char* Key) const
{
    TKnownName& known = FKnownNames[reinterpret_cast<std::uintptr_t>(Key) % FKnownNames.size()];
    if (known.At != Key || known.Text != Key) {
        known.At = Key;
        known.Text = Key;
        known.Id = KeyId(std::string_view(Key));
    }
    return known.Id;
}

const AnsiString* TsSkinOptions::Value(const TSection* Section, int Id)
{
    if (!Section || Id < 0)
        return nullptr;
    for (const TKey& key : Section->Keys)
        if (key.Id == Id)
            return &key.Value;
    return nullptr;
}

AnsiString TsSkinOptions::ReadString(const AnsiString& Section, const AnsiString& Key,
                                     const AnsiString& Default) const
{
    const AnsiString* v = Value(Find(Section), KeyId(Key));
    return v ? *v : Default;
}

int TsSkinOptions::Source(std::size_t i, int Id, bool Integer) const
{
    return i < FSections.size() && Id >= 0 ? Sources(Id, Integer)[i] : -1;
}

const std::vector<int>& TsSkinOptions::Sources(int Id, bool Integer) const
{
    std::vector<int>& src = FSources[static_cast<std::size_t>(Id) * 2 + (Integer ? 1 : 0)];
    const std::size_t n = FSections.size();
    if (src.size() == n)
        return src;
    auto has = [&](std::size_t i) {
        const AnsiString* v = Value(&FSections[i], Id);
        return v && (Integer ? IntegerOf(v, -1) != -1 : *v != "?");
    };
    constexpr int unknown = -2;
    src.assign(n, unknown);
    std::vector<char> onPath(n, 0);
    std::vector<std::size_t> path;
    for (std::size_t start = 0; start < n; ++start) {
        // Up the parents from start until a section already answered, the top or a loop.
        path.clear();
        int i = static_cast<int>(start);
        while (i >= 0 && src[static_cast<std::size_t>(i)] == unknown && !onPath[static_cast<std::size_t>(i)]) {
            onPath[static_cast<std::size_t>(i)] = 1;
            path.push_back(static_cast<std::size_t>(i));
            i = FParents[static_cast<std::size_t>(i)];
        }
        std::size_t open = path.size();
        if (i >= 0 && onPath[static_cast<std::size_t>(i)]) {
            // A loop: each of its sections reads the first one with a value going round from it.
            // Going round twice backwards carries that one to every place of the loop.
            open = static_cast<std::size_t>(std::find(path.begin(), path.end(), static_cast<std::size_t>(i)) - path.begin());
            const std::size_t loop = path.size() - open;
            int found = -1;
            for (std::size_t p = 2 * loop; p-- > 0;) {
                const std::size_t m = path[open + p % loop];
                if (has(m))
                    found = static_cast<int>(m);
                if (p < loop)
                    src[m] = found;
            }
        }
        // The rest of the path, each section from its parent's answer.
        for (std::size_t k = open; k-- > 0;) {
            const std::size_t m = path[k];
            const int parent = FParents[m];
            src[m] = has(m) ? static_cast<int>(m) : parent < 0 ? -1 : src[static_cast<std::size_t>(parent)];
        }
        for (std::size_t m : path)
            onPath[m] = 0;
    }
    return src;
}

TsOptionsSection::TsOptionsSection(const TsSkinOptions& Options, const AnsiString& Section)
    : FOptions(Options), FSection(Options.Find(Section))
{
}

const AnsiString* TsOptionsSection::Read(const char* Key, bool Integer) const
{
    if (!FSection)
        return nullptr;
    const int id = FOptions.KeyId(Key);
    const int s = FOptions.Source(static_cast<std::size_t>(FSection - FOptions.Sections().data()), id, Integer);
    return s < 0 ? nullptr : TsSkinOptions::Value(&FOptions.Sections()[static_cast<std::size_t>(s)], id);
}

Integer TsOptionsSection::Int(const char* Key, Integer Default) const
{
    return IntegerOf(Read(Key, true), Default);
}

AnsiString TsOptionsSection::Text(const char* Key, const AnsiString& Default) const
{
    const AnsiString* v = Read(Key, false);
    return v ? *v : Default;
}

bool TsOptionsSection::Bool(const char* Key) const
{
    return UpperCase(Text(Key, "FALSE")) == "TRUE";
}

Integer TsOptionsSection::OwnInt(const char* Key, Integer Default) const
{
    return IntegerOf(TsSkinOptions::Value(FSection, FOptions.KeyId(Key)), Default);
}

// --- The mask grammar ------------------------------------------------------------------------------

bool ParseMaskValue(const AnsiString& Value, TRect& R, SmallInt& ImageCount, SmallInt& MaskType,
                    SmallInt& BorderWidth)
{
    if (Value == "#")
        return false;
    const TSysCharSet wordDelims(" ()"), numberDelims(" ,");
    const AnsiString rect = ExtractWord(2, Value, wordDelims);
    const AnsiString counts = ExtractWord(3, Value, wordDelims);
    int n[4];
    for (int i = 0; i < 4; ++i)
        if (!TryStrToInt(ExtractWord(i + 1, rect, numberDelims), n[i]))
            return false;
    int count, type, border = 0;
    if (!TryStrToInt(ExtractWord(1, counts, numberDelims), count) ||
        !TryStrToInt(ExtractWord(2, counts, numberDelims), type))
        return false;
    const AnsiString third = ExtractWord(3, counts, numberDelims);
    if (!third.empty() && !TryStrToInt(third, border))
        return false;
    R = TRect{n[0], n[1], n[2], n[3]};
    ImageCount = ToSmall(std::max(count, 1));
    MaskType = ToSmall(std::max(type, 0));
    BorderWidth = ToSmall(std::max(border, 0));
    return true;
}

// --- Loaders ---------------------------------------------------------------------------------------

void LoadAllMasks()
{
    FreeBitmaps();
    if (TMemIniFile* sf = sSkinData->SkinFile.get()) {
        const TOptionsUse use(false);
        const TsSkinOptions& options = SkinOptions(sf, true);
        const AnsiString master = options.ReadString("GLOBALINFO", "MASTERBITMAP", "");
        const AnsiString file = SkinFileName(master);
        if (!master.empty() && FileExists(file))
            MakeMaster(ReadSkinBitmap(file));
        AddMasksFrom(options, false);
    } else {
        TsStoredSkin* skin = CurrentStoredSkin();
        if (!skin)
            return;
        MakeMaster(Copy24(skin->MasterBitmap()));
        for (int i = 0; i < skin->Images()->Count(); ++i) {
            const TsSkinImage* img = skin->Images()->Items(i);
            TsMaskData rec;
            if (img->ImageCount == 0) {
                rec.Bmp = Copy24(img->Image());
                if (!rec.Bmp)
                    continue;
                rec.R = TRect{0, 0, rec.Bmp->Width(), rec.Bmp->Height()};
                rec.ImageCount = 3;
                rec.MaskType = 1;
            } else {
                rec.R = TRect{img->Left, img->Top, img->Right, img->Bottom};
                if (!WithinMaster(rec.R))
                    continue;
                rec.ImageCount = ToSmall(std::max(img->ImageCount, 1));
                rec.MaskType = ToSmall(std::max(img->MaskType, 0));
            }
            rec.BorderWidth = ToSmall(std::max(img->BorderWidth, 0));
            rec.ClassName = UpperCase(img->SectionName);
            rec.PropertyName = UpperCase(img->PropertyName);
            ma.push_back(std::move(rec));
        }
    }
    if (TStringList* lines = CommonSectionLines())
        AddMasksFrom(CommonSectionsOptions(lines), true);
}

void LoadAllPatterns()
{
    FreeJpegs();
    if (TMemIniFile* sf = sSkinData->SkinFile.get()) {
        const TOptionsUse use(false);
        AddPatternsFrom(SkinOptions(sf, false), true);
    } else {
        TsStoredSkin* skin = CurrentStoredSkin();
        if (!skin)
            return;
        for (int i = 0; i < skin->Patterns()->Count(); ++i) {
            const TsSkinPattern* p = skin->Patterns()->Items(i);
            if (!HasPixels(p->Image()))
                continue;
            if (PixelCount(p->Image()) < MaxMaskJpegPixels) {
                AddSmallImageMask(JpegToBitmap(p->Image()), p->SectionName, p->PropertyName);
            } else {
                auto jpeg = std::make_unique<TJPEGImage>();
                jpeg->Assign(p->Image());
                pa.push_back(TsPatternData{std::move(jpeg), UpperCase(p->SectionName), UpperCase(p->PropertyName)});
            }
        }
    }
    if (TStringList* lines = CommonSectionLines())
        AddPatternsFrom(CommonSectionsOptions(lines), false);
}

void LoadAllGeneralData()
{
    if (TMemIniFile* sf = sSkinData->SkinFile.get()) {
        const TOptionsUse use(true);
        const TsSkinOptions& options = SkinOptions(sf, false);
        sSkinData->Version = ReadSkinVersion(options);
        sSkinData->Author = options.ReadString("GLOBALINFO", "AUTHOR", "");
        sSkinData->Description = options.ReadString("GLOBALINFO", "DESCRIPTION", "");
        gd.clear();
        gd.reserve(options.Sections().size());
        // A value that is no number (in a gradient) stops the load.
        Reading(sSkinData->SkinPath + "Options.dat", [&] {
            for (const TsSkinOptions::TSection& s : options.Sections()) {
                TsGeneralData d;
                d.ClassName = s.Name;
                d.ParentClass = options.ReadString(s.Name, "PARENTCLASS", "");
                ReadSectionKeys(d, TFileKeyReader(TsOptionsSection(options, s.Name)), nullptr, 50);
                d.Color = ColorToRGB(d.Color);
                gd.push_back(std::move(d));
            }
        });
    } else {
        TsStoredSkin* skin = CurrentStoredSkin();
        if (!skin)
            return;
        gd.clear();
        sSkinData->Version = skin->Version;
        sSkinData->Author = skin->Author;
        sSkinData->Description = skin->Description;
        for (int i = 0; i < skin->GeneralData()->Count(); ++i) {
            // A section that cannot be copied is left out; the next one is copied.
            try {
                gd.push_back(FromStored(*skin->GeneralData()->Items(i)));
            } catch (const Exception&) {
            }
        }
    }
    if (TStringList* lines = CommonSectionLines())
        AddCommonGeneralData(lines);
    ResolveParents();
}

void FreeBitmaps()
{
    while (!ma.empty())
        ma.pop_back();
    MasterBitmap.reset();
    images.Bitmaps.clear();
    images.BitmapPixels = 0;
    images.Warning.clear();
    images.LeftOut = 0;
}

void FreeJpegs()
{
    while (!pa.empty())
        pa.pop_back();
    images.Jpegs.clear();
    images.SmallJpegs.clear();
    images.JpegPixels = 0;
}

AnsiString SkinImagesWarning()
{
    if (images.LeftOut <= 1)
        return images.Warning;
    return images.Warning + " Не загружено рисунков: " + IntToStr(images.LeftOut) + ".";
}

// --- Sizes and indexes -------------------------------------------------------------------------------

TPoint MaskSize(const TsMaskData& m)
{
    const bool border = m.PropertyName == "BORDERSMASK";
    if (m.Bmp) {
        const int w = m.Bmp->Width(), h = m.Bmp->Height();
        if (w < 3 || h < 2 || (border && (w < 9 || h < 6)))
            return {0, 0};
        return {w / 3, h / 2};
    }
    const int w = WidthOf(m.R), h = HeightOf(m.R);
    const int rows = m.MaskType + 1;
    if (!MasterBitmap || m.ImageCount < 1 || rows < 1 || w < m.ImageCount * 3 || h < rows ||
        (border && h < rows * 3))
        return {0, 0};
    return {w / m.ImageCount, h / rows};
}

TPoint MaskSize(int i)
{
    return IsValidImgIndex(i) ? MaskSize(ma[static_cast<std::size_t>(i)]) : TPoint{0, 0};
}

bool RectWithin(const TRect& R, int Width, int Height)
{
    return R.left >= 0 && R.top >= 0 && R.left <= R.right && R.top <= R.bottom && R.right <= Width && R.bottom <= Height;
}

bool IsValidImgIndex(int i)
{
    return i >= 0 && i < static_cast<int>(ma.size());
}

bool IsValidSkinIndex(int i)
{
    return sSkinData && i >= 0 && i < static_cast<int>(gd.size());
}
