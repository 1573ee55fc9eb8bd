#include "media/text/bitmap_font.h"

#include <algorithm>
#include <cstring>

#include "media/text/text_host.h"
#include "platform/core/byte_order.h"

namespace {

constexpr BYTE kBlank = ' ';

int16_t Clamp16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

}  // namespace

CBitmapFont::CBitmapFont(int16_t stripId_, uint16_t sizeValue_, uint16_t spacing_)
    : stripId(static_cast<uint16_t>(stripId_)), spacing(spacing_), sizeValue(sizeValue_) {
    char list[260];
    CopyModuleListString(list, sizeof list, stripId_, 1);
    list[sizeof list - 1] = 0;
    characters.AssignText(list);
    charTotal = static_cast<uint16_t>(characters.Length());
    ScanStrip();
}

CBitmapFont::~CBitmapFont() = default;

void CBitmapFont::DrawExtension(std::span<const BYTE>) {}

void CBitmapFont::MeasureExtension(std::span<const BYTE>, int16_t& h, int16_t& w, int16_t& verticalOffset) {
    h = 0;
    w = 0;
    verticalOffset = 0;
}

void CBitmapFont::ScanStrip() {
    const LockedPicture strip = LockPicture(static_cast<int16_t>(stripId));
    if (!strip.bits) return;
    stripStride = strip.stride;
    const auto at = [&](int x, int y) { return strip.bits[static_cast<size_t>(y) * strip.stride + x]; };
    backgroundColor = inkColor = at(0, 0);
    const bool hasCap = strip.height > 1 && at(0, 1) != 0;
    const BYTE cap = hasCap ? at(0, 1) : 0;

    int rows[kMaxGlyphRows];
    int rowTotal = 0;
    for (int y = 2; y < strip.height && rowTotal < kMaxGlyphRows; ++y)
        if (at(0, y) != 0) rows[rowTotal++] = y;
    if (rowTotal == 0) {
        UnlockPicture(strip);
        return;
    }
    const BYTE separator = at(0, rows[rowTotal - 1]);

    int next = 0;  // the next character of the list
    for (int i = 0; i < rowTotal && next < charTotal; ++i) {
        const int r = rows[i];
        int x = 1;
        while (x < strip.width && next < charTotal) {
            if (at(x, r) == separator) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < strip.width && at(x, r) != separator) ++x;
            if (x >= strip.width) break;  // not closed before the row's end
            const BYTE c = characters.Bytes()[next++];
            const int last = x - 1;
            width[c] = Clamp16(x - start);
            defined[c] = 1;

            int tally = 0;
            int kept = 0;
            bool capMet = false;
            for (int y = r; y >= 0; --y) {
                const BYTE p = at(last, y);
                if (p == separator) break;
                if (hasCap && p == cap) {
                    kept += tally;
                    tally = 0;
                    capMet = true;
                    continue;
                }
                ++tally;
            }
            if (capMet) {
                ascent[c] = Clamp16(kept + tally);
                height[c] = Clamp16(tally);
                descent[c] = 0;
            } else {
                int d = 0;
                for (int y = r + 1; y < strip.height && at(last, y) != separator; ++y) ++d;
                ascent[c] = Clamp16(tally - 1);
                descent[c] = Clamp16(d);
                height[c] = Clamp16(tally + d);
                maxDescent = std::max<int16_t>(maxDescent, descent[c]);
            }
            offset[c] = static_cast<uint32_t>((r - ascent[c]) * strip.stride + start);
        }
    }
    UnlockPicture(strip);

    int16_t top = 0;
    int16_t below = 0;
    for (int c = 0; c < 255; ++c) {
        top = std::max(top, ascent[c]);
        below = std::max<int16_t>(below, static_cast<int16_t>(height[c] - ascent[c]));
    }
    baseline = top;
    lineHeight = static_cast<int16_t>(top + below + 1);
}

void CBitmapFont::SetTarget(uint16_t pictureId) {
    targetId = pictureId;
    targetWidth = targetHeight = targetStride = 0;
    if (pictureId == kNoTarget) return;
    int16_t w = 0, h = 0;
    ResItemHost().GetPictureSize(static_cast<int16_t>(pictureId), w, h);
    targetWidth = w;
    targetHeight = h;
    targetStride = static_cast<int16_t>(ResItemHost().GetPictureAttr(static_cast<int16_t>(pictureId)));
}

void CBitmapFont::DrawGlyph(BYTE c, const LockedPicture& strip, const LockedPicture& target) {
    if (!defined[c] || !strip.bits || !target.bits || strip.stride != stripStride) return;
    const int w = width[c];
    const int h = height[c];
    if (w <= 0 || h <= 0) return;
    // The strip could have changed since the scan: never read outside it.
    const size_t stripBytes = static_cast<size_t>(strip.height) * strip.stride;
    if (offset[c] + static_cast<size_t>(h - 1) * strip.stride + w > stripBytes) return;
    const int top = penY - ascent[c];
    const int x0 = std::max(0, -penX);
    const int x1 = std::min(w, target.width - penX);
    const int y0 = std::max(0, -top);
    const int y1 = std::min(h, target.height - top);
    const bool ownColours = inkColor == backgroundColor;
    for (int gy = y0; gy < y1; ++gy) {
        const BYTE* src = strip.bits + offset[c] + static_cast<size_t>(gy) * strip.stride;
        BYTE* dst = target.bits + static_cast<size_t>(top + gy) * target.stride + penX;
        for (int gx = x0; gx < x1; ++gx)
            if (src[gx] != 0) dst[gx] = ownColours ? src[gx] : inkColor;
    }
}

void CBitmapFont::DrawPicture(std::span<const BYTE> sequence, const LockedPicture& target) {
    if (sequence.size() < 6) return;
    const int16_t verticalOffset = plat::GetLeI16(sequence, 2);
    const auto id = static_cast<int16_t>(plat::GetLeI16(sequence, 4));
    const LockedPicture picture = LockPicture(id);
    if (!picture.bits) return;
    if (target.bits) {
        const int top = penY - picture.height + verticalOffset + 1;
        const int x0 = std::max(0, -penX);
        const int x1 = std::min<int>(picture.width, target.width - penX);
        const int y0 = std::max(0, -top);
        const int y1 = std::min<int>(picture.height, target.height - top);
        for (int y = y0; y < y1; ++y) {
            const BYTE* src = picture.bits + static_cast<size_t>(y) * picture.stride;
            BYTE* dst = target.bits + static_cast<size_t>(top + y) * target.stride + penX;
            for (int x = x0; x < x1; ++x)
                if (src[x] != 0) dst[x] = src[x];
        }
    }
    UnlockPicture(picture);
}

CBitmapFont::UnitSize CBitmapFont::SizeOfUnit(std::span<const BYTE> unit) {
    UnitSize s;
    if (unit.empty()) return s;
    const BYTE code = unit[0];
    if (!IsControlCode(code, codeRange)) {
        s.width = width[code];
        s.height = height[code];
        s.above = ascent[code];
        s.descent = descent[code];
        return s;
    }
    const int8_t kind = static_cast<int8_t>(code);
    if (kind == -2) {
        if (unit.size() >= 4) s.width = plat::GetLeI16(unit, 2);
    } else if (kind == -1) {
        if (unit.size() >= 6) {
            const int16_t verticalOffset = plat::GetLeI16(unit, 2);
            ResItemHost().GetPictureSize(plat::GetLeI16(unit, 4), s.width, s.height);
            s.above = Clamp16(s.height - verticalOffset - 1);
            s.descent = verticalOffset;
        }
    } else {
        int16_t verticalOffset = 0;
        MeasureExtension(unit, s.height, s.width, verticalOffset);
        s.above = Clamp16(s.height - verticalOffset - 1);
        s.descent = verticalOffset;
    }
    return s;
}

void CBitmapFont::Draw(std::span<const BYTE> text, int16_t units, bool stretch, int stretchBy,
                       int lastStretchBy) {
    const LockedPicture target = targetId == kNoTarget ? LockedPicture{} : LockPicture(static_cast<int16_t>(targetId));
    const LockedPicture strip = target.bits ? LockPicture(static_cast<int16_t>(stripId)) : LockedPicture{};
    int blanksLeft = stretch ? CountBlanks(text, units) : 0;
    size_t pos = 0;
    for (int i = 0; i < units; ++i) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        const std::span<const BYTE> unit = text.subspan(pos, size);
        const BYTE code = unit[0];
        int advance = spacing;
        if (!IsControlCode(code, codeRange)) {
            if (stretch && code == kBlank) {
                advance += --blanksLeft == 0 ? lastStretchBy : stretchBy;
            } else {
                DrawGlyph(code, strip, target);
                advance += width[code];
            }
        } else if (static_cast<int8_t>(code) == -2) {
            advance += SizeOfUnit(unit).width;
        } else if (static_cast<int8_t>(code) == -1) {
            DrawPicture(unit, target);
            advance += SizeOfUnit(unit).width;
        } else {
            DrawExtension(unit);
        }
        penX = Clamp16(penX + advance);
        pos += size;
    }
    UnlockPicture(strip);
    UnlockPicture(target);
}

int CBitmapFont::CountBlanks(std::span<const BYTE> text, int16_t units) const {
    int blanks = 0;
    size_t pos = 0;
    for (int i = 0; i < units; ++i) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        if (size == 1 && text[pos] == kBlank) ++blanks;
        pos += size;
    }
    return blanks;
}

void CBitmapFont::DrawUnits(std::span<const BYTE> text, int16_t units) {
    Draw(text, units, false, 0, 0);
}

void CBitmapFont::DrawString(const CCorStyledString& text) {
    DrawUnits(text.Span(), text.VisibleLength());
}

void CBitmapFont::DrawJustified(std::span<const BYTE> text, int16_t units, int16_t lineWidth) {
    const int blanks = CountBlanks(text, units);
    if (blanks == 0) {
        DrawUnits(text, units);
        return;
    }
    const int rest = lineWidth - (TextWidth(text, units) - blanks * width[kBlank]);
    const int stretchBy = rest / blanks;
    const int lastStretchBy = rest - (blanks - 1) * stretchBy;
    Draw(text, units, true, stretchBy, lastStretchBy);
}

uint16_t CBitmapFont::MeasureText(std::span<const BYTE> text, int16_t units, int16_t& h, int16_t& w) {
    int total = -spacing;
    int tallest = 0;
    size_t pos = 0;
    for (int i = 0; i < units; ++i) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        const UnitSize s = SizeOfUnit(text.subspan(pos, size));
        total += s.width + spacing;
        tallest = std::max<int>(tallest, s.height);
        pos += size;
    }
    w = Clamp16(total);
    h = Clamp16(tallest);
    return spacing;
}

int16_t CBitmapFont::TextWidth(std::span<const BYTE> text, int16_t units) {
    int16_t h = 0, w = 0;
    MeasureText(text, units, h, w);
    return w;
}

void CBitmapFont::TextRect(std::span<const BYTE> text, int16_t units, CCorRect& rect) {
    int16_t h = 0, w = 0;
    MeasureText(text, units, h, w);
    rect = CCorRect{0, 0, w, h};
}

int16_t CBitmapFont::MaxDescent(const CCorStyledString& text) {
    return MaxDescent(text.Span(), text.VisibleLength());
}

int16_t CBitmapFont::MaxDescent(std::span<const BYTE> text, int16_t units) {
    int16_t greatest = 0;
    size_t pos = 0;
    for (int i = 0; i < units; ++i) {
        const size_t size = StyledUnitSize(text, pos, codeRange);
        if (size == 0) break;
        greatest = std::max(greatest, SizeOfUnit(text.subspan(pos, size)).descent);
        pos += size;
    }
    return greatest;
}

int16_t CBitmapFont::PictureWidth(int16_t pictureId) const {
    int16_t w = 0, h = 0;
    ResItemHost().GetPictureSize(pictureId, w, h);
    return w;
}

int16_t CBitmapFont::PictureHeight(int16_t pictureId) const {
    int16_t w = 0, h = 0;
    ResItemHost().GetPictureSize(pictureId, w, h);
    return h;
}
