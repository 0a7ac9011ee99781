// The skin manager component (the skin folder, the current skin's name, skins stored in the form
// and extra sections) and the stored-skin collections. The first manager made in the process is
// the default one (sSkinData->DefaultManager); only it loads skins and tells every window of the
// application about them (SM_SKINCMD).
#pragma once

#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "IniFiles.h"
#include "Jpeg.h"
#include "sConst.h"

class TsSkinManager;
class TsStoredSkin;
class TsSkinableMenus;

// --- Stored skins: a skin folder kept as component data ------------------------------------------

// One section's general keys. FontColor and HotFontColor hold five integers as text separated by
// single blanks: the text colour and the left, top, right and bottom contour colours.
class TsSkinGeneral : public TCollectionItem {
    VCL_CLASS(TsSkinGeneral, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    // Copies every field of another TsSkinGeneral.
    void Assign(TPersistent* Source) override;

    AnsiString SectionName;
    AnsiString ParentClass;
    TColor Color = 0;
    TsControlBevel Bevel = cbNone;
    Integer ShadowBlur = 0;
    TColor ShadowColor = 0;
    bool ShadowDontUse = false;
    bool ShadowEnabled = false;
    bool ReservedBoolean = false;
    Integer ShadowOffset = 0;
    Integer ShadowTransparency = 0;
    AnsiString FontColor;
    AnsiString HotFontColor;
    Integer Transparency = 0;
    Integer GradientPercent = 0;
    AnsiString GradientData;
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
    Integer HotImagePercent = 0;
    TColor BorderColor1 = 0;
    TColor BorderColor2 = 0;
    AnsiString Name;
};

// One image key of a section: a rectangle of the master image, or (ImageCount 0) a bitmap file
// held in Image with its file name in Name.
class TsSkinImage : public TCollectionItem {
    VCL_CLASS(TsSkinImage, TCollectionItem)
public:
    explicit TsSkinImage(TCollection* Collection);
    void Assign(TPersistent* Source) override;

    TBitmap* Image() const { return FImage.get(); }
    // Copies the bitmap.
    void SetImage(TBitmap* Value) { FImage->Assign(Value); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);

    AnsiString SectionName;
    AnsiString PropertyName;
    Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
    Integer ImageCount = 0;
    Integer MaskType = 0;
    Integer BorderWidth = 0;

private:
    std::unique_ptr<TBitmap> FImage;
    AnsiString FName;
};

// One JPEG file of a section.
class TsSkinPattern : public TCollectionItem {
    VCL_CLASS(TsSkinPattern, TCollectionItem)
public:
    explicit TsSkinPattern(TCollection* Collection);
    void Assign(TPersistent* Source) override;

    TJPEGImage* Image() const { return FImage.get(); }
    void SetImage(TJPEGImage* Value) { FImage->Assign(Value); }

    AnsiString SectionName;
    AnsiString Name;
    AnsiString PropertyName;

private:
    std::unique_ptr<TJPEGImage> FImage;
};

// The typed collections of a stored skin (owner: the stored skin).
template <class TItem>
class TsStoredSkinCollection : public TOwnedCollection {
public:
    explicit TsStoredSkinCollection(TPersistent* AOwner) : TOwnedCollection(AOwner, CollectionItemClass<TItem>())
    {
    }
    TItem* Add() { return static_cast<TItem*>(TCollection::Add()); }
    TItem* Items(int Index) const { return static_cast<TItem*>(TCollection::Items(Index)); }
};

class TsSkinGenerals : public TsStoredSkinCollection<TsSkinGeneral> {
    VCL_CLASS(TsSkinGenerals, TOwnedCollection)
public:
    using TsStoredSkinCollection::TsStoredSkinCollection;
};
class TsSkinImages : public TsStoredSkinCollection<TsSkinImage> {
    VCL_CLASS(TsSkinImages, TOwnedCollection)
public:
    using TsStoredSkinCollection::TsStoredSkinCollection;
};
class TsSkinPatterns : public TsStoredSkinCollection<TsSkinPattern> {
    VCL_CLASS(TsSkinPatterns, TOwnedCollection)
public:
    using TsStoredSkinCollection::TsStoredSkinCollection;
};

// A whole skin kept inside the form: general data, images, patterns and the master image.
class TsStoredSkin : public TCollectionItem {
    VCL_CLASS(TsStoredSkin, TCollectionItem)
public:
    explicit TsStoredSkin(TCollection* Collection);
    ~TsStoredSkin() override;
    void Assign(TPersistent* Source) override;

    TsSkinImages* Images() const { return FImages.get(); }
    void SetImages(TsSkinImages* Value) { FImages->Assign(Value); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    TsSkinGenerals* GeneralData() const { return FGeneralData.get(); }
    void SetGeneralData(TsSkinGenerals* Value) { FGeneralData->Assign(Value); }
    TsSkinPatterns* Patterns() const { return FPatterns.get(); }
    void SetPatterns(TsSkinPatterns* Value) { FPatterns->Assign(Value); }
    TBitmap* MasterBitmap() const { return FMasterBitmap.get(); }
    void SetMasterBitmap(TBitmap* Value) { FMasterBitmap->Assign(Value); }

    double Version = 0;
    AnsiString Description;
    AnsiString Author;

    // Fills this stored skin from a skin folder's options file (its FileName is the folder's
    // "Options.dat"): general data, the master image, the bitmap images and the JPEG files.
    // Patterns are emptied first, so a second import replaces the first.
    void LoadSkin(TMemIniFile* sf);
    // The general data part of LoadSkin: the description into this skin and the current skin
    // object, one TsSkinGeneral per section of the file.
    void LoadFromIni(TsSkinGenerals* gd, TMemIniFile* sf);

private:
    std::unique_ptr<TsSkinImages> FImages;
    AnsiString FName;
    std::unique_ptr<TsSkinGenerals> FGeneralData;
    std::unique_ptr<TsSkinPatterns> FPatterns;
    std::unique_ptr<TBitmap> FMasterBitmap;
};

// The skins stored in a manager.
class TsStoredSkins : public TOwnedCollection {
    VCL_CLASS(TsStoredSkins, TOwnedCollection)
public:
    explicit TsStoredSkins(TsSkinManager* AOwner);
    TsStoredSkin* Add() { return static_cast<TsStoredSkin*>(TCollection::Add()); }
    TsStoredSkin* Items(int Index) const { return static_cast<TsStoredSkin*>(TCollection::Items(Index)); }
    // Index of the first skin of exactly that name (case counts), -1 when none.
    int IndexOf(const AnsiString& SkinName) const;
};

// --- The manager ----------------------------------------------------------------------------------

// When set, a skin load fills the tables without telling the windows (UpdateSkin does that).
extern bool NonAutoUpdate;

class TsSkinManager : public TComponent {
    VCL_CLASS(TsSkinManager, TComponent)
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;
    // After streaming: the default manager loads its skin once more and tells the windows.
    void Loaded() override;

    // Whether this manager applies skins. Switching it off removes the skin from every window;
    // switching it on loads the skin named by SkinName.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The skin folder as set: absolute, or relative to the program's folder. A new one is used by
    // the next SetSkinName.
    const AnsiString& SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const AnsiString& Value);
    // The current skin's name. Setting it on the active default manager loads that skin (its
    // folder, else the stored skin of that name, else the first stored skin) and broadcasts it,
    // then warns once of the images left out for their size (SkinImagesWarning); with neither, a
    // warning naming the skin and the manager switches off. Any other manager, an inactive one,
    // and an empty name only store it. A loader's exception reaches the caller with the skin left
    // inactive and nothing broadcast.
    const AnsiString& SkinName() const { return FSkinName; }
    void SetSkinName(const AnsiString& Value);
    // Skins kept in the form; SetBuiltInSkins copies a collection into them.
    TsStoredSkins* InternalSkins() const { return FInternalSkins.get(); }
    void SetBuiltInSkins(TsStoredSkins* Value) { FInternalSkins->Assign(Value); }
    // Extra sections in the options-file syntax, added after the skin's own when it loads.
    TStringList* CommonSections() const { return FCommonSections.get(); }
    // Takes the lines with every blank removed (comment lines kept as they are), then sets the
    // skin name again so that the next load has them.
    void SetCommonSections(TStrings* Value);
    // The active skin's version with "." as decimal separator ("4.5"), else "N/A". Setting it
    // does nothing.
    AnsiString GetSkinInfo() const;
    void SetSkinInfo(const AnsiString&) {}
    AnsiString GetVersion() const { return "4.44"; }
    void SetVersion(const AnsiString&) {}
    // Whether pop-up menus are skinned.
    bool SkinnedPopups() const { return FSkinnedPopups; }
    void SetSkinnedPopups(bool Value);
    // The painter of the application's menus; the default manager's only (null for another).
    TsSkinableMenus* SkinableMenus() const { return FSkinableMenus.get(); }

    // The skin folder as a full path with a trailing backslash: "..\x" is taken from the program
    // folder's parent (from the program folder when that is a drive root), ".\x" and any path
    // without a drive from the program folder.
    AnsiString GetFullSkinDirectory() const;
    // Fills List with the stored skins and the skins of the skin folder (the sub-folders whose
    // name does not begin with "." and that hold an "Options.dat"), sorted without case; answers
    // the first name found (stored skins first, then folders in file-system order; "" if none).
    AnsiString GetSkinNames(TStrings* List) const;
    // The same for every sub-folder of the skin folder whose name does not begin with ".".
    AnsiString GetExternalSkinNames(TStrings* List) const;
    // While a skin from a folder is active, List := the section names of its options file.
    void GetSkinSections(TStrings* List) const;
    // GLOBALINFO's colour and first font colour as RGB; without GLOBALINFO the button face's
    // colour and clSkinKey.
    TColor GetGlobalColor() const;
    TColor GetGlobalFontColor() const;

    // The new-skin command to every window with drawing restricted, then the repaint command
    // with the skin active.
    void SendNewSkin();
    // The skin-removed command to every window, then the tables emptied.
    void SendRemoveSkin();
    // SendNewSkin while active.
    void UpdateSkin();
    // Every control painting from that section repaints.
    void UpdateSkinSection(const AnsiString& SectionName);
    // Refills ConstData from the current tables.
    void InitConstantIndexes();

    // Writes every stored skin of that name into "<name> extracted" under Directory.
    void ExtractInternalSkin(const AnsiString& SkinName, const AnsiString& Directory);
    void ExtractByIndex(int Index, const AnsiString& Directory);
    // The sections of stored skin Index into an options file.
    void SaveToIni(int Index, TMemIniFile* Ini);
    // Replaces (or adds) the image Property of Section in the loaded tables by the bitmap or JPEG
    // file; true when the new image is in effect.
    bool ChangeImageInSkin(const AnsiString& Section, const AnsiString& Property, const AnsiString& FileName);

    TNotifyEvent OnAfterChange;
    TNotifyEvent OnBeforeChange;

private:
    bool IsDefault() const;
    // Loads the named skin: its folder or a stored skin; false (after the warning) when there is
    // none.
    bool LoadSkin();
    // The warning of the last load about images left out, when there is one.
    static void WarnOfImages();
    // A message of the library with the command in the high word and this manager in LParam.
    void Broadcast(WORD Command, LPARAM LParam);

    void Notification(TComponent* AComponent, TOperation Operation) override;

    AnsiString FSkinName;
    AnsiString FSkinDirectory;
    bool FActive = false;
    std::unique_ptr<TsStoredSkins> FInternalSkins;
    std::unique_ptr<TStringList> FCommonSections;
    bool FSkinnedPopups = true;
    std::unique_ptr<TsSkinableMenus> FSkinableMenus;
};

// The process-wide default manager (the first one created), or null.
TsSkinManager* DefaultManager();
