// Windows' rectangle calls, the one place rectangle arithmetic is written. Rectangles are
// (left, top, right, bottom) with right and bottom exclusive; a rectangle whose right is not
// beyond its left, or whose bottom is not below its top, is empty (this covers inverted ones).
// Every call that writes a result accepts a destination that is also a source.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/core/wintypes.h"

inline BOOL SetRect(RECT* r, int left, int top, int right, int bottom) {
    if (!r) return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}

inline BOOL SetRectEmpty(RECT* r) {
    if (!r) return FALSE;
    *r = RECT{};
    return TRUE;
}

inline BOOL CopyRect(RECT* dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

// A missing rectangle counts as empty.
inline BOOL IsRectEmpty(const RECT* r) {
    return !r || r->right <= r->left || r->bottom <= r->top;
}

// Coordinates are compared, so two empty rectangles at different places differ.
inline BOOL EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

// The left and top edges are inside, the right and bottom ones outside; an empty rectangle
// holds no point.
inline BOOL PtInRect(const RECT* r, POINT p) {
    if (!r) return FALSE;
    return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

inline BOOL OffsetRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

// Moves each side outwards (negative amounts inwards); the result is not normalised.
inline BOOL InflateRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

// The common area; all zeros and FALSE when there is none (an empty source has none, and
// rectangles that only touch share no area).
inline BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    if (!a || !b) {
        *dst = RECT{};
        return FALSE;
    }
    const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                 std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

// The smallest rectangle holding both; an empty source adds nothing. Both empty: all zeros and
// FALSE.
inline BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    const bool aEmpty = IsRectEmpty(a), bEmpty = IsRectEmpty(b);
    if (aEmpty && bEmpty) {
        *dst = RECT{};
        return FALSE;
    }
    if (aEmpty) {
        *dst = *b;
    } else if (bEmpty) {
        *dst = *a;
    } else {
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

// The bounding rectangle of what is left of a once b is taken away: a shrinks only where b
// covers a whole side of it (b spans a's full height or width and reaches one of its edges).
// All zeros and FALSE when nothing is left.
inline BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    if (IsRectEmpty(a)) {
        *dst = RECT{};
        return FALSE;
    }
    RECT result = *a;
    RECT common;
    if (b && IntersectRect(&common, a, b)) {
        if (EqualRect(&common, a)) {
            *dst = RECT{};
            return FALSE;
        }
        if (common.top == a->top && common.bottom == a->bottom) {
            if (common.left == a->left) {
                result.left = common.right;
            } else if (common.right == a->right) {
                result.right = common.left;
            }
        } else if (common.left == a->left && common.right == a->right) {
            if (common.top == a->top) {
                result.top = common.bottom;
            } else if (common.bottom == a->bottom) {
                result.bottom = common.top;
            }
        }
    }
    *dst = result;
    return TRUE;
}

namespace plat {

// Value forms for arithmetic inside the platform and media.
inline RECT Offset(RECT r, int dx, int dy) {
    OffsetRect(&r, dx, dy);
    return r;
}

// Each side moved inwards by d (outwards for a negative d).
inline RECT Inset(RECT r, int d) {
    InflateRect(&r, -d, -d);
    return r;
}

// Takes cut away from every rectangle of the list. Each rectangle it meets is replaced by up
// to four parts (above, below, left and right of the common area), so a list that did not
// overlap itself still does not.
void CutFromRects(std::vector<RECT>& rects, const RECT& cut);

// The bounding rectangle of the non-empty rectangles of a list; all zeros when there is none.
RECT BoundingRect(const std::vector<RECT>& rects);

}  // namespace plat
