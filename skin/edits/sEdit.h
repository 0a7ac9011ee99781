// The skinned single-line edit (section "EDIT") with its bound caption label. Unfocused and not
// hot it shows its cached picture: background, frame and text drawn from the skin; active, the
// native edit paints its text and only the frame comes from the cache. The frame is painted in
// the window's border (WM_NCPAINT) from the cache's outer two pixels.
#pragma once

#include "StdCtrls.h"
#include "sCommonData.h"

class TsEdit : public TsSkinnedBound<TEdit> {
    VCL_CLASS(TsEdit, TsSkinnedBound<TEdit>)
public:
    explicit TsEdit(TComponent* AOwner);
    void AfterConstruction() override;
    void WndProc(TMessage& Message) override;

    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    // The client paint of the inactive edit: the whole cache, rebuilt when stale, into DC (0: the
    // window's DC inside BeginPaint/EndPaint).
    void OurPaintHandler(HDC DC = nullptr);
    // Background and frame of the current look, the text, and the disabled look into the cache.
    void PrepareCache();
    // The frame only, from the cache, into DC (0: the window's DC); nothing while updating.
    void PaintBorder(HDC DC = nullptr);
    // The text (or one password character per character) into the cache.
    void PaintText();

private:
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
};

// The four two-pixel strips of the frame copied from the cache to the same places of DC.
void CopyEditFrame(TsCommonData* SkinData, HDC DC, int Width, int Height);
// What an edit shows of its text: the text, or its password character as many times.
AnsiString EditShownText(TCustomEdit* Edit);
// The bound label follows its control's visibility, enablement, reading order, size and place.
void BoundLabelFollows(TsBoundLabel* BoundLabel, TControl* Control, UINT Msg);
