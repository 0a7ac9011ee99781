#include "sSkinManager.h"

#include <algorithm>
#include <vector>

#include "Menus.h"
#include "SysUtils.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

// --- TsSkinGeneral -----------------------------------------------------------------------------

void TsSkinGeneral::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsSkinGeneral*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    SectionName = s->SectionName;
    ParentClass = s->ParentClass;
    Color = s->Color;
    Bevel = s->Bevel;
    ShadowBlur = s->ShadowBlur;
    ShadowColor = s->ShadowColor;
    ShadowDontUse = s->ShadowDontUse;
    ShadowEnabled = s->ShadowEnabled;
    ReservedBoolean = s->ReservedBoolean;
    ShadowOffset = s->ShadowOffset;
    ShadowTransparency = s->ShadowTransparency;
    FontColor = s->FontColor;
    HotFontColor = s->HotFontColor;
    Transparency = s->Transparency;
    GradientPercent = s->GradientPercent;
    GradientData = s->GradientData;
    ImagePercent = s->ImagePercent;
    ShowFocus = s->ShowFocus;
    FadingEnabled = s->FadingEnabled;
    FadingIntervalIn = s->FadingIntervalIn;
    FadingIntervalOut = s->FadingIntervalOut;
    FadingIterations = s->FadingIterations;
    HotColor = s->HotColor;
    HotTransparency = s->HotTransparency;
    HotBevel = s->HotBevel;
    HotGradientPercent = s->HotGradientPercent;
    HotGradientData = s->HotGradientData;
    HotImagePercent = s->HotImagePercent;
    BorderColor1 = s->BorderColor1;
    BorderColor2 = s->BorderColor2;
    Name = s->Name;
}

// --- TsSkinImage, TsSkinPattern ------------------------------------------------------------------

TsSkinImage::TsSkinImage(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TBitmap>())
{
}

void TsSkinImage::SetName(const AnsiString& Value)
{
    if (Value != FName)
        FName = Value;
}

void TsSkinImage::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsSkinImage*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    SectionName = s->SectionName;
    FImage->Assign(s->FImage.get());
    FName = s->FName;
    PropertyName = s->PropertyName;
    Left = s->Left;
    Top = s->Top;
    Right = s->Right;
    Bottom = s->Bottom;
    ImageCount = s->ImageCount;
    MaskType = s->MaskType;
    BorderWidth = s->BorderWidth;
}

TsSkinPattern::TsSkinPattern(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TJPEGImage>())
{
}

void TsSkinPattern::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsSkinPattern*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    SectionName = s->SectionName;
    FImage->Assign(s->FImage.get());
    Name = s->Name;
    PropertyName = s->PropertyName;
}

// --- TsStoredSkin ------------------------------------------------------------------------------

TsStoredSkin::TsStoredSkin(TCollection* Collection)
    : TCollectionItem(Collection),
      FImages(std::make_unique<TsSkinImages>(this)),
      FGeneralData(std::make_unique<TsSkinGenerals>(this)),
      FPatterns(std::make_unique<TsSkinPatterns>(this)),
      FMasterBitmap(std::make_unique<TBitmap>())
{
}

TsStoredSkin::~TsStoredSkin()
{
    FImages.reset();
    FPatterns.reset();
    FGeneralData.reset();
    FMasterBitmap.reset();
}

void TsStoredSkin::SetName(const AnsiString& Value)
{
    if (Value != FName)
        FName = Value;
}

void TsStoredSkin::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsStoredSkin*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    FImages->Assign(s->FImages.get());
    FName = s->FName;
    FGeneralData->Assign(s->FGeneralData.get());
    FPatterns->Assign(s->FPatterns.get());
    FMasterBitmap->Assign(s->FMasterBitmap.get());
    Version = s->Version;
    Description = s->Description;
    Author = s->Author;
}

namespace {

// Five text reads joined by single blanks (a stored text colour).
AnsiString JoinedColors(const TsOptionsSection& s, const char* const (&Keys)[5])
{
    AnsiString r = s.Text(Keys[0], "0");
    for (int i = 1; i < 5; ++i)
        r += " " + s.Text(Keys[i], "-1");
    return r;
}

} // namespace

void TsStoredSkin::LoadFromIni(TsSkinGenerals* gd, TMemIniFile* sf)
{
    const TsSkinOptions options(*sf);
    Version = ReadSkinVersion(options);
    sSkinData->Version = Version;
    Author = options.ReadString("GLOBALINFO", "AUTHOR", "");
    Description = options.ReadString("GLOBALINFO", "DESCRIPTION", "");
    static const char* const fontKeys[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
    static const char* const hotFontKeys[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
    for (const TsSkinOptions::TSection& section : options.Sections()) {
        const TsOptionsSection s(options, section.Name);
        TsSkinGeneral* g = gd->Add();
        g->SectionName = section.Name;
        g->ParentClass = options.ReadString(section.Name, "PARENTCLASS", "");
        g->Color = ColorToRGB(s.Int("COLOR", clWhite));
        g->Bevel = ControlBevelOf(s.Int("BEVEL", 0));
        g->ShadowBlur = s.Int("SHADOWBLUR", 6);
        g->ShadowOffset = s.Int("SHADOWOFFSET", 3);
        g->ShadowColor = s.OwnInt("SHADOWCOLOR", 0);
        g->ShadowTransparency = s.Int("SHADOWTRANSPARENCY", 60);
        g->ShadowEnabled = s.Bool("SHADOWENABLED");
        g->ReservedBoolean = s.Bool("RESERVEDBOOLEAN");
        g->FontColor = JoinedColors(s, fontKeys);
        g->HotFontColor = JoinedColors(s, hotFontKeys);
        g->Transparency = s.Int("TRANSPARENCY", 0);
        g->GradientPercent = s.Int("GRADIENTPERCENT", 0);
        g->ImagePercent = s.Int("IMAGEPERCENT", 0);
        g->GradientData = s.Text("GRADIENTDATA", " ");
        g->ShowFocus = s.Bool("SHOWFOCUS");
        g->FadingEnabled = s.Bool("FADINGENABLED");
        g->FadingIntervalIn = s.Int("FADINGINTERVALIN", 5);
        g->FadingIntervalOut = s.Int("FADINGINTERVALOUT", 5);
        g->FadingIterations = s.Int("FADINGITERATIONS", 5);
        g->HotColor = ColorToRGB(s.Int("HOTCOLOR", clWhite));
        g->HotTransparency = s.Int("HOTTRANSPARENCY", 0);
        g->HotBevel = ControlBevelOf(s.Int("HOTBEVEL", 0));
        g->HotGradientPercent = s.Int("HOTGRADIENTPERCENT", 0);
        g->HotGradientData = s.Text("HOTGRADIENTDATA", " ");
        g->HotImagePercent = s.Int("HOTIMAGEPERCENT", 0);
        g->BorderColor1 = s.Int("BORDERCOLOR1", 0);
        g->BorderColor2 = s.Int("BORDERCOLOR2", 0);
    }
}

void TsStoredSkin::LoadSkin(TMemIniFile* sf)
{
    FGeneralData->Clear();
    LoadFromIni(FGeneralData.get(), sf);
    FImages->Clear();
    FPatterns->Clear();
    const AnsiString folder = ExtractFilePath(sf->FileName());
    auto fileOf = [&folder](const AnsiString& v) { return v.find(':') != AnsiString::npos ? v : folder + v; };

    const TsSkinOptions options(*sf);
    const AnsiString master = options.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    FMasterBitmap->SetSize(0, 0);
    if (!master.empty() && FileExists(fileOf(master)))
        FMasterBitmap->LoadFromFile(fileOf(master));

    for (const TsSkinOptions::TSection& section : options.Sections()) {
        const bool global = SameText(section.Name, "GLOBALINFO");
        for (const TsSkinOptions::TKey& key : section.Keys) {
            // The master image is no image of its section.
            if (global && SameText(key.Name, "MASTERBITMAP"))
                continue;
            const AnsiString& v = key.Value;
            if (v.find('#') != AnsiString::npos) {
                TRect r;
                SmallInt count, type, border;
                if (!ParseMaskValue(v, r, count, type, border))
                    continue;
                TsSkinImage* img = FImages->Add();
                img->PropertyName = UpperCase(key.Name);
                img->SectionName = UpperCase(section.Name);
                img->Left = r.left;
                img->Top = r.top;
                img->Right = r.right;
                img->Bottom = r.bottom;
                img->ImageCount = count;
                img->MaskType = type;
                img->BorderWidth = border;
            } else if (AnsiUpperCase(v).find(".BMP") != AnsiString::npos && FileExists(fileOf(v))) {
                TBitmap bmp;
                bmp.LoadFromFile(fileOf(v));
                TsSkinImage* img = FImages->Add();
                img->PropertyName = UpperCase(key.Name);
                img->SectionName = UpperCase(section.Name);
                img->SetName(ExtractFileName(fileOf(v)));
                img->ImageCount = 0;
                img->SetImage(&bmp);
            }
        }
    }
    for (const TsSkinOptions::TSection& section : options.Sections()) {
        for (const TsSkinOptions::TKey& key : section.Keys) {
            const AnsiString upper = AnsiUpperCase(key.Value);
            if ((upper.find(".JPG") == AnsiString::npos && upper.find(".JPEG") == AnsiString::npos) ||
                !FileExists(fileOf(key.Value)))
                continue;
            TJPEGImage jpeg;
            jpeg.LoadFromFile(fileOf(key.Value));
            TsSkinPattern* p = FPatterns->Add();
            p->PropertyName = UpperCase(key.Name);
            p->SectionName = UpperCase(section.Name);
            p->Name = ExtractFileName(fileOf(key.Value));
            p->SetImage(&jpeg);
        }
    }
}

// --- TsStoredSkins -----------------------------------------------------------------------------

TsStoredSkins::TsStoredSkins(TsSkinManager* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClass<TsStoredSkin>())
{
}

int TsStoredSkins::IndexOf(const AnsiString& SkinName) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name() == SkinName)
            return i;
    return -1;
}

// --- TsSkinManager -----------------------------------------------------------------------------

bool NonAutoUpdate = false;

namespace {

// A skin's name names a folder of the skin directory only when it is a plain folder name: no
// drive, no separators, not "." or "..", nor any name the skin list leaves out.
bool IsFolderName(const AnsiString& Name)
{
    return !Name.empty() && Name[0] != '.' && Name.find_first_of("\\/:") == AnsiString::npos;
}

} // namespace

TsSkinManager* DefaultManager()
{
    return sSkinData ? sSkinData->DefaultManager : nullptr;
}

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner),
      FInternalSkins(std::make_unique<TsStoredSkins>(this)),
      FCommonSections(std::make_unique<TStringList>())
{
    if (sSkinData && !sSkinData->DefaultManager) {
        if (FSkinDirectory.empty())
            FSkinDirectory = "c:\\Skins";
        FActive = true;
        FSkinableMenus = std::make_unique<TsSkinableMenus>(this);
        sSkinData->DefaultManager = this;
    }
}

TsSkinManager::~TsSkinManager()
{
    FInternalSkins.reset();
    if (IsDefault()) {
        SendRemoveSkin();
        sSkinData->DefaultManager = nullptr;
    }
}

bool TsSkinManager::IsDefault() const
{
    return sSkinData && sSkinData->DefaultManager == this;
}

void TsSkinManager::Loaded()
{
    inherited::Loaded();
    if (!IsDefault() || !FActive || FSkinName.empty())
        return;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    SendNewSkin();
    WarnOfImages();
}

void TsSkinManager::WarnOfImages()
{
    const AnsiString warning = SkinImagesWarning();
    if (!warning.empty())
        ShowWarning(warning);
}

void TsSkinManager::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (Value) {
        SetSkinName(FSkinName);
        return;
    }
    // Only the default manager's skin is on the windows; another manager takes nothing away.
    if (IsDefault() && !ComponentState().Contains(csLoading))
        SendRemoveSkin();
    InitConstantIndexes();
}

void TsSkinManager::SetSkinName(const AnsiString& Value)
{
    FSkinName = Value;
    if (!FActive || !IsDefault() || FSkinName.empty())
        return;
    if (OnBeforeChange)
        OnBeforeChange(this);
    {
        sSkinData->Active = false;
        TFlagUp changing(aSkinChanging);
        if (!LoadSkin())
            return;
        if (!NonAutoUpdate)
            SendNewSkin();
    }
    WarnOfImages();
    if (OnAfterChange)
        OnAfterChange(this);
}

bool TsSkinManager::LoadSkin()
{
    sSkinData->SkinFile.reset();
    const AnsiString folder = GetFullSkinDirectory() + FSkinName + "\\";
    if (IsFolderName(FSkinName) && FileExists(folder + "Options.dat")) {
        sSkinData->SkinFile = std::make_unique<TMemIniFile>(folder + "Options.dat");
        sSkinData->SkinPath = folder;
    } else {
        sSkinData->SkinPath.clear();
        if (FInternalSkins->IndexOf(FSkinName) < 0) {
            if (FInternalSkins->Count() == 0) {
                // The windows lose the old skin before the box shows: drawn from the old skin's
                // tables half switched off, it would be neither skinned nor plain.
                SetActive(false);
                ShowWarning("Скин \"" + FSkinName + "\" не найден в папке \"" + GetFullSkinDirectory() + "\".");
                return false;
            }
            FSkinName = FInternalSkins->Items(0)->Name();
        }
    }
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    return true;
}

void TsSkinManager::SetSkinDirectory(const AnsiString& Value)
{
    if (Value == FSkinDirectory)
        return;
    FSkinDirectory = Value;
    if (IsDefault())
        sSkinData->SkinPath = GetFullSkinDirectory();
}

void TsSkinManager::SetCommonSections(TStrings* Value)
{
    FCommonSections->Assign(Value);
    for (int i = 0; i < FCommonSections->Count(); ++i) {
        const AnsiString& line = (*FCommonSections)[i];
        if (!line.empty() && line[0] != ';')
            FCommonSections->Put(i, DelChars(line, ' '));
    }
    SetSkinName(FSkinName);
}

AnsiString TsSkinManager::GetSkinInfo() const
{
    if (!sSkinData || !sSkinData->Active)
        return "N/A";
    const char saved = DecimalSeparator;
    DecimalSeparator = '.';
    const AnsiString info = FloatToStr(sSkinData->Version);
    DecimalSeparator = saved;
    return info;
}

void TsSkinManager::SetSkinnedPopups(bool Value)
{
    if (FSkinnedPopups == Value)
        return;
    FSkinnedPopups = Value;
    if (FSkinableMenus)
        FSkinableMenus->InitItems(sSkinData->Active);
}

void TsSkinManager::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    // Menus coming and going while a skin is active are hooked and unhooked at once.
    if (!FSkinableMenus || !sSkinData || !sSkinData->Active)
        return;
    if (auto* item = dynamic_cast<TMenuItem*>(AComponent))
        FSkinableMenus->InitItem(item, Operation == opInsert);
    else if (auto* menu = dynamic_cast<TMainMenu*>(AComponent))
        FSkinableMenus->InitMenuLine(menu, Operation == opInsert);
}

void TsSkinManager::Broadcast(WORD Command, LPARAM LParam)
{
    TMessage m = MakeMessage(SM_SKINCMD, MAKEWPARAM(0, Command), LParam);
    TsSkinableMenus::TOneWalk menusOnce(FSkinableMenus.get());
    AppBroadCastS(m);
}

void TsSkinManager::SendNewSkin()
{
    // Every window takes the new skin before any paints, and each is painted once at the end.
    TPaintDeferral deferred;
    sSkinData->Active = false;
    {
        // Skinned scroll bars and gauges stay still while the windows take the new tables.
        TFlagUp restricted(RestrictDrawing);
        InitConstantIndexes();
        Broadcast(AC_NEWSKIN, reinterpret_cast<LPARAM>(this));
    }
    sSkinData->Active = true;
    if (FSkinableMenus)
        FSkinableMenus->UpdateMenus();
    Broadcast(AC_REPAINT, reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::SendRemoveSkin()
{
    sSkinData->Active = false;
    Broadcast(AC_REMOVESKIN, reinterpret_cast<LPARAM>(this));
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
}

void TsSkinManager::UpdateSkin()
{
    if (FActive)
        SendNewSkin();
}

void TsSkinManager::UpdateSkinSection(const AnsiString& SectionName)
{
    GlobalSectionName = UpperCase(SectionName);
    Broadcast(AC_UPDATESKINSECTION, 0);
}

void TsSkinManager::InitConstantIndexes()
{
    ::InitConstantIndexes();
}

TColor TsSkinManager::GetGlobalColor() const
{
    const int i = GetSkinIndex("GLOBALINFO");
    return ColorToRGB(i >= 0 ? gd[static_cast<std::size_t>(i)].Color : clBtnFace);
}

TColor TsSkinManager::GetGlobalFontColor() const
{
    const int i = GetSkinIndex("GLOBALINFO");
    return i >= 0 ? ColorToRGB(gd[static_cast<std::size_t>(i)].FontColor[0]) : clSkinKey;
}

void TsSkinManager::GetSkinSections(TStrings* List) const
{
    if (List && sSkinData->Active && sSkinData->SkinFile)
        sSkinData->SkinFile->ReadSections(List);
}

AnsiString TsSkinManager::GetFullSkinDirectory() const
{
    AnsiString dir = FSkinDirectory;
    const AnsiString app = GetAppPath();
    if (dir.compare(0, 2, "..") == 0) {
        AnsiString parent = app.substr(0, app.empty() ? 0 : app.size() - 1);
        while (!parent.empty() && parent.back() != '\\' && parent.back() != '/')
            parent.pop_back();
        // The program in a drive root has no parent folder: stay in its own.
        if (parent.empty())
            parent = app;
        dir = parent + (dir.size() > 3 ? dir.substr(3) : AnsiString());
    } else if (dir.compare(0, 2, ".\\") == 0 || dir.compare(0, 2, "./") == 0) {
        dir = app + dir.substr(2);
    } else if (dir.find(':') == AnsiString::npos) {
        dir = app + dir;
    }
    return NormalDir(dir);
}

namespace {

// The first name found, then List := the names sorted without case.
AnsiString SortedInto(std::vector<AnsiString> Names, TStrings* List)
{
    AnsiString first = Names.empty() ? AnsiString() : Names.front();
    std::stable_sort(Names.begin(), Names.end(),
                     [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
    for (const AnsiString& n : Names)
        List->Add(n);
    return first;
}

// The sub-folders of Dir whose names do not begin with "." (with OptionsOnly, those holding an
// "Options.dat"), in the order the file system lists them.
void AddSkinFolders(const AnsiString& Dir, bool OptionsOnly, std::vector<AnsiString>& Names)
{
    if (!DirectoryExists(ExcludeTrailingBackslash(Dir)))
        return;
    TSearchRec rec;
    if (FindFirst(Dir + "*", faDirectory, rec) != 0)
        return;
    do {
        if ((rec.Attr & faDirectory) && !rec.Name.empty() && rec.Name[0] != '.' &&
            (!OptionsOnly || FileExists(Dir + rec.Name + "\\Options.dat")))
            Names.push_back(rec.Name);
    } while (FindNext(rec) == 0);
    FindClose(rec);
}

} // namespace

AnsiString TsSkinManager::GetSkinNames(TStrings* List) const
{
    if (!List)
        return {};
    List->Clear();
    std::vector<AnsiString> names;
    for (int i = 0; i < FInternalSkins->Count(); ++i)
        names.push_back(FInternalSkins->Items(i)->Name());
    AddSkinFolders(GetFullSkinDirectory(), true, names);
    return SortedInto(std::move(names), List);
}

AnsiString TsSkinManager::GetExternalSkinNames(TStrings* List) const
{
    if (!List)
        return {};
    List->Clear();
    std::vector<AnsiString> names;
    AddSkinFolders(GetFullSkinDirectory(), false, names);
    return SortedInto(std::move(names), List);
}
