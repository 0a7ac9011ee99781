// JPEG images decoded with libjpeg. libjpeg reports errors through a callback that must not
// return; ours jumps back with longjmp into a plain function that holds no object with a
// destructor, which turns the error into a code. The exception is raised only after that
// function has returned, so it never unwinds through libjpeg's frames.
#include "Jpeg.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // Where the compressed data ran out, when it did: the scan and the image rows it had reached
    // (as iMCU rows of `rowsOf`), and libjpeg's warning.
    int endedInScan;
    unsigned endedAtRow, rowsOf;
    char endedMessage[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a damaged but readable scan) are not shown anywhere; the first sign that the data ends
// before the image does is noted.
void OutputMessage(j_common_ptr) {}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if ((code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER) && err->endedInScan < 0 && cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        err->endedInScan = d->input_scan_number;
        err->endedAtRow = d->input_iMCU_row;
        err->rowsOf = d->total_iMCU_rows;
        (*cinfo->err->format_message)(cinfo, err->endedMessage);
    }
    cinfo->err->num_warnings++;
}

// Whether the data ended long before the image: before the first scan, or in it before it reached
// half of the image's rows. Such an image would show mostly grey; one that ends later shows.
bool EndedEarly(const ErrorManager& err)
{
    if (err.endedInScan < 0)
        return false;
    return err.endedInScan == 0 || (err.endedInScan == 1 && std::uint64_t(err.endedAtRow) * 2 < err.rowsOf);
}

struct JpegInfo {
    int width;
    int height;
};

struct DecodeTarget {
    int width;
    int height;
    int grayscale;
    // Makes the 24-bit image once the data is known to cover it: its lowest row in memory (the
    // image is bottom-up) and its stride, or nullptr when it cannot be made. Never throws.
    Byte* (*make)(DecodeTarget*);
    void* image; // what make made, for the caller
    int stride;
};

void InitError(ErrorManager* err, jpeg_decompress_struct* cinfo)
{
    std::memset(cinfo, 0, sizeof *cinfo);
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = ErrorExit;
    err->pub.output_message = OutputMessage;
    err->pub.emit_message = EmitMessage;
    err->message[0] = 0;
    err->endedInScan = -1;
    err->endedAtRow = err->rowsOf = 0;
    err->endedMessage[0] = 0;
}

// Reads the header of data and hands the decompressor to work, which returns 0 or its own
// failure code; 1 when libjpeg fails (message holds its text), 5 when it would need more memory
// than an image may take. The decompressor is destroyed in
// every case. work runs below the jump point, so it too must hold no object with a destructor.
// libjpeg's own memory is limited as an image is: a file cannot make it take more.
template <class Work>
int WithHeader(const Byte* data, unsigned long size, char* message, Work work)
{
    static_assert(std::is_trivially_destructible_v<Work>, "nothing here may need a destructor");
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    InitError(&err, &cinfo);
    if (setjmp(err.jump)) {
        std::memcpy(message, err.message, JMSG_LENGTH_MAX);
        const bool tooLarge = err.pub.msg_code == JERR_NO_BACKING_STORE;
        jpeg_destroy_decompress(&cinfo);
        return tooLarge ? 5 : 1;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = static_cast<long>(MaxBitmapBytes);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    const int rc = work(cinfo, err);
    jpeg_destroy_decompress(&cinfo);
    return rc;
}

// 0 on success; otherwise message holds libjpeg's text.
int ReadHeader(const Byte* data, unsigned long size, JpegInfo* info, char* message)
{
    return WithHeader(data, size, message, [info](jpeg_decompress_struct& cinfo, ErrorManager&) {
        info->width = static_cast<int>(cinfo.image_width);
        info->height = static_cast<int>(cinfo.image_height);
        return 0;
    });
}

void StoreRow(const jpeg_decompress_struct* cinfo, const JSAMPLE* src, Byte* dst, int width, int gray)
{
    switch (cinfo->output_components) {
    case 1:
        for (int x = 0; x < width; ++x, dst += 3)
            dst[0] = dst[1] = dst[2] = src[x];
        break;
    case 3:
        for (int x = 0; x < width; ++x, dst += 3, src += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
        break;
    default: // CMYK; images written with an Adobe marker store the inks inverted
        for (int x = 0; x < width; ++x, dst += 3, src += 4) {
            unsigned c = src[0], m = src[1], y = src[2], k = src[3];
            if (!cinfo->saw_Adobe_marker) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            unsigned r = c * k / 255, g = m * k / 255, b = y * k / 255;
            if (gray) // libjpeg has no grey output for ink images
                r = g = b = (r * 77 + g * 150 + b * 29) >> 8;
            dst[0] = static_cast<Byte>(b);
            dst[1] = static_cast<Byte>(g);
            dst[2] = static_cast<Byte>(r);
        }
        break;
    }
}

// 0 on success, 1 on a libjpeg error (message set), 2 when the image does not match the target,
// 3 when the data ends long before the image (message set), 4 when the image cannot be made.
// A progressive image is read whole by jpeg_start_decompress, so its data is known to cover it
// before the image is made.
int Decode(const Byte* data, unsigned long size, DecodeTarget* target, char* message)
{
    return WithHeader(data, size, message, [target, message](jpeg_decompress_struct& cinfo, ErrorManager& err) {
        if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
            cinfo.out_color_space = JCS_CMYK;
        else if (target->grayscale)
            cinfo.out_color_space = JCS_GRAYSCALE;
        else
            cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        if (static_cast<int>(cinfo.output_width) != target->width ||
            static_cast<int>(cinfo.output_height) != target->height ||
            (cinfo.output_components != 1 && cinfo.output_components != 3 && cinfo.output_components != 4))
            return 2;
        if (EndedEarly(err)) {
            std::memcpy(message, err.endedMessage, JMSG_LENGTH_MAX);
            return 3;
        }
        Byte* bottomRow = target->make(target);
        if (!bottomRow)
            return 4;
        JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                    cinfo.output_width * static_cast<JDIMENSION>(cinfo.output_components),
                                                    1);
        while (cinfo.output_scanline < cinfo.output_height) {
            JDIMENSION y = cinfo.output_scanline;
            if (jpeg_read_scanlines(&cinfo, row, 1) != 1)
                break;
            Byte* dst = bottomRow + static_cast<std::size_t>(target->height - 1 - static_cast<int>(y)) *
                                        static_cast<std::size_t>(target->stride);
            StoreRow(&cinfo, row[0], dst, target->width, target->grayscale);
        }
        jpeg_finish_decompress(&cinfo);
        if (EndedEarly(err)) {
            std::memcpy(message, err.endedMessage, JMSG_LENGTH_MAX);
            return 3;
        }
        return 0;
    });
}

// DecodeTarget::make for TJPEGImage: a TBitmap owned by the caller through target->image.
Byte* MakeBitmap(DecodeTarget* target)
{
    try {
        auto bmp = std::make_unique<TBitmap>(target->width, target->height, pf24bit);
        Byte* bottom = static_cast<Byte*>(bmp->ScanLine(target->height - 1));
        target->stride = bmp->RowBytes();
        target->image = bmp.release();
        return bottom;
    } catch (...) {
        return nullptr;
    }
}

} // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* Source)
{
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        if (j == this)
            return;
        data_ = j->data_;
        width_ = j->width_;
        height_ = j->height_;
        grayscale_ = j->grayscale_;
        bitmap_.reset();
        Changed();
        return;
    }
    inherited::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest)
{
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        if (Empty()) {
            b->SetSize(0, 0);
            return;
        }
        b->Assign(Bitmap());
        return;
    }
    inherited::AssignTo(Dest);
}

void TJPEGImage::ClearImage()
{
    data_.clear();
    width_ = height_ = 0;
    bitmap_.reset();
    Changed();
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetGrayscale(bool Value)
{
    if (Value == grayscale_)
        return;
    grayscale_ = Value;
    bitmap_.reset();
    Changed();
}

void TJPEGImage::LoadFromMemory(const void* Data, std::size_t Size)
{
    const Byte* p = static_cast<const Byte*>(Data);
    if (!p || Size < 4 || p[0] != 0xFF || p[1] != 0xD8)
        throw EInvalidGraphic("JPEG error #53");
    JpegInfo info{};
    char message[JMSG_LENGTH_MAX] = {};
    if (ReadHeader(p, static_cast<unsigned long>(Size), &info, message) != 0)
        throw EInvalidGraphic(AnsiString("JPEG error: ") + message);
    if (info.width <= 0 || info.height <= 0 || info.width > MaxBitmapSide || info.height > MaxBitmapSide ||
        static_cast<std::int64_t>(info.width * 3 + 3) * info.height > MaxBitmapBytes)
        throw EInvalidGraphic("JPEG image is too large");
    data_.assign(p, p + Size);
    width_ = info.width;
    height_ = info.height;
    bitmap_.reset();
    Changed();
}

TBitmap* TJPEGImage::Bitmap()
{
    if (Empty())
        return nullptr;
    if (!bitmap_) {
        DecodeTarget target{width_, height_, grayscale_ ? 1 : 0, MakeBitmap, nullptr, 0};
        char message[JMSG_LENGTH_MAX] = {};
        int rc = Decode(data_.data(), static_cast<unsigned long>(data_.size()), &target, message);
        std::unique_ptr<TBitmap> bmp(static_cast<TBitmap*>(target.image));
        if (rc == 1 || rc == 3)
            throw EInvalidGraphic(AnsiString("JPEG error: ") + message);
        if (rc == 4)
            throw EOutOfResources("Out of system resources");
        if (rc == 5)
            throw EInvalidGraphic("JPEG image is too large");
        if (rc != 0)
            throw EInvalidGraphic("JPEG image is not valid");
        bitmap_ = std::move(bmp);
    }
    return bitmap_.get();
}

void TJPEGImage::Draw(TCanvas* ACanvas, const RECT& Rect)
{
    if (TBitmap* b = Bitmap())
        ACanvas->StretchDraw(Rect, b);
}
