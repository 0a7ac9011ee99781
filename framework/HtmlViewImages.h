// The pictures of a page in our own browser view: BMP and JPEG files named by the page, read
// through the framework's bitmap and JPEG classes under one memory budget for the whole page and a
// limit for any one picture, so that small crafted files cannot make huge images. A picture that is
// missing, damaged, over the limit or past the budget is not shown: the page shows its alternative
// text in its place.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "HtmlViewDoc.h"
#include "HtmlViewLayout.h"

class TGraphic;

namespace htmlview {

// Pixel memory (bytes of decoded images) that one picture may take, and all pictures of one page
// together. A photo of fifty million pixels fits the limit; the budget holds two of them, or dozens
// of ordinary pictures. Crafted files that declare sides of tens of thousands of pixels do not fit.
constexpr std::int64_t PictureLimit = 160ll << 20;
constexpr std::int64_t PagePictureBudget = 384ll << 20;

class PageImages : public ImageSource {
public:
    // Pictures of the page at `base` (its path or address; references are resolved against it).
    explicit PageImages(std::string base, std::int64_t budget = PagePictureBudget,
                        std::int64_t limit = PictureLimit);
    ~PageImages() override;
    PageImages(const PageImages&) = delete;
    PageImages& operator=(const PageImages&) = delete;

    // Reads every picture the document names, in page order (which is the order the budget is
    // given out in); otherwise each is read when first asked for.
    void ReadAll(const Document& doc);

    bool ImageSize(const std::string& src, int& w, int& h) override;
    bool DrawImage(HDC dc, const std::string& src, const RECT& dest) override;

    // Pixel memory taken by the pictures read so far.
    std::int64_t Used() const { return used_; }

private:
    struct FreeGraphic {
        void operator()(TGraphic* g) const;
    };
    // A picture decoded through the framework's classes; `bmp` belongs to `graphic`.
    struct Entry {
        std::unique_ptr<TGraphic, FreeGraphic> graphic;
        HBITMAP bmp = nullptr;
        int w = 0, h = 0;
    };
    const Entry& Get(const std::string& src);
    void Read(const std::string& path, Entry& e);

    std::string base_;
    std::int64_t budget_, limit_;
    std::int64_t used_ = 0;
    std::map<std::string, std::unique_ptr<Entry>> cache_;
};

} // namespace htmlview
