#include "engine/scene/scan_target.h"

#include "engine/base/module_table.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scene_host.h"
#include "media/res/sprite.h"

void CScanPointTarget::Activate() {
    ModuleFunctionTable* table = SceneHost().ModuleTable();
    if (table && table->OnScanPoint) table->OnScanPoint(3);
}

BOOL CScanAnimTarget::IsEnabled() {
    return m_enabled && m_anim && m_anim->GetPicture();
}

POINT CScanAnimTarget::GetPosition() {
    POINT p = m_anim ? m_anim->GetPosition() : POINT{0, 0};
    if (const CSprite* picture = m_anim ? m_anim->GetPicture() : nullptr) {
        p.x += picture->Width() / 2 - picture->HotspotX();
        p.y += picture->Height() / 2 - picture->HotspotY();
    }
    return POINT{p.x + m_offsetX, p.y + m_offsetY};
}

void CScanAnimTarget::Activate() {
    CCorAnim* anim = m_anim;
    ModuleFunctionTable* table = SceneHost().ModuleTable();
    if (!anim || !table || !table->OnAnimClicked) return;
    const int16_t id = static_cast<int16_t>(anim->GetPicture() ? anim->GetPictureId() % 1000 : kNoPictureId);
    table->OnAnimClicked(anim, id);
}

BOOL CScanSpotTarget::IsEnabled() {
    RECT r;
    return m_enabled && SceneHost().FindSpotRect(m_spotId, r);
}

POINT CScanSpotTarget::GetPosition() {
    RECT r;
    if (!SceneHost().FindSpotRect(m_spotId, r)) return POINT{0, 0};
    return POINT{(r.left + r.right) / 2 + m_offsetX, (r.top + r.bottom) / 2 + m_offsetY};
}

void CScanSpotTarget::Activate() {
    SceneHost().ClickSpot(m_spotId);
}
