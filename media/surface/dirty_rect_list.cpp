#include "media/surface/dirty_rect_list.h"

#include <iterator>

#include "platform/core/rect.h"

CDirtyRectList::CDirtyRectList(int clientWidth, int clientHeight)
    : m_clientWidth(clientWidth), m_clientHeight(clientHeight) {}

void CDirtyRectList::SetClientSize(int width, int height) {
    m_clientWidth = width;
    m_clientHeight = height;
}

void CDirtyRectList::Add(const RECT& r) {
    if (IsRectEmpty(&r)) return;
    RECT clipped;
    const RECT client{0, 0, m_clientWidth, m_clientHeight};
    if (!IntersectRect(&clipped, &r, &client)) return;
    AddMerged(clipped);
}

CDirtyRectList::Position CDirtyRectList::AddMerged(RECT r) {
    if (IsRectEmpty(&r)) return m_rects.end();
    // A union can reach rectangles it did not meet before, so start again after every merge.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = m_rects.begin(); it != m_rects.end(); ++it) {
            RECT common;
            if (IntersectRect(&common, &*it, &r)) {
                UnionRect(&r, &*it, &r);
                m_rects.erase(it);
                merged = true;
                break;
            }
        }
    }
    m_rects.push_back(r);
    return std::prev(m_rects.end());
}

bool CDirtyRectList::Intersects(const RECT& r) const {
    RECT common;
    for (const RECT& listed : m_rects)
        if (IntersectRect(&common, &listed, &r)) return true;
    return false;
}

RECT CDirtyRectList::ClipUnion(const RECT& bound) const {
    RECT u{};
    for (const RECT& listed : m_rects) {
        RECT part;
        if (IntersectRect(&part, &listed, &bound)) UnionRect(&u, &u, &part);
    }
    return u;
}

RECT CDirtyRectList::TakeUnion() {
    RECT u{};
    for (const RECT& listed : m_rects) UnionRect(&u, &u, &listed);
    m_rects.clear();
    Add(u);
    return u;
}

void CDirtyRectList::ClipAll(const RECT& bound) {
    for (RECT& listed : m_rects) IntersectRect(&listed, &listed, &bound);
    m_rects.remove_if([](const RECT& r) { return IsRectEmpty(&r) != FALSE; });
}

void CDirtyRectList::RemoveAll() {
    m_rects.clear();
}
