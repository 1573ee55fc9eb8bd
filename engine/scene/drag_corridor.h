// CDragCorridor: where a dragged picture may go. It is made of the home spot's rectangle, the
// target spot's rectangle (empty for no target) and, when the two lie apart, the bridge between
// them. After Init each non-empty rectangle reaches one pixel further right and down, so a
// picture whose right or bottom edge lies on a spot's right or bottom edge still counts as
// inside it.
#pragma once

#include "platform/core/wintypes.h"

class CDragCorridor {
public:
    // Home and target as the spots give them (right and bottom exclusive); an empty target
    // means none.
    void Init(const RECT& home, const RECT& target);
    // True when each corner of the rectangle, in the order (left, top), (right, bottom),
    // (right, top), (left, bottom), lies in at least one of home, target and bridge.
    bool ContainsRect(const RECT& r) const;
    // True when the point lies in home, or in target or bridge when they are not empty, each
    // inflated by (dx, dy).
    bool IsNear(POINT p, int dx, int dy) const;
    // The rectangle moved towards (dx, dy) one pixel at a time, x and y in turn; a step that
    // would leave the corridor is not taken and ends the movement along its axis, as does the
    // distance being used up. The farthest rectangle along that staircase.
    RECT SlideRect(const RECT& r, int dx, int dy) const;

    const RECT& Home() const { return m_home; }
    const RECT& Target() const { return m_target; }
    const RECT& Bridge() const { return m_bridge; }

private:
    bool Contains(POINT p) const;

    RECT m_home{};
    RECT m_target{};
    RECT m_bridge{};
};
