// The skinned rich edit (section "EDIT") with its bound caption label. The native window paints
// its text; the frame is painted in the window's border from the cache, the text's default colour
// and the background come from the section. While a skin is active its native scroll bars are
// covered by skinned bars that it keeps in step and that pass the kind of each scroll on.
#pragma once

#include "ComCtrlsRichEdit.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsRichEdit : public TsSkinnedBound<TRichEdit> {
    VCL_CLASS(TsRichEdit, TsSkinnedBound<TRichEdit>)
public:
    // The most characters the edit takes.
    static constexpr int TextLimit = 0x7FFFFFF0;

    explicit TsRichEdit(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // The frame from the cache into the window's DC, and the edit's colour between the frame and
    // the skinned bars.
    void PaintBorder();
    // Background and frame of the current look and the disabled look into the cache.
    void PrepareCache();

    // The skinned bars (siblings on the edit's parent), or null; hidden when not needed, freed
    // when the skin goes.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;

    // Makes, fills and places the skinned bars by the native ones, or hides them.
    void RefreshScrolls();
    void RefreshScrollBounds();
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

protected:
    void CreateWnd() override;

private:
    void HideBars();
    // The default text colour from the section, unless the font is the edit's own.
    void FollowSkinTextColor();
    // The bar's scroll passed on to the window as WM_VSCROLL / WM_HSCROLL of the same kind.
    void PassScroll(TsScrollBar* Bar, UINT Msg);
    bool FMouseDown = false;
    bool FRefreshing = false;
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
};
