// Per-control skin state (TsCommonData), the shared message handling every skinned control runs
// first (CommonWndProc, CommonMessage), the tie of a control's painting to its parent's cached
// image (GetParentCache, CopyWinControlCache), and the caption label bound to an edit-like
// control (TsBoundLabel).
#pragma once

#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "sConst.h"

class TWriter;
class TsEditLabel;

// The skin state every skinned control owns and publishes as SkinData: its section and the
// indexes resolved from it in the current skin's tables, its cache bitmap (its whole painted
// image), its state flags and its control-type code.
class TsCommonData : public TPersistent {
    VCL_CLASS(TsCommonData, TPersistent)
public:
    // AOwner: the control (or component) whose skin state this is; CreateCacheBmp: whether it
    // keeps a cache bitmap (24 bits per pixel).
    TsCommonData(TObject* AOwner, bool CreateCacheBmp);
    TsCommonData(TControl* AOwner, bool CreateCacheBmp) : TsCommonData(static_cast<TObject*>(AOwner), CreateCacheBmp) {}
    ~TsCommonData() override;

    // The control does not paint skinned while it is updating.
    bool Updating = false;
    void BeginUpdate() { Updating = true; }
    void EndUpdate() { Updating = false; }
    void SetUpdating(bool Value) { Updating = Value; }
    // True while no skin is active, while updating, without a parent, or while the parent
    // answers AC_GETUPDATING with yes.
    bool GetUpdating();

    // Name of the skin section the control paints from ("EDIT", "BUTTON", ...). Setting a new
    // one ("UNKNOWN" for "") re-resolves the indexes and tells the control (AC_REPAINT, or
    // AC_REMOVESKIN while no skin is loaded) when it has a parent.
    const AnsiString& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const AnsiString& Value);

    // The control keeps its own font colour / background colour instead of the section's.
    bool CustomFont = false;
    bool CustomColor = false;
    void SetCustomFont(bool Value);
    void SetCustomColor(bool Value);

    int BorderIndex = -1; // the section's "BORDERSMASK" in ma; -1 none
    int SkinIndex = -1;   // the section in gd; -1 none
    TControl* RepaintChild = nullptr;
    bool UrgentPainting = false;
    bool BGChanged = true; // the cache is stale
    bool HalfVisible = false;
    TControl* FOwnerControl = nullptr;
    TObject* FOwnerObject = nullptr;
    std::unique_ptr<TBitmap> FCacheBmp;
    // Control-type code set by the control's constructor (0 = none).
    int COC = 0;
    bool Focused = false;
    bool MouseAbove = false;

    // The owner exists, is not being destroyed and SkinIndex is a section of the current tables.
    bool Skinned() const;
    // BGChanged; SkinIndex from the section name; BorderIndex from the section (-1 without one).
    void UpdateIndexes();
    // The control's Loaded: binds the section (UpdateData) and gives an edit the section's colours.
    void Loaded();
    // Marks the cache stale and invalidates a ready owner.
    void Invalidate();
    // The parent's answer to AC_ISTEXTURED.
    bool ParentTextured();
    // Whether a move or a parent's resize makes the cached image stale.
    bool RepaintIfMoved();
    // The cache bitmap, made when absent, 24-bit, of the owner's size.
    void InitCacheBmp();

    // Writes the published values (CustomColor and CustomFont only when set, SkinSection) under
    // the writer's current path.
    void WriteProperties(TWriter& Writer) const;

private:
    // Colour and font colour of an edit owner from the section (Compare: only when different).
    void ApplyEditColors(bool Compare);
    bool OwnerDestroying() const;

    AnsiString FSkinSection;
};

// With an empty SkinSection, the default section of the control-type code (or the owner's class
// name); otherwise UpdateIndexes.
void UpdateData(TsCommonData* SkinData);
// The owner's parent's cached image (AC_GETCACHEINFO); all zero and not ready without a parent
// or an answer.
TCacheInfo GetParentCache(TsCommonData* SkinData);
// Whether the control paints in its active (hot) state: enabled, and focused or under the mouse
// where its control type may be hot.
bool ControlIsActive(TsCommonData* SkinData);
// The section's background is partly transparent.
bool BgIsTransparent(TsCommonData* SkinData);
void AlignShadow(TsCommonData* SkinData);
// The shared first step of a skinned control's window procedure; true when the message was
// fully handled (only SM_SKINCMD can be).
bool CommonWndProc(TMessage& Message, TsCommonData* SkinData);
// The SM_SKINCMD commands of a control's skin state; true when handled.
bool CommonMessage(TMessage& Message, TsCommonData* SkinData);
// Copies the control's cache from SrcRect's top-left to DstRect of DC, leaving out its visible
// opaque windowed children and (unless StdTransparency) its graphic children; the children's
// bounds are moved by (SrcRect.Right, SrcRect.Bottom). UpdateCorners repairs the border's
// corners from the parent first.
void CopyWinControlCache(TWinControl* Control, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect,
                         HDC DC, bool UpdateCorners);

enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

// The caption label of an edit-like control: while Active, a TsEditLabel on the control's parent
// beside the control, named after it and focusing it.
class TsBoundLabel : public TPersistent {
    VCL_CLASS(TsBoundLabel, TPersistent)
public:
    TsBoundLabel(TObject* AOwner, TsCommonData* CommonData);
    ~TsBoundLabel() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetText(const AnsiString& Value);
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // 0: the label sizes itself; otherwise its fixed width, with word wrap.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TsCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TsCaptionLayout Value);
    // The label's font while there is a label, else the own font (which a new font is given to
    // when there is no label, and which a label made afterwards takes).
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TsCommonData* CommonData() const { return FCommonData; }
    TsEditLabel* TheLabel() const { return FTheLabel; }

    // The label's alignment by the layout.
    void UpdateAlignment();
    // Places the label beside the control by the layout.
    void AlignLabel();
    // The label tells its bound label that it is going.
    void LabelDestroyed();

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
    // A font was given while there was no label: the next label takes it.
    bool FFontWaiting = false;
    bool FActive = false;
    TsEditLabel* FTheLabel = nullptr;
};

// What every skinned control adds to its framework base: its owned TsCommonData, published as
// SkinData, with the control's default section and control-type code.
class TsSkinHolder {
public:
    TsSkinHolder(TControl* Owner, const char* Section, int ControlCode);
    TsCommonData* SkinData() const { return FCommonData.get(); }

protected:
    // The skin's share of the control's window procedure: CommonWndProc, and the new-skin,
    // skin-removed and repaint commands passed on to the children, the last two followed by a
    // repaint. True when the message is consumed.
    bool SkinWndProc(TMessage& Message);

private:
    std::unique_ptr<TsCommonData> FCommonData;
};

// The edit-like controls also own a bound caption label, published as BoundLabel.
class TsBoundHolder : public TsSkinHolder {
public:
    TsBoundHolder(TControl* Owner, const char* Section, int ControlCode)
        : TsSkinHolder(Owner, Section, ControlCode), FBoundLabel(std::make_unique<TsBoundLabel>(Owner, SkinData()))
    {
    }
    TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }

private:
    std::unique_ptr<TsBoundLabel> FBoundLabel;
};

// A framework control with its skin state: every message passes the skin's share first, and
// Loaded binds the section. Declare the class with VCL_CLASS(TsX, TsSkinned<TX>) so that its
// class parent stays the framework class.
template <class Base, class Holder = TsSkinHolder>
class TsSkinned : public Base, public Holder {
public:
    TsSkinned(TComponent* AOwner, const char* Section, int ControlCode)
        : Base(AOwner), Holder(this, Section, ControlCode)
    {
    }
    void WndProc(TMessage& Message) override
    {
        if (!Holder::SkinWndProc(Message))
            Base::WndProc(Message);
    }
    void Loaded() override
    {
        Base::Loaded();
        Holder::SkinData()->Loaded();
    }
};

// The same for the edit-like controls, which also own a bound caption label.
template <class Base>
using TsSkinnedBound = TsSkinned<Base, TsBoundHolder>;
