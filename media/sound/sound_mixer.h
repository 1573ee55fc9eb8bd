// The game's software mixer: eight channels, each a queue of up to 32 caller-owned buffers of
// 8-bit unsigned mono samples, mixed with saturation into a ring of three output buffers that
// circulate through the wave output device. A 16 ms multimedia timer drives the mixing tick;
// where that timer cannot be had, a hidden "SoundMixer" window's 55 ms timer does, on the
// user-interface thread.
//
// Threads: the tick runs on the timer's thread and on the user-interface thread (the clip
// list's service calls); everything else runs on the user-interface thread. One mutex guards
// the channels, the output buffers and the device; a test-and-set guard keeps the tick to one
// run at a time (a second caller returns at once instead of waiting). Nothing that can wait or
// read the clock is called under the mutex, and the timer is stopped with the mutex free.
//
// Caller buffers are read only while the mutex is held, during a fill; once a channel is
// stopped or idle, its buffers are never read again and may be freed.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "platform/audio/wave_out.h"
#include "platform/core/mmsystem.h"
#include "platform/core/wintypes.h"

inline constexpr int kMixChannels = 8;
inline constexpr int kMixQueueMax = 32;
inline constexpr int kMixBuffers = 3;
inline constexpr uint16_t kMixRefused = 0xFFFF;
inline constexpr UINT kMixTimerPeriodMs = 16;
inline constexpr UINT_PTR kMixWindowTimerId = 1101;
inline constexpr UINT kMixWindowTimerMs = 55;
// Output buffer bytes at 11025 samples a second when the window replaces a failed timer.
inline constexpr uint32_t kMixWindowBufferBytes = 3400;

// Entry i = clamp(i - 256, -128, 127) + 128: table[a + b] is the saturated sum of two unsigned
// samples about 128.
const std::array<uint8_t, 512>& MixTable();

// One channel: a queue of caller buffers and a read point.
//
// state: 2 while samples are queued that have not been mixed; 1 once all are mixed and the
// output buffer holding the last of them has not been heard yet; 0 (idle) after that.
class CMixChannel {
public:
    int16_t index = 0;
    int16_t state = 0;
    bool held = false;       // queued, not to be mixed yet
    bool exhausted = false;  // the read point has passed the last queued buffer
    bool claimed = false;    // handed out by the free-channel search, not yet finished
    const uint8_t* lastFinished = nullptr;
    std::array<const uint8_t*, kMixQueueMax> buffers{};
    std::array<int32_t, kMixQueueMax> lengths{};
    int16_t queued = 0;
    int16_t current = 0;
    int32_t position = 0;
    int32_t chunk = 0;  // bytes per output buffer
    // The output buffer that holds this channel's latest samples and the write number it was
    // sent with: the channel is heard out when that buffer has come back from the device.
    int16_t lastOutput = -1;
    uint32_t lastWrite = 0;

    bool IsIdle() const { return state < 1; }
    // Adds a buffer (an idle channel empties its queue first); false when 32 are queued.
    bool Append(const uint8_t* samples, int32_t length);
    // The next piece for an output buffer already filled up to offset: up to chunk - offset
    // bytes, cut at the end of the current buffer. Returns false when there is nothing; ended
    // tells whether the piece finished its buffer (the read point then moved on).
    bool Take(int32_t offset, const uint8_t*& piece, int32_t& length, bool& ended);
    // Everything stops: idle and unclaimed.
    void Finish();
};

// Mixes one output buffer: fills it with silence, then mixes in every channel that is not idle
// and not held, piece after piece until the buffer is full or the channel has nothing left.
// A channel that gives nothing is marked as all mixed (state 1). Returns a bit per channel that
// gave samples. Allocates nothing.
uint8_t MixChannels(std::span<CMixChannel, kMixChannels> channels, std::span<uint8_t> out);

class CSoundMixer {
public:
    CSoundMixer();
    virtual ~CSoundMixer();
    CSoundMixer(const CSoundMixer&) = delete;
    CSoundMixer& operator=(const CSoundMixer&) = delete;

    // Opens the wave output for 8-bit mono at rate and starts the pump. 0 on success, 7
    // (MMSYSERR_NOMEM) when the buffers cannot be made, else the device's error. An open mixer
    // is closed first. bufferParam sizes the buffers in window-pump mode (Win32s).
    MMRESULT Open(int rate, int bufferParam);
    // Queues samples on a channel (0-7, or -1 for a free one). Without deferral the channel is
    // stopped first (the new sound replaces the old); with it the buffer follows what the
    // channel plays. A sound queued while the output runs starts at the beginning of the next
    // output buffer the mixer fills. Returns the channel, or 0xFFFF when the device is closed, the
    // channel is out of range, samples is null or length below 1.
    uint16_t Queue(int channel, const uint8_t* samples, int32_t length, bool deferred);
    // Bracket a series of Queue calls so that the channel starts with all of them.
    void Hold(int channel);
    void Release(int channel);
    // An idle, unclaimed channel (claimed now), searched from a rotating start; when none is
    // free, the channel started longest ago (not claimed).
    int FindFreeChannel();
    // Gives back a channel the free search claimed when nothing was queued on it after all.
    void Unclaim(int channel);
    bool IsChannelIdle(int channel);
    bool AllIdle();
    // Stops a channel: nothing more of it is mixed (what is already mixed still sounds).
    void StopChannel(int channel);
    // Stops the device at once and every channel.
    void StopAll();
    // The device volume: left in the high word, right in the low word, each 0-65535 (the
    // device's own word, waveOutSetVolume, has them the other way round).
    DWORD GetVolume();
    bool SetVolume(DWORD volume);
    // Deactivation releases the device, the buffers, the timer and the window; activation takes
    // them again (at the rate last opened) when the device is closed.
    void SetActive(bool active);
    // Refills the output buffer next in the ring when the device has played it.
    void Tick();
    // True when it closed an open device.
    bool CloseDevice();

    // State, for the clip list and tests.
    bool IsOpen();
    bool IsRunning();
    bool UsesTimer() const { return m_timerId != 0; }
    HWND Window() const { return m_window; }
    uint32_t BytesPerBuffer();
    uint32_t ChannelStartTime(int channel);

protected:
    // Starts the periodic multimedia timer; false when it cannot be had (then the window pumps).
    virtual bool StartTimer();

private:
    struct CMixBuffer {
        int16_t index = 0;
        bool prepared = false;
        uint32_t writeNumber = 0;  // of its latest write to the device; 0 never written
        WAVEHDR header{};
        std::vector<uint8_t> data;
    };

    void StopTimer();
    bool CreatePumpWindow();
    void DestroyPumpWindow();
    static void CALLBACK TimerProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Everything below with a Locked suffix runs with m_mutex held.
    bool MakeBuffersLocked(uint32_t bytes);
    void PrepareBuffersLocked();
    void UnprepareBuffersLocked();
    bool BufferDoneLocked(int i);
    void FillAndWriteLocked(int i);
    void StartOutputLocked(int channel, uint32_t now);
    void RefreshLocked(CMixChannel& c);
    int FindFreeChannelLocked();
    void StopChannelLocked(int channel);
    bool CloseDeviceLocked();

    std::mutex m_mutex;
    std::atomic_flag m_tickGuard;

    bool m_windowPumpMode = false;  // Win32s: the window always pumps
    HWAVEOUT m_device = nullptr;
    HWND m_window = nullptr;
    bool m_registeredClass = false;
    WAVEFORMATEX m_format{};
    int m_rate = 0;
    int m_bufferParam = 0;
    bool m_running = false;
    int16_t m_nextBuffer = 0;
    DWORD m_savedVolume = 0xFFFFFFFF;
    int16_t m_nextChannel = 0;
    std::array<CMixChannel, kMixChannels> m_channels;
    std::array<uint32_t, kMixChannels> m_startTimes{};
    std::array<CMixBuffer, kMixBuffers> m_buffers;
    uint16_t m_inFlight = 0;
    uint32_t m_bytesPerBuffer = 0;
    uint32_t m_writes = 0;
    UINT m_timerId = 0;
    UINT m_timerPeriod = 0;
    UINT_PTR m_windowTimerId = 0;
};

// The game's one mixer.
CSoundMixer& TheSoundMixer();
