#include "engine/scene/drag_corridor.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/core/rect.h"

namespace {

void Widen(RECT& r) {
    if (IsRectEmpty(&r)) return;
    ++r.right;
    ++r.bottom;
}

bool InInflated(const RECT& r, POINT p, int dx, int dy) {
    if (IsRectEmpty(&r)) return false;
    const long long x = p.x, y = p.y;
    return x >= static_cast<long long>(r.left) - dx && x < static_cast<long long>(r.right) + dx &&
           y >= static_cast<long long>(r.top) - dy && y < static_cast<long long>(r.bottom) + dy;
}

}  // namespace

void CDragCorridor::Init(const RECT& home, const RECT& target) {
    m_home = home;
    m_target = IsRectEmpty(&target) ? RECT{} : target;
    m_bridge = RECT{};
    RECT meet;
    if (!IsRectEmpty(&m_home) && !IsRectEmpty(&m_target) && !IntersectRect(&meet, &m_home, &m_target)) {
        std::array<LONG, 4> xs{m_home.left, m_home.right, m_target.left, m_target.right};
        std::array<LONG, 4> ys{m_home.top, m_home.bottom, m_target.top, m_target.bottom};
        std::sort(xs.begin(), xs.end());
        std::sort(ys.begin(), ys.end());
        m_bridge = RECT{xs[1], ys[1], xs[2], ys[2]};
        if (IsRectEmpty(&m_bridge)) m_bridge = RECT{};
    }
    Widen(m_home);
    Widen(m_target);
    Widen(m_bridge);
}

bool CDragCorridor::Contains(POINT p) const {
    return PtInRect(&m_home, p) || PtInRect(&m_target, p) || PtInRect(&m_bridge, p);
}

bool CDragCorridor::ContainsRect(const RECT& r) const {
    return Contains(POINT{r.left, r.top}) && Contains(POINT{r.right, r.bottom}) && Contains(POINT{r.right, r.top}) &&
           Contains(POINT{r.left, r.bottom});
}

bool CDragCorridor::IsNear(POINT p, int dx, int dy) const {
    return InInflated(m_home, p, dx, dy) || InInflated(m_target, p, dx, dy) || InInflated(m_bridge, p, dx, dy);
}

RECT CDragCorridor::SlideRect(const RECT& r, int dx, int dy) const {
    RECT at = r;
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    long long leftX = std::llabs(static_cast<long long>(dx)), leftY = std::llabs(static_cast<long long>(dy));
    while (leftX > 0 || leftY > 0) {
        if (leftX > 0) {
            OffsetRect(&at, sx, 0);
            if (ContainsRect(at)) {
                --leftX;
            } else {
                OffsetRect(&at, -sx, 0);
                leftX = 0;
            }
        }
        if (leftY > 0) {
            OffsetRect(&at, 0, sy);
            if (ContainsRect(at)) {
                --leftY;
            } else {
                OffsetRect(&at, 0, -sy);
                leftY = 0;
            }
        }
    }
    return at;
}
