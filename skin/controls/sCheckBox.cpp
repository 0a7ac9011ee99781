#include "sCheckBox.h"

#include <algorithm>

#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

TPoint MouseAt(const TMessage& Message)
{
    return TPoint{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
}

// The box of a glyph cell GW x GH: beside the left edge for a caption on the right
// (taRightJustify), beside the right edge otherwise; centred vertically.
TRect PlaceBox(TAlignment Alignment, int Width, int Height, int Margin, int GW, int GH)
{
    const int top = (Height - GH) / 2;
    if (Alignment == taRightJustify)
        return Rect(Margin, top, Margin + GW, top + GH);
    return Rect(Width - GW - Margin, top, Width - Margin, top + GH);
}

} // namespace

// --- The frame ---------------------------------------------------------------------------------

template <class Base>
TsCheckControl<Base>::TsCheckControl(TComponent* AOwner, int ControlCode)
    : Base(AOwner), FCommonData(std::make_unique<TsCommonData>(this, false))
{
    FCommonData->COC = ControlCode;
    this->SetAutoSize(true);
}

template <class Base>
void TsCheckControl<Base>::AfterConstruction()
{
    Base::AfterConstruction();
    FCommonData->Loaded();
}

template <class Base>
void TsCheckControl<Base>::Loaded()
{
    Base::Loaded();
    FCommonData->Loaded();
    this->AdjustSize();
}

template <class Base>
void TsCheckControl<Base>::Invalidate()
{
    Base::Invalidate();
    if (this->AutoSize())
        FMultiLine = false;
}

template <class Base>
void TsCheckControl<Base>::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    FCommonData->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetGlyphChecked(TBitmap* Value)
{
    FGlyphChecked->Assign(Value);
    if (this->AutoSize())
        this->AdjustSize();
    FCommonData->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetGlyphUnChecked(TBitmap* Value)
{
    FGlyphUnChecked->Assign(Value);
    if (this->AutoSize())
        this->AdjustSize();
    Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetSpacing(int& Field, int Value)
{
    if (Value == Field)
        return;
    Field = Value;
    if (this->AutoSize())
        this->AdjustSize();
    Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetMultiLine(bool Value)
{
    if (Value == FMultiLine)
        return;
    FMultiLine = Value;
    if (this->AutoSize())
        this->SetAutoSize(false);
    Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetShowFocus(bool Value)
{
    if (Value == FShowFocus)
        return;
    FShowFocus = Value;
    Invalidate();
}

template <class Base>
int TsCheckControl<Base>::GlyphWidth() const
{
    return FGlyphChecked->Width() / 3;
}

template <class Base>
int TsCheckControl<Base>::GlyphHeight() const
{
    return FGlyphChecked->Height() / 2;
}

template <class Base>
TRect TsCheckControl<Base>::SkinCheckRect(int Mask)
{
    const TPoint cell = MaskSize(Mask);
    return PlaceBox(this->Alignment(), this->Width(), this->Height(), FMargin, cell.x, cell.y);
}

template <class Base>
TRect TsCheckControl<Base>::CheckRect()
{
    if (OwnGlyphs())
        return PlaceBox(this->Alignment(), this->Width(), this->Height(), FMargin, GlyphWidth(), GlyphHeight());
    const int mask = PlacingMaskIndex();
    return IsValidImgIndex(mask) ? SkinCheckRect(mask) : Rect(0, 0, 16, 16);
}

template <class Base>
bool TsCheckControl<Base>::CanAutoSize(int& NewWidth, int& NewHeight)
{
    if (!Skinned() || this->ComponentState().Contains(csLoading) || !this->AutoSize())
        return Base::CanAutoSize(NewWidth, NewHeight);
    const AnsiString caption = this->Caption();
    const TSize text = caption.empty() ? TSize{0, 0} : GetStringSize(this->Font()->Handle(), caption);
    const TRect box = CheckRect();
    NewWidth = WidthOf(box) + 2 * FMargin + (caption.empty() ? 0 : text.cx + FTextIndent + 5);
    NewHeight = std::max(HeightOf(box), static_cast<int>(text.cy) + 2 * FMargin) + 2;
    return true;
}

template <class Base>
void TsCheckControl<Base>::AutoSizeNow()
{
    if (this->AutoSize())
        this->AdjustSize();
}

// --- Painting ----------------------------------------------------------------------------------

template <class Base>
bool TsCheckControl<Base>::Hot()
{
    return ControlIsActive(FCommonData.get()) && !GetReadOnly();
}

template <class Base>
int TsCheckControl<Base>::GlyphState()
{
    return FPressed ? 2 : Hot() ? 1 : 0;
}

template <class Base>
void TsCheckControl<Base>::PaintHandler(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    TWinControl* parent = this->Parent();
    CtrlParentColor = ColorToRGB(parent->Color());
    {
        TWindowPaint paint(this->Handle(), reinterpret_cast<HDC>(Message.WParam));
        const TRect client = parent->ClientRect();
        const POINT first{this->Left() + 1, this->Top() + 1};
        const POINT last{this->Left() + this->Width() - 1, this->Top() + this->Height() - 1};
        sd->HalfVisible = !(PtInRect(&client, first) && PtInRect(&client, last));
        if (!sd->GetUpdating())
            PaintControl(paint.DC());
        else
            sd->Updating = true;
    }
    CtrlParentColor = clSkinKey;
    Message.Result = 0;
}

template <class Base>
void TsCheckControl<Base>::PaintControl(HDC DC)
{
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    cache->Canvas()->Font()->Assign(this->Font());
    const TCacheInfo ci = GetParentCache(sd);
    const int state = Hot() ? 1 : 0;
    const TPoint at{this->Left(), this->Top()};
    PaintItem(sd, ci, true, state, Rect(0, 0, cache->Width(), this->Height()), at, cache, false);
    DrawCheckText();
    DrawCheckArea();
    if (!this->Enabled())
        BmpDisabledKind(cache, FDisabledKind, this->Parent(), ci, at);
    UpdateCorners(sd, state);
    BitBlt(DC, 0, 0, this->Width(), this->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    // The image is made again at every paint: nothing is kept between paints.
    sd->FCacheBmp.reset();
    sd->BGChanged = false;
}

template <class Base>
void TsCheckControl<Base>::DrawCheckText()
{
    const AnsiString caption = this->Caption();
    if (caption.empty())
        return;
    const int w = this->Width(), h = this->Height();
    const int d = WidthOf(CheckRect()) + FTextIndent + FMargin + TextGap();
    TRect r;
    int flags = 0;
    if (this->Alignment() == taRightJustify) {
        r = Rect(d, FMargin, w - FMargin - 2, h - FMargin);
        flags = DT_LEFT;
    } else {
        r = Rect(FMargin, FMargin, w - d - 2, h - FMargin);
        flags = DT_RIGHT;
    }
    flags = FMultiLine ? DT_WORDBREAK | DT_TOP | DT_CENTER : flags | DT_SINGLELINE | DT_VCENTER;
    const int cut = TextGap() > 0 ? 2 : 0;
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    r.bottom -= cut;
    const TRect place = r;
    WriteTextEx(canvas, caption.c_str(), this->Enabled(), r, flags, FCommonData.get(), Hot());
    canvas->Pen()->SetStyle(psClear);
    canvas->Brush()->SetStyle(bsSolid);
    if (this->HandleAllocated() && this->Focused() && FShowFocus)
        FocusRectAround(canvas, TextExtentIn(canvas, caption.c_str(), place, flags));
}

template <class Base>
bool TsCheckControl<Base>::PaintOwnGlyph(bool Checked)
{
    if (FGlyphChecked->Width() < 1)
        return false;
    if (Checked)
        PaintGlyph(FGlyphChecked.get());
    else if (FGlyphUnChecked->Width() > 0)
        PaintGlyph(FGlyphUnChecked.get());
    return true;
}

template <class Base>
void TsCheckControl<Base>::PaintGlyph(TBitmap* Bmp)
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!cache)
        return;
    Bmp->SetPixelFormat(pf24bit);
    const int gw = GlyphWidth(), gh = GlyphHeight(), state = GlyphState();
    CopyByMask(CheckRect(), Rect(state * gw, 0, (state + 1) * gw, gh), cache, Bmp, EmptyCI, true);
}

template <class Base>
void TsCheckControl<Base>::DrawSkinGlyph(int Mask)
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (!cache)
        return;
    CtrlParentColor = clSkinKey;
    const TRect r = SkinCheckRect(Mask);
    ::DrawSkinGlyph(cache, TPoint{r.left, r.top}, GlyphState(), 1, ma[static_cast<std::size_t>(Mask)]);
}

// --- Messages ----------------------------------------------------------------------------------

template <class Base>
void TsCheckControl<Base>::TakeFocus()
{
    if (this->Focused() || !this->CanFocus())
        return;
    // Taking the focus must not click a radio button.
    this->FClicksDisabled = true;
    this->SetFocus();
    this->FClicksDisabled = false;
}

template <class Base>
bool TsCheckControl<Base>::Release()
{
    if (!FPressed)
        return true;
    FPressed = false;
    const std::shared_ptr<bool> alive = FAlive;
    ReleaseClick();
    // The click may have freed the control, or its form.
    if (!*alive)
        return false;
    this->Repaint();
    return true;
}

template <class Base>
void TsCheckControl<Base>::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            FPressed = false;
            // The native button shows the state again.
            if (this->HandleAllocated())
                SendMessageA(this->Handle(), BM_SETCHECK, NativeCheck(), 0);
            this->Repaint();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            this->Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this)) {
        Base::WndProc(Message);
        return;
    }
    if (CommonWndProc(Message, sd))
        return;
    if (sd->Skinned() ? SkinnedMessage(Message) : PlainMessage(Message))
        return;
    Base::WndProc(Message);
}

template <class Base>
bool TsCheckControl<Base>::SkinnedMessage(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    const bool acting = this->Enabled();
    if (Message.Msg == SM_SKINCMD) {
        if (Message.WParamHi == AC_PARENTUPDATED && (sd->GetUpdating() || sd->HalfVisible)) {
            sd->Updating = false;
            this->Repaint();
        }
        return false;
    }
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
        Base::WndProc(Message);
        if (this->Enabled() || Message.Msg == CM_ENABLEDCHANGED)
            this->Repaint();
        return true;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return true;
    case WM_ENABLE:
    case WM_NCPAINT:
    case BM_SETSTATE:
        // The native button would draw its own look over the skinned one.
        return true;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        PaintHandler(Message);
        return true;
    case BM_SETCHECK:
        SkinnedSetCheck(Message.WParam);
        this->Repaint();
        return true;
    case WM_KEYDOWN: {
        auto& key = MessageAs<TWMKey>(Message);
        if (key.CharCode != VK_SPACE || !acting)
            return false;
        if (!GetReadOnly()) {
            FPressed = true;
            TakeFocus();
            this->Repaint();
            if (this->OnKeyDown) {
                Word k = key.CharCode;
                this->OnKeyDown(this, k, KeyDataToShiftState(static_cast<LONG>(key.KeyData)));
            }
        }
        return true;
    }
    case WM_KEYUP: {
        if (!acting)
            return false;
        auto& key = MessageAs<TWMKey>(Message);
        if (!GetReadOnly() && Release() && this->OnKeyUp) {
            Word k = key.CharCode;
            this->OnKeyUp(this, k, KeyDataToShiftState(static_cast<LONG>(key.KeyData)));
        }
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!acting)
            return false;
        if (!GetReadOnly()) {
            FPressed = true;
            TakeFocus();
            this->Repaint();
            const TPoint p = MouseAt(Message);
            if (Message.Msg == WM_LBUTTONDBLCLK) {
                if (this->OnDblClick)
                    this->OnDblClick(this);
            } else if (this->OnMouseDown) {
                this->OnMouseDown(this, mbLeft, KeysToShiftState(static_cast<Word>(Message.WParam)), p.x, p.y);
            }
        }
        return true;
    case WM_LBUTTONUP:
        if (!acting)
            return false;
        if (!GetReadOnly() && Release() && this->OnMouseUp) {
            const TPoint p = MouseAt(Message);
            this->OnMouseUp(this, mbLeft, KeysToShiftState(static_cast<Word>(Message.WParam)), p.x, p.y);
        }
        return true;
    case CM_TEXTCHANGED:
        AutoSizeNow();
        this->Repaint();
        return true;
    case CM_MOUSEENTER:
        if (acting)
            this->Repaint();
        return false;
    case CM_MOUSELEAVE:
        if (acting) {
            FPressed = false;
            this->Repaint();
        }
        return false;
    default:
        return false;
    }
}

template class TsCheckControl<TCustomCheckBox>;
template class TsCheckControl<TRadioButton>;

// --- TsCheckBox --------------------------------------------------------------------------------

TsCheckBox::TsCheckBox(TComponent* AOwner) : TsCheckControl(AOwner, 32) {}

int TsCheckBox::GlyphMaskIndex(TCheckBoxState State)
{
    static const char* const names[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    return GetMaskIndex(ConstData.IndexGlobalInfo, "GLOBALINFO", names[State]);
}

int TsCheckBox::GlyphWidth() const
{
    return ImagesInUse() ? FImages->Width() / 3 : inherited::GlyphWidth();
}

int TsCheckBox::GlyphHeight() const
{
    return ImagesInUse() ? FImages->Height() / 2 : inherited::GlyphHeight();
}

void TsCheckBox::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    AutoSizeNow();
    SkinData()->Invalidate();
}

void TsCheckBox::SetImgChecked(int Value)
{
    if (Value == FImgChecked)
        return;
    FImgChecked = Value;
    AutoSizeNow();
    if (Checked())
        SkinData()->Invalidate();
}

void TsCheckBox::SetImgUnchecked(int Value)
{
    if (Value == FImgUnchecked)
        return;
    FImgUnchecked = Value;
    AutoSizeNow();
    if (!Checked())
        SkinData()->Invalidate();
}

void TsCheckBox::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    // An image list that goes leaves no dangling pointer behind.
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void TsCheckBox::DrawCheckArea()
{
    if (ImagesInUse()) {
        TBitmap image(GlyphWidth(), GlyphHeight(), pf24bit);
        FImages->GetBitmap(Checked() ? FImgChecked : FImgUnchecked, &image);
        PaintGlyph(&image);
        return;
    }
    if (PaintOwnGlyph(Checked()))
        return;
    const int mask = GlyphMaskIndex(State());
    if (IsValidImgIndex(mask))
        DrawSkinGlyph(mask);
}

void TsCheckBox::SkinnedSetCheck(WPARAM Value)
{
    SetState(Value == 0 ? cbUnchecked : Value == 1 ? cbChecked : cbGrayed);
    if (Value <= 1)
        SetChecked(Value == 1);
    SkinData()->Updating = false;
}

bool TsCheckBox::PlainMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        FPressed = true;
        return false;
    case WM_KEYUP:
    case WM_LBUTTONUP:
        FPressed = false;
        return false;
    case WM_LBUTTONDBLCLK:
        return GetReadOnly();
    case BM_SETCHECK:
    case BM_SETSTATE:
        return !ControlState().Contains(csCreating) && FPressed && GetReadOnly();
    case CN_COMMAND:
        // The native button's click would toggle the state that it may not show.
        return GetReadOnly();
    default:
        return false;
    }
}
