// Bitmaps on DIB sections, their canvas, and the reader and writer of Windows bitmap files.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include "Graphics.h"

// ---------------------------------------------------------------------------------------------
// DIB sections

namespace {

int FormatBits(TPixelFormat f)
{
    switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf32bit: return 32;
    default: return 24;
    }
}

std::int64_t RowBytesOf(std::int64_t width, int bits) { return ((width * bits + 31) / 32) * 4; }

RGBQUAD Quad(Byte r, Byte g, Byte b) { return RGBQUAD{b, g, r, 0}; }

// The sixteen colours of the standard VGA palette.
const RGBQUAD kVga16[16] = {
    Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
    Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
    Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
    Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255),
};

// A BITMAPINFO with room for 256 colours.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

void FillInfo(DibInfo& info, int width, int height, int bits, const std::vector<RGBQUAD>& colors)
{
    std::memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    if (bits <= 8) {
        std::size_t n = std::min<std::size_t>(colors.size(), std::size_t(1) << bits);
        info.header.biClrUsed = static_cast<DWORD>(n);
        if (n)
            std::memcpy(info.colors, colors.data(), n * sizeof(RGBQUAD));
    }
}

} // namespace

int TDibData::BitsPerPixel() const { return FormatBits(format); }

int TDibData::RowBytes() const { return static_cast<int>(RowBytesOf(width, BitsPerPixel())); }

std::vector<RGBQUAD> TDibData::DefaultColors(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return {Quad(0, 0, 0), Quad(255, 255, 255)};
    case pf4bit: return std::vector<RGBQUAD>(kVga16, kVga16 + 16);
    case pf8bit: {
        // The VGA colours, a 6x6x6 colour cube and a ramp of greys.
        std::vector<RGBQUAD> c(kVga16, kVga16 + 16);
        static const Byte levels[6] = {0, 51, 102, 153, 204, 255};
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    c.push_back(Quad(levels[r], levels[g], levels[b]));
        for (int i = 0; c.size() < 256; ++i) {
            Byte v = static_cast<Byte>(8 + i * 10);
            c.push_back(Quad(v, v, v));
        }
        return c;
    }
    default: return {};
    }
}

TDibData TDibData::Make(int width, int height, TPixelFormat format, std::vector<RGBQUAD> colors)
{
    TDibData d;
    d.format = (format == pf1bit || format == pf4bit || format == pf8bit || format == pf32bit) ? format : pf24bit;
    int bits = FormatBits(d.format);
    if (bits <= 8) {
        std::size_t n = std::size_t(1) << bits;
        if (colors.empty())
            colors = DefaultColors(d.format);
        colors.resize(n, RGBQUAD{0, 0, 0, 0});
        d.colors = std::move(colors);
    }
    if (width < 0 || height < 0 || width > MaxBitmapSide || height > MaxBitmapSide ||
        RowBytesOf(width, bits) * height > MaxBitmapBytes)
        throw EInvalidGraphicOperation("Bitmap dimensions are too large");
    // A bitmap with a side of 0 has no pixels but keeps the other side (a width set while the
    // height is still 0 stays for when the height comes).
    d.width = width;
    d.height = height;
    if (width == 0 || height == 0)
        return d;
    DibInfo info;
    FillInfo(info, width, height, bits, d.colors);
    void* bitsPtr = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bitsPtr, nullptr, 0);
    if (!h || !bitsPtr) {
        if (h)
            DeleteObject(h);
        throw EOutOfResources("Out of system resources");
    }
    d.handle.Reset(h);
    d.bits = static_cast<Byte*>(bitsPtr);
    d.width = width;
    d.height = height;
    return d;
}

// ---------------------------------------------------------------------------------------------
// Bitmap canvases and their memory contexts

namespace {
std::mutex gContextsLock;
std::vector<TBitmapCanvas*> gContexts; // bitmap canvases holding a memory context
} // namespace

TBitmapCanvas::TBitmapCanvas(TBitmap* Bitmap) : bitmap_(Bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeHandle(); }

void TBitmapCanvas::CreateHandle()
{
    if (dc_)
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        throw EOutOfResources("Out of system resources");
    stockBitmap_ = GetCurrentObject(dc, OBJ_BITMAP);
    if (bitmap_->Handle())
        SelectObject(dc, bitmap_->Handle());
    dc_ = dc;
    {
        std::lock_guard<std::mutex> g(gContextsLock);
        gContexts.push_back(this);
    }
    SetHandle(dc);
}

void TBitmapCanvas::FreeHandle()
{
    if (!dc_)
        return;
    SetHandle(nullptr);
    SelectObject(dc_, stockBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
    stockBitmap_ = nullptr;
    std::lock_guard<std::mutex> g(gContextsLock);
    gContexts.erase(std::remove(gContexts.begin(), gContexts.end(), this), gContexts.end());
}

void FreeMemoryContexts()
{
    std::vector<TBitmapCanvas*> list;
    {
        std::lock_guard<std::mutex> g(gContextsLock);
        list = gContexts;
    }
    for (TBitmapCanvas* c : list) {
        if (c->TryLock()) {
            if (c->LockCount() == 1)
                c->FreeHandle();
            c->Unlock();
        }
    }
}

int MemoryContextCount()
{
    std::lock_guard<std::mutex> g(gContextsLock);
    return static_cast<int>(gContexts.size());
}

// ---------------------------------------------------------------------------------------------
// The screen's picture

namespace {

void CaptureRealScreen(TBitmap& Into)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    Into.SetPixelFormat(pf24bit);
    Into.SetSize(w, h);
    HDC screen = GetDC(nullptr);
    BitBlt(Into.Canvas()->Handle(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

std::function<void(TBitmap&)>& ScreenCapture()
{
    static std::function<void(TBitmap&)> capture = CaptureRealScreen;
    return capture;
}

} // namespace

void CaptureScreen(TBitmap& Into) { ScreenCapture()(Into); }

TScreenCaptureOverride::TScreenCaptureOverride(std::function<void(TBitmap& Into)> Capture)
    : previous_(std::exchange(ScreenCapture(), std::move(Capture)))
{
}

TScreenCaptureOverride::~TScreenCaptureOverride() { ScreenCapture() = std::move(previous_); }

// ---------------------------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() { dib_.format = pf24bit; }

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format)
{
    dib_.format = pf24bit;
    SetPixelFormat(Format);
    SetSize(Width, Height);
}

TBitmap::~TBitmap()
{
    canvas_.reset(); // releases the memory context before the DIB section goes
}

TCanvas* TBitmap::Canvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

void TBitmap::Dormant() { FreeContext(); }

void TBitmap::FreeContext()
{
    if (canvas_)
        canvas_->FreeHandle();
}

void TBitmap::DetachFromCanvas()
{
    if (canvas_ && canvas_->dc_)
        SelectObject(canvas_->dc_, canvas_->stockBitmap_);
}

void TBitmap::AttachToCanvas()
{
    if (canvas_ && canvas_->dc_)
        SelectObject(canvas_->dc_, dib_.handle ? static_cast<HGDIOBJ>(dib_.handle.Get()) : canvas_->stockBitmap_);
}

void TBitmap::Adopt(TDibData&& dib)
{
    DetachFromCanvas();
    dib_ = std::move(dib);
    AttachToCanvas();
    Changed();
}

void* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= dib_.height || !dib_.bits)
        throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();
    return dib_.Row(Row);
}

void TBitmap::SetWidth(int Value) { SetSize(Value, dib_.height); }

void TBitmap::SetHeight(int Value) { SetSize(dib_.width, Value); }

void TBitmap::SetSize(int Width, int Height)
{
    if (Width < 0 || Height < 0)
        throw EInvalidGraphicOperation("Invalid bitmap size");
    if (Width == dib_.width && Height == dib_.height)
        return;
    Resize(Width, Height);
}

// A new size keeps the image's top-left part; new pixels take the canvas brush colour (white
// while there is no canvas).
void TBitmap::Resize(int width, int height)
{
    TDibData d = TDibData::Make(width, height, dib_.format, dib_.colors);
    if (d.bits) {
        int copyW = std::min(width, dib_.width), copyH = std::min(height, dib_.height);
        if (width > copyW || height > copyH) {
            TColor fill = ColorToRGB(canvas_ ? canvas_->Brush()->Color() : clWhite);
            Byte r = GetRValue(fill), g = GetGValue(fill), b = GetBValue(fill);
            const std::size_t bytes = static_cast<std::size_t>(d.RowBytes()) * static_cast<std::size_t>(height);
            if (d.BitsPerPixel() >= 24 && r == g && g == b) {
                std::memset(d.bits, r, bytes);
            } else if (d.BitsPerPixel() >= 24) {
                const int step = d.BitsPerPixel() / 8;
                for (int y = 0; y < height; ++y) {
                    Byte* p = d.Row(y);
                    for (int x = 0; x < width; ++x, p += step) {
                        p[0] = b;
                        p[1] = g;
                        p[2] = r;
                        if (step == 4)
                            p[3] = 0;
                    }
                }
            } else { // the nearest colour of the table, found by the system
                TMemoryDC dc;
                dc.Select(d.handle.Get());
                TGdiHandle<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(fill)));
                RECT rect{0, 0, width, height};
                ::FillRect(dc.Get(), &rect, brush.Get());
                GdiFlush();
            }
        }
        if (copyW > 0 && copyH > 0 && dib_.bits) {
            GdiFlush();
            int bpp = dib_.BitsPerPixel();
            std::size_t wholeBytes = static_cast<std::size_t>(copyW) * bpp / 8;
            int restPixels = bpp < 8 ? (copyW * bpp % 8) / bpp : 0;
            for (int y = 0; y < copyH; ++y) {
                Byte* dst = d.Row(y);
                const Byte* src = dib_.Row(y);
                std::memcpy(dst, src, wholeBytes);
                if (restPixels) { // the leading pixels of a partly used byte
                    Byte keep = static_cast<Byte>(0xFF >> (restPixels * bpp));
                    dst[wholeBytes] = static_cast<Byte>((dst[wholeBytes] & keep) | (src[wholeBytes] & ~keep));
                }
            }
        }
    }
    Adopt(std::move(d));
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == pfCustom)
        throw EInvalidGraphicOperation("Invalid pixel format");
    if (Value != pf1bit && Value != pf4bit && Value != pf8bit && Value != pf32bit)
        Value = pf24bit;
    if (Value == dib_.format)
        return;
    TDibData d = TDibData::Make(dib_.width, dib_.height, Value);
    if (d.bits && dib_.bits) {
        GdiFlush();
        if (dib_.format == pf24bit && Value == pf32bit) {
            for (int y = 0; y < d.height; ++y) {
                const Byte* s = dib_.Row(y);
                Byte* t = d.Row(y);
                for (int x = 0; x < d.width; ++x, s += 3, t += 4) {
                    t[0] = s[0];
                    t[1] = s[1];
                    t[2] = s[2];
                    t[3] = 0;
                }
            }
        } else if (dib_.format == pf32bit && Value == pf24bit) {
            for (int y = 0; y < d.height; ++y) {
                const Byte* s = dib_.Row(y);
                Byte* t = d.Row(y);
                for (int x = 0; x < d.width; ++x, s += 4, t += 3) {
                    t[0] = s[0];
                    t[1] = s[1];
                    t[2] = s[2];
                }
            }
        } else {
            DetachFromCanvas();
            TMemoryDC src, dst;
            src.Select(dib_.handle.Get());
            dst.Select(d.handle.Get());
            BitBlt(dst.Get(), 0, 0, d.width, d.height, src.Get(), 0, 0, SRCCOPY);
            GdiFlush();
        }
    }
    Adopt(std::move(d));
}

void TBitmap::SetColorTable(const std::vector<RGBQUAD>& Colors)
{
    if (dib_.BitsPerPixel() > 8)
        return;
    std::vector<RGBQUAD> c = Colors;
    c.resize(std::size_t(1) << dib_.BitsPerPixel(), RGBQUAD{0, 0, 0, 0});
    dib_.colors = c;
    if (dib_.handle) {
        DetachFromCanvas();
        {
            TMemoryDC dc;
            dc.Select(dib_.handle.Get());
            SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(c.size()), c.data());
        }
        AttachToCanvas();
    }
    Changed();
}

TColor TBitmap::TransparentColor()
{
    if (transparentMode_ == tmFixed)
        return transparentColor_;
    if (Empty())
        return clDefault;
    GdiFlush();
    const Byte* row = dib_.Row(dib_.height - 1);
    int index = 0;
    switch (dib_.format) {
    case pf1bit: index = row[0] >> 7; break;
    case pf4bit: index = row[0] >> 4; break;
    case pf8bit: index = row[0]; break;
    default: return RGB(row[2], row[1], row[0]);
    }
    const RGBQUAD& q = dib_.colors[static_cast<std::size_t>(index)];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value == transparentColor_ && transparentMode_ == (Value == clDefault ? tmAuto : tmFixed))
        return;
    transparentColor_ = Value;
    transparentMode_ = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == transparentMode_)
        return;
    if (Value == tmAuto)
        transparentColor_ = clDefault;
    else
        transparentColor_ = TransparentColor();
    transparentMode_ = Value;
    Changed();
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this)
            return;
        TDibData d = TDibData::Make(b->dib_.width, b->dib_.height, b->dib_.format, b->dib_.colors);
        if (d.bits) {
            GdiFlush();
            std::memcpy(d.bits, b->dib_.bits, static_cast<std::size_t>(d.RowBytes()) * static_cast<std::size_t>(d.height));
        }
        transparentColor_ = b->transparentColor_;
        transparentMode_ = b->transparentMode_;
        SetTransparent(b->Transparent());
        if (b->canvas_)
            Canvas()->Brush()->Assign(b->canvas_->Brush());
        Adopt(std::move(d));
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Another kind of graphic is drawn into a 24-bit image of its size.
        TDibData d = TDibData::Make(g->Width(), g->Height(), pf24bit);
        if (d.bits)
            std::memset(d.bits, 0xFF, static_cast<std::size_t>(d.RowBytes()) * static_cast<std::size_t>(d.height));
        Adopt(std::move(d));
        if (!Empty())
            Canvas()->Draw(0, 0, g);
        return;
    }
    inherited::Assign(Source);
}

std::vector<Byte> TBitmap::InfoHeader() const
{
    DibInfo info;
    FillInfo(info, dib_.width, dib_.height, dib_.BitsPerPixel(), dib_.colors);
    std::size_t size = sizeof(BITMAPINFOHEADER) + info.header.biClrUsed * sizeof(RGBQUAD);
    const Byte* p = reinterpret_cast<const Byte*>(&info);
    return std::vector<Byte>(p, p + size);
}

void TBitmap::Draw(TCanvas* ACanvas, const RECT& Rect)
{
    if (Empty())
        return;
    HDC dc = ACanvas->Handle();
    int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    GdiFlush();
    if (Transparent()) {
        HDC src = Canvas()->Handle();
        TransparentBlt(dc, Rect.left, Rect.top, w, h, src, 0, 0, dib_.width, dib_.height,
                       static_cast<UINT>(ColorToRGB(TransparentColor()) & 0xFFFFFF));
        return;
    }
    std::vector<Byte> info = InfoHeader();
    if (dib_.format != pf1bit)
        SetStretchBltMode(dc, STRETCH_DELETESCANS);
    StretchDIBits(dc, Rect.left, Rect.top, w, h, 0, 0, dib_.width, dib_.height, dib_.bits,
                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, static_cast<DWORD>(ACanvas->CopyMode()));
}

void TBitmap::SetHandle(HBITMAP Value)
{
    if (!Value) {
        Adopt(TDibData::Make(0, 0, dib_.format));
        return;
    }
    TGdiHandle<HBITMAP> owned(Value);
    BITMAP bm{};
    if (!GetObjectA(Value, sizeof bm, &bm))
        throw EInvalidGraphic("Invalid bitmap handle");
    int bits = bm.bmBitsPixel * bm.bmPlanes;
    TPixelFormat fmt = bits <= 1 ? pf1bit : bits <= 4 ? pf4bit : bits <= 8 ? pf8bit : bits == 32 ? pf32bit : pf24bit;
    TDibData d = TDibData::Make(bm.bmWidth, std::abs(bm.bmHeight), fmt);
    if (d.bits) {
        DibInfo info;
        FillInfo(info, d.width, d.height, d.BitsPerPixel(), d.colors);
        HDC screen = GetDC(nullptr);
        int got = GetDIBits(screen, Value, 0, static_cast<UINT>(d.height), d.bits, reinterpret_cast<BITMAPINFO*>(&info),
                            DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (!got)
            throw EInvalidGraphic("Invalid bitmap handle");
        if (d.BitsPerPixel() <= 8) {
            d.colors.assign(info.colors, info.colors + (std::size_t(1) << d.BitsPerPixel()));
            TMemoryDC dc;
            dc.Select(d.handle.Get());
            SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(d.colors.size()), d.colors.data());
        }
    }
    Adopt(std::move(d));
}

HBITMAP TBitmap::ReleaseHandle()
{
    DetachFromCanvas();
    HBITMAP h = dib_.handle.Release();
    Adopt(TDibData::Make(0, 0, dib_.format));
    return h;
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName)
{
    HANDLE h = LoadImageA(Instance, ResName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h)
        throw EInvalidGraphic("Resource " + ResName + " not found");
    SetHandle(static_cast<HBITMAP>(h));
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID)
{
    HANDLE h = LoadImageA(Instance, MAKEINTRESOURCEA(ResID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h)
        throw EInvalidGraphic("Resource " + std::to_string(ResID) + " not found");
    SetHandle(static_cast<HBITMAP>(h));
}

// ---------------------------------------------------------------------------------------------
// Windows bitmap files. The input is untrusted: every offset and size is computed in 64 bits and
// checked against the data before use, and every pixel write against the image.

namespace {

[[noreturn]] void Invalid(const char* why = "Bitmap image is not valid")
{
    throw EInvalidGraphic(why);
}

class Bytes {
public:
    Bytes(const Byte* p, std::size_t n) : p_(p), n_(n) {}
    std::size_t Size() const { return n_; }
    bool Has(std::uint64_t off, std::uint64_t len) const { return off <= n_ && len <= n_ - off; }
    std::uint32_t U8(std::uint64_t off) const { return Need(off, 1)[0]; }
    std::uint32_t U16(std::uint64_t off) const
    {
        const Byte* b = Need(off, 2);
        return b[0] | (b[1] << 8);
    }
    std::uint32_t U32(std::uint64_t off) const
    {
        const Byte* b = Need(off, 4);
        return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::int32_t I32(std::uint64_t off) const { return static_cast<std::int32_t>(U32(off)); }
    const Byte* Need(std::uint64_t off, std::uint64_t len) const
    {
        if (!Has(off, len))
            Invalid();
        return p_ + off;
    }

private:
    const Byte* p_;
    std::size_t n_;
};

// One channel described by a bit mask, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        while (bits + shift < 32 && ((m >> (shift + bits)) & 1))
            ++bits;
    }
    Byte Get(std::uint32_t px) const
    {
        if (!bits)
            return 0;
        std::uint32_t v = (px & mask) >> shift;
        std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        v &= max;
        return static_cast<Byte>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
    }
};

void SetIndex(Byte* row, int x, int bpp, unsigned index)
{
    if (bpp == 8) {
        row[x] = static_cast<Byte>(index);
    } else { // 4 bits
        Byte& b = row[x >> 1];
        if (x & 1)
            b = static_cast<Byte>((b & 0xF0) | (index & 0x0F));
        else
            b = static_cast<Byte>((b & 0x0F) | ((index & 0x0F) << 4));
    }
}

// Decodes RLE8 or RLE4 data into a bottom-up image (row 0 in memory is the bottom row). Runs may
// reach into the padding at the end of a row, as common tools write them for widths that are not a
// multiple of four; what lies past the image's width is dropped. Runs past a row's padding are
// refused.
void DecodeRle(const Bytes& in, std::uint64_t pos, TDibData& d, int bpp)
{
    const int w = d.width, h = d.height;
    const std::size_t stride = static_cast<std::size_t>(d.RowBytes());
    const unsigned capacity = static_cast<unsigned>(stride * 8 / static_cast<unsigned>(bpp)); // padding included
    auto memRow = [&](int y) { return d.bits + static_cast<std::size_t>(y) * stride; };
    int x = 0, y = 0;
    while (true) {
        if (!in.Has(pos, 2)) {
            if (pos >= in.Size())
                return; // data ended without the end-of-bitmap mark: keep what was decoded
            Invalid("Bitmap image is not valid: truncated RLE data");
        }
        unsigned count = in.U8(pos), value = in.U8(pos + 1);
        pos += 2;
        if (count > 0) { // a run of one index (RLE8) or two alternating indexes (RLE4)
            if (y >= h || capacity - static_cast<unsigned>(x) < count)
                Invalid("Bitmap image is not valid: RLE run outside the image");
            Byte* row = memRow(y);
            for (unsigned i = 0; i < count; ++i, ++x)
                if (x < w)
                    SetIndex(row, x, bpp, bpp == 8 ? value : (i & 1) ? (value & 0x0F) : (value >> 4));
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            if (++y > h)
                Invalid("Bitmap image is not valid: RLE lines outside the image");
            break;
        case 1: // end of bitmap
            return;
        case 2: { // delta
            unsigned dx = in.U8(pos), dy = in.U8(pos + 1);
            pos += 2;
            x += static_cast<int>(dx);
            y += static_cast<int>(dy);
            if (static_cast<unsigned>(x) > capacity || y > h || (y == h && x > 0))
                Invalid("Bitmap image is not valid: RLE delta outside the image");
            break;
        }
        default: { // absolute run of `value` indexes
            unsigned n = value;
            std::uint64_t bytes = bpp == 8 ? n : (n + 1) / 2;
            const Byte* src = in.Need(pos, bytes);
            pos += (bytes + 1) & ~std::uint64_t(1);
            if (y >= h || capacity - static_cast<unsigned>(x) < n)
                Invalid("Bitmap image is not valid: RLE run outside the image");
            Byte* row = memRow(y);
            for (unsigned i = 0; i < n; ++i, ++x)
                if (x < w)
                    SetIndex(row, x, bpp, bpp == 8 ? src[i] : (i & 1) ? (src[i / 2] & 0x0F) : (src[i / 2] >> 4));
            break;
        }
        }
    }
}

// The file and info headers of a bitmap file, checked.
struct BmpHeader {
    std::uint32_t offBits = 0, infoSize = 0;
    std::int64_t width = 0, height = 0;
    unsigned bpp = 0, compression = BI_RGB;
    std::uint64_t clrUsed = 0;
    unsigned entrySize = 4; // bytes of a colour table entry
    bool topDown = false;
    // Bits per pixel of the image as read (16-bit images become 24-bit ones).
    int ImageBits() const { return bpp == 16 ? 24 : static_cast<int>(bpp); }
};

BmpHeader ReadBmpHeader(const Bytes& in)
{
    const std::size_t size = in.Size();
    if (size < 14 + 12 || in.U8(0) != 'B' || in.U8(1) != 'M')
        Invalid();
    BmpHeader h;
    auto& [offBits, infoSize, width, height, bpp, compression, clrUsed, entrySize, topDown] = h;
    offBits = in.U32(10);
    infoSize = in.U32(14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Invalid("Bitmap image is not valid: unknown header");
    const std::uint64_t hdr = 14;
    if (!in.Has(hdr, infoSize))
        Invalid("Bitmap image is not valid: truncated header");

    unsigned planes;
    if (infoSize == 12) {
        width = in.U16(hdr + 4);
        height = in.U16(hdr + 6);
        planes = in.U16(hdr + 8);
        bpp = in.U16(hdr + 10);
        entrySize = 3;
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
            Invalid("Bitmap image is not valid: bit count");
    } else {
        width = in.I32(hdr + 4);
        height = in.I32(hdr + 8);
        planes = in.U16(hdr + 12);
        bpp = in.U16(hdr + 14);
        compression = in.U32(hdr + 16);
        clrUsed = in.U32(hdr + 32);
    }
    if (planes != 1)
        Invalid("Bitmap image is not valid: planes");
    topDown = height < 0;
    if (topDown)
        height = -height;
    if (width < 0 || width > MaxBitmapSide || height > MaxBitmapSide)
        Invalid("Bitmap image is not valid: dimensions");

    switch (compression) {
    case BI_RGB:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            Invalid("Bitmap image is not valid: bit count");
        break;
    case BI_RLE8:
        if (bpp != 8 || topDown)
            Invalid("Bitmap image is not valid: compression");
        break;
    case BI_RLE4:
        if (bpp != 4 || topDown)
            Invalid("Bitmap image is not valid: compression");
        break;
    case BI_BITFIELDS:
        if (bpp != 16 && bpp != 32)
            Invalid("Bitmap image is not valid: compression");
        break;
    default: Invalid("Bitmap image is not valid: compression");
    }
    return h;
}

TDibData ReadBmp(const Byte* data, std::size_t size)
{
    Bytes in(data, size);
    const BmpHeader header = ReadBmpHeader(in);
    const auto& [offBits, infoSize, width, height, bpp, compression, clrUsed, entrySize, topDown] = header;
    const std::uint64_t hdr = 14;

    // Colour masks of 16 and 32-bit images.
    std::uint64_t afterHeader = hdr + infoSize;
    Channel red, green, blue, alpha;
    if (bpp == 16) {
        red = Channel(0x7C00);
        green = Channel(0x03E0);
        blue = Channel(0x001F);
    } else if (bpp == 32) {
        red = Channel(0x00FF0000);
        green = Channel(0x0000FF00);
        blue = Channel(0x000000FF);
    }
    if (compression == BI_BITFIELDS) {
        std::uint64_t at = hdr + 40;
        if (infoSize == 40)
            afterHeader += 12;
        red = Channel(in.U32(at));
        green = Channel(in.U32(at + 4));
        blue = Channel(in.U32(at + 8));
        if (infoSize >= 56)
            alpha = Channel(in.U32(at + 12));
    }

    // Colour table.
    std::vector<RGBQUAD> colors;
    std::uint64_t tableEnd = afterHeader;
    if (bpp <= 8) {
        std::uint64_t maxColors = std::uint64_t(1) << bpp;
        std::uint64_t n = clrUsed ? clrUsed : maxColors;
        if (n > maxColors)
            Invalid("Bitmap image is not valid: colour count");
        const Byte* t = in.Need(afterHeader, n * entrySize);
        for (std::uint64_t i = 0; i < n; ++i)
            colors.push_back(RGBQUAD{t[i * entrySize], t[i * entrySize + 1], t[i * entrySize + 2], 0});
        tableEnd = afterHeader + n * entrySize;
    } else if (clrUsed) {
        if (clrUsed > 256)
            Invalid("Bitmap image is not valid: colour count");
        tableEnd = afterHeader + clrUsed * entrySize;
    }

    std::uint64_t pixels = offBits ? offBits : tableEnd;
    if (pixels < afterHeader || pixels > size || (bpp <= 8 && pixels < tableEnd))
        Invalid("Bitmap image is not valid: pixel data offset");

    // Uncompressed pixels must all be present before anything is allocated for them.
    const std::uint64_t srcStride = static_cast<std::uint64_t>(RowBytesOf(width, static_cast<int>(bpp)));
    const Byte* src = nullptr;
    if (compression != BI_RLE8 && compression != BI_RLE4)
        src = in.Need(pixels, srcStride * static_cast<std::uint64_t>(height));

    TPixelFormat fmt = bpp == 1 ? pf1bit : bpp == 4 ? pf4bit : bpp == 8 ? pf8bit : bpp == 32 ? pf32bit : pf24bit;
    TDibData d;
    try {
        d = TDibData::Make(static_cast<int>(width), static_cast<int>(height), fmt, colors);
    } catch (const EInvalidGraphicOperation&) {
        Invalid("Bitmap image is not valid: too large");
    }
    if (!d.bits)
        return d;
    GdiFlush();
    const int w = d.width, h = d.height;
    const std::size_t dstStride = static_cast<std::size_t>(d.RowBytes());

    if (compression == BI_RLE8 || compression == BI_RLE4) {
        std::memset(d.bits, 0, dstStride * static_cast<std::size_t>(h));
        DecodeRle(in, pixels, d, bpp);
        return d;
    }

    for (int y = 0; y < h; ++y) {
        // y counts image rows from the top.
        const Byte* s = src + (topDown ? static_cast<std::uint64_t>(y) : static_cast<std::uint64_t>(h - 1 - y)) * srcStride;
        Byte* t = d.Row(y);
        if (bpp <= 8 || (bpp == 24) || (bpp == 32 && compression == BI_RGB)) {
            std::memcpy(t, s, static_cast<std::size_t>(srcStride));
        } else if (bpp == 16) {
            for (int x = 0; x < w; ++x, t += 3) {
                std::uint32_t px = s[2 * x] | (s[2 * x + 1] << 8);
                t[0] = blue.Get(px);
                t[1] = green.Get(px);
                t[2] = red.Get(px);
            }
        } else { // 32 bits with masks
            for (int x = 0; x < w; ++x, t += 4) {
                const Byte* p = s + 4 * x;
                std::uint32_t px = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
                t[0] = blue.Get(px);
                t[1] = green.Get(px);
                t[2] = red.Get(px);
                t[3] = alpha.Get(px);
            }
        }
    }
    return d;
}

} // namespace

std::int64_t BitmapFilePixelBytes(const void* Data, std::size_t Size)
{
    const BmpHeader h = ReadBmpHeader(Bytes(static_cast<const Byte*>(Data), Size));
    return RowBytesOf(h.width, h.ImageBits()) * h.height;
}

void TBitmap::LoadFromMemory(const void* Data, std::size_t Size)
{
    TDibData d = ReadBmp(static_cast<const Byte*>(Data), Size);
    Adopt(std::move(d));
}

std::vector<Byte> TBitmap::SaveToMemory()
{
    std::vector<Byte> info = InfoHeader();
    std::size_t pixels = static_cast<std::size_t>(dib_.RowBytes()) * static_cast<std::size_t>(dib_.height);
    std::size_t off = sizeof(BITMAPFILEHEADER) + info.size();
    std::vector<Byte> out(off + pixels);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfSize = static_cast<DWORD>(out.size());
    fh.bfOffBits = static_cast<DWORD>(off);
    std::memcpy(out.data(), &fh, sizeof fh);
    auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    ih->biSizeImage = static_cast<DWORD>(pixels);
    std::memcpy(out.data() + sizeof fh, info.data(), info.size());
    if (pixels) {
        GdiFlush();
        std::memcpy(out.data() + off, dib_.bits, pixels);
    }
    return out;
}
