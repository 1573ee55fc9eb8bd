#include "tools/mkres/picture_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mkres {

CPictureCanvas::CPictureCanvas(int width, int height, uint8_t background)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * static_cast<size_t>(height), background) {}

uint8_t CPictureCanvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + static_cast<size_t>(x)];
}

void CPictureCanvas::Set(int x, int y, uint8_t v) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[static_cast<size_t>(y) * m_width + static_cast<size_t>(x)] = v;
}

void CPictureCanvas::Fill(uint8_t v) {
    std::fill(m_pixels.begin(), m_pixels.end(), v);
}

void CPictureCanvas::Rect(int left, int top, int right, int bottom, uint8_t v) {
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x) Set(x, y, v);
}

void CPictureCanvas::Frame(int left, int top, int right, int bottom, uint8_t v, int width) {
    Rect(left, top, right, top + width, v);
    Rect(left, bottom - width, right, bottom, v);
    Rect(left, top, left + width, bottom, v);
    Rect(right - width, top, right, bottom, v);
}

bool CPictureCanvas::InRoundRect(int x, int y, int left, int top, int right, int bottom, int radius) const {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    const int r = std::max(0, std::min({radius, (right - left) / 2, (bottom - top) / 2}));
    if (r == 0) return true;
    // Only the corner squares are rounded: the point must lie in the corner's circle.
    const double px = x + 0.5, py = y + 0.5;
    const double cx = px < left + r ? left + r : (px > right - r ? right - r : px);
    const double cy = py < top + r ? top + r : (py > bottom - r ? bottom - r : py);
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= static_cast<double>(r) * r;
}

void CPictureCanvas::RoundRect(int left, int top, int right, int bottom, int radius, uint8_t v) {
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x)
            if (InRoundRect(x, y, left, top, right, bottom, radius)) Set(x, y, v);
}

void CPictureCanvas::RoundFrame(int left, int top, int right, int bottom, int radius, uint8_t v, int width) {
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x)
            if (InRoundRect(x, y, left, top, right, bottom, radius) &&
                !InRoundRect(x, y, left + width, top + width, right - width, bottom - width, radius - width))
                Set(x, y, v);
}

bool CPictureCanvas::InEllipse(double px, double py, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0) return false;
    const double dx = (px - cx) / rx, dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void CPictureCanvas::Ellipse(int cx, int cy, int rx, int ry, uint8_t v) {
    for (int y = std::max(cy - ry, 0); y < std::min(cy + ry, m_height); ++y)
        for (int x = std::max(cx - rx, 0); x < std::min(cx + rx, m_width); ++x)
            if (InEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry)) Set(x, y, v);
}

void CPictureCanvas::Ring(int cx, int cy, int rx, int ry, uint8_t v, int width) {
    for (int y = std::max(cy - ry, 0); y < std::min(cy + ry, m_height); ++y)
        for (int x = std::max(cx - rx, 0); x < std::min(cx + rx, m_width); ++x)
            if (InEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry) &&
                !InEllipse(x + 0.5, y + 0.5, cx, cy, rx - width, ry - width))
                Set(x, y, v);
}

void CPictureCanvas::Polygon(const std::vector<std::pair<int, int>>& points, uint8_t v) {
    if (points.size() < 3) return;
    int top = m_height, bottom = 0;
    for (const auto& p : points) {
        top = std::min(top, p.second);
        bottom = std::max(bottom, p.second);
    }
    std::vector<double> crossings;
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y) {
        const double py = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const auto& a = points[i];
            const auto& b = points[(i + 1) % points.size()];
            if ((a.second <= py) == (b.second <= py)) continue;  // the edge does not cross this row
            const double t = (py - a.second) / (b.second - a.second);
            crossings.push_back(a.first + t * (b.first - a.first));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centre lies between the two crossings.
            const int from = static_cast<int>(std::ceil(crossings[i] - 0.5));
            const int to = static_cast<int>(std::ceil(crossings[i + 1] - 0.5));
            for (int x = std::max(from, 0); x < std::min(to, m_width); ++x) Set(x, y, v);
        }
    }
}

void CPictureCanvas::Line(int x0, int y0, int x1, int y1, uint8_t v, int width) {
    if (width <= 1) {
        // Bresenham: every pixel of the thin line, both ends included.
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, v);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
        return;
    }
    // A wide line: pixels whose centre lies within width / 2 of the segment between the end
    // pixels' centres.
    const double ax = x0 + 0.5, ay = y0 + 0.5, bx = x1 + 0.5, by = y1 + 0.5;
    const double r = width / 2.0;
    const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
    const int left = static_cast<int>(std::floor(std::min(ax, bx) - r)), right = static_cast<int>(std::ceil(std::max(ax, bx) + r));
    const int top = static_cast<int>(std::floor(std::min(ay, by) - r)), bottom = static_cast<int>(std::ceil(std::max(ay, by) + r));
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, m_width); ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double t = len2 > 0 ? ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double qx = ax + t * (bx - ax) - px, qy = ay + t * (by - ay) - py;
            if (qx * qx + qy * qy <= r * r) Set(x, y, v);
        }
}

void CPictureCanvas::Label(const plat::BitmapFace& face, std::string_view cp1252, int x, int y, uint8_t v, Align align,
                           int outline) {
    const int extent = plat::TextExtent(face, cp1252).cx;
    const int left = align == Align::Left ? x : (align == Align::Centre ? x - extent / 2 : x - extent);
    if (outline >= 0) {
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox)
                if (ox || oy)
                    plat::ForEachInk(face, cp1252, left + ox, y + oy,
                                     [&](int px, int py) { Set(px, py, static_cast<uint8_t>(outline)); });
    }
    plat::ForEachInk(face, cp1252, left, y, [&](int px, int py) { Set(px, py, v); });
}

std::vector<uint8_t> CPictureCanvas::SprBytes() const {
    const int stride = ((m_width + 3) / 4) * 4;
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t value) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put32(static_cast<uint32_t>(m_width));
    put32(static_cast<uint32_t>(m_height));
    put32(static_cast<uint32_t>(stride) * static_cast<uint32_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const auto row = m_pixels.begin() + static_cast<ptrdiff_t>(y) * m_width;
        out.insert(out.end(), row, row + m_width);
        out.insert(out.end(), static_cast<size_t>(stride - m_width), 0);
    }
    return out;
}

}  // namespace mkres
