// The framework's Graphics unit: colours, fonts, brushes and pens owning their GDI objects, the
// canvas over a device context, graphics (bitmaps on DIB sections, icons), pictures and regions.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

#include "Classes.h"

class TStream;

// ---------------------------------------------------------------------------------------------
// Colours. A TColor holds an RGB value (red in the low byte) or, with the top bit set, a system
// colour index in the low byte.

using TColor = std::int32_t;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SystemColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SystemColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours are looked up, others pass unchanged.
TColor ColorToRGB(TColor Color);

// The named colours (clBlack ... clWindowText, with clNone and clDefault): the name of a colour
// value and the value of a name (without regard to case); false when there is none.
bool ColorToIdent(TColor Color, AnsiString& Ident);
bool IdentToColor(const AnsiString& Ident, TColor& Color);
// Hands every colour name to Proc in the framework's order: the 16 standard colours, the 4
// extended ones (clMoneyGreen, clSkyBlue, clCream, clMedGray), then the system colours.
using TGetStrProc = TMethod<void(const AnsiString& S)>;
void GetColorValues(const TGetStrProc& Proc);

// ---------------------------------------------------------------------------------------------
// RAII owner of one GDI object (pen, brush, font, bitmap, region, palette).
template <class H>
class TGdiHandle {
public:
    TGdiHandle() = default;
    explicit TGdiHandle(H h) : h_(h) {}
    ~TGdiHandle() { Reset(); }
    TGdiHandle(TGdiHandle&& o) noexcept : h_(o.Release()) {}
    TGdiHandle& operator=(TGdiHandle&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }
    TGdiHandle(const TGdiHandle&) = delete;
    TGdiHandle& operator=(const TGdiHandle&) = delete;

    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    H Release()
    {
        H h = h_;
        h_ = nullptr;
        return h;
    }
    void Reset(H h = nullptr)
    {
        if (h_ && h_ != h)
            DeleteObject(reinterpret_cast<HGDIOBJ>(h_));
        h_ = h;
    }

private:
    H h_ = nullptr;
};

// RAII owner of a memory device context.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatibleWith = nullptr);
    ~TMemoryDC();
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }
    // Selects an object; the original one is put back on destruction.
    void Select(HGDIOBJ obj);

private:
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
};

// A device context's state saved, and restored however the drawing ends.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    ~TSavedDC() { RestoreDC(FDC, FSaved); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HDC FDC;
    int FSaved;
};

// A window's paint: BeginPaint's context while the paint message brings none (a context in
// WParam is painted into as it is), its state saved; restored, and the paint ended, however the
// painting ends. A paint left open would be asked for again at once.
class TPaintDC {
public:
    TPaintDC(HWND Wnd, HDC Given);
    ~TPaintDC();
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{}; // before FDC: BeginPaint fills it
    HDC FDC;
    int FSaved;
};

// A window's whole context (frame included) while none is given, its state saved; restored and
// released however the drawing ends.
class TWindowDC {
public:
    explicit TWindowDC(HWND Wnd, HDC Given = nullptr);
    ~TWindowDC();
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
    int FSaved;
};

// ---------------------------------------------------------------------------------------------
// Font, brush and pen attributes.

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
using TFontName = AnsiString;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

using TCopyMode = LongInt;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TBitmap;
class TCanvas;

// Base of fonts, brushes and pens: OnChange fires after every change of an attribute.
class TGraphicsObject : public TPersistent {
    VCL_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
    VCL_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    // The font object, created on first use and owned by the font.
    HFONT Handle();
    // Takes ownership of a font object and reads its attributes from it.
    void SetHandle(HFONT Value);
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    AnsiString Name() const { return name_; }
    void SetName(const AnsiString& Value);
    // Size in points; Height in pixels (negative: character height without internal leading).
    int Size() const;
    void SetSize(int Value);
    int Height() const { return height_; }
    void SetHeight(int Value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int Value);

private:
    void Modified();
    AnsiString name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int pixelsPerInch_ = 96;
    TGdiHandle<HFONT> handle_;
};

// Component-stream helpers: a colour by its constant name when it has one (else its number), and
// a font as its Charset, Color, Height, Name and Style entries under "Prefix.".
void WriteColorProperty(TWriter& Writer, const AnsiString& Name, TColor Color);
void WriteFontProperties(TWriter& Writer, const AnsiString& Prefix, const TFont& Font);

class TBrush : public TGraphicsObject {
    VCL_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    ~TBrush() override;
    void Assign(TPersistent* Source) override;

    HBRUSH Handle();
    // Takes ownership of a brush object and reads its colour and style from it.
    void SetHandle(HBRUSH Value);
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned; the brush copies nothing, the caller keeps it alive).
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* Value);

private:
    void Modified();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    TGdiHandle<HBRUSH> handle_;
};

class TPen : public TGraphicsObject {
    VCL_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    ~TPen() override;
    void Assign(TPersistent* Source) override;

    HPEN Handle();
    void SetHandle(HPEN Value);
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    int Width() const { return width_; }
    void SetWidth(int Value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode Value);

private:
    void Modified();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    TGdiHandle<HPEN> handle_;
};

// ---------------------------------------------------------------------------------------------
// Graphics: images that can be drawn on a canvas, loaded and saved.

class TGraphic : public TPersistent {
    VCL_CLASS(TGraphic, TPersistent)
    friend class TCanvas;

public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Empty() const = 0;
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool Value);

    // Loading reads the whole input; a malformed image raises EInvalidGraphic.
    virtual void LoadFromMemory(const void* Data, std::size_t Size) = 0;
    virtual std::vector<Byte> SaveToMemory() = 0;
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    // Loads the rest of the stream from its position; saving appends at its position.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    // The graphic as a binary property of a component stream: by default the rest of the
    // stream; bitmaps and JPEG images write a 32-bit length first.
    virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }

    TNotifyEvent OnChange;

protected:
    // Reads a 32-bit length and that many bytes of image (for ReadData overrides).
    void ReadSizedData(TStream* Stream);
    void WriteSizedData(TStream* Stream);
    // Empties the image (a length of 0 in ReadSizedData).
    virtual void ClearImage() {}
    // Draws the graphic stretched into Rect of the canvas.
    virtual void Draw(TCanvas* ACanvas, const RECT& Rect) = 0;
    virtual void Changed();

private:
    bool transparent_ = false;
};

// The canvas: drawing on a device context with its own font, brush and pen, which are selected
// into the context when a drawing operation needs them. A context given with SetHandle is
// borrowed and never released; derived canvases make their own in CreateHandle and release
// them in their FreeHandle override (call FreeHandle from their destructor).
class TCanvas : public TPersistent {
    VCL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return handle_ != nullptr; }

    // Serialises use of the canvas between threads; a locked bitmap canvas keeps its context.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return lockCount_; }

    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    TBrush* Brush() const { return brush_.get(); }
    void SetBrush(TBrush* Value) { brush_->Assign(Value); }
    TPen* Pen() const { return pen_.get(); }
    void SetPen(TPen* Value) { pen_->Assign(Value); }

    POINT PenPos();
    void SetPenPos(POINT Value);
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode Value) { copyMode_ = Value; }
    // Flags of ExtTextOut for TextOut and TextRect (ETO_...).
    int TextFlags() const { return textFlags_; }
    void SetTextFlags(int Value) { textFlags_ = Value; }
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    RECT ClipRect();

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void FillRect(const RECT& Rect);
    void FrameRect(const RECT& Rect);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const RECT& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const RECT& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    // The slice of the ellipse in (X1, Y1, X2, Y2) from the radial through (X3, Y3) counter-
    // clockwise to the one through (X4, Y4), outlined with the pen and filled with the brush.
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // The dotted focus frame, drawn by XOR (a second call takes it away).
    void DrawFocusRect(const RECT& Rect);
    void Polygon(const POINT* Points, int Count);
    void Polygon(const std::vector<POINT>& Points) { Polygon(Points.data(), static_cast<int>(Points.size())); }
    void Polyline(const POINT* Points, int Count);
    void Polyline(const std::vector<POINT>& Points) { Polyline(Points.data(), static_cast<int>(Points.size())); }
    void TextOut(int X, int Y, const AnsiString& Text);
    void TextRect(const RECT& Rect, int X, int Y, const AnsiString& Text);
    SIZE TextExtent(const AnsiString& Text);
    int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
    int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const RECT& Rect, TGraphic* Graphic);
    // Copies Source of the other canvas into Dest of this one with CopyMode.
    void CopyRect(const RECT& Dest, TCanvas* Canvas, const RECT& Source);
    // Selects the font, brush and pen again on next use.
    void Refresh();

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    virtual void Changed();
    virtual void Changing();

protected:
    // Called when a drawing operation needs a context and none is set.
    virtual void CreateHandle() {}
    // Deselects the font, brush and pen and forgets the context (a borrowed one stays open).
    virtual void FreeHandle() { SetHandle(nullptr); }

private:
    enum : unsigned { stHandle = 1, stFont = 2, stPen = 4, stBrush = 8 };
    void RequiredState(unsigned state);
    void DeselectHandles();
    void FontChanged(TObject*);
    void PenChanged(TObject*);
    void BrushChanged(TObject*);

    HDC handle_ = nullptr;
    unsigned state_ = 0;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
    POINT penPos_{0, 0};
    TCopyMode copyMode_ = cmSrcCopy;
    int textFlags_ = 0;
    int lockCount_ = 0;
    CRITICAL_SECTION lock_;
};

// ---------------------------------------------------------------------------------------------
// Bitmaps on DIB sections.

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// Limits of the bitmaps the framework makes or loads.
constexpr int MaxBitmapSide = 32768;
constexpr std::int64_t MaxBitmapBytes = 256ll * 1024 * 1024;

// Bytes of pixels (rows padded to four bytes) that a Windows bitmap file will take once loaded,
// from its headers alone; EInvalidGraphic for headers that TBitmap::LoadFromMemory refuses.
std::int64_t BitmapFilePixelBytes(const void* Data, std::size_t Size);

class TBitmapCanvas;

// A DIB section with its description (used while building a bitmap's image).
struct TDibData {
    TGdiHandle<HBITMAP> handle;
    Byte* bits = nullptr;
    int width = 0, height = 0;
    TPixelFormat format = pf24bit;
    std::vector<RGBQUAD> colors;
    int BitsPerPixel() const;
    // Bytes per row, padded to 4 bytes.
    int RowBytes() const;
    // Bottom-up storage: row 0 of the image is the last row in memory.
    Byte* Row(int y) const { return bits + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(RowBytes()); }
    // Makes a DIB section (a record of that size without pixels when a side is 0);
    // EInvalidGraphicOperation beyond the limits, EOutOfResources when the system refuses.
    static TDibData Make(int width, int height, TPixelFormat format, std::vector<RGBQUAD> colors = {});
    // The colour table the framework gives a new bitmap of the format.
    static std::vector<RGBQUAD> DefaultColors(TPixelFormat format);
};

// A bitmap held in a DIB section. Rows are stored bottom-up as in every DIB; ScanLine(0) is the
// top row. Its canvas is made on first use; the canvas's memory context is released by Dormant
// and by FreeMemoryContexts whenever the canvas is not locked, and made again on demand.
class TBitmap : public TGraphic {
    VCL_CLASS(TBitmap, TGraphic)
    friend class TBitmapCanvas;

public:
    TBitmap();
    TBitmap(int Width, int Height, TPixelFormat Format = pf24bit);
    ~TBitmap() override;

    void Assign(TPersistent* Source) override;

    int Width() const override { return dib_.width; }
    int Height() const override { return dib_.height; }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void SetSize(int Width, int Height);
    bool Empty() const override { return dib_.width == 0 || dib_.height == 0; }

    TPixelFormat PixelFormat() const { return dib_.format; }
    void SetPixelFormat(TPixelFormat Value);
    // Start of row Row (0 = top); raises EInvalidGraphicOperation out of range.
    void* ScanLine(int Row);
    // Bytes per row (rows are padded to 4 bytes).
    int RowBytes() const { return dib_.RowBytes(); }

    TCanvas* Canvas();
    // Releases the canvas's memory context (the image stays).
    void Dormant();
    void FreeImage() { Dormant(); }

    HBITMAP Handle() const { return dib_.handle.Get(); }
    // Takes ownership of a bitmap: its pixels are copied into a DIB section and it is deleted.
    void SetHandle(HBITMAP Value);
    // Gives the DIB section away; the bitmap becomes empty.
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return static_cast<bool>(dib_.handle); }
    TBitmapHandleType HandleType() const { return bmDIB; }
    void SetHandleType(TBitmapHandleType) {}
    bool Monochrome() const { return dib_.format == pf1bit; }

    // Key colour of transparent drawing: in tmAuto mode the bottom-left pixel.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode Value);

    // Colour table of a 1, 4 or 8-bit bitmap.
    std::vector<RGBQUAD> ColorTable() const { return dib_.colors; }
    void SetColorTable(const std::vector<RGBQUAD>& Colors);

    void LoadFromMemory(const void* Data, std::size_t Size) override;
    std::vector<Byte> SaveToMemory() override;
    void ReadData(TStream* Stream) override { ReadSizedData(Stream); }
    void WriteData(TStream* Stream) override { WriteSizedData(Stream); }
    // Loads a bitmap resource of a module.
    void LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

protected:
    void Draw(TCanvas* ACanvas, const RECT& Rect) override;
    void ClearImage() override { SetSize(0, 0); }

private:
    void Adopt(TDibData&& dib);
    void Resize(int width, int height);
    void FreeContext();
    // The canvas's context (when it has one) lets go of the image, or takes the current one;
    // the context itself stays, so a handle taken from the canvas survives a new image.
    void DetachFromCanvas();
    void AttachToCanvas();
    std::vector<Byte> InfoHeader() const;

    TDibData dib_;
    std::unique_ptr<TBitmapCanvas> canvas_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
};

// The canvas of a bitmap: a memory context with the bitmap selected, made on demand.
class TBitmapCanvas : public TCanvas {
    VCL_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* Bitmap);
    ~TBitmapCanvas() override;

protected:
    void CreateHandle() override;
    void FreeHandle() override;

private:
    friend class TBitmap;
    friend void FreeMemoryContexts();
    TBitmap* bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ stockBitmap_ = nullptr; // the context's own bitmap
};

// Releases the memory contexts of every bitmap canvas that is not locked (called when idle).
void FreeMemoryContexts();
// Number of bitmap canvases that hold a memory context now.
int MemoryContextCount();

// What the screen shows, copied into Into (made the screen's size, 24 bits per pixel): the
// picture a picker of on-screen colours lets the user choose from. A test puts a picture of its
// own in place for as long as a TScreenCaptureOverride lives.
void CaptureScreen(TBitmap& Into);
class TScreenCaptureOverride {
public:
    explicit TScreenCaptureOverride(std::function<void(TBitmap& Into)> Capture);
    ~TScreenCaptureOverride();
    TScreenCaptureOverride(const TScreenCaptureOverride&) = delete;
    TScreenCaptureOverride& operator=(const TScreenCaptureOverride&) = delete;

private:
    std::function<void(TBitmap&)> previous_;
};

// ---------------------------------------------------------------------------------------------
// Icons.

class TIcon : public TGraphic {
    VCL_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override;
    void Assign(TPersistent* Source) override;

    HICON Handle() const { return handle_; }
    // Takes ownership of the icon.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();
    bool HandleAllocated() const { return handle_ != nullptr; }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Empty() const override { return handle_ == nullptr; }

    void LoadFromMemory(const void* Data, std::size_t Size) override;
    std::vector<Byte> SaveToMemory() override;

protected:
    void Draw(TCanvas* ACanvas, const RECT& Rect) override;

private:
    HICON handle_ = nullptr;
    std::vector<Byte> data_; // the file the icon was loaded from
    int width_ = 0, height_ = 0;
    int requestedWidth_ = 0, requestedHeight_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Pictures: a holder of any graphic, chosen by file extension when loading.

class TPicture : public TPersistent {
    VCL_CLASS(TPicture, TPersistent)
public:
    TPicture() = default;
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Copies the graphic (nullptr empties the picture).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap; a picture holding something else is emptied to a new bitmap.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* Icon();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // .bmp, .jpg/.jpeg and .ico by extension (any case); another extension raises EInvalidGraphic.
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    // A picture as a binary property: the graphic's class name (a length byte and the name,
    // empty for none), then the graphic's data.
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed();

private:
    void Take(std::unique_ptr<TGraphic> g);
    std::unique_ptr<TGraphic> graphic_;
};

// The filter of a file dialog for every format a picture loads: "All (...)|..." first, then one
// entry per format ("Bitmaps (*.bmp)|*.bmp|...").
AnsiString GraphicFilter();

// ---------------------------------------------------------------------------------------------
// Regions (window shapes).

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(HRGN h) : h_(h) {}
    static TRegion Rect(int l, int t, int r, int b) { return TRegion(CreateRectRgn(l, t, r, b)); }
    static TRegion RoundRect(int l, int t, int r, int b, int w, int h) { return TRegion(CreateRoundRectRgn(l, t, r, b, w, h)); }
    static TRegion Elliptic(int l, int t, int r, int b) { return TRegion(CreateEllipticRgn(l, t, r, b)); }

    HRGN Get() const { return h_.Get(); }
    HRGN Release() { return h_.Release(); }
    explicit operator bool() const { return static_cast<bool>(h_); }
    // Combines another region into this one (RGN_OR, RGN_AND, RGN_DIFF, RGN_XOR).
    void Combine(const TRegion& Other, int Mode);
    bool Contains(int X, int Y) const { return h_ && PtInRegion(h_.Get(), X, Y); }
    // Gives the region to the window (the window then owns it); the object becomes empty.
    bool ApplyToWindow(HWND Wnd, bool Redraw);

private:
    TGdiHandle<HRGN> h_;
};
