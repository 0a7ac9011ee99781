// Row access to a bitmap through ScanLine against a plain copy of the same bytes, and the
// bitmap file reader.
#include <cstring>
#include <vector>

#include "BenchHarness.h"
#include "Graphics.h"

int main()
{
    const int w = 1024, h = 1024;
    TBitmap bmp(w, h, pf24bit);
    const std::size_t row = static_cast<std::size_t>(bmp.RowBytes());
    const double megabytes = static_cast<double>(row) * h / (1024.0 * 1024.0);
    std::vector<Byte> plain(row * h, 0x5A), out(row * h);

    double copy = bench::Measure("memcpy of the image bytes", 30, [&] { std::memcpy(out.data(), plain.data(), out.size()); });
    double lines = bench::Measure("ScanLine row copy (read)", 30, [&] {
        for (int y = 0; y < h; ++y)
            std::memcpy(out.data() + row * y, bmp.ScanLine(y), row);
    });
    double pixels = bench::Measure("ScanLine per-pixel invert (read+write)", 30, [&] {
        for (int y = 0; y < h; ++y) {
            Byte* p = static_cast<Byte*>(bmp.ScanLine(y));
            for (int x = 0; x < w * 3; ++x)
                p[x] = static_cast<Byte>(~p[x]);
        }
    });
    bench::Report("memcpy throughput", megabytes / (copy / 1000.0), "MB/s");
    bench::Report("ScanLine row copy throughput", megabytes / (lines / 1000.0), "MB/s");
    bench::Report("ScanLine per-pixel throughput", megabytes / (pixels / 1000.0), "MB/s");

    std::vector<Byte> file = bmp.SaveToMemory();
    bench::Measure("load 1024x1024 24-bit bitmap file", 20, [&] {
        TBitmap b;
        b.LoadFromMemory(file.data(), file.size());
    });
    bench::Measure("1000 cache bitmaps 120x30: make, fill, free", 10, [&] {
        for (int i = 0; i < 1000; ++i) {
            TBitmap b(120, 30);
            b.Canvas()->Brush()->SetColor(clBtnFace);
            b.Canvas()->FillRect(RECT{0, 0, 120, 30});
        }
    });
    return 0;
}
