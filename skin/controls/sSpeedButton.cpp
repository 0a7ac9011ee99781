#include "sSpeedButton.h"

#include "ActnList.h"
#include "Forms.h"
#include "Menus.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// A drop-down menu of some speed button is open: no second one opens meanwhile.
bool MenuShowing = false;

const TsGeneralData* SectionOf(const TsCommonData* SkinData)
{
    return IsValidSkinIndex(SkinData->SkinIndex) ? &gd[static_cast<std::size_t>(SkinData->SkinIndex)] : nullptr;
}

bool Fades(const TsCommonData* SkinData)
{
    const TsGeneralData* section = SectionOf(SkinData);
    return section && section->FadingEnabled && !FadingForbidden;
}

} // namespace

TsSpeedButton::TsSpeedButton(TComponent* AOwner)
    : TSpeedButton(AOwner), TsButtonGlyphs(this), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->COC = 92;
    Glyph()->OnChange = [this](TObject*) {
        if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) &&
            !ControlState().Contains(csCreating))
            FCommonData->Invalidate();
    };
}

TsSpeedButton::~TsSpeedButton() = default;

void TsSpeedButton::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
    if (Skinned())
        SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

void TsSpeedButton::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
    if (Skinned())
        SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    ListRemoved(AComponent);
    if (AComponent && AComponent == FDropdownMenu)
        FDropdownMenu = nullptr;
}

// --- Settings ----------------------------------------------------------------------------------

void TsSpeedButton::GlyphsChanged()
{
    FCommonData->BGChanged = true;
    GraphRepaint();
}

void TsSpeedButton::CopyListGlyph()
{
    int count = NumGlyphs();
    CopyGlyph(this, FCommonData.get(), ImageIndex(), Images(), Glyph(), DisabledGlyphKind(), count);
    SetNumGlyphs(count);
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    GlyphsChanged();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle Value)
{
    if (Value == FButtonStyle)
        return;
    if (!ComponentState().Contains(csLoading)) {
        if (Value == tbsDropDown)
            SetWidth(Width() + 16);
        else if (FButtonStyle == tbsDropDown)
            SetWidth(Width() - 16);
    }
    FButtonStyle = Value;
    GlyphsChanged();
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* Value)
{
    FDropdownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (ActionImageShown(action))
        Glyph()->Assign(std::make_unique<TBitmap>().get());
    inherited::ActionChange(Sender, CheckDefaults);
    if (action)
        DoActionChanging(this, action);
    FCommonData->Invalidate();
}

// --- Layout ------------------------------------------------------------------------------------

int TsSpeedButton::GlyphWidth()
{
    return ButtonGlyphSize(this).cx;
}

int TsSpeedButton::GlyphHeight()
{
    return ButtonGlyphSize(this).cy;
}

TSize TsSpeedButton::TextRectSize()
{
    if (!ShowCaption() || Caption().empty())
        return TSize{0, 0};
    const int glyph = GlyphWidth();
    return WrappedTextSize(FCommonData->FCacheBmp->Canvas(), Font(), Caption(),
                           Width() - ArrowWidth() - 2 * Margin() - (glyph > 0 ? glyph + Spacing() : 0));
}

TRect TsSpeedButton::CaptionRect()
{
    return LayoutCaptionRect(ButtonLayout(this, Width() - ArrowWidth(), Pressed()));
}

TRect TsSpeedButton::ImgRect()
{
    return LayoutImgRect(ButtonLayout(this, Width() - ArrowWidth(), Pressed()));
}

int TsSpeedButton::CurrentState()
{
    if (Pressed())
        return 2;
    return ControlIsActive(FCommonData.get()) ? 1 : 0;
}

// --- Painting ----------------------------------------------------------------------------------

void TsSpeedButton::DrawCaption()
{
    if (!ShowCaption())
        return;
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    // Word-wrapped from the left of the rectangle the layout placed.
    WriteTextEx(canvas, Caption().c_str(), true, r, DT_WORDBREAK, FCommonData.get(), CurrentState() != 0);
}

void TsSpeedButton::DrawGlyph()
{
    DrawSpeedButtonGlyph(this);
}

void TsSpeedButton::GraphRepaint()
{
    const TComponentState state = ComponentState();
    TWinControl* parent = Parent();
    if (ControlState().Contains(csCreating) || state.Contains(csDestroying) || state.Contains(csLoading) || !parent ||
        !Visible() || !parent->HandleAllocated())
        return;
    SendMessageA(parent->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_SETREPAINTCHILD), reinterpret_cast<LPARAM>(this));
    Repaint();
    SendMessageA(parent->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_SETREPAINTCHILD), 0);
}

void TsSpeedButton::Paint()
{
    TsCommonData* sd = FCommonData.get();
    const bool line = FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider;
    if ((!Skinned() && !line) || !Visible()) {
        inherited::Paint();
        return;
    }
    if (Width() < 1 || Height() < 1)
        return;
    // A fade shows its frames as they are.
    if (TsAnimTimer* timer = FAnim.Timer(); timer && timer->Enabled() && timer->WorkBmp()->Width() == Width()) {
        BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), timer->WorkBmp()->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    sd->BGChanged = Down() != FLastDown || sd->BGChanged || sd->HalfVisible;
    FLastDown = Down();
    sd->HalfVisible = !RectInRect(Parent()->ClientRect(), BoundsRect()) && sd->RepaintIfMoved();
    if (!sd->BGChanged && (NumGlyphs() != FLastNumGlyphs || Spacing() != FLastSpacing))
        sd->BGChanged = true;
    FLastNumGlyphs = NumGlyphs();
    FLastSpacing = Spacing();
    TBitmap* cache = sd->FCacheBmp.get();
    const bool sized = cache->Width() == Width() && cache->Height() == Height();
    // Urgent painting keeps the image it has, unless there is none of this size yet.
    if (sd->BGChanged && (!sd->UrgentPainting || !sized))
        PrepareCache();
    if (Skinned())
        UpdateCorners(sd, 0);
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSpeedButton::PaintParentBackground(const TCacheInfo& CI)
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    if (CI.Ready) {
        BitBlt(cache->Canvas()->Handle(), 0, 0, Width(), Height(), CI.Bmp->Canvas()->Handle(), CI.X + Left(),
               CI.Y + Top(), SRCCOPY);
    } else {
        cache->Canvas()->Brush()->SetStyle(bsSolid);
        cache->Canvas()->Brush()->SetColor(Parent() ? Parent()->Color() : clBtnFace);
        cache->Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
}

void TsSpeedButton::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    cache->Canvas()->Font()->Assign(Font());
    TCacheInfo ci = GetParentCache(sd);
    TWinControl* parent = Parent();
    const bool line = FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider;
    if (line) {
        PaintParentBackground(ci);
        const int divider = FButtonStyle == tbsDivider ? GetSkinIndex("DIVIDER") : -1;
        if (const int mask = IsValidSkinIndex(divider) ? GetMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
            IsValidImgIndex(mask)) {
            const TPoint size = MaskSize(mask);
            DrawSkinRect(cache, Rect((Width() - size.x) / 2, 1, (Width() + size.x) / 2, Height() - 2), true, ci,
                         ma[static_cast<std::size_t>(mask)], 0, false);
        }
    } else {
        const int w = Width() - ArrowWidth(), state = CurrentState();
        const TRect main = Rect(0, 0, w, Height());
        const TPoint offset{Left(), Top()};
        if (!ci.Ready && parent)
            ParentCenterColor = ColorToRGB(parent->Color());
        if (DrawOverBorder()) {
            PaintItem(sd, ci, true, state, main, offset, cache, false);
            DrawCaption();
            DrawGlyph();
        } else {
            PaintItemBG(sd, ci, state, main, offset, cache);
            DrawCaption();
            DrawGlyph();
            // The border over caption and glyph; its centre leaves them.
            if (IsValidImgIndex(sd->BorderIndex))
                DrawSkinRect(cache, main, false, TCacheInfo{ci.Bmp, ci.X + Left(), ci.Y + Top(), ci.Ready},
                             ma[static_cast<std::size_t>(sd->BorderIndex)], state, true);
        }
        if (FButtonStyle == tbsDropDown)
            PaintArrowPart();
    }
    CtrlParentColor = clSkinKey;
    ci = GetParentCache(sd);
    if (!Enabled()) {
        if (ci.Ready && !sd->RepaintIfMoved() && !sd->UrgentPainting)
            ParentCenterColor = ci.Bmp->Canvas()->Pixels(ci.X + Left() + Width() / 2, ci.Y + Top() + Height() / 2);
        BmpDisabledKind(cache, FDisabledKind, parent, ci, TPoint{Left(), Top()});
    }
    ParentCenterColor = clSkinKey;
    if (!line && OnPaint)
        OnPaint(this, cache);
    sd->BGChanged = false;
}

void TsSpeedButton::PaintArrowPart()
{
    TsCommonData* sd = FCommonData.get();
    TBitmap* cache = sd->FCacheBmp.get();
    const int w = Width() - ArrowWidth();
    const int state = FMenuOpen || Down() || Pressed() ? 2 : ControlIsActive(sd) ? 1 : 0;
    const TCacheInfo ci = GetParentCache(sd);
    const TRect part = Rect(w, 0, Width(), Height());
    // The arrow part's own place in the parent, for the parent's image under it.
    const TPoint offset{Left() + w, Top()};
    if (DrawOverBorder()) {
        PaintItem(sd, ci, true, state, part, offset, cache, false);
    } else {
        PaintItemBG(sd, ci, state, part, offset, cache);
        if (IsValidImgIndex(sd->BorderIndex))
            DrawSkinRect(cache, part, true, TCacheInfo{ci.Bmp, ci.X + offset.x, ci.Y + offset.y, ci.Ready},
                         ma[static_cast<std::size_t>(sd->BorderIndex)], state, true);
    }
    const int arrow = ConstData.GlyphScrollBtnBottom;
    if (IsValidImgIndex(arrow)) {
        const TPoint size = MaskSize(arrow);
        CtrlParentColor = clSkinKey;
        DrawSkinGlyph(cache, Point((ArrowWidth() - size.x) / 2 + w + 1, (Height() - size.y) / 2), state, 1,
                      ma[static_cast<std::size_t>(arrow)]);
    }
}

// --- Fading ------------------------------------------------------------------------------------

void TsSpeedButton::StartFade()
{
    int step = 1;
    if (TsAnimTimer* old = FAnim.Timer()) {
        // A reversal goes back only as far as the old fade had come.
        step = old->Iterations - old->Step;
        FAnim.Release();
    }
    TsAnimTimer* timer = FAnim.Make(this);
    timer->SetEnabled(false);
    timer->SetOwnerData(FCommonData.get());
    timer->Step = step;
    timer->OldBmp()->Assign(FCommonData->FCacheBmp.get());
    PrepareCache();
    UpdateCorners(FCommonData.get(), 1);
    timer->SetEnabled(true);
    timer->DoFade();
}

void TsSpeedButton::StopFading()
{
    if (ComponentState().Contains(csDestroying))
        return;
    TsAnimTimer* timer = FAnim.Timer();
    if (!timer)
        return;
    const int step = timer->Step;
    // Given up, not freed: the stop may come from the timer's own tick.
    FAnim.Release();
    if (step != 0) {
        FCommonData->BGChanged = true;
        GraphRepaint();
    }
}

// --- Mouse -------------------------------------------------------------------------------------

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && X > Width() - 16 && FDropdownMenu) {
        DropDown();
        return;
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TsSpeedButton::DropDown()
{
    // Refused while a menu of any speed button is open, before anything is touched.
    if (MenuShowing)
        return;
    TempControl = this;
    FHints.Hold();
    StopFading();
    MenuShowing = true;
    FMenuOpen = true;
    FCommonData->BGChanged = true;
    GraphRepaint();
    const TPoint p = ClientToScreen(Point(0, Height()));
    FDropdownMenu->PopupComponent = this;
    try {
        FDropdownMenu->Popup(p.x, p.y + 1);
    } catch (...) {
        FMenuOpen = MenuShowing = false;
        TempControl = nullptr;
        FHints.Release();
        throw;
    }
    FMenuOpen = false;
    MenuShowing = false;
    TempControl = nullptr;
    // The menu took the release of the press that opened it.
    FHints.Release();
    POINT cursor{};
    GetCursorPos(&cursor);
    const TPoint at = ScreenToClient(TPoint{cursor.x, cursor.y});
    const TRect client = ClientRect();
    if (!PtInRect(&client, POINT{at.x, at.y}))
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
        FMenuOpen = false;
        TempControl = nullptr;
        FHints.Release();
    }
    inherited::MouseUp(Button, Shift, X, Y);
}

// --- Messages ----------------------------------------------------------------------------------

void TsSpeedButton::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            // The skinned button draws from the list itself.
            if (GetImageCount(Images()) > 0)
                Glyph()->Assign(std::make_unique<TBitmap>().get());
            CommonWndProc(Message, sd);
            if (Skinned())
                SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
            return;
        case AC_REMOVESKIN:
            if (ComponentState().Contains(csDestroying))
                break;
            // A fade would go on drawing skinned frames over the plain button.
            StopFading();
            CommonWndProc(Message, sd);
            if (GetImageCount(Images()) > 0)
                CopyListGlyph();
            SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
            Repaint();
            inherited::WndProc(Message);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            if (Visible())
                Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        case AC_STOPFADING:
            StopFading();
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_URGENTPAINTING:
            CommonWndProc(Message, sd);
            if (sd->UrgentPainting)
                PrepareCache();
            return;
        case AC_UPDATESKINSECTION:
            GraphRepaint();
            return;
        default:
            break;
        }
    } else if (SkinnedMessage(Message)) {
        return;
    }
    CommonWndProc(Message, sd);
    inherited::WndProc(Message);
    if (Message.Msg == CM_ENABLEDCHANGED && Visible()) {
        sd->BGChanged = true;
        GraphRepaint();
    }
}

bool TsSpeedButton::SkinnedMessage(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        return true;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (!sd->Updating)
            sd->BGChanged = true;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        StopFading();
        sd->BGChanged = true;
        return false;
    case CM_TEXTCHANGED:
        if (!ShowCaption())
            return false;
        sd->Invalidate();
        return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        // Nobody hears of the mouse meanwhile, so that it does not count as above the button.
        if (MouseForbidden)
            return true;
        return Message.Msg == CM_MOUSEENTER ? MouseEnter() : MouseLeave();
    default:
        return false;
    }
}

bool TsSpeedButton::MouseEnter()
{
    TsCommonData* sd = FCommonData.get();
    if (!Enabled() || MouseInControl())
        return false;
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (sd->MouseAbove) {
        GraphRepaint();
        return false;
    }
    sd->MouseAbove = true;
    sd->BGChanged = true;
    if (Fades(sd))
        StartFade();
    else
        GraphRepaint();
    return false;
}

bool TsSpeedButton::MouseLeave()
{
    TsCommonData* sd = FCommonData.get();
    if (!Enabled())
        return false;
    if (OnMouseLeave)
        OnMouseLeave(this);
    sd->MouseAbove = false;
    if (FState == bsDown)
        FState = bsUp;
    sd->BGChanged = true;
    if (Fades(sd)) {
        sd->Updating = true;
        StartFade();
    } else {
        GraphRepaint();
    }
    return false;
}

// --- TsTimerSpeedButton ------------------------------------------------------------------------

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* AOwner) : TsSpeedButton(AOwner)
{
    SetWidth(Height() - 4);
}
