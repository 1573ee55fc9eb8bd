// The engine's 16-bit point and rectangle in picture coordinates: x first; right and bottom
// exclusive. Sums and differences wrap to 16 bits, as the activities' layouts expect.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

struct CCorPoint {
    int16_t x = 0;
    int16_t y = 0;

    CCorPoint& operator+=(const CCorPoint& b) {
        x = static_cast<int16_t>(x + b.x);
        y = static_cast<int16_t>(y + b.y);
        return *this;
    }
    CCorPoint& operator-=(const CCorPoint& b) {
        x = static_cast<int16_t>(x - b.x);
        y = static_cast<int16_t>(y - b.y);
        return *this;
    }
    friend CCorPoint operator+(CCorPoint a, const CCorPoint& b) { return a += b; }
    friend CCorPoint operator-(CCorPoint a, const CCorPoint& b) { return a -= b; }
    friend bool operator==(const CCorPoint&, const CCorPoint&) = default;
};
static_assert(sizeof(CCorPoint) == 4);

struct CCorRect {
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;

    int16_t Width() const { return static_cast<int16_t>(right - left); }
    int16_t Height() const { return static_cast<int16_t>(bottom - top); }

    // Moves the rectangle by the point.
    CCorRect& operator+=(const CCorPoint& p) {
        left = static_cast<int16_t>(left + p.x);
        right = static_cast<int16_t>(right + p.x);
        top = static_cast<int16_t>(top + p.y);
        bottom = static_cast<int16_t>(bottom + p.y);
        return *this;
    }
    CCorRect& operator-=(const CCorPoint& p) {
        left = static_cast<int16_t>(left - p.x);
        right = static_cast<int16_t>(right - p.x);
        top = static_cast<int16_t>(top - p.y);
        bottom = static_cast<int16_t>(bottom - p.y);
        return *this;
    }
    friend bool operator==(const CCorRect&, const CCorRect&) = default;

    // Empty: no pixel inside (a normal rectangle of zero width is empty too).
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Normal: not inverted.
    bool IsNormal() const { return right >= left && bottom >= top; }
    bool Contains(const CCorPoint& p) const { return top <= p.y && p.y < bottom && left <= p.x && p.x < right; }

    // out = the common part of this and s; all zeros when that would be inverted. out may be
    // this or s.
    CCorRect& Intersect(CCorRect& out, const CCorRect& s) const {
        const CCorRect r{std::max(left, s.left), std::max(top, s.top), std::min(right, s.right),
                         std::min(bottom, s.bottom)};
        out = r.IsNormal() ? r : CCorRect{};
        return out;
    }
    // out = the smallest rectangle holding both; empty rectangles count like any other (so a
    // union with (0, 0, 0, 0) reaches the origin). out may be this or s.
    CCorRect& Union(CCorRect& out, const CCorRect& s) const {
        out = CCorRect{std::min(left, s.left), std::min(top, s.top), std::max(right, s.right),
                       std::max(bottom, s.bottom)};
        return out;
    }
};
static_assert(sizeof(CCorRect) == 8);

// A record of CCorRect's four fields in the same order, made all zero: the level chooser's
// segment rectangles and the record panel's hit rectangles are made so and filled by their
// owners afterwards.
struct Rect16 {
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;
};
static_assert(sizeof(Rect16) == 8);
static_assert(offsetof(Rect16, left) == offsetof(CCorRect, left) && offsetof(Rect16, top) == offsetof(CCorRect, top) &&
              offsetof(Rect16, right) == offsetof(CCorRect, right) &&
              offsetof(Rect16, bottom) == offsetof(CCorRect, bottom));
