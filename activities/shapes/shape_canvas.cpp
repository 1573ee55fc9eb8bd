#include "activities/shapes/shape_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/toolbox/aliases.h"
#include "engine/toolbox/picture_items.h"

namespace {

CShapeCanvas* Current() { return ShapeDrawState().currentCanvas; }

int Sign(int32_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// Whether (x, y) lies in the canvas's rectangle and its picture's pixels.
bool Inside(const CShapeCanvas& c, int32_t x, int32_t y) {
    return c.pixels && x >= c.rect.left && x < c.rect.right && y >= c.rect.top && y < c.rect.bottom &&
           x - c.rect.left < c.width && y - c.rect.top < c.height;
}

void Plot(CShapeCanvas& c, int32_t x, int32_t y) {
    if (!Inside(c, x, y)) return;
    c.pixels[static_cast<size_t>(y - c.rect.top) * c.stride + static_cast<size_t>(x - c.rect.left)] =
        static_cast<uint8_t>(c.colour);
}

}  // namespace

CShapeCanvas* CreateCanvas(const CCorRect& rect) {
    auto* c = new (std::nothrow) CShapeCanvas;
    if (!c) return nullptr;
    c->rect = rect;
    c->pen = {rect.left, rect.top};
    const int32_t w = int32_t{rect.right} - rect.left;
    const int32_t h = int32_t{rect.bottom} - rect.top;
    if (w > 0 && h > 0 && w <= INT16_MAX && h <= INT16_MAX) {
        const int16_t id = CreateBlankPicture(static_cast<int16_t>(w), static_cast<int16_t>(h));
        if (id != -1) {
            c->picture = static_cast<uint16_t>(id);
            c->stride = GetPictureStride(id);
            int16_t pw = 0, ph = 0;
            GetPictureSize(id, pw, ph);
            // The stride bounds a row's writes as surely as the width does.
            c->width = static_cast<int16_t>(std::min<int32_t>(pw, c->stride == 0xFFFF ? 0 : c->stride));
            c->height = ph;
        }
    }
    return c;
}

void DestroyCanvas(CShapeCanvas* canvas) {
    if (!canvas) return;
    if (canvas == Current()) SelectCanvas(nullptr);
    if (canvas->picture != 0xFFFF) PurgeResource(static_cast<int16_t>(canvas->picture));
    delete canvas;
}

uint16_t GetCanvasPicture(const CShapeCanvas* canvas) { return canvas ? canvas->picture : 0; }

void SelectCanvas(CShapeCanvas* canvas) {
    if (CShapeCanvas* old = Current()) {
        if (old->pixels) UnlockPictureData(static_cast<int16_t>(old->picture));
        old->pixels = nullptr;
    }
    if (canvas && canvas->picture != 0xFFFF) canvas->pixels = LockPictureData(static_cast<int16_t>(canvas->picture));
    ShapeDrawState().currentCanvas = canvas;
}

CShapeCanvas* GetCurrentCanvas() { return Current(); }
uint8_t* GetCanvasPixels() { return Current() ? Current()->pixels : nullptr; }
uint16_t GetCanvasStride() { return Current() ? Current()->stride : 0; }
CCorPoint GetCanvasOrigin() { return Current() ? CCorPoint{Current()->rect.left, Current()->rect.top} : CCorPoint{}; }

void SetCanvasColour(int16_t c) {
    if (Current()) Current()->colour = static_cast<uint16_t>(c + 10);
}

void ClearCanvasRect(const CCorRect& rect) {
    CShapeCanvas* c = Current();
    if (!c || !c->pixels) return;
    CCorRect r;
    rect.Intersect(r, c->rect);
    const int32_t right = std::min<int32_t>(r.right, c->rect.left + c->width);
    const int32_t bottom = std::min<int32_t>(r.bottom, c->rect.top + c->height);
    for (int32_t y = r.top; y < bottom; ++y)
        for (int32_t x = r.left; x < right; ++x)
            c->pixels[static_cast<size_t>(y - c->rect.top) * c->stride + static_cast<size_t>(x - c->rect.left)] = 0;
}

void CanvasMoveTo(CCorPoint p) {
    if (Current()) Current()->pen = p;
}

void CanvasLineTo(CCorPoint p) {
    if (!Current()) return;
    DrawCanvasLine(Current()->pen, p);
    Current()->pen = p;
}

void DrawCanvasLine(CCorPoint p0, CCorPoint p1) {
    CShapeCanvas* c = Current();
    if (!c) return;
    if (p1.x < p0.x) std::swap(p0, p1);
    if (p0.y == p1.y) {
        // A level line (every fill's span): only the part inside the canvas is walked.
        if (!Inside(*c, c->rect.left, p0.y)) return;
        const int32_t from = std::max<int32_t>(p0.x, c->rect.left);
        const int32_t to = std::min<int32_t>(p1.x, c->rect.left + c->width - 1);
        for (int32_t x = from; x <= to; ++x) Plot(*c, x, p0.y);
        return;
    }
    const int32_t dx2 = 2 * std::abs(int32_t{p1.x} - p0.x);
    const int32_t sx = p1.x == p0.x ? 0 : 1;
    const int32_t dy2 = 2 * std::abs(int32_t{p1.y} - p0.y);
    const int32_t sy = Sign(int32_t{p1.y} - p0.y);
    int32_t x = p0.x, y = p0.y;
    if (dx2 > dy2) {
        int32_t e = dy2 - (dx2 >> 1);
        for (;;) {
            Plot(*c, x, y);
            if (x == p1.x) break;
            if (e >= 0) {
                y += sy;
                e -= dx2;
            }
            x += sx;
            e += dy2;
        }
    } else {
        int32_t e = dx2 - (dy2 >> 1);
        for (;;) {
            Plot(*c, x, y);
            if (y == p1.y) break;
            if (e >= 0) {
                x += sx;
                e -= dy2;
            }
            y += sy;
            e += dx2;
        }
    }
}

void DrawCanvasCircle(CCorPoint centre, int16_t r) {
    CShapeCanvas* c = Current();
    if (!c) return;
    const int32_t cx = centre.x, cy = centre.y;
    auto eight = [&](int32_t a, int32_t b) {
        Plot(*c, cx + a, cy + b);
        Plot(*c, cx + a, cy - b);
        Plot(*c, cx - a, cy + b);
        Plot(*c, cx - a, cy - b);
        Plot(*c, cx + b, cy + a);
        Plot(*c, cx + b, cy - a);
        Plot(*c, cx - b, cy + a);
        Plot(*c, cx - b, cy - a);
    };
    int32_t x = 0, y = r, d = 1 - r, dE = 3, dSE = 5 - 2 * r;
    eight(x, y);
    if (r <= 0) return;
    while (y > x) {
        if (d < 0) {
            d += dE;
            dE += 2;
            dSE += 2;
        } else {
            d += dSE;
            dE += 2;
            dSE += 4;
            --y;
        }
        ++x;
        eight(x, y);
    }
}

void PlotCanvasPixel(int32_t x, int32_t y) {
    if (CShapeCanvas* c = Current()) Plot(*c, x, y);
}

void ScanEdge(CCorPoint p0, CCorPoint p1, SpanTable& table) {
    if (p1.x < p0.x) std::swap(p0, p1);
    if (p0.y == p1.y) return;
    auto enter = [&table](int32_t y, int32_t x) {
        if (y >= 0 && y < kSpanRows) table[static_cast<size_t>(y)] = static_cast<int16_t>(x);
    };
    const int32_t dx2 = 2 * std::abs(int32_t{p1.x} - p0.x);
    const int32_t sx = p1.x == p0.x ? 0 : 1;
    const int32_t dy2 = 2 * std::abs(int32_t{p1.y} - p0.y);
    const int32_t sy = Sign(int32_t{p1.y} - p0.y);
    int32_t x = p0.x, y = p0.y;
    enter(y, x);
    if (dy2 < dx2) {
        int32_t e = dy2 - (dx2 >> 1);
        while (x != p1.x) {
            x += sx;
            if (e >= 0) {
                y += sy;
                e -= dx2;
                enter(y, x);
            }
            e += dy2;
        }
    } else {
        int32_t e = dx2 - (dy2 >> 1);
        while (y != p1.y) {
            if (e >= 0) {
                x += sx;
                e -= dy2;
            }
            y += sy;
            enter(y, x);
            e += dx2;
        }
    }
}

void ScanTexturedEdge(CCorPoint p0, CCorPoint p1, CCorPoint q0, CCorPoint q1) {
    if (p0.y == p1.y) return;
    CShapeDrawState& state = ShapeDrawState();
    TexSpanTable* table = &state.texSpanDown;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        std::swap(q0, q1);
        table = &state.texSpanUp;
    }
    const int32_t n = int32_t{p1.y} - p0.y;
    // Each step is at most 65535 × 256 and n steps never pass the far end: 32 bits hold it.
    int32_t x = p0.x * 256, dx = (int32_t{p1.x} - p0.x) * 256 / n;
    int32_t u = q0.x * 256, du = (int32_t{q1.x} - q0.x) * 256 / n;
    int32_t v = q0.y * 256, dv = (int32_t{q1.y} - q0.y) * 256 / n;
    for (int32_t y = p0.y; y < p1.y; ++y) {
        if (y >= 0 && y < kSpanRows) (*table)[static_cast<size_t>(y)] = {x >> 8, u, v};
        x += dx;
        u += du;
        v += dv;
    }
}
