#include "activities/shapes/shape_picture.h"

#include "activities/shapes/shape_target.h"
#include "activities/shapes/snapshots.h"
#include "engine/toolbox/picture_items.h"

namespace {

constexpr uint16_t kOutlineColour = 15;

bool Meets(const CCorRect& a, const CCorRect& b) {
    CCorRect common;
    return !a.Intersect(common, b).IsEmpty();
}

void Paint(CShapePiece& s) {
    s.Draw();
    s.DrawOutline(kOutlineColour);
}

// Selects the canvas for the lifetime of the object, then the one current before.
class CCanvasScope {
public:
    explicit CCanvasScope(CShapeCanvas* c) : m_previous(GetCurrentCanvas()) { SelectCanvas(c); }
    ~CCanvasScope() { SelectCanvas(m_previous); }
    CCanvasScope(const CCanvasScope&) = delete;
    CCanvasScope& operator=(const CCanvasScope&) = delete;

private:
    CShapeCanvas* m_previous;
};

}  // namespace

CShapePicture::CShapePicture(CCorRect r) : area(r), canvas(CreateCanvas(r)) {}

CShapePicture::~CShapePicture() {
    for (CShapePiece* s : pieces) delete s;
    pieces.Free();
    DestroyCanvas(canvas);
}

void CShapePicture::Repaint(uint32_t first, CCorRect& dirty) {
    for (uint32_t i = first; i < pieces.GetSize(); ++i) {
        CShapePiece& s = *pieces.GetAt(i);
        if (!Meets(s.bounds, dirty)) continue;
        Paint(s);
        dirty.Union(dirty, s.bounds);
    }
}

void CShapePicture::InsertPiece(CShapePiece* piece, int32_t index) {
    const uint32_t at = index < 0 || static_cast<uint32_t>(index) >= pieces.GetSize() ? pieces.GetSize() : static_cast<uint32_t>(index);
    pieces.InsertAt(static_cast<int>(at), piece);
    CCanvasScope scope(canvas);
    Paint(*piece);
    CCorRect dirty = piece->bounds;
    Repaint(at + 1, dirty);
    InvalidateRect16(dirty);
}

bool CShapePicture::RemovePiece(CShapePiece* piece) {
    for (uint32_t i = 0; i < pieces.GetSize(); ++i) {
        if (pieces.GetAt(i) != piece) continue;
        pieces.RemoveAt(static_cast<int>(i));
        CCanvasScope scope(canvas);
        CCorRect dirty = piece->bounds;
        ClearCanvasRect(dirty);
        Repaint(0, dirty);
        InvalidateRect16(dirty);
        return true;
    }
    return false;
}

void CShapePicture::ClearPieces() {
    for (CShapePiece* s : pieces) delete s;
    pieces.Free();
    CCanvasScope scope(canvas);
    ClearCanvasRect(area);
    InvalidateRect16(area);
}

media::PieceList CShapePicture::Snapshot() const { return shapes::SnapshotOf(setId, pieces); }

bool CShapePicture::Restore(std::span<const uint8_t> block, std::string_view what) {
    const auto list = shapes::AcceptPieceList(block, &area, what);
    if (!list) return false;
    ClearPieces();
    setId = list->setId;
    CDynArray<CShapePiece*> made;
    CShapeTarget::ReadPieceList(*list, made);
    for (CShapePiece* s : made) InsertPiece(s);
    made.Free();
    return true;
}
