#include "engine/scene/drag_mgr.h"

#include "engine/scene/anim_list.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/spot.h"
#include "media/res/sprite.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "media/util/movie.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

POINT TopLeft(const RECT& r) { return POINT{r.left, r.top}; }
SIZE SizeOf(const RECT& r) { return SIZE{r.right - r.left, r.bottom - r.top}; }

bool WhollyInside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The mouse point of a mouse message in the game window's coordinates.
POINT MousePoint(const MSG& msg, HWND view) {
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.hwnd && view && msg.hwnd != view) {
        ClientToScreen(msg.hwnd, &p);
        ScreenToClient(view, &p);
    }
    return p;
}

}  // namespace

CDragMgr::CDragMgr(IDragHost& host) : m_host(host) {}

CDragMgr::~CDragMgr() {
    if (m_work.IsValid()) m_work.FreeSurface();
}

bool CDragMgr::GetDragRect(RECT& out) const {
    out = m_current;
    return m_kind != 0;
}

int16_t CDragMgr::BeginDrag(CCorAnim* sprite, int32_t homeSpotId, int32_t targetSpotId, int16_t snap,
                            DragCallback callback) {
    if (!Start(sprite, homeSpotId, targetSpotId, snap, callback)) return 0;
    return RunLoop();
}

bool CDragMgr::Start(CCorAnim* sprite, int32_t homeSpotId, int32_t targetSpotId, int16_t snap,
                     DragCallback callback) {
    // A close already pending: the program is ending, nothing is started.
    if (m_kind != 0 || !sprite || m_host.ClosePending()) return false;
    CAnimList& list = m_host.DisplayList();
    RECT bounds;
    CSprite* picture = sprite->GetPicture();
    if (!list.Contains(sprite) || !picture || !sprite->GetBounds(bounds) || IsRectEmpty(&bounds)) return false;
    // Without its home spot a drag has no corridor: it is refused and the sprite stays.
    const CSpot* home = m_host.Spots().FindById(homeSpotId);
    CDibG* frame = m_host.FrameSurface();
    if (!home || !frame || !frame->IsValid()) return false;
    m_home = home->GetRect();
    m_target = RECT{};
    if (targetSpotId % 1000 != 0) {
        if (const CSpot* target = m_host.Spots().FindById(targetSpotId)) m_target = target->GetRect();
    }

    m_kind = 1;
    m_sprite = sprite;
    list.TakeOut(sprite, m_predecessor);
    m_hotspot = POINT{picture->HotspotX(), picture->HotspotY()};
    m_rect = bounds;
    m_start = TopLeft(bounds);
    m_snap = snap;
    m_callback = callback;
    m_mouse = m_host.LastClickPoint();
    m_grab = POINT{m_mouse.x - m_rect.left, m_mouse.y - m_rect.top};
    m_current = m_rect;
    m_corridor.Init(m_home, m_target);
    try {
        // The scene without the sprite, which has left the display list; its own rectangle
        // too, in case it reaches out of the home spot.
        m_kind = 0;
        m_host.Invalidate(&m_home);
        m_host.Invalidate(&m_rect);
        m_host.PresentDirty();
        m_kind = 1;
        m_work.CreateRealized(m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_host.ScreenPalette());
        SaveUnder(m_rect);
    } catch (...) {
        m_kind = 1;
        Cancel();
        throw;
    }
    m_host.SetComposeOnly(true);
    m_hidden = false;
    return true;
}

int16_t CDragMgr::RunLoop() {
    const HWND view = m_host.GameWindow();
    const HWND main = m_host.MainWindow();
    if (view) SetCapture(view);
    // The first pass draws the picture at once.
    if (view)
        PostMessage(view, WM_MOUSEMOVE, 0, MAKELPARAM(m_mouse.x, m_mouse.y));
    else
        PostThreadMessage(GetCurrentThreadId(), WM_MOUSEMOVE, 0, MAKELPARAM(m_mouse.x, m_mouse.y));
    try {
        for (;;) {
            // A close taken by a handler (a timer's, a dispatched message's) ends the drag too.
            if (m_host.ClosePending()) {
                Cancel();
                return 0;
            }
            // The hot key acts once the module's handler has its drag back.
            if (m_host.HotKeyHeld()) {
                Drop(m_mouse);
                return 0;
            }
            MSG msg;
            if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                WaitMessage();
                continue;
            }
            const bool ours = msg.hwnd && (msg.hwnd == view || msg.hwnd == main);
            switch (msg.message) {
            case WM_QUIT:
                // The quit belongs to the program's own loop.
                Cancel();
                PostQuitMessage(static_cast<int>(msg.wParam));
                return 0;
            case WM_CLOSE:
            case WM_DESTROY:
            case WM_ENDSESSION:
                if (!ours) break;
                Cancel();
                if (msg.message != WM_ENDSESSION || msg.wParam) m_host.RequestClose();
                return 0;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                continue;
            case WM_MOUSEMOVE:
                Move(MousePoint(msg, view));
                continue;
            case WM_LBUTTONUP:
                Drop(MousePoint(msg, view));
                return 0;
            default:
                break;
            }
            if (!m_host.PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
    } catch (...) {
        Cancel();
        throw;
    }
}

void CDragMgr::Move(POINT p) {
    if (m_kind == 0) return;
    const RECT old = m_rect;
    m_rect = m_corridor.SlideRect(m_rect, p.x - m_grab.x - m_rect.left, p.y - m_grab.y - m_rect.top);
    m_current = m_rect;
    m_mouse = p;
    if (m_snap != kNoSnapLimit) {
        if (!m_corridor.IsNear(p, m_snap, m_snap)) {
            if (!m_hidden) {
                m_hidden = true;
                RestoreUnder(old);
                ShowNow(old);
            }
            return;
        }
        if (m_hidden) {
            // The frame under the old rectangle is the scene itself now: the restore below
            // leaves it as it is.
            m_hidden = false;
            SaveUnder(old);
        }
    }
    RestoreUnder(old);
    SaveUnder(m_rect);
    if (m_callback) {
        const POINT origin = m_host.PictureOrigin();
        m_inCallback = true;
        int16_t changed = 0;
        try {
            changed = m_callback(static_cast<int16_t>(p.x - origin.x), static_cast<int16_t>(p.y - origin.y));
        } catch (...) {
            m_inCallback = false;
            throw;
        }
        m_inCallback = false;
        if (changed && m_kind != 0) {
            // This redraw is shown: the compose-only flag is off for it.
            m_host.SetComposeOnly(false);
            try {
                m_host.RedrawScene();
            } catch (...) {
                if (m_kind != 0) m_host.SetComposeOnly(true);
                throw;
            }
            if (m_kind != 0) m_host.SetComposeOnly(true);
        }
        if (m_kind == 0) return;
    }
    DrawPicture(m_rect);
    RECT both;
    UnionRect(&both, &old, &m_rect);
    ShowNow(both);
}

void CDragMgr::Drop(POINT p) {
    if (m_kind == 0) return;
    const HWND view = m_host.GameWindow();
    if (view && GetCapture() == view) ReleaseCapture();
    m_host.SetComposeOnly(false);
    m_kind = 0;
    m_inCallback = false;
    CAnimList& list = m_host.DisplayList();
    const RECT d = m_rect;
    const POINT click{m_start.x + m_grab.x, m_start.y + m_grab.y};
    if (!IsRectEmpty(&m_target) || m_hidden) {
        if (!WhollyInside(d, m_home) || (PtInRect(&m_target, m_start) && m_hidden)) {
            DeleteSprite();
            m_lastDropKept = 0;
        } else if (PtInRect(&m_home, m_start) && !PtInRect(&m_home, p) && m_hidden) {
            // Dropped away from home while hidden: the sprite would keep no picture and stay
            // out of the display list, where nothing can reach it any more; it goes.
            DeleteSprite();
            m_lastDropKept = 0;
        }
    }
    if (m_sprite) {
        if (!PtInRect(&m_home, click)) {
            // Pressed outside home: the picture stays in the background where it lies.
            m_host.StampStatic(m_sprite->GetPictureId(), POINT{d.left + m_hotspot.x, d.top + m_hotspot.y});
            DeleteSprite();
        } else {
            m_sprite->SetPosition(POINT{d.left + m_hotspot.x, d.top + m_hotspot.y});
            list.PutBack(m_sprite, m_predecessor, false);
        }
        m_lastDropKept = 1;
    }
    m_host.Invalidate(&d);
    m_host.Invalidate(nullptr);
    Reset();
    m_host.PresentDirty();
}

void CDragMgr::Cancel() {
    if (m_kind == 0) return;
    const HWND view = m_host.GameWindow();
    if (view && GetCapture() == view) ReleaseCapture();
    m_host.SetComposeOnly(false);
    m_kind = 0;
    m_inCallback = false;
    if (!m_hidden) RestoreUnder(m_rect);
    const RECT shown = m_rect;
    m_host.Invalidate(&shown);
    if (m_sprite) {
        m_sprite->SetPosition(POINT{m_start.x + m_hotspot.x, m_start.y + m_hotspot.y});
        m_host.DisplayList().PutBack(m_sprite, m_predecessor, true);
        m_lastDropKept = 1;
    }
    Reset();
}

void CDragMgr::RefreshOverlay(CDibG& frame, const CDirtyRectList& dirty) {
    if (m_kind == 0 || m_hidden || !dirty.Intersects(m_rect)) return;
    // Rectangle by rectangle: between two dirty rectangles the frame still shows the picture,
    // which must never reach the work surface.
    for (const RECT& r : dirty) {
        RECT part;
        if (!IntersectRect(&part, &r, &m_rect)) continue;
        if (m_work.IsValid())
            m_work.BlitRect(frame, TopLeft(part), POINT{part.left - m_rect.left, part.top - m_rect.top}, SizeOf(part));
        DrawPicture(part);
    }
}

void CDragMgr::SaveUnder(const RECT& r) {
    CDibG* frame = m_host.FrameSurface();
    if (frame) m_work.BlitRect(*frame, TopLeft(r), POINT{0, 0}, SizeOf(r));
}

void CDragMgr::RestoreUnder(const RECT& r) {
    CDibG* frame = m_host.FrameSurface();
    if (frame) frame->BlitRect(m_work, POINT{0, 0}, TopLeft(r), SizeOf(r));
}

void CDragMgr::DrawPicture(const RECT& clip) {
    CDibG* frame = m_host.FrameSurface();
    CSprite* picture = m_sprite ? m_sprite->GetPicture() : nullptr;
    if (!frame || !picture) return;
    // Never beyond the drag rectangle: the work surface holds only what lies under it.
    RECT area;
    if (!IntersectRect(&area, &clip, &m_rect)) return;
    if (const BYTE* map = m_sprite->GetColourMap())
        frame->DrawSpriteMapped(*picture, TopLeft(m_rect), area, map, FALSE);
    else
        frame->DrawSprite(*picture, TopLeft(m_rect), area, FALSE);
}

RECT CDragMgr::FrameRect() const {
    CDibG* frame = m_host.FrameSurface();
    return frame ? RECT{0, 0, frame->Width(), frame->Height()} : RECT{};
}

void CDragMgr::ShowNow(const RECT& r) {
    CDibG* frame = m_host.FrameSurface();
    const HWND view = m_host.GameWindow();
    const RECT whole = FrameRect();
    RECT area;
    if (!frame || !view || !IntersectRect(&area, &r, &whole)) return;
    HDC dc = GetDC(view);
    if (!dc) return;
    HPALETTE previous = nullptr;
    if (CPalId* palette = m_host.ScreenPalette(); palette && palette->GetSafeHandle()) {
        previous = SelectPalette(dc, *palette, FALSE);
        RealizePalette(dc);
    }
    for (CMovie* movie : m_host.PlayingMovies()) {
        RECT covered;
        if (movie && movie->GetMovieRect(&covered) == 0)
            ExcludeClipRect(dc, covered.left, covered.top, covered.right, covered.bottom);
    }
    frame->DrawRect(dc, area, area, SRCCOPY);
    if (previous) SelectPalette(dc, previous, FALSE);
    ReleaseDC(view, dc);
}

void CDragMgr::DeleteSprite() {
    if (!m_sprite) return;
    m_host.DisplayList().DisposeTakenOut(m_sprite);
    m_sprite = nullptr;
}

void CDragMgr::Reset() {
    if (m_work.IsValid()) m_work.FreeSurface();
    m_sprite = nullptr;
    m_predecessor = CAnimRef();
    m_rect = RECT{};
    m_grab = POINT{};
    m_mouse = POINT{};
    m_hidden = false;
    m_callback = nullptr;
}
