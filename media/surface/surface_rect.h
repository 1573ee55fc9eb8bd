// Rectangle arithmetic of the surfaces and the redraw list, with Windows' meaning: right and
// bottom are exclusive, a rectangle with no area is empty, and intersecting means sharing area.
#pragma once

#include <algorithm>

#include "platform/core/wintypes.h"

namespace surface {

inline bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The common part; false (and r set to all zeros) when there is none.
inline bool Intersect(RECT& r, const RECT& a, const RECT& b) {
    r = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
    if (IsEmpty(r)) {
        r = RECT{};
        return false;
    }
    return true;
}

inline bool Meets(const RECT& a, const RECT& b) {
    RECT r;
    return Intersect(r, a, b);
}

// The smallest rectangle holding both; an empty one adds nothing (both empty: all zeros).
inline RECT Union(const RECT& a, const RECT& b) {
    if (IsEmpty(a)) return IsEmpty(b) ? RECT{} : b;
    if (IsEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

inline bool Equal(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace surface
