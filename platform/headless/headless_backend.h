// The headless back end: no window, virtual time, scripted input, captured screen and sound.
//
// Time advances only when the program waits (or sleeps), and then jumps straight to the next
// due event: a multimedia-timer period, a scripted input or action, or the wait's deadline.
// A poll by the program (a clock query, an empty PeekMessage) moves the clock on by a small
// step (1 ms by default), also while input waits untaken, so that loops that poll without
// waiting still end. A loop that nothing can end throws HeadlessStall naming what it waited for.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/backend.h"

namespace plat {

class HeadlessBackend : public IBackend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // IBackend.
    const char* Name() const override { return "headless"; }
    bool ClockIsVirtual() const override { return true; }
    bool UsesHostPrinters() const override { return false; }
    uint64_t NowMs() override { return m_now; }
    uint64_t QueryClockMs() override;
    void WaitUntil(uint64_t deadlineMs) override;
    void Wake() override;
    void WaitReal(uint64_t clockDeadlineMs, uint32_t realMs) override;
    bool PollInput(InputEvent& ev) override;
    uint32_t StartPeriodic(uint32_t periodMs, std::function<void()> fn) override;
    void StopPeriodic(uint32_t id) override;
    void Present(const uint8_t* pixels, int w, int h, const uint32_t* palette,
                 std::span<const RECT> changed) override;
    void SetFullscreen(bool fullscreen) override { m_fullscreen = fullscreen; }
    void SetTitle(const std::string& utf8) override { m_title = utf8; }
    void SetCursor(const CursorImage* cursor) override { m_cursor = cursor; }
    void WarpMouse(int x, int y) override;
    void Beep(UINT type) override { m_beeps.push_back(type); }
    bool TakeScriptedAnswer(int& answer) override;
    bool ScriptedInput() const override { return true; }
    bool OpenAudio(const AudioFormat& fmt, IAudioSource* source) override;
    void PauseAudio(bool paused) override { m_audioPaused = paused; }
    void CloseAudio() override;
    // The script's seed when it has one, else the clock's.
    uint32_t StartupSeed(uint32_t clockSeed) override;

    // Scripting, for tests and whole-program runs. Times are absolute virtual milliseconds.
    void QueueInput(uint64_t atMs, const InputEvent& ev);
    void At(uint64_t atMs, std::function<void()> action);
    void MouseMove(uint64_t atMs, int x, int y);
    void Click(uint64_t atMs, int x, int y, MouseButton button = MouseButton::Left);
    void Key(uint64_t atMs, int vk, uint8_t ch = 0);
    // Advances the clock by ms, running everything that comes due on the way.
    void Advance(uint64_t ms);
    // The step a clock query moves the clock by (0 keeps it still between waits).
    void SetQueryStep(uint32_t ms) { m_queryStep = ms; }
    // The longest a wait without deadline may run on periodic timers alone, or a poll loop may
    // see nothing happen, before it is a stall.
    void SetStallLimit(uint64_t ms) { m_stallLimit = ms; }
    static constexpr uint64_t kFrozenPollLimit = 100000;

    // How often the program called into the back end: input polls (PollInput), waits
    // (WaitUntil) and clock polls (QueryClockMs).
    uint64_t InputPolls() const { return m_inputPolls; }
    uint64_t Waits() const { return m_waits; }
    uint64_t ClockPolls() const { return m_clockPolls; }

    // What the program did.
    const std::vector<uint8_t>& PlayedAudio() const { return m_played; }
    void ClearPlayedAudio() { m_played.clear(); }
    bool AudioOpen() const { return m_audioSource != nullptr; }
    void SetAudioDevicePresent(bool present) { m_audioPresent = present; }
    const std::vector<UINT>& Beeps() const { return m_beeps; }
    uint64_t PresentCount() const { return m_presents; }
    // The frame as presented so far, as RGB colours (0x00BBGGRR) per pixel: each present
    // converts only the rectangles it lists, as a window would show them.
    const std::vector<uint32_t>& PresentedFrame() const { return m_frame; }
    // The rectangles the last present listed as changed.
    const std::vector<RECT>& LastPresentedRects() const { return m_lastRects; }
    int FrameWidth() const { return m_frameWidth; }
    int FrameHeight() const { return m_frameHeight; }
    const std::string& Title() const { return m_title; }
    bool Fullscreen() const { return m_fullscreen; }
    const CursorImage* Cursor() const { return m_cursor; }
    POINT MousePosition() const { return m_mouse; }

    // Answers for message boxes and dialogs, taken in order as they appear.
    void PushAnswer(int answer) { m_answers.push_back(answer); }
    size_t AnswersLeft() const { return m_answers.size(); }

    // Loads a script (README.md); false with a message on a malformed line (nothing of it is
    // taken then). A `seed` line sets what StartupSeed answers.
    bool LoadScript(const std::string& text, const std::string& baseDir, std::string* error);
    // A program run by a script: once the stall limit of virtual time has passed after the
    // script's last line, the next wait or clock poll throws HeadlessStall, so a program that
    // never ends (a quit that failed) fails its run instead of running on for ever.
    void EndRunAfterScript() { m_endAfterScript = true; }

private:
    struct Scheduled {
        bool isInput = false;
        InputEvent input;
        std::function<void()> action;
    };
    struct Periodic {
        uint32_t id = 0;
        uint32_t period = 0;
        uint64_t due = 0;
        std::shared_ptr<std::function<void()>> fn;
    };

    // Moves the clock to target, running periodic callbacks, audio and scripted events in time
    // order; stops early when scripted input arrives or the back end was woken.
    void AdvanceTo(uint64_t target, bool stopOnNews);
    // Something happened that may end a loop: scripted input or action, a wake, input taken.
    void NoteNews();
    void ConsumeAudio(uint64_t until);
    uint64_t NextScheduled() const;

    std::atomic<uint64_t> m_now{0};  // read by messages posted from other threads; written by the program's thread only
    uint32_t m_queryStep = 1;
    uint64_t m_stallLimit = 10 * 60 * 1000;
    uint64_t m_scriptLast = 0;  // the time of the last scripted line
    bool m_endAfterScript = false;
    // Throws HeadlessStall when a scripted run has outlived its script (EndRunAfterScript).
    void CheckRunOutlivedScript() const;
    bool m_advancing = false;
    std::atomic<bool> m_woken{false};  // Wake() may come from any thread
    std::atomic<bool> m_outsideNews{false};  // set by Wake(); the program's thread resets the stall counters
    std::mutex m_wakeMu;
    std::condition_variable m_wakeCv;
    uint64_t m_quietPollMs = 0;  // virtual time moved by polls alone since anything happened
    uint64_t m_frozenPolls = 0;  // polls since anything happened or the clock moved
    uint64_t m_inputPolls = 0;
    uint64_t m_waits = 0;
    uint64_t m_clockPolls = 0;
    std::multimap<uint64_t, Scheduled> m_schedule;
    std::deque<InputEvent> m_pending;
    std::vector<Periodic> m_periodic;
    uint32_t m_nextPeriodicId = 1;

    bool m_audioPresent = true;
    IAudioSource* m_audioSource = nullptr;
    AudioFormat m_audioFormat;
    bool m_audioPaused = false;
    uint64_t m_audioOwed = 0;  // thousandths of a sample not yet pulled
    uint64_t m_audioClock = 0;
    std::vector<uint8_t> m_played;

    std::vector<UINT> m_beeps;
    uint64_t m_presents = 0;
    std::vector<uint32_t> m_frame;
    std::vector<RECT> m_lastRects;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    std::string m_title;
    bool m_fullscreen = false;
    const CursorImage* m_cursor = nullptr;
    POINT m_mouse{};
    std::deque<int> m_answers;
    std::optional<uint32_t> m_scriptSeed;
};

// The installed back end, which must be the headless one.
HeadlessBackend& Headless();
// Installs a fresh headless back end and resets every window, timer, queue and input state.
HeadlessBackend& InstallHeadless();

// Writes the screen as it is shown now (through the hardware palette) as a PNG.
bool SaveScreenPng(const std::string& path);
// Writes 8-bit unsigned mono samples as a WAV file.
bool SaveWav(const std::string& path, const std::vector<uint8_t>& samples, int samplesPerSec);

}  // namespace plat
