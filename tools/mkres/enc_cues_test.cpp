// 'AN_' preload lists, 'CUE' cue lists, 'CUR' cursors and the cues a sound's `mouth` makes,
// built by mkres and read back through the game's resource reader; the mouth's cues against
// clips of known loudness; faulty bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/synth/voice.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/mkres_test_support.h"
#include "tools/mkres/mouth_cues.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A square wave around the silent level: its mean distance from 0x80 is exactly `amplitude`.
void AddSquare(Bytes& samples, int amplitude, size_t count) {
    for (size_t i = 0; i < count; ++i)
        samples.push_back(static_cast<uint8_t>(0x80 + (i % 2 ? -amplitude : amplitude)));
}

constexpr size_t kWindow = 11025 * mkres::kMouthWindowMs / 1000;  // 882 samples, 80 ms

std::vector<std::pair<int, int>> Pairs(const std::vector<mkres::Cue>& cues) {
    std::vector<std::pair<int, int>> out;
    for (const mkres::Cue& c : cues) out.emplace_back(c.ms, c.picture);
    return out;
}

TEST(MouthCues, FollowTheLoudnessAndEndOnTheRestPicture) {
    Bytes speech;
    AddSquare(speech, 0, 2 * kWindow);    // 0-160 ms: silence
    AddSquare(speech, 100, 2 * kWindow);  // 160-320: the loudest
    AddSquare(speech, 60, kWindow);       // 320-400: the middle third
    AddSquare(speech, 30, kWindow);       // 400-480: the lowest third
    AddSquare(speech, 2, kWindow);        // 480-560: below the quiet floor
    AddSquare(speech, 100, kWindow / 2);  // 560-600: a last half window, loud

    struct Case {
        const char* name;
        Bytes samples;
        std::vector<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {"speech", speech, {{0, 20}, {160, 23}, {320, 22}, {400, 21}, {480, 20}, {560, 23}, {600, 20}}},
        {"silence only", Bytes(3 * kWindow, 0x80), {{0, 20}}},
        {"no samples", Bytes{}, {{0, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Pairs(mkres::MouthCues(c.samples, 11025, 20, {21, 22, 23})), c.expected);
    }
}

TEST(CueEncoders, PreloadCuesCursorsAndMouthsReadBack) {
    const mkrestest::Built b = mkrestest::Build(R"(module 3
AN_ M+200
  picture 12 sound 990
  picture -13
end
CUE M+101
  0 20
  150 -21
  150 22
end
CUE M+102
end
CUR M+30
  40 5 -1
end
SND M+103
  tone 440 200
  mouth 20 21 22 23
end
)");
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("C.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("C.RES"));

    Bytes preload{2, 0, 0, 0, 0, 0, 0, 0};
    for (int16_t picture : {int16_t{12}, int16_t{-13}}) {
        plat::AppendLe16(preload, static_cast<uint16_t>(picture));
        preload.resize(preload.size() + 8, 0);
        plat::AppendLe16(preload, picture == 12 ? 990 : 0);
        plat::AppendLe16(preload, 0);
    }
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResANU, 3200)), preload);

    Bytes cues{3, 0};
    for (const auto& [ms, picture] : {std::pair{0, 20}, std::pair{150, -21}, std::pair{150, 22}}) {
        plat::AppendLe32(cues, static_cast<uint32_t>(ms));
        plat::AppendLe32(cues, 0);
        plat::AppendLe32(cues, static_cast<uint32_t>(picture));
    }
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResCUE, 3101)), cues);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResCUE, 3102)), (Bytes{0, 0}));
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResCUR, 3030)), (Bytes{40, 0, 5, 0, 0xFF, 0xFF}));

    // The sound itself is unchanged by its mouth; the companion is the clip's mouth cues.
    const Bytes tone = Tone(440, 200);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResSND, 3103)), EncodeSndPlain(tone));
    const Bytes mouth = restest::ReadWhole(mgr, mgr.FindEntry(kResCUE, 3103));
    EXPECT_EQ(mouth, mkres::EncodeCueItem(mkres::MouthCues(tone, 11025, 20, {21, 22, 23})));
    ASSERT_GE(mouth.size(), 2u + 2 * 12);
    EXPECT_EQ(plat::GetLeI32(mouth, mouth.size() - 4), 20) << "the last cue is the rest picture";
    EXPECT_EQ(plat::GetLeI32(mouth, 2 + 8), 23) << "a steady tone opens the mouth wide at once";
}

TEST(CueEncoders, FaultsAreReported) {
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"AN_ M+1\nend\n", "1 to 65535 records"},
        {"AN_ M+1\n  picture\nend\n", "picture P [sound S]"},
        {"AN_ M+1\n  picture 1 sound\nend\n", "picture P [sound S]"},
        {"AN_ M+1\n  picture 1 noise 2\nend\n", "picture P [sound S]"},
        {"AN_ M+1\n  picture 40000\nend\n", "outside"},
        {"CUE M+1\n  10\nend\n", "milliseconds, picture id"},
        {"CUE M+1\n  -1 20\nend\n", "outside"},
        {"CUE M+1\n  100 20\n  50 21\nend\n", "time order"},
        {"SND M+1\n  tone 440 50\n  mouth 1 2 3\nend\n", "four picture ids"},
        {"SND M+1\n  tone 440 50\n  mouth 1 2 3 4\n  mouth 1 2 3 4\nend\n", "once"},
        {"SND M+1\n  reference \"A.SND\"\n  mouth 1 2 3 4\nend\n", "no samples for a mouth"},
        // A mouth makes the sound's cue list: one given as well clashes.
        {"SND M+1\n  tone 440 50\n  mouth 1 2 3 4\nend\nCUE M+1\n  0 1\nend\n", "makes CUE 2001"},
    };
    for (const Case& c : cases) {
        const mkrestest::Built b = mkrestest::Build(std::string("module 2\n") + c.source);
        EXPECT_FALSE(b.ok) << c.source;
        std::string all;
        for (const auto& e : b.diag.Errors()) all += e + "\n";
        EXPECT_NE(all.find(c.message), std::string::npos) << c.source << "\n" << all;
    }
}

}  // namespace
