// The level ruler: pictures drawn from a level table with the chooser's segment layout, read
// back through the game's resource reader; faulty bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/level_table.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/mkres_test_support.h"
#include "tools/mkres/picture_canvas.h"

namespace {

using mkrestest::Built;

Built Build(const std::string& text) { return mkrestest::Build(text, "ruler.mkres"); }

using mkrestest::Picture;
using mkrestest::ReadPicture;

// A table of four groups (levels 1–2, 3, 4–6, 7–8), unit 16, the area 2 pixels inside.
constexpr const char* kModule = R"(module 4
IN# M+100
  0 3 16 2 2 6
  1 2   1 1   2 3   1 2
end
SPR M+881 levelruler
  table M+100
  size 104 54
end
SPR M+882 levelruler
  table M+100
  size 104 54
  highlight
end
)";

TEST(LevelRulerEncoder, LabelsSitOnTheSegmentsTheChooserHitTests) {
    const Built b = Build(kModule);
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("R.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("R.RES"));
    const auto table = media::ParseLevelTable(restest::ReadWhole(mgr, mgr.FindEntry(ResType("IN#"), 4100)));
    ASSERT_TRUE(table.has_value());

    const Picture ruler = ReadPicture(mgr, 4881);
    const Picture lit = ReadPicture(mgr, 4882);
    ASSERT_EQ(ruler.width, 104);
    ASSERT_EQ(ruler.height, 54);
    ASSERT_EQ(lit.width, 100);  // the segment area: the ruler less twice the offsets
    ASSERT_EQ(lit.height, 50);

    // Heights 16, 16, 32, 16 in an area 50 high: groups 0 and 1 left, 2 and 3 right.
    const auto seg = media::LayoutLevelSegments(*table, Rect16{0, 0, 100, 50});
    EXPECT_EQ(seg[2].left, 50);
    EXPECT_EQ(seg[3].top, 32);

    const plat::BitmapFace* face = mkrestest::GameFace("FONT0016");
    ASSERT_NE(face, nullptr);
    const char* const labels[] = {"1\x96" "2", "3", "4\x96" "6", "7\x96" "8"};
    for (int g = 0; g < 4; ++g) {
        const Rect16& s = seg[static_cast<size_t>(g)];
        const int w = s.right - s.left + 1, h = s.bottom - s.top + 1;
        // The label alone, centred in the segment, is the ink found there on both pictures.
        mkres::CPictureCanvas want(w, h);
        const SIZE extent = plat::TextExtent(*face, labels[g]);
        want.Label(*face, labels[g], w / 2, (h - extent.cy) / 2, 22, mkres::CPictureCanvas::Align::Centre);
        int ink = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool wanted = want.At(x, y) == 22;
                ink += wanted;
                ASSERT_EQ(lit.At(s.left + x, s.top + y) == 22, wanted) << "group " << g << " at " << x << "," << y;
                ASSERT_EQ(ruler.At(s.left + 2 + x, s.top + 2 + y) == 22, wanted) << "group " << g;
            }
        }
        EXPECT_GT(ink, 5) << g;
        // Lit: yellow inside a red frame; on the ruler the groups go from green to red.
        EXPECT_EQ(lit.At(s.left, s.top), 10);
        EXPECT_EQ(lit.At(s.left + 3, s.top + 3), 12);
        const uint8_t wantFill[] = {98, 82, 66, 50};
        EXPECT_EQ(ruler.At(s.left + 2 + 3, s.top + 2 + 3), wantFill[g]) << g;
    }
    // Outside the segments the highlight is transparent; the ruler's paper is pale sand,
    // under its dark grey edge.
    EXPECT_EQ(lit.At(20, 35), 0);
    EXPECT_EQ(ruler.At(0, 0), 27);
    EXPECT_EQ(ruler.At(1, 1), 229);
}

// A ruler given its own paper draws its background in it and nothing else differently.
TEST(LevelRulerEncoder, PaperColoursTheBackgroundOnly) {
    std::string own = kModule;
    own.insert(own.find("  size 104 54\nend\nSPR M+882"), "  paper 197\n");
    const Built plain = Build(kModule), papered = Build(own);
    ASSERT_TRUE(plain.ok && papered.ok);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("A.RES", plain.file);
    files->Put("B.RES", papered.file);
    CResMgr a, b;
    a.SetFileSystem(files);
    b.SetFileSystem(files);
    ASSERT_TRUE(a.Open("A.RES") && b.Open("B.RES"));
    const Picture before = ReadPicture(a, 4881), after = ReadPicture(b, 4881);
    ASSERT_EQ(before.width, after.width);
    ASSERT_EQ(before.height, after.height);
    int papers = 0;
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x) {
            const uint8_t was = before.At(x, y), now = after.At(x, y);
            if (was == 229) {
                ++papers;
                EXPECT_EQ(now, 197) << x << "," << y;
            } else {
                EXPECT_EQ(now, was) << x << "," << y;
            }
        }
    EXPECT_GT(papers, 0);
    // The highlight has no paper.
    EXPECT_EQ(ReadPicture(b, 4882).At(20, 35), 0);
}

struct FaultCase {
    const char* name;
    const char* source;
    const char* message;
};

class LevelRulerFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LevelRulerFaults, AreReportedWithTheirLine) {
    const Built b = Build(std::string("module 2\nIN# M+60\n  0 1 10 0 0 0 1 1 1 1\nend\n") + GetParam().source);
    ASSERT_FALSE(b.ok);
    ASSERT_FALSE(b.diag.Errors().empty());
    EXPECT_NE(b.diag.Errors()[0].find(GetParam().message), std::string::npos) << b.diag.Errors()[0];
    EXPECT_NE(b.diag.Errors()[0].find("ruler.mkres:"), std::string::npos) << b.diag.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LevelRulerFaults,
    ::testing::Values(
        FaultCase{"NoTable", "SPR M+71 levelruler\n  size 80 20\nend\n", "needs its table"},
        FaultCase{"TableNotGiven", "SPR M+71 levelruler\n  table M+61\n  size 80 20\nend\n", "no level table IN# 2061"},
        FaultCase{"TableGivenAfter", "SPR M+71 levelruler\n  table M+62\n  size 80 20\nend\nIN# M+62\n  0 1 10 0 0 0 1 1 1 1\nend\n",
                  "no level table IN# 2062"},
        FaultCase{"NotALevelTable", "IN# M+63\n  0 1 10\nend\nSPR M+71 levelruler\n  table M+63\n  size 80 20\nend\n",
                  "not a level table"},
        FaultCase{"NoSize", "SPR M+71 levelruler\n  table M+60\nend\n", "needs its table and its size"},
        FaultCase{"OffsetsTooLarge", "IN# M+64\n  0 1 10 50 0 0 1 1 1 1\nend\nSPR M+71 levelruler\n  table M+64\n  size 80 20\nend\n",
                  "no segment area"},
        FaultCase{"LabelTooWide", "SPR M+71 levelruler\n  table M+60\n  size 12 20\nend\n", "does not fit"},
        FaultCase{"SegmentTooLow", "SPR M+71 levelruler\n  table M+60\n  size 80 6\nend\n", "does not fit"},
        FaultCase{"UnknownLine", "SPR M+71 levelruler\n  table M+60\n  size 80 20\n  colour 3\nend\n", "not colour"},
        FaultCase{"PaperTransparent", "SPR M+71 levelruler\n  table M+60\n  size 80 20\n  paper 0\nend\n", "10 to 245"},
        FaultCase{"PaperStatic", "SPR M+71 levelruler\n  table M+60\n  size 80 20\n  paper 250\nend\n", "10 to 245"},
        FaultCase{"UnknownFace", "SPR M+71 levelruler\n  table M+60\n  size 80 20\n  face NOFACE\nend\n", "no face NOFACE"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
