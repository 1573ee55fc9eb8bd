// CHandlerGroup: an event handler of a module written as objects (through the module host,
// module_host.h). A group may own child groups; it offers clicks and events to them in order
// until one takes it, and keeps a timer whose next due tick is the earliest of its own and its
// whole subtree's.
//
// Groups form a tree under the module host: made without a parent, a group joins the current
// host's children (and remembers that host, so it leaves the same one even when another
// module has become current); made with a parent, it joins the parent's. Destroying a group
// destroys its children first and then detaches it. User-interface thread only.
#pragma once

#include <cstdint>
#include <limits>

#include "engine/scene/dyn_array.h"

class CCorAnim;
class CCorStatic;
class CText;
class CModuleHost;

// Next due tick meaning none.
inline constexpr int64_t kNeverDue = std::numeric_limits<int64_t>::max();
// Period meaning no timer of the group's own.
inline constexpr int32_t kNoPeriod = 0x7FFFFFFF;

class CHandlerGroup {
public:
    // parent null: a child of the current module host.
    explicit CHandlerGroup(CHandlerGroup* parent = nullptr);
    virtual ~CHandlerGroup();
    CHandlerGroup(const CHandlerGroup&) = delete;
    CHandlerGroup& operator=(const CHandlerGroup&) = delete;

    // Events, offered to the children in order until one answers non-zero; then 1, else 0.
    virtual int16_t OnAnimClicked(CCorAnim* anim, int16_t id);
    virtual int16_t OnStaticClicked(CCorStatic* picture, int16_t id);
    virtual int16_t OnTextClicked(CText* text, int16_t word);
    // A 16-bit value; a spot's id modulo 1000 when a spot broadcasts its click.
    virtual int16_t OnEvent(int16_t value);
    // Runs the timer at now and returns the new next due: when due, OnTick, then the own next
    // due from the period, then every child's OnTimer, the earliest result winning.
    virtual int64_t OnTimer(int64_t now);
    virtual void OnTick(int64_t /*now*/) {}

    // The same slots under the names some modules use.
    int16_t OnSpotClicked(CText* text, int16_t word) { return OnTextClicked(text, word); }
    int64_t StepTimer(int64_t now) { return OnTimer(now); }

    // The period in ticks (kNoPeriod: none); with one, the next due becomes now + period when
    // that is earlier.
    void SetPeriod(int32_t ticks);
    // Sets the next due and lowers each parent's that is later, up to the first that is not.
    void SetNextDue(int64_t tick);
    int64_t GetNextDue() const { return m_nextDue; }
    int32_t GetPeriod() const { return m_period; }

    CHandlerGroup* GetParent() const { return m_parent; }
    // The child at index; null when the index is negative or not below the count.
    CHandlerGroup* GetChild(int index) const { return m_children.GetAt(index, nullptr); }
    int GetChildCount() const { return static_cast<int>(m_children.GetSize()); }

private:
    friend class CModuleHost;

    CHandlerGroup* m_parent = nullptr;
    CDynArray<CHandlerGroup*> m_children;
    int64_t m_nextDue = kNeverDue;
    int32_t m_period = kNoPeriod;
    CModuleHost* m_host = nullptr;  // the host whose child it is (top-level groups)
};

// Offers an event to each group of children in order until one answers non-zero: that
// answer, else 0. A child may destroy groups while it runs; the walk goes on by position.
template <class Offer>
int16_t OfferToChildren(const CDynArray<CHandlerGroup*>& children, Offer offer) {
    for (uint32_t i = 0; i < children.GetSize(); ++i) {
        const int16_t result = offer(*children.GetAt(static_cast<int>(i), nullptr));
        if (result != 0) return result;
    }
    return 0;
}
