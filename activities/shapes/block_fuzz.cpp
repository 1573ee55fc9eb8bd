// libFuzzer target: any bytes as a piece list from outside the program (a picture file, a
// record slot's 'data', a 'PLS' item), through the check the restoring code asks. An accepted
// list is restored (its shapes made as a restored picture makes them) and drawn into a canvas
// over the drawing area; its snapshot passes the check again and restores to the same snapshot.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_target.h"
#include "activities/shapes/snapshots.h"
#include "engine/toolbox/toolbox_test_support.h"

volatile int64_t shapesBlockSink = 0;

namespace {

void DeleteAll(CDynArray<CShapePiece*>& list) {
    for (CShapePiece* s : list) delete s;
    list.Free();
}

// Outlines like the game's: a square, thin rhombus, triangle, rhombus, trapezoid and hexagon.
void AddOutlines(media::CResWriter& w, int set, int16_t edge) {
    const std::vector<std::vector<media::PiecePair>> kinds{
        {{edge, 0}, {edge, 900}, {edge, 1800}, {edge, 2700}},
        {{edge, 0}, {edge, 300}, {edge, 1800}, {edge, 2100}},
        {{edge, 0}, {edge, 1200}, {edge, 2400}},
        {{edge, 0}, {edge, 600}, {edge, 1800}, {edge, 2400}},
        {{edge, 0}, {edge, 600}, {edge, 1800}, {edge, 1800}, {edge, 3000}},
        {{edge, 0}, {edge, 600}, {edge, 1200}, {edge, 1800}, {edge, 2400}, {edge, 3000}}};
    for (size_t k = 0; k < kinds.size(); ++k)
        w.Add("PN#", static_cast<uint32_t>(6000 + set + static_cast<int>(k)), media::PieceOutlineBytes({static_cast<int16_t>(edge / 2), 2100}, kinds[k]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size = std::min<size_t>(size, 4 + 10 * 60);  // bounded work: every record makes and fills a piece
    const std::vector<uint8_t> bytes(data, data + size);

    toolboxtest::CPictureHost host;
    host.module = 6;
    media::CResWriter w;
    AddOutlines(w, 10, 32);
    AddOutlines(w, 20, 24);
    if (!host.OpenModule(6, w)) return 0;
    for (int16_t picture = 80; picture < 96; ++picture)
        host.AddPicture(picture, 5, std::vector<std::vector<uint8_t>>(3, {1, 2, 3, 4, 5}));

    // The positions unchecked too, as a piece set's list is taken.
    int64_t sum = media::CheckPieceList(bytes) ? 1 : 0;
    const auto list = shapes::AcceptPieceList(bytes, &shapes::kDrawArea, "fuzz");
    if (!list) {
        shapesBlockSink = shapesBlockSink + sum;
        return 0;
    }
    CDynArray<CShapePiece*> picture, again;
    CShapeTarget::ReadPieceList(*list, picture);

    CShapeCanvas* canvas = CreateCanvas(shapes::kDrawArea);
    SelectCanvas(canvas);
    for (CShapePiece* s : picture) {
        s->Draw();
        s->DrawOutline(15);
        sum += s->GetCornerTotal();
    }
    DestroyCanvas(canvas);

    const media::PieceList snapshot = shapes::SnapshotOf(list->setId, picture);
    const std::vector<uint8_t> block = media::PieceListBytes(snapshot);
    if (!media::CheckPieceList(block, &shapes::kDrawArea)) std::abort();
    CShapeTarget::ReadPieceList(media::ParsePieceList(block), again);
    if (shapes::SnapshotOf(list->setId, again).records != snapshot.records) std::abort();

    DeleteAll(picture);
    DeleteAll(again);
    shapesBlockSink = shapesBlockSink + sum;
    return 0;
}
