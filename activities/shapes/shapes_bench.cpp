// A hexagon of the large set filled solid and patterned into a 640 × 480 canvas, and 40 pieces
// of both sets, turned and spread over the screen, redrawn into it (cleared, then each piece's
// fill and outline), as the scene redraws its drawing area.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_piece.h"
#include "engine/toolbox/toolbox_test_support.h"

namespace {

// Module 6 with the hexagons and triangles of both sets and a 128 × 128 pattern 80.
struct CBenchHost {
    CBenchHost() {
        host.module = 6;
        media::CResWriter w;
        for (int16_t edge : {32, 24}) {
            const int16_t set = edge == 32 ? 10 : 20;
            const std::vector<media::PiecePair> hexagon{{edge, 0}, {edge, 600}, {edge, 1200}, {edge, 1800}, {edge, 2400}, {edge, 3000}};
            const std::vector<media::PiecePair> triangle{{edge, 0}, {edge, 1200}, {edge, 2400}};
            w.Add("PN#", 6000 + set + 5, media::PieceOutlineBytes({edge, 2400}, hexagon));
            w.Add("PN#", 6000 + set + 2, media::PieceOutlineBytes({static_cast<int16_t>(edge * 10 / 17), 2100}, triangle));
        }
        host.OpenModule(6, w);
        std::vector<std::vector<uint8_t>> rows(128, std::vector<uint8_t>(128));
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = static_cast<uint8_t>(100 + (x / 8 + y / 8) % 2);
        host.AddPicture(80, 128, rows);
        canvas = CreateCanvas({0, 0, 640, 480});
        SelectCanvas(canvas);
    }
    ~CBenchHost() { DestroyCanvas(canvas); }
    toolboxtest::CPictureHost host;
    CShapeCanvas* canvas = nullptr;
};

void BM_HexagonFill(benchmark::State& state) {
    CBenchHost bench;
    CShapePiece hexagon(15);
    hexagon.SetAngle(150);
    hexagon.MoveTo({320, 240});
    hexagon.SetFill(static_cast<int16_t>(state.range(0)));
    for (auto _ : state) {
        hexagon.Draw();
        benchmark::DoNotOptimize(bench.canvas->pixels);
    }
}
BENCHMARK(BM_HexagonFill)->Arg(3)->Arg(16)->Unit(benchmark::kMicrosecond);

void BM_Redraw40Pieces(benchmark::State& state) {
    CBenchHost bench;
    std::vector<std::unique_ptr<CShapePiece>> pieces;
    for (int i = 0; i < 40; ++i) {
        auto p = std::make_unique<CShapePiece>(static_cast<int16_t>((i % 2 ? 10 : 20) + (i % 3 ? 5 : 2)));
        p->SetAngle(static_cast<int16_t>(150 * i));
        p->MoveTo({static_cast<int16_t>(40 + (i % 8) * 75), static_cast<int16_t>(50 + (i / 8) * 90)});
        p->SetFill(static_cast<int16_t>(i % 4 ? i % 8 : 16));
        pieces.push_back(std::move(p));
    }
    for (auto _ : state) {
        ClearCanvasRect(bench.canvas->rect);
        for (const auto& p : pieces) {
            p->Draw();
            p->DrawOutline(15);
        }
        benchmark::DoNotOptimize(bench.canvas->pixels);
    }
}
BENCHMARK(BM_Redraw40Pieces)->Unit(benchmark::kMicrosecond);

}  // namespace
