// libFuzzer target: any bytes as the shapes activity's items. The first bytes become the
// outlines of the large set ('PN#' 10 to 15, read from a module file as the pieces read them);
// the whole input is read as a piece list and as a task record ('BPB'), whose shapes are built
// from those outlines, grouped, compared, checked as a solution and drawn, plain and patterned,
// into a canvas.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_group.h"
#include "activities/shapes/shape_target.h"
#include "engine/toolbox/toolbox_test_support.h"

volatile int64_t shapesItemsSink = 0;

namespace {

void DeleteAll(CDynArray<CShapePiece*>& list) {
    for (CShapePiece* s : list) delete s;
    list.Free();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Bounded work per input: every record builds a piece, every piece fills its rows.
    size = std::min<size_t>(size, 1200);
    const std::vector<uint8_t> bytes(data, data + size);
    const std::vector<uint8_t> outline(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(size, 42)));

    toolboxtest::CPictureHost host;
    host.module = 6;
    media::CResWriter w;
    for (int kind = 0; kind < 10; ++kind) w.Add("PN#", 6010 + kind, outline);
    const std::vector<media::PiecePair> hexagon{{24, 0}, {24, 600}, {24, 1200}, {24, 1800}, {24, 2400}, {24, 3000}};
    for (int kind = 0; kind < 10; ++kind) w.Add("PN#", 6020 + kind, media::PieceOutlineBytes({24, 2400}, hexagon));
    if (!host.OpenModule(6, w)) return 0;
    for (int16_t picture = 80; picture < 96; ++picture)
        host.AddPicture(picture, 1 + picture % 7, std::vector<std::vector<uint8_t>>(static_cast<size_t>(1 + picture % 5), {1, 2, 3, 4, 5, 6, 7}));

    const media::PieceList list = media::ParsePieceList(bytes);
    const media::TaskRecord task = media::ParseTaskRecord(bytes);
    CDynArray<CShapePiece*> placed, solution, start;
    CShapeTarget::ReadPieceList(list, placed);
    CShapeTarget::ReadPieceList(task.solution, solution);
    CShapeTarget::ReadPieceList(task.start, start);
    CShapeTarget::ReadPieceList(task.reference, start);

    int64_t sum = static_cast<int64_t>(SolvesTask(task.Kind(), solution, placed)) + SolvesTask(2, solution, placed) +
                  static_cast<int64_t>(media::PieceListShapeCount(list));
    CShapeGroup outline1, outline2;
    outline1.CopyPieces(solution, static_cast<int16_t>(task.start.setId));
    outline2.ReadChildren(list.records.data(), static_cast<int32_t>(list.records.size()), 10);
    sum += IsSameShape(outline1, outline2) + outline1.GetCornerTotal() + outline2.GetCornerTotal();

    // Small, and across the top-left corner of the screen: every clip is crossed, drawing stays cheap.
    CShapeCanvas* canvas = CreateCanvas({-40, -30, 120, 90});
    SelectCanvas(canvas);
    for (CDynArray<CShapePiece*>* shapes : {&placed, &solution, &start}) {
        for (CShapePiece* s : *shapes) {
            s->Draw();
            s->DrawOutline(3);
            sum += s->ContainsPoint(s->GetPosition()) + s->FindVertexNear(s->GetPosition(), 40) + s->Overlaps(outline1) +
                   IsSameShape(*s, outline2);
            s->SetMarked(1);
            s->SetFill(static_cast<int16_t>(16 + (sum & 15)));
            s->Draw();
        }
    }
    outline1.Draw();
    outline1.DrawOutline(0);
    outline2.SetFill(20);
    outline2.Draw();
    outline2.DrawOutline(1);
    if (outline2.ChildCount() > 0) delete outline2.RemoveChildAt(0);
    outline2.RebuildOutline();
    sum += outline2.GetCornerTotal();
    DestroyCanvas(canvas);

    DeleteAll(placed);
    DeleteAll(solution);
    DeleteAll(start);
    shapesItemsSink = shapesItemsSink + sum;
    return 0;
}
