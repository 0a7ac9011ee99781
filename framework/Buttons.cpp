#include "Buttons.h"

#include <algorithm>

#include "Forms.h"

// --- Layout and glyph drawing -------------------------------------------------------------------

TButtonLayoutResult CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout,
                                     int Margin, int Spacing)
{
    TButtonLayoutResult r;
    int clientW = Client.right - Client.left, clientH = Client.bottom - Client.top;
    bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    bool noGlyph = GlyphSize.cx == 0 || GlyphSize.cy == 0;
    bool noText = TextSize.cx == 0;
    if (noGlyph || noText)
        Spacing = 0;
    // Across the layout direction both are centred.
    TPoint glyph{(clientW - GlyphSize.cx + 1) / 2, (clientH - GlyphSize.cy + 1) / 2};
    TPoint text{(clientW - TextSize.cx + 1) / 2, (clientH - TextSize.cy + 1) / 2};
    int total = horizontal ? clientW : clientH;
    int glyphLen = horizontal ? GlyphSize.cx : GlyphSize.cy;
    int textLen = horizontal ? TextSize.cx : TextSize.cy;
    if (Margin == -1) {
        if (Spacing == -1) {
            int used = glyphLen + textLen;
            Margin = (total - used) / 3;
            Spacing = Margin;
        } else {
            int used = glyphLen + Spacing + textLen;
            Margin = (total - used + 1) / 2;
        }
    } else if (Spacing == -1) {
        int rest = total - (Margin + glyphLen);
        Spacing = (rest - textLen) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        glyph.x = Margin;
        text.x = glyph.x + GlyphSize.cx + Spacing;
        break;
    case blGlyphRight:
        glyph.x = clientW - Margin - GlyphSize.cx;
        text.x = glyph.x - Spacing - TextSize.cx;
        break;
    case blGlyphTop:
        glyph.y = Margin;
        text.y = glyph.y + GlyphSize.cy + Spacing;
        break;
    case blGlyphBottom:
        glyph.y = clientH - Margin - GlyphSize.cy;
        text.y = glyph.y - Spacing - TextSize.cy;
        break;
    }
    if (noGlyph) {
        // The caption alone is centred along the layout too.
        if (horizontal)
            text.x = (clientW - TextSize.cx + 1) / 2;
        else
            text.y = (clientH - TextSize.cy + 1) / 2;
    }
    r.GlyphPos = TPoint{glyph.x + Client.left, glyph.y + Client.top};
    r.TextBounds = Bounds(text.x + Client.left, text.y + Client.top, TextSize.cx, TextSize.cy);
    return r;
}

void DrawButtonGlyph(HDC DC, int X, int Y, TBitmap* Glyph, int NumGlyphs, int Index)
{
    if (!Glyph || Glyph->Empty())
        return;
    NumGlyphs = std::clamp(NumGlyphs, 1, 4);
    int w = Glyph->Width() / NumGlyphs, h = Glyph->Height();
    if (w <= 0)
        return;
    if (Index >= NumGlyphs)
        Index = 0;
    HDC src = Glyph->Canvas()->Handle();
    COLORREF transparent = GetPixel(src, 0, h - 1);
    TransparentBlt(DC, X, Y, w, h, src, Index * w, 0, w, h, transparent);
}

namespace {

// The look of a glyph for a state: its part when the glyph has one, else the first.
int GlyphIndex(TButtonState State, int NumGlyphs)
{
    int i = static_cast<int>(State);
    return i < NumGlyphs ? i : 0;
}

TSize GlyphSizeOf(TBitmap* Glyph, int NumGlyphs)
{
    if (!Glyph || Glyph->Empty())
        return TSize{0, 0};
    return TSize{Glyph->Width() / std::clamp(NumGlyphs, 1, 4), Glyph->Height()};
}

TSize CaptionSize(HDC DC, const AnsiString& Caption)
{
    if (Caption.empty())
        return TSize{0, 0};
    TRect r{0, 0, 0, 0};
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void DrawCaption(HDC DC, const AnsiString& Caption, TRect Bounds, bool Enabled, TColor Color)
{
    if (Caption.empty())
        return;
    SetBkMode(DC, TRANSPARENT);
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!Enabled) {
        OffsetRect(&Bounds, 1, 1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &Bounds, flags);
        OffsetRect(&Bounds, -1, -1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    } else {
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Color)));
    }
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &Bounds, flags);
}

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};
const TKindInfo kKinds[] = {
    {"", mrNone},       {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},    {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
};

// Number of looks a newly assigned glyph strip holds: a strip as wide as one to four squares holds
// that many; any other picture keeps the Current count.
int NumGlyphsOf(TBitmap* Glyph, int Current)
{
    if (Glyph && !Glyph->Empty() && Glyph->Height() > 0) {
        int n = Glyph->Width() / Glyph->Height();
        if (n >= 1 && n <= 4 && Glyph->Width() % Glyph->Height() == 0)
            return n;
    }
    return Current;
}

} // namespace

// --- TBitBtn ------------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(BS_DEFPUSHBUTTON | BS_PUSHBUTTON)) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault)
{
    // An owner-drawn button keeps its style; the default frame is drawn by DrawItem.
    if (ADefault != FIsFocused) {
        FIsFocused = ADefault;
        Invalidate();
    }
}

void TBitBtn::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case WM_LBUTTONDBLCLK:
        // A double click is two clicks of a push button.
        Message.Msg = WM_LBUTTONDOWN;
        DefaultHandler(Message);
        return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        inherited::Dispatch(Message);
        Invalidate();
        return;
    default: inherited::Dispatch(Message);
    }
}

void TBitBtn::CNDrawItem(TMessage& Message)
{
    DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct)
{
    HDC dc = DrawItemStruct.hDC;
    TRect r = DrawItemStruct.rcItem;
    bool pressed = (DrawItemStruct.itemState & ODS_SELECTED) != 0;
    bool isDefault = (DrawItemStruct.itemState & ODS_FOCUS) != 0 || FIsFocused;
    if (isDefault) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    UINT state = DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    TRect inner = r;
    InflateRect(&inner, -2, -2);
    if (pressed)
        OffsetRect(&inner, 1, 1);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    AnsiString caption = Text();
    TButtonLayoutResult layout = CalcButtonLayout(inner, GlyphSizeOf(FGlyph.get(), FNumGlyphs),
                                                  CaptionSize(dc, caption), FLayout, FMargin, FSpacing);
    TButtonState look = !Enabled() ? bsDisabled : pressed ? bsDown : bsUp;
    DrawButtonGlyph(dc, layout.GlyphPos.x, layout.GlyphPos.y, FGlyph.get(), FNumGlyphs,
                    GlyphIndex(look, FNumGlyphs));
    DrawCaption(dc, caption, layout.TextBounds, Enabled(), Font()->Color());
    SelectObject(dc, oldFont);
    if (DrawItemStruct.itemState & ODS_FOCUS) {
        TRect f = r;
        InflateRect(&f, -3, -3);
        DrawFocusRect(dc, &f);
    }
}

void TBitBtn::Click()
{
    if (FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            TControl::Click();
            return;
        }
    }
    inherited::Click();
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    FNumGlyphs = NumGlyphsOf(Value, FNumGlyphs);
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value)
{
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::SetSpacing(int Value)
{
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    FKind = Value;
    if (Value == bkCustom)
        return;
    const TKindInfo& info = kKinds[static_cast<int>(Value)];
    SetCaption(info.Caption);
    SetModalResult(info.Result);
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
}

// --- TSpeedButton -------------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FWidth = 23;
    FHeight = 22;
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: CMButtonPressed(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_MOUSEENTER:
        inherited::Dispatch(Message);
        if (!FMouseInControl && Enabled()) {
            FMouseInControl = true;
            if (FFlat)
                Invalidate();
        }
        return;
    case CM_MOUSELEAVE:
        inherited::Dispatch(Message);
        if (FMouseInControl) {
            FMouseInControl = false;
            if (FFlat)
                Invalidate();
        }
        return;
    case CM_ENABLEDCHANGED:
        FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
        if (!Enabled())
            FMouseInControl = false;
        Invalidate();
        return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        return;
    default: inherited::Dispatch(Message);
    }
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TRect r = ClientRect();
    if (!FFlat || !FTransparent) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(FState == bsExclusive && !FFlat ? clBtnHighlight : clBtnFace);
        c->FillRect(r);
    }
    bool pushed = FState == bsDown || FState == bsExclusive;
    if (FFlat) {
        if (pushed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (FMouseInControl && Enabled())
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        UINT state = DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE);
        DrawFrameControl(dc, &r, DFC_BUTTON, state);
    }
    TRect inner = r;
    InflateRect(&inner, -2, -2);
    if (pushed)
        OffsetRect(&inner, 1, 1);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    AnsiString caption = Text();
    TButtonLayoutResult layout = CalcButtonLayout(inner, GlyphSizeOf(FGlyph.get(), FNumGlyphs),
                                                  CaptionSize(dc, caption), FLayout, FMargin, FSpacing);
    DrawButtonGlyph(dc, layout.GlyphPos.x, layout.GlyphPos.y, FGlyph.get(), FNumGlyphs,
                    GlyphIndex(FState, FNumGlyphs));
    DrawCaption(dc, caption, layout.TextBounds, Enabled(), Font()->Color());
    SelectObject(dc, oldFont);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        if (!FDown) {
            FState = bsDown;
            Invalidate();
        }
        FDragging = true;
    }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    inherited::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    // The pressed look follows the mouse while the button is held.
    TButtonState look = FDown ? bsExclusive : bsUp;
    if (X >= 0 && X < Width() && Y >= 0 && Y < Height())
        look = FDown ? bsExclusive : bsDown;
    if (look != FState) {
        FState = look;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
    if (FGroupIndex == 0) {
        FState = bsUp;
        FMouseInControl = FMouseInControl && inside;
        Invalidate();
        if (inside)
            Click();
        return;
    }
    if (inside) {
        // In a group a press holds the button down; a second press releases it only when the
        // group allows all buttons up.
        SetDown(!FDown);
    }
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
    if (inside)
        Click();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The last pressed button of a group without AllowAllUp stays down.
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
    } else {
        FState = bsUp;
        Invalidate();
    }
    if (Value)
        UpdateExclusive();
    Invalidate();
}

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !FParent)
        return;
    TMessage m = MakeMessage(CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this));
    for (int i = 0; i < FParent->ControlCount(); ++i)
        if (TControl* c = FParent->Controls(i); c != this)
            c->Perform(m);
}

void TSpeedButton::CMButtonPressed(TMessage& Message)
{
    if (Message.WParam != static_cast<WPARAM>(FGroupIndex) || FGroupIndex == 0)
        return;
    auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
    if (sender == this)
        return;
    if (sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

void TSpeedButton::CMDialogChar(TMessage& Message)
{
    auto& key = MessageAs<TWMKey>(Message);
    if (IsAccel(key.CharCode, Text()) && Enabled() && Visible() && FParent && FParent->Showing()) {
        Click();
        Message.Result = 1;
    }
}

void TSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    // The whole group shares the setting.
    if (FGroupIndex != 0 && FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i)); b && b->FGroupIndex == FGroupIndex)
                b->FAllowAllUp = Value;
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    UpdateOpaque();
}

void TSpeedButton::SetTransparent(bool Value)
{
    FTransparent = Value;
    UpdateOpaque();
}

void TSpeedButton::UpdateOpaque()
{
    // A flat transparent button lets the parent show through; any other covers its rectangle.
    if (FFlat && FTransparent)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    FNumGlyphs = NumGlyphsOf(Value, FNumGlyphs);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value)
{
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value)
{
    FSpacing = Value;
    Invalidate();
}
