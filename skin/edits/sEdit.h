// The skinned single-line edit (section "EDIT") with its bound caption label. Unfocused and not
// hot it shows its cached picture: background, frame and text drawn from the skin; active, the
// native edit paints its text and only the frame comes from the cache. The frame is painted in
// the window's border (WM_NCPAINT) from the cache's outer two pixels.
#pragma once

#include <functional>

#include "StdCtrls.h"
#include "sCommonData.h"

class TsScrollBar;

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
// An edit's frame painted from its cache into DC (0: the window's own DC): the cache rebuilt by
// Prepare first when stale or of another size, the corners updated, then the strips under the shown
// skinned bars (either may be null) filled. The DC's state is given back, also on an exception.
void PaintEditFrame(TWinControl* Edit, TsCommonData* SkinData, HDC DC, const std::function<void()>& Prepare,
                    TsScrollBar* VBar = nullptr, TsScrollBar* HBar = nullptr);
// The strips under an edit's shown skinned bars (either may be null), inside its two-pixel frame,
// in the edit's colour, so that no edge of a native bar shows beside them.
void FillEditBarStrips(TWinControl* Edit, HDC DC, TsScrollBar* VBar, TsScrollBar* HBar);
// The edit's skinned bars placed inside its two-pixel frame: the vertical one at the right (the
// left when Mirrored), the horizontal one at the bottom; their sizes stay.
void PlaceEditBars(TWinControl* Edit, TsScrollBar* VBar, TsScrollBar* HBar, bool Mirrored);
// An edit-like control's cache: background and frame of State, then Content, then the disabled
// look while the control is disabled; the cache is fresh afterwards.
void PaintEditCache(TsCommonData* SkinData, int State, TsDisabledKind Kind, const std::function<void()>& Content);
// The client paint of an edit-like control from its cache into DC (0: the window's DC inside
// BeginPaint/EndPaint), the cache rebuilt by Prepare when stale. While updating nothing is
// painted, and with MarkUpdating the control notes that it waits for its parent.
void PaintEditClient(TsCommonData* SkinData, HDC DC, bool MarkUpdating, const std::function<void()>& Prepare);
// What an edit shows of its text: the text, or its password character as many times.
AnsiString EditShownText(TCustomEdit* Edit);
// The section's colour and font colour given to a skinned control unless it keeps its own
// (CustomColor, CustomFont); nothing while it is not skinned.
void ApplySectionColors(TsCommonData* SkinData);
// The system's window colours given back when the skin goes, unless the control keeps its own.
void RestoreWindowColors(TsCommonData* SkinData);
// The bound label follows its control's visibility, enablement, reading order, size and place.
void BoundLabelFollows(TsBoundLabel* BoundLabel, TControl* Control, UINT Msg);
