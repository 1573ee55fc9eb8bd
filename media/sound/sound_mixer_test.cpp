#include "media/sound/sound_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/audio/wave_out.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr uint32_t kChunk = 1378;  // 11025 × 2 / 16

std::vector<uint8_t> Filled(size_t n, uint8_t value) { return std::vector<uint8_t>(n, value); }

// Where needle occurs in hay, or npos.
size_t Find(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle, size_t from = 0) {
    auto it = std::search(hay.begin() + static_cast<std::ptrdiff_t>(std::min(from, hay.size())), hay.end(),
                          needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

uint8_t Mix(uint8_t a, uint8_t b) { return MixTable()[a + b]; }

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl = &plat::InstallHeadless();
        plat::ResetWaveOut();
        hl->SetQueryStep(0);  // the clock moves only when a test says so
        ASSERT_EQ(mixer.Open(11025, 1750), MMSYSERR_NOERROR);
    }

    const std::vector<uint8_t>& Played() { return hl->PlayedAudio(); }

    plat::HeadlessBackend* hl = nullptr;
    CSoundMixer mixer;
};

TEST(MixTableTest, SaturatesInsteadOfWrapping) {
    const auto& t = MixTable();
    for (int i = 0; i < 512; ++i) EXPECT_EQ(t[i], std::clamp(i - 256, -128, 127) + 128) << i;
    // Silence is neutral, full scale saturates at both ends.
    EXPECT_EQ(Mix(0x80, 0x37), 0x37);
    EXPECT_EQ(Mix(255, 255), 255);
    EXPECT_EQ(Mix(0, 0), 0);
    EXPECT_EQ(Mix(200, 100), 172);
}

// The pure mixing function: two full-scale channels into one buffer, through the table.
TEST(MixChannelsTest, TwoFullScaleChannelsSaturate) {
    struct Case {
        uint8_t a, b, expected;
    };
    for (const Case& c : {Case{255, 255, 255}, Case{0, 0, 0}, Case{255, 0, 127}, Case{240, 250, 255},
                          Case{10, 20, 0}, Case{0x90, 0x70, 0x80}}) {
        std::array<CMixChannel, kMixChannels> channels{};
        for (int i = 0; i < kMixChannels; ++i) {
            channels[i].index = static_cast<int16_t>(i);
            channels[i].chunk = 64;
        }
        const auto a = Filled(100, c.a), b = Filled(100, c.b);
        channels[2].Append(a.data(), 100);
        channels[6].Append(b.data(), 100);
        std::vector<uint8_t> out(64);
        EXPECT_EQ(MixChannels(channels, out), (1u << 2) | (1u << 6));
        EXPECT_EQ(out, Filled(64, c.expected)) << int(c.a) << " + " << int(c.b);
    }
}

TEST(MixChannelsTest, ChannelQueueCrossesBuffersAndTakesAtMost32) {
    std::array<CMixChannel, kMixChannels> channels{};
    for (int i = 0; i < kMixChannels; ++i) {
        channels[i].index = static_cast<int16_t>(i);
        channels[i].chunk = 100;
    }
    std::vector<std::vector<uint8_t>> pieces;
    for (int k = 0; k < 33; ++k) pieces.push_back(Filled(7, static_cast<uint8_t>(10 + k)));
    for (int k = 0; k < 33; ++k) EXPECT_EQ(channels[0].Append(pieces[k].data(), 7), k < 32) << k;

    std::vector<uint8_t> all, out(100);
    for (int fill = 0; fill < 4; ++fill) {
        MixChannels(channels, out);
        all.insert(all.end(), out.begin(), out.end());
    }
    std::vector<uint8_t> expected;
    for (int k = 0; k < 32; ++k) expected.insert(expected.end(), 7, static_cast<uint8_t>(10 + k));
    expected.resize(400, 0x80);
    EXPECT_EQ(all, expected);  // 32 pieces back to back, the 33rd never
    EXPECT_EQ(channels[0].state, 1);  // the fourth fill found nothing: all mixed, not yet heard
}

TEST_F(MixerTest, RefusesBadQueueCalls) {
    const auto s = Filled(10, 0x90);
    EXPECT_EQ(mixer.Queue(8, s.data(), 10, false), kMixRefused);
    EXPECT_EQ(mixer.Queue(-2, s.data(), 10, false), kMixRefused);
    EXPECT_EQ(mixer.Queue(0, nullptr, 10, false), kMixRefused);
    EXPECT_EQ(mixer.Queue(0, s.data(), 0, false), kMixRefused);
    EXPECT_TRUE(mixer.IsChannelIdle(9));
    EXPECT_TRUE(mixer.IsChannelIdle(-1));
    EXPECT_TRUE(mixer.AllIdle());
    EXPECT_FALSE(mixer.IsRunning());
}

TEST_F(MixerTest, ThirtyThirdBufferOnAChannelIsNotPlayed) {
    std::vector<std::vector<uint8_t>> pieces;
    for (int k = 0; k < 33; ++k) pieces.push_back(Filled(50, static_cast<uint8_t>(150 + k)));
    mixer.Hold(3);
    for (auto& p : pieces) EXPECT_EQ(mixer.Queue(3, p.data(), 50, true), 3);
    const size_t start = Played().size();
    mixer.Release(3);
    hl->Advance(1000);
    std::vector<uint8_t> expected;
    for (int k = 0; k < 32; ++k) expected.insert(expected.end(), 50, static_cast<uint8_t>(150 + k));
    EXPECT_EQ(Find(Played(), expected), start);
    EXPECT_EQ(std::count(Played().begin(), Played().end(), uint8_t{150 + 32}), 0);
    EXPECT_TRUE(mixer.IsChannelIdle(3));
}

TEST_F(MixerTest, FreeChannelSearchRotatesAndFallsBackToTheEarliestStarted) {
    const auto s = Filled(11025 * 4, 0x88);
    // Channel 5 first, then seven free ones: the search hands them out in rotation.
    ASSERT_EQ(mixer.Queue(5, s.data(), static_cast<int32_t>(s.size()), false), 5);
    std::vector<int> got;
    for (int i = 0; i < 7; ++i) {
        hl->Advance(10);
        got.push_back(mixer.Queue(-1, s.data(), static_cast<int32_t>(s.size()), false));
    }
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2, 3, 4, 6, 7}));
    for (int i = 0; i < kMixChannels; ++i) EXPECT_FALSE(mixer.IsChannelIdle(i)) << i;
    EXPECT_LT(mixer.ChannelStartTime(5), mixer.ChannelStartTime(0));
    // All eight busy: the one started longest ago, again and again (it is not claimed).
    EXPECT_EQ(mixer.FindFreeChannel(), 5);
    EXPECT_EQ(mixer.FindFreeChannel(), 5);
    // A stopped channel is free again, and claimed once handed out.
    mixer.StopChannel(2);
    EXPECT_EQ(mixer.FindFreeChannel(), 2);
    EXPECT_EQ(mixer.FindFreeChannel(), 5);
    mixer.Unclaim(2);
    EXPECT_EQ(mixer.FindFreeChannel(), 2);
}

TEST_F(MixerTest, ReplacingCutsTheOldSoundAndDeferringFollowsIt) {
    for (bool deferred : {false, true}) {
        SCOPED_TRACE(deferred ? "deferred" : "replacing");
        hl->ClearPlayedAudio();
        const auto a = Filled(6000, 0xA0), b = Filled(3000, 0x60);
        ASSERT_EQ(mixer.Queue(0, a.data(), 6000, false), 0);
        hl->Advance(200);
        ASSERT_EQ(mixer.Queue(0, b.data(), 3000, deferred), 0);
        hl->Advance(2000);
        const auto& p = Played();
        const size_t bAt = Find(p, b);
        ASSERT_NE(bAt, std::string::npos);  // the new sound whole, from its first sample
        const auto aCount = std::count(p.begin(), p.end(), uint8_t{0xA0});
        if (deferred) {
            EXPECT_EQ(aCount, 6000);
            EXPECT_EQ(Find(p, a), bAt - 6000);  // back to back
        } else {
            EXPECT_LT(aCount, 6000);
            EXPECT_GT(aCount, 0);
            EXPECT_EQ(std::count(p.begin() + static_cast<std::ptrdiff_t>(bAt), p.end(), uint8_t{0xA0}), 0);
        }
        EXPECT_TRUE(mixer.AllIdle());
    }
}

TEST_F(MixerTest, SoundQueuedWhileRunningIsHeardWholeFromTheNextOutputBuffer) {
    const auto background = Filled(11025 * 4, 0x90);
    ASSERT_EQ(mixer.Queue(1, background.data(), static_cast<int32_t>(background.size()), false), 1);
    const size_t outputStart = Played().size();
    for (int delay : {5, 37, 130}) {
        SCOPED_TRACE(delay);
        hl->Advance(delay);
        std::vector<uint8_t> ramp(2000);
        for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(0x40 + (i * 7 + delay) % 0x80);
        ASSERT_EQ(mixer.Queue(0, ramp.data(), 2000, false), 0);
        hl->Advance(800);
        std::vector<uint8_t> expected(ramp.size());
        for (size_t i = 0; i < ramp.size(); ++i) expected[i] = Mix(ramp[i], 0x90);
        const size_t at = Find(Played(), expected);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ((at - outputStart) % kChunk, 0u);  // at the start of an output buffer
        EXPECT_TRUE(mixer.IsChannelIdle(0));
    }
}

TEST_F(MixerTest, ChannelPlaysUntilItsLastSampleHasBeenHeard) {
    // Long enough to reach the second output buffer, short enough to end in it.
    const auto s = Filled(1500, 0xC8);
    ASSERT_EQ(mixer.Queue(0, s.data(), 1500, false), 0);
    const auto heard = [&] { return std::count(Played().begin(), Played().end(), uint8_t{0xC8}); };
    uint64_t idleAt = 0;
    for (uint64_t t = 1; t < 1000 && !idleAt; ++t) {
        hl->Advance(1);
        if (mixer.IsChannelIdle(0)) idleAt = t;
    }
    ASSERT_GT(idleAt, 0u);
    EXPECT_EQ(heard(), 1500);
    // Its last samples lie in the second output buffer: idle once that has been played (250 ms).
    EXPECT_EQ(idleAt, 250u);
}

TEST_F(MixerTest, StopAllSilencesAtOnceAndOutputStopsCirculating) {
    const auto s = Filled(11025, 0xB0);
    mixer.Queue(0, s.data(), 11025, false);
    mixer.Queue(4, s.data(), 11025, false);
    hl->Advance(100);
    EXPECT_TRUE(mixer.IsRunning());
    mixer.StopAll();
    EXPECT_TRUE(mixer.AllIdle());
    EXPECT_FALSE(mixer.IsRunning());
    const size_t at = Played().size();
    hl->Advance(500);
    EXPECT_EQ(std::vector<uint8_t>(Played().begin() + static_cast<std::ptrdiff_t>(at), Played().end()),
              Filled(Played().size() - at, 0x80));
}

TEST_F(MixerTest, DeactivationReleasesTheDeviceAndActivationTakesItAgain) {
    EXPECT_TRUE(mixer.UsesTimer());
    EXPECT_TRUE(hl->AudioOpen());
    const auto s = Filled(5000, 0xB4);
    mixer.Queue(2, s.data(), 5000, false);
    hl->Advance(50);
    mixer.SetActive(false);
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_FALSE(hl->AudioOpen());
    EXPECT_FALSE(mixer.UsesTimer());
    EXPECT_TRUE(mixer.IsChannelIdle(2));
    EXPECT_EQ(mixer.Queue(2, s.data(), 5000, false), kMixRefused);
    hl->Advance(100);  // no timer, no device: nothing runs

    mixer.SetActive(true);
    EXPECT_TRUE(mixer.IsOpen());
    EXPECT_TRUE(mixer.UsesTimer());
    EXPECT_EQ(mixer.BytesPerBuffer(), kChunk);
    hl->ClearPlayedAudio();
    ASSERT_EQ(mixer.Queue(2, s.data(), 5000, false), 2);
    hl->Advance(1000);
    EXPECT_EQ(Find(Played(), s), 0u);
}

TEST_F(MixerTest, DeviceVolumeIsSavedAtOpenAndRestoredAtClose) {
    ASSERT_TRUE(mixer.CloseDevice());
    ASSERT_EQ(waveOutSetVolume(nullptr, 0x40004000), MMSYSERR_NOERROR);
    ASSERT_EQ(mixer.Open(11025, 1750), MMSYSERR_NOERROR);
    EXPECT_TRUE(mixer.SetVolume(0x10001000));
    EXPECT_EQ(mixer.GetVolume(), 0x10001000u);
    // Left in the high word of the mixer's volume, in the low word of the device's.
    EXPECT_TRUE(mixer.SetVolume(0xAAAA5555));
    DWORD device = 0;
    ASSERT_EQ(waveOutGetVolume(nullptr, &device), MMSYSERR_NOERROR);
    EXPECT_EQ(device, 0x5555AAAAu);
    EXPECT_EQ(mixer.GetVolume(), 0xAAAA5555u);
    EXPECT_TRUE(mixer.CloseDevice());
    EXPECT_FALSE(mixer.CloseDevice());
    EXPECT_EQ(mixer.GetVolume(), 0x40004000u);
}

TEST(MixerNoDeviceTest, MissingDeviceLeavesAQuietWorkingMixer) {
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    plat::ResetWaveOut();
    hl.SetAudioDevicePresent(false);
    CSoundMixer mixer;
    EXPECT_NE(mixer.Open(11025, 1750), MMSYSERR_NOERROR);
    EXPECT_FALSE(mixer.IsOpen());
    const auto s = Filled(100, 0x90);
    EXPECT_EQ(mixer.Queue(0, s.data(), 100, false), kMixRefused);
    EXPECT_TRUE(mixer.AllIdle());
    mixer.Tick();
    mixer.StopAll();
    mixer.StopChannel(0);
    mixer.SetActive(false);
    mixer.SetActive(true);  // tries again, still nothing
    EXPECT_FALSE(mixer.IsOpen());
    hl.Advance(100);
    EXPECT_TRUE(hl.PlayedAudio().empty());
}

// A mixer whose multimedia timer cannot be had.
class NoTimerMixer : public CSoundMixer {
protected:
    bool StartTimer() override { return false; }
};

// Runs the program's message loop for ms of virtual time.
void PumpMessages(plat::HeadlessBackend& hl, uint64_t ms) {
    const uint64_t end = hl.NowMs() + ms;
    while (hl.NowMs() < end) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - hl.NowMs()), QS_ALLINPUT);
    }
}

TEST(MixerWindowPumpTest, HiddenWindowDrivesTheTickWhenTheTimerFails) {
    struct Case {
        const char* name;
        DWORD version;
        bool failTimer;
        uint32_t bytes;
    };
    for (const Case& c : {Case{"timer failed", plat::kVersionWin95, true, kMixWindowBufferBytes},
                          Case{"Win32s", plat::kVersionWin32s, false, 1750}}) {
        SCOPED_TRACE(c.name);
        plat::HeadlessBackend& hl = plat::InstallHeadless();
        plat::ResetWaveOut();
        hl.SetQueryStep(0);
        plat::SetReportedVersion(c.version);
        std::unique_ptr<CSoundMixer> mixer = c.failTimer ? std::make_unique<NoTimerMixer>() : std::make_unique<CSoundMixer>();
        ASSERT_EQ(mixer->Open(11025, 1750), MMSYSERR_NOERROR);
        EXPECT_FALSE(mixer->UsesTimer());
        ASSERT_NE(mixer->Window(), nullptr);
        char name[32] = {};
        GetClassName(mixer->Window(), name, sizeof name);
        EXPECT_STREQ(name, "SoundMixer");
        EXPECT_FALSE(IsWindowVisible(mixer->Window()));
        EXPECT_FALSE(IsWindowEnabled(mixer->Window()));
        EXPECT_EQ(mixer->BytesPerBuffer(), c.bytes);

        // Longer than three output buffers: only the window's ticks can refill them.
        std::vector<uint8_t> s(c.bytes * 5);
        for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>(0x50 + i % 97);
        const size_t start = hl.PlayedAudio().size();
        ASSERT_EQ(mixer->Queue(0, s.data(), static_cast<int32_t>(s.size()), false), 0);
        PumpMessages(hl, s.size() * 1000 / 11025 + 400);
        EXPECT_EQ(Find(hl.PlayedAudio(), s), start);
        EXPECT_TRUE(mixer->IsChannelIdle(0));

        HWND window = mixer->Window();
        mixer->SetActive(false);
        EXPECT_FALSE(IsWindow(window));
        WNDCLASS wc;
        EXPECT_FALSE(GetClassInfo(nullptr, "SoundMixer", &wc));
        plat::SetReportedVersion(plat::kVersionWin95);
    }
}

// The timer's thread and the user-interface thread share the channels: ticks from a second
// thread while this one queues, stops and asks must leave every queued sound intact.
TEST_F(MixerTest, TicksFromAnotherThreadWhileQueueingAndStopping) {
    std::atomic<bool> done{false};
    std::thread ticker([&] {
        while (!done.load()) {
            mixer.Tick();
            std::this_thread::yield();
        }
    });
    std::vector<std::vector<uint8_t>> sounds;
    for (int k = 0; k < 8; ++k) sounds.push_back(Filled(700 + 50 * k, static_cast<uint8_t>(0x81 + k)));
    for (int round = 0; round < 200; ++round) {
        const int k = round % 8;
        const uint16_t ch = mixer.Queue(-1, sounds[k].data(), static_cast<int32_t>(sounds[k].size()), round % 3 == 0);
        EXPECT_LT(ch, kMixChannels);
        if (round % 5 == 0) mixer.StopChannel((round / 5) % kMixChannels);
        mixer.IsChannelIdle(k);
        mixer.AllIdle();
        if (round % 7 == 0) mixer.Hold(k), mixer.Release(k);
        hl->Advance(3);
    }
    mixer.StopAll();
    done = true;
    ticker.join();
    EXPECT_TRUE(mixer.AllIdle());
}

}  // namespace
