#include "media/sound/sound_delta.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// A coded stream: header {N, 0, L, 0 0 0}, the first sample, then the codes.
std::vector<uint8_t> Stream(uint16_t n, uint8_t perRun, uint8_t first, std::vector<uint8_t> codes) {
    std::vector<uint8_t> s{static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0xEE, 0xEE, perRun, 9, 9, 9, first};
    for (uint8_t c : codes) s.push_back(c);
    return s;
}

// Decodes into a heap block of exactly `room` bytes, so any write or read past an end is caught
// by the address sanitizer.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& coded, size_t room, size_t* written = nullptr) {
    auto in = std::make_unique<uint8_t[]>(coded.size());
    std::copy(coded.begin(), coded.end(), in.get());
    auto out = std::make_unique<uint8_t[]>(room);
    std::fill_n(out.get(), room, uint8_t{0x55});
    const size_t n = DecodeSoundDelta({in.get(), coded.size()}, {out.get(), room});
    if (written) *written = n;
    return std::vector<uint8_t>(out.get(), out.get() + n);
}

TEST(SoundDeltaStepsTest, RowsAreMultiplesClampedToASignedByte) {
    const SoundStepTable& t = SoundDeltaSteps();
    EXPECT_EQ(std::vector<int>(t[0].begin(), t[0].end()),
              (std::vector<int>{-8, -7, -6, -5, -4, -3, -2, -1, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(std::vector<int>(t[15].begin(), t[15].end()),
              (std::vector<int>{-128, -112, -96, -80, -64, -48, -32, -16, 16, 32, 48, 64, 80, 96, 112, 127}));
    EXPECT_EQ(t[4][9], 10);
    EXPECT_EQ(t[4][6], -10);
}

struct DecodeCase {
    const char* name;
    std::vector<uint8_t> coded;
    std::vector<uint8_t> expected;
};

class SoundDeltaDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SoundDeltaDecodeTest, DecodesTheCodeTable) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(Decode(c.coded, 256), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SoundDeltaDecodeTest,
    ::testing::Values(
        // Absolute codes keep 7 bits, doubled.
        DecodeCase{"absolute", Stream(4, 8, 0x10, {0x81, 0xFF, 0x80}), {0x10, 2, 254, 0}},
        // A run of 0 writes nothing and counts nothing: the codes after it are still read.
        DecodeCase{"run", Stream(6, 8, 100, {0x40, 0x43, 0x40, 0x82}), {100, 100, 100, 100, 4}},
        DecodeCase{"run of 63", Stream(64, 8, 7, {0x7F}), std::vector<uint8_t>(64, 7)},
        // 1-bit, row 0: each bit moves by one, 1 up, 0 down, top bit first.
        DecodeCase{"1-bit row 0", Stream(9, 8, 100, {0x10, 0b10110000}), {100, 101, 100, 101, 102, 101, 100, 99, 98}},
        // 2-bit, row 2: pairs 0..3 move by -6, -3, +3, +6.
        DecodeCase{"2-bit row 2", Stream(9, 8, 100, {0x22, 0b00011011, 0b11100100}),
                   {100, 94, 91, 94, 100, 106, 109, 106, 100}},
        // 4-bit, row 15 (both code forms): -128 and +127 in one step, clamped at 0 and 255.
        DecodeCase{"4-bit row 15", Stream(9, 8, 200, {0x0F, 0xF0, 0x0F, 0x87, 0x8F}), {200, 255, 127, 0, 127, 143, 127, 143, 255}},
        DecodeCase{"4-bit row 15, code form 11", Stream(9, 8, 200, {0x3F, 0xF0, 0x0F, 0x87, 0x8F}),
                   {200, 255, 127, 0, 127, 143, 127, 143, 255}},
        // A delta run counts L samples whatever it wrote: with L = 12 a 1-bit run writes 8.
        DecodeCase{"run shorter than L", Stream(14, 12, 50, {0x10, 0xFF, 0x81}), {50, 51, 52, 53, 54, 55, 56, 57, 58, 2}},
        DecodeCase{"N of 0", Stream(0, 8, 77, {0x44}), {}},
        DecodeCase{"N of 1", Stream(1, 8, 77, {0x44}), {77}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(SoundDeltaMalformedTest, StopsAtTheDecodedAndCodedLengths) {
    struct Case {
        const char* name;
        std::vector<uint8_t> coded;
        size_t room;
        size_t expectedWritten;
    };
    const Case cases[] = {
        {"N above the block", Stream(500, 8, 1, {0x7F, 0x7F, 0x7F}), 40, 40},
        {"run past N", Stream(3, 8, 1, {0x7F}), 100, 3},
        {"delta run past N", Stream(5, 16, 1, {0x00, 1, 2, 3, 4, 5, 6, 7, 8}), 100, 5},
        {"delta run cut off", Stream(100, 32, 1, {0x00, 1, 2, 3}), 100, 1},
        {"codes run out", Stream(100, 8, 1, {0x43}), 100, 4},
        {"header only", {1, 0, 0, 0, 8, 0, 0, 0}, 100, 0},
        {"empty", {}, 100, 0},
        {"L of 0", Stream(100, 0, 9, {0x10, 0x20, 0x00, 0x30, 0x41}), 100, 2},
        {"no room", Stream(10, 8, 1, {0x41}), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t written = 0;
        Decode(c.coded, c.room, &written);
        EXPECT_EQ(written, c.expectedWritten);
    }
}

// Random streams into blocks of exact size: never past either end (the sanitizer watches), never
// more than N nor the block.
TEST(SoundDeltaMalformedTest, RandomStreamsStayInBounds) {
    std::mt19937 rng(12345);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> coded(rng() % 200);
        for (uint8_t& b : coded) b = static_cast<uint8_t>(rng());
        const size_t room = rng() % 300;
        size_t written = 0;
        Decode(coded, room, &written);
        const size_t declared = coded.size() >= 2 ? static_cast<size_t>(coded[0] | coded[1] << 8) : 0;
        EXPECT_LE(written, std::min(room, declared));
    }
}

}  // namespace
