#include "sSpeedButton.h"

#include "sMessages.h"

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TsSkinned(AOwner, "SPEEDBUTTON", 92), TsButtonGlyphs(this)
{
}

TRect TsSpeedButton::ImgRect()
{
    TsGlyphLayout l;
    l.Width = Width();
    l.Height = Height();
    l.Glyph = TSize{Glyph()->Width() / NumGlyphs(), Glyph()->Height()};
    return LayoutImgRect(l);
}

void TsSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_STOPFADING) {
        // Given up, not freed: the stop comes from the timer's own tick.
        FAnim.Release();
        return;
    }
    inherited::WndProc(Message);
}
