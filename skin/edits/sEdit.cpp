#include "sEdit.h"

#include "sGraphUtils.h"
#include "sLabel.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sScrollBar.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {
// Left, top, bottom: DT_TOP | DT_SINGLELINE | DT_WORDBREAK | DT_NOPREFIX.
constexpr int EditTextFlags = 0x830;
} // namespace

void CopyEditFrame(TsCommonData* SkinData, HDC DC, int Width, int Height)
{
    HDC src = SkinData->FCacheBmp->Canvas()->Handle();
    BitBlt(DC, 0, 0, Width, 2, src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, 2, 2, Height, src, 0, 2, SRCCOPY);
    BitBlt(DC, 2, Height - 2, Width - 4, 2, src, 2, Height - 2, SRCCOPY);
    BitBlt(DC, Width - 2, 2, 2, Height - 2, src, Width - 2, 2, SRCCOPY);
}

void PaintEditFrame(TWinControl* Edit, TsCommonData* SkinData, HDC DC, const std::function<void()>& Prepare,
                    TsScrollBar* VBar, TsScrollBar* HBar)
{
    // The window's DC while none is given, released and its state restored however the paint ends.
    const TWindowDC dc(Edit->Handle(), DC);
    const int w = Edit->Width(), h = Edit->Height();
    if (SkinData->BGChanged || SkinData->FCacheBmp->Width() != w || SkinData->FCacheBmp->Height() != h)
        Prepare();
    UpdateCorners(SkinData, 0);
    CopyEditFrame(SkinData, dc.Handle(), w, h);
    // Between the frame and the skinned bars the edit's own colour, not the native bars' edges.
    if (VBar || HBar)
        FillEditBarStrips(Edit, dc.Handle(), VBar, HBar);
}

void FillEditBarStrips(TWinControl* Edit, HDC DC, TsScrollBar* VBar, TsScrollBar* HBar)
{
    const bool v = VBar && VBar->Visible(), h = HBar && HBar->Visible();
    TGdiHandle<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Edit->Color()))));
    auto fill = [&](int l, int t, int r, int b) {
        const RECT rc{l, t, r, b};
        FillRect(DC, &rc, brush.Get());
    };
    const int w = Edit->Width(), ht = Edit->Height();
    if (v)
        fill(w - VBar->Width() - 3, 2, w - 2, ht - 2);
    if (h)
        fill(2, ht - HBar->Height() - 3, w - (v ? VBar->Width() : 0) - 2, ht - 2);
}

void PlaceEditBars(TWinControl* Edit, TsScrollBar* VBar, TsScrollBar* HBar, bool Mirrored)
{
    const int l = Edit->Left(), t = Edit->Top();
    if (VBar)
        VBar->SetBounds(Mirrored ? l + 4 : l + Edit->Width() - VBar->Width() - 2, t + 2, VBar->Width(), VBar->Height());
    if (HBar)
        HBar->SetBounds(l + 2, t + Edit->Height() - HBar->Height() - 2, HBar->Width(), HBar->Height());
}

void PaintEditCache(TsCommonData* SkinData, int State, TsDisabledKind Kind, const std::function<void()>& Content)
{
    TControl* c = SkinData->FOwnerControl;
    SkinData->InitCacheBmp();
    const TPoint offset{c->Left(), c->Top()};
    PaintItem(SkinData, GetParentCache(SkinData), true, State, Rect(0, 0, c->Width(), c->Height()), offset,
              SkinData->FCacheBmp.get(), false);
    Content();
    if (!c->Enabled())
        BmpDisabledKind(SkinData->FCacheBmp.get(), Kind, c->Parent(), GetParentCache(SkinData), offset);
    SkinData->BGChanged = false;
}

void PaintEditClient(TsCommonData* SkinData, HDC DC, bool MarkUpdating, const std::function<void()>& Prepare)
{
    auto* c = static_cast<TWinControl*>(SkinData->FOwnerControl);
    const HWND wnd = c->Handle();
    PAINTSTRUCT ps{};
    if (!DC)
        BeginPaint(wnd, &ps);
    HDC dc = DC ? DC : GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    if (SkinData->GetUpdating()) {
        // The parent's AC_PARENTUPDATED brings the paint back.
        if (MarkUpdating)
            SkinData->SetUpdating(true);
    } else {
        SkinData->BGChanged =
            SkinData->BGChanged || SkinData->HalfVisible || GetBoolMsg(c->Parent(), AC_GETHALFVISIBLE);
        SkinData->HalfVisible = !RectInRect(c->Parent()->ClientRect(), c->BoundsRect());
        TBitmap* cache = SkinData->FCacheBmp.get();
        const bool sized = cache->Width() == c->Width() && cache->Height() == c->Height();
        if (SkinData->BGChanged && (!SkinData->UrgentPainting || !sized))
            Prepare();
        UpdateCorners(SkinData, 0);
        BitBlt(dc, 0, 0, c->Width(), c->Height(), SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
    if (!DC) {
        ReleaseDC(wnd, dc);
        EndPaint(wnd, &ps);
    }
}

AnsiString EditShownText(TCustomEdit* Edit)
{
    AnsiString text = Edit->Text();
    if (Edit->PasswordChar() != 0)
        text.assign(text.size(), Edit->PasswordChar());
    return text;
}

void ApplySectionColors(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    if (!c || !sSkinData->Active || !SkinData->Skinned())
        return;
    const TsGeneralData& g = gd[static_cast<std::size_t>(SkinData->SkinIndex)];
    if (!SkinData->CustomColor)
        c->SetColor(g.Color);
    if (!SkinData->CustomFont)
        c->Font()->SetColor(g.FontColor[0]);
}

void RestoreWindowColors(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    if (!SkinData->CustomColor)
        c->SetColor(clWindow);
    if (!SkinData->CustomFont)
        c->Font()->SetColor(clWindowText);
}

void BoundLabelFollows(TsBoundLabel* BoundLabel, TControl* Control, UINT Msg)
{
    TsEditLabel* label = BoundLabel ? BoundLabel->TheLabel() : nullptr;
    if (!label)
        return;
    switch (Msg) {
    case CM_VISIBLECHANGED: label->SetVisible(Control->Visible()); break;
    case CM_ENABLEDCHANGED: label->SetEnabled(Control->Enabled()); break;
    case CM_BIDIMODECHANGED: label->SetBiDiMode(Control->BiDiMode()); break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: break;
    default: return;
    }
    BoundLabel->AlignLabel();
}

TsEdit::TsEdit(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 3)
{
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

void TsEdit::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsEdit::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

void TsEdit::PaintText()
{
    TsCommonData* sd = SkinData();
    const AnsiString text = EditShownText(this);
    if (text.empty())
        return;
    TCanvas* canvas = sd->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    // The framework's edit always has a border: one pixel, two with the sunken look.
    const int b = Ctl3D() ? 2 : 1;
    TRect r = Rect(b + 1, b + 1, Width() - b, Height() - b);
    WriteTextEx(canvas, text.c_str(), true, r, EditTextFlags, sd, ControlIsActive(sd));
}

void TsEdit::PrepareCache()
{
    PaintEditCache(SkinData(), ControlIsActive(SkinData()) ? 1 : 0, FDisabledKind, [this] { PaintText(); });
}

void TsEdit::OurPaintHandler(HDC DC)
{
    PaintEditClient(SkinData(), DC, true, [this] { PrepareCache(); });
}

void TsEdit::PaintBorder(HDC DC)
{
    TsCommonData* sd = SkinData();
    sd->SetUpdating(sd->GetUpdating());
    if (sd->Updating)
        return;
    PaintEditFrame(this, sd, DC, [this] { PrepareCache(); });
}

void TsEdit::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            // The skinned frame and text go with a full native repaint, also where no colour changed.
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            Repaint();
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        case AC_ISTEXTURED: Message.LParam = 0; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        TEdit::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    switch (Message.Msg) {
    case WM_PRINT: OurPaintHandler(reinterpret_cast<HDC>(Message.WParam)); return;
    case WM_SETFOCUS:
    case CM_ENTER:
        if (!CanFocus())
            break;
        TEdit::WndProc(Message);
        if (Focused()) {
            sd->Focused = true;
            sd->MouseAbove = false;
            sd->BGChanged = true;
            // The native edit paints the text of the active look; the frame follows.
            Invalidate();
        }
        return;
    case WM_PAINT:
        if (ControlIsActive(sd))
            PaintBorder();
        else
            OurPaintHandler();
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: PaintBorder(); return;
    case CM_COLORCHANGED:
        if (sd->CustomColor)
            sd->BGChanged = true;
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        // Without the section's hot look under the mouse, nothing at all changes.
        if (!IsValidSkinIndex(sd->SkinIndex) || !gd[static_cast<std::size_t>(sd->SkinIndex)].ReservedBoolean) {
            TEdit::WndProc(Message);
            return;
        }
        sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
        sd->BGChanged = true;
        Repaint();
        break;
    case CN_DRAWITEM: return;
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        TEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_KILLFOCUS:
    case CM_EXIT:
        sd->Focused = false;
        sd->MouseAbove = false;
        sd->BGChanged = true;
        if (Visible())
            Repaint();
        break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED: sd->Invalidate(); break;
    default:
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_PARENTUPDATED && sd->GetUpdating()) {
            sd->SetUpdating(false);
            Repaint();
        } else if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_URGENTPAINTING && sd->UrgentPainting) {
            PrepareCache();
        }
        break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
