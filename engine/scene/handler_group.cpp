#include "engine/scene/handler_group.h"

#include <algorithm>

#include "engine/scene/module_host.h"
#include "engine/scene/ticks.h"

CHandlerGroup::CHandlerGroup(CHandlerGroup* parent) : m_parent(parent) {
    if (m_parent) {
        m_parent->m_children.Add(this);
    } else if ((m_host = CurrentModuleHost()) != nullptr) {
        m_host->m_children.Add(this);
    }
}

CHandlerGroup::~CHandlerGroup() {
    while (CHandlerGroup* first = m_children.GetAt(0, nullptr)) {
        m_children.RemoveAt(0);
        first->m_parent = nullptr;  // already out of the children
        delete first;
    }
    if (m_parent) m_parent->m_children.Remove(this);
    if (m_host) m_host->m_children.Remove(this);
}

int16_t CHandlerGroup::OnAnimClicked(CCorAnim* anim, int16_t id) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnAnimClicked(anim, id); }) ? 1 : 0;
}

int16_t CHandlerGroup::OnStaticClicked(CCorStatic* picture, int16_t id) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnStaticClicked(picture, id); }) ? 1 : 0;
}

int16_t CHandlerGroup::OnTextClicked(CText* text, int16_t word) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnTextClicked(text, word); }) ? 1 : 0;
}

int16_t CHandlerGroup::OnEvent(int16_t value) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnEvent(value); }) ? 1 : 0;
}

int64_t CHandlerGroup::OnTimer(int64_t now) {
    if (m_nextDue > now) return m_nextDue;
    OnTick(now);
    m_nextDue = m_period == kNoPeriod ? kNeverDue : now + m_period;
    for (uint32_t i = 0; i < m_children.GetSize(); ++i) {
        const int64_t due = m_children.GetAt(static_cast<int>(i), nullptr)->OnTimer(now);
        m_nextDue = std::min(m_nextDue, due);
    }
    return m_nextDue;
}

void CHandlerGroup::SetPeriod(int32_t ticks) {
    m_period = ticks;
    if (ticks == kNoPeriod) return;
    SetNextDue(std::min(static_cast<int64_t>(GetTicks()) + ticks, m_nextDue));
}

void CHandlerGroup::SetNextDue(int64_t tick) {
    m_nextDue = tick;
    for (CHandlerGroup* p = m_parent; p && p->m_nextDue > tick; p = p->m_parent) p->m_nextDue = tick;
}
