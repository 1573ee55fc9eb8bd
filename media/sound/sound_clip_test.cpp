#include "media/sound/sound_clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "media/res/res_item_host.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"
#include "platform/audio/wave_out.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/headless/headless_backend.h"

namespace {

std::vector<uint8_t> Ramp(size_t n, int salt = 0) {
    std::vector<uint8_t> s(n);
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>(0x60 + (i * 3 + salt) % 0x40);
    return s;
}

void PutLe16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    PutLe16(b, at, v & 0xFFFF);
    PutLe16(b, at + 2, v >> 16);
}

// A clip list on a fresh headless machine, reading items from memory.
class SoundListTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl = &plat::InstallHeadless();
        plat::ResetWaveOut();
        hl->SetQueryStep(0);
        savedItems = SetSoundItems(&items);
        savedPrefs = SetSoundPrefs(&prefs);
    }
    void TearDown() override {
        SetSoundItems(savedItems);
        SetSoundPrefs(savedPrefs);
    }

    plat::HeadlessBackend* hl = nullptr;
    CSoundItemMap items;
    CSoundPrefsValues prefs;
    CSoundMixer mixer;
    CSoundList list{mixer};
    ISoundItems* savedItems = nullptr;
    ISoundPrefs* savedPrefs = nullptr;
};

TEST_F(SoundListTest, PlainAndCompressedItemsLoadTheirSamples) {
    const auto speech = Ramp(23456);
    items.Put(2001, EncodeSndPlain(speech));
    items.Put(2002, EncodeSndCompressed(speech));
    const CSoundClip* plain = list.LoadClip(2001);
    const CSoundClip* packed = list.LoadClip(2002);
    ASSERT_TRUE(plain && packed);
    std::vector<uint8_t> expected{0x80, 0x80};
    expected.insert(expected.end(), speech.begin(), speech.end());
    EXPECT_EQ(plain->Samples(), expected);
    ASSERT_EQ(packed->length, speech.size());
    ASSERT_EQ(packed->blocks.size(), 3u);  // one per coded block: 10240, 10240, 2976
    const auto decoded = packed->Samples();
    int worst = 0;
    for (size_t i = 0; i < speech.size(); ++i) worst = std::max(worst, std::abs(decoded[i] - speech[i]));
    EXPECT_LE(worst, 8);
    EXPECT_EQ(list.LoadClip(2001), plain);  // already loaded: the same clip
    EXPECT_EQ(list.ClipCount(), 2u);
}

TEST_F(SoundListTest, BlocksAreAtMost10240WithAnEmptyLastOneOnAMultiple) {
    struct Case {
        uint32_t size;
        std::vector<uint32_t> blocks;
    };
    const Case cases[] = {{0, {0}}, {1, {1}}, {10240, {10240, 0}}, {20480, {10240, 10240, 0}}, {10241, {10240, 1}}};
    int32_t id = 3000;
    for (const Case& c : cases) {
        ++id;
        std::vector<uint8_t> bytes = Ramp(c.size);
        if (c.size >= 2) bytes[0] = bytes[1] = 0x80;
        items.Put(id, bytes);
        const CSoundClip* clip = list.LoadClip(id);
        ASSERT_NE(clip, nullptr) << c.size;
        std::vector<uint32_t> sizes;
        for (const CSoundBlock& b : clip->blocks) sizes.push_back(b.Length());
        EXPECT_EQ(sizes, c.blocks) << c.size;
        EXPECT_EQ(clip->Samples(), bytes);
    }
}

TEST_F(SoundListTest, HeadersThatFailTheCompressedTestLoadAsPlain) {
    struct Case {
        const char* name;
        uint16_t blocks;
        uint32_t total;
        uint16_t largest;
    };
    const Case cases[] = {{"no blocks", 0, 100, 100},
                          {"1001 blocks", 1001, 100, 100},
                          {"no samples", 1, 0, 100},
                          {"largest block over 10240", 1, 100, 10241}};
    int32_t id = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> item = EncodeSndCompressed(Ramp(100));
        PutLe16(item, 0, c.blocks);
        PutLe32(item, 2, c.total);
        PutLe16(item, 6, c.largest);
        items.Put(++id, item);
        const CSoundClip* clip = list.LoadClip(id);
        ASSERT_NE(clip, nullptr);
        EXPECT_EQ(clip->Samples(), item);
    }
}

TEST_F(SoundListTest, DamagedCompressedItemsFailOrStopAtTheirLengths) {
    const std::vector<uint8_t> good = EncodeSndCompressed(Ramp(15000));  // two blocks
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        bool loads;
    };
    const Case cases[] = {
        {"block table past the end", [](auto& b) { b.resize(20); }, false},
        {"block past the end", [](auto& b) { PutLe32(b, 10 + 8, static_cast<uint32_t>(b.size() - 5)); }, false},
        {"coded length past the end", [](auto& b) { PutLe16(b, 10 + 8 + 4, 0xFFFF); }, false},
        {"block over 10240 samples", [](auto& b) { PutLe16(b, 10 + 6, 10241); }, false},
        // The stream says more than the block holds, or ends early: the block keeps its size.
        {"stream longer than its block", [](auto& b) { PutLe16(b, 10 + 6, 100); }, true},
        {"stream cut short", [](auto& b) { PutLe16(b, 10 + 4, 40); }, true},
    };
    int32_t id = 1100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> item = good;
        c.damage(item);
        items.Put(++id, item);
        const CSoundClip* clip = list.LoadClip(id);
        EXPECT_EQ(clip != nullptr, c.loads);
        if (clip) {
            uint32_t declared = 0;
            for (int b = 0; b < 2; ++b) declared += static_cast<uint32_t>(item[10 + 8 * b + 6] | item[10 + 8 * b + 7] << 8);
            EXPECT_EQ(clip->length, declared);
        }
    }
}

TEST_F(SoundListTest, NegativeIdIsAReversedCopyKeptApart) {
    const auto s = Ramp(25000, 5);  // three blocks, the last partly filled
    items.Put(1005, EncodeSndCompressed(s));
    const CSoundClip* forward = list.LoadClip(1005);
    const CSoundClip* backward = list.LoadClip(-1005);
    ASSERT_TRUE(forward && backward);
    EXPECT_NE(forward, backward);
    EXPECT_EQ(backward->id, -1005);
    std::vector<uint8_t> reversed = forward->Samples();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(backward->Samples(), reversed);
    EXPECT_EQ(list.LoadClip(-1005), backward);
    // Reversing keeps the block sizes, also around empty blocks.
    CSoundClip odd;
    odd.blocks = MakeSoundBlocks(20480);
    odd.blocks.insert(odd.blocks.begin(), CSoundBlock{});
    for (size_t i = 0; i < 20480; ++i) odd.blocks[1 + i / 10240].samples[i % 10240] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> want = odd.Samples();
    std::reverse(want.begin(), want.end());
    ReverseSoundClip(odd);
    EXPECT_EQ(odd.Samples(), want);
}

TEST_F(SoundListTest, FailedLoadClosesTheModuleFileItOpened) {
    items.openedModule = 4;
    EXPECT_EQ(list.LoadClip(4321), nullptr);  // no such item
    EXPECT_EQ(items.closeCalls, 1);
    items.Put(4322, Ramp(10));
    EXPECT_NE(list.LoadClip(4322), nullptr);  // loaded: the file stays open
    EXPECT_EQ(items.closeCalls, 1);
    items.failOpen = true;
    items.Put(4323, Ramp(10));
    EXPECT_EQ(list.LoadClip(4323), nullptr);
}

// File references resolve in the preference folder only, which the sound preferences name.
class SoundFileRefTest : public SoundListTest {
protected:
    void SetUp() override {
        SoundListTest::SetUp();
        tmp = std::filesystem::temp_directory_path() /
              ("zelbo-sound-" + std::to_string(std::random_device{}()) + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(tmp / "c" / "KIDS" / "KID001");
        plat::SetEmulatedRoot(tmp / "c");
        prefs.prefsFolder = "C:\\KIDS\\KID001\\";
        Put("KIDS/KID001/REC1.RAW", Ramp(12000));
        Put("KIDS/SECRET.RAW", Ramp(100));
        Put("SECRET.RAW", Ramp(100));
    }
    void TearDown() override {
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(tmp, ec);
        SoundListTest::TearDown();
    }
    void Put(const std::string& rel, const std::vector<uint8_t>& bytes) {
        std::ofstream(tmp / "c" / rel, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                               static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<uint8_t> Ref(const std::string& name) {
        std::vector<uint8_t> b{0x46, 0x45, 0, 0};
        for (char c : name) b.push_back(static_cast<uint8_t>(c));
        b.push_back(0);
        return b;
    }
    std::filesystem::path tmp;
};

TEST_F(SoundFileRefTest, LoadsTheWholeFileFromThePlayersFolder) {
    items.Put(1001, EncodeSndFileRef("rec1.raw"));  // found without regard to case
    const CSoundClip* clip = list.LoadClip(1001);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->Samples(), Ramp(12000));
    EXPECT_EQ(clip->blocks.size(), 2u);
}

TEST_F(SoundFileRefTest, RefusesNamesThatLeaveTheFolderOrHaveNoEnd) {
    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"parent", Ref("..\\SECRET.RAW")},
        {"two up", Ref("..\\..\\SECRET.RAW")},
        {"rooted", Ref("\\SECRET.RAW")},
        {"drive", Ref("C:SECRET.RAW")},
        {"slash", Ref("../SECRET.RAW")},
        {"dots", Ref("..")},
        {"empty", Ref("")},
        {"missing", Ref("NONE.RAW")},
        {"too long", Ref(std::string(65, 'A'))},
        {"no end", {0x46, 0x45, 0, 0, 'R', 'E', 'C', '1'}},
        {"tag only", {0x46, 0x45, 0, 0}},
    };
    int32_t id = 1200;
    for (const auto& [name, item] : cases) {
        items.Put(++id, item);
        EXPECT_EQ(list.LoadClip(id), nullptr) << name;
    }
    prefs.prefsFolder.clear();
    items.Put(++id, Ref("REC1.RAW"));
    EXPECT_EQ(list.LoadClip(id), nullptr) << "no preference folder";
}

// With output open on the headless device.
class SoundPlayTest : public SoundListTest {
protected:
    void SetUp() override {
        SoundListTest::SetUp();
        ASSERT_EQ(list.OpenOutput(), 1);
    }
};

TEST_F(SoundPlayTest, MissingClipsDoNotClaimChannels) {
    items.Put(1010, EncodeSndPlain(std::vector<uint8_t>(11025 * 3, 0x99)));
    const uint16_t first = list.PlayClip(1010, 0);
    ASSERT_GE(first, 1);
    ASSERT_LE(first, 8);
    for (int i = 0; i < 8; ++i) {
        const uint16_t ch = list.PlayClip(1999, 0);  // no such item
        EXPECT_GE(ch, 1);
        EXPECT_LE(ch, 8);
    }
    hl->Advance(50);
    items.Put(1011, EncodeSndPlain(std::vector<uint8_t>(2000, 0x70)));
    const uint16_t ninth = list.PlayClip(1011, 0);
    EXPECT_NE(ninth, first);  // an idle channel, not the one still playing
    EXPECT_TRUE(list.IsPlaying(first));
    EXPECT_TRUE(list.IsPlaying(ninth));
}

TEST_F(SoundPlayTest, PlayClipFollowsWhatTheChannelPlays) {
    const auto a = std::vector<uint8_t>(3000, 0xA0), b = std::vector<uint8_t>(3000, 0x50);
    items.Put(1020, EncodeSndPlain(a));
    items.Put(1021, EncodeSndPlain(b));
    const size_t start = hl->PlayedAudio().size();
    const uint16_t ch = list.PlayClip(1020, 3);
    EXPECT_EQ(ch, 3);
    EXPECT_EQ(list.PlayClip(1021, 3), 3);
    EXPECT_TRUE(list.IsPlaying(3));
    EXPECT_TRUE(list.IsPlaying(-1));
    EXPECT_FALSE(list.IsPlaying(4));
    EXPECT_FALSE(list.IsPlaying(9));
    hl->Advance(1500);
    // The first clip whole from the start; the second after it, whole. (The first was already
    // mixed into the buffers in flight, so the second starts with the next buffer filled.)
    std::vector<uint8_t> first{0x80, 0x80}, second{0x80, 0x80};
    first.insert(first.end(), a.begin(), a.end());
    second.insert(second.end(), b.begin(), b.end());
    const auto& played = hl->PlayedAudio();
    ASSERT_GE(played.size(), start + first.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), played.begin() + static_cast<std::ptrdiff_t>(start)));
    const auto at = std::search(played.begin(), played.end(), second.begin(), second.end());
    ASSERT_NE(at, played.end());
    EXPECT_GE(static_cast<size_t>(at - played.begin()), start + first.size());
    EXPECT_LE(static_cast<size_t>(at - played.begin()), start + 3 * 1378);
    EXPECT_FALSE(list.IsPlaying(-1));
}

TEST_F(SoundPlayTest, OwnVolumeIsSetWhenOutputOpens) {
    prefs.useOwnVolume = true;
    prefs.volumePercent = 50;
    ASSERT_EQ(list.OpenOutput(), 1);
    EXPECT_EQ(mixer.GetVolume(), 0x7FFF7FFFu);
    // Closing gives back the volume found at the last open; without the preference it stays so.
    prefs.useOwnVolume = false;
    prefs.volumePercent = 10;
    ASSERT_EQ(list.OpenOutput(), 1);
    EXPECT_EQ(mixer.GetVolume(), 0xFFFFFFFFu);
}

TEST_F(SoundPlayTest, DeactivationFreesTheClipsAndActivationLoadsThemAgain) {
    const std::vector<uint8_t> samples(5000, 0xB0);
    items.Put(1030, EncodeSndPlain(samples));
    ASSERT_NE(list.LoadClip(1030), nullptr);
    list.PlayClip(1030, 0);
    hl->Advance(100);
    list.SetActive(false);
    EXPECT_FALSE(hl->AudioOpen());
    EXPECT_FALSE(list.IsPlaying(-1));
    EXPECT_EQ(list.ClipCount(), 0u) << "every clip is freed";
    list.SetActive(true);
    EXPECT_TRUE(hl->AudioOpen());
    EXPECT_TRUE(list.IsOutputOpen());
    const size_t start = hl->PlayedAudio().size();
    const uint16_t ch = list.PlayClip(1030, 0);
    EXPECT_EQ(list.ClipCount(), 1u) << "loaded again on demand";
    EXPECT_TRUE(list.IsPlaying(ch));
    hl->Advance(1000);
    EXPECT_FALSE(list.IsPlaying(ch));
    const std::vector<uint8_t> played(hl->PlayedAudio().begin() + static_cast<std::ptrdiff_t>(start),
                                      hl->PlayedAudio().end());
    EXPECT_EQ(std::count(played.begin(), played.end(), 0xB0), static_cast<std::ptrdiff_t>(samples.size()))
        << "the reloaded clip plays whole";
    list.StopAll();
    EXPECT_EQ(list.ClipCount(), 0u);
}

// The mixer's tick runs on the timer's thread: deactivating (which frees the clips) while it
// ticks must never leave it reading a freed clip. AddressSanitizer reports such a read, and
// ThreadSanitizer (README) a missing lock.
TEST_F(SoundPlayTest, DeactivationWhileTheTimerTicksNeverPlaysAFreedClip) {
    for (int32_t id = 1070; id < 1074; ++id) {
        std::vector<uint8_t> s(12000 + 1000 * (id - 1070));
        for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>(0x90 + (i + id) % 40);
        items.Put(id, EncodeSndPlain(s));
    }
    std::atomic<bool> done{false};
    std::thread ticker([&] {
        while (!done.load()) {
            mixer.Tick();
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 40; ++round) {
        for (int32_t id = 1070; id < 1074; ++id) list.PlayClip(round % 2 ? id : -id, 0);
        hl->Advance(20 + round % 3 * 30);
        list.SetActive(false);
        EXPECT_EQ(list.ClipCount(), 0u);
        hl->Advance(5);
        list.SetActive(true);
    }
    done = true;
    ticker.join();
    EXPECT_TRUE(list.IsOutputOpen());
}

TEST_F(SoundPlayTest, StopsAndFreesEverything) {
    items.Put(1040, EncodeSndPlain(std::vector<uint8_t>(20000, 0xB0)));
    const uint16_t a = list.PlayClip(1040, 1), b = list.PlayClip(-1040, 2);
    hl->Advance(30);
    list.StopChannel(a);
    EXPECT_FALSE(list.IsPlaying(a));
    EXPECT_TRUE(list.IsPlaying(b));
    list.FreeAll();
    EXPECT_FALSE(list.IsPlaying(-1));
    EXPECT_EQ(list.ClipCount(), 0u);
    EXPECT_FALSE(mixer.IsRunning());
}

// A spoken clip and an effect played together: what the device plays is their sum, saturated.
TEST_F(SoundPlayTest, SpokenClipAndEffectMixToTheirSaturatedSum) {
    // Five spoken words (or their tones), raised so that the sum with the effect saturates.
    std::vector<uint8_t> voice;
    for (const char* word : {"sju", "plus", "tre", "\xE4r", "tio"}) {
        std::vector<uint8_t> spoken;
        std::string error;
        ASSERT_TRUE(SpeakOrTone(word, false, spoken, &error)) << error;
        for (uint8_t s : spoken) voice.push_back(static_cast<uint8_t>(std::clamp(128 + (s - 128) * 3 / 2, 0, 255)));
    }
    const std::vector<uint8_t> effect = SynthEffect("whoosh");
    ASSERT_GT(voice.size(), 3 * 1378u + effect.size() / 2);
    items.Put(1060, EncodeSndCompressed(voice));
    items.Put(1061, EncodeSndPlain(effect));
    const size_t start = hl->PlayedAudio().size();
    const uint16_t a = list.PlayClip(1060, 0);
    const uint16_t b = list.PlayClip(1061, 0);
    ASSERT_NE(a, b);
    while (list.IsPlaying(-1)) hl->Advance(10);
    const std::vector<uint8_t> v = list.LoadClip(1060)->Samples();
    const std::vector<uint8_t> e = list.LoadClip(1061)->Samples();
    const std::vector<uint8_t> played(hl->PlayedAudio().begin() + static_cast<std::ptrdiff_t>(start),
                                      hl->PlayedAudio().end());

    // The effect, queued while the voice runs, starts with the output buffer after the three in
    // flight (3 × 1378 samples).
    const size_t offset = 3 * 1378;
    std::vector<uint8_t> want(std::max(v.size(), offset + e.size()));
    size_t saturated = 0;
    for (size_t i = 0; i < want.size(); ++i) {
        const int x = i < v.size() ? v[i] : 0x80;
        const int y = i >= offset && i - offset < e.size() ? e[i - offset] : 0x80;
        const int sum = x + y - 128;
        want[i] = static_cast<uint8_t>(std::clamp(sum, 0, 255));
        if (sum < 0 || sum > 255) ++saturated;
    }
    ASSERT_GE(played.size(), want.size());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), played.begin()));
    EXPECT_GT(saturated, 0u);
    // The voice came through the delta coder.
    int worst = 0;
    for (size_t i = 0; i < voice.size(); ++i) worst = std::max(worst, std::abs(int(v[i]) - voice[i]));
    EXPECT_LE(worst, 8);
}

TEST(SoundNoDeviceTest, MissingDeviceGivesASilentWorkingList) {
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    plat::ResetWaveOut();
    hl.SetAudioDevicePresent(false);
    CSoundItemMap items;
    items.Put(1001, EncodeSndPlain(Ramp(100)));
    CSoundMixer mixer;
    CSoundList list(mixer);
    ISoundItems* const saved = SetSoundItems(&items);
    EXPECT_EQ(list.OpenOutput(), 0);
    EXPECT_EQ(list.PlayClip(1001, 0), kSoundNotOpen);
    EXPECT_FALSE(list.IsPlaying(-1));
    list.StopChannel(-1);
    list.StopAll();
    list.SetActive(false);
    list.SetActive(true);
    list.PlayAndWait(1001, 50);  // returns at once
    EXPECT_NE(list.LoadClip(1001), nullptr);  // preloading still works
    SetSoundItems(saved);
}

// PlayAndWait ends on a queued click or key (which then reaches its window) or at the end.
TEST_F(SoundPlayTest, PlayAndWaitEndsOnAClickOrKeyOrWhenTheSoundEnds) {
    static std::vector<UINT> seen;
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_LBUTTONDOWN || m == WM_KEYDOWN) seen.push_back(m);
        return DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = "PlayAndWaitTest";
    RegisterClass(&wc);
    HWND w = CreateWindow("PlayAndWaitTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SetFocus(w);
    items.Put(1050, EncodeSndPlain(std::vector<uint8_t>(11025 * 2, 0xA8)));  // two seconds

    struct Case {
        const char* name;
        int input;  // 0 none, 1 click, 2 key
        UINT message;
    };
    for (const Case& c : {Case{"click", 1, WM_LBUTTONDOWN}, Case{"key", 2, WM_KEYDOWN}, Case{"none", 0, 0}}) {
        SCOPED_TRACE(c.name);
        seen.clear();
        const uint64_t t0 = hl->NowMs();
        if (c.input == 1) hl->Click(t0 + 300, 100, 100);
        if (c.input == 2) hl->Key(t0 + 300, 'A');
        list.PlayAndWait(1050, 100);
        const uint64_t took = hl->NowMs() - t0;
        EXPECT_EQ(mixer.GetVolume(), 0xFFFFFFFFu);
        if (c.input) {
            EXPECT_GE(took, 300u);
            EXPECT_LE(took, 300u + kMixTimerPeriodMs);
            EXPECT_EQ(seen, std::vector<UINT>{c.message});
            EXPECT_TRUE(list.IsPlaying(-1));  // the sound plays on
        } else {
            EXPECT_GE(took, 2000u);
            EXPECT_LE(took, 2000u + 400u);
            EXPECT_TRUE(seen.empty());
        }
        list.StopAll();
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }
    DestroyWindow(w);
}

// While PlayAndWait waits, every message passes the installed filter first; what the filter
// handles is not dispatched, and with the neutral filter everything is.
TEST_F(SoundPlayTest, PlayAndWaitPassesMessagesThroughTheInstalledFilter) {
    static int dispatched = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_USER + 7) ++dispatched;
        return DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = "PlayAndWaitFilterTest";
    RegisterClass(&wc);
    HWND w = CreateWindow("PlayAndWaitFilterTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                          nullptr);
    ASSERT_NE(w, nullptr);
    items.Put(1051, EncodeSndPlain(std::vector<uint8_t>(1103, 0xA8)));  // a tenth of a second

    struct Filter : ISoundMessageFilter {
        int handled = 0;
        bool PreTranslateMessage(MSG& msg) override {
            if (msg.message != WM_USER + 7) return false;
            ++handled;
            return true;
        }
    } filter;
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "filter" : "neutral");
        dispatched = filter.handled = 0;
        ISoundMessageFilter* const saved = installed ? SetSoundMessageFilter(&filter) : nullptr;
        PostMessage(w, WM_USER + 7, 0, 0);
        list.PlayAndWait(1051, 100);
        if (installed) SetSoundMessageFilter(saved);
        EXPECT_EQ(dispatched, installed ? 0 : 1);
        EXPECT_EQ(filter.handled, installed ? 1 : 0);
        list.StopAll();
    }
    DestroyWindow(w);
}

}  // namespace
