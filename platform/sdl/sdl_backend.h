// The SDL2 back end: one window showing the 640 x 480 palette screen, scaled by a whole
// number and letter-boxed; input in Windows terms; the audio device; the multimedia timer on
// threads of its own.
//
// Threads: Wake(), NowMs(), StartPeriodic() and StopPeriodic() may be called from any thread;
// everything else belongs to the thread that created the back end (SDL wants its events and
// window on one thread).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/backend.h"
#include "platform/sdl/periodic_timers.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
union SDL_Event;

namespace plat {

class SdlBackend : public IBackend {
public:
    ~SdlBackend() override;

    const char* Name() const override { return "sdl"; }
    bool IsHeadless() const override { return false; }
    uint64_t NowMs() override;
    void WaitUntil(uint64_t deadlineMs) override;
    void Wake() override;
    bool PollInput(InputEvent& ev) override;
    uint32_t StartPeriodic(uint32_t periodMs, std::function<void()> fn) override;
    void StopPeriodic(uint32_t id) override;
    void Present(const uint8_t* pixels, int w, int h, const uint32_t* palette) override;
    void SetFullscreen(bool fullscreen) override;
    void SetTitle(const std::string& utf8) override;
    void SetCursor(const CursorImage* cursor) override;
    void WarpMouse(int x, int y) override;
    // A short tone mixed into the audio output while the audio device is open; silent otherwise.
    void Beep(UINT type) override;
    bool OpenAudio(const AudioFormat& fmt, IAudioSource* source) override;
    void PauseAudio(bool paused) override;
    void CloseAudio() override;

    // The whole-number scale the screen is shown at now (1 when unknown).
    int Scale() const;

private:
    friend std::unique_ptr<IBackend> CreateSdlBackend();
    SdlBackend() = default;
    bool Init();

    // Turns an SDL event into pending input; true when it ends a wait (input or a wake).
    bool Handle(const SDL_Event& e);
    void Push(const InputEvent& ev) { m_pending.push_back(ev); }
    void Redraw();
    void ShowCursorImage();
    static void AudioCallback(void* self, uint8_t* stream, int len);

    std::chrono::steady_clock::time_point m_start;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_texWidth = 0;
    int m_texHeight = 0;
    bool m_shown = false;
    bool m_clearPending = true;
    uint32_t m_wakeEvent = 0;
    std::atomic<bool> m_wakePending{false};
    std::deque<InputEvent> m_pending;
    PeriodicTimers m_timers;

    // Colour cursors made for an image at a scale, found by content (a cursor's address may be
    // reused by another one after it is destroyed).
    struct CachedCursor {
        int scale = 1;
        CursorImage image;
        SDL_Cursor* cursor = nullptr;
    };
    std::vector<CachedCursor> m_cursors;
    CursorImage m_cursorImage;  // what is shown, to re-make it when the scale changes
    bool m_cursorVisible = true;
    SDL_Cursor* m_currentCursor = nullptr;

    uint32_t m_audioDevice = 0;
    IAudioSource* m_audioSource = nullptr;
    int m_audioRate = 11025;
    std::atomic<int> m_beepLeft{0};
    int m_beepPhase = 0;  // audio thread only
};

// Starts SDL video and makes the (still hidden) window; nullptr when SDL cannot start video.
// The window appears with the first Present.
std::unique_ptr<IBackend> CreateSdlBackend();

}  // namespace plat
