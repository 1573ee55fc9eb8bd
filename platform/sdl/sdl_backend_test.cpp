// The SDL back end under the platform's queue: the table of queue waits through SDL's real
// event wait. SDL runs on its dummy video driver (no display needed); set
// ZELBO_SDL_TEST_VIDEO=x11 to run the same under a real or virtual display.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/queue_wait_test_support.h"
#include "platform/core/winuser.h"

namespace {

using queue_wait_test::Arrival;

class SdlWaitDriver : public queue_wait_test::Driver {
public:
    explicit SdlWaitDriver(HWND hwnd) : m_hwnd(hwnd) {}
    ~SdlWaitDriver() override {
        for (std::thread& t : m_threads) t.join();
    }
    bool CanArrive(Arrival a) const override { return a != Arrival::Paint; }  // painting is the UI thread's
    void Now(Arrival a) override {
        switch (a) {
            case Arrival::Posted: PostMessage(m_hwnd, WM_USER, 0, 0); return;
            case Arrival::Timer: SetTimer(m_hwnd, 77, 10, nullptr); return;
            case Arrival::Paint: InvalidateRect(m_hwnd, nullptr, FALSE); return;
            default: PushInput(a); return;
        }
    }
    void Settle(Arrival a) override {
        if (a == Arrival::Timer) SDL_Delay(20);
    }
    void After(Arrival a, int ms) override {
        if (a == Arrival::Timer) {
            SetTimer(m_hwnd, 78, static_cast<UINT>(ms), nullptr);
            return;
        }
        HWND hwnd = m_hwnd;
        m_threads.emplace_back([a, ms, hwnd] {
            SDL_Delay(static_cast<Uint32>(ms));
            if (a == Arrival::Posted)
                PostMessage(hwnd, WM_USER, 0, 0);
            else
                PushInput(a);
        });
    }

private:
    // SDL_PushEvent is safe from any thread.
    static void PushInput(Arrival a) {
        SDL_Event e;
        SDL_zero(e);
        switch (a) {
            case Arrival::Key:
                e.type = SDL_KEYDOWN;
                e.key.keysym.scancode = SDL_SCANCODE_K;
                e.key.keysym.sym = SDLK_k;
                SDL_PushEvent(&e);
                return;
            case Arrival::MouseMove:
                e.type = SDL_MOUSEMOTION;
                e.motion.x = 30;
                e.motion.y = 40;
                SDL_PushEvent(&e);
                return;
            case Arrival::Click:
                e.type = SDL_MOUSEBUTTONDOWN;
                e.button.button = SDL_BUTTON_LEFT;
                e.button.x = 30;
                e.button.y = 40;
                SDL_PushEvent(&e);
                e.type = SDL_MOUSEBUTTONUP;
                SDL_PushEvent(&e);
                return;
            default: return;
        }
    }
    HWND m_hwnd;
    std::vector<std::thread> m_threads;
};

class SdlQueueWait : public ::testing::TestWithParam<queue_wait_test::WaitCase> {
protected:
    static void SetUpTestSuite() {
        const char* video = std::getenv("ZELBO_SDL_TEST_VIDEO");
        setenv("SDL_VIDEODRIVER", video && *video ? video : "dummy", 1);
        setenv("ZELBO_WINDOW_SCALE", "1", 1);
        auto backend = plat::CreateSdlBackend();
        s_ready = backend != nullptr;
        if (s_ready) plat::SetBackend(std::move(backend));
    }
    static void TearDownTestSuite() {
        plat::ResetWindowing();
        if (s_ready) plat::SetBackend(nullptr);
    }
    void SetUp() override {
        ASSERT_TRUE(s_ready) << "SDL cannot start its video";
        plat::ResetWindowing();
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "SdlWaitTest";
        RegisterClass(&wc);
        m_hwnd = CreateWindow("SdlWaitTest", "wait", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              nullptr, nullptr);
        SetFocus(m_hwnd);
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    }
    static bool s_ready;
    HWND m_hwnd = nullptr;
};
bool SdlQueueWait::s_ready = false;

TEST_P(SdlQueueWait, WakesOnlyOnNewMessagesOfTheMask) {
    const auto& c = GetParam();
    SdlWaitDriver driver(m_hwnd);
    if (!c.atOnce && c.arriving != Arrival::None && !driver.CanArrive(c.arriving))
        GTEST_SKIP() << "only the UI thread can make this arrive";
    const DWORD start = GetTickCount();
    const DWORD r = queue_wait_test::RunWaitCase(driver, c);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(r, c.wakes ? WAIT_OBJECT_0 : WAIT_TIMEOUT);
    // A wait that sleeps never ends before its deadline.
    if (!c.wakes) {
        EXPECT_GE(elapsed, queue_wait_test::kTimeoutMs);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SdlQueueWait, ::testing::ValuesIn(queue_wait_test::kWaitCases),
                         queue_wait_test::CaseName);

}  // namespace

namespace {

// A source that plays `real` bytes when asked and counts the device's calls.
class CountingSource : public plat::IAudioSource {
public:
    size_t Pull(uint8_t* out, size_t n) override {
        ++pulls;
        std::memset(out, 0x80, n);
        const size_t take = std::min(n, real.exchange(0));
        return take;
    }
    size_t BytesQueued() override { return real.load(); }
    std::atomic<int> pulls{0};
    std::atomic<size_t> real{0};
};

// Takes the back end's events (as the program's thread does) until done() or five seconds of
// real time, so a machine under load only makes the test slower.
template <class Done>
bool PumpUntil(plat::SdlBackend& backend, Done done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    plat::InputEvent ev;
    while (!done()) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        while (backend.PollInput(ev)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// With nothing to play the audio device rests (no more callbacks); a queued buffer or a beep
// wakes it at once; a device the program paused stays paused.
TEST(SdlAudio, TheDeviceRestsWhileNothingPlaysAndWakesForTheNextSound) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::unique_ptr<plat::IBackend> made = plat::CreateSdlBackend();
    ASSERT_NE(made, nullptr);
    auto& backend = static_cast<plat::SdlBackend&>(*made);
    CountingSource source;
    if (!backend.OpenAudio(plat::AudioFormat{}, &source)) GTEST_SKIP() << "no SDL audio driver";

    ASSERT_TRUE(PumpUntil(backend, [&] { return backend.AudioResting(); }));
    const int rested = source.pulls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(source.pulls.load(), rested) << "a resting device still pulls";

    for (const char* wake : {"queued buffer", "beep"}) {
        SCOPED_TRACE(wake);
        const int before = source.pulls.load();
        if (std::string(wake) == "beep") {
            backend.Beep(0);
        } else {
            source.real = 100;
            backend.AudioQueued();
        }
        EXPECT_FALSE(backend.AudioResting());
        EXPECT_TRUE(PumpUntil(backend, [&] { return source.pulls.load() > before + 2; }));
        ASSERT_TRUE(PumpUntil(backend, [&] { return backend.AudioResting(); }));
    }

    // Paused by the program: neither silence nor a queued buffer changes that.
    backend.PauseAudio(true);
    source.real = 100;
    backend.AudioQueued();
    const int paused = source.pulls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(source.pulls.load(), paused);
    backend.PauseAudio(false);
    EXPECT_TRUE(PumpUntil(backend, [&] { return source.pulls.load() > paused; }));
    backend.CloseAudio();
}

}  // namespace

namespace {

std::string ReadAll(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    return text;
}

// A script beside real input: its events come at their times, mixed with what the machine
// sends; everything delivered, and the seed, is recorded as lines that read back as the same
// events at the times they were delivered.
TEST(SdlScript, ArrivesBesideRealInputAndEverythingDeliveredIsRecorded) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("ZELBO_WINDOW_SCALE", "1", 1);
    std::unique_ptr<plat::IBackend> made = plat::CreateSdlBackend();
    ASSERT_NE(made, nullptr);
    auto& backend = static_cast<plat::SdlBackend&>(*made);
    // A name of its own: other builds on the machine run this test at the same time.
    const std::string path =
        ::testing::TempDir() + "zelbo_sdl_recording_" + std::to_string(std::random_device{}()) + ".txt";
    std::string err;
    ASSERT_TRUE(backend.StartRecording(path, &err)) << err;
    const uint64_t loaded = backend.NowMs();
    // The script's first line comes well after the machine's events are pushed, even on a busy
    // machine under the sanitizers.
    ASSERT_TRUE(backend.LoadScript("+400 vkdown LEFT extended\n+0 char 229\n+5 down 7 8 right\n"
                                   "0 seed 99\n0 answer IDNO\n",
                                   &err))
        << err;
    EXPECT_FALSE(backend.LoadScript("0 screenshot shot.png\n", &err)) << "only a headless run captures";

    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_K;
    e.key.keysym.sym = SDLK_k;
    SDL_PushEvent(&e);
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 30;
    e.motion.y = 40;
    SDL_PushEvent(&e);

    EXPECT_EQ(backend.StartupSeed(1234), 99u);
    int answer = 0;
    ASSERT_TRUE(backend.TakeScriptedAnswer(answer));
    EXPECT_EQ(answer, 7);  // IDNO
    EXPECT_FALSE(backend.TakeScriptedAnswer(answer));

    struct Got {
        uint64_t at;
        plat::InputEvent ev;
    };
    std::vector<Got> got;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < 5 && std::chrono::steady_clock::now() < give_up) {
        backend.WaitUntil(backend.NowMs() + 100);
        plat::InputEvent ev;
        while (backend.PollInput(ev)) got.push_back({backend.NowMs(), ev});
    }
    ASSERT_EQ(got.size(), 5u);
    // The machine's events first (they were there at once), then the script's at its times.
    EXPECT_EQ(got[0].ev.kind, plat::InputKind::KeyDown);
    EXPECT_EQ(got[0].ev.vk, 'K');
    EXPECT_EQ(got[1].ev.kind, plat::InputKind::MouseMove);
    EXPECT_EQ(got[2].ev.kind, plat::InputKind::KeyDown);
    EXPECT_EQ(got[2].ev.vk, VK_LEFT);
    EXPECT_TRUE(got[2].ev.extended);
    EXPECT_EQ(got[2].ev.ch, 0);
    EXPECT_GE(got[2].at, loaded + 400);
    EXPECT_EQ(got[3].ev.kind, plat::InputKind::Char);
    EXPECT_EQ(got[3].ev.ch, 0xE5);
    EXPECT_EQ(got[4].ev.kind, plat::InputKind::MouseDown);
    EXPECT_EQ(got[4].ev.button, plat::MouseButton::Right);
    EXPECT_GE(got[4].at, loaded + 405);

    std::vector<plat::ScriptItem> items;
    ASSERT_TRUE(plat::ParseScript(ReadAll(path), 0, &items, &err)) << err;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].kind, plat::ScriptItem::Kind::Seed);
    EXPECT_EQ(items[0].seed, 99u);
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        const plat::ScriptItem& item = items[i + 1];
        ASSERT_EQ(item.kind, plat::ScriptItem::Kind::Input);
        // Recorded when delivered: no earlier than the one before, no later than our reading.
        EXPECT_LE(item.atMs, got[i].at);
        if (i > 0) {
            EXPECT_GE(item.atMs, items[i].atMs);
        }
        EXPECT_EQ(item.input.kind, got[i].ev.kind);
        EXPECT_EQ(item.input.x, got[i].ev.x);
        EXPECT_EQ(item.input.y, got[i].ev.y);
        EXPECT_EQ(item.input.button, got[i].ev.button);
        EXPECT_EQ(item.input.vk, got[i].ev.vk);
        EXPECT_EQ(item.input.extended, got[i].ev.extended);
        EXPECT_EQ(item.input.repeat, got[i].ev.repeat);
        EXPECT_EQ(item.input.ch, got[i].ev.ch);
    }
    made.reset();
    std::remove(path.c_str());
}

// A scripted quit ends a program's message loop at its time, though nothing else happens.
TEST(SdlScript, QuitEndsAWaitingMessageLoop) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::unique_ptr<plat::IBackend> made = plat::CreateSdlBackend();
    ASSERT_NE(made, nullptr);
    std::string err;
    const uint64_t loaded = made->NowMs();
    ASSERT_TRUE(static_cast<plat::SdlBackend&>(*made).LoadScript("+30 quit\n", &err)) << err;
    plat::SetBackend(std::move(made));
    plat::ResetWindowing();
    MSG m;
    EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_GE(plat::Backend().NowMs(), loaded + 30);
    plat::ResetWindowing();
    plat::SetBackend(nullptr);
}

}  // namespace
