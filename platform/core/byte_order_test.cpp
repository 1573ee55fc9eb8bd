#include "platform/core/byte_order.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// A read or write at each offset of a six-byte block: the last ones that fit, and the first
// ones that do not (including offsets whose sum with the length wraps).
TEST(ByteOrder, ReadsAndWritesOnlyWhatFits) {
    const std::array<uint8_t, 6> bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x86};
    const struct {
        size_t at;
        uint16_t le16;
        uint32_t le32;
    } cases[] = {
        {0, 0x0201, 0x04030201},    {2, 0x0403, 0x86050403},  {3, 0x0504, 0},
        {4, 0x8605, 0},             {5, 0, 0},                {6, 0, 0},
        {SIZE_MAX - 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        EXPECT_EQ(plat::GetLe16(bytes, c.at), c.le16);
        EXPECT_EQ(plat::GetLe32(bytes, c.at), c.le32);

        std::array<uint8_t, 6> out{};
        const auto fits = [&](size_t length) { return c.at < out.size() && out.size() - c.at >= length; };
        EXPECT_EQ(plat::SetLe16(out, c.at, 0xBEEF), fits(2));
        EXPECT_EQ(plat::SetLe32(out, c.at, 0xCAFEF00D), fits(4));
        if (fits(4)) {
            EXPECT_EQ(plat::GetLe32(out, c.at), 0xCAFEF00Du);
        } else if (fits(2)) {
            EXPECT_EQ(plat::GetLe16(out, c.at), 0xBEEF);
        } else {
            EXPECT_EQ(out, (std::array<uint8_t, 6>{}));
        }
    }
    EXPECT_EQ(plat::GetLeI16(bytes, 4), static_cast<int16_t>(0x8605));

    // 64-bit reads: the high half really lands high, and the last byte counts.
    const std::array<uint8_t, 9> wide{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88, 0x99};
    EXPECT_EQ(plat::GetLe64(wide, 0), 0x8807060504030201u);
    EXPECT_EQ(plat::GetLe64(wide, 1), 0x9988070605040302u);
    EXPECT_EQ(plat::GetLe64(wide, 2), 0u);
    EXPECT_EQ(plat::GetLe64(wide, SIZE_MAX - 3), 0u);
    EXPECT_EQ(plat::GetLeI32(bytes, 2), static_cast<int32_t>(0x86050403u));
}

TEST(ByteOrder, AppendsLowByteFirst) {
    std::vector<uint8_t> out;
    plat::AppendLe16(out, 0x1234);
    plat::AppendLe32(out, 0xA1B2C3D4);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(plat::ByteSwap16(0x1234), 0x3412);
    EXPECT_EQ(plat::ByteSwap32(0xA1B2C3D4), 0xD4C3B2A1u);
}

TEST(ByteOrder, ReaderRemembersAReadPastTheEnd) {
    const std::array<uint8_t, 5> bytes{0x10, 0x20, 0x30, 0x40, 0x50};
    plat::LeReader r(bytes);
    EXPECT_EQ(r.U32(1), 0x50403020u);
    EXPECT_EQ(r.U8(4), 0x50);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.U16(4), 0);
    EXPECT_FALSE(r.ok());
    // A later read that fits does not clear the failure.
    EXPECT_EQ(r.U16(0), 0x2010);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(plat::LeReader(bytes).Has(uint64_t{1} << 63, 2));
}

TEST(ByteOrder, TypeCodesPutTheFirstLetterHighest) {
    static_assert(plat::PackTypeCode("SPR") == 0x00535052u);
    static_assert(plat::PackTypeCode("HT#") == 0x00485423u);
    static_assert(plat::PackTypeCode("slot") == 0x736C6F74u);
    static_assert(plat::PackTypeCode("") == 0u);
    EXPECT_EQ(plat::PackTypeCode("data"), 0x64617461u);
    EXPECT_EQ(plat::PackTypeCode("dataX"), 0x64617461u);
}

}  // namespace
