#include "sToolBar.h"

#include <algorithm>

#include "ImgList.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sThirdParty.h"
#include "sVclUtils.h"

namespace {

// Width of the arrow part of a drop-down button where the system bar does not tell it.
constexpr int DropArrowWidth = 11;

bool Pressable(TControl* Item)
{
    auto* b = dynamic_cast<TToolButton*>(Item);
    return b && (b->Style() == tbsButton || b->Style() == tbsCheck || b->Style() == tbsDropDown);
}

} // namespace

TsToolBar::TsToolBar(TComponent* AOwner) : TToolBar(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    FCommonData->COC = 54;
}

TsToolBar::~TsToolBar() = default;

void TsToolBar::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
    HookPainting();
}

void TsToolBar::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
    HookPainting();
}

void TsToolBar::HookPainting()
{
    OnAdvancedCustomDraw = TTBAdvancedCustomDrawEvent(this, &TsToolBar::OurAdvancedCustomDraw);
    OnAdvancedCustomDrawButton = TTBAdvancedCustomDrawBtnEvent(this, &TsToolBar::OurAdvancedCustomDrawButton);
}

void TsToolBar::SetBtnDisabledKind(TsDisabledKind Value)
{
    if (FBtnDisabledKind == Value)
        return;
    FBtnDisabledKind = Value;
    Repaint();
}

TPoint TsToolBar::ClientOffset()
{
    if (!HandleAllocated())
        return {0, 0};
    RECT w{};
    GetWindowRect(Handle(), &w);
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return {p.x - w.left, p.y - w.top};
}

int TsToolBar::IndexByMouse(const TPoint& P)
{
    for (int i = 0; i < ItemCount(); ++i) {
        const TRect r = ButtonRect(i);
        if (PtInRect(&r, POINT{P.x, P.y}))
            return Pressable(Items(i)) ? i : -1;
    }
    return -1;
}

void TsToolBar::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    PaintItem(sd, GetParentCache(sd), false, 0, Rect(0, 0, Width(), Height()), TPoint{Left(), Top()},
              sd->FCacheBmp.get(), false);
    sd->BGChanged = false;
}

bool TsToolBar::CacheStale()
{
    const TBitmap* cache = FCommonData->FCacheBmp.get();
    return !cache || cache->Width() != Width() || cache->Height() != Height();
}

void TsToolBar::OurAdvancedCustomDraw(TToolBar*, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)
{
    TsCommonData* sd = FCommonData.get();
    if (!sd->Skinned())
        return;
    if (Stage != cdPrePaint) {
        DefaultDraw = false;
        return;
    }
    sd->Updating = sd->GetUpdating();
    if (sd->Updating)
        return;
    sd->FCacheBmp->Canvas()->Font()->Assign(Font());
    if (sd->BGChanged || CacheStale())
        PrepareCache();
    const TPoint origin = ClientOffset();
    const TRect client = ClientRect();
    UpdateCorners(sd, 0);
    // The system bar may give only the bounds of its buttons: the whole client area is copied,
    // within the clip of the paint.
    TRect area = ARect;
    UnionRect(&area, &area, &client);
    HDC dc = Canvas()->Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    // The buttons paint themselves, as do the opaque windowed controls on the bar.
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        const TRect b = c->BoundsRect();
        RECT common{};
        if (!c->Visible() || !IntersectRect(&common, &b, &area))
            continue;
        const bool graphic = !dynamic_cast<TWinControl*>(c);
        if (graphic && StdTransparency)
            continue;
        if (c->ControlStyle().Contains(csOpaque) || graphic)
            ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
    }
    BitBlt(dc, area.left, area.top, WidthOf(area), HeightOf(area), sd->FCacheBmp->Canvas()->Handle(),
           area.left + origin.x, area.top + origin.y, SRCCOPY);
    RestoreDC(dc, saved);
    ::PaintControls(dc, this, true, TPoint{0, 0});
    SetParentUpdated(this);
    if (origin.x >= 1 || origin.y >= 1 || client.right + origin.x != Width() || client.bottom + origin.y != Height())
        SendMessageA(Handle(), WM_NCPAINT, 0, 0);
}

void TsToolBar::OurAdvancedCustomDrawButton(TToolBar*, TToolButton* Button, TCustomDrawState State,
                                            TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw)
{
    TsCommonData* sd = FCommonData.get();
    if (!sd->Skinned() || sd->Updating || !Button)
        return;
    DefaultDraw = false;
    if (Stage != cdPrePaint)
        return;
    // A separator keeps the bar's background under it.
    if (!Pressable(Button))
        return;
    const int index = Button->Index();
    if (!Flat() && index == HotIndex)
        State << cdsHot;
    Flags << tbNoEdges << tbNoEtchedEffect;
    const TRect r = ButtonRect(index);
    const int w = WidthOf(r), h = HeightOf(r);
    if (w < 1 || h < 1)
        return;
    TBitmap bmp(w, h, pf24bit);
    bmp.Canvas()->Font()->Assign(Font());
    int state = 1;
    if (State.Empty() || State == TCustomDrawState{cdsDisabled})
        state = 0;
    else if (State.Contains(cdsSelected) || State.Contains(cdsChecked))
        state = 2;

    const int section = GetSkinIndex("TOOLBUTTON");
    const TPoint origin = ClientOffset();
    TCacheInfo ci{sd->FCacheBmp.get(), origin.x, origin.y, true};
    const TPoint pos{Button->Left(), Button->Top()};
    if (IsValidSkinIndex(section))
        PaintItemBG(section, "TOOLBUTTON", ci, state, Rect(0, 0, w, Button->Height()), pos, &bmp);
    else
        BitBlt(bmp.Canvas()->Handle(), 0, 0, w, h, ci.Bmp->Canvas()->Handle(), ci.X + pos.x, ci.Y + pos.y, SRCCOPY);
    ci.X += pos.x;
    ci.Y += pos.y;
    const int border = IsValidSkinIndex(section) ? GetMaskIndex(section, "TOOLBUTTON", "BORDERSMASK") : -1;
    if (IsValidImgIndex(border))
        DrawSkinRect(&bmp, Rect(0, 0, w, Button->Height()), true, ci, ma[static_cast<size_t>(border)], state, true);
    if (ShowCaptions())
        PaintCaption(Button, &bmp, index, state);
    if (Images() && Button->ImageIndex() > -1 && Button->ImageIndex() < Images()->Count())
        CopyToolBtnGlyph(this, Button, State, Stage, Flags, &bmp);
    if (Button->Style() == tbsDropDown)
        PaintDropArrow(Button, &bmp, index, State);
    if (!Button->Enabled())
        BmpDisabledKind(&bmp, FBtnDisabledKind, Parent(), ci, TPoint{0, 0});
    BitBlt(Canvas()->Handle(), Button->Left(), Button->Top(), w, h, bmp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

int TsToolBar::DropArrowLeft(TToolButton* Button, int Index)
{
    RECT part{};
    if (SendMessageA(Handle(), TB_GETITEMDROPDOWNRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&part)) &&
        part.right > part.left)
        return std::max(0, static_cast<int>(part.left) - Button->Left());
    return std::max(0, Button->Width() - DropArrowWidth);
}

void TsToolBar::PaintCaption(TToolButton* Button, TBitmap* Bmp, int Index, int State)
{
    TCanvas* measure = FCommonData->FCacheBmp->Canvas();
    measure->Font()->Assign(Font());
    const int w = Button->Width(), h = Button->Height();
    const bool drop = Button->Style() == tbsDropDown;
    TRect t;
    int d = 0;
    if (!List()) {
        const int x = (w - measure->TextWidth(Button->Caption())) / 2;
        const int line = measure->TextHeight("A");
        int yoff, top;
        if (Images()) {
            yoff = (h - Images()->Height() - line - 3) / 2;
            top = Images()->Height() + yoff + 3;
        } else {
            yoff = (h - line) / 2;
            top = yoff;
        }
        t = Rect(x - 1, top, w - x + 2, h - yoff);
        d = drop ? 8 : 0;
    } else {
        // Beside the image, short of the arrow part: a caption never covers either.
        t = Rect(Images() ? Images()->Width() + 6 : 1, 2, (drop ? DropArrowLeft(Button, Index) : w) - 2, h - 2);
    }
    const int p = State == 2 ? 1 : 0;
    OffsetRect(&t, p - d, p);
    if (WidthOf(t) < 1)
        return;
    TCanvas* canvas = Bmp->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    AnsiString text = Button->Caption();
    if (List() && canvas->TextWidth(text) > WidthOf(t))
        text = CutText(canvas, text, WidthOf(t));
    WriteTextEx(canvas, text.c_str(), true, t, DT_CENTER | DT_NOPREFIX, FCommonData.get(), State > 0);
}

void TsToolBar::PaintDropArrow(TToolButton* Button, TBitmap* Bmp, int Index, TCustomDrawState State)
{
    const int glyph = ConstData.GlyphScrollBtnBottom;
    if (!IsValidImgIndex(glyph))
        return;
    int state = 0;
    if ((Button == DroppedButton && Button->DropdownMenu()) || Button->Down())
        state = 2;
    else if (State.Contains(cdsHot))
        state = 1;
    const int left = DropArrowLeft(Button, Index);
    const int section = GetSkinIndex("TOOLBUTTON");
    const int border = IsValidSkinIndex(section) ? GetMaskIndex(section, "TOOLBUTTON", "BORDERSMASK") : -1;
    const TPoint origin = ClientOffset();
    const TCacheInfo ci{FCommonData->FCacheBmp.get(), origin.x + Button->Left(), origin.y + Button->Top(), true};
    if (IsValidImgIndex(border))
        DrawSkinRect(Bmp, Rect(left, 0, Button->Width(), Button->Height()), true, ci,
                     ma[static_cast<size_t>(border)], state, true);
    const TsMaskData& m = ma[static_cast<size_t>(glyph)];
    const int cw = m.ImageCount > 0 ? WidthOf(m.R) / m.ImageCount : 0;
    const int ch = HeightOf(m.R) / (m.MaskType + 1);
    DrawSkinGlyph(Bmp, TPoint{(8 - cw) / 2 + left + 2, (ButtonHeight() - ch) / 2}, state, 1, m);
}

void TsToolBar::RepaintButton(int Index)
{
    if (Index < 0 || Index >= ItemCount() || !HandleAllocated())
        return;
    auto* button = dynamic_cast<TToolButton*>(Items(Index));
    if (!button)
        return;
    HDC dc = GetWindowDC(Handle());
    const int saved = SaveDC(dc);
    try {
        const TPoint origin = ClientOffset();
        SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
        TLentCanvas lent(Canvas(), dc);
        TTBCustomDrawFlags flags{tbNoEdges, tbNoEtchedEffect};
        bool defaultDraw = false;
        OurAdvancedCustomDrawButton(this, button, TCustomDrawState{}, cdPrePaint, flags, defaultDraw);
    } catch (...) {
        RestoreDC(dc, saved);
        ReleaseDC(Handle(), dc);
        throw;
    }
    RestoreDC(dc, saved);
    ReleaseDC(Handle(), dc);
}

void TsToolBar::WMNCPaint(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    sd->Updating = sd->GetUpdating();
    if (ComponentState().Contains(csDestroying) || sd->Updating)
        return;
    // The system passes an update region; a device context comes from the printing path.
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    const DWORD kind = given ? GetObjectType(given) : 0;
    const bool own = kind != OBJ_DC && kind != OBJ_MEMDC;
    HDC dc = own ? GetWindowDC(Handle()) : given;
    const int saved = SaveDC(dc);
    const TPoint o = ClientOffset();
    const TRect c = ClientRect();
    const int cw = WidthOf(c), ch = HeightOf(c), W = Width(), H = Height();
    ExcludeClipRect(dc, o.x, o.y, o.x + cw, o.y + ch);
    HDC src = sd->FCacheBmp->Canvas()->Handle();
    BitBlt(dc, 0, 0, W, o.y, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, o.y, o.x, ch, src, 0, o.y, SRCCOPY);
    BitBlt(dc, 0, o.y + ch, W, H - ch - o.y, src, 0, o.y + ch, SRCCOPY);
    BitBlt(dc, o.x + cw, o.y, W - o.x - cw, ch, src, o.x + cw, o.y, SRCCOPY);
    RestoreDC(dc, saved);
    if (own)
        ReleaseDC(Handle(), dc);
    Message.Result = 0;
}

void TsToolBar::TrackMouse(int NewIndex)
{
    if (NewIndex == HotIndex)
        return;
    const int old = HotIndex;
    HotIndex = NewIndex;
    auto repaint = [this](int Index) {
        auto* b = Index >= 0 && Index < ItemCount() ? dynamic_cast<TToolButton*>(Items(Index)) : nullptr;
        if (b && !b->Down())
            RepaintButton(Index);
    };
    repaint(old);
    repaint(HotIndex);
}

void TsToolBar::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            SkinBroadCast(this, Message);
            Repaint();
            if (HandleAllocated())
                RepaintFrame(Handle());
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
    if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_GETCACHEINFO) {
        GlobalCacheInfo.Ready = false;
        if (sd->FCacheBmp) {
            const TPoint o = ClientOffset();
            GlobalCacheInfo = TCacheInfo{sd->FCacheBmp.get(), o.x, o.y, true};
        }
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return;
    case WM_PRINT:
        Perform(WM_PAINT, Message.WParam, Message.LParam);
        Perform(WM_NCPAINT, Message.WParam, Message.LParam);
        return;
    case CM_TEXTCHANGED:
        Repaint();
        return;
    case CN_NOTIFY:
        if (reinterpret_cast<NMHDR*>(Message.LParam)->code == TBN_DROPDOWN) {
            const int item = reinterpret_cast<NMTOOLBARA*>(Message.LParam)->iItem;
            TBBUTTON record{};
            if (Perform(TB_GETBUTTON, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record))) {
                DroppedButton = dynamic_cast<TToolButton*>(reinterpret_cast<TControl*>(record.dwData));
                RepaintButton(item);
            }
        }
        break;
    default:
        break;
    }
    CommonWndProc(Message, sd);
    inherited::WndProc(Message);
    switch (Message.Msg) {
    case CN_DROPDOWNCLOSED:
        if (DroppedButton) {
            const int index = DroppedButton->Index();
            HotIndex = -1;
            DroppedButton = nullptr;
            RepaintButton(index);
        }
        break;
    case WM_WINDOWPOSCHANGED:
        // The bounds are in step only now (not yet at WM_SIZE): a cache made at the old size
        // would leave the new part of the bar unpainted.
        if (auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam); wp && !(wp->flags & SWP_NOSIZE)) {
            sd->BGChanged = true;
            Repaint();
        }
        break;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        Repaint();
        break;
    case WM_MOUSEMOVE:
        if (!Flat())
            TrackMouse(IndexByMouse(TPoint{static_cast<short>(LOWORD(Message.LParam)),
                                           static_cast<short>(HIWORD(Message.LParam))}));
        break;
    case CM_MOUSELEAVE:
        // The bar's own leave, not one of a button on it.
        if (!Flat() && (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)))
            TrackMouse(-1);
        break;
    default:
        break;
    }
}
