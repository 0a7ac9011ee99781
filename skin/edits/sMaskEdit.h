// The skinned mask edit (section "EDIT") with its bound caption label, the base of the combo
// edits. Its whole client comes from its cache in every look, focused too: the native edit only
// draws the caret. Its painting steps are virtual for the edits built on it.
#pragma once

#include "Mask.h"
#include "sCommonData.h"

class TsMaskEdit : public TsSkinnedBound<TMaskEdit> {
    VCL_CLASS(TsMaskEdit, TsSkinnedBound<TMaskEdit>)
public:
    explicit TsMaskEdit(TComponent* AOwner);
    void AfterConstruction() override;
    void WndProc(TMessage& Message) override;

    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    // The text rectangle of the native edit; left as it is here (the combo edits keep room for
    // their button).
    virtual void SetEditRect() {}
    // The frame from the cache into DC (0: the window's DC, released afterwards; a given DC is
    // left to its owner). Nothing without a visible parent, while the window is made or while
    // updating.
    virtual void PaintBorder(HDC DC);
    // The text (or one password character per character) into the cache.
    virtual void PaintText();
    // The client from the cache into DC (0: the window's DC inside BeginPaint/EndPaint).
    virtual void OurPaintHandler(HDC DC);
    // Whether the control shows its active look.
    virtual bool IsActive();

    // Background and frame of the look IsActive gives, the text, and the disabled look into the
    // cache.
    void PrepareCache();
    // Text into R of the cache in the control's font and the section's colours of the look.
    void WriteCacheText(const AnsiString& Text, TRect R, int Flags, bool Hot);

protected:
    // The change handling and OnChange, except while loading; what the user typed makes the
    // cached text stale.
    void Change() override;

private:
    TsDisabledKind FDisabledKind = TsDisabledKind{dkBlended};
};
