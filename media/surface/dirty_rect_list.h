// CDirtyRectList: the window areas to draw again before the next frame is shown. Rectangles
// that overlap are merged when they are added, so the listed ones never overlap (a shared edge
// is not an overlap). User-interface thread only.
#pragma once

#include <cstddef>
#include <list>

#include "platform/core/wintypes.h"

class CDirtyRectList {
public:
    using Position = std::list<RECT>::const_iterator;

    // Add clips to {0, 0, clientWidth, clientHeight}: the engine's client size.
    explicit CDirtyRectList(int clientWidth = 640, int clientHeight = 480);

    void SetClientSize(int width, int height);

    // Ignores an empty rectangle; else clips it to the client area and merges what is left.
    void Add(const RECT& r);
    // Merges r with everything it meets (again and again, as the union grows) and appends the
    // result at the tail; returns its position, or End() for an empty r.
    Position AddMerged(RECT r);
    // Whether any listed rectangle shares area with r.
    bool Intersects(const RECT& r) const;
    // The union of every listed rectangle clipped to bound; empty when none meets it.
    RECT ClipUnion(const RECT& bound) const;
    // The union of everything; the list then holds only that union, clipped (or nothing).
    RECT TakeUnion();
    // Every rectangle cut to bound; those left empty are dropped.
    void ClipAll(const RECT& bound);
    void RemoveAll();

    bool IsEmpty() const { return m_rects.empty(); }
    size_t GetCount() const { return m_rects.size(); }
    Position begin() const { return m_rects.begin(); }
    Position end() const { return m_rects.end(); }
    Position End() const { return m_rects.end(); }

private:
    std::list<RECT> m_rects;
    int m_clientWidth;
    int m_clientHeight;
};
