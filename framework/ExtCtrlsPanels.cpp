#include "ExtCtrlsPanels.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Pen()->SetWidth(1);
    --Rect.bottom;
    --Rect.right;
    while (Width-- > 0) {
        Canvas->Pen()->SetColor(TopColor);
        POINT top[3] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
        Canvas->Polyline(top, 3);
        Canvas->Pen()->SetColor(BottomColor);
        POINT bottom[3] = {{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
        Canvas->Polyline(bottom, 3);
        InflateRect(&Rect, -1, -1);
    }
    ++Rect.bottom;
    ++Rect.right;
}

// --- TCustomPanel -----------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::BevelColors(TBevelCut Bevel, TColor& TopColor, TColor& BottomColor)
{
    TopColor = clBtnHighlight;
    if (Bevel == bvLowered)
        TopColor = clBtnShadow;
    BottomColor = clBtnShadow;
    if (Bevel == bvLowered)
        BottomColor = clBtnHighlight;
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    inherited::AdjustClientRect(Rect);
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    InflateRect(&Rect, -inset, -inset);
}

void TCustomPanel::Paint()
{
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    TColor topColor, bottomColor;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, topColor, bottomColor);
        Frame3D(canvas, r, topColor, bottomColor, FBevelWidth);
    }
    Frame3D(canvas, r, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, topColor, bottomColor);
        Frame3D(canvas, r, topColor, bottomColor, FBevelWidth);
    }
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    AnsiString caption = Caption();
    if (caption.empty())
        return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(Font());
    UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    switch (FAlignment) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    HDC dc = canvas->Handle();
    // DrawText uses the DC's font and colour: the panel's own, not whatever the DC holds.
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
    SelectObject(dc, oldFont);
}

void TCustomPanel::BevelChanged()
{
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    BevelChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    BevelChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value)
{
    Value = std::max(1, Value);
    if (FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    BevelChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    if (Value != bsSingle)
        Value = bsNone;
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
    Realign();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) {
        inherited::Dispatch(Message);
        Invalidate();
        return;
    }
    if (Message.Msg == WM_SIZE) {
        inherited::Dispatch(Message);
        Invalidate(); // the bevels sit on the edges
        return;
    }
    inherited::Dispatch(Message);
}

// --- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    if (FShape == Value)
        return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* canvas = Canvas();
    TColor color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    canvas->Pen()->SetWidth(1);
    auto bevelRect = [&](const TRect& r) {
        canvas->Pen()->SetColor(color1);
        POINT a[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
        canvas->Polyline(a, 3);
        canvas->Pen()->SetColor(color2);
        POINT b[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        canvas->Polyline(b, 3);
    };
    auto bevelLine = [&](TColor c, int x1, int y1, int x2, int y2) {
        canvas->Pen()->SetColor(c);
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    };
    switch (FShape) {
    case bsBox: bevelRect(Rect(0, 0, w - 1, h - 1)); break;
    case bsFrame: {
        TColor saved = color1;
        color1 = color2;
        bevelRect(Rect(1, 1, w - 1, h - 1));
        color2 = saved;
        color1 = saved;
        bevelRect(Rect(0, 0, w - 2, h - 2));
        break;
    }
    case bsTopLine:
        bevelLine(color1, 0, 0, w, 0);
        bevelLine(color2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        bevelLine(color1, 0, h - 2, w, h - 2);
        bevelLine(color2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        bevelLine(color1, 0, 0, 0, h);
        bevelLine(color2, 1, 0, 1, h);
        break;
    case bsRightLine:
        bevelLine(color1, w - 2, 0, w - 2, h);
        bevelLine(color2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer: break;
    }
}

// --- TImage -----------------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetColor(Color());
    if (OnPaint)
        OnPaint(this);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

TRect TImage::DestRect()
{
    int w = FPicture->Width();
    int h = FPicture->Height();
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            const double aspect = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Rect(x, y, x + w, y + h);
}

void TImage::Paint()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty())
        return;
    Canvas()->StretchDraw(DestRect(), g);
}

void TImage::PictureChanged(TObject*)
{
    TGraphic* g = FPicture->Graphic();
    if (g && g->Transparent() != FTransparent)
        g->SetTransparent(FTransparent);
    if (FAutoSize)
        AdjustSize();
    Invalidate();
}

void TImage::SetStretch(bool Value)
{
    if (FStretch == Value)
        return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    if (FCenter == Value)
        return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value)
{
    if (FProportional == Value)
        return;
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    PictureChanged(this);
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight)
{
    // The picture's size, along the sides that alignment leaves free.
    if (FPicture->Width() <= 0 || FPicture->Height() <= 0)
        return false;
    if (Align() == alNone || Align() == alLeft || Align() == alRight)
        NewWidth = FPicture->Width();
    if (Align() == alNone || Align() == alTop || Align() == alBottom)
        NewHeight = FPicture->Height();
    return true;
}

// --- TSplitter --------------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TSplitter::~TSplitter()
{
    if (FLineVisible)
        DrawLine();
}

void TSplitter::UpdateCursor()
{
    TAlign a = Align();
    SetCursor(a == alTop || a == alBottom ? crVSplit : crHSplit);
}

void TSplitter::SetBeveled(bool Value)
{
    if (FBeveled == Value)
        return;
    FBeveled = Value;
    Invalidate();
}

void TSplitter::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_MOUSEENTER)
        UpdateCursor();
    inherited::Dispatch(Message);
}

void TSplitter::Paint()
{
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    if (FBeveled) {
        if (Align() == alLeft || Align() == alRight)
            InflateRect(&r, -1, 2);
        else
            InflateRect(&r, 2, -1);
        OffsetRect(&r, 1, 1);
        canvas->Brush()->SetColor(clBtnHighlight);
        canvas->FrameRect(r);
        OffsetRect(&r, -2, -2);
        canvas->Brush()->SetColor(clBtnShadow);
        canvas->FrameRect(r);
    }
    if (OnPaint)
        OnPaint(this);
}

TControl* TSplitter::FindNeighbour()
{
    TWinControl* parent = Parent();
    if (!parent)
        return nullptr;
    TPoint p{Left(), Top()};
    switch (Align()) {
    case alLeft: --p.x; break;
    case alRight: p.x += Width(); break;
    case alTop: --p.y; break;
    case alBottom: p.y += Height(); break;
    default: return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled())
            continue;
        TRect r = c->BoundsRect();
        if (r.right - r.left == 0) {
            if (Align() == alTop || Align() == alLeft)
                --r.left;
            else
                ++r.right;
        }
        if (r.bottom - r.top == 0) {
            if (Align() == alTop || Align() == alLeft)
                --r.top;
            else
                ++r.bottom;
        }
        if (PtInRect(&r, p))
            return c;
    }
    return nullptr;
}

bool TSplitter::CanResize(int& NewSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& NewSize)
{
    bool result = CanResize(NewSize);
    if (result && NewSize <= FMinSize && FAutoSnap)
        NewSize = 0;
    return result;
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split)
{
    const bool horizontal = Align() == alLeft || Align() == alRight;
    Split = horizontal ? X - FDownPos.x : Y - FDownPos.y;
    int s = 0;
    switch (Align()) {
    case alLeft: s = FControl->Width() + Split; break;
    case alRight: s = FControl->Width() - Split; break;
    case alTop: s = FControl->Height() + Split; break;
    case alBottom: s = FControl->Height() - Split; break;
    default: break;
    }
    NewSize = s;
    if (s < FMinSize)
        NewSize = FMinSize;
    else if (s > FMaxSize)
        NewSize = FMaxSize;
    if (s != NewSize) {
        if (Align() == alRight || Align() == alBottom)
            s = s - NewSize;
        else
            s = NewSize - s;
        Split += s;
    }
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = FindNeighbour();
    FDownPos = TPoint{X, Y};
    if (!FControl)
        return;
    TWinControl* parent = Parent();
    const bool horizontal = Align() == alLeft || Align() == alRight;
    FMaxSize = (horizontal ? parent->ClientWidth() : parent->ClientHeight()) - FMinSize;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->Visible())
            continue;
        if (horizontal && (c->Align() == alLeft || c->Align() == alRight))
            FMaxSize -= c->Width();
        else if (!horizontal && (c->Align() == alTop || c->Align() == alBottom))
            FMaxSize -= c->Height();
    }
    FMaxSize += horizontal ? FControl->Width() : FControl->Height();
    CalcSplitSize(X, Y, FNewSize, FSplit);
    FSizing = true;
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern)
        DrawLine();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    inherited::MouseMove(Shift, X, Y);
    if (!FSizing || !FControl || !Shift.Contains(ssLeft))
        return;
    int newSize = 0, split = 0;
    CalcSplitSize(X, Y, newSize, split);
    if (!DoCanResize(newSize))
        return;
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern)
        DrawLine(); // takes the old line away
    FNewSize = newSize;
    FSplit = split;
    if (FResizeStyle == rsUpdate)
        UpdateControlSize();
    else if (FResizeStyle == rsLine || FResizeStyle == rsPattern)
        DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    inherited::MouseUp(Button, Shift, X, Y);
    if (!FSizing)
        return;
    if (FLineVisible)
        DrawLine();
    if (FControl)
        UpdateControlSize();
    StopSizing();
}

void TSplitter::StopSizing()
{
    if (FLineVisible)
        DrawLine();
    FSizing = false;
    FControl = nullptr;
}

void TSplitter::UpdateControlSize()
{
    if (!FControl || FNewSize == FOldSize)
        return;
    TWinControl* parent = Parent();
    switch (Align()) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alRight:
        parent->DisableAlign();
        try {
            FControl->SetBounds(FControl->Left() + (FControl->Width() - FNewSize), FControl->Top(), FNewSize,
                                FControl->Height());
        } catch (...) {
            parent->EnableAlign();
            throw;
        }
        parent->EnableAlign();
        break;
    case alBottom:
        parent->DisableAlign();
        try {
            FControl->SetBounds(FControl->Left(), FControl->Top() + (FControl->Height() - FNewSize),
                                FControl->Width(), FNewSize);
        } catch (...) {
            parent->EnableAlign();
            throw;
        }
        parent->EnableAlign();
        break;
    default: break;
    }
    Update();
    FOldSize = FNewSize;
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::DrawLine()
{
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated())
        return;
    if (!FLineVisible) {
        FLinePos = TPoint{Left(), Top()};
        if (Align() == alLeft || Align() == alRight)
            FLinePos.x += FSplit;
        else
            FLinePos.y += FSplit;
    }
    HDC dc = GetDCEx(parent->Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (!dc)
        return;
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bmp = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = bmp ? CreatePatternBrush(bmp) : nullptr;
    HGDIOBJ old = brush ? SelectObject(dc, brush) : nullptr;
    PatBlt(dc, FLinePos.x, FLinePos.y, Width(), Height(), FResizeStyle == rsPattern && brush ? PATINVERT : DSTINVERT);
    if (old)
        SelectObject(dc, old);
    if (brush)
        DeleteObject(brush);
    if (bmp)
        DeleteObject(bmp);
    ReleaseDC(parent->Handle(), dc);
    FLineVisible = !FLineVisible;
}
