#include "media/sound/sound_mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr char kWindowClass[] = "SoundMixer";

std::array<uint8_t, 512> BuildMixTable() {
    std::array<uint8_t, 512> t{};
    for (int i = 0; i < 512; ++i) t[i] = static_cast<uint8_t>(std::clamp(i - 256, -128, 127) + 128);
    return t;
}

// Win32s: the platform version word has its top bit set and a major version of 3 or less.
bool IsWin32s() {
    const DWORD v = GetVersion();
    return (v & 0x80000000u) != 0 && (v & 0xFF) <= 3;
}

bool ValidChannel(int channel) { return channel >= 0 && channel < kMixChannels; }

}  // namespace

const std::array<uint8_t, 512>& MixTable() {
    static const std::array<uint8_t, 512> table = BuildMixTable();
    return table;
}

// ---- CMixChannel ----

bool CMixChannel::Append(const uint8_t* samples, int32_t length) {
    if (IsIdle()) {
        queued = 0;
        current = 0;
        position = 0;
        exhausted = false;
        lastFinished = nullptr;
    }
    if (queued >= kMixQueueMax) return false;
    buffers[queued] = samples;
    lengths[queued] = length;
    ++queued;
    if (exhausted) {
        current = static_cast<int16_t>(queued - 1);
        position = 0;
        exhausted = false;
    }
    state = 2;
    return true;
}

bool CMixChannel::Take(int32_t offset, const uint8_t*& piece, int32_t& length, bool& ended) {
    if (IsIdle() || exhausted || current >= queued) return false;
    const int32_t room = chunk - offset;
    const int32_t left = lengths[current] - position;
    if (room <= 0 || left <= 0) return false;
    length = std::min(room, left);
    piece = buffers[current] + position;
    position += length;
    ended = position >= lengths[current];
    if (ended) {
        lastFinished = buffers[current];
        if (current + 1 < queued) {
            ++current;
            position = 0;
        } else {
            exhausted = true;
        }
    }
    return true;
}

void CMixChannel::Finish() {
    state = 0;
    claimed = false;
    held = false;
    lastOutput = -1;
    lastWrite = 0;
}

uint8_t MixChannels(std::span<CMixChannel, kMixChannels> channels, std::span<uint8_t> out) {
    const std::array<uint8_t, 512>& table = MixTable();
    std::memset(out.data(), 0x80, out.size());
    uint8_t mixed = 0;
    const auto size = static_cast<int32_t>(out.size());
    for (CMixChannel& c : channels) {
        if (c.IsIdle() || c.held || c.chunk != size) continue;
        int32_t offset = 0;
        bool gave = false;
        const uint8_t* piece = nullptr;
        int32_t length = 0;
        bool ended = false;
        while (offset < size && c.Take(offset, piece, length, ended)) {
            uint8_t* dst = out.data() + offset;
            for (int32_t i = 0; i < length; ++i) dst[i] = table[dst[i] + piece[i]];
            offset += length;
            gave = true;
            if (!ended) break;
        }
        if (gave)
            mixed = static_cast<uint8_t>(mixed | 1u << c.index);
        else if (c.state == 2)
            c.state = 1;
    }
    return mixed;
}

// ---- CSoundMixer ----

CSoundMixer::CSoundMixer() {
    for (int i = 0; i < kMixChannels; ++i) m_channels[i].index = static_cast<int16_t>(i);
    for (int i = 0; i < kMixBuffers; ++i) m_buffers[i].index = static_cast<int16_t>(i);
}

CSoundMixer::~CSoundMixer() {
    StopTimer();
    DestroyPumpWindow();
    std::lock_guard lock(m_mutex);
    CloseDeviceLocked();
}

MMRESULT CSoundMixer::Open(int rate, int bufferParam) {
    StopTimer();
    DestroyPumpWindow();
    {
        std::lock_guard lock(m_mutex);
        CloseDeviceLocked();
    }
    m_rate = rate;
    m_bufferParam = bufferParam;
    m_windowPumpMode = IsWin32s();
    const int factor = rate / 11025;
    const int64_t bytes = m_windowPumpMode ? int64_t{factor} * bufferParam : int64_t{rate} * 2 / 16;

    m_format = WAVEFORMATEX{};
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = 1;
    m_format.nSamplesPerSec = static_cast<DWORD>(rate);
    m_format.nAvgBytesPerSec = static_cast<DWORD>(rate);
    m_format.nBlockAlign = 1;
    m_format.wBitsPerSample = 8;
    if (rate <= 0) return WAVERR_BADFORMAT;
    MMRESULT rc = waveOutOpen(nullptr, WAVE_MAPPER, &m_format, 0, 0, WAVE_FORMAT_QUERY);
    if (rc != MMSYSERR_NOERROR) return rc;

    {
        std::lock_guard lock(m_mutex);
        if (bytes < 1 || bytes > 0x100000 || !MakeBuffersLocked(static_cast<uint32_t>(bytes))) return MMSYSERR_NOMEM;
        HWAVEOUT device = nullptr;
        rc = waveOutOpen(&device, WAVE_MAPPER, &m_format, 0, 0, CALLBACK_NULL);
        if (rc != MMSYSERR_NOERROR) {
            for (CMixBuffer& b : m_buffers) b.data = {};
            return rc;
        }
        m_device = device;
        PrepareBuffersLocked();
        if (waveOutGetVolume(m_device, &m_savedVolume) != MMSYSERR_NOERROR) m_savedVolume = 0xFFFFFFFF;
        m_running = false;
        m_inFlight = 0;
        m_nextBuffer = 0;
        for (CMixChannel& c : m_channels) {
            c.Finish();
            c.chunk = static_cast<int32_t>(m_bytesPerBuffer);
        }
    }

    // The timer's callback takes the mutex, so the pump starts with the mutex free.
    if (!m_windowPumpMode && StartTimer()) return MMSYSERR_NOERROR;
    CreatePumpWindow();
    if (!m_windowPumpMode) {
        // The window ticks only every 55 ms: larger buffers keep the device fed.
        std::lock_guard lock(m_mutex);
        UnprepareBuffersLocked();
        if (factor < 1 || !MakeBuffersLocked(static_cast<uint32_t>(factor) * kMixWindowBufferBytes)) {
            CloseDeviceLocked();
            return MMSYSERR_NOMEM;
        }
        PrepareBuffersLocked();
        for (CMixChannel& c : m_channels) c.chunk = static_cast<int32_t>(m_bytesPerBuffer);
    }
    return MMSYSERR_NOERROR;
}

bool CSoundMixer::MakeBuffersLocked(uint32_t bytes) {
    try {
        for (CMixBuffer& b : m_buffers) {
            b.data.assign(bytes, 0x80);
            b.header = WAVEHDR{};
            b.header.lpData = reinterpret_cast<LPSTR>(b.data.data());
            b.header.dwBufferLength = bytes;
            b.header.dwUser = static_cast<DWORD_PTR>(b.index) << 16;
            b.prepared = false;
            b.writeNumber = 0;
        }
    } catch (const std::bad_alloc&) {
        for (CMixBuffer& b : m_buffers) b.data = {};
        m_bytesPerBuffer = 0;
        return false;
    }
    m_bytesPerBuffer = bytes;
    return true;
}

void CSoundMixer::PrepareBuffersLocked() {
    for (CMixBuffer& b : m_buffers)
        b.prepared = waveOutPrepareHeader(m_device, &b.header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

void CSoundMixer::UnprepareBuffersLocked() {
    for (CMixBuffer& b : m_buffers) {
        if (b.prepared) waveOutUnprepareHeader(m_device, &b.header, sizeof(WAVEHDR));
        b.prepared = false;
    }
}

bool CSoundMixer::BufferDoneLocked(int i) {
    // The device sets the flag from its own thread.
    return (std::atomic_ref<DWORD>(m_buffers[i].header.dwFlags).load() & WHDR_DONE) != 0;
}

bool CSoundMixer::StartTimer() {
    TIMECAPS caps{};
    UINT period = 0;
    if (timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) period = caps.wPeriodMin;
    if (period) timeBeginPeriod(period);
    m_timerId = timeSetEvent(kMixTimerPeriodMs, period, &CSoundMixer::TimerProc, reinterpret_cast<DWORD_PTR>(this),
                             TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    if (!m_timerId) {
        if (period) timeEndPeriod(period);
        return false;
    }
    m_timerPeriod = period;
    return true;
}

void CSoundMixer::StopTimer() {
    if (!m_timerId) return;
    timeKillEvent(m_timerId);
    m_timerId = 0;
    if (m_timerPeriod) timeEndPeriod(m_timerPeriod);
    m_timerPeriod = 0;
}

void CALLBACK CSoundMixer::TimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<CSoundMixer*>(user)->Tick();
}

bool CSoundMixer::CreatePumpWindow() {
    WNDCLASS wc{};
    wc.lpfnWndProc = &CSoundMixer::WindowProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = kWindowClass;
    m_registeredClass = RegisterClass(&wc) != 0;
    HWND w = CreateWindow(kWindowClass, "", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!w) {
        if (m_registeredClass) UnregisterClass(kWindowClass, nullptr);
        m_registeredClass = false;
        return false;
    }
    SetWindowLongPtr(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_windowTimerId = SetTimer(w, kMixWindowTimerId, kMixWindowTimerMs, nullptr);
    m_window = w;
    return true;
}

void CSoundMixer::DestroyPumpWindow() {
    if (m_window) {
        if (m_windowTimerId) KillTimer(m_window, kMixWindowTimerId);
        DestroyWindow(m_window);
        m_window = nullptr;
        m_windowTimerId = 0;
    }
    if (m_registeredClass) UnregisterClass(kWindowClass, nullptr);
    m_registeredClass = false;
}

LRESULT CALLBACK CSoundMixer::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kMixWindowTimerId) {
        if (auto* mixer = reinterpret_cast<CSoundMixer*>(GetWindowLongPtr(hwnd, GWLP_USERDATA))) mixer->Tick();
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

void CSoundMixer::Tick() {
    if (m_tickGuard.test_and_set(std::memory_order_acquire)) return;
    {
        std::lock_guard lock(m_mutex);
        if (m_device && m_running) {
            const int i = m_nextBuffer;
            const auto bit = static_cast<uint16_t>(1u << i);
            if (!(m_inFlight & bit) || BufferDoneLocked(i)) {
                m_inFlight = static_cast<uint16_t>(m_inFlight & ~bit);
                FillAndWriteLocked(i);
                if (!m_inFlight) m_running = false;
                m_nextBuffer = static_cast<int16_t>((i + 1) % kMixBuffers);
            }
            for (CMixChannel& c : m_channels) RefreshLocked(c);
        }
    }
    m_tickGuard.clear(std::memory_order_release);
}

void CSoundMixer::FillAndWriteLocked(int i) {
    CMixBuffer& b = m_buffers[i];
    const uint8_t mixed = MixChannels(m_channels, b.data);
    // While running, a buffer that came back empty rests; starting output sends all three.
    if (!mixed && m_running) return;
    b.header.dwBufferLength = m_bytesPerBuffer;
    if (waveOutWrite(m_device, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return;
    if (++m_writes == 0) ++m_writes;
    b.writeNumber = m_writes;
    m_inFlight = static_cast<uint16_t>(m_inFlight | 1u << i);
    for (CMixChannel& c : m_channels) {
        if (mixed & 1u << c.index) {
            c.lastOutput = b.index;
            c.lastWrite = b.writeNumber;
        }
    }
}

void CSoundMixer::StartOutputLocked(int channel, uint32_t now) {
    waveOutPause(m_device);
    m_nextBuffer = 0;
    for (int i = 0; i < kMixBuffers; ++i) FillAndWriteLocked(i);
    waveOutRestart(m_device);
    if (ValidChannel(channel)) m_startTimes[channel] = now;
    m_running = m_inFlight != 0;
}

void CSoundMixer::RefreshLocked(CMixChannel& c) {
    if (c.state != 1) return;
    // All mixed: idle once the output buffer holding its last samples has been played.
    const bool heard = !m_device || c.lastOutput < 0 || m_buffers[c.lastOutput].writeNumber != c.lastWrite ||
                       !(m_inFlight & 1u << c.lastOutput) || BufferDoneLocked(c.lastOutput);
    if (heard) c.Finish();
}

uint16_t CSoundMixer::Queue(int channel, const uint8_t* samples, int32_t length, bool deferred) {
    const uint32_t now = timeGetTime();  // before the lock: a headless clock query may run a tick
    std::lock_guard lock(m_mutex);
    if (!m_device || !samples || length < 1) return kMixRefused;
    if (channel == -1) channel = FindFreeChannelLocked();
    if (!ValidChannel(channel)) return kMixRefused;
    CMixChannel& c = m_channels[channel];
    if (!m_running) {
        c.Append(samples, length);
        m_nextBuffer = 0;
        if (!c.held) StartOutputLocked(channel, now);
    } else {
        // The buffers in flight are the device's: the new sound starts in the next one filled.
        if (!deferred) StopChannelLocked(channel);
        c.Append(samples, length);
        if (!deferred) m_startTimes[channel] = now;
    }
    return static_cast<uint16_t>(channel);
}

void CSoundMixer::Hold(int channel) {
    std::lock_guard lock(m_mutex);
    if (m_device && ValidChannel(channel)) m_channels[channel].held = true;
}

void CSoundMixer::Release(int channel) {
    const uint32_t now = timeGetTime();
    std::lock_guard lock(m_mutex);
    if (!m_device || !ValidChannel(channel)) return;
    m_channels[channel].held = false;
    if (!m_running)
        StartOutputLocked(channel, now);
    else
        m_startTimes[channel] = now;
}

int CSoundMixer::FindFreeChannelLocked() {
    for (int n = 0; n < kMixChannels; ++n) {
        CMixChannel& c = m_channels[m_nextChannel];
        m_nextChannel = static_cast<int16_t>((m_nextChannel + 1) % kMixChannels);
        RefreshLocked(c);
        if (c.IsIdle() && !c.claimed) {
            c.claimed = true;
            return c.index;
        }
    }
    int oldest = 0;
    for (int i = 1; i < kMixChannels; ++i)
        if (static_cast<int32_t>(m_startTimes[i] - m_startTimes[oldest]) < 0) oldest = i;
    return oldest;
}

int CSoundMixer::FindFreeChannel() {
    std::lock_guard lock(m_mutex);
    return FindFreeChannelLocked();
}

void CSoundMixer::Unclaim(int channel) {
    std::lock_guard lock(m_mutex);
    if (!ValidChannel(channel)) return;
    CMixChannel& c = m_channels[channel];
    RefreshLocked(c);
    if (c.IsIdle()) c.claimed = false;
}

bool CSoundMixer::IsChannelIdle(int channel) {
    if (!ValidChannel(channel)) return true;
    std::lock_guard lock(m_mutex);
    RefreshLocked(m_channels[channel]);
    return m_channels[channel].IsIdle();
}

bool CSoundMixer::AllIdle() {
    std::lock_guard lock(m_mutex);
    bool idle = true;
    for (CMixChannel& c : m_channels) {
        RefreshLocked(c);
        idle = idle && c.IsIdle();
    }
    return idle;
}

void CSoundMixer::StopChannelLocked(int channel) {
    CMixChannel& c = m_channels[channel];
    if (!c.IsIdle()) c.Finish();
}

void CSoundMixer::StopChannel(int channel) {
    if (!ValidChannel(channel)) return;
    std::lock_guard lock(m_mutex);
    StopChannelLocked(channel);
}

void CSoundMixer::StopAll() {
    std::lock_guard lock(m_mutex);
    m_running = false;
    if (m_device) waveOutReset(m_device);
    m_inFlight = 0;
    for (int i = 0; i < kMixChannels; ++i) StopChannelLocked(i);
}

namespace {

// The mixer's volume word has left in the high word; the device's has it in the low word.
DWORD SwapVolumeWords(DWORD volume) {
    return (volume << 16) | (volume >> 16);
}

}  // namespace

DWORD CSoundMixer::GetVolume() {
    DWORD volume = 0;
    if (waveOutGetVolume(m_device, &volume) != MMSYSERR_NOERROR) return 0;
    return SwapVolumeWords(volume);
}

bool CSoundMixer::SetVolume(DWORD volume) {
    return waveOutSetVolume(m_device, SwapVolumeWords(volume)) == MMSYSERR_NOERROR;
}

void CSoundMixer::SetActive(bool active) {
    if (!active) {
        StopTimer();
        DestroyPumpWindow();
        std::lock_guard lock(m_mutex);
        CloseDeviceLocked();
        for (CMixBuffer& b : m_buffers) b.data = {};
        m_bytesPerBuffer = 0;
        return;
    }
    bool closed;
    {
        std::lock_guard lock(m_mutex);
        closed = m_device == nullptr;
    }
    if (closed && m_rate > 0) Open(m_rate, m_bufferParam);
}

bool CSoundMixer::CloseDeviceLocked() {
    if (!m_device) return false;
    m_running = false;
    m_inFlight = 0;
    waveOutReset(m_device);
    UnprepareBuffersLocked();
    for (CMixChannel& c : m_channels) c.Finish();
    waveOutSetVolume(m_device, m_savedVolume);
    waveOutClose(m_device);
    m_device = nullptr;
    return true;
}

bool CSoundMixer::CloseDevice() {
    std::lock_guard lock(m_mutex);
    return CloseDeviceLocked();
}

bool CSoundMixer::IsOpen() {
    std::lock_guard lock(m_mutex);
    return m_device != nullptr;
}

bool CSoundMixer::IsRunning() {
    std::lock_guard lock(m_mutex);
    return m_running;
}

uint32_t CSoundMixer::BytesPerBuffer() {
    std::lock_guard lock(m_mutex);
    return m_bytesPerBuffer;
}

uint32_t CSoundMixer::ChannelStartTime(int channel) {
    if (!ValidChannel(channel)) return 0;
    std::lock_guard lock(m_mutex);
    return m_startTimes[channel];
}

CSoundMixer& TheSoundMixer() {
    // Never destroyed: the platform it closes may already be gone at exit; the engine closes it.
    static CSoundMixer* mixer = new CSoundMixer;
    return *mixer;
}
