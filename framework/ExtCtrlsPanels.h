// Panels, bevels, pictures and splitters of the ExtCtrls unit (included by ExtCtrls.h).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"

using TBorderStyle = TFormBorderStyle; // bsNone or bsSingle for controls

// Draws Width nested rectangle outlines: top and left in TopColor, bottom and right in
// BottomColor, and shrinks Rect by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// --- Panel ------------------------------------------------------------------------------------

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;

// A container painted with an outer bevel, a border, an inner bevel and a caption.
class TCustomPanel : public TCustomControl {
    VCL_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    // The bevel colours of a cut: shadow and highlight in the order top-left, bottom-right.
    static void BevelColors(TBevelCut Bevel, TColor& TopColor, TColor& BottomColor);

private:
    void BevelChanged();
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
    VCL_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

// --- Bevel ------------------------------------------------------------------------------------

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

// A windowless frame or line in the 3-D colours.
class TBevel : public TGraphicControl {
    VCL_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// --- Image ------------------------------------------------------------------------------------

// A windowless picture: drawn at its size, centred, stretched or scaled keeping its proportions.
class TImage : public TGraphicControl {
    VCL_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Where the picture is drawn inside the control.
    TRect DestRect();

protected:
    // AutoSize takes the picture's size.
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Paint() override;

private:
    void PictureChanged(TObject* Sender);
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
};

// --- Paint box --------------------------------------------------------------------------------

// A windowless area that its owner paints in OnPaint on the box's canvas.
class TPaintBox : public TGraphicControl {
    VCL_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// --- Splitter ---------------------------------------------------------------------------------

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
// Asked while dragging with the proposed size of the neighbour; may change it or refuse.
using TSplitterCanResizeEvent = TMethod<void(TObject* Sender, int& NewSize, bool& Accept)>;

// A windowless bar that resizes the control aligned against it on the same side.
class TSplitter : public TGraphicControl {
    VCL_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner);
    ~TSplitter() override;

    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);

    TSplitterCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

    void Dispatch(TMessage& Message) override;
    // The neighbour this splitter resizes (found at the start of each drag), or null.
    TControl* FindNeighbour();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual bool CanResize(int& NewSize);
    virtual bool DoCanResize(int& NewSize);
    void StopSizing();

private:
    void CalcSplitSize(int X, int Y, int& NewSize, int& Split);
    void UpdateControlSize();
    void DrawLine();
    void UpdateCursor();

    TControl* FControl = nullptr;
    TPoint FDownPos{};
    int FMinSize = 30;
    int FMaxSize = 0;
    int FNewSize = 0;
    int FOldSize = -1;
    int FSplit = 0;
    bool FSizing = false;
    TResizeStyle FResizeStyle = rsPattern;
    bool FAutoSnap = true;
    bool FBeveled = false;
    bool FLineVisible = false;
    TPoint FLinePos{};
};
