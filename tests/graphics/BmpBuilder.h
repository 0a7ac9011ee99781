// Builds Windows bitmap files byte by byte for the reader's tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void Set32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct BmpLayout {
    std::int32_t width = 1, height = 1; // negative height: top-down
    int bpp = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette;   // 0x00RRGGBB entries
    std::vector<std::uint32_t> masks;     // red, green, blue (and alpha) for bit fields
    std::uint32_t infoSize = 40;
    std::uint32_t clrUsed = 0xFFFFFFFF;   // default: palette size
    Bytes pixels;                         // as stored in the file
};

// File header, info header, masks (after a 40-byte header), colour table, pixels.
inline Bytes Build(const BmpLayout& s)
{
    Bytes b{'B', 'M'};
    Put32(b, 0); // size, set below
    Put32(b, 0);
    Put32(b, 0); // offset, set below
    if (s.infoSize == 12) {
        Put32(b, 12);
        Put16(b, static_cast<std::uint32_t>(s.width));
        Put16(b, static_cast<std::uint32_t>(s.height));
        Put16(b, 1);
        Put16(b, static_cast<std::uint32_t>(s.bpp));
        for (auto c : s.palette) {
            b.push_back(c & 0xFF);
            b.push_back((c >> 8) & 0xFF);
            b.push_back((c >> 16) & 0xFF);
        }
    } else {
        Put32(b, s.infoSize);
        Put32(b, static_cast<std::uint32_t>(s.width));
        Put32(b, static_cast<std::uint32_t>(s.height));
        Put16(b, 1);
        Put16(b, static_cast<std::uint32_t>(s.bpp));
        Put32(b, s.compression);
        Put32(b, static_cast<std::uint32_t>(s.pixels.size()));
        Put32(b, 2835);
        Put32(b, 2835);
        Put32(b, s.clrUsed == 0xFFFFFFFF ? static_cast<std::uint32_t>(s.palette.size()) : s.clrUsed);
        Put32(b, 0);
        std::size_t extra = s.infoSize - 40;
        Bytes rest(extra, 0);
        for (std::size_t i = 0; i < s.masks.size() && extra >= 4 * (i + 1); ++i)
            for (int k = 0; k < 4; ++k)
                rest[4 * i + k] = static_cast<std::uint8_t>(s.masks[i] >> (8 * k));
        b.insert(b.end(), rest.begin(), rest.end());
        if (s.infoSize == 40)
            for (auto m : s.masks)
                Put32(b, m);
        for (auto c : s.palette)
            Put32(b, c);
    }
    Set32(b, 10, static_cast<std::uint32_t>(b.size()));
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    Set32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

} // namespace bmptest
