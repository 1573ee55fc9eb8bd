#include "engine/scene/two_state_button.h"

#include "engine/scene/scene_host.h"
#include "media/res/item_cache.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/rect.h"

void CTwoStateButton::Create(POINT position, int32_t state, int32_t firstId, int32_t secondId, BOOL visible) {
    m_position = position;
    m_state = state;
    m_first.Reset(GetResItem(firstId, TRUE));
    m_second.Reset(GetResItem(secondId, TRUE));
    if (m_first) m_first->SetTransparent(FALSE);
    if (m_second) m_second->SetTransparent(FALSE);
    m_visible = visible ? 1 : 0;
}

CSprite* CTwoStateButton::Current() const {
    return m_state == 0 && m_first ? m_first.Get() : m_second.Get();
}

void CTwoStateButton::Show(BOOL visible) {
    m_visible = visible ? 1 : 0;
    Invalidate();
}

void CTwoStateButton::Toggle() {
    m_state = 1 - m_state;
    Invalidate();
}

void CTwoStateButton::SetState(int32_t state) {
    Invalidate();
    m_state = state;
    Invalidate();
}

void CTwoStateButton::Invalidate() const {
    const CSprite* picture = Current();
    if (!picture) return;
    RECT r = picture->AnchorRect();
    OffsetRect(&r, m_position.x, m_position.y);
    SceneHost().Invalidate(r);
}

void CTwoStateButton::Draw(CDibG& surface, const CDirtyRectList& dirty) {
    CSprite* picture = m_visible ? Current() : nullptr;
    if (!picture) return;
    // The position inflated by the picture's size holds it whatever its hot spot. It is the
    // size of the picture drawn: the other state's picture may be smaller.
    const RECT area{m_position.x - picture->Width(), m_position.y - picture->Height(), m_position.x + picture->Width(),
                    m_position.y + picture->Height()};
    const RECT clip = dirty.ClipUnion(area);
    if (IsRectEmpty(&clip)) return;
    surface.DrawSprite(*picture, m_position, clip, TRUE);
}

BOOL CTwoStateButton::HitTest(int x, int y) const {
    const CSprite* picture = m_visible ? Current() : nullptr;
    return picture && picture->ContainsPoint(POINT{x - m_position.x, y - m_position.y});
}

void CTwoStateButton::RemapToPalette(HPALETTE from, HPALETTE to) {
    if (m_first) m_first->RemapToPalette(from, to);
    if (m_second) m_second->RemapToPalette(from, to);
}
