#include "platform/audio/wave_out.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/core/backend.h"
#include "platform/core/winuser.h"

namespace {

constexpr int kMinRate = 4000;
constexpr int kMaxRate = 96000;

// The header's flags are polled by other threads without our lock (the program checks
// WHDR_DONE), so every write is an atomic store.
DWORD LoadFlags(WAVEHDR* h) {
    return std::atomic_ref<DWORD>(h->dwFlags).load();
}
void StoreFlags(WAVEHDR* h, DWORD flags) {
    std::atomic_ref<DWORD>(h->dwFlags).store(flags);
}

// The device volume: low word left, high word right.
std::atomic<DWORD> g_volume{0xFFFFFFFF};

class WaveOutDevice final : public plat::IAudioSource {
public:
    HWAVEOUT handle = nullptr;
    plat::IBackend* backend = nullptr;
    int samplesPerSec = 11025;
    DWORD callbackKind = CALLBACK_NULL;
    DWORD_PTR callback = 0;
    DWORD_PTR instance = 0;

    size_t Pull(uint8_t* out, size_t n) override;
    size_t BytesQueued() override;

    // Everything below is guarded by mutex.
    std::mutex mutex;
    std::deque<WAVEHDR*> queue;  // written, not yet done; [0, playIndex) are kept for a loop
    size_t playIndex = 0;
    DWORD pos = 0;  // bytes of queue[playIndex] already played
    bool inLoop = false;
    size_t loopStart = 0;
    DWORD loopsLeft = 0;
    uint64_t loopBytes = 0;  // bytes of the current pass, so an empty loop cannot spin
    bool paused = false;
    bool closing = false;
    uint64_t bytesPlayed = 0;

    // Marks queue[0, count) done and drops them; collects them when someone is told.
    void RetireFront(size_t count, std::vector<WAVEHDR*>* finished) {
        for (size_t i = 0; i < count; ++i) {
            WAVEHDR* h = queue.front();
            queue.pop_front();
            StoreFlags(h, (LoadFlags(h) & ~WHDR_INQUEUE) | WHDR_DONE);
            if (finished) finished->push_back(h);
        }
    }
    bool WantsNotify() const { return callbackKind != CALLBACK_NULL; }
};

void Notify(const WaveOutDevice& d, UINT msg, WAVEHDR* h) {
    switch (d.callbackKind) {
        case CALLBACK_WINDOW:
            PostMessage(reinterpret_cast<HWND>(d.callback), msg, reinterpret_cast<WPARAM>(d.handle),
                        reinterpret_cast<LPARAM>(h));
            break;
        case CALLBACK_THREAD:
            PostThreadMessage(static_cast<DWORD>(d.callback), msg, reinterpret_cast<WPARAM>(d.handle),
                              reinterpret_cast<LPARAM>(h));
            break;
        case CALLBACK_FUNCTION:
            reinterpret_cast<WAVEOUTPROC>(d.callback)(d.handle, msg, d.instance,
                                                      reinterpret_cast<DWORD_PTR>(h), 0);
            break;
        default:
            break;
    }
}

size_t WaveOutDevice::Pull(uint8_t* out, size_t n) {
    std::vector<WAVEHDR*> finished;
    size_t produced = 0;
    {
        std::lock_guard lock(mutex);
        std::vector<WAVEHDR*>* notify = WantsNotify() ? &finished : nullptr;
        while (produced < n && !paused && playIndex < queue.size()) {
            WAVEHDR* h = queue[playIndex];
            const DWORD flags = LoadFlags(h);
            if (pos == 0 && !inLoop && (flags & WHDR_BEGINLOOP)) {
                inLoop = true;
                loopStart = playIndex;
                loopsLeft = std::max<DWORD>(1, h->dwLoops);
                loopBytes = 0;
            }
            const DWORD len = h->dwBufferLength;
            // The program may shorten a queued buffer: never read past its new end.
            const size_t take = len > pos ? std::min<size_t>(len - pos, n - produced) : 0;
            if (take > 0) {
                // Read now, not at write time: the program may still be filling a queued buffer.
                std::memcpy(out + produced, h->lpData + pos, take);
                pos += static_cast<DWORD>(take);
                produced += take;
                loopBytes += take;
            }
            if (pos < len) break;
            pos = 0;
            if (inLoop && (flags & WHDR_ENDLOOP)) {
                if (--loopsLeft > 0 && loopBytes > 0) {
                    playIndex = loopStart;
                    loopBytes = 0;
                    continue;
                }
                inLoop = false;
            }
            ++playIndex;
            if (!inLoop) {
                RetireFront(playIndex, notify);
                playIndex = 0;
            }
        }
        bytesPlayed += produced;
        plat::ApplyWaveVolume(out, produced, g_volume.load());
    }
    std::memset(out + produced, 0x80, n - produced);
    for (WAVEHDR* h : finished) Notify(*this, MM_WOM_DONE, h);
    return produced;
}

size_t WaveOutDevice::BytesQueued() {
    std::lock_guard lock(mutex);
    if (paused || playIndex >= queue.size()) return 0;
    // Up to the end of the buffer playing now, so that a waiting clock stops at each buffer end.
    const DWORD len = queue[playIndex]->dwBufferLength;
    return len > pos ? len - pos : 1;
}

// One device may be open at a time; handles are never reused, so a stale handle is refused.
struct Registry {
    std::mutex mutex;
    std::shared_ptr<WaveOutDevice> open;
    uintptr_t nextHandle = 0x57A0;
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

std::shared_ptr<WaveOutDevice> Lookup(HWAVEOUT hwo) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (hwo && r.open && r.open->handle == hwo && !r.open->closing) return r.open;
    return nullptr;
}

// A source that plays silence, for finding out whether the back end has a device.
class SilentSource final : public plat::IAudioSource {
public:
    size_t Pull(uint8_t* out, size_t n) override {
        std::memset(out, 0x80, n);
        return 0;
    }
    size_t BytesQueued() override { return 0; }
};

// Whether the back end has an audio device; caller holds the registry lock.
bool DevicePresentLocked(Registry& r) {
    if (r.open) return true;
    if (!plat::HasBackend()) return false;
    static SilentSource silent;
    plat::IBackend& b = plat::Backend();
    // Opening and closing a device costs a device period or more (SDL joins its audio thread):
    // a back end that can list its devices answers without it.
    switch (b.KnownAudioPresence()) {
        case plat::IBackend::AudioPresence::Present: return true;
        case plat::IBackend::AudioPresence::Absent: return false;
        case plat::IBackend::AudioPresence::Unknown: break;
    }
    if (!b.OpenAudio(plat::AudioFormat{}, &silent)) return false;
    b.CloseAudio();
    return true;
}

bool DevicePresent() {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return DevicePresentLocked(r);
}

bool IsMapperId(uintptr_t id) {
    return id == WAVE_MAPPER || id == UINTPTR_MAX;
}

MMRESULT NoDeviceError(uintptr_t id) {
    return IsMapperId(id) ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
}

bool FormatSupported(const WAVEFORMATEX& f) {
    const DWORD rate = f.nSamplesPerSec;
    return f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels == 1 && f.wBitsPerSample == 8 &&
           f.nBlockAlign == 1 && rate >= static_cast<DWORD>(kMinRate) && rate <= static_cast<DWORD>(kMaxRate);
}

// The device a volume call names: the open handle, or the device itself by id 0 or the mapper.
MMRESULT CheckVolumeTarget(HWAVEOUT hwo) {
    const auto id = reinterpret_cast<uintptr_t>(hwo);
    if (id == 0 || IsMapperId(id)) return DevicePresent() ? MMSYSERR_NOERROR : NoDeviceError(id);
    return Lookup(hwo) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

// Closes the audio of the back end the device was opened on, if that back end is still the one in use.
void CloseBackendAudio(const WaveOutDevice& d) {
    if (plat::HasBackend() && &plat::Backend() == d.backend) plat::Backend().CloseAudio();
}

}  // namespace

UINT waveOutGetNumDevs() {
    return DevicePresent() ? 1 : 0;
}

MMRESULT waveOutGetDevCaps(UINT_PTR uDeviceID, LPWAVEOUTCAPS pwoc, UINT cbwoc) {
    if (!pwoc) return MMSYSERR_INVALPARAM;
    if (uDeviceID != 0 && !IsMapperId(uDeviceID)) {
        if (!Lookup(reinterpret_cast<HWAVEOUT>(uDeviceID))) return MMSYSERR_BADDEVICEID;
    } else if (!DevicePresent()) {
        return NoDeviceError(uDeviceID);
    }
    WAVEOUTCAPS caps{};
    caps.wMid = 1;
    caps.wPid = 1;
    caps.vDriverVersion = 0x0100;
    std::snprintf(caps.szPname, sizeof caps.szPname, "%s wave output",
                  plat::HasBackend() ? plat::Backend().Name() : "platform");
    caps.dwFormats = WAVE_FORMAT_1M08 | WAVE_FORMAT_2M08 | WAVE_FORMAT_4M08;
    caps.wChannels = 1;
    caps.dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    std::memcpy(pwoc, &caps, std::min<size_t>(cbwoc, sizeof caps));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen) {
    if (phwo) *phwo = nullptr;
    if (uDeviceID != 0 && uDeviceID != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
    if (!pwfx) return MMSYSERR_INVALPARAM;
    const DWORD kind = fdwOpen & CALLBACK_TYPEMASK;
    if (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW && kind != CALLBACK_THREAD &&
        kind != CALLBACK_FUNCTION)
        return MMSYSERR_INVALFLAG;
    if (kind == CALLBACK_FUNCTION && dwCallback == 0) return MMSYSERR_INVALPARAM;
    // Only the PCM fields: a PCMWAVEFORMAT has no cbSize.
    WAVEFORMATEX fmt{};
    std::memcpy(&fmt, pwfx, sizeof(PCMWAVEFORMAT));
    if (!FormatSupported(fmt)) return WAVERR_BADFORMAT;

    Registry& r = TheRegistry();
    std::shared_ptr<WaveOutDevice> d;
    {
        std::lock_guard lock(r.mutex);
        if (fdwOpen & WAVE_FORMAT_QUERY)
            return DevicePresentLocked(r) ? MMSYSERR_NOERROR : NoDeviceError(uDeviceID);
        if (!phwo) return MMSYSERR_INVALPARAM;
        if (r.open) return MMSYSERR_ALLOCATED;
        if (!plat::HasBackend()) return NoDeviceError(uDeviceID);
        d = std::make_shared<WaveOutDevice>();
        d->handle = reinterpret_cast<HWAVEOUT>(r.nextHandle);
        r.nextHandle += 0x10;
        d->backend = &plat::Backend();
        d->samplesPerSec = static_cast<int>(fmt.nSamplesPerSec);
        d->callbackKind = kind;
        d->callback = dwCallback;
        d->instance = dwInstance;
        plat::AudioFormat af;
        af.samplesPerSec = d->samplesPerSec;
        af.channels = 1;
        af.bitsPerSample = 8;
        if (!d->backend->OpenAudio(af, d.get())) return NoDeviceError(uDeviceID);
        r.open = d;
    }
    *phwo = d->handle;
    Notify(*d, MM_WOM_OPEN, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(d->mutex);
        if (!d->queue.empty()) return WAVERR_STILLPLAYING;
        d->closing = true;
    }
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        if (r.open == d) r.open.reset();
    }
    CloseBackendAudio(*d);
    Notify(*d, MM_WOM_CLOSE, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR) || (!pwh->lpData && pwh->dwBufferLength > 0))
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(d->mutex);
    const DWORD flags = LoadFlags(pwh);
    if (!(flags & WHDR_PREPARED)) StoreFlags(pwh, flags | WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(d->mutex);
    const DWORD flags = LoadFlags(pwh);
    if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    StoreFlags(pwh, flags & ~WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    {
        std::lock_guard lock(d->mutex);
        if (d->closing) return MMSYSERR_INVALHANDLE;
        const DWORD flags = LoadFlags(pwh);
        if (!(flags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        if (!pwh->lpData && pwh->dwBufferLength > 0) return MMSYSERR_INVALPARAM;
        StoreFlags(pwh, (flags & ~WHDR_DONE) | WHDR_INQUEUE);
        d->queue.push_back(pwh);
    }
    // Outside the lock: the back end's device lock is taken around Pull, which takes this one.
    d->backend->AudioQueued();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPause(HWAVEOUT hwo) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(d->mutex);
    d->paused = true;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutRestart(HWAVEOUT hwo) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(d->mutex);
        d->paused = false;
    }
    d->backend->AudioQueued();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::vector<WAVEHDR*> finished;
    {
        std::lock_guard lock(d->mutex);
        d->RetireFront(d->queue.size(), d->WantsNotify() ? &finished : nullptr);
        d->playIndex = 0;
        d->pos = 0;
        d->inLoop = false;
        d->bytesPlayed = 0;
    }
    for (WAVEHDR* h : finished) Notify(*d, MM_WOM_DONE, h);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutBreakLoop(HWAVEOUT hwo) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(d->mutex);
    if (d->inLoop) d->loopsLeft = 1;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt) {
    std::shared_ptr<WaveOutDevice> d = Lookup(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pmmt || cbmmt < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    uint64_t bytes;
    {
        std::lock_guard lock(d->mutex);
        bytes = d->bytesPlayed;
    }
    // Mono 8-bit: one byte per sample.
    switch (pmmt->wType) {
        case TIME_SAMPLES:
            pmmt->u.sample = static_cast<DWORD>(bytes);
            break;
        case TIME_MS:
            pmmt->u.ms = static_cast<DWORD>(bytes * 1000 / static_cast<uint64_t>(d->samplesPerSec));
            break;
        default:
            pmmt->wType = TIME_BYTES;
            pmmt->u.cb = static_cast<DWORD>(bytes);
            break;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume) {
    if (!pdwVolume) return MMSYSERR_INVALPARAM;
    const MMRESULT rc = CheckVolumeTarget(hwo);
    if (rc != MMSYSERR_NOERROR) return rc;
    *pdwVolume = g_volume.load();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume) {
    const MMRESULT rc = CheckVolumeTarget(hwo);
    if (rc != MMSYSERR_NOERROR) return rc;
    g_volume.store(dwVolume);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetID(HWAVEOUT hwo, UINT* puDeviceID) {
    if (!puDeviceID) return MMSYSERR_INVALPARAM;
    if (!Lookup(hwo)) return MMSYSERR_INVALHANDLE;
    *puDeviceID = 0;
    return MMSYSERR_NOERROR;
}

namespace plat {

void ResetWaveOut() {
    std::shared_ptr<WaveOutDevice> d;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        d = std::move(r.open);
        r.open.reset();
    }
    // The headers may belong to a finished test: they are dropped, not touched.
    if (d) CloseBackendAudio(*d);
    g_volume.store(0xFFFFFFFF);
}

void ApplyWaveVolume(uint8_t* samples, size_t n, DWORD volume) {
    const uint32_t mean = (LOWORD(volume) + HIWORD(volume) + 1) / 2;
    if (mean == 0xFFFF) return;
    const int32_t gain = static_cast<int32_t>(mean + (mean >> 15));  // 0..0x10000
    for (size_t i = 0; i < n; ++i) {
        const int32_t d = static_cast<int32_t>(samples[i]) - 0x80;
        samples[i] = static_cast<uint8_t>(0x80 + ((d * gain + 0x8000) >> 16));
    }
}

}  // namespace plat
