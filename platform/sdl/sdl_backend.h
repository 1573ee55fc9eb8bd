// The SDL2 back end: one window showing the 640 x 480 palette screen, scaled by a whole
// number and letter-boxed; input in Windows terms; the audio device; the multimedia timer on
// threads of its own.
//
// Presenting: without a GPU the screen goes straight into SDL's window surface, only the
// rectangles that changed converted, enlarged and sent, so no OpenGL stack is ever loaded.
// With a GPU (or ZELBO_RENDERER=gpu) an SDL renderer scales a streaming texture instead.
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
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/backend.h"
#include "platform/script/script.h"
#include "platform/sdl/periodic_timers.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
struct SDL_Surface;
union SDL_Event;

namespace plat {

class SdlBackend : public IBackend {
public:
    ~SdlBackend() override;

    const char* Name() const override { return "sdl"; }
    bool ClockIsVirtual() const override { return false; }
    bool UsesHostPrinters() const override { return true; }
    uint64_t NowMs() override;
    void WaitUntil(uint64_t deadlineMs) override;
    void Wake() override;
    bool PollInput(InputEvent& ev) override;
    uint32_t StartPeriodic(uint32_t periodMs, std::function<void()> fn) override;
    void StopPeriodic(uint32_t id) override;
    void Present(const uint8_t* pixels, int w, int h, const uint32_t* palette,
                 std::span<const RECT> changed) override;
    void SetFullscreen(bool fullscreen) override;
    void SetTitle(const std::string& utf8) override;
    void SetCursor(const CursorImage* cursor) override;
    void WarpMouse(int x, int y) override;
    // A short tone mixed into the audio output while the audio device is open; silent otherwise.
    void Beep(UINT type) override;
    bool OpenAudio(const AudioFormat& fmt, IAudioSource* source) override;
    AudioPresence KnownAudioPresence() override;
    void PauseAudio(bool paused) override;
    void CloseAudio() override;
    void AudioQueued() override;
    // Whether the audio device rests because nothing has played for a while (tests).
    bool AudioResting();
    // Answers from a script, taken in order as boxes open (a person answers the rest).
    bool TakeScriptedAnswer(int& answer) override;
    // A script's seed when one was loaded, else the clock's; recorded when recording.
    uint32_t StartupSeed(uint32_t clockSeed) override;

    // Input from a script beside the real input (ZELBO_SCRIPT): each event arrives at its time
    // on this back end's clock (milliseconds since it started), `quit` posts WM_QUIT then,
    // answers and the seed are taken as a headless run takes them. False with a message for a
    // malformed script or one asking for a screenshot or a wav (only a headless run captures).
    bool LoadScript(const std::string& text, std::string* error);
    // Writes every event delivered from now on (real or scripted), with the time it was
    // delivered, and the startup seed, as script lines (ZELBO_RECORD): replayed headless, the
    // program gets the same input at the same times of its clock.
    bool StartRecording(const std::string& hostPath, std::string* error);

    // The whole-number scale the screen is shown at now (1 when unknown).
    int Scale() const;
    // How the screen reaches the window: "surface" (SDL's window surface) or the SDL renderer's
    // name ("opengl", "software" ...).
    std::string PresentPath() const;

private:
    friend std::unique_ptr<IBackend> CreateSdlBackend();
    SdlBackend() = default;
    bool Init();

    bool InitRenderer(bool gpu);

    // Turns an SDL event into pending input; true when it ends a wait (input or a wake).
    bool Handle(const SDL_Event& e);
    void Push(const InputEvent& ev) { m_pending.push_back(ev); }
    // Delivers the scripted events and actions due by now; true when there were any.
    bool FeedScript(uint64_t now);
    // The window changed or was uncovered: shows the whole last frame again.
    void Redraw();
    // Surface path: takes the window surface, and after a change of the window lays the
    // screen out again (scale, centre, cleared letter-box); false without a usable surface.
    bool PrepareSurface(bool* relaidOut);
    void DrawToSurface(const RECT& r);
    // Window coordinates to screen coordinates (surface path; the renderer maps by itself).
    void MapPoint(int& x, int& y) const;
    void ShowCursorImage();
    static void AudioCallback(void* self, uint8_t* stream, int len);

    std::chrono::steady_clock::time_point m_start;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;  // only on the renderer path
    SDL_Texture* m_texture = nullptr;
    int m_texWidth = 0;
    int m_texHeight = 0;
    bool m_shown = false;
    // The window's size as made: what it goes back to when a full-screen request is not honoured.
    int m_windowedWidth = 0;
    int m_windowedHeight = 0;
    bool m_clearPending = true;

    // The last frame: its indices (to draw it again after the window changed) and palette.
    std::vector<uint8_t> m_indices;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    uint32_t m_palette[256] = {};
    bool m_havePalette = false;
    // Surface path: the window surface and where the screen lies on it.
    SDL_Surface* m_surface = nullptr;
    int m_surfaceWidth = 0;
    int m_surfaceHeight = 0;
    uint32_t m_table[256] = {};  // palette entries as the surface's pixel values
    bool m_tableValid = false;
    int m_scale = 1;
    int m_offsetX = 0;
    int m_offsetY = 0;
    uint32_t m_wakeEvent = 0;
    std::atomic<bool> m_wakePending{false};
    std::deque<InputEvent> m_pending;
    PeriodicTimers m_timers;
    // The script's events and actions still to come, in time order; its answers and seed.
    std::deque<ScriptItem> m_script;
    std::deque<int> m_answers;
    std::optional<uint32_t> m_scriptSeed;
    ScriptRecorder m_recorder;

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
    // Callbacks in a row that had nothing to play; at kRestAfterSilentCallbacks the audio thread
    // asks the program's thread to let the device rest (SDL cannot pause from its callback).
    std::atomic<int> m_silentCallbacks{0};
    std::mutex m_restMutex;     // orders resting and waking between the threads
    bool m_resting = false;     // paused because nothing plays
    bool m_callerPaused = false;  // paused by PauseAudio
    void RestAudioIfSilent();
};

// Starts SDL video and makes the (still hidden) window; nullptr when SDL cannot start video.
// The window appears with the first Present.
std::unique_ptr<IBackend> CreateSdlBackend();

}  // namespace plat
