#include "sCustomComboEdit.h"

#include <algorithm>

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

TPoint PopupWindowPlace(const TRect& WorkArea, const TRect& Edit, TSize PopupSize, TPopupWindowAlign Align)
{
    const int editW = Edit.right - Edit.left, popW = PopupSize.cx, popH = PopupSize.cy;
    // Below the edit, else above it; a pop-up that fits on neither side goes to the side with more
    // room and is kept inside the work area (its top edge first).
    int y = Edit.bottom;
    if (y + popH > WorkArea.bottom) {
        if (Edit.top - popH >= WorkArea.top || Edit.top - WorkArea.top > WorkArea.bottom - Edit.bottom)
            y = Edit.top - popH;
        y = std::max(std::min(y, static_cast<int>(WorkArea.bottom) - popH), static_cast<int>(WorkArea.top));
    }
    int x = Edit.left;
    if (Align == pwaRight) {
        x -= popW - editW;
        if (x < WorkArea.left)
            x += popW - editW;
    } else if (x + popW > WorkArea.right) {
        x += editW - popW;
    }
    if (x < WorkArea.left)
        x = WorkArea.left;
    else if (x + popW > WorkArea.right)
        x = WorkArea.right - popW;
    return TPoint{x, y};
}

// --- The button ----------------------------------------------------------------------------------

TsEditButton::TsEditButton(TComponent* AOwner) : TsSpeedButton(AOwner), FEdit(dynamic_cast<TsCustomComboEdit*>(AOwner))
{
    SkinData()->SetSkinSection("SPEEDBUTTON");
    SetCursor(crArrow);
    SetAlign(alRight);
    SetWidth(22);
    SetCaption("");
}

void TsEditButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = AWidth != Width();
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized && FEdit)
        FEdit->SetEditRect();
}

int TsEditButton::GlyphWidth() { return Glyph()->Width() / 3; }

int TsEditButton::GlyphHeight() { return Glyph()->Height() / 2; }

int TsEditButton::GlyphState() const
{
    if (State() == bsDown || State() == bsExclusive)
        return 2;
    return SkinData()->MouseAbove || MouseInControl() ? 1 : 0;
}

void TsEditButton::PrepareCache()
{
    TsCommonData* sd = SkinData();
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    if (FEdit && FEdit->SkinData()->FCacheBmp)
        BitBlt(cache->Canvas()->Handle(), 0, 0, Width(), Height(), FEdit->SkinData()->FCacheBmp->Canvas()->Handle(),
               Left() + 2, Top() + 2, SRCCOPY);
    DrawGlyph();
    sd->BGChanged = false;
}

void TsEditButton::DrawGlyph()
{
    if (!FEdit || !FEdit->GlyphMode()->AssignDefaultBitmap() || !DefBMP)
        return;
    TsGlyphMode* mode = FEdit->GlyphMode();
    TBitmap* cache = SkinData()->FCacheBmp.get();
    TBitmap work(Width(), Height(), pf24bit);
    BitBlt(work.Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const int w = mode->Width(), h = mode->Height(), state = GlyphState();
    const int x = (Width() - w) / 2, y = (Height() - h) / 2;
    CopyByMask(Rect(x, y, x + w, y + h), Rect(state * w, 0, (state + 1) * w, h), &work, DefBMP, TCacheInfo{}, false);
    if (!FEdit->IsActive() && state != 1) {
        if (mode->Grayed())
            GrayScale(&work);
        if (mode->Blend() > 0) {
            // Blend percent of the background over the glyph.
            const auto weight = static_cast<Byte>(std::min<Int64>(Round(mode->Blend() * 2.56), 255));
            TBitmap mixed(Width(), Height(), pf24bit);
            BitBlt(mixed.Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
            SumBitmaps(&mixed, &work, TsColor{weight, weight, weight, 0});
            BitBlt(work.Canvas()->Handle(), 0, 0, Width(), Height(), mixed.Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (!FEdit->Enabled())
        BmpDisabledKind(&work, FEdit->DisabledKind(), FEdit->Parent(), GetParentCache(FEdit->SkinData()),
                        TPoint{FEdit->Left() + Left() + 2, FEdit->Top() + Top() + 2});
    BitBlt(cache->Canvas()->Handle(), 0, 0, Width(), Height(), work.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsEditButton::PaintTo(HDC DC, TPoint P)
{
    if (SkinData()->BGChanged || SkinData()->FCacheBmp->Width() != Width() || SkinData()->FCacheBmp->Height() != Height())
        PrepareCache();
    BitBlt(DC, P.x, P.y, Width(), Height(), SkinData()->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsEditButton::DrawStandardGlyph()
{
    if (!FEdit || !FEdit->GlyphMode()->AssignDefaultBitmap() || !DefBMP)
        return;
    TsGlyphMode* mode = FEdit->GlyphMode();
    TBitmap face(Width(), Height(), pf24bit);
    HDC canvas = Canvas()->Handle();
    BitBlt(face.Canvas()->Handle(), 0, 0, Width(), Height(), canvas, 0, 0, SRCCOPY);
    const int w = mode->Width(), h = mode->Height(), cell = State() == bsDown ? 2 : 1;
    const int x = (Width() - w) / 2, y = (Height() - h) / 2;
    CopyByMask(Rect(x, y, x + w, y + h), Rect(cell * w, 0, (cell + 1) * w, h), &face, DefBMP, TCacheInfo{}, false);
    BitBlt(canvas, 0, 0, Width(), Height(), face.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsEditButton::Paint()
{
    inherited::Paint();
    if (!SkinData()->Skinned())
        DrawStandardGlyph();
}

void TsEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FEdit && Button == mbLeft) {
        FPressClosedPopup = FEdit->FClosedByPress;
        FEdit->FClosedByPress = false;
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TsEditButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseUp(Button, Shift, X, Y); // the click, when released over the button
    if (Button == mbLeft)
        FPressClosedPopup = false;
}

// --- The edit --------------------------------------------------------------------------------------

TsCustomComboEdit::TsCustomComboEdit(TComponent* AOwner)
    : TsMaskEdit(AOwner), FGlyphMode(std::make_unique<TsGlyphMode>(this))
{
    SkinData()->COC = 138;
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    FButton = Create<TsEditButton>(this);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    FButton->OnClick = TNotifyEvent(this, &TsCustomComboEdit::EditButtonClick);
    SetHeight(21);
}

TsCustomComboEdit::~TsCustomComboEdit() = default;

void TsCustomComboEdit::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsCustomComboEdit::Loaded()
{
    inherited::Loaded();
    SkinData()->Loaded();
    SetEditRect();
}

void TsCustomComboEdit::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    static const DWORD alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    Params.Style = (Params.Style & ~static_cast<DWORD>(ES_RIGHT | ES_CENTER)) | alignments[FAlignment] | WS_CLIPCHILDREN;
}

void TsCustomComboEdit::CreateWnd()
{
    inherited::CreateWnd();
    SetEditRect();
}

void TsCustomComboEdit::SetEditRect()
{
    // A single-line edit keeps its text off the button by its right margin.
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN,
                     MAKELPARAM(0, FButton && FButton->Visible() ? FButton->Width() + 2 : 0));
}

void TsCustomComboEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopup)
        FPopup = nullptr;
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

void TsCustomComboEdit::SetPopup(TCustomForm* Value)
{
    if (FPopup == Value)
        return;
    if (FPopup)
        FPopup->RemoveFreeNotification(this);
    FPopup = Value;
    if (Value)
        Value->FreeNotification(this);
}

bool TsCustomComboEdit::DroppedDown() const { return FPopup && FPopup->Visible(); }

void TsCustomComboEdit::SetReadOnly(bool Value)
{
    FReadOnlyValue = Value;
    UpdateReadOnly();
}

void TsCustomComboEdit::SetDirectInput(bool Value)
{
    FDirectInput = Value;
    UpdateReadOnly();
}

void TsCustomComboEdit::UpdateReadOnly() { TsMaskEdit::SetReadOnly(FReadOnlyValue || !FDirectInput); }

void TsCustomComboEdit::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    if (HandleAllocated())
        RecreateWnd();
    SkinData()->Invalidate();
}

void TsCustomComboEdit::SetShowButton(bool Value)
{
    if (Value == FShowButton)
        return;
    FShowButton = Value;
    Invalidate();
}

void TsCustomComboEdit::UpdateButton()
{
    if (!FButton)
        return;
    const bool changed = FButton->Visible() != FShowButton;
    if (FShowButton && !FButton->Visible()) {
        FButton->SetWidth(22);
        FButton->SetVisible(true);
    } else if (!FShowButton && FButton->Visible()) {
        FButton->SetVisible(false);
        FButton->SetWidth(0);
    }
    if (changed)
        SetEditRect();
}

void TsCustomComboEdit::Invalidate()
{
    inherited::Invalidate();
    if (!FButton)
        return;
    if (!RestrictDrawing)
        FButton->SkinData()->BGChanged = true;
    UpdateButton();
    FButton->Invalidate();
}

bool TsCustomComboEdit::IsActive()
{
    return inherited::IsActive() ||
           (FButton && (FButton->MouseInControl() || ControlIsActive(FButton->SkinData())));
}

void TsCustomComboEdit::SelectAll()
{
    if (FDirectInput && HandleAllocated() && !EditText().empty())
        SendMessageA(Handle(), EM_SETSEL, 0, static_cast<LPARAM>(EditText().size()));
}

// --- The button and the pop-up --------------------------------------------------------------------

void TsCustomComboEdit::EditButtonClick(TObject*) { DoClick(); }

void TsCustomComboEdit::DoClick()
{
    if (!GetReadOnly())
        ButtonClick();
}

void TsCustomComboEdit::ButtonClick()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (FButton && FButton->FPressClosedPopup) {
        // The press already closed the pop-up.
        FButton->FPressClosedPopup = false;
        return;
    }
    if (!DroppedDown()) {
        if (CanFocus())
            SetFocus();
        PopupWindowShow();
    } else {
        PopupWindowClose();
    }
}

void TsCustomComboEdit::PopupClosing()
{
    // A press of the left button on our button is what takes the activation from the pop-up.
    POINT cursor{};
    GetCursorPos(&cursor);
    bool overButton = false;
    if (FButton && FButton->Visible() && HandleAllocated()) {
        const TPoint topLeft = ClientToScreen(TPoint{FButton->Left(), FButton->Top()});
        const RECT r{topLeft.x, topLeft.y, topLeft.x + FButton->Width(), topLeft.y + FButton->Height()};
        overButton = PtInRect(&r, cursor) != 0;
    }
    FClosedByPress = overButton && (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000);
    SetPopup(nullptr);
}

TRect TsCustomComboEdit::PopupWorkArea()
{
    RECT r{};
    GetWindowRect(Handle(), &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
        return mi.rcWork;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void TsCustomComboEdit::PopupWindowShow()
{
    if (!FPopup || GetReadOnly() || DroppedDown())
        return;
    FPopup->SetWidth(PopupWidth);
    const TPoint p = Parent() ? Parent()->ClientToScreen(TPoint{Left(), Top()}) : TPoint{Left(), Top()};
    const TPoint at = PopupWindowPlace(PopupWorkArea(), TRect{p.x, p.y, p.x + Width(), p.y + Height()},
                                       TSize{FPopup->Width(), FPopup->Height()}, PopupAlign);
    FPopup->SetBounds(at.x, at.y, FPopup->Width(), FPopup->Height());
    SetWindowPos(FPopup->Handle(), HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    FPopup->Show();
}

void TsCustomComboEdit::PopupWindowClose()
{
    if (DroppedDown())
        FPopup->Close();
}

// --- Keys, mouse, focus -----------------------------------------------------------------------------

void TsCustomComboEdit::KeyDown(Word& Key, TShiftState Shift)
{
    inherited::KeyDown(Key, Shift);
    if (Key != 0 && ShortCut(Key, Shift) == ClickKey && FButton && FGlyphMode->Width() > 0) {
        EditButtonClick(this);
        Key = 0;
    }
}

void TsCustomComboEdit::KeyPress(char& Key)
{
    if (Key == '\r' || Key == '\x1b') {
        if (TCustomForm* form = GetParentForm(this))
            form->Perform(CM_DIALOGKEY, static_cast<unsigned char>(Key), 0);
        if (Key == '\r') {
            inherited::KeyPress(Key);
            Key = 0;
            return;
        }
    }
    inherited::KeyPress(Key);
}

void TsCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!RestrictDrawing)
        SkinData()->BGChanged = true;
    inherited::MouseDown(Button, Shift, X, Y);
    if (DroppedDown())
        PopupWindowClose();
}

void TsCustomComboEdit::Change()
{
    if (!DroppedDown())
        inherited::Change();
}

void TsCustomComboEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
        if (!FDirectInput || FReadOnlyValue)
            return;
        break;
    case CM_CANCELMODE: {
        // A press anywhere but on the edit, its button or its pop-up closes the pop-up.
        auto* sender = reinterpret_cast<TControl*>(Message.LParam);
        const bool ours = sender == this || sender == FButton ||
                          (FPopup && (sender == FPopup || FPopup->ContainsControl(sender)));
        if (!ours && DroppedDown())
            PopupWindowClose();
        break;
    }
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TControl*>(Message.LParam);
        if (DroppedDown() && focused != this && !(FPopup && (focused == FPopup || FPopup->ContainsControl(focused))))
            PopupWindowClose();
        break;
    }
    default: break;
    }
    inherited::WndProc(Message);
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
        case AC_REMOVESKIN:
        case AC_REPAINT: SkinBroadCast(this, Message); break;
        case AC_GETCACHEINFO:
            // The button stands on the edit's picture, inside its two-pixel frame.
            GlobalCacheInfo = sd->FCacheBmp ? TCacheInfo{sd->FCacheBmp.get(), 2, 2, true} : TCacheInfo{};
            break;
        case AC_GETUPDATING: Message.LParam = 0; break;
        default: break;
        }
        return;
    }
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (AutoSelect())
            SelectAll();
        break;
    case WM_SIZE: SetEditRect(); break;
    case WM_SETFONT:
        SetEditRect(); // a new font gives the edit the font's margins again
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        // The look follows the mouse over the edit and over its button.
        if (sd->Skinned() && HandleAllocated() && FButton) {
            sd->BGChanged = true;
            FButton->SkinData()->BGChanged = true;
            InvalidateRect(Handle(), nullptr, FALSE);
            RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        }
        break;
    default: break;
    }
}

// --- Painting -------------------------------------------------------------------------------------

void TsCustomComboEdit::PaintText()
{
    const int button = FButton && FButton->Visible() ? FButton->Width() : 0;
    const int flags = GetStringFlags(this, FAlignment) | (PasswordChar() != 0 ? 0x830 : 0x800);
    WriteCacheText(EditShownText(this), Rect(3, 2, Width() - 3 - button, Height() - 4), flags,
                   ControlIsActive(SkinData()));
}

void TsCustomComboEdit::OurPaintHandler(HDC DC)
{
    inherited::OurPaintHandler(DC);
    if (IsActive() || !FButton || !FButton->Visible() || SkinData()->GetUpdating())
        return;
    HDC dc = DC ? DC : GetWindowDC(Handle());
    FButton->PaintTo(dc, TPoint{FButton->Left() + 2, FButton->Top() + 2});
    if (!DC)
        ReleaseDC(Handle(), dc);
}

void TsCustomComboEdit::PaintBorder(HDC DC)
{
    TsCommonData* sd = SkinData();
    if (!Parent() || !Visible() || !Parent()->Visible() || ControlState().Contains(csCreating) || sd->GetUpdating())
        return;
    inherited::PaintBorder(DC);
    if (!IsActive() || !FButton || !FButton->Visible())
        return;
    HDC dc = DC ? DC : GetWindowDC(Handle());
    FButton->PaintTo(dc, TPoint{FButton->Left() + 2, FButton->Top() + 2});
    if (!DC)
        ReleaseDC(Handle(), dc);
}

// --- The pop-up form ----------------------------------------------------------------------------

TsPopupForm::TsPopupForm(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    KeyPreview = true;
    if (auto* edit = dynamic_cast<TsCustomComboEdit*>(AOwner))
        SetEditLink(edit);
}

void TsPopupForm::SetEditLink(TsCustomComboEdit* Value)
{
    if (FEditLink == Value)
        return;
    if (FEditLink)
        FEditLink->RemoveFreeNotification(this);
    FEditLink = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsPopupForm::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FEditLink)
        FEditLink = nullptr;
}

void TsPopupForm::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    // Owned by the edit's form, which the system activates again when the pop-up hides.
    if (TCustomForm* form = FEditLink ? GetParentForm(FEditLink) : nullptr; form && form->HandleAllocated())
        Params.WndParent = form->Handle();
    Params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TsPopupForm::TakeSkinColor()
{
    SetColor(sSkinData->Active && sSkinData->DefaultManager ? sSkinData->DefaultManager->GetGlobalColor() : clBtnFace);
}

void TsPopupForm::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND && sSkinData->Active) {
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TsPopupForm::Deactivate()
{
    inherited::Deactivate();
    if (Visible())
        Close();
}

void TsPopupForm::DoClose(TCloseAction& Action)
{
    Action = caFree;
    inherited::DoClose(Action);
    if (Action != caFree)
        return;
    if (FEditLink)
        FEditLink->PopupClosing();
    // Hidden at once (the window goes with the release): the owner takes the activation back.
    SetVisible(false);
}

void TsPopupForm::FocusEdit()
{
    if (TsCustomComboEdit* edit = FEditLink) {
        if (edit->CanFocus())
            edit->SetFocus();
        if (edit->AutoSelect())
            edit->SelectAll();
    }
}

void TsPopupForm::ReturnToEdit()
{
    FocusEdit();
    if (Visible())
        Close();
}
