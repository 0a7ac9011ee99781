// Icons and pictures.
#include <algorithm>
#include <cstring>

#include "ClassesStreams.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TIcon

namespace {

std::uint32_t Le16(const Byte* p) { return p[0] | (p[1] << 8); }
std::uint32_t Le32(const Byte* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24); }

[[noreturn]] void BadIcon() { throw EInvalidGraphic("Icon image is not valid"); }

// Checks that an icon image (a DIB with its colour and mask planes) lies within its entry, so
// that the system's icon builder only sees consistent data.
void CheckIconImage(const Byte* p, std::uint64_t size)
{
    if (size >= 8 && std::memcmp(p, "\x89PNG", 4) == 0)
        return; // compressed image, checked by the system
    if (size < 40 || Le32(p) != 40)
        BadIcon();
    std::int64_t w = static_cast<std::int32_t>(Le32(p + 4)), h2 = static_cast<std::int32_t>(Le32(p + 8));
    unsigned bpp = Le16(p + 14), compression = Le32(p + 16);
    std::uint64_t clrUsed = Le32(p + 32);
    if (w <= 0 || w > 256 || h2 <= 0 || h2 > 512 || Le16(p + 12) != 1 || compression != BI_RGB ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
        BadIcon();
    std::uint64_t colors = bpp <= 8 ? (clrUsed ? clrUsed : (1u << bpp)) : 0;
    if (bpp <= 8 && colors > (1u << bpp))
        BadIcon();
    std::uint64_t h = static_cast<std::uint64_t>(h2) / 2;
    std::uint64_t need = 40 + colors * 4 + ((w * bpp + 31) / 32) * 4 * h + ((w + 31) / 32) * 4 * h;
    if (need > size)
        BadIcon();
}

} // namespace

TIcon::~TIcon()
{
    if (handle_)
        DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON Value)
{
    if (Value == handle_)
        return;
    if (handle_)
        DestroyIcon(handle_);
    handle_ = Value;
    data_.clear();
    width_ = height_ = 0;
    ICONINFO ii{};
    if (Value && GetIconInfo(Value, &ii)) {
        BITMAP bm{};
        if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight;
        } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight / 2;
        }
        if (ii.hbmColor)
            DeleteObject(ii.hbmColor);
        if (ii.hbmMask)
            DeleteObject(ii.hbmMask);
    }
    Changed();
}

HICON TIcon::ReleaseHandle()
{
    HICON h = handle_;
    handle_ = nullptr;
    data_.clear();
    width_ = height_ = 0;
    Changed();
    return h;
}

void TIcon::SetWidth(int Value)
{
    if (handle_)
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
    requestedWidth_ = Value;
}

void TIcon::SetHeight(int Value)
{
    if (handle_)
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
    requestedHeight_ = Value;
}

void TIcon::Assign(TPersistent* Source)
{
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        if (i == this)
            return;
        std::vector<Byte> data = i->data_;
        SetHandle(i->handle_ ? CopyIcon(i->handle_) : nullptr);
        data_ = std::move(data);
        return;
    }
    inherited::Assign(Source);
}

void TIcon::LoadFromMemory(const void* Data, std::size_t Size)
{
    const Byte* p = static_cast<const Byte*>(Data);
    if (!p || Size < 6 || Le16(p) != 0 || Le16(p + 2) != 1)
        BadIcon();
    unsigned count = Le16(p + 4);
    if (count == 0 || 6 + std::uint64_t(count) * 16 > Size)
        BadIcon();
    int wantW = requestedWidth_ > 0 ? requestedWidth_ : GetSystemMetrics(SM_CXICON);
    int wantH = requestedHeight_ > 0 ? requestedHeight_ : GetSystemMetrics(SM_CYICON);
    // The entry nearest the wanted size, the deeper one among equals.
    unsigned best = 0;
    std::int64_t bestScore = -1;
    for (unsigned i = 0; i < count; ++i) {
        const Byte* e = p + 6 + i * 16;
        int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        std::int64_t score = (std::abs(w - wantW) + std::abs(h - wantH)) * 64 - std::min<int>(Le16(e + 6), 63);
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    const Byte* e = p + 6 + best * 16;
    std::uint64_t size = Le32(e + 8), offset = Le32(e + 12);
    if (offset > Size || size > Size - offset || size == 0)
        BadIcon();
    CheckIconImage(p + offset, size);
    int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(p + offset), static_cast<DWORD>(size), TRUE, 0x00030000, w, h,
                                          LR_DEFAULTCOLOR);
    if (!icon)
        BadIcon();
    SetHandle(icon);
    data_.assign(p, p + Size);
}

// The original file when the icon was loaded from one; otherwise a one-image icon file made
// from the handle (32-bit colour and the mask).
std::vector<Byte> TIcon::SaveToMemory()
{
    if (!data_.empty() || !handle_)
        return data_;
    ICONINFO ii{};
    if (!GetIconInfo(handle_, &ii))
        throw EInvalidGraphic("Icon image is not valid");
    TGdiHandle<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    int w = width_, h = height_;
    if (w <= 0 || h <= 0 || w > 256 || h > 256)
        throw EInvalidGraphic("Icon image is not valid");
    std::size_t colorBytes = static_cast<std::size_t>(w) * 4 * h;
    std::size_t maskStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4, maskBytes = maskStride * h;
    std::vector<Byte> pixels(colorBytes), maskBits(maskBytes);
    struct {
        BITMAPINFOHEADER hdr;
        RGBQUAD colors[2];
    } bi{};
    bi.hdr.biSize = sizeof(BITMAPINFOHEADER);
    bi.hdr.biWidth = w;
    bi.hdr.biHeight = h;
    bi.hdr.biPlanes = 1;
    bi.hdr.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    bool ok = true;
    if (color)
        ok = GetDIBits(screen, color.Get(), 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                       DIB_RGB_COLORS) != 0;
    bi.hdr.biBitCount = 1;
    ok = ok && GetDIBits(screen, mask.Get(), color ? 0 : static_cast<UINT>(h), static_cast<UINT>(h), maskBits.data(),
                         reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != 0;
    ReleaseDC(nullptr, screen);
    if (!ok)
        throw EInvalidGraphic("Icon image is not valid");
    std::vector<Byte> out;
    auto put16 = [&](unsigned v) { out.push_back(static_cast<Byte>(v)); out.push_back(static_cast<Byte>(v >> 8)); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    put16(0);
    put16(1);
    put16(1);
    out.push_back(static_cast<Byte>(w & 0xFF));
    out.push_back(static_cast<Byte>(h & 0xFF));
    out.push_back(0);
    out.push_back(0);
    put16(1);
    put16(32);
    put32(static_cast<std::uint32_t>(40 + colorBytes + maskBytes));
    put32(22);
    put32(40);
    put32(static_cast<std::uint32_t>(w));
    put32(static_cast<std::uint32_t>(h * 2));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    out.insert(out.end(), maskBits.begin(), maskBits.end());
    return out;
}

void TIcon::Draw(TCanvas* ACanvas, const RECT& Rect)
{
    if (!handle_)
        return;
    DrawIconEx(ACanvas->Handle(), Rect.left, Rect.top, handle_, Rect.right - Rect.left, Rect.bottom - Rect.top, 0, nullptr,
               DI_NORMAL);
}

// ---------------------------------------------------------------------------------------------
// TPicture

namespace {

std::unique_ptr<TGraphic> NewGraphicLike(TGraphic* g)
{
    if (dynamic_cast<TBitmap*>(g))
        return std::make_unique<TBitmap>();
    if (dynamic_cast<TJPEGImage*>(g))
        return std::make_unique<TJPEGImage>();
    if (dynamic_cast<TIcon*>(g))
        return std::make_unique<TIcon>();
    throw EInvalidGraphic(AnsiString("Unsupported graphic class ") + g->ClassName());
}

// The picture formats a picture loads, by file extension (upper case, with the dot).
struct TPictureFormat {
    const char* Extension;
    const char* Description;
    std::unique_ptr<TGraphic> (*Make)();
};
template <class G>
std::unique_ptr<TGraphic> MakeGraphic()
{
    return std::make_unique<G>();
}
const TPictureFormat kPictureFormats[] = {
    {".BMP", "Bitmaps", MakeGraphic<TBitmap>},
    {".JPG", "JPEG Image File", MakeGraphic<TJPEGImage>},
    {".JPEG", "JPEG Image File", MakeGraphic<TJPEGImage>},
    {".ICO", "Icons", MakeGraphic<TIcon>},
};

AnsiString UpperExtension(const AnsiString& name)
{
    std::size_t dot = name.find_last_of(".\\/:");
    if (dot == AnsiString::npos || name[dot] != '.')
        return "";
    AnsiString ext = name.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return ext;
}

} // namespace

TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> g)
{
    graphic_ = std::move(g);
    if (graphic_)
        graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (Value == graphic_.get())
        return;
    if (!Value) {
        Take(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> g = NewGraphicLike(Value);
    g->Assign(Value);
    Take(std::move(g));
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(graphic_.get()))
        Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(graphic_.get()))
        Take(std::make_unique<TIcon>());
    return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const AnsiString& FileName)
{
    AnsiString ext = UpperExtension(FileName);
    std::unique_ptr<TGraphic> g;
    for (const TPictureFormat& f : kPictureFormats)
        if (ext == f.Extension)
            g = f.Make();
    if (!g)
        throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    g->LoadFromFile(FileName);
    Take(std::move(g));
}

void TPicture::SaveToFile(const AnsiString& FileName)
{
    if (graphic_)
        graphic_->SaveToFile(FileName);
}

void TPicture::WriteData(TStream* Stream)
{
    AnsiString name = graphic_ ? graphic_->ClassName() : AnsiString();
    Byte len = static_cast<Byte>(name.size());
    Stream->WriteBuffer(&len, 1);
    if (len)
        Stream->WriteBuffer(name.data(), len);
    if (graphic_)
        graphic_->WriteData(Stream);
}

void TPicture::ReadData(TStream* Stream)
{
    Byte len = 0;
    Stream->ReadBuffer(&len, 1);
    AnsiString name(len, '\0');
    if (len)
        Stream->ReadBuffer(name.data(), len);
    std::unique_ptr<TGraphic> g;
    if (name.empty()) {
        Take(nullptr);
        return;
    }
    if (name == "TBitmap")
        g = std::make_unique<TBitmap>();
    else if (name == "TJPEGImage")
        g = std::make_unique<TJPEGImage>();
    else if (name == "TIcon")
        g = std::make_unique<TIcon>();
    else
        throw EInvalidGraphic("Unknown picture class " + name);
    g->ReadData(Stream);
    Take(std::move(g));
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->graphic_.get());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    inherited::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest)
{
    if (graphic_ && dynamic_cast<TGraphic*>(Dest)) {
        Dest->Assign(graphic_.get());
        return;
    }
    inherited::AssignTo(Dest);
}

AnsiString GraphicFilter()
{
    AnsiString all, each;
    for (const TPictureFormat& f : kPictureFormats) {
        const AnsiString mask = "*" + AnsiLowerCase(f.Extension);
        all += (all.empty() ? "" : ";") + mask;
        each += AnsiString("|") + f.Description + " (" + mask + ")|" + mask;
    }
    return "All (" + all + ")|" + all + each;
}
