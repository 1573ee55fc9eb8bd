#include "media/sound/synth/voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <random>

#include "media/sound/synth/effects.h"

namespace {

std::vector<int16_t> Sine(double hz, size_t n, double amp) {
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<int16_t>(std::lround(amp * 32767 * std::sin(2 * std::numbers::pi * hz * i / 22050.0)));
    return s;
}

// Peak distance from silence, away from the edges.
int Peak(const std::vector<uint8_t>& s) {
    int peak = 0;
    for (size_t i = s.size() / 4; i < s.size() * 3 / 4; ++i) peak = std::max(peak, std::abs(s[i] - 128));
    return peak;
}

TEST(DownsampleTest, KeepsWhatTheNewRateCarriesAndDropsWhatWouldFoldBack) {
    struct Case {
        double hz;
        int minPeak, maxPeak;
    };
    // Full scale in, 127 steps out: pass band kept, above 5.5 kHz removed rather than aliased.
    for (const Case& c : {Case{300, 120, 127}, Case{1000, 120, 127}, Case{3000, 115, 127}, Case{7000, 0, 3},
                          Case{9000, 0, 2}}) {
        const auto out = Downsample22050To11025(Sine(c.hz, 22050, 0.99), 1.0);
        EXPECT_EQ(out.size(), 11025u);
        EXPECT_GE(Peak(out), c.minPeak) << c.hz;
        EXPECT_LE(Peak(out), c.maxPeak) << c.hz;
    }
}

TEST(VoiceTest, TrimsSilenceAndNormalises) {
    std::vector<int16_t> pcm(22050, 0);
    const auto tone = Sine(500, 4410, 0.25);
    std::copy(tone.begin(), tone.end(), pcm.begin() + 8000);
    const auto voiced = TrimSilence(pcm, 22050);
    EXPECT_LE(voiced.size(), 4410u + 2 * 221);
    EXPECT_GE(voiced.size(), 4410u - 40);
    EXPECT_NEAR(VoiceGain(voiced, 0.7), 0.7 / 0.25, 0.01);
    EXPECT_TRUE(TrimSilence(std::vector<int16_t>(100, 0), 22050).empty());
}

TEST(VoiceTest, ReadsSixteenBitMonoWavAndRefusesOthers) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto path = dir / ("zelbo-wav-" + std::to_string(std::random_device{}()) + ".wav");
    auto write = [&](uint16_t channels, uint16_t bits, uint32_t dataSize, size_t bytes) {
        std::ofstream f(path, std::ios::binary);
        auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
        f.write("RIFF", 4);
        u32(0);
        f.write("WAVEfmt ", 8);
        u32(16);
        u16(1);
        u16(channels);
        u32(22050);
        u32(44100);
        u16(2);
        u16(bits);
        f.write("data", 4);
        u32(dataSize);
        for (size_t i = 0; i < bytes / 2; ++i) u16(static_cast<uint16_t>(i * 100));
    };
    std::vector<int16_t> pcm;
    int rate = 0;
    std::string error;
    write(1, 16, 20, 20);
    ASSERT_TRUE(ReadWav16(path, pcm, rate, &error)) << error;
    EXPECT_EQ(pcm.size(), 10u);
    EXPECT_EQ(pcm[3], 300);
    EXPECT_EQ(rate, 22050);
    write(1, 16, 0xFFFFFFFF, 40);  // a streamed file: the size is left open
    ASSERT_TRUE(ReadWav16(path, pcm, rate, &error)) << error;
    EXPECT_EQ(pcm.size(), 20u);
    write(2, 16, 20, 20);
    EXPECT_FALSE(ReadWav16(path, pcm, rate, &error));
    write(1, 8, 20, 20);
    EXPECT_FALSE(ReadWav16(path, pcm, rate, &error));
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadWav16(path, pcm, rate, &error));
}

TEST(VoiceTest, ToneModeGivesEachTextItsOwnShortTone) {
    const auto a = ToneFor("ett"), b = ToneFor("tv\xE5"), a2 = ToneFor("ett");
    EXPECT_EQ(a, a2);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.size(), 1984u);  // 180 ms
    EXPECT_EQ(a.front(), 128);
    EXPECT_LE(std::abs(a.back() - 128), 2);
}

TEST(VoiceTest, SpeaksSwedishWhenTheSynthesiserIsThere) {
    std::vector<uint8_t> s;
    std::string error;
    if (!SpeakSwedish("sju", s, &error)) GTEST_SKIP() << error;
    EXPECT_GT(s.size(), 11025u / 10);  // a tenth of a second at least
    EXPECT_LT(s.size(), 11025u * 3);
    EXPECT_GE(Peak(s), 40);
    EXPECT_LE(std::abs(s.front() - 128), 2);
    EXPECT_LE(std::abs(s.back() - 128), 2);
}

// Sets an environment variable (or removes it, for null) for a scope.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~CScopedEnv() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// A synthesiser that is missing, or there and failing, is an error that says what to do; a
// tone comes only when tone mode is asked for.
TEST(VoiceTest, MissingOrFailingSynthesiserIsAnErrorUnlessToneModeIsAsked) {
    const auto dir = std::filesystem::temp_directory_path() / ("zelbo-voice-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir / "empty");
    std::filesystem::create_directories(dir / "failing");
    const auto fake = dir / "failing" / "espeak-ng";
    std::ofstream(fake) << "#!/bin/sh\nexit 3\n";
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    for (const char* folder : {"empty", "failing"}) {
        SCOPED_TRACE(folder);
        const std::string path = (dir / folder).string();
        CScopedEnv noVoice("ZELBO_VOICE", nullptr);
        CScopedEnv onlyThere("PATH", path.c_str());
        std::vector<uint8_t> samples;
        std::string error;
        EXPECT_FALSE(SpeakOrTone("Bra gjort!", false, samples, &error));
        EXPECT_NE(error.find("espeak-ng"), std::string::npos) << error;
        EXPECT_NE(error.find("ZELBO_VOICE=tone"), std::string::npos) << error;

        EXPECT_TRUE(SpeakOrTone("Bra gjort!", true, samples, &error));
        EXPECT_EQ(samples, ToneFor("Bra gjort!"));
        CScopedEnv tone("ZELBO_VOICE", "tone");
        samples.clear();
        EXPECT_TRUE(SpeakOrTone("Bra gjort!", false, samples, &error));
        EXPECT_EQ(samples, ToneFor("Bra gjort!"));
    }
    std::filesystem::remove_all(dir);
}

TEST(EffectsTest, EveryEffectIsShortSoftEdgedAndBelowFullScale) {
    for (const std::string& name : EffectNames()) {
        SCOPED_TRACE(name);
        const auto s = SynthEffect(name);
        ASSERT_FALSE(s.empty());
        EXPECT_LE(s.size(), 11025u);  // at most a second
        int peak = 0;
        for (uint8_t v : s) peak = std::max(peak, std::abs(v - 128));
        EXPECT_GE(peak, 20);
        EXPECT_LE(peak, 80);
        EXPECT_LE(std::abs(s.front() - 128), 3);
        EXPECT_LE(std::abs(s.back() - 128), 1);
    }
    EXPECT_TRUE(SynthEffect("buzz").empty());
}

}  // namespace
