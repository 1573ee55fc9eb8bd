#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <unistd.h>

#include <climits>
#include <iterator>
#include <cstring>
#include <string>

#include "platform/core/winuser.h"
#include "platform/sdl/frame_convert.h"
#include "platform/sdl/fullscreen_check.h"
#include "platform/sdl/sdl_input.h"

namespace plat {
namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr size_t kMaxCachedCursors = 32;
constexpr int kBeepHz = 880;
constexpr int kBeepAmplitude = 24;
// About half a second of callbacks with nothing to play before the device rests.
constexpr int kRestAfterSilentCallbacks = 25;

// ZELBO_WINDOW_SCALE when set, else the largest whole-number scale at which the window fits
// the desktop's usable area.
int InitialScale() {
    if (const char* env = SDL_getenv("ZELBO_WINDOW_SCALE")) {
        const int s = SDL_atoi(env);
        if (s >= 1 && s <= 8) return s;
    }
    SDL_Rect r;
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return 1;
    const int decorations = 64;  // title bar and frame, roughly
    return std::max(1, std::min(r.w / kDefaultWidth, (r.h - decorations) / kDefaultHeight));
}

// Whether an OpenGL renderer runs on a software rasteriser (no GPU: a virtual machine, Xvfb).
// There SDL's own software renderer costs about a fifth of the CPU per frame.
bool IsSoftwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (std::strstr(name, soft)) return true;
    return false;
}

// Whether the machine has a GPU SDL can render with: a DRM render node we may open. Under a
// virtual display (Xvfb) or on a machine without one, OpenGL would run on a software rasteriser
// and cost tens of megabytes for nothing.
bool MachineHasGpu() {
    for (int i = 128; i < 136; ++i) {
        const std::string node = "/dev/dri/renderD" + std::to_string(i);
        if (::access(node.c_str(), R_OK | W_OK) == 0) return true;
    }
    return false;
}

// ZELBO_RENDERER: "surface" (the window surface, no renderer), "software" (SDL's software
// renderer), "gpu" (SDL's accelerated renderer); unset: gpu when the machine has one, else surface.
std::string ChosenPath() {
    const char* env = SDL_getenv("ZELBO_RENDERER");
    std::string want = env ? env : "";
    if (want == "surface" || want == "software" || want == "gpu") return want;
    return MachineHasGpu() ? "gpu" : "surface";
}

bool ValidCursor(const CursorImage& c) {
    return c.width > 0 && c.height > 0 && c.width <= 256 && c.height <= 256 &&
           c.rgba.size() >= static_cast<size_t>(c.width) * static_cast<size_t>(c.height);
}

bool SameCursor(const CursorImage& a, const CursorImage& b) {
    return a.width == b.width && a.height == b.height && a.hotX == b.hotX && a.hotY == b.hotY &&
           a.rgba == b.rgba;
}

// An SDL colour cursor of the image enlarged by scale (the screen is shown enlarged too).
SDL_Cursor* MakeCursor(const CursorImage& img, int scale) {
    const int w = img.width * scale;
    const int h = img.height * scale;
    std::vector<uint32_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                img.rgba[static_cast<size_t>(y / scale) * static_cast<size_t>(img.width) +
                         static_cast<size_t>(x / scale)];
    // 0xAABBGGRR words: red in the low byte.
    SDL_Surface* s = SDL_CreateRGBSurfaceFrom(px.data(), w, h, 32, w * 4, 0x000000FFu, 0x0000FF00u,
                                              0x00FF0000u, 0xFF000000u);
    if (!s) return nullptr;
    const int hotX = std::clamp(img.hotX * scale, 0, w - 1);
    const int hotY = std::clamp(img.hotY * scale, 0, h - 1);
    SDL_Cursor* c = SDL_CreateColorCursor(s, hotX, hotY);
    SDL_FreeSurface(s);
    return c;
}

}  // namespace

std::unique_ptr<IBackend> CreateSdlBackend() {
    std::unique_ptr<SdlBackend> b(new SdlBackend());
    if (!b->Init()) return nullptr;
    return b;
}

bool SdlBackend::Init() {
    m_start = std::chrono::steady_clock::now();
    // Ctrl+C ends the program as usual; the close button is the window's only way to ask.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    const std::string path = ChosenPath();
    // The window surface must not be backed by a renderer of SDL's own (that would load OpenGL).
    if (path != "gpu") SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        SDL_Log("SDL cannot start video: %s", SDL_GetError());
        return false;
    }
    m_wakeEvent = SDL_RegisterEvents(1);
    if (m_wakeEvent == static_cast<uint32_t>(-1)) return false;
    const int scale = InitialScale();
    m_window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kDefaultWidth * scale,
                                kDefaultHeight * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!m_window) {
        SDL_Log("SDL cannot make a window: %s", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(m_window, kDefaultWidth, kDefaultHeight);
    m_windowedWidth = kDefaultWidth * scale;
    m_windowedHeight = kDefaultHeight * scale;
    m_texWidth = kDefaultWidth;
    m_texHeight = kDefaultHeight;
    if (path == "surface") {
        SDL_Surface* s = SDL_GetWindowSurface(m_window);
        if (s && s->format->BytesPerPixel == 4) return true;
        // A window surface of another depth: SDL's software renderer converts for us.
        SDL_Log("window surface unusable (%s); using the software renderer", s ? "not 32-bit" : SDL_GetError());
    }
    return InitRenderer(path == "gpu");
}

bool SdlBackend::InitRenderer(bool gpu) {
    m_renderer = gpu ? SDL_CreateRenderer(m_window, -1, 0) : nullptr;
    if (m_renderer && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && IsSoftwareGl(m_renderer)) {
        // OpenGL on a software rasteriser after all: SDL's own software renderer costs less.
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
    if (!m_renderer) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!m_renderer) {
        SDL_Log("SDL cannot make a renderer: %s", SDL_GetError());
        return false;
    }
    SDL_RenderSetLogicalSize(m_renderer, kDefaultWidth, kDefaultHeight);
    SDL_RenderSetIntegerScale(m_renderer, SDL_TRUE);
    return true;
}

SdlBackend::~SdlBackend() {
    m_timers.StopAll();
    CloseAudio();
    for (CachedCursor& c : m_cursors) SDL_FreeCursor(c.cursor);
    if (m_texture) SDL_DestroyTexture(m_texture);
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_window) SDL_DestroyWindow(m_window);
    SDL_Quit();
}

uint64_t SdlBackend::NowMs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
            .count());
}

void SdlBackend::WaitUntil(uint64_t deadlineMs) {
    // Input already pending does not end the wait (the caller has seen it): only what arrives
    // now, from the machine or come due in the script.
    for (;;) {
        const uint64_t now = NowMs();
        if (FeedScript(now)) return;
        if (now >= deadlineMs) return;
        const uint64_t until = m_script.empty() ? deadlineMs : std::min(deadlineMs, m_script.front().atMs);
        SDL_Event e;
        int got;
        if (until == kNoDeadline) {
            got = SDL_WaitEvent(&e);
            if (!got) return;  // SDL failed: returning beats spinning
        } else {
            got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<uint64_t>(until - now, INT_MAX)));
        }
        if (got && Handle(e)) return;
    }
}

void SdlBackend::Wake() {
    // One wake event in the queue at a time is enough; the flag is cleared when it is taken.
    if (m_wakePending.exchange(true)) return;
    SDL_Event e;
    SDL_zero(e);
    e.type = m_wakeEvent;
    if (SDL_PushEvent(&e) != 1) m_wakePending = false;
}

bool SdlBackend::PollInput(InputEvent& ev) {
    FeedScript(NowMs());
    if (m_pending.empty()) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Handle(e);
    }
    if (m_pending.empty()) return false;
    ev = m_pending.front();
    m_pending.pop_front();
    if (m_recorder.IsOpen()) m_recorder.Record(NowMs(), ev);
    return true;
}

bool SdlBackend::FeedScript(uint64_t now) {
    bool any = false;
    while (!m_script.empty() && m_script.front().atMs <= now) {
        const ScriptItem item = std::move(m_script.front());
        m_script.pop_front();
        any = true;
        if (item.kind == ScriptItem::Kind::Input)
            Push(item.input);
        else if (item.kind == ScriptItem::Kind::Quit)
            PostQuitMessage(0);
    }
    return any;
}

bool SdlBackend::LoadScript(const std::string& text, std::string* error) {
    std::vector<ScriptItem> items;
    if (!ParseScript(text, NowMs(), &items, error)) return false;
    for (const ScriptItem& item : items) {
        if (item.kind == ScriptItem::Kind::Screenshot || item.kind == ScriptItem::Kind::Wav) {
            if (error) *error = "the script asks for a screenshot or a wav, which only a headless run writes";
            return false;
        }
    }
    std::vector<ScriptItem> timed;
    for (ScriptItem& item : items) {
        if (item.kind == ScriptItem::Kind::Answer)
            m_answers.push_back(item.answer);
        else if (item.kind == ScriptItem::Kind::Seed)
            m_scriptSeed = item.seed;
        else
            timed.push_back(std::move(item));
    }
    // In time order, events of one time in the order written.
    std::stable_sort(timed.begin(), timed.end(), [](const ScriptItem& a, const ScriptItem& b) { return a.atMs < b.atMs; });
    std::vector<ScriptItem> merged;
    std::merge(std::make_move_iterator(m_script.begin()), std::make_move_iterator(m_script.end()),
               std::make_move_iterator(timed.begin()), std::make_move_iterator(timed.end()), std::back_inserter(merged),
               [](const ScriptItem& a, const ScriptItem& b) { return a.atMs < b.atMs; });
    m_script.assign(std::make_move_iterator(merged.begin()), std::make_move_iterator(merged.end()));
    return true;
}

bool SdlBackend::StartRecording(const std::string& hostPath, std::string* error) {
    return m_recorder.Open(hostPath, error);
}

bool SdlBackend::TakeScriptedAnswer(int& answer) {
    if (m_answers.empty()) return false;
    answer = m_answers.front();
    m_answers.pop_front();
    return true;
}

uint32_t SdlBackend::StartupSeed(uint32_t clockSeed) {
    const uint32_t seed = m_scriptSeed.value_or(clockSeed);
    if (m_recorder.IsOpen()) m_recorder.RecordSeed(NowMs(), seed);
    return seed;
}

bool SdlBackend::Handle(const SDL_Event& e) {
    if (e.type == m_wakeEvent) {
        m_wakePending = false;
        RestAudioIfSilent();
        return true;
    }
    InputEvent ev;
    switch (e.type) {
        case SDL_QUIT:
            ev.kind = InputKind::Close;
            Push(ev);
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    ev.kind = InputKind::Close;
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    ev.kind = InputKind::FocusGained;
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    ev.kind = InputKind::FocusLost;
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) m_clearPending = true;
                    Redraw();
                    if (m_cursorVisible && ValidCursor(m_cursorImage)) ShowCursorImage();
                    return false;
                default:
                    return false;
            }
            Push(ev);
            return true;
        case SDL_MOUSEMOTION:
            // Screen coordinates; the letter-box margins clamp to the nearest edge.
            ev.kind = InputKind::MouseMove;
            ev.x = e.motion.x;
            ev.y = e.motion.y;
            MapPoint(ev.x, ev.y);
            Push(ev);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            switch (e.button.button) {
                case SDL_BUTTON_LEFT:
                    ev.button = MouseButton::Left;
                    break;
                case SDL_BUTTON_RIGHT:
                    ev.button = MouseButton::Right;
                    break;
                case SDL_BUTTON_MIDDLE:
                    ev.button = MouseButton::Middle;
                    break;
                default:
                    return false;
            }
            ev.kind = e.type == SDL_MOUSEBUTTONDOWN ? InputKind::MouseDown : InputKind::MouseUp;
            ev.x = e.button.x;
            ev.y = e.button.y;
            MapPoint(ev.x, ev.y);
            Push(ev);
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const SDL_Keysym& k = e.key.keysym;
            ev.vk = VirtualKeyFromSdl(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
            if (!ev.vk) return false;
            ev.kind = e.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
            ev.repeat = e.key.repeat != 0;
            ev.extended = IsExtendedKey(k.scancode);
            if (e.type == SDL_KEYDOWN)
                ev.ch = ControlCharForKey(ev.vk, (k.mod & KMOD_CTRL) != 0, (k.mod & KMOD_ALT) != 0);
            Push(ev);
            // The text the key typed is SDL's next event: it joins the key now, before the key
            // can be taken on its own (a wait ends on the key alone).
            SDL_Event text;
            if (e.type == SDL_KEYDOWN && SDL_PeepEvents(&text, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                text.type == SDL_TEXTINPUT && SDL_PeepEvents(&text, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) == 1)
                AddTypedText(m_pending, text.text.text);
            return true;
        }
        case SDL_TEXTINPUT: {
            const size_t before = m_pending.size();
            AddTypedText(m_pending, e.text.text);
            return m_pending.size() != before;
        }
        default:
            return false;
    }
}

uint32_t SdlBackend::StartPeriodic(uint32_t periodMs, std::function<void()> fn) {
    return m_timers.Start(periodMs, std::move(fn));
}

void SdlBackend::StopPeriodic(uint32_t id) {
    m_timers.Stop(id);
}

void SdlBackend::MapPoint(int& x, int& y) const {
    if (!m_renderer) {
        // The renderer maps through its logical size by itself; the surface path maps here.
        x = (x - m_offsetX) / std::max(1, m_scale);
        y = (y - m_offsetY) / std::max(1, m_scale);
    }
    x = std::clamp(x, 0, m_texWidth - 1);
    y = std::clamp(y, 0, m_texHeight - 1);
}

void SdlBackend::Present(const uint8_t* pixels, int w, int h, const uint32_t* palette,
                         std::span<const RECT> changed) {
    if (!m_window || !pixels || !palette || w <= 0 || h <= 0) return;
    const RECT whole{0, 0, w, h};
    bool all = w != m_frameWidth || h != m_frameHeight;
    if (all) {
        m_indices.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        m_frameWidth = w;
        m_frameHeight = h;
        m_texWidth = w;
        m_texHeight = h;
    }
    if (!m_havePalette || std::memcmp(m_palette, palette, sizeof m_palette) != 0) {
        // Every pixel may show another colour now.
        std::memcpy(m_palette, palette, sizeof m_palette);
        m_havePalette = true;
        m_tableValid = false;
        all = true;
    }
    std::vector<RECT> rects;
    if (all) {
        rects.push_back(whole);
    } else {
        for (const RECT& c : changed) {
            RECT r{std::max<LONG>(c.left, 0), std::max<LONG>(c.top, 0), std::min<LONG>(c.right, w),
                   std::min<LONG>(c.bottom, h)};
            if (r.right > r.left && r.bottom > r.top) rects.push_back(r);
        }
        if (rects.empty()) return;
    }
    for (const RECT& r : rects)
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memcpy(&m_indices[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(r.left)],
                        pixels + static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(r.left),
                        static_cast<size_t>(r.right - r.left));
    if (!m_shown) {
        SDL_ShowWindow(m_window);
        m_shown = true;
    }

    if (m_renderer) {
        if (!m_texture || m_texWidth != w || m_texHeight != h || all) {
            if (m_texture && (m_texWidth != w || m_texHeight != h)) {
                SDL_DestroyTexture(m_texture);
                m_texture = nullptr;
            }
            if (!m_texture) {
                m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
                if (!m_texture) return;
                SDL_RenderSetLogicalSize(m_renderer, w, h);
            }
        }
        for (const RECT& r : rects) {
            const SDL_Rect sr{r.left, r.top, r.right - r.left, r.bottom - r.top};
            void* dst = nullptr;
            int pitch = 0;
            if (SDL_LockTexture(m_texture, &sr, &dst, &pitch) != 0) return;
            ConvertIndexedFrame(pixels + static_cast<size_t>(r.top) * static_cast<size_t>(w) + static_cast<size_t>(r.left),
                                sr.w, sr.h, static_cast<size_t>(w), palette, dst, static_cast<size_t>(pitch));
            SDL_UnlockTexture(m_texture);
        }
        Redraw();
        return;
    }

    bool relaidOut = false;
    if (!PrepareSurface(&relaidOut)) return;
    if (relaidOut) {
        // Laid out again: the whole frame is drawn already, the whole window goes out.
        SDL_UpdateWindowSurface(m_window);
        return;
    }
    if (!m_tableValid) {
        for (int i = 0; i < 256; ++i)
            m_table[i] = SDL_MapRGB(m_surface->format, static_cast<Uint8>(palette[i] & 0xFF),
                                    static_cast<Uint8>((palette[i] >> 8) & 0xFF), static_cast<Uint8>((palette[i] >> 16) & 0xFF));
        m_tableValid = true;
    }
    if (SDL_MUSTLOCK(m_surface) && SDL_LockSurface(m_surface) != 0) return;
    std::vector<SDL_Rect> sent;
    sent.reserve(rects.size());
    for (const RECT& r : rects) {
        DrawToSurface(r);
        sent.push_back(SDL_Rect{m_offsetX + r.left * m_scale, m_offsetY + r.top * m_scale, (r.right - r.left) * m_scale,
                                (r.bottom - r.top) * m_scale});
    }
    if (SDL_MUSTLOCK(m_surface)) SDL_UnlockSurface(m_surface);
    // One update per frame, of the rectangles that changed.
    SDL_UpdateWindowSurfaceRects(m_window, sent.data(), static_cast<int>(sent.size()));
}

bool SdlBackend::PrepareSurface(bool* relaidOut) {
    *relaidOut = false;
    SDL_Surface* s = SDL_GetWindowSurface(m_window);
    if (!s || s->format->BytesPerPixel != 4) return false;
    if (s == m_surface && s->w == m_surfaceWidth && s->h == m_surfaceHeight && !m_clearPending) return true;
    // A new surface (the window changed size or mode): lay the screen out again and clear the
    // letter-box once.
    m_surface = s;
    m_surfaceWidth = s->w;
    m_surfaceHeight = s->h;
    const int fw = std::max(1, m_frameWidth);
    const int fh = std::max(1, m_frameHeight);
    m_scale = std::max(1, std::min(s->w / fw, s->h / fh));
    m_offsetX = std::max(0, (s->w - fw * m_scale) / 2);
    m_offsetY = std::max(0, (s->h - fh * m_scale) / 2);
    // Black bars around the screen; the screen's own area is drawn over just below.
    const Uint32 black = SDL_MapRGB(s->format, 0, 0, 0);
    const int sw = std::min(s->w - m_offsetX, fw * m_scale);
    const int sh = std::min(s->h - m_offsetY, fh * m_scale);
    const SDL_Rect bars[] = {{0, 0, s->w, m_offsetY},
                             {0, m_offsetY + sh, s->w, s->h - m_offsetY - sh},
                             {0, m_offsetY, m_offsetX, sh},
                             {m_offsetX + sw, m_offsetY, s->w - m_offsetX - sw, sh}};
    for (const SDL_Rect& bar : bars)
        if (bar.w > 0 && bar.h > 0) SDL_FillRect(s, &bar, black);
    m_clearPending = false;
    *relaidOut = true;
    if (m_cursorVisible && ValidCursor(m_cursorImage)) ShowCursorImage();
    // The surface's pixel format may differ from the last one's.
    for (int i = 0; i < 256 && m_havePalette; ++i)
        m_table[i] = SDL_MapRGB(s->format, static_cast<Uint8>(m_palette[i] & 0xFF),
                                static_cast<Uint8>((m_palette[i] >> 8) & 0xFF), static_cast<Uint8>((m_palette[i] >> 16) & 0xFF));
    m_tableValid = m_havePalette;
    if (m_frameWidth > 0) {
        if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
        DrawToSurface(RECT{0, 0, m_frameWidth, m_frameHeight});
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    }
    return true;
}

void SdlBackend::DrawToSurface(const RECT& r) {
    // Only what fits the surface (a window smaller than the screen shows its top left part).
    const int visibleW = std::min(m_frameWidth, (m_surfaceWidth - m_offsetX) / m_scale);
    const int visibleH = std::min(m_frameHeight, (m_surfaceHeight - m_offsetY) / m_scale);
    const int right = std::min<int>(r.right, visibleW);
    const int bottom = std::min<int>(r.bottom, visibleH);
    if (right <= r.left || bottom <= r.top) return;
    auto* base = static_cast<uint8_t*>(m_surface->pixels);
    const size_t pitch = static_cast<size_t>(m_surface->pitch);
    uint8_t* dst = base + static_cast<size_t>(m_offsetY + r.top * m_scale) * pitch +
                   static_cast<size_t>(m_offsetX + r.left * m_scale) * 4;
    ConvertIndexedScaled(&m_indices[static_cast<size_t>(r.top) * static_cast<size_t>(m_frameWidth) + static_cast<size_t>(r.left)],
                         right - r.left, bottom - r.top, static_cast<size_t>(m_frameWidth), m_table, m_scale, dst, pitch);
}

void SdlBackend::Redraw() {
    if (!m_shown) return;
    if (!m_renderer) {
        bool relaidOut = false;
        if (!PrepareSurface(&relaidOut)) return;
        SDL_UpdateWindowSurface(m_window);
        return;
    }
    // The software renderer keeps its frame between presents, so the letter-box bars need
    // clearing only after the window changed; accelerated renderers clear every frame.
    SDL_RendererInfo info{};
    bool software = SDL_GetRendererInfo(m_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    if (!software || m_clearPending) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        m_clearPending = false;
    }
    if (m_texture) SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
}

void SdlBackend::SetFullscreen(bool fullscreen) {
    SDL_SetWindowFullscreen(m_window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    // Unhonoured (no window manager), SDL would lay the frame out for a screen the window does
    // not cover, and the player would see a cut part of it: the window stays a window then.
    if (fullscreen && !FullscreenHonoured(m_window)) {
        SDL_SetWindowFullscreen(m_window, 0);
        // SDL keeps taking the window for the display's size until it is given its own again.
        SDL_SetWindowSize(m_window, m_windowedWidth, m_windowedHeight);
    }
    m_clearPending = true;
    Redraw();
}

void SdlBackend::SetTitle(const std::string& utf8) {
    SDL_SetWindowTitle(m_window, utf8.c_str());
}

int SdlBackend::Scale() const {
    if (!m_renderer) return std::max(1, m_scale);
    float sx = 1.0f;
    float sy = 1.0f;
    SDL_RenderGetScale(m_renderer, &sx, &sy);
    return std::max(1, static_cast<int>(sx));
}

std::string SdlBackend::PresentPath() const {
    if (!m_renderer) return "surface";
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(m_renderer, &info) == 0 ? info.name : "renderer";
}

void SdlBackend::SetCursor(const CursorImage* cursor) {
    if (!cursor) {
        m_cursorVisible = false;
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (!ValidCursor(*cursor)) return;
    if (!SameCursor(*cursor, m_cursorImage)) m_cursorImage = *cursor;
    m_cursorVisible = true;
    ShowCursorImage();
}

void SdlBackend::ShowCursorImage() {
    const int scale = Scale();
    auto it = std::find_if(m_cursors.begin(), m_cursors.end(), [&](const CachedCursor& c) {
        return c.scale == scale && SameCursor(c.image, m_cursorImage);
    });
    SDL_Cursor* cursor = nullptr;
    if (it != m_cursors.end()) {
        cursor = it->cursor;
    } else {
        cursor = MakeCursor(m_cursorImage, scale);
        if (!cursor) return;
        if (m_cursors.size() >= kMaxCachedCursors) {
            // Drop the oldest one that is not on show.
            auto old = std::find_if(m_cursors.begin(), m_cursors.end(),
                                    [&](const CachedCursor& c) { return c.cursor != m_currentCursor; });
            if (old != m_cursors.end()) {
                SDL_FreeCursor(old->cursor);
                m_cursors.erase(old);
            }
        }
        m_cursors.push_back(CachedCursor{scale, m_cursorImage, cursor});
    }
    if (cursor != m_currentCursor) {
        SDL_SetCursor(cursor);
        m_currentCursor = cursor;
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlBackend::WarpMouse(int x, int y) {
    if (!m_window) return;
    int wx = 0;
    int wy = 0;
    if (m_renderer) {
        SDL_RenderLogicalToWindow(m_renderer, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, &wx,
                                  &wy);
    } else {
        wx = m_offsetX + x * m_scale + m_scale / 2;
        wy = m_offsetY + y * m_scale + m_scale / 2;
    }
    SDL_WarpMouseInWindow(m_window, wx, wy);
}

void SdlBackend::Beep(UINT) {
    if (!m_audioDevice) return;
    m_beepLeft = m_audioRate / 8;
    AudioQueued();
}

void SdlBackend::AudioCallback(void* userdata, uint8_t* stream, int len) {
    auto* self = static_cast<SdlBackend*>(userdata);
    const auto n = static_cast<size_t>(len);
    size_t real = 0;
    if (self->m_audioSource)
        real = self->m_audioSource->Pull(stream, n);
    else
        std::memset(stream, 0x80, n);
    int left = self->m_beepLeft.load();
    if (real == 0 && left <= 0) {
        // Nothing to hear for a while: the program's thread pauses the device, so an idle game
        // no longer pulls and mixes silence for every callback (SDL's own audio thread keeps
        // its pace, writing silence while paused).
        if (++self->m_silentCallbacks == kRestAfterSilentCallbacks) self->Wake();
    } else {
        self->m_silentCallbacks = 0;
    }
    if (left <= 0) return;
    const int half = std::max(1, self->m_audioRate / (2 * kBeepHz));
    const int count = std::min(left, len);
    for (int i = 0; i < count; ++i) {
        const int tone = (self->m_beepPhase++ / half) % 2 ? kBeepAmplitude : -kBeepAmplitude;
        stream[i] = static_cast<uint8_t>(std::clamp(stream[i] + tone, 0, 255));
    }
    self->m_beepLeft -= count;
}

bool SdlBackend::OpenAudio(const AudioFormat& fmt, IAudioSource* source) {
    CloseAudio();
    // Only what the device feeds: unsigned 8-bit samples.
    if (!source || fmt.bitsPerSample != 8 || fmt.channels < 1 || fmt.channels > 2 || fmt.samplesPerSec <= 0)
        return false;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        SDL_Log("no audio: %s", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = fmt.samplesPerSec;
    want.format = AUDIO_U8;
    want.channels = static_cast<Uint8>(fmt.channels);
    // About 20 ms per callback: short enough for the 16 ms mixer tick to keep up.
    Uint16 samples = 64;
    while (samples < 4096 && samples * 50 < fmt.samplesPerSec) samples = static_cast<Uint16>(samples * 2);
    want.samples = samples;
    want.callback = &SdlBackend::AudioCallback;
    want.userdata = this;
    m_audioSource = source;
    m_audioRate = fmt.samplesPerSec;
    m_beepLeft = 0;
    SDL_AudioSpec have;
    // No changes allowed: SDL converts to whatever the hardware wants.
    m_audioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!m_audioDevice) {
        SDL_Log("no audio device: %s", SDL_GetError());
        m_audioSource = nullptr;
        return false;
    }
    SDL_PauseAudioDevice(m_audioDevice, 0);
    return true;
}

IBackend::AudioPresence SdlBackend::KnownAudioPresence() {
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return AudioPresence::Absent;
    // A driver that lists its outputs and lists some has a device; a count of 0 or -1 (a driver
    // that cannot list, or a list not yet known) is settled by opening one.
    return SDL_GetNumAudioDevices(0) > 0 ? AudioPresence::Present : AudioPresence::Unknown;
}

void SdlBackend::PauseAudio(bool paused) {
    std::lock_guard lock(m_restMutex);
    m_callerPaused = paused;
    m_resting = false;
    m_silentCallbacks = 0;
    if (m_audioDevice) SDL_PauseAudioDevice(m_audioDevice, paused ? 1 : 0);
}

void SdlBackend::AudioQueued() {
    std::lock_guard lock(m_restMutex);
    m_silentCallbacks = 0;
    if (!m_resting) return;
    m_resting = false;
    if (m_audioDevice && !m_callerPaused) SDL_PauseAudioDevice(m_audioDevice, 0);
}

void SdlBackend::RestAudioIfSilent() {
    std::lock_guard lock(m_restMutex);
    if (!m_audioDevice || m_resting || m_callerPaused || m_silentCallbacks < kRestAfterSilentCallbacks) return;
    SDL_PauseAudioDevice(m_audioDevice, 1);  // returns with no callback running
    // Something queued meanwhile (its wake found the device not yet resting): play on.
    if ((m_audioSource && m_audioSource->BytesQueued() > 0) || m_beepLeft > 0) {
        m_silentCallbacks = 0;
        SDL_PauseAudioDevice(m_audioDevice, 0);
        return;
    }
    m_resting = true;
}

bool SdlBackend::AudioResting() {
    std::lock_guard lock(m_restMutex);
    return m_resting;
}

void SdlBackend::CloseAudio() {
    if (!m_audioDevice) return;
    // Waits for a callback in progress, so the source is not pulled after this.
    SDL_CloseAudioDevice(m_audioDevice);
    std::lock_guard lock(m_restMutex);
    m_audioDevice = 0;
    m_audioSource = nullptr;
    m_resting = false;
    m_callerPaused = false;
    m_silentCallbacks = 0;
}

}  // namespace plat
