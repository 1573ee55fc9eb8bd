#include "media/res/spot_format.h"

#include "platform/core/byte_order.h"

bool ParseSpotItem(std::span<const uint8_t> item, SpotLayout& out) {
    if (item.size() < kSpotHeaderBytes) return false;
    SpotLayout s;
    s.left = plat::GetLeI16(item, 0);
    s.top = plat::GetLeI16(item, 2);
    s.right = plat::GetLeI16(item, 4);
    s.bottom = plat::GetLeI16(item, 6);
    if (s.right < s.left || s.bottom < s.top) return false;
    if (item.size() > kSpotHeaderBytes) {
        s.hasMask = true;
        s.maskWidth = int32_t{s.right} - s.left + 1;
        s.maskHeight = int32_t{s.bottom} - s.top + 1;
        s.rowBytes = SpotMaskRowBytes(s.maskWidth);
        const uint64_t needed = uint64_t{s.rowBytes} * static_cast<uint64_t>(s.maskHeight);
        if (needed > item.size() - kSpotHeaderBytes) return false;
        s.mask = item.subspan(kSpotHeaderBytes, static_cast<size_t>(needed));
    }
    out = s;
    return true;
}

bool SpotMaskBit(const SpotLayout& layout, int32_t x, int32_t y) {
    if (!layout.hasMask || x < 0 || y < 0 || x >= layout.maskWidth || y >= layout.maskHeight) return false;
    const size_t at = static_cast<size_t>(y) * layout.rowBytes + static_cast<size_t>(x) / 8;
    return at < layout.mask.size() && (layout.mask[at] & (0x80u >> (x % 8))) != 0;
}

namespace media {

std::vector<uint8_t> EncodeSpotItem(int16_t left, int16_t top, int16_t right, int16_t bottom,
                                    std::span<const uint8_t> maskPixels) {
    std::vector<uint8_t> out;
    for (int16_t v : {left, top, right, bottom}) plat::AppendLe16(out, static_cast<uint16_t>(v));
    if (maskPixels.empty() || right < left || bottom < top) return out;
    const int32_t width = int32_t{right} - left + 1, height = int32_t{bottom} - top + 1;
    const size_t rowBytes = SpotMaskRowBytes(width);
    const size_t start = out.size();
    out.resize(start + rowBytes * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            if (at < maskPixels.size() && maskPixels[at])
                out[start + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) / 8] |=
                    static_cast<uint8_t>(0x80u >> (x % 8));
        }
    return out;
}

}  // namespace media
