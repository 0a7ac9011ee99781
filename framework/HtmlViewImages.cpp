// The pictures of a page under one memory budget.
#include "HtmlViewImages.h"

#include <cstring>
#include <vector>

#include "Graphics.h"
#include "HtmlViewWindow.h"
#include "Jpeg.h"

namespace htmlview {

namespace {

constexpr std::uint64_t kHeaderRoom = 64 * 1024; // headers and colour tables besides the pixels

bool EndsWithNoCase(const std::string& s, const char* tail)
{
    const size_t n = std::strlen(tail);
    return s.size() >= n && FoldCase(s.substr(s.size() - n)) == tail;
}

// The whole file, when it is no larger than `most` bytes (a larger one cannot hold a picture that
// fits). Read directly rather than through the runtime's file seam: pages load in a worker thread.
bool ReadPictureFile(const std::string& path, std::uint64_t most, std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    DWORD got = 0;
    bool ok = GetFileSizeEx(h, &size) && std::uint64_t(size.QuadPart) <= most;
    if (ok) {
        bytes.resize(size_t(size.QuadPart));
        ok = bytes.empty() || (ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size());
    }
    CloseHandle(h);
    return ok;
}

void CollectSources(const Node* n, std::vector<const std::string*>& out)
{
    if (n->kind == Node::Element && n->tag == "img")
        if (const std::string* src = n->Attr("src"))
            out.push_back(src);
    for (const auto& c : n->children)
        CollectSources(c.get(), out);
}

} // namespace

void PageImages::FreeGraphic::operator()(TGraphic* g) const { g->Free(); }

PageImages::PageImages(std::string base, std::int64_t budget, std::int64_t limit)
    : base_(std::move(base)), budget_(budget), limit_(limit)
{
}

PageImages::~PageImages() = default;

void PageImages::ReadAll(const Document& doc)
{
    std::vector<const std::string*> sources;
    CollectSources(doc.root.get(), sources);
    for (const std::string* src : sources)
        Get(*src);
}

bool PageImages::ImageSize(const std::string& src, int& w, int& h)
{
    const Entry& e = Get(src);
    w = e.w;
    h = e.h;
    return e.bmp != nullptr;
}

bool PageImages::DrawImage(HDC dc, const std::string& src, const RECT& dest)
{
    const Entry& e = Get(src);
    if (!e.bmp)
        return false;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return false;
    HGDIOBJ old = SelectObject(mem, e.bmp);
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, mem, 0, 0, e.w, e.h,
               SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SelectObject(mem, old);
    DeleteDC(mem);
    return true;
}

const PageImages::Entry& PageImages::Get(const std::string& src)
{
    auto it = cache_.find(src);
    if (it != cache_.end())
        return *it->second;
    auto e = std::make_unique<Entry>();
    std::string path = src.empty() ? std::string() : AddressToPath(ResolveReference(base_, src));
    size_t hash = path.find('#');
    if (hash != std::string::npos)
        path.resize(hash);
    try {
        Read(path, *e);
    } catch (...) {
        // A damaged or unreadable picture shows as a box with its alt text.
        e = std::make_unique<Entry>();
    }
    if (!e->bmp)
        e = std::make_unique<Entry>();
    return *cache_.emplace(src, std::move(e)).first->second;
}

// Reads the picture at `path` when its declared size fits the limit and what is left of the
// budget; the size is known from the file's header before any pixel memory is taken.
void PageImages::Read(const std::string& path, Entry& e)
{
    const bool isBitmap = EndsWithNoCase(path, ".bmp");
    if (path.empty() || (!isBitmap && !EndsWithNoCase(path, ".jpg") && !EndsWithNoCase(path, ".jpeg")))
        return;
    std::string bytes;
    if (!ReadPictureFile(path, std::uint64_t(limit_) + kHeaderRoom, bytes))
        return;
    auto fits = [&](std::int64_t need) { return need <= limit_ && need <= budget_ - used_; };
    std::int64_t need = 0;
    TBitmap* bitmap = nullptr;
    if (isBitmap) {
        need = BitmapFilePixelBytes(bytes.data(), bytes.size());
        if (!fits(need))
            return;
        std::unique_ptr<TGraphic, FreeGraphic> b(::Create<TBitmap>());
        b->LoadFromMemory(bytes.data(), bytes.size());
        bitmap = static_cast<TBitmap*>(b.get());
        e.graphic = std::move(b);
    } else {
        std::unique_ptr<TGraphic, FreeGraphic> j(::Create<TJPEGImage>());
        j->LoadFromMemory(bytes.data(), bytes.size());
        need = static_cast<TJPEGImage*>(j.get())->BitmapBytes();
        if (!fits(need))
            return;
        bitmap = static_cast<TJPEGImage*>(j.get())->Bitmap();
        e.graphic = std::move(j);
    }
    if (bitmap && !bitmap->Empty()) {
        bitmap->Dormant(); // its canvas must not hold the bitmap while we select it
        e.bmp = bitmap->Handle();
        e.w = bitmap->Width();
        e.h = bitmap->Height();
        used_ += need;
    }
}

} // namespace htmlview
