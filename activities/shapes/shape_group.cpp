#include "activities/shapes/shape_group.h"

#include <algorithm>

#include "activities/shapes/shape_canvas.h"
#include "engine/toolbox/geometry.h"

namespace {

ShapeEdge& EdgeAt(CDynArray<ShapeEdge>& edges, uint32_t i) { return *edges.At(static_cast<int>(i)); }

}  // namespace

CShapeGroup::CShapeGroup() : CShapePiece(-1) { fill = kGroupUnmarked; }

CShapeGroup::~CShapeGroup() {
    for (CShapePiece* child : children) delete child;
    children.Free();
    fill = kGroupUnmarked;  // the group holds no pattern reference of its own
    loopEnds.Free();
}

void CShapeGroup::SetFill(int16_t f) {
    if (f == fill || f > kLastPieceFill || (f < 0 && f != kGroupUnmarked && f != kGroupMarked)) return;
    fill = f;
    if (f >= 0)
        for (CShapePiece* child : children) child->SetFill(f);
    if (fill == kGroupUnmarked)
        for (CShapePiece* child : children) child->SetMarked(0);
    if (fill == kGroupMarked)
        for (CShapePiece* child : children) child->SetMarked(1);
}

int16_t CShapeGroup::IsMarked() const { return fill == kGroupMarked ? 1 : CShapePiece::IsMarked(); }

void CShapeGroup::SetMarked(int16_t on) {
    const bool marked = IsMarked();
    if (on && !marked) fill = static_cast<int16_t>(fill + 8);
    if (!on && marked) fill = static_cast<int16_t>(fill - 8);
    for (CShapePiece* child : children) child->SetMarked(on);
}

void CShapeGroup::MoveTo(CCorPoint p) {
    if (p == position) return;
    const CCorPoint delta = p - position;
    CShapePiece::MoveTo(p);
    for (CShapePiece* child : children) child->MoveTo(child->GetPosition() + delta);
}

void CShapeGroup::SetAngle(int16_t) {}

int16_t CShapeGroup::ContainsPoint(CCorPoint p) const {
    if (!bounds.Contains(p)) return 0;
    for (const CShapePiece* child : children)
        if (child->ContainsPoint(p)) return 1;
    return 0;
}

double CShapeGroup::GetArea() const {
    double sum = 0.0;
    for (const CShapePiece* child : children) sum += child->GetArea();
    return sum;
}

int16_t CShapeGroup::GetCornerTotal() const { return static_cast<int16_t>(loopEnds.GetAt(0, 0)); }

void CShapeGroup::Draw() {
    for (CShapePiece* child : children) child->Draw();
}

void CShapeGroup::DrawOutline(int16_t colour) {
    if (!GetCurrentCanvas()) return;
    SetCanvasColour(colour);
    uint32_t begin = 0;
    for (uint16_t end : loopEnds) {
        for (uint32_t i = begin; i < end && i < edges.GetSize(); ++i) DrawCanvasLine(EdgeAt(edges, i).start, EdgeAt(edges, i).end);
        begin = end;
    }
}

void CShapeGroup::AddChild(CShapePiece* piece) {
    if (!piece) return;
    children.Add(piece);
    MergeEdges(*piece);
    SortOutline();
}

void CShapeGroup::RebuildOutline() {
    edges.SetSize(0);
    for (const CShapePiece* child : children) MergeEdges(*child);
    SortOutline();
}

void CShapeGroup::CopyPieces(CDynArray<CShapePiece*> list, int16_t base) {
    auto copy = [&](const CShapePiece& source) {
        auto* piece = new CShapePiece(static_cast<int16_t>(base + source.kind));
        piece->SetAngle(source.angle);
        piece->MoveTo(source.GetPosition());
        piece->SetFill(source.fill);
        children.Add(piece);
    };
    for (const CShapePiece* shape : list) {
        if (!shape) continue;
        if (shape->kind != -1) {
            copy(*shape);
        } else if (const auto* group = dynamic_cast<const CShapeGroup*>(shape)) {
            for (const CShapePiece* member : group->children) copy(*member);
        }
    }
    RebuildOutline();
}

void CShapeGroup::ReadChildren(const media::PieceRecord* records, int32_t n, int16_t base) {
    for (int32_t i = 0; i < n; ++i) {
        const media::PieceRecord& r = records[i];
        if (r.kind == -1) continue;
        auto* piece = new CShapePiece(static_cast<int16_t>(base + r.kind));
        piece->SetAngle(r.angle);
        piece->MoveTo({r.x, r.y});
        piece->SetFill(r.fill);
        children.Add(piece);
    }
    RebuildOutline();
}

CShapePiece* CShapeGroup::RemoveChildAt(int32_t i) {
    if (i < 0 || static_cast<uint32_t>(i) >= children.GetSize()) {
        ReportDynArrayPosition();
        return nullptr;
    }
    CShapePiece* child = children.GetAt(i);
    children.RemoveAt(i, 1);
    return child;
}

CShapePiece* CShapeGroup::GetChild(int32_t i) const { return children.GetAt(i, nullptr); }

void CShapeGroup::MergeEdges(const CShapePiece& child) {
    for (const ShapeEdge& e : child.edges) {
        int found = -1;
        for (uint32_t k = 0; k < edges.GetSize(); ++k) {
            const ShapeEdge& f = EdgeAt(edges, k);
            if ((f.start == e.start && f.end == e.end) || (f.start == e.end && f.end == e.start)) {
                found = static_cast<int>(k);
                break;
            }
        }
        if (found >= 0) {
            edges.RemoveAt(found, 1);
        } else {
            edges.Add(ShapeEdge{e.start, e.end, e.length, static_cast<int16_t>((child.angle + e.direction) % 3600)});
        }
    }
}

void CShapeGroup::SortOutline() {
    // Phase 1: chain the edges into closed loops.
    loopEnds.SetSize(0);
    const uint32_t n = edges.GetSize();
    uint32_t loopStart = 0;
    uint32_t i = 0;
    while (i < n) {
        const ShapeEdge a = EdgeAt(edges, i);
        if (i + 1 >= n) {
            ++i;
            continue;
        }
        uint32_t j = i + 1;
        while (j < n && !(EdgeAt(edges, j).start == a.end || EdgeAt(edges, j).end == a.end)) ++j;
        if (j == n) {
            ++i;
            continue;
        }
        ShapeEdge b = EdgeAt(edges, j);
        if (b.end == a.end) {
            std::swap(b.start, b.end);
            b.direction = static_cast<int16_t>((b.direction + 1800) % 3600);
        }
        EdgeAt(edges, j) = EdgeAt(edges, i + 1);
        EdgeAt(edges, i + 1) = b;
        if (i <= loopStart) {
            ++i;
            continue;
        }
        uint32_t k = loopStart;
        while (k < i && !(EdgeAt(edges, k).start == b.end)) ++k;
        if (k == i) {
            ++i;
            continue;
        }
        // Edges k to i + 1 close a loop; the chain's edges before it go behind it, in order.
        for (uint32_t moved = 0; moved < k - loopStart; ++moved) {
            const ShapeEdge e = EdgeAt(edges, loopStart);
            edges.RemoveAt(static_cast<int>(loopStart), 1);
            edges.InsertAt(static_cast<int>(i + 1), e);
        }
        const uint32_t end = loopStart + i + 2 - k;
        loopEnds.Add(static_cast<uint16_t>(end));
        const bool closedAtStart = k == loopStart;
        if (i + 1 < n) loopStart = end;
        i += closedAtStart ? 2 : 1;
    }

    // Phase 2: while another loop holds loop 0, loop 0 goes behind the last loop.
    uint32_t toTry = loopEnds.GetSize();
    while (toTry > 1) {
        bool inside = false;
        for (uint32_t l = 1; l < toTry && !inside; ++l) {
            const uint32_t begin = loopEnds.GetAt(static_cast<int>(l - 1));
            const uint32_t end = loopEnds.GetAt(static_cast<int>(l));
            bool odd[2] = {false, false};
            for (int t = 0; t < 2; ++t) {
                const CCorPoint p = EdgeAt(edges, static_cast<uint32_t>(t)).start;
                for (uint32_t q = begin; q < end; ++q) {
                    const ShapeEdge& e = EdgeAt(edges, q);
                    if (PointSegmentDistance(e.start, p, CCorPoint{}) != 0 && SegmentsCross(e.start, e.end, p, CCorPoint{}))
                        odd[t] = !odd[t];
                }
            }
            inside = odd[0] && odd[1];
        }
        if (!inside) break;
        const uint32_t first = loopEnds.GetAt(0);
        const uint32_t last = loopEnds.GetAt(static_cast<int>(loopEnds.GetSize() - 1));
        // Behind the last loop, before any edge that closes none.
        CDynArray<ShapeEdge> loop;
        for (uint32_t q = 0; q < first; ++q) loop.Add(EdgeAt(edges, q));
        edges.RemoveAt(0, first);
        edges.InsertAt(static_cast<int>(last - first), loop.begin(), first);
        for (uint32_t q = 1; q < loopEnds.GetSize(); ++q)
            *loopEnds.At(static_cast<int>(q - 1)) = static_cast<uint16_t>(loopEnds.GetAt(static_cast<int>(q)) - first);
        *loopEnds.At(static_cast<int>(loopEnds.GetSize() - 1)) = static_cast<uint16_t>(last);
        --toTry;
    }

    // Phase 3: bounds and centre. Without a loop the group is an empty shape: no edges, no
    // corners, bounds 0.
    if (loopEnds.IsEmpty()) {
        edges.SetSize(0);
        bounds = {};
        position = {};
        return;
    }
    bounds = {INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
    for (const ShapeEdge& e : edges) {
        bounds.left = std::min(bounds.left, e.start.x);
        bounds.top = std::min(bounds.top, e.start.y);
        bounds.right = std::max(bounds.right, e.start.x);
        bounds.bottom = std::max(bounds.bottom, e.start.y);
    }
    bounds.right = static_cast<int16_t>(bounds.right + 1);
    bounds.bottom = static_cast<int16_t>(bounds.bottom + 1);
    position = {static_cast<int16_t>(bounds.left + (bounds.right - bounds.left) / 2),
                static_cast<int16_t>(bounds.top + (bounds.bottom - bounds.top) / 2)};
}

int16_t IsSameShape(const CShapePiece& a, const CShapePiece& b) {
    const uint32_t n = a.edges.GetSize();
    if (n != b.edges.GetSize()) return 0;
    for (const ShapeEdge& ea : a.edges) {
        bool found = false;
        for (const ShapeEdge& eb : b.edges)
            if (eb.start == ea.start) {
                found = true;
                break;
            }
        if (!found) return 0;
    }
    return 1;
}

int16_t IsDifferentShape(const CShapePiece& a, const CShapePiece& b) { return IsSameShape(a, b) ? 0 : 1; }
