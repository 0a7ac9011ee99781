#include "sPanel.h"

#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

TsPanel::TsPanel(TComponent* AOwner) : TsSkinned(AOwner, "PANEL", 51)
{
}

TsGrip::TsGrip(TComponent* AOwner) : TsPanel(AOwner)
{
    SetCaption(" ");
    SkinData()->SetSkinSection("CHECKBOX");
    SetAlign(alNone);
    SetBounds(Left(), Top(), 20, 20);
}

void TsGrip::Paint()
{
    bool copied = false;
    if (ControlIsReady(this) && Transparent && LinkedControl) {
        GlobalCacheInfo.Ready = false;
        SendAMessage(LinkedControl, AC_GETCACHEINFO);
        const TCacheInfo ci = GlobalCacheInfo;
        if (ci.Ready && ci.Bmp) {
            // The grip lies in the linked control's client area, the cache's origin at (X, Y).
            BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), ci.Bmp->Canvas()->Handle(), ci.X + Left(), ci.Y + Top(),
                   SRCCOPY);
            copied = true;
        }
    }
    if (!copied)
        inherited::Paint();
    // Above the bars it lies between.
    if (HandleAllocated() && GetWindow(Handle(), GW_HWNDPREV))
        BringToFront();
}
