#include "engine/toolbox/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Filled once, on first use (start-up calls it before any module runs).
const std::array<int16_t, 901>& CosTable() {
    static const std::array<int16_t, 901> table = [] {
        std::array<int16_t, 901> t{};
        for (int i = 0; i <= 900; ++i)
            t[static_cast<size_t>(i)] = static_cast<int16_t>(std::trunc(std::cos(i * 0.0017453277777777778) * 256.0));
        return t;
    }();
    return table;
}

int64_t Square(int64_t v) { return v * v; }

int64_t Dist2(CCorPoint p, int64_t x, int64_t y) { return Square(x - p.x) + Square(y - p.y); }

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
}

// The two numerators and the denominator of the segments' line parameters.
struct Crossing {
    int64_t denominator;
    int64_t na;
    int64_t nb;
};

Crossing Solve(CCorPoint p1, CCorPoint p2, CCorPoint p3, CCorPoint p4) {
    const int64_t x1 = p1.x, y1 = p1.y, x2 = p2.x, y2 = p2.y, x3 = p3.x, y3 = p3.y, x4 = p4.x, y4 = p4.y;
    return Crossing{(y2 - y1) * (x4 - x3) + (y3 - y4) * (x2 - x1), (y3 - y1) * (x2 - x1) + (y1 - y2) * (x3 - x1),
                    (y3 - y1) * (x4 - x3) + (y3 - y4) * (x3 - x1)};
}

}  // namespace

int16_t CosTenths(int16_t angle) {
    int a = angle % 3600;
    if (a < 0) a += 3600;
    const auto& table = CosTable();
    if (a <= 900) return table[static_cast<size_t>(a)];
    if (a <= 1800) return static_cast<int16_t>(-table[static_cast<size_t>(1800 - a)]);
    if (a <= 2700) return static_cast<int16_t>(-table[static_cast<size_t>(a - 1800)]);
    return table[static_cast<size_t>(3600 - a)];
}

int16_t SinTenths(int16_t angle) {
    int a = angle % 3600;
    if (a < 0) a += 3600;
    return CosTenths(static_cast<int16_t>(a < 900 ? a + 2700 : a - 900));
}

int16_t Atan2Tenths(int16_t y, int16_t x) {
    int tenths = static_cast<int>(std::atan2(static_cast<double>(y), static_cast<double>(x)) * 572.9582790879778);
    if (tenths < 0) tenths += 3600;
    return static_cast<int16_t>(tenths);
}

int32_t IntSqrt(int32_t value) {
    uint32_t operand = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    uint32_t root = 0;
    uint64_t remainder = 0;
    for (int round = 0; round < 16; ++round) {
        remainder = (remainder << 2) | (operand >> 30);
        operand <<= 2;
        root <<= 1;
        const uint64_t trial = 2 * static_cast<uint64_t>(root) + 1;
        if (trial <= remainder) {
            remainder -= trial;
            root |= 1;
        }
    }
    return static_cast<int32_t>(root);
}

int32_t PointSegmentDistance(CCorPoint p, CCorPoint a, CCorPoint b) {
    const int64_t dx = a.x - b.x, dy = a.y - b.y;
    const int64_t len2 = dx * dx + dy * dy;
    if (len2 == 0) return Clamp32(Dist2(p, a.x, a.y));
    const int64_t t = (p.y - a.y) * dy + (p.x - a.x) * dx;
    const int64_t qx = a.x + t * dx / len2;
    const int64_t qy = a.y + t * dy / len2;
    if (qx >= std::min(a.x, b.x) && qx <= std::max(a.x, b.x) && qy >= std::min(a.y, b.y) && qy <= std::max(a.y, b.y))
        return Clamp32(Dist2(p, qx, qy));
    return Clamp32(std::min(Dist2(p, b.x, b.y), Dist2(p, a.x, a.y)));
}

int16_t SegmentsCross(CCorPoint p1, CCorPoint p2, CCorPoint p3, CCorPoint p4) {
    const Crossing c = Solve(p1, p2, p3, p4);
    if (c.denominator == 0) return 0;
    if (c.denominator < 0)
        return c.denominator <= c.na && c.na <= 0 && c.denominator <= c.nb && c.nb <= 0 ? 1 : 0;
    return 0 <= c.na && c.na <= c.denominator && 0 <= c.nb && c.nb <= c.denominator ? 1 : 0;
}

int16_t SegmentsIntersect(CCorPoint p1, CCorPoint p2, CCorPoint p3, CCorPoint p4) {
    const Crossing c = Solve(p1, p2, p3, p4);
    if (c.denominator == 0) return 0;
    if (c.denominator < 0) return c.denominator < c.na && c.na < 0 && c.denominator < c.nb && c.nb < 0 ? 1 : 0;
    return 0 < c.na && c.na < c.denominator && 0 < c.nb && c.nb < c.denominator ? 1 : 0;
}

CHermiteTween::CHermiteTween(double furtherValue, double end, double start, double length, double startSlope,
                             double endSlope)
    : duration(length),
      startValue(start),
      endValue(end),
      startTangent(startSlope),
      endTangent(endSlope),
      current(start),
      further(furtherValue),
      work1(start),
      work2(start) {}

void CHermiteTween::Restart() { current = work1 = work2 = startValue; }

double CHermiteTween::Evaluate(double t) const {
    if (!(duration >= t) || duration == 0) return endValue;
    const double s = t / duration, s2 = s * s, s3 = s2 * s;
    return startValue * (2 * s3 - 3 * s2 + 1) + startTangent * (s3 - 2 * s2 + s) + endValue * (3 * s2 - 2 * s3) +
           endTangent * (s3 - s2);
}
