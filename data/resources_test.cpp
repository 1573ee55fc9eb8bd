// The module resource files the build made: each opens in the game's reader and holds the
// module's palette, with the static colours where Windows has them, and the size record of
// a full-screen background.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/text/bitmap_font.h"
#include "media/text/text_test_support.h"
#include "platform/fs/dospath.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadItem(CResMgr& mgr, uint32_t type, uint32_t id) {
    ResDirEntry* e = mgr.FindEntry(type, id);
    if (!e) return {};
    Bytes out(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(out.data(), e, e->size)) return {};
    return out;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

TEST(GeneratedResources, EveryModuleHasItsPaletteAndBackgroundSize) {
    const std::pair<int, Rgb> statics[] = {
        {0, {0, 0, 0}},         {1, {128, 0, 0}},       {2, {0, 128, 0}},       {3, {128, 128, 0}},
        {4, {0, 0, 128}},       {5, {128, 0, 128}},     {6, {0, 128, 128}},     {7, {192, 192, 192}},
        {8, {192, 220, 192}},   {9, {166, 202, 240}},   {246, {255, 251, 240}}, {247, {160, 160, 164}},
        {248, {128, 128, 128}}, {249, {255, 0, 0}},     {250, {0, 255, 0}},     {251, {255, 255, 0}},
        {252, {0, 0, 255}},     {253, {255, 0, 255}},   {254, {0, 255, 255}},   {255, {255, 255, 255}},
    };
    for (int module = 0; module <= 6; ++module) {
        SCOPED_TRACE("Zelbo" + std::to_string(module) + ".res");
        const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(module) + ".res");
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(path.c_str()), 1);

        // 'PAL': u16 count, then blue, green, red per colour.
        const Bytes pal = ReadItem(mgr, kResPAL, module * 1000);
        ASSERT_EQ(pal.size(), 2u + 256 * 3);
        ASSERT_EQ(pal[0] | pal[1] << 8, 256);
        auto colour = [&](int i) { return Rgb{pal[2 + 3 * i + 2], pal[2 + 3 * i + 1], pal[2 + 3 * i]}; };
        for (const auto& [index, rgb] : statics) EXPECT_EQ(colour(index), rgb) << "entry " << index;
        std::set<int> picture;
        for (int i = 10; i <= 245; ++i) picture.insert(colour(i).r << 16 | colour(i).g << 8 | colour(i).b);
        EXPECT_EQ(picture.size(), 236u) << "the picture colours are all different";

        const Bytes size = ReadItem(mgr, kResPNT, module * 1000 + 1);
        ASSERT_EQ(size.size(), 4u);
        EXPECT_EQ(size[0] | size[1] << 8, 640);
        EXPECT_EQ(size[2] | size[3] << 8, 480);

        // The record files' message lists of the activities: every string numbered.
        for (const auto& [list, count] : {std::pair{982, 19}, std::pair{983, 21}, std::pair{988, 1}}) {
            const Bytes ist = ReadItem(mgr, kResIST, module * 1000 + list);
            if (module < 2) {
                EXPECT_TRUE(ist.empty()) << "list " << list;
                continue;
            }
            ASSERT_GE(ist.size(), 2u) << "list " << list;
            EXPECT_EQ(ist[0] | ist[1] << 8, count);
            EXPECT_EQ(std::count(ist.begin() + 2, ist.end(), 0), count) << "list " << list;
            EXPECT_EQ(ist.back(), 0);
        }

        // Every module but the shared one speaks its introduction (id 990); a plain clip
        // starts with two silent samples and holds a second or more of speech (or its tone).
        const Bytes intro = ReadItem(mgr, kResSND, module * 1000 + 990);
        if (module == 0) {
            EXPECT_TRUE(intro.empty());
        } else {
            ASSERT_GE(intro.size(), 2u);
            EXPECT_EQ(intro[0], 0x80);
            EXPECT_EQ(intro[1], 0x80);
        }
    }
}

// The bitmap fonts of the game, scanned from the built strips as the game scans them: every
// character of the list gets a glyph, Swedish letters included, and descenders reach below
// the others.
TEST(GeneratedResources, FontStripsScanIntoWholeFonts) {
    const struct {
        int module;
        int16_t id;
    } strips[] = {{1, 51}, {1, 52}, {6, 54}};
    for (const auto& s : strips) {
        CResMgr mgr;
        const std::string path = std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(s.module) + ".res";
        ASSERT_TRUE(mgr.Open(plat::HostToDosPath(path).c_str())) << path;
        const uint32_t id = static_cast<uint32_t>(s.module * 1000 + s.id);
        texttest::FakeTextHost host;
        ASSERT_TRUE(host.AddSpr(s.id, ReadItem(mgr, kResSPR, id))) << id;
        host.AddList(s.id, ReadItem(mgr, kResIST, id));
        CBitmapFont font(s.id, 0, 1);

        const std::string chars = font.Characters().CStr();
        ASSERT_GT(chars.size(), 95u) << id;
        for (char ch : std::string(" AZaz09!?\xC5\xC4\xD6\xE5\xE4\xF6\xC9\xE9")) {
            EXPECT_NE(chars.find(ch), std::string::npos) << id << " lacks " << int{static_cast<BYTE>(ch)};
        }
        for (char ch : chars) {
            const auto c = static_cast<BYTE>(ch);
            EXPECT_TRUE(font.Defined(c)) << id << " " << int{c};
            EXPECT_GT(font.GlyphWidth(c), 0) << id << " " << int{c};
        }
        // Letters on the baseline reach below it only by an outline ring; descenders go further.
        EXPECT_LE(font.GlyphDescent('a'), 1) << id;
        EXPECT_EQ(font.GlyphDescent('\xC5'), font.GlyphDescent('a')) << id;
        EXPECT_GT(font.GlyphDescent('g'), font.GlyphDescent('a') + 1) << id;
        EXPECT_LE(font.GlyphDescent('g'), font.GreatestDescent()) << id;
        EXPECT_EQ(font.LineHeight(), font.Baseline() + font.GreatestDescent() + 2) << id;
    }
}

}  // namespace
