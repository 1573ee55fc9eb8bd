// Hand check of the SDL back end without the rest of the platform: a test pattern whose
// palette cycles, input events printed as they arrive, a tone through the wave output.
//
//   platform_sdl_check             window; Escape or the close button ends it
//                                  keys: b beep, f full screen, t tone, c cursor, h hide cursor,
//                                  w warp the mouse to (100, 100)
//   platform_sdl_check --idle N    N seconds of an idle loop (55 ms timer, nothing drawn), for CPU use
//   platform_sdl_check --animate N N seconds of palette animation every 55 ms, then exit
//   platform_sdl_check --tone N    N seconds of a rising tone through waveOut, then exit
//   platform_sdl_check --core --idle N | --core --animate N
//                                  the same through the whole platform: a window, the message
//                                  loop, a 55 ms window timer, the display (for CPU figures)
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/wave_out.h"
#include "platform/core/backend.h"
#include "platform/core/display.h"
#include "platform/core/winuser.h"
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

struct Pattern {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kW * kH);
    uint32_t palette[256] = {};
    int phase = 0;

    Pattern() {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                // Bands of the cycling range on the left, the 20 fixed colours along the bottom.
                int i = 10 + ((x / 4 + y / 8) % 236);
                if (y >= kH - 40) i = x / 32 < 10 ? x / 32 : 236 + x / 32;
                pixels[static_cast<size_t>(y) * kW + x] = static_cast<uint8_t>(i);
            }
        for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint32_t>(i | (i << 8) | (i << 16));
        Cycle();
    }
    void Cycle() {
        ++phase;
        for (int i = 10; i < 246; ++i) {
            const double t = (i + phase) * 2 * M_PI / 236.0;
            const auto r = static_cast<uint32_t>(127.5 + 127.5 * std::sin(t));
            const auto g = static_cast<uint32_t>(127.5 + 127.5 * std::sin(t + 2.1));
            const auto b = static_cast<uint32_t>(127.5 + 127.5 * std::sin(t + 4.2));
            palette[i] = r | (g << 8) | (b << 16);
        }
    }
};

// A ring of three buffers refilled when done, as the game's mixer does.
class Tone {
public:
    bool Open() {
        WAVEFORMATEX f{};
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = 1;
        f.nSamplesPerSec = 11025;
        f.nAvgBytesPerSec = 11025;
        f.nBlockAlign = 1;
        f.wBitsPerSample = 8;
        std::printf("waveOutGetNumDevs: %u\n", waveOutGetNumDevs());
        const MMRESULT rc = waveOutOpen(&m_dev, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL);
        std::printf("waveOutOpen: %u\n", rc);
        if (rc != MMSYSERR_NOERROR) return false;
        for (auto& b : m_bufs) {
            b.data.resize(1378);
            b.hdr.lpData = reinterpret_cast<LPSTR>(b.data.data());
            b.hdr.dwBufferLength = static_cast<DWORD>(b.data.size());
            waveOutPrepareHeader(m_dev, &b.hdr, sizeof b.hdr);
            b.hdr.dwFlags |= WHDR_DONE;
        }
        return true;
    }
    void Pump(bool on) {
        if (!m_dev) return;
        for (auto& b : m_bufs) {
            if (!(std::atomic_ref<DWORD>(b.hdr.dwFlags).load() & WHDR_DONE) || !on) continue;
            for (auto& s : b.data) {
                m_freq = m_freq < 880 ? m_freq + 0.02 : 220;
                m_phase += m_freq / 11025.0;
                s = static_cast<uint8_t>(128 + 60 * std::sin(2 * M_PI * m_phase));
            }
            waveOutWrite(m_dev, &b.hdr, sizeof b.hdr);
        }
    }
    void Close() {
        if (!m_dev) return;
        waveOutReset(m_dev);
        for (auto& b : m_bufs) waveOutUnprepareHeader(m_dev, &b.hdr, sizeof b.hdr);
        waveOutClose(m_dev);
        m_dev = nullptr;
    }

private:
    struct Buf {
        std::vector<uint8_t> data;
        WAVEHDR hdr{};
    };
    HWAVEOUT m_dev = nullptr;
    Buf m_bufs[3];
    double m_freq = 220;
    double m_phase = 0;
};

const char* KindName(plat::InputKind k) {
    switch (k) {
        case plat::InputKind::MouseMove:
            return "move";
        case plat::InputKind::MouseDown:
            return "down";
        case plat::InputKind::MouseUp:
            return "up";
        case plat::InputKind::KeyDown:
            return "keydown";
        case plat::InputKind::KeyUp:
            return "keyup";
        case plat::InputKind::Close:
            return "close";
        case plat::InputKind::FocusLost:
            return "focuslost";
        case plat::InputKind::FocusGained:
            return "focusgained";
        case plat::InputKind::Char:
            return "char";
    }
    return "?";
}

plat::CursorImage MakeCursor() {
    plat::CursorImage c;
    c.width = 16;
    c.height = 16;
    c.hotX = 8;
    c.hotY = 8;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int d = (x - 8) * (x - 8) + (y - 8) * (y - 8);
            c.rgba.push_back(d < 20 ? 0xFF0000FFu : d < 50 ? 0xFFFFFFFFu : 0u);  // red dot, white ring
        }
    return c;
}

// The pattern's cycling colours as hardware palette entries 10-245.
void SetPatternPalette(const Pattern& p) {
    PALETTEENTRY entries[236];
    for (int i = 0; i < 236; ++i) {
        const uint32_t c = p.palette[10 + i];
        entries[i] = PALETTEENTRY{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                                  static_cast<BYTE>((c >> 16) & 0xFF), 0};
    }
    plat::TheDisplay().SetHardwareEntries(10, 236, entries);
}

int RunCore(bool animate, double seconds) {
    plat::ResetWindowing();
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "SdlCheck";
    RegisterClass(&wc);
    HWND w = CreateWindow("SdlCheck", "check", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr, nullptr,
                          nullptr);
    Pattern pattern;
    std::memcpy(plat::TheDisplay().Pixels(), pattern.pixels.data(), pattern.pixels.size());
    plat::TheDisplay().InvalidateAll();
    SetPatternPalette(pattern);
    SetTimer(w, 1, 55, nullptr);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    MSG m;
    uint64_t ticks = 0;
    while (GetMessage(&m, nullptr, 0, 0)) {
        if (m.message == WM_TIMER) {
            ++ticks;
            if (animate) {
                pattern.Cycle();
                SetPatternPalette(pattern);
            }
            if (static_cast<int32_t>(GetTickCount() - end) >= 0) break;
        }
        DispatchMessage(&m);
    }
    std::printf("ticks: %llu, presents: %llu\n", static_cast<unsigned long long>(ticks),
                static_cast<unsigned long long>(plat::TheDisplay().PresentCount()));
    plat::ResetWindowing();
    plat::SetBackend(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string mode = argc > 1 ? argv[1] : "";
    const double seconds = argc > 2 ? std::atof(argv[2]) : 0;
    auto created = plat::CreateSdlBackend();
    if (!created) {
        std::fprintf(stderr, "no SDL video\n");
        return 1;
    }
    plat::SetBackend(std::move(created));
    if (mode == "--core")
        return RunCore(argc > 2 && std::string(argv[2]) == "--animate", argc > 3 ? std::atof(argv[3]) : 10);
    plat::IBackend& be = plat::Backend();
    be.SetTitle("SDL back end check \xC3\xA5\xC3\xA4\xC3\xB6");

    Pattern pattern;
    const RECT whole{0, 0, kW, kH};
    be.Present(pattern.pixels.data(), kW, kH, pattern.palette, std::span<const RECT>(&whole, 1));
    const uint32_t timer = be.StartPeriodic(55, [&be] { be.Wake(); });

    Tone tone;
    bool toneOn = mode == "--tone";
    if (toneOn) tone.Open();
    const plat::CursorImage cursor = MakeCursor();
    bool fullscreen = false;
    const uint64_t end = seconds > 0 ? be.NowMs() + static_cast<uint64_t>(seconds * 1000) : plat::kNoDeadline;
    uint64_t wakes = 0;
    for (bool running = true; running && be.NowMs() < end;) {
        be.WaitUntil(end);
        ++wakes;
        plat::InputEvent ev;
        while (be.PollInput(ev)) {
            std::printf("%s x=%d y=%d button=%d vk=0x%02X ch=0x%02X repeat=%d\n", KindName(ev.kind), ev.x,
                        ev.y, static_cast<int>(ev.button), ev.vk, ev.ch, ev.repeat);
            if (ev.kind == plat::InputKind::Close ||
                (ev.kind == plat::InputKind::KeyDown && ev.vk == VK_ESCAPE))
                running = false;
            if (ev.kind != plat::InputKind::KeyDown) continue;
            if (ev.vk == 'B') be.Beep(0);
            if (ev.vk == 'F') be.SetFullscreen(fullscreen = !fullscreen);
            if (ev.vk == 'C') be.SetCursor(&cursor);
            if (ev.vk == 'H') be.SetCursor(nullptr);
            if (ev.vk == 'W') be.WarpMouse(100, 100);
            if (ev.vk == 'T') {
                if (!toneOn && tone.Open()) toneOn = true;
            }
        }
        if (mode != "--idle") {
            pattern.Cycle();
            be.Present(pattern.pixels.data(), kW, kH, pattern.palette, std::span<const RECT>(&whole, 1));
        }
        tone.Pump(toneOn);
    }
    std::printf("wakes: %llu\n", static_cast<unsigned long long>(wakes));
    be.StopPeriodic(timer);
    tone.Close();
    plat::ResetWaveOut();
    plat::SetBackend(nullptr);
    return 0;
}
