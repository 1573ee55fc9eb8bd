// The screen helpers: rectangle arithmetic at its edges, drawing into small pictures checked
// pixel by pixel (clipping at every edge), and on a started engine the framed panel, the shade,
// the click limit with the two hot keys, the wait for a sprite and a golden image of a panel over
// a shaded screen.
#include "engine/toolbox/screen_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/palette_wrappers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "engine/toolbox/toolbox_test_support.h"
#include "media/surface/dibg.h"
#include "platform/headless/golden_test_support.h"

namespace {

using Rows = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Rectangles.

TEST(Rect16Helpers, PointInRectCountsAllFourEdges) {
    const Rect16 r{10, 20, 30, 40};
    const struct {
        int16_t x, y;
        bool in;
    } cases[] = {
        {10, 25, true},  {30, 25, true},  {15, 20, true},  {15, 40, true},  // each edge
        {10, 20, true},  {30, 40, true},                                    // corners
        {9, 25, false},  {31, 25, false}, {15, 19, false}, {15, 41, false},
    };
    for (const auto& c : cases) EXPECT_EQ(PointInRect16(c.x, c.y, r), c.in) << c.x << "," << c.y;
}

TEST(Rect16Helpers, OffsetInflateCentreAndPair) {
    Rect16 r{10, 20, 30, 40};
    OffsetRect16(r, -15, 7);
    EXPECT_EQ((std::vector<int16_t>{r.left, r.top, r.right, r.bottom}), (std::vector<int16_t>{-5, 27, 15, 47}));
    InflateRect16(r, 2);
    EXPECT_EQ((std::vector<int16_t>{r.left, r.top, r.right, r.bottom}), (std::vector<int16_t>{-7, 25, 17, 49}));
    InflateRect16(r, -3);
    EXPECT_EQ((std::vector<int16_t>{r.left, r.top, r.right, r.bottom}), (std::vector<int16_t>{-4, 28, 14, 46}));

    const struct {
        Rect16 in;
        Rect16 out;
    } centred[] = {
        {{0, 0, 101, 51}, {270, 215, 371, 266}},
        {{500, -40, 601, 11}, {270, 215, 371, 266}},  // only the size counts
        {{0, 0, 640, 480}, {0, 0, 640, 480}},
        {{0, 0, 0, 0}, {320, 240, 320, 240}},
    };
    for (const auto& c : centred) {
        Rect16 moved = c.in;
        CenterRectOnScreen(moved);
        EXPECT_EQ((std::vector<int16_t>{moved.left, moved.top, moved.right, moved.bottom}),
                  (std::vector<int16_t>{c.out.left, c.out.top, c.out.right, c.out.bottom}));
    }

    CCorRect engineRect{-7, 3, 94, 54};
    CenterRectOnScreen(engineRect);
    EXPECT_EQ(engineRect, (CCorRect{270, 215, 371, 266})) << "the engine's rectangle too";

    int16_t pair[2] = {0, 0};
    const int16_t source[2] = {-3, 12};
    SetShortPair(pair, source);
    EXPECT_EQ(pair[0], -3);
    EXPECT_EQ(pair[1], 12);
    SetShortPair(nullptr, source);
    SetShortPair(pair, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Drawing into picture items of a resource host (no engine needed).

class ScreenDrawing : public ::testing::Test {
protected:
    // A blank picture of width × height in colour `fill`.
    int16_t Blank(int16_t width, int16_t height, uint8_t fill = 0) {
        const int16_t id = NewBlankPicture(width, height);
        EXPECT_GT(id, 0);
        BYTE* bits = LockPictureData(id);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bits[y * GetPictureAttr(id) + x] = fill;
        UnlockPictureData(bits);
        return id;
    }
    // The picture's pixels as rows of characters: '.' for 0, else 'a' + colour - 1.
    static Rows Pixels(int16_t id) {
        int16_t w = 0, h = 0;
        GetPictureSize(id, w, h);
        BYTE* bits = LockPictureData(id);
        Rows rows;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) {
                const BYTE c = bits[y * GetPictureAttr(id) + x];
                row += c == 0 ? '.' : static_cast<char>('a' + c - 1);
            }
            rows.push_back(row);
        }
        UnlockPictureData(bits);
        return rows;
    }
    toolboxtest::CPictureHost host;
};

TEST_F(ScreenDrawing, ClipRectToPictureTable) {
    const int16_t id = Blank(20, 10);
    const struct {
        Rect16 in;
        int16_t result;
        Rect16 out;
    } cases[] = {
        {{2, 3, 12, 8}, 1, {2, 3, 12, 8}},
        {{-4, -2, 20, 10}, 1, {0, 0, 20, 10}},  // negatives to 0; the far edges may be reached
        {{0, 0, 21, 5}, 0, {0, 0, 21, 5}},      // right beyond the width
        {{0, 0, 5, 11}, 0, {0, 0, 5, 11}},      // bottom beyond the height
        {{21, 0, 22, 5}, 0, {21, 0, 22, 5}},
        {{5, 5, 5, 9}, 0, {5, 5, 5, 9}},        // empty
        {{-5, 2, -1, 4}, 0, {0, 2, 0, 4}},      // wholly left: empty once clipped
    };
    for (const auto& c : cases) {
        Rect16 r = c.in;
        EXPECT_EQ(ClipRectToPicture(r, id), c.result) << c.in.left << "," << c.in.top << "," << c.in.right << "," << c.in.bottom;
        EXPECT_EQ((std::vector<int16_t>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int16_t>{c.out.left, c.out.top, c.out.right, c.out.bottom}));
    }
    Rect16 r{0, 0, 1, 1};
    EXPECT_EQ(ClipRectToPicture(r, 555), 0) << "a missing picture has no room";
}

// Whole words from left rounded down: left 5, right 14 fills columns 4 to 11 (two words), the
// value's low byte first.
TEST_F(ScreenDrawing, FillPictureRect32WritesWholeWordsFromAlignedLeft) {
    const int16_t id = Blank(16, 3);
    FillPictureRect32(id, Rect16{5, 1, 14, 2}, 0x04030201);
    EXPECT_EQ(Pixels(id), (Rows{"................", "....abcdabcd....", "................"}));

    const int16_t small = Blank(7, 2);
    FillPictureRect32(small, Rect16{-3, -1, 7, 2}, 0x09090909);  // clipped to 0..7: one word
    EXPECT_EQ(Pixels(small), (Rows{"iiii...", "iiii..."}));
    FillPictureRect32(small, Rect16{0, 0, 8, 2}, 0x05050505);  // right beyond the picture: nothing
    EXPECT_EQ(Pixels(small), (Rows{"iiii...", "iiii..."}));
}

TEST_F(ScreenDrawing, DrawLine16Table) {
    const struct {
        const char* name;
        int16_t x1, y1, x2, y2;
        Rows expected;
    } cases[] = {
        {"forward", 3, 1, 8, 1, {"..........", "...bbbbb..", "..........", "..........", ".........."}},
        {"reversed", 8, 1, 3, 1, {"..........", "...bbbbb..", "..........", "..........", ".........."}},
        {"vertical up", 2, 4, 2, 1, {"..........", "..b.......", "..b.......", "..b.......", ".........."}},
        {"diagonal", 1, 1, 4, 4, {"..........", "..........", "..........", "..........", ".........."}},
        {"a point", 4, 2, 4, 2, {"..........", "..........", "..........", "..........", ".........."}},
        {"over the edges", -3, 4, 14, 4, {"..........", "..........", "..........", "..........", "bbbbbbbbbb"}},
        {"off the picture", 0, 7, 9, 7, {"..........", "..........", "..........", "..........", ".........."}},
        {"down past the bottom", 9, -2, 9, 9, {".........b", ".........b", ".........b", ".........b", ".........b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int16_t id = Blank(10, 5);
        DrawLine16(id, c.x1, c.y1, c.x2, c.y2, 2);
        EXPECT_EQ(Pixels(id), c.expected);
        PurgeResource(id);
    }
}

// The example of a line from (10, 5) to (3, 5): columns 3 to 9 of row 5.
TEST_F(ScreenDrawing, AReversedLineStopsBeforeItsStart) {
    const int16_t id = Blank(12, 6);
    DrawLine16(id, 10, 5, 3, 5, 1);
    EXPECT_EQ(Pixels(id)[5], "...aaaaaaa..");
}

TEST_F(ScreenDrawing, OutlineAndItsClipping) {
    const int16_t id = Blank(8, 6);
    DrawRectOutline16(id, Rect16{1, 1, 6, 5}, 3);
    EXPECT_EQ(Pixels(id), (Rows{"........", ".ccccc..", ".c...c..", ".c...c..", ".ccccc..", "........"}));
    const int16_t edge = Blank(5, 4);
    DrawRectOutline16(edge, Rect16{-2, 2, 9, 10}, 3);  // only the top edge lies inside
    EXPECT_EQ(Pixels(edge), (Rows{".....", ".....", "ccccc", "....."}));
}

// The whole source lands at (x, y), clipped to the destination on every side; a map changes
// every non-zero byte and leaves 0 as 0, which is copied too (nothing is transparent).
TEST_F(ScreenDrawing, BlitPictureAtClipsToTheDestination) {
    const int16_t source = Blank(3, 2);
    BYTE* bits = LockPictureData(source);
    const uint8_t art[2][3] = {{1, 0, 2}, {3, 4, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) bits[y * GetPictureAttr(source) + x] = art[y][x];
    UnlockPictureData(bits);

    uint8_t map[256];
    for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i + 4);
    const struct {
        const char* name;
        int16_t x, y;
        const uint8_t* map;
        Rows expected;
    } cases[] = {
        {"inside", 1, 1, nullptr, {"hhhhh", "ha.bh", "hcd.h", "hhhhh"}},
        {"mapped", 1, 1, map, {"hhhhh", "he.fh", "hgh.h", "hhhhh"}},
        {"over the left and top", -1, -1, nullptr, {"d.hhh", "hhhhh", "hhhhh", "hhhhh"}},
        {"over the right and bottom", 3, 3, nullptr, {"hhhhh", "hhhhh", "hhhhh", "hhha."}},
        {"wholly outside", 5, 0, nullptr, {"hhhhh", "hhhhh", "hhhhh", "hhhhh"}},
        {"far outside", -300, 900, nullptr, {"hhhhh", "hhhhh", "hhhhh", "hhhhh"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int16_t destination = Blank(5, 4, 8);
        BlitPictureAt(source, destination, c.x, c.y, c.map);
        EXPECT_EQ(Pixels(destination), c.expected);
        PurgeResource(destination);
    }
    const int16_t destination = Blank(5, 4, 8);
    BlitPictureAt(777, destination, 0, 0, nullptr);
    BlitPictureAt(source, 777, 0, 0, nullptr);
    EXPECT_EQ(Pixels(destination), (Rows{"hhhhh", "hhhhh", "hhhhh", "hhhhh"})) << "a missing picture copies nothing";
}

TEST_F(ScreenDrawing, PictureSizesAndAPictureDrawnIntoARectangle) {
    const int16_t source = Blank(4, 4, 6);
    EXPECT_EQ(GetPictureWidth(source), 4);
    EXPECT_EQ(GetPictureHeight(source), 4);
    EXPECT_EQ(GetPictureWidth(555), 0);
    EXPECT_EQ(GetPictureHeight(555), 0);
    const int16_t drawn = DrawPictureInRect(source, 8, 6);
    ASSERT_GT(drawn, 0);
    EXPECT_EQ(GetPictureWidth(drawn), 8);
    EXPECT_EQ(GetPictureHeight(drawn), 6);
    EXPECT_EQ(Pixels(drawn)[2], "ffffffff");
}

// The panel's rings, with light a, shadow b, middle c, outline d and fill e: an outline, a
// raised bevel, a middle ring, a sunken bevel and an inner outline around the fill.
TEST_F(ScreenDrawing, FramedPictureRingsPixelByPixel) {
    const PanelStyle style{1, 2, 3, 4, 5};
    Rect16 rect{30, 40, 39, 52};  // 9 wide: made 12
    const int16_t id = MakeFramedPicture(rect, &style);
    ASSERT_GT(id, 0);
    EXPECT_EQ(rect.right, 42);
    EXPECT_EQ(Pixels(id), (Rows{
                              "dddddddddddd",
                              "daaaaaaaaabd",
                              "daccccccccbd",
                              "dacbbbbbbcbd",
                              "dacbddddacbd",
                              "dacbdeedacbd",
                              "dacbdeedacbd",
                              "dacbddddacbd",
                              "dacbaaaaacbd",
                              "daccccccccbd",
                              "dbbbbbbbbbbd",
                              "dddddddddddd",
                          }));
}

TEST_F(ScreenDrawing, APanel101WideBecomes104) {
    Rect16 rect{10, 20, 111, 70};
    const int16_t id = MakeFramedPicture(rect, nullptr);
    ASSERT_GT(id, 0);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.right, 114) << "the right edge moved by 3";
    EXPECT_EQ(GetPictureWidth(id), 104);
    EXPECT_EQ(GetPictureHeight(id), 50);
    for (Rect16 empty : {Rect16{10, 20, 10, 70}, Rect16{10, 20, 30, 20}, Rect16{10, 20, 5, 70}}) {
        EXPECT_EQ(MakeFramedPicture(empty, nullptr), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Panels, the shade, the click limit and waits on a started engine.

// Module 1's palette: a test screen's colours from entry 10 (16 is black).
const std::vector<std::array<uint8_t, 3>> kScreenColours = {
    {135, 200, 250}, {90, 180, 80}, {250, 210, 50}, {220, 70, 60}, {250, 250, 245}, {60, 90, 200}, {0, 0, 0},
    {150, 100, 60},
};
constexpr uint8_t kSky = 10, kGrass = 11, kSun = 12, kRed = 13, kWhite = 14, kBlue = 15, kBlack = 16, kBrown = 17;

// A 640 × 480 test screen: sky and grass, a sun, two houses with roofs, windows and doors.
enginetest::Bytes TestScreen() {
    constexpr int w = 640, h = 480;
    std::vector<uint8_t> px(static_cast<size_t>(w * h), kSky);
    auto at = [&](int x, int y) -> uint8_t& { return px[static_cast<size_t>(y * w + x)]; };
    auto box = [&](int l, int t, int r, int b, uint8_t c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) at(x, y) = c;
    };
    box(0, 330, w, h, kGrass);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x - 540) * (x - 540) + (y - 80) * (y - 80) < 45 * 45) at(x, y) = kSun;
    const struct {
        int left;
        uint8_t wall, roof;
    } houses[] = {{60, kRed, kBrown}, {400, kWhite, kBlue}};
    for (const auto& house : houses) {
        box(house.left, 230, house.left + 160, 350, house.wall);
        for (int y = 150; y < 230; ++y) {
            const int half = (y - 150) * 100 / 80;
            box(house.left + 80 - half, y, house.left + 80 + half, y + 1, house.roof);
        }
        box(house.left + 20, 250, house.left + 60, 290, kSky);
        box(house.left + 100, 280, house.left + 135, 350, kBlack);
    }
    enginetest::Bytes b;
    plat::AppendLe32(b, w);
    plat::AppendLe32(b, h);
    plat::AppendLe32(b, w * h);
    b.insert(b.end(), px.begin(), px.end());
    return b;
}

class CPanelTitle : public CZelboTitle {
public:
    ~CPanelTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

class PanelTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PutSharedFile(root / "Prog");
        media::CResWriter module;
        std::vector<std::array<uint8_t, 3>> rgb(10, {0, 0, 0});
        rgb.insert(rgb.end(), kScreenColours.begin(), kScreenColours.end());
        module.Add("PAL", 1000, enginetest::Palette(rgb));
        enginetest::Bytes size;
        plat::AppendLe16(size, 640);
        plat::AppendLe16(size, 480);
        module.Add("PNT", 1001, size);
        module.Add("SPR", 1000, TestScreen());
        PutModuleFile(root / "Prog", 1, module);
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_running = 1;
        title.GoToModule(1, TRUE);
    }
    void TearDown() override {
        RemoveShade();
        LimitClicksToSprite(nullptr);
        EngineTest::TearDown();
    }
    size_t Sprites() const { return title.m_anims.GetCount(); }
    std::vector<LONG> Limit() const {
        return {title.m_clickLimit.left, title.m_clickLimit.top, title.m_clickLimit.right, title.m_clickLimit.bottom};
    }
    CPanelTitle title;
};

// The panel comes with the shade (8 sprites) and a click limit of its rectangle, with both hot
// keys off; closing it takes all of that away and puts the hot keys back as they were, also
// where the grown-ups had switched quitting off.
TEST_F(PanelTest, ClosePanelLiftsTheLimitAndRestoresTheHotKeysAsTheyWere) {
    for (const auto& [adult, quit] : {std::pair{1, 1}, std::pair{1, 0}, std::pair{0, 1}, std::pair{0, 0}}) {
        SCOPED_TRACE(std::to_string(adult) + std::to_string(quit));
        title.m_ctrlAltAEnabled = adult;
        title.m_ctrlQEnabled = quit;
        const size_t before = Sprites();
        Rect16 rect{100, 120, 201, 171};
        CCorAnim* panel = MakeFramedPanel(rect, nullptr);
        ASSERT_NE(panel, nullptr);
        const int16_t picture = GetSpriteFrame(panel);
        EXPECT_EQ(Sprites(), before + 9);
        EXPECT_EQ(GetSpriteX(panel), 100);
        EXPECT_EQ(GetSpriteY(panel), 120);
        EXPECT_EQ(Limit(), (std::vector<LONG>{100, 120, 204, 171}));
        EXPECT_EQ(title.m_ctrlAltAEnabled, 0);
        EXPECT_EQ(title.m_ctrlQEnabled, 0);

        const size_t beeps = head->Beeps().size();
        title.OnEngineLButtonDown(POINT{99, 130});
        title.OnEngineLButtonDown(POINT{204, 130});
        EXPECT_EQ(head->Beeps().size(), beeps + 2) << "clicks outside the panel only beep";
        title.OnEngineLButtonDown(POINT{203, 170});
        EXPECT_EQ(head->Beeps().size(), beeps + 2);

        ClosePanel(panel);
        EXPECT_EQ(Sprites(), before);
        EXPECT_FALSE(title.m_anims.Contains(panel));
        EXPECT_EQ(Limit(), (std::vector<LONG>{0, 0, 0, 0}));
        EXPECT_EQ(title.m_ctrlAltAEnabled, adult);
        EXPECT_EQ(title.m_ctrlQEnabled, quit);
        EXPECT_EQ(PreloadPicture(picture), 0) << "the panel's picture left the item cache";
    }
}

// The engine's rectangle gets the same panel, its right edge moved with the width.
TEST_F(PanelTest, APanelForTheEnginesRectangle) {
    CCorRect rect{40, 50, 141, 90};
    CCorAnim* panel = MakeFramedPanel(rect);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(rect, (CCorRect{40, 50, 144, 90}));
    EXPECT_EQ(Limit(), (std::vector<LONG>{40, 50, 144, 90}));
    EXPECT_EQ(GetPictureWidth(GetSpriteFrame(panel)), 104);
    ClosePanel(panel);
    EXPECT_EQ(Limit(), (std::vector<LONG>{0, 0, 0, 0}));
}

// Limits set one over another keep the keys from before the first; a lift with no limit set
// leaves them alone.
TEST_F(PanelTest, NestedLimitsAndALiftWithoutALimit) {
    title.m_ctrlAltAEnabled = 1;
    title.m_ctrlQEnabled = 0;
    LimitClicksToSprite(nullptr);
    EXPECT_EQ(title.m_ctrlAltAEnabled, 1);
    EXPECT_EQ(title.m_ctrlQEnabled, 0) << "quitting stays off";

    CCorAnim* a = CreateSprite(10, 10, 1);
    CCorAnim* b = CreateSprite(50, 60, 1);
    LimitClicksToSprite(a);
    EXPECT_EQ(Limit(), (std::vector<LONG>{10, 10, 14, 12}));
    LimitClicksToSprite(b);
    EXPECT_EQ(Limit(), (std::vector<LONG>{50, 60, 54, 62}));
    LimitClicksToSprite(nullptr);
    EXPECT_EQ(Limit(), (std::vector<LONG>{0, 0, 0, 0}));
    EXPECT_EQ(title.m_ctrlAltAEnabled, 1);
    EXPECT_EQ(title.m_ctrlQEnabled, 0);

    DisposeSprite(a);
    LimitClicksToSprite(a);
    EXPECT_EQ(Limit(), (std::vector<LONG>{0, 0, 0, 0})) << "a disposed sprite sets no limit";
    EXPECT_EQ(title.m_ctrlAltAEnabled, 1);
    ClosePanel(nullptr);
    EXPECT_EQ(title.m_ctrlAltAEnabled, 1);
    EXPECT_EQ(title.m_ctrlQEnabled, 0);
    DisposeSprite(b);
}

// DiscardSprite takes a sprite away with what names it: the panel's click limit is lifted with
// the hot keys as they were, a shade sprite is forgotten by the shade (the others keep the
// picture they share and go with the shade), a sprite no entry names leaves the limit alone, and
// a handle that names no sprite changes nothing.
TEST_F(PanelTest, DiscardSpriteTakesWhatNamesItWithIt) {
    title.m_ctrlAltAEnabled = 1;
    title.m_ctrlQEnabled = 0;
    const size_t before = Sprites();
    Rect16 rect{100, 120, 201, 171};
    CCorAnim* panel = MakeFramedPanel(rect, nullptr);
    ASSERT_NE(panel, nullptr);
    const int16_t panelPicture = GetSpriteFrame(panel);
    CCorAnim* other = CreateSprite(10, 10, 1);
    const std::vector<CCorAnim*> all = title.m_anims.Objects();
    const std::vector<CCorAnim*> shade(all.end() - 10, all.end() - 2);
    const int16_t shadePicture = GetSpriteFrame(shade[0]);
    ASSERT_EQ(Sprites(), before + 10);

    DiscardSprite(other);
    EXPECT_FALSE(title.m_anims.Contains(other));
    EXPECT_EQ(Limit(), (std::vector<LONG>{100, 120, 204, 171})) << "the limit is the panel's";
    EXPECT_EQ(title.m_ctrlAltAEnabled, 0);

    DiscardSprite(shade[3]);
    EXPECT_EQ(Sprites(), before + 8);
    RedrawArea(0);
    const plat::Display& d = plat::TheDisplay();
    EXPECT_EQ(d.Pixel(0, 240), d.Pixel(0, 0)) << "the other strips still show the purged picture";
    EXPECT_NE(d.Pixel(0, 240), d.Pixel(1, 0));
    EXPECT_EQ(d.Pixel(0, 180), d.Pixel(1, 0)) << "the discarded strip shows the sky";

    DiscardSprite(panel);
    EXPECT_FALSE(title.m_anims.Contains(panel));
    EXPECT_EQ(Limit(), (std::vector<LONG>{0, 0, 0, 0}));
    EXPECT_EQ(title.m_ctrlAltAEnabled, 1);
    EXPECT_EQ(title.m_ctrlQEnabled, 0) << "quitting stays off";
    EXPECT_EQ(PreloadPicture(panelPicture), 0) << "the panel's picture left the item cache";

    DiscardSprite(panel);
    DiscardSprite(nullptr);
    EXPECT_EQ(Sprites(), before + 7);
    RemoveShade();
    EXPECT_EQ(Sprites(), before) << "the shade takes its seven other sprites";
    EXPECT_EQ(PreloadPicture(shadePicture), 0);
}

// Every other pixel in the colour, rows alternating, over the whole screen; the screen shows
// through the rest. Taken down, the sprites and the picture go.
TEST_F(PanelTest, TheShadeIsACheckerboardOverTheWholeScreen) {
    const size_t before = Sprites();
    ShadeScreen(kBlack);
    ASSERT_EQ(Sprites(), before + 8);
    const std::vector<CCorAnim*> all = title.m_anims.Objects();
    const std::vector<CCorAnim*> shade(all.end() - 8, all.end());
    const int16_t picture = GetSpriteFrame(shade[0]);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(GetSpriteX(shade[static_cast<size_t>(i)]), 0);
        EXPECT_EQ(GetSpriteY(shade[static_cast<size_t>(i)]), i * 60);
        EXPECT_EQ(GetSpriteFrame(shade[static_cast<size_t>(i)]), picture);
    }
    EXPECT_EQ(GetPictureWidth(picture), 640);
    EXPECT_EQ(GetPictureHeight(picture), 60);
    BYTE* bits = LockPictureData(picture);
    ASSERT_NE(bits, nullptr);
    const uint16_t stride = GetPictureAttr(picture);
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 640; ++x) wrong += bits[y * stride + x] != ((x + y) % 2 == 0 ? kBlack : 0);
    UnlockPictureData(bits);
    EXPECT_EQ(wrong, 0);

    RedrawArea(0);
    const plat::Display& d = plat::TheDisplay();
    EXPECT_EQ(d.Pixel(0, 0), d.Pixel(101, 401)) << "shaded pixels";
    EXPECT_EQ(d.Pixel(1, 0), d.Pixel(100, 1)) << "the sky between them";
    EXPECT_NE(d.Pixel(100, 401), d.Pixel(100, 1)) << "the grass between them";
    EXPECT_NE(d.Pixel(0, 0), d.Pixel(1, 0));

    RemoveShade();
    EXPECT_EQ(Sprites(), before);
    EXPECT_EQ(PreloadPicture(picture), 0);
    RemoveShade();
    EXPECT_EQ(Sprites(), before);
}

// A second shade replaces the first instead of leaving its sprites behind.
TEST_F(PanelTest, ASecondShadeReplacesTheFirst) {
    const size_t before = Sprites();
    ShadeScreen(kBlack);
    ShadeScreen(kBlue);
    EXPECT_EQ(Sprites(), before + 8);
    RemoveShade();
    EXPECT_EQ(Sprites(), before);
}

// A shade whose sprites went with a module switch: taking it down later touches none of the
// sprites made since, nor a new picture under the shade's old id.
TEST_F(PanelTest, RemovingAShadeAfterAModuleSwitchLeavesNewThingsAlone) {
    ShadeScreen(kBlack);
    const int16_t shadePicture = GetSpriteFrame(title.m_anims.Objects().back());
    title.UnloadModule(FALSE);
    DisposeAllSprites();
    PurgeResource(shadePicture);
    title.GoToModule(1, TRUE);
    const int16_t picture = NewBlankPicture(8, 8);
    ASSERT_EQ(picture, shadePicture) << "the id is free again";
    std::vector<CCorAnim*> made;
    for (int i = 0; i < 20; ++i) made.push_back(CreateSprite(static_cast<int16_t>(i), 0, picture));
    const size_t before = Sprites();
    RemoveShade();
    EXPECT_EQ(Sprites(), before);
    for (CCorAnim* s : made) EXPECT_TRUE(title.m_anims.Contains(s));
    EXPECT_EQ(GetPictureWidth(picture), 8) << "the new picture stays";
    for (CCorAnim* s : made) DisposeSprite(s);
}

TEST_F(PanelTest, WaitForSpriteEndsWhenTheScriptStopsRunningOrOnARelease) {
    EXPECT_EQ(WaitForSprite(nullptr, 0), 1);

    CCorAnim* s = CreateSprite(10, 10, 1);
    QueueSpriteWait(s, 20);
    const uint32_t start = GetEngineTicks();
    EXPECT_EQ(WaitForSprite(s, 1), 0);
    EXPECT_GE(GetEngineTicks() - start, 20u);
    EXPECT_NE(GetSpriteStatus(s), 0);

    QueueSpriteRestart(s);
    EXPECT_EQ(WaitForSprite(s, 0), 0) << "an endless script is not waited for";
    StopSprite(s);

    QueueSpriteWait(s, 20);
    mainWnd.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(WaitForSprite(s, 1), 1);
    EXPECT_EQ(GetSpriteStatus(s), 0) << "still running";
    MSG msg;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) << "the release stays queued";
    EXPECT_EQ(WaitForSprite(s, 0), 0) << "not interruptible: to the end";
    DisposeSprite(s);
    EXPECT_EQ(WaitForSprite(s, 0), 0) << "a disposed sprite is finished";
}

// A framed panel in the default style centred over the shaded test screen
// (tests/golden/framed_panel.png; ZELBO_UPDATE_GOLDEN=1 writes it: look at it before keeping it).
TEST_F(PanelTest, GoldenFramedPanelOverAShadedScreen) {
    Rect16 rect{0, 0, 301, 181};
    CenterRectOnScreen(rect);
    CCorAnim* panel = MakeFramedPanel(rect, nullptr);
    ASSERT_NE(panel, nullptr);
    RedrawArea(0);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "framed_panel.png");
    ClosePanel(panel);
}

}  // namespace
