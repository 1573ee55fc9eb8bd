#include "media/surface/picture_formats.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace media {
bool ParsePcxHeader(std::span<const uint8_t> header, int maxSide, PcxLayout& out) {
    if (header.size() < kPcxHeaderSize) return false;
    const int bitsPerPixel = header[3];
    const int planes = header[65];
    if (bitsPerPixel != 8 || planes != 1) return false;
    const int xMin = plat::GetLe16(header, 4), yMin = plat::GetLe16(header, 6), xMax = plat::GetLe16(header, 8), yMax = plat::GetLe16(header, 10);
    if (xMax < xMin || yMax < yMin) return false;
    const int width = xMax - xMin + 1, height = yMax - yMin + 1;
    const int bytesPerLine = plat::GetLe16(header, 66);
    if (width > maxSide || height > maxSide || bytesPerLine < width) return false;
    out = PcxLayout{width, height, bytesPerLine};
    return true;
}

uint64_t MinPcxEncodedSize(const PcxLayout& layout) {
    const uint64_t perRow = layout.bytesPerLine <= 1 ? 1 : 2 * ((static_cast<uint64_t>(layout.bytesPerLine) + 62) / 63);
    return perRow * static_cast<uint64_t>(layout.height);
}

bool DecodePcxRows(std::span<const uint8_t> encoded, const PcxLayout& layout, uint8_t* dst, int stride) {
    size_t in = 0;
    const int keep = std::min(layout.bytesPerLine, stride);
    for (int y = 0; y < layout.height; ++y) {
        uint8_t* row = dst + static_cast<size_t>(stride) * static_cast<size_t>(y);
        int x = 0;
        while (x < layout.bytesPerLine) {
            if (in >= encoded.size()) return false;
            const uint8_t b = encoded[in++];
            int count = 1;
            uint8_t value = b;
            if ((b & 0xC0) == 0xC0) {
                if (in >= encoded.size()) return false;
                count = b & 0x3F;
                value = encoded[in++];
            }
            const int end = std::min(x + count, layout.bytesPerLine);  // a run stops at the row's end
            const int writeEnd = std::min(end, keep);
            if (writeEnd > x) std::fill(row + x, row + writeEnd, value);
            x = end;
        }
    }
    return true;
}

bool ParseBmpHeaders(std::span<const uint8_t> headers, uint64_t fileSize, int maxSide, BmpLayout& out) {
    if (headers.size() < kBmpHeadersSize) return false;
    const uint32_t offBits = plat::GetLe32(headers, 10);
    const uint32_t infoSize = plat::GetLe32(headers, 14);
    const auto width = static_cast<int32_t>(plat::GetLe32(headers, 18));
    const auto height = static_cast<int32_t>(plat::GetLe32(headers, 22));
    const uint16_t planes = plat::GetLe16(headers, 26), bits = plat::GetLe16(headers, 28);
    const uint32_t compression = plat::GetLe32(headers, 30), clrUsed = plat::GetLe32(headers, 46);
    if (infoSize < 40 || infoSize > 1024 || planes != 1 || bits != 8 || compression != 0 || clrUsed > 256)
        return false;
    if (width < 1 || width > maxSide || height == 0 || height < -maxSide || height > maxSide) return false;

    BmpLayout l;
    l.width = width;
    l.height = height < 0 ? -height : height;
    l.topDown = height < 0;
    l.colourOffset = 14 + infoSize;
    l.colours = clrUsed == 0 ? 256 : static_cast<int>(clrUsed);
    l.stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    const uint64_t tableEnd = l.colourOffset + 4ull * static_cast<uint32_t>(l.colours);
    // Files that name no pixel offset (or one inside the table) have the rows after the table.
    l.pixelOffset = offBits >= tableEnd ? offBits : static_cast<uint32_t>(tableEnd);
    const uint64_t pixelsEnd = static_cast<uint64_t>(l.pixelOffset) + uint64_t{l.stride} * static_cast<uint32_t>(l.height);
    if (tableEnd > fileSize || pixelsEnd > fileSize) return false;
    out = l;
    return true;
}

}  // namespace media
