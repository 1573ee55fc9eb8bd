// Wave output in Windows terms: one output device fed by the back end's audio pull.
// The device keeps only the pointer of a written buffer and reads its bytes when it plays
// them, so a program may still write into a buffer it has already queued. Buffers finish in
// order; a finished buffer gets WHDR_DONE (stored atomically; poll it with std::atomic_ref or
// plain reads). Safe to call from any thread.
#pragma once

#include <cstdint>

#include "platform/core/mmsystem.h"
#include "platform/core/wintypes.h"

// MMRESULT, DWORD_PTR and MMSYSERR_INVALPARAM come with the multimedia timer's header.
using MMVERSION = UINT;
using LPDWORD = DWORD*;

struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;
using LPHWAVEOUT = HWAVEOUT*;

enum : MMRESULT {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_NOTENABLED = 3,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_NOMEM = 7,
    MMSYSERR_NOTSUPPORTED = 8,
    MMSYSERR_BADERRNUM = 9,
    MMSYSERR_INVALFLAG = 10,
    WAVERR_BADFORMAT = 32,
    WAVERR_STILLPLAYING = 33,
    WAVERR_UNPREPARED = 34,
    WAVERR_SYNC = 35,
};

constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

// waveOutOpen flags: the callback kind and the format query.
enum : DWORD {
    CALLBACK_TYPEMASK = 0x00070000,
    CALLBACK_NULL = 0x00000000,
    CALLBACK_WINDOW = 0x00010000,
    CALLBACK_THREAD = 0x00020000,
    CALLBACK_FUNCTION = 0x00030000,
    CALLBACK_EVENT = 0x00050000,
    WAVE_FORMAT_QUERY = 0x0001,
    WAVE_ALLOWSYNC = 0x0002,
    WAVE_MAPPED = 0x0004,
};

// Posted to a CALLBACK_WINDOW/CALLBACK_THREAD target (wParam = device, lParam = header for
// DONE), or passed to a CALLBACK_FUNCTION as uMsg (dwParam1 = header for DONE).
enum : UINT {
    MM_WOM_OPEN = 0x03BB,
    MM_WOM_CLOSE = 0x03BC,
    MM_WOM_DONE = 0x03BD,
    WOM_OPEN = MM_WOM_OPEN,
    WOM_CLOSE = MM_WOM_CLOSE,
    WOM_DONE = MM_WOM_DONE,
};

enum : WORD { WAVE_FORMAT_PCM = 1 };

// Format bits of WAVEOUTCAPS::dwFormats (rate in kHz class, mono/stereo, 8/16 bits).
enum : DWORD {
    WAVE_FORMAT_1M08 = 0x00000001,
    WAVE_FORMAT_1S08 = 0x00000002,
    WAVE_FORMAT_1M16 = 0x00000004,
    WAVE_FORMAT_1S16 = 0x00000008,
    WAVE_FORMAT_2M08 = 0x00000010,
    WAVE_FORMAT_2S08 = 0x00000020,
    WAVE_FORMAT_2M16 = 0x00000040,
    WAVE_FORMAT_2S16 = 0x00000080,
    WAVE_FORMAT_4M08 = 0x00000100,
    WAVE_FORMAT_4S08 = 0x00000200,
    WAVE_FORMAT_4M16 = 0x00000400,
    WAVE_FORMAT_4S16 = 0x00000800,
};

// WAVEOUTCAPS::dwSupport.
enum : DWORD {
    WAVECAPS_PITCH = 0x0001,
    WAVECAPS_PLAYBACKRATE = 0x0002,
    WAVECAPS_VOLUME = 0x0004,
    WAVECAPS_LRVOLUME = 0x0008,
    WAVECAPS_SYNC = 0x0010,
    WAVECAPS_SAMPLEACCURATE = 0x0020,
};

// WAVEHDR::dwFlags.
enum : DWORD {
    WHDR_DONE = 0x00000001,
    WHDR_PREPARED = 0x00000002,
    WHDR_BEGINLOOP = 0x00000004,
    WHDR_ENDLOOP = 0x00000008,
    WHDR_INQUEUE = 0x00000010,
};

// The format structures keep their packed file layout (they also appear in WAV headers).
#pragma pack(push, 1)
struct WAVEFORMAT {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
};
struct PCMWAVEFORMAT {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
};
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // never read for PCM: callers may pass a PCMWAVEFORMAT
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMAT) == 14);
static_assert(sizeof(PCMWAVEFORMAT) == 16);
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

struct WAVEHDR {
    LPSTR lpData = nullptr;
    DWORD dwBufferLength = 0;
    DWORD dwBytesRecorded = 0;
    DWORD_PTR dwUser = 0;
    DWORD dwFlags = 0;
    DWORD dwLoops = 0;  // read from the WHDR_BEGINLOOP buffer: times the loop plays
    WAVEHDR* lpNext = nullptr;
    DWORD_PTR reserved = 0;
};
using LPWAVEHDR = WAVEHDR*;

constexpr int MAXPNAMELEN = 32;

struct WAVEOUTCAPS {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};
using LPWAVEOUTCAPS = WAVEOUTCAPS*;

enum : UINT {
    TIME_MS = 0x0001,
    TIME_SAMPLES = 0x0002,
    TIME_BYTES = 0x0004,
    TIME_SMPTE = 0x0008,
    TIME_MIDI = 0x0010,
    TIME_TICKS = 0x0020
};

struct MMTIME {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
    } u;
};
using LPMMTIME = MMTIME*;

using WAVEOUTPROC = void (*)(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                             DWORD_PTR dwParam2);

// Devices: 1 when the back end has an audio device, else 0.
UINT waveOutGetNumDevs();
// uDeviceID: 0, WAVE_MAPPER, or an open device handle.
MMRESULT waveOutGetDevCaps(UINT_PTR uDeviceID, LPWAVEOUTCAPS pwoc, UINT cbwoc);
// Accepts PCM, mono, 8 bits per sample at 4000..96000 samples per second; one device open at a time.
// dwCallback is an HWND (CALLBACK_WINDOW), a thread id (CALLBACK_THREAD) or a WAVEOUTPROC
// (CALLBACK_FUNCTION, called on the audio thread for WOM_DONE). CALLBACK_EVENT is refused.
MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT waveOutClose(HWAVEOUT hwo);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT waveOutPause(HWAVEOUT hwo);
MMRESULT waveOutRestart(HWAVEOUT hwo);
// Stops, marks every queued buffer done (in order) and sets the position back to 0.
MMRESULT waveOutReset(HWAVEOUT hwo);
// Ends the loop being played after its current pass.
MMRESULT waveOutBreakLoop(HWAVEOUT hwo);
// Bytes played since open or the last reset (TIME_BYTES, TIME_SAMPLES, TIME_MS; others
// answer in TIME_BYTES).
MMRESULT waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt);
// Volume of the device (low word left, high word right, 0-0xFFFF each); hwo may be the open
// device, or null/0/WAVE_MAPPER for the device itself. Kept while no device is open. Mono
// output plays at the mean of the two.
MMRESULT waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume);
MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume);
MMRESULT waveOutGetID(HWAVEOUT hwo, UINT* puDeviceID);

namespace plat {

// Closes any open device without callbacks and sets the volume back to full (tests, and
// before a back end is replaced).
void ResetWaveOut();

// The device's software gain: scales n unsigned 8-bit samples about 0x80 by a volume
// (low word left, high word right; mono takes the mean).
void ApplyWaveVolume(uint8_t* samples, size_t n, DWORD volume);

}  // namespace plat
