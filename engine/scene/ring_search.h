// The widened click search shared by the static pictures and the display list: when a click
// misses a picture, the points on the rings of radius 1 to 8 around it are tried in a fixed
// order, and the first one that lies inside the picture is tested again.
#pragma once

#include <optional>

#include "platform/core/wintypes.h"

inline constexpr int kRingSearchRadius = 8;

// The first point, in search order, for which inside(point) holds; none when no ring point
// does. Order: radius 1 to 8; in each ring the rows from -r to +r; the top and bottom rows
// whole from left to right, the rows between only at -r and then +r.
template <class Inside>
std::optional<POINT> FindRingPoint(POINT centre, Inside&& inside) {
    for (LONG r = 1; r <= kRingSearchRadius; ++r) {
        for (LONG dy = -r; dy <= r; ++dy) {
            const LONG step = dy == -r || dy == r ? 1 : 2 * r;
            for (LONG dx = -r; dx <= r; dx += step) {
                const POINT p{centre.x + dx, centre.y + dy};
                if (inside(p)) return p;
            }
        }
    }
    return std::nullopt;
}
