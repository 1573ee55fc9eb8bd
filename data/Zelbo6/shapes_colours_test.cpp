// The shapes activity's colours: its palette is the shared plan with 215-230 given to the
// pieces' solid fills, no other picture of the module draws in those entries, and the pattern
// pictures 80-95 fill a piece without holes, the marked ones darker.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "data/res_item_test_support.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::Le16;
using datatest::Le32;
using datatest::ReadItem;

constexpr int kFirstFill = 215, kLastFill = 230;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
    int Luma() const { return 299 * r + 587 * g + 114 * b; }
};

// A 'PAL' item as 256 colours (stored blue, green, red); empty when it is not whole.
std::vector<Rgb> Palette(const Bytes& item) {
    if (item.size() < 2 || Le16(item, 0) != 256 || item.size() != 2 + 3 * 256u) return {};
    std::vector<Rgb> out;
    for (size_t i = 0; i < 256; ++i) out.push_back(Rgb{item[2 + 3 * i + 2], item[2 + 3 * i + 1], item[2 + 3 * i]});
    return out;
}

struct Picture {
    int width = 0, height = 0, stride = 0;
    Bytes pixels;  // the item's rows, padded
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * stride + static_cast<size_t>(x)]; }
};

// An 'SPR' item: u32 width, height, pixel bytes, then the rows padded to 4 bytes.
std::optional<Picture> ReadPicture(const Bytes& item) {
    if (item.size() < 12) return std::nullopt;
    Picture p;
    p.width = static_cast<int>(Le32(item, 0));
    p.height = static_cast<int>(Le32(item, 4));
    p.stride = (p.width + 3) / 4 * 4;
    if (p.width <= 0 || p.height <= 0 || Le32(item, 8) != static_cast<uint32_t>(p.stride * p.height) ||
        item.size() != 12 + static_cast<size_t>(p.stride) * p.height)
        return std::nullopt;
    p.pixels.assign(item.begin() + 12, item.end());
    return p;
}

class Zelbo6Colours : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(shared.Open(Path("Zelbo0.res").c_str()), 1);
        ASSERT_EQ(mgr.Open(Path("Zelbo6.res").c_str()), 1);
    }
    static std::string Path(const char* name) { return plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/" + name); }
    CResMgr shared, mgr;
};

TEST_F(Zelbo6Colours, PaletteIsTheSharedPlanWithTheFillsIn215To230) {
    const auto game = Palette(ReadItem(shared, kResPAL, 0));
    const auto own = Palette(ReadItem(mgr, kResPAL, 6000));
    ASSERT_EQ(game.size(), 256u);
    ASSERT_EQ(own.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        if (i < kFirstFill || i > kLastFill) {
            EXPECT_EQ(own[static_cast<size_t>(i)], game[static_cast<size_t>(i)]) << "entry " << i;
        }
    }
    // The sixteen fills are sixteen colours, each calm colour's marked form darker than it.
    for (int i = kFirstFill; i <= kLastFill; ++i)
        for (int j = i + 1; j <= kLastFill; ++j) EXPECT_NE(own[static_cast<size_t>(i)], own[static_cast<size_t>(j)]) << i << " " << j;
    for (int k = 0; k < 8; ++k)
        EXPECT_LT(own[static_cast<size_t>(kFirstFill + 8 + k)].Luma(), own[static_cast<size_t>(kFirstFill + k)].Luma()) << "fill " << k;
}

TEST_F(Zelbo6Colours, NoPictureDrawsInTheFills) {
    int pictures = 0;
    for (ResDirEntry& e : mgr.Entries()) {
        if (e.type != kResSPR) continue;
        const auto p = ReadPicture(ReadItem(mgr, e.type, e.id));
        ASSERT_TRUE(p.has_value()) << "SPR " << e.id;
        ++pictures;
        for (int y = 0; y < p->height; ++y)
            for (int x = 0; x < p->width; ++x) {
                const int v = p->At(x, y);
                ASSERT_FALSE(v >= kFirstFill && v <= kLastFill) << "SPR " << e.id << " draws " << v << " at " << x << "," << y;
            }
    }
    EXPECT_GT(pictures, 16);
}

// Fill f (16 to 31) shows picture f + 64: each is 128 x 128 without a transparent pixel; the
// marked form (88 + k) is the same drawing with each colour of the plain one (80 + k) darker.
TEST_F(Zelbo6Colours, PatternsFillWithoutHolesAndMarkedOnesAreDarker) {
    const auto palette = Palette(ReadItem(mgr, kResPAL, 6000));
    ASSERT_EQ(palette.size(), 256u);
    for (int k = 0; k < 8; ++k) {
        const auto plain = ReadPicture(ReadItem(mgr, kResSPR, static_cast<uint32_t>(6080 + k)));
        const auto marked = ReadPicture(ReadItem(mgr, kResSPR, static_cast<uint32_t>(6088 + k)));
        ASSERT_TRUE(plain && marked) << "pattern " << k;
        for (const Picture* p : {&*plain, &*marked}) {
            EXPECT_EQ(p->width, 128);
            EXPECT_EQ(p->height, 128);
        }
        std::map<uint8_t, uint8_t> darker;  // plain index -> marked index
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const uint8_t a = plain->At(x, y), b = marked->At(x, y);
                ASSERT_NE(a, 0) << "pattern " << k << " at " << x << "," << y;
                ASSERT_NE(b, 0) << "marked pattern " << k << " at " << x << "," << y;
                const auto [it, fresh] = darker.emplace(a, b);
                ASSERT_EQ(it->second, b) << "pattern " << k << ": colour " << int{a} << " marked two ways";
            }
        EXPECT_GE(darker.size(), 2u) << "pattern " << k << " is one colour";
        for (const auto& [a, b] : darker) EXPECT_LT(palette[b].Luma(), palette[a].Luma()) << "pattern " << k << " colour " << int{a};
    }
}

}  // namespace
