// The skinned button with a glyph (section "BUTTON"): the push button's looks, keys and fading,
// with a glyph from its Glyph or from an image list, laid out with the caption by Layout and
// Alignment, dimmed or greyed while inactive or disabled, under or over the border.
#pragma once

#include "Buttons.h"
#include "sButton.h"
#include "sThirdParty.h"

class TsBitBtn : public TsButtonFrame<TBitBtn>, public TsButtonGlyphs {
    VCL_CLASS(TsBitBtn, TBitBtn)
public:
    explicit TsBitBtn(TComponent* AOwner);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The focus frame may be drawn (where the section shows it).
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);

    // The glyph's size: one image of Glyph, else the list's image size when one is chosen.
    int GlyphWidth();
    int GlyphHeight();
    // The caption word-wrapped within the room the glyph and the margins leave; 0 x 0 when no
    // caption is shown.
    TSize TextRectSize() override;
    TRect CaptionRect() override;
    // Where the glyph goes inside the button.
    TRect ImgRect();
    void DrawCaption() override;

protected:
    // The action's image takes the place of Glyph.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // Disabled, or its action is.
    bool LooksDisabled() override;
    bool FocusFrameAllowed() override { return FShowFocus && ShowCaption(); }
    bool BorderOverContent() override { return !DrawOverBorder(); }
    void DrawContent() override;
    void CachePainted(TBitmap* Bmp) override;
    bool LookOutdated() override;
    void BeforeCopy() override;
    void SkinCame() override;
    void SkinWent() override;
    void GlyphsChanged() override;
    void CopyListGlyph() override;

private:
    int FLastSpacing = 4;
    bool FShowFocus = true;
};
