// The picture: shapes put in and taken out anywhere in the order leave the canvas exactly as
// painting every shape afresh, bottom first, would (seeded); a snapshot restores to the same
// picture; a list refused leaves the picture as it was.
#include "activities/shapes/shape_picture.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "activities/shapes/shapes_test_support.h"
#include "activities/shapes/snapshots.h"

namespace {

using shapestest::NewPiece;
using Bytes = std::vector<uint8_t>;

class PictureTest : public shapestest::ShapesHostTest {
protected:
    // The canvas's pixels row by row, without padding.
    static Bytes Pixels(const CShapeCanvas& c) {
        Bytes out;
        for (int y = 0; y < c.height; ++y)
            out.insert(out.end(), c.pixels + static_cast<size_t>(y) * c.stride, c.pixels + static_cast<size_t>(y) * c.stride + c.width);
        return out;
    }
    // What painting the picture's shapes afresh into an empty canvas gives.
    static Bytes Fresh(const CShapePicture& picture) {
        CShapeCanvas* c = CreateCanvas(picture.area);
        SelectCanvas(c);
        for (CShapePiece* s : picture.pieces) {
            s->Draw();
            s->DrawOutline(15);
        }
        Bytes out = Pixels(*c);
        DestroyCanvas(c);
        return out;
    }
    Bytes Current(const CShapePicture& picture) {
        SelectCanvas(picture.canvas);
        Bytes out = Pixels(*picture.canvas);
        SelectCanvas(nullptr);
        return out;
    }
};

TEST_F(PictureTest, PuttingInAndTakingOutAnywherePaintsAsAFreshPicture) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        CShapePicture picture(shapes::kDrawArea);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        for (int step = 0; step < 40; ++step) {
            if (picture.pieces.GetSize() > 3 && pick(3) == 0) {
                CShapePiece* out = picture.pieces.GetAt(pick(static_cast<int>(picture.pieces.GetSize())));
                ASSERT_TRUE(picture.RemovePiece(out));
                delete out;
            } else {
                const int16_t id = static_cast<int16_t>((pick(2) ? 10 : 20) + pick(6));
                const CCorPoint at{static_cast<int16_t>(150 + pick(440)), static_cast<int16_t>(40 + pick(270))};
                const int16_t fill = static_cast<int16_t>(pick(4) == 0 ? 16 + pick(16) : pick(16));
                picture.InsertPiece(NewPiece(id, static_cast<int16_t>(150 * pick(24)), at, fill),
                                    pick(2) ? -1 : pick(static_cast<int>(picture.pieces.GetSize()) + 1));
            }
            ASSERT_EQ(Current(picture), Fresh(picture)) << "seed " << seed << " step " << step;
            ASSERT_EQ(GetCurrentCanvas(), nullptr);
        }
        CShapePiece stranger(10);
        EXPECT_FALSE(picture.RemovePiece(&stranger));
        picture.ClearPieces();
        EXPECT_EQ(picture.pieces.GetSize(), 0u);
        EXPECT_EQ(Current(picture), Bytes(picture.area.Width() * static_cast<size_t>(picture.area.Height()), 0));
    }
}

TEST_F(PictureTest, ASnapshotRestoresTheSamePictureAndARefusedListLeavesIt) {
    CShapePicture picture(shapes::kDrawArea);
    picture.setId = 20;
    picture.InsertPiece(NewPiece(23, 300, {200, 100}, 4));
    picture.InsertPiece(NewPiece(25, 150, {400, 200}, 17));
    picture.InsertPiece(NewPiece(20, 0, {380, 190}, 9), 1);
    const Bytes block = media::PieceListBytes(picture.Snapshot());
    const Bytes pixels = Current(picture);

    CShapePicture again(shapes::kDrawArea);
    again.setId = 10;
    ASSERT_TRUE(again.Restore(block, "test"));
    EXPECT_EQ(again.setId, 20);
    EXPECT_EQ(media::PieceListBytes(again.Snapshot()), block);
    EXPECT_EQ(Current(again), pixels);

    Bytes outside = block;
    outside[4 + 4] = 10;  // the first piece at x 10: left of the drawing area
    Bytes fill40 = block;
    fill40[4 + 2] = 40;
    for (const Bytes& bad : {outside, fill40, Bytes(block.begin(), block.end() - 1), Bytes{20, 0, 0xFF, 0x7F}}) {
        EXPECT_FALSE(again.Restore(bad, "test"));
        EXPECT_EQ(media::PieceListBytes(again.Snapshot()), block);
        EXPECT_EQ(Current(again), pixels);
    }
    ASSERT_TRUE(again.Restore(Bytes{10, 0, 0, 0}, "test"));  // an empty picture: cleared, set 10
    EXPECT_EQ(again.pieces.GetSize(), 0u);
    EXPECT_EQ(again.setId, 10);
}

}  // namespace
