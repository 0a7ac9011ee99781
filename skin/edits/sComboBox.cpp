#include "sComboBox.h"

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner), TsBoundHolder(this, "COMBOBOX", 3)
{
    FDropDownCount = 16;
}

void TsCustomComboBox::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsCustomComboBox::Loaded()
{
    inherited::Loaded();
    SkinData()->Loaded();
    ApplySectionColors(SkinData());
}

void TsCustomComboBox::SetAlignment(TAlignment Value) { SetSkinSetting(FAlignment, Value, SkinData()); }

void TsCustomComboBox::SetButtonMargin(int Value) { SetSkinSetting(FButtonMargin, Value, SkinData()); }

void TsCustomComboBox::SetDisabledKind(TsDisabledKind Value) { SetSkinSetting(FDisabledKind, Value, SkinData()); }

bool TsCustomComboBox::Focused() { return ComboFocused(this); }

void TsCustomComboBox::Invalidate()
{
    if (Focused())
        SkinData()->Focused = true;
    inherited::Invalidate();
}

int TsCustomComboBox::GlyphIndex()
{
    TsCommonData* sd = SkinData();
    return sd->Skinned() ? GetMaskIndex(sd->SkinIndex, sd->SkinSection(), "GLYPHMASK") : -1;
}

int TsCustomComboBox::ButtonWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

int TsCustomComboBox::ButtonHeight()
{
    if (!sSkinData->Active || !SkinData()->Skinned())
        return 16;
    // One cell of the mask, whether cut from the master image or a picture of its own.
    return MaskSize(GlyphIndex()).y;
}

TRect TsCustomComboBox::ButtonRect()
{
    const int bw = Style() == csSimple ? 0 : ButtonWidth();
    const int bh = ButtonHeight();
    TRect r;
    r.left = UseRightToLeftAlignment() ? FButtonMargin - 1 : Width() - bw - FButtonMargin - 1;
    r.top = (Height() - bh) / 2;
    r.right = r.left + bw;
    r.bottom = r.top + bh;
    return r;
}

int TsCustomComboBox::IndexOf(const AnsiString& S)
{
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Get(i) == S)
            return i;
    return -1;
}

void TsCustomComboBox::DropDown()
{
    FDropped = true;
    inherited::DropDown();
}

void TsCustomComboBox::DrawButton()
{
    const int i = GlyphIndex();
    const TPoint cell = MaskSize(i);
    if (cell.x == 0)
        return;
    const int state = FDropped ? 2 : ControlIsActive(SkinData()) ? 1 : 0;
    const TRect r = ButtonRect();
    DrawSkinGlyph(SkinData()->FCacheBmp.get(), TPoint{r.left + (WidthOf(r) - cell.x) / 2, r.top}, state, 1,
                  ma[static_cast<size_t>(i)]);
}

void TsCustomComboBox::PrepareCache()
{
    TsCommonData* sd = SkinData();
    sd->InitCacheBmp();
    sd->FCacheBmp->SetSize(Width(), Height());
    const TPoint offset{Left(), Top()};
    const TCacheInfo ci = GetParentCache(sd);
    PaintItem(sd, ci, true, ControlIsActive(sd) ? 1 : 0, Rect(0, 0, Width(), Height()), offset, sd->FCacheBmp.get(),
              false);
    if (Style() != csSimple)
        DrawButton();
    if (!Enabled())
        BmpDisabledKind(sd->FCacheBmp.get(), FDisabledKind, Parent(), ci, offset);
    sd->BGChanged = false;
}

void TsCustomComboBox::PaintText()
{
    TsCommonData* sd = SkinData();
    TCanvas* canvas = sd->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    TRect r = Rect(4, 3, ButtonRect().left, Height() - 3);
    if (ItemIndex() != -1)
        WriteTextEx(canvas, Text().c_str(), true, r,
                    GetStringFlags(this, FAlignment) | DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK, sd,
                    ControlIsActive(sd));
}

void TsCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (State.Contains(odSelected)) {
        canvas->Brush()->SetColor(clHighlight);
        canvas->Font()->SetColor(clHighlightText);
    } else {
        canvas->Brush()->SetColor(Color());
        canvas->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    }
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    canvas->FillRect(Rect);
    // Each list item shows its own text; the edit part the control's text.
    const AnsiString text = Index >= 0 && Index < Items()->Count() && !State.Contains(odComboBoxEdit)
                                ? Items()->Get(Index)
                                : Text();
    const int d = Style() == csDropDown ? 0 : 1;
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(Rect.left + d, Rect.top + d, text);
    canvas->Brush()->SetStyle(bsSolid);
}

void TsCustomComboBox::OurPaintHandler(HDC DC)
{
    TsCommonData* sd = SkinData();
    const HWND wnd = Handle();
    HDC dc = DC ? DC : GetWindowDC(wnd);
    const int saved = SaveDC(dc);
    if (sd->GetUpdating()) {
        RestoreDC(dc, saved);
        if (!DC)
            ReleaseDC(wnd, dc);
        return;
    }
    sd->BGChanged = sd->BGChanged || sd->HalfVisible || GetBoolMsg(Parent(), AC_GETHALFVISIBLE);
    sd->HalfVisible = !RectInRect(Parent()->ClientRect(), BoundsRect());
    if (sd->BGChanged || sd->FCacheBmp->Width() != Width() || sd->FCacheBmp->Height() != Height())
        PrepareCache();
    UpdateCorners(sd, 0);
    HDC src = sd->FCacheBmp->Canvas()->Handle();
    const int w = Width(), h = Height();
    const TRect button = ButtonRect();
    if (!Enabled()) {
        BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, w, 3, src, 0, 0, SRCCOPY);
        BitBlt(dc, 0, 3, 3, h - 6, src, 0, 3, SRCCOPY);
        BitBlt(dc, 0, h - 3, w, 3, src, 0, h - 3, SRCCOPY);
        BitBlt(dc, button.left, 0, WidthOf(button) + 3, h, src, button.left, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
    const bool focused = Focused() || sd->Focused;
    const bool ownerDraw = Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable;
    const bool editPart = (!focused || Style() == csDropDownList) && (ownerDraw ? ItemIndex() >= 0 : !DroppedDown());
    if (editPart && Enabled()) {
        const int saved2 = SaveDC(dc);
        ExcludeClipRect(dc, button.left, 3, w - 3, h - 3);
        TOwnerDrawState state{odComboBoxEdit};
        if (focused && (Style() == csDropDownList || ownerDraw))
            state = state + TOwnerDrawState{odSelected, odFocused};
        const TRect r = Rect(3, 3, button.left, h - 3);
        {
            TLentCanvas lent(Canvas(), dc);
            DrawItem(ItemIndex(), r, state);
        }
        if (focused)
            DrawFocusRect(dc, &r);
        RestoreDC(dc, saved2);
    }
    if (!DC)
        ReleaseDC(wnd, dc);
}

bool ComboFocused(TCustomComboBox* Combo)
{
    if (!Combo->HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    // Nothing focused is no focus of ours.
    return focus && (focus == Combo->EditHandle() || focus == Combo->Handle());
}

bool ReadOnlyComboDrops(TWinControl* Combo, TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
    case CN_COMMAND: return true;
    case WM_SYSKEYDOWN:
    case CN_SYSKEYDOWN:
        // Alt+Up and Alt+Down open the list; Alt alone, Alt+F4, Alt+Space and the accelerators
        // still reach the window.
        return Message.WParam == VK_UP || Message.WParam == VK_DOWN;
    case CN_KEYDOWN:
        // Tab, Enter and Escape still move on or reach the form.
        return Message.WParam == VK_UP || Message.WParam == VK_DOWN || Message.WParam == VK_F4;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A press only focuses.
        if (Combo->CanFocus())
            Combo->SetFocus();
        if (Message.Msg == WM_LBUTTONDBLCLK)
            Combo->DblClick();
        return true;
    default: return false;
    }
}

void TsCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd)
{
    if (FReadOnly && ReadOnlyComboDrops(this, Message))
        return;
    inherited::ComboWndProc(Message, ComboWnd);
}

void TsCustomComboBox::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg != SM_SKINCMD) {
        if (FReadOnly && ReadOnlyComboDrops(this, Message))
            return;
    } else {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            RestoreWindowColors(sd);
            RecreateWnd();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            ApplySectionColors(SkinData());
            Repaint();
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                Repaint();
                return;
            }
            break;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
    } else {
        switch (Message.Msg) {
        case WM_COMMAND:
            FDropped = false;
            OurPaintHandler(nullptr);
            break;
        case WM_SETFOCUS:
        case CM_ENTER:
            if (!Focused())
                break;
            sd->Focused = true;
            sd->MouseAbove = false;
            sd->BGChanged = true;
            inherited::WndProc(Message);
            BoundLabelFollows(BoundLabel(), this, Message.Msg);
            return;
        case WM_KILLFOCUS:
        case CM_EXIT:
            if (DroppedDown())
                SetDroppedDown(false);
            sd->Focused = false;
            sd->MouseAbove = false;
            sd->BGChanged = true;
            inherited::WndProc(Message);
            return;
        case WM_PAINT: {
            if (Focused() && DroppedDown()) {
                inherited::WndProc(Message);
            }
            PAINTSTRUCT ps;
            BeginPaint(Handle(), &ps);
            OurPaintHandler(nullptr);
            EndPaint(Handle(), &ps);
            return;
        }
        case WM_NCPAINT: OurPaintHandler(nullptr); return;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            // While the list is open the look stays.
            if (DroppedDown()) {
                inherited::WndProc(Message);
                return;
            }
            sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
            sd->BGChanged = true;
            Repaint();
            break;
        case CN_DRAWITEM:
            if (!Enabled() || !(Focused() || sd->Focused)) {
                // The edit part of an inactive box is the cache's picture.
                const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
                if (dis->itemState & ODS_COMBOBOXEDIT) {
                    const TRect& r = dis->rcItem;
                    BitBlt(dis->hDC, r.left, r.top, WidthOf(r), HeightOf(r), sd->FCacheBmp->Canvas()->Handle(), r.left,
                           r.top, SRCCOPY);
                    Message.Result = 1;
                    return;
                }
            }
            break;
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == CBN_CLOSEUP) {
                sd->BGChanged = true;
                FDropped = false;
                OurPaintHandler(nullptr);
            }
            break;
        default: break;
        }
        if (!CommonWndProc(Message, sd))
            inherited::WndProc(Message);
        switch (Message.Msg) {
        case WM_SETFONT:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
            sd->BGChanged = true;
            if (Visible() && HandleAllocated())
                OurPaintHandler(nullptr);
            break;
        case CB_SETCURSEL:
            sd->BGChanged = true;
            Repaint();
            break;
        default: break;
        }
    }
    // The only query that answers in Result.
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETDROPPEDDOWN)
        Message.Result = DroppedDown() ? 1 : 0;
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
