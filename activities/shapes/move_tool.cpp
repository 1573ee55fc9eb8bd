#include "activities/shapes/move_tool.h"

#include "activities/shapes/shape_group.h"

namespace {

int64_t Distance2(CCorPoint a, CCorPoint b) {
    const int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
    return dx * dx + dy * dy;
}

int32_t Count(const CShapePiece& s) { return static_cast<int32_t>(s.edges.GetSize()); }

int32_t Wrap(int32_t i, int32_t n) { return ((i % n) + n) % n; }

// The direction of edge k (wrapping) with the shape's turn, 0 to 3599.
int32_t Direction(const CShapePiece& s, int32_t k) {
    const ShapeEdge& e = *s.edges.At(Wrap(k, Count(s)));
    return ((int32_t{e.direction} + s.angle) % 3600 + 3600) % 3600;
}

void MoveBy(CShapePiece& p, CCorPoint delta) { p.MoveTo(p.GetPosition() + delta); }

// The turn that lays p's edge beside vertex pb along q's edge beside qa, by the pair's place.
int32_t PairTurn(const CShapePiece& q, int32_t j, bool qBefore, const CShapePiece& p, int32_t i, bool pBefore) {
    if (qBefore && pBefore) return Direction(q, j - 1) - Direction(p, i - 1);
    if (qBefore) return Direction(q, j - 1) - (Direction(p, i) + 1800) % 3600;
    if (pBefore) return Direction(q, j) - (Direction(p, i - 1) + 1800) % 3600;
    return Direction(q, j) - Direction(p, i);
}

}  // namespace

void SnapToNeighbour(CShapePiece& p, const CDynArray<CShapePiece*>& others, int32_t near, int32_t side) {
    const int32_t pn = Count(p);
    if (pn == 0) return;
    for (const CShapePiece* q : others) {
        const int32_t qn = Count(*q);
        for (int32_t j = 0; j < qn; ++j)
            for (int32_t i = 0; i < pn; ++i) {
                const CCorPoint qv = q->GetCorner(j), pv = p.GetCorner(i);
                if (Distance2(qv, pv) > near) continue;
                const CCorPoint shift = qv - pv;
                for (const bool qBefore : {true, false})
                    for (const bool pBefore : {true, false}) {
                        const CCorPoint x = p.GetCorner(pBefore ? i - 1 : i + 1) + shift;
                        if (Distance2(q->GetCorner(qBefore ? j - 1 : j + 1), x) > side) continue;
                        const int32_t turn = PairTurn(*q, j, qBefore, p, i, pBefore);
                        if (!((turn > -150 && turn < 150) || turn > 3450)) continue;
                        p.SetAngle(static_cast<int16_t>(p.angle + turn));
                        MoveBy(p, qv - p.GetCorner(i));
                        return;
                    }
            }
    }
}

void SnapToSolution(CShapePiece& p, const CDynArray<CShapePiece*>& solutions, int32_t best) {
    bool found = false;
    CCorPoint kept{};
    int64_t limit = best;
    for (const CShapePiece* s : solutions)
        for (int32_t j = 0; j < Count(*s); ++j)
            for (int32_t i = 0; i < Count(p); ++i) {
                const CCorPoint delta = s->GetCorner(j) - p.GetCorner(i);
                const int64_t d = Distance2(s->GetCorner(j), p.GetCorner(i));
                if (d > limit) continue;
                MoveBy(p, delta);
                if (IsSameShape(p, *s)) {
                    found = true;
                    kept = delta;
                    limit = d;
                }
                MoveBy(p, CCorPoint{0, 0} - delta);
            }
    if (found) MoveBy(p, kept);
}
