#include "engine/scene/static_picture.h"

#include "engine/base/module_table.h"
#include "engine/scene/ring_search.h"
#include "engine/scene/scene_host.h"
#include "media/res/item_cache.h"
#include "media/surface/dibg.h"
#include "platform/core/rect.h"

IMPLEMENT_DYNAMIC(CCorStatic, CObject)

namespace {

bool IsNoPicture(int32_t id) {
    return id % 1000 == 2;
}

// r cut to the surface: left and top at least 0, right and bottom at most its size.
RECT ClipToSurface(const RECT& r, const CDibG& surface) {
    RECT out;
    const RECT whole{0, 0, surface.Width(), surface.Height()};
    if (!IntersectRect(&out, &r, &whole)) SetRectEmpty(&out);
    return out;
}

SIZE SizeOf(const RECT& r) {
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

CCorStatic::CCorStatic() = default;
CCorStatic::~CCorStatic() = default;

void CCorStatic::Init(POINT point, int32_t pictureId, int32_t kind) {
    m_handle = -1;
    m_position = point;
    m_picture.Reset(IsNoPicture(pictureId) ? nullptr : GetResItem(pictureId, TRUE));
    if (m_picture) {
        m_position.x -= m_picture->HotspotX();
        m_position.y -= m_picture->HotspotY();
    }
    m_kind = kind;
    m_saved.reset();
    if (kind == kKeepsBackground && m_picture) {
        m_saved = std::make_unique<CDibG>();
        m_saved->Create(m_picture->Width(), m_picture->Height(), SceneHost().ScreenPalette());
    }
}

void CCorStatic::ChangePicture(int32_t pictureId) {
    if (m_picture) {
        m_position.x += m_picture->HotspotX();
        m_position.y += m_picture->HotspotY();
    }
    m_picture.Reset(IsNoPicture(pictureId) ? nullptr : GetResItem(pictureId, TRUE));
    if (m_picture) {
        m_position.x -= m_picture->HotspotX();
        m_position.y -= m_picture->HotspotY();
    }
}

void CCorStatic::SetTransparent(BOOL on) {
    if (m_picture) m_picture->SetTransparent(on);
}

RECT CCorStatic::GetBounds() const {
    if (!m_picture) return RECT{};
    return RECT{m_position.x, m_position.y, m_position.x + m_picture->Width(), m_position.y + m_picture->Height()};
}

void CCorStatic::Draw(CDibG& surface, const RECT& r) {
    if (!m_picture) return;
    const SIZE client = SceneHost().ClientSize();
    const RECT clientRect{0, 0, client.cx, client.cy};
    RECT clip;
    if (!IntersectRect(&clip, &r, &clientRect)) return;
    surface.DrawSprite(*m_picture, m_position, clip, FALSE);
}

void CCorStatic::SaveBackground(CDibG& surface) {
    if (!m_saved || !m_picture) return;
    const RECT area = ClipToSurface(GetBounds(), surface);
    if (IsRectEmpty(&area)) return;
    m_saved->BlitRect(surface, POINT{area.left, area.top},
                      POINT{area.left - m_position.x, area.top - m_position.y}, SizeOf(area));
}

BOOL CCorStatic::ContainsPoint(int x, int y) const {
    if (!m_picture) return FALSE;
    const int64_t rx = int64_t{x} - m_position.x, ry = int64_t{y} - m_position.y;
    return rx >= 0 && rx < m_picture->Width() && ry >= 0 && ry < m_picture->Height();
}

BOOL CCorStatic::HitsPixel(int x, int y) {
    if (!ContainsPoint(x, y) || !m_picture->EnsureLoaded() || !ContainsPoint(x, y)) return FALSE;
    const size_t rx = static_cast<size_t>(x - m_position.x), ry = static_cast<size_t>(y - m_position.y);
    return m_picture->Bits()[ry * static_cast<size_t>(m_picture->Stride()) + rx] != 0;
}

CStaticList::CStaticList() {
    m_slots.Init(kSlots);
}

CStaticList::~CStaticList() {
    RemoveAll();
}

int CStaticList::Add(CDibG& surface, POINT point, int32_t pictureId, int32_t kind, BOOL transparent) {
    // Owned here until a slot takes it: making its saved background may raise the memory
    // exception.
    auto owned = std::make_unique<CCorStatic>();
    CCorStatic* s = owned.get();
    s->Init(point, pictureId, kind);
    s->SetTransparent(transparent);
    s->SaveBackground(surface);
    if (s->GetPicture()) {
        const RECT bounds = s->GetBounds();
        s->Draw(surface, bounds);
        SceneHost().Invalidate(bounds);
    }
    const int handle = m_slots.AddHead(s);
    // No slot: the pixels stay drawn, but nothing could ever remove the static, so it goes.
    if (handle < 0) return -1;
    owned.release();
    s->m_handle = handle;
    return handle;
}

void CStaticList::RemoveAt(int handle, CDibG* surface) {
    CCorStatic* s = Get(handle);
    if (!s) return;
    if (surface && s->m_saved) {
        const RECT area = ClipToSurface(s->GetBounds(), *surface);
        if (!IsRectEmpty(&area)) {
            const POINT at = s->m_position;
            surface->BlitRect(*s->m_saved, POINT{area.left - at.x, area.top - at.y}, POINT{area.left, area.top},
                              SizeOf(area));
            SceneHost().Invalidate(area);
            // The newer statics over the area, oldest first: their saved copies lose the
            // removed picture, and they are drawn again on top.
            for (int h = m_slots.Prev(handle); h >= 0; h = m_slots.Prev(h)) {
                CCorStatic* newer = Get(h);
                const RECT bounds = newer->GetBounds();
                RECT common;
                if (!newer->m_picture || !IntersectRect(&common, &bounds, &area)) continue;
                if (newer->m_saved) {
                    newer->m_saved->BlitRect(*surface, POINT{common.left, common.top},
                                             POINT{common.left - newer->m_position.x, common.top - newer->m_position.y},
                                             SizeOf(common));
                }
                newer->Draw(*surface, area);
            }
        }
    }
    m_slots.Remove(handle);
    delete s;
}

void CStaticList::RemoveAll() {
    while (m_slots.Head() >= 0) {
        const int handle = m_slots.Head();
        CCorStatic* s = Get(handle);
        m_slots.Remove(handle);
        delete s;
    }
}

void CStaticList::RedrawAll(CDibG& surface, BOOL save) {
    for (int h = m_slots.Tail(); h >= 0; h = m_slots.Prev(h)) {
        CCorStatic* s = Get(h);
        if (save) s->SaveBackground(surface);
        if (!s->m_picture) continue;
        const RECT bounds = s->GetBounds();
        s->Draw(surface, bounds);
        SceneHost().Invalidate(bounds);
    }
}

bool CStaticList::OfferExact(CCorStatic& s, POINT point) {
    if (!s.HitsPixel(point.x, point.y)) return false;
    ModuleFunctionTable* table = SceneHost().ModuleTable();
    if (!table || !table->OnStaticClicked) return false;
    return table->OnStaticClicked(&s, static_cast<int16_t>(s.m_picture->GetId() % 1000)) != 0;
}

int CStaticList::ClickAt(POINT point, BOOL widened) {
    for (int h = m_slots.Head(); h >= 0; h = m_slots.Next(h)) {
        CCorStatic& s = *Get(h);
        if (OfferExact(s, point)) return 1;
        if (Get(h) != &s) return 0;  // the handler removed it; the chain is no longer walked
        if (!widened) continue;
        const auto ring = FindRingPoint(point, [&](POINT p) { return s.ContainsPoint(p.x, p.y) != FALSE; });
        if (ring && OfferExact(s, *ring)) return 1;
    }
    return 0;
}

int CStaticList::FindClicked(POINT point) {
    for (int h = m_slots.Head(); h >= 0; h = m_slots.Next(h))
        if (OfferExact(*Get(h), point)) return h;
    return -1;
}
