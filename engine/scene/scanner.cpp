#include "engine/scene/scanner.h"

#include <vector>

#include "engine/base/user_prefs.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "engine/scene/scene_host.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"

CScanner::CScanner() {
    m_targets.Init(kScanSlots);
}

CScanner::~CScanner() {
    for (int slot = m_targets.Head(); slot != -1;) {
        const int next = m_targets.Next(slot);
        Delete(slot);
        slot = next;
    }
}

CScanTarget* CScanner::Target(int slot) const {
    return static_cast<CScanTarget*>(m_targets.Item(slot));
}

std::vector<CScanTarget*> CScanner::TargetsInOrder() const {
    std::vector<CScanTarget*> targets;
    for (int slot = m_targets.Head(); slot != -1; slot = m_targets.Next(slot)) targets.push_back(Target(slot));
    return targets;
}

void CScanner::Delete(int slot) {
    CScanTarget* target = Target(slot);
    m_targets.Remove(slot);
    delete target;
}

int CScanner::AddTarget(CScanTarget* target, int slot) {
    if (!target) return -1;
    if (slot != -1 && Target(slot)) {
        if (slot == m_current) InvalidateHighlight();
        CScanTarget* old = Target(slot);
        m_targets.Replace(slot, target);
        delete old;
        return slot;
    }
    const int taken = m_targets.AddTail(target);
    if (taken == -1) delete target;
    return taken;
}

void CScanner::RemoveAt(int slot) {
    if (!Target(slot)) return;
    const BOOL wasOn = m_on;
    if (wasOn) {
        InvalidateHighlight();
        m_on = 0;
    }
    if (slot == m_current) m_current = -1;
    Delete(slot);
    m_on = wasOn;
    Restart();
}

void CScanner::RemoveAll() {
    const BOOL wasOn = m_on;
    InvalidateHighlight();
    m_on = 0;
    m_current = -1;
    while (m_targets.Head() != -1) Delete(m_targets.Head());
    m_on = wasOn;
    Restart();
}

void CScanner::RemoveTargetsOfAnim(const CCorAnim* anim) {
    std::vector<int> slots;
    for (int slot = m_targets.Head(); slot != -1; slot = m_targets.Next(slot)) {
        const CScanTarget* t = Target(slot);
        if (t->GetKind() == kScanAnimKind && t->GetObject() == anim) slots.push_back(slot);
    }
    for (const int slot : slots) RemoveAt(slot);
}

void CScanner::RemoveTargetsOf(const void* object) {
    std::vector<int> slots;
    for (int slot = m_targets.Head(); slot != -1; slot = m_targets.Next(slot)) {
        const CScanTarget* t = Target(slot);
        if (t->GetKind() == kScanTextKind && t->GetObject() == object) slots.push_back(slot);
    }
    for (const int slot : slots) RemoveAt(slot);
}

void CScanner::Enable(BOOL on) {
    if (m_busy) return;
    on = on ? 1 : 0;
    if (on && !m_on) {
        ShowCursor(FALSE);
        m_lastStep = plat::NowMs64();
        m_on = 1;
        Restart();
    } else if (!on && m_on) {
        ShowCursor(TRUE);
        InvalidateHighlight();
    }
    m_on = m_ready = on;
}

void CScanner::Configure(BOOL scanning, int speed, BOOL wrap) {
    Enable(scanning);
    m_interval = speed > 0 ? static_cast<uint32_t>(speed) * 150 : 500;
    m_wrap = wrap ? 1 : 0;
    Restart();
}

void CScanner::Configure(const CUserPrefs& prefs) {
    Configure(prefs.scanningAllowed != 0, prefs.scanSpeed, prefs.scanAdvanceAuto != 0);
}

void CScanner::SetHighlight(CSprite* picture, int dx, int dy, const BYTE* colourMap) {
    InvalidateHighlight();
    m_highlight.Reset(picture);
    m_highlightMap = colourMap;
    m_highlightX = dx;
    m_highlightY = dy;
    InvalidateHighlight();
}

int CScanner::FirstEnabled() const {
    int slot = m_targets.Head();
    while (slot != -1 && !Target(slot)->IsEnabled()) slot = m_targets.Next(slot);
    return slot;
}

int CScanner::NextEnabled(int slot) const {
    slot = m_targets.Next(slot);
    while (slot != -1 && !Target(slot)->IsEnabled()) slot = m_targets.Next(slot);
    return slot;
}

void CScanner::Restart() {
    InvalidateHighlight();
    m_current = FirstEnabled();
    InvalidateHighlight();
    const uint64_t now = plat::NowMs64();
    m_lastStep = m_interval < kScanLongInterval ? now + kScanFirstExtraMs : now;
}

void CScanner::Advance() {
    InvalidateHighlight();
    if (m_current != -1) {
        const int next = NextEnabled(m_current);
        if (next != -1)
            m_current = next;
        else if (m_wrap)
            Restart();
        else
            m_current = -1;
    } else if (m_wrap) {
        Restart();
    }
    InvalidateHighlight();
}

void CScanner::Tick() {
    if (!m_on || SceneHost().EngineBusy()) return;
    const uint64_t now = plat::NowMs64();
    if (m_lastStep < now && now - m_lastStep > m_interval) {
        Advance();
        SceneHost().PresentScreen();
        m_lastStep = plat::NowMs64();
    }
}

void CScanner::Activate() {
    if (!m_on) return;
    if (CScanTarget* target = Target(m_current)) {
        SceneHost().SetLastClick(target->GetPosition());
        m_ready = 0;
        if (target->m_hideOnActivate) {
            InvalidateHighlight();
            SceneHost().PresentScreen();
        }
        m_busy = 1;
        target->Activate();  // may remove targets, this one too
        m_busy = 0;
        m_ready = 1;
    }
    Restart();
}

bool CScanner::HighlightRect(RECT& out) {
    CScanTarget* target = Target(m_current);
    if (!m_highlight || !target) return false;
    const POINT p = target->GetPosition();
    out.left = p.x + m_highlightX - m_highlight->HotspotX();
    out.top = p.y + m_highlightY - m_highlight->HotspotY();
    out.right = out.left + m_highlight->Width();
    out.bottom = out.top + m_highlight->Height();
    return true;
}

void CScanner::InvalidateHighlight() {
    RECT r;
    if (HighlightRect(r)) SceneHost().Invalidate(r);
}

void CScanner::Draw(CDibG& surface, const CDirtyRectList& dirty) {
    RECT r;
    if (!m_on || !m_ready || !HighlightRect(r) || !dirty.Intersects(r)) return;
    const RECT clip = dirty.ClipUnion(r);
    if (IsRectEmpty(&clip)) return;
    const POINT p{r.left + m_highlight->HotspotX(), r.top + m_highlight->HotspotY()};
    if (m_highlightMap)
        surface.DrawSpriteMapped(*m_highlight, p, clip, m_highlightMap, TRUE);
    else
        surface.DrawSprite(*m_highlight, p, clip, TRUE);
}
