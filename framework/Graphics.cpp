// Colours, fonts, brushes, pens, the graphic base and the canvas.
#include "Graphics.h"

#include <cstring>

#include "ClassesStreams.h"

TColor ColorToRGB(TColor Color)
{
    if (Color < 0)
        return static_cast<TColor>(GetSysColor(Color & 0xFF));
    return Color;
}

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// The named colours in the framework's order: the 16 standard ones, the 4 extended ones, then the
// system colours with clDefault and clNone among them.
constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

} // namespace

bool ColorToIdent(TColor Color, AnsiString& Ident)
{
    for (const TColorName& n : ColorNames)
        if (n.Value == Color) {
            Ident = n.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const AnsiString& Ident, TColor& Color)
{
    for (const TColorName& n : ColorNames)
        if (SameText(Ident, n.Name)) {
            Color = n.Value;
            return true;
        }
    return false;
}

void GetColorValues(const TGetStrProc& Proc)
{
    for (const TColorName& n : ColorNames)
        Proc(n.Name);
}

// ---------------------------------------------------------------------------------------------

TMemoryDC::TMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith))
{
    if (!dc_)
        throw EOutOfResources("Out of system resources");
}

TPaintDC::TPaintDC(HWND Wnd, HDC Given)
    : FWnd(Given ? nullptr : Wnd), FDC(Given ? Given : BeginPaint(Wnd, &FPaint)), FSaved(SaveDC(FDC))
{
}

TPaintDC::~TPaintDC()
{
    RestoreDC(FDC, FSaved);
    if (FWnd)
        EndPaint(FWnd, &FPaint);
}

TWindowDC::TWindowDC(HWND Wnd, HDC Given)
    : FWnd(Given ? nullptr : Wnd), FDC(Given ? Given : GetWindowDC(Wnd)), FSaved(SaveDC(FDC))
{
}

TWindowDC::~TWindowDC()
{
    RestoreDC(FDC, FSaved);
    if (FWnd)
        ReleaseDC(FWnd, FDC);
}

TMemoryDC::~TMemoryDC()
{
    if (oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (oldPen_)
        SelectObject(dc_, oldPen_);
    if (oldBrush_)
        SelectObject(dc_, oldBrush_);
    if (oldFont_)
        SelectObject(dc_, oldFont_);
    DeleteDC(dc_);
}

void TMemoryDC::Select(HGDIOBJ obj)
{
    HGDIOBJ* slot = nullptr;
    switch (GetObjectType(obj)) {
    case OBJ_BITMAP: slot = &oldBitmap_; break;
    case OBJ_PEN: slot = &oldPen_; break;
    case OBJ_BRUSH: slot = &oldBrush_; break;
    case OBJ_FONT: slot = &oldFont_; break;
    default: return;
    }
    HGDIOBJ old = SelectObject(dc_, obj);
    if (!*slot)
        *slot = old;
}

// ---------------------------------------------------------------------------------------------

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

namespace {
int QueryScreenPixelsPerInch()
{
    HDC dc = GetDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : 96;
}

// The screen's resolution, asked once (every canvas makes a font).
int ScreenPixelsPerInch()
{
    static const int ppi = QueryScreenPixelsPerInch();
    return ppi;
}
} // namespace

TFont::TFont() : pixelsPerInch_(ScreenPixelsPerInch()) {}

TFont::~TFont() = default;

// The old font object lives until every listener (a canvas deselecting it) has been told.
void TFont::Modified()
{
    TGdiHandle<HFONT> old = std::move(handle_);
    Changed();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this)
            return;
        const int height = pixelsPerInch_ != f->pixelsPerInch_ ? -MulDiv(f->Size(), pixelsPerInch_, 72) : f->height_;
        if (name_ == f->name_ && height_ == height && style_ == f->style_ && charset_ == f->charset_ &&
            pitch_ == f->pitch_) {
            // The same typeface: the font object stays (owner-drawn items take their control's font
            // at every item).
            SetColor(f->color_);
            return;
        }
        name_ = f->name_;
        height_ = height;
        style_ = f->style_;
        color_ = f->color_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        Modified();
        return;
    }
    inherited::Assign(Source);
}

HFONT TFont::Handle()
{
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = style_.Contains(fsItalic);
        lf.lfUnderline = style_.Contains(fsUnderline);
        lf.lfStrikeOut = style_.Contains(fsStrikeOut);
        lf.lfCharSet = charset_;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        if (name_ != "Default")
            std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectA(&lf));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.Get();
}

void TFont::SetHandle(HFONT Value)
{
    if (Value == handle_.Get())
        return;
    LOGFONTA lf{};
    if (Value && GetObjectA(Value, sizeof lf, &lf)) {
        name_ = lf.lfFaceName;
        height_ = lf.lfHeight;
        style_ = {};
        if (lf.lfWeight >= FW_BOLD)
            style_ << fsBold;
        if (lf.lfItalic)
            style_ << fsItalic;
        if (lf.lfUnderline)
            style_ << fsUnderline;
        if (lf.lfStrikeOut)
            style_ << fsStrikeOut;
        charset_ = lf.lfCharSet;
        int p = lf.lfPitchAndFamily & 3;
        pitch_ = p == FIXED_PITCH ? fpFixed : p == VARIABLE_PITCH ? fpVariable : fpDefault;
    }
    TGdiHandle<HFONT> old = std::move(handle_);
    handle_.Reset(Value);
    Changed();
}

void TFont::SetName(const AnsiString& Value)
{
    if (Value.empty() || Value == name_)
        return;
    name_ = Value;
    Modified();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, pixelsPerInch_, 72)); }

void TFont::SetHeight(int Value)
{
    if (Value == height_)
        return;
    height_ = Value;
    Modified();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == style_)
        return;
    style_ = Value;
    Modified();
}

void TFont::SetColor(TColor Value)
{
    if (Value == color_)
        return;
    color_ = Value;
    Changed(); // the colour is not part of the font object
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == charset_)
        return;
    charset_ = Value;
    Modified();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == pitch_)
        return;
    pitch_ = Value;
    Modified();
}

void TFont::SetPixelsPerInch(int Value)
{
    if (Value > 0)
        pixelsPerInch_ = Value;
}

// ---------------------------------------------------------------------------------------------

TBrush::~TBrush() = default;

void TBrush::Modified()
{
    TGdiHandle<HBRUSH> old = std::move(handle_);
    Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this || (color_ == b->color_ && style_ == b->style_ && bitmap_ == b->bitmap_))
            return;
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Modified();
        return;
    }
    inherited::Assign(Source);
}

HBRUSH TBrush::Handle()
{
    if (!handle_) {
        HBRUSH h = nullptr;
        if (bitmap_ && bitmap_->Handle()) {
            h = CreatePatternBrush(bitmap_->Handle());
        } else {
            LOGBRUSH lb{};
            lb.lbColor = static_cast<COLORREF>(ColorToRGB(color_));
            switch (style_) {
            case bsSolid: lb.lbStyle = BS_SOLID; break;
            case bsClear: lb.lbStyle = BS_HOLLOW; break;
            default:
                lb.lbStyle = BS_HATCHED;
                lb.lbHatch = static_cast<ULONG_PTR>(style_ - bsHorizontal); // HS_HORIZONTAL..HS_DIAGCROSS
                break;
            }
            h = CreateBrushIndirect(&lb);
        }
        if (!h)
            throw EOutOfResources("Out of system resources");
        handle_.Reset(h);
    }
    return handle_.Get();
}

void TBrush::SetHandle(HBRUSH Value)
{
    if (Value == handle_.Get())
        return;
    LOGBRUSH lb{};
    if (Value && GetObjectA(Value, sizeof lb, &lb)) {
        color_ = static_cast<TColor>(lb.lbColor);
        bitmap_ = nullptr;
        if (lb.lbStyle == BS_HOLLOW)
            style_ = bsClear;
        else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS)
            style_ = static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch);
        else
            style_ = bsSolid;
    }
    TGdiHandle<HBRUSH> old = std::move(handle_);
    handle_.Reset(Value);
    Changed();
}

void TBrush::SetColor(TColor Value)
{
    if (Value == color_ && !bitmap_ && style_ != bsClear)
        return;
    color_ = Value;
    bitmap_ = nullptr;
    if (style_ == bsClear)
        style_ = bsSolid;
    Modified();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == style_ && !bitmap_)
        return;
    style_ = Value;
    bitmap_ = nullptr;
    Modified();
}

void TBrush::SetBitmap(TBitmap* Value)
{
    bitmap_ = Value;
    Modified();
}

// ---------------------------------------------------------------------------------------------

TPen::~TPen() = default;

void TPen::Modified()
{
    TGdiHandle<HPEN> old = std::move(handle_);
    Changed();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this)
            return;
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Modified();
        return;
    }
    inherited::Assign(Source);
}

HPEN TPen::Handle()
{
    if (!handle_) {
        static constexpr int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        LOGPEN lp{};
        lp.lopnStyle = static_cast<UINT>(styles[style_]);
        lp.lopnWidth.x = width_;
        lp.lopnColor = static_cast<COLORREF>(ColorToRGB(color_));
        HPEN h = CreatePenIndirect(&lp);
        if (!h)
            throw EOutOfResources("Out of system resources");
        handle_.Reset(h);
    }
    return handle_.Get();
}

void TPen::SetHandle(HPEN Value)
{
    if (Value == handle_.Get())
        return;
    LOGPEN lp{};
    if (Value && GetObjectA(Value, sizeof lp, &lp)) {
        color_ = static_cast<TColor>(lp.lopnColor);
        width_ = lp.lopnWidth.x;
        switch (lp.lopnStyle & PS_STYLE_MASK) {
        case PS_DASH: style_ = psDash; break;
        case PS_DOT: style_ = psDot; break;
        case PS_DASHDOT: style_ = psDashDot; break;
        case PS_DASHDOTDOT: style_ = psDashDotDot; break;
        case PS_NULL: style_ = psClear; break;
        case PS_INSIDEFRAME: style_ = psInsideFrame; break;
        default: style_ = psSolid; break;
        }
    }
    TGdiHandle<HPEN> old = std::move(handle_);
    handle_.Reset(Value);
    Changed();
}

void TPen::SetColor(TColor Value)
{
    if (Value == color_)
        return;
    color_ = Value;
    Modified();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == width_)
        return;
    width_ = Value;
    Modified();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == style_)
        return;
    style_ = Value;
    Modified();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == mode_)
        return;
    mode_ = Value;
    Changed(); // the mode is a context setting, not part of the pen object
}

// ---------------------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value)
{
    if (Value == transparent_)
        return;
    transparent_ = Value;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& FileName)
{
    const std::vector<Byte> data = SaveToMemory();
    SafeWriteFile(FileName, [&data](IByteSink& sink) { sink.Write(data.data(), data.size()); });
}

void TGraphic::LoadFromStream(TStream* Stream)
{
    if (!Stream)
        return;
    Int64 rest = Stream->Size() - Stream->Position();
    if (rest < 0 || rest > MaxBitmapBytes + 65536ll * 1024)
        throw EInvalidGraphic("Image data is too large");
    std::vector<Byte> data(static_cast<std::size_t>(rest));
    if (!data.empty())
        Stream->ReadBuffer(data.data(), static_cast<Integer>(data.size()));
    LoadFromMemory(data.data(), data.size());
}

void TGraphic::SaveToStream(TStream* Stream)
{
    if (!Stream)
        return;
    std::vector<Byte> data = SaveToMemory();
    if (!data.empty())
        Stream->WriteBuffer(data.data(), static_cast<Integer>(data.size()));
}

void TGraphic::ReadSizedData(TStream* Stream)
{
    Integer size = 0;
    Stream->ReadBuffer(&size, 4);
    if (size < 0 || size > Stream->Size() - Stream->Position())
        throw EInvalidGraphic("Graphic data size is not valid");
    std::vector<Byte> data(static_cast<std::size_t>(size));
    if (size)
        Stream->ReadBuffer(data.data(), size);
    if (size)
        LoadFromMemory(data.data(), data.size());
    else
        ClearImage();
}

void TGraphic::WriteSizedData(TStream* Stream)
{
    std::vector<Byte> data = Empty() ? std::vector<Byte>() : SaveToMemory();
    Integer size = static_cast<Integer>(data.size());
    Stream->WriteBuffer(&size, 4);
    if (size)
        Stream->WriteBuffer(data.data(), size);
}

// ---------------------------------------------------------------------------------------------

TCanvas::TCanvas() : font_(std::make_unique<TFont>()), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>())
{
    InitializeCriticalSection(&lock_);
    font_->OnChange = [this](TObject* s) { FontChanged(s); };
    brush_->OnChange = [this](TObject* s) { BrushChanged(s); };
    pen_->OnChange = [this](TObject* s) { PenChanged(s); };
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    DeleteCriticalSection(&lock_);
}

HDC TCanvas::Handle()
{
    RequiredState(stHandle);
    return handle_;
}

void TCanvas::SetHandle(HDC Value)
{
    if (Value == handle_)
        return;
    if (handle_) {
        DeselectHandles();
        penPos_ = PenPos();
        handle_ = nullptr;
        state_ = 0;
    }
    if (Value) {
        handle_ = Value;
        state_ = stHandle;
        MoveToEx(handle_, penPos_.x, penPos_.y, nullptr);
    }
}

void TCanvas::DeselectHandles()
{
    if (!handle_)
        return;
    if (oldFont_)
        SelectObject(handle_, oldFont_);
    if (oldPen_)
        SelectObject(handle_, oldPen_);
    if (oldBrush_)
        SelectObject(handle_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    state_ &= stHandle;
}

void TCanvas::RequiredState(unsigned state)
{
    unsigned need = state & ~state_;
    if (!need)
        return;
    if (need & stHandle) {
        CreateHandle();
        if (!handle_)
            throw EInvalidOperation("Canvas does not allow drawing");
    }
    if (need & stFont) {
        HGDIOBJ old = SelectObject(handle_, font_->Handle());
        if (!oldFont_)
            oldFont_ = old;
        SetTextColor(handle_, static_cast<COLORREF>(ColorToRGB(font_->Color())));
        state_ |= stFont;
    }
    if (need & stPen) {
        HGDIOBJ old = SelectObject(handle_, pen_->Handle());
        if (!oldPen_)
            oldPen_ = old;
        static constexpr int modes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                                        R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                        R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
        SetROP2(handle_, modes[pen_->Mode()]);
        state_ |= stPen;
    }
    if (need & stBrush) {
        HBRUSH b = brush_->Handle();
        UnrealizeObject(b);
        HGDIOBJ old = SelectObject(handle_, b);
        if (!oldBrush_)
            oldBrush_ = old;
        COLORREF c = static_cast<COLORREF>(ColorToRGB(brush_->Color()));
        if (brush_->Style() == bsSolid) {
            SetBkColor(handle_, c);
            SetBkMode(handle_, OPAQUE);
        } else {
            SetBkColor(handle_, ~c & 0xFFFFFF);
            SetBkMode(handle_, TRANSPARENT);
        }
        state_ |= stBrush;
    }
}

// A changed font, pen or brush is deselected at once (its old object is about to be deleted)
// and selected again on next use.
void TCanvas::FontChanged(TObject*)
{
    if ((state_ & stFont) && oldFont_) {
        SelectObject(handle_, oldFont_);
        oldFont_ = nullptr;
    }
    state_ &= ~stFont;
}

void TCanvas::PenChanged(TObject*)
{
    if ((state_ & stPen) && oldPen_) {
        SelectObject(handle_, oldPen_);
        oldPen_ = nullptr;
    }
    state_ &= ~stPen;
}

void TCanvas::BrushChanged(TObject*)
{
    if ((state_ & stBrush) && oldBrush_) {
        SelectObject(handle_, oldBrush_);
        oldBrush_ = nullptr;
    }
    state_ &= ~stBrush;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Lock()
{
    EnterCriticalSection(&lock_);
    ++lockCount_;
}

void TCanvas::Unlock()
{
    if (lockCount_ <= 0)
        return;
    --lockCount_;
    LeaveCriticalSection(&lock_);
}

bool TCanvas::TryLock()
{
    if (!TryEnterCriticalSection(&lock_))
        return false;
    ++lockCount_;
    return true;
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

POINT TCanvas::PenPos()
{
    if (handle_) {
        POINT p{};
        if (GetCurrentPositionEx(handle_, &p))
            return p;
    }
    return penPos_;
}

void TCanvas::SetPenPos(POINT Value) { MoveTo(Value.x, Value.y); }

TColor TCanvas::Pixels(int X, int Y)
{
    RequiredState(stHandle);
    return static_cast<TColor>(GetPixel(handle_, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value)
{
    Changing();
    RequiredState(stHandle | stPen);
    SetPixel(handle_, X, Y, static_cast<COLORREF>(ColorToRGB(Value)));
    Changed();
}

RECT TCanvas::ClipRect()
{
    RequiredState(stHandle);
    RECT r{};
    GetClipBox(handle_, &r);
    return r;
}

void TCanvas::MoveTo(int X, int Y)
{
    penPos_ = {X, Y};
    if (handle_)
        MoveToEx(handle_, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::LineTo(handle_, X, Y);
    penPos_ = {X, Y};
    Changed();
}

void TCanvas::FillRect(const RECT& Rect)
{
    Changing();
    RequiredState(stHandle | stBrush);
    if (brush_->Style() != bsClear)
        ::FillRect(handle_, &Rect, brush_->Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& Rect)
{
    Changing();
    RequiredState(stHandle | stBrush);
    ::FrameRect(handle_, &Rect, brush_->Handle());
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Rectangle(handle_, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::RoundRect(handle_, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Ellipse(handle_, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Pie(handle_, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::DrawFocusRect(const RECT& Rect)
{
    Changing();
    RequiredState(stHandle | stBrush);
    ::DrawFocusRect(handle_, &Rect);
    Changed();
}

void TCanvas::Polygon(const POINT* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Polygon(handle_, Points, Count);
    Changed();
}

void TCanvas::Polyline(const POINT* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState(stHandle | stPen | stBrush);
    ::Polyline(handle_, Points, Count);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text)
{
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    ExtTextOutA(handle_, X, Y, static_cast<UINT>(textFlags_), nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    SIZE sz{};
    GetTextExtentPoint32A(handle_, Text.data(), static_cast<int>(Text.size()), &sz);
    MoveTo(X + sz.cx, Y);
    Changed();
}

void TCanvas::TextRect(const RECT& Rect, int X, int Y, const AnsiString& Text)
{
    Changing();
    RequiredState(stHandle | stFont | stBrush);
    UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
    if (brush_->Style() != bsClear)
        options |= ETO_OPAQUE;
    ExtTextOutA(handle_, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

SIZE TCanvas::TextExtent(const AnsiString& Text)
{
    RequiredState(stHandle | stFont);
    SIZE sz{};
    GetTextExtentPoint32A(handle_, Text.data(), static_cast<int>(Text.size()), &sz);
    return sz;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState(stHandle);
    RECT r{X, Y, X + Graphic->Width(), Y + Graphic->Height()};
    Graphic->Draw(this, r);
    Changed();
}

void TCanvas::StretchDraw(const RECT& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState(stHandle);
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const RECT& Dest, TCanvas* Canvas, const RECT& Source)
{
    if (!Canvas)
        return;
    Changing();
    RequiredState(stHandle | stBrush);
    Canvas->RequiredState(stHandle | stBrush);
    StretchBlt(handle_, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->handle_, Source.left,
               Source.top, Source.right - Source.left, Source.bottom - Source.top, static_cast<DWORD>(copyMode_));
    Changed();
}

// ---------------------------------------------------------------------------------------------

void TRegion::Combine(const TRegion& Other, int Mode)
{
    if (!h_ || !Other.h_)
        return;
    CombineRgn(h_.Get(), h_.Get(), Other.h_.Get(), Mode);
}

bool TRegion::ApplyToWindow(HWND Wnd, bool Redraw)
{
    if (!SetWindowRgn(Wnd, h_.Get(), Redraw))
        return false;
    h_.Release();
    return true;
}

// --- Streaming ----------------------------------------------------------------------------------

namespace {

AnsiString CharsetIdent(TFontCharset Charset)
{
    static const struct {
        int Value;
        const char* Name;
    } names[] = {{ANSI_CHARSET, "ANSI_CHARSET"},     {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                 {SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                 {OEM_CHARSET, "OEM_CHARSET"},       {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                 {GREEK_CHARSET, "GREEK_CHARSET"},   {TURKISH_CHARSET, "TURKISH_CHARSET"},
                 {BALTIC_CHARSET, "BALTIC_CHARSET"}, {MAC_CHARSET, "MAC_CHARSET"}};
    for (const auto& n : names)
        if (n.Value == Charset)
            return n.Name;
    return {};
}

} // namespace

void WriteColorProperty(TWriter& Writer, const AnsiString& Name, TColor Color)
{
    Writer.WritePropName(Name);
    AnsiString ident;
    if (!ColorToIdent(Color, ident))
        Writer.WriteInteger(Color);
    else
        Writer.WriteIdent(ident);
}

void WriteFontProperties(TWriter& Writer, const AnsiString& Prefix, const TFont& Font)
{
    Writer.BeginPropPath(Prefix);
    Writer.WritePropName("Charset");
    AnsiString cs = CharsetIdent(Font.Charset());
    if (cs.empty())
        Writer.WriteInteger(Font.Charset());
    else
        Writer.WriteIdent(cs);
    WriteColorProperty(Writer, "Color", Font.Color());
    Writer.WritePropName("Height");
    Writer.WriteInteger(Font.Height());
    Writer.WritePropName("Name");
    Writer.WriteString(Font.Name());
    Writer.WritePropName("Style");
    static const char* styleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    std::vector<AnsiString> style;
    for (int i = 0; i < 4; ++i)
        if (Font.Style().Contains(static_cast<TFontStyle>(i)))
            style.push_back(styleNames[i]);
    Writer.WriteSet(style);
    Writer.EndPropPath();
}
