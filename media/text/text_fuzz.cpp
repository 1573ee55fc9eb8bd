// Styled strings and font strips as outside input: the first bytes shape a strip picture and
// its character list, the rest is styled text. Scanning, measuring, drawing and laying out
// must stay inside every picture and terminate.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "media/text/bitmap_font.h"
#include "media/text/cor_string.h"
#include "media/text/text_block.h"
#include "media/res/res_item_host.h"

namespace {

struct Picture {
    int16_t width = 0, height = 0, stride = 0;
    std::vector<BYTE> bits;
};

// Only pictures and the list: the text host's neutral answers do for the rest.
class FuzzHost : public IResItemHost {
public:
    std::map<int16_t, Picture> pictures;
    std::vector<uint8_t> list;
    int16_t next = 900;

    void Add(int16_t id, int w, int h, const uint8_t* data, size_t size) {
        Picture p{static_cast<int16_t>(w), static_cast<int16_t>(h), static_cast<int16_t>((w + 3) & ~3), {}};
        p.bits.assign(static_cast<size_t>(p.stride) * h, 0);
        if (data && size > 0) std::memcpy(p.bits.data(), data, std::min(size, p.bits.size()));
        pictures[id] = std::move(p);
    }
    void GetPictureSize(int16_t id, int16_t& w, int16_t& h) override {
        auto it = pictures.find(id);
        w = it == pictures.end() ? 0 : it->second.width;
        h = it == pictures.end() ? 0 : it->second.height;
    }
    BYTE* LockPictureData(int16_t id) override {
        auto it = pictures.find(id);
        return it == pictures.end() ? nullptr : it->second.bits.data();
    }
    uint16_t GetPictureAttr(int16_t id) override {
        auto it = pictures.find(id);
        return it == pictures.end() ? 0xFFFF : static_cast<uint16_t>(it->second.stride);
    }
    int16_t NewBlankPicture(int16_t w, int16_t h) override {
        if (w <= 0 || h <= 0 || w > 2048 || h > 2048) return -1;
        Add(next, w, h, nullptr, 0);
        return next--;
    }
    void PurgeResource(int16_t id) override { pictures.erase(id); }
    bool CopyListString(char* dest, size_t capacity, int32_t, int16_t n) override {
        return CopyListStringFromItem(list.data(), list.size(), n, dest, capacity);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 8192) return 0;
    const int w = 1 + data[0] % 64;
    const int h = 1 + data[1] % 64;
    const size_t listSize = std::min<size_t>(data[2], size - 3);
    const uint8_t* rest = data + 3 + listSize;
    const size_t restSize = size - 3 - listSize;
    const size_t stripSize = std::min<size_t>(restSize, static_cast<size_t>(w) * h);

    FuzzHost host;
    SetResItemHost(&host);
    host.list.assign({1, 0});
    host.list.insert(host.list.end(), data + 3, data + 3 + listSize);
    host.Add(51, w, h, rest, stripSize);
    host.Add(77, 3, 40, rest, restSize);  // an inline picture taller than most fonts

    CCorStyledString text;
    const size_t textSize = std::min<size_t>(restSize - stripSize, 2000);
    text.Assign(rest + stripSize, static_cast<int16_t>(textSize));
    text.TallyChar('a', text.Span(), static_cast<int16_t>(text.VisibleLength() + 3));
    {
        CBitmapFont font(51, 0, data[0] & 3);
        CTextStyle style;
        style.text = &text;
        style.font = &font;
        style.wrapWidth = static_cast<int16_t>(data[1] % 3 == 0 ? -1 : 8 + data[1] % 120);
        CCorRect box{0, 0, static_cast<int16_t>(1 + data[2] % 90), static_cast<int16_t>(1 + data[0] % 70)};
        if (data[1] % 3 == 2) style.box = &box;
        style.justification = data[3];
        style.frameWidth = static_cast<int16_t>(data[2] % 4);
        CTextBlock block(style);
        block.SetFirstVisibleLine(static_cast<int16_t>(data[3] % 3));
        block.Relayout();
        int16_t bh = 0, bw = 0;
        font.MeasureText(text.Span(), 50, bh, bw);
        font.MoveTo(static_cast<int16_t>(-5 + data[0] % 10), static_cast<int16_t>(data[1] % 50));
        font.SetTarget(static_cast<uint16_t>(block.PictureId()));
        font.DrawJustified(text.Span(), 60, static_cast<int16_t>(data[2]));
    }
    SetResItemHost(nullptr);
    return 0;
}
