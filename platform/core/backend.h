// The seam between the portable platform code and the machine. Two implementations:
// SDL2 (platform/sdl) and headless (platform/headless), chosen once at program start.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"

namespace plat {

constexpr uint64_t kNoDeadline = UINT64_MAX;

// Thrown on scripted input by a wait that nothing can ever end (no deadline, nothing scripted),
// by a poll loop that saw nothing happen for the stall limit of virtual time (or for
// HeadlessBackend::kFrozenPollLimit polls while the clock is held still), and by a dialog that stays open too
// long (ModalLoop), so a run fails instead of hanging.
class HeadlessStall : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class InputKind : uint8_t {
    MouseMove,
    MouseDown,
    MouseUp,
    KeyDown,
    KeyUp,
    Close,      // the window's close button
    FocusLost,  // the program's window lost the input focus
    FocusGained,
    Char,  // typed text that arrives apart from its key (ch); posted as WM_CHAR
};

enum class MouseButton : uint8_t { Left = 0, Right = 1, Middle = 2 };

// One event from the machine, already in Windows terms: screen coordinates of the
// 640 x 480 platform screen, Windows virtual-key codes.
struct InputEvent {
    InputKind kind = InputKind::MouseMove;
    int x = 0;
    int y = 0;
    MouseButton button = MouseButton::Left;
    int vk = 0;
    bool repeat = false;
    // Keys of the separate cursor block, right Ctrl/Alt, keypad Enter and divide (bit 24 of lParam).
    bool extended = false;
    // The Windows-1252 character a key down types, 0 if none (TranslateMessage turns it into WM_CHAR).
    uint8_t ch = 0;
};

// A cursor image in 32-bit RGBA, straight alpha, ready for the back end.
struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> rgba;  // 0xAABBGGRR per pixel, row-major, top row first
};

// Where the audio device pulls its bytes from (8-bit unsigned mono here).
class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // Fills out with the next n bytes to be heard; returns how many were real samples, the rest is
    // filled with silence. Called on the audio thread (SDL) or the waiting thread (headless).
    virtual size_t Pull(uint8_t* out, size_t n) = 0;
    // Bytes still queued; the headless clock uses it to jump to the end of the playing buffer.
    virtual size_t BytesQueued() = 0;
};

struct AudioFormat {
    int samplesPerSec = 11025;
    int channels = 1;
    int bitsPerSample = 8;
};

class IBackend {
public:
    virtual ~IBackend() = default;

    virtual const char* Name() const = 0;
    // Whether the clock is the back end's own virtual time (a scripted run): the wall clock then
    // moves with it, so a run gives the same dates every time.
    virtual bool ClockIsVirtual() const = 0;
    // Whether printing reaches the host's printers (else the program sees none).
    virtual bool UsesHostPrinters() const = 0;

    // The one clock of the program, in milliseconds since the back end started.
    virtual uint64_t NowMs() = 0;
    // The program polls: asks for the time (timeGetTime and friends) or finds no message
    // (PeekMessage). The headless clock moves on by a small step here, so that loops polling the
    // clock or the queue still end; a poll loop nothing can end fails there.
    virtual uint64_t QueryClockMs() { return NowMs(); }
    // Blocks until new input arrives, Wake() is called, or NowMs() reaches the deadline.
    // Input already waiting does not end the wait: callers take it with PollInput first.
    virtual void WaitUntil(uint64_t deadlineMs) = 0;
    // Thread-safe: ends a WaitUntil in progress (a message was posted from another thread).
    virtual void Wake() = 0;
    // A wait for something outside the program's clock (another process's end): blocks until
    // Wake() (also one that came before this call and was not yet taken), new input, realMs
    // of real time, or the clock reaching clockDeadlineMs. The headless clock stands still
    // here (its timers and scripted events wait), so this never stalls.
    virtual void WaitReal(uint64_t clockDeadlineMs, uint32_t realMs) {
        WaitUntil(std::min<uint64_t>(clockDeadlineMs, NowMs() + realMs));
    }
    // Takes the next pending input event; false when there is none.
    virtual bool PollInput(InputEvent& ev) = 0;

    // Periodic callbacks for the multimedia timer: a thread of their own (SDL) or run as
    // virtual time passes (headless). Returns an id > 0, 0 on failure. After StopPeriodic returns
    // the callback is not running and never runs again (StopPeriodic may also be called from
    // inside the callback itself).
    virtual uint32_t StartPeriodic(uint32_t periodMs, std::function<void()> fn) = 0;
    virtual void StopPeriodic(uint32_t id) = 0;

    // Shows the screen: w x h palette indices through a 256-entry palette of 0x00BBGGRR.
    // `changed` lists the rectangles that differ from what the back end last showed; the rest
    // is as it was. The display sends the whole screen the first time, after a palette change
    // and to a new back end; a back end that sees the palette change shows everything again.
    virtual void Present(const uint8_t* pixels, int w, int h, const uint32_t* palette,
                         std::span<const RECT> changed) = 0;
    virtual void SetFullscreen(bool fullscreen) = 0;
    virtual void SetTitle(const std::string& utf8) = 0;
    // nullptr hides the cursor.
    virtual void SetCursor(const CursorImage* cursor) = 0;
    virtual void WarpMouse(int x, int y) = 0;
    virtual void Beep(UINT type) = 0;

    // Message boxes and modal dialogs. Answers written in a script, taken in order as boxes
    // open: true and the answer when one is waiting (-1: run the box on scripted input instead).
    // A back end with a person in front of it has none.
    virtual bool TakeScriptedAnswer(int& answer) {
        (void)answer;
        return false;
    }
    // True when every input comes from a script: nobody but the script can answer a box, and a
    // modal loop that outlives kScriptedModalLimitMs of script time is a fault (RunModalLoop).
    virtual bool ScriptedInput() const { return false; }

    // The seed of the program's random numbers (plat::StartupSeed): a script's `seed` when the
    // run has one, else clockSeed (the clock read just now). A recording back end writes down
    // what it answers, so a replay draws the same numbers.
    virtual uint32_t StartupSeed(uint32_t clockSeed) { return clockSeed; }

    // Audio output; false when no device exists.
    virtual bool OpenAudio(const AudioFormat& fmt, IAudioSource* source) = 0;
    // Whether an audio device exists, asked while none is open: yes or no when the back end
    // knows without opening one, else unknown (the caller then opens and closes one).
    enum class AudioPresence { Unknown, Present, Absent };
    virtual AudioPresence KnownAudioPresence() { return AudioPresence::Unknown; }
    virtual void PauseAudio(bool paused) = 0;
    virtual void CloseAudio() = 0;
    // The audio source has something new to play (called by the writer, outside the source's
    // own locks): a back end that lets its device rest while nothing plays wakes it here.
    virtual void AudioQueued() {}
};

// What the program's thread last waited for or polled, in words ("GetMessage for any message"),
// for a back end that reports a wait nothing can end.
std::string DescribeWait();

// The back end in use; aborts with a message when none was installed.
IBackend& Backend();
bool HasBackend();
// Installs the back end (InitPlatform does this from ZELBO_BACKEND; tests install a fresh
// headless one). Takes ownership; the previous one is destroyed.
void SetBackend(std::unique_ptr<IBackend> backend);

}  // namespace plat
