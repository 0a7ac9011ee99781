// Skinned labels: windowless captions painted onto their parent's surface (over a skinned
// parent's cache, so a transparent label shows the skinned background under its text). A label
// takes only the text colour of the skin's "GLOBALINFO" section; it has no section of its own.
// TsLabel is the plain one, TsEditLabel the caption of a bound label, TsWebLabel opens an address
// when clicked, TsStickyLabel keeps to one side of a windowed control, TsLabelFX casts a shadow.
#pragma once

#include <memory>
#include <vector>

#include "StdCtrls.h"
#include "SubclassWindow.h"
#include "sCommonData.h"

class TsCustomLabel : public TCustomLabel {
    VCL_CLASS(TsCustomLabel, TCustomLabel)
public:
    explicit TsCustomLabel(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    // The font the label paints with now (not owned by the caller). While a skin is active, the
    // skin's global text colour is written into the label's own Font first.
    virtual TFont* GetCurrentFont();

protected:
    // The current font copied into Font (its change swallowed), then the framework label's paint.
    void Paint() override;
    // Disabled while a skin is active: written once in DisabledTextColor of its text colour and
    // the skin's face (its own colour when opaque): the framework's raised look is brighter than
    // the text on a dark skin.
    void DoDrawText(TRect& R, UINT Flags) override;
};

class TsLabel : public TsCustomLabel {
    VCL_CLASS(TsLabel, TsCustomLabel)
public:
    using TsCustomLabel::TsCustomLabel;
};

// The label a TsBoundLabel places beside its control. Going, it leaves its bound label inactive
// and without a label.
class TsEditLabel : public TsCustomLabel {
    VCL_CLASS(TsEditLabel, TsCustomLabel)
public:
    TsEditLabel(TComponent* AOwner, TsBoundLabel* ABoundLabel) : TsCustomLabel(AOwner), BoundLabel(ABoundLabel) {}
    ~TsEditLabel() override;

    TsBoundLabel* BoundLabel = nullptr; // not owned
};

// The show command a web label opens its address with; the ordinals are the system's SW_ values.
enum TsWindowShowMode {
    soHide, soNormal, soShowMinimized, soMaximize, soShowNoActivate, soShow, soMinimize, soShowMinNoActive,
    soShowNA, soRestore, soDefault
};

// A label that opens URL with the shell when pressed, drawn in HoverFont while the mouse is over it.
class TsWebLabel : public TsCustomLabel {
    VCL_CLASS(TsWebLabel, TsCustomLabel)
public:
    explicit TsWebLabel(TComponent* AOwner);
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    TFont* GetCurrentFont() override;

    // The font outside the mouse (published as Font); setting it repaints at once.
    TFont* Font() const { return FNormalFont.get(); }
    void SetFont(TFont* Value);
    TFont* HoverFont() const { return FHoverFont.get(); }
    void SetHoverFont(TFont* Value) { FHoverFont->Assign(Value); }
    AnsiString URL;
    TsWindowShowMode ShowMode = soDefault;
    bool MouseAbove() const { return FMouseAbove; }

private:
    std::unique_ptr<TFont> FNormalFont = std::make_unique<TFont>();
    std::unique_ptr<TFont> FHoverFont = std::make_unique<TFont>();
    bool FMouseAbove = false;
};

// The side of the attached control a sticky label keeps to.
enum TAlignTo { altLeft, altTop, altBottom, altRight };

// A label glued to one side of a windowed control: moving either moves the other, and the label
// follows the control's visibility and enabled state. While attached, the label takes over the
// control's WindowProc; it lets go when detached, when it goes or when the control goes, in any
// order with the control's other take-overs.
class TsStickyLabel : public TsCustomLabel {
    VCL_CLASS(TsStickyLabel, TsCustomLabel)
public:
    explicit TsStickyLabel(TComponent* AOwner);
    void BeforeDestruction() override;
    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TWinControl* AttachTo() const { return FAttachTo; }
    void SetAttachTo(TWinControl* Value);
    TAlignTo AlignTo() const { return FAlignTo; }
    void SetAlignTo(TAlignTo Value);
    int Gap() const { return FGap; }
    void SetGap(int Value);

    // Places the label beside the control (MoveLabel) or the control beside the label.
    void Adjust(bool MoveLabel);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void NewWinProc(TMessage& Message);

    TWinControl* FAttachTo = nullptr;
    TAlignTo FAlignTo = altLeft;
    int FGap = 2;
    TWindowProcHook FHook;
    bool FAdjusting = false;
};

class TsLabelFX;

enum TsShadowMode { smNone, smCustom };

// The drop shadow of a TsLabelFX: its colour, how many times it is blurred and how far it lies to
// the right and down. A change repaints the label.
class TsShadow : public TPersistent {
    VCL_CLASS(TsShadow, TPersistent)
public:
    TsShadow(TComponent* AOwner, TsLabelFX* Control) : FControl(Control) { (void)AOwner; }

    TsShadowMode Mode() const { return FMode; }
    void SetMode(TsShadowMode Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int BlurCount() const { return FBlurCount; }
    void SetBlurCount(int Value);
    int Distance() const { return FDistance; }
    void SetDistance(int Value);
    // The colour's parts, 0 to 255.
    int R = 0, G = 0, B = 0;

private:
    void Changed();

    int FBlurCount = 4;
    int FDistance = 1;
    TColor FColor = clBlack;
    TsLabelFX* FControl;
    TsShadowMode FMode = smCustom;
};

// Where a TsLabelFX takes its text colour from: the label's Color, Color here, or the skin's first
// contour colour (a skin without one, or no skin, leaves the label plain, in its Font).
enum TsKindType { ktStandard, ktCustom, ktSkin };

class TsKind : public TPersistent {
    VCL_CLASS(TsKind, TPersistent)
public:
    explicit TsKind(TsLabelFX* Control) : FControl(Control) {}

    TsKindType KindType() const { return FKindType; }
    void SetKindType(TsKindType Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

private:
    TsLabelFX* FControl;
    TsKindType FKindType = ktSkin;
    TColor FColor = clWhite;
};

// A label that draws its caption over a soft drop shadow: the text's shape blurred and mixed in
// the shadow's colour over the label's background, the text on top in the kind's colour. An
// auto-sized label grows to hold the shadow.
class TsLabelFX : public TsCustomLabel {
    VCL_CLASS(TsLabelFX, TsCustomLabel)
public:
    explicit TsLabelFX(TComponent* AOwner);
    ~TsLabelFX() override;
    void WndProc(TMessage& Message) override;

    TsShadow* Shadow() const { return FShadow.get(); }
    TsKind* Kind() const { return FKind.get(); }
    // Whether the shadow is drawn may have changed: an auto-sized label is measured again.
    void LookChanged();

protected:
    void DoDrawText(TRect& Rect, UINT Flags) override;

private:
    // The kind's text colour; false when the kind is the skin's and the skin gives none.
    bool TextColor(TColor& Colour);
    // The blurred shape of the text in ShadowBitmap, mixed over what lies under R of DC.
    void PaintShadow(HDC DC, const TRect& R, const AnsiString& Text, UINT Flags);

    std::unique_ptr<TBitmap> FShadowBitmap;
    std::vector<Byte> FShadowMask; // grown on demand, never shrunk
    std::unique_ptr<TsShadow> FShadow;
    int FShadowLeftTop = 0;
    int FShadowRightBottom = 0;
    std::unique_ptr<TsKind> FKind;
};
