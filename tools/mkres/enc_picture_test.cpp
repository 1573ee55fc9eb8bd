// The picture language: the canvas's shapes pixel by pixel, and 'SPR' and 'HT#' items built by
// mkres and read back through the game's resource reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/fonts/font_file.h"
#include "platform/fonts/font_registry.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/picture_canvas.h"
#include "tools/mkres/mkres_test_support.h"
#include "tools/mkres/source.h"

namespace {

using Bytes = std::vector<uint8_t>;
using mkres::CPictureCanvas;

// The canvas as rows of characters: '.' for 0, else 'a' + value - 1.
std::vector<std::string> Art(const CPictureCanvas& c) {
    std::vector<std::string> rows;
    for (int y = 0; y < c.Height(); ++y) {
        std::string row;
        for (int x = 0; x < c.Width(); ++x) row += c.At(x, y) ? static_cast<char>('a' + c.At(x, y) - 1) : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(PictureCanvas, RectanglesFramesAndClipping) {
    CPictureCanvas c(6, 5);
    c.Rect(-2, -2, 2, 2, 1);  // clipped at the top left
    c.Frame(2, 1, 6, 5, 2);
    c.Rect(5, 4, 9, 9, 3);  // clipped at the bottom right
    EXPECT_EQ(Art(c), (std::vector<std::string>{"aa....", "aabbbb", "..b..b", "..b..b", "..bbbc"}));
}

TEST(PictureCanvas, CirclesAreSymmetricAndCoverTheirRadius) {
    CPictureCanvas c(20, 20);
    c.Ellipse(10, 10, 5, 5, 1);
    int count = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            if (c.At(x, y)) ++count;
            EXPECT_EQ(c.At(x, y), c.At(19 - x, y)) << x << "," << y;
            EXPECT_EQ(c.At(x, y), c.At(x, 19 - y)) << x << "," << y;
            EXPECT_EQ(c.At(x, y), c.At(y, x)) << x << "," << y;
        }
    EXPECT_EQ(c.At(5, 10), 1);   // the radius reaches pixels 5 .. 14
    EXPECT_EQ(c.At(14, 10), 1);
    EXPECT_EQ(c.At(4, 10), 0);
    EXPECT_EQ(c.At(5, 5), 0);    // not the corner
    EXPECT_NEAR(count, 3.14159 * 25, 8);

    CPictureCanvas r(20, 20);
    r.Ring(10, 10, 5, 5, 2, 1);
    EXPECT_EQ(r.At(5, 10), 2);
    EXPECT_EQ(r.At(10, 10), 0);  // hollow
}

TEST(PictureCanvas, PolygonsAndRoundedRectangles) {
    CPictureCanvas square(8, 8), rect(8, 8);
    square.Polygon({{1, 1}, {6, 1}, {6, 5}, {1, 5}}, 4);
    rect.Rect(1, 1, 6, 5, 4);
    EXPECT_EQ(Art(square), Art(rect));  // a rectangle as a polygon covers the same pixels

    CPictureCanvas tri(7, 4);
    tri.Polygon({{0, 0}, {7, 0}, {0, 7}}, 1);  // pixels whose centre lies left of the diagonal
    EXPECT_EQ(Art(tri), (std::vector<std::string>{"aaaaaa.", "aaaaa..", "aaaa...", "aaa...."}));

    CPictureCanvas round(9, 7);
    round.RoundRect(0, 0, 9, 7, 3, 1);
    EXPECT_EQ(round.At(0, 0), 0);
    EXPECT_EQ(round.At(8, 6), 0);
    EXPECT_EQ(round.At(4, 0), 1);
    EXPECT_EQ(round.At(0, 3), 1);
    CPictureCanvas frame(9, 7);
    frame.RoundFrame(0, 0, 9, 7, 3, 2);
    EXPECT_EQ(frame.At(4, 3), 0);
    EXPECT_EQ(frame.At(4, 0), 2);
}

TEST(PictureCanvas, LinesIncludeBothEnds) {
    CPictureCanvas c(5, 3);
    c.Line(0, 0, 4, 2, 1);
    EXPECT_EQ(Art(c), (std::vector<std::string>{"a....", ".aa..", "...aa"}));
    CPictureCanvas w(7, 7);
    w.Line(1, 3, 5, 3, 2, 3);
    EXPECT_EQ(w.At(3, 2), 2);
    EXPECT_EQ(w.At(3, 4), 2);
    EXPECT_EQ(w.At(3, 5), 0);
    EXPECT_EQ(w.At(0, 3), 2);  // round ends reach half the width past the end
}

TEST(PictureCanvas, SprBytesPadRowsToFourBytes) {
    CPictureCanvas c(3, 2, 9);
    c.Set(2, 1, 7);
    const Bytes b = c.SprBytes();
    EXPECT_EQ(b, (Bytes{3, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0, 9, 9, 9, 0, 9, 9, 7, 0}));
}

TEST(PictureCanvas, LabelsAreTheFacesInk) {
    const plat::BitmapFace* face = mkrestest::GameFace("FONT0022");
    ASSERT_NE(face, nullptr) << "the game font file is built by the fonts target";
    const int w = plat::TextExtent(*face, "Ab").cx;
    CPictureCanvas c(w + 4, face->height + 4), expected(w + 4, face->height + 4);
    c.Label(*face, "Ab", (w + 4) / 2, 2, 5, CPictureCanvas::Align::Centre);
    int ink = 0;
    plat::ForEachInk(*face, "Ab", (w + 4) / 2 - w / 2, 2, [&](int x, int y) {
        expected.Set(x, y, 5);
        ++ink;
    });
    EXPECT_GT(ink, 20);
    EXPECT_EQ(Art(c), Art(expected));
    // An outline surrounds the ink: the pixel left of the first ink pixel of a row.
    CPictureCanvas o(w + 4, face->height + 4);
    o.Label(*face, "Ab", 2, 2, 5, CPictureCanvas::Align::Left, 9);
    for (int y = 0; y < o.Height(); ++y)
        for (int x = 1; x < o.Width(); ++x)
            if (o.At(x, y) == 5 && o.At(x - 1, y) != 5) {
                EXPECT_EQ(o.At(x - 1, y), 9) << x << "," << y;
            }
}

using mkrestest::Built;

Built Build(const std::string& text) { return mkrestest::Build(text, "pic.mkres"); }

TEST(PictureEncoder, ItemsReadBackThroughTheResourceReader) {
    const Built b = Build(R"(module 3
SPR M+10
  size 6 5
  colour roof 7
  fill 2
  rect 1 1 5 4 roof
  line 0 4 5 4 9
end
SPR M+11 picture
  size 30 20
  label 15 0 12 "Hi" face FONT0015 centre
end
HT# M+500
  10 3 4
  -11 -1 2
end
)");
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("P.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("P.RES"));

    CPictureCanvas want(6, 5, 2);
    want.Rect(1, 1, 5, 4, 7);
    want.Line(0, 4, 5, 4, 9);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, 3010)), want.SprBytes());

    const Bytes label = restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, 3011));
    ASSERT_EQ(label.size(), 12u + 32u * 20u);
    EXPECT_NE(std::count(label.begin() + 12, label.end(), 12), 0);

    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResHTN, 3500)),
              (Bytes{10, 0, 3, 0, 4, 0, 0xF5, 0xFF, 0xFF, 0xFF, 2, 0}));
}

// A paste copies the earlier picture's pixels that are not 0, clipped to the new picture; a
// picture pasted into itself or given later is no picture yet.
TEST(PictureEncoder, PasteCopiesAnEarlierPictureOverTheDrawing) {
    const Built b = Build(R"(module 3
SPR M+20
  size 3 2
  rect 0 0 3 2 5
  rect 1 0 2 1 0
end
SPR M+21
  size 5 4
  fill 1
  paste M+20 3 1
  paste 3020 -1 3
end
)");
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("P.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("P.RES"));
    CPictureCanvas want(5, 4, 1);
    for (auto [x, y] : {std::pair{3, 1}, {3, 2}, {4, 2}, {1, 3}}) want.Set(x, y, 5);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, 3021)), want.SprBytes());

    for (const char* body : {"SPR M+1\n  size 4 4\n  paste M+1 0 0\nend\n",
                             "SPR M+1\n  size 4 4\n  paste M+2 0 0\nend\nSPR M+2\n  size 1 1\nend\n"}) {
        const Built bad = Build(std::string("module 1\n") + body);
        ASSERT_FALSE(bad.ok) << body;
        EXPECT_NE(bad.diag.Errors()[0].find("given before"), std::string::npos) << bad.diag.Errors()[0];
    }
}

struct FaultCase {
    const char* name;
    const char* body;
    const char* message;  // a part of the error
};

class PictureFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(PictureFaults, AreReportedWithTheirLine) {
    const Built b = Build(std::string("module 1\nSPR M+1\n") + GetParam().body + "end\n");
    ASSERT_FALSE(b.ok);
    ASSERT_FALSE(b.diag.Errors().empty());
    EXPECT_NE(b.diag.Errors()[0].find(GetParam().message), std::string::npos) << b.diag.Errors()[0];
    EXPECT_NE(b.diag.Errors()[0].find("pic.mkres:"), std::string::npos) << b.diag.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureFaults,
    ::testing::Values(FaultCase{"NoSize", "  fill 1\n", "starts with its size"},
                      FaultCase{"Empty", "", "needs a size"},
                      FaultCase{"SizeTwice", "  size 4 4\n  size 5 5\n", "once"},
                      FaultCase{"TooLarge", "  size 4000 4\n", "outside"},
                      FaultCase{"UnknownCommand", "  size 4 4\n  blob 1 2\n", "unknown drawing command blob"},
                      FaultCase{"UnknownColourName", "  size 4 4\n  fill teal\n", "expected a number"},
                      FaultCase{"ColourOutOfRange", "  size 4 4\n  rect 0 0 2 2 256\n", "outside"},
                      FaultCase{"MissingValues", "  size 4 4\n  rect 0 0 2 2\n", "rect takes 5"},
                      FaultCase{"PolygonTooShort", "  size 4 4\n  polygon 1 0 0 3 3\n", "three or more points"},
                      FaultCase{"LabelUnknownFace", "  size 40 40\n  label 0 0 1 \"x\" face NOFACE\n", "no face NOFACE"},
                      FaultCase{"LabelNotQuoted", "  size 40 40\n  label 0 0 1 x\n", "quoted"},
                      FaultCase{"LabelOption", "  size 40 40\n  label 0 0 1 \"x\" upside\n", "label options"},
                      FaultCase{"PasteWithoutPlace", "  size 4 4\n  paste 1000\n", "paste takes"},
                      FaultCase{"PasteOfNoPicture", "  size 4 4\n  paste 1002 0 0\n", "no picture SPR 1002"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotspotEncoder, RecordsHaveThreeValues) {
    const Built b = Build("module 1\nHT# M+1\n  10 3\nend\n");
    ASSERT_FALSE(b.ok);
    EXPECT_NE(b.diag.Errors()[0].find("picture id, x, y"), std::string::npos);
    EXPECT_FALSE(Build("module 1\nHT# M+1\n  10 3 40000\nend\n").ok);
}

}  // namespace
