// 'SPT' spots: an area of a screen a child can click. The item (media/res/spot_format.h) is
// i16 left, top, right, bottom in picture coordinates (right and bottom outside the area),
// then, when the spot has a mask, (right - left + 1) x (bottom - top + 1) bits, the most
// significant bit of a byte its leftmost pixel, each row padded to a whole number of 16-bit
// words.
//
//   SPT M+100 spot
//     rect 10 20 60 50        # left top right bottom
//     mask                    # optional: the lines after it draw the mask in the picture
//     circle 25 15 15 1       # language on a canvas of the mask's size; every pixel that is
//   end                       # not 0 is part of the spot
#include "media/res/spot_format.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

constexpr int kMaxMaskSide = 2048;

}  // namespace

bool EncodeSpot(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    if (item.body.empty() || item.body[0].tokens[0].text != "rect" || item.body[0].tokens.size() != 5) {
        ctx.Error(item.body.empty() ? item.where : item.body[0].where, "a spot starts with rect LEFT TOP RIGHT BOTTOM");
        return false;
    }
    const SourceLine& rect = item.body[0];
    int16_t n[4];
    for (size_t i = 0; i < 4; ++i) {
        const auto v = NumberIn(rect, rect.tokens[i + 1], -32768, 32767, ctx);
        if (!v) return false;
        n[i] = static_cast<int16_t>(*v);
    }
    if (n[2] < n[0] || n[3] < n[1]) {
        ctx.Error(rect.where, "a spot's right is not left of its left, nor its bottom above its top");
        return false;
    }
    if (item.body.size() == 1) {
        out = media::EncodeSpotItem(n[0], n[1], n[2], n[3]);
        return true;
    }
    const SourceLine& mask = item.body[1];
    if (mask.tokens.size() != 1 || mask.tokens[0].text != "mask") {
        ctx.Error(mask.where, "after rect only a mask may follow");
        return false;
    }
    const int width = n[2] - n[0] + 1, height = n[3] - n[1] + 1;
    if (width > kMaxMaskSide || height > kMaxMaskSide) {
        ctx.Error(mask.where, "a mask is at most " + std::to_string(kMaxMaskSide) + " pixels a side");
        return false;
    }
    const auto pixels = DrawPictureLines(std::span(item.body).subspan(2), width, height, ctx);
    if (!pixels) return false;
    out = media::EncodeSpotItem(n[0], n[1], n[2], n[3], *pixels);
    return true;
}

}  // namespace mkres
