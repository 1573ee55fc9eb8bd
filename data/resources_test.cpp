// The module resource files the build made: each opens in the game's reader and holds the
// module's palette, with the static colours where Windows has them, the size record of its
// background, and what entering the module shows and plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/snd_format.h"
#include "media/sound/sound_clip.h"
#include "media/sound/synth/voice.h"
#include "media/text/bitmap_font.h"
#include "media/text/text_test_support.h"
#include "data/res_item_test_support.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::HotSpotOf;
using datatest::Le16;
using datatest::Le32;
using datatest::ReadItem;

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

        // The background's size: the whole screen, but for Vududoduvaza's smaller scene.
        const Bytes size = ReadItem(mgr, kResPNT, module * 1000 + 1);
        ASSERT_EQ(size.size(), 4u);
        EXPECT_EQ(size[0] | size[1] << 8, module == 4 ? 600 : 640);
        EXPECT_EQ(size[2] | size[3] << 8, module == 4 ? 420 : 480);

        // The record files' message lists of the activities: every string numbered.
        for (const auto& [list, count] : {std::pair{982, 20}, std::pair{983, 21}, std::pair{988, 1}}) {
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

        // Every module but the shared one has its introduction (id 990); what it sounds like
        // is checked below.
        const Bytes intro = ReadItem(mgr, kResSND, module * 1000 + 990);
        EXPECT_EQ(intro.empty(), module == 0);

        // The hot spots the engine applies on entering the module: the scan highlight's
        // centre among them.
        const Bytes hotspots = ReadItem(mgr, kResHTN, module * 1000);
        ASSERT_EQ(hotspots.size() % 6, 0u);
        bool highlight = false;
        for (size_t at = 0; at + 6 <= hotspots.size(); at += 6) {
            highlight = highlight || (hotspots[at] == 1 && hotspots[at + 1] == 0 && hotspots[at + 2] == 24 &&
                                      hotspots[at + 3] == 0 && hotspots[at + 4] == 24 && hotspots[at + 5] == 0);
        }
        EXPECT_TRUE(highlight) << "HT# " << module * 1000 << " sets picture 1's hot spot to (24, 24)";
    }
}

Bytes ClipSamples(const Bytes& item);


// What entering a module shows and plays: a background as large as its size record says (so
// the origin centres it), with its hot spot at its corner; a short chime (the hub's a click of
// at most 60 ms), which the entry waits out with nothing else running; the hub's jingle of at
// most 2 s; a spot list, every spot of it present.
TEST(GeneratedResources, EveryModuleHasItsScreenChimeAndSpots) {
    for (int module = 1; module <= 6; ++module) {
        SCOPED_TRACE("Zelbo" + std::to_string(module) + ".res");
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(module) + ".res").c_str()), 1);
        const uint32_t m = static_cast<uint32_t>(module) * 1000;

        const Bytes size = ReadItem(mgr, kResPNT, m + 1);
        const Bytes background = ReadItem(mgr, kResSPR, m);
        ASSERT_EQ(size.size(), 4u);
        ASSERT_GE(background.size(), 12u) << "SPR " << m;
        EXPECT_EQ(Le32(background, 0), static_cast<uint32_t>(Le16(size, 0)));
        EXPECT_EQ(Le32(background, 4), static_cast<uint32_t>(Le16(size, 2)));
        EXPECT_EQ(HotSpotOf(ReadItem(mgr, kResHTN, m), 0), (std::pair{0, 0}));

        const Bytes chime = ClipSamples(ReadItem(mgr, kResSND, m + 991));
        const size_t shortest = module == 1 ? 11025u / 100 : 11025u / 10;
        const size_t longest = module == 1 ? 11025u * 60 / 1000 + 2 : 11025u / 2 - 1;
        EXPECT_GT(chime.size(), shortest) << "SND " << m + 991;
        EXPECT_LE(chime.size(), longest) << "SND " << m + 991 << " is too long";
        EXPECT_TRUE(std::any_of(chime.begin(), chime.end(), [](uint8_t v) { return v < 0x60 || v > 0xA0; })) << "silent";
        if (module == 1) {
            const Bytes jingle = ClipSamples(ReadItem(mgr, kResSND, m + 990));
            EXPECT_GT(jingle.size(), 0u) << "SND 1990";
            EXPECT_LE(jingle.size(), 2u * 11025) << "the hub's jingle lasts over 2 s";
        }

        const Bytes spots = ReadItem(mgr, kResSPN, m);
        ASSERT_GE(spots.size(), 2u) << "SP# " << m;
        ASSERT_EQ(spots.size() % 2, 0u);
        for (size_t at = 2; at < spots.size(); at += 2)
            EXPECT_NE(mgr.FindEntry(kResSPT, static_cast<uint32_t>(spots[at] | spots[at + 1] << 8)), nullptr);
    }
}


// The samples of an 'SND' item, decoded by the game's clip loader.
Bytes ClipSamples(const Bytes& item) {
    CSoundItemMap items;
    items.Put(1, item);
    CSoundMixer mixer;  // never opened: loading needs no device
    CSoundList list(mixer);
    ISoundItems* const saved = SetSoundItems(&items);
    const CSoundClip* clip = list.LoadClip(1);
    Bytes samples = clip ? clip->Samples() : Bytes{};
    SetSoundItems(saved);
    return samples;
}

// Why samples are not speech, or "" when they are: at least a second of sound whose loudness
// rises and falls (syllables and pauses) rather than a steady tone. Loudness is the RMS of
// 25 ms windows; the two windows at either end (fades) are left out.
std::string NotSpeech(const Bytes& samples) {
    if (samples.size() < 11025) return "shorter than a second (" + std::to_string(samples.size()) + " samples)";
    constexpr size_t kWindow = 275;
    std::vector<double> loudness;
    for (size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
        double sum = 0;
        for (size_t i = at; i < at + kWindow; ++i) sum += (samples[i] - 128.0) * (samples[i] - 128.0);
        loudness.push_back(std::sqrt(sum / kWindow));
    }
    loudness.erase(loudness.begin(), loudness.begin() + 2);
    loudness.resize(loudness.size() - 2);
    double mean = 0, spread = 0;
    for (double l : loudness) mean += l / static_cast<double>(loudness.size());
    for (double l : loudness) spread += (l - mean) * (l - mean) / static_cast<double>(loudness.size());
    if (mean < 2) return "silent";
    const double variation = std::sqrt(spread) / mean;
    if (variation < 0.25) return "a steady sound, not speech (loudness varies by " + std::to_string(variation) + ")";
    return "";
}

// The check itself catches what it must: a constant tone, a short tone (tone mode's), silence.
TEST(GeneratedResources, SpeechCheckRefusesTonesAndSilence) {
    Bytes syllables;  // a tone broken into syllables and pauses: loudness that varies
    for (int k = 0; k < 6; ++k) {
        const Bytes part = Tone(200 + 40 * k, 150);
        syllables.insert(syllables.end(), part.begin(), part.end());
        syllables.insert(syllables.end(), 800, 0x80);
    }
    const struct {
        const char* what;
        Bytes item;
        bool speech;
    } cases[] = {
        {"constant tone, plain", EncodeSndPlain(Tone(440, 2000)), false},
        {"constant tone, compressed", EncodeSndCompressed(Tone(523, 1500)), false},
        {"tone mode's tone", EncodeSndPlain(ToneFor("V\xE4lkommen")), false},
        {"silence", EncodeSndPlain(Bytes(22050, 0x80)), false},
        {"syllables", EncodeSndCompressed(syllables), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NotSpeech(ClipSamples(c.item)).empty(), c.speech) << c.what << ": " << NotSpeech(ClipSamples(c.item));
    }
}

// Each activity's introduction, the hub's greeting and question and the shared praise are
// spoken; the praise, played most, is stored compressed. With ZELBO_VOICE=tone the data holds tones instead and this is skipped.
TEST(GeneratedResources, IntroductionsAndPraiseAreSpeech) {
    if (ToneModeAsked(false)) {
        std::printf("[ tone mode ] ZELBO_VOICE=tone: the spoken clips are tones, not speech\n");
        GTEST_SKIP() << "tone mode (ZELBO_VOICE=tone): speech is not checked";
    }
    const struct {
        int module;
        uint32_t id;
        bool compressed;
    } clips[] = {{0, 5, true}, {1, 1701, false}, {1, 1700, false}, {2, 2990, false}, {3, 3990, false},
                 {4, 4990, false}, {5, 5990, false}, {6, 6990, false}};
    for (const auto& c : clips) {
        SCOPED_TRACE("Zelbo" + std::to_string(c.module) + " SND " + std::to_string(c.id));
        const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(c.module) + ".res");
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(path.c_str()), 1);
        const Bytes item = ReadItem(mgr, kResSND, c.id);
        ASSERT_FALSE(item.empty());
        EXPECT_EQ(ClassifySnd(std::span<const uint8_t>(item).first(std::min<size_t>(item.size(), 10)),
                              static_cast<uint32_t>(item.size())) == SndForm::Compressed,
                  c.compressed);
        const std::string problem = NotSpeech(ClipSamples(item));
        EXPECT_EQ(problem, "") << "built with ZELBO_VOICE=tone? Rebuild the resources without it";
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

// Modules 2 to 6 can speak every number from 0 to 999: each 'IPB' table names word clips the
// module has (module-relative ids), and every word clip is a plain clip of speech.
TEST(GeneratedResources, EveryNumberTableOfTheActivitiesNamesExistingSounds) {
    for (int module = 2; module <= 6; ++module) {
        SCOPED_TRACE("Zelbo" + std::to_string(module) + ".res");
        const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(module) + ".res");
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(path.c_str()), 1);
        std::set<uint32_t> named;
        for (uint32_t n = 0; n <= 999; ++n) {
            const Bytes table = ReadItem(mgr, kResIPB, module * 1000 + n);
            ASSERT_GE(table.size(), 2u) << "no 'IPB' " << n;
            for (size_t at = 0; at + 1 < table.size() && at < 16; at += 2) {
                const uint16_t id = static_cast<uint16_t>(table[at] | table[at + 1] << 8);
                if (id == 0) break;
                ASSERT_TRUE(id >= 1 && id <= 999) << "'IPB' " << n << " names " << id;
                named.insert(module * 1000 + id);
            }
        }
        EXPECT_EQ(named.size(), 29u);
        for (uint32_t id : named) {
            const Bytes clip = ReadItem(mgr, kResSND, id);
            ASSERT_GT(clip.size(), 2u) << "'IPB' names SND " << id << ", which the module lacks";
            EXPECT_EQ(ClassifySnd(clip, static_cast<uint32_t>(clip.size())), SndForm::Plain) << id;
        }
    }
}

}  // namespace
