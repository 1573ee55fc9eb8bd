// The module resource files the build made: each opens in the game's reader and holds the
// module's palette, with the static colours where Windows has them, the size record of its
// background, and what entering the module shows and plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "media/print/file_kinds.h"
#include "media/res/anim_script.h"
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

uint32_t Le32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
int Le16(const Bytes& b, size_t at) { return static_cast<int16_t>(b[at] | b[at + 1] << 8); }

// The hot spot of a picture in a module's 'HT#' table, if it has one.
std::optional<std::pair<int, int>> HotSpotOf(const Bytes& table, int id) {
    for (size_t at = 0; at + 6 <= table.size(); at += 6)
        if (Le16(table, at) == id) return std::pair{Le16(table, at + 2), Le16(table, at + 4)};
    return std::nullopt;
}

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

// The hub's animations: entrances 200 to 600 (each its picture, place and carrier animations),
// the ambient groups and the signboard's, each with its preload list ('AN_', 0 for none).
struct HubAnimSet {
    int picture, x, y;  // picture 0: no picture of its own
    int preload;
    std::vector<int> anims;
};
const HubAnimSet kHubAnimSets[] = {
    {200, 0, 12, 200, {120, 121}},
    {300, 0, 241, 204, {130, 131}},
    {400, 421, 246, 203, {140, 141, 142, 144}},
    {500, 210, 0, 201, {150, 151, 152}},
    {600, 417, 36, 202, {160, 161, 162, 163, 164}},
    {0, 0, 0, 205, {122, 123}},
    {0, 0, 0, 206, {153, 154}},
    {0, 0, 0, 207, {165, 166, 167, 168}},
    {0, 0, 0, 208, {145, 146, 147}},
    {0, 0, 0, 209, {132, 133, 134, 135, 136, 137}},
    {0, 0, 0, 0, {173, 175, 180}},
};

// The hub's entrances lie on the screen at their places, above the navigation row, with their
// hot spots at their corners. Every hub animation ends by itself (no restart, hold, endless
// loop or jump out of the script, a closing record) and ends on no Wait; each entrance's
// animations play one sound of the file.
TEST(GeneratedResources, HubEntrancesFitTheirPlacesAndTheirAnimationsEnd) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res").c_str()), 1);
    const Bytes hotspots = ReadItem(mgr, kResHTN, 1000);
    for (const HubAnimSet& set : kHubAnimSets) {
        SCOPED_TRACE("set with animation " + std::to_string(set.anims[0]));
        if (set.picture != 0) {
            const Bytes picture = ReadItem(mgr, kResSPR, 1000 + static_cast<uint32_t>(set.picture));
            ASSERT_GE(picture.size(), 12u);
            EXPECT_LE(set.x + static_cast<int>(Le32(picture, 0)), 640);
            EXPECT_LE(set.y + static_cast<int>(Le32(picture, 4)), 480 - 39);
            const auto hot = HotSpotOf(hotspots, set.picture);
            EXPECT_TRUE(!hot || *hot == (std::pair{0, 0}));
        }
        int sounds = 0;
        for (int anim : set.anims) {
            SCOPED_TRACE("ANI " + std::to_string(1000 + anim));
            const Bytes script = ReadItem(mgr, kResANI, 1000 + static_cast<uint32_t>(anim));
            ASSERT_GE(script.size(), 2 * media::kAnimRecordSize);
            ASSERT_EQ(script.size() % media::kAnimRecordSize, 0u);
            const size_t count = script.size() / media::kAnimRecordSize;
            for (size_t i = 0; i + 1 < count; ++i) {
                const int op = Le16(script, i * media::kAnimRecordSize);
                const uint32_t operand = Le32(script, i * media::kAnimRecordSize + 2);
                EXPECT_NE(op, media::kAnimEmpty) << "an end record before the last, at " << i;
                EXPECT_NE(op, media::kAnimRestart) << i;
                EXPECT_NE(op, media::kAnimJumpIfSound) << i;
                EXPECT_NE(op, media::kAnimHold) << i;
                if (op == media::kAnimLoop) {
                    EXPECT_LT(media::AnimLoopN(operand), 4095u) << "endless loop at " << i;
                    EXPECT_LT(media::AnimLoopJump(operand), 0) << i;
                    EXPECT_GE(static_cast<int>(i) + media::AnimLoopJump(operand) + 1, 0) << i;
                }
                if (op == media::kAnimPlaySound || op == media::kAnimPlayNewSound) {
                    ++sounds;
                    EXPECT_NE(mgr.FindEntry(kResSND, 1000 + operand % 1000), nullptr) << "sound " << operand;
                }
            }
            EXPECT_EQ(Le16(script, (count - 1) * media::kAnimRecordSize), media::kAnimEmpty) << "no end record";
            EXPECT_NE(Le16(script, (count - 2) * media::kAnimRecordSize), media::kAnimWait) << "ends on a Wait";
        }
        if (set.picture != 0) {
            EXPECT_EQ(sounds, 1) << "an entrance plays one short sound";
        }
    }
}

// What a hub animation shows and plays is in the file and in its preload list, so nothing is
// read from the disc while it plays.
TEST(GeneratedResources, HubPreloadListsHoldWhatTheirAnimationsShowAndPlay) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res").c_str()), 1);
    for (const HubAnimSet& set : kHubAnimSets) {
        if (set.preload == 0) continue;
        SCOPED_TRACE("AN_ " + std::to_string(1000 + set.preload));
        const Bytes list = ReadItem(mgr, kResANU, 1000 + static_cast<uint32_t>(set.preload));
        ASSERT_GE(list.size(), 8u);
        const size_t records = static_cast<size_t>(Le16(list, 0));
        ASSERT_EQ(list.size(), 8u + 14u * records);
        std::set<int> pictures, sounds;
        for (size_t r = 0; r < records; ++r) {
            pictures.insert(Le16(list, 8 + 14 * r));
            if (const int sound = Le16(list, 8 + 14 * r + 10); sound != 0) sounds.insert(sound);
        }
        for (int anim : set.anims) {
            const Bytes script = ReadItem(mgr, kResANI, 1000 + static_cast<uint32_t>(anim));
            for (size_t at = 0; at + media::kAnimRecordSize <= script.size(); at += media::kAnimRecordSize) {
                const int op = Le16(script, at);
                const int id = static_cast<int>(Le32(script, at + 2) % 1000);
                if (op == media::kAnimShowPicture && id != 2) {
                    EXPECT_TRUE(pictures.count(id)) << "ANI " << anim << " shows " << id;
                    EXPECT_NE(mgr.FindEntry(kResSPR, 1000 + static_cast<uint32_t>(id)), nullptr) << id;
                }
                if (op == media::kAnimPlaySound || op == media::kAnimPlayNewSound) {
                    EXPECT_TRUE(sounds.count(id)) << "ANI " << anim << " plays " << id;
                }
            }
        }
    }
}

// The scanner's highlight surrounds its target: a closed ring, opaque all round at the same
// distance from the centre, with a transparent middle and transparent corners.
TEST(GeneratedResources, ScanHighlightIsARingWithATransparentMiddle) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo0.res").c_str()), 1);
    const Bytes spr = ReadItem(mgr, kResSPR, 1);
    ASSERT_GE(spr.size(), 12u);
    const auto le32 = [&](size_t at) { return spr[at] | spr[at + 1] << 8 | spr[at + 2] << 16 | spr[at + 3] << 24; };
    ASSERT_EQ(le32(0), 48);
    ASSERT_EQ(le32(4), 48);
    ASSERT_EQ(spr.size(), 12u + 48 * 48);
    const auto pixel = [&](int x, int y) { return spr[12 + static_cast<size_t>(y) * 48 + static_cast<size_t>(x)]; };
    for (int d = -8; d <= 8; ++d) {
        EXPECT_EQ(pixel(24 + d, 24), 0) << "middle";
        EXPECT_EQ(pixel(24, 24 + d), 0) << "middle";
    }
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{47, 0}, std::pair{0, 47}, std::pair{47, 47}})
        EXPECT_EQ(pixel(x, y), 0) << "corner " << x << "," << y;
    for (int angle = 0; angle < 360; angle += 5) {
        const double a = angle * 3.14159265358979 / 180;
        const int x = 24 + static_cast<int>(std::lround(19 * std::cos(a)));
        const int y = 24 + static_cast<int>(std::lround(19 * std::sin(a)));
        EXPECT_NE(pixel(x, y), 0) << "ring at " << angle << " degrees";
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

// The shapes activity's picture file dialogs: saving offers its own file, BMP and PCX; opening
// takes its own file only, which begins with a piece set id below 256.
TEST(GeneratedResources, ShapesPictureFileKindsTellFilesApart) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo6.res").c_str()), 1);
    const auto save = media::ParseFileKinds(ReadItem(mgr, kResFIL, 6020));
    const auto open = media::ParseFileKinds(ReadItem(mgr, kResFIL, 6030));
    ASSERT_TRUE(save);
    ASSERT_TRUE(open);
    ASSERT_EQ(save->kinds.size(), 3u);
    EXPECT_EQ(save->kinds[0].extension, "zfb");
    EXPECT_EQ(save->kinds[1].extension, "bmp");
    EXPECT_EQ(save->kinds[2].extension, "pcx");
    EXPECT_NE(save->filter.find("Bitmappsbild (*.bmp)|*.bmp|"), std::string::npos);
    ASSERT_EQ(open->kinds.size(), 1u);
    EXPECT_EQ(open->kinds[0].extension, "zfb");
    const struct {
        Bytes head;
        int saveKind, openKind;
    } files[] = {
        {{20, 0, 3, 0}, 0, 0},
        {{10, 0}, 0, 0},
        {{'B', 'M', 0x36, 0x04}, 1, -1},
        {{0x0A, 0x05, 0x01, 0x08}, 2, -1},
        {{20}, -1, -1},
    };
    for (const auto& f : files) {
        EXPECT_EQ(media::MatchFileKind(*save, f.head, f.head.size()), f.saveKind);
        EXPECT_EQ(media::MatchFileKind(*open, f.head, f.head.size()), f.openKind);
    }
    // The texts of the message when the dialog's file object cannot be made.
    EXPECT_GT(ReadItem(mgr, kResIST, 6984).size(), 3u);
    EXPECT_GT(ReadItem(mgr, kResIST, 6985).size(), 3u);
}

}  // namespace
