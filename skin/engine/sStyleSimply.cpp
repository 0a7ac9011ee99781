#include "sStyleSimply.h"

#include <shellapi.h>

#include <type_traits>
#include <unordered_map>

#include "Forms.h"
#include "sMaskData.h"
#include "sSkinManager.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsSkinData* sSkinData = nullptr;
TConstantSkinData ConstData;
TCacheInfo GlobalCacheInfo;
AnsiString GlobalSectionName;
bool RestrictDrawing = false;
bool aSkinChanging = false;
std::unique_ptr<TIcon> AppIcon;
std::unique_ptr<TIcon> AppIconLarge;

namespace {
// The executable's own icon of one size: the first icon of its resources when it has one (the
// shell of the platform we run on answers one generic picture for every program), else the shell's.
std::unique_ptr<TIcon> ProgramIcon(bool Large)
{
    HICON icon = nullptr;
    if (ExtractIconExA(ExeName().c_str(), 0, Large ? &icon : nullptr, Large ? nullptr : &icon, 1) > 0 && icon) {
        auto own = std::make_unique<TIcon>();
        own->SetHandle(icon);
        return own;
    }
    return GetIconForFile(ExeName(), Large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
}

// The unit's start-up and shutdown: the current-skin object and the program's icons live as
// long as the program.
struct TUnitLife {
    TUnitLife()
    {
        sSkinData = new TsSkinData;
        AppIcon = ProgramIcon(false);
        AppIconLarge = ProgramIcon(true);
    }
    ~TUnitLife()
    {
        delete sSkinData;
        sSkinData = nullptr;
        AppIcon.reset();
        AppIconLarge.reset();
        GlobalSectionName.clear();
    }
} unitLife;

// A mask record made from a rectangle of a master image that the skin does not have names no image.
template <class Record>
bool ImagePresent(const Record& rec)
{
    if constexpr (std::is_same_v<Record, TsMaskData>)
        return rec.Bmp || MasterBitmap;
    else
        return true;
}

// The parent of section Index reached by the upper-case Name: none when ParentClass is empty or
// that name again.
int ParentOf(int Index, const AnsiString& Name)
{
    const TsGeneralData& d = gd[static_cast<std::size_t>(Index)];
    if (d.ParentIndex >= -1)
        return d.ParentIndex;
    const AnsiString parent = UpperCase(d.ParentClass);
    return parent.empty() || parent == Name ? -1 : GetSkinIndex(parent);
}

template <class Table>
int FindImage(const Table& table, int SkinIndex, const AnsiString& SkinSection, const AnsiString& PropertyName)
{
    if (!IsValidSkinIndex(SkinIndex) || SkinSection.empty())
        return -1;
    const AnsiString section = UpperCase(SkinSection);
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].PropertyName == PropertyName && table[i].ClassName == section && ImagePresent(table[i]))
            return static_cast<int>(i);
    int index = ParentOf(SkinIndex, section);
    if (index < 0)
        return -1;
    // The nearest parent with the image: the table's images of the property by section, then the
    // chain climbed one link at a time; a chain longer than the table loops.
    std::unordered_map<AnsiString, int> images;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].PropertyName == PropertyName && ImagePresent(table[i]))
            images.try_emplace(table[i].ClassName, static_cast<int>(i));
    for (std::size_t step = 0; index >= 0 && !images.empty() && step < gd.size(); ++step) {
        const AnsiString name = UpperCase(gd[static_cast<std::size_t>(index)].ClassName);
        if (const auto it = images.find(name); it != images.end())
            return it->second;
        index = ParentOf(index, name);
    }
    return -1;
}
} // namespace

TsSkinData::~TsSkinData()
{
    DefaultManager = nullptr;
}

int GetSkinIndex(const AnsiString& SkinSection)
{
    for (std::size_t i = 0; i < gd.size(); ++i)
        if (SameAsciiText(gd[i].ClassName, SkinSection))
            return static_cast<int>(i);
    return -1;
}

int GetMaskIndex(int SkinIndex, const AnsiString& SkinSection, const AnsiString& PropertyName)
{
    return FindImage(ma, SkinIndex, SkinSection, PropertyName);
}

int GetPatternIndex(int SkinIndex, const AnsiString& SkinSection, const AnsiString& PropertyName)
{
    if (!sSkinData || !sSkinData->Active)
        return -1;
    return FindImage(pa, SkinIndex, SkinSection, PropertyName);
}

void InitConstantIndexes()
{
    ConstData = TConstantSkinData{};
    TConstantSkinData& c = ConstData;
    auto mask = [](int index, const char* section, const char* prop) -> SmallInt {
        return static_cast<SmallInt>(GetMaskIndex(index, section, prop));
    };
    c.IndexGlobalInfo = static_cast<SmallInt>(GetSkinIndex("GLOBALINFO"));
    if (c.IndexGlobalInfo >= 0) {
        SmallInt* checks[] = {&c.MaskBoxChecked,   &c.MaskBoxUnchecked,   &c.MaskBoxGrayed,
                              &c.MaskRadioChecked, &c.MaskRadioUnchecked, &c.MaskRadioGrayed,
                              &c.MaskSmallChecked, &c.MaskSmallUnchecked, &c.MaskSmallGrayed};
        const char* names[] = {"BOXCHECKED",   "BOXUNCHECKED",   "BOXGRAYED",
                               "RADIOCHECKED", "RADIOUNCHECKED", "RADIOGRAYED",
                               "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};
        for (int i = 0; i < 9; ++i)
            *checks[i] = mask(c.IndexGlobalInfo, "GLOBALINFO", names[i]);
    }

    struct TTab {
        const char* Name;
        SmallInt& Index;
        SmallInt& Mask;
    } tabs[] = {{"TABTOP", c.IndexTabTop, c.MaskTabTop},
                {"TABBOTTOM", c.IndexTabBottom, c.MaskTabBottom},
                {"TABLEFT", c.IndexTabLeft, c.MaskTabLeft},
                {"TABRIGHT", c.IndexTabRight, c.MaskTabRight}};
    for (TTab& t : tabs) {
        t.Index = static_cast<SmallInt>(GetSkinIndex(t.Name));
        t.Mask = mask(t.Index, t.Name, "BORDERSMASK");
    }

    struct TScrollPart {
        const char* Name;
        SmallInt& Index;
        SmallInt& Mask;
        SmallInt& Glyph;
        SmallInt& Pattern;
        SmallInt& HotPattern;
    } parts[] = {
        {"SCROLLBTNTOP", c.IndexScrollBtnTop, c.MaskScrollBtnTop, c.GlyphScrollBtnTop, c.PatternScrollBtnTop,
         c.HotPatternScrollBtnTop},
        {"SCROLLBTNBOTTOM", c.IndexScrollBtnBottom, c.MaskScrollBtnBottom, c.GlyphScrollBtnBottom,
         c.PatternScrollBtnBottom, c.HotPatternScrollBtnBottom},
        {"SCROLLBTNLEFT", c.IndexScrollBtnLeft, c.MaskScrollBtnLeft, c.GlyphScrollBtnLeft, c.PatternScrollBtnLeft,
         c.HotPatternScrollBtnLeft},
        {"SCROLLBTNRIGHT", c.IndexScrollBtnRight, c.MaskScrollBtnRight, c.GlyphScrollBtnRight,
         c.PatternScrollBtnRight, c.HotPatternScrollBtnRight},
        {"SCROLLSLIDERV", c.IndexSliderV, c.MaskSliderV, c.GlyphSliderV, c.PatternSliderV, c.HotPatternSliderV},
        {"SCROLLSLIDERH", c.IndexSliderH, c.MaskSliderH, c.GlyphSliderH, c.PatternSliderH, c.HotPatternSliderH},
    };
    for (TScrollPart& p : parts) {
        p.Index = static_cast<SmallInt>(GetSkinIndex(p.Name));
        p.Mask = mask(p.Index, p.Name, "BORDERSMASK");
        p.Glyph = p.Index >= 0 ? mask(p.Index, p.Name, "GLYPHMASK") : SmallInt(-1);
        p.Pattern = mask(p.Index, p.Name, "PATTERN");
        p.HotPattern = mask(p.Index, p.Name, "HOTPATTERN");
    }

    struct TBar {
        const char* Name;
        SmallInt& Index;
        SmallInt& Mask;
        SmallInt& Pattern;
        SmallInt& HotPattern;
    } bars[] = {
        {"SCROLLBAR1H", c.IndexScrollBar1H, c.MaskScrollBar1H, c.PatternScrollBar1H, c.HotPatternScrollBar1H},
        {"SCROLLBAR1V", c.IndexScrollBar1V, c.MaskScrollBar1V, c.PatternScrollBar1V, c.HotPatternScrollBar1V},
        {"SCROLLBAR2H", c.IndexScrollBar2H, c.MaskScrollBar2H, c.PatternScrollBar2H, c.HotPatternScrollBar2H},
        {"SCROLLBAR2V", c.IndexScrollBar2V, c.MaskScrollBar2V, c.PatternScrollBar2V, c.HotPatternScrollBar2V},
    };
    for (TBar& b : bars) {
        b.Index = static_cast<SmallInt>(GetSkinIndex(b.Name));
        b.Mask = mask(b.Index, b.Name, "BORDERSMASK");
        b.Pattern = mask(b.Index, b.Name, "PATTERN");
        b.HotPattern = mask(b.Index, b.Name, "HOTPATTERN");
    }
}

TsSkinManager* SearchSkinManager(TComponent* Root)
{
    if (!Root)
        return nullptr;
    for (int i = 0; i < Root->ComponentCount(); ++i) {
        TComponent* c = Root->Components(i);
        if (auto* m = dynamic_cast<TsSkinManager*>(c))
            return m;
        if (TsSkinManager* m = SearchSkinManager(c))
            return m;
    }
    return nullptr;
}

void AppBroadCastS(TMessage& Message)
{
    if (!Application)
        return;
    // The count is read again at every step: a component may go while it handles the message.
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(Application->Components(i));
        if (!w || w->ComponentState().Contains(csDestroying))
            continue;
        // A form never shown takes the message without a window: the windows of all of them,
        // made here, would hold this one message for every form; each is made when it shows.
        if (w->HandleAllocated()) {
            SendMessageA(w->Handle(), Message.Msg, Message.WParam, Message.LParam);
        } else {
            TMessage copy = Message;
            w->WindowProc(copy);
        }
        SkinBroadCast(w, Message);
        if (auto* f = dynamic_cast<TCustomForm*>(w); f && f->FormStyle() == fsMDIForm && f->ClientHandle())
            SendMessageA(f->ClientHandle(), Message.Msg, Message.WParam, Message.LParam);
    }
}
