// CDragMgr: a child drags one sprite with the mouse from a home spot, maybe towards a target
// spot. The drag runs its own modal message loop with the mouse captured; the sprite leaves the
// display list, and a copy of its picture moves over the frame surface inside the corridor of
// the two spots (drag_corridor.h), drawn straight to the window, with the frame pixels under it
// kept in a work surface so that a move costs only the two rectangles. The activity follows
// the drag through a callback. On release the sprite goes back into the scene at its new
// place, is stamped into the background, or is deleted (the drop rules below).
//
// The engine object owns the one drag manager and is its host (IDragHost); the activities reach
// it through the facade's EngineDragObject and EngineGetDragRect, and every presentation lets it
// draw the dragged picture again over what was redrawn (RefreshOverlay).
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/scene/cor_anim.h"
#include "engine/scene/drag_corridor.h"
#include "media/surface/dibg.h"
#include "platform/core/wintypes.h"

class CAnimList;
class CCorAnim;
class CDirtyRectList;
class CMovie;
class CPalId;
class CSpotList;

// What the drag manager needs of the engine.
class IDragHost {
public:
    virtual ~IDragHost() = default;
    virtual CAnimList& DisplayList() = 0;
    virtual CSpotList& Spots() = 0;
    // The frame surface (null: none) and the palette a work surface is made with.
    virtual CDibG* FrameSurface() = 0;
    virtual CPalId* ScreenPalette() = 0;
    // Where picture (0, 0) lies on the frame surface.
    virtual POINT PictureOrigin() = 0;
    // The window the game is drawn in (mouse capture, output) and the main window.
    virtual HWND GameWindow() = 0;
    virtual HWND MainWindow() = 0;
    // Where the press that starts a drag happened (frame surface).
    virtual POINT LastClickPoint() = 0;
    // Marks a rectangle (null: the whole screen) for the next presentation.
    virtual void Invalidate(const RECT* r) = 0;
    // Composes and shows the dirty rectangles (no transition).
    virtual void PresentDirty() = 0;
    // The engine's compose-only flag: while it is set, presentations compose and show nothing.
    virtual void SetComposeOnly(bool on) = 0;
    // After a callback changed the scene: the scripts run until they settle, then what is dirty
    // is presented (the drag manager clears the compose-only flag for the call).
    virtual void RedrawScene() = 0;
    // A static picture of the picture id with its hot spot at the point (frame surface).
    virtual void StampStatic(int32_t pictureId, POINT hotspotAt) = 0;
    // A close of the program that arrived during the drag, carried out after it; whether one is
    // pending.
    virtual void RequestClose() = 0;
    virtual bool ClosePending() = 0;
    // A hot key that leaves the module was pressed during the drag and waits for it to end:
    // the drag ends as a release where the pointer is.
    virtual bool HotKeyHeld() { return false; }
    // The application's message pre-translation; true when it took the message.
    virtual bool PreTranslate(MSG& msg) = 0;
    // The movies playing in their own windows; output keeps off their rectangles.
    virtual std::vector<CMovie*> PlayingMovies() { return {}; }
};

// Called at each move with the mouse in picture coordinates; non-zero: the scene changed and
// is to be redrawn.
using DragCallback = int16_t (*)(int16_t x, int16_t y);

inline constexpr int16_t kNoSnapLimit = 32767;

class CDragMgr {
public:
    explicit CDragMgr(IDragHost& host);
    ~CDragMgr();
    CDragMgr(const CDragMgr&) = delete;
    CDragMgr& operator=(const CDragMgr&) = delete;

    // Drags the sprite (a member of the display list) over the home spot and the target spot
    // (absolute ids; a target id of 0 modulo 1000: none), the picture vanishing while the mouse
    // is more than snap pixels from the corridor (kNoSnapLimit: never). Returns when the button
    // is released, or when a close, destroy, end-session or quit message arrives (the drag is
    // then cancelled: the sprite goes back to its start and its place in the display list, and
    // the close is left pending, a quit posted again), or once the host holds a hot key (the
    // drop as a release at the last mouse point). Returns 0. A sprite not in the list or
    // without a picture, a missing home spot or a drag already running: nothing happens.
    //
    // Drop rules, with H and T the home and target rectangles, D the final drag rectangle, S
    // its start, C the first press:
    // - with a target or the picture hidden: D not wholly in H, or S in T while hidden: the
    //   sprite is deleted; S in H, the release point outside H, hidden: the sprite keeps no
    //   picture and stays out of the display list;
    // - C outside H: the picture is stamped as a static where D lies and the sprite deleted;
    // - else the sprite moves to D and goes back into the display list after the object that
    //   was before it (at the tail when none was).
    int16_t BeginDrag(CCorAnim* sprite, int32_t homeSpotId, int32_t targetSpotId, int16_t snap,
                      DragCallback callback);
    // The drag rectangle of the last move (frame surface), also after the drag; true while a
    // drag runs.
    bool GetDragRect(RECT& out) const;
    // Called by each presentation while a drag runs: over the dirty rectangles that meet the
    // drag rectangle, the work surface takes the frame's new pixels and the picture is drawn
    // again on top.
    void RefreshOverlay(CDibG& frame, const CDirtyRectList& dirty);

    // 0: no drag, 1: a sprite is being dragged.
    uint32_t Kind() const { return m_kind; }
    bool IsDragging() const { return m_kind != 0; }
    // While the activity's move callback runs (the engine's redraw then does not settle the
    // scripts).
    bool InCallback() const { return m_inCallback; }
    // 1 after a drop that kept or stamped the sprite, 0 after one that removed it.
    uint32_t LastDropKept() const { return m_lastDropKept; }
    bool IsHidden() const { return m_hidden; }
    // The work surface: the frame pixels under the drag rectangle while a drag runs.
    const CDibG& WorkSurface() const { return m_work; }

    // The steps of a drag, for the loop and for measuring one move. Start: everything up to
    // the loop (false: refused, nothing changed). Move: one mouse move to the point (frame
    // surface). Drop: the release at the point. Cancel: the sprite back at its start.
    bool Start(CCorAnim* sprite, int32_t homeSpotId, int32_t targetSpotId, int16_t snap, DragCallback callback);
    void Move(POINT p);
    void Drop(POINT p);
    void Cancel();

private:
    int16_t RunLoop();
    void SaveUnder(const RECT& r);
    void RestoreUnder(const RECT& r);
    void DrawPicture(const RECT& clip);
    void ShowNow(const RECT& r);
    void Reset();
    void DeleteSprite();
    RECT FrameRect() const;

    IDragHost& m_host;
    POINT m_mouse{};
    POINT m_grab{};
    POINT m_start{};
    RECT m_rect{};
    CCorAnim* m_sprite = nullptr;
    bool m_hidden = false;
    CDibG m_work;
    // The object before the sprite in the display list; it may go during the drag.
    CAnimRef m_predecessor;

    uint32_t m_kind = 0;
    RECT m_current{};
    uint32_t m_lastDropKept = 1;
    bool m_inCallback = false;

    CDragCorridor m_corridor;
    RECT m_home{};
    RECT m_target{};
    POINT m_hotspot{};
    int16_t m_snap = kNoSnapLimit;
    DragCallback m_callback = nullptr;
};
