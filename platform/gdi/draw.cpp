// Filled and framed rectangles, lines with pens, single pixels and the text layer's seams.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {
namespace {

bool InClip(const Target& t, int x, int y) {
    for (const RECT& r : *t.clip)
        if (PtInRect(&r, POINT{x, y})) return true;
    return false;
}

// A logical rectangle as a surface rectangle of the target.
RECT SurfaceRect(const Target& t, const RECT& logical) {
    POINT a = ToDevice(t.dc->st, logical.left, logical.top);
    POINT b = ToDevice(t.dc->st, logical.right, logical.bottom);
    return RECT{a.x + t.origin.x, a.y + t.origin.y, b.x + t.origin.x, b.y + t.origin.y};
}

// Fills a surface rectangle (right and bottom exclusive) through the clip.
void FillSurface(const Target& t, const RECT& r, uint8_t value, DWORD rop) {
    if (IsRectEmpty(&r)) return;
    Blit(t, Span{r.left, r.right - r.left, false}, Span{r.top, r.bottom - r.top, false}, nullptr, Span{},
         Span{}, false, false, nullptr, rop, value);
}

// Shapes fill with the pen's mix mode: the same truth table over pattern and destination.
DWORD Rop2AsRop3(int rop2) {
    const unsigned table = static_cast<unsigned>(rop2 - 1);
    unsigned code = 0;
    for (unsigned p = 0; p < 2; ++p)
        for (unsigned s = 0; s < 2; ++s)
            for (unsigned d = 0; d < 2; ++d)
                if (table & (1u << (p * 2 + d))) code |= 1u << (p * 4 + s * 2 + d);
    return code << 16;
}

BOOL FillWithBrush(HDC hdc, const RECT* r, HBRUSH brush, DWORD rop) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !r || !GetTarget(dc, t)) return FALSE;
    uint8_t value = 0;
    if (rop != DSTINVERT && !BrushValue(dc, t.surface, brush, value)) return TRUE;
    FillSurface(t, SurfaceRect(t, *r), value, rop);
    return TRUE;
}

// Pen strokes: dash patterns of the styled pens, in pixels on and off.
struct Dashes {
    int n = 0;
    int len[6] = {};
};

Dashes PenDashes(UINT style) {
    switch (style) {
        case PS_DASH:
            return Dashes{2, {18, 6}};
        case PS_DOT:
            return Dashes{2, {3, 3}};
        case PS_DASHDOT:
            return Dashes{4, {9, 6, 3, 6}};
        case PS_DASHDOTDOT:
            return Dashes{6, {9, 3, 3, 3, 3, 3}};
        default:
            return Dashes{};
    }
}

class PenStroke {
public:
    explicit PenStroke(const Target& t) : m_t(t) {
        DcObj* dc = t.dc;
        PenObj* pen = GetPen(dc->st.pen);
        if (!pen || pen->style == PS_NULL) return;
        m_on = true;
        m_value = ResolveColour(dc, t.surface, pen->colour);
        m_bk = ResolveColour(dc, t.surface, dc->st.bkColour);
        m_opaqueGaps = dc->st.bkMode == OPAQUE;
        m_width = pen->width;
        m_rop2 = dc->st.rop2;
        m_mask = ValueMask(t.surface);
        // Wide pens are always solid.
        if (m_width <= 1) m_dashes = PenDashes(pen->style);
    }
    bool On() const { return m_on; }

    // From (x0, y0) to (x1, y1) in surface coordinates, the end point left out.
    void Line(int x0, int y0, int x1, int y1) {
        if (!m_on || !ClipFar(x0, y0, x1, y1)) return;
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        int x = x0, y = y0;
        while (x != x1 || y != y1) {
            Dot(x, y);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += stepX;
            }
            if (e2 <= dx) {
                err += dx;
                y += stepY;
            }
        }
    }

    RECT Touched() const { return m_touched; }
    bool Any() const { return !IsRectEmpty(&m_touched); }

private:
    // Cuts a line that reaches far off the surface down to a band around it (Liang-Barsky), so
    // that absurd coordinates cost no more than a screenful; false when nothing is left.
    bool ClipFar(int& x0, int& y0, int& x1, int& y1) const {
        constexpr int kMargin = 4096;
        const double lo[2] = {-kMargin, -kMargin};
        const double hi[2] = {double(m_t.surface.width) + kMargin, double(m_t.surface.height) + kMargin};
        auto inside = [&](int x, int y) { return x >= lo[0] && x <= hi[0] && y >= lo[1] && y <= hi[1]; };
        if (inside(x0, y0) && inside(x1, y1)) return true;
        const double p0[2] = {double(x0), double(y0)}, d[2] = {double(x1) - x0, double(y1) - y0};
        double t0 = 0, t1 = 1;
        for (int axis = 0; axis < 2; ++axis) {
            const double q[2] = {p0[axis] - lo[axis], hi[axis] - p0[axis]};
            const double p[2] = {-d[axis], d[axis]};
            for (int side = 0; side < 2; ++side) {
                if (p[side] == 0) {
                    if (q[side] < 0) return false;
                    continue;
                }
                const double r = q[side] / p[side];
                if (p[side] < 0)
                    t0 = std::max(t0, r);
                else
                    t1 = std::min(t1, r);
            }
        }
        if (t0 > t1) return false;
        x1 = static_cast<int>(std::lround(p0[0] + t1 * d[0]));
        y1 = static_cast<int>(std::lround(p0[1] + t1 * d[1]));
        x0 = static_cast<int>(std::lround(p0[0] + t0 * d[0]));
        y0 = static_cast<int>(std::lround(p0[1] + t0 * d[1]));
        return true;
    }

    void Dot(int x, int y) {
        bool ink = true;
        if (m_dashes.n) {
            ink = m_dash % 2 == 0;
            if (++m_run >= m_dashes.len[m_dash]) {
                m_run = 0;
                m_dash = (m_dash + 1) % m_dashes.n;
            }
            if (!ink && !m_opaqueGaps) return;
        }
        const uint8_t v = ink ? m_value : m_bk;
        const int half = (m_width - 1) / 2;
        for (int py = y - half; py < y - half + m_width; ++py)
            for (int px = x - half; px < x - half + m_width; ++px) Put(px, py, v);
    }

    void Put(int x, int y, uint8_t v) {
        if (!InClip(m_t, x, y)) return;
        uint8_t& d = m_t.surface.Row(y)[x];
        d = m_rop2 == R2_COPYPEN ? v : ApplyRop2(m_rop2, v, d, m_mask);
        const RECT pixel{x, y, x + 1, y + 1};
        UnionRect(&m_touched, &m_touched, &pixel);
    }

    const Target& m_t;
    bool m_on = false;
    uint8_t m_value = 0;
    uint8_t m_bk = 0;
    bool m_opaqueGaps = false;
    int m_width = 1;
    int m_rop2 = R2_COPYPEN;
    uint8_t m_mask = 0xFF;
    Dashes m_dashes;
    int m_dash = 0;
    int m_run = 0;
    RECT m_touched{};
};

}  // namespace
}  // namespace plat::gdi

using namespace plat::gdi;

int FillRect(HDC hdc, const RECT* r, HBRUSH brush) {
    return FillWithBrush(hdc, r, brush, PATCOPY);
}

int FrameRect(HDC hdc, const RECT* r, HBRUSH brush) {
    if (!r) return 0;
    if (IsRectEmpty(r)) return 1;
    const RECT sides[4] = {{r->left, r->top, r->right, r->top + 1},
                           {r->left, r->bottom - 1, r->right, r->bottom},
                           {r->left, r->top + 1, r->left + 1, r->bottom - 1},
                           {r->right - 1, r->top + 1, r->right, r->bottom - 1}};
    for (const RECT& s : sides)
        if (!IsRectEmpty(&s) && !FillWithBrush(hdc, &s, brush, PATCOPY)) return 0;
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* r) {
    return FillWithBrush(hdc, r, nullptr, DSTINVERT);
}

BOOL DrawFocusRect(HDC hdc, const RECT* r) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !r || !GetTarget(dc, t)) return FALSE;
    const RECT s = SurfaceRect(t, *r);
    if (IsRectEmpty(&s)) return TRUE;
    const uint8_t mask = ValueMask(t.surface);
    // Every other pixel of the border inverted, so drawing it twice takes it away.
    auto flip = [&](int x, int y) {
        if ((x + y) % 2 == 0 && InClip(t, x, y)) t.surface.Row(y)[x] ^= mask;
    };
    for (int x = s.left; x < s.right; ++x) {
        flip(x, s.top);
        if (s.bottom - 1 > s.top) flip(x, s.bottom - 1);
    }
    for (int y = s.top + 1; y < s.bottom - 1; ++y) {
        flip(s.left, y);
        if (s.right - 1 > s.left) flip(s.right - 1, y);
    }
    Touched(t, s);
    return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
    RegionObj* g = GetRegion(rgn);
    if (!g) return FALSE;
    for (const RECT& r : g->rects)
        if (!FillWithBrush(hdc, &r, brush, PATCOPY)) return FALSE;
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !GetTarget(dc, t)) return FALSE;
    RECT r = SurfaceRect(
        t, RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    PenStroke pen(t);
    uint8_t fill = 0;
    if (BrushValue(dc, t.surface, dc->st.brush, fill)) {
        // Without a pen the filled area is one pixel smaller at the right and bottom.
        RECT inside = pen.On() ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                               : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
        FillSurface(t, inside, fill, Rop2AsRop3(dc->st.rop2));
    }
    if (pen.On() && !IsRectEmpty(&r)) {
        const int l = r.left, tp = r.top, rt = r.right - 1, b = r.bottom - 1;
        if (tp == b) {
            pen.Line(l, tp, rt + 1, tp);  // one row: each pixel once
        } else if (l == rt) {
            pen.Line(l, tp, l, b + 1);
        } else {
            pen.Line(l, tp, rt, tp);
            pen.Line(rt, tp, rt, b);
            pen.Line(rt, b, l, b);
            pen.Line(l, b, l, tp);
        }
        if (pen.Any()) Touched(t, pen.Touched());
    }
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return FALSE;
    const POINT from = dc->st.position;
    dc->st.position = POINT{x, y};
    Target t;
    if (!GetTarget(dc, t)) return FALSE;
    PenStroke pen(t);
    const POINT a = ToDevice(dc->st, from.x, from.y), b = ToDevice(dc->st, x, y);
    pen.Line(a.x + t.origin.x, a.y + t.origin.y, b.x + t.origin.x, b.y + t.origin.y);
    if (pen.Any()) Touched(t, pen.Touched());
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !points || count < 2 || !GetTarget(dc, t)) return FALSE;
    PenStroke pen(t);
    for (int i = 0; i + 1 < count; ++i) {
        const POINT a = ToDevice(dc->st, points[i].x, points[i].y);
        const POINT b = ToDevice(dc->st, points[i + 1].x, points[i + 1].y);
        pen.Line(a.x + t.origin.x, a.y + t.origin.y, b.x + t.origin.x, b.y + t.origin.y);
    }
    if (pen.Any()) Touched(t, pen.Touched());
    return TRUE;
}

namespace {

bool PixelTarget(HDC hdc, int x, int y, Target& t, POINT& p) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || !GetTarget(dc, t)) return false;
    p = ToDevice(dc->st, x, y);
    p.x += t.origin.x;
    p.y += t.origin.y;
    return InClip(t, p.x, p.y);
}

}  // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
    Target t;
    POINT p;
    if (!PixelTarget(hdc, x, y, t, p)) return CLR_INVALID;
    const uint8_t v = ResolveColour(t.dc, t.surface, colour);
    t.surface.Row(p.y)[p.x] = v;
    Touched(t, RECT{p.x, p.y, p.x + 1, p.y + 1});
    return ColourOfValue(t.surface, v);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF colour) {
    return SetPixel(hdc, x, y, colour) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Target t;
    POINT p;
    if (!PixelTarget(hdc, x, y, t, p)) return CLR_INVALID;
    return ColourOfValue(t.surface, t.surface.Row(p.y)[p.x]);
}

namespace plat {

BOOL DrawMask(HDC hdc, int x, int y, int width, int height, const uint8_t* mask, int maskPitch,
              COLORREF colour) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !mask || width < 0 || height < 0 || width >= kMaxExtent || height >= kMaxExtent ||
        std::abs(maskPitch) < width || !GetTarget(dc, t))
        return FALSE;
    const uint8_t v = ResolveColour(dc, t.surface, colour);
    const POINT d = ToDevice(dc->st, x, y);
    const RECT area{d.x + t.origin.x, d.y + t.origin.y, d.x + t.origin.x + width, d.y + t.origin.y + height};
    bool any = false;
    for (const RECT& c : *t.clip) {
        RECT r;
        if (!IntersectRect(&r, &c, &area)) continue;
        for (int py = r.top; py < r.bottom; ++py) {
            const uint8_t* m = mask + static_cast<ptrdiff_t>(py - area.top) * maskPitch;
            uint8_t* row = t.surface.Row(py);
            for (int px = r.left; px < r.right; ++px)
                if (m[px - area.left]) row[px] = v;
        }
        any = true;
    }
    if (any) Touched(t, area);
    return TRUE;
}

BOOL FillSolid(HDC hdc, const RECT& r, COLORREF colour) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !GetTarget(dc, t)) return FALSE;
    FillSurface(t, SurfaceRect(t, r), ResolveColour(dc, t.surface, colour), PATCOPY);
    return TRUE;
}

}  // namespace plat

// Each opaque colour of the icon drawn through its own mask.
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
    const plat::CursorImage* img = plat::CursorImageOf(icon);
    if (!img || img->width <= 0 || img->height <= 0) return FALSE;
    const size_t n = static_cast<size_t>(img->width) * static_cast<size_t>(img->height);
    if (img->rgba.size() < n) return FALSE;
    std::map<uint32_t, std::vector<uint8_t>> masks;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t px = img->rgba[i];
        if ((px >> 24) < 0x80) continue;
        auto& m = masks[px & 0xFFFFFF];
        if (m.empty()) m.assign(n, 0);
        m[i] = 1;
    }
    for (auto& [rgb, mask] : masks)
        plat::DrawMask(hdc, x, y, img->width, img->height, mask.data(), img->width, static_cast<COLORREF>(rgb));
    return TRUE;
}
