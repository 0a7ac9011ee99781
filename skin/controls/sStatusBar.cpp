#include "sStatusBar.h"

#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsStatusBar::TsStatusBar(TComponent* AOwner) : TStatusBar(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->COC = 151;
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
}

TsStatusBar::~TsStatusBar() = default;

void TsStatusBar::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsStatusBar::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

void TsStatusBar::PaintWindow(HDC DC)
{
    inherited::PaintWindow(DC);
    OurPaintHandler(DC);
}

void TsStatusBar::OurPaintHandler(HDC DC)
{
    TsCommonData* sd = FCommonData.get();
    if (!sd->Skinned())
        return;
    // The update region is validated also while updating: the parent's AC_PARENTUPDATED brings
    // the paint back.
    TWindowPaint paint(Handle(), DC);
    sd->Updating = sd->GetUpdating();
    if (sd->Updating)
        return;
    PrepareCache();
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), paint.DC(), false);
    ::PaintControls(paint.DC(), this, true, TPoint{0, 0});
    sd->BGChanged = false;
}

void TsStatusBar::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    if (sd->GetUpdating())
        return;
    const bool mustPaint =
        sd->BGChanged || sd->HalfVisible || (Parent() && GetBoolMsg(Parent(), AC_GETHALFVISIBLE));
    if (Parent()) {
        // Corners on the parent's client edge still lie inside it.
        const TRect client = Parent()->ClientRect();
        auto inside = [&](int X, int Y) {
            return X >= client.left && X <= client.right && Y >= client.top && Y <= client.bottom;
        };
        sd->HalfVisible = !inside(Left(), Top()) || !inside(Left() + Width(), Top() + Height());
    }
    if (!mustPaint || sd->UrgentPainting)
        return;
    const TCacheInfo ci = GetParentCache(sd);
    sd->InitCacheBmp();
    PaintItem(sd, ci, false, 0, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()}, sd->FCacheBmp.get(), false);
    PaintPanels();
    if (SizeGrip())
        PaintGrip();
    sd->BGChanged = false;
}

int TsStatusBar::PanelOffset(int Index) const
{
    int x = 0;
    for (int i = 0; i < Index && i < Panels()->Count(); ++i)
        x += Panels()->Items(i)->Width() + 1;
    return x;
}

void TsStatusBar::PaintPanels()
{
    if (SimplePanel()) {
        InternalDrawPanel(nullptr, SimpleText(), Rect(0, 1, Width() - 1, Height() - 1));
        return;
    }
    const int n = Panels()->Count();
    for (int i = 0; i < n; ++i) {
        TStatusPanel* panel = Panels()->Items(i);
        const int left = PanelOffset(i);
        const int right = i == n - 1 ? Width() : left + panel->Width() + 1;
        DrawSkinnedPanel(panel, Rect(left, 0, right, Height()));
    }
}

void TsStatusBar::DrawSkinnedPanel(TStatusPanel* Panel, const TRect& R)
{
    if (Panel->Style() == psOwnerDraw && OnDrawPanel) {
        TLentCanvas lent(Canvas(), FCommonData->FCacheBmp->Canvas()->Handle());
        Canvas()->Font()->Assign(Font());
        OnDrawPanel(this, Panel, R);
        return;
    }
    InternalDrawPanel(Panel, "", Rect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1));
}

void TsStatusBar::InternalDrawPanel(TStatusPanel* Panel, const AnsiString& Text, const TRect& R)
{
    TsCommonData* sd = FCommonData.get();
    TBitmap* cache = sd->FCacheBmp.get();
    if (IsValidSkinIndex(sd->SkinIndex)) {
        const int frame = GetMaskIndex(sd->SkinIndex, sd->SkinSection(), "STATUSPANELMASK");
        if (IsValidImgIndex(frame)) {
            DrawSkinRect(cache, SimplePanel() ? Rect(0, 0, Width(), Height()) : R, true, EmptyCI,
                         ma[static_cast<size_t>(frame)], 0, true);
        } else if (!SimplePanel() && Panel && Panel->Index() < Panels()->Count() - 1) {
            const int divider = GetSkinIndex("DIVIDER");
            const int mask = IsValidSkinIndex(divider) ? GetMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
            if (IsValidImgIndex(mask)) {
                const int w = MaskSize(mask).x;
                DrawSkinRect(cache, Rect(R.right - w, 1, R.right, Height() - 2), true, EmptyCI,
                             ma[static_cast<size_t>(mask)], 0, true);
            }
        }
    }
    TRect t(R.left + 1 + 2, R.top + 1, R.right - 1 - 4, R.bottom - 1 - 1);
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    if (Panel)
        DoDrawText(CutText(canvas, Panel->Text(), WidthOf(t)), t, GetStringFlags(this, Panel->Alignment()));
    else
        DoDrawText(CutText(canvas, Text, WidthOf(t)), t, GetStringFlags(this, taLeftJustify));
}

void TsStatusBar::DoDrawText(const AnsiString& Text, TRect& R, int Flags)
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    WriteTextEx(canvas, Text.c_str(), true, R, Flags | DT_NOPREFIX, FCommonData.get(),
                ControlIsActive(FCommonData.get()));
}

void TsStatusBar::PaintGrip()
{
    int grip = GetMaskIndex(ConstData.IndexGlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (!IsValidImgIndex(grip))
        grip = GetMaskIndex(GetSkinIndex("FORM"), "FORM", "GRIPIMAGE");
    if (!IsValidImgIndex(grip))
        return;
    const TPoint cell = MaskSize(grip);
    if (cell.x < 1 || cell.y < 1)
        return;
    DrawSkinGlyph(FCommonData->FCacheBmp.get(), TPoint{Width() - cell.x - 1, Height() - cell.y - 1}, 0, 1,
                  ma[static_cast<size_t>(grip)]);
}

void TsStatusBar::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
        case AC_REPAINT:
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            Repaint();
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            // The system bar paints its own look again, grip included.
            if (HandleAllocated())
                RecreateWnd();
            SkinBroadCast(this, Message);
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                Repaint();
                return;
            }
            break;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        Message.Result = 0;
        return;
    case WM_PRINT:
        Perform(WM_PAINT, Message.WParam, Message.LParam);
        Perform(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
    case WM_MOVE:
        if (const TsGeneralData* g = IsValidSkinIndex(sd->SkinIndex) ? &gd[static_cast<size_t>(sd->SkinIndex)] : nullptr;
            g && (g->Transparency > 0 || g->HotTransparency > 0))
            sd->BGChanged = true;
        break;
    case WM_PAINT:
        // The whole face comes from the cache; the system bar would paint its own over it.
        SetControlState(ControlState() + TControlState{csCustomPaint});
        try {
            OurPaintHandler(reinterpret_cast<HDC>(Message.WParam));
        } catch (...) {
            SetControlState(ControlState() - TControlState{csCustomPaint});
            throw;
        }
        SetControlState(ControlState() - TControlState{csCustomPaint});
        Message.Result = 0;
        return;
    default:
        break;
    }
    // A new text or layout makes the picture stale before the system bar handles it: the bar may
    // paint at once, inside the message. A picture not painted then is painted soon after.
    const bool changes = Message.Msg == SB_SETTEXTA || Message.Msg == SB_SIMPLE || Message.Msg == SB_SETPARTS;
    if (changes)
        sd->BGChanged = true;
    CommonWndProc(Message, sd);
    inherited::WndProc(Message);
    if (Message.Msg == SB_GETRECT)
        sd->BGChanged = true;
    if (changes && sd->BGChanged)
        InvalidateRect(Handle(), nullptr, FALSE);
}
