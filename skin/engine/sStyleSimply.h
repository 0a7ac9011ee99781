// The one current skin of the process (sSkinData), the table of indexes resolved once per skin
// (ConstData), and the lookups of sections, masks and patterns by name.
#pragma once

#include <memory>

#include "IniFiles.h"
#include "Messages.h"
#include "sConst.h"

class TsSkinManager;

// The current skin.
class TsSkinData : public TObject {
    VCL_CLASS(TsSkinData, TObject)
public:
    ~TsSkinData() override;

    // The default manager (the first one made), not owned; null when there is none.
    TsSkinManager* DefaultManager = nullptr;
    // The current skin's options file, owned; null for a stored skin or when nothing is loaded.
    std::unique_ptr<TMemIniFile> SkinFile;
    // The skin's folder with a trailing backslash; empty for a stored skin.
    AnsiString SkinPath;
    // True while a skin is loaded and in use: controls paint skinned only then.
    bool Active = false;
    double Version = 0;
    AnsiString Author;
    AnsiString Description;
};

// The indexes that controls need on every paint, resolved once per skin; -1 means none.
struct TConstantSkinData {
    SmallInt IndexGlobalInfo = -1;
    SmallInt IndexTabTop = -1, IndexTabBottom = -1, IndexTabLeft = -1, IndexTabRight = -1;
    SmallInt MaskTabTop = -1, MaskTabBottom = -1, MaskTabLeft = -1, MaskTabRight = -1;
    SmallInt IndexScrollBtnTop = -1, IndexScrollBtnBottom = -1, IndexScrollBtnLeft = -1, IndexScrollBtnRight = -1;
    SmallInt MaskScrollBtnTop = -1, MaskScrollBtnBottom = -1, MaskScrollBtnLeft = -1, MaskScrollBtnRight = -1;
    SmallInt PatternScrollBtnTop = -1, PatternScrollBtnBottom = -1, PatternScrollBtnLeft = -1,
             PatternScrollBtnRight = -1;
    SmallInt HotPatternScrollBtnTop = -1, HotPatternScrollBtnBottom = -1, HotPatternScrollBtnLeft = -1,
             HotPatternScrollBtnRight = -1;
    SmallInt GlyphScrollBtnTop = -1, GlyphScrollBtnBottom = -1, GlyphScrollBtnLeft = -1, GlyphScrollBtnRight = -1;
    SmallInt IndexSliderV = -1, IndexSliderH = -1;
    SmallInt MaskSliderV = -1, MaskSliderH = -1;
    SmallInt GlyphSliderV = -1, GlyphSliderH = -1;
    SmallInt PatternSliderH = -1, HotPatternSliderH = -1;
    SmallInt PatternSliderV = -1, HotPatternSliderV = -1;
    SmallInt IndexScrollBar1H = -1, IndexScrollBar1V = -1, IndexScrollBar2H = -1, IndexScrollBar2V = -1;
    SmallInt MaskScrollBar1H = -1, MaskScrollBar1V = -1, MaskScrollBar2H = -1, MaskScrollBar2V = -1;
    SmallInt PatternScrollBar1H = -1, PatternScrollBar1V = -1, PatternScrollBar2H = -1, PatternScrollBar2V = -1;
    SmallInt HotPatternScrollBar1H = -1, HotPatternScrollBar1V = -1, HotPatternScrollBar2H = -1,
             HotPatternScrollBar2V = -1;
    SmallInt MaskBoxChecked = -1, MaskBoxUnchecked = -1, MaskBoxGrayed = -1;
    SmallInt MaskRadioChecked = -1, MaskRadioUnchecked = -1, MaskRadioGrayed = -1;
    SmallInt MaskSmallChecked = -1, MaskSmallUnchecked = -1, MaskSmallGrayed = -1;
};
static_assert(sizeof(TConstantSkinData) == 64 * sizeof(SmallInt), "ConstData holds 64 indexes");

// The current skin object (made when the program starts, freed when it ends).
extern TsSkinData* sSkinData;
extern TConstantSkinData ConstData;
// Answer slot of the cache-information command.
extern TCacheInfo GlobalCacheInfo;
// Upper-case section name carried by the section-changed command.
extern AnsiString GlobalSectionName;
// True while the new-skin command is being broadcast.
extern bool RestrictDrawing;
// True while the skin manager loads a skin.
extern bool aSkinChanging;
// The program's own icon, small and large, as the shell gives it when the program starts; null
// when the shell has none.
extern std::unique_ptr<TIcon> AppIcon;
extern std::unique_ptr<TIcon> AppIconLarge;

// Index in gd of the first section of that name (without ASCII case), or -1.
int GetSkinIndex(const AnsiString& SkinSection);
// Index in ma of the first image PropertyName (upper case, compared exactly) of the section,
// looked for in the section's PARENTCLASS chain when the section lacks it; -1 when none. The
// chain is followed at most as many steps as gd has records.
int GetMaskIndex(int SkinIndex, const AnsiString& SkinSection, const AnsiString& PropertyName);
// The same over pa; -1 at once while no skin is active.
int GetPatternIndex(int SkinIndex, const AnsiString& SkinSection, const AnsiString& PropertyName);
// Refills ConstData from the current tables (TsSkinManager::InitConstantIndexes runs it).
void InitConstantIndexes();
// The first TsSkinManager among the components owned by Root, depth first, or null.
TsSkinManager* SearchSkinManager(TComponent* Root);
// Sends the message to the window of every windowed component of the application (made when it
// has none yet), with SkinBroadCast to its children, and to the client window of an MDI form.
// Components that go meanwhile are passed over; the results are ignored.
void AppBroadCastS(TMessage& Message);
