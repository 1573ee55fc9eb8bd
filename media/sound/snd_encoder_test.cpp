#include "media/sound/snd_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "media/sound/snd_format.h"
#include "media/sound/sound_delta.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"

namespace {

std::vector<uint8_t> Decode(const std::vector<uint8_t>& coded, size_t n) {
    std::vector<uint8_t> out(n, 0x55);
    EXPECT_EQ(DecodeSoundDelta(coded, out), n);
    return out;
}

int WorstError(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

// Signals of different character through the coder: how far off, and how small.
TEST(SoundDeltaEncoderTest, RoundTripsWithinToleranceAndShrinks) {
    struct Case {
        const char* name;
        std::vector<uint8_t> samples;
        int worst;
        double ratio;  // coded size / samples at most
    };
    std::mt19937 rng(7);
    std::vector<uint8_t> noise(5000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> steps(3000);
    for (size_t i = 0; i < steps.size(); ++i) steps[i] = (i / 300) % 2 ? 250 : 5;
    const Case cases[] = {
        {"silence", std::vector<uint8_t>(10000, 0x80), 0, 0.02},
        {"tone", Tone(440, 500), 2, 0.6},
        {"chime", SynthEffect("chime"), 8, 0.7},
        {"whoosh", SynthEffect("whoosh"), 8, 0.7},
        {"square steps", steps, 1, 0.2},
        {"noise", noise, 8, 1.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> coded = EncodeSoundDelta(c.samples);
        EXPECT_LE(WorstError(Decode(coded, c.samples.size()), c.samples), c.worst);
        EXPECT_LE(static_cast<double>(coded.size()), c.ratio * static_cast<double>(c.samples.size()) + 16);
    }
}

TEST(SndEncoderTest, CompressedItemsSplitIntoBlocksAndReadAsCompressed) {
    const std::vector<uint8_t> s = Tone(300, 2500);  // 27562 samples: three blocks
    const std::vector<uint8_t> item = EncodeSndCompressed(s);
    SndCompressedHeader h;
    ASSERT_TRUE(ParseSndCompressedHeader(item, h));
    EXPECT_EQ(h.blocks, 3);
    EXPECT_EQ(h.total, s.size());
    EXPECT_EQ(h.largest, 10240);
    EXPECT_EQ(ClassifySnd(item, static_cast<uint32_t>(item.size())), SndForm::Compressed);
    uint32_t decoded = 0;
    for (int b = 0; b < 3; ++b) {
        const SndBlockHeader bh = ParseSndBlockHeader(std::span<const uint8_t, 8>(item.data() + 10 + 8 * b, 8));
        EXPECT_LE(uint64_t{bh.offset} + bh.codedLength, item.size());
        decoded += bh.decodedLength;
    }
    EXPECT_EQ(decoded, s.size());
    EXPECT_THROW(EncodeSndCompressed({}), std::invalid_argument);
}

// Plain items begin with silence, so whatever the samples, they never read as the other forms.
TEST(SndEncoderTest, PlainItemsNeverReadAsTheOtherForms) {
    const std::vector<std::vector<uint8_t>> looksLikeOthers = {
        {0x46, 0x45, 0, 0, 'A', 0},                 // a file reference
        {1, 0, 100, 0, 0, 0, 100, 0, 0, 0, 0, 0},  // a valid compressed header
    };
    for (const auto& samples : looksLikeOthers) {
        ASSERT_NE(ClassifySnd(samples, static_cast<uint32_t>(samples.size())), SndForm::Plain);
        const std::vector<uint8_t> item = EncodeSndPlain(samples);
        EXPECT_EQ(item[0], 0x80);
        EXPECT_EQ(item[1], 0x80);
        EXPECT_EQ(ClassifySnd(item, static_cast<uint32_t>(item.size())), SndForm::Plain);
    }
}

TEST(SndEncoderTest, FileReferencesHoldOnlyPlainNames) {
    const std::vector<uint8_t> item = EncodeSndFileRef("REC001.RAW");
    EXPECT_EQ(item, (std::vector<uint8_t>{0x46, 0x45, 0, 0, 'R', 'E', 'C', '0', '0', '1', '.', 'R', 'A', 'W', 0}));
    EXPECT_EQ(ClassifySnd(item, static_cast<uint32_t>(item.size())), SndForm::FileReference);
    for (const char* bad : {"", "..", "A\\B.RAW", "C:X", "../X", "A*"})
        EXPECT_THROW(EncodeSndFileRef(bad), std::invalid_argument) << bad;
    EXPECT_THROW(EncodeSndFileRef(std::string(65, 'A')), std::invalid_argument);
    EXPECT_NO_THROW(EncodeSndFileRef(std::string(64, 'A')));
}

}  // namespace
