// The class library's geometry classes: CPoint, CSize and CRect over POINT, SIZE and RECT.
#pragma once

#include <utility>

#include "platform/core/rect.h"
#include "platform/core/wintypes.h"

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int x, int y) {
        cx = x;
        cy = y;
    }
    CSize(SIZE s) : SIZE(s) {}
    bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
    CSize operator+(SIZE o) const { return CSize(cx + o.cx, cy + o.cy); }
    CSize operator-(SIZE o) const { return CSize(cx - o.cx, cy - o.cy); }
};

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int px, int py) {
        x = px;
        y = py;
    }
    CPoint(POINT p) : POINT(p) {}
    // From a mouse message's lParam.
    explicit CPoint(LPARAM lp) {
        x = GET_X_LPARAM(lp);
        y = GET_Y_LPARAM(lp);
    }
    void Offset(int dx, int dy) {
        x += dx;
        y += dy;
    }
    bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& r) : RECT(r) {}
    CRect(POINT topLeft, SIZE size) : CRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy) {}
    CRect(POINT topLeft, POINT bottomRight) : CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    BOOL IntersectRect(const RECT& a, const RECT& b) { return ::IntersectRect(this, &a, &b); }
    BOOL UnionRect(const RECT& a, const RECT& b) { return ::UnionRect(this, &a, &b); }
    bool operator==(const RECT& o) const { return ::EqualRect(this, &o) != FALSE; }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};

using LPINT = int*;
using DWORD_PTR = uintptr_t;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
