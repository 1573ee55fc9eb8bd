// Palette items and the fades, on the headless back end's palette display in virtual time.
#include "engine/scene/pal_item.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "engine/scene/fade.h"
#include "engine/scene/scene_test_support.h"
#include "engine/scene/ticks.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/core/byte_order.h"
#include "platform/gdi/wing.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

// A 'PAL' item: the count word, then the colours (given as red, green, blue) stored blue,
// green, red.
Bytes Pal(uint16_t count, const std::vector<std::array<uint8_t, 3>>& rgb) {
    Bytes b;
    plat::AppendLe16(b, count);
    for (const auto& c : rgb) b.insert(b.end(), {c[2], c[1], c[0]});
    return b;
}

// 256 colours: entry i is (i, 255 - i, i / 2), with the given ones replaced.
std::vector<std::array<uint8_t, 3>> Ramp(std::initializer_list<std::pair<int, std::array<uint8_t, 3>>> set = {}) {
    std::vector<std::array<uint8_t, 3>> rgb(256);
    for (int i = 0; i < 256; ++i)
        rgb[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2)};
    for (const auto& [i, c] : set) rgb[static_cast<size_t>(i)] = c;
    return rgb;
}

PALETTEENTRY Shown(int index) {
    HDC screen = GetDC(nullptr);
    PALETTEENTRY e{};
    GetSystemPaletteEntries(screen, static_cast<UINT>(index), 1, &e);
    ReleaseDC(nullptr, screen);
    return e;
}

class PalItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl.SetQueryStep(0);
        plat::ResetGdi();
        InitDibSystem(nullptr, TRUE, 0);
    }
    void TearDown() override {
        ShutdownDibSystem();
        plat::ResetGdi();
    }
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    scenetest::CFakeSceneHost scene;
};

struct BlackCase {
    const char* name;
    Bytes item;
    int expected;
};

class PalBlackIndex : public PalItemTest, public ::testing::WithParamInterface<BlackCase> {};

TEST_P(PalBlackIndex, IsRecordedWithTheEngine) {
    CPalItem item(0);
    ASSERT_TRUE(item.LoadFromBytes(GetParam().item));
    EXPECT_EQ(scene.blackIndex, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PalBlackIndex,
    ::testing::Values(
        BlackCase{"FirstPureBlack", Pal(256, Ramp({{10, {0, 0, 0}}, {200, {0, 0, 0}}})), 10},
        BlackCase{"DarkestFirstOfEquals", Pal(256, Ramp({{0, {0, 0, 0}}, {60, {1, 1, 1}}, {70, {1, 1, 1}}, {5, {0, 0, 0}}})),
                  60},
        // Entries 0 to 9 and 246 to 255 are never chosen.
        BlackCase{"OnlyTheEndsAreBlack",
                  Pal(256, [] {
                      auto rgb = Ramp();
                      for (int i = 10; i < 246; ++i) rgb[static_cast<size_t>(i)] = {200, 200, 200};
                      rgb[3] = rgb[250] = {0, 0, 0};
                      rgb[120] = {199, 200, 200};
                      return rgb;
                  }()),
                  120},
        BlackCase{"TooFewColours", Pal(8, std::vector<std::array<uint8_t, 3>>(8, {0, 0, 0})), 0},
        // A count beyond 256 or beyond the item's colours is cut to both.
        BlackCase{"CountAboveTheItem", Pal(300, std::vector<std::array<uint8_t, 3>>(20, {9, 9, 9})), 10},
        BlackCase{"CountAbove256", [] {
                      Bytes b = Pal(0xFFFF, Ramp({{12, {0, 0, 0}}}));
                      b.insert(b.end(), 3 * 40, 0);  // 40 more colours past 256, never read
                      return b;
                  }(),
                  12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PalItemTest, AShortItemReadsOnlyWholeColoursPresent) {
    Bytes b = Pal(200, Ramp());
    b.resize(2 + 3 * 50 + 2);  // 50 whole colours and two bytes of the 51st
    CPalItem item(0);
    ASSERT_TRUE(item.LoadFromBytes(b));
    PALETTEENTRY e[2];
    item.GetEntries(49, 2, e);
    EXPECT_EQ(e[0].peRed, 49);
    EXPECT_EQ(e[0].peGreen, 206);
    EXPECT_EQ(e[1].peRed, 0);  // the cut colour stays black
    EXPECT_EQ(e[1].peGreen, 0);
    EXPECT_FALSE(CPalItem(0).LoadFromBytes(Bytes{5}));
}

TEST_F(PalItemTest, LoadsThroughTheModuleFileAndShowsItsColours) {
    itemtest::CTestHost resources;
    media::CResWriter m3;
    m3.Add("PAL", 3000, Pal(256, Ramp()));
    ASSERT_TRUE(resources.OpenModule(3, m3));
    CPalItem item(3000);
    ASSERT_TRUE(item.Load());
    ASSERT_NE(item.GetPalette(), nullptr);
    HDC screen = GetDC(nullptr);
    SelectPalette(screen, *item.GetPalette(), FALSE);
    RealizePalette(screen);
    ReleaseDC(nullptr, screen);
    for (int i : {10, 100, 245}) {
        const PALETTEENTRY e = Shown(i);
        EXPECT_EQ(e.peRed, i);
        EXPECT_EQ(e.peGreen, 255 - i);
        EXPECT_EQ(e.peBlue, i / 2);
    }
    EXPECT_FALSE(CPalItem(3999).Load());
}

// Samples the shown colour of an entry at every millisecond of a fade.
class FadeTest : public PalItemTest {
protected:
    void SetUp() override {
        PalItemTest::SetUp();
        hl.Advance(10000);
        ASSERT_TRUE(item.LoadFromBytes(Pal(256, Ramp({{100, {240, 120, 60}}, {150, {30, 60, 90}}}))));
    }
    void Sample(uint64_t from, uint64_t count) {
        for (uint64_t t = from; t < from + count; ++t)
            hl.At(t, [this, t] { samples.push_back({t, Shown(100), Shown(150)}); });
    }
    struct Seen {
        uint64_t ms;
        PALETTEENTRY moving, kept;
    };
    CPalItem item{0};
    std::vector<Seen> samples;
};

TEST_F(FadeTest, TwentyTicksOutChangeOncePerTickAtMostAndEndBlack) {
    const uint64_t start = plat::NowMs64();
    Sample(start, 400);
    FadeOut(&item, 20, 150);
    const uint64_t took = plat::NowMs64() - start;
    EXPECT_GE(took, 333u);
    EXPECT_LE(took, 350u);

    std::set<uint64_t> changedInTick;
    int changes = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        const PALETTEENTRY a = samples[i - 1].moving, b = samples[i].moving;
        if (samples[i].ms >= start + took) break;
        EXPECT_LE(b.peRed, a.peRed);
        if (a.peRed != b.peRed) {
            ++changes;
            EXPECT_TRUE(changedInTick.insert(TicksFromMs(samples[i].ms)).second) << "twice in one tick";
        }
        EXPECT_EQ(samples[i].kept.peBlue, 90);  // the kept entry keeps its colour
    }
    EXPECT_GE(changes, 15);
    EXPECT_EQ(Shown(100).peRed, 0);
    EXPECT_EQ(Shown(100).peGreen, 0);
    EXPECT_EQ(Shown(150).peBlue, 0);  // black at the end, kept or not
}

// The fade takes no messages: input queued during it neither ends it early nor wakes it into
// a loop of waits (one wait a tick, and one more for the input's arrival).
TEST_F(FadeTest, QueuedInputNeitherShortensNorSpinsAFade) {
    const uint64_t start = plat::NowMs64();
    for (uint64_t at : {5, 50, 51, 200}) hl.Click(start + at, 10, 10);
    hl.Key(start + 60, 'A');
    const uint64_t waits = hl.Waits();
    FadeIn(&item, 20, 0);
    EXPECT_GE(plat::NowMs64() - start, 333u);
    EXPECT_LE(hl.Waits() - waits, 21u + 5u);
}

TEST_F(FadeTest, InRisesFromBlackToFullColour) {
    const uint64_t start = plat::NowMs64();
    Sample(start + 1, 300);
    FadeIn(&item, 20, 0);
    ASSERT_FALSE(samples.empty());
    EXPECT_LT(samples.front().moving.peRed, 20);
    for (size_t i = 1; i < samples.size(); ++i) EXPECT_GE(samples[i].moving.peRed, samples[i - 1].moving.peRed);
    EXPECT_EQ(Shown(100).peRed, 240);
    EXPECT_EQ(Shown(150).peGreen, 60);
}

// With WinG the frame surface keeps a colour table of its own: a fade leaves it as the screen
// ends, so what is drawn afterwards matches.
TEST_F(PalItemTest, FadesEndInTheFrameSurfacesColours) {
    ShutdownDibSystem();
    InitDibSystem(nullptr, FALSE, 0);
    ASSERT_TRUE(TheDibSystem().winGInUse);
    CPalItem item(0);
    ASSERT_TRUE(item.LoadFromBytes(Pal(256, Ramp({{100, {240, 120, 60}}}))));
    CDibG frame;
    frame.Create(8, 8, item.GetPalette());
    scene.frame = &frame;
    RGBQUAD got{};
    FadeOut(&item, 0, 0);
    ASSERT_EQ(plat::wing::WinGGetDIBColorTable(TheDibSystem().winGDC, 100, 1, &got), 1u);
    EXPECT_EQ(got.rgbRed, 0);
    EXPECT_EQ(got.rgbBlue, 0);
    FadeIn(&item, 0, 0);
    ASSERT_EQ(plat::wing::WinGGetDIBColorTable(TheDibSystem().winGDC, 100, 1, &got), 1u);
    EXPECT_EQ(got.rgbRed, 240);
    EXPECT_EQ(got.rgbBlue, 60);
}

TEST_F(FadeTest, InOverZeroTicksSetsTheColoursAtOnce) {
    FadeOut(&item, 0, 0);
    EXPECT_EQ(Shown(100).peRed, 0);
    const uint64_t start = plat::NowMs64();
    FadeIn(&item, 0, 0);
    EXPECT_EQ(plat::NowMs64(), start);
    EXPECT_EQ(Shown(100).peRed, 240);
    EXPECT_EQ(Shown(100).peBlue, 60);
}

}  // namespace
