// The toolbox's sound calls on the headless back end, clips read from memory.
#include "engine/scene/sound_toolbox.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/scene/scene_test_support.h"
#include "media/res/res_items_test_support.h"
#include "media/sound/snd_encoder.h"
#include "media/sound/sound_clip.h"
#include "media/sound/sound_sources.h"
#include "platform/audio/wave_out.h"
#include "platform/headless/headless_backend.h"

namespace {

class SoundToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetWaveOut();
        hl.SetQueryStep(0);
        savedItems = SetSoundItems(&items);
        resources.module = 3;
        scene.sounds = &list;
        // 3005: a second of rising samples; 3006: a tenth of a second.
        std::vector<uint8_t> rising(11025);
        for (size_t i = 0; i < rising.size(); ++i) rising[i] = static_cast<uint8_t>(i % 200 + 20);
        items.Put(3005, EncodeSndPlain(rising));
        items.Put(3006, EncodeSndPlain(std::vector<uint8_t>(1103, 0xA8)));
        ASSERT_EQ(list.OpenOutput(), 1);
    }
    void TearDown() override {
        list.FreeAll();
        SetSoundItems(savedItems);
    }

    plat::HeadlessBackend& hl = plat::InstallHeadless();
    CSoundItemMap items;
    ISoundItems* savedItems = nullptr;
    itemtest::CTestHost resources;
    scenetest::CFakeSceneHost scene;
    CSoundMixer mixer;
    CSoundList list{mixer};
};

TEST_F(SoundToolboxTest, RelativeIdsKeepTheirSignAndPlayOnAChannel) {
    EXPECT_EQ(SoundIdOf(5), 3005);
    EXPECT_EQ(SoundIdOf(-5), -3005);
    EXPECT_EQ(SoundIdOf(-1005), -3005);  // the remainder, sign kept
    const int16_t ch = PlaySnd(-5, 0);
    ASSERT_GE(ch, 1);
    ASSERT_LE(ch, 8);
    EXPECT_EQ(list.ClipCount(), 1u);
    const CSoundClip* reversed = list.LoadClip(-3005);
    ASSERT_NE(reversed, nullptr);
    EXPECT_EQ(list.ClipCount(), 1u);  // the clip played was the reversed one
    EXPECT_EQ(reversed->id, -3005);

    EXPECT_TRUE(IsSndPlaying(-1));
    EXPECT_TRUE(IsSndPlaying(ch));
    EXPECT_FALSE(IsSndPlaying(ch % 8 + 1));
    EXPECT_FALSE(IsSndPlaying(9));
    EXPECT_FALSE(IsSndPlaying(0));
    EXPECT_EQ(PlaySnd(6, 7), 7);
    PreloadSnd(-6);
    EXPECT_EQ(list.ClipCount(), 3u);
    StopAllSnds();
    EXPECT_FALSE(IsSndPlaying(-1));
    EXPECT_EQ(list.ClipCount(), 0u);  // temporary clips go
    hl.Advance(2000);
    EXPECT_EQ(PlaySndFree(5) > 0, true);
    FreeAllSnds();
    EXPECT_FALSE(IsSndPlaying(-1));
}

TEST_F(SoundToolboxTest, WithSoundOffPlaysAnswerMinusOne) {
    CSoundMixer otherMixer;
    CSoundList closed{otherMixer};  // output never opened
    scene.sounds = &closed;
    EXPECT_EQ(PlaySnd(5, 0), -1);
    EXPECT_EQ(PlaySndFree(5), -1);
    EXPECT_FALSE(IsSndPlaying(-1));
    scene.sounds = nullptr;  // no sound list at all
    EXPECT_EQ(PlaySnd(5, 2), -1);
    SetSndVolume(5, 50);
    PreloadSnd(5);
    StopAllSnds();
    FreeAllSnds();
}

// SetSndVolume is cut short by a button press, dispatched after it, and ends at once while a
// close is pending.
TEST_F(SoundToolboxTest, SetSndVolumeEndsOnAClickOrAPendingClose) {
    static int presses = 0;
    presses = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_LBUTTONDOWN) ++presses;
        return DefWindowProc(h, m, w, l);
    };
    wc.lpszClassName = "SetSndVolumeTest";
    RegisterClass(&wc);
    HWND w = CreateWindow("SetSndVolumeTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                          nullptr);
    ASSERT_NE(w, nullptr);

    uint64_t start = plat::NowMs64();
    hl.Click(start + 200, 20, 20);
    SetSndVolume(5, 50);
    EXPECT_EQ(presses, 1);
    EXPECT_GE(plat::NowMs64(), start + 200);
    EXPECT_LT(plat::NowMs64(), start + 900);  // the clip lasts a second
    DWORD volume = 0;
    waveOutGetVolume(nullptr, &volume);
    EXPECT_EQ(volume & 0xFFFF, 32767u);

    scene.closePending = true;
    start = plat::NowMs64();
    SetSndVolume(5, 100);
    EXPECT_EQ(plat::NowMs64(), start);
    DestroyWindow(w);
}

TEST_F(SoundToolboxTest, WaveVolumeFollowsTheDevice) {
    EXPECT_NE(CanSetWaveVolume(), 0);
    list.FreeAll();
    plat::ResetWaveOut();
    hl.SetAudioDevicePresent(false);
    EXPECT_EQ(CanSetWaveVolume(), 0);
}

}  // namespace
