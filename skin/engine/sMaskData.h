// The loaded skin in four process-wide tables: gd (one record per skin section), ma (mask images:
// rectangles of the master image, bitmap files and small JPEG files), pa (large JPEG patterns)
// and the master image, with the loaders that fill them from the current skin (sStyleSimply).
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "IniFiles.h"
#include "Jpeg.h"
#include "sConst.h"
#include "sGradient.h"

// One skin section with its values resolved through PARENTCLASS.
struct TsGeneralData {
    AnsiString ParentClass;  // PARENTCLASS as written (upper case for CommonSections)
    AnsiString ClassName;    // the section's name as written
    // The index in gd of the section ParentClass names (-1: none, the section itself); -2 until
    // the loaders resolve it, for a record made by other means.
    int ParentIndex = -2;
    TColor Color = 0;
    TsControlBevel Bevel = cbNone;
    TColor FontColor[5] = {0, -1, -1, -1, -1};     // text colour, then left, top, right, bottom contours
    TColor HotFontColor[5] = {0, -1, -1, -1, -1};
    bool ReservedBoolean = false;
    Integer ShadowBlur = 0;
    TColor ShadowColor = 0;
    bool ShadowDontUse = false;
    bool ShadowEnabled = false;
    Integer ShadowOffset = 0;
    Integer ShadowTransparency = 0;
    Integer Transparency = 0;
    Integer GradientPercent = 0;
    AnsiString GradientData;
    TsGradArray GradArray;
    Integer ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    Integer FadingIntervalIn = 0;
    Integer FadingIntervalOut = 0;
    Integer FadingIterations = 0;
    TColor HotColor = 0;
    Integer HotTransparency = 0;
    TsControlBevel HotBevel = cbNone;
    Integer HotGradientPercent = 0;
    AnsiString HotGradientData;
    TsGradArray HotGradArray;
    Integer HotImagePercent = 0;
    TColor BorderColor1 = 0;
    TColor BorderColor2 = 0;
};

// One mask image: its own 24-bit bitmap (shared by every mask a skin makes from one file), or
// (Bmp null) the rectangle R of the master image.
struct TsMaskData {
    std::shared_ptr<TBitmap> Bmp;
    AnsiString ClassName;     // upper case
    AnsiString PropertyName;  // upper case
    TRect R{0, 0, 0, 0};
    SmallInt ImageCount = 0;
    SmallInt MaskType = 0;
    SmallInt BorderWidth = 0;
};

// One large JPEG pattern (shared by every pattern a skin makes from one file, so that it is
// decoded once).
struct TsPatternData {
    std::shared_ptr<TJPEGImage> Img;
    AnsiString ClassName;     // upper case
    AnsiString PropertyName;  // upper case
};

extern std::vector<TsGeneralData> gd;
extern std::vector<TsMaskData> ma;
extern std::vector<TsPatternData> pa;
// The master image (24 bits per pixel, transparent key 0xFF00FF), or null.
extern std::unique_ptr<TBitmap> MasterBitmap;

// A JPEG image of fewer pixels than this becomes a mask; a larger one stays a pattern.
constexpr Int64 MaxMaskJpegPixels = 90000;

// The images of a skin are hostile input. An image file of more pixels than MaxSkinImagePixels,
// or one that would take a skin's images (each file counted once, at its decoded size) past
// MaxSkinPixels, is no image. A real skin needs a few million pixels (a master image and a few
// screen-sized patterns); 16 and 64 million pixels (48 and 192 MB at 24 bits) are far above
// that and far below what a 32-bit process can give to pictures while it works.
constexpr Int64 MaxSkinImagePixels = 16ll * 1024 * 1024;
constexpr Int64 MaxSkinPixels = 4 * MaxSkinImagePixels;
// The one warning of the last load about the images it left out for their size, naming the
// skin and the first such file; empty when it left none out.
AnsiString SkinImagesWarning();

// Empties ma and the master image and fills them from the current skin: rectangles of the
// master image and bitmap files, then the images of the manager's CommonSections. A rectangle
// reaching outside the master image is no image. A file that cannot be read raises an Exception
// naming the skin and the file.
void LoadAllMasks();
// Empties pa and fills it with the current skin's JPEG files; small ones become masks in ma.
void LoadAllPatterns();
// Reads the skin's description into sSkinData and refills gd from the skin's sections, then
// the manager's CommonSections.
void LoadAllGeneralData();
// Frees every mask bitmap (last first, emptying ma), then the master image.
void FreeBitmaps();
// Frees every pattern (last first, emptying pa).
void FreeJpegs();

// An options file read once into its sections and keys, in file order, with lookups by name
// (without case) that do not scan: what the loaders read a skin through.
// The names and values are those of the file read, not copies: the options are valid while it
// lives unchanged.
class TsSkinOptions {
public:
    struct TKey {
        const AnsiString& Name;
        const AnsiString& Value;
        const AnsiString& NameUp;  // upper case, for lookups
        int Id = -1;               // the same for every key of this upper-case name (see KeyId)
    };
    struct TSection {
        const AnsiString& Name;
        std::vector<TKey> Keys;
    };

    explicit TsSkinOptions(const TMemIniFile& Ini);
    // The keys' names are looked up through views of the keys: moved, never copied.
    TsSkinOptions(TsSkinOptions&&) = default;
    TsSkinOptions(const TsSkinOptions&) = delete;
    TsSkinOptions& operator=(const TsSkinOptions&) = delete;

    const std::vector<TSection>& Sections() const { return FSections; }
    // The section of that name, or null.
    const TSection* Find(const AnsiString& Section) const;
    // The number the keys of that name (without case) carry; -1 when no section has the key.
    int KeyId(std::string_view Key) const;
    // The same for a name the loaders read again for every section: its number is kept by where
    // its text is (and checked against the text), so that it is looked up once.
    int KeyId(const char* Key) const;
    // The value of the key numbered Id in a section, or null when either is missing.
    static const AnsiString* Value(const TSection* Section, int Id);
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Key, const AnsiString& Default) const;
    // The section (an index into Sections) whose own value of the key numbered Id section i reads
    // through PARENTCLASS, or -1 when none of its chain has one. A key is missing when absent or
    // "?" (texts), absent, no integer or -1 (integers).
    int Source(std::size_t i, int Id, bool Integer) const;

private:
    const std::vector<int>& Sources(int Id, bool Integer) const;

    std::vector<TSection> FSections;
    std::unordered_map<AnsiString, std::size_t> FIndex;  // upper-case section name -> FSections
    std::unordered_map<std::string_view, int> FKeyIds;   // upper-case key name -> its Id
    std::vector<int> FParents;                           // index of each section's parent, or -1
    // Source of every section for each key read so far, at Id * 2 + (integer rule); empty until
    // the key is read.
    mutable std::vector<std::vector<int>> FSources;
    struct TKnownName {
        const char* At = nullptr;
        AnsiString Text;
        int Id = -1;
    };
    // Names kept by where their text is: the loaders' names lie close together, so a prime
    // number of places spreads them.
    mutable std::array<TKnownName, 251> FKnownNames;
};

// One section of an options file read with inheritance: a key that is missing (an integer of
// -1 or no integer, a text of "?") is looked up in the section named by PARENTCLASS, then in its
// parent, and so on; a parent that is empty, "?" or the section itself (without case) ends the
// chain, and a chain that loops ends where it closes. Each key's chains are followed once for all
// sections, so reading a whole file costs as much as the file is long.
class TsOptionsSection {
public:
    TsOptionsSection(const TsSkinOptions& Options, const AnsiString& Section);
    Integer Int(const char* Key, Integer Default) const;
    AnsiString Text(const char* Key, const AnsiString& Default) const;
    // True when the text reads "TRUE" in any case.
    bool Bool(const char* Key) const;
    // The integer of the section itself, without inheritance.
    Integer OwnInt(const char* Key, Integer Default) const;

private:
    const AnsiString* Read(const char* Key, bool Integer) const;

    const TsSkinOptions& FOptions;
    const TsSkinOptions::TSection* FSection;
};

// GLOBALINFO's VERSION read with "." as the decimal separator whatever the locale's; 0 when it
// is missing or no number.
double ReadSkinVersion(const TsSkinOptions& Options);

// A mask value of the options file, #(l,t,r,b),ImageCount,MaskType[,BorderWidth]: ImageCount at
// least 1, the others at least 0. False (nothing set) for "#" alone and for a malformed value,
// which names no image.
bool ParseMaskValue(const AnsiString& Value, TRect& R, SmallInt& ImageCount, SmallInt& MaskType,
                    SmallInt& BorderWidth);

// R lies within a Width x Height image (64-bit arithmetic: a skin may write any integer); an
// empty rectangle inside does too.
bool RectWithin(const TRect& R, int Width, int Height);

// Size of one cell of a mask: (width / 3, height / 2) of an own bitmap, else width(R) /
// ImageCount by height(R) / (MaskType + 1). A mask that is no image gives (0, 0): a rectangle
// without a master image, or narrower than ImageCount x 3 pixels; an own bitmap narrower than 3
// or lower than 2 pixels; a border mask ("BORDERSMASK") with cells of less than 3 x 3 per state.
TPoint MaskSize(const TsMaskData& Mask);
// The same for mask i; (0, 0) for an index outside ma.
TPoint MaskSize(int i);
bool IsValidImgIndex(int i);
bool IsValidSkinIndex(int i);
