// The class library's geometry classes: CPoint, CSize and CRect over POINT, SIZE and RECT.
#pragma once

#include <utility>

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
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
    void SetRectEmpty() { *this = CRect(); }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void InflateRect(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    BOOL IntersectRect(const RECT& a, const RECT& b) {
        left = a.left > b.left ? a.left : b.left;
        top = a.top > b.top ? a.top : b.top;
        right = a.right < b.right ? a.right : b.right;
        bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
        if (IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        return TRUE;
    }
    BOOL UnionRect(const RECT& a, const RECT& b) {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty()) {
            *this = rb;
        } else if (rb.IsRectEmpty()) {
            *this = ra;
        } else {
            left = a.left < b.left ? a.left : b.left;
            top = a.top < b.top ? a.top : b.top;
            right = a.right > b.right ? a.right : b.right;
            bottom = a.bottom > b.bottom ? a.bottom : b.bottom;
        }
        return !IsRectEmpty();
    }
    bool operator==(const RECT& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};

using LPINT = int*;
using DWORD_PTR = uintptr_t;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
