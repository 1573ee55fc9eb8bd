#include "platform/audio/wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/core/mmsystem.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr DWORD kRate = 11025;

WAVEFORMATEX MonoFormat() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = kRate;
    f.nAvgBytesPerSec = kRate;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    return f;
}

// A sample buffer with its header, as the program keeps them.
struct Buffer {
    std::vector<uint8_t> data;
    WAVEHDR hdr{};
    explicit Buffer(std::vector<uint8_t> bytes) : data(std::move(bytes)) {
        hdr.lpData = reinterpret_cast<LPSTR>(data.data());
        hdr.dwBufferLength = static_cast<DWORD>(data.size());
    }
    Buffer(size_t n, uint8_t value) : Buffer(std::vector<uint8_t>(n, value)) {}
    bool Done() const { return (hdr.dwFlags & WHDR_DONE) != 0; }
    bool Queued() const { return (hdr.dwFlags & WHDR_INQUEUE) != 0; }
};

// What the device played, without the silence around it.
std::vector<uint8_t> Heard() {
    const std::vector<uint8_t>& all = plat::Headless().PlayedAudio();
    std::vector<uint8_t> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out), [](uint8_t b) { return b != 0x80; });
    return out;
}

std::vector<uint8_t> Concat(std::initializer_list<const Buffer*> buffers) {
    std::vector<uint8_t> out;
    for (const Buffer* b : buffers) out.insert(out.end(), b->data.begin(), b->data.end());
    return out;
}

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        plat::ResetWaveOut();
        const WAVEFORMATEX fmt = MonoFormat();
        ASSERT_EQ(waveOutOpen(&m_dev, WAVE_MAPPER, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    }
    void TearDown() override {
        if (m_dev) {
            waveOutReset(m_dev);
            EXPECT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
        }
        plat::ResetWaveOut();
    }
    void Write(Buffer& b) {
        ASSERT_EQ(waveOutPrepareHeader(m_dev, &b.hdr, sizeof b.hdr), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(m_dev, &b.hdr, sizeof b.hdr), MMSYSERR_NOERROR);
    }
    // Advances the clock by the time n samples take, rounded up to whole milliseconds.
    static void Play(size_t n) { plat::Headless().Advance((n * 1000 + kRate - 1) / kRate); }

    HWAVEOUT m_dev = nullptr;
};

TEST_F(WaveOutTest, PlaysBuffersInOrderAndMarksEachDoneWhenItsLastByteIsPlayed) {
    Buffer a(300, 0x10);
    Buffer b(500, 0x20);
    Buffer c(200, 0x30);
    Write(a);
    Write(b);
    Write(c);
    EXPECT_TRUE(a.Queued() && b.Queued() && c.Queued());
    EXPECT_FALSE(a.Done());

    Play(350);
    EXPECT_TRUE(a.Done());
    EXPECT_FALSE(a.Queued());
    EXPECT_FALSE(b.Done());
    EXPECT_TRUE(b.Queued());

    Play(700);
    EXPECT_TRUE(b.Done() && c.Done());
    EXPECT_EQ(Heard(), Concat({&a, &b, &c}));

    MMTIME t{};
    t.wType = TIME_BYTES;
    ASSERT_EQ(waveOutGetPosition(m_dev, &t, sizeof t), MMSYSERR_NOERROR);
    EXPECT_EQ(t.u.cb, 1000u);
    t.wType = TIME_MS;
    ASSERT_EQ(waveOutGetPosition(m_dev, &t, sizeof t), MMSYSERR_NOERROR);
    EXPECT_EQ(t.u.ms, 1000u * 1000u / kRate);
}

// The mixer fills a buffer after it has queued it: the device must play what is in it when
// its turn comes, not what was there at waveOutWrite.
TEST_F(WaveOutTest, WriteIntoAQueuedBufferBeforeItPlaysIsHeard) {
    Buffer a(400, 0x11);
    Buffer b(400, 0x80);
    Write(a);
    Write(b);
    Play(200);  // a is half played, b waits
    std::fill(b.data.begin(), b.data.end(), 0x22);
    std::fill(a.data.begin() + 300, a.data.end(), 0x33);  // the part of a not yet played
    Play(700);
    ASSERT_TRUE(a.Done() && b.Done());

    std::vector<uint8_t> expected(200, 0x11);
    expected.insert(expected.end(), 100, 0x11);
    expected.insert(expected.end(), 100, 0x33);
    expected.insert(expected.end(), 400, 0x22);
    EXPECT_EQ(Heard(), expected);
}

TEST_F(WaveOutTest, ShorteningAQueuedBufferNeverReadsPastItsNewEnd) {
    Buffer a(400, 0x44);
    Write(a);
    Play(300);
    const size_t heard = Heard().size();
    ASSERT_GT(heard, 100u);
    a.hdr.dwBufferLength = 100;  // behind the read point
    Play(100);
    EXPECT_TRUE(a.Done());
    EXPECT_EQ(Heard().size(), heard);
}

TEST_F(WaveOutTest, PauseHoldsThePlayingBufferAndRestartGoesOn) {
    Buffer a(600, 0x55);
    Write(a);
    Play(200);
    ASSERT_EQ(waveOutPause(m_dev), MMSYSERR_NOERROR);
    const size_t heardBefore = Heard().size();
    plat::Headless().Advance(500);
    EXPECT_FALSE(a.Done());
    EXPECT_EQ(Heard().size(), heardBefore);  // silence while paused

    ASSERT_EQ(waveOutRestart(m_dev), MMSYSERR_NOERROR);
    Play(500);
    EXPECT_TRUE(a.Done());
    EXPECT_EQ(Heard(), a.data);
}

TEST_F(WaveOutTest, ResetMarksEveryQueuedBufferDoneAndLetsTheDeviceClose) {
    Buffer a(500, 0x61);
    Buffer b(500, 0x62);
    Write(a);
    Write(b);
    Play(100);
    EXPECT_EQ(waveOutClose(m_dev), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(m_dev, &b.hdr, sizeof b.hdr), WAVERR_STILLPLAYING);

    ASSERT_EQ(waveOutReset(m_dev), MMSYSERR_NOERROR);
    EXPECT_TRUE(a.Done() && b.Done());
    EXPECT_FALSE(a.Queued() || b.Queued());
    MMTIME t{};
    t.wType = TIME_BYTES;
    waveOutGetPosition(m_dev, &t, sizeof t);
    EXPECT_EQ(t.u.cb, 0u);

    const size_t heard = Heard().size();
    Play(1000);
    EXPECT_EQ(Heard().size(), heard);  // nothing of them plays after the reset
    EXPECT_EQ(waveOutUnprepareHeader(m_dev, &a.hdr, sizeof a.hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(a.hdr.dwFlags & WHDR_PREPARED, 0u);
    EXPECT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
    m_dev = nullptr;
}

TEST_F(WaveOutTest, HeaderStateErrors) {
    Buffer a(10, 0x70);
    EXPECT_EQ(waveOutWrite(m_dev, &a.hdr, sizeof a.hdr), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutPrepareHeader(m_dev, &a.hdr, sizeof a.hdr - 1), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveOutPrepareHeader(m_dev, &a.hdr, sizeof a.hdr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(m_dev, &a.hdr, sizeof a.hdr), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(m_dev, &a.hdr, sizeof a.hdr), WAVERR_STILLPLAYING);

    HWAVEOUT second = nullptr;
    const WAVEFORMATEX fmt = MonoFormat();
    EXPECT_EQ(waveOutOpen(&second, WAVE_MAPPER, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    EXPECT_EQ(second, nullptr);

    const auto bogus = reinterpret_cast<HWAVEOUT>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(waveOutWrite(bogus, &a.hdr, sizeof a.hdr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(bogus), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, AClosedHandleStaysInvalidAfterAReopen) {
    HWAVEOUT old = m_dev;
    ASSERT_EQ(waveOutClose(old), MMSYSERR_NOERROR);
    const WAVEFORMATEX fmt = MonoFormat();
    ASSERT_EQ(waveOutOpen(&m_dev, 0, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(m_dev, old);
    EXPECT_EQ(waveOutPause(old), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutTest, LoopPlaysItsBuffersDwLoopsTimesThenFinishes) {
    Buffer a(100, 0x01);
    Buffer b(50, 0x02);
    Buffer c(30, 0x03);
    a.hdr.dwFlags = WHDR_BEGINLOOP;
    a.hdr.dwLoops = 3;
    b.hdr.dwFlags = WHDR_ENDLOOP;
    Write(a);
    Write(b);
    Write(c);
    Play(160);
    EXPECT_FALSE(a.Done());  // loop buffers finish together, after the last pass
    Play(600);
    EXPECT_TRUE(a.Done() && b.Done() && c.Done());
    EXPECT_EQ(Heard(), Concat({&a, &b, &a, &b, &a, &b, &c}));
}

TEST_F(WaveOutTest, BreakLoopEndsTheLoopAfterThePassBeingPlayed) {
    Buffer a(100, 0x05);
    a.hdr.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    a.hdr.dwLoops = 0xFFFFFFFF;
    Write(a);
    Play(250);
    ASSERT_FALSE(a.Done());
    ASSERT_EQ(waveOutBreakLoop(m_dev), MMSYSERR_NOERROR);
    Play(200);
    EXPECT_TRUE(a.Done());
    EXPECT_EQ(Heard().size(), 300u);
}

struct VolumeCase {
    DWORD volume;
    uint8_t in;
    uint8_t out;
};

class WaveOutVolumeTest : public WaveOutTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(WaveOutVolumeTest, ScalesSamplesAroundTheMidpoint) {
    const VolumeCase& c = GetParam();
    ASSERT_EQ(waveOutSetVolume(m_dev, c.volume), MMSYSERR_NOERROR);
    DWORD got = 0;
    ASSERT_EQ(waveOutGetVolume(m_dev, &got), MMSYSERR_NOERROR);
    EXPECT_EQ(got, c.volume);
    Buffer a(64, c.in);
    Write(a);
    Play(64);
    ASSERT_TRUE(a.Done());
    const std::vector<uint8_t>& all = plat::Headless().PlayedAudio();
    ASSERT_GE(all.size(), 64u);
    EXPECT_EQ(all[0], c.out);
    EXPECT_EQ(all[63], c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Gains, WaveOutVolumeTest,
    ::testing::Values(VolumeCase{0xFFFFFFFF, 0xFF, 0xFF}, VolumeCase{0xFFFFFFFF, 0x00, 0x00},
                      VolumeCase{0x80008000, 0xFF, 0xC0}, VolumeCase{0x80008000, 0x00, 0x40},
                      VolumeCase{0x00000000, 0xFF, 0x80}, VolumeCase{0x00000000, 0x00, 0x80},
                      // mono plays at the mean of left (low word) and right
                      VolumeCase{0x0000FFFF, 0xFF, 0xC0}, VolumeCase{0xFFFF0000, 0x00, 0x40}));

TEST_F(WaveOutTest, VolumeIsADeviceSettingThatOutlivesTheHandle) {
    ASSERT_EQ(waveOutSetVolume(m_dev, 0x40004000), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
    m_dev = nullptr;
    DWORD v = 0;
    EXPECT_EQ(waveOutGetVolume(nullptr, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, 0x40004000u);
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<uintptr_t>(WAVE_MAPPER)), &v),
              MMSYSERR_NOERROR);
    WAVEOUTCAPS caps{};
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_NE(caps.dwSupport & WAVECAPS_VOLUME, 0u);
    EXPECT_NE(caps.dwFormats & WAVE_FORMAT_1M08, 0u);
}

// The callbacks a program may ask for: a function on the audio side, or messages to a window.
std::vector<std::pair<UINT, DWORD_PTR>> g_calls;
void CALLBACK RecordCall(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR) {
    EXPECT_EQ(instance, 77u);
    g_calls.emplace_back(msg, p1);
}

TEST_F(WaveOutTest, FunctionCallbackHearsOpenEachDoneInOrderAndClose) {
    ASSERT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
    g_calls.clear();
    const WAVEFORMATEX fmt = MonoFormat();
    ASSERT_EQ(waveOutOpen(&m_dev, WAVE_MAPPER, &fmt, reinterpret_cast<DWORD_PTR>(&RecordCall), 77,
                          CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffer a(100, 0x01);
    Buffer b(100, 0x02);
    Write(a);
    Write(b);
    Play(250);
    ASSERT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
    m_dev = nullptr;
    const std::vector<std::pair<UINT, DWORD_PTR>> expected = {{WOM_OPEN, 0},
                                                              {WOM_DONE, reinterpret_cast<DWORD_PTR>(&a.hdr)},
                                                              {WOM_DONE, reinterpret_cast<DWORD_PTR>(&b.hdr)},
                                                              {WOM_CLOSE, 0}};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(WaveOutTest, WindowCallbackPostsDoneForEachBufferIncludingThoseEndedByReset) {
    ASSERT_EQ(waveOutClose(m_dev), MMSYSERR_NOERROR);
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "WaveOutTestWindow";
    ASSERT_NE(RegisterClass(&wc), 0);
    HWND hwnd =
        CreateWindow("WaveOutTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    const WAVEFORMATEX fmt = MonoFormat();
    ASSERT_EQ(waveOutOpen(&m_dev, WAVE_MAPPER, &fmt, reinterpret_cast<DWORD_PTR>(hwnd), 0, CALLBACK_WINDOW),
              MMSYSERR_NOERROR);
    Buffer a(100, 0x01);
    Buffer b(100, 0x02);
    Write(a);
    Write(b);
    Play(120);
    waveOutReset(m_dev);

    std::vector<std::pair<UINT, LPARAM>> got;
    MSG msg;
    while (PeekMessage(&msg, hwnd, MM_WOM_OPEN, MM_WOM_DONE, PM_REMOVE)) {
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(m_dev));
        got.emplace_back(msg.message, msg.lParam);
    }
    const std::vector<std::pair<UINT, LPARAM>> expected = {{MM_WOM_OPEN, 0},
                                                           {MM_WOM_DONE, reinterpret_cast<LPARAM>(&a.hdr)},
                                                           {MM_WOM_DONE, reinterpret_cast<LPARAM>(&b.hdr)}};
    EXPECT_EQ(got, expected);
    DestroyWindow(hwnd);
}

// The mixer's timer thread writes and polls done flags while the clock runs on the UI thread.
TEST_F(WaveOutTest, BuffersWrittenFromAnotherThreadPlayInOrder) {
    constexpr int kBuffers = 3;
    constexpr int kRounds = 60;
    std::vector<std::unique_ptr<Buffer>> ring;
    for (int i = 0; i < kBuffers; ++i) {
        ring.push_back(std::make_unique<Buffer>(50, 0));
        ASSERT_EQ(waveOutPrepareHeader(m_dev, &ring.back()->hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ring.back()->hdr.dwFlags |= WHDR_DONE;
    }
    std::atomic<bool> finished{false};
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int round = 0; round < kRounds && !stop;) {
            Buffer& b = *ring[static_cast<size_t>(round % kBuffers)];
            if (!(std::atomic_ref<DWORD>(b.hdr.dwFlags).load() & WHDR_DONE)) {
                std::this_thread::yield();
                continue;
            }
            std::fill(b.data.begin(), b.data.end(), static_cast<uint8_t>(round + 1));
            ASSERT_EQ(waveOutWrite(m_dev, &b.hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            ++round;
        }
        finished = true;
    });
    // The clock moves only here: the writer waits for it, so this loop runs until the writer
    // is done however the threads are scheduled (a busy machine may starve the writer for many
    // rounds), and the writer is told to stop before it is joined.
    for (long i = 0; i < 50'000'000 && !finished; ++i) {
        plat::Headless().Advance(1);
        std::this_thread::yield();
    }
    stop = true;
    writer.join();
    ASSERT_TRUE(finished) << "the writer never got its buffers back";
    Play(kBuffers * 50);

    std::vector<uint8_t> heard = Heard();
    heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
    std::vector<uint8_t> expected;
    for (int round = 0; round < kRounds; ++round) expected.push_back(static_cast<uint8_t>(round + 1));
    EXPECT_EQ(heard, expected);
}

TEST(WaveOutFormat, OpensWithAPcmWaveFormatWithoutReadingBeyondIt) {
    plat::InstallHeadless();
    plat::ResetWaveOut();
    // Exactly the 16 bytes of a PCMWAVEFORMAT on the heap: reading cbSize would be caught.
    auto pcm = std::make_unique<PCMWAVEFORMAT>();
    pcm->wf.wFormatTag = WAVE_FORMAT_PCM;
    pcm->wf.nChannels = 1;
    pcm->wf.nSamplesPerSec = kRate;
    pcm->wf.nAvgBytesPerSec = kRate;
    pcm->wf.nBlockAlign = 1;
    pcm->wBitsPerSample = 8;
    const auto* fmt = reinterpret_cast<const WAVEFORMATEX*>(pcm.get());
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, fmt, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    HWAVEOUT dev = nullptr;
    ASSERT_EQ(waveOutOpen(&dev, WAVE_MAPPER, fmt, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(dev), MMSYSERR_NOERROR);
}

struct FormatCase {
    const char* name;
    WORD tag, channels, bits, align;
    DWORD rate;
};

class WaveOutRefusedFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WaveOutRefusedFormat, IsRefusedByQueryAndOpen) {
    plat::InstallHeadless();
    plat::ResetWaveOut();
    const FormatCase& c = GetParam();
    WAVEFORMATEX f = MonoFormat();
    f.wFormatTag = c.tag;
    f.nChannels = c.channels;
    f.wBitsPerSample = c.bits;
    f.nBlockAlign = c.align;
    f.nSamplesPerSec = c.rate;
    HWAVEOUT dev = nullptr;
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(&dev, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(dev, nullptr);
    EXPECT_FALSE(plat::Headless().AudioOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveOutRefusedFormat,
    ::testing::Values(FormatCase{"adpcm", 2, 1, 8, 1, kRate}, FormatCase{"stereo", 1, 2, 8, 2, kRate},
                      FormatCase{"sixteen", 1, 1, 16, 2, kRate}, FormatCase{"align", 1, 1, 8, 2, kRate},
                      FormatCase{"zerorate", 1, 1, 8, 1, 0}, FormatCase{"hugerate", 1, 1, 8, 1, 0x7FFFFFFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveOutNoDevice, EveryEntryFailsCleanly) {
    plat::InstallHeadless().SetAudioDevicePresent(false);
    plat::ResetWaveOut();
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEOUTCAPS caps{};
    EXPECT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutGetDevCaps(0, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    const WAVEFORMATEX fmt = MonoFormat();
    HWAVEOUT dev = reinterpret_cast<HWAVEOUT>(static_cast<uintptr_t>(1));
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &fmt, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutOpen(&dev, WAVE_MAPPER, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(dev, nullptr);
    EXPECT_EQ(waveOutOpen(&dev, 0, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&dev, 1, &fmt, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    DWORD v = 0;
    EXPECT_EQ(waveOutGetVolume(nullptr, &v), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutSetVolume(nullptr, 0), MMSYSERR_BADDEVICEID);
    // The program goes on: time passes and nothing is played.
    plat::Headless().Advance(100);
    EXPECT_TRUE(plat::Headless().PlayedAudio().empty());
}

// A back end that knows whether it has a device is taken at its word: nothing is opened to ask
// (an open and close costs SDL a device period); one that does not know is asked by opening.
class CountingBackend : public plat::HeadlessBackend {
public:
    explicit CountingBackend(AudioPresence known) : m_known(known) {}
    AudioPresence KnownAudioPresence() override { return m_known; }
    bool OpenAudio(const plat::AudioFormat& fmt, plat::IAudioSource* source) override {
        ++opens;
        return HeadlessBackend::OpenAudio(fmt, source);
    }
    int opens = 0;

private:
    AudioPresence m_known;
};

TEST(WaveOutPresence, AKnownAnswerOpensNothing) {
    using Presence = plat::IBackend::AudioPresence;
    struct Case {
        const char* name;
        Presence known;
        bool deviceOpens;
        UINT devices;
        int opens;
    };
    for (const Case& c : {Case{"present", Presence::Present, false, 1, 0}, Case{"absent", Presence::Absent, true, 0, 0},
                          Case{"unknown, opens", Presence::Unknown, true, 1, 1},
                          Case{"unknown, fails", Presence::Unknown, false, 0, 1}}) {
        SCOPED_TRACE(c.name);
        auto backend = std::make_unique<CountingBackend>(c.known);
        CountingBackend& b = *backend;
        b.SetAudioDevicePresent(c.deviceOpens);
        plat::SetBackend(std::move(backend));
        plat::ResetWaveOut();
        EXPECT_EQ(waveOutGetNumDevs(), c.devices);
        EXPECT_EQ(b.opens, c.opens);
        EXPECT_FALSE(b.AudioOpen());
    }
    plat::InstallHeadless();
    plat::ResetWaveOut();
}

}  // namespace
