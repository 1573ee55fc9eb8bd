#include "activities/shapes/shape_target.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

namespace {

void DeleteAll(CDynArray<CShapePiece*>& list) {
    for (CShapePiece* s : list) delete s;
    list.Free();
}

const CShapePiece* FirstSame(const CDynArray<CShapePiece*>& list, const CShapePiece& shape) {
    for (const CShapePiece* s : list)
        if (s && IsSameShape(*s, shape)) return s;
    return nullptr;
}

// Fills 0 to 7 count in their own entry, every other fill in the ninth.
std::array<int32_t, 9> Tally(const CDynArray<CShapePiece*>& list) {
    std::array<int32_t, 9> t{};
    for (const CShapePiece* s : list) ++t[s && s->fill >= 0 && s->fill <= 7 ? static_cast<size_t>(s->fill) : 8];
    return t;
}

}  // namespace

bool SolvesTask(uint16_t kind, const CDynArray<CShapePiece*>& solution, const CDynArray<CShapePiece*>& placed) {
    if (solution.GetSize() != placed.GetSize()) return false;
    if (kind == kTaskByColours) return Tally(solution) == Tally(placed);
    for (const CShapePiece* s : solution) {
        if (!s) return false;
        const CShapePiece* twin = FirstSame(placed, *s);
        if (!twin || twin->fill != s->fill) return false;
    }
    return true;
}

CShapeTarget::CShapeTarget(int16_t id) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(kResBPB, id, size);
    if (!copy) return;
    record.assign(copy, copy + size);
    FreeResourceCopy(copy);
    task = media::ParseTaskRecord(record);
    if (task.damaged) MonoDebugWrite(("shapes: damaged BPB " + std::to_string(id) + "\n").c_str());
    Build();
}

CShapeTarget::CShapeTarget(std::span<const uint8_t> bytes) : record(bytes.begin(), bytes.end()) {
    if (record.empty()) return;
    task = media::ParseTaskRecord(record);
    Build();
}

void CShapeTarget::Build() {
    startBlock = std::span<const uint8_t>(record).subspan(task.startOffset);
    for (const media::GuideLine& g : task.guides) {
        CCorAnim* sprite = nullptr;
        CCorRect clip;
        if (g.x1 == g.x2) {
            const int16_t top = std::min(g.y1, g.y2), bottom = std::max(g.y1, g.y2);
            sprite = CreateSprite(static_cast<int16_t>(g.x1 - 1), top, shapes::kGuideBarVertical);
            clip = {static_cast<int16_t>(g.x1 - 1), top, static_cast<int16_t>(g.x1 + 2), bottom};
        } else if (g.y1 == g.y2) {
            const int16_t left = std::min(g.x1, g.x2), right = std::max(g.x1, g.x2);
            sprite = CreateSprite(left, static_cast<int16_t>(g.y1 - 1), shapes::kGuideBarHorizontal);
            clip = {left, static_cast<int16_t>(g.y1 - 1), right, static_cast<int16_t>(g.y1 + 2)};
        }
        if (!sprite) continue;  // a slanted line makes nothing
        SetSpriteClip(sprite, &clip);
        gridSprites.Add(sprite);
    }
    ReadPieceList(task.reference, referencePieces);
    if (!referencePieces.IsEmpty()) referenceStatic = AddStatic(shapes::kReferenceBoard, 116, 7, 1);
    ReadPieceList(task.start, startPieces);
    ReadPieceList(task.solution, solutionPieces);
    if (Kind() == kTaskWithStart) {
        for (const CShapePiece* s : solutionPieces) {
            if (InStart(*s)) continue;
            markerSprite = CreateSprite(s->bounds.left, static_cast<int16_t>(s->bounds.bottom + 5), shapes::kSolutionMarker);
            const CCorRect clip{s->bounds.left, static_cast<int16_t>(s->bounds.bottom + 5), s->bounds.right,
                                static_cast<int16_t>(s->bounds.bottom + 10)};
            SetSpriteClip(markerSprite, &clip);
            break;
        }
    }
    BuildOutline(solutionPieces);
    SetOutlineStyle(task.Style());
}

CShapeTarget::~CShapeTarget() {
    for (CCorAnim* s : gridSprites) DisposeSprite(s);
    gridSprites.Free();
    DeleteAll(referencePieces);
    DeleteAll(startPieces);
    DeleteAll(solutionPieces);
    delete outline;
    DisposeSprite(outlineSprite);
    DestroyCanvas(outlineCanvas);
    DisposeSprite(markerSprite);
    if (referenceStatic != 0) RemoveStatic(referenceStatic);
}

void CShapeTarget::ReadPieceList(const media::PieceList& block, CDynArray<CShapePiece*>& list) {
    const auto& records = block.records;
    for (size_t i = 0; i < records.size(); ++i) {
        const media::PieceRecord& r = records[i];
        if (r.kind != -1) {
            auto* piece = new CShapePiece(static_cast<int16_t>(block.setId + r.kind));
            piece->SetAngle(r.angle);
            piece->MoveTo({r.x, r.y});
            piece->SetFill(r.fill);
            list.Add(piece);
            continue;
        }
        // The reader cut m to the records that follow.
        const size_t members = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(r.angle, 0)), records.size() - i - 1);
        auto* group = new CShapeGroup;
        group->ReadChildren(records.data() + i + 1, static_cast<int32_t>(members), static_cast<int16_t>(block.setId));
        group->SetFill(r.fill);
        list.Add(group);
        i += members;
    }
}

bool CShapeTarget::InStart(const CShapePiece& shape) const { return FirstSame(startPieces, shape) != nullptr; }

void CShapeTarget::BuildOutline(CDynArray<CShapePiece*> list) {
    if (outline) {
        delete outline;
        outline = nullptr;
        DisposeSprite(outlineSprite);
        outlineSprite = nullptr;
        DestroyCanvas(outlineCanvas);
        outlineCanvas = nullptr;
    }
    outline = new CShapeGroup;
    const auto base = static_cast<int16_t>(task.start.setId);
    if (Kind() == kTaskWithStart) {
        CDynArray<CShapePiece*> missing;
        for (CShapePiece* s : list)
            if (s && !InStart(*s)) missing.Add(s);
        outline->CopyPieces(missing, base);
    } else {
        outline->CopyPieces(list, base);
    }
    // An outline without edges is an empty shape: nothing to show.
    if (!outline->edges.IsEmpty()) {
        outlineCanvas = CreateCanvas(outline->bounds);
        if (outlineCanvas && outlineCanvas->picture != 0xFFFF) {
            outlineSprite = CreateSprite(outline->bounds.left, outline->bounds.top, static_cast<int16_t>(outlineCanvas->picture));
            if (!gridSprites.IsEmpty()) PutSpriteBefore(outlineSprite, gridSprites.GetAt(0));
        }
    }
    const uint16_t style = outlineStyle;
    SetOutlineStyle(0);
    SetOutlineStyle(style);
}

void CShapeTarget::SetOutlineStyle(uint16_t style) {
    if (style == outlineStyle) return;
    outlineStyle = style;
    if (!outline || !outlineCanvas) return;
    CShapeCanvas* saved = GetCurrentCanvas();
    SelectCanvas(outlineCanvas);
    ClearCanvasRect(outline->bounds);
    if (style == 1) {
        outline->DrawOutline(0);
    } else if (style == 2) {
        for (CShapePiece* s : solutionPieces) s->DrawOutline(0);
    } else if (style == 3) {
        for (int32_t i = 0; CShapePiece* child = outline->GetChild(i); ++i) child->DrawOutline(0);
    }
    InvalidateRect16(outline->bounds);
    SelectCanvas(saved);
}

int16_t CShapeTarget::CheckSolution(CDynArray<CShapePiece*> placed) {
    if (SolvesTask(Kind(), solutionPieces, placed)) return 1;
    ++failedChecks;
    return 0;
}

int16_t CShapeTarget::IsSolutionPiece(const CShapePiece& shape) const { return FirstSame(solutionPieces, shape) ? 1 : 0; }

int16_t CShapeTarget::IsSolutionPieceWithFill(const CShapePiece& shape) const {
    const CShapePiece* s = FirstSame(solutionPieces, shape);
    return s && s->fill == shape.fill ? 1 : 0;
}

int16_t CShapeTarget::IsReferencePiece(const CShapePiece& shape) const { return FirstSame(referencePieces, shape) ? 1 : 0; }

void CShapeTarget::RemoveFromLists(const CShapePiece& shape) {
    // The shape may be an entry of a list itself: the entries go only after every list is done.
    CDynArray<CShapePiece*> removed;
    for (CDynArray<CShapePiece*>* list : {&solutionPieces, &startPieces, &referencePieces}) {
        for (uint32_t i = 0; i < list->GetSize(); ++i) {
            CShapePiece* s = list->GetAt(static_cast<int>(i));
            if (s && IsSameShape(*s, shape)) {
                list->RemoveAt(static_cast<int>(i), 1);
                removed.Add(s);
                break;
            }
        }
    }
    DeleteAll(removed);
    BuildOutline(solutionPieces);
}
