// The palette wrappers on a started engine drawing through WinG: entries read and set, the
// surfaces' own colour tables and the palette item's copy following a change, the screen marked
// for redrawing, triplets for the picture writers, the darkest entry, and neutral answers
// before there is a palette.
#include "engine/toolbox/palette_wrappers.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/gdi/wing.h"

namespace {

class CPaletteTitle : public CZelboTitle {
public:
    ~CPaletteTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

class PaletteWrappersTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InitDibSystem(nullptr, FALSE, 0);
        ASSERT_TRUE(TheDibSystem().winGInUse);
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        title.Startup(programFolder);
        ASSERT_NE(title.m_screenPalette, nullptr);
        ASSERT_TRUE(title.m_frameSurface && title.m_frameSurface->IsValid());
        ASSERT_TRUE(title.m_backgroundSurface && title.m_backgroundSurface->IsValid());
    }
    void TearDown() override {
        EngineTest::TearDown();
        ShutdownDibSystem();
    }
    // Entry i of a surface's WinG colour table.
    static RGBQUAD TableEntry(CDibG& surface, int i) {
        RGBQUAD got{1, 2, 3, 4};
        EXPECT_TRUE(surface.SelectIntoWinGDC());
        EXPECT_EQ(plat::wing::WinGGetDIBColorTable(TheDibSystem().winGDC, static_cast<UINT>(i), 1, &got), 1u);
        return got;
    }
    // Every entry the same colour but those given.
    static void SetAll(PALETTEENTRY colour, std::vector<std::pair<int, PALETTEENTRY>> others = {}) {
        PALETTEENTRY table[256];
        for (PALETTEENTRY& e : table) e = colour;
        for (const auto& [i, e] : others) table[i] = e;
        ASSERT_EQ(SetGamePaletteEntries(0, 256, table), 256u);
    }
    CPaletteTitle title;
};

TEST_F(PaletteWrappersTest, SetEntriesReachTheSurfacesColourTables) {
    PALETTEENTRY table[256] = {};
    table[100] = PALETTEENTRY{240, 120, 60, 0};
    table[101] = PALETTEENTRY{10, 20, 30, 0};
    table[102] = PALETTEENTRY{99, 99, 99, 0};  // beyond the number given
    title.m_dirtyRects->RemoveAll();
    EXPECT_EQ(SetGamePaletteEntries(100, 2, table), 2u);

    PALETTEENTRY got[256] = {};
    EXPECT_EQ(GetGamePaletteEntries(100, 3, got), 3u);
    EXPECT_EQ(got[100].peRed, 240);
    EXPECT_EQ(got[100].peGreen, 120);
    EXPECT_EQ(got[101].peBlue, 30);
    EXPECT_NE(got[102].peRed, 99);
    EXPECT_EQ(got[0].peRed, 0) << "nothing written below start";
    EXPECT_EQ(title.m_screenPalette->Entries()[100].peRed, 240) << "the item's copy follows";
    for (CDibG* surface : {title.m_frameSurface.get(), title.m_backgroundSurface.get()}) {
        const RGBQUAD a = TableEntry(*surface, 100), b = TableEntry(*surface, 101);
        EXPECT_EQ((std::vector<int>{a.rgbRed, a.rgbGreen, a.rgbBlue}), (std::vector<int>{240, 120, 60}));
        EXPECT_EQ((std::vector<int>{b.rgbRed, b.rgbGreen, b.rgbBlue}), (std::vector<int>{10, 20, 30}));
    }
    EXPECT_TRUE(title.m_dirtyRects->Intersects(RECT{0, 0, 1, 1}));
    EXPECT_TRUE(title.m_dirtyRects->Intersects(RECT{639, 479, 640, 480})) << "the whole screen to redraw";
}

TEST_F(PaletteWrappersTest, RangesAreCutToThe256Entries) {
    PALETTEENTRY table[256] = {};
    const struct {
        int32_t start, number;
        uint32_t result;
    } cases[] = {{250, 10, 6}, {255, 1, 1}, {256, 1, 0}, {-4, 6, 2}, {0, 0, 0}, {10, -3, 0}, {0, 300, 256}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetGamePaletteEntries(c.start, c.number, table), c.result) << c.start << " " << c.number;
        EXPECT_EQ(SetGamePaletteEntries(c.start, c.number, table), c.result) << c.start << " " << c.number;
    }
    EXPECT_EQ(GetGamePaletteEntries(0, 1, nullptr), 0u);
    EXPECT_EQ(SetGamePaletteEntries(0, 1, nullptr), 0u);
}

TEST_F(PaletteWrappersTest, DarkestEntryTable) {
    const PALETTEENTRY white{255, 255, 255, 0}, black{0, 0, 0, 0};
    const struct {
        const char* name;
        std::vector<std::pair<int, PALETTEENTRY>> set;
        int16_t expected;
    } cases[] = {
        {"entry 0 black, the rest white", {{0, black}}, 25},
        {"one darker entry", {{0, black}, {200, PALETTEENTRY{254, 255, 255, 0}}}, 200},
        {"the first of equals", {{40, PALETTEENTRY{1, 2, 3, 0}}, {30, PALETTEENTRY{3, 2, 1, 0}}}, 30},
        {"by the sum", {{12, PALETTEENTRY{90, 0, 0, 0}}, {13, PALETTEENTRY{30, 30, 20, 0}}}, 13},
        {"entry 255", {{255, black}}, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetAll(white, c.set);
        EXPECT_EQ(FindDarkestPaletteEntry(), c.expected);
    }
}

TEST_F(PaletteWrappersTest, TripletsOfTheWholePalette) {
    std::vector<std::pair<int, PALETTEENTRY>> set;
    for (int i = 0; i < 256; ++i)
        set.push_back({i, PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i ^ 0x55), 0}});
    SetAll(PALETTEENTRY{}, set);
    std::vector<uint8_t> buffer(768, 7);
    int32_t count = 0;
    EXPECT_EQ(PaletteToRgbTriplets(buffer.data(), &count), buffer.data());
    EXPECT_EQ(count, 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(buffer[3 * i], i);
        EXPECT_EQ(buffer[3 * i + 1], 255 - i);
        EXPECT_EQ(buffer[3 * i + 2], i ^ 0x55);
    }
    count = 0;
    EXPECT_EQ(PaletteToRgbTriplets(nullptr, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PaletteToRgbTriplets(buffer.data(), nullptr), buffer.data());
}

TEST(PaletteWrappersWithoutPalette, NeutralAnswers) {
    ASSERT_TRUE(!theEngine || !theEngine->m_screenPalette) << "no engine started";
    PALETTEENTRY table[256] = {};
    table[3].peRed = 9;
    EXPECT_EQ(GetGamePaletteEntries(0, 256, table), 0u);
    EXPECT_EQ(table[3].peRed, 9);
    EXPECT_EQ(SetGamePaletteEntries(0, 256, table), 0u);
    EXPECT_EQ(FindDarkestPaletteEntry(), 25);
    std::vector<uint8_t> buffer(768, 7);
    EXPECT_EQ(PaletteToRgbTriplets(buffer.data(), nullptr), buffer.data());
    EXPECT_EQ(buffer, std::vector<uint8_t>(768, 0)) << "no palette: black";
}

}  // namespace
