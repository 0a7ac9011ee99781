// The skin manager component: the skin folder and the current skin's name. The first manager
// created in the process is the default one. Loading and applying skins comes with the skin
// engine; for now setting the name records it.
#pragma once

#include "Classes.h"

class TsSkinManager : public TComponent {
    VCL_CLASS(TsSkinManager, TComponent)
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    // The skin folder as set: absolute, or relative to the program's folder.
    const AnsiString& SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const AnsiString& Value) { FSkinDirectory = Value; }
    const AnsiString& SkinName() const { return FSkinName; }
    void SetSkinName(const AnsiString& Value);

    // The skin folder as a full path with a trailing backslash: "..\x" is taken from the program
    // folder's parent, ".\x" and any path without a drive from the program folder.
    AnsiString GetFullSkinDirectory() const;
    // Fills List with the skins of the skin folder (the sub-folders whose name does not begin
    // with "." and that hold an "Options.dat"), sorted without case; answers the first one found
    // in folder order ("" when there is none).
    AnsiString GetSkinNames(TStrings* List) const;

    TNotifyEvent OnBeforeChange;
    TNotifyEvent OnAfterChange;

private:
    AnsiString FSkinDirectory;
    AnsiString FSkinName;
    bool FActive = false;
};

// The process-wide default manager (the first one created), or null.
TsSkinManager* DefaultManager();
