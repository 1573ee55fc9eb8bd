// Pictures of a module source written as BMP files (mkres --bmp), read back by the platform's
// own BMP reader.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "media/res/res_writer.h"
#include "platform/core/byte_order.h"
#include "platform/dialogs/resources.h"
#include "tools/mkres/bmp_out.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/source.h"

namespace {

struct Module {
    bool ok = false;
    mkres::Diagnostics diag;
    media::CResWriter writer;
};

void BuildInto(Module& m, const std::string& text) {
    const mkres::ModuleSource source =
        mkres::ParseModuleSource(text, "test.mkres", std::filesystem::temp_directory_path(), m.diag);
    std::set<std::filesystem::path> inputs = source.inputs;
    m.ok = mkres::BuildModule(source, m.diag, m.writer, inputs);
}

// A picture of odd width (its rows padded), in colours of its own palette; a second palette
// of a higher id is not the one used.
constexpr char kSource[] = R"(
PAL 3
  0x00FF00
end
PAL 1
  0x000000 0x112233 0xA0B0C0 0xFFFFFF
end
SPR 7
  size 5 3
  fill 1
  rect 0 0 2 1 2        # top left: two pixels of colour 2
  rect 4 2 5 3 3        # bottom right: colour 3
end
)";

TEST(MkresBmp, PictureOverTheSourcePaletteReadsBack) {
    Module m;
    BuildInto(m, kSource);
    ASSERT_TRUE(m.ok);
    std::string error;
    const auto bmp = mkres::ModulePictureAsBmp(m.writer, 7, &error);
    ASSERT_TRUE(bmp) << error;

    plat::Picture picture;
    ASSERT_TRUE(plat::ParseBmp(*bmp, picture, &error)) << error;
    EXPECT_EQ(picture.width, 5);
    EXPECT_EQ(picture.height, 3);
    const std::vector<uint8_t> expected = {2, 2, 1, 1, 1,  //
                                           1, 1, 1, 1, 1,  //
                                           1, 1, 1, 1, 3};
    EXPECT_EQ(picture.pixels, expected);
    ASSERT_EQ(picture.colours.size(), 256u);
    EXPECT_EQ(picture.colours[1].rgbRed, 0x11);
    EXPECT_EQ(picture.colours[1].rgbGreen, 0x22);
    EXPECT_EQ(picture.colours[1].rgbBlue, 0x33);
    EXPECT_EQ(picture.colours[2].rgbRed, 0xA0);
    EXPECT_EQ(picture.colours[2].rgbBlue, 0xC0);
    EXPECT_EQ(picture.colours[4].rgbGreen, 0) << "beyond the palette's count";

    // An 8-bit file with all 256 colours, bottom row first, each row padded to 4 bytes.
    EXPECT_EQ(plat::GetLe16(*bmp, 28), 8);
    EXPECT_EQ(plat::GetLe32(*bmp, 10), 14u + 40u + 1024u);
    EXPECT_EQ(bmp->size(), 14u + 40u + 1024u + 3u * 8u);
    EXPECT_EQ(plat::GetLe32(*bmp, 2), bmp->size());
    EXPECT_EQ((*bmp)[14 + 40 + 1024 + 4], 3) << "the first row stored is the bottom one";
}

TEST(MkresBmp, MissingOrMalformedItemsAreRefused) {
    Module m;
    BuildInto(m, "SPR 7\n  size 2 2\nend\n");
    ASSERT_TRUE(m.ok);
    std::string error;
    EXPECT_FALSE(mkres::ModulePictureAsBmp(m.writer, 7, &error)) << "no palette";
    EXPECT_NE(error.find("PAL"), std::string::npos) << error;

    Module n;
    BuildInto(n, kSource);
    ASSERT_TRUE(n.ok);
    EXPECT_FALSE(mkres::ModulePictureAsBmp(n.writer, 8, &error)) << "no such picture";
    EXPECT_NE(error.find("8"), std::string::npos) << error;

    const auto u32 = [](uint32_t v) {
        return std::vector<uint8_t>{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                    static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    };
    const auto picture = [&](uint32_t w, uint32_t h, uint32_t bytes, size_t rows) {
        std::vector<uint8_t> p;
        for (uint32_t v : {w, h, bytes})
            for (uint8_t b : u32(v)) p.push_back(b);
        p.resize(p.size() + rows, 1);
        return p;
    };
    const std::vector<uint8_t> palette = {2, 0, 1, 2, 3, 4, 5, 6};
    struct Case {
        const char* name;
        std::vector<uint8_t> picture;
        std::vector<uint8_t> palette;
    };
    const std::vector<Case> cases = {
        {"short header", {1, 0, 0}, palette},
        {"no width", picture(0, 2, 0, 0), palette},
        {"too wide", picture(4096, 1, 4096, 4096), palette},
        {"rows beyond the item", picture(4, 2, 8, 7), palette},
        {"byte count not rows", picture(5, 2, 10, 10), palette},
        {"palette without count", picture(4, 1, 4, 4), {1}},
        {"palette colours beyond the item", picture(4, 1, 4, 4), {3, 0, 1, 2, 3, 4, 5, 6}},
        {"more than 256 colours", picture(4, 1, 4, 4), std::vector<uint8_t>(2 + 257 * 3, 0x01)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(mkres::PictureAsBmp(c.picture, c.palette, &why));
        EXPECT_FALSE(why.empty());
    }
    EXPECT_TRUE(mkres::PictureAsBmp(picture(4, 2, 8, 8), palette, &error)) << error;
}

}  // namespace
