#include "sRadioButton.h"

#include "sMaskData.h"
#include "sStyleSimply.h"

TsRadioButton::TsRadioButton(TComponent* AOwner) : TsCheckControl(AOwner, 33) {}

int TsRadioButton::GlyphMaskIndex(bool Checked)
{
    return GetMaskIndex(ConstData.IndexGlobalInfo, "GLOBALINFO", Checked ? "RADIOCHECKED" : "RADIOUNCHECKED");
}

void TsRadioButton::DrawCheckArea()
{
    if (PaintOwnGlyph(Checked()) || !IsValidSkinIndex(SkinData()->SkinIndex))
        return;
    const int mask = GlyphMaskIndex(Checked());
    if (IsValidImgIndex(mask))
        DrawSkinGlyph(mask);
}

void TsRadioButton::SkinnedSetCheck(WPARAM Value)
{
    if (Value <= 1)
        SetChecked(Value == 1);
}

bool TsRadioButton::PlainMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case BM_SETCHECK:
    case BM_SETSTATE:
        return GetReadOnly();
    case CN_COMMAND:
        // The native button's click would check the value that it may not show.
        return GetReadOnly();
    default:
        return false;
    }
}
