// Spoken numbers through a module file made by the resource generator (testdata/
// spoken_numbers.mkres: the kit in all eight forms): phrases built by the phrase builder and
// played clip by clip through the mixer on the headless wave output. A recording of
// "0, 7, 13, 20, 100, 347, 999" is left in the build folder (spoken_numbers.wav) for a human ear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/toolbox/phrase.h"
#include "engine/toolbox/toolbox_test_support.h"
#include "media/res/res_mgr.h"
#include "media/sound/sound_clip.h"
#include "media/sound/sound_sources.h"
#include "platform/audio/wave_out.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr int kModule = 9;
constexpr uint16_t kBase = 640;

class SpokenNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        hl = &plat::InstallHeadless();
        plat::ResetWaveOut();
        hl->SetQueryStep(0);
        savedItems = SetSoundItems(&items);
        host.module = kModule;
        ASSERT_TRUE(host.OpenModuleFile(kModule, ZELBO_SPOKEN_NUMBERS_RES));
        for (const ResDirEntry& e : host.managers[kModule]->Entries()) {
            if (e.type != kResSND) continue;
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadResourceItem(kResSND, static_cast<int32_t>(e.id), nullptr, bytes));
            items.Put(static_cast<int32_t>(e.id), bytes);
        }
        ASSERT_EQ(list.OpenOutput(), 1);
    }
    void TearDown() override { SetSoundItems(savedItems); }

    // The phrase of n in form f: its sound ids up to the first id below 1.
    std::vector<uint16_t> Phrase(uint16_t n, int form) {
        uint16_t out[kPhraseSize];
        BuildPhrase(out, 100 + form, n, 0, 0, 0, 0);
        std::vector<uint16_t> ids;
        for (uint16_t id : out) {
            if (static_cast<int16_t>(id) < 1) break;
            ids.push_back(id);
        }
        return ids;
    }

    // Plays the ids one after another on channel 3 and waits until the channel is idle;
    // returns where each clip's samples begin in the played audio.
    std::vector<size_t> Play(const std::vector<uint16_t>& ids) {
        const size_t start = hl->PlayedAudio().size();
        for (uint16_t id : ids) list.PlayClip(host.MapResourceId(static_cast<int16_t>(id)), 3);
        while (list.IsPlaying(-1)) hl->Advance(10);
        std::vector<size_t> at;
        size_t from = start;
        const auto& played = hl->PlayedAudio();
        for (uint16_t id : ids) {
            const CSoundClip* clip = list.LoadClip(host.MapResourceId(static_cast<int16_t>(id)));
            if (!clip) return {};
            const std::vector<uint8_t> samples = clip->Samples();
            const auto found = std::search(played.begin() + static_cast<std::ptrdiff_t>(from), played.end(),
                                           samples.begin(), samples.end());
            if (found == played.end()) return {};
            at.push_back(static_cast<size_t>(found - played.begin()));
            from = at.back() + samples.size();
        }
        return at;
    }

    plat::HeadlessBackend* hl = nullptr;
    toolboxtest::CPictureHost host;
    CSoundItemMap items;
    CSoundMixer mixer;
    CSoundList list{mixer};
    ISoundItems* savedItems = nullptr;
};

// 347 is "tre", "hundra", "fyrtio", "sju": the clips of form 1 play in that order, one after
// the other. Every form says the same words from its own copy of the clips.
TEST_F(SpokenNumbers, ThreeHundredFortySevenPlaysItsWordsInOrder) {
    const std::vector<uint16_t> words{kBase + 3, kBase + 28, kBase + 22, kBase + 7};
    ASSERT_EQ(Phrase(347, 1), words);
    const std::vector<size_t> at = Play(words);
    ASSERT_EQ(at.size(), words.size()) << "a clip was not heard, or not in order";
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));

    const int offsets[8] = {0, -100, -600, -400, -150, 200, 100, 150};
    for (int form = 2; form <= 8; ++form) {
        SCOPED_TRACE(form);
        const std::vector<uint16_t> ids = Phrase(347, form);
        ASSERT_EQ(ids.size(), words.size());
        for (size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(ids[i], words[i] + offsets[form - 1]);
            const CSoundClip* copy = list.LoadClip(host.MapResourceId(static_cast<int16_t>(ids[i])));
            const CSoundClip* plain = list.LoadClip(host.MapResourceId(static_cast<int16_t>(words[i])));
            ASSERT_NE(copy, nullptr);
            ASSERT_NE(plain, nullptr);
            EXPECT_EQ(copy->Samples(), plain->Samples());
        }
    }
}

// Every number from 0 to 999 has a phrase of one to four existing clips. The word clips are
// plain (their two silent samples first), begin and end within 5 ms of sound (the speech
// synthesiser leaves far more silence around a word) and are levelled to one another: the
// quietest within a factor of 1.6 of the loudest by RMS.
TEST_F(SpokenNumbers, EveryNumberHasItsWordsAndEveryWordIsTrimmedAndLevelled) {
    for (uint16_t n = 0; n <= 999; ++n) {
        const std::vector<uint16_t> ids = Phrase(n, 1);
        ASSERT_GE(ids.size(), 1u) << n;
        ASSERT_LE(ids.size(), 4u) << n;
        for (uint16_t id : ids) ASSERT_TRUE(id >= kBase && id < kBase + 29) << n;
    }
    EXPECT_EQ(Phrase(100, 1), (std::vector<uint16_t>{kBase + 28}));
    EXPECT_EQ(Phrase(200, 1), (std::vector<uint16_t>{kBase + 2, kBase + 28}));
    EXPECT_EQ(Phrase(0, 1), (std::vector<uint16_t>{kBase}));
    double quietest = 1e9, loudest = 0;
    for (int w = 0; w < 29; ++w) {
        SCOPED_TRACE(w);
        std::vector<uint8_t> item;
        ASSERT_TRUE(ReadResourceItem(kResSND, host.MapResourceId(static_cast<int16_t>(kBase + w)), nullptr, item));
        ASSERT_GE(item.size(), 2u + 1102u);  // the two silent samples, then at least 0.1 s
        EXPECT_EQ(item[0], 0x80);
        EXPECT_EQ(item[1], 0x80);
        const std::vector<uint8_t> word(item.begin() + 2, item.end());
        const auto sound = [](uint8_t s) { return std::abs(static_cast<int>(s) - 128) >= 2; };
        EXPECT_LE(std::find_if(word.begin(), word.end(), sound) - word.begin(), 55);
        EXPECT_LE(std::find_if(word.rbegin(), word.rend(), sound) - word.rbegin(), 55);
        double sum = 0;
        for (uint8_t s : word) sum += (s - 128.0) * (s - 128.0);
        const double rms = std::sqrt(sum / static_cast<double>(word.size()));
        quietest = std::min(quietest, rms);
        loudest = std::max(loudest, rms);
    }
    EXPECT_LE(loudest / quietest, 1.6) << quietest << " to " << loudest;
}

TEST_F(SpokenNumbers, ARecordingToListenTo) {
    const size_t start = hl->PlayedAudio().size();
    for (uint16_t n : {0, 7, 13, 20, 100, 347, 999}) {
        ASSERT_FALSE(Play(Phrase(n, 1)).empty()) << n;
        hl->Advance(400);  // a pause between the numbers
    }
    const std::vector<uint8_t> recording(hl->PlayedAudio().begin() + static_cast<std::ptrdiff_t>(start),
                                         hl->PlayedAudio().end());
    const std::string path = std::string(ZELBO_TOOLBOX_OUTPUT_DIR) + "/spoken_numbers.wav";
    ASSERT_TRUE(plat::SaveWav(path, recording, 11025)) << path;
    std::printf("wrote %s\n", path.c_str());
}

}  // namespace
