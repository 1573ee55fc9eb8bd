#include "engine/toolbox/picture_quad.h"

#include <algorithm>
#include <memory>
#include <new>

#include "media/res/item_cache.h"
#include "media/res/sprite.h"

namespace {

struct EdgeEntry {
    int32_t x = 0;  // whole pixels
    int32_t u = 0;  // 8.8 fixed point
    int32_t v = 0;
};

// Writes the rows ya .. yb - 1 of the edge from (xa, ya | ua, va) to (xb, yb | ub, vb), yb > ya.
void ScanEdge(EdgeEntry* table, CCorPoint a, CCorPoint ua, CCorPoint b, CCorPoint ub) {
    const int32_t dy = b.y - a.y;
    const int32_t stepX = (b.x - a.x) * 256 / dy;
    const int32_t stepU = (ub.x - ua.x) * 256 / dy;
    const int32_t stepV = (ub.y - ua.y) * 256 / dy;
    int32_t x = a.x * 256, u = ua.x * 256, v = ua.y * 256;
    for (int32_t y = a.y; y < b.y; ++y) {
        table[y] = EdgeEntry{x >> 8, u, v};
        x += stepX;
        u += stepU;
        v += stepV;
    }
}

bool Inside(CCorPoint p, int width, int height) { return p.x >= 0 && p.y >= 0 && p.x <= width && p.y <= height; }

}  // namespace

void TexturePolygon(const LockedPicture& source, const LockedPicture& destination, const CCorPoint* sourcePoints,
                    const CCorPoint* destinationPoints, int n) {
    if (!source.bits || !destination.bits || !sourcePoints || !destinationPoints || n < 3) return;
    // Every pixel touched lies between the points: checking them bounds every read and write.
    for (int i = 0; i < n; ++i) {
        const CCorPoint d = destinationPoints[i], s = sourcePoints[i];
        if (!Inside(d, destination.width, std::min<int>(destination.height, kQuadEdgeRows))) return;
        if (!Inside(s, source.width - 1, source.height - 1)) return;
    }
    std::unique_ptr<EdgeEntry[]> left(new (std::nothrow) EdgeEntry[kQuadEdgeRows]());
    std::unique_ptr<EdgeEntry[]> right(new (std::nothrow) EdgeEntry[kQuadEdgeRows]());
    if (!left || !right) return;

    int top = destinationPoints[0].y, bottom = destinationPoints[0].y;
    for (int i = 0; i < n; ++i) {
        const int from = i == 0 ? n - 1 : i - 1;
        const CCorPoint a = destinationPoints[from], b = destinationPoints[i];
        top = std::min<int>(top, b.y);
        bottom = std::max<int>(bottom, b.y);
        if (a.y == b.y) continue;
        if (b.y < a.y)
            ScanEdge(left.get(), b, sourcePoints[i], a, sourcePoints[from]);
        else
            ScanEdge(right.get(), a, sourcePoints[from], b, sourcePoints[i]);
    }

    for (int y = top; y < bottom; ++y) {
        EdgeEntry a = left[y], b = right[y];
        if (b.x < a.x) std::swap(a, b);
        const int32_t w = b.x - a.x;
        if (w == 0) continue;
        const int32_t du = (b.u - a.u) / w, dv = (b.v - a.v) / w;
        int32_t u = a.u, v = a.v;
        BYTE* row = destination.bits + y * destination.stride + a.x;
        for (int32_t k = 0; k < w; ++k) {
            row[k] = source.bits[(v >> 8) * source.stride + (u >> 8)];
            u += du;
            v += dv;
        }
    }
}

int16_t DrawPictureQuad(int16_t id, CCorPoint p0, CCorPoint p1, CCorPoint p2, CCorPoint p3) {
    const CCorPoint corners[4] = {p0, p1, p2, p3};
    int minX = p0.x, minY = p0.y, maxX = p0.x, maxY = p0.y;
    for (const CCorPoint& p : corners) {
        minX = std::min<int>(minX, p.x);
        minY = std::min<int>(minY, p.y);
        maxX = std::max<int>(maxX, p.x);
        maxY = std::max<int>(maxY, p.y);
    }
    const int w = maxX - minX, h = maxY - minY;
    if (h > kQuadEdgeRows || w > kMaxSpriteSide) return 0;

    IResItemHost& host = ResItemHost();
    const int16_t made = host.NewBlankPicture(static_cast<int16_t>(w), static_cast<int16_t>(h));
    if (made < 0) return 0;
    if (CSprite* picture = GetResItem(host.MapResourceId(made), FALSE))
        picture->SetHotspot(picture->HotspotX() + p0.x - minX, picture->HotspotY() + p0.y - minY);

    const LockedPicture target = LockPicture(made);
    if (target.bits) {
        const LockedPicture source = LockPicture(id);
        if (source.bits) {
            const int16_t right = static_cast<int16_t>(source.width - 1), bottom = static_cast<int16_t>(source.height - 1);
            const CCorPoint from[4] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
            CCorPoint to[4];
            for (int i = 0; i < 4; ++i)
                to[i] = CCorPoint{static_cast<int16_t>(corners[i].x - minX), static_cast<int16_t>(corners[i].y - minY)};
            TexturePolygon(source, target, from, to, 4);
            UnlockPicture(source);
        }
        UnlockPicture(target);
    }
    return static_cast<int16_t>(made % 1000);
}
