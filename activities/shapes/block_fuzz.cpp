// libFuzzer target: any bytes as a piece list from outside the program (a picture file, a
// record slot's 'data', a 'PLS' item), restored into a picture over the drawing area, which
// takes it only when the check accepts it: its shapes made and painted, its snapshot restoring
// to the same snapshot, its top shape taken out and put in at the bottom.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "activities/shapes/shape_picture.h"
#include "activities/shapes/snapshots.h"
#include "engine/toolbox/toolbox_test_support.h"

volatile int64_t shapesBlockSink = 0;

namespace {

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
    CShapePicture picture(shapes::kDrawArea);
    if (picture.Restore(bytes, "fuzz")) {
        // A restored picture's snapshot passes the check and restores to the same snapshot.
        const std::vector<uint8_t> block = media::PieceListBytes(picture.Snapshot());
        CShapePicture again(shapes::kDrawArea);
        if (!again.Restore(block, "fuzz") || media::PieceListBytes(again.Snapshot()) != block) std::abort();
        for (CShapePiece* s : picture.pieces) sum += s->GetCornerTotal();
        if (!picture.pieces.IsEmpty()) {
            CShapePiece* top = picture.pieces.GetAt(static_cast<int>(picture.pieces.GetSize() - 1));
            picture.RemovePiece(top);
            picture.InsertPiece(top, 0);
        }
    }
    shapesBlockSink = shapesBlockSink + sum;
    return 0;
}
