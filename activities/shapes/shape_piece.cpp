#include "activities/shapes/shape_piece.h"

#include <algorithm>
#include <memory>
#include <string>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_draw_state.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/geometry.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

namespace {

bool IsPatternFill(int16_t f) { return f >= kFirstPatternFill && f <= kLastPieceFill; }

int32_t Wrap(int32_t v, int32_t n) {
    const int32_t r = v % n;
    return r < 0 ? r + n : r;
}

}  // namespace

void ChangePatternReference(int16_t oldFill, int16_t newFill) {
    auto& table = ShapeDrawState().pieceTextures;
    if (IsPatternFill(newFill)) {
        std::unique_ptr<CPieceTexture>& entry = table[static_cast<size_t>(newFill - kFirstPatternFill)];
        if (!entry) {
            entry = std::make_unique<CPieceTexture>();
            entry->references = 1;
            entry->picture = static_cast<uint16_t>(newFill + 64);
            int16_t w = 0, h = 0;
            GetPictureSize(static_cast<int16_t>(entry->picture), w, h);
            entry->width = static_cast<uint16_t>(std::max<int16_t>(w, 0));
            entry->height = static_cast<uint16_t>(std::max<int16_t>(h, 0));
            entry->stride = GetPictureStride(static_cast<int16_t>(entry->picture));
        } else {
            ++entry->references;
        }
    }
    if (IsPatternFill(oldFill)) {
        std::unique_ptr<CPieceTexture>& entry = table[static_cast<size_t>(oldFill - kFirstPatternFill)];
        if (entry && --entry->references == 0) entry.reset();
    }
}

CShapePiece::CShapePiece(int16_t id) : kind(static_cast<int16_t>(id % 10)) {
    if (kind == -1) return;
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(kResPNN, id, size);
    if (!copy) return;
    const media::PieceOutline outline = media::ParsePieceOutline(std::span<const uint8_t>(copy, size));
    FreeResourceCopy(copy);
    if (outline.damaged) MonoDebugWrite(("shapes: damaged PN# " + std::to_string(id) + "\n").c_str());
    Build(outline);
}

CShapePiece::CShapePiece(int16_t id, const media::PieceOutline& outline) : kind(static_cast<int16_t>(id % 10)) {
    if (kind != -1) Build(outline);
}

void CShapePiece::Build(const media::PieceOutline& outline) {
    // Under 3 edges there is no polygon: the piece stays empty.
    if (outline.edges.size() < 3) return;
    leadLength = outline.lead.length;
    leadDirection = outline.lead.direction;
    for (const media::PiecePair& p : outline.edges) edges.Add(ShapeEdge{{}, {}, p.length, p.direction});
    BuildCorners();
    MoveTo(position - CCorPoint{bounds.left, bounds.top});
    baseEdges = edges;
}

CShapePiece::~CShapePiece() { ChangePatternReference(fill, -1); }

void CShapePiece::SetFill(int16_t f) {
    if (f == fill || f < 0 || f > kLastPieceFill) return;
    ChangePatternReference(fill, f);
    fill = f;
}

int16_t CShapePiece::IsMarked() const { return (fill >= 8 && fill <= 15) || (fill >= 24 && fill <= 31); }

void CShapePiece::SetMarked(int16_t on) {
    const bool marked = IsMarked();
    if (on && !marked && fill >= 0 && fill <= 23 && (fill <= 7 || fill >= 16)) SetFill(static_cast<int16_t>(fill + 8));
    if (!on && marked) SetFill(static_cast<int16_t>(fill - 8));
}

void CShapePiece::MoveTo(CCorPoint p) {
    if (p == position) return;
    const CCorPoint delta = p - position;
    position = p;
    bounds += delta;
    for (ShapeEdge& e : edges) {
        e.start += delta;
        e.end += delta;
    }
}

void CShapePiece::SetAngle(int16_t a) {
    int32_t v = a % 3600;
    if (v < 0) v += 3600;
    v -= v % 150;
    if (v == angle) return;
    angle = static_cast<int16_t>(v);
    BuildCorners();
}

void CShapePiece::BuildCorners() {
    bounds = {position.x, position.y, position.x, position.y};
    int32_t X = position.x * 256, Y = position.y * 256;
    int32_t length = leadLength;
    int16_t d = static_cast<int16_t>((leadDirection + angle) % 3600);
    const uint32_t n = edges.GetSize();
    for (uint32_t j = 0; j < n; ++j) {
        const CCorPoint corner{static_cast<int16_t>((X + Cos256(d) * length + 128) >> 8),
                               static_cast<int16_t>((Y - Sin256(d) * length + 128) >> 8)};
        ShapeEdge& e = *edges.At(static_cast<int>(j));
        e.start = corner;
        if (j > 0) edges.At(static_cast<int>(j - 1))->end = corner;
        bounds.left = std::min(bounds.left, corner.x);
        bounds.top = std::min(bounds.top, corner.y);
        bounds.right = std::max(bounds.right, corner.x);
        bounds.bottom = std::max(bounds.bottom, corner.y);
        X = corner.x * 256;
        Y = corner.y * 256;
        length = e.length;
        d = static_cast<int16_t>((e.direction + angle) % 3600);
    }
    if (n > 0) edges.At(static_cast<int>(n - 1))->end = edges.At(0)->start;
    bounds.right = static_cast<int16_t>(bounds.right + 1);
    bounds.bottom = static_cast<int16_t>(bounds.bottom + 1);
}

int16_t CShapePiece::ContainsShape(const CShapePiece& other) const {
    const int32_t n = static_cast<int32_t>(other.edges.GetSize());
    for (int32_t i = 0; i < n; ++i)
        if (!ContainsPoint(other.GetCorner(i))) return 0;
    return 1;
}

int16_t CShapePiece::ContainsPoint(CCorPoint p) const {
    if (!bounds.Contains(p)) return 0;
    const int64_t dx = int64_t{p.x} - position.x, dy = int64_t{p.y} - position.y;
    for (const ShapeEdge& e : edges) {
        if (SegmentsIntersect(position, p, e.start, e.end)) return 0;
        // The sight line may also leave through a corner, which the strict crossing test does
        // not see: a corner strictly between the reference point and p hides p.
        const int64_t cx = int64_t{e.start.x} - position.x, cy = int64_t{e.start.y} - position.y;
        const int64_t along = cx * dx + cy * dy;
        if (cx * dy - cy * dx == 0 && along > 0 && along < dx * dx + dy * dy) return 0;
    }
    return 1;
}

int16_t CShapePiece::Overlaps(const CShapePiece& other) const {
    for (const ShapeEdge& a : edges)
        for (const ShapeEdge& b : other.edges)
            if (SegmentsIntersect(a.start, a.end, b.start, b.end)) return 1;
    return ContainsShape(other) || other.ContainsShape(*this) ? 1 : 0;
}

int16_t CShapePiece::FindVertexNear(CCorPoint p, int16_t r) const {
    int16_t best = -1;
    int64_t limit = int64_t{r} * r;
    int16_t j = 0;
    for (const ShapeEdge& e : edges) {
        const int64_t dx = static_cast<int16_t>(p.x - e.start.x);
        const int64_t dy = static_cast<int16_t>(p.y - e.start.y);
        const int64_t d = dx * dx + dy * dy;
        if (d <= limit) {
            best = j;
            limit = d;
        }
        ++j;
    }
    return best;
}

double CShapePiece::GetArea() const {
    switch (kind) {
    case 0: return 4.0;
    case 1: return 2.0;
    case 2: return 1.7321;
    case 3: return 3.4642;
    case 4: return 5.1963;
    case 5: return 10.3926;
    default: return 0.0;
    }
}

int16_t CShapePiece::GetCornerTotal() const { return static_cast<int16_t>(edges.GetSize()); }

CCorPoint CShapePiece::GetCorner(int32_t i) const {
    const int32_t n = static_cast<int32_t>(edges.GetSize());
    if (n == 0) return {};
    return edges.At(Wrap(i, n))->start;
}

void CShapePiece::Draw() {
    if (fill >= kFirstPatternFill) {
        DrawTextured(static_cast<int16_t>(fill - kFirstPatternFill));
        return;
    }
    if (!GetCurrentCanvas() || edges.IsEmpty()) return;
    SetCanvasColour(static_cast<int16_t>(205 + fill));
    CShapeDrawState& state = ShapeDrawState();
    for (const ShapeEdge& e : edges) ScanEdge(e.start, e.end, e.start.y < e.end.y ? state.spanDown : state.spanUp);
    const int32_t top = std::max<int32_t>(bounds.top, 0);
    const int32_t bottom = std::min<int32_t>(bounds.bottom, kSpanRows);
    for (int32_t y = top; y < bottom; ++y) {
        const int16_t row = static_cast<int16_t>(y);
        DrawCanvasLine({state.spanDown[static_cast<size_t>(y)], row}, {state.spanUp[static_cast<size_t>(y)], row});
    }
}

void CShapePiece::DrawTextured(int16_t t) {
    CShapeCanvas* canvas = GetCurrentCanvas();
    if (t < 0 || t >= kPieceTextureCount || !canvas || !canvas->pixels || edges.IsEmpty()) return;
    const CPieceTexture* texture = ShapeDrawState().pieceTextures[static_cast<size_t>(t)].get();
    if (!texture) return;
    const int16_t picture = static_cast<int16_t>(texture->picture);
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    const uint16_t stride = GetPictureStride(picture);
    if (w <= 0 || h <= 0 || stride == 0xFFFF || stride < w) return;
    const uint32_t n = std::min(edges.GetSize(), baseEdges.GetSize());
    for (uint32_t j = 0; j < n; ++j) {
        const ShapeEdge& e = *edges.At(static_cast<int>(j));
        const ShapeEdge& q = *baseEdges.At(static_cast<int>(j));
        ScanTexturedEdge(e.start, e.end, q.start, q.end);
    }
    const uint8_t* pattern = LockPictureData(picture);
    if (!pattern) return;
    CShapeDrawState& state = ShapeDrawState();
    const int32_t top = std::max<int32_t>({bounds.top, 0, canvas->rect.top});
    const int32_t bottom = std::min<int32_t>({int32_t{bounds.bottom} - 1, kSpanRows, canvas->rect.top + canvas->height});
    const int32_t left = canvas->rect.left;
    const int32_t right = left + canvas->width;
    for (int32_t y = top; y < bottom; ++y) {
        TexSpan a = state.texSpanUp[static_cast<size_t>(y)];
        TexSpan b = state.texSpanDown[static_cast<size_t>(y)];
        if (b.x < a.x) std::swap(a, b);
        const int64_t count = int64_t{b.x} - a.x;
        if (count == 0) continue;
        const int64_t du = (int64_t{b.u} - a.u) / count;
        const int64_t dv = (int64_t{b.v} - a.v) / count;
        // Pixel k lies at column a.x + 1 + k; only the columns inside the canvas are written.
        const int64_t first = std::max<int64_t>(0, left - (int64_t{a.x} + 1));
        const int64_t last = std::min<int64_t>(count, right - (int64_t{a.x} + 1));
        uint8_t* row = canvas->pixels + static_cast<size_t>(y - canvas->rect.top) * canvas->stride;
        for (int64_t k = first; k < last; ++k) {
            const int64_t u = a.u + k * du;
            const int64_t v = a.v + k * dv;
            const int32_t px = Wrap(static_cast<int32_t>((u >> 8) % w), w);
            const int32_t py = Wrap(static_cast<int32_t>((v >> 8) % h), h);
            row[a.x + 1 + k - left] = pattern[static_cast<size_t>(py) * stride + static_cast<size_t>(px)];
        }
    }
    UnlockPictureData(picture);
}

void CShapePiece::DrawOutline(int16_t colour) {
    if (!GetCurrentCanvas()) return;
    SetCanvasColour(colour);
    for (const ShapeEdge& e : edges) DrawCanvasLine(e.start, e.end);
}
