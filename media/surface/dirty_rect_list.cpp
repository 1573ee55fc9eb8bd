#include "media/surface/dirty_rect_list.h"

#include <iterator>

#include "media/surface/surface_rect.h"

CDirtyRectList::CDirtyRectList(int clientWidth, int clientHeight)
    : m_clientWidth(clientWidth), m_clientHeight(clientHeight) {}

void CDirtyRectList::SetClientSize(int width, int height) {
    m_clientWidth = width;
    m_clientHeight = height;
}

void CDirtyRectList::Add(const RECT& r) {
    if (surface::IsEmpty(r)) return;
    RECT clipped;
    if (!surface::Intersect(clipped, r, RECT{0, 0, m_clientWidth, m_clientHeight})) return;
    AddMerged(clipped);
}

CDirtyRectList::Position CDirtyRectList::AddMerged(RECT r) {
    if (surface::IsEmpty(r)) return m_rects.end();
    // A union can reach rectangles it did not meet before, so start again after every merge.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = m_rects.begin(); it != m_rects.end(); ++it) {
            if (surface::Meets(*it, r)) {
                r = surface::Union(*it, r);
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
    for (const RECT& listed : m_rects)
        if (surface::Meets(listed, r)) return true;
    return false;
}

RECT CDirtyRectList::ClipUnion(const RECT& bound) const {
    RECT u{};
    for (const RECT& listed : m_rects) {
        RECT part;
        if (surface::Intersect(part, listed, bound)) u = surface::Union(u, part);
    }
    return u;
}

RECT CDirtyRectList::TakeUnion() {
    RECT u{};
    for (const RECT& listed : m_rects) u = surface::Union(u, listed);
    m_rects.clear();
    Add(u);
    return u;
}

void CDirtyRectList::ClipAll(const RECT& bound) {
    for (RECT& listed : m_rects) {
        RECT part;
        surface::Intersect(part, listed, bound);
        listed = part;
    }
    m_rects.remove_if([](const RECT& r) { return surface::IsEmpty(r); });
}

void CDirtyRectList::RemoveAll() {
    m_rects.clear();
}
