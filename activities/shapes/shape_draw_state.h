// The shapes activity's module-wide drawing state in one object: the current canvas, the row
// tables through which polygons are filled and the shared pattern table. Everything runs on the
// user-interface thread; a drawing sequence selects its canvas, draws and selects the one it
// found again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CShapeCanvas;

// The fill tables cover the 480 rows of the screen, indexed by absolute picture row; a shape's
// rows outside 0 to 479 are not filled.
inline constexpr int kSpanRows = 480;
// Patterned fills 16 to 31 use pictures 80 to 95, one entry per fill.
inline constexpr int kPieceTextureCount = 16;

// One pattern in use: its picture (module-relative) and that picture's size and row stride, read
// when the entry is made; the entry lives while a piece uses its fill.
struct CPieceTexture {
    uint16_t references = 0;
    uint16_t picture = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t stride = 0;
};

// A patterned span end: x on the screen, u and v in the pattern in 1/256 pixel.
struct TexSpan {
    int32_t x = 0;
    int32_t u = 0;
    int32_t v = 0;
};

using SpanTable = std::array<int16_t, kSpanRows>;
using TexSpanTable = std::array<TexSpan, kSpanRows>;

struct CShapeDrawState {
    CShapeCanvas* currentCanvas = nullptr;  // every drawing call goes here; null: none
    SpanTable spanDown{};  // solid fills: edges going down the screen
    SpanTable spanUp{};    // and all others
    TexSpanTable texSpanDown{};
    TexSpanTable texSpanUp{};
    std::array<std::unique_ptr<CPieceTexture>, kPieceTextureCount> pieceTextures;  // entry fill - 16
};

CShapeDrawState& ShapeDrawState();
