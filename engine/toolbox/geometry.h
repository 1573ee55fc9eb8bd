// Angles, roots, distances, segment tests and a cubic curve for the activities' movement and
// shapes. Angles are tenths of a degree (0 to 3600, 3600 the same as 0); sines and cosines are
// fixed point with 8 fraction bits (256 = 1.0). Points are the engine's 16-bit CCorPoint.
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"

// 256 × cos(angle), from a table of 901 entries (256 × cos(i × 3.14159 / 1800), truncated)
// mirrored by quadrant. An angle outside 0..3600 is taken modulo 3600 first.
int16_t CosTenths(int16_t angle);
// 256 × sin(angle): the cosine of angle − 900 (of angle + 2700 below 900).
int16_t SinTenths(int16_t angle);
// The names the shapes activity calls them by.
inline int16_t Cos256(int16_t angle) { return CosTenths(angle); }
inline int16_t Sin256(int16_t angle) { return SinTenths(angle); }

// The direction of (x, y) in tenths of a degree, 0 to 3599 (atan2 in radians × 1800 / 3.14159,
// truncated; a negative result plus 3600). (0, 0) gives 0.
int16_t Atan2Tenths(int16_t y, int16_t x);

// The whole part of the square root of |value|, bit by bit (IntSqrt (3) = 1; ISqrt of
// numbers.h rounds instead).
int32_t IntSqrt(int32_t value);

// The squared distance from p to the segment a-b: to the foot of the perpendicular when it lies
// within the segment's bounding box, else to the nearer end. Worked in 64 bits; a segment whose
// ends coincide gives |p − a|²; a result beyond the 32-bit range is INT32_MAX.
int32_t PointSegmentDistance(CCorPoint p, CCorPoint a, CCorPoint b);

// 1 when segment p1-p2 meets segment p3-p4, end points and touching included; 0 when they are
// parallel (collinear too) or apart. Products are worked in 64 bits, so the answer holds for
// every 16-bit coordinate.
int16_t SegmentsCross(CCorPoint p1, CCorPoint p2, CCorPoint p3, CCorPoint p4);
// 1 only when the segments cross strictly inside both (no end point, no touching).
int16_t SegmentsIntersect(CCorPoint p1, CCorPoint p2, CCorPoint p3, CCorPoint p4);

// A cubic Hermite curve from startValue to endValue over duration, with tangents per unit of
// the curve's parameter s = t / duration (not scaled by the duration).
class CHermiteTween {
public:
    // The first value is kept for the activity that made the curve; it is not used here.
    CHermiteTween(double further, double endValue, double startValue, double duration, double startTangent,
                  double endTangent);

    void SetStart(double tangent) { startTangent = tangent; }
    void SetEnd(double tangent) { endTangent = tangent; }
    // current and both working values back to startValue.
    void Restart();
    void Reset() { Restart(); }

    // The value at t: endValue beyond the duration, and for a duration of 0 (which has no
    // curve to follow).
    double Evaluate(double t) const;

    double duration;
    double startValue;
    double endValue;
    double startTangent;
    double endTangent;
    double current;
    double further;
    int32_t flags = 0;
    double work1;
    double work2;
};
