// CDibG: rectangle copies, scaling and sprite drawing. Everything clips to the surfaces.
#include <algorithm>
#include <cstdint>

#include "media/res/sprite.h"
#include "media/surface/blit_rows.h"
#include "media/surface/dibg.h"
#include "platform/afx/message_box.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"

namespace {

// Cuts a copy of w × h from (sx, sy) of a source to (dx, dy) of a destination down to what lies
// inside both; false when nothing is left.
bool ClipCopy(int& sx, int& sy, int& dx, int& dy, int& w, int& h, const CDibG& src, const CDibG& dst) {
    auto clipAxis = [](int& s, int& d, int& n, int sLimit, int dLimit) {
        if (s < 0) {
            d -= s;
            n += s;
            s = 0;
        }
        if (d < 0) {
            s -= d;
            n += d;
            d = 0;
        }
        n = std::min({n, sLimit - s, dLimit - d});
        return n > 0;
    };
    return clipAxis(sx, dx, w, src.Width(), dst.Width()) && clipAxis(sy, dy, h, src.Height(), dst.Height());
}

}  // namespace

void CDibG::BlitRect(const CDibG& src, POINT srcPoint, POINT dstPoint, SIZE size) {
    int sx = srcPoint.x, sy = srcPoint.y, dx = dstPoint.x, dy = dstPoint.y, w = size.cx, h = size.cy;
    if (!IsValid() || !src.IsValid() || !ClipCopy(sx, sy, dx, dy, w, h, src, *this)) return;
    if (dx % 4 == 0 && sx % 4 == 0 && w % 4 == 0) {
        // Rows from the lowest address of each rectangle, a stride apart.
        const bool bottomUp = TheDibSystem().orientation != kTopDown;
        const BYTE* s = src.Bits() + src.RowOffset(bottomUp ? sy + h - 1 : sy) + sx;
        BYTE* d = m_bits + RowOffset(bottomUp ? dy + h - 1 : dy) + dx;
        for (int row = 0; row < h; ++row, s += src.Stride(), d += m_stride)
            media::CopyRowOpaque(d, s, static_cast<size_t>(w));
        return;
    }
    for (int row = h - 1; row >= 0; --row) {
        const BYTE* s = src.Bits() + src.RowOffset(sy + row) + sx;
        BYTE* d = m_bits + RowOffset(dy + row) + dx;
        for (int i = 0; i < w; ++i) d[i] = s[i];
    }
}

void CDibG::BlitRectTransparent(const CDibG& src, POINT srcPoint, POINT dstPoint, SIZE size) {
    int sx = srcPoint.x, sy = srcPoint.y, dx = dstPoint.x, dy = dstPoint.y, w = size.cx, h = size.cy;
    if (!IsValid() || !src.IsValid() || !ClipCopy(sx, sy, dx, dy, w, h, src, *this)) return;
    if (dx % 4 == 0 && sx % 4 == 0 && w % 4 == 0) {
        const bool bottomUp = TheDibSystem().orientation != kTopDown;
        const BYTE* s = src.Bits() + src.RowOffset(bottomUp ? sy + h - 1 : sy) + sx;
        BYTE* d = m_bits + RowOffset(bottomUp ? dy + h - 1 : dy) + dx;
        for (int row = 0; row < h; ++row, s += src.Stride(), d += m_stride)
            media::CopyRowTransparentWords(d, s, static_cast<size_t>(w));
        return;
    }
    for (int row = h - 1; row >= 0; --row)
        media::CopyRowTransparentBytes(m_bits + RowOffset(dy + row) + dx, src.Bits() + src.RowOffset(sy + row) + sx,
                                         static_cast<size_t>(w));
}

void CDibG::StretchCopy(const CDibG& src, RECT dstRect, RECT srcRect) {
    if (dstRect.left > dstRect.right) std::swap(dstRect.left, dstRect.right);
    if (dstRect.top > dstRect.bottom) std::swap(dstRect.top, dstRect.bottom);
    if (srcRect.left > srcRect.right) std::swap(srcRect.left, srcRect.right);
    if (srcRect.top > srcRect.bottom) std::swap(srcRect.top, srcRect.bottom);
    const int64_t dstWidth = int64_t{dstRect.right} - dstRect.left, dstHeight = int64_t{dstRect.bottom} - dstRect.top;
    if (dstWidth <= 0 || dstHeight <= 0 || !IsValid() || !src.IsValid()) return;

    const int64_t xStep = ((int64_t{srcRect.right} - srcRect.left) << 16) / dstWidth;
    const int64_t yStep = ((int64_t{srcRect.bottom} - srcRect.top) << 16) / dstHeight;
    int64_t xStart = 0, yAcc = 0;
    int64_t left = dstRect.left, top = dstRect.top;
    if (left < 0) {
        xStart = -left * xStep;
        left = 0;
    }
    if (top < 0) {
        yAcc = -top * yStep;
        top = 0;
    }
    const int64_t right = std::min<int64_t>(dstRect.right, Width()), bottom = std::min<int64_t>(dstRect.bottom, Height());
    if (left >= right || top >= bottom) return;

    for (int64_t y = top; y < bottom; ++y, yAcc += yStep) {
        const int64_t sy = srcRect.top + (yAcc >> 16);
        // Source rows and columns outside the source are skipped, not read.
        if (sy < 0 || sy >= src.Height()) continue;
        const BYTE* s = src.RowPtr(static_cast<int>(sy));
        BYTE* d = RowPtr(static_cast<int>(y));
        int64_t xAcc = xStart;
        for (int64_t x = left; x < right; ++x, xAcc += xStep) {
            const int64_t sx = srcRect.left + (xAcc >> 16);
            if (sx >= 0 && sx < src.Width()) d[x] = s[sx];
        }
    }
}

void CDibG::CopySprite(CSprite& sprite, POINT point, BOOL useHotspot) {
    DrawSpriteClipped(sprite, point, RECT{0, 0, Width(), Height()}, nullptr, useHotspot);
}

void CDibG::DrawSprite(CSprite& sprite, POINT point, const RECT& clip, BOOL useHotspot) {
    DrawSpriteClipped(sprite, point, clip, nullptr, useHotspot);
}

void CDibG::DrawSpriteMapped(CSprite& sprite, POINT point, const RECT& clip, const BYTE* map, BOOL useHotspot) {
    if (!map) return;
    DrawSpriteClipped(sprite, point, clip, map, useHotspot);
}

void CDibG::DrawSpriteClipped(CSprite& sprite, POINT point, const RECT& clip, const BYTE* map, BOOL useHotspot) {
    if (!sprite.EnsureLoaded()) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (!IsValid()) return;
    const int64_t left = int64_t{point.x} - (useHotspot ? sprite.HotspotX() : 0);
    const int64_t top = int64_t{point.y} - (useHotspot ? sprite.HotspotY() : 0);
    // The clip rectangle, cut to this surface, in the sprite's pixels.
    RECT bound;
    const RECT whole{0, 0, Width(), Height()};
    if (!IntersectRect(&bound, &clip, &whole)) return;
    const int64_t cl = std::max<int64_t>(bound.left - left, 0), ct = std::max<int64_t>(bound.top - top, 0);
    const int64_t cr = std::min<int64_t>(bound.right - left, sprite.Width());
    const int64_t cb = std::min<int64_t>(bound.bottom - top, sprite.Height());
    if (cl >= cr || ct >= cb) return;

    const size_t n = static_cast<size_t>(cr - cl);
    const bool transparent = sprite.IsTransparent();
    const BYTE* s = sprite.Bits() + static_cast<size_t>(ct) * sprite.Stride() + static_cast<size_t>(cl);
    for (int64_t row = ct; row < cb; ++row, s += sprite.Stride()) {
        BYTE* d = m_bits + RowOffset(static_cast<int>(top + row)) + (left + cl);
        if (map)
            media::CopyRowMapped(d, s, n, map, transparent);
        else if (transparent)
            media::CopyRowTransparentWords(d, s, n);
        else
            media::CopyRowOpaque(d, s, n);
    }
}
