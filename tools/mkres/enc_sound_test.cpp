// 'SND' items built by mkres and read back through the game's resource reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/mkres_test_support.h"
#include "tools/mkres/source.h"

namespace {

using Bytes = std::vector<uint8_t>;

using mkrestest::Built;

Built Build(const std::string& text) { return mkrestest::Build(text, "snd.mkres"); }

TEST(SoundEncoder, PlainCompressedAndReferenceItemsReadBack) {
    const Built b = Build(R"(module 2
SND M+1
  tone 440 50
  effect chime
end
SND M+2
  tone 660 80
  compressed
end
SND M+3
  reference "INTRO.SND"
end
)");
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("S.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("S.RES"));

    Bytes samples = Tone(440, 50);
    Bytes chime = SynthEffect("chime");
    samples.insert(samples.end(), chime.begin(), chime.end());
    const Bytes plain = restest::ReadWhole(mgr, mgr.FindEntry(kResSND, 2001));
    EXPECT_EQ(plain, EncodeSndPlain(samples));
    ASSERT_GE(plain.size(), 2u);
    EXPECT_EQ(plain[0], 0x80);
    EXPECT_EQ(plain[1], 0x80);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResSND, 2002)), EncodeSndCompressed(Tone(660, 80)));
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResSND, 2003)), EncodeSndFileRef("INTRO.SND"));
}

TEST(SoundEncoder, FaultsAreReported) {
    const char* bodies[] = {
        "",                                    // no samples
        "  effect thunderclap\n",              // unknown effect
        "  tone 440\n",                        // missing length
        "  tone 1 50\n",                       // frequency out of range
        "  speak hello\n",                     // text not a string
        "  reference \"A.SND\"\n  tone 440 10\n",  // reference with samples
        "  whistle\n",                         // unknown line
    };
    for (const char* body : bodies)
        EXPECT_FALSE(Build(std::string("module 2\nSND M+1\n") + body + "end\n").ok) << body;
}

}  // namespace
