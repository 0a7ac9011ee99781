#include "sDriveComboBox.h"

#include "sComboBox.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

TsDriveComboBox::TsDriveComboBox(TComponent* AOwner) : TDriveComboBox(AOwner), TsBoundHolder(this, "COMBOBOX", 3)
{
    FControlStyle.Exclude(csOpaque);
    FDropDownCount = 16;
}

void TsDriveComboBox::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsDriveComboBox::Loaded()
{
    inherited::Loaded();
    SkinData()->Loaded();
    // The dropped list takes the section's colours, like the other combo boxes.
    ApplySectionColors(SkinData());
}

void TsDriveComboBox::SetAlignment(TAlignment Value) { SetSkinSetting(FAlignment, Value, SkinData()); }

void TsDriveComboBox::SetButtonMargin(int Value) { SetSkinSetting(FButtonMargin, Value, SkinData()); }

void TsDriveComboBox::SetDisabledKind(TsDisabledKind Value) { SetSkinSetting(FDisabledKind, Value, SkinData()); }

void TsDriveComboBox::SetReadOnly(bool Value) { SetSkinSetting(FReadOnly, Value, SkinData()); }

bool TsDriveComboBox::Focused() { return ComboFocused(this); }

void TsDriveComboBox::Invalidate()
{
    inherited::Invalidate();
    if (Focused())
        SkinData()->Focused = true;
}

void TsDriveComboBox::DropDown()
{
    FDropped = true;
    inherited::DropDown();
}

int TsDriveComboBox::GlyphIndex()
{
    TsCommonData* sd = SkinData();
    return sd->Skinned() ? GetMaskIndex(sd->SkinIndex, sd->SkinSection(), "GLYPHMASK") : -1;
}

int TsDriveComboBox::ButtonWidth() { return sSkinData->Active ? MaskSize(GlyphIndex()).x : 16; }

int TsDriveComboBox::ButtonHeight() { return sSkinData->Active ? MaskSize(GlyphIndex()).y : 16; }

TRect TsDriveComboBox::ButtonRect()
{
    const int w = ButtonWidth(), h = ButtonHeight();
    const int left = Width() - w - FButtonMargin;
    const int top = (Height() - h) / 2;
    return TRect{left, top, left + w, top + h};
}

int TsDriveComboBox::IndexOf(const AnsiString& S)
{
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Get(i) == S)
            return i;
    return -1;
}

void TsDriveComboBox::PaintText()
{
    TsCommonData* sd = SkinData();
    TCanvas* canvas = sd->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    TRect r = Rect(3, 2, Width() - 3, Height() - 4);
    WriteTextEx(canvas, Text().c_str(), true, r, GetStringFlags(this, FAlignment) | 0x830, sd, ControlIsActive(sd));
}

void TsDriveComboBox::PaintDrive()
{
    const int index = ItemIndex();
    if (index < 0)
        return;
    TCanvas* canvas = SkinData()->FCacheBmp->Canvas();
    const TRect text{2, 2, ButtonRect().left - 1, Height() - 2};
    int left = 4 + 16 + 6;
    if (TBitmap* picture = DriveBitmap(index)) {
        canvas->Draw(4, text.top + (HeightOf(text) - picture->Height()) / 2, picture);
        left = 4 + picture->Width() + 6;
    }
    TRect r{left, text.top, text.right, text.bottom};
    WriteTextEx(canvas, Items()->Get(index).c_str(), Enabled(), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, SkinData(),
                ControlIsActive(SkinData()));
}

void TsDriveComboBox::PaintButton()
{
    const int i = GlyphIndex();
    if (MaskSize(i).x == 0)
        return;
    const int state = FDropped ? 2 : ControlIsActive(SkinData()) ? 1 : 0;
    const TRect r = ButtonRect();
    DrawSkinGlyph(SkinData()->FCacheBmp.get(), TPoint{r.left, r.top}, state, 1, ma[static_cast<size_t>(i)]);
}

void TsDriveComboBox::PrepareCache()
{
    TsCommonData* sd = SkinData();
    sd->InitCacheBmp();
    sd->FCacheBmp->SetSize(Width(), Height());
    const TPoint offset{Left(), Top()};
    const TCacheInfo ci = GetParentCache(sd);
    PaintItem(sd, ci, true, ControlIsActive(sd) ? 1 : 0, Rect(0, 0, Width(), Height()), offset, sd->FCacheBmp.get(),
              false);
    PaintDrive();
    PaintButton();
    if (!Enabled())
        BmpDisabledKind(sd->FCacheBmp.get(), FDisabledKind, Parent(), ci, offset);
    sd->BGChanged = false;
}

void TsDriveComboBox::OurPaintHandler()
{
    TsCommonData* sd = SkinData();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (!sd->GetUpdating()) {
        sd->BGChanged = sd->BGChanged || sd->HalfVisible || GetBoolMsg(Parent(), AC_GETHALFVISIBLE);
        sd->HalfVisible = !RectInRect(Parent()->ClientRect(), BoundsRect());
        if (sd->BGChanged || sd->FCacheBmp->Width() != Width() || sd->FCacheBmp->Height() != Height())
            PrepareCache();
        UpdateCorners(sd, 0);
        // A drive combo box is never a plain drop-down list: the cache is the whole look.
        BitBlt(dc, 0, 0, Width(), Height(), sd->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    EndPaint(Handle(), &ps);
}

void TsDriveComboBox::PaintBorder()
{
    TsCommonData* sd = SkinData();
    if (sd->BGChanged)
        PrepareCache();
    HDC dc = GetWindowDC(Handle());
    HDC src = sd->FCacheBmp->Canvas()->Handle();
    const int w = Width(), h = Height();
    BitBlt(dc, 0, 0, w, 2, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, 2, 2, h - 4, src, 0, 2, SRCCOPY);
    BitBlt(dc, w - 2, 2, 2, h - 4, src, w - 2, 2, SRCCOPY);
    BitBlt(dc, 0, h - 2, w, 2, src, 0, h - 2, SRCCOPY);
    ReleaseDC(Handle(), dc);
}

void TsDriveComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd)
{
    if (FReadOnly && ReadOnlyComboDrops(this, Message))
        return;
    inherited::ComboWndProc(Message, ComboWnd);
}

void TsDriveComboBox::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            RestoreWindowColors(sd);
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            ApplySectionColors(sd);
            sd->BGChanged = true;
            if (HandleAllocated())
                RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        case AC_GETDROPPEDDOWN: Message.Result = DroppedDown() ? 1 : 0; return;
        default: break;
        }
    } else if (FReadOnly && ReadOnlyComboDrops(this, Message)) {
        return;
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    switch (Message.Msg) {
    case WM_COMMAND:
    case CN_COMMAND:
        // Opening sets it again (DropDown).
        FDropped = false;
        sd->BGChanged = true;
        break;
    case WM_PAINT: OurPaintHandler(); return;
    case WM_NCPAINT: PaintBorder(); return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_CTLCOLOREDIT: return;
    case WM_SETFOCUS:
    case CM_ENTER:
    case WM_KILLFOCUS:
    case CM_EXIT: {
        inherited::WndProc(Message);
        const bool entering = Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER;
        if (entering && !Focused())
            return;
        sd->Focused = entering;
        sd->MouseAbove = false;
        sd->BGChanged = true;
        Repaint();
        return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (!DroppedDown()) {
            sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
            sd->BGChanged = true;
            Repaint();
        }
        break;
    case CN_DRAWITEM:
        // The system repaints the chosen item by itself (a new choice, the focus): the cache's
        // picture is what shows there.
        if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); dis->itemState & ODS_COMBOBOXEDIT) {
            sd->BGChanged = true;
            PrepareCache();
            BitBlt(dis->hDC, 0, 0, Width(), Height(), sd->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            Message.Result = 1;
            return;
        }
        break;
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        inherited::WndProc(Message);
    switch (Message.Msg) {
    case WM_COMMAND:
    case CN_COMMAND: Repaint(); break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: sd->Invalidate(); break;
    default: break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
