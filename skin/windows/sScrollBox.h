// The skinned scroll box: a scrolling container whose background and frame come from the skin
// and which, while a skin is active, hides its native scroll bars and scrolls its children itself
// through two skinned bars laid over it as siblings.
#pragma once

#include <memory>

#include "Forms.h"
#include "sCommonData.h"
#include "sScrollBar.h"

// Called with the cache bitmap after the background is painted.
using TsPaintEvent = TMethod<void(TBitmap* ControlBmp)>;

class TsScrollBox : public TScrollingWinControl {
    VCL_CLASS(TsScrollBox, TScrollingWinControl)
public:
    explicit TsScrollBox(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void SetParent(TWinControl* AParent) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    TRect ClientRect() override;
    void AdjustClientRect(TRect& Rect) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TControlCanvas* Canvas() const { return FCanvas.get(); }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // Stores the style and makes the window again.
    void SetBorderStyle(TFormBorderStyle Value);
    // Scroll by repainting everything instead of moving pixels.
    bool FullRepaint = false;
    TsPaintEvent OnPaint;
    TNotifyEvent OnBeforeScroll;
    TNotifyEvent OnAfterScroll;

    // The skinned bars (siblings on the box's parent), or null.
    TsScrollBar* VertBar() const { return FVSBar; }
    TsScrollBar* HorzBar() const { return FHSBar; }

    // The frame's width inside the bounds: 2 with a single border, else 0.
    int Indent() const;
    // Hides the native bars once, keeping their positions and visibility for later.
    void InitScrolls();
    // Makes, fills and places the skinned bars by the content; frees nothing.
    virtual void RefreshScrolls();
    // Scrolls the content back to the start of that direction and hides its bar.
    void ClearOffset(TScrollBarKind Kind);
    void GetVScrollInfo(TsScrollInfo& Info);
    void GetHScrollInfo(TsScrollInfo& Info);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    // Moves the content and the children by the distance; the bars follow without events.
    void ScrollBy(int DeltaX, int DeltaY);
    void Paint();
    void PrepareCache();

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool Ready();
    bool Skinned();
    void SkinnedStart();
    TsScrollBar* MakeBar(TScrollBarKind Kind);
    void FillBar(TsScrollBar* Bar, const TsScrollInfo& Info, TControlScrollBar* Native, TRect Bounds);
    // The content moved by (Dx, Dy): pixels, windows and graphic children, children told to wait.
    void MoveContent(int Dx, int Dy);
    void WMPaint(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMScroll(TMessage& Message, TsScrollBar* Bar);

    std::unique_ptr<TsCommonData> FCommonData;
    std::unique_ptr<TControlCanvas> FCanvas;
    TFormBorderStyle FBorderStyle = bsSingle;
    int FSavedVPos = 0, FSavedHPos = 0;
    bool FSavedVVisible = false, FSavedHVisible = false;
    bool FLoaded = false;
    bool FScrollsInitialised = false;
    bool FScrolling = false;
    TsScrollBar* FVSBar = nullptr; // owned (component owner: this box)
    TsScrollBar* FHSBar = nullptr;
};
