// Per-control skin state (TsCommonData) and the caption label bound to an edit-like control
// (TsBoundLabel). For now they hold what the controls publish and stream; the skin engine fills in
// the section indexes, the cache bitmap and the shared message handling.
#pragma once

#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

class TWriter;

// The skin state every skinned control owns and publishes as SkinData.
class TsCommonData : public TPersistent {
    VCL_CLASS(TsCommonData, TPersistent)
public:
    // AOwner: the control (or component) whose skin state this is; CreateCacheBmp: whether it
    // keeps a cache bitmap once skins are painted.
    TsCommonData(TObject* AOwner, bool CreateCacheBmp);
    TsCommonData(TControl* AOwner, bool CreateCacheBmp);

    // Name of the skin section the control paints from ("EDIT", "BUTTON", ...).
    const AnsiString& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const AnsiString& Value);

    bool CustomFont = false;
    bool CustomColor = false;
    // Control-type code set by the control's constructor (0 = none).
    int COC = 0;
    // Section and border indexes in the current skin (-1: none; no skin is loaded yet).
    int SkinIndex = -1;
    int BorderIndex = -1;

    TControl* FOwnerControl = nullptr;
    TObject* FOwnerObject = nullptr;

    // Writes the published SkinSection as "SkinSection" under the writer's current path.
    void WriteProperties(TWriter& Writer) const;

private:
    AnsiString FSkinSection;
    bool FCreateCacheBmp = false;
};

enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

// The caption label that an edit-like control can show beside itself. Only the published values
// exist for now; the label control itself comes with the skin engine.
class TsBoundLabel : public TPersistent {
    VCL_CLASS(TsBoundLabel, TPersistent)
public:
    TsBoundLabel(TObject* AOwner, TsCommonData* CommonData);

    const AnsiString& Caption() const { return FCaption; }
    void SetText(const AnsiString& Value) { FCaption = Value; }
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value) { FIndent = Value; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    TsCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TsCaptionLayout Value) { FLayout = Value; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TsCommonData* CommonData() const { return FCommonData; }

    // Writes the published values in their order (Active only when set), names relative to the
    // writer's current path.
    void WriteProperties(TWriter& Writer) const;

private:
    TObject* FOwner;
    TsCommonData* FCommonData;
    AnsiString FCaption;
    int FIndent = 0;
    int FMaxWidth = 0;
    TsCaptionLayout FLayout = sclLeft;
    std::unique_ptr<TFont> FFont;
    bool FActive = false;
};

// What every skinned control adds to its framework base: its owned TsCommonData, published as
// SkinData, with the control's default section and control-type code.
class TsSkinHolder {
public:
    TsSkinHolder(TControl* Owner, const char* Section, int ControlCode)
        : FCommonData(std::make_unique<TsCommonData>(Owner, true))
    {
        FCommonData->SetSkinSection(Section);
        FCommonData->COC = ControlCode;
    }
    TsCommonData* SkinData() const { return FCommonData.get(); }

private:
    std::unique_ptr<TsCommonData> FCommonData;
};

// The edit-like controls also own a bound caption label, published as BoundLabel.
class TsBoundHolder : public TsSkinHolder {
public:
    TsBoundHolder(TControl* Owner, const char* Section, int ControlCode)
        : TsSkinHolder(Owner, Section, ControlCode),
          FBoundLabel(std::make_unique<TsBoundLabel>(Owner, SkinData()))
    {
    }
    TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }

private:
    std::unique_ptr<TsBoundLabel> FBoundLabel;
};
