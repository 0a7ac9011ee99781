// The skinned tool bar (section "TOOLBAR"): the system bar keeps laying out its buttons and asks
// for each one through its custom-draw events; the bar's background comes from its cache, each
// button is painted from section "TOOLBUTTON" into a bitmap of its own and copied onto the bar,
// and the frame around the client area comes from the cache too. Its buttons are the framework's
// tool buttons.
#pragma once

#include <memory>

#include "ComCtrlsBars.h"
#include "sCommonData.h"
#include "sConst.h"

class TsToolBar : public TToolBar {
    VCL_CLASS(TsToolBar, TToolBar)
public:
    explicit TsToolBar(TComponent* AOwner);
    ~TsToolBar() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    // How a disabled button looks.
    TsDisabledKind BtnDisabledKind() const { return FBtnDisabledKind; }
    void SetBtnDisabledKind(TsDisabledKind Value);

    // The button under the mouse on a bar that is not flat; -1 for none.
    int HotIndex = -1;
    // The drop-down button whose menu is open.
    TToolButton* DroppedButton = nullptr;

    // The first item whose rectangle holds P when it is a button that can be pressed, else -1.
    int IndexByMouse(const TPoint& P);
    // Paints one button at once, outside the system bar's paint.
    void RepaintButton(int Index);
    // The bar's background into the cache (window coordinates).
    void PrepareCache();
    // The cache is missing or of another size than the bar.
    bool CacheStale();
    // Where the client area lies in the window (and so in the cache).
    TPoint ClientOffset();

    // The handlers of the system bar's paint, set on the bar in place of any other.
    void OurAdvancedCustomDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void OurAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                     TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw);

private:
    void HookPainting();
    // The frame around the client area from the cache, into DC (0: the window's).
    void WMNCPaint(TMessage& Message);
    void PaintCaption(TToolButton* Button, TBitmap* Bmp, int Index, int State);
    // Where the arrow part of a drop-down button begins, in the button.
    int DropArrowLeft(TToolButton* Button, int Index);
    void PaintDropArrow(TToolButton* Button, TBitmap* Bmp, int Index, TCustomDrawState State);
    void TrackMouse(int NewIndex);

    std::unique_ptr<TsCommonData> FCommonData;
    TsDisabledKind FBtnDisabledKind{dkBlended};
};
