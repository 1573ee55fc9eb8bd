// Test helpers of the shapes activity: a picture host with module 6's built resource file (the
// pieces' outlines), canvases read back row by row, patterns made in the test, and shapes
// placed as a piece list places them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_group.h"
#include "activities/shapes/shape_piece.h"
#include "engine/toolbox/toolbox_test_support.h"

namespace shapestest {

inline constexpr int kModule = 6;

// The canvas's pixel at picture point (x, y).
inline uint8_t CanvasAt(const CShapeCanvas& c, int x, int y) {
    return c.pixels[static_cast<size_t>(y - c.rect.top) * c.stride + static_cast<size_t>(x - c.rect.left)];
}

// The module's built file on a picture host; every test starts without a current canvas and
// without pattern entries.
class ShapesHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.module = kModule;
        ASSERT_TRUE(host.OpenModuleFile(kModule, std::filesystem::path(ZELBO_RES_DIR) / "Zelbo6.res"));
        ASSERT_EQ(ShapeDrawState().currentCanvas, nullptr);
    }
    void TearDown() override {
        SelectCanvas(nullptr);
        for (const auto& entry : ShapeDrawState().pieceTextures) EXPECT_EQ(entry, nullptr) << "a pattern reference was kept";
    }

    // A canvas over the rectangle, current.
    CShapeCanvas* Canvas(CCorRect rect) {
        CShapeCanvas* c = CreateCanvas(rect);
        canvases.emplace_back(c);
        SelectCanvas(c);
        return c;
    }
    // The canvas's pixel at picture point (x, y).
    static uint8_t At(const CShapeCanvas& c, int x, int y) { return CanvasAt(c, x, y); }
    // The padding bytes at the end of each row all still 0.
    static bool PaddingClean(const CShapeCanvas& c) {
        for (int y = 0; y < c.height; ++y)
            for (int x = c.width; x < c.stride; ++x)
                if (c.pixels[static_cast<size_t>(y) * c.stride + static_cast<size_t>(x)] != 0) return false;
        return true;
    }
    // A pattern picture whose pixel (x, y) is 100 + (x + 3 y) % 50 (never 0).
    void AddPattern(int16_t picture, int w, int h) {
        std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(h), std::vector<uint8_t>(static_cast<size_t>(w)));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = static_cast<uint8_t>(100 + (x + 3 * y) % 50);
        ASSERT_NE(host.AddPicture(picture, w, rows), nullptr);
    }

    struct CanvasDeleter {
        void operator()(CShapeCanvas* c) const { DestroyCanvas(c); }
    };
    toolboxtest::CPictureHost host;
    std::vector<std::unique_ptr<CShapeCanvas, CanvasDeleter>> canvases;
};

// A piece of the id turned, moved and filled in the order a piece list places it.
inline std::unique_ptr<CShapePiece> Piece(int16_t id, int16_t angle, CCorPoint at, int16_t fill = 0) {
    auto p = std::make_unique<CShapePiece>(id);
    p->SetAngle(angle);
    p->MoveTo(at);
    p->SetFill(fill);
    return p;
}

inline CShapePiece* NewPiece(int16_t id, int16_t angle, CCorPoint at, int16_t fill = 0) {
    return Piece(id, angle, at, fill).release();
}

// The corners of a shape, in order.
inline std::vector<CCorPoint> Corners(const CShapePiece& s) {
    std::vector<CCorPoint> out;
    for (const ShapeEdge& e : s.edges) out.push_back(e.start);
    return out;
}

// A new piece of the id glued to edge `edge` of `to` from outside: one of its edges runs the
// other way between the same two corners. The first turn (0 up) and edge that fit exactly;
// null when none does.
inline std::unique_ptr<CShapePiece> Attach(const CShapePiece& to, int edge, int16_t id, int16_t fill = 0) {
    const ShapeEdge& e = *to.edges.At(edge);
    for (int16_t angle = 0; angle < 3600; angle += 150) {
        auto p = Piece(id, angle, {0, 0}, fill);
        for (const ShapeEdge& f : p->edges) {
            const CCorPoint delta = e.end - f.start;
            if (f.end + delta == e.start) {
                p->MoveTo(p->GetPosition() + delta);
                return p;
            }
        }
    }
    return nullptr;
}

}  // namespace shapestest
