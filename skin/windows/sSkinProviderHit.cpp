// Hit testing of the title row and the grip, hot and pressed title buttons repainted alone, and the
// skinned system menu.
#include "sSkinProvider.h"

#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"

namespace {

TPoint PointOf(const TMessage& Message)
{
    return TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
}

} // namespace

TsCaptionButton* TsSkinProvider::ButtonByCode(int Code)
{
    switch (Code) {
    case HTMINBUTTON: return &ButtonMin;
    case HTMAXBUTTON: return &ButtonMax;
    case HTCLOSE: return &ButtonClose;
    case HTHELP: return &ButtonHelp;
    case HTMDICLOSE: return &MDIClose;
    case HTMDIMAX: return &MDIMax;
    case HTMDIMIN: return &MDIMin;
    default:
        if (Code >= HTUDBTN && Code - HTUDBTN < FTitleButtons->Count())
            return &FTitleButtons->Items(Code - HTUDBTN)->BtnData;
        return nullptr;
    }
}

bool TsSkinProvider::AboveBorder(TMessage& Message)
{
    const TPoint p = PointOf(Message);
    const TPoint q = CursorToPoint(p.x, p.y);
    const TRect inner{2, 2, FForm->Width() - 4, FForm->Height() - 4};
    return !PtInRect(&inner, q);
}

int TsSkinProvider::HTProcess(TMessage& Message)
{
    const TPoint m = PointOf(Message);
    const TPoint p = CursorToPoint(m.x, m.y);
    // The row of the buttons as they are drawn.
    const int bh = ButtonHeight();
    int top = (CaptionHeight() - bh + SysBorderHeight()) / 2;
    if (bh < 16)
        top += 2;
    if (p.y >= top && p.y < top + bh) {
        if (IconVisible() && p.x >= SysBorderWidth() && p.x <= SysBorderWidth() + IconSize().cx) {
            SetHotHT(HTSYSMENU);
            return HTSYSMENU;
        }
        for (const TTitleSlot& slot : FSlots) {
            const TRect& r = slot.Button->Rect;
            if (p.x < r.left || p.x > r.right)
                continue;
            int code = slot.Code;
            switch (slot.Code) {
            case HTMAXBUTTON:
                if (!FSystemMenu->EnabledMax() && !FSystemMenu->EnabledRestore())
                    code = HTCAPTION;
                break;
            case HTMINBUTTON:
                if (!IsIconic() && !FSystemMenu->EnabledMin())
                    code = HTCAPTION;
                break;
            case HTCLOSE:
            case HTHELP: break;
            default:
                if (!FTitleButtons->Items(slot.Code - HTUDBTN)->Enabled)
                    code = HTCAPTION;
                break;
            }
            if (code != HTCAPTION)
                SetHotHT(code);
            return code;
        }
        return HTCAPTION;
    }
    if (FGripMode == gmRightBottom) {
        const int grip = GetMaskIndex(GetSkinIndex("GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
        if (IsValidImgIndex(grip) && FCommonData->FCacheBmp) {
            const TPoint g = RBGripPoint(grip);
            if (p.x > g.x && p.y > g.y)
                return HTBOTTOMRIGHT;
        }
    }
    // A maximised MDI child's buttons in the menu line, where the last painting put them.
    if (FMDIButtonsShown && MDIButtonsNeeded()) {
        for (const int code : {HTMDICLOSE, HTMDIMAX, HTMDIMIN}) {
            const TRect& r = ButtonByCode(code)->Rect;
            if (PtInRect(&r, p)) {
                SetHotHT(code);
                return code;
            }
        }
    }
    SetHotHT(0);
    if (IsZoomed() && AboveBorder(Message))
        return HTTRANSPARENT;
    return HTNOWHERE;
}

bool TsSkinProvider::HeldDown(int Code) { return Code == FPressedCode && (GetKeyState(VK_LBUTTON) & 0x8000); }

int TsSkinProvider::HotState(int Code, bool Held)
{
    // Maximise (and an MDI child's restore) looks pressed only while the form can be maximised.
    const bool maxLike = Code == HTMAXBUTTON || Code == HTMDIMAX;
    return Held && (!maxLike || FSystemMenu->EnabledMax()) ? 2 : 1;
}

void TsSkinProvider::SetHotHT(int Code)
{
    if (Code == FHotCode)
        return;
    if (TsCaptionButton* old = ButtonByCode(FHotCode); old && old->State > 0) {
        old->State = 0;
        RepaintButton(FHotCode);
    }
    FHotCode = Code;
    if (TsCaptionButton* b = ButtonByCode(Code); b && b->State >= 0) {
        // The button pressed last shows pressed again while the mouse is back over it.
        b->State = HotState(Code, HeldDown(Code));
        RepaintButton(Code);
    }
}

void TsSkinProvider::SetPressedHT(int Code)
{
    if (Code != FHotCode) {
        if (TsCaptionButton* old = ButtonByCode(FHotCode); old && old->State > 0) {
            old->State = 0;
            RepaintButton(FHotCode);
        }
        FHotCode = Code;
    }
    TsCaptionButton* b = ButtonByCode(Code);
    if (!b || b->State < 0)
        return;
    FPressedCode = Code;
    b->State = HotState(Code, true);
    RepaintButton(Code);
}

void TsSkinProvider::RepaintButton(int Code)
{
    TsCaptionButton* b = ButtonByCode(Code);
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!b || b->State < 0 || !cache || cache->Empty() || !FForm || !FForm->HandleAllocated())
        return;
    if (Code >= HTMDICLOSE && Code <= HTMDIMIN) {
        // A button of the menu line: its background from the line's copy.
        const int w = b->Rect.right - b->Rect.left, h = b->Rect.bottom - b->Rect.top;
        if (!FMDIButtonsShown || w <= 0 || !FMenuLineBmp || FMenuLineBmp->Empty())
            return;
        BitBlt(cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, w, h, FMenuLineBmp->Canvas()->Handle(),
               b->Rect.left, b->Rect.top - MenuLineTop(), SRCCOPY);
        DrawMDIButton(Code);
        const HDC wdc = GetWindowDC(FForm->Handle());
        BitBlt(wdc, b->Rect.left, b->Rect.top, w, h, cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, SRCCOPY);
        ReleaseDC(FForm->Handle(), wdc);
        return;
    }
    if (b->Rect.left <= IconRight())
        return;
    const int bw = ButtonWidth(), bh = ButtonHeight();
    // The background from the title band as it was before the buttons were drawn.
    BitBlt(cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, bw, bh, TempBmp->Canvas()->Handle(),
           TempBmp->Width() - (cache->Width() - b->Rect.left), b->Rect.top, SRCCOPY);
    int mask = b->ImageIndex;
    bool enabled = true;
    TsTitleButton* user = Code >= HTUDBTN ? FTitleButtons->Items(Code - HTUDBTN) : nullptr;
    const int global = GetSkinIndex("GLOBALINFO");
    auto globalOrForm = [&](const char* name) {
        const int g = GetMaskIndex(global, "GLOBALINFO", name);
        return g >= 0 ? g : GetMaskIndex(FCommonData->SkinIndex, FCommonData->SkinSection(), name);
    };
    if (Code == HTMAXBUTTON && IsZoomed()) {
        mask = globalOrForm("BICONNORM");
        enabled = FSystemMenu->EnabledRestore();
    } else if (IsIconic() && Code == HTMINBUTTON) {
        mask = globalOrForm("BICONNORM");
        enabled = FSystemMenu->EnabledRestore();
    } else if (IsIconic() && Code == HTMAXBUTTON) {
        mask = globalOrForm("BICONMAX");
        enabled = FSystemMenu->EnabledMax();
    } else if (Code == HTMAXBUTTON) {
        enabled = FSystemMenu->EnabledMax();
    } else if (Code == HTMINBUTTON) {
        enabled = FSystemMenu->EnabledMin();
    } else if (user) {
        enabled = user->Enabled;
        if (!user->UseSkinData)
            mask = -1;
    }
    if (IsValidImgIndex(mask)) {
        const int mode = (!FormActive || !enabled) && b->State == 0 ? 2 : 1;
        DrawSkinGlyph(cache, TPoint{b->Rect.left, b->Rect.top}, b->State, mode, ma[static_cast<std::size_t>(mask)]);
    }
    if (user && !user->Glyph()->Empty()) {
        TBitmap* g = user->Glyph();
        const int shift = b->State == 2 ? 1 : 0;
        const TsColor key = ColorToSColor(g->Canvas()->Pixels(0, g->Height() - 1));
        CopyTransBitmaps(cache, g, b->Rect.left + (bw - g->Width()) / 2 + shift, b->Rect.top + (bh - g->Height()) / 2 + shift,
                         key);
    }
    const HDC wdc = GetWindowDC(FForm->Handle());
    const int saved = SaveDC(wdc);
    BitBlt(wdc, b->Rect.left, b->Rect.top, bw, bh, cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, SRCCOPY);
    RestoreDC(wdc, saved);
    ReleaseDC(FForm->Handle(), wdc);
}

void TsSkinProvider::DropSysMenu(int X, int Y)
{
    if (MakeSkinMenu) {
        FSystemMenu->RemoveSkinItems();
        FSystemMenu->MakeSkinItems();
    }
    if (FSkinManager && FSkinManager->SkinableMenus())
        FSkinManager->SkinableMenus()->HookPopupMenu(FSystemMenu, true);
    FSystemMenu->UpdateItems();
    FSystemMenu->PopupComponent = FForm;
    // The menu belongs to the form's window: the form stays active, and the menu's messages come
    // to this provider (NewWndProc hands them to the menu).
    TrackPopupMenu(FSystemMenu->Handle(), TPM_RIGHTBUTTON, X, Y, 0, FForm->Handle(), nullptr);
}
