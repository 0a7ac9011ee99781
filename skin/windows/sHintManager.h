// Skinned hints: a hint manager on the main form puts one of four shaped, semi-transparent hint
// windows (rectangle, rounded box with an arrow, ellipse with an arrow, ellipse with a trail of
// bubbles) in place of the application's plain hint window. Each composes, over a capture of
// the screen beneath it, a soft-edged body of colour, gradient and texture, a blurred shadow,
// a border and the text (plain or mark-up). The look is the manager's own, not the skin's.
#pragma once

#include <memory>

#include "Classes.h"
#include "Forms.h"
#include "Graphics.h"
#include "sConst.h"
#include "sGradient.h"

enum TsHintStyle { hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone };
enum TsHintsPredefinitions {
    shSimply,
    shGradient,
    shTransparent,
    shEllipse,
    shBalloon,
    shComicsGradient,
    shComicsTransparent,
    shStandard,
    shNone,
    shCustom
};
// Where the pointed-at spot lies on the hint window.
enum TsMousePosition { mpLeftTop, mpLeftBottom, mpRightTop, mpRightBottom };

class TsHintManager;

// The look of the hints.
class TsHintKind : public TPersistent {
    VCL_CLASS(TsHintKind, TPersistent)
public:
    explicit TsHintKind(TsHintManager* AManager);

    TsHintManager* Manager = nullptr;

    TsHintStyle Style() const { return FStyle; }
    // Stores the shape and makes the manager use it.
    void SetStyle(TsHintStyle Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    // Tiled background image.
    TPicture* Texture() const { return FTexture.get(); }
    void SetTexture(TPicture* Value) { FTexture->Assign(Value); }

    int Radius = 20;    // corner radius of the rounded box
    int BevelWidth = 1; // border width; 0: no border
    int Blur = 1;       // soft-edge steps of the body
    int ExOffset = 32;  // height of the arrow area
    AnsiString GradientData;
    AnsiString TextureFile; // stored only
    int GradientPercent = 0;
    int TexturePercent = 0;
    int Bevel = 0; // kept for the presets; not painted
    TColor Color = 0;
    TColor ColorBorderTop = 0;
    TColor ColorBorderBottom = 0;
    int Transparency = 0; // percent
    int ShadowBlur = 0;
    TColor ShadowColor = 0;
    bool ShadowEnabled = false;
    int ShadowOffset = 0; // shift of the shadow, and the room it takes
    int ShadowTransparency = 0;
    int MarginH = 15;
    int MarginV = 10;
    int MaxWidth = 200; // widest text when measuring

private:
    TsHintStyle FStyle = hsEllipse;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPicture> FTexture;
};

class TsCustomHintWindow;

class TsHintManager : public TComponent {
    VCL_CLASS(TsHintManager, TComponent)
public:
    explicit TsHintManager(TComponent* AOwner);
    ~TsHintManager() override;
    void Loaded() override;

    TsHintKind* HintKind() const { return FHintKind.get(); }
    bool HTMLMode = false;
    int PauseHide = 5000; // ms a hint stays, given to the application at every hint
    TsHintsPredefinitions Predefinitions() const { return FPredefinitions; }
    // Stores the preset; it is applied when the manager is loaded (or by Invalidate).
    void SetPredefinitions(TsHintsPredefinitions Value) { FPredefinitions = Value; }
    // Called for every hint the application is about to show.
    TShowHintEvent OnShowHint;

    // Makes the application's hints use this manager in the given shape (the framework's own
    // hints for hsStandard, none for hsNone).
    void SetNewStyle(TsHintStyle Value);
    // Applies the preset named by Predefinitions to HintKind.
    void UpdateProperties();
    // Re-applies the style of HintKind.
    void Invalidate();
    // Shows a hint for Control at a third of its height, centred; HideHint frees it.
    void ShowHint(TControl* Control, const AnsiString& Text);
    void HideHint();
    // The hint background (colour, gradient, texture, transparency over CI) into R of Bmp.
    void PaintBG(TBitmap* Bmp, const TRect& R, const TCacheInfo& CI);

    // The one bitmap every hint window of this manager composes into.
    TBitmap* HintBmp() const { return FHintBmp.get(); }
    // What the screen showed under the current hint, taken once when it was shown.
    TBitmap* ScreenBmp() const { return FScreenBmp.get(); }
    // The window ShowHint made, or null.
    TsCustomHintWindow* HintWindow() const { return FHintWindow; }

private:
    void OnShowHintApp(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo);
    void PaintHintBackground(TBitmap* Bmp, const TRect& R);
    // The stops of HintKind's GradientData, parsed again only when the text changed.
    const TsGradArray& GradArray();

    std::unique_ptr<TsHintKind> FHintKind;
    AnsiString FGradText;
    TsGradArray FGradArray;
    TsHintsPredefinitions FPredefinitions = shEllipse;
    std::unique_ptr<TBitmap> FHintBmp;
    std::unique_ptr<TBitmap> FScreenBmp;
    TsCustomHintWindow* FHintWindow = nullptr;
};

namespace sHintManager {
// The manager whose settings the hint windows use; null when none is active or the style is
// hsStandard or hsNone.
extern TsHintManager* Manager;
} // namespace sHintManager

// The base of the four shapes. It takes the screen beneath it once when it is shown and composes
// every paint from that capture.
class TsCustomHintWindow : public THintWindow {
    VCL_CLASS(TsCustomHintWindow, THintWindow)
public:
    explicit TsCustomHintWindow(TComponent* AOwner);

    TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData) override;
    void ActivateHint(TRect Rect, const AnsiString& AHint) override;

    // The anchor (screen); (0, 0) means the mouse.
    TPoint HintPoint{};
    // Room around the text of the elliptic shapes.
    int ExtraWidth = 0;
    int ExtraHeight = 0;
    TsMousePosition MousePosition = mpLeftTop;

    // The body rectangle, without the shadow's room and the arrow area.
    virtual TRect MainRect();
    // Composes the hint into the manager's HintBmp (what Paint copies to the window).
    void Compose();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Paint() override;

    virtual TPoint GetMousePosition() = 0;
    // A new mask of HintBmp's size: white outside the body, grey levels inside (0 opaque).
    virtual std::unique_ptr<TBitmap> GetMask() = 0;
    // A new bitmap of HintBmp's size with background, border and text.
    virtual std::unique_ptr<TBitmap> GetBody() = 0;
    virtual void PaintShadow() = 0;
    virtual void PaintBG(TBitmap* Bmp, const TRect& R);
    virtual void TextOut(TBitmap* Bmp);
    virtual void PaintBorder(TBitmap* Bmp);

    // Room of the shadow (S) and the body's transparency (T), both clamped to 0..100 for T.
    int ShadowRoom() const;
    int BodyTransparency() const;
    // The shadow's transparency over the body's.
    int ShadowTransparencyOf() const;
    TsHintKind* Kind() const;
};

class TsSimplyHintWindow : public TsCustomHintWindow {
    VCL_CLASS(TsSimplyHintWindow, TsCustomHintWindow)
public:
    using TsCustomHintWindow::TsCustomHintWindow;

protected:
    TPoint GetMousePosition() override;
    std::unique_ptr<TBitmap> GetMask() override;
    std::unique_ptr<TBitmap> GetBody() override;
    void PaintShadow() override;
    void PaintBorder(TBitmap* Bmp) override;
};

// The shapes with an arrow toward the pointed-at spot.
class TsArrowHintWindow : public TsCustomHintWindow {
    VCL_CLASS(TsArrowHintWindow, TsCustomHintWindow)
public:
    using TsCustomHintWindow::TsCustomHintWindow;
    TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData) override;
    TRect MainRect() override;
    // The tip of the arrow, 3 pixels inside the corner named by MousePosition.
    TPoint GetArrowPosition();

protected:
    TPoint GetMousePosition() override;
    std::unique_ptr<TBitmap> GetMask() override;
    std::unique_ptr<TBitmap> GetBody() override;
    void PaintShadow() override;
    void PaintBorder(TBitmap* Bmp) override;
    // The body's outline at level i of Levels (rounded box or ellipse of Body), filled.
    virtual void DrawBodyShape(TCanvas* Canvas, const TRect& Body, int i) = 0;
    // The arrow triangle at level i; Shift moves its base to the right.
    void DrawArrow(TCanvas* Canvas, const TRect& Body, const TPoint& Tip, int i, int Shift);
};

class TsComicsHintWindow : public TsArrowHintWindow {
    VCL_CLASS(TsComicsHintWindow, TsArrowHintWindow)
public:
    using TsArrowHintWindow::TsArrowHintWindow;
    TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData) override;

protected:
    void DrawBodyShape(TCanvas* Canvas, const TRect& Body, int i) override;
};

class TsEllipseHintWindow : public TsArrowHintWindow {
    VCL_CLASS(TsEllipseHintWindow, TsArrowHintWindow)
public:
    using TsArrowHintWindow::TsArrowHintWindow;

protected:
    void DrawBodyShape(TCanvas* Canvas, const TRect& Body, int i) override;
};

class TsBalloonHintWindow : public TsEllipseHintWindow {
    VCL_CLASS(TsBalloonHintWindow, TsEllipseHintWindow)
public:
    explicit TsBalloonHintWindow(TComponent* AOwner);

    int BubbleCount = 3;
    int BubbleDivisor = 4;
    // The mask of the body and its bubbles; Shadow: in the shadow's transparency and blur.
    std::unique_ptr<TBitmap> GetCustMask(bool Shadow);

protected:
    std::unique_ptr<TBitmap> GetMask() override { return GetCustMask(false); }
    void PaintShadow() override;
};

// Makes the hint window class of a style (null for hsStandard).
THintWindowClass HintWindowClassOf(TsHintStyle Style);
// The hint window class the framework shows without a manager.
THintWindowClass StandardHintWindowClass();
// Gives the inside pixels of Mask (not pure white) that lie on Dest's left or top edge, or next
// to an outside pixel on the left or above, Color1; the others on the right or bottom edge or
// next to an outside pixel on the right or below, Color2. Both bitmaps of one non-zero size.
void PaintHintBorder(TBitmap* Dest, TBitmap* Mask, TColor Color1, TColor Color2);
