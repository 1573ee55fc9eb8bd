#include "tools/mkres/bmp_out.h"

#include "platform/core/byte_order.h"

namespace mkres {

std::optional<std::vector<uint8_t>> PictureAsBmp(std::span<const uint8_t> picture, std::span<const uint8_t> palette,
                                                 std::string* error) {
    const auto fail = [error](const char* why) -> std::optional<std::vector<uint8_t>> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (picture.size() < 12) return fail("the picture item is shorter than its header");
    const uint32_t width = plat::GetLe32(picture, 0);
    const uint32_t height = plat::GetLe32(picture, 4);
    const uint32_t bytes = plat::GetLe32(picture, 8);
    if (width == 0 || height == 0 || width > 2048 || height > 2048) return fail("the picture's size is out of range");
    const uint32_t stride = (width + 3) & ~3u;
    if (bytes != stride * height || picture.size() - 12 < bytes) return fail("the picture's rows do not fit its item");
    if (palette.size() < 2) return fail("the palette item is shorter than its count");
    const uint32_t count = plat::GetLe16(palette, 0);
    if (count > 256 || palette.size() - 2 < count * 3) return fail("the palette's colours do not fit its item");

    constexpr uint32_t kHeaders = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.reserve(kHeaders + bytes);
    out.push_back('B');
    out.push_back('M');
    plat::AppendLe32(out, kHeaders + bytes);
    plat::AppendLe32(out, 0);
    plat::AppendLe32(out, kHeaders);
    plat::AppendLe32(out, 40);
    plat::AppendLe32(out, width);
    plat::AppendLe32(out, height);  // positive: bottom row first
    plat::AppendLe16(out, 1);
    plat::AppendLe16(out, 8);
    plat::AppendLe32(out, 0);  // BI_RGB
    plat::AppendLe32(out, bytes);
    plat::AppendLe32(out, 2835);  // 72 dots an inch
    plat::AppendLe32(out, 2835);
    plat::AppendLe32(out, 256);
    plat::AppendLe32(out, 0);
    for (uint32_t i = 0; i < 256; ++i) {
        // The palette item keeps blue, green, red: a BMP colour's own order.
        for (uint32_t c = 0; c < 3; ++c) out.push_back(i < count ? palette[2 + i * 3 + c] : 0);
        out.push_back(0);
    }
    for (uint32_t row = height; row-- > 0;) {
        const auto first = picture.begin() + 12 + static_cast<ptrdiff_t>(row) * stride;
        out.insert(out.end(), first, first + stride);
    }
    return out;
}

std::optional<std::vector<uint8_t>> ModulePictureAsBmp(const media::CResWriter& module, uint16_t id,
                                                       std::string* error) {
    const std::vector<uint8_t>* picture = module.Find("SPR", id);
    if (!picture) {
        if (error) *error = "no picture (SPR) " + std::to_string(id);
        return std::nullopt;
    }
    const std::vector<uint16_t> palettes = module.IdsOf("PAL");
    if (palettes.empty()) {
        if (error) *error = "no palette (PAL)";
        return std::nullopt;
    }
    std::string why;
    auto bmp = PictureAsBmp(*picture, *module.Find("PAL", palettes.front()), &why);
    if (!bmp && error) *error = "picture " + std::to_string(id) + ": " + why;
    return bmp;
}

}  // namespace mkres
