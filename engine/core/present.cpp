// Frame presentation: the dirty rectangles composed in the frame surface (background, spot
// outlines, animations, navigation buttons, scan highlight) and shown in the game view, plain
// or through a transition; the first presentation enters the home module; the module's
// palette.
#include <memory>
#include <string>

#include "engine/core/cor_engine.h"
#include "engine/core/transitions.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "media/util/mono_debug.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr int kComposeOnly = 5;

// The frame surface onto the game view's device context: copies with the surface's own blit,
// the screen's picture moved with a copy within the device context.
class CViewCanvas : public ITransitionCanvas {
public:
    CViewCanvas(HDC dc, CDibG& frame) : m_dc(dc), m_frame(frame) {}
    void Copy(POINT dst, const RECT& src) override {
        m_frame.BltToDC(m_dc, dst, POINT{src.left, src.top}, SIZE{src.right - src.left, src.bottom - src.top});
    }
    void Shift(int dx) override {
        const int width = m_frame.Width(), height = m_frame.Height();
        if (dx > 0)
            BitBlt(m_dc, dx, 0, width - dx, height, m_dc, 0, 0, SRCCOPY);
        else if (dx < 0)
            BitBlt(m_dc, 0, 0, width + dx, height, m_dc, -dx, 0, SRCCOPY);
    }

private:
    HDC m_dc;
    CDibG& m_frame;
};

}  // namespace

void CCorEngine::InvalidateGameRect(const RECT* r) {
    if (!m_dirtyRects) return;
    m_dirtyRects->Add(r ? *r : RECT{0, 0, m_screenWidth, m_screenHeight});
}

void CCorEngine::Present(int16_t kind) {
    if (m_busyGuard || !m_dirtyRects) return;
    m_dirtyRects->ClipAll(RECT{0, 0, m_screenWidth, m_screenHeight});
    if (m_dirtyRects->IsEmpty()) return;
    PresentToView(kind);
    m_dirtyRects->RemoveAll();
}

void CCorEngine::PresentCompose() { Present(kComposeOnly); }

void CCorEngine::StepAndPresent() {
    m_anims.StepAll();
    Present(0);
}

void CCorEngine::RedrawArea(int16_t kind) {
    if (m_unloading) return;
    if (!m_inEnter && !m_drag.InCallback()) m_anims.RunUntilSettled();
    if (!m_dirtyRects || m_dirtyRects->IsEmpty()) return;
    const bool transition = (kind >= 0 && kind <= 5) || (kind >= 7 && kind <= 10);
    PresentToView(transition ? kind : 0);
}

void CCorEngine::PresentToView(int kind) {
    HWND view = GameViewWindow();
    if (!view) return;
    HDC dc = GetDC(view);
    if (!dc) return;
    PresentDirtyList(dc, kind);
    ReleaseDC(view, dc);
}

void CCorEngine::PresentFrame(HDC dc, const RECT* rects, int rectCount, int kind) {
    CEngineCall call;
    if (m_busyGuard) return;
    // The first presentation after start-up enters the home module.
    if (!m_running) {
        if (!m_started) return;
        m_busyGuard = 1;
        OnStarted();
        m_running = 1;
        OnFirstEntry();
        GoToModule(GetHomeModule(), TRUE);
        m_busyGuard = 0;
    }
    if (!m_dirtyRects) return;
    // A window paint shows the whole screen; a list given replaces the engine's own.
    m_dirtyRects->RemoveAll();
    if (!rects) {
        InvalidateGameRect(nullptr);
    } else {
        for (int i = 0; i < rectCount; ++i) m_dirtyRects->Add(rects[i]);
    }
    PresentDirtyList(dc, kind);
}

void CCorEngine::PresentDirtyList(HDC dc, int kind) {
    if (m_busyGuard || !dc || !m_dirtyRects || !m_frameSurface || !m_frameSurface->IsValid()) return;
    if (m_composeOnly) kind = kComposeOnly;
    if (!IsTransitionKind(kind)) kind = 0;
    m_busyGuard = 1;
    if (m_paletteWanted != m_paletteShown) LoadModulePalette(m_paletteWanted, FALSE);
    if (m_dirtyRects->IsEmpty()) {
        m_busyGuard = 0;
        return;
    }
    // The grown-ups' section shows black, never the scene behind it.
    if (m_inAdultArea) {
        for (const RECT& r : *m_dirtyRects) PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, BLACKNESS);
        m_busyGuard = 0;
        return;
    }

    CDibG& frame = *m_frameSurface;
    const CDirtyRectList& dirty = *m_dirtyRects;
    if (m_backgroundSurface && m_backgroundSurface->IsValid()) {
        for (const RECT& r : dirty) {
            frame.BlitRect(*m_backgroundSurface, POINT{r.left, r.top}, POINT{r.left, r.top},
                           SIZE{r.right - r.left, r.bottom - r.top});
        }
    }
    if (m_showSpots) m_spots.DrawOutlines(frame, dirty);
    m_anims.DrawAll(frame, dirty);
    DrawTexts();
    for (CTwoStateButton& button : m_buttons) {
        if (button.IsVisible()) button.Draw(frame, dirty);
    }
    // The dragged picture stays in front of whatever was composed under it.
    if (m_drag.IsDragging()) m_drag.RefreshOverlay(frame, dirty);
    if (m_scanner.IsOn()) m_scanner.Draw(frame, dirty);

    HPALETTE previous = nullptr;
    if (m_screenPalette && m_screenPalette->GetPalette()) {
        previous = SelectPalette(dc, *m_screenPalette->GetPalette(), FALSE);
        RealizePalette(dc);
    }
    if (kind != 0) {
        CViewCanvas canvas(dc, frame);
        RunTransition(canvas, kind, frame.Width(), frame.Height());
    }
    if (kind != kComposeOnly) {
        for (const RECT& r : dirty) frame.BltToDC(dc, POINT{r.left, r.top}, POINT{r.left, r.top},
                                                  SIZE{r.right - r.left, r.bottom - r.top});
    }
    GdiFlush();
    if (kind != kComposeOnly) m_anyFrameShown = true;
    if (kind != kComposeOnly && !m_enteredFrameShown) {
        // For timing a start or a switch from outside (ZELBO_TRACE).
        m_enteredFrameShown = true;
        if (MonoDebugIsOpen())
            MonoDebugWrite(("Module " + std::to_string(m_currentModule) + ": first frame shown\n").c_str());
    }
    if (previous) SelectPalette(dc, previous, FALSE);
    m_dirtyRects->RemoveAll();
    m_busyGuard = 0;
}

BOOL CCorEngine::LoadModulePalette(int32_t id, BOOL rebuild) {
    auto item = std::make_unique<CPalItem>(id);
    if (!item->Load()) return FALSE;
    std::unique_ptr<CPalItem> old = std::move(m_screenPalette);
    m_screenPalette = std::move(item);
    m_paletteShown = id;
    CPalId* palette = m_screenPalette->GetPalette();
    if (rebuild) {
        for (std::unique_ptr<CDibG>* surface : {&m_frameSurface, &m_backgroundSurface}) {
            *surface = std::make_unique<CDibG>();
            (*surface)->CreateSurface(m_screenWidth, m_screenHeight, palette);
        }
    } else {
        // The surfaces take the new palette's colours (under WinG their colour tables), so
        // none of them keeps the palette deleted below.
        for (CDibG* surface : {m_frameSurface.get(), m_backgroundSurface.get()}) {
            if (surface && surface->IsValid()) surface->SetPalette(palette);
        }
    }
    HDC screen = GetDC(nullptr);
    const bool hasPalette = screen && (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    if (screen) ReleaseDC(nullptr, screen);
    if (!hasPalette) InvalidateGameRect(nullptr);
    return TRUE;
}
