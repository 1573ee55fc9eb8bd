#include "engine/scene/spot.h"

#include <algorithm>

#include "engine/scene/scene_host.h"
#include "media/res/item_cache.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/byte_order.h"

IMPLEMENT_DYNAMIC(CSpot, CResItem)

namespace {

// The entry from 10 to 245 of the shared colour table nearest to black (the first of equals).
BYTE OutlineColour() {
    const RGBQUAD* table = TheDibSystem().rgbHeader.colours;
    int best = 10, bestSum = 1 << 30;
    for (int i = 10; i <= 245; ++i) {
        const int sum = table[i].rgbRed * table[i].rgbRed + table[i].rgbGreen * table[i].rgbGreen +
                        table[i].rgbBlue * table[i].rgbBlue;
        if (sum < bestSum) {
            bestSum = sum;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

// A horizontal run of pixels, cut to the surface.
void Row(CDibG& s, int64_t y, int64_t x0, int64_t x1, BYTE colour) {
    if (y < 0 || y >= s.Height()) return;
    for (int64_t x = std::max<int64_t>(x0, 0); x <= std::min<int64_t>(x1, s.Width() - 1); ++x)
        s.SetPixel(static_cast<int>(x), static_cast<int>(y), colour);
}

}  // namespace

CSpot::CSpot(int32_t id) : CResItem(id) {
    m_purgeable = 0;  // the spot list owns it; nothing reloads it
}

BOOL CSpot::Load() {
    std::vector<uint8_t> body;
    SpotLayout layout;
    if (!ReadResourceItem(kType, m_id, &m_entry, body) || !ParseSpotItem(body, layout)) return FALSE;
    // The layout's mask points into the body: keep the body, then parse it again in place.
    m_body = std::move(body);
    ParseSpotItem(m_body, m_layout);
    const POINT origin = SceneHost().PictureOrigin();
    m_rect = RECT{m_layout.left + origin.x, m_layout.top + origin.y, m_layout.right + origin.x,
                  m_layout.bottom + origin.y};
    return TRUE;
}

BOOL CSpot::HitTest(POINT p) const {
    if (p.x < m_rect.left || p.x >= m_rect.right || p.y < m_rect.top || p.y >= m_rect.bottom) return FALSE;
    if (!m_layout.hasMask) return TRUE;
    return SpotMaskBit(m_layout, p.x - m_rect.left, p.y - m_rect.top) ? TRUE : FALSE;
}

BOOL CSpot::OnClick(POINT p) {
    if (!HitTest(p)) return FALSE;
    if (m_targetModule != 0) {
        SceneHost().SwitchToModule(m_targetModule);  // this spot is gone afterwards
        return TRUE;
    }
    if (m_callback && m_enabled) {
        const Callback callback = m_callback;
        callback(static_cast<int16_t>(m_id % 1000));  // it may unload this spot
        return TRUE;
    }
    return FALSE;
}

void CSpot::DrawOutline(CDibG& surface) const {
    const BYTE colour = OutlineColour();
    const int64_t l = m_rect.left, t = m_rect.top, r = m_rect.right, b = m_rect.bottom;
    Row(surface, t - 2, l - 2, r + 1, colour);
    Row(surface, b + 1, l - 2, r + 1, colour);
    Row(surface, t - 1, l - 1, r, colour);
    Row(surface, b, l - 1, r, colour);
    for (int64_t y = std::max<int64_t>(t - 1, 0); y <= std::min<int64_t>(b, surface.Height() - 1); ++y) {
        Row(surface, y, l - 2, l - 1, colour);
        Row(surface, y, r, r + 1, colour);
    }
}

bool CSpotList::ReadList(int32_t listId, std::vector<int32_t>& ids) {
    std::vector<uint8_t> body;
    if (!ReadResourceItem(kResSPN, listId, nullptr, body)) return false;
    // The first word is not used; whole words only.
    for (size_t at = 2; at + 2 <= body.size(); at += 2) ids.push_back(plat::GetLe16(body, at));
    return true;
}

BOOL CSpotList::LoadList(int32_t listId) {
    std::vector<int32_t> ids;
    if (!ReadList(listId, ids)) return FALSE;
    for (int32_t id : ids) {
        auto spot = std::make_unique<CSpot>(id);
        if (spot->Load()) m_spots.push_back(std::move(spot));
    }
    return TRUE;
}

BOOL CSpotList::UnloadList(int32_t listId) {
    std::vector<int32_t> ids;
    if (!ReadList(listId, ids)) return FALSE;
    for (int32_t id : ids) {
        const auto it = std::find_if(m_spots.begin(), m_spots.end(), [id](const auto& s) { return s->GetId() == id; });
        if (it != m_spots.end()) m_spots.erase(it);
    }
    return TRUE;
}

int CSpotList::RemoveAll() {
    m_spots.clear();
    return 1;
}

void CSpotList::Append(std::unique_ptr<CSpot> spot) {
    if (spot) m_spots.push_back(std::move(spot));
}

bool CSpotList::Delete(int32_t id) {
    for (auto it = m_spots.begin(); it != m_spots.end(); ++it) {
        if ((*it)->GetId() != id) continue;
        m_spots.erase(it);
        return true;
    }
    return false;
}

int CSpotList::ClickAt(POINT p) {
    // An action may change the list: return before touching it again.
    for (auto it = m_spots.begin(); it != m_spots.end(); ++it)
        if ((*it)->OnClick(p)) return 1;
    return 0;
}

int32_t CSpotList::FindAt(POINT p) const {
    for (const auto& s : m_spots)
        if (s->HitTest(p)) return s->GetId();
    return 0;
}

CSpot* CSpotList::FindById(int32_t id) const {
    for (const auto& s : m_spots)
        if (s->GetId() == id) return s.get();
    return nullptr;
}

void CSpotList::DrawOutlines(CDibG& surface, const CDirtyRectList& dirty) const {
    for (const auto& s : m_spots)
        if (s->HasOutline() && dirty.Intersects(s->GetRect())) s->DrawOutline(surface);
}
