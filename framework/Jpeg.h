// The framework's JPEG unit: a JPEG image that keeps its original bytes and decodes them with
// libjpeg into a 24-bit bitmap when it is first drawn or asked for its bitmap.
#pragma once

#include "Graphics.h"

class TJPEGImage : public TGraphic {
    VCL_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* Source) override;

    // From the header, without decoding the image.
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The size of a JPEG image cannot be changed: EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Empty() const override { return data_.empty(); }
    // Bytes of the decoded 24-bit image (rows padded to four bytes), from the header.
    std::int64_t BitmapBytes() const { return (static_cast<std::int64_t>(width_) * 3 + 3) / 4 * 4 * height_; }

    // Decode in grey scale (the bitmap stays 24-bit, with equal channels).
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool Value);

    // The decoded 24-bit image, owned by the JPEG image (nullptr while empty). A damaged
    // scan raises EInvalidGraphic.
    TBitmap* Bitmap();
    void DIBNeeded() { Bitmap(); }
    // The original file bytes.
    const std::vector<Byte>& Data() const { return data_; }

    // Reads the header; a stream that is not a JPEG image raises EInvalidGraphic.
    void LoadFromMemory(const void* Data, std::size_t Size) override;
    // The original bytes.
    std::vector<Byte> SaveToMemory() override { return data_; }
    void ReadData(TStream* Stream) override { ReadSizedData(Stream); }
    void WriteData(TStream* Stream) override { WriteSizedData(Stream); }

protected:
    void Draw(TCanvas* ACanvas, const RECT& Rect) override;
    void AssignTo(TPersistent* Dest) override;
    void ClearImage() override;

private:
    std::vector<Byte> data_;
    int width_ = 0, height_ = 0;
    bool grayscale_ = false;
    std::unique_ptr<TBitmap> bitmap_;
};
