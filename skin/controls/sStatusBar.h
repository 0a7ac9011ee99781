// The skinned status bar (section "STATUSBAR"): background, panels, dividers, texts and the size
// grip are painted into its cache from the skin and copied to the window; the system bar keeps
// only the panel layout and the texts.
#pragma once

#include <memory>

#include "ComCtrlsBars.h"
#include "sCommonData.h"

class TsStatusBar : public TStatusBar {
    VCL_CLASS(TsStatusBar, TStatusBar)
public:
    explicit TsStatusBar(TComponent* AOwner);
    ~TsStatusBar() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }

    // The cache, rebuilt when stale, copied into DC (0: the window's) with the graphic children
    // over it. Nothing while updating.
    void OurPaintHandler(HDC DC);
    // Rebuilds the cache when it is stale or the bar does not lie wholly inside its parent.
    void PrepareCache();
    // Left edge of a panel: the widths of the panels before it, one pixel apart.
    int PanelOffset(int Index) const;

protected:
    void PaintWindow(HDC DC) override;

private:
    void PaintPanels();
    // A panel's place in the cache: an owner-drawn one by OnDrawPanel with R as it is, any other
    // by the skin inside R.
    void DrawSkinnedPanel(TStatusPanel* Panel, const TRect& R);
    // The panel's frame (or the divider at its right) and its text; without a panel, the text
    // given over the whole bar.
    void InternalDrawPanel(TStatusPanel* Panel, const AnsiString& Text, const TRect& R);
    void DoDrawText(const AnsiString& Text, TRect& R, int Flags);
    void PaintGrip();

    std::unique_ptr<TsCommonData> FCommonData;
};
